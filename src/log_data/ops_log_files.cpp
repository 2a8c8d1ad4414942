#include "log_data/ops_log_files.h"

#include <QLabel>
#include <QPointer>

#include "log_data/log_data.h"
#include "log_data/log_data_files.h"
#include "main_window/file_save.h"
#include "main_window/home_state.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "sequencer/file_fill.h"
#include "sequencer/file_progress.h"

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
Operation recordsLoad(log_data& w, void (*loader)(log_data*, IFileProgress*)) {
    const clsLOGGER_SETTING* s = fileSetting();
    const QPointer<log_data> target = &w;
    return records_load_operation(s ? double(s->data_count()) : 0.0,
                                  [target, loader](IFileProgress* progress) { loader(target.data(), progress); });
}

void saveLogFile(Prog_Dialog& dlg, qint16 code, const QString& path) {
    const clsLOGGER_SETTING* s = saveSetting(code);
    FileResult result = nothing_to_save();
    if (s) {
        dlg.set_progress_max(double(s->data_count()) + 1.0);
        ThrottledProgress progress(dlg);
        if (code == op_save_logger_log_csv || code == op_save_file_log_csv) {
            result = file_log_data_file_write_csv2(path, &progress,
                                                   [&dlg](const QString& caption) { dlg.Label1->setText(caption); });
        } else {
            result = file_log_data_file_write_ml2(path, &progress);
        }
    }
    end_file_save(dlg, result);
}

}  // namespace

Operation ml1_records_load_operation(log_data& w) { return recordsLoad(w, &file_log_data_save); }
Operation ml2_records_load_operation(log_data& w) { return recordsLoad(w, &file_log_data_save_ml2); }

Operation data_grid_fill_operation(log_data& w) {
    const QPointer<log_data> target = &w;
    Operation op = file_load_operation([target](Prog_Dialog& dlg) { fill_data_grid(target.data(), dlg); });
    op.phase = QStringLiteral("ﾃﾞｰﾀ表示処理中(1/10)です。他の操作は行わないで下さい。");
    op.cancellable = false;
    op.draw_phase_first = true;
    return op;
}

std::optional<Operation> log_save_operation(qint16 code) {
    switch (code) {
    case op_save_logger_log_csv:
    case op_save_logger_ml2:
    case op_save_file_log_csv:
    case op_save_file_ml2:
        break;
    default:
        return std::nullopt;
    }
    const QString path = home_state().save_file_path;
    return file_save_operation([code, path](Prog_Dialog& dlg) { saveLogFile(dlg, code, path); });
}

}  // namespace mq
