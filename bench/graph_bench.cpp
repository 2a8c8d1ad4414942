// The trend graph over a full logger memory (345,600 four-channel records
// from an ".ML2" file): a full redraw (range, statistics, scales, traces and
// grid), the statistics pass alone, a zoom step and a paging step, and the
// graph's opening (which reads the table into the graph's arrays once).
// Goals, Release build, offscreen: full redraw under 50 ms, statistics under
// 100 ms, a zoom or paging step under 30 ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#include "common/test_env.h"
#include "graph/fgraph.h"
#include "graph/graph_state.h"
#include "log_data/integration.h"
#include "log_data/log_data.h"
#include "log_data/log_data_files.h"
#include "log_data/log_records.h"
#include "log_data/ml2_format.h"
#include "log_data/ops_log_files.h"
#include "main_window/file_open.h"
#include "main_window/file_save.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/cls_logger_graphinfo.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "model/data_sets.h"
#include "model/db_workspace.h"
#include "model/model_state.h"
#include "platform/message_box.h"
#include "sequencer/seq_state.h"

namespace {

using namespace mq;

constexpr int kRecords = 345600;

struct Program {
    ModelSlot modelSlot;
    LinkSlot linkSlot;
    HomeSlot homeSlot;
    SeqSlot seqSlot;
    LogDataSlot logDataSlot;
    GraphSlot graphSlot;
    platform::ScopedMessageBoxHook answerOk{platform::MsgResult::OK};
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/mq_graph_bench_XXXXXX")};
    std::unique_ptr<HOME> home;
    QString chosen;

    Program() {
        ModelState& m = model();
        m.user_dir = dir.path();
        QDir().mkpath(dir.path() + QStringLiteral("/config"));
        m.dao_workspace = std::make_shared<DbWorkspace>();
        home = std::make_unique<HOME>();
        home->setExitStepDelay(0);
        home->Timer3()->stop();
        home->show();
        HomeTargets& t = home_state().targets;
        install_log_data_targets(t);
        install_log_file_targets(t);
        install_log_file_operations();
        install_graph_target(t);
        const FileDialogFn dialog = [this](QWidget*, const FileDialogRequest&) { return FileDialogAnswer{true, chosen, 1}; };
        install_file_open_target(t, FileOpenHooks{dialog, [](const QString&) { return false; }});
        install_file_save_target(t, FileSaveHooks{dialog, &prog_run_save});
        link().link_mode_str = QStringLiteral("1");
    }
    ~Program() {
        if (fGraph* g = fGraph::current()) g->close();
        home_state().close_reason = 1;
        for (QMdiSubWindow* sub : home->mdiArea()->subWindowList()) sub->close();
        QCoreApplication::processEvents();
        home_state().targets = HomeTargets{};
        home.reset();
    }
};

Program& program() {
    static Program* p = nullptr;
    if (!p) {
        mq::test::ensureApplication();
        p = new Program;
    }
    return *p;
}

QString stored(int tenths) { return QStringLiteral("    ") + QString::number(tenths / 10.0, 'f', 1).rightJustified(6); }

QString makeFile() {
    const QString path = program().dir.path() + QStringLiteral("/full.ml2");
    if (QFile::exists(path)) return path;
    clsLOGGER_SETTING s;
    s.let_log_name(QStringLiteral("BENCH"));
    s.let_record_interval(QStringLiteral("00:00:01"));
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    s.let_start_time(start);
    s.let_stop_time(start.addSecs(kRecords - 1));
    s.let_data_count(kRecords);
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_input_type(ch, QStringLiteral("K"));
        s.let_Ch_period_pos(ch, 1);
        s.let_Ch_high_alarm_count(ch, QStringLiteral("250.0"));
        s.let_Ch_low_alarm_count(ch, QStringLiteral("-100.0"));
        s.let_Ch_sum_std_count(ch, QStringLiteral("20.0"));
    }
    clsLOGGER_STATUS st;
    st.let_model_name(QStringLiteral("MQ-4000"));
    clsLOGGER_GraphInfo g;
    log_graph_defaults(s, g, kRecords);
    int r = 0;
    const LogRecordSource source = [&](LogRecord& rec) {
        if (r >= kRecords) return false;
        ++r;
        rec.No = r;
        rec.mark = r % 5000 == 0 ? QStringLiteral("*") : QString();
        rec.ch[0] = r % 1000 == 0 ? QStringLiteral("     O.R.") : stored((r * 37) % 6001 - 3000);
        rec.ch[1] = stored((r * 11) % 2001 - 1000);
        rec.ch[2] = stored(r % 500);
        rec.ch[3] = stored(-(r % 777));
        return true;
    };
    ml2_write_file(path, Ml2Sources{s, st, g}, source);
    return path;
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
