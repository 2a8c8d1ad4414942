#pragma once
// The sequencer operations of the LOG data files:
//   600 op_descramble_text    file_raw_text unscrambled into file_plain_text
//                             (the sequencer's, sequencer/file_fill.h)
//    52 op_load_ml1_records   an ".ML1" file's records into the working database
//    53 op_load_ml2_records   an ".ML2" file's records into the working database
//   700 op_fill_data_grid     an ".ML2" window's table and statistics
//   420 / 520                 LOG CSV export of a logger / file window
//   440 / 540                 ".ML2" data file of a logger / file window
//
// A save operation that fails shows the user why, writes nothing and raises
// SaveFailedError (main_window/file_save.h) out of prog_dialog_show, so that
// the save command keeps the window's data marked unsaved (prog_run_save).
//
// install_log_file_operations() registers them; the application calls it once
// at start-up (tests per test).
#include <QtGlobal>

#include "main_window/scrambling.h"
#include "sequencer/file_fill.h"
#include "sequencer/file_progress.h"

namespace mq {

class Prog_Dialog;

void op_load_ml1_records_run(Prog_Dialog& dlg);
void op_load_ml2_records_run(Prog_Dialog& dlg);
void op_fill_data_grid_run(Prog_Dialog& dlg);
// 420, 440, 520 and 540, by seq().prog_mode.
void op_save_log_file_run(Prog_Dialog& dlg);

// Registers 600, 52, 53, 700, 420, 440, 520 and 540.
void install_log_file_operations();

}  // namespace mq
