// The LOG area select dialog: the list read on activation, ticking rules,
// the buttons, and OK opening and closing logger windows through the window
// table (fake data windows here; the real LOG window is in the app tests).
#include "log_data/log_data_select.h"

#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "common/sim_link.h"
#include "common/test_env.h"
#include "sequencer/numbered_read.h"
#include "logger_sim/logger_sim.h"
#include "main_window/command_files.h"
#include "main_window/fake_windows.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "platform/message_box.h"
#include "platform/serial_port.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

namespace {

using logger_sim::Fault;
using mq::home_state;
using mq::link;
using mq::log_data_select;
using mq::model;
using mq::seq;

class LogSelectTest : public mq::test::HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        home_state().targets.comm_dialog = [this](const QString& s) { dialogs << s; };
        ASSERT_TRUE(sim.start()) << sim.lastError().toStdString();
        mq::test::attachConnectedLogger(sim.devicePath());
        setMode(1);
    }
    void TearDown() override {
        dlg.reset();
        sim.stop();
        qunsetenv("MARROWQUILL_PORTS");
        HomeTest::TearDown();
    }

    // Shows the dialog (without its own modal loop) and waits for the list read.
    log_data_select& open() {
        dlg = std::make_unique<log_data_select>(home.get());
        dlg->show();
        EXPECT_TRUE(mq::test::waitUntil([this] { return dlg->list_read() || dlg->unloaded(); }, 60000));
        // The read's progress dialog has ended its showing.
        EXPECT_TRUE(mq::test::waitUntil([] { return seq().dialog.isNull(); }, 60000));
        return *dlg;
    }

    // Opens fake windows for areas as an earlier confirmation would have.
    void haveWindows(std::initializer_list<int> areas) {
        for (int n : areas) {
            home->winTable().win_logger_open_log(QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')));
            home_state().area_window_flags[size_t(n)] = true;
        }
        fills.clear();
    }

    mq::SeqSlot seqSlot;
    mq::ConnectionSlot connSlot;
    logger_sim::Simulator sim{mq::test::configDir(), logger_sim::defaultScenario()};
    std::unique_ptr<log_data_select> dlg;
    QStringList dialogs;
};

TEST_F(LogSelectTest, ListShowsEveryAreaWithItsCountAndTheSettingsOfAreasWithRecords) {
    log_data_select& d = open();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("読み出すデータの選択（ログ・モード）"));
    EXPECT_EQ(d.ListView1->headerItem()->text(0), QStringLiteral("   No."));
    EXPECT_EQ(d.ListView1->headerItem()->text(2), QStringLiteral("ﾃﾞｰﾀ数"));
    ASSERT_EQ(d.ListView1->topLevelItemCount(), 20);
    EXPECT_EQ(d.cellText(1, 0), QStringLiteral("1"));
    EXPECT_EQ(d.cellText(1, 1), QStringLiteral("ﾃｽﾄ1    "));
    EXPECT_EQ(d.cellText(1, 2), QStringLiteral("7"));
    EXPECT_EQ(d.cellText(1, 3), QStringLiteral("ﾀﾅｶ     "));
    EXPECT_EQ(d.cellText(1, 4), QStringLiteral("ｹﾝｻ OK  "));
    EXPECT_EQ(d.cellText(2, 2), QStringLiteral("5"));
    EXPECT_EQ(d.cellText(3, 2), QStringLiteral("1"));
    EXPECT_EQ(d.cellText(20, 0), QStringLiteral("20"));
    EXPECT_EQ(d.cellText(20, 2), QStringLiteral("0"));
    EXPECT_EQ(d.cellText(20, 1), QString());  // never asked for its setting
    EXPECT_FALSE(d.unloaded());
    EXPECT_EQ(model().act_logger_data, nullptr);

    // A later activation does not read again.
    sim.clearReceived();
    d.Form_Activate();
    EXPECT_TRUE(sim.received().isEmpty());
}

TEST_F(LogSelectTest, AreasWithWindowsStartTicked) {
    haveWindows({2});
    log_data_select& d = open();
    EXPECT_TRUE(d.isTicked(2));
    EXPECT_FALSE(d.isTicked(1));
    EXPECT_TRUE(home_state().area_window_flags[2]);
    EXPECT_FALSE(home_state().area_window_flags[1]);
}

TEST_F(LogSelectTest, AnEmptyAreaCannotBeTicked) {
    log_data_select& d = open();
    const auto current = model().act_logger_data;
    d.clickTick(2, true);
    EXPECT_EQ(d.last_checked_area(), 2);
    d.clickTick(9, true);
    EXPECT_FALSE(d.isTicked(9));
    EXPECT_EQ(d.last_checked_area(), 2);
    d.clickTick(2, false);
    EXPECT_EQ(d.last_checked_area(), 2);
    // The dialog looks each area up itself; the current data set is not moved.
    EXPECT_EQ(model().act_logger_data, current);
}

TEST_F(LogSelectTest, SelectAllTicksAreasWithRecordsAndSkipsTheDefaults) {
    log_data_select& d = open();
    // The defaults entry walks first in the collection but takes no row.
    model().logger_main->colLOGGER_DATA().clear();
    model().logger_main->colLOGGER_DATA().Add(QStringLiteral("L00"));
    model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L00"))->clsLOGGER_SETTING().let_data_count(9);
    mq::ensure_numbered_data_sets();
    model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L02"))->clsLOGGER_SETTING().let_data_count(5);
    model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L04"))->clsLOGGER_SETTING().let_data_count(1);
    d.clickTick(4, true);
    d.Command1_Click();
    for (int n = 1; n <= 20; ++n) EXPECT_EQ(d.isTicked(n), n == 2 || n == 4) << n;
    EXPECT_EQ(d.last_checked_area(), 0);
    d.Command2_Click();
    for (int n = 1; n <= 20; ++n) EXPECT_FALSE(d.isTicked(n)) << n;
}

TEST_F(LogSelectTest, OkOpensTickedAreasClosesUnticked) {
    haveWindows({3});
    log_data_select& d = open();
    d.clickTick(1, true);
    d.clickTick(2, true);
    d.clickTick(3, false);
    d.cmdOK_Click();
    EXPECT_TRUE(d.isHidden());
    EXPECT_EQ(fills, (std::vector<QString>{"L01/01", "L02/02"}));
    EXPECT_TRUE(!window(QStringLiteral("L03")) || window(QStringLiteral("L03"))->closed);
    EXPECT_EQ(key(0), QStringLiteral("L01"));
    EXPECT_EQ(key(1), QStringLiteral("L02"));
    EXPECT_TRUE(home_state().area_window_flags[1]);
    EXPECT_TRUE(home_state().area_window_flags[2]);
    EXPECT_FALSE(home_state().area_window_flags[3]);
    // Area 2 was ticked last: its window has the focus and its data set is current.
    ASSERT_NE(home->activeDataWindow(), nullptr);
    EXPECT_EQ(home->activeDataWindow()->Tag(), QStringLiteral("L02"));
    EXPECT_EQ(model().act_logger_data->ID(), QStringLiteral("L02"));
    EXPECT_TRUE(frame(window(QStringLiteral("L01")))->isEnabled());
}

TEST_F(LogSelectTest, AfterSelectAllTheHighestAreaGetsTheFocus) {
    log_data_select& d = open();
    d.clickTick(1, true);
    d.Command1_Click();
    d.cmdOK_Click();
    EXPECT_EQ(fills, (std::vector<QString>{"L01/01", "L02/02", "L03/03"}));
    ASSERT_NE(home->activeDataWindow(), nullptr);
    EXPECT_EQ(home->activeDataWindow()->Tag(), QStringLiteral("L03"));
}

TEST_F(LogSelectTest, OkWithNothingNewChangesNoWindowButStillFocuses) {
    haveWindows({1, 2});
    home->mdiArea()->setActiveSubWindow(frame(window(QStringLiteral("L01"))));
    log_data_select& d = open();
    d.cmdOK_Click();
    EXPECT_TRUE(fills.empty());
    EXPECT_EQ(home->win_all_use_ct(), 2);
    EXPECT_EQ(home->activeDataWindow()->Tag(), QStringLiteral("L02"));
    EXPECT_EQ(model().act_logger_data->ID(), QStringLiteral("L02"));
}

TEST_F(LogSelectTest, AutoDrawWithOneRecordTellsWhyThereIsNoGraph) {
    home->setAutoDrawChecked(true);
    int graphs = 0;
    home_state().targets.graph = [&graphs] {
        ++graphs;
        return true;
    };
    newWindowRows = 1;
    mq::platform::ScopedMessageBoxHook boxes;
    log_data_select& d = open();
    d.clickTick(3, true);
    d.cmdOK_Click();
    ASSERT_EQ(boxes.records().size(), 1u);
    EXPECT_EQ(boxes.records()[0].text, QStringLiteral("ﾃﾞｰﾀが1個の為ｸﾞﾗﾌ描画はできません。"));
    EXPECT_EQ(boxes.records()[0].title, QStringLiteral("ｸﾞﾗﾌ"));
    EXPECT_EQ(graphs, 0);

    newWindowRows = 5;
    log_data_select& again = open();
    again.clickTick(1, true);
    again.cmdOK_Click();
    EXPECT_EQ(graphs, 1);
    EXPECT_EQ(boxes.records().size(), 1u);
}

TEST_F(LogSelectTest, ALinkLostDuringOkTakesBackEveryLoggerWindow) {
    haveWindows({5});
    // The second window's read finds the logger gone.
    home_state().targets.fill[mq::DataFill::LoggerLog] = [this](mq::IDataWindow& w, const QString& n) {
        fills.push_back(w.Tag() + "/" + n);
        if (n == QStringLiteral("02")) link().link_connected_flag = false;
    };
    log_data_select& d = open();
    d.clickTick(1, true);
    d.clickTick(2, true);
    d.clickTick(3, true);
    d.cmdOK_Click();
    EXPECT_EQ(fills, (std::vector<QString>{"L01/01", "L02/02"}));  // area 3 is never opened
    EXPECT_EQ(home->win_all_use_ct(), 0);
    for (int n = 1; n <= 20; ++n) EXPECT_FALSE(home_state().area_window_flags[size_t(n)]) << n;
}

TEST_F(LogSelectTest, ACancelledWindowReadStillCountsAsOpenForTheNextConfirmation) {
    home_state().targets.fill[mq::DataFill::LoggerLog] = [this](mq::IDataWindow& w, const QString& n) {
        fills.push_back(w.Tag() + "/" + n);
        if (n == QStringLiteral("01")) {
            // The window gives itself up and clears the cancel as it closes.
            home->win_active_close();
        }
    };
    log_data_select& d = open();
    d.clickTick(1, true);
    d.cmdOK_Click();
    EXPECT_TRUE(home_state().area_window_flags[1]);
    EXPECT_EQ(home->win_all_use_ct(), 0);
}

TEST_F(LogSelectTest, CancelRebindsToTheActiveWindowAndOpensNothing) {
    haveWindows({2});
    model().act_logger_data = nullptr;
    model().act_data_kind = 0;
    log_data_select& d = open();
    d.clickTick(1, true);
    d.cmdCancel_Click();
    EXPECT_TRUE(d.unloaded());
    EXPECT_TRUE(fills.empty());
    EXPECT_EQ(model().act_data_kind, 2);
    ASSERT_NE(model().act_logger_data, nullptr);
    EXPECT_EQ(model().act_logger_data->ID(), QStringLiteral("L02"));
}

TEST_F(LogSelectTest, AFailedListReadClosesTheDialog) {
    sim.setFault(Fault::Silence);
    log_data_select& d = open();
    EXPECT_TRUE(d.unloaded());
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
}

TEST_F(LogSelectTest, ModalShowingFromTheReadCommand) {
    mq::install_log_data_select_target(home_state().targets, home.get());
    // Press Cancel once the list has been read.
    bool listRead = false;
    const auto open = [] { return log_data_select::openInstance(); };
    mq::test::whenTrue([&] { return open() && open()->list_read(); }, [&] {
        listRead = true;
        open()->cmdCancel->click();
    });
    home->loggerread_Click();
    EXPECT_TRUE(listRead);
    EXPECT_EQ(log_data_select::openInstance(), nullptr);
    EXPECT_TRUE(home_state().app_idle_flag);
}

}  // namespace
