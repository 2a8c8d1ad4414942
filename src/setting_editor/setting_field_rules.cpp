#include "setting_editor/setting_field_rules.h"

#include <QRegularExpression>

#include <algorithm>

#include "main_window/conversions.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

namespace {

const QString kNone = QStringLiteral("なし");

std::optional<float> single_number(const QString& text) {
    try {
        return static_cast<float>(platform::toDouble(text));
    } catch (const Error&) {
        return std::nullopt;
    }
}

QString one_decimal(float v) { return platform::format(double(v), QStringLiteral("###0.0")); }

// The type-limit check of a formatted value; a companion that is no number
// fails it with the replacement.
QString limit_checked(AlarmField f, const QString& type, QString value, const QString& other) {
    try {
        switch (f) {
        case AlarmField::High: return high_max_chk(type, value, other);
        case AlarmField::Low: return low_max_chk(type, value, other);
        case AlarmField::Base: return sum_max_chk(type, value);
        }
    } catch (const Error&) {
        const QString r = alarm_replacement(f, type);
        return r.isEmpty() ? value : r;
    }
    return value;
}

int cp932_code(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80) return u;
    if (u >= 0xFF61 && u <= 0xFF9F) return 0xA1 + (u - 0xFF61);
    return -1;  // a double-byte character
}

}  // namespace

QString type_item_text(int index) {
    static const QString items[kTypeItems] = {kNone,
                                              QStringLiteral("K"),
                                              QStringLiteral("E"),
                                              QStringLiteral("J"),
                                              QStringLiteral("T"),
                                              QStringLiteral("V")};
    return index >= 0 && index < kTypeItems ? items[index] : QString();
}

qint16 combo2_listindex_make(const QString& type) {
    if (type == u"K") return 1;
    if (type == u"E") return 2;
    if (type == u"J") return 3;
    if (type == u"T") return 4;
    if (type == u"V") return 5;
    return 0;
}

qint16 combo3_listindex_make(const QString& text) {
    if (text == u"0") return 0;
    if (text == u"1") return 1;
    if (text == u"2") return 2;
    if (text == u"3") return 3;
    return -1;
}

QString type_code_of_item(const QString& itemText) {
    if (itemText == kNone || itemText.isEmpty()) return QStringLiteral("-");
    return itemText.left(1);
}

bool is_thermocouple(const QString& type) { return type == u"K" || type == u"E" || type == u"J" || type == u"T"; }

std::optional<TypeDefaults> type_defaults(const QString& type) {
    const QString low = QStringLiteral("-200.0");
    const QString base = QStringLiteral("0.0");
    if (type == u"K") return TypeDefaults{QStringLiteral("1370.0"), low, base};
    if (type == u"E" || type == u"J") return TypeDefaults{QStringLiteral("700.0"), low, base};
    if (type == u"T") return TypeDefaults{QStringLiteral("400.0"), low, base};
    return std::nullopt;
}

bool scale_key_ok(QChar c) { return c == QChar(8) || QStringLiteral("-0123456789").contains(c); }
bool alarm_key_ok(QChar c) { return c == QChar(8) || QStringLiteral("-0123456789.").contains(c); }

bool unit_key_ok(QChar c) {
    const int code = cp932_code(c);
    if (code == 8) return true;
    if (code == 44) return false;
    return code >= 32 && code <= 223 && (code <= 122 || code >= 165);
}

QString scale_form(qint32 n) {
    const qint64 a = n < 0 ? -qint64(n) : qint64(n);
    const QString digits = (QStringLiteral("0000") + QString::number(a)).right(4);
    return n < 0 ? QStringLiteral("-") + digits : digits;
}

std::optional<qint32> whole_number(const QString& text) {
    try {
        return platform::toInt32(platform::toDouble(text));
    } catch (const Error&) {
        return std::nullopt;
    }
}

namespace {

QString scale_checked(const QString& text, const QString& otherText, bool isMin) {
    const QString bad = isMin ? QStringLiteral("-9999") : QStringLiteral("9999");
    const auto n = whole_number(text);
    if (!n) return bad;
    const QString t = scale_form(*n);
    const auto mine = whole_number(t);
    const auto other = whole_number(otherText);
    if (!mine || !other) return bad;
    if (isMin ? !(*other > *mine) : !(*other < *mine)) return bad;
    return t;
}

std::optional<QString> scale_step(const QString& text, const QString& otherText, bool up, bool isMin) {
    const auto n = whole_number(text);
    if (!n) return std::nullopt;
    const qint32 lo = isMin ? -9999 : -9998;
    const qint32 hi = isMin ? 9998 : 9999;
    qint32 v = std::clamp(*n, lo, hi);
    if (up && v != hi) ++v;
    if (!up && v != lo) --v;
    return scale_checked(QString::number(v), otherText, isMin);
}

}  // namespace

QString scale_min_checked(const QString& text, const QString& maxText) { return scale_checked(text, maxText, true); }
QString scale_max_checked(const QString& text, const QString& minText) { return scale_checked(text, minText, false); }
std::optional<QString> scale_min_step(const QString& text, const QString& maxText, bool up) {
    return scale_step(text, maxText, up, true);
}
std::optional<QString> scale_max_step(const QString& text, const QString& minText, bool up) {
    return scale_step(text, minText, up, false);
}

QString alarm_replacement(AlarmField f, const QString& type) {
    const auto d = type_defaults(type);
    if (!d) return QString();
    switch (f) {
    case AlarmField::High: return d->high;
    case AlarmField::Low: return d->low;
    case AlarmField::Base: return d->base;
    }
    return QString();
}

QString alarm_checked(AlarmField f, const QString& type, const QString& text, const QString& other) {
    const auto v = single_number(text);
    if (v && *v >= -999.9f && *v <= 9999.9f) return limit_checked(f, type, one_decimal(*v), other);
    const QString r = alarm_replacement(f, type);
    return r.isEmpty() ? text : r;
}

std::optional<QString> alarm_step(AlarmField f, const QString& type, const QString& text, const QString& other,
                                  bool up) {
    const auto n = single_number(text);
    if (!n) return std::nullopt;
    float v = std::clamp(*n, -999.9f, 9999.9f);
    if (up) {
        if (v >= 9999.9f) return std::nullopt;
        v += 0.1f;
    } else {
        if (v <= -999.9f) return std::nullopt;
        v -= 0.1f;
    }
    return limit_checked(f, type, one_decimal(v), other);
}

bool unit_refused(const QString& text) {
    return text == QStringLiteral("ﾟC") || text == QStringLiteral(" ﾟC") || text == QStringLiteral("ﾟC ") ||
           text.contains(QStringLiteral("℃"));
}

bool interval_valid(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^(\\d\\d):(\\d\\d):(\\d\\d)$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return false;
    const int h = m.captured(1).toInt();
    const int mi = m.captured(2).toInt();
    const int s = m.captured(3).toInt();
    if (h > 24 || mi > 59 || s > 59) return false;
    if (h == 24 && (mi != 0 || s != 0)) return false;
    return h + mi + s > 0;
}

}  // namespace mq
