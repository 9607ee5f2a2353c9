// The checks check adds to the reader's: what would make the slave's default
// configuration differ from what the file promises.
#include "checkfindings.h"

#include "commands.h"
#include "edssource.h"

#include "eds/accesstype.h"
#include "eds/edsfile.h"
#include "eds/mappingword.h"
#include "model/mappingwords.h"
#include "model/slavefromeds.h"
#include "model/slaverecords.h"

#include <QHash>

namespace refhost {

namespace {

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
    } mandatory[] = {
        {0x1000, "device type"},
        {0x1018, "identity"},
    };
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

// The entries of a default mapping the slave leaves out or reads differently
// from what the words say.
void checkDefaultMapping(const EdsFile &eds, const EdsSource &source, const MappingWords &words, int mapping,
                         QList<Finding> &findings)
{
    // The words are those the count at sub-index 0 covers.
    const bool receive = isReceivePdoIndex(quint32(mapping) - 0x200);
    int bits = 0;
    QStringList bitEntries;
    for (const EdsEntry &word : words.of(mapping)) {
        if (word.defaultValue == 0)
            continue;
        const int s = word.subIndex;
        const MappingWord named = readMappingWord(word.defaultValue);
        bits += named.bits;
        if (!coversWholeBytes(named)) {
            bitEntries << tr("sub %1 (%2)").arg(s).arg(hex(int(word.defaultValue)));
            continue;
        }
        if (isDummyIndex(named.index) || named.index < 0x20) // dummy entries stand for data types, not objects
            continue;
        EdsEntry object;
        const bool defined = eds.findSubIndex(named.index, named.subIndex, object);
        const int line = lineOf(source, mapping, s, "DefaultValue");
        if (!defined || !object.pdoMapping) {
            findings.append({Severity::Error, line,
                             tr("default mapping %1 sub %2 names object %3 sub %4, which is %5")
                                 .arg(hex(mapping)).arg(s).arg(hex(named.index)).arg(named.subIndex)
                                 .arg(defined ? tr("not PDO-mappable") : tr("not defined"))});
            continue;
        }
        if (!mappableInDirection(object.accessType, receive))
            findings.append({Severity::Warning, line,
                             tr("default mapping %1 sub %2 names object %3 sub %4 (access %5), which a %6 PDO cannot map: left out")
                                 .arg(hex(mapping)).arg(s).arg(hex(named.index)).arg(named.subIndex).arg(object.accessType)
                                 .arg(receive ? tr("receive") : tr("transmit"))});
        const int size = dataTypeSize(object.dataType);
        if (size > 0 && named.bits != 8 * size)
            findings.append({Severity::Note, line,
                             tr("default mapping %1 sub %2 gives object %3 sub %4 %5 bits; its type has %6")
                                 .arg(hex(mapping)).arg(s).arg(hex(named.index)).arg(named.subIndex).arg(named.bits).arg(8 * size)});
    }
    if (!bitEntries.isEmpty())
        findings.append({Severity::Warning, lineOf(source, mapping, 0, "DefaultValue"),
                         tr("default mapping %1 maps bits, which the configuration cannot carry; left out: %2")
                             .arg(hex(mapping), bitEntries.join(QStringLiteral(", ")))});
    if (bits > int(8 * maxPdoBytes))
        findings.append({Severity::Error, lineOf(source, mapping, 0, "DefaultValue"),
                         tr("default mapping %1 maps %2 bits, more than the 8 bytes of a PDO").arg(hex(mapping)).arg(bits)});
}

// A COB-ID no PDO is configured on: switched off, or an identifier kept for others
// (at any node, for a node-relative one).
bool neverConfigured(const QPair<qint32, quint32> &cobId)
{
    if (cobId.second == 0 || (cobId.second & cobIdInvalid))
        return true;
    if (cobId.second & 0x20000000u)
        return false;
    return isReservedCobId((cobId.second + (cobId.first ? 1u : 0u)) & 0x1FFFFFFFu);
}

void checkCobIds(const EdsFile &eds, const EdsSource &source, QList<Finding> &findings)
{
    QHash<QPair<qint32, quint32>, int> seen;
    for (const EdsObject &object : eds.objects) {
        const int index = object.entry.index;
        if (!isReceivePdoIndex(quint32(index)) && !isTransmitPdoIndex(quint32(index)))
            continue;
        const QPair<qint32, quint32> cobId = eds.pdoCobId(index);
        const bool byDcf = eds.configuredCobIds.contains(index);
        if (neverConfigured(cobId)) {
            if (cobId.second != 0 && !(cobId.second & cobIdInvalid))
                findings.append({Severity::Warning, lineOf(source, index, 1, byDcf ? "ParameterValue" : "DefaultValue"),
                                 (byDcf ? tr("PDO %1 is enabled on COB-ID %2, which CiA 301 keeps for other services: configured as the DCF says")
                                        : tr("PDO %1 is not configured: its default COB-ID %2 is one CiA 301 keeps for other services"))
                                     .arg(hex(index), hex(int(cobId.second)) + (cobId.first ? tr(" + node id") : QString()))});
            continue;
        }
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

// The start-up check compares what the device reports with these values.
void checkIdentity(const EdsFile &eds, const EdsSource &source, QList<Finding> &findings)
{
    const struct {
        int subIndex;
        quint32 deviceInfo;
        const char *key;
    } values[] = {{1, eds.deviceInfo.vendorNumber, "VendorNumber"},
                  {2, eds.deviceInfo.productNumber, "ProductNumber"},
                  {3, eds.deviceInfo.revisionNumber, "RevisionNumber"}};
    for (const auto &v : values) {
        EdsEntry entry;
        const int line = source.keyLine(QStringLiteral("DeviceInfo"), QLatin1String(v.key));
        if (!line || eds.findEntry(0x1018, v.subIndex, entry) != 0 || !entry.defaultGiven || entry.defaultValue == v.deviceInfo)
            continue;
        findings.append({Severity::Warning, lineOf(source, 0x1018, v.subIndex, "DefaultValue"),
                         tr("identity 0x1018 sub %1 is %2 but [DeviceInfo] %3 is %4; the start-up check uses %2")
                             .arg(v.subIndex).arg(hex(int(entry.defaultValue)), QLatin1String(v.key), hex(int(v.deviceInfo)))});
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
    checkIdentity(eds, source, findings);
    if (eds.unusedConfiguredValues > 0)
        findings.append({Severity::Note, qMax(1, source.sectionLine(QStringLiteral("DeviceComissioning"))),
                         tr("%1 configured values outside the PDO and identity objects are not downloaded: the device keeps its own")
                             .arg(eds.unusedConfiguredValues)});
    return findings;
}

} // namespace refhost
