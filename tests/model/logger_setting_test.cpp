// Recording settings and statistics: scaling of value texts, optional values,
// the 12-digit date texts, interval texts, fixed-width forms and index checks.
#include <gtest/gtest.h>

#include "model/cls_logger_setting.h"
#include "platform/errors.h"

using mq::clsLOGGER_SETTING;

namespace {

QString nuls(int n) { return QString(n, QChar(u'\0')); }

// A channel set up as a thermocouple (factor 10).
clsLOGGER_SETTING temperatureChannel0() {
    clsLOGGER_SETTING s;
    s.let_Ch_input_type(0, QStringLiteral("K"));
    return s;
}

// A voltage channel 0 with the given decimal position.
clsLOGGER_SETTING voltageChannel0(quint8 period) {
    clsLOGGER_SETTING s;
    s.let_Ch_input_type(0, QStringLiteral("V"));
    s.let_Ch_period_pos(0, period);
    return s;
}

}  // namespace

TEST(LoggerSetting, FreshObjectHoldsNulTextsZerosAndSetOptionalZeros) {
    clsLOGGER_SETTING s;
    EXPECT_EQ(s.log_name(), nuls(8));
    EXPECT_EQ(s.Worker(), nuls(8));
    EXPECT_EQ(s.Comment(), nuls(8));
    for (int ch = 0; ch < 4; ++ch) {
        EXPECT_EQ(s.Ch_unit(ch), nuls(3));
        EXPECT_EQ(s.Ch_input_type(ch), nuls(1));
        EXPECT_EQ(s.Ch_high_alarm_count(ch), QStringLiteral("    0"));
        EXPECT_EQ(s.Ch_low_alarm_count(ch), QStringLiteral("    0"));
        EXPECT_EQ(s.Ch_sum_std_count(ch), QStringLiteral(" 0000"));
        EXPECT_EQ(s.Ch_min(ch), QStringLiteral("    0"));
        EXPECT_EQ(s.Ch_l_sum(ch), QStringLiteral("       0"));
        EXPECT_EQ(s.Ch_sum(ch), 0.0);
        EXPECT_EQ(s.Ch_period_pos(ch), 0);
    }
    EXPECT_EQ(s.record_interval(), QString());
    EXPECT_EQ(s.area_no_str(), QStringLiteral("00"));
    EXPECT_EQ(s.data_count_str(), QStringLiteral("         0"));
    // The zero date of the program's date type.
    EXPECT_EQ(s.Disp_StartTime(), QStringLiteral("1899/12/30 00:00:00"));
    EXPECT_EQ(s.start_time_str(), QStringLiteral("991230000000"));
}

TEST(LoggerSetting, ScaledTextOnTemperatureChannel) {
    auto s = temperatureChannel0();
    s.let_Ch_min(0, QStringLiteral("-12.5"));
    EXPECT_EQ(s.Ch_min(0), QStringLiteral(" -125"));
    EXPECT_DOUBLE_EQ(s.Ch_min_value(0), -12.5);

    // Without a point the text is the scaled integer already.
    s.let_Ch_max(0, QStringLiteral("123"));
    EXPECT_EQ(s.Ch_max(0), QStringLiteral("  123"));
    s.let_Ch_max(0, QStringLiteral("12.3"));
    EXPECT_EQ(s.Ch_max(0), QStringLiteral("  123"));
    // Reading the text form back and setting it again keeps the value.
    s.let_Ch_max(0, s.Ch_max(0));
    EXPECT_EQ(s.Ch_max(0), QStringLiteral("  123"));
    EXPECT_DOUBLE_EQ(s.Ch_max_value(0), 12.3);

    // Leading blanks are skipped; a text without a leading number sets 0.
    s.let_Ch_ave(0, QStringLiteral("   2.5abc"));
    EXPECT_EQ(s.Ch_ave(0), QStringLiteral("   25"));
    s.let_Ch_ave(0, QStringLiteral("abc"));
    EXPECT_EQ(s.Ch_ave(0), QStringLiteral("    0"));
    EXPECT_DOUBLE_EQ(s.Ch_ave_value(0), 0.0);

    // An unset input type scales like a thermocouple.
    clsLOGGER_SETTING fresh;
    fresh.let_Ch_min(2, QStringLiteral("1.5"));
    EXPECT_EQ(fresh.Ch_min(2), QStringLiteral("   15"));
}

TEST(LoggerSetting, VoltageChannelFactorFollowsDecimalPosition) {
    auto s = voltageChannel0(3);
    s.let_Ch_max(0, QStringLiteral("1.234"));
    EXPECT_EQ(s.Ch_max(0), QStringLiteral(" 1234"));
    EXPECT_DOUBLE_EQ(s.Ch_max_value(0), 1.234);

    s.let_Ch_period_pos(0, 2);
    s.let_Ch_min(0, QStringLiteral("1.25"));
    EXPECT_EQ(s.Ch_min(0), QStringLiteral("  125"));
    s.let_Ch_period_pos(0, 1);
    s.let_Ch_min(0, QStringLiteral("1.25"));
    EXPECT_EQ(s.Ch_min(0), QStringLiteral("   12"));  // 12.5 goes to the even 12

    // Any other position: factor 1, rounding half to even.
    s.let_Ch_period_pos(0, 0);
    s.let_Ch_max(0, QStringLiteral("1.5"));
    EXPECT_EQ(s.Ch_max(0), QStringLiteral("    2"));
    s.let_Ch_max(0, QStringLiteral("2.5"));
    EXPECT_EQ(s.Ch_max(0), QStringLiteral("    2"));
    s.let_Ch_max(0, QStringLiteral("-2.5"));
    EXPECT_EQ(s.Ch_max(0), QStringLiteral("   -2"));
    s.let_Ch_period_pos(0, 4);
    s.let_Ch_max(0, QStringLiteral("3.5"));
    EXPECT_EQ(s.Ch_max(0), QStringLiteral("    4"));
}

TEST(LoggerSetting, ChangingDecimalPositionRescalesValuesNotStoredIntegers) {
    auto s = voltageChannel0(3);
    s.let_Ch_max(0, QStringLiteral("1.234"));
    s.let_Ch_high_alarm_count(0, QStringLiteral("1.000"));
    s.let_Ch_period_pos(0, 1);
    EXPECT_EQ(s.Ch_max(0), QStringLiteral(" 1234"));
    EXPECT_DOUBLE_EQ(s.Ch_max_value(0), 123.4);
    EXPECT_DOUBLE_EQ(s.Ch_high_alarm_count_value(0), 100.0);
    // And a channel that stops being a voltage channel scales by 10.
    s.let_Ch_input_type(0, QStringLiteral("T"));
    s.let_Ch_period_pos(0, 3);
    EXPECT_DOUBLE_EQ(s.Ch_max_value(0), 123.4);
}

TEST(LoggerSetting, ScaledTextRoundsHalfToEvenAfterScaling) {
    auto s = temperatureChannel0();
    s.let_Ch_l_sum(0, QStringLiteral("0.25"));  // 2.5
    EXPECT_EQ(s.Ch_l_sum(0), QStringLiteral("       2"));
    s.let_Ch_l_sum(0, QStringLiteral("0.35"));  // 3.5
    EXPECT_EQ(s.Ch_l_sum(0), QStringLiteral("       4"));
    s.let_Ch_h_sum(0, QStringLiteral("-0.25"));
    EXPECT_EQ(s.Ch_h_sum(0), QStringLiteral("      -2"));
    EXPECT_DOUBLE_EQ(s.Ch_h_sum_value(0), -0.2);
    EXPECT_DOUBLE_EQ(s.Ch_l_sum_value(0), 0.4);
}

TEST(LoggerSetting, OverflowAfterScalingRaisesAndKeepsTheOldValue) {
    auto s = temperatureChannel0();
    s.let_Ch_h_sum(0, QStringLiteral("77"));
    EXPECT_THROW(s.let_Ch_h_sum(0, QStringLiteral("214748364.8")), mq::OverflowError);
    EXPECT_THROW(s.let_Ch_h_sum(0, QStringLiteral("2147483648")), mq::OverflowError);
    EXPECT_EQ(s.Ch_h_sum(0), QStringLiteral("      77"));
    // The largest value that fits is kept.
    s.let_Ch_h_sum(0, QStringLiteral("2147483647"));
    EXPECT_EQ(s.Ch_h_sum(0), QStringLiteral("47483647"));
    s.let_Ch_l_sum(0, QStringLiteral("-214748364.8"));
    EXPECT_EQ(s.Ch_l_sum(0), QStringLiteral("47483648"));  // last 8 of -2147483648

    s.let_Ch_high_alarm_count(0, QStringLiteral("------"));
    EXPECT_THROW(s.let_Ch_high_alarm_count(0, QStringLiteral("999999999.9")), mq::OverflowError);
    EXPECT_EQ(s.Ch_high_alarm_count(0), QStringLiteral("-----"));
}

TEST(LoggerSetting, OptionalValuesNotSetMarksAndZeroForms) {
    auto s = temperatureChannel0();
    s.let_Ch_high_alarm_count(0, QStringLiteral("------"));
    EXPECT_EQ(s.Ch_high_alarm_count(0), QStringLiteral("-----"));
    EXPECT_EQ(s.Ch_high_alarm_count_value(0), 0.0);
    s.let_Ch_low_alarm_count(0, QStringLiteral("-----"));
    EXPECT_EQ(s.Ch_low_alarm_count(0), QStringLiteral("-----"));
    s.let_Ch_sum_std_count(0, QStringLiteral("-----"));
    EXPECT_EQ(s.Ch_sum_std_count(0), QStringLiteral("-----"));
    EXPECT_EQ(s.Ch_sum_std_count_value(0), 0.0);

    // A real value marks it set again.
    s.let_Ch_high_alarm_count(0, QStringLiteral("25.5"));
    EXPECT_EQ(s.Ch_high_alarm_count(0), QStringLiteral("  255"));
    EXPECT_DOUBLE_EQ(s.Ch_high_alarm_count_value(0), 25.5);

    // Zero: four zeros only for the integration base.
    s.let_Ch_sum_std_count(0, QStringLiteral("0"));
    EXPECT_EQ(s.Ch_sum_std_count(0), QStringLiteral(" 0000"));
    s.let_Ch_low_alarm_count(0, QStringLiteral("0"));
    EXPECT_EQ(s.Ch_low_alarm_count(0), QStringLiteral("    0"));
    s.let_Ch_sum_std_count(0, QStringLiteral("5"));
    EXPECT_EQ(s.Ch_sum_std_count(0), QStringLiteral("    5"));
    s.let_Ch_sum_std_count(0, QStringLiteral("-10.0"));
    EXPECT_EQ(s.Ch_sum_std_count(0), QStringLiteral(" -100"));
    EXPECT_DOUBLE_EQ(s.Ch_sum_std_count_value(0), -10.0);

    // Only the exact marks mean "not set"; anything else goes through scaling.
    s.let_Ch_low_alarm_count(0, QStringLiteral(" -----"));
    EXPECT_EQ(s.Ch_low_alarm_count(0), QStringLiteral("    0"));
    s.let_Ch_low_alarm_count(0, QStringLiteral("----"));
    EXPECT_EQ(s.Ch_low_alarm_count(0), QStringLiteral("    0"));

    // Channels are independent.
    EXPECT_EQ(s.Ch_high_alarm_count(1), QStringLiteral("    0"));
}

TEST(LoggerSetting, TwelveDigitDateTexts) {
    clsLOGGER_SETTING s;
    s.let_start_time_str(QStringLiteral("131210083000"));
    EXPECT_EQ(s.Disp_StartTime(), QStringLiteral("2013/12/10 08:30:00"));
    EXPECT_EQ(s.start_time_str(), QStringLiteral("131210083000"));
    EXPECT_EQ(s.start_time(), QDateTime(QDate(2013, 12, 10), QTime(8, 30, 0), Qt::UTC));

    // Twelve zeros: no stop time yet, the stop is the start.
    s.let_stop_time_str(QStringLiteral("000000000000"));
    EXPECT_EQ(s.Disp_StopTime(), QStringLiteral("2013/12/10 08:30:00"));
    EXPECT_EQ(s.stop_time(), s.start_time());

    s.let_stop_time_str(QStringLiteral("140101235959"));
    EXPECT_EQ(s.Disp_StopTime(), QStringLiteral("2014/01/01 23:59:59"));
    EXPECT_EQ(s.stop_time_str(), QStringLiteral("140101235959"));

    // Single-digit parts are shown with two digits.
    s.let_start_time(QDateTime(QDate(2009, 3, 4), QTime(5, 6, 7), Qt::UTC));
    EXPECT_EQ(s.Disp_StartTime(), QStringLiteral("2009/03/04 05:06:07"));
    EXPECT_EQ(s.start_time_str(), QStringLiteral("090304050607"));
}

TEST(LoggerSetting, InvalidDateTextsRaiseConversionErrorAndKeepTheOldTime) {
    clsLOGGER_SETTING s;
    s.let_start_time_str(QStringLiteral("131210083000"));
    s.let_stop_time_str(QStringLiteral("131211083000"));
    EXPECT_THROW(s.let_start_time_str(QStringLiteral("130230000000")), mq::ConversionError);  // 30 Feb
    EXPECT_THROW(s.let_start_time_str(QStringLiteral("131210250000")), mq::ConversionError);  // hour 25
    EXPECT_THROW(s.let_start_time_str(QStringLiteral("000000000000")), mq::ConversionError);  // only stop may be zero
    EXPECT_THROW(s.let_stop_time_str(QStringLiteral("131301000000")), mq::ConversionError);   // month 13
    EXPECT_THROW(s.let_stop_time_str(QStringLiteral("1312")), mq::ConversionError);
    EXPECT_THROW(s.let_stop_time_str(QStringLiteral("ab1210083000")), mq::ConversionError);
    EXPECT_EQ(s.Disp_StartTime(), QStringLiteral("2013/12/10 08:30:00"));
    EXPECT_EQ(s.Disp_StopTime(), QStringLiteral("2013/12/11 08:30:00"));
    // 2012 was a leap year.
    s.let_stop_time_str(QStringLiteral("120229000000"));
    EXPECT_EQ(s.Disp_StopTime(), QStringLiteral("2012/02/29 00:00:00"));
}

TEST(LoggerSetting, RecordIntervalTexts) {
    clsLOGGER_SETTING s;
    s.let_record_interval_str(QStringLiteral("000130"));
    EXPECT_EQ(s.record_interval(), QStringLiteral("00:01:30"));
    EXPECT_EQ(s.record_interval_str(), QStringLiteral("000130"));
    // The plain form is kept as given.
    s.let_record_interval(QStringLiteral("12:34:56"));
    EXPECT_EQ(s.record_interval_str(), QStringLiteral("123456"));
    // Short texts take what is there, without reading past the end.
    s.let_record_interval_str(QStringLiteral("12"));
    EXPECT_EQ(s.record_interval(), QStringLiteral("12::"));
    s.let_record_interval(QString());
    EXPECT_EQ(s.record_interval_str(), QString());
}

TEST(LoggerSetting, FixedWidthTextForms) {
    clsLOGGER_SETTING s;
    s.let_area_no(7);
    EXPECT_EQ(s.area_no_str(), QStringLiteral("07"));
    s.let_area_no(20);
    EXPECT_EQ(s.area_no_str(), QStringLiteral("20"));

    s.let_Ch_data_count(1, 123456789);
    EXPECT_EQ(s.Ch_data_count_str(1), QStringLiteral("23456789"));
    EXPECT_EQ(s.Ch_data_count(1), 123456789);
    s.let_Ch_data_count(1, 42);
    EXPECT_EQ(s.Ch_data_count_str(1), QStringLiteral("      42"));
    s.let_data_count(345600);
    EXPECT_EQ(s.data_count_str(), QStringLiteral("    345600"));
    s.let_CH_L_ALM_NUM(2, 15);
    EXPECT_EQ(s.CH_L_ALM_NUM_str(2), QStringLiteral("        15"));
    s.let_CH_H_ALM_NUM(3, -2147483647 - 1);
    EXPECT_EQ(s.CH_H_ALM_NUM_str(3), QStringLiteral("2147483648"));

    s.let_Ch_scale_max(0, 100);
    EXPECT_EQ(s.Ch_scale_max_str(0), QStringLiteral("  100"));
    s.let_Ch_scale_min(0, -100);
    EXPECT_EQ(s.Ch_scale_min_str(0), QStringLiteral(" -100"));
    s.let_Ch_scale_min(1, 0);
    EXPECT_EQ(s.Ch_scale_min_str(1), QStringLiteral("    0"));
    s.let_Ch_scale_max(1, 13700);
    EXPECT_EQ(s.Ch_scale_max_str(1), QStringLiteral("13700"));

    // Statistics texts longer than the width stay whole (a sign is never lost).
    auto t = temperatureChannel0();
    t.let_Ch_ave(0, QStringLiteral("123456"));
    EXPECT_EQ(t.Ch_ave(0), QStringLiteral("123456"));
    t.let_Ch_min(0, QStringLiteral("-3222.4"));
    EXPECT_EQ(t.Ch_min(0), QStringLiteral("-32224"));
}

TEST(LoggerSetting, FixedLengthTextsAreCutOrPaddedInCharacters) {
    clsLOGGER_SETTING s;
    s.let_log_name(QStringLiteral("ABCDEFGHIJ"));
    EXPECT_EQ(s.log_name(), QStringLiteral("ABCDEFGH"));
    s.let_log_name(QStringLiteral("AB"));
    EXPECT_EQ(s.log_name(), QStringLiteral("AB      "));
    s.let_Worker(QStringLiteral("山田太郎"));
    EXPECT_EQ(s.Worker(), QStringLiteral("山田太郎    "));
    s.let_Comment(QStringLiteral("温度測定ライン第一工場"));
    EXPECT_EQ(s.Comment(), QStringLiteral("温度測定ライン第"));
    s.let_Comment(QString());
    EXPECT_EQ(s.Comment(), QStringLiteral("        "));
    s.let_Ch_unit(0, QStringLiteral("℃"));
    EXPECT_EQ(s.Ch_unit(0), QStringLiteral("℃  "));
    s.let_Ch_unit(0, QStringLiteral("mV/s"));
    EXPECT_EQ(s.Ch_unit(0), QStringLiteral("mV/"));
    s.let_Ch_input_type(3, QStringLiteral("VX"));
    EXPECT_EQ(s.Ch_input_type(3), QStringLiteral("V"));
    s.let_Ch_input_type(3, QString());
    EXPECT_EQ(s.Ch_input_type(3), QStringLiteral(" "));
}

TEST(LoggerSetting, ChannelIndexOutsideZeroToThreeRaises) {
    clsLOGGER_SETTING s;
    for (int ch : {-1, 4}) {
        SCOPED_TRACE(ch);
        EXPECT_THROW(s.Ch_min(ch), mq::OutOfRangeError);
        EXPECT_THROW(s.Ch_min_value(ch), mq::OutOfRangeError);
        EXPECT_THROW(s.let_Ch_min(ch, QStringLiteral("1.0")), mq::OutOfRangeError);
        EXPECT_THROW(s.let_Ch_max(ch, QStringLiteral("1")), mq::OutOfRangeError);
        EXPECT_THROW(s.let_Ch_ave(ch, QStringLiteral("1")), mq::OutOfRangeError);
        EXPECT_THROW(s.let_Ch_l_sum(ch, QStringLiteral("1")), mq::OutOfRangeError);
        EXPECT_THROW(s.Ch_h_sum_value(ch), mq::OutOfRangeError);
        EXPECT_THROW(s.let_Ch_high_alarm_count(ch, QStringLiteral("-----")), mq::OutOfRangeError);
        EXPECT_THROW(s.let_Ch_sum_std_count(ch, QStringLiteral("5")), mq::OutOfRangeError);
        EXPECT_THROW(s.Ch_low_alarm_count(ch), mq::OutOfRangeError);
        EXPECT_THROW(s.Ch_sum_std_count_value(ch), mq::OutOfRangeError);
        EXPECT_THROW(s.Ch_input_type(ch), mq::OutOfRangeError);
        EXPECT_THROW(s.let_Ch_input_type(ch, QStringLiteral("V")), mq::OutOfRangeError);
        EXPECT_THROW(s.let_Ch_period_pos(ch, 1), mq::OutOfRangeError);
        EXPECT_THROW(s.Ch_unit(ch), mq::OutOfRangeError);
        EXPECT_THROW(s.Ch_scale_max_str(ch), mq::OutOfRangeError);
        EXPECT_THROW(s.let_Ch_scale_min(ch, 1), mq::OutOfRangeError);
        EXPECT_THROW(s.Ch_data_count_str(ch), mq::OutOfRangeError);
        EXPECT_THROW(s.let_Ch_sum(ch, 1.0), mq::OutOfRangeError);
        EXPECT_THROW(s.CH_L_ALM_NUM(ch), mq::OutOfRangeError);
        EXPECT_THROW(s.let_CH_H_ALM_NUM(ch, 1), mq::OutOfRangeError);
    }
    EXPECT_NO_THROW(s.Ch_min(3));
}
