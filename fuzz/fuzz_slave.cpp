// Any bytes as a device's EDS, through the whole life of a slave: load, default
// PDOs, compile, recompile, save, restore and release. Whatever the file says,
// nothing may stay reserved in the station's PLC memory book at the end.
#include "compile/configblock.h"
#include "compile/recompile.h"
#include "eds/edsfile.h"
#include "model/canobject.h"
#include "model/hostservices.h"
#include "model/slavefromeds.h"
#include "persist/projectstream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QString key = QStringLiteral("fuzz-station");
const QString devicePath = QStringLiteral("/fuzz/device.eds");
std::shared_ptr<const EdsFile> device;

void serveDevice()
{
    // Recompile and restore read the EDS again by its path: they get the input.
    static const ScopedEdsSource source([](const QString &path) { return path == devicePath ? device : nullptr; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool served = (serveDevice(), true);
    Q_UNUSED(served);
    device = loadEdsFromData(QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size)));

    CanObject slave(5);
    slave.projectKey = key;
    if (loadEdsIntoSlave(slave, devicePath) != 1)
        std::abort();
    buildDefaultPdos(slave);
    const QByteArray block = compileSlave(slave);
    const QByteArray stream = saveProjectStream(slave);
    slave.releaseMappedMemory();
    if (!memoryReservations(key).isEmpty())
        std::abort();

    RecompileResult recompiled = recompileBlock(block, key);
    if ((recompiled.code == RecompileOk || recompiled.code == RecompileEdsMissing) != bool(recompiled.slave))
        std::abort();
    if (recompiled.slave) {
        compileSlave(*recompiled.slave);
        recompiled.slave->releaseMappedMemory();
    }
    if (!memoryReservations(key).isEmpty())
        std::abort();

    std::unique_ptr<CanObject> restored = restoreProjectStream(stream, key);
    if (!restored)
        std::abort();
    saveProjectStream(*restored);
    restored->releaseMappedMemory();
    if (!memoryReservations(key).isEmpty())
        std::abort();
    device.reset();
    return 0;
}
