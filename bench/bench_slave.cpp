// A new slave from a generated EDS of 1 MB and 10 MB, as the host drives it:
// creation with the default PDOs, compile, both memory maps and the symbols.
#include "edsgenerator.h"

#include "plugin/canslave.h"
#include "plugin/hostservices.h"

#include <QTemporaryFile>

#include <benchmark/benchmark.h>

namespace {

void newSlaveToBlock(benchmark::State &state)
{
    const QByteArray data = generateEds(state.range(0), 20261207);
    QTemporaryFile file;
    if (!file.open() || file.write(data) != data.size() || !file.flush()) {
        state.SkipWithError("cannot write the temporary EDS file");
        return;
    }
    const QString path = file.fileName();
    const QString key = QStringLiteral("bench");
    int mapped = 0;
    int blockBytes = 0;
    for (auto _ : state) {
        CanObject *slave = createCanObject(nullptr, path, 5, key);
        if (!slave) {
            state.SkipWithError("no slave created");
            return;
        }
        QByteArray block;
        CompileList list;
        compile(slave, block, list);
        int in = 0, out = 0;
        benchmark::DoNotOptimize(getInputMemMap(slave, &in));
        benchmark::DoNotOptimize(getOutputMemMap(slave, &out));
        QList<MappingSymbol> symbols;
        getMappingSym(slave, &symbols);
        mapped = in + out;
        blockBytes = block.size();
        releaseObject(slave);
    }
    state.SetBytesProcessed(qint64(state.iterations()) * data.size());
    state.counters["mapped_objects"] = mapped;
    state.counters["block_bytes"] = blockBytes;
}

} // namespace

BENCHMARK(newSlaveToBlock)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
