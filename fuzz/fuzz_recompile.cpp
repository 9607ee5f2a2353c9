// Any bytes as a configuration block: recompile must stay safe, and a refused
// block must leave nothing reserved behind.
#include "compile/configblock.h"
#include "compile/recompile.h"
#include "edscache.h"
#include "model/canobject.h"
#include "model/hostservices.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString key = QStringLiteral("fuzz-station");
    static const bool cached = (cacheEdsFiles(), true);
    Q_UNUSED(cached);
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    RecompileResult result = recompileBlock(bytes, key);
    if ((result.code == RecompileOk || result.code == RecompileEdsMissing) != bool(result.slave))
        std::abort();
    if (!result.slave && !memoryReservations(key).isEmpty())
        std::abort();
    if (result.slave) {
        compileSlave(*result.slave);
        result.slave->releaseMappedMemory();
    }
    clearMemory(key);
    return 0;
}
