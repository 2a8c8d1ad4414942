// The trend graph over a full logger memory (345,600 four-channel records
// from an ".ML2" file): a full redraw (range, statistics, scales, traces and
// grid), the statistics pass alone, a zoom step and a paging step, and the
// graph's opening (which reads the table into the graph's arrays once).
// Goals, Release build, offscreen: full redraw under 40 ms, statistics under
// 100 ms, a zoom or paging step under 30 ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "graph/fgraph.h"
#include "graph/graph_state.h"
#include "log_data/log_data.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "ml2_program.h"

namespace {

using namespace mq;
using Program = bench::Ml2Program;

constexpr int kRecords = 345600;

// The LOG file program with the graph command wired in.
Program& program() {
    static Program& p = [] () -> Program& {
        Program& made = bench::ml2Program();
        install_graph_target(home_state().targets);
        return made;
    }();
    return p;
}

QString makeFile() {
    return bench::writeMl2(program().dir.path() + QStringLiteral("/full.ml2"), kRecords, 4, 5000, true);
}

// The graph open on the full file (opened once).
fGraph* graph() {
    Program& p = program();
    if (fGraph* g = fGraph::current()) return g;
    p.chosen = makeFile();
    p.home->fileopen_Click();
    if (!log_data::activeLogWindow()) return nullptr;
    p.home->mGrp_Draw_Click();
    return fGraph::current();
}

void BM_GraphFullRedraw(benchmark::State& state) {
    fGraph* g = graph();
    if (!g) return state.SkipWithError("the graph did not open");
    for (auto _ : state) g->popRange_Click();
    state.counters["records"] = graph_state().graph_end_pos - graph_state().graph_start_pos + 1;
}

void BM_GraphStatistics(benchmark::State& state) {
    fGraph* g = graph();
    if (!g) return state.SkipWithError("the graph did not open");
    g->popRange_Click();
    for (auto _ : state) g->S_maxminave();
}

void BM_GraphZoomStep(benchmark::State& state) {
    fGraph* g = graph();
    if (!g) return state.SkipWithError("the graph did not open");
    const graph::PlotRect r = g->plotRect();
    for (auto _ : state) {
        state.PauseTiming();
        g->popRange_Click();
        state.ResumeTiming();
        // A drag over the middle half of the plot.
        g->gImage_MouseDown(Qt::LeftButton, r.left + r.width / 4, r.top + 5);
        g->gImage_MouseUp(Qt::LeftButton, r.left + 3 * r.width / 4, r.top + r.height - 5);
    }
}

void BM_GraphPagingStep(benchmark::State& state) {
    fGraph* g = graph();
    if (!g) return state.SkipWithError("the graph did not open");
    g->popRange_Click();
    const graph::PlotRect r = g->plotRect();
    // A tenth of the data per page.
    g->gImage_MouseDown(Qt::LeftButton, r.left + r.width * 0.45, r.top);
    g->gImage_MouseUp(Qt::LeftButton, r.left + r.width * 0.55, r.top + r.height);
    bool next = true;
    for (auto _ : state) {
        if (next) g->gNextPage_Click();
        else g->gPrevPage_Click();
        next = !next;
    }
}

void BM_GraphOpen(benchmark::State& state) {
    Program& p = program();
    if (!graph()) return state.SkipWithError("the graph did not open");
    for (auto _ : state) {
        fGraph::current()->close();
        QCoreApplication::processEvents();
        // The data window refills its table: the graph's arrays are read again.
        log_data::activeLogWindow()->refresh_Data1();
        p.home->mGrp_Draw_Click();
    }
}

BENCHMARK(BM_GraphFullRedraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphStatistics)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphZoomStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphPagingStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
