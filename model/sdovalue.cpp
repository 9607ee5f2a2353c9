#include "model/sdovalue.h"

#include "model/hostservices.h"

#include <QStringView>

#include <limits>

#include <algorithm>
#include <cfloat>
#include <cstring>

namespace {

enum class ValueForm { Binary, Hexadecimal, FloatingPoint, Signed, Unsigned };

// The forms are told apart by their start; a point or an exponent marks
// floating point only where a length of 4 allows it.
ValueForm valueForm(QStringView s, bool floatAllowed)
{
    if (s.startsWith(QLatin1String("2#")))
        return ValueForm::Binary;
    if (s.startsWith(QLatin1String("16#")))
        return ValueForm::Hexadecimal;
    if (floatAllowed && (s.contains(QLatin1Char('.')) || s.contains(QLatin1Char('E'))))
        return ValueForm::FloatingPoint;
    if (s.startsWith(QLatin1Char('+')) || s.startsWith(QLatin1Char('-')))
        return ValueForm::Signed;
    return ValueForm::Unsigned;
}

QStringView digitsOf(QStringView s, ValueForm form)
{
    switch (form) {
    case ValueForm::Binary: return s.mid(2);
    case ValueForm::Hexadecimal: return s.mid(3);
    default: return s;
    }
}

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return std::numeric_limits<int>::max(); // a digit of no base
}

// Every character a digit of base and the value not above limit; nothing else
// (no blanks, no sign) is taken.
bool parseUnsigned(QStringView digits, int base, quint64 limit, quint64 &value)
{
    value = 0;
    if (digits.isEmpty())
        return false;
    for (const QChar c : digits) {
        const int digit = digitValue(c);
        if (digit >= base)
            return false;
        value = value * quint64(base) + quint64(digit);
        if (value > limit)
            return false;
    }
    return true;
}

// A sign, then decimal digits; within -2^(bits-1) to 2^(bits-1) - 1.
bool parseSigned(QStringView s, int bits, qint64 &value)
{
    const bool negative = s.startsWith(QLatin1Char('-'));
    const quint64 highest = quint64(1) << (bits - 1);
    quint64 magnitude = 0;
    if (!parseUnsigned(s.mid(1), 10, negative ? highest : highest - 1, magnitude))
        return false;
    value = negative ? -qint64(magnitude) : qint64(magnitude);
    return true;
}

bool parseDouble(QStringView s, double &value)
{
    bool ok;
    value = s.toString().toDouble(&ok);
    return ok;
}

// The value of s in `bits` bits (two's complement for negatives); false when it
// does not parse or does not fit.
bool parseInteger(QStringView s, ValueForm form, int bits, quint64 &pattern)
{
    const quint64 max = bits >= 64 ? ~quint64(0) : (quint64(1) << bits) - 1;
    switch (form) {
    case ValueForm::Binary: return parseUnsigned(digitsOf(s, form), 2, max, pattern);
    case ValueForm::Hexadecimal: return parseUnsigned(digitsOf(s, form), 16, max, pattern);
    case ValueForm::Unsigned: return parseUnsigned(s, 10, max, pattern);
    case ValueForm::Signed: {
        qint64 value = 0;
        if (!parseSigned(s, bits, value))
            return false;
        pattern = quint64(value) & max;
        return true;
    }
    case ValueForm::FloatingPoint: break;
    }
    return false;
}

// Beyond single precision the value saturates at the largest finite float of
// its sign rather than becoming infinity, which a device would take as a
// meaningful setting.
quint32 singlePrecisionPattern(double value)
{
    const float single = float(std::clamp(value, -double(FLT_MAX), double(FLT_MAX)));
    quint32 pattern = 0;
    std::memcpy(&pattern, &single, sizeof pattern);
    return pattern;
}

QString normalised(const QString &text)
{
    return simplify(text).toUpper();
}

} // namespace

bool isSdoValueValid(const QString &text, int length)
{
    const QString s = normalised(text);
    if (s.isEmpty())
        return false;
    const bool shortValue = length >= 1 && length <= 3;
    const ValueForm form = valueForm(s, !shortValue);
    if (form == ValueForm::FloatingPoint) {
        double value = 0;
        return parseDouble(s, value);
    }
    quint64 pattern = 0;
    return parseInteger(s, form, shortValue ? 8 * length : 32, pattern);
}

QByteArray sdoValueBytes(const QString &text, int length)
{
    const QString s = normalised(text);
    const bool shortValue = length >= 1 && length <= 3;
    const ValueForm form = valueForm(s, !shortValue);

    quint64 pattern = 0;
    if (form == ValueForm::FloatingPoint) {
        double value = 0;
        if (parseDouble(s, value))
            pattern = singlePrecisionPattern(value);
    } else if (!parseInteger(s, form, length <= 2 && length >= 1 ? 16 : 32, pattern)) {
        pattern = 0;
    }

    switch (length) {
    case 1: return QByteArray(1, char(pattern & 0xFF));
    case 2: return shortToByteArray(quint16(pattern));
    case 3: return intToByteArray(quint32(pattern)).mid(1);
    default: return intToByteArray(quint32(pattern));
    }
}

QByteArray sdoValueTail(const QByteArray &data, int length)
{
    return data.right(qMax(1, length));
}

QString sdoBytesText(const QByteArray &bytes)
{
    return QStringLiteral("16#") + QString::fromLatin1(bytes.toHex());
}
