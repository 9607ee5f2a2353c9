// [Comments]: only the numbering of the comment lines is checked.
#include "eds/edsnumber.h"
#include "eds/edsreader.h"

#include <bitset>

namespace {

// The number of a line "LineN=text" (1 to 3 digits right before the "="), -1 otherwise.
qint64 commentLineNumber(QStringView line)
{
    if (!startsWithIgnoringCase(line, QLatin1String("line")))
        return -1;
    qsizetype end = 4;
    while (end < line.size() && end < 7 && isDecimalDigit(line[end]))
        ++end;
    if (end == 4 || !line.mid(end).startsWith(QLatin1Char('=')))
        return -1;
    // A leading 0 reads the digits as octal, as every other number of the file.
    return toUnsignedNumber(line.mid(4, end - 4));
}

} // namespace

void readCommentsSection(EdsReader &reader)
{
    qint64 lineCount = -1;
    std::bitset<1000> seen;
    readSectionLines(reader, [&](const EdsLine &line) {
        const EdsKeyValue kv = reader.splitKeyValue(line);
        if (equalsIgnoringCase(kv.key, QLatin1String("lines"))) {
            const qint64 count = qint32(toUnsignedNumber(kv.value));
            if (lineCount != -1) {
                reader.diagnose(QStringLiteral("Duplicate of entry \"Lines\""), line.number);
                lineCount = qMax(lineCount, count);
            } else {
                lineCount = count;
            }
            return;
        }
        const qint64 number = commentLineNumber(line.text);
        if (number < 0) {
            reader.diagnose(QStringLiteral("Unknown lines"), line.number);
            return;
        }
        if (seen.test(size_t(number)))
            reader.diagnose(QStringLiteral("Duplicate lines"), line.number);
        else
            seen.set(size_t(number));
    });

    QVector<int> present;
    for (int n = 0; n < int(seen.size()); ++n) {
        if (seen.test(size_t(n)))
            present.append(n);
    }
    const int head = reader.sectionHeadLine();
    reportMissingNumbers(present, lineCount, [&](qint64 n) {
        reader.diagnose(QStringLiteral("Entry line %1 in section comment not found").arg(n), head);
    });
    for (int n : qAsConst(present)) {
        if (n > lineCount)
            reader.diagnose(QStringLiteral("Unused entry line%1").arg(n), head);
    }
}
