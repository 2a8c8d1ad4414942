#pragma once
// The save command: saves the active data window as a data file (".ML2" for
// LOG and MEMORY data, ".MT1" for TAG data) or as a CSV file, by the file
// type chosen in the save dialog. It proposes a name, completes the
// extension, remembers the folder, and runs one of eight save operations in
// the sequencer (chosen by the kind of window, the mode of its data and the
// file type).
//
// The window's unsaved flag becomes "saved" only when the writer reports
// success; a failed or cancelled save sets close_cancel_flag, so a window
// that was closing with "Yes" stays open.
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

#include "main_window/file_open.h"
#include "model/op_mode.h"
#include "platform/errors.h"

namespace mq {

class HOME;
struct HomeTargets;

// Raised by a save operation after it has shown the user why nothing was
// written; the dispatch then keeps the window's data marked unsaved.
struct SaveFailedError : IoError {
    using IoError::IoError;
};

// The kinds of save: what the window shows (logger or file data) and what is
// written (LOG CSV, TAG CSV, ".ML2", ".MT1").
inline constexpr qint16 op_save_logger_log_csv = 420;
inline constexpr qint16 op_save_logger_tag_csv = 430;
inline constexpr qint16 op_save_logger_ml2 = 440;
inline constexpr qint16 op_save_logger_mt1 = 450;
inline constexpr qint16 op_save_file_log_csv = 520;
inline constexpr qint16 op_save_file_tag_csv = 530;
inline constexpr qint16 op_save_file_ml2 = 540;
inline constexpr qint16 op_save_file_mt1 = 550;

// Runs the save of kind `code` with home_state().save_file_path under the
// progress dialog; true when the file was written.
using SaveOperationRunner = std::function<bool(qint16 code)>;

struct FileSaveHooks {
    FileDialogFn dialog;       // empty: show_file_dialog
    SaveOperationRunner run;   // empty: nothing is saved (reported as a failure)
};

// The kind of save for a window: a logger window (key "L..") or a file
// window, the mode of its data, and whether a CSV file was chosen.
qint16 save_operation_code(bool loggerWindow, OpMode mode, bool csv);

// The chosen name with its extension completed by the mode and the filter
// (1 data file, 2 CSV). An extension already there in any letter case stays.
QString save_completed_name(const QString& name, OpMode mode, int filterIndex);

// The proposed name of a TAG window: "TAG_" and month, day, hour and minute
// of the time text (from its third character on), two digits each; "TAG_"
// alone when the text holds no time.
QString tag_proposed_name(const QString& firstRecordTimeCell);

// The dialog's own memory: the filter in force when it was last closed.
struct SaveDialogMemory {
    int filterIndex = 1;
};

// The command (menu, toolbar button 14, and a data window closing with "Yes").
void save_Click(HOME& home, const FileSaveHooks& hooks, SaveDialogMemory& memory);

// Puts the command into the Save entry of HomeTargets::commands; the main window is found through
// the data model's main_window.
void install_file_save_target(HomeTargets& targets, FileSaveHooks hooks);

}  // namespace mq
