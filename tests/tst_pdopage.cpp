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
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
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

// The test slave uses 1400, 1401 and 1800 of these.
CanObject pdoSlave()
{
    CanObject slave = makeTestSlave(key);
    slave.edsPdoList = {edsPdo(0x1400, "RPDO1", 0x200, 255), edsPdo(0x1401, "RPDO2", 0x300, 255),
                        edsPdo(0x1402, "RPDO3", 0x400, 255), edsPdo(0x1800, "TPDO1", 0x180, 255),
                        edsPdo(0x1801, "TPDO2", 0x280, 254), edsPdo(0x1802, "TPDO3", qint32(0x80000380), 1)};
    return slave;
}

QStringList column(QTableWidget *table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts.append(table->item(row, column) ? table->item(row, column)->text() : QStringLiteral("<none>"));
    return texts;
}

QStringList pdoIndexes(const CanObject &slave)
{
    QStringList texts;
    for (const PDOConfig &pdo : slave.pdoList)
        texts.append(QString::number(pdo.commIndex, 16).toUpper());
    return texts;
}

QPoint cellCenter(QTableWidget *table, int row)
{
    return table->visualItemRect(table->item(row, 1)).center();
}

void selectRows(QTableWidget *table, const QList<int> &rows)
{
    for (int i = 0; i < rows.size(); ++i)
        QTest::mouseClick(table->viewport(), Qt::LeftButton, i ? Qt::ControlModifier : Qt::NoModifier,
                          cellCenter(table, rows.at(i)));
}

void doubleClickRow(QTableWidget *table, int row)
{
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cellCenter(table, row));
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cellCenter(table, row));
}

void rightClick(QTableWidget *table, int row)
{
    const QPoint at = row < table->rowCount() ? cellCenter(table, row) : QPoint(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, table->viewport()->mapToGlobal(at));
    QApplication::sendEvent(table->viewport(), &event);
}

QStringList menuTexts(const PDOpage &page)
{
    QStringList texts;
    for (const QAction *a : page.contextMenu()->actions())
        texts.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

int rowOf(QTableWidget *table, const QString &index, const QString &subIndex)
{
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->item(row, 0)->text() == index && table->item(row, 1)->text() == subIndex)
            return row;
    }
    return -1;
}

void click(QWidget *parent, const QString &text)
{
    QPushButton *button = childWithText<QPushButton>(parent, text);
    QVERIFY2(button, qPrintable(text));
    QTest::mouseClick(button, Qt::LeftButton);
}

QString entryText(const PDOMapEntry &e)
{
    return QStringLiteral("%1/%2 %3 type %4, %5 bytes at %6,%7")
        .arg(e.index, 0, 16).arg(e.subIndex, 0, 16).arg(e.name).arg(e.dataType).arg(e.byteLength)
        .arg(e.area, 0, 16).arg(e.offset);
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
            click(w, accept ? QStringLiteral("OK") : QStringLiteral("Cancel"));
        });
        rightClick(editor->mappedTable()->table(), 0);
        return;
    }
    const QStringList parts = what.split(QLatin1Char('/'));
    QTableWidget *table = editor->edsTable()->table();
    const int row = rowOf(table, parts.at(0), parts.at(1));
    QVERIFY2(row >= 0, qPrintable(what));
    doubleClickRow(table, row);
}

} // namespace

class tst_PdoPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tablesShowTheModel();
    void addEdsPdos_data();
    void addEdsPdos();
    void removeRows_data();
    void removeRows();
    void configMapping_data();
    void configMapping();
    void propertyDialog_data();
    void propertyDialog();
    void propertyFromPage_data();
    void propertyFromPage();
    void mappingEditor_data();
    void mappingEditor();
    void throughConfigDialog_data();
    void throughConfigDialog();

private:
    QTableWidget *eds() const { return page->edsTable(); }
    QTableWidget *mapped() const { return page->mappedTable(); }

    CanObject slave;
    std::unique_ptr<PDOpage> page;
};

void tst_PdoPage::init()
{
    clearAllMemory();
    resetMemoryAreaSizes();
    slave = pdoSlave();
    page = std::make_unique<PDOpage>(nullptr);
    page->resize(700, 600);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    page->setCanObject(&slave);
}

void tst_PdoPage::cleanup()
{
    page.reset();
    resetMemoryAreaSizes();
}

void tst_PdoPage::tablesShowTheModel()
{
    QCOMPARE(eds()->rowCount(), 6);
    QCOMPARE(eds()->columnWidth(0), 80);
    QCOMPARE(eds()->columnWidth(2), 80);
    QCOMPARE(eds()->rowHeight(5), 20);
    QCOMPARE(mapped()->rowHeight(0), 20);
    for (int c = 0; c < 5; ++c)
        QCOMPARE(mapped()->columnWidth(c), 75);
    QVERIFY(mapped()->columnWidth(5) >= 75);
    QCOMPARE(eds()->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Inhibit Time(ms)"));
    QCOMPARE(column(eds(), 0), QStringList({"1400", "1401", "1402", "1800", "1801", "1802"}));
    QCOMPARE(column(eds(), 2).at(4), QStringLiteral("FE"));
    QCOMPARE(column(eds(), 4).at(4), QStringLiteral("500"));

    // A new PDO is empty; bit 31 of its EDS COB-ID does not show.
    doubleClickRow(eds(), 5);
    const QStringList expected[] = {{"1400", "203", "R", "4", "255", "RxPDO 1"},
                                    {"1401", "303", "R", "5", "255", "RxPDO 2"},
                                    {"1800", "183", "T", "3", "255", "TxPDO 1"},
                                    {"1802", "383", "T", "0", "1", "TxPDO 3"}};
    QCOMPARE(mapped()->rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        QStringList texts;
        for (int c = 0; c < 6; ++c)
            texts.append(mapped()->item(row, c)->text());
        QCOMPARE(texts, expected[row]);
    }
}

void tst_PdoPage::addEdsPdos_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("message");
    const QStringList plus1402{"1400", "1401", "1402", "1800"};
    QTest::newRow("three rows, two used, button") << QList<int>{0, 1, 2} << "button" << plus1402 << "";
    QTest::newRow("three rows, two used, menu") << QList<int>{2, 1, 0} << "menu" << plus1402 << "";
    QTest::newRow("two rows, both new") << QList<int>{5, 2} << "button"
                                       << QStringList{"1400", "1401", "1402", "1800", "1802"} << "";
    QTest::newRow("double-click, between used") << QList<int>{2} << "double-click" << plus1402 << "";
    QTest::newRow("double-click, used") << QList<int>{3} << "double-click"
                                        << QStringList{"1400", "1401", "1800"} << "";
    QTest::newRow("nothing selected") << QList<int>{} << "button" << QStringList{"1400", "1401", "1800"}
                                      << "Please select at least one parameter to add in the table above.";
}

void tst_PdoPage::addEdsPdos()
{
    QFETCH(QList<int>, rows);
    QFETCH(QString, how);
    QFETCH(QStringList, expected);
    QFETCH(QString, message);
    ModalAnswerer answerer;
    if (how == QLatin1String("double-click")) {
        doubleClickRow(eds(), rows.first());
    } else {
        selectRows(eds(), rows);
        if (!message.isEmpty())
            answerer.answerMessageBox(QMessageBox::Ok);
        if (how == QLatin1String("menu")) {
            answerer.chooseMenuAction(QStringLiteral("Add"));
            rightClick(eds(), rows.first());
            QTRY_VERIFY(answerer.done());
            QCOMPARE(menuTexts(*page), QStringList{"&Add"});
        } else {
            click(page.get(), QStringLiteral("Add"));
        }
    }
    QTRY_VERIFY(answerer.done());
    QCOMPARE(answerer.failure(), QString());
    QCOMPARE(answerer.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(pdoIndexes(slave), expected);
    QCOMPARE(column(mapped(), 0), expected);
}

void tst_PdoPage::removeRows_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("button") << "button";
    QTest::newRow("menu") << "menu";
}

void tst_PdoPage::removeRows()
{
    QFETCH(QString, how);
    doubleClickRow(eds(), 2);
    doubleClickRow(eds(), 4);
    QCOMPARE(column(mapped(), 0), QStringList({"1400", "1401", "1402", "1800", "1801"}));

    selectRows(mapped(), {1, 3});
    ModalAnswerer answerer;
    if (how == QLatin1String("menu")) {
        answerer.chooseMenuAction(QStringLiteral("Remove"));
        rightClick(mapped(), 3);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(menuTexts(*page), QStringList({"&Config", "&Remove", "-", "&Property"}));
    } else {
        click(page.get(), QStringLiteral("Remove"));
    }
    QTRY_VERIFY(answerer.done());
    const QStringList left{"1400", "1402", "1801"};
    QCOMPARE(pdoIndexes(slave), left);
    QCOMPARE(column(mapped(), 0), left);
    QCOMPARE(column(mapped(), 1), QStringList({"203", "403", "283"}));
    // 1401 held %Q4-%Q8, 1800 held %I0 and %I2-%I3.
    QCOMPARE(memoryReservations(key), QList<MemoryReservation>({{VarAreaOutput, 0, 4}}));
}

void tst_PdoPage::configMapping_data()
{
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("length");
    QTest::addColumn<int>("inputBytes");
    QTest::newRow("add, OK, button") << "button" << "add" << true << "7" << 7;
    QTest::newRow("add, Cancel, double-click") << "double-click" << "add" << false << "3" << 3;
    QTest::newRow("remove, OK, menu") << "menu" << "remove" << true << "2" << 2;
    QTest::newRow("remove, Cancel, button") << "button" << "remove" << false << "3" << 3;
}

void tst_PdoPage::configMapping()
{
    QFETCH(QString, open);
    QFETCH(QString, edit);
    QFETCH(bool, accept);
    QFETCH(QString, length);
    QFETCH(int, inputBytes);
    const PDOConfig before = *slave.pdo(0x1800);
    const QList<MemoryReservation> reservationsBefore = memoryReservations(key);
    saveMemoryUsedState(key); // the dialog frame's own snapshot

    ModalAnswerer answerer;
    if (open == QLatin1String("menu"))
        answerer.chooseMenuAction(QStringLiteral("Config"));
    answerer.onModal([&](QWidget *w) {
        auto *editor = qobject_cast<PDOParameterEditDialog *>(w);
        QVERIFY(editor);
        QTableWidget *lower = editor->mappedTable()->table();
        QCOMPARE(column(lower, 0), QStringList({"6000", "6401"}));
        if (edit == QLatin1String("add")) {
            pick(editor, answerer, QStringLiteral("7000/1"));
            QCOMPARE(column(lower, 0), QStringList({"6000", "6401", "7000"}));
        } else {
            QTest::mouseClick(lower->viewport(), Qt::LeftButton, {}, cellCenter(lower, 0));
            QTest::keyClick(lower, Qt::Key_Delete);
            QCOMPARE(column(lower, 0), QStringList({"6401"}));
        }
        click(editor, accept ? QStringLiteral("OK") : QStringLiteral("Cancel"));
    });
    if (open == QLatin1String("double-click")) {
        doubleClickRow(mapped(), 2);
    } else {
        selectRows(mapped(), {2});
        if (open == QLatin1String("menu"))
            rightClick(mapped(), 2);
        else
            click(page.get(), QStringLiteral("Config"));
    }
    QTRY_VERIFY(answerer.done());
    QCOMPARE(answerer.failure(), QString());
    QCOMPARE(mapped()->item(2, 3)->text(), length);
    QCOMPARE(reservedByteCount(key, VarAreaInput), inputBytes);
    QCOMPARE(memorySnapshotDepth(key), 1);
    if (!accept) {
        QVERIFY(*slave.pdo(0x1800) == before);
        QCOMPARE(memoryReservations(key), reservationsBefore);
    } else if (edit == QLatin1String("add")) {
        // First fit for four bytes behind %I0 and %I2-%I3.
        QCOMPARE(entryText(slave.pdo(0x1800)->mapList.at(2)), QStringLiteral("7000/1 Counter type 7, 4 bytes at 81,4"));
    }
    // The outer snapshot still rolls everything back.
    restoreMemoryUsedState(key);
    QCOMPARE(memoryReservations(key), reservationsBefore);
}

void tst_PdoPage::propertyDialog_data()
{
    QTest::addColumn<quint32>("commIndex");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("inhibit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("items");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("timers");
    QTest::addColumn<int>("storedType");
    QTest::addColumn<int>("storedInhibit");
    QTest::newRow("T 255") << 0x1800u << 255 << 10 << "" << 245 << "255 - asynchronous" << true << 255 << 10;
    QTest::newRow("T 255, then 1") << 0x1800u << 255 << 10 << "1" << 245 << "1 - synchronous(cyclic)" << false << 1 << 10;
    QTest::newRow("T 1, then 254") << 0x1800u << 1 << 10 << "254" << 245 << "254 - asynchronous" << true << 254 << 10;
    QTest::newRow("T 253") << 0x1800u << 253 << 0 << "" << 245 << "253 - asynchronous(RTR only)" << false << 253 << 0;
    QTest::newRow("T 245 unknown") << 0x1800u << 245 << 0 << "" << 245 << "0 - synchronous(acyclic)" << false << 0 << 0;
    QTest::newRow("T inhibit above 6553") << 0x1800u << 255 << 7000 << "" << 245 << "255 - asynchronous" << true << 255 << 6553;
    QTest::newRow("R 254") << 0x1400u << 254 << 10 << "" << 243 << "254 - asynchronous" << false << 254 << 10;
    QTest::newRow("R 252 unknown") << 0x1400u << 252 << 10 << "" << 243 << "0 - synchronous(acyclic)" << false << 0 << 10;
    QTest::newRow("R 240") << 0x1400u << 240 << 10 << "" << 243 << "240 - synchronous(cyclic)" << false << 240 << 10;
}

void tst_PdoPage::propertyDialog()
{
    QFETCH(quint32, commIndex);
    QFETCH(int, type);
    QFETCH(int, inhibit);
    QFETCH(QString, typed);
    QFETCH(int, items);
    QFETCH(QString, shown);
    QFETCH(bool, timers);
    QFETCH(int, storedType);
    QFETCH(int, storedInhibit);
    PDOConfig record = pdoConfig(commIndex, commIndex == 0x1800 ? 0x180 : 0x200, 10);
    record.transmissionType = quint8(type);
    record.inhibitTime = quint16(inhibit);
    record.eventTimer = 700;
    PDOProperty dialog(&record, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), QSize(270, 200).expandedTo(dialog.sizeHint()));
    QCOMPARE(dialog.cobIdEdit()->text(), commIndex == 0x1800 ? QStringLiteral("18a") : QStringLiteral("20a"));
    QCOMPARE(dialog.inhibitTimeBox()->text(), QString::number(storedInhibit));
    if (!typed.isEmpty()) {
        dialog.typeCombo()->setFocus();
        QTest::keyClicks(dialog.typeCombo(), typed);
    }
    QCOMPARE(dialog.typeCombo()->count(), items);
    QCOMPARE(dialog.typeCombo()->currentText(), shown);
    QCOMPARE(dialog.eventTimerBox()->isEnabled(), timers);
    QCOMPARE(dialog.inhibitTimeBox()->isEnabled(), timers);

    click(&dialog, QStringLiteral("OK"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(int(record.transmissionType), storedType);
    QCOMPARE(int(record.inhibitTime), storedInhibit);
    QCOMPARE(int(record.eventTimer), 700);
}

void tst_PdoPage::propertyFromPage_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void tst_PdoPage::propertyFromPage()
{
    QFETCH(bool, accept);
    const PDOConfig before = *slave.pdo(0x1800);
    ModalAnswerer answerer;
    answerer.onModal([&](QWidget *w) {
        auto *dialog = qobject_cast<PDOProperty *>(w);
        QVERIFY(dialog);
        dialog->typeCombo()->setFocus();
        QTest::keyClicks(dialog->typeCombo(), QStringLiteral("254"));
        QSpinBox *eventTimer = dialog->eventTimerBox();
        eventTimer->setFocus();
        QTest::keyClick(eventTimer, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(eventTimer, QStringLiteral("250"));
        click(dialog, accept ? QStringLiteral("OK") : QStringLiteral("Cancel"));
    });
    selectRows(mapped(), {2});
    click(page.get(), QStringLiteral("Property"));
    QTRY_VERIFY(answerer.done());
    QCOMPARE(answerer.failure(), QString());

    PDOConfig expected = before;
    if (accept) {
        expected.transmissionType = 254;
        expected.eventTimer = 250;
    }
    QVERIFY(*slave.pdo(0x1800) == expected);
    QCOMPARE(mapped()->item(2, 4)->text(), accept ? QStringLiteral("254") : QStringLiteral("255"));
    QCOMPARE(mapped()->item(2, 1)->text(), QStringLiteral("183"));
}

void tst_PdoPage::mappingEditor_data()
{
    QTest::addColumn<quint32>("commIndex");
    QTest::addColumn<QList<int>>("preload"); // data types, placed at %I100 onwards
    QTest::addColumn<int>("inputSize");      // -1: the default size
    QTest::addColumn<int>("fallbackSize");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("added");
    const QString tooLong = QStringLiteral("The length of PDO has reached the maximum number 8 bytes.");
    const QList<int> sixBytes{DataTypeUnsigned32, DataTypeInteger16};
    QTest::newRow("UInt32 into empty transmit PDO")
        << 0x1801u << QList<int>{} << -1 << -1 << "7000/1" << "" << "7000/1 Counter type 7, 4 bytes at 81,4";
    QTest::newRow("Int16 into empty receive PDO")
        << 0x1402u << QList<int>{} << -1 << -1 << "6411/1A" << ""
        << "6411/1a Write Analogue Output type 3, 2 bytes at 82,9";
    QTest::newRow("6 bytes, 4 more") << 0x1801u << sixBytes << -1 << -1 << "7000/1" << tooLong << "";
    QTest::newRow("6 bytes, 2 more")
        << 0x1801u << sixBytes << -1 << -1 << "6401/1" << "" << "6401/1 Read Analogue Input type 3, 2 bytes at 81,4";
    QTest::newRow("already mapped") << 0x1800u << QList<int>{} << -1 << -1 << "6000/1" << "" << "";
    QTest::newRow("already mapped, 8 bytes")
        << 0x1800u << QList<int>{DataTypeUnsigned32, DataTypeUnsigned8} << -1 << -1 << "6000/1" << tooLong << "";
    QTest::newRow("own area full, fallback") << 0x1801u << QList<int>{} << 4 << -1 << "6401/1" << ""
                                             << "6401/1 Read Analogue Input type 3, 2 bytes at 84,0";
    QTest::newRow("no memory left") << 0x1801u << QList<int>{} << 4 << 0 << "6401/1"
                                    << "Memory map error, no more available!" << "";
    QTest::newRow("new object, defaults")
        << 0x1801u << QList<int>{} << -1 << -1 << "new" << "" << "1/0 NewPar0 type 6, 2 bytes at 81,4";
    QTest::newRow("new object, cancelled") << 0x1801u << QList<int>{} << -1 << -1 << "new-cancel" << "" << "";
}

void tst_PdoPage::mappingEditor()
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
    QHash<int, int> bytesBefore;
    for (int area : {VarAreaInput, VarAreaOutput, VarAreaFallback})
        bytesBefore[area] = reservedByteCount(key, VarArea(area));

    PDOParameterEditDialog editor(&slave, pdo, nullptr);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    ModalAnswerer answerer;
    if (!message.isEmpty())
        answerer.answerMessageBox(QMessageBox::Ok);
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
    QCOMPARE(entryText(pdo->mapList.last()), added);
    const PDOMapEntry &entry = pdo->mapList.last();
    QCOMPARE(reservedByteCount(key, VarArea(entry.area)), bytesBefore[entry.area] + int(entry.byteLength));
    QCOMPARE(getMemory(key, VarArea(entry.area), entry.offset, int(entry.byteLength)), 0);
}

void tst_PdoPage::throughConfigDialog_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

// Add 1801, map 6000/1 and 6401/1 into it, make it type 254 with an event
// timer of 100, then leave the dialog; compile tells what the master gets.
void tst_PdoPage::throughConfigDialog()
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
        doubleClickRow(pdoPage->edsTable(), 4);
        answerer.onModal([&](QWidget *e) {
            auto *editor = qobject_cast<PDOParameterEditDialog *>(e);
            QVERIFY(editor);
            pick(editor, answerer, QStringLiteral("6000/1"));
            pick(editor, answerer, QStringLiteral("6401/1"));
            click(editor, QStringLiteral("OK"));
        });
        doubleClickRow(pdoPage->mappedTable(), 3);
        answerer.onModal([&](QWidget *p) {
            auto *property = qobject_cast<PDOProperty *>(p);
            QVERIFY(property);
            property->typeCombo()->setFocus();
            QTest::keyClicks(property->typeCombo(), QStringLiteral("254"));
            property->eventTimerBox()->setFocus();
            QTest::keyClick(property->eventTimerBox(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(property->eventTimerBox(), QStringLiteral("100"));
            click(property, QStringLiteral("OK"));
        });
        click(pdoPage, QStringLiteral("Property"));
        QCOMPARE(pdoPage->mappedTable()->item(3, 3)->text(), QStringLiteral("3"));
        click(dialog, accept ? QStringLiteral("&OK") : QStringLiteral("&Cancel"));
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
    QList<MemoryReservation> expectedReservations = reservationsBefore;
    if (accept)
        expectedReservations = {{VarAreaInput, 0, 6}, reservationsBefore.last()};
    QCOMPARE(memoryReservations(key), expectedReservations);

    QByteArray block, expectedBlock, blockBefore;
    CompileList list{&slave};
    QCOMPARE(compile(&slave, block, list), 0);
    CompileList expectedList{&expected};
    QCOMPARE(compile(&expected, expectedBlock, expectedList), 0);
    CanObject original = before;
    CompileList originalList{&original};
    QCOMPARE(compile(&original, blockBefore, originalList), 0);
    QCOMPARE(block.toHex(' '), expectedBlock.toHex(' '));
    QCOMPARE(block != blockBefore, accept);
}

QTEST_MAIN(tst_PdoPage)
#include "tst_pdopage.moc"
