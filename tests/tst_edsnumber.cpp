#include "eds/edsnumber.h"

#include <QtTest>

class tst_EdsNumber : public QObject
{
    Q_OBJECT

private slots:
    // Signed and unsigned reading side by side; "-" where a form is refused.
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("asSigned");
        QTest::addColumn<QString>("asUnsigned");
        const char *rows[][3] = {
            {"1234", "1234", "1234"}, {"-1000", "-1000", "4294966296"}, {"+7", "7", "7"}, {"  42 \t", "42", "42"},
            {"0x1a", "26", "26"}, {"0X1A", "26", "26"}, {"1Ah", "26", "26"}, {"1AH", "26", "26"}, {"0x1Ah", "26", "26"},
            {"010", "8", "8"}, {"-010", "-10", "4294967286"}, {"0", "0", "0"}, {"08", "-", "-"}, {"09", "-", "-"},
            {"2147483647", "2147483647", "2147483647"}, {"-2147483648", "-2147483648", "2147483648"},
            {"2147483648", "-", "2147483648"}, {"0x7FFFFFFF", "2147483647", "2147483647"},
            {"0xFFFFFFFF", "-", "4294967295"}, {"4294967296", "-", "-"}, {"0x100000000", "-", "-"},
            {"-2147483649", "-", "-"}, {"-0x10", "-", "-"}, {"99999999999999999999999", "-", "-"}, {"", "-", "-"},
            {"   ", "-", "-"}, {"0x", "-", "-"}, {"h", "-", "-"}, {"12a", "-", "-"}, {"1 2", "-", "-"},
            {"0x12 ;x", "-", "-"}, {"--1", "-", "-"}, {"$NODEID", "-", "-"}, {"\xd9\xa3", "-", "-"},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2]);
    }
    void numbers()
    {
        QFETCH(QString, text);
        // A refused form reads as 0.
        const auto shown = [](bool ok, qint64 value) {
            return ok ? QString::number(value) : value ? QStringLiteral("refused as %1").arg(value) : QStringLiteral("-");
        };
        bool ok = false;
        const qint32 s = toSignedNumber(text, &ok);
        QTEST(shown(ok, s), "asSigned");
        QCOMPARE(toSignedNumber(text), s);
        const quint32 u = toUnsignedNumber(text, &ok);
        QTEST(shown(ok, u), "asUnsigned");
    }

    void indexNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("value");
        const struct {
            const char *text;
            qint64 value;
        } rows[] = {{"1018", 0x1018}, {"1A00", 0x1A00}, {"1a00", 0x1A00}, {"10", 16}, {"0x2000", 0x2000}, {"20h", 0x20},
                    {"FFFFFFFF", 0xFFFFFFFF}, {"10G0", -1}, {"", -1}, {"-1", -1}};
        for (const auto &row : rows)
            QTest::newRow(row.text) << QString::fromLatin1(row.text) << row.value;
    }
    void indexNumber()
    {
        QFETCH(QString, text);
        QTEST(toIndexNumber(text), "value");
    }

    void trueValueAndKeys()
    {
        // Only an exact "0" and nothing are false.
        for (const char *text : {"1", "0x0", "00", "yes", "false"})
            QVERIFY2(isTrueValue(QString::fromLatin1(text)), text);
        QVERIFY(!isTrueValue(QStringLiteral("0")) && !isTrueValue(QString()));
        const struct {
            const char *text, *key;
            bool equal;
        } keys[] = {
            {"DeviceInfo", "deviceinfo", true}, {"DEVICEINFO", "deviceinfo", true}, {"DeviceInfo2", "deviceinfo", false},
            {"Device", "deviceinfo", false}, {"baudrate@10", "baudrate_10", false},
            {"1000\xc5\xbfub1", "1000sub1", true},        // long s folds to s
            {"ObjectLin\xe2\x84\xaas", "objectlinks", true}, // Kelvin sign folds to k
            {"d\xc3\xa9viceinfo", "deviceinfo", false},
        };
        for (const auto &k : keys)
            QVERIFY2(equalsIgnoringCase(QString::fromUtf8(k.text), QLatin1String(k.key)) == k.equal, k.text);
    }
};

QTEST_APPLESS_MAIN(tst_EdsNumber)
#include "tst_edsnumber.moc"
