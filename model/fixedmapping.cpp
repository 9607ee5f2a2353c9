#include "model/fixedmapping.h"

#include "model/canobject.h"
#include "model/mappingwords.h"

#include <QPair>
#include <QVector>

namespace {

// Index and sub-index of every read-only default mapping word of the PDO.
QVector<QPair<quint32, quint32>> fixedObjects(const CanObject &slave, quint32 commIndex)
{
    QVector<QPair<quint32, quint32>> objects;
    if (!isReceivePdoIndex(commIndex) && !isTransmitPdoIndex(commIndex))
        return objects;
    for (const EdsEntry &word : MappingWords(slave.edsMappingList).of(int(commIndex) + 0x200)) {
        if (word.accessType.contains(QLatin1String("RO"), Qt::CaseInsensitive))
            objects.append({quint32(mappedIndex(word.defaultValue)), quint32(mappedSubIndex(word.defaultValue))});
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
