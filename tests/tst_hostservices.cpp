// The host's services the plug-in relies on (the memory book, the help system, two widgets),
// and the SDO values it stores through the host's byte conversions.
#include "model/hostservices.h"
#include "model/sdovalue.h"

#include <QtTest>

class tst_HostServices : public QObject
{
    Q_OBJECT

    const QString key = QStringLiteral("station.hwc");

private slots:
    void init() { resetMemoryAreaSizes(); clearAllMemory(); }

    void firstFit_data()
    {
        QTest::addColumn<QList<int>>("claims"); // sizes reserved in order
        QTest::addColumn<QList<int>>("frees");  // indexes of claims freed afterwards
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("expected"); // in an area of 8 bytes
        QTest::newRow("after two claims") << QList<int>{1, 2} << QList<int>{} << 4 << 3;
        QTest::newRow("hole too small is skipped") << QList<int>{1, 1, 4} << QList<int>{1} << 2 << 6;
        QTest::newRow("hole that fits is taken") << QList<int>{2, 2, 4} << QList<int>{1} << 2 << 2;
        QTest::newRow("first of two holes") << QList<int>{1, 1, 1, 1} << QList<int>{1, 3} << 1 << 1;
        QTest::newRow("last byte of the area") << QList<int>{4, 3} << QList<int>{} << 1 << 7;
        QTest::newRow("area full") << QList<int>{4, 3} << QList<int>{} << 2 << -1;
        QTest::newRow("whole area in one claim") << QList<int>{} << QList<int>{} << 8 << 0;
        QTest::newRow("nothing to claim") << QList<int>{} << QList<int>{} << 0 << -1;
    }
    void firstFit()
    {
        QFETCH(QList<int>, claims);
        QFETCH(QList<int>, frees);
        QFETCH(int, size);
        setMemoryAreaSize(VarAreaInput, 8);
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
        const struct { const char *name; int area, offset, size, expected; } rows[] = {
            {"free range", VarAreaInput, 0, 4, 1}, {"touching the taken range", VarAreaInput, 8, 2, 1},
            {"overlapping start", VarAreaInput, 3, 2, 0}, {"overlapping end", VarAreaInput, 7, 4, 0},
            {"same range", VarAreaInput, 4, 4, 0}, {"same range other area", VarAreaOutput, 4, 4, 1},
            {"last byte of area", VarAreaInput, 511, 1, 1}, {"beyond the area", VarAreaInput, 511, 2, 0},
            {"size 0", VarAreaInput, 0, 0, 0}, {"negative size", VarAreaInput, 0, -1, 0},
            {"negative offset", VarAreaInput, -1, 1, 0}, {"unplaced area -1", -1, -1, 1, 0},
            {"area without size", 0x55, 0, 1, 0}, {"offset overflow", VarAreaInput, 0x7FFFFFFF, 2, 0}};
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
        // A refused claim changes nothing; a granted one is taken from then on.
        if (expected != 1)
            QCOMPARE(memoryReservations(key), before);
        else
            QCOMPARE(getMemory(key, VarArea(area), offset, size), 0);
    }

    void freeReleasesWhatIsReserved()
    {
        QCOMPARE(autoMallocMemory(key, VarAreaOutput, 4), 0);
        // Freeing in pieces works, and a partly free range still releases its reserved bytes.
        QVERIFY(freeMemory(key, VarAreaOutput, 0, 2));
        QVERIFY(!freeMemory(key, VarAreaOutput, 1, 3));
        QCOMPARE(reservedByteCount(key, VarAreaOutput), 0);
        for (const auto &end : QList<QPair<VarArea, int>>{{VarAreaOutput, 512}, {VarAreaFallback, 4096}, {VarAreaAI, 256}, {VarAreaAQ, 256}}) // each area's last byte
            QVERIFY(getMemory(key, end.first, end.second - 1, 1) == 1 && getMemory(key, end.first, end.second, 1) == 0 && freeMemory(key, end.first, end.second - 1, 1));
        QVERIFY(!freeMemory(key, VarAreaOutput, -1, 2) && !freeMemory(key, VarAreaOutput, 0, 0));
        QVERIFY(!freeMemory(QStringLiteral("never seen"), VarAreaOutput, 0, 1) && !freeMemory(key, VarArea(-1), -1, 1));
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
        saveMemoryUsedState(key); // inner: {0, 1}
        QVERIFY(freeMemory(key, VarAreaInput, 0, 1));
        restoreMemoryUsedState(key);
        QCOMPARE(memoryReservations(key), (QList<MemoryReservation>{{VarAreaInput, 0, 2}}));
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
        QVERIFY(memoryReservations(key).isEmpty() && memorySnapshotDepth(key) == 0);
    }

    // Which texts fit which length, and the bytes each one stores.
    void sdoValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("bytes"); // null: not looked at
        const struct { const char *text; int length; bool valid; const char *hex; } rows[] = {
            {"255", 1, true, "ff"}, {"256", 1, false, nullptr}, {"16#FF", 1, true, "ff"}, {"16#100", 1, false, nullptr},
            {"2#1010", 1, true, "0a"}, {"2#111111111", 1, false, nullptr}, {"-128", 1, true, "80"}, {"-129", 1, false, nullptr},
            {"+127", 1, true, "7f"}, {"+128", 1, false, nullptr}, {"0.1", 1, false, "00"}, {"0.1", 3, false, "000000"}, {"300", 1, false, "2c"}, {"70000", 1, false, "00"},
            {"65535", 2, true, "ffff"}, {"65536", 2, false, nullptr}, {"-32768", 2, true, "8000"}, {"-32769", 2, false, "0000"},
            {"16#abcd", 2, true, "abcd"}, {"16#10000", 2, false, nullptr}, {"-2", 2, true, "fffe"}, {"abc", 2, false, "0000"},
            {"16#FFFFFF", 3, true, "ffffff"}, {"16777216", 3, false, nullptr}, {"-8388608", 3, true, "800000"},
            {"-8388609", 3, false, nullptr}, {"70000", 3, true, "011170"}, {"-", 2, false, nullptr}, {"16#1:", 2, false, nullptr},
            {"4294967295", 4, true, "ffffffff"}, {"4294967296", 4, false, "00000000"}, {"4294967297", 4, false, "00000000"}, {"-2147483648", 4, true, "80000000"},
            {"-2147483649", 4, false, nullptr}, {"16#100000000", 4, false, nullptr}, {"16#1A2B", 4, true, "00001a2b"},
            {"2#11111111111111111111111111111111", 4, true, "ffffffff"}, {"1.5", 4, true, "3fc00000"}, {"1E3", 4, true, "447a0000"},
            {"1e3", 4, true, "447a0000"}, {"-2.5E-1", 4, true, "be800000"}, {"0.1", 4, true, "3dcccccd"},
            // Beyond single precision: the largest finite float of that sign.
            {"1E39", 4, true, "7f7fffff"}, {"-1E39", 4, true, "ff7fffff"}, {"1E400", 4, false, nullptr},
            {"1.5.2", 4, false, nullptr}, {"E3", 4, false, nullptr}, {" 12 ", 4, true, "0000000c"},
            {"\t-5  ", 4, true, "fffffffb"}, {"1 2", 4, false, nullptr}, {"", 4, false, "00000000"}, {"12a", 4, false, nullptr},
            {"2#102", 4, false, nullptr}, {"16#G", 4, false, nullptr}, {"1", 0, true, "00000001"}, {"1", 5, true, "00000001"},
            {"4294967295", 7, true, "ffffffff"}};
        for (const auto &row : rows)
            QTest::addRow("%s at %d", row.text, row.length)
                << QString::fromLatin1(row.text) << row.length << row.valid << (row.hex ? QByteArray::fromHex(row.hex) : QByteArray());
    }
    void sdoValues()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        QTEST(isSdoValueValid(text, length), "valid");
        QFETCH(QByteArray, bytes);
        if (!bytes.isNull())
            QCOMPARE(sdoValueBytes(text, length), bytes);
    }

    void helpKeywordInChinese()
    {
        setHelpLanguage(QStringLiteral("zh_CN"));
        resetHelpRequests();
        openSlaveConfigHelp();
        setHelpLanguage(QString());
        QCOMPARE(lastHelpKeyWord(), QString::fromUtf8("硬件组态中怎么配置CANopen从站"));
        QCOMPARE(helpRequestCount(), 1);
    }

    void hexSpinBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("upper") << "1A" << 0x1A << "1A";
        QTest::newRow("lower") << "ff" << 0xFF << "FF";
        QTest::newRow("digit beyond maximum refused") << "1000" << 0x100 << "100";
        QTest::newRow("a letter past F refused") << "1g" << 1 << "1";
    }
    void hexSpinBox()
    {
        QFETCH(QString, typed);
        HexSpinBox box;
        box.setRange(0, 0xFFF);
        box.selectAll();
        QTest::keyClicks(&box, typed);
        QTest::keyClick(&box, Qt::Key_Enter);
        QTEST(box.value(), "value");
        QTEST(box.text(), "shown");
    }

    void lineEditKeepsEnter()
    {
        MLineEdit edit(QStringLiteral("abc"), nullptr);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&edit, &enter);
        QVERIFY(enter.isAccepted());
        QTest::keyClicks(&edit, QStringLiteral("d"));
        QCOMPARE(edit.text(), QStringLiteral("abcd"));
    }
};

QTEST_MAIN(tst_HostServices)
#include "tst_hostservices.moc"
