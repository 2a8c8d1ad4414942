#include "log_data/log_records.h"

#include <QRegularExpression>

#include "log_data/integration.h"
#include "main_window/conversions.h"
#include "model/channel_values.h"
#include "model/cls_logger_graphinfo.h"
#include "model/common_proc.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/grid.h"
#include "platform/numbers.h"

namespace mq {

namespace {

const QString kSixBlanks = QStringLiteral("      ");

// A value text the logger can have meant as a measurement: an optional "-",
// digits and at most one point among them, blanks around.
bool is_number_text(const QString& whole) {
    const QStringView text = blanks_trimmed(whole);
    qsizetype i = 0;
    const qsizetype e = text.size();
    if (i < e && text[i] == QLatin1Char('-')) ++i;
    bool digits = false;
    bool point = false;
    for (; i < e; ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

// Whole seconds of an interval text, through the same conversion every other
// time of the program uses.

}  // namespace

qint64 log_reply_length(qint32 N, int c) {
    if (N <= 0) return 0;
    const qint64 q = N / 3;
    const int r = N % 3;
    qint64 len = q * (15 * c + 14);
    if (r == 1) len += 5 * c + 12;
    if (r == 2) len += 10 * c + 13;
    return len;
}

int channels_in_use(const clsLOGGER_SETTING& s) {
    int c = 0;
    for (int ch = 0; ch < 4; ++ch) {
        if (s.Ch_input_type(ch) != QLatin1String("-")) ++c;
    }
    return c;
}

// ---------------------------------------------------------------- times

qint64 interval_seconds(const QString& interval) {
    static const QRegularExpression re(QStringLiteral("^ *(\\d{1,2}):(\\d{1,2}):(\\d{1,2}) *$"));
    const QRegularExpressionMatch m = re.match(interval);
    if (!m.hasMatch()) throw ConversionError("not an interval: " + interval.toStdString());
    const int h = m.captured(1).toInt();
    const int mi = m.captured(2).toInt();
    const int s = m.captured(3).toInt();
    if (mi > 59 || s > 59) throw ConversionError("not an interval: " + interval.toStdString());
    return qint64(h) * 3600 + mi * 60 + s;
}

LogRecordClock::LogRecordClock(const QDateTime& start, const QDateTime& stop, const QString& interval, qint32 n)
    : m_start(start), m_stop(stop), m_step(interval_seconds(interval)), m_n(n) {
    const int sec = start.time().second();
    if (interval > QLatin1String("00:00:30") && sec != 0) {
        m_second = start.addSecs(60 - sec);
    } else {
        m_second = start.addSecs(m_step);
    }
}

QDateTime LogRecordClock::computed(qint32 r) const {
    if (r <= 1) return m_start;
    if (r == 2) return m_second;
    return m_second.addSecs(m_step * (r - 2));
}

QDateTime LogRecordClock::time(qint32 r) const {
    if (r <= 1) return m_start;
    if (r == m_n) return m_stop;
    return computed(r);
}

// ---------------------------------------------------------------- split

qint32 split_log_reply(const QString& reply, qint32 q, qint16 r, const clsLOGGER_SETTING& s,
                       const std::function<void(const LogReplyRecord&)>& sink) {
    struct Calls : LogReplyVisitor {
        const std::function<void(const LogReplyRecord&)>& sink;
        explicit Calls(const std::function<void(const LogReplyRecord&)>& f) : sink(f) {}
        void record(const LogReplyRecord& rec) override { sink(rec); }
    } calls(sink);
    return split_log_reply(reply, q, r, s, calls);
}

qint32 split_log_reply(const QString& reply, qint32 q, qint16 r, const clsLOGGER_SETTING& s, LogReplyVisitor& visitor) {
    const qint32 N = q * 3 + r;
    if (N <= 0) return 0;

    std::array<bool, 4> used{};
    std::array<qint16, 4> decimals{};
    int c = 0;
    for (int ch = 0; ch < 4; ++ch) {
        const QString type = s.Ch_input_type(ch);
        used[ch] = type != QLatin1String("-");
        decimals[ch] = type == QLatin1String("V") ? qint16(s.Ch_period_pos(ch)) : qint16(1);
        if (used[ch]) ++c;
    }
    const qsizetype recLen = 5 * c + 1;
    const qsizetype groupLen = 15 * c + 14;

    const LogRecordClock times(s.start_time(), s.stop_time(), s.record_interval(), N);
    LogReplyRecord rec;
    qint32 n = 0;
    for (qint32 g = 0; g <= q; ++g) {
        const int inGroup = g < q ? 3 : r;
        const qsizetype groupStart = qsizetype(g) * groupLen;  // 0-based
        for (int k = 0; k < inGroup; ++k) {
            const qsizetype pos = groupStart + 7 + k * recLen;  // 0-based first field
            if (pos + recLen > reply.size()) return n;            // the reply ended early
            ++n;
            qsizetype p = pos;
            for (int ch = 0; ch < 4; ++ch) {
                if (!used[ch]) {
                    rec.values[ch] = kSixBlanks;
                    continue;
                }
                rec.values[ch] = dot_insert_top_sp(reply.mid(p, 5), decimals[ch]);
                p += 5;
            }
            rec.flag = reply.mid(p, 1);
            rec.No = n;
            rec.time = times.time(n);
            visitor.record(rec);
        }
    }
    return n;
}

// ---------------------------------------------------------------- writing

namespace {

// UTF-8 of a text into a reused buffer (ASCII, the usual case, without a
// conversion object).
void utf8Into(std::string& out, QStringView text) {
    out.clear();
    const char16_t* p = text.utf16();
    const qsizetype n = text.size();
    qsizetype k = 0;
    for (; k < n && p[k] < 0x80; ++k) out.push_back(char(p[k]));
    if (k < n) {
        const QByteArray rest = text.mid(k).toUtf8();
        out.append(rest.constData(), size_t(rest.size()));
    }
}

QByteArrayView viewOf(const std::string& s) { return QByteArrayView(s.data(), qsizetype(s.size())); }

}  // namespace

LogRecordWriter::LogRecordWriter(clsLOGGER_DATABASE& db, platform::Grid* table) : m_db(db), m_table(table) {
    // The table is filled cell by cell; it repaints once it is shown.
    if (m_table) m_table->setRedraw(false);
}

void LogRecordWriter::add(qint32 No, const QDateTime& t, const QString& mark, const std::array<QString, 4>& cells) {
    // The mark stands between two blanks; no mark is three blanks.
    if (mark.isEmpty()) {
        m_mark.assign(3, ' ');
    } else {
        utf8Into(m_mark, mark);
        m_mark.insert(m_mark.begin(), ' ');
        m_mark.push_back(' ');
    }
    std::array<QByteArrayView, 4> views;
    for (size_t ch = 0; ch < 4; ++ch) {
        utf8Into(m_cells[ch], cells[ch]);
        views[ch] = viewOf(m_cells[ch]);
    }
    put(No, t, viewOf(m_mark), views);
}

void LogRecordWriter::addBytes(qint32 No, const QDateTime& t, bool marked, const std::array<QByteArrayView, 4>& cells) {
    put(No, t, marked ? QByteArrayView(" * ") : QByteArrayView("   "), cells);
}

void LogRecordWriter::put(qint32 No, const QDateTime& t, QByteArrayView mark, const std::array<QByteArrayView, 4>& cells) {
    const int timeLen = clsLOGGER_DATABASE::db_record_time_chars(t, m_time);
    LogRecordBytes rec;
    rec.No = No;
    rec.time = QByteArrayView(m_time, timeLen);
    rec.mark = mark;
    rec.ch = cells;
    m_db.AddRecord_LOG(rec);
    ++m_rows;
    if (!m_table) return;
    if (m_rows >= m_table->Rows()) m_table->setRows(m_rows + 1);
    // The record number as the database gives it back: its decimal text.
    char* e = m_no + sizeof m_no;
    char* b = e;
    const bool negative = No < 0;
    quint32 a = negative ? quint32(0) - quint32(No) : quint32(No);
    do {
        *--b = char('0' + a % 10);
        a /= 10;
    } while (a != 0);
    if (negative) *--b = '-';
    m_table->setTextUtf8(m_rows, 0, mark);
    m_table->setTextUtf8(m_rows, 1, QByteArrayView(b, e - b));
    m_table->setTextUtf8(m_rows, 2, rec.time);
    for (int ch = 0; ch < 4; ++ch) m_table->setTextUtf8(m_rows, 3 + ch, cells[size_t(ch)]);
}

// ---------------------------------------------------------------- storing

bool log_value_is_number(const QString& text) { return is_number_text(text); }

QString stored_ch_text(QString value, int ch) {
    const bool range = value == kLoggerOverRangeText || value == kLoggerUnderRangeText;
    if (is_missing_value(value) || (!range && !is_number_text(value))) {
        // A channel in use without a value shows the dashes and counts nothing.
        // A field the logger garbled (blanks only, letters) is no measurement
        // either: counted, it would skew the average and read as 0 in the
        // minimum and the alarm counts.
        ModelState& m = model();
        const clsLOGGER_SETTING* s = nullptr;
        if (m.act_data_kind == 1 && m.act_file_data) s = &m.act_file_data->clsLOGGER_SETTING();
        else if (m.act_data_kind != 1 && m.act_logger_data) s = &m.act_logger_data->clsLOGGER_SETTING();
        if (!s) throw MissingKeyError("no current data set");
        return s->Ch_input_type(ch - 1) == QLatin1String("-") ? QString() : kStoredMissing;
    }
    return format_ch_value(value, ch);
}

void log_record_add(clsLOGGER_DATA& ds, const LogReplyRecord& rec, std::array<std::vector<qint32>, 4>* missingRows,
                    LogRecordWriter* writer) {
    std::array<QString, 4> cells;
    for (int ch = 0; ch < 4; ++ch) {
        cells[ch] = stored_ch_text(rec.values[ch], ch + 1);
        if (missingRows && cells[ch] == kStoredMissing) (*missingRows)[ch].push_back(rec.No);
    }
    const QString mark = rec.flag == QLatin1String("1") ? QStringLiteral("*") : QString();
    if (writer) {
        writer->add(rec.No, rec.time, mark, cells);
    } else {
        ds.clsLOGGER_DATABASE().AddRecord_LOG(rec.No, rec.time, mark, cells[0], cells[1], cells[2], cells[3]);
    }

    // The integration reads the stored texts' last six characters, as the
    // table will show them.
    std::array<QString, 4> shown;
    for (int ch = 0; ch < 4; ++ch) shown[ch] = cell_value_text(cells[ch]);
    clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    h_sum_l_sum_calc_values(s, rec.time, shown);
    stat_record_add(s, /*fileData=*/false, rec.values);
}

void reset_log_statistics(clsLOGGER_SETTING& s) {
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_min(ch, QStringLiteral("99999"));
        s.let_Ch_max(ch, QStringLiteral("-9999"));
        s.let_Ch_ave(ch, kSixBlanks);
        s.let_Ch_sum(ch, 0.0);
        s.let_Ch_h_sum(ch, QString(9, QLatin1Char(' ')));
        s.let_Ch_l_sum(ch, QString(9, QLatin1Char(' ')));
        s.let_Ch_data_count(ch, 0);
    }
}

void log_graph_from_setting(const clsLOGGER_SETTING& s, clsLOGGER_GraphInfo& g, qint32 endPos) {
    g.let_log_name(s.log_name());
    g.let_worker_name(s.Worker());
    g.let_Comment(s.Comment());
    for (int ch = 0; ch < 4; ++ch) {
        // The decimal position first: the graph's levels scale by it.
        g.let_Ch_period_pos(ch, s.Ch_period_pos(ch));
        g.let_Ch_H_Alm(ch, s.Ch_high_alarm_count_value(ch));
        g.let_Ch_L_Alm(ch, s.Ch_low_alarm_count_value(ch));
        g.let_Ch_sum_std_count(ch, s.Ch_sum_std_count_value(ch));
        g.let_Std_Value(ch, QStringLiteral("0"));
        g.let_Std_Sw(ch, QStringLiteral("0"));
        g.let_Sum_Std_Sw(ch, QStringLiteral("0"));
        g.let_L_Alm_Sw(ch, QStringLiteral("0"));
        g.let_H_Alm_Sw(ch, QStringLiteral("0"));
    }
    g.let_DataCount(s.data_count());
    g.let_GrpDrw_StartPos(1);
    g.let_GrpDrw_EndPos(endPos);
    g.let_CH_GraphDrawSw(QStringLiteral("1111"));
    g.let_GrdDispSort(QStringLiteral("1234"));
    g.let_DataMark_Sw(QStringLiteral("0"));
}

void log_graph_defaults(const clsLOGGER_SETTING& s, clsLOGGER_GraphInfo& g, qint32 endPos) {
    log_graph_from_setting(s, g, endPos);
    for (int ch = 0; ch < 4; ++ch) g.let_Ch_G_color(ch, kDefaultGraphColours[size_t(ch)]);
    g.let_Label_Sw(QStringLiteral("0"));
    g.let_LIneBold_Sw(QStringLiteral("1"));
    g.let_CH_GraphAxDrawSw(QStringLiteral("1111"));
}

}  // namespace mq
