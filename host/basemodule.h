#pragma once

// The host's services library: PLC memory bookkeeping per station, the station
// file registry, small byte conversions. The widgets have headers of their own.

#include "basemodule_global.h"

#include <QByteArray>
#include <QList>
#include <QString>

// PLC memory areas. Only these codes have a size; every other code is an area
// without room, so calls on it reserve nothing.
enum VarArea : int {
    VarAreaAI = 6,        // "%AI": 2-byte inputs
    VarAreaAQ = 7,        // "%AQ": 2-byte outputs
    VarAreaInput = 0x81,  // "%I"
    VarAreaOutput = 0x82, // "%Q"
    VarAreaFallback = 0x84 // "%V"
};

// ---- memory bookkeeping, as the plug-in uses it ----
//
// Each station key has its own book; a key the book has not seen yet starts
// empty. Ranges are byte ranges [offset, offset + size) inside the area's size.
// A size of 0 or less, a negative offset, a range beyond the area's end or an
// area without a size never reserves anything: autoMallocMemory gives -1,
// getMemory 0 and freeMemory false. Freeing releases whatever bytes of the range
// are reserved, so a reservation can always be freed, also in pieces.

// First fit: the lowest offset with size free bytes; -1 when there is no room.
BASEMODULE_EXPORT int autoMallocMemory(const QString &key, VarArea area, int size);
// 1 when the whole range was free and is now reserved; 0 otherwise (nothing changes).
BASEMODULE_EXPORT int getMemory(const QString &key, VarArea area, int offset, int size);
// True when every byte of the range was reserved; the reserved ones are released either way.
BASEMODULE_EXPORT bool freeMemory(const QString &key, VarArea area, int offset, int size);
// Snapshots nest: save pushes, delete pops and keeps the current book,
// restore pops and rolls the book back. Delete and restore without a snapshot do nothing.
BASEMODULE_EXPORT void saveMemoryUsedState(const QString &key);
BASEMODULE_EXPORT void deleteMemoryUsedState(const QString &key);
BASEMODULE_EXPORT void restoreMemoryUsedState(const QString &key);
// IEC-style prefix of an area ("%I", "%Q", "%V", "%AI", "%AQ"); "%?" for other codes.
BASEMODULE_EXPORT QString getMemName(VarArea area);

// ---- memory bookkeeping, for hosts and tests to configure and inspect ----

struct MemoryReservation {
    int area = 0;
    int offset = 0;
    int size = 0;
    bool operator==(const MemoryReservation &o) const
    { return area == o.area && offset == o.offset && size == o.size; }
    bool operator!=(const MemoryReservation &o) const { return !(*this == o); }
};

// Size of an area in bytes for books created from now on and for existing ones
// (a smaller size releases nothing, it only stops new reservations beyond it).
// Defaults: I and Q 512, V 4096, AI and AQ 256. A negative size counts as 0.
BASEMODULE_EXPORT void setMemoryAreaSize(VarArea area, int size);
BASEMODULE_EXPORT int memoryAreaSize(VarArea area);
BASEMODULE_EXPORT void resetMemoryAreaSizes();
// Reserved byte runs of the key, by area then offset. Adjacent reservations show as one run.
BASEMODULE_EXPORT QList<MemoryReservation> memoryReservations(const QString &key);
BASEMODULE_EXPORT int reservedByteCount(const QString &key, VarArea area);
BASEMODULE_EXPORT int memorySnapshotDepth(const QString &key);
// Forgets the key's reservations and snapshots.
BASEMODULE_EXPORT void clearMemory(const QString &key);
BASEMODULE_EXPORT void clearAllMemory();

// ---- station files ----

// The version a station file carries when the host knows nothing about it:
// it was made by the running software, which writes the current project layout.
constexpr int CurrentCreatorVersion = 2012;

BASEMODULE_EXPORT int getHwFileCreatedVerNum(const QString &path);
BASEMODULE_EXPORT void setHwFileCreatedVerNum(const QString &path, int version);
BASEMODULE_EXPORT void clearHwFileCreatedVerNums();

// Product name shown for a slave whose EDS file has the given file name. Without
// a registered name, the file name without its extension is shown.
BASEMODULE_EXPORT QString getCanSlaveProductName(const QString &text);
BASEMODULE_EXPORT void setCanSlaveProductName(const QString &text, const QString &productName);
BASEMODULE_EXPORT void clearCanSlaveProductNames();

// ---- conversions ----

BASEMODULE_EXPORT QString simplify(const QString &text);
// Most significant byte first.
BASEMODULE_EXPORT QByteArray shortToByteArray(quint16 value);
BASEMODULE_EXPORT QByteArray intToByteArray(quint32 value);
// Reverses the byte order in place.
BASEMODULE_EXPORT void toBigEndian(QByteArray &bytes);
