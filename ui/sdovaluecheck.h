#pragma once

#include <QString>
#include <QtGlobal>

struct EdsEntry;

// Why a typed SDO value cannot go to its object; kind None when it can.
struct SdoValueProblem {
    enum Kind { None, Empty, Length, WholeNumber, DecimalPoint, TypeRange, Limits };
    Kind kind = None;
    // The range the value must lie in, for TypeRange and Limits.
    qint64 low = 0;
    qint64 high = 0;
};

// Checks text against length as every SDO value is checked, then, when the
// object is known, against its data type (integers for the integer types, a
// decimal point for REAL32, the type's range) and the LowLimit/HighLimit the
// EDS gives it, the node id added to a limit given with $NODEID. A limit of 0
// on both ends means the EDS gives none; a high limit below the low one means
// only the low one is given. Hexadecimal and binary values are bit patterns: a
// signed type reads them in two's complement.
SdoValueProblem sdoValueProblem(const QString &text, int length, const EdsEntry *object, int nodeId);
