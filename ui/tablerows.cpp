#include "ui/tablerows.h"

#include <QTableWidget>

#include <algorithm>
#include <functional>

QList<int> selectedRowsDescending(const QTableWidget *table)
{
    QList<int> rows;
    const QList<QTableWidgetItem *> selected = table->selectedItems();
    for (const QTableWidgetItem *item : selected) {
        if (item->column() == 0)
            rows.append(item->row());
    }
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    return rows;
}

void markFixedRow(QTableWidget *table, int row, const QString &why)
{
    for (int column = 0; column < table->columnCount(); ++column) {
        if (QTableWidgetItem *item = table->item(row, column)) {
            item->setForeground(QColor(Qt::darkGray));
            item->setToolTip(why);
        }
    }
}
