// The configuration dialog as a host opens it: edits on every page, then OK,
// Cancel, Esc or the close button, and what the host's slave and memory book
// look like afterwards.

#include "modalanswerer.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"
#include "testslave.h"
#include "widgetfinding.h"
#include "ui/canslavedlg.h"
#include "ui/memoryeditwidget.h"
#include "ui/paralistpage.h"
#include "ui/pdoparameterlisttable.h"
#include "ui/pdopage.h"
#include "ui/sdopage.h"
#include "ui/slaveinfopage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <helpsharemodule.h>

namespace {

const QString key = QStringLiteral("/stations/dialog.hwc");
const QList<int> nodeIds{3, 9, 17};

// Every reserved byte as (area, offset): runs of neighbouring places merge in the book.
QSet<QPair<int, int>> reservedBytes()
{
    QSet<QPair<int, int>> bytes;
    const QList<MemoryReservation> runs = memoryReservations(key);
    for (const MemoryReservation &run : runs) {
        for (int offset = run.offset; offset < run.offset + run.size; ++offset)
            bytes.insert({run.area, offset});
    }
    return bytes;
}

void showTab(CanSlaveDlg *dialog, const QString &title)
{
    auto *tabs = dialog->findChild<QTabWidget *>();
    QTabBar *bar = tabs->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        if (bar->tabText(i) == title)
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
    }
    QCOMPARE(tabs->tabText(tabs->currentIndex()), title);
}

QTableWidget *mappingTable(CanSlaveDlg *dialog)
{
    return dialog->findChild<ParaListPage *>()->mappedTable()->table();
}

// Node id 9, a new name, "Check Product Code" off, a heartbeat time; then on the
// mapping page Output 2 removed and Input 1 moved to %I10.
void editEveryPage(CanSlaveDlg *dialog)
{
    auto *device = dialog->findChild<SlaveInfoPage *>();
    auto *combo = device->findChild<QComboBox *>();
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), QStringLiteral("17"));
    QTest::keyClick(combo, Qt::Key_Up);

    QLineEdit *name = device->findChildren<QLineEdit *>().first();
    name->setFocus();
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(name, QStringLiteral("Conveyor IO"));

    QCheckBox *productCheck = childWithText<QCheckBox>(device, QStringLiteral("Check Product Code"));
    QTest::mouseClick(productCheck, Qt::LeftButton, {}, QPoint(5, productCheck->height() / 2));

    QSpinBox *heartbeat = device->findChildren<QSpinBox *>().at(1);
    heartbeat->setFocus();
    QTest::keyClick(heartbeat, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(heartbeat, QStringLiteral("250"));

    showTab(dialog, QStringLiteral("CANopen I/O Mapping"));
    QTableWidget *table = mappingTable(dialog);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(1, 2)).center());
    QTest::keyClick(table, Qt::Key_Delete);
    QCOMPARE(table->rowCount(), 6);

    // Input 1 is now row 4.
    const QPoint memoryCell = table->visualItemRect(table->item(4, 4)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, memoryCell);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, memoryCell);
    auto *editor = table->viewport()->findChild<MemoryEditWidget *>();
    QVERIFY(editor);
    QTest::keyClick(editor->offsetBox(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor->offsetBox(), QStringLiteral("10"));
    QTest::keyClick(editor->offsetBox(), Qt::Key_Return);
    // The view commits the editor's data from the event loop.
    QTRY_COMPARE(table->item(4, 4)->text(), QStringLiteral("%1,10").arg(getMemName(VarAreaInput)));

    // Back on the device page, nothing typed there is lost.
    showTab(dialog, QStringLiteral("CANopen Slave Device"));
    QCOMPARE(name->text(), QStringLiteral("Conveyor IO"));
    QCOMPARE(combo->currentText(), QStringLiteral("9"));
}

void leaveDialog(CanSlaveDlg *dialog, const QString &how)
{
    if (how == QLatin1String("ok"))
        QTest::mouseClick(childWithText<QPushButton>(dialog, QStringLiteral("&OK")), Qt::LeftButton);
    else if (how == QLatin1String("cancel"))
        QTest::mouseClick(childWithText<QPushButton>(dialog, QStringLiteral("&Cancel")), Qt::LeftButton);
    else if (how == QLatin1String("escape"))
        QTest::keyClick(dialog, Qt::Key_Escape);
    else
        dialog->close();
}

} // namespace

class tst_ConfigDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void frameAndTabs();
    void leavingAfterEdits_data();
    void leavingAfterEdits();
    void readOnlyNeverAccepts_data();
    void readOnlyNeverAccepts();
    void helpFromEveryPage_data();
    void helpFromEveryPage();
    void nullSlaveChangesNothing();

private:
    int runDialog(bool readOnly, std::function<void(CanSlaveDlg *)> user);

    CanObject slave;
};

void tst_ConfigDialog::init()
{
    clearAllMemory();
    resetHelpRequests();
    slave = makeTestSlave(key);
}

int tst_ConfigDialog::runDialog(bool readOnly, std::function<void(CanSlaveDlg *)> user)
{
    ModalAnswerer answerer;
    answerer.onModal([&](QWidget *widget) {
        auto *dialog = qobject_cast<CanSlaveDlg *>(widget);
        if (!dialog) {
            QFAIL("the configuration dialog did not open");
        }
        user(dialog);
        // A failed check inside leaves the dialog open: close it.
        if (dialog->isVisible())
            dialog->reject();
    }, QStringLiteral("configuration dialog"));
    const int result = configCanObject(&slave, nodeIds, nullptr, readOnly);
    if (!answerer.failure().isEmpty())
        qWarning("%s", qPrintable(answerer.failure()));
    return result;
}

void tst_ConfigDialog::frameAndTabs()
{
    runDialog(false, [](CanSlaveDlg *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("CANopen Slave Config"));
        // Wider only when the platform's font needs more room than 800 pixels.
    QCOMPARE(dialog->size(), QSize(800, 600).expandedTo(dialog->minimumSizeHint()));
        auto *tabs = dialog->findChild<QTabWidget *>();
        QStringList titles;
        for (int i = 0; i < tabs->count(); ++i)
            titles.append(tabs->tabText(i));
        QCOMPARE(titles, (QStringList{"CANopen Slave Device", "PDO Config", "SDO Config", "CANopen I/O Mapping"}));
        QVERIFY(qobject_cast<SlaveInfoPage *>(tabs->widget(0)));
        QVERIFY(qobject_cast<PDOpage *>(tabs->widget(1)));
        QVERIFY(qobject_cast<SdoPage *>(tabs->widget(2)));
        QVERIFY(qobject_cast<ParaListPage *>(tabs->widget(3)));
        QCOMPARE(mappingTable(dialog)->rowCount(), 7);
        QVERIFY(dialog->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
    });
}

void tst_ConfigDialog::leavingAfterEdits_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("expected");
    QTest::newRow("OK") << "ok" << 0;
    QTest::newRow("Cancel") << "cancel" << 1;
    QTest::newRow("Esc") << "escape" << 1;
    QTest::newRow("close button") << "close" << 1;
}

void tst_ConfigDialog::leavingAfterEdits()
{
    QFETCH(QString, how);
    QFETCH(int, expected);
    const CanObject before = slave;
    const QSet<QPair<int, int>> reservationsBefore = reservedBytes();

    const int result = runDialog(false, [&](CanSlaveDlg *dialog) {
        editEveryPage(dialog);
        leaveDialog(dialog, how);
    });
    QCOMPARE(result, expected);
    QCOMPARE(memorySnapshotDepth(key), 0);

    if (expected == 1) {
        QString difference;
        QVERIFY2(sameSlave(slave, before, &difference), qPrintable(difference));
        QCOMPARE(reservedBytes(), reservationsBefore);
        return;
    }
    QCOMPARE(int(slave.nodeId), 9);
    QCOMPARE(slave.pdo(0x1400)->nodeId, quint8(9));
    QCOMPARE(slave.name, QStringLiteral("Conveyor IO"));
    QVERIFY(slave.skipProductCodeCheck);
    QVERIFY(!slave.skipVendorIdCheck);
    QCOMPARE(int(slave.heartbeatTime), 250);
    QCOMPARE(slave.pdo(0x1400)->mapList.size(), 2);
    QCOMPARE(slave.pdo(0x1800)->mapList.at(0).offset, 10);
    // Output 2 (%Q1) is free again and Input 1 sits at %I10 instead of %I0.
    QSet<QPair<int, int>> expectedBytes = reservationsBefore;
    expectedBytes.remove({VarAreaOutput, 1});
    expectedBytes.remove({VarAreaInput, 0});
    expectedBytes.insert({VarAreaInput, 10});
    QCOMPARE(reservedBytes(), expectedBytes);
}

void tst_ConfigDialog::readOnlyNeverAccepts_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK pressed") << "ok";
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("accepted by code") << "accept";
}

void tst_ConfigDialog::readOnlyNeverAccepts()
{
    QFETCH(QString, how);
    const CanObject before = slave;
    const QSet<QPair<int, int>> reservationsBefore = reservedBytes();

    const int result = runDialog(true, [&](CanSlaveDlg *dialog) {
        QPushButton *ok = childWithText<QPushButton>(dialog, QStringLiteral("&OK"));
        QVERIFY(!ok->isEnabled());
        // Browsing and editing still work.
        editEveryPage(dialog);
        if (how == QLatin1String("accept"))
            dialog->accept();
        else
            leaveDialog(dialog, how);
        if (dialog->isVisible())
            dialog->reject();
    });
    QCOMPARE(result, 1);
    QVERIFY(sameSlave(slave, before));
    QCOMPARE(reservedBytes(), reservationsBefore);
}

void tst_ConfigDialog::helpFromEveryPage_data()
{
    QTest::addColumn<QString>("tab");
    QTest::addColumn<bool>("byKey");
    for (const QString &tab : {QStringLiteral("CANopen Slave Device"), QStringLiteral("PDO Config"),
                               QStringLiteral("SDO Config"), QStringLiteral("CANopen I/O Mapping")}) {
        QTest::addRow("%s, Help button", qPrintable(tab)) << tab << false;
        QTest::addRow("%s, F1", qPrintable(tab)) << tab << true;
    }
}

void tst_ConfigDialog::helpFromEveryPage()
{
    QFETCH(QString, tab);
    QFETCH(bool, byKey);
    setHelpLanguage(QStringLiteral("en"));
    runDialog(false, [&](CanSlaveDlg *dialog) {
        showTab(dialog, tab);
        // Shortcuts only reach the active window.
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        if (byKey)
            QTest::keyClick(dialog->findChild<QTabWidget *>()->currentWidget(), Qt::Key_F1);
        else
            QTest::mouseClick(childWithText<QPushButton>(dialog, QStringLiteral("Help")), Qt::LeftButton);
        dialog->reject();
    });
    QCOMPARE(helpRequestCount(), 1);
    QCOMPARE(lastHelpKeyWord(), QStringLiteral("Config CANopen Slave in HW Config"));
}

void tst_ConfigDialog::nullSlaveChangesNothing()
{
    QCOMPARE(configCanObject(nullptr, nodeIds, nullptr, false), 1);
    QCOMPARE(memorySnapshotDepth(QString()), 0);
}

QTEST_MAIN(tst_ConfigDialog)
#include "tst_configdialog.moc"
