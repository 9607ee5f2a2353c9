#include "ui/maptabledelegate.h"

#include "compile/memoryplacement.h"
#include "plugin/canobject.h"
#include "plugin/hostservices.h"
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
    return new MemoryEditWidget(parent);
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

void MapTableDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                    const QModelIndex &index) const
{
    auto *memoryEditor = qobject_cast<MemoryEditWidget *>(editor);
    if (index.column() != memoryColumn || !memoryEditor) {
        QItemDelegate::setModelData(editor, model, index);
        return;
    }
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
