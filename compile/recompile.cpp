#include "compile/recompile.h"

#include "compile/blockreader.h"
#include "eds/mappingword.h"
#include "model/canobject.h"
#include "model/edssearch.h"
#include "model/fixedmapping.h"
#include "model/hostservices.h"

#include <QCoreApplication>
#include <QVector>

namespace {

// The places this call claimed, so that a refusal can hand them back: a
// refused block must not block PLC memory for the rest of the session.
class Claims
{
public:
    explicit Claims(const QString &key) : m_key(key) {}

    bool claim(PDOMapEntry &entry)
    {
        if (!claimPlace(m_key, entry))
            return false;
        m_claimed.append({entry.area, entry.offset, int(entry.byteLength)});
        return true;
    }

    void releaseAll()
    {
        for (const MemoryReservation &r : qAsConst(m_claimed))
            freeMemory(m_key, VarArea(r.area), r.offset, r.size);
        m_claimed.clear();
    }

private:
    QString m_key;
    QVector<MemoryReservation> m_claimed;
};

// The signed integer type of that many bytes, so the size stays what the block says.
quint8 placeholderType(quint32 length)
{
    switch (length) {
    case 1:
        return DataTypeInteger8;
    case 2:
        return DataTypeInteger16;
    case 3:
        return DataTypeInteger24;
    case 5:
    case 6:
    case 7:
    case 8:
        return quint8(DataTypeInteger40 + length - 5);
    default:
        return DataTypeInteger32;
    }
}

// A mapped object the EDS does not offer any more keeps its place in the
// PDO under a made-up name, typed by the length the block stored.
EdsEntry placeholderEntry(quint32 index, quint32 subIndex, quint32 length)
{
    EdsEntry entry;
    entry.index = qint32(index);
    entry.subIndex = qint32(subIndex);
    entry.parameterName = QStringLiteral("NewPar_%1:%2")
                              .arg(QString::number(index, 16).toUpper(), QString::number(subIndex, 16).toUpper());
    entry.dataType = placeholderType(length);
    return entry;
}

// Without the EDS, the block is all there is: the object keeps the length
// the block stored, so that its place stays the size it was.
int appendStoredEntry(PDOConfig &pdo, quint32 index, quint32 subIndex, quint32 length)
{
    if (CanObject::findMapEntry(pdo, index, subIndex) || CanObject::pdoByteLength(pdo) + length > maxPdoBytes)
        return -1;
    const EdsEntry like = placeholderEntry(index, subIndex, length);
    PDOMapEntry entry;
    entry.index = index;
    entry.subIndex = subIndex;
    entry.name = like.parameterName;
    entry.dataType = like.dataType;
    entry.byteLength = length;
    entry.clearWhenStop = pdo.direction == PdoTransmit ? 2 : 1;
    pdo.mapList.append(entry);
    return pdo.mapList.size() - 1;
}

int appendEntry(CanObject &slave, PDOConfig &pdo, quint32 index, quint32 subIndex, quint32 length)
{
    if (!slave.eds)
        return appendStoredEntry(pdo, index, subIndex, length);
    EdsEntry entry;
    if (isDummyIndex(int(index)))
        entry = dummyEntry(int(index));
    else if (slave.findMappable(int(index), int(subIndex), entry) < 0)
        entry = placeholderEntry(index, subIndex, length);
    return CanObject::addMapEntry(pdo, entry, -1);
}

// Without the EDS, a PDO is made from the block alone; its section of the
// block says which direction it must have.
int addPdo(CanObject &slave, quint32 commIndex, bool transmit)
{
    if (slave.eds)
        return slave.addPdo(commIndex);
    if (transmit ? !isTransmitPdoIndex(commIndex) : !isReceivePdoIndex(commIndex))
        return -1;
    PDOConfig config;
    config.commIndex = commIndex;
    config.direction = pdoDirectionFor(commIndex);
    config.nodeId = slave.nodeId;
    config.name = (transmit ? QStringLiteral("TPDO%1") : QStringLiteral("RPDO%1")).arg((commIndex & 0x1FF) + 1);
    return slave.insertPdo(config);
}

int readMappings(const QByteArray &records, bool withClearWhenStop, CanObject &slave, PDOConfig &pdo,
                 Claims &claims)
{
    BlockReader in(records);
    while (in.remaining() > 0) {
        quint32 index = 0, subIndex = 0, length = 0, area = 0, offset = 0, clearWhenStop = 0;
        in.byte2(index);
        in.byte1(subIndex);
        in.byte1(length);
        in.byte1(area);
        in.byte2(offset);
        if (withClearWhenStop)
            in.byte1(clearWhenStop);

        const int position = appendEntry(slave, pdo, index, subIndex, length);
        if (position < 0)
            return RecompileMappingRefused;
        PDOMapEntry *mapped = CanObject::mapEntryAt(pdo, position);
        // Compile writes an entry without a place as area 0xFF, offset 0xFFFF.
        mapped->area = area == 0xFF ? -1 : qint32(area);
        mapped->offset = offset == 0xFFFF ? -1 : qint32(offset);
        if (withClearWhenStop)
            mapped->clearWhenStop = quint8(clearWhenStop);
        const bool placed = mapped->area != -1 && mapped->offset != -1;
        if (placed && !claims.claim(*mapped))
            return RecompileMalformed;
    }
    return RecompileOk;
}

int readPdoRecords(BlockReader &in, int count, bool transmit, CanObject &slave, Claims &claims)
{
    const int recordSize = transmit ? 7 : 8;
    for (int i = 0; i < count; ++i) {
        quint32 mappings = 0, commIndex = 0;
        QByteArray records;
        if (!in.byte1(mappings) || !in.take(int(mappings) * recordSize, records) || !in.byte2(commIndex))
            return RecompileMalformed;
        if (addPdo(slave, commIndex, transmit) < 0)
            return RecompilePdoRefused;
        PDOConfig &pdo = *slave.pdo(commIndex);
        const int mapped = readMappings(records, !transmit, slave, pdo, claims);
        if (mapped != RecompileOk)
            return mapped;

        // The record's trailer is read whole before its COB-ID is judged: a cut one is malformed.
        quint32 cobId = 0, eventTimer = 0, inhibitTime = 0, transmissionType = 0;
        const bool whole = in.byte4(cobId) && (!transmit || (in.byte2(eventTimer) && in.byte2(inhibitTime)))
            && in.byte1(transmissionType) && in.skip(4);
        if (!whole)
            return RecompileMalformed;
        if (!slave.eds)
            pdo.cobIdBase = cobId;
        else if (cobId != CanObject::effectiveCobId(pdo))
            return RecompileCobIdChanged;
        if (transmit) {
            pdo.eventTimer = quint16(eventTimer);
            pdo.inhibitTime = quint16(inhibitTime);
        }
        pdo.transmissionType = quint8(transmissionType);
    }
    return RecompileOk;
}

int readSdos(BlockReader &in, CanObject &slave)
{
    quint32 count = 0;
    if (!in.byte1(count))
        return RecompileMalformed;
    for (quint32 i = 0; i < count; ++i) {
        quint32 index = 0, subIndex = 0, length = 0;
        SDOEntry sdo;
        if (!in.byte2(index) || !in.byte1(subIndex) || !in.byte1(length) || !in.take(4, sdo.data))
            return RecompileMalformed;
        // Compile wrote the stored value reversed; this turns it back.
        toBigEndian(sdo.data);
        sdo.index = quint16(index);
        sdo.subIndex = quint8(subIndex);
        sdo.length = quint8(length);
        slave.sdoList.append(sdo);
    }
    return RecompileOk;
}

quint32 takeTime(BlockReader &in)
{
    quint32 value = 0;
    in.byte2(value);
    return value;
}

// Everything after the EDS is loaded: start-up checks, times, PDOs, SDOs.
int readConfiguration(BlockReader &in, CanObject &slave, Claims &claims)
{
    quint32 flags = 0, bodyLength = 0;
    if (!in.byte1(flags) || !in.skip(15) || !in.byte2(bodyLength))
        return RecompileMalformed;
    slave.setCheckFlags(quint8(flags));
    // Computed on 16 bits: a length below 2 keeps the whole remainder.
    in.narrow(quint16(bodyLength - 2));
    // A body too short for the fixed part below reads as zeros up to its end and
    // fails at the closing bytes.

    slave.heartbeatTime = qint32(takeTime(in));
    slave.masterMonitorTime = qint32(takeTime(in));
    in.skip(2);
    slave.monitorTime = qint32(takeTime(in));
    in.skip(4);
    quint32 transmitCount = 0, receiveCount = 0;
    in.byte1(transmitCount);
    in.byte1(receiveCount);

    int code = readPdoRecords(in, int(transmitCount), true, slave, claims);
    if (code == RecompileOk)
        code = readPdoRecords(in, int(receiveCount), false, slave, claims);
    if (code == RecompileOk)
        code = readSdos(in, slave);
    if (code != RecompileOk)
        return code;
    if (!in.skip(16))
        return RecompileMalformed;
    return in.remaining() == 0 ? RecompileOk : RecompileTrailingBytes;
}

} // namespace

RecompileResult recompileBlock(const QByteArray &block, const QString &key)
{
    RecompileResult result;
    auto slave = std::make_unique<CanObject>();
    slave->projectKey = key;

    BlockReader in(block);
    quint32 nameLength = 0, pathLength = 0;
    QByteArray name, path;
    // Each read fails on a block cut short.
    if (!in.skip(1) || !in.byte1(nameLength) || !in.take(int(nameLength), name))
        return result;
    if (!in.byte1(pathLength) || !in.take(int(pathLength), path))
        return result;
    quint32 nodeId = 0;
    if (!in.byte1(nodeId) || !in.byte4(slave->vendorId) || !in.byte4(slave->deviceType) || !in.byte4(slave->productCode)
        || !in.byte4(slave->revisionNumber))
        return result;
    slave->nodeId = quint8(nodeId);
    // Compile wrote both with the local 8-bit codec.
    slave->name = QString::fromLocal8Bit(name);

    // Without its EDS the slave keeps all the block holds and the stored path.
    const bool edsFound = loadStoredEds(*slave, QString::fromLocal8Bit(path));
    if (!edsFound && slave->name.isEmpty())
        slave->name = QCoreApplication::translate("CanSlave", "Unknown Device");

    Claims claims(key);
    try {
        result.code = readConfiguration(in, *slave, claims);
        // The block does not carry read-only flags: the EDS gives them back.
        if (result.code == RecompileOk)
            markFixedMappings(*slave);
    } catch (...) {
        claims.releaseAll();
        throw;
    }
    if (result.code != RecompileOk) {
        claims.releaseAll();
        return result;
    }
    if (!edsFound)
        result.code = RecompileEdsMissing;
    result.slave = std::move(slave);
    return result;
}
