#pragma once
// Value text conversions and small value helpers that every window, the file
// writers and the operation sequencer share. They hold no state: procedures
// that depend on a channel read the current data set (model().act_data_kind,
// act_file_data, act_logger_data) at the time of the call.
//
// Value texts:
//   raw logger text   optional blanks, optional "-", digits, no point;
//                     "32767" over range, "32766" under range, "-----" not set
//   display text      the same with "." before the channel's last d digits;
//                     "3276.7"/"3276.6" as numbers, "O.R."/"U.R." as shown,
//                     "------" not set
//   setting commands  a sign position ("-" or a blank) and four digits
//
// Numbers that must be read from a text are read strictly: a text that is not a
// number raises ConversionError, a 16-bit result out of range OverflowError.
#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace mq {

class clsFILE_DATA;
class clsLOGGER_SETTING;

// ---- decimal point, blanks, sign form -------------------------------------

// Raw text -> display text right-aligned in 6 characters. "-----" gives
// "------", "32767" "3276.7", "32766" "3276.6" (checked first, on the text as
// given). Otherwise the blanks are removed and, when d is not 0, a point goes
// before the last d digits; a number with no more digits than d is padded with
// zeros first ("5" with d 1 is "0.5", "-5" is "-0.5"), so the value shown is the
// value the logger meant. A result longer than 6 stays whole (never cut).
QString dot_insert_top_sp(const QString& t, qint16 d);

// As dot_insert_top_sp without the marker texts, left-aligned in 6 characters.
QString dot_insert_btm_sp(const QString& t, qint16 d);

// The text without any blank (U+0020).
QString space_delete(const QString& t);

// Signed integer text -> sign position and four digits: "5" " 0005",
// "1234" " 1234", "-5" "-0005", "-1234" "-1234". The empty text and "-" alone
// give the empty text; texts already longer than that form stay as they are.
QString smsm_add_zero(const QString& t);

// "------" gives "-----"; otherwise every "." is removed.
QString dot_delete(const QString& t);

// ---- range markers ------------------------------------------------------------

// "3276.7" -> "O.R.", "3276.6" -> "U.R.", any other text unchanged.
QString over_under_conv(const QString& t);
// "3276.7" -> "  O.R.", "3276.6" -> "  U.R." (6 characters), else unchanged.
QString file_save_over_under_conv(const QString& t);
// File data already carry "O.R." and "U.R.": the text unchanged.
QString file_read_dim_over_under_conv(const QString& t);

// Table cell text: "O.R."/"U.R." as six blanks and the marker (10 characters);
// any other text without blanks followed by one blank.
QString grid_disp_format_mk(const QString& t);

// ---- channel of the current data set -------------------------------------------

// Decimal count of channel ch (0-3): the channel's decimal position for a
// voltage channel, 1 for every other channel (also with no current data set).
qint16 ch_period_pos_read(int ch);

// Rounds an average to the channel's resolution, half away from zero, and
// returns it right-aligned in 6 characters ("0.0", "0.00", "0.000" or "0"
// decimals by input type and decimal position). t is replaced by the rounded
// value as its shortest decimal text. Reads the file data set when
// act_data_kind is 1, else the logger data set (MissingKeyError when that data
// set does not exist); a t that is not a number raises ConversionError.
QString ch_ave_format_conv(qint16 ch, QString& t);

// Unit text of channel ch: " " for an unused channel, the data set's unit for a
// voltage channel, "ﾟC " (half-width semi-voiced mark, "C", blank) otherwise.
QString data_gamen_ch_unit_conv(int ch);                              // current data set
QString file_data_gamen_ch_unit_conv(const clsFILE_DATA& f, int ch);  // the given file data set

// Number of channels of a setting whose input type is not "-".
qint16 data_ari_ch_count_mk(const clsLOGGER_SETTING& s);

// ---- alarm and integration-base limits ------------------------------------------
// For thermocouple codes "K", "E", "J", "T" the texts are read as single-precision
// numbers and compared with the type's limits (also single precision); a value
// out of range or on the wrong side of its paired value is replaced by the reset
// text. Other codes leave the text alone. Returns the final text.

QString high_max_chk(const QString& code, QString& high, const QString& low);
QString low_max_chk(const QString& code, QString& low, const QString& high);
QString sum_max_chk(const QString& code, QString& base);

// ---- time and list records ---------------------------------------------------------

// start plus an interval "hh:nn:ss"; "24:00:00" adds one day. An interval that
// is not a time of day raises ConversionError.
QDateTime add_interval(QDateTime start, QString interval);

// The most records a logger's memory holds (at the fastest link speed).
inline constexpr qint32 kLoggerMaxRecords = 691200;

// The area's (or tag's) data_count := the 8 characters from position 8
// (1-based) of a LOG or TAG list record, as a whole number. ConversionError when
// they are not a number, or a count below 0 or above kLoggerMaxRecords; the
// count stays as it was then.
void log_data_ct_save(clsLOGGER_SETTING& s, const QString& rec);
void tag_data_ct_save(clsLOGGER_SETTING& s, const QString& rec);

// ---- file value helpers ------------------------------------------------------------

// A display value as the 16-bit integer of the record format: 32767 over range
// ("3276.7" or "O.R."), 32766 under range ("3276.6" or "U.R."), otherwise the
// text with its first "." removed ("-12.5" -> -125).
qint16 fileDataExc_AsciiToBinary(QString t);

// "yyyy/mm/dd hh:nn:ss".
QString Disp_DATETIME(QDateTime d);

// A statistics value formatted by input type and decimal position:
// one decimal, or for "V" 1/2/3 decimals by position and none otherwise.
QString Disp_DATA(QString code, qint16 p, QString t);

// Alarm or integration-base value for a CSV file: "------" for an unused or a
// voltage channel, otherwise the value with one decimal right-aligned in 6.
QString csvstring_alm_sumbsc(QString code, QString t);

// Every "&" doubled, so that a label shows it instead of taking it as the
// access-key marker.
QString lblstr_AndCharacterChk(QString t);

}  // namespace mq
