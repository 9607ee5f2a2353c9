#include "eds/edsfile.h"
#include "eds/pdoindexes.h"
#include "eds/sortedlist.h"

#include <algorithm>

namespace {

int subEntryPosition(const QList<EdsEntry> &entries, int subIndex)
{
    const int position = lowerBound(entries, subIndex, [](const EdsEntry &e) { return e.subIndex; });
    return position < entries.size() && entries.at(position).subIndex == subIndex ? position : -1;
}

QList<EdsEntry> ownEntriesIn(const QList<EdsObject> &objects, IndexRange range)
{
    QList<EdsEntry> result;
    const auto indexOf = [](const EdsObject &o) { return o.entry.index; };
    for (int i = lowerBound(objects, range.first, indexOf); i < objects.size() && objects.at(i).entry.index <= range.last; ++i)
        result.append(objects.at(i).entry);
    return result;
}

void appendSubEntriesIn(const QList<EdsObject> &objects, IndexRange range, QList<EdsEntry> &result)
{
    const auto indexOf = [](const EdsObject &o) { return o.entry.index; };
    for (int i = lowerBound(objects, range.first, indexOf); i < objects.size() && objects.at(i).entry.index <= range.last; ++i)
        result += objects.at(i).subEntries;
}

} // namespace

int EdsFile::objectPosition(int index) const
{
    const int position = lowerBound(objects, index, [](const EdsObject &o) { return o.entry.index; });
    return position < objects.size() && objects.at(position).entry.index == index ? position : -1;
}

int EdsFile::findEntry(int index, int subIndex, EdsEntry &out) const
{
    const int position = objectPosition(index);
    if (position >= 0) {
        const EdsObject &object = objects.at(position);
        if (subIndex == -1) {
            out = object.entry;
            return 0;
        }
        const int sub = subEntryPosition(object.subEntries, subIndex);
        if (sub >= 0) {
            out = object.subEntries.at(sub);
            return 0;
        }
    }
    // Sub-index sections whose object never came are still part of the device.
    const int group = lowerBound(pendingSubEntries, index, [](const EdsSubEntryGroup &g) { return g.index; });
    if (subIndex != -1 && group < pendingSubEntries.size() && pendingSubEntries.at(group).index == index) {
        const QList<EdsEntry> &entries = pendingSubEntries.at(group).entries;
        const int sub = subEntryPosition(entries, subIndex);
        if (sub >= 0) {
            out = entries.at(sub);
            return 0;
        }
    }
    return 1;
}

bool EdsFile::findSubIndex(int index, int subIndex, EdsEntry &out) const
{
    const int position = objectPosition(index);
    if (subIndex == 0 && position >= 0 && objects.at(position).subEntries.isEmpty()) {
        out = objects.at(position).entry;
        out.subIndex = 0;
        return true;
    }
    return subIndex >= 0 && findEntry(index, subIndex, out) == 0;
}

namespace {

// The text a name or value section gives to a sub-index; only the first
// NrOfEntries of its lines count.
bool textOf(const QList<EdsNameSection> &sections, int index, int subIndex, QString &out)
{
    const int position = lowerBound(sections, index, [](const EdsNameSection &s) { return s.index; });
    if (position >= sections.size() || sections.at(position).index != index)
        return false;
    const EdsNameSection &section = sections.at(position);
    const int counted = qBound(0, section.nrOfEntries, section.names.size());
    // names is in ascending sub-index order, so its counted front is too.
    const auto first = section.names.cbegin();
    const auto found = std::lower_bound(first, first + counted, subIndex,
                                        [](const EdsSubIndexText &t, int sub) { return t.subIndex < sub; });
    if (found == first + counted || found->subIndex != subIndex)
        return false;
    out = section.textAt(int(found - first));
    return true;
}

} // namespace

bool EdsFile::nameOf(int index, int subIndex, QString &out) const
{
    return textOf(nameSections, index, subIndex, out);
}

bool EdsFile::configuredValueOf(int index, int subIndex, QString &out) const
{
    return textOf(valueSections, index, subIndex, out);
}

namespace {

quint32 defaultValueOf(const EdsFile &file, int index, int subIndex, quint32 missing = 0)
{
    EdsEntry entry;
    return file.findEntry(index, subIndex, entry) == 0 ? entry.defaultValue : missing;
}

QPair<qint32, quint32> cobIdOf(const EdsFile &file, int index, int subIndex)
{
    EdsEntry entry;
    if (file.findEntry(index, subIndex, entry) != 0)
        return {0, 0};
    return {entry.defaultIsNodeRelative, entry.defaultValue};
}

} // namespace

quint32 EdsFile::deviceType() const { return defaultValueOf(*this, 0x1000, -1); }
namespace {

// The identity object's value where the file gives one, else [DeviceInfo]'s number.
quint32 identityValueOf(const EdsFile &file, int subIndex, quint32 deviceInfoNumber)
{
    EdsEntry entry;
    if (file.findEntry(0x1018, subIndex, entry) == 0 && entry.defaultGiven)
        return entry.defaultValue;
    return deviceInfoNumber;
}

} // namespace

quint32 EdsFile::vendorId() const { return identityValueOf(*this, 1, deviceInfo.vendorNumber); }
quint32 EdsFile::productCode() const { return identityValueOf(*this, 2, deviceInfo.productNumber); }
quint32 EdsFile::revisionNumber() const { return identityValueOf(*this, 3, deviceInfo.revisionNumber); }
QPair<qint32, quint32> EdsFile::emcyCobId() const { return cobIdOf(*this, 0x1014, -1); }
QPair<qint32, quint32> EdsFile::pdoCobId(int index) const { return cobIdOf(*this, index, 1); }

quint8 EdsFile::pdoTransmissionType(int index) const
{
    return quint8(defaultValueOf(*this, index, 2, 255));
}

quint32 EdsFile::pdoInhibitTime(int index) const { return defaultValueOf(*this, index, 3); }
quint32 EdsFile::pdoEventTimer(int index) const { return defaultValueOf(*this, index, 5); }
QString EdsFile::productName() const { return deviceInfo.productName; }

QList<EdsEntry> EdsFile::receivePdoObjects() const { return ownEntriesIn(objects, receivePdoIndexes); }
QList<EdsEntry> EdsFile::transmitPdoObjects() const { return ownEntriesIn(objects, transmitPdoIndexes); }

QList<EdsEntry> EdsFile::mappingEntries() const
{
    QList<EdsEntry> result;
    appendSubEntriesIn(objects, receiveMappingIndexes, result);
    appendSubEntriesIn(objects, transmitMappingIndexes, result);
    return result;
}

QList<EdsEntry> EdsFile::mappableEntries() const
{
    QList<EdsEntry> result;
    for (const EdsObject &object : objects) {
        if (object.subEntries.isEmpty()) {
            if (object.entry.pdoMapping) {
                EdsEntry own = object.entry;
                own.subIndex = 0;
                result.append(own);
            }
            continue;
        }
        for (const EdsEntry &entry : object.subEntries) {
            if (entry.pdoMapping)
                result.append(entry);
        }
    }
    return result;
}
