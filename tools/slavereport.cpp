#include "slavereport.h"

#include "commands.h"
#include "pluginlibrary.h"

#include "plugin/canobject.h"

#include <basemodule.h>

#include <QJsonArray>
#include <QJsonDocument>

namespace host {

namespace {

// The place of a mapped object as the dialog's Memory column shows it.
QString placeText(int area, int offset)
{
    if (area < 0 || offset < 0)
        return QStringLiteral("-");
    return QStringLiteral("%1,%2").arg(getMemName(VarArea(area))).arg(offset);
}

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

QJsonArray memoryMap(const QByteArray &map, int width)
{
    QJsonArray list;
    for (int i = 0; i + width <= map.size(); i += width) {
        const auto b = [&](int k) { return quint8(map.at(i + k)); };
        QJsonObject o{{"place", placeText(b(3), (b(4) << 8) | b(5))}, {"lengthBytes", b(2)}};
        if (width == 7)
            o.insert(QStringLiteral("clearWhenStop"), b(6) == 0);
        list.append(o);
    }
    return list;
}

} // namespace

QJsonObject slaveReport(const Plugin &plugin, CanObject *slave, bool withBlock)
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
    report.insert(QStringLiteral("startupChecks"),
                  QJsonObject{{"vendorId", !s.skipVendorIdCheck},
                              {"deviceType", !s.skipDeviceTypeCheck},
                              {"productCode", !s.skipProductCodeCheck},
                              {"revisionNumber", !s.skipRevisionCheck}});
    report.insert(QStringLiteral("offeredPdos"), s.edsPdoList.size());
    report.insert(QStringLiteral("pdos"), pdoList(s));
    report.insert(QStringLiteral("sdos"), sdoList(s));

    int count = 0;
    report.insert(QStringLiteral("inputMemoryMap"),
                  memoryMap(plugin.get<canslave::GetMemMapFn>("getInputMemMap")(slave, &count), 6));
    report.insert(QStringLiteral("outputMemoryMap"),
                  memoryMap(plugin.get<canslave::GetMemMapFn>("getOutputMemMap")(slave, &count), 7));
    QList<MappingSymbol> symbols;
    plugin.get<canslave::GetMappingSymFn>("getMappingSym")(slave, &symbols);
    QJsonArray symbolList;
    for (const MappingSymbol &m : qAsConst(symbols))
        symbolList.append(QJsonObject{{"name", m.name}, {"address", m.address}, {"comment", m.comment}});
    report.insert(QStringLiteral("symbols"), symbolList);

    QByteArray block;
    CompileList unused;
    plugin.get<canslave::CompileFn>("compile")(slave, block, unused);
    QJsonObject blockObject{{"sizeBytes", block.size()}};
    if (withBlock)
        blockObject.insert(QStringLiteral("hex"), QString::fromLatin1(block.toHex().toUpper()));
    report.insert(QStringLiteral("configurationBlock"), blockObject);
    return report;
}

void printSlave(const Plugin &plugin, CanObject *slave, const PrintChoice &choice, QTextStream &out)
{
    const QJsonObject report = slaveReport(plugin, slave, choice.block);
    if (choice.json)
        out << QJsonDocument(report).toJson(QJsonDocument::Indented);
    else
        printReportText(report, out);
}

} // namespace host
