// The blocks of a printed table: the LOG information head, settings,
// computed-values and rows blocks, and their TAG counterparts.
#include <QCheckBox>

#include "model/channel_values.h"
#include "main_window/conversions.h"
#include "model/data_sets.h"
#include "platform/grid.h"
#include "platform/numbers.h"
#include "printing/print_source.h"
#include "printing/table_print.h"

namespace mq {

namespace {

constexpr int kSmall = 9;
constexpr int kChannels = 4;

bool alarmSet(const QString& stored) { return alarm_is_set(stored); }

// A settings-block alarm or reference cell: blank for a channel not in use or
// a voltage input; the graph's own text when printing from the graph;
// otherwise the value with one decimal, or the not-set mark.
QString settingCell(const QString& code, bool fromGraph, const QString& graphText, const QString& stored,
                    double value) {
    if (code == QLatin1String(" ") || code == QLatin1String("V")) return QStringLiteral("      ");
    if (fromGraph) return graphText;
    if (!alarmSet(stored)) return stored;
    return platform::format(value, QStringLiteral("0.0"));
}

}  // namespace

// ================================================================ LOG

void PR::log_print_info(const Source& src) {
    const clsLOGGER_SETTING& s = *src.setting;
    QString start = s.Disp_StartTime(), stop = s.Disp_StopTime(), count = QString::number(s.data_count());
    QString worker = s.Worker(), comment = s.Comment();
    if (m_print_from_graph_flag) {
        start = src.cell(src.startRow, 2);
        stop = src.cell(src.endRow, 2);
        count = QString::number(src.records);
        worker = m_graph.worker;
        comment = m_graph.comment;
    }
    struct Cell {
        double y, lx1, lx2;
        QString label;
        double vx2;
        QString value;
    };
    const Cell cells[] = {
        {24, 26, 46, QStringLiteral("ログ名"), 80, s.log_name()},
        {24, 88, 108, QStringLiteral("開始日時"), 142, start},
        {24, 150, 170, QStringLiteral("ﾃﾞｰﾀ数"), 190, count},
        {29, 26, 46, QStringLiteral("収録間隔"), 80, s.record_interval()},
        {29, 88, 108, QStringLiteral("終了日時"), 142, stop},
        {34, 26, 46, QStringLiteral("作業者"), 80, worker},
        {34, 88, 108, QStringLiteral("コメント"), 142, comment},
    };
    for (const Cell& c : cells) {
        print_line(c.lx1, c.y, c.lx2, c.y + 5);
        print_text_at(c.lx1 + 2, c.y + 1, kSmall, c.label);
        print_line(c.lx2, c.y, c.vx2, c.y + 5);
        print_text_at(c.lx2 + 2, c.y + 1, kSmall, c.value);
    }
}

void PR::log_print_settings(const Source& src) {
    print_line(26, 49, 46, 54);
    print_text_at(28, 50, kSmall, QStringLiteral("【設定値】"));
    if (!m_print_ok_flag) return;
    print_settings_rows(*src.setting, 49, m_print_from_graph_flag, /*withSumStd=*/true);
}

void PR::log_print_computed(const Source& src) {
    const clsLOGGER_SETTING& s = *src.setting;
    const double y0 = 49 + 30 * int(Check1->isChecked());
    QString format[kChannels];
    qint32 count[kChannels];
    print_computed_head(s, y0, format, count);
    auto row = [&](int index, const QString& label, const std::function<QString(int)>& text) {
        print_computed_row(y0, index, label, format, count, text);
    };
    auto number = [&](int n, double v) { return platform::format(v, format[n]); };
    auto graph = [&](int column, int n) { return format_graph_text(m_graph.graph_stat_texts[size_t(column)][size_t(n)], format[n]); };
    const bool g = m_print_from_graph_flag;
    row(0, QStringLiteral("最大値"), [&](int n) { return g ? graph(2, n) : number(n, s.Ch_max_value(n)); });
    row(1, QStringLiteral("最小値"), [&](int n) { return g ? graph(3, n) : number(n, s.Ch_min_value(n)); });
    row(2, QStringLiteral("平均値"), [&](int n) { return g ? graph(4, n) : number(n, s.Ch_ave_value(n)); });
    // From the graph the data set holds the drawn range's integrals: the row
    // the graph does not give shows the whole data's, which the graph kept.
    row(3, QStringLiteral("H積算値[*h]"), [&](int n) {
        if (!g) return number(n, s.Ch_h_sum_value(n));
        return src.integralHigh ? graph(5, n) : number(n, m_graph.whole_h_sum[size_t(n)]);
    });
    row(4, QStringLiteral("L積算値[*h]"), [&](int n) {
        if (!g) return number(n, s.Ch_l_sum_value(n));
        return !src.integralHigh ? graph(5, n) : number(n, m_graph.whole_l_sum[size_t(n)]);
    });
    row(5, QStringLiteral("上限警報数"),
        [&](int n) { return g ? m_graph.graph_stat_texts[0][size_t(n)] : QString::number(s.CH_H_ALM_NUM(n)); });
    row(6, QStringLiteral("下限警報数"),
        [&](int n) { return g ? m_graph.graph_stat_texts[1][size_t(n)] : QString::number(s.CH_L_ALM_NUM(n)); });
}

void PR::log_print_rows(Source& src, qint32 rows, bool firstPage) {
    const clsLOGGER_SETTING& s = *src.setting;
    static const int edges[8] = {26, 36, 56, 90, 110, 130, 150, 170};
    double top = firstPage ? 49 + 30 * int(Check1->isChecked()) + 45 * int(Check2->isChecked()) : 24;
    for (int c = 0; c < 7; ++c) print_line(edges[c], top, edges[c + 1], top + 5);
    print_text_at(28, top + 1, kSmall, QStringLiteral("ﾏｰｸ"));
    print_text_at(38, top + 1, kSmall, QStringLiteral(" No."));
    print_text_at(58, top + 1, kSmall, QStringLiteral("  収録日時"));
    for (int n = 0; n < kChannels; ++n) print_text_at(edges[n + 3] + 2, top + 1, kSmall, channel_head(s, n));

    for (qint32 i = 0; i < rows; ++i) {
        if (!yield_row(src)) return;
        top += 5;
        for (int c = 0; c < 7; ++c) print_line(edges[c], top, edges[c + 1], top + 5);
        const qint32 r = m_print_row_cursor + 1;
        if (src.cell(r, 0).contains(QLatin1Char('*'))) print_text_at(28, top + 1, kSmall, QStringLiteral(" *"));
        print_text_right(54, top + 1, kSmall, platform::rightAlign(QString::number(r), 8));
        print_text_at(58, top + 1, kSmall, src.cell(r, 2));
        for (int n = 0; n < kChannels; ++n) {
            const QString t = over_under_conv(src.cell(r, n + 3).right(6));
            print_text_right(edges[n + 3] + 16, top + 1, kSmall, print_ch_cell_text(s, t, n));
        }
        ++m_print_row_cursor;
    }
}

// ================================================================ TAG

void PR::tag_print_info(const Source& src) {
    const clsLOGGER_SETTING& s = *src.setting;
    print_line(26, 24, 46, 29);
    print_text_at(28, 25, kSmall, QStringLiteral("タグ名"));
    print_line(46, 24, 80, 29);
    print_text_at(48, 25, kSmall, s.log_name());
    print_line(152, 24, 172, 29);
    print_text_at(154, 25, kSmall, QStringLiteral("ﾃﾞｰﾀ数"));
    print_line(172, 24, 192, 29);
    print_text_at(174, 25, kSmall, QString::number(s.data_count()));
}

void PR::tag_print_settings(const Source& src) {
    print_line(26, 39, 46, 44);
    print_text_at(28, 40, kSmall, QStringLiteral("【設定値】"));
    print_settings_rows(*src.setting, 39, /*fromGraph=*/false, /*withSumStd=*/false);
}

void PR::tag_print_computed(const Source& src) {
    const clsLOGGER_SETTING& s = *src.setting;
    const double y0 = 39 + 25 * int(Check1->isChecked());
    QString format[kChannels];
    qint32 count[kChannels];
    print_computed_head(s, y0, format, count);
    auto row = [&](int index, const QString& label, auto value) {
        print_computed_row(y0, index, label, format, count,
                           [&](int n) { return platform::format(value(n), format[n]); });
    };
    row(0, QStringLiteral("最大値"), [&](int n) { return s.Ch_max_value(n); });
    row(1, QStringLiteral("最小値"), [&](int n) { return s.Ch_min_value(n); });
    row(2, QStringLiteral("平均値"), [&](int n) { return s.Ch_ave_value(n); });
}

void PR::tag_print_rows(Source& src, qint32 rows, bool firstPage) {
    const clsLOGGER_SETTING& s = *src.setting;
    static const int edges[9] = {26, 46, 80, 100, 120, 140, 160, 180, 200};
    double y = firstPage ? 39 + 25 * int(Check1->isChecked()) + 25 * int(Check2->isChecked()) : 24;
    for (int c = 0; c < 8; ++c) print_line(edges[c], y, edges[c + 1], y + 5);
    print_text_at(28, y + 1, kSmall, QStringLiteral(" No."));
    print_text_at(48, y + 1, kSmall, QStringLiteral("  収録日時"));
    for (int n = 0; n < kChannels; ++n) print_text_at(edges[n + 2] + 2, y + 1, kSmall, channel_head(s, n));
    print_text_at(162, y + 1, kSmall, QStringLiteral("作業者"));
    print_text_at(182, y + 1, kSmall, QStringLiteral("コメント"));

    for (qint32 i = 0; i < rows; ++i) {
        if (!yield_row(src)) return;
        y += 5;
        for (int c = 0; c < 8; ++c) print_line(edges[c], y, edges[c + 1], y + 5);
        const qint32 r = m_print_row_cursor + 1;
        print_text_right(44, y + 1, kSmall, platform::rightAlign(QString::number(r), 8));
        print_text_at(48, y + 1, kSmall, src.cell(r, 1));
        for (int c = 0; c < kChannels; ++c) {
            const QString t = over_under_conv(src.cell(r, c + 2).right(6));
            print_text_right(96 + 20 * c, y + 1, kSmall, print_ch_cell_text(s, t, c));
        }
        const QString worker = src.cell(r, 6);
        if (!worker.isEmpty()) print_text_at(162, y + 1, kSmall, worker);
        const QString comment = src.cell(r, 7);
        if (!comment.isEmpty()) print_text_at(182, y + 1, kSmall, comment);
        ++m_print_row_cursor;
    }
}

// ================================================================ shared blocks

void PR::print_settings_rows(const clsLOGGER_SETTING& s, double y0, bool fromGraph, bool withSumStd) {
    static const int x[5] = {46, 66, 86, 106, 126};
    for (int n = 0; n < kChannels; ++n) {
        print_line(x[n], y0, x[n + 1], y0 + 5);
        print_text_at(x[n] + 2, y0 + 1, kSmall, QStringLiteral("    CH%1").arg(n + 1));
    }
    const int edges[6] = {26, 46, 66, 86, 106, 126};
    std::copy(std::begin(edges), std::end(edges), m_print_col_x);
    QString code[kChannels];
    for (int n = 0; n < kChannels; ++n) {
        code[n] = s.Ch_input_type(n);
        if (code[n] == QLatin1String("-")) code[n] = QStringLiteral(" ");
    }
    print_line(26, y0 + 5, 46, y0 + 10);
    print_text_at(28, y0 + 6, kSmall, QStringLiteral("ｾﾝｻ/入力"));
    for (int n = 0; n < kChannels; ++n) {
        print_line(x[n], y0 + 5, x[n + 1], y0 + 10);
        print_text_at(x[n] + 10, y0 + 6, kSmall, code[n]);
    }
    QString t[kChannels];
    for (int n = 0; n < kChannels; ++n)
        t[n] = settingCell(code[n], fromGraph, m_graph.ch_h_alm_text[n], s.Ch_high_alarm_count(n),
                           s.Ch_high_alarm_count_value(n));
    m_print_row_top = y0 + 10, m_print_row_bottom = y0 + 15;
    print_value_row(QStringLiteral("上限警報値"), t[0], t[1], t[2], t[3]);
    for (int n = 0; n < kChannels; ++n)
        t[n] = settingCell(code[n], fromGraph, m_graph.ch_l_alm_text[n], s.Ch_low_alarm_count(n),
                           s.Ch_low_alarm_count_value(n));
    m_print_row_top = y0 + 15, m_print_row_bottom = y0 + 20;
    print_value_row(QStringLiteral("下限警報値"), t[0], t[1], t[2], t[3]);
    if (!withSumStd) return;
    for (int n = 0; n < kChannels; ++n)
        t[n] = settingCell(code[n], fromGraph, m_graph.ch_sum_std_text[n], s.Ch_sum_std_count(n),
                           s.Ch_sum_std_count_value(n));
    m_print_row_top = y0 + 20, m_print_row_bottom = y0 + 25;
    print_value_row(QStringLiteral("積算基準値"), t[0], t[1], t[2], t[3]);
}

void PR::print_computed_head(const clsLOGGER_SETTING& s, double y0, QString* format, qint32* count) {
    static const int x[5] = {46, 66, 86, 106, 126};
    print_line(26, y0, 46, y0 + 5);
    print_text_at(28, y0 + 1, kSmall, QStringLiteral("【演算値】"));
    for (int n = 0; n < kChannels; ++n) {
        print_line(x[n], y0, x[n + 1], y0 + 5);
        print_text_at(x[n] + 2, y0 + 1, kSmall, channel_head(s, n));
        format[n] = channel_value_format(s, n);
        count[n] = s.Ch_data_count(n);
    }
    const int edges[6] = {26, 46, 66, 86, 106, 126};
    std::copy(std::begin(edges), std::end(edges), m_print_col_x);
}

void PR::print_computed_row(double y0, int index, const QString& label, const QString* format, const qint32* count,
                            const std::function<QString(int)>& text) {
    QString t[kChannels];
    for (int n = 0; n < kChannels; ++n) t[n] = (format[n].isEmpty() || count[n] == 0) ? QString() : text(n);
    m_print_row_top = y0 + 5 + 5 * index;
    m_print_row_bottom = m_print_row_top + 5;
    print_value_row(label, t[0], t[1], t[2], t[3]);
}

}  // namespace mq
