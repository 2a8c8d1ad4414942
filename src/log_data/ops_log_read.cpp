#include "log_data/ops_log_read.h"

#include <QPointer>

#include <limits>

#include "log_data/log_data.h"
#include "log_data/log_data_select.h"
#include "log_settings/log_setting_record.h"
#include "main_window/conversions.h"
#include "main_window/serial_link.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "sequencer/numbered_read.h"
#include "sequencer/records_read.h"

namespace mq {

namespace {

void readLogList(Prog_Dialog& dlg, const QPointer<log_data_select>& dialog) {
    if (!begin_numbered_read(dlg, kNumberedSets)) return;
    const NumberedRecord count{kLogCmdCount, kLogListTimeout,
                               [](clsLOGGER_SETTING& area, const QString& record) { log_data_ct_save(area, record); },
                               [dialog](qint16 n) {
                                   if (dialog) dialog->log_data_ct_disp(n);
                               }};
    const NumberedRecord setting{kLogCmdSetting, kLogSettingTimeout,
                                 [](clsLOGGER_SETTING& area, const QString& record) { log_para_data_save(area, record); },
                                 [dialog](qint16 n) {
                                     if (dialog) dialog->log_data_select_disp(n);
                                 }};
    if (!read_numbered_list(dlg, link().cmd_l_r_req, link().cmd_l_r_rsp, count, setting)) return;
    dlg.exit_success();
}

}  // namespace

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

Operation log_list_read_operation(log_data_select* dialog) {
    const QPointer<log_data_select> target = dialog;
    return logger_read_operation([target](Prog_Dialog& dlg) { readLogList(dlg, target); }, OnFailure::CallerList,
                                 [target] {
                                     if (target) target->unload();
                                 });
}

Operation log_records_read_operation(log_data* w, int n, std::shared_ptr<clsLOGGER_DATA> ds) {
    RecordsRead read;
    read.number = n;
    read.records = ds ? ds->clsLOGGER_SETTING().data_count() : 0;
    read.timeout = kLogDataTimeout;
    read.request = [n, ds] {
        const clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();
        return RecordsRequest{numbered_command(link().cmd_l_r_req[kLogCmdData], n),
                              log_data_reply_length(s.data_count(), data_ari_ch_count_mk(s))};
    };
    const QPointer<log_data> target = w;
    read.hand = [target](const QString& reply, qint32 q, qint16 r) {
        if (target) target->log_data_disp_FixedDb(reply, q, r);
    };
    return records_read_operation(std::move(read));
}

}  // namespace mq
