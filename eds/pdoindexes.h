#pragma once

#include <QtGlobal>

// Where a dictionary keeps its PDOs: 512 of each kind, receive from 0x1400 and
// transmit from 0x1800, each mapping object 0x200 above its parameters.
struct IndexRange {
    qint32 first;
    qint32 last;
    constexpr bool contains(qint64 index) const { return index >= first && index <= last; }
};

constexpr IndexRange receivePdoIndexes{0x1400, 0x15FF};
constexpr IndexRange receiveMappingIndexes{0x1600, 0x17FF};
constexpr IndexRange transmitPdoIndexes{0x1800, 0x19FF};
constexpr IndexRange transmitMappingIndexes{0x1A00, 0x1BFF};

inline bool isReceivePdoIndex(quint32 commIndex) { return receivePdoIndexes.contains(commIndex); }
inline bool isTransmitPdoIndex(quint32 commIndex) { return transmitPdoIndexes.contains(commIndex); }
