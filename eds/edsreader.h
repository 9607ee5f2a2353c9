#pragma once

#include "eds/edsfile.h"
#include "eds/sortedlist.h"

#include <QLoggingCategory>
#include <QStringView>
#include <QVector>


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

// A head is "[name]", followed by nothing but blanks and perhaps a ";" or "#" comment.
bool isSectionHead(QStringView line);
// The trimmed name of a head's section.
QStringView sectionHeadName(QStringView line);

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
// A DCF's [DeviceComissioning]: the node it was configured for.
void readCommissioningSection(EdsReader &reader);
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
// A DCF's COB-IDs of the predefined connection set at its own node follow the slave's node.
void relateCommissionedCobIds(EdsReader &reader);
// A DCF's [xxxxValue] for an expanded CompactSubObj object replaces its defaults.
void applyConfiguredValues(EdsReader &reader, EdsObject &object);
