// Section contents, post-processing passes and lookups of a loaded EDS.
#include "edstesting.h"

#include <QtTest>

class tst_EdsDictionary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void entryKeys_data();
    void entryKeys();
    void infoSections();
    void dynamicChannels();
    void objectLists();
    void nameSections_data();
    void nameSections();
    void mergeAndOwnSubEntries_data();
    void mergeAndOwnSubEntries();
    void compactPdoCompletion();
    void compactSubObjExpansion();
    void accessors();
    void missingAccessors();
    void lists();

private:
    std::unique_ptr<EdsFile> m_device;
};

void tst_EdsDictionary::initTestCase()
{
    m_device = loadEds(testDataPath("eds-device.eds"));
    QVERIFY(m_device);
    QCOMPARE(diagnosticLines(*m_device), QStringList());
}

void tst_EdsDictionary::entryKeys_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("field");
    QTest::addColumn<qint64>("value");

    QTest::newRow("node-relative default") << QByteArray("DefaultValue=$NODEID+0x180") << "relative" << qint64(1);
    QTest::newRow("node-relative value") << QByteArray("DefaultValue=$NODEID+0x180") << "default" << qint64(0x180);
    QTest::newRow("plus with blanks") << QByteArray("DefaultValue=$NODEID + 0x180") << "default" << qint64(0x180);
    QTest::newRow("node id after") << QByteArray("DefaultValue=0x180+$NODEID") << "relative" << qint64(1);
    QTest::newRow("node id after value") << QByteArray("DefaultValue=0x180+$NODEID") << "default" << qint64(0x180);
    QTest::newRow("node id alone") << QByteArray("DefaultValue=$NODEID") << "relative" << qint64(1);
    QTest::newRow("uint max default") << QByteArray("DefaultValue=0xFFFFFFFF") << "default" << qint64(0xFFFFFFFF);
    QTest::newRow("minus one default") << QByteArray("DefaultValue=-1") << "default" << qint64(0xFFFFFFFF);
    QTest::newRow("octal default") << QByteArray("DefaultValue=010") << "default" << qint64(8);
    QTest::newRow("h default") << QByteArray("defaultvalue=1Ah") << "default" << qint64(26);
    QTest::newRow("bad octal default") << QByteArray("DefaultValue=08") << "default" << qint64(0);
    QTest::newRow("high limit out of range") << QByteArray("HighLimit=0xFFFFFFFF") << "high" << qint64(0);
    QTest::newRow("low limit") << QByteArray("LOWLIMIT=-32768") << "low" << qint64(-32768);
    QTest::newRow("object type") << QByteArray("ObjectType=0x9") << "objectType" << qint64(9);
    QTest::newRow("object type low bits") << QByteArray("ObjectType=0x107") << "objectType" << qint64(7);
    QTest::newRow("data type") << QByteArray("DataType=0x0007") << "dataType" << qint64(7);
    QTest::newRow("sub number") << QByteArray("SubNumber=5") << "subNumber" << qint64(5);
    QTest::newRow("mapping 0x0") << QByteArray("PDOMapping=0x0") << "pdoMapping" << qint64(0);
    QTest::newRow("mapping 0") << QByteArray("PDOMapping=0") << "pdoMapping" << qint64(0);
    QTest::newRow("mapping empty") << QByteArray("PDOMapping=") << "pdoMapping" << qint64(0);
    QTest::newRow("obj flags") << QByteArray("ObjFlags=3") << "objFlags" << qint64(3);
    QTest::newRow("compact sub obj") << QByteArray("CompactSubObj=254") << "compactSubObj" << qint64(254);
}

void tst_EdsDictionary::entryKeys()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, field);
    QFETCH(qint64, value);
    // The same key in an object and in a sub-index section.
    for (const char *head : {"[1234]\n", "[1234sub7]\n"}) {
        const auto eds = loadEdsFromData(QByteArray(head) + line + '\n');
        EdsEntry entry;
        QCOMPARE(eds->findEntry(0x1234, head[5] == 's' ? 7 : -1, entry), 0);
        const QHash<QString, qint64> fields{
            {"relative", entry.defaultIsNodeRelative}, {"default", entry.defaultValue},
            {"high", entry.highLimit}, {"low", entry.lowLimit}, {"objectType", entry.objectType},
            {"dataType", entry.dataType}, {"subNumber", entry.subNumber}, {"pdoMapping", entry.pdoMapping},
            {"objFlags", entry.objFlags}, {"compactSubObj", entry.compactSubObj}};
        QVERIFY(fields.contains(field));
        QCOMPARE(fields.value(field), value);
    }
}

void tst_EdsDictionary::infoSections()
{
    const EdsFileInfo &file = m_device->fileInfo;
    QCOMPARE(file.fileName, QStringLiteral("eds-device.eds"));
    QCOMPARE(file.fileVersion, quint8(3));
    QCOMPARE(file.fileRevision, quint8(16));
    QCOMPARE(file.edsVersion, QStringLiteral("4.0"));
    QCOMPARE(file.modifiedBy, QStringLiteral("canslave tests"));
    const EdsDeviceInfo &device = m_device->deviceInfo;
    QCOMPARE(device.vendorNumber, 0x1A2u);
    QCOMPARE(device.productName, QStringLiteral("Test I/O 8DI/8DO"));
    QCOMPARE(device.orderCode, QStringLiteral("TIO-88"));
    QCOMPARE(device.baudRate10, false);
    QCOMPARE(device.baudRate50, true);
    QCOMPARE(device.baudRate500, true);  // "yes"
    QCOMPARE(device.baudRate800, false); // empty
    QCOMPARE(device.simpleBootUpSlave, true);
    QCOMPARE(device.granularity, quint8(8));
    QCOMPARE(device.nrOfRXPDO, quint8(2));
    QCOMPARE(device.lssSupported, true);
    QCOMPARE(device.compactPDO, quint8(0));
    const bool dummies[7] = {false, true, true, true, false, false, true};
    for (int i = 0; i < 7; ++i)
        QCOMPARE(m_device->dummyUsage.dummy[i], dummies[i]);

    // A key given twice keeps the later value.
    const auto twice = edsFromLines("[DeviceInfo]|nrofrxpdo=3|NRofRXPDO=4|[FileInfo]|FileName=a|FileName=b");
    QCOMPARE(twice->deviceInfo.nrOfRXPDO, quint8(4));
    QCOMPARE(twice->fileInfo.fileName, QStringLiteral("b"));
}

void tst_EdsDictionary::dynamicChannels()
{
    const auto eds = edsFromLines("[DynamicChannels]|NrOfSeg=3|Range1=0x1000 - 0x1FFF|PPOffset2=16|PPOffset3=8,3|"
                                  "Type3=0x7|Dir3=rww|MaxCnt3=0x10|Dir2=Wo|Type1Extra=4");
    const EdsDynamicChannels &channels = eds->dynamicChannels;
    QCOMPARE(channels.nrOfSeg, 3);
    QCOMPARE(channels.segments.size(), 3);
    const EdsChannelSegment &first = channels.segments.at(0);
    QCOMPARE(first.number, 1);
    QCOMPARE(first.rangeLow, 0x1000u);
    QCOMPARE(first.rangeHigh, 0x1FFFu);
    QCOMPARE(first.type, quint8(4)); // text after the digits is ignored
    QCOMPARE(first.dir, QStringLiteral("RO"));
    const EdsChannelSegment &second = channels.segments.at(1);
    QCOMPARE(second.ppOffset, 16u);
    QCOMPARE(second.bit, 0u);
    QCOMPARE(second.dir, QStringLiteral("Wo")); // as written
    const EdsChannelSegment &third = channels.segments.at(2);
    QCOMPARE(third.ppOffset, 8u);
    QCOMPARE(third.bit, 3u);
    QCOMPARE(third.type, quint8(7));
    QCOMPARE(third.maxCnt, 16u);
    QCOMPARE(diagnosticLines(*eds), QStringList());
}

void tst_EdsDictionary::objectLists()
{
    QCOMPARE(m_device->mandatoryObjects.supportedObjects, 3);
    const QList<QPair<qint32, quint32>> mandatory{{1, 0x1000}, {2, 0x1001}, {3, 0x1018}};
    QCOMPARE(m_device->mandatoryObjects.entries, mandatory);
    QCOMPARE(m_device->optionalObjects.entries.size(), 6);
    QCOMPARE(m_device->manufacturerObjects.entries.constLast().second, 0x5100u);

    const auto eds = edsFromLines("[OptionalObjects]|SupportedObjects=9|1=0x1400|[OptionalObjects]|SupportedObjects=3|"
                                  "4=0x1018|2=1000|2=0x1001|1=0x1000|-1=0x2000");
    const QList<QPair<qint32, quint32>> expected{{1, 0x1000}, {2, 0x1001}, {4, 0x1018}};
    QCOMPARE(eds->optionalObjects.supportedObjects, 3);
    QCOMPARE(eds->optionalObjects.entries, expected);
    const auto decimal = edsFromLines("[MandatoryObjects]|SupportedObjects=1|1=1000");
    QCOMPARE(decimal->mandatoryObjects.entries.constFirst().second, 1000u);
}

void tst_EdsDictionary::nameSections_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("subIndex");
    QTest::addColumn<QString>("name"); // null: no name

    QTest::newRow("named") << QByteArray("[2000Name]|NrOfEntries=2|1=one|2=two") << 2 << "two";
    QTest::newRow("beyond count") << QByteArray("[2000Name]|NrOfEntries=1|1=one|2=two") << 2 << QString();
    QTest::newRow("count zero") << QByteArray("[2000Name]|1=one") << 1 << QString();
    QTest::newRow("negative count") << QByteArray("[2000Name]|NrOfEntries=-1|1=one") << 1 << QString();
    QTest::newRow("count above names") << QByteArray("[2000Name]|NrOfEntries=99|3=three") << 3 << "three";
    QTest::newRow("sorted and replaced") << QByteArray("[2000Name]|NrOfEntries=2|2=b|1=a|2=B") << 2 << "B";
    QTest::newRow("hex sub-index key") << QByteArray("[2000Name]|NrOfEntries=1|0x0A=ten") << 10 << "ten";
    QTest::newRow("negative ignored") << QByteArray("[2000Name]|NrOfEntries=1|-1=x|1=one") << 1 << "one";
    QTest::newRow("second section replaces")
        << QByteArray("[2000Name]|NrOfEntries=2|1=a|2=b|[2000Name]|NrOfEntries=1|1=c") << 2 << QString();
    QTest::newRow("bad index") << QByteArray("[20G0Name]|NrOfEntries=1|1=x") << 1 << QString();
}

void tst_EdsDictionary::nameSections()
{
    QFETCH(QByteArray, text);
    QFETCH(int, subIndex);
    QFETCH(QString, name);
    const auto eds = edsFromLines(text.constData());
    QString found;
    QCOMPARE(eds->nameOf(0x2000, subIndex, found), !name.isNull());
    if (!name.isNull())
        QCOMPARE(found, name);
}

void tst_EdsDictionary::mergeAndOwnSubEntries_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<int>>("subIndexes");

    QTest::newRow("VAR in 0x6000 gets sub-index 0") << QByteArray("[6000]|PDOMapping=1") << 0x6000 << QList<int>{0};
    QTest::newRow("VAR in 0x2000 gets sub-index 0") << QByteArray("[3FFF]") << 0x3FFF << QList<int>{0};
    QTest::newRow("VAR in 0x5000 gets none") << QByteArray("[5000]") << 0x5000 << QList<int>{};
    QTest::newRow("VAR in 0x7000 gets none") << QByteArray("[7000]") << 0x7000 << QList<int>{};
    QTest::newRow("sub-index before object") << QByteArray("[2000sub2]|[2000sub1]|[2000]") << 0x2000 << QList<int>{1, 2};
    QTest::newRow("sub-index split up")
        << QByteArray("[2000sub3]|[1000sub1]|[2000sub1]|[1000]|[2000]") << 0x2000 << QList<int>{1, 3};
}

void tst_EdsDictionary::mergeAndOwnSubEntries()
{
    QFETCH(QByteArray, text);
    QFETCH(int, index);
    QFETCH(QList<int>, subIndexes);
    const auto eds = edsFromLines(text.constData());
    const int position = eds->objectPosition(index);
    QVERIFY(position >= 0);
    QList<int> found;
    for (const EdsEntry &entry : eds->objects.at(position).subEntries) {
        QCOMPARE(entry.index, index);
        found.append(entry.subIndex);
    }
    QCOMPARE(found, subIndexes);
    QVERIFY(eds->pendingSubEntries.isEmpty());
}

void tst_EdsDictionary::compactPdoCompletion()
{
    const auto eds = loadEds(testDataPath("eds-compactpdo.eds"));
    QVERIFY(eds);
    QCOMPARE(diagnosticLines(*eds), QStringList());
    EdsEntry entry;
    QCOMPARE(eds->findEntry(0x1400, -1, entry), 0);
    QCOMPARE(entry.parameterName, QStringLiteral("0.receive PDO parameter"));
    QCOMPARE(eds->findEntry(0x1601, -1, entry), 0);
    QCOMPARE(entry.parameterName, QStringLiteral("1.receive PDO mapping"));
    QCOMPARE(eds->findEntry(0x1800, -1, entry), 0);
    QCOMPARE(entry.parameterName, QStringLiteral("0.transmit PDO parameter"));
    // The given object keeps its name and gets the defaults; the given mapping stays as it is.
    QCOMPARE(eds->findEntry(0x1401, -1, entry), 0);
    QCOMPARE(entry.parameterName, QStringLiteral("Given receive PDO"));
    QVERIFY(eds->findEntry(0x1801, -1, entry) != 0);
    QVERIFY(eds->findEntry(0x1A01, -1, entry) != 0);

    // CompactPDO 0x05: COB-ID (1) and inhibit time (3), behind a count of 2.
    for (int index : {0x1400, 0x1401, 0x1800}) {
        const EdsObject &object = eds->objects.at(eds->objectPosition(index));
        QList<int> subs;
        for (const EdsEntry &sub : object.subEntries)
            subs.append(sub.subIndex);
        QCOMPARE(subs, (QList<int>{0, 1, 3}));
        QCOMPARE(object.subEntries.at(0).defaultValue, 2u);
    }
    const EdsObject &mapping = eds->objects.at(eds->objectPosition(0x1600));
    QCOMPARE(mapping.subEntries.size(), 1);
    QCOMPARE(mapping.subEntries.at(0).subIndex, 0);
    QCOMPARE(eds->objects.at(eds->objectPosition(0x1A00)).subEntries.size(), 2);
    for (int i = 1; i < eds->objects.size(); ++i)
        QVERIFY(eds->objects.at(i - 1).entry.index < eds->objects.at(i).entry.index);

    const auto off = edsFromLines("[DeviceInfo]|NrOfRXPDO=1|CompactPDO=0");
    QVERIFY(off->objects.isEmpty());
    QCOMPARE(diagnosticLines(*off), (QStringList{"0:Object 1400 not found", "0:Object 1600 not found"}));
}

void tst_EdsDictionary::compactSubObjExpansion()
{
    const auto eds = edsFromLines("[1003]|ParameterName=Value|DataType=0x7|PDOMapping=1|CompactSubObj=11|"
                                  "[1003Name]|NrOfEntries=1|2=Second");
    const EdsObject &object = eds->objects.at(eds->objectPosition(0x1003));
    QCOMPARE(object.subEntries.size(), 12);
    const EdsEntry &count = object.subEntries.at(0);
    QCOMPARE(count.parameterName, QStringLiteral("NrOfObjects"));
    QCOMPARE(count.accessType, QStringLiteral("RO"));
    QCOMPARE(count.dataType, quint8(5));
    QCOMPARE(count.defaultValue, 11u);
    QCOMPARE(count.pdoMapping, false);
    QCOMPARE(object.subEntries.at(1).parameterName, QStringLiteral("Value1"));
    QCOMPARE(object.subEntries.at(2).parameterName, QStringLiteral("Second"));
    QCOMPARE(object.subEntries.at(10).parameterName, QStringLiteral("ValueA"));
    QCOMPARE(object.subEntries.at(11).subIndex, 11);
    QCOMPARE(object.subEntries.at(11).dataType, quint8(7));
    QCOMPARE(object.subEntries.at(11).pdoMapping, true);

    const EdsObject &gains = m_device->objects.at(m_device->objectPosition(0x5100));
    QCOMPARE(gains.subEntries.size(), 5);
    QCOMPARE(gains.subEntries.at(1).parameterName, QStringLiteral("Gain left"));
    QCOMPARE(gains.subEntries.at(3).parameterName, QStringLiteral("Channel gain3"));
}

void tst_EdsDictionary::accessors()
{
    QCOMPARE(m_device->deviceType(), 0x000F0191u);
    QCOMPARE(m_device->vendorId(), 0x1A2u);
    QCOMPARE(m_device->productCode(), 0x1234u);
    QCOMPARE(m_device->revisionNumber(), 0x00020001u);
    QCOMPARE(m_device->emcyCobId(), qMakePair(qint32(1), quint32(0x80)));
    QCOMPARE(m_device->pdoCobId(0x1400), qMakePair(qint32(1), quint32(0x200)));
    QCOMPARE(m_device->pdoCobId(0x1401), qMakePair(qint32(0), quint32(0x80000300)));
    QCOMPARE(m_device->pdoTransmissionType(0x1800), quint8(254));
    QCOMPARE(m_device->pdoInhibitTime(0x1800), 100u);
    QCOMPARE(m_device->pdoEventTimer(0x1800), 1000u);
    QCOMPARE(m_device->productName(), QStringLiteral("Test I/O 8DI/8DO"));
    QCOMPARE(m_device->objectPosition(0x1000), 0);
    QCOMPARE(m_device->objectPosition(0x1002), -1);
}

void tst_EdsDictionary::missingAccessors()
{
    const auto eds = edsFromLines("[1018]|[1400sub1]|DefaultValue=0x201");
    QCOMPARE(eds->deviceType(), 0u);
    QCOMPARE(eds->vendorId(), 0u);
    QCOMPARE(eds->emcyCobId(), qMakePair(qint32(0), quint32(0)));
    QCOMPARE(eds->pdoTransmissionType(0x1400), quint8(255));
    QCOMPARE(eds->pdoInhibitTime(0x1400), 0u);
    // A sub-index whose object never came is still found.
    QCOMPARE(eds->pdoCobId(0x1400), qMakePair(qint32(0), quint32(0x201)));
    EdsEntry untouched;
    untouched.parameterName = QStringLiteral("keep");
    QCOMPARE(eds->findEntry(0x1400, -1, untouched), 1);
    QCOMPARE(eds->findEntry(0x1400, 2, untouched), 1);
    QCOMPARE(untouched.parameterName, QStringLiteral("keep"));
}

void tst_EdsDictionary::lists()
{
    const auto indexes = [](const QList<EdsEntry> &entries) {
        QStringList result;
        for (const EdsEntry &entry : entries)
            result.append(QString::number(entry.index, 16) + QLatin1Char(':') + QString::number(entry.subIndex));
        return result;
    };
    QCOMPARE(indexes(m_device->receivePdoObjects()), (QStringList{"1400:-1", "1401:-1"}));
    QCOMPARE(indexes(m_device->transmitPdoObjects()), (QStringList{"1800:-1", "1801:-1"}));
    QCOMPARE(indexes(m_device->mappingEntries()),
             (QStringList{"1600:0", "1600:1", "1601:0", "1a00:0", "1a00:1", "1a00:2", "1a01:0"}));
    // 1001 has no sub-entries and counts as its own sub-index 0; 2000 and 6200 got one when merged.
    QCOMPARE(indexes(m_device->mappableEntries()),
             (QStringList{"1001:0", "2000:0", "5100:1", "5100:2", "5100:3", "5100:4", "6000:1", "6000:2", "6200:0"}));
}

QTEST_APPLESS_MAIN(tst_EdsDictionary)
#include "tst_edsdictionary.moc"
