#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class CanObject;

// The slave as the host keeps it in its project file. Which layout a stream
// has is not in the stream: it follows the software that created the station file.
constexpr int CurrentLayoutVersion = 2009; // identity values, name and check flags saved
constexpr int SdoTextVersion = 2007;       // SDOs saved with the value text the user entered

// Always the current layout.
QByteArray saveProjectStream(const CanObject &slave);

// A new slave under key, never null (short of memory). Its EDS is read again,
// looked for where edsSearchPaths says; when none is found the slave has no
// eds, keeps the stored path and everything else the stream holds. A damaged
// stream restores what it still holds.
std::unique_ptr<CanObject> restoreProjectStream(const QByteArray &data, const QString &key);

