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
    entry.parameterName = name;
    entry.pdoMapping = true;
    return entry;
}

// A slave whose EDS offers receive PDOs 0x1400..0x1403 and transmit PDOs 0x1800..0x1803.
CanObject slaveWithOfferedPdos(quint8 nodeId = 5)
{
    CanObject slave(nodeId);
    slave.projectKey = QStringLiteral("model-test");
    for (int base : {0x1400, 0x1800}) {
        for (int n = 0; n < 4; ++n) {
            EdsPdoEntry pdo;
            pdo.index = base + n;
            pdo.parameterName = QStringLiteral("%1PDO%2 parameter").arg(QLatin1Char(base == 0x1400 ? 'R' : 'T')).arg(n + 1);
            pdo.cobIdBase = (base == 0x1400 ? 0x200 : 0x180) + 0x100 * n;
            pdo.cobIdRelative = 1, pdo.transmissionType = 254, pdo.inhibitTime = 10, pdo.eventTimer = 100;
            slave.edsPdoList.append(pdo);
        }
    }
    return slave;
}

// Equal copies compare equal, and a change to any one field makes them differ.
template<typename T>
void noticesEveryField(const T &base, const QList<std::function<void(T &)>> &changes)
{
    QVERIFY(base == T(base));
    for (int i = 0; i < changes.size(); ++i) {
        T changed = base;
        changes.at(i)(changed);
        QVERIFY2(!(changed == base), qPrintable(QStringLiteral("field %1").arg(i)));
    }
}

} // namespace

class tst_CanObject : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearAllMemory(); }

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
        QCOMPARE(slave.pdo(0x1400)->direction, PdoReceive);
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
        QTest::newRow("boolean on full PDO exceeds") << QList<int>{7, 7} << 1 << -1 << -2;
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
        QCOMPARE(CanObject::addMapEntry(transmit, word, -1), 0);
        QCOMPARE(*CanObject::mapEntryAt(receive, 0), (PDOMapEntry{0x6200, 1, "Outputs", 2, DataTypeUnsigned16, false, -1, -1, -1, 1, false}));
        QCOMPARE(CanObject::mapEntryAt(transmit, 0)->clearWhenStop, quint8(2));
        QVERIFY(!CanObject::mapEntryAt(transmit, 1) && !CanObject::mapEntryAt(transmit, -1));
        QCOMPARE(CanObject::findMapEntry(transmit, 0x6200, 1), CanObject::mapEntryAt(transmit, 0));
        QVERIFY(!CanObject::findMapEntry(transmit, 0x6200, 2));
        QCOMPARE(CanObject::removeMapEntry(transmit, 1), -1);
        QCOMPARE(CanObject::removeMapEntry(transmit, 0), 0);
        QCOMPARE(CanObject::pdoByteLength(transmit), 0u);
    }

    void sdoPositions()
    {
        CanObject slave;
        for (quint16 index : {0x2000, 0x2001})
            QCOMPARE(slave.addSdo(SDOEntry{index, 0, 1, {}, {}, {}}), int(index - 0x2000));
        QVERIFY(!slave.sdoAt(2) && !slave.sdoAt(-1));
        QCOMPARE(slave.removeSdo(2), -1);
        QCOMPARE(slave.removeSdo(-1), -1);
        QCOMPARE(slave.removeSdo(0), 0);
        QCOMPARE(slave.sdoAt(0)->index, quint16(0x2001));
        QCOMPARE(slave.sdoList.size(), 1);
    }

    void cobIds()
    {
        // The emergency COB-ID is its base plus the node when relative, the base alone when absolute.
        CanObject slave(5);
        slave.emcyCobIdRelative = 1, slave.emcyCobIdBase = 0x80;
        QCOMPARE(qMakePair(slave.emcyCobId(), slave.nodeGuardCobId()), qMakePair(0x85u, 0x705u));
        slave.emcyCobIdRelative = 0, slave.emcyCobIdBase = 0x81;
        QCOMPARE(slave.emcyCobId(), 0x81u);
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
        QCOMPARE(slave.findMappable(0x6000, 1, out), 1);
        QCOMPARE(out.parameterName, QStringLiteral("first"));
        QCOMPARE(slave.findMappable(0x6000, 3, out), -1);
        QCOMPARE(out.parameterName, QStringLiteral("first"));
        QCOMPARE(slave.findMappingEntry(0x1A00, 1), 1);
        QCOMPARE(slave.findMappingEntry(0x1A01, 0), -1);
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
                                   [](E &e) { e.lowLimit = 1; }, [](E &e) { e.highLimit = 1; }, [](E &e) { e.accessType = "rw"; },
                                   [](E &e) { e.defaultIsNodeRelative = 1; }, [](E &e) { e.defaultValue = 1; },
                                   [](E &e) { e.pdoMapping = true; }, [](E &e) { e.objFlags = 1; }, [](E &e) { e.compactSubObj = 1; },
                                   [](E &e) { e.cobIdRelative = 1; }, [](E &e) { e.cobIdBase = 1; }, [](E &e) { e.inhibitTime = 1; },
                                   [](E &e) { e.eventTimer = 1; }, [](E &e) { e.transmissionType = 1; }});
    }
};

QTEST_GUILESS_MAIN(tst_CanObject)
#include "tst_canobject.moc"
