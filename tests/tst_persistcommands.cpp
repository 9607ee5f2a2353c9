// canslave-host save, restore and recompile, run as a user runs them.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QString out;
};

Run host(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(CANSLAVE_HOST_PATH),
                  QStringList{QStringLiteral("--plugin"), QStringLiteral(CANSLAVE_PLUGIN_PATH)} + arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    return run;
}

const QString eds = QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds");

} // namespace

class tst_PersistCommands : public QObject
{
    Q_OBJECT
private slots:
    void readBack_data();
    void readBack();
};

void tst_PersistCommands::readBack_data()
{
    QTest::addColumn<QString>("write");
    QTest::addColumn<QStringList>("readOptions");
    QTest::addColumn<int>("cut");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("expected");

    const QStringList slave{"Slave: Slave Test", "Node ID: 9", "Station: st", "PDOs (4 configured, 5 offered)",
                            "  1800 transmit COB-ID 189"};
    QTest::newRow("restore") << "save" << QStringList{"--station", "st"} << 0 << 0 << slave;
    // A current stream read as the older layout it is not: the option reaches the plug-in.
    QTest::newRow("restore as older layout")
        << "save" << QStringList{"--station", "st", "--creator-version", "2008"} << 0 << 0
        << QStringList{"Slave: Slave Test", "PDOs (0 configured, 5 offered)"};
    QTest::newRow("recompile") << "compile" << QStringList{"--station", "st"} << 0 << 0
                               << (QStringList{"Recompile code: 0"} + slave);
    QTest::newRow("recompile cut block") << "compile" << QStringList{} << 1 << 1
                                         << QStringList{"Recompile code: 1"};
    QTest::newRow("bad option") << "save" << QStringList{"--node", "3"} << 0 << 2 << QStringList{};
}

void tst_PersistCommands::readBack()
{
    QFETCH(QString, write);
    QFETCH(QStringList, readOptions);
    QFETCH(int, cut);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("slave.bin"));
    QCOMPARE(host({write, eds, "--node", "9", "-o", file}).status, 0);
    if (cut) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(f.size() - cut));
    }
    const Run run = host(QStringList{write == QLatin1String("save") ? "restore" : "recompile", file} + readOptions);
    QTEST(run.status, "status");
    QFETCH(QStringList, expected);
    // Each expected text opens a line of the output.
    for (const QString &line : qAsConst(expected))
        QVERIFY2(run.out.startsWith(line) || run.out.contains(QLatin1Char('\n') + line),
                 qPrintable(line + QLatin1String(" missing in:\n") + run.out));
}

QTEST_GUILESS_MAIN(tst_PersistCommands)
#include "tst_persistcommands.moc"
