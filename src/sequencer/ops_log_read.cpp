#include "sequencer/ops_log_read.h"

#include <limits>

#include "main_window/conversions.h"
#include "main_window/serial_link.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/records_read.h"

namespace mq {

namespace {

constexpr int kAreas = 20;

QString area_key(int n) { return DataSetHandle::logger_key(n); }

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

void call(const std::function<void(qint16)>& hook, int n) {
    if (hook) hook(qint16(n));
}

void call(const std::function<void(QWidget*, qint16)>& hook, int n) {
    if (hook) hook(seq().prog_target_window.data(), qint16(n));
}

// The start shared by the list and setting reads: the identity check, a
// logger root to read into and the twenty area data sets. False when the
// operation has already taken its exit.
bool beginAreaRead(Prog_Dialog& dlg) {
    if (dlg.identity_check() != 0) return false;
    if (!model().logger_main) {
        // Nothing to read into: the connection is not what it should be.
        dlg.exit_no_reply();
        return false;
    }
    dlg.set_progress_max(kAreas);
    ensure_area_data_sets();
    return true;
}

// Sends an area command and stores its reply record; false (with the no-reply
// exit taken) when no reply came or the record could not be read, never as an
// error out of the dialog.
bool readAreaRecord(Prog_Dialog& dlg, const QString& command, qint32 length, qint16 timeout,
                    const std::function<void(clsLOGGER_SETTING&, const QString&)>& store, clsLOGGER_SETTING& area) {
    if (!exchange(command, length, timeout) || !stored([&store, &area] {
            if (store) store(area, rd_string_make());
        })) {
        dlg.exit_no_reply();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- operation 10

void readLogList(Prog_Dialog& dlg, const LogReadTargets& t) {
    if (!beginAreaRead(dlg)) return;
    LinkState& ln = link();
    const QString countEntry = ln.cmd_l_r_req[kLogCmdCount];
    const QString settingEntry = ln.cmd_l_r_req[kLogCmdSetting];
    const qint32 countLen = reply_length(ln.cmd_l_r_rsp, kLogCmdCount);
    const qint32 settingLen = reply_length(ln.cmd_l_r_rsp, kLogCmdSetting);
    const auto storeCount = [](clsLOGGER_SETTING& s, const QString& record) { log_data_ct_save(s, record); };

    for (int n = 1; n <= kAreas; ++n) {
        dlg.set_progress_value(n);
        clsLOGGER_SETTING& area = model().logger_main->colLOGGER_DATA().Item(area_key(n))->clsLOGGER_SETTING();
        if (!readAreaRecord(dlg, area_command(countEntry, n), countLen, kLogListTimeout, storeCount, area)) return;
        call(t.list_count_stored, n);
        if (area.data_count() != 0) {
            if (!readAreaRecord(dlg, area_command(settingEntry, n), settingLen, kLogSettingTimeout, t.store_setting,
                                area))
                return;
            call(t.list_setting_stored, n);
        }
    }
    // A read leaves no current logger data set behind.
    DataSetHandle::release_current(CurrentRef::Logger);
    dlg.exit_success();
}

// ---------------------------------------------------------------- operation 20

void readLogSettings(Prog_Dialog& dlg, const LogReadTargets& t) {
    if (!beginAreaRead(dlg)) return;
    LinkState& ln = link();
    const QString entry = ln.cmd_l_r_req[kLogCmdSetting];
    const qint32 len = reply_length(ln.cmd_l_r_rsp, kLogCmdSetting);
    for (int n = 1; n <= kAreas; ++n) {
        dlg.set_progress_value(n);
        clsLOGGER_SETTING& area = model().logger_main->colLOGGER_DATA().Item(area_key(n))->clsLOGGER_SETTING();
        if (!readAreaRecord(dlg, area_command(entry, n), len, kLogSettingTimeout, t.store_setting, area)) return;
        call(t.setting_stored, n);
    }
    DataSetHandle::release_current(CurrentRef::Logger);
    dlg.exit_success();
}

// ---------------------------------------------------------------- operation 50

void readLogData(Prog_Dialog& dlg, const LogReadTargets& t) {
    const auto ds = model().act_logger_data;
    const qint16 n = seq().prog_target_no;
    const qint32 d = ds ? ds->clsLOGGER_SETTING().data_count() : 0;
    run_records_read(
        dlg, d, kLogDataTimeout,
        [ds, n, d] {
            const qint16 c = data_ari_ch_count_mk(ds->clsLOGGER_SETTING());
            return RecordsRequest{area_command(link().cmd_l_r_req[kLogCmdData], n), log_data_reply_length(d, c)};
        },
        t.data_reply);
}

}  // namespace

QString log_area_digits(int area) { return QString::number(area).rightJustified(2, u'0').right(2); }

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
        if (!col.Find(key)) col.Add(key);
    }
}

ProgOperation op_read_log_list_operation(const LogReadTargets& targets) {
    return ProgOperation{[targets](Prog_Dialog& dlg) { readLogList(dlg, targets); }, targets.unload_list_dialog};
}

ProgOperation op_read_log_setting_operation(const LogReadTargets& targets) {
    return ProgOperation{[targets](Prog_Dialog& dlg) { readLogSettings(dlg, targets); },
                         targets.unload_setting_editor};
}

ProgOperation op_read_log_data_operation(const LogReadTargets& targets) {
    return ProgOperation{[targets](Prog_Dialog& dlg) { readLogData(dlg, targets); }, {}};
}

void register_log_read_operations(const LogReadTargets& targets) {
    prog_register_operation(op_read_log_list, op_read_log_list_operation(targets));
    prog_register_operation(op_read_log_setting, op_read_log_setting_operation(targets));
    prog_register_operation(op_read_log_data, op_read_log_data_operation(targets));
}

}  // namespace mq
