#pragma once
// The sequencer operations that read the LOG side of the connected logger:
//   10 op_read_log_list     every area's record count and, for areas that
//                           hold records, its LOG setting; shown in the LOG
//                           area select dialog
//   20 op_read_log_setting  every area's LOG setting; shown in the settings
//                           editor through a hook the editor supplies
//   50 op_read_log_data     one area's records in one exchange, handed whole
//                           to the active LOG data window
//
// A reply record that cannot be read (a count that is no number, a setting
// record too short or with a field that is no number) ends operations 10 and
// 20 like a reply that did not come: the no-reply exit of the sequencer.
//
// install_log_read_operations() registers them with the sequencer; the
// application calls it once at start-up (tests per test).
#include <QString>
#include <QtGlobal>

#include <functional>

#include "sequencer/seq_state.h"

namespace mq {

class Prog_Dialog;

// Reply timeouts in 50 ms watchdog ticks.
inline constexpr qint16 kLogListTimeout = 14;
inline constexpr qint16 kLogSettingTimeout = 20;
inline constexpr qint16 kLogDataTimeout = 20;

// Entries of the LOG read command table (L_R_CMD.REQ / .RSP).
inline constexpr int kLogCmdSetting = 0;
inline constexpr int kLogCmdData = 1;
inline constexpr int kLogCmdCount = 3;

// A command-table entry with its characters 7 and 8 replaced by the area (or
// tag) number in two digits; the rest of the entry as loaded.
QString area_command(const QString& entry, int n);

// Bytes of the LOG data reply for d records of c channels in use:
// q x (15c + 14), plus 5c + 12 for one record left over, 10c + 13 for two.
// 32-bit arithmetic; OverflowError when the length does not fit.
qint32 log_data_reply_length(qint32 d, qint16 c);

// Makes sure the logger's twenty area data sets "L01".."L20" exist, adding
// the missing ones in area order (the defaults entry "L00" and others stay).
void ensure_area_data_sets();

// The operations' bodies, run inside the shown progress dialog.
void op_read_log_list_run(Prog_Dialog& dlg);
void op_read_log_data_run(Prog_Dialog& dlg);

// Operation 20 with the settings editor's side: `disp` shows area n after
// its record was stored, `unload_editor` unloads the editor on a failed or
// cancelled read. Either may be empty.
ProgOperation op_read_log_setting_operation(std::function<void(qint16 area)> disp,
                                            std::function<void()> unload_editor);

// Registers 10 and 50, and 20 with the given editor hooks.
void install_log_read_operations(std::function<void(qint16 area)> log_set_value_disp = {},
                                 std::function<void()> unload_log_set_value = {});

}  // namespace mq
