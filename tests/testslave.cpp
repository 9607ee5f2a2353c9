#include "testslave.h"

#include "model/hostservices.h"

EdsEntry mappableEntry(int index, int subIndex, quint8 dataType, const QString &access, const QString &name)
{
    EdsEntry entry;
    entry.index = index, entry.subIndex = subIndex, entry.dataType = dataType, entry.accessType = access;
    entry.parameterName = name, entry.pdoMapping = true, entry.objectType = 7;
    return entry;
}

// A PDO in use, empty, as addPdo makes it.
static PDOConfig pdoConfig(quint32 commIndex, quint32 cobIdBase, quint8 nodeId)
{
    PDOConfig pdo;
    pdo.commIndex = commIndex, pdo.cobIdRelative = 1, pdo.cobIdBase = cobIdBase, pdo.direction = pdoDirectionFor(commIndex);
    pdo.transmissionType = 255, pdo.nodeId = nodeId;
    pdo.name = (pdo.direction == PdoReceive ? QStringLiteral("RPDO%1") : QStringLiteral("TPDO%1"))
                   .arg((commIndex & 0x1FF) + 1);
    return pdo;
}

bool mapPlaced(const QString &key, PDOConfig &pdo, int index, int subIndex, quint8 dataType,
               const QString &name, int area, int offset, bool readOnly)
{
    const int position = CanObject::addMapEntry(
        pdo, mappableEntry(index, subIndex, dataType, QStringLiteral("rw"), name), -1);
    if (position < 0)
        return false;
    PDOMapEntry &entry = pdo.mapList[position];
    entry.area = area, entry.offset = offset, entry.readOnly = readOnly;
    return claimPlace(key, entry);
}

CanObject makeTestSlave(const QString &key)
{
    CanObject slave(3);
    slave.projectKey = key, slave.edsFile = QStringLiteral("/devices/eds/io-8.eds"), slave.name = QStringLiteral("IO module");
    slave.vendorId = 0x1A2, slave.deviceType = 0x00020191, slave.productCode = 0x4A7, slave.revisionNumber = 0x10001;
    slave.emcyCobIdRelative = 1, slave.emcyCobIdBase = 0x80;

    slave.mappableList = {
        mappableEntry(0x6000, 1, DataTypeUnsigned8, QStringLiteral("ro"), QStringLiteral("Read Input 8 Bit")),
        mappableEntry(0x6200, 1, DataTypeUnsigned8, QStringLiteral("rww"), QStringLiteral("Write Output 8 Bit")),
        mappableEntry(0x6401, 1, DataTypeInteger16, QStringLiteral("RO"), QStringLiteral("Read Analogue Input")),
        mappableEntry(0x6411, 0x1A, DataTypeInteger16, QStringLiteral("rw"), QStringLiteral("Write Analogue Output")),
        mappableEntry(0x7000, 1, DataTypeUnsigned32, QStringLiteral("Ro"), QStringLiteral("Counter")),
    };

    PDOConfig rpdo1 = pdoConfig(0x1400, 0x200, slave.nodeId);
    mapPlaced(key, rpdo1, 0x6200, 1, DataTypeUnsigned8, QStringLiteral("Output 1"), VarAreaOutput, 0);
    mapPlaced(key, rpdo1, 0x6200, 2, DataTypeUnsigned8, QStringLiteral("Output 2"), VarAreaOutput, 1);
    mapPlaced(key, rpdo1, 0x6411, 1, DataTypeInteger16, QStringLiteral("Analogue Out"), VarAreaOutput, 2);
    PDOConfig rpdo2 = pdoConfig(0x1401, 0x300, slave.nodeId);
    mapPlaced(key, rpdo2, 0x7000, 1, DataTypeUnsigned32, QStringLiteral("Fixed Word"), VarAreaOutput, 4, true);
    mapPlaced(key, rpdo2, 0x6200, 3, DataTypeUnsigned8, QStringLiteral("Output 3"), VarAreaOutput, 8);
    PDOConfig tpdo1 = pdoConfig(0x1800, 0x180, slave.nodeId);
    mapPlaced(key, tpdo1, 0x6000, 1, DataTypeUnsigned8, QStringLiteral("Input 1"), VarAreaInput, 0);
    mapPlaced(key, tpdo1, 0x6401, 1, DataTypeInteger16, QStringLiteral("Analogue In"), VarAreaInput, 2);
    slave.pdoList = {rpdo1, rpdo2, tpdo1};
    return slave;
}

bool sameSlave(const CanObject &a, const CanObject &b, QString *difference)
{
    const QPair<const char *, bool> fields[] = {
        {"edsFile", a.edsFile == b.edsFile}, {"nodeId", a.nodeId == b.nodeId}, {"pdoList", a.pdoList == b.pdoList},
        {"sdoList", a.sdoList == b.sdoList}, {"eds", a.eds == b.eds}, {"edsPdoList", a.edsPdoList == b.edsPdoList},
        {"edsMappingList", a.edsMappingList == b.edsMappingList}, {"mappableList", a.mappableList == b.mappableList},
        {"identity", a.vendorId == b.vendorId && a.productCode == b.productCode && a.deviceType == b.deviceType
                         && a.revisionNumber == b.revisionNumber},
        {"name", a.name == b.name}, {"emcy", a.emcyCobIdRelative == b.emcyCobIdRelative && a.emcyCobIdBase == b.emcyCobIdBase},
        {"times", a.monitorTime == b.monitorTime && a.heartbeatTime == b.heartbeatTime && a.masterMonitorTime == b.masterMonitorTime},
        {"position", a.position == b.position}, {"reservedText", a.reservedText == b.reservedText},
        {"projectKey", a.projectKey == b.projectKey}, {"checks", a.checkFlags() == b.checkFlags()}};
    for (const auto &field : fields) {
        if (!field.second) {
            if (difference)
                *difference = QString::fromLatin1(field.first);
            return false;
        }
    }
    return true;
}

QSet<QPair<int, int>> reservedBytes(const QString &key)
{
    QSet<QPair<int, int>> bytes;
    for (const MemoryReservation &run : memoryReservations(key)) {
        for (int offset = run.offset; offset < run.offset + run.size; ++offset)
            bytes.insert({run.area, offset});
    }
    return bytes;
}
