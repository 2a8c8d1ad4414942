#include "log_settings/ops_log_setting.h"

#include <algorithm>

#include <QPointer>

#include "log_settings/log_setting_record.h"
#include "log_settings/reserve.h"
#include "main_window/serial_link.h"
#include "model/cls_logger_setting.h"
#include "model/common_proc.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "sequencer/numbered_read.h"
#include "sequencer/setting_write.h"

namespace mq {

namespace {

constexpr int kAreas = kNumberedSets;
constexpr qint16 kReserveStopTimeoutOne = 600;

QString two(int n) { return QString::number(n).rightJustified(2, u'0'); }

std::shared_ptr<clsLOGGER_DATA> logger_item(const QString& key) { return DataSetHandle::of_tag(key).logger(); }

QString owner_name(int area) {
    return (get_cur_mode_type() == OpMode::Memory ? QStringLiteral("MEMORY") : QStringLiteral("LOG")) + two(area);
}

// The reservation after the settings (both writes), for reserved area r.
void send_reservation(Prog_Dialog& dlg, Reservation res, int r, bool allAreas) {
    LinkState& ln = link();
    if (res.by_duration) {
        const QDateTime clock = send_clock_read();
        if (!clock.isValid()) {
            dlg.exit_no_reply();
            return;
        }
        res.stop = reserve_stop_from_clock(clock, res.no_lead, res.dur_text, res.dur_halfdays);
    }
    // The reservation belongs to the reserved area, whichever area is shown.
    if (const auto ds = logger_item(DataSetHandle::logger_key(r))) {
        ds->clsLOGGER_SETTING().let_start_time(reservation_setting_time(res.start));
        ds->clsLOGGER_SETTING().let_stop_time(reservation_setting_time(res.stop));
    }
    const QString nn = two(r);
    const QString start = log_cmd_reserve(ln.cmd_r_p_req[kCmdReserveStart], nn, res.start);
    switch (send_setting_write(start)) {
    case WriteReply::Accepted: break;
    case WriteReply::Rejected: exit_write_rejected(dlg, owner_name(r) + u' ' + reserve_command_name(false)); return;
    case WriteReply::NoReply: dlg.exit_no_reply(); return;
    }
    const QString stop = log_cmd_reserve(ln.cmd_r_p_req[kCmdReserveStop], nn, res.stop);
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
    dlg.exit_editor_write(sent == WriteReply::Accepted ? Outcome::Done : Outcome::NoReply, true);
}

QStringList areaCommands(const clsLOGGER_SETTING& s, const QString& nn) { return log_setting_commands(s, nn); }

void readLoggerClock(Prog_Dialog& dlg, const QPointer<reserve>& dialog, LoggerClockRead& result) {
    if (dlg.identity_check() != 0) return;
    LinkState& ln = link();
    if (!send_data_sub(ln.cmd_s_req[kStatusCmdMemory], ln.cmd_s_rsp[kStatusCmdMemory].trimmed().toInt(),
                       kMemoryTimeout)) {
        dlg.exit_no_reply();
        return;
    }
    result.no_memory = false;
    bool ok = false;
    const qint64 m = rd_string_make().mid(4, 8).trimmed().toLongLong(&ok);
    if (!ok || m < 0) {
        // A memory count that is no number is a reply the program cannot use.
        dlg.exit_no_reply();
        return;
    }
    if (m == 0) {
        result.no_memory = true;
        dlg.end_as(Outcome::Done);
        return;
    }
    if (dialog) dialog->show_memory(memory_display(m, get_cur_mode_type(), ln.comm_baud_rate));
    const QDateTime clock = send_clock_read();
    if (!clock.isValid()) {
        dlg.exit_no_reply();
        return;
    }
    result.clock = clock;
    dlg.exit_success();
}

void writeLogSettings(Prog_Dialog& dlg, bool allAreas, int shown, int reserved, const Reservation& res) {
    if (dlg.identity_check() != 0) return;
    if (allAreas) {
        if (!send_all_settings(dlg, kAreas, &areaCommands, &owner_name, &setting_command_name)) return;
    } else {
        dlg.set_progress_max(4);
        if (!send_data_set_setting(dlg, DataSetHandle::logger_key(shown), two(shown), &areaCommands,
                                   owner_name(shown), &setting_command_name, 0))
            return;
    }
    bool reserve = reserved != 0 && res.complete();
    if (!allAreas) reserve = reserve && shown == reserved;
    if (!reserve) {
        DataSetHandle::release_current(CurrentRef::Logger);
        dlg.unload();
        return;
    }
    send_reservation(dlg, res, reserved, allAreas);
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

QDateTime reservation_setting_time(const QString& text) {
    if (text.startsWith(QStringLiteral("0000"))) return platform::zeroCivil();
    try {
        return platform::parseCivil(text);
    } catch (const Error&) {
        return platform::zeroCivil();
    }
}

QString reserve_stop_from_clock(const QDateTime& clock, bool noLead, const QString& durText, int halfdays) {
    QDateTime t = noLead ? clock : platform::addSeconds(clock, 2);
    t = platform::addSeconds(t, platform::parseTimeOfDaySeconds(durText));
    for (int i = 0; i < halfdays; ++i) t = platform::addSeconds(t, 12 * 3600);
    return platform::formatCivil(t);
}

// ---------------------------------------------------------------- operations

Operation log_settings_read_operation(NumberShown shown, CallerClose closeEditor) {
    return logger_read_operation(
        [shown = std::move(shown)](Prog_Dialog& dlg) {
            const LinkState& ln = link();
            read_numbered_settings(
                dlg, ln.cmd_l_r_req, ln.cmd_l_r_rsp, kLogCmdSetting, kLogSettingTimeout,
                [](clsLOGGER_SETTING& area, const QString& record) { log_para_data_save(area, record); }, shown);
        },
        OnFailure::Caller, std::move(closeEditor));
}

Operation logger_clock_read_operation(reserve* dialog, LoggerClockRead& result) {
    const QPointer<reserve> target = dialog;
    Operation op = logger_read_operation([target, &result](Prog_Dialog& dlg) { readLoggerClock(dlg, target, result); });
    op.cancellable = false;
    return op;
}

Operation log_settings_write_operation(bool allAreas, int shownArea, int reservedArea, Reservation reservation,
                                       CallerClose closeEditor) {
    return logger_write_operation(
        [allAreas, shownArea, reservedArea, res = std::move(reservation)](Prog_Dialog& dlg) {
            writeLogSettings(dlg, allAreas, shownArea, reservedArea, res);
        },
        OnFailure::Caller, std::move(closeEditor));
}

Operation log_defaults_write_operation(CallerClose closeEditor) {
    return logger_write_operation(
        [](Prog_Dialog& dlg) {
            if (dlg.identity_check() != 0) return;
            dlg.set_progress_max(4);
            if (!send_default_setting(dlg, &areaCommands, &setting_command_name)) return;
            // The link stays up; app_idle_flag is left as the operation's start set it.
            dlg.exit_editor_write(Outcome::Done, false, false);
        },
        OnFailure::Caller, std::move(closeEditor));
}

}  // namespace mq
