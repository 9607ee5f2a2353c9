#include "plugin/hostservices.h"

#include <QtTest>

class tst_HostServices : public QObject
{
    Q_OBJECT

private slots:
    void byteConversions_data();
    void byteConversions();
    void toBigEndianReverses_data();
    void toBigEndianReverses();
    void creatorVersion();
    void productName();
    void helpKeywordByLanguage_data();
    void helpKeywordByLanguage();
    void hexSpinBox_data();
    void hexSpinBox();
    void lineEditKeepsEnter();
};

void tst_HostServices::byteConversions_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QByteArray>("asShort");
    QTest::addColumn<QByteArray>("asInt");

    QTest::newRow("zero") << 0u << QByteArray::fromHex("0000") << QByteArray::fromHex("00000000");
    QTest::newRow("mixed") << 0x12345678u << QByteArray::fromHex("5678") << QByteArray::fromHex("12345678");
    QTest::newRow("all ones") << 0xFFFFFFFFu << QByteArray::fromHex("ffff") << QByteArray::fromHex("ffffffff");
}

void tst_HostServices::byteConversions()
{
    QFETCH(quint32, value);
    QFETCH(QByteArray, asShort);
    QFETCH(QByteArray, asInt);
    QCOMPARE(shortToByteArray(quint16(value)), asShort);
    QCOMPARE(intToByteArray(value), asInt);
}

void tst_HostServices::toBigEndianReverses_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("output");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("one") << QByteArray::fromHex("7f") << QByteArray::fromHex("7f");
    QTest::newRow("four") << QByteArray::fromHex("00001234") << QByteArray::fromHex("34120000");
    QTest::newRow("odd") << QByteArray::fromHex("010203") << QByteArray::fromHex("030201");
}

void tst_HostServices::toBigEndianReverses()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, output);
    toBigEndian(input);
    QCOMPARE(input, output);
}

void tst_HostServices::creatorVersion()
{
    clearHwFileCreatedVerNums();
    QVERIFY(getHwFileCreatedVerNum(QStringLiteral("/p/unknown.hwc")) >= 2009);
    setHwFileCreatedVerNum(QStringLiteral("/p/old.hwc"), 2006);
    QCOMPARE(getHwFileCreatedVerNum(QStringLiteral("/p/old.hwc")), 2006);
    clearHwFileCreatedVerNums();
    QCOMPARE(getHwFileCreatedVerNum(QStringLiteral("/p/old.hwc")), CurrentCreatorVersion);
}

void tst_HostServices::productName()
{
    clearCanSlaveProductNames();
    QCOMPARE(getCanSlaveProductName(QStringLiteral("io8.eds")), QStringLiteral("io8"));
    setCanSlaveProductName(QStringLiteral("io8.eds"), QStringLiteral("IO-8"));
    QCOMPARE(getCanSlaveProductName(QStringLiteral("io8.eds")), QStringLiteral("IO-8"));
    QCOMPARE(getCanSlaveProductName(QString()), QString());
    clearCanSlaveProductNames();
}

void tst_HostServices::helpKeywordByLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("keyword");
    QTest::newRow("english") << "en" << "Config CANopen Slave in HW Config";
    QTest::newRow("chinese") << "zh_CN" << QString::fromUtf8("硬件组态中怎么配置CANopen从站");
}

void tst_HostServices::helpKeywordByLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, keyword);
    setHelpLanguage(language);
    resetHelpRequests();
    openSlaveConfigHelp();
    setHelpLanguage(QString());
    QCOMPARE(lastHelpKeyWord(), keyword);
    QCOMPARE(helpRequestCount(), 1);
}

void tst_HostServices::hexSpinBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("upper") << "1A" << 0x1A << "1A";
    QTest::newRow("lower") << "ff" << 0xFF << "FF";
    QTest::newRow("digit beyond maximum refused") << "1000" << 0x100 << "100";
    QTest::newRow("not hex keeps old") << "zz" << 0 << "0";
}

void tst_HostServices::hexSpinBox()
{
    QFETCH(QString, typed);
    QFETCH(int, value);
    QFETCH(QString, shown);
    HexSpinBox box;
    box.setRange(0, 0xFFF);
    box.setValue(0);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.selectAll();
    QTest::keyClicks(&box, typed);
    QTest::keyClick(&box, Qt::Key_Enter);
    QCOMPARE(box.value(), value);
    QCOMPARE(box.text(), shown);
}

void tst_HostServices::lineEditKeepsEnter()
{
    MLineEdit edit(QStringLiteral("abc"), nullptr);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&edit, &enter);
    QVERIFY(enter.isAccepted());
    QTest::keyClicks(&edit, QStringLiteral("d"));
    QCOMPARE(edit.text(), QStringLiteral("abcd"));
}

QTEST_MAIN(tst_HostServices)
#include "tst_hostservices.moc"
