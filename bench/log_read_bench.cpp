// Reading one LOG area into its window: the reply of 16,000 four-channel
// records, laid out by the simulated logger exactly as it sends it, split into
// records, stored in the working database with the running sums and the
// integration, then minimum, maximum, average, the marking of the extremes,
// the records table, the alarm counts and colours and the statistics table —
// everything the window does with a read except waiting for the line.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <memory>

#include "app/program_state.h"
#include "common/test_env.h"
#include "log_data/integration.h"
#include "log_data/log_data.h"
#include "logger_sim/logger_state.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/db_workspace.h"
#include "model/model_state.h"
#include "platform/grid.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/records_read.h"
#include "sequencer/seq_state.h"

namespace {

logger_sim::Scenario scenarioOf(int records) {
    logger_sim::Scenario s;
    logger_sim::LogArea a;
    a.area = 1;
    a.name = QStringLiteral("BENCH");
    a.interval = QStringLiteral("00:00:10");
    a.start = QDateTime(QDate(2024, 1, 1), QTime(0, 0, 7), Qt::UTC);
    a.stop = a.start.addSecs(qint64(records - 1) * 10);
    const char* types[4] = {"K", "J", "T", "V"};
    for (int c = 0; c < 4; ++c) {
        a.channels[c].type = QString::fromLatin1(types[c]);
        a.channels[c].highAlarm = QStringLiteral("  800");
        a.channels[c].lowAlarm = QStringLiteral(" -100");
        a.channels[c].integrationBase = QStringLiteral("  200");
    }
    for (int r = 1; r <= records; ++r) {
        logger_sim::LogRecord rec;
        rec.values << (r % 997 == 0 ? QStringLiteral("32767") : QString::number((r * 37) % 3000 - 500))
                   << QString::number((r * 11) % 2000 - 300) << QString::number(r % 4000)
                   << (r % 1500 == 0 ? QStringLiteral("-----") : QString::number(-(r % 777)));
        rec.mark = r % 100 == 0;
        a.records.append(rec);
    }
    s.areas.append(a);
    return s;
}

void BM_LogAreaReadIntoWindow(benchmark::State& state) {
    const int n = int(state.range(0));
    mq::test::ensureApplication();
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/mq_logread_XXXXXX"));

    logger_sim::CommandTables tables;
    QString error;
    if (!tables.load(mq::test::configDir(), &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    const logger_sim::LoggerState logger(tables, scenarioOf(n));
    const QString reply = mq::link_bytes_to_text(logger.logDataReply(1));

    mq::ProgramState programState;
    mq::model().user_dir = dir.path();
    mq::model().dao_workspace = std::make_shared<mq::DbWorkspace>();
    mq::link().link_connected_flag = true;

    mq::log_data* window = nullptr;
    mq::seq().records_read_stand_in = [&](mq::Prog_Dialog& dlg, const mq::RecordsRead& read) {
        dlg.set_progress_max(n + 1);
        dlg.set_progress_value(0);
        read.hand(reply, n / 3, qint16(n % 3));
        dlg.exit_success();
    };

    for (auto _ : state) {
        state.PauseTiming();
        mq::ModelState& m = mq::model();
        m.logger_main = std::make_shared<mq::clsLOGGER_Main>();
        m.logger_main->clsLOGGER_STATUS().let_mode_type(1);
        m.logger_main->colLOGGER_DATA().Add(QStringLiteral("L01"));
        m.act_logger_data = m.logger_main->colLOGGER_DATA().Item(QStringLiteral("L01"));
        m.act_data_kind = 2;
        mq::clsLOGGER_SETTING& s = m.act_logger_data->clsLOGGER_SETTING();
        const logger_sim::LogArea a = logger.area(1);
        for (int c = 0; c < 4; ++c) {
            s.let_Ch_input_type(c, a.channels[c].type);
            s.let_Ch_period_pos(c, quint8(a.channels[c].decimalPos));
            s.let_Ch_high_alarm_count(c, a.channels[c].highAlarm.trimmed());
            s.let_Ch_low_alarm_count(c, a.channels[c].lowAlarm.trimmed());
            s.let_Ch_sum_std_count(c, a.channels[c].integrationBase.trimmed());
        }
        s.let_start_time(a.start);
        s.let_stop_time(a.stop);
        s.let_record_interval(a.interval);
        s.let_data_count(n);
        auto w = std::make_unique<mq::log_data>(QStringLiteral("L01"));
        window = w.get();
        state.ResumeTiming();

        window->disp_log_data_form(QStringLiteral("01"));

        state.PauseTiming();
        if (window->vsFlexGrid1()->Rows() != n + 1) state.SkipWithError("records table incomplete");
        benchmark::DoNotOptimize(window->MSFlexGrid2()->TextMatrix(4, 1));
        w.reset();
        m.act_logger_data.reset();
        m.logger_main.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}

}  // namespace

BENCHMARK(BM_LogAreaReadIntoWindow)->Arg(2000)->Arg(16000)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
