// The connect command against the simulated logger on a pseudo-terminal, with
// the real main window, sequencer and connection dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <memory>
#include <vector>

#include "logger_sim/logger_sim.h"
#include "main_window/command_files.h"
#include "main_window/config_files.h"
#include "main_window/connect_command.h"
#include "main_window/connect_dialog.h"
#include "main_window/fake_windows.h"
#include "main_window/identity_check.h"
#include "main_window/small_windows.h"
#include "platform/serial_port.h"
#include "sequencer/connect_check_op.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

namespace mq::test {
namespace {

using logger_sim::Mode;
using platform::MsgResult;
using platform::ScopedMessageBoxHook;

const QString kConfirmText = QStringLiteral(
    "現在のソフト動作モードとロガー動作モードが異なります。\r\n"
    "動作モードを変更しますか？\r\n"
    "（ただし、動作モードを変更するとこれまで展開しているデータは破棄されます。）");

class ConnectTest : public HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        // Nothing connected yet: no logger root, no identity.
        model().logger_main.reset();
        model().act_data_kind = 0;
        QFile::remove(comm_set_path(model().user_dir));
        ASSERT_TRUE(cmd_table_load(configDir()));
        prog_install_connect_check();

        sim = std::make_unique<logger_sim::Simulator>(configDir(), logger_sim::defaultScenario());
        ASSERT_TRUE(sim->start()) << sim->lastError().toStdString();
        qputenv("MARROWQUILL_PORTS", sim->devicePath().toLocal8Bit());
        setSpeed(9600);

        // Messages are recorded; tests that look at the real dialog install it.
        home_state().targets.comm_dialog = [this](const QString& s) { dialogs.push_back(s); };
    }

    void TearDown() override {
        HomeTest::TearDown();
        qunsetenv("MARROWQUILL_PORTS");
    }

    static void setSpeed(qint32 baud) {
        link().comm_port_no = 1;
        link().comm_baud_rate = baud;
        comm_setting();
    }

    // The connect command as the menu runs it.
    void connectNow() { home->menuItem(QStringLiteral("loggerconnect"))->trigger(); }

    void connectFirst() {
        connectNow();
        ASSERT_EQ(dialogs, std::vector<QString>{QStringLiteral("25")});
        dialogs.clear();
    }

    // A logger window of area n, as the LOG select dialog opens it.
    void openLoggerWindow(int n) {
        const QString key = QStringLiteral("L%1").arg(n, 2, 10, QLatin1Char('0'));
        auto& list = model().logger_main->colLOGGER_DATA();
        try {
            list.Item(key);
        } catch (const MissingKeyError&) {
            list.Add(key);
        }
        home->winTable().win_logger_open_log(key.mid(1));
        home_state().area_window_flags[n] = true;
    }

    // A file window whose data were recorded in the given mode; it becomes active.
    void openFileWindow(const QString& caption, quint8 mode) {
        onFileFill = [mode](IDataWindow& w) {
            model().file_main->colFILE_DATA().Item(w.Tag().left(3))->clsLOGGER_STATUS().let_mode_type(mode);
        };
        home->winTable().win_file_open_log(caption, QStringLiteral("ML2"));
        activate_data_window();
    }

    bool loggerCommandsEnabled() const {
        bool all = true;
        for (const char* n : {"loggerread", "logingsv", "namelist", "commlist", "modelset", "defset"}) {
            all = all && home->menuItem(QString::fromLatin1(n))->isEnabled();
        }
        for (int i : {4, 6, 7, 8, 10}) all = all && home->toolbarButton(i)->isEnabled();
        return all;
    }
    bool loggerCommandsDisabled() const {
        bool none = true;
        for (const char* n : {"loggerread", "logingsv", "namelist", "commlist", "modelset", "defset"}) {
            none = none && !home->menuItem(QString::fromLatin1(n))->isEnabled();
        }
        for (int i : {4, 6, 7, 8, 10}) none = none && !home->toolbarButton(i)->isEnabled();
        return none;
    }

    SeqSlot seqSlot;
    ConnectionSlot connectionSlot;
    std::unique_ptr<logger_sim::Simulator> sim;
    std::vector<QString> dialogs;
};

// ---------------------------------------------------------------- first connection, GUI

TEST_F(ConnectTest, FirstConnectShowsTheLoggerInStatusBarMenusAndButtons) {
    install_connect_targets(home_state().targets);  // the real dialog, closing by itself
    QElapsedTimer t;
    t.start();
    home->toolbarButton(2)->trigger();
    EXPECT_GE(t.elapsed(), 1900);  // "25" stayed up for its two seconds

    EXPECT_EQ(home_state().dialog_state, QStringLiteral("25"));
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("接続中"));
    EXPECT_EQ(home->statusPanelText(2), QStringLiteral("機種名：ZK4409-MU       "));
    EXPECT_EQ(home->statusPanelText(3), QStringLiteral("機器名称：ﾗｲﾝ1    "));
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作：ログモード"));
    EXPECT_TRUE(loggerCommandsEnabled());
    EXPECT_TRUE(home->menuItem(QStringLiteral("menu_graph"))->isEnabled());
    for (int i : {14, 17, 20}) EXPECT_FALSE(home->toolbarButton(i)->isEnabled()) << i;
    for (const char* n : {"fileclose", "allclose", "save", "print_data", "mGrp_Draw"}) {
        EXPECT_FALSE(home->menuItem(QString::fromLatin1(n))->isEnabled()) << n;
    }

    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_EQ(link().link_serial_no, QStringLiteral("A0123456"));
    EXPECT_EQ(link().link_mode, OpMode::Log);
    EXPECT_TRUE(home_state().app_idle_flag);
    ASSERT_TRUE(model().logger_main);
    EXPECT_EQ(model().logger_main->clsLOGGER_STATUS().serial_no(), QStringLiteral("A0123456"));

    // The version box carries the model, the serial number and the versions.
    QString model, serial, version;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<Ver_Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        model = box->Label7->text();
        serial = box->Label8->text();
        version = box->Label9->text();
        box->accept();
    });
    home->version_Click();
    EXPECT_EQ(model, QStringLiteral("ZK4409-MU       "));
    EXPECT_EQ(serial, QStringLiteral("A0123456"));
    EXPECT_TRUE(version.startsWith(QStringLiteral("01.02"))) << version.toStdString();

    // The five identity records were asked once each, in order.
    const QList<QByteArray> got = sim->received();
    ASSERT_EQ(got.size(), 5);
    const int entries[5] = {0, 1, 11, 3, 5};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(QString::fromLatin1(got[i]), link().cmd_s_req[entries[i]]) << i;
}

TEST_F(ConnectTest, ConnectsAtEachLineSpeedWithoutRewritingTheSettings) {
    for (qint32 baud : {9600, 19200, 128000}) {
        dialogs.clear();
        setSpeed(baud);
        connectNow();
        EXPECT_EQ(dialogs.size(), 1u) << baud;
        EXPECT_TRUE(dialogs.front() == QStringLiteral("25") || dialogs.front() == QStringLiteral("32")) << baud;
        EXPECT_TRUE(link().link_connected_flag) << baud;
        EXPECT_EQ(link().comm_baud_rate, baud);
        EXPECT_EQ(link().MSComm1().baudRate(), baud);
        EXPECT_EQ(link().MSComm1().parity(), QSerialPort::EvenParity);
        EXPECT_EQ(link().MSComm1().dataBits(), QSerialPort::Data8);
        EXPECT_EQ(link().MSComm1().stopBits(), QSerialPort::OneStop);
        EXPECT_FALSE(QFile::exists(comm_set_path(model().user_dir))) << baud;
    }
}

// ---------------------------------------------------------------- failures

TEST_F(ConnectTest, SilentLoggerFailsTheCheck) {
    sim->setFault(logger_sim::Fault::Silence);
    connectNow();
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("20")});
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_FALSE(model().logger_main);
    EXPECT_TRUE(link().link_serial_no.isEmpty());
    EXPECT_EQ(link().link_mode, OpMode::None);
    EXPECT_EQ(model().act_data_kind, 0);
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("未接続"));
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作："));
    EXPECT_TRUE(loggerCommandsDisabled());
    EXPECT_TRUE(home_state().app_idle_flag);
    // 9600 is never retried at another speed.
    EXPECT_EQ(link().comm_baud_rate, 9600);
}

TEST_F(ConnectTest, FailedCheckClosesLoggerWindowsAndKeepsTheFileWindowCurrent) {
    connectFirst();
    openLoggerWindow(1);
    openFileWindow(QStringLiteral("tag.mt1"), 2);
    ASSERT_EQ(home->win_all_use_ct(), 2);

    sim->setFault(logger_sim::Fault::Silence);
    connectNow();
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("20")});
    EXPECT_EQ(home->winTable().win_logger_use_ct(), 0);
    EXPECT_EQ(home->winTable().win_file_use_ct(), 1);
    EXPECT_EQ(model().act_data_kind, 1);
    ASSERT_TRUE(model().act_file_data);
    EXPECT_EQ(model().act_file_data->ID(), QStringLiteral("F00"));
    EXPECT_TRUE(link().link_serial_no.isEmpty());
    EXPECT_EQ(link().link_mode, OpMode::Tag);
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("未接続"));
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作：タグ・モード"));
    EXPECT_EQ(home_state().close_reason, 0);
}

TEST_F(ConnectTest, CancelDuringTheCheckCountsAsAFailedCheck) {
    sim->setFault(logger_sim::Fault::Silence);
    bool cancelEnabled = true;
    // Cancel once the check waits for the silent logger's first reply.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        Prog_Dialog* dlg = seq().dialog;
        if (!dlg || sim->received().isEmpty()) return;
        poll.stop();
        cancelEnabled = dlg->Command1->isEnabled();
        dlg->Command1_Click();
    });
    poll.start(10);
    connectNow();
    // The wait ended at the cancel, not after four attempts.
    EXPECT_EQ(link().rx_done_flag, 3);
    EXPECT_FALSE(cancelEnabled);
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("20")});
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_FALSE(model().logger_main);
    EXPECT_TRUE(home_state().app_idle_flag);
}

// ---------------------------------------------------------------- same or another logger

TEST_F(ConnectTest, SameLoggerAgainClosesItsWindowsAndReconnects) {
    connectFirst();
    openLoggerWindow(1);
    openLoggerWindow(2);
    connectNow();
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("32")});
    EXPECT_EQ(home->win_all_use_ct(), 0);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_EQ(link().link_serial_no, QStringLiteral("A0123456"));
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 0);
    EXPECT_FALSE(model().act_logger_data);
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("接続中"));
    EXPECT_EQ(home_state().close_reason, 0);
}

TEST_F(ConnectTest, AnotherLoggerOfTheSameModeReplacesThePreviousOne) {
    connectFirst();
    openLoggerWindow(3);
    sim->setIdentity(QStringLiteral("B7654321"), Mode::Log);
    connectNow();
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("30")});
    EXPECT_EQ(home->win_all_use_ct(), 0);
    EXPECT_EQ(link().link_serial_no, QStringLiteral("B7654321"));
    EXPECT_EQ(link().link_mode, OpMode::Log);
    EXPECT_EQ(model().act_data_kind, 2);
    EXPECT_FALSE(model().act_logger_data);
    EXPECT_TRUE(link().link_connected_flag);
}

TEST_F(ConnectTest, AnotherLoggerOfTheSameModeWithAFileWindowOpenLeavesTheFileCurrent) {
    connectFirst();
    openFileWindow(QStringLiteral("a.ml2"), 1);
    sim->setIdentity(QStringLiteral("B7654321"), Mode::Log);
    connectNow();
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("30")});
    EXPECT_EQ(home->win_all_use_ct(), 1);
    EXPECT_EQ(model().act_data_kind, 1);
    EXPECT_EQ(model().act_file_data->ID(), QStringLiteral("F00"));
    EXPECT_EQ(link().link_serial_no, QStringLiteral("B7654321"));
}

// ---------------------------------------------------------------- mode changes

TEST_F(ConnectTest, FirstConnectOverATagFileAcceptedClosesEverything) {
    openFileWindow(QStringLiteral("tag.mt1"), 2);
    link().link_mode = OpMode::Tag;  // the file window's mode, as the file open sets it
    ScopedMessageBoxHook box(MsgResult::Yes);
    connectNow();
    ASSERT_EQ(box.texts(), std::vector<QString>{kConfirmText});
    EXPECT_EQ(box.records()[0].buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("35")});
    EXPECT_EQ(home->win_all_use_ct(), 0);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_EQ(link().link_serial_no, QStringLiteral("A0123456"));
    EXPECT_EQ(link().link_mode, OpMode::Log);
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作：ログモード"));
    EXPECT_TRUE(loggerCommandsEnabled());
}

TEST_F(ConnectTest, FirstConnectOverATagFileRefusedKeepsTheFileAndStaysUnconnected) {
    openFileWindow(QStringLiteral("tag.mt1"), 2);
    link().link_mode = OpMode::Tag;  // the file window's mode, as the file open sets it
    ScopedMessageBoxHook box(MsgResult::No);
    connectNow();
    EXPECT_EQ(box.records().size(), 1u);
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("100")});
    EXPECT_EQ(home->win_all_use_ct(), 1);
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_FALSE(model().logger_main);
    EXPECT_EQ(model().act_data_kind, 1);
    EXPECT_TRUE(link().link_serial_no.isEmpty());
    EXPECT_EQ(link().link_mode, OpMode::Tag);
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("未接続"));
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作：タグ・モード"));
    EXPECT_TRUE(loggerCommandsDisabled());
    EXPECT_TRUE(home_state().app_idle_flag);
}

TEST_F(ConnectTest, FirstConnectOverAFileOfTheSameModeKeepsItCurrent) {
    openFileWindow(QStringLiteral("log.ml2"), 1);
    link().link_mode = OpMode::Log;
    ScopedMessageBoxHook box(MsgResult::No);
    connectNow();
    EXPECT_TRUE(box.records().empty());
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("25")});
    EXPECT_EQ(home->win_all_use_ct(), 1);
    EXPECT_EQ(model().act_data_kind, 1);
    EXPECT_EQ(link().link_serial_no, QStringLiteral("A0123456"));
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("接続中"));
}

TEST_F(ConnectTest, AnotherLoggerInAnotherModeRefusedRestoresThePreviousLogger) {
    connectFirst();
    const float offset1 = model().logger_main->clsLOGGER_STATUS().ch_offset_value(1);
    const float offset2 = model().logger_main->clsLOGGER_STATUS().ch_offset_value(2);
    sim->setIdentity(QStringLiteral("B7654321"), Mode::Tag);
    ScopedMessageBoxHook box(MsgResult::No);
    connectNow();
    EXPECT_EQ(box.texts(), std::vector<QString>{kConfirmText});
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("100")});
    const clsLOGGER_STATUS& st = model().logger_main->clsLOGGER_STATUS();
    EXPECT_EQ(st.serial_no(), QStringLiteral("A0123456"));
    EXPECT_EQ(st.mode_type(), 1);
    EXPECT_EQ(st.ch_offset_value(1), offset1);
    EXPECT_EQ(st.ch_offset_value(2), offset2);
    EXPECT_EQ(model().act_data_kind, 2);
    EXPECT_EQ(link().link_serial_no, QStringLiteral("A0123456"));
    EXPECT_EQ(link().link_mode, OpMode::Log);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作：ログモード"));
}

TEST_F(ConnectTest, AnotherLoggerInAnotherModeAcceptedTakesItsMode) {
    connectFirst();
    openLoggerWindow(1);
    sim->setIdentity(QStringLiteral("B7654321"), Mode::Tag);
    ScopedMessageBoxHook box(MsgResult::Yes);
    connectNow();
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("35")});
    EXPECT_EQ(home->win_all_use_ct(), 0);
    EXPECT_EQ(link().link_serial_no, QStringLiteral("B7654321"));
    EXPECT_EQ(link().link_mode, OpMode::Tag);
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作：タグ・モード"));
    EXPECT_FALSE(home->menuItem(QStringLiteral("menu_graph"))->isEnabled());
}

TEST_F(ConnectTest, AcceptedModeChangeAsksToSaveUnsavedLoggerData) {
    connectFirst();
    openLoggerWindow(1);
    home_state().win_unsaved_flags[0] = 1;
    sim->setMode(Mode::Tag);
    // Yes to the mode change, No to saving area 1.
    ScopedMessageBoxHook box(std::vector<MsgResult>{MsgResult::Yes, MsgResult::No});
    connectNow();
    ASSERT_EQ(box.records().size(), 2u);
    EXPECT_EQ(box.records()[1].text, QStringLiteral("新規ファイルL01を保存しますか？"));
    // No Cancel: the change of mode goes through with every window closed.
    EXPECT_EQ(box.records()[1].buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("35")});
    EXPECT_EQ(home->win_all_use_ct(), 0);
    EXPECT_EQ(link().link_mode, OpMode::Tag);
    EXPECT_FALSE(home_state().app_closing_flag);
    EXPECT_EQ(home_state().close_reason, 0);
}

TEST_F(ConnectTest, SameLoggerInAnotherModeRefusedWithALoggerWindowActive) {
    connectFirst();
    openLoggerWindow(2);
    sim->setMode(Mode::Memory);
    ScopedMessageBoxHook box(MsgResult::No);
    connectNow();
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("100")});
    EXPECT_EQ(home->win_all_use_ct(), 1);
    EXPECT_EQ(model().act_data_kind, 2);
    EXPECT_EQ(model().logger_main->clsLOGGER_STATUS().mode_type(), 1);
    EXPECT_EQ(link().link_mode, OpMode::Log);
    EXPECT_TRUE(link().link_connected_flag);
}

TEST_F(ConnectTest, RefusedModeChangeWithoutAKeptLinkLeavesNothingConnected) {
    // A file window of TAG data is current; the logger named in the link
    // state is not connected (the link was given up while the file was open).
    openFileWindow(QStringLiteral("tag.mt1"), 2);
    link().link_serial_no = QStringLiteral("A0123456");
    link().link_mode = OpMode::Tag;
    link().link_connected_flag = false;
    ScopedMessageBoxHook box(MsgResult::No);
    connectNow();
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("100")});
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_FALSE(model().logger_main);
    EXPECT_EQ(model().act_data_kind, 1);
    EXPECT_EQ(link().link_serial_no, QStringLiteral("A0123456"));
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("未接続"));
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作：タグ・モード"));
    EXPECT_TRUE(loggerCommandsDisabled());
}

// ---------------------------------------------------------------- port search, then connect

TEST_F(ConnectTest, AutomaticSettingFindsTheLoggerOnComTwoAndTheConnectUsesIt) {
    qputenv("MARROWQUILL_PORTS", (QStringLiteral(":") + sim->devicePath()).toLocal8Bit());
    install_connect_targets(home_state().targets);
    QString result;
    // OK starts the search; the second OK closes the result.
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->setPortPauseMs(0);
        dlg->OKButton->click();
        result = dlg->Label1->text();
        dlg->OKButton->click();
    });
    home->menuItem(QStringLiteral("a_comm_set"))->trigger();
    EXPECT_EQ(result, QStringLiteral("使用可能なポートが検出されました。 (COM 2)\r\n/// USB ///"));
    EXPECT_EQ(link().comm_port_no, 2);
    EXPECT_EQ(link().comm_baud_rate, 128000);
    EXPECT_EQ(link().MSComm1().settings(), QStringLiteral("128000,e,8,1"));
    EXPECT_TRUE(home_state().app_idle_flag);

    home_state().targets.comm_dialog = [this](const QString& s) { dialogs.push_back(s); };
    sim->clearReceived();
    connectNow();
    EXPECT_EQ(dialogs, std::vector<QString>{QStringLiteral("25")});
    EXPECT_EQ(sim->received().size(), 5);
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("接続中"));
}

}  // namespace
}  // namespace mq::test
