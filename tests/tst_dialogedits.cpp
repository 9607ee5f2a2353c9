// Paths on which the dialog once lost or silently changed what the user did:
// open editors, SDO object choice, fixed PDO mappings, unsorted PDOs.

#include "modalanswerer.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"
#include "testslave.h"
#include "widgetfinding.h"
#include "ui/memoryeditwidget.h"
#include "ui/newsdodialog.h"
#include "ui/paralistpage.h"
#include "ui/parameterinedslisttable.h"
#include "ui/pdoparameterlisttable.h"
#include "ui/pdoparametereditdialog.h"
#include "ui/pdopage.h"
#include "ui/sdopage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <QtTest>

namespace {

const QString key = QStringLiteral("/stations/edits.hwc");
const QString defaultsEds = QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds");

void click(QWidget *parent, const QString &text)
{
    QTest::mouseClick(childWithText<QPushButton>(parent, text), Qt::LeftButton);
}

void clickCell(QTableWidget *table, int row, int column, Qt::KeyboardModifiers modifiers = {}, bool twice = false)
{
    const QPoint at = table->visualItemRect(table->item(row, column)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, at);
    if (twice)
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, modifiers, at);
}

void showTab(QWidget *dialog, const QString &title)
{
    QTabBar *bar = dialog->findChild<QTabBar *>();
    for (int i = 0; i < bar->count(); ++i) {
        if (bar->tabText(i) == title)
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
    }
}

QTableWidget *ioTable(QWidget *dialog)
{
    return dialog->findChild<ParaListPage *>()->mappedTable()->table();
}

// Double-clicks the "Memory" cell and types offset into the editor, focus in its offset box.
MemoryEditWidget *typeOffset(QTableWidget *table, int row, const QString &offset)
{
    clickCell(table, row, 4, {}, true);
    auto *editor = table->viewport()->findChild<MemoryEditWidget *>();
    if (editor) {
        editor->offsetBox()->setFocus();
        editor->offsetBox()->selectAll();
        QTest::keyClicks(editor->offsetBox(), offset);
    }
    return editor;
}

// A failing check inside body returns early and would leave the dialog open.
std::function<void(QWidget *)> closing(std::function<void(QWidget *)> body)
{
    return [body](QWidget *widget) {
        body(widget);
        auto *dialog = qobject_cast<QDialog *>(widget);
        if (dialog && dialog->isVisible())
            dialog->reject();
    };
}

void typeInto(QWidget *box, const QString &text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

} // namespace

class tst_DialogEdits : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearAllMemory(); }
    void openMemoryEditorIsKept_data();
    void openMemoryEditorIsKept();
    void memoryEditorKeepsKeysAndFits();
    void otherTabsShowTheEdits();
    void editSdoKeepsItsObject_data();
    void editSdoKeepsItsObject();
    void newSdoAddsWhatTheFieldsShow_data();
    void newSdoAddsWhatTheFieldsShow();
    void fixedMappingRefusesAdditions_data();
    void fixedMappingRefusesAdditions();
    void fixedMappingComesBack_data();
    void fixedMappingComesBack();
    void unsortedPdosAllShow();
};

void tst_DialogEdits::openMemoryEditorIsKept_data()
{
    QTest::addColumn<QString>("leaveBy");
    QTest::newRow("OK") << "&OK";
    QTest::newRow("tab change") << "PDO Config";
    QTest::newRow("focus to Help") << "Help";
}

void tst_DialogEdits::openMemoryEditorIsKept()
{
    QFETCH(QString, leaveBy);
    CanObject slave = makeTestSlave(key);
    ModalAnswerer answerer;
    answerer.onModal(closing([&](QWidget *dialog) {
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        showTab(dialog, QStringLiteral("CANopen I/O Mapping"));
        QPointer<MemoryEditWidget> editor = typeOffset(ioTable(dialog), 5, QStringLiteral("40"));
        QVERIFY(editor);
        if (leaveBy == QLatin1String("PDO Config"))
            showTab(dialog, leaveBy);
        else
            click(dialog, leaveBy);
        if (leaveBy != QLatin1String("&OK")) {
            QTRY_VERIFY(!editor || !editor->isVisible());
            QCOMPARE(ioTable(dialog)->item(5, 4)->text(), QStringLiteral("%I,40"));
            click(dialog, QStringLiteral("&OK"));
        }
    }));
    QCOMPARE(configCanObject(&slave, {3}, nullptr, false), 0);
    QCOMPARE(answerer.failure(), QString());
    QCOMPARE(slave.pdo(0x1800)->mapList.at(0).offset, 40);
    QCOMPARE(getMemory(key, VarAreaInput, 40, 1), 0);
    QCOMPARE(getMemory(key, VarAreaInput, 0, 1), 1);
}

void tst_DialogEdits::memoryEditorKeepsKeysAndFits()
{
    CanObject slave = makeTestSlave(key);
    ParaListPage page(nullptr);
    page.show();
    QVERIFY(QTest::qWaitForWindowActive(&page));
    page.setCanObject(&slave);
    QPointer<MemoryEditWidget> editor = typeOffset(page.mappedTable()->table(), 6, QStringLiteral("120"));
    QVERIFY(editor);
    editor->areaBox()->setFocus();
    QTest::keyClick(editor->areaBox(), Qt::Key_Delete);
    QCOMPARE(slave.pdo(0x1800)->mapList.size(), 2);
    QCOMPARE(getMemory(key, VarAreaInput, 2, 2), 0);
    // Wide enough for "AI" and the widest offset, whatever the column's width.
    QVERIFY(editor && editor->areaBox()->width() >= editor->areaBox()->sizeHint().width());
    QVERIFY(editor->offsetBox()->width() >= editor->offsetBox()->sizeHint().width());
}

void tst_DialogEdits::otherTabsShowTheEdits()
{
    CanObject slave = makeTestSlave(key);
    ModalAnswerer answerer;
    answerer.onModal(closing([&](QWidget *dialog) {
        showTab(dialog, QStringLiteral("CANopen I/O Mapping"));
        clickCell(ioTable(dialog), 0, 2);
        QTest::keyClick(ioTable(dialog), Qt::Key_Delete);
        showTab(dialog, QStringLiteral("PDO Config"));
        QTableWidget *pdos = dialog->findChild<PDOpage *>()->mappedTable();
        QCOMPARE(pdos->item(0, 3)->text(), QStringLiteral("3"));
        clickCell(pdos, 2, 0);
        click(dialog->findChild<PDOpage *>(), QStringLiteral("Remove"));
        showTab(dialog, QStringLiteral("CANopen I/O Mapping"));
        QCOMPARE(ioTable(dialog)->rowCount(), 4);
        click(dialog, QStringLiteral("&Cancel"));
    }));
    QCOMPARE(configCanObject(&slave, {3}, nullptr, false), 1);
    QCOMPARE(answerer.failure(), QString());
}

void tst_DialogEdits::editSdoKeepsItsObject_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("tabbing through the list") << "7";
    QTest::newRow("empty value") << "";
}

void tst_DialogEdits::editSdoKeepsItsObject()
{
    QFETCH(QString, value);
    CanObject slave = makeTestSlave(key);
    SDOEntry sdo;
    sdo.index = 0x2000;
    sdo.subIndex = 1;
    sdo.length = 4;
    sdo.dataText = value;
    sdo.data = value.isEmpty() ? QByteArray() : QByteArray::fromHex("00000007");
    slave.addSdo(sdo);
    SdoPage page(nullptr);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.setCanObject(&slave);

    ModalAnswerer answerer;
    answerer.onModal(closing([&](QWidget *dialog) {
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QPushButton *ok = childWithText<QPushButton>(dialog, QStringLiteral("OK"));
        QCOMPARE(ok->isEnabled(), !value.isEmpty());
        for (int i = 0; i < 8; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::mouseClick(ok, Qt::LeftButton);
    }));
    clickCell(page.sdoTable(), 0, 0, {}, true);
    QVERIFY(answerer.done());
    QCOMPARE(answerer.failure(), QString());
    QCOMPARE(slave.sdoList.first(), sdo);
}

void tst_DialogEdits::newSdoAddsWhatTheFieldsShow_data()
{
    QTest::addColumn<QList<int>>("clickedRows"); // the second and later with Ctrl
    QTest::addColumn<QStringList>("typed");      // index, sub-index, length, value
    QTest::addColumn<QString>("added");
    QTest::newRow("Ctrl-click deselects") << QList<int>{0, 1, 1} << QStringList() << "6200/1 1 Write Output 8 Bit";
    QTest::newRow("object typed by hand") << QList<int>() << QStringList{"1017", "0", "2", "100"} << "1017/0 2 ";
}

void tst_DialogEdits::newSdoAddsWhatTheFieldsShow()
{
    QFETCH(QList<int>, clickedRows);
    QFETCH(QStringList, typed);
    CanObject slave = makeTestSlave(key);
    SdoPage page(nullptr);
    page.show();
    page.setCanObject(&slave);

    ModalAnswerer answerer;
    answerer.onModal(closing([&](QWidget *dialog) {
        QTableWidget *list = static_cast<NewSDODialog *>(dialog)->parameterList()->table();
        for (int i = 0; i < clickedRows.size(); ++i)
            clickCell(list, clickedRows.at(i), 0, i ? Qt::ControlModifier : Qt::NoModifier);
        const QList<QSpinBox *> boxes = dialog->findChildren<QSpinBox *>();
        for (int i = 0; i < typed.size(); ++i)
            typeInto(i < 3 ? static_cast<QWidget *>(boxes.at(i)) : dialog->findChild<QLineEdit *>(), typed.at(i));
        click(dialog, QStringLiteral("OK"));
    }));
    click(&page, QStringLiteral("Add"));
    QVERIFY(answerer.done());
    QCOMPARE(answerer.failure(), QString());
    QCOMPARE(slave.sdoList.size(), 1);
    const SDOEntry &sdo = slave.sdoList.first();
    QTEST(QStringLiteral("%1/%2 %3 %4").arg(sdo.index, 0, 16).arg(sdo.subIndex).arg(sdo.length).arg(sdo.name),
          "added");
}

void tst_DialogEdits::fixedMappingRefusesAdditions_data()
{
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("double-click in the EDS list") << false;
    QTest::newRow("Add in the mapped list") << true;
}

void tst_DialogEdits::fixedMappingRefusesAdditions()
{
    QFETCH(bool, byMenu);
    CanObject slave = makeTestSlave(key);
    const PDOConfig before = *slave.pdo(0x1401);
    PDOParameterEditDialog editor(&slave, slave.pdo(0x1401), nullptr);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));

    ModalAnswerer answerer;
    if (byMenu)
        answerer.chooseMenuAction(QStringLiteral("Add"));
    answerer.answerMessageBox(QMessageBox::Ok);
    QTableWidget *table = byMenu ? editor.mappedTable()->table() : editor.edsTable()->table();
    if (byMenu) {
        const QPoint at = table->visualItemRect(table->item(0, 2)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, table->viewport()->mapToGlobal(at));
        QApplication::sendEvent(table->viewport(), &event);
    } else {
        clickCell(table, 1, 0, {}, true);
    }
    QTRY_VERIFY(answerer.done());
    QCOMPARE(answerer.failure(), QString());
    QCOMPARE(answerer.messageTexts(), QStringList{"Parameter Can Not Be Added To ReadOnly PDO!"});
    QVERIFY(*slave.pdo(0x1401) == before);
}

void tst_DialogEdits::fixedMappingComesBack_data()
{
    QTest::addColumn<bool>("onPdoPage");
    QTest::newRow("recompiled from the block") << false;
    QTest::newRow("removed and added back on the PDO page") << true;
}

void tst_DialogEdits::fixedMappingComesBack()
{
    QFETCH(bool, onPdoPage);
    CanObject *slave = createCanObject(nullptr, defaultsEds, 5, key);
    QVERIFY(slave && slave->pdo(0x1800)->mapList.size() == 2);
    const QList<PDOMapEntry> fixed = slave->pdo(0x1800)->mapList;
    QVERIFY(fixed.at(0).readOnly && fixed.at(1).readOnly);

    PDOpage page(nullptr);
    if (onPdoPage) {
        page.show();
        page.setCanObject(slave);
        clickCell(page.mappedTable(), 2, 0);
        click(&page, QStringLiteral("Remove"));
        QVERIFY(!slave->pdo(0x1800));
        clickCell(page.edsTable(), 2, 0, {}, true);
        QCOMPARE(page.mappedTable()->item(2, 3)->text(), QStringLiteral("2"));
    } else {
        QByteArray block;
        CompileList symbols;
        compile(slave, block, symbols);
        releaseObject(slave);
        int code = -1;
        slave = recompile(block, key, &code);
        QVERIFY(slave);
    }
    QCOMPARE(slave->pdo(0x1800)->mapList, fixed);
    releaseObject(slave);
}

void tst_DialogEdits::unsortedPdosAllShow()
{
    CanObject slave = makeTestSlave(key);
    slave.pdoList.move(2, 0); // 0x1800 first
    ParaListPage page(nullptr);
    page.show();
    page.setCanObject(&slave);
    QTableWidget *table = page.mappedTable()->table();
    QCOMPARE(table->rowCount(), 7);
    // Rows behind the first PDO reach their objects too.
    clickCell(table, 6, 2);
    QTest::keyClick(table, Qt::Key_Delete);
    QCOMPARE(slave.pdoList.at(2).mapList.size(), 1);
    QCOMPARE(table->rowCount(), 6);
}

QTEST_MAIN(tst_DialogEdits)
#include "tst_dialogedits.moc"
