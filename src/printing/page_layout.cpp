#include "printing/page_layout.h"

#include <cmath>

#include "model/channel_values.h"
#include "model/cls_logger_setting.h"
#include "platform/numbers.h"

namespace mq {

namespace {

QString trimmedRight(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' ')) --n;
    return s.left(n);
}

// The whole text, blanks around it aside, is a plain decimal number.
bool readNumber(const QString& text, double* out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

}  // namespace

int log_first_capacity(bool settingsBlock, bool computedBlock) {
    return 45 - 6 * int(settingsBlock) - 9 * int(computedBlock);
}

int tag_first_capacity(bool settingsBlock, bool computedBlock) {
    return 47 - 5 * int(settingsBlock) - 5 * int(computedBlock);
}

PageCount print_page_count(qint32 records, qint32 firstCapacity) {
    const qint32 r = qMax<qint32>(0, records);
    const qint32 f = firstCapacity;
    PageCount pc;
    if (r <= f) {
        pc.first_rows = r;
        return pc;
    }
    pc.first_rows = f;
    pc.middle_pages = (r - f) / kRowsPerLaterPage;
    pc.last_rows = (r - f) % kRowsPerLaterPage;
    pc.page_total = pc.middle_pages + 1 + (pc.last_rows > 0 ? 1 : 0);
    return pc;
}

QString page_number_text(qint32 pageNo, qint32 pageTotal) {
    return platform::format(pageNo, QStringLiteral("####0")) + QStringLiteral(" / ") +
           platform::format(pageTotal, QStringLiteral("####0"));
}

QString channel_head(const clsLOGGER_SETTING& s, int ch) {
    const QString prefix = QStringLiteral("CH%1 [").arg(ch + 1);
    const QString code = s.Ch_input_type(ch);
    if (code == QLatin1String("-")) return prefix + QStringLiteral(" ]");
    if (code == QLatin1String("V")) return prefix + s.Ch_unit(ch) + QLatin1Char(']');
    return prefix + QStringLiteral("ﾟC ]");
}

QString channel_value_format(const clsLOGGER_SETTING& s, int ch) {
    const QString code = s.Ch_input_type(ch);
    if (code == QLatin1String("-")) return QString();
    if (code == QLatin1String("V")) {
        const int decimals = s.Ch_period_pos(ch);
        return decimals == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
    }
    return QStringLiteral("0.0");
}

QString block_cell_text(const QString& text) { return platform::rightAlign(trimmedRight(text), 9); }

QString format_graph_text(const QString& text, const QString& format) {
    double v = 0;
    if (format.isEmpty() || !readNumber(text, &v)) return text;
    return platform::format(v, format);
}

QString print_ch_cell_text(const clsLOGGER_SETTING& s, const QString& value, int ch) {
    const QString code = s.Ch_input_type(ch);
    if (code == QLatin1String("-")) return QString(10, QLatin1Char(' '));
    if (value == QLatin1String("  U.R.") || value == QLatin1String("  O.R.")) return platform::rightAlign(value, 10);
    double number = 0;
    if (!readNumber(value, &number)) return platform::rightAlign(trimmedRight(value), 10);

    const float v = float(number);
    QString m1 = QStringLiteral("  ");
    if (float(s.Ch_max_value(ch)) == v) m1 = QStringLiteral("▲");
    if (float(s.Ch_min_value(ch)) == v) m1 = QStringLiteral("▼");
    const QChar m2 = alarm_band_letter(alarm_band(alarm_limits(s, ch), number));
    return m1 + m2 + QLatin1Char(' ') + platform::rightAlign(trimmedRight(value), 6);
}

}  // namespace mq
