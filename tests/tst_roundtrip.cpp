// Save/restore and compile/recompile over every EDS of the project, for the
// device's default configuration and for seeded random ones.

#include "eds/edsentry.h"
#include "plugin/canobject.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

namespace {

const QString key = QStringLiteral("station-a");
const QString restoredKey = QStringLiteral("station-b");
const QString recompiledKey = QStringLiteral("station-c");
const int seedsPerFile = 5; // more seeds found no fault these did not

QString randomText(QRandomGenerator &g, int minimum)
{
    static const QString letters = QStringLiteral("abcXYZ 09_-.äöü\u20ac");
    QString text;
    const int length = minimum + g.bounded(24);
    for (int i = 0; i < length; ++i)
        text += letters.at(g.bounded(letters.size()));
    return text;
}

// A place of its own for the entry, in an area that suits its PDO; false when
// none was found (the entry then has to go).
bool randomPlace(QRandomGenerator &g, qint32 direction, PDOMapEntry &e)
{
    QList<VarArea> areas{direction == PdoTransmit ? VarAreaInput : VarAreaOutput, VarAreaFallback};
    if (e.byteLength == 2)
        areas.append(direction == PdoTransmit ? VarAreaAI : VarAreaAQ);
    for (int attempt = 0; attempt < 50; ++attempt) {
        const VarArea area = areas.at(g.bounded(areas.size()));
        const int offset = g.bounded(memoryAreaSize(area) - int(e.byteLength) + 1);
        e.area = area;
        e.offset = offset;
        if (claimPlace(key, e))
            return true;
    }
    return false;
}

void randomise(QRandomGenerator &g, CanObject &s)
{
    s.setNodeId(quint8(1 + g.bounded(127)));
    s.name = randomText(g, 1);
    s.reservedText = g.bounded(2) ? randomText(g, 0) : QString();
    s.monitorTime = g.bounded(65536);
    s.heartbeatTime = g.bounded(65536);
    s.masterMonitorTime = g.bounded(65536);
    s.position = QPoint(g.bounded(2000) - 1000, g.bounded(2000));
    s.setCheckFlags(quint8(g.bounded(16)));

    const QList<PDOConfig> defaults = s.pdoList;
    for (const PDOConfig &p : defaults) {
        if (g.bounded(3) == 0)
            s.removePdo(p.commIndex);
    }
    for (const EdsPdoEntry &offered : s.edsPdoList) {
        if (g.bounded(2))
            s.addPdo(quint32(offered.index));
    }
    QList<EdsEntry> mappable;
    for (const EdsEntry &e : s.mappableList) {
        // Objects without a size have no place to claim again.
        if (dataTypeSize(e.dataType) > 0)
            mappable.append(e);
    }
    for (PDOConfig &p : s.pdoList) {
        p.transmissionType = quint8(g.bounded(256));
        p.inhibitTime = quint16(g.bounded(65536));
        p.eventTimer = quint16(g.bounded(65536));
        p.reservedValue = qint32(g.generate());
        p.reservedText = randomText(g, 0);
        for (int n = g.bounded(5); n > 0 && !mappable.isEmpty(); --n) {
            const int position = CanObject::addMapEntry(p, mappable.at(g.bounded(mappable.size())), -1);
            if (position < 0)
                continue;
            PDOMapEntry &e = p.mapList[position];
            if (!randomPlace(g, p.direction, e)) {
                p.mapList.removeAt(position);
                continue;
            }
            e.reservedValue = qint32(g.generate());
            e.readOnly = g.bounded(2);
            if (p.direction == PdoReceive)
                e.clearWhenStop = quint8(g.bounded(2));
        }
    }
    for (int n = g.bounded(9); n > 0; --n) {
        SDOEntry sdo;
        sdo.index = quint16(0x2000 + g.bounded(0x4000));
        sdo.subIndex = quint8(g.bounded(256));
        sdo.length = quint8(1 + g.bounded(4));
        for (int i = g.bounded(6); i > 0; --i)
            sdo.data += char(g.bounded(256));
        sdo.dataText = randomText(g, 0);
        s.addSdo(sdo);
    }
}

QByteArray blockOf(CanObject *s)
{
    QByteArray block;
    CompileList list;
    compile(s, block, list);
    return block;
}

} // namespace

class tst_RoundTrip : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { clearAllMemory(); resetMemoryAreaSizes(); clearHwFileCreatedVerNums(); }
    void everyEds_data();
    void everyEds();
};

void tst_RoundTrip::initTestCase()
{
    // Relative EDS paths, as a moved project would have them, and as the fuzz seeds need them.
    QVERIFY(QDir::setCurrent(QStringLiteral(CANSLAVE_EXAMPLES "/..")));
}

void tst_RoundTrip::everyEds_data()
{
    QTest::addColumn<QString>("eds");
    QTest::addColumn<int>("seed");
    QStringList files;
    for (const QString &dir : {QStringLiteral("examples"), QStringLiteral("tests/data")}) {
        for (const QString &name : QDir(dir).entryList({QStringLiteral("*.eds")}, QDir::Files, QDir::Name))
            files << dir + QLatin1Char('/') + name;
    }
    QVERIFY(files.size() >= 6);
    for (const QString &file : qAsConst(files)) {
        for (int seed = 0; seed < seedsPerFile; ++seed)
            QTest::addRow("%s #%d", qPrintable(file), seed) << file << seed;
    }
}

void tst_RoundTrip::everyEds()
{
    QFETCH(QString, eds);
    QFETCH(int, seed);
    CanObject *slave = createCanObject(nullptr, eds, 7, key);
    if (!slave)
        QSKIP("the EDS gives no slave");
    if (seed > 0) {
        QRandomGenerator g(quint32(seed) * 7919u + quint32(qHash(eds)));
        randomise(g, *slave);
    }
    const QList<MemoryReservation> places = memoryReservations(key);

    const QByteArray stream = save(slave);
    CanObject *restored = restore(stream, restoredKey);
    QVERIFY(restored);
    // The stream carries every configured field, so equal bytes mean nothing was lost.
    QCOMPARE(save(restored).toHex(), stream.toHex());
    QCOMPARE(restored->edsPdoList, slave->edsPdoList);
    QCOMPARE(restored->mappableList, slave->mappableList);
    QCOMPARE(memoryReservations(restoredKey), places);

    const QByteArray block = blockOf(slave);
    int code = -7;
    CanObject *rebuilt = recompile(block, recompiledKey, &code);
    QCOMPARE(code, -7);
    QVERIFY(rebuilt);
    QCOMPARE(blockOf(rebuilt).toHex(), block.toHex());
    QCOMPARE(blockOf(restored).toHex(), block.toHex());
    QCOMPARE(memoryReservations(recompiledKey), places);
    QCOMPARE(rebuilt->edsFile, slave->edsFile);

    // What the fuzz targets start from, when asked for.
    const QString seeds = qEnvironmentVariable("CANSLAVE_WRITE_SEEDS");
    if (!seeds.isEmpty() && seed < 3) {
        const QString stem = QFileInfo(eds).completeBaseName() + QLatin1Char('-') + QString::number(seed);
        for (const auto &out : {qMakePair(QStringLiteral("fuzz_restore/") + stem + ".stream", stream),
                                qMakePair(QStringLiteral("fuzz_recompile/") + stem + ".block", block)}) {
            QFile file(seeds + QLatin1Char('/') + out.first);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(out.second);
        }
    }

    releaseObject(rebuilt);
    releaseObject(restored);
    releaseObject(slave);
    QVERIFY(memoryReservations(key).isEmpty());
    QVERIFY(memoryReservations(restoredKey).isEmpty());
    QVERIFY(memoryReservations(recompiledKey).isEmpty());
}

QTEST_GUILESS_MAIN(tst_RoundTrip)
#include "tst_roundtrip.moc"
