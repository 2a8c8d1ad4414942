#pragma once
// The LOG data window's side of the data files: opening an ".ML2" or ".ML1"
// file into a new LOG data window, the record loaders the sequencer runs for
// them, the table fill of an ".ML2" window, and the two writers (".ML2" data
// file and LOG CSV export) of the active LOG data window.
//
// The loaders and the table fill work on the window being opened (given to
// them; none is an error), the writers
// on the active window (the one the save command saves), and all on the
// current data set: the file data set when act_data_kind is 1, else the
// logger data set with the connected logger's status.
//
// Opening an ".ML2" file: the file is read once; its header (bytes 0-235) is
// unscrambled and cut into the file data set; an abnormally
// ended file (equal start and stop time, or no record count) is warned about
// and its records recounted from the same bytes; then the records are loaded
// from them (every 15,000 records a further table, joined by "qTABLE"), and
// the table and its statistics are filled (after a question for 10,000
// records or more), each under the progress dialog (log_data/ops_log_files.h).
// ".ML1": the body, cut by the length its header gives, is unscrambled and
// its records loaded. A cancel or a failure
// closes the new window again with data_win_init_flag True; failures are
// reported with a message, a cancel is not.
#include <QString>

#include <functional>

#include "platform/safe_file.h"

namespace mq {

class IFileProgress;
class Prog_Dialog;
class log_data;
struct HomeTargets;

// Fills the LOG data window w (just created by the window table) from the
// ".ML2" file at home_state().open_file_path (taken once, at the start), as
// the file data set `key` ("F" and two digits).
void disp_file_log_data_form_ml2(log_data& w, const QString& key);

// The same for an older ".ML1" file.
void disp_file_log_data_form_ml1(log_data& w, const QString& key);

// Loads into window w the records of the ".ML2" file the opening read (its
// bytes handed over with the window) into a fresh working database of the current file data set, with the footer's
// statistics and graph options, the running sums and the integration. A
// cancel leaves seq().file_cancel_flag True; a failure is reported and sets
// it too (the window then closes). A file whose records region is shorter
// than its header count is reported; the records it holds are kept and the
// record count follows them.
void file_log_data_save_ml2(log_data* w, IFileProgress* progress);

// Loads into window w the records of the unscrambled ".ML1" body the opening
// handed over with the window, with the trailer's statistics and the graph
// defaults, counting and colouring the alarm values.
void file_log_data_save(log_data* w, IFileProgress* progress);

// The table of the ".ML2" window w, which the loader filled as it went, in
// ten announced phases: minimum and maximum of the values the loader read
// (their cells marked in the table and in every block table it created),
// average, the records, the alarm counts and colours, and the channel heads.
void fill_data_grid(log_data* w, Prog_Dialog& dlg);

// The writers of the active LOG data window's current data set. They take the
// records from the window's records table and write through a temporary file
// renamed over the target only on success; the result carries the message
// for the user on failure.
FileResult file_log_data_file_write_ml2(const QString& path, IFileProgress* progress);
// setCaption (may be empty) receives "ファイルへ書き込んでいます。(k/m)" before
// each file of a file data set's export.
FileResult file_log_data_file_write_csv2(const QString& path, IFileProgress* progress,
                                         const std::function<void(const QString&)>& setCaption = {});

// Puts the ".ML1" and ".ML2" fills into the main window's hooks.
void install_log_file_targets(HomeTargets& targets);

}  // namespace mq
