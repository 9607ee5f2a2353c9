#pragma once

// What a host can tell about a configuration block before handing it to the
// plug-in: the block is a format the host stores, so it may look.

#include <QByteArray>
#include <QList>
#include <QString>

namespace refhost {

struct BlockLayout {
    bool opensAsBlock = false; // the block's leading byte, and its whole head up to the body length
    QString edsPath;           // empty when the block is too short to name one
    int bodyLength = 0;        // as the block gives it, its own two bytes included
    QByteArray body;           // all that follows the body length, however long
};

BlockLayout blockLayout(const QByteArray &block);
// Bytes after the end the block's own lengths give; 0 when it is too short to tell.
int unreadBytes(const BlockLayout &layout);

// One mapped object of a configuration block, with the length the block stores.
struct BlockObject {
    quint32 commIndex = 0;
    quint32 index = 0;
    quint32 subIndex = 0;
    int length = 0;
};
// The mapped objects of the block's PDO records, as far as the block holds them whole.
QList<BlockObject> blockObjects(const BlockLayout &layout);

} // namespace refhost
