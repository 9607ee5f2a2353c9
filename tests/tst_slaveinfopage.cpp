// The device page driven as a user drives it.

#include "plugin/hostservices.h"
#include "testslave.h"
#include "ui/slaveinfopage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

namespace {

const QString key = QStringLiteral("/stations/device-page.hwc");

QList<int> allNodeIds()
{
    QList<int> ids;
    for (int id = 1; id <= 127; ++id)
        ids.append(id);
    return ids;
}

template<typename T>
T *fieldOf(QWidget *page, const QString &labelText)
{
    const QList<QLabel *> labels = page->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->text() == labelText)
            return qobject_cast<T *>(label->buddy());
    }
    return nullptr;
}

QCheckBox *checkBox(QWidget *page, const QString &text)
{
    const QList<QCheckBox *> boxes = page->findChildren<QCheckBox *>();
    for (QCheckBox *box : boxes) {
        if (box->text() == text)
            return box;
    }
    return nullptr;
}

void typeInto(QWidget *widget, const QString &text)
{
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(widget, text);
}

} // namespace

class tst_SlaveInfoPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void identityDisplay_data();
    void identityDisplay();
    void cobIdsFollowChosenNodeId_data();
    void cobIdsFollowChosenNodeId();
    void nodeIdNotOfferedSelectsNothing();
    void nameIsLimitedTo24Characters();
    void timesAcceptOnlyTheirRange_data();
    void timesAcceptOnlyTheirRange();
    void checksAreWrittenInvertedOnApply();
    void nothingButTheNodeIdIsWrittenBeforeApply();
    void fillsOnlyOnce();

private:
    CanObject slave;
    std::unique_ptr<SlaveInfoPage> page;
};

void tst_SlaveInfoPage::init()
{
    clearAllMemory();
    clearCanSlaveProductNames();
    slave = makeTestSlave(key);
    page = std::make_unique<SlaveInfoPage>(allNodeIds(), nullptr);
    page->show();
}

void tst_SlaveInfoPage::cleanup()
{
    page.reset();
}

void tst_SlaveInfoPage::identityDisplay_data()
{
    QTest::addColumn<quint32>("vendorId");
    QTest::addColumn<quint32>("deviceType");
    QTest::addColumn<quint32>("productCode");
    QTest::addColumn<QString>("productName");
    QTest::addColumn<QString>("vendorText");
    QTest::addColumn<QString>("deviceTypeText");
    QTest::addColumn<QString>("productCodeText");

    QTest::newRow("padded") << 0x1A2u << 0x00020191u << 0x4A7u << "IO-8"
                            << "000001A2" << "IO-8(00020191)" << "000004A7";
    QTest::newRow("full width, upper case") << 0xDEADBEEFu << 0xFFFFFFFFu << 0xabcdef12u << "Drive"
                                            << "DEADBEEF" << "Drive(FFFFFFFF)" << "ABCDEF12";
    QTest::newRow("zero, no product name") << 0u << 0u << 0u << ""
                                           << "00000000" << "(00000000)" << "00000000";
}

void tst_SlaveInfoPage::identityDisplay()
{
    QFETCH(quint32, vendorId);
    QFETCH(quint32, deviceType);
    QFETCH(quint32, productCode);
    QFETCH(QString, productName);

    // The host knows the product by the EDS file name, without its directory.
    setCanSlaveProductName(QStringLiteral("io-8.eds"), productName);
    slave.vendorId = vendorId;
    slave.deviceType = deviceType;
    slave.productCode = productCode;
    page->setCanObject(&slave);

    QTEST(fieldOf<QLineEdit>(page.get(), QStringLiteral("Vendor ID"))->text(), "vendorText");
    QTEST(fieldOf<QLineEdit>(page.get(), QStringLiteral("Device Type"))->text(), "deviceTypeText");
    QTEST(fieldOf<QLineEdit>(page.get(), QStringLiteral("Product Code"))->text(), "productCodeText");
    QCOMPARE(fieldOf<QLineEdit>(page.get(), QStringLiteral("Revision Number"))->text(), QStringLiteral("00010001"));
    QVERIFY(!fieldOf<QLineEdit>(page.get(), QStringLiteral("Vendor ID"))->isEnabled());
    QCOMPARE(fieldOf<QLineEdit>(page.get(), QStringLiteral("Name"))->text(), slave.name);
}

void tst_SlaveInfoPage::cobIdsFollowChosenNodeId_data()
{
    QTest::addColumn<int>("relative");
    QTest::addColumn<quint32>("emcyBase");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("nodeId");
    QTest::addColumn<QString>("emcyText");
    QTest::addColumn<QString>("guardText");

    QTest::newRow("relative, node 5") << 1 << 0x80u << "5" << 5 << "85" << "705";
    QTest::newRow("relative, node 127") << 1 << 0x80u << "127" << 127 << "FF" << "77F";
    QTest::newRow("fixed emergency COB-ID") << 0 << 0x81u << "42" << 42 << "81" << "72A";
}

void tst_SlaveInfoPage::cobIdsFollowChosenNodeId()
{
    QFETCH(int, relative);
    QFETCH(quint32, emcyBase);
    QFETCH(QString, typed);
    QFETCH(int, nodeId);

    slave.emcyCobIdRelative = relative;
    slave.emcyCobIdBase = emcyBase;
    page->setCanObject(&slave);
    auto *combo = fieldOf<QComboBox>(page.get(), QStringLiteral("Node ID"));
    QCOMPARE(combo->currentText(), QStringLiteral("3"));
    QCOMPARE(fieldOf<QLineEdit>(page.get(), QStringLiteral("Node Guard COB-ID"))->text(), QStringLiteral("703"));

    // Typing on a closed list selects the matching id.
    combo->setFocus();
    QTest::keyClicks(combo, typed);
    QCOMPARE(combo->currentText(), typed);

    // At once, before any OK: the slave and every PDO carry the new id.
    QCOMPARE(int(slave.nodeId), nodeId);
    for (const PDOConfig &pdo : qAsConst(slave.pdoList))
        QCOMPARE(int(pdo.nodeId), nodeId);
    QTEST(fieldOf<QLineEdit>(page.get(), QStringLiteral("Emergency COB-ID"))->text(), "emcyText");
    QTEST(fieldOf<QLineEdit>(page.get(), QStringLiteral("Node Guard COB-ID"))->text(), "guardText");
}

void tst_SlaveInfoPage::nodeIdNotOfferedSelectsNothing()
{
    page = std::make_unique<SlaveInfoPage>(QList<int>{1, 2, 10}, nullptr);
    slave.setNodeId(9);
    page->setCanObject(&slave);
    auto *combo = fieldOf<QComboBox>(page.get(), QStringLiteral("Node ID"));
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(2), QStringLiteral("10"));
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(int(slave.nodeId), 9);
    QCOMPARE(fieldOf<QLineEdit>(page.get(), QStringLiteral("Emergency COB-ID"))->text(), QStringLiteral("89"));

    page->applyToCanObject();
    QCOMPARE(int(slave.nodeId), 9);
}

void tst_SlaveInfoPage::nameIsLimitedTo24Characters()
{
    page->setCanObject(&slave);
    auto *name = fieldOf<QLineEdit>(page.get(), QStringLiteral("Name"));
    typeInto(name, QStringLiteral("abcdefghijklmnopqrstuvwxyz0123"));
    QCOMPARE(name->text(), QStringLiteral("abcdefghijklmnopqrstuvwx"));
    page->applyToCanObject();
    QCOMPARE(slave.name, QStringLiteral("abcdefghijklmnopqrstuvwx"));
}

void tst_SlaveInfoPage::timesAcceptOnlyTheirRange_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");

    QTest::newRow("monitor, maximum") << "Monitor Timer(ms)" << "65535" << 65535;
    QTest::newRow("heartbeat, beyond maximum") << "Heart Beat Timer(ms)" << "70000" << 7000;
    QTest::newRow("master monitor, minus refused") << "Master Monitor Timer(ms)" << "-25" << 25;
    QTest::newRow("monitor, zero") << "Monitor Timer(ms)" << "0" << 0;
}

void tst_SlaveInfoPage::timesAcceptOnlyTheirRange()
{
    QFETCH(QString, label);
    QFETCH(QString, typed);
    QFETCH(int, stored);

    page->setCanObject(&slave);
    auto *box = fieldOf<QSpinBox>(page.get(), label);
    QVERIFY(box);
    QCOMPARE(box->maximum(), 65535);
    typeInto(box, typed);
    QTest::keyClick(box, Qt::Key_Tab);
    page->applyToCanObject();

    const int value = label.startsWith(QLatin1String("Monitor")) ? slave.monitorTime
                      : label.startsWith(QLatin1String("Heart"))  ? slave.heartbeatTime
                                                                  : slave.masterMonitorTime;
    QCOMPARE(value, stored);
}

void tst_SlaveInfoPage::checksAreWrittenInvertedOnApply()
{
    slave.skipRevisionCheck = true;
    page->setCanObject(&slave);
    QCheckBox *productCode = checkBox(page.get(), QStringLiteral("Check Product Code"));
    QCheckBox *revision = checkBox(page.get(), QStringLiteral("Check Revision Number"));
    QVERIFY(productCode->isChecked());
    QVERIFY(!revision->isChecked());
    QVERIFY(checkBox(page.get(), QStringLiteral("Check Vendor ID"))->isChecked());
    QVERIFY(checkBox(page.get(), QStringLiteral("Check Device Type"))->isChecked());

    QTest::mouseClick(productCode, Qt::LeftButton);
    QTest::mouseClick(revision, Qt::LeftButton);
    page->applyToCanObject();
    QVERIFY(slave.skipProductCodeCheck);
    QVERIFY(!slave.skipRevisionCheck);
    QCOMPARE(int(slave.checkFlags()), 0x04);
}

void tst_SlaveInfoPage::nothingButTheNodeIdIsWrittenBeforeApply()
{
    const CanObject before = slave;
    page->setCanObject(&slave);
    typeInto(fieldOf<QLineEdit>(page.get(), QStringLiteral("Name")), QStringLiteral("Renamed"));
    typeInto(fieldOf<QSpinBox>(page.get(), QStringLiteral("Monitor Timer(ms)")), QStringLiteral("5"));
    QTest::mouseClick(checkBox(page.get(), QStringLiteral("Check Vendor ID")), Qt::LeftButton);
    QString difference;
    QVERIFY2(sameSlave(slave, before, &difference), qPrintable(difference));

    page->applyToCanObject();
    QCOMPARE(slave.name, QStringLiteral("Renamed"));
    QCOMPARE(slave.monitorTime, 5);
    QVERIFY(slave.skipVendorIdCheck);
}

void tst_SlaveInfoPage::fillsOnlyOnce()
{
    page->setCanObject(&slave);
    auto *name = fieldOf<QLineEdit>(page.get(), QStringLiteral("Name"));
    typeInto(name, QStringLiteral("Typed"));

    CanObject other = makeTestSlave(QStringLiteral("/stations/other.hwc"));
    other.name = QStringLiteral("Other");
    other.vendorId = 0x99;
    page->setCanObject(&other);
    QCOMPARE(name->text(), QStringLiteral("Typed"));
    QCOMPARE(fieldOf<QLineEdit>(page.get(), QStringLiteral("Vendor ID"))->text(), QStringLiteral("000001A2"));
    page->applyToCanObject();
    QCOMPARE(slave.name, QStringLiteral("Typed"));
    QCOMPARE(other.name, QStringLiteral("Other"));
}

QTEST_MAIN(tst_SlaveInfoPage)
#include "tst_slaveinfopage.moc"
