// Seeded random sessions of one station: slaves from every EDS of the project
// are created, edited as the dialog edits them, copied through the project
// stream, recompiled, placed and released. After every step the stream and the
// block read back as they were written, the station's memory book is exactly
// the places the live slaves hold, and no byte is held twice; nothing is left
// once the last slave is released.

#include "compile/memoryplacement.h"
#include "eds/slavefromeds.h"
#include "plugin/canobject.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

namespace {

const QString key = QStringLiteral("/stations/line-1/hw.stn");
const QList<VarArea> areas{VarAreaInput, VarAreaOutput, VarAreaFallback, VarAreaAI, VarAreaAQ};

QStringList edsFiles()
{
    QStringList files;
    for (const QString &dir : {QStringLiteral("examples"), QStringLiteral("tests/data")}) {
        for (const QString &name : QDir(dir).entryList({QStringLiteral("*.eds")}, QDir::Files, QDir::Name))
            files << dir + QLatin1Char('/') + name;
    }
    return files;
}

QByteArray blockOf(CanObject *s)
{
    QByteArray block;
    CompileList list;
    compile(s, block, list);
    return block;
}

struct Station
{
    Station(quint32 seed, const QStringList &files) : g(seed), files(files) {}
    ~Station() { releaseAll(); }

    QRandomGenerator g;
    const QStringList files;
    QList<CanObject *> live;
    QSet<const CanObject *> damaged; // their blocks cannot read back: a stored length no longer fits its object
    QString fault;

    void releaseAll() { while (!live.isEmpty()) release(live.first()); }
    void release(CanObject *s) { live.removeOne(s), damaged.remove(s), releaseObject(s); }

    // The operation it made, for the failure message.
    const char *step()
    {
        if (live.isEmpty() || (live.size() < 4 && g.bounded(6) == 0)) {
            if (CanObject *s = createCanObject(nullptr, files.at(g.bounded(files.size())), 1 + g.bounded(127), key))
                live << s;
            return "create";
        }
        CanObject *s = live.at(g.bounded(live.size()));
        switch (g.bounded(8)) {
        case 0: return copyThroughStream(*s);
        case 1: return recompileOf(s);
        case 2: return autoMallocInMap(s), "autoMallocInMap";
        case 3: return autoMallocOutMap(s), "autoMallocOutMap";
        case 4: return dialog(*s);
        case 5: return release(s), "release";
        default: return edit(*s);
        }
    }

    // Empty, or the first byte held twice or outside its area, or that the book differs from the held places.
    QString check() const
    {
        QSet<QPair<int, int>> held, book;
        for (const CanObject *s : live)
            for (const PDOConfig &p : s->pdoList)
                for (const PDOMapEntry &e : p.mapList)
                    for (int i = e.offset; e.held && i < e.offset + int(e.byteLength); ++i) {
                        if (i < 0 || i >= memoryAreaSize(VarArea(e.area)) || held.contains({e.area, i}))
                            return QStringLiteral("byte %1 of area %2 held twice or outside").arg(i).arg(e.area);
                        held.insert({e.area, i});
                    }
        for (const MemoryReservation &r : memoryReservations(key))
            for (int i = r.offset; i < r.offset + r.size; ++i)
                book.insert({r.area, i});
        return !fault.isEmpty() ? fault : held == book ? QString() : QStringLiteral("book and held places differ");
    }

    // A copied slave, an undo or a project reopened while the slave lives; the
    // copy's stream may also be damaged or its EDS gone.
    const char *copyThroughStream(const CanObject &s)
    {
        CanObject copy(s);
        const bool damage = g.bounded(3) == 0 && !copy.pdoList.isEmpty() && !copy.pdoList.first().mapList.isEmpty();
        if (damage)
            copy.pdoList.first().mapList.first().byteLength = 16711681;
        const bool gone = g.bounded(3) == 0;
        if (gone)
            copy.edsFile = QStringLiteral("/nowhere/gone.eds");
        const QByteArray stream = save(&copy);
        live << restore(stream, key);
        if (damage || damaged.contains(&s))
            damaged.insert(live.last());
        // Without its EDS a slave without a name is named "Unknown Device".
        if (save(live.last()) != stream && !(gone && copy.name.isEmpty()))
            fault = QStringLiteral("the stream did not read back");
        return "restore copy";
    }

    // When the slave is released first and held every place it names, its places are free for the block again.
    const char *recompileOf(CanObject *s)
    {
        const QByteArray block = blockOf(s);
        bool placeable = !damaged.contains(s);
        for (const PDOConfig &p : qAsConst(s->pdoList))
            for (const PDOMapEntry &e : p.mapList)
                placeable = placeable && (e.held || e.offset == -1);
        const bool released = g.bounded(2);
        const bool readable = !damaged.contains(s);
        if (released)
            release(s);
        int code = -7;
        CanObject *r = recompile(block, key, &code);
        if (r)
            live << r;
        if (r && readable && blockOf(r) != block)
            fault = QStringLiteral("the block did not read back");
        if (released && placeable && (!r || (code != -7 && code != 128)))
            fault = QStringLiteral("the block was refused: %1").arg(code);
        if (r && !readable)
            damaged.insert(r);
        return "recompile";
    }

    // One change as the dialog's pages make it.
    const char *edit(CanObject &s)
    {
        const int kind = g.bounded(7);
        if (kind == 0 && !s.edsPdoList.isEmpty()) {
            const quint32 index = quint32(s.edsPdoList.at(g.bounded(s.edsPdoList.size())).index);
            if (s.addPdo(index) >= 0)
                addDefaultMapping(s, *s.pdo(index));
            return "add PDO";
        }
        if (kind == 1 && s.sdoList.size() < 8) {
            const QByteArray data = QByteArray::number(g.generate64(), 16).left(g.bounded(6));
            s.addSdo(SDOEntry{quint16(0x2000 + g.bounded(0x4000)), quint8(g.bounded(256)), quint8(1 + g.bounded(4)), data, data, {}});
            return "add SDO";
        }
        if (kind == 2) {
            s.setNodeId(quint8(1 + g.bounded(127)));
            s.name = QString::number(g.generate(), 36) + QStringLiteral("äö€");
            s.monitorTime = g.bounded(65536);
            s.heartbeatTime = g.bounded(65536);
            s.setCheckFlags(quint8(g.bounded(16)));
            return "slave fields";
        }
        if (s.pdoList.isEmpty())
            return "nothing to edit";
        PDOConfig &pdo = s.pdoList[g.bounded(s.pdoList.size())];
        if (kind == 3) {
            pdo.transmissionType = quint8(g.bounded(256));
            pdo.inhibitTime = quint16(g.bounded(65536));
            pdo.eventTimer = quint16(g.bounded(65536));
            return "PDO fields";
        }
        if (kind == 4)
            return s.removePdo(pdo.commIndex), "remove PDO";
        if (kind == 5 && !s.mappableList.isEmpty()) {
            const int position = CanObject::addMapEntry(pdo, s.mappableList.at(g.bounded(s.mappableList.size())), -1);
            if (position >= 0 && !placeNewEntry(s.projectKey, pdo, pdo.mapList[position]))
                CanObject::removeMapEntry(pdo, position);
            return "map object";
        }
        if (pdo.mapList.isEmpty())
            return "nothing mapped";
        const int position = g.bounded(pdo.mapList.size());
        if (g.bounded(2)) {
            releasePlace(s.projectKey, pdo.mapList[position]);
            CanObject::removeMapEntry(pdo, position);
            return "remove object";
        }
        const VarArea area = areas.at(g.bounded(areas.size()));
        movePlace(s.projectKey, pdo.mapList[position], area, g.bounded(memoryAreaSize(area)));
        return "move object";
    }

    // The working copy under a snapshot, then OK or Cancel.
    const char *dialog(CanObject &s)
    {
        CanObject copy(s);
        saveMemoryUsedState(key);
        for (int n = 1 + g.bounded(3); n > 0; --n)
            edit(copy);
        if (g.bounded(2))
            return deleteMemoryUsedState(key), s = copy, "dialog OK";
        return restoreMemoryUsedState(key), "dialog Cancel";
    }
};

} // namespace

class tst_RoundTrip : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Relative EDS paths, as a moved project would have them, and as the fuzz seeds need them.
        QVERIFY(QDir::setCurrent(QStringLiteral(CANSLAVE_EXAMPLES "/..")));
        QVERIFY(edsFiles().size() >= 6);
    }
    void init()
    {
        clearAllMemory();
        // Small areas, so that slaves meet each other and the fallback area fills.
        const int sizes[] = {24, 12, 24, 8, 8};
        for (int i = 0; i < areas.size(); ++i)
            setMemoryAreaSize(areas.at(i), sizes[i]);
    }
    void cleanup() { resetMemoryAreaSizes(); }

    void sessions()
    {
        for (quint32 seed = 1; seed <= 300; ++seed) {
            Station station(seed, edsFiles());
            for (int step = 0; step < 40; ++step) {
                const QString operation = QLatin1String(station.step()), fault = station.check();
                QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("seed %1 step %2 %3: %4").arg(seed).arg(step).arg(operation, fault)));
            }
            station.releaseAll();
            QVERIFY2(memoryReservations(key).isEmpty(), qPrintable(QStringLiteral("seed %1: left after release").arg(seed)));
            clearMemory(key);
        }
    }

    // What the fuzz targets start from, when asked for: each EDS's default slave.
    void writeSeeds()
    {
        const QString seeds = qEnvironmentVariable("CANSLAVE_WRITE_SEEDS");
        if (seeds.isEmpty())
            QSKIP("CANSLAVE_WRITE_SEEDS not set");
        resetMemoryAreaSizes();
        for (const QString &eds : edsFiles()) {
            CanObject *slave = createCanObject(nullptr, eds, 7, key);
            const QString stem = QFileInfo(eds).completeBaseName() + QStringLiteral("-0");
            for (const auto &out : {qMakePair(QStringLiteral("fuzz_restore/") + stem + ".stream", save(slave)),
                                    qMakePair(QStringLiteral("fuzz_recompile/") + stem + ".block", blockOf(slave))}) {
                QFile file(seeds + QLatin1Char('/') + out.first);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(out.second);
            }
            releaseObject(slave);
        }
    }
};

QTEST_GUILESS_MAIN(tst_RoundTrip)
#include "tst_roundtrip.moc"
