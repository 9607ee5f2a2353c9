#pragma once

#include <QString>
#include <QtGlobal>

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
};

// Byte size of a data type code: 1 to 8 have a size, every other code is 0.
int dataTypeSize(int code);
