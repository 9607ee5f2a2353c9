// Exports of slave creation, compile and PLC memory. Thin shells: they check
// the handle, fix the null results and hand over; nothing escapes them.

#include "plugin/canslave.h"

#include "compile/configblock.h"
#include "model/canobject.h"
#include "model/memoryplacement.h"
#include "model/slavefromeds.h"
#include "plugin/mappingsymbols.h"

#include <memory>

CanObject *createCanObject(void *, const QString &edsPath, int nodeId, const QString &stationKey)
{
    std::unique_ptr<CanObject> slave;
    try {
        slave = std::make_unique<CanObject>(quint8(nodeId));
        slave->projectKey = stationKey;
        if (loadEdsIntoSlave(*slave, edsPath) == 0)
            return nullptr;
        buildDefaultPdos(*slave);
        return slave.release();
    } catch (...) {
        // The default places taken so far go back with the half-built slave.
        if (slave)
            slave->releaseMappedMemory();
        return nullptr;
    }
}

int compile(CanObject *slave, QByteArray &block, CompileList &list)
{
    list.clear();
    block.clear();
    // A null slave is the host's mistake; answer without touching anything.
    if (!slave)
        return -1;
    try {
        block = compileSlave(*slave);
        return 0;
    } catch (...) {
        return -1;
    }
}

bool autoMallocInMap(CanObject *slave)
{
    try {
        return slave && autoMallocMap(*slave, PdoTransmit);
    } catch (...) {
        return false;
    }
}

bool autoMallocOutMap(CanObject *slave)
{
    try {
        return slave && autoMallocMap(*slave, PdoReceive);
    } catch (...) {
        return false;
    }
}

namespace {

QByteArray guardedMemoryMap(CanObject *slave, qint32 direction, int *count)
{
    if (count)
        *count = 0;
    if (!slave)
        return QByteArray();
    try {
        return memoryMap(*slave, direction, count);
    } catch (...) {
        if (count)
            *count = 0;
        return QByteArray();
    }
}

} // namespace

QByteArray getInputMemMap(CanObject *slave, int *count)
{
    return guardedMemoryMap(slave, PdoTransmit, count);
}

QByteArray getOutputMemMap(CanObject *slave, int *count)
{
    return guardedMemoryMap(slave, PdoReceive, count);
}

void getMappingSym(CanObject *slave, QList<MappingSymbol> *symbols)
{
    if (!slave || !symbols)
        return;
    try {
        // Built whole first: the host's list gets all of them or none.
        const QList<MappingSymbol> built = buildMappingSymbols(*slave);
        symbols->append(built);
    } catch (...) {
    }
}
