// The progress dialog's frame: one operation per showing, phase texts and the
// Cancel button, Cancel routing, the exits of the logger operations and the
// rebinding of the current data set.
#include "sequencer/prog_dialog.h"
#include "sequencer/connect_check_op.h"
#include "sequencer/file_fill.h"
#include "sequencer/records_read.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

#include "common/sim_link.h"
#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "main_window/command_files.h"
#include "main_window/fake_windows.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "platform/message_box.h"
#include "platform/serial_port.h"
#include "sequencer/seq_state.h"

namespace {

using mq::home_state;
using mq::link;
using mq::model;
using mq::Operation;
using mq::Outcome;
using mq::Prog_Dialog;
using mq::seq;
using mq::Works;
using logger_sim::Fault;

// ---------------------------------------------------------------- kinds of operation

TEST(ProgOperationKinds, PhaseTextAndCancelFollowTheKindOfOperation) {
    const QString read = QStringLiteral("ロガーから読み出しています。");
    const QString write = QStringLiteral("ロガーへ書き込んでいます。");
    const QString load = QStringLiteral("ファイルから読み込んでいます。");
    const QByteArray scrambled;
    QByteArray plain;
    struct Case {
        const char* kind;
        Operation op;
        QString phase;
        bool cancel;
        Works works;
    } const cases[] = {
        {"check", mq::connect_check_operation(), QStringLiteral("ロガーとの接続を確認中"), false, Works::Logger},
        {"logger read", mq::logger_read_operation({}), read, true, Works::Logger},
        {"records read", mq::records_read_operation({}), read, true, Works::LoggerRecords},
        {"logger write", mq::logger_write_operation({}, mq::OnFailure::Caller), write, false, Works::Logger},
        {"file load", mq::file_load_operation({}), load, true, Works::FileLoad},
        {"unscrambling", mq::descramble_operation(scrambled, plain), load, true, Works::FileLoad},
        {"record load", mq::records_load_operation(1, {}), load, true, Works::FileLoad},
        {"file save", mq::file_save_operation({}), QStringLiteral("ファイルへ書き込んでいます。"), false, Works::FileSave},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(c.op.phase, c.phase);
        EXPECT_EQ(c.op.cancellable, c.cancel);
        EXPECT_EQ(c.op.works, c.works);
    }
}

// ---------------------------------------------------------------- fixture

// The kinds of operation the program builds, as the frame sees them.
enum class Kind { ListRead, SettingsRead, ClockRead, RecordsRead, EditorWrite, FileLoad, TableFill, Save };

class ProgDialogTest : public mq::test::HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        home_state().targets.comm_dialog = [this](const QString& s) { dialogs << s; };
        home_state().app_idle_flag = false;  // the command that shows the dialog has started
    }

    // An operation of the kind that records what it saw and then runs body.
    Operation op(Kind kind, std::function<void(Prog_Dialog&)> body) {
        mq::OperationBody run = [this, body](Prog_Dialog& dlg) {
            ++runs;
            phase = dlg.Label1->text();
            cancelEnabled = dlg.Command1->isEnabled();
            idleDuring = home_state().app_idle_flag;
            busyDuring = seq().prog_busy_flag;
            if (body) body(dlg);
        };
        const auto closeCaller = [this] { ++callerUnloads; };
        Operation o;
        switch (kind) {
        case Kind::ListRead: return mq::logger_read_operation(run, mq::OnFailure::CallerList, closeCaller);
        case Kind::SettingsRead: return mq::logger_read_operation(run, mq::OnFailure::Caller, closeCaller);
        case Kind::ClockRead: o = mq::logger_read_operation(run); o.cancellable = false; return o;
        case Kind::RecordsRead: o = mq::logger_read_operation(run); o.works = Works::LoggerRecords; return o;
        case Kind::EditorWrite: return mq::logger_write_operation(run, mq::OnFailure::Caller, closeCaller);
        case Kind::FileLoad: return mq::file_load_operation(run);
        case Kind::TableFill:
            o = mq::file_load_operation(run);
            o.phase = QStringLiteral("ﾃﾞｰﾀ表示処理中(1/10)です。他の操作は行わないで下さい。");
            o.cancellable = false;
            o.draw_phase_first = true;
            return o;
        case Kind::Save: return mq::file_save_operation(run);
        }
        return o;
    }

    Outcome show(Operation o) { return mq::prog_run(home.get(), std::move(o)); }

    // Clicks Cancel once the dialog is up and the operation waits.
    void clickCancelSoon(int ms = 100) {
        QTimer::singleShot(ms, [] {
            if (seq().dialog) QTest::mouseClick(seq().dialog->Command1, Qt::LeftButton);
        });
    }

    // Waits (servicing events) until a flag is set or 3 s pass.
    static bool waitFor(const std::function<bool()>& f) { return mq::test::waitUntil(f, 3000); }

    mq::SeqSlot seqSlot;
    mq::ConnectionSlot connSlot;
    QStringList dialogs;
    int runs = 0;
    int callerUnloads = 0;
    QString phase;
    bool cancelEnabled = false;
    bool idleDuring = true;
    qint16 busyDuring = 0;
};

// ---------------------------------------------------------------- one operation per showing

TEST_F(ProgDialogTest, RunsItsOperationOnceEvenWhenActivatedAgain) {
    // The window becomes active again while its operation runs: another
    // window closes, a message box goes away. Each activation comes from the
    // application, as the window system's would; a direct call stands for
    // one that arrives while the caption is being set.
    struct Activation {
        const char* how;
        std::function<void(Prog_Dialog&)> activate;
    };
    QWidget other;
    other.resize(100, 100);
    other.show();
    const Activation activations[] = {
        {"another window active, then this one again",
         [&](Prog_Dialog& dlg) {
             QApplication::setActiveWindow(&other);
             QCoreApplication::processEvents();
             QApplication::setActiveWindow(&dlg);
             QCoreApplication::processEvents();
         }},
        {"a box of the operation closed",
         [](Prog_Dialog& dlg) {
             QDialog box(&dlg);
             box.show();
             QApplication::setActiveWindow(&box);
             QCoreApplication::processEvents();
             box.close();
             QApplication::setActiveWindow(&dlg);
             QCoreApplication::processEvents();
         }},
        {"the activate handler itself", [](Prog_Dialog& dlg) { dlg.Form_Activate(); }},
    };
    for (const Activation& a : activations) {
        SCOPED_TRACE(a.how);
        runs = 0;
        int activationsSeen = 0;
        const Outcome o = show(op(Kind::Save, [&](Prog_Dialog& dlg) {
            // A save of two files: the caption carries the file, the bar its progress.
            dlg.set_progress_max(20);
            dlg.Label1->setText(QStringLiteral("ファイルへ書き込んでいます。(1/2)"));
            dlg.set_progress_value(7);
            const int before = dlg.ProgressBar1->value();
            a.activate(dlg);
            ++activationsSeen;
            EXPECT_EQ(dlg.Label1->text(), QStringLiteral("ファイルへ書き込んでいます。(1/2)"));
            EXPECT_EQ(dlg.progress_value(), 7);
            EXPECT_EQ(dlg.ProgressBar1->value(), before);
            EXPECT_FALSE(home_state().app_idle_flag);
            EXPECT_TRUE(seq().prog_run_once_flag);
            dlg.Label1->setText(QStringLiteral("ファイルへ書き込んでいます。(2/2)"));
            dlg.set_progress_value(8);
            EXPECT_EQ(dlg.progress_history(), (QList<double>{0, 7, 8}));
            dlg.unload();
        }));
        EXPECT_EQ(o, Outcome::Done);
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(activationsSeen, 1);
    }

    runs = 0;
    const auto read = [&] { return op(Kind::SettingsRead, [&](Prog_Dialog& dlg) { dlg.exit_success(); }); };
    EXPECT_EQ(show(read()), Outcome::Done);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(phase, QStringLiteral("ロガーから読み出しています。"));
    EXPECT_TRUE(cancelEnabled);
    EXPECT_FALSE(idleDuring);
    EXPECT_EQ(busyDuring, 1);
    // A successful logger read leaves the idle flag to the calling command.
    EXPECT_FALSE(home_state().app_idle_flag);
    EXPECT_FALSE(seq().prog_run_once_flag);
    EXPECT_EQ(seq().prog_busy_flag, 0);
    EXPECT_TRUE(seq().dialog.isNull());
    EXPECT_EQ(link().progress_bar, nullptr);

    // The next showing runs again.
    show(read());
    EXPECT_EQ(runs, 2);
}

TEST_F(ProgDialogTest, AHandlerThatReturnsWithoutEndingIsUnloadedByTheFrame) {
    EXPECT_EQ(show(op(Kind::TableFill, [](Prog_Dialog&) {})), Outcome::Done);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(seq().dialog.isNull());
    EXPECT_EQ(seq().prog_busy_flag, 0);
}

TEST_F(ProgDialogTest, AnOperationWithoutABodyEndsAtOnceAndFreesTheProgram) {
    EXPECT_EQ(show(Operation{}), Outcome::NotRun);
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_TRUE(seq().dialog.isNull());
    home_state().app_idle_flag = false;
    EXPECT_EQ(show(mq::logger_read_operation({}, mq::OnFailure::CallerList)), Outcome::NotRun);
    EXPECT_TRUE(home_state().app_idle_flag);
}

// An error nothing inside the operation caught ends it as a failure its
// caller recognises, with one message, and never leaves the dialog.
TEST_F(ProgDialogTest, AnErrorInsideAnOperationIsReportedAndEndsItAsAFailure) {
    struct Case {
        Kind kind;
        bool fileCancel;    // file_cancel_flag set
        bool commCancel;    // comm_cancel_flag set
        int callerUnloads;  // the calling dialog unloaded
    };
    const Case cases[] = {{Kind::FileLoad, true, false, 0},    {Kind::TableFill, true, false, 0},
                          {Kind::ListRead, false, true, 1},    {Kind::RecordsRead, false, true, 0},
                          {Kind::EditorWrite, false, true, 1}, {Kind::ClockRead, false, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.kind));
        seq().file_cancel_flag = false;
        mq::link().comm_cancel_flag = false;
        callerUnloads = 0;
        home_state().app_idle_flag = false;
        mq::platform::ScopedMessageBoxHook boxes;
        Outcome o = Outcome::Done;
        EXPECT_NO_THROW(o = show(op(c.kind, [](Prog_Dialog&) { throw mq::IoError("disk gone"); })));
        EXPECT_EQ(o, Outcome::Failed);
        EXPECT_EQ(boxes.texts(), std::vector<QString>{QStringLiteral("エラーが発生しました。")});
        EXPECT_EQ(seq().file_cancel_flag, c.fileCancel);
        EXPECT_EQ(mq::link().comm_cancel_flag, c.commCancel);
        EXPECT_EQ(callerUnloads, c.callerUnloads);
        EXPECT_TRUE(home_state().app_idle_flag);
        EXPECT_TRUE(seq().dialog.isNull());
        EXPECT_EQ(seq().prog_busy_flag, 0);
        EXPECT_FALSE(seq().prog_run_once_flag);
    }
}

TEST_F(ProgDialogTest, AnErrorInsideASaveReachesTheSaveRunner) {
    mq::platform::ScopedMessageBoxHook boxes;
    EXPECT_THROW(show(op(Kind::Save, [](Prog_Dialog&) { throw mq::IoError("disk gone"); })), mq::IoError);
    EXPECT_TRUE(boxes.texts().empty());
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_TRUE(seq().dialog.isNull());
}

TEST_F(ProgDialogTest, ASecondShowingWhileOneRunsIsRefused) {
    int inner = 0;
    Outcome innerOutcome = Outcome::Done;
    show(op(Kind::TableFill, [&](Prog_Dialog& dlg) {
        innerOutcome = mq::prog_run(nullptr, mq::file_save_operation([&](Prog_Dialog& d) {
                                        ++inner;
                                        d.unload();
                                    }));
        dlg.unload();
    }));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(innerOutcome, Outcome::NotRun);
}

TEST_F(ProgDialogTest, AConnectionCheckThatCannotRunDoesNotReportAnEarlierSuccess) {
    mq::prog_install_connect_check();
    bool inner = true;
    show(op(Kind::TableFill, [&](Prog_Dialog& dlg) {
        inner = mq::connection().run_connect_check();
        dlg.unload();
    }));
    EXPECT_FALSE(inner);
}

TEST_F(ProgDialogTest, UnloadResetsTheBarAndTheRunFlags) {
    Prog_Dialog dlg(op(Kind::ListRead, [](Prog_Dialog& d) {
        d.set_progress_max(20);
        d.set_progress_value(10);
        EXPECT_EQ(d.ProgressBar1->value(), d.ProgressBar1->maximum() / 2);
        d.exit_success();
    }));
    dlg.Form_Activate();
    EXPECT_TRUE(dlg.unloaded());
    EXPECT_EQ(dlg.progress_value(), 0);
    EXPECT_EQ(dlg.ProgressBar1->value(), 0);
    EXPECT_EQ(dlg.progress_history(), (QList<double>{0, 10}));
    EXPECT_FALSE(seq().prog_run_once_flag);
    EXPECT_EQ(seq().prog_busy_flag, 0);
    EXPECT_EQ(dlg.outcome(), Outcome::Done);
}

// ---------------------------------------------------------------- Cancel routing

TEST_F(ProgDialogTest, CancelDuringAFileLoadSetsOnlyTheFileCancelFlag) {
    seq().file_cancel_flag = false;
    link().comm_cancel_flag = false;
    bool seen = false;
    clickCancelSoon();
    const Outcome o = show(op(Kind::FileLoad, [&](Prog_Dialog& dlg) {
        EXPECT_TRUE(seq().file_op_flag);
        seen = waitFor([&] { return dlg.file_cancel_flag(); });
        dlg.unload();
    }));
    EXPECT_TRUE(seen);
    EXPECT_EQ(o, Outcome::Cancelled);
    EXPECT_TRUE(seq().file_cancel_flag);
    EXPECT_FALSE(link().comm_cancel_flag);
}

TEST_F(ProgDialogTest, CancelDuringALoggerReadSetsTheCommCancelFlag) {
    bool seen = false;
    clickCancelSoon();
    show(op(Kind::ListRead, [&](Prog_Dialog& dlg) {
        EXPECT_FALSE(seq().file_op_flag);
        seen = waitFor([] { return link().comm_cancel_flag; });
        dlg.unload();
    }));
    EXPECT_TRUE(seen);
    EXPECT_FALSE(seq().file_cancel_flag);
}

TEST_F(ProgDialogTest, CancelIsDisabledDuringWritesAndTheConnectionCheck) {
    bool clicked = false;
    show(op(Kind::EditorWrite, [&](Prog_Dialog& dlg) {
        EXPECT_FALSE(dlg.Command1->isEnabled());
        QTest::mouseClick(dlg.Command1, Qt::LeftButton);
        clicked = true;
        dlg.unload();
    }));
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(link().comm_cancel_flag);
    EXPECT_FALSE(seq().file_cancel_flag);
}

TEST_F(ProgDialogTest, EscapeDoesNotCloseTheWindowUnderItsOperation) {
    bool stillThere = false;
    show(op(Kind::RecordsRead, [&](Prog_Dialog& dlg) {
        QTest::keyClick(&dlg, Qt::Key_Escape);
        dlg.close();
        QCoreApplication::processEvents();
        stillThere = dlg.isVisible() && !dlg.unloaded();
        dlg.exit_success();
    }));
    EXPECT_TRUE(stillThere);
}

// ---------------------------------------------------------------- binding the current data set

TEST_F(ProgDialogTest, BindFollowsTheActiveWindowsKey) {
    auto& list = model().logger_main->colLOGGER_DATA();
    // No child window: nothing changes.
    model().act_data_kind = 2;
    model().act_logger_data = list.Item("L04");
    mq::prog_data_bind();
    EXPECT_EQ(model().act_logger_data, list.Item("L04"));
    EXPECT_EQ(model().act_data_kind, 2);

    home->winTable().win_logger_open_log(QStringLiteral("03"));
    mq::prog_data_bind();
    EXPECT_EQ(model().act_logger_data, list.Item("L03"));
    EXPECT_EQ(model().act_data_kind, 2);

    // A file window: the logger's data sets go, the file's becomes current.
    home->winTable().win_file_open_log(QStringLiteral("a.ML2"), QStringLiteral("ML2"));
    mq::prog_data_bind();
    EXPECT_EQ(model().act_data_kind, 1);
    ASSERT_NE(model().act_file_data, nullptr);
    EXPECT_EQ(model().act_file_data->ID(), QStringLiteral("F00"));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ProgDialogTest, BindOnAnotherChildWindowReleasesTheLoggerDataButKeepDoesNot) {
    auto* other = new QWidget;
    home->mdiArea()->addSubWindow(other)->show();
    home->mdiArea()->setActiveSubWindow(home->mdiArea()->subWindowList().last());
    auto& list = model().logger_main->colLOGGER_DATA();

    model().act_data_kind = 2;
    model().act_logger_data = list.Item("L02");
    mq::prog_data_bind_keep();
    EXPECT_EQ(model().act_logger_data, list.Item("L02"));
    EXPECT_EQ(model().act_data_kind, 2);

    mq::prog_data_bind();
    EXPECT_EQ(model().act_logger_data, nullptr);
    EXPECT_EQ(model().act_data_kind, 0);
    EXPECT_EQ(list.Count(), 20);
}

TEST_F(ProgDialogTest, KeepWithoutAChildWindowReleasesTheLoggerDataAndKeepsTheKind) {
    model().act_data_kind = 2;
    model().act_logger_data = model().logger_main->colLOGGER_DATA().Item("L09");
    mq::prog_data_bind_keep();
    EXPECT_EQ(model().act_logger_data, nullptr);
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 0);
    EXPECT_EQ(model().act_data_kind, 2);
}

// ---------------------------------------------------------------- exits against the simulated logger

class ProgExitTest : public ProgDialogTest {
protected:
    void SetUp() override {
        ProgDialogTest::SetUp();
        ASSERT_TRUE(sim.start()) << sim.lastError().toStdString();
        mq::test::attachConnectedLogger(sim.devicePath());
        setMode(1);
    }
    void TearDown() override {
        sim.stop();
        qunsetenv("MARROWQUILL_PORTS");
        ProgDialogTest::TearDown();
    }

    // A read that checks the identity and then sends one status command;
    // beforeSend runs between the two.
    Outcome read(Kind kind, std::function<void()> beforeSend = {}, qint16 ticks = 4) {
        return show(op(kind, [beforeSend, ticks](Prog_Dialog& dlg) {
            if (dlg.identity_check() != 0) return;
            if (beforeSend) beforeSend();
            dlg.set_progress_max(1);
            if (!mq::send_data_sub(link().cmd_s_req[2], link().cmd_s_rsp[2].toInt(), ticks)) {
                dlg.exit_no_reply();
                return;
            }
            dlg.set_progress_value(1);
            dlg.exit_success();
        }));
    }

    logger_sim::Simulator sim{mq::test::configDir(), logger_sim::defaultScenario()};
};

TEST_F(ProgExitTest, SuccessfulReadSetsItsDoneFlagAndLeavesTheProgramBusy) {
    EXPECT_EQ(read(Kind::ListRead), Outcome::Done);
    EXPECT_FALSE(home_state().app_idle_flag);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_EQ(callerUnloads, 0);
    EXPECT_EQ(sim.received(), (QList<QByteArray>{"ST00SN", "ST03MD", "ST02RV"}));
}

TEST_F(ProgExitTest, AnotherLoggerEndsAListReadWithTheChangeAndUnloadsTheCaller) {
    sim.setIdentity(QStringLiteral("B0000009"), logger_sim::Mode::Log);
    EXPECT_EQ(read(Kind::ListRead), Outcome::OtherLogger);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("95")});
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_EQ(callerUnloads, 1);
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_EQ(sim.received(), (QList<QByteArray>{"ST00SN", "ST03MD"}));  // nothing more is sent
}

TEST_F(ProgExitTest, AnAdapterUnpluggedDuringAReadEndsItAtOnceWithTheLostLinkMessage) {
    // The logger is silent (a 30 s time-out) and the adapter is pulled out
    // while the read waits for the reply.
    QTimer unplug;
    QObject::connect(&unplug, &QTimer::timeout, [&] {
        if (sim.received().size() < 3) return;
        unplug.stop();
        sim.stop();
    });
    unplug.start(10);
    EXPECT_EQ(read(Kind::ListRead, [this] { sim.setFault(Fault::Silence); }, 600), Outcome::NoReply);
    EXPECT_TRUE(link().rx_port_lost);
    EXPECT_EQ(link().rx_attempts_made, 1);
    EXPECT_LT(link().rx_ticks_counted, 600);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_FALSE(link().comm_cancel_flag);
    EXPECT_TRUE(home_state().app_idle_flag);
}

TEST_F(ProgExitTest, ALoggerThatFallsSilentDisconnects) {
    model().act_logger_data = model().logger_main->colLOGGER_DATA().Item("L05");
    EXPECT_EQ(read(Kind::ListRead, [this] { sim.setFault(Fault::Silence); }), Outcome::NoReply);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_FALSE(link().comm_cancel_flag);
    EXPECT_EQ(callerUnloads, 1);
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_EQ(model().act_logger_data, nullptr);
}

TEST_F(ProgExitTest, CancelDuringAListReadKeepsTheLinkAndUnloadsTheCaller) {
    const Outcome o = read(Kind::ListRead, [this] {
        sim.setFault(Fault::Silence);
        clickCancelSoon(150);
    }, 600);
    EXPECT_EQ(o, Outcome::Cancelled);
    EXPECT_TRUE(link().comm_cancel_flag);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_TRUE(dialogs.isEmpty());
    EXPECT_EQ(callerUnloads, 1);
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_EQ(link().link_serial_no, QStringLiteral("A0123456"));
}

TEST_F(ProgExitTest, CancelDuringADataReadTellsHowToStopTheLogger) {
    mq::platform::ScopedMessageBoxHook box;
    const Outcome o = read(Kind::RecordsRead, [this] {
        link().rx_progress_flag = true;
        sim.setFault(Fault::Silence);
        clickCancelSoon(150);
    }, 600);
    EXPECT_EQ(o, Outcome::Cancelled);
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text,
              QStringLiteral("！ロガーの送信動作を停止する必要があります！\r\n"
                             "　①ロガーの「戻る」キーで通信モードから抜けます。\r\n"
                             "　②ロガーのメニューで「ﾂｳｼﾝ」を選択します。"));
    EXPECT_EQ(box.records()[0].icon, mq::platform::MsgIcon::Exclamation);
    EXPECT_EQ(box.records()[0].title, QStringLiteral("マロウクイル"));
    EXPECT_FALSE(link().rx_progress_flag);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_EQ(callerUnloads, 0);  // a data read unloads only the progress window
}

TEST_F(ProgExitTest, TheClockReadEndsWithoutClosingItsDialog) {
    EXPECT_EQ(read(Kind::ClockRead, [this] { sim.setFault(Fault::Silence); }), Outcome::NoReply);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
    EXPECT_EQ(callerUnloads, 0);
    EXPECT_TRUE(home_state().app_idle_flag);
}

TEST_F(ProgExitTest, AFailedEditorWriteClosesTheEditorAndRebinds) {
    home->winTable().win_file_open_log(QStringLiteral("b.ML2"), QStringLiteral("ML2"));
    home->winTable().win_logger_open_log(QStringLiteral("02"));  // active when the link is lost
    home_state().area_window_flags[2] = true;
    EXPECT_EQ(read(Kind::EditorWrite, [this] { sim.setFault(Fault::Silence); }), Outcome::NoReply);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
    EXPECT_EQ(callerUnloads, 1);
    EXPECT_TRUE(home_state().app_idle_flag);
    // The logger window is gone; the file window left active is bound again.
    EXPECT_EQ(home->winTable().win_logger_use_ct(), 0);
    EXPECT_EQ(model().act_data_kind, 1);
    ASSERT_NE(model().act_file_data, nullptr);
    EXPECT_EQ(model().act_file_data->ID(), QStringLiteral("F00"));
    // Once the dialogs are gone the keys go to it.
    EXPECT_TRUE(keysReachHome(frame(window(QStringLiteral("F00b.ML2")))));
}

TEST_F(ProgExitTest, BindingAWindowWhoseDataSetIsGoneLeavesNoCurrentDataSet) {
    home->winTable().win_logger_open_log(QStringLiteral("04"));
    mq::clear_logger_data_list();  // the window was not flagged, so it stayed open
    Outcome o = Outcome::Done;
    EXPECT_NO_THROW(o = read(Kind::SettingsRead, [this] { sim.setFault(Fault::Silence); }));
    EXPECT_EQ(o, Outcome::NoReply);
    EXPECT_EQ(model().act_logger_data, nullptr);
    EXPECT_EQ(model().act_data_kind, 0);
    EXPECT_TRUE(home_state().app_idle_flag);
}

TEST_F(ProgExitTest, ADataReadFindingAnotherModeUnloadsOnlyItself) {
    sim.setMode(logger_sim::Mode::Tag);
    EXPECT_EQ(read(Kind::RecordsRead), Outcome::OtherLogger);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("95")});
    EXPECT_EQ(callerUnloads, 0);
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_FALSE(link().link_connected_flag);
}

// The lost-link message is modal: events run while it shows, in the middle
// of the exit; the dialog that started the read must close anyway.
TEST_F(ProgExitTest, TheLostLinkMessageInTheMiddleOfAnExitStillUnloadsTheCaller) {
    home_state().targets.comm_dialog = [this](const QString& s) {
        dialogs << s;
        QCoreApplication::processEvents();
    };
    // Silent during the read: the no-answer exit.
    EXPECT_EQ(read(Kind::ListRead, [this] { sim.setFault(Fault::Silence); }), Outcome::NoReply);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
    EXPECT_EQ(callerUnloads, 1);

    // Silent from the start: the identity-check exit.
    sim.setFault(Fault::Silence);
    EXPECT_EQ(read(Kind::SettingsRead), Outcome::NoReply);
    EXPECT_EQ(dialogs, (QStringList{QStringLiteral("90"), QStringLiteral("90")}));
    EXPECT_EQ(callerUnloads, 2);
    EXPECT_TRUE(home_state().app_idle_flag);
}

}  // namespace
