#pragma once

#include <QtGlobal>

class CanObject;

// A PDO whose mapping the EDS gives read-only (a read-only or const count in
// sub-index 0, or such mapping words) has a fixed mapping: the device takes
// those objects and no others.
bool hasFixedMapping(const CanObject &slave, quint32 commIndex);

// The count in sub-index 0 cannot be written: every default word is fixed.
bool mappingCountIsFixed(const CanObject &slave, int mappingIndex);

// Marks the objects that a fixed default mapping names read-only again in every
// PDO of the slave; for a slave rebuilt from data that does not carry the flag.
void markFixedMappings(CanObject &slave);
