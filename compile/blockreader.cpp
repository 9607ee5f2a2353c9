#include "compile/blockreader.h"

bool BlockReader::take(int count, QByteArray &out)
{
    if (count < 0 || remaining() < count)
        return false;
    out = m_bytes.mid(m_position, count);
    m_position += count;
    return true;
}

bool BlockReader::skip(int count)
{
    if (count < 0 || remaining() < count)
        return false;
    m_position += count;
    return true;
}

namespace {
quint32 bigEndian(const QByteArray &bytes)
{
    quint32 value = 0;
    for (char c : bytes)
        value = (value << 8) | quint8(c);
    return value;
}
} // namespace

bool BlockReader::byte1(quint32 &out)
{
    QByteArray bytes;
    if (!take(1, bytes))
        return false;
    out = bigEndian(bytes);
    return true;
}

bool BlockReader::byte2(quint32 &out)
{
    QByteArray bytes;
    if (!take(2, bytes))
        return false;
    out = bigEndian(bytes);
    return true;
}

bool BlockReader::byte4(quint32 &out)
{
    QByteArray bytes;
    if (!take(4, bytes))
        return false;
    out = bigEndian(bytes);
    return true;
}

void BlockReader::narrow(int count)
{
    // count is a 16-bit length read from the block: never negative.
    if (count < remaining())
        m_bytes.truncate(m_position + count);
}
