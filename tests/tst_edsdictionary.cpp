// Section contents, post-processing passes and lookups of a loaded EDS.
#include "edstesting.h"

#include <QtTest>

namespace {

QList<int> subIndexes(const EdsFile &eds, int index)
{
    QList<int> subs;
    for (const EdsEntry &sub : eds.objects.at(eds.objectPosition(index)).subEntries)
        subs.append(sub.subIndex);
    return subs;
}

QStringList indexes(const QList<EdsEntry> &entries)
{
    QStringList result;
    for (const EdsEntry &entry : entries)
        result.append(QString::number(entry.index, 16) + QLatin1Char(':') + QString::number(entry.subIndex));
    return result;
}

} // namespace

class tst_EdsDictionary : public QObject
{
    Q_OBJECT

    std::unique_ptr<EdsFile> m_device;

private slots:
    void initTestCase()
    {
        m_device = loadEds(testDataPath("eds-device.eds"));
        QVERIFY(m_device);
        QCOMPARE(diagnosticLines(*m_device), QStringList());
    }

    // Each key once; the number syntax itself is the number parser's.
    void entryKeys_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("field");
        QTest::addColumn<qint64>("value");
        const struct {
            const char *name, *line, *field;
            qint64 value;
        } rows[] = {
            {"node-relative default", "DefaultValue=$NODEID+0x180", "relative", 1},
            {"node-relative value", "DefaultValue=$NODEID + 0x180", "default", 0x180},
            {"node id after", "DefaultValue=0x180+$NODEID", "relative", 1},
            {"node id after value", "DefaultValue=0x180+$NODEID", "default", 0x180},
            {"node id alone", "DefaultValue=$NODEID", "relative", 1},
            {"minus one default", "defaultvalue=-1", "default", 0xFFFFFFFF},
            {"high limit out of range", "HighLimit=0xFFFFFFFF", "high", 0},
            {"low limit", "LOWLIMIT=-32768", "low", -32768},
            {"object type low bits", "ObjectType=0x107", "objectType", 7},
            {"data type", "DataType=0x0007", "dataType", 7},
            {"sub number", "SubNumber=5", "subNumber", 5},
            {"mapping 0x0", "PDOMapping=0x0", "pdoMapping", 0},
            {"mapping 0", "PDOMapping=0", "pdoMapping", 0},
            {"obj flags", "ObjFlags=3", "objFlags", 3},
            {"compact sub obj", "CompactSubObj=254", "compactSubObj", 254},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << QByteArray(r.line) << QString::fromLatin1(r.field) << r.value;
    }
    void entryKeys()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, field);
        // The same key in an object and in a sub-index section.
        for (const char *head : {"[1234]\n", "[1234sub7]\n"}) {
            const auto eds = loadEdsFromData(QByteArray(head) + line + '\n');
            EdsEntry entry;
            QCOMPARE(eds->findEntry(0x1234, head[5] == 's' ? 7 : -1, entry), 0);
            const QHash<QString, qint64> fields{
                {"relative", entry.defaultIsNodeRelative}, {"default", entry.defaultValue}, {"high", entry.highLimit},
                {"low", entry.lowLimit}, {"objectType", entry.objectType}, {"dataType", entry.dataType},
                {"subNumber", entry.subNumber}, {"pdoMapping", entry.pdoMapping}, {"objFlags", entry.objFlags},
                {"compactSubObj", entry.compactSubObj}};
            QTEST(fields.value(field, -99), "value");
        }
    }

    void infoSections()
    {
        QCOMPARE(m_device->fileInfo.fileName, QStringLiteral("eds-device.eds"));
        QCOMPARE(m_device->fileInfo.fileRevision, quint8(16));
        QCOMPARE(m_device->fileInfo.edsVersion, QStringLiteral("4.0"));
        const EdsDeviceInfo &device = m_device->deviceInfo;
        QCOMPARE(device.vendorNumber, 0x1A2u);
        QCOMPARE(device.orderCode, QStringLiteral("TIO-88"));
        QCOMPARE(device.baudRate10, false);
        QCOMPARE(device.baudRate500, true);  // "yes"
        QCOMPARE(device.baudRate800, false); // empty
        QCOMPARE(device.granularity, quint8(8));
        QCOMPARE(device.lssSupported, true);
        const bool dummies[7] = {false, true, true, true, false, false, true};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(m_device->dummyUsage.dummy[i], dummies[i]);
        // A key given twice keeps the later value.
        const auto twice = edsFromLines("[DeviceInfo]|nrofrxpdo=3|NRofRXPDO=4|[FileInfo]|FileName=a|FileName=b");
        QCOMPARE(twice->deviceInfo.nrOfRXPDO, quint8(4));
        QCOMPARE(twice->fileInfo.fileName, QStringLiteral("b"));
    }

    void dynamicChannels()
    {
        const auto eds = edsFromLines("[DynamicChannels]|NrOfSeg=3|Range1=0x1000 - 0x1FFF|PPOffset2=16|PPOffset3=8,3|"
                                      "Type3=0x7|Dir3=rww|MaxCnt3=0x10|Dir2=Wo|Type1Extra=4");
        QCOMPARE(diagnosticLines(*eds), QStringList());
        const QList<EdsChannelSegment> &s = eds->dynamicChannels.segments;
        QCOMPARE(eds->dynamicChannels.nrOfSeg, 3);
        QCOMPARE(s.size(), 3);
        QCOMPARE(s.at(0).number, 1);
        QCOMPARE(qMakePair(s.at(0).rangeLow, s.at(0).rangeHigh), qMakePair(0x1000u, 0x1FFFu));
        QCOMPARE(s.at(0).type, quint8(4)); // text after the digits is ignored
        QCOMPARE(s.at(0).dir, QStringLiteral("RO"));
        QCOMPARE(qMakePair(s.at(1).ppOffset, s.at(1).bit), qMakePair(16u, 0u));
        QCOMPARE(s.at(1).dir, QStringLiteral("Wo")); // as written
        QCOMPARE(qMakePair(s.at(2).ppOffset, s.at(2).bit), qMakePair(8u, 3u));
        QCOMPARE(s.at(2).type, quint8(7));
        QCOMPARE(s.at(2).maxCnt, 16u);
    }

    void objectLists()
    {
        QCOMPARE(m_device->mandatoryObjects.supportedObjects, 3);
        const QList<QPair<qint32, quint32>> mandatory{{1, 0x1000}, {2, 0x1001}, {3, 0x1018}};
        QCOMPARE(m_device->mandatoryObjects.entries, mandatory);
        QCOMPARE(m_device->optionalObjects.entries.size(), 6);
        QCOMPARE(m_device->manufacturerObjects.entries.constLast().second, 0x5100u);
        const auto eds = edsFromLines("[OptionalObjects]|SupportedObjects=9|1=0x1400|[OptionalObjects]|SupportedObjects=3|"
                                      "4=0x1018|2=1000|2=0x1001|1=0x1000|-1=0x2000");
        QCOMPARE(eds->optionalObjects.supportedObjects, 3);
        QCOMPARE(eds->optionalObjects.entries, (QList<QPair<qint32, quint32>>{{1, 0x1000}, {2, 0x1001}, {4, 0x1018}}));
        QCOMPARE(edsFromLines("[MandatoryObjects]|SupportedObjects=1|1=1000")->mandatoryObjects.entries.constFirst().second, 1000u);
    }

    void nameSections_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("subIndex");
        QTest::addColumn<QString>("name"); // null: no name
        const struct {
            const char *name, *text;
            int subIndex;
            const char *found;
        } rows[] = {
            {"named", "[2000Name]|NrOfEntries=2|1=one|2=two", 2, "two"},
            {"beyond count", "[2000Name]|NrOfEntries=1|1=one|2=two", 2, nullptr},
            {"count zero", "[2000Name]|1=one", 1, nullptr},
            {"negative count", "[2000Name]|NrOfEntries=-1|1=one", 1, nullptr},
            {"count above names", "[2000Name]|NrOfEntries=99|3=three", 3, "three"},
            {"sorted and replaced", "[2000Name]|NrOfEntries=2|2=b|1=a|2=B", 2, "B"},
            {"hex sub-index key", "[2000Name]|NrOfEntries=1|0x0A=ten", 10, "ten"},
            {"negative ignored", "[2000Name]|NrOfEntries=1|-1=x|1=one", 1, "one"},
            {"second section replaces", "[2000Name]|NrOfEntries=2|1=a|2=b|[2000Name]|NrOfEntries=1|1=c", 2, nullptr},
            {"bad index", "[20G0Name]|NrOfEntries=1|1=x", 1, nullptr},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << QByteArray(r.text) << r.subIndex << (r.found ? QString::fromLatin1(r.found) : QString());
    }
    void nameSections()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, subIndex);
        QFETCH(QString, name);
        QString found;
        QCOMPARE(edsFromLines(text.constData())->nameOf(0x2000, subIndex, found), !name.isNull());
        QCOMPARE(found, name.isNull() ? QString() : name);
    }

    void mergeAndOwnSubEntries_data()
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
    void mergeAndOwnSubEntries()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, index);
        const auto eds = edsFromLines(text.constData());
        QVERIFY(eds->objectPosition(index) >= 0);
        QTEST(subIndexes(*eds, index), "subIndexes");
        for (const EdsEntry &entry : eds->objects.at(eds->objectPosition(index)).subEntries)
            QCOMPARE(entry.index, index);
        QVERIFY(eds->pendingSubEntries.isEmpty());
    }

    void compactPdoCompletion()
    {
        const auto eds = loadEds(testDataPath("eds-compactpdo.eds"));
        QVERIFY(eds);
        QCOMPARE(diagnosticLines(*eds), QStringList());
        const auto nameOf = [&](int index) {
            EdsEntry entry;
            return eds->findEntry(index, -1, entry) == 0 ? entry.parameterName : QStringLiteral("<none>");
        };
        QCOMPARE(nameOf(0x1400), QStringLiteral("0.receive PDO parameter"));
        QCOMPARE(nameOf(0x1601), QStringLiteral("1.receive PDO mapping"));
        QCOMPARE(nameOf(0x1800), QStringLiteral("0.transmit PDO parameter"));
        // The given object keeps its name and gets the defaults; the given mapping stays as it is.
        QCOMPARE(nameOf(0x1401), QStringLiteral("Given receive PDO"));
        QCOMPARE(nameOf(0x1801), QStringLiteral("<none>"));
        QCOMPARE(nameOf(0x1A01), QStringLiteral("<none>"));
        // CompactPDO 0x05: COB-ID (1) and inhibit time (3), behind a count of 2.
        for (int index : {0x1400, 0x1401, 0x1800}) {
            QCOMPARE(subIndexes(*eds, index), (QList<int>{0, 1, 3}));
            QCOMPARE(eds->objects.at(eds->objectPosition(index)).subEntries.at(0).defaultValue, 2u);
        }
        QCOMPARE(subIndexes(*eds, 0x1600), QList<int>{0});
        QCOMPARE(subIndexes(*eds, 0x1A00).size(), 2);
        for (int i = 1; i < eds->objects.size(); ++i)
            QVERIFY(eds->objects.at(i - 1).entry.index < eds->objects.at(i).entry.index);
        const auto off = edsFromLines("[DeviceInfo]|NrOfRXPDO=1|CompactPDO=0");
        QVERIFY(off->objects.isEmpty());
        QCOMPARE(diagnosticLines(*off), (QStringList{"0:Object 1400 not found", "0:Object 1600 not found"}));
    }

    void compactSubObjExpansion()
    {
        const auto eds = edsFromLines("[1003]|ParameterName=Value|DataType=0x7|PDOMapping=1|CompactSubObj=11|"
                                      "[1003Name]|NrOfEntries=1|2=Second");
        const QList<EdsEntry> &subs = eds->objects.at(eds->objectPosition(0x1003)).subEntries;
        QCOMPARE(subs.size(), 12);
        const EdsEntry &count = subs.at(0);
        QCOMPARE(count.parameterName + QLatin1Char(' ') + count.accessType, QStringLiteral("NrOfObjects RO"));
        QCOMPARE(qMakePair(count.dataType, count.defaultValue), qMakePair(quint8(5), 11u));
        QCOMPARE(count.pdoMapping, false);
        QCOMPARE(subs.at(1).parameterName, QStringLiteral("Value1"));
        QCOMPARE(subs.at(2).parameterName, QStringLiteral("Second"));
        QCOMPARE(subs.at(10).parameterName, QStringLiteral("ValueA"));
        QCOMPARE(subs.at(11).subIndex, 11);
        QCOMPARE(subs.at(11).dataType, quint8(7));
        QCOMPARE(subs.at(11).pdoMapping, true);
        const QList<EdsEntry> &gains = m_device->objects.at(m_device->objectPosition(0x5100)).subEntries;
        QCOMPARE(gains.size(), 5);
        QCOMPARE(gains.at(1).parameterName, QStringLiteral("Gain left"));
        QCOMPARE(gains.at(3).parameterName, QStringLiteral("Channel gain3"));
    }

    void accessors()
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
        // Missing objects give zeros, a missing type 255; a sub-index whose object never came is still found.
        const auto eds = edsFromLines("[1018]|[1400sub1]|DefaultValue=0x201");
        QCOMPARE(eds->deviceType() + eds->vendorId() + eds->pdoInhibitTime(0x1400), 0u);
        QCOMPARE(eds->emcyCobId(), qMakePair(qint32(0), quint32(0)));
        QCOMPARE(eds->pdoTransmissionType(0x1400), quint8(255));
        QCOMPARE(eds->pdoCobId(0x1400), qMakePair(qint32(0), quint32(0x201)));
        EdsEntry untouched;
        untouched.parameterName = QStringLiteral("keep");
        QCOMPARE(eds->findEntry(0x1400, -1, untouched), 1);
        QCOMPARE(eds->findEntry(0x1400, 2, untouched), 1);
        QCOMPARE(untouched.parameterName, QStringLiteral("keep"));
    }

    void lists()
    {
        QCOMPARE(indexes(m_device->receivePdoObjects()), (QStringList{"1400:-1", "1401:-1"}));
        QCOMPARE(indexes(m_device->transmitPdoObjects()), (QStringList{"1800:-1", "1801:-1"}));
        QCOMPARE(indexes(m_device->mappingEntries()),
                 (QStringList{"1600:0", "1600:1", "1601:0", "1a00:0", "1a00:1", "1a00:2", "1a01:0"}));
        // 1001 has no sub-entries and counts as its own sub-index 0; 2000 and 6200 got one when merged.
        QCOMPARE(indexes(m_device->mappableEntries()),
                 (QStringList{"1001:0", "2000:0", "5100:1", "5100:2", "5100:3", "5100:4", "6000:1", "6000:2", "6200:0"}));
    }
};

QTEST_APPLESS_MAIN(tst_EdsDictionary)
#include "tst_edsdictionary.moc"
