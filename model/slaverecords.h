#pragma once

#include "eds/edsentry.h"
#include "eds/pdoindexes.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Direction of a PDO, as a character code.
constexpr qint32 PdoReceive = 82;  // 'R': the device receives, the PLC writes
constexpr qint32 PdoTransmit = 84; // 'T': the device sends, the PLC reads

// One object mapped into a PDO, with its place in PLC memory.
struct PDOMapEntry {
    quint32 index = 0;
    quint32 subIndex = 0;
    QString name;
    quint32 byteLength = 0;
    quint32 dataType = 0;
    bool readOnly = false;       // from a read-only default mapping: the user may not remove it
    qint32 area = -1;            // VarArea code; -1 when not placed
    qint32 offset = -1;          // -1 when not placed
    qint32 reservedValue = -1;
    quint8 clearWhenStop = 1;    // 0 "Yes", 1 "No", 2 in a transmit PDO
    // This slave holds the place in the station's memory book. Only a held
    // place may be freed: a place whose claim failed belongs to someone else.
    // Kept in memory only and not compared: it is bookkeeping, not configuration.
    bool held = false;

    bool operator==(const PDOMapEntry &o) const;
    bool operator!=(const PDOMapEntry &o) const { return !(*this == o); }
};

// The data bytes one PDO carries at most: a CAN frame's.
constexpr quint32 maxPdoBytes = 8;

// One PDO in use.
struct PDOConfig {
    QList<PDOMapEntry> mapList;
    quint32 commIndex = 0;
    qint32 cobIdRelative = 0;
    quint32 cobIdBase = 0;
    qint32 direction = PdoReceive;
    qint32 reservedValue = 0;
    quint8 transmissionType = 0;
    QString reservedText;
    quint16 inhibitTime = 0;
    quint16 eventTimer = 0;
    QString name;
    quint8 nodeId = 0;

    bool operator==(const PDOConfig &o) const;
    bool operator!=(const PDOConfig &o) const { return !(*this == o); }
};

// One automatic SDO: a value the master writes into the device at start-up.
struct SDOEntry {
    quint16 index = 0;
    quint8 subIndex = 0;
    quint8 length = 0;
    QByteArray data;
    QString dataText;
    QString name;

    bool operator==(const SDOEntry &o) const;
    bool operator!=(const SDOEntry &o) const { return !(*this == o); }
};

// One PDO the EDS defines: the entry of its communication parameter object and
// the defaults of its sub-indexes.
struct EdsPdoEntry : EdsEntry {
    qint32 cobIdRelative = 0;
    qint32 cobIdBase = 0;        // negative (bit 31 set): not valid, not used by default
    quint32 inhibitTime = 0;
    quint32 eventTimer = 0;
    quint32 transmissionType = 0;

    bool operator==(const EdsPdoEntry &o) const;
    bool operator!=(const EdsPdoEntry &o) const { return !(*this == o); }
};

inline qint32 pdoDirectionFor(quint32 commIndex)
{
    return commIndex < 0x1800 ? PdoReceive : PdoTransmit;
}


// What the model itself always makes, and so what a PDO read back from
// storage must hold before it is taken over.
inline bool directionFitsIndex(const PDOConfig &pdo)
{
    return pdo.direction == PdoTransmit ? isTransmitPdoIndex(pdo.commIndex)
                                        : pdo.direction == PdoReceive && isReceivePdoIndex(pdo.commIndex);
}
// A length of 0 takes no PLC memory: recompile without the EDS keeps it
// for an object whose type has no size.
inline bool lengthFitsType(const PDOMapEntry &entry)
{
    return entry.byteLength == 0 || entry.byteLength == quint32(dataTypeSize(int(entry.dataType)));
}
