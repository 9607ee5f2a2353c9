#include <basemodule.h>

#include <QtTest>

Q_DECLARE_METATYPE(QList<MemoryReservation>)

namespace QTest {
template<>
char *toString(const MemoryReservation &r)
{
    return qstrdup(QByteArray::number(r.area, 16) + ':' + QByteArray::number(r.offset) + '+'
                   + QByteArray::number(r.size));
}
} // namespace QTest

class tst_MemoryBook : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstFit_data();
    void firstFit();
    void exhaustion();
    void exactClaim_data();
    void exactClaim();
    void freeReleasesWhatIsReserved();
    void keysAreSeparate();
    void nestedSnapshots();
    void snapshotWithoutSave();
    void clearKey();

private:
    const QString key = QStringLiteral("station.hwc");
};

void tst_MemoryBook::init()
{
    resetMemoryAreaSizes();
    clearAllMemory();
}

void tst_MemoryBook::cleanup()
{
    resetMemoryAreaSizes();
    clearAllMemory();
}

void tst_MemoryBook::firstFit_data()
{
    QTest::addColumn<QList<int>>("claims");      // sizes reserved in order
    QTest::addColumn<QList<int>>("frees");       // indexes of claims freed afterwards
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty area starts at 0") << QList<int>{} << QList<int>{} << 2 << 0;
    QTest::newRow("after two claims") << QList<int>{1, 2} << QList<int>{} << 4 << 3;
    QTest::newRow("hole too small is skipped") << QList<int>{1, 1, 4} << QList<int>{1} << 2 << 6;
    QTest::newRow("hole that fits is taken") << QList<int>{2, 2, 4} << QList<int>{1} << 2 << 2;
    QTest::newRow("first of two holes") << QList<int>{1, 1, 1, 1} << QList<int>{1, 3} << 1 << 1;
}

void tst_MemoryBook::firstFit()
{
    QFETCH(QList<int>, claims);
    QFETCH(QList<int>, frees);
    QFETCH(int, size);
    QFETCH(int, expected);

    QList<int> offsets;
    for (int claim : claims)
        offsets.append(autoMallocMemory(key, VarAreaInput, claim));
    for (int i : frees)
        QVERIFY(freeMemory(key, VarAreaInput, offsets.at(i), claims.at(i)));
    QCOMPARE(autoMallocMemory(key, VarAreaInput, size), expected);
}

void tst_MemoryBook::exhaustion()
{
    setMemoryAreaSize(VarAreaInput, 8);
    QCOMPARE(autoMallocMemory(key, VarAreaInput, 4), 0);
    QCOMPARE(autoMallocMemory(key, VarAreaInput, 3), 4);
    QCOMPARE(autoMallocMemory(key, VarAreaInput, 2), -1);
    QCOMPARE(autoMallocMemory(key, VarAreaInput, 1), 7);
    QCOMPARE(autoMallocMemory(key, VarAreaInput, 1), -1);
    QCOMPARE(reservedByteCount(key, VarAreaInput), 8);
    // Other areas are untouched by a full one.
    QCOMPARE(autoMallocMemory(key, VarAreaFallback, 1), 0);
}

void tst_MemoryBook::exactClaim_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("expected");

    // The book holds 4..7 in the input area before each row.
    QTest::newRow("free range") << int(VarAreaInput) << 0 << 4 << 1;
    QTest::newRow("touching the taken range") << int(VarAreaInput) << 8 << 2 << 1;
    QTest::newRow("overlapping start") << int(VarAreaInput) << 3 << 2 << 0;
    QTest::newRow("overlapping end") << int(VarAreaInput) << 7 << 4 << 0;
    QTest::newRow("same range") << int(VarAreaInput) << 4 << 4 << 0;
    QTest::newRow("same range other area") << int(VarAreaOutput) << 4 << 4 << 1;
    QTest::newRow("last byte of area") << int(VarAreaInput) << 511 << 1 << 1;
    QTest::newRow("beyond the area") << int(VarAreaInput) << 511 << 2 << 0;
    QTest::newRow("size 0") << int(VarAreaInput) << 0 << 0 << 0;
    QTest::newRow("negative size") << int(VarAreaInput) << 0 << -1 << 0;
    QTest::newRow("negative offset") << int(VarAreaInput) << -1 << 1 << 0;
    QTest::newRow("unplaced area -1") << -1 << -1 << 1 << 0;
    QTest::newRow("area without size") << 0x55 << 0 << 1 << 0;
    QTest::newRow("offset overflow") << int(VarAreaInput) << 0x7FFFFFFF << 2 << 0;
}

void tst_MemoryBook::exactClaim()
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

void tst_MemoryBook::freeReleasesWhatIsReserved()
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

void tst_MemoryBook::keysAreSeparate()
{
    QCOMPARE(autoMallocMemory(key, VarAreaInput, 2), 0);
    QCOMPARE(autoMallocMemory(QStringLiteral("other"), VarAreaInput, 2), 0);
    QCOMPARE(autoMallocMemory(QString(), VarAreaInput, 2), 0);
    QCOMPARE(autoMallocMemory(key, VarAreaInput, 2), 2);
}

void tst_MemoryBook::nestedSnapshots()
{
    QCOMPARE(getMemory(key, VarAreaInput, 0, 1), 1);
    saveMemoryUsedState(key);                       // outer: {0}
    QCOMPARE(getMemory(key, VarAreaInput, 1, 1), 1);
    const QList<MemoryReservation> beforeInner = memoryReservations(key);

    saveMemoryUsedState(key);                       // inner: {0, 1}
    QCOMPARE(memorySnapshotDepth(key), 2);
    QCOMPARE(getMemory(key, VarAreaInput, 2, 1), 1);
    QVERIFY(freeMemory(key, VarAreaInput, 0, 1));
    restoreMemoryUsedState(key);                    // inner rolled back
    QCOMPARE(memoryReservations(key), beforeInner);
    QCOMPARE(memorySnapshotDepth(key), 1);

    saveMemoryUsedState(key);                       // inner again, kept this time
    QCOMPARE(getMemory(key, VarAreaInput, 5, 1), 1);
    deleteMemoryUsedState(key);
    QCOMPARE(memorySnapshotDepth(key), 1);
    QCOMPARE(reservedByteCount(key, VarAreaInput), 3);

    restoreMemoryUsedState(key);                    // outer still intact
    QCOMPARE(memoryReservations(key), (QList<MemoryReservation>{{VarAreaInput, 0, 1}}));
    QCOMPARE(memorySnapshotDepth(key), 0);
}

void tst_MemoryBook::snapshotWithoutSave()
{
    QCOMPARE(getMemory(key, VarAreaInput, 0, 3), 1);
    restoreMemoryUsedState(key);
    deleteMemoryUsedState(key);
    restoreMemoryUsedState(QStringLiteral("unknown"));
    QCOMPARE(memoryReservations(key), (QList<MemoryReservation>{{VarAreaInput, 0, 3}}));
    QCOMPARE(memorySnapshotDepth(key), 0);
}

void tst_MemoryBook::clearKey()
{
    QCOMPARE(getMemory(key, VarAreaInput, 0, 3), 1);
    saveMemoryUsedState(key);
    clearMemory(key);
    QVERIFY(memoryReservations(key).isEmpty());
    QCOMPARE(memorySnapshotDepth(key), 0);
    QCOMPARE(getMemory(key, VarAreaInput, 0, 3), 1);
}

QTEST_GUILESS_MAIN(tst_MemoryBook)
#include "tst_memorybook.moc"
