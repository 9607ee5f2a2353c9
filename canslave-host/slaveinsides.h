#pragma once

// Everything the reference host reads of a slave beyond what the exports return.
// It is built together with the plug-in, so it can look inside the handle; that
// makes it a test bench, not an example. A host built apart from the plug-in has
// only the exports and must not copy what this file does.

#include <QJsonObject>
#include <QString>

class CanObject;

namespace refhost {

// Device, error control, start-up checks, PDOs with their mapped objects, SDOs.
QJsonObject slaveInsidesReport(const CanObject *slave);

// What a restored slave came back with, to compare against the stream.
struct RestoredSlave {
    QString edsFile;
    QString name;
    int pdoCount = 0;
    int sdoCount = 0;
};
RestoredSlave restoredSlave(const CanObject *slave);

} // namespace refhost
