// Seeded random sequences over several slaves of one station. After every
// step the station's memory book is exactly the places the live slaves hold,
// no byte is held twice, and nothing is left once the last slave is released.

#include "compile/memoryplacement.h"
#include "eds/slavefromeds.h"
#include "plugin/canobject.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

namespace {

const QString key = QStringLiteral("/stations/line-1/hw.stn");
const QList<VarArea> areas{VarAreaInput, VarAreaOutput, VarAreaFallback, VarAreaAI, VarAreaAQ};

struct Station
{
    explicit Station(quint32 seed) : g(seed) {}
    ~Station() { releaseAll(); }

    QRandomGenerator g;
    QList<CanObject *> live;

    void releaseAll() { while (!live.isEmpty()) releaseObject(live.takeFirst()); }

    // The operation it made, for the failure message.
    const char *step()
    {
        if (live.isEmpty() || (live.size() < 4 && g.bounded(6) == 0)) {
            if (CanObject *s = createCanObject(nullptr, QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds"),
                                               1 + g.bounded(127), key))
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
        case 5: return live.removeOne(s), releaseObject(s), "release";
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
        return held == book ? QString() : QStringLiteral("book and held places differ");
    }

    // A copied slave, an undo or a project reopened while the slave lives; the
    // copy's stream may also be damaged or its EDS gone.
    const char *copyThroughStream(const CanObject &s)
    {
        CanObject copy(s);
        if (g.bounded(3) == 0 && !copy.pdoList.isEmpty() && !copy.pdoList.first().mapList.isEmpty())
            copy.pdoList.first().mapList.first().byteLength = 16711681;
        if (g.bounded(3) == 0)
            copy.edsFile = QStringLiteral("/nowhere/gone.eds");
        live << restore(save(&copy), key);
        return "restore copy";
    }

    const char *recompileOf(CanObject *s)
    {
        QByteArray block;
        CompileList list;
        compile(s, block, list);
        if (g.bounded(2))
            live.removeOne(s), releaseObject(s);
        int code = 0;
        if (CanObject *r = recompile(block, key, &code))
            live << r;
        return "recompile";
    }

    // One change as the dialog's pages make it.
    const char *edit(CanObject &s)
    {
        const int kind = g.bounded(5);
        if (kind == 0 && !s.edsPdoList.isEmpty()) {
            const quint32 index = quint32(s.edsPdoList.at(g.bounded(s.edsPdoList.size())).index);
            if (s.addPdo(index) >= 0)
                addDefaultMapping(s, *s.pdo(index));
            return "add PDO";
        }
        if (s.pdoList.isEmpty())
            return "nothing to edit";
        PDOConfig &pdo = s.pdoList[g.bounded(s.pdoList.size())];
        if (kind == 1)
            return s.removePdo(pdo.commIndex), "remove PDO";
        if (kind == 2 && !s.mappableList.isEmpty()) {
            const int position = CanObject::addMapEntry(pdo, s.mappableList.at(g.bounded(s.mappableList.size())), -1);
            if (position >= 0 && !placeNewEntry(s.projectKey, pdo, pdo.mapList[position]))
                CanObject::removeMapEntry(pdo, position);
            return "map object";
        }
        if (pdo.mapList.isEmpty())
            return "nothing mapped";
        const int position = g.bounded(pdo.mapList.size());
        if (kind == 3) {
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

class tst_MemoryOwnership : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        clearAllMemory();
        // Small areas, so that slaves meet each other and the fallback area fills.
        const int sizes[] = {24, 12, 24, 8, 8};
        for (int i = 0; i < areas.size(); ++i)
            setMemoryAreaSize(areas.at(i), sizes[i]);
    }
    void cleanup() { resetMemoryAreaSizes(); }

    void oneOwnerPerPlace()
    {
        for (quint32 seed = 1; seed <= 300; ++seed) {
            Station station(seed);
            for (int step = 0; step < 40; ++step) {
                const QString operation = QLatin1String(station.step()), fault = station.check();
                QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("seed %1 step %2 %3: %4").arg(seed).arg(step).arg(operation, fault)));
            }
            station.releaseAll();
            QVERIFY2(memoryReservations(key).isEmpty(), qPrintable(QStringLiteral("seed %1: left after release").arg(seed)));
            clearMemory(key);
        }
    }
};

QTEST_GUILESS_MAIN(tst_MemoryOwnership)
#include "tst_memoryownership.moc"
