// Reading one LOG area of four-channel records from the simulated logger into
// a LOG window with its statistics. Run by hand: build/<release dir>/log_read_sim_bench
// - 2,000 records with the simulator pacing its replies at 128000 bit/s (11 bits
//   per byte on the line): the read takes at most 1.05 times the wire time.
// - 16,000 records unpaced: the read takes under 0.15 s.
#include <benchmark/benchmark.h>

#include <QTimer>

#include <cstdio>

#include "app/program_state.h"
#include "common/sim_home.h"
#include "common/test_env.h"
#include "log_data/integration.h"
#include "log_data/log_data.h"
#include "log_data/ops_log_read.h"
#include "sequencer/connect_check_op.h"
#include "logger_sim/logger_sim.h"
#include "main_window/connect_command.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "sequencer/prog_dialog.h"
#include "sim_read.h"

namespace {

constexpr int kBaud = 128000;

logger_sim::Scenario scenario(int kRecords) {
    logger_sim::Scenario s = logger_sim::defaultScenario();
    logger_sim::LogArea& a = s.areas[0];
    a.records.clear();
    a.stop = a.start.addSecs(10LL * (kRecords - 1));
    for (int i = 0; i < kRecords; ++i) {
        logger_sim::LogRecord r;
        r.values = {QString::number(200 + i % 97), QString::number(-150 + i % 311), QString::number(i % 53),
                    QString::number(500 - i % 1000)};
        r.mark = i % 17 == 0;
        a.records.append(r);
    }
    return s;
}

void BM_ReadLogArea(benchmark::State& state) {
    const int kRecords = static_cast<int>(state.range(0));
    const bool paced = state.range(1) != 0;
    mq::ProgramState programState;

    logger_sim::Simulator sim(mq::test::configDir(), scenario(kRecords));
    std::unique_ptr<mq::HOME> owner;
    if (const QString failed = mq::test::openHomeOnSimulator(sim, owner, kBaud); !failed.isEmpty()) {
        state.SkipWithError(failed.toStdString().c_str());
        return;
    }
    mq::HOME& home = *owner;
    mq::HomeTargets& t = mq::home_state().targets;
    t.comm_dialog = [](const QString&) {};
    t.commands[mq::HomeCommand::LoggerConnect] = [&home] { mq::loggerconnect_Click(home); };
    mq::install_log_data_targets(t);
    mq::prog_install_connect_check();
    home.loggerconnect_Click();
    mq::prog_run(&home, mq::log_list_read_operation(nullptr));
    if (!mq::link().link_connected_flag) {
        state.SkipWithError("no connection to the simulator");
        return;
    }

    // Reply bytes of one read: the identity check's two records and the data.
    const qint64 replyBytes = 15 + 10 + mq::log_data_reply_length(kRecords, 4);
    const double wireSeconds = double(replyBytes) * 11.0 / kBaud;
    const double worst = mq::bench::timeWindowReads(
        state, home,
        [&] {
            if (paced) {
                sim.setBaud(kBaud);
                sim.setFault(logger_sim::Fault::Paced);
            }
        },
        [&] { home.winTable().win_logger_open_log(QStringLiteral("01")); },
        [&] { sim.setFault(logger_sim::Fault::None); });
    if (paced) {
        state.counters["wire_s"] = wireSeconds;
        state.counters["ratio"] = worst / wireSeconds;
        std::printf("LOG read of %d records paced at %d bit/s: %.3f s (wire time of %lld reply bytes %.3f s), ratio %.3f%s\n",
                    kRecords, kBaud, worst, static_cast<long long>(replyBytes), wireSeconds, worst / wireSeconds,
                    worst <= 1.05 * wireSeconds ? " (within 1.05)" : " (OVER 1.05)");
    } else {
        std::printf("LOG read of %d records unpaced: %.3f s%s\n", kRecords, worst,
                    worst < 0.15 ? " (under 0.15 s)" : " (OVER 0.15 s)");
    }
    mq::test::closeHomeOnSimulator(owner, sim);
}
BENCHMARK(BM_ReadLogArea)
    ->ArgNames({"records", "paced"})
    ->Args({2000, 1})
    ->Args({16000, 0})
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
