#include "ui/pdoparameterlisttable.h"

#include "model/canobject.h"
#include "model/hostservices.h"
#include "ui/datatypetext.h"
#include "ui/mappedrow.h"
#include "ui/maptabledelegate.h"
#include "ui/numbertext.h"
#include "ui/pdotext.h"
#include "ui/tablekeys.h"
#include "ui/tablerows.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

constexpr int rowHeight = 20;
constexpr int memoryColumn = 4;
constexpr int clearColumn = 5;
constexpr int pdoColumn = 6;
constexpr int cobIdColumn = 7;

QString clearWhenStopText(quint8 value)
{
    switch (value) {
    case 0: return PDOParameterListTable::tr("Yes");
    case 1: return PDOParameterListTable::tr("No");
    }
    return QString();
}

} // namespace

PDOParameterListTable::PDOParameterListTable(QWidget *parent, bool withMemoryColumns)
    : QWidget(parent)
{
    m_table = new QTableWidget(0, 8, this);
    m_table->setHorizontalHeaderLabels({tr("Index"), tr("Sub Index"), tr("Name"), tr("Type"),
                                        tr("Memory"), tr("Clear When Stop"), tr("PDO"), tr("COB-ID")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    // The style's minimum row height would otherwise win over the fixed one.
    m_table->verticalHeader()->setMinimumSectionSize(rowHeight);
    m_table->verticalHeader()->setDefaultSectionSize(rowHeight);
    QHeaderView *header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::Stretch);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);

    m_menu = new QMenu(this);
    m_addAction = m_menu->addAction(tr("&Add"));
    m_removeAction = m_menu->addAction(tr("&Remove"));
    m_removeAction->setShortcut(QKeySequence::Delete);
    connect(m_removeAction, &QAction::triggered, this, &PDOParameterListTable::slot_remove);
    connect(m_addAction, &QAction::triggered, this, &PDOParameterListTable::slot_add);

    m_delegate = new MapTableDelegate(this);
    m_table->setItemDelegateForColumn(memoryColumn, m_delegate);

    m_table->installEventFilter(this);
    m_withMemoryColumns = withMemoryColumns;
    keepReturnInTable(m_table, [this]() { editCurrentPlace(); });
    if (withMemoryColumns) {
        connect(m_table, &QTableWidget::itemDoubleClicked, this,
                &PDOParameterListTable::mappedTableCellDoubleClicked_slot);
    } else {
        // One PDO, named in the editor's header: its name and COB-ID would repeat on every row.
        for (int column : {memoryColumn, clearColumn, pdoColumn, cobIdColumn})
            m_table->hideColumn(column);
    }
}

void PDOParameterListTable::fillTable(CanObject *slave)
{
    m_slave = slave;
    m_allPdos = true;
    refill();
}

void PDOParameterListTable::fillTable(CanObject *slave, quint32 commIndex)
{
    m_slave = slave;
    m_allPdos = false;
    m_commIndex = commIndex;
    refill();
}

void PDOParameterListTable::refill()
{
    m_delegate->setCanObject(m_slave);
    m_table->setRowCount(0);
    if (!m_slave)
        return;

    // All rows at once, of the default height: row by row costs the square of the rows.
    int rows = 0;
    for (const PDOConfig &pdo : qAsConst(m_slave->pdoList)) {
        if (!m_allPdos && pdo.commIndex != m_commIndex)
            continue;
        rows += pdo.mapList.size();
        if (!m_allPdos)
            break;
    }
    m_table->setRowCount(rows);

    // By position, not by a search that assumes sorted PDOs: every mapped object
    // shows, whatever order a stream left. Rows find their PDO again the same way.
    int row = 0;
    for (const PDOConfig &pdo : qAsConst(m_slave->pdoList)) {
        if (!m_allPdos && pdo.commIndex != m_commIndex)
            continue;
        for (int position = 0; position < pdo.mapList.size(); ++position, ++row) {
            const PDOMapEntry &entry = pdo.mapList.at(position);
            auto *first = new QTableWidgetItem(hexText(entry.index));
            first->setData(CommIndexRole, pdo.commIndex);
            first->setData(MapPositionRole, position);
            m_table->setItem(row, 0, first);
            m_table->setItem(row, 1, new QTableWidgetItem(hexText(entry.subIndex)));
            m_table->setItem(row, 2, new QTableWidgetItem(entry.name));
            m_table->setItem(row, 3, new QTableWidgetItem(dataTypeText(entry.dataType)));
            m_table->setItem(row, memoryColumn,
                             new QTableWidgetItem(memoryPlaceText(entry.area, entry.offset)));
            m_table->setItem(row, clearColumn, new QTableWidgetItem(clearWhenStopText(entry.clearWhenStop)));
            // A drive maps "Controlword" into several PDOs: the PDO tells them apart.
            m_table->setItem(row, pdoColumn, new QTableWidgetItem(pdoDescriptionText(pdo)));
            m_table->setItem(row, cobIdColumn, new QTableWidgetItem(cobIdText(CanObject::effectiveCobId(pdo))));
            if (entry.readOnly)
                markFixedRow(m_table, row, tr("Fixed by the device: it cannot be removed or moved to another PDO."));
        }
        if (!m_allPdos)
            break;
    }
}

bool PDOParameterListTable::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_table) {
        if (event->type() == QEvent::ContextMenu) {
            m_menu->exec(static_cast<QContextMenuEvent *>(event)->globalPos());
        } else if (event->type() == QEvent::KeyPress && !editorHasFocus()) {
            // Keys an open editor does not use pass on to the table: they must
            // not remove the object being edited.
            const auto *keyEvent = static_cast<QKeyEvent *>(event);
            const int key = keyEvent->key();
            // Shift+D, Ctrl+D and the like are other keys' business.
            const bool plain = (keyEvent->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
            if (plain && (key == Qt::Key_Delete || key == Qt::Key_D))
                slot_remove();
            else if (plain && key == Qt::Key_F2)
                editCurrentPlace();
            else if (plain && key == Qt::Key_Space && m_withMemoryColumns)
                mappedTableCellDoubleClicked_slot(m_table->item(m_table->currentRow(), clearColumn));
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool PDOParameterListTable::editorHasFocus() const
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && focus != m_table && focus->isVisible() && m_table->viewport()->isAncestorOf(focus);
}

void PDOParameterListTable::editCurrentPlace()
{
    const int row = m_table->currentRow();
    if (m_withMemoryColumns && row >= 0 && m_table->item(row, memoryColumn))
        m_table->editItem(m_table->item(row, memoryColumn));
}

void PDOParameterListTable::mappedTableCellDoubleClicked_slot(QTableWidgetItem *item)
{
    if (!item)
        return;
    if (item->column() == memoryColumn) {
        m_table->editItem(item);
        return;
    }
    if (item->column() != clearColumn)
        return;
    const MappedRow row = mappedRowAt(m_slave, m_table->model()->index(item->row(), 0));
    // The setting only applies to outputs.
    if (!row.entry || row.pdo->direction != PdoReceive)
        return;
    row.entry->clearWhenStop = row.entry->clearWhenStop == 0 ? 1 : 0;
    item->setText(clearWhenStopText(row.entry->clearWhenStop));
}

void PDOParameterListTable::slot_remove()
{
    const QList<int> rows = selectedRowsDescending(m_table);

    for (int tableRow : qAsConst(rows)) {
        const MappedRow row = mappedRowAt(m_slave, m_table->model()->index(tableRow, 0));
        if (!row.entry)
            continue;
        if (row.entry->readOnly) {
            QMessageBox::information(this, windowTitle(), tr("ReadOnly Parameter Can Not Be Removed!"),
                                     QMessageBox::Ok);
            continue;
        }
        m_slave->removeMapEntry(*row.pdo, row.position);
    }
    refill();
}

void PDOParameterListTable::slot_add()
{
    emit addActClicked();
}
