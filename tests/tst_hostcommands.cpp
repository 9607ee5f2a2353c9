// canslave-host's commands as a user runs them: what each refuses, what show
// prints, and what restore and recompile say when the slave does not come back whole.
#include "hostrun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString example = QStringLiteral(CANSLAVE_EXAMPLES "/io-module.eds");

QJsonObject parsedJson(const HostRun &run)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    return error.error == QJsonParseError::NoError ? document.object() : QJsonObject();
}

} // namespace

class tst_HostCommands : public QObject
{
    Q_OBJECT
private slots:
    void refusesArguments_data();
    void refusesArguments();
    void helpPerCommand();
    void showJson();
    void showText_data();
    void showText();
    void readBack_data();
    void readBack();
};

void tst_HostCommands::refusesArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said");
    const QString missing = QStringLiteral("no-such.eds");
    QTest::newRow("node 0") << QStringList{"show", example, "--node", "0"} << "--node 0: a node id";
    QTest::newRow("node 128") << QStringList{"show", example, "--node", "128"} << "--node 128";
    QTest::newRow("node 300 on save") << QStringList{"save", example, "--node", "300", "-o", "x"} << "--node 300";
    QTest::newRow("node as text") << QStringList{"compile", example, "--node", "5x", "-o", "x"} << "--node 5x";
    QTest::newRow("node without value") << QStringList{"show", example, "--node"} << "--node needs a value";
    QTest::newRow("node range past 127") << QStringList{"configure", example, "--nodes", "1-200"} << "--nodes 1-200";
    QTest::newRow("node range backwards") << QStringList{"configure", example, "--nodes", "9-3"} << "--nodes 9-3";
    QTest::newRow("no EDS") << QStringList{"show"} << "no EDS given (usage: canslave-host show EDS [--node N]";
    QTest::newRow("no file to check") << QStringList{"check"} << "no FILE given (usage: canslave-host check FILE... [--strict])";
    QTest::newRow("missing EDS") << QStringList{"show", missing} << "no-such.eds: no such file";
    QTest::newRow("folder as EDS") << QStringList{"check", QStringLiteral(CANSLAVE_TEST_DATA)} << "is a folder";
    QTest::newRow("two EDS") << QStringList{"show", example, example} << "unexpected argument";
    QTest::newRow("unknown option") << QStringList{"restore", example, "--node", "3"} << "unknown option --node";
    QTest::newRow("output required") << QStringList{"compile", example} << "-o FILE is required";
    QTest::newRow("output folder missing") << QStringList{"save", example, "-o", "/no/such/dir/x"} << "does not exist";
    QTest::newRow("creator version text") << QStringList{"restore", example, "--creator-version", "new"} << "not a number";
    QTest::newRow("exports takes nothing") << QStringList{"exports", example} << "unexpected argument";
    QTest::newRow("unknown command") << QStringList{"shw", example} << "unknown command 'shw'";
}

void tst_HostCommands::refusesArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    const HostRun run = runHost(arguments);
    QCOMPARE(run.status, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
}

void tst_HostCommands::helpPerCommand()
{
    for (const char *command : {"check", "exports", "show", "compile", "configure", "save", "restore", "recompile"}) {
        for (const char *flag : {"--help", "-h"}) {
            const HostRun run = runHost({QLatin1String(command), QLatin1String(flag)});
            QCOMPARE(run.status, 0);
            QVERIFY2(run.out.startsWith(QStringLiteral("Usage: canslave-host ") + QLatin1String(command)), command);
            QVERIFY(run.out.contains(QLatin1String("Exit status")));
        }
    }
}

void tst_HostCommands::showJson()
{
    // Without a runtime folder Qt would otherwise warn on stderr.
    const HostRun run = runHost({"show", example, "--node", "5", "--json"}, {"XDG_RUNTIME_DIR"});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QString());
    const QJsonObject report = parsedJson(run);
    const QJsonObject device = report["device"].toObject();
    QCOMPARE(device["nodeId"].toInt(), 5);
    QCOMPARE(device["emergencyCobId"].toInt(), 0x85);
    QCOMPARE(device["nodeGuardCobId"].toInt(), 0x705);
    QCOMPARE(report["errorControl"].toObject()["heartbeatTimeMs"].toInt(), 1200);
    QCOMPARE(report["startupChecks"].toObject()["revisionNumber"].toBool(), true);
    const QJsonArray pdos = report["pdos"].toArray();
    QCOMPARE(pdos.size(), 3);
    const QJsonObject receive = pdos[0].toObject();
    QCOMPARE(receive["cobId"].toInt(), 0x205);
    QVERIFY(!receive.contains("inhibitTime100us"));
    const QJsonObject output = receive["mapped"].toArray()[0].toObject();
    QCOMPARE(output["place"].toString(), QStringLiteral("%Q,0"));
    QCOMPARE(output["clearWhenStop"].toBool(true), false);
    QCOMPARE(output["fixedMapping"].toBool(), true);
    QCOMPARE(pdos[2].toObject()["inhibitTime100us"].toInt(), 20);
    QCOMPARE(pdos[2].toObject()["mapped"].toArray()[1].toObject()["place"].toString(), QStringLiteral("%I,3"));
    QCOMPARE(report["outputMemoryMap"].toArray()[0].toObject()["place"].toString(), QStringLiteral("%Q,0"));
    QCOMPARE(report["symbols"].toArray()[3].toObject()["address"].toString(), QStringLiteral("%IW3"));
    QVERIFY(!report["configurationBlock"].toObject().contains("hex"));

    const QJsonObject block = parsedJson(runHost({"show", example, "--node", "5", "--json", "--block"}))["configurationBlock"].toObject();
    QCOMPARE(block["hex"].toString().size(), 2 * block["sizeBytes"].toInt());
    QVERIFY(block["hex"].toString().startsWith(QLatin1String("0116")));
}

void tst_HostCommands::showText_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("lines");
    const QStringList labelled{"Device", "Node ID:                5", "Vendor ID:              0x000000AB",
                               "Error control", "Heartbeat time:         1200 ms", "Checks at start-up",
                               "Check vendor ID:        yes", "PDOs (3 in use, 4 offered by the EDS)",
                               "Inhibit time:           2.0 ms (20 x 100 us)",
                               "0x6200  0x01  Digital Outputs 1-8  1      %Q,0    no               fixed mapping",
                               "Symbol                Address  Comment", "(--block prints its bytes)"};
    QTest::newRow("labelled sections") << QStringList{} << labelled;
    QTest::newRow("with the block") << QStringList{"--block"}
                                    << QStringList{"0x0000  01 16 49 4F 2D 4D 6F 64 75 6C 65 20 38 44 49 38"};
}

void tst_HostCommands::showText()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, lines);
    const HostRun run = runHost(QStringList{"show", example, "--node", "5"} + options);
    QCOMPARE(run.status, 0);
    QStringList printed = run.out.split(QLatin1Char('\n'));
    for (QString &line : printed)
        line = line.trimmed();
    for (const QString &line : qAsConst(lines))
        QVERIFY2(printed.contains(line), qPrintable(line));
}

void tst_HostCommands::readBack_data()
{
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("read");
    QTest::addColumn<int>("cut");       // bytes taken off the end; negative: appended
    QTest::addColumn<bool>("edsGone");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::addColumn<int>("pdos");      // in the printed slave; -1: nothing printed

    QTest::newRow("restore whole") << "save" << "restore --creator-version 2009" << 0 << false << 0 << "" << 3;
    QTest::newRow("restore cut short") << "save" << "restore" << 300 << false << 1 << "cut short" << 0;
    QTest::newRow("restore bytes left") << "save" << "restore" << -3 << false << 1 << "3 bytes after" << 3;
    QTest::newRow("restore without EDS") << "save" << "restore" << 0 << true << 1 << "EDS file not found" << 3;
    QTest::newRow("restore a block") << "compile" << "restore" << 0 << false << 1 << "not a project stream" << -1;
    QTest::newRow("recompile whole") << "compile" << "recompile" << 0 << false << 0 << "" << 3;
    QTest::newRow("recompile cut") << "compile" << "recompile" << 1 << false << 1 << "code 1: the block is cut" << -1;
    QTest::newRow("recompile byte left") << "compile" << "recompile" << -2 << false << 1 << "2 bytes after the end" << 3;
    QTest::newRow("recompile without EDS") << "compile" << "recompile" << 0 << true << 1 << "code 128: the EDS the block names, \"{eds}\", cannot" << 3;
}

void tst_HostCommands::readBack()
{
    QFETCH(int, cut);
    QFETCH(QString, said);
    QFETCH(int, pdos);
    QTemporaryDir dir;
    const QString eds = dir.filePath(QStringLiteral("device.eds"));
    const QString file = dir.filePath(QStringLiteral("slave.bin"));
    QVERIFY(QFile::copy(example, eds));
    QFETCH(QString, write);
    QCOMPARE(runHost({write, eds, "--node", "9", "-o", file}).status, 0);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    if (cut > 0)
        QVERIFY(f.resize(f.size() - cut));
    else
        QVERIFY(f.seek(f.size()) && f.write(QByteArray(-cut, '\x00')) == -cut);
    f.close();
    QFETCH(bool, edsGone);
    if (edsGone)
        QVERIFY(QFile::remove(eds));
    QFETCH(QString, read);
    const QStringList options = read.split(QLatin1Char(' '));
    const HostRun run = runHost(QStringList{options.first(), file, "--json"} + options.mid(1));
    QTEST(run.status, "status");
    said.replace(QLatin1String("{eds}"), eds);
    QVERIFY2(said.isEmpty() ? run.err.isEmpty() : run.err.contains(said), qPrintable(run.err));
    const QJsonObject report = parsedJson(run);
    QCOMPARE(report.isEmpty() ? -1 : report["pdos"].toArray().size(), pdos);
    if (pdos >= 0)
        QCOMPARE(report["device"].toObject()["nodeId"].toInt(), 9);
}

QTEST_GUILESS_MAIN(tst_HostCommands)
#include "tst_hostcommands.moc"
