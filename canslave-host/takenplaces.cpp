#include "takenplaces.h"

#include "commands.h"
#include "pluginlibrary.h"
#include "slaveinsides.h"

#include <QJsonArray>
#include <QJsonObject>

namespace refhost {

namespace {

bool overlaps(const MemoryReservation &a, const MemoryReservation &b)
{
    return a.area == b.area && a.offset < b.offset + b.size && b.offset < a.offset + a.size;
}

// The places of one memory map: records of width bytes, size at 2, area at 3, offset at 4 and 5.
QList<MemoryReservation> mapPlaces(const QByteArray &map, int width)
{
    QList<MemoryReservation> places;
    for (int i = 0; i + width <= map.size(); i += width) {
        const auto b = [&](int k) { return int(quint8(map.at(i + k))); };
        places.append({b(3), b(4) << 8 | b(5), b(2)});
    }
    return places;
}

QString hex(int value, int width)
{
    return QString::number(value, 16).toUpper().rightJustified(width, QLatin1Char('0'));
}

} // namespace

int takenPlaceCount(const Plugin &plugin, CanObject *slave, const QList<MemoryReservation> &before)
{
    int count = 0;
    const auto map = plugin.get<canslave::GetMemMapFn>("getInputMemMap");
    const auto outputs = plugin.get<canslave::GetMemMapFn>("getOutputMemMap");
    int entries = 0;
    const QList<MemoryReservation> places = mapPlaces(map(slave, &entries), 6) + mapPlaces(outputs(slave, &entries), 7);
    for (const MemoryReservation &place : places) {
        for (const MemoryReservation &held : before) {
            if (overlaps(place, held)) {
                ++count;
                break;
            }
        }
    }
    return count;
}

QList<QPair<QString, QString>> mappedPlaces(CanObject *slave)
{
    QList<QPair<QString, QString>> places;
    const QJsonArray pdos = slaveInsidesReport(slave).value(QStringLiteral("pdos")).toArray();
    for (const QJsonValue &pdo : pdos) {
        const QJsonArray mapped = pdo[QStringLiteral("mapped")].toArray();
        for (const QJsonValue &e : mapped)
            places.append({tr("0x%1 sub 0x%2 of PDO 0x%3")
                               .arg(hex(e[QStringLiteral("index")].toInt(), 4), hex(e[QStringLiteral("subIndex")].toInt(), 2),
                                    hex(pdo[QStringLiteral("commIndex")].toInt(), 0)),
                           e[QStringLiteral("place")].toString()});
    }
    return places;
}

} // namespace refhost
