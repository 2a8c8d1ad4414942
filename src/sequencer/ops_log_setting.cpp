#include "sequencer/ops_log_setting.h"

#include <algorithm>

#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/cls_logger_setting.h"
#include "model/common_proc.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"
#include "sequencer/setting_write.h"

namespace mq {

namespace {

constexpr int kAreas = 20;
// Write-command table entries of the reservation commands.
constexpr int kCmdReserveStart = 0;
constexpr int kCmdReserveStop = 1;
constexpr qint16 kReserveStopTimeoutOne = 600;

QString two(int n) { return QString::number(n).rightJustified(2, u'0'); }

std::shared_ptr<clsLOGGER_DATA> logger_item(const QString& key) { return DataSetHandle::of_tag(key).logger(); }

// The zero date-time the settings hold for "no time".
QDateTime zero_time() { return platform::civil(1899, 12, 30, 0, 0, 0); }

QDateTime reserve_time(const QString& text) {
    if (text.startsWith(QStringLiteral("0000"))) return zero_time();
    return platform::parseCivil(text);
}

QString owner_name(int area) {
    return (get_cur_mode_type() == OpMode::Memory ? QStringLiteral("MEMORY") : QStringLiteral("LOG")) + two(area);
}

// The reservation after the settings (both write operations).
void send_reservation(Prog_Dialog& dlg, const LogSettingHooks& hooks, bool allAreas) {
    SeqState& s = seq();
    const int r = hooks.reserved_area ? hooks.reserved_area() : 0;
    LinkState& ln = link();
    if (s.reserve_opt_flag) {
        const QDateTime clock = send_clock_read();
        if (!clock.isValid()) {
            dlg.exit_no_reply();
            return;
        }
        s.reserve_stop_str = reserve_stop_from_clock(clock, s.reserve_cmp_flag, s.reserve_dur_text, s.reserve_dur_halfdays);
    }
    // The reservation belongs to the reserved area, whichever area is shown.
    if (const auto ds = logger_item(DataSetHandle::logger_key(r))) {
        try {
            ds->clsLOGGER_SETTING().let_start_time(reserve_time(s.reserve_start_str));
            ds->clsLOGGER_SETTING().let_stop_time(reserve_time(s.reserve_stop_str));
        } catch (const Error&) {
            // A time the dialog never gives; the commands carry the texts anyway.
        }
    }
    const QString nn = two(r);
    const QString start = hooks.reserve_command(ln.cmd_r_p_req[kCmdReserveStart], nn, s.reserve_start_str);
    switch (send_setting_write(start)) {
    case WriteReply::Accepted: break;
    case WriteReply::Rejected: exit_write_rejected(dlg, owner_name(r) + u' ' + reserve_command_name(false)); return;
    case WriteReply::NoReply: dlg.exit_no_reply(); return;
    }
    const QString stop = hooks.reserve_command(ln.cmd_r_p_req[kCmdReserveStop], nn, s.reserve_stop_str);
    const WriteReply sent = send_setting_write(stop, allAreas ? kSettingWriteTimeout : kReserveStopTimeoutOne);
    if (sent == WriteReply::Rejected) {
        exit_write_rejected(dlg, owner_name(r) + u' ' + reserve_command_name(true));
        return;
    }
    platform::msgBox(&dlg,
                     sent == WriteReply::Accepted ? QStringLiteral("予約設定を送信しました。")
                                                  : QStringLiteral("予約設定の送信に失敗しました。"),
                     platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    DataSetHandle::release_current(CurrentRef::Logger);
    dlg.exit_editor_write(true);
}

}  // namespace

MemoryDisplay memory_display(qint64 m, OpMode mode, qint32 baud) {
    MemoryDisplay d;
    d.remaining = m;
    if (mode != OpMode::Memory) {
        d.recordable = m;
        d.bar_value = m;
        return d;
    }
    d.memory_mode = true;
    const qint64 capacity = baud == 128000 ? 691200 : 345600;
    const qint64 threshold = capacity + 1368;
    d.bar_max = capacity;
    if (m > threshold) {
        d.recordable = capacity;
        d.bar_value = capacity;
    } else if (m - 1368 > 0) {
        d.recordable = m - 1368;
        d.bar_value = std::min(m - 1368, capacity);
    }
    return d;
}

QString reserve_stop_from_clock(const QDateTime& clock, bool noLead, const QString& durText, int halfdays) {
    QDateTime t = noLead ? clock : platform::addSeconds(clock, 2);
    t = platform::addSeconds(t, platform::parseTimeOfDaySeconds(durText));
    for (int i = 0; i < halfdays; ++i) t = platform::addSeconds(t, 12 * 3600);
    return platform::formatCivil(t);
}

// ---------------------------------------------------------------- operation 22

void op_read_logger_clock_run(Prog_Dialog& dlg, const LogSettingHooks& hooks) {
    if (dlg.identity_check() != 0) return;
    SeqState& s = seq();
    LinkState& ln = link();
    if (!send_data_sub(ln.cmd_s_req[kStatusCmdMemory], ln.cmd_s_rsp[kStatusCmdMemory].trimmed().toInt(),
                       kMemoryTimeout)) {
        dlg.exit_no_reply();
        return;
    }
    s.reserve_no_memory_flag = false;
    bool ok = false;
    const qint64 m = rd_string_make().mid(4, 8).trimmed().toLongLong(&ok);
    if (!ok || m < 0) {
        // A memory count that is no number is a reply the program cannot use.
        dlg.exit_no_reply();
        return;
    }
    if (m == 0) {
        s.reserve_no_memory_flag = true;
        s.clock_read_done = true;
        dlg.unload();
        if (HomeSlot::installed()) home_state().app_idle_flag = true;
        return;
    }
    if (hooks.show_memory) hooks.show_memory(memory_display(m, get_cur_mode_type(), ln.comm_baud_rate));
    const QDateTime clock = send_clock_read();
    if (!clock.isValid()) {
        dlg.exit_no_reply();
        return;
    }
    s.logger_now_time = clock;
    dlg.exit_success();
}

// ---------------------------------------------------------------- operations 25 and 28

void op_write_log_setting_run(Prog_Dialog& dlg, const LogSettingHooks& hooks, bool allAreas) {
    SeqState& s = seq();
    s.setting_write_rejected = false;
    if (dlg.identity_check() != 0) return;
    if (allAreas) {
        if (!send_all_settings(dlg, kAreas, hooks.setting_commands, &owner_name, &setting_command_name)) return;
    } else {
        dlg.set_progress_max(4);
        const int n = hooks.shown_area ? hooks.shown_area() : 0;
        if (!send_data_set_setting(dlg, DataSetHandle::logger_key(n), two(n), hooks.setting_commands, owner_name(n),
                                   &setting_command_name, 0))
            return;
    }
    const int r = hooks.reserved_area ? hooks.reserved_area() : 0;
    bool reserve = r != 0 && !s.reserve_start_str.isEmpty() && !s.reserve_stop_str.isEmpty();
    if (!allAreas) reserve = reserve && hooks.shown_area && hooks.shown_area() == r;
    if (!reserve) {
        DataSetHandle::release_current(CurrentRef::Logger);
        dlg.unload();
        return;
    }
    send_reservation(dlg, hooks, allAreas);
}

// ---------------------------------------------------------------- operation 300

void op_write_log_default_run(Prog_Dialog& dlg, const LogSettingHooks& hooks) {
    seq().setting_write_rejected = false;
    if (dlg.identity_check() != 0) return;
    dlg.set_progress_max(4);
    if (!send_default_setting(dlg, hooks.setting_commands, &setting_command_name)) return;
    // The link stays up; app_idle_flag is left as the operation's start set it.
    dlg.exit_editor_write(false, false);
}

// ---------------------------------------------------------------- registration

void install_log_setting_operations(const LogSettingHooks& hooks) {
    ProgOperation clock;
    clock.run = [hooks](Prog_Dialog& dlg) { op_read_logger_clock_run(dlg, hooks); };
    prog_register_operation(op_read_logger_clock, std::move(clock));

    ProgOperation all;
    all.run = [hooks](Prog_Dialog& dlg) { op_write_log_setting_run(dlg, hooks, true); };
    all.unload_caller = hooks.unload_editor;
    prog_register_operation(op_write_log_setting_all, std::move(all));

    ProgOperation one;
    one.run = [hooks](Prog_Dialog& dlg) { op_write_log_setting_run(dlg, hooks, false); };
    one.unload_caller = hooks.unload_editor;
    prog_register_operation(op_write_log_setting_area, std::move(one));

    ProgOperation def;
    def.run = [hooks](Prog_Dialog& dlg) { op_write_log_default_run(dlg, hooks); };
    def.unload_caller = hooks.unload_default_editor;
    prog_register_operation(op_write_log_default, std::move(def));
}

}  // namespace mq
