// The SDO tab and its New/Edit SDO dialog, driven as a user drives them, and
// the SDOs it adds as the configuration block carries them.

#include "modalanswerer.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"
#include "testslave.h"
#include "widgetfinding.h"
#include "ui/newsdodialog.h"
#include "ui/parameterinedslisttable.h"
#include "ui/sdopage.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
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

// Chooses the rows in the SDO dialog (none: keeps the object), types value when given, then OK.
std::function<void(QWidget *)> chooseParameters(QList<int> rows, QString value = {})
{
    return [rows, value](QWidget *widget) {
        auto *dialog = qobject_cast<NewSDODialog *>(widget);
        QVERIFY(dialog);
        selectRows(dialog->parameterList()->table(), rows, 0);
        if (!value.isNull()) {
            QLineEdit *data = dialog->findChild<QLineEdit *>();
            data->selectAll();
            QTest::keyClicks(data, value);
        }
        clickButton(dialog, QStringLiteral("OK"));
    };
}

} // namespace

class tst_SdoPage : public QObject
{
    Q_OBJECT

    CanObject slave;
    std::unique_ptr<SdoPage> page;

private slots:
    void init()
    {
        clearAllMemory();
        slave = makeTestSlave(key);
        slave.mappableList.append(mappableEntry(0x2000, 1, DataTypeUnsigned32, QStringLiteral("rw"), QStringLiteral("Set Point")));
        slave.mappableList.append(mappableEntry(0x2001, 0, 9, QStringLiteral("wo"), QStringLiteral("Label")));
        page = std::make_unique<SdoPage>(nullptr);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }

    void addRespectsTheLimit_data()
    {
        QTest::addColumn<int>("present");
        QTest::addColumn<QList<int>>("chosen"); // empty: the dialog must not open
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<QStringList>("addedLengths");
        QTest::addColumn<int>("messages");
        QTest::newRow("eight present") << 8 << QList<int>{} << false << QStringList{} << 1;
        QTest::newRow("seven present, three chosen") << 7 << QList<int>{Output8, SetPoint, Label} << false
                                                     << QStringList{"1"} << 1;
        // Taken over in row order, each sized by its object; an object without a size takes 1.
        QTest::newRow("three chosen, menu") << 0 << QList<int>{Label, Output8, AnalogueOut} << true
                                            << QStringList{"1", "2", "1"} << 0;
    }
    void addRespectsTheLimit()
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
        if (byMenu)
            openContextMenu(page->sdoTable(), 0);
        else
            clickButton(page.get(), QStringLiteral("Add"));
        QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.messageTexts(), messages ? QStringList{"The count of auto SDO has reached the maximum number 8."} : QStringList());
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

    void newSdoChecksValueLive()
    {
        page->setCanObject(&slave);
        ModalAnswerer answerer;
        answerer.onModal([](QWidget *widget) {
            auto *dialog = qobject_cast<NewSDODialog *>(widget);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("New SDO"));
            // Receive filter: only the writable objects are offered.
            QCOMPARE(dialog->parameterList()->table()->rowCount(), 4);
            clickCell(dialog->parameterList()->table(), Output8, 0);
            QLineEdit *data = dialog->findChild<QLineEdit *>();
            QSpinBox *length = dialog->findChildren<QSpinBox *>().last();
            QPushButton *ok = childWithText<QPushButton>(dialog, QStringLiteral("OK"));
            QCOMPARE(data->text(), QStringLiteral("0"));
            QCOMPARE(length->value(), 1);
            data->selectAll();
            QTest::keyClicks(data, QStringLiteral("256"));
            QVERIFY(!ok->isEnabled());
            QCOMPARE(data->palette().color(QPalette::Text), QColor(255, 0, 0));
            // A longer length lets the same value through.
            length->setFocus();
            QTest::keyClick(length, Qt::Key_Up);
            QVERIFY(ok->isEnabled());
            QCOMPARE(data->palette().color(QPalette::Text), QColor(0, 0, 0));
            for (int up = 0; up < 3; ++up)
                QTest::keyClick(length, Qt::Key_Up);
            QCOMPARE(length->value(), 4); // an SDO carries four bytes at most
            // The validator refuses what no form can become.
            data->selectAll();
            QTest::keyClicks(data, QStringLiteral("16#1g2x3"));
            QCOMPARE(data->text(), QStringLiteral("16#123"));
            QTest::mouseClick(ok, Qt::LeftButton);
        }, QStringLiteral("New SDO"));
        clickButton(page.get(), QStringLiteral("Add"));
        QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
        QVERIFY(answerer.done());
        QCOMPARE(slave.sdoList.size(), 1);
        QCOMPARE(slave.sdoList.first().data, QByteArray::fromHex("00000123"));
        QCOMPARE(slave.sdoList.first().name, QStringLiteral("Write Output 8 Bit"));
        QCOMPARE(rowTexts(page->sdoTable(), 0), (QStringList{"6200", "1", "Write Output 8 Bit", "4", "16#123"}));
    }

    void removeNonAdjacentRows()
    {
        for (int i = 0; i < 4; ++i)
            slave.addSdo(sdo(quint16(0x3000 + i), quint8(i), 1, QByteArray(1, char(i)), QString::number(i)));
        page->setCanObject(&slave);
        selectRows(page->sdoTable(), {0, 2}, 0);
        clickButton(page.get(), QStringLiteral("Remove"));
        QCOMPARE(slave.sdoList.size(), 2);
        QCOMPARE(slave.sdoList.at(0).index, quint16(0x3001));
        QCOMPARE(page->sdoTable()->rowCount(), 2);
        QCOMPARE(rowTexts(page->sdoTable(), 1), (QStringList{"3003", "3", "", "1", "3"}));
    }

    void editShowsBytesAndWritesBack_data()
    {
        QTest::addColumn<bool>("byDoubleClick");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QStringList>("row"); // without the name
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("Edit, Cancel") << false << 1 << false << QStringList{"6200", "1", "1", "16#7f"} << ""
                                      << QByteArray::fromHex("7f");
        QTest::newRow("double-click, other object, OK") << true << 1 << true << QStringList{"6411", "1A", "2", "-2"}
                                                        << "Write Analogue Output" << QByteArray::fromHex("fffe");
        // A damaged file's length of 0 keeps the last byte rather than nothing.
        QTest::newRow("length 0, Cancel") << false << 0 << false << QStringList{"6200", "1", "0", "16#7f"} << ""
                                          << QByteArray::fromHex("7f");
    }
    void editShowsBytesAndWritesBack()
    {
        QFETCH(bool, byDoubleClick);
        QFETCH(int, length);
        QFETCH(bool, accept);
        // As a block read back leaves it: bytes only, no text.
        slave.addSdo(sdo(0x6200, 1, quint8(length), QByteArray::fromHex("0000007f")));
        page->setCanObject(&slave);
        QTableWidget *table = page->sdoTable();
        QCOMPARE(table->item(0, 4)->text(), QStringLiteral("16#7f"));
        ModalAnswerer answerer;
        answerer.onModal([&](QWidget *widget) {
            QCOMPARE(widget->windowTitle(), QStringLiteral("Edit SDO"));
            QCOMPARE(widget->findChild<QLineEdit *>()->text(), QStringLiteral("16#7f"));
            if (accept)
                chooseParameters({AnalogueOut}, QStringLiteral("-2"))(widget);
            else
                clickButton(widget, QStringLiteral("Cancel"));
        }, QStringLiteral("Edit SDO"));
        clickCell(table, 0, 2);
        if (byDoubleClick)
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cellCenter(table, 0, 2));
        else
            clickButton(page.get(), QStringLiteral("Edit"));
        QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
        QVERIFY(answerer.done());
        QStringList shown = rowTexts(table, 0);
        QTEST(shown.takeAt(2), "name");
        QTEST(shown, "row");
        QTEST(slave.sdoList.first().name, "name");
        QTEST(slave.sdoList.first().data, "data");
        QCOMPARE(slave.sdoList.first().dataText, shown.last());
        QVERIFY(!table->findChild<QLineEdit *>()); // never edited in place
    }

    void dialogAddsSdosToTheBlock_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void dialogAddsSdosToTheBlock()
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
            QTabBar *bar = widget->findChild<QTabWidget *>()->tabBar();
            for (int i = 0; i < bar->count(); ++i) {
                if (bar->tabText(i) == QLatin1String("SDO Config"))
                    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
            }
            auto *sdoPage = widget->findChild<SdoPage *>();
            QCOMPARE(widget->findChild<QTabWidget *>()->currentWidget(), sdoPage);
            QCOMPARE(sdoPage->sdoTable()->rowCount(), 1);
            clickButton(sdoPage, QStringLiteral("Add"));
            clickButton(sdoPage, QStringLiteral("Add"));
            clickButton(widget, accept ? QStringLiteral("&OK") : QStringLiteral("&Cancel"));
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
        const QByteArray records = QByteArray::fromHex("03" "3000020202010000" "20000104feffffff" "64111a0234120000");
        const int count = before.indexOf(QByteArray::fromHex("01" "3000020202010000"));
        QVERIFY(count > 0);
        QCOMPARE(block.mid(count, records.size()), records);
        QCOMPARE(block.size(), before.size() + 16);
    }
};

QTEST_MAIN(tst_SdoPage)
#include "tst_sdopage.moc"
