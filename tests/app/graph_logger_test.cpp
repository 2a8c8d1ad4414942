// The graph over a LOG window read from the simulated logger: the graph
// command opens it on the window's records, its statistics of the whole data
// agree with the window's own table (over- and under-range and missing values
// left out the same way), and closing it gives the program back. Alarm values
// set, not set and set at 0.0 show the same counts and marks in the window,
// in the window of its saved .ML2, in their graphs and in the printed tables
// ("-----" for a value not set, from the graph too).
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "common/sim_home.h"
#include "common/test_env.h"
#include "graph/fgraph.h"
#include "graph/graph_state.h"
#include "log_data/integration.h"
#include "log_data/log_data.h"
#include "log_data/log_data_select.h"
#include "log_data/log_data_files.h"
#include "log_data/ops_log_files.h"
#include "main_window/file_open.h"
#include "main_window/file_save.h"
#include "main_window/small_windows.h"
#include "printing/print_sheets.h"
#include "printing/table_print.h"
#include "sequencer/connect_check_op.h"
#include "sequencer/file_progress.h"
#include "logger_sim/logger_sim.h"
#include "main_window/connect_command.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

namespace {

using mq::home_state;
using mq::link;
using mq::model;

class GraphLoggerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString failed = mq::test::openHomeOnSimulator(sim, home);
        ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
        mq::HomeTargets& t = home_state().targets;
        t.comm_dialog = [](const QString&) {};
        t.commands[mq::HomeCommand::LoggerConnect] = [this] { mq::loggerconnect_Click(*home); };
        mq::install_log_data_targets(t);
        mq::install_log_data_select_target(t, home.get());
        mq::prog_install_connect_check();
        mq::install_graph_target(t);
        home->loggerconnect_Click();
        ASSERT_TRUE(link().link_connected_flag);
    }
    void TearDown() override {
        if (mq::fGraph* g = mq::fGraph::current()) g->close();
        QCoreApplication::processEvents();
        mq::test::closeHomeOnSimulator(home, sim);
    }

    void readArea(int area) {
        QTimer::singleShot(0, [area] {
            mq::test::waitUntil([] {
                mq::log_data_select* d = mq::log_data_select::openInstance();
                return d && d->list_read();
            }, 20000);
            if (mq::log_data_select* d = mq::log_data_select::openInstance()) {
                d->clickTick(area, true);
                d->cmdOK->click();
            }
        });
        home->loggerread_Click();
    }

    mq::ModelSlot modelSlot;
    mq::LinkSlot linkSlot;
    mq::HomeSlot homeSlot;
    mq::SeqSlot seqSlot;
    mq::ConnectionSlot connSlot;
    mq::LogDataSlot logDataSlot;
    mq::GraphSlot graphSlot;
    // What the logger holds; a suite of its own may change it before its tests.
    static inline logger_sim::Scenario (*s_scenario)() = logger_sim::defaultScenario;
    logger_sim::Simulator sim{mq::test::configDir(), s_scenario()};
    std::unique_ptr<mq::HOME> home;
};

TEST_F(GraphLoggerTest, GraphOfAReadAreaAgreesWithItsWindow) {
    readArea(1);
    mq::log_data* w = mq::log_data::activeLogWindow();
    ASSERT_NE(w, nullptr);
    const logger_sim::Scenario scenario = logger_sim::defaultScenario();
    const logger_sim::LogArea& area = scenario.areas[0];
    const int n = area.records.size();
    ASSERT_EQ(w->vsFlexGrid1()->Rows(), n + 1);

    ASSERT_TRUE(home->mGrp_Draw_Click());
    mq::fGraph* g = mq::fGraph::current();
    ASSERT_NE(g, nullptr);
    const mq::GraphState& gs = mq::graph_state();
    EXPECT_EQ(gs.graph_rec_count, n);
    EXPECT_EQ(gs.graph_start_pos, 1);
    EXPECT_EQ(gs.graph_end_pos, n);
    EXPECT_EQ(gs.graph_start_time, area.start);
    EXPECT_EQ(gs.graph_stop_time, area.stop);
    EXPECT_EQ(gs.graph_interval_secs, 10);
    EXPECT_FALSE(home->isEnabled());

    // Statistics of the whole data: the graph's grid row of a channel and the
    // window's statistics column (1 max, 2 min, 4 integration, 5/6 alarm counts).
    mq::platform::Grid* st = w->MSFlexGrid2();
    for (int ch = 1; ch <= 4; ++ch) {
        SCOPED_TRACE("CH" + std::to_string(ch));
        ASSERT_EQ(gs.ch_present[ch], 1);
        int row = 0;
        for (int r = 1; r <= 4; ++r)
            if (gs.grid_row_order[r] == ch) row = r;
        auto cell = [&](int c) { return g->gpgrid()->TextMatrix(row, c); };
        EXPECT_EQ(cell(3), st->TextMatrix(1, ch).trimmed());
        EXPECT_EQ(cell(4), st->TextMatrix(2, ch).trimmed());
        if (gs.ch_unit_text[ch] == QStringLiteral("ﾟC ")) {
            EXPECT_EQ(cell(6), st->TextMatrix(4, ch).trimmed());
            EXPECT_EQ(cell(1), st->TextMatrix(5, ch).trimmed());
            EXPECT_EQ(cell(2), st->TextMatrix(6, ch).trimmed());
        } else {
            EXPECT_EQ(cell(6), QStringLiteral("-----"));
        }
    }
    // The picture holds the traces' colours.
    EXPECT_FALSE(g->keptImage().isNull());

    g->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(mq::fGraph::current(), nullptr);
    EXPECT_TRUE(home->isEnabled());
    EXPECT_TRUE(home_state().app_idle_flag);
}

// Area 1: CH1 a lone upper alarm 25.0, CH2 a lone lower alarm set at 0.0,
// CH3 none set, CH4 upper 0.0 above lower -10.0; the marks of its six
// records (H upper, L lower alarm) by channel.
logger_sim::Scenario alarmScenario() {
    logger_sim::Scenario s = logger_sim::defaultScenario();
    logger_sim::LogArea& a = s.areas[0];
    const char* const alarms[4][2] = {{"  250", "-----"}, {"-----", "    0"}, {"-----", "-----"}, {"    0", " -100"}};
    for (int c = 0; c < 4; ++c) {
        a.channels[c] = logger_sim::ChannelSetting{};
        a.channels[c].highAlarm = QString::fromLatin1(alarms[c][0]);
        a.channels[c].lowAlarm = QString::fromLatin1(alarms[c][1]);
    }
    a.records = {{{"  240", "   10", "  -15", "   -5"}}, {{"  251", "   -1", "   18", "    1"}},
                 {{"-1500", "    0", "-----", " -101"}}, {{"32767", "  300", "   20", "    0"}},
                 {{"  260", " -200", "  -12", " -100"}}, {{"  250", "32766", "    5", "   50"}}};
    a.stop = a.start.addSecs(50);
    return s;
}
const char* const kMarks[6] = {"    ", "HL H", "   L", "    ", "HL  ", "   H"};
QString countOf(int ch, char band) {
    int n = 0;
    for (const char* m : kMarks) n += m[ch] == band;
    return QString::number(n);
}

class AlarmViewsTest : public GraphLoggerTest {
protected:
    static void SetUpTestSuite() { s_scenario = alarmScenario; }
    static void TearDownTestSuite() { s_scenario = logger_sim::defaultScenario; }
    void SetUp() override {
        GraphLoggerTest::SetUp();
        mq::HomeTargets& t = home_state().targets;
        mq::install_log_file_targets(t);
        const mq::FileDialogFn dialog = [this](QWidget*, const mq::FileDialogRequest&) {
            return mq::FileDialogAnswer{true, path, 1};
        };
        mq::install_file_open_target(t, mq::FileOpenHooks{dialog, [](const QString&) { return false; }});
        mq::install_file_save_target(
            t, mq::FileSaveHooks{dialog, [](qint16 code) { return mq::prog_run_save(mq::log_save_operation(code)); }});
        home_state().current_printer = mq::pdf_file_printer_name();
    }

    // The texts of the first page printed (to PDF) from the active window.
    QStringList printed() {
        mq::PrintHooks h;
        h.dialog = [this](QWidget*, const mq::FileDialogRequest&) {
            return mq::FileDialogAnswer{true, path + ".pdf", 1};
        };
        mq::PR dlg(nullptr, home.get(), std::move(h));
        dlg.Command1_Click();
        return dlg.sheets() ? dlg.sheets()->pageTexts(0) : QStringList{};
    }

    // Each row's H and L, the counts, and "-----" for the values not set.
    static void checkPrint(const QStringList& texts) {
        const auto after = [&](const char* label, int n) {
            return texts.value(texts.indexOf(QString::fromUtf8(label)) + n);
        };
        for (int r = 0; r < 6; ++r) {
            const QDateTime at = alarmScenario().areas[0].start.addSecs(10 * r);
            const qsizetype i = texts.lastIndexOf(at.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
            for (int ch = 0; ch < 4; ++ch) {
                const QString cell = texts.value(i + 1 + ch);  // marks, the letter, a blank, six of value
                EXPECT_EQ(cell.at(cell.size() - 8), QLatin1Char(kMarks[r][ch])) << r << cell.toStdString();
            }
        }
        for (int ch = 0; ch < 4; ++ch) {
            EXPECT_EQ(after("上限警報数", ch + 1).trimmed(), countOf(ch, 'H')) << ch;
            EXPECT_EQ(after("下限警報数", ch + 1).trimmed(), countOf(ch, 'L')) << ch;
            EXPECT_EQ(after("上限警報値", ch + 1).endsWith(QStringLiteral("-----")), ch == 1 || ch == 2) << ch;
            EXPECT_EQ(after("下限警報値", ch + 1).endsWith(QStringLiteral("-----")), ch == 0 || ch == 2) << ch;
        }
    }

    // The window's counts and colours, its printed table, its graph's counts
    // and the alarm texts a print from the graph takes.
    void checkViews(mq::log_data& w) {
        for (int ch = 0; ch < 4; ++ch) {
            EXPECT_EQ(w.MSFlexGrid2()->TextMatrix(5, ch + 1).trimmed(), countOf(ch, 'H')) << ch;
            EXPECT_EQ(w.MSFlexGrid2()->TextMatrix(6, ch + 1).trimmed(), countOf(ch, 'L')) << ch;
            for (int r = 0; r < 6; ++r) {
                const char m = kMarks[r][ch];
                EXPECT_EQ(w.vsFlexGrid1()->foreColorAt(r + 1, ch + 3),
                          m == 'H' ? mq::kHighAlarmColour : m == 'L' ? mq::kLowAlarmColour : 0u) << r << "," << ch;
            }
        }
        checkPrint(printed());
        ASSERT_TRUE(home->mGrp_Draw_Click());
        const mq::GraphState& g = mq::graph_state();
        for (int ch = 1; ch <= 4; ++ch) {
            EXPECT_EQ(g.graph_stat_texts[0][ch], countOf(ch - 1, 'H')) << ch;
            EXPECT_EQ(g.graph_stat_texts[1][ch], countOf(ch - 1, 'L')) << ch;
            EXPECT_EQ(g.ch_h_alm_text[ch] == QStringLiteral("-----"), ch == 2 || ch == 3) << ch;
            EXPECT_EQ(g.ch_l_alm_text[ch] == QStringLiteral("-----"), ch == 1 || ch == 3) << ch;
        }
        mq::fGraph::current()->close();
        QCoreApplication::processEvents();
    }

    QString path = mq::test::dataHome() + QStringLiteral("/alarms.ml2");
};

TEST_F(AlarmViewsTest, EveryViewShowsTheSameAlarms) {
    mq::platform::ScopedMessageBoxHook boxes(mq::platform::MsgResult::OK);
    readArea(1);
    mq::log_data* logger = mq::log_data::activeLogWindow();
    ASSERT_NE(logger, nullptr);
    checkViews(*logger);
    home->save_Click();
    home->fileopen_Click();
    QCoreApplication::processEvents();
    mq::log_data* file = mq::log_data::activeLogWindow();
    ASSERT_TRUE(file && file->Tag().startsWith(QLatin1Char('F')));
    checkViews(*file);
}

}  // namespace
