// Object, sub-index, name and object-links sections: the object dictionary.
#include "eds/edsnumber.h"
#include "eds/edsreader.h"

namespace {

void assignDefaultValue(EdsEntry &entry, QStringView value)
{
    // "$NODEID+0x180": only what follows the first "+" is the value.
    const qsizetype plus = value.indexOf(QLatin1Char('+'));
    if (plus >= 0) {
        entry.defaultIsNodeRelative = 1;
        entry.defaultValue = toUnsignedNumber(value.mid(plus + 1).trimmed());
    } else {
        entry.defaultIsNodeRelative = 0;
        entry.defaultValue = toUnsignedNumber(value);
    }
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

struct EntryKey {
    QLatin1String key;
    void (*assign)(EdsEntry &entry, QStringView value);
};

// Values wider than their field keep their low bits.
const EntryKey entryKeys[] = {
    {QLatin1String("subNumber"), [](EdsEntry &e, QStringView v) { e.subNumber = toSignedNumber(v); }},
    {QLatin1String("parameterName"), [](EdsEntry &e, QStringView v) { e.parameterName = v.toString(); }},
    {QLatin1String("ObjectType"), [](EdsEntry &e, QStringView v) { e.objectType = quint8(toSignedNumber(v)); }},
    {QLatin1String("dataType"), [](EdsEntry &e, QStringView v) { e.dataType = quint8(toUnsignedNumber(v)); }},
    {QLatin1String("lowLimit"), [](EdsEntry &e, QStringView v) { e.lowLimit = toSignedNumber(v); }},
    {QLatin1String("highLimit"), [](EdsEntry &e, QStringView v) { e.highLimit = toSignedNumber(v); }},
    {QLatin1String("AccessType"), [](EdsEntry &e, QStringView v) { e.accessType = accessTypeText(v); }},
    {QLatin1String("defaultValue"), assignDefaultValue},
    {QLatin1String("PDOMapping"), [](EdsEntry &e, QStringView v) { e.pdoMapping = isTrueValue(v); }},
    {QLatin1String("ObjFlags"), [](EdsEntry &e, QStringView v) { e.objFlags = quint8(toUnsignedNumber(v)); }},
    {QLatin1String("compactSubObj"), [](EdsEntry &e, QStringView v) { e.compactSubObj = quint8(toUnsignedNumber(v)); }},
};

void readEntryLines(EdsReader &reader, EdsEntry &entry)
{
    readSectionLines(reader, [&](const EdsLine &line) {
        const EdsKeyValue kv = reader.splitKeyValue(line);
        for (const EntryKey &field : entryKeys) {
            if (equalsIgnoringCase(kv.key, field.key)) {
                field.assign(entry, kv.value);
                return;
            }
        }
        reader.diagnose(QStringLiteral("Unknown token: %1").arg(kv.key), line.number);
    });
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
    appendKeyed(reader.file.objects, std::move(object),
                [](const EdsObject &o) { return o.entry.index; }, reader.objectsUnsorted);
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
}

void readNameSection(EdsReader &reader, qint64 index)
{
    if (index < 0) {
        reader.diagnose(QStringLiteral("Index error"), reader.sectionHeadLine());
        return;
    }
    EdsNameSection section;
    section.index = qint32(index);
    bool namesUnsorted = false;
    readSectionLines(reader, [&](const EdsLine &line) {
        const EdsKeyValue kv = reader.splitKeyValue(line);
        if (equalsIgnoringCase(kv.key, QLatin1String("NrOfEntries"))) {
            section.nrOfEntries = toSignedNumber(kv.value);
            return;
        }
        bool ok = false;
        const qint32 subIndex = toSignedNumber(kv.key, &ok);
        if (!ok) {
            reader.diagnose(QStringLiteral("Unknown entry in name section"), line.number);
            return;
        }
        if (subIndex < 0)
            return;
        appendKeyed(section.names, qMakePair(subIndex, kv.value.toString()),
                    [](const QPair<qint32, QString> &p) { return p.first; }, namesUnsorted);
    });
    if (namesUnsorted)
        sortKeyedKeepingLast(section.names, [](const QPair<qint32, QString> &p) { return p.first; });
    appendKeyed(reader.file.nameSections, std::move(section),
                [](const EdsNameSection &s) { return s.index; }, reader.nameSectionsUnsorted);
}

void readObjectLinksSection(EdsReader &reader, qint64 index)
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
    if (reader.subEntriesUnsorted)
        sortSubEntryGroups(file.pendingSubEntries);
}
