// The slave an EDS or DCF file gives: identity, offered PDOs and the default configuration.
#include "eds/accesstype.h"
#include "eds/edsfile.h"
#include "model/canobject.h"
#include "model/hostservices.h"
#include "model/slavefromeds.h"
#include "plugin/canslave.h"

#include <QtTest>

namespace {

const QString key = QStringLiteral("station-a");
const QString fixture = QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds");

// "index/sub@area:offset" per entry, "ro" appended for read-only ones.
QString describe(const PDOConfig &pdo)
{
    QStringList out;
    for (const PDOMapEntry &e : pdo.mapList)
        out << QStringLiteral("%1/%2@%3:%4%5").arg(e.index, 0, 16).arg(e.subIndex).arg(e.area, 0, 16).arg(e.offset).arg(e.readOnly ? " ro" : "");
    return out.join(QLatin1Char(' '));
}

EdsEntry entry(int index, int subIndex, quint8 dataType, quint32 defaultValue = 0, const char *access = "rw")
{
    EdsEntry e;
    std::tie(e.index, e.subIndex, e.dataType, e.defaultValue) = std::make_tuple(index, subIndex, dataType, defaultValue);
    e.accessType = QLatin1String(access);
    return e;
}

} // namespace

class tst_SlaveFromEds : public QObject
{
    Q_OBJECT
private slots:
    void init() { clearAllMemory(); resetMemoryAreaSizes(); }

    void loadFillsSlave()
    {
        CanObject s(5);
        s.edsFile = QStringLiteral("old.eds");
        QCOMPARE(loadEdsIntoSlave(s, QString()) + loadEdsIntoSlave(s, QStringLiteral(CANSLAVE_TEST_DATA "/slave-missing.eds")), 0);
        QVERIFY(!s.eds && s.edsFile == QLatin1String("old.eds"));
        // Loaded twice, as a moved project does: what the file offers is there once.
        for (int load = 0; load < 2; ++load)
            QCOMPARE(loadEdsIntoSlave(s, fixture), 1);
        QCOMPARE(s.name, QStringLiteral("Slave Test"));
        QCOMPARE(QList<quint32>({s.vendorId, s.productCode, s.revisionNumber, s.deviceType, s.emcyCobId()}),
                 QList<quint32>({0x11, 0x22, 0x33, 0x191, 0x85}));
        QVERIFY(s.edsPdoList.size() == 5 && s.pdoList.isEmpty()); // which ones, the default configuration shows
        // A name of its own stays.
        s.name = QStringLiteral("Mine");
        QCOMPARE(loadEdsIntoSlave(s, fixture), 1);
        QCOMPARE(s.name, QStringLiteral("Mine"));
        // A product name is kept as far as the configuration block carries it.
        QTemporaryDir dir;
        QFile source(fixture), copy(dir.filePath(QStringLiteral("long.eds")));
        QVERIFY(source.open(QIODevice::ReadOnly) && copy.open(QIODevice::WriteOnly));
        copy.write(source.readAll().replace("ProductName=Slave Test", "ProductName=" + QByteArray(300, 'p')));
        copy.close();
        s.name.clear();
        QCOMPARE(loadEdsIntoSlave(s, copy.fileName()), 1);
        QCOMPARE(s.name, QString(255, QLatin1Char('p')));
    }

    void edsSourceIsScoped()
    {
        // A source serves the slaves for as long as it is installed; the one
        // installed before it comes back when it goes, and then the file again.
        const QString path = QStringLiteral("/nowhere/cached.eds");
        const std::shared_ptr<const EdsFile> cached(loadEds(fixture));
        const auto loads = [&] { CanObject s; return loadEdsIntoSlave(s, path) + 2 * loadEdsIntoSlave(s, fixture); };
        {
            const ScopedEdsSource outer([&](const QString &p) { return p == path ? cached : nullptr; });
            QCOMPARE(loads(), 1);
            {
                const ScopedEdsSource inner([](const QString &) { return nullptr; });
                QCOMPARE(loads(), 0);
            }
            QCOMPARE(loads(), 1);
        }
        QCOMPARE(loads(), 2);
    }

    void createRefusesAndWrapsNodeId()
    {
        QVERIFY(!createCanObject(nullptr, QString(), 5, key));
        QVERIFY(memoryReservations(key).isEmpty());
        CanObject *wide = createCanObject(nullptr, fixture, 300, key);
        QVERIFY(wide && getNodeId(wide) == 44); // 300 wrapped into 1 to 127
        QCOMPARE(CanObject::effectiveCobId(*wide->pdo(0x1800)), 0x180u + 44);
        releaseObject(wide);
    }

    void defaultPdos_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("outputSize");
        QTest::addColumn<int>("fallbackSize");
        QTest::addColumn<QStringList>("pdos");
        // 0x1801 is switched off; 0x2000 is not mappable, 6100/3 and 6000/1 no longer fit into 8 bytes of 0x1802.
        const QString first = "1400 201 255:", tail[] = {"1800 185 255: 6000/1@81:0 ro 6001/1@81:1 ro", "1802 381 255: 6100/1@81:2 6100/2@81:6"};
        QTest::newRow("plenty of memory") << "slave-defaults.eds" << 512 << 4096
                                          << QStringList{first, "1401 305 255: 6200/1@82:0 6200/2@82:1", tail[0], tail[1]};
        QTest::newRow("output into fallback") << "slave-defaults.eds" << 1 << 4096
                                              << QStringList{first, "1401 305 255: 6200/1@82:0 6200/2@84:0", tail[0], tail[1]};
        QTest::newRow("memory runs out mid-PDO") << "slave-defaults.eds" << 1 << 0
                                                 << QStringList{first, "1401 305 255: 6200/1@82:0", tail[0], tail[1]};
        // 0x1800 is switched off by its configured value; 0x1801 maps 6000 but not 6001, which PDOMapping=0x0
        // keeps out, and stops after the words the file holds.
        QTest::newRow("DCF") << "dcf-configured.dcf" << 512 << 4096 << QStringList{"1400 205 1: 6200/1@82:0", "1801 285 255: 6000/0@81:0 ro"};
        // Identifiers of node 4's predefined set follow the slave to node 5, keeping bit 30; any other stays,
        // even one kept for other services: the device was commissioned to send there. 0x1803 is on 0x800,
        // which an 11-bit frame cannot carry.
        QTest::newRow("DCF written for another node") << "dcf-node4.dcf" << 512 << 4096
                                                     << QStringList{"1400 77f 255:", "1401 1 255:", "15ff 5ff 255:", "1800 7ff 255:",
                                                                    "1801 170 255:", "1802 40000385 255:", "19ff 6e5 255:"};
        QTest::newRow("compact PDO defaults") << "eds-compactpdo-defaults.eds" << 512 << 4096
                                              << QStringList{"1400 205 255:", "1401 305 255:", "1402 405 255:", "1403 505 255:",
                                                             "1800 185 255:", "1803 20000800 255:", "1805 80 255:", "1807 181 255:",
                                                             "1809 600 255:", "180b 680 255:", "180d 700 255:"};
    }
    void defaultPdos()
    {
        QFETCH(QString, file);
        QFETCH(int, outputSize);
        QFETCH(int, fallbackSize);
        setMemoryAreaSize(VarAreaOutput, outputSize);
        setMemoryAreaSize(VarAreaFallback, fallbackSize);
        CanObject *s = createCanObject(nullptr, QStringLiteral(CANSLAVE_TEST_DATA "/") + file, 5, key);
        QVERIFY(s);
        for (const EdsDiagnostic &d : s->eds->diagnostics)
            QVERIFY2(d.text.startsWith(QLatin1String("COB-IDs of node 4")), qPrintable(d.text));
        QStringList pdos; // "index cob-id type: entries" per configured PDO
        for (const PDOConfig &pdo : s->pdoList)
            pdos << QStringLiteral("%1 %2 %3: %4").arg(pdo.commIndex, 0, 16).arg(CanObject::effectiveCobId(pdo), 0, 16)
                        .arg(pdo.transmissionType).arg(describe(pdo)).trimmed();
        QTEST(pdos, "pdos");
        releaseObject(s);
        QVERIFY(memoryReservations(key).isEmpty());
    }

    // The identifiers an EDS default may not take, at both ends of each reserved range.
    void reservedIdentifiers_data()
    {
        QTest::addColumn<uint>("id");
        QTest::addColumn<bool>("reserved");
        for (uint id : {0u, 0x7Fu, 0x101u, 0x180u, 0x581u, 0x5FFu, 0x601u, 0x67Fu, 0x6E0u, 0x6FFu, 0x701u, 0x77Fu, 0x780u, 0x1FFFFFFFu})
            QTest::addRow("%x", id) << id << true;
        for (uint id : {0x80u, 0x100u, 0x181u, 0x580u, 0x600u, 0x680u, 0x6DFu, 0x700u})
            QTest::addRow("%x", id) << id << false;
    }
    void reservedIdentifiers()
    {
        QFETCH(uint, id);
        QTEST(isReservedCobId(id), "reserved");
    }

    // Default words of 0x1A00 or 0x1600: "value access" each; the count in sub-index 0 has its own access.
    void defaultMappingWords_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("countAccess");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("memorySize");
        QTest::addColumn<QString>("mapped");
        const int t = PdoTransmit, r = PdoReceive;
        const QStringList four{"60000120 ro", "60000210 rw", "60000320 rw", "60000408 rw"};
        QTest::newRow("an overfilling word is skipped") << t << "rw" << four << 512 << "6000/1@81:0 ro 6000/2@81:4 6000/4@81:6";
        QTest::newRow("no place: the rest is not mapped") << t << "rw" << four << 5 << "6000/1@81:0 ro";
        QTest::newRow("a 64-bit object fills the PDO") << t << "rw" << QStringList{"60000540 rw", "60000408 rw"} << 512 << "6000/5@81:0";
        QTest::newRow("bit words left out, the words after them mapped")
            << t << "rw" << QStringList{"60000601 rw", "60000210 rw", "00010001 rw", "60000408 rw"} << 512 << "6000/2@81:0 6000/4@81:2";
        QTest::newRow("a dummy keeps its bytes, without a place")
            << r << "rw" << QStringList{"00070020 rw", "60000120 rw"} << 512 << "7/0@ffffffffffffffff:-1 6000/1@82:0";
        QTest::newRow("a read-only count fixes every word, dummies too")
            << t << "RO" << QStringList{"60000210 rw", "00050008 rw", "60000408 rw"} << 512 << "6000/2@81:0 ro 5/0@ffffffffffffffff:-1 ro 6000/4@81:2 ro";
        QTest::newRow("a count made for CompactSubObj fixes nothing")
            << t << "RO compact" << QStringList{"60000210 rw", "60000408 rw"} << 512 << "6000/2@81:0 6000/4@81:2";
        QTest::newRow("a const word is fixed") << t << "rw" << QStringList{"60000210 const", "60000408 rw"} << 512 << "6000/2@81:0 ro 6000/4@81:2";
        QTest::newRow("transmit leaves out rww") << t << "rw" << QStringList{"60000710 rw", "60000810 rw"} << 512 << "6000/8@81:0";
        QTest::newRow("receive leaves out rwr and const")
            << r << "rw" << QStringList{"60000710 rw", "60000810 rw", "60000910 rw"} << 512 << "6000/7@82:0";
        QTest::newRow("words out of order, the first of twins counts") // a third field: the sub-index
            << t << "rw" << QStringList{"60000408 rw 2", "60000210 rw 1", "60000320 rw 2"} << 512 << "6000/2@81:0 6000/4@81:2";
    }
    void defaultMappingWords()
    {
        QFETCH(int, direction);
        QFETCH(QString, countAccess);
        QFETCH(QStringList, words);
        QFETCH(int, memorySize);
        setMemoryAreaSize(VarAreaInput, memorySize);
        setMemoryAreaSize(VarAreaOutput, memorySize);
        setMemoryAreaSize(VarAreaFallback, 0);
        CanObject s(5);
        s.projectKey = key;
        s.mappableList = {entry(0x6000, 2, DataTypeUnsigned16), entry(0x6000, 1, DataTypeUnsigned32), // out of order
                          entry(0x6000, 3, DataTypeUnsigned32), entry(0x6000, 4, DataTypeUnsigned8),
                          entry(0x6000, 5, DataTypeReal64), entry(0x6000, 6, DataTypeBoolean),
                          entry(0x6000, 7, DataTypeUnsigned16, 0, "rww"), entry(0x6000, 8, DataTypeUnsigned16, 0, "rwr"),
                          entry(0x6000, 9, DataTypeUnsigned16, 0, "const")};
        PDOConfig pdo;
        pdo.direction = direction;
        pdo.commIndex = direction == PdoTransmit ? 0x1800 : 0x1400;
        const int mapping = int(pdo.commIndex) + 0x200;
        s.edsMappingList = {entry(mapping, 0, DataTypeUnsigned8, quint32(words.size()), qPrintable(countAccess.section(' ', 0, 0)))};
        s.edsMappingList.first().compactSubObj = countAccess.endsWith(QLatin1String("compact")) ? quint8(words.size()) : 0;
        for (int i = 0; i < words.size(); ++i)
            s.edsMappingList << entry(mapping, words.at(i).section(' ', 2).isEmpty() ? i + 1 : words.at(i).section(' ', 2).toInt(), 7,
                                      words.at(i).section(' ', 0, 0).toUInt(nullptr, 16), qPrintable(words.at(i).section(' ', 1, 1)));
        addDefaultMapping(s, pdo);
        QTEST(describe(pdo), "mapped");
        int placed = 0;
        for (const PDOMapEntry &e : pdo.mapList)
            placed += e.area < 0 ? 0 : int(e.byteLength);
        QCOMPARE(reservedByteCount(key, VarAreaInput) + reservedByteCount(key, VarAreaOutput), placed);
    }

    // Which objects the mapping editor offers a PDO, by the object's access type.
    void offeredByDirection_data()
    {
        QTest::addColumn<QString>("access");
        QTest::addColumn<QString>("offered"); // "R" receive, "T" transmit
        const char *rows[][2] = {{"rw", "RT"}, {"RW", "RT"}, {"ro", "T"}, {"Ro", "T"}, {"const", "T"}, {"CONST", "T"},
                                 {"wo", "R"}, {"rww", "R"}, {"RWW", "R"}, {"rwr", "T"}, {"Rwr", "T"},
                                 {"rwx", "RT"}, {"ro_dyn", "T"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
    }
    void offeredByDirection()
    {
        QFETCH(QString, access);
        const QList<EdsEntry> mappable{entry(0x6000, 1, DataTypeUnsigned8, 0, qPrintable(access))};
        QString offered;
        offered += offeredForMapping(mappable, true).isEmpty() ? "" : "R";
        offered += offeredForMapping(mappable, false).isEmpty() ? "" : "T";
        QTEST(offered, "offered");
    }

    // Identity values come from 0x1018 where it gives them, else from [DeviceInfo].
    void identity_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("identity"); // vendor product revision
        const QByteArray info = "[DeviceInfo]|VendorNumber=0xFB|ProductNumber=0x2|RevisionNumber=3|";
        QTest::newRow("no identity object") << info << "fb 2 3";
        QTest::newRow("sub-indexes without a default") << info + "[1018]|SubNumber=4|[1018sub1]|DataType=7|[1018sub2]|DataType=7|DefaultValue=|[1018sub3]|DataType=7" << "fb 2 3";
        QTest::newRow("the identity object wins")
            << info + "[1018]|SubNumber=5|[1018sub1]|DataType=7|DefaultValue=0x11|[1018sub3]|DefaultValue=0x33|[1018sub4]|DefaultValue=0x44" << "11 2 33";
        QTest::newRow("a default of 0 is a value") << info + "[1018]|SubNumber=2|[1018sub2]|DataType=7|DefaultValue=0" << "fb 0 3";
    }
    void identity()
    {
        QFETCH(QByteArray, text);
        CanObject s(5);
        int loaded = 0;
        {
            const ScopedEdsSource source([&](const QString &) { return std::shared_ptr<const EdsFile>(loadEdsFromData(text.replace('|', '\n'))); });
            loaded = loadEdsIntoSlave(s, QStringLiteral("inline.eds"));
        }
        QCOMPARE(loaded, 1);
        QTEST(QStringLiteral("%1 %2 %3").arg(s.vendorId, 0, 16).arg(s.productCode, 0, 16).arg(s.revisionNumber, 0, 16), "identity");
    }
};

QTEST_GUILESS_MAIN(tst_SlaveFromEds)
#include "tst_slavefromeds.moc"