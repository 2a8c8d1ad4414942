#include "log_settings/log_setting_record.h"

#include "main_window/conversions.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/errors.h"
#include "sequencer/setting_commands.h"

#include <array>
#include <limits>

namespace mq {

namespace {

constexpr std::array<int, 4> kBlockStart = {78, 116, 164, 202};

QString at(const QString& rec, int pos, int len) { return setting_record_at(rec, pos, len); }

// "yy/mm/dd hh:nn:ss" from the twelve digits at pos; an invalid text gives an
// invalid date-time.
QDateTime record_time(const QString& rec, int pos) {
    const QString t = at(rec, pos, 2) + u'/' + at(rec, pos + 2, 2) + u'/' + at(rec, pos + 4, 2) + u' ' +
                      at(rec, pos + 6, 2) + u':' + at(rec, pos + 8, 2) + u':' + at(rec, pos + 10, 2);
    try {
        return platform::parseCivil(t);
    } catch (const ConversionError&) {
        return QDateTime();
    }
}

void put(QString& cmd, int pos, const QString& field) { setting_cmd_put(cmd, pos, field); }
QString with_area(const QString& tmpl, const QString& area) { return setting_cmd_numbered(tmpl, area); }
QString right_in(const QString& t, int width, QChar pad) { return setting_right_in(t, width, pad); }

}  // namespace

void log_para_data_save(clsLOGGER_SETTING& s, const QString& rec) {
    if (rec.size() < kLogSettingRecordMinLength) {
        throw ConversionError("setting record too short: " + std::to_string(rec.size()));
    }
    // Every number is read before anything is stored, so a bad record leaves
    // the setting as it was.
    const SettingRecordChannels chs = setting_record_channels(rec, kBlockStart, true);
    // The channels first: they are the fields that can still be refused.
    setting_record_channels_store(s, chs, true);

    s.let_log_name(at(rec, 8, 8));
    s.let_record_interval(at(rec, 17, 2) + u':' + at(rec, 19, 2) + u':' + at(rec, 21, 2));
    s.let_Worker(at(rec, 24, 8));
    s.let_Comment(at(rec, 33, 8));

    const QDateTime start = record_time(rec, 42);
    if (start.isValid()) {
        s.let_start_time(start);
        const QDateTime stop = record_time(rec, 55);
        if (stop.isValid()) s.let_stop_time(stop);
    }
}

// ---- command fields

QString log_interval_part(const QString& part) { return right_in(space_delete(part), 2, u'0'); }

// ---- commands

QString log_cmd_interval(const QString& tmpl, const QString& area, const clsLOGGER_SETTING& s) {
    const QString iv = s.record_interval();
    QString cmd = with_area(tmpl, area);
    put(cmd, 10, log_interval_part(iv.mid(0, 2)) + log_interval_part(iv.mid(3, 2)) + log_interval_part(iv.mid(6, 2)));
    if (cmd.size() < 16) cmd = cmd.leftJustified(16, u' ');
    return cmd.left(16);
}

QString log_cmd_integ_bases(const QString& tmpl, const QString& area, const clsLOGGER_SETTING& s) {
    QString cmd = with_area(tmpl, area);
    for (int c = 0; c < 4; ++c) put(cmd, 10 + 6 * c, setting_alarm_field(s.Ch_input_type(c), s.Ch_sum_std_count_value(c)));
    return cmd;
}

QString log_cmd_reserve(const QString& tmpl, const QString& area, const QString& when) {
    QString cmd = with_area(tmpl, area);
    const QString w = when.leftJustified(19, u' ');
    put(cmd, 10, w.mid(2, 2) + w.mid(5, 2) + w.mid(8, 2) + w.mid(11, 2) + w.mid(14, 2) + w.mid(17, 2));
    if (cmd.size() < 22) cmd = cmd.leftJustified(22, u' ');
    return cmd.left(22);
}

QStringList log_setting_commands(const clsLOGGER_SETTING& s, const QString& area) {
    const CommandTable& t = link().cmd_r_p_req;
    return {log_cmd_interval(t[kCmdInterval], area, s), setting_cmd_channel_inputs(t[kCmdChannelInputs], area, s),
            setting_cmd_alarms(t[kCmdAlarms], area, s), log_cmd_integ_bases(t[kCmdIntegBases], area, s)};
}

}  // namespace mq
