#include "memmaprecords.h"

#include "pluginlibrary.h"

namespace refhost {

QList<MemMapRecord> memMapRecords(const Plugin &plugin, CanObject *slave, bool outputs)
{
    int count = 0;
    const QByteArray map = plugin.get<canslave::GetMemMapFn>(outputs ? "getOutputMemMap" : "getInputMemMap")(slave, &count);
    // Length at 2, area at 3, offset at 4 and 5; an output's record adds a byte that is 0 when it clears.
    const int width = outputs ? 7 : 6;
    QList<MemMapRecord> records;
    for (int i = 0; i + width <= map.size(); i += width) {
        const auto b = [&](int k) { return int(quint8(map.at(i + k))); };
        records.append({b(3), b(4) << 8 | b(5), b(2), outputs && b(6) == 0});
    }
    return records;
}

} // namespace refhost
