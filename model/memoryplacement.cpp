#include "model/memoryplacement.h"

#include "eds/mappingword.h"
#include "model/canobject.h"
#include "model/hostservices.h"

#include <QVector>

namespace {

struct JournalRecord {
    qint32 kind;   // 1 reserved during the run, 0 released during the run
    qint32 area;
    qint32 offset;
    qint32 size;
};

void replay(const QString &key, const QVector<JournalRecord> &journal)
{
    for (const JournalRecord &r : journal) {
        if (r.kind == 1)
            freeMemory(key, VarArea(r.area), r.offset, r.size);
        else
            getMemory(key, VarArea(r.area), r.offset, r.size);
    }
}

} // namespace

bool placeNewEntry(const QString &key, const PDOConfig &pdo, PDOMapEntry &entry)
{
    VarArea area;
    if (pdo.direction == PdoTransmit) {
        area = VarAreaInput;
    } else if (pdo.direction == PdoReceive) {
        area = VarAreaOutput;
    } else {
        entry.area = 0;
        entry.offset = 0;
        entry.held = false;
        return true;
    }
    const int size = int(entry.byteLength);
    int offset = autoMallocMemory(key, area, size);
    if (offset == -1) {
        area = VarAreaFallback;
        offset = autoMallocMemory(key, area, size);
    }
    if (offset == -1)
        return false;
    entry.area = area;
    entry.offset = offset;
    entry.held = true;
    return true;
}

int mapAndPlace(CanObject &slave, PDOConfig &pdo, const EdsEntry &entry)
{
    const int position = CanObject::addMapEntry(pdo, entry, -1);
    if (position < 0)
        return position;
    if (placeNewEntry(slave.projectKey, pdo, pdo.mapList[position]))
        return position;
    slave.removeMapEntry(pdo, position);
    return MapNoPlace;
}

bool movePlace(const QString &key, PDOMapEntry &entry, qint32 area, qint32 offset)
{
    const bool held = entry.held;
    // Freed first, so that the new place may overlap the old one.
    releasePlace(key, entry);
    PDOMapEntry moved = entry;
    moved.area = area;
    moved.offset = offset;
    if (claimPlace(key, moved)) {
        entry = moved;
        return true;
    }
    if (held)
        claimPlace(key, entry);
    return false;
}

bool autoMallocMap(CanObject &slave, qint32 direction)
{
    const QString &key = slave.projectKey;
    QVector<JournalRecord> journal;
    QVector<PDOMapEntry *> placedInRun;
    bool result = true;
    const QList<PDOConfig> pdos = slave.pdoList;
    for (const PDOConfig &walked : pdos) {
        if (walked.direction != direction)
            continue;
        PDOConfig *pdo = slave.pdo(walked.commIndex);
        if (!pdo)
            continue;
        for (PDOMapEntry &e : pdo->mapList) {
            // A dummy entry carries no process data, so it takes no PLC memory.
            if (isDummyIndex(int(e.index)))
                continue;
            // A held place is this slave's already; asking for it again would move it.
            if (claimPlace(key, e))
                continue;
            const int size = int(e.byteLength);
            int offset = autoMallocMemory(key, VarArea(e.area), size);
            if (offset == -1) {
                offset = autoMallocMemory(key, VarAreaFallback, size);
                if (offset != -1)
                    e.area = VarAreaFallback;
            }
            if (offset == -1) {
                e.offset = -1;
                result = false;
                continue;
            }
            e.offset = offset;
            e.held = true;
            journal.append({1, e.area, offset, size});
            placedInRun.append(&e);
        }
    }
    if (!result) {
        replay(key, journal);
        // The entries keep the offsets of the run, but no longer hold them.
        for (PDOMapEntry *e : qAsConst(placedInRun))
            e->held = false;
    }
    return result;
}

QByteArray memoryMap(const CanObject &slave, qint32 direction, int *count)
{
    QByteArray out;
    int n = 0;
    for (const PDOConfig &pdo : slave.pdoList) {
        if (pdo.direction != direction)
            continue;
        for (const PDOMapEntry &e : pdo.mapList) {
            if (isDummyIndex(int(e.index)))
                continue;
            out += char(0x01);
            out += char(0x01);
            out += char(e.byteLength & 0xFF);
            out += char(e.area & 0xFF);
            out += char((e.offset >> 8) & 0xFF);
            out += char(e.offset & 0xFF);
            if (direction == PdoReceive)
                out += char(e.clearWhenStop);
            ++n;
        }
    }
    if (count)
        *count = n;
    return out;
}
