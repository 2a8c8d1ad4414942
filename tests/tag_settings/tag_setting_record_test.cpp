// The TAG-setting record as the simulated logger lays it out, parsed field by
// field; records that cannot be read change nothing.
#include "tag_settings/tag_setting_record.h"

#include <gtest/gtest.h>

#include "logger_sim/logger_state.h"
#include "main_window/serial_link.h"
#include "model/cls_logger_setting.h"
#include "platform/errors.h"

namespace {

using logger_sim::ChannelSetting;

ChannelSetting ch(const char* type, const char* unit, int min, int max, int dec, const char* low, const char* high) {
    ChannelSetting c;
    c.type = QString::fromLatin1(type);
    c.unit = QString::fromUtf8(unit);
    c.scaleMin = min;
    c.scaleMax = max;
    c.decimalPos = dec;
    c.lowAlarm = QString::fromLatin1(low);
    c.highAlarm = QString::fromLatin1(high);
    return c;
}

QString recordOf(const logger_sim::TagEntry& t) {
    logger_sim::Scenario sc;
    sc.mode = logger_sim::Mode::Tag;
    sc.tags = {t};
    logger_sim::LoggerState state(logger_sim::CommandTables{}, sc);
    return mq::link_bytes_to_text(state.tagSettingRecord(t.tag));
}

TEST(TagSettingRecord, EveryFieldLandsInTheSetting) {
    logger_sim::TagEntry t;
    t.tag = 7;
    t.name = QStringLiteral("ﾀﾝｸ-7");
    t.channels[0] = ch("K", "ﾟC ", -200, 1370, 1, " -200", "13700");
    t.channels[1] = ch("-", "   ", 0, 0, 1, "-----", "-----");
    t.channels[2] = ch("V", "mV ", -100, 50, 2, "  150", "-----");
    t.channels[3] = ch("T", "ﾟC ", -1, 400, 1, "   00", "32767");
    const QString rec = recordOf(t);
    ASSERT_GE(rec.size(), mq::kTagSettingRecordMinLength);

    mq::clsLOGGER_SETTING s;
    mq::tag_para_data_save(s, rec);
    EXPECT_EQ(s.log_name(), QStringLiteral("ﾀﾝｸ-7   "));
    const char* types[4] = {"K", "-", "V", "T"};
    const char* units[4] = {"ﾟC ", "   ", "mV ", "ﾟC "};
    const qint16 mins[4] = {-200, 0, -100, -1};
    const qint16 maxs[4] = {1370, 0, 50, 400};
    const quint8 pos[4] = {1, 1, 2, 1};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(s.Ch_input_type(c), QString::fromLatin1(types[c])) << c;
        EXPECT_EQ(s.Ch_unit(c), QString::fromUtf8(units[c])) << c;
        EXPECT_EQ(s.Ch_scale_min(c), mins[c]) << c;
        EXPECT_EQ(s.Ch_scale_max(c), maxs[c]) << c;
        EXPECT_EQ(s.Ch_period_pos(c), pos[c]) << c;
    }
    // Alarms travel in tenths whatever the channel's decimals.
    EXPECT_DOUBLE_EQ(s.Ch_low_alarm_count_value(0), -20.0);
    EXPECT_DOUBLE_EQ(s.Ch_high_alarm_count_value(0), 1370.0);
    EXPECT_EQ(s.Ch_low_alarm_count(1), QStringLiteral("-----"));
    EXPECT_DOUBLE_EQ(s.Ch_low_alarm_count_value(2), 15.0);
    EXPECT_EQ(s.Ch_high_alarm_count(2), QStringLiteral("-----"));
    EXPECT_DOUBLE_EQ(s.Ch_low_alarm_count_value(3), 0.0);
    EXPECT_NE(s.Ch_low_alarm_count(3), QStringLiteral("-----"));
    EXPECT_DOUBLE_EQ(s.Ch_high_alarm_count_value(3), 3276.7);
}

TEST(TagSettingRecord, UnreadableRecordsLeaveTheSettingAsItWas) {
    logger_sim::TagEntry t;
    t.tag = 1;
    t.name = QStringLiteral("OLD");
    const QString good = recordOf(t);
    struct Case {
        const char* what;
        QString rec;
    };
    QString badScale = good;
    badScale.replace(59 - 1 + 6, 5, QStringLiteral(" 0x00"));
    QString badPos = good;
    badPos.replace(133 - 1 + 18, 1, QStringLiteral("x"));
    const Case cases[] = {{"short", good.left(mq::kTagSettingRecordMinLength - 1)},
                          {"scale no number", badScale},
                          {"decimal position no digit", badPos}};
    for (const Case& c : cases) {
        mq::clsLOGGER_SETTING s;
        s.let_log_name(QStringLiteral("KEEP"));
        EXPECT_THROW(mq::tag_para_data_save(s, c.rec), mq::ConversionError) << c.what;
        EXPECT_EQ(s.log_name(), QStringLiteral("KEEP    ")) << c.what;
    }
    // Numbers that read but do not fit: a scale beyond 16 bits, alarms
    // beyond 32 bits once scaled.
    const auto put = [&good](int at, const char* field) { return QString(good).replace(at - 1, 5, QLatin1String(field)); };
    const Case tooLarge[] = {{"scale", put(27 + 12, "99999")},
                             {"low alarm", put(59 + 20, "1E300")},
                             {"high alarm", put(133 + 26, "9D99 ")}};
    for (const Case& c : tooLarge) {
        mq::clsLOGGER_SETTING s;
        s.let_log_name(QStringLiteral("KEEP"));
        s.let_Ch_input_type(0, QStringLiteral("E"));
        EXPECT_THROW(mq::tag_para_data_save(s, c.rec), mq::OverflowError) << c.what;
        EXPECT_EQ(s.log_name(), QStringLiteral("KEEP    ")) << c.what;
        EXPECT_EQ(s.Ch_input_type(0), QStringLiteral("E")) << c.what;
    }
}

}  // namespace
