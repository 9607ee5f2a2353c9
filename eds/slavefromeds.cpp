#include "eds/slavefromeds.h"

#include "compile/memoryplacement.h"
#include "eds/edsfile.h"
#include "plugin/canobject.h"

int loadEdsIntoSlave(CanObject &slave, const QString &path)
{
    if (path.isEmpty())
        return 0;
    slave.eds.reset();
    std::shared_ptr<const EdsFile> eds(loadEds(path));
    if (!eds)
        return 0;
    slave.eds = eds;
    slave.edsFile = path;
    slave.vendorId = eds->vendorId();
    slave.productCode = eds->productCode();
    slave.deviceType = eds->deviceType();
    slave.revisionNumber = eds->revisionNumber();
    if (slave.name.isEmpty())
        slave.name = eds->productName();
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
    for (const EdsPdoEntry &entry : offered) {
        if (entry.cobIdBase < 0)
            continue;
        slave.addPdo(quint32(entry.index));
        if (PDOConfig *pdo = slave.pdo(quint32(entry.index)))
            addDefaultMapping(slave, *pdo);
    }
}

void addDefaultMapping(CanObject &slave, PDOConfig &pdo)
{
    if (pdo.direction != PdoReceive && pdo.direction != PdoTransmit)
        return;
    const int mappingIndex = int(pdo.commIndex) + 0x200;
    const int countAt = slave.findMappingEntry(mappingIndex, 0);
    if (countAt < 0)
        return;
    const int count = int(slave.edsMappingList.at(countAt).defaultValue);
    for (int s = 1; s <= count; ++s) {
        const int wordAt = slave.findMappingEntry(mappingIndex, s);
        if (wordAt < 0)
            continue;
        const EdsEntry &word = slave.edsMappingList.at(wordAt);
        const quint32 v = word.defaultValue;
        EdsEntry object;
        if (slave.findMappable(int(v >> 16), int((v >> 8) & 0xFF), object) < 0)
            continue;
        const int position = CanObject::addMapEntry(pdo, object, -1);
        if (position < 0)
            continue;
        PDOMapEntry &added = pdo.mapList[position];
        if (!placeNewEntry(slave.projectKey, pdo, added)) {
            CanObject::removeMapEntry(pdo, position);
            return;
        }
        if (word.accessType.contains(QLatin1String("RO"), Qt::CaseInsensitive))
            added.readOnly = true;
    }
}
