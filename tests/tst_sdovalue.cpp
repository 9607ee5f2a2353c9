// SDO values: which texts fit which length, and the bytes each one stores.

#include "plugin/sdovalue.h"

#include <QtTest>

class tst_SdoValue : public QObject
{
    Q_OBJECT

private slots:
    void validity_data();
    void validity();
    void bytes_data();
    void bytes();
};

void tst_SdoValue::validity_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("valid");

    const struct {
        const char *text;
        int length;
        bool valid;
    } rows[] = {
        {"255", 1, true}, {"256", 1, false}, {"16#FF", 1, true}, {"16#ff", 1, true}, {"16#100", 1, false},
        {"2#11111111", 1, true}, {"2#111111111", 1, false}, {"-128", 1, true}, {"-129", 1, false},
        {"+127", 1, true}, {"+128", 1, false}, {"1.0", 1, false}, {"1E3", 1, false}, {"0", 1, true},
        {"65535", 2, true}, {"65536", 2, false}, {"-32768", 2, true}, {"-32769", 2, false},
        {"16#FFFF", 2, true}, {"16#10000", 2, false}, {"1.5", 2, false},
        {"16#FFFFFF", 3, true}, {"16#1000000", 3, false}, {"16777215", 3, true}, {"16777216", 3, false},
        {"-8388608", 3, true}, {"-8388609", 3, false}, {"-1", 3, true},
        {"4294967295", 4, true}, {"4294967296", 4, false}, {"-2147483648", 4, true},
        {"-2147483649", 4, false}, {"+2147483647", 4, true}, {"+2147483648", 4, false},
        {"16#FFFFFFFF", 4, true}, {"16#100000000", 4, false},
        {"2#11111111111111111111111111111111", 4, true}, {"2#111111111111111111111111111111111", 4, false},
        {"1.5", 4, true}, {"1E3", 4, true}, {"1e3", 4, true}, {"-2.5E-1", 4, true}, {"1E39", 4, true},
        {"1E400", 4, false}, {"1.5.2", 4, false}, {"E3", 4, false},
        {" 12 ", 1, true}, {"\t-5  ", 4, true}, {"1 2", 4, false}, {"", 1, false}, {"   ", 4, false},
        {"12a", 4, false}, {"2#102", 4, false}, {"16#", 2, false}, {"2#", 1, false}, {"-", 2, false},
        {"16#G", 4, false}, {"0x10", 4, false}, {"1", 0, true}, {"4294967295", 7, true},
    };
    for (const auto &row : rows)
        QTest::addRow("%s at %d", row.text, row.length) << QString::fromLatin1(row.text) << row.length << row.valid;
}

void tst_SdoValue::validity()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    QTEST(isSdoValueValid(text, length), "valid");
}

void tst_SdoValue::bytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("expected");

    const struct {
        const char *text;
        int length;
        const char *hex;
    } rows[] = {
        {"255", 1, "ff"}, {"-128", 1, "80"}, {"16#FF", 1, "ff"}, {"2#1010", 1, "0a"}, {"-1", 1, "ff"},
        {"+5", 1, "05"},
        // The check never lets these through; read as integers they give 0 or the low byte.
        {"1.0", 1, "00"}, {"300", 1, "2c"},
        {"65535", 2, "ffff"}, {"-32768", 2, "8000"}, {"16#1234", 2, "1234"}, {"16#abcd", 2, "abcd"},
        {"-2", 2, "fffe"}, {"2#1", 2, "0001"}, {"abc", 2, "0000"},
        {"16#FFFFFF", 3, "ffffff"}, {"-1", 3, "ffffff"}, {"70000", 3, "011170"}, {"-8388608", 3, "800000"},
        {"4294967295", 4, "ffffffff"}, {"4294967296", 4, "00000000"}, {"-2147483648", 4, "80000000"},
        {"16#1A2B", 4, "00001a2b"}, {" 12 ", 4, "0000000c"}, {"", 4, "00000000"},
        {"1.5", 4, "3fc00000"}, {"1E3", 4, "447a0000"}, {"1e3", 4, "447a0000"}, {"-2.5", 4, "c0200000"},
        {"0.1", 4, "3dcccccd"}, {"16#1E", 4, "0000001e"},
        // Beyond single precision: the largest finite float of that sign.
        {"1E39", 4, "7f7fffff"}, {"-1E39", 4, "ff7fffff"},
        {"1", 0, "00000001"}, {"1", 5, "00000001"},
    };
    for (const auto &row : rows)
        QTest::addRow("%s at %d", row.text, row.length)
            << QString::fromLatin1(row.text) << row.length << QByteArray::fromHex(row.hex);
}

void tst_SdoValue::bytes()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    QTEST(sdoValueBytes(text, length), "expected");
}

QTEST_APPLESS_MAIN(tst_SdoValue)
#include "tst_sdovalue.moc"
