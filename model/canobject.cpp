#include "model/canobject.h"

#include "eds/edsfile.h"
#include "eds/sortedlist.h"
#include "model/hostservices.h"


CanObject::CanObject(quint8 id)
    : nodeId(id)
{
}

int CanObject::findPdo(quint32 commIndex) const
{
    const int position = lowerBound(pdoList, commIndex, [](const PDOConfig &pdo) { return pdo.commIndex; });
    return position < pdoList.size() && pdoList.at(position).commIndex == commIndex ? position : -1;
}

PDOConfig *CanObject::pdo(quint32 commIndex)
{
    const int position = findPdo(commIndex);
    return position < 0 ? nullptr : &pdoList[position];
}

const PDOConfig *CanObject::pdo(quint32 commIndex) const
{
    const int position = findPdo(commIndex);
    return position < 0 ? nullptr : &pdoList.at(position);
}

int CanObject::addPdo(quint32 commIndex)
{
    // A PDO already in use is refused where it would be inserted.
    EdsPdoEntry offered;
    if (findEdsPdo(commIndex, offered) < 0)
        return -1;

    PDOConfig config;
    config.commIndex = commIndex;
    config.cobIdRelative = offered.cobIdRelative;
    config.cobIdBase = quint32(offered.cobIdBase);
    config.transmissionType = quint8(offered.transmissionType);
    config.inhibitTime = quint16(offered.inhibitTime);
    config.eventTimer = quint16(offered.eventTimer);
    config.name = offered.parameterName;
    config.direction = pdoDirectionFor(commIndex);
    config.nodeId = nodeId;
    return insertPdo(config);
}

int CanObject::insertPdo(const PDOConfig &config)
{
    const int position = lowerBound(pdoList, config.commIndex, [](const PDOConfig &pdo) { return pdo.commIndex; });
    if (position < pdoList.size() && pdoList.at(position).commIndex == config.commIndex)
        return -1;
    pdoList.insert(position, config);
    return position;
}

int CanObject::removePdo(quint32 commIndex)
{
    const int position = findPdo(commIndex);
    if (position < 0)
        return -1;
    freeMappedMemory(projectKey, pdoList[position]);
    pdoList.removeAt(position);
    return position;
}

int CanObject::addMapEntry(PDOConfig &pdo, const EdsEntry &entry, int position)
{
    PDOMapEntry mapped;
    mapped.index = quint32(entry.index);
    mapped.subIndex = quint32(entry.subIndex);
    mapped.name = entry.parameterName;
    mapped.dataType = entry.dataType;
    mapped.byteLength = quint32(dataTypeSize(entry.dataType));
    mapped.clearWhenStop = pdo.direction == PdoTransmit ? 2 : 1;

    if (quint64(pdoByteLength(pdo)) + mapped.byteLength > maxPdoBytes)
        return -2;
    if (findMapEntry(pdo, mapped.index, mapped.subIndex))
        return -1;
    if (position == -1) {
        pdo.mapList.append(mapped);
        return pdo.mapList.size() - 1;
    }
    if (position < 0 || position > pdo.mapList.size())
        return -1;
    pdo.mapList.insert(position, mapped);
    return position;
}

int CanObject::removeMapEntry(PDOConfig &pdo, int position)
{
    if (position < 0 || position >= pdo.mapList.size())
        return -1;
    releasePlace(projectKey, pdo.mapList[position]);
    pdo.mapList.removeAt(position);
    return position;
}

PDOMapEntry *CanObject::mapEntryAt(PDOConfig &pdo, int position)
{
    if (position < 0 || position >= pdo.mapList.size())
        return nullptr;
    return &pdo.mapList[position];
}

PDOMapEntry *CanObject::findMapEntry(PDOConfig &pdo, quint32 index, quint32 subIndex)
{
    // Not built on the const overload: the pointer handed out is written through,
    // so the list must detach from any copy it shares its data with.
    for (PDOMapEntry &entry : pdo.mapList) {
        if (entry.index == index && entry.subIndex == subIndex)
            return &entry;
    }
    return nullptr;
}

quint32 CanObject::pdoByteLength(const PDOConfig &pdo)
{
    quint32 total = 0;
    for (const PDOMapEntry &entry : pdo.mapList)
        total += entry.byteLength;
    return total;
}

quint32 CanObject::effectiveCobId(const PDOConfig &pdo)
{
    const quint32 cobId = pdo.cobIdRelative ? pdo.nodeId + pdo.cobIdBase : pdo.cobIdBase;
    return cobId & 0x7FFFFFFFu;
}

QString CanObject::shortDescription(const PDOConfig &pdo)
{
    // "TPDO1..." reads "TxPDO 1": an x after the first character and a blank before
    // the fifth; short names are padded so that both stay in place.
    const QString text = pdo.name.left(5).leftJustified(4, QLatin1Char(' '));
    return text.left(1) + QLatin1Char('x') + text.mid(1, 3) + QLatin1Char(' ') + text.mid(4);
}

int CanObject::addSdo(const SDOEntry &sdo)
{
    sdoList.append(sdo);
    return sdoList.size() - 1;
}

int CanObject::removeSdo(int position)
{
    if (position < 0 || position >= sdoList.size())
        return -1;
    sdoList.removeAt(position);
    return position;
}

SDOEntry *CanObject::sdoAt(int position)
{
    if (position < 0 || position >= sdoList.size())
        return nullptr;
    return &sdoList[position];
}

int CanObject::findEdsPdo(quint32 commIndex, EdsPdoEntry &out) const
{
    for (int i = 0; i < edsPdoList.size(); ++i) {
        if (quint32(edsPdoList.at(i).index) == commIndex) {
            out = edsPdoList.at(i);
            return i;
        }
    }
    return -1;
}

int CanObject::findMappingEntry(int index, int subIndex) const
{
    for (int i = 0; i < edsMappingList.size(); ++i) {
        const EdsEntry &entry = edsMappingList.at(i);
        if (entry.index == index && entry.subIndex == subIndex)
            return i;
    }
    return -1;
}

int CanObject::findMappable(int index, int subIndex, EdsEntry &out) const
{
    for (int i = 0; i < mappableList.size(); ++i) {
        const EdsEntry &entry = mappableList.at(i);
        if (entry.index == index && entry.subIndex == subIndex) {
            out = entry;
            return i;
        }
    }
    return -1;
}

quint32 CanObject::emcyCobId() const
{
    return emcyCobIdRelative ? nodeId + emcyCobIdBase : emcyCobIdBase;
}

quint32 CanObject::nodeGuardCobId() const
{
    return nodeId + 0x700u;
}

void CanObject::setNodeId(quint8 id)
{
    nodeId = id;
    for (PDOConfig &config : pdoList)
        config.nodeId = id;
}

void CanObject::releaseMappedMemory()
{
    for (PDOConfig &config : pdoList)
        freeMappedMemory(projectKey, config);
}

quint8 CanObject::checkFlags() const
{
    return quint8((skipVendorIdCheck ? 0x01 : 0) | (skipDeviceTypeCheck ? 0x02 : 0)
                  | (skipProductCodeCheck ? 0x04 : 0) | (skipRevisionCheck ? 0x08 : 0));
}

void CanObject::setCheckFlags(quint8 flags)
{
    skipVendorIdCheck = flags & 0x01;
    skipDeviceTypeCheck = flags & 0x02;
    skipProductCodeCheck = flags & 0x04;
    skipRevisionCheck = flags & 0x08;
}

QString boundedSlaveName(const QString &name)
{
    // Every character takes at least one byte, so no more than that many count.
    QString kept = name.left(MaxSlaveNameBytes);
    // Called on a text that is not empty: one character alone is never a pair.
    const auto lastCharacter = [&kept] {
        const QStringView tail = QStringView(kept).right(2);
        return tail.front().isHighSurrogate() && tail.back().isLowSurrogate() ? 2 : 1;
    };
    if (kept.size() < name.size() && kept.at(kept.size() - 1).isHighSurrogate())
        kept.chop(1);
    while (kept.toLocal8Bit().size() > MaxSlaveNameBytes)
        kept.chop(lastCharacter());
    return kept;
}

void freeMappedMemory(const QString &key, PDOConfig &pdo)
{
    for (PDOMapEntry &entry : pdo.mapList)
        releasePlace(key, entry);
}

bool claimPlace(const QString &key, PDOMapEntry &entry)
{
    // Asking again for a place it holds would be refused by its own claim.
    if (entry.held)
        return true;
    entry.held = getMemory(key, VarArea(entry.area), entry.offset, int(entry.byteLength)) == 1;
    return entry.held;
}

void releasePlace(const QString &key, PDOMapEntry &entry)
{
    if (!entry.held)
        return;
    freeMemory(key, VarArea(entry.area), entry.offset, int(entry.byteLength));
    entry.held = false;
}
