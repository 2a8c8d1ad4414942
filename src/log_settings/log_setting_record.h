#pragma once
// The LOG-setting record: one area's recording setting as the logger sends it
// (a fixed-column text record), and the four fixed-column setting commands
// plus the two reservation commands that write a setting back.
//
// Record positions are 1-based character positions of the reply text as the
// link returns it (STX at position 1, one character per received byte):
//   8 log name (8), 17/19/21 interval hours/minutes/seconds (2 each),
//   24 worker (8), 33 comment (8), 42 start yymmddhhnnss, 55 stop,
//   channel blocks of 37 at 78, 116, 164 and 202 (CH3 is ten characters
//   further on than the stride of 38 gives: 154..163 are spare).
// Channel block offsets: 0 input type, 2 unit (3), 6 scale minimum (5),
//   12 scale maximum (5), 18 decimal position, 20 low alarm (5),
//   26 high alarm (5), 32 integration base (5).
//
// Commands start from a template of the write-command table (R_P_CMD.REQ,
// link().cmd_r_p_req) and replace fixed ranges with the fields; every other
// template character is the logger's syntax and is kept.
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "sequencer/numbered_read.h"
#include "sequencer/setting_commands.h"

namespace mq {

class clsLOGGER_SETTING;

// Write-command table entries of the setting and reservation commands (the
// channel-inputs and alarms entries are shared with the TAG settings).
inline constexpr int kCmdReserveStart = 0;
inline constexpr int kCmdReserveStop = 1;
inline constexpr int kCmdIntegBases = 7;
inline constexpr int kCmdInterval = 8;

// The last record position the parse reads.
inline constexpr int kLogSettingRecordMinLength = 238;

// Parses one LOG-setting record into the setting of its area. A start (or
// stop) text that is not a valid date-time leaves the stored time(s) as
// described: an invalid start changes neither time, an invalid stop only
// keeps the stop. A record shorter than
// kLogSettingRecordMinLength, or a number field that is not a number, raises
// ConversionError before anything is stored; a scale value beyond 16 bits,
// or an alarm or base beyond 32 bits once scaled, raises OverflowError, the
// setting unchanged.
void log_para_data_save(clsLOGGER_SETTING& s, const QString& record);

// ---- command fields -------------------------------------------------------------

// numbered_digits (the two digits of an area, "01".."20", "00") is the
// sequencer's (sequencer/numbered_read.h): the reads send it too.

// One interval part (two characters of "hh:mm:ss"): blanks removed, then
// right-aligned in two characters padded with "0" (" 5" -> "05").
QString log_interval_part(const QString& part);

// ---- commands (texts without the frame) ---------------------------------------------

// Exactly 16 characters: template 1-6, area, template 9, hh mm ss, template 16.
QString log_cmd_interval(const QString& tmpl, const QString& area, const clsLOGGER_SETTING& s);
// Template with the area and four 5-character bases at 10, 16, 22, 28.
QString log_cmd_integ_bases(const QString& tmpl, const QString& area, const clsLOGGER_SETTING& s);
// Exactly 22 characters: template 1-6, area, template 9, yymmddhhnnss taken
// from "yyyy/mm/dd hh:nn:ss", template 22.
QString log_cmd_reserve(const QString& tmpl, const QString& area, const QString& when);

// The four setting commands of one area in sending order (interval, channel
// inputs, alarms, integration bases), from the templates of link().cmd_r_p_req.
QStringList log_setting_commands(const clsLOGGER_SETTING& s, const QString& area);

}  // namespace mq
