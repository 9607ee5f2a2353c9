// Object, sub-index, name and object-links sections: the object dictionary.
#include "eds/edsnumber.h"
#include "eds/pdoindexes.h"
#include "eds/edsreader.h"

namespace {

// BOOLEAN and the integer types of CiA 301: only their values must be numbers;
// strings, domains and reals carry other text in DefaultValue.
bool isIntegerType(quint8 code)
{
    return (code >= 0x01 && code <= 0x07) || code == 0x10 || (code >= 0x12 && code <= 0x1B);
}

// What one object or sub-index section said, beyond the entry's own fields.
struct EntryReading {
    EdsReader &reader;
    EdsEntry &entry;
    EdsLine parameterValue;         // DCF: the value configured into the device
    QVector<EdsLine> valueProblems; // DefaultValue lines that are no number
};

quint32 unsignedOf(EntryReading &r, const EdsLine &line, QStringView value)
{
    return unsignedValue(r.reader, line, value);
}

qint32 signedOf(EntryReading &r, const EdsLine &line, QStringView value)
{
    return signedValue(r.reader, line, value);
}

// A limit may follow the node id like a default does ("$NODEID+0x180"): the
// number is kept and the entry's flag bit says the node id is to be added.
qint32 limitOf(EntryReading &r, const EdsLine &line, QStringView value, quint8 relativeBit)
{
    if (!value.contains(QLatin1String("$NODEID"), Qt::CaseInsensitive))
        return signedOf(r, line, value);
    const NodeRelativeValue limit = readNodeRelativeValue(value);
    r.entry.limitsNodeRelative |= relativeBit;
    return qint32(limit.value);
}

void assignValue(EntryReading &r, const EdsLine &line, QStringView text)
{
    const NodeRelativeValue value = readNodeRelativeValue(text);
    r.entry.defaultIsNodeRelative = value.relative;
    r.entry.defaultValue = value.value;
    r.entry.defaultGiven = value.converted;
    if (!value.converted && !withoutValueComment(text).isEmpty())
        r.valueProblems.append(line);
    if (value.plusWithoutNodeId) {
        const EdsKeyValue kv = r.reader.splitKeyValue(line);
        r.reader.diagnose(QStringLiteral("No $NODEID in %1=%2").arg(kv.key, kv.value), line.number);
    }
}

// A number counts when it is not 0; of the words, only "true" and "yes" do:
// "FALSE" and "no" keep an object out of PDOs.
bool mappingFlag(QStringView text)
{
    text = withoutValueComment(text);
    if (const auto number = unsignedNumber(text))
        return *number != 0;
    return equalsIgnoringCase(text, QLatin1String("true")) || equalsIgnoringCase(text, QLatin1String("yes"));
}

// Nearly every entry has one of a handful of access types; sharing those
// saves an allocation per entry on large files.
QString accessTypeText(QStringView value)
{
    static const QString common[] = {QStringLiteral("ro"), QStringLiteral("rw"), QStringLiteral("wo"),
                                     QStringLiteral("const"), QStringLiteral("rww"), QStringLiteral("rwr"),
                                     QStringLiteral("RO"), QStringLiteral("RW"), QStringLiteral("WO"),
                                     QStringLiteral("CONST"), QStringLiteral("RWW"), QStringLiteral("RWR")};
    for (const QString &text : common) {
        if (value == text)
            return text;
    }
    return value.toString();
}

using Assign = void (*)(EntryReading &r, const EdsLine &line, QStringView value);

struct EntryKey {
    QLatin1String key;
    Assign assign;
};

void ignore(EntryReading &, const EdsLine &, QStringView) {}

// Values wider than their field keep their low bits.
const EntryKey entryKeys[] = {
    {QLatin1String("subNumber"), [](EntryReading &r, const EdsLine &l, QStringView v) { r.entry.subNumber = signedOf(r, l, v); }},
    {QLatin1String("parameterName"), [](EntryReading &r, const EdsLine &, QStringView v) { r.entry.parameterName = v.toString(); }},
    {QLatin1String("ObjectType"), [](EntryReading &r, const EdsLine &l, QStringView v) { r.entry.objectType = quint8(signedOf(r, l, v)); }},
    {QLatin1String("dataType"), [](EntryReading &r, const EdsLine &l, QStringView v) { r.entry.dataType = quint8(unsignedOf(r, l, v)); }},
    {QLatin1String("lowLimit"), [](EntryReading &r, const EdsLine &l, QStringView v) { r.entry.lowLimit = limitOf(r, l, v, 1); }},
    {QLatin1String("highLimit"), [](EntryReading &r, const EdsLine &l, QStringView v) { r.entry.highLimit = limitOf(r, l, v, 2); }},
    {QLatin1String("AccessType"), [](EntryReading &r, const EdsLine &, QStringView v) { r.entry.accessType = accessTypeText(v); }},
    {QLatin1String("defaultValue"), assignValue},
    {QLatin1String("PDOMapping"), [](EntryReading &r, const EdsLine &, QStringView v) { r.entry.pdoMapping = mappingFlag(v); }},
    {QLatin1String("ObjFlags"), [](EntryReading &r, const EdsLine &l, QStringView v) { r.entry.objFlags = quint8(unsignedOf(r, l, v)); }},
    {QLatin1String("compactSubObj"), [](EntryReading &r, const EdsLine &l, QStringView v) { r.entry.compactSubObj = quint8(unsignedOf(r, l, v)); }},
    // What a DCF adds to an entry: the configured value, the user's name for
    // the object and files for domains.
    {QLatin1String("ParameterValue"), [](EntryReading &r, const EdsLine &l, QStringView) { r.parameterValue = l; }},
    {QLatin1String("Denotation"), ignore},
    {QLatin1String("UploadFile"), ignore},
    {QLatin1String("DownloadFile"), ignore},
};

// Configured values the slave takes over: identity, emergency COB-ID and the PDOs.
bool isTakenIntoConfiguration(qint32 index)
{
    return index == 0x1000 || index == 0x1014 || index == 0x1018 || (receivePdoIndexes.first <= index && index <= transmitMappingIndexes.last);
}

void readEntryLines(EdsReader &reader, EdsEntry &entry)
{
    EntryReading reading{reader, entry, {}, {}};
    readSectionLines(reader, [&](const EdsLine &line) {
        const EdsKeyValue kv = reader.splitKeyValue(line);
        for (const EntryKey &field : entryKeys) {
            if (equalsIgnoringCase(kv.key, field.key)) {
                field.assign(reading, line, kv.value);
                return;
            }
        }
        reader.diagnose(QStringLiteral("Unknown token: %1").arg(kv.key), line.number);
    });
    // The device runs with the configured value, so it replaces the default
    // wherever the entry is used; an empty one configures nothing.
    // One that is no number (a template's placeholder) leaves the default in place.
    if (!reading.parameterValue.text.isEmpty()) {
        const QStringView value = reader.splitKeyValue(reading.parameterValue).value;
        if (!withoutValueComment(value).isEmpty() && !isTakenIntoConfiguration(entry.index))
            ++reader.file.unusedConfiguredValues;
        const NodeRelativeValue configured = readNodeRelativeValue(value);
        if (configured.converted) {
            if (entry.subIndex == 1 && (receivePdoIndexes.contains(entry.index) || transmitPdoIndexes.contains(entry.index))
                && !reader.file.configuredCobIds.contains(entry.index))
                reader.file.configuredCobIds.append(entry.index);
            reading.valueProblems.clear();
            assignValue(reading, reading.parameterValue, value);
        } else if (!withoutValueComment(value).isEmpty()) {
            reading.valueProblems.append(reading.parameterValue);
        }
    }
    if (isIntegerType(entry.dataType)) {
        for (const EdsLine &line : qAsConst(reading.valueProblems))
            reader.diagnoseNotANumber(line);
    }
}

void insertSubEntry(QList<EdsEntry> &entries, EdsEntry &&entry)
{
    const int position = lowerBound(entries, entry.subIndex, [](const EdsEntry &e) { return e.subIndex; });
    if (position < entries.size() && entries.at(position).subIndex == entry.subIndex)
        entries[position] = std::move(entry);
    else
        entries.insert(position, std::move(entry));
}

// Groups of one index that the file split up become one, later sections
// replacing earlier ones of the same sub-index.
void sortSubEntryGroups(QList<EdsSubEntryGroup> &groups)
{
    std::stable_sort(groups.begin(), groups.end(),
                     [](const EdsSubEntryGroup &a, const EdsSubEntryGroup &b) { return a.index < b.index; });
    QList<EdsSubEntryGroup> merged;
    for (EdsSubEntryGroup &group : groups) {
        if (merged.isEmpty() || merged.constLast().index != group.index) {
            merged.append(std::move(group));
            continue;
        }
        QList<EdsEntry> &entries = merged.last().entries;
        for (EdsEntry &entry : group.entries)
            insertSubEntry(entries, std::move(entry));
    }
    groups = std::move(merged);
}

} // namespace

void readObjectSection(EdsReader &reader, qint64 index)
{
    if (index < 0) {
        reader.diagnose(QStringLiteral("Index data error"), reader.sectionHeadLine());
        return;
    }
    EdsObject object;
    object.entry.index = qint32(index);
    readEntryLines(reader, object.entry);
    // Sub-entries are only attached after the last line, so replacing a whole
    // earlier object here replaces exactly its own entry.
    const auto indexOf = [](const EdsObject &o) { return o.entry.index; };
    appendKeyed(reader.file.objects, std::move(object), indexOf, reader.objectsUnsorted);
    compactWhenLarge(reader.file.objects, indexOf, reader.objectsUnsorted, dictionaryIndexCount);
}

void readSubIndexSection(EdsReader &reader, qint64 index, qint64 subIndex)
{
    if (index < 0 || subIndex < 0) {
        reader.diagnose(QStringLiteral("Index data error"), reader.sectionHeadLine());
        return;
    }
    EdsEntry entry;
    entry.index = qint32(index);
    entry.subIndex = qint32(subIndex);
    readEntryLines(reader, entry);

    // Sub-index sections of one object nearly always follow each other.
    QList<EdsSubEntryGroup> &groups = reader.file.pendingSubEntries;
    if (groups.isEmpty() || groups.constLast().index != entry.index) {
        EdsSubEntryGroup group;
        group.index = entry.index;
        if (!groups.isEmpty() && groups.constLast().index > entry.index)
            reader.subEntriesUnsorted = true;
        groups.append(group);
    }
    insertSubEntry(groups.last().entries, std::move(entry));
    // Split groups of one index are merged now and then, not only at the end.
    if (reader.subEntriesUnsorted && groups.size() > 2 * dictionaryIndexCount) {
        sortSubEntryGroups(groups);
        reader.subEntriesUnsorted = false;
    }
}

namespace {

// [xxxxName] and [xxxxValue]: NrOfEntries and one text per sub-index.
void readSubIndexTexts(EdsReader &reader, qint64 index, QList<EdsNameSection> &target, bool &targetUnsorted,
                       const QString &unknownEntry)
{
    if (index < 0) {
        reader.diagnose(QStringLiteral("Index error"), reader.sectionHeadLine());
        return;
    }
    EdsNameSection section;
    section.index = qint32(index);
    bool namesUnsorted = false;
    const auto subIndexOf = [](const EdsSubIndexText &t) { return t.subIndex; };
    readSectionLines(reader, [&](const EdsLine &line) {
        const EdsKeyValue kv = reader.splitKeyValue(line);
        if (equalsIgnoringCase(kv.key, QLatin1String("NrOfEntries"))) {
            section.nrOfEntries = signedValue(reader, line, kv.value);
            return;
        }
        const auto parsed = signedNumber(kv.key);
        if (!parsed) {
            reader.diagnose(unknownEntry, line.number);
            return;
        }
        const qint32 subIndex = *parsed;
        if (subIndex < 0)
            return;
        if (subIndex > 0xFF) {
            reader.diagnose(QStringLiteral("Sub-index %1 out of range").arg(subIndex), line.number);
            return;
        }
        // A text given again replaces the earlier one, which stays unused in texts.
        appendKeyed(section.names, EdsSubIndexText{subIndex, section.texts.size(), int(kv.value.size())},
                    subIndexOf, namesUnsorted);
        section.texts.append(kv.value);
        compactWhenLarge(section.names, subIndexOf, namesUnsorted, dictionarySubIndexCount);
    });
    if (namesUnsorted)
        sortKeyedKeepingLast(section.names, subIndexOf);
    const auto indexOf = [](const EdsNameSection &s) { return s.index; };
    appendKeyed(target, std::move(section), indexOf, targetUnsorted);
    compactWhenLarge(target, indexOf, targetUnsorted, dictionaryIndexCount);
}

} // namespace

void readNameSection(EdsReader &reader, qint64 index)
{
    readSubIndexTexts(reader, index, reader.file.nameSections, reader.nameSectionsUnsorted,
                      QStringLiteral("Unknown entry in name section"));
}

void readValueSection(EdsReader &reader, qint64 index)
{
    readSubIndexTexts(reader, index, reader.file.valueSections, reader.valueSectionsUnsorted,
                      QStringLiteral("Unknown entry in value section"));
}

void readSkippedIndexSection(EdsReader &reader, qint64 index)
{
    if (index < 0) {
        reader.diagnose(QStringLiteral("Index error"), reader.sectionHeadLine());
        return;
    }
    skipSectionLines(reader);
}

void finishSections(EdsReader &reader)
{
    EdsFile &file = reader.file;
    if (reader.objectsUnsorted)
        sortKeyedKeepingLast(file.objects, [](const EdsObject &o) { return o.entry.index; });
    if (reader.nameSectionsUnsorted)
        sortKeyedKeepingLast(file.nameSections, [](const EdsNameSection &s) { return s.index; });
    if (reader.valueSectionsUnsorted)
        sortKeyedKeepingLast(file.valueSections, [](const EdsNameSection &s) { return s.index; });
    if (reader.subEntriesUnsorted)
        sortSubEntryGroups(file.pendingSubEntries);
}
