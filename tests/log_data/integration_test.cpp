#include <gtest/gtest.h>

#include <cmath>

#include "log_data/integration.h"
#include "log_data/log_window_fixture.h"
#include "model/data_window.h"
#include "platform/grid.h"
#include "model/cls_logger_setting.h"
#include "platform/numbers.h"
#include "platform/errors.h"

namespace mq::test {
namespace {

class IntegrationTest : public LogFixture {
protected:
    // One integration over (seconds from t0, CH1 text) on the current logger
    // data set; returns {H, L} texts of CH1.
    std::pair<QString, QString> run(const std::vector<std::pair<int, QString>>& recs) {
        const QDateTime t0 = civil(2024, 3, 1, 12, 0, 0);
        sum_calc_initial();
        for (const auto& [secs, text] : recs) {
            h_sum_l_sum_calc_values(setting(), t0.addSecs(secs), {text, QString(), QString(), QString()});
        }
        sum_calc_end();
        return {h_text(0), l_text(0)};
    }
    // The published texts as a 9-character integration text again.
    QString h_text(int ch) { return integration_text(setting().Ch_h_sum_value(ch) * 3600.0); }
    QString l_text(int ch) { return integration_text(setting().Ch_l_sum_value(ch) * 3600.0); }

    void kChannel(const QString& type, const QString& base) {
        channel(0, type, 1, QStringLiteral("100.0"), QStringLiteral("0.0"), base);
        for (int ch = 1; ch < 4; ++ch) channel(ch, QStringLiteral("-"));
    }
};

// ---------------------------------------------------------------- texts

TEST(IntegrationText, HoursRoundedHalfUpToOneDecimalInNineCharacters) {
    EXPECT_EQ(integration_text(0.0), QStringLiteral("      0.0"));
    EXPECT_EQ(integration_text(600.0), QStringLiteral("      0.2"));     // 0.1666 h
    EXPECT_EQ(integration_text(900.0), QStringLiteral("      0.3"));     // 0.25 h: half up, not to even
    EXPECT_EQ(integration_text(3600.0 * 1440), QStringLiteral("   1440.0"));
    EXPECT_EQ(integration_text(3600.0 * 1234567.8), QStringLiteral("1234567.8"));
}

TEST(IntegrationValue, RangeSubstitutesByType) {
    EXPECT_EQ(integ_value_of(QStringLiteral("K"), QStringLiteral("3276.7")), 1440.0f);
    EXPECT_EQ(integ_value_of(QStringLiteral("K"), QStringLiteral("3276.6")), -210.0f);
    EXPECT_EQ(integ_value_of(QStringLiteral("E"), QStringLiteral("3276.7")), 740.0f);
    EXPECT_EQ(integ_value_of(QStringLiteral("J"), QStringLiteral("3276.7")), 420.0f);
    EXPECT_EQ(integ_value_of(QStringLiteral("T"), QStringLiteral("3276.7")), 420.0f);
    EXPECT_EQ(integ_value_of(QStringLiteral("T"), QStringLiteral("3276.6")), -210.0f);
    EXPECT_EQ(integ_value_of(QStringLiteral("V"), QStringLiteral("3276.7")), 0.0f);
    EXPECT_EQ(integ_value_of(QStringLiteral("K"), QStringLiteral("  -12.5")), -12.5f);
}

TEST(MissingValue, DashesAreMissingOtherTextsAreNot) {
    EXPECT_TRUE(is_missing_value(QStringLiteral("------")));
    EXPECT_TRUE(is_missing_value(QStringLiteral("    ------")));
    EXPECT_TRUE(is_missing_value(QStringLiteral("-----")));
    EXPECT_FALSE(is_missing_value(QStringLiteral("  -1.5")));
    EXPECT_FALSE(is_missing_value(QStringLiteral("-")));
    EXPECT_FALSE(is_missing_value(QStringLiteral("      ")));
}

// ---------------------------------------------------------------- steps

TEST_F(IntegrationTest, OneRecordGivesZero) {
    kChannel(QStringLiteral("K"), QStringLiteral("0.0"));
    const auto [h, l] = run({{0, QStringLiteral("  50.0")}});
    EXPECT_EQ(h, QStringLiteral("      0.0"));
    EXPECT_EQ(l, QStringLiteral("      0.0"));
    EXPECT_EQ(setting().Ch_h_sum(0).trimmed(), QStringLiteral("0"));
}

TEST_F(IntegrationTest, TwoRecordsSixtySecondsApartHoldTheFirstValue) {
    kChannel(QStringLiteral("K"), QStringLiteral("0.0"));
    const auto [h, l] = run({{0, QStringLiteral("  10.0")}, {60, QStringLiteral("  99.0")}});
    EXPECT_EQ(h, QStringLiteral("      0.2"));  // 10 x 60 / 3600 = 0.1666
    EXPECT_EQ(l, QStringLiteral("      0.0"));
    EXPECT_DOUBLE_EQ(setting().Ch_h_sum_value(0), 0.2);
}

TEST_F(IntegrationTest, ValuesBelowTheBaseGoToL_EqualValuesToNeither) {
    kChannel(QStringLiteral("E"), QStringLiteral("20.0"));
    // 20.0 for 1 h (nothing), 8.0 for 1 h (12 below), 26.0 for 30 min (6 above).
    const auto [h, l] = run({{0, QStringLiteral("  20.0")},
                             {3600, QStringLiteral("   8.0")},
                             {7200, QStringLiteral("  26.0")},
                             {9000, QStringLiteral("  26.0")}});
    EXPECT_EQ(h, QStringLiteral("      3.0"));
    EXPECT_EQ(l, QStringLiteral("     12.0"));
}

TEST_F(IntegrationTest, RangeRecordsCountAsTheTypesSubstitutes) {
    kChannel(QStringLiteral("K"), QStringLiteral("0.0"));
    EXPECT_EQ(run({{0, QStringLiteral("3276.7")}, {3600, QStringLiteral("   0.0")}}).first, QStringLiteral("   1440.0"));
    EXPECT_EQ(run({{0, QStringLiteral("  U.R.")}, {3600, QStringLiteral("   0.0")}}).second, QStringLiteral("    210.0"));
    kChannel(QStringLiteral("J"), QStringLiteral("0.0"));
    EXPECT_EQ(run({{0, QStringLiteral("  O.R.")}, {3600, QStringLiteral("   0.0")}}).first, QStringLiteral("    420.0"));
}

TEST_F(IntegrationTest, ATimeGapIsWeightedByItsFullLength) {
    kChannel(QStringLiteral("T"), QStringLiteral("0.0"));
    // 36.0 held for 10 s, then 36.0 held for 2 h 10 s.
    const auto [h, l] = run({{0, QStringLiteral("  36.0")}, {10, QStringLiteral("  36.0")}, {7220, QStringLiteral("   0.0")}});
    EXPECT_EQ(h, QStringLiteral("     72.2"));  // 36 x 7220 / 3600
    EXPECT_EQ(l, QStringLiteral("      0.0"));
}

TEST_F(IntegrationTest, AMissingValueHoldsNoAreaAndNeverStops) {
    kChannel(QStringLiteral("K"), QStringLiteral("0.0"));
    // 10.0 for 60 s, missing for 60 s, 20.0 for 60 s: (600 + 0 + 1200) / 3600 = 0.5.
    const auto [h, l] = run({{0, QStringLiteral("  10.0")},
                             {60, QStringLiteral("------")},
                             {120, QStringLiteral("  20.0")},
                             {180, QStringLiteral("  99.0")}});
    EXPECT_EQ(h, QStringLiteral("      0.5"));
    EXPECT_EQ(l, QStringLiteral("      0.0"));
    // A missing first record seeds nothing either.
    EXPECT_EQ(run({{0, QStringLiteral("------")}, {60, QStringLiteral("  36.0")}, {160, QStringLiteral("0.0")}}).first,
              QStringLiteral("      1.0"));
}

// The loaders' number road integrates exactly as the text road: the same
// sums to the last bit, for every integrating type, over and under range,
// missing values and the channels that do not integrate.
TEST_F(IntegrationTest, TheNumberRoadIntegratesExactlyAsTheTextRoad) {
    struct Channel {
        const char* type;
        const char* base;
    };
    const std::vector<std::array<Channel, 4>> setups = {
        {{{"K", "20.0"}, {"E", "-5.5"}, {"J", "0.0"}, {"T", "100.1"}}},
        {{{"V", "1.0"}, {"-", "0.0"}, {"K", "-----"}, {"T", "-200.0"}}},
    };
    // Per record: seconds from the start and per channel the value text.
    const std::vector<std::pair<int, std::array<const char*, 4>>> records = {
        {0, {"25.3", "  O.R.", "------", "-12.7"}},
        {7, {"-0.5", "  U.R.", "  36.0", "100.1"}},
        {3607, {"------", "3.4", "  O.R.", "  U.R."}},
        {3608, {"1000.0", "-200.0", "0.1", "------"}},
        {90000, {"0.0", "0.0", "-210.0", "1372.9"}},
    };
    for (const auto& setup : setups) {
        for (int ch = 0; ch < 4; ++ch)
            channel(ch, QString::fromLatin1(setup[ch].type), 1, QStringLiteral("100.0"), QStringLiteral("0.0"),
                    QString::fromLatin1(setup[ch].base));
        const QDateTime t0 = civil(2024, 3, 1, 12, 0, 0);

        sum_calc_initial();
        for (const auto& [secs, texts] : records) {
            std::array<QString, 4> values;
            for (int ch = 0; ch < 4; ++ch) values[ch] = QString::fromLatin1(texts[ch]);
            h_sum_l_sum_calc_values(setting(), t0.addSecs(secs), values);
        }
        const LogDataState byText = log_data_state();

        const IntegNumbersSetup numbers = integ_numbers_setup(setting());
        sum_calc_initial();
        for (const auto& [secs, texts] : records) {
            std::array<IntegValue, 4> kind{};
            std::array<float, 4> value{};
            for (int ch = 0; ch < 4; ++ch) {
                const QString t = QString::fromLatin1(texts[ch]).trimmed();
                kind[ch] = t == QLatin1String("------") ? IntegValue::Missing
                           : t == QLatin1String("O.R.") ? IntegValue::Over
                           : t == QLatin1String("U.R.") ? IntegValue::Under
                                                         : IntegValue::Number;
                value[ch] = float(t.toDouble());
            }
            h_sum_l_sum_calc_numbers(numbers, t0.addSecs(secs), kind, value);
        }
        const LogDataState& byNumber = log_data_state();
        EXPECT_EQ(byNumber.ch_h_integ, byText.ch_h_integ) << setup[0].type;
        EXPECT_EQ(byNumber.ch_l_integ, byText.ch_l_integ) << setup[0].type;
        EXPECT_EQ(byNumber.ch_h_hold, byText.ch_h_hold) << setup[0].type;
        EXPECT_EQ(byNumber.ch_l_hold, byText.ch_l_hold) << setup[0].type;
        EXPECT_EQ(byNumber.integ_prev_time, byText.integ_prev_time);
    }
    // The sums are not trivially zero.
    EXPECT_NE(log_data_state().ch_h_integ[3], 0.0);
}

// Plain decimal texts are read without the full conversion; the numbers must
// be those of the full conversion to the last bit, and every other text must
// still be read (or refused) by it.
TEST_F(IntegrationTest, ValueTextsReadExactlyAsTheFullConversionReadsThem) {
    std::vector<QString> texts;
    for (int v = -32768; v <= 32767; ++v) {
        for (int decimals = 0; decimals <= 3; ++decimals) {
            const int scale = decimals == 0 ? 1 : decimals == 1 ? 10 : decimals == 2 ? 100 : 1000;
            const int a = v < 0 ? -v : v;
            QString t = QString::number(a / scale);
            if (decimals > 0) t += QLatin1Char('.') + QString::number(a % scale).rightJustified(decimals, QLatin1Char('0'));
            if (v < 0) t.prepend(QLatin1Char('-'));
            texts.push_back(t.rightJustified(6));
        }
    }
    for (const char* odd : {"007", "-0", "-0.0", "+5", "1.", ".5", "1e3", " 12.5 ", "\t3", "12a", "--1", "1.2.3",
                            "123456789012345", "1234567890123456", "0.000000000000001", "99999999.9999999"})
        texts.push_back(QString::fromLatin1(odd));
    clsLOGGER_SETTING& s = setting();
    channel(0, QStringLiteral("K"));
    for (const QString& t : texts) {
        double expected = 0.0;
        bool number = true;
        try {
            expected = platform::toDouble(t);
        } catch (const ConversionError&) {
            number = false;
        }
        // The logger's range codes are no measurement (their own tests cover them).
        if (t.trimmed() == QLatin1String("3276.7") || t.trimmed() == QLatin1String("3276.6")) continue;
        s.let_Ch_sum(0, 0.0);
        stat_value_add(s, true, t, 0);
        if (number) {
            ASSERT_EQ(s.Ch_sum(0), expected) << t.toStdString();
        } else {
            ASSERT_EQ(s.Ch_sum(0), 0.0) << t.toStdString();
        }
        ASSERT_EQ(integ_value_of(QStringLiteral("K"), t), float(platform::val(t))) << t.toStdString();
    }
}

TEST_F(IntegrationTest, VoltageAndUnusedChannelsKeepTheirTexts) {
    channel(0, QStringLiteral("V"), 2, QStringLiteral("1.00"), QStringLiteral("0.00"), QStringLiteral("0.00"));
    channel(1, QStringLiteral("-"));
    channel(2, QStringLiteral("K"), 1, QStringLiteral("100.0"), QStringLiteral("0.0"), QStringLiteral("0.0"));
    channel(3, QStringLiteral("-"));
    setting().let_Ch_h_sum(0, QStringLiteral("1.23"));
    setting().let_Ch_l_sum(1, QStringLiteral("4.5"));
    sum_calc_initial();
    const QDateTime t0 = civil(2024, 3, 1, 12, 0, 0);
    h_sum_l_sum_calc_values(setting(), t0, {"  5.00", "", "  10.0", ""});
    h_sum_l_sum_calc_values(setting(), t0.addSecs(360), {"  5.00", "", "  10.0", ""});
    sum_calc_end();
    EXPECT_DOUBLE_EQ(setting().Ch_h_sum_value(0), 1.23);
    EXPECT_DOUBLE_EQ(setting().Ch_l_sum_value(1), 4.5);
    EXPECT_DOUBLE_EQ(setting().Ch_h_sum_value(2), 1.0);
}

TEST_F(IntegrationTest, EndPublishesIntoTheDataSetOfTheCurrentKind) {
    kChannel(QStringLiteral("K"), QStringLiteral("0.0"));
    model().file_main = std::make_shared<clsFILE_Main>();
    model().file_main->colFILE_DATA().Add(QStringLiteral("F00"));
    model().act_file_data = model().file_main->colFILE_DATA().Item(QStringLiteral("F00"));
    clsLOGGER_SETTING& fs = model().act_file_data->clsLOGGER_SETTING();
    fs.let_Ch_input_type(0, QStringLiteral("K"));
    for (int ch = 1; ch < 4; ++ch) fs.let_Ch_input_type(ch, QStringLiteral("-"));

    model().act_data_kind = 1;
    sum_calc_initial();
    h_sum_l_sum_calc_file(civil(2024, 1, 1, 0, 0, 0), "  36.0", "", "", "");
    h_sum_l_sum_calc_file(civil(2024, 1, 1, 0, 10, 0), "  36.0", "", "", "");
    sum_calc_end();
    EXPECT_DOUBLE_EQ(fs.Ch_h_sum_value(0), 6.0);
    EXPECT_DOUBLE_EQ(setting().Ch_h_sum_value(0), 0.0);

    model().act_data_kind = 2;
    sum_calc_end();
    EXPECT_DOUBLE_EQ(setting().Ch_h_sum_value(0), 6.0);
}

// The grid variant reads the active window's table; an empty cell is taken as
// no value at once instead of being waited for.
class GridWindow : public IDataWindow {
public:
    QString Tag() const override { return QStringLiteral("L01"); }
    platform::Grid* vsFlexGrid1() override { return &grid; }
    void bind_Data1(std::shared_ptr<DbRecordset>) override {}
    QWidget* widget() override { return nullptr; }
    platform::Grid grid;
};

class OneWindowMain : public IMainWindowServices {
public:
    IDataWindow* activeDataWindow() override { return window; }
    QWidget* mainWidget() override { return nullptr; }
    void win_active_close() override {}
    int win_all_use_ct() override { return 1; }
    bool link_connected_flag() const override { return true; }
    void let_link_mode(OpMode) override {}
    void let_link_serial_no(const QString&) override {}
    void blank_link_identity() override {}
    void refresh_command_state() override {}
    void yieldToEventLoop() override {}
    IDataWindow* window = nullptr;
};

TEST_F(IntegrationTest, GridStepReadsTheLastSixCharactersOfEachCell) {
    kChannel(QStringLiteral("K"), QStringLiteral("0.0"));
    channel(3, QStringLiteral("K"), 1, QStringLiteral("100.0"), QStringLiteral("0.0"), QStringLiteral("0.0"));
    GridWindow w;
    w.grid.setCols(7);
    w.grid.setRows(4);
    w.grid.setTextMatrix(1, 3, QStringLiteral("▲   36.0"));
    w.grid.setTextMatrix(2, 3, QStringLiteral("      36.0"));
    w.grid.setTextMatrix(1, 6, QStringLiteral("     O.R."));
    // Row 2 of CH4 is empty.
    w.grid.setTextMatrix(3, 6, QStringLiteral("      10.0"));
    OneWindowMain mw;
    mw.window = &w;
    model().main_window = &mw;

    const QDateTime t0 = civil(2024, 1, 1, 0, 0, 0);
    sum_calc_initial();
    h_sum_l_sum_calc(1, t0);
    h_sum_l_sum_calc(2, t0.addSecs(100));
    h_sum_l_sum_calc(3, t0.addSecs(200));
    sum_calc_end();
    model().main_window = nullptr;
    EXPECT_DOUBLE_EQ(setting().Ch_h_sum_value(0), 2.0);   // 36 x 200 / 3600
    EXPECT_DOUBLE_EQ(setting().Ch_h_sum_value(3), 40.0);  // 1440 x 100 / 3600, then nothing
}

// ---------------------------------------------------------------- minimum, maximum, sum

TEST_F(IntegrationTest, LoggerStatisticsLeaveOutRangeMissingAndBlankValues) {
    kChannel(QStringLiteral("K"), QStringLiteral("0.0"));
    clsLOGGER_SETTING& s = setting();
    s.let_Ch_min(0, QStringLiteral("99999"));
    s.let_Ch_max(0, QStringLiteral("-9999"));
    // A garbled field is no measurement either, and ends nothing.
    for (const char* v : {"  12.5", "3276.7", "3276.6", "------", "  -3.0", "      ", "  O.R.", "  40.1", " 1x.5"}) {
        stat_record_add({QString::fromLatin1(v), QStringLiteral("      "), QStringLiteral("      "), QStringLiteral("      ")});
    }
    EXPECT_DOUBLE_EQ(s.Ch_min_value(0), -3.0);
    EXPECT_DOUBLE_EQ(s.Ch_max_value(0), 40.1);
    EXPECT_NEAR(s.Ch_sum(0), 12.5 - 3.0 + 40.1, 1e-9);
}

TEST_F(IntegrationTest, FileStatisticsSumOnly) {
    kChannel(QStringLiteral("K"), QStringLiteral("0.0"));
    clsLOGGER_SETTING& s = setting();
    s.let_Ch_min(0, QStringLiteral("5.0"));
    s.let_Ch_max(0, QStringLiteral("6.0"));
    stat_record_add(s, /*fileData=*/true, {"  12.5", "", "", ""});
    stat_record_add(s, true, {"  O.R.", "", "", ""});
    stat_record_add(s, true, {"  U.R.", "", "", ""});
    stat_record_add(s, true, {"  -2.5", "", "", ""});
    EXPECT_DOUBLE_EQ(s.Ch_min_value(0), 5.0);
    EXPECT_DOUBLE_EQ(s.Ch_max_value(0), 6.0);
    EXPECT_DOUBLE_EQ(s.Ch_sum(0), 10.0);
}

// ---------------------------------------------------------------- folding

TEST_F(IntegrationTest, FoldingEvery3000RecordsGivesTheUnfoldedResults) {
    model().file_main = std::make_shared<clsFILE_Main>();
    model().file_main->colFILE_DATA().Add(QStringLiteral("F00"));
    model().act_file_data = model().file_main->colFILE_DATA().Item(QStringLiteral("F00"));
    model().act_data_kind = 1;
    clsLOGGER_SETTING& fs = model().act_file_data->clsLOGGER_SETTING();
    fs.let_Ch_input_type(0, QStringLiteral("K"));
    fs.let_Ch_sum_std_count(0, QStringLiteral("20.0"));
    for (int ch = 1; ch < 4; ++ch) fs.let_Ch_input_type(ch, QStringLiteral("-"));

    const QDateTime t0 = civil(2024, 1, 1, 0, 0, 0);
    FoldCounters fold;
    double expectSum = 0.0, expectH = 0.0, expectL = 0.0;
    double prevD = 0.0;
    sum_calc_initial();
    for (int n = 1; n <= 9000; ++n) {
        const int tenths = 100 + (n * 37) % 300;  // 10.0 .. 39.9
        const QString text = QString::number(tenths / 10.0, 'f', 1).rightJustified(6);
        stat_record_add({text, QStringLiteral("      "), QStringLiteral("      "), QStringLiteral("      ")});
        h_sum_l_sum_calc_file(t0.addSecs(qint64(n) * 10), text, "", "", "");
        sum_fold_3000(fold, n);
        integ_fold_3000(fold, n);
        expectSum += tenths / 10.0;
        if (n > 1) (prevD > 0 ? expectH : expectL) += std::fabs(prevD) * 10.0;
        prevD = double(float(tenths / 10.0) - 20.0f);
        if (n == 3000) {
            EXPECT_EQ(fs.Ch_sum(0), 0.0);  // moved into its bank
            EXPECT_EQ(fold.sum_fold_next, 6000);
        }
    }
    EXPECT_EQ(fold.integ_fold_next, 12000);
    sum_fold_final();
    sum_calc_end();
    EXPECT_NEAR(fs.Ch_sum(0), expectSum, 1e-6);
    EXPECT_EQ(integration_text(fs.Ch_h_sum_value(0) * 3600.0), integration_text(expectH));
    EXPECT_EQ(integration_text(fs.Ch_l_sum_value(0) * 3600.0), integration_text(expectL));
    EXPECT_GT(expectH, 0.0);
    EXPECT_GT(expectL, 0.0);
}

}  // namespace
}  // namespace mq::test
