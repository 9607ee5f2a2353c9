#include "ui/parameterinedslisttable.h"

#include "eds/accesstype.h"
#include "model/canobject.h"
#include "ui/datatypetext.h"
#include "ui/numbertext.h"
#include "ui/tablekeys.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int rowHeight = 20;
constexpr int nameColumn = 3;

QTableWidgetItem *cell(const QString &text)
{
    return new QTableWidgetItem(text);
}

} // namespace

ParameterInEdsListTable::ParameterInEdsListTable(QWidget *parent)
    : QWidget(parent)
{
    m_table = new QTableWidget(0, 6, this);
    m_table->setHorizontalHeaderLabels({tr("Index"), tr("Sub Index"), tr("R/W"), tr("Name"), tr("Type"), tr("Size")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab passes through the list as through any field of a dialog; a row is
    // chosen by click or arrow keys, never by going past. Return and Insert
    // take the current row as a double-click does.
    keepReturnInTable(m_table, [this]() { listTableDoubleClicked_slot(m_table->currentItem()); }, true);
    m_table->horizontalHeader()->setSectionResizeMode(nameColumn, QHeaderView::Stretch);
    m_table->verticalHeader()->hide();
    // The style's minimum row height would otherwise win over the fixed one.
    m_table->verticalHeader()->setMinimumSectionSize(rowHeight);
    // Every row has this height without being sized one by one, which would
    // cost time in the square of the rows.
    m_table->verticalHeader()->setDefaultSectionSize(rowHeight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);

    connect(m_table, &QTableWidget::itemDoubleClicked, this,
            &ParameterInEdsListTable::listTableDoubleClicked_slot);
    connect(m_table, &QTableWidget::itemSelectionChanged, this,
            &ParameterInEdsListTable::selectionChanged);
}

void ParameterInEdsListTable::fillTable(const CanObject *slave, int direction)
{
    const QList<EdsEntry> kept = slave ? offeredForMapping(slave->mappableList, direction == PdoReceive) : QList<EdsEntry>();

    fillEntries(kept);
}

void ParameterInEdsListTable::fillEntries(const QList<EdsEntry> &kept)
{
    m_table->setRowCount(kept.size());
    for (int row = 0; row < kept.size(); ++row) {
        const EdsEntry &entry = kept.at(row);
        m_table->setItem(row, 0, cell(hexText(quint32(entry.index))));
        m_table->setItem(row, 1, cell(hexText(quint32(entry.subIndex))));
        m_table->setItem(row, 2, cell(entry.accessType.toUpper()));
        m_table->setItem(row, nameColumn, cell(entry.parameterName));
        m_table->setItem(row, 4, cell(dataTypeText(entry.dataType)));
        m_table->setItem(row, 5, cell(dataSizeText(entry.dataType)));
    }
}

void ParameterInEdsListTable::listTableDoubleClicked_slot(QTableWidgetItem *item)
{
    if (!item)
        return;
    const QTableWidgetItem *indexItem = m_table->item(item->row(), 0);
    const QTableWidgetItem *subIndexItem = m_table->item(item->row(), 1);
    if (!indexItem || !subIndexItem)
        return;
    emit itemclicked(indexItem->text().toInt(nullptr, 16), subIndexItem->text().toInt(nullptr, 16), 0);
}
