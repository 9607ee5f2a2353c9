#include "compile/mappingsymbols.h"
#include "compile/memoryplacement.h"
#include "plugin/canobject.h"
#include "plugin/hostservices.h"

#include <QtTest>

namespace {

const QString key = QStringLiteral("station-test");

PDOMapEntry entryOf(quint32 length, qint32 area, qint32 offset)
{
    PDOMapEntry e;
    e.index = 0x6000;
    e.subIndex = quint32(offset & 0xFF);
    e.byteLength = length;
    e.area = area;
    e.offset = offset;
    return e;
}

PDOConfig pdoOf(quint32 index, QList<PDOMapEntry> entries)
{
    PDOConfig p;
    p.commIndex = index;
    p.direction = pdoDirectionFor(index);
    for (PDOMapEntry &e : entries)
        e.subIndex = quint32(p.mapList.size() + 1);
    p.mapList = entries;
    return p;
}

} // namespace

class tst_MemoryPlacement : public QObject
{
    Q_OBJECT
private slots:
    void init() { clearAllMemory(); resetMemoryAreaSizes(); }
    void placeNew_data();
    void placeNew();
    void reclaimKeepsFreePlaces();
    void fallbackArea();
    void rollBackOnFailure();
    void directionsApart();
    void maps();
    void symbols_data();
    void symbols();
};

void tst_MemoryPlacement::placeNew_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("inputSize");
    QTest::addColumn<int>("fallbackSize");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("offset");
    QTest::newRow("transmit") << PdoTransmit << 512 << 4096 << true << 0x81 << 0;
    QTest::newRow("receive") << PdoReceive << 512 << 4096 << true << 0x82 << 0;
    QTest::newRow("input full") << PdoTransmit << 1 << 4096 << true << 0x84 << 0;
    QTest::newRow("nowhere") << PdoTransmit << 1 << 1 << false << -1 << -1;
    QTest::newRow("other direction") << 0 << 512 << 4096 << true << 0 << 0;
}

void tst_MemoryPlacement::placeNew()
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
    QTEST(int(e.area), "area");
    QTEST(int(e.offset), "offset");
    QCOMPARE(int(e.byteLength), 2);
}

void tst_MemoryPlacement::reclaimKeepsFreePlaces()
{
    CanObject s;
    s.projectKey = key;
    s.pdoList << pdoOf(0x1800, {entryOf(1, 0x81, 4), entryOf(2, 0x81, 6)});
    QVERIFY(autoMallocMap(s, PdoTransmit));
    QCOMPARE(s.pdoList.at(0).mapList.at(0).offset, 4);
    QCOMPARE(s.pdoList.at(0).mapList.at(1).offset, 6);
    QCOMPARE(memoryReservations(key), (QList<MemoryReservation>{{0x81, 4, 1}, {0x81, 6, 2}}));
}

void tst_MemoryPlacement::fallbackArea()
{
    setMemoryAreaSize(VarAreaInput, 2);
    CanObject s;
    s.projectKey = key;
    QCOMPARE(getMemory(key, VarAreaInput, 0, 2), 1);
    // Taken place, and an unplaced entry: both move, the input area is full.
    s.pdoList << pdoOf(0x1800, {entryOf(1, 0x81, 0), entryOf(2, 0x81, -1)});
    QVERIFY(autoMallocMap(s, PdoTransmit));
    const PDOMapEntry &a = s.pdoList.at(0).mapList.at(0);
    const PDOMapEntry &b = s.pdoList.at(0).mapList.at(1);
    QCOMPARE(a.area, 0x84);
    QCOMPARE(a.offset, 0);
    QCOMPARE(b.area, 0x84);
    QCOMPARE(b.offset, 1);
}

void tst_MemoryPlacement::rollBackOnFailure()
{
    setMemoryAreaSize(VarAreaInput, 4);
    setMemoryAreaSize(VarAreaFallback, 0);
    CanObject s;
    s.projectKey = key;
    QCOMPARE(getMemory(key, VarAreaInput, 0, 1), 1);
    // First entry re-placed at 1, second kept at 2..3, third finds no room.
    s.pdoList << pdoOf(0x1800, {entryOf(1, 0x81, 0), entryOf(2, 0x81, 2)})
              << pdoOf(0x1801, {entryOf(4, 0x81, -1)});
    QVERIFY(!autoMallocMap(s, PdoTransmit));
    QCOMPARE(s.pdoList.at(0).mapList.at(0).offset, 1);
    QCOMPARE(s.pdoList.at(0).mapList.at(1).offset, 2);
    const PDOMapEntry &failed = s.pdoList.at(1).mapList.at(0);
    QCOMPARE(failed.offset, -1);
    QCOMPARE(failed.byteLength, 4u);
    // The journalled reservation at 1 is gone; the re-claimed one at 2 stays.
    QCOMPARE(memoryReservations(key), (QList<MemoryReservation>{{0x81, 0, 1}, {0x81, 2, 2}}));
}

void tst_MemoryPlacement::directionsApart()
{
    CanObject s;
    s.projectKey = key;
    s.pdoList << pdoOf(0x1400, {entryOf(1, 0x82, 7)}) << pdoOf(0x1800, {entryOf(1, 0x81, 9)});
    QVERIFY(autoMallocMap(s, PdoReceive));
    QCOMPARE(memoryReservations(key), (QList<MemoryReservation>{{0x82, 7, 1}}));
    QVERIFY(autoMallocMap(s, PdoTransmit));
    QCOMPARE(memoryReservations(key), (QList<MemoryReservation>{{0x81, 9, 1}, {0x82, 7, 1}}));
}

void tst_MemoryPlacement::maps()
{
    CanObject s;
    PDOMapEntry out = entryOf(2, 0x82, 0x0102);
    out.clearWhenStop = 1;
    s.pdoList << pdoOf(0x1400, {out}) << pdoOf(0x1800, {entryOf(1, 0x81, 4), entryOf(2, 0x81, 6)});
    int count = -5;
    QCOMPARE(memoryMap(s, PdoTransmit, &count).toHex(' '), QByteArray("01 01 01 81 00 04 01 01 02 81 00 06"));
    QCOMPARE(count, 2);
    QCOMPARE(memoryMap(s, PdoReceive, &count).toHex(' '), QByteArray("01 01 02 82 01 02 01"));
    QCOMPARE(count, 1);
    CanObject empty;
    QVERIFY(memoryMap(empty, PdoReceive, &count).isEmpty());
    QCOMPARE(count, 0);
}

void tst_MemoryPlacement::symbols_data()
{
    QTest::addColumn<QString>("slaveName");
    QTest::addColumn<QString>("entryName");
    QTest::addColumn<int>("dataType");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("sub");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("comment");
    QTest::newRow("valve") << "Valve" << "Digital Output-1" << 5 << 0x6200 << 1 << 3 << "ValveDigitalOutput_1"
                           << "%QB3" << "Valve 16#6200_1_Digital Output-1";
    QTest::newRow("digit") << "M" << "2nd Speed" << 6 << 0x6411 << 10 << 0 << "M_2ndSpeed" << "%QW0"
                           << "M 16#6411_A_2nd Speed";
    QTest::newRow("cut") << "DriveController" << "Status Word" << 7 << 0x1A00 << 1 << -1
                         << "DriveControllerStatu" << "%QD-1" << "DriveController 16#1A00_1_Status Word";
    QTest::newRow("boolean") << "M" << "b" << 1 << 0x6000 << 1 << 0 << "" << "" << "";
    QTest::newRow("real") << "M" << "r" << 8 << 0x6000 << 1 << 0 << "" << "" << "";
}

void tst_MemoryPlacement::symbols()
{
    QFETCH(QString, slaveName);
    QFETCH(QString, entryName);
    QFETCH(int, dataType);
    QFETCH(int, index);
    QFETCH(int, sub);
    QFETCH(int, offset);
    QFETCH(QString, symbol);
    CanObject s;
    s.name = slaveName;
    PDOMapEntry e = entryOf(1, 0x82, offset);
    e.name = entryName;
    e.dataType = quint32(dataType);
    e.index = quint32(index);
    e.subIndex = quint32(sub);
    PDOMapEntry after = entryOf(1, 0x82, 9);
    after.dataType = 5;
    after.name = QStringLiteral("X");
    PDOConfig pdo;
    pdo.direction = PdoReceive;
    pdo.mapList << e << after;
    s.pdoList << pdo;
    const QList<MappingSymbol> list = buildMappingSymbols(s);
    QCOMPARE(list.size(), symbol.isEmpty() ? 1 : 2);
    QCOMPARE(list.last().name, slaveName + QStringLiteral("X"));
    if (symbol.isEmpty())
        return;
    QCOMPARE(list.first().reserved, QString());
    QCOMPARE(list.first().name, symbol);
    QTEST(list.first().address, "address");
    QTEST(list.first().comment, "comment");
}

QTEST_GUILESS_MAIN(tst_MemoryPlacement)
#include "tst_memoryplacement.moc"
