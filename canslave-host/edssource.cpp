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
{
    const QList<QByteArray> lines = text.split('\n');
    Section *current = nullptr;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromLatin1(lines.at(i)).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (isSectionHead(line)) {
            const QString name = normalName(sectionHeadName(line).toString());
            current = m_sections.contains(name) ? nullptr : &m_sections[name];
            if (current)
                current->head = i + 1;
            continue;
        }
        if (!current)
            continue;
        ++current->content;
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && !current->keys.contains(line.left(equals).trimmed().toLower()))
            current->keys.insert(line.left(equals).trimmed().toLower(), i + 1);
    }
}

int EdsSource::sectionLine(const QString &section) const
{
    return m_sections.value(normalName(section)).head;
}

int EdsSource::keyLine(const QString &section, const QString &key) const
{
    return m_sections.value(normalName(section)).keys.value(key.toLower());
}

int EdsSource::contentLines(const QString &section) const
{
    return m_sections.value(normalName(section)).content;
}

int EdsSource::firstSubSectionLine(int index) const
{
    const QString prefix = objectSection(index) + QLatin1String("sub");
    int first = 0;
    for (auto it = m_sections.cbegin(); it != m_sections.cend(); ++it) {
        if (it.key().startsWith(prefix) && (!first || it->head < first))
            first = it->head;
    }
    return first;
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
