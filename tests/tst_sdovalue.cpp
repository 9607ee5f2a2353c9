// SDO values: which texts fit which length, and the bytes each one stores.

#include "plugin/sdovalue.h"

#include <QtTest>

class tst_SdoValue : public QObject
{
    Q_OBJECT

private slots:
    void values_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("bytes"); // null: not looked at
        const struct {
            const char *text;
            int length;
            bool valid;
            const char *hex;
        } rows[] = {
            {"255", 1, true, "ff"}, {"256", 1, false, nullptr}, {"16#FF", 1, true, "ff"}, {"16#100", 1, false, nullptr},
            {"2#1010", 1, true, "0a"}, {"2#111111111", 1, false, nullptr}, {"-128", 1, true, "80"}, {"-129", 1, false, nullptr},
            {"+127", 1, true, "7f"}, {"+128", 1, false, nullptr}, {"1.0", 1, false, "00"}, {"1E3", 1, false, nullptr}, {"1.5", 2, false, nullptr}, {"300", 1, false, "2c"},
            {"65535", 2, true, "ffff"}, {"65536", 2, false, nullptr}, {"-32768", 2, true, "8000"}, {"-32769", 2, false, nullptr},
            {"16#abcd", 2, true, "abcd"}, {"16#10000", 2, false, nullptr}, {"-2", 2, true, "fffe"}, {"abc", 2, false, "0000"},
            {"16#FFFFFF", 3, true, "ffffff"}, {"16777216", 3, false, nullptr}, {"-8388608", 3, true, "800000"},
            {"-8388609", 3, false, nullptr}, {"70000", 3, true, "011170"},
            {"4294967295", 4, true, "ffffffff"}, {"4294967296", 4, false, "00000000"}, {"-2147483648", 4, true, "80000000"},
            {"-2147483649", 4, false, nullptr}, {"+2147483648", 4, false, nullptr}, {"16#100000000", 4, false, nullptr},
            {"2#11111111111111111111111111111111", 4, true, "ffffffff"}, {"16#1A2B", 4, true, "00001a2b"},
            {"1.5", 4, true, "3fc00000"}, {"1E3", 4, true, "447a0000"}, {"1e3", 4, true, "447a0000"},
            {"-2.5E-1", 4, true, "be800000"}, {"0.1", 4, true, "3dcccccd"},
            // Beyond single precision: the largest finite float of that sign.
            {"1E39", 4, true, "7f7fffff"}, {"-1E39", 4, true, "ff7fffff"}, {"1E400", 4, false, nullptr},
            {"1.5.2", 4, false, nullptr}, {"E3", 4, false, nullptr}, {" 12 ", 4, true, "0000000c"},
            {"\t-5  ", 4, true, "fffffffb"}, {"1 2", 4, false, nullptr}, {"", 4, false, "00000000"},
            {"12a", 4, false, nullptr}, {"2#102", 4, false, nullptr}, {"16#", 2, false, nullptr}, {"-", 2, false, nullptr},
            {"16#G", 4, false, nullptr}, {"0x10", 4, false, nullptr}, {"1", 0, true, "00000001"},
            {"1", 5, true, "00000001"}, {"4294967295", 7, true, "ffffffff"},
        };
        for (const auto &row : rows)
            QTest::addRow("%s at %d", row.text, row.length)
                << QString::fromLatin1(row.text) << row.length << row.valid << (row.hex ? QByteArray::fromHex(row.hex) : QByteArray());
    }
    void values()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        QTEST(isSdoValueValid(text, length), "valid");
        QFETCH(QByteArray, bytes);
        if (!bytes.isNull())
            QCOMPARE(sdoValueBytes(text, length), bytes);
    }
};

QTEST_APPLESS_MAIN(tst_SdoValue)
#include "tst_sdovalue.moc"
