#include "eds/slavefromeds.h"
#include "plugin/canobject.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"

#include <QtTest>

namespace {

const QString key = QStringLiteral("station-a");

QString fixture()
{
    return QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds");
}

// "index/sub@area:offset" per entry, "ro" appended for read-only ones.
QStringList describe(const PDOConfig &pdo)
{
    QStringList out;
    for (const PDOMapEntry &e : pdo.mapList)
        out << QStringLiteral("%1/%2@%3:%4%5")
                   .arg(e.index, 0, 16)
                   .arg(e.subIndex)
                   .arg(e.area, 0, 16)
                   .arg(e.offset)
                   .arg(e.readOnly ? QStringLiteral(" ro") : QString());
    return out;
}

} // namespace

class tst_SlaveFromEds : public QObject
{
    Q_OBJECT
private slots:
    void init() { clearAllMemory(); resetMemoryAreaSizes(); }
    void loadFillsSlave();
    void loadKeepsNameAndFailsCleanly();
    void defaultPdos_data();
    void defaultPdos();
    void secondSlaveOnSameStation();
};

void tst_SlaveFromEds::loadFillsSlave()
{
    CanObject s(5);
    QCOMPARE(loadEdsIntoSlave(s, fixture()), 1);
    QCOMPARE(s.name, QStringLiteral("Slave Test"));
    QCOMPARE(s.vendorId, 0x11u);
    QCOMPARE(s.productCode, 0x22u);
    QCOMPARE(s.revisionNumber, 0x33u);
    QCOMPARE(s.deviceType, 0x191u);
    QCOMPARE(s.emcyCobId(), 0x85u);
    QStringList offered;
    for (const EdsPdoEntry &p : s.edsPdoList)
        offered << QString::number(p.index, 16) + QLatin1Char(p.cobIdBase < 0 ? '-' : '+');
    QCOMPARE(offered, (QStringList{"1400+", "1401+", "1800+", "1801-", "1802+"}));
    QVERIFY(s.pdoList.isEmpty());
}

void tst_SlaveFromEds::loadKeepsNameAndFailsCleanly()
{
    CanObject s(5);
    s.name = QStringLiteral("Mine");
    s.edsFile = QStringLiteral("old.eds");
    QCOMPARE(loadEdsIntoSlave(s, QString()), 0);
    QCOMPARE(loadEdsIntoSlave(s, QStringLiteral(CANSLAVE_TEST_DATA "/slave-missing.eds")), 0);
    QCOMPARE(s.edsFile, QStringLiteral("old.eds"));
    QVERIFY(!s.eds);
    QCOMPARE(loadEdsIntoSlave(s, fixture()), 1);
    QCOMPARE(s.name, QStringLiteral("Mine"));
    QVERIFY(!createCanObject(nullptr, QString(), 5, key));
    QVERIFY(memoryReservations(key).isEmpty());
    CanObject *wide = createCanObject(nullptr, fixture(), 300, key);
    QVERIFY(wide);
    QCOMPARE(getNodeId(wide), 44);
    QCOMPARE(CanObject::effectiveCobId(*wide->pdo(0x1800)), 0x180u + 44);
    releaseObject(wide);
}

void tst_SlaveFromEds::defaultPdos_data()
{
    QTest::addColumn<int>("outputSize");
    QTest::addColumn<int>("fallbackSize");
    QTest::addColumn<QStringList>("pdos");
    QTest::addColumn<QStringList>("receive2");
    QTest::addColumn<QStringList>("transmit1");
    QTest::addColumn<QStringList>("transmit3");

    const QStringList t1{"6000/1@81:0 ro", "6001/1@81:1 ro"};
    // 0x2000 is not mappable, 6100/3 and 6000/1 no longer fit into 8 bytes.
    const QStringList t3{"6100/1@81:2", "6100/2@81:6"};
    QTest::newRow("plenty of memory") << 512 << 4096 << QStringList{"1400", "1401", "1800", "1802"}
                                      << QStringList{"6200/1@82:0", "6200/2@82:1"} << t1 << t3;
    QTest::newRow("output into fallback") << 1 << 4096 << QStringList{"1400", "1401", "1800", "1802"}
                                          << QStringList{"6200/1@82:0", "6200/2@84:0"} << t1 << t3;
    QTest::newRow("memory runs out mid-PDO") << 1 << 0 << QStringList{"1400", "1401", "1800", "1802"}
                                             << QStringList{"6200/1@82:0"} << t1 << t3;
}

void tst_SlaveFromEds::defaultPdos()
{
    QFETCH(int, outputSize);
    QFETCH(int, fallbackSize);
    setMemoryAreaSize(VarAreaOutput, outputSize);
    setMemoryAreaSize(VarAreaFallback, fallbackSize);
    CanObject *s = createCanObject(nullptr, fixture(), 5, key);
    QVERIFY(s);
    QStringList pdos;
    for (const PDOConfig &p : s->pdoList)
        pdos << QString::number(p.commIndex, 16);
    QTEST(pdos, "pdos");
    QVERIFY(s->pdo(0x1400)->mapList.isEmpty());
    QTEST(describe(*s->pdo(0x1401)), "receive2");
    QTEST(describe(*s->pdo(0x1800)), "transmit1");
    QTEST(describe(*s->pdo(0x1802)), "transmit3");
    QCOMPARE(CanObject::effectiveCobId(*s->pdo(0x1800)), 0x185u);
    QCOMPARE(CanObject::effectiveCobId(*s->pdo(0x1401)), 0x305u);
    releaseObject(s);
    QVERIFY(memoryReservations(key).isEmpty());
}

void tst_SlaveFromEds::secondSlaveOnSameStation()
{
    CanObject *first = createCanObject(nullptr, fixture(), 5, key);
    CanObject *second = createCanObject(nullptr, fixture(), 6, key);
    CanObject *elsewhere = createCanObject(nullptr, fixture(), 6, QStringLiteral("station-b"));
    QVERIFY(first && second && elsewhere);
    QCOMPARE(describe(*second->pdo(0x1800)), (QStringList{"6000/1@81:10 ro", "6001/1@81:11 ro"}));
    QCOMPARE(describe(*second->pdo(0x1401)), (QStringList{"6200/1@82:2", "6200/2@82:3"}));
    QCOMPARE(describe(*elsewhere->pdo(0x1800)), (QStringList{"6000/1@81:0 ro", "6001/1@81:1 ro"}));
    releaseObject(first);
    releaseObject(second);
    releaseObject(elsewhere);
}

QTEST_GUILESS_MAIN(tst_SlaveFromEds)
#include "tst_slavefromeds.moc"
