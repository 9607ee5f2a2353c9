#include "persist/projectstream.h"

#include "model/canobject.h"
#include "model/edssearch.h"
#include "model/hostservices.h"
#include "persist/pdostream.h"
#include "persist/sizedread.h"

#include <QCoreApplication>
#include <QDataStream>

#include <algorithm>

QByteArray saveProjectStream(const CanObject &slave)
{
    const QByteArray pdos = writePdoListStream(slave.pdoList);
    const QByteArray sdos = writeSdoListStream(slave.sdoList);
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s << qint8(1) << slave.edsFile << qint8(slave.nodeId) << qint32(slave.vendorId) << qint32(slave.productCode)
      << qint32(slave.deviceType) << qint32(slave.revisionNumber) << qint32(slave.monitorTime)
      << qint32(slave.heartbeatTime) << qint32(slave.masterMonitorTime) << slave.position << slave.reservedText
      << pdos << sdos << slave.name << qint8(slave.checkFlags());
    return bytes;
}

std::unique_ptr<CanObject> restoreProjectStream(const QByteArray &data, const QString &key)
{
    auto slave = std::make_unique<CanObject>();
    slave->projectKey = key;
    const int creatorVersion = getHwFileCreatedVerNum(key);

    QDataStream s(data);
    qint8 marker = 0, nodeId = 0;
    qint32 vendorId = 0, productCode = 0, deviceType = 0, revisionNumber = 0;
    QByteArray pdos, sdos;
    s >> marker >> sized(slave->edsFile) >> nodeId;
    if (creatorVersion >= CurrentLayoutVersion)
        s >> vendorId >> productCode >> deviceType >> revisionNumber;
    s >> slave->monitorTime >> slave->heartbeatTime >> slave->masterMonitorTime >> slave->position
        >> sized(slave->reservedText) >> sized(pdos) >> sized(sdos);
    if (creatorVersion >= CurrentLayoutVersion) {
        qint8 flags = 0;
        s >> sized(slave->name) >> flags;
        slave->name = boundedSlaveName(slave->name);
        slave->setCheckFlags(quint8(flags));
        slave->vendorId = quint32(vendorId);
        slave->productCode = quint32(productCode);
        slave->deviceType = quint32(deviceType);
        slave->revisionNumber = quint32(revisionNumber);
    }
    slave->nodeId = quint8(nodeId);

    // Without its EDS the slave still keeps all the stream holds, and the
    // stored path, so that it comes back whole once the file is there again.
    if (!loadStoredEds(*slave, slave->edsFile) && slave->name.isEmpty())
        slave->name = QCoreApplication::translate("CanSlave", "Unknown Device");

    slave->pdoList = readPdoListStream(pdos, key);
    try {
        // The binary searches over the PDOs rely on this order, which a damaged
        // or foreign stream need not have.
        std::stable_sort(slave->pdoList.begin(), slave->pdoList.end(),
                         [](const PDOConfig &a, const PDOConfig &b) { return a.commIndex < b.commIndex; });
        slave->sdoList = readSdoListStream(sdos, creatorVersion >= SdoTextVersion);
    } catch (...) {
        slave->releaseMappedMemory();
        throw;
    }
    return slave;
}
