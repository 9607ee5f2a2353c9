#include "eds/fixedmapping.h"

#include "plugin/canobject.h"

#include <QPair>
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
    const int count = int(slave.edsMappingList.at(countAt).defaultValue);
    for (int s = 1; s <= count; ++s) {
        const int wordAt = slave.findMappingEntry(mappingIndex, s);
        if (wordAt < 0)
            continue;
        const EdsEntry &word = slave.edsMappingList.at(wordAt);
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
