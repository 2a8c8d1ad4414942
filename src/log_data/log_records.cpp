#include "log_data/log_records.h"

#include <QRegularExpression>

#include "log_data/integration.h"
#include "main_window/conversions.h"
#include "model/channel_values.h"
#include "model/cls_logger_graphinfo.h"
#include "model/common_proc.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include <cstring>
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
    m_startSecs = platform::civilSeconds(m_start);
    m_stopSecs = m_stop.isValid() ? platform::civilSeconds(m_stop) : 0;
    m_secondSecs = platform::civilSeconds(m_second);
}

qint64 LogRecordClock::computed_secs(qint32 r) const {
    if (r <= 1) return m_startSecs;
    if (r == 2) return m_secondSecs;
    return m_secondSecs + m_step * (r - 2);
}

qint64 LogRecordClock::secs(qint32 r) const {
    if (r <= 1) return m_startSecs;
    if (r == m_n) return m_stopSecs;
    return computed_secs(r);
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

qint16 log_reply_decimals(const clsLOGGER_SETTING& s, int ch) {
    return s.Ch_input_type(ch) == QLatin1String("V") ? qint16(s.Ch_period_pos(ch)) : qint16(1);
}

qint32 split_log_reply_fields(const QString& reply, qint32 q, qint16 r, const clsLOGGER_SETTING& s,
                              LogReplyFieldVisitor& visitor) {
    const qint32 N = q * 3 + r;
    if (N <= 0) return 0;

    std::array<bool, 4> used{};
    int c = 0;
    for (int ch = 0; ch < 4; ++ch) {
        used[ch] = s.Ch_input_type(ch) != QLatin1String("-");
        if (used[ch]) ++c;
    }
    const qsizetype recLen = 5 * c + 1;
    const qsizetype groupLen = 15 * c + 14;

    const LogRecordClock times(s.start_time(), s.stop_time(), s.record_interval(), N);
    const QStringView all(reply);
    LogReplyFields rec;
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
                rec.field[ch] = used[ch] ? all.sliced(p, 5) : QStringView();
                if (used[ch]) p += 5;
            }
            rec.flag = all[p];
            rec.No = n;
            rec.secs = times.secs(n);
            visitor.record(rec);
        }
    }
    return n;
}

namespace {

// The record of the fields with its display texts.
void replyRecordOf(const LogReplyFields& f, const std::array<qint16, 4>& decimals, LogReplyRecord& rec) {
    for (size_t ch = 0; ch < 4; ++ch) {
        rec.values[ch] = f.field[ch].isNull() ? kSixBlanks : dot_insert_top_sp(f.field[ch].toString(), decimals[ch]);
    }
    rec.flag = QString(f.flag);
    rec.No = f.No;
    rec.time = QDateTime::fromSecsSinceEpoch(f.secs, Qt::UTC);
}

}  // namespace

qint32 split_log_reply(const QString& reply, qint32 q, qint16 r, const clsLOGGER_SETTING& s, LogReplyVisitor& visitor) {
    struct Texts : LogReplyFieldVisitor {
        LogReplyVisitor& visitor;
        std::array<qint16, 4> decimals{};
        LogReplyRecord rec;
        explicit Texts(LogReplyVisitor& v) : visitor(v) {}
        void record(const LogReplyFields& f) override {
            replyRecordOf(f, decimals, rec);
            visitor.record(rec);
        }
    } texts(visitor);
    for (int ch = 0; ch < 4; ++ch) texts.decimals[size_t(ch)] = log_reply_decimals(s, ch);
    return split_log_reply_fields(reply, q, r, s, texts);
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
    const int timeLen = clsLOGGER_DATABASE::db_record_time_chars(t, m_time);
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
    put(No, QByteArrayView(m_time, timeLen), viewOf(m_mark), views);
}

void LogRecordWriter::addBytes(qint32 No, qint64 secs, bool marked, const std::array<QByteArrayView, 4>& cells) {
    const int timeLen = m_dates.chars(secs, m_time);
    put(No, QByteArrayView(m_time, timeLen), marked ? QByteArrayView(" * ") : QByteArrayView("   "), cells);
}

void LogRecordWriter::put(qint32 No, QByteArrayView time, QByteArrayView mark, const std::array<QByteArrayView, 4>& cells) {
    LogRecordBytes rec;
    rec.No = No;
    rec.time = time;
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

// ---------------------------------------------------------------- the loader

namespace {

// What a reply field holds, when it is one of the usual ones.
enum class FieldKind { Number, Missing, Over, Under, Other };

// The display text of a value field (dot_insert_top_sp) when the field is a
// number: blanks, an optional "-", digits; the point goes in before the last
// `decimals` digits (zeros in front when there are not enough), and the text
// is padded to six. The length is returned, 0 for any other field.
int numberDisplay(QStringView f, qint16 decimals, char* out) {
    qsizetype i = 0;
    while (i < f.size() && f[i] == u' ') ++i;
    const bool negative = i < f.size() && f[i] == u'-';
    if (negative) ++i;
    char digits[16];
    int n = 0;
    for (; i < f.size(); ++i) {
        const char16_t c = f[i].unicode();
        if (c < u'0' || c > u'9' || n >= 8) return 0;
        digits[n++] = char(c);
    }
    if (n == 0) return 0;
    // Zeros in front up to one more digit than the decimals, then the point.
    char padded[24];
    int pn = 0;
    for (int z = n; z <= decimals; ++z) padded[pn++] = '0';
    std::memcpy(padded + pn, digits, size_t(n));
    pn += n;
    char body[24];
    int len = 0;
    for (int k = 0; k < pn; ++k) {
        if (decimals > 0 && k == pn - decimals) body[len++] = '.';
        body[len++] = padded[k];
    }
    const int total = len + (negative ? 1 : 0);
    int at = 0;
    for (int pad = total; pad < 6; ++pad) out[at++] = ' ';
    if (negative) out[at++] = '-';
    std::memcpy(out + at, body, size_t(len));
    return at + len;
}

FieldKind fieldKind(QStringView f) {
    if (f == u"-----") return FieldKind::Missing;
    if (f == u"32767") return FieldKind::Over;
    if (f == u"32766") return FieldKind::Under;
    return FieldKind::Other;
}

// The number of a display text of digits with at most one point and a sign.
double displayNumber(const char* p, int len) {
    static constexpr double kTens[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    qint64 m = 0;
    int fraction = -1;
    bool negative = false;
    for (int i = 0; i < len; ++i) {
        if (p[i] == '-') negative = true;
        else if (p[i] == '.') fraction = 0;
        else if (p[i] != ' ') {
            m = m * 10 + (p[i] - '0');
            if (fraction >= 0) ++fraction;
        }
    }
    const double v = double(m) / kTens[std::max(fraction, 0)];
    return negative ? -v : v;
}

}  // namespace

LogReplyLoader::LogReplyLoader(clsLOGGER_DATA& ds, std::array<std::vector<qint32>, 4>& missingRows,
                               LogRecordWriter& writer)
    : m_ds(ds), m_s(ds.clsLOGGER_SETTING()), m_missing(missingRows), m_writer(writer) {
    for (int ch = 0; ch < 4; ++ch) {
        m_used[size_t(ch)] = m_s.Ch_input_type(ch) != QLatin1String("-");
        m_decimals[size_t(ch)] = log_reply_decimals(m_s, ch);
    }
    m_integ = integ_numbers_setup(m_s);
    load();
}

// The statistics from the setting (stat_value_add's and format_ch_value's).
void LogReplyLoader::load() {
    for (int ch = 0; ch < 4; ++ch) {
        Running& run = m_run[size_t(ch)];
        run.count = m_s.Ch_data_count(ch);
        run.sum = m_s.Ch_sum(ch);
        run.min = float(m_s.Ch_min_value(ch));
        run.max = float(m_s.Ch_max_value(ch));
        run.minChanged = run.maxChanged = false;
    }
    m_synced = true;
}

void LogReplyLoader::finish() {
    if (m_synced) return;
    for (int ch = 0; ch < 4; ++ch) {
        const Running& run = m_run[size_t(ch)];
        m_s.let_Ch_data_count(ch, run.count);
        m_s.let_Ch_sum(ch, run.sum);
        if (run.minChanged) m_s.let_Ch_min(ch, run.minText);
        if (run.maxChanged) m_s.let_Ch_max(ch, run.maxText);
    }
    load();
}

void LogReplyLoader::record(const LogReplyFields& rec) {
    if (!fast(rec)) slow(rec);
}

// A record with a field of another kind goes the whole way through the texts.
void LogReplyLoader::slow(const LogReplyFields& f) {
    finish();
    LogReplyRecord rec;
    replyRecordOf(f, m_decimals, rec);
    log_record_add(m_ds, rec, &m_missing, &m_writer);
    load();
}

bool LogReplyLoader::fast(const LogReplyFields& rec) {
    std::array<FieldKind, 4> kind{};
    std::array<int, 4> len{};
    for (size_t ch = 0; ch < 4; ++ch) {
        if (!m_used[ch]) continue;
        kind[ch] = fieldKind(rec.field[ch]);
        if (kind[ch] == FieldKind::Other) {
            std::memcpy(m_text[ch], "    ", 4);
            len[ch] = numberDisplay(rec.field[ch], m_decimals[ch], m_text[ch] + 4);
            if (len[ch] == 0 || len[ch] > 6) return false;
            kind[ch] = FieldKind::Number;
        }
    }
    std::array<QByteArrayView, 4> cells{};
    std::array<IntegValue, 4> integ{};
    std::array<float, 4> number{};
    for (size_t ch = 0; ch < 4; ++ch) {
        integ[ch] = IntegValue::Missing;
        if (!m_used[ch]) continue;
        switch (kind[ch]) {
        case FieldKind::Missing:
            cells[ch] = QByteArrayView(kStoredMissingBytes, 10);
            m_missing[ch].push_back(rec.No);
            break;
        case FieldKind::Over:
        case FieldKind::Under:
            cells[ch] = QByteArrayView(kind[ch] == FieldKind::Over ? kStoredOverRangeBytes : kStoredUnderRangeBytes, 9);
            integ[ch] = kind[ch] == FieldKind::Over ? IntegValue::Over : IntegValue::Under;
            break;
        default: {
            cells[ch] = QByteArrayView(m_text[ch], 10);
            const double v = displayNumber(m_text[ch] + 4, 6);
            const float f = float(v);
            Running& run = m_run[ch];
            ++run.count;
            m_synced = false;
            if (f < run.min) {
                run.min = f;
                run.minText = QString::fromLatin1(m_text[ch] + 4, 6);
                run.minChanged = true;
            }
            if (f > run.max) {
                run.max = f;
                run.maxText = QString::fromLatin1(m_text[ch] + 4, 6);
                run.maxChanged = true;
            }
            run.sum += v;
            integ[ch] = IntegValue::Number;
            number[ch] = f;
        }
        }
    }
    m_writer.addBytes(rec.No, rec.secs, rec.flag == u'1', cells);
    h_sum_l_sum_calc_numbers(m_integ, rec.secs, integ, number);
    return true;
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
