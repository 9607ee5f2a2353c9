#pragma once

#include "eds/edsentry.h"

#include <QtGlobal>

// One CiA 301 mapping word: the object it names and its length in bits.
struct MappingWord {
    int index = 0;
    int subIndex = 0;
    int bits = 0;
};

MappingWord readMappingWord(quint32 value);

// A mapping word of a whole number of bytes; the configuration maps bytes only,
// so a bit field (a one-bit BOOLEAN) cannot be carried.
bool coversWholeBytes(const MappingWord &word);

// Indexes 1 to 7 name a data type, not an object: a dummy entry that fills its
// place in the PDO and carries no process data.
bool isDummyIndex(int index);
// The entry a dummy mapping word stands for, named after its type.
EdsEntry dummyEntry(int index);
