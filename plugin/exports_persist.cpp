// Exports of the project stream and of recompile. A damaged project or block
// must never take the host down, so nothing escapes these shells.

#include "plugin/canslave.h"

#include "compile/recompile.h"
#include "model/canobject.h"
#include "persist/projectstream.h"

QByteArray save(CanObject *slave)
{
    if (!slave)
        return QByteArray();
    try {
        return saveProjectStream(*slave);
    } catch (...) {
        return QByteArray();
    }
}

CanObject *restore(const QByteArray &data, const QString &stationKey)
{
    try {
        return restoreProjectStream(data, stationKey).release();
    } catch (...) {
        return nullptr;
    }
}

CanObject *recompile(const QByteArray &block, const QString &stationKey, int *code)
{
    int result = RecompileMalformed;
    CanObject *slave = nullptr;
    try {
        RecompileResult rebuilt = recompileBlock(block, stationKey);
        result = rebuilt.code;
        slave = rebuilt.slave.release();
    } catch (...) {
        result = RecompileMalformed;
    }
    // The host presets the code; success leaves it as it is.
    if (code && result != RecompileOk)
        *code = result;
    return slave;
}
