#include "model/channel_values.h"

#include <cmath>

#include "model/cls_logger_setting.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

QStringView blanks_trimmed(QStringView text) {
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b] == u' ') ++b;
    while (e > b && text[e - 1] == u' ') --e;
    return text.mid(b, e - b);
}

ValueKind value_kind(QStringView text) {
    const QStringView t = blanks_trimmed(text);
    if (t.isEmpty()) return ValueKind::Blank;
    if (t == kMissingMark || t == kMissingMark.mid(1)) return ValueKind::Missing;
    if (t == kOverRangeMark) return ValueKind::OverMark;
    if (t == kUnderRangeMark) return ValueKind::UnderMark;
    if (t == kLoggerOverRangeText) return ValueKind::OverCode;
    if (t == kLoggerUnderRangeText) return ValueKind::UnderCode;
    return ValueKind::Other;
}

int channel_scale(const QString& inputType, int periodPos) {
    if (inputType != u"V") return 10;
    switch (periodPos) {
        case 1: return 10;
        case 2: return 100;
        case 3: return 1000;
        default: return 1;
    }
}

AlarmLimits alarm_limits(bool highSet, double high, bool lowSet, double low) {
    return AlarmLimits{highSet, lowSet, static_cast<float>(high), static_cast<float>(low)};
}

AlarmLimits alarm_limits(QStringView inputType, bool highSet, double high, bool lowSet, double low) {
    if (inputType == u"-" || inputType == u"V") return {};
    return alarm_limits(highSet, high, lowSet, low);
}

AlarmLimits alarm_limits(const clsLOGGER_SETTING& s, int ch) {
    return alarm_limits(s.Ch_input_type(ch), alarm_is_set(s.Ch_high_alarm_count(ch)), s.Ch_high_alarm_count_value(ch),
                        alarm_is_set(s.Ch_low_alarm_count(ch)), s.Ch_low_alarm_count_value(ch));
}

AlarmBand alarm_band(const AlarmLimits& a, const QString& valueText) {
    if (!a.any()) return AlarmBand::None;
    const ValueKind kind = value_kind(valueText);
    if (kind == ValueKind::Blank || kind == ValueKind::Missing || is_range_mark(kind)) return AlarmBand::None;
    const double v = platform::toDouble(valueText);
    if (std::fabs(v) > double(std::numeric_limits<float>::max()))
        throw OverflowError("number beyond single precision: " + valueText.toStdString());
    return alarm_band(a, v);
}

}  // namespace mq
