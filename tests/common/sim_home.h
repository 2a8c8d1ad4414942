#pragma once
// The real main window wired to the simulated logger at COM1, as the
// end-to-end tests and the read benchmarks start from: a per-user
// folder, a working database, the simulator started and mapped to COM1, the
// command tables loaded, and a quiet main window shown. The tests add their
// own targets and connect themselves.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QList>
#include <QPushButton>
#include <QString>
#include <QTimer>

#include <memory>

#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "main_window/command_files.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/db_workspace.h"
#include "model/model_state.h"
#include "platform/message_box.h"
#include "platform/serial_port.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

namespace mq::test {

// Returns what went wrong, or an empty text; on success `home` is shown.
// `baud`, when given, is the link's speed.
inline QString openHomeOnSimulator(logger_sim::Simulator& sim, std::unique_ptr<HOME>& home, int baud = 0) {
    ensureApplication();
    model().user_dir = dataHome() + QStringLiteral("/KORVA/Marrowquill4");
    QDir().mkpath(model().user_dir + QStringLiteral("/config"));
    model().dao_workspace = std::make_shared<DbWorkspace>();
    if (!sim.start()) return QStringLiteral("simulator did not start: ") + sim.lastError();
    qputenv("MARROWQUILL_PORTS", sim.devicePath().toLocal8Bit());
    if (!cmd_table_load(configDir())) return QStringLiteral("command tables did not load");
    link().comm_port_no = 1;
    if (baud > 0) link().comm_baud_rate = baud;
    link().MSComm1().setPortNumber(1);
    comm_setting();

    home = std::make_unique<HOME>();
    home->setExitStepDelay(0);
    home->Timer3()->stop();
    home->show();
    return {};
}

// Closes every window without saving, forgets the targets, ends the main
// window and the simulator.
inline void closeHomeOnSimulator(std::unique_ptr<HOME>& home, logger_sim::Simulator& sim) {
    {
        platform::ScopedMessageBoxHook no(platform::MsgResult::No);
        home_state().close_reason = 1;
        home->winTable().win_all_close();
    }
    home_state().targets = HomeTargets{};
    home.reset();
    sim.stop();
    qunsetenv("MARROWQUILL_PORTS");
}

// From the next data command on the simulator falls silent (the identity
// check before it is still answered). Call before starting the read.
inline void silenceAfterIdentityCheck(logger_sim::Simulator& sim) {
    auto* poll = new QTimer;
    poll->setInterval(1);
    QObject::connect(poll, &QTimer::timeout, [&sim, poll] {
        const QList<QByteArray> got = sim.received();
        if (got.size() >= 2 && got.last() == "ST03MD") {
            poll->stop();
            poll->deleteLater();
            sim.setFault(logger_sim::Fault::Silence);
        }
    });
    sim.clearReceived();
    poll->start();
}

// The simulator answers slowly with gaps, and the user presses Cancel on the
// progress dialog once `command` has reached the simulator.
inline void cancelSlowReadAt(logger_sim::Simulator& sim, const QByteArray& command) {
    sim.setFault(logger_sim::Fault::SlowWithGaps);
    sim.setGaps(8, 200);
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [&sim, poll, command] {
        if (sim.received().contains(command) && seq().dialog) {
            poll->stop();
            poll->deleteLater();
            seq().dialog->Command1->click();
        }
    });
    poll->start();
}

// What the program says when the logger keeps sending after a cancelled read.
inline QString stopSendingMessage() {
    return QStringLiteral("！ロガーの送信動作を停止する必要があります！\r\n"
                          "　①ロガーの「戻る」キーで通信モードから抜けます。\r\n"
                          "　②ロガーのメニューで「ﾂｳｼﾝ」を選択します。");
}

}  // namespace mq::test
