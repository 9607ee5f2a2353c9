// Paths on which the dialog once lost or silently changed what the user did.

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

#include <QtWidgets>

namespace {

const QString key = QStringLiteral("/stations/edits.hwc");

QTableWidget *ioTable(QWidget *dialog)
{
    return dialog->findChild<ParaListPage *>()->mappedTable()->table();
}

// Opens the memory editor of row and types offset, leaving it open.
MemoryEditWidget *typeOffset(QTableWidget *table, int row, const QString &offset)
{
    doubleClickCell(table, row, 4);
    auto *editor = table->viewport()->findChild<MemoryEditWidget *>();
    if (editor)
        typeInto(editor->offsetBox(), offset);
    return editor;
}

} // namespace

class tst_DialogEdits : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearAllMemory(); }

    void openMemoryEditorIsKept_data()
    {
        QTest::addColumn<QString>("leaveBy");
        QTest::newRow("OK") << "&OK";
        QTest::newRow("tab change") << "PDO Config";
        QTest::newRow("focus to Help") << "Help";
    }

    void openMemoryEditorIsKept()
    {
        QFETCH(QString, leaveBy);
        CanObject slave = makeTestSlave(key);
        ModalAnswerer answerer;
        answerer.onDialog([&](QWidget *dialog) {
            showTab(dialog, QStringLiteral("CANopen I/O Mapping"));
            QPointer<MemoryEditWidget> editor = typeOffset(ioTable(dialog), 5, QStringLiteral("40"));
            QVERIFY(editor);
            leaveBy.startsWith('P') ? showTab(dialog, leaveBy) : clickButton(dialog, leaveBy);
            if (leaveBy != QLatin1String("&OK")) {
                QTRY_VERIFY(!editor || !editor->isVisible());
                QVERIFY(leaveBy != "Help" || QApplication::focusWidget() == childWithText<QPushButton>(dialog, leaveBy));
                QCOMPARE(ioTable(dialog)->item(5, 4)->text(), QStringLiteral("%I,40"));
                clickButton(dialog, QStringLiteral("&OK"));
            }
        });
        QCOMPARE(configCanObject(&slave, {3}, nullptr, false), 0);
        QCOMPARE(slave.pdo(0x1800)->mapList.at(0).offset, 40);
        QCOMPARE(getMemory(key, VarAreaInput, 40, 1), 0);
        QCOMPARE(getMemory(key, VarAreaInput, 0, 1), 1);
    }

    void otherTabsShowTheEdits()
    {
        CanObject slave = makeTestSlave(key);
        ModalAnswerer answerer;
        answerer.onDialog([&](QWidget *dialog) {
            showTab(dialog, QStringLiteral("CANopen I/O Mapping"));
            clickCell(ioTable(dialog), 0, 2);
            QTest::keyClick(ioTable(dialog), Qt::Key_Delete);
            showTab(dialog, QStringLiteral("PDO Config"));
            auto *pdoPage = dialog->findChild<PDOpage *>();
            QCOMPARE(pdoPage->mappedTable()->item(0, 3)->text(), QStringLiteral("3"));
            clickCell(pdoPage->mappedTable(), 2, 0);
            clickButton(pdoPage, QStringLiteral("Remove"));
            showTab(dialog, QStringLiteral("CANopen I/O Mapping"));
            QCOMPARE(ioTable(dialog)->rowCount(), 4);
        });
        QCOMPARE(configCanObject(&slave, {3}, nullptr, false), 1);
    }

    // Rows out of PDO order, a Delete in the open editor, and its width.
    void ioPageAlone()
    {
        CanObject slave = makeTestSlave(key);
        slave.pdoList.move(2, 0); // 0x1800 first
        ParaListPage page(nullptr);
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        page.setCanObject(&slave);
        QTableWidget *table = page.mappedTable()->table();
        QCOMPARE(table->rowCount(), 7);

        MemoryEditWidget *editor = typeOffset(table, 1, QStringLiteral("120"));
        QVERIFY(editor);
        QVERIFY(editor->areaBox()->width() >= editor->areaBox()->sizeHint().width());
        QVERIFY(editor->offsetBox()->width() >= editor->offsetBox()->sizeHint().width());
        editor->areaBox()->setFocus();
        QTest::keyClick(editor->areaBox(), Qt::Key_Delete);
        QCOMPARE(slave.pdoList.at(0).mapList.size(), 2);
        QTest::keyClick(editor->areaBox(), Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), table);

        clickCell(table, 6, 2);
        QTest::keyClick(table, Qt::Key_Delete);
        QCOMPARE(slave.pdoList.at(2).mapList.size(), 1);
    }

    void sdoDialogStoresWhatItShows_data()
    {
        QTest::addColumn<bool>("editing");           // "Edit SDO" on an SDO 2000/1 of this value, else "New SDO"
        QTest::addColumn<QString>("value");
        QTest::addColumn<QList<int>>("clickedRows"); // the second and later with Ctrl
        QTest::addColumn<QStringList>("typed");      // index, sub-index, length, value
        QTest::addColumn<QString>("added");
        QTest::newRow("edit, tabbing through the list") << true << "7" << QList<int>() << QStringList() << QString();
        QTest::newRow("edit, empty value") << true << "" << QList<int>() << QStringList() << QString();
        QTest::newRow("new, Ctrl-click deselects") << false << "" << QList<int>{0, 1, 1} << QStringList() << "6200/1 1 Write Output 8 Bit";
        QTest::newRow("new, object typed by hand") << false << "" << QList<int>() << QStringList{"1017", "0", "2", "100"} << "1017/0 2 ";
    }

    void sdoDialogStoresWhatItShows()
    {
        QFETCH(bool, editing);
        QFETCH(QString, value);
        QFETCH(QList<int>, clickedRows);
        QFETCH(QStringList, typed);
        CanObject slave = makeTestSlave(key);
        const SDOEntry sdo{0x2000, 1, 4, value.isEmpty() ? QByteArray() : QByteArray::fromHex("00000007"), value, {}};
        if (editing)
            slave.addSdo(sdo);
        SdoPage page(nullptr);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        page.setCanObject(&slave);
        ModalAnswerer answerer;
        answerer.onDialog([&](QWidget *dialog) {
            QPushButton *ok = childWithText<QPushButton>(dialog, QStringLiteral("OK"));
            QVERIFY(!editing || ok->isEnabled() == !value.isEmpty());
            for (int i = 0; editing && i < 8; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTableWidget *list = static_cast<NewSDODialog *>(dialog)->parameterList()->table();
            for (int i = 0; i < clickedRows.size(); ++i)
                clickCell(list, clickedRows.at(i), 0, i ? Qt::ControlModifier : Qt::NoModifier);
            const QList<QSpinBox *> boxes = dialog->findChildren<QSpinBox *>();
            for (int i = 0; i < typed.size(); ++i)
                typeInto(i < 3 ? static_cast<QWidget *>(boxes.at(i)) : dialog->findChild<QLineEdit *>(), typed.at(i));
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        editing ? doubleClickCell(page.sdoTable(), 0, 0) : clickButton(&page, QStringLiteral("Add"));
        QVERIFY(answerer.done());
        QCOMPARE(slave.sdoList.size(), 1);
        const SDOEntry &got = slave.sdoList.first();
        if (editing)
            QCOMPARE(got, sdo);
        else
            QTEST(QStringLiteral("%1/%2 %3 %4").arg(got.index, 0, 16).arg(got.subIndex).arg(got.length).arg(got.name), "added");
    }

    void fixedMappingRefusesAdditions_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("double-click in the EDS list") << false;
        QTest::newRow("Add in the mapped list") << true;
    }

    void fixedMappingRefusesAdditions()
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
        if (byMenu)
            openContextMenu(editor.mappedTable()->table(), editor.mappedTable()->table()->rowCount());
        else
            doubleClickCell(editor.edsTable()->table(), 1, 0);
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.failure(), QString());
        QCOMPARE(answerer.messageTexts(), QStringList{"Parameter Can Not Be Added To ReadOnly PDO!"});
        QVERIFY(*slave.pdo(0x1401) == before);
    }

    void fixedMappingComesBack_data()
    {
        QTest::addColumn<bool>("onPdoPage");
        QTest::newRow("recompiled from the block") << false;
        QTest::newRow("removed and added back on the PDO page") << true;
    }

    void fixedMappingComesBack()
    {
        QFETCH(bool, onPdoPage);
        CanObject *slave = createCanObject(nullptr, QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds"), 5, key);
        QVERIFY(slave);
        const QList<PDOMapEntry> fixed = slave->pdo(0x1800)->mapList;
        QVERIFY(fixed.size() == 2 && fixed.at(0).readOnly && fixed.at(1).readOnly);
        PDOpage page(nullptr);
        if (onPdoPage) {
            page.show();
            page.setCanObject(slave);
            clickCell(page.mappedTable(), 2, 0);
            clickButton(&page, QStringLiteral("Remove"));
            QVERIFY(!slave->pdo(0x1800));
            doubleClickCell(page.edsTable(), 2, 0);
            QCOMPARE(page.mappedTable()->item(2, 3)->text(), QStringLiteral("2"));
        } else {
            QByteArray block;
            CompileList symbols;
            compile(slave, block, symbols);
            releaseObject(slave);
            slave = recompile(block, key, nullptr);
            QVERIFY(slave);
        }
        QCOMPARE(slave->pdo(0x1800)->mapList, fixed);
        releaseObject(slave);
    }
};

QTEST_MAIN(tst_DialogEdits)
#include "tst_dialogedits.moc"
