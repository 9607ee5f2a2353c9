#pragma once

// The value of an automatic SDO as the user types it, and the bytes the
// master writes for it. Accepted forms: decimal ("100", "-100", "+5"),
// hexadecimal ("16#1A2B"), binary ("2#1010") and, at length 4 only, floating
// point ("1.5", "1E3", "-2.5e-1") stored as IEEE 754 single precision.

#include <QByteArray>
#include <QString>

// True when text is a value of one of the forms that fits length bytes.
bool isSdoValueValid(const QString &text, int length);

// The value's bytes, most significant first: length bytes for 1 to 3, four
// for any other length. A part that does not parse counts as 0.
QByteArray sdoValueBytes(const QString &text, int length);

// The last length bytes of a stored value, the ones the SDO writes; at least
// one, so that a length of 0 read back from a damaged file cannot wipe the value.
QByteArray sdoValueTail(const QByteArray &data, int length);

// "16#" and the bytes in lower-case hexadecimal: how a value stored only as
// bytes is shown and edited.
QString sdoBytesText(const QByteArray &bytes);
