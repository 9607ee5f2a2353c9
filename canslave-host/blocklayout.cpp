#include "blocklayout.h"

#include "compile/blockreader.h"

namespace refhost {

BlockLayout blockLayout(const QByteArray &block)
{
    BlockLayout layout;
    BlockReader in(block);
    quint32 marker = 0, nameLength = 0, pathLength = 0, bodyLength = 0;
    QByteArray name, path;
    if (!in.byte1(marker) || !in.byte1(nameLength) || !in.take(int(nameLength), name) || !in.byte1(pathLength)
        || !in.take(int(pathLength), path))
        return layout;
    layout.edsPath = QString::fromUtf8(path);
    // Node id, identity, flags and 15 zero bytes stand between the path and the body length.
    if (!in.skip(1 + 16 + 1 + 15) || !in.byte2(bodyLength))
        return layout;
    layout.opensAsBlock = marker == 1;
    layout.bodyLength = int(bodyLength);
    in.take(in.remaining(), layout.body);
    return layout;
}

int unreadBytes(const BlockLayout &layout)
{
    return layout.opensAsBlock ? qMax(0, int(layout.body.size()) + 2 - layout.bodyLength) : 0;
}

QList<BlockObject> blockObjects(const BlockLayout &layout)
{
    QList<BlockObject> objects;
    BlockReader in(layout.body);
    quint32 transmit = 0, receive = 0;
    // The times come before the counts of transmit and receive records.
    if (!in.skip(12) || !in.byte1(transmit) || !in.byte1(receive))
        return objects;
    for (quint32 i = 0; i < transmit + receive; ++i) {
        const bool isTransmit = i < transmit;
        quint32 count = 0, commIndex = 0;
        QByteArray records;
        // Each record: its objects, its communication index, then COB-ID, times and type.
        if (!in.byte1(count) || !in.take(int(count) * (isTransmit ? 7 : 8), records) || !in.byte2(commIndex)
            || !in.skip(isTransmit ? 13 : 9))
            break;
        BlockReader record(records);
        quint32 index = 0, subIndex = 0, length = 0;
        while (record.byte2(index) && record.byte1(subIndex) && record.byte1(length) && record.skip(isTransmit ? 3 : 4))
            objects.append({commIndex, index, subIndex, int(length)});
    }
    return objects;
}

} // namespace refhost
