#pragma once
// What the LOG file benchmarks share: the program with a main window whose
// file commands are wired to a scripted file dialog, and generated ".ML2"
// files of a chosen size.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <memory>

#include "app/program_state.h"
#include "common/test_env.h"
#include "graph/fgraph.h"
#include "log_data/integration.h"
#include "log_data/log_data.h"
#include "log_data/log_data_files.h"
#include "log_data/log_records.h"
#include "log_data/ml2_format.h"
#include "log_data/ops_log_files.h"
#include "main_window/file_open.h"
#include "sequencer/file_progress.h"
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
#include "tag_data/tag_data.h"
#include "tag_data/tag_data_files.h"

namespace mq::bench {

// The program's state and a main window with the LOG and TAG file commands
// wired in;
// the file dialog answers `chosen` with the filter `filter`.
struct Ml2Program {
    ProgramState programState;
    platform::ScopedMessageBoxHook answerOk{platform::MsgResult::OK};
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/mq_bench_XXXXXX")};
    std::unique_ptr<HOME> home;
    QString chosen;
    int filter = 1;

    Ml2Program() {
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
        install_tag_data_targets(t);
        install_tag_file_targets(t);
        const FileDialogFn dialog = [this](QWidget*, const FileDialogRequest&) {
            return FileDialogAnswer{true, chosen, filter};
        };
        install_file_open_target(t, FileOpenHooks{dialog, [](const QString&) { return false; }});
        install_file_save_target(
            t, FileSaveHooks{dialog, [](qint16 code) { return prog_run_save(log_save_operation(code)); }});
        link().link_mode = OpMode::Log;
    }
    ~Ml2Program() {
        closeAll();
        home_state().targets = HomeTargets{};
        home.reset();
    }

    // Closes the graph and every data window.
    void closeAll() {
        if (fGraph* g = fGraph::current()) g->close();
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

    // Opens a ".MT1" file into a TAG data window, as the window table does.
    bool openMt1(const QString& path) {
        model().act_data_kind = 1;
        home_state().open_file_path = path;
        home->winTable().win_file_open_tag(QStringLiteral("bench.mt1"));
        return tag_data::activeTagWindow() != nullptr;
    }

    void save(const QString& path, int filterIndex) {
        chosen = path;
        filter = filterIndex;
        home->save_Click();
    }
};

// One program for the whole run (made on first use, never taken down; its
// folder goes at the end of the run).
inline Ml2Program& ml2Program() {
    static Ml2Program* p = nullptr;
    if (!p) {
        test::ensureApplication();
        p = new Ml2Program;
        std::atexit([] { QDir(p->dir.path()).removeRecursively(); });
    }
    return *p;
}

// A channel value of the file as it is stored, from tenths of a degree.
inline QString storedTenths(int tenths) {
    return QStringLiteral("    ") + QString::number(tenths / 10.0, 'f', 1).rightJustified(6);
}

// Writes an ".ML2" file of n one-second records over the first `channels`
// channels, unless it exists; every `markEvery`th record is marked. With
// `graphDefaults` the file holds the default graph settings for the data.
inline QString writeMl2(const QString& path, int n, int channels, int markEvery, bool graphDefaults) {
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
    if (graphDefaults) log_graph_defaults(s, g, n);
    int r = 0;
    const LogRecordSource source = [&](LogRecord& rec) {
        if (r >= n) return false;
        ++r;
        rec.No = r;
        rec.mark = r % markEvery == 0 ? QStringLiteral("*") : QString();
        rec.ch[0] = r % 1000 == 0 ? QStringLiteral("     O.R.") : storedTenths((r * 37) % 6001 - 3000);
        rec.ch[1] = channels > 1 ? storedTenths((r * 11) % 2001 - 1000) : QString();
        rec.ch[2] = channels > 2 ? storedTenths(r % 500) : QString();
        rec.ch[3] = channels > 3 ? storedTenths(-(r % 777)) : QString();
        return true;
    };
    ml2_write_file(path, Ml2Sources{s, st, g}, source);
    return path;
}

}  // namespace mq::bench
