#include "eds/edsnumber.h"

#include <QtTest>

class tst_EdsNumber : public QObject
{
    Q_OBJECT

private slots:
    void signedNumber_data();
    void signedNumber();
    void unsignedNumber_data();
    void unsignedNumber();
    void indexNumber_data();
    void indexNumber();
    void trueValue_data();
    void trueValue();
    void caseInsensitiveKeys_data();
    void caseInsensitiveKeys();
};

void tst_EdsNumber::signedNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("value");
    QTest::addColumn<bool>("ok");

    QTest::newRow("decimal") << "1234" << 1234 << true;
    QTest::newRow("negative decimal") << "-1000" << -1000 << true;
    QTest::newRow("plus sign") << "+7" << 7 << true;
    QTest::newRow("blanks around") << "  42 \t" << 42 << true;
    QTest::newRow("0x lower") << "0x1a" << 26 << true;
    QTest::newRow("0X upper") << "0X1A" << 26 << true;
    QTest::newRow("h suffix") << "1Ah" << 26 << true;
    QTest::newRow("H suffix") << "1AH" << 26 << true;
    QTest::newRow("0x and h") << "0x1Ah" << 26 << true;
    QTest::newRow("octal") << "010" << 8 << true;
    QTest::newRow("zero") << "0" << 0 << true;
    QTest::newRow("octal with 8") << "08" << 0 << false;
    QTest::newRow("octal with 9") << "09" << 0 << false;
    QTest::newRow("int max") << "2147483647" << 2147483647 << true;
    QTest::newRow("int min") << "-2147483648" << qint32(-2147483647 - 1) << true;
    QTest::newRow("above int max") << "2147483648" << 0 << false;
    QTest::newRow("hex above int max") << "0xFFFFFFFF" << 0 << false;
    QTest::newRow("hex int max") << "0x7FFFFFFF" << 2147483647 << true;
    QTest::newRow("huge") << "99999999999999999999999" << 0 << false;
    QTest::newRow("empty") << "" << 0 << false;
    QTest::newRow("blank") << "   " << 0 << false;
    QTest::newRow("only 0x") << "0x" << 0 << false;
    QTest::newRow("only h") << "h" << 0 << false;
    QTest::newRow("stray character") << "12a" << 0 << false;
    QTest::newRow("inner blank") << "1 2" << 0 << false;
    QTest::newRow("two signs") << "--1" << 0 << false;
    QTest::newRow("node id text") << "$NODEID" << 0 << false;
    QTest::newRow("non-ASCII digit") << QString::fromUtf8("\xd9\xa3") << 0 << false;
}

void tst_EdsNumber::signedNumber()
{
    QFETCH(QString, text);
    QFETCH(qint32, value);
    QFETCH(bool, ok);
    bool converted = !ok;
    QCOMPARE(toSignedNumber(text, &converted), value);
    QCOMPARE(converted, ok);
    QCOMPARE(toSignedNumber(text), value);
}

void tst_EdsNumber::unsignedNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<bool>("ok");

    QTest::newRow("decimal") << "1234" << 1234u << true;
    QTest::newRow("uint max hex") << "0xFFFFFFFF" << 0xFFFFFFFFu << true;
    QTest::newRow("uint max decimal") << "4294967295" << 0xFFFFFFFFu << true;
    QTest::newRow("above uint max") << "4294967296" << 0u << false;
    QTest::newRow("above uint max hex") << "0x100000000" << 0u << false;
    QTest::newRow("minus one gives its bits") << "-1" << 0xFFFFFFFFu << true;
    QTest::newRow("int min gives its bits") << "-2147483648" << 0x80000000u << true;
    QTest::newRow("below int min") << "-2147483649" << 0u << false;
    QTest::newRow("negative hex") << "-0x10" << 0u << false;
    QTest::newRow("negative octal") << "-010" << 0xFFFFFFF6u << true;
    QTest::newRow("h suffix") << "FFh" << 255u << true;
    QTest::newRow("octal") << "0777" << 511u << true;
    QTest::newRow("octal with 8") << "08" << 0u << false;
    QTest::newRow("plus sign") << "+5" << 5u << true;
    QTest::newRow("trailing garbage") << "0x12 ;x" << 0u << false;
    QTest::newRow("empty") << "" << 0u << false;
}

void tst_EdsNumber::unsignedNumber()
{
    QFETCH(QString, text);
    QFETCH(quint32, value);
    QFETCH(bool, ok);
    bool converted = !ok;
    QCOMPARE(toUnsignedNumber(text, &converted), value);
    QCOMPARE(converted, ok);
}

void tst_EdsNumber::indexNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value");

    QTest::newRow("four digits") << "1018" << qint64(0x1018);
    QTest::newRow("letters") << "1A00" << qint64(0x1A00);
    QTest::newRow("lower case") << "1a00" << qint64(0x1A00);
    QTest::newRow("sub-index 10 is sixteen") << "10" << qint64(16);
    QTest::newRow("with 0x") << "0x2000" << qint64(0x2000);
    QTest::newRow("with h") << "20h" << qint64(0x20);
    QTest::newRow("full range") << "FFFFFFFF" << qint64(0xFFFFFFFF);
    QTest::newRow("not hex") << "10G0" << qint64(-1);
    QTest::newRow("empty") << "" << qint64(-1);
    QTest::newRow("negative") << "-1" << qint64(-1);
}

void tst_EdsNumber::indexNumber()
{
    QFETCH(QString, text);
    QFETCH(qint64, value);
    QCOMPARE(toIndexNumber(text), value);
}

void tst_EdsNumber::trueValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("value");

    QTest::newRow("one") << "1" << true;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("0x0 is not exactly 0") << "0x0" << true;
    QTest::newRow("00") << "00" << true;
    QTest::newRow("yes") << "yes" << true;
    QTest::newRow("false text") << "false" << true;
}

void tst_EdsNumber::trueValue()
{
    QFETCH(QString, text);
    QFETCH(bool, value);
    QCOMPARE(isTrueValue(text), value);
}

void tst_EdsNumber::caseInsensitiveKeys_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("equal");

    QTest::newRow("same") << "DeviceInfo" << "deviceinfo" << true;
    QTest::newRow("upper") << "DEVICEINFO" << "deviceinfo" << true;
    QTest::newRow("longer") << "DeviceInfo2" << "deviceinfo" << false;
    QTest::newRow("shorter") << "Device" << "deviceinfo" << false;
    QTest::newRow("punctuation is not folded") << "baudrate@10" << "baudrate_10" << false;
    QTest::newRow("long s folds to s") << QString::fromUtf8("1000\xc5\xbfub1") << "1000sub1" << true;
    QTest::newRow("Kelvin sign folds to k") << QString::fromUtf8("ObjectLin\xe2\x84\xaas") << "objectlinks" << true;
    QTest::newRow("other letters do not") << QString::fromUtf8("d\xc3\xa9viceinfo") << "deviceinfo" << false;
}

void tst_EdsNumber::caseInsensitiveKeys()
{
    QFETCH(QString, text);
    QFETCH(QString, key);
    QFETCH(bool, equal);
    const QByteArray latin = key.toLatin1();
    QCOMPARE(equalsIgnoringCase(text, QLatin1String(latin)), equal);
}

QTEST_APPLESS_MAIN(tst_EdsNumber)
#include "tst_edsnumber.moc"
