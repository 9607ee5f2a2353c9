#pragma once

#include <QApplication>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QTabBar>
#include <QString>
#include <QTableWidget>
#include <QTest>
#include <QWidget>

// The first child of type T (a button, a check box, a label) whose text is text.
template<typename T> T *childWithText(QWidget *parent, const QString &text)
{
    for (T *child : parent->findChildren<T *>()) {
        if (child->text() == text)
            return child;
    }
    return nullptr;
}

// The text of the first label in a grid whose field is not right beside it; empty when all are.
inline QString labelAwayFromItsField(QWidget *parent)
{
    for (QGridLayout *grid : parent->findChildren<QGridLayout *>()) {
        for (int i = 0; i < grid->count(); ++i) {
            const auto *label = qobject_cast<QLabel *>(grid->itemAt(i)->widget());
            int row = -1, column = -1, labelRow = -1, labelColumn = -1, span = 0;
            if (label && label->buddy()) {
                grid->getItemPosition(i, &labelRow, &labelColumn, &span, &span);
                grid->getItemPosition(grid->indexOf(label->buddy()), &row, &column, &span, &span);
                if (row != labelRow || column != labelColumn + 1)
                    return label->text();
            }
        }
    }
    return QString();
}

inline void clickButton(QWidget *parent, const QString &text)
{
    QPushButton *button = childWithText<QPushButton>(parent, text);
    QVERIFY2(button, qPrintable(text));
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void typeInto(QWidget *widget, const QString &text)
{
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(widget, text);
}

// Clicks the tab titled title of the first tab bar under parent.
inline void showTab(QWidget *parent, const QString &title)
{
    QTabBar *bar = parent->findChild<QTabBar *>();
    for (int i = 0; i < bar->count(); ++i) {
        if (bar->tabText(i) == title)
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
    }
    QCOMPARE(bar->tabText(bar->currentIndex()), title);
}

inline QPoint cellCenter(QTableWidget *table, int row, int column)
{
    return table->visualItemRect(table->item(row, column)).center();
}

inline void clickCell(QTableWidget *table, int row, int column, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, cellCenter(table, row, column));
}

inline void doubleClickCell(QTableWidget *table, int row, int column)
{
    clickCell(table, row, column);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cellCenter(table, row, column));
}

// The first row clicked, the others added with Ctrl.
inline void selectRows(QTableWidget *table, const QList<int> &rows, int column)
{
    for (int i = 0; i < rows.size(); ++i)
        clickCell(table, rows.at(i), column, i ? Qt::ControlModifier : Qt::NoModifier);
}

// A right click on the row's second cell, or on the empty table below the last row.
inline void openContextMenu(QTableWidget *table, int row)
{
    const QPoint at = row < table->rowCount() ? cellCenter(table, row, 1) : QPoint(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, table->viewport()->mapToGlobal(at));
    QApplication::sendEvent(table->viewport(), &event);
}

// The texts of a column or a row, "<none>" for an empty cell; a row is {row, -1}.
inline QStringList cellTexts(QTableWidget *table, int row, int column)
{
    QStringList texts;
    for (int i = 0; i < (row < 0 ? table->rowCount() : table->columnCount()); ++i) {
        const QTableWidgetItem *item = row < 0 ? table->item(i, column) : table->item(row, i);
        texts.append(item ? item->text() : QStringLiteral("<none>"));
    }
    return texts;
}
inline QStringList columnTexts(QTableWidget *table, int column) { return cellTexts(table, -1, column); }
inline QStringList rowTexts(QTableWidget *table, int row) { return cellTexts(table, row, -1); }

