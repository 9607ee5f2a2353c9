// The slave model's lists; compile against the block layout, byte by byte;
// recompile against the EDS as it is now, or without it: every refusal by its
// code, and the host's memory book left as it was before a refused call; PLC
// places, memory maps, mapping symbols.

#include "compile/blockreader.h"
#include "eds/edsfile.h"
#include "model/canobject.h"
#include "model/hostservices.h"
#include "model/memoryplacement.h"
#include "model/slavefromeds.h"
#include "plugin/canslave.h"
#include "plugin/mappingsymbols.h"
#include "testslave.h"

#include <QtTest>

Q_DECLARE_METATYPE(QList<MemoryReservation>)
Q_DECLARE_METATYPE(PDOMapEntry)

namespace {

const QString key = QStringLiteral("station-a");
const QString fixture = QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds");
const char *timesHex = "04B0 0960 0000 03E8 00000000"; // 1200/2400/1000, the model's defaults

// Spaces are no hex digits, so they are skipped.
QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

// Opening of every block for a slave named "IO", EDS path "a.eds", node 5,
// identity 1/2/3/4 (vendor, device type, product, revision).
QByteArray headerFor(quint8 flags, int bodyLength)
{
    return hex("01 02") + "IO" + hex("05") + "a.eds" + hex("05 00000001 00000002 00000003 00000004") + char(flags)
        + QByteArray(15, '\0') + char(((bodyLength + 2) >> 8) & 0xFF) + char((bodyLength + 2) & 0xFF);
}

CanObject baseSlave()
{
    CanObject s(5);
    s.name = QStringLiteral("IO"), s.edsFile = QStringLiteral("a.eds");
    s.vendorId = 1, s.deviceType = 2, s.productCode = 3, s.revisionNumber = 4;
    return s;
}

// Inhibit time 20, event timer 100, node 5.
PDOConfig pdoOf(quint32 index, qint32 direction, qint32 relative, quint32 base, quint8 type, QList<PDOMapEntry> entries = {})
{
    return PDOConfig{entries, index, relative, base, direction, 0, type, {}, 20, 100, {}, 5};
}

PDOMapEntry entryOf(quint32 index, quint32 sub, quint32 length, qint32 area, qint32 offset, quint8 clear = 1)
{
    return PDOMapEntry{index, sub, {}, length, 0, false, area, offset, -1, clear, false};
}

// The block, or a note that compile did not answer 0 with the host's list emptied.
QByteArray blockOf(CanObject &s)
{
    QByteArray block;
    CompileList list{&s};
    if (compile(&s, block, list) != 0 || !list.isEmpty())
        return QByteArray("compile result or list wrong");
    return block;
}

// For placement: 0x6000/sub of length bytes at area:offset, in a PDO of the index's direction.
PDOMapEntry object(quint32 length, qint32 area, qint32 offset, quint32 sub = 1)
{
    return entryOf(0x6000, sub, length, area, offset);
}

PDOConfig mapped(quint32 index, const QList<PDOMapEntry> &entries)
{
    return pdoOf(index, pdoDirectionFor(index), 0, 0, 0, entries);
}

EdsEntry mappable(int index, int subIndex, quint8 dataType, const QString &name = QString())
{
    return mappableEntry(index, subIndex, dataType, QString(), name);
}

// A slave whose EDS offers receive PDOs 0x1400..0x1403 and transmit PDOs 0x1800..0x1803.
CanObject slaveWithOfferedPdos(quint8 nodeId = 5)
{
    CanObject slave(nodeId);
    slave.projectKey = QStringLiteral("model-test");
    loadEdsIntoSlave(slave, QStringLiteral(CANSLAVE_TEST_DATA "/offered-pdos.eds"));
    return slave;
}

// Equal copies compare equal, and a change to any one field makes them differ.
template<typename T> void noticesEveryField(const T &base, const QList<std::function<void(T &)>> &changes)
{
    QVERIFY(base == T(base));
    for (int i = 0; i < changes.size(); ++i) {
        T changed = base;
        changes.at(i)(changed);
        QVERIFY2(!(changed == base), qPrintable(QStringLiteral("field %1").arg(i)));
    }
}

QString placeOf(const PDOMapEntry &e)
{
    return QStringLiteral("%1:%2").arg(e.area < 0 ? QStringLiteral("-1") : QString::number(e.area, 16)).arg(e.offset);
}

enum Change {
    None, Empty, OneByte, CutInName, CutBeforeBody, ClosingByteMissing, ByteInBody, ByteBeyondBody, LengthZero,
    LengthZeroByteAppended, CobIdChanged, PdoUnknown, PdoTwice, PdoOverfull, MappedTwice, ReceiveAmongTransmit,
    PlaceTakenBySlave, LaterPlaceTaken, CobIdChangedAtEnd, AreaGone,
};

// Slaves the host keeps while a test recompiles; released after each test.
QList<CanObject *> otherSlaves;

// The block of the fixture's default slave at node 5, changed as the row says,
// its EDS gone when edsGone; compiled gets the block as compile wrote it, held
// the places the slave held. The slave itself is gone again.
QByteArray blockWith(Change change, bool edsGone, QByteArray *compiled, QList<MemoryReservation> *held)
{
    CanObject *s = createCanObject(nullptr, fixture, 5, key);
    if (!s)
        return QByteArray();
    if (edsGone)
        s->edsFile = QStringLiteral(CANSLAVE_TEST_DATA "/gone.eds");
    PDOConfig extra = *s->pdo(0x1401);
    QList<PDOMapEntry> &mapped = s->pdo(0x1800)->mapList;
    switch (change) {
    case CobIdChanged: s->pdo(0x1800)->cobIdBase += 1; break;
    case CobIdChangedAtEnd: s->pdoList.last().cobIdBase += 1; break;
    case PdoUnknown: extra.commIndex = 0x1803; s->pdoList.append(extra); break;
    case PdoTwice: s->pdoList.insert(2, extra); break;
    case PdoOverfull: s->pdo(0x1802)->mapList << s->pdo(0x1802)->mapList.at(0); s->pdo(0x1802)->mapList.last().subIndex = 9; break;
    case MappedTwice: mapped.append(mapped.at(0)); break;
    case AreaGone: releasePlace(key, mapped[0]); mapped[0].area = -1; break; // its offset stays
    case ReceiveAmongTransmit: s->pdo(0x1800)->commIndex = 0x1402; break;
    default: break;
    }
    QByteArray block = blockOf(*s);
    *compiled = block;
    *held = memoryReservations(key);
    // The body length: after 0x01, name, path, node, identity, flags and 15 zeros.
    const int at = 1 + 1 + s->name.toLocal8Bit().size() + 1 + s->edsFile.toLocal8Bit().size() + 1 + 16 + 1 + 15;
    const auto setBodyLength = [&](int length) {
        block[at] = char(length >> 8);
        block[at + 1] = char(length);
    };
    const int body = block.size() - at - 2;
    int transmitEnd = at + 2 + 14; // after the times and the counts come the transmit records
    for (const PDOConfig &pdo : qAsConst(s->pdoList))
        transmitEnd += pdo.commIndex >= 0x1800 ? 16 + 7 * pdo.mapList.size() : 0;
    releaseObject(s);
    switch (change) {
    case Empty: return QByteArray();
    case OneByte: return block.left(1);
    case CutInName: return block.left(5);
    case CutBeforeBody: return block.left(at + 1);
    case ClosingByteMissing: block.chop(1); break;
    case ByteInBody: block.append('\0'); setBodyLength(body + 3); break;
    case ByteBeyondBody: block.append('\0'); break;
    case LengthZero: setBodyLength(0); break;
    case CobIdChangedAtEnd: setBodyLength(transmitEnd - at); break;
    case LengthZeroByteAppended: block.append('\0'); setBodyLength(0); break;
    case PlaceTakenBySlave: otherSlaves.append(createCanObject(nullptr, fixture, 6, key)); break;
    case LaterPlaceTaken: getMemory(key, VarAreaInput, 6, 1); break; // the last transmit object's place
    default: break;
    }
    return block;
}

} // namespace

class tst_Compile : public QObject
{
    Q_OBJECT
private slots:
    void init() { clearAllMemory(); resetMemoryAreaSizes(); }
    void cleanup()
    {
        for (CanObject *other : qAsConst(otherSlaves))
            releaseObject(other);
        otherSlaves.clear();
    }

    void addPdoKeepsOrder_data()
    {
        QTest::addColumn<QList<quint32>>("present");
        QTest::addColumn<quint32>("added");
        QTest::addColumn<int>("position"); // -1: refused
        const QList<quint32> three{0x1400, 0x1800, 0x1801};
        QTest::newRow("after the last") << three << 0x1802u << 3;
        QTest::newRow("between receive and transmit") << three << 0x1401u << 1;
        QTest::newRow("before all") << QList<quint32>{0x1401, 0x1800} << 0x1400u << 0;
        QTest::newRow("into empty list") << QList<quint32>{} << 0x1803u << 0;
        QTest::newRow("already in use") << three << 0x1800u << -1;
        QTest::newRow("not offered") << three << 0x1804u << -1;
        QTest::newRow("not a PDO") << three << 0x1000u << -1;
    }
    void addPdoKeepsOrder()
    {
        QFETCH(QList<quint32>, present);
        QFETCH(quint32, added);
        QFETCH(int, position);
        CanObject slave = slaveWithOfferedPdos();
        for (quint32 index : present)
            QVERIFY(slave.addPdo(index) >= 0);
        QCOMPARE(slave.addPdo(added), position);
        QList<quint32> expected = present, found;
        if (position >= 0)
            expected.insert(position, added);
        for (const PDOConfig &pdo : qAsConst(slave.pdoList))
            found << pdo.commIndex;
        QCOMPARE(found, expected);
        for (quint32 index : expected)
            QCOMPARE(slave.findPdo(index), expected.indexOf(index));
        QCOMPARE(slave.removePdo(0x1803) >= 0, expected.contains(0x1803));
    }

    void addPdoCopiesOffer()
    {
        CanObject slave = slaveWithOfferedPdos(9);
        QCOMPARE(slave.addPdo(0x1801), 0);
        QCOMPARE(*slave.pdo(0x1801), (PDOConfig{{}, 0x1801, 1, 0x280, PdoTransmit, 0, 254, {}, 10, 100, "TPDO2 parameter", 9}));
        QCOMPARE(slave.addPdo(0x1400), 0);
        QVERIFY(std::as_const(slave).pdo(0x1400)->direction == PdoReceive && slave.addPdo(0x1400) == -1); // the first PDO is there once
    }

    void addMapEntryLimits_data()
    {
        QTest::addColumn<QList<int>>("present"); // data types already mapped
        QTest::addColumn<int>("dataType");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("expected");
        QTest::newRow("8 bytes full, 1 more") << QList<int>{7, 7} << 5 << -1 << -2;
        QTest::newRow("4 plus 4 is exactly 8") << QList<int>{7} << 4 << -1 << 1;
        QTest::newRow("real is 4 bytes") << QList<int>{7} << 8 << -1 << 1;
        QTest::newRow("real on 5 bytes exceeds") << QList<int>{7, 1} << 8 << -1 << -2;
        QTest::newRow("boolean fills the last byte") << QList<int>{7, 6, 5} << 1 << -1 << 3;
        QTest::newRow("7 plus 2 exceeds") << QList<int>{7, 6, 5} << 3 << -1 << -2;
        QTest::newRow("string on full PDO") << QList<int>{7, 7} << 9 << -1 << 2;
        QTest::newRow("same object twice") << QList<int>{5} << 5 << -1 << -1;
        QTest::newRow("position -2") << QList<int>{5} << 5 << -2 << -1;
        QTest::newRow("position beyond size") << QList<int>{5} << 5 << 2 << -1;
        QTest::newRow("position equal to size appends") << QList<int>{5} << 5 << 1 << 1;
        QTest::newRow("insert at front") << QList<int>{5, 5} << 5 << 0 << 0;
        QTest::newRow("size check before position check") << QList<int>{7, 7} << 5 << 9 << -2;
    }
    void addMapEntryLimits()
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
        // The row "same object twice" maps 0x6000/1 again.
        const int index = QByteArray(QTest::currentDataTag()).startsWith("same") ? 0x6000 : 0x7000;
        QCOMPARE(CanObject::addMapEntry(pdo, mappable(index, 1, quint8(dataType)), position), expected);
        QCOMPARE(pdo.mapList.size(), before.size() + (expected < 0 ? 0 : 1));
        if (expected >= 0)
            QCOMPARE(pdo.mapList.at(expected).index, 0x7000u);
        else
            QCOMPARE(pdo.mapList, before);
    }

    void mapEntries()
    {
        CanObject slave = slaveWithOfferedPdos();
        slave.addPdo(0x1400);
        slave.addPdo(0x1800);
        PDOConfig &receive = *slave.pdo(0x1400);
        PDOConfig &transmit = *slave.pdo(0x1800);
        const EdsEntry word = mappable(0x6200, 1, DataTypeUnsigned16, QStringLiteral("Outputs"));
        QCOMPARE(CanObject::addMapEntry(receive, word, -1), 0);
        QCOMPARE(mapAndPlace(slave, transmit, word), 0);
        QCOMPARE(*CanObject::mapEntryAt(receive, 0), (PDOMapEntry{0x6200, 1, "Outputs", 2, DataTypeUnsigned16, false, -1, -1, -1, 1, false}));
        QVERIFY(CanObject::mapEntryAt(transmit, 0)->clearWhenStop == 2 && !CanObject::mapEntryAt(transmit, 1) && !CanObject::mapEntryAt(transmit, -1));
        QVERIFY(CanObject::findMapEntry(transmit, 0x6200, 1) == CanObject::mapEntryAt(transmit, 0) && !CanObject::findMapEntry(transmit, 0x6200, 2));
        const PDOMapEntry placed = transmit.mapList.at(0);
        QVERIFY(placed.held);
        QVERIFY(slave.removeMapEntry(transmit, 1) == -1 && slave.removeMapEntry(transmit, 0) == 0);
        QCOMPARE(CanObject::pdoByteLength(transmit), 0u);
        // Removing an object gives its place back to the station.
        QCOMPARE(getMemory(slave.projectKey, VarArea(placed.area), placed.offset, 2), 1);
    }

    void sdoPositions()
    {
        CanObject slave;
        for (quint16 index : {0x2000, 0x2001})
            QCOMPARE(slave.addSdo(SDOEntry{index, 0, 1, {}, {}, {}}), int(index - 0x2000));
        QVERIFY(!slave.sdoAt(2) && !slave.sdoAt(-1));
        QVERIFY(slave.removeSdo(2) == -1 && slave.removeSdo(-1) == -1);
        QCOMPARE(slave.removeSdo(0), 0);
        QVERIFY(slave.sdoList.size() == 1 && slave.sdoAt(0)->index == 0x2001);
    }

    void shortDescription()
    {
        // "TPDO1..." reads "TxPDO 1"; short names are padded so that the inserts stay in place.
        QStringList texts;
        for (const char *name : {"TPDO1 communication parameter", "RPDO12", "AB", ""})
            texts << CanObject::shortDescription(PDOConfig{{}, 0, 0, 0, 0, 0, 0, {}, 0, 0, name, 0});
        QCOMPARE(texts, QStringList({"TxPDO 1", "RxPDO 1", "AxB   ", " x    "}));
    }

    void edsLookupsTakeFirst()
    {
        CanObject slave = slaveWithOfferedPdos();
        const EdsEntry first = mappable(0x6000, 1, DataTypeUnsigned8, QStringLiteral("first"));
        slave.mappableList = {mappable(0x6000, 2, DataTypeUnsigned8), first, mappable(0x6000, 1, DataTypeUnsigned8, "second")};
        slave.edsMappingList = {mappable(0x1A00, 0, DataTypeUnsigned8), mappable(0x1A00, 1, DataTypeUnsigned32)};
        EdsEntry out;
        QVERIFY(slave.findMappable(0x6000, 1, out) == 1 && out.parameterName == QLatin1String("first"));
        QVERIFY(slave.findMappable(0x6000, 3, out) == -1 && out.parameterName == QLatin1String("first")); // untouched
        QVERIFY(slave.findMappingEntry(0x1A00, 1) == 1 && slave.findMappingEntry(0x1A01, 0) == -1);
        EdsPdoEntry pdo;
        QCOMPARE(slave.findEdsPdo(0x1802, pdo), 6);
        QCOMPARE(pdo.parameterName, QStringLiteral("TPDO3 parameter"));
        QCOMPARE(slave.findEdsPdo(0x1A00, pdo), -1);
    }

    void recordsCompareEveryField()
    {
        using M = PDOMapEntry;
        noticesEveryField<M>(M(), {[](M &e) { e.index = 1; }, [](M &e) { e.subIndex = 1; }, [](M &e) { e.name = "n"; },
                                   [](M &e) { e.byteLength = 1; }, [](M &e) { e.dataType = 1; }, [](M &e) { e.readOnly = true; },
                                   [](M &e) { e.area = 1; }, [](M &e) { e.offset = 1; }, [](M &e) { e.reservedValue = 1; },
                                   [](M &e) { e.clearWhenStop = 0; }});
        using P = PDOConfig;
        noticesEveryField<P>(P(), {[](P &p) { p.mapList.append(PDOMapEntry()); }, [](P &p) { p.commIndex = 1; },
                                   [](P &p) { p.cobIdRelative = 1; }, [](P &p) { p.cobIdBase = 1; }, [](P &p) { p.direction = 1; },
                                   [](P &p) { p.reservedValue = 1; }, [](P &p) { p.transmissionType = 1; },
                                   [](P &p) { p.reservedText = "t"; }, [](P &p) { p.inhibitTime = 1; },
                                   [](P &p) { p.eventTimer = 1; }, [](P &p) { p.name = "n"; }, [](P &p) { p.nodeId = 1; }});
        using S = SDOEntry;
        noticesEveryField<S>(S(), {[](S &e) { e.index = 1; }, [](S &e) { e.subIndex = 1; }, [](S &e) { e.length = 1; },
                                   [](S &e) { e.data = "d"; }, [](S &e) { e.dataText = "t"; }, [](S &e) { e.name = "n"; }});
        using E = EdsPdoEntry;
        noticesEveryField<E>(E(), {[](E &e) { e.subNumber = 1; }, [](E &e) { e.index = 1; }, [](E &e) { e.subIndex = 1; },
                                   [](E &e) { e.parameterName = "n"; }, [](E &e) { e.objectType = 1; }, [](E &e) { e.dataType = 1; },
                                   [](E &e) { e.lowLimit = 1; }, [](E &e) { e.highLimit = 1; }, [](E &e) { e.limitsNodeRelative = 1; }, [](E &e) { e.accessType = "rw"; },
                                   [](E &e) { e.defaultIsNodeRelative = 1; }, [](E &e) { e.defaultValue = 1; },
                                   [](E &e) { e.pdoMapping = true; }, [](E &e) { e.objFlags = 1; }, [](E &e) { e.compactSubObj = 1; },
                                   [](E &e) { e.cobIdRelative = 1; }, [](E &e) { e.cobIdBase = 1; }, [](E &e) { e.inhibitTime = 1; },
                                   [](E &e) { e.eventTimer = 1; }, [](E &e) { e.transmissionType = 1; }});
    }
    // Every read past the end fails and takes nothing.
    void shortReads()
    {
        BlockReader in(QByteArray::fromHex("010203"));
        quint32 v = 0;
        QByteArray bytes;
        QVERIFY(!in.skip(-1) && !in.take(-1, bytes) && !in.byte4(v) && in.byte2(v) && v == 0x0102 && !in.byte2(v) && !in.take(2, bytes) && !in.skip(2));
        QVERIFY(in.byte1(v) && v == 3 && !in.byte1(v) && in.remaining() == 0);
    }

    void wholeBlock()
    {
        CanObject s = baseSlave();
        s.setCheckFlags(0x0E);
        // The index picks the list, the direction the fields: 0x1800 set to receive has no timers and a clear
        // byte per object; transmit PDOs come first; bit 31 is never written; 0x1600 is in neither range.
        s.pdoList << pdoOf(0x1400, PdoReceive, 1, 0x200, 1, {entryOf(0x6200, 1, 1, 0x82, 3, 0), entryOf(0x6411, 2, 2, -1, -1, 1)})
                  << pdoOf(0x1401, PdoReceive, 0, 0x80000301u, 255) << pdoOf(0x1600, PdoReceive, 0, 0x401, 0)
                  << pdoOf(0x1800, PdoReceive, 1, 0x180, 254, {entryOf(0x6000, 1, 1, 0x81, 4, 1)})
                  << pdoOf(0x1801, PdoTransmit, 0, 0x181, 255, {entryOf(0x6000, 2, 1, 0x81, 5, 2)});
        // SDO values go out reversed, in 4 bytes; the model keeps them padded, so a second compile writes the same.
        s.sdoList << SDOEntry{0x2000, 1, 1, hex("7F"), {}, {}} << SDOEntry{0x2001, 1, 2, hex("1234"), {}, {}}
                  << SDOEntry{0x2002, 1, 4, hex("11223344 55"), {}, {}};
        const QByteArray body = hex(timesHex) + hex("02 02 01 6000 01 01 81 0004 01 1800 00000185 FE 00000000"
                                                    "01 6000 02 01 81 0005 1801 00000181 0064 0014 FF 00000000"
                                                    "02 6200 01 01 82 0003 00 6411 02 02 FF FFFF 01 1400 00000205 01 00000000"
                                                    "00 1401 00000301 FF 00000000"
                                                    "03 2000 01 01 7F000000 2001 01 02 34120000 2002 01 04 44332211")
            + QByteArray(16, '\0');
        const QByteArray first = blockOf(s);
        QCOMPARE(first.toHex(' '), (headerFor(0x0E, body.size()) + body).toHex(' '));
        QCOMPARE(s.sdoList.at(1).data, hex("00001234"));
        QCOMPARE(s.sdoList.at(2).data, hex("11223344 55"));
        QCOMPARE(blockOf(s), first);
        // Only the vendor check skipped, no PDO, no SDO.
        CanObject empty = baseSlave();
        empty.setCheckFlags(0x01);
        const QByteArray nothing = hex(timesHex) + hex("00 00 00") + QByteArray(16, '\0');
        QCOMPARE(blockOf(empty).toHex(' '), (headerFor(0x01, nothing.size()) + nothing).toHex(' '));
    }

    void longNameCutAtCharacter()
    {
        CanObject s = baseSlave();
        s.name = QString(256, QLatin1Char('n'));
        s.edsFile = QString(300, QLatin1Char('p'));
        QCOMPARE(blockOf(s).left(514), hex("01 FF") + QByteArray(255, 'n') + hex("FF") + QByteArray(255, 'p') + hex("05"));
        // Characters beyond 16 bits are never cut in half: the last whole one ends at byte 255 here.
        s.name = QLatin1Char('x') + QString::fromUtf8("\xF0\x9F\x98\x80" "a").repeated(200);
        const QByteArray block = blockOf(s);
        const int n = quint8(block.at(1));
        QCOMPARE(n, 255);
        QCOMPARE(block.mid(2, n), s.name.toLocal8Bit().left(n));
        QCOMPARE(quint8(block.at(2 + n)), quint8(255));
        // A name cut where it is read keeps what the block carries, a pair whole also where half of it would fit.
        QCOMPARE(boundedSlaveName(s.name).toLocal8Bit(), block.mid(2, n));
        const QString cut = boundedSlaveName(QStringLiteral("xx") + s.name);
        QVERIFY(cut.toLocal8Bit().size() == 253 && !cut.back().isHighSurrogate());
        s.name = QString(200, QChar(0x00E9));
        const int width = s.name.toLocal8Bit().size() / 200;
        QCOMPARE(int(quint8(blockOf(s).at(1))), 255 / width * width);
        QCOMPARE(boundedSlaveName(s.name), s.name.left(255 / width));
    }

    void codes_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<bool>("edsGone");
        QTest::addColumn<int>("code"); // 0: accepted
        const struct { const char *name; Change change; int code; } rows[] = {
            {"unchanged", None, 0}, {"empty", Empty, 1}, {"one byte", OneByte, 1}, {"cut in the name", CutInName, 1},
            {"cut before the body", CutBeforeBody, 1}, {"closing byte missing", ClosingByteMissing, 1},
            {"byte after the closing zeros", ByteInBody, 6},
            // The body length cuts off what lies beyond it; below 2 it keeps all.
            {"byte beyond the body length", ByteBeyondBody, 0}, {"length below 2 keeps all", LengthZero, 0},
            {"length below 2, byte appended", LengthZeroByteAppended, 6}, {"COB-ID changed", CobIdChanged, 5},
            // The first fault in reading order is the one reported, up to the last byte of the body.
            {"COB-ID changed in the last record the body holds", CobIdChangedAtEnd, 5},
            {"PDO the EDS lacks", PdoUnknown, 3}, {"PDO twice", PdoTwice, 3}, {"PDO over 8 bytes", PdoOverfull, 4},
            {"object mapped twice", MappedTwice, 4},
            {"places of another slave", PlaceTakenBySlave, 1}, {"a later place taken", LaterPlaceTaken, 1},
            {"object without an area claims no place", AreaGone, 0}};
        for (const auto &row : rows)
            QTest::newRow(row.name) << int(row.change) << false << row.code;
        // Without the EDS the block is all there is, and the slave's own checks still refuse.
        QTest::newRow("without EDS, object mapped twice") << int(MappedTwice) << true << 4;
        QTest::newRow("without EDS, PDO over 8 bytes") << int(PdoOverfull) << true << 4;
        QTest::newRow("without EDS, PDO twice") << int(PdoTwice) << true << 3;
        QTest::newRow("without EDS, receive PDO among the transmit ones") << int(ReceiveAmongTransmit) << true << 3;
    }
    void codes()
    {
        QFETCH(int, change);
        QFETCH(bool, edsGone);
        QFETCH(int, code);
        QByteArray compiled;
        QList<MemoryReservation> held;
        const QByteArray block = blockWith(Change(change), edsGone, &compiled, &held);
        const QList<MemoryReservation> before = memoryReservations(key);
        int result = -7;
        CanObject *s = recompile(block, key, &result);
        QCOMPARE(result, code == 0 ? -7 : code);
        QCOMPARE(s != nullptr, code == 0);
        if (s) {
            QCOMPARE(blockOf(*s).toHex(), compiled.toHex());
            QCOMPARE(memoryReservations(key), held);
            releaseObject(s);
        }
        QCOMPARE(memoryReservations(key), before);
    }

    void placeholder()
    {
        // Mapped objects the EDS does not offer keep their places under made-up names, typed by their stored lengths;
        // a mapping the device fixes comes back read-only.
        CanObject *s = createCanObject(nullptr, fixture, 5, key);
        QVERIFY(s);
        s->pdo(0x1400)->mapList << entryOf(0x6000, 9, 1, VarAreaFallback, 100) << entryOf(0x2abc, 0x1f, 2, VarAreaFallback, 101)
                                << entryOf(0x6000, 0x11, 3, VarAreaFallback, 103);
        s->pdo(0x1401)->mapList << entryOf(0x6000, 0x10, 4, -1, -1); // without a place
        const QList<PDOMapEntry> fixed = s->pdo(0x1800)->mapList; // the device fixes this mapping: read-only
        const QByteArray block = blockOf(*s);
        releaseObject(s);
        int result = -7;
        CanObject *r = recompile(block, key, &result);
        QCOMPARE(result, -7);
        QStringList back;
        for (quint32 pdo : {0x1400u, 0x1401u})
            for (const PDOMapEntry &e : r->pdo(pdo)->mapList)
                back << QStringLiteral("%1 %2 %3 %4").arg(e.name).arg(e.dataType).arg(e.byteLength).arg(placeOf(e));
        QCOMPARE(back.filter(QStringLiteral("NewPar")), QStringList({"NewPar_6000:9 2 1 84:100", "NewPar_2ABC:1F 3 2 84:101",
                                                                     "NewPar_6000:11 16 3 84:103", "NewPar_6000:10 4 4 -1:-1"}));
        QCOMPARE(r->pdo(0x1800)->mapList, fixed);
        releaseObject(r);
        // Longer stored lengths take the 40- to 64-bit type of that size.
        for (const auto &wide : {qMakePair(5u, 0x12u), qMakePair(8u, 0x15u)}) {
            CanObject *w = createCanObject(nullptr, fixture, 5, key);
            w->pdo(0x1400)->mapList << entryOf(0x6000, 0x20, wide.first, VarAreaFallback, 120);
            const QByteArray wideBlock = blockOf(*w);
            releaseObject(w);
            CanObject *back = recompile(wideBlock, key, &result);
            QVERIFY(back);
            const PDOMapEntry &e = back->pdo(0x1400)->mapList.first();
            QCOMPARE(qMakePair(e.byteLength, quint32(e.dataType)), wide);
            releaseObject(back);
        }
    }

    void placeNew_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("inputSize");
        QTest::addColumn<int>("fallbackSize");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("place");
        QTest::newRow("transmit") << int(PdoTransmit) << 512 << 4096 << true << "81:0 held";
        QTest::newRow("receive") << int(PdoReceive) << 512 << 4096 << true << "82:0 held";
        QTest::newRow("input full") << int(PdoTransmit) << 1 << 4096 << true << "84:0 held";
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
        PDOMapEntry e = object(2, -1, -1);
        QTEST(placeNewEntry(key, pdo, e), "ok");
        QTEST(placeOf(e) + (e.held ? " held" : ""), "place"); // only a place claimed is the slave's to free
        QCOMPARE(int(e.byteLength), 2);
    }

    void autoMalloc_data()
    {
        QTest::addColumn<int>("inputSize");
        QTest::addColumn<int>("fallbackSize");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("placed");
        QTest::addColumn<QList<MemoryReservation>>("reserved");
        // %I0 is taken before each row; the slave asks for 0 (1 byte), 2 (2 bytes), then 0 (4 bytes) and 0 (1 byte).
        QTest::newRow("free places kept, taken ones moved") << 512 << 4096 << true << QStringList{"81:1", "81:2", "81:4", "81:8"}
                                                            << QList<MemoryReservation>{{0x81, 0, 9}};
        QTest::newRow("input full, fallback") << 4 << 4096 << true << QStringList{"81:1", "81:2", "84:0", "84:4"}
                                              << QList<MemoryReservation>{{0x81, 0, 4}, {0x84, 0, 5}};
        // Every object is tried; what was reserved on the way is released again, the places kept stay.
        QTest::newRow("no room: rolled back") << 4 << 0 << false << QStringList{"81:1 free", "81:2", "81:-1 free", "81:-1 free"}
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
        s.pdoList << mapped(0x1400, {object(1, 0x82, 7)}) << mapped(0x1800, {object(1, 0x81, 0), object(2, 0x81, 2, 2)})
                  << mapped(0x1801, {object(4, 0x81, 0), object(1, 0x81, 0, 2)});
        QTEST(autoMallocMap(s, PdoTransmit), "ok");
        QStringList placed;
        for (const PDOConfig &p : qAsConst(s.pdoList))
            for (const PDOMapEntry &e : p.mapList)
                placed << placeOf(e) + (e.held ? "" : " free"); // a place given back is no longer held
        QTEST(QStringList(placed.mid(1)), "placed");
        QTEST(memoryReservations(key), "reserved");
        // The other direction is placed apart.
        QVERIFY(autoMallocMap(s, PdoReceive));
        QVERIFY(memoryReservations(key).contains({0x82, 7, 1}));
    }

    void maps()
    {
        CanObject s;
        s.pdoList << mapped(0x1400, {object(2, 0x82, 0x0102)}) << mapped(0x1800, {object(1, 0x81, 4), object(2, 0x81, 6, 2)});
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
        QTest::addColumn<PDOMapEntry>("object"); // mapped to %Q
        QTest::addColumn<QStringList>("symbol"); // name, address, comment; empty: none
        QTest::newRow("valve") << "Valve" << PDOMapEntry{0x6200, 1, "Digital Output-1", 1, 5, false, 0x82, 3, -1, 1, false}
                               << QStringList{"ValveDigitalOutput_1", "%QB3", "Valve 16#6200_1_Digital Output-1"};
        QTest::newRow("digit") << "M" << PDOMapEntry{0x6411, 10, "2nd Speed", 1, 6, false, 0x82, 0, -1, 1, false}
                               << QStringList{"M_2ndSpeed", "%QW0", "M 16#6411_A_2nd Speed"};
        QTest::newRow("cut") << "DriveController" << PDOMapEntry{0x1A00, 0x11, "Status Word", 1, 7, false, 0x82, -1, -1, 1, false}
                             << QStringList{"DriveControllerStatu", "%QD-1", "DriveController 16#1A00_11_Status Word"};
        QTest::newRow("boolean") << "M" << PDOMapEntry{0x6000, 1, "b", 1, 1, false, 0x82, 0, -1, 1, false} << QStringList();
        QTest::newRow("real") << "M" << PDOMapEntry{0x6000, 1, "r", 1, 8, false, 0x82, 0, -1, 1, false} << QStringList();
        // However long the names, each symbol keeps the 255 characters of each that the block carries.
        QTest::newRow("long names") << QString(300, 'n') << PDOMapEntry{0x6200, 1, QString(300, 'o'), 1, 5, false, 0x82, 3, -1, 1, false}
                                    << QStringList{QString(20, 'n'), "%QB3", QString(255, 'n') + " 16#6200_1_" + QString(255, 'o')};
    }
    void symbols()
    {
        QFETCH(QString, slaveName);
        QFETCH(PDOMapEntry, object);
        CanObject s;
        s.name = slaveName;
        s.pdoList << mapped(0x1400, {object, PDOMapEntry{0x6000, 1, QStringLiteral("X"), 1, 5, false, 0x82, 9, -1, 1, false}});
        const QList<MappingSymbol> list = buildMappingSymbols(s);
        // The object behind it is named "X"; when both symbols come out the same, it takes "_2".
        const QString plain = (slaveName + QStringLiteral("X")).left(20);
        QCOMPARE(list.last().name, list.size() == 2 && list.first().name == plain ? plain.left(18) + QStringLiteral("_2") : plain);
        QStringList first;
        if (list.size() == 2)
            first << list.first().name << list.first().address << list.first().comment << list.first().reserved;
        QTEST(QStringList(first.mid(0, 3)), "symbol");
        QCOMPARE(first.value(3), QString());
    }

    // Names a PLC program can declare, one per object; the names made as always stay where they are such.
    void symbolNames_data()
    {
        QTest::addColumn<QString>("slaveName");
        QTest::addColumn<QStringList>("entryNames");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("kept: blank and dash of the object") << "Valve" << QStringList{"Digital Output-1", "X"}
                                                            << QStringList{"ValveDigitalOutput_1", "ValveX"};
        QTest::newRow("kept: object's leading digit") << "M" << QStringList{"2nd Speed"} << QStringList{"M_2ndSpeed"};
        QTest::newRow("kept: cut, yet unique") << "DriveController" << QStringList{"Status Word", "Control Word"}
                                               << QStringList{"DriveControllerStatu", "DriveControllerContr"};
        QTest::newRow("slave's blank and dash, cut alike")
            << "IO-Module 8DI8DO2AI2AO" << QStringList{"Digital Outputs 1-8", "Digital Inputs 1-8", "Analog Input 1"}
            << QStringList{"IO_Module8DI8DO2AI2A", "IO_Module8DI8DO2AI_2", "IO_Module8DI8DO2AI_3"};
        QTest::newRow("repeats numbered") << "S" << QStringList{"A", "A", "A"} << QStringList{"SA", "SA_2", "SA_3"};
        QTest::newRow("case alone tells no name apart") << "S" << QStringList{"ab", "AB"} << QStringList{"Sab", "SAB_2"};
        QTest::newRow("a cleaned name gives way to a kept one") << "S" << QStringList{"x.y", "x_y"}
                                                                << QStringList{"Sx_y_2", "Sx_y"};
        QTest::newRow("other characters, runs folded, no trailing _") << "Pump #10" << QStringList{"Flow (l/min)"}
                                                                      << QStringList{"Pump_10Flow_l_min"};
        QTest::newRow("ASCII letters and digits, and their neighbours") << "S" << QStringList{"`az{@AZ[/09:"}
                                                                        << QStringList{"S_az_AZ_09"};
        QTest::newRow("slave's leading digit") << "3D" << QStringList{"X"} << QStringList{"_3DX"};
        QTest::newRow("letter outside ASCII") << "Ventil" << QStringList{"Ausg\u00e4nge"} << QStringList{"VentilAusg_nge"};
        QTest::newRow("cut leaves a trailing _") << "ABCDEFGHIJKLMNOPQRS" << QStringList{"-x"}
                                                 << QStringList{"ABCDEFGHIJKLMNOPQRS"};
        QTest::newRow("repeat cut to fit its number") << "ABCDEFGHIJKLMNOPQRST" << QStringList{"a", "b"}
                                                      << QStringList{"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQR_2"};
        QTest::newRow("nothing a name can be made of") << "" << QStringList{"?"} << QStringList{"Symbol"};
    }
    void symbolNames()
    {
        QFETCH(QString, slaveName);
        QFETCH(QStringList, entryNames);
        const QStringList names = ::symbolNames(slaveName, entryNames);
        QTEST(names, "names");
        for (const QString &name : names)
            QVERIFY2(isPlcIdentifier(name), qPrintable(name));
    }

    void plcIdentifier_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("letters and digits") << "Ab9" << true;
        QTest::newRow("single _ inside") << "a_b_1" << true;
        QTest::newRow("_ and a digit first") << "_1a" << true;
        QTest::newRow("digit first") << "1a" << false;
        QTest::newRow("double _") << "a__b" << false;
        QTest::newRow("trailing _") << "ab_" << false;
        QTest::newRow("_ alone") << "_" << false;
        QTest::newRow("blank") << "a b" << false;
        QTest::newRow("empty") << "" << false;
    }
    void plcIdentifier()
    {
        QFETCH(QString, name);
        QTEST(isPlcIdentifier(name), "valid");
    }
};

QTEST_GUILESS_MAIN(tst_Compile)
#include "tst_compile.moc"
