// The device page driven as a user drives it.

#include "plugin/hostservices.h"
#include "testslave.h"
#include "widgetfinding.h"
#include "ui/slaveinfopage.h"

#include <QtTest>
#include <QtWidgets>

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

    // Each field sits right of the label that names it.
    void fieldsBesideTheirLabels()
    {
        QWidget *group = field(QStringLiteral("Name"))->parentWidget();
        const auto *grid = qobject_cast<QGridLayout *>(group->layout());
        QVERIFY(grid);
        for (QLabel *label : group->findChildren<QLabel *>()) {
            int row, column, labelRow, labelColumn, span;
            grid->getItemPosition(grid->indexOf(label), &labelRow, &labelColumn, &span, &span);
            grid->getItemPosition(grid->indexOf(label->buddy()), &row, &column, &span, &span);
            QCOMPARE(QPoint(column, row), QPoint(labelColumn + 1, labelRow));
        }
    }

    void identityAndCobIds_data()
    {
        QTest::addColumn<quint32>("deviceType");
        QTest::addColumn<quint32>("productCode");
        QTest::addColumn<QString>("productName");
        QTest::addColumn<int>("relative");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown"); // device type, product code, emergency, node guard
        QTest::newRow("padded, node 5") << 0x00020191u << 0x4A7u << "IO-8" << 1 << "5"
                                        << QStringList{"IO-8(00020191)", "000004A7", "85", "705"};
        QTest::newRow("full width, node 127") << 0xFFFFFFFFu << 0xabcdef12u << "Drive" << 1 << "127"
                                              << QStringList{"Drive(FFFFFFFF)", "ABCDEF12", "FF", "77F"};
        QTest::newRow("no product name, fixed emergency COB-ID")
            << 0u << 0u << "" << 0 << "42" << QStringList{"(00000000)", "00000000", "80", "72A"};
    }
    void identityAndCobIds()
    {
        QFETCH(quint32, deviceType);
        QFETCH(quint32, productCode);
        QFETCH(QString, productName);
        QFETCH(int, relative);
        QFETCH(QString, typed);
        // The host knows the product by the EDS file name, without its directory.
        setCanSlaveProductName(QStringLiteral("io-8.eds"), productName);
        slave.deviceType = deviceType;
        slave.productCode = productCode;
        slave.emcyCobIdRelative = relative;
        page->setCanObject(&slave);
        QCOMPARE(field(QStringLiteral("Vendor ID"))->text(), QStringLiteral("000001A2"));
        QCOMPARE(field(QStringLiteral("Revision Number"))->text(), QStringLiteral("00010001"));
        QCOMPARE(field(QStringLiteral("Name"))->text(), slave.name);
        QCOMPARE(field(QStringLiteral("Node Guard COB-ID"))->text(), QStringLiteral("703"));
        auto *combo = field<QComboBox>(QStringLiteral("Node ID"));
        QCOMPARE(combo->currentText(), QStringLiteral("3"));
        // Typing on a closed list selects the matching id; at once, before any OK,
        // the slave and every PDO carry it.
        combo->setFocus();
        QTest::keyClicks(combo, typed);
        QCOMPARE(int(slave.nodeId), typed.toInt());
        for (const PDOConfig &pdo : qAsConst(slave.pdoList))
            QCOMPARE(int(pdo.nodeId), typed.toInt());
        const QStringList shown{field(QStringLiteral("Device Type"))->text(), field(QStringLiteral("Product Code"))->text(),
                                field(QStringLiteral("Emergency COB-ID"))->text(), field(QStringLiteral("Node Guard COB-ID"))->text()};
        QTEST(shown, "shown");
    }

    void nodeIdNotOfferedSelectsNothing()
    {
        page = std::make_unique<SlaveInfoPage>(QList<int>{1, 2, 10}, nullptr);
        slave.setNodeId(9);
        page->setCanObject(&slave);
        QCOMPARE(field<QComboBox>(QStringLiteral("Node ID"))->currentIndex(), -1);
        QCOMPARE(field(QStringLiteral("Emergency COB-ID"))->text(), QStringLiteral("89"));
        page->applyToCanObject();
        QCOMPARE(int(slave.nodeId), 9);
    }

    // Name (at most 24 characters), times and checks are written on apply only, to
    // the slave the page was filled from, the checks inverted into the skip flags.
    void nothingButTheNodeIdIsWrittenBeforeApply()
    {
        slave.skipRevisionCheck = true;
        const CanObject before = slave;
        page->setCanObject(&slave);
        QVERIFY(check("Product Code")->isChecked() && check("Vendor ID")->isChecked() && check("Device Type")->isChecked());
        QVERIFY(!check("Revision Number")->isChecked());
        typeInto(field(QStringLiteral("Name")), QStringLiteral("abcdefghijklmnopqrstuvwxyz0123"));
        typeInto(field<QSpinBox>(QStringLiteral("Heart Beat Timer(ms)")), QStringLiteral("70000"));
        QTest::mouseClick(check("Product Code"), Qt::LeftButton);
        QTest::mouseClick(check("Revision Number"), Qt::LeftButton);
        QString difference;
        QVERIFY2(sameSlave(slave, before, &difference), qPrintable(difference));
        CanObject other = makeTestSlave(QStringLiteral("/stations/other.hwc"));
        other.vendorId = 0x99;
        page->setCanObject(&other);
        QCOMPARE(field(QStringLiteral("Vendor ID"))->text(), QStringLiteral("000001A2"));
        page->applyToCanObject();
        QCOMPARE(slave.name, QStringLiteral("abcdefghijklmnopqrstuvwx"));
        QCOMPARE(int(slave.checkFlags()), 0x04);
        QCOMPARE(slave.heartbeatTime, 7000); // the last digit is refused
        QCOMPARE(other.name, before.name);
    }
};

QTEST_MAIN(tst_SlaveInfoPage)
#include "tst_slaveinfopage.moc"
