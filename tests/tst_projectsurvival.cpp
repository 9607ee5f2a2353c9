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
#include <memory>
#include <new>
#include <utility>

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

QString fixture() { return QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds"); }

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

// The stream as software before 2009 wrote it: no identity values, and nothing after the SDOs.
QByteArray olderLayout(const QByteArray &current)
{
    QDataStream in(current);
    qint8 byte;
    qint32 word;
    QString text;
    QPoint point;
    QByteArray bytes;
    in >> byte >> text >> byte;
    const qint64 identity = in.device()->pos();
    in >> word >> word >> word >> word;
    const qint64 times = in.device()->pos();
    in >> word >> word >> word >> point >> text >> bytes >> bytes;
    return current.left(identity) + current.mid(times, in.device()->pos() - times);
}

// What a host calls on a live slave, then restore and recompile once it is released;
// whether every answer is whole or the failure answer.
bool hostSession(CanObject *slave, const QString &key, const QByteArray &stream, const QByteArray &block)
{
    releaseObject(createCanObject(nullptr, fixture(), 6, key));
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
    releaseObject(slave);
    releaseObject(restore(stream, key));
    int code = -7;
    CanObject *r = recompile(block, key, &code);
    releaseObject(r);
    return (saved.isEmpty() || saved == stream) && (result == 0 ? compiled == block : compiled.isEmpty())
        && in.size() == inputs * 6 && out.size() == outputs * 7 && symbols.size() % 6 == 0
        && (r != nullptr) == (code == -7);
}

enum Flow { CopyReleased, DamagedCopyReleased, AutoMallocAfterCreate, ReopenedProject };

} // namespace

class tst_ProjectSurvival : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    QString key;
    CanObject *a = nullptr; // node 5, from the fixture

private slots:
    void init()
    {
        clearAllMemory();
        clearHwFileCreatedVerNums();
        dir.reset(new QTemporaryDir);
        QVERIFY(dir->isValid());
        key = dir->filePath(QStringLiteral("station/hw.stn"));
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("station")) && QDir(dir->path()).mkpath(QStringLiteral("eds")));
        QVERIFY((a = createCanObject(nullptr, fixture(), 5, key)));
    }
    void cleanup()
    {
        releaseObject(std::exchange(a, nullptr));
        resetMemoryAreaSizes();
        dir.reset(); // while file names still encode as they were written
        QTextCodec::setCodecForLocale(nullptr);
    }

    void ownership_data()
    {
        QTest::addColumn<int>("flow");
        QTest::newRow("restored copy released") << int(CopyReleased);
        QTest::newRow("copy with a damaged length released") << int(DamagedCopyReleased);
        QTest::newRow("automatic allocation after create") << int(AutoMallocAfterCreate);
        QTest::newRow("reopened project, PDOs in a foreign order") << int(ReopenedProject);
    }
    void ownership()
    {
        QFETCH(int, flow);
        const QList<MemoryReservation> places = memoryReservations(key);
        const QByteArray stream = save(a);
        const auto bytes = [this] { int n = 0; for (const MemoryReservation &r : memoryReservations(key)) n += r.size; return n; };
        const int held = bytes();
        QVERIFY(held > 0);
        if (flow == ReopenedProject) {
            CanObject reversed(*a);
            std::reverse(reversed.pdoList.begin(), reversed.pdoList.end());
            releaseObject(a);
            a = restore(save(&reversed), key);
        }
        if (flow == CopyReleased || flow == DamagedCopyReleased) {
            CanObject copy(*a);
            if (flow == DamagedCopyReleased)
                copy.pdoList.last().mapList.first().byteLength = 16711681;
            releaseObject(restore(save(&copy), key));
        } else {
            QVERIFY(autoMallocInMap(a) && autoMallocOutMap(a));
        }
        QCOMPARE(save(a).toHex(), stream.toHex());
        QCOMPARE(memoryReservations(key), places);
        // The next slave gets places of its own.
        CanObject *b = createCanObject(nullptr, fixture(), 6, key);
        QCOMPARE(bytes(), 2 * held);
        releaseObject(b);
        while (!a->pdoList.isEmpty())
            QVERIFY(a->removePdo(a->pdoList.first().commIndex) >= 0);
        QVERIFY(memoryReservations(key).isEmpty());
    }

    // Stored as another computer stored it, or else where the file comes back; the host's 8-bit codec.
    void missingEds_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("found");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("codec");
        const QString elsewhere = QStringLiteral("C:\\old\\project\\eds\\io.eds");
        QTest::newRow("back where it was") << 2012 << QString() << "io.eds" << "Mine" << QByteArray();
        QTest::newRow("older layout, beside the station file") << 2008 << elsewhere << "station/io.eds" << "Mine" << QByteArray();
        QTest::newRow("eds folder beside the station's folder") << 2012 << elsewhere << "eds/io.eds" << "Mine" << QByteArray();
        QTest::newRow("Chinese Windows host") << 2012 << QString() << "从站.eds" << "阀门" << QByteArray("GB18030");
    }
    void missingEds()
    {
        QFETCH(int, version);
        QFETCH(QString, stored);
        QFETCH(QString, found);
        QFETCH(QString, name);
        setHwFileCreatedVerNum(key, version);
        QFETCH(QByteArray, codec);
        if (!codec.isEmpty()) {
            QVERIFY(QTextCodec::codecForName(codec));
            QTextCodec::setCodecForLocale(QTextCodec::codecForName(codec));
        }
        a->edsFile = stored.isEmpty() ? dir->filePath(found) : stored;
        a->name = name;
        a->addSdo(SDOEntry{0x2000, 0, 1, QByteArray::fromHex("0000007F"), QString(), QString()});
        const QByteArray stream = version >= 2009 ? save(a) : olderLayout(save(a));
        const QByteArray block = blockOf(a), map = mapOf(a);
        const int offered = a->edsPdoList.size();
        releaseObject(std::exchange(a, nullptr));

        // Nowhere to be found: all that was stored comes back, and is stored again as it was.
        CanObject *r = restore(stream, key);
        QVERIFY(!r->eds);
        QCOMPARE(getName(r), version >= 2009 ? name : QStringLiteral("Unknown Device"));
        QCOMPARE((version >= 2009 ? save(r) : olderLayout(save(r))).toHex(), stream.toHex());
        releaseObject(r);
        int code = 0;
        r = recompile(block, key, &code);
        QCOMPARE(code, 128);
        QCOMPARE(blockOf(r).toHex(), block.toHex());
        releaseObject(r);
        QVERIFY(memoryReservations(key).isEmpty());

        QVERIFY(QFile::copy(fixture(), dir->filePath(found)));
        for (bool compiled : {false, true}) {
            code = -7;
            r = compiled ? recompile(block, key, &code) : restore(stream, key);
            QCOMPARE(code, -7);
            QVERIFY(r && r->eds);
            if (compiled || version >= 2009) // the older layout stores no name
                QCOMPARE(getName(r), name);
            QCOMPARE(getEdsFileName(r), dir->filePath(found));
            QCOMPARE(r->pdo(0x1800)->mapList.at(0).name, QStringLiteral("In A1"));
            QCOMPARE(r->edsPdoList.size(), offered);
            QCOMPARE(mapOf(r).toHex(), map.toHex());
            releaseObject(r);
        }
    }

    void refusedWithoutEds_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<int>("code");
        QTest::newRow("object mapped twice") << 0 << 4;
        QTest::newRow("PDO over 8 bytes") << 1 << 4;
        QTest::newRow("PDO twice") << 2 << 3;
        QTest::newRow("receive PDO among the transmit ones") << 3 << 3;
    }
    void refusedWithoutEds()
    {
        QFETCH(int, change);
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
        releaseObject(std::exchange(a, nullptr));
        int code = -7;
        CanObject *r = recompile(block, key, &code);
        QVERIFY(!r);
        QTEST(code, "code");
        QVERIFY(memoryReservations(key).isEmpty());
    }

    void unplacedEntry()
    {
        // A copy of a slave that fills the input area finds no place of its own.
        setMemoryAreaSize(VarAreaInput, 10);
        setMemoryAreaSize(VarAreaFallback, 0);
        CanObject *copy = restore(save(a), key);
        QVERIFY(!autoMallocInMap(copy));
        const QByteArray block = blockOf(copy);
        QVERIFY(block.contains(QByteArray::fromHex("81FFFF")));
        releaseObject(copy);
        releaseObject(std::exchange(a, nullptr));
        int code = -7;
        CanObject *r = recompile(block, key, &code);
        QCOMPARE(code, -7);
        QCOMPARE(blockOf(r).toHex(), block.toHex());
        QCOMPARE(reservedByteCount(key, VarAreaInput), 0);
        releaseObject(r);
        QVERIFY(memoryReservations(key).isEmpty());
    }

    // Each allocation in turn fails; nothing escapes into the host and nothing stays reserved.
    void failingAllocation()
    {
        releaseObject(std::exchange(a, nullptr));
        for (int n = 0;; ++n) {
            CanObject *slave = createCanObject(nullptr, fixture(), 5, key);
            QVERIFY(slave);
            const QByteArray stream = save(slave), block = blockOf(slave);
            bool whole = false; // stays so when an exception escapes
            allocationsLeft = n;
            try {
                whole = hostSession(slave, key, stream, block);
            } catch (...) {
            }
            const bool failed = allocationsLeft < 0;
            allocationsLeft = -1;
            QVERIFY2(whole, qPrintable(QStringLiteral("allocation %1 failing").arg(n)));
            QVERIFY2(memoryReservations(key).isEmpty(), qPrintable(QStringLiteral("allocation %1 left places").arg(n)));
            if (!failed)
                break;
        }
    }
};

QTEST_GUILESS_MAIN(tst_ProjectSurvival)
#include "tst_projectsurvival.moc"
