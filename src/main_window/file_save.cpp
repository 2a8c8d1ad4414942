#include "main_window/file_save.h"

#include <QDateTime>
#include <QFileInfo>

#include "main_window/config_files.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "model/data_set_handle.h"
#include "model/common_proc.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/grid.h"

namespace mq {

namespace {

const QString kFilterMl2 = QStringLiteral("Binary files (*.ML2)");
const QString kFilterMt1 = QStringLiteral("Binary files (*.MT1)");
const QString kFilterCsv = QStringLiteral("CSV files (*.csv)");

bool endsWithNoCase(const QString& name, const QString& ext) { return name.endsWith(ext, Qt::CaseInsensitive); }

// The data set behind a window key ("F.." file, "L.." logger); null when gone.
const clsLOGGER_SETTING* settingOf(const QString& key) { return DataSetHandle::of_tag(key).setting(); }

// The mode of the window's data: the connected logger's for a logger window,
// the file data set's own for a file window.
OpMode windowMode(const QString& key) {
    ModelState& m = model();
    if (key.startsWith(QLatin1Char('L'))) {
        return m.logger_main ? op_mode_of(m.logger_main->clsLOGGER_STATUS().mode_type()) : OpMode::None;
    }
    if (const DataSetHandle ds = DataSetHandle::of_tag(key); ds.is_file()) return op_mode_of(ds.status()->mode_type());
    return m.act_file_data ? op_mode_of(m.act_file_data->clsLOGGER_STATUS().mode_type()) : OpMode::None;
}

// A file name cannot carry the folder separator: it would name another folder.
QString fileNamePart(QString text) {
    text.replace(QLatin1Char('/'), QLatin1Char('_'));
    text.remove(QChar(u'\0'));
    return text;
}

}  // namespace

qint16 save_operation_code(bool loggerWindow, OpMode mode, bool csv) {
    if (loggerWindow) {
        if (mode == OpMode::Log) return csv ? op_save_logger_log_csv : op_save_logger_ml2;
        return csv ? op_save_logger_tag_csv : op_save_logger_mt1;
    }
    if (is_log_data(mode)) return csv ? op_save_file_log_csv : op_save_file_ml2;
    return csv ? op_save_file_tag_csv : op_save_file_mt1;
}

QString save_completed_name(const QString& name, OpMode mode, int filterIndex) {
    const bool log = is_log_data(mode);
    const bool tag = mode == OpMode::Tag;
    if (filterIndex == 1 && log) return endsWithNoCase(name, QStringLiteral(".ml2")) ? name : name + QStringLiteral(".ml2");
    if (filterIndex == 1 && tag) return endsWithNoCase(name, QStringLiteral(".mt1")) ? name : name + QStringLiteral(".mt1");
    if (filterIndex == 2 && (log || tag)) {
        return endsWithNoCase(name, QStringLiteral(".csv")) ? name : name + QStringLiteral(".csv");
    }
    return name;
}

QString tag_proposed_name(const QString& cell) {
    const QString t = cell.mid(2).trimmed();
    static const char* const formats[] = {"yy/MM/dd hh:mm:ss", "yyyy/MM/dd hh:mm:ss", "yy/MM/dd hh:mm",
                                          "yyyy/MM/dd hh:mm"};
    for (const char* f : formats) {
        const QDateTime d = QDateTime::fromString(t, QString::fromLatin1(f));
        if (d.isValid()) return QStringLiteral("TAG_") + d.toString(QStringLiteral("MMddhhmm"));
    }
    return QStringLiteral("TAG_");
}

void save_Click(HOME& home, const FileSaveHooks& hooks, SaveDialogMemory& memory) {
    IDataWindow* w = home.activeDataWindow();
    if (!w) return;
    HomeState& hs = home_state();
    BusyScope busy;
    const QString key = w->Tag();

    OpMode mode = OpMode::None;
    bool filtered = false;
    QString name;
    int filterIndex = 0;
    try {
        mode = get_cur_mode_type();
        FileDialogRequest request;
        request.save = true;
        request.startDir = hs.lafp_save_dir;
        if (is_log_data(mode)) {
            request.filters = {kFilterMl2, kFilterCsv};
            // LOG starts with the data file; MEMORY keeps the filter last used.
            if (mode == OpMode::Log) memory.filterIndex = 1;
            const clsLOGGER_SETTING* s = settingOf(key);
            request.proposedName = fileNamePart(QStringLiteral("LOG_") + (s ? s->log_name() : QString()));
        } else if (mode == OpMode::Tag) {
            request.filters = {kFilterMt1, kFilterCsv};
            platform::Grid* g = w->vsFlexGrid1();
            const QString cell = g && g->Rows() > 1 && g->Cols() > 1 ? g->TextMatrix(1, 1) : QString();
            request.proposedName = tag_proposed_name(cell);
        }
        filtered = !request.filters.isEmpty();
        request.filterIndex = memory.filterIndex;
        const FileDialogAnswer answer =
            hooks.dialog ? hooks.dialog(home.mainWidget(), request) : show_file_dialog(home.mainWidget(), request);
        if (!answer.accepted) {
            hs.close_cancel_flag = true;
            return;
        }
        if (answer.filterIndex > 0) memory.filterIndex = answer.filterIndex;
        filterIndex = answer.filterIndex;
        name = save_completed_name(answer.path, mode, filterIndex);
    } catch (const std::exception&) {
        return;
    }

    hs.lafp_save_dir = QFileInfo(name).absolutePath();
    LAFP_save();

    hs.save_file_path = name;
    // The file type chosen decides; without a choice of type, the name does.
    const bool csv = filtered ? filterIndex == 2 : name.right(3).compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0;
    const bool loggerWindow = key.startsWith(QLatin1Char('L'));
    const qint16 code = save_operation_code(loggerWindow, windowMode(key), csv);

    bool saved = false;
    try {
        saved = hooks.run ? hooks.run(code) : false;
    } catch (const std::exception&) {
        saved = false;
    }

    if (saved) {
        if (!key.startsWith(QLatin1Char('F'))) {
            for (int i = 0; i < kWinSlots; ++i) {
                if (hs.win_key_table[i] == key && hs.win_unsaved_flags[i] == 1) hs.win_unsaved_flags[i] = 2;
            }
        }
    } else {
        // Nothing was written: a window closing with "Yes" stays open.
        hs.close_cancel_flag = true;
    }
}

void install_file_save_target(HomeTargets& targets, FileSaveHooks hooks) {
    auto memory = std::make_shared<SaveDialogMemory>();
    targets.commands[HomeCommand::Save] = [hooks, memory] {
        if (!ModelSlot::installed()) return;
        if (HOME* home = home_window()) save_Click(*home, hooks, *memory);
    };
}

}  // namespace mq
