#pragma once

#include <QtGlobal>

#include <functional>

// Runs work in a forked child and returns how far the child's resident memory
// rose above what it held before work started (bytes), or -1 when that cannot
// be measured. The child starts with the parent's memory, so inputs prepared
// beforehand are not counted.
qint64 peakMemoryOf(const std::function<void()> &work);
