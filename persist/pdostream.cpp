#include "persist/pdostream.h"

#include "model/canobject.h"
#include "persist/sizedread.h"

#include <QDataStream>

// A damaged count must not make the reader loop on, or allocate for, items
// that are not there: only items read whole are kept, and reading stops at
// the first one that ran past the end or was corrupt.

namespace {

void writeMapEntry(QDataStream &s, const PDOMapEntry &e)
{
    s << qint32(e.index) << qint32(e.subIndex) << e.name << qint32(e.byteLength) << qint32(e.dataType)
      << qint32(e.area) << qint32(e.offset) << qint32(e.reservedValue) << qint8(e.clearWhenStop)
      << e.readOnly;
}

PDOMapEntry readMapEntry(QDataStream &s)
{
    qint32 index = 0, subIndex = 0, byteLength = 0, dataType = 0;
    qint8 clearWhenStop = 0;
    PDOMapEntry e;
    s >> index >> subIndex >> sized(e.name) >> byteLength >> dataType >> e.area >> e.offset >> e.reservedValue
        >> clearWhenStop >> e.readOnly;
    e.index = quint32(index);
    e.subIndex = quint32(subIndex);
    e.byteLength = quint32(byteLength);
    e.dataType = quint32(dataType);
    e.clearWhenStop = quint8(clearWhenStop);
    return e;
}

QByteArray writePdoRecord(const PDOConfig &pdo)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s << qint32(pdo.commIndex) << qint32(pdo.cobIdRelative) << qint32(pdo.cobIdBase) << qint32(pdo.direction)
      << qint32(pdo.reservedValue) << qint8(pdo.transmissionType) << pdo.reservedText
      << qint16(pdo.inhibitTime) << qint16(pdo.eventTimer) << pdo.name << qint8(pdo.nodeId)
      << qint32(pdo.mapList.size());
    for (const PDOMapEntry &e : pdo.mapList)
        writeMapEntry(s, e);
    return bytes;
}

// False when the record is not taken over: a direction its index cannot
// have, or more than a PDO carries. An object whose length is not its type's
// gets its type's length and no place, so that the book, the memory maps and
// the block never disagree about what the slave holds.
bool readPdoRecord(const QByteArray &bytes, const QString &key, PDOConfig &pdo)
{
    QDataStream s(bytes);
    qint32 commIndex = 0, cobIdBase = 0, count = 0;
    qint8 transmissionType = 0, nodeId = 0;
    qint16 inhibitTime = 0, eventTimer = 0;
    s >> commIndex >> pdo.cobIdRelative >> cobIdBase >> pdo.direction >> pdo.reservedValue >> transmissionType
        >> sized(pdo.reservedText) >> inhibitTime >> eventTimer >> sized(pdo.name) >> nodeId >> count;
    pdo.commIndex = quint32(commIndex);
    pdo.cobIdBase = quint32(cobIdBase);
    pdo.transmissionType = quint8(transmissionType);
    pdo.inhibitTime = quint16(inhibitTime);
    pdo.eventTimer = quint16(eventTimer);
    pdo.nodeId = quint8(nodeId);
    for (qint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        PDOMapEntry e = readMapEntry(s);
        if (s.status() != QDataStream::Ok)
            break;
        if (!lengthFitsType(e)) {
            e.byteLength = quint32(dataTypeSize(int(e.dataType)));
            e.area = -1;
            e.offset = -1;
        }
        pdo.mapList.append(e);
    }
    if (!directionFitsIndex(pdo) || CanObject::pdoByteLength(pdo) > maxPdoBytes)
        return false;
    try {
        for (PDOMapEntry &e : pdo.mapList)
            claimPlace(key, e);
    } catch (...) {
        freeMappedMemory(key, pdo);
        throw;
    }
    return true;
}

} // namespace

QByteArray writePdoListStream(const QList<PDOConfig> &pdos)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s << qint32(pdos.size());
    for (const PDOConfig &pdo : pdos)
        s << writePdoRecord(pdo);
    return bytes;
}

QList<PDOConfig> readPdoListStream(const QByteArray &bytes, const QString &key)
{
    QList<PDOConfig> pdos;
    QDataStream s(bytes);
    qint32 count = 0;
    s >> count;
    for (qint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        QByteArray record;
        s >> sized(record);
        if (s.status() != QDataStream::Ok)
            break;
        // Kept by value until it is in the list, so that its claims go back with it.
        PDOConfig pdo;
        try {
            if (readPdoRecord(record, key, pdo))
                pdos.append(pdo);
        } catch (...) {
            freeMappedMemory(key, pdo);
            for (PDOConfig &read : pdos)
                freeMappedMemory(key, read);
            throw;
        }
    }
    return pdos;
}

QByteArray writeSdoListStream(const QList<SDOEntry> &sdos)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s << qint32(sdos.size());
    for (const SDOEntry &sdo : sdos)
        s << qint16(sdo.index) << qint8(sdo.subIndex) << qint8(sdo.length) << sdo.dataText << sdo.data;
    return bytes;
}

QList<SDOEntry> readSdoListStream(const QByteArray &bytes, bool withDataText)
{
    QList<SDOEntry> sdos;
    QDataStream s(bytes);
    qint32 count = 0;
    s >> count;
    for (qint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        qint16 index = 0;
        qint8 subIndex = 0, length = 0;
        SDOEntry sdo;
        s >> index >> subIndex >> length;
        if (withDataText)
            s >> sized(sdo.dataText);
        s >> sized(sdo.data);
        if (s.status() != QDataStream::Ok)
            break;
        sdo.index = quint16(index);
        sdo.subIndex = quint8(subIndex);
        sdo.length = quint8(length);
        sdos.append(sdo);
    }
    return sdos;
}
