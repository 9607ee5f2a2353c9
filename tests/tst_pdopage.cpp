// The PDO tab, its property dialog and mapping editor, driven as a user drives them.

#include "modalanswerer.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"
#include "testslave.h"
#include "widgetfinding.h"
#include "ui/newpdodialog.h"
#include "ui/parameterinedslisttable.h"
#include "ui/pdoparameterlisttable.h"
#include "ui/pdopage.h"
#include "ui/pdoparametereditdialog.h"
#include "ui/pdoproperty.h"

#include <QtTest>
#include <QtWidgets>

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

// In the editor: a double-click on an EDS object ("7000/1"), or the mapped
// table's "&Add" with the new object dialog accepted ("new") or cancelled;
// message: the box that comes instead.
void pick(PDOParameterEditDialog *editor, ModalAnswerer &answerer, const QString &what, const QString &message = {})
{
    if (what.startsWith(QLatin1String("new"))) {
        answerer.chooseMenuAction(QStringLiteral("Add"));
        if (!message.isEmpty())
            answerer.answerMessageBox(QMessageBox::Ok);
        else
            answerer.onModal([what](QWidget *w) {
                QVERIFY(qobject_cast<NewPDODialog *>(w));
                clickButton(w, what == QLatin1String("new") ? QStringLiteral("OK") : QStringLiteral("Cancel"));
            });
        openContextMenu(editor->mappedTable()->table(), 0);
        return;
    }
    if (!message.isEmpty())
        answerer.answerMessageBox(QMessageBox::Ok);
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
    // Opens the mapping editor or the property dialog of 0x1800 (row 2) by button or
    // double-click (only the editor), lets user act in it, and waits till it is gone.
    void onRow2(const QString &button, bool byButton, std::function<void(QWidget *)> user)
    {
        ModalAnswerer answerer;
        answerer.onModal(user);
        selectRows(mapped(), {2}, 1);
        byButton ? clickButton(page.get(), button) : doubleClickCell(mapped(), 2, 1);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.failure(), QString());
    }

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
        QCOMPARE(rowTexts(eds(), 4), QStringList({"1801", "TPDO2", "FE", "10", "500"}));
        // A new PDO is empty; bit 31 of its EDS COB-ID does not show.
        doubleClickCell(eds(), 5, 1);
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
            if (how == QLatin1String("menu"))
                answerer.chooseMenuAction(QStringLiteral("Add"));
            if (!message.isEmpty())
                answerer.answerMessageBox(QMessageBox::Ok);
            how == QLatin1String("menu") ? openContextMenu(eds(), rows.first()) : clickButton(page.get(), QStringLiteral("Add"));
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
        QCOMPARE(pdoIndexes(slave), QStringList({"1400", "1402", "1801"}));
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
        onRow2(QStringLiteral("Config"), byButton, [&](QWidget *w) {
            auto *editor = qobject_cast<PDOParameterEditDialog *>(w);
            QVERIFY(editor);
            QTableWidget *lower = editor->mappedTable()->table();
            if (add) {
                ModalAnswerer inner;
                pick(editor, inner, QStringLiteral("7000/1"));
            } else {
                selectRows(lower, {0}, 1);
                QTest::keyClick(lower, Qt::Key_Delete);
            }
            QCOMPARE(columnTexts(lower, 0), add ? QStringList({"6000", "6401", "7000"}) : QStringList{"6401"});
            clickButton(editor, accept ? QStringLiteral("OK") : QStringLiteral("Cancel"));
        });
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

    // Type 254 typed, event timer 250, OK or Cancel.
    void propertyFromPage_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void propertyFromPage()
    {
        QFETCH(bool, accept);
        PDOConfig expected = *slave.pdo(0x1800);
        if (accept) {
            expected.transmissionType = 254;
            expected.eventTimer = 250;
        }
        clickButton(page.get(), QStringLiteral("Property")); // nothing chosen: nothing opens
        onRow2(QStringLiteral("Property"), true, [accept](QWidget *w) {
            auto *dialog = qobject_cast<PDOProperty *>(w);
            QVERIFY(dialog);
            dialog->typeCombo()->setFocus();
            QTest::keyClicks(dialog->typeCombo(), QStringLiteral("254"));
            typeInto(dialog->eventTimerBox(), QStringLiteral("250"));
            clickButton(dialog, accept ? QStringLiteral("OK") : QStringLiteral("Cancel"));
        });
        QVERIFY(*slave.pdo(0x1800) == expected);
        QCOMPARE(mapped()->item(2, 4)->text(), QString::number(expected.transmissionType));
    }

    // Inhibit time 7000, beyond what the dialog takes.
    void propertyDialog_data()
    {
        QTest::addColumn<quint32>("commIndex");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("timers");
        QTest::addColumn<int>("storedType");
        QTest::newRow("T 255") << 0x1800u << 255 << "" << "255 - asynchronous" << true << 255;
        QTest::newRow("T 255, then 1") << 0x1800u << 255 << "1" << "1 - synchronous(cyclic)" << false << 1;
        QTest::newRow("T 1, then 254") << 0x1800u << 1 << "254" << "254 - asynchronous" << true << 254;
        QTest::newRow("T 253") << 0x1800u << 253 << "" << "253 - asynchronous(RTR only)" << false << 253;
        QTest::newRow("T 245 unknown") << 0x1800u << 245 << "" << "0 - synchronous(acyclic)" << false << 0;
        QTest::newRow("R 254") << 0x1400u << 254 << "" << "254 - asynchronous" << false << 254;
        QTest::newRow("R 252 unknown") << 0x1400u << 252 << "" << "0 - synchronous(acyclic)" << false << 0;
        QTest::newRow("R 240") << 0x1400u << 240 << "" << "240 - synchronous(cyclic)" << false << 240;
    }
    void propertyDialog()
    {
        QFETCH(quint32, commIndex);
        QFETCH(QString, typed);
        QFETCH(int, type);
        PDOConfig record = pdoConfig(commIndex, commIndex == 0x1800 ? 0x180 : 0x200, 10);
        record.transmissionType = quint8(type);
        record.inhibitTime = 7000;
        record.eventTimer = 700;
        PDOProperty dialog(&record, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.cobIdEdit()->text(), commIndex == 0x1800 ? QStringLiteral("18a") : QStringLiteral("20a"));
        QVERIFY(!dialog.cobIdEdit()->isEnabled());
        if (!typed.isEmpty()) {
            dialog.typeCombo()->setFocus();
            QTest::keyClicks(dialog.typeCombo(), typed);
        }
        QCOMPARE(dialog.typeCombo()->count(), commIndex == 0x1800 ? 245 : 243);
        QTEST(dialog.typeCombo()->currentText(), "shown");
        QTEST(dialog.eventTimerBox()->isEnabled(), "timers");
        QTEST(dialog.inhibitTimeBox()->isEnabled(), "timers");
        clickButton(&dialog, QStringLiteral("OK"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QTEST(int(record.transmissionType), "storedType");
        QCOMPARE(int(record.inhibitTime), 6553);
        QCOMPARE(int(record.eventTimer), 700);
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
        const QString fixed = QStringLiteral("Parameter Can Not Be Added To ReadOnly PDO!");
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
        QTest::newRow("fixed mapping, EDS object") << 0x1401u << none << -1 << -1 << "6411/1A" << fixed << "";
        QTest::newRow("fixed mapping, new object") << 0x1401u << none << -1 << -1 << "new" << fixed << "";
    }
    void mappingEditor()
    {
        QFETCH(quint32, commIndex);
        QFETCH(QList<int>, preload);
        QFETCH(int, inputSize);
        QFETCH(int, fallbackSize);
        QFETCH(QString, what);
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
        ModalAnswerer answerer;
        pick(&editor, answerer, what, message);
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

    // A device's fixed mapping stays read-only through the block, and comes back
    // with its PDO when that is removed and added again.
    void fixedMappingComesBack_data()
    {
        QTest::addColumn<bool>("onPdoPage");
        QTest::newRow("recompiled from the block") << false;
        QTest::newRow("removed and added back on the PDO page") << true;
    }
    void fixedMappingComesBack()
    {
        QFETCH(bool, onPdoPage);
        CanObject *s = createCanObject(nullptr, QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds"), 5, key);
        QVERIFY(s);
        const QList<PDOMapEntry> fixed = s->pdo(0x1800)->mapList;
        QVERIFY(fixed.size() == 2 && fixed.at(0).readOnly && fixed.at(1).readOnly);
        if (onPdoPage) {
            page->setCanObject(s);
            clickCell(mapped(), 2, 0);
            clickButton(page.get(), QStringLiteral("Remove"));
            QVERIFY(!s->pdo(0x1800));
            doubleClickCell(eds(), 2, 0);
        } else {
            QByteArray block;
            CompileList symbols;
            compile(s, block, symbols);
            releaseObject(s);
            s = recompile(block, key, nullptr);
            QVERIFY(s);
        }
        QCOMPARE(s->pdo(0x1800)->mapList, fixed);
        page.reset();
        releaseObject(s);
    }
};

QTEST_MAIN(tst_PdoPage)
#include "tst_pdopage.moc"
