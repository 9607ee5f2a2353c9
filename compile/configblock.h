#pragma once

#include <QByteArray>
#include <QString>

class CanObject;

// The configuration block the master downloads. Pads SDO values shorter than
// four bytes in the slave itself, so the saved project matches the block.
QByteArray compileSlave(CanObject &slave);

// The 8-bit form of a text, cut to at most 255 bytes at a character boundary,
// so that its one-byte length always tells the truth.
QByteArray shortLocal8Bit(const QString &text);
