#include "model/slavefromeds.h"

#include "eds/edsfile.h"
#include "model/canobject.h"
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

// Identifiers CiA 301 keeps for NMT, SYNC, TIME, SDO, node guarding and LSS,
// where a PDO would disturb the network, and those an 11-bit frame cannot carry.
bool isReservedCobId(quint32 id)
{
    static const quint32 reserved[][2] = {{0x000, 0x07F}, {0x101, 0x180}, {0x581, 0x5FF}, {0x601, 0x67F},
                                          {0x6E0, 0x6FF}, {0x701, 0x77F}, {0x780, 0x1FFFFFFF}};
    for (const auto &range : reserved) {
        if (id >= range[0] && id <= range[1])
            return true;
    }
    return false;
}

bool isValidDefaultCobId(const EdsPdoEntry &pdo, quint8 nodeId)
{
    const quint32 base = quint32(pdo.cobIdBase);
    const quint32 cobId = pdo.cobIdRelative ? base + nodeId : base;
    if (cobId & 0x80000000u)
        return false;
    // The ranges are those of 11-bit identifiers; bit 29 selects 29-bit ones.
    if (cobId & 0x20000000u)
        return true;
    return !isReservedCobId(cobId & 0x1FFFFFFFu);
}

qint64 keyOf(const EdsEntry &entry)
{
    return qint64(entry.index) << 32 | quint32(entry.subIndex);
}

// The slave's mappable entries, searched by index and sub-index. Lists read from
// an EDS are in dictionary order, so a binary search finds what a walk from the
// start would; lists in any other order are walked.
class MappableLookup
{
public:
    explicit MappableLookup(const CanObject &slave)
        : m_slave(slave)
        , m_sorted(std::is_sorted(slave.mappableList.cbegin(), slave.mappableList.cend(),
                                  [](const EdsEntry &a, const EdsEntry &b) { return keyOf(a) < keyOf(b); }))
    {
    }

    bool find(int index, int subIndex, EdsEntry &out) const
    {
        if (!m_sorted)
            return m_slave.findMappable(index, subIndex, out) >= 0;
        const QList<EdsEntry> &list = m_slave.mappableList;
        EdsEntry wanted;
        wanted.index = index;
        wanted.subIndex = subIndex;
        const auto it = std::lower_bound(list.cbegin(), list.cend(), wanted,
                                         [](const EdsEntry &a, const EdsEntry &b) { return keyOf(a) < keyOf(b); });
        if (it == list.cend() || keyOf(*it) != keyOf(wanted))
            return false;
        out = *it;
        return true;
    }

private:
    const CanObject &m_slave;
    bool m_sorted;
};

void mapDefaults(CanObject &slave, PDOConfig &pdo, const MappingWords &words, const MappableLookup &mappable)
{
    if (pdo.direction != PdoReceive && pdo.direction != PdoTransmit)
        return;
    for (const EdsEntry &word : words.of(int(pdo.commIndex) + 0x200)) {
        EdsEntry object;
        if (!mappable.find(mappedIndex(word.defaultValue), mappedSubIndex(word.defaultValue), object))
            continue;
        const int position = mapAndPlace(slave, pdo, object);
        if (position == MapNoPlace)
            return;
        if (position < 0)
            continue;
        if (word.accessType.contains(QLatin1String("RO"), Qt::CaseInsensitive))
            pdo.mapList[position].readOnly = true;
    }
}

} // namespace

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
        if (!isValidDefaultCobId(entry, slave.nodeId))
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
