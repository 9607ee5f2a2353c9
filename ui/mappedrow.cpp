#include "ui/mappedrow.h"

#include "model/canobject.h"
#include "model/hostservices.h"

#include <QModelIndex>

MappedRow mappedRowAt(CanObject *slave, const QModelIndex &index)
{
    MappedRow row;
    if (!slave)
        return row;
    const QModelIndex first = index.sibling(index.row(), 0);
    // The two roles are set together: a row with a PDO has a position in it.
    bool mapped;
    const uint commIndex = first.data(CommIndexRole).toUInt(&mapped);
    const int position = first.data(MapPositionRole).toInt();
    if (!mapped)
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
