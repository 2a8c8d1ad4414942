// LOG data files through the main window, as the user meets them: opening an
// ".ML2" file into a LOG data window (header, record load, statistics, table),
// saving the window as ".ML2" and exporting it as CSV. Targets: 100,000
// four-channel records open in under 0.25 s, save in under 0.5 s and export in
// under 1 s; 345,600 one-channel records open in under 0.6 s. The open runs at
// 10,000, 100,000 and 345,600 records of four and of one channel and prints
// its cost per record: it should not grow with the size.
//
// Against the least work the same file needs (file_floor.h), pair by pair in
// one run, so that the ratios hold on a busy machine: the open of 100,000
// four-channel records (goal: 1.5 times its floor at most), the CSV export of
// them (4 times), and the ".MT1" open of 100,000 records against the ".ML2"
// open of as many (1.3 times). For a full logger memory of four channels
// (345,600 records): the process's peak memory during the open (goal: under
// 100 MB; run the benchmark on its own, --benchmark_filter=PeakMemory, for a
// peak that nothing before it has raised) and the longest time the event loop
// stood still during the open (goal: under 100 ms).
#include <benchmark/benchmark.h>

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "file_floor.h"
#include "ml2_program.h"
#include "mt1_file.h"
#include "platform/grid.h"

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

// The median of the values.
double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// Times a() and b() in turn, once each per iteration (after one untimed
// pair), with `between` untimed after each; reports both medians in
// milliseconds and the median of the ratios a / b pair by pair.
template <class A, class B, class Between>
void timePairs(benchmark::State& state, const char* aName, const char* bName, A a, B b, Between between) {
    std::vector<double> ta, tb, ratio;
    const auto timed = [&](auto& f) {
        QElapsedTimer t;
        t.start();
        const bool ok = f();
        const double secs = t.nsecsElapsed() / 1e9;
        between();
        return ok ? secs : -1.0;
    };
    if (timed(a) < 0 || timed(b) < 0) return state.SkipWithError("the warm-up failed");
    for (auto _ : state) {
        const double x = timed(a);
        const double y = timed(b);
        if (x < 0 || y < 0) return state.SkipWithError("a run failed");
        ta.push_back(x);
        tb.push_back(y);
        ratio.push_back(x / y);
        state.SetIterationTime(x);
    }
    state.counters[std::string(aName) + "_ms"] = median(ta) * 1e3;
    state.counters[std::string(bName) + "_ms"] = median(tb) * 1e3;
    state.counters["ratio"] = median(ratio);
    std::printf("%s %.1f ms, %s %.1f ms, ratio %.2f (median of %zu pairs)\n", aName, median(ta) * 1e3, bName,
                median(tb) * 1e3, median(ratio), ratio.size());
}

void BM_OpenMl2VsFloor(benchmark::State& state) {
    Program& p = program();
    const QString path = makeFile(100000, 4);
    const QString db = p.dir.path() + QStringLiteral("/floor.db");
    timePairs(
        state, "open", "floor", [&] { return p.open(path); }, [&] { return bench::ml2OpenFloor(path, db) == 100000; },
        [&] { p.closeAll(); });
}

void BM_ExportCsvVsFloor(benchmark::State& state) {
    Program& p = program();
    const QString path = makeFile(100000, 4);
    bench::Ml2Arrays arrays;
    if (!arrays.read(path) || !p.open(path)) return state.SkipWithError("the file did not open");
    // The statistics lines of the open window's data set, as the export writes them.
    LogCsvSource src{model().act_file_data->clsLOGGER_SETTING(), model().act_file_data->clsLOGGER_STATUS(), {}, {}, {},
                     true};
    platform::Grid* g = log_data::activeLogWindow()->MSFlexGrid2();
    for (int c = 0; c < 4; ++c) {
        src.grid_max[size_t(c)] = g->TextMatrix(1, c + 1);
        src.grid_min[size_t(c)] = g->TextMatrix(2, c + 1);
        src.grid_ave[size_t(c)] = g->TextMatrix(3, c + 1);
    }
    const QByteArray stats =
        platform::cp932::encode(log_csv_statistics_lines(src).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    int exports = 0;
    int floors = 0;
    const auto folder = [&p](const char* what, int n) {
        return p.dir.path() + QStringLiteral("/%1%2").arg(QLatin1String(what)).arg(n);
    };
    timePairs(
        state, "export", "floor",
        [&] {
            ++exports;
            p.save(folder("export", exports) + QStringLiteral(".csv"), 2);
            return true;
        },
        [&] {
            ++floors;
            return bench::csvFloor(arrays, folder("floor", floors), folder("floor", floors) + QStringLiteral(".csv"),
                                   stats);
        },
        [] {});
    // The floor writes what the program writes.
    for (int part = 0; part < 4; ++part) {
        QFile a(csv_split_name_make(folder("export", 1), folder("export", 1) + QStringLiteral(".csv"), part));
        QFile b(csv_split_name_make(folder("floor", 1), folder("floor", 1) + QStringLiteral(".csv"), part));
        if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly)) return state.SkipWithError("no CSV");
        const QList<QByteArray> la = a.readAll().split('\n'), lb = b.readAll().split('\n');
        for (qsizetype i = 0; i < std::max(la.size(), lb.size()); ++i) {
            if (la.value(i) != lb.value(i)) {
                std::printf("part %d line %lld:\n  export %s\n  floor  %s\n", part, (long long)i + 1,
                            la.value(i).constData(), lb.value(i).constData());
                return state.SkipWithError("the floor's CSV differs from the export");
            }
        }
    }
    p.closeAll();
}

void BM_OpenMt1VsMl2(benchmark::State& state) {
    Program& p = program();
    const QString ml2 = makeFile(100000, 4);
    const QString mt1 = p.dir.path() + QStringLiteral("/n100000.mt1");
    bench::writeMt1(mt1, 100000);
    timePairs(
        state, "mt1", "ml2", [&] { return p.openMt1(mt1); }, [&] { return p.open(ml2); }, [&] { p.closeAll(); });
}

// A figure of /proc/self/status in kB ("VmHWM", "VmRSS").
double statusKb(const std::string& key) {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line)) {
        if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1));
    }
    return 0;
}

void BM_OpenMl2PeakMemory(benchmark::State& state) {
    Program& p = program();
    const int n = 345600;
    const QString path = makeFile(n, 4);
    for (auto _ : state) {
        state.PauseTiming();
        p.closeAll();
        const double before = statusKb("VmRSS");
        // The peak from here on (the kernel sets it back to the present size).
        std::ofstream("/proc/self/clear_refs") << "5";
        state.ResumeTiming();
        if (!p.open(path)) return state.SkipWithError("the file did not open");
        state.PauseTiming();
        const double peak = statusKb("VmHWM");
        state.counters["before_MB"] = before / 1024;
        state.counters["peak_MB"] = peak / 1024;
        state.counters["bytes_per_record"] = (peak - before) * 1024 / n;
        std::printf("open of %d 4-ch records: process peak %.1f MB (%.1f MB before, %.0f bytes a record)\n", n,
                    peak / 1024, before / 1024, (peak - before) * 1024 / n);
        p.closeAll();
        state.ResumeTiming();
    }
}

void BM_OpenMl2LongestPause(benchmark::State& state) {
    Program& p = program();
    const QString path = makeFile(345600, 4);
    double worst = 0;
    for (auto _ : state) {
        // A timer that would fire every millisecond: the gaps between its
        // firings are the times the event loop did not run.
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(1);
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (now - last > longest) std::printf("gap %.1f ms ending at %.1f ms\n", (now - last) / 1e6, now / 1e6);
            longest = std::max(longest, now - last);
            last = now;
        });
        clock.start();
        tick.start();
        const bool ok = p.open(path);
        // What the open left for the event loop (the first paint of the
        // table) counts too.
        const qint64 opened = clock.nsecsElapsed();
        while (clock.nsecsElapsed() - opened < 200'000'000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        tick.stop();
        longest = std::max(longest, clock.nsecsElapsed() - last);
        if (!ok) return state.SkipWithError("the file did not open");
        worst = std::max(worst, longest / 1e6);
        state.PauseTiming();
        p.closeAll();
        state.ResumeTiming();
    }
    state.counters["longest_pause_ms"] = worst;
    std::printf("open of 345600 4-ch records: longest event-loop pause %.1f ms\n", worst);
}

}  // namespace

BENCHMARK(BM_OpenMl2VsFloor)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCsvVsFloor)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenMt1VsMl2)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenMl2PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenMl2LongestPause)->Iterations(3)->Unit(benchmark::kMillisecond);
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
