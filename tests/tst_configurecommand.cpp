// canslave-host configure, run as a user runs it; the dialog itself is only
// rendered, because nobody is there to press OK.
#include <QFileInfo>
#include <QImage>
#include "hostrun.h"

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

// Without a runtime folder either: Qt would warn about it.
const QStringList noDisplay{QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("QT_QPA_PLATFORM"),
                            QStringLiteral("XDG_RUNTIME_DIR")};

HostRun runConfigure(const QStringList &arguments)
{
    return runHost(QStringList{QStringLiteral("configure")} + arguments, noDisplay);
}

const QString exampleEds = QStringLiteral(CANSLAVE_EXAMPLES "/io-module.eds");

} // namespace

void tst_ConfigureCommand::screenshotsOfEveryTab()
{
    QTemporaryDir dir;
    const QString shots = dir.filePath(QStringLiteral("shots"));
    // Without a display: the screenshot run must not need one.
    const HostRun run = runConfigure({exampleEds, QStringLiteral("--node"), QStringLiteral("5"),
                                  QStringLiteral("--screenshot"), shots});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QString());
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
    QTest::addColumn<QString>("said");
    QTest::newRow("no display") << QStringList{exampleEds} << "--screenshot DIR renders it without one";
    // The arguments are looked at before the display.
    QTest::newRow("bad node list, no display") << QStringList{exampleEds, "--nodes", "0-9"} << "--nodes 0-9";
    QTest::newRow("missing EDS") << QStringList{"no-such.eds", "--screenshot", QDir::tempPath()} << "no such file";
    QTest::newRow("screenshot into a file") << QStringList{exampleEds, "--screenshot", exampleEds} << "not a folder";
}

void tst_ConfigureCommand::refusedArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    const HostRun run = runConfigure(arguments);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(tst_ConfigureCommand)
#include "tst_configurecommand.moc"
