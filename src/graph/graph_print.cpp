// The graph page on paper. Everything is placed in twips from the paper's
// top left corner; fonts are sized so that their metrics come out in twips.
#include "graph/graph_print.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <cmath>
#include <functional>
#include <memory>
#include <utility>

#include "graph/fgraph.h"
#include "main_window/home_state.h"
#include "main_window/small_windows.h"
#include "model/channel_values.h"
#include "model/graph_source.h"
#include "platform/civil_time.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "platform/print_queue.h"

namespace mq {

namespace {

constexpr double kTwipsPerMm = 1440.0 / 25.4;
const QColor kBlack(0, 0, 0);
const QColor kHighAlarm = platform::basicColour(kHighAlarmColour);
const QColor kLowAlarm = platform::basicColour(kLowAlarmColour);
// The thin line of frames, axes and grids.
constexpr double kThin = 10;

QString fontFamily() { return QStringLiteral("IPAGothic"); }

QPrinter& printerOf() {
    GraphState& g = graph_state();
    if (!g.printer) {
        g.printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
        g.printer->setPageSize(QPageSize(QPageSize::A4));
        g.printer->setPageOrientation(QPageLayout::Portrait);
    }
    return *g.printer;
}

// Points the printer at the program's current printer without asking for a
// file (the set-up dialogs work on the printer, not on a file).
void pointAtChosen(QPrinter& printer) {
    const QString chosen = HomeSlot::installed() ? home_state().current_printer : QString();
    const QString name = chosen.isEmpty() ? default_printer() : chosen;
    if (name.isEmpty() || name == pdf_file_printer_name()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(name);
    }
}

QStringList graph_printer_list(QWidget* parent) {
    auto* g = qobject_cast<fGraph*>(parent);
    return g && g->printerList ? g->printerList() : printer_choice_list();
}

// The printer check of the three print commands; false after its message.
bool printerCheck(QWidget* parent, const GraphPrintHooks& hooks, QStringList* list) {
    *list = hooks.printers ? hooks.printers() : graph_printer_list(parent);
    if (list->isEmpty()) {
        graph_error_msg(parent, 4821);
        return false;
    }
    // A printer chosen earlier that is gone cannot be used; it is forgotten,
    // so the next command starts from the system's default again.
    if (HomeSlot::installed()) {
        QString& chosen = home_state().current_printer;
        if (!chosen.isEmpty() && !list->contains(chosen)) {
            chosen.clear();
            graph_error_msg(parent, 4820);
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- the page

class GraphPage {
public:
    GraphPage(fGraph& graph, QPainter& p, QPaintDevice& device, double scale)
        : m_graph(graph), m_p(p), m_device(device), m_k(scale) {}

    // The font of a point size, measured in twips on the page.
    void setFont(double points) {
        QFont f(fontFamily());
        f.setPointSizeF(points / m_k);
        m_p.setFont(f);
        m_fm = std::make_unique<QFontMetricsF>(f, &m_device);
        m_points = points;
    }
    double points() const { return m_points; }
    double textWidth(const QString& t) const { return m_fm->horizontalAdvance(t); }
    double textHeight() const { return m_fm->height(); }

    // Text with its top left corner at (x, y).
    void text(double x, double y, const QString& t) {
        m_p.setPen(QPen(kBlack));
        m_p.drawText(QPointF(x, y + m_fm->ascent()), t);
    }
    // Text right-aligned in six character cells from x.
    void text6(double x, double y, const QString& t) { text(x + 6 * m_c - textWidth(t), y, t); }

    void pen(const QColor& c, double width, Qt::PenStyle style) {
        QPen pen(c, width, style);
        pen.setCapStyle(Qt::FlatCap);
        m_p.setPen(pen);
    }
    void line(double x1, double y1, double x2, double y2) { m_p.drawLine(QPointF(x1, y1), QPointF(x2, y2)); }

    // The measures at the current font: 1.5 x the extents of "0" and "あ".
    void measure() {
        w0 = 1.5 * textWidth(QStringLiteral("0"));
        h0 = 1.5 * textHeight();
        wA = 1.5 * textWidth(QStringLiteral("あ"));
        hA = 1.5 * textHeight();
        m_c = w0 / 1.5;
    }

    double w0 = 0, h0 = 0, wA = 0, hA = 0, w0t = 0, hAt = 0;
    double m_c = 0;
    // The plot on paper.
    double L = 0, T = 0, W = 0, H = 0;
    double R() const { return L + W; }
    double B() const { return T + H; }
    double xPerRecord = 1;
    std::array<double, 5> yPerUnit{};
    int yields = 0;

    void frame() {
        pen(kBlack, kThin, Qt::SolidLine);
        m_p.setBrush(Qt::NoBrush);
        m_p.drawRect(QRectF(QPointF(L, T), QPointF(R(), B())));
    }

    void axes() {
        const GraphState& g = graph_state();
        for (int ch = 1; ch <= 4; ++ch) {
            if (g.ch_present[ch] != 1 || !g.ch_graph_draw_sw[ch] || !g.ch_graph_ax_draw_sw[ch]) continue;
            const double x = ch == 1 ? L - 7 * w0 : R() + w0 / 8 + 6 * w0 * std::max(0, ch - 2);
            const QString unit = g.ch_unit_text[ch];
            const int dec = g.ch_decimals[ch];
            text6(x, T - 3.5 * h0, QStringLiteral("  CH%1 ").arg(ch));
            double yu = T - 2 * h0;
            if (yu < 0) yu = h0 / 2;
            text6(x, yu, unit == graph::kTempUnit ? QStringLiteral("[ﾟC ]") : QLatin1Char('[') + unit + QLatin1Char(']'));
            text6(x, T - h0 / 2, graph::format_scaled(g.ch_h_scale[ch], unit, dec));
            text6(x, B() - h0 / 2, graph::format_scaled(g.ch_l_scale[ch], unit, dec));
            if (ch >= 3) {
                pen(kBlack, kThin, Qt::SolidLine);
                line(x, T, x, B());
            }
            const double step = std::floor(H / 5);
            const double last = B() - std::nearbyint(H / 5);
            int k = 1;
            for (double y = T + step; step > 0 && y <= last; y += step, ++k) {
                pen(kBlack, kThin, Qt::DotLine);
                line(L, y, R(), y);
                text6(x, y - h0 / 2,
                      graph::format_scaled(qint64(g.ch_h_scale[ch]) - qint64(k) * m_graph.ch_tick_step(ch), unit, dec));
            }
        }
    }

    void factors() {
        const GraphState& g = graph_state();
        xPerRecord = W / double(std::max(1, g.graph_end_pos - g.graph_start_pos));
        for (int ch = 1; ch <= 4; ++ch) {
            const int d = g.ch_h_scale[ch] - g.ch_l_scale[ch];
            yPerUnit[size_t(ch)] = d != 0 ? H / double(d) : 0.0;
        }
    }

    void timeAxis() {
        const GraphState& g = graph_state();
        const graph::TimeAxis axis = m_graph.time_axis();
        const int hw = axis.aligned() ? 5 : 4;
        const double yDate = B() + h0 / 4;
        const double yTime = B() + h0;
        auto pair = [&](double x, const QDateTime& t, bool brackets) {
            const auto [d, h] = graph::time_label_lines(t, brackets);
            text(x, yDate, d);
            text(x, yTime, h);
        };
        if (g.graph_start_pos == 1) pair(L - hw * m_c, g.graph_start_time, hw == 5);
        else pair(L - hw * m_c, axis.label_time(g.graph_start_pos), false);
        if (g.graph_end_pos != g.graph_rec_count) pair(R() - hw * m_c, axis.label_time(g.graph_end_pos), false);
        else if (axis.irregular_end()) pair(R() - 5 * m_c, g.graph_stop_time, true);
        else pair(R() - 4 * m_c, g.graph_stop_time, false);

        const qint32 stepRecords = m_graph.time_label_step();
        const double first = std::nearbyint(L + xPerRecord * stepRecords);
        const double step = std::max(1.0, std::nearbyint(xPerRecord * stepRecords));
        double lastStart = L - hw * m_c;
        int k = 1;
        for (double px = first; px <= R() - 1; px += step, ++k) {
            pen(kBlack, kThin, Qt::DotLine);
            line(px, T, px, B());
            if (px + 10 * m_c < R() && px - 10 * m_c > L && px - hw * m_c > lastStart + 8 * w0) {
                pair(px - hw * m_c, axis.label_time(g.graph_start_pos + qint32(k) * stepRecords), false);
                lastStart = px - hw * m_c;
            }
        }
    }

    // The reference lines of the channels, in three passes.
    void S_svline_print(double top, double left, double height, double width) {
        const GraphState& g = graph_state();
        auto ref = [&](int ch, double value, const QColor& c, double w, Qt::PenStyle style) {
            const qint64 range = qint64(g.ch_h_scale[ch]) - g.ch_l_scale[ch];
            const int m = graph::channel_multiplier(g.ch_unit_text[ch], g.ch_decimals[ch]);
            const double offD = std::nearbyint(double(g.ch_h_scale[ch]) - m * value);
            if (range <= 0 || !(offD >= 0 && offD <= double(range))) return;
            const double y = top + height * offD / double(range);
            pen(c, w, style);
            line(left, y, left + width, y);
        };
        for (int ch = 1; ch <= 4; ++ch) {
            if (g.ch_present[ch] != 1 || !g.h_alm_sw[ch]) continue;
            const AlarmLimits limits = graph::graph_alarm_limits(g, ch);
            if (limits.high_set) ref(ch, g.ch_h_alm[ch], kHighAlarm, kThin, Qt::DashLine);
            if (limits.low_set) ref(ch, g.ch_l_alm[ch], kLowAlarm, kThin, Qt::DashLine);
        }
        for (int ch = 1; ch <= 4; ++ch) {
            if (g.ch_present[ch] != 1 || !g.sum_std_sw[ch]) continue;
            ref(ch, g.ch_sum_std_count[ch], platform::basicColour(quint32(g.ch_g_color[ch])), 18, Qt::SolidLine);
        }
        for (int ch = 1; ch <= 4; ++ch) {
            if (g.ch_present[ch] != 1 || !g.std_sw[ch]) continue;
            ref(ch, g.std_value[ch], platform::basicColour(quint32(g.ch_g_color[ch])), kThin, Qt::DashDotLine);
        }
        pen(kBlack, kThin, Qt::SolidLine);
    }

    void S_dmark_print(double top, double left, double height, double width) {
        const GraphState& g = graph_state();
        if (!g.datamark_sw) return;
        pen(kBlack, kThin, Qt::SolidLine);
        const double span = std::max(1, g.graph_end_pos - g.graph_start_pos);
        const qint32 end = std::min(g.graph_end_pos, g.graph_rec_count);
        for (qint32 r = std::max<qint32>(1, g.graph_start_pos); r <= end; ++r) {
            if (!m_graph.source().marked(r)) continue;
            const double x = width * (1.0 - double(g.graph_end_pos - r) / span) + left;
            line(x, top, x, top + height);
        }
    }

    void traces() {
        const GraphState& g = graph_state();
        int counter = 0;
        for (int ch = 1; ch <= 4; ++ch) {
            if (g.ch_present[ch] != 1 || g.graph_rec_count <= 0 || !g.ch_graph_draw_sw[ch] ||
                g.graph_start_pos > g.graph_rec_count)
                continue;
            trace(ch, counter);
        }
        pen(kBlack, kThin, Qt::SolidLine);
    }

    void trace(int ch, int& counter) {
        const GraphState& g = graph_state();
        const bool temp = g.ch_unit_text[ch] == graph::kTempUnit;
        const QString unit = g.ch_unit_text[ch];
        const int dec = g.ch_decimals[ch];
        const QColor colour = platform::basicColour(quint32(g.ch_g_color[ch]));
        const double lineWidth = g.graph_line_width * 0.1 * kTwipsPerMm;
        const bool markers = g.graph_end_pos - g.graph_start_pos < 101;
        const bool labels = g.graph_label_sw == 1;
        const double ypu = yPerUnit[size_t(ch)];
        const qint32 end = std::min(g.graph_end_pos, g.graph_rec_count);

        auto state = [&](qint32 r, double& y, int& v) {
            qint32 row = r;
            int c = ch;
            v = m_graph.graph_decimal_get(row, c);
            if (!graph::draw_valid(v, temp)) {
                y = B();
                return 3;
            }
            if (v > g.ch_h_scale[ch]) {
                y = T;
                return 1;
            }
            if (v < g.ch_l_scale[ch]) {
                y = B();
                return 2;
            }
            y = T + double(g.ch_h_scale[ch] - v) * ypu;
            return 0;
        };
        auto label = [&](double x, double y, int v) {
            const QString t = graph::format_scaled(v, unit, dec);
            text(x + 6 * m_c > R() ? x - 6 * m_c : x, y, t);
        };
        auto dotAndMarker = [&](double x, double y) {
            pen(colour, lineWidth, Qt::SolidLine);
            m_p.setBrush(Qt::NoBrush);
            m_p.drawEllipse(QPointF(x, y), 1.0, 1.0);
            if (markers) {
                m_p.setBrush(colour);
                m_p.drawEllipse(QPointF(x, y), 30.0, 30.0);
                m_p.setBrush(Qt::NoBrush);
            }
        };

        double distance = xPerRecord;
        double py = 0;
        int v = 0;
        double px = L;
        int P = state(g.graph_start_pos, py, v);
        if (P == 0) {
            if (labels) {
                label(px, py, v);
                distance = 0;
            }
            dotAndMarker(px, py);
        }
        for (qint32 r = g.graph_start_pos + 1; r <= end; ++r) {
            if (++counter % 200 == 0) {
                ++yields;
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            }
            distance += xPerRecord;
            const double x = L + xPerRecord * double(r - g.graph_start_pos);
            double y = 0;
            const int N = state(r, y, v);
            const bool drawLine = (N == 0 && P != 3) || ((N == 1 || N == 2) && (P == 0 || ((P == 1 || P == 2) && P != N)));
            if (drawLine) {
                pen(colour, lineWidth, Qt::SolidLine);
                line(px, py, x, y);
            }
            if (N == 0) {
                if (distance > 6 * m_c && labels) {
                    label(x, y, v);
                    distance = 0;
                }
                dotAndMarker(x, y);
            }
            P = N;
            px = x;
            py = y;
            distance += xPerRecord;
        }
    }

    // The statistics table: the fixed titles, then the grid's four channel rows.
    void table(double ML, double top, double PW) {
        const GraphState& g = graph_state();
        static const char* const kTitles[8] = {"CH名", "上限警報数", "下限警報数", "最大値", "最小値", "平均値", "積算値", "CHｺﾒﾝﾄ"};
        std::array<double, 8> widths{};
        for (int c = 0; c < 8; ++c) widths[size_t(c)] = c < 3 ? 10 * w0t : 6 * w0t;
        widths[7] = PW - 54 * w0t;
        std::array<double, 9> xs{};
        xs[0] = ML;
        for (int c = 0; c < 8; ++c) xs[size_t(c + 1)] = xs[size_t(c)] + widths[size_t(c)];
        const double pad = w0t / 6;
        auto cell = [&](int row, int col, const QString& t) {
            const double y = top + row * hAt + (hAt - textHeight()) / 2;
            if (col == 0 || col == 7) text(xs[size_t(col)] + pad, y, t);
            else text(xs[size_t(col + 1)] - pad - textWidth(t), y, t);
        };
        for (int c = 0; c < 8; ++c) cell(0, c, QString::fromUtf8(kTitles[c]));
        platform::Grid* grid = m_graph.gpgrid();
        for (int r = 1; r <= 4; ++r) {
            for (int c = 0; c < 8; ++c) cell(r, c, grid->TextMatrix(r, c));
        }
        // Borders on every cell.
        pen(kBlack, kThin, Qt::SolidLine);
        m_p.setBrush(Qt::NoBrush);
        for (int r = 0; r <= 5; ++r) line(xs[0], top + r * hAt, xs[8], top + r * hAt);
        for (double x : xs) line(x, top, x, top + 5 * hAt);
        // Each channel's name cell outlined in its colour.
        for (int r = 2; r <= 5; ++r) {
            const int ch = std::clamp(g.grid_row_order[r - 1], 1, 4);
            pen(platform::basicColour(quint32(g.ch_g_color[ch])), 24, Qt::SolidLine);
            m_p.drawRect(QRectF(QPointF(ML, top + (r - 1) * hAt), QPointF(ML + widths[0], top + r * hAt)));
        }
    }

private:
    fGraph& m_graph;
    QPainter& m_p;
    QPaintDevice& m_device;
    double m_k;
    double m_points = 9;
    std::unique_ptr<QFontMetricsF> m_fm;
};

// The graph's screen measures the table font follows.
struct ScreenMeasures {
    double areaWidthTwips = 1;
    double fontPoints = 9;
};

ScreenMeasures screenMeasures(fGraph& graph) {
    QWidget* pic = graph.gImage();
    ScreenMeasures m;
    const double dpi = pic->logicalDpiX() > 0 ? pic->logicalDpiX() : 96;
    m.areaWidthTwips = std::max(1.0, pic->width() * 1440.0 / dpi);
    const double pt = pic->font().pointSizeF();
    m.fontPoints = pt > 0 ? pt : 9;
    return m;
}

}  // namespace

QPrinter* graph_printer() { return graph_state().printer.get(); }

void graph_error_msg(QWidget* parent, int code) {
    switch (code) {
    case 2: platform::msgBox(parent, QStringLiteral("印刷エラーです。")); break;
    case 4820:
    case 4821:
        platform::msgBox(parent, QStringLiteral("プリンターが見つかりません。"), platform::MsgButtons::OK,
                         platform::MsgIcon::Exclamation);
        break;
    default: platform::msgBox(parent, QStringLiteral("エラーが発生しました。")); break;
    }
}

namespace {

// The font rule: 9 points at most, smaller when the time labels would
// overlap; the table follows the screen's proportion. Leaves the page in the
// graph's font and returns the table's size.
double fitFonts(GraphPage& page, fGraph& graph, double PW, GraphPrintResult& result) {
    const GraphState& g = graph_state();
    page.setFont(9);
    page.measure();
    const ScreenMeasures sm = screenMeasures(graph);
    const double s = std::max(1.0, PW / sm.areaWidthTwips * sm.fontPoints);
    page.setFont(s);
    page.w0t = 1.5 * page.textWidth(QStringLiteral("0"));
    page.hAt = 1.5 * page.textHeight();
    page.setFont(9);
    const double span = std::max(1, g.graph_end_pos - g.graph_start_pos);
    const double pitch = std::floor((PW - 12.25 * page.w0) * graph.time_label_step() / span);
    double size = 9;
    if (8 * page.w0 / 1.5 >= pitch) {
        size = pitch > 0 ? 9 / (8 * page.w0 / 1.5 / pitch) : 1.0;
        size = std::max(1.0, size);
        page.setFont(size);
        page.measure();
    }
    if (size >= 9) {
        size = 9;
        page.setFont(9);
    }
    result.fontTenths = int(std::lround(size * 10));
    result.tableFontTenths = int(std::lround(s * 10));
    return s;
}

// The graph's parts in drawing order, each followed by its check; false at
// the first that failed.
bool drawGraph(GraphPage& page, const std::function<bool(GraphPrintStep)>& failed) {
    const std::pair<GraphPrintStep, std::function<void()>> steps[] = {
        {GraphPrintStep::Frame, [&] { page.frame(); }},
        {GraphPrintStep::Axes, [&] { page.axes(); }},
        {GraphPrintStep::TimeAxis,
         [&] {
             page.factors();
             page.timeAxis();
         }},
        {GraphPrintStep::ReferenceLines, [&] { page.S_svline_print(page.T, page.L, page.H, page.W); }},
        {GraphPrintStep::DataMarks, [&] { page.S_dmark_print(page.T, page.L, page.H, page.W); }},
        {GraphPrintStep::Traces, [&] { page.traces(); }},
    };
    for (const auto& [step, draw] : steps) {
        draw();
        if (failed(step)) return false;
    }
    return true;
}

// The header lines, left from `left`, right ending near `right`, from y1 down.
void printHeader(GraphPage& page, fGraph& graph, double left, double right, double y1) {
    GraphState& gs = graph_state();
    gs.graph_title = graph.txtTitle()->text();
    const double xl = left + 5 * page.wA;
    const double xr = right - 34.5 * page.w0;
    page.text(xl, y1, QStringLiteral("タイトル：") + gs.graph_title);
    page.text(xr, y1 + page.hA, QStringLiteral("ロ グ 名：") + gs.graph_log_name);
    page.text(xl, y1 + 2 * page.hA, QStringLiteral("作 業 者：") + gs.graph_worker);
    page.text(xr, y1 + 2 * page.hA,
              QStringLiteral("データ数：") + QString::number(gs.graph_end_pos - gs.graph_start_pos + 1));
    page.text(xl, y1 + 3 * page.hA, QStringLiteral("コメント：") + gs.graph_comment);
    page.text(xr, y1 + 3 * page.hA, QStringLiteral("収録間隔：") + gs.graph_interval_text);
}

}  // namespace

GraphPrintResult graph_print(fGraph& graph, const GraphPrintHooks& hooks) {
    GraphPrintResult result;
    QStringList printers;
    if (!printerCheck(&graph, hooks, &printers)) return result;
    {
        const QString def = default_printer();
        if (!show_printer_choice(&graph, printers, def.isEmpty() ? pdf_file_printer_name() : def)) return result;
    }
    if (!graph.enter_busy()) return result;
    graph.setEnabled(false);
    struct Restore {
        fGraph& g;
        ~Restore() {
            g.setEnabled(true);
            g.leave_busy();
        }
    } restore{graph};

    QPrinter& printer = printerOf();
    // No file of an earlier print stays set: a system printer prints to paper.
    printer.setOutputFileName(QString());
    if (!prepare_chosen_printer(printer, &graph, hooks.dialog)) return result;
    printer.setFullPage(true);
    printer.setResolution(1440);
    const bool portrait = printer.pageLayout().orientation() == QPageLayout::Portrait;
    const double margin = portrait ? 900 : 1100;
    const double ML = margin, MR = margin, MT = margin, MB = margin;

    // A PDF is written beside its target and put in place only when
    // complete; a system printer's queue must take the job.
    PrintJob job(printer, print_job_name(graph.dataWindow() ? graph.dataWindow()->windowTitle() : QString()));
    auto fail = [&](const QString& message) {
        result.message = message;
        platform::msgBox(&graph, message);
    };
    if (FileResult r = job.begin(); !r) {
        fail(r.message);
        return result;
    }
    QPainter& p = job.painter();
    p.setRenderHint(QPainter::Antialiasing, true);
    const double k = printer.resolution() / 1440.0;
    p.scale(k, k);
    const QRectF paper = printer.pageLayout().fullRectPoints();
    const double pageW = paper.width() * 20;
    const double pageH = paper.height() * 20;
    const double PW = std::floor(pageW - ML - MR);

    GraphPage page(graph, p, printer, k);
    const double s = fitFonts(page, graph, PW, result);
    const double d = 0;

    auto failed = [&](GraphPrintStep step) { return (hooks.fail_at && hooks.fail_at(step)) || !p.isActive(); };
    auto runtimeFailure = [&] {
        job.abort();
        result.message = QStringLiteral("印刷エラーです。");
        graph_error_msg(&graph, 2);
        return result;
    };

    printHeader(page, graph, ML, pageW - MR, MT + d);
    if (failed(GraphPrintStep::Header)) return runtimeFailure();

    // The graph.
    page.T = std::floor(MT + d + 4 * page.hA);
    page.W = std::floor(PW - 24.5 * page.w0);
    page.H = std::floor(pageH - page.T - MB - 6 * page.hAt - 2 * page.h0 + d);
    page.L = std::floor(ML + 6.125 * page.w0);
    result.plot = QRectF(page.L, page.T, page.W, page.H);
    if (!drawGraph(page, failed)) return runtimeFailure();

    // The statistics table, in the table font.
    page.setFont(s);
    page.table(ML, page.B() + 2 * page.h0 + d, PW);
    if (failed(GraphPrintStep::Table)) return runtimeFailure();

    if (FileResult r = job.end(); !r) {
        fail(r.message);
        return result;
    }
    result.printed = true;
    return result;
}

void graph_page_setup(fGraph& graph, const GraphPrintHooks& hooks) {
    QStringList printers;
    if (!printerCheck(&graph, hooks, &printers)) return;
    QPrinter& printer = printerOf();
    pointAtChosen(printer);
    QPageSetupDialog dialog(&printer, &graph);
    dialog.exec();
}

void graph_printer_setup(fGraph& graph, const GraphPrintHooks& hooks) {
    QStringList printers;
    if (!printerCheck(&graph, hooks, &printers)) return;
    QPrinter& printer = printerOf();
    pointAtChosen(printer);
    QPrintDialog dialog(&printer, &graph);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialog.exec() == QDialog::Accepted && printer.outputFormat() == QPrinter::NativeFormat &&
        !printer.printerName().isEmpty() && HomeSlot::installed()) {
        // The printer set up here is the one the next print goes to.
        home_state().current_printer = printer.printerName();
    }
}

}  // namespace mq
