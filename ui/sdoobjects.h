#pragma once

#include "eds/edsentry.h"

#include <QList>

class CanObject;

// The objects an automatic SDO may write at start-up: every object and
// sub-index of the device's dictionary whose access lets the master write it
// (rw, wo, rww, rwr) and whose value fits the 4 bytes an SDO carries, in
// dictionary order. A slave without its parsed EDS knows only its mappable objects.
QList<EdsEntry> startupWritableObjects(const CanObject &slave);

// The dictionary's entry for index/subIndex (sub-index 0 of an object without
// sub-indexes is the object itself); false when the device does not define it.
bool dictionaryEntry(const CanObject &slave, int index, int subIndex, EdsEntry &out);

// The bytes an SDO writes for the object: its size, 1 to 4; 0 when its type has no fixed size.
int sdoObjectLength(const EdsEntry &object);
