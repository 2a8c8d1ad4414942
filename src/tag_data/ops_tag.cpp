#include "tag_data/ops_tag.h"

#include <QPointer>

#include <limits>

#include "main_window/conversions.h"
#include "main_window/file_save.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "sequencer/file_fill.h"
#include "sequencer/file_progress.h"
#include "sequencer/numbered_read.h"
#include "sequencer/records_read.h"
#include "tag_data/tag_data.h"
#include "tag_data/tag_data_files.h"
#include "tag_data/tag_data_select.h"
#include "tag_settings/tag_setting_record.h"

namespace mq {

namespace {

constexpr int kTags = kNumberedSets;

void readTagList(Prog_Dialog& dlg, const QPointer<tag_data_select>& dialog) {
    if (!begin_numbered_read(dlg, 2 * kTags)) return;
    const NumberedRecord count{kTagCmdCount, kTagListTimeout,
                               [](clsLOGGER_SETTING& tag, const QString& record) { tag_data_ct_save(tag, record); },
                               [dialog](qint16 n) {
                                   if (dialog) dialog->tag_data_ct_disp(n);
                               }};
    const NumberedRecord setting{kTagCmdSetting, kTagSettingTimeout,
                                 [](clsLOGGER_SETTING& tag, const QString& record) { tag_para_data_save(tag, record); },
                                 [dialog](qint16 n) {
                                     if (dialog) dialog->tag_data_select_disp(n);
                                 }};
    LinkState& ln = link();
    if (!read_numbered_list(dlg, ln.cmd_t_r_req, ln.cmd_t_r_rsp, count, setting)) return;
    const QString workerEntry = ln.cmd_s_req[kStatusCmdWorker];
    const QString commentEntry = ln.cmd_s_req[kStatusCmdComment];
    const qint32 workerLen = numbered_reply_length(ln.cmd_s_rsp, kStatusCmdWorker);
    const qint32 commentLen = numbered_reply_length(ln.cmd_s_rsp, kStatusCmdComment);
    for (int n = 1; n <= kTags; ++n) {
        dlg.set_progress_value(kTags + n);
        if (!read_numbered_record(dlg, numbered_command(workerEntry, n), workerLen, kTagNameListTimeout,
                                  &tag_worker_data_save) ||
            !read_numbered_record(dlg, numbered_command(commentEntry, n), commentLen, kTagNameListTimeout,
                                  &tag_comment_data_save))
            return;
    }
    dlg.exit_success();
}

void saveTagFile(Prog_Dialog& dlg, qint16 code, const QString& path) {
    const ModelState& m = model();
    const bool logger = code == op_save_logger_tag_csv || code == op_save_logger_mt1;
    const bool csv = code == op_save_logger_tag_csv || code == op_save_file_tag_csv;
    const clsLOGGER_SETTING* s = nullptr;
    if (logger && m.act_logger_data) s = &m.act_logger_data->clsLOGGER_SETTING();
    if (!logger && m.act_file_data) s = &m.act_file_data->clsLOGGER_SETTING();
    FileResult result = nothing_to_save();
    if (s) {
        dlg.set_progress_max(double(s->data_count()) + 1.0);
        ThrottledProgress progress(dlg);
        result = csv ? file_tag_data_file_write_csv2(path, &progress) : file_tag_data_file_write_mt1(path, &progress);
    }
    end_file_save(dlg, result);
}

}  // namespace

qint32 tag_data_reply_length(qint32 d, qint16 n) {
    const qint64 q = d / 3;
    const qint64 r = d % 3;
    qint64 len = q * (15 * qint64(n) + 59);
    if (r == 1) len += 5 * qint64(n) + 27;
    else if (r == 2) len += 10 * qint64(n) + 43;
    if (len > std::numeric_limits<qint32>::max() || len < 0) {
        throw OverflowError("TAG data reply length does not fit 32 bits");
    }
    return qint32(len);
}

Operation tag_list_read_operation(tag_data_select* dialog) {
    const QPointer<tag_data_select> target = dialog;
    return logger_read_operation([target](Prog_Dialog& dlg) { readTagList(dlg, target); }, OnFailure::CallerList,
                                 [target] {
                                     if (target) target->unload();
                                 });
}

Operation tag_records_read_operation(tag_data* w, int n, std::shared_ptr<clsLOGGER_DATA> ds) {
    RecordsRead read;
    read.number = n;
    read.records = ds ? ds->clsLOGGER_SETTING().data_count() : 0;
    read.timeout = kTagDataTimeout;
    read.request = [n, ds] {
        const clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();
        return RecordsRequest{numbered_command(link().cmd_t_r_req[kTagCmdData], n),
                              tag_data_reply_length(s.data_count(), data_ari_ch_count_mk(s))};
    };
    const QPointer<tag_data> target = w;
    read.hand = [target](const QString& reply, qint32 q, qint16 r) {
        if (target) target->tag_data_disp_FixedDb(reply, q, r);
    };
    return records_read_operation(std::move(read));
}

Operation mt1_records_load_operation(tag_data& w, const QByteArray& plain) {
    const ModelState& m = model();
    const QPointer<tag_data> target = &w;
    return records_load_operation(
        m.act_file_data ? double(m.act_file_data->clsLOGGER_SETTING().data_count()) : 0.0,
        [target, &plain](IFileProgress* progress) { file_tag_data_save(target.data(), plain, progress); });
}

std::optional<Operation> tag_save_operation(qint16 code) {
    switch (code) {
    case op_save_logger_tag_csv:
    case op_save_logger_mt1:
    case op_save_file_tag_csv:
    case op_save_file_mt1:
        break;
    default:
        return std::nullopt;
    }
    const QString path = home_state().save_file_path;
    return file_save_operation([code, path](Prog_Dialog& dlg) { saveTagFile(dlg, code, path); });
}

}  // namespace mq
