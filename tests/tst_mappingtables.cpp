// The mapped-objects table, its memory editor and the EDS object list, driven
// as a user drives them on the I/O mapping page.

#include "modalanswerer.h"
#include "plugin/hostservices.h"
#include "testslave.h"
#include "ui/memoryeditwidget.h"
#include "ui/paralistpage.h"
#include "ui/parameterinedslisttable.h"
#include "ui/pdoparameterlisttable.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

namespace {

const QString key = QStringLiteral("/stations/mapping.hwc");

// Rows of the test slave: 0x1400 rows 0-2, 0x1401 rows 3-4, 0x1800 rows 5-6.
enum Row { Out1, Out2, AnalogueOut, FixedWord, Out3, In1, AnalogueIn };

QStringList column(QTableWidget *table, int column)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts.append(table->item(row, column) ? table->item(row, column)->text() : QStringLiteral("<none>"));
    return texts;
}

QPoint cellCenter(QTableWidget *table, int row, int column)
{
    return table->visualItemRect(table->item(row, column)).center();
}

void clickRow(QTableWidget *table, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, cellCenter(table, row, 2));
}

void doubleClickCell(QTableWidget *table, int row, int column)
{
    const QPoint at = cellCenter(table, row, column);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
}

void openContextMenu(QTableWidget *table, int row)
{
    const QPoint at = cellCenter(table, row, 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, table->viewport()->mapToGlobal(at));
    QApplication::sendEvent(table->viewport(), &event);
}

int reservedBytes()
{
    return reservedByteCount(key, VarAreaOutput) + reservedByteCount(key, VarAreaInput)
           + reservedByteCount(key, VarAreaFallback) + reservedByteCount(key, VarAreaAQ)
           + reservedByteCount(key, VarAreaAI);
}

bool reserved(int area, int offset, int size)
{
    // A reservation is there when it cannot be claimed again.
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

private slots:
    void init();
    void cleanup();
    void rowsFollowPdoAndMappingOrder();
    void emptyMappingShowsNoRows_data();
    void emptyMappingShowsNoRows();
    void typeNames_data();
    void typeNames();
    void clearWhenStopTogglesForOutputsOnly_data();
    void clearWhenStopTogglesForOutputsOnly();
    void removeSelectedRows_data();
    void removeSelectedRows();
    void readOnlyEntryIsRefused();
    void removingInFirstPdoKeepsSecondPdoRows();
    void memoryMove_data();
    void memoryMove();
    void analogueAreasOnlyForTwoByteObjects_data();
    void analogueAreasOnlyForTwoByteObjects();
    void analogueOffsetsStayEven();
    void addActionOnlySignals();
    void withoutMemoryColumnsDoubleClickDoesNothing();
    void edsListFiltersAndReportsPick_data();
    void edsListFiltersAndReportsPick();

private:
    QTableWidget *table() const { return page->mappedTable()->table(); }
    MemoryEditWidget *openMemoryEditor(int row);

    CanObject slave;
    std::unique_ptr<ParaListPage> page;
};

void tst_MappingTables::init()
{
    clearAllMemory();
    slave = makeTestSlave(key);
    page = std::make_unique<ParaListPage>(nullptr);
    page->resize(700, 400);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    page->setCanObject(&slave);
}

void tst_MappingTables::cleanup()
{
    page.reset();
}

MemoryEditWidget *tst_MappingTables::openMemoryEditor(int row)
{
    doubleClickCell(table(), row, 4);
    return table()->viewport()->findChild<MemoryEditWidget *>();
}

void tst_MappingTables::rowsFollowPdoAndMappingOrder()
{
    QCOMPARE(table()->columnCount(), 6);
    QCOMPARE(column(table(), 0), QStringList({"6200", "6200", "6411", "7000", "6200", "6000", "6401"}));
    QCOMPARE(column(table(), 1), QStringList({"1", "2", "1", "1", "3", "1", "1"}));
    QCOMPARE(column(table(), 3), QStringList({"UInt8", "UInt8", "Int16", "UInt32", "UInt8", "UInt8", "Int16"}));
    QCOMPARE(column(table(), 4), QStringList({"%Q,0", "%Q,1", "%Q,2", "%Q,4", "%Q,8", "%I,0", "%I,2"}));
    QCOMPARE(column(table(), 5), QStringList({"No", "No", "No", "No", "No", "", ""}));
    QCOMPARE(table()->item(FixedWord, 0)->data(Qt::UserRole + 1).toInt(), 0x1401);
    QCOMPARE(table()->item(FixedWord, 0)->data(Qt::UserRole + 2).toInt(), 0);
    QCOMPARE(table()->item(AnalogueIn, 0)->data(Qt::UserRole + 1).toInt(), 0x1800);
    QCOMPARE(table()->item(AnalogueIn, 0)->data(Qt::UserRole + 2).toInt(), 1);
    QVERIFY(!table()->isColumnHidden(4));
    QVERIFY(!table()->isColumnHidden(5));
}

void tst_MappingTables::emptyMappingShowsNoRows_data()
{
    QTest::addColumn<bool>("keepPdos");
    QTest::newRow("no PDOs") << false;
    QTest::newRow("PDOs mapping nothing") << true;
}

void tst_MappingTables::emptyMappingShowsNoRows()
{
    QFETCH(bool, keepPdos);
    CanObject empty(4);
    if (keepPdos)
        empty.pdoList = {pdoConfig(0x1400, 0x200, 4), pdoConfig(0x1800, 0x180, 4)};
    page->setCanObject(&empty);
    QCOMPARE(table()->rowCount(), 0);
}

void tst_MappingTables::typeNames_data()
{
    QTest::addColumn<int>("dataType");
    QTest::addColumn<QString>("name");
    const char *names[] = {"Unknown", "Bool", "Int8", "Int16", "Int32", "UInt8", "UInt16",
                           "UInt32", "Float point", "VisString", "Unknown"};
    for (int code = 0; code <= 10; ++code)
        QTest::addRow("type %d", code) << code << QString::fromLatin1(names[code]);
}

void tst_MappingTables::typeNames()
{
    QFETCH(int, dataType);
    slave.pdoList[0].mapList[1].dataType = quint32(dataType);
    page->setCanObject(&slave);
    QTEST(table()->item(Out2, 3)->text(), "name");
}

void tst_MappingTables::clearWhenStopTogglesForOutputsOnly_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("values");

    QTest::newRow("output") << int(Out2) << QStringList{"No", "Yes", "No"} << QList<int>{1, 0, 1};
    QTest::newRow("input") << int(In1) << QStringList{"", "", ""} << QList<int>{2, 2, 2};
}

void tst_MappingTables::clearWhenStopTogglesForOutputsOnly()
{
    QFETCH(int, row);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, values);

    const quint32 commIndex = table()->item(row, 0)->data(Qt::UserRole + 1).toUInt();
    const int position = table()->item(row, 0)->data(Qt::UserRole + 2).toInt();
    for (int step = 0; step < texts.size(); ++step) {
        if (step > 0)
            doubleClickCell(table(), row, 5);
        QCOMPARE(table()->item(row, 5)->text(), texts.at(step));
        QCOMPARE(int(slave.pdo(commIndex)->mapList.at(position).clearWhenStop), values.at(step));
    }
    // Its neighbours keep theirs.
    QCOMPARE(int(slave.pdo(0x1400)->mapList.at(0).clearWhenStop), 1);
}

void tst_MappingTables::removeSelectedRows_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Delete key") << "delete";
    QTest::newRow("D key") << "d";
    QTest::newRow("context menu") << "menu";
}

void tst_MappingTables::removeSelectedRows()
{
    QFETCH(QString, how);
    const int before = reservedBytes();

    clickRow(table(), Out1);
    clickRow(table(), AnalogueOut, Qt::ShiftModifier);
    QCOMPARE(table()->selectionModel()->selectedRows().size(), 3);

    ModalAnswerer answerer;
    if (how == QLatin1String("delete")) {
        QTest::keyClick(table(), Qt::Key_Delete);
    } else if (how == QLatin1String("d")) {
        QTest::keyClick(table(), Qt::Key_D);
    } else {
        answerer.chooseMenuAction(QStringLiteral("Remove"));
        openContextMenu(table(), Out2);
    }
    QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
    QVERIFY(answerer.done());

    QVERIFY(slave.pdo(0x1400)->mapList.isEmpty());
    QCOMPARE(slave.pdo(0x1401)->mapList.size(), 2);
    QCOMPARE(reservedBytes(), before - 4);
    QVERIFY(!reserved(VarAreaOutput, 0, 4));
    QVERIFY(reserved(VarAreaOutput, 4, 4));
    QCOMPARE(column(table(), 0), QStringList({"7000", "6200", "6000", "6401"}));
}

void tst_MappingTables::readOnlyEntryIsRefused()
{
    const int before = reservedBytes();
    clickRow(table(), Out2);
    clickRow(table(), FixedWord, Qt::ControlModifier);
    clickRow(table(), In1, Qt::ControlModifier);

    ModalAnswerer answerer;
    answerer.answerMessageBox(QMessageBox::Ok);
    QTest::keyClick(table(), Qt::Key_Delete);
    QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.messageTexts(), QStringList{"ReadOnly Parameter Can Not Be Removed!"});

    QCOMPARE(column(table(), 0), QStringList({"6200", "6411", "7000", "6200", "6401"}));
    QCOMPARE(slave.pdo(0x1401)->mapList.at(0).index, 0x7000u);
    QVERIFY(reserved(VarAreaOutput, 4, 4));
    QCOMPARE(reservedBytes(), before - 2);
    QVERIFY(!reserved(VarAreaOutput, 1, 1));
    QVERIFY(!reserved(VarAreaInput, 0, 1));
}

void tst_MappingTables::removingInFirstPdoKeepsSecondPdoRows()
{
    clickRow(table(), AnalogueOut);
    QTest::keyClick(table(), Qt::Key_Delete);
    QCOMPARE(slave.pdo(0x1400)->mapList.size(), 2);

    // The row of 0x1401's second entry still reaches that entry.
    const int out3Row = Out3 - 1;
    QCOMPARE(table()->item(out3Row, 1)->text(), QStringLiteral("3"));
    doubleClickCell(table(), out3Row, 5);
    QCOMPARE(int(slave.pdo(0x1401)->mapList.at(1).clearWhenStop), 0);
    QCOMPARE(int(slave.pdo(0x1400)->mapList.at(1).clearWhenStop), 1);
    QCOMPARE(table()->item(out3Row, 5)->text(), QStringLiteral("Yes"));
}

void tst_MappingTables::memoryMove_data()
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

void tst_MappingTables::memoryMove()
{
    QFETCH(int, row);
    QFETCH(QString, areaKey);
    QFETCH(QString, offset);
    QFETCH(int, area);
    QFETCH(int, expectedOffset);
    QFETCH(bool, moves);

    const quint32 commIndex = table()->item(row, 0)->data(Qt::UserRole + 1).toUInt();
    const int position = table()->item(row, 0)->data(Qt::UserRole + 2).toInt();
    const PDOMapEntry before = slave.pdo(commIndex)->mapList.at(position);
    const QString cellBefore = table()->item(row, 4)->text();
    const int bytesBefore = reservedBytes();

    MemoryEditWidget *editor = openMemoryEditor(row);
    QVERIFY(editor);
    QCOMPARE(editor->offsetBox()->value(), before.offset);
    if (!areaKey.isEmpty())
        QTest::keyClicks(editor->areaBox(), areaKey);
    QTest::keyClick(editor->offsetBox(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor->offsetBox(), offset);
    QTest::keyClick(editor->offsetBox(), Qt::Key_Return);
    QTRY_VERIFY(!table()->viewport()->findChild<MemoryEditWidget *>());

    const PDOMapEntry &after = slave.pdo(commIndex)->mapList.at(position);
    const int size = int(before.byteLength);
    QCOMPARE(reservedBytes(), bytesBefore);
    if (moves) {
        QCOMPARE(after.area, area);
        QCOMPARE(after.offset, expectedOffset);
        QCOMPARE(table()->item(row, 4)->text(),
                 QStringLiteral("%1,%2").arg(getMemName(VarArea(area))).arg(expectedOffset));
        QVERIFY(reserved(area, expectedOffset, size));
        if (area != before.area || qAbs(expectedOffset - before.offset) >= size)
            QVERIFY(!reserved(before.area, before.offset, size));
    } else {
        QCOMPARE(after, before);
        QCOMPARE(table()->item(row, 4)->text(), cellBefore);
        QVERIFY(reserved(before.area, before.offset, size));
    }
}

void tst_MappingTables::analogueAreasOnlyForTwoByteObjects_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("areas");
    QTest::addColumn<QString>("current");

    QTest::newRow("1-byte output") << int(Out1) << QStringList{"Q", "V"} << "Q";
    QTest::newRow("2-byte output") << int(AnalogueOut) << QStringList{"Q", "AQ", "V"} << "Q";
    QTest::newRow("4-byte output") << int(FixedWord) << QStringList{"Q", "V"} << "Q";
    QTest::newRow("1-byte input") << int(In1) << QStringList{"I", "V"} << "I";
    QTest::newRow("2-byte input") << int(AnalogueIn) << QStringList{"I", "AI", "V"} << "I";
}

void tst_MappingTables::analogueAreasOnlyForTwoByteObjects()
{
    QFETCH(int, row);
    QFETCH(QStringList, areas);

    MemoryEditWidget *editor = openMemoryEditor(row);
    QVERIFY(editor);
    QStringList offered;
    for (int i = 0; i < editor->areaBox()->count(); ++i)
        offered.append(editor->areaBox()->itemText(i));
    QCOMPARE(offered, areas);
    QTEST(editor->areaBox()->currentText(), "current");
    QTest::keyClick(editor->offsetBox(), Qt::Key_Escape);
}

void tst_MappingTables::analogueOffsetsStayEven()
{
    // The 2-byte input moves to offset 5 first, so the even rule has work to do.
    MemoryEditWidget *editor = openMemoryEditor(AnalogueIn);
    QTest::keyClick(editor->offsetBox(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor->offsetBox(), QStringLiteral("5"));
    QTest::keyClick(editor->offsetBox(), Qt::Key_Return);
    QTRY_COMPARE(table()->item(AnalogueIn, 4)->text(), QStringLiteral("%I,5"));

    editor = openMemoryEditor(AnalogueIn);
    QTest::keyClicks(editor->areaBox(), QStringLiteral("AI"));
    QCOMPARE(editor->areaBox()->currentText(), QStringLiteral("AI"));
    QCOMPARE(editor->offsetBox()->value(), 6);
    QCOMPARE(editor->offsetBox()->singleStep(), 2);

    QTest::keyClick(editor->offsetBox(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor->offsetBox(), QStringLiteral("7"));
    QTest::keyClick(editor->offsetBox(), Qt::Key_Return);
    QTRY_COMPARE(table()->item(AnalogueIn, 4)->text(), QStringLiteral("%AI,6"));
    QCOMPARE(slave.pdo(0x1800)->mapList.at(1).area, int(VarAreaAI));
    QCOMPARE(slave.pdo(0x1800)->mapList.at(1).offset, 6);
    QVERIFY(reserved(VarAreaAI, 6, 2));
    QVERIFY(!reserved(VarAreaInput, 5, 2));

    // An even offset typed in the analogue area stays; back in "I" odd is fine again.
    editor = openMemoryEditor(AnalogueIn);
    QTest::keyClick(editor->offsetBox(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor->offsetBox(), QStringLiteral("12"));
    QTest::keyClick(editor->offsetBox(), Qt::Key_Return);
    QTRY_COMPARE(table()->item(AnalogueIn, 4)->text(), QStringLiteral("%AI,12"));
    editor = openMemoryEditor(AnalogueIn);
    QTest::keyClicks(editor->areaBox(), QStringLiteral("I"));
    QCOMPARE(editor->offsetBox()->singleStep(), 1);
    QTest::keyClick(editor->offsetBox(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor->offsetBox(), QStringLiteral("9"));
    QTest::keyClick(editor->offsetBox(), Qt::Key_Return);
    QTRY_COMPARE(table()->item(AnalogueIn, 4)->text(), QStringLiteral("%I,9"));
}

void tst_MappingTables::addActionOnlySignals()
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

void tst_MappingTables::withoutMemoryColumnsDoubleClickDoesNothing()
{
    PDOParameterListTable list(nullptr, false);
    list.resize(600, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    // Copied before the table borrows the PDO, so that the slave's list is its own.
    const QList<PDOConfig> pdosBefore = slave.pdoList;
    QList<PDOConfig *> pdos{slave.pdo(0x1400)};
    list.fillTable(&slave, pdos);
    QCOMPARE(list.table()->rowCount(), 3);
    QVERIFY(list.table()->isColumnHidden(4));
    QVERIFY(list.table()->isColumnHidden(5));

    for (int column = 0; column < 4; ++column)
        doubleClickCell(list.table(), 1, column);
    QVERIFY(!list.table()->viewport()->findChild<MemoryEditWidget *>());
    QCOMPARE(list.table()->item(1, 2)->text(), QStringLiteral("Output 2"));
    QCOMPARE(slave.pdoList, pdosBefore);

    // Removing works here too, with the PDO list it was given.
    clickRow(list.table(), 0);
    QTest::keyClick(list.table(), Qt::Key_Delete);
    QCOMPARE(list.table()->rowCount(), 2);
    QCOMPARE(slave.pdo(0x1400)->mapList.size(), 2);
}

void tst_MappingTables::edsListFiltersAndReportsPick_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QStringList>("indexes");
    QTest::addColumn<QStringList>("access");
    QTest::addColumn<int>("pickRow");
    QTest::addColumn<int>("pickedIndex");
    QTest::addColumn<int>("pickedSubIndex");

    QTest::newRow("receive: writable only") << int(PdoReceive) << QStringList{"6200", "6411"}
                                            << QStringList{"RWW", "RW"} << 1 << 0x6411 << 0x1A;
    QTest::newRow("transmit: all") << int(PdoTransmit)
                                   << QStringList{"6000", "6200", "6401", "6411", "7000"}
                                   << QStringList{"RO", "RWW", "RO", "RW", "RO"} << 4 << 0x7000 << 1;
}

void tst_MappingTables::edsListFiltersAndReportsPick()
{
    QFETCH(int, direction);
    QFETCH(int, pickRow);

    ParameterInEdsListTable list(nullptr);
    list.resize(500, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.fillTable(&slave, direction);
    QTEST(column(list.table(), 0), "indexes");
    QTEST(column(list.table(), 2), "access");
    QCOMPARE(list.table()->rowHeight(0), 20);
    QVERIFY(list.table()->horizontalHeader()->stretchLastSection());

    QSignalSpy picked(&list, &ParameterInEdsListTable::itemclicked);
    doubleClickCell(list.table(), pickRow, 3);
    QCOMPARE(picked.count(), 1);
    QTEST(picked.at(0).at(0).toInt(), "pickedIndex");
    QTEST(picked.at(0).at(1).toInt(), "pickedSubIndex");
    QCOMPARE(picked.at(0).at(2).toInt(), 0);
    QVERIFY(!list.table()->viewport()->findChild<QLineEdit *>());
}

QTEST_MAIN(tst_MappingTables)
#include "tst_mappingtables.moc"
