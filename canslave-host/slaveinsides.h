#pragma once

// Everything the reference host reads of a slave beyond what the exports return.
// It is built together with the plug-in, so it can look inside the handle; that
// makes it a test bench, not an example. A host built apart from the plug-in has
// only the exports and must not copy what this file does.

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
};

// What a restored slave came back with, to compare against the stream.
struct RestoredSlave {
    QString edsFile;
    QString name;
    int pdoCount = 0;
    int sdoCount = 0;
    QList<quint32> pdoIndexes;
    QList<MappedObject> mapped;
};
RestoredSlave restoredSlave(const CanObject *slave);

} // namespace refhost
