#include <basemodule.h>

#include <QtTest>

Q_DECLARE_METATYPE(QList<MemoryReservation>)

namespace QTest {
template<>
char *toString(const MemoryReservation &r)
{
    return qstrdup(QByteArray::number(r.area, 16) + ':' + QByteArray::number(r.offset) + '+' + QByteArray::number(r.size));
}
} // namespace QTest

class tst_MemoryBook : public QObject
{
    Q_OBJECT

    const QString key = QStringLiteral("station.hwc");

private slots:
    void init()
    {
        resetMemoryAreaSizes();
        clearAllMemory();
    }
    void cleanup() { init(); }

    void firstFit_data()
    {
        QTest::addColumn<QList<int>>("claims"); // sizes reserved in order
        QTest::addColumn<QList<int>>("frees");  // indexes of claims freed afterwards
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("areaSize");
        QTest::newRow("empty area starts at 0") << QList<int>{} << QList<int>{} << 2 << 0 << 512;
        QTest::newRow("after two claims") << QList<int>{1, 2} << QList<int>{} << 4 << 3 << 512;
        QTest::newRow("hole too small is skipped") << QList<int>{1, 1, 4} << QList<int>{1} << 2 << 6 << 512;
        QTest::newRow("hole that fits is taken") << QList<int>{2, 2, 4} << QList<int>{1} << 2 << 2 << 512;
        QTest::newRow("first of two holes") << QList<int>{1, 1, 1, 1} << QList<int>{1, 3} << 1 << 1 << 512;
        QTest::newRow("last byte of a small area") << QList<int>{4, 3} << QList<int>{} << 1 << 7 << 8;
        QTest::newRow("small area full") << QList<int>{4, 3} << QList<int>{} << 2 << -1 << 8;
        QTest::newRow("whole area in one claim") << QList<int>{} << QList<int>{} << 8 << 0 << 8;
        QTest::newRow("nothing to claim") << QList<int>{} << QList<int>{} << 0 << -1 << 8;
    }
    void firstFit()
    {
        QFETCH(QList<int>, claims);
        QFETCH(QList<int>, frees);
        QFETCH(int, size);
        QFETCH(int, areaSize);
        setMemoryAreaSize(VarAreaInput, areaSize);
        QList<int> offsets;
        for (int claim : claims)
            offsets.append(autoMallocMemory(key, VarAreaInput, claim));
        for (int i : frees)
            QVERIFY(freeMemory(key, VarAreaInput, offsets.at(i), claims.at(i)));
        QTEST(autoMallocMemory(key, VarAreaInput, size), "expected");
        // Other areas and other keys are untouched by it.
        QCOMPARE(autoMallocMemory(key, VarAreaFallback, 1), 0);
        QCOMPARE(autoMallocMemory(QStringLiteral("other"), VarAreaInput, 2), 0);
    }

    void exactClaim_data()
    {
        QTest::addColumn<int>("area");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("expected");
        // The book holds 4..7 in the input area before each row.
        const struct {
            const char *name;
            int area, offset, size, expected;
        } rows[] = {
            {"free range", VarAreaInput, 0, 4, 1}, {"touching the taken range", VarAreaInput, 8, 2, 1},
            {"overlapping start", VarAreaInput, 3, 2, 0}, {"overlapping end", VarAreaInput, 7, 4, 0},
            {"same range", VarAreaInput, 4, 4, 0}, {"same range other area", VarAreaOutput, 4, 4, 1},
            {"last byte of area", VarAreaInput, 511, 1, 1}, {"beyond the area", VarAreaInput, 511, 2, 0},
            {"size 0", VarAreaInput, 0, 0, 0}, {"negative size", VarAreaInput, 0, -1, 0},
            {"negative offset", VarAreaInput, -1, 1, 0}, {"unplaced area -1", -1, -1, 1, 0},
            {"area without size", 0x55, 0, 1, 0}, {"offset overflow", VarAreaInput, 0x7FFFFFFF, 2, 0},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << r.area << r.offset << r.size << r.expected;
    }
    void exactClaim()
    {
        QFETCH(int, area);
        QFETCH(int, offset);
        QFETCH(int, size);
        QFETCH(int, expected);
        QCOMPARE(getMemory(key, VarAreaInput, 4, 4), 1);
        const QList<MemoryReservation> before = memoryReservations(key);
        QCOMPARE(getMemory(key, VarArea(area), offset, size), expected);
        if (expected != 1)
            QCOMPARE(memoryReservations(key), before);
        else
            QCOMPARE(getMemory(key, VarArea(area), offset, size), 0); // now taken
    }

    void freeReleasesWhatIsReserved()
    {
        QCOMPARE(autoMallocMemory(key, VarAreaOutput, 4), 0);
        // Freeing in pieces works, and a partly free range still releases its reserved bytes.
        QVERIFY(freeMemory(key, VarAreaOutput, 0, 2));
        QVERIFY(!freeMemory(key, VarAreaOutput, 1, 3));
        QCOMPARE(reservedByteCount(key, VarAreaOutput), 0);
        QVERIFY(!freeMemory(key, VarAreaOutput, -1, 2));
        QVERIFY(!freeMemory(key, VarAreaOutput, 0, 0));
        QVERIFY(!freeMemory(QStringLiteral("never seen"), VarAreaOutput, 0, 1));
        QVERIFY(!freeMemory(key, VarArea(-1), -1, 1));
    }

    void snapshots()
    {
        QCOMPARE(getMemory(key, VarAreaInput, 0, 1), 1);
        // Without a snapshot, restoring and deleting change nothing.
        restoreMemoryUsedState(key);
        deleteMemoryUsedState(key);
        restoreMemoryUsedState(QStringLiteral("unknown"));
        saveMemoryUsedState(key); // outer: {0}
        QCOMPARE(getMemory(key, VarAreaInput, 1, 1), 1);
        const QList<MemoryReservation> beforeInner = memoryReservations(key);
        saveMemoryUsedState(key); // inner: {0, 1}
        QCOMPARE(memorySnapshotDepth(key), 2);
        QCOMPARE(getMemory(key, VarAreaInput, 2, 1), 1);
        QVERIFY(freeMemory(key, VarAreaInput, 0, 1));
        restoreMemoryUsedState(key); // inner rolled back
        QCOMPARE(memoryReservations(key), beforeInner);
        QCOMPARE(memorySnapshotDepth(key), 1);
        saveMemoryUsedState(key); // inner again, kept this time
        QCOMPARE(getMemory(key, VarAreaInput, 5, 1), 1);
        deleteMemoryUsedState(key);
        QCOMPARE(memorySnapshotDepth(key), 1);
        QCOMPARE(reservedByteCount(key, VarAreaInput), 3);
        restoreMemoryUsedState(key); // outer still intact
        QCOMPARE(memoryReservations(key), (QList<MemoryReservation>{{VarAreaInput, 0, 1}}));
        QCOMPARE(memorySnapshotDepth(key), 0);
        // Clearing a key drops its snapshots too.
        saveMemoryUsedState(key);
        clearMemory(key);
        QVERIFY(memoryReservations(key).isEmpty());
        QCOMPARE(memorySnapshotDepth(key), 0);
    }
};

QTEST_GUILESS_MAIN(tst_MemoryBook)
#include "tst_memorybook.moc"
