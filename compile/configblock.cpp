#include "compile/configblock.h"

#include "model/canobject.h"
#include "model/hostservices.h"

#include <QDataStream>

namespace {

QByteArray byte1(quint32 value) { return QByteArray(1, char(value & 0xFF)); }
QByteArray byte2(quint32 value) { return shortToByteArray(quint16(value)); }
QByteArray byte4(quint32 value) { return intToByteArray(value); }
QByteArray zeros(int count) { return QByteArray(count, '\0'); }

QByteArray pdoRecord(const PDOConfig &pdo)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::BigEndian);
    const bool transmit = pdo.direction == PdoTransmit;
    s << quint8(pdo.mapList.size());
    for (const PDOMapEntry &e : pdo.mapList) {
        s << quint16(e.index) << quint8(e.subIndex) << quint8(e.byteLength) << quint8(e.area)
          << quint16(e.offset);
        if (pdo.direction == PdoReceive)
            s << quint8(e.clearWhenStop);
    }
    s << quint16(pdo.commIndex) << quint32(CanObject::effectiveCobId(pdo));
    if (transmit)
        s << quint16(pdo.eventTimer) << quint16(pdo.inhibitTime);
    s << quint8(pdo.transmissionType) << quint32(0);
    return out;
}

QByteArray sdoRecord(SDOEntry &sdo)
{
    while (sdo.data.size() < 4)
        sdo.data.prepend('\0');
    QByteArray value = sdo.data.left(4);
    toBigEndian(value);
    return byte2(sdo.index) + byte1(sdo.subIndex) + byte1(sdo.length) + value;
}

} // namespace

QByteArray shortLocal8Bit(const QString &text)
{
    QByteArray whole = text.toLocal8Bit();
    if (whole.size() <= 255)
        return whole;
    QByteArray out;
    for (int i = 0; i < text.size();) {
        // A pair goes whole; a high surrogate alone at the end is all that mid gives.
        const int n = text.at(i).isHighSurrogate() ? 2 : 1;
        const QByteArray piece = text.mid(i, n).toLocal8Bit();
        if (out.size() + piece.size() > 255)
            break;
        out += piece;
        i += n;
    }
    return out;
}

QByteArray compileSlave(CanObject &slave)
{
    const QByteArray name = shortLocal8Bit(slave.name);
    const QByteArray path = shortLocal8Bit(slave.edsFile);
    QByteArray header = byte1(quint32(name.size())) + name + byte1(quint32(path.size())) + path;
    header += byte1(slave.nodeId);
    header += byte4(slave.vendorId) + byte4(slave.deviceType) + byte4(slave.productCode)
              + byte4(slave.revisionNumber);
    header += byte1(slave.checkFlags()) + zeros(15);

    QByteArray body = byte2(quint32(slave.heartbeatTime)) + byte2(quint32(slave.masterMonitorTime))
                      + zeros(2) + byte2(quint32(slave.monitorTime)) + zeros(4);
    QByteArray transmit, receive;
    int transmitCount = 0, receiveCount = 0;
    for (const PDOConfig &pdo : qAsConst(slave.pdoList)) {
        if (isTransmitPdoIndex(pdo.commIndex)) {
            transmit += pdoRecord(pdo);
            ++transmitCount;
        }
    }
    for (const PDOConfig &pdo : qAsConst(slave.pdoList)) {
        if (isReceivePdoIndex(pdo.commIndex)) {
            receive += pdoRecord(pdo);
            ++receiveCount;
        }
    }
    body += byte1(quint32(transmitCount)) + byte1(quint32(receiveCount)) + transmit + receive;
    body += byte1(quint32(slave.sdoList.size()));
    for (SDOEntry &sdo : slave.sdoList)
        body += sdoRecord(sdo);
    body += zeros(16);

    header += byte2(quint32(body.size() + 2)) + body;
    return byte1(0x01) + header;
}
