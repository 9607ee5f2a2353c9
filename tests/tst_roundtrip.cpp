// Project streams and compiled blocks read back: in every stream layout, damaged
// or foreign; with the EDS missing, moved, or named in the host's 8-bit codec;
// every export surviving a failing allocation without a lie or a leak; and
// seeded random sessions of one station over every EDS of the project.

#include "model/canobject.h"
#include "model/edssearch.h"
#include "model/hostservices.h"
#include "model/memoryplacement.h"
#include "model/slavefromeds.h"
#include "plugin/canslave.h"

#include <QDataStream>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <cstdlib>
#include <functional>
#include <memory>
#include <new>

namespace {

int allocationsLeft = -1; // -1: none fails, and so after the one that failed

void *allocate(std::size_t size)
{
    if (allocationsLeft >= 0 && allocationsLeft-- == 0)
        throw std::bad_alloc();
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

} // namespace

// Every form that pairs with these frees, so that no sanitizer sees a mismatch.
void *operator new(std::size_t size) { return allocate(size); }
void *operator new[](std::size_t size) { return allocate(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept { return std::malloc(size ? size : 1); }
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }

namespace {

const QString fixture = QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds");
const QString key = QStringLiteral("/stations/line-1/hw.stn"); // of the random sessions
const QList<VarArea> areas{VarAreaInput, VarAreaOutput, VarAreaFallback, VarAreaAI, VarAreaAQ};

// Spaces are no hex digits, so they are skipped.
QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

QByteArray blockOf(CanObject *s)
{
    QByteArray block;
    CompileList list;
    compile(s, block, list);
    return block;
}

QStringList edsFiles()
{
    QStringList files;
    for (const QString &dir : {QStringLiteral("examples"), QStringLiteral("tests/data")}) {
        for (const QString &name : QDir(dir).entryList({QStringLiteral("*.eds")}, QDir::Files, QDir::Name))
            files << dir + QLatin1Char('/') + name;
    }
    return files;
}

QByteArray written(const std::function<void(QDataStream &)> &write)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    write(s);
    return bytes;
}

// One SDO 0x2000/1, length 1, text "7F", value 0000007F; without the text before 2007.
QByteArray sdoList(bool withText)
{
    return hex("00000001 2000 01 01") + (withText ? hex("00000004 0037 0046") : QByteArray()) + hex("00000004 0000007F");
}

// One transmit PDO 0x1800 mapping 0x6000/1 at input offset 3.
QByteArray pdoList()
{
    const QByteArray record = hex("00001800 00000001 00000180 00000054 00000007 FE FFFFFFFF 0014 01F4 00000002 0054 05"
                                  "00000001 00006000 00000001 FFFFFFFF 00000001 00000005 00000081 00000003 FFFFFFFF 02 01");
    return hex("00000001") + written([&](QDataStream &s) { s << record; });
}

// A stream as the software of the given version wrote it; identity: vendor, product, device type, revision.
QByteArray streamFor(int version, const QString &eds, const QString &name, qint8 flags,
                     const QVector<qint32> &identity = {0x99, 0x22, 0x191, 0x33}, const QByteArray &pdos = pdoList(),
                     const QByteArray &sdos = QByteArray())
{
    return written([&](QDataStream &s) {
        s << qint8(1) << eds << qint8(5);
        if (version >= 2009)
            s << identity[0] << identity[1] << identity[2] << identity[3];
        s << qint32(100) << qint32(200) << qint32(300) << QPoint(3, 4) << QString() << pdos
          << (sdos.isNull() ? sdoList(version >= 2007) : sdos);
        if (version >= 2009)
            s << name << flags;
    });
}

// Whether an allocation failed within the call.
template<typename Call>
bool failedWithin(Call call)
{
    const bool armed = allocationsLeft >= 0;
    call();
    return armed && allocationsLeft < 0;
}

// Whether an export of automatic allocation answered false exactly when an allocation within it failed.
bool honest(bool (*exported)(CanObject *), CanObject *slave)
{
    bool placed = false;
    return failedWithin([&] { placed = exported(slave); }) != placed;
}

// What a host calls on a live slave, then restore and recompile once it is released;
// whether every answer is whole or the failure answer.
bool hostSession(CanObject *slave, const QString &station, const QByteArray &stream, const QByteArray &block)
{
    releaseObject(createCanObject(nullptr, fixture, 6, station));
    const QByteArray saved = save(slave);
    QByteArray compiled;
    CompileList list;
    const int result = compile(slave, compiled, list);
    const bool placed = honest(autoMallocInMap, slave) && honest(autoMallocOutMap, slave);
    int inputs = -1, outputs = -1;
    QByteArray in, out; // the slave maps objects both ways
    const bool mapsFailed = failedWithin([&] { in = getInputMemMap(slave, &inputs), out = getOutputMemMap(slave, &outputs); });
    QList<MappingSymbol> symbols; // all six of the slave's, or none when an allocation failed
    const bool symbolsFailed = failedWithin([&] { getMappingSym(slave, &symbols); });
    setNodeId(slave, 9);
    releaseObject(slave);
    releaseObject(restore(stream, station));
    int code = -7;
    CanObject *r = recompile(block, station, &code);
    releaseObject(r);
    return (saved.isEmpty() || saved == stream) && (result == 0 ? compiled == block : compiled.isEmpty()) && placed
        && in.size() == inputs * 6 && out.size() == outputs * 7 && (mapsFailed || (inputs > 0 && outputs > 0))
        && symbols.size() == (symbolsFailed ? 0 : 6) && (r != nullptr) == (code == -7);
}

struct Station
{
    Station(quint32 seed, const QStringList &files) : g(seed), files(files) {}
    ~Station() { releaseAll(); }

    QRandomGenerator g;
    const QStringList files;
    QList<CanObject *> live;
    QString fault;

    void releaseAll() { while (!live.isEmpty()) release(live.first()); }
    void release(CanObject *s) { live.removeOne(s), releaseObject(s); }

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

    // Empty, or the first byte held twice, outside its area or where no memory map reports it, or that the
    // book differs from the held places.
    QString check() const
    {
        QSet<QPair<int, int>> held, book;
        for (const CanObject *s : live)
            for (const PDOConfig &p : s->pdoList)
                for (const PDOMapEntry &e : p.mapList)
                    for (int i = e.offset; e.held && i < e.offset + int(e.byteLength); ++i) {
                        if (p.direction != PdoTransmit && p.direction != PdoReceive)
                            return QStringLiteral("byte %1 of area %2 held for no memory map").arg(i).arg(e.area);
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
        const int damage = copy.pdoList.isEmpty() || copy.pdoList.first().mapList.isEmpty() ? 0 : g.bounded(6);
        PDOMapEntry *first = damage ? &copy.pdoList.first().mapList.first() : nullptr;
        const quint32 length = first ? first->byteLength : 0;
        if (damage == 1)
            first->byteLength = 16711681;
        if (damage == 2)
            copy.pdoList.first().direction ^= 1;
        const bool gone = g.bounded(3) == 0;
        if (gone)
            copy.edsFile = QStringLiteral("/nowhere/") + QString(140, QLatin1Char('g')) + QStringLiteral(".eds"); // over 127 bytes
        const QByteArray stream = save(&copy);
        live << restore(stream, key);
        // Of a damaged stream, the object comes back without its place, or the PDO is left out.
        if (damage == 1)
            first->byteLength = length, first->area = -1, first->offset = -1;
        if (damage == 2)
            copy.pdoList.removeFirst();
        // Without its EDS a slave without a name is named "Unknown Device".
        if (save(live.last()) != save(&copy) && !(gone && copy.name.isEmpty()))
            fault = QStringLiteral("the stream did not read back");
        return "restore copy";
    }

    // When the slave is released first and held every place it names, its places are free for the block again.
    const char *recompileOf(CanObject *s)
    {
        const QByteArray block = blockOf(s);
        const bool released = g.bounded(2);
        bool placeable = true;
        for (const PDOConfig &p : qAsConst(s->pdoList))
            for (const PDOMapEntry &e : p.mapList)
                placeable = placeable && (e.held || e.offset == -1);
        if (released)
            release(s);
        int code = -7;
        CanObject *r = recompile(block, key, &code);
        if (r)
            live << r;
        if (r && blockOf(r) != block)
            fault = QStringLiteral("the block did not read back");
        if (released && placeable && (!r || (code != -7 && code != 128)))
            fault = QStringLiteral("the block was refused: %1").arg(code);
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
            s.monitorTime = g.bounded(65536), s.heartbeatTime = g.bounded(65536), s.setCheckFlags(quint8(g.bounded(16)));
            return "slave fields";
        }
        if (s.pdoList.isEmpty())
            return "nothing to edit";
        PDOConfig &pdo = s.pdoList[g.bounded(s.pdoList.size())];
        if (kind == 3) {
            pdo.transmissionType = quint8(g.bounded(256)), pdo.inhibitTime = quint16(g.bounded(65536));
            pdo.eventTimer = quint16(g.bounded(65536));
            return "PDO fields";
        }
        if (kind == 4)
            return s.removePdo(pdo.commIndex), "remove PDO";
        if (kind == 5 && !s.mappableList.isEmpty()) {
            mapAndPlace(s, pdo, s.mappableList.at(g.bounded(s.mappableList.size())));
            return "map object";
        }
        if (pdo.mapList.isEmpty())
            return "nothing mapped";
        const int position = g.bounded(pdo.mapList.size());
        if (g.bounded(2)) {
            s.removeMapEntry(pdo, position);
            return "remove object";
        }
        const VarArea area = areas.at(g.bounded(areas.size()));
        const int offset = g.bounded(memoryAreaSize(area));
        PDOMapEntry &e = pdo.mapList[position];
        if (movePlace(s.projectKey, e, area, offset) != (e.held && e.area == area && e.offset == offset))
            fault = QStringLiteral("the move answered otherwise than it did");
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
    std::unique_ptr<QTemporaryDir> dir;
    QString stationKey; // of the single cases, in a folder of its own

private slots:
    void initTestCase()
    {
        // Relative EDS paths, as a moved project would have them.
        QVERIFY(QDir::setCurrent(QStringLiteral(CANSLAVE_EXAMPLES "/..")));
        QVERIFY(edsFiles().size() >= 6);
    }
    void init()
    {
        clearAllMemory();
        clearHwFileCreatedVerNums();
        dir.reset(new QTemporaryDir);
        stationKey = dir->filePath(QStringLiteral("station/hw.stn"));
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("station")) && QDir(dir->path()).mkpath(QStringLiteral("eds")));
    }
    void cleanup()
    {
        resetMemoryAreaSizes();
        dir.reset(); // while file names still encode as they were written
        QTextCodec::setCodecForLocale(nullptr);
    }

    void layouts_data()
    {
        QTest::addColumn<int>("version");
        for (int version : {2012, 2009, 2008, 2007, 2006})
            QTest::addRow("%d", version) << version;
    }
    void layouts()
    {
        // Saved back in the current layout, byte for byte. The EDS's identity values win over the stream's;
        // before 2009 the name and check flags come from the EDS too, and before 2007 the SDO's text is missing.
        QFETCH(int, version);
        setHwFileCreatedVerNum(stationKey, version);
        CanObject *s = restore(streamFor(version, fixture, QStringLiteral("Mine"), 0x05), stationKey);
        QVERIFY(s && s->eds);
        QCOMPARE(memoryReservations(stationKey), (QList<MemoryReservation>{{0x81, 3, 1}}));
        s->sdoList[0].name = QStringLiteral("not saved");
        QCOMPARE(s->sdoList[0].dataText, version < 2007 ? QString() : QStringLiteral("7F"));
        s->sdoList[0].dataText = QStringLiteral("7F");
        const QByteArray expected = version >= 2009 ? streamFor(2012, fixture, "Mine", 0x05, {0x11, 0x22, 0x191, 0x33})
                                                    : streamFor(2012, fixture, "Slave Test", 0, {0x11, 0x22, 0x191, 0x33});
        QCOMPARE(save(s).toHex(' '), expected.toHex(' '));
        releaseObject(s);
        QVERIFY(save(nullptr).isEmpty());
    }

    void restoredInOrder()
    {
        // A foreign or damaged stream may hold the PDOs in any order, one even twice:
        // they come back sorted, and twins in the order the stream holds them.
        CanObject slave(5);
        slave.edsFile = fixture;
        for (const auto &pdo : {qMakePair(0x1801u, 1), qMakePair(0x1400u, 2), qMakePair(0x1801u, 3), qMakePair(0x1800u, 4)})
            slave.pdoList << PDOConfig{{}, pdo.first, 1, 0x180, pdoDirectionFor(pdo.first), 0, quint8(pdo.second), {}, 0, 0, "P", 5};
        CanObject *r = restore(save(&slave), stationKey);
        QList<QPair<quint32, int>> order;
        for (const PDOConfig &pdo : qAsConst(r->pdoList))
            order << qMakePair(pdo.commIndex, int(pdo.transmissionType));
        QCOMPARE(order, (QList<QPair<quint32, int>>{{0x1400, 2}, {0x1800, 4}, {0x1801, 1}, {0x1801, 3}}));
        releaseObject(r);
    }

    // Where a stored EDS is looked for: Windows separators too, each place once.
    void searchPaths_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("station");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("Windows path") << "C:\\p\\eds\\io.eds" << "/st/line/hw.stn"
                                      << QStringList{"C:\\p\\eds\\io.eds", "../eds/io.eds", "/st/line/io.eds", "/st/eds/io.eds"};
        QTest::newRow("no station") << "/a/io.eds" << "" << QStringList{"/a/io.eds", "../eds/io.eds"};
        QTest::newRow("already moved") << "../eds/io.eds" << "" << QStringList{"../eds/io.eds"};
        QTest::newRow("no file name") << "/a/" << "/st/hw.stn" << QStringList{"/a/"};
    }
    void searchPaths()
    {
        QFETCH(QString, stored);
        QFETCH(QString, station);
        QTEST(edsSearchPaths(stored, station), "paths");
    }

    // Stored as another computer stored it, or else where the file comes back; the host's 8-bit codec.
    void missingEds_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("found");
        QTest::addColumn<QByteArray>("codec");
        QTest::newRow("back where it was") << 2012 << QString() << "io.eds" << QByteArray();
        QTest::newRow("older layout, beside the station file") << 2008 << "C:\\old\\eds\\io.eds" << "station/io.eds" << QByteArray();
        QTest::newRow("Chinese Windows host, eds folder beside the station's folder")
            << 2012 << "C:\\旧\\eds\\从站.eds" << "eds/从站.eds" << QByteArray("GB18030");
    }
    void missingEds()
    {
        QFETCH(int, version);
        QFETCH(QString, stored);
        QFETCH(QString, found);
        QFETCH(QByteArray, codec);
        const QString name = codec.isEmpty() ? QStringLiteral("Mine") : QStringLiteral("阀门");
        setHwFileCreatedVerNum(stationKey, version);
        if (!codec.isEmpty()) {
            QVERIFY(QTextCodec::codecForName(codec));
            QTextCodec::setCodecForLocale(QTextCodec::codecForName(codec));
        }
        if (stored.isEmpty())
            stored = dir->filePath(found);
        const QByteArray stream = streamFor(version, stored, name, 5);
        // Nowhere to be found: all that was stored comes back, and is stored again as it was.
        CanObject *r = restore(stream, stationKey);
        QVERIFY(!r->eds);
        QCOMPARE(save(r).toHex(), (version >= 2009 ? stream : streamFor(2012, stored, "Unknown Device", 0, {0, 0, 0, 0})).toHex());
        QCOMPARE(memoryReservations(stationKey), (QList<MemoryReservation>{{0x81, 3, 1}}));
        const QByteArray block = blockOf(r);
        releaseObject(r);

        QVERIFY(QFile::copy(fixture, dir->filePath(found)));
        for (bool compiled : {false, true}) {
            int code = -7;
            r = compiled ? recompile(block, stationKey, &code) : restore(stream, stationKey);
            QCOMPARE(code, -7);
            QVERIFY(r && r->eds);
            QCOMPARE(getName(r), version >= 2009 ? name : compiled ? QStringLiteral("Unknown Device") : QStringLiteral("Slave Test"));
            QCOMPARE(getEdsFileName(r), dir->filePath(found));
            QCOMPARE(r->pdo(0x1800)->mapList.at(0).name, compiled ? QStringLiteral("In A1") : QString()); // the block names no object
            QVERIFY(!r->edsPdoList.isEmpty());
            releaseObject(r);
        }
        QVERIFY(memoryReservations(stationKey).isEmpty());
    }

    void damaged_data()
    {
        QTest::addColumn<QByteArray>("pdos");
        QTest::addColumn<QByteArray>("sdos");
        QTest::addColumn<QList<int>>("counts"); // PDOs, objects in the first, SDOs, places claimed
        const QByteArray onePdo = pdoList().mid(4);
        const QByteArray oneSdo = sdoList(true).mid(4);
        QTest::newRow("huge PDO count") << hex("7FFFFFFF") + onePdo << sdoList(true) << QList<int>{1, 1, 1, 1};
        QTest::newRow("huge SDO count") << pdoList() << hex("7FFFFFFF") + oneSdo + oneSdo << QList<int>{1, 1, 2, 1};
        QTest::newRow("more SDOs than counted") << pdoList() << hex("00000001") + oneSdo + oneSdo << QList<int>{1, 1, 1, 1};
        QTest::newRow("negative counts") << hex("80000000") + onePdo << hex("FFFFFFFF") + oneSdo << QList<int>{0, 0, 0, 0};
        // The record claims 0x7FFFFFFF mapped objects and holds one.
        QByteArray many = pdoList();
        many.replace(4 + 4 + 40 - 4, 4, hex("7FFFFFFF"));
        QTest::newRow("huge mapping count") << many << sdoList(true) << QList<int>{1, 1, 1, 1};
        // A mapped object cut short is not taken: only whole objects claim memory.
        QByteArray cut = pdoList();
        cut.replace(4, 4, hex("00000049"));
        cut.chop(1);
        QTest::newRow("mapped object cut") << cut << sdoList(true) << QList<int>{1, 0, 1, 0};
        QTest::newRow("huge byte array") << hex("00000002 7FFFFFF0 00") << sdoList(true).left(20) << QList<int>{0, 0, 0, 0};
        QTest::newRow("no stream at all") << QByteArray() << QByteArray() << QList<int>{0, 0, 0, 0};
        // What the model never makes is not taken over: the object comes back without a place, or the PDO is left out.
        const auto patched = [](int at, const char *bytes) { return QByteArray(pdoList()).replace(at, 4, hex(bytes)); };
        QTest::newRow("length not its type's") << patched(8 + 40 + 12, "00000008") << sdoList(true) << QList<int>{1, 1, 1, 0};
        QTest::newRow("receive direction on a transmit index") << patched(8 + 12, "00000052") << sdoList(true) << QList<int>{0, 0, 1, 0};
        QTest::newRow("direction no PDO has") << patched(8 + 12, "00000055") << sdoList(true) << QList<int>{0, 0, 1, 0};
        QTest::newRow("transmit PDO on a receive index") << patched(8, "00001400") << sdoList(true) << QList<int>{0, 0, 1, 0};
        // The PDO of pdoList() with the count given and objects "length type offset", each of 0x6000/1 at %I.
        const auto withObjects = [](const char *count, const QList<const char *> &objects) {
            QByteArray list = pdoList().left(8 + 36) + hex(count);
            for (const char *object : objects)
                list += hex("00006000 00000001 FFFFFFFF") + hex(object).insert(8, hex("00000081")) + hex("FFFFFFFF 02 01");
            return list.replace(4, 4, written([&](QDataStream &s) { s << qint32(list.size() - 8); }));
        };
        QTest::newRow("more objects than counted") << withObjects("00000001", {"00000001 00000005 00000003", "00000001 00000005 00000004"})
                                                   << sdoList(true) << QList<int>{1, 1, 1, 1};
        QTest::newRow("more PDOs than counted") << hex("00000001") + onePdo + onePdo << sdoList(true) << QList<int>{1, 1, 1, 1};
        // Each object with a length that fits its type.
        QTest::newRow("9 bytes") << withObjects("00000003", {"00000004 00000007 00000000", "00000004 00000007 00000004", "00000001 00000005 00000008"})
                                 << sdoList(true) << QList<int>{0, 0, 1, 0};
    }
    void damaged()
    {
        QFETCH(QByteArray, pdos);
        QFETCH(QByteArray, sdos);
        QFETCH(QList<int>, counts);
        const QByteArray stream = pdos.isEmpty() ? QByteArray() : streamFor(2012, fixture, "Mine", 0, {0, 0, 0, 0}, pdos, sdos);
        CanObject *s = restore(stream, stationKey);
        QVERIFY(s);
        QCOMPARE(s->name, stream.isEmpty() ? QStringLiteral("Unknown Device") : QStringLiteral("Mine"));
        QCOMPARE(s->nodeId + s->monitorTime + s->heartbeatTime + s->masterMonitorTime, stream.isEmpty() ? 0 : 605);
        QCOMPARE(QList<int>({s->pdoList.size(), s->pdoList.isEmpty() ? 0 : s->pdoList.at(0).mapList.size(), s->sdoList.size(),
                             memoryReservations(stationKey).size()}), counts);
        for (const PDOConfig &pdo : qAsConst(s->pdoList))
            for (const PDOMapEntry &e : pdo.mapList) // what the maps and the block report is what the book holds
                QVERIFY(e.byteLength == 1 && e.held == (e.offset == 3));
        releaseObject(s);
    }

    // Each allocation in turn fails; nothing escapes into the host and nothing stays reserved.
    void failingAllocation()
    {
        for (int n = 0;; ++n) {
            CanObject *slave = createCanObject(nullptr, fixture, 5, stationKey);
            QVERIFY(slave);
            const QByteArray stream = save(slave), block = blockOf(slave);
            bool whole = false; // stays so when an exception escapes
            allocationsLeft = n;
            try {
                whole = hostSession(slave, stationKey, stream, block);
            } catch (...) {
            }
            const bool failed = allocationsLeft < 0;
            allocationsLeft = -1;
            QVERIFY2(whole, qPrintable(QStringLiteral("allocation %1 failing").arg(n)));
            QVERIFY2(memoryReservations(stationKey).isEmpty(), qPrintable(QStringLiteral("allocation %1 left places").arg(n)));
            if (!failed)
                break;
        }
    }
    void sessions()
    {
        // Small areas, so that slaves meet each other and the fallback area fills.
        const int sizes[] = {24, 12, 24, 8, 8};
        for (int i = 0; i < areas.size(); ++i)
            setMemoryAreaSize(areas.at(i), sizes[i]);

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
};

QTEST_GUILESS_MAIN(tst_RoundTrip)
#include "tst_roundtrip.moc"
