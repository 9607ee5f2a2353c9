#pragma once

#include <QDataStream>
#include <QIODevice>
#include <QString>
#include <QtEndian>

#include <type_traits>

// A string or byte array read from a stream that may be damaged. Qt allocates
// for a length field before it knows whether the bytes are there; a length
// that asks for more than the stream still holds is refused before that, and
// the stream is left as Qt's own read would leave it: at its end, past it.
template<typename T>
struct Sized {
    T &value;
};

template<typename T>
Sized<T> sized(T &value)
{
    return {value};
}

template<typename T>
QDataStream &operator>>(QDataStream &s, Sized<T> item)
{
    QIODevice *device = s.device();
    const QByteArray head = device ? device->peek(4) : QByteArray();
    if (head.size() == 4) {
        const quint32 length = s.byteOrder() == QDataStream::BigEndian ? qFromBigEndian<quint32>(head.constData())
                                                                       : qFromLittleEndian<quint32>(head.constData());
        // Qt refuses an odd string length itself, without reading on.
        const bool refusedByQt = std::is_same<T, QString>::value && (length & 1);
        if (length != 0xFFFFFFFFu && !refusedByQt && qint64(length) > device->bytesAvailable() - 4) {
            item.value = T();
            device->seek(device->size());
            s.setStatus(QDataStream::ReadPastEnd);
            return s;
        }
    }
    return s >> item.value;
}
