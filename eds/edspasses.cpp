// Completion of the object dictionary once every line has been read.
#include "eds/edsnumber.h"
#include "eds/edsreader.h"

#include <QStringList>

namespace {

bool getsOwnSubEntry(qint32 index)
{
    // Application objects are commonly written as a plain VAR without sub-index
    // sections; they still need a sub-index 0 to be mappable.
    return (index >= 0x2000 && index <= 0x3FFF) || (index >= 0x6000 && index <= 0x6FFF);
}

QString hex(qint64 value)
{
    return QString::number(value, 16);
}

EdsObject &objectOrInserted(EdsFile &file, qint32 index, const QString &name)
{
    const int position = lowerBound(file.objects, index, [](const EdsObject &o) { return o.entry.index; });
    if (position < file.objects.size() && file.objects.at(position).entry.index == index)
        return file.objects[position];
    EdsObject object;
    object.entry.index = index;
    object.entry.parameterName = name;
    file.objects.insert(position, object);
    return file.objects[position];
}

// The communication parameters CiA 301 gives a PDO that nobody configured:
// PDOs 1 to 4 of each direction use the predefined connection set, the others
// start disabled; transmission type 255, no inhibit time, no event timer.
EdsEntry communicationDefault(qint32 index, int subIndex)
{
    EdsEntry entry;
    entry.index = index;
    entry.subIndex = subIndex;
    const bool receive = index < 0x1800;
    const int n = index - (receive ? 0x1400 : 0x1800);
    switch (subIndex) {
    case 1:
        if (n < 4) {
            entry.defaultIsNodeRelative = 1;
            entry.defaultValue = quint32((receive ? 0x200 : 0x180) + 0x100 * n);
        } else {
            entry.defaultValue = 0x80000000u;
        }
        break;
    case 2:
        entry.defaultValue = 255;
        break;
    default:
        break;
    }
    return entry;
}

void appendCommunicationDefaults(EdsObject &object, quint8 compactPdo)
{
    // Template row k + 1 is sub-index k + 1 and exists when bit k of CompactPDO is
    // set (1 COB-ID, 2 transmission type, 3 inhibit time, 4 reserved, 5 event timer);
    // row 0, sub-index 0, counts the rows that follow. Every PDO has a COB-ID, so
    // a device that leaves bit 0 clear still uses the predefined one.
    QList<EdsEntry> rows;
    for (int k = 0; k <= 4; ++k) {
        if (k == 0 || (compactPdo & (1u << k)))
            rows.append(communicationDefault(object.entry.index, k + 1));
    }
    EdsEntry count = communicationDefault(object.entry.index, 0);
    count.defaultValue = quint32(rows.size());
    rows.prepend(count);
    object.subEntries += rows;
}

void completeCompactPdoPair(EdsFile &file, qint32 communication, qint32 mapping,
                            const QString &communicationName, const QString &mappingName)
{
    EdsObject &object = objectOrInserted(file, communication, communicationName);
    if (object.subEntries.isEmpty())
        appendCommunicationDefaults(object, file.deviceInfo.compactPDO);

    EdsObject &mappingObject = objectOrInserted(file, mapping, mappingName);
    if (mappingObject.subEntries.isEmpty()) {
        EdsEntry entry;
        entry.index = mapping;
        entry.subIndex = 0;
        mappingObject.subEntries.append(entry);
    }
}

} // namespace

void mergeSubEntries(EdsReader &reader)
{
    EdsFile &file = reader.file;
    QList<EdsSubEntryGroup> unused;
    int group = 0;
    for (EdsObject &object : file.objects) {
        const qint32 index = object.entry.index;
        while (group < file.pendingSubEntries.size() && file.pendingSubEntries.at(group).index < index)
            unused.append(std::move(file.pendingSubEntries[group++]));
        if (group < file.pendingSubEntries.size() && file.pendingSubEntries.at(group).index == index)
            object.subEntries = std::move(file.pendingSubEntries[group++].entries);
        // A CompactSubObj object gets its sub-indexes when it is expanded.
        if (object.subEntries.isEmpty() && getsOwnSubEntry(index) && object.entry.compactSubObj == 0) {
            EdsEntry own = object.entry;
            own.subIndex = 0;
            object.subEntries.append(own);
        }
    }
    while (group < file.pendingSubEntries.size())
        unused.append(std::move(file.pendingSubEntries[group++]));
    file.pendingSubEntries = std::move(unused);
    for (const EdsSubEntryGroup &left : qAsConst(file.pendingSubEntries))
        reader.diagnose(QStringLiteral("Unused section,index:%1").arg(hex(left.index)), 0);
}

void completeCompactPdos(EdsFile &file)
{
    if (file.deviceInfo.compactPDO == 0)
        return;
    for (int n = 0; n < file.deviceInfo.nrOfRXPDO; ++n) {
        completeCompactPdoPair(file, 0x1400 + n, 0x1600 + n,
                               QStringLiteral("%1.receive PDO parameter").arg(n),
                               QStringLiteral("%1.receive PDO mapping").arg(n));
    }
    for (int n = 0; n < file.deviceInfo.nrOfTXPDO; ++n) {
        completeCompactPdoPair(file, 0x1800 + n, 0x1A00 + n,
                               QStringLiteral("%1.transmit PDO parameter").arg(n),
                               QStringLiteral("%1.transmit PDO mapping").arg(n));
    }
}

namespace {

int objectsBetween(const EdsFile &file, qint32 first, qint32 last)
{
    const auto indexOf = [](const EdsObject &o) { return o.entry.index; };
    return lowerBound(file.objects, last + 1, indexOf) - lowerBound(file.objects, first, indexOf);
}

// The PDOs the count promises, numbered from the first; a file that numbers
// them with a gap but holds as many as it promises lacks none.
void checkPromisedPdos(EdsReader &reader, int promised, qint32 communication, qint32 mapping)
{
    const EdsFile &file = reader.file;
    const bool allThere = objectsBetween(file, communication, communication + 0x1FF) >= promised
        && objectsBetween(file, mapping, mapping + 0x1FF) >= promised;
    for (int n = 0; n < promised && !allThere; ++n) {
        for (qint32 index : {communication + n, mapping + n}) {
            if (file.objectPosition(index) < 0)
                reader.diagnose(QStringLiteral("Object %1 not found").arg(hex(index)), 0);
        }
    }
}

} // namespace

void checkPdoObjects(EdsReader &reader)
{
    checkPromisedPdos(reader, reader.file.deviceInfo.nrOfRXPDO, 0x1400, 0x1600);
    checkPromisedPdos(reader, reader.file.deviceInfo.nrOfTXPDO, 0x1800, 0x1A00);
}

void applyConfiguredValues(EdsReader &reader, EdsObject &object)
{
    QString text;
    for (EdsEntry &entry : object.subEntries) {
        if (!reader.file.configuredValueOf(entry.index, entry.subIndex, text) || text.trimmed().isEmpty())
            continue;
        const NodeRelativeValue value = readNodeRelativeValue(text);
        entry.defaultIsNodeRelative = value.relative;
        entry.defaultValue = value.value;
        entry.defaultGiven = value.converted;
        if (!value.converted || value.plusWithoutNodeId)
            reader.diagnose(QStringLiteral("Not a number: [%1Value] %2=%3")
                                .arg(hex(entry.index).toUpper().rightJustified(4, QLatin1Char('0')))
                                .arg(entry.subIndex)
                                .arg(text), 0);
    }
}

void expandCompactSubObjects(EdsReader &reader)
{
    EdsFile &file = reader.file;
    // Each expanded sub-index costs about a hundred bytes that the file never
    // wrote, so the file's own size pays for them beyond a fixed allowance.
    qint64 budget = qint64(maxExpandedSubEntriesBase) + reader.textSize() / expandedSubEntryBytes;
    for (EdsObject &object : file.objects) {
        const EdsEntry &own = object.entry;
        const quint8 count = own.compactSubObj;
        if (count == 0)
            continue;
        if (own.subNumber >= 1) {
            reader.diagnose(QStringLiteral("compactSubObj and subNumber conflicted,index:%1").arg(hex(own.index)), 0);
            continue;
        }
        if (!object.subEntries.isEmpty()) {
            reader.diagnose(QStringLiteral("compactSubObj and subObject conflicted,index:%1").arg(hex(own.index)), 0);
            continue;
        }
        if (own.subNumber != 0)
            continue;
        if (budget < count + 1) {
            reader.diagnose(QStringLiteral("compactSubObj not expanded, too many sub-indexes for the file size,index:%1")
                                .arg(hex(own.index)), 0);
            continue;
        }
        budget -= count + 1;
        EdsEntry number = own;
        number.subIndex = 0;
        number.parameterName = QStringLiteral("NrOfObjects");
        number.accessType = QStringLiteral("RO");
        number.dataType = DataTypeUnsigned8;
        number.defaultIsNodeRelative = 0;
        number.defaultValue = count;
        number.pdoMapping = false;
        object.subEntries.append(number);
        for (int i = 1; i <= count; ++i) {
            EdsEntry element = own;
            element.subIndex = i;
            if (!file.nameOf(own.index, i, element.parameterName))
                element.parameterName = own.parameterName + QString::number(i, 16).toUpper();
            object.subEntries.append(element);
        }
        applyConfiguredValues(reader, object);
    }
}

namespace {

// The predefined connection set's identifier of the first four PDOs of each direction.
quint32 predefinedCobIdBase(qint32 index)
{
    const bool receive = index < 0x1800;
    const int n = index - (receive ? 0x1400 : 0x1800);
    return quint32((receive ? 0x200 : 0x180) + 0x100 * n);
}

} // namespace

void relateCommissionedCobIds(EdsReader &reader)
{
    EdsFile &file = reader.file;
    const int node = file.commissionedNodeId;
    if (node == 0)
        return;
    QStringList related;
    for (qint32 first : {0x1400, 0x1800}) {
        for (qint32 index = first; index < first + 4; ++index) {
            const int position = file.objectPosition(index);
            if (position < 0)
                continue;
            for (EdsEntry &entry : file.objects[position].subEntries) {
                // A DCF writer stores the identifier it configured as a plain number: the one of
                // its own node is the predefined one, and must follow the slave to its node.
                const quint32 base = predefinedCobIdBase(index);
                if (entry.subIndex != 1 || entry.defaultIsNodeRelative || (entry.defaultValue & 0x1FFFFFFFu) != base + quint32(node))
                    continue;
                entry.defaultIsNodeRelative = 1;
                entry.defaultValue = base | (entry.defaultValue & 0xC0000000u);
                related.append(hex(index));
            }
        }
    }
    if (!related.isEmpty())
        reader.diagnose(QStringLiteral("COB-IDs of node %1 taken as node-relative,index:%2").arg(node).arg(related.join(QLatin1Char(' '))), 0);
}

