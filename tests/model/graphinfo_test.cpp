// Graph information: levels scale with the CURRENT data set's channel code and
// this object's own decimal positions; file texts, reference-level texts,
// padded title and comments, fixed-length switches and index checks.
#include <gtest/gtest.h>

#include <memory>

#include "model/cls_logger_graphinfo.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"

using mq::clsLOGGER_GraphInfo;

namespace {

QString nuls(int n) { return QString(n, QChar(u'\0')); }

// A fresh model state with one file data set made current; its own graph
// information is the object under test, as the graph window uses it.
class GraphInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = std::make_shared<mq::clsFILE_DATA>();
        slot->act_data_kind = 1;
        slot->act_file_data = file;
    }
    void TearDown() override {
        slot->act_data_kind = 0;
        slot->act_file_data.reset();
    }

    // Sets the input-type code of a channel of the current data set.
    void kind(int ch, const char* code) { file->clsLOGGER_SETTING().let_Ch_input_type(ch, QString::fromUtf8(code)); }
    clsLOGGER_GraphInfo& gi() { return file->clsLOGGER_GraphInfo(); }

    mq::ModelSlot slot;
    std::shared_ptr<mq::clsFILE_DATA> file;
};

}  // namespace

TEST_F(GraphInfoTest, TemperatureChannelScalesByTen) {
    kind(0, "K");
    gi().let_Ch_H_Alm(0, 25.5);
    EXPECT_EQ(gi().Ch_H_Alm_FileString(0), QStringLiteral("  255"));
    EXPECT_DOUBLE_EQ(gi().Ch_H_Alm(0), 25.5);
    // The object's own decimal position does not matter off a voltage channel.
    gi().let_Ch_period_pos(0, 3);
    EXPECT_DOUBLE_EQ(gi().Ch_H_Alm(0), 25.5);
    gi().let_Ch_L_Alm(0, -10.25);  // -102.5 goes to the even -102
    EXPECT_EQ(gi().Ch_L_Alm_FileString(0), QStringLiteral(" -102"));
}

TEST_F(GraphInfoTest, VoltageChannelScalesByThisObjectsDecimalPosition) {
    kind(1, "V");
    // The data set's own setting says 3, the graph information says 2: the latter counts.
    file->clsLOGGER_SETTING().let_Ch_period_pos(1, 3);
    gi().let_Ch_period_pos(1, 2);
    gi().let_Ch_L_Alm_FileString(1, QStringLiteral("1.25"));
    EXPECT_EQ(gi().Ch_L_Alm_FileString(1), QStringLiteral("  125"));
    EXPECT_DOUBLE_EQ(gi().Ch_L_Alm(1), 1.25);

    gi().let_Ch_period_pos(1, 3);
    gi().let_Ch_sum_std_count(1, 1.234);
    EXPECT_EQ(gi().Ch_sum_std_count_FileString(1), QStringLiteral(" 1234"));
    gi().let_Ch_period_pos(1, 1);
    EXPECT_DOUBLE_EQ(gi().Ch_sum_std_count(1), 123.4);
    // Any other decimal position: factor 1, half to even.
    gi().let_Ch_period_pos(1, 0);
    gi().let_Ch_sum_std_count(1, 2.5);
    EXPECT_EQ(gi().Ch_sum_std_count_FileString(1), QStringLiteral("    2"));
    gi().let_Ch_sum_std_count(1, 3.5);
    EXPECT_EQ(gi().Ch_sum_std_count_FileString(1), QStringLiteral("    4"));
}

TEST_F(GraphInfoTest, ScalingFollowsWhicheverDataSetIsCurrent) {
    kind(0, "V");
    gi().let_Ch_period_pos(0, 3);
    gi().let_Ch_H_Alm_FileString(0, QStringLiteral("1250"));
    EXPECT_DOUBLE_EQ(gi().Ch_H_Alm(0), 1.25);

    // With no current data set every factor is 10.
    slot->act_data_kind = 0;
    EXPECT_DOUBLE_EQ(gi().Ch_H_Alm(0), 125.0);
    gi().let_Ch_L_Alm(0, 1.5);
    EXPECT_EQ(gi().Ch_L_Alm_FileString(0), QStringLiteral("   15"));

    // Another data set current whose channel 0 is a thermocouple.
    auto other = std::make_shared<mq::clsFILE_DATA>();
    other->clsLOGGER_SETTING().let_Ch_input_type(0, QStringLiteral("J"));
    slot->act_data_kind = 1;
    slot->act_file_data = other;
    EXPECT_DOUBLE_EQ(gi().Ch_H_Alm(0), 125.0);

    slot->act_file_data = file;
    EXPECT_DOUBLE_EQ(gi().Ch_H_Alm(0), 1.25);
}

TEST(GraphInfoWithoutModelState, EveryFactorIsTen) {
    clsLOGGER_GraphInfo g;
    g.let_Ch_period_pos(2, 3);
    g.let_Ch_H_Alm(2, 12.5);
    EXPECT_EQ(g.Ch_H_Alm_FileString(2), QStringLiteral("  125"));
    EXPECT_EQ(g.Std_Value(2), QStringLiteral("0"));
}

TEST_F(GraphInfoTest, FileTextsNotSetMarksPointsAndRounding) {
    kind(0, "T");
    gi().let_Std_Value_FileString(0, QStringLiteral("77"));
    gi().let_Std_Value_FileString(0, QStringLiteral("-----"));
    EXPECT_EQ(gi().Std_Value_FileString(0), QStringLiteral("    0"));
    gi().let_Ch_H_Alm_FileString(0, QStringLiteral("77"));
    gi().let_Ch_H_Alm_FileString(0, QStringLiteral("------"));
    EXPECT_EQ(gi().Ch_H_Alm_FileString(0), QStringLiteral("    0"));

    // Without a point the text is the scaled integer; with one it is display units.
    gi().let_Ch_L_Alm_FileString(0, QStringLiteral("  -50"));
    EXPECT_EQ(gi().Ch_L_Alm_FileString(0), QStringLiteral("  -50"));
    EXPECT_DOUBLE_EQ(gi().Ch_L_Alm(0), -5.0);
    gi().let_Ch_L_Alm_FileString(0, QStringLiteral(" 12.5"));
    EXPECT_EQ(gi().Ch_L_Alm_FileString(0), QStringLiteral("  125"));
    gi().let_Ch_sum_std_count_FileString(0, QStringLiteral("0.25"));
    EXPECT_EQ(gi().Ch_sum_std_count_FileString(0), QStringLiteral("    2"));
    gi().let_Ch_sum_std_count_FileString(0, QStringLiteral("0.35"));
    EXPECT_EQ(gi().Ch_sum_std_count_FileString(0), QStringLiteral("    4"));
    // No leading number gives 0.
    gi().let_Ch_sum_std_count_FileString(0, QStringLiteral("x1"));
    EXPECT_EQ(gi().Ch_sum_std_count_FileString(0), QStringLiteral("    0"));
    // A long stored level keeps its last five characters in the file form.
    gi().let_Ch_H_Alm_FileString(0, QStringLiteral("-1234.5"));
    EXPECT_EQ(gi().Ch_H_Alm_FileString(0), QStringLiteral("12345"));
    EXPECT_DOUBLE_EQ(gi().Ch_H_Alm(0), -1234.5);
}

TEST_F(GraphInfoTest, OverflowRaisesAndKeepsTheOldLevel) {
    kind(0, "K");
    gi().let_Ch_H_Alm_FileString(0, QStringLiteral("77"));
    EXPECT_THROW(gi().let_Ch_H_Alm_FileString(0, QStringLiteral("214748364.8")), mq::OverflowError);
    EXPECT_THROW(gi().let_Ch_H_Alm(0, 1e9), mq::OverflowError);
    EXPECT_EQ(gi().Ch_H_Alm_FileString(0), QStringLiteral("   77"));

    gi().let_Ch_h_Scale_FileString(0, QStringLiteral("3276.7"));
    EXPECT_EQ(gi().Ch_h_Scale(0), 32767);
    EXPECT_THROW(gi().let_Ch_h_Scale_FileString(0, QStringLiteral("3276.8")), mq::OverflowError);
    EXPECT_THROW(gi().let_Ch_l_Scale_FileString(0, QStringLiteral("-32769")), mq::OverflowError);
    EXPECT_EQ(gi().Ch_h_Scale(0), 32767);
    EXPECT_EQ(gi().Ch_l_Scale(0), 0);
}

TEST_F(GraphInfoTest, ScaleLimitFileTexts) {
    kind(0, "K");
    gi().let_Ch_h_Scale_FileString(0, QStringLiteral("1370"));
    EXPECT_EQ(gi().Ch_h_Scale_FileString(0), QStringLiteral("  1370"));
    gi().let_Ch_h_Scale_FileString(0, QStringLiteral("137.0"));
    EXPECT_EQ(gi().Ch_h_Scale(0), 1370);
    gi().let_Ch_l_Scale(0, -100);
    EXPECT_EQ(gi().Ch_l_Scale_FileString(0), QStringLiteral("  -100"));
    // The not-set marks mean nothing here: such a text gives 0.
    gi().let_Ch_l_Scale_FileString(0, QStringLiteral("-----"));
    EXPECT_EQ(gi().Ch_l_Scale_FileString(0), QStringLiteral("     0"));
    gi().let_Ch_l_Scale(0, -32768);
    EXPECT_EQ(gi().Ch_l_Scale_FileString(0), QStringLiteral("-32768"));
}

TEST_F(GraphInfoTest, ReferenceLevelText) {
    kind(0, "E");
    // No point: the scaled integer itself.
    gi().let_Std_Value(0, QStringLiteral("100"));
    EXPECT_EQ(gi().Std_Value_FileString(0), QStringLiteral("  100"));
    EXPECT_EQ(gi().Std_Value(0), QStringLiteral("10"));
    gi().let_Std_Value(0, QStringLiteral("12.5"));
    EXPECT_EQ(gi().Std_Value_FileString(0), QStringLiteral("  125"));
    EXPECT_EQ(gi().Std_Value(0), QStringLiteral("12.5"));
    gi().let_Std_Value(0, QStringLiteral(" -30 "));
    EXPECT_EQ(gi().Std_Value(0), QStringLiteral("-3"));
    gi().let_Std_Value(0, QStringLiteral("0.05"));  // 0.5 goes to the even 0
    EXPECT_EQ(gi().Std_Value(0), QStringLiteral("0"));
    gi().let_Std_Value(0, QStringLiteral("0.5"));
    EXPECT_EQ(gi().Std_Value(0), QStringLiteral("0.5"));

    // The whole text must be a number.
    EXPECT_THROW(gi().let_Std_Value(0, QStringLiteral("12abc")), mq::ConversionError);
    EXPECT_THROW(gi().let_Std_Value(0, QStringLiteral("-----")), mq::ConversionError);
    EXPECT_EQ(gi().Std_Value(0), QStringLiteral("0.5"));

    kind(1, "V");
    gi().let_Ch_period_pos(1, 3);
    gi().let_Std_Value(1, QStringLiteral("1.234"));
    EXPECT_EQ(gi().Std_Value_FileString(1), QStringLiteral(" 1234"));
    EXPECT_EQ(gi().Std_Value(1), QStringLiteral("1.234"));
}

TEST_F(GraphInfoTest, ColourFileText) {
    gi().let_Ch_G_color_FileString(0, QStringLiteral("255"));
    EXPECT_EQ(gi().Ch_G_color(0), 255);
    EXPECT_EQ(gi().Ch_G_color_FileString(0), QStringLiteral("        255"));
    gi().let_Ch_G_color_FileString(1, QStringLiteral(" 16711680 "));
    EXPECT_EQ(gi().Ch_G_color_FileString(1), QStringLiteral("   16711680"));
    gi().let_Ch_G_color(2, -2147483647 - 1);
    EXPECT_EQ(gi().Ch_G_color_FileString(2), QStringLiteral("-2147483648"));
    EXPECT_THROW(gi().let_Ch_G_color_FileString(0, QStringLiteral("red")), mq::ConversionError);
    EXPECT_THROW(gi().let_Ch_G_color_FileString(0, QStringLiteral("2147483648")), mq::OverflowError);
    EXPECT_EQ(gi().Ch_G_color(0), 255);
}

TEST_F(GraphInfoTest, TitleAndChannelCommentsArePaddedToCp932Bytes) {
    // An empty title reads as 32 blanks.
    EXPECT_EQ(gi().Title(), QString(32, u' '));
    // Ten full-width characters are 20 bytes: 12 blanks follow.
    const QString fullWidth = QStringLiteral("温度記録グラフ第一号");
    ASSERT_EQ(fullWidth.size(), 10);
    gi().let_Title(fullWidth);
    EXPECT_EQ(gi().Title(), fullWidth + QString(12, u' '));
    // Half-width katakana are one byte each.
    gi().let_Title(QStringLiteral("ｵﾝﾄﾞ"));
    EXPECT_EQ(gi().Title(), QStringLiteral("ｵﾝﾄﾞ") + QString(28, u' '));
    // A title beyond 32 bytes cannot be filled and comes back as stored.
    const QString longTitle = QStringLiteral("あいうえおかきくけこさしすせそたちつてと");
    gi().let_Title(longTitle);
    EXPECT_EQ(gi().Title(), longTitle);
    const QString longAscii = QString(40, u'T');
    gi().let_Title(longAscii);
    EXPECT_EQ(gi().Title(), longAscii);

    gi().let_Ch_comment(3, QStringLiteral("CH4炉内"));  // 3 + 4 bytes
    EXPECT_EQ(gi().Ch_comment(3), QStringLiteral("CH4炉内") + QString(9, u' '));
    EXPECT_EQ(gi().Ch_comment(0), QString(16, u' '));
    gi().let_Ch_comment(2, QStringLiteral("1234567890123456"));
    EXPECT_EQ(gi().Ch_comment(2), QStringLiteral("1234567890123456"));
}

TEST_F(GraphInfoTest, FixedLengthTextsAndSwitches) {
    // Fresh: NUL characters until the owner sets defaults.
    EXPECT_EQ(gi().GrdDispSort(), nuls(4));
    EXPECT_EQ(gi().CH_GraphDrawSw(), nuls(4));
    EXPECT_EQ(gi().CH_GraphAxDrawSw(), nuls(4));
    EXPECT_EQ(gi().DataMark_Sw(), nuls(1));
    EXPECT_EQ(gi().LIneBold_Sw(), nuls(1));
    EXPECT_EQ(gi().Label_Sw(), nuls(1));
    EXPECT_EQ(gi().Std_Sw(3), nuls(1));
    EXPECT_EQ(gi().H_Alm_Sw(0), nuls(1));
    EXPECT_EQ(gi().L_Alm_Sw(0), nuls(1));
    EXPECT_EQ(gi().Sum_Std_Sw(2), nuls(1));
    EXPECT_EQ(gi().log_name(), nuls(8));
    EXPECT_EQ(gi().worker_name(), nuls(8));
    EXPECT_EQ(gi().Comment(), nuls(8));

    gi().let_GrdDispSort(QStringLiteral("1234"));
    EXPECT_EQ(gi().GrdDispSort(), QStringLiteral("1234"));
    gi().let_CH_GraphDrawSw(QStringLiteral("11"));
    EXPECT_EQ(gi().CH_GraphDrawSw(), QStringLiteral("11  "));
    gi().let_CH_GraphAxDrawSw(QStringLiteral("101010"));
    EXPECT_EQ(gi().CH_GraphAxDrawSw(), QStringLiteral("1010"));
    gi().let_H_Alm_Sw(1, QStringLiteral("10"));
    EXPECT_EQ(gi().H_Alm_Sw(1), QStringLiteral("1"));
    EXPECT_EQ(gi().L_Alm_Sw(1), nuls(1));  // the two alarm switches are separate
    gi().let_Label_Sw(QString());
    EXPECT_EQ(gi().Label_Sw(), QStringLiteral(" "));
    gi().let_log_name(QStringLiteral("ﾛｸﾞ名前テスト12"));
    EXPECT_EQ(gi().log_name(), QStringLiteral("ﾛｸﾞ名前テスト"));
    gi().let_worker_name(QStringLiteral("TANAKA"));
    EXPECT_EQ(gi().worker_name(), QStringLiteral("TANAKA  "));

    gi().let_DataCount(345600);
    EXPECT_EQ(gi().DataCount_str(), QStringLiteral("    345600"));
    gi().let_GrpDrw_StartPos(1);
    EXPECT_EQ(gi().GrpDrw_StartPos_str(), QStringLiteral("         1"));
    gi().let_GrpDrw_EndPos(-2147483647 - 1);
    EXPECT_EQ(gi().GrpDrw_EndPos_str(), QStringLiteral("2147483648"));
}

TEST_F(GraphInfoTest, ChannelIndexOutsideZeroToThreeRaisesEvenWithNoCurrentDataSet) {
    for (int kindNo : {0, 1}) {
        slot->act_data_kind = kindNo;
        for (int ch : {-1, 4}) {
            SCOPED_TRACE(ch);
            EXPECT_THROW(gi().Ch_H_Alm(ch), mq::OutOfRangeError);
            EXPECT_THROW(gi().let_Ch_H_Alm(ch, 1.0), mq::OutOfRangeError);
            EXPECT_THROW(gi().let_Ch_L_Alm_FileString(ch, QStringLiteral("-----")), mq::OutOfRangeError);
            EXPECT_THROW(gi().let_Ch_L_Alm_FileString(ch, QStringLiteral("1.0")), mq::OutOfRangeError);
            EXPECT_THROW(gi().Std_Value(ch), mq::OutOfRangeError);
            EXPECT_THROW(gi().let_Std_Value(ch, QStringLiteral("1")), mq::OutOfRangeError);
            EXPECT_THROW(gi().Std_Value_FileString(ch), mq::OutOfRangeError);
            EXPECT_THROW(gi().let_Ch_h_Scale_FileString(ch, QStringLiteral("1")), mq::OutOfRangeError);
            EXPECT_THROW(gi().Ch_l_Scale(ch), mq::OutOfRangeError);
            EXPECT_THROW(gi().let_Ch_G_color_FileString(ch, QStringLiteral("1")), mq::OutOfRangeError);
            EXPECT_THROW(gi().Ch_comment(ch), mq::OutOfRangeError);
            EXPECT_THROW(gi().let_Std_Sw(ch, QStringLiteral("1")), mq::OutOfRangeError);
            EXPECT_THROW(gi().Sum_Std_Sw(ch), mq::OutOfRangeError);
            EXPECT_THROW(gi().let_Ch_period_pos(ch, 1), mq::OutOfRangeError);
            EXPECT_THROW(gi().Ch_sum_std_count(ch), mq::OutOfRangeError);
        }
    }
}
