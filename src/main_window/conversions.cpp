#include "main_window/conversions.h"

#include <QRegularExpression>
#include <cmath>

#include "model/channel_values.h"
#include "model/common_proc.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

namespace {

const QString kSixBlanks = QStringLiteral("      ");

// The blanks removed and, when d > 0, a point before the last d digits. A
// number with no more than d digits is padded with zeros so that the point has
// a digit before it ("5", d 2 -> "0.05"); a text without digits gets no point.
QString insertPoint(const QString& t, qint16 d) {
    const QString s = space_delete(t);
    if (d <= 0) return s;
    const bool negative = s.startsWith(u'-');
    QString body = negative ? s.mid(1) : s;
    if (body.isEmpty()) return s;
    if (body.size() <= d) body.prepend(QString(d + 1 - body.size(), u'0'));
    body.insert(body.size() - d, u'.');
    return negative ? QStringLiteral("-") + body : body;
}


QString unitOf(const QString& code, const QString& voltageUnit) {
    if (code == u"-") return QStringLiteral(" ");
    if (code == u"V") return voltageUnit;
    return QStringLiteral("ﾟC ");
}

// Limits of the alarm and integration-base values of one thermocouple type.
struct Limits {
    float highMax;      // highest high alarm and integration base
    float lowMax;       // highest low alarm
    const char* reset;  // reset text of the high alarm
};

const Limits* limitsOf(const QString& code) {
    static const Limits k{1370.0f, 1369.9f, "1370.0"};
    static const Limits ej{700.0f, 699.9f, "700.0"};
    static const Limits t{400.0f, 399.9f, "400.0"};
    if (code == u"K") return &k;
    if (code == u"E" || code == u"J") return &ej;
    if (code == u"T") return &t;
    return nullptr;
}

// Limits are compared in single precision on both sides, so a value typed as
// the limit itself ("1369.9") is accepted.
float single(const QString& text) { return static_cast<float>(platform::toDouble(text)); }

void saveListCount(clsLOGGER_SETTING& s, const QString& rec) {
    const qint32 count = platform::toInt32(platform::toDouble(rec.mid(7, 8)));
    // A count below zero, or beyond what any logger memory holds, is a
    // garbled record, not a count: refused here, it ends the read like any
    // unreadable record before anything is sized by it.
    if (count < 0 || count > kLoggerMaxRecords)
        throw ConversionError("record count out of range: " + rec.mid(7, 8).toStdString());
    s.let_data_count(count);
}

}  // namespace

QString dot_insert_top_sp(const QString& t, qint16 d) {
    if (t == u"-----") return QStringLiteral("------");
    if (t == u"32767") return QStringLiteral("3276.7");
    if (t == u"32766") return QStringLiteral("3276.6");
    // A negative value with all its digits ("-300.00") is seven characters:
    // padded, never cut, so that its sign stays.
    return platform::padLeft(insertPoint(t, d), 6);
}

QString dot_insert_btm_sp(const QString& t, qint16 d) { return platform::leftAlign(insertPoint(t, d), 6); }

QString space_delete(const QString& t) {
    if (!t.contains(u' ')) return t;
    QString out = t;
    out.remove(u' ');
    return out;
}

QString smsm_add_zero(const QString& t) {
    if (t.isEmpty()) return t;
    const qsizetype n = t.size();
    if (t[0] != u'-') {
        switch (n) {
            case 1: return QStringLiteral(" 000") + t;
            case 2: return QStringLiteral(" 00") + t;
            case 3: return QStringLiteral(" 0") + t;
            case 4: return QStringLiteral(" ") + t;
            default: return t;
        }
    }
    const QString body = t.mid(1);
    switch (n) {
        case 1: return QString();  // "-" alone has no digits to carry
        case 2: return QStringLiteral("-000") + body;
        case 3: return QStringLiteral("-00") + body;
        case 4: return QStringLiteral("-0") + body;
        default: return t;  // already signed and four digits or more: keep the sign
    }
}

QString dot_delete(const QString& t) {
    if (t == u"------") return QStringLiteral("-----");
    QString out = t;
    out.remove(u'.');
    return out;
}

QString over_under_conv(const QString& t) {
    if (t == kLoggerOverRangeText) return kOverRangeMark.toString();
    if (t == kLoggerUnderRangeText) return kUnderRangeMark.toString();
    return t;
}

QString file_save_over_under_conv(const QString& t) {
    if (t == kLoggerOverRangeText) return QStringLiteral("  ") + kOverRangeMark.toString();
    if (t == kLoggerUnderRangeText) return QStringLiteral("  ") + kUnderRangeMark.toString();
    return t;
}

QString file_read_dim_over_under_conv(const QString& t) { return t; }

QString grid_disp_format_mk(const QString& t) {
    if (t != kOverRangeMark && t != kUnderRangeMark) return space_delete(t) + u' ';
    return kSixBlanks + space_delete(t);
}

qint16 ch_period_pos_read(int ch) {
    if (get_cur_ch_kind(ch) == u"V") return static_cast<qint16>(get_cur_ch_period_pos(ch));
    return 1;
}

QString ch_ave_format_conv(qint16 ch, QString& t) {
    const double x = platform::toDouble(t);
    const double r = x < 0 ? -0.5 : 0.5;
    const clsLOGGER_SETTING& setting = cur_setting_by_kind();
    const QString code = setting.Ch_input_type(ch);
    const int p = setting.Ch_period_pos(ch);

    // Rounded half away from zero to the channel's scale, shown with as many
    // decimals as the scale has zeros.
    const int scale = channel_scale(code, p);
    double rounded = std::trunc(x * scale + r) / scale;
    const int decimals = scale == 1000 ? 3 : scale == 100 ? 2 : scale == 10 ? 1 : 0;
    const QString picture = decimals == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(decimals, u'0');
    if (rounded == 0) rounded = 0.0;  // a small negative average is shown as 0, not -0
    t = platform::cstrNumber(rounded);
    return platform::rightAlign(platform::format(rounded, picture), 6);
}

QString data_gamen_ch_unit_conv(int ch) {
    const QString code = get_cur_ch_kind(ch);
    return unitOf(code, code == u"V" ? get_cur_ch_unit(ch) : QString());
}

QString file_data_gamen_ch_unit_conv(const clsFILE_DATA& f, int ch) {
    const clsLOGGER_SETTING& setting = f.clsLOGGER_SETTING();
    const QString code = setting.Ch_input_type(ch);
    return unitOf(code, code == u"V" ? setting.Ch_unit(ch) : QString());
}

qint16 data_ari_ch_count_mk(const clsLOGGER_SETTING& s) {
    qint16 count = 0;
    for (int ch = 0; ch < 4; ++ch) {
        if (s.Ch_input_type(ch) != u"-") ++count;
    }
    return count;
}

namespace {

// The alarm value kept when it lies in its type's range and beyond the other
// alarm (above it for the high alarm); else its replacement.
QString alarm_checked(const QString& code, QString& value, const QString& other, bool high) {
    const Limits* lim = limitsOf(code);
    if (!lim) return value;
    const float v = single(value);
    const float o = single(other);
    const bool ok = high ? (v >= -199.9f && v <= lim->highMax && v > o) : (v >= -200.0f && v <= lim->lowMax && v < o);
    if (!ok) value = high ? QString::fromLatin1(lim->reset) : QStringLiteral("-200.0");
    return value;
}

}  // namespace

QString high_max_chk(const QString& code, QString& high, const QString& low) { return alarm_checked(code, high, low, true); }

QString low_max_chk(const QString& code, QString& low, const QString& high) { return alarm_checked(code, low, high, false); }

QString sum_max_chk(const QString& code, QString& base) {
    const Limits* lim = limitsOf(code);
    if (!lim) return base;
    const float b = single(base);
    if (!(b >= -200.0f && b <= lim->highMax)) base = QStringLiteral("0.0");
    return base;
}

QDateTime add_interval(QDateTime start, QString interval) {
    // A whole day is not a time of day; it is taken as twelve hours twice.
    if (interval == u"24:00:00") {
        return start.addSecs(12 * 3600).addSecs(12 * 3600);
    }
    static const QRegularExpression re(QStringLiteral("^ *(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))? *$"));
    const QRegularExpressionMatch m = re.match(interval);
    if (!m.hasMatch()) throw ConversionError("not a time of day: " + interval.toStdString());
    const int h = m.captured(1).toInt();
    const int mi = m.captured(2).toInt();
    const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    if (h > 23 || mi > 59 || s > 59) throw ConversionError("not a time of day: " + interval.toStdString());
    return start.addSecs(qint64(h) * 3600 + mi * 60 + s);
}

void log_data_ct_save(clsLOGGER_SETTING& s, const QString& rec) { saveListCount(s, rec); }

void tag_data_ct_save(clsLOGGER_SETTING& s, const QString& rec) { saveListCount(s, rec); }

qint16 fileDataExc_AsciiToBinary(QString t) {
    const ValueKind kind = value_kind(t);
    if (kind == ValueKind::OverCode || kind == ValueKind::OverMark) return 32767;
    if (kind == ValueKind::UnderCode || kind == ValueKind::UnderMark) return 32766;
    const qsizetype dot = t.indexOf(u'.');
    if (dot >= 0) t.remove(dot, 1);
    return platform::toInt16(platform::toDouble(t));
}

QString Disp_DATETIME(QDateTime d) {
    return QString::number(d.date().year()) + u'/' + QStringLiteral("%1").arg(d.date().month(), 2, 10, QChar(u'0')) +
           u'/' + QStringLiteral("%1").arg(d.date().day(), 2, 10, QChar(u'0')) + u' ' +
           d.time().toString(QStringLiteral("HH:mm:ss"));
}

QString Disp_DATA(QString code, qint16 p, QString t) {
    // The statistics display blanks out a value it does not show before it
    // formats it; a blank text stays blank.
    if (blanks_trimmed(t).isEmpty()) return t;
    QString picture = QStringLiteral("0.0");
    if (code == u"V") {
        switch (p) {
            case 1: picture = QStringLiteral("0.0"); break;
            case 2: picture = QStringLiteral("0.00"); break;
            case 3: picture = QStringLiteral("0.000"); break;
            default: picture = QStringLiteral("0"); break;
        }
    }
    return platform::format(platform::toDouble(t), picture);
}

QString csvstring_alm_sumbsc(QString code, QString t) {
    if (code == u"-" || code == u"V") return QStringLiteral("------");
    return platform::rightAlign(platform::format(platform::toDouble(t), QStringLiteral("0.0")), 6);
}

QString lblstr_AndCharacterChk(QString t) {
    t.replace(u'&', QStringLiteral("&&"));
    return t;
}

}  // namespace mq
