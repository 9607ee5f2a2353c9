#pragma once

#include <QList>

class QTableWidget;

// The rows that have a selected first cell, highest first: removing rows in
// this order keeps the numbers of the rows still to be removed valid.
QList<int> selectedRowsDescending(const QTableWidget *table);
