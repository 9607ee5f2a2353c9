// canslave-host configure, run as a user runs it; the dialog itself is only
// rendered, because nobody is there to press OK.
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class tst_ConfigureCommand : public QObject
{
    Q_OBJECT

private slots:
    void screenshotsOfEveryTab();
    void refusedArguments_data();
    void refusedArguments();
};

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// withDisplay false: the platform is left for the host to choose.
Run runConfigure(const QStringList &arguments, bool withDisplay = false)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (withDisplay)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(CANSLAVE_HOST_PATH),
                  QStringList{QStringLiteral("--plugin"), QStringLiteral(CANSLAVE_PLUGIN_PATH),
                              QStringLiteral("configure")}
                      + arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

const QString exampleEds = QStringLiteral(CANSLAVE_EXAMPLES "/io-module.eds");

} // namespace

void tst_ConfigureCommand::screenshotsOfEveryTab()
{
    QTemporaryDir dir;
    const QString shots = dir.filePath(QStringLiteral("shots"));
    // Without a display: the screenshot run must not need one.
    const Run run = runConfigure({exampleEds, QStringLiteral("--node"), QStringLiteral("5"),
                                  QStringLiteral("--screenshot"), shots});
    QCOMPARE(run.status, 0);
    const QStringList written = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(written.size(), QDir(shots).entryList({QStringLiteral("*.png")}).size());
    QVERIFY(written.size() >= 2);
    QVERIFY(written.first().endsWith(QLatin1String("1-canopen-slave-device.png")));
    // The tabs come first, numbered upwards; the sub-dialogs after them have sizes of their own.
    int lastTab = 0;
    bool tabs = true;
    for (const QString &path : written) {
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        const int number = QFileInfo(path).fileName().section(QLatin1Char('-'), 0, 0).toInt();
        tabs = tabs && number > lastTab;
        lastTab = number;
        if (!tabs)
            continue;
        QVERIFY(image.width() >= 800);
        QCOMPARE(image.height(), 600);
    }
    for (const char *subDialog : {"pdo-config-mapping-editor.png", "pdo-config-property.png", "sdo-config-new-sdo.png"})
        QVERIFY2(written.filter(QLatin1String(subDialog)).size() == 1, subDialog);
}

void tst_ConfigureCommand::refusedArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::newRow("no EDS") << QStringList{QStringLiteral("--read-only")} << 2;
    QTest::newRow("bad node range") << QStringList{exampleEds, QStringLiteral("--nodes"), QStringLiteral("9-3")} << 2;
    QTest::newRow("node list with text") << QStringList{exampleEds, QStringLiteral("--nodes"), QStringLiteral("1,x")} << 2;
    QTest::newRow("missing EDS") << QStringList{QStringLiteral("no-such.eds"), QStringLiteral("--screenshot"),
                                                QDir::tempPath()} << 1;
}

void tst_ConfigureCommand::refusedArguments()
{
    QFETCH(QStringList, arguments);
    const Run run = runConfigure(arguments, true);
    QTEST(run.status, "status");
    QVERIFY(!run.err.isEmpty());
}

QTEST_GUILESS_MAIN(tst_ConfigureCommand)
#include "tst_configurecommand.moc"
