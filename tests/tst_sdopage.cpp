// The SDO tab and its New/Edit SDO dialog, driven as a user drives them, and
// the SDOs it adds as the configuration block carries them.

#include "modalanswerer.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"
#include "testslave.h"
#include "ui/newsdodialog.h"
#include "ui/parameterinedslisttable.h"
#include "ui/sdopage.h"

#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

namespace {

const QString key = QStringLiteral("/stations/sdo.hwc");

// Rows of the "New SDO" list: the test slave's writable objects and two more.
enum ParameterRow { Output8, AnalogueOut, SetPoint, Label };

SDOEntry sdo(quint16 index, quint8 subIndex, quint8 length, const QByteArray &data, const QString &text = {})
{
    SDOEntry entry;
    entry.index = index;
    entry.subIndex = subIndex;
    entry.length = length;
    entry.data = data;
    entry.dataText = text;
    return entry;
}

QPushButton *button(QWidget *parent, const QString &text)
{
    const QList<QPushButton *> buttons = parent->findChildren<QPushButton *>();
    for (QPushButton *b : buttons) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

void clickRow(QTableWidget *table, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers,
                      table->visualItemRect(table->item(row, 0)).center());
}

QStringList rowTexts(QTableWidget *table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts.append(table->item(row, column)->text());
    return texts;
}

// Chooses the rows in "New SDO", types value when given, then presses OK.
std::function<void(QWidget *)> chooseParameters(QList<int> rows, QString value = {})
{
    return [rows, value](QWidget *widget) {
        auto *dialog = qobject_cast<NewSDODialog *>(widget);
        QVERIFY(dialog);
        QTableWidget *list = dialog->parameterList()->table();
        for (int i = 0; i < rows.size(); ++i)
            clickRow(list, rows.at(i), i == 0 ? Qt::NoModifier : Qt::ControlModifier);
        if (!value.isNull()) {
            QLineEdit *data = dialog->findChild<QLineEdit *>();
            data->selectAll();
            QTest::keyClicks(data, value);
        }
        QTest::mouseClick(button(dialog, QStringLiteral("OK")), Qt::LeftButton);
    };
}

} // namespace

class tst_SdoPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void addRespectsTheLimit_data();
    void addRespectsTheLimit();
    void newSdoChecksValueLive();
    void removeNonAdjacentRows();
    void editShowsBytesAndWritesBack_data();
    void editShowsBytesAndWritesBack();
    void dialogAddsSdosToTheBlock_data();
    void dialogAddsSdosToTheBlock();

private:
    CanObject slave;
    std::unique_ptr<SdoPage> page;
};

void tst_SdoPage::init()
{
    clearAllMemory();
    slave = makeTestSlave(key);
    slave.mappableList.append(mappableEntry(0x2000, 1, DataTypeUnsigned32, QStringLiteral("rw"),
                                            QStringLiteral("Set Point")));
    slave.mappableList.append(mappableEntry(0x2001, 0, 9, QStringLiteral("wo"), QStringLiteral("Label")));
    page = std::make_unique<SdoPage>(nullptr);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
}

void tst_SdoPage::addRespectsTheLimit_data()
{
    QTest::addColumn<int>("present");
    QTest::addColumn<QList<int>>("chosen"); // empty: the dialog must not open
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<QStringList>("addedLengths");
    QTest::addColumn<int>("messages");

    QTest::newRow("eight present") << 8 << QList<int>{} << false << QStringList{} << 1;
    QTest::newRow("eight present, menu") << 8 << QList<int>{} << true << QStringList{} << 1;
    QTest::newRow("seven present, three chosen") << 7 << QList<int>{Output8, SetPoint, Label} << false
                                                 << QStringList{"1"} << 1;
    // Taken over in row order, each sized by its object; an object without a size takes 1.
    QTest::newRow("three chosen") << 0 << QList<int>{Label, Output8, AnalogueOut} << true
                                  << QStringList{"1", "2", "1"} << 0;
}

void tst_SdoPage::addRespectsTheLimit()
{
    QFETCH(int, present);
    QFETCH(QList<int>, chosen);
    QFETCH(bool, byMenu);
    QFETCH(QStringList, addedLengths);
    QFETCH(int, messages);
    for (int i = 0; i < present; ++i)
        slave.addSdo(sdo(quint16(0x3000 + i), 0, 1, QByteArray(1, char(i)), QString::number(i)));
    page->setCanObject(&slave);

    ModalAnswerer answerer;
    if (byMenu)
        answerer.chooseMenuAction(QStringLiteral("Add"));
    if (!chosen.isEmpty())
        answerer.onModal(chooseParameters(chosen), QStringLiteral("New SDO"));
    for (int i = 0; i < messages; ++i)
        answerer.answerMessageBox(QMessageBox::Ok);
    if (byMenu) {
        QTableWidget *table = page->sdoTable();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), table->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(table, &event);
    } else {
        QTest::mouseClick(button(page.get(), QStringLiteral("Add")), Qt::LeftButton);
    }
    QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
    QTRY_VERIFY(answerer.done());

    QCOMPARE(answerer.messageTexts().size(), messages);
    for (const QString &text : answerer.messageTexts())
        QCOMPARE(text, QStringLiteral("The count of auto SDO has reached the maximum number 8."));
    QCOMPARE(slave.sdoList.size(), present + addedLengths.size());
    QCOMPARE(page->sdoTable()->rowCount(), slave.sdoList.size());
    for (int i = 0; i < addedLengths.size(); ++i) {
        const SDOEntry &added = slave.sdoList.at(present + i);
        QCOMPARE(QString::number(added.length), addedLengths.at(i));
        QCOMPARE(added.dataText, QStringLiteral("0"));
        QCOMPARE(added.data, QByteArray(added.length, '\0'));
        QCOMPARE(page->sdoTable()->item(present + i, 3)->text(), addedLengths.at(i));
    }
}

void tst_SdoPage::newSdoChecksValueLive()
{
    page->setCanObject(&slave);
    ModalAnswerer answerer;
    answerer.onModal([](QWidget *widget) {
        auto *dialog = qobject_cast<NewSDODialog *>(widget);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("New SDO"));
        // Receive filter: only the writable objects are offered.
        QCOMPARE(dialog->parameterList()->table()->rowCount(), 4);
        clickRow(dialog->parameterList()->table(), Output8);
        QLineEdit *data = dialog->findChild<QLineEdit *>();
        QSpinBox *length = dialog->findChildren<QSpinBox *>().last();
        QPushButton *ok = button(dialog, QStringLiteral("OK"));
        QCOMPARE(data->text(), QStringLiteral("0"));
        QCOMPARE(length->value(), 1);
        QVERIFY(ok->isEnabled());

        data->selectAll();
        QTest::keyClicks(data, QStringLiteral("256"));
        QVERIFY(!ok->isEnabled());
        QCOMPARE(data->palette().color(QPalette::Text), QColor(255, 0, 0));
        // A longer length lets the same value through.
        length->setFocus();
        QTest::keyClick(length, Qt::Key_Up);
        QVERIFY(ok->isEnabled());
        QCOMPARE(data->palette().color(QPalette::Text), QColor(0, 0, 0));
        // The validator refuses what no form can become.
        data->selectAll();
        QTest::keyClicks(data, QStringLiteral("16#1g2x3"));
        QCOMPARE(data->text(), QStringLiteral("16#123"));
        QTest::mouseClick(ok, Qt::LeftButton);
    }, QStringLiteral("New SDO"));
    QTest::mouseClick(button(page.get(), QStringLiteral("Add")), Qt::LeftButton);
    QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
    QVERIFY(answerer.done());

    QCOMPARE(slave.sdoList.size(), 1);
    const SDOEntry &added = slave.sdoList.first();
    QCOMPARE(added.index, quint16(0x6200));
    QCOMPARE(added.subIndex, quint8(1));
    QCOMPARE(added.length, quint8(2));
    QCOMPARE(added.data, QByteArray::fromHex("0123"));
    QCOMPARE(added.name, QStringLiteral("Write Output 8 Bit"));
    QCOMPARE(rowTexts(page->sdoTable(), 0),
             (QStringList{"6200", "1", "Write Output 8 Bit", "2", "16#123"}));
}

void tst_SdoPage::removeNonAdjacentRows()
{
    for (int i = 0; i < 4; ++i)
        slave.addSdo(sdo(quint16(0x3000 + i), quint8(i), 1, QByteArray(1, char(i)), QString::number(i)));
    page->setCanObject(&slave);
    clickRow(page->sdoTable(), 0);
    clickRow(page->sdoTable(), 2, Qt::ControlModifier);
    QTest::mouseClick(button(page.get(), QStringLiteral("Remove")), Qt::LeftButton);

    QCOMPARE(slave.sdoList.size(), 2);
    QCOMPARE(slave.sdoList.at(0).index, quint16(0x3001));
    QCOMPARE(slave.sdoList.at(1).index, quint16(0x3003));
    QCOMPARE(page->sdoTable()->rowCount(), 2);
    QCOMPARE(rowTexts(page->sdoTable(), 1), (QStringList{"3003", "3", "", "1", "3"}));
}

void tst_SdoPage::editShowsBytesAndWritesBack_data()
{
    QTest::addColumn<bool>("byDoubleClick");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("typed"); // empty: Cancel
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("dataText");

    QTest::newRow("Edit, Cancel") << false << 1 << "" << QByteArray::fromHex("7f") << "16#7f";
    QTest::newRow("double-click, OK") << true << 1 << "-2" << QByteArray::fromHex("fe") << "-2";
    // A damaged file's length of 0 keeps the last byte rather than nothing.
    QTest::newRow("length 0, Cancel") << false << 0 << "" << QByteArray::fromHex("7f") << "16#7f";
}

void tst_SdoPage::editShowsBytesAndWritesBack()
{
    QFETCH(bool, byDoubleClick);
    QFETCH(int, length);
    QFETCH(QString, typed);
    // As a block read back leaves it: bytes only, no text.
    slave.addSdo(sdo(0x6200, 1, quint8(length), QByteArray::fromHex("0000007f")));
    page->setCanObject(&slave);
    QTableWidget *table = page->sdoTable();
    QCOMPARE(rowTexts(table, 0), (QStringList{"6200", "1", "Write Output 8 Bit", QString::number(length), "16#7f"}));
    QVERIFY(slave.sdoList.first().dataText.isEmpty());

    ModalAnswerer answerer;
    answerer.onModal([&](QWidget *widget) {
        auto *dialog = qobject_cast<NewSDODialog *>(widget);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit SDO"));
        QLineEdit *data = dialog->findChild<QLineEdit *>();
        QCOMPARE(data->text(), QStringLiteral("16#7f"));
        if (typed.isEmpty()) {
            QTest::mouseClick(button(dialog, QStringLiteral("Cancel")), Qt::LeftButton);
            return;
        }
        data->selectAll();
        QTest::keyClicks(data, typed);
        QTest::mouseClick(button(dialog, QStringLiteral("OK")), Qt::LeftButton);
    }, QStringLiteral("Edit SDO"));
    const QPoint nameCell = table->visualItemRect(table->item(0, 2)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, nameCell);
    if (byDoubleClick)
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, nameCell);
    else
        QTest::mouseClick(button(page.get(), QStringLiteral("Edit")), Qt::LeftButton);
    QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
    QVERIFY(answerer.done());

    const SDOEntry &edited = slave.sdoList.first();
    QTEST(edited.data, "data");
    QTEST(edited.dataText, "dataText");
    QTEST(table->item(0, 4)->text(), "dataText");
    QVERIFY(!table->findChild<QLineEdit *>()); // never edited in place
}

void tst_SdoPage::dialogAddsSdosToTheBlock_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void tst_SdoPage::dialogAddsSdosToTheBlock()
{
    QFETCH(bool, accept);
    page.reset();
    slave.addSdo(sdo(0x3000, 2, 2, QByteArray::fromHex("0102"), QStringLiteral("16#0102")));
    QByteArray before;
    CompileList list;
    compile(&slave, before, list);
    const QList<MemoryReservation> bookBefore = memoryReservations(key);

    ModalAnswerer answerer;
    answerer.onModal([&](QWidget *widget) {
        auto *tabs = widget->findChild<QTabWidget *>();
        QTabBar *bar = tabs->tabBar();
        for (int i = 0; i < bar->count(); ++i) {
            if (bar->tabText(i) == QLatin1String("SDO Config"))
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        }
        auto *sdoPage = widget->findChild<SdoPage *>();
        QCOMPARE(tabs->currentWidget(), sdoPage);
        QCOMPARE(sdoPage->sdoTable()->rowCount(), 1);
        QTest::mouseClick(button(sdoPage, QStringLiteral("Add")), Qt::LeftButton);
        QTest::mouseClick(button(sdoPage, QStringLiteral("Add")), Qt::LeftButton);
        QTest::mouseClick(button(widget, accept ? QStringLiteral("&OK") : QStringLiteral("&Cancel")),
                          Qt::LeftButton);
    }, QStringLiteral("configuration dialog"));
    answerer.onModal(chooseParameters({SetPoint}, QStringLiteral("-2")), QStringLiteral("New SDO"));
    answerer.onModal(chooseParameters({AnalogueOut}, QStringLiteral("16#1234")), QStringLiteral("New SDO"));
    QCOMPARE(configCanObject(&slave, {3}, nullptr, false), accept ? 0 : 1);
    QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
    QVERIFY(answerer.done());

    QByteArray block;
    compile(&slave, block, list);
    QCOMPARE(memoryReservations(key), bookBefore);
    if (!accept) {
        QCOMPARE(block, before);
        return;
    }
    // After the count: index, sub-index, length, then the four value bytes least
    // significant first, the new SDOs after the one there was, in the order added.
    QCOMPARE(slave.sdoList.size(), 3);
    const QByteArray records =
        QByteArray::fromHex("03" "3000020202010000" "20000104feffffff" "64111a0234120000");
    const int count = before.indexOf(QByteArray::fromHex("01" "3000020202010000"));
    QVERIFY(count > 0);
    QCOMPARE(block.mid(count, records.size()), records);
    QCOMPARE(block.size(), before.size() + 16);
}

QTEST_MAIN(tst_SdoPage)
#include "tst_sdopage.moc"
