// The built plug-in as a host loads it, and canslave-host's commands as a user
// runs them: what each refuses, prints and exits with. What the plug-in makes of a
// slave is the other suites' business.
#include "hostrun.h"

#include "eds/edsfile.h"
#include "persist/projectstream.h"
#include "model/canobject.h"
#include "plugin/canslave.h"

#include <QImage>
#include <QtTest>

#include <unistd.h>

namespace {

const QString example = QStringLiteral(CANSLAVE_EXAMPLES "/io-module.eds");
const QString findings = QStringLiteral(CANSLAVE_TEST_DATA "/check-findings.eds");
const QString notes = QStringLiteral(CANSLAVE_TEST_DATA "/check-notes.dcf");

// Without a display, which only configure's dialog needs, nor a runtime folder,
// which the host provides so that Qt does not warn.
HostRun run(const QStringList &arguments)
{
    return runHost(arguments, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"});
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The lines a file beside the fixtures says a command prints; those of check name their file relative to them.
QStringList expectedLines(const char *name, const QString &before = QStringLiteral(CANSLAVE_TEST_DATA "/"))
{
    QStringList lines;
    for (const QString &line : QString::fromUtf8(readAll(QStringLiteral(CANSLAVE_TEST_DATA "/") + QLatin1String(name))).split('\n')) {
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            lines << before + line;
    }
    return lines;
}

} // namespace

class tst_HostCommands : public QObject
{
    Q_OBJECT
private slots:
    void exportsExactlyTheInterface()
    {
        QProcess nm;
        nm.start(QStringLiteral("nm"), {"-D", "--defined-only", "--format=just-symbols", CANSLAVE_PLUGIN_PATH});
        QVERIFY(nm.waitForFinished(30000) && nm.exitCode() == 0);
        QStringList defined = QString::fromLatin1(nm.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QStringList interface;
        for (const char *name : canslave::exportNames)
            interface.append(QString::fromLatin1(name));
        QCOMPARE(QSet<QString>(defined.begin(), defined.end()), QSet<QString>(interface.begin(), interface.end()));
    }

    void nullHandles()
    {
        QLibrary library(QStringLiteral(CANSLAVE_PLUGIN_PATH));
        QVERIFY2(library.load(), qPrintable(library.errorString()));
#define FROM_PLUGIN(name) reinterpret_cast<decltype(&::name)>(library.resolve(#name))
        QVERIFY(FROM_PLUGIN(getNodeId)(nullptr) == -1 && FROM_PLUGIN(getPosition)(nullptr) == QPoint(0, 0));
        QVERIFY(FROM_PLUGIN(getName)(nullptr).isEmpty() && FROM_PLUGIN(getEdsFileName)(nullptr).isEmpty());
        QVERIFY(!FROM_PLUGIN(setNodeId)(nullptr, 5));
        FROM_PLUGIN(setPosition)(nullptr, QPoint(1, 2));
        FROM_PLUGIN(releaseObject)(nullptr);
        QList<MappingSymbol> symbols;
        FROM_PLUGIN(getMappingSym)(nullptr, &symbols);
        QVERIFY(symbols.isEmpty());
        QVERIFY(!FROM_PLUGIN(recompile)(QByteArray(), QStringLiteral("st"), nullptr));
        QByteArray block("old");
        CompileList list{&block};
        QVERIFY(FROM_PLUGIN(compile)(nullptr, block, list) == -1 && block.isEmpty() && list.isEmpty());
        // Kind 0, (pad), flags 0, one input, one output; the padding is not compared.
        for (const CanMapInfo &info : {FROM_PLUGIN(getInMap)(nullptr), FROM_PLUGIN(getOutMap)(nullptr)}) {
            QCOMPARE(int(info.kind), 0);
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(&info), sizeof info).mid(2, 5), QByteArray::fromHex("0000000101"));
        }
#undef FROM_PLUGIN
    }

    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("texts"); // failed: in the one line on stderr; else whole lines on stdout
        const auto refused = [](const char *name, const QStringList &arguments, const char *said, int status = 2) {
            QTest::newRow(name) << arguments << status << QStringList{said};
        };
        refused("node 0", {"show", example, "--node", "0"}, "--node 0: a node id");
        refused("node 128", {"show", example, "--node", "128"}, "--node 128");
        refused("node as text", {"compile", example, "--node", "5x", "-o", "x"}, "--node 5x");
        refused("node without value", {"show", example, "--node"}, "--node needs a value");
        refused("node range past 127", {"configure", example, "--nodes", "1-200"}, "--nodes 1-200");
        refused("node range backwards after a node", {"configure", example, "--nodes", "1,9-3"}, "--nodes 1,9-3");
        refused("node range of three ends", {"configure", example, "--nodes", "1-2-3"}, "--nodes 1-2-3");
        refused("no EDS", {"show"}, "no EDS given (usage: canslave-host show EDS [--node N]");
        refused("missing EDS", {"check", notes, "no-such.eds"}, "no-such.eds: no such file");
        refused("folder as EDS", {"check", CANSLAVE_TEST_DATA}, "is a folder");
        refused("a device as EDS", {"check", "/dev/null"}, "/dev/null: cannot be read as an EDS file (not a regular file, or over 64 MiB)");
        refused("two EDS", {"show", example, example}, "unexpected argument");
        refused("unknown option", {"restore", example, "--node", "3"}, "unknown option --node");
        refused("a dash alone names a file", {"show", "-"}, "-: no such file");
        refused("output required", {"compile", example}, "-o FILE is required");
        refused("output folder missing", {"save", example, "-o", "/no/such/dir/x"}, "does not exist");
        refused("creator version text", {"restore", example, "--creator-version", "2a"}, "not a number");
        refused("creator version negative", {"restore", example, "--creator-version", "-1"}, "not a number");
        refused("option twice", {"show", example, "--node", "3", "--node", "4"}, "--node is given twice");
        refused("blank station", {"show", example, "--station", " "}, "--station  : must not be empty");
        refused("unknown command", {"shw", example}, "unknown command 'shw'");
        refused("no display", {"configure", example}, "--screenshot DIR renders it without one");
        // The arguments are looked at before the display.
        refused("bad node list, no display", {"configure", example, "--nodes", "0-9"}, "--nodes 0-9");
        refused("a range of one node, no display", {"configure", example, "--nodes", "5-5"}, "--screenshot DIR renders it without one");
        refused("screenshot into a file", {"configure", example, "--screenshot", example}, "not a folder");
        refused("unknown language", {"configure", example, "--lang", "de"}, "not a language (zh_CN or en)");
        refused("a plug-in that does not load", {"--plugin", example, "exports"}, "cannot load the plug-in");
        refused("a plug-in without the exports", {"--plugin", NO_EXPORTS_LIBRARY, "show", example}, "lacks the export compile", 1);

        QTest::newRow("check") << QStringList{"check", findings, notes} << 0 << expectedLines("check-findings.expected");
        QTest::newRow("check mapping, identity, DCF") << QStringList{"check", CANSLAVE_TEST_DATA "/check-mapping.dcf"} << 0
                                                      << expectedLines("check-mapping.expected");
        QTest::newRow("check strict, a warning") << QStringList{"check", notes, "--strict", CANSLAVE_TEST_DATA "/strict.dcf"} << 1 << QStringList{};
        QTest::newRow("check strict, clean") << QStringList{"check", "--strict", notes} << 0 << QStringList{};
        QTest::newRow("exports") << QStringList{"exports"} << 0
                                 << QStringList{QStringLiteral("%1 exports resolved").arg(std::size(canslave::exportNames))};
        QTest::newRow("show") << QStringList{"show", example, "--node", "5"} << 0 << expectedLines("show-io-module.expected", {});
        QTest::newRow("show words left out") << QStringList{"show", CANSLAVE_TEST_DATA "/slave-defaults.eds", "--node", "1"} << 0
                                             << QStringList{"    Default words left out: 0x20000020 (not mappable)"};
        QTest::newRow("show the block") << QStringList{"show", example, "--node", "127", "--block"} << 0
                                        << QStringList{"  0x0000  01 16 49 4F 2D 4D 6F 64 75 6C 65 20 38 44 49 38"};
    }

    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, texts);
        const HostRun result = run(arguments);
        QTEST(result.status, "status");
        if (result.status != 0 && !texts.isEmpty()) {
            QVERIFY(result.out.isEmpty());
            QCOMPARE(result.err.count(QLatin1Char('\n')), 1);
            QVERIFY2(result.err.contains(texts.first()), qPrintable(result.err));
            return;
        }
        QCOMPARE(result.err, QString());
        const QStringList printed = result.out.split(QLatin1Char('\n'));
        for (const QString &line : qAsConst(texts))
            QVERIFY2(printed.contains(line), qPrintable(line));
        // Every finding points at a real line, and an unknown section's lines are not reported one by one.
        QVERIFY(!result.out.contains(QLatin1String(":0:")) && !result.out.contains(QLatin1String("Unknown line"))
                && !result.out.contains(QLatin1String(": 0 further")));
    }

    void helpPerCommand()
    {
        const HostRun bare = run({}); // no command: the usage, as a wrong argument gets it
        QVERIFY(bare.status == 2 && bare.out.isEmpty() && bare.err.contains(QLatin1String("Usage")));
        for (const char *usage : {"check FILE... [", "exports\n", "show EDS [", "compile EDS [", "configure FILE [", "save EDS [",
                                  "restore STREAM [", "recompile BLOCK ["}) {
            for (const char *flag : {"--help", "-h"}) {
                const HostRun result = run({QString::fromLatin1(usage).section(QLatin1Char(' '), 0, 0).trimmed(), flag});
                QCOMPARE(result.status, 0);
                QVERIFY2(result.out.startsWith(QStringLiteral("Usage: canslave-host ") + QLatin1String(usage)), usage);
                QVERIFY(result.out.contains(QLatin1String("Exit status")) && result.out.contains(QLatin1String("\nOptions:\n")) == (qstrcmp(usage, "exports\n") != 0));
            }
        }
    }

    // The host sets the dialog's language; every language names its images as the README shows them.
    void screenshots()
    {
        QTemporaryDir dir;
        const QStringList names = QDir(QStringLiteral(CANSLAVE_EXAMPLES "/../doc/screenshots")).entryList(QDir::Files);
        QByteArray firstPage[2];
        for (const QString &language : {QStringLiteral("en"), QStringLiteral("zh_CN")}) {
            const HostRun result = run({"configure", example, "--lang", language, "--screenshot", dir.filePath(language)});
            QCOMPARE(result.status, 0);
            QCOMPARE(result.err, QString());
            QCOMPARE(QDir(dir.filePath(language)).entryList(QDir::Files), names);
            const QStringList written = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            for (const QString &path : written)
                QVERIFY2(!QImage(path).isNull(), qPrintable(path));
            firstPage[language != QLatin1String("en")] = readAll(written.first());
        }
        QVERIFY(firstPage[0] != firstPage[1]);
    }

    // A file that cannot be written whole is not written at all: the old one stays, and the host says why.
    void unwritableOutput_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : {"save", "compile"})
            QTest::newRow(command) << command;
    }
    void unwritableOutput()
    {
        QFETCH(QString, command);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("old.bin"));
        QVERIFY(writeAll(file, "old"));
        // The folder takes no new file; root is made to heed that too.
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        const QStringList through = geteuid() == 0 ? QStringList{"setpriv", "--bounding-set=-dac_override,-dac_read_search"}
                                                   : QStringList{};
        const HostRun result = runHost({command, example, "-o", file}, {}, through);
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.startsWith(file + QLatin1String(": ")), qPrintable(result.err));
        QCOMPARE(readAll(file), QByteArray("old"));
    }

    // Without a PDO in use the PDO page opens no sub-dialog: those images are missing, and said so.
    void screenshotsOnlyOfWhatIsShown()
    {
        QTemporaryDir dir;
        const HostRun result = run({"configure", notes, "--screenshot", dir.path()});
        QCOMPARE(result.status, 1);
        for (const char *missing : {"pdo-config-mapping-editor.png", "pdo-config-property.png"}) {
            QVERIFY2(result.err.contains(QLatin1String(missing)), qPrintable(result.err));
            QVERIFY(!QFile::exists(dir.filePath(QLatin1String(missing))));
        }
        QVERIFY(result.out.contains(QLatin1String("sdo-config-new-sdo.png")));
    }

    // The EDS changed after the slave was stored: restore and recompile say what no longer agrees.
    void changedEds_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QByteArray>("changed"); // "[section] key=value" written over; none: the file grows beyond what can be read
        QTest::addColumn<QString>("said");
        QTest::newRow("restore, a type changed") << "save" << "restore" << QByteArray("[6000sub1] DataType=0x0007")
            << "object 0x6000 sub 1 of PDO 0x1800 is stored with data type 0x0005, the EDS now gives 0x0007";
        QTest::newRow("restore, no longer mappable") << "save" << "restore" << QByteArray("[6000sub1] PDOMapping=0")
            << "object 0x6000 sub 1 of PDO 0x1800 is no longer a mappable object of the EDS";
        QTest::newRow("recompile, an output's type grew") << "compile" << "recompile" << QByteArray("[6200sub1] DataType=0x0006")
            << "object 0x6200 sub 1 of PDO 0x1400 is stored with 1 bytes, the EDS now gives it data type 0x0006 of 2 bytes";
        QTest::newRow("recompile, a type shrank: the slave comes back") << "compile" << "recompile" << QByteArray("[6401sub2] DataType=0x0002")
            << "object 0x6401 sub 2 of PDO 0x1801 is stored with 2 bytes, the EDS now gives it data type 0x0002 of 1 bytes";
        QTest::newRow("restore, the EDS unreadable") << "save" << "restore" << QByteArray() << "is there but cannot be read as an EDS";
        QTest::newRow("recompile, the EDS gone") << "compile" << "recompile" << QByteArray("gone")
            << "code 128: the EDS the block names, \"%1\", cannot be loaded";
    }
    void changedEds()
    {
        QFETCH(QString, write);
        QFETCH(QString, read);
        QFETCH(QByteArray, changed);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString eds = dir.filePath(QStringLiteral("io.eds")), file = dir.filePath(QStringLiteral("slave.bin"));
        QVERIFY(QFile::copy(example, eds));
        QCOMPARE(run({write, eds, "-o", file}).status, 0);
        QByteArray text = readAll(eds);
        const QByteArray line = changed.mid(changed.indexOf(' ') + 1);
        const int at = text.indexOf(line.left(line.indexOf('=') + 1), text.indexOf(changed.left(changed.indexOf(' '))));
        QVERIFY(changed == "gone" ? QFile::remove(eds)
                                  : writeAll(eds, text.replace(at, line.size(), line)) && (!changed.isEmpty() || QFile::resize(eds, 65 << 20))); // sparse: no disk
        const HostRun result = run({read, file});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(said.replace(QLatin1String("%1"), eds)), qPrintable(result.err));
    }

    // A stream damaged into what the plug-in could never have made: restore names what it did not take over.
    void restoreRefused_data()
    {
        QTest::addColumn<bool>("direction"); // else the length of the PDO's first object
        QTest::addColumn<QString>("said"); // lines, apart by "|"
        QTest::newRow("direction") << true << "PDO 0x1800 is left out|the stream holds 3 PDOs and 0 SDOs, the restored slave 2 PDOs and 0 SDOs";
        QTest::newRow("object length") << false << "object 0x6000 sub 1 of PDO 0x1800 comes back without its PLC place";
    }
    void restoreRefused()
    {
        QFETCH(bool, direction);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("slave.stream"));
        QCOMPARE(run({"save", example, "-o", file}).status, 0);
        QByteArray stream = readAll(file);
        const int at = stream.indexOf(QByteArray::fromHex("00001800")); // the record's communication index
        QVERIFY(at > 0 && stream.mid(at + 12, 4) == QByteArray::fromHex("00000054"));
        // The object's index and sub-index, its name (length, UTF-16), then its length.
        const int object = stream.indexOf(QByteArray::fromHex("0000600000000001"), at);
        const int lengthAt = object + 12 + stream.mid(object + 8, 4).toHex().toInt(nullptr, 16);
        QVERIFY(object > at && stream.mid(lengthAt, 4) == QByteArray::fromHex("00000001"));
        QVERIFY(writeAll(file, stream.replace(direction ? at + 12 : lengthAt, 4, QByteArray::fromHex(direction ? "00000055" : "00000008"))));
        const HostRun result = run({"restore", file});
        QCOMPARE(result.status, 1);
        for (const QString &part : said.split(QLatin1Char('|')))
            QVERIFY2(result.err.contains(part), qPrintable(result.err));
    }

    // What restore and recompile say when the slave does not come back whole.
    void readBack_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<QString>("read");
        QTest::addColumn<int>("cut"); // bytes taken off the end; negative: appended
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said"); // lines, apart by "|"
        QTest::addColumn<int>("pdos"); // in the printed slave; -1: nothing printed
        QTest::newRow("restore whole") << "save" << "restore --creator-version 2009" << 0 << 0 << "" << 3;
        QTest::newRow("restore cut short") << "save" << "restore" << 300 << 1 << "cut short" << 0;
        QTest::newRow("restore as creator version 0: another layout") << "save" << "restore --creator-version 0" << 0 << 1 << "cut short" << 0;
        QTest::newRow("restore bytes left") << "save" << "restore" << -3 << 1 << "3 bytes after" << 3;
        QTest::newRow("restore a block") << "compile" << "restore" << 0 << 1 << "not a project stream" << -1;
        // A copy restored beside its original, in the same station, finds the original's places taken.
        QTest::newRow("restore a copy") << "save" << "restore --beside SELF" << 0 << 1
                                        << "4 mapped objects could not claim their stored memory place" << 3;
        QTest::newRow("restore a copy, new places") << "save" << "restore --beside SELF --replace" << 0 << 0
                                                    << "0x6200 sub 0x01 of PDO 0x1400: stored place %Q,0 taken, now at %Q,1|"
                                                       "0x6000 sub 0x01 of PDO 0x1800: stored place %I,0 taken, now at %I,5|"
                                                       "0x6401 sub 0x01 of PDO 0x1801: stored place %I,1 taken, now at %I,6|"
                                                       "0x6401 sub 0x02 of PDO 0x1801: stored place %I,3 taken, now at %I,8" << 3;
        QTest::newRow("recompile whole") << "compile" << "recompile" << 0 << 0 << "" << 3;
        QTest::newRow("recompile cut") << "compile" << "recompile" << 1 << 1 << "code 1: the block is cut" << -1;
        QTest::newRow("recompile bytes left") << "compile" << "recompile" << -3 << 1 << "3 bytes after the end of the block" << 3;
    }
    void readBack()
    {
        QFETCH(QString, write);
        QFETCH(QString, read);
        QFETCH(int, cut);
        QFETCH(QString, said);
        QFETCH(int, pdos);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("slave.bin"));
        QCOMPARE(run({write, example, "--node", "9", "-o", file}).status, 0);
        const QByteArray bytes = readAll(file);
        QVERIFY(writeAll(file, cut > 0 ? bytes.left(bytes.size() - cut) : bytes + QByteArray(-cut, '\0')));
        const QStringList options = read.split(QLatin1Char(' '));
        const HostRun result = run(QStringList{options.first(), file, "--json"} + options.mid(1).replaceInStrings("SELF", file));
        QTEST(result.status, "status");
        const QStringList parts = said.split(QLatin1Char('|'), Qt::SkipEmptyParts);
        QVERIFY2(result.err.count(QLatin1Char('\n')) == parts.size(), qPrintable(result.err)); // a line each, nothing else
        for (const QString &part : parts)
            QVERIFY2(result.err.contains(part), qPrintable(result.err));
        const QJsonObject report = QJsonDocument::fromJson(result.out.toUtf8()).object();
        QCOMPARE(report.isEmpty() ? -1 : report["pdos"].toArray().size(), pdos);
        QVERIFY(pdos < 0 || report["device"].toObject()["nodeId"].toInt() == 9);
    }

    // A file of the wrong kind is refused by name, and the command that reads it is named.
    void wrongKindOfFile_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("content"); // empty, binary, text, stream or block
        QTest::addColumn<QString>("said");
        const char *noEds = "holds no EDS content (no [DeviceInfo] section, no object)";
        QTest::newRow("show empty") << "show" << "empty" << noEds;
        QTest::newRow("show binary") << "show" << "binary" << noEds;
        QTest::newRow("compile text") << "compile -o out" << "text" << noEds;
        QTest::newRow("save a stream") << "save -o out" << "stream"
                                       << "this is a project stream, not an EDS; restore and configure read it";
        QTest::newRow("show a block") << "show" << "block" << "this is a configuration block, not an EDS; recompile reads it";
        QTest::newRow("recompile a stream") << "recompile" << "stream"
                                            << "this is a project stream, not a configuration block; restore and "
                                               "configure read it";
        QTest::newRow("restore a block") << "restore" << "block"
                                         << "this is a configuration block, not a project stream; recompile reads it";
        QTest::newRow("configure a block") << "configure --accept" << "block"
                                           << "this is a configuration block, not a project stream";
        QTest::newRow("configure text") << "configure --accept" << "text"
                                        << "holds neither EDS content (no [DeviceInfo] section, no object) nor a project stream";
    }
    void wrongKindOfFile()
    {
        QFETCH(QString, command);
        QFETCH(QString, content);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("input"));
        if (content == QLatin1String("stream") || content == QLatin1String("block")) {
            QCOMPARE(run({content == QLatin1String("stream") ? "save" : "compile", example, "-o", file}).status, 0);
        } else {
            QByteArray bytes = content == QLatin1String("text") ? QByteArray("[Notes]\nhello\n") : QByteArray();
            for (int i = 0; content == QLatin1String("binary") && i < 256; ++i)
                bytes += char(i);
            QVERIFY(writeAll(file, bytes));
        }
        QStringList arguments = command.split(QLatin1Char(' '));
        arguments.insert(1, file);
        arguments.replaceInStrings(QRegularExpression("^out$"), dir.filePath(QStringLiteral("out")));
        const HostRun result = run(arguments);
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(said) && result.err.count(QLatin1Char('\n')) == 1, qPrintable(result.err));
        QVERIFY(result.out.isEmpty() && !QFile::exists(dir.filePath(QStringLiteral("out"))));
    }

    // check shows as many findings of a file as the reader keeps, and counts the rest.
    void findingsPastTheLimit()
    {
        QTemporaryDir dir;
        const QString exact = dir.filePath(QStringLiteral("exact.eds")), over = dir.filePath(QStringLiteral("over.eds"));
        // Besides the unknown keys, one finding each: the identity object is missing.
        QVERIFY(writeAll(exact, "[1000]\n" + QByteArray("Colour=x\n").repeated(maxKeptDiagnostics - 1)));
        QVERIFY(writeAll(over, "[1000]\n" + QByteArray("Colour=x\n").repeated(maxKeptDiagnostics)));
        const HostRun result = run({"check", exact, over});
        QCOMPARE(result.out.count(QLatin1String(": warning: Unknown token")), 2 * maxKeptDiagnostics - 2);
        QVERIFY(result.out.count(QLatin1String("further")) == 1 && result.out.contains(over + QLatin1String(": 1 further findings not shown")));
    }

    // configure keeps every edit of a saved slave through the dialog's OK, and writes nothing without OK.
    void configureRoundTrip()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("first.stream"));
        const QString block = dir.filePath(QStringLiteral("first.block"));
        const QString compiled = dir.filePath(QStringLiteral("compiled.block"));
        HostRun result = run({"configure", example, "--node", "5", "--accept", "-o", first, "--block", block});
        QVERIFY2(result.status == 0 && result.out.contains(QLatin1String("Node ID:                5")) && !result.out.contains(QLatin1String("0x0000 ")),
                 qPrintable(result.err)); // the block goes to its file, not into the report
        QCOMPARE(run({"compile", example, "--node", "5", "-o", compiled}).status, 0);
        QCOMPARE(readAll(block), readAll(compiled));

        // Edits the dialog's pages make, made here so that the test knows them.
        std::unique_ptr<CanObject> edited = restoreProjectStream(readAll(first), QStringLiteral("edit"));
        edited->setNodeId(9);
        edited->name = QStringLiteral("Fan"); // with "DigitalOutputs1-8", the 20 characters a symbol keeps
        edited->monitorTime = 333, edited->skipRevisionCheck = true;
        edited->pdoList.first().transmissionType = 1, edited->pdoList.first().mapList.first().offset = 300; // the map's offset takes 2 bytes
        edited->pdoList.first().mapList.first().clearWhenStop = 0;
        edited->pdoList.removeLast();
        edited->sdoList.append(SDOEntry{0x2000, 1, 2, QByteArray::fromHex("1234"), QStringLiteral("16#1234"), {}});
        const QString stream = dir.filePath(QStringLiteral("edited.stream"));
        QVERIFY(writeAll(stream, saveProjectStream(*edited)));

        result = run({"configure", stream, "--accept", "-o", stream});
        QVERIFY2(result.status == 0 && result.out.contains(QLatin1String("Name:                   Fan"))
                     && !result.out.contains(QLatin1String("are cut"))
                     && result.out.contains(QLatin1String("Check revision number:  no")) && result.out.contains(QLatin1String("output     %Q,300  1      yes"))
                     && result.out.contains(QLatin1String("%Q,300  yes")),
                 qPrintable(result.err));
        QCOMPARE(readAll(stream), saveProjectStream(*edited));

        // Edits on a slave without its EDS would be saved without what the EDS gives.
        const QString gone = dir.filePath(QStringLiteral("gone.eds"));
        edited->edsFile = gone;
        const QString orphan = dir.filePath(QStringLiteral("orphan.stream"));
        QVERIFY(writeAll(orphan, saveProjectStream(*edited)));
        result = run({"configure", orphan, "--accept", "-o", orphan});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(QStringLiteral("EDS file not found at \"%1\"; the slave").arg(gone))
                     && result.err.contains(QLatin1String("not opened")), qPrintable(result.err));

        const QString untouched = dir.filePath(QStringLiteral("untouched.stream"));
        result = run({"configure", stream, "--screenshot", dir.filePath(QStringLiteral("shots")), "-o", untouched});
        QCOMPARE(result.status, 0);
        result = run({"configure", stream, "--read-only", "--accept", "-o", untouched});
        QVERIFY2(result.status == 1 && result.err.contains(QLatin1String("OK button is disabled")), qPrintable(result.err));
        QVERIFY(!QFile::exists(untouched));
    }
};

QTEST_GUILESS_MAIN(tst_HostCommands)
#include "tst_hostcommands.moc"
