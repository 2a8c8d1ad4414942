// Page arithmetic, channel heads and the cell texts of printed tables.
#include <gtest/gtest.h>

#include "common/test_env.h"
#include "model/cls_logger_setting.h"
#include "printing/page_layout.h"

namespace mq::test {
namespace {

TEST(PageLayout, FirstPageCapacityFollowsTheBlocksPrinted) {
    struct Case {
        bool settings, computed;
        int log, tag;
    };
    for (const Case& c : {Case{false, false, 45, 47}, Case{true, false, 39, 42}, Case{false, true, 36, 42},
                          Case{true, true, 30, 37}}) {
        SCOPED_TRACE(testing::Message() << c.settings << c.computed);
        EXPECT_EQ(log_first_capacity(c.settings, c.computed), c.log);
        EXPECT_EQ(tag_first_capacity(c.settings, c.computed), c.tag);
    }
}

TEST(PageLayout, RowsSpreadOverAFirstPageAndPagesOfFifty) {
    struct Case {
        qint32 records, capacity;
        PageCount expected;  // first rows, middle pages, last rows, total
    };
    const Case cases[] = {
        {0, 30, {0, 0, 0, 1}},          // no records: one page with the head only
        {-5, 30, {0, 0, 0, 1}},         // a broken count prints no rows
        {30, 30, {30, 0, 0, 1}},
        {31, 30, {30, 0, 1, 2}},        // 30 + 1
        {80, 30, {30, 1, 0, 2}},        // 30 + 50: the full page is the last
        {81, 30, {30, 1, 1, 3}},        // 30 + 50 + 1
        {130, 30, {30, 2, 0, 3}},       // 30 + 50 + 50, no short last page
        {42, 42, {42, 0, 0, 1}},        // TAG with one block
        {10000, 37, {37, 199, 13, 201}},  // TAG with both blocks: 37 + 199 x 50 + 13
        {10000, 45, {45, 199, 5, 201}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.records << " rows, first page " << c.capacity);
        const PageCount pc = print_page_count(c.records, c.capacity);
        EXPECT_EQ(pc.first_rows, c.expected.first_rows);
        EXPECT_EQ(pc.middle_pages, c.expected.middle_pages);
        EXPECT_EQ(pc.last_rows, c.expected.last_rows);
        EXPECT_EQ(pc.page_total, c.expected.page_total);
        // Every record is on exactly one page.
        EXPECT_EQ(pc.first_rows + pc.middle_pages * kRowsPerLaterPage + pc.last_rows, qMax(0, c.records));
    }
}

TEST(PageLayout, PageNumbersReadNumberSlashTotal) {
    EXPECT_EQ(page_number_text(2, 7), QStringLiteral("2 / 7"));
    EXPECT_EQ(page_number_text(3, 3), QStringLiteral("3 / 3"));
    EXPECT_EQ(page_number_text(120, 201), QStringLiteral("120 / 201"));
}

class ChannelTexts : public ::testing::Test {
protected:
    void SetUp() override { ensureApplication(); }

    // Channel ch: type, decimals, alarms (display texts or "-----"), max, min.
    void channel(int ch, const QString& type, int decimals, const QString& high, const QString& low,
                 const QString& max = QStringLiteral("0.0"), const QString& min = QStringLiteral("0.0")) {
        s.let_Ch_input_type(ch, type);
        s.let_Ch_period_pos(ch, quint8(decimals));
        s.let_Ch_high_alarm_count(ch, high);
        s.let_Ch_low_alarm_count(ch, low);
        s.let_Ch_max(ch, max);
        s.let_Ch_min(ch, min);
    }

    clsLOGGER_SETTING s;
};

TEST_F(ChannelTexts, HeadsAndFormatsFollowTheInputType) {
    channel(0, QStringLiteral("K"), 1, QStringLiteral("-----"), QStringLiteral("-----"));
    channel(1, QStringLiteral("-"), 1, QStringLiteral("-----"), QStringLiteral("-----"));
    channel(2, QStringLiteral("V"), 2, QStringLiteral("-----"), QStringLiteral("-----"));
    s.let_Ch_unit(2, QStringLiteral("mV"));
    channel(3, QStringLiteral("V"), 0, QStringLiteral("-----"), QStringLiteral("-----"));
    s.let_Ch_unit(3, QStringLiteral("kPa"));
    EXPECT_EQ(channel_head(s, 0), QStringLiteral("CH1 [ﾟC ]"));
    EXPECT_EQ(channel_head(s, 1), QStringLiteral("CH2 [ ]"));
    EXPECT_EQ(channel_head(s, 2), QStringLiteral("CH3 [mV ]"));
    EXPECT_EQ(channel_head(s, 3), QStringLiteral("CH4 [kPa]"));
    EXPECT_EQ(channel_value_format(s, 0), QStringLiteral("0.0"));
    EXPECT_EQ(channel_value_format(s, 1), QString());
    EXPECT_EQ(channel_value_format(s, 2), QStringLiteral("0.00"));
    EXPECT_EQ(channel_value_format(s, 3), QStringLiteral("0"));
}

TEST_F(ChannelTexts, BlockCellsAreRightAlignedInNineAndGraphTextsTakeTheFormat) {
    EXPECT_EQ(block_cell_text(QStringLiteral("30.0  ")), QStringLiteral("     30.0"));
    EXPECT_EQ(block_cell_text(QStringLiteral("1234567890.5")), QStringLiteral("4567890.5"));  // last nine
    EXPECT_EQ(block_cell_text(QString()), QStringLiteral("         "));
    EXPECT_EQ(format_graph_text(QStringLiteral("1.2345"), QStringLiteral("0.00")), QStringLiteral("1.23"));
    EXPECT_EQ(format_graph_text(QStringLiteral(" 30 "), QStringLiteral("0.0")), QStringLiteral("30.0"));
    EXPECT_EQ(format_graph_text(QStringLiteral("-----"), QStringLiteral("0.0")), QStringLiteral("-----"));
    EXPECT_EQ(format_graph_text(QStringLiteral("12"), QString()), QStringLiteral("12"));
}

TEST_F(ChannelTexts, CellTextsCarryExtremeMarksAndAlarmLetters) {
    // CH1 K: alarms 30.0 / 10.0, maximum 30.5, minimum 9.5.
    channel(0, QStringLiteral("K"), 1, QStringLiteral("30.0"), QStringLiteral("10.0"), QStringLiteral("30.5"),
            QStringLiteral("9.5"));
    // CH2 K with the limits the wrong way round: upper 10.0 below lower 30.0.
    channel(1, QStringLiteral("K"), 1, QStringLiteral("10.0"), QStringLiteral("30.0"));
    // CH3 voltage: marks for the extremes, never an alarm letter.
    channel(2, QStringLiteral("V"), 2, QStringLiteral("1.00"), QStringLiteral("0.50"), QStringLiteral("2.00"),
            QStringLiteral("0.10"));
    // CH4 not in use.
    channel(3, QStringLiteral("-"), 1, QStringLiteral("-----"), QStringLiteral("-----"));
    struct Case {
        int ch;
        QString value, expected;
    };
    const Case cases[] = {
        {0, QStringLiteral("  30.5"), QStringLiteral("▲H   30.5")},
        {0, QStringLiteral("   9.5"), QStringLiteral("▼L    9.5")},
        {0, QStringLiteral("  30.0"), QStringLiteral("      30.0")},  // on the limit: no letter
        {0, QStringLiteral("  10.0"), QStringLiteral("      10.0")},
        {0, QStringLiteral("  O.R."), QStringLiteral("      O.R.")},
        {0, QStringLiteral("  U.R."), QStringLiteral("      U.R.")},
        {0, QStringLiteral("O.R."), QStringLiteral("      O.R.")},    // a bare range code
        {0, QStringLiteral("------"), QStringLiteral("    ------")},  // a missing value
        {1, QStringLiteral("   9.5"), QStringLiteral("  H    9.5")},
        {1, QStringLiteral("  30.5"), QStringLiteral("  L   30.5")},
        {1, QStringLiteral("  20.0"), QStringLiteral("      20.0")},
        {2, QStringLiteral("  2.00"), QStringLiteral("▲    2.00")},
        {2, QStringLiteral("  0.10"), QStringLiteral("▼    0.10")},
        {2, QStringLiteral("  1.50"), QStringLiteral("      1.50")},
        {3, QStringLiteral("  25.0"), QStringLiteral("          ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "CH" << c.ch + 1 << " " << c.value.toStdString());
        EXPECT_EQ(print_ch_cell_text(s, c.value, c.ch), c.expected);
    }
}

TEST_F(ChannelTexts, EqualExtremesShowTheMinimumMarkAndUnsetAlarmsNoLetter) {
    // All values equal: maximum = minimum = 20.0; no alarm values set.
    channel(0, QStringLiteral("T"), 1, QStringLiteral("-----"), QStringLiteral("-----"), QStringLiteral("20.0"),
            QStringLiteral("20.0"));
    EXPECT_EQ(print_ch_cell_text(s, QStringLiteral("  20.0"), 0), QStringLiteral("▼    20.0"));
    EXPECT_EQ(print_ch_cell_text(s, QStringLiteral("  55.0"), 0), QStringLiteral("      55.0"));
    EXPECT_EQ(print_ch_cell_text(s, QStringLiteral(" -55.0"), 0), QStringLiteral("     -55.0"));
    // A lone upper alarm keeps its side even though the unset lower reads 0.
    s.let_Ch_high_alarm_count(0, QStringLiteral("-10.0"));
    EXPECT_EQ(print_ch_cell_text(s, QStringLiteral("  -5.0"), 0), QStringLiteral("  H   -5.0"));
    EXPECT_EQ(print_ch_cell_text(s, QStringLiteral(" -15.0"), 0), QStringLiteral("     -15.0"));
}

}  // namespace
}  // namespace mq::test
