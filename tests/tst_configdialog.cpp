// The configuration dialog as a host opens it: edits on its pages, the ways out and
// what the host's slave and memory book look like afterwards; the device page alone.

#include "modalanswerer.h"
#include "model/hostservices.h"
#include "plugin/canslave.h"
#include "testslave.h"
#include "ui/canslavedlg.h"
#include "ui/memoryeditwidget.h"
#include "ui/paralistpage.h"
#include "ui/pdopage.h"
#include "ui/pdoparameterlisttable.h"
#include "ui/slaveinfopage.h"
#include "widgetfinding.h"

#include <QtTest>
#include <QtWidgets>

#include <helpsharemodule.h>

namespace {

const QString key = QStringLiteral("/stations/dialog.hwc");
const QStringList tabTitles{"CANopen Slave Device", "PDO Config", "SDO Config", "CANopen I/O Mapping"};

QTableWidget *mappingTable(QWidget *dialog)
{
    return dialog->findChild<ParaListPage *>()->mappedTable()->table();
}

// Node id 9 and a new name on the device page, 1401 removed on the PDO page;
// on the mapping page Output 2 removed and offset typed into Input 1's memory
// editor, which is left open.
void editEveryPage(QWidget *dialog, const QString &offset = QStringLiteral("40"))
{
    auto *combo = dialog->findChild<SlaveInfoPage *>()->findChild<QComboBox *>();
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Up);
    typeInto(dialog->findChild<SlaveInfoPage *>()->findChild<QLineEdit *>(), QStringLiteral("Conveyor IO"));
    showTab(dialog, tabTitles.at(1));
    auto *pdoPage = dialog->findChild<PDOpage *>();
    clickCell(pdoPage->mappedTable(), 1, 0);
    clickButton(pdoPage, QStringLiteral("Remove"));
    // A page shown anew shows what the other pages changed.
    showTab(dialog, tabTitles.at(3));
    QTableWidget *table = mappingTable(dialog);
    QCOMPARE(columnTexts(table, 0), QStringList({"6200", "6200", "6411", "6000", "6401"}));
    clickCell(table, 1, 2);
    QTest::keyClick(table, Qt::Key_Delete);
    doubleClickCell(table, 2, 4);
    auto *editor = table->viewport()->findChild<MemoryEditWidget *>();
    QVERIFY(editor);
    typeInto(editor->offsetBox(), offset);
}

} // namespace

class tst_ConfigDialog : public QObject
{
    Q_OBJECT

    // The user's steps inside the dialog; a failed check leaves it open, so it is closed then.
    int runDialog(bool readOnly, std::function<void(QWidget *)> user)
    {
        ModalAnswerer answerer;
        answerer.onModal(user, QStringLiteral("configuration dialog"));
        const int result = configCanObject(&slave, {3, 9, 17}, nullptr, readOnly);
        if (!answerer.failure().isEmpty())
            qWarning("%s", qPrintable(answerer.failure()));
        return result;
    }

    void showDevicePage(QList<int> ids = {})
    {
        for (int id = ids.isEmpty() ? 1 : 128; id <= 127; ++id)
            ids.append(id);
        device = std::make_unique<SlaveInfoPage>(ids, nullptr);
        device->show();
        device->setCanObject(&slave);
    }
    // The device page's field a label names.
    template<typename T = QLineEdit>
    T *field(const QString &labelText) const
    {
        QLabel *label = childWithText<QLabel>(device.get(), labelText);
        return label ? qobject_cast<T *>(label->buddy()) : nullptr;
    }
    QCheckBox *check(const char *what) const
    {
        return childWithText<QCheckBox>(device.get(), QStringLiteral("Check ") + QLatin1String(what));
    }

    CanObject slave;
    std::unique_ptr<SlaveInfoPage> device;

private slots:
    void init()
    {
        clearAllMemory();
        resetHelpRequests();
        clearCanSlaveProductNames();
        slave = makeTestSlave(key);
    }
    void cleanup()
    {
        device.reset();
        setHelpLanguage(QString());
    }

    // Leaving by a tab change or by focus to Help takes the open editor's place too.
    void leavingAfterEdits_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("expected");
        QTest::newRow("OK") << "&OK" << false << 0;
        QTest::newRow("tab change, OK") << "PDO Config" << false << 0;
        QTest::newRow("focus to Help, OK") << "Help" << false << 0;
        QTest::newRow("Cancel") << "&Cancel" << false << 1;
        QTest::newRow("read-only, OK pressed") << "&OK" << true << 1;
        QTest::newRow("read-only, accepted by code") << "accept" << true << 1;
        // Offset 2 is Input 2's: OK asks whether to keep the old place or go back to the editor.
        QTest::newRow("taken place, OK, old place kept") << "keep" << false << 0;
        QTest::newRow("taken place, OK, back to the editor") << "back" << false << 1;
    }
    void leavingAfterEdits()
    {
        QFETCH(QString, how);
        QFETCH(bool, readOnly);
        QFETCH(int, expected);
        const CanObject before = slave;
        const QSet<QPair<int, int>> reservationsBefore = reservedBytes(key);
        const int result = runDialog(readOnly, [&](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), readOnly ? QStringLiteral("CANopen Slave Config (read-only)") : QStringLiteral("CANopen Slave Config"));
            QCOMPARE(childWithText<QPushButton>(dialog, QStringLiteral("&OK"))->isEnabled(), !readOnly);
            // Browsing and editing work either way.
            const bool taken = how == QLatin1String("keep") || how == QLatin1String("back");
            editEveryPage(dialog, taken ? QStringLiteral("2") : QStringLiteral("40"));
            QPointer<MemoryEditWidget> editor = mappingTable(dialog)->viewport()->findChild<MemoryEditWidget *>();
            if (taken) {
                ModalAnswerer question;
                question.answerMessageBox(how == QLatin1String("keep") ? QMessageBox::Yes : QMessageBox::No);
                clickButton(dialog, QStringLiteral("&OK"));
                QTRY_VERIFY(question.done());
                QCOMPARE(question.messageTexts(), QStringList{"Input 1 cannot go to %I,2: %I,2 is taken or lies beyond its area. "
                                                              "Keep it at %I,0, or go back to the editor?"});
                if (how == QLatin1String("keep"))
                    return;
                editor = qobject_cast<MemoryEditWidget *>(mappingTable(dialog)->indexWidget(mappingTable(dialog)->model()->index(2, 4)));
                QVERIFY(editor && editor->isVisible());
                QCOMPARE(editor->offsetBox()->value(), 2);
                QCOMPARE(editor->refusal(), QStringLiteral("%I,2 is taken or lies beyond its area."));
                clickButton(dialog, QStringLiteral("&Cancel"));
                return;
            }
            if (how == QLatin1String("PDO Config") || how == QLatin1String("Help")) {
                how == QLatin1String("Help") ? clickButton(dialog, how) : showTab(dialog, how);
                QTRY_VERIFY(!editor || !editor->isVisible());
                QVERIFY(how != "Help" || QApplication::focusWidget() == childWithText<QPushButton>(dialog, how));
                QCOMPARE(mappingTable(dialog)->item(2, 4)->text(), QStringLiteral("%I,40"));
                QVERIFY(how == QLatin1String("Help") || dialog->findChild<PDOpage *>()->mappedTable()->item(0, 3)->text() == "3");
                clickButton(dialog, QStringLiteral("&OK"));
                return;
            }
            if (how.startsWith(QLatin1Char('&')))
                clickButton(dialog, how);
            else
                qobject_cast<QDialog *>(dialog)->accept();
        });
        QCOMPARE(result, expected);
        QCOMPARE(memorySnapshotDepth(key), 0);
        // Help opens from the page shown, whichever it is.
        QCOMPARE(helpRequestCount(), how == QLatin1String("Help") ? 1 : 0);
        QVERIFY(how != QLatin1String("Help") || lastHelpKeyWord() == QLatin1String("Config CANopen Slave in HW Config"));
        // What OK keeps: node id 9, the name, 1401 (%Q4-%Q8) and Output 2 (%Q1) gone
        // and their bytes free, Input 1 at %I40.
        CanObject edited = before;
        QSet<QPair<int, int>> expectedBytes = reservationsBefore;
        if (expected == 0) {
            edited.setNodeId(9);
            edited.name = QStringLiteral("Conveyor IO");
            edited.pdoList.removeAt(1);
            edited.pdo(0x1400)->mapList.removeAt(1);
            for (int q : {1, 4, 5, 6, 7, 8})
                expectedBytes.remove({VarAreaOutput, q});
            if (how != QLatin1String("keep")) {
                edited.pdo(0x1800)->mapList[0].offset = 40;
                expectedBytes.remove({VarAreaInput, 0});
                expectedBytes.insert({VarAreaInput, 40});
            }
        }
        QString difference;
        QVERIFY2(sameSlave(slave, edited, &difference), qPrintable(difference));
        QCOMPARE(reservedBytes(key), expectedBytes);
    }

    // A row's height more for each PDO row past 16 or mapped row past 18, whichever needs more; six PDOs in use.
    void openingSize_data()
    {
        QTest::addColumn<int>("offered");
        QTest::addColumn<int>("mappedEach");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("all rows fit") << 10 << 3 << QSize(2000, 2000) << QSize(800, 600);
        QTest::newRow("a 17th PDO row") << 11 << 3 << QSize(2000, 2000) << QSize(800, 620);
        QTest::newRow("mapped rows past 18") << 0 << 4 << QSize(2000, 2000) << QSize(800, 720);
        QTest::newRow("within 9/10 of the screen") << 40 << 0 << QSize(850, 1000) << QSize(765, 900);
        QTest::newRow("no screen, no bound") << 40 << 0 << QSize() << QSize(800, 1200);
    }
    void openingSize()
    {
        QFETCH(int, offered);
        QFETCH(int, mappedEach);
        QFETCH(QSize, screen);
        CanObject big(5);
        big.edsPdoList = QVector<EdsPdoEntry>(offered).toList();
        PDOConfig pdo;
        pdo.mapList = QVector<PDOMapEntry>(mappedEach).toList();
        big.pdoList = QVector<PDOConfig>(6, pdo).toList();
        QTEST(dialogOpeningSize(big, QSize(), screen), "expected");
    }

    // A size the user gives the dialog stays for the rest of the session.
    void dialogSize()
    {
        QSize opened;
        runDialog(false, [&](QWidget *dialog) { dialog->resize(900, 560), clickButton(dialog, QStringLiteral("&Cancel")); });
        runDialog(false, [&](QWidget *dialog) { opened = dialog->size(), clickButton(dialog, QStringLiteral("&Cancel")); });
        QCOMPARE(opened, QSize(900, 560));
    }

    // Return on a table row does the row's own work and never accepts the dialog;
    // Tab leaves a table for the next field.
    void keysInTables()
    {
        const int result = runDialog(false, [&](QWidget *dialog) {
            showTab(dialog, tabTitles.at(1));
            QTableWidget *pdos = dialog->findChild<PDOpage *>()->mappedTable();
            clickCell(pdos, 0, 1);
            ModalAnswerer mappingEditor; // Return configures the PDO, as a double-click does
            mappingEditor.onModal([](QWidget *w) { QCOMPARE(w->windowTitle(), QStringLiteral("PDO Mapping")); });
            QTest::keyClick(pdos, Qt::Key_Return);
            QTRY_VERIFY(mappingEditor.done());
            QCOMPARE(mappingEditor.failure(), QString());
            QVERIFY(dialog->isVisible());
            pdos->setFocus();
            QTest::keyClick(pdos, Qt::Key_Tab);
            QVERIFY(QApplication::focusWidget() != pdos);
            showTab(dialog, tabTitles.at(3));
            clickCell(mappingTable(dialog), 0, 2);
            QTest::keyClick(mappingTable(dialog), Qt::Key_Return); // opens the memory editor
            auto *editor = qobject_cast<MemoryEditWidget *>(mappingTable(dialog)->indexWidget(mappingTable(dialog)->model()->index(0, 4)));
            QVERIFY(editor);
            QTest::keyClick(editor->offsetBox(), Qt::Key_Return); // takes its place unchanged
            QTRY_VERIFY(!mappingTable(dialog)->indexWidget(mappingTable(dialog)->model()->index(0, 4)));
            QVERIFY(dialog->isVisible());
            clickButton(dialog, QStringLiteral("&Cancel"));
        });
        QCOMPARE(result, 1);
    }

    // In Chinese while the dialog is open, and only then; the user's data stays as it is.
    // An English word on a page means a text outside tr() or an unfinished translation
    // (scripts/update-translations adds new texts unfinished).
    void speaksTheHelpLanguage()
    {
        slave.name = QStringLiteral("Unknown Device"); // as restore names a slave whose EDS is lost
        QStringList shown, english;
        setHelpLanguage(QStringLiteral("zh_CN"));
        runDialog(false, [&](QWidget *dialog) {
            shown << dialog->findChild<QTabBar *>()->tabText(1) << dialog->findChild<SlaveInfoPage *>()->findChild<QLineEdit *>()->text();
            QStringList texts;
            for (int tab = 0; tab < tabTitles.size(); ++tab)
                texts << dialog->findChild<QTabBar *>()->tabText(tab);
            for (QWidget *w : dialog->findChildren<QWidget *>()) {
                if (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) || qobject_cast<QGroupBox *>(w))
                    texts << w->property("text").toString() << w->property("title").toString();
                for (QAction *action : w->actions())
                    texts << action->text();
                const auto *table = qobject_cast<QTableWidget *>(w);
                for (int column = 0; table && column < table->columnCount(); ++column)
                    texts << table->horizontalHeaderItem(column)->text();
            }
            english = texts.filter(QRegularExpression(QStringLiteral("\\b[A-Za-z]?[a-z]{3,}\\b")));
            qobject_cast<QDialog *>(dialog)->accept();
        });
        QVERIFY(shown.at(0) != tabTitles.at(1) && shown.at(1) != slave.name);
        QVERIFY2(english.isEmpty(), qPrintable(english.join(QLatin1String(" | "))));
        QCOMPARE(QCoreApplication::translate("CanSlaveDlg", "PDO Config"), tabTitles.at(1));
        QCOMPARE(slave.name, QStringLiteral("Unknown Device"));
        // A host that hands over no slave gets "nothing changed".
        QCOMPARE(configCanObject(nullptr, {3}, nullptr, false), 1);
    }

    // The node id is written at once, to the slave and every PDO, with the COB-IDs
    // shown; name (at most 24 characters), times and checks only on apply, to the
    // slave the page was filled from, the checks inverted into the skip flags.
    void devicePage_data()
    {
        QTest::addColumn<quint32>("deviceType");
        QTest::addColumn<QString>("productName");
        QTest::addColumn<int>("relative");
        QTest::addColumn<QString>("typed");     // none: node 9, which the host does not offer
        QTest::addColumn<QStringList>("shown"); // device type, emergency, node guard
        QTest::newRow("padded, node 5") << 0x00020191u << "IO-8" << 1 << "5" << QStringList{"IO-8(00020191)", "85", "705"};
        QTest::newRow("full width, node 127") << 0xABCDEF12u << "Drive" << 1 << "127" << QStringList{"Drive(ABCDEF12)", "FF", "77F"};
        QTest::newRow("no product name, fixed emergency COB-ID") << 0u << "" << 0 << "42" << QStringList{"(00000000)", "80", "72A"};
        QTest::newRow("node id not offered") << 0x191u << "IO-8" << 1 << "" << QStringList{"IO-8(00000191)", "89", "709"};
        // A name longer than the edit takes and times beyond the boxes, as a file or stream gives them.
        QTest::newRow("long name and times untouched")
            << 0x191u << "IO-8" << 1 << "untouched" << QStringList{"IO-8(00000191)", "83", "703"};
    }
    void devicePage()
    {
        QFETCH(quint32, deviceType);
        QFETCH(QString, productName);
        QFETCH(int, relative);
        QFETCH(QString, typed);
        // The host knows the product by the EDS file name, without its directory.
        setCanSlaveProductName(QStringLiteral("io-8.eds"), productName);
        slave.deviceType = deviceType, slave.emcyCobIdRelative = relative, slave.skipRevisionCheck = true;
        const bool untouched = typed == QLatin1String("untouched");
        const int node = typed.isEmpty() ? 9 : untouched ? 3 : typed.toInt();
        slave.setNodeId(typed.isEmpty() ? 9 : 3);
        if (untouched) {
            slave.name = QStringLiteral("sample device according to CiA 401");
            slave.monitorTime = 70000, slave.heartbeatTime = -1;
        }
        CanObject before = slave;
        showDevicePage(typed.isEmpty() ? QList<int>{1, 2, 10} : QList<int>());
        QCOMPARE(field(QStringLiteral("Revision Number"))->text(), QStringLiteral("00010001"));
        QVERIFY(!field(QStringLiteral("Revision Number"))->isEnabled() && field(QStringLiteral("Name"))->isEnabled()); // shown, not typed
        QVERIFY(check("Product Code")->isChecked() && check("Vendor ID")->isChecked() && check("Device Type")->isChecked());
        QVERIFY(!check("Revision Number")->isChecked());
        // Typing on a closed list selects the matching id.
        field<QComboBox>(QStringLiteral("Node ID"))->setFocus();
        if (!untouched) {
            QTest::keyClicks(field<QComboBox>(QStringLiteral("Node ID")), typed);
            typeInto(field(QStringLiteral("Name")), QStringLiteral("abcdefghijklmnopqrstuvwxyz0123"));
            typeInto(field<QSpinBox>(QStringLiteral("Monitor Timer(ms)")), QStringLiteral("250"));
            typeInto(field<QSpinBox>(QStringLiteral("Heart Beat Timer(ms)")), QStringLiteral("70000"));
            typeInto(field<QSpinBox>(QStringLiteral("Master Monitor Timer(ms)")), QStringLiteral("1500"));
        }
        QTest::mouseClick(check("Product Code"), Qt::LeftButton);
        QTest::mouseClick(check("Revision Number"), Qt::LeftButton);
        const QStringList shown{field(QStringLiteral("Device Type"))->text(), field(QStringLiteral("Emergency COB-ID"))->text(),
                                field(QStringLiteral("Node Guard COB-ID"))->text()};
        QTEST(shown, "shown");
        before.setNodeId(quint8(node));
        QString difference;
        QVERIFY2(sameSlave(slave, before, &difference), qPrintable(difference));
        CanObject other = makeTestSlave(QStringLiteral("/stations/other.hwc"));
        other.vendorId = 0x99;
        device->setCanObject(&other);
        QCOMPARE(field(QStringLiteral("Vendor ID"))->text(), QStringLiteral("000001A2"));
        device->applyToCanObject();
        QCOMPARE(int(slave.nodeId), node);
        QCOMPARE(slave.name, untouched ? before.name : QStringLiteral("abcdefghijklmnopqrstuvwx"));
        QCOMPARE(int(slave.checkFlags()), 0x04);
        // The heartbeat's last digit is refused.
        const QList<qint32> times{slave.monitorTime, slave.heartbeatTime, slave.masterMonitorTime};
        QCOMPARE(times, untouched ? QList<qint32>({70000, -1, 2400}) : QList<qint32>({250, 7000, 1500}));
        QCOMPARE(other.name, QStringLiteral("IO module"));
    }

    // Every field sits right of the label that names it.
    void deviceFieldsBesideTheirLabels()
    {
        showDevicePage();
        QCOMPARE(device->findChild<QGroupBox *>()->findChildren<QLabel *>().size(), 8); // node information comes first
        QCOMPARE(labelAwayFromItsField(device.get()), QString());
    }
};

QTEST_MAIN(tst_ConfigDialog)
#include "tst_configdialog.moc"
