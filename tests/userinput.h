#pragma once

#include "widgetfinding.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QtTest>

// Widgets driven as a user drives them: the mouse on what is shown, keys into
// what has focus, so the tests pass through the same events and focus changes.

inline void click(QWidget *parent, const QString &buttonText)
{
    QPushButton *button = childWithText<QPushButton>(parent, buttonText);
    QVERIFY2(button, qPrintable(buttonText));
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void clickCell(QTableWidget *table, int row, int column, Qt::KeyboardModifiers modifiers = {}, bool twice = false)
{
    const QPoint at = table->visualItemRect(table->item(row, column)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, at);
    if (twice)
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, modifiers, at);
}

// Clicks the tab titled title of the first tab bar under parent.
inline void showTab(QWidget *parent, const QString &title)
{
    QTabBar *bar = parent->findChild<QTabBar *>();
    for (int i = 0; i < bar->count(); ++i) {
        if (bar->tabText(i) == title)
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
    }
}

// Replaces the text of a line edit or spin box as typed.
inline void typeInto(QWidget *box, const QString &text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

// A right click on the table's viewport, at its top-left corner unless told.
inline void openContextMenu(QTableWidget *table, QPoint at = {5, 5})
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, table->viewport()->mapToGlobal(at));
    QApplication::sendEvent(table->viewport(), &event);
}
