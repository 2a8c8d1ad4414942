#include "sequencer/ops_tag.h"

#include <limits>
#include <memory>

#include "main_window/conversions.h"
#include "main_window/file_save.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "sequencer/file_progress.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/records_read.h"
#include "sequencer/seq_state.h"

namespace mq {

namespace {

constexpr int kTags = 20;

QString two(int n) { return QString::number(n).rightJustified(2, u'0').right(2); }
QString tag_key(int n) { return QStringLiteral("L") + two(n); }

// The expected reply length of a command-table entry; 0 when the entry is
// not a number, which the link refuses as a failed exchange.
qint32 reply_length(const CommandTable& rsp, int entry) { return rsp[entry].trimmed().toInt(); }

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

void call(const std::function<void(qint16)>& f, int n) {
    if (f) f(qint16(n));
}

// ---------------------------------------------------------------- 60

void op_read_tag_list_run(Prog_Dialog& dlg, const TagOperationHooks& h) {
    if (dlg.identity_check() != 0) return;
    if (!model().logger_main) {
        dlg.exit_no_reply();
        return;
    }
    dlg.set_progress_max(2 * kTags);
    ensure_tag_data_sets();
    LinkState& ln = link();
    const QString countEntry = ln.cmd_t_r_req[kTagCmdCount];
    const QString settingEntry = ln.cmd_t_r_req[kTagCmdSetting];
    const qint32 countLen = reply_length(ln.cmd_t_r_rsp, kTagCmdCount);
    const qint32 settingLen = reply_length(ln.cmd_t_r_rsp, kTagCmdSetting);

    for (int n = 1; n <= kTags; ++n) {
        dlg.set_progress_value(n);
        clsLOGGER_SETTING& tag = model().logger_main->colLOGGER_DATA().Item(tag_key(n))->clsLOGGER_SETTING();
        if (!send_data_sub(tag_number_command(countEntry, n), countLen, kTagListTimeout) ||
            !stored([&tag] { tag_data_ct_save(tag, rd_string_make()); })) {
            dlg.exit_no_reply();
            return;
        }
        call(h.tag_data_ct_disp, n);
        if (tag.data_count() != 0) {
            if (!send_data_sub(tag_number_command(settingEntry, n), settingLen, kTagSettingTimeout) ||
                !h.tag_para_data_save || !stored([&h, &tag] { h.tag_para_data_save(tag, rd_string_make()); })) {
                dlg.exit_no_reply();
                return;
            }
            call(h.tag_data_select_disp, n);
        }
    }
    // A read leaves no current logger data set behind.
    DataSetHandle::release_current(CurrentRef::Logger);

    const QString workerEntry = ln.cmd_s_req[kStatusCmdWorker];
    const QString commentEntry = ln.cmd_s_req[kStatusCmdComment];
    const qint32 workerLen = reply_length(ln.cmd_s_rsp, kStatusCmdWorker);
    const qint32 commentLen = reply_length(ln.cmd_s_rsp, kStatusCmdComment);
    for (int n = 1; n <= kTags; ++n) {
        dlg.set_progress_value(kTags + n);
        if (!send_data_sub(tag_number_command(workerEntry, n), workerLen, kTagNameListTimeout) ||
            (h.tag_worker_data_save && !stored([&h] { h.tag_worker_data_save(rd_string_make()); }))) {
            dlg.exit_no_reply();
            return;
        }
        if (!send_data_sub(tag_number_command(commentEntry, n), commentLen, kTagNameListTimeout) ||
            (h.tag_comment_data_save && !stored([&h] { h.tag_comment_data_save(rd_string_make()); }))) {
            dlg.exit_no_reply();
            return;
        }
    }
    dlg.exit_success();
}

// ---------------------------------------------------------------- 55

void op_read_tag_data_run(Prog_Dialog& dlg, const TagOperationHooks& h) {
    const auto ds = model().act_logger_data;
    const qint16 n = seq().prog_target_no;
    const qint32 d = ds ? ds->clsLOGGER_SETTING().data_count() : 0;
    run_records_read(
        dlg, d, kTagDataTimeout,
        [ds, n, d] {
            const qint16 c = data_ari_ch_count_mk(ds->clsLOGGER_SETTING());
            return RecordsRequest{tag_number_command(link().cmd_t_r_req[kTagCmdData], n), tag_data_reply_length(d, c)};
        },
        h.tag_data_disp_FixedDb);
}

// ---------------------------------------------------------------- 57

void op_load_mt1_records_run(Prog_Dialog& dlg, const TagOperationHooks& h) {
    dlg.set_progress_value(0);
    const ModelState& m = model();
    dlg.set_progress_max(m.act_file_data ? double(m.act_file_data->clsLOGGER_SETTING().data_count()) : 0.0);
    if (h.file_tag_data_save) {
        ThrottledProgress progress(dlg);
        h.file_tag_data_save(seq().prog_target_window.data(), &progress);
    }
    dlg.unload();
}

// ---------------------------------------------------------------- saves

void op_save_tag_file_run(Prog_Dialog& dlg, const TagOperationHooks& h) {
    const qint16 code = seq().prog_mode;
    const QString path = home_state().save_file_path;
    const ModelState& m = model();
    const bool logger = code == op_save_logger_tag_csv || code == op_save_logger_mt1;
    const bool csv = code == op_save_logger_tag_csv || code == op_save_file_tag_csv;
    const auto& writer = csv ? h.write_csv : h.write_mt1;
    const clsLOGGER_SETTING* s = nullptr;
    if (logger && m.act_logger_data) s = &m.act_logger_data->clsLOGGER_SETTING();
    if (!logger && m.act_file_data) s = &m.act_file_data->clsLOGGER_SETTING();
    FileResult result;
    if (!s || !writer) {
        result = FileResult::failure(QStringLiteral("保存するデータがありません。"));
    } else {
        dlg.set_progress_max(double(s->data_count()) + 1.0);
        ThrottledProgress progress(dlg);
        result = writer(path, &progress);
    }
    if (!result) {
        platform::msgBox(&dlg, result.message, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        dlg.unload();
        throw SaveFailedError(result.message.toStdString());
    }
    dlg.unload();
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

QString tag_number_command(const QString& entry, int n) {
    return entry.left(6).leftJustified(6, u' ') + two(n) + entry.mid(8);
}

void ensure_tag_data_sets() {
    const auto& root = model().logger_main;
    if (!root) return;
    colLOGGER_DATA& col = root->colLOGGER_DATA();
    for (int n = 1; n <= kTags; ++n) {
        try {
            (void)col.Item(tag_key(n));
        } catch (const MissingKeyError&) {
            col.Add(tag_key(n));
        }
    }
}

void install_tag_operations(TagOperationHooks hooks) {
    const auto h = std::make_shared<const TagOperationHooks>(std::move(hooks));

    ProgOperation list;
    list.run = [h](Prog_Dialog& dlg) { op_read_tag_list_run(dlg, *h); };
    list.unload_caller = [h] {
        if (h->unload_select) h->unload_select();
    };
    prog_register_operation(op_read_tag_list, std::move(list));

    prog_register_operation(op_read_tag_data,
                            ProgOperation{[h](Prog_Dialog& dlg) { op_read_tag_data_run(dlg, *h); }, {}});
    prog_register_operation(op_load_mt1_records,
                            ProgOperation{[h](Prog_Dialog& dlg) { op_load_mt1_records_run(dlg, *h); }, {}});
    for (qint16 code : {op_save_logger_tag_csv, op_save_logger_mt1, op_save_file_tag_csv, op_save_file_mt1}) {
        prog_register_operation(code, ProgOperation{[h](Prog_Dialog& dlg) { op_save_tag_file_run(dlg, *h); }, {}});
    }
}

void install_tag_setting_read_operation(std::function<void(clsLOGGER_SETTING& tag, const QString& record)> parse,
                                        std::function<void(qint16 tag)> disp, std::function<void()> unload_editor) {
    ProgOperation op;
    op.run = [parse, disp](Prog_Dialog& dlg) {
        if (dlg.identity_check() != 0) return;
        if (!model().logger_main || !parse) {
            dlg.exit_no_reply();
            return;
        }
        dlg.set_progress_max(kTags);
        ensure_tag_data_sets();
        LinkState& ln = link();
        const QString entry = ln.cmd_t_r_req[kTagCmdSetting];
        const qint32 len = reply_length(ln.cmd_t_r_rsp, kTagCmdSetting);
        for (int n = 1; n <= kTags; ++n) {
            dlg.set_progress_value(n);
            clsLOGGER_SETTING& tag = model().logger_main->colLOGGER_DATA().Item(tag_key(n))->clsLOGGER_SETTING();
            if (!send_data_sub(tag_number_command(entry, n), len, kTagSettingTimeout) ||
                !stored([&parse, &tag] { parse(tag, rd_string_make()); })) {
                dlg.exit_no_reply();
                return;
            }
            if (disp) disp(qint16(n));
        }
        DataSetHandle::release_current(CurrentRef::Logger);
        dlg.exit_success();
    };
    op.unload_caller = std::move(unload_editor);
    prog_register_operation(op_read_tag_setting, std::move(op));
}

}  // namespace mq
