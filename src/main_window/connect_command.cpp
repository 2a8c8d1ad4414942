#include "main_window/connect_command.h"

#include <optional>

#include "main_window/connect_dialog.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/manual_comm_dialog.h"
#include "main_window/serial_link.h"
#include "model/data_set_handle.h"
#include "model/cls_logger_status.h"
#include "model/common_proc.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/message_box.h"

namespace mq {

namespace {

void showDialog(const QString& state) {
    HomeState& hs = home_state();
    hs.dialog_state = state;
    if (hs.targets.comm_dialog) hs.targets.comm_dialog(state);
}

QString activeTag(HOME& home) {
    IDataWindow* w = home.activeDataWindow();
    return w ? w->Tag() : QString();
}

// The program's own close of the logger windows: no questions.
void closeLoggerWindows(HOME& home) {
    HomeState& hs = home_state();
    hs.close_reason = 1;
    home.winTable().win_logger_win_all_close();
    hs.close_reason = 0;
}

// The file windows stay: the active one's data set is the current one (the
// kind is a file's even when another window is active).
void keepFileWindows(HOME& home) {
    const QString tag = activeTag(home);
    if (tag.startsWith(QLatin1Char('F'))) DataSetHandle::make_key_current(tag.left(3));
    else DataSetHandle::set_current_kind(1);
}

void storeIdentity(const QString& serial, OpMode mode) {
    LinkState& ls = link();
    ls.link_serial_no = serial;
    ls.link_mode = mode;
}

// One run of the connect command: the state from before it, the logger the
// check found, and the steps that take, refuse or follow that logger.
class ConnectRun {
public:
    explicit ConnectRun(HOME& home) : m_home(home), m(model()), ls(link()) {
        // The check overwrites only the identity fields of the status, so the
        // whole copy written back restores exactly those (and keeps the channel
        // offsets exact, which their text form would not).
        if (m.logger_main) m_saved = m.logger_main->clsLOGGER_STATUS();
        K0 = m.act_data_kind;
        C0 = ls.link_connected_flag;
        S0 = ls.link_serial_no;
        M0 = ls.link_mode;
    }

    void run() {
        if (!connect_check(ls.comm_port_no)) {
            failed();
        } else {
            ls.link_connected_flag = true;
            S = get_cur_serial_no();
            M = get_cur_mode_type();
            decide();
        }
        m_home.refresh_command_state();
    }

private:
    // Which logger answered, against the one known before the command.
    enum Which { Other, New, Same };
    struct Branch {
        const char* dialog;           // the connection dialog's message when the logger is taken
        void (ConnectRun::*take)();   // taking it
        void (ConnectRun::*refuse)(); // after "100": the mode change was declined
    };
    static const Branch kBranches[3];  // by Which

    Which which() const {
        if (S != S0 && !S0.isEmpty()) return Other;
        return S != S0 ? New : Same;
    }

    // Whether the logger's mode lets it be taken as it is: the program's
    // mode, or for a first logger any mode while the program has none.
    bool modeFits(Which w) const {
        if (w == New) return M0 == OpMode::None || M == M0;
        return M0 == M;
    }

    void decide() {
        const Which w = which();
        const Branch& b = kBranches[w];
        if (modeFits(w)) {
            showDialog(QString::fromLatin1(b.dialog));
            (this->*b.take)();
        } else if (confirm_mode_change() == platform::MsgResult::Yes) {
            showDialog(QStringLiteral("35"));
            changeMode();
        } else {
            showDialog(QStringLiteral("100"));
            (this->*b.refuse)();
        }
    }

    // No logger answered: the logger windows go, the state shows no link.
    void failed() {
        comm_disconnect(LinkEnd::LinkOnly);
        closeLoggerWindows(m_home);
        follow_windows_after_link_end();
        ls.link_serial_no.clear();
        if (m_home.win_all_use_ct() > 0) ls.link_mode = get_cur_mode_type();
        m_home.refresh_command_state();
        showDialog(QStringLiteral("20"));
    }

    void takeOther() {
        closeLoggerWindows(m_home);
        comm_connect_disp();
        if (m_home.win_all_use_ct() > 0) {
            keepFileWindows(m_home);
        } else {
            DataSetHandle::release_current(CurrentRef::Logger);
            DataSetHandle::set_current_kind(2);
        }
        storeIdentity(S, M);
    }

    void takeNew() {
        if (m_home.win_all_use_ct() == 0) {
            comm_connect_disp();
            DataSetHandle::release_current(CurrentRef::Logger);
            clear_logger_data_list();
            storeIdentity(S, M);
        } else {
            comm_connect_disp();
            storeIdentity(S, M);
            keepFileWindows(m_home);
        }
    }

    void takeSame() {
        closeLoggerWindows(m_home);
        comm_connect_disp();
        if (m_home.win_all_use_ct() == 0) {
            DataSetHandle::release_current(CurrentRef::Logger);
            clear_logger_data_list();
            storeIdentity(S, M);
        } else {
            storeIdentity(S, M);
            keepFileWindows(m_home);
        }
    }

    // After "35": the program follows the logger's mode; every data window closes.
    void changeMode() {
        // Each window holding data not yet saved asks to save it (Yes/No, as
        // when the program closes), so the change completes with nothing left open.
        HomeState& hs = home_state();
        hs.app_closing_flag = true;
        hs.close_reason = 0;
        m_home.winTable().win_all_close();
        hs.app_closing_flag = false;
        comm_connect_disp();
        storeIdentity(S, M);
    }

    // After "100": the state from before the command.
    void restore() {
        if (K0 == 2) {
            if (m_saved && m.logger_main) m.logger_main->clsLOGGER_STATUS() = *m_saved;
            DataSetHandle::set_current_kind(2);
            comm_connect_disp();
        } else if (!C0) {
            // No link was kept: the logger just examined is not connected, so
            // the state agrees with the not-connected display.
            m.logger_main.reset();
            DataSetHandle::set_current_kind(K0);
            comm_disconnect(LinkEnd::LinkOnly);
        } else {
            if (m_saved && m.logger_main) m.logger_main->clsLOGGER_STATUS() = *m_saved;
            DataSetHandle::set_current_kind(K0);
            comm_connect_disp();
        }
    }

    // A first logger in another mode, declined: it is not kept.
    void refuseNew() {
        m.logger_main.reset();
        comm_disconnect(LinkEnd::LinkOnly);
        follow_windows_after_link_end();
    }

    void refuseSame() {
        restore();
        DataSetHandle::set_current_kind(activeTag(m_home).startsWith(QLatin1Char('L')) ? 2 : 1);
    }

    HOME& m_home;
    ModelState& m;
    LinkState& ls;
    std::optional<clsLOGGER_STATUS> m_saved;
    int K0 = 0;
    bool C0 = false;
    QString S0;
    OpMode M0 = OpMode::None;
    QString S;
    OpMode M = OpMode::None;
};

const ConnectRun::Branch ConnectRun::kBranches[3] = {
    {"30", &ConnectRun::takeOther, &ConnectRun::restore},
    {"25", &ConnectRun::takeNew, &ConnectRun::refuseNew},
    {"32", &ConnectRun::takeSame, &ConnectRun::refuseSame},
};

}  // namespace

void loggerconnect_Click(HOME& home) {
    BusyScope busy;
    ConnectRun(home).run();
}

void install_connect_targets(HomeTargets& targets) {
    targets.commands[HomeCommand::LoggerConnect] = [] {
        if (!ModelSlot::installed()) return;
        if (HOME* home = home_window()) loggerconnect_Click(*home);
    };
    targets.comm_dialog = [](const QString& state) { show_connection_dialog(state); };
    targets.commands[HomeCommand::ManualCommDialog] = [] {
        QWidget* parent = ModelSlot::installed() && model().main_window ? model().main_window->mainWidget() : nullptr;
        Manual_comm_Dialog1 dlg(parent);
        dlg.exec();
    };
}

}  // namespace mq
