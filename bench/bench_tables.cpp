// Filling the widest table, the mapping editor's list of mappable objects:
// the time per row must stay flat as the rows grow (a 5 MB device offers tens
// of thousands), so the modal dialog opens at once.
#include "model/canobject.h"
#include "ui/parameterinedslisttable.h"

#include <QApplication>
#include <QTableWidget>

#include <benchmark/benchmark.h>

namespace {

void mappableList(benchmark::State &state)
{
    CanObject slave;
    for (int i = 0; i < state.range(0); ++i) {
        EdsEntry entry;
        entry.index = 0x2000 + i / 254;
        entry.subIndex = 1 + i % 254;
        entry.parameterName = QStringLiteral("Object %1").arg(i);
        entry.dataType = DataTypeUnsigned8;
        entry.accessType = QStringLiteral("rw");
        slave.mappableList.append(entry);
    }
    ParameterInEdsListTable list(nullptr);
    for (auto _ : state) {
        list.fillTable(&slave, PdoTransmit);
        benchmark::DoNotOptimize(list.table()->rowCount());
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(mappableList)->RangeMultiplier(2)->Range(20000, 80000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
