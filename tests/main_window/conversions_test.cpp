// Value text conversions and the display and file value helpers.
#include <gtest/gtest.h>

#include <QDate>
#include <QTime>

#include "main_window/conversions.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"

namespace mq {
namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// ---- texts without a data set ---------------------------------------------------

TEST(DotInsertTopSp, MarkersAndPointPlacement) {
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("  -1234"), 1), QStringLiteral("-123.4"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral(" 0235"), 1), QStringLiteral(" 023.5"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("-----"), 1), QStringLiteral("------"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("32766"), 2), QStringLiteral("3276.6"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("32767"), 3), QStringLiteral("3276.7"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("123"), 0), QStringLiteral("   123"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("-2000"), 1), QStringLiteral("-200.0"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("13700"), 1), QStringLiteral("1370.0"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral(" 1234"), 3), QStringLiteral(" 1.234"));
}

TEST(DotInsertTopSp, FewerDigitsThanDecimalsArePaddedWithZeros) {
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("5"), 1), QStringLiteral("   0.5"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("-5"), 1), QStringLiteral("  -0.5"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("    5"), 3), QStringLiteral(" 0.005"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("-12"), 2), QStringLiteral(" -0.12"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("50"), 3), QStringLiteral(" 0.050"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("0"), 1), QStringLiteral("   0.0"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("-7"), 3), QStringLiteral("-0.007"));
}

TEST(DotInsertTopSp, TextsWithoutDigitsAndOverlongTexts) {
    // A blank field carries no number: it stays blank, it is not made "0.0".
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("     "), 1), QStringLiteral("      "));
    EXPECT_EQ(dot_insert_top_sp(QString(), 2), QStringLiteral("      "));
    // The markers are recognised only as given, but a padded over-range value
    // still reads the same.
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral(" 32767"), 1), QStringLiteral("3276.7"));
    // Longer than 6 stays whole: the sign of a full negative value is kept.
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("1234567"), 1), QStringLiteral("123456.7"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("-30000"), 2), QStringLiteral("-300.00"));
    EXPECT_EQ(dot_insert_top_sp(QStringLiteral("-32767"), 1), QStringLiteral("-3276.7"));
}

TEST(DotInsertBtmSp, LeftAlignedWithoutMarkers) {
    EXPECT_EQ(dot_insert_btm_sp(QStringLiteral("123"), 0), QStringLiteral("123   "));
    EXPECT_EQ(dot_insert_btm_sp(QStringLiteral("  -1234"), 1), QStringLiteral("-123.4"));
    EXPECT_EQ(dot_insert_btm_sp(QStringLiteral("5"), 1), QStringLiteral("0.5   "));
    EXPECT_EQ(dot_insert_btm_sp(QStringLiteral("32767"), 2), QStringLiteral("327.67"));
    EXPECT_EQ(dot_insert_btm_sp(QStringLiteral("1234567"), 0), QStringLiteral("123456"));
}

TEST(TextHelpers, SpaceDeleteAndDotDelete) {
    EXPECT_EQ(space_delete(QString()), QString());
    EXPECT_EQ(space_delete(QStringLiteral(" 1 2 . 5 ")), QStringLiteral("12.5"));
    // Only the ASCII blank is removed.
    EXPECT_EQ(space_delete(QStringLiteral("a\u3000b\tc")), QStringLiteral("a\u3000b\tc"));

    EXPECT_EQ(dot_delete(QStringLiteral("------")), QStringLiteral("-----"));
    EXPECT_EQ(dot_delete(QStringLiteral("-12.5")), QStringLiteral("-125"));
    EXPECT_EQ(dot_delete(QStringLiteral("1.2.3")), QStringLiteral("123"));
    EXPECT_EQ(dot_delete(QStringLiteral("-----")), QStringLiteral("-----"));
}

TEST(SmsmAddZero, SignPositionAndFourDigits) {
    EXPECT_EQ(smsm_add_zero(QString()), QString());
    EXPECT_EQ(smsm_add_zero(QStringLiteral("-")), QString());
    EXPECT_EQ(smsm_add_zero(QStringLiteral("5")), QStringLiteral(" 0005"));
    EXPECT_EQ(smsm_add_zero(QStringLiteral("12")), QStringLiteral(" 0012"));
    EXPECT_EQ(smsm_add_zero(QStringLiteral("123")), QStringLiteral(" 0123"));
    EXPECT_EQ(smsm_add_zero(QStringLiteral("1234")), QStringLiteral(" 1234"));
    EXPECT_EQ(smsm_add_zero(QStringLiteral("12345")), QStringLiteral("12345"));
    EXPECT_EQ(smsm_add_zero(QStringLiteral("-5")), QStringLiteral("-0005"));
    EXPECT_EQ(smsm_add_zero(QStringLiteral("-12")), QStringLiteral("-0012"));
    EXPECT_EQ(smsm_add_zero(QStringLiteral("-200")), QStringLiteral("-0200"));
    EXPECT_EQ(smsm_add_zero(QStringLiteral("-1234")), QStringLiteral("-1234"));
    // A longer negative number keeps its sign.
    EXPECT_EQ(smsm_add_zero(QStringLiteral("-12345")), QStringLiteral("-12345"));
}

TEST(RangeMarkers, ConversionsByUse) {
    EXPECT_EQ(over_under_conv(QStringLiteral("3276.7")), QStringLiteral("O.R."));
    EXPECT_EQ(over_under_conv(QStringLiteral("3276.6")), QStringLiteral("U.R."));
    EXPECT_EQ(over_under_conv(QStringLiteral("3276.5")), QStringLiteral("3276.5"));
    EXPECT_EQ(over_under_conv(QStringLiteral(" 3276.7")), QStringLiteral(" 3276.7"));

    EXPECT_EQ(file_save_over_under_conv(QStringLiteral("3276.7")), QStringLiteral("  O.R."));
    EXPECT_EQ(file_save_over_under_conv(QStringLiteral("3276.6")), QStringLiteral("  U.R."));
    EXPECT_EQ(file_save_over_under_conv(QStringLiteral("  12.5")), QStringLiteral("  12.5"));

    EXPECT_EQ(file_read_dim_over_under_conv(QStringLiteral("O.R.")), QStringLiteral("O.R."));
    EXPECT_EQ(file_read_dim_over_under_conv(QStringLiteral("3276.7")), QStringLiteral("3276.7"));
}

TEST(GridDispFormatMk, CellTexts) {
    EXPECT_EQ(grid_disp_format_mk(QStringLiteral(" 12.5")), QStringLiteral("12.5 "));
    EXPECT_EQ(grid_disp_format_mk(QStringLiteral("U.R.")), QStringLiteral("      U.R."));
    EXPECT_EQ(grid_disp_format_mk(QStringLiteral("O.R.")), QStringLiteral("      O.R."));
    EXPECT_EQ(grid_disp_format_mk(QStringLiteral("O.R.")).size(), 10);
    EXPECT_EQ(grid_disp_format_mk(QString()), QStringLiteral(" "));
}

TEST(LabelText, AmpersandsAreDoubled) {
    EXPECT_EQ(lblstr_AndCharacterChk(QStringLiteral("A&B")), QStringLiteral("A&&B"));
    EXPECT_EQ(lblstr_AndCharacterChk(QStringLiteral("&&x&")), QStringLiteral("&&&&x&&"));
    EXPECT_EQ(lblstr_AndCharacterChk(QStringLiteral("ﾀﾝｸ 1")), QStringLiteral("ﾀﾝｸ 1"));
    EXPECT_EQ(lblstr_AndCharacterChk(QString()), QString());
}

TEST(AddInterval, DayAndTimesOfDay) {
    EXPECT_EQ(add_interval(at(2013, 12, 10, 0, 0, 0), QStringLiteral("24:00:00")), at(2013, 12, 11, 0, 0, 0));
    EXPECT_EQ(add_interval(at(2013, 12, 10, 8, 30, 0), QStringLiteral("00:01:30")), at(2013, 12, 10, 8, 31, 30));
    EXPECT_EQ(add_interval(at(2013, 12, 31, 23, 59, 30), QStringLiteral("00:00:45")), at(2014, 1, 1, 0, 0, 15));
    EXPECT_EQ(add_interval(at(2012, 2, 28, 18, 0, 0), QStringLiteral("12:00:00")), at(2012, 2, 29, 6, 0, 0));
    EXPECT_EQ(add_interval(at(2013, 1, 1, 0, 0, 0), QStringLiteral("00:00:00")), at(2013, 1, 1, 0, 0, 0));
    EXPECT_EQ(add_interval(at(2013, 1, 1, 0, 0, 0), QStringLiteral("23:59:59")), at(2013, 1, 1, 23, 59, 59));
}

TEST(AddInterval, TextsThatAreNoTimeOfDayAreRefused) {
    const QDateTime start = at(2013, 1, 1, 0, 0, 0);
    EXPECT_THROW(add_interval(start, QStringLiteral("25:00:00")), ConversionError);
    EXPECT_THROW(add_interval(start, QStringLiteral("00:60:00")), ConversionError);
    EXPECT_THROW(add_interval(start, QStringLiteral("abc")), ConversionError);
    EXPECT_THROW(add_interval(start, QString()), ConversionError);
}

TEST(DispDatetime, PaddedDateAndTime) {
    EXPECT_EQ(Disp_DATETIME(at(2013, 12, 10, 8, 30, 5)), QStringLiteral("2013/12/10 08:30:05"));
    EXPECT_EQ(Disp_DATETIME(at(2014, 1, 2, 0, 0, 0)), QStringLiteral("2014/01/02 00:00:00"));
    EXPECT_EQ(Disp_DATETIME(at(2014, 1, 2, 23, 59, 59)).size(), 19);
}

TEST(DispData, FormatByTypeAndDecimalPosition) {
    EXPECT_EQ(Disp_DATA(QStringLiteral("V"), 3, QStringLiteral("1.5")), QStringLiteral("1.500"));
    EXPECT_EQ(Disp_DATA(QStringLiteral("K"), 3, QStringLiteral("1.5")), QStringLiteral("1.5"));
    EXPECT_EQ(Disp_DATA(QStringLiteral("V"), 2, QStringLiteral("1.5")), QStringLiteral("1.50"));
    EXPECT_EQ(Disp_DATA(QStringLiteral("V"), 1, QStringLiteral("2")), QStringLiteral("2.0"));
    EXPECT_EQ(Disp_DATA(QStringLiteral("V"), 0, QStringLiteral("12.6")), QStringLiteral("13"));
    EXPECT_EQ(Disp_DATA(QStringLiteral("V"), 4, QStringLiteral("-12.6")), QStringLiteral("-13"));
    EXPECT_EQ(Disp_DATA(QStringLiteral("T"), 1, QStringLiteral("-12.25 ")), QStringLiteral("-12.3"));
    EXPECT_EQ(Disp_DATA(QStringLiteral("K"), 1, QStringLiteral("0.04")), QStringLiteral("0.0"));
}

TEST(DispData, BlankTextStaysBlankOtherTextsAreRefused) {
    // The statistics display blanks out the reset value before formatting it.
    EXPECT_EQ(Disp_DATA(QStringLiteral("K"), 1, QStringLiteral("      ")), QStringLiteral("      "));
    EXPECT_EQ(Disp_DATA(QStringLiteral("K"), 1, QStringLiteral(" ")), QStringLiteral(" "));
    EXPECT_THROW(Disp_DATA(QStringLiteral("K"), 1, QStringLiteral("abc")), ConversionError);
}

TEST(CsvAlarmText, ThermocouplesOnly) {
    EXPECT_EQ(csvstring_alm_sumbsc(QStringLiteral("K"), QStringLiteral("12")), QStringLiteral("  12.0"));
    EXPECT_EQ(csvstring_alm_sumbsc(QStringLiteral("T"), QStringLiteral("-200")), QStringLiteral("-200.0"));
    EXPECT_EQ(csvstring_alm_sumbsc(QStringLiteral("E"), QStringLiteral("0.25")), QStringLiteral("   0.3"));
    EXPECT_EQ(csvstring_alm_sumbsc(QStringLiteral("J"), QStringLiteral("1370")), QStringLiteral("1370.0"));
    EXPECT_EQ(csvstring_alm_sumbsc(QStringLiteral("V"), QStringLiteral("12")), QStringLiteral("------"));
    EXPECT_EQ(csvstring_alm_sumbsc(QStringLiteral("-"), QStringLiteral("12")), QStringLiteral("------"));
    EXPECT_THROW(csvstring_alm_sumbsc(QStringLiteral("K"), QStringLiteral("x")), ConversionError);
}

TEST(AsciiToBinary, RangeMarkersAndPointRemoval) {
    EXPECT_EQ(fileDataExc_AsciiToBinary(QStringLiteral("  O.R.")), 32767);
    EXPECT_EQ(fileDataExc_AsciiToBinary(QStringLiteral("O.R.")), 32767);
    EXPECT_EQ(fileDataExc_AsciiToBinary(QStringLiteral(" 3276.7 ")), 32767);
    EXPECT_EQ(fileDataExc_AsciiToBinary(QStringLiteral("3276.6")), 32766);
    EXPECT_EQ(fileDataExc_AsciiToBinary(QStringLiteral("  U.R.")), 32766);
    EXPECT_EQ(fileDataExc_AsciiToBinary(QStringLiteral("123.4")), 1234);
    EXPECT_EQ(fileDataExc_AsciiToBinary(QStringLiteral("0.0")), 0);
    EXPECT_EQ(fileDataExc_AsciiToBinary(QStringLiteral("-12.5")), -125);
    EXPECT_EQ(fileDataExc_AsciiToBinary(QStringLiteral(" -200.0")), -2000);
    EXPECT_EQ(fileDataExc_AsciiToBinary(QStringLiteral("1.234")), 1234);
    EXPECT_EQ(fileDataExc_AsciiToBinary(QStringLiteral("42")), 42);
}

TEST(AsciiToBinary, BadTextsRaise) {
    EXPECT_THROW(fileDataExc_AsciiToBinary(QStringLiteral("abc")), ConversionError);
    EXPECT_THROW(fileDataExc_AsciiToBinary(QStringLiteral("------")), ConversionError);
    EXPECT_THROW(fileDataExc_AsciiToBinary(QString()), ConversionError);
    EXPECT_THROW(fileDataExc_AsciiToBinary(QStringLiteral("4000.0")), OverflowError);
    EXPECT_THROW(fileDataExc_AsciiToBinary(QStringLiteral("-3276.9")), OverflowError);
}

// ---- range checks -------------------------------------------------------------------

TEST(HighMaxChk, LimitsAndPairingByType) {
    QString h = QStringLiteral("1370.0");
    EXPECT_EQ(high_max_chk(QStringLiteral("K"), h, QStringLiteral("0.0")), QStringLiteral("1370.0"));
    EXPECT_EQ(h, QStringLiteral("1370.0"));

    h = QStringLiteral("1370.1");
    EXPECT_EQ(high_max_chk(QStringLiteral("K"), h, QStringLiteral("0.0")), QStringLiteral("1370.0"));
    EXPECT_EQ(h, QStringLiteral("1370.0"));  // the text itself is reset

    h = QStringLiteral("-199.9");
    EXPECT_EQ(high_max_chk(QStringLiteral("K"), h, QStringLiteral("-200.0")), QStringLiteral("-199.9"));
    h = QStringLiteral("-200.0");
    EXPECT_EQ(high_max_chk(QStringLiteral("K"), h, QStringLiteral("-250.0")), QStringLiteral("1370.0"));

    h = QStringLiteral("50.0");
    EXPECT_EQ(high_max_chk(QStringLiteral("T"), h, QStringLiteral("50.0")), QStringLiteral("400.0"));
    h = QStringLiteral("400.0");
    EXPECT_EQ(high_max_chk(QStringLiteral("T"), h, QStringLiteral("399.9")), QStringLiteral("400.0"));
    h = QStringLiteral("400.1");
    EXPECT_EQ(high_max_chk(QStringLiteral("T"), h, QStringLiteral("0")), QStringLiteral("400.0"));

    for (const char* code : {"E", "J"}) {
        h = QStringLiteral("700.0");
        EXPECT_EQ(high_max_chk(QString::fromLatin1(code), h, QStringLiteral("10")), QStringLiteral("700.0"));
        h = QStringLiteral("700.1");
        EXPECT_EQ(high_max_chk(QString::fromLatin1(code), h, QStringLiteral("10")), QStringLiteral("700.0"));
    }
}

TEST(HighMaxChk, OtherTypesAreLeftAlone) {
    QString h = QStringLiteral("99999");
    EXPECT_EQ(high_max_chk(QStringLiteral("V"), h, QStringLiteral("0")), QStringLiteral("99999"));
    h = QStringLiteral("abc");
    EXPECT_EQ(high_max_chk(QStringLiteral("-"), h, QStringLiteral("xyz")), QStringLiteral("abc"));
    EXPECT_EQ(h, QStringLiteral("abc"));
}

TEST(HighMaxChk, NonNumericThermocoupleTextRaises) {
    QString h = QStringLiteral("abc");
    EXPECT_THROW(high_max_chk(QStringLiteral("K"), h, QStringLiteral("0")), ConversionError);
    h = QStringLiteral("10");
    EXPECT_THROW(high_max_chk(QStringLiteral("K"), h, QStringLiteral("-----")), ConversionError);
}

TEST(LowMaxChk, LimitsAndPairingByType) {
    // The limits themselves are accepted: they are compared in single precision.
    QString l = QStringLiteral("1369.9");
    EXPECT_EQ(low_max_chk(QStringLiteral("K"), l, QStringLiteral("1370.0")), QStringLiteral("1369.9"));
    l = QStringLiteral("1370.0");
    EXPECT_EQ(low_max_chk(QStringLiteral("K"), l, QStringLiteral("1370.0")), QStringLiteral("-200.0"));
    EXPECT_EQ(l, QStringLiteral("-200.0"));
    l = QStringLiteral("-200.0");
    EXPECT_EQ(low_max_chk(QStringLiteral("K"), l, QStringLiteral("0")), QStringLiteral("-200.0"));
    l = QStringLiteral("-200.1");
    EXPECT_EQ(low_max_chk(QStringLiteral("K"), l, QStringLiteral("0")), QStringLiteral("-200.0"));
    l = QStringLiteral("10.0");
    EXPECT_EQ(low_max_chk(QStringLiteral("E"), l, QStringLiteral("10.0")), QStringLiteral("-200.0"));
    l = QStringLiteral("699.9");
    EXPECT_EQ(low_max_chk(QStringLiteral("J"), l, QStringLiteral("700.0")), QStringLiteral("699.9"));
    l = QStringLiteral("399.9");
    EXPECT_EQ(low_max_chk(QStringLiteral("T"), l, QStringLiteral("400.0")), QStringLiteral("399.9"));
    l = QStringLiteral("400.0");
    EXPECT_EQ(low_max_chk(QStringLiteral("T"), l, QStringLiteral("500.0")), QStringLiteral("-200.0"));
    l = QStringLiteral("123");
    EXPECT_EQ(low_max_chk(QStringLiteral("V"), l, QStringLiteral("0")), QStringLiteral("123"));
}

TEST(SumMaxChk, LimitsByType) {
    QString b = QStringLiteral("1370.0");
    EXPECT_EQ(sum_max_chk(QStringLiteral("K"), b), QStringLiteral("1370.0"));
    b = QStringLiteral("1370.1");
    EXPECT_EQ(sum_max_chk(QStringLiteral("K"), b), QStringLiteral("0.0"));
    EXPECT_EQ(b, QStringLiteral("0.0"));
    b = QStringLiteral("-200.0");
    EXPECT_EQ(sum_max_chk(QStringLiteral("T"), b), QStringLiteral("-200.0"));
    b = QStringLiteral("-200.1");
    EXPECT_EQ(sum_max_chk(QStringLiteral("T"), b), QStringLiteral("0.0"));
    b = QStringLiteral("400.1");
    EXPECT_EQ(sum_max_chk(QStringLiteral("T"), b), QStringLiteral("0.0"));
    b = QStringLiteral("700.0");
    EXPECT_EQ(sum_max_chk(QStringLiteral("E"), b), QStringLiteral("700.0"));
    b = QStringLiteral("5000");
    EXPECT_EQ(sum_max_chk(QStringLiteral("V"), b), QStringLiteral("5000"));
}

// ---- procedures that read a data set ---------------------------------------------------

struct Channel {
    const char* code;
    quint8 pos;
    const char* unit;
};

void setChannels(clsLOGGER_SETTING& s, std::initializer_list<Channel> channels) {
    int ch = 0;
    for (const Channel& c : channels) {
        s.let_Ch_input_type(ch, QString::fromLatin1(c.code));
        s.let_Ch_period_pos(ch, c.pos);
        s.let_Ch_unit(ch, QString::fromUtf8(c.unit));
        ++ch;
    }
}

class CurrentDataSet : public ::testing::Test {
protected:
    void SetUp() override {
        file = std::make_shared<clsFILE_DATA>();
        logger = std::make_shared<clsLOGGER_DATA>();
        slot->act_file_data = file;
        slot->act_logger_data = logger;
    }
    void useFile() { slot->act_data_kind = 1; }
    void useLogger() { slot->act_data_kind = 2; }
    clsLOGGER_SETTING& fileSet() { return file->clsLOGGER_SETTING(); }
    clsLOGGER_SETTING& loggerSet() { return logger->clsLOGGER_SETTING(); }

    ModelSlot slot;
    std::shared_ptr<clsFILE_DATA> file;
    std::shared_ptr<clsLOGGER_DATA> logger;
};

TEST_F(CurrentDataSet, PeriodPosIsTheVoltageChannelsOnly) {
    setChannels(fileSet(), {{"V", 3, "V  "}, {"K", 3, ""}, {"V", 0, "mV "}, {"-", 2, ""}});
    useFile();
    EXPECT_EQ(ch_period_pos_read(0), 3);
    EXPECT_EQ(ch_period_pos_read(1), 1);
    EXPECT_EQ(ch_period_pos_read(2), 0);
    EXPECT_EQ(ch_period_pos_read(3), 1);
    slot->act_data_kind = 0;
    EXPECT_EQ(ch_period_pos_read(0), 1);
}

TEST_F(CurrentDataSet, UnitTexts) {
    setChannels(fileSet(), {{"-", 1, ""}, {"V", 2, "mV "}, {"K", 1, "xx "}, {"T", 1, ""}});
    setChannels(loggerSet(), {{"V", 1, "A  "}, {"-", 1, ""}, {"E", 1, ""}, {"J", 1, ""}});
    const QString celsius = QStringLiteral("ﾟC ");
    ASSERT_EQ(celsius.size(), 3);
    EXPECT_EQ(celsius[0], QChar(0xFF9F));

    EXPECT_EQ(file_data_gamen_ch_unit_conv(*file, 0), QStringLiteral(" "));
    EXPECT_EQ(file_data_gamen_ch_unit_conv(*file, 1), QStringLiteral("mV "));
    EXPECT_EQ(file_data_gamen_ch_unit_conv(*file, 2), celsius);
    EXPECT_EQ(file_data_gamen_ch_unit_conv(*file, 3), celsius);

    useLogger();  // the current data set, not the file passed above
    EXPECT_EQ(data_gamen_ch_unit_conv(0), QStringLiteral("A  "));
    EXPECT_EQ(data_gamen_ch_unit_conv(1), QStringLiteral(" "));
    EXPECT_EQ(data_gamen_ch_unit_conv(2), celsius);
    useFile();
    EXPECT_EQ(data_gamen_ch_unit_conv(1), QStringLiteral("mV "));
    EXPECT_THROW(file_data_gamen_ch_unit_conv(*file, 4), OutOfRangeError);
}

TEST_F(CurrentDataSet, UsedChannelCount) {
    setChannels(fileSet(), {{"K", 1, ""}, {"-", 1, ""}, {"V", 1, ""}, {"-", 1, ""}});
    setChannels(loggerSet(), {{"K", 1, ""}, {"K", 1, ""}, {"T", 1, ""}, {"V", 1, ""}});
    EXPECT_EQ(data_ari_ch_count_mk(fileSet()), 2);
    EXPECT_EQ(data_ari_ch_count_mk(loggerSet()), 4);
    setChannels(loggerSet(), {{"-", 1, ""}, {"-", 1, ""}, {"-", 1, ""}, {"-", 1, ""}});
    EXPECT_EQ(data_ari_ch_count_mk(loggerSet()), 0);
}

TEST_F(CurrentDataSet, AverageRoundedToTheChannelsResolution) {
    setChannels(fileSet(), {{"K", 3, ""}, {"V", 3, ""}, {"V", 2, ""}, {"V", 0, ""}});
    useFile();
    QString t = QStringLiteral("12.36");
    EXPECT_EQ(ch_ave_format_conv(0, t), QStringLiteral("  12.4"));
    EXPECT_EQ(t, QStringLiteral("12.4"));
    t = QStringLiteral("-12.36");
    EXPECT_EQ(ch_ave_format_conv(0, t), QStringLiteral(" -12.4"));
    EXPECT_EQ(t, QStringLiteral("-12.4"));
    t = QStringLiteral("1.23456");
    EXPECT_EQ(ch_ave_format_conv(1, t), QStringLiteral(" 1.235"));
    EXPECT_EQ(t, QStringLiteral("1.235"));
    t = QStringLiteral("1.2345");
    EXPECT_EQ(ch_ave_format_conv(2, t), QStringLiteral("  1.23"));
    t = QStringLiteral("2");
    EXPECT_EQ(ch_ave_format_conv(2, t), QStringLiteral("  2.00"));
    EXPECT_EQ(t, QStringLiteral("2"));
    // Halves go away from zero.
    t = QStringLiteral("12.5");
    EXPECT_EQ(ch_ave_format_conv(3, t), QStringLiteral("    13"));
    t = QStringLiteral("-12.5");
    EXPECT_EQ(ch_ave_format_conv(3, t), QStringLiteral("   -13"));
    t = QStringLiteral("-0.05");
    EXPECT_EQ(ch_ave_format_conv(0, t), QStringLiteral("  -0.1"));
    // A small negative average is zero, without a sign.
    t = QStringLiteral("-0.04");
    EXPECT_EQ(ch_ave_format_conv(0, t), QStringLiteral("   0.0"));
    EXPECT_EQ(t, QStringLiteral("0"));
}

TEST_F(CurrentDataSet, AverageReadsTheDataSetOfTheCurrentKind) {
    setChannels(fileSet(), {{"V", 3, ""}});
    setChannels(loggerSet(), {{"K", 1, ""}});
    QString t = QStringLiteral("1.23456");
    useFile();
    EXPECT_EQ(ch_ave_format_conv(0, t), QStringLiteral(" 1.235"));
    t = QStringLiteral("1.23456");
    useLogger();
    EXPECT_EQ(ch_ave_format_conv(0, t), QStringLiteral("   1.2"));
    t = QStringLiteral("1.23456");
    slot->act_data_kind = 0;  // anything but a file window reads the logger data set
    EXPECT_EQ(ch_ave_format_conv(0, t), QStringLiteral("   1.2"));
}

TEST_F(CurrentDataSet, AverageErrors) {
    setChannels(fileSet(), {{"K", 1, ""}});
    useFile();
    QString t = QStringLiteral("abc");
    EXPECT_THROW(ch_ave_format_conv(0, t), ConversionError);
    EXPECT_EQ(t, QStringLiteral("abc"));
    t = QStringLiteral("1");
    EXPECT_THROW(ch_ave_format_conv(4, t), OutOfRangeError);
    slot->act_file_data.reset();
    EXPECT_THROW(ch_ave_format_conv(0, t), MissingKeyError);
}

TEST_F(CurrentDataSet, ListRecordCountGoesToTheLoggerDataSet) {
    useFile();  // the count belongs to the area whatever is current
    log_data_ct_save(loggerSet(), QStringLiteral("%%L0102") + QStringLiteral("00001234") + QStringLiteral("ZZZZ"));
    EXPECT_EQ(loggerSet().data_count(), 1234);
    EXPECT_EQ(fileSet().data_count(), 0);
    tag_data_ct_save(loggerSet(), QStringLiteral("%%T0120") + QStringLiteral("00345600"));
    EXPECT_EQ(loggerSet().data_count(), 345600);

    EXPECT_THROW(log_data_ct_save(loggerSet(), QStringLiteral("%%L0102ABCDEFGH")), ConversionError);
    EXPECT_THROW(tag_data_ct_save(loggerSet(), QStringLiteral("short")), ConversionError);
    EXPECT_EQ(loggerSet().data_count(), 345600);
}

// A count no logger can hold is a garbled record: refused before anything
// (a table, a receive buffer) is sized by it, and the old count stays.
TEST_F(CurrentDataSet, ListRecordCountsOutsideALoggersMemoryAreUnreadable) {
    log_data_ct_save(loggerSet(), QStringLiteral("%%L0102") + QStringLiteral("00000007"));
    for (const char* field : {"-0000005", "-       1", "00691201", "99999999", "0000AB05", "        "}) {
        SCOPED_TRACE(field);
        EXPECT_THROW(log_data_ct_save(loggerSet(), QStringLiteral("%%L0102") + QString::fromLatin1(field)),
                     ConversionError);
        EXPECT_EQ(loggerSet().data_count(), 7);
    }
    log_data_ct_save(loggerSet(), QStringLiteral("%%L0102") + QStringLiteral("00691200"));
    EXPECT_EQ(loggerSet().data_count(), 691200);
}

}  // namespace
}  // namespace mq
