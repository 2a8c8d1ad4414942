#pragma once
// The file operations of the LOG data windows, each shown under the progress
// dialog:
//   the record loads of an opened ".ML1" or ".ML2" file into the working
//   database of the window being filled, and the table fill of an ".ML2"
//   window with its statistics (log_data/log_data_files.h);
//   the saves of the active LOG window as LOG CSV or ".ML2", from a logger or
//   a file window (the kinds of main_window/file_save.h).
//
// A save that fails shows the user why, writes nothing and raises
// SaveFailedError (main_window/file_save.h) out of prog_run, so that the save
// command keeps the window's data marked unsaved (prog_run_save).
#include <QtGlobal>

#include <optional>

#include "sequencer/prog_dialog.h"

namespace mq {

class log_data;

Operation ml1_records_load_operation(log_data& w);
Operation ml2_records_load_operation(log_data& w);
Operation data_grid_fill_operation(log_data& w);

// The save of the active LOG window as save kind `code` (the path is
// home_state().save_file_path); none for a kind that is not LOG's. The save
// command runs it with prog_run_save (sequencer/file_progress.h).
std::optional<Operation> log_save_operation(qint16 code);

}  // namespace mq
