#pragma once

// Where sections and keys stand in an EDS file, so that a finding made after
// reading can still point at the line that caused it.

#include <QHash>
#include <QString>

namespace refhost {

class EdsSource
{
public:
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
        QHash<QString, int> keys;
    };
    QHash<QString, Section> m_sections;
};

} // namespace refhost
