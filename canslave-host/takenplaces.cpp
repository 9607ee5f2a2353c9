#include "takenplaces.h"

#include "commands.h"
#include "memmaprecords.h"
#include "slaveinsides.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>

namespace refhost {

namespace {

bool overlaps(const MemoryReservation &a, const MemoryReservation &b)
{
    return a.area == b.area && a.offset < b.offset + b.size && b.offset < a.offset + a.size;
}

QString hex(int value, int width)
{
    return QString::number(value, 16).toUpper().rightJustified(width, QLatin1Char('0'));
}

} // namespace

int takenPlaceCount(const Plugin &plugin, CanObject *slave, const QList<MemoryReservation> &before)
{
    int count = 0;
    for (const MemMapRecord &r : memMapRecords(plugin, slave, false) + memMapRecords(plugin, slave, true)) {
        const MemoryReservation place{r.area, r.offset, r.length};
        count += std::any_of(before.begin(), before.end(), [&](const MemoryReservation &held) { return overlaps(place, held); });
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
