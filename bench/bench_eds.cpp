// Loading EDS files of 100 KB, 1 MB and 10 MB from memory and from disk.
#include "edsgenerator.h"
#include "peakmemory.h"

#include "eds/edsfile.h"

#include <QHash>
#include <QTemporaryFile>

#include <benchmark/benchmark.h>

namespace {

const QByteArray &generated(qint64 bytes)
{
    static QHash<qint64, QByteArray> cache;
    auto it = cache.find(bytes);
    if (it == cache.end())
        it = cache.insert(bytes, generateEds(bytes, 20261207));
    return *it;
}

void reportSize(benchmark::State &state, const QByteArray &data)
{
    state.SetBytesProcessed(qint64(state.iterations()) * data.size());
    state.counters["input_bytes"] = double(data.size());
}

void loadFromMemory(benchmark::State &state)
{
    const QByteArray &data = generated(state.range(0));
    int subIndexes = 0;
    for (auto _ : state) {
        const std::unique_ptr<EdsFile> eds = loadEdsFromData(data);
        subIndexes = 0;
        for (const EdsObject &object : eds->objects)
            subIndexes += object.subEntries.size();
        benchmark::DoNotOptimize(subIndexes);
    }
    reportSize(state, data);
    state.counters["sub_indexes"] = subIndexes;
    const qint64 peak = peakMemoryOf([&] { benchmark::DoNotOptimize(loadEdsFromData(data)); });
    state.counters["peak_bytes_per_input_byte"] = double(peak) / double(data.size());
}

void loadFromFile(benchmark::State &state)
{
    const QByteArray &data = generated(state.range(0));
    QTemporaryFile file;
    if (!file.open() || file.write(data) != data.size() || !file.flush()) {
        state.SkipWithError("cannot write the temporary EDS file");
        return;
    }
    const QString path = file.fileName();
    for (auto _ : state)
        benchmark::DoNotOptimize(loadEds(path));
    reportSize(state, data);
    const qint64 peak = peakMemoryOf([&] { benchmark::DoNotOptimize(loadEds(path)); });
    state.counters["peak_bytes_per_input_byte"] = double(peak) / double(data.size());
}

} // namespace

BENCHMARK(loadFromMemory)->Arg(100 * 1000)->Arg(1000 * 1000)->Arg(10 * 1000 * 1000)->Unit(benchmark::kMillisecond);
BENCHMARK(loadFromFile)->Arg(100 * 1000)->Arg(1000 * 1000)->Arg(10 * 1000 * 1000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
