// The connection check against the simulated logger and a
// scripted one: the identity records, the speed finding and its
// configuration file, and the failures.
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <unistd.h>

#include <map>
#include <memory>

#include "common/pty_peer.h"
#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "main_window/command_files.h"
#include "main_window/config_files.h"
#include "main_window/fake_windows.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "platform/serial_port.h"
#include "sequencer/connect_check_op.h"
#include "sequencer/seq_state.h"

namespace {

using mq::home_state;
using mq::link;
using mq::test::ScriptedLogger;
using mq::model;
using logger_sim::Fault;

const QList<QByteArray> kIdentityCommands = {"ST00SN", "ST01MV", "ST11UN", "ST03MD", "ST05OF"};

QByteArray rec(const QByteArray& body) { return "\x02" + body + "\x03\r\n"; }


class ConnectCheckTest : public mq::test::HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        model().logger_main.reset();
        ASSERT_TRUE(mq::cmd_table_load(mq::test::configDir()));
        mq::prog_install_connect_check();
        QFile::remove(mq::comm_set_path(model().user_dir));
        home_state().app_idle_flag = false;  // the connect command has started
    }
    void TearDown() override {
        qunsetenv("MARROWQUILL_PORTS");
        HomeTest::TearDown();
    }
    void atSpeed(qint32 baud, const QString& device) {
        qputenv("MARROWQUILL_PORTS", device.toLocal8Bit());
        link().comm_baud_rate = baud;
        mq::comm_setting();
    }
    bool cfgWritten() const { return QFile::exists(mq::comm_set_path(model().user_dir)); }
    mq::clsLOGGER_STATUS& status() { return model().logger_main->clsLOGGER_STATUS(); }

    mq::SeqSlot seqSlot;
    mq::ConnectionSlot connSlot;
};

class ConnectWithSimulator : public ConnectCheckTest {
protected:
    void SetUp() override {
        ConnectCheckTest::SetUp();
        ASSERT_TRUE(sim.start()) << sim.lastError().toStdString();
    }
    void TearDown() override {
        sim.stop();
        ConnectCheckTest::TearDown();
    }
    logger_sim::Simulator sim{mq::test::configDir(), logger_sim::defaultScenario()};
};

// ---------------------------------------------------------------- success

TEST_F(ConnectWithSimulator, ReadsTheFiveIdentityRecordsAtEachSpeed) {
    for (qint32 baud : {9600, 19200, 128000}) {
        SCOPED_TRACE(baud);
        sim.clearReceived();
        atSpeed(baud, sim.devicePath());
        home_state().app_idle_flag = false;
        ASSERT_TRUE(mq::connect_check(1));
        EXPECT_EQ(sim.received(), kIdentityCommands);
        EXPECT_EQ(link().comm_baud_rate, baud);
        EXPECT_EQ(link().MSComm1().baudRate(), baud);
        EXPECT_FALSE(cfgWritten());  // the speed was right
        EXPECT_FALSE(home_state().app_idle_flag);  // for the connect command to restore
        EXPECT_EQ(model().act_data_kind, 2);

        ASSERT_NE(model().logger_main, nullptr);
        EXPECT_EQ(status().serial_no(), QStringLiteral("A0123456"));
        EXPECT_EQ(status().model_name(), QStringLiteral("ZK4409MU"));
        EXPECT_EQ(status().hard_ver(), 1);
        EXPECT_EQ(status().soft_ver(), 2);
        EXPECT_EQ(status().special_spec(), 0);
        EXPECT_EQ(status().user_model_name(), QStringLiteral("ﾗｲﾝ1    "));
        EXPECT_EQ(status().mode_type(), 1);
        model().logger_main.reset();
    }
}

TEST_F(ConnectWithSimulator, ChannelOffsetsGoInAsThreeDigitsPointAndTheLast) {
    // Offsets of the scenario: 0000, 0123, -015, 0000.
    atSpeed(9600, sim.devicePath());
    ASSERT_TRUE(mq::connect_check(1));
    mq::clsLOGGER_STATUS expected;
    expected.let_ch_offset(0, QStringLiteral("000.0"));
    expected.let_ch_offset(1, QStringLiteral("012.3"));
    expected.let_ch_offset(2, QStringLiteral("-01.5"));
    expected.let_ch_offset(3, QStringLiteral("000.0"));
    for (int ch = 0; ch < 4; ++ch) {
        EXPECT_FLOAT_EQ(status().ch_offset_value(ch), expected.ch_offset_value(ch)) << ch;
        EXPECT_EQ(status().ch_offset(ch), expected.ch_offset(ch)) << ch;
    }
    EXPECT_NE(status().ch_offset_value(1), 0.0f);
    EXPECT_LT(status().ch_offset_value(2), 0.0f);
}

TEST_F(ConnectWithSimulator, AnotherModeIsReadAsTheLoggerReportsIt) {
    sim.setIdentity(QStringLiteral("Z9999999"), logger_sim::Mode::Memory);
    atSpeed(9600, sim.devicePath());
    ASSERT_TRUE(mq::connect_check(1));
    EXPECT_EQ(status().serial_no(), QStringLiteral("Z9999999"));
    EXPECT_EQ(status().mode_type(), 3);
}

TEST_F(ConnectWithSimulator, TheBarCountsTheRecordsWithCancelDisabled) {
    atSpeed(9600, sim.devicePath());
    model().logger_main = std::make_shared<mq::clsLOGGER_Main>();
    mq::Prog_Dialog dlg(mq::connect_check_operation());
    dlg.Form_Activate();
    EXPECT_TRUE(dlg.unloaded());
    EXPECT_EQ(dlg.Label1->text(), QStringLiteral("ロガーとの接続を確認中"));
    EXPECT_FALSE(dlg.Command1->isEnabled());
    EXPECT_EQ(dlg.progress_max(), 5);
    EXPECT_EQ(dlg.progress_history(), (QList<double>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(dlg.outcome(), mq::Outcome::Done);
}

// ---------------------------------------------------------------- speed finding

TEST_F(ConnectWithSimulator, TheOtherFastSpeedIsTriedOnceAndWrittenToTheSpeedFile) {
    for (auto [stored, found] : {std::pair{128000, 19200}, std::pair{19200, 128000}}) {
        SCOPED_TRACE(stored);
        sim.clearReceived();
        QFile::remove(mq::comm_set_path(model().user_dir));
        atSpeed(stored, sim.devicePath());
        link().comm_port_no = 1;
        sim.setFault(Fault::Silence, 4);  // every attempt at the stored speed
        ASSERT_TRUE(mq::connect_check(1));
        EXPECT_EQ(link().comm_baud_rate, found);
        EXPECT_EQ(link().MSComm1().baudRate(), found);  // the later records run at it too
        const auto cfg = mq::read_comm_set(model().user_dir);
        ASSERT_TRUE(cfg.has_value());
        EXPECT_EQ(cfg->port, 1);
        EXPECT_EQ(cfg->baud, found);
        QList<QByteArray> expected(5, "ST00SN");  // four failed attempts, then the retry
        expected += kIdentityCommands.mid(1);
        EXPECT_EQ(sim.received(), expected);
        EXPECT_EQ(status().serial_no(), QStringLiteral("A0123456"));
    }
}

TEST_F(ConnectWithSimulator, NoAnswerAt9600FailsWithoutRetrying) {
    atSpeed(9600, sim.devicePath());
    sim.setFault(Fault::Silence);
    EXPECT_FALSE(mq::connect_check(1));
    EXPECT_EQ(sim.received(), QList<QByteArray>(4, "ST00SN"));
    EXPECT_EQ(link().comm_baud_rate, 9600);
    EXPECT_EQ(link().MSComm1().baudRate(), 9600);
    EXPECT_FALSE(cfgWritten());
    EXPECT_EQ(model().logger_main, nullptr);
    EXPECT_TRUE(home_state().app_idle_flag);
}

TEST_F(ConnectWithSimulator, AFailedRetryGoesBackToTheStartingSpeed) {
    atSpeed(128000, sim.devicePath());
    sim.setFault(Fault::Silence);
    EXPECT_FALSE(mq::connect_check(1));
    EXPECT_EQ(sim.received(), QList<QByteArray>(8, "ST00SN"));  // never a try at 9600
    EXPECT_EQ(link().comm_baud_rate, 128000);
    EXPECT_EQ(link().MSComm1().baudRate(), 128000);
    EXPECT_FALSE(cfgWritten());
    EXPECT_EQ(model().logger_main, nullptr);
    EXPECT_TRUE(home_state().app_idle_flag);
}

// ---------------------------------------------------------------- failures part-way

class ConnectWithScript : public ConnectCheckTest {
protected:
    void SetUp() override {
        ConnectCheckTest::SetUp();
        ASSERT_TRUE(peer.ok());
        peer.replies["ST00SN"] = rec("S00K7654321");
        peer.replies["ST01MV"] = rec("S01ZK4409M ,03,17,05");
        peer.replies["ST03MD"] = rec("S03M=2");
        peer.replies["ST05OF"] = rec("S05-002,0010,0000,0999");
        // The half-width katakana go out as single bytes.
        QByteArray un;
        ASSERT_TRUE(mq::link_text_to_bytes(QStringLiteral("S11ﾗｲﾝA    "), &un));
        peer.replies["ST11UN"] = rec(un);
    }
    ScriptedLogger peer;
};

TEST_F(ConnectWithScript, FieldsAreCutAtTheirCharacterPositions) {
    atSpeed(9600, peer.path);
    ASSERT_TRUE(mq::connect_check(1));
    EXPECT_EQ(status().serial_no(), QStringLiteral("K7654321"));
    EXPECT_EQ(status().model_name(), QStringLiteral("ZK4409M "));
    EXPECT_EQ(status().hard_ver(), 3);
    EXPECT_EQ(status().soft_ver(), 17);
    EXPECT_EQ(status().special_spec(), 5);
    EXPECT_EQ(status().user_model_name(), QStringLiteral("ﾗｲﾝA    "));
    EXPECT_EQ(status().mode_type(), 2);
    mq::clsLOGGER_STATUS expected;
    expected.let_ch_offset(0, QStringLiteral("-00.2"));
    expected.let_ch_offset(3, QStringLiteral("099.9"));
    EXPECT_FLOAT_EQ(status().ch_offset_value(0), expected.ch_offset_value(0));
    EXPECT_FLOAT_EQ(status().ch_offset_value(3), expected.ch_offset_value(3));
}

TEST_F(ConnectWithScript, AMissingModeRecordKeepsTheEarlierFieldsAndFails) {
    peer.replies.erase("ST03MD");
    atSpeed(9600, peer.path);
    model().logger_main = std::make_shared<mq::clsLOGGER_Main>();
    status().let_mode_type(1);
    mq::Prog_Dialog dlg(mq::connect_check_operation());
    dlg.Form_Activate();
    EXPECT_TRUE(dlg.unloaded());
    EXPECT_EQ(dlg.outcome(), mq::Outcome::NoReply);
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_EQ(status().serial_no(), QStringLiteral("K7654321"));
    EXPECT_EQ(status().model_name(), QStringLiteral("ZK4409M "));
    EXPECT_EQ(status().soft_ver(), 17);
    EXPECT_EQ(status().user_model_name(), QStringLiteral("ﾗｲﾝA    "));
    EXPECT_EQ(status().mode_type(), 1);  // unchanged
    EXPECT_EQ(dlg.progress_history(), (QList<double>{0, 1, 2, 3}));
    EXPECT_EQ(peer.received.mid(0, 3), kIdentityCommands.mid(0, 3));
    EXPECT_FALSE(peer.received.contains("ST05OF"));

    // Through connect_check the half-filled root is dropped.
    EXPECT_FALSE(mq::connect_check(1));
    EXPECT_EQ(model().logger_main, nullptr);
}

TEST_F(ConnectWithScript, AFoundSpeedIsKeptWhenALaterRecordFails) {
    peer.replies.erase("ST11UN");
    peer.silentFirst = 4;
    atSpeed(128000, peer.path);
    link().comm_port_no = 2;
    EXPECT_FALSE(mq::connect_check(1));
    EXPECT_EQ(link().comm_baud_rate, 19200);
    const auto cfg = mq::read_comm_set(model().user_dir);
    ASSERT_TRUE(cfg.has_value());
    EXPECT_EQ(cfg->port, 2);
    EXPECT_EQ(cfg->baud, 19200);
}

TEST_F(ConnectWithScript, NonDecimalVersionFieldsReadAsZero) {
    peer.replies["ST01MV"] = rec("S01ZK4409M ,A1,??,05");
    atSpeed(9600, peer.path);
    ASSERT_TRUE(mq::connect_check(1));
    EXPECT_EQ(status().hard_ver(), 0);
    EXPECT_EQ(status().soft_ver(), 0);
    EXPECT_EQ(status().special_spec(), 5);
}

}  // namespace
