#include "log_data/ops_log_files.h"

#include <QLabel>

#include "log_data/log_data_files.h"
#include "main_window/file_save.h"
#include "main_window/home_state.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "sequencer/file_fill.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

namespace mq {

namespace {

const clsLOGGER_SETTING* fileSetting() {
    const ModelState& m = model();
    return m.act_file_data ? &m.act_file_data->clsLOGGER_SETTING() : nullptr;
}

const clsLOGGER_SETTING* loggerSetting() {
    const ModelState& m = model();
    return m.act_logger_data ? &m.act_logger_data->clsLOGGER_SETTING() : nullptr;
}

// The data set whose record count sizes the progress bar of a save.
const clsLOGGER_SETTING* saveSetting(qint16 code) {
    switch (code) {
    case op_save_logger_log_csv: return model().act_data_kind == 1 ? fileSetting() : loggerSetting();
    case op_save_logger_ml2: return loggerSetting();
    default: return fileSetting();
    }
}

// A load: the bar runs from 0 to the file data set's record count.
void runLoad(Prog_Dialog& dlg, void (*loader)(IFileProgress*)) {
    dlg.set_progress_value(0);
    const clsLOGGER_SETTING* s = fileSetting();
    dlg.set_progress_max(s ? double(s->data_count()) : 0.0);
    {
        ThrottledProgress progress(dlg);
        loader(&progress);
    }
    dlg.unload();
}

}  // namespace

// ---------------------------------------------------------------- operations

void op_load_ml1_records_run(Prog_Dialog& dlg) { runLoad(dlg, &file_log_data_save); }
void op_load_ml2_records_run(Prog_Dialog& dlg) { runLoad(dlg, &file_log_data_save_ml2); }

void op_fill_data_grid_run(Prog_Dialog& dlg) { fill_data_grid(dlg); }

void op_save_log_file_run(Prog_Dialog& dlg) {
    const qint16 code = seq().prog_mode;
    const QString path = home_state().save_file_path;
    const clsLOGGER_SETTING* s = saveSetting(code);
    FileResult result;
    if (!s) {
        result = FileResult::failure(QStringLiteral("保存するデータがありません。"));
    } else {
        dlg.set_progress_max(double(s->data_count()) + 1.0);
        ThrottledProgress progress(dlg);
        if (code == op_save_logger_log_csv || code == op_save_file_log_csv) {
            result = file_log_data_file_write_csv2(path, &progress,
                                                   [&dlg](const QString& caption) { dlg.Label1->setText(caption); });
        } else {
            result = file_log_data_file_write_ml2(path, &progress);
        }
    }
    if (!result) {
        platform::msgBox(&dlg, result.message, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        dlg.unload();
        throw SaveFailedError(result.message.toStdString());
    }
    dlg.unload();
}

void install_log_file_operations() {
    register_descramble_operation();
    prog_register_operation(op_load_ml1_records, ProgOperation{&op_load_ml1_records_run, {}});
    prog_register_operation(op_load_ml2_records, ProgOperation{&op_load_ml2_records_run, {}});
    prog_register_operation(op_fill_data_grid, ProgOperation{&op_fill_data_grid_run, {}});
    for (qint16 code : {op_save_logger_log_csv, op_save_logger_ml2, op_save_file_log_csv, op_save_file_ml2}) {
        prog_register_operation(code, ProgOperation{&op_save_log_file_run, {}});
    }
}

}  // namespace mq
