#include "eds/mappingword.h"

#include <QString>

MappingWord readMappingWord(quint32 value)
{
    MappingWord word;
    word.index = int(value >> 16);
    word.subIndex = int((value >> 8) & 0xFF);
    word.bits = int(value & 0xFF);
    return word;
}

bool coversWholeBytes(const MappingWord &word)
{
    return word.bits % 8 == 0;
}

bool isDummyIndex(int index)
{
    return index >= DataTypeBoolean && index <= DataTypeUnsigned32;
}

EdsEntry dummyEntry(int index)
{
    static const char *const names[] = {"BOOLEAN",  "INTEGER8",  "INTEGER16", "INTEGER32",
                                        "UNSIGNED8", "UNSIGNED16", "UNSIGNED32"};
    EdsEntry entry;
    entry.index = index;
    entry.subIndex = 0;
    entry.dataType = quint8(index);
    if (isDummyIndex(index))
        entry.parameterName = QLatin1String(names[index - DataTypeBoolean]);
    return entry;
}
