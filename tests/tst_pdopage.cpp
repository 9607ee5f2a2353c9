// The PDO tab, its property dialog and mapping editor, driven as a user
// drives them, and the whole way from the configuration dialog to the block.

#include "modalanswerer.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"
#include "testslave.h"
#include "widgetfinding.h"
#include "ui/canslavedlg.h"
#include "ui/newpdodialog.h"
#include "ui/parameterinedslisttable.h"
#include "ui/pdoparameterlisttable.h"
#include "ui/pdopage.h"
#include "ui/pdoparametereditdialog.h"
#include "ui/pdoproperty.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

namespace {

const QString key = QStringLiteral("/stations/pdo.hwc");

EdsPdoEntry edsPdo(int index, const char *name, qint32 cobIdBase, quint32 type)
{
    EdsPdoEntry entry;
    entry.index = index;
    entry.parameterName = QLatin1String(name);
    entry.cobIdRelative = 1;
    entry.cobIdBase = cobIdBase;
    entry.transmissionType = type;
    entry.inhibitTime = 10;
    entry.eventTimer = 500;
    return entry;
}

QStringList pdoIndexes(const CanObject &slave)
{
    QStringList texts;
    for (const PDOConfig &pdo : slave.pdoList)
        texts.append(QString::number(pdo.commIndex, 16).toUpper());
    return texts;
}

QString entryText(const PDOMapEntry &e)
{
    return QStringLiteral("%1/%2 %3 type %4, %5 bytes at %6,%7").arg(e.index, 0, 16).arg(e.subIndex, 0, 16)
        .arg(e.name).arg(e.dataType).arg(e.byteLength).arg(e.area, 0, 16).arg(e.offset);
}

// Type 254 and event timer 250 typed into the property dialog, then OK or Cancel.
void editProperty(QWidget *w, const QString &timer, bool accept)
{
    auto *dialog = qobject_cast<PDOProperty *>(w);
    QVERIFY(dialog);
    dialog->typeCombo()->setFocus();
    QTest::keyClicks(dialog->typeCombo(), QStringLiteral("254"));
    typeInto(dialog->eventTimerBox(), timer);
    clickButton(dialog, accept ? QStringLiteral("OK") : QStringLiteral("Cancel"));
}

// In the editor: a double-click on an EDS object ("7000/1"), or the mapped
// table's "&Add" with the new object dialog accepted or cancelled.
void pick(PDOParameterEditDialog *editor, ModalAnswerer &answerer, const QString &what)
{
    if (what.startsWith(QLatin1String("new"))) {
        const bool accept = what == QLatin1String("new");
        answerer.chooseMenuAction(QStringLiteral("Add"));
        answerer.onModal([accept](QWidget *w) {
            QVERIFY(qobject_cast<NewPDODialog *>(w));
            clickButton(w, accept ? QStringLiteral("OK") : QStringLiteral("Cancel"));
        });
        openContextMenu(editor->mappedTable()->table(), 0);
        return;
    }
    const QStringList parts = what.split(QLatin1Char('/'));
    QTableWidget *table = editor->edsTable()->table();
    const int row = rowWithTexts(table, {parts.at(0), parts.at(1)});
    QVERIFY2(row >= 0, qPrintable(what));
    doubleClickCell(table, row, 1);
}

} // namespace

class tst_PdoPage : public QObject
{
    Q_OBJECT

    QTableWidget *eds() const { return page->edsTable(); }
    QTableWidget *mapped() const { return page->mappedTable(); }
    CanObject slave;
    std::unique_ptr<PDOpage> page;

private slots:
    void init()
    {
        clearAllMemory();
        resetMemoryAreaSizes();
        // The test slave uses 1400, 1401 and 1800 of these.
        slave = makeTestSlave(key);
        slave.edsPdoList = {edsPdo(0x1400, "RPDO1", 0x200, 255), edsPdo(0x1401, "RPDO2", 0x300, 255),
                            edsPdo(0x1402, "RPDO3", 0x400, 255), edsPdo(0x1800, "TPDO1", 0x180, 255),
                            edsPdo(0x1801, "TPDO2", 0x280, 254), edsPdo(0x1802, "TPDO3", qint32(0x80000380), 1)};
        page = std::make_unique<PDOpage>(nullptr);
        page->resize(700, 600);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        page->setCanObject(&slave);
    }
    void cleanup()
    {
        page.reset();
        resetMemoryAreaSizes();
    }

    void tablesShowTheModel()
    {
        QCOMPARE(columnTexts(eds(), 0), QStringList({"1400", "1401", "1402", "1800", "1801", "1802"}));
        QCOMPARE(rowTexts(eds(), 4), QStringList({"1801", "TPDO2", "FE", "10", "500"}));
        // A new PDO is empty; bit 31 of its EDS COB-ID does not show.
        doubleClickCell(eds(), 5, 1);
        QCOMPARE(mapped()->rowCount(), 4);
        QCOMPARE(rowTexts(mapped(), 0), QStringList({"1400", "203", "R", "4", "255", "RxPDO 1"}));
        QCOMPARE(rowTexts(mapped(), 1), QStringList({"1401", "303", "R", "5", "255", "RxPDO 2"}));
        QCOMPARE(rowTexts(mapped(), 2), QStringList({"1800", "183", "T", "3", "255", "TxPDO 1"}));
        QCOMPARE(rowTexts(mapped(), 3), QStringList({"1802", "383", "T", "0", "1", "TxPDO 3"}));
    }

    void addEdsPdos_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("message");
        const QStringList plus1402{"1400", "1401", "1402", "1800"}, unchanged{"1400", "1401", "1800"};
        QTest::newRow("three rows, two used, button") << QList<int>{0, 1, 2} << "button" << plus1402 << "";
        QTest::newRow("three rows, two used, menu") << QList<int>{2, 1, 0} << "menu" << plus1402 << "";
        QTest::newRow("two rows, both new")
            << QList<int>{5, 2} << "button" << QStringList{"1400", "1401", "1402", "1800", "1802"} << "";
        QTest::newRow("double-click, between used") << QList<int>{2} << "double-click" << plus1402 << "";
        QTest::newRow("double-click, used") << QList<int>{3} << "double-click" << unchanged << "";
        QTest::newRow("nothing selected") << QList<int>{} << "button" << unchanged
                                          << "Please select at least one parameter to add in the table above.";
    }
    void addEdsPdos()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QString, how);
        QFETCH(QStringList, expected);
        QFETCH(QString, message);
        ModalAnswerer answerer;
        if (how == QLatin1String("double-click")) {
            doubleClickCell(eds(), rows.first(), 1);
        } else {
            selectRows(eds(), rows, 1);
            if (!message.isEmpty())
                answerer.answerMessageBox(QMessageBox::Ok);
            if (how == QLatin1String("menu")) {
                answerer.chooseMenuAction(QStringLiteral("Add"));
                openContextMenu(eds(), rows.first());
                QTRY_VERIFY(answerer.done());
                QCOMPARE(actionTexts(page->contextMenu()), QStringList{"&Add"});
            } else {
                clickButton(page.get(), QStringLiteral("Add"));
            }
        }
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.failure(), QString());
        QCOMPARE(answerer.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(pdoIndexes(slave), expected);
        QCOMPARE(columnTexts(mapped(), 0), expected);
    }

    void removeRowsByMenu()
    {
        doubleClickCell(eds(), 2, 1);
        doubleClickCell(eds(), 4, 1);
        selectRows(mapped(), {1, 3}, 1);
        ModalAnswerer answerer;
        answerer.chooseMenuAction(QStringLiteral("Remove"));
        openContextMenu(mapped(), 3);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(actionTexts(page->contextMenu()), QStringList({"&Config", "&Remove", "-", "&Property"}));
        const QStringList left{"1400", "1402", "1801"};
        QCOMPARE(pdoIndexes(slave), left);
        QCOMPARE(columnTexts(mapped(), 0), left);
        QCOMPARE(columnTexts(mapped(), 1), QStringList({"203", "403", "283"}));
        // 1401 held %Q4-%Q8, 1800 held %I0 and %I2-%I3.
        QCOMPARE(memoryReservations(key), QList<MemoryReservation>({{VarAreaOutput, 0, 4}}));
    }

    void configMapping_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::addColumn<bool>("add");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("inputBytes");
        QTest::newRow("add, OK, button") << true << true << true << 7;
        QTest::newRow("add, Cancel, double-click") << false << true << false << 3;
        QTest::newRow("remove, OK, double-click") << false << false << true << 2;
        QTest::newRow("remove, Cancel, button") << true << false << false << 3;
    }
    void configMapping()
    {
        QFETCH(bool, byButton);
        QFETCH(bool, add);
        QFETCH(bool, accept);
        QFETCH(int, inputBytes);
        const PDOConfig before = *slave.pdo(0x1800);
        const QList<MemoryReservation> reservationsBefore = memoryReservations(key);
        saveMemoryUsedState(key); // the dialog frame's own snapshot
        ModalAnswerer answerer;
        answerer.onModal([&](QWidget *w) {
            auto *editor = qobject_cast<PDOParameterEditDialog *>(w);
            QVERIFY(editor);
            QTableWidget *lower = editor->mappedTable()->table();
            QCOMPARE(columnTexts(lower, 0), QStringList({"6000", "6401"}));
            if (add) {
                pick(editor, answerer, QStringLiteral("7000/1"));
                QCOMPARE(columnTexts(lower, 0), QStringList({"6000", "6401", "7000"}));
            } else {
                selectRows(lower, {0}, 1);
                QTest::keyClick(lower, Qt::Key_Delete);
                QCOMPARE(columnTexts(lower, 0), QStringList({"6401"}));
            }
            clickButton(editor, accept ? QStringLiteral("OK") : QStringLiteral("Cancel"));
        });
        if (byButton) {
            selectRows(mapped(), {2}, 1);
            clickButton(page.get(), QStringLiteral("Config"));
        } else {
            doubleClickCell(mapped(), 2, 1);
        }
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.failure(), QString());
        QCOMPARE(mapped()->item(2, 3)->text(), QString::number(inputBytes));
        QCOMPARE(reservedByteCount(key, VarAreaInput), inputBytes);
        QCOMPARE(memorySnapshotDepth(key), 1);
        if (!accept) {
            QVERIFY(*slave.pdo(0x1800) == before);
            QCOMPARE(memoryReservations(key), reservationsBefore);
        } else if (add) { // first fit for four bytes behind %I0 and %I2-%I3
            QCOMPARE(entryText(slave.pdo(0x1800)->mapList.at(2)), QStringLiteral("7000/1 Counter type 7, 4 bytes at 81,4"));
        }
        // The outer snapshot still rolls everything back.
        restoreMemoryUsedState(key);
        QCOMPARE(memoryReservations(key), reservationsBefore);
    }

    void propertyDialog_data()
    {
        QTest::addColumn<quint32>("commIndex");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("inhibit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("timers");
        QTest::addColumn<int>("storedType");
        QTest::addColumn<int>("storedInhibit");
        const struct {
            const char *name;
            quint32 comm;
            int type, inhibit;
            const char *typed, *shown;
            bool timers;
            int storedType, storedInhibit;
        } rows[] = {
            {"T 255", 0x1800, 255, 10, "", "255 - asynchronous", true, 255, 10},
            {"T 255, then 1", 0x1800, 255, 10, "1", "1 - synchronous(cyclic)", false, 1, 10},
            {"T 1, then 254", 0x1800, 1, 10, "254", "254 - asynchronous", true, 254, 10},
            {"T 253", 0x1800, 253, 0, "", "253 - asynchronous(RTR only)", false, 253, 0},
            {"T 245 unknown", 0x1800, 245, 0, "", "0 - synchronous(acyclic)", false, 0, 0},
            {"T inhibit above 6553", 0x1800, 255, 7000, "", "255 - asynchronous", true, 255, 6553},
            {"R 254", 0x1400, 254, 10, "", "254 - asynchronous", false, 254, 10},
            {"R 252 unknown", 0x1400, 252, 10, "", "0 - synchronous(acyclic)", false, 0, 10},
            {"R 240", 0x1400, 240, 10, "", "240 - synchronous(cyclic)", false, 240, 10},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << r.comm << r.type << r.inhibit << r.typed << r.shown << r.timers
                                  << r.storedType << r.storedInhibit;
    }
    void propertyDialog()
    {
        QFETCH(quint32, commIndex);
        QFETCH(QString, typed);
        QFETCH(bool, timers);
        PDOConfig record = pdoConfig(commIndex, commIndex == 0x1800 ? 0x180 : 0x200, 10);
        QFETCH(int, type);
        QFETCH(int, inhibit);
        record.transmissionType = quint8(type);
        record.inhibitTime = quint16(inhibit);
        record.eventTimer = 700;
        PDOProperty dialog(&record, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.cobIdEdit()->text(), commIndex == 0x1800 ? QStringLiteral("18a") : QStringLiteral("20a"));
        QVERIFY(!dialog.cobIdEdit()->isEnabled());
        QTEST(dialog.inhibitTimeBox()->text().toInt(), "storedInhibit");
        if (!typed.isEmpty()) {
            dialog.typeCombo()->setFocus();
            QTest::keyClicks(dialog.typeCombo(), typed);
        }
        QCOMPARE(dialog.typeCombo()->count(), commIndex == 0x1800 ? 245 : 243);
        QTEST(dialog.typeCombo()->currentText(), "shown");
        QCOMPARE(dialog.eventTimerBox()->isEnabled(), timers);
        QCOMPARE(dialog.inhibitTimeBox()->isEnabled(), timers);
        clickButton(&dialog, QStringLiteral("OK"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QTEST(int(record.transmissionType), "storedType");
        QTEST(int(record.inhibitTime), "storedInhibit");
        QCOMPARE(int(record.eventTimer), 700);
    }

    void propertyCancelledFromPage()
    {
        const PDOConfig before = *slave.pdo(0x1800);
        clickButton(page.get(), QStringLiteral("Property")); // nothing chosen: nothing opens
        ModalAnswerer answerer;
        answerer.onModal([](QWidget *w) { editProperty(w, QStringLiteral("250"), false); });
        selectRows(mapped(), {2}, 1);
        clickButton(page.get(), QStringLiteral("Property"));
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.failure(), QString());
        QVERIFY(*slave.pdo(0x1800) == before);
        QCOMPARE(mapped()->item(2, 4)->text(), QStringLiteral("255"));
    }

    void mappingEditor_data()
    {
        QTest::addColumn<quint32>("commIndex");
        QTest::addColumn<QList<int>>("preload"); // data types, placed at %I100 onwards
        QTest::addColumn<int>("inputSize");      // -1: the default size
        QTest::addColumn<int>("fallbackSize");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("added");
        const QString tooLong = QStringLiteral("The length of PDO has reached the maximum number 8 bytes.");
        const QList<int> none, sixBytes{DataTypeUnsigned32, DataTypeInteger16};
        QTest::newRow("UInt32 into empty transmit PDO")
            << 0x1801u << none << -1 << -1 << "7000/1" << "" << "7000/1 Counter type 7, 4 bytes at 81,4";
        QTest::newRow("Int16 into empty receive PDO") << 0x1402u << none << -1 << -1 << "6411/1A" << ""
                                                      << "6411/1a Write Analogue Output type 3, 2 bytes at 82,9";
        QTest::newRow("6 bytes, 4 more") << 0x1801u << sixBytes << -1 << -1 << "7000/1" << tooLong << "";
        QTest::newRow("6 bytes, 2 more") << 0x1801u << sixBytes << -1 << -1 << "6401/1" << ""
                                         << "6401/1 Read Analogue Input type 3, 2 bytes at 81,4";
        QTest::newRow("already mapped") << 0x1800u << none << -1 << -1 << "6000/1" << "" << "";
        QTest::newRow("already mapped, 8 bytes")
            << 0x1800u << QList<int>{DataTypeUnsigned32, DataTypeUnsigned8} << -1 << -1 << "6000/1" << tooLong << "";
        QTest::newRow("own area full, fallback") << 0x1801u << none << 4 << -1 << "6401/1" << ""
                                                 << "6401/1 Read Analogue Input type 3, 2 bytes at 84,0";
        QTest::newRow("no memory left")
            << 0x1801u << none << 4 << 0 << "6401/1" << "Memory map error, no more available!" << "";
        QTest::newRow("new object, defaults")
            << 0x1801u << none << -1 << -1 << "new" << "" << "1/0 NewPar0 type 6, 2 bytes at 81,4";
        QTest::newRow("new object, cancelled") << 0x1801u << none << -1 << -1 << "new-cancel" << "" << "";
    }
    void mappingEditor()
    {
        QFETCH(quint32, commIndex);
        QFETCH(QList<int>, preload);
        QFETCH(int, inputSize);
        QFETCH(int, fallbackSize);
        QFETCH(QString, message);
        QFETCH(QString, added);
        slave.addPdo(commIndex);
        PDOConfig *pdo = slave.pdo(commIndex);
        for (int i = 0; i < preload.size(); ++i)
            QVERIFY(mapPlaced(key, *pdo, 0x5000 + i, 0, quint8(preload.at(i)), QStringLiteral("pre"), VarAreaInput, 100 + 4 * i));
        if (inputSize >= 0)
            setMemoryAreaSize(VarAreaInput, inputSize);
        if (fallbackSize >= 0)
            setMemoryAreaSize(VarAreaFallback, fallbackSize);
        const PDOConfig before = *pdo;
        const QList<MemoryReservation> reservationsBefore = memoryReservations(key);

        PDOParameterEditDialog editor(&slave, pdo, nullptr);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        // Neither list can be pushed out of sight.
        QVERIFY(!editor.findChild<QSplitter *>()->isCollapsible(0) && !editor.findChild<QSplitter *>()->isCollapsible(1));
        ModalAnswerer answerer;
        if (!message.isEmpty())
            answerer.answerMessageBox(QMessageBox::Ok);
        QFETCH(QString, what);
        pick(&editor, answerer, what);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.failure(), QString());
        QCOMPARE(answerer.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(editor.mappedTable()->table()->rowCount(), pdo->mapList.size());
        if (added.isEmpty()) {
            QVERIFY(*pdo == before);
            QCOMPARE(memoryReservations(key), reservationsBefore);
            return;
        }
        QCOMPARE(pdo->mapList.size(), before.mapList.size() + 1);
        const PDOMapEntry &entry = pdo->mapList.last();
        QCOMPARE(entryText(entry), added);
        // Its place is reserved, and nothing else is.
        freeMemory(key, VarArea(entry.area), entry.offset, int(entry.byteLength));
        QCOMPARE(memoryReservations(key), reservationsBefore);
    }

    // Add 1801, map 6000/1 and 6401/1 into it, make it type 254 with an event
    // timer of 100, then leave the dialog; compile tells what the master gets.
    void throughConfigDialog_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void throughConfigDialog()
    {
        QFETCH(bool, accept);
        page.reset();
        const CanObject before = slave;
        const QList<MemoryReservation> reservationsBefore = memoryReservations(key);
        ModalAnswerer answerer;
        answerer.onModal([&](QWidget *w) {
            auto *dialog = qobject_cast<CanSlaveDlg *>(w);
            QVERIFY(dialog);
            auto *tabs = dialog->findChild<QTabWidget *>();
            tabs->setCurrentIndex(1);
            auto *pdoPage = qobject_cast<PDOpage *>(tabs->currentWidget());
            QVERIFY(pdoPage);
            doubleClickCell(pdoPage->edsTable(), 4, 1);
            answerer.onModal([&](QWidget *e) {
                auto *editor = qobject_cast<PDOParameterEditDialog *>(e);
                QVERIFY(editor);
                pick(editor, answerer, QStringLiteral("6000/1"));
                pick(editor, answerer, QStringLiteral("6401/1"));
                clickButton(editor, QStringLiteral("OK"));
            });
            doubleClickCell(pdoPage->mappedTable(), 3, 1);
            answerer.onModal([](QWidget *p) { editProperty(p, QStringLiteral("100"), true); });
            clickButton(pdoPage, QStringLiteral("Property"));
            QCOMPARE(pdoPage->mappedTable()->item(3, 3)->text(), QStringLiteral("3"));
            clickButton(dialog, accept ? QStringLiteral("&OK") : QStringLiteral("&Cancel"));
        });
        QCOMPARE(configCanObject(&slave, {3}, nullptr, false), accept ? 0 : 1);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.failure(), QString());
        QCOMPARE(memorySnapshotDepth(key), 0);

        // What a user gets from those steps, built on the model by hand: the
        // objects at the first free places of %I (%I0 and %I2-%I3 are taken).
        CanObject expected = before;
        if (accept) {
            QCOMPARE(expected.addPdo(0x1801), 3);
            PDOConfig &tpdo2 = *expected.pdo(0x1801);
            tpdo2.transmissionType = 254;
            tpdo2.eventTimer = 100;
            for (const auto &o : {std::make_pair(0x6000, 1), std::make_pair(0x6401, 4)}) {
                EdsEntry entry;
                expected.findMappable(o.first, 1, entry);
                PDOMapEntry &mapped = tpdo2.mapList[CanObject::addMapEntry(tpdo2, entry, -1)];
                mapped.area = VarAreaInput;
                mapped.offset = o.second;
            }
        }
        QString difference;
        QVERIFY2(sameSlave(slave, expected, &difference), qPrintable(difference));
        const QList<MemoryReservation> accepted{{VarAreaInput, 0, 6}, reservationsBefore.last()};
        QCOMPARE(memoryReservations(key), accept ? accepted : reservationsBefore);
        QByteArray block, expectedBlock, blockBefore;
        CompileList list;
        QCOMPARE(compile(&slave, block, list), 0);
        QCOMPARE(compile(&expected, expectedBlock, list), 0);
        CanObject original = before;
        QCOMPARE(compile(&original, blockBefore, list), 0);
        QCOMPARE(block.toHex(' '), expectedBlock.toHex(' '));
        QCOMPARE(block != blockBefore, accept);
    }
};

QTEST_MAIN(tst_PdoPage)
#include "tst_pdopage.moc"
