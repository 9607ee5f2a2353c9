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

namespace {

// Position of the "]" that closes a head: the first one after which there are
// only blanks and, optionally, a comment; -1 when the line is no head.
qsizetype headEnd(QStringView line)
{
    if (!line.startsWith(QLatin1Char('[')))
        return -1;
    for (qsizetype close = line.indexOf(QLatin1Char(']')); close >= 0; close = line.indexOf(QLatin1Char(']'), close + 1)) {
        const QStringView rest = line.mid(close + 1).trimmed();
        if (rest.isEmpty() || rest.startsWith(QLatin1Char(';')) || rest.startsWith(QLatin1Char('#')))
            return close;
    }
    return -1;
}

} // namespace

bool isSectionHead(QStringView line)
{
    return headEnd(line) >= 0;
}

QStringView sectionHeadName(QStringView line)
{
    const qsizetype close = headEnd(line);
    return close < 0 ? QStringView() : line.mid(1, close - 1).trimmed();
}

void skipSectionLines(EdsReader &reader)
{
    readSectionLines(reader, [](const EdsLine &) {});
}

namespace {

template<typename Convert>
auto keyNumber(EdsReader &reader, const EdsLine &line, QStringView value, Convert convert)
{
    const QStringView number = withoutValueComment(value);
    const auto result = convert(number);
    // A number too wide for the field is a number all the same: it reads as 0.
    if (!result && !number.isEmpty() && !toNumber64(number))
        reader.diagnoseNotANumber(line);
    return result.value_or(0);
}

} // namespace

quint32 unsignedValue(EdsReader &reader, const EdsLine &line, QStringView value)
{
    return keyNumber(reader, line, value, unsignedNumber);
}

qint32 signedValue(EdsReader &reader, const EdsLine &line, QStringView value)
{
    // Limits of UNSIGNED32 objects are written up to 0xFFFFFFFF: numbers all the
    // same, stored as 0 because they do not fit.
    return keyNumber(reader, line, value, [](QStringView t) -> std::optional<qint32> {
        if (const auto number = signedNumber(t))
            return number;
        if (unsignedNumber(t))
            return 0;
        return std::nullopt;
    });
}
