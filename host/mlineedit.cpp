#include "mlineedit.h"

#include <QKeyEvent>

MLineEdit::MLineEdit(const QString &text, QWidget *parent)
    : QLineEdit(text, parent)
{
}

void MLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit editingFinished();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
