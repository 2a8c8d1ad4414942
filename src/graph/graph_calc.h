#pragma once
// The graph's arithmetic, free of windows: the time-label step, the vertical
// scales, channel multipliers and formats, the statistics of a drawn range,
// zoom and paging of the range, reference-line positions and record times.
// Values are scaled whole numbers (the displayed value times 10 to the power
// of the channel's decimals); 32767 stands for a value that cannot be drawn.
#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <array>
#include <utility>

#include "model/channel_values.h"

namespace mq {

class IGraphSource;
class clsLOGGER_GraphInfo;
class clsLOGGER_SETTING;
struct GraphState;

namespace graph {

inline constexpr int kInvalid = 32767;
inline const QString kTempUnit = QStringLiteral("ﾟC ");

// Records between two time-axis labels for a span of end - start.
qint32 time_label_step(qint32 span);

// One axis division for a span d of an automatic scale.
int auto_tick_step(int d, bool temperature);

// The vertical scale of a present channel: automatic scales from the drawn
// range's maximum and minimum, fixed ones kept (with the kind's limits).
struct Scale {
    int h = 0;
    int l = 0;
    int tick = 0;
};
Scale settle_scale(bool temperature, bool manual, int h, int l, int autoMax, int autoMin);

// Multiplier and number format of a channel: "ﾟC " 10 and "0.0"; otherwise by
// decimals 1: 10 "0.0", 2: 100 "0.00", 3: 1000 "0.000", else 1 "0".
int channel_multiplier(const QString& unit, int decimals);
int channel_format_decimals(const QString& unit, int decimals);
// A scaled whole number as the channel shows it (235 with m 10: "23.5").
QString format_scaled(qint64 v, const QString& unit, int decimals);

// Rounds a / b to the nearest whole number, halves to the even neighbour.
qint64 div_round_even(qint64 a, qint64 b);
// A double to the nearest whole number, halves to even.
qint64 round_even(double v);

// Statistics of one channel over records start..end (the graph's reader).
struct ChannelStats {
    int max = 0;
    int min = 0;
    int avg = 0;
    qint32 h_count = 0;
    qint32 l_count = 0;
    qint32 integ = 0;
    qint32 invalid = 0;
};
// The valid band of the statistics (both ends excluded).
bool stat_valid(int v, bool temperature);
// The valid band of the drawing (lower end included).
bool draw_valid(int v, bool temperature);

// Zoom to a dragged rectangle (already clamped into the plot). Changes the
// range (kept within 1..count and at least two records) and the scales of
// the present channels, which become fixed.
struct PlotRect {
    double left = 0, top = 0, width = 1, height = 1;
};
void mouse_range(GraphState& g, const PlotRect& plot, double x1, double y1, double x2, double y2);

// One page back or forward with the same width.
void page_prev(qint32& start, qint32& end);
void page_next(qint32& start, qint32& end, qint32 count);

// y of a reference value on a channel's scale; false when it lies outside.
bool reference_y(double value, int multiplier, int h, int l, const PlotRect& plot, double* y);

// Record times of the time axis and the readout, computed on date-time
// values. Minute alignment: with an interval of a minute or more and a start
// off the whole minute, record r (from 2) lies at the start's minute plus one
// minute plus (r - 2) intervals.
struct TimeAxis {
    QDateTime start;
    QDateTime stop;
    qint64 interval = 0;
    qint32 count = 0;
    bool aligned() const;
    QDateTime label_time(qint32 r) const;    // the axis label of record r
    QDateTime readout_time(qint32 r) const;  // first and last record read their own times
    bool irregular_end() const;
};

// The two lines of a time-axis label: "yy-mm-dd" and "hh:nn:ss", each in
// brackets when `brackets`.
std::pair<QString, QString> time_label_lines(const QDateTime& t, bool brackets);

// The record nearest to x and whether x lies within `tolerance` of it.
qint32 readout_record(double x, const PlotRect& plot, double xPerRecord, qint32 start, qint32 end, double tolerance,
                      bool* near);

// The graph options of a data set into the view state and back: the data
// set's graph information, and its setting (null without one) for the alarm
// values the recording set and the decimal places the basis value is stored
// with.
void graph_option_load(GraphState& g, const clsLOGGER_GraphInfo& gi, const clsLOGGER_SETTING* recording);
void graph_option_save(const GraphState& g, clsLOGGER_GraphInfo& gi, const clsLOGGER_SETTING* setting);

// The alarm limits the graph flags values of channel ch (1-4) with: its own
// alarm values, on the sides the recording set (alarm_band's rule).
AlarmLimits graph_alarm_limits(const GraphState& g, int ch);

// The decimal text of an alarm or reference value: up to 15 significant
// digits, no trailing zeros (25, 25.5, -10.3).
QString value_text(double v);

}  // namespace graph
}  // namespace mq
