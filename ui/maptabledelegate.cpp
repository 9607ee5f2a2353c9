#include "ui/maptabledelegate.h"

#include "model/canobject.h"
#include "model/hostservices.h"
#include "model/memoryplacement.h"
#include "ui/mappedrow.h"
#include "ui/memoryeditwidget.h"

#include <QAbstractItemView>
#include <QKeyEvent>

namespace {

constexpr int memoryColumn = 4;

} // namespace

MapTableDelegate::MapTableDelegate(QObject *parent)
    : QItemDelegate(parent)
{
}

QWidget *MapTableDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    if (index.column() != memoryColumn)
        return QItemDelegate::createEditor(parent, option, index);
    auto *editor = new MemoryEditWidget(parent);
    m_view = qobject_cast<QAbstractItemView *>(parent ? parent->parentWidget() : nullptr);
    m_editedIndex = index;
    // Filled at once, so that its size hint counts the areas it offers.
    setEditorData(editor, index);
    // Leaving the editor takes the place typed (or keeps the old one when it is
    // not free); closing the view's editor state afterwards restores the cell.
    auto *self = const_cast<MapTableDelegate *>(this);
    connect(editor, &MemoryEditWidget::editingLeft, self, [self, editor]() {
        emit self->commitData(editor);
        emit self->closeEditor(editor, QAbstractItemDelegate::NoHint);
    });
    return editor;
}

void MapTableDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // Only the memory column gets a memory editor.
    auto *memoryEditor = qobject_cast<MemoryEditWidget *>(editor);
    if (!memoryEditor) {
        QItemDelegate::setEditorData(editor, index);
        return;
    }
    const MappedRow row = mappedRowAt(m_slave, index);
    if (row.entry)
        memoryEditor->setValue(*row.entry, row.pdo->direction);
}

void MapTableDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                            const QModelIndex &index) const
{
    QItemDelegate::updateEditorGeometry(editor, option, index);
    // The cell is as narrow as its text; the editor needs room for the area and
    // the widest offset, so it reaches over the next column when it must.
    if (index.column() == memoryColumn && editor->width() < editor->sizeHint().width())
        editor->resize(editor->sizeHint().width(), editor->height());
}

void MapTableDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                    const QModelIndex &index) const
{
    auto *memoryEditor = qobject_cast<MemoryEditWidget *>(editor);
    if (!memoryEditor) {
        QItemDelegate::setModelData(editor, model, index);
        return;
    }
    // Leaving the editor with a place that cannot be taken keeps the old one;
    // OK asks about it before the dialog closes.
    applyPlace(memoryEditor, model, index);
}

bool MapTableDelegate::applyPlace(MemoryEditWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    // Return and leaving the box apply the even-offset rule, Tab does not: applied here for every way in.
    editor->offsetEditingFinished();
    const MappedRow row = mappedRowAt(m_slave, index);
    int area = -1;
    int offset = -1;
    if (!row.entry || !editor->value(area, offset))
        return true;
    PDOMapEntry &entry = *row.entry;
    if (area == entry.area && offset == entry.offset)
        return true;

    if (movePlace(m_slave->projectKey, entry, area, offset)) {
        if (m_refused.commIndex == row.pdo->commIndex && m_refused.position == row.position)
            m_refused = RefusedMove();
        model->setData(index, memoryPlaceText(area, offset), Qt::EditRole);
        return true;
    }
    m_refused = {row.pdo->commIndex, row.position, area, offset, entry.index, entry.subIndex};
    editor->showRefusal(refusalText(area, offset));
    return false;
}

bool MapTableDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *memoryEditor = qobject_cast<MemoryEditWidget *>(object);
    if (memoryEditor && event->type() == QEvent::KeyPress && m_editedIndex.isValid()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool takes = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab;
        // A place that cannot be taken keeps the editor open, saying why.
        if (takes && !applyPlace(memoryEditor, const_cast<QAbstractItemModel *>(m_editedIndex.model()), m_editedIndex))
            return true;
    }
    return QItemDelegate::eventFilter(object, event);
}

QString MapTableDelegate::refusalText(int area, int offset)
{
    return tr("%1 is taken or lies beyond its area.")
        .arg(memoryPlaceText(area, offset));
}

QString MapTableDelegate::refusedMoveQuestion() const
{
    // The refused object may have been removed since, and another moved up to its position.
    PDOConfig *pdo = m_slave ? m_slave->pdo(m_refused.commIndex) : nullptr;
    const PDOMapEntry *entry = pdo ? CanObject::mapEntryAt(*pdo, m_refused.position) : nullptr;
    if (!entry || entry->index != m_refused.index || entry->subIndex != m_refused.subIndex)
        return QString();
    return tr("%1 cannot go to %2: %3 Keep it at %4, or go back to the editor?")
        .arg(entry->name, memoryPlaceText(m_refused.area, m_refused.offset), refusalText(m_refused.area, m_refused.offset),
             memoryPlaceText(entry->area, entry->offset));
}

void MapTableDelegate::reopenRefusedMove()
{
    const RefusedMove refused = m_refused;
    if (!m_view || !m_view->model())
        return;
    const QAbstractItemModel *model = m_view->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex first = model->index(row, 0);
        if (first.data(CommIndexRole).toUInt() != refused.commIndex || first.data(MapPositionRole).toInt() != refused.position)
            continue;
        const QModelIndex cell = model->index(row, memoryColumn);
        m_view->setCurrentIndex(cell);
        m_view->edit(cell);
        if (auto *editor = qobject_cast<MemoryEditWidget *>(m_view->indexWidget(cell))) {
            editor->setPlace(refused.area, refused.offset);
            editor->showRefusal(refusalText(refused.area, refused.offset));
            editor->setFocus();
        }
        return;
    }
}
