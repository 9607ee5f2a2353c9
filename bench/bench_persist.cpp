// Opening a project and re-reading a block: restore and recompile of the
// example device and of a slave on a generated 1 MB EDS, each of which reads
// its EDS again, and save for comparison; and restore of a stream whose length
// field asks for far more than it holds.
#include "edsgenerator.h"

#include "model/hostservices.h"
#include "plugin/canslave.h"

#include <QTemporaryFile>

#include <benchmark/benchmark.h>

namespace {

const QString key = QStringLiteral("bench");

enum Step { Save, Restore, Recompile };

void run(benchmark::State &state, const QString &path, Step step)
{
    CanObject *slave = createCanObject(nullptr, path, 5, key);
    if (!slave) {
        state.SkipWithError("no slave created");
        return;
    }
    const QByteArray stream = save(slave);
    QByteArray block;
    CompileList list;
    compile(slave, block, list);
    releaseObject(slave);
    for (auto _ : state) {
        if (step == Save) {
            state.PauseTiming();
            CanObject *s = restore(stream, key);
            state.ResumeTiming();
            benchmark::DoNotOptimize(save(s));
            // Dropping a parsed EDS is not part of saving.
            state.PauseTiming();
            releaseObject(s);
            state.ResumeTiming();
        } else if (step == Restore) {
            releaseObject(restore(stream, key));
        } else {
            int code = 0;
            CanObject *s = recompile(block, key, &code);
            if (!s || code != 0) {
                state.SkipWithError("recompile refused the block");
                return;
            }
            releaseObject(s);
        }
    }
    state.counters["stream_bytes"] = stream.size();
    state.counters["block_bytes"] = block.size();
}

void example(benchmark::State &state)
{
    run(state, QStringLiteral(CANSLAVE_EXAMPLES "/io-module.eds"), Step(state.range(0)));
}

void generated(benchmark::State &state)
{
    const QByteArray data = generateEds(1 << 20, 20261207);
    QTemporaryFile file;
    if (!file.open() || file.write(data) != data.size() || !file.flush()) {
        state.SkipWithError("cannot write the temporary EDS file");
        return;
    }
    run(state, file.fileName(), Step(state.range(0)));
}

// A damaged stream whose first length asks for almost 2 GB but holds 64 bytes:
// restore must cost no more than reading what is there.
void damagedLength(benchmark::State &state)
{
    const QByteArray stream = QByteArray::fromHex("01 7FFFFFF0") + QByteArray(64, 'x');
    for (auto _ : state)
        releaseObject(restore(stream, key));
}

} // namespace

BENCHMARK(damagedLength)->Unit(benchmark::kMicrosecond);
BENCHMARK(example)->ArgName("save0_restore1_recompile2")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(generated)->ArgName("save0_restore1_recompile2")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
