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

struct EntryKey {
    const char *key;
    void (*assign)(EdsEntry &entry, QStringView value);
};

// Values wider than their field keep their low bits.
const EntryKey entryKeys[] = {
    {"subNumber", [](EdsEntry &e, QStringView v) { e.subNumber = toSignedNumber(v); }},
    {"parameterName", [](EdsEntry &e, QStringView v) { e.parameterName = v.toString(); }},
    {"ObjectType", [](EdsEntry &e, QStringView v) { e.objectType = quint8(toSignedNumber(v)); }},
    {"dataType", [](EdsEntry &e, QStringView v) { e.dataType = quint8(toUnsignedNumber(v)); }},
    {"lowLimit", [](EdsEntry &e, QStringView v) { e.lowLimit = toSignedNumber(v); }},
    {"highLimit", [](EdsEntry &e, QStringView v) { e.highLimit = toSignedNumber(v); }},
    {"AccessType", [](EdsEntry &e, QStringView v) { e.accessType = v.toString(); }},
    {"defaultValue", assignDefaultValue},
    {"PDOMapping", [](EdsEntry &e, QStringView v) { e.pdoMapping = isTrueValue(v); }},
    {"ObjFlags", [](EdsEntry &e, QStringView v) { e.objFlags = quint8(toUnsignedNumber(v)); }},
    {"compactSubObj", [](EdsEntry &e, QStringView v) { e.compactSubObj = quint8(toUnsignedNumber(v)); }},
};

void readEntryLines(EdsReader &reader, EdsEntry &entry)
{
    readSectionLines(reader, [&](const EdsLine &line) {
        const EdsKeyValue kv = reader.splitKeyValue(line);
        for (const EntryKey &field : entryKeys) {
            if (equalsIgnoringCase(kv.key, QLatin1String(field.key))) {
                field.assign(entry, kv.value);
                return;
            }
        }
        reader.diagnose(QStringLiteral("Unknown token: %1").arg(kv.key), line.number);
    });
}

qint64 subEntryKey(const EdsEntry &entry)
{
    return (qint64(entry.index) << 8) | qint64(entry.subIndex);
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
    appendKeyed(reader.subEntries, std::move(entry), subEntryKey, reader.subEntriesUnsorted);
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
        sortKeyedKeepingLast(reader.subEntries, subEntryKey);
    for (EdsEntry &entry : reader.subEntries) {
        if (file.pendingSubEntries.isEmpty() || file.pendingSubEntries.constLast().index != entry.index) {
            EdsSubEntryGroup group;
            group.index = entry.index;
            file.pendingSubEntries.append(group);
        }
        file.pendingSubEntries.last().entries.append(std::move(entry));
    }
    reader.subEntries.clear();
}
