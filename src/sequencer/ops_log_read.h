#pragma once
// The sequencer operations that read the LOG side of the connected logger:
//   10 op_read_log_list     every area's record count and, for areas that
//                           hold records, its LOG setting; shown in the LOG
//                           area select dialog
//   20 op_read_log_setting  every area's LOG setting; shown in the settings
//                           editor through a hook the editor supplies
//   50 op_read_log_data     one area's records in one exchange, handed whole
//                           to the operation's target window
//
// A reply record that cannot be read (a count that is no number, a setting
// record too short or with a field that is no number) ends operations 10 and
// 20 like a reply that did not come: the no-reply exit of the sequencer.
//
// The records, dialogs and windows they fill live above the sequencer and are
// reached through LogReadTargets; register_log_read_operations() registers
// the operations with them (the LOG data subsystem's
// install_log_read_operations() fills the targets; the application calls it
// once at start-up, tests per test).
#include <QString>
#include <QWidget>
#include <QtGlobal>

#include <functional>

#include "sequencer/seq_state.h"

namespace mq {

class Prog_Dialog;
class clsLOGGER_SETTING;

// What the LOG read operations hand upwards. Any hook may be empty.
struct LogReadTargets {
    // Parses one LOG-setting record into the setting of its area; raises
    // an Error when the record cannot be read (the read then ends like a reply
    // that did not come).
    std::function<void(clsLOGGER_SETTING& area, const QString& record)> store_setting;
    // Operation 10: area n's record count was stored; area n's setting was
    // stored. target: the operation's target window (the area select dialog).
    std::function<void(QWidget* target, qint16 n)> list_count_stored;
    std::function<void(QWidget* target, qint16 n)> list_setting_stored;
    // Operation 10's exit unloads the area select dialog with it.
    std::function<void()> unload_list_dialog;
    // Operation 20: area n's setting was stored; a failed or cancelled read
    // unloads the settings editor.
    std::function<void(qint16 n)> setting_stored;
    std::function<void()> unload_setting_editor;
    // Operation 50: the whole reply (frame included, one character per byte),
    // q full groups of three records and r records in the last group, for the
    // target window (seq().prog_target_window; null when none was given).
    std::function<void(QWidget* target, const QString& reply, qint32 q, qint16 r)> data_reply;
};

// The area (or tag) number in the two digits the commands carry.
QString log_area_digits(int area);

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

// The operations, run inside the shown progress dialog.
ProgOperation op_read_log_list_operation(const LogReadTargets& targets);
ProgOperation op_read_log_setting_operation(const LogReadTargets& targets);
ProgOperation op_read_log_data_operation(const LogReadTargets& targets);

// Registers 10, 20 and 50 with the given targets.
void register_log_read_operations(const LogReadTargets& targets);

}  // namespace mq
