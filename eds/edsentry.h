#pragma once

#include <QString>
#include <QtGlobal>

// How many indexes and sub-indexes an object dictionary addresses.
constexpr int dictionaryIndexCount = 0x10000;
constexpr int dictionarySubIndexCount = 0x100;

// One object or one sub-index of a device's object dictionary as the EDS describes it.
struct EdsEntry {
    qint32 subNumber = 0;
    qint32 index = -1;
    qint32 subIndex = -1; // -1 on an object's own entry
    QString parameterName;
    quint8 objectType = 255;
    quint8 dataType = 0;
    qint32 lowLimit = 0;
    qint32 highLimit = 0;
    quint8 limitsNodeRelative = 0; // bit 0: lowLimit, bit 1: highLimit given as $NODEID plus a number
    QString accessType = QStringLiteral("RO");
    qint32 defaultIsNodeRelative = 0;
    quint32 defaultValue = 0;
    bool defaultGiven = false; // the file gave a value that converted
    bool pdoMapping = false;
    quint8 objFlags = 0;
    quint8 compactSubObj = 0;

    bool operator==(const EdsEntry &o) const;
    bool operator!=(const EdsEntry &o) const { return !(*this == o); }
};

// CiA 301 data type codes the system cares about.
enum DataTypeCode : quint8 {
    DataTypeBoolean = 1,
    DataTypeInteger8 = 2,
    DataTypeInteger16 = 3,
    DataTypeInteger32 = 4,
    DataTypeUnsigned8 = 5,
    DataTypeUnsigned16 = 6,
    DataTypeUnsigned32 = 7,
    DataTypeReal32 = 8,
    DataTypeVisibleString = 9,
    DataTypeInteger24 = 0x10,
    DataTypeReal64 = 0x11,
    DataTypeInteger40 = 0x12,
    DataTypeInteger64 = 0x15,
    DataTypeUnsigned24 = 0x16,
    DataTypeUnsigned40 = 0x18,
    DataTypeUnsigned64 = 0x1B,
};

// Byte size of a data type code: the basic types of 1 to 8 bytes have one,
// strings, domains and every other code 0. The one place sizes come from.
int dataTypeSize(int code);

// Dictionary order: by index, then by sub-index.
bool comesBefore(const EdsEntry &a, const EdsEntry &b);
