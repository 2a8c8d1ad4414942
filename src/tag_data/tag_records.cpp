#include "tag_data/tag_records.h"

#include "main_window/conversions.h"
#include "model/channel_values.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "platform/civil_time.h"
#include "platform/errors.h"
#include "platform/numbers.h"

#include <limits>
#include <vector>

namespace mq {

namespace {

const QString kSixBlanks(6, u' ');

QString trimmed(const QString& t) { return blanks_trimmed(t).toString(); }

QString listName(const QString& number, const std::function<QString(int)>& name) {
    const QString t = trimmed(number);
    if (t.size() != 2 || !t[0].isDigit() || !t[1].isDigit()) return QString();
    const int i = t.toInt();
    if (i < 1 || i > 20) return QString();
    // A list entry the logger never sent holds NUL characters: no name either.
    const QString n = name(i - 1);
    for (QChar c : n) {
        if (c != QChar(0)) return n;
    }
    return QString();
}

}  // namespace

QDateTime tag_time_of_digits(QStringView d) {
    int v[6] = {};
    for (int k = 0; k < 6; ++k) {
        const QChar a = d.size() > 2 * k ? d[2 * k] : QChar();
        const QChar b = d.size() > 2 * k + 1 ? d[2 * k + 1] : QChar();
        if (a < u'0' || a > u'9' || b < u'0' || b > u'9') {
            throw ConversionError("not a date and time: " + d.toString().toStdString());
        }
        v[k] = (a.unicode() - u'0') * 10 + (b.unicode() - u'0');
    }
    return platform::civil(2000 + v[0], v[1], v[2], v[3], v[4], v[5]);
}

int tag_channels_in_use(const clsLOGGER_SETTING& s) {
    int c = 0;
    for (int ch = 0; ch < 4; ++ch) {
        if (s.Ch_input_type(ch) != QLatin1String("-")) ++c;
    }
    return c;
}

qint32 split_tag_reply(const QString& reply, qint32 q, qint16 r, const clsLOGGER_SETTING& s,
                       const std::function<void(const TagReplyRecord&)>& sink) {
    if (q < 0 || r < 0 || r > 2 || q * 3 + r <= 0) return 0;
    std::array<bool, 4> used{};
    std::array<qint16, 4> decimals{};
    int n = 0;
    for (int ch = 0; ch < 4; ++ch) {
        const QString type = s.Ch_input_type(ch);
        used[size_t(ch)] = type != QLatin1String("-");
        decimals[size_t(ch)] = type == QLatin1String("V") ? qint16(s.Ch_period_pos(ch)) : qint16(1);
        if (used[size_t(ch)]) ++n;
    }
    const qsizetype recLen = 5 * n + 16;
    const qsizetype groupLen = 15 * n + 59;

    // The 0-based first field of each complete record; a reply that ends
    // early holds fewer.
    std::vector<qsizetype> starts;
    bool ended = false;
    for (qint32 g = 0; g <= q && !ended; ++g) {
        const int inGroup = g < q ? 3 : r;
        for (int k = 0; k < inGroup && !ended; ++k) {
            const qsizetype pos = qsizetype(g) * groupLen + 7 + k * recLen;
            ended = pos + recLen > reply.size();
            if (!ended) starts.push_back(pos);
        }
    }
    // Every time is read before the first record is handed over: a reply the
    // program refuses stores nothing.
    std::vector<QDateTime> times;
    times.reserve(starts.size());
    for (const qsizetype pos : starts) times.push_back(tag_time_of_digits(QStringView(reply).mid(pos + 5 * n, 12)));

    TagReplyRecord rec;
    qint32 count = 0;
    for (const qsizetype pos : starts) {
        qsizetype p = pos;
        for (int ch = 0; ch < 4; ++ch) {
            if (!used[size_t(ch)]) {
                rec.values[size_t(ch)] = kSixBlanks;
                continue;
            }
            rec.values[size_t(ch)] = dot_insert_top_sp(reply.mid(p, 5), decimals[size_t(ch)]);
            p += 5;
        }
        rec.time = times[size_t(count)];
        rec.worker_no = reply.mid(p + 12, 2);
        rec.comment_no = reply.mid(p + 14, 2);
        rec.No = ++count;
        sink(rec);
    }
    return count;
}

QString tag_worker_name(const clsLOGGER_STATUS& st, const QString& number) {
    return listName(number, [&st](int i) { return st.worker_name(i); });
}

QString tag_comment_name(const clsLOGGER_STATUS& st, const QString& number) {
    return listName(number, [&st](int i) { return st.Comment(i); });
}

bool tag_is_measured(const QString& text) {
    const QString t = trimmed(text.right(6));
    if (t.isEmpty()) return false;
    qsizetype i = 0;
    if (t[0] == u'-') ++i;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') digits = true;
        else if (c == u'.' && !point) point = true;
        else return false;
    }
    return digits;
}

QString tag_stored_ch_text(const QString& value, int ch, clsLOGGER_SETTING& s) {
    if (s.Ch_input_type(ch) == QLatin1String("-")) return QString();
    const QString t = trimmed(value);
    const ValueKind kind = value_kind(t);
    if (kind == ValueKind::OverCode || kind == ValueKind::OverMark) return kStoredOverRange;
    if (kind == ValueKind::UnderCode || kind == ValueKind::UnderMark) return kStoredUnderRange;
    // A channel in use without a value, or a field the logger garbled, is no
    // measurement: counted, it would skew the average.
    if (!tag_is_measured(t)) return kStoredMissing;
    const qint32 c = s.Ch_data_count(ch);
    if (c == std::numeric_limits<qint32>::max()) throw OverflowError("count beyond the 32-bit range");
    s.let_Ch_data_count(ch, c + 1);
    return QStringLiteral("    ") + platform::rightAlign(t, 6);
}

void reset_tag_statistics(clsLOGGER_SETTING& s) {
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_min(ch, QStringLiteral("99999"));
        s.let_Ch_max(ch, QStringLiteral("-9999"));
        s.let_Ch_ave(ch, QStringLiteral("0"));
        s.let_Ch_sum(ch, 0.0);
        s.let_Ch_h_sum(ch, QString(9, u' '));
        s.let_Ch_l_sum(ch, QString(9, u' '));
        s.let_Ch_data_count(ch, 0);
    }
}

void tag_stat_update(clsLOGGER_SETTING& s, const QString& value, int c) {
    const QString t = trimmed(value);
    if (is_range_code(value_kind(t)) || !tag_is_measured(t)) return;
    const double v = t.toDouble();
    const float f = static_cast<float>(v);
    if (f < static_cast<float>(s.Ch_min_value(c))) s.let_Ch_min(c, t);
    if (f > static_cast<float>(s.Ch_max_value(c))) s.let_Ch_max(c, t);
    s.let_Ch_sum(c, s.Ch_sum(c) + v);
}

}  // namespace mq
