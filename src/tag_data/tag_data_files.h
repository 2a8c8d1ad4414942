#pragma once
// The TAG data window's side of the data files: opening an ".MT1" file into
// a new TAG data window, its record loader (run under the progress dialog,
// tag_data/ops_tag.h), and the two writers (".MT1" data file and TAG CSV export)
// of the active TAG data window.
//
// Like the window procedures they stand for, these work on the main window's
// active child window (the TAG data window being opened or saved) and on the
// current data set: the file data set when act_data_kind is 1, else the
// logger data set with the connected logger's status.
//
// Opening: the whole file is read, its tag line and CR LF checked, the body
// unscrambled and its header cut into the file data set by byte counts; the
// records are loaded, each value that is a
// number counted, then minimum and maximum are taken from the stored records
// and marked. A short or corrupt file is refused with a message and the new
// window closes again (data_win_init_flag True); a cancel closes it without
// a message.
#include <QByteArray>
#include <QString>

#include "platform/safe_file.h"

namespace mq {

class IFileProgress;
class tag_data;
struct HomeTargets;

// Fills the TAG data window w (the active child window, just created by the
// window table) from the ".MT1" file at home_state().open_file_path, as the
// file data set `key` ("F" and two digits).
void disp_file_tag_data_form_mt1(tag_data& w, const QString& key);

// Loads into window w the records of the unscrambled body into a fresh
// working database of the current file data set. A cancel leaves seq().file_cancel_flag True; a corrupt
// record is reported and sets it too (the window then closes).
void file_tag_data_save(tag_data* w, const QByteArray& body, IFileProgress* progress);

// The writers of the active TAG data window's current data set; records from
// the window's table, statistics from its setting (".MT1") or its summary
// table (CSV). On failure the result carries the message for the user.
FileResult file_tag_data_file_write_mt1(const QString& path, IFileProgress* progress);
FileResult file_tag_data_file_write_csv2(const QString& path, IFileProgress* progress);

// Puts the ".MT1" fill into the main window's hooks.
void install_tag_file_targets(HomeTargets& targets);

}  // namespace mq
