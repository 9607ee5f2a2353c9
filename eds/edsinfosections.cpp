// [FileInfo], [DeviceInfo] and [DummyUsage]: plain key tables.
#include "eds/edsnumber.h"
#include "eds/edsreader.h"

namespace {

// A number of a key line is converted with the reader at hand, so that a value
// that is no number can be diagnosed.
struct KeyLine {
    EdsReader &reader;
    const EdsLine &line;
    QStringView value;
};

template<typename Record>
struct KeyField {
    QLatin1String key;
    void (*assign)(Record &record, const KeyLine &line);
};

template<typename Record, size_t N>
bool assignKey(const KeyField<Record> (&table)[N], Record &record, QStringView key, const KeyLine &line)
{
    for (const KeyField<Record> &field : table) {
        if (equalsIgnoringCase(key, field.key)) {
            field.assign(record, line);
            return true;
        }
    }
    return false;
}

#define TEXT_FIELD(Record, key, member) \
    {QLatin1String(key), [](Record &r, const KeyLine &l) { r.member = l.value.toString(); }}
#define NUMBER_FIELD(Record, key, member) \
    {QLatin1String(key), [](Record &r, const KeyLine &l) { r.member = decltype(r.member)(unsignedValue(l.reader, l.line, l.value)); }}
#define FLAG_FIELD(Record, key, member) \
    {QLatin1String(key), [](Record &r, const KeyLine &l) { r.member = isTrueValue(l.value); }}
#define IGNORED_FIELD(Record, key) \
    {QLatin1String(key), [](Record &, const KeyLine &) {}}

const KeyField<EdsFileInfo> fileInfoKeys[] = {
    TEXT_FIELD(EdsFileInfo, "FileName", fileName),
    NUMBER_FIELD(EdsFileInfo, "fileVersion", fileVersion),
    NUMBER_FIELD(EdsFileInfo, "fileRevision", fileRevision),
    TEXT_FIELD(EdsFileInfo, "EDSVersion", edsVersion),
    TEXT_FIELD(EdsFileInfo, "Description", description),
    TEXT_FIELD(EdsFileInfo, "CreationTime", creationTime),
    TEXT_FIELD(EdsFileInfo, "CreationDate", creationDate),
    TEXT_FIELD(EdsFileInfo, "createdBy", createdBy),
    TEXT_FIELD(EdsFileInfo, "ModificationTime", modificationTime),
    TEXT_FIELD(EdsFileInfo, "ModificationDate", modificationDate),
    TEXT_FIELD(EdsFileInfo, "ModifiedBy", modifiedBy),
    // A DCF names the EDS it was made from.
    IGNORED_FIELD(EdsFileInfo, "LastEDS"),
};

const KeyField<EdsDeviceInfo> deviceInfoKeys[] = {
    TEXT_FIELD(EdsDeviceInfo, "vendorName", vendorName),
    TEXT_FIELD(EdsDeviceInfo, "productName", productName),
    NUMBER_FIELD(EdsDeviceInfo, "vendorNumber", vendorNumber),
    NUMBER_FIELD(EdsDeviceInfo, "productNumber", productNumber),
    NUMBER_FIELD(EdsDeviceInfo, "revisionNumber", revisionNumber),
    TEXT_FIELD(EdsDeviceInfo, "orderCode", orderCode),
    FLAG_FIELD(EdsDeviceInfo, "baudRate_10", baudRate10),
    FLAG_FIELD(EdsDeviceInfo, "baudRate_20", baudRate20),
    FLAG_FIELD(EdsDeviceInfo, "baudRate_50", baudRate50),
    FLAG_FIELD(EdsDeviceInfo, "baudRate_125", baudRate125),
    FLAG_FIELD(EdsDeviceInfo, "baudRate_250", baudRate250),
    FLAG_FIELD(EdsDeviceInfo, "baudRate_500", baudRate500),
    FLAG_FIELD(EdsDeviceInfo, "baudRate_800", baudRate800),
    FLAG_FIELD(EdsDeviceInfo, "baudRate_1000", baudRate1000),
    FLAG_FIELD(EdsDeviceInfo, "simpleBootUpMaster", simpleBootUpMaster),
    FLAG_FIELD(EdsDeviceInfo, "simpleBootUpSlave", simpleBootUpSlave),
    NUMBER_FIELD(EdsDeviceInfo, "granularity", granularity),
    NUMBER_FIELD(EdsDeviceInfo, "dynamicChannelsSupported", dynamicChannelsSupported),
    FLAG_FIELD(EdsDeviceInfo, "groupMessaging", groupMessaging),
    NUMBER_FIELD(EdsDeviceInfo, "nrOfRXPDO", nrOfRXPDO),
    NUMBER_FIELD(EdsDeviceInfo, "nrOfTXPDO", nrOfTXPDO),
    FLAG_FIELD(EdsDeviceInfo, "lss_Supported", lssSupported),
    NUMBER_FIELD(EdsDeviceInfo, "compactPDO", compactPDO),
};

#undef TEXT_FIELD
#undef NUMBER_FIELD
#undef FLAG_FIELD
#undef IGNORED_FIELD

// Every line of the section fills the record through the table; unknownKey
// composes the diagnostic of a key the table lacks.
template<typename Record, size_t N, typename UnknownText>
void readKeyTableSection(EdsReader &reader, const KeyField<Record> (&table)[N], Record &record,
                         UnknownText unknownKey)
{
    readSectionLines(reader, [&](const EdsLine &line) {
        const EdsKeyValue kv = reader.splitKeyValue(line);
        if (!assignKey(table, record, kv.key, KeyLine{reader, line, kv.value}))
            reader.diagnose(unknownKey(kv.key), line.number);
    });
}

} // namespace

void readFileInfoSection(EdsReader &reader)
{
    readKeyTableSection(reader, fileInfoKeys, reader.file.fileInfo, [](QStringView key) {
        return QStringLiteral("Unknown lineName: %1").arg(key);
    });
}

void readDeviceInfoSection(EdsReader &reader)
{
    readKeyTableSection(reader, deviceInfoKeys, reader.file.deviceInfo,
                        [](QStringView key) { return QStringLiteral("Unknown name: %1").arg(key); });
}

void readCommissioningSection(EdsReader &reader)
{
    readSectionLines(reader, [&](const EdsLine &line) {
        const EdsKeyValue kv = reader.splitKeyValue(line);
        // The node the DCF was written for; the host decides the slave's own.
        // Name, bit rate and the rest are the host's business as well.
        if (!equalsIgnoringCase(kv.key, QLatin1String("NodeID")))
            return;
        const auto node = unsignedNumber(withoutValueComment(kv.value));
        if (node && *node >= 1 && *node <= 127)
            reader.file.commissionedNodeId = int(*node);
    });
}

void readDummyUsageSection(EdsReader &reader)
{
    static const char *const keys[] = {"dummy0001", "dummy0002", "dummy0003", "dummy0004",
                                       "dummy0005", "dummy0006", "dummy0007"};
    readSectionLines(reader, [&](const EdsLine &line) {
        const EdsKeyValue kv = reader.splitKeyValue(line);
        for (const char *const &key : keys) {
            if (equalsIgnoringCase(kv.key, QLatin1String(key))) {
                reader.file.dummyUsage.dummy[&key - keys] = isTrueValue(kv.value);
                return;
            }
        }
        // The dummy types of the larger integers; no PDO of ours maps them.
        if (kv.key.size() == 9 && startsWithIgnoringCase(kv.key, QLatin1String("dummy001"))
            && isHexDigit(kv.key[8]) && toIndexNumber(kv.key.mid(8)) <= 0xB)
            return;
        reader.diagnose(QStringLiteral("Unknown entry"), line.number);
    });
}
