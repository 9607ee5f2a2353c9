// canslave-host check, run as a user runs it.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class tst_CheckCommand : public QObject
{
    Q_OBJECT

private slots:
    void exitStatus_data();
    void exitStatus();
    void reportsCompilerStyle();
};

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run runCheck(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(CANSLAVE_HOST_PATH),
                  QStringList{QStringLiteral("--plugin"), QStringLiteral(CANSLAVE_PLUGIN_PATH), QStringLiteral("check")}
                      + arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QString data(const char *name)
{
    return QStringLiteral(CANSLAVE_TEST_DATA "/") + QLatin1String(name);
}

} // namespace

void tst_CheckCommand::exitStatus_data()
{
    QTemporaryDir dir;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");

    QTest::newRow("clean") << QStringList{data("eds-device.eds")} << 0;
    QTest::newRow("clean strict") << QStringList{"--strict", data("eds-device.eds")} << 0;
    QTest::newRow("diagnosed") << QStringList{data("eds-device.eds"), data("eds-broken.eds")} << 0;
    QTest::newRow("diagnosed strict") << QStringList{data("eds-device.eds"), "--strict", data("eds-broken.eds")} << 1;
    QTest::newRow("missing") << QStringList{data("eds-device.eds"), data("no-such-file.eds")} << 2;
    QTest::newRow("directory strict") << QStringList{"--strict", QStringLiteral(CANSLAVE_TEST_DATA)} << 2;
    QTest::newRow("no file") << QStringList{} << 2;
}

void tst_CheckCommand::exitStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QCOMPARE(runCheck(arguments).status, status);
}

void tst_CheckCommand::reportsCompilerStyle()
{
    const QString broken = data("eds-broken.eds");
    const Run run = runCheck({broken, data("no-such-file.eds")});
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList expected{
        broken + ":3: Unknown token: Colour",
        broken + ":5: grammer error",
        broken + ":5: Unknown token: ",
        broken + ":0: Unused section,index:2001",
        // 2000 gets its own sub-index 0; the orphan sub-index still counts.
        broken + ": 1 objects, 2 sub-indexes, 0 receive PDOs, 0 transmit PDOs, 1 mappable entries, 4 diagnostics",
    };
    QCOMPARE(lines, expected);
    QVERIFY(run.err.contains(data("no-such-file.eds") + QLatin1String(": cannot be opened")));
}

QTEST_GUILESS_MAIN(tst_CheckCommand)
#include "tst_checkcommand.moc"
