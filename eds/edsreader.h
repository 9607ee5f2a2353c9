#pragma once

#include "eds/edsfile.h"

#include <QLoggingCategory>
#include <QStringView>
#include <QVector>

#include <algorithm>
#include <utility>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcEds)

// One logical line of the file, trimmed, with its 1-based line number.
struct EdsLine {
    QStringView text;
    int number = 0;
};

struct EdsKeyValue {
    QStringView key;
    QStringView value;
};

// Cursor over the decoded text of one EDS file, shared by the section handlers.
// Lines are views into the text, so the text must outlive the reader.
class EdsReader
{
public:
    EdsReader(QStringView text, EdsFile &file);

    bool atEnd() const;
    EdsLine readLine();
    void pushBackLine(const EdsLine &line);

    // The section whose lines are being read; diagnostics carry its name.
    void enterSection(QStringView name, int headLine);
    int sectionHeadLine() const { return m_sectionLine; }

    void diagnose(const QString &text, int line);
    // "Not a number: key=value" for a key line whose number does not convert.
    void diagnoseNotANumber(const EdsLine &line);
    // Key and value of a key line; a line without "=" has neither and is diagnosed.
    EdsKeyValue splitKeyValue(const EdsLine &line);

    EdsFile &file;

    bool objectsUnsorted = false;
    bool subEntriesUnsorted = false;
    bool nameSectionsUnsorted = false;
    bool valueSectionsUnsorted = false;

    // Characters of the whole text: what the file pays for what it makes the reader build.
    qsizetype textSize() const { return m_text.size(); }

private:
    QStringView m_text;
    qsizetype m_position = 0;
    int m_lineNumber = 0;
    QVector<EdsLine> m_pushBack;
    QStringView m_sectionName;
    int m_sectionLine = 0;
};

bool isSectionHead(QStringView line);

// Number values of keys: a trailing comment is dropped; a value that still does not
// convert gives 0 and is diagnosed (an empty one counts as absent and is not).
quint32 unsignedValue(EdsReader &reader, const EdsLine &line, QStringView value);
qint32 signedValue(EdsReader &reader, const EdsLine &line, QStringView value);

// Hands every key line of the current section to parse, up to the next section head,
// which is pushed back for the main loop.
template<typename Parse>
void readSectionLines(EdsReader &reader, Parse &&parse)
{
    while (!reader.atEnd()) {
        const EdsLine line = reader.readLine();
        if (isSectionHead(line.text)) {
            reader.pushBackLine(line);
            return;
        }
        if (line.text.isEmpty() || line.text.startsWith(QLatin1Char(';')))
            continue;
        parse(line);
    }
}

// Calls report(n) for each n from 1 to last that is not in present (ascending).
// A count in a file can be anything up to 2^31, so the reports are capped.
template<typename Numbers, typename Report>
void reportMissingNumbers(const Numbers &present, qint64 last, Report &&report)
{
    constexpr int maxReports = 1000;
    int reports = 0;
    auto it = present.cbegin();
    for (qint64 n = 1; n <= last && reports < maxReports; ++n) {
        while (it != present.cend() && qint64(*it) < n)
            ++it;
        if (it != present.cend() && qint64(*it) == n)
            continue;
        report(n);
        ++reports;
    }
}

// Section handlers, one per kind of section.
void readDeviceInfoSection(EdsReader &reader);
void readFileInfoSection(EdsReader &reader);
void readCommentsSection(EdsReader &reader);
void readDummyUsageSection(EdsReader &reader);
void readDynamicChannelsSection(EdsReader &reader);
void readObjectListSection(EdsReader &reader, EdsObjectList &target, QLatin1String sectionName);
void readObjectSection(EdsReader &reader, qint64 index);
void readSubIndexSection(EdsReader &reader, qint64 index, qint64 subIndex);
void readNameSection(EdsReader &reader, qint64 index);
void readValueSection(EdsReader &reader, qint64 index);
// [xxxxObjectLinks] and [xxxxDenotation]: checked for their index, nothing kept.
void readSkippedIndexSection(EdsReader &reader, qint64 index);
void skipSectionLines(EdsReader &reader);

// Sorts what the sections filled where the file did not keep index order.
void finishSections(EdsReader &reader);
// Completion of the dictionary after the last line, in the order they must run.
void mergeSubEntries(EdsReader &reader);
void completeCompactPdos(EdsFile &file);
void checkPdoObjects(EdsReader &reader);
void expandCompactSubObjects(EdsReader &reader);
// A DCF's [xxxxValue] for an expanded CompactSubObj object replaces its defaults.
void applyConfiguredValues(EdsReader &reader, EdsObject &object);

// Sorted-list helpers: position of the first element whose key is not smaller.
template<typename List, typename Key>
int lowerBound(const List &list, qint64 key, Key &&keyOf)
{
    int low = 0;
    int high = list.size();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (qint64(keyOf(list.at(middle))) < key)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// Sections usually come in ascending order, so the lists they fill are built by
// appending; a section out of order only marks the list for one sort at the end.
// A later section with the same key replaces the earlier one, as it would when
// inserted in place.
template<typename List, typename Value, typename Key>
void appendKeyed(List &list, Value &&value, Key &&keyOf, bool &unsorted)
{
    if (!list.isEmpty()) {
        const qint64 last = qint64(keyOf(list.constLast()));
        const qint64 key = qint64(keyOf(value));
        if (key == last) {
            list.last() = std::forward<Value>(value);
            return;
        }
        if (key < last)
            unsorted = true;
    }
    list.append(std::forward<Value>(value));
}

template<typename List, typename Key>
void sortKeyedKeepingLast(List &list, Key &&keyOf);

template<typename T>
void swapElements(QList<T> &list, int a, int b)
{
    list.swapItemsAt(a, b);
}

template<typename T>
void swapElements(QVector<T> &vector, int a, int b)
{
    std::swap(vector[a], vector[b]);
}

// A list whose keys take at most `distinct` values and that the file keeps
// filling out of order is sorted as it goes, so it never holds more than twice
// what it keeps in the end.
template<typename List, typename Key>
void compactWhenLarge(List &list, Key &&keyOf, bool &unsorted, int distinct)
{
    if (unsorted && list.size() > 2 * distinct) {
        sortKeyedKeepingLast(list, keyOf);
        unsorted = false;
    }
}

template<typename List, typename Key>
void sortKeyedKeepingLast(List &list, Key &&keyOf)
{
    const int size = list.size();
    std::vector<std::pair<qint64, int>> order;
    order.reserve(size_t(size));
    for (int i = 0; i < size; ++i)
        order.emplace_back(qint64(keyOf(list.at(i))), i);
    std::sort(order.begin(), order.end()); // equal keys stay in file order
    // Target position r takes the element now at permutation[r]: first the last
    // of each key in key order, then the replaced ones, which are dropped.
    std::vector<int> permutation;
    permutation.reserve(size_t(size));
    std::vector<int> replaced;
    for (int k = 0; k < size; ++k) {
        if (k + 1 < size && order[size_t(k)].first == order[size_t(k + 1)].first)
            replaced.push_back(order[size_t(k)].second);
        else
            permutation.push_back(order[size_t(k)].second);
    }
    const int kept = int(permutation.size());
    permutation.insert(permutation.end(), replaced.begin(), replaced.end());
    // Swapping items of a QList only swaps pointers, so nothing is copied.
    std::vector<bool> done(size_t(size), false);
    for (int start = 0; start < size; ++start) {
        int current = start;
        while (!done[size_t(current)]) {
            done[size_t(current)] = true;
            const int next = permutation[size_t(current)];
            if (next == start)
                break;
            swapElements(list, current, next);
            current = next;
        }
    }
    list.erase(list.begin() + kept, list.end());
}
