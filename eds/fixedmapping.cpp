#include "eds/fixedmapping.h"

#include "plugin/canobject.h"

#include <QPair>
#include <QSet>
#include <QVector>

namespace {

// Index and sub-index of every read-only default mapping word of the PDO.
QVector<QPair<quint32, quint32>> fixedObjects(const CanObject &slave, quint32 commIndex)
{
    QVector<QPair<quint32, quint32>> objects;
    if (!isReceivePdoIndex(commIndex) && !isTransmitPdoIndex(commIndex))
        return objects;
    const int mappingIndex = int(commIndex) + 0x200;
    const int countAt = slave.findMappingEntry(mappingIndex, 0);
    if (countAt < 0)
        return objects;
    // One pass over the words the file holds: a stated count of 0x7FFFFFFF must
    // not cost a lookup per promised word.
    const quint32 count = slave.edsMappingList.at(countAt).defaultValue;
    QSet<int> seen;
    for (const EdsEntry &word : slave.edsMappingList) {
        if (word.index != mappingIndex || word.subIndex < 1 || quint32(word.subIndex) > count)
            continue;
        // The first section of a sub-index is the one that counts, as everywhere else.
        if (seen.contains(word.subIndex))
            continue;
        seen.insert(word.subIndex);
        if (word.accessType.contains(QLatin1String("RO"), Qt::CaseInsensitive))
            objects.append({word.defaultValue >> 16, (word.defaultValue >> 8) & 0xFF});
    }
    return objects;
}

} // namespace

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
