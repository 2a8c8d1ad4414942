// The drawing road of the graph window: the drawn range and scales, the
// statistics of the range, and the picture (frame, axes, time axis,
// reference lines, data marks, traces) built into an image that replaces the
// kept one when it is complete.
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

#include <climits>
#include <cmath>

#include "model/channel_values.h"
#include "graph/fgraph.h"
#include "main_window/small_windows.h"
#include "model/data_sets.h"
#include "model/graph_source.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/grid.h"
#include "platform/numbers.h"

namespace mq {

namespace {

// How long a pass runs before it gives the event loop a turn.
constexpr qint64 kSliceMs = 25;
// Records between two looks at the clock.
constexpr qint32 kBlock = 8192;

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kHighAlarm = platform::basicColour(kHighAlarmColour);
const QColor kLowAlarm = platform::basicColour(kLowAlarmColour);

}  // namespace

graph::TimeAxis fGraph::time_axis() const {
    const GraphState& g = graph_state();
    return graph::TimeAxis{g.graph_start_time, g.graph_stop_time, g.graph_interval_secs, g.graph_rec_count};
}

void fGraph::maybe_yield(fGrready* ready, qint64 progress) {
    if (m_sliceTimer.elapsed() < kSliceMs) return;
    if (ready) {
        if (!ready->isVisible()) ready->show();
        if (ready->ProgressBar1->maximum() >= progress) ready->ProgressBar1->setValue(int(progress));
    }
    ++m_yields;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_sliceTimer.restart();
}

// ---------------------------------------------------------------- range and scales

void fGraph::S_flamedraw() {
    GraphState& g = graph_state();
    if (g.graph_zoom_flag == 0) {
        g.graph_start_pos = 1;
        g.graph_end_pos = g.graph_rec_count == 1 ? 2 : g.graph_rec_count;
        m_xPerRecord = double(m_plotWidth) / double(std::max<qint32>(1, g.graph_end_pos - 1));
    }
    m_timeLabelStep = graph::time_label_step(g.graph_end_pos - g.graph_start_pos);
    S_maxminave();
    for (int ch = 1; ch <= 4; ++ch) {
        if (g.ch_present[ch] != 1) continue;
        const graph::ChannelStats& s = m_stats[size_t(ch)];
        const graph::Scale sc = graph::settle_scale(temperature(ch), g.ch_scale_manual[ch] == 1, g.ch_h_scale[ch],
                                                    g.ch_l_scale[ch], s.max, s.min);
        g.ch_h_scale[ch] = sc.h;
        g.ch_l_scale[ch] = sc.l;
        m_tick[size_t(ch)] = sc.tick;
    }
    m_laDataNum->setText(QStringLiteral("データ数：") + QString::number(g.graph_end_pos - g.graph_start_pos + 1));
}

void fGraph::S_maxminave() {
    GraphState& g = graph_state();
    // No second pass inside a running one.
    const bool wasBusy = m_busy;
    m_busy = true;
    const qint32 start = std::max<qint32>(1, g.graph_start_pos);
    const qint32 end = std::min<qint32>(g.graph_end_pos, g.graph_rec_count);
    const qint32 span = g.graph_end_pos - g.graph_start_pos;
    std::unique_ptr<fGrready> ready;
    if (span >= 1000) {
        std::array<int, 4> present{};
        for (int ch = 1; ch <= 4; ++ch) present[size_t(ch - 1)] = g.ch_present[ch];
        // Shown only when the pass lasts longer than one time slice.
        ready = std::make_unique<fGrready>(g.graph_start_pos, g.graph_end_pos, present, this);
    }
    m_sliceTimer.start();
    qint64 progressOffset = 0;
    bool first = true;
    for (int ch = 1; ch <= 4; ++ch) {
        graph::ChannelStats& s = m_stats[size_t(ch)];
        s.invalid = 0;
        if (g.ch_present[ch] != 1) continue;
        const bool temp = temperature(ch);
        int vmax = temp ? -2500 : -10000;
        int vmin = temp ? 15000 : 10000;
        const int m = graph::channel_multiplier(g.ch_unit_text[ch], g.ch_decimals[ch]);
        const AlarmLimits limits = graph::graph_alarm_limits(g, ch);
        qint32 hCount = 0, lCount = 0, invalid = 0;
        qint64 sum = 0;
        if (first) {
            // The integration runs against the graph's references.
            {
                if (clsLOGGER_SETTING* set = data_setting()) {
                    for (int c = 1; c <= 4; ++c) {
                        if (g.ch_unit_text[c] == QLatin1String(" V ")) continue;
                        const int mc = graph::channel_multiplier(g.ch_unit_text[c], g.ch_decimals[c]);
                        set->let_Ch_sum_std_count(c - 1, QString::number(graph::round_even(mc * g.ch_sum_std_count[c])));
                    }
                }
            }
        }
        for (qint32 b = start; b <= end; b += kBlock) {
            const qint32 e = std::min<qint32>(end, b + kBlock - 1);
            for (qint32 i = b; i <= e; ++i) {
                const qint32 raw = m_src.value(i, ch - 1);
                if (raw == IGraphSource::kNoValue || raw == IGraphSource::kRangeMark || !graph::stat_valid(raw, temp)) {
                    ++invalid;
                    continue;
                }
                const int v = int(raw);
                sum += v;
                vmax = std::max(vmax, v);
                vmin = std::min(vmin, v);
                const AlarmBand band = alarm_band(limits, raw, m);
                hCount += band == AlarmBand::High;
                lCount += band == AlarmBand::Low;
            }
            maybe_yield(ready.get(), (e - start) / 10 + progressOffset);
        }
        // A range beyond the data's end counts as records without values.
        invalid += std::max<qint32>(0, g.graph_end_pos - end);
        if (first) {
            m_src.integrate_range(start, end);
            first = false;
        }
        s.max = vmax;
        s.min = vmin;
        s.invalid = invalid;
        const qint64 valid = qint64(span) + 1 - invalid;
        if (valid > 0) {
            s.avg = int(std::clamp<qint64>(graph::div_round_even(sum, valid), -32768, 32767));
            s.h_count = hCount;
            s.l_count = lCount;
            {
                if (const clsLOGGER_SETTING* set = data_setting()) {
                    const QString t = m_src.shows_upper_integration() ? set->Ch_h_sum(ch - 1) : set->Ch_l_sum(ch - 1);
                    s.integ = qint32(platform::val(t));
                }
            }
        }
        progressOffset += graph::round_even(span / 10.0);
    }
    if (ready) ready->close();
    m_busy = wasBusy;
}

// ---------------------------------------------------------------- the picture

void fGraph::S_graphdraw() {
    GraphState& g = graph_state();
    const QSize size = m_picture->size();
    QImage img(size, QImage::Format_RGB32);
    img.fill(m_picture->palette().window().color());
    QPainter p(&img);
    p.setFont(m_picture->font());

    draw_frame(p);

    m_prev->setEnabled(g.graph_start_pos > 1);
    m_next->setEnabled(g.graph_end_pos < g.graph_rec_count);
    m_pagingOk = m_prev->isEnabled() || m_next->isEnabled();

    for (int ch = 1; ch <= 4; ++ch) {
        if (g.ch_present[ch] != 1) continue;
        const int d = g.ch_h_scale[ch] - g.ch_l_scale[ch];
        m_yPerUnit[size_t(ch)] = d != 0 ? double(m_plotHeight) / double(d) : 0.0;
    }
    draw_axes(p);
    draw_time_axis(p);
    if (g.graph_end_pos > g.graph_rec_count && g.graph_rec_count >= 2) g.graph_end_pos = g.graph_rec_count;
    S_svlinedraw(p);
    S_dmarkdraw(p);
    draw_traces(p);
    p.end();
    m_front = std::move(img);
    m_picture->update();
}

void fGraph::draw_frame(QPainter& p) {
    p.fillRect(QRect(m_plotLeft, m_plotTop, m_plotWidth + 1, m_plotHeight + 1), kWhite);
    p.setPen(QPen(kBlack, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(m_plotLeft + 1, m_plotTop + 1, m_plotWidth - 1, m_plotHeight - 1));
}

namespace {

// Text with its top-left corner at (x, y).
void textAt(QPainter& p, double x, double y, const QString& t) {
    p.drawText(QPointF(x, y + p.fontMetrics().ascent()), t);
}

// Text right-aligned in six digit widths from x.
void text6(QPainter& p, double x, double y, double w, const QString& t) {
    const double tw = p.fontMetrics().horizontalAdvance(t);
    textAt(p, x + 6 * w - tw, y, t);
}

}  // namespace

void fGraph::draw_axes(QPainter& p) {
    const GraphState& g = graph_state();
    const double tm0 = m_textMetrics[0];
    const double w = m_w;
    for (int ch = 1; ch <= 4; ++ch) {
        if (!g.ch_graph_ax_draw_sw[ch] || !g.ch_graph_draw_sw[ch] || g.ch_present[ch] != 1) continue;
        const double X = ch == 1 ? m_plotLeft - 7 * w : m_plotLeft + m_plotWidth + m_axisGap + 7 * w * (ch - 2);
        const QString unit = g.ch_unit_text[ch];
        const int dec = g.ch_decimals[ch];
        p.setPen(QPen(kBlack, 1, Qt::SolidLine));
        text6(p, X, m_plotTop - 3.5 * tm0, w, QStringLiteral("CH%1").arg(ch));
        double uy = std::round(m_plotTop - 2 * tm0);
        if (uy < 0) uy = std::round(tm0 / 2);
        text6(p, X, uy, w, QLatin1Char('[') + unit + QLatin1Char(']'));
        text6(p, X, m_plotTop - tm0 / 2, w, graph::format_scaled(g.ch_h_scale[ch], unit, dec));
        text6(p, X, m_plotTop + m_plotHeight - tm0, w, graph::format_scaled(g.ch_l_scale[ch], unit, dec));
        if (ch >= 3) p.drawLine(QPointF(X, m_plotTop), QPointF(X, m_plotTop + m_plotHeight));
        const int s = std::max(1, m_plotHeight / 5);
        const int last = m_plotTop + m_plotHeight - int(std::lround(m_plotHeight / 5.0));
        int i = 1;
        for (int y = m_plotTop + s; y <= last; y += s, ++i) {
            p.setPen(QPen(kBlack, 1, Qt::DotLine));
            p.drawLine(QPointF(m_plotLeft, y), QPointF(m_plotLeft + m_plotWidth, y));
            p.setPen(QPen(kBlack, 1, Qt::SolidLine));
            text6(p, X, y - tm0 / 2, w,
                  graph::format_scaled(qint64(g.ch_h_scale[ch]) - qint64(i) * m_tick[size_t(ch)], unit, dec));
        }
    }
}

void fGraph::draw_time_axis(QPainter& p) {
    const GraphState& g = graph_state();
    const double w = m_w;
    const double tm1 = m_textMetrics[1];
    const qint32 span = std::max<qint32>(1, g.graph_end_pos - g.graph_start_pos);
    m_xPerRecord = double(m_plotWidth) / double(span);
    const graph::TimeAxis axis = time_axis();
    const bool aligned = axis.aligned();
    const int m = aligned ? 5 : 4;
    const double yDate = m_plotTop + m_plotHeight + tm1 / 4;
    const double yTime = m_plotTop + m_plotHeight + tm1;
    const QFontMetricsF fm(p.font());
    auto pairTexts = [](const QDateTime& t, bool brackets) {
        const auto [d, h] = graph::time_label_lines(t, brackets);
        return std::pair{d, h};
    };
    auto pairWidth = [&](const std::pair<QString, QString>& dh) {
        return std::max(fm.horizontalAdvance(dh.first), fm.horizontalAdvance(dh.second));
    };
    // Draws the pair at x; gives its right edge.
    auto datePair = [&](double x, const QDateTime& t, bool brackets) {
        const auto dh = pairTexts(t, brackets);
        textAt(p, x, yDate, dh.first);
        textAt(p, x, yTime, dh.second);
        return x + pairWidth(dh);
    };
    p.setPen(QPen(kBlack, 1, Qt::SolidLine));
    double lastEnd = 0;
    if (g.graph_start_pos == 1) lastEnd = datePair(m_plotLeft - m * w, g.graph_start_time, aligned);
    else lastEnd = datePair(m_plotLeft - m * w, axis.label_time(g.graph_start_pos), false);
    double rightStart = m_plotLeft + m_plotWidth - m * w;
    if (g.graph_end_pos == g.graph_rec_count) {
        rightStart = m_plotLeft + m_plotWidth - (axis.irregular_end() ? 5 : 4) * w;
        datePair(rightStart, g.graph_stop_time, axis.irregular_end());
    } else {
        datePair(rightStart, axis.label_time(g.graph_end_pos), false);
    }
    const double stepX = m_xPerRecord * double(m_timeLabelStep);
    const int pstep = std::max(1, int(std::lround(stepX)));
    int i = 1;
    for (int x = m_plotLeft + int(std::lround(stepX)); x <= m_plotLeft + m_plotWidth - 1; x += pstep, ++i) {
        p.setPen(QPen(kBlack, 1, Qt::DotLine));
        p.drawLine(QPointF(x, m_plotTop), QPointF(x, m_plotTop + m_plotHeight));
        p.setPen(QPen(kBlack, 1, Qt::SolidLine));
        if (x + 10 * w < m_plotLeft + m_plotWidth && x - 10 * w > m_plotLeft) {
            // A label that would come closer than one character to its
            // neighbour is left out (a narrow plot over a long range).
            const QDateTime t = axis.label_time(g.graph_start_pos + qint32(i) * m_timeLabelStep);
            const double start = x - m * w;
            if (start < lastEnd + w || start + pairWidth(pairTexts(t, false)) + w > rightStart) continue;
            lastEnd = datePair(start, t, false);
        }
    }
}

void fGraph::S_svlinedraw(QPainter& p) {
    const GraphState& g = graph_state();
    const graph::PlotRect r = plotRect();
    auto line = [&](int ch, double value, const QPen& pen) {
        const int m = graph::channel_multiplier(g.ch_unit_text[ch], g.ch_decimals[ch]);
        double y = 0;
        if (!graph::reference_y(value, m, g.ch_h_scale[ch], g.ch_l_scale[ch], r, &y)) return;
        p.setPen(pen);
        p.drawLine(QPointF(r.left, y), QPointF(r.left + r.width, y));
    };
    for (int ch = 1; ch <= 4; ++ch) {
        if (g.ch_present[ch] != 1 || !g.h_alm_sw[ch]) continue;
        const AlarmLimits limits = graph::graph_alarm_limits(g, ch);
        if (limits.high_set) line(ch, g.ch_h_alm[ch], QPen(kHighAlarm, 1, Qt::DashLine));
        if (limits.low_set) line(ch, g.ch_l_alm[ch], QPen(kLowAlarm, 1, Qt::DashLine));
    }
    for (int ch = 1; ch <= 4; ++ch) {
        if (g.ch_present[ch] != 1 || !g.sum_std_sw[ch]) continue;
        line(ch, g.ch_sum_std_count[ch], QPen(platform::basicColour(quint32(g.ch_g_color[ch])), 2, Qt::SolidLine));
    }
    for (int ch = 1; ch <= 4; ++ch) {
        if (g.ch_present[ch] != 1 || !g.std_sw[ch]) continue;
        line(ch, g.std_value[ch], QPen(platform::basicColour(quint32(g.ch_g_color[ch])), 1, Qt::DashDotLine));
    }
    p.setPen(QPen(kBlack, 1, Qt::SolidLine));
}

void fGraph::S_dmarkdraw(QPainter& p) {
    const GraphState& g = graph_state();
    if (!g.datamark_sw) return;
    if (QAction* item = menuItem(QStringLiteral("mpDMark")); item && !item->isChecked()) item->setChecked(true);
    const qint32 start = g.graph_start_pos;
    const qint32 end = std::min(g.graph_end_pos, g.graph_rec_count);
    const double span = std::max(1, g.graph_end_pos - g.graph_start_pos);
    p.setPen(QPen(kBlack, 1, Qt::SolidLine));
    for (qint32 i = std::max<qint32>(1, start); i <= end; ++i) {
        if (!m_src.marked(i)) continue;
        const double x = m_plotWidth * (1.0 - double(g.graph_end_pos - i) / span) + m_plotLeft;
        p.drawLine(QPointF(x, m_plotTop), QPointF(x, m_plotTop + m_plotHeight));
    }
}

void fGraph::draw_traces(QPainter& p) {
    const GraphState& g = graph_state();
    m_sliceTimer.start();
    for (int ch = 1; ch <= 4; ++ch) {
        if (g.ch_present[ch] != 1 || !g.ch_graph_draw_sw[ch]) continue;
        if (g.graph_rec_count < 1 || g.graph_rec_count < g.graph_start_pos) continue;
        draw_trace(p, ch);
    }
    p.setPen(QPen(kBlack, 1));
}

namespace {

// The vertical span a trace covers in one pixel column, drawn as one line
// when the trace moves on to the next column.
struct ColumnEnvelope {
    QPainter& p;
    int x = INT_MIN;
    double min = 0;
    double max = 0;

    void flush() {
        if (x == INT_MIN) return;
        if (max - min < 0.5) p.drawPoint(QPointF(x, min));
        else p.drawLine(QPointF(x, min), QPointF(x, max));
        x = INT_MIN;
    }
    void add(int cx, double y0, double y1) {
        if (cx != x) {
            flush();
            x = cx;
            min = std::min(y0, y1);
            max = std::max(y0, y1);
        } else {
            min = std::min({min, y0, y1});
            max = std::max({max, y0, y1});
        }
    }
};

}  // namespace

void fGraph::draw_trace(QPainter& p, int ch) {
    const GraphState& g = graph_state();
    const bool temp = temperature(ch);
    const qint64 H = g.ch_h_scale[ch];
    const qint64 L = g.ch_l_scale[ch];
    const double ypu = m_yPerUnit[size_t(ch)];
    const double top = m_plotTop;
    const double bottom = m_plotTop + m_plotHeight;
    const double right = m_plotLeft + m_plotWidth;
    const QString unit = g.ch_unit_text[ch];
    const int dec = g.ch_decimals[ch];
    const qint32 start = g.graph_start_pos;
    const qint32 end = std::min(g.graph_end_pos, g.graph_rec_count);
    const qint32 span = g.graph_end_pos - g.graph_start_pos;
    // Wider than the plot in pixels: one vertical span per pixel column.
    const bool envelope = span > m_plotWidth;
    const bool circles = span <= 100;
    const bool labels = g.graph_label_sw == 1;
    const double w = m_w;
    const QColor colour = platform::basicColour(quint32(g.ch_g_color[ch]));
    const QPen linePen(colour, g.graph_line_width, Qt::SolidLine, Qt::SquareCap);
    p.setPen(linePen);
    p.setBrush(Qt::NoBrush);

    ColumnEnvelope column{p};
    auto flush = [&] { column.flush(); };
    auto addSpan = [&](int cx, double y0, double y1) { column.add(cx, y0, y1); };
    auto segment = [&](double x0, double y0, double x1, double y1) {
        if (envelope) {
            // x is never negative on the picture: adding a half and cutting rounds.
            const int c0 = int(x0 + 0.5);
            const int c1 = int(x1 + 0.5);
            if (c0 == c1) {
                addSpan(c0, y0, y1);
                return;
            }
            flush();
        }
        p.drawLine(QPointF(x0, y0), QPointF(x1, y1));
    };
    auto point = [&](double x, double y, qint32 v, bool forceLabel, double& acc) {
        if (envelope) addSpan(int(x + 0.5), y, y);
        else p.drawPoint(QPointF(x, y));
        if (circles) {
            p.setBrush(kBlack);
            p.drawEllipse(QPointF(x, y), 2.0, 2.0);
            p.setBrush(Qt::NoBrush);
        }
        if (labels && (forceLabel || acc > 6 * w)) {
            flush();
            p.setPen(QPen(kBlack, 1));
            const double lx = x + 6 * w > right ? x - 6 * w : x;
            textAt(p, lx, y, graph::format_scaled(v, unit, dec));
            p.setPen(linePen);
            acc = 0;
        }
    };
    auto classify = [&](qint32 r, double& y, qint32& v) -> int {
        v = m_src.value(r, ch - 1);
        if (v == IGraphSource::kNoValue || v == IGraphSource::kRangeMark || v > 32767 || v < -32768 ||
            !graph::draw_valid(int(v), temp)) {
            y = bottom;
            return 3;
        }
        if (v > H) {
            y = top;
            return 1;
        }
        if (v < L) {
            y = bottom;
            return 2;
        }
        y = top + double(H - v) * ypu;
        return 0;
    };

    double acc = m_xPerRecord;
    double py = 0;
    qint32 v = 0;
    int P = classify(start, py, v);
    double px = m_plotLeft;
    if (P == 0) point(px, py, v, true, acc);
    for (qint32 b = start + 1; b <= end; b += kBlock) {
        const qint32 e = std::min<qint32>(end, b + kBlock - 1);
        for (qint32 r = b; r <= e; ++r) {
            acc += 2 * m_xPerRecord;
            const double x = m_plotLeft + double(r - start) * m_xPerRecord;
            double y = 0;
            const int N = classify(r, y, v);
            if (P != 3 && N != 3 && !(P == N && P != 0)) segment(px, py, x, y);
            if (N == 0) point(x, y, v, false, acc);
            P = N;
            px = x;
            py = y;
        }
        maybe_yield(nullptr, 0);
    }
    flush();
}

}  // namespace mq
