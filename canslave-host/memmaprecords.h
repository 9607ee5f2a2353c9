#pragma once

// The memory maps the plug-in reports for a slave, one record per mapped object.

#include <QList>

class CanObject;
class Plugin;

namespace refhost {

struct MemMapRecord {
    int area = 0;
    int offset = 0;
    int length = 0;
    bool clearWhenStop = false; // outputs only
};

// outputs: the output map, whose records also say whether the output clears when the PLC stops.
QList<MemMapRecord> memMapRecords(const Plugin &plugin, CanObject *slave, bool outputs);

} // namespace refhost
