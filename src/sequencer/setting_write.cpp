#include "sequencer/setting_write.h"

#include <QRegularExpression>

#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "sequencer/prog_dialog.h"

namespace mq {

WriteReply send_setting_write(const QString& command, qint16 timeoutTicks) {
    if (!send_data_sub(command, 3, timeoutTicks)) return WriteReply::NoReply;
    const LinkState& ln = link();
    const char first = ln.rx_count > 0 ? ln.rx_buffer.at(0) : 0;
    if (first == kNak) return WriteReply::Rejected;
    // The link takes only ACK or NAK as a three-byte reply.
    return first == kAck ? WriteReply::Accepted : WriteReply::Rejected;
}

QString setting_write_rejected_message(const QString& what) {
    return QStringLiteral("ロガーが設定の書き込みを受け付けませんでした。\r\n（") + what + QStringLiteral("）");
}

QString setting_command_name(int index) {
    switch (index) {
    case 0: return QStringLiteral("収録間隔");
    case 1: return QStringLiteral("ｾﾝｻ/入力・ｽｹｰﾙ・単位");
    case 2: return QStringLiteral("警報値");
    case 3: return QStringLiteral("積算基準値");
    default: return QString();
    }
}

QString reserve_command_name(bool stop) {
    return stop ? QStringLiteral("予約収録の終了日時") : QStringLiteral("予約収録の開始日時");
}

void exit_write_rejected(Prog_Dialog& dlg, const QString& what) {
    platform::msgBox(&dlg, setting_write_rejected_message(what), platform::MsgButtons::OK,
                     platform::MsgIcon::Exclamation);
    dlg.exit_editor_write(Outcome::Refused, false);
}

void setting_editor_rebind() {
    ModelState& m = model();
    IDataWindow* w = m.main_window ? m.main_window->activeDataWindow() : nullptr;
    if (!w && !link().link_connected_flag) {
        // The write ended the link (or it was lost): the windows left decide.
        follow_windows_after_link_end();
        return;
    }
    if (!w) {
        DataSetHandle::release_current(CurrentRef::Logger);
        DataSetHandle::release_current(CurrentRef::File);
        DataSetHandle::set_current_kind(2);
        return;
    }
    DataSetHandle::make_key_current(w->Tag().left(3));
}

QDateTime clock_from_reply(const QString& reply) {
    if (reply.size() < 16) return {};
    const QString t = QStringLiteral("20") + reply.mid(4, 2) + u'/' + reply.mid(6, 2) + u'/' + reply.mid(8, 2) + u' ' +
                      reply.mid(10, 2) + u':' + reply.mid(12, 2) + u':' + reply.mid(14, 2);
    static const QRegularExpression digits(QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
    if (!digits.match(t).hasMatch()) return {};
    try {
        return platform::parseCivil(t);
    } catch (const Error&) {
        return {};
    }
}

QDateTime send_clock_read() {
    const LinkState& ln = link();
    const qint32 len = ln.cmd_s_rsp[kStatusCmdClock].trimmed().toInt();
    if (!send_data_sub(ln.cmd_s_req[kStatusCmdClock], len, kClockTimeout)) return {};
    return clock_from_reply(rd_string_make());
}

DirectClock read_logger_clock_direct(QDateTime* now) {
    send_initial();
    const qint16 r = send_recv_before_check();
    if (r == 1) {
        comm_disconnect();
        return DirectClock::Disconnected;
    }
    if (r != 0) {
        comm_logger_change();
        return DirectClock::LoggerChanged;
    }
    const QDateTime t = send_clock_read();
    if (!t.isValid()) {
        comm_disconnect();
        return DirectClock::Disconnected;
    }
    if (now) *now = t;
    return DirectClock::Ok;
}

bool reserve_time_after_clock(const QString& when, const QDateTime& clock) {
    const QString limit = platform::formatCivil(platform::addSeconds(clock, 30));
    return when > limit;
}

bool send_setting_commands(Prog_Dialog& dlg, const QStringList& commands, const QString& owner,
                           SettingNameFn command_name, int progressBase) {
    for (int i = 0; i < commands.size(); ++i) {
        if (progressBase >= 0) dlg.set_progress_value(progressBase + i + 1);
        switch (send_setting_write(commands[i])) {
        case WriteReply::Accepted: break;
        case WriteReply::Rejected:
            DataSetHandle::release_current(CurrentRef::Logger);
            exit_write_rejected(dlg, owner + u' ' + command_name(i));
            return false;
        case WriteReply::NoReply:
            DataSetHandle::release_current(CurrentRef::Logger);
            dlg.exit_no_reply();
            return false;
        }
    }
    return true;
}

bool send_data_set_setting(Prog_Dialog& dlg, const QString& key, const QString& nn, const SettingCommandsFn& make,
                           const QString& owner, SettingNameFn command_name, int progressBase) {
    const auto ds = DataSetHandle::of_tag(key).logger();
    if (!ds) {
        dlg.exit_no_reply();
        return false;
    }
    if (!send_setting_commands(dlg, make(ds->clsLOGGER_SETTING(), nn), owner, command_name, progressBase)) return false;
    // A write leaves no current logger data set behind.
    DataSetHandle::release_current(CurrentRef::Logger);
    return true;
}

bool send_all_settings(Prog_Dialog& dlg, int count, const SettingCommandsFn& make,
                       SettingNameFn owner, SettingNameFn command_name) {
    dlg.set_progress_max(count);
    for (int n = 1; n <= count; ++n) {
        dlg.set_progress_value(n);
        if (!send_data_set_setting(dlg, DataSetHandle::logger_key(n), QString::number(n).rightJustified(2, u'0'), make,
                                   owner(n), command_name, -1))
            return false;
    }
    return true;
}

bool send_default_setting(Prog_Dialog& dlg, const SettingCommandsFn& make,
                          SettingNameFn command_name) {
    const QString key = QStringLiteral("L00");
    const auto& root = model().logger_main;
    if (!root) {
        dlg.exit_no_reply();
        return false;
    }
    if (!DataSetHandle::of_tag(key).logger()) root->colLOGGER_DATA().Add(key);
    return send_data_set_setting(dlg, key, QStringLiteral("00"), make, QStringLiteral("既定収録設定"), command_name, 0);
}

}  // namespace mq
