#include "model/graph_source.h"

#include "model/channel_values.h"

namespace mq {

qint32 graph_cell_value(const QString& cell, int* decimals) {
    // The number stands after the cell's first blank: a mark in front of it
    // (the table's maximum and minimum marks) is not part of it.
    qsizetype b = cell.indexOf(QLatin1Char(' '));
    if (b < 0) b = 0;
    const QStringView t = blanks_trimmed(QStringView(cell).mid(b));
    if (t.isEmpty()) return IGraphSource::kNoValue;
    if (is_range_mark(value_kind(t))) return IGraphSource::kRangeMark;

    qsizetype i = 0;
    bool negative = false;
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) {
        negative = t[0] == QLatin1Char('-');
        ++i;
    }
    qint64 v = 0;
    int digits = 0;
    int after = -1;  // digits after the point, -1 while none seen
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == QLatin1Char('.') && after < 0) {
            after = 0;
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return IGraphSource::kNoValue;
        v = v * 10 + (c.unicode() - u'0');
        if (v > std::numeric_limits<qint32>::max()) return IGraphSource::kNoValue;
        ++digits;
        if (after >= 0) ++after;
    }
    // "------" (no value), a lone sign or a lone point carry no number.
    if (digits == 0) return IGraphSource::kNoValue;
    if (decimals) *decimals = after < 0 ? 0 : after;
    return qint32(negative ? -v : v);
}

}  // namespace mq
