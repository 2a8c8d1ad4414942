// Logger status: offset, scale-count and shift texts, 16-bit limits, the
// worker-name and comment lists, version texts and fixed-length fields.
#include <gtest/gtest.h>

#include "model/cls_logger_status.h"
#include "platform/errors.h"

using mq::clsLOGGER_STATUS;

namespace {
QString nuls(int n) { return QString(n, QChar(u'\0')); }
}  // namespace

TEST(LoggerStatus, FreshObjectHoldsNulTextsAndZeros) {
    clsLOGGER_STATUS st;
    EXPECT_EQ(st.serial_no(), nuls(8));
    EXPECT_EQ(st.model_name(), nuls(8));
    EXPECT_EQ(st.user_model_name(), nuls(8));
    EXPECT_EQ(st.file_format(), nuls(4));
    EXPECT_EQ(st.worker_name(0), nuls(8));
    EXPECT_EQ(st.Comment(19), nuls(8));
    EXPECT_EQ(st.mode_type(), 0);
    EXPECT_EQ(st.remain_memory(), 0);
    EXPECT_EQ(st.proof_0mv_count(), 0);
    EXPECT_FALSE(st.back_light());
    EXPECT_FALSE(st.alarm_sound());
    EXPECT_EQ(st.ch_offset(0), QStringLiteral("    0"));
    EXPECT_EQ(st.Ch_shift(3), QStringLiteral("   0"));
    EXPECT_EQ(st.ch_scale_count(2), QStringLiteral("    0"));
    EXPECT_EQ(st.hard_ver_str(), QStringLiteral("00"));
    EXPECT_EQ(st.logger_time(), QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0), Qt::UTC));
}

TEST(LoggerStatus, OffsetTextCarriesTenthsAndReadsInDisplayUnits) {
    clsLOGGER_STATUS st;
    st.let_ch_offset(0, QStringLiteral("-3"));
    EXPECT_EQ(st.ch_offset(0), QStringLiteral(" -0.3"));
    EXPECT_FLOAT_EQ(st.ch_offset_value(0), -0.3f);

    st.let_ch_offset(1, QStringLiteral("15"));
    EXPECT_EQ(st.ch_offset(1), QStringLiteral(" +1.5"));
    EXPECT_FLOAT_EQ(st.ch_offset_value(1), 1.5f);

    st.let_ch_offset(1, QStringLiteral("0"));
    EXPECT_EQ(st.ch_offset(1), QStringLiteral("    0"));
    st.let_ch_offset(1, QStringLiteral("-0"));
    EXPECT_EQ(st.ch_offset(1), QStringLiteral("    0"));

    // Blanks around the text and an explicit sign are accepted.
    st.let_ch_offset(2, QStringLiteral("  +20 "));
    EXPECT_EQ(st.ch_offset(2), QStringLiteral("   +2"));
    st.let_ch_offset(2, QStringLiteral("1"));
    EXPECT_EQ(st.ch_offset(2), QStringLiteral(" +0.1"));
    // A long text keeps its last five characters.
    st.let_ch_offset(3, QStringLiteral("12345"));
    EXPECT_EQ(st.ch_offset(3), QStringLiteral("234.5"));
}

TEST(LoggerStatus, NonNumericOffsetOrScaleCountRaisesAndKeepsTheOldValue) {
    clsLOGGER_STATUS st;
    st.let_ch_offset(0, QStringLiteral("-3"));
    EXPECT_THROW(st.let_ch_offset(0, QStringLiteral("abc")), mq::ConversionError);
    EXPECT_THROW(st.let_ch_offset(0, QStringLiteral("1 2x")), mq::ConversionError);
    EXPECT_THROW(st.let_ch_offset(0, QString()), mq::ConversionError);
    EXPECT_EQ(st.ch_offset(0), QStringLiteral(" -0.3"));

    st.let_ch_scale_count(1, QStringLiteral("15"));
    EXPECT_THROW(st.let_ch_scale_count(1, QStringLiteral("x")), mq::ConversionError);
    EXPECT_FLOAT_EQ(st.ch_scale_count_value(1), 1.5f);
    EXPECT_EQ(st.ch_scale_count(1), QStringLiteral("   15"));
    st.let_ch_scale_count(1, QStringLiteral("-7"));
    EXPECT_EQ(st.ch_scale_count(1), QStringLiteral("   -7"));
    EXPECT_FLOAT_EQ(st.ch_scale_count_value(1), -0.7f);
}

TEST(LoggerStatus, ShiftTextStoresTenthsRoundedHalfToEven) {
    clsLOGGER_STATUS st;
    st.let_Ch_shift(0, QStringLiteral("1.5"));
    EXPECT_EQ(st.Ch_shift(0), QStringLiteral("  15"));
    st.let_Ch_shift(1, QStringLiteral("15"));
    EXPECT_EQ(st.Ch_shift(1), QStringLiteral("  15"));
    st.let_Ch_shift(2, QStringLiteral("-0.5"));
    EXPECT_EQ(st.Ch_shift(2), QStringLiteral("  -5"));
    st.let_Ch_shift(2, QStringLiteral("0.25"));
    EXPECT_EQ(st.Ch_shift(2), QStringLiteral("   2"));
    st.let_Ch_shift(2, QStringLiteral("0.35"));
    EXPECT_EQ(st.Ch_shift(2), QStringLiteral("   4"));
    // No leading number stores 0.
    st.let_Ch_shift(3, QStringLiteral("abc"));
    EXPECT_EQ(st.Ch_shift(3), QStringLiteral("   0"));
    st.let_Ch_shift(3, QStringLiteral("-99.9"));
    EXPECT_EQ(st.Ch_shift(3), QStringLiteral("-999"));
}

TEST(LoggerStatus, SixteenBitFieldsRaiseOverflowAndKeepTheOldValue) {
    clsLOGGER_STATUS st;
    st.let_Ch_shift(0, QStringLiteral("3276.7"));
    EXPECT_THROW(st.let_Ch_shift(0, QStringLiteral("3276.8")), mq::OverflowError);
    EXPECT_THROW(st.let_Ch_shift(0, QStringLiteral("-32769")), mq::OverflowError);
    EXPECT_EQ(st.Ch_shift(0), QStringLiteral("2767"));  // last 4 of 32767
    st.let_Ch_shift(1, QStringLiteral("-32768"));
    EXPECT_EQ(st.Ch_shift(1), QStringLiteral("2768"));

    st.let_proof_60mv_count(32767);
    st.let_proof_0mv_count(-32768);
    EXPECT_THROW(st.let_proof_60mv_count(32768), mq::OverflowError);
    EXPECT_THROW(st.let_proof_0mv_count(-32769), mq::OverflowError);
    EXPECT_THROW(st.let_proof_m10mv_count(100000), mq::OverflowError);
    EXPECT_EQ(st.proof_60mv_count(), 32767);
    EXPECT_EQ(st.proof_0mv_count(), -32768);
    EXPECT_EQ(st.proof_m10mv_count(), 0);
}

TEST(LoggerStatus, WorkerAndCommentListsHaveTwentyEightCharacterEntries) {
    clsLOGGER_STATUS st;
    st.let_worker_name(19, QStringLiteral("SUZUKI"));
    EXPECT_EQ(st.worker_name(19), QStringLiteral("SUZUKI  "));
    st.let_worker_name(0, QStringLiteral("ﾔﾏﾀﾞﾀﾛｳｻﾝ"));
    EXPECT_EQ(st.worker_name(0), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳｻ"));
    st.let_Comment(5, QStringLiteral("冷凍庫"));
    EXPECT_EQ(st.Comment(5), QStringLiteral("冷凍庫     "));
    EXPECT_EQ(st.Comment(4), nuls(8));  // neighbours untouched
    for (int i : {-1, 20}) {
        SCOPED_TRACE(i);
        EXPECT_THROW(st.worker_name(i), mq::OutOfRangeError);
        EXPECT_THROW(st.let_worker_name(i, QStringLiteral("X")), mq::OutOfRangeError);
        EXPECT_THROW(st.Comment(i), mq::OutOfRangeError);
        EXPECT_THROW(st.let_Comment(i, QStringLiteral("X")), mq::OutOfRangeError);
    }
}

TEST(LoggerStatus, IdentityTextsVersionsModeAndSwitches) {
    clsLOGGER_STATUS st;
    st.let_serial_no(QStringLiteral("123456789"));
    EXPECT_EQ(st.serial_no(), QStringLiteral("12345678"));
    st.let_model_name(QStringLiteral("MQ-4"));
    EXPECT_EQ(st.model_name(), QStringLiteral("MQ-4    "));
    st.let_user_model_name(QStringLiteral("LINE-A"));
    EXPECT_EQ(st.user_model_name(), QStringLiteral("LINE-A  "));
    st.let_file_format(QStringLiteral("ML2"));
    EXPECT_EQ(st.file_format(), QStringLiteral("ML2 "));
    st.let_file_format(QStringLiteral("ML2XY"));
    EXPECT_EQ(st.file_format(), QStringLiteral("ML2X"));

    st.let_hard_ver(7);
    EXPECT_EQ(st.hard_ver_str(), QStringLiteral("07"));
    st.let_soft_ver(12);
    EXPECT_EQ(st.soft_ver_str(), QStringLiteral("12"));
    st.let_special_spec(0);
    EXPECT_EQ(st.special_spec_str(), QStringLiteral("00"));
    st.let_special_spec(3);
    EXPECT_EQ(st.special_spec_str(), QStringLiteral("03"));

    st.let_mode_type(1);
    EXPECT_EQ(st.mode_type(), 1);

    st.let_back_light(2);
    EXPECT_TRUE(st.back_light());
    st.let_key_sound(1);
    EXPECT_TRUE(st.key_sound());
    st.let_key_sound(0);
    EXPECT_FALSE(st.key_sound());
    st.let_auto_poweroff(255);
    EXPECT_TRUE(st.auto_poweroff());
    EXPECT_FALSE(st.alarm_sound());
}

TEST(LoggerStatus, ChannelIndexOutsideZeroToThreeRaises) {
    clsLOGGER_STATUS st;
    for (int ch : {-1, 4}) {
        SCOPED_TRACE(ch);
        EXPECT_THROW(st.ch_offset(ch), mq::OutOfRangeError);
        EXPECT_THROW(st.let_ch_offset(ch, QStringLiteral("1")), mq::OutOfRangeError);
        EXPECT_THROW(st.ch_offset_value(ch), mq::OutOfRangeError);
        EXPECT_THROW(st.Ch_shift(ch), mq::OutOfRangeError);
        EXPECT_THROW(st.let_Ch_shift(ch, QStringLiteral("1")), mq::OutOfRangeError);
        EXPECT_THROW(st.let_ch_scale_count(ch, QStringLiteral("1")), mq::OutOfRangeError);
        EXPECT_THROW(st.ch_ad_count(ch), mq::OutOfRangeError);
        EXPECT_THROW(st.let_ch_thermistor_count(ch, 1), mq::OutOfRangeError);
        EXPECT_THROW(st.ch_thermistor_ad_count(ch), mq::OutOfRangeError);
    }
    // A bad index wins over a bad text: nothing is converted for a channel that does not exist.
    EXPECT_THROW(st.let_ch_offset(4, QStringLiteral("abc")), mq::OutOfRangeError);
}
