// The LOG list, settings and records reads against the simulated logger: the
// commands sent, what lands in the data sets, and the endings on cancel and
// silence.
#include "log_data/ops_log_read.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "common/sim_link.h"
#include "common/test_env.h"
#include "log_data/integration.h"
#include "log_data/log_data.h"
#include "logger_sim/logger_sim.h"
#include "main_window/command_files.h"
#include "main_window/fake_windows.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/db_workspace.h"
#include "platform/errors.h"
#include "platform/grid.h"
#include "platform/serial_port.h"
#include "platform/message_box.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

namespace {

using logger_sim::Fault;
using mq::home_state;
using mq::link;
using mq::model;
using mq::seq;

TEST(LogReadArithmetic, ReplyLengthFollowsGroupsOfThree) {
    EXPECT_EQ(mq::log_data_reply_length(0, 4), 0);
    EXPECT_EQ(mq::log_data_reply_length(7, 4), 180);  // 2 x 74 + 32
    EXPECT_EQ(mq::log_data_reply_length(5, 2), 77);   // 44 + 33
    EXPECT_EQ(mq::log_data_reply_length(3, 1), 29);
    EXPECT_EQ(mq::log_data_reply_length(1, 1), 17);
    EXPECT_EQ(mq::log_data_reply_length(16000, 4), 5333 * 74 + 32);
    EXPECT_THROW(mq::log_data_reply_length(2000000000, 4), mq::OverflowError);
}

const QString kStopText = QStringLiteral(
    "！ロガーの送信動作を停止する必要があります！\r\n"
    "　①ロガーの「戻る」キーで通信モードから抜けます。\r\n"
    "　②ロガーのメニューで「ﾂｳｼﾝ」を選択します。");

// ---------------------------------------------------------------- against the simulator

class LogReadOpsTest : public mq::test::HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        model().dao_workspace = std::make_shared<mq::DbWorkspace>();
        home_state().targets.comm_dialog = [this](const QString& s) { dialogs << s; };
        ASSERT_TRUE(sim.start()) << sim.lastError().toStdString();
        mq::test::attachConnectedLogger(sim.devicePath());
        setMode(1);
    }
    void TearDown() override {
        sim.stop();
        qunsetenv("MARROWQUILL_PORTS");
        HomeTest::TearDown();
    }

    mq::Outcome listRead() { return mq::prog_run(home.get(), mq::log_list_read_operation(nullptr)); }
    mq::Outcome settingsRead() {
        return mq::prog_run(home.get(), mq::log_settings_read_operation([this](qint16 n) { shown.push_back(n); },
                                                                        [this] { ++editorUnloads; }));
    }

    mq::clsLOGGER_SETTING& area(int n) {
        return model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L%1").arg(n, 2, 10, QChar(u'0')))->clsLOGGER_SETTING();
    }

    // Runs the list read, then forgets what it sent.
    void readList() {
        listRead();
        sim.clearReceived();
    }

    // Opens area n's real LOG window through the window table.
    mq::log_data* openArea(int n) {
        mq::install_log_data_targets(home_state().targets);
        home->winTable().win_logger_open_log(QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')));
        return dynamic_cast<mq::log_data*>(home->winTable().dataWindowOf(home->winTable().slotWindow(0)));
    }

    mq::SeqSlot seqSlot;
    mq::ConnectionSlot connSlot;
    mq::LogDataSlot logDataSlot;
    logger_sim::Simulator sim{mq::test::configDir(), logger_sim::defaultScenario()};
    QStringList dialogs;
    std::vector<qint16> shown;
    int editorUnloads = 0;
};

QList<QByteArray> listCommands(int withSettingsUpTo) {
    QList<QByteArray> out{"ST00SN", "ST03MD"};
    for (int n = 1; n <= 20; ++n) {
        const QByteArray nn = QByteArray::number(100 + n).right(2);
        out << "LR03CT" + nn;
        if (n <= withSettingsUpTo) out << "LR00ST" + nn;
    }
    return out;
}

TEST_F(LogReadOpsTest, ListReadAsksSettingsOnlyOfAreasThatHoldRecords) {
    // Only the 20 area data sets plus the defaults entry: the areas are reused.
    const auto l02 = model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L02"));
    EXPECT_EQ(listRead(), mq::Outcome::Done);
    EXPECT_EQ(sim.received(), listCommands(3));  // the scenario's areas 1 to 3 hold records
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_EQ(model().act_logger_data, nullptr);
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 20);
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L02")), l02);

    EXPECT_EQ(area(1).data_count(), 7);
    EXPECT_EQ(area(2).data_count(), 5);
    EXPECT_EQ(area(3).data_count(), 1);
    EXPECT_EQ(area(4).data_count(), 0);
    EXPECT_EQ(area(2).log_name(), QStringLiteral("ｴﾘｱ2    "));
    EXPECT_EQ(area(2).Worker(), QStringLiteral("ｽｽﾞｷ    "));
    EXPECT_EQ(area(2).record_interval(), QStringLiteral("00:01:00"));
    EXPECT_EQ(area(2).Ch_input_type(1), QStringLiteral("-"));
    EXPECT_EQ(area(2).Ch_input_type(2), QStringLiteral("T"));
    EXPECT_DOUBLE_EQ(area(2).Ch_sum_std_count_value(2), 10.0);
    EXPECT_EQ(area(4).log_name(), QString(8, QChar(0)));  // never asked
}

TEST_F(LogReadOpsTest, ListReadOfAnEmptyLoggerSendsNoSettingCommand) {
    logger_sim::Scenario s = logger_sim::defaultScenario();
    s.areas.clear();
    sim.stop();
    logger_sim::Simulator empty{mq::test::configDir(), s};
    ASSERT_TRUE(empty.start());
    qputenv("MARROWQUILL_PORTS", empty.devicePath().toLocal8Bit());
    link().MSComm1().setPortNumber(1);
    model().logger_main->colLOGGER_DATA().clear();  // a first read builds the areas
    listRead();
    EXPECT_EQ(empty.received(), listCommands(0));
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 20);
    empty.stop();
}

TEST_F(LogReadOpsTest, CancelDuringTheEighthAreaKeepsTheLinkAndTheFirstSeven) {
    // Held here: with no data window open the cancel exit lets go of the list.
    const auto l01 = model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L01"));
    const auto l03 = model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L03"));
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [this, &poll] {
        if (seq().dialog && seq().dialog->progress_value() == 8) {
            poll.stop();
            sim.setFault(Fault::Silence);
            QTest::mouseClick(seq().dialog->Command1, Qt::LeftButton);
        }
    });
    poll.start();
    EXPECT_EQ(listRead(), mq::Outcome::Cancelled);
    EXPECT_TRUE(link().comm_cancel_flag);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_TRUE(dialogs.isEmpty());
    const QList<QByteArray> got = sim.received();
    // Areas 1 to 7 were asked; the eighth is where it stopped (its command
    // may or may not have gone out before the cancel was seen).
    const QList<QByteArray> upTo7 = listCommands(3).mid(0, 2 + 7 + 3);
    ASSERT_GE(got.size(), upTo7.size());
    EXPECT_EQ(got.mid(0, upTo7.size()), upTo7);
    EXPECT_LE(got.size(), upTo7.size() + 1);
    EXPECT_EQ(l01->clsLOGGER_SETTING().data_count(), 7);
    EXPECT_EQ(l03->clsLOGGER_SETTING().log_name(), QStringLiteral("ONE     "));
}

TEST_F(LogReadOpsTest, SilenceDuringTheListReadDropsTheLink) {
    sim.setFault(Fault::Silence);
    EXPECT_EQ(listRead(), mq::Outcome::NoReply);
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_FALSE(link().comm_cancel_flag);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
}

// A record that cannot be read ends the read like silence, never as an
// exception out of the progress dialog. The other command's reply stands in
// for a record of the wrong layout.
TEST_F(LogReadOpsTest, AnUnreadableRecordEndsTheListReadLikeSilence) {
    // A setting record where the count should be: its log name is no number.
    link().cmd_l_r_req[mq::kLogCmdCount] = link().cmd_l_r_req[mq::kLogCmdSetting];
    link().cmd_l_r_rsp[mq::kLogCmdCount] = link().cmd_l_r_rsp[mq::kLogCmdSetting];
    mq::Outcome o = mq::Outcome::Done;
    EXPECT_NO_THROW(o = listRead());
    EXPECT_EQ(sim.received().size(), 3);  // identity check, then area 1 only
    EXPECT_EQ(o, mq::Outcome::NoReply);
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
}

TEST_F(LogReadOpsTest, AnUnreadableRecordEndsTheSettingReadLikeSilence) {
    // The short count record where the 238-character setting record should be.
    link().cmd_l_r_req[mq::kLogCmdSetting] = link().cmd_l_r_req[mq::kLogCmdCount];
    link().cmd_l_r_rsp[mq::kLogCmdSetting] = link().cmd_l_r_rsp[mq::kLogCmdCount];
    mq::Outcome o = mq::Outcome::Done;
    EXPECT_NO_THROW(o = settingsRead());
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(editorUnloads, 1);
    EXPECT_EQ(o, mq::Outcome::NoReply);
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
}

TEST_F(LogReadOpsTest, SettingReadReadsEveryAreaAndShowsEach) {
    EXPECT_EQ(settingsRead(), mq::Outcome::Done);
    QList<QByteArray> expected{"ST00SN", "ST03MD"};
    for (int n = 1; n <= 20; ++n) expected << "LR00ST" + QByteArray::number(100 + n).right(2);
    EXPECT_EQ(sim.received(), expected);
    std::vector<qint16> all;
    for (qint16 n = 1; n <= 20; ++n) all.push_back(n);
    EXPECT_EQ(shown, all);
    EXPECT_EQ(editorUnloads, 0);
    EXPECT_EQ(area(1).log_name(), QStringLiteral("ﾃｽﾄ1    "));
    EXPECT_EQ(area(20).log_name(), QStringLiteral("        "));  // an empty area still has a setting
}

TEST_F(LogReadOpsTest, SettingReadWithoutReplyUnloadsTheEditor) {
    sim.setFault(Fault::Silence);
    EXPECT_EQ(settingsRead(), mq::Outcome::NoReply);
    EXPECT_EQ(editorUnloads, 1);
    EXPECT_FALSE(link().link_connected_flag);
}

TEST_F(LogReadOpsTest, DataReadSendsTheAreaAndHandsTheWholeReplyToTheWindow) {
    readList();
    mq::log_data* w = openArea(2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(sim.received(), (QList<QByteArray>{"ST00SN", "ST03MD", "LR01DT02"}));
    EXPECT_FALSE(link().rx_progress_flag);
    EXPECT_TRUE(link().link_connected_flag);
    mq::platform::Grid* g = w->vsFlexGrid1();
    ASSERT_EQ(g->Rows(), 6);
    EXPECT_EQ(g->TextMatrix(5, 1).trimmed(), QStringLiteral("5"));
    EXPECT_EQ(g->TextMatrix(1, 3).right(6).trimmed(), QStringLiteral("10.1"));
    EXPECT_EQ(g->TextMatrix(3, 5).right(6).trimmed(), QStringLiteral("O.R."));
}

TEST_F(LogReadOpsTest, DataReadFillsTheWindowThatStartedItNotTheActiveOne) {
    readList();
    // Area 2's window first: the window the dialog falls back to activating.
    openArea(2);
    openArea(1);
    mq::log_data* w1 = nullptr;
    mq::log_data* w2 = nullptr;
    for (QMdiSubWindow* sub : home->mdiArea()->subWindowList()) {
        auto* w = qobject_cast<mq::log_data*>(sub->widget());
        if (w && w->Tag() == QStringLiteral("L01")) w1 = w;
        if (w && w->Tag() == QStringLiteral("L02")) w2 = w;
    }
    ASSERT_NE(w1, nullptr);
    ASSERT_NE(w2, nullptr);
    // As the area select dialog leaves them when it finishes.
    for (mq::log_data* w : {w1, w2}) frame(w)->setEnabled(true);
    home->mdiArea()->setActiveSubWindow(frame(w2));
    ASSERT_EQ(home->activeDataWindow(), static_cast<mq::IDataWindow*>(w2));
    ASSERT_EQ(w1->vsFlexGrid1()->Rows(), 8);
    ASSERT_EQ(w2->vsFlexGrid1()->Rows(), 6);
    // Area 1 read again for its own window while area 2's window is active.
    w1->vsFlexGrid1()->setRows(1);
    const auto l01 = model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L01"));
    EXPECT_EQ(mq::prog_run(home.get(), mq::log_records_read_operation(w1, 1, l01)), mq::Outcome::Done);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_EQ(w1->vsFlexGrid1()->Rows(), 8);
    EXPECT_EQ(w2->vsFlexGrid1()->Rows(), 6);
    EXPECT_EQ(w2->vsFlexGrid1()->TextMatrix(1, 3).right(6).trimmed(), QStringLiteral("10.1"));
}

TEST_F(LogReadOpsTest, AnEmptyAreaIsNeverAskedForItsRecords) {
    readList();
    const auto l04 = model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L04"));
    EXPECT_EQ(mq::prog_run(home.get(), mq::log_records_read_operation(nullptr, 4, l04)), mq::Outcome::Done);
    EXPECT_TRUE(sim.received().isEmpty());
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_FALSE(link().comm_cancel_flag);
    EXPECT_TRUE(dialogs.isEmpty());
}

TEST_F(LogReadOpsTest, CancelDuringADataReadTellsHowToStopTheLoggerAndKeepsTheLink) {
    readList();
    mq::platform::ScopedMessageBoxHook boxes;
    sim.setFault(Fault::SlowWithGaps);
    sim.setGaps(8, 200);
    // Cancel once the data command is out and its reply is trickling in.
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [this, &poll] {
        if (sim.received().contains("LR01DT01") && seq().dialog) {
            poll.stop();
            QTest::mouseClick(seq().dialog->Command1, Qt::LeftButton);
        }
    });
    poll.start();
    mq::install_log_data_targets(home_state().targets);
    home->winTable().win_logger_open_log(QStringLiteral("01"));
    ASSERT_EQ(boxes.records().size(), 1u);
    EXPECT_EQ(boxes.records()[0].text, kStopText);
    EXPECT_EQ(boxes.records()[0].title, QStringLiteral("マロウクイル"));
    EXPECT_EQ(boxes.records()[0].icon, mq::platform::MsgIcon::Exclamation);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_FALSE(link().comm_cancel_flag);  // the window clears it as it gives up
    EXPECT_TRUE(home_state().data_win_init_flag);
    EXPECT_EQ(home->win_all_use_ct(), 0);
    EXPECT_TRUE(dialogs.isEmpty());
}

TEST_F(LogReadOpsTest, SilenceDuringADataReadDisconnects) {
    readList();
    sim.setFault(Fault::Silence);
    sim.clearReceived();
    mq::install_log_data_targets(home_state().targets);
    // The identity check is answered; the data command is not.
    sim.setFault(Fault::None);
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [this, &poll] {
        if (sim.received().size() >= 2) {
            poll.stop();
            sim.setFault(Fault::Silence);
        }
    });
    poll.start();
    home->winTable().win_logger_open_log(QStringLiteral("03"));
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
    EXPECT_EQ(home->win_all_use_ct(), 0);
    EXPECT_FALSE(link().rx_progress_flag);
}

}  // namespace
