#pragma once
// The reads of the LOG side of the connected logger that the LOG data
// windows start:
//   the list read   every area's record count and, for areas that hold
//                   records, its LOG setting; shown in the area select dialog
//   a records read  one area's records in one exchange, handed whole to the
//                   LOG window that started it
//
// A reply record that cannot be read (a count that is no number, a setting
// record too short or with a field that is no number) ends the list read
// like a reply that did not come: the no-reply exit of the sequencer.
#include <QtGlobal>

#include <memory>

#include "log_settings/ops_log_setting.h"
#include "sequencer/prog_dialog.h"

namespace mq {

class clsLOGGER_DATA;
class log_data;
class log_data_select;

// Reply timeouts in 50 ms watchdog ticks.
inline constexpr qint16 kLogListTimeout = 14;
inline constexpr qint16 kLogDataTimeout = 20;

// Entry of the LOG read command table (L_R_CMD.REQ / .RSP) of the records.
inline constexpr int kLogCmdData = 1;

// Bytes of the LOG data reply for d records of c channels in use:
// q x (15c + 14), plus 5c + 12 for one record left over, 10c + 13 for two.
// 32-bit arithmetic; OverflowError when the length does not fit.
qint32 log_data_reply_length(qint32 d, qint16 c);

// The list read for the area select dialog (null: the list is only stored);
// a failure closes the dialog.
Operation log_list_read_operation(log_data_select* dialog);

// The records of area n (data set ds) for the LOG window w (null: the reply
// goes nowhere).
Operation log_records_read_operation(log_data* w, int n, std::shared_ptr<clsLOGGER_DATA> ds);

}  // namespace mq
