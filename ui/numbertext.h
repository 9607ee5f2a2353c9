#pragma once

#include <QString>
#include <QtGlobal>

// Identity values: upper-case hexadecimal, padded to 8 digits.
QString hex8Text(quint32 value);
// COB-IDs and indexes: upper-case hexadecimal without padding.
QString hexText(quint32 value);
