// Filling the records table of a full logger memory (345,600 rows, seven
// columns) the way the LOG data window fills it: whole columns at once, then
// the mark column cell by cell. Run by hand: build/release/bench/grid_bench
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QStringList>

#include "common/test_env.h"
#include "platform/grid.h"

namespace {

void BM_FillFullMemory(benchmark::State& state) {
    mq::test::ensureApplication();
    const int records = int(state.range(0));
    QStringList numbers, times, values;
    for (int i = 0; i < records; ++i) {
        numbers << QString::number(i + 1);
        times << QStringLiteral("2013/12/10 08:%1:00").arg(i % 60, 2, 10, QLatin1Char('0'));
        values << QStringLiteral("    %1").arg(QString::number((i % 2000) / 10.0, 'f', 1), 6);
    }
    for (auto _ : state) {
        mq::platform::Grid g;
        g.setCols(7);
        g.setRows(records + 1);
        g.setColumnTexts(1, 1, numbers);
        g.setColumnTexts(2, 1, times);
        for (int c = 3; c <= 6; ++c) g.setColumnTexts(c, 1, values);
        for (int r = 1; r <= records; ++r) g.setTextMatrix(r, 0, QStringLiteral(" * "));
        benchmark::DoNotOptimize(g.storeBytes());
    }
    state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_FillFullMemory)->Arg(10000)->Arg(100000)->Arg(345600)->Unit(benchmark::kMillisecond);

// Sizing a shown table for a full logger memory at once.
void BM_SizeShownTable(benchmark::State& state) {
    mq::test::ensureApplication();
    const int records = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        mq::platform::Grid g;
        g.setCols(7);
        g.resize(800, 600);
        g.show();
        state.ResumeTiming();
        g.setRows(records + 1);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SizeShownTable)->Arg(345600)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
