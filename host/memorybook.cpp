#include "basemodule.h"

#include <QBitArray>
#include <QHash>
#include <QVector>

#include <algorithm>

namespace {

using AreaBits = QHash<int, QBitArray>;

struct StationBook {
    AreaBits areas;
    QVector<AreaBits> snapshots;
};

struct MemoryBook {
    QHash<int, int> areaSizes;
    QHash<QString, StationBook> stations;

    MemoryBook() { resetSizes(); }

    void resetSizes()
    {
        areaSizes = {
            {VarAreaInput, 512}, {VarAreaOutput, 512}, {VarAreaFallback, 4096},
            {VarAreaAI, 256}, {VarAreaAQ, 256},
        };
    }
};

MemoryBook &book()
{
    static MemoryBook instance;
    return instance;
}

int areaSize(int area)
{
    return book().areaSizes.value(area, 0);
}

bool validRange(int area, int offset, int size)
{
    const qint64 end = qint64(offset) + size;
    return size > 0 && offset >= 0 && end <= areaSize(area);
}

QBitArray &bitsFor(StationBook &station, int area)
{
    QBitArray &bits = station.areas[area];
    if (bits.size() < areaSize(area))
        bits.resize(areaSize(area));
    return bits;
}

bool rangeFree(const QBitArray &bits, int offset, int size)
{
    for (int i = offset; i < offset + size; ++i) {
        if (bits.testBit(i))
            return false;
    }
    return true;
}

} // namespace

int autoMallocMemory(const QString &key, VarArea area, int size)
{
    if (size <= 0 || size > areaSize(area))
        return -1;
    QBitArray &bits = bitsFor(book().stations[key], area);
    const int limit = areaSize(area) - size;
    int offset = 0;
    while (offset <= limit) {
        // Skip to just past the last reserved byte of the candidate window.
        int blocked = -1;
        for (int i = offset + size - 1; i >= offset; --i) {
            if (bits.testBit(i)) {
                blocked = i;
                break;
            }
        }
        if (blocked < 0) {
            bits.fill(true, offset, offset + size);
            return offset;
        }
        offset = blocked + 1;
    }
    return -1;
}

int getMemory(const QString &key, VarArea area, int offset, int size)
{
    if (!validRange(area, offset, size))
        return 0;
    QBitArray &bits = bitsFor(book().stations[key], area);
    if (!rangeFree(bits, offset, size))
        return 0;
    bits.fill(true, offset, offset + size);
    return 1;
}

bool freeMemory(const QString &key, VarArea area, int offset, int size)
{
    auto station = book().stations.find(key);
    if (station == book().stations.end() || size <= 0 || offset < 0)
        return false;
    auto bits = station->areas.find(area);
    if (bits == station->areas.end())
        return false;
    const qint64 wantedEnd = qint64(offset) + size;
    const int end = int(qMin<qint64>(wantedEnd, bits->size()));
    bool all = wantedEnd <= bits->size();
    for (int i = offset; i < end; ++i) {
        all = all && bits->testBit(i);
        bits->clearBit(i);
    }
    return all;
}

void saveMemoryUsedState(const QString &key)
{
    StationBook &station = book().stations[key];
    station.snapshots.append(station.areas);
}

void deleteMemoryUsedState(const QString &key)
{
    auto station = book().stations.find(key);
    if (station != book().stations.end() && !station->snapshots.isEmpty())
        station->snapshots.removeLast();
}

void restoreMemoryUsedState(const QString &key)
{
    auto station = book().stations.find(key);
    if (station != book().stations.end() && !station->snapshots.isEmpty())
        station->areas = station->snapshots.takeLast();
}

QString getMemName(VarArea area)
{
    switch (area) {
    case VarAreaInput: return QStringLiteral("%I");
    case VarAreaOutput: return QStringLiteral("%Q");
    case VarAreaFallback: return QStringLiteral("%V");
    case VarAreaAI: return QStringLiteral("%AI");
    case VarAreaAQ: return QStringLiteral("%AQ");
    }
    return QStringLiteral("%?");
}

void setMemoryAreaSize(VarArea area, int size)
{
    book().areaSizes[area] = qMax(0, size);
}

int memoryAreaSize(VarArea area)
{
    return areaSize(area);
}

void resetMemoryAreaSizes()
{
    book().resetSizes();
}

QList<MemoryReservation> memoryReservations(const QString &key)
{
    QList<MemoryReservation> result;
    const auto station = book().stations.constFind(key);
    if (station == book().stations.constEnd())
        return result;
    QList<int> areas = station->areas.keys();
    std::sort(areas.begin(), areas.end());
    for (int area : qAsConst(areas)) {
        const QBitArray &bits = station->areas[area];
        int i = 0;
        while (i < bits.size()) {
            if (!bits.testBit(i)) {
                ++i;
                continue;
            }
            const int start = i;
            while (i < bits.size() && bits.testBit(i))
                ++i;
            result.append({area, start, i - start});
        }
    }
    return result;
}

int reservedByteCount(const QString &key, VarArea area)
{
    const auto station = book().stations.constFind(key);
    if (station == book().stations.constEnd())
        return 0;
    return station->areas.value(area).count(true);
}

int memorySnapshotDepth(const QString &key)
{
    const auto station = book().stations.constFind(key);
    return station == book().stations.constEnd() ? 0 : station->snapshots.size();
}

void clearMemory(const QString &key)
{
    book().stations.remove(key);
}

void clearAllMemory()
{
    book().stations.clear();
}
