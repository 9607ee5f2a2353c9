#pragma once

// What a host can tell about a project stream before handing it to the plug-in:
// the stream is a format the host stores, so it may look.

#include <QByteArray>
#include <QList>
#include <QString>

namespace refhost {

// A mapped object the stream gives a place in PLC memory.
struct StoredPlace {
    quint32 commIndex = 0;
    quint32 index = 0;
    quint32 subIndex = 0;
};

struct StreamSummary {
    bool isStream = false;   // opens as a project stream at all
    bool complete = false;   // every item was there
    int unreadBytes = 0;     // bytes after the last item
    QString edsFile;
    int pdoCount = 0;
    int sdoCount = 0;
    QList<quint32> pdoIndexes;        // of the PDO records read whole
    QList<StoredPlace> placedObjects;
};

// currentLayout: the layout of creator version 2009 and later.
StreamSummary summarizeStream(const QByteArray &stream, bool currentLayout = true);
// What a recompile result code means.
QString recompileCodeText(int code);

} // namespace refhost
