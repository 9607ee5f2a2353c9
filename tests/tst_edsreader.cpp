// File handling, line grammar, dispatch and diagnostics of the EDS reader.
#include "edstesting.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

bool sameObjects(const EdsFile &a, const EdsFile &b)
{
    if (a.objects.size() != b.objects.size())
        return false;
    for (int i = 0; i < a.objects.size(); ++i) {
        if (!(a.objects.at(i).entry == b.objects.at(i).entry) || a.objects.at(i).subEntries != b.objects.at(i).subEntries)
            return false;
    }
    return true;
}

QByteArray fileData(const char *name)
{
    QFile file(testDataPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_EdsReader : public QObject
{
    Q_OBJECT

private slots:
    void diagnostics_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("expected");
        const struct {
            const char *name, *text;
            QStringList expected;
        } rows[] = {
            {"line before any section", "stray=1|[1000]|", {"1:Unknown line"}},
            {"unknown section skips its lines", "[Tools]|Editor=x|Other=y|[1000]|ParameterName=a",
             {"1:Unknown section Tools", "2:Unknown line", "3:Unknown line"}},
            {"line without equals", "[1000]|ParameterName=a|garbage", {"3:grammer error", "3:Unknown token: "}},
            {"unknown token", "[1000]|Colour=x", {"2:Unknown token: Colour"}},
            {"head with trailing comment is no head", "[1000]|ParameterName=a|[1001] ; next|ParameterName=b",
             {"3:grammer error", "3:Unknown token: "}},
            {"bad index in object section", "[1000Sub]|ParameterName=x", {"1:Unknown section 1000Sub", "2:Unknown line"}},
            {"file info key", "[FileInfo]|Editor=x", {"2:Unknown lineName: Editor"}},
            {"device info key", "[DeviceInfo]|Vendor=x", {"2:Unknown name"}},
            {"dummy usage key", "[DummyUsage]|Dummy0008=1", {"2:Unknown entry"}},
            {"name section key", "[2000Name]|NrOfEntries=1|first=x", {"3:Unknown entry in name section"}},
            {"sub-index without object", "[2a0fsub1]|ParameterName=x|[1000]|ParameterName=y", {"0:Unused section,index:2a0f"}},
            {"promised PDO objects missing", "[DeviceInfo]|NrOfRXPDO=1|NrOfTXPDO=1|[1400]|ParameterName=x",
             {"0:Object 1600 not found", "0:Object 1800 not found", "0:Object 1a00 not found"}},
            {"compactSubObj with SubNumber", "[1003]|SubNumber=2|CompactSubObj=3",
             {"0:compactSubObj and subNumber conflicted,index:1003"}},
            {"compactSubObj with sub-indexes", "[1003]|CompactSubObj=3|[1003sub1]|ParameterName=x",
             {"0:compactSubObj and subObject conflicted,index:1003"}},
            {"compactSubObj in application range is expanded", "[2abc]|CompactSubObj=3", {}},
            {"INTEGER24 default must be a number, REAL64 need not",
             "[2000]|DataType=0x10|DefaultValue=abc|[2001]|DataType=0x11|DefaultValue=1.5",
             {"3:Not a number: DefaultValue=abc"}},
            {"comments", "[Comments]|Lines=2|Line1=a|Line1=b|Line3=c|Line4 = d|Lines=1",
             {"4:Duplicate lines", "6:Unknown lines", "7:Duplicate of entry \"Lines\"",
              "1:Entry line 2 in section comment not found", "1:Unused entry line3"}},
            {"dynamic channels",
             "[DynamicChannels]|NrOfSeg=3|Type1=x|Dir1=rw|Range1=5|Range2=1-x|PPOffset2=a,b|PPOffset3=q|MaxCnt3=z|Type08=1|Dir4=RO|Size1=2",
             {"3:Channel data type error", "4:Channel data type error: rw", "5:Channel range error", "6:Channel range error",
              "7:Offset error", "7:bit error", "8:Offset error", "9:Maxcnt data error", "10:Read line seg error",
              "12:Unknown line", "1:Unused seg: 4, in section Channels"}},
            {"dynamic channels missing segment", "[DynamicChannels]|NrOfSeg=3|Type2=1", {"1:Seg 1 not found", "1:Seg 3 not found"}},
            {"object list", "[MandatoryObjects]|SupportedObjects=3|1=0x1000|2=0x1001|4=0x1018|x=0x1|5=y|SupportedObjects=many",
             {"6:Line data error: x=0x1", "7:Line data error: 5=y", "8:SupportedObjects data error many",
              "1:Entry \"3\" in section [MandatoryObjects] not found", "1:Unused entry \"4\" in section [MandatoryObjects]"}},
            {"object list without count", "[OptionalObjects]|1=0x1400|2=0x1800",
             {"1:Unused entry \"1\" in section [OptionalObjects]", "1:Unused entry \"2\" in section [OptionalObjects]"}},
            {"manufacturer list", "[ManufacturerObjects]|SupportedObjects=1",
             {"1:Entry \"1\" in section [ManufacturerObjects] not found"}},
            {"clean file", "; only a comment|[1000]|ParameterName=x|;[1001]|", {}},
        };
        for (const auto &row : rows)
            QTest::newRow(row.name) << QByteArray(row.text) << row.expected;
    }
    void diagnostics()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, expected);
        const auto eds = edsFromLines(text.constData());
        QCOMPARE(diagnosticLines(*eds), expected);
        QCOMPARE(eds->diagnosticCount, expected.size());
    }

    void dispatch_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QString>("handler");
        const char *rows[][2] = {
            {"[DeviceInfo]", "device"}, {"[DEVICEINFO]", "device"}, {"[deviceinfo]", "device"},
            {"[ DeviceInfo ]", "device"}, {"   [DeviceInfo]  ", "device"}, {"[FILEINFO]", "file"},
            {"[2000]", "object"}, {"[2abc]", "object"}, {"[ 2000 ]", "object"}, {"[2000sub1]", "sub"},
            {"[2000SUB1]", "sub"}, {"[2000sub1f]", "sub"}, {"[2000sub100]", "none"}, {"[20000]", "none"},
            {"[200]", "none"}, {"[2000name]", "name"}, {"[2000OBJECTLINKS]", "links"}, {"[2000Value]", "none"},
            {"[2000", "none"},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QByteArray(row[0]) << QString::fromLatin1(row[1]);
    }
    void dispatch()
    {
        QFETCH(QByteArray, head);
        // One body that each handler takes differently: the effect tells which one ran.
        const auto eds = loadEdsFromData(head + "\nProductName=P\nFileName=F\nParameterName=N\n1=Named\nNrOfEntries=1\n");
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
        QTEST(ran, "handler");
    }

    void lineGrammar()
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

    void byteOrderMarks_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray plain("[DeviceInfo]\r\nProductName=M\xc3\xbcller\r\n[1000]\r\nDefaultValue=0x191\r\n");
        QTest::newRow("none") << plain;
        QTest::newRow("UTF-8") << QByteArray("\xEF\xBB\xBF") + plain;
        const QString text = QString::fromUtf8(plain);
        QTest::newRow("UTF-16LE") << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    }
    void byteOrderMarks()
    {
        QFETCH(QByteArray, data);
        const auto eds = loadEdsFromData(data);
        QVERIFY(eds->diagnostics.isEmpty());
        QCOMPARE(eds->deviceType(), 0x191u);
        // The rest of the name depends on the system's 8-bit encoding, its start does not.
        QVERIFY(eds->productName().startsWith(QLatin1String("M")));
        QCOMPARE(eds->objects.size(), 1);
    }

    void diagnosticRecords()
    {
        const auto eds = edsFromLines("[DeviceInfo]|Bogus=1|[2000]|Bogus=2|[3000sub1]|");
        QStringList where;
        for (const EdsDiagnostic &diagnostic : eds->diagnostics)
            where << diagnostic.section + QLatin1Char('@') + QString::number(diagnostic.line);
        // Raised once reading is over: no line and no section.
        QCOMPARE(where, (QStringList{"DeviceInfo@2", "2000@4", "@0"}));
    }

    // Each way a path can fail to be a regular file of a sensible size.
    void refusesPaths_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"missing", "fifo", "over 64 MiB"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void refusesPaths()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.eds"));
        QFile file(path);
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("over 64 MiB")) {
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[1000]\n") > 0);
            QVERIFY(file.resize(maxEdsFileSize + 1)); // sparse, costs no disk
        }
        QVERIFY(!loadEds(path));
    }

    void keptDiagnosticsAreCapped()
    {
        const auto eds = loadEdsFromData(QByteArray("nonsense\n").repeated(maxKeptDiagnostics + 500));
        QCOMPARE(eds->diagnostics.size(), maxKeptDiagnostics);
        QCOMPARE(eds->diagnosticCount, maxKeptDiagnostics + 500);
        QCOMPARE(eds->diagnostics.constLast().line, maxKeptDiagnostics);
    }

    void sectionOrderDoesNotMatter()
    {
        // The same sections in reverse order, from memory, describe the device as its file does.
        const QByteArray text = fileData("eds-device.eds");
        QList<QByteArray> sections;
        for (const QByteArray &part : text.split('['))
            sections.prepend('[' + part);
        sections.removeLast(); // the comment before the first head
        const auto forward = loadEds(testDataPath("eds-device.eds"));
        const auto reversed = loadEdsFromData(sections.join());
        QVERIFY(forward && sameObjects(*forward, *reversed));
        QCOMPARE(reversed->nameSections.size(), forward->nameSections.size());
        QCOMPARE(reversed->mandatoryObjects.entries, forward->mandatoryObjects.entries);

        // Out of order and repeated: the later section replaces the earlier whole, as if inserted in place.
        const auto mixed = edsFromLines("[3000]|ParameterName=late|DataType=7|[2000sub2]|ParameterName=b|DataType=7|"
                                        "[2000]|ParameterName=obj|[1000sub1]|ParameterName=x|[2000sub1]|ParameterName=a|"
                                        "[2000sub2]|ParameterName=B|[1000]|[3000]|ParameterName=later|[1000]|ParameterName=first");
        QStringList objects;
        for (const EdsObject &object : mixed->objects) {
            QString line = QStringLiteral("%1 %2/%3:").arg(object.entry.index, 0, 16).arg(object.entry.parameterName).arg(object.entry.dataType);
            for (const EdsEntry &sub : object.subEntries)
                line += QStringLiteral(" %1 %2/%3").arg(sub.subIndex).arg(sub.parameterName).arg(sub.dataType);
            objects << line;
        }
        QCOMPARE(objects, (QStringList{"1000 first/0: 1 x/0", "2000 obj/0: 1 a/0 2 B/0", "3000 later/0: 0 later/0"}));
    }
};

QTEST_APPLESS_MAIN(tst_EdsReader)
#include "tst_edsreader.moc"
