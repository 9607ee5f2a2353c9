// A new slave from a generated EDS of 1 MB and 10 MB, as the host drives it:
// creation with the default PDOs, compile, both memory maps and the symbols.
#include "edsgenerator.h"

#include "model/hostservices.h"
#include "plugin/canslave.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <benchmark/benchmark.h>

namespace {

void runSlave(benchmark::State &state, const QString &path, qint64 inputBytes)
{
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
    state.SetBytesProcessed(qint64(state.iterations()) * inputBytes);
    state.counters["mapped_objects"] = mapped;
    state.counters["block_bytes"] = blockBytes;
}

void newSlaveToBlock(benchmark::State &state)
{
    const QByteArray data = generateEds(state.range(0), 20261207);
    QTemporaryFile file;
    if (!file.open() || file.write(data) != data.size() || !file.flush()) {
        state.SkipWithError("cannot write the temporary EDS file");
        return;
    }
    runSlave(state, file.fileName(), data.size());
}

// The generated files' default mappings name no mappable object, so this one
// shows the cost of mapping and placing as well.
void newSlaveFromExample(benchmark::State &state)
{
    const QString path = QStringLiteral(CANSLAVE_EXAMPLES "/io-module.eds");
    runSlave(state, path, QFileInfo(path).size());
}

} // namespace

BENCHMARK(newSlaveToBlock)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(newSlaveFromExample)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
