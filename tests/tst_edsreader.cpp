// The EDS reader: number syntax, line grammar, sections, diagnostics, completion passes and lookups.
#include "eds/edsfile.h"
#include "eds/edsnumber.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

const QString devicePath = QStringLiteral(CANSLAVE_TEST_DATA "/eds-device.eds");

// Test texts are written with "|" for line ends, so a table row fits on one line.
std::unique_ptr<EdsFile> edsFromLines(QByteArray text)
{
    return loadEdsFromData(text.replace('|', '\n'));
}

QStringList diagnosticLines(const EdsFile &eds)
{
    QStringList result;
    for (const EdsDiagnostic &diagnostic : eds.diagnostics)
        result.append(QString::number(diagnostic.line) + QLatin1Char(':') + diagnostic.text);
    return result;
}

// "index name/type=value: sub name/type=value ..." per object; values in hex, "N+" if node-relative, "*" if mappable.
QStringList objectsOf(const EdsFile &eds)
{
    const auto text = [](const EdsEntry &e) {
        return QStringLiteral("%1/%2=%3%4%5").arg(e.parameterName).arg(e.dataType).arg(e.defaultIsNodeRelative ? "N+" : "")
            .arg(e.defaultValue, 0, 16).arg(e.pdoMapping ? "*" : "");
    };
    QStringList out;
    for (const EdsObject &object : eds.objects) {
        QString line = QString::number(object.entry.index, 16) + QLatin1Char(' ') + text(object.entry) + QLatin1Char(':');
        for (const EdsEntry &sub : object.subEntries)
            line += QStringLiteral(" %1 ").arg(sub.subIndex, 0, 16) + text(sub);
        out << line;
    }
    return out;
}

} // namespace

class tst_EdsReader : public QObject
{
    Q_OBJECT

    std::unique_ptr<EdsFile> m_device;

private slots:
    void initTestCase()
    {
        m_device = loadEds(devicePath);
        QVERIFY(m_device);
        QCOMPARE(diagnosticLines(*m_device), QStringList());
    }

    // Signed and unsigned reading side by side; "-" where a form is refused.
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("asSigned");
        QTest::addColumn<QString>("asUnsigned");
        const char *rows[][3] = {
            {"1234", "1234", "1234"}, {"-1000", "-1000", "4294966296"}, {"+7", "7", "7"}, {"  42 \t", "42", "42"},
            {"0x1a", "26", "26"}, {"0X1A", "26", "26"}, {"0h", "0", "0"}, {"1Ah", "26", "26"}, {"1AH", "26", "26"}, {"0x1Ah", "26", "26"},
            {"010", "8", "8"}, {"-010", "-10", "4294967286"}, {"0", "0", "0"}, {"08", "-", "-"}, {"09", "-", "-"},
            {"2147483647", "2147483647", "2147483647"}, {"-2147483648", "-2147483648", "2147483648"},
            {"2147483648", "-", "2147483648"}, {"0x7FFFFFFF", "2147483647", "2147483647"},
            {"0xFFFFFFFF", "-", "4294967295"}, {"4294967296", "-", "-"}, {"0x100000000", "-", "-"},
            {"-2147483649", "-", "-"}, {"-0x10", "-", "-"}, {"99999999999999999999999", "-", "-"}, {"", "-", "-"},
            {"   ", "-", "-"}, {"0x", "-", "-"}, {"h", "-", "-"}, {"12a", "-", "-"}, {"1 2", "-", "-"},
            {"0x12 ;x", "-", "-"}, {"--1", "-", "-"}, {"$NODEID", "-", "-"}, {"\xd9\xa3", "-", "-"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2]);
    }
    void numbers()
    {
        QFETCH(QString, text);
        // A refused form reads as 0.
        const auto shown = [](bool ok, qint64 value) {
            return ok ? QString::number(value) : value ? QStringLiteral("refused as %1").arg(value) : QStringLiteral("-");
        };
        bool ok = false;
        const qint32 s = toSignedNumber(text, &ok);
        QTEST(shown(ok, s), "asSigned");
        QCOMPARE(toSignedNumber(text), s);
        const quint32 u = toUnsignedNumber(text, &ok);
        QTEST(shown(ok, u), "asUnsigned");
    }

    // Bytes of the CiA 301 types beyond 32 bits and of odd widths; strings and reserved codes have none.
    void typeSizes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("bytes");
        const struct { const char *name; int code, bytes; } rows[] = {
            {"INTEGER24", 0x10, 3}, {"REAL64", 0x11, 8}, {"INTEGER40", 0x12, 5}, {"INTEGER48", 0x13, 6}, {"INTEGER56", 0x14, 7},
            {"INTEGER64", 0x15, 8}, {"UNSIGNED24", 0x16, 3}, {"reserved 0x17", 0x17, 0}, {"UNSIGNED40", 0x18, 5},
            {"UNSIGNED48", 0x19, 6}, {"UNSIGNED56", 0x1A, 7}, {"UNSIGNED64", 0x1B, 8}, {"VISIBLE_STRING", 9, 0}, {"after UNSIGNED64", 0x1C, 0},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << r.code << r.bytes;
    }
    void typeSizes()
    {
        QFETCH(int, code);
        QTEST(dataTypeSize(code), "bytes");
    }

    // Key names fold case as Unicode does: the long s is an s and the Kelvin sign a k, but an accent stays.
    void keys()
    {
        QVERIFY(equalsIgnoringCase(QString::fromUtf8("1000\xc5\xbfub1"), QLatin1String("1000sub1")));
        QVERIFY(equalsIgnoringCase(QString::fromUtf8("ObjectLin\xe2\x84\xaas"), QLatin1String("objectlinks")));
        for (const char *other : {"DeviceInfo2", "Device", "d\xc3\xa9viceinfo"})
            QVERIFY2(!equalsIgnoringCase(QString::fromUtf8(other), QLatin1String("deviceinfo")), other);
        QVERIFY(!equalsIgnoringCase(QStringLiteral("baudrate@10"), QLatin1String("baudrate_10")));
        QVERIFY(equalsIgnoringCase(QStringLiteral("AZaz"), QLatin1String("azAZ")) && !equalsIgnoringCase(QStringLiteral("@["), QLatin1String("`{")));
    }

    // The heads name which section reader runs: each one's own complaint about an unknown key tells.
    void diagnostics_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("expected");
        const struct { const char *name, *text; QStringList expected; } rows[] = {
            {"empty first line, line before any section, unknown section's lines", "|stray=1|[Tools]|Editor=x|Other=y|[1000]|ParameterName=a",
             {"2:Unknown line", "3:Unknown section Tools", "4:Unknown line", "5:Unknown line"}},
            {"heads that name no section", "[1000Sub]|[2000sub100]|[20000]|[20G0Name]|[200]|[2000|[2000Value]|1=x|[2000OBJECTLINKS]|x=y|[1000subG]",
             {"1:Unknown section 1000Sub", "2:Unknown section 2000sub100", "3:Unknown section 20000", "4:Unknown section 20G0Name",
              "5:Unknown section 200", "6:Unknown line", "11:Unknown section 1000subG"}},
            {"line without equals; heads with a comment after them", "[1000]|ParameterName=a|garbage|[1001] ; next|Colour=x|[1002]# c|Shade=y|[1003] x",
             {"3:grammer error", "3:Unknown token: ", "5:Unknown token: Colour", "7:Unknown token: Shade", "8:grammer error", "8:Unknown token: "}},
            {"object key, lower-case head", "[2abc]|Colour=x", {"2:Unknown token: Colour"}},
            {"info keys, heads in capitals and with blanks", "[FILEINFO]|Editor=x|  [ deviceinfo ]  |Vendor=x|[DummyUsage]|Dummy0008=1",
             {"2:Unknown lineName: Editor", "4:Unknown name: Vendor", "6:Unknown entry"}},
            {"name section key, index 0", "[0000name]|NrOfEntries=1|first=x", {"3:Unknown entry in name section"}},
            {"sub-index without object", "[2a0fSUB1f]|ParameterName=x|[1000]|ParameterName=y|[0000sub1]", {"0:Unused section,index:0", "0:Unused section,index:2a0f"}},
            {"promised PDO objects missing", "[DeviceInfo]|NrOfRXPDO=1|NrOfTXPDO=1|CompactPDO=0|[1400]|ParameterName=x",
             {"0:Object 1600 not found", "0:Object 1800 not found", "0:Object 1a00 not found"}},
            {"PDOs numbered with a gap, as many as promised", "[DeviceInfo]|NrOfRXPDO=2|[1400]|[1402]|[1600]|[1602]", {}},
            {"compactSubObj with SubNumber, with sub-indexes", "[1003]|SubNumber=1|CompactSubObj=3|[1004]|CompactSubObj=3|[1004sub1]",
             {"0:compactSubObj and subNumber conflicted,index:1003", "0:compactSubObj and subObject conflicted,index:1004"}},
            {"INTEGER24 and INTEGER40 defaults must be numbers, REAL64 need not",
             "[2000]|DataType=0x10|DefaultValue=abc|[2001]|DataType=0x11|DefaultValue=1.5|[2002]|DataType=0x12|DefaultValue=x",
             {"3:Not a number: DefaultValue=abc", "9:Not a number: DefaultValue=x"}},
            {"integer types at both ends of their ranges",
             "[2000]|DataType=0x01|DefaultValue=x|[2001]|DataType=0x07|DefaultValue=x|[2002]|DataType=0x08|DefaultValue=x|"
             "[2003]|DataType=0x1B|DefaultValue=x|[2004]|DataType=0x1C|DefaultValue=x|[2005]|DataType=0|DefaultValue=x",
             {"3:Not a number: DefaultValue=x", "6:Not a number: DefaultValue=x", "12:Not a number: DefaultValue=x"}},
            {"comments", "[Comments]|Lines=2|Line1=a|Line1=b|Line3=c|Line4 = d|Lines=1|LineA=e|Line0=z|Line1000=y",
             {"4:Duplicate lines", "6:Unknown lines", "7:Duplicate of entry \"Lines\"", "8:Unknown lines", "10:Unknown lines",
              "1:Entry line 2 in section comment not found", "1:Unused entry line3"}},
            {"dynamic channels",
             "[DynamicChannels]|NrOfSeg=3|Type1=x|Dir1=rw|Range1=5|Range2=1-x|PPOffset2=a,b|PPOffset3=q|MaxCnt3=z|Type08=1|Dir4=RO|Size1=2",
             {"3:Channel data type error", "4:Channel data type error: rw", "5:Channel range error", "6:Channel range error",
              "7:Offset error", "7:bit error", "8:Offset error", "9:Maxcnt data error", "10:Read line seg error",
              "12:Unknown line", "1:Unused seg: 4, in section Channels"}},
            {"dynamic channels missing segment, numbers up to 0xFFFF", "[DynamicChannels]|NrOfSeg=3|Type2=1|Type65536=1|Type65535=1",
             {"4:Seg 65536 out of range", "1:Seg 1 not found", "1:Seg 3 not found", "1:Unused seg: 65535, in section Channels"}},
            {"object list", "[MandatoryObjects]|SupportedObjects=3|1=0x1000|2=0x1001|4=0x1018|x=0x1|5=y|SupportedObjects=many",
             {"6:Line data error: x=0x1", "7:Line data error: 5=y", "8:SupportedObjects data error many",
              "1:Entry \"3\" in section [MandatoryObjects] not found", "1:Unused entry \"4\" in section [MandatoryObjects]"}},
            {"object lists without count or entries", "[OptionalObjects]|1=0x1400|[ManufacturerObjects]|SupportedObjects=1",
             {"1:Unused entry \"1\" in section [OptionalObjects]", "3:Entry \"1\" in section [ManufacturerObjects] not found"}},
            {"configured values that are not numbers", "[6200]|DataType=5|CompactSubObj=2|[6200Value]|NrOfEntries=2|1=x|2=",
             {"0:Not a number: [6200Value] 1=x"}},
            {"only a plain identifier of the DCF's own node follows the node",
             "[DeviceComissioning]|NodeID=4|[1800]|SubNumber=6|[1800sub1]|DefaultValue=0x184|[1800sub5]|DefaultValue=0x184|"
             "[1801]|SubNumber=2|[1801sub1]|DefaultValue=$NODEID+0x284|[1802]|SubNumber=2|[1802sub1]|DefaultValue=0x385|[1804]|[1804sub1]|DefaultValue=0x584",
             {"0:COB-IDs of node 4 taken as node-relative,index:1800"}},
            {"clean file", "; only a comment|[1000]|ParameterName=x|;[1001]|[0000ObjectLinks]|1=2|[0000]", {}}};
        for (const auto &row : rows)
            QTest::newRow(row.name) << QByteArray(row.text) << row.expected;
    }
    void diagnostics()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, expected);
        const auto eds = edsFromLines(text);
        QCOMPARE(diagnosticLines(*eds), expected);
        QCOMPARE(eds->diagnosticCount, expected.size());
    }

    void diagnosticRecords()
    {
        const auto eds = edsFromLines("[DeviceInfo]|Bogus=1|[2000]|Bogus=2|[3000sub1]|");
        QStringList where;
        for (const EdsDiagnostic &diagnostic : eds->diagnostics)
            where << diagnostic.section + QLatin1Char('@') + QString::number(diagnostic.line);
        // Raised once reading is over: no line and no section.
        QCOMPARE(where, (QStringList{"DeviceInfo@2", "2000@4", "@0"}));
        const auto capped = loadEdsFromData(QByteArray("nonsense\n").repeated(maxKeptDiagnostics + 500));
        QCOMPARE(qMakePair(capped->diagnostics.size(), capped->diagnosticCount), qMakePair(maxKeptDiagnostics, maxKeptDiagnostics + 500));
        QCOMPARE(capped->diagnostics.constLast().line, maxKeptDiagnostics);
    }

    void lineGrammar()
    {
        const auto eds = edsFromLines("[2000]|  ParameterName =  a=b ; not a comment  |;DataType=7|  ;AccessType=wo|"
                                      "DefaultValue\t=\t12|[2000sub1]||ParameterName=x");
        EdsEntry entry;
        QCOMPARE(eds->findEntry(0x2000, -1, entry), 0);
        QCOMPARE(entry.parameterName + '/' + entry.accessType, QStringLiteral("a=b ; not a comment/RO"));
        QCOMPARE(qMakePair(entry.dataType, entry.defaultValue), qMakePair(quint8(0), 12u));
        QVERIFY(eds->diagnostics.isEmpty());
        for (const auto &node : QList<QPair<QByteArray, int>>{{"0", 0}, {"1", 1}, {"0x7F", 127}, {"128", 0}})
            QCOMPARE(edsFromLines("[DeviceComissioning]|NodeID=" + node.first)->commissionedNodeId, node.second);
    }

    void byteOrderMarks()
    {
        const QByteArray plain("[DeviceInfo]\r\nProductName=M\xc3\xbcller\r\n[1000]\r\nDefaultValue=0x191"); // to its last byte
        const QString text = QString::fromUtf8(plain);
        const QByteArray utf16 = QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        for (const QByteArray &data : {plain, QByteArray("\xEF\xBB\xBF") + plain, utf16}) {
            const auto eds = loadEdsFromData(data);
            QCOMPARE(diagnosticLines(*eds) + objectsOf(*eds), QStringList{"1000 /0=191:"});
            // The rest of the name depends on the system's 8-bit encoding, its start does not.
            QVERIFY(eds->productName().startsWith(QLatin1String("M")));
        }
    }

    // A FIFO would block, a file over the size limit is not read at all, nor one that grows; a missing one fails in the slave test.
    void refusesPaths()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo.eds")), big = dir.filePath(QStringLiteral("big.eds"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QFile file(big);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[1000]\n") > 0 && file.resize(maxEdsFileSize + 1));
        QVERIFY(!loadEds(fifo) && !loadEds(big) && !loadEds(QStringLiteral("/proc/self/status"))); // holds more than its size says
        QVERIFY(file.resize(maxEdsFileSize) && loadEds(big)); // the limit itself is read
    }

    void objects_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("objects");
        const struct { const char *name, *text; QStringList objects; } rows[] = {
            {"a VAR from 0x2000 to 0x3FFF or in 0x6000 gets sub-index 0", "[6000]|PDOMapping=1|[3FFF]|[5000]|[7000]",
             {"3fff /0=0: 0 /0=0", "5000 /0=0:", "6000 /0=0*: 0 /0=0*", "7000 /0=0:"}},
            {"sub-indexes split up and before the object", "[2000sub3]|[1000sub1]|[2000sub1]|[1000]|[2000]",
             {"1000 /0=0: 1 /0=0", "2000 /0=0: 1 /0=0 3 /0=0"}},
            {"a later section replaces the earlier whole, as if inserted in place",
             "[3000]|ParameterName=late|DataType=7|[2000sub2]|ParameterName=b|DataType=7|[2000]|ParameterName=obj|"
             "[1000sub1]|ParameterName=x|[2000sub1]|ParameterName=a|[2000sub2]|ParameterName=B|[1000]|[3000]|"
             "ParameterName=later|[1000]|ParameterName=first",
             {"1000 first/0=0: 1 x/0=0", "2000 obj/0=0: 1 a/0=0 2 B/0=0", "3000 later/0=0: 0 later/0=0"}},
            // Only the first NrOfEntries names in sub-index order count, sub-index 0's too; the others are numbered.
            {"compact sub-objects named: names sorted, replaced and counted",
             "[2000]|ParameterName=V|DataType=0x7|PDOMapping=1|CompactSubObj=11|[2000Name]|NrOfEntries=4|4=four|2=b|-1=x|0x03=three|2=B|1=one|0=zero",
             {"2000 V/7=0*: 0 NrOfObjects/5=b 1 one/7=0* 2 B/7=0* 3 three/7=0* 4 V4/7=0* 5 V5/7=0* 6 V6/7=0* 7 V7/7=0* "
              "8 V8/7=0* 9 V9/7=0* a VA/7=0* b VB/7=0*"}},
            {"compact sub-objects named: counts above the names, none, negative; a later section replaces",
             "[2001]|ParameterName=W|CompactSubObj=2|[2001Name]|NrOfEntries=1|1=a|[2001Name]|NrOfEntries=99|2=b|"
             "[2002]|ParameterName=X|CompactSubObj=1|[2002Name]|1=one|[2003]|ParameterName=Y|CompactSubObj=1|[2003Name]|NrOfEntries=-1|1=one",
             {"2001 W/0=0: 0 NrOfObjects/5=2 1 W1/0=0 2 b/0=0", "2002 X/0=0: 0 NrOfObjects/5=1 1 X1/0=0",
              "2003 Y/0=0: 0 NrOfObjects/5=1 1 Y1/0=0"}},
            {"compact sub-objects take configured values",
             "[6200]|ParameterName=Out|DataType=0x0005|PDOMapping=1|CompactSubObj=2|[6200Value]|NrOfEntries=1|1=7",
             {"6200 Out/5=0*: 0 NrOfObjects/5=2 1 Out1/5=7* 2 Out2/5=0*"}},
            // CompactPDO 0x05: COB-ID (1) and inhibit time (3), behind a count of 2. A given PDO object keeps its name and
            // gets the defaults, a given mapping stays as it is.
            // Every PDO has a COB-ID, so one comes without bit 0; bit 5 has no sub-index of its own.
            {"compact PDO without bit 0 keeps its COB-ID", "[DeviceInfo]|NrOfTXPDO=1|CompactPDO=0x22",
             {"1800 0.transmit PDO parameter/0=0: 0 /0=2 1 /0=N+180 2 /0=ff", "1a00 0.transmit PDO mapping/0=0: 0 /0=0"}},
            {"compact PDOs completed",
             "[DeviceInfo]|NrOfRXPDO=2|NrOfTXPDO=1|CompactPDO=0x05|[1401]|ParameterName=Given|SubNumber=0|"
             "[1A00]|ParameterName=Map|[1A00sub0]|DefaultValue=1|[1A00sub1]|DefaultValue=0x60000108",
             {"1400 0.receive PDO parameter/0=0: 0 /0=2 1 /0=N+200 3 /0=0", "1401 Given/0=0: 0 /0=2 1 /0=N+300 3 /0=0",
              "1600 0.receive PDO mapping/0=0: 0 /0=0", "1601 1.receive PDO mapping/0=0: 0 /0=0",
              "1800 0.transmit PDO parameter/0=0: 0 /0=2 1 /0=N+180 3 /0=0", "1a00 Map/0=0: 0 /0=1 1 /0=60000108"}}};
        for (const auto &row : rows)
            QTest::newRow(row.name) << QByteArray(row.text) << row.objects;
    }
    void objects()
    {
        QFETCH(QByteArray, text);
        const auto eds = edsFromLines(text);
        QTEST(objectsOf(*eds), "objects");
        QVERIFY(eds->pendingSubEntries.isEmpty());
    }

    void compactSubObjectsCostWhatTheFileHolds()
    {
        QByteArray text;
        for (int index = 0x2000; index < 0x2000 + 400; ++index)
            text += "[" + QByteArray::number(index, 16) + "]|PDOMapping=1|CompactSubObj=255|";
        text += ';' + QByteArray(16383 - text.size(), 'x'); // a budget of whole objects: the last one just fits
        const auto eds = edsFromLines(text);
        qint64 expanded = 0;
        for (const EdsObject &object : eds->objects)
            expanded += object.subEntries.size();
        QCOMPARE(expanded, qint64(400 - eds->diagnosticCount) * 256);
        QCOMPARE(expanded, (maxExpandedSubEntriesBase + text.size() / expandedSubEntryBytes) / 256 * 256);
        QCOMPARE(eds->objects.constFirst().subEntries.at(16).parameterName, QStringLiteral("10")); // numbered in hex
        QCOMPARE(eds->diagnostics.constLast().text, QStringLiteral("compactSubObj not expanded, too many sub-indexes for the file size,index:218f"));
    }

    // Each key and each form of a node-relative or configured value once; plain number syntax is the number parser's.
    void entryKeys_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("diagnostics");
        const struct { const char *name, *lines, *field, *value; QStringList diagnostics; } rows[] = {
            {"node id after constant", "DefaultValue=0x80000200+$NODEID", "default", "N+80000200", {}},
            {"node id first, blanks, lower case", "DefaultValue=$nodeid + 0x180", "default", "N+180", {}},
            {"node id alone", "DefaultValue=$NODEID", "default", "N+0", {}},
            {"node id term with comment", "DefaultValue=$NODEID+0x200 ; RPDO", "default", "N+200", {}},
            {"plus without node id", "DefaultValue=0x180+5", "default", "N+5", {"3:No $NODEID in DefaultValue=0x180+5"}},
            {"minus one", "defaultvalue=-1", "default", "ffffffff", {}}, {"leading plus is a sign", "DefaultValue=+389", "default", "185", {}},
            {"64-bit configured value keeps its low bits", "ParameterValue=0x0000682129001321", "default", "29001321", {}},
            {"negative 64-bit default", "DefaultValue=-1234567890123456789", "default", "82167eeb", {}},
            {"64-bit limit", "HighLimit=10000000000", "high", "0", {}}, {"mapping Yes", "PDOMapping=Yes", "pdoMapping", "1", {}},
            {"hex beyond 64 bits", "HighLimit=0x1FFFFFFFFFFFFFFFF", "high", "0", {"3:Not a number: HighLimit=0x1FFFFFFFFFFFFFFFF"}},
            {"limit beyond 64 bits", "HighLimit=18446744073709551616", "high", "0", {"3:Not a number: HighLimit=18446744073709551616"}},
            {"default not converting", "DefaultValue=12 apples", "default", "0", {"3:Not a number: DefaultValue=12 apples"}},
            {"configured value wins", "ParameterValue=0x181|DefaultValue=$NODEID+0x180", "default", "181", {}},
            {"configured placeholder keeps default", "DefaultValue=7|ParameterValue=<!gain>", "default", "7",
             {"4:Not a number: ParameterValue=<!gain>"}},
            {"empty configured value", "DefaultValue=7|ParameterValue=", "default", "7", {}},
            {"high limit out of range", "HighLimit=0xFFFFFFFF", "high", "0", {}}, {"low limit", "LOWLIMIT=-32768", "low", "-32768", {}},
            {"high limit after the node id", "HighLimit=$NODEID+0x10", "high", "N+16", {}},
            {"low limit, node id last", "LowLimit=2 + $nodeid", "low", "N+2", {}}, {"object type low bits", "ObjectType=0x107", "objectType", "7", {}},
            {"mapping 00", "PDOMapping=00", "pdoMapping", "0", {}}, {"mapping 0x1", "PDOMapping=0x1", "pdoMapping", "1", {}},
            {"mapping FALSE", "PDOMapping=FALSE", "pdoMapping", "0", {}}, {"mapping no", "PDOMapping=no", "pdoMapping", "0", {}},
            {"obj flags not converting", "ObjFlags=two", "objFlags", "0", {"3:Not a number: ObjFlags=two"}},
            {"dcf keys", "Denotation=Lamp|UploadFile=a.bin|DownloadFile=b.bin", "default", "0", {}}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << QByteArray(r.lines) << QString::fromLatin1(r.field) << QString::fromLatin1(r.value) << r.diagnostics;
    }
    void entryKeys()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, field);
        // Object and sub-index sections read their lines alike. The data type first, so a default must be a number.
        const auto eds = edsFromLines("[5000]|DataType=0x0007 # UNSIGNED32|" + lines);
        EdsEntry e;
        QCOMPARE(eds->findEntry(0x5000, -1, e), 0);
        const QHash<QString, qint64> fields{{"high", e.highLimit}, {"low", e.lowLimit}, {"objectType", e.objectType},
                                            {"pdoMapping", e.pdoMapping}, {"objFlags", e.objFlags}};
        const bool relative = (field == QLatin1String("low") && (e.limitsNodeRelative & 1))
            || (field == QLatin1String("high") && (e.limitsNodeRelative & 2));
        const QString read = field != QLatin1String("default") ? (relative ? QStringLiteral("N+") : QString()) + QString::number(fields.value(field, -99))
            : (e.defaultIsNodeRelative ? QStringLiteral("N+") : QString()) + QString::number(e.defaultValue, 16);
        QTEST(read, "value");
        QTEST(diagnosticLines(*eds), "diagnostics");
    }

    // Booleans are false only when "0" or empty.
    void sectionValues()
    {
        QVERIFY(m_device->deviceInfo.baudRate500 && !m_device->deviceInfo.baudRate800); // "yes", empty
        const bool dummies[7] = {false, true, true, true, false, false, true};
        QVERIFY(std::equal(dummies, dummies + 7, m_device->dummyUsage.dummy));
        // A key given twice keeps the later value.
        const auto twice = edsFromLines("[DeviceInfo]|nrofrxpdo=3|NRofRXPDO=4|[FileInfo]|FileName=a|FileName=b");
        QCOMPARE(QString::number(twice->deviceInfo.nrOfRXPDO) + twice->fileInfo.fileName, QStringLiteral("4b"));

        const auto channels = edsFromLines("[DynamicChannels]|NrOfSeg=3|Range1=0x1000 - 0x1FFF|PPOffset2=16|PPOffset3=8,3|"
                                           "Type3=0x7|Dir3=rww|MaxCnt3=0x10|Dir2=Wo|Type1Extra=4");
        QCOMPARE(diagnosticLines(*channels), QStringList());
        QStringList segments; // number type dir range offset.bit max; text after a type's digits is ignored, Dir kept as written
        for (const EdsChannelSegment &s : channels->dynamicChannels.segments)
            segments << QStringLiteral("%1 %2 %3 %4-%5 %6.%7 %8").arg(s.number).arg(s.type).arg(s.dir).arg(s.rangeLow, 0, 16)
                            .arg(s.rangeHigh, 0, 16).arg(s.ppOffset).arg(s.bit).arg(s.maxCnt);
        QCOMPARE(segments, (QStringList{"1 4 RO 1000-1fff 0.0 0", "2 1 Wo 0-0 16.0 0", "3 7 rww 0-0 8.3 16"}));

        // A second section replaces the first; entries sorted, a repeated number keeps the later, a decimal index stays decimal.
        const auto lists = edsFromLines("[OptionalObjects]|SupportedObjects=9|1=0x1400|[OptionalObjects]|SupportedObjects=4|"
                                        "4=0x1018|2=1000|2=0x1001|1=0x1000|-1=0x2000|3=1000");
        QCOMPARE(lists->optionalObjects.supportedObjects, 4);
        QCOMPARE(lists->optionalObjects.entries, (QList<QPair<qint32, quint32>>{{1, 0x1000}, {2, 0x1001}, {3, 1000}, {4, 0x1018}}));
    }

    void accessorsAndLists()
    {
        QCOMPARE(m_device->pdoCobId(0x1401), qMakePair(qint32(0), quint32(0x80000300)));
        QCOMPARE(QList<quint32>({m_device->pdoTransmissionType(0x1800), m_device->pdoInhibitTime(0x1800), m_device->pdoEventTimer(0x1800)}),
                 QList<quint32>({254, 100, 1000}));
        // Missing objects give zeros, a missing type 255; a sub-index whose object never came is still found.
        const auto eds = edsFromLines("[1018]|[1400sub1]|DefaultValue=0x201");
        QCOMPARE(eds->deviceType() + eds->vendorId() + eds->pdoInhibitTime(0x1400), 0u);
        QVERIFY(eds->emcyCobId() == qMakePair(qint32(0), quint32(0)) && eds->pdoTransmissionType(0x1400) == 255);
        QCOMPARE(eds->pdoCobId(0x1400), qMakePair(qint32(0), quint32(0x201)));
        EdsEntry untouched{0, 0, 0, QStringLiteral("keep")};
        QCOMPARE(eds->findEntry(0x1400, -1, untouched) + eds->findEntry(0x1400, 2, untouched), 2);
        QCOMPARE(untouched.parameterName, QStringLiteral("keep"));
        // CompactPDO gives the predefined set its identifiers; a fifth PDO has none and is off.
        const auto compact = edsFromLines("[DeviceInfo]|NrOfRXPDO=5|CompactPDO=0x01");
        QCOMPARE(compact->pdoCobId(0x1403), qMakePair(qint32(1), quint32(0x500)));
        QCOMPARE(compact->pdoCobId(0x1404), qMakePair(qint32(0), quint32(0x80000000)));
        // 1001 has no sub-entries and counts as its own sub-index 0; 2000 and 6200 got one when merged. The PDO and
        // mapping lists are read through the PDOs a slave is offered and maps by default.
        QStringList mappable;
        for (const EdsEntry &entry : m_device->mappableEntries())
            mappable << QStringLiteral("%1:%2").arg(entry.index, 0, 16).arg(entry.subIndex);
        QCOMPARE(mappable, (QStringList{"1001:0", "2000:0", "5100:1", "5100:2", "5100:3", "5100:4", "6000:1", "6000:2", "6200:0"}));
    }
};

QTEST_APPLESS_MAIN(tst_EdsReader)
#include "tst_edsreader.moc"