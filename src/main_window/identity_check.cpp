#include "main_window/identity_check.h"

#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/common_proc.h"
#include "model/cur_accessors.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/serial_port.h"

namespace mq {

namespace {

constexpr qint16 kIdentityTicks = 10;

IMainWindowServices* mainWindow() { return ModelSlot::installed() ? model().main_window : nullptr; }
HOME* homeWindow() { return home_window(); }

void refreshCommands() {
    if (IMainWindowServices* mw = mainWindow()) mw->refresh_command_state();
}

// A reply-length entry as a number; an entry that is not a number asks for
// an impossible length, which send_data_sub refuses as a failed exchange.
qint32 replyLength(const QString& entry) {
    bool ok = false;
    const qint32 n = entry.trimmed().toInt(&ok);
    return ok ? n : 0;
}

bool sendSetting(int entry) {
    LinkState& ls = link();
    return send_data_sub(ls.cmd_s_req[entry], replyLength(ls.cmd_s_rsp[entry]), kIdentityTicks);
}

QString fixedText(const QString& text, int width) {
    return text.size() >= width ? text.left(width) : text + QString(width - text.size(), u' ');
}

bool setPort(qint16 port) {
    try {
        link().MSComm1().setPortNumber(port);
        return true;
    } catch (const Error&) {
        return false;
    }
}

bool reserveOpen() { return ConnectionSlot::installed() && connection().reserve_open_flag; }

void showDialog(const QString& state) {
    HomeState& hs = home_state();
    hs.dialog_state = state;
    if (hs.targets.comm_dialog) hs.targets.comm_dialog(state);
}

// Closes every logger data window as the program's own close (no questions).
void closeLoggerWindows() {
    HOME* home = homeWindow();
    if (!home) return;
    HomeState& hs = home_state();
    hs.close_reason = 1;
    home->winTable().win_logger_win_all_close();
    hs.close_reason = 0;
}

// The identity texts of the connected logger, kept over a display reset.
struct LinkIdentity {
    QString model, serial, hard, soft, special, userModel;
    void restore(LinkState& ls) const {
        ls.link_model_text = model;
        ls.link_serial_text = serial;
        ls.link_hard_ver_text = hard;
        ls.link_soft_ver_text = soft;
        ls.link_special_spec_text = special;
        ls.link_user_model_text = userModel;
    }
};

}  // namespace

QString link_model_text_of(const QString& modelName) {
    const QString shown = modelName == QLatin1String("ZK4409MU") ? QStringLiteral("ZK4409-MU") : modelName;
    return fixedText(shown, 16);
}

qint16 send_recv_before_check() {
    if (!sendSetting(0)) return 1;
    const QString serial = rd_string_make().mid(4, 8);
    if (!sendSetting(3)) return 1;
    // The mode is one digit on the wire; anything else is no mode the program knows.
    const QString digit = rd_string_make().mid(6, 1);
    const LinkState& ls = link();
    const bool sameMode = digit.size() == 1 && digit[0] >= u'0' && digit[0] <= u'9' &&
                          op_mode_of(quint8(digit[0].unicode() - u'0')) == ls.link_mode;
    return (!sameMode || serial != ls.link_serial_no) ? 2 : 0;
}

bool comm_port_check(qint16 port) {
    if (!setPort(port)) return false;
    return sendSetting(1);
}

bool connect_check(qint16 port) {
    if (!setPort(port)) return false;
    ModelState& m = model();
    if (!m.logger_main) m.logger_main = std::make_shared<clsLOGGER_Main>();
    DataSetHandle::set_current_kind(2);
    bool ok = false;
    if (ConnectionSlot::installed() && connection().run_connect_check) ok = connection().run_connect_check();
    if (!ok) m.logger_main.reset();
    return ok;
}

void blank_link_identity() {
    LinkState& ls = link();
    ls.link_model_text = QString(16, u' ');
    ls.link_serial_text = QString(8, u' ');
    ls.link_hard_ver_text = QString(2, u' ');
    ls.link_soft_ver_text = QString(2, u' ');
    ls.link_special_spec_text = QString(2, u' ');
    ls.link_user_model_text.clear();
}

void comm_connect_disp() {
    LinkState& ls = link();
    if (ModelSlot::installed() && model().logger_main) {
        const clsLOGGER_STATUS& st = model().logger_main->clsLOGGER_STATUS();
        ls.link_model_text = link_model_text_of(st.model_name());
        ls.link_serial_text = fixedText(st.serial_no(), 8);
        ls.link_hard_ver_text = fixedText(st.hard_ver_str(), 2);
        ls.link_soft_ver_text = fixedText(st.soft_ver_str(), 2);
        ls.link_special_spec_text = fixedText(st.special_spec_str(), 2);
    }
    if (ModelSlot::installed()) ls.link_user_model_text = get_cur_user_model_name();
    refreshCommands();
}

void comm_disconnect(LinkEnd end) {
    LinkState& ls = link();
    ls.link_connected_flag = false;
    if (end == LinkEnd::LinkOnly) {
        blank_link_identity();
        return;
    }
    ls.link_serial_no.clear();
    ls.link_mode = OpMode::None;

    if (end == LinkEnd::Lost) showDialog(QStringLiteral("90"));

    // While the reservation dialog is open it still shows the logger's
    // identity and works on its data, so both survive the link (closing the
    // last logger window blanks the texts; they are put back).
    if (reserveOpen()) {
        const LinkIdentity kept{ls.link_model_text, ls.link_serial_text, ls.link_hard_ver_text, ls.link_soft_ver_text,
                                ls.link_special_spec_text, ls.link_user_model_text};
        refreshCommands();
        closeLoggerWindows();
        kept.restore(ls);
        follow_windows_after_link_end();
        refreshCommands();
        return;
    }
    blank_link_identity();
    refreshCommands();
    closeLoggerWindows();
    clear_logger_data_list();
    DataSetHandle::release_current(CurrentRef::Logger);
    follow_windows_after_link_end();
    refreshCommands();
}

void comm_logger_change() {
    comm_disconnect(LinkEnd::LinkOnly);
    LinkState& ls = link();
    ls.link_serial_no.clear();
    ls.link_mode = get_cur_mode_type();

    showDialog(QStringLiteral("95"));

    clear_logger_data_list();
    DataSetHandle::release_current(CurrentRef::Logger);
    closeLoggerWindows();
    follow_windows_after_link_end();
    refreshCommands();
}

void follow_windows_after_link_end() {
    HOME* home = homeWindow();
    if (IDataWindow* w = home ? home->mode_window() : nullptr) {
        DataSetHandle::make_key_current(w->Tag().left(3));
        return;
    }
    DataSetHandle::set_current_kind(0);
    link().link_mode = OpMode::None;
}

}  // namespace mq
