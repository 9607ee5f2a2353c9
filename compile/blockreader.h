#pragma once

#include <QByteArray>

// Reads a configuration block from the front: every take fails, and consumes
// nothing, when fewer bytes remain than it needs.
class BlockReader
{
public:
    explicit BlockReader(const QByteArray &bytes) : m_bytes(bytes) {}

    int remaining() const { return m_bytes.size() - m_position; }
    bool take(int count, QByteArray &out);
    bool skip(int count);
    bool byte1(quint32 &out);
    bool byte2(quint32 &out);
    bool byte4(quint32 &out);
    // Keeps only the next count bytes (all of them when fewer remain).
    void narrow(int count);

private:
    QByteArray m_bytes;
    int m_position = 0;
};
