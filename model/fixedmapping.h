#pragma once

#include <QtGlobal>

class CanObject;

// A PDO whose default mapping words the EDS gives read-only has a fixed mapping:
// the device takes those objects and no others.
bool hasFixedMapping(const CanObject &slave, quint32 commIndex);

// Marks the objects that a fixed default mapping names read-only again in every
// PDO of the slave; for a slave rebuilt from data that does not carry the flag.
void markFixedMappings(CanObject &slave);
