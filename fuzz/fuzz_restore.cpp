// Any bytes as a saved project, under each layout: restoring must stay safe
// and bounded, and what comes back must save and release cleanly.
#include "edscache.h"
#include "model/canobject.h"
#include "model/hostservices.h"
#include "persist/projectstream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString key = QStringLiteral("fuzz-station");
    static const bool cached = (cacheEdsFiles(), true);
    Q_UNUSED(cached);
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    for (int version : {2006, 2008, CurrentCreatorVersion}) {
        setHwFileCreatedVerNum(key, version);
        std::unique_ptr<CanObject> slave = restoreProjectStream(bytes, key);
        if (!slave)
            std::abort();
        const QByteArray saved = saveProjectStream(*slave);
        // What the current layout wrote, it reads back the same.
        if (version == CurrentCreatorVersion) {
            std::unique_ptr<CanObject> again = restoreProjectStream(saved, key);
            if (saveProjectStream(*again) != saved && again->name != QLatin1String("Unknown Device"))
                std::abort();
            again->releaseMappedMemory();
        }
        slave->releaseMappedMemory();
        clearMemory(key);
    }
    return 0;
}
