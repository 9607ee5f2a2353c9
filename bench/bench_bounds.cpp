// What a device file may make loading cost: a new slave from a small file of
// CompactSubObj arrays and a runaway mapping count, and from a generated 60 MB
// device. Loading must stay within 10 bytes of memory per input byte plus 32 MB
// and within a second per 10 MB; both figures are reported as counters.
#include "edsgenerator.h"
#include "peakmemory.h"

#include "model/canobject.h"
#include "model/hostservices.h"
#include "model/slavefromeds.h"

#include <QElapsedTimer>
#include <QTemporaryFile>

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

// 8000 arrays of 255 elements each in under 800 KB, and a mapping that
// promises 0x7FFFFFFF words.
QByteArray compactBomb()
{
    QByteArray text = "[DeviceInfo]\nNrOfTXPDO=1\n[1800]\nObjectType=0x9\n[1800sub1]\nDefaultValue=$NODEID+0x180\n"
                      "[1A00]\nObjectType=0x9\n[1A00sub0]\nDefaultValue=0x7FFFFFFF\n[1A00sub1]\nDefaultValue=0x20000108\n";
    for (int index = 0x2000; index < 0x2000 + 8000; ++index)
        text += "[" + QByteArray::number(index, 16) + "]\nParameterName=Array\nObjectType=0x8\nDataType=0x0005\n"
                "AccessType=rw\nPDOMapping=1\nCompactSubObj=255\n\n";
    return text;
}

void loadSlave(const QString &path)
{
    CanObject slave(5);
    slave.projectKey = QStringLiteral("bench-bounds");
    loadEdsIntoSlave(slave, path);
    buildDefaultPdos(slave);
    slave.releaseMappedMemory();
}

void measure(benchmark::State &state, const QByteArray &data)
{
    QTemporaryFile file;
    if (!file.open() || file.write(data) != data.size() || !file.flush()) {
        state.SkipWithError("cannot write the temporary EDS file");
        return;
    }
    const QString path = file.fileName();
    QElapsedTimer timer;
    qint64 nanoseconds = 0;
    std::clock_t cpu = 0;
    for (auto _ : state) {
        timer.start();
        const std::clock_t start = std::clock();
        loadSlave(path);
        cpu += std::clock() - start;
        nanoseconds += timer.nsecsElapsed();
    }
    const double bytes = double(data.size());
    state.SetBytesProcessed(qint64(state.iterations()) * data.size());
    state.counters["input_bytes"] = bytes;
    const qint64 peak = peakMemoryOf([&] { loadSlave(path); });
    state.counters["peak_bytes_per_input_byte"] = double(peak) / bytes;
    // The bound: 10 bytes per input byte on top of 32 MB.
    state.counters["peak_within_bound"] = peak <= qint64(10 * bytes) + (qint64(32) << 20) ? 1 : 0;
    // Per 10 MB of input; the processor time holds when other work shares the machine.
    const double per10MB = 1e7 / bytes / double(state.iterations());
    state.counters["wall_ms_per_10MB"] = double(nanoseconds) / 1e6 * per10MB;
    state.counters["cpu_ms_per_10MB"] = double(cpu) * 1000.0 / CLOCKS_PER_SEC * per10MB;
}

void compactSubObjBomb(benchmark::State &state)
{
    measure(state, compactBomb());
}

void generatedDevice(benchmark::State &state)
{
    measure(state, generateEds(state.range(0), 20261207));
}

} // namespace

BENCHMARK(compactSubObjBomb)->Unit(benchmark::kMillisecond);
BENCHMARK(generatedDevice)->Arg(60 * 1000 * 1000)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
