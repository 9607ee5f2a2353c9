// The SDO tab and its New/Edit SDO dialog, driven as a user drives them.

#include "modalanswerer.h"
#include "plugin/hostservices.h"
#include "testslave.h"
#include "widgetfinding.h"
#include "ui/newsdodialog.h"
#include "ui/parameterinedslisttable.h"
#include "ui/sdopage.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Rows of the "New SDO" list: the test slave's writable objects and two more.
enum ParameterRow { Output8, AnalogueOut, SetPoint, Label };

// "index|sub-index|name|length|text|bytes", as the table shows it and then the bytes.
QString summary(const SDOEntry &sdo)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6").arg(sdo.index, 0, 16).arg(sdo.subIndex, 0, 16).arg(sdo.name)
        .arg(sdo.length).arg(sdo.dataText, QString::fromLatin1(sdo.data.toHex())).toUpper();
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
        slave = makeTestSlave(QStringLiteral("/stations/sdo.hwc"));
        slave.mappableList.append(mappableEntry(0x2000, 1, DataTypeUnsigned32, QStringLiteral("rw"), QStringLiteral("Set Point")));
        slave.mappableList.append(mappableEntry(0x2001, 0, 9, QStringLiteral("wo"), QStringLiteral("Label")));
        page = std::make_unique<SdoPage>(nullptr);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }

    void sdoDialog_data()
    {
        QTest::addColumn<int>("present");      // SDOs there before, 3000/0 onwards
        QTest::addColumn<QString>("existing"); // "index/sub-index/length/bytes/text": an SDO after those
        QTest::addColumn<QString>("open");
        QTest::addColumn<QList<int>>("rows");   // clicked in the list, the second and later with Ctrl
        QTest::addColumn<QStringList>("typed"); // index, sub-index, length, value; empty: left
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("messages");      // the count limit's
        QTest::addColumn<QStringList>("expected"); // the SDOs after the present ones
        const QStringList none, output8{"6200|1|WRITE OUTPUT 8 BIT|1|0|00"};
        QTest::newRow("eight present") << 8 << "" << "Add" << QList<int>{} << none << true << 1 << none;
        QTest::newRow("seven present, three chosen")
            << 7 << "" << "Add" << QList<int>{Output8, SetPoint, Label} << none << true << 1 << output8;
        // Taken over in row order, each sized by its object; an object without a size takes 1.
        QTest::newRow("three chosen, menu")
            << 0 << "" << "menu" << QList<int>{Label, Output8, AnalogueOut} << none << true << 0
            << QStringList{output8.first(), "6411|1A|WRITE ANALOGUE OUTPUT|2|0|0000", "2001|0|LABEL|1|0|00"};
        QTest::newRow("Ctrl-click deselects") << 0 << "" << "Add" << QList<int>{0, 1, 1} << none << true << 0 << output8;
        QTest::newRow("object typed by hand")
            << 0 << "" << "Add" << QList<int>{} << QStringList{"1017", "0", "2", "100"} << true << 0 << QStringList{"1017|0||2|100|0064"};
        // A block read back leaves bytes only; the dialog gives them a text.
        QTest::newRow("Edit, Cancel")
            << 0 << "6200/1/1/0000007f/" << "Edit" << QList<int>{} << none << false << 0 << QStringList{"6200|1||1|16#7F|7F"};
        QTest::newRow("double-click, other object, OK")
            << 0 << "6200/1/1/0000007f/" << "double-click" << QList<int>{AnalogueOut} << QStringList{"", "", "", "-2"} << true
            << 0 << QStringList{"6411|1A|WRITE ANALOGUE OUTPUT|2|-2|FFFE"};
        // A damaged file's length of 0 keeps the last byte rather than nothing.
        QTest::newRow("length 0, Cancel")
            << 0 << "6200/1/0/0000007f/" << "Edit" << QList<int>{} << none << false << 0 << QStringList{"6200|1||0|16#7F|7F"};
        QTest::newRow("tabbing through the list, OK")
            << 0 << "2000/1/4/00000007/7" << "tab" << QList<int>{} << none << true << 0 << QStringList{"2000|1|SET POINT|4|7|00000007"};
        QTest::newRow("empty value, OK refused")
            << 0 << "2000/1/4//" << "double-click" << QList<int>{} << none << true << 0 << QStringList{"2000|1||4||"};
    }
    void sdoDialog()
    {
        QFETCH(int, present);
        QFETCH(QString, existing);
        QFETCH(QString, open);
        QFETCH(QList<int>, rows);
        QFETCH(QStringList, typed);
        QFETCH(bool, accept);
        QFETCH(int, messages);
        for (int i = 0; i < present; ++i)
            slave.addSdo({quint16(0x3000 + i), 0, 1, QByteArray(1, char(i)), QString::number(i), {}});
        const QStringList e = existing.split(QLatin1Char('/'));
        if (!existing.isEmpty())
            slave.addSdo({quint16(e.at(0).toUInt(nullptr, 16)), quint8(e.at(1).toUInt()), quint8(e.at(2).toUInt()),
                          QByteArray::fromHex(e.at(3).toLatin1()), e.at(4), {}});
        page->setCanObject(&slave);
        QTableWidget *table = page->sdoTable();
        ModalAnswerer answerer;
        if (open == QLatin1String("menu"))
            answerer.chooseMenuAction(QStringLiteral("Add"));
        if (present < 8)
            answerer.onDialog([&](QWidget *dialog) {
                QCOMPARE(dialog->windowTitle(), existing.isEmpty() ? QStringLiteral("New SDO") : QStringLiteral("Edit SDO"));
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
        for (int i = 0; i < messages; ++i)
            answerer.answerMessageBox(QMessageBox::Ok);
        const int last = table->rowCount() - 1;
        if (open == QLatin1String("menu")) {
            openContextMenu(table, 0);
        } else if (open == QLatin1String("Add")) {
            clickButton(page.get(), open);
        } else if (open == QLatin1String("Edit")) {
            clickCell(table, last, 2);
            clickButton(page.get(), open);
        } else {
            doubleClickCell(table, last, 2);
        }
        QTRY_VERIFY(answerer.done());
        QCOMPARE(answerer.failure(), QString());
        QCOMPARE(answerer.messageTexts(), messages ? QStringList{"The count of auto SDO has reached the maximum number 8."} : QStringList());
        QStringList got, shown;
        for (int i = present; i < slave.sdoList.size(); ++i) {
            got.append(summary(slave.sdoList.at(i)));
            shown.append(summary(slave.sdoList.at(i)).section(QLatin1Char('|'), 0, 4));
            QCOMPARE(rowTexts(table, i).join(QLatin1Char('|')).toUpper(), shown.last());
        }
        QTEST(got, "expected");
        QCOMPARE(table->rowCount(), slave.sdoList.size());
        QVERIFY(!table->findChild<QLineEdit *>()); // never edited in place
    }

    void newSdoChecksValueLive()
    {
        page->setCanObject(&slave);
        ModalAnswerer answerer;
        answerer.onModal([](QWidget *widget) {
            auto *dialog = qobject_cast<NewSDODialog *>(widget);
            QVERIFY(dialog);
            // Only the writable objects are offered.
            QCOMPARE(columnTexts(dialog->parameterList()->table(), 0), QStringList({"6200", "6411", "2000", "2001"}));
            clickCell(dialog->parameterList()->table(), Output8, 0);
            QLineEdit *data = dialog->findChild<QLineEdit *>();
            QSpinBox *length = dialog->findChildren<QSpinBox *>().last();
            QPushButton *ok = childWithText<QPushButton>(dialog, QStringLiteral("OK"));
            QCOMPARE(length->value(), 1);
            typeInto(data, QStringLiteral("256"));
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
            typeInto(data, QStringLiteral("16#1g2x3"));
            QCOMPARE(data->text(), QStringLiteral("16#123"));
            QTest::mouseClick(ok, Qt::LeftButton);
        }, QStringLiteral("New SDO"));
        clickButton(page.get(), QStringLiteral("Add"));
        QCOMPARE(answerer.failure(), QString());
        QVERIFY(answerer.done());
        QCOMPARE(summary(slave.sdoList.first()), QStringLiteral("6200|1|WRITE OUTPUT 8 BIT|4|16#123|00000123"));
    }

    void removeNonAdjacentRows()
    {
        for (int i = 0; i < 4; ++i)
            slave.addSdo({quint16(0x3000 + i), quint8(i), 1, QByteArray(1, char(i)), QString::number(i), {}});
        page->setCanObject(&slave);
        selectRows(page->sdoTable(), {0, 2}, 0);
        clickButton(page.get(), QStringLiteral("Remove"));
        QCOMPARE(columnTexts(page->sdoTable(), 0), QStringList({"3001", "3003"}));
        QCOMPARE(slave.sdoList.size(), 2);
        QCOMPARE(slave.sdoList.at(1).index, quint16(0x3003));
    }
};

QTEST_MAIN(tst_SdoPage)
#include "tst_sdopage.moc"
