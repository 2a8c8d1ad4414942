// The current-data-set accessors follow act_data_kind: file data sets answer
// with their own status, logger data sets with the connected logger's, and no
// current data set gives the fixed defaults without touching any object.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>

#include "common/test_env.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/message_box.h"

namespace mq {
namespace {

class CurAccessorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        m_slot->logger_main = std::make_shared<clsLOGGER_Main>();
        m_slot->file_main = std::make_shared<clsFILE_Main>();
        m_slot->logger_main->clsLOGGER_STATUS().let_serial_no(QStringLiteral("LOGGER01"));
        m_slot->logger_main->clsLOGGER_STATUS().let_user_model_name(QStringLiteral("MYLOGGER"));
        for (int n = 1; n <= 20; ++n) {
            m_slot->logger_main->colLOGGER_DATA().Add(QStringLiteral("L%1").arg(n, 2, 10, QLatin1Char('0')));
        }
        m_slot->file_main->colFILE_DATA().Add(QStringLiteral("F00"));
        file()->clsLOGGER_STATUS().let_serial_no(QStringLiteral("FILE0001"));
        file()->clsLOGGER_STATUS().let_user_model_name(QStringLiteral("OLDNAME"));
        for (int ch = 0; ch < 4; ++ch) {
            file()->clsLOGGER_SETTING().let_Ch_input_type(ch, QStringLiteral("K"));
            area(3)->clsLOGGER_SETTING().let_Ch_input_type(ch, QStringLiteral("K"));
        }
    }

    std::shared_ptr<clsFILE_DATA> file() { return m_slot->file_main->colFILE_DATA().Item(QStringLiteral("F00")); }
    std::shared_ptr<clsLOGGER_DATA> area(int n) { return m_slot->logger_main->colLOGGER_DATA().Item(n); }

    void makeFileCurrent() {
        m_slot->act_data_kind = 1;
        m_slot->act_file_data = file();
    }
    void makeAreaCurrent(int n) {
        m_slot->act_data_kind = 2;
        m_slot->act_logger_data = area(n);
    }

    ModelSlot m_slot;
};

// Every setter once, on whatever is current.
void callEverySetter() {
    let_cur_ch_comment(0, QStringLiteral("comment"));
    let_cur_log_name(QStringLiteral("LOGNAME"));
    let_cur_worker_name(QStringLiteral("WORKER"));
    let_cur_comment(QStringLiteral("CMT"));
    let_cur_title(QStringLiteral("TITLE"));
    let_cur_ch_l_alm(0, 1.5);
    let_cur_ch_h_alm(0, 2.5);
    let_cur_std_value(0, QStringLiteral("12.5"));
    let_cur_ch_sum_std_count(0, 3.5);
    let_cur_ch_h_scale_filestring(0, QStringLiteral("1370"));
    let_cur_ch_l_scale_filestring(0, QStringLiteral("-100"));
    let_cur_datacount(99);
    let_cur_ch_graphdrawsw(QStringLiteral("1010"));
    let_cur_ch_graphaxdrawsw(QStringLiteral("0101"));
    let_cur_std_sw(0, QStringLiteral("1"));
    let_cur_sum_std_sw(0, QStringLiteral("1"));
    let_cur_l_alm_sw(0, QStringLiteral("1"));
    let_cur_h_alm_sw(0, QStringLiteral("1"));
    let_cur_grddispsort(QStringLiteral("4321"));
    let_cur_datamark_sw(QStringLiteral("1"));
    let_cur_linebold_sw(QStringLiteral("1"));
    let_cur_label_sw(QStringLiteral("1"));
    let_cur_ch_g_color(0, 255);
    let_cur_grpdrw_startpos(5);
    let_cur_grpdrw_endpos(50);
}

void expectDefaults() {
    EXPECT_EQ(get_cur_ch_period_pos(0), 0);
    EXPECT_EQ(get_cur_ch_unit(0), QStringLiteral("0"));
    EXPECT_EQ(get_cur_ch_kind(0), QString());
    EXPECT_EQ(get_cur_ch_high_alarm_value(0), 0.0);
    EXPECT_EQ(get_cur_ch_low_alarm_value(0), 0.0);
    EXPECT_EQ(get_cur_ch_sum_std_value(0), 0.0);
    EXPECT_EQ(get_cur_serial_no(), QString());
    EXPECT_EQ(get_cur_user_model_name(), QString());
    EXPECT_EQ(get_cur_ch_comment(0), QString());
    EXPECT_EQ(get_cur_log_name(), QString());
    EXPECT_EQ(get_cur_worker_name(), QString());
    EXPECT_EQ(get_cur_comment(), QString());
    EXPECT_EQ(get_cur_title(), QString());
    EXPECT_EQ(get_cur_ch_l_alm(0), 0.0);
    EXPECT_EQ(get_cur_ch_h_alm(0), 0.0);
    EXPECT_EQ(get_cur_std_value(0), 0.0);
    EXPECT_EQ(get_cur_ch_sum_std_count(0), 0.0);
    EXPECT_EQ(get_cur_ch_h_scale_filestring(0), QStringLiteral("0"));
    EXPECT_EQ(get_cur_ch_l_scale_filestring(0), QStringLiteral("0.0"));
    EXPECT_EQ(get_cur_ch_graphdrawsw(), QString());
    EXPECT_EQ(get_cur_ch_graphaxdrawsw(), QString());
    EXPECT_EQ(get_cur_std_sw(0), QString());
    EXPECT_EQ(get_cur_sum_std_sw(0), QString());
    EXPECT_EQ(get_cur_h_alm_sw(0), QStringLiteral("0"));
    EXPECT_EQ(get_cur_grddispsort(), QString());
    EXPECT_EQ(get_cur_datamark_sw(), QString());
    EXPECT_EQ(get_cur_linebold_sw(), QString());
    EXPECT_EQ(get_cur_label_sw(), QString());
    EXPECT_EQ(get_cur_ch_g_color(0), 0);
    EXPECT_EQ(get_cur_grpdrw_startpos(), 0);
    EXPECT_EQ(get_cur_grpdrw_endpos(), 0);
}

TEST_F(CurAccessorsTest, WithoutACurrentDataSetGettersGiveDefaultsAndSettersDoNothing) {
    // References may linger from an earlier window; kind 0 still means none.
    m_slot->act_data_kind = 0;
    m_slot->act_file_data = file();
    m_slot->act_logger_data = area(3);
    file()->clsLOGGER_GraphInfo().let_GrpDrw_EndPos(7);
    area(3)->clsLOGGER_GraphInfo().let_GrpDrw_EndPos(8);

    expectDefaults();
    callEverySetter();
    expectDefaults();
    // A channel index no property would accept is not even looked at.
    EXPECT_EQ(get_cur_ch_kind(7), QString());

    // Nothing reached either data set.
    EXPECT_EQ(file()->clsLOGGER_GraphInfo().GrpDrw_EndPos(), 7);
    EXPECT_EQ(area(3)->clsLOGGER_GraphInfo().GrpDrw_EndPos(), 8);
    EXPECT_EQ(area(3)->clsLOGGER_GraphInfo().Ch_G_color(0), 0);
    EXPECT_EQ(file()->clsLOGGER_GraphInfo().DataCount(), 0);

    // Any other kind value behaves the same.
    m_slot->act_data_kind = 5;
    callEverySetter();
    expectDefaults();
    EXPECT_EQ(file()->clsLOGGER_GraphInfo().GrpDrw_EndPos(), 7);
}

TEST_F(CurAccessorsTest, AKindWhoseDataSetIsGoneCountsAsNone) {
    m_slot->act_data_kind = 1;  // file kind, but no file data set held
    expectDefaults();
    callEverySetter();
    m_slot->act_data_kind = 2;  // logger kind, no logger data set held
    m_slot->logger_main.reset();
    expectDefaults();
    callEverySetter();
}

TEST_F(CurAccessorsTest, SerialNumberComesFromTheFileOrTheConnectedLogger) {
    makeFileCurrent();
    EXPECT_EQ(get_cur_serial_no(), QStringLiteral("FILE0001"));
    EXPECT_EQ(get_cur_user_model_name(), QStringLiteral("OLDNAME "));

    makeAreaCurrent(3);
    EXPECT_EQ(get_cur_serial_no(), QStringLiteral("LOGGER01"));
    makeAreaCurrent(17);
    EXPECT_EQ(get_cur_serial_no(), QStringLiteral("LOGGER01"));
    EXPECT_EQ(get_cur_user_model_name(), QStringLiteral("MYLOGGER"));
}

TEST_F(CurAccessorsTest, SettingsGettersReadTheCurrentDataSet) {
    auto& fs = file()->clsLOGGER_SETTING();
    fs.let_Ch_input_type(1, QStringLiteral("V"));
    fs.let_Ch_period_pos(1, 2);
    fs.let_Ch_unit(1, QStringLiteral("mV"));
    fs.let_Ch_high_alarm_count(1, QStringLiteral("1.25"));
    fs.let_Ch_low_alarm_count(1, QStringLiteral("-0.5"));
    fs.let_Ch_sum_std_count(1, QStringLiteral("------"));
    auto& as = area(3)->clsLOGGER_SETTING();
    as.let_Ch_high_alarm_count(1, QStringLiteral("100.0"));

    makeFileCurrent();
    EXPECT_EQ(get_cur_ch_kind(1), QStringLiteral("V"));
    EXPECT_EQ(get_cur_ch_period_pos(1), 2);
    EXPECT_EQ(get_cur_ch_unit(1), QStringLiteral("mV "));
    EXPECT_DOUBLE_EQ(get_cur_ch_high_alarm_value(1), 1.25);
    EXPECT_DOUBLE_EQ(get_cur_ch_low_alarm_value(1), -0.5);
    EXPECT_DOUBLE_EQ(get_cur_ch_sum_std_value(1), 0.0);

    makeAreaCurrent(3);
    EXPECT_EQ(get_cur_ch_kind(1), QStringLiteral("K"));
    EXPECT_DOUBLE_EQ(get_cur_ch_high_alarm_value(1), 100.0);

    // With a data set current, a bad channel is the property's own error.
    EXPECT_THROW(get_cur_ch_kind(4), OutOfRangeError);
    EXPECT_THROW(let_cur_std_sw(-1, QStringLiteral("1")), OutOfRangeError);
}

TEST_F(CurAccessorsTest, GraphSettersActOnTheCurrentDataSetOnly) {
    makeAreaCurrent(3);
    callEverySetter();
    auto& g = area(3)->clsLOGGER_GraphInfo();
    EXPECT_EQ(g.log_name(), QStringLiteral("LOGNAME "));
    EXPECT_EQ(g.DataCount(), 99);
    EXPECT_EQ(g.GrpDrw_StartPos(), 5);
    EXPECT_EQ(g.GrpDrw_EndPos(), 50);
    EXPECT_EQ(g.Ch_G_color(0), 255);
    EXPECT_EQ(g.L_Alm_Sw(0), QStringLiteral("1"));
    EXPECT_DOUBLE_EQ(g.Ch_H_Alm(0), 2.5);
    EXPECT_EQ(get_cur_ch_graphdrawsw(), QStringLiteral("1010"));
    EXPECT_EQ(get_cur_grddispsort(), QStringLiteral("4321"));
    EXPECT_DOUBLE_EQ(get_cur_ch_l_alm(0), 1.5);
    EXPECT_EQ(get_cur_grpdrw_endpos(), 50);
    EXPECT_EQ(get_cur_title(), QStringLiteral("TITLE") + QString(27, QLatin1Char(' ')));
    EXPECT_EQ(get_cur_ch_comment(0), QStringLiteral("comment") + QString(9, QLatin1Char(' ')));

    // The other data sets were not touched.
    EXPECT_EQ(area(4)->clsLOGGER_GraphInfo().DataCount(), 0);
    EXPECT_EQ(file()->clsLOGGER_GraphInfo().GrpDrw_EndPos(), 0);

    // Switching the current data set switches what the getters see.
    makeFileCurrent();
    EXPECT_EQ(get_cur_grpdrw_endpos(), 0);
    let_cur_grpdrw_endpos(12);
    EXPECT_EQ(file()->clsLOGGER_GraphInfo().GrpDrw_EndPos(), 12);
    EXPECT_EQ(g.GrpDrw_EndPos(), 50);
}

TEST_F(CurAccessorsTest, TheSingleAlarmLineSwitchIsReadFromTheHighSwitch) {
    makeFileCurrent();
    let_cur_h_alm_sw(2, QStringLiteral("1"));
    EXPECT_EQ(get_cur_h_alm_sw(2), QStringLiteral("1"));
    let_cur_l_alm_sw(2, QStringLiteral("0"));
    EXPECT_EQ(get_cur_h_alm_sw(2), QStringLiteral("1"));
    EXPECT_EQ(file()->clsLOGGER_GraphInfo().L_Alm_Sw(2), QStringLiteral("0"));
}

TEST_F(CurAccessorsTest, ScaleTextsComeBackInTheirOwnForms) {
    makeAreaCurrent(3);
    let_cur_ch_h_scale_filestring(0, QStringLiteral("1370"));
    let_cur_ch_l_scale_filestring(0, QStringLiteral("-100"));
    EXPECT_EQ(get_cur_ch_h_scale_filestring(0), QStringLiteral("1370"));
    EXPECT_EQ(get_cur_ch_l_scale_filestring(0), QStringLiteral("  -100"));
    let_cur_ch_h_scale_filestring(1, QStringLiteral("-50"));
    EXPECT_EQ(get_cur_ch_h_scale_filestring(1), QStringLiteral("-50"));
}

TEST_F(CurAccessorsTest, LevelsPassThroughTheirTexts) {
    makeAreaCurrent(3);
    // A reference level without a point is already scaled: 100 is 10.0 here.
    let_cur_std_value(0, QStringLiteral("100"));
    EXPECT_DOUBLE_EQ(get_cur_std_value(0), 10.0);
    let_cur_std_value(1, QStringLiteral("-3.5"));
    EXPECT_DOUBLE_EQ(get_cur_std_value(1), -3.5);
    EXPECT_THROW(let_cur_std_value(1, QStringLiteral("abc")), ConversionError);

    // The integration base is taken at the 15 digits its text shows: a level
    // a few units in the last place above 0.45 is 0.45, which goes to 4 tenths
    // (half to even), not the 5 tenths the raw double would give.
    const double justAbove = std::nextafter(std::nextafter(std::nextafter(0.45, 1.0), 1.0), 1.0);
    let_cur_ch_sum_std_count(0, justAbove);
    EXPECT_DOUBLE_EQ(get_cur_ch_sum_std_count(0), 0.4);
    let_cur_ch_sum_std_count(0, 25.5);
    EXPECT_DOUBLE_EQ(get_cur_ch_sum_std_count(0), 25.5);
}

TEST_F(CurAccessorsTest, HelpWithoutAHelpFileTellsTheUserAndReturnsZero) {
    QTemporaryDir dir;
    platform::ScopedMessageBoxHook hook(platform::MsgResult::OK);
    const quintptr r = show_help(nullptr, dir.path() + QStringLiteral("/missing.help"), help_context::log_set_value);
    EXPECT_EQ(r, quintptr(0));
    EXPECT_EQ(hook.records().size(), 1u);
}

}  // namespace
}  // namespace mq
