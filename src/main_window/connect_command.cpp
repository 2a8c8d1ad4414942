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

// Makes the active file window's data set the current one.
void bindActiveFileWindow(HOME& home) {
    const QString tag = activeTag(home);
    if (!tag.startsWith(QLatin1Char('F'))) return;
    // A window whose data set is already gone keeps the current one.
    if (const DataSetHandle ds = DataSetHandle::of_tag(tag); ds.is_file()) model().act_file_data = ds.file();
}

void storeIdentity(const QString& serial, quint8 mode) {
    LinkState& ls = link();
    ls.link_serial_no = serial;
    ls.link_mode_str = QString::number(mode);
}

// Restores the app_idle_flag at the end of every path, exceptions included.
struct IdleAtEnd {
    ~IdleAtEnd() { home_state().app_idle_flag = true; }
};

}  // namespace

void loggerconnect_Click(HOME& home) {
    HomeState& hs = home_state();
    ModelState& m = model();
    LinkState& ls = link();
    hs.app_idle_flag = false;
    IdleAtEnd idleAtEnd;

    // The check overwrites only the identity fields of the status, so the
    // whole copy written back restores exactly those (and keeps the channel
    // offsets exact, which their text form would not).
    std::optional<clsLOGGER_STATUS> saved;
    if (m.logger_main) saved = m.logger_main->clsLOGGER_STATUS();
    const int K0 = m.act_data_kind;
    const bool C0 = ls.link_connected_flag;
    const QString S0 = ls.link_serial_no;
    const QString M0 = ls.link_mode_str;

    const bool ok = connect_check(ls.comm_port_no);

    if (!ok) {
        ls.link_connected_flag = false;
        closeLoggerWindows(home);
        if (home.win_all_use_ct() > 0) {
            if (activeTag(home).startsWith(QLatin1Char('F'))) {
                bindActiveFileWindow(home);
                m.act_data_kind = 1;
                ls.link_serial_no.clear();
                ls.link_mode_str = QString::number(get_cur_mode_type());
            }
        } else {
            m.act_data_kind = 0;
            ls.link_serial_no.clear();
            ls.link_mode_str = QStringLiteral("0");
        }
        home.comm_disconnect_disp(get_cur_mode_type());
        showDialog(QStringLiteral("20"));
        return;
    }

    ls.link_connected_flag = true;
    const QString S = get_cur_serial_no();
    const quint8 M = get_cur_mode_type();
    const bool modeEqual = M0.trimmed().toInt() == M;

    // After "35": the program follows the logger's mode; every data window closes.
    auto modeChange = [&] {
        // Each window holding data not yet saved asks to save it (Yes/No, as
        // when the program closes), so the change completes with nothing left open.
        hs.app_closing_flag = true;
        hs.close_reason = 0;
        home.winTable().win_all_close();
        hs.app_closing_flag = false;
        comm_connect1st_disp();
        storeIdentity(S, M);
    };

    // After "100": the state from before the command.
    auto restore = [&] {
        if (K0 == 2) {
            if (saved && m.logger_main) m.logger_main->clsLOGGER_STATUS() = *saved;
            m.act_data_kind = 2;
            comm_connect_disp();
        } else if (!C0) {
            // No link was kept: the logger just examined is not connected, so
            // the state agrees with the not-connected display.
            m.logger_main.reset();
            ls.link_connected_flag = false;
            m.act_data_kind = K0;
            home.comm_disconnect_disp(get_cur_mode_type());
        } else {
            if (saved && m.logger_main) m.logger_main->clsLOGGER_STATUS() = *saved;
            m.act_data_kind = K0;
            comm_connect_disp();
        }
    };

    auto acceptsModeChange = [] { return confirm_mode_change() == platform::MsgResult::Yes; };

    if (S != S0 && !S0.isEmpty()) {
        // Another logger than before.
        if (modeEqual) {
            showDialog(QStringLiteral("30"));
            closeLoggerWindows(home);
            comm_connect_disp();
            if (home.win_all_use_ct() > 0) {
                m.act_data_kind = 1;
                bindActiveFileWindow(home);
            } else {
                m.act_data_kind = 2;
                m.act_logger_data.reset();
            }
            storeIdentity(S, M);
        } else if (acceptsModeChange()) {
            showDialog(QStringLiteral("35"));
            modeChange();
        } else {
            showDialog(QStringLiteral("100"));
            restore();
        }
    } else if (S != S0) {
        // No logger since the start (or since the link was lost).
        if (M0.trimmed().toInt() == 0 || QString::number(M) == M0) {
            showDialog(QStringLiteral("25"));
            if (home.win_all_use_ct() == 0) {
                comm_connect1st_disp();
                m.act_logger_data.reset();
                clear_logger_data_list();
                storeIdentity(S, M);
            } else {
                comm_connect_disp();
                storeIdentity(S, M);
                m.act_data_kind = 1;
                bindActiveFileWindow(home);
            }
        } else if (acceptsModeChange()) {
            showDialog(QStringLiteral("35"));
            modeChange();
        } else {
            showDialog(QStringLiteral("100"));
            m.logger_main.reset();
            if (home.win_all_use_ct() > 0) {
                if (home.winTable().win_logger_use_ct() == 0) m.act_data_kind = 1;
            } else {
                m.act_data_kind = 0;
            }
            home.comm_disconnect_disp(get_cur_mode_type());
            ls.link_connected_flag = false;
        }
    } else {
        // The same logger again.
        if (modeEqual) {
            showDialog(QStringLiteral("32"));
            closeLoggerWindows(home);
            comm_connect_disp();
            if (home.win_all_use_ct() == 0) {
                m.act_logger_data.reset();
                clear_logger_data_list();
                storeIdentity(S, M);
            } else {
                storeIdentity(S, M);
                m.act_data_kind = 1;
                bindActiveFileWindow(home);
            }
        } else if (acceptsModeChange()) {
            showDialog(QStringLiteral("35"));
            modeChange();
        } else {
            showDialog(QStringLiteral("100"));
            restore();
            m.act_data_kind = activeTag(home).startsWith(QLatin1Char('L')) ? 2 : 1;
        }
    }
}

void install_connect_targets(HomeTargets& targets, std::function<void()> onLostLink) {
    targets.loggerconnect = [] {
        if (!ModelSlot::installed()) return;
        if (auto* home = dynamic_cast<HOME*>(model().main_window)) loggerconnect_Click(*home);
    };
    targets.comm_dialog = [onLostLink](const QString& state) { show_connection_dialog(state, nullptr, onLostLink); };
    targets.manual_comm_dialog = [] {
        QWidget* parent = ModelSlot::installed() && model().main_window ? model().main_window->mainWidget() : nullptr;
        Manual_comm_Dialog1 dlg(parent);
        dlg.exec();
    };
}

}  // namespace mq
