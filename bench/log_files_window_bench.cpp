// LOG data files through the main window, as the user meets them: opening an
// ".ML2" file into a LOG data window (header, record load, statistics, table),
// saving the window as ".ML2" and exporting it as CSV. Targets: 100,000
// four-channel records open in under 0.25 s, save in under 0.5 s and export in
// under 1 s; 345,600 one-channel records open in under 0.6 s. The open runs at
// 10,000, 100,000 and 345,600 records of four and of one channel and prints
// its cost per record: it should not grow with the size.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#include "app/program_state.h"
#include "common/test_env.h"
#include "log_data/integration.h"
#include "log_data/log_data.h"
#include "log_data/log_data_files.h"
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

// The program's state and a main window with the LOG file commands wired in.
struct Program {
    ProgramState programState;
    platform::ScopedMessageBoxHook answerOk{platform::MsgResult::OK};
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/mq_bench_XXXXXX")};
    std::unique_ptr<HOME> home;
    QString chosen;
    int filter = 1;

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
        const FileDialogFn dialog = [this](QWidget*, const FileDialogRequest&) {
            return FileDialogAnswer{true, chosen, filter};
        };
        install_file_open_target(t, FileOpenHooks{dialog, [](const QString&) { return false; }});
        install_file_save_target(t, FileSaveHooks{dialog, &prog_run_save});
        link().link_mode_str = QStringLiteral("1");
    }
    ~Program() {
        closeAll();
        home_state().targets = HomeTargets{};
        home.reset();
    }

    void closeAll() {
        home_state().close_reason = 1;
        for (QMdiSubWindow* sub : home->mdiArea()->subWindowList()) sub->close();
        QCoreApplication::processEvents();
        home_state().close_reason = 0;
        model().act_data_kind = 0;
    }

    bool open(const QString& path) {
        chosen = path;
        home->fileopen_Click();
        return log_data::activeLogWindow() != nullptr;
    }

    void save(const QString& path, int filterIndex) {
        chosen = path;
        filter = filterIndex;
        home->save_Click();
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

// Writes an ".ML2" file of n records over the given channels (once per size).
QString makeFile(int n, int channels) {
    const QString path = program().dir.path() + QStringLiteral("/n%1_c%2.ml2").arg(n).arg(channels);
    if (QFile::exists(path)) return path;
    clsLOGGER_SETTING s;
    s.let_log_name(QStringLiteral("BENCH"));
    s.let_record_interval(QStringLiteral("00:00:01"));
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    s.let_start_time(start);
    s.let_stop_time(start.addSecs(n - 1));
    s.let_data_count(n);
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_input_type(ch, ch < channels ? QStringLiteral("K") : QStringLiteral("-"));
        s.let_Ch_period_pos(ch, 1);
        s.let_Ch_high_alarm_count(ch, QStringLiteral("250.0"));
        s.let_Ch_low_alarm_count(ch, QStringLiteral("-100.0"));
        s.let_Ch_sum_std_count(ch, QStringLiteral("20.0"));
    }
    clsLOGGER_STATUS st;
    st.let_model_name(QStringLiteral("MQ-4000"));
    clsLOGGER_GraphInfo g;
    int r = 0;
    const LogRecordSource source = [&](LogRecord& rec) {
        if (r >= n) return false;
        ++r;
        rec.No = r;
        rec.mark = r % 500 == 0 ? QStringLiteral("*") : QString();
        rec.ch[0] = r % 1000 == 0 ? QStringLiteral("     O.R.") : stored((r * 37) % 6001 - 3000);
        rec.ch[1] = channels > 1 ? stored((r * 11) % 2001 - 1000) : QString();
        rec.ch[2] = channels > 2 ? stored(r % 500) : QString();
        rec.ch[3] = channels > 3 ? stored(-(r % 777)) : QString();
        return true;
    };
    ml2_write_file(path, Ml2Sources{s, st, g}, source);
    return path;
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
