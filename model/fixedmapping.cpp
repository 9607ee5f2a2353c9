#include "model/fixedmapping.h"

#include "eds/accesstype.h"
#include "model/canobject.h"
#include "model/mappingwords.h"

#include <QPair>
#include <QVector>

namespace {

// Index and sub-index of every fixed default mapping word of the PDO.
QVector<QPair<quint32, quint32>> fixedObjects(const CanObject &slave, quint32 commIndex)
{
    QVector<QPair<quint32, quint32>> objects;
    if (!isReceivePdoIndex(commIndex) && !isTransmitPdoIndex(commIndex))
        return objects;
    const int mappingIndex = int(commIndex) + 0x200;
    const bool allFixed = mappingCountIsFixed(slave, mappingIndex);
    for (const EdsEntry &word : MappingWords(slave.edsMappingList).of(mappingIndex)) {
        if (allFixed || isFixedAccess(word.accessType))
            objects.append({quint32(mappedIndex(word.defaultValue)), quint32(mappedSubIndex(word.defaultValue))});
    }
    return objects;
}

} // namespace

bool mappingCountIsFixed(const CanObject &slave, int mappingIndex)
{
    const int countAt = slave.findMappingEntry(mappingIndex, 0);
    if (countAt < 0)
        return false;
    // A count the reader made for a CompactSubObj object is read-only by the
    // file format's rule, not because the device says so: it tells nothing.
    const EdsEntry &count = slave.edsMappingList.at(countAt);
    return count.compactSubObj == 0 && isFixedAccess(count.accessType);
}

bool hasFixedMapping(const CanObject &slave, quint32 commIndex)
{
    return !fixedObjects(slave, commIndex).isEmpty();
}

void markFixedMappings(CanObject &slave)
{
    for (PDOConfig &pdo : slave.pdoList) {
        const QVector<QPair<quint32, quint32>> objects = fixedObjects(slave, pdo.commIndex);
        for (const auto &object : objects) {
            if (PDOMapEntry *entry = CanObject::findMapEntry(pdo, object.first, object.second))
                entry->readOnly = true;
        }
    }
}
