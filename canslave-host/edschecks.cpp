// The checks check adds to the reader's: what would make the slave's default
// configuration differ from what the file promises.
#include "checkfindings.h"

#include "commands.h"
#include "edssource.h"

#include "eds/edsfile.h"
#include "model/mappingwords.h"
#include "model/slaverecords.h"

#include <QHash>

namespace refhost {

namespace {

constexpr int maxPdoBits = 64;
constexpr quint32 cobIdInvalid = 0x80000000u;

QString hex(int value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

int lineOf(const EdsSource &source, int index, int subIndex, const char *key)
{
    if (int line = source.keyLine(EdsSource::subSection(index, subIndex), QLatin1String(key)))
        return line;
    if (int line = source.sectionLine(EdsSource::subSection(index, subIndex)))
        return line;
    return qMax(1, source.sectionLine(EdsSource::objectSection(index)));
}

// An object without sub-index sections is its own sub-index 0.
bool lookUp(const EdsFile &eds, int index, int subIndex, EdsEntry &out)
{
    if (eds.findEntry(index, subIndex, out) == 0)
        return true;
    const int position = eds.objectPosition(index);
    if (subIndex != 0 || position < 0 || !eds.objects.at(position).subEntries.isEmpty())
        return false;
    out = eds.objects.at(position).entry;
    return true;
}

void checkListedObjects(const EdsFile &eds, const EdsSource &source, QList<Finding> &findings)
{
    const struct {
        const EdsObjectList &list;
        const char *section;
    } lists[] = {{eds.mandatoryObjects, "MandatoryObjects"},
                 {eds.optionalObjects, "OptionalObjects"},
                 {eds.manufacturerObjects, "ManufacturerObjects"}};
    for (const auto &l : lists) {
        const QString section = QLatin1String(l.section);
        for (const auto &entry : l.list.entries) {
            if (eds.objectPosition(int(entry.second)) >= 0)
                continue;
            int line = source.keyLine(section, QString::number(entry.first));
            findings.append({Severity::Error, line ? line : qMax(1, source.sectionLine(section)),
                             tr("object %1 is listed in [%2] but not defined").arg(hex(int(entry.second)), section)});
        }
    }
    const struct {
        int index;
        const char *name;
    } mandatory[] = {{0x1000, "device type"}, {0x1018, "identity"}};
    for (const auto &m : mandatory) {
        if (eds.objectPosition(m.index) >= 0)
            continue;
        const bool listed = std::any_of(eds.mandatoryObjects.entries.cbegin(), eds.mandatoryObjects.entries.cend(),
                                        [&](const QPair<qint32, quint32> &e) { return int(e.second) == m.index; });
        if (!listed)
            findings.append({Severity::Error, qMax(1, source.sectionLine(QStringLiteral("MandatoryObjects"))),
                             tr("mandatory object %1 (%2) is not defined").arg(hex(m.index), tr(m.name))});
    }
}

void checkDefaultMapping(const EdsFile &eds, const EdsSource &source, const MappingWords &words, int mapping,
                         QList<Finding> &findings)
{
    EdsEntry count;
    if (!lookUp(eds, mapping, 0, count) || int(count.defaultValue) < 1)
        return;
    int bits = 0;
    for (const EdsEntry &word : words.of(mapping)) {
        if (word.defaultValue == 0)
            continue;
        const int index = mappedIndex(word.defaultValue);
        const int subIndex = mappedSubIndex(word.defaultValue);
        bits += int(word.defaultValue & 0xFF);
        if (index < 0x20) // dummy entries stand for data types, not objects
            continue;
        EdsEntry object;
        const bool defined = lookUp(eds, index, subIndex, object);
        if (!defined || !object.pdoMapping)
            findings.append({Severity::Error, lineOf(source, mapping, word.subIndex, "DefaultValue"),
                             tr("default mapping %1 sub %2 names object %3 sub %4, which is %5")
                                 .arg(hex(mapping)).arg(word.subIndex).arg(hex(index)).arg(subIndex)
                                 .arg(defined ? tr("not PDO-mappable") : tr("not defined"))});
    }
    if (bits > maxPdoBits)
        findings.append({Severity::Error, lineOf(source, mapping, 0, "DefaultValue"),
                         tr("default mapping %1 maps %2 bits, more than the 8 bytes of a PDO").arg(hex(mapping)).arg(bits)});
}

void checkCobIds(const EdsFile &eds, const EdsSource &source, QList<Finding> &findings)
{
    QHash<QPair<qint32, quint32>, int> seen;
    for (const EdsObject &object : eds.objects) {
        const int index = object.entry.index;
        if (!isReceivePdoIndex(quint32(index)) && !isTransmitPdoIndex(quint32(index)))
            continue;
        const QPair<qint32, quint32> cobId = eds.pdoCobId(index);
        if (cobId.second == 0 || (cobId.second & cobIdInvalid))
            continue;
        if (!seen.contains(cobId)) {
            seen.insert(cobId, index);
            continue;
        }
        const QString text = hex(int(cobId.second)) + (cobId.first ? tr(" + node id") : QString());
        findings.append({Severity::Error, lineOf(source, index, 1, "DefaultValue"),
                         tr("PDOs %1 and %2 both use the default COB-ID %3")
                             .arg(hex(seen.value(cobId)), hex(index), text)});
    }
}

} // namespace

QList<Finding> configurationFindings(const EdsFile &eds, const EdsSource &source)
{
    QList<Finding> findings;
    checkListedObjects(eds, source, findings);
    const QList<EdsEntry> mappingList = eds.mappingEntries();
    const MappingWords words(mappingList);
    for (const EdsObject &object : eds.objects) {
        const int index = object.entry.index;
        // A mapping object follows its communication object by 0x200.
        if (isReceivePdoIndex(quint32(index) - 0x200) || isTransmitPdoIndex(quint32(index) - 0x200))
            checkDefaultMapping(eds, source, words, index, findings);
    }
    checkCobIds(eds, source, findings);
    return findings;
}

} // namespace refhost
