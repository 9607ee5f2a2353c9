// The device page driven as a user drives it.

#include "plugin/hostservices.h"
#include "testslave.h"
#include "widgetfinding.h"
#include "ui/slaveinfopage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

class tst_SlaveInfoPage : public QObject
{
    Q_OBJECT

    // The field a label names.
    template<typename T = QLineEdit>
    T *field(const QString &labelText) const
    {
        QLabel *label = childWithText<QLabel>(page.get(), labelText);
        return label ? qobject_cast<T *>(label->buddy()) : nullptr;
    }
    QCheckBox *check(const char *what) const
    {
        return childWithText<QCheckBox>(page.get(), QStringLiteral("Check ") + QLatin1String(what));
    }

    CanObject slave;
    std::unique_ptr<SlaveInfoPage> page;

private slots:
    void init()
    {
        clearAllMemory();
        clearCanSlaveProductNames();
        slave = makeTestSlave(QStringLiteral("/stations/device-page.hwc"));
        QList<int> ids;
        for (int id = 1; id <= 127; ++id)
            ids.append(id);
        page = std::make_unique<SlaveInfoPage>(ids, nullptr);
        page->show();
    }
    void cleanup() { page.reset(); }

    void identityDisplay_data()
    {
        QTest::addColumn<quint32>("deviceType");
        QTest::addColumn<quint32>("productCode");
        QTest::addColumn<QString>("productName");
        QTest::addColumn<QString>("deviceTypeText");
        QTest::addColumn<QString>("productCodeText");
        QTest::newRow("padded") << 0x00020191u << 0x4A7u << "IO-8" << "IO-8(00020191)" << "000004A7";
        QTest::newRow("full width, upper case") << 0xFFFFFFFFu << 0xabcdef12u << "Drive" << "Drive(FFFFFFFF)" << "ABCDEF12";
        QTest::newRow("zero, no product name") << 0u << 0u << "" << "(00000000)" << "00000000";
    }
    void identityDisplay()
    {
        QFETCH(quint32, deviceType);
        QFETCH(quint32, productCode);
        QFETCH(QString, productName);
        // The host knows the product by the EDS file name, without its directory.
        setCanSlaveProductName(QStringLiteral("io-8.eds"), productName);
        slave.deviceType = deviceType;
        slave.productCode = productCode;
        page->setCanObject(&slave);
        QTEST(field(QStringLiteral("Device Type"))->text(), "deviceTypeText");
        QTEST(field(QStringLiteral("Product Code"))->text(), "productCodeText");
        QCOMPARE(field(QStringLiteral("Vendor ID"))->text(), QStringLiteral("000001A2"));
        QCOMPARE(field(QStringLiteral("Revision Number"))->text(), QStringLiteral("00010001"));
        QVERIFY(!field(QStringLiteral("Vendor ID"))->isEnabled());
        QCOMPARE(field(QStringLiteral("Name"))->text(), slave.name);
    }

    void cobIdsFollowChosenNodeId_data()
    {
        QTest::addColumn<int>("relative");
        QTest::addColumn<quint32>("emcyBase");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("emcyText");
        QTest::addColumn<QString>("guardText");
        QTest::newRow("relative, node 5") << 1 << 0x80u << "5" << "85" << "705";
        QTest::newRow("relative, node 127") << 1 << 0x80u << "127" << "FF" << "77F";
        QTest::newRow("fixed emergency COB-ID") << 0 << 0x81u << "42" << "81" << "72A";
    }
    void cobIdsFollowChosenNodeId()
    {
        QFETCH(int, relative);
        QFETCH(quint32, emcyBase);
        QFETCH(QString, typed);
        slave.emcyCobIdRelative = relative;
        slave.emcyCobIdBase = emcyBase;
        page->setCanObject(&slave);
        auto *combo = field<QComboBox>(QStringLiteral("Node ID"));
        QCOMPARE(combo->currentText(), QStringLiteral("3"));
        QCOMPARE(field(QStringLiteral("Node Guard COB-ID"))->text(), QStringLiteral("703"));
        // Typing on a closed list selects the matching id.
        combo->setFocus();
        QTest::keyClicks(combo, typed);
        // At once, before any OK: the slave and every PDO carry the new id.
        QCOMPARE(int(slave.nodeId), typed.toInt());
        for (const PDOConfig &pdo : qAsConst(slave.pdoList))
            QCOMPARE(int(pdo.nodeId), typed.toInt());
        QTEST(field(QStringLiteral("Emergency COB-ID"))->text(), "emcyText");
        QTEST(field(QStringLiteral("Node Guard COB-ID"))->text(), "guardText");
    }

    void nodeIdNotOfferedSelectsNothing()
    {
        page = std::make_unique<SlaveInfoPage>(QList<int>{1, 2, 10}, nullptr);
        slave.setNodeId(9);
        page->setCanObject(&slave);
        auto *combo = field<QComboBox>(QStringLiteral("Node ID"));
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(field(QStringLiteral("Emergency COB-ID"))->text(), QStringLiteral("89"));
        page->applyToCanObject();
        QCOMPARE(int(slave.nodeId), 9);
    }

    void timesAcceptOnlyTheirRange_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::newRow("monitor, maximum") << "Monitor Timer(ms)" << "65535" << 65535;
        QTest::newRow("heartbeat, beyond maximum") << "Heart Beat Timer(ms)" << "70000" << 7000;
        QTest::newRow("master monitor, minus refused") << "Master Monitor Timer(ms)" << "-25" << 25;
        QTest::newRow("monitor, zero") << "Monitor Timer(ms)" << "0" << 0;
    }
    void timesAcceptOnlyTheirRange()
    {
        QFETCH(QString, label);
        QFETCH(QString, typed);
        page->setCanObject(&slave);
        auto *box = field<QSpinBox>(label);
        QVERIFY(box);
        typeInto(box, typed);
        QTest::keyClick(box, Qt::Key_Tab);
        page->applyToCanObject();
        const int value = label.startsWith(QLatin1String("Monitor")) ? slave.monitorTime
                          : label.startsWith(QLatin1String("Heart"))  ? slave.heartbeatTime
                                                                      : slave.masterMonitorTime;
        QTEST(value, "stored");
    }

    // Name (at most 24 characters), times and checks are written on apply only,
    // the checks inverted into the skip flags.
    void nothingButTheNodeIdIsWrittenBeforeApply()
    {
        slave.skipRevisionCheck = true;
        const CanObject before = slave;
        page->setCanObject(&slave);
        QVERIFY(check("Product Code")->isChecked() && check("Vendor ID")->isChecked() && check("Device Type")->isChecked());
        QVERIFY(!check("Revision Number")->isChecked());
        typeInto(field(QStringLiteral("Name")), QStringLiteral("abcdefghijklmnopqrstuvwxyz0123"));
        typeInto(field<QSpinBox>(QStringLiteral("Monitor Timer(ms)")), QStringLiteral("5"));
        QTest::mouseClick(check("Product Code"), Qt::LeftButton);
        QTest::mouseClick(check("Revision Number"), Qt::LeftButton);
        QString difference;
        QVERIFY2(sameSlave(slave, before, &difference), qPrintable(difference));
        page->applyToCanObject();
        QCOMPARE(slave.name, QStringLiteral("abcdefghijklmnopqrstuvwx"));
        QCOMPARE(slave.monitorTime, 5);
        QCOMPARE(int(slave.checkFlags()), 0x04);
    }

    void fillsOnlyOnce()
    {
        page->setCanObject(&slave);
        typeInto(field(QStringLiteral("Name")), QStringLiteral("Typed"));
        CanObject other = makeTestSlave(QStringLiteral("/stations/other.hwc"));
        other.name = QStringLiteral("Other");
        other.vendorId = 0x99;
        page->setCanObject(&other);
        QCOMPARE(field(QStringLiteral("Name"))->text(), QStringLiteral("Typed"));
        QCOMPARE(field(QStringLiteral("Vendor ID"))->text(), QStringLiteral("000001A2"));
        page->applyToCanObject();
        QCOMPARE(slave.name, QStringLiteral("Typed"));
        QCOMPARE(other.name, QStringLiteral("Other"));
    }
};

QTEST_MAIN(tst_SlaveInfoPage)
#include "tst_slaveinfopage.moc"
