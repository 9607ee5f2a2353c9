#include "edssource.h"

#include "eds/edsreader.h"

#include <QList>
#include <QRegularExpression>

namespace refhost {

namespace {

// "1A00SUB01" and "1a00sub1" name the same section.
QString normalName(const QString &name)
{
    static const QRegularExpression sub(QStringLiteral("^([0-9a-f]{4})sub0*([0-9a-f]+)$"));
    const QString lower = name.trimmed().toLower();
    const QRegularExpressionMatch m = sub.match(lower);
    return m.hasMatch() ? m.captured(1) + QLatin1String("sub") + (m.captured(2).isEmpty() ? QStringLiteral("0") : m.captured(2))
                        : lower;
}

} // namespace

EdsSource::EdsSource(const QByteArray &text)
    : m_text(text)
{
    // Line by line without splitting: a large file must not be held twice more.
    Section *current = nullptr;
    int lineNumber = 0;
    for (int at = 0; at < m_text.size();) {
        int next = m_text.indexOf('\n', at);
        if (next < 0)
            next = m_text.size();
        ++lineNumber;
        const QString line = QString::fromLatin1(m_text.constData() + at, next - at).trimmed();
        const int lineStart = at;
        at = next + 1;
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (isSectionHead(line)) {
            if (current)
                current->end = lineStart;
            const QString name = normalName(sectionHeadName(line).toString());
            current = m_sections.contains(name) ? nullptr : &m_sections[name];
            if (!current)
                continue;
            current->head = lineNumber;
            current->start = current->end = qMin(at, int(m_text.size()));
            static const QRegularExpression sub(QStringLiteral("^([0-9a-f]{4})sub"));
            const QRegularExpressionMatch m = sub.match(name);
            if (m.hasMatch()) {
                int &first = m_firstSubSection[m.captured(1).toInt(nullptr, 16)];
                first = first ? qMin(first, lineNumber) : lineNumber;
            }
            continue;
        }
        if (current)
            ++current->content;
    }
    if (current)
        current->end = m_text.size();
}

const QHash<QString, int> &EdsSource::keysOf(const QString &name, const Section &section) const
{
    auto found = m_keys.constFind(name);
    if (found != m_keys.constEnd())
        return *found;
    QHash<QString, int> keys;
    int lineNumber = section.head;
    for (int at = section.start; at < section.end;) {
        int next = m_text.indexOf('\n', at);
        if (next < 0 || next > section.end)
            next = section.end;
        ++lineNumber;
        const QString line = QString::fromLatin1(m_text.constData() + at, next - at).trimmed();
        at = next + 1;
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && !line.startsWith(QLatin1Char(';')) && !keys.contains(line.left(equals).trimmed().toLower()))
            keys.insert(line.left(equals).trimmed().toLower(), lineNumber);
    }
    return *m_keys.insert(name, keys);
}

int EdsSource::sectionLine(const QString &section) const
{
    return m_sections.value(normalName(section)).head;
}

int EdsSource::keyLine(const QString &section, const QString &key) const
{
    const QString name = normalName(section);
    const auto found = m_sections.constFind(name);
    return found == m_sections.constEnd() ? 0 : keysOf(name, *found).value(key.toLower());
}

int EdsSource::contentLines(const QString &section) const
{
    return m_sections.value(normalName(section)).content;
}

int EdsSource::firstSubSectionLine(int index) const
{
    return m_firstSubSection.value(index);
}

QString EdsSource::objectSection(int index)
{
    return QString::number(index, 16).rightJustified(4, QLatin1Char('0')).toLower();
}

QString EdsSource::subSection(int index, int subIndex)
{
    return objectSection(index) + QLatin1String("sub") + QString::number(subIndex, 16);
}

} // namespace refhost
