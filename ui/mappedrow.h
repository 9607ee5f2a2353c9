#pragma once

#include <Qt>
#include <QString>

class CanObject;
class QModelIndex;
struct PDOConfig;
struct PDOMapEntry;

// A row of a mapped-objects table finds its entry again through two values that
// its first cell carries: the PDO's communication index and the entry's position
// in that PDO's mapping list.
constexpr int CommIndexRole = Qt::UserRole + 1;
constexpr int MapPositionRole = Qt::UserRole + 2;

struct MappedRow {
    PDOConfig *pdo = nullptr;
    PDOMapEntry *entry = nullptr;
    int position = -1;
};

// The PDO and entry the row of index stands for; null members when either is gone.
MappedRow mappedRowAt(CanObject *slave, const QModelIndex &index);

// "%I,12": the area's name and the offset, as the "Memory" column shows a place.
QString memoryPlaceText(int area, int offset);
