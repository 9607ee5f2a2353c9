#pragma once

#include <QString>
#include <QtGlobal>

// Identity values: upper-case hexadecimal, padded to 8 digits.
QString hex8Text(quint32 value);
// COB-IDs and indexes: upper-case hexadecimal without padding.
QString hexText(quint32 value);
// An inhibit time, kept in units of 100 us, in ms to the tenth: 500 shows as 50.0.
QString inhibitTimeMsText(quint32 units);
