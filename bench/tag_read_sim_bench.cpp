// Reading one tag of four-channel records from the unpaced simulated logger
// into a TAG window with its summary. Run by hand:
// build/release/bench/tag_read_sim_bench
// - 10,000 records unpaced: the read takes under 0.5 s.
#include <benchmark/benchmark.h>

#include <QTimer>

#include <cstdio>

#include "common/sim_home.h"
#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "main_window/connect_command.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/message_box.h"
#include "sequencer/connect_check_op.h"
#include "tag_data/ops_tag.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"
#include "tag_data/tag_data.h"
#include "tag_data/tag_data_files.h"
#include "sim_read.h"

namespace {

logger_sim::Scenario scenario(int kRecords) {
    logger_sim::Scenario s = logger_sim::defaultScenario();
    s.mode = logger_sim::Mode::Tag;
    logger_sim::TagEntry& t = s.tags[0];
    for (int c = 0; c < 4; ++c) t.channels[c] = s.tags[0].channels[0];
    t.records.clear();
    const QDateTime start(QDate(2014, 1, 1), QTime(0, 0, 0));
    for (int i = 0; i < kRecords; ++i) {
        logger_sim::TagRecord r;
        r.time = start.addSecs(17LL * i);
        r.worker = 1 + i % 20;
        r.comment = 1 + (i * 7) % 20;
        r.values = {QString::number(200 + i % 97), QString::number(-150 + i % 311), QString::number(i % 53),
                    i % 101 == 0 ? QStringLiteral("32767") : QString::number(500 - i % 1000)};
        t.records.append(r);
    }
    return s;
}

void BM_ReadTag(benchmark::State& state) {
    const int kRecords = static_cast<int>(state.range(0));
    mq::ModelSlot modelSlot;
    mq::LinkSlot linkSlot;
    mq::HomeSlot homeSlot;
    mq::SeqSlot seqSlot;
    mq::ConnectionSlot connSlot;

    logger_sim::Simulator sim(mq::test::configDir(), scenario(kRecords));
    std::unique_ptr<mq::HOME> owner;
    if (const QString failed = mq::test::openHomeOnSimulator(sim, owner, 128000); !failed.isEmpty()) {
        state.SkipWithError(failed.toStdString().c_str());
        return;
    }
    mq::HOME& home = *owner;
    mq::HomeTargets& t = mq::home_state().targets;
    t.comm_dialog = [](const QString&) {};
    t.commands[mq::HomeCommand::LoggerConnect] = [&home] { mq::loggerconnect_Click(home); };
    mq::install_tag_data_targets(t);
    mq::prog_install_connect_check();
    {
        mq::platform::ScopedMessageBoxHook yes(mq::platform::MsgResult::Yes);
        home.loggerconnect_Click();
    }
    mq::prog_run(&home, mq::tag_list_read_operation(nullptr));
    if (!mq::link().link_connected_flag) {
        state.SkipWithError("no connection to the simulator");
        return;
    }

    const double worst = mq::bench::timeWindowReads(
        state, home, [] {}, [&] { home.winTable().win_logger_open_tag(QStringLiteral("01")); }, [] {});
    std::printf("TAG read of %d records unpaced: %.3f s%s\n", kRecords, worst,
                worst < 0.5 ? " (under 0.5 s)" : " (OVER 0.5 s)");
    mq::test::closeHomeOnSimulator(owner, sim);
}
BENCHMARK(BM_ReadTag)
    ->ArgNames({"records"})
    ->Arg(10000)
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
