#include "eds/edsentry.h"

#include <tuple>

bool EdsEntry::operator==(const EdsEntry &o) const
{
    return subNumber == o.subNumber && index == o.index && subIndex == o.subIndex
        && parameterName == o.parameterName && objectType == o.objectType
        && dataType == o.dataType && lowLimit == o.lowLimit && highLimit == o.highLimit
        && limitsNodeRelative == o.limitsNodeRelative
        && accessType == o.accessType && defaultIsNodeRelative == o.defaultIsNodeRelative
        && defaultValue == o.defaultValue && defaultGiven == o.defaultGiven && pdoMapping == o.pdoMapping
        && objFlags == o.objFlags && compactSubObj == o.compactSubObj;
}

bool comesBefore(const EdsEntry &a, const EdsEntry &b)
{
    return std::tie(a.index, a.subIndex) < std::tie(b.index, b.subIndex);
}

int dataTypeSize(int code)
{
    switch (code) {
    case DataTypeBoolean:
    case DataTypeInteger8:
    case DataTypeUnsigned8:
        return 1;
    case DataTypeInteger16:
    case DataTypeUnsigned16:
        return 2;
    case DataTypeInteger32:
    case DataTypeUnsigned32:
    case DataTypeReal32:
        return 4;
    case DataTypeInteger24:
    case DataTypeUnsigned24:
        return 3;
    case DataTypeReal64:
        return 8;
    default:
        break;
    }
    // INTEGER40 to INTEGER64 and UNSIGNED40 to UNSIGNED64: 5 to 8 bytes in code order.
    if (code >= DataTypeInteger40 && code <= DataTypeInteger64)
        return 5 + code - DataTypeInteger40;
    if (code >= DataTypeUnsigned40 && code <= DataTypeUnsigned64)
        return 5 + code - DataTypeUnsigned40;
    return 0;
}
