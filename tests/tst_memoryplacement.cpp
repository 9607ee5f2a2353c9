#include "compile/mappingsymbols.h"
#include "compile/memoryplacement.h"
#include "plugin/canobject.h"
#include "plugin/hostservices.h"

#include <QtTest>

Q_DECLARE_METATYPE(QList<MemoryReservation>)

namespace {

const QString key = QStringLiteral("station-test");

PDOMapEntry entryOf(quint32 length, qint32 area, qint32 offset, quint32 sub = 1)
{
    return PDOMapEntry{0x6000, sub, {}, length, 0, false, area, offset, -1, 1, false};
}

PDOConfig pdoOf(quint32 index, const QList<PDOMapEntry> &entries)
{
    PDOConfig p;
    p.commIndex = index;
    p.direction = pdoDirectionFor(index);
    p.mapList = entries;
    return p;
}

QString placeOf(const PDOMapEntry &e)
{
    return QStringLiteral("%1:%2").arg(e.area < 0 ? QStringLiteral("-1") : QString::number(e.area, 16)).arg(e.offset);
}

} // namespace

class tst_MemoryPlacement : public QObject
{
    Q_OBJECT
private slots:
    void init() { clearAllMemory(); resetMemoryAreaSizes(); }

    void placeNew_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("inputSize");
        QTest::addColumn<int>("fallbackSize");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("place");
        QTest::newRow("transmit") << int(PdoTransmit) << 512 << 4096 << true << "81:0";
        QTest::newRow("receive") << int(PdoReceive) << 512 << 4096 << true << "82:0";
        QTest::newRow("input full") << int(PdoTransmit) << 1 << 4096 << true << "84:0";
        QTest::newRow("nowhere") << int(PdoTransmit) << 1 << 1 << false << "-1:-1";
        QTest::newRow("other direction") << 0 << 512 << 4096 << true << "0:0";
    }
    void placeNew()
    {
        QFETCH(int, direction);
        QFETCH(int, inputSize);
        QFETCH(int, fallbackSize);
        setMemoryAreaSize(VarAreaInput, inputSize);
        setMemoryAreaSize(VarAreaFallback, fallbackSize);
        PDOConfig pdo;
        pdo.direction = direction;
        PDOMapEntry e = entryOf(2, -1, -1);
        QTEST(placeNewEntry(key, pdo, e), "ok");
        QTEST(placeOf(e), "place");
        QCOMPARE(int(e.byteLength), 2);
    }

    void autoMalloc_data()
    {
        QTest::addColumn<int>("inputSize");
        QTest::addColumn<int>("fallbackSize");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("placed");
        QTest::addColumn<QList<MemoryReservation>>("reserved");
        // %I0 is taken before each row; the slave asks for 0 (1 byte), 2 (2 bytes), then 0 (4 bytes).
        QTest::newRow("free places kept, taken ones moved") << 512 << 4096 << true << QStringList{"81:1", "81:2", "81:4"}
                                                            << QList<MemoryReservation>{{0x81, 0, 8}};
        QTest::newRow("input full, fallback") << 4 << 4096 << true << QStringList{"81:1", "81:2", "84:0"}
                                              << QList<MemoryReservation>{{0x81, 0, 4}, {0x84, 0, 4}};
        // What was reserved on the way is released again; the places kept stay.
        QTest::newRow("no room: rolled back") << 4 << 0 << false << QStringList{"81:1", "81:2", "81:-1"}
                                              << QList<MemoryReservation>{{0x81, 0, 1}, {0x81, 2, 2}};
    }
    void autoMalloc()
    {
        QFETCH(int, inputSize);
        QFETCH(int, fallbackSize);
        setMemoryAreaSize(VarAreaInput, inputSize);
        setMemoryAreaSize(VarAreaFallback, fallbackSize);
        QCOMPARE(getMemory(key, VarAreaInput, 0, 1), 1);
        CanObject s;
        s.projectKey = key;
        s.pdoList << pdoOf(0x1400, {entryOf(1, 0x82, 7)}) << pdoOf(0x1800, {entryOf(1, 0x81, 0), entryOf(2, 0x81, 2, 2)})
                  << pdoOf(0x1801, {entryOf(4, 0x81, 0)});
        QTEST(autoMallocMap(s, PdoTransmit), "ok");
        QStringList placed;
        for (const PDOConfig &p : qAsConst(s.pdoList))
            for (const PDOMapEntry &e : p.mapList)
                placed << placeOf(e);
        QTEST(QStringList(placed.mid(1)), "placed");
        QTEST(memoryReservations(key), "reserved");
        // The other direction is placed apart.
        QVERIFY(autoMallocMap(s, PdoReceive));
        QVERIFY(memoryReservations(key).contains({0x82, 7, 1}));
    }

    void maps()
    {
        CanObject s;
        s.pdoList << pdoOf(0x1400, {entryOf(2, 0x82, 0x0102)}) << pdoOf(0x1800, {entryOf(1, 0x81, 4), entryOf(2, 0x81, 6, 2)});
        int count = -5;
        QCOMPARE(memoryMap(s, PdoTransmit, &count).toHex(' '), QByteArray("01 01 01 81 00 04 01 01 02 81 00 06"));
        QCOMPARE(count, 2);
        QCOMPARE(memoryMap(s, PdoReceive, &count).toHex(' '), QByteArray("01 01 02 82 01 02 01"));
        QCOMPARE(count, 1);
        QVERIFY(memoryMap(CanObject(), PdoReceive, &count).isEmpty());
        QCOMPARE(count, 0);
    }

    void symbols_data()
    {
        QTest::addColumn<QString>("slaveName");
        QTest::addColumn<QString>("entryName");
        QTest::addColumn<int>("dataType");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("sub");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QStringList>("symbol"); // name, address, comment; empty: none
        QTest::newRow("valve") << "Valve" << "Digital Output-1" << 5 << 0x6200 << 1 << 3
                               << QStringList{"ValveDigitalOutput_1", "%QB3", "Valve 16#6200_1_Digital Output-1"};
        QTest::newRow("digit") << "M" << "2nd Speed" << 6 << 0x6411 << 10 << 0
                               << QStringList{"M_2ndSpeed", "%QW0", "M 16#6411_A_2nd Speed"};
        QTest::newRow("cut") << "DriveController" << "Status Word" << 7 << 0x1A00 << 1 << -1
                             << QStringList{"DriveControllerStatu", "%QD-1", "DriveController 16#1A00_1_Status Word"};
        QTest::newRow("boolean") << "M" << "b" << 1 << 0x6000 << 1 << 0 << QStringList();
        QTest::newRow("real") << "M" << "r" << 8 << 0x6000 << 1 << 0 << QStringList();
    }
    void symbols()
    {
        QFETCH(QString, slaveName);
        QFETCH(QString, entryName);
        QFETCH(int, dataType);
        QFETCH(int, index);
        QFETCH(int, sub);
        QFETCH(int, offset);
        CanObject s;
        s.name = slaveName;
        const PDOMapEntry e{quint32(index), quint32(sub), entryName, 1, quint32(dataType), false, 0x82, offset, -1, 1, false};
        const PDOMapEntry after{0x6000, 1, QStringLiteral("X"), 1, 5, false, 0x82, 9, -1, 1, false};
        s.pdoList << pdoOf(0x1400, {e, after});
        const QList<MappingSymbol> list = buildMappingSymbols(s);
        QCOMPARE(list.last().name, slaveName + QStringLiteral("X"));
        QStringList first;
        if (list.size() == 2)
            first << list.first().name << list.first().address << list.first().comment << list.first().reserved;
        QTEST(QStringList(first.mid(0, 3)), "symbol");
        QCOMPARE(first.value(3), QString());
    }
};

QTEST_GUILESS_MAIN(tst_MemoryPlacement)
#include "tst_memoryplacement.moc"
