// A project as a host meets it through the exports: a slave owns its PLC
// places alone; a missing EDS, a foreign PDO order or a non-UTF-8 host lose
// nothing of the configuration; a failing allocation never escapes.

#include "plugin/canobject.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"

#include <QDataStream>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>

namespace {

int allocationsLeft = -1; // -1: none fails
int failures = 0;

void *allocate(std::size_t size)
{
    if (allocationsLeft == 0) {
        allocationsLeft = -1;
        ++failures;
        throw std::bad_alloc();
    }
    if (allocationsLeft > 0)
        --allocationsLeft;
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

QString fixture()
{
    return QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds");
}

QByteArray blockOf(CanObject *s)
{
    QByteArray block;
    CompileList list;
    compile(s, block, list);
    return block;
}

QByteArray mapOf(CanObject *s)
{
    int count = 0;
    return getInputMemMap(s, &count) + getOutputMemMap(s, &count);
}

int totalBytes(const QList<MemoryReservation> &places)
{
    int total = 0;
    for (const MemoryReservation &r : places)
        total += r.size;
    return total;
}

// The stream as software before 2009 wrote it: no identity values, name or check flags.
QByteArray olderLayout(const QByteArray &current)
{
    QDataStream in(current);
    qint8 marker = 0, node = 0;
    qint32 identity[4], times[3];
    QString eds, reserved;
    QPoint position;
    QByteArray pdos, sdos;
    in >> marker >> eds >> node >> identity[0] >> identity[1] >> identity[2] >> identity[3] >> times[0]
        >> times[1] >> times[2] >> position >> reserved >> pdos >> sdos;
    QByteArray older;
    QDataStream out(&older, QIODevice::WriteOnly);
    out << marker << eds << node << times[0] << times[1] << times[2] << position << reserved << pdos << sdos;
    return older;
}

enum Flow { CopyReleased, DamagedCopyReleased, AutoMallocAfterCreate, ReopenedProject };

} // namespace

class tst_ProjectSurvival : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        clearAllMemory();
        clearHwFileCreatedVerNums();
        dir.reset(new QTemporaryDir);
        QVERIFY(dir->isValid());
        key = dir->filePath(QStringLiteral("station/hw.stn"));
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("station")) && QDir(dir->path()).mkpath(QStringLiteral("eds")));
    }
    void ownership_data();
    void ownership();
    void pdoOrder();
    void missingEds_data();
    void missingEds();
    void foundBesideStation_data();
    void foundBesideStation();
    void refusedWithoutEds_data();
    void refusedWithoutEds();
    void unplacedEntry();
    void localCodec();
    void failingAllocation_data();
    void failingAllocation();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString key;
};

void tst_ProjectSurvival::ownership_data()
{
    QTest::addColumn<int>("flow");
    QTest::newRow("restored copy released") << int(CopyReleased);
    QTest::newRow("copy with a damaged length released") << int(DamagedCopyReleased);
    QTest::newRow("automatic allocation after create") << int(AutoMallocAfterCreate);
    QTest::newRow("reopened project, automatic allocation") << int(ReopenedProject);
}

void tst_ProjectSurvival::ownership()
{
    QFETCH(int, flow);
    CanObject *a = createCanObject(nullptr, fixture(), 5, key);
    QVERIFY(a);
    const QList<MemoryReservation> places = memoryReservations(key);
    const QByteArray map = mapOf(a);
    QVERIFY(!places.isEmpty());

    if (flow == CopyReleased || flow == DamagedCopyReleased) {
        CanObject damaged(*a);
        if (flow == DamagedCopyReleased)
            damaged.pdoList.last().mapList.first().byteLength = 16711681;
        releaseObject(restore(save(&damaged), key));
        QCOMPARE(memoryReservations(key), places);
        // The next slave gets places of its own.
        CanObject *b = createCanObject(nullptr, fixture(), 6, key);
        QCOMPARE(totalBytes(memoryReservations(key)), 2 * totalBytes(places));
        releaseObject(b);
    } else {
        if (flow == ReopenedProject) {
            const QByteArray stream = save(a);
            releaseObject(a);
            a = restore(stream, key);
        }
        QVERIFY(autoMallocInMap(a));
        QVERIFY(autoMallocOutMap(a));
        QCOMPARE(mapOf(a).toHex(), map.toHex());
        QCOMPARE(memoryReservations(key), places);
    }
    releaseObject(a);
    QVERIFY(memoryReservations(key).isEmpty());
}

void tst_ProjectSurvival::pdoOrder()
{
    CanObject *a = createCanObject(nullptr, fixture(), 5, key);
    QVERIFY(a);
    CanObject reversed(*a);
    std::reverse(reversed.pdoList.begin(), reversed.pdoList.end());
    const QByteArray expected = save(a);
    releaseObject(a);
    CanObject *r = restore(save(&reversed), key);
    QCOMPARE(save(r).toHex(), expected.toHex());
    for (const PDOConfig &p : reversed.pdoList)
        QVERIFY(r->removePdo(p.commIndex) >= 0);
    QVERIFY(memoryReservations(key).isEmpty());
    releaseObject(r);
}

void tst_ProjectSurvival::missingEds_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("name");
    QTest::newRow("current layout") << 2012 << "Mine";
    QTest::newRow("older layout") << 2008 << "Unknown Device";
}

void tst_ProjectSurvival::missingEds()
{
    QFETCH(int, version);
    setHwFileCreatedVerNum(key, version);
    const QString eds = dir->filePath(QStringLiteral("io.eds"));
    QVERIFY(QFile::copy(fixture(), eds));
    CanObject *a = createCanObject(nullptr, eds, 5, key);
    QVERIFY(a);
    a->name = QStringLiteral("Mine");
    a->addSdo(SDOEntry{0x2000, 0, 1, QByteArray::fromHex("0000007F"), QString(), QString()});
    const QByteArray stream = version >= 2009 ? save(a) : olderLayout(save(a));
    const QByteArray block = blockOf(a);
    const QByteArray map = mapOf(a);
    const int offered = a->edsPdoList.size();
    releaseObject(a);
    QVERIFY(QFile::remove(eds));

    CanObject *r = restore(stream, key);
    QTEST(getName(r), "name");
    QCOMPARE(getEdsFileName(r), eds);
    QVERIFY(!r->eds);
    QCOMPARE(mapOf(r).toHex(), map.toHex());
    QCOMPARE(r->sdoList.size(), 1);
    if (version >= 2009)
        QCOMPARE(save(r).toHex(), stream.toHex());
    releaseObject(r);
    int code = 0;
    r = recompile(block, key, &code);
    QCOMPARE(code, 128);
    QCOMPARE(getName(r), QStringLiteral("Mine"));
    QCOMPARE(blockOf(r).toHex(), block.toHex());
    releaseObject(r);
    QVERIFY(memoryReservations(key).isEmpty());

    // The file is back: the saved project finds it again.
    QVERIFY(QFile::copy(fixture(), eds));
    r = restore(stream, key);
    QVERIFY(r->eds);
    QCOMPARE(r->pdo(0x1800)->mapList.at(0).name, QStringLiteral("In A1"));
    QCOMPARE(r->edsPdoList.size(), offered);
    QCOMPARE(mapOf(r).toHex(), map.toHex());
    releaseObject(r);
    code = -7;
    r = recompile(block, key, &code);
    QCOMPARE(code, -7);
    QVERIFY(r && r->eds);
    QCOMPARE(r->pdo(0x1800)->mapList.at(0).name, QStringLiteral("In A1"));
    releaseObject(r);
}

void tst_ProjectSurvival::foundBesideStation_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("beside the station file") << "station/io.eds";
    QTest::newRow("eds folder beside the station's folder") << "eds/io.eds";
}

void tst_ProjectSurvival::foundBesideStation()
{
    QFETCH(QString, where);
    const QString stored = QStringLiteral("C:\\old\\project\\eds\\io.eds");
    CanObject *a = createCanObject(nullptr, fixture(), 5, key);
    QVERIFY(a);
    a->edsFile = stored;
    const QByteArray stream = save(a);
    const QByteArray block = blockOf(a);
    releaseObject(a);
    QVERIFY(QFile::copy(fixture(), dir->filePath(where)));

    CanObject *r = restore(stream, key);
    QVERIFY(r->eds);
    QCOMPARE(getEdsFileName(r), dir->filePath(where));
    releaseObject(r);
    int code = -7;
    r = recompile(block, key, &code);
    QCOMPARE(code, -7);
    QCOMPARE(getEdsFileName(r), dir->filePath(where));
    releaseObject(r);
}

void tst_ProjectSurvival::refusedWithoutEds_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<int>("code");
    QTest::newRow("object mapped twice") << 0 << 4;
    QTest::newRow("PDO over 8 bytes") << 1 << 4;
    QTest::newRow("PDO twice") << 2 << 3;
    QTest::newRow("receive PDO among the transmit ones") << 3 << 3;
}

void tst_ProjectSurvival::refusedWithoutEds()
{
    QFETCH(int, change);
    CanObject *a = createCanObject(nullptr, fixture(), 5, key);
    QVERIFY(a);
    a->edsFile = dir->filePath(QStringLiteral("gone.eds"));
    PDOConfig &pdo = *a->pdo(change == 1 ? 0x1802 : 0x1800);
    if (change == 3)
        pdo.commIndex = 0x1402;
    if (change < 2)
        pdo.mapList.append(pdo.mapList.at(0));
    if (change == 1)
        pdo.mapList.last().subIndex = 9;
    if (change == 2)
        a->pdoList.insert(2, pdo);
    const QByteArray block = blockOf(a);
    releaseObject(a);
    int code = -7;
    QVERIFY(!recompile(block, key, &code));
    QTEST(code, "code");
    QVERIFY(memoryReservations(key).isEmpty());
}

void tst_ProjectSurvival::unplacedEntry()
{
    // A copy of a slave that fills the input area finds no place of its own.
    setMemoryAreaSize(VarAreaInput, 10);
    setMemoryAreaSize(VarAreaFallback, 0);
    CanObject *a = createCanObject(nullptr, fixture(), 5, key);
    QVERIFY(a);
    CanObject *copy = restore(save(a), key);
    QVERIFY(!autoMallocInMap(copy));
    const QByteArray block = blockOf(copy);
    QVERIFY(block.contains(QByteArray::fromHex("81FFFF")));
    releaseObject(copy);
    releaseObject(a);

    int code = -7;
    CanObject *r = recompile(block, key, &code);
    resetMemoryAreaSizes();
    QCOMPARE(code, -7);
    QVERIFY(r);
    QCOMPARE(blockOf(r).toHex(), block.toHex());
    QCOMPARE(reservedByteCount(key, VarAreaInput), 0);
    releaseObject(r);
    QVERIFY(memoryReservations(key).isEmpty());
}

void tst_ProjectSurvival::localCodec()
{
    // A Chinese Windows host: names and paths travel in GB18030.
    QTextCodec *before = QTextCodec::codecForLocale();
    QTextCodec *chinese = QTextCodec::codecForName("GB18030");
    QVERIFY(chinese);
    QTextCodec::setCodecForLocale(chinese);
    const QString folder = dir->filePath(QStringLiteral("设备"));
    QVERIFY(QDir().mkpath(folder));
    const QString eds = folder + QStringLiteral("/从站.eds");
    QVERIFY(QFile::copy(fixture(), eds));
    CanObject *a = createCanObject(nullptr, eds, 5, key);
    QVERIFY(a);
    a->name = QStringLiteral("阀门");
    const QByteArray block = blockOf(a);
    releaseObject(a);
    int code = -7;
    CanObject *r = recompile(block, key, &code);
    // Removed while the names still encode the same way.
    QFile::remove(eds);
    QDir().rmdir(folder);
    QTextCodec::setCodecForLocale(before);
    QCOMPARE(code, -7);
    QCOMPARE(getName(r), QStringLiteral("阀门"));
    QCOMPARE(getEdsFileName(r), eds);
    releaseObject(r);
}

// Whether the answer is whole or the failure answer; made is a slave the call made.
using ExportCall = std::function<bool(CanObject *&slave, CanObject *&made, const QByteArray &stream,
                                      const QByteArray &block)>;
Q_DECLARE_METATYPE(ExportCall)

void tst_ProjectSurvival::failingAllocation_data()
{
    QTest::addColumn<ExportCall>("call");
    QTest::newRow("createCanObject") << ExportCall([](CanObject *&, CanObject *&made, auto &, auto &) {
        made = createCanObject(nullptr, fixture(), 6, QStringLiteral("station-a"));
        return true;
    });
    QTest::newRow("restore") << ExportCall([](CanObject *&slave, CanObject *&made, auto &stream, auto &) {
        releaseObject(std::exchange(slave, nullptr));
        made = restore(stream, QStringLiteral("station-a"));
        return true;
    });
    QTest::newRow("recompile") << ExportCall([](CanObject *&slave, CanObject *&made, auto &, auto &block) {
        releaseObject(std::exchange(slave, nullptr));
        int code = -7;
        made = recompile(block, QStringLiteral("station-a"), &code);
        return (made != nullptr) == (code == -7);
    });
    // Everything else a host calls on a live slave, last its release.
    QTest::newRow("the other exports") << ExportCall([](CanObject *&slave, CanObject *&, auto &stream, auto &block) {
        const QByteArray saved = save(slave);
        QByteArray compiled;
        CompileList list;
        const int result = compile(slave, compiled, list);
        autoMallocInMap(slave);
        autoMallocOutMap(slave);
        int inputs = -1, outputs = -1;
        const QByteArray in = getInputMemMap(slave, &inputs), out = getOutputMemMap(slave, &outputs);
        QList<MappingSymbol> symbols;
        getMappingSym(slave, &symbols);
        setNodeId(slave, 9);
        releaseObject(std::exchange(slave, nullptr));
        return (saved.isEmpty() || saved == stream) && (result == 0 ? compiled == block : compiled.isEmpty())
            && in.size() == inputs * 6 && out.size() == outputs * 7 && symbols.size() % 6 == 0;
    });
}

void tst_ProjectSurvival::failingAllocation()
{
    QFETCH(ExportCall, call);
    key = QStringLiteral("station-a");
    for (int n = 0;; ++n) {
        CanObject *slave = createCanObject(nullptr, fixture(), 5, key), *made = nullptr;
        QVERIFY(slave);
        const QByteArray stream = save(slave), block = blockOf(slave);
        bool whole = false, escaped = false;
        failures = 0;
        allocationsLeft = n;
        try {
            whole = call(slave, made, stream, block);
        } catch (...) {
            escaped = true;
        }
        allocationsLeft = -1;
        QVERIFY2(!escaped && whole, qPrintable(QStringLiteral("allocation %1 failing").arg(n)));
        releaseObject(made);
        releaseObject(slave);
        QVERIFY2(memoryReservations(key).isEmpty(), qPrintable(QStringLiteral("allocation %1 left places").arg(n)));
        if (failures == 0)
            break;
    }
}

QTEST_GUILESS_MAIN(tst_ProjectSurvival)
#include "tst_projectsurvival.moc"
