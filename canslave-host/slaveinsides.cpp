#include "slaveinsides.h"

#include "commands.h"
#include "slavereport.h"

#include "eds/accesstype.h"
#include "model/canobject.h"
#include "model/slavefromeds.h"
#include "model/edssearch.h"

#include <QJsonArray>

namespace refhost {

namespace {

QString transmissionTypeText(int type)
{
    if (type == 0)
        return tr("synchronous (acyclic)");
    if (type <= 240)
        return tr("synchronous (cyclic, every %1. SYNC)").arg(type);
    if (type == 252)
        return tr("synchronous (RTR only)");
    if (type == 253)
        return tr("asynchronous (RTR only)");
    if (type >= 254)
        return tr("asynchronous");
    return tr("reserved");
}

QJsonArray mappedObjects(const PDOConfig &pdo)
{
    QJsonArray list;
    for (const PDOMapEntry &e : pdo.mapList) {
        QJsonObject o{{"index", int(e.index)},
                      {"subIndex", int(e.subIndex)},
                      {"name", e.name},
                      {"dataType", int(e.dataType)},
                      {"lengthBytes", int(e.byteLength)},
                      {"place", placeText(e.area, e.offset)},
                      {"fixedMapping", e.readOnly}};
        if (pdo.direction == PdoReceive)
            o.insert(QStringLiteral("clearWhenStop"), e.clearWhenStop == 0);
        list.append(o);
    }
    return list;
}

QString fateText(DefaultWordFate fate)
{
    switch (fate) {
    case DefaultWordFate::NotWholeBytes: return QStringLiteral("bits");
    case DefaultWordFate::WrongDirection: return QStringLiteral("direction");
    case DefaultWordFate::NotMappable:
    case DefaultWordFate::Mapped: break;
    }
    return QStringLiteral("not mappable");
}

// Default mapping words the slave could not map, so the PDO is not what the file describes.
QJsonArray leftOutWords(const CanObject &s, quint32 commIndex)
{
    QJsonArray list;
    for (const LeftOutWord &w : leftOutDefaultWords(s, commIndex))
        list.append(QJsonObject{{"subIndex", w.subIndex}, {"word", qint64(w.value)}, {"reason", fateText(w.fate)}});
    return list;
}

// What the mapping editor offers a PDO of one direction.
QJsonArray offeredObjects(const CanObject &s, bool receive)
{
    QJsonArray list;
    for (const EdsEntry &e : offeredForMapping(s.mappableList, receive))
        list.append(QJsonObject{{"index", e.index},
                                {"subIndex", e.subIndex},
                                {"name", e.parameterName},
                                {"accessType", e.accessType},
                                {"bytes", dataTypeSize(e.dataType)}});
    return list;
}

QJsonArray pdoList(const CanObject &s)
{
    QJsonArray list;
    for (const PDOConfig &p : s.pdoList) {
        const bool transmit = p.direction == PdoTransmit;
        QJsonObject o{{"commIndex", int(p.commIndex)},
                      {"direction", transmit ? "transmit" : "receive"},
                      {"name", p.name},
                      {"cobId", int(CanObject::effectiveCobId(p))},
                      {"transmissionType", int(p.transmissionType)},
                      {"transmissionTypeText", transmissionTypeText(p.transmissionType)},
                      {"lengthBytes", int(CanObject::pdoByteLength(p))},
                      {"mapped", mappedObjects(p)}};
        const QJsonArray leftOut = leftOutWords(s, p.commIndex);
        if (!leftOut.isEmpty())
            o.insert(QStringLiteral("defaultWordsLeftOut"), leftOut);
        if (transmit) {
            o.insert(QStringLiteral("inhibitTime100us"), int(p.inhibitTime));
            o.insert(QStringLiteral("eventTimerMs"), int(p.eventTimer));
        }
        list.append(o);
    }
    return list;
}

QJsonArray sdoList(const CanObject &s)
{
    QJsonArray list;
    for (const SDOEntry &d : s.sdoList) {
        list.append(QJsonObject{{"index", int(d.index)},
                                {"subIndex", int(d.subIndex)},
                                {"lengthBytes", int(d.length)},
                                {"value", d.dataText},
                                {"storedBytes", QString::fromLatin1(d.data.toHex(' ').toUpper())},
                                {"name", d.name}});
    }
    return list;
}

QHash<quint32, int> mappableTypes(const CanObject &s)
{
    QHash<quint32, int> types;
    // The first of twins counts, as the model's own lookup finds it.
    for (const EdsEntry &e : s.mappableList) {
        const quint32 key = mappableKey(quint32(e.index), quint32(e.subIndex));
        if (!types.contains(key))
            types.insert(key, e.dataType);
    }
    return types;
}

} // namespace

QJsonObject slaveInsidesReport(const CanObject *slave)
{
    const CanObject &s = *slave;
    QJsonObject report;
    report.insert(QStringLiteral("device"),
                  QJsonObject{{"name", s.name},
                              {"edsFile", s.edsFile},
                              {"nodeId", s.nodeId},
                              {"stationKey", s.projectKey},
                              {"vendorId", qint64(s.vendorId)},
                              {"productCode", qint64(s.productCode)},
                              {"revisionNumber", qint64(s.revisionNumber)},
                              {"deviceType", qint64(s.deviceType)},
                              {"emergencyCobId", qint64(s.emcyCobId())},
                              {"nodeGuardCobId", qint64(s.nodeGuardCobId())}});
    report.insert(QStringLiteral("errorControl"),
                  QJsonObject{{"monitorTimeMs", s.monitorTime},
                              {"heartbeatTimeMs", s.heartbeatTime},
                              {"masterMonitorTimeMs", s.masterMonitorTime}});
    const bool vendorId = !s.skipVendorIdCheck, deviceType = !s.skipDeviceTypeCheck;
    const bool productCode = !s.skipProductCodeCheck, revisionNumber = !s.skipRevisionCheck;
    report.insert(QStringLiteral("startupChecks"),
                  QJsonObject{{"vendorId", vendorId}, {"deviceType", deviceType},
                              {"productCode", productCode}, {"revisionNumber", revisionNumber}});
    report.insert(QStringLiteral("offeredPdos"), s.edsPdoList.size());
    report.insert(QStringLiteral("pdos"), pdoList(s));
    const QJsonArray receive = offeredObjects(s, true), transmit = offeredObjects(s, false);
    report.insert(QStringLiteral("offeredForMapping"), QJsonObject{{"receive", receive}, {"transmit", transmit}});
    report.insert(QStringLiteral("sdos"), sdoList(s));

    return report;
}

RestoredSlave restoredSlave(const CanObject *slave)
{
    RestoredSlave r{slave->edsFile, slave->name, int(slave->pdoList.size()), int(slave->sdoList.size()), {}, {},
                    slave->eds != nullptr, mappableTypes(*slave)};
    for (const PDOConfig &p : slave->pdoList) {
        r.pdoIndexes.append(p.commIndex);
        for (const PDOMapEntry &e : p.mapList)
            r.mapped.append({p.commIndex, e.index, e.subIndex, e.area != -1 && e.offset != -1, int(e.dataType)});
    }
    return r;
}

bool mappableTypesOf(const QString &storedPath, const QString &stationKey, QHash<quint32, int> &types)
{
    CanObject found;
    found.projectKey = stationKey;
    if (!loadStoredEds(found, storedPath))
        return false;
    types = mappableTypes(found);
    return true;
}

} // namespace refhost
