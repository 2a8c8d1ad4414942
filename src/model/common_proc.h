#pragma once
// Procedures that tie the data windows to the data model: following the
// active window's data set, creating and binding its working database,
// releasing it when the window closes, and turning channel values into the
// texts the tables and working databases hold.
#include <QString>
#include <QtGlobal>

#include "model/op_mode.h"
#include "platform/message_box.h"

class QLineEdit;

namespace mq::platform {
class Grid;
}

namespace mq {

class clsLOGGER_SETTING;

// Makes the active data window's data set the current one (by the first three
// characters of its Tag: "F.." file, "L.." logger; anything else: no change).
void activate_data_window();

// Called when a data window with the given Tag closes.
void close_data_window(const QString& key);

class IDataWindow;

// Gives the current data set a fresh working database and binds it to the
// data control of `target` (the window being filled; the active window when null).
void bind_data_recordset(IDataWindow* target = nullptr);

// As bind_data_recordset for the current file data set, without the binding.
void open_file_data_db();

// Removes every logger data set ("L01".."L20" and "L00").
void clear_logger_data_list();

// Operating mode of the current data set (none without one).
OpMode get_cur_mode_type();

// Asks whether to follow the logger's operating mode; Yes or No.
platform::MsgResult confirm_mode_change();

// The settings of the current data set as the channel procedures see it: the
// file data set for kind 1, the logger data set for any other kind.
// MissingKeyError when that data set is not there.
clsLOGGER_SETTING& cur_setting_by_kind();

// The cell text of one channel value; value is replaced by its range-converted
// form and the channel's value count rises for a counted number. A number is
// right-aligned in six characters, the cell in ten; a longer value is never
// cut (its sign stands first).
QString format_ch_value(QString& value, int ch);

// The value part of a stored channel text: its last six characters, or the
// whole value when it is longer ("   -3222.4" gives "-3222.4"; a mark in
// front, "▲ -300.00", is left out). Range marks give "  O.R." and "  U.R.".
QString cell_value_text(const QString& cell);

// The column of CH1 in the records tables of the LOG and the TAG windows.
inline constexpr int kLogFirstChannelCol = 3;
inline constexpr int kTagFirstChannelCol = 2;

// Counts a value of channel ch (1-4) that its alarm values flag (alarm_band)
// into the setting's alarm counts and gives its cell in `grid` the alarm
// colour: record `row` (counted from 0) stands in grid row row + 1, channel ch
// in column firstChannelCol + ch - 1. That cell becomes the grid's current
// one also when the value is no alarm; a channel not in use and a range mark
// change nothing. A null grid only counts.
void mark_alarm_value(clsLOGGER_SETTING& setting, platform::Grid* grid, int firstChannelCol, const QString& value,
                      qint32 row, int ch);

// "3276.7" -> "O.R.", "3276.6" -> "U.R.", else the text.
QString range_text_logger(const QString& text);
// File texts already carry "O.R." and "U.R.".
QString range_text_file(const QString& text);

// Number format of a channel: "V" -> "0." and `decimals` zeros ("" for 0),
// every other type "0.0".
QString make_value_format(const QString& type, int decimals);

// Limits a text box to `maximum` bytes of CP932 text.
void set_text_limit(int maximum, QLineEdit* box);

}  // namespace mq
