#pragma once

#include "model/slaverecords.h"

#include <QList>
#include <QPoint>
#include <QString>

#include <memory>

class EdsFile;

// The whole configuration of one CANopen slave. Copies share the parsed EDS;
// destroying a copy never touches PLC memory (releaseMappedMemory does).
class CanObject
{
public:
    CanObject() = default;
    explicit CanObject(quint8 nodeId);

    QString edsFile;
    quint8 nodeId = 0;
    QList<PDOConfig> pdoList;      // ascending commIndex, each at most once
    QList<SDOEntry> sdoList;       // user order, at most 8
    std::shared_ptr<const EdsFile> eds;
    QList<EdsPdoEntry> edsPdoList;
    QList<EdsEntry> edsMappingList;
    QList<EdsEntry> mappableList;
    quint32 vendorId = 0;
    quint32 productCode = 0;
    quint32 deviceType = 0;
    quint32 revisionNumber = 0;
    QString name;
    qint32 emcyCobIdRelative = 0;
    quint32 emcyCobIdBase = 0;
    qint32 monitorTime = 1000;
    qint32 heartbeatTime = 1200;
    qint32 masterMonitorTime = 2400;
    QPoint position;
    QString reservedText;
    QString projectKey;
    bool skipVendorIdCheck = false;
    bool skipDeviceTypeCheck = false;
    bool skipProductCodeCheck = false;
    bool skipRevisionCheck = false;

    // PDOs in use
    int findPdo(quint32 commIndex) const;
    PDOConfig *pdo(quint32 commIndex);
    const PDOConfig *pdo(quint32 commIndex) const;
    int addPdo(quint32 commIndex);
    // Puts the PDO in commIndex order; -1, changing nothing, when that index is in use.
    int insertPdo(const PDOConfig &config);
    int removePdo(quint32 commIndex);

    // Mapped objects of one PDO
    static int addMapEntry(PDOConfig &pdo, const EdsEntry &entry, int position);
    // Takes the object out of one of this slave's PDOs and frees the place it holds.
    int removeMapEntry(PDOConfig &pdo, int position);
    static PDOMapEntry *mapEntryAt(PDOConfig &pdo, int position);
    static PDOMapEntry *findMapEntry(PDOConfig &pdo, quint32 index, quint32 subIndex);
    static quint32 pdoByteLength(const PDOConfig &pdo);
    static quint32 effectiveCobId(const PDOConfig &pdo);
    static QString shortDescription(const PDOConfig &pdo);

    // Automatic SDOs
    int addSdo(const SDOEntry &sdo);
    int removeSdo(int position);
    SDOEntry *sdoAt(int position);

    // What the EDS offers
    int findEdsPdo(quint32 commIndex, EdsPdoEntry &out) const;
    int findMappingEntry(int index, int subIndex) const;
    int findMappable(int index, int subIndex, EdsEntry &out) const;

    quint32 emcyCobId() const;
    quint32 nodeGuardCobId() const;
    void setNodeId(quint8 id);

    // Frees the PLC memory this slave holds under projectKey.
    void releaseMappedMemory();

    // Start-up check flags as one byte: bit 0 vendor id, 1 device type,
    // 2 product code, 3 revision; a set bit switches the check off.
    quint8 checkFlags() const;
    void setCheckFlags(quint8 flags);
};

// The part of a slave's name that the configuration block carries: at most
// 255 bytes in the host's 8-bit codec, of whole characters. Names are cut so
// where they are read, so that nothing built from them grows with a file.
constexpr int MaxSlaveNameBytes = 255;
QString boundedSlaveName(const QString &name);

// Frees the places the PDO's entries hold under key; results are not looked at.
void freeMappedMemory(const QString &key, PDOConfig &pdo);

// Claims the entry's stored place under key; the entry holds it only when
// the claim succeeded, and otherwise keeps the place without holding it.
bool claimPlace(const QString &key, PDOMapEntry &entry);
// Frees the entry's place when the entry holds it; the place itself stays.
void releasePlace(const QString &key, PDOMapEntry &entry);
