// The project stream byte by byte, both layouts, moved and missing EDS files,
// and damaged streams.

#include "persist/projectstream.h"
#include "plugin/edssearch.h"
#include "plugin/edssearch.h"
#include "plugin/canobject.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"

#include <QDataStream>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

const QString key = QStringLiteral("station-a");
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

// A stream as the software of the given version wrote it.
QByteArray streamFor(int version, const QString &eds, const QString &name, qint8 flags, qint32 vendorId = 0x99)
{
    return written([&](QDataStream &s) {
        s << qint8(1) << eds << qint8(5);
        if (version >= 2009)
            s << vendorId << qint32(0x22) << qint32(0x191) << qint32(0x33);
        s << qint32(100) << qint32(200) << qint32(300) << QPoint(3, 4) << QString() << pdoList() << sdoList(version >= 2007);
        if (version >= 2009)
            s << name << flags;
    });
}

} // namespace

class tst_ProjectStream : public QObject
{
    Q_OBJECT
private slots:
    void init() { clearAllMemory(); clearHwFileCreatedVerNums(); }

    void saveLayout()
    {
        // Built from the layout with the EDS's own identity values, so that nothing
        // the EDS supplies differs: save writes back what restore read, byte for byte.
        const QByteArray stream = streamFor(2012, fixture, QStringLiteral("Mine"), 0x05, 0x11);
        CanObject *s = restore(stream, key);
        QVERIFY(s);
        s->sdoList[0].name = QStringLiteral("not saved");
        QCOMPARE(save(s).toHex(' '), stream.toHex(' '));
        releaseObject(s);
        QVERIFY(save(nullptr).isEmpty());
    }

    void layouts_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint8>("flags");
        QTest::addColumn<QString>("dataText");
        // The identity values in the stream never win over the EDS's.
        QTest::newRow("2012") << 2012 << "Mine" << quint8(0x05) << "7F";
        QTest::newRow("2009") << 2009 << "Mine" << quint8(0x0A) << "7F";
        QTest::newRow("2008 older layout") << 2008 << "Slave Test" << quint8(0) << "7F";
        QTest::newRow("2007 older layout") << 2007 << "Slave Test" << quint8(0) << "7F";
        QTest::newRow("2006 without SDO text") << 2006 << "Slave Test" << quint8(0) << "";
    }
    void layouts()
    {
        QFETCH(int, version);
        QFETCH(quint8, flags);
        setHwFileCreatedVerNum(key, version);
        CanObject *s = restore(streamFor(version, fixture, QStringLiteral("Mine"), qint8(flags)), key);
        QVERIFY(s);
        QTEST(s->name, "name");
        QCOMPARE(s->checkFlags(), flags);
        QCOMPARE(qMakePair(s->vendorId, s->emcyCobId()), qMakePair(0x11u, 0x85u));
        QCOMPARE(QList<int>({s->nodeId, s->monitorTime, s->heartbeatTime, s->masterMonitorTime}), QList<int>({5, 100, 200, 300}));
        QCOMPARE(s->position, QPoint(3, 4));
        QCOMPARE(s->pdoList.size(), 1);
        const PDOConfig &p = s->pdoList.at(0);
        QCOMPARE(QList<int>({int(p.commIndex), p.inhibitTime, p.eventTimer, p.transmissionType}), QList<int>({0x1800, 20, 500, 0xFE}));
        QCOMPARE(p.mapList.size(), 1);
        QVERIFY(p.mapList.at(0).readOnly);
        QCOMPARE(memoryReservations(key), (QList<MemoryReservation>{{0x81, 3, 1}}));
        QCOMPARE(s->sdoList.size(), 1);
        QTEST(s->sdoList.at(0).dataText, "dataText");
        QCOMPARE(s->sdoList.at(0).data, hex("0000007F"));
        releaseObject(s);
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

    void missingEds_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("edsFile");
        QTest::addColumn<int>("pdos");
        // Without the EDS nothing of the stream is lost, the stored path included.
        QTest::newRow("older layout, unknown device")
            << streamFor(2008, "C:\\proj\\eds\\io.eds", QString(), 0) << 2008 << "Unknown Device" << "C:\\proj\\eds\\io.eds" << 1;
        QTest::newRow("named, goes on without EDS")
            << streamFor(2012, "C:\\proj\\eds\\io.eds", "Mine", 0) << 2012 << "Mine" << "C:\\proj\\eds\\io.eds" << 1;
        QTest::newRow("empty array") << QByteArray() << 2012 << "Unknown Device" << "" << 0;
    }
    void missingEds()
    {
        QFETCH(QByteArray, stream);
        QFETCH(int, version);
        QFETCH(int, pdos);
        setHwFileCreatedVerNum(key, version);
        CanObject *s = restore(stream, key);
        QVERIFY(s);
        QTEST(s->name, "name");
        QTEST(s->edsFile, "edsFile");
        QVERIFY(!s->eds && s->edsPdoList.isEmpty());
        QCOMPARE(s->pdoList.size(), pdos);
        QCOMPARE(s->sdoList.size(), pdos);
        QCOMPARE(memoryReservations(key).size(), pdos);
        if (stream.isEmpty())
            QCOMPARE(s->nodeId + s->monitorTime + s->heartbeatTime + s->masterMonitorTime, 0);
        releaseObject(s);
    }

    void movedProjectFindsEds()
    {
        // The project folder moved with its eds folder beside it.
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("project")) && QDir(dir.path()).mkpath(QStringLiteral("eds")));
        QVERIFY(QFile::copy(fixture, dir.path() + QStringLiteral("/eds/moved.eds")));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path() + QStringLiteral("/project")));
        setHwFileCreatedVerNum(key, 2008);
        CanObject *s = restore(streamFor(2008, QStringLiteral("X:\\old\\eds\\moved.eds"), QString(), 0), key);
        QDir::setCurrent(before);
        QVERIFY(s && s->eds);
        QCOMPARE(s->edsFile, QStringLiteral("../eds/moved.eds"));
        QCOMPARE(s->name, QStringLiteral("Slave Test"));
        QCOMPARE(s->pdoList.size(), 1);
        releaseObject(s);
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
    }
    void damaged()
    {
        QFETCH(QByteArray, pdos);
        QFETCH(QByteArray, sdos);
        QFETCH(int, entryCount);
        const QByteArray stream = written([&](QDataStream &s) {
            s << qint8(1) << fixture << qint8(5) << qint32(0) << qint32(0) << qint32(0) << qint32(0) << qint32(1)
              << qint32(2) << qint32(3) << QPoint() << QString() << pdos << sdos << QStringLiteral("Mine") << qint8(0);
        });
        CanObject *s = restore(stream, key);
        QVERIFY(s);
        QTEST(s->pdoList.size(), "pdoCount");
        QTEST(s->sdoList.size(), "sdoCount");
        QCOMPARE(s->pdoList.isEmpty() ? 0 : s->pdoList.at(0).mapList.size(), entryCount);
        QCOMPARE(memoryReservations(key).size(), entryCount);
        releaseObject(s);
    }
};

QTEST_GUILESS_MAIN(tst_ProjectStream)
#include "tst_projectstream.moc"
