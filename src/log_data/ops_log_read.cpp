#include "log_data/ops_log_read.h"

#include <limits>

#include "log_data/log_data.h"
#include "log_data/log_data_select.h"
#include "log_settings/log_setting_record.h"
#include "main_window/conversions.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "sequencer/prog_dialog.h"

namespace mq {

namespace {

constexpr int kAreas = 20;

QString area_key(int n) { return QStringLiteral("L") + log_area_digits(n); }

// The expected reply length of a command-table entry ("241" -> 241); 0 when
// the entry is not a number, which the link refuses as a failed exchange.
qint32 reply_length(const CommandTable& rsp, int entry) { return rsp[entry].trimmed().toInt(); }

// One command with its reply; false when no complete reply came.
bool exchange(const QString& command, qint32 length, qint16 timeout) {
    return send_data_sub(command, length, timeout);
}

// Runs a record's parse; false when the record could not be read.
template <typename Parse>
bool stored(Parse parse) {
    try {
        parse();
        return true;
    } catch (const Error&) {
        return false;
    }
}

}  // namespace

QString area_command(const QString& entry, int n) {
    return entry.left(6).leftJustified(6, u' ') + log_area_digits(n) + entry.mid(8);
}

qint32 log_data_reply_length(qint32 d, qint16 c) {
    const qint64 q = d / 3;
    const qint64 r = d % 3;
    qint64 len = q * (15 * qint64(c) + 14);
    if (r == 1) len += 5 * qint64(c) + 12;
    else if (r == 2) len += 10 * qint64(c) + 13;
    if (len > std::numeric_limits<qint32>::max() || len < 0) {
        throw OverflowError("LOG data reply length does not fit 32 bits");
    }
    return qint32(len);
}

void ensure_area_data_sets() {
    const auto& root = model().logger_main;
    if (!root) return;
    colLOGGER_DATA& col = root->colLOGGER_DATA();
    for (int n = 1; n <= kAreas; ++n) {
        const QString key = area_key(n);
        try {
            (void)col.Item(key);
        } catch (const MissingKeyError&) {
            col.Add(key);
        }
    }
}

// ---------------------------------------------------------------- operation 10

void op_read_log_list_run(Prog_Dialog& dlg) {
    if (dlg.identity_check() != 0) return;
    if (!model().logger_main) {
        // Nothing to read into: the connection is not what it should be.
        dlg.exit_no_reply();
        return;
    }
    dlg.set_progress_max(kAreas);
    ensure_area_data_sets();
    LinkState& ln = link();
    const QString countEntry = ln.cmd_l_r_req[kLogCmdCount];
    const QString settingEntry = ln.cmd_l_r_req[kLogCmdSetting];
    const qint32 countLen = reply_length(ln.cmd_l_r_rsp, kLogCmdCount);
    const qint32 settingLen = reply_length(ln.cmd_l_r_rsp, kLogCmdSetting);

    for (int n = 1; n <= kAreas; ++n) {
        dlg.set_progress_value(n);
        const auto ds = model().logger_main->colLOGGER_DATA().Item(area_key(n));
        model().act_logger_data = ds;
        if (!exchange(area_command(countEntry, n), countLen, kLogListTimeout)) {
            dlg.exit_no_reply();
            return;
        }
        // A record that cannot be read (its count is no number) ends the read
        // like a reply that did not come, never as an error out of the dialog.
        if (!stored([] { log_data_ct_save(rd_string_make()); })) {
            dlg.exit_no_reply();
            return;
        }
        if (log_data_select* sel = log_data_select::openInstance()) sel->log_data_ct_disp(qint16(n));
        if (ds->clsLOGGER_SETTING().data_count() != 0) {
            if (!exchange(area_command(settingEntry, n), settingLen, kLogSettingTimeout)) {
                dlg.exit_no_reply();
                return;
            }
            if (!stored([] { log_para_data_save(rd_string_make()); })) {
                dlg.exit_no_reply();
                return;
            }
            if (log_data_select* sel = log_data_select::openInstance()) sel->log_data_select_disp(qint16(n));
        }
    }
    model().act_logger_data = nullptr;
    dlg.exit_success();
}

// ---------------------------------------------------------------- operation 20

ProgOperation op_read_log_setting_operation(std::function<void(qint16 area)> disp,
                                            std::function<void()> unload_editor) {
    ProgOperation op;
    op.run = [disp](Prog_Dialog& dlg) {
        if (dlg.identity_check() != 0) return;
        if (!model().logger_main) {
            dlg.exit_no_reply();
            return;
        }
        dlg.set_progress_max(kAreas);
        ensure_area_data_sets();
        LinkState& ln = link();
        const QString entry = ln.cmd_l_r_req[kLogCmdSetting];
        const qint32 len = reply_length(ln.cmd_l_r_rsp, kLogCmdSetting);
        for (int n = 1; n <= kAreas; ++n) {
            dlg.set_progress_value(n);
            model().act_logger_data = model().logger_main->colLOGGER_DATA().Item(area_key(n));
            if (!exchange(area_command(entry, n), len, kLogSettingTimeout)) {
                dlg.exit_no_reply();
                return;
            }
            if (!stored([] { log_para_data_save(rd_string_make()); })) {
                dlg.exit_no_reply();
                return;
            }
            if (disp) disp(qint16(n));
        }
        model().act_logger_data = nullptr;
        dlg.exit_success();
    };
    op.unload_caller = std::move(unload_editor);
    return op;
}

// ---------------------------------------------------------------- operation 50

void op_read_log_data_run(Prog_Dialog& dlg) {
    const auto ds = model().act_logger_data;
    const qint16 n = seq().prog_target_no;
    const qint32 d = ds ? ds->clsLOGGER_SETTING().data_count() : 0;
    if (d <= 0) {
        // An empty area has nothing to send; asking for a reply of length 0
        // would only time out and drop a healthy link. The window shows the
        // empty area.
        if (log_data* w = log_data::activeLogWindow()) w->log_data_disp_FixedDb(QString(), 0, 0);
        dlg.exit_success();
        return;
    }
    if (dlg.identity_check() != 0) return;

    const qint16 c = data_ari_ch_count_mk(n);
    const qint32 q = d / 3;
    const qint16 r = qint16(d % 3);
    const qint32 len = log_data_reply_length(d, c);
    const QString command = area_command(link().cmd_l_r_req[kLogCmdData], n);

    dlg.set_progress_value(0);
    dlg.set_progress_max(len);
    link().rx_progress_flag = true;
    if (!exchange(command, len, kLogDataTimeout)) {
        dlg.exit_no_reply();
        return;
    }
    const QString reply = rd_string_make();
    dlg.set_progress_value(0);
    dlg.set_progress_max(double(d) + 1);
    dlg.process_events();
    if (log_data* w = log_data::activeLogWindow()) w->log_data_disp_FixedDb(reply, q, r);
    dlg.exit_success();
}

// ---------------------------------------------------------------- registration

void install_log_read_operations(std::function<void(qint16 area)> log_set_value_disp,
                                 std::function<void()> unload_log_set_value) {
    ProgOperation list;
    list.run = op_read_log_list_run;
    list.unload_caller = [] {
        if (log_data_select* sel = log_data_select::openInstance()) sel->unload();
    };
    prog_register_operation(op_read_log_list, std::move(list));

    prog_register_operation(op_read_log_setting, op_read_log_setting_operation(std::move(log_set_value_disp),
                                                                               std::move(unload_log_set_value)));

    ProgOperation data;
    data.run = op_read_log_data_run;
    prog_register_operation(op_read_log_data, std::move(data));
}

}  // namespace mq
