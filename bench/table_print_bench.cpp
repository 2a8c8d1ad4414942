// Table printing of a TAG data set: 10,000 records (201 pages with both
// blocks) drawn and written to a PDF file through QPrinter. Target: under 5 s
// in the Release build, linear in the rows.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#include "common/test_env.h"
#include "log_data/integration.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "main_window/small_windows.h"
#include "model/data_sets.h"
#include "model/db_workspace.h"
#include "model/model_state.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "printing/table_print.h"
#include "printing/tag_table_window.h"
#include "sequencer/seq_state.h"

namespace {

using namespace mq;

// The program's state, a main window and a TAG-mode logger whose tag 1 holds
// n records, shown in a table window.
struct Program {
    ModelSlot modelSlot;
    LinkSlot linkSlot;
    HomeSlot homeSlot;
    SeqSlot seqSlot;
    LogDataSlot logDataSlot;
    platform::ScopedMessageBoxHook answerOk{platform::MsgResult::OK};
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/mq_bench_XXXXXX")};
    std::unique_ptr<HOME> home;
    int records = 0;

    Program() {
        ModelState& m = model();
        m.user_dir = dir.path();
        m.dao_workspace = std::make_shared<DbWorkspace>();
        m.logger_main = std::make_shared<clsLOGGER_Main>();
        m.logger_main->clsLOGGER_STATUS().let_mode_type(2);
        m.logger_main->clsLOGGER_STATUS().let_user_model_name(QStringLiteral("BENCH"));
        for (int i = 1; i <= 20; ++i)
            m.logger_main->colLOGGER_DATA().Add(QStringLiteral("L%1").arg(i, 2, 10, QLatin1Char('0')));
        home = std::make_unique<HOME>();
        home->setExitStepDelay(0);
        home->Timer3()->stop();
        home->show();
        link().link_connected_flag = true;
        HomeTargets& t = home_state().targets;
        t.create_window[DataWindowKind::Tag] = [](const QString& tag) -> IDataWindow* {
            return new test::TagTableWindow(tag);
        };
        t.fill[DataFill::LoggerTag] = [this](IDataWindow& w, const QString&) { fill(w); };
        home_state().current_printer = pdf_file_printer_name();
    }

    void fill(IDataWindow& w) {
        clsLOGGER_DATA& ds = *model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L01"));
        clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
        s.let_log_name(QStringLiteral("BENCHTAG"));
        for (int ch = 0; ch < 4; ++ch) {
            s.let_Ch_input_type(ch, QStringLiteral("K"));
            s.let_Ch_period_pos(ch, 1);
            s.let_Ch_high_alarm_count(ch, QStringLiteral("80.0"));
            s.let_Ch_low_alarm_count(ch, QStringLiteral("10.0"));
            s.let_Ch_max(ch, QStringLiteral("99.9"));
            s.let_Ch_min(ch, QStringLiteral("0.0"));
            s.let_Ch_data_count(ch, records);
        }
        s.let_data_count(records);
        clsLOGGER_DATABASE& db = ds.clsLOGGER_DATABASE();
        db.setWorkSpace(model().dao_workspace);
        db.makeDbPath(ds.ID());
        db.NewDb(2);
        const QDateTime t0(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
        for (int i = 1; i <= records; ++i) {
            auto value = [&](int ch) {
                return QStringLiteral("    ") + platform::rightAlign(QString::number(((i * 7 + ch * 13) % 1000) / 10.0, 'f', 1), 6);
            };
            db.AddRecord_TAG(i, t0.addSecs(i * 60), QStringLiteral("WORKER%1").arg(i % 20),
                             QStringLiteral("CMT%1").arg(i % 20), value(0), value(1), value(2), value(3));
        }
        w.bind_Data1(db.Recordset());
    }

    void open(int n) {
        records = n;
        home->winTable().win_logger_open_tag(QStringLiteral("01"));
        QCoreApplication::processEvents();
    }
};

void BM_TagTablePrintToPdf(benchmark::State& state) {
    test::ensureApplication();
    Program p;
    p.open(int(state.range(0)));
    const QString pdf = p.dir.path() + QStringLiteral("/table.pdf");
    PrintHooks hooks;
    hooks.dialog = [&](QWidget*, const FileDialogRequest&) { return FileDialogAnswer{true, pdf, 1}; };
    int pages = 0;
    for (auto _ : state) {
        PR dlg(nullptr, p.home.get(), hooks);
        dlg.Option2->click();
        dlg.Command1_Click();
        if (dlg.outcome() != PR::Outcome::Printed) state.SkipWithError("the print did not complete");
        pages = dlg.page_count().page_total;
    }
    state.counters["pages"] = pages;
    state.counters["pdf_bytes"] = double(QFile(pdf).size());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TagTablePrintToPdf)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
