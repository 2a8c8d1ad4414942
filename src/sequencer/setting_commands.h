#pragma once
// The pieces of the setting-write commands that LOG and TAG settings share.
// A command starts from a template of the write-command table (R_P_CMD.REQ,
// link().cmd_r_p_req) and has fixed ranges replaced by the fields; every other
// template character is the logger's syntax and is kept. The channel-inputs
// command (entry 5) and the alarms command (entry 6) carry the same channel
// fields in LOG and TAG mode; the number at characters 7-8 is the area, the
// tag, or 00 for the PC-side defaults.
#include <QChar>
#include <QString>
#include <QtGlobal>

#include <array>

namespace mq {

class clsLOGGER_SETTING;

// Write-command table entries of the two channel commands.
inline constexpr int kCmdChannelInputs = 5;
inline constexpr int kCmdAlarms = 6;

// Puts `field` at 1-based position pos of cmd, growing a template that is
// too short with blanks (the logger then refuses the command; nothing breaks).
void setting_cmd_put(QString& cmd, int pos, const QString& field);
// Template characters 1-6, the number's last two digits at 7-8, the template
// from 9 on.
QString setting_cmd_numbered(const QString& tmpl, const QString& number);
// The text right-aligned in `width` characters padded with `pad`; a longer
// text keeps its last `width` characters.
QString setting_right_in(const QString& t, int width, QChar pad);

// Channel-input block of channel ch (20 characters): type, unit, scale
// minimum and maximum in sign-and-four-digits form, decimal position, each
// followed by ",".
QString setting_channel_input_block(const clsLOGGER_SETTING& s, int ch);

// Alarm or integration-base field (5 characters): "-----" for a "-" or "V"
// channel, else the unscaled value with one decimal, point and blanks removed,
// right-aligned in 5 ("-200.0" -> "-2000", "0.0" -> "   00").
QString setting_alarm_field(const QString& inputType, double value);

// ---- reading the setting records the logger sends (LOG and TAG alike)

// Characters from 1-based position `pos`, as the record layouts count them.
QString setting_record_at(const QString& rec, int pos, int len);
// A number field of 16 bits: ConversionError when it is no number,
// OverflowError when it does not fit.
qint16 setting_record_int16(const QString& text);
// A one-digit field "0".."9": ConversionError for anything else.
quint8 setting_record_digit(const QString& text);

// The four channel blocks of a setting record, starting at `starts`: type,
// unit, scale minimum and maximum, decimal position, low and high alarm and,
// with `withBase` (LOG), the integration base. Read whole before anything is
// stored, so a record that cannot be read (an Error) leaves a setting alone.
struct SettingRecordChannel {
    QString type, unit, low, high, base;
    quint8 pos = 0;
    qint16 smin = 0, smax = 0;
};
using SettingRecordChannels = std::array<SettingRecordChannel, 4>;
SettingRecordChannels setting_record_channels(const QString& rec, const std::array<int, 4>& starts, bool withBase);
// Stores the channels into s (the base only with `withBase`). All or
// nothing: an alarm or base that does not fit once scaled raises an Error
// and leaves s as it was.
void setting_record_channels_store(clsLOGGER_SETTING& s, const SettingRecordChannels& chs, bool withBase);

// Template with the number and four 20-character blocks at 10, 30, 50, 70.
QString setting_cmd_channel_inputs(const QString& tmpl, const QString& number, const clsLOGGER_SETTING& s);
// Template with the number and four 12-character blocks (low, high) at 10, 22, 34, 46.
QString setting_cmd_alarms(const QString& tmpl, const QString& number, const clsLOGGER_SETTING& s);

}  // namespace mq
