#pragma once
// The rules of the channel fields shared by the four setting editors (LOG and
// TAG settings, LOG and TAG defaults): which keys a field takes, how a field's
// text is checked and rewritten when it loses the focus, what replaces a bad
// value, how a spinner steps it, and the per-type defaults. Plain functions
// over texts, so that every editor (and its tests) uses the very same rules.
//
// Scale texts: optional "-" and four digits ("-9999" to "9999"); the minimum
// must stay below the maximum. Alarm and base texts: one decimal ("###0.0");
// for thermocouple types the type's limits apply and the low alarm must stay
// below the high alarm. Every check is total: a text that is no number (the
// field's own or its companion's) fails with the field's replacement.
#include <QChar>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace mq {

// Input-type list: "なし", "K", "E", "J", "T", "V" (index 0 to 5).
inline constexpr int kTypeItems = 6;
QString type_item_text(int index);
// "K" 1, "E" 2, "J" 3, "T" 4, "V" 5, any other text 0.
qint16 combo2_listindex_make(const QString& type);
// "0".."3" give 0..3, any other text -1.
qint16 combo3_listindex_make(const QString& text);
// The setting's code of a type item text: "なし" "-", else the text's first character.
QString type_code_of_item(const QString& itemText);
bool is_thermocouple(const QString& type);

// Default alarm and base texts of a thermocouple type (K 1370.0, E and J
// 700.0, T 400.0; low -200.0; base 0.0); nothing for another type.
struct TypeDefaults {
    QString high, low, base;
};
std::optional<TypeDefaults> type_defaults(const QString& type);

// ---- key filters (the character of one key press; Backspace passes)
bool scale_key_ok(QChar c);
bool alarm_key_ok(QChar c);
// Printable single-byte characters up to "z" and the half-width katakana
// range (which holds the degree mark "ﾟ"), never the comma.
bool unit_key_ok(QChar c);

// ---- scale fields

// The text of a whole number: "0005", "-0120"; only the last four digits stay.
QString scale_form(qint32 n);
// A whole number from a text (rounded); nothing when it is no number.
std::optional<qint32> whole_number(const QString& text);
// Focus loss: the four-digit form, or "-9999" ("9999" for the maximum) when
// the text is no number or not below the maximum (above the minimum).
QString scale_min_checked(const QString& text, const QString& maxText);
QString scale_max_checked(const QString& text, const QString& minText);
// One spinner step; nothing when the text is no number (nothing changes).
std::optional<QString> scale_min_step(const QString& text, const QString& maxText, bool up);
std::optional<QString> scale_max_step(const QString& text, const QString& minText, bool up);

// ---- alarm and base fields
enum class AlarmField { High, Low, Base };

// The text a bad value is replaced with; empty for a type without limits
// (the field then stays as it is).
QString alarm_replacement(AlarmField f, const QString& type);
// Focus loss: a number from -999.9 to 9999.9 is written with one decimal and
// checked against the type's limits and the other alarm (`other`: the low
// alarm's text for the high alarm, the high alarm's for the low alarm);
// anything else is replaced for a thermocouple type and kept otherwise.
QString alarm_checked(AlarmField f, const QString& type, const QString& text, const QString& other);
// One spinner step of 0.1; nothing when the text is no number or the value
// is already at the end of -999.9 to 9999.9 in the step's direction.
std::optional<QString> alarm_step(AlarmField f, const QString& type, const QString& text, const QString& other,
                                  bool up);

// ---- unit
// "ﾟC", " ﾟC", "ﾟC " or any text holding "℃" is refused.
bool unit_refused(const QString& text);
inline const QString kUnitRefusedMessage =
    QStringLiteral("[ﾟC] または [℃] 入力は出来ません。入力し直して下さい。");

// ---- interval
inline const QString kIntervalResetMessage = QStringLiteral("収録間隔が正しくありません。　デフォルトに戻します。");
// "hh:mm:ss" of two-digit parts that the logger can record at: not zero,
// hours up to 24 (and then nothing else), minutes and seconds up to 59.
bool interval_valid(const QString& text);

}  // namespace mq
