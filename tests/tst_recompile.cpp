// Recompile against the EDS as it is now, or without it: every refusal by its
// code, and the host's memory book left as it was before a refused call.

#include "plugin/canobject.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"

#include <QtTest>

namespace {

const QString key = QStringLiteral("station-a");
const QString fixture = QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds");

enum Change {
    None, Empty, OneByte, CutInName, CutBeforeBody, ClosingByteMissing, ByteInBody, ByteBeyondBody, LengthZero,
    LengthZeroByteAppended, CobIdChanged, PdoUnknown, PdoTwice, PdoOverfull, MappedTwice, ReceiveAmongTransmit,
    Unplaced, PlaceTakenBySlave, LaterPlaceTaken,
};

QByteArray blockOf(CanObject &s)
{
    QByteArray block;
    CompileList list;
    compile(&s, block, list);
    return block;
}

// Slaves the host keeps while a test recompiles; released after each test.
QList<CanObject *> otherSlaves;

// The block of the fixture's default slave at node 5, changed as the row says,
// its EDS gone (at a path over 127 bytes) when edsGone; compiled gets the block
// as compile wrote it, held the places the slave held. The slave itself is gone again.
QByteArray blockWith(Change change, bool edsGone, QByteArray *compiled, QList<MemoryReservation> *held)
{
    CanObject *s = createCanObject(nullptr, fixture, 5, key);
    if (!s)
        return QByteArray();
    if (edsGone)
        s->edsFile = QStringLiteral(CANSLAVE_TEST_DATA "/") + QString(140, QLatin1Char('g')) + QStringLiteral(".eds");
    PDOConfig extra = *s->pdo(0x1401);
    QList<PDOMapEntry> &mapped = s->pdo(0x1800)->mapList;
    switch (change) {
    case CobIdChanged: s->pdo(0x1800)->cobIdBase += 1; break;
    case PdoUnknown: extra.commIndex = 0x1803; s->pdoList.append(extra); break;
    case PdoTwice: s->pdoList.insert(2, extra); break;
    case PdoOverfull: s->pdo(0x1802)->mapList << s->pdo(0x1802)->mapList.at(0); s->pdo(0x1802)->mapList.last().subIndex = 9; break;
    case MappedTwice: mapped.append(mapped.at(0)); break;
    case ReceiveAmongTransmit: s->pdo(0x1800)->commIndex = 0x1402; break;
    case Unplaced: releasePlace(key, mapped.last()); mapped.last().offset = -1; break;
    default: break;
    }
    QByteArray block = blockOf(*s);
    *compiled = block;
    *held = memoryReservations(key);
    // The body length: after 0x01, name, path, node, identity, flags and 15 zeros.
    const int at = 1 + 1 + s->name.toLocal8Bit().size() + 1 + s->edsFile.toLocal8Bit().size() + 1 + 16 + 1 + 15;
    const auto setBodyLength = [&](int length) {
        block[at] = char(length >> 8);
        block[at + 1] = char(length);
    };
    const int body = block.size() - at - 2;
    releaseObject(s);
    switch (change) {
    case Empty: return QByteArray();
    case OneByte: return block.left(1);
    case CutInName: return block.left(5);
    case CutBeforeBody: return block.left(at + 1);
    case ClosingByteMissing: block.chop(1); break;
    case ByteInBody: block.append('\0'); setBodyLength(body + 3); break;
    case ByteBeyondBody: block.append('\0'); break;
    case LengthZero: setBodyLength(0); break;
    case LengthZeroByteAppended: block.append('\0'); setBodyLength(0); break;
    case PlaceTakenBySlave: otherSlaves.append(createCanObject(nullptr, fixture, 6, key)); break;
    case LaterPlaceTaken: getMemory(key, VarAreaInput, 6, 1); break; // the last transmit object's place
    default: break;
    }
    return block;
}

} // namespace

class tst_Recompile : public QObject
{
    Q_OBJECT
private slots:
    void init() { clearAllMemory(); resetMemoryAreaSizes(); }
    void cleanup()
    {
        for (CanObject *other : qAsConst(otherSlaves))
            releaseObject(other);
        otherSlaves.clear();
    }

    void codes_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<bool>("edsGone");
        QTest::addColumn<int>("code"); // 0: accepted
        const struct {
            const char *name;
            Change change;
            int code;
        } rows[] = {
            {"unchanged", None, 0}, {"empty", Empty, 1}, {"one byte", OneByte, 1}, {"cut in the name", CutInName, 1},
            {"cut before the body", CutBeforeBody, 1}, {"closing byte missing", ClosingByteMissing, 1},
            {"byte after the closing zeros", ByteInBody, 6},
            // The body length cuts off what lies beyond it; below 2 it keeps all.
            {"byte beyond the body length", ByteBeyondBody, 0}, {"length below 2 keeps all", LengthZero, 0},
            {"length below 2, byte appended", LengthZeroByteAppended, 6}, {"COB-ID changed", CobIdChanged, 5},
            {"PDO the EDS lacks", PdoUnknown, 3}, {"PDO twice", PdoTwice, 3}, {"PDO over 8 bytes", PdoOverfull, 4},
            {"object mapped twice", MappedTwice, 4}, {"object without a place", Unplaced, 0},
            {"places of another slave", PlaceTakenBySlave, 1}, {"a later place taken", LaterPlaceTaken, 1},
        };
        for (const auto &row : rows)
            QTest::newRow(row.name) << int(row.change) << false << row.code;
        // Without the EDS the block is all there is: the slave keeps it whole, and its own checks still refuse.
        QTest::newRow("without EDS, unchanged") << int(None) << true << 128;
        QTest::newRow("without EDS, object mapped twice") << int(MappedTwice) << true << 4;
        QTest::newRow("without EDS, PDO over 8 bytes") << int(PdoOverfull) << true << 4;
        QTest::newRow("without EDS, PDO twice") << int(PdoTwice) << true << 3;
        QTest::newRow("without EDS, receive PDO among the transmit ones") << int(ReceiveAmongTransmit) << true << 3;
    }
    void codes()
    {
        QFETCH(int, change);
        QFETCH(bool, edsGone);
        QFETCH(int, code);
        QByteArray compiled;
        QList<MemoryReservation> held;
        const QByteArray block = blockWith(Change(change), edsGone, &compiled, &held);
        const QList<MemoryReservation> before = memoryReservations(key);
        int result = -7;
        CanObject *s = recompile(block, key, &result);
        QCOMPARE(result, code == 0 ? -7 : code);
        QCOMPARE(s != nullptr, code == 0 || code == 128);
        if (s) {
            QCOMPARE(blockOf(*s).toHex(), compiled.toHex());
            QCOMPARE(memoryReservations(key), held);
            releaseObject(s);
        }
        QCOMPARE(memoryReservations(key), before);
    }

    void placeholder_data()
    {
        QTest::addColumn<quint32>("index");
        QTest::addColumn<quint32>("subIndex");
        QTest::addColumn<quint32>("length");
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint32>("dataType");
        QTest::addColumn<quint32>("byteLength");
        QTest::newRow("1 byte") << 0x6000u << 9u << 1u << "NewPar_6000:9" << 2u << 1u;
        QTest::newRow("2 bytes") << 0x2abcu << 0x1fu << 2u << "NewPar_2ABC:1F" << 3u << 2u;
        QTest::newRow("4 bytes") << 0x6000u << 0x10u << 4u << "NewPar_6000:10" << 4u << 4u;
        QTest::newRow("3 bytes typed as 4") << 0x6000u << 0x11u << 3u << "NewPar_6000:11" << 4u << 4u;
    }
    void placeholder()
    {
        // A mapped object the EDS does not offer keeps its place under a made-up name.
        QFETCH(quint32, index);
        QFETCH(quint32, subIndex);
        QFETCH(quint32, length);
        CanObject *s = createCanObject(nullptr, fixture, 5, key);
        QVERIFY(s);
        s->pdo(0x1400)->mapList.append(PDOMapEntry{index, subIndex, {}, length, 0, false, VarAreaFallback, 100, -1, 1, false});
        const QByteArray block = blockOf(*s);
        releaseObject(s);
        int result = -7;
        CanObject *r = recompile(block, key, &result);
        QCOMPARE(result, -7);
        const PDOMapEntry &back = r->pdo(0x1400)->mapList.at(0);
        QTEST(back.name, "name");
        QTEST(back.dataType, "dataType");
        QTEST(back.byteLength, "byteLength");
        QCOMPARE(qMakePair(back.area, back.offset), qMakePair(qint32(VarAreaFallback), 100));
        releaseObject(r);
    }
};

QTEST_GUILESS_MAIN(tst_Recompile)
#include "tst_recompile.moc"
