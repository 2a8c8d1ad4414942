// TAG data files at 10,000, 100,000 and 345,600 records. Run by hand:
// build/release/bench/tag_files_bench
// - split of a TAG reply into records (no database)
// - opening an ".MT1" file into a TAG window (read, unscramble, load, fill):
//   100,000 records under 1 s
// - saving that window as ".MT1" and as CSV: under 0.5 s each
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <cstdio>

#include "common/test_env.h"
#include "mt1_file.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "model/data_sets.h"
#include "model/db_workspace.h"
#include "model/model_state.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "main_window/file_save.h"
#include "sequencer/file_progress.h"
#include "tag_data/ops_tag.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"
#include "tag_data/mt1_format.h"
#include "tag_data/tag_data.h"
#include "tag_data/tag_data_files.h"
#include "tag_data/tag_records.h"

namespace {

QString path(qint32 n) { return mq::test::dataHome() + QStringLiteral("/bench_%1.mt1").arg(n); }

void makeFile(qint32 n) { mq::bench::writeMt1(path(n), n); }

// The TAG data reply of n four-channel records.
QString reply(qint32 n) {
    QString out;
    out.reserve(mq::tag_data_reply_length(n, 4) + 16);
    for (qint32 i = 0; i < n; i += 3) {
        out += QChar(0x02) + QStringLiteral("T0104,");
        for (qint32 k = i; k < n && k < i + 3; ++k) {
            for (int c = 0; c < 4; ++c) out += QString::number(100 + (k + c) % 900).rightJustified(5, u' ');
            out += QStringLiteral("140101000000") + QStringLiteral("0102");
        }
        out += QChar(0x03) + QStringLiteral("C\r\n");
    }
    return out;
}

void BM_SplitTagReply(benchmark::State& state) {
    const qint32 n = qint32(state.range(0));
    mq::clsLOGGER_SETTING s;
    mq::bench::fillTagSetting(s, n);
    const QString r = reply(n);
    for (auto _ : state) {
        qint32 count = 0;
        mq::split_tag_reply(r, n / 3, qint16(n % 3), s, [&count](const mq::TagReplyRecord&) { ++count; });
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(BM_SplitTagReply)->Arg(10000)->Arg(100000)->Arg(345600)->Unit(benchmark::kMillisecond);

struct Program {
    mq::ModelSlot modelSlot;
    mq::LinkSlot linkSlot;
    mq::HomeSlot homeSlot;
    mq::SeqSlot seqSlot;
    std::unique_ptr<mq::HOME> home;
    Program() {
        mq::model().user_dir = mq::test::dataHome() + QStringLiteral("/KORVA/Marrowquill4");
        QDir().mkpath(mq::model().user_dir + QStringLiteral("/config"));
        mq::model().dao_workspace = std::make_shared<mq::DbWorkspace>();
        mq::link().link_mode = mq::OpMode::Tag;
        home = std::make_unique<mq::HOME>();
        home->setExitStepDelay(0);
        home->Timer3()->stop();
        home->show();
        mq::HomeTargets& t = mq::home_state().targets;
        mq::install_tag_data_targets(t);
        mq::install_tag_file_targets(t);
    }
    ~Program() {
        mq::home_state().close_reason = 1;
        home->winTable().win_all_close();
        mq::home_state().targets = mq::HomeTargets{};
        home.reset();
    }
    bool open(qint32 n) {
        mq::model().act_data_kind = 1;
        mq::home_state().open_file_path = path(n);
        home->winTable().win_file_open_tag(QStringLiteral("bench.mt1"));
        mq::tag_data* w = mq::tag_data::activeTagWindow();
        return w && w->vsFlexGrid1()->Rows() == n + 1;
    }
};

void BM_OpenMt1(benchmark::State& state) {
    const qint32 n = qint32(state.range(0));
    makeFile(n);
    Program p;
    mq::platform::ScopedMessageBoxHook boxes;
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const bool ok = p.open(n);
        const double secs = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(secs);
        worst = std::max(worst, secs);
        state.PauseTiming();
        if (!ok) {
            state.SkipWithError("the file did not open");
            break;
        }
        mq::home_state().close_reason = 1;
        p.home->winTable().win_all_close();
        mq::home_state().close_reason = 0;
        state.ResumeTiming();
    }
    std::printf("open .MT1 of %d records: %.3f s\n", n, worst);
}
BENCHMARK(BM_OpenMt1)->Arg(10000)->Arg(100000)->Arg(345600)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_SaveFromWindow(benchmark::State& state) {
    const qint32 n = qint32(state.range(0));
    const bool csv = state.range(1) != 0;
    makeFile(n);
    Program p;
    mq::platform::ScopedMessageBoxHook boxes;
    if (!p.open(n)) {
        state.SkipWithError("the file did not open");
        return;
    }
    const QString out = mq::test::dataHome() + (csv ? QStringLiteral("/bench_out.csv") : QStringLiteral("/bench_out.mt1"));
    double worst = 0;
    for (auto _ : state) {
        mq::home_state().save_file_path = out;
        QElapsedTimer timer;
        timer.start();
        const qint16 kind = csv ? mq::op_save_file_tag_csv : mq::op_save_file_mt1;
        const bool ok = mq::prog_run_save(mq::tag_save_operation(kind));
        const double secs = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(secs);
        worst = std::max(worst, secs);
        if (!ok) {
            state.SkipWithError("the save failed");
            break;
        }
    }
    std::printf("save %s of %d records: %.3f s\n", csv ? "CSV" : ".MT1", n, worst);
}
BENCHMARK(BM_SaveFromWindow)
    ->ArgNames({"records", "csv"})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({345600, 0})
    ->Args({345600, 1})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    mq::test::ensureApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
