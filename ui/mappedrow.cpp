#include "ui/mappedrow.h"

#include "model/canobject.h"
#include "model/hostservices.h"

#include <QModelIndex>

MappedRow mappedRowAt(CanObject *slave, const QModelIndex &index)
{
    MappedRow row;
    if (!slave || !index.isValid())
        return row;
    const QModelIndex first = index.sibling(index.row(), 0);
    bool commOk;
    bool positionOk;
    const uint commIndex = first.data(CommIndexRole).toUInt(&commOk);
    const int position = first.data(MapPositionRole).toInt(&positionOk);
    if (!commOk || !positionOk)
        return row;
    // Searched in list order: a damaged or foreign stream may hold the PDOs unsorted.
    for (PDOConfig &pdo : slave->pdoList) {
        if (pdo.commIndex == commIndex) {
            row.pdo = &pdo;
            break;
        }
    }
    if (!row.pdo)
        return row;
    row.entry = CanObject::mapEntryAt(*row.pdo, position);
    row.position = row.entry ? position : -1;
    return row;
}

QString memoryPlaceText(int area, int offset)
{
    return QStringLiteral("%1,%2").arg(getMemName(VarArea(area))).arg(offset);
}
