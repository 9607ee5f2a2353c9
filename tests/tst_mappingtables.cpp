// The mapped-objects table, its memory editor and the EDS object list, driven
// as a user drives them on the I/O mapping page.

#include "modalanswerer.h"
#include "plugin/hostservices.h"
#include "testslave.h"
#include "widgetfinding.h"
#include "ui/memoryeditwidget.h"
#include "ui/paralistpage.h"
#include "ui/parameterinedslisttable.h"
#include "ui/pdoparameterlisttable.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QtTest>

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
    void moveInEditor(int row, const QString &area, const QString &offset, int *shownOffset = nullptr)
    {
        MemoryEditWidget *editor = openMemoryEditor(row);
        QVERIFY(editor);
        if (shownOffset)
            *shownOffset = editor->offsetBox()->value();
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
        QCOMPARE(columnTexts(table(), 0), QStringList({"6200", "6200", "6411", "7000", "6200", "6000", "6401"}));
        QCOMPARE(columnTexts(table(), 1), QStringList({"1", "2", "1", "1", "3", "1", "1"}));
        QCOMPARE(columnTexts(table(), 3), QStringList({"UInt8", "UInt8", "Int16", "UInt32", "UInt8", "UInt8", "Int16"}));
        QCOMPARE(columnTexts(table(), 4), QStringList({"%Q,0", "%Q,1", "%Q,2", "%Q,4", "%Q,8", "%I,0", "%I,2"}));
        QCOMPARE(columnTexts(table(), 5), QStringList({"No", "No", "No", "No", "No", "", ""}));
        QCOMPARE(rowTexts(table(), FixedWord), QStringList({"7000", "1", "Fixed Word", "UInt32", "%Q,4", "No"}));
        QCOMPARE(&entryOfRow(FixedWord), &slave.pdo(0x1401)->mapList[0]);
        QCOMPARE(&entryOfRow(AnalogueIn), &slave.pdo(0x1800)->mapList[1]);
        // PDOs mapping nothing show no rows.
        CanObject empty(4);
        empty.pdoList = {pdoConfig(0x1400, 0x200, 4), pdoConfig(0x1800, 0x180, 4)};
        page->setCanObject(&empty);
        QCOMPARE(table()->rowCount(), 0);
    }

    void typeNames_data()
    {
        QTest::addColumn<int>("dataType");
        QTest::addColumn<QString>("name");
        const char *names[] = {"Unknown", "Bool", "Int8", "Int16", "Int32", "UInt8",
                               "UInt16", "UInt32", "Float point", "VisString", "Unknown"};
        for (int code = 0; code <= 10; ++code)
            QTest::addRow("type %d", code) << code << QString::fromLatin1(names[code]);
    }
    void typeNames()
    {
        QFETCH(int, dataType);
        slave.pdoList[0].mapList[1].dataType = quint32(dataType);
        page->setCanObject(&slave);
        QTEST(table()->item(Out2, 3)->text(), "name");
    }

    void clearWhenStopTogglesForOutputsOnly_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("output") << int(Out2) << QStringList{"No", "Yes", "No"} << QList<int>{1, 0, 1};
        QTest::newRow("input") << int(In1) << QStringList{"", "", ""} << QList<int>{2, 2, 2};
    }
    void clearWhenStopTogglesForOutputsOnly()
    {
        QFETCH(int, row);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, values);
        for (int step = 0; step < texts.size(); ++step) {
            if (step > 0)
                doubleClickCell(table(), row, 5);
            QCOMPARE(table()->item(row, 5)->text(), texts.at(step));
            QCOMPARE(int(entryOfRow(row).clearWhenStop), values.at(step));
        }
        // Its neighbours keep theirs.
        QCOMPARE(int(slave.pdo(0x1400)->mapList.at(0).clearWhenStop), 1);
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
        QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
        QVERIFY(answerer.done());
        QVERIFY(slave.pdo(0x1400)->mapList.isEmpty());
        QCOMPARE(slave.pdo(0x1401)->mapList.size(), 2);
        QCOMPARE(reservedBytes(), before - 4);
        QVERIFY(!reserved(VarAreaOutput, 0, 4));
        QCOMPARE(columnTexts(table(), 0), QStringList({"7000", "6200", "6000", "6401"}));
        // The row of 0x1401's second entry still reaches that entry.
        doubleClickCell(table(), 1, 5);
        QCOMPARE(int(slave.pdo(0x1401)->mapList.at(1).clearWhenStop), 0);
    }

    // The press removes; releasing the key removes nothing more.
    void removeOnKeyPressOnly()
    {
        clickCell(table(), Out1, 2);
        QTest::keyPress(table(), Qt::Key_Delete);
        QCOMPARE(table()->rowCount(), 6);
        clickCell(table(), Out1, 2);
        QTest::keyRelease(table(), Qt::Key_Delete);
        QCOMPARE(table()->rowCount(), 6);
        QCOMPARE(slave.pdo(0x1400)->mapList.size(), 2);
    }

    void readOnlyEntryIsRefused()
    {
        const int before = reservedBytes();
        selectRows(table(), {Out2, FixedWord, In1}, 2);
        ModalAnswerer answerer;
        answerer.answerMessageBox(QMessageBox::Ok);
        QTest::keyClick(table(), Qt::Key_Delete);
        QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
        QCOMPARE(answerer.messageTexts(), QStringList{"ReadOnly Parameter Can Not Be Removed!"});
        QCOMPARE(columnTexts(table(), 0), QStringList({"6200", "6411", "7000", "6200", "6401"}));
        QCOMPARE(slave.pdo(0x1401)->mapList.at(0).index, 0x7000u);
        QVERIFY(reserved(VarAreaOutput, 4, 4));
        QCOMPARE(reservedBytes(), before - 2);
        QVERIFY(!reserved(VarAreaOutput, 1, 1));
        QVERIFY(!reserved(VarAreaInput, 0, 1));
    }

    void memoryMove_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("areaKey");
        QTest::addColumn<QString>("offset");
        QTest::addColumn<int>("area");
        QTest::addColumn<int>("expectedOffset");
        QTest::addColumn<bool>("moves");
        QTest::newRow("free place, same area") << int(Out1) << "" << "20" << int(VarAreaOutput) << 20 << true;
        QTest::newRow("free place, fallback area") << int(In1) << "V" << "100" << int(VarAreaFallback) << 100 << true;
        QTest::newRow("onto its own bytes") << int(AnalogueIn) << "" << "3" << int(VarAreaInput) << 3 << true;
        QTest::newRow("taken place") << int(Out1) << "" << "5" << int(VarAreaOutput) << 0 << false;
        QTest::newRow("beyond the area") << int(AnalogueOut) << "" << "511" << int(VarAreaOutput) << 2 << false;
        QTest::newRow("analogue output") << int(AnalogueOut) << "AQ" << "10" << int(VarAreaAQ) << 10 << true;
    }
    void memoryMove()
    {
        QFETCH(int, row);
        QFETCH(int, area);
        QFETCH(int, expectedOffset);
        QFETCH(bool, moves);
        const PDOMapEntry before = entryOfRow(row);
        const QString cellBefore = table()->item(row, 4)->text();
        const int bytesBefore = reservedBytes();
        QFETCH(QString, areaKey);
        QFETCH(QString, offset);
        int shownOffset = -1;
        moveInEditor(row, areaKey, offset, &shownOffset);
        QCOMPARE(shownOffset, before.offset);

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

    void analogueAreasOnlyForTwoByteObjects_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("areas");
        QTest::newRow("1-byte output") << int(Out1) << QStringList{"Q", "V"};
        QTest::newRow("2-byte output") << int(AnalogueOut) << QStringList{"Q", "AQ", "V"};
        QTest::newRow("4-byte output") << int(FixedWord) << QStringList{"Q", "V"};
        QTest::newRow("1-byte input") << int(In1) << QStringList{"I", "V"};
        QTest::newRow("2-byte input") << int(AnalogueIn) << QStringList{"I", "AI", "V"};
    }
    void analogueAreasOnlyForTwoByteObjects()
    {
        QFETCH(int, row);
        QFETCH(QStringList, areas);
        MemoryEditWidget *editor = openMemoryEditor(row);
        QVERIFY(editor);
        QStringList offered;
        for (int i = 0; i < editor->areaBox()->count(); ++i)
            offered.append(editor->areaBox()->itemText(i));
        QCOMPARE(offered, areas);
        QCOMPARE(editor->areaBox()->currentText(), areas.first());
        QTest::keyClick(editor->offsetBox(), Qt::Key_Escape);
    }

    void analogueOffsetsStayEven()
    {
        // The 2-byte input moves to offset 5 first, so the even rule has work to do.
        moveInEditor(AnalogueIn, QString(), QStringLiteral("5"));
        QCOMPARE(table()->item(AnalogueIn, 4)->text(), QStringLiteral("%I,5"));
        MemoryEditWidget *editor = openMemoryEditor(AnalogueIn);
        QTest::keyClicks(editor->areaBox(), QStringLiteral("AI"));
        QCOMPARE(editor->offsetBox()->value(), 6);
        QCOMPARE(editor->offsetBox()->singleStep(), 2);
        typeInto(editor->offsetBox(), QStringLiteral("7"));
        QTest::keyClick(editor->offsetBox(), Qt::Key_Return);
        QTRY_COMPARE(table()->item(AnalogueIn, 4)->text(), QStringLiteral("%AI,6"));
        QCOMPARE(entryOfRow(AnalogueIn).area, int(VarAreaAI));
        QCOMPARE(entryOfRow(AnalogueIn).offset, 6);
        QVERIFY(reserved(VarAreaAI, 6, 2));
        QVERIFY(!reserved(VarAreaInput, 5, 2));
        // Back in "I" odd is fine again.
        editor = openMemoryEditor(AnalogueIn);
        QTest::keyClicks(editor->areaBox(), QStringLiteral("I"));
        QCOMPARE(editor->offsetBox()->singleStep(), 1);
        typeInto(editor->offsetBox(), QStringLiteral("9"));
        QTest::keyClick(editor->offsetBox(), Qt::Key_Return);
        QTRY_COMPARE(table()->item(AnalogueIn, 4)->text(), QStringLiteral("%I,9"));
    }

    void addActionOnlySignals()
    {
        QSignalSpy added(page->mappedTable(), &PDOParameterListTable::addActClicked);
        const QList<PDOConfig> pdosBefore = slave.pdoList;
        ModalAnswerer answerer;
        answerer.chooseMenuAction(QStringLiteral("Add"));
        openContextMenu(table(), Out1);
        QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
        QCOMPARE(added.count(), 1);
        QCOMPARE(slave.pdoList, pdosBefore);
        QCOMPARE(table()->rowCount(), 7);
    }

    void withoutMemoryColumnsDoubleClickDoesNothing()
    {
        PDOParameterListTable list(nullptr, false);
        list.resize(600, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        // Copied before the table borrows the PDO, so that the slave's list is its own.
        const QList<PDOConfig> pdosBefore = slave.pdoList;
        list.fillTable(&slave, {slave.pdo(0x1400)});
        QVERIFY(list.table()->isColumnHidden(4) && list.table()->isColumnHidden(5));
        for (int column = 0; column < 4; ++column)
            doubleClickCell(list.table(), 1, column);
        QVERIFY(!list.table()->viewport()->findChild<MemoryEditWidget *>());
        QCOMPARE(slave.pdoList, pdosBefore);
        // Removing works here too, with the PDO list it was given.
        clickCell(list.table(), 0, 2);
        QTest::keyClick(list.table(), Qt::Key_Delete);
        QCOMPARE(columnTexts(list.table(), 2), QStringList({"Output 2", "Analogue Out"}));
        QCOMPARE(slave.pdo(0x1400)->mapList.size(), 2);
    }

    void edsListFiltersAndReportsPick_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QStringList>("indexes");
        QTest::addColumn<QStringList>("access");
        QTest::addColumn<int>("pickRow");
        QTest::addColumn<int>("pickedIndex");
        QTest::addColumn<int>("pickedSubIndex");
        QTest::newRow("receive: writable only")
            << int(PdoReceive) << QStringList{"6200", "6411"} << QStringList{"RWW", "RW"} << 1 << 0x6411 << 0x1A;
        QTest::newRow("transmit: all") << int(PdoTransmit) << QStringList{"6000", "6200", "6401", "6411", "7000"}
                                       << QStringList{"RO", "RWW", "RO", "RW", "RO"} << 4 << 0x7000 << 1;
    }
    void edsListFiltersAndReportsPick()
    {
        QFETCH(int, direction);
        QFETCH(int, pickRow);
        ParameterInEdsListTable list(nullptr);
        list.resize(500, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.fillTable(&slave, direction);
        QTEST(columnTexts(list.table(), 0), "indexes");
        QTEST(columnTexts(list.table(), 2), "access");
        QSignalSpy picked(&list, &ParameterInEdsListTable::itemclicked);
        doubleClickCell(list.table(), pickRow, 3);
        QCOMPARE(picked.count(), 1);
        QTEST(picked.at(0).at(0).toInt(), "pickedIndex");
        QTEST(picked.at(0).at(1).toInt(), "pickedSubIndex");
        QCOMPARE(picked.at(0).at(2).toInt(), 0);
        QVERIFY(!list.table()->viewport()->findChild<QLineEdit *>());
    }
};

QTEST_MAIN(tst_MappingTables)
#include "tst_mappingtables.moc"
