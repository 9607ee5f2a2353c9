#pragma once

// Where sections and keys stand in an EDS file, so that a finding made after
// reading can still point at the line that caused it.

#include <QByteArray>
#include <QHash>
#include <QString>

namespace refhost {

class EdsSource
{
public:
    // Keeps text; a key's line is looked up only in the sections asked about.
    explicit EdsSource(const QByteArray &text);

    // 0 when the section or key is not in the file. Names ignore case; a
    // sub-index section may be asked for as "1a00sub1" whatever its zeros.
    int sectionLine(const QString &section) const;
    int keyLine(const QString &section, const QString &key) const;
    // Lines that are neither empty nor comments between the section's head and the next.
    int contentLines(const QString &section) const;
    // The head of the first sub-index section of the object.
    int firstSubSectionLine(int index) const;

    static QString objectSection(int index);
    static QString subSection(int index, int subIndex);

private:
    struct Section {
        int head = 0;
        int content = 0;
        int start = 0; // byte offset of the line after the head
        int end = 0;   // byte offset of the next head, or of the end
    };
    const QHash<QString, int> &keysOf(const QString &name, const Section &section) const;

    QByteArray m_text;
    QHash<QString, Section> m_sections;
    QHash<int, int> m_firstSubSection; // object index: line of its first sub-index head
    mutable QHash<QString, QHash<QString, int>> m_keys; // of the sections asked about
};

} // namespace refhost
