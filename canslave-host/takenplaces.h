#pragma once

// A slave restored into a station where another slave holds its stored memory
// places: restore claims them with getMemory and does not say when that fails,
// so a host compares the slave's memory maps with its own book.

#include <basemodule.h>

#include <QList>
#include <QPair>
#include <QString>

class CanObject;
class Plugin;

namespace refhost {

// Mapped objects of the slave whose place overlaps a reservation of before, the
// book as it was before the slave was restored.
int takenPlaceCount(const Plugin &plugin, CanObject *slave, const QList<MemoryReservation> &before);

// Each mapped object, in the order of the slave's PDOs, and where it lies.
QList<QPair<QString, QString>> mappedPlaces(CanObject *slave);

} // namespace refhost
