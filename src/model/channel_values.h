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

namespace mq {

// Stored channel texts (right-aligned in the cell's 9 or 10 characters).
// The byte forms serve readers of the working database's UTF-8 cells.
inline constexpr char kStoredOverRangeBytes[] = "     O.R.";
inline constexpr char kStoredUnderRangeBytes[] = "     U.R.";
inline const QString kStoredOverRange = QString::fromLatin1(kStoredOverRangeBytes);
inline const QString kStoredUnderRange = QString::fromLatin1(kStoredUnderRangeBytes);
inline const QString kStoredMissing = QStringLiteral("    ------");

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
// Whether a stored alarm field holds a value: an alarm not set raises no
// alarm (its value reads as 0).
inline bool alarm_is_set(const QString& stored) { return stored != kAlarmNotSet; }

// Colours are 0x00BBGGRR values.
inline constexpr quint32 kHighAlarmColour = 255;      // red
inline constexpr quint32 kLowAlarmColour = 16711680;  // blue
// Starting line colours of channels 1-4: blue, green, red, black.
inline constexpr std::array<qint32, 4> kDefaultGraphColours = {16711680, 65280, 255, 0};

}  // namespace mq
