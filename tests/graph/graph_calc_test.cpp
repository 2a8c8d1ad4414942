// The graph's arithmetic: time-label steps, automatic and fixed scales with
// their divisions, the cell reader, zoom and paging of the drawn range,
// reference-line positions, record times and the readout tolerance.
#include <gtest/gtest.h>

#include "graph/graph_calc.h"
#include "graph/graph_state.h"
#include "model/graph_source.h"

namespace {

using namespace mq;
using namespace mq::graph;

QDateTime at(int h, int mi, int s) { return QDateTime(QDate(2024, 3, 1), QTime(h, mi, s), Qt::UTC); }

TEST(GraphCalc, TimeLabelStepFollowsItsTableAtEveryThreshold) {
    const std::pair<qint32, qint32> cases[] = {
        {0, 1},         {11, 1},        {12, 2},         {21, 2},         {22, 3},         {32, 4},
        {42, 5},        {52, 5},        {53, 10},        {102, 15},       {152, 20},       {202, 30},
        {302, 45},      {452, 60},      {602, 90},       {902, 120},      {1202, 150},     {1502, 240},
        {2402, 300},    {3002, 360},    {3600, 360},     {3601, 480},     {4800, 480},     {4801, 600},
        {6002, 780},    {7802, 1000},   {10002, 1500},   {15002, 2000},   {20002, 2500},   {25002, 3000},
        {30002, 3500},  {35002, 4000},  {40002, 4500},   {50002, 6000},   {70002, 10000},  {100002, 15000},
        {150002, 20000}, {200002, 25000}, {250002, 30000}, {300002, 35000}, {350001, 35000}, {350002, 40000}};
    for (const auto& [span, step] : cases) EXPECT_EQ(time_label_step(span), step) << "span " << span;
}

TEST(GraphCalc, DivisionTableCoversTheDataIncludingTheBandUpToThreeThousand) {
    struct Case {
        int d;
        bool temp;
        int tick;
    };
    const Case cases[] = {{0, true, 2},      {10, true, 2},      {11, false, 4},    {25, true, 5},
                          {26, true, 10},    {200, true, 40},    {250, true, 50},   {2000, true, 400},
                          {2500, true, 500}, {2501, true, 600},  {3000, false, 600}, {3001, true, 1000},
                          {7500, true, 1500}, {10000, true, 2000}, {15000, true, 3000}, {17500, true, 3500},
                          {15000, false, 3000}, {20000, false, 4000}};
    for (const Case& c : cases) {
        EXPECT_EQ(auto_tick_step(c.d, c.temp), c.tick) << "d " << c.d;
        // Five divisions always reach the whole span.
        EXPECT_GE(5 * auto_tick_step(c.d, c.temp), c.d) << "d " << c.d;
    }
}

TEST(GraphCalc, SettledScalesForAutomaticAndFixedChannels) {
    struct Case {
        const char* what;
        bool temp, manual;
        int h, l, autoMax, autoMin;
        Scale want;
    };
    const Case cases[] = {
        {"20.0 to 31.5", true, false, 0, 0, 315, 200, {400, 200, 40}},
        {"0 to 3000", false, false, 0, 0, 3000, 0, {5000, 0, 1000}},
        {"all over range", true, false, 0, 0, -2500, 15000, {15000, -2500, 3500}},
        {"no valid voltage", false, false, 0, 0, -10000, 10000, {10000, -10000, 4000}},
        {"one value", true, false, 0, 0, 250, 250, {260, 250, 2}},
        {"span 2800 reaches its top", false, false, 0, 0, 2800, 0, {3000, 0, 600}},
        {"negative values", true, false, 0, 0, -120, -180, {-100, -200, 20}},
        {"fixed 15010", true, true, 15010, 100, 0, 0, {15000, -2500, 3500}},
        {"fixed kept", true, true, 820, 370, 0, 0, {820, 370, 90}},
        {"fixed voltage over", false, true, 12000, 0, 0, 0, {10000, -10000, 4000}},
    };
    for (const Case& c : cases) {
        const Scale s = settle_scale(c.temp, c.manual, c.h, c.l, c.autoMax, c.autoMin);
        EXPECT_EQ(s.h, c.want.h) << c.what;
        EXPECT_EQ(s.l, c.want.l) << c.what;
        EXPECT_EQ(s.tick, c.want.tick) << c.what;
        if (!c.manual) {
            EXPECT_GE(s.h, std::min(c.autoMax, 15000)) << c.what;
            EXPECT_LE(s.l, std::max(c.autoMin, -10000)) << c.what;
        }
    }
}

TEST(GraphCalc, CellReaderTakesNumbersMarksAndEmptyCells) {
    struct Case {
        const char* cell;
        qint32 value;
        int decimals;  // -9: left unchanged
    };
    const Case cases[] = {{"    25.3", 253, 1},       {"   -0.5", -5, 1},          {"-12.50", -1250, 2},
                          {"     O.R.", 32767, -9},    {"     U.R.", 32767, -9},    {"", IGraphSource::kNoValue, -9},
                          {"    ------", IGraphSource::kNoValue, -9}, {"     120", 120, 0}, {"  1.234", 1234, 3},
                          {"   abc", IGraphSource::kNoValue, -9},   {"▲    25.0", 250, 1},     {"▼   -3.25", -325, 2},
                          {"25.3", 253, 1}};
    for (const Case& c : cases) {
        int d = -9;
        EXPECT_EQ(graph_cell_value(QString::fromUtf8(c.cell), &d), c.value) << c.cell;
        EXPECT_EQ(d, c.decimals) << c.cell;
    }
}

TEST(GraphCalc, FormatsAndHalfEvenRounding) {
    EXPECT_EQ(format_scaled(235, kTempUnit, 1), QStringLiteral("23.5"));
    EXPECT_EQ(format_scaled(-5, kTempUnit, 1), QStringLiteral("-0.5"));
    EXPECT_EQ(format_scaled(125, QStringLiteral(" V "), 2), QStringLiteral("1.25"));
    EXPECT_EQ(format_scaled(-7, QStringLiteral(" V "), 3), QStringLiteral("-0.007"));
    EXPECT_EQ(format_scaled(42, QStringLiteral(" V "), 0), QStringLiteral("42"));
    const std::tuple<qint64, qint64, qint64> divs[] = {{25, 2, 12}, {27, 2, 14}, {-25, 2, -12}, {-27, 2, -14},
                                                       {10, 3, 3},  {11, 3, 4},  {-11, 3, -4}};
    for (const auto& [a, b, q] : divs) EXPECT_EQ(div_round_even(a, b), q) << a << "/" << b;
}

TEST(GraphCalc, ZoomRoundsRecordsAndScalesOutwardsAndKeepsTwoRecords) {
    const PlotRect plot{100, 50, 1000, 400};
    struct Case {
        const char* what;
        qint32 start, end, count;
        double x1, x2;  // drag ends, picture x
        qint32 wantStart, wantEnd;
    };
    const Case cases[] = {
        {"full width keeps the range", 11, 111, 200, 100, 1100, 11, 111},
        {"a quarter", 1, 101, 101, 350, 600, 26, 51},
        {"narrower than a record", 1, 101, 101, 352, 353, 26, 27},
        {"two records stay", 5, 6, 10, 100, 1100, 5, 6},
        {"end beyond the data is clamped", 1, 120, 100, 600, 1100, 60, 100},
    };
    for (const Case& c : cases) {
        GraphState g;
        g.graph_start_pos = c.start;
        g.graph_end_pos = c.end;
        g.graph_rec_count = c.count;
        mouse_range(g, plot, c.x1, 100, c.x2, 300);
        EXPECT_EQ(g.graph_start_pos, c.wantStart) << c.what;
        EXPECT_EQ(g.graph_end_pos, c.wantEnd) << c.what;
        EXPECT_GE(g.graph_end_pos - g.graph_start_pos, 1) << c.what;
        EXPECT_EQ(g.graph_zoom_flag, 1) << c.what;
    }

    // Vertical: 0.0 to 100.0; the band from 37.25 % to 81.95 % of the height.
    GraphState g;
    g.graph_start_pos = 1;
    g.graph_end_pos = 2;
    g.graph_rec_count = 2;
    g.ch_present = {0, 1, 1, 1, 0};
    g.ch_h_scale = {0, 1000, 1000, 5};
    g.ch_l_scale = {0, 0, 0, 4};
    const double bottom = plot.top + plot.height;
    mouse_range(g, plot, 200, bottom - 0.8195 * plot.height, 300, bottom - 0.3725 * plot.height);
    EXPECT_EQ(g.ch_l_scale[1], 370);
    EXPECT_EQ(g.ch_h_scale[1], 820);
    EXPECT_EQ(g.ch_scale_manual[1], 1);
    // An upper edge on a whole value that is no multiple of ten stays.
    g.ch_h_scale[2] = 1000;
    g.ch_l_scale[2] = 0;
    mouse_range(g, plot, 200, 308, 300, bottom);  // (450 - 308) / 400 of 0..1000 is 355
    EXPECT_EQ(g.ch_h_scale[2], 355);
    EXPECT_EQ(g.ch_l_scale[2], 0);
    // A scale of less than two units is floored to tens and kept apart.
    EXPECT_EQ(g.ch_h_scale[3], 1);
    EXPECT_EQ(g.ch_l_scale[3], 0);
    EXPECT_EQ(g.ch_scale_manual[4], 0);
}

TEST(GraphCalc, PagingKeepsThePageWidthAndClampsAtTheEnds) {
    struct Case {
        bool next;
        qint32 start, end, count, wantStart, wantEnd;
    };
    const Case cases[] = {{false, 101, 150, 200, 51, 100}, {false, 51, 100, 200, 1, 50}, {false, 31, 80, 200, 1, 50},
                          {false, 1, 50, 200, 1, 50},      {true, 1, 50, 120, 51, 100},  {true, 51, 100, 120, 71, 120},
                          {true, 71, 120, 120, 71, 120}};
    for (const Case& c : cases) {
        qint32 s = c.start, e = c.end;
        if (c.next) page_next(s, e, c.count);
        else page_prev(s, e);
        EXPECT_EQ(s, c.wantStart) << c.start << "-" << c.end << (c.next ? " next" : " prev");
        EXPECT_EQ(e, c.wantEnd) << c.start << "-" << c.end << (c.next ? " next" : " prev");
    }
}

TEST(GraphCalc, ReferenceLinesLieOnTheScaleOrAreNotDrawn) {
    const PlotRect plot{10, 20, 500, 400};
    struct Case {
        double value;
        int m, h, l;
        bool drawn;
        double y;
    };
    const Case cases[] = {{100.0, 10, 1000, 0, true, 20},   {0.0, 10, 1000, 0, true, 420},
                          {100.1, 10, 1000, 0, false, 0},   {1.25, 100, 500, 0, true, 320},
                          {-0.1, 10, 1000, 0, false, 0},    {1500.0, 10, 30000, -30000, true, 120},
                          {1e12, 10, 1000, 0, false, 0}};
    for (const Case& c : cases) {
        double y = -1;
        EXPECT_EQ(reference_y(c.value, c.m, c.h, c.l, plot, &y), c.drawn) << c.value;
        if (c.drawn) {
            EXPECT_DOUBLE_EQ(y, c.y) << c.value;
        }
    }
}

TEST(GraphCalc, RecordTimesAreAlignedToTheMinuteOnDateTimeValues) {
    TimeAxis minute{at(10, 0, 30), at(10, 8, 0), 60, 9};
    EXPECT_TRUE(minute.aligned());
    EXPECT_EQ(minute.readout_time(1), at(10, 0, 30));
    EXPECT_EQ(minute.readout_time(2), at(10, 1, 0));
    EXPECT_EQ(minute.readout_time(3), at(10, 2, 0));
    EXPECT_EQ(minute.readout_time(9), at(10, 8, 0));
    EXPECT_FALSE(minute.irregular_end());

    TimeAxis seconds{at(10, 0, 5), at(10, 0, 59), 10, 6};
    EXPECT_FALSE(seconds.aligned());
    EXPECT_EQ(seconds.readout_time(3), at(10, 0, 25));
    EXPECT_EQ(seconds.readout_time(6), at(10, 0, 59));  // the last record reads the stop time
    EXPECT_TRUE(seconds.irregular_end());

    // Across a year end, where a two-digit year text would go wrong.
    TimeAxis yearEnd{QDateTime(QDate(2099, 12, 31), QTime(23, 59, 30), Qt::UTC),
                     QDateTime(QDate(2100, 1, 1), QTime(0, 2, 0), Qt::UTC), 60, 4};
    EXPECT_EQ(yearEnd.label_time(2), QDateTime(QDate(2100, 1, 1), QTime(0, 0, 0), Qt::UTC));
    EXPECT_FALSE(yearEnd.irregular_end());
}

TEST(GraphCalc, ReadoutFindsTheNearestRecordWithinTheTolerance) {
    const PlotRect plot{100, 0, 1000, 100};
    struct Case {
        double x;
        qint32 record;
        bool near;
    };
    // Ten records apart by 100 pixels (records 5..15).
    const Case cases[] = {{100, 5, true}, {109, 5, true}, {111, 5, false}, {149, 5, false},
                          {151, 6, false}, {191, 6, true}, {1100, 15, true}};
    for (const Case& c : cases) {
        bool near = false;
        EXPECT_EQ(readout_record(c.x, plot, 100.0, 5, 15, 10.0, &near), c.record) << c.x;
        EXPECT_EQ(near, c.near) << c.x;
    }
}

}  // namespace
