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
    return hex("01 02") + "IO" + hex("05") + "a.eds" + hex("05 00000001 00000002 00000003 00000004") + char(flags)
        + QByteArray(15, '\0') + char(((bodyLength + 2) >> 8) & 0xFF) + char((bodyLength + 2) & 0xFF);
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

// Inhibit time 20, event timer 100, node 5.
PDOConfig pdoOf(quint32 index, qint32 direction, qint32 relative, quint32 base, quint8 type, QList<PDOMapEntry> entries = {})
{
    return PDOConfig{entries, index, relative, base, direction, 0, type, {}, 20, 100, {}, 5};
}

PDOMapEntry entryOf(quint32 index, quint32 sub, quint32 length, qint32 area, qint32 offset, quint8 clear)
{
    return PDOMapEntry{index, sub, {}, length, 0, false, area, offset, -1, clear, false};
}

QByteArray build(CanObject &s)
{
    QByteArray block;
    CompileList list;
    list.append(&s);
    if (compile(&s, block, list) != 0 || !list.isEmpty())
        return QByteArray("compile result or list wrong");
    return block;
}

} // namespace

Q_DECLARE_METATYPE(QList<PDOConfig>)

class tst_Compile : public QObject
{
    Q_OBJECT
private slots:
    void wholeBlock_data()
    {
        QTest::addColumn<QList<PDOConfig>>("pdos");
        QTest::addColumn<QByteArray>("records"); // counts and PDO records
        QTest::addColumn<quint8>("flags");
        QTest::newRow("empty, all checks off") << QList<PDOConfig>() << hex("00 00") << quint8(0x0F);
        // COB-ID 0x180 + 5, event timer 100, inhibit 20, type 254.
        QTest::newRow("transmit without objects") << QList<PDOConfig>{pdoOf(0x1800, PdoTransmit, 1, 0x180, 254)}
                                                  << hex("01 00 00 1800 00000185 0064 0014 FE 00000000") << quint8(0);
        // Receive PDO, relative 0x200 + 5, two objects; a transmit PDO comes first in the block.
        QTest::newRow("receive relative after transmit")
            << QList<PDOConfig>{pdoOf(0x1400, PdoReceive, 1, 0x200, 1, {entryOf(0x6200, 1, 1, 0x82, 3, 0), entryOf(0x6411, 2, 2, -1, -1, 1)}),
                                pdoOf(0x1801, PdoTransmit, 0, 0x181, 255, {entryOf(0x6000, 1, 1, 0x81, 4, 2)})}
            << hex("01 01 01 6000 01 01 81 0004 1801 00000181 0064 0014 FF 00000000"
                   "02 6200 01 01 82 0003 00 6411 02 02 FF FFFF 01 1400 00000205 01 00000000") << quint8(0x01);
        // Bit 31 is never written; a PDO outside both ranges is neither written nor counted.
        QTest::newRow("bit 31 cleared, odd index skipped")
            << QList<PDOConfig>{pdoOf(0x1401, PdoReceive, 0, 0x80000301u, 255), pdoOf(0x1600, PdoReceive, 0, 0x401, 0)}
            << hex("00 01 00 1401 00000301 FF 00000000") << quint8(0);
        // The index picks the list, the direction the fields: no timers, a clear byte per object.
        QTest::newRow("direction picks the fields")
            << QList<PDOConfig>{pdoOf(0x1800, PdoReceive, 1, 0x180, 254, {entryOf(0x6000, 1, 1, 0x81, 4, 1)})}
            << hex("01 00 01 6000 01 01 81 0004 01 1800 00000185 FE 00000000") << quint8(0);
    }
    void wholeBlock()
    {
        QFETCH(QByteArray, records);
        QFETCH(quint8, flags);
        CanObject s = baseSlave();
        s.setCheckFlags(flags);
        QFETCH(QList<PDOConfig>, pdos);
        s.pdoList = pdos;
        const QByteArray body = hex(timesHex) + records + hex("00") + QByteArray(16, '\0');
        QCOMPARE(build(s).toHex(' '), (headerFor(flags, body.size()) + body).toHex(' '));
    }

    void sdoPaddingStaysAndRepeats()
    {
        CanObject s = baseSlave();
        s.sdoList << SDOEntry{0x2000, 1, 1, hex("7F"), {}, {}} << SDOEntry{0x2001, 1, 2, hex("1234"), {}, {}}
                  << SDOEntry{0x2002, 1, 4, hex("11223344 55"), {}, {}};
        const QByteArray body = hex(timesHex) + hex("00 00 03 2000 01 01 7F000000 2001 01 02 34120000 2002 01 04 44332211")
            + QByteArray(16, '\0');
        const QByteArray first = build(s);
        QCOMPARE(first.toHex(' '), (headerFor(0, body.size()) + body).toHex(' '));
        QCOMPARE(s.sdoList.at(0).data, hex("0000007F"));
        QCOMPARE(s.sdoList.at(1).data, hex("00001234"));
        QCOMPARE(s.sdoList.at(2).data, hex("11223344 55"));
        QCOMPARE(build(s), first);
    }

    void countsWrap()
    {
        // 257 transmit PDOs without objects: the count byte reads 1, all 257 records are there.
        CanObject s = baseSlave();
        for (quint32 i = 0; i < 257; ++i)
            s.pdoList.append(pdoOf(0x1800 + i, PdoTransmit, 0, 0x100 + i, 0));
        for (int i = 0; i < 256; ++i)
            s.sdoList.append(SDOEntry{0, 0, 0, hex("00000000"), {}, {}});
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

    void longNameCutAtCharacter()
    {
        CanObject s = baseSlave();
        s.name = QString(256, QLatin1Char('n'));
        s.edsFile = QString(300, QLatin1Char('p'));
        QCOMPARE(build(s).left(514), hex("01 FF") + QByteArray(255, 'n') + hex("FF") + QByteArray(255, 'p') + hex("05"));
        // Characters beyond 16 bits are never cut in half: the last whole one ends at byte 255 here.
        s.name = QLatin1Char('x') + QString::fromUtf8("\xF0\x9F\x98\x80" "a").repeated(200);
        const QByteArray block = build(s);
        const int n = quint8(block.at(1));
        QCOMPARE(n, 255);
        QCOMPARE(block.mid(2, n), s.name.toLocal8Bit().left(n));
        QCOMPARE(quint8(block.at(2 + n)), quint8(255));
        s.name = QString(200, QChar(0x00E9));
        const int width = s.name.toLocal8Bit().size() / 200;
        QCOMPARE(int(quint8(build(s).at(1))), 255 / width * width);
    }

    void nullSlave()
    {
        QByteArray block("old");
        int dummy = 0;
        CompileList list{&dummy};
        QCOMPARE(compile(nullptr, block, list), -1);
        QVERIFY(block.isEmpty() && list.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_Compile)
#include "tst_compile.moc"
