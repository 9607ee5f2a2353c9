// Exports of slave creation, compile and PLC memory. Thin shells: they check
// the handle, fix the null results and hand over.

#include "plugin/canslave.h"

#include "compile/configblock.h"
#include "compile/mappingsymbols.h"
#include "compile/memoryplacement.h"
#include "eds/slavefromeds.h"
#include "plugin/canobject.h"

#include <new>

CanObject *createCanObject(void *, const QString &edsPath, int nodeId, const QString &stationKey)
{
    CanObject *slave = new (std::nothrow) CanObject(quint8(nodeId));
    if (!slave)
        return nullptr;
    slave->projectKey = stationKey;
    if (loadEdsIntoSlave(*slave, edsPath) == 0) {
        delete slave;
        return nullptr;
    }
    buildDefaultPdos(*slave);
    return slave;
}

int compile(CanObject *slave, QByteArray &block, CompileList &list)
{
    list.clear();
    if (!slave) {
        // The host must not do this; answer without touching anything.
        block.clear();
        return -1;
    }
    block = compileSlave(*slave);
    return 0;
}

bool autoMallocInMap(CanObject *slave)
{
    return slave && autoMallocMap(*slave, PdoTransmit);
}

bool autoMallocOutMap(CanObject *slave)
{
    return slave && autoMallocMap(*slave, PdoReceive);
}

QByteArray getInputMemMap(CanObject *slave, int *count)
{
    if (count)
        *count = 0;
    return slave ? memoryMap(*slave, PdoTransmit, count) : QByteArray();
}

QByteArray getOutputMemMap(CanObject *slave, int *count)
{
    if (count)
        *count = 0;
    return slave ? memoryMap(*slave, PdoReceive, count) : QByteArray();
}

void getMappingSym(CanObject *slave, QList<MappingSymbol> *symbols)
{
    if (!slave || !symbols)
        return;
    symbols->append(buildMappingSymbols(*slave));
}
