#include "plugin/canobject.h"
#include "plugin/canslave.h"

#include <QtTest>

// Blocks here are written out from the block layout, byte by byte.
namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Opening of every block for a slave named "IO", EDS path "a.eds", node 5,
// identity 1/2/3/4 (vendor, device type, product, revision).
QByteArray headerFor(quint8 flags, int bodyLength)
{
    QByteArray h = hex("01 02") + "IO" + hex("05") + "a.eds" + hex("05");
    h += hex("00000001 00000002 00000003 00000004");
    h += char(flags);
    h += QByteArray(15, '\0');
    h += char(((bodyLength + 2) >> 8) & 0xFF);
    h += char((bodyLength + 2) & 0xFF);
    return h;
}

CanObject baseSlave()
{
    CanObject s(5);
    s.name = QStringLiteral("IO");
    s.edsFile = QStringLiteral("a.eds");
    s.vendorId = 1;
    s.deviceType = 2;
    s.productCode = 3;
    s.revisionNumber = 4;
    return s;
}

// Times 1200/2400/1000 as the model's defaults give them.
const char *timesHex = "04B0 0960 0000 03E8 00000000";

PDOConfig pdoOf(quint32 index, qint32 direction, qint32 relative, quint32 base)
{
    PDOConfig p;
    p.commIndex = index;
    p.direction = direction;
    p.cobIdRelative = relative;
    p.cobIdBase = base;
    p.nodeId = 5;
    return p;
}

PDOMapEntry entryOf(quint32 index, quint32 sub, quint32 length, qint32 area, qint32 offset, quint8 clear)
{
    PDOMapEntry e;
    e.index = index;
    e.subIndex = sub;
    e.byteLength = length;
    e.area = area;
    e.offset = offset;
    e.clearWhenStop = clear;
    return e;
}

QByteArray build(CanObject &s)
{
    QByteArray block;
    CompileList list;
    list.append(&s);
    const int result = compile(&s, block, list);
    if (result != 0 || !list.isEmpty())
        return QByteArray("compile result or list wrong");
    return block;
}

} // namespace

class tst_Compile : public QObject
{
    Q_OBJECT
private slots:
    void wholeBlock_data();
    void wholeBlock();
    void sdoPaddingStaysAndRepeats();
    void countsWrap();
    void longNameCutAtCharacter();
    void nullSlave();
};

void tst_Compile::wholeBlock_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("records"); // counts and PDO records
    QTest::addColumn<quint8>("flags");
    QTest::newRow("empty, all checks off") << 0 << hex("00 00") << quint8(0x0F);
    // 0x1800, COB-ID 0x180 + 5, event timer 100, inhibit 20, type 254.
    QTest::newRow("transmit without objects") << 3 << hex("01 00 00 1800 00000185 0064 0014 FE 00000000") << quint8(0);
    // Receive PDO, relative 0x200 + 5, two objects; a transmit PDO comes first in the block.
    QTest::newRow("receive relative after transmit")
        << 4 << hex("01 01 01 6000 01 01 81 0004 1801 00000181 0000 0000 FF 00000000"
                    "02 6200 01 01 82 0003 00 6411 02 02 FF FFFF 01 1400 00000205 01 00000000") << quint8(0x01);
    // Bit 31 is never written; a PDO outside both ranges is neither written nor counted.
    QTest::newRow("bit 31 cleared, odd index skipped") << 5 << hex("00 01 00 1401 00000301 FF 00000000") << quint8(0);
    // The index picks the list, the direction the fields: no timers, a clear byte per object.
    QTest::newRow("direction picks the fields") << 6 << hex("01 00 01 6000 01 01 81 0004 01 1800 00000185 FE 00000000")
                                                << quint8(0);
}

void tst_Compile::wholeBlock()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, records);
    QFETCH(quint8, flags);
    CanObject s = baseSlave();
    s.setCheckFlags(flags);
    if (kind == 3 || kind == 6) {
        PDOConfig t = pdoOf(0x1800, kind == 3 ? PdoTransmit : PdoReceive, 1, 0x180);
        t.eventTimer = 100;
        t.inhibitTime = 20;
        t.transmissionType = 254;
        if (kind == 6)
            t.mapList.append(entryOf(0x6000, 1, 1, 0x81, 4, 1));
        s.pdoList.append(t);
    } else if (kind == 4) {
        PDOConfig r = pdoOf(0x1400, PdoReceive, 1, 0x200);
        r.transmissionType = 1;
        r.mapList << entryOf(0x6200, 1, 1, 0x82, 3, 0) << entryOf(0x6411, 2, 2, -1, -1, 1);
        PDOConfig t = pdoOf(0x1801, PdoTransmit, 0, 0x181);
        t.transmissionType = 255;
        t.mapList.append(entryOf(0x6000, 1, 1, 0x81, 4, 2));
        s.pdoList << r << t;
    } else if (kind == 5) {
        PDOConfig r = pdoOf(0x1401, PdoReceive, 0, 0x80000301u);
        r.transmissionType = 255;
        s.pdoList << r << pdoOf(0x1600, PdoReceive, 0, 0x401);
    }
    const QByteArray body = hex(timesHex) + records + hex("00") + QByteArray(16, '\0');
    QCOMPARE(build(s).toHex(' '), (headerFor(flags, body.size()) + body).toHex(' '));
}

void tst_Compile::sdoPaddingStaysAndRepeats()
{
    CanObject s = baseSlave();
    SDOEntry one;
    one.index = 0x2000;
    one.subIndex = 1;
    one.length = 1;
    one.data = hex("7F");
    SDOEntry two = one;
    two.index = 0x2001;
    two.length = 2;
    two.data = hex("1234");
    SDOEntry four = one;
    four.index = 0x2002;
    four.length = 4;
    four.data = hex("11223344 55");
    s.sdoList << one << two << four;

    const QByteArray body = hex(timesHex) + hex("00 00 03") + hex("2000 01 01 7F000000")
                            + hex("2001 01 02 34120000") + hex("2002 01 04 44332211") + QByteArray(16, '\0');
    const QByteArray expected = headerFor(0, body.size()) + body;
    const QByteArray first = build(s);
    QCOMPARE(first.toHex(' '), expected.toHex(' '));
    QCOMPARE(s.sdoList.at(0).data, hex("0000007F"));
    QCOMPARE(s.sdoList.at(1).data, hex("00001234"));
    QCOMPARE(s.sdoList.at(2).data, hex("11223344 55"));
    QCOMPARE(build(s), first);
}

void tst_Compile::countsWrap()
{
    // 257 transmit PDOs without objects: the count byte reads 1, all 257 records are there.
    CanObject s = baseSlave();
    for (quint32 i = 0; i < 257; ++i)
        s.pdoList.append(pdoOf(0x1800 + i, PdoTransmit, 0, 0x100 + i));
    SDOEntry sdo;
    sdo.data = hex("00000000");
    for (int i = 0; i < 256; ++i)
        s.sdoList.append(sdo);
    const QByteArray block = build(s);
    const int bodyStart = 1 + 1 + 2 + 1 + 5 + 1 + 16 + 1 + 15 + 2;
    QCOMPARE(block.mid(bodyStart + 12, 2), hex("01 00"));
    const int sdoCountAt = bodyStart + 14 + 257 * 16;
    QCOMPARE(quint8(block.at(sdoCountAt)), quint8(0));
    QCOMPARE(block.size(), sdoCountAt + 1 + 256 * 8 + 16);
    // 0x1800 + 256 = 0x1900 is the last record's index.
    QCOMPARE(block.mid(sdoCountAt - 15, 2), hex("1900"));
    const int length = (quint8(block.at(bodyStart - 2)) << 8) | quint8(block.at(bodyStart - 1));
    QCOMPARE(length & 0xFFFF, (block.size() - bodyStart + 2) & 0xFFFF);
}

void tst_Compile::longNameCutAtCharacter()
{
    CanObject s = baseSlave();
    s.name = QString(256, QLatin1Char('n'));
    s.edsFile = QString(300, QLatin1Char('p'));
    QCOMPARE(build(s).left(514), hex("01 FF") + QByteArray(255, 'n') + hex("FF") + QByteArray(255, 'p') + hex("05"));
    // Characters beyond 16 bits are never cut in half: the last whole one ends at byte 255 here.
    s.name = QLatin1Char('x') + QString::fromUtf8("\xF0\x9F\x98\x80" "a").repeated(200);
    const QByteArray block = build(s);
    const QByteArray name = s.name.toLocal8Bit();
    const int n = quint8(block.at(1));
    QCOMPARE(n, 255);
    QCOMPARE(block.mid(2, n), name.left(n));
    QCOMPARE(quint8(block.at(2 + n)), quint8(255));
    s.name = QString(200, QChar(0x00E9));
    const int width = s.name.toLocal8Bit().size() / 200;
    QCOMPARE(int(quint8(build(s).at(1))), 255 / width * width);
}

void tst_Compile::nullSlave()
{
    QByteArray block("old");
    int dummy = 0;
    CompileList list;
    list.append(&dummy);
    QCOMPARE(compile(nullptr, block, list), -1);
    QVERIFY(block.isEmpty());
    QVERIFY(list.isEmpty());
}

QTEST_GUILESS_MAIN(tst_Compile)
#include "tst_compile.moc"
