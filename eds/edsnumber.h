#pragma once

#include <QLatin1String>
#include <QStringView>
#include <QtGlobal>

// Number syntax of EDS values: "0x1A" and "1Ah" are hexadecimal, "010" is octal,
// anything else decimal. A text that does not convert completely gives 0 and ok false.
qint32 toSignedNumber(QStringView text, bool *ok = nullptr);
// As toSignedNumber, but unsigned; a negative decimal gives its two's-complement bits.
quint32 toUnsignedNumber(QStringView text, bool *ok = nullptr);
// Index and sub-index parts of section names, always hexadecimal; -1 when not a number.
qint64 toIndexNumber(QStringView text);
// Flags: anything but an empty text and "0" is true.
bool isTrueValue(QStringView text);

// ASCII-keyed, case-insensitive comparison of a whole text.
bool equalsIgnoringCase(QStringView text, QLatin1String key);
bool startsWithIgnoringCase(QStringView text, QLatin1String prefix);
inline bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}
inline bool isDecimalDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}
