#include "eds/edsreader.h"

#include "eds/edsnumber.h"

Q_LOGGING_CATEGORY(lcEds, "canslave.eds", QtWarningMsg)

EdsReader::EdsReader(QStringView text, EdsFile &file)
    : file(file)
    , m_text(text)
{
}

bool EdsReader::atEnd() const
{
    return m_pushBack.isEmpty() && m_position >= m_text.size();
}

EdsLine EdsReader::readLine()
{
    if (!m_pushBack.isEmpty())
        return m_pushBack.takeLast();
    EdsLine line;
    if (m_position >= m_text.size())
        return line;
    // Only a line feed ends a line; the carriage return of CR LF is trimmed away.
    qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_position);
    if (end < 0)
        end = m_text.size();
    line.text = m_text.mid(m_position, end - m_position).trimmed();
    line.number = ++m_lineNumber;
    m_position = end + 1;
    return line;
}

void EdsReader::pushBackLine(const EdsLine &line)
{
    m_pushBack.append(line);
}

void EdsReader::enterSection(QStringView name, int headLine)
{
    m_sectionName = name;
    m_sectionLine = headLine;
}

void EdsReader::diagnose(const QString &text, int line)
{
    ++file.diagnosticCount;
    qCInfo(lcEds).noquote() << line << m_sectionName << text;
    if (file.diagnostics.size() < maxKeptDiagnostics)
        file.diagnostics.append(EdsDiagnostic{text, line, m_sectionName.toString()});
}

void EdsReader::diagnoseNotANumber(const EdsLine &line)
{
    const EdsKeyValue kv = splitKeyValue(line);
    diagnose(QStringLiteral("Not a number: %1=%2").arg(kv.key, kv.value), line.number);
}

EdsKeyValue EdsReader::splitKeyValue(const EdsLine &line)
{
    const qsizetype equals = line.text.indexOf(QLatin1Char('='));
    if (equals < 0) {
        diagnose(QStringLiteral("grammer error"), line.number);
        return {};
    }
    return {line.text.left(equals).trimmed(), line.text.mid(equals + 1).trimmed()};
}

bool isSectionHead(QStringView line)
{
    return line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'));
}

void skipSectionLines(EdsReader &reader)
{
    readSectionLines(reader, [](const EdsLine &) {});
}

namespace {

template<typename Convert>
auto keyNumber(EdsReader &reader, const EdsLine &line, QStringView value, Convert convert)
{
    bool ok = false;
    const QStringView number = withoutValueComment(value);
    const auto result = convert(number, &ok);
    if (!ok && !number.isEmpty())
        reader.diagnoseNotANumber(line);
    return result;
}

} // namespace

quint32 unsignedValue(EdsReader &reader, const EdsLine &line, QStringView value)
{
    return keyNumber(reader, line, value, [](QStringView t, bool *ok) { return toUnsignedNumber(t, ok); });
}

qint32 signedValue(EdsReader &reader, const EdsLine &line, QStringView value)
{
    // Limits of UNSIGNED32 objects are written up to 0xFFFFFFFF: numbers all the
    // same, stored as 0 because they do not fit.
    return keyNumber(reader, line, value, [](QStringView t, bool *ok) {
        const qint32 number = toSignedNumber(t, ok);
        if (!*ok)
            toUnsignedNumber(t, ok);
        return number;
    });
}
