#pragma once
// The operations of the TAG data windows, each built where the user acts:
//   the list read    every tag's record count and, for tags that hold
//                    records, its TAG setting; then the logger's 20 worker
//                    names and 20 comments; shown in the TAG select dialog
//   a records read   one tag's records in one exchange, handed whole to the
//                    TAG window that started it
//   a record load    an opened ".MT1" file's records into the working
//                    database of the window being filled
//   the saves        TAG CSV export or ".MT1" data file of the active TAG
//                    window, from a logger or a file window
//
// A reply record that cannot be read (its parse raises mq::Error) ends the
// list read like a reply that did not come. A save whose writer fails shows
// the user why and raises SaveFailedError out of prog_run, so that the save
// command keeps the window's data marked unsaved.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

#include "sequencer/prog_dialog.h"
#include "tag_settings/ops_tag_setting.h"

namespace mq {

class clsLOGGER_DATA;
class tag_data;
class tag_data_select;

// Reply timeouts in 50 ms watchdog ticks.
inline constexpr qint16 kTagListTimeout = 14;
inline constexpr qint16 kTagNameListTimeout = 10;
inline constexpr qint16 kTagDataTimeout = 14;

// Entry of the TAG read command table (T_R_CMD.REQ / .RSP) of the records,
// and entries of the status table (S_CMD.REQ / .RSP) of the name lists.
inline constexpr int kTagCmdData = 1;
inline constexpr int kStatusCmdWorker = 16;
inline constexpr int kStatusCmdComment = 17;

// Bytes of the TAG data reply for d records of n channels in use:
// q x (15n + 59), plus 5n + 27 for one record left over, 10n + 43 for two.
// OverflowError when the length does not fit 32 bits.
qint32 tag_data_reply_length(qint32 d, qint16 n);

// The list read for the select dialog (null: the list is only stored); a
// failure closes the dialog.
Operation tag_list_read_operation(tag_data_select* dialog);

// The records of tag n (data set ds) for the TAG window w (null: the reply
// goes nowhere).
Operation tag_records_read_operation(tag_data* w, int n, std::shared_ptr<clsLOGGER_DATA> ds);

// The load of the unscrambled ".MT1" body `plain` (which must outlive the
// showing) into window w.
Operation mt1_records_load_operation(tag_data& w, const QByteArray& plain);

// The save of the active TAG window as save kind `code` (the path is
// home_state().save_file_path); none for a kind that is not TAG's. The save
// command runs it with prog_run_save (sequencer/file_progress.h).
std::optional<Operation> tag_save_operation(qint16 code);

}  // namespace mq
