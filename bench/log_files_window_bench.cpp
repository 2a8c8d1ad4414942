// LOG data files through the main window, as the user meets them: opening an
// ".ML2" file into a LOG data window (header, record load, statistics, table),
// saving the window as ".ML2" and exporting it as CSV. Targets: 100,000
// four-channel records open in under 0.25 s, save in under 0.5 s and export in
// under 1 s; 345,600 one-channel records open in under 0.6 s. The open runs at
// 10,000, 100,000 and 345,600 records of four and of one channel and prints
// its cost per record: it should not grow with the size.
#include <benchmark/benchmark.h>

#include "ml2_program.h"

namespace {

using namespace mq;
using Program = bench::Ml2Program;

Program& program() { return bench::ml2Program(); }

// Writes an ".ML2" file of n records over the given channels (once per size).
QString makeFile(int n, int channels) {
    return bench::writeMl2(program().dir.path() + QStringLiteral("/n%1_c%2.ml2").arg(n).arg(channels), n, channels,
                           500, false);
}

void BM_OpenMl2(benchmark::State& state) {
    Program& p = program();
    const QString path = makeFile(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        if (!p.open(path)) state.SkipWithError("the file did not open");
        state.PauseTiming();
        p.closeAll();
        state.ResumeTiming();
    }
    // Cost per record, so that the sizes compare.
    state.counters["per_record"] = benchmark::Counter(double(state.range(0)) * double(state.iterations()),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_SaveMl2(benchmark::State& state) {
    Program& p = program();
    const QString path = makeFile(int(state.range(0)), 4);
    if (!p.open(path)) state.SkipWithError("the file did not open");
    const QString out = p.dir.path() + QStringLiteral("/saved.ml2");
    for (auto _ : state) p.save(out, 1);
    p.closeAll();
}

void BM_ExportCsv(benchmark::State& state) {
    Program& p = program();
    const QString path = makeFile(int(state.range(0)), 4);
    if (!p.open(path)) state.SkipWithError("the file did not open");
    int k = 0;
    for (auto _ : state) {
        // A split export makes a new folder each time: a new name each round.
        p.save(p.dir.path() + QStringLiteral("/export%1.csv").arg(k++), 2);
    }
    p.closeAll();
}

}  // namespace

BENCHMARK(BM_OpenMl2)
    ->ArgNames({"records", "channels"})
    ->ArgsProduct({{10000, 100000, 345600}, {4, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveMl2)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCsv)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
