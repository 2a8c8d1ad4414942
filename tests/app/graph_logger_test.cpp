// The graph over a LOG window read from the simulated logger: the graph
// command opens it on the window's records, its statistics of the whole data
// agree with the window's own table (over- and under-range and missing values
// left out the same way), and closing it gives the program back.
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
#include "sequencer/connect_check_op.h"
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
        t.loggerconnect = [this] { mq::loggerconnect_Click(*home); };
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
    logger_sim::Simulator sim{mq::test::configDir(), logger_sim::defaultScenario()};
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

}  // namespace
