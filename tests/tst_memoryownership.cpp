// Seeded random sequences over several slaves of one station. After every
// step the station's memory book is exactly the places the live slaves hold,
// no byte is held twice, and nothing is left once the last slave is released.

#include "compile/memoryplacement.h"
#include "eds/slavefromeds.h"
#include "plugin/canobject.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"

#include <QBitArray>
#include <QRandomGenerator>
#include <QtTest>

namespace {

const QString key = QStringLiteral("/stations/line-1/hw.stn");
const QList<VarArea> areas{VarAreaInput, VarAreaOutput, VarAreaFallback, VarAreaAI, VarAreaAQ};

QString fixture()
{
    return QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds");
}

using Bytes = QHash<int, QBitArray>;

QBitArray &bitsOf(Bytes &bytes, int area)
{
    QBitArray &bits = bytes[area];
    bits.resize(memoryAreaSize(VarArea(area)));
    return bits;
}

class Station
{
public:
    explicit Station(quint32 seed) : g(seed) {}
    ~Station() { releaseAll(); }

    QRandomGenerator g;
    QList<CanObject *> live;

    void releaseAll()
    {
        for (CanObject *s : qAsConst(live))
            releaseObject(s);
        live.clear();
    }

    // The operation it made, for the failure message.
    QString step()
    {
        if (live.isEmpty() || (live.size() < 4 && g.bounded(6) == 0)) {
            if (CanObject *s = createCanObject(nullptr, fixture(), 1 + g.bounded(127), key))
                live << s;
            return QStringLiteral("create");
        }
        CanObject *s = live.at(g.bounded(live.size()));
        switch (g.bounded(8)) {
        case 0: return copyThroughStream(*s);
        case 1: return recompileOf(s);
        case 2: return autoMallocInMap(s), QStringLiteral("autoMallocInMap");
        case 3: return autoMallocOutMap(s), QStringLiteral("autoMallocOutMap");
        case 4: return dialog(*s);
        case 5: return live.removeOne(s), releaseObject(s), QStringLiteral("release");
        default: return edit(*s);
        }
    }

    // Empty, or the first byte held twice, or how the book differs from the held places.
    QString check() const
    {
        Bytes held, book;
        for (const CanObject *s : live) {
            for (const PDOConfig &p : s->pdoList) {
                for (const PDOMapEntry &e : p.mapList) {
                    QBitArray &bits = bitsOf(held, e.area);
                    for (int i = e.offset; e.held && i < e.offset + int(e.byteLength); ++i) {
                        if (i < 0 || i >= bits.size() || bits.testBit(i))
                            return QStringLiteral("byte %1 of area %2 held twice or outside").arg(i).arg(e.area);
                        bits.setBit(i);
                    }
                }
            }
        }
        for (const MemoryReservation &r : memoryReservations(key))
            bitsOf(book, r.area).fill(true, r.offset, r.offset + r.size);
        for (int area : areas) {
            if (bitsOf(held, area) != bitsOf(book, area))
                return QStringLiteral("area %1: book and held places differ").arg(area);
        }
        return QString();
    }

private:
    // A copied slave, an undo or a project reopened while the slave lives; the
    // copy's stream may also be damaged or its EDS gone.
    QString copyThroughStream(const CanObject &s)
    {
        CanObject copy(s);
        QString what = QStringLiteral("restore copy");
        if (g.bounded(3) == 0 && !copy.pdoList.isEmpty() && !copy.pdoList.first().mapList.isEmpty()) {
            copy.pdoList.first().mapList.first().byteLength = 16711681;
            what += QStringLiteral(", length damaged");
        }
        if (g.bounded(3) == 0) {
            copy.edsFile = QStringLiteral("/nowhere/gone.eds");
            what += QStringLiteral(", EDS gone");
        }
        live << restore(save(&copy), key);
        return what;
    }

    QString recompileOf(CanObject *s)
    {
        QByteArray block;
        CompileList list;
        compile(s, block, list);
        const bool released = g.bounded(2);
        if (released)
            live.removeOne(s), releaseObject(s);
        int code = 0;
        if (CanObject *r = recompile(block, key, &code))
            live << r;
        return QStringLiteral("recompile (code %1)%2").arg(code).arg(released ? ", source released" : "");
    }

    // One change as the dialog's pages make it.
    QString edit(CanObject &s)
    {
        const int kind = g.bounded(5);
        if (kind == 0 && !s.edsPdoList.isEmpty()) {
            const quint32 index = quint32(s.edsPdoList.at(g.bounded(s.edsPdoList.size())).index);
            if (s.addPdo(index) >= 0)
                addDefaultMapping(s, *s.pdo(index));
            return QStringLiteral("add PDO");
        }
        if (s.pdoList.isEmpty())
            return QStringLiteral("nothing to edit");
        PDOConfig &pdo = s.pdoList[g.bounded(s.pdoList.size())];
        if (kind == 1)
            return s.removePdo(pdo.commIndex), QStringLiteral("remove PDO");
        if (kind == 2 && !s.mappableList.isEmpty()) {
            const int position = CanObject::addMapEntry(pdo, s.mappableList.at(g.bounded(s.mappableList.size())), -1);
            if (position >= 0 && !placeNewEntry(s.projectKey, pdo, pdo.mapList[position]))
                CanObject::removeMapEntry(pdo, position);
            return QStringLiteral("map object");
        }
        if (pdo.mapList.isEmpty())
            return QStringLiteral("nothing mapped");
        const int position = g.bounded(pdo.mapList.size());
        PDOMapEntry &entry = pdo.mapList[position];
        if (kind == 3) {
            releasePlace(s.projectKey, entry);
            CanObject::removeMapEntry(pdo, position);
            return QStringLiteral("remove object");
        }
        const VarArea area = areas.at(g.bounded(areas.size()));
        movePlace(s.projectKey, entry, area, g.bounded(memoryAreaSize(area)));
        return QStringLiteral("move object");
    }

    // The working copy under a snapshot, then OK or Cancel.
    QString dialog(CanObject &s)
    {
        CanObject copy(s);
        saveMemoryUsedState(key);
        for (int n = 1 + g.bounded(3); n > 0; --n)
            edit(copy);
        if (g.bounded(2)) {
            deleteMemoryUsedState(key);
            s = copy;
            return QStringLiteral("dialog OK");
        }
        restoreMemoryUsedState(key);
        return QStringLiteral("dialog Cancel");
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
        setMemoryAreaSize(VarAreaInput, 24);
        setMemoryAreaSize(VarAreaOutput, 12);
        setMemoryAreaSize(VarAreaFallback, 24);
        setMemoryAreaSize(VarAreaAI, 8);
        setMemoryAreaSize(VarAreaAQ, 8);
    }
    void cleanup() { resetMemoryAreaSizes(); }
    void oneOwnerPerPlace();
};

void tst_MemoryOwnership::oneOwnerPerPlace()
{
    for (quint32 seed = 1; seed <= 300; ++seed) {
        Station station(seed);
        for (int step = 0; step < 40; ++step) {
            const QString operation = station.step();
            const QString fault = station.check();
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("seed %1 step %2 %3: %4")
                                                     .arg(seed).arg(step).arg(operation, fault)));
        }
        station.releaseAll();
        QVERIFY2(memoryReservations(key).isEmpty(), qPrintable(QStringLiteral("seed %1: left after release").arg(seed)));
        clearMemory(key);
    }
}

QTEST_GUILESS_MAIN(tst_MemoryOwnership)
#include "tst_memoryownership.moc"
