#include "model/cls_logger_setting.h"

#include <string>

#include "model/channel_values.h"
#include "platform/civil_time.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

namespace {

using platform::leftAlign;
using platform::rightAlign;

void checkChannel(int ch) {
    if (ch < 0 || ch >= clsLOGGER_SETTING::kChannels) {
        throw OutOfRangeError("channel index outside 0 to 3: " + std::to_string(ch));
    }
}

QString nulText(int width) { return QString(width, QChar(u'\0')); }

QString twoDigits(int n) { return platform::format(n, QStringLiteral("00")); }

QString number(qint64 n) { return QString::number(n); }

// "yyyy/mm/dd hh:nn:ss" with the year as it stands and every other part in two digits.
QString dispTime(const QDateTime& t) {
    const QDate d = t.date();
    const QTime tm = t.time();
    return number(d.year()) + u'/' + twoDigits(d.month()) + u'/' + twoDigits(d.day()) + u' ' +
           twoDigits(tm.hour()) + u':' + twoDigits(tm.minute()) + u':' + twoDigits(tm.second());
}

// The 12-digit yymmddhhnnss form: the 14 digits of the full date with the
// first two dropped.
QString twelveDigits(const QDateTime& t) {
    const QDate d = t.date();
    const QTime tm = t.time();
    const QString full = number(d.year()) + twoDigits(d.month()) + twoDigits(d.day()) +
                         twoDigits(tm.hour()) + twoDigits(tm.minute()) + twoDigits(tm.second());
    return full.mid(2);
}

// The date text built from 12 digits yymmddhhnnss, in the 21st century.
QString dateTextOfDigits(const QString& digits) {
    return QStringLiteral("20") + digits.mid(0, 2) + u'/' + digits.mid(2, 2) + u'/' + digits.mid(4, 2) +
           u' ' + digits.mid(6, 2) + u':' + digits.mid(8, 2) + u':' + digits.mid(10, 2);
}

}  // namespace

clsLOGGER_SETTING::clsLOGGER_SETTING()
    : m_log_name(nulText(8)),
      m_Worker(nulText(8)),
      m_Comment(nulText(8)),
      m_start_time(platform::zeroCivil()),
      m_stop_time(platform::zeroCivil()) {
    for (int ch = 0; ch < kChannels; ++ch) {
        m_Ch_input_type[ch] = nulText(1);
        m_Ch_unit[ch] = nulText(3);
    }
}

double clsLOGGER_SETTING::factor(int ch) const {
    checkChannel(ch);
    return channel_scale(m_Ch_input_type[ch], m_Ch_period_pos[ch]);
}

qint32 clsLOGGER_SETTING::scaleText(int ch, const QString& text) const {
    const double f = factor(ch);
    double v = platform::val(text);
    if (text.contains(u'.')) v *= f;
    return platform::toInt32(v);
}

void clsLOGGER_SETTING::setOptional(int ch, OptionalScaled& slot, const QString& text) {
    if (text == QStringLiteral("-----") || text == QStringLiteral("------")) {
        checkChannel(ch);
        slot = OptionalScaled{0, true};
        return;
    }
    slot = OptionalScaled{scaleText(ch, text), false};
}

QString clsLOGGER_SETTING::optionalText(const OptionalScaled& slot, bool zeroAsFourZeros) const {
    if (slot.notSet) return QStringLiteral("-----");
    if (zeroAsFourZeros && slot.value == 0) return rightAlign(QStringLiteral("0000"), 5);
    return rightAlign(number(slot.value), 5);
}

// --- statistics counts ---

qint32 clsLOGGER_SETTING::Ch_data_count(int ch) const { checkChannel(ch); return m_Ch_data_count[ch]; }
void clsLOGGER_SETTING::let_Ch_data_count(int ch, qint32 value) { checkChannel(ch); m_Ch_data_count[ch] = value; }
QString clsLOGGER_SETTING::Ch_data_count_str(int ch) const { return rightAlign(number(Ch_data_count(ch)), 8); }
qint32 clsLOGGER_SETTING::data_count() const { return m_data_count; }
void clsLOGGER_SETTING::let_data_count(qint32 value) { m_data_count = value; }
QString clsLOGGER_SETTING::data_count_str() const { return rightAlign(number(m_data_count), 10); }

// --- integration values ---

QString clsLOGGER_SETTING::Ch_l_sum(int ch) const { checkChannel(ch); return rightAlign(number(m_Ch_l_sum[ch]), 8); }
void clsLOGGER_SETTING::let_Ch_l_sum(int ch, const QString& text) { m_Ch_l_sum[ch] = scaleText(ch, text); }
double clsLOGGER_SETTING::Ch_l_sum_value(int ch) const { const double f = factor(ch); return m_Ch_l_sum[ch] / f; }
QString clsLOGGER_SETTING::Ch_h_sum(int ch) const { checkChannel(ch); return rightAlign(number(m_Ch_h_sum[ch]), 8); }
void clsLOGGER_SETTING::let_Ch_h_sum(int ch, const QString& text) { m_Ch_h_sum[ch] = scaleText(ch, text); }
double clsLOGGER_SETTING::Ch_h_sum_value(int ch) const { const double f = factor(ch); return m_Ch_h_sum[ch] / f; }

double clsLOGGER_SETTING::Ch_sum(int ch) const { checkChannel(ch); return m_Ch_sum[ch]; }
void clsLOGGER_SETTING::let_Ch_sum(int ch, double value) { checkChannel(ch); m_Ch_sum[ch] = value; }

// --- average, minimum, maximum ---
// factor() and scaleText() check the channel before any array is touched.

QString clsLOGGER_SETTING::Ch_ave(int ch) const { checkChannel(ch); return platform::padLeft(number(m_Ch_ave[ch]), 5); }
void clsLOGGER_SETTING::let_Ch_ave(int ch, const QString& text) { m_Ch_ave[ch] = scaleText(ch, text); }
double clsLOGGER_SETTING::Ch_ave_value(int ch) const { const double f = factor(ch); return m_Ch_ave[ch] / f; }
QString clsLOGGER_SETTING::Ch_min(int ch) const { checkChannel(ch); return platform::padLeft(number(m_Ch_min[ch]), 5); }
void clsLOGGER_SETTING::let_Ch_min(int ch, const QString& text) { m_Ch_min[ch] = scaleText(ch, text); }
double clsLOGGER_SETTING::Ch_min_value(int ch) const { const double f = factor(ch); return m_Ch_min[ch] / f; }
QString clsLOGGER_SETTING::Ch_max(int ch) const { checkChannel(ch); return platform::padLeft(number(m_Ch_max[ch]), 5); }
void clsLOGGER_SETTING::let_Ch_max(int ch, const QString& text) { m_Ch_max[ch] = scaleText(ch, text); }
double clsLOGGER_SETTING::Ch_max_value(int ch) const { const double f = factor(ch); return m_Ch_max[ch] / f; }

// --- optional scaled values ---

QString clsLOGGER_SETTING::Ch_sum_std_count(int ch) const {
    checkChannel(ch);
    return optionalText(m_Ch_sum_std_count[ch], true);
}
void clsLOGGER_SETTING::let_Ch_sum_std_count(int ch, const QString& text) {
    checkChannel(ch);
    setOptional(ch, m_Ch_sum_std_count[ch], text);
}
double clsLOGGER_SETTING::Ch_sum_std_count_value(int ch) const {
    const double f = factor(ch);
    return m_Ch_sum_std_count[ch].value / f;
}
QString clsLOGGER_SETTING::Ch_low_alarm_count(int ch) const {
    checkChannel(ch);
    return optionalText(m_Ch_low_alarm_count[ch], false);
}
void clsLOGGER_SETTING::let_Ch_low_alarm_count(int ch, const QString& text) {
    checkChannel(ch);
    setOptional(ch, m_Ch_low_alarm_count[ch], text);
}
double clsLOGGER_SETTING::Ch_low_alarm_count_value(int ch) const {
    const double f = factor(ch);
    return m_Ch_low_alarm_count[ch].value / f;
}
QString clsLOGGER_SETTING::Ch_high_alarm_count(int ch) const {
    checkChannel(ch);
    return optionalText(m_Ch_high_alarm_count[ch], false);
}
void clsLOGGER_SETTING::let_Ch_high_alarm_count(int ch, const QString& text) {
    checkChannel(ch);
    setOptional(ch, m_Ch_high_alarm_count[ch], text);
}
double clsLOGGER_SETTING::Ch_high_alarm_count_value(int ch) const {
    const double f = factor(ch);
    return m_Ch_high_alarm_count[ch].value / f;
}

// --- channel definition ---

QString clsLOGGER_SETTING::Ch_unit(int ch) const { checkChannel(ch); return m_Ch_unit[ch]; }
void clsLOGGER_SETTING::let_Ch_unit(int ch, const QString& text) { checkChannel(ch); m_Ch_unit[ch] = leftAlign(text, 3); }
quint8 clsLOGGER_SETTING::Ch_period_pos(int ch) const { checkChannel(ch); return m_Ch_period_pos[ch]; }
void clsLOGGER_SETTING::let_Ch_period_pos(int ch, quint8 value) { checkChannel(ch); m_Ch_period_pos[ch] = value; }

namespace {
// A signed scale text: a blank where a plus sign would stand, right-aligned in 5.
QString scaleStr(qint16 v) {
    return rightAlign(v < 0 ? QString::number(v) : u' ' + QString::number(v), 5);
}
}  // namespace

qint16 clsLOGGER_SETTING::Ch_scale_max(int ch) const { checkChannel(ch); return m_Ch_scale_max[ch]; }
void clsLOGGER_SETTING::let_Ch_scale_max(int ch, qint16 value) { checkChannel(ch); m_Ch_scale_max[ch] = value; }
QString clsLOGGER_SETTING::Ch_scale_max_str(int ch) const { return scaleStr(Ch_scale_max(ch)); }
qint16 clsLOGGER_SETTING::Ch_scale_min(int ch) const { checkChannel(ch); return m_Ch_scale_min[ch]; }
void clsLOGGER_SETTING::let_Ch_scale_min(int ch, qint16 value) { checkChannel(ch); m_Ch_scale_min[ch] = value; }
QString clsLOGGER_SETTING::Ch_scale_min_str(int ch) const { return scaleStr(Ch_scale_min(ch)); }

QString clsLOGGER_SETTING::Ch_input_type(int ch) const { checkChannel(ch); return m_Ch_input_type[ch]; }
void clsLOGGER_SETTING::let_Ch_input_type(int ch, const QString& text) {
    checkChannel(ch);
    m_Ch_input_type[ch] = leftAlign(text, 1);
}

// --- start and stop ---

QDateTime clsLOGGER_SETTING::stop_time() const { return m_stop_time; }
void clsLOGGER_SETTING::let_stop_time(const QDateTime& value) { m_stop_time = value; }
QString clsLOGGER_SETTING::stop_time_str() const { return twelveDigits(m_stop_time); }
void clsLOGGER_SETTING::let_stop_time_str(const QString& digits) {
    const QString text = dateTextOfDigits(digits);
    // Twelve zeros: the recording has no stop time yet.
    if (text == QStringLiteral("2000/00/00 00:00:00")) {
        m_stop_time = m_start_time;
        return;
    }
    m_stop_time = platform::parseCivil(text);
}
QDateTime clsLOGGER_SETTING::start_time() const { return m_start_time; }
void clsLOGGER_SETTING::let_start_time(const QDateTime& value) { m_start_time = value; }
QString clsLOGGER_SETTING::start_time_str() const { return twelveDigits(m_start_time); }
void clsLOGGER_SETTING::let_start_time_str(const QString& digits) {
    m_start_time = platform::parseCivil(dateTextOfDigits(digits));
}
QString clsLOGGER_SETTING::Disp_StartTime() const { return dispTime(m_start_time); }
QString clsLOGGER_SETTING::Disp_StopTime() const { return dispTime(m_stop_time); }

// --- texts ---

QString clsLOGGER_SETTING::Comment() const { return m_Comment; }
void clsLOGGER_SETTING::let_Comment(const QString& text) { m_Comment = leftAlign(text, 8); }
QString clsLOGGER_SETTING::Worker() const { return m_Worker; }
void clsLOGGER_SETTING::let_Worker(const QString& text) { m_Worker = leftAlign(text, 8); }
QString clsLOGGER_SETTING::record_interval() const { return m_record_interval; }
void clsLOGGER_SETTING::let_record_interval(const QString& text) { m_record_interval = text; }
QString clsLOGGER_SETTING::record_interval_str() const {
    return m_record_interval.mid(0, 2) + m_record_interval.mid(3, 2) + m_record_interval.mid(6, 2);
}
void clsLOGGER_SETTING::let_record_interval_str(const QString& digits) {
    m_record_interval = digits.mid(0, 2) + u':' + digits.mid(2, 2) + u':' + digits.mid(4, 2);
}
quint8 clsLOGGER_SETTING::area_no() const { return m_area_no; }
void clsLOGGER_SETTING::let_area_no(quint8 value) { m_area_no = value; }
QString clsLOGGER_SETTING::area_no_str() const { return twoDigits(m_area_no); }
QString clsLOGGER_SETTING::log_name() const { return m_log_name; }
void clsLOGGER_SETTING::let_log_name(const QString& text) { m_log_name = leftAlign(text, 8); }

// --- alarm counts ---

qint32 clsLOGGER_SETTING::CH_L_ALM_NUM(int ch) const { checkChannel(ch); return m_CH_L_ALM_NUM[ch]; }
void clsLOGGER_SETTING::let_CH_L_ALM_NUM(int ch, qint32 value) { checkChannel(ch); m_CH_L_ALM_NUM[ch] = value; }
QString clsLOGGER_SETTING::CH_L_ALM_NUM_str(int ch) const { return rightAlign(number(CH_L_ALM_NUM(ch)), 10); }
qint32 clsLOGGER_SETTING::CH_H_ALM_NUM(int ch) const { checkChannel(ch); return m_CH_H_ALM_NUM[ch]; }
void clsLOGGER_SETTING::let_CH_H_ALM_NUM(int ch, qint32 value) { checkChannel(ch); m_CH_H_ALM_NUM[ch] = value; }
QString clsLOGGER_SETTING::CH_H_ALM_NUM_str(int ch) const { return rightAlign(number(CH_H_ALM_NUM(ch)), 10); }

}  // namespace mq
