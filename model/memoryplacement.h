#pragma once

#include <QByteArray>
#include <QString>

class CanObject;
struct EdsEntry;
struct PDOConfig;
struct PDOMapEntry;

// Gives a freshly mapped entry its first place in PLC memory under key:
// the PDO's own area, else the fallback area. False leaves the entry as it was.
bool placeNewEntry(const QString &key, const PDOConfig &pdo, PDOMapEntry &entry);

// Maps an object into one of the slave's PDOs and places it under the slave's
// key; an object that gets no place is taken out again. The object's position,
// or what addMapEntry refuses with (-1, -2), or MapNoPlace.
constexpr int MapNoPlace = -3;
int mapAndPlace(CanObject &slave, PDOConfig &pdo, const EdsEntry &entry);

// Moves an entry to another place under key. False when that place is taken:
// the entry then stays where it was, holding its old place if it held it.
bool movePlace(const QString &key, PDOMapEntry &entry, qint32 area, qint32 offset);

// (Re)claims places for every object of the slave's PDOs of one direction;
// a place the slave already holds stays as it is. When one object gets no
// place, the run's reservations are released again and the result is false;
// that object keeps its byteLength, offset -1.
bool autoMallocMap(CanObject &slave, qint32 direction);

// Where the mapped data of one direction lie: 6 bytes per object, 7 for
// receive PDOs (with clearWhenStop). count gets the number of objects.
QByteArray memoryMap(const CanObject &slave, qint32 direction, int *count);
