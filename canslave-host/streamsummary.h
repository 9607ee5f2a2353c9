#pragma once

// What a host can tell about a project stream or a configuration block before
// handing it to the plug-in: both are formats the host stores, so it may look.

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
StreamSummary summarizeStream(const QByteArray &stream, bool currentLayout);
// The EDS path a configuration block names; empty when the block is too short to name one.
QString blockEdsPath(const QByteArray &block);
// Bytes after the end the block's own lengths give; 0 when it is too short to tell.
int blockUnreadBytes(const QByteArray &block);
// One mapped object of a configuration block, with the length the block stores.
struct BlockObject {
    quint32 commIndex = 0;
    quint32 index = 0;
    quint32 subIndex = 0;
    int length = 0;
};
// The mapped objects of the block's PDO records, as far as the block holds them whole.
QList<BlockObject> blockObjects(const QByteArray &block);
// What a recompile result code means.
QString recompileCodeText(int code);

} // namespace refhost
