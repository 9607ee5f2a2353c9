// The mapped-objects table and its memory editor, driven as a user drives them
// on the I/O mapping page.

#include "modalanswerer.h"
#include "plugin/hostservices.h"
#include "testslave.h"
#include "widgetfinding.h"
#include "ui/memoryeditwidget.h"
#include "ui/paralistpage.h"
#include "ui/pdoparameterlisttable.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QString key = QStringLiteral("/stations/mapping.hwc");

// Rows of the test slave: 0x1400 rows 0-2, 0x1401 rows 3-4, 0x1800 rows 5-6.
enum Row { Out1, Out2, AnalogueOut, FixedWord, Out3, In1, AnalogueIn };

int reservedBytes()
{
    int bytes = 0;
    for (VarArea area : {VarAreaOutput, VarAreaInput, VarAreaFallback, VarAreaAQ, VarAreaAI})
        bytes += reservedByteCount(key, area);
    return bytes;
}

// A reservation is there when it cannot be claimed again.
bool reserved(int area, int offset, int size)
{
    if (getMemory(key, VarArea(area), offset, size) == 1) {
        freeMemory(key, VarArea(area), offset, size);
        return false;
    }
    return true;
}

} // namespace

class tst_MappingTables : public QObject
{
    Q_OBJECT

    QTableWidget *table() const { return page->mappedTable()->table(); }
    PDOMapEntry &entryOfRow(int row)
    {
        const quint32 commIndex = table()->item(row, 0)->data(Qt::UserRole + 1).toUInt();
        return slave.pdo(commIndex)->mapList[table()->item(row, 0)->data(Qt::UserRole + 2).toInt()];
    }
    MemoryEditWidget *openMemoryEditor(int row)
    {
        doubleClickCell(table(), row, 4);
        return table()->viewport()->findChild<MemoryEditWidget *>();
    }
    // Area chosen by typing its name (none: kept), offset typed, Return.
    void typeAndReturn(MemoryEditWidget *editor, const QString &area, const QString &offset)
    {
        if (!area.isEmpty())
            QTest::keyClicks(editor->areaBox(), area);
        typeInto(editor->offsetBox(), offset);
        QTest::keyClick(editor->offsetBox(), Qt::Key_Return);
        QTRY_VERIFY(!table()->viewport()->findChild<MemoryEditWidget *>());
    }

    CanObject slave;
    std::unique_ptr<ParaListPage> page;

private slots:
    void init()
    {
        clearAllMemory();
        slave = makeTestSlave(key);
        page = std::make_unique<ParaListPage>(nullptr);
        page->resize(700, 400);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        page->setCanObject(&slave);
    }
    void cleanup() { page.reset(); }

    void rowsFollowPdoAndMappingOrder()
    {
        QCOMPARE(columnTexts(table(), 4), QStringList({"%Q,0", "%Q,1", "%Q,2", "%Q,4", "%Q,8", "%I,0", "%I,2"}));
        QCOMPARE(columnTexts(table(), 5), QStringList({"No", "No", "No", "No", "No", "", ""}));
        QCOMPARE(rowTexts(table(), FixedWord), QStringList({"7000", "1", "Fixed Word", "UInt32", "%Q,4", "No"}));
        QCOMPARE(&entryOfRow(FixedWord), &slave.pdo(0x1401)->mapList[0]);
        QCOMPARE(&entryOfRow(AnalogueIn), &slave.pdo(0x1800)->mapList[1]);
    }

    void removeSelectedRows_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Delete key") << "delete";
        QTest::newRow("D key") << "d";
        QTest::newRow("context menu") << "menu";
    }
    void removeSelectedRows()
    {
        QFETCH(QString, how);
        const int before = reservedBytes();
        clickCell(table(), Out1, 2);
        clickCell(table(), AnalogueOut, 2, Qt::ShiftModifier);
        ModalAnswerer answerer;
        if (how == QLatin1String("menu")) {
            answerer.chooseMenuAction(QStringLiteral("Remove"));
            openContextMenu(table(), Out2);
        } else {
            QTest::keyClick(table(), how == QLatin1String("d") ? Qt::Key_D : Qt::Key_Delete);
        }
        QCOMPARE(answerer.failure(), QString());
        QVERIFY(answerer.done());
        QVERIFY(slave.pdo(0x1400)->mapList.isEmpty());
        QCOMPARE(reservedBytes(), before - 4);
        QVERIFY(!reserved(VarAreaOutput, 0, 4));
        QCOMPARE(columnTexts(table(), 0), QStringList({"7000", "6200", "6000", "6401"}));
        // The row of 0x1401's second entry still reaches that entry; "Clear When
        // Stop" toggles for outputs only.
        doubleClickCell(table(), 1, 5);
        QCOMPARE(table()->item(1, 5)->text(), QStringLiteral("Yes"));
        QCOMPARE(int(slave.pdo(0x1401)->mapList.at(1).clearWhenStop), 0);
        doubleClickCell(table(), 2, 5);
        QCOMPARE(int(slave.pdo(0x1800)->mapList.at(0).clearWhenStop), 2);
        // Releasing the key removes nothing.
        QTest::keyRelease(table(), Qt::Key_Delete);
        QCOMPARE(table()->rowCount(), 4);
    }

    void readOnlyEntryIsRefused()
    {
        const int before = reservedBytes();
        selectRows(table(), {Out2, FixedWord, In1}, 2);
        ModalAnswerer answerer;
        answerer.answerMessageBox(QMessageBox::Ok);
        QTest::keyClick(table(), Qt::Key_Delete);
        QCOMPARE(answerer.messageTexts(), QStringList{"ReadOnly Parameter Can Not Be Removed!"});
        QCOMPARE(columnTexts(table(), 0), QStringList({"6200", "6411", "7000", "6200", "6401"}));
        QVERIFY(reserved(VarAreaOutput, 4, 4));
        QCOMPARE(reservedBytes(), before - 2);
        QVERIFY(!reserved(VarAreaOutput, 1, 1) && !reserved(VarAreaInput, 0, 1));
    }

    // Keys the open editor gets remove nothing; Esc hands the keys back to the table.
    void keysInTheOpenEditor()
    {
        MemoryEditWidget *editor = openMemoryEditor(Out2);
        QVERIFY(editor);
        QVERIFY(editor->width() >= editor->sizeHint().width());
        editor->areaBox()->setFocus();
        QTest::keyClick(editor->areaBox(), Qt::Key_Delete);
        QCOMPARE(slave.pdo(0x1400)->mapList.size(), 3);
        QTest::keyClick(editor->areaBox(), Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), table());
        QTest::keyClick(table(), Qt::Key_Delete);
        QCOMPARE(slave.pdo(0x1400)->mapList.size(), 2);
    }

    void memoryMove_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("areas"); // offered; the first chosen
        QTest::addColumn<QString>("areaKey");
        QTest::addColumn<QString>("offset");
        QTest::addColumn<int>("area");
        QTest::addColumn<int>("expectedOffset");
        QTest::addColumn<bool>("moves");
        const QStringList q{"Q", "V"};
        QTest::newRow("free place, same area") << int(Out1) << q << "" << "20" << int(VarAreaOutput) << 20 << true;
        QTest::newRow("free place, fallback area")
            << int(In1) << QStringList{"I", "V"} << "V" << "100" << int(VarAreaFallback) << 100 << true;
        QTest::newRow("onto its own bytes")
            << int(AnalogueIn) << QStringList{"I", "AI", "V"} << "" << "3" << int(VarAreaInput) << 3 << true;
        QTest::newRow("taken place") << int(Out1) << q << "" << "5" << int(VarAreaOutput) << 0 << false;
        QTest::newRow("beyond the area") << int(FixedWord) << q << "" << "509" << int(VarAreaOutput) << 4 << false;
        QTest::newRow("analogue output")
            << int(AnalogueOut) << QStringList{"Q", "AQ", "V"} << "AQ" << "10" << int(VarAreaAQ) << 10 << true;
    }
    void memoryMove()
    {
        QFETCH(int, row);
        QFETCH(QStringList, areas);
        QFETCH(int, area);
        QFETCH(int, expectedOffset);
        QFETCH(bool, moves);
        const PDOMapEntry before = entryOfRow(row);
        const QString cellBefore = table()->item(row, 4)->text();
        const int bytesBefore = reservedBytes();
        MemoryEditWidget *editor = openMemoryEditor(row);
        QVERIFY(editor);
        QStringList offered;
        for (int i = 0; i < editor->areaBox()->count(); ++i)
            offered.append(editor->areaBox()->itemText(i));
        QCOMPARE(offered, areas);
        QCOMPARE(editor->areaBox()->currentText(), areas.first());
        QCOMPARE(editor->offsetBox()->value(), before.offset);
        QFETCH(QString, areaKey);
        QFETCH(QString, offset);
        typeAndReturn(editor, areaKey, offset);

        const PDOMapEntry &after = entryOfRow(row);
        const int size = int(before.byteLength);
        QCOMPARE(reservedBytes(), bytesBefore);
        if (!moves) {
            QCOMPARE(after, before);
            QCOMPARE(table()->item(row, 4)->text(), cellBefore);
            QVERIFY(reserved(before.area, before.offset, size));
            return;
        }
        QCOMPARE(after.area, area);
        QCOMPARE(after.offset, expectedOffset);
        QCOMPARE(table()->item(row, 4)->text(), QStringLiteral("%1,%2").arg(getMemName(VarArea(area))).arg(expectedOffset));
        QVERIFY(reserved(area, expectedOffset, size));
        if (area != before.area || qAbs(expectedOffset - before.offset) >= size)
            QVERIFY(!reserved(before.area, before.offset, size));
    }

    void analogueOffsetsStayEven()
    {
        // The 2-byte input moves to offset 5 first, so the even rule has work to do.
        typeAndReturn(openMemoryEditor(AnalogueIn), QString(), QStringLiteral("5"));
        QCOMPARE(table()->item(AnalogueIn, 4)->text(), QStringLiteral("%I,5"));
        MemoryEditWidget *editor = openMemoryEditor(AnalogueIn);
        QTest::keyClicks(editor->areaBox(), QStringLiteral("AI"));
        QCOMPARE(editor->offsetBox()->value(), 6);
        QCOMPARE(editor->offsetBox()->singleStep(), 2);
        typeAndReturn(editor, QString(), QStringLiteral("7"));
        QCOMPARE(table()->item(AnalogueIn, 4)->text(), QStringLiteral("%AI,6"));
        QVERIFY(reserved(VarAreaAI, 6, 2));
        QVERIFY(!reserved(VarAreaInput, 5, 2));
        // Back in "I" odd is fine again.
        editor = openMemoryEditor(AnalogueIn);
        QTest::keyClicks(editor->areaBox(), QStringLiteral("I"));
        QCOMPARE(editor->offsetBox()->singleStep(), 1);
        typeAndReturn(editor, QString(), QStringLiteral("9"));
        QCOMPARE(table()->item(AnalogueIn, 4)->text(), QStringLiteral("%I,9"));
    }
};

QTEST_MAIN(tst_MappingTables)
#include "tst_mappingtables.moc"
