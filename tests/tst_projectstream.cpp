// The project stream byte by byte in every layout; damaged and foreign streams;
// an EDS missing, moved, or named in the host's 8-bit codec; and every export a
// host calls surviving a failing allocation without a lie and without a leak.

#include "plugin/canobject.h"
#include "plugin/canslave.h"
#include "plugin/edssearch.h"
#include "plugin/hostservices.h"

#include <QDataStream>
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

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
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
                     const QVector<qint32> &identity = {0x99, 0x22, 0x191, 0x33})
{
    return written([&](QDataStream &s) {
        s << qint8(1) << eds << qint8(5);
        if (version >= 2009)
            s << identity[0] << identity[1] << identity[2] << identity[3];
        s << qint32(100) << qint32(200) << qint32(300) << QPoint(3, 4) << QString() << pdoList() << sdoList(version >= 2007);
        if (version >= 2009)
            s << name << flags;
    });
}

// Whether an export of automatic allocation answered false exactly when an allocation inside it failed.
bool honest(bool (*exported)(CanObject *), CanObject *slave)
{
    const bool armed = allocationsLeft >= 0;
    const bool placed = exported(slave);
    return placed != (armed && allocationsLeft < 0);
}

// What a host calls on a live slave, then restore and recompile once it is released;
// whether every answer is whole or the failure answer.
bool hostSession(CanObject *slave, const QString &key, const QByteArray &stream, const QByteArray &block)
{
    releaseObject(createCanObject(nullptr, fixture, 6, key));
    const QByteArray saved = save(slave);
    QByteArray compiled;
    CompileList list;
    const int result = compile(slave, compiled, list);
    const bool placed = honest(autoMallocInMap, slave) && honest(autoMallocOutMap, slave);
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
    return (saved.isEmpty() || saved == stream) && (result == 0 ? compiled == block : compiled.isEmpty()) && placed
        && in.size() == inputs * 6 && out.size() == outputs * 7 && symbols.size() % 6 == 0 && (r != nullptr) == (code == -7);
}

QByteArray blockOf(CanObject *s)
{
    QByteArray block;
    CompileList list;
    compile(s, block, list);
    return block;
}

} // namespace

class tst_ProjectStream : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    QString key;

private slots:
    void init()
    {
        clearAllMemory();
        clearHwFileCreatedVerNums();
        dir.reset(new QTemporaryDir);
        key = dir->filePath(QStringLiteral("station/hw.stn"));
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("station")) && QDir(dir->path()).mkpath(QStringLiteral("eds")));
    }
    void cleanup()
    {
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
        setHwFileCreatedVerNum(key, version);
        CanObject *s = restore(streamFor(version, fixture, QStringLiteral("Mine"), 0x05), key);
        QVERIFY(s && s->eds);
        QCOMPARE(memoryReservations(key), (QList<MemoryReservation>{{0x81, 3, 1}}));
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
        CanObject *r = restore(save(&slave), key);
        QList<QPair<quint32, int>> order;
        for (const PDOConfig &pdo : qAsConst(r->pdoList))
            order << qMakePair(pdo.commIndex, int(pdo.transmissionType));
        QCOMPARE(order, (QList<QPair<quint32, int>>{{0x1400, 2}, {0x1800, 4}, {0x1801, 1}, {0x1801, 3}}));
        releaseObject(r);
    }

    void movedPath_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("station");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("backslashes") << "C:\\proj\\eds\\io.eds" << "/work/st/hw.stn"
                                     << QStringList{"C:\\proj\\eds\\io.eds", "../eds/io.eds", "/work/st/io.eds", "/work/eds/io.eds"};
        QTest::newRow("mixed") << "D:/a\\b/x.EDS" << "/s/hw" << QStringList{"D:/a\\b/x.EDS", "../eds/x.EDS", "/s/x.EDS", "/eds/x.EDS"};
        QTest::newRow("empty") << "" << "/s/hw" << QStringList{""};
        QTest::newRow("no station") << "io.eds" << "" << QStringList{"io.eds", "../eds/io.eds"};
        QTest::newRow("already moved") << "../eds/io.eds" << "hw" << QStringList{"../eds/io.eds", "io.eds"};
    }
    void movedPath()
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
        QFETCH(QByteArray, codec);
        setHwFileCreatedVerNum(key, version);
        if (!codec.isEmpty()) {
            QVERIFY(QTextCodec::codecForName(codec));
            QTextCodec::setCodecForLocale(QTextCodec::codecForName(codec));
        }
        if (stored.isEmpty())
            stored = dir->filePath(found);
        const QByteArray stream = streamFor(version, stored, name, 5);
        // Nowhere to be found: all that was stored comes back, and is stored again as it was.
        CanObject *r = restore(stream, key);
        QVERIFY(!r->eds);
        QCOMPARE(save(r).toHex(), (version >= 2009 ? stream : streamFor(2012, stored, "Unknown Device", 0, {0, 0, 0, 0})).toHex());
        QCOMPARE(memoryReservations(key), (QList<MemoryReservation>{{0x81, 3, 1}}));
        const QByteArray block = blockOf(r);
        releaseObject(r);

        QVERIFY(QFile::copy(fixture, dir->filePath(found)));
        for (bool compiled : {false, true}) {
            int code = -7;
            r = compiled ? recompile(block, key, &code) : restore(stream, key);
            QCOMPARE(code, -7);
            QVERIFY(r && r->eds);
            QCOMPARE(getName(r), version >= 2009 ? name : compiled ? QStringLiteral("Unknown Device") : QStringLiteral("Slave Test"));
            QCOMPARE(getEdsFileName(r), dir->filePath(found));
            QCOMPARE(r->pdo(0x1800)->mapList.at(0).name, compiled ? QStringLiteral("In A1") : QString()); // the block names no object
            QVERIFY(!r->edsPdoList.isEmpty());
            releaseObject(r);
        }
        QVERIFY(memoryReservations(key).isEmpty());
    }

    void damaged_data()
    {
        QTest::addColumn<QByteArray>("pdos");
        QTest::addColumn<QByteArray>("sdos");
        QTest::addColumn<int>("pdoCount");
        QTest::addColumn<int>("entryCount");
        QTest::addColumn<int>("sdoCount");
        const QByteArray onePdo = pdoList().mid(4);
        const QByteArray oneSdo = sdoList(true).mid(4);
        QTest::newRow("huge PDO count") << hex("7FFFFFFF") + onePdo << sdoList(true) << 1 << 1 << 1;
        QTest::newRow("huge SDO count") << pdoList() << hex("7FFFFFFF") + oneSdo + oneSdo << 1 << 1 << 2;
        QTest::newRow("negative counts") << hex("80000000") + onePdo << hex("FFFFFFFF") + oneSdo << 0 << 0 << 0;
        // The record claims 0x7FFFFFFF mapped objects and holds one.
        QByteArray many = pdoList();
        many.replace(4 + 4 + 40 - 4, 4, hex("7FFFFFFF"));
        QTest::newRow("huge mapping count") << many << sdoList(true) << 1 << 1 << 1;
        // A mapped object cut short is not taken: only whole objects claim memory.
        QByteArray cut = pdoList();
        cut.replace(4, 4, hex("00000049"));
        cut.chop(1);
        QTest::newRow("mapped object cut") << cut << sdoList(true) << 1 << 0 << 1;
        QTest::newRow("huge byte array") << hex("00000002 7FFFFFF0 00") << sdoList(true).left(20) << 0 << 0 << 0;
        QTest::newRow("no stream at all") << QByteArray() << QByteArray() << 0 << 0 << 0;
    }
    void damaged()
    {
        QFETCH(QByteArray, pdos);
        QFETCH(QByteArray, sdos);
        QFETCH(int, entryCount);
        const QByteArray stream = pdos.isEmpty() ? QByteArray() : written([&](QDataStream &s) {
            s << qint8(1) << fixture << qint8(5) << qint32(0) << qint32(0) << qint32(0) << qint32(0) << qint32(1)
              << qint32(2) << qint32(3) << QPoint() << QString() << pdos << sdos << QStringLiteral("Mine") << qint8(0);
        });
        CanObject *s = restore(stream, key);
        QVERIFY(s);
        QCOMPARE(s->name, stream.isEmpty() ? QStringLiteral("Unknown Device") : QStringLiteral("Mine"));
        QCOMPARE(s->nodeId + s->monitorTime + s->heartbeatTime + s->masterMonitorTime, stream.isEmpty() ? 0 : 11);
        QTEST(s->pdoList.size(), "pdoCount");
        QTEST(s->sdoList.size(), "sdoCount");
        QCOMPARE(s->pdoList.isEmpty() ? 0 : s->pdoList.at(0).mapList.size(), entryCount);
        QCOMPARE(memoryReservations(key).size(), entryCount);
        releaseObject(s);
    }

    // Each allocation in turn fails; nothing escapes into the host and nothing stays reserved.
    void failingAllocation()
    {
        for (int n = 0;; ++n) {
            CanObject *slave = createCanObject(nullptr, fixture, 5, key);
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

QTEST_GUILESS_MAIN(tst_ProjectStream)
#include "tst_projectstream.moc"
