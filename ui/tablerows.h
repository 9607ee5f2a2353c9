#pragma once

#include <QList>

class QString;
class QTableWidget;

// The rows that have a selected first cell, highest first: removing rows in
// this order keeps the numbers of the rows still to be removed valid.
QList<int> selectedRowsDescending(const QTableWidget *table);

// Shows a row whose entry the device fixes: greyed, with why in its tooltip.
void markFixedRow(QTableWidget *table, int row, const QString &why);
