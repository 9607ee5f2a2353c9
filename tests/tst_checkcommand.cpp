// canslave-host check, run as a user runs it, on files made to hold one case each.
#include "hostrun.h"

#include <QtTest>

namespace {

QString data(const char *name)
{
    return QStringLiteral(CANSLAVE_TEST_DATA "/") + QLatin1String(name);
}

QStringList check(const QStringList &arguments)
{
    return runHost(QStringList{QStringLiteral("check")} + arguments).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class tst_CheckCommand : public QObject
{
    Q_OBJECT
private slots:
    void exitStatus_data();
    void exitStatus();
    void findings_data();
    void findings();
    void summary();
};

void tst_CheckCommand::exitStatus_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    const QString findings = data("check-findings.eds");
    const QString notes = data("check-notes.dcf");
    QTest::newRow("clean strict") << QStringList{"--strict", QStringLiteral(CANSLAVE_EXAMPLES "/io-module.eds")} << 0;
    QTest::newRow("errors") << QStringList{findings} << 0;
    QTest::newRow("errors strict") << QStringList{notes, "--strict", findings} << 1;
    QTest::newRow("warnings only strict") << QStringList{"--strict", data("eds-crlf.eds")} << 1;
    QTest::newRow("notes only strict") << QStringList{"--strict", notes} << 0;
    QTest::newRow("one missing") << QStringList{notes, data("no-such-file.eds")} << 2;
}

void tst_CheckCommand::exitStatus()
{
    QFETCH(QStringList, arguments);
    QTEST(runHost(QStringList{QStringLiteral("check")} + arguments).status, "status");
}

void tst_CheckCommand::findings_data()
{
    QTest::addColumn<QString>("finding"); // LINE: SEVERITY: TEXT
    QTest::newRow("PDO object the count promises") << "3: error: Object 1801 not found";
    QTest::newRow("listed, not defined") << "8: error: object 0x1018 is listed in [MandatoryObjects] but not defined";
    QTest::newRow("shared COB-ID") << "38: error: PDOs 0x1400 and 0x1800 both use the default COB-ID 0x200 + node id";
    QTest::newRow("mapping over 8 bytes") << "48: error: default mapping 0x1A00 maps 72 bits, more than the 8 bytes of a PDO";
    QTest::newRow("mapped object missing")
        << "53: error: default mapping 0x1A00 sub 1 names object 0x6000 sub 1, which is not defined";
    QTest::newRow("mapped object not mappable")
        << "58: error: default mapping 0x1A00 sub 2 names object 0x2000 sub 0, which is not PDO-mappable";
    QTest::newRow("unknown key") << "66: warning: Unknown token: Colour";
    QTest::newRow("unknown section, one line") << "68: note: unknown section [VendorNotes] ignored (3 lines)";
}

void tst_CheckCommand::findings()
{
    QFETCH(QString, finding);
    const QString file = data("check-findings.eds");
    const QStringList lines = check({file});
    QVERIFY2(lines.contains(file + QLatin1Char(':') + finding), qPrintable(lines.join(QLatin1Char('\n'))));
    // Every finding points at a real line, and the section's lines are not reported one by one.
    QCOMPARE(lines.filter(QLatin1String(":0:")), QStringList());
    QCOMPARE(lines.filter(QLatin1String("Unknown line")), QStringList());
}

void tst_CheckCommand::summary()
{
    const QString file = data("check-findings.eds");
    const QStringList lines = check({file, data("check-notes.dcf")});
    // Switched-off PDOs sharing a COB-ID are no error: the errors are those of findings_data.
    const QStringList summaries = lines.filter(QRegularExpression(QStringLiteral(": \\d+ errors, ")));
    QCOMPARE(summaries.size(), 2);
    QVERIFY2(summaries.first().startsWith(file + QLatin1String(": 8 errors, 1 warnings, ")), qPrintable(summaries.first()));
    QVERIFY(summaries.first().endsWith(QLatin1String("; 7 objects, 8 sub-indexes, 3 receive PDOs, 1 transmit PDOs, "
                                                      "0 mappable entries")));
    QVERIFY2(summaries.last().contains(QLatin1String(": 0 errors, 0 warnings, ")), qPrintable(summaries.last()));
}

QTEST_GUILESS_MAIN(tst_CheckCommand)
#include "tst_checkcommand.moc"
