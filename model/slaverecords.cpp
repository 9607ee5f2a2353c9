#include "model/slaverecords.h"

bool PDOMapEntry::operator==(const PDOMapEntry &o) const
{
    return index == o.index && subIndex == o.subIndex && name == o.name
        && byteLength == o.byteLength && dataType == o.dataType && readOnly == o.readOnly
        && area == o.area && offset == o.offset && reservedValue == o.reservedValue
        && clearWhenStop == o.clearWhenStop;
}

bool PDOConfig::operator==(const PDOConfig &o) const
{
    return mapList == o.mapList && commIndex == o.commIndex
        && cobIdRelative == o.cobIdRelative && cobIdBase == o.cobIdBase
        && direction == o.direction && reservedValue == o.reservedValue
        && transmissionType == o.transmissionType && reservedText == o.reservedText
        && inhibitTime == o.inhibitTime && eventTimer == o.eventTimer && name == o.name
        && nodeId == o.nodeId;
}

bool SDOEntry::operator==(const SDOEntry &o) const
{
    return index == o.index && subIndex == o.subIndex && length == o.length && data == o.data
        && dataText == o.dataText && name == o.name;
}

bool EdsPdoEntry::operator==(const EdsPdoEntry &o) const
{
    return EdsEntry::operator==(o) && cobIdRelative == o.cobIdRelative
        && cobIdBase == o.cobIdBase && inhibitTime == o.inhibitTime
        && eventTimer == o.eventTimer && transmissionType == o.transmissionType;
}
