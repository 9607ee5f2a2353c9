#include "model/slavefromeds.h"

#include "eds/accesstype.h"
#include "eds/mappingword.h"
#include "eds/edsfile.h"
#include "model/canobject.h"
#include "model/fixedmapping.h"
#include "model/mappingwords.h"
#include "model/memoryplacement.h"

#include <algorithm>
#include <utility>

namespace {

EdsSource &installedSource()
{
    static EdsSource source;
    return source;
}

std::shared_ptr<const EdsFile> readEds(const QString &path)
{
    const EdsSource &source = installedSource();
    if (source)
        return source(path);
    return std::shared_ptr<const EdsFile>(loadEds(path));
}

// A DCF that enables a PDO on a reserved identifier was commissioned that way:
// the device sends there, so the PLC must take it from there.
bool isValidDefaultCobId(const EdsPdoEntry &pdo, quint8 nodeId, bool configuredByDcf)
{
    const quint32 base = quint32(pdo.cobIdBase);
    const quint32 cobId = pdo.cobIdRelative ? base + nodeId : base;
    if (cobId & 0x80000000u)
        return false;
    // The ranges are those of 11-bit identifiers; bit 29 selects 29-bit ones.
    if (cobId & 0x20000000u)
        return true;
    const quint32 id = cobId & 0x1FFFFFFFu;
    return !isReservedCobId(id) || (configuredByDcf && id >= 1 && id <= 0x7FF);
}

// The slave's mappable entries, searched by index and sub-index. Lists read from
// an EDS are in dictionary order, so a binary search finds what a walk from the
// start would; lists in any other order are walked.
class MappableLookup
{
public:
    explicit MappableLookup(const CanObject &slave)
        : m_slave(slave)
        , m_sorted(std::is_sorted(slave.mappableList.cbegin(), slave.mappableList.cend(), comesBefore))
    {
    }

    bool find(int index, int subIndex, EdsEntry &out) const
    {
        if (m_sorted) {
            const QList<EdsEntry> &list = m_slave.mappableList;
            EdsEntry wanted;
            wanted.index = index;
            wanted.subIndex = subIndex;
            const auto it = std::lower_bound(list.cbegin(), list.cend(), wanted, comesBefore);
            if (it == list.cend() || comesBefore(wanted, *it))
                return false;
            out = *it;
            return true;
        }
        return m_slave.findMappable(index, subIndex, out) >= 0;
    }

private:
    const CanObject &m_slave;
    bool m_sorted;
};

// Why a default mapping word gives no mapped object, or Mapped when it does;
// object is what it maps.
DefaultWordFate fateOf(const MappableLookup &mappable, bool receive, quint32 value, EdsEntry &object)
{
    const MappingWord word = readMappingWord(value);
    if (!coversWholeBytes(word))
        return DefaultWordFate::NotWholeBytes;
    if (isDummyIndex(word.index)) {
        object = dummyEntry(word.index);
        return DefaultWordFate::Mapped;
    }
    if (!mappable.find(word.index, word.subIndex, object))
        return DefaultWordFate::NotMappable;
    if (!mappableInDirection(object.accessType, receive))
        return DefaultWordFate::WrongDirection;
    return DefaultWordFate::Mapped;
}

void mapDefaults(CanObject &slave, PDOConfig &pdo, const MappingWords &words, const MappableLookup &mappable)
{
    if (pdo.direction != PdoReceive && pdo.direction != PdoTransmit)
        return;
    const int mappingIndex = int(pdo.commIndex) + 0x200;
    const bool allFixed = mappingCountIsFixed(slave, mappingIndex);
    for (const EdsEntry &word : words.of(mappingIndex)) {
        EdsEntry object;
        if (fateOf(mappable, pdo.direction == PdoReceive, word.defaultValue, object) != DefaultWordFate::Mapped)
            continue;
        // A dummy entry fills its bytes of the PDO; no process data, no place.
        const int position = isDummyIndex(object.index) ? CanObject::addMapEntry(pdo, object, -1) : mapAndPlace(slave, pdo, object);
        if (position == MapNoPlace)
            return;
        if (position < 0)
            continue;
        if (allFixed || isFixedAccess(word.accessType))
            pdo.mapList[position].readOnly = true;
    }
}

} // namespace

// Identifiers CiA 301 keeps for NMT, SYNC, TIME, SDO, node guarding and LSS,
// where a PDO would disturb the network, and those an 11-bit frame cannot carry.
bool isReservedCobId(quint32 id)
{
    static const struct { quint32 first, last; } reserved[] = {{0x000, 0x07F}, {0x101, 0x180}, {0x581, 0x5FF}, {0x601, 0x67F},
                                                             {0x6E0, 0x6FF}, {0x701, 0x77F}, {0x780, 0x1FFFFFFF}};
    for (const auto &range : reserved) {
        if (id >= range.first && id <= range.last)
            return true;
    }
    return false;
}

ScopedEdsSource::ScopedEdsSource(EdsSource source)
    : m_previous(std::exchange(installedSource(), std::move(source)))
{
}

ScopedEdsSource::~ScopedEdsSource()
{
    installedSource() = std::move(m_previous);
}

int loadEdsIntoSlave(CanObject &slave, const QString &path)
{
    if (path.isEmpty())
        return 0;
    slave.eds.reset();
    const std::shared_ptr<const EdsFile> eds = readEds(path);
    if (!eds)
        return 0;
    slave.eds = eds;
    slave.edsFile = path;
    slave.vendorId = eds->vendorId();
    slave.productCode = eds->productCode();
    slave.deviceType = eds->deviceType();
    slave.revisionNumber = eds->revisionNumber();
    if (slave.name.isEmpty())
        slave.name = boundedSlaveName(eds->productName());
    const QPair<qint32, quint32> emcy = eds->emcyCobId();
    slave.emcyCobIdRelative = emcy.first;
    slave.emcyCobIdBase = emcy.second;

    // Loading again, or another file, replaces what the last file offered.
    slave.edsPdoList.clear();
    const QList<EdsEntry> offered = eds->receivePdoObjects() + eds->transmitPdoObjects();
    for (const EdsEntry &entry : offered) {
        EdsPdoEntry pdo;
        static_cast<EdsEntry &>(pdo) = entry;
        const QPair<qint32, quint32> cobId = eds->pdoCobId(entry.index);
        pdo.cobIdRelative = cobId.first;
        pdo.cobIdBase = qint32(cobId.second);
        pdo.inhibitTime = eds->pdoInhibitTime(entry.index);
        pdo.eventTimer = eds->pdoEventTimer(entry.index);
        pdo.transmissionType = eds->pdoTransmissionType(entry.index);
        slave.edsPdoList.append(pdo);
    }
    slave.edsMappingList = eds->mappingEntries();
    slave.mappableList = eds->mappableEntries();
    return 1;
}

void buildDefaultPdos(CanObject &slave)
{
    const QList<EdsPdoEntry> offered = slave.edsPdoList;
    const MappingWords words(slave.edsMappingList);
    const MappableLookup mappable(slave);
    for (const EdsPdoEntry &entry : offered) {
        const bool configured = slave.eds && slave.eds->configuredCobIds.contains(entry.index);
        if (!isValidDefaultCobId(entry, slave.nodeId, configured))
            continue;
        slave.addPdo(quint32(entry.index));
        if (PDOConfig *pdo = slave.pdo(quint32(entry.index)))
            mapDefaults(slave, *pdo, words, mappable);
    }
}

void addDefaultMapping(CanObject &slave, PDOConfig &pdo)
{
    mapDefaults(slave, pdo, MappingWords(slave.edsMappingList), MappableLookup(slave));
}

QList<LeftOutWord> leftOutDefaultWords(const CanObject &slave, quint32 commIndex)
{
    QList<LeftOutWord> leftOut;
    if (!isReceivePdoIndex(commIndex) && !isTransmitPdoIndex(commIndex))
        return leftOut;
    const MappableLookup mappable(slave);
    for (const EdsEntry &word : MappingWords(slave.edsMappingList).of(int(commIndex) + 0x200)) {
        EdsEntry object;
        const DefaultWordFate fate = fateOf(mappable, isReceivePdoIndex(commIndex), word.defaultValue, object);
        if (fate != DefaultWordFate::Mapped)
            leftOut.append({word.subIndex, word.defaultValue, fate});
    }
    return leftOut;
}
