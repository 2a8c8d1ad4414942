#pragma once
// Pieces every setting write of the sequencer shares (LOG and TAG settings,
// defaults, reservation), and the logger-clock reads of the settings editors.
//
// A setting command is answered with ACK or NAK. A NAK is the logger refusing
// the write: the operation stops there and ends as failed with a message that
// names what was refused, and the link stays up (the logger answered; it is
// the value it would not take).
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace mq {

class Prog_Dialog;
class clsLOGGER_SETTING;

enum class WriteReply {
    Accepted,  // ACK
    Rejected,  // NAK
    NoReply,   // no complete reply after the link's attempts, or cancelled
};

// Reply timeout of a setting command in 50 ms watchdog ticks.
inline constexpr qint16 kSettingWriteTimeout = 14;

// Sends one setting command (reply length 3) and tells ACK from NAK.
WriteReply send_setting_write(const QString& command, qint16 timeoutTicks = kSettingWriteTimeout);

// The message of a refused write; `what` names the setting ("LOG03 警報値").
QString setting_write_rejected_message(const QString& what);

// Names of the four setting commands of an area in sending order, and of the
// two reservation commands, for the refusal message.
QString setting_command_name(int index);  // 0 interval .. 3 integration bases
QString reserve_command_name(bool stop);

// The ending of an editor's write after a NAK: the message, the progress
// dialog and the editor that started it unloaded, the current data set bound
// again from the active window; the link stays connected. The operation
// ends Refused.
void exit_write_rejected(Prog_Dialog& dlg, const QString& what);

// Names a setting or a command by its number or index in a refusal message.
using SettingNameFn = QString (*)(int);

// Sends the commands of one setting in order, the bar at progressBase + i + 1
// for command i when progressBase >= 0. On a refusal (the message names
// `owner` and command_name(i)) or no reply the operation has ended and the
// current logger data set is released: false.
bool send_setting_commands(Prog_Dialog& dlg, const QStringList& commands, const QString& owner,
                           SettingNameFn command_name, int progressBase);

// What builds a setting's commands from the setting and its number "nn".
using SettingCommandsFn = QStringList (*)(const clsLOGGER_SETTING& s, const QString& nn);

// Sends the commands `make` builds from the logger data set under `key` as
// number `nn` (as send_setting_commands); a write leaves no current logger
// data set behind. No such data set ends the operation with no reply. False
// when the operation has ended.
bool send_data_set_setting(Prog_Dialog& dlg, const QString& key, const QString& nn, const SettingCommandsFn& make,
                           const QString& owner, SettingNameFn command_name, int progressBase);

// Every setting 1..count in turn, the bar at n for setting n; owner(n) names
// it in a refusal. False when the operation has ended.
bool send_all_settings(Prog_Dialog& dlg, int count, const SettingCommandsFn& make,
                       SettingNameFn owner, SettingNameFn command_name);

// The defaults "L00" (added when missing) sent as number "00", named
// "既定収録設定". No logger ends the operation with no reply. False when the
// operation has ended.
bool send_default_setting(Prog_Dialog& dlg, const SettingCommandsFn& make,
                          SettingNameFn command_name);

// The current data set bound again from the main window's active data
// window, as a settings editor does when it closes: none open makes the kind
// 2 with no current data set while a logger is connected, and leaves no data
// set and no mode once the link has ended; a window key beginning with "L" the logger data
// set of that key, any other the file data set (kind 1). A key no longer in
// its collection leaves no current data set of that kind.
void setting_editor_rebind();

// ---- the logger clock

// Status-command entries of the clock and the remaining memory.
inline constexpr int kStatusCmdClock = 4;
inline constexpr int kStatusCmdMemory = 12;
inline constexpr qint16 kClockTimeout = 10;
inline constexpr qint16 kMemoryTimeout = 600;

// "20" + yy "/" mm "/" dd " " hh ":" nn ":" ss from characters 5 to 16 of a
// clock reply (STX at 1). Invalid QDateTime when they do not form a date.
QDateTime clock_from_reply(const QString& reply);

// Sends the clock command and reads its reply; invalid QDateTime when no
// valid reply came (the caller decides what that means).
QDateTime send_clock_read();

enum class DirectClock { Ok, Disconnected, LoggerChanged };

// The settings editors' own clock read outside the sequencer: identity check
// (1: comm_disconnect, other non-zero: comm_logger_change), then the clock
// command (no valid reply: comm_disconnect). The time read is put in *now.
DirectClock read_logger_clock_direct(QDateTime* now);

// The reservation time checked against the logger clock: passed when `when`
// ("yyyy/mm/dd hh:nn:ss") lies more than 30 seconds after `clock`.
bool reserve_time_after_clock(const QString& when, const QDateTime& clock);

}  // namespace mq
