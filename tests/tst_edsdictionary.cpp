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

    // Each key and each form of a node-relative or configured value once; plain number syntax is the number parser's.
    void entryKeys_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("diagnostics");
        const struct {
            const char *name, *lines, *field, *value;
            QStringList diagnostics;
        } rows[] = {
            {"node id after constant", "DefaultValue=0x80000200+$NODEID", "default", "$NODEID+80000200", {}},
            {"node id first, blanks, lower case", "DefaultValue=$nodeid + 0x180", "default", "$NODEID+180", {}},
            {"node id alone", "DefaultValue=$NODEID", "default", "$NODEID+0", {}},
            {"node id term with comment", "DefaultValue=$NODEID+0x200 ; RPDO", "default", "$NODEID+200", {}},
            {"plus without node id", "DefaultValue=0x180+5", "default", "$NODEID+5", {"3:No $NODEID in DefaultValue=0x180+5"}},
            {"minus one", "defaultvalue=-1", "default", "ffffffff", {}},
            {"default not converting", "DefaultValue=12 apples", "default", "0", {"3:Not a number: DefaultValue=12 apples"}},
            {"configured value wins", "ParameterValue=0x181|DefaultValue=$NODEID+0x180", "default", "181", {}},
            {"configured placeholder keeps default", "DefaultValue=7|ParameterValue=<!gain>", "default", "7",
             {"4:Not a number: ParameterValue=<!gain>"}},
            {"empty configured value", "DefaultValue=7|ParameterValue=", "default", "7", {}},
            {"high limit out of range", "HighLimit=0xFFFFFFFF", "high", "0", {}},
            {"low limit", "LOWLIMIT=-32768", "low", "-32768", {}},
            {"object type low bits", "ObjectType=0x107", "objectType", "7", {}},
            {"data type, later one wins", "DataType=0x0005 ; U8", "dataType", "5", {}},
            {"sub number", "SubNumber=5", "subNumber", "5", {}},
            {"mapping 00", "PDOMapping=00", "pdoMapping", "0", {}},
            {"mapping 0 with comment", "PDOMapping=0 ; no", "pdoMapping", "0", {}},
            {"mapping 0x1", "PDOMapping=0x1", "pdoMapping", "1", {}},
            {"obj flags", "ObjFlags=3", "objFlags", "3", {}},
            {"obj flags not converting", "ObjFlags=two", "objFlags", "0", {"3:Not a number: ObjFlags=two"}},
            {"compact sub obj", "CompactSubObj=254", "compactSubObj", "254", {}},
            {"dcf keys", "Denotation=Lamp|UploadFile=a.bin|DownloadFile=b.bin", "default", "0", {}},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << QByteArray(r.lines) << QString::fromLatin1(r.field) << QString::fromLatin1(r.value) << r.diagnostics;
    }
    void entryKeys()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, field);
        // The same lines in an object and in a sub-index section; the data type first, so a default must be a number.
        for (const bool sub : {false, true}) {
            const auto eds = edsFromLines((sub ? "[5000sub7]" : "[5000]") + QByteArray("|DataType=0x0007 # UNSIGNED32|") + lines
                                          + (sub ? "|[5000]" : ""));
            EdsEntry e;
            QCOMPARE(eds->findEntry(0x5000, sub ? 7 : -1, e), 0);
            const QHash<QString, qint64> fields{{"high", e.highLimit}, {"low", e.lowLimit}, {"objectType", e.objectType},
                {"dataType", e.dataType}, {"subNumber", e.subNumber}, {"pdoMapping", e.pdoMapping}, {"objFlags", e.objFlags},
                {"compactSubObj", e.compactSubObj}};
            const QString read = field != QLatin1String("default") ? QString::number(fields.value(field, -99))
                : (e.defaultIsNodeRelative ? QStringLiteral("$NODEID+") : QString()) + QString::number(e.defaultValue, 16);
            QTEST(read, "value");
            QTEST(diagnosticLines(*eds), "diagnostics");
        }
    }

    void infoSections()
    {
        const EdsDeviceInfo &device = m_device->deviceInfo;
        QCOMPARE(device.vendorNumber, 0x1A2u);
        QCOMPARE(device.baudRate500, true);  // "yes"
        QCOMPARE(device.baudRate800, false); // empty
        QCOMPARE(device.granularity, quint8(8));
        const bool dummies[7] = {false, true, true, true, false, false, true};
        QVERIFY(std::equal(dummies, dummies + 7, m_device->dummyUsage.dummy));
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
        QCOMPARE(eds->dynamicChannels.nrOfSeg, 3);
        QStringList segments; // number type dir range offset.bit max; text after a type's digits is ignored, Dir kept as written
        for (const EdsChannelSegment &s : eds->dynamicChannels.segments)
            segments << QStringLiteral("%1 %2 %3 %4-%5 %6.%7 %8").arg(s.number).arg(s.type).arg(s.dir).arg(s.rangeLow, 0, 16)
                            .arg(s.rangeHigh, 0, 16).arg(s.ppOffset).arg(s.bit).arg(s.maxCnt);
        QCOMPARE(segments, (QStringList{"1 4 RO 1000-1fff 0.0 0", "2 1 Wo 0-0 16.0 0", "3 7 rww 0-0 8.3 16"}));
    }

    void objectLists()
    {
        QCOMPARE(m_device->mandatoryObjects.supportedObjects, 3);
        QCOMPARE(m_device->mandatoryObjects.entries, (QList<QPair<qint32, quint32>>{{1, 0x1000}, {2, 0x1001}, {3, 0x1018}}));
        QCOMPARE(m_device->manufacturerObjects.entries.constLast().second, 0x5100u);
        // A second section replaces the first; entries sorted, a repeated number keeps the later, a decimal index stays decimal.
        const auto eds = edsFromLines("[OptionalObjects]|SupportedObjects=9|1=0x1400|[OptionalObjects]|SupportedObjects=4|"
                                      "4=0x1018|2=1000|2=0x1001|1=0x1000|-1=0x2000|3=1000");
        QCOMPARE(eds->optionalObjects.supportedObjects, 4);
        QCOMPARE(eds->optionalObjects.entries, (QList<QPair<qint32, quint32>>{{1, 0x1000}, {2, 0x1001}, {3, 1000}, {4, 0x1018}}));
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
        // Completed objects get a name and the communication defaults; a given object keeps its name and gets
        // the defaults, a given mapping stays as it is. CompactPDO 0x05: COB-ID (1) and inhibit time (3), behind a count of 2.
        QStringList objects;
        for (const EdsObject &object : eds->objects) {
            QString line = QString::number(object.entry.index, 16) + QLatin1Char(' ') + object.entry.parameterName + QLatin1Char(':');
            for (const EdsEntry &sub : object.subEntries)
                line += QStringLiteral(" %1=%2").arg(sub.subIndex).arg(sub.defaultValue, 0, 16);
            objects << line;
        }
        QCOMPARE(objects.filter(QRegularExpression("^1[4-9a]")),
                 (QStringList{"1400 0.receive PDO parameter: 0=2 1=200 3=0", "1401 Given receive PDO: 0=2 1=300 3=0",
                              "1600 0.receive PDO mapping: 0=0", "1601 1.receive PDO mapping: 0=0",
                              "1800 0.transmit PDO parameter: 0=2 1=180 3=0", "1a00 Given transmit mapping: 0=1 1=60000108"}));
        const auto off = edsFromLines("[DeviceInfo]|NrOfRXPDO=1|CompactPDO=0");
        QVERIFY(off->objects.isEmpty());
        QCOMPARE(diagnosticLines(*off), (QStringList{"0:Object 1400 not found", "0:Object 1600 not found"}));
    }

    void compactSubObjExpansion()
    {
        const auto eds = edsFromLines("[1003]|ParameterName=Value|DataType=0x7|PDOMapping=1|CompactSubObj=11|"
                                      "[1003Name]|NrOfEntries=1|2=Second");
        QStringList subs; // sub name access type default mappable
        for (const EdsEntry &e : eds->objects.at(eds->objectPosition(0x1003)).subEntries)
            subs << QStringLiteral("%1 %2 %3 %4 %5 %6").arg(e.subIndex).arg(e.parameterName, e.accessType).arg(e.dataType).arg(e.defaultValue).arg(e.pdoMapping);
        QCOMPARE(subs.size(), 12);
        QCOMPARE(subs.at(0) + '|' + subs.at(1) + '|' + subs.at(2) + '|' + subs.at(10) + '|' + subs.at(11),
                 QStringLiteral("0 NrOfObjects RO 5 11 0|1 Value1 RO 7 0 1|2 Second RO 7 0 1|10 ValueA RO 7 0 1|11 ValueB RO 7 0 1"));

        // Each expanded sub-index is paid for by the size of the file; the rest are refused, in file order.
        QByteArray text;
        for (int index = 0x2000; index < 0x2000 + 400; ++index)
            text += "[" + QByteArray::number(index, 16) + "]|PDOMapping=1|CompactSubObj=255|";
        const auto big = edsFromLines(text.constData());
        qint64 expanded = 0;
        for (const EdsObject &object : big->objects)
            expanded += object.subEntries.size();
        const int cut = big->diagnosticCount;
        QVERIFY(cut > 0 && cut < 400);
        QCOMPARE(expanded, qint64(400 - cut) * 256);
        QVERIFY(expanded <= maxExpandedSubEntriesBase + text.size() / expandedSubEntryBytes);
        QCOMPARE(big->diagnostics.constLast().text, QStringLiteral("compactSubObj not expanded, too many sub-indexes for the file size,index:218f"));
    }

    void accessors()
    {
        QCOMPARE(m_device->pdoCobId(0x1400), qMakePair(qint32(1), quint32(0x200)));
        QCOMPARE(m_device->pdoCobId(0x1401), qMakePair(qint32(0), quint32(0x80000300)));
        QCOMPARE(m_device->pdoTransmissionType(0x1800), quint8(254));
        QCOMPARE(m_device->pdoInhibitTime(0x1800), 100u);
        QCOMPARE(m_device->pdoEventTimer(0x1800), 1000u);
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
        QCOMPARE(eds->findEntry(0x1400, -1, untouched) + eds->findEntry(0x1400, 2, untouched), 2);
        QCOMPARE(untouched.parameterName, QStringLiteral("keep"));
    }

    void lists()
    {
        // Receive and transmit PDO objects are read through a slave's offered PDOs.
        QCOMPARE(indexes(m_device->mappingEntries()),
                 (QStringList{"1600:0", "1600:1", "1601:0", "1a00:0", "1a00:1", "1a00:2", "1a01:0"}));
        // 1001 has no sub-entries and counts as its own sub-index 0; 2000 and 6200 got one when merged.
        QCOMPARE(indexes(m_device->mappableEntries()),
                 (QStringList{"1001:0", "2000:0", "5100:1", "5100:2", "5100:3", "5100:4", "6000:1", "6000:2", "6200:0"}));
    }
};

QTEST_APPLESS_MAIN(tst_EdsDictionary)
#include "tst_edsdictionary.moc"