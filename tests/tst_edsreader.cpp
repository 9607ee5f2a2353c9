// File handling, line grammar, dispatch and diagnostics of the EDS reader.
#include "edstesting.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class tst_EdsReader : public QObject
{
    Q_OBJECT

private slots:
    void diagnostics_data();
    void diagnostics();
    void dispatch_data();
    void dispatch();
    void lineGrammar();
    void byteOrderMarks_data();
    void byteOrderMarks();
    void diagnosticRecords();
    void loadsFixtureFromPath();
    void refusesPaths_data();
    void refusesPaths();
    void hostileContent_data();
    void hostileContent();
    void keptDiagnosticsAreCapped();
    void sectionOrderDoesNotMatter();
};

void tst_EdsReader::diagnostics_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("line before any section") << QByteArray("stray=1|[1000]|")
                                             << QStringList{"1:Unknown line"};
    QTest::newRow("unknown section skips its lines")
        << QByteArray("[Tools]|Editor=x|Other=y|[1000]|ParameterName=a")
        << QStringList{"1:Unknown section Tools", "2:Unknown line", "3:Unknown line"};
    QTest::newRow("line without equals")
        << QByteArray("[1000]|ParameterName=a|garbage")
        << QStringList{"3:grammer error", "3:Unknown token: "};
    QTest::newRow("unknown token") << QByteArray("[1000]|Colour=x") << QStringList{"2:Unknown token: Colour"};
    QTest::newRow("head with trailing comment is no head")
        << QByteArray("[1000]|ParameterName=a|[1001] ; next|ParameterName=b")
        << QStringList{"3:grammer error", "3:Unknown token: "};
    QTest::newRow("bad index in object section")
        << QByteArray("[1000Sub]|ParameterName=x")
        << QStringList{"1:Unknown section 1000Sub", "2:Unknown line"};
    QTest::newRow("file info key") << QByteArray("[FileInfo]|Editor=x") << QStringList{"2:Unknown lineName: Editor"};
    QTest::newRow("device info key") << QByteArray("[DeviceInfo]|Vendor=x") << QStringList{"2:Unknown name"};
    QTest::newRow("dummy usage key") << QByteArray("[DummyUsage]|Dummy0008=1") << QStringList{"2:Unknown entry"};
    QTest::newRow("name section key")
        << QByteArray("[2000Name]|NrOfEntries=1|first=x") << QStringList{"3:Unknown entry in name section"};
    QTest::newRow("sub-index without object")
        << QByteArray("[2001sub1]|ParameterName=x|[1000]|ParameterName=y") << QStringList{"0:Unused section,index:2001"};
    QTest::newRow("promised PDO objects missing")
        << QByteArray("[DeviceInfo]|NrOfRXPDO=1|NrOfTXPDO=1|[1400]|ParameterName=x")
        << QStringList{"0:Object 1600 not found", "0:Object 1800 not found", "0:Object 1a00 not found"};
    QTest::newRow("compactSubObj with SubNumber")
        << QByteArray("[1003]|SubNumber=2|CompactSubObj=3") << QStringList{"0:compactSubObj and subNumber conflicted,index:1003"};
    QTest::newRow("compactSubObj with sub-indexes")
        << QByteArray("[1003]|CompactSubObj=3|[1003sub1]|ParameterName=x")
        << QStringList{"0:compactSubObj and subObject conflicted,index:1003"};
    QTest::newRow("compactSubObj in application range is expanded") << QByteArray("[2abc]|CompactSubObj=3") << QStringList{};
    QTest::newRow("comments")
        << QByteArray("[Comments]|Lines=2|Line1=a|Line1=b|Line3=c|Line4 = d|Lines=1")
        << QStringList{"4:Duplicate lines", "6:Unknown lines", "7:Duplicate of entry \"Lines\"",
                       "1:Entry line 2 in section comment not found", "1:Unused entry line3"};
    QTest::newRow("dynamic channels")
        << QByteArray("[DynamicChannels]|NrOfSeg=3|Type1=x|Dir1=rw|Range1=5|Range2=1-x|PPOffset2=a,b|PPOffset3=q|MaxCnt3=z|Type08=1|Dir4=RO|Size1=2")
        << QStringList{"3:Channel data type error", "4:Channel data type error: rw", "5:Channel range error",
                       "6:Channel range error", "7:Offset error", "7:bit error", "8:Offset error",
                       "9:Maxcnt data error", "10:Read line seg error", "12:Unknown line",
                       "1:Unused seg: 4, in section Channels"};
    QTest::newRow("dynamic channels missing segment")
        << QByteArray("[DynamicChannels]|NrOfSeg=3|Type2=1") << QStringList{"1:Seg 1 not found", "1:Seg 3 not found"};
    QTest::newRow("object list")
        << QByteArray("[MandatoryObjects]|SupportedObjects=3|1=0x1000|2=0x1001|4=0x1018|x=0x1|5=y|SupportedObjects=many")
        << QStringList{"6:Line data error: x=0x1", "7:Line data error: 5=y", "8:SupportedObjects data error many",
                       "1:Entry \"3\" in section [MandatoryObjects] not found",
                       "1:Unused entry \"4\" in section [MandatoryObjects]"};
    QTest::newRow("object list without count")
        << QByteArray("[OptionalObjects]|1=0x1400|2=0x1800")
        << QStringList{"1:Unused entry \"1\" in section [OptionalObjects]", "1:Unused entry \"2\" in section [OptionalObjects]"};
    QTest::newRow("manufacturer list")
        << QByteArray("[ManufacturerObjects]|SupportedObjects=1")
        << QStringList{"1:Entry \"1\" in section [ManufacturerObjects] not found"};
    QTest::newRow("clean file") << QByteArray("; only a comment|[1000]|ParameterName=x|;[1001]|") << QStringList{};
}

void tst_EdsReader::diagnostics()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, expected);
    const auto eds = edsFromLines(text.constData());
    QCOMPARE(diagnosticLines(*eds), expected);
    QCOMPARE(eds->diagnosticCount, expected.size());
}

void tst_EdsReader::dispatch_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QString>("handler");

    QTest::newRow("DeviceInfo") << QByteArray("[DeviceInfo]") << "device";
    QTest::newRow("upper case") << QByteArray("[DEVICEINFO]") << "device";
    QTest::newRow("lower case") << QByteArray("[deviceinfo]") << "device";
    QTest::newRow("blanks inside") << QByteArray("[ DeviceInfo ]") << "device";
    QTest::newRow("blanks around") << QByteArray("   [DeviceInfo]  ") << "device";
    QTest::newRow("FileInfo") << QByteArray("[FILEINFO]") << "file";
    QTest::newRow("object") << QByteArray("[2000]") << "object";
    QTest::newRow("object lower hex") << QByteArray("[2abc]") << "object";
    QTest::newRow("object with blanks") << QByteArray("[ 2000 ]") << "object";
    QTest::newRow("sub-index") << QByteArray("[2000sub1]") << "sub";
    QTest::newRow("sub-index upper") << QByteArray("[2000SUB1]") << "sub";
    QTest::newRow("sub-index two digits") << QByteArray("[2000sub1f]") << "sub";
    QTest::newRow("sub-index three digits") << QByteArray("[2000sub100]") << "none";
    QTest::newRow("five-digit index") << QByteArray("[20000]") << "none";
    QTest::newRow("three-digit index") << QByteArray("[200]") << "none";
    QTest::newRow("name") << QByteArray("[2000name]") << "name";
    QTest::newRow("object links") << QByteArray("[2000OBJECTLINKS]") << "links";
    QTest::newRow("object value is unknown") << QByteArray("[2000Value]") << "none";
    QTest::newRow("not bracketed at end") << QByteArray("[2000") << "none";
}

void tst_EdsReader::dispatch()
{
    QFETCH(QByteArray, head);
    QFETCH(QString, handler);
    // One body that each handler takes differently: the effect tells which one ran.
    QByteArray text = head + "\nProductName=P\nFileName=F\nParameterName=N\n1=Named\nNrOfEntries=1\n";
    const auto eds = loadEdsFromData(text);
    EdsEntry entry;
    QString name;
    QString ran = QStringLiteral("none");
    if (eds->deviceInfo.productName == QLatin1String("P"))
        ran = QStringLiteral("device");
    else if (eds->fileInfo.fileName == QLatin1String("F"))
        ran = QStringLiteral("file");
    else if (eds->findEntry(0x2000, 1, entry) == 0 && entry.parameterName == QLatin1String("N"))
        ran = QStringLiteral("sub");
    else if (eds->findEntry(0x2abc, -1, entry) == 0 || eds->findEntry(0x2000, -1, entry) == 0)
        ran = QStringLiteral("object");
    else if (eds->findEntry(0x2000, 0x1f, entry) == 0)
        ran = QStringLiteral("sub");
    else if (eds->nameOf(0x2000, 1, name))
        ran = QStringLiteral("name");
    else if (eds->diagnostics.isEmpty())
        ran = QStringLiteral("links"); // lines read and dropped without complaint
    QCOMPARE(ran, handler);
}

void tst_EdsReader::lineGrammar()
{
    const auto eds = edsFromLines("[2000]|  ParameterName =  a=b ; not a comment  |;DataType=7|  ;AccessType=wo|"
                                  "DefaultValue\t=\t12|[2000sub1]||ParameterName=x");
    EdsEntry entry;
    QCOMPARE(eds->findEntry(0x2000, -1, entry), 0);
    QCOMPARE(entry.parameterName, QStringLiteral("a=b ; not a comment"));
    QCOMPARE(entry.dataType, quint8(0));
    QCOMPARE(entry.accessType, QStringLiteral("RO"));
    QCOMPARE(entry.defaultValue, 12u);
    QVERIFY(eds->diagnostics.isEmpty());
}

void tst_EdsReader::byteOrderMarks_data()
{
    QTest::addColumn<QByteArray>("data");

    const QByteArray plain("[DeviceInfo]\r\nProductName=M\xc3\xbcller\r\n[1000]\r\nDefaultValue=0x191\r\n");
    QTest::newRow("none") << plain;
    QTest::newRow("UTF-8") << QByteArray("\xEF\xBB\xBF") + plain;
    const QString text = QString::fromUtf8(plain);
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    QTest::newRow("UTF-16LE") << utf16;
}

void tst_EdsReader::byteOrderMarks()
{
    QFETCH(QByteArray, data);
    const auto eds = loadEdsFromData(data);
    QVERIFY(eds->diagnostics.isEmpty());
    QCOMPARE(eds->deviceType(), 0x191u);
    // The rest of the name depends on the system's 8-bit encoding, its start does not.
    QVERIFY(eds->productName().startsWith(QLatin1String("M")));
    QCOMPARE(eds->objects.size(), 1);
}

void tst_EdsReader::diagnosticRecords()
{
    const auto eds = edsFromLines("[DeviceInfo]|Bogus=1|[2000]|Bogus=2|[3000sub1]|");
    QCOMPARE(eds->diagnostics.size(), 3);
    QCOMPARE(eds->diagnostics.at(0).section, QStringLiteral("DeviceInfo"));
    QCOMPARE(eds->diagnostics.at(1).section, QStringLiteral("2000"));
    QCOMPARE(eds->diagnostics.at(1).line, 4);
    // Raised once reading is over: no line and no section.
    QCOMPARE(eds->diagnostics.at(2).text, QStringLiteral("Unused section,index:3000"));
    QCOMPARE(eds->diagnostics.at(2).line, 0);
    QVERIFY(eds->diagnostics.at(2).section.isEmpty());
}

void tst_EdsReader::loadsFixtureFromPath()
{
    const auto eds = loadEds(testDataPath("eds-device.eds"));
    QVERIFY(eds);
    QCOMPARE(diagnosticLines(*eds), QStringList());
    QFile file(testDataPath("eds-device.eds"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto fromMemory = loadEdsFromData(file.readAll());
    QCOMPARE(eds->objects.size(), fromMemory->objects.size());
    for (int i = 0; i < eds->objects.size(); ++i) {
        QCOMPARE(eds->objects.at(i).entry, fromMemory->objects.at(i).entry);
        QCOMPARE(eds->objects.at(i).subEntries, fromMemory->objects.at(i).subEntries);
    }

    const auto crlf = loadEds(testDataPath("eds-crlf.eds"));
    QVERIFY(crlf);
    EdsEntry entry;
    QCOMPARE(crlf->findEntry(0x1000, -1, entry), 0);
    QCOMPARE(entry.parameterName, QStringLiteral("Device type"));
    QCOMPARE(crlf->findEntry(0x1018, 1, entry), 0);
    QCOMPARE(entry.defaultValue, 7u);
}

void tst_EdsReader::refusesPaths_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("directory") << "directory";
    QTest::newRow("fifo") << "fifo";
    QTest::newRow("device") << "device";
    QTest::newRow("over 64 MiB") << "large";
    QTest::newRow("unreadable") << "unreadable";
}

void tst_EdsReader::refusesPaths()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath(QStringLiteral("x.eds"));
    if (kind == QLatin1String("directory")) {
        path = dir.path();
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("device")) {
        path = QStringLiteral("/dev/zero");
    } else if (kind == QLatin1String("large")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("[1000]\n") > 0);
        QVERIFY(file.resize(maxEdsFileSize + 1)); // sparse, costs no disk
    } else if (kind == QLatin1String("unreadable")) {
        if (::geteuid() == 0)
            QSKIP("root reads every file");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
    }
    QVERIFY(!loadEds(path));
}

void tst_EdsReader::hostileContent_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("objects");

    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary.append(char((i * 7919) % 256));
    QTest::newRow("binary") << binary << -1;
    QTest::newRow("NUL bytes") << QByteArray("[1000]\0\nParameterName=a\0b\n[\0]\n", 30) << -1;
    QTest::newRow("invalid UTF-8") << QByteArray("[1000]\nParameterName=\xff\xfe\xc3\n[10\xc3\x28]\n") << 1;
    QByteArray longLine("[2000]\nParameterName=");
    longLine.append(QByteArray(10 * 1000 * 1000, 'x'));
    QTest::newRow("ten million characters") << longLine << 1;
    QByteArray same;
    for (int i = 0; i < 5000; ++i)
        same.append("[2000]\nParameterName=n" + QByteArray::number(i) + "\n[2000sub1]\n");
    QTest::newRow("thousands of sections of one index") << same << 1;
    QByteArray heads;
    for (int i = 0; i < 20000; ++i)
        heads.append("[" + QByteArray::number(0x2000 + (i * 7) % 4096, 16) + "]\n");
    QTest::newRow("sections without keys") << heads << 4096;
    QByteArray keys;
    for (int i = 0; i < 20000; ++i)
        keys.append("Key" + QByteArray::number(i) + "=1\n");
    QTest::newRow("keys without sections") << keys << 0;
    QTest::newRow("only brackets") << QByteArray("[]\n[[]]\n[\n]\n") << 0;
    QTest::newRow("huge counts")
        << QByteArray("[DynamicChannels]\nNrOfSeg=2147483647\n[Comments]\nLines=0x7FFFFFFF\n"
                      "[MandatoryObjects]\nSupportedObjects=2147483647\n[2000Name]\nNrOfEntries=-5\n1=x\n")
        << 0;
}

void tst_EdsReader::hostileContent()
{
    QFETCH(QByteArray, data);
    QFETCH(int, objects);
    const auto eds = loadEdsFromData(data);
    QVERIFY(eds);
    if (objects >= 0)
        QCOMPARE(eds->objects.size(), objects);
    QVERIFY(eds->diagnostics.size() <= maxKeptDiagnostics);
    QVERIFY(eds->diagnosticCount >= eds->diagnostics.size());
}

void tst_EdsReader::keptDiagnosticsAreCapped()
{
    QByteArray lines;
    for (int i = 0; i < maxKeptDiagnostics + 500; ++i)
        lines.append("nonsense\n");
    const auto eds = loadEdsFromData(lines);
    QCOMPARE(eds->diagnostics.size(), maxKeptDiagnostics);
    QCOMPARE(eds->diagnosticCount, maxKeptDiagnostics + 500);
    QCOMPARE(eds->diagnostics.constLast().line, maxKeptDiagnostics);
}

void tst_EdsReader::sectionOrderDoesNotMatter()
{
    // The same sections in reverse order describe the same device.
    QFile file(testDataPath("eds-device.eds"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QList<QByteArray> sections;
    for (const QByteArray &part : text.split('['))
        sections.prepend('[' + part);
    sections.removeLast(); // the comment before the first head
    const auto forward = loadEdsFromData(text);
    const auto reversed = loadEdsFromData(sections.join());
    QCOMPARE(reversed->objects.size(), forward->objects.size());
    for (int i = 0; i < forward->objects.size(); ++i) {
        QCOMPARE(reversed->objects.at(i).entry, forward->objects.at(i).entry);
        QCOMPARE(reversed->objects.at(i).subEntries, forward->objects.at(i).subEntries);
    }
    QCOMPARE(reversed->nameSections.size(), forward->nameSections.size());
    QCOMPARE(reversed->mandatoryObjects.entries, forward->mandatoryObjects.entries);

    // Out of order and repeated: the later section wins, as if inserted in place.
    const auto mixed = edsFromLines("[3000]|ParameterName=late|[2000sub2]|ParameterName=b|[2000]|ParameterName=obj|"
                                    "[1000sub1]|ParameterName=x|[2000sub1]|ParameterName=a|[2000sub2]|ParameterName=B|"
                                    "[1000]|[3000]|ParameterName=later|[1000]|ParameterName=first");
    QCOMPARE(mixed->objects.size(), 3);
    QCOMPARE(mixed->objects.at(0).entry.parameterName, QStringLiteral("first"));
    QCOMPARE(mixed->objects.at(2).entry.parameterName, QStringLiteral("later"));
    const QList<EdsEntry> &subs = mixed->objects.at(1).subEntries;
    QCOMPARE(subs.size(), 2);
    QCOMPARE(subs.at(0).parameterName, QStringLiteral("a"));
    QCOMPARE(subs.at(1).parameterName, QStringLiteral("B"));
    QCOMPARE(mixed->objects.at(0).subEntries.size(), 1);
}

QTEST_APPLESS_MAIN(tst_EdsReader)
#include "tst_edsreader.moc"
