// Forms that real EDS and DCF files use and the configuration the slave gets from them.
#include "edstesting.h"

#include "eds/slavefromeds.h"
#include "plugin/canobject.h"
#include "plugin/hostservices.h"

#include <QtTest>

namespace {

const QString station = QStringLiteral("devices");

std::unique_ptr<CanObject> slaveFrom(const char *fixture)
{
    auto slave = std::make_unique<CanObject>(5);
    slave->projectKey = station;
    if (loadEdsIntoSlave(*slave, testDataPath(fixture)) != 1)
        return nullptr;
    buildDefaultPdos(*slave);
    return slave;
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

class tst_DeviceFiles : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearAllMemory(); }

    void entryValues_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("read"); // node-relative, default value, whether mappable
        QTest::addColumn<QStringList>("diagnostics");
        QTest::newRow("constant before node id") << "DefaultValue=0x80000200+$NODEID" << "1 80000200" << QStringList();
        QTest::newRow("node id before constant") << "DefaultValue=$NODEID+0x80000200" << "1 80000200" << QStringList();
        QTest::newRow("blanks and lower case") << "DefaultValue=0x180 + $nodeid" << "1 180" << QStringList();
        QTest::newRow("plus without node id") << "DefaultValue=0x180+5" << "1 5" << QStringList{"3:No $NODEID in DefaultValue=0x180+5"};
        QTest::newRow("node id term with comment") << "DefaultValue=$NODEID+0x200 ; RPDO" << "1 200" << QStringList();
        QTest::newRow("configured value wins") << "ParameterValue=0x181|DefaultValue=$NODEID+0x180" << "0 181" << QStringList();
        QTest::newRow("configured placeholder keeps default")
            << "DefaultValue=7|ParameterValue=<!gain>" << "0 7" << QStringList{"4:Not a number: ParameterValue=<!gain>"};
        QTest::newRow("empty configured value") << "DefaultValue=7|ParameterValue=" << "0 7" << QStringList();
        QTest::newRow("mapping 00") << "PDOMapping=00" << "0 0" << QStringList();
        QTest::newRow("mapping 0x1") << "PDOMapping=0x1" << "0 0 mappable" << QStringList();
        QTest::newRow("mapping 0 with comment") << "PDOMapping=0 ; no" << "0 0" << QStringList();
        QTest::newRow("number not converting") << "DefaultValue=12 apples" << "0 0" << QStringList{"3:Not a number: DefaultValue=12 apples"};
        QTest::newRow("key not converting") << "ObjFlags=two" << "0 0" << QStringList{"3:Not a number: ObjFlags=two"};
        QTest::newRow("limit of an unsigned object") << "HighLimit=0xFFFFFFFF" << "0 0" << QStringList();
        QTest::newRow("dcf keys") << "Denotation=Lamp|UploadFile=a.bin|DownloadFile=b.bin" << "0 0" << QStringList();
    }

    void entryValues()
    {
        QFETCH(QString, lines);
        // Data type first, so a default that is no number is worth a word.
        const auto eds = edsFromLines(("[5000]|DataType=0x0007 # UNSIGNED32|" + lines).toLatin1());
        EdsEntry entry;
        QCOMPARE(eds->findEntry(0x5000, -1, entry), 0);
        QCOMPARE(entry.dataType, quint8(7));
        QTEST(QStringLiteral("%1 %2%3").arg(entry.defaultIsNodeRelative).arg(entry.defaultValue, 0, 16)
                  .arg(entry.pdoMapping ? " mappable" : ""), "read");
        QTEST(diagnosticLines(*eds), "diagnostics");
    }

    void dcfConfiguresSlave()
    {
        const auto slave = slaveFrom("dcf-configured.dcf");
        QVERIFY(slave);
        QCOMPARE(diagnosticLines(*slave->eds), QStringList());
        QCOMPARE(slave->vendorId, 0x2Au);
        QCOMPARE(slave->emcyCobId(), 0x85u);
        // 0x1800 is switched off by its configured value; 0x1801 maps 6000 but not 6001,
        // which PDOMapping=0x0 keeps out, and stops after the words the file holds.
        QCOMPARE(describePdos(*slave), (QStringList{"1400 205 1: 6200/1", "1801 285 255: 6000/0"}));
        EdsEntry lamp;
        QCOMPARE(slave->eds->findEntry(0x6200, 1, lamp), 0);
        QCOMPARE(lamp.defaultValue, 7u);
        QCOMPARE(lamp.parameterName, QStringLiteral("Output1"));
        QCOMPARE(slave->eds->findEntry(0x6200, 2, lamp), 0);
        QCOMPARE(lamp.defaultValue, 0u);
        slave->releaseMappedMemory();
        QVERIFY(memoryReservations(station).isEmpty());
    }

    void compactPdoDefaults()
    {
        const auto slave = slaveFrom("eds-compactpdo-defaults.eds");
        QVERIFY(slave);
        QStringList offered; // index, cob-id ("+" when node-relative), type, inhibit time, event timer
        for (const EdsPdoEntry &pdo : qAsConst(slave->edsPdoList))
            offered << QStringLiteral("%1 %2%3 %4 %5 %6").arg(pdo.index, 0, 16).arg(pdo.cobIdRelative ? "+" : "")
                           .arg(quint32(pdo.cobIdBase), 0, 16).arg(pdo.transmissionType).arg(pdo.inhibitTime).arg(pdo.eventTimer);
        QCOMPARE(offered, (QStringList{"1400 +200 255 0 0", "1401 +300 255 0 0", "1402 +400 255 0 0", "1403 +500 255 0 0",
                                       "1404 80000000 255 0 0", "1800 +180 255 0 0", "1801 +100 255 0 0"}));
        // 0x1801 on reserved identifiers stays offered but out of the default configuration.
        QCOMPARE(describePdos(*slave), (QStringList{"1400 205 255:", "1401 305 255:", "1402 405 255:", "1403 505 255:", "1800 185 255:"}));
    }

    void compactSubObjectsCostWhatTheFileHolds()
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
};

QTEST_GUILESS_MAIN(tst_DeviceFiles)
#include "tst_devicefiles.moc"
