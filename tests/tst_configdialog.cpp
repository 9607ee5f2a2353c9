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
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include <helpsharemodule.h>

namespace {

const QString key = QStringLiteral("/stations/dialog.hwc");
const QStringList tabTitles{"CANopen Slave Device", "PDO Config", "SDO Config", "CANopen I/O Mapping"};

// Every reserved byte as (area, offset): runs of neighbouring places merge in the book.
QSet<QPair<int, int>> reservedBytes()
{
    QSet<QPair<int, int>> bytes;
    for (const MemoryReservation &run : memoryReservations(key)) {
        for (int offset = run.offset; offset < run.offset + run.size; ++offset)
            bytes.insert({run.area, offset});
    }
    return bytes;
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
    typeInto(name, QStringLiteral("Conveyor IO"));
    QCheckBox *productCheck = childWithText<QCheckBox>(device, QStringLiteral("Check Product Code"));
    QTest::mouseClick(productCheck, Qt::LeftButton, {}, QPoint(5, productCheck->height() / 2));
    typeInto(device->findChildren<QSpinBox *>().at(1), QStringLiteral("250"));

    showTab(dialog, tabTitles.at(3));
    QTableWidget *table = mappingTable(dialog);
    clickCell(table, 1, 2);
    QTest::keyClick(table, Qt::Key_Delete);
    QCOMPARE(table->rowCount(), 6);
    // Input 1 is now row 4.
    doubleClickCell(table, 4, 4);
    auto *editor = table->viewport()->findChild<MemoryEditWidget *>();
    QVERIFY(editor);
    typeInto(editor->offsetBox(), QStringLiteral("10"));
    QTest::keyClick(editor->offsetBox(), Qt::Key_Return);
    // The view commits the editor's data from the event loop.
    QTRY_COMPARE(table->item(4, 4)->text(), QStringLiteral("%1,10").arg(getMemName(VarAreaInput)));

    // Back on the device page, nothing typed there is lost.
    showTab(dialog, tabTitles.at(0));
    QCOMPARE(name->text(), QStringLiteral("Conveyor IO"));
    QCOMPARE(combo->currentText(), QStringLiteral("9"));
}

void leaveDialog(CanSlaveDlg *dialog, const QString &how)
{
    if (how == QLatin1String("ok"))
        clickButton(dialog, QStringLiteral("&OK"));
    else if (how == QLatin1String("cancel"))
        clickButton(dialog, QStringLiteral("&Cancel"));
    else if (how == QLatin1String("escape"))
        QTest::keyClick(dialog, Qt::Key_Escape);
    else if (how == QLatin1String("accept"))
        dialog->accept();
    else
        dialog->close();
}

} // namespace

class tst_ConfigDialog : public QObject
{
    Q_OBJECT

    int runDialog(bool readOnly, std::function<void(CanSlaveDlg *)> user)
    {
        ModalAnswerer answerer;
        answerer.onModal([&](QWidget *widget) {
            auto *dialog = qobject_cast<CanSlaveDlg *>(widget);
            QVERIFY2(dialog, "the configuration dialog did not open");
            user(dialog);
            // A failed check inside leaves the dialog open: close it.
            if (dialog->isVisible())
                dialog->reject();
        }, QStringLiteral("configuration dialog"));
        const int result = configCanObject(&slave, {3, 9, 17}, nullptr, readOnly);
        if (!answerer.failure().isEmpty())
            qWarning("%s", qPrintable(answerer.failure()));
        return result;
    }

    CanObject slave;

private slots:
    void init()
    {
        clearAllMemory();
        resetHelpRequests();
        slave = makeTestSlave(key);
    }

    void frameAndTabs()
    {
        runDialog(false, [](CanSlaveDlg *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("CANopen Slave Config"));
            auto *tabs = dialog->findChild<QTabWidget *>();
            QStringList titles;
            for (int i = 0; i < tabs->count(); ++i)
                titles.append(tabs->tabText(i));
            QCOMPARE(titles, tabTitles);
            QVERIFY(qobject_cast<SlaveInfoPage *>(tabs->widget(0)) && qobject_cast<PDOpage *>(tabs->widget(1))
                    && qobject_cast<SdoPage *>(tabs->widget(2)) && qobject_cast<ParaListPage *>(tabs->widget(3)));
            QCOMPARE(mappingTable(dialog)->rowCount(), 7);
            QVERIFY(dialog->windowFlags() & Qt::WindowCloseButtonHint);
            QVERIFY(!(dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
        });
    }

    // A PDO removed on its page is gone from the mapping page once that is shown again.
    void mappingPageFollowsPdoPage()
    {
        runDialog(false, [](CanSlaveDlg *dialog) {
            showTab(dialog, tabTitles.at(3));
            QCOMPARE(mappingTable(dialog)->rowCount(), 7);
            showTab(dialog, tabTitles.at(1));
            QTableWidget *pdos = dialog->findChild<PDOpage *>()->mappedTable();
            clickCell(pdos, 1, 1);
            clickButton(dialog->findChild<PDOpage *>(), QStringLiteral("Remove"));
            showTab(dialog, tabTitles.at(3));
            QCOMPARE(columnTexts(mappingTable(dialog), 0), QStringList({"6200", "6200", "6411", "6000", "6401"}));
            dialog->reject();
        });
    }

    void leavingAfterEdits_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("expected");
        QTest::newRow("OK") << "ok" << false << 0;
        QTest::newRow("Cancel") << "cancel" << false << 1;
        QTest::newRow("Esc") << "escape" << false << 1;
        QTest::newRow("close button") << "close" << false << 1;
        QTest::newRow("read-only, OK pressed") << "ok" << true << 1;
        QTest::newRow("read-only, accepted by code") << "accept" << true << 1;
    }
    void leavingAfterEdits()
    {
        QFETCH(QString, how);
        QFETCH(bool, readOnly);
        QFETCH(int, expected);
        const CanObject before = slave;
        const QSet<QPair<int, int>> reservationsBefore = reservedBytes();
        const int result = runDialog(readOnly, [&](CanSlaveDlg *dialog) {
            QCOMPARE(childWithText<QPushButton>(dialog, QStringLiteral("&OK"))->isEnabled(), !readOnly);
            // Browsing and editing work either way.
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
        QCOMPARE(int(slave.checkFlags()), 0x04);
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

    void helpFromEveryPage_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<bool>("byKey");
        for (const QString &tab : tabTitles) {
            QTest::addRow("%s, Help button", qPrintable(tab)) << tab << false;
            QTest::addRow("%s, F1", qPrintable(tab)) << tab << true;
        }
    }
    void helpFromEveryPage()
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
                clickButton(dialog, QStringLiteral("Help"));
            dialog->reject();
        });
        QCOMPARE(helpRequestCount(), 1);
        QCOMPARE(lastHelpKeyWord(), QStringLiteral("Config CANopen Slave in HW Config"));
    }

    void nullSlaveChangesNothing()
    {
        QCOMPARE(configCanObject(nullptr, {3}, nullptr, false), 1);
        QCOMPARE(memorySnapshotDepth(QString()), 0);
    }
};

QTEST_MAIN(tst_ConfigDialog)
#include "tst_configdialog.moc"
