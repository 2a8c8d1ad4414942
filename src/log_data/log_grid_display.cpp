#include "log_data/log_grid_display.h"

#include "model/channel_values.h"
#include "model/common_proc.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/numbers.h"

namespace mq {

namespace {

QString head_value(const QString& type, int decimals, double value) {
    return platform::rightAlign(platform::format(value, make_value_format(type, decimals)), 6);
}

QString tooltip_text(int ch, const QString& type, int decimals, double high, double low, double base) {
    return QStringLiteral("CH") + QString::number(ch + 1) + QStringLiteral("  ->  入力種：") + type +
           QStringLiteral("  /  上限警報値：") + head_value(type, decimals, high) +
           QStringLiteral("  /  下限警報値：") + head_value(type, decimals, low) +
           QStringLiteral("  /  積算基準値：") + head_value(type, decimals, base);
}

}  // namespace

QString status_mark_text(quint8 flag, const QString& mark) {
    if (mark != QLatin1String("-")) return mark;
    return (flag & 1) ? QStringLiteral("*") : QString();
}

QString period_pos_format(quint8 high, quint8 low, qint16 divisor) {
    qint32 raw = qint32(high) * 256 + qint32(low);
    if (raw == 32767) return QStringLiteral("  ") + kOverRangeMark.toString();
    if (raw >= 32768 && raw != 32766) raw -= 65536;
    if (raw == 32766) return QStringLiteral("  ") + kUnderRangeMark.toString();
    switch (divisor) {
    case 10: return platform::format(double(raw) / 10.0, QStringLiteral("#0.0"));
    case 100: return platform::format(double(raw) / 100.0, QStringLiteral("#0.00"));
    case 1000: return platform::format(double(raw) / 1000.0, QStringLiteral("#0.000"));
    default: break;
    }
    if (divisor == 0) return platform::cstrNumber(double(raw));
    return platform::cstrNumber(double(raw) / double(divisor));
}

QString channel_head_tooltip(const clsLOGGER_SETTING& s, int ch) {
    return tooltip_text(ch, s.Ch_input_type(ch), s.Ch_period_pos(ch), s.Ch_high_alarm_count_value(ch),
                        s.Ch_low_alarm_count_value(ch), s.Ch_sum_std_count_value(ch));
}

QString channel_head_tooltip(int ch) {
    if (model().act_data_kind != 1 && model().act_data_kind != 2) return QString();
    return tooltip_text(ch, get_cur_ch_kind(ch), get_cur_ch_period_pos(ch), get_cur_ch_high_alarm_value(ch),
                        get_cur_ch_low_alarm_value(ch), get_cur_ch_sum_std_value(ch));
}

}  // namespace mq
