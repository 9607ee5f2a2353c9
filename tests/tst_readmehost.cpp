// The README's minimal host, as a host developer copies it: it runs against the
// built plug-in and fails cleanly, with a reason, when it cannot.
#include <QProcess>
#include <QtTest>

class tst_ReadmeHost : public QObject
{
    Q_OBJECT
private slots:
    void run_data()
    {
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<QString>("eds");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said"); // on stdout for 0, else on stderr
        const QString example = QStringLiteral(CANSLAVE_EXAMPLES "/io-module.eds");
        QTest::newRow("built plug-in") << CANSLAVE_PLUGIN_PATH << example << 0 << "configuration block of ";
        QTest::newRow("no library there") << "/no/such/libcanslave.so" << example << 1 << "cannot load the plug-in";
        QTest::newRow("a library without the exports") << NO_EXPORTS_LIBRARY << example << 1 << "lacks an export";
        QTest::newRow("no EDS") << CANSLAVE_PLUGIN_PATH << "/no/such.eds" << 1 << "no slave";
    }
    void run()
    {
        QFETCH(QString, plugin);
        QFETCH(QString, eds);
        QFETCH(QString, said);
        QProcess host;
        host.start(QStringLiteral(README_HOST_PATH), {plugin, eds});
        QVERIFY(host.waitForFinished(60000));
        QCOMPARE(host.exitStatus(), QProcess::NormalExit);
        QTEST(host.exitCode(), "status");
        const QByteArray text = host.exitCode() == 0 ? host.readAllStandardOutput() : host.readAllStandardError();
        QVERIFY2(text.contains(said.toUtf8()), text.constData());
    }
};

QTEST_GUILESS_MAIN(tst_ReadmeHost)
#include "tst_readmehost.moc"
