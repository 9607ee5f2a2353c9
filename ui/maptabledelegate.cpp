#include "ui/maptabledelegate.h"

#include "model/canobject.h"
#include "model/hostservices.h"
#include "model/memoryplacement.h"
#include "ui/mappedrow.h"
#include "ui/memoryeditwidget.h"

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
    auto *memoryEditor = qobject_cast<MemoryEditWidget *>(editor);
    if (index.column() != memoryColumn || !memoryEditor) {
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
    if (index.column() != memoryColumn || !memoryEditor) {
        QItemDelegate::setModelData(editor, model, index);
        return;
    }
    // Return and leaving the box apply the even-offset rule, Tab does not: applied here for every way in.
    memoryEditor->offsetEditingFinished();
    const MappedRow row = mappedRowAt(m_slave, index);
    int area = -1;
    int offset = -1;
    if (!row.entry || !memoryEditor->value(area, offset))
        return;
    PDOMapEntry &entry = *row.entry;
    if (area == entry.area && offset == entry.offset)
        return;

    if (movePlace(m_slave->projectKey, entry, area, offset)) {
        model->setData(index, memoryPlaceText(area, offset), Qt::EditRole);
        return;
    }
    // The new place is taken: the entry stays where it was, silently.
}
