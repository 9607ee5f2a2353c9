#include "ui/tablekeys.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QTableWidget>

namespace {

class ReturnKeeper : public QObject
{
public:
    ReturnKeeper(QTableWidget *table, std::function<void()> onReturn, bool insertToo)
        : QObject(table)
        , m_table(table)
        , m_onReturn(std::move(onReturn))
        , m_insertToo(insertToo)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_table || event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool insert = m_insertToo && key == Qt::Key_Insert;
        if (key != Qt::Key_Return && key != Qt::Key_Enter && !insert)
            return false;
        // Also the Return an in-cell editor lets pass on its way to the dialog:
        // taken from the dialog, but it is the editor's.
        const QWidget *focus = QApplication::focusWidget();
        const bool inEditor = focus && m_table->viewport()->isAncestorOf(focus);
        if (m_onReturn && !inEditor)
            m_onReturn();
        return true;
    }

private:
    QTableWidget *m_table;
    std::function<void()> m_onReturn;
    bool m_insertToo;
};

} // namespace

void keepReturnInTable(QTableWidget *table, std::function<void()> onReturn, bool insertToo)
{
    table->setTabKeyNavigation(false);
    table->installEventFilter(new ReturnKeeper(table, std::move(onReturn), insertToo));
}
