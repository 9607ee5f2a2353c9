#include "eds/edsnumber.h"

#include <QChar>
#include <QString>

#include <climits>
#include <limits>
#include <optional>

namespace {

// The value of a digit of bases up to 16; anything else is a digit of no base.
int digitValue(char16_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::numeric_limits<int>::max();
}

// Strict integer conversion in the manner of QString::toLongLong: blanks around the
// number, one sign and, in base 16, a "0x" prefix are accepted; everything else must be
// a digit of the base, and the value within minimum and maximum.
std::optional<qint64> parseInteger(QStringView text, int base, bool allowMinus, qint64 minimum,
                                   qint64 maximum)
{
    text = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        if (negative && !allowMinus)
            return std::nullopt;
        ++i;
    }
    if (base == 16 && text.mid(i).startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        i += 2;
    if (i >= text.size())
        return std::nullopt;
    // Bounded digit by digit, so that no text can overflow.
    const qint64 bound = negative ? -minimum : maximum;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i].unicode());
        if (digit >= base)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > bound)
            return std::nullopt;
    }
    return negative ? -magnitude : magnitude;
}

enum class NumberBase { Hexadecimal, Octal, Decimal };

NumberBase baseOf(QStringView text, QStringView &digits)
{
    digits = text;
    if (text.endsWith(QLatin1Char('h'), Qt::CaseInsensitive)) {
        digits = text.chopped(1);
        return NumberBase::Hexadecimal;
    }
    if (startsWithIgnoringCase(text, QLatin1String("0x")))
        return NumberBase::Hexadecimal;
    if (text.startsWith(QLatin1Char('0')))
        return NumberBase::Octal;
    return NumberBase::Decimal;
}

int radix(NumberBase base)
{
    switch (base) {
    case NumberBase::Hexadecimal:
        return 16;
    case NumberBase::Octal:
        return 8;
    case NumberBase::Decimal:
        break;
    }
    return 10;
}

} // namespace

std::optional<qint32> signedNumber(QStringView text)
{
    text = text.trimmed();
    QStringView digits;
    const NumberBase base = baseOf(text, digits);
    if (const auto value = parseInteger(digits, radix(base), true, INT_MIN, INT_MAX))
        return qint32(*value);
    return std::nullopt;
}

std::optional<quint32> unsignedNumber(QStringView text)
{
    text = text.trimmed();
    QStringView digits;
    const NumberBase base = baseOf(text, digits);
    const bool negativeDecimal = base == NumberBase::Decimal && text.startsWith(QLatin1Char('-'));
    const auto value = negativeDecimal ? parseInteger(digits, 10, true, INT_MIN, INT_MAX)
                                       : parseInteger(digits, radix(base), false, 0, UINT_MAX);
    if (value)
        return quint32(*value);
    return std::nullopt;
}

qint32 toSignedNumber(QStringView text, bool *ok)
{
    const auto number = signedNumber(text);
    if (ok)
        *ok = number.has_value();
    return number.value_or(0);
}

quint32 toUnsignedNumber(QStringView text, bool *ok)
{
    const auto number = unsignedNumber(text);
    if (ok)
        *ok = number.has_value();
    return number.value_or(0u);
}

bool toNumber64(QStringView text, quint64 *bits)
{
    text = text.trimmed();
    QStringView digits;
    const int base = radix(baseOf(text, digits));
    digits = digits.trimmed();
    const bool negative = digits.startsWith(QLatin1Char('-'));
    if (negative && base != 10)
        return false;
    if (negative || digits.startsWith(QLatin1Char('+')))
        digits = digits.mid(1);
    if (base == 16 && startsWithIgnoringCase(digits, QLatin1String("0x")))
        digits = digits.mid(2);
    if (digits.isEmpty())
        return false;
    const quint64 limit = negative ? quint64(1) << 63 : ~quint64(0);
    quint64 magnitude = 0;
    for (QChar c : digits) {
        const int digit = digitValue(c.unicode());
        if (digit >= base || magnitude > (limit - quint64(digit)) / quint64(base))
            return false;
        magnitude = magnitude * quint64(base) + quint64(digit);
    }
    if (bits)
        *bits = negative ? ~magnitude + 1 : magnitude;
    return true;
}

qint64 toIndexNumber(QStringView text)
{
    std::optional<quint32> value;
    if (startsWithIgnoringCase(text, QLatin1String("0x"))) {
        value = unsignedNumber(text);
    } else {
        QString prefixed = QLatin1String("0x");
        prefixed.append(text);
        value = unsignedNumber(prefixed);
    }
    return value ? qint64(*value) : -1;
}

bool isTrueValue(QStringView text)
{
    return !text.isEmpty() && text != QLatin1String("0");
}

QStringView withoutValueComment(QStringView value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char(';') || value[i] == QLatin1Char('#'))
            return value.left(i).trimmed();
    }
    return value.trimmed();
}

NodeRelativeValue readNodeRelativeValue(QStringView text)
{
    const QLatin1String nodeId("$NODEID");
    NodeRelativeValue result;
    text = withoutValueComment(text);
    const qsizetype plus = text.indexOf(QLatin1Char('+'));
    if (plus < 0) {
        if (equalsIgnoringCase(text, nodeId)) {
            result.relative = 1;
            result.converted = true;
        } else {
            result.value = toUnsignedNumber(text, &result.converted);
            // Values of 40- to 64-bit objects: the low 32 bits are all a field keeps.
            quint64 wide = 0;
            if (!result.converted && toNumber64(text, &wide)) {
                result.value = quint32(wide);
                result.converted = true;
            }
        }
        return result;
    }
    if (plus == 0 && !text.contains(nodeId, Qt::CaseInsensitive)) {
        // "+389": a sign, not a sum.
        const QStringView number = text.mid(1).trimmed();
        if (!number.startsWith(QLatin1Char('-')))
            result.value = toUnsignedNumber(number, &result.converted);
        return result;
    }
    result.relative = 1;
    const qsizetype lastPlus = text.lastIndexOf(QLatin1Char('+'));
    QStringView number;
    if (equalsIgnoringCase(text.left(plus).trimmed(), nodeId)) {
        number = text.mid(plus + 1);
    } else if (equalsIgnoringCase(text.mid(lastPlus + 1).trimmed(), nodeId)) {
        number = text.left(lastPlus);
    } else {
        result.plusWithoutNodeId = true;
        number = text.mid(plus + 1);
    }
    result.value = toUnsignedNumber(number.trimmed(), &result.converted);
    return result;
}

namespace {

bool sameCharIgnoringCase(QChar a, char b)
{
    const char16_t u = a.unicode();
    if (u < 0x80) {
        const auto lower = [](char16_t c) { return (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c; };
        return lower(u) == lower(char16_t(uchar(b)));
    }
    // Outside ASCII only case folding can make a character equal to an ASCII one.
    return a.toCaseFolded() == QChar(QLatin1Char(b)).toCaseFolded();
}

} // namespace

bool startsWithIgnoringCase(QStringView text, QLatin1String prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (int i = 0; i < prefix.size(); ++i) {
        if (!sameCharIgnoringCase(text[i], prefix[i].toLatin1()))
            return false;
    }
    return true;
}

bool equalsIgnoringCase(QStringView text, QLatin1String key)
{
    return text.size() == key.size() && startsWithIgnoringCase(text, key);
}
