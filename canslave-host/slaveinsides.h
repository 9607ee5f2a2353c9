#pragma once

// Everything the reference host reads of a slave beyond what the exports return.
// It is built together with the plug-in, so it can look inside the handle; that
// makes it a test bench, not an example. A host built apart from the plug-in has
// only the exports and must not copy what this file does.

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>

class CanObject;

namespace refhost {

// Device, error control, start-up checks, PDOs with their mapped objects, SDOs.
QJsonObject slaveInsidesReport(const CanObject *slave);

// One object mapped into a PDO of a slave.
struct MappedObject {
    quint32 commIndex = 0;
    quint32 index = 0;
    quint32 subIndex = 0;
    bool placed = false; // it has a place in PLC memory
    int dataType = 0;
};

// Mappable objects of an EDS by index and sub-index, each with its data type.
inline quint32 mappableKey(quint32 index, quint32 subIndex) { return index << 8 | (subIndex & 0xFF); }

// What a restored slave came back with, to compare against the stream.
struct RestoredSlave {
    QString edsFile;
    QString name;
    int pdoCount = 0;
    int sdoCount = 0;
    QList<quint32> pdoIndexes;
    QList<MappedObject> mapped;
    bool hasEds = false;
    QHash<quint32, int> mappableTypes; // of the EDS it has
};
RestoredSlave restoredSlave(const CanObject *slave);
// The mappable objects' types of the EDS at a stored path, looked for as the
// plug-in looks for it; false when none loads.
bool mappableTypesOf(const QString &storedPath, const QString &stationKey, QHash<quint32, int> &types);

} // namespace refhost
