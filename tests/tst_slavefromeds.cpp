// The slave an EDS or DCF file gives: identity, offered PDOs and the default configuration.
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
        QVERIFY(!s.eds);
        QCOMPARE(s.edsFile, QStringLiteral("old.eds"));
        // Loaded twice, as a moved project does: what the file offers is there once.
        for (int load = 0; load < 2; ++load)
            QCOMPARE(loadEdsIntoSlave(s, fixture), 1);
        QCOMPARE(s.name, QStringLiteral("Slave Test"));
        QCOMPARE(QList<quint32>({s.vendorId, s.productCode, s.revisionNumber, s.deviceType, s.emcyCobId()}),
                 QList<quint32>({0x11, 0x22, 0x33, 0x191, 0x85}));
        QCOMPARE(s.edsPdoList.size(), 5); // which ones, the default configuration shows
        QVERIFY(s.pdoList.isEmpty());
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
        QVERIFY(wide);
        QCOMPARE(getNodeId(wide), 44);
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
        // PDOs 1 to 4 get the predefined identifiers, the fifth starts off; 0x1801 lies on reserved identifiers,
        // 0x1802 on 0x800, which an 11-bit frame cannot carry.
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
        QVERIFY(s && s->eds->diagnostics.isEmpty());
        QStringList pdos; // "index cob-id type: entries" per configured PDO
        for (const PDOConfig &pdo : s->pdoList)
            pdos << QStringLiteral("%1 %2 %3: %4").arg(pdo.commIndex, 0, 16).arg(CanObject::effectiveCobId(pdo), 0, 16)
                        .arg(pdo.transmissionType).arg(describe(pdo)).trimmed();
        QTEST(pdos, "pdos");
        releaseObject(s);
        QVERIFY(memoryReservations(key).isEmpty());
    }

    // Four default words: 4 bytes, 2 bytes, 4 more (beyond 8: skipped), then 1 byte.
    void defaultMappingWords_data()
    {
        QTest::addColumn<int>("inputSize");
        QTest::addColumn<QString>("mapped");
        QTest::newRow("an overfilling word is skipped") << 512 << "6000/1@81:0 ro 6000/2@81:4 6000/4@81:6";
        QTest::newRow("no place: the rest is not mapped") << 5 << "6000/1@81:0 ro";
    }
    void defaultMappingWords()
    {
        QFETCH(int, inputSize);
        setMemoryAreaSize(VarAreaInput, inputSize);
        setMemoryAreaSize(VarAreaFallback, 0);
        CanObject s(5);
        s.projectKey = key;
        s.mappableList = {entry(0x6000, 1, DataTypeUnsigned32), entry(0x6000, 2, DataTypeUnsigned16),
                          entry(0x6000, 3, DataTypeUnsigned32), entry(0x6000, 4, DataTypeUnsigned8)};
        s.edsMappingList = {entry(0x1A00, 0, DataTypeUnsigned8, 4), entry(0x1A00, 1, 7, 0x60000120, "ro"),
                            entry(0x1A00, 2, 7, 0x60000210), entry(0x1A00, 3, 7, 0x60000320), entry(0x1A00, 4, 7, 0x60000408)};
        PDOConfig pdo;
        pdo.commIndex = 0x1800;
        pdo.direction = PdoTransmit;
        addDefaultMapping(s, pdo);
        QTEST(describe(pdo), "mapped");
        QCOMPARE(reservedByteCount(key, VarAreaInput), int(CanObject::pdoByteLength(pdo)));
    }
};

QTEST_GUILESS_MAIN(tst_SlaveFromEds)
#include "tst_slavefromeds.moc"