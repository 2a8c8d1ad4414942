#include "tag_settings/tag_setting_record.h"

#include <array>
#include <limits>

#include "main_window/conversions.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "sequencer/setting_commands.h"

namespace mq {

namespace {

constexpr std::array<int, 4> kBlockStart = {27, 59, 101, 133};

QString at(const QString& rec, int pos, int len) { return setting_record_at(rec, pos, len); }
qint16 int16_field(const QString& text) { return setting_record_int16(text); }
quint8 digit_field(const QString& text) { return setting_record_digit(text); }

}  // namespace

void tag_para_data_save(clsLOGGER_SETTING& s, const QString& rec) {
    if (rec.size() < kTagSettingRecordMinLength) {
        throw ConversionError("TAG setting record too short: " + std::to_string(rec.size()));
    }
    // Every number is read before anything is stored, so a record that cannot
    // be read leaves the setting as it was.
    struct Channel {
        QString type, unit, low, high;
        quint8 pos = 0;
        qint16 smin = 0, smax = 0;
    };
    std::array<Channel, 4> chs;
    for (int c = 0; c < 4; ++c) {
        const int b = kBlockStart[size_t(c)];
        Channel& ch = chs[size_t(c)];
        ch.type = at(rec, b, 1);
        ch.unit = at(rec, b + 2, 3);
        ch.smin = int16_field(at(rec, b + 6, 5));
        ch.smax = int16_field(at(rec, b + 12, 5));
        ch.pos = digit_field(at(rec, b + 18, 1));
        ch.low = dot_insert_top_sp(at(rec, b + 20, 5), 1);
        ch.high = dot_insert_top_sp(at(rec, b + 26, 5), 1);
    }

    s.let_log_name(at(rec, 8, 8));
    for (int c = 0; c < 4; ++c) {
        const Channel& ch = chs[size_t(c)];
        // Type and decimal position first: the scaled setters read them.
        s.let_Ch_input_type(c, ch.type);
        s.let_Ch_unit(c, ch.unit);
        s.let_Ch_period_pos(c, ch.pos);
        s.let_Ch_scale_min(c, ch.smin);
        s.let_Ch_scale_max(c, ch.smax);
        s.let_Ch_low_alarm_count(c, ch.low);
        s.let_Ch_high_alarm_count(c, ch.high);
    }
}

}  // namespace mq
