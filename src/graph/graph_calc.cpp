#include "graph/graph_calc.h"

#include <algorithm>
#include <cmath>

#include "graph/graph_state.h"
#include "model/cls_logger_graphinfo.h"
#include "model/cls_logger_setting.h"
#include "model/cur_accessors.h"
#include "model/data_set_handle.h"
#include "platform/civil_time.h"
#include "platform/numbers.h"

namespace mq::graph {

qint32 time_label_step(qint32 span) {
    struct Row {
        qint32 atLeast;
        qint32 step;
    };
    static constexpr Row kRows[] = {
        {350002, 40000}, {300002, 35000}, {250002, 30000}, {200002, 25000}, {150002, 20000}, {100002, 15000},
        {70002, 10000},  {50002, 6000},   {40002, 4500},   {35002, 4000},   {30002, 3500},   {25002, 3000},
        {20002, 2500},   {15002, 2000},   {10002, 1500},   {7802, 1000},    {6002, 780},     {4801, 600},
        {3601, 480},     {3002, 360},     {2402, 300},     {1502, 240},     {1202, 150},     {902, 120},
        {602, 90},       {452, 60},       {302, 45},       {202, 30},       {152, 20},       {102, 15},
        {53, 10},        {42, 5},         {32, 4},         {22, 3},         {12, 2},
    };
    for (const Row& r : kRows) {
        if (span >= r.atLeast) return r.step;
    }
    return 1;
}

int auto_tick_step(int d, bool temperature) {
    // 2500 < d <= 3000 takes 600, so that five divisions reach the data.
    static constexpr int kRows[][2] = {{10, 2},    {20, 4},     {25, 5},     {50, 10},   {100, 20},
                                       {200, 40},  {250, 50},   {500, 100},  {1000, 200}, {2000, 400},
                                       {2500, 500}, {3000, 600}, {5000, 1000}, {7500, 1500}, {10000, 2000}};
    for (const auto& r : kRows) {
        if (d <= r[0]) return r[1];
    }
    if (temperature) return d <= 15000 ? 3000 : 3500;
    return d <= 15000 ? 3000 : 4000;
}

namespace {

qint64 floor_div(qint64 a, qint64 b) {
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace

Scale settle_scale(bool temperature, bool manual, int h, int l, int autoMax, int autoMin) {
    if (!manual) {
        h = autoMax;
        l = autoMin;
    }
    if (temperature) {
        if (l == 15000 && h == -2500) {
            h = 15000;
            l = -2500;
        }
    } else if (!manual && l == 10000 && h == -10000) {
        h = 10000;
        l = -10000;
    }
    Scale s;
    if (manual) {
        if (temperature) {
            if (h == 15010) {
                h = 15000;
                l = -2500;
            }
        } else if (h > 10000) {
            h = 10000;
            l = -10000;
        }
        s.h = h;
        s.l = l;
        s.tick = int(div_round_even(qint64(h) - l, 5));
        return s;
    }
    int d = h - l;
    int m = 10;
    if (d >= 15000) m = 20000;
    else if (d >= 10000) m = 15000;
    else if (d >= 5000) m = 10000;
    else if (d >= 3000) m = 5000;
    else if (d >= 2000) m = 3000;
    else if (d >= 1000) m = 2000;
    else if (d >= 500) m = 1000;
    else if (d >= 300) m = 500;
    else if (d >= 50) m = 100;
    h = int(h % m == 0 ? h : (floor_div(h, m) + 1) * m);
    l = int(floor_div(l, m) * m);
    if (temperature) {
        h = std::min(h, 15000);
        l = std::max(l, -2500);
    } else {
        h = std::min(h, 10000);
        l = std::max(l, -10000);
    }
    d = h - l;
    s.tick = auto_tick_step(d, temperature);
    s.l = l;
    s.h = l + 5 * s.tick;
    if (s.h > 20000) {
        s.h = 20000;
        s.l = 20000 - 5 * s.tick;
    }
    return s;
}

int channel_format_decimals(const QString& unit, int decimals) {
    if (unit == kTempUnit) return 1;
    return decimals >= 1 && decimals <= 3 ? decimals : 0;
}

int channel_multiplier(const QString& unit, int decimals) {
    static constexpr int kPow[] = {1, 10, 100, 1000};
    return kPow[channel_format_decimals(unit, decimals)];
}

QString format_scaled(qint64 v, const QString& unit, int decimals) {
    const int d = channel_format_decimals(unit, decimals);
    if (d == 0) return QString::number(v);
    const qint64 m = channel_multiplier(unit, decimals);
    const qint64 a = v < 0 ? -v : v;
    QString t = QString::number(a / m) + QLatin1Char('.') + QString::number(a % m).rightJustified(d, QLatin1Char('0'));
    return v < 0 ? QLatin1Char('-') + t : t;
}

qint64 div_round_even(qint64 a, qint64 b) {
    if (b < 0) {
        a = -a;
        b = -b;
    }
    const qint64 q = floor_div(a, b);
    const qint64 r = a - q * b;  // 0 <= r < b
    if (2 * r > b) return q + 1;
    if (2 * r < b) return q;
    return (q % 2 == 0) ? q : q + 1;
}

qint64 round_even(double v) { return qint64(std::nearbyint(v)); }

bool stat_valid(int v, bool temperature) {
    return temperature ? (v > -2500 && v < 15000) : (v > -10000 && v < 10000);
}

bool draw_valid(int v, bool temperature) {
    return temperature ? (v >= -2500 && v < 15000) : (v >= -10000 && v < 10000);
}

void mouse_range(GraphState& g, const PlotRect& plot, double x1, double y1, double x2, double y2) {
    const double xa = std::min(x1, x2), xb = std::max(x1, x2);
    const double ya = std::min(y1, y2), yb = std::max(y1, y2);
    const qint64 n = qint64(g.graph_end_pos) - g.graph_start_pos;
    qint64 start = g.graph_start_pos;
    qint64 end = g.graph_end_pos;
    if (n > 1) {
        start = qint64(std::floor((xa - plot.left) / plot.width * double(n) + double(g.graph_start_pos)));
        const double t = (xb - plot.left) / plot.width * double(n) + double(g.graph_start_pos);
        end = qint64(std::ceil(t));
    }
    if (end == start) ++end;
    // Keep the range inside the data and at least two records wide.
    const qint64 count = std::max<qint64>(g.graph_rec_count, 2);
    end = std::clamp<qint64>(end, 2, count);
    start = std::clamp<qint64>(start, 1, end - 1);
    g.graph_start_pos = qint32(start);
    g.graph_end_pos = qint32(end);
    g.graph_zoom_flag = 1;

    for (int ch = 1; ch <= 4; ++ch) {
        if (g.ch_present[ch] != 1) continue;
        const qint64 H = g.ch_h_scale[ch];
        const qint64 L = g.ch_l_scale[ch];
        const qint64 R = H - L;
        qint64 nh, nl;
        if (R < 2) {
            nh = floor_div(H, 10) * 10;
            nl = floor_div(L, 10) * 10;
        } else {
            const double bottom = plot.top + plot.height;
            nl = floor_div(qint64(std::floor((bottom - yb) / plot.height * double(R) + double(L))), 10) * 10;
            const double u = (bottom - ya) / plot.height * double(R) + double(L);
            nh = qint64(std::floor(u));
            if (u != std::floor(u)) nh = (floor_div(nh, 10) + 1) * 10;
        }
        if (nh == nl) ++nh;
        g.ch_h_scale[ch] = int(std::clamp<qint64>(nh, -32768, 32767));
        g.ch_l_scale[ch] = int(std::clamp<qint64>(nl, -32768, 32767));
        g.ch_scale_manual[ch] = 1;
    }
}

void page_prev(qint32& start, qint32& end) {
    const qint32 w = end - start;
    end = start - 1;
    start = end - w;
    if (start < 1) {
        start = 1;
        end = w + 1;
    }
}

void page_next(qint32& start, qint32& end, qint32 count) {
    const qint32 w = end - start;
    start = end + 1;
    end = start + w;
    if (end > count) {
        end = count;
        start = count - w;
    }
}

bool reference_y(double value, int multiplier, int h, int l, const PlotRect& plot, double* y) {
    const qint64 range = qint64(h) - l;
    const double o = double(h) - double(multiplier) * value;
    if (!std::isfinite(o) || range <= 0) return false;
    const qint64 offset = round_even(o);
    if (offset < 0 || offset > range) return false;
    *y = plot.height * (double(offset) / double(range)) + plot.top;
    return true;
}

bool TimeAxis::aligned() const { return interval >= 60 && start.time().second() != 0; }

std::pair<QString, QString> time_label_lines(const QDateTime& t, bool brackets) {
    QString d = platform::formatCivil(t, QStringLiteral("yy-mm-dd"));
    QString h = platform::formatCivil(t, QStringLiteral("hh:nn:ss"));
    if (brackets) {
        d = QLatin1Char('(') + d + QLatin1Char(')');
        h = QLatin1Char('(') + h + QLatin1Char(')');
    }
    return {d, h};
}

QDateTime TimeAxis::label_time(qint32 r) const {
    if (aligned()) {
        if (r <= 1) return start;
        const QDateTime t0 = start.addSecs(-start.time().second());
        return t0.addSecs(60 + qint64(r - 2) * interval);
    }
    return start.addSecs(qint64(r - 1) * interval);
}

QDateTime TimeAxis::readout_time(qint32 r) const {
    if (r == count) return stop;
    if (r == 1) return start;
    return label_time(r);
}

bool TimeAxis::irregular_end() const { return count >= 3 && stop.toSecsSinceEpoch() != label_time(count).toSecsSinceEpoch(); }

qint32 readout_record(double x, const PlotRect& plot, double xPerRecord, qint32 start, qint32 end, double tolerance,
                      bool* near) {
    const double q = (x - plot.left) / xPerRecord;
    const double k = std::floor(q + 0.5);
    const double d = (q - k) * xPerRecord;
    *near = std::abs(d) <= tolerance;
    const qint64 r = qint64(start) + qint64(k);
    return qint32(std::clamp<qint64>(r, start, end));
}

// ---------------------------------------------------------------- options

QString value_text(double v) { return platform::cstrNumber(v); }

namespace {

bool switchOn(const QString& s, int i) { return s.size() > i && s[i] == QLatin1Char('1'); }

int scaleOf(const QString& text) {
    try {
        return platform::toInt16(platform::val(text));
    } catch (const std::exception&) {
        return 0;
    }
}

QString std_value_picture(int places) {
    switch (places) {
    case 1: return QStringLiteral("000.0");
    case 2: return QStringLiteral("00.00");
    case 3: return QStringLiteral("0.000");
    default: return QStringLiteral("0000");
    }
}

}  // namespace

void graph_option_load(GraphState& g, const clsLOGGER_GraphInfo& gi, const clsLOGGER_SETTING* recording) {
    g.graph_title = gi.Title().trimmed();
    g.graph_log_name = gi.log_name();
    g.graph_worker = gi.worker_name();
    g.graph_comment = gi.Comment();
    g.graph_start_pos = gi.GrpDrw_StartPos();
    g.graph_end_pos = gi.GrpDrw_EndPos();
    g.graph_zoom_flag = (g.graph_start_pos == 1 && g.graph_end_pos == g.graph_rec_count) ? 0 : 1;
    const QString draw = gi.CH_GraphDrawSw();
    const QString axes = gi.CH_GraphAxDrawSw();
    for (int ch = 1; ch <= 4; ++ch) {
        g.ch_graph_draw_sw[ch] = switchOn(draw, ch - 1);
        g.ch_graph_ax_draw_sw[ch] = switchOn(axes, ch - 1);
    }
    for (int ch = 1; ch <= 4; ++ch) {
        const int c = ch - 1;
        // Without a recording's setting every value counts as set.
        const AlarmLimits set = recording ? alarm_limits(*recording, c) : alarm_limits(true, 0, true, 0);
        g.ch_h_alm_set[ch] = set.high_set;
        g.ch_l_alm_set[ch] = set.low_set;
        g.ch_sum_std_set[ch] = !recording || alarm_is_set(recording->Ch_sum_std_count(c));
        const auto text = [](bool set, double v) { return set ? value_text(v) : kAlarmNotSet.toString(); };
        g.h_alm_sw[ch] = gi.H_Alm_Sw(c) == QLatin1String("1");
        g.ch_h_alm[ch] = gi.Ch_H_Alm(c);
        g.ch_l_alm[ch] = gi.Ch_L_Alm(c);
        g.ch_h_alm_text[ch] = text(g.ch_h_alm_set[ch], g.ch_h_alm[ch]);
        g.ch_l_alm_text[ch] = text(g.ch_l_alm_set[ch], g.ch_l_alm[ch]);
        g.sum_std_sw[ch] = gi.Sum_Std_Sw(c) == QLatin1String("1");
        g.ch_sum_std_count[ch] = gi.Ch_sum_std_count(c);
        g.ch_sum_std_text[ch] = text(g.ch_sum_std_set[ch], g.ch_sum_std_count[ch]);
        g.std_sw[ch] = gi.Std_Sw(c) == QLatin1String("1");
        g.std_value[ch] = graph_std_value(gi, c);
        g.ch_h_scale[ch] = scaleOf(graph_h_scale_text(gi, c));
        g.ch_l_scale[ch] = scaleOf(gi.Ch_l_Scale_FileString(c));
        g.ch_scale_manual[ch] = (g.ch_h_scale[ch] != 0 || g.ch_l_scale[ch] != 0) ? 1 : 0;
        g.graph_ch_comment[ch] = gi.Ch_comment(c).trimmed();
    }
    g.datamark_sw = gi.DataMark_Sw() == QLatin1String("1");
    g.graph_line_width = gi.LIneBold_Sw() == QLatin1String("2") ? 2 : 1;
    g.graph_label_sw = gi.Label_Sw() == QLatin1String("0") ? 0 : 1;
    for (int ch = 1; ch <= 4; ++ch) g.ch_g_color[ch] = gi.Ch_G_color(ch - 1);
    // A stored order that is not a permutation of 1..4 falls back to 1234.
    const QString order = gi.GrdDispSort();
    Ch5<int> rows{0, 1, 2, 3, 4};
    bool seen[5] = {};
    bool ok = order.size() >= 4;
    for (int k = 1; ok && k <= 4; ++k) {
        const int ch = order[k - 1].digitValue();
        if (ch < 1 || ch > 4 || seen[ch]) ok = false;
        else {
            seen[ch] = true;
            rows[k] = ch;
        }
    }
    g.grid_row_order = ok ? rows : Ch5<int>{0, 1, 2, 3, 4};
}

AlarmLimits graph_alarm_limits(const GraphState& g, int ch) {
    return alarm_limits(g.ch_h_alm_set[ch], g.ch_h_alm[ch], g.ch_l_alm_set[ch], g.ch_l_alm[ch]);
}

void graph_option_save(const GraphState& g, clsLOGGER_GraphInfo& gi, const clsLOGGER_SETTING* setting) {
    auto onOff = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    gi.let_Title(g.graph_title);
    gi.let_log_name(g.graph_log_name);
    gi.let_worker_name(g.graph_worker);
    gi.let_Comment(g.graph_comment);
    gi.let_DataCount(g.graph_rec_count);
    gi.let_GrpDrw_StartPos(g.graph_start_pos);
    gi.let_GrpDrw_EndPos(g.graph_end_pos);
    QString draw, axes;
    for (int ch = 1; ch <= 4; ++ch) {
        draw += g.ch_graph_draw_sw[ch] ? QLatin1Char('1') : QLatin1Char('0');
        axes += g.ch_graph_ax_draw_sw[ch] ? QLatin1Char('1') : QLatin1Char('0');
    }
    gi.let_CH_GraphDrawSw(draw);
    for (int ch = 1; ch <= 4; ++ch) {
        const int c = ch - 1;
        gi.let_H_Alm_Sw(c, onOff(g.h_alm_sw[ch]));
        gi.let_L_Alm_Sw(c, onOff(g.h_alm_sw[ch]));
        gi.let_Ch_H_Alm(c, g.ch_h_alm[ch]);
        gi.let_Ch_L_Alm(c, g.ch_l_alm[ch]);
        gi.let_Sum_Std_Sw(c, onOff(g.sum_std_sw[ch]));
        let_graph_sum_std_count(gi, c, g.ch_sum_std_count[ch]);
        gi.let_Std_Sw(c, onOff(g.std_sw[ch]));
        const int places = setting ? setting->Ch_period_pos(c) : 0;
        gi.let_Std_Value(c, platform::format(g.std_value[ch], std_value_picture(places)));
        gi.let_Ch_h_Scale_FileString(c, QString::number(g.ch_h_scale[ch]));
        gi.let_Ch_l_Scale_FileString(c, QString::number(g.ch_l_scale[ch]));
        gi.let_Ch_comment(c, g.graph_ch_comment[ch]);
    }
    gi.let_DataMark_Sw(onOff(g.datamark_sw));
    gi.let_LIneBold_Sw(g.graph_line_width == 2 ? QStringLiteral("2") : QStringLiteral("1"));
    gi.let_Label_Sw(onOff(g.graph_label_sw == 1));
    for (int ch = 1; ch <= 4; ++ch) gi.let_Ch_G_color(ch - 1, g.ch_g_color[ch]);
    gi.let_CH_GraphAxDrawSw(axes);
    QString order;
    for (int k = 1; k <= 4; ++k) order += QString::number(g.grid_row_order[k]);
    gi.let_GrdDispSort(order);
}

}  // namespace mq::graph
