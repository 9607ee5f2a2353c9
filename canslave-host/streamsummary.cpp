#include "streamsummary.h"

#include "commands.h"

#include "persist/sizedread.h"

#include <QDataStream>
#include <QPoint>

namespace refhost {

namespace {

int countOf(const QByteArray &list)
{
    QDataStream in(list);
    qint32 count = 0;
    in >> count;
    return qMax(0, count);
}

// The PDO records as far as they can be read: which PDOs, and which objects have a place.
void summarizePdos(const QByteArray &list, StreamSummary &s)
{
    QDataStream in(list);
    qint32 count = 0;
    in >> count;
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QByteArray bytes;
        in >> sized(bytes);
        QDataStream record(bytes);
        qint32 commIndex = 0, number = 0, objects = 0;
        qint16 time = 0;
        qint8 byte = 0;
        QString text;
        record >> commIndex >> number >> number >> number >> number >> byte >> sized(text) >> time >> time >> sized(text)
            >> byte >> objects;
        if (in.status() != QDataStream::Ok || record.status() != QDataStream::Ok)
            break;
        s.pdoIndexes.append(quint32(commIndex));
        for (qint32 j = 0; j < objects && record.status() == QDataStream::Ok; ++j) {
            qint32 index = 0, subIndex = 0, area = 0, offset = 0;
            // An object cut short matches no object of the restored slave, so it is never reported.
            record >> index >> subIndex >> sized(text) >> number >> number >> area >> offset >> number >> byte >> byte;
            if (area != -1 && offset != -1)
                s.placedObjects.append({quint32(commIndex), quint32(index), quint32(subIndex)});
        }
    }
}

} // namespace

StreamSummary summarizeStream(const QByteArray &stream, bool currentLayout)
{
    StreamSummary s;
    QDataStream in(stream);
    qint8 marker = 0;
    in >> marker >> sized(s.edsFile);
    if (marker != 1 || in.status() != QDataStream::Ok)
        return s;
    s.isStream = true;
    qint8 byte = 0;
    qint32 number = 0;
    QPoint position;
    QString text;
    QByteArray pdos;
    QByteArray sdos;
    in >> byte;
    for (int i = 0; i < (currentLayout ? 7 : 3); ++i) // identity values and times, or the times only
        in >> number;
    in >> position >> sized(text) >> sized(pdos) >> sized(sdos);
    if (currentLayout)
        in >> sized(text) >> byte;
    s.complete = in.status() == QDataStream::Ok;
    s.unreadBytes = s.complete ? int(stream.size() - in.device()->pos()) : 0;
    s.pdoCount = countOf(pdos);
    s.sdoCount = countOf(sdos);
    summarizePdos(pdos, s);
    return s;
}

QString recompileCodeText(int code)
{
    switch (code) {
    case 0: return tr("the block was read completely and matches the EDS");
    case 1: return tr("the block is cut short or damaged, or a memory place it names is taken already");
    case 3: return tr("a PDO of the block is not defined by the EDS, or the block names it twice");
    case 4: return tr("an object mapped in the block cannot be mapped into its PDO");
    case 5: return tr("a PDO's COB-ID in the block differs from the one the EDS gives now");
    case 6: return tr("bytes follow the end of the block");
    case 128: return tr("the EDS the block names cannot be loaded");
    }
    return tr("a code this host does not know");
}

} // namespace refhost
