// What check costs beyond loading: its findings for many sub-index sections
// whose objects are missing (the time must grow linearly), and for a generated
// 60 MB device (memory within the loading bound: 10 bytes per input byte plus 32 MB).
#include "edsgenerator.h"
#include "peakmemory.h"

#include "checkfindings.h"
#include "edssource.h"

#include "eds/edsfile.h"

#include <benchmark/benchmark.h>

namespace {

// Sub-index sections without their object, each found wanting.
QByteArray orphanSubSections(int count)
{
    QByteArray text = "[DeviceInfo]\nProductName=Orphans\n";
    for (int i = 0; i < count; ++i)
        text += "[" + QByteArray::number(0x2000 + i / 4, 16) + "sub" + QByteArray::number(i % 4 + 1) +
                "]\nParameterName=x\nDataType=0x0007\nAccessType=rw\n";
    return text;
}

int findingsOf(const QByteArray &data)
{
    const std::unique_ptr<EdsFile> eds = loadEdsFromData(data);
    const refhost::EdsSource source(data);
    return refhost::readerFindings(*eds, source).size() + refhost::configurationFindings(*eds, source).size();
}

void orphanSections(benchmark::State &state)
{
    const QByteArray data = orphanSubSections(int(state.range(0)));
    int findings = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(findings = findingsOf(data));
    state.counters["findings"] = findings;
    state.SetComplexityN(state.range(0));
}

void generatedDevice(benchmark::State &state)
{
    const QByteArray data = generateEds(state.range(0), 20261207);
    for (auto _ : state)
        benchmark::DoNotOptimize(findingsOf(data));
    const double bytes = double(data.size());
    const qint64 peak = peakMemoryOf([&] { findingsOf(data); });
    state.counters["input_bytes"] = bytes;
    state.counters["peak_bytes_per_input_byte"] = double(peak) / bytes;
    state.counters["peak_within_bound"] = peak <= qint64(10 * bytes) + (qint64(32) << 20) ? 1 : 0;
}

} // namespace

BENCHMARK(orphanSections)->RangeMultiplier(2)->Range(25000, 100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(generatedDevice)->Arg(60 * 1000 * 1000)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
