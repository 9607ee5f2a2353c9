// Forms that real EDS and DCF files use and the configuration the slave gets from them.
#include "edstesting.h"

#include "eds/slavefromeds.h"
#include "plugin/canobject.h"
#include "plugin/hostservices.h"

#include <QtTest>

class tst_DeviceFiles : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearAllMemory(); }
    void entryValues_data();
    void entryValues();
    void dcfConfiguresSlave();
    void compactPdoDefaults_data();
    void compactPdoDefaults();
    void compactSubObjectsCostWhatTheFileHolds();
};

namespace {

const QString station = QStringLiteral("devices");

struct LoadedSlave {
    std::unique_ptr<CanObject> slave;
    QStringList diagnostics;
};

LoadedSlave slaveFrom(const char *fixture)
{
    LoadedSlave loaded{std::make_unique<CanObject>(5), {}};
    loaded.slave->projectKey = station;
    if (loadEdsIntoSlave(*loaded.slave, testDataPath(fixture)) == 1) {
        loaded.diagnostics = diagnosticLines(*loaded.slave->eds);
        buildDefaultPdos(*loaded.slave);
    }
    return loaded;
}

// "index cob-id type: index/sub ..." per configured PDO.
QStringList describePdos(const CanObject &slave)
{
    QStringList out;
    for (const PDOConfig &pdo : slave.pdoList) {
        QString line = QStringLiteral("%1 %2 %3:").arg(pdo.commIndex, 0, 16).arg(CanObject::effectiveCobId(pdo), 0, 16).arg(pdo.transmissionType);
        for (const PDOMapEntry &mapped : pdo.mapList)
            line += QStringLiteral(" %1/%2").arg(mapped.index, 0, 16).arg(mapped.subIndex);
        out << line;
    }
    return out;
}

} // namespace

void tst_DeviceFiles::entryValues_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<int>("relative");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<bool>("mappable");
    QTest::addColumn<QStringList>("diagnostics");

    QTest::newRow("constant before node id") << QByteArray("DefaultValue=0x80000200+$NODEID") << 1 << qint64(0x80000200) << false << QStringList();
    QTest::newRow("node id before constant") << QByteArray("DefaultValue=$NODEID+0x80000200") << 1 << qint64(0x80000200) << false << QStringList();
    QTest::newRow("blanks and lower case") << QByteArray("DefaultValue=0x180 + $nodeid") << 1 << qint64(0x180) << false << QStringList();
    QTest::newRow("plus without node id")
        << QByteArray("DefaultValue=0x180+5") << 1 << qint64(5) << false << QStringList{"3:No $NODEID in DefaultValue=0x180+5"};
    QTest::newRow("node id term with comment") << QByteArray("DefaultValue=$NODEID+0x200 ; RPDO") << 1 << qint64(0x200) << false << QStringList();
    QTest::newRow("configured value wins") << QByteArray("ParameterValue=0x181|DefaultValue=$NODEID+0x180") << 0 << qint64(0x181) << false << QStringList();
    QTest::newRow("configured placeholder keeps default")
        << QByteArray("DefaultValue=7|ParameterValue=<!gain>") << 0 << qint64(7) << false << QStringList{"4:Not a number: ParameterValue=<!gain>"};
    QTest::newRow("empty configured value") << QByteArray("DefaultValue=7|ParameterValue=") << 0 << qint64(7) << false << QStringList();
    QTest::newRow("mapping 00") << QByteArray("PDOMapping=00") << 0 << qint64(0) << false << QStringList();
    QTest::newRow("mapping 0x1") << QByteArray("PDOMapping=0x1") << 0 << qint64(0) << true << QStringList();
    QTest::newRow("mapping 0 with comment") << QByteArray("PDOMapping=0 ; no") << 0 << qint64(0) << false << QStringList();
    QTest::newRow("number not converting")
        << QByteArray("DefaultValue=12 apples") << 0 << qint64(0) << false << QStringList{"3:Not a number: DefaultValue=12 apples"};
    QTest::newRow("key not converting") << QByteArray("ObjFlags=two") << 0 << qint64(0) << false << QStringList{"3:Not a number: ObjFlags=two"};
    QTest::newRow("limit of an unsigned object") << QByteArray("HighLimit=0xFFFFFFFF") << 0 << qint64(0) << false << QStringList();
    QTest::newRow("dcf keys") << QByteArray("Denotation=Lamp|UploadFile=a.bin|DownloadFile=b.bin") << 0 << qint64(0) << false << QStringList();
}

void tst_DeviceFiles::entryValues()
{
    QFETCH(QByteArray, lines);
    // Data type first, so a default that is no number is worth a word.
    const auto eds = edsFromLines("[5000]|DataType=0x0007 # UNSIGNED32|" + lines);
    EdsEntry entry;
    QCOMPARE(eds->findEntry(0x5000, -1, entry), 0);
    QCOMPARE(entry.dataType, quint8(7));
    QTEST(int(entry.defaultIsNodeRelative), "relative");
    QTEST(qint64(entry.defaultValue), "value");
    QTEST(entry.pdoMapping, "mappable");
    QTEST(diagnosticLines(*eds), "diagnostics");
}

void tst_DeviceFiles::dcfConfiguresSlave()
{
    const LoadedSlave loaded = slaveFrom("dcf-configured.dcf");
    QVERIFY(loaded.slave->eds);
    QCOMPARE(loaded.diagnostics, QStringList());
    CanObject &slave = *loaded.slave;
    QCOMPARE(slave.vendorId, 0x2Au);
    QCOMPARE(slave.emcyCobId(), 0x85u);
    // 0x1800 is switched off by its configured value; 0x1801 maps 6000 but not 6001,
    // which PDOMapping=0x0 keeps out, and stops after the words the file holds.
    QCOMPARE(describePdos(slave), (QStringList{"1400 205 1: 6200/1", "1801 285 255: 6000/0"}));
    EdsEntry lamp;
    QCOMPARE(slave.eds->findEntry(0x6200, 1, lamp), 0);
    QCOMPARE(lamp.defaultValue, 7u);
    QCOMPARE(lamp.parameterName, QStringLiteral("Output1"));
    QCOMPARE(slave.eds->findEntry(0x6200, 2, lamp), 0);
    QCOMPARE(lamp.defaultValue, 0u);
    slave.releaseMappedMemory();
    QVERIFY(memoryReservations(station).isEmpty());
}

void tst_DeviceFiles::compactPdoDefaults_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("relative");
    QTest::addColumn<qint64>("cobId");

    QTest::newRow("RPDO 1") << 0x1400 << 1 << qint64(0x200);
    QTest::newRow("RPDO 4") << 0x1403 << 1 << qint64(0x500);
    QTest::newRow("RPDO 5 disabled") << 0x1404 << 0 << qint64(0x80000000);
    QTest::newRow("TPDO 1") << 0x1800 << 1 << qint64(0x180);
    QTest::newRow("on reserved identifiers, still offered") << 0x1801 << 1 << qint64(0x100);
}

void tst_DeviceFiles::compactPdoDefaults()
{
    QFETCH(int, index);
    const LoadedSlave loaded = slaveFrom("eds-compactpdo-defaults.eds");
    QVERIFY(loaded.slave->eds);
    EdsPdoEntry offered;
    QVERIFY(loaded.slave->findEdsPdo(quint32(index), offered) >= 0);
    QTEST(int(offered.cobIdRelative), "relative");
    QTEST(qint64(quint32(offered.cobIdBase)), "cobId");
    if (index != 0x1801) {
        QCOMPARE(offered.transmissionType, 255u);
        QCOMPARE(offered.inhibitTime, 0u);
        QCOMPARE(offered.eventTimer, 0u);
    }
    QCOMPARE(describePdos(*loaded.slave),
             (QStringList{"1400 205 255:", "1401 305 255:", "1402 405 255:", "1403 505 255:", "1800 185 255:"}));
}

void tst_DeviceFiles::compactSubObjectsCostWhatTheFileHolds()
{
    QByteArray text;
    for (int index = 0x2000; index < 0x2000 + 400; ++index)
        text += "[" + QByteArray::number(index, 16) + "]|PDOMapping=1|CompactSubObj=255|";
    const auto eds = edsFromLines(text.constData());
    qint64 expanded = 0;
    for (const EdsObject &object : eds->objects)
        expanded += object.subEntries.size();
    const int cut = eds->diagnosticCount;
    QVERIFY(cut > 0 && cut < 400);
    QCOMPARE(expanded, qint64(400 - cut) * 256);
    QVERIFY(expanded <= maxExpandedSubEntriesBase + text.size() / expandedSubEntryBytes);
    QCOMPARE(eds->diagnostics.constLast().text, QStringLiteral("compactSubObj not expanded, too many sub-indexes for the file size,index:218f"));
}

QTEST_GUILESS_MAIN(tst_DeviceFiles)
#include "tst_devicefiles.moc"
