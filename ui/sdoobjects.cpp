#include "ui/sdoobjects.h"

#include "eds/edsfile.h"
#include "model/canobject.h"

namespace {

bool startupWritable(const EdsEntry &entry)
{
    static const QLatin1String writable[] = {QLatin1String("rw"), QLatin1String("wo"), QLatin1String("rww"),
                                             QLatin1String("rwr")};
    for (const QLatin1String &access : writable) {
        if (entry.accessType.compare(access, Qt::CaseInsensitive) == 0)
            // REAL64 and the integers of 40 to 64 bits are wider than an SDO of the configuration carries.
            return dataTypeSize(entry.dataType) <= 4;
    }
    return false;
}

void appendWritable(QList<EdsEntry> &list, const EdsEntry &entry)
{
    if (startupWritable(entry))
        list.append(entry);
}

} // namespace

QList<EdsEntry> startupWritableObjects(const CanObject &slave)
{
    QList<EdsEntry> result;
    if (!slave.eds) {
        for (const EdsEntry &entry : slave.mappableList)
            appendWritable(result, entry);
        return result;
    }
    for (const EdsObject &object : slave.eds->objects) {
        if (object.subEntries.isEmpty()) {
            EdsEntry own = object.entry;
            own.subIndex = 0;
            appendWritable(result, own);
        }
        for (const EdsEntry &entry : object.subEntries)
            appendWritable(result, entry);
    }
    return result;
}

bool dictionaryEntry(const CanObject &slave, int index, int subIndex, EdsEntry &out)
{
    if (!slave.eds)
        return slave.findMappable(index, subIndex, out) >= 0;
    return slave.eds->findSubIndex(index, subIndex, out);
}

int sdoObjectLength(const EdsEntry &object)
{
    const int size = dataTypeSize(object.dataType);
    return size <= 4 ? size : 0;
}
