#include "plugin/hostservices.h"

#include <QtTest>

class tst_HostServices : public QObject
{
    Q_OBJECT

private slots:
    void bytes()
    {
        QCOMPARE(shortToByteArray(0x5678), QByteArray::fromHex("5678"));
        QCOMPARE(intToByteArray(0x12345678u), QByteArray::fromHex("12345678"));
        QCOMPARE(intToByteArray(0xFFFFFFFFu), QByteArray::fromHex("ffffffff"));
        for (const char *text : {"", "7f", "010203", "00001234"}) {
            QByteArray bytes = QByteArray::fromHex(text);
            QByteArray reversed = bytes;
            std::reverse(reversed.begin(), reversed.end());
            toBigEndian(bytes);
            QCOMPARE(bytes, reversed);
        }
    }

    void creatorVersionAndProductName()
    {
        clearHwFileCreatedVerNums();
        QVERIFY(getHwFileCreatedVerNum(QStringLiteral("/p/unknown.hwc")) >= 2009);
        setHwFileCreatedVerNum(QStringLiteral("/p/old.hwc"), 2006);
        QCOMPARE(getHwFileCreatedVerNum(QStringLiteral("/p/old.hwc")), 2006);
        clearHwFileCreatedVerNums();
        QCOMPARE(getHwFileCreatedVerNum(QStringLiteral("/p/old.hwc")), CurrentCreatorVersion);
        clearCanSlaveProductNames();
        QCOMPARE(getCanSlaveProductName(QStringLiteral("io8.eds")), QStringLiteral("io8"));
        setCanSlaveProductName(QStringLiteral("io8.eds"), QStringLiteral("IO-8"));
        QCOMPARE(getCanSlaveProductName(QStringLiteral("io8.eds")), QStringLiteral("IO-8"));
        QCOMPARE(getCanSlaveProductName(QString()), QString());
        clearCanSlaveProductNames();
    }

    void helpKeywordByLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("keyword");
        QTest::newRow("english") << "en" << "Config CANopen Slave in HW Config";
        QTest::newRow("chinese") << "zh_CN" << QString::fromUtf8("硬件组态中怎么配置CANopen从站");
    }
    void helpKeywordByLanguage()
    {
        QFETCH(QString, language);
        setHelpLanguage(language);
        resetHelpRequests();
        openSlaveConfigHelp();
        setHelpLanguage(QString());
        QTEST(lastHelpKeyWord(), "keyword");
        QCOMPARE(helpRequestCount(), 1);
    }

    void hexSpinBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("upper") << "1A" << 0x1A << "1A";
        QTest::newRow("lower") << "ff" << 0xFF << "FF";
        QTest::newRow("digit beyond maximum refused") << "1000" << 0x100 << "100";
        QTest::newRow("not hex keeps old") << "zz" << 0 << "0";
    }
    void hexSpinBox()
    {
        QFETCH(QString, typed);
        HexSpinBox box;
        box.setRange(0, 0xFFF);
        box.setValue(0);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.selectAll();
        QTest::keyClicks(&box, typed);
        QTest::keyClick(&box, Qt::Key_Enter);
        QTEST(box.value(), "value");
        QTEST(box.text(), "shown");
    }

    void lineEditKeepsEnter()
    {
        MLineEdit edit(QStringLiteral("abc"), nullptr);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&edit, &enter);
        QVERIFY(enter.isAccepted());
        QTest::keyClicks(&edit, QStringLiteral("d"));
        QCOMPARE(edit.text(), QStringLiteral("abcd"));
    }
};

QTEST_MAIN(tst_HostServices)
#include "tst_hostservices.moc"
