#pragma once

#include "eds/edsentry.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

#include <memory>

struct EdsFileInfo {
    QString fileName;
    quint8 fileVersion = 0;
    quint8 fileRevision = 0;
    QString edsVersion;
    QString description;
    QString creationTime;
    QString creationDate;
    QString createdBy;
    QString modificationTime;
    QString modificationDate;
    QString modifiedBy;
};

struct EdsDeviceInfo {
    QString vendorName;
    QString productName;
    quint32 vendorNumber = 0;
    quint32 productNumber = 0;
    quint32 revisionNumber = 0;
    QString orderCode;
    bool baudRate10 = false;
    bool baudRate20 = false;
    bool baudRate50 = false;
    bool baudRate125 = false;
    bool baudRate250 = false;
    bool baudRate500 = false;
    bool baudRate800 = false;
    bool baudRate1000 = false;
    bool simpleBootUpMaster = false;
    bool simpleBootUpSlave = false;
    quint8 granularity = 0;
    quint32 dynamicChannelsSupported = 0;
    bool groupMessaging = false;
    quint8 nrOfRXPDO = 0;
    quint8 nrOfTXPDO = 0;
    bool lssSupported = false;
    quint8 compactPDO = 0;
};

struct EdsDummyUsage {
    bool dummy[7] = {false, false, false, false, false, false, false}; // dummy0001 .. dummy0007
};

struct EdsChannelSegment {
    qint32 number = 0;
    quint8 type = 1;
    QString dir = QStringLiteral("RO");
    quint32 rangeLow = 0;
    quint32 rangeHigh = 0;
    quint32 ppOffset = 0;
    quint32 bit = 0;
    quint32 maxCnt = 0;
};

struct EdsDynamicChannels {
    qint32 nrOfSeg = 0;
    QList<EdsChannelSegment> segments; // ascending number, one per number
};

struct EdsObjectList {
    qint32 supportedObjects = 0;
    QList<QPair<qint32, quint32>> entries; // (entry number, index), ascending number
};

struct EdsObject {
    EdsEntry entry;                // the object's own entry, subIndex -1
    QList<EdsEntry> subEntries;    // ascending subIndex
};

struct EdsSubEntryGroup {
    qint32 index = -1;
    QList<EdsEntry> entries;       // ascending subIndex
};

// Where the text of one sub-index lies in its section's texts.
struct EdsSubIndexText {
    qint32 subIndex = 0;
    int offset = 0;
    int length = 0;
};

struct EdsNameSection {
    qint32 index = -1;
    qint32 nrOfEntries = 0;
    // One text per sub-index (0 to 255), ascending, all held in one string: a file
    // of short names would otherwise cost many times its size.
    QVector<EdsSubIndexText> names;
    QString texts;

    QString textAt(int position) const { return texts.mid(names.at(position).offset, names.at(position).length); }
};

// A problem met while reading; reading goes on regardless.
struct EdsDiagnostic {
    QString text;
    int line = 0;      // 1-based line of the file; 0 when raised after reading
    QString section;   // name of the section being read, empty outside any
};

// The parsed EDS of one device; read-only once loaded.
class EdsFile
{
public:
    EdsFileInfo fileInfo;
    EdsDeviceInfo deviceInfo;
    EdsDummyUsage dummyUsage;
    EdsDynamicChannels dynamicChannels;
    EdsObjectList mandatoryObjects;
    EdsObjectList manufacturerObjects;
    EdsObjectList optionalObjects;
    QList<EdsObject> objects;                 // ascending index, one per index
    QList<EdsSubEntryGroup> pendingSubEntries; // sub-index sections without an object
    QList<EdsNameSection> nameSections;       // ascending index
    // DCF [xxxxValue]: configured values of CompactSubObj elements, as written.
    QList<EdsNameSection> valueSections;      // ascending index
    // A DCF's [DeviceComissioning] NodeID: the node its values were written for; 0 for none.
    int commissionedNodeId = 0;
    // A DCF's ParameterValues that no part of the slave's configuration takes over.
    int unusedConfiguredValues = 0;
    // PDOs whose COB-ID a DCF configured (ParameterValue of sub-index 1).
    QList<qint32> configuredCobIds;
    // The first maxKeptDiagnostics problems; diagnosticCount counts them all.
    QList<EdsDiagnostic> diagnostics;
    int diagnosticCount = 0;

    // 0 and the entry copied into out when found, 1 when not (out untouched).
    // subIndex -1 asks for the object's own entry.
    int findEntry(int index, int subIndex, EdsEntry &out) const;
    // The entry a sub-index names, as a device answers for it: an object without
    // sub-index sections is its own sub-index 0. False for a negative sub-index.
    bool findSubIndex(int index, int subIndex, EdsEntry &out) const;
    int objectPosition(int index) const;
    bool nameOf(int index, int subIndex, QString &out) const;
    bool configuredValueOf(int index, int subIndex, QString &out) const;

    quint32 deviceType() const;
    quint32 vendorId() const;
    quint32 productCode() const;
    quint32 revisionNumber() const;
    QPair<qint32, quint32> emcyCobId() const;           // (node-relative, value)
    QPair<qint32, quint32> pdoCobId(int index) const;   // (node-relative, value)
    quint8 pdoTransmissionType(int index) const;        // 255 when missing
    quint32 pdoInhibitTime(int index) const;
    quint32 pdoEventTimer(int index) const;
    QString productName() const;

    QList<EdsEntry> receivePdoObjects() const;
    QList<EdsEntry> transmitPdoObjects() const;
    QList<EdsEntry> mappingEntries() const;
    QList<EdsEntry> mappableEntries() const;
};

// Reads the file; null when it is not a readable regular file of at most
// maxEdsFileSize bytes. Content never makes it fail.
std::unique_ptr<EdsFile> loadEds(const QString &path);
// Reads EDS text held in memory, exactly as loadEds reads a file's bytes.
std::unique_ptr<EdsFile> loadEdsFromData(const QByteArray &data);

constexpr qint64 maxEdsFileSize = 64 * 1024 * 1024;
// A file of garbage would otherwise keep one record per line.
constexpr int maxKeptDiagnostics = 10000;
// CompactSubObj expansion adds sub-indexes that the file does not write out:
// this many for any file, and one more per this many characters of it.
constexpr int maxExpandedSubEntriesBase = 65536;
constexpr int expandedSubEntryBytes = 32;
