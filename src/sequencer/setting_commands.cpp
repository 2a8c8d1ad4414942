#include "sequencer/setting_commands.h"

#include <limits>

#include "main_window/conversions.h"
#include "model/cls_logger_setting.h"
#include "platform/errors.h"

namespace mq {

void setting_cmd_put(QString& cmd, int pos, const QString& field) {
    const int end = pos - 1 + int(field.size());
    if (cmd.size() < end) cmd = cmd.leftJustified(end, u' ');
    cmd.replace(pos - 1, field.size(), field);
}

QString setting_cmd_numbered(const QString& tmpl, const QString& number) {
    QString cmd = tmpl;
    setting_cmd_put(cmd, 7, number.right(2).rightJustified(2, u'0'));
    return cmd;
}

QString setting_record_at(const QString& rec, int pos, int len) { return rec.mid(pos - 1, len); }

qint16 setting_record_int16(const QString& text) {
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok) throw ConversionError("setting record: not a number: " + text.toStdString());
    if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max()) {
        throw OverflowError("setting record: value beyond 16 bits: " + text.toStdString());
    }
    return static_cast<qint16>(v);
}

quint8 setting_record_digit(const QString& text) {
    if (text.size() != 1 || text.at(0) < u'0' || text.at(0) > u'9') {
        throw ConversionError("setting record: not a digit: " + text.toStdString());
    }
    return static_cast<quint8>(text.at(0).unicode() - u'0');
}

SettingRecordChannels setting_record_channels(const QString& rec, const std::array<int, 4>& starts, bool withBase) {
    SettingRecordChannels chs;
    for (size_t c = 0; c < chs.size(); ++c) {
        const int b = starts[c];
        SettingRecordChannel& ch = chs[c];
        ch.type = setting_record_at(rec, b, 1);
        ch.unit = setting_record_at(rec, b + 2, 3);
        ch.smin = setting_record_int16(setting_record_at(rec, b + 6, 5));
        ch.smax = setting_record_int16(setting_record_at(rec, b + 12, 5));
        ch.pos = setting_record_digit(setting_record_at(rec, b + 18, 1));
        ch.low = dot_insert_top_sp(setting_record_at(rec, b + 20, 5), 1);
        ch.high = dot_insert_top_sp(setting_record_at(rec, b + 26, 5), 1);
        if (withBase) ch.base = dot_insert_top_sp(setting_record_at(rec, b + 32, 5), 1);
    }
    return chs;
}

void setting_record_channels_store(clsLOGGER_SETTING& s, const SettingRecordChannels& chs, bool withBase) {
    // An alarm or base that reads as a number can still be too large once
    // scaled: a copy takes the fields, and s only a copy that took them all.
    clsLOGGER_SETTING next = s;
    for (int c = 0; c < int(chs.size()); ++c) {
        const SettingRecordChannel& ch = chs[size_t(c)];
        // Type and decimal position first: the scaled setters read them.
        next.let_Ch_input_type(c, ch.type);
        next.let_Ch_unit(c, ch.unit);
        next.let_Ch_period_pos(c, ch.pos);
        next.let_Ch_scale_min(c, ch.smin);
        next.let_Ch_scale_max(c, ch.smax);
        next.let_Ch_low_alarm_count(c, ch.low);
        next.let_Ch_high_alarm_count(c, ch.high);
        if (withBase) next.let_Ch_sum_std_count(c, ch.base);
    }
    s = next;
}

QString setting_right_in(const QString& t, int width, QChar pad) {
    if (t.size() >= width) return t.right(width);
    return t.rightJustified(width, pad);
}

QString setting_channel_input_block(const clsLOGGER_SETTING& s, int ch) {
    const QString type = s.Ch_input_type(ch).left(1).leftJustified(1, u' ');
    const QString unit = s.Ch_unit(ch).left(3).leftJustified(3, u' ');
    const QString smin = setting_right_in(smsm_add_zero(QString::number(s.Ch_scale_min(ch))), 5, u' ');
    const QString smax = setting_right_in(smsm_add_zero(QString::number(s.Ch_scale_max(ch))), 5, u' ');
    const QString pos = QString::number(s.Ch_period_pos(ch) % 10);
    return type + u',' + unit + u',' + smin + u',' + smax + u',' + pos + u',';
}

QString setting_alarm_field(const QString& inputType, double value) {
    if (inputType == QStringLiteral("-") || inputType == QStringLiteral("V")) return QStringLiteral("-----");
    QString t = QString::number(value, 'f', 1);
    t.remove(u'.');
    return setting_right_in(space_delete(t), 5, u' ');
}

QString setting_cmd_channel_inputs(const QString& tmpl, const QString& number, const clsLOGGER_SETTING& s) {
    QString cmd = setting_cmd_numbered(tmpl, number);
    for (int c = 0; c < 4; ++c) setting_cmd_put(cmd, 10 + 20 * c, setting_channel_input_block(s, c));
    return cmd;
}

QString setting_cmd_alarms(const QString& tmpl, const QString& number, const clsLOGGER_SETTING& s) {
    QString cmd = setting_cmd_numbered(tmpl, number);
    for (int c = 0; c < 4; ++c) {
        const QString type = s.Ch_input_type(c);
        setting_cmd_put(cmd, 10 + 12 * c,
                        setting_alarm_field(type, s.Ch_low_alarm_count_value(c)) + u',' +
                            setting_alarm_field(type, s.Ch_high_alarm_count_value(c)) + u',');
    }
    return cmd;
}

}  // namespace mq
