#pragma once
// Channel values as the data sets hold them: the texts a working database
// stores for range marks and missing values, what kind of value a text is,
// the scale of a channel's integers, and the colours the tables and graphs
// give channels and alarm values. Every subsystem that reads or writes
// channel values takes these from here, so a stored text or a colour is
// spelled once.
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <limits>

namespace mq {

// Stored channel texts (right-aligned in the cell's 9 or 10 characters).
// The byte forms serve readers of the working database's UTF-8 cells.
inline constexpr char kStoredOverRangeBytes[] = "     O.R.";
inline constexpr char kStoredUnderRangeBytes[] = "     U.R.";
inline const QString kStoredOverRange = QString::fromLatin1(kStoredOverRangeBytes);
inline const QString kStoredUnderRange = QString::fromLatin1(kStoredUnderRangeBytes);
inline constexpr char kStoredMissingBytes[] = "    ------";
inline const QString kStoredMissing = QString::fromLatin1(kStoredMissingBytes);

// The logger's range codes as value texts, and the range marks the files and
// tables carry in their place.
inline constexpr QStringView kLoggerOverRangeText = u"3276.7";
inline constexpr QStringView kLoggerUnderRangeText = u"3276.6";
inline constexpr QStringView kOverRangeMark = u"O.R.";
inline constexpr QStringView kUnderRangeMark = u"U.R.";
// A channel in use without a value.
inline constexpr QStringView kMissingMark = u"------";

// What a channel value text holds, with blanks around it ignored.
enum class ValueKind {
    Blank,        // nothing but blanks (or empty)
    Missing,      // "------" or "-----"
    OverMark,     // "O.R."
    UnderMark,    // "U.R."
    OverCode,     // "3276.7", the logger's over-range code
    UnderCode,    // "3276.6", the logger's under-range code
    Other,        // anything else: a number or a garbled field
};

ValueKind value_kind(QStringView text);

// The text without the blanks around it (only blanks: other white space stays).
QStringView blanks_trimmed(QStringView text);

inline bool is_range_mark(ValueKind k) { return k == ValueKind::OverMark || k == ValueKind::UnderMark; }
inline bool is_range_code(ValueKind k) { return k == ValueKind::OverCode || k == ValueKind::UnderCode; }
// A range mark or a range code: no measured value.
inline bool is_range(ValueKind k) { return is_range_mark(k) || is_range_code(k); }

// The factor between a channel's stored integers and its display units: a
// voltage channel ("V") scales by its decimal position (1 -> 10, 2 -> 100,
// 3 -> 1000, anything else 1); every other input type by 10.
int channel_scale(const QString& inputType, int periodPos);

// An alarm field of a channel setting that holds no alarm value.
inline constexpr QStringView kAlarmNotSet = u"-----";
// Whether a stored alarm field holds a value (Ch_high_alarm_count and its
// kin read "-----" for a value that is not set).
inline bool alarm_is_set(const QString& stored) { return stored != kAlarmNotSet; }

// Colours are 0x00BBGGRR values.
inline constexpr quint32 kHighAlarmColour = 255;      // red
inline constexpr quint32 kLowAlarmColour = 16711680;  // blue

// ---- alarm bands
//
// Which values a channel's alarm settings flag. Every place a user sees the
// data asks here: the data windows' colours and counts, the statistics the
// .ML2 footer stores, the graph's lines and counts, the printed H and L
// marks. (The .ML2 records' status bits are written by the file format's own
// rule, ld20_alarm_status_bits, which other readers of the file expect.)
//
// - An alarm value that is not set flags nothing. An alarm set at 0.0 is an
//   alarm at 0.0.
// - Both set: above the upper value is an upper alarm, below the lower value
//   a lower alarm; when the upper value lies below the lower one the sides
//   swap (below the upper value upper, above the lower value lower).
// - One set: it keeps its own side (above a lone upper value, below a lone
//   lower value).
// - A value equal to an alarm value is no alarm. Values and alarm values are
//   compared in single precision, as the logger compares them.
// - A channel not in use ("-") and a voltage channel ("V") flag nothing; nor
//   do range marks, missing values and blank cells.

enum class AlarmBand : quint8 { None, High, Low };

// The alarm values of one channel in display units, with what is set.
struct AlarmLimits {
    bool high_set = false;
    bool low_set = false;
    float high = 0.0f;
    float low = 0.0f;
    // Whether any value can be flagged.
    bool any() const { return high_set || low_set; }
};

class clsLOGGER_SETTING;

// The limits of alarm values (display units) that are set or not as given.
AlarmLimits alarm_limits(bool highSet, double high, bool lowSet, double low);
// The same for a channel of input type `inputType`.
AlarmLimits alarm_limits(QStringView inputType, bool highSet, double high, bool lowSet, double low);
// The limits of channel ch (0-3) of a setting.
AlarmLimits alarm_limits(const clsLOGGER_SETTING& setting, int ch);

// The band of a value in display units. A value beyond single precision lies
// beyond every alarm value. Cheap enough for every value of a full logger
// memory: no text is built.
inline AlarmBand alarm_band(const AlarmLimits& a, double value) {
    if (!a.any()) return AlarmBand::None;
    constexpr double kSingleMax = std::numeric_limits<float>::max();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const float v = value > kSingleMax ? kInf : value < -kSingleMax ? -kInf : static_cast<float>(value);
    if (a.high_set && a.low_set && a.high < a.low) {
        if (v < a.high) return AlarmBand::High;
        if (v > a.low) return AlarmBand::Low;
        return AlarmBand::None;
    }
    if (a.high_set && v > a.high) return AlarmBand::High;
    if (a.low_set && v < a.low) return AlarmBand::Low;
    return AlarmBand::None;
}

// The band of a scaled whole number (the value times `scale`, as the records
// and the graph hold values): the same band as the value's decimal text.
inline AlarmBand alarm_band(const AlarmLimits& a, qint32 scaled, int scale) {
    return alarm_band(a, static_cast<double>(scaled) / static_cast<double>(scale));
}

// The band of a channel value text as the tables hold it (blanks around it):
// range marks ("O.R.", "U.R."), missing values and blank texts flag nothing;
// any other text must be a number (ConversionError otherwise; OverflowError
// for a number beyond single precision).
AlarmBand alarm_band(const AlarmLimits& a, const QString& valueText);

// What a band shows: the cell text colour (0 for no alarm: the cell keeps its
// own), and the printed mark ("H", "L", a blank).
inline quint32 alarm_band_colour(AlarmBand b) {
    return b == AlarmBand::High ? kHighAlarmColour : b == AlarmBand::Low ? kLowAlarmColour : 0;
}
inline QChar alarm_band_letter(AlarmBand b) {
    return b == AlarmBand::High ? QChar(u'H') : b == AlarmBand::Low ? QChar(u'L') : QChar(u' ');
}
// Starting line colours of channels 1-4: blue, green, red, black.
inline constexpr std::array<qint32, 4> kDefaultGraphColours = {16711680, 65280, 255, 0};

}  // namespace mq
