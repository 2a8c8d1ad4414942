// The identity check, the port probe, connect_check's handling of the logger
// root, and the connected / not-connected displays.
#include "main_window/identity_check.h"


#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <map>
#include <memory>

#include "common/pty_peer.h"
#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "main_window/command_files.h"
#include "main_window/fake_windows.h"
#include "main_window/serial_link.h"
#include "platform/serial_port.h"

namespace {

using mq::link;
using mq::test::ScriptedLogger;
using mq::model;
using logger_sim::Fault;

QByteArray rec(const QByteArray& body) { return "\x02" + body + "\x03\r\n"; }


// Link state with the command tables loaded, on a port given by the test.
class LinkFixture : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        ASSERT_TRUE(mq::cmd_table_load(mq::test::configDir()));
    }
    void TearDown() override { qunsetenv("MARROWQUILL_PORTS"); }
    void usePort(const QString& device) {
        qputenv("MARROWQUILL_PORTS", device.toLocal8Bit());
        link().MSComm1().setPortNumber(1);
        mq::comm_setting();
        mq::send_initial();
    }

    mq::ModelSlot modelSlot;
    mq::LinkSlot linkSlot;
    mq::HomeSlot homeSlot;
    mq::ConnectionSlot connSlot;
};

class IdentityWithSimulator : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        ASSERT_TRUE(sim.start()) << sim.lastError().toStdString();
        usePort(sim.devicePath());
        link().link_serial_no = QStringLiteral("A0123456");
        link().link_mode = mq::OpMode::Log;
    }
    void TearDown() override {
        sim.stop();
        LinkFixture::TearDown();
    }
    logger_sim::Simulator sim{mq::test::configDir(), logger_sim::defaultScenario()};
};

// ---------------------------------------------------------------- send_recv_before_check

TEST_F(IdentityWithSimulator, SameLoggerInTheSameModeAsksIdentityThenModeAndGivesZero) {
    EXPECT_EQ(mq::send_recv_before_check(), 0);
    EXPECT_EQ(sim.received(), (QList<QByteArray>{"ST00SN", "ST03MD"}));
}

TEST_F(IdentityWithSimulator, AnotherSerialOrModeOnEitherSideGivesTwo) {
    link().link_serial_no = QStringLiteral("A0123457");  // one character differs
    EXPECT_EQ(mq::send_recv_before_check(), 2);
    link().link_serial_no = QStringLiteral("A012345");  // exact comparison, no trimming
    EXPECT_EQ(mq::send_recv_before_check(), 2);
    link().link_serial_no = QStringLiteral("A0123456");
    link().link_mode = mq::OpMode::Tag;
    EXPECT_EQ(mq::send_recv_before_check(), 2);
    link().link_mode = mq::OpMode::Log;

    sim.setIdentity(QStringLiteral("B7777777"), logger_sim::Mode::Log);
    EXPECT_EQ(mq::send_recv_before_check(), 2);
    sim.setIdentity(QStringLiteral("A0123456"), logger_sim::Mode::Tag);
    EXPECT_EQ(mq::send_recv_before_check(), 2);
    sim.setMode(logger_sim::Mode::Log);
    EXPECT_EQ(mq::send_recv_before_check(), 0);
}

TEST_F(IdentityWithSimulator, SilenceGivesOneWithoutAskingTheMode) {
    sim.setFault(Fault::Silence);
    EXPECT_EQ(mq::send_recv_before_check(), 1);
    const QList<QByteArray> got = sim.received();
    ASSERT_EQ(got.size(), 4);  // the link's four attempts of the first command only
    for (const QByteArray& c : got) EXPECT_EQ(c, QByteArray("ST00SN"));
}

TEST_F(LinkFixture, AMissingModeReplyGivesOne) {
    ScriptedLogger peer;
    ASSERT_TRUE(peer.ok());
    peer.replies["ST00SN"] = rec("S00A0123456");
    usePort(peer.path);
    link().link_serial_no = QStringLiteral("A0123456");
    link().link_mode = mq::OpMode::Log;
    EXPECT_EQ(mq::send_recv_before_check(), 1);
    ASSERT_EQ(peer.received.size(), 5);
    EXPECT_EQ(peer.received.first(), QByteArray("ST00SN"));
    EXPECT_EQ(peer.received.last(), QByteArray("ST03MD"));

    // With the mode answered, the fields are taken at characters 5-12 and 7.
    peer.received.clear();
    peer.replies["ST03MD"] = rec("S03M=1");
    EXPECT_EQ(mq::send_recv_before_check(), 0);
    peer.replies["ST03MD"] = rec("S03M=3");
    EXPECT_EQ(mq::send_recv_before_check(), 2);
}

// ---------------------------------------------------------------- comm_port_check

TEST_F(IdentityWithSimulator, PortCheckAsksTheProbeRecordOnly) {
    EXPECT_TRUE(mq::comm_port_check(1));
    EXPECT_EQ(sim.received(), QList<QByteArray>{"ST01MV"});
    EXPECT_EQ(link().MSComm1().portNumber(), 1);

    sim.clearReceived();
    sim.setFault(Fault::Silence);
    EXPECT_FALSE(mq::comm_port_check(1));
    EXPECT_EQ(sim.received().size(), 4);
}

TEST_F(IdentityWithSimulator, RefusedPortNumberFailsWithoutSending) {
    EXPECT_FALSE(mq::comm_port_check(0));
    EXPECT_FALSE(mq::comm_port_check(-3));
    // A COM number with no device behind it is taken, and the exchange fails.
    EXPECT_FALSE(mq::comm_port_check(7));
    EXPECT_EQ(mq::link().rx_attempts_made, 0);  // nothing went out
    EXPECT_TRUE(sim.received().isEmpty());
}

// ---------------------------------------------------------------- connect_check

TEST_F(LinkFixture, ConnectCheckCreatesTheRootAndDropsItOnFailure) {
    int runs = 0;
    bool answer = false;
    std::shared_ptr<mq::clsLOGGER_Main> seen;
    mq::connection().run_connect_check = [&] {
        ++runs;
        seen = model().logger_main;
        EXPECT_EQ(model().act_data_kind, 2);
        EXPECT_EQ(link().MSComm1().portNumber(), 3);
        return answer;
    };
    model().act_data_kind = 0;
    EXPECT_FALSE(mq::connect_check(3));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(seen != nullptr);
    EXPECT_EQ(model().logger_main, nullptr);

    answer = true;
    EXPECT_TRUE(mq::connect_check(3));
    ASSERT_NE(model().logger_main, nullptr);
    // An existing root is kept for the check.
    const auto root = model().logger_main;
    EXPECT_TRUE(mq::connect_check(3));
    EXPECT_EQ(model().logger_main, root);
}

TEST_F(LinkFixture, ConnectCheckWithARefusedPortRunsNothing) {
    int runs = 0;
    mq::connection().run_connect_check = [&] {
        ++runs;
        return true;
    };
    model().act_data_kind = 1;
    EXPECT_FALSE(mq::connect_check(0));
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(model().logger_main, nullptr);
    EXPECT_EQ(model().act_data_kind, 1);

    // Without a registered check the connection fails and leaves no root.
    mq::connection().run_connect_check = nullptr;
    EXPECT_FALSE(mq::connect_check(1));
    EXPECT_EQ(model().logger_main, nullptr);
}

// ---------------------------------------------------------------- displays

class ConnectionDisplay : public mq::test::HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        mq::home_state().targets.comm_dialog = [this](const QString& s) {
            dialogs << s + "/" + mq::home_state().dialog_state;
        };
        auto& st = model().logger_main->clsLOGGER_STATUS();
        st.let_serial_no(QStringLiteral("A0123456"));
        st.let_model_name(QStringLiteral("ZK4409MU"));
        st.let_user_model_name(QStringLiteral("ﾗｲﾝ1"));
        st.let_hard_ver(1);
        st.let_soft_ver(12);
        st.let_special_spec(3);
        setMode(1);
    }
    void connectAs(quint8 mode) {
        setMode(mode);
        link().link_connected_flag = true;
        link().link_serial_no = QStringLiteral("A0123456");
        link().link_mode = mq::op_mode_of(mode);
        mq::comm_connect_disp();
    }
    bool enabled(const char* item) const { return home->menuItem(QString::fromLatin1(item))->isEnabled(); }
    bool button(int i) const { return home->toolbarButton(i)->isEnabled(); }

    mq::ConnectionSlot connSlot;
    QStringList dialogs;
};

TEST_F(ConnectionDisplay, ConnectedInLogModeShowsIdentityAndEnablesTheLoggerCommands) {
    connectAs(1);
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("接続中"));
    EXPECT_EQ(home->statusPanelText(2), QStringLiteral("機種名：ZK4409-MU       "));
    EXPECT_EQ(home->statusPanelText(3), QStringLiteral("機器名称：ﾗｲﾝ1    "));
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作：ログモード"));
    for (int i : {4, 6, 7, 8, 10}) EXPECT_TRUE(button(i)) << i;
    for (const char* m : {"loggerread", "logingsv", "namelist", "commlist", "modelset", "defset", "menu_graph"}) {
        EXPECT_TRUE(enabled(m)) << m;
    }
    EXPECT_EQ(link().link_model_text, QStringLiteral("ZK4409-MU       "));
    EXPECT_EQ(link().link_serial_text, QStringLiteral("A0123456"));
    EXPECT_EQ(link().link_hard_ver_text, QStringLiteral("01"));
    EXPECT_EQ(link().link_soft_ver_text, QStringLiteral("12"));
    EXPECT_EQ(link().link_special_spec_text, QStringLiteral("03"));
}

TEST_F(ConnectionDisplay, TagModeDisablesTheGraphAndMemoryModeDisablesReading) {
    connectAs(2);
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作：タグ・モード"));
    EXPECT_FALSE(enabled("menu_graph"));
    EXPECT_TRUE(enabled("loggerread"));
    EXPECT_TRUE(button(4));

    connectAs(3);
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作：メモリ・モード"));
    EXPECT_FALSE(enabled("loggerread"));
    EXPECT_FALSE(button(4));
    EXPECT_TRUE(enabled("menu_graph"));
    for (int i : {6, 7, 8, 10}) EXPECT_TRUE(button(i)) << i;
    for (const char* m : {"logingsv", "namelist", "commlist", "modelset", "defset"}) EXPECT_TRUE(enabled(m)) << m;
}

TEST_F(ConnectionDisplay, ModelNamesOtherThanTheOneExceptionShowAsReported) {
    EXPECT_EQ(mq::link_model_text_of(QStringLiteral("ZK4409MU")), QStringLiteral("ZK4409-MU       "));
    EXPECT_EQ(mq::link_model_text_of(QStringLiteral("ZK4409M ")), QStringLiteral("ZK4409M         "));
    EXPECT_EQ(mq::link_model_text_of(QStringLiteral("ZK4409MUX")), QStringLiteral("ZK4409MUX       "));
    EXPECT_EQ(mq::link_model_text_of(QString(20, u'A')), QString(16, u'A'));
    model().logger_main->clsLOGGER_STATUS().let_model_name(QStringLiteral("AB12"));
    connectAs(1);
    EXPECT_EQ(home->statusPanelText(2), QStringLiteral("機種名：AB12            "));
}

TEST_F(ConnectionDisplay, FirstConnectionDisablesTheDataWindowCommands) {
    for (const char* m : {"fileclose", "allclose", "save", "print_data", "mGrp_Draw", "h_disp", "v_disp", "c_disp"}) {
        home->setMenuItemEnabled(QString::fromLatin1(m), true);
    }
    for (int i : {14, 17, 20}) home->setToolbarButtonEnabled(i, true);
    connectAs(1);
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("接続中"));
    for (const char* m : {"fileclose", "allclose", "save", "print_data", "mGrp_Draw", "h_disp", "v_disp", "c_disp"}) {
        EXPECT_FALSE(enabled(m)) << m;
    }
    for (int i : {14, 17, 20}) EXPECT_FALSE(button(i)) << i;
    EXPECT_TRUE(enabled("loggerread"));
}

TEST_F(ConnectionDisplay, DisconnectDropsTheLinkClosesLoggerWindowsAndRemovesTheLoggerData) {
    connectAs(1);
    home->winTable().win_logger_open_log(QStringLiteral("01"));
    home->winTable().win_logger_open_log(QStringLiteral("02"));
    mq::home_state().area_window_flags[1] = mq::home_state().area_window_flags[2] = true;
    auto* w1 = window(QStringLiteral("L01"));
    ASSERT_NE(w1, nullptr);
    mq::home_state().win_unsaved_flags[0] = 1;  // closed without asking all the same
    model().act_logger_data = model().logger_main->colLOGGER_DATA().Item("L01");

    mq::comm_disconnect();

    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_TRUE(link().link_serial_no.isEmpty());
    EXPECT_EQ(link().link_mode, mq::OpMode::None);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90/90")});
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("未接続"));
    EXPECT_EQ(home->statusPanelText(2), QStringLiteral("機種名："));
    EXPECT_TRUE(window(QStringLiteral("L01")) == nullptr || window(QStringLiteral("L01"))->closed);
    EXPECT_EQ(w1 ? w1->closeAsked : 0, 0);
    EXPECT_EQ(home->winTable().win_logger_use_ct(), 0);
    EXPECT_EQ(mq::home_state().close_reason, 0);
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 0);
    EXPECT_EQ(model().act_logger_data, nullptr);
    EXPECT_EQ(link().link_model_text, QString(16, u' '));
    EXPECT_EQ(link().link_hard_ver_text, QStringLiteral("  "));
    for (const char* m : {"loggerread", "logingsv", "namelist", "commlist", "modelset", "defset"}) {
        EXPECT_FALSE(enabled(m)) << m;
    }
}

TEST_F(ConnectionDisplay, DisconnectWhileTheReservationDialogIsOpenKeepsDataAndIdentityTexts) {
    connectAs(1);
    mq::connection().reserve_open_flag = true;
    model().act_logger_data = model().logger_main->colLOGGER_DATA().Item("L03");

    mq::comm_disconnect();

    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("未接続"));
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 20);
    EXPECT_NE(model().act_logger_data, nullptr);
    EXPECT_EQ(link().link_model_text, QStringLiteral("ZK4409-MU       "));
    EXPECT_EQ(link().link_serial_text, QStringLiteral("A0123456"));
    EXPECT_EQ(link().link_soft_ver_text, QStringLiteral("12"));
}

TEST_F(ConnectionDisplay, LoggerChangeWithoutWindowsForgetsTheMode) {
    connectAs(2);
    mq::comm_logger_change();
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_TRUE(link().link_serial_no.isEmpty());
    EXPECT_EQ(link().link_mode, mq::OpMode::None);
    EXPECT_EQ(model().act_data_kind, 0);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("95/95")});
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 0);
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("未接続"));
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作："));
}

TEST_F(ConnectionDisplay, LoggerChangeWithALoggerWindowLeavesNoModeOnceTheWindowsClose) {
    connectAs(2);
    home->winTable().win_logger_open_log(QStringLiteral("05"));
    mq::home_state().area_window_flags[5] = true;
    ASSERT_NE(window(QStringLiteral("L05")), nullptr);
    home->mdiArea()->setActiveSubWindow(frame(window(QStringLiteral("L05"))));
    model().act_data_kind = 2;

    mq::comm_logger_change();

    // No data window is left: no data set is current and the program has
    // no mode, for File Open as for the status bar.
    EXPECT_EQ(home->winTable().win_logger_use_ct(), 0);
    EXPECT_EQ(link().link_mode, mq::OpMode::None);
    EXPECT_EQ(model().act_data_kind, 0);
    EXPECT_EQ(mq::get_cur_mode_type(), mq::OpMode::None);
    EXPECT_EQ(model().act_logger_data, nullptr);
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作："));
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 0);
}

}  // namespace
