// The LOG-setting record parse and the setting/reservation command builders.
#include "common/test_env.h"
#include "log_settings/log_setting_record.h"
#include "main_window/command_files.h"
#include "main_window/serial_link.h"
#include "model/cls_logger_setting.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace {

using mq::clsLOGGER_SETTING;

// A 241-character record laid out field by field at the positions the logger
// uses (1-based, STX at 1), filled with "#" where nothing is interpreted so
// that a field read from a wrong position shows.
class Record {
public:
    Record() : m_t(241, u'#') {
        m_t[0] = QChar(2);
        put(2, "L00");
        put(5, "03");
        put(8, "ﾃｽﾄ1    ");
        put(17, "00");
        put(19, "00");
        put(21, "10");
        put(24, "ﾀﾅｶ     ");
        put(33, "ｹﾝｻ OK  ");
        put(42, "131210100017");
        put(55, "131210100117");
        block(78, "K", "ﾟC ", "-0200", " 1370", "1", "  100", "  500", "  250");
        block(116, "K", "ﾟC ", "-0200", " 1370", "1", "-2000", "13700", "    0");
        put(154, "9999999999");  // spare between CH2 and CH3
        block(164, "E", "ﾟC ", "-0200", " 0700", "1", "-----", "32767", "32766");
        block(202, "V", "V  ", "-1000", " 1000", "2", "  150", "-----", "-----");
        put(239, "\x03\r\n");
    }
    void put(int pos, const QString& s) { m_t.replace(pos - 1, s.size(), s); }
    void put(int pos, const char* s) { put(pos, QString::fromUtf8(s)); }
    void block(int b, const char* type, const char* unit, const char* smin, const char* smax, const char* pos,
               const char* low, const char* high, const char* base) {
        put(b, type);
        put(b + 2, unit);
        put(b + 6, smin);
        put(b + 12, smax);
        put(b + 18, pos);
        put(b + 20, low);
        put(b + 26, high);
        put(b + 32, base);
    }
    const QString& text() const { return m_t; }

private:
    QString m_t;
};

QDateTime dt(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

TEST(LogSettingRecordParse, StoresEveryFieldFromItsPosition) {
    clsLOGGER_SETTING s;
    mq::log_para_data_save(s, Record().text());

    EXPECT_EQ(s.log_name(), QStringLiteral("ﾃｽﾄ1    "));
    EXPECT_EQ(s.record_interval(), QStringLiteral("00:00:10"));
    EXPECT_EQ(s.Worker(), QStringLiteral("ﾀﾅｶ     "));
    EXPECT_EQ(s.Comment(), QStringLiteral("ｹﾝｻ OK  "));
    EXPECT_EQ(s.start_time(), dt(2013, 12, 10, 10, 0, 17));
    EXPECT_EQ(s.stop_time(), dt(2013, 12, 10, 10, 1, 17));

    EXPECT_EQ(s.Ch_input_type(0), QStringLiteral("K"));
    EXPECT_EQ(s.Ch_unit(0), QStringLiteral("ﾟC "));
    EXPECT_EQ(s.Ch_scale_min(0), -200);
    EXPECT_EQ(s.Ch_scale_max(0), 1370);
    EXPECT_EQ(s.Ch_period_pos(0), 1);
    EXPECT_DOUBLE_EQ(s.Ch_low_alarm_count_value(0), 10.0);
    EXPECT_DOUBLE_EQ(s.Ch_high_alarm_count_value(0), 50.0);
    EXPECT_DOUBLE_EQ(s.Ch_sum_std_count_value(0), 25.0);

    // Raw alarm texts with one implied decimal, whatever their sign or width.
    EXPECT_DOUBLE_EQ(s.Ch_low_alarm_count_value(1), -200.0);
    EXPECT_DOUBLE_EQ(s.Ch_high_alarm_count_value(1), 1370.0);
    EXPECT_DOUBLE_EQ(s.Ch_sum_std_count_value(1), 0.0);
    EXPECT_EQ(s.Ch_sum_std_count(1), QStringLiteral(" 0000"));

    // CH3 comes from 164, never from the spare characters at 154..163.
    EXPECT_EQ(s.Ch_input_type(2), QStringLiteral("E"));
    EXPECT_EQ(s.Ch_scale_max(2), 700);
    EXPECT_EQ(s.Ch_low_alarm_count(2), QStringLiteral("-----"));  // not set
    EXPECT_DOUBLE_EQ(s.Ch_high_alarm_count_value(2), 3276.7);
    EXPECT_DOUBLE_EQ(s.Ch_sum_std_count_value(2), 3276.6);

    // One decimal is inserted even for a voltage channel with two decimals.
    EXPECT_EQ(s.Ch_input_type(3), QStringLiteral("V"));
    EXPECT_EQ(s.Ch_unit(3), QStringLiteral("V  "));
    EXPECT_EQ(s.Ch_period_pos(3), 2);
    EXPECT_EQ(s.Ch_scale_min(3), -1000);
    EXPECT_DOUBLE_EQ(s.Ch_low_alarm_count_value(3), 15.0);
    EXPECT_EQ(s.Ch_high_alarm_count(3), QStringLiteral("-----"));
}

TEST(LogSettingRecordParse, DateFieldsThatAreNoDateLeaveTheTimesAlone) {
    clsLOGGER_SETTING s;
    s.let_start_time(dt(2001, 2, 3, 4, 5, 6));
    s.let_stop_time(dt(2002, 3, 4, 5, 6, 7));

    Record zeros;
    zeros.put(42, "000000000000");
    mq::log_para_data_save(s, zeros.text());
    EXPECT_EQ(s.start_time(), dt(2001, 2, 3, 4, 5, 6));
    EXPECT_EQ(s.stop_time(), dt(2002, 3, 4, 5, 6, 7));  // not even a valid stop is taken
    EXPECT_EQ(s.Ch_input_type(2), QStringLiteral("E"));  // the channels are still read

    Record badStop;
    badStop.put(55, "131399999999");
    mq::log_para_data_save(s, badStop.text());
    EXPECT_EQ(s.start_time(), dt(2013, 12, 10, 10, 0, 17));
    EXPECT_EQ(s.stop_time(), dt(2002, 3, 4, 5, 6, 7));
}

TEST(LogSettingRecordParse, AnUnreadableRecordChangesNothing) {
    clsLOGGER_SETTING s;
    s.let_log_name(QStringLiteral("KEEP"));
    EXPECT_THROW(mq::log_para_data_save(s, Record().text().left(200)), mq::ConversionError);

    Record badScale;
    badScale.put(116 + 6, "-0X00");
    EXPECT_THROW(mq::log_para_data_save(s, badScale.text()), mq::ConversionError);

    Record badDigit;
    badDigit.put(202 + 18, "x");
    EXPECT_THROW(mq::log_para_data_save(s, badDigit.text()), mq::ConversionError);
    EXPECT_EQ(s.log_name(), QStringLiteral("KEEP    "));

    // Numbers that read but do not fit once scaled: alarms and base.
    s.let_Ch_input_type(0, QStringLiteral("E"));
    for (const int at : {78 + 20, 116 + 26, 202 + 32}) {
        Record big;
        big.put(at, "1E300");
        EXPECT_THROW(mq::log_para_data_save(s, big.text()), mq::OverflowError) << at;
        EXPECT_EQ(s.log_name(), QStringLiteral("KEEP    ")) << at;
        EXPECT_EQ(s.Ch_input_type(0), QStringLiteral("E")) << at;
    }
}

TEST(LogSettingRecordParse, GoesIntoTheAreaItIsGivenWhateverIsCurrent) {
    mq::ModelSlot m;
    m->logger_main = std::make_shared<mq::clsLOGGER_Main>();
    m->logger_main->colLOGGER_DATA().Add(QStringLiteral("L03"));
    m->logger_main->colLOGGER_DATA().Add(QStringLiteral("L04"));
    m->act_logger_data = m->logger_main->colLOGGER_DATA().Item(QStringLiteral("L04"));
    mq::log_para_data_save(m->logger_main->colLOGGER_DATA().Item(QStringLiteral("L03"))->clsLOGGER_SETTING(),
                           Record().text());
    EXPECT_EQ(m->logger_main->colLOGGER_DATA().Item(QStringLiteral("L03"))->clsLOGGER_SETTING().log_name(),
              QStringLiteral("ﾃｽﾄ1    "));
    EXPECT_NE(m->act_logger_data->clsLOGGER_SETTING().log_name(), QStringLiteral("ﾃｽﾄ1    "));
}

// ---- commands

clsLOGGER_SETTING sample_setting() {
    clsLOGGER_SETTING s;
    s.let_record_interval(QStringLiteral("00:01:00"));
    const char* types[4] = {"K", "T", "V", "-"};
    for (int c = 0; c < 4; ++c) {
        s.let_Ch_input_type(c, QString::fromLatin1(types[c]));
        s.let_Ch_period_pos(c, c == 2 ? 2 : 1);
        s.let_Ch_unit(c, c == 2 ? QStringLiteral("V") : QStringLiteral("ﾟC "));
        s.let_Ch_scale_min(c, -200);
        s.let_Ch_scale_max(c, 5000);
        s.let_Ch_low_alarm_count(c, QStringLiteral("-200.0"));
        s.let_Ch_high_alarm_count(c, QStringLiteral("1370.0"));
        s.let_Ch_sum_std_count(c, QStringLiteral("0.0"));
    }
    return s;
}

TEST(LogSettingCommands, FieldForms) {
    EXPECT_EQ(mq::numbered_digits(7), QStringLiteral("07"));
    EXPECT_EQ(mq::numbered_digits(20), QStringLiteral("20"));
    EXPECT_EQ(mq::log_interval_part(QStringLiteral(" 5")), QStringLiteral("05"));
    EXPECT_EQ(mq::log_interval_part(QStringLiteral("12")), QStringLiteral("12"));
    EXPECT_EQ(mq::log_interval_part(QStringLiteral("  ")), QStringLiteral("00"));

    EXPECT_EQ(mq::setting_alarm_field(QStringLiteral("K"), -200.0), QStringLiteral("-2000"));
    EXPECT_EQ(mq::setting_alarm_field(QStringLiteral("K"), 1370.0), QStringLiteral("13700"));
    EXPECT_EQ(mq::setting_alarm_field(QStringLiteral("T"), 0.0), QStringLiteral("   00"));
    EXPECT_EQ(mq::setting_alarm_field(QStringLiteral("E"), 2.5), QStringLiteral("   25"));
    EXPECT_EQ(mq::setting_alarm_field(QStringLiteral("V"), 12.3), QStringLiteral("-----"));
    EXPECT_EQ(mq::setting_alarm_field(QStringLiteral("-"), 12.3), QStringLiteral("-----"));

    const clsLOGGER_SETTING s = sample_setting();
    EXPECT_EQ(mq::setting_channel_input_block(s, 0), QStringLiteral("K,ﾟC ,-0200, 5000,1,"));
    EXPECT_EQ(mq::setting_channel_input_block(s, 2), QStringLiteral("V,V  ,-0200, 5000,2,"));
}

TEST(LogSettingCommands, EachCommandKeepsTheTemplateAroundItsFields) {
    const clsLOGGER_SETTING s = sample_setting();
    const QString area = QStringLiteral("07");

    EXPECT_EQ(mq::log_cmd_interval(QStringLiteral("RP08IN00,000000,XYZ"), area, s), QStringLiteral("RP08IN07,000100,"));
    clsLOGGER_SETTING blanks = s;
    blanks.let_record_interval(QStringLiteral(" 1: 5:30"));
    EXPECT_EQ(mq::log_cmd_interval(QStringLiteral("RP08IN00,000000,"), area, blanks), QStringLiteral("RP08IN07,010530,"));

    const QString chTmpl = QStringLiteral("RP05CH00,") + QStringLiteral("-,   , 0000, 0000,0,").repeated(4) + "TAIL";
    EXPECT_EQ(mq::setting_cmd_channel_inputs(chTmpl, area, s),
              QStringLiteral("RP05CH07,K,ﾟC ,-0200, 5000,1,T,ﾟC ,-0200, 5000,1,V,V  ,-0200, 5000,2,"
                             "-,ﾟC ,-0200, 5000,1,TAIL"));

    const QString alTmpl = QStringLiteral("RP06AL00,") + QStringLiteral("-----,-----,").repeated(4);
    EXPECT_EQ(mq::setting_cmd_alarms(alTmpl, area, s),
              QStringLiteral("RP06AL07,-2000,13700,-2000,13700,-----,-----,-----,-----,"));

    EXPECT_EQ(mq::log_cmd_integ_bases(QStringLiteral("RP07IB00;-----;-----;-----;-----;"), area, s),
              QStringLiteral("RP07IB07;   00;   00;-----;-----;"));

    EXPECT_EQ(mq::log_cmd_reserve(QStringLiteral("RP00RS00,000000000000,"), QStringLiteral("03"),
                                  QStringLiteral("2014/01/02 03:04:05")),
              QStringLiteral("RP00RS03,140102030405,"));
    EXPECT_EQ(mq::log_cmd_reserve(QStringLiteral("RP01RE00,000000000000,EXTRA"), QStringLiteral("03"),
                                  QStringLiteral("0000/00/00 00:00:00")),
              QStringLiteral("RP01RE03,000000000000,"));
}

TEST(LogSettingCommands, AShortTemplateIsPaddedRatherThanOverrun) {
    const clsLOGGER_SETTING s = sample_setting();
    EXPECT_EQ(mq::log_cmd_interval(QStringLiteral("RP08"), QStringLiteral("01"), s), QStringLiteral("RP08  01 000100 "));
    EXPECT_EQ(mq::log_cmd_integ_bases(QStringLiteral("RP07IB00,"), QStringLiteral("01"), s).size(), 32);
}

TEST(LogSettingCommands, TheFourCommandsOfAnAreaFromTheCommandFile) {
    mq::test::ensureApplication();
    mq::LinkSlot ls;
    ASSERT_TRUE(mq::cmd_table_load(mq::test::configDir()));
    const QStringList cmds = mq::log_setting_commands(sample_setting(), QStringLiteral("12"));
    ASSERT_EQ(cmds.size(), 4);
    EXPECT_EQ(cmds[0], QStringLiteral("RP08IN12,000100,"));
    EXPECT_TRUE(cmds[1].startsWith(QStringLiteral("RP05CH12,K,ﾟC ,-0200, 5000,1,T,")));
    EXPECT_EQ(cmds[1].size(), 89);
    EXPECT_EQ(cmds[2], QStringLiteral("RP06AL12,-2000,13700,-2000,13700,-----,-----,-----,-----,"));
    EXPECT_EQ(cmds[3], QStringLiteral("RP07IB12,   00,   00,-----,-----,"));
}

TEST(LogSettingCommands, ParseThenBuildGivesTheLoggerItsOwnValuesBack) {
    clsLOGGER_SETTING s;
    mq::log_para_data_save(s, Record().text());
    const QString al = mq::setting_cmd_alarms(QStringLiteral("RP06AL00,") + QStringLiteral("-----,-----,").repeated(4),
                                          QStringLiteral("01"), s);
    // CH1 and CH2 come back as they were read; CH3's unset low alarm is sent
    // as its value 0; the voltage channel carries no alarms.
    EXPECT_EQ(al, QStringLiteral("RP06AL01,  100,  500,-2000,13700,   00,32767,-----,-----,"));
}

}  // namespace
