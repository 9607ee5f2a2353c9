#pragma once

#include "eds/edsfile.h"
#include "model/slavefromeds.h"

#include <QHash>

// Fuzz inputs name the same few EDS files again and again; parsing each of them
// once per process keeps the executions on what the input itself changes.
inline void cacheEdsFiles()
{
    static QHash<QString, std::shared_ptr<const EdsFile>> cache;
    // Installed for the life of the process: every execution reads through it.
    static const ScopedEdsSource source([](const QString &path) {
        auto it = cache.constFind(path);
        if (it != cache.constEnd())
            return *it;
        // Inputs may name any path; forget them all before the cache grows big.
        if (cache.size() >= 64)
            cache.clear();
        std::shared_ptr<const EdsFile> eds(loadEds(path));
        cache.insert(path, eds);
        return eds;
    });
}
