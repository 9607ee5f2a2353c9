#include "plugin/canobject.h"
#include "eds/edsfile.h"
#include "plugin/hostservices.h"

#include <QtTest>

namespace {

EdsEntry mappable(int index, int subIndex, quint8 dataType, const QString &name = QString())
{
    EdsEntry entry;
    entry.index = index;
    entry.subIndex = subIndex;
    entry.dataType = dataType;
    entry.parameterName = name.isEmpty() ? QStringLiteral("Obj%1sub%2").arg(index, 0, 16).arg(subIndex) : name;
    entry.pdoMapping = true;
    return entry;
}

EdsPdoEntry offeredPdo(int index, quint32 cobId, bool relative, const QString &name)
{
    EdsPdoEntry pdo;
    pdo.index = index;
    pdo.parameterName = name;
    pdo.cobIdBase = qint32(cobId);
    pdo.cobIdRelative = relative ? 1 : 0;
    pdo.transmissionType = 254;
    pdo.inhibitTime = 10;
    pdo.eventTimer = 100;
    return pdo;
}

// A slave whose EDS offers receive PDOs 0x1400..0x1403 and transmit PDOs 0x1800..0x1803.
CanObject slaveWithOfferedPdos(quint8 nodeId = 5)
{
    CanObject slave(nodeId);
    slave.projectKey = QStringLiteral("model-test");
    for (int n = 0; n < 4; ++n)
        slave.edsPdoList.append(offeredPdo(0x1400 + n, 0x200 + 0x100 * n, true, QStringLiteral("RPDO%1 parameter").arg(n + 1)));
    for (int n = 0; n < 4; ++n)
        slave.edsPdoList.append(offeredPdo(0x1800 + n, 0x180 + 0x100 * n, true, QStringLiteral("TPDO%1 parameter").arg(n + 1)));
    return slave;
}

QList<quint32> commIndexes(const CanObject &slave)
{
    QList<quint32> result;
    for (const PDOConfig &pdo : slave.pdoList)
        result.append(pdo.commIndex);
    return result;
}

} // namespace

class tst_CanObject : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearAllMemory(); }
    void addPdoKeepsOrder_data();
    void addPdoKeepsOrder();
    void addPdoCopiesOffer();
    void addPdoRefused_data();
    void addPdoRefused();
    void addMapEntryLimits_data();
    void addMapEntryLimits();
    void addMapEntryValues();
    void removePdoFreesMemory();
    void effectiveCobId_data();
    void effectiveCobId();
    void setNodeIdFollows();
    void shortDescription_data();
    void shortDescription();
    void edsLookupsTakeFirst();
    void copiesAreIndependent();
    void checkFlagsByte_data();
    void checkFlagsByte();
};

void tst_CanObject::addPdoKeepsOrder_data()
{
    QTest::addColumn<QList<quint32>>("present");
    QTest::addColumn<quint32>("added");
    QTest::addColumn<int>("position");

    const QList<quint32> three{0x1400, 0x1800, 0x1801};
    QTest::newRow("after the last") << three << 0x1802u << 3;
    QTest::newRow("between receive and transmit") << three << 0x1401u << 1;
    QTest::newRow("before all") << QList<quint32>{0x1401, 0x1800} << 0x1400u << 0;
    QTest::newRow("into empty list") << QList<quint32>{} << 0x1803u << 0;
}

void tst_CanObject::addPdoKeepsOrder()
{
    QFETCH(QList<quint32>, present);
    QFETCH(quint32, added);
    QFETCH(int, position);

    CanObject slave = slaveWithOfferedPdos();
    for (quint32 index : present)
        QVERIFY(slave.addPdo(index) >= 0);
    QCOMPARE(slave.addPdo(added), position);
    QList<quint32> expected = present;
    expected.insert(position, added);
    QCOMPARE(commIndexes(slave), expected);
    for (quint32 index : expected)
        QCOMPARE(slave.findPdo(index), expected.indexOf(index));
}

void tst_CanObject::addPdoCopiesOffer()
{
    CanObject slave = slaveWithOfferedPdos(9);
    QCOMPARE(slave.addPdo(0x1801), 0);
    const PDOConfig *pdo = slave.pdo(0x1801);
    QVERIFY(pdo);
    QCOMPARE(pdo->direction, PdoTransmit);
    QCOMPARE(pdo->cobIdBase, 0x280u);
    QCOMPARE(pdo->cobIdRelative, 1);
    QCOMPARE(pdo->transmissionType, quint8(254));
    QCOMPARE(pdo->inhibitTime, quint16(10));
    QCOMPARE(pdo->eventTimer, quint16(100));
    QCOMPARE(pdo->name, QStringLiteral("TPDO2 parameter"));
    QCOMPARE(pdo->nodeId, quint8(9));
    QCOMPARE(pdo->reservedValue, 0);
    QVERIFY(pdo->mapList.isEmpty());
    QCOMPARE(slave.addPdo(0x1400), 0);
    QCOMPARE(slave.pdo(0x1400)->direction, PdoReceive);
}

void tst_CanObject::addPdoRefused_data()
{
    QTest::addColumn<quint32>("index");
    QTest::newRow("already in use") << 0x1800u;
    QTest::newRow("not offered") << 0x1804u;
    QTest::newRow("not a PDO") << 0x1000u;
}

void tst_CanObject::addPdoRefused()
{
    QFETCH(quint32, index);
    CanObject slave = slaveWithOfferedPdos();
    QCOMPARE(slave.addPdo(0x1800), 0);
    const QList<PDOConfig> before = slave.pdoList;
    QCOMPARE(slave.addPdo(index), -1);
    QCOMPARE(slave.pdoList, before);
    QCOMPARE(slave.removePdo(0x1801), -1);
    QVERIFY(!slave.pdo(0x1801));
}

void tst_CanObject::addMapEntryLimits_data()
{
    QTest::addColumn<QList<int>>("present");   // data types already mapped
    QTest::addColumn<int>("dataType");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("expected");

    QTest::newRow("8 bytes full, 1 more") << QList<int>{7, 7} << 5 << -1 << -2;
    QTest::newRow("4 plus 4 is exactly 8") << QList<int>{7} << 4 << -1 << 1;
    QTest::newRow("7 plus 2 exceeds") << QList<int>{7, 6, 5} << 3 << -1 << -2;
    QTest::newRow("string on full PDO") << QList<int>{7, 7} << 9 << -1 << 2;
    QTest::newRow("position -2") << QList<int>{5} << 5 << -2 << -1;
    QTest::newRow("position beyond size") << QList<int>{5} << 5 << 2 << -1;
    QTest::newRow("position equal to size appends") << QList<int>{5} << 5 << 1 << 1;
    QTest::newRow("insert at front") << QList<int>{5, 5} << 5 << 0 << 0;
    QTest::newRow("size check before position check") << QList<int>{7, 7} << 5 << 9 << -2;
}

void tst_CanObject::addMapEntryLimits()
{
    QFETCH(QList<int>, present);
    QFETCH(int, dataType);
    QFETCH(int, position);
    QFETCH(int, expected);

    CanObject slave = slaveWithOfferedPdos();
    slave.addPdo(0x1800);
    PDOConfig &pdo = *slave.pdo(0x1800);
    for (int i = 0; i < present.size(); ++i)
        QVERIFY(CanObject::addMapEntry(pdo, mappable(0x6000, i + 1, quint8(present.at(i))), -1) >= 0);
    const QList<PDOMapEntry> before = pdo.mapList;

    const EdsEntry added = mappable(0x7000, 1, quint8(dataType));
    QCOMPARE(CanObject::addMapEntry(pdo, added, position), expected);
    if (expected < 0) {
        QCOMPARE(pdo.mapList, before);
    } else {
        QCOMPARE(pdo.mapList.size(), before.size() + 1);
        QCOMPARE(pdo.mapList.at(expected).index, 0x7000u);
    }
    QVERIFY(CanObject::pdoByteLength(pdo) <= 8);
}

void tst_CanObject::addMapEntryValues()
{
    CanObject slave = slaveWithOfferedPdos();
    slave.addPdo(0x1400);
    slave.addPdo(0x1800);
    PDOConfig &receive = *slave.pdo(0x1400);
    PDOConfig &transmit = *slave.pdo(0x1800);

    const EdsEntry word = mappable(0x6200, 1, DataTypeUnsigned16, QStringLiteral("Outputs"));
    QCOMPARE(CanObject::addMapEntry(receive, word, -1), 0);
    QCOMPARE(CanObject::addMapEntry(receive, word, -1), -1); // same object twice
    QCOMPARE(CanObject::addMapEntry(transmit, word, -1), 0);

    const PDOMapEntry *r = CanObject::mapEntryAt(receive, 0);
    QVERIFY(r);
    QCOMPARE(r->name, QStringLiteral("Outputs"));
    QCOMPARE(r->byteLength, 2u);
    QCOMPARE(r->dataType, quint32(DataTypeUnsigned16));
    QCOMPARE(r->area, -1);
    QCOMPARE(r->offset, -1);
    QCOMPARE(r->reservedValue, -1);
    QCOMPARE(r->clearWhenStop, quint8(1));
    QVERIFY(!r->readOnly);
    QCOMPARE(CanObject::mapEntryAt(transmit, 0)->clearWhenStop, quint8(2));
    QVERIFY(!CanObject::mapEntryAt(transmit, 1));
    QVERIFY(!CanObject::mapEntryAt(transmit, -1));
    QCOMPARE(CanObject::findMapEntry(transmit, 0x6200, 1), CanObject::mapEntryAt(transmit, 0));
    QVERIFY(!CanObject::findMapEntry(transmit, 0x6200, 2));

    QCOMPARE(CanObject::removeMapEntry(transmit, 1), -1);
    QCOMPARE(CanObject::removeMapEntry(transmit, 0), 0);
    QCOMPARE(CanObject::pdoByteLength(transmit), 0u);
}

void tst_CanObject::removePdoFreesMemory()
{
    CanObject slave = slaveWithOfferedPdos();
    slave.addPdo(0x1800);
    slave.addPdo(0x1801);
    for (quint32 index : {0x1800u, 0x1801u}) {
        PDOConfig &pdo = *slave.pdo(index);
        for (int sub = 1; sub <= 2; ++sub) {
            CanObject::addMapEntry(pdo, mappable(0x6000, sub, DataTypeUnsigned16), -1);
            PDOMapEntry &entry = pdo.mapList.last();
            entry.area = VarAreaInput;
            entry.offset = autoMallocMemory(slave.projectKey, VarAreaInput, 2);
            entry.held = true;
        }
    }
    QCOMPARE(reservedByteCount(slave.projectKey, VarAreaInput), 8);

    // A copy going away frees nothing.
    { CanObject copy = slave; }
    QCOMPARE(reservedByteCount(slave.projectKey, VarAreaInput), 8);

    QCOMPARE(slave.removePdo(0x1800), 0);
    QCOMPARE(memoryReservations(slave.projectKey), (QList<MemoryReservation>{{VarAreaInput, 4, 4}}));
    slave.releaseMappedMemory();
    QCOMPARE(reservedByteCount(slave.projectKey, VarAreaInput), 0);
}

void tst_CanObject::effectiveCobId_data()
{
    QTest::addColumn<int>("relative");
    QTest::addColumn<quint32>("base");
    QTest::addColumn<int>("nodeId");
    QTest::addColumn<quint32>("cobId");

    QTest::newRow("relative 0x180 at node 5") << 1 << 0x180u << 5 << 0x185u;
    QTest::newRow("absolute with bit 31") << 0 << 0x80000185u << 5 << 0x185u;
    QTest::newRow("relative with bit 31") << 1 << 0x80000200u << 3 << 0x203u;
    QTest::newRow("absolute ignores node") << 0 << 0x300u << 127 << 0x300u;
}

void tst_CanObject::effectiveCobId()
{
    QFETCH(int, relative);
    QFETCH(quint32, base);
    QFETCH(int, nodeId);
    QFETCH(quint32, cobId);
    PDOConfig pdo;
    pdo.cobIdRelative = relative;
    pdo.cobIdBase = base;
    pdo.nodeId = quint8(nodeId);
    QCOMPARE(CanObject::effectiveCobId(pdo), cobId);
}

void tst_CanObject::setNodeIdFollows()
{
    CanObject bare;
    bare.emcyCobIdRelative = 1;
    bare.emcyCobIdBase = 0x80;
    bare.setNodeId(10);
    QCOMPARE(bare.nodeId, quint8(10));
    QCOMPARE(bare.emcyCobId(), 0x8Au);
    QCOMPARE(bare.nodeGuardCobId(), 0x70Au);
    bare.emcyCobIdRelative = 0;
    QCOMPARE(bare.emcyCobId(), 0x80u);

    CanObject slave = slaveWithOfferedPdos(1);
    slave.addPdo(0x1400);
    slave.addPdo(0x1803);
    slave.setNodeId(0x22);
    for (const PDOConfig &pdo : qAsConst(slave.pdoList))
        QCOMPARE(pdo.nodeId, quint8(0x22));
    QCOMPARE(CanObject::effectiveCobId(*slave.pdo(0x1803)), 0x4A2u);
}

void tst_CanObject::shortDescription_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("transmit") << "TPDO1 communication parameter" << "TxPDO 1";
    QTest::newRow("receive") << "RPDO12" << "RxPDO 1";
    QTest::newRow("short name") << "AB" << "AxB   ";
    QTest::newRow("empty") << "" << " x    ";
}

void tst_CanObject::shortDescription()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    PDOConfig pdo;
    pdo.name = name;
    QCOMPARE(CanObject::shortDescription(pdo), expected);
}

void tst_CanObject::edsLookupsTakeFirst()
{
    CanObject slave = slaveWithOfferedPdos();
    EdsEntry first = mappable(0x6000, 1, DataTypeUnsigned8, QStringLiteral("first"));
    EdsEntry second = first;
    second.parameterName = QStringLiteral("second");
    slave.mappableList = {mappable(0x6000, 2, DataTypeUnsigned8), first, second};
    slave.edsMappingList = {mappable(0x1A00, 0, DataTypeUnsigned8), mappable(0x1A00, 1, DataTypeUnsigned32)};

    EdsEntry out;
    QCOMPARE(slave.findMappable(0x6000, 1, out), 1);
    QCOMPARE(out.parameterName, QStringLiteral("first"));
    out.parameterName = QStringLiteral("untouched");
    QCOMPARE(slave.findMappable(0x6000, 3, out), -1);
    QCOMPARE(out.parameterName, QStringLiteral("untouched"));
    QCOMPARE(slave.findMappingEntry(0x1A00, 1), 1);
    QCOMPARE(slave.findMappingEntry(0x1A01, 0), -1);
    EdsPdoEntry pdo;
    QCOMPARE(slave.findEdsPdo(0x1802, pdo), 6);
    QCOMPARE(pdo.parameterName, QStringLiteral("TPDO3 parameter"));
    QCOMPARE(slave.findEdsPdo(0x1A00, pdo), -1);
}

void tst_CanObject::copiesAreIndependent()
{
    CanObject slave = slaveWithOfferedPdos();
    slave.addPdo(0x1800);
    CanObject::addMapEntry(*slave.pdo(0x1800), mappable(0x6000, 1, DataTypeUnsigned8), -1);
    const CanObject original = slave;

    CanObject copy = slave;
    copy.pdo(0x1800)->mapList.first().offset = 42;
    copy.addPdo(0x1400);
    copy.name = QStringLiteral("changed");
    copy.setCheckFlags(0x0F);
    QCOMPARE(slave.pdoList, original.pdoList);
    QCOMPARE(slave.name, original.name);
    QCOMPARE(slave.checkFlags(), quint8(0));

    // Assignment writes everything back, the key and the check flags included.
    slave = copy;
    QCOMPARE(slave.pdoList, copy.pdoList);
    QCOMPARE(slave.projectKey, copy.projectKey);
    QCOMPARE(slave.checkFlags(), quint8(0x0F));
}

void tst_CanObject::checkFlagsByte_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("vendor");
    QTest::addColumn<bool>("deviceType");
    QTest::addColumn<bool>("product");
    QTest::addColumn<bool>("revision");
    QTest::newRow("none") << 0x00 << false << false << false << false;
    QTest::newRow("vendor only") << 0x01 << true << false << false << false;
    QTest::newRow("vendor and product") << 0x05 << true << false << true << false;
    QTest::newRow("all") << 0x0F << true << true << true << true;
}

void tst_CanObject::checkFlagsByte()
{
    QFETCH(int, flags);
    QFETCH(bool, vendor);
    QFETCH(bool, deviceType);
    QFETCH(bool, product);
    QFETCH(bool, revision);
    CanObject slave;
    slave.setCheckFlags(quint8(flags | 0xF0)); // upper bits carry nothing
    QCOMPARE(slave.skipVendorIdCheck, vendor);
    QCOMPARE(slave.skipDeviceTypeCheck, deviceType);
    QCOMPARE(slave.skipProductCodeCheck, product);
    QCOMPARE(slave.skipRevisionCheck, revision);
    QCOMPARE(int(slave.checkFlags()), flags);
}

QTEST_GUILESS_MAIN(tst_CanObject)
#include "tst_canobject.moc"
