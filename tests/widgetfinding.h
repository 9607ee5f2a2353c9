#pragma once

#include <QList>
#include <QString>
#include <QWidget>

// The first child of type T (a button, a check box, a label) whose text is text.
template<typename T>
T *childWithText(QWidget *parent, const QString &text)
{
    const QList<T *> children = parent->findChildren<T *>();
    for (T *child : children) {
        if (child->text() == text)
            return child;
    }
    return nullptr;
}
