#pragma once

#include <QLatin1String>
#include <QStringView>
#include <QtGlobal>

#include <optional>

// Number syntax of EDS values: "0x1A" and "1Ah" are hexadecimal, "010" is octal,
// anything else decimal. A text that does not convert completely gives 0 and ok false.
qint32 toSignedNumber(QStringView text, bool *ok = nullptr);
// As toSignedNumber, but unsigned; a negative decimal gives its two's-complement bits.
quint32 toUnsignedNumber(QStringView text, bool *ok = nullptr);
// The same two, empty when the text is no number of the type.
std::optional<qint32> signedNumber(QStringView text);
std::optional<quint32> unsignedNumber(QStringView text);
// The same syntax for values of up to 64 bits, signed or unsigned; bits gets
// the two's-complement bits of a negative one.
bool toNumber64(QStringView text, quint64 *bits = nullptr);
// Index and sub-index parts of section names, always hexadecimal; -1 when not a number.
qint64 toIndexNumber(QStringView text);
// Flags: anything but an empty text and "0" is true.
bool isTrueValue(QStringView text);
// A key's value without a trailing comment: "0x0007 # UNSIGNED32" and "0 ; no"
// are written by hand often enough that the number should still count.
QStringView withoutValueComment(QStringView value);

// A DefaultValue or ParameterValue: a number, or a number and $NODEID joined by
// "+" in either order (any case, blanks allowed), or $NODEID alone.
struct NodeRelativeValue {
    qint32 relative = 0;
    quint32 value = 0;
    bool converted = false;
    // A "+" without $NODEID: read as node-relative all the same, as it always was.
    bool plusWithoutNodeId = false;
};
NodeRelativeValue readNodeRelativeValue(QStringView text);

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
