#include "basemodule.h"

#include <algorithm>

QString simplify(const QString &text)
{
    return text.simplified();
}

QByteArray shortToByteArray(quint16 value)
{
    QByteArray bytes(2, '\0');
    bytes[0] = char(value >> 8);
    bytes[1] = char(value);
    return bytes;
}

QByteArray intToByteArray(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(value >> (8 * (3 - i)));
    return bytes;
}

void toBigEndian(QByteArray &bytes)
{
    std::reverse(bytes.begin(), bytes.end());
}
