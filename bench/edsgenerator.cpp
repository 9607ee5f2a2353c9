#include "edsgenerator.h"

#include <QList>

#include <random>

namespace {

class EdsWriter
{
public:
    explicit EdsWriter(quint32 seed) : m_random(seed) {}

    QByteArray text;

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    void line(const char *key, const QByteArray &value)
    {
        text += key;
        text += '=';
        text += value;
        text += '\n';
    }

    static QByteArray hex(quint32 value, int width = 0)
    {
        return "0x" + QByteArray::number(value, 16).toUpper().rightJustified(width, '0');
    }

    // Values in each of the number syntaxes EDS files use.
    QByteArray anyNumber(quint32 value)
    {
        switch (pick(0, 4)) {
        case 0:
            return QByteArray::number(value);
        case 1:
            return hex(value);
        case 2:
            return QByteArray::number(value, 16) + 'h';
        case 3:
            return '0' + QByteArray::number(value, 8);
        default:
            return hex(value, 8);
        }
    }

    void head(const QByteArray &name)
    {
        text += '[';
        text += name;
        text += "]\n";
    }

    void entry(const QByteArray &section, const QByteArray &name, int objectType, int dataType,
               const char *access, const QByteArray &defaultValue, bool mappable, int subNumber = -1)
    {
        head(section);
        line("ParameterName", name);
        if (subNumber >= 0)
            line("SubNumber", QByteArray::number(subNumber));
        line("ObjectType", hex(quint32(objectType)));
        if (dataType > 0) {
            line("DataType", hex(quint32(dataType), 4));
            line("AccessType", access);
            line("DefaultValue", defaultValue);
            line("PDOMapping", mappable ? "1" : "0");
            if (pick(0, 3) == 0) {
                line("LowLimit", QByteArray::number(-pick(0, 1000)));
                line("HighLimit", anyNumber(quint32(pick(1000, 30000))));
            }
        }
        text += '\n';
    }

    static QByteArray indexName(int index) { return QByteArray::number(index, 16).toUpper().rightJustified(4, '0'); }
    static QByteArray subName(int index, int sub) { return indexName(index) + "sub" + QByteArray::number(sub, 16).toUpper(); }

    void pdo(int communication, int mapping, int n, bool transmit)
    {
        const QByteArray kind = transmit ? "transmit" : "receive";
        entry(indexName(communication), QByteArray::number(n + 1) + "st " + kind + " PDO parameter", 9, 0, "", "", false, 3);
        entry(subName(communication, 0), "Highest sub-index supported", 7, 5, "ro", "2", false);
        const quint32 base = transmit ? 0x180 + 0x100 * quint32(n) : 0x200 + 0x100 * quint32(n);
        entry(subName(communication, 1), "COB-ID used by PDO", 7, 7, "rw",
              n < 4 ? "$NODEID+" + hex(base) : hex(0x80000000u | base), false);
        entry(subName(communication, 2), "Transmission type", 7, 5, "rw", QByteArray::number(pick(0, 1) ? 255 : 1), false);
        const int mapped = pick(0, 4);
        entry(indexName(mapping), QByteArray::number(n + 1) + "st " + kind + " PDO mapping", 9, 0, "", "", false, mapped + 1);
        entry(subName(mapping, 0), "Number of mapped objects", 7, 5, "rw", QByteArray::number(mapped), false);
        for (int s = 1; s <= mapped; ++s)
            entry(subName(mapping, s), "Mapped object " + QByteArray::number(s), 7, 7, "rw",
                  hex(mappedObjectIndex << 16 | quint32(s + n) << 8 | 8u, 8), false);
    }

    // Default mappings point at this array of bytes, which every file has.
    static constexpr quint32 mappedObjectIndex = 0x2000;

    void mappedObject()
    {
        entry(indexName(int(mappedObjectIndex)), "Digital bytes", 8, 0, "", "", false, 17);
        entry(subName(int(mappedObjectIndex), 0), "Highest sub-index supported", 7, 5, "ro", "16", false);
        for (int s = 1; s <= 16; ++s)
            entry(subName(int(mappedObjectIndex), s), "Digital byte " + QByteArray::number(s), 7, 5, "rw", "0", true);
    }

    void header(int pdos)
    {
        text += "; generated for reader benchmarks\n";
        head("FileInfo");
        line("FileName", "generated.eds");
        line("FileVersion", "1");
        line("FileRevision", "2");
        line("EDSVersion", "4.0");
        line("Description", "Generated device for load benchmarks");
        line("CreationTime", "09:00AM");
        line("CreationDate", "12-07-2026");
        line("CreatedBy", "canslave bench");
        text += '\n';
        head("DeviceInfo");
        line("VendorName", "Bench Devices");
        line("VendorNumber", "0x00000F00");
        line("ProductName", "Generated I/O");
        line("ProductNumber", "0x1234");
        line("RevisionNumber", "0x00010002");
        line("OrderCode", "GEN-1");
        for (const char *rate : {"BaudRate_10", "BaudRate_20", "BaudRate_50", "BaudRate_125", "BaudRate_250",
                                 "BaudRate_500", "BaudRate_800", "BaudRate_1000"})
            line(rate, "1");
        line("SimpleBootUpMaster", "0");
        line("SimpleBootUpSlave", "1");
        line("Granularity", "8");
        line("DynamicChannelsSupported", "0");
        line("GroupMessaging", "0");
        line("NrOfRXPDO", QByteArray::number(pdos));
        line("NrOfTXPDO", QByteArray::number(pdos));
        line("LSS_Supported", "0");
        text += '\n';
        head("DummyUsage");
        for (int i = 1; i <= 7; ++i)
            line(("Dummy000" + QByteArray::number(i)).constData(), i == 5 || i == 6 || i == 7 ? "1" : "0");
        text += '\n';
        head("Comments");
        line("Lines", "2");
        line("Line1", "Generated file");
        line("Line2", "Do not use for real devices");
        text += '\n';
        head("MandatoryObjects");
        line("SupportedObjects", "3");
        line("1", "0x1000");
        line("2", "0x1001");
        line("3", "0x1018");
        text += '\n';
        entry("1000", "Device type", 7, 7, "ro", "0x00030191", false);
        entry("1001", "Error register", 7, 5, "ro", "0", true);
        entry("1014", "COB-ID EMCY", 7, 7, "rw", "$NODEID+0x80", false);
        entry("1018", "Identity", 9, 0, "", "", false, 4);
        entry("1018sub0", "Number of entries", 7, 5, "ro", "3", false);
        entry("1018sub1", "Vendor-ID", 7, 7, "ro", "0x00000F00", false);
        entry("1018sub2", "Product code", 7, 7, "ro", "0x1234", false);
        entry("1018sub3", "Revision number", 7, 7, "ro", "0x00010002", false);
        for (int n = 0; n < pdos; ++n)
            pdo(0x1400 + n, 0x1600 + n, n, false);
        for (int n = 0; n < pdos; ++n)
            pdo(0x1800 + n, 0x1A00 + n, n, true);
    }

    // Files beyond the index range of ordinary ones get their size from larger arrays.
    int maxSubs = 12;

    void applicationObject(int index)
    {
        static const int dataTypes[] = {1, 2, 3, 4, 5, 6, 7, 8};
        const int dataType = dataTypes[pick(0, 7)];
        const QByteArray name = "Application value " + indexName(index);
        const char *access = pick(0, 1) ? "rw" : "ro";
        const int kind = pick(0, 19);
        if (kind < 8) { // VAR
            entry(indexName(index), name, 7, dataType, access, anyNumber(quint32(pick(0, 100))), pick(0, 1));
        } else if (kind < 17) { // ARRAY or RECORD
            const int subs = pick(4, maxSubs);
            const bool record = kind >= 15;
            entry(indexName(index), name, record ? 9 : 8, 0, "", "", false, subs + 1);
            entry(subName(index, 0), "Highest sub-index supported", 7, 5, "ro", QByteArray::number(subs), false);
            for (int s = 1; s <= subs; ++s) {
                const int type = record ? dataTypes[pick(0, 7)] : dataType;
                const QByteArray value = pick(0, 9) == 0 ? "-" + QByteArray::number(pick(1, 500)) : anyNumber(quint32(pick(0, 65535)));
                entry(subName(index, s), name + " " + QByteArray::number(s), 7, type, access, value, pick(0, 2) != 0);
            }
        } else { // CompactSubObj array with a name section
            const int subs = pick(2, 16);
            head(indexName(index));
            line("ParameterName", name);
            line("ObjectType", "0x8");
            line("DataType", hex(quint32(dataType), 4));
            line("AccessType", access);
            line("DefaultValue", "0");
            line("PDOMapping", "1");
            line("CompactSubObj", QByteArray::number(subs));
            text += '\n';
            head(indexName(index) + "Name");
            line("NrOfEntries", QByteArray::number(subs / 2));
            for (int s = 1; s <= subs / 2; ++s)
                line(QByteArray::number(s).constData(), "Channel " + QByteArray::number(s));
            text += '\n';
        }
    }

private:
    std::mt19937 m_random;
};

} // namespace

QByteArray generateEds(qint64 approxBytes, quint32 seed)
{
    EdsWriter writer(seed);
    if (approxBytes > 12 * 1000 * 1000)
        writer.maxSubs = 254;
    writer.text.reserve(int(qMin<qint64>(approxBytes + 4096, 512 * 1024 * 1024)));
    writer.header(8);
    writer.mappedObject();
    // Manufacturer objects, then profile objects, in ascending index order.
    int index = 0x2001;
    QList<int> listed;
    while (writer.text.size() < approxBytes && index <= 0x9FFF) {
        writer.applicationObject(index);
        listed.append(index);
        index += writer.pick(1, 2);
        if (index > 0x5FFF && index < 0x6000)
            index = 0x6000;
    }
    writer.head("ManufacturerObjects");
    writer.line("SupportedObjects", QByteArray::number(listed.size()));
    for (int i = 0; i < listed.size(); ++i)
        writer.line(QByteArray::number(i + 1).constData(), EdsWriter::hex(quint32(listed.at(i))));
    return writer.text;
}
