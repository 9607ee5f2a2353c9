// The pages on their own, driven as a user drives them: PDO tab, property dialog and
// mapping editor; SDO tab and New/Edit SDO dialog; I/O mapping tab and memory editor.

#include "modalanswerer.h"
#include "eds/edsfile.h"
#include "model/hostservices.h"
#include "model/sdovalue.h"
#include "model/slavefromeds.h"
#include "testslave.h"
#include "ui/maptabledelegate.h"
#include "ui/memoryeditwidget.h"
#include "ui/newpdodialog.h"
#include "ui/newsdodialog.h"
#include "ui/paralistpage.h"
#include "ui/parameterinedslisttable.h"
#include "ui/pdopage.h"
#include "ui/pdoparametereditdialog.h"
#include "ui/pdoparameterlisttable.h"
#include "ui/pdoproperty.h"
#include "ui/sdoobjects.h"
#include "ui/sdopage.h"
#include "widgetfinding.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QString key = QStringLiteral("/stations/pdo.hwc");

EdsPdoEntry edsPdo(int index, const char *name, qint32 cobIdBase, quint32 type)
{
    EdsPdoEntry entry;
    entry.index = index, entry.parameterName = QLatin1String(name), entry.cobIdRelative = 1, entry.cobIdBase = cobIdBase;
    entry.transmissionType = type, entry.inhibitTime = 10, entry.eventTimer = 500;
    return entry;
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
                const QList<QSpinBox *> boxes = w->findChildren<QSpinBox *>(); // typed past their ends: 1000 and 10 taken
                typeInto(boxes.at(0), QStringLiteral("10000")), typeInto(boxes.at(1), QStringLiteral("100"));
                clickButton(w, what == QLatin1String("new") ? QStringLiteral("OK") : QStringLiteral("Cancel"));
            });
        openContextMenu(editor->mappedTable()->table(), 0);
        return;
    }
    if (!message.isEmpty())
        answerer.answerMessageBox(QMessageBox::Ok);
    QTableWidget *table = editor->edsTable()->table();
    // "Return 7000/1", "Insert 7000/1": the row chosen, then the key.
    const QString object = what.section(QLatin1Char(' '), -1);
    int row = 0;
    while (row < table->rowCount() && rowTexts(table, row).mid(0, 2).join(QLatin1Char('/')) != object)
        ++row;
    QVERIFY2(row < table->rowCount(), qPrintable(what));
    if (what == object) {
        doubleClickCell(table, row, 1);
        return;
    }
    clickCell(table, row, 1);
    QTest::keyClick(table, what.startsWith(QLatin1String("Return")) ? Qt::Key_Return : Qt::Key_Insert);
    QVERIFY(editor->isVisible()); // Return takes the object, not the dialog
}

// Rows of the "New SDO" list: the test slave's writable objects and two more.
enum ParameterRow { Output8, AnalogueOut, SetPoint, Label };

// "index|sub-index|name|length|text|bytes", as the table shows it and then the bytes.
QString summary(const SDOEntry &sdo)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6").arg(sdo.index, 0, 16).arg(sdo.subIndex, 0, 16).arg(sdo.name)
        .arg(sdo.length).arg(sdo.dataText, QString::fromLatin1(sdo.data.toHex())).toUpper();
}

std::shared_ptr<const EdsFile> sdoDictionary()
{
    return loadEds(QStringLiteral(CANSLAVE_TEST_DATA "/sdo-dictionary.eds"));
}

// Rows of the test slave: 0x1400 rows 0-2, 0x1401 rows 3-4, 0x1800 rows 5-6.
enum Row { Out1, Out2, AnalogueQ, FixedWord, Out3, In1, AnalogueI };

} // namespace

class tst_Pages : public QObject
{
    Q_OBJECT

    QTableWidget *mapped() const { return page->mappedTable(); }
    // Opens a dialog on the PDO in row by button or double-click, lets user act in it.
    void onRow(int row, const QString &button, bool byButton, std::function<void(QWidget *)> user)
    {
        ModalAnswerer answerer;
        answerer.onModal(user);
        selectRows(mapped(), {row}, 1);
        byButton ? clickButton(page.get(), button) : doubleClickCell(mapped(), row, 1);
        QTRY_VERIFY2(answerer.done() && answerer.failure().isEmpty(), qPrintable(answerer.failure()));
    }
    // The I/O mapping page, shown on its own the first time.
    QTableWidget *table()
    {
        if (!ioPage) {
            page.reset();
            ioPage = std::make_unique<ParaListPage>(nullptr);
            ioPage->resize(700, 400);
            ioPage->show();
            static_cast<void>(QTest::qWaitForWindowActive(ioPage.get())); // the keys go to the active window
            ioPage->setCanObject(&slave);
        }
        return ioPage->mappedTable()->table();
    }
    PDOMapEntry &entryOfRow(int row)
    {
        const quint32 commIndex = table()->item(row, 0)->data(Qt::UserRole + 1).toUInt();
        return slave.pdo(commIndex)->mapList[table()->item(row, 0)->data(Qt::UserRole + 2).toInt()];
    }

    SdoPage *showSdoPage()
    {
        sdoPage = std::make_unique<SdoPage>(nullptr);
        sdoPage->show();
        sdoPage->setCanObject(&slave);
        return sdoPage.get();
    }

    CanObject slave;
    std::unique_ptr<PDOpage> page;
    std::unique_ptr<SdoPage> sdoPage;
    std::unique_ptr<ParaListPage> ioPage;

private slots:
    void init()
    {
        clearAllMemory();
        resetMemoryAreaSizes();
        slave = makeTestSlave(key);
        slave.mappableList.append(mappableEntry(0x2000, 1, DataTypeUnsigned32, QStringLiteral("rw"), QStringLiteral("Set Point")));
        slave.mappableList.append(mappableEntry(0x2001, 0, 9, QStringLiteral("wo"), QStringLiteral("Label")));
        // The test slave uses 1400, 1401 and 1800 of these.
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
        sdoPage.reset();
        ioPage.reset();
        resetMemoryAreaSizes();
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
            doubleClickCell(page->edsTable(), rows.first(), 1);
        } else {
            selectRows(page->edsTable(), rows, 1);
            if (how == QLatin1String("menu"))
                answerer.chooseMenuAction(QStringLiteral("Add"));
            if (!message.isEmpty())
                answerer.answerMessageBox(QMessageBox::Ok);
            how == QLatin1String("menu") ? openContextMenu(page->edsTable(), rows.first()) : clickButton(page.get(), QStringLiteral("Add"));
        }
        QTRY_VERIFY2(answerer.done() && answerer.failure().isEmpty(), qPrintable(answerer.failure()));
        QCOMPARE(answerer.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        QStringList indexes;
        for (const PDOConfig &pdo : qAsConst(slave.pdoList))
            indexes.append(QString::number(pdo.commIndex, 16));
        QCOMPARE(indexes, expected);
        QCOMPARE(columnTexts(mapped(), 0), expected);
        QCOMPARE(rowTexts(page->edsTable(), 4), QStringList({"1801", "TPDO2", "FE", "1.0", "500"})); // 10 x 100 us
        QCOMPARE(rowTexts(mapped(), 1), QStringList({"1401", "303", "R", "5", "255", "RxPDO 2"}));
        // A new PDO is empty; bit 31 of its EDS COB-ID does not show.
        if (expected.contains(QStringLiteral("1802")))
            QCOMPARE(rowTexts(mapped(), 4), QStringList({"1802", "383", "T", "0", "1", "TxPDO 3"}));
    }

    // "Description" from the PDO's number where the name is not RPDOn/TPDOn; the
    // COB-ID's identifier with its flag bits apart; a fixed mapping marked.
    void mappedPdoTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint32>("cobIdBase"); // node-relative, node 3
        QTest::addColumn<QStringList>("shown"); // COB-ID, description
        QTest::newRow("RPDO name") << "RPDO1" << 0x200u << QStringList{"203", "RxPDO 1"};
        QTest::newRow("name of a real file") << "Receive PDO Communication Parameter 0" << 0x200u << QStringList{"203", "RxPDO 1"};
        QTest::newRow("RPDO, a blank, the number") << "RPDO 1 communication parameter" << 0x200u << QStringList{"203", "RxPDO 1"};
        QTest::newRow("no RTR") << "RPDO1" << 0x40000200u << QStringList{"203 no RTR", "RxPDO 1"};
        QTest::newRow("29-bit identifier") << "RPDO1" << 0x20012340u << QStringList{"12343 29-bit", "RxPDO 1"};
    }
    void mappedPdoTexts()
    {
        QFETCH(QString, name);
        QFETCH(quint32, cobIdBase);
        slave.pdoList[0].name = name;
        slave.pdoList[0].cobIdBase = cobIdBase;
        page->setCanObject(&slave);
        QStringList shown{mapped()->item(0, 1)->text(), mapped()->item(0, 5)->text()};
        QTEST(shown, "shown");
        QCOMPARE(mapped()->item(0, 5)->toolTip(), QString());
        QCOMPARE(mapped()->item(1, 5)->toolTip(), QStringLiteral("The device fixes this PDO's mapping.")); // 1401
        // The I/O page names each object's PDO and COB-ID, and marks the fixed one.
        QCOMPARE(rowTexts(table(), Out1).mid(2, 2) + rowTexts(table(), Out1).mid(6), QStringList({"Output 1", "UInt8", shown.at(1), shown.at(0)}));
        QCOMPARE(table()->item(Out1, 2)->toolTip(), QString());
        QCOMPARE(table()->item(FixedWord, 2)->toolTip(), QStringLiteral("Fixed by the device: it cannot be removed or moved to another PDO."));
    }

    // Inhibit time 700.0 ms (7000 x 100 us); where the timers may be typed, event timer 250 and inhibit time 10 ms.
    void propertyDialog_data()
    {
        QTest::addColumn<int>("row"); // 0: 1400, receive; 2: 1800, transmit
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("timers");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("storedType");
        QTest::newRow("T 255, then 1") << 2 << 255 << "1" << "1 - synchronous(cyclic)" << false << true << 1;
        QTest::newRow("T 1, then 254") << 2 << 1 << "254" << "254 - asynchronous" << true << true << 254;
        QTest::newRow("T 1, then 255") << 2 << 1 << "255" << "255 - asynchronous" << true << true << 255;
        QTest::newRow("T 1, then 254, Cancel") << 2 << 1 << "254" << "254 - asynchronous" << true << false << 1;
        QTest::newRow("T 253") << 2 << 253 << "" << "253 - asynchronous(RTR only)" << false << true << 253;
        // A type the list does not offer stays unless another is chosen.
        QTest::newRow("T 245 unknown") << 2 << 245 << "" << "0 - synchronous(acyclic)" << false << true << 245;
        QTest::newRow("T 245 unknown, then 1") << 2 << 245 << "1" << "1 - synchronous(cyclic)" << false << true << 1;
        QTest::newRow("R 254") << 0 << 254 << "" << "254 - asynchronous" << false << true << 254;
        QTest::newRow("R 252 unknown") << 0 << 252 << "" << "0 - synchronous(acyclic)" << false << true << 252;
        QTest::newRow("R 240") << 0 << 240 << "" << "240 - synchronous(cyclic)" << false << true << 240;
    }
    void propertyDialog()
    {
        QFETCH(int, row);
        QFETCH(int, type);
        QFETCH(QString, typed);
        QFETCH(bool, timers);
        QFETCH(bool, accept);
        PDOConfig &pdo = slave.pdoList[row];
        pdo.transmissionType = quint8(type), pdo.inhibitTime = 7000, pdo.eventTimer = 700;
        page->setCanObject(&slave);
        PDOConfig expected = pdo;
        clickButton(page.get(), QStringLiteral("Property")); // nothing chosen: nothing opens
        onRow(row, QStringLiteral("Property"), true, [&](QWidget *w) {
            auto *dialog = qobject_cast<PDOProperty *>(w);
            QVERIFY(dialog);
            QVERIFY(!dialog->cobIdEdit()->isEnabled() && dialog->cobIdEdit()->text() == (row ? "183" : "203")); // shown, not edited
            if (!typed.isEmpty()) {
                dialog->typeCombo()->setFocus();
                QTest::keyClicks(dialog->typeCombo(), typed);
            }
            QTEST(dialog->typeCombo()->currentText(), "shown");
            QVERIFY(dialog->eventTimerBox()->isEnabled() == timers && dialog->inhibitTimeBox()->isEnabled() == timers);
            QCOMPARE(QStringLiteral("%1 to %2, %3").arg(dialog->inhibitTimeBox()->text()).arg(dialog->inhibitTimeBox()->maximum())
                         .arg(dialog->eventTimerBox()->maximum()), QStringLiteral("700.0 to 6553.5, 65535")); // 16 bits each
            if (timers) {
                typeInto(dialog->eventTimerBox(), QStringLiteral("250"));
                typeInto(dialog->inhibitTimeBox(), QStringLiteral("10"));
            }
            clickButton(dialog, accept ? QStringLiteral("OK") : QStringLiteral("Cancel"));
        });
        if (accept) {
            QFETCH(int, storedType);
            expected.transmissionType = quint8(storedType);
            expected.inhibitTime = timers ? 100 : 7000, expected.eventTimer = timers ? 250 : 700;
        }
        QVERIFY(slave.pdoList.at(row) == expected);
        QCOMPARE(mapped()->item(row, 4)->text(), QString::number(expected.transmissionType));
    }

    // The mapping editor opened on a PDO of the page; OK keeps what it did, Cancel
    // rolls the PDO and the memory book back, and the dialog frame's snapshot stays.
    void mappingEditor_data()
    {
        QTest::addColumn<quint32>("commIndex");
        QTest::addColumn<QList<int>>("preload"); // data types, placed at %I100 onwards
        QTest::addColumn<QList<int>>("sizes");   // of the input and fallback areas, when not the default
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("added");
        const QString tooLong = QStringLiteral("The length of PDO has reached the maximum number 8 bytes.");
        const QString fixed = QStringLiteral("Parameter Can Not Be Added To ReadOnly PDO!");
        const QString counter = QStringLiteral("7000/1 Counter type 7, 4 bytes at 81,4"); // first fit behind %I0, %I2-%I3
        const QList<int> none, sixBytes{DataTypeUnsigned32, DataTypeInteger16};
        QTest::newRow("in use, OK") << 0x1800u << none << none << "7000/1" << "" << true << counter;
        QTest::newRow("in use, Cancel") << 0x1800u << none << none << "7000/1" << "" << false << "";
        QTest::newRow("in use, Return, OK") << 0x1800u << none << none << "Return 7000/1" << "" << true << counter;
        QTest::newRow("in use, Insert, OK") << 0x1800u << none << none << "Insert 7000/1" << "" << true << counter;
        QTest::newRow("removed, OK") << 0x1800u << none << none << "remove" << "" << true << "removed";
        QTest::newRow("Int16 into empty receive PDO") << 0x1402u << none << none << "6411/1A" << "" << true
                                                      << "6411/1a Write Analogue Output type 3, 2 bytes at 82,9";
        QTest::newRow("6 bytes, 4 more") << 0x1801u << sixBytes << none << "7000/1" << tooLong << true << "";
        QTest::newRow("already mapped") << 0x1800u << none << none << "6000/1" << "" << true << "";
        QTest::newRow("the first object offered") << 0x1801u << none << none << "6000/1" << "" << true
                                                  << "6000/1 Read Input 8 Bit type 5, 1 bytes at 81,1";
        QTest::newRow("no memory left")
            << 0x1801u << none << QList<int>{4, 0} << "6401/1" << "Memory map error, no more available!" << true << "";
        QTest::newRow("new object, defaults")
            << 0x1801u << none << none << "new" << "" << true << "1000/10 NewPar0 type 6, 2 bytes at 81,4";
        QTest::newRow("new object, cancelled") << 0x1801u << none << none << "new-cancel" << "" << true << "";
        QTest::newRow("fixed mapping, EDS object") << 0x1401u << none << none << "6411/1A" << fixed << true << "";
        QTest::newRow("fixed mapping, new object") << 0x1401u << none << none << "new" << fixed << true << "";
    }
    void mappingEditor()
    {
        QFETCH(quint32, commIndex);
        QFETCH(QList<int>, preload);
        QFETCH(QList<int>, sizes);
        QFETCH(QString, what);
        QFETCH(QString, message);
        QFETCH(bool, accept);
        QFETCH(QString, added);
        slave.addPdo(commIndex);
        PDOConfig *pdo = slave.pdo(commIndex);
        for (int i = 0; i < preload.size(); ++i)
            QVERIFY(mapPlaced(key, *pdo, 0x5000 + i, 0, quint8(preload.at(i)), QStringLiteral("pre"), VarAreaInput, 100 + 4 * i));
        for (int i = 0; i < sizes.size(); ++i)
            setMemoryAreaSize(i ? VarAreaFallback : VarAreaInput, sizes.at(i));
        page->setCanObject(&slave);
        const PDOConfig before = *pdo;
        const QList<MemoryReservation> reservationsBefore = memoryReservations(key);
        saveMemoryUsedState(key); // the dialog frame's own snapshot
        ModalAnswerer answerer;
        const int row = columnTexts(mapped(), 0).indexOf(QString::number(commIndex, 16));
        // Config button and double-click take turns.
        onRow(row, QStringLiteral("Config"), commIndex % 2, [&](QWidget *w) {
            auto *editor = qobject_cast<PDOParameterEditDialog *>(w);
            QVERIFY(editor);
            QTableWidget *lower = editor->mappedTable()->table();
            QTableWidget *offered = editor->edsTable()->table(); // access in capitals, name, type and size
            QCOMPARE(rowTexts(offered, columnTexts(offered, 0).indexOf(QStringLiteral("2000"))), QStringList({"2000", "1", "RW", "Set Point", "UInt32", "4"}));
            QCOMPARE(rowTexts(offered, columnTexts(offered, 0).indexOf(QStringLiteral("6411"))).mid(3), QStringList({"Write Analogue Output", "Int16", "2"}));
            // A copy of the slave taken meanwhile shares its lists; the edits
            // must go into the slave the editor was opened on, not the copy.
            const CanObject copy = slave;
            if (what == QLatin1String("remove")) {
                selectRows(lower, {0}, 1);
                QTest::keyClick(lower, Qt::Key_Delete);
            } else {
                pick(editor, answerer, what, message);
            }
            QCOMPARE(lower->rowCount(), slave.pdo(commIndex)->mapList.size());
            QCOMPARE(copy.pdo(commIndex)->mapList.size(), before.mapList.size());
            const QString fill = QStringLiteral("%1 of 8 bytes").arg(CanObject::pdoByteLength(*slave.pdo(commIndex)));
            QVERIFY2(childWithText<QLabel>(editor, fill), qPrintable(fill));
            // Dragging hides neither table; the one PDO's objects need no memory column.
            QVERIFY(!editor->findChild<QSplitter *>()->childrenCollapsible() && lower->isColumnHidden(4));
            clickButton(editor, accept ? QStringLiteral("OK") : QStringLiteral("Cancel"));
        });
        QCOMPARE(answerer.failure(), QString());
        QCOMPARE(answerer.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        pdo = slave.pdo(commIndex);
        QCOMPARE(memorySnapshotDepth(key), 1);
        QCOMPARE(mapped()->item(row, 3)->text(), QString::number(CanObject::pdoByteLength(*pdo)));
        if (added == QLatin1String("removed")) {
            QVERIFY(pdo->mapList.size() == 1 && reservedByteCount(key, VarAreaInput) == 2);
        } else if (added.isEmpty()) {
            QVERIFY(*pdo == before);
            QCOMPARE(memoryReservations(key), reservationsBefore);
        } else {
            QCOMPARE(pdo->mapList.size(), before.mapList.size() + 1);
            const PDOMapEntry &entry = pdo->mapList.last();
            QCOMPARE(entryText(entry), added);
            // Its place is reserved, and nothing else is.
            freeMemory(key, VarArea(entry.area), entry.offset, int(entry.byteLength));
            QCOMPARE(memoryReservations(key), reservationsBefore);
        }
        // The outer snapshot still rolls everything back.
        restoreMemoryUsedState(key);
        QCOMPARE(memoryReservations(key), reservationsBefore);
    }

    void sdoDialog_data()
    {
        QTest::addColumn<int>("present");      // SDOs there before, 3000/0 onwards
        QTest::addColumn<QString>("existing"); // "index/sub-index/length/bytes/text": an SDO after those
        QTest::addColumn<QString>("open");
        QTest::addColumn<QList<int>>("rows");   // clicked in the list, the second and later with Ctrl
        QTest::addColumn<QStringList>("typed"); // index, sub-index, length, value; empty: left
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QStringList>("expected"); // the SDOs after the present ones
        const QStringList none, output8{"6200|1|WRITE OUTPUT 8 BIT|1|0|00"};
        QTest::newRow("eight present") << 8 << "" << "Add" << QList<int>{} << none << true << none;
        QTest::newRow("seven present, three chosen")
            << 7 << "" << "Add" << QList<int>{Output8, SetPoint, Label} << none << true << output8;
        // Taken over in row order, each sized by its object; an object without a size takes 1.
        QTest::newRow("three chosen, menu") << 0 << "" << "menu" << QList<int>{Label, Output8, AnalogueOut} << none << true
            << QStringList{output8.first(), "6411|1A|WRITE ANALOGUE OUTPUT|2|0|0000", "2001|0|LABEL|1|0|00"};
        QTest::newRow("Ctrl-click deselects") << 0 << "" << "Add" << QList<int>{0, 1, 1} << none << true << output8;
        QTest::newRow("object typed by hand")
            << 0 << "" << "Add" << QList<int>{} << QStringList{"1017", "0", "2", "100"} << true << QStringList{"1017|0||2|100|0064"};
        // A block read back leaves bytes only; the dialog gives them a text.
        QTest::newRow("Edit, Cancel")
            << 0 << "6200/1/1/0000007f/" << "Edit" << QList<int>{} << none << false << QStringList{"6200|1||1|16#7F|7F"};
        QTest::newRow("double-click, other object, OK")
            << 0 << "6200/1/1/0000007f/" << "double-click" << QList<int>{AnalogueOut} << QStringList{"", "", "", "-2"} << true
            << QStringList{"6411|1A|WRITE ANALOGUE OUTPUT|2|-2|FFFE"};
        QTest::newRow("tabbing through the list, OK")
            << 0 << "2000/1/4/00000007/7" << "tab" << QList<int>{} << none << true << QStringList{"2000|1|SET POINT|4|7|00000007"};
        // The value must fit the length; the field refuses what no form can become.
        QTest::newRow("value too long, OK refused")
            << 0 << "" << "Add" << QList<int>{Output8} << QStringList{"", "", "", "256"} << true << none;
        QTest::newRow("one chosen, the length widened") << 0 << "" << "Add" << QList<int>{Label} << QStringList{"", "", "2", "256"}
                                                        << true << QStringList{"2001|0|LABEL|2|256|0100"};
        QTest::newRow("typed value filtered") << 0 << "" << "Add" << QList<int>{} << QStringList{"2000", "1", "", "16#1g2x3"}
                                              << true << QStringList{"2000|1|SET POINT|4|16#123|00000123"};
        QTest::newRow("nothing chosen or typed, OK refused")
            << 0 << "" << "Add" << QList<int>{} << QStringList{"", "", "", "5"} << true << none;
        QTest::newRow("empty value, OK refused")
            << 0 << "2000/1/4//" << "double-click" << QList<int>{} << none << true << QStringList{"2000|1||4||"};
    }
    void sdoDialog()
    {
        QFETCH(int, present);
        QFETCH(QString, existing);
        QFETCH(QString, open);
        QFETCH(QList<int>, rows);
        QFETCH(QStringList, typed);
        QFETCH(bool, accept);
        const bool limit = present >= 7; // the eighth SDO is the last
        for (int i = 0; i < present; ++i)
            slave.addSdo({quint16(i == 2 ? 0x6000 : 0x3000 + i), quint8(i == 2), 1, QByteArray(1, char(i)), i == 2 ? QString() : QString::number(i), {}});
        const QStringList e = existing.split(QLatin1Char('/'));
        if (!existing.isEmpty())
            slave.addSdo({quint16(e.at(0).toUInt(nullptr, 16)), quint8(e.at(1).toUInt()), quint8(e.at(2).toUInt()),
                          QByteArray::fromHex(e.at(3).toLatin1()), e.at(4), {}});
        QTableWidget *table = showSdoPage()->sdoTable();
        ModalAnswerer answerer;
        if (open == QLatin1String("menu"))
            answerer.chooseMenuAction(QStringLiteral("Add"));
        if (present < 8)
            answerer.onModal([&](QWidget *dialog) {
                QCOMPARE(dialog->windowTitle(), existing.isEmpty() ? QStringLiteral("New SDO") : QStringLiteral("Edit SDO"));
                QCOMPARE(labelAwayFromItsField(dialog), QString());
                for (int i = 0; open == QLatin1String("tab") && i < 8; ++i)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                selectRows(static_cast<NewSDODialog *>(dialog)->parameterList()->table(), rows, 0);
                const QList<QSpinBox *> boxes = dialog->findChildren<QSpinBox *>();
                for (int i = 0; i < typed.size(); ++i) {
                    if (!typed.at(i).isEmpty())
                        typeInto(i < 3 ? static_cast<QWidget *>(boxes.at(i)) : dialog->findChild<QLineEdit *>(), typed.at(i));
                }
                clickButton(dialog, accept ? QStringLiteral("OK") : QStringLiteral("Cancel"));
            });
        if (limit)
            answerer.answerMessageBox(QMessageBox::Ok);
        if (!existing.isEmpty()) // the last row
            clickCell(table, table->rowCount() - 1, 2);
        if (open == QLatin1String("menu"))
            openContextMenu(table, 0);
        else if (open == QLatin1String("Add") || open == QLatin1String("Edit"))
            clickButton(sdoPage.get(), open);
        else
            doubleClickCell(table, table->rowCount() - 1, 2);
        QTRY_VERIFY2(answerer.done() && answerer.failure().isEmpty(), qPrintable(answerer.failure()));
        QCOMPARE(answerer.messageTexts(), limit ? QStringList{"The count of auto SDO has reached the maximum number 8."} : QStringList());
        QStringList got;
        for (int i = present; i < slave.sdoList.size(); ++i) {
            got.append(summary(slave.sdoList.at(i)));
            QCOMPARE(rowTexts(table, i).join(QLatin1Char('|')).toUpper(), got.last().section(QLatin1Char('|'), 0, 4));
        }
        QTEST(got, "expected");
        QCOMPARE(table->rowCount(), slave.sdoList.size());
    }
    // With the device's dictionary: every object the master may write is offered with type and
    // size; a typed object takes its name and size; a value must suit the object's type and limits.
    void sdoObjects_data()
    {
        QTest::addColumn<QString>("existing");  // SDOs already there, "index/sub-index ..."; one marked ">" is opened by Edit
        QTest::addColumn<QStringList>("rows");  // clicked in the list, "index/sub-index"
        QTest::addColumn<QStringList>("typed"); // index, sub-index, length, value; empty: left
        QTest::addColumn<int>("answer");        // to the question about a repeated object
        QTest::addColumn<QString>("problem");   // shown while OK is refused
        QTest::addColumn<QStringList>("expected");
        const QStringList heartbeat{"1017|0|PRODUCER HEARTBEAT TIME|2|100|0064"};
        const QString kept = QStringLiteral("1017|0|PRODUCER HEARTBEAT TIME|2|5|0005");
        const int yes = QMessageBox::Yes, no = QMessageBox::No, cancel = QMessageBox::Cancel;
        const struct { const char *name, *existing; QStringList rows, typed; int answer; const char *problem; QStringList expected; }
            table[] = {
            {"typed 0x1017: its name, 2 bytes", "", {}, {"1017", "0", "", "100"}, 0, "", heartbeat},
            {"chosen 0x6081", "", {"6081/0"}, {"", "", "", "16#10"}, 0, "", {"6081|0|PROFILE VELOCITY|4|16#10|00000010"}},
            {"1.5 for UNSIGNED32", "", {"6081/0"}, {"", "", "", "1.5"}, 0, "UInt32 takes whole numbers only.", {}},
            {"negative for UNSIGNED32", "", {"6081/0"}, {"", "", "", "-1"}, 0, "UInt32 takes 0 to 4294967295.", {}},
            {"INTEGER8 beyond its type", "", {"6098/0"}, {"", "", "", "200"}, 0, "Int8 takes -128 to 127.", {}},
            {"INTEGER16 beyond its type", "", {"2006/0"}, {"", "", "", "40000"}, 0, "Int16 takes -32768 to 32767.", {}},
            {"negative for UNSIGNED16", "", {"1017/0"}, {"", "", "", "-1"}, 0, "UInt16 takes 0 to 65535.", {}},
            {"INTEGER32's lowest, as a pattern", "", {"2007/0"}, {"", "", "", "16#80000000"}, 0,
             "", {"2007|0|POSITION|4|16#80000000|80000000"}},
            {"above limits, the low one after the node id", "", {"6098/0"}, {"", "", "", "6"}, 0, "The EDS allows 5 to 5 only.", {}},
            {"below the low limit", "", {}, {"6060", "0", "", "-4"}, 0, "The EDS allows -3 to 10 only.", {}},
            {"above the high limit, as a pattern", "", {}, {"6060", "0", "", "16#0B"}, 0, "The EDS allows -3 to 10 only.", {}},
            {"low limit, as a pattern", "", {}, {"6060", "0", "", "16#FD"}, 0, "", {"6060|0|MODES OF OPERATION|1|16#FD|FD"}},
            {"REAL32 without a point", "", {"2002/0"}, {"", "", "", "1"}, 0,
             "A floating point value needs a decimal point, as in 1.0.", {}},
            {"a string's value is no number of a type", "", {"2005/0"}, {"", "", "", "5"}, 0, "", {"2005|0|TAG|4|5|00000005"}},
            {"REAL32", "", {"2002/0"}, {"", "", "", "1.5"}, 0, "", {"2002|0|GAIN|4|1.5|3FC00000"}},
            {"REAL32 beyond its limit", "", {"2002/0"}, {"", "", "", "2.5"}, 0, "The EDS allows 0 to 2 only.", {}},
            {"not in the EDS, length chosen", "", {}, {"5000", "2", "3", "16#123456"}, 0, "", {"5000|2||3|16#123456|123456"}},
            {"not in the EDS, length left", "", {}, {"5000", "2", "", "1"}, 0, "", {"5000|2||4|1|00000001"}},
            {"typed beyond the boxes' ends", "", {}, {"10000", "100", "5", "1"}, 0, "", {"1000|10||4|1|00000001"}},
            {"several rows, one value", "", {"1017/0", "6060/0"}, {"", "", "", "7"}, 0,
             "", {"1017|0|PRODUCER HEARTBEAT TIME|2|7|0007", "6060|0|MODES OF OPERATION|1|7|07"}},
            {"several rows, value beyond one", "", {"1017/0", "6060/0"}, {"", "", "", "11"}, 0,
             "The EDS allows -3 to 10 only.", {}},
            {"repeat replaces", "1017/0", {}, {"1017", "0", "", "100"}, yes, "", heartbeat},
            {"repeat added", "1017/0", {}, {"1017", "0", "", "100"}, no, "", {kept, heartbeat.first()}},
            {"repeat dropped", "1017/0", {}, {"1017", "0", "", "100"}, cancel, "", {kept}},
            {"Edit, sub-index retyped to a repeat, dropped", "1017/0 >1017/1", {}, {"", "0", "", ""}, cancel,
             "", {kept, "1017|1|PRODUCER HEARTBEAT TIME|2|5|0005"}},
            {"Edit, retyped to a later repeat, replaces", ">6200/1 1017/0", {}, {"1017", "0", "", "9"}, yes,
             "", {"1017|0|PRODUCER HEARTBEAT TIME|2|9|0009"}},
            {"Edit, retyped to 0x1017", ">6200/1", {}, {"1017", "0", "", ""}, 0, "", {kept}},
            {"Edit, retyped to a 4-byte object", ">6098/0", {}, {"6081", "0", "", ""}, 0, "", {"6081|0|PROFILE VELOCITY|4|5|00000005"}},
            {"Edit, an unknown object keeps its name", ">5000/3", {}, {"", "", "", "9"}, 0, "", {"5000|3|OLD|1|9|09"}},
            {"Edit, retyped to an unknown object", ">6098/0", {}, {"5001", "", "", ""}, 0, "", {"5001|0||1|5|05"}}};
        for (const auto &r : table)
            QTest::newRow(r.name) << QString(r.existing) << r.rows << r.typed << r.answer << QString(r.problem) << r.expected;
    }
    void sdoObjects()
    {
        QFETCH(QString, existing);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, typed);
        QFETCH(int, answer);
        QFETCH(QString, problem);
        QFETCH(QStringList, expected);
        slave.eds = sdoDictionary();
        const QStringList present = existing.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        int edited = -1;
        for (QString place : present) {
            if (place.startsWith(QLatin1Char('>')))
                edited = slave.sdoList.size();
            place.remove(QLatin1Char('>'));
            const int index = place.section('/', 0, 0).toInt(nullptr, 16);
            slave.addSdo({quint16(index), quint8(place.section('/', 1).toInt()), quint8(index == 0x1017 ? 2 : 1),
                          QByteArray(), QStringLiteral("5"), index == 0x1017 ? QStringLiteral("Producer heartbeat time") : QStringLiteral("old")});
            slave.sdoList.last().data = sdoValueBytes(QStringLiteral("5"), slave.sdoList.last().length);
        }
        QTableWidget *table = showSdoPage()->sdoTable();
        ModalAnswerer answerer;
        answerer.onModal([&](QWidget *dialog) {
            QTableWidget *list = static_cast<NewSDODialog *>(dialog)->parameterList()->table();
            QStringList offered;
            for (int row = 0; row < list->rowCount(); ++row)
                offered.append(rowTexts(list, row).mid(0, 2).join('/') + ' ' + rowTexts(list, row).mid(4).join(' '));
            QCOMPARE(offered, QStringList({"1017/0 UInt16 2", "2002/0 Float point 4", "2005/0 VisString ", "2006/0 Int16 2", "2007/0 Int32 4", "6060/0 Int8 1", "6081/0 UInt32 4",
                                           "6098/0 Int8 1"}));
            QList<int> clicked;
            for (const QString &object : qAsConst(rows))
                clicked.append(offered.indexOf(QRegularExpression(object + QStringLiteral(" .*"))));
            selectRows(list, clicked, 0);
            const QList<QSpinBox *> boxes = dialog->findChildren<QSpinBox *>();
            for (int i = 0; i < typed.size(); ++i) {
                if (!typed.at(i).isEmpty())
                    typeInto(i < 3 ? static_cast<QWidget *>(boxes.at(i)) : dialog->findChild<QLineEdit *>(), typed.at(i));
            }
            QCOMPARE(boxes.at(0)->isEnabled(), rows.size() <= 1); // several objects: the boxes are theirs
            QPushButton *ok = childWithText<QPushButton>(dialog, QStringLiteral("OK"));
            QCOMPARE(ok->isEnabled(), problem.isEmpty());
            const QLabel *said = problem.isEmpty() ? nullptr : childWithText<QLabel>(dialog, problem);
            QVERIFY2(problem.isEmpty() || (said && said->palette().color(QPalette::WindowText) == Qt::red), qPrintable(problem));
            QCOMPARE(dialog->findChild<QLineEdit *>()->palette().color(QPalette::Text), QColor(problem.isEmpty() ? Qt::black : Qt::red));
            // An object the EDS does not know, typed or edited, asks for its length.
            EdsEntry object;
            const QStringList first = expected.value(0).split('|');
            QVERIFY(expected.isEmpty() || dictionaryEntry(slave, first.at(0).toInt(nullptr, 16), first.at(1).toInt(nullptr, 16), object)
                    || childWithText<QLabel>(dialog, QStringLiteral("Not in the EDS: choose the length.")));
            clickButton(dialog, QStringLiteral("OK"));
        });
        if (answer)
            answerer.answerMessageBox(answer);
        if (edited >= 0)
            doubleClickCell(table, edited, 2);
        else
            clickButton(sdoPage.get(), QStringLiteral("Add"));
        QTRY_VERIFY2(answerer.done() && answerer.failure().isEmpty(), qPrintable(answerer.failure()));
        QCOMPARE(answerer.messageTexts(), answer ? QStringList{"An SDO for object 1017 sub-index 0 is already in the list."} : QStringList());
        QStringList got;
        for (int i = 0; i < slave.sdoList.size(); ++i) {
            got.append(summary(slave.sdoList.at(i)));
            QCOMPARE(rowTexts(table, i).join(QLatin1Char('|')).toUpper(), got.last().section(QLatin1Char('|'), 0, 4));
        }
        QCOMPARE(got, expected);
    }

    // The selected SDOs go, whichever order they were selected in.
    void sdoRemoval()
    {
        for (int i = 0; i < 4; ++i)
            slave.addSdo({quint16(i == 2 ? 0x6000 : 0x3000 + i), quint8(i == 2), 1, QByteArray(1, char(i)), i == 2 ? QString() : QString::number(i), {}});
        QTableWidget *table = showSdoPage()->sdoTable();
        selectRows(table, {3, 0, 1}, 0);
        clickButton(sdoPage.get(), QStringLiteral("Remove"));
        QVERIFY(slave.sdoList.size() == 1 && slave.sdoList.at(0).index == 0x6000);
        QCOMPARE(rowTexts(table, 0), (QStringList{"6000", "1", "Read Input 8 Bit", "1", "16#02"})); // read back from a block: its bytes shown
    }

    // Removed by its menu and added back, a PDO whose mapping the device fixes gets that mapping again, read-only and placed.
    void fixedMappingComesBack()
    {
        CanObject device(5);
        device.projectKey = key;
        QCOMPARE(loadEdsIntoSlave(device, QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds")), 1);
        buildDefaultPdos(device);
        const QList<PDOMapEntry> fixed = device.pdo(0x1800)->mapList;
        QVERIFY(fixed.size() == 2 && fixed.at(0).readOnly && fixed.at(1).readOnly);
        page->setCanObject(&device);
        clickCell(page->mappedTable(), 2, 0);
        ModalAnswerer answerer;
        answerer.chooseMenuAction(QStringLiteral("Remove"));
        openContextMenu(page->mappedTable(), 2);
        QTRY_VERIFY2(answerer.done() && answerer.failure().isEmpty(), qPrintable(answerer.failure()));
        QVERIFY(!device.pdo(0x1800));
        doubleClickCell(page->edsTable(), 2, 0);
        QCOMPARE(page->mappedTable()->item(2, 3)->text(), QStringLiteral("2"));
        QCOMPARE(device.pdo(0x1800)->mapList, fixed);
    }

    void removeSelectedRows_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QStringList>("freed"); // bytes of %Q and %I
        const QList<int> rows{Out1, Out2, AnalogueQ};
        const QStringList left{"7000", "6200", "6000", "6401"}, freed{"Q0", "Q1", "Q2", "Q3"};
        QTest::newRow("Delete key") << "delete" << rows << left << freed;
        QTest::newRow("D key") << "d" << rows << left << freed;
        // Only D and Delete themselves remove.
        const QStringList all{"6200", "6200", "6411", "7000", "6200", "6000", "6401"};
        QTest::newRow("Shift+D") << "shift d" << rows << all << QStringList();
        QTest::newRow("Ctrl+D") << "ctrl d" << rows << all << QStringList();
        QTest::newRow("Shift+Delete") << "shift delete" << rows << all << QStringList();
        QTest::newRow("context menu") << "menu" << rows << left << freed;
        QTest::newRow("read-only one kept") << "delete" << QList<int>{Out2, FixedWord, In1}
                                            << QStringList{"6200", "6411", "7000", "6200", "6401"} << QStringList{"Q1", "I0"};
    }
    void removeSelectedRows()
    {
        QFETCH(QString, how);
        QFETCH(QList<int>, rows);
        QFETCH(QStringList, freed);
        QSet<QPair<int, int>> bytes = reservedBytes(key);
        for (const QString &place : freed)
            bytes.remove({place.startsWith('Q') ? VarAreaOutput : VarAreaInput, place.mid(1).toInt()});
        selectRows(table(), rows, 2);
        ModalAnswerer answerer;
        const bool readOnly = rows.contains(FixedWord);
        if (readOnly)
            answerer.answerMessageBox(QMessageBox::Ok);
        if (how == QLatin1String("menu")) {
            answerer.chooseMenuAction(QStringLiteral("Remove"));
            openContextMenu(table(), Out2);
        } else {
            const Qt::KeyboardModifiers modifiers = how.startsWith(QLatin1String("shift")) ? Qt::ShiftModifier
                : how.startsWith(QLatin1String("ctrl"))                                   ? Qt::ControlModifier
                                                                                          : Qt::NoModifier;
            QTest::keyClick(table(), how.endsWith(QLatin1String("d")) ? Qt::Key_D : Qt::Key_Delete, modifiers);
        }
        QCOMPARE(answerer.failure(), QString());
        QVERIFY(answerer.done());
        QCOMPARE(answerer.messageTexts(), readOnly ? QStringList{"ReadOnly Parameter Can Not Be Removed!"} : QStringList());
        QTEST(columnTexts(table(), 0), "left");
        QCOMPARE(reservedBytes(key), bytes);
        // The row of 0x1401's second entry still reaches that entry; "Clear When
        // Stop" toggles for outputs only, by double-click or Space.
        const int row = columnTexts(table(), 0).lastIndexOf(QStringLiteral("6200"));
        clickCell(table(), row, 1);
        QTest::keyClick(table(), Qt::Key_Space);
        QCOMPARE(table()->item(row, 5)->text(), QStringLiteral("Yes"));
        QTest::keyClick(table(), Qt::Key_Space, Qt::ShiftModifier); // other keys toggle nothing
        QTest::keyClick(table(), Qt::Key_A);
        QCOMPARE(table()->item(row, 5)->text(), QStringLiteral("Yes"));
        QCOMPARE(int(slave.pdo(0x1401)->mapList.last().clearWhenStop), 0);
        doubleClickCell(table(), row + 1, 5);
        QCOMPARE(int(slave.pdo(0x1800)->mapList.at(0).clearWhenStop), 2);
        // Releasing the key removes nothing.
        QTest::keyRelease(table(), Qt::Key_Delete);
        QTEST(columnTexts(table(), 0), "left");
    }

    // F2 or Return opens the memory editor on the current row, whichever cell is current;
    // Shift+Tab reaches its area box, where the arrow keys choose the area.
    void memoryEditorByKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("F2") << int(Qt::Key_F2);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }
    void memoryEditorByKeys()
    {
        QFETCH(int, key);
        clickCell(table(), AnalogueI, 2);
        QTest::keyClick(table(), Qt::Key(key));
        auto *editor = qobject_cast<MemoryEditWidget *>(table()->indexWidget(table()->model()->index(AnalogueI, 4)));
        QVERIFY(editor && editor->autoFillBackground()); // the cell's text does not show through
        const QSignalSpy left(editor, &MemoryEditWidget::editingLeft);
        QTRY_VERIFY(editor->offsetBox()->hasFocus());
        typeInto(editor->offsetBox(), QStringLiteral("3"));
        QTest::keyClick(editor->offsetBox(), Qt::Key_Backtab);
        QVERIFY(editor->areaBox()->hasFocus());
        QTest::keyClick(editor->areaBox(), Qt::Key_Down);
        QCOMPARE(qMakePair(editor->offsetBox()->singleStep(), editor->offsetBox()->value()), qMakePair(2, 4)); // analogue places are even: the odd one rounds up
        QTest::keyClick(editor->areaBox(), Qt::Key_Return);
        QTRY_COMPARE(table()->item(AnalogueI, 4)->text(), QStringLiteral("%AI,4"));
        QCOMPARE(entryOfRow(AnalogueI).area, int(VarAreaAI));
        QTRY_VERIFY(!table()->indexWidget(table()->model()->index(AnalogueI, 4)));
        QCOMPARE(left.count(), 1); // hidden and out of focus, it is left once
    }

    // Area chosen by typing its name (none: kept), offset typed, Return; a place
    // that is taken or beyond the area leaves the object where it was.
    void memoryMove_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("areas"); // offered; the first chosen
        QTest::addColumn<QString>("areaKey");
        QTest::addColumn<QString>("offset");
        QTest::addColumn<int>("area");
        QTest::addColumn<int>("expectedOffset");
        QTest::addColumn<QString>("refusal"); // said in the editor, which stays open until Escape
        const QStringList q{"Q", "V"}, i{"I", "AI", "V"};
        QTest::newRow("free place, same area") << int(Out1) << q << "" << "20" << int(VarAreaOutput) << 20 << "";
        QTest::newRow("free place, fallback area") << int(In1) << QStringList{"I", "V"} << "V" << "100" << int(VarAreaFallback) << 100 << "";
        QTest::newRow("taken place, Enter") << int(Out1) << q << "" << "5" << int(VarAreaOutput) << 0
                                     << "%Q,5 is taken or lies beyond its area.";
        QTest::newRow("beyond the area") << int(FixedWord) << q << "" << "509" << int(VarAreaOutput) << 4
                                         << "%Q,509 is taken or lies beyond its area.";
        // An analogue area takes even offsets only: an odd one typed rounds up, however the editor is left.
        QTest::newRow("analogue input, odd offset") << int(AnalogueI) << i << "AI" << "7" << int(VarAreaAI) << 8 << "";
        QTest::newRow("analogue input, odd offset, Tab") << int(AnalogueI) << i << "AI" << "5" << int(VarAreaAI) << 6 << "";
        QTest::newRow("analogue input, odd offset at the box's end") << int(AnalogueI) << i << "AI" << "655555" << int(VarAreaInput) << 2
                                                                    << "%AI,655554 is taken or lies beyond its area.";
        QTest::newRow("analogue output") << int(AnalogueQ) << QStringList{"Q", "AQ", "V"} << "AQ" << "10" << int(VarAreaAQ) << 10 << "";
    }
    void memoryMove()
    {
        QFETCH(int, row);
        QFETCH(QStringList, areas);
        QFETCH(QString, areaKey);
        QFETCH(int, area);
        QFETCH(int, expectedOffset);
        const PDOMapEntry before = entryOfRow(row);
        QSet<QPair<int, int>> bytes = reservedBytes(key);
        doubleClickCell(table(), row, 4);
        auto *editor = table()->viewport()->findChild<MemoryEditWidget *>();
        QVERIFY(editor);
        QStringList offered;
        for (int i = 0; i < editor->areaBox()->count(); ++i)
            offered.append(editor->areaBox()->itemText(i));
        QCOMPARE(offered, areas);
        QCOMPARE(editor->areaBox()->currentText(), areas.first());
        QCOMPARE(editor->offsetBox()->value(), before.offset);
        // Keys the open editor gets remove nothing.
        editor->areaBox()->setFocus();
        QTest::keyClick(editor->areaBox(), Qt::Key_Delete);
        if (!areaKey.isEmpty())
            QTest::keyClicks(editor->areaBox(), areaKey);
        QFETCH(QString, offset);
        typeInto(editor->offsetBox(), offset);
        const QByteArray tag = QTest::currentDataTag(); // the key that leaves the editor ends the row's name, Return when none does
        QTest::keyClick(editor->offsetBox(), tag.endsWith("Tab") ? Qt::Key_Tab : tag.endsWith("Enter") ? Qt::Key_Enter : Qt::Key_Return);
        QFETCH(QString, refusal);
        if (!refusal.isEmpty()) {
            QCOMPARE(editor->refusal(), refusal);
            QCoreApplication::processEvents(); // a close the view queued would come now
            QVERIFY(editor->isVisible());
            QTest::keyClick(editor->offsetBox(), Qt::Key_Escape);
        }
        QTRY_VERIFY(!table()->viewport()->findChild<MemoryEditWidget *>());
        QCOMPARE(entryOfRow(row).area, area);
        QCOMPARE(entryOfRow(row).offset, expectedOffset);
        QCOMPARE(table()->item(row, 4)->text(), QStringLiteral("%1,%2").arg(getMemName(VarArea(area))).arg(expectedOffset));
        for (quint32 i = 0; i < before.byteLength; ++i) {
            bytes.remove({before.area, before.offset + int(i)});
            bytes.insert({area, expectedOffset + int(i)});
        }
        QCOMPARE(reservedBytes(key), bytes);
        // Another object moving, of the same PDO or at the same position of another, leaves a refusal standing: OK still asks.
        const auto *delegate = static_cast<MapTableDelegate *>(table()->itemDelegateForColumn(4));
        const QString question = delegate->refusedMoveQuestion();
        QCOMPARE(question.isEmpty(), refusal.isEmpty());
        if (refusal.isEmpty())
            return;
        const int other = row == AnalogueI || row == FixedWord ? int(In1) : row + 1;
        doubleClickCell(table(), other, 4);
        typeInto(table()->viewport()->findChild<MemoryEditWidget *>()->offsetBox(), QStringLiteral("300"));
        QTest::keyClick(table()->viewport()->findChild<MemoryEditWidget *>()->offsetBox(), Qt::Key_Return);
        QTRY_COMPARE(table()->item(other, 4)->text().section(',', 1), QStringLiteral("300"));
        QCOMPARE(delegate->refusedMoveQuestion(), question);
        if (row != FixedWord) // the refused object removed: OK has nothing to ask, about no other object either
            selectRows(table(), {row}, 2), QTest::keyClick(table(), Qt::Key_Delete);
        QCOMPARE(delegate->refusedMoveQuestion(), row == FixedWord ? question : QString());
    }
};

QTEST_MAIN(tst_Pages)
#include "tst_pages.moc"
