#include "model/cls_logger_status.h"

#include <cmath>
#include <limits>
#include <string>

#include "platform/civil_time.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

namespace {

using platform::leftAlign;
using platform::rightAlign;

void checkChannel(int ch) {
    if (ch < 0 || ch >= clsLOGGER_STATUS::kChannels) {
        throw OutOfRangeError("channel index outside 0 to 3: " + std::to_string(ch));
    }
}

void checkEntry(int i) {
    if (i < 0 || i >= clsLOGGER_STATUS::kListEntries) {
        throw OutOfRangeError("list entry outside 0 to 19: " + std::to_string(i));
    }
}

QString nulText(int width) { return QString(width, QChar(u'\0')); }

// A number text converted to single precision: blanks around it and a sign
// are accepted; anything else raises ConversionError.
float singleOf(const QString& text) {
    const double d = platform::toDouble(text);
    if (std::fabs(d) > static_cast<double>(std::numeric_limits<float>::max())) {
        throw OverflowError("number outside single precision: " + text.toStdString());
    }
    return static_cast<float>(d);
}

// The shortest decimal text of a single-precision number (7 significant
// digits, so 0.1f reads "0.1", not its binary expansion).
QString singleText(float f) {
    if (f == 0.0f) return QStringLiteral("0");  // no "-0"
    return platform::cstrSingle(f);
}

qint16 to16(qint32 value) {
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max()) {
        throw OverflowError("value outside 16 bits: " + std::to_string(value));
    }
    return static_cast<qint16>(value);
}

QString twoDigits(int n) { return platform::format(n, QStringLiteral("00")); }

}  // namespace

clsLOGGER_STATUS::clsLOGGER_STATUS()
    : m_serial_no(nulText(8)),
      m_model_name(nulText(8)),
      m_logger_time(platform::zeroCivil()),
      m_user_model_name(nulText(8)),
      m_file_format(nulText(4)) {
    m_worker_name.fill(nulText(8));
    m_Comment.fill(nulText(8));
}

qint16 clsLOGGER_STATUS::v_shift_ad_count() const { return m_v_shift_ad_count; }
void clsLOGGER_STATUS::let_v_shift_ad_count(qint16 value) { m_v_shift_ad_count = value; }
qint16 clsLOGGER_STATUS::ch_thermistor_ad_count(int ch) const { checkChannel(ch); return m_ch_thermistor_ad_count[ch]; }
void clsLOGGER_STATUS::let_ch_thermistor_ad_count(int ch, qint16 value) { checkChannel(ch); m_ch_thermistor_ad_count[ch] = value; }
quint8 clsLOGGER_STATUS::sel_comment_no() const { return m_sel_comment_no; }
void clsLOGGER_STATUS::let_sel_comment_no(quint8 value) { m_sel_comment_no = value; }
quint8 clsLOGGER_STATUS::sel_worker_no() const { return m_sel_worker_no; }
void clsLOGGER_STATUS::let_sel_worker_no(quint8 value) { m_sel_worker_no = value; }
qint16 clsLOGGER_STATUS::v_shift_count() const { return m_v_shift_count; }
void clsLOGGER_STATUS::let_v_shift_count(qint16 value) { m_v_shift_count = value; }
qint16 clsLOGGER_STATUS::ch_thermistor_count(int ch) const { checkChannel(ch); return m_ch_thermistor_count[ch]; }
void clsLOGGER_STATUS::let_ch_thermistor_count(int ch, qint16 value) { checkChannel(ch); m_ch_thermistor_count[ch] = value; }

QString clsLOGGER_STATUS::ch_scale_count(int ch) const {
    checkChannel(ch);
    return rightAlign(singleText(m_ch_scale_count[ch] * 10.0f), 5);
}
void clsLOGGER_STATUS::let_ch_scale_count(int ch, const QString& text) {
    checkChannel(ch);
    m_ch_scale_count[ch] = singleOf(text) / 10.0f;
}
float clsLOGGER_STATUS::ch_scale_count_value(int ch) const { checkChannel(ch); return m_ch_scale_count[ch]; }

qint16 clsLOGGER_STATUS::ch_ad_count(int ch) const { checkChannel(ch); return m_ch_ad_count[ch]; }
void clsLOGGER_STATUS::let_ch_ad_count(int ch, qint16 value) { checkChannel(ch); m_ch_ad_count[ch] = value; }

QString clsLOGGER_STATUS::Comment(int i) const { checkEntry(i); return m_Comment[i]; }
void clsLOGGER_STATUS::let_Comment(int i, const QString& text) { checkEntry(i); m_Comment[i] = leftAlign(text, 8); }
QString clsLOGGER_STATUS::worker_name(int i) const { checkEntry(i); return m_worker_name[i]; }
void clsLOGGER_STATUS::let_worker_name(int i, const QString& text) { checkEntry(i); m_worker_name[i] = leftAlign(text, 8); }

quint8 clsLOGGER_STATUS::battery_type() const { return m_battery_type; }
void clsLOGGER_STATUS::let_battery_type(quint8 value) { m_battery_type = value; }
quint8 clsLOGGER_STATUS::remain_backup_battery() const { return m_remain_backup_battery; }
void clsLOGGER_STATUS::let_remain_backup_battery(quint8 value) { m_remain_backup_battery = value; }
quint8 clsLOGGER_STATUS::remain_battery() const { return m_remain_battery; }
void clsLOGGER_STATUS::let_remain_battery(quint8 value) { m_remain_battery = value; }
qint32 clsLOGGER_STATUS::remain_memory() const { return m_remain_memory; }
void clsLOGGER_STATUS::let_remain_memory(qint32 value) { m_remain_memory = value; }
QString clsLOGGER_STATUS::user_model_name() const { return m_user_model_name; }
void clsLOGGER_STATUS::let_user_model_name(const QString& text) { m_user_model_name = leftAlign(text, 8); }
quint8 clsLOGGER_STATUS::lcd_contrast_level() const { return m_lcd_contrast_level; }
void clsLOGGER_STATUS::let_lcd_contrast_level(quint8 value) { m_lcd_contrast_level = value; }

bool clsLOGGER_STATUS::alarm_sound() const { return m_alarm_sound != 0; }
void clsLOGGER_STATUS::let_alarm_sound(quint8 value) { m_alarm_sound = value; }
bool clsLOGGER_STATUS::key_sound() const { return m_key_sound != 0; }
void clsLOGGER_STATUS::let_key_sound(quint8 value) { m_key_sound = value; }
bool clsLOGGER_STATUS::auto_poweroff() const { return m_auto_poweroff != 0; }
void clsLOGGER_STATUS::let_auto_poweroff(quint8 value) { m_auto_poweroff = value; }
bool clsLOGGER_STATUS::back_light() const { return m_back_light != 0; }
void clsLOGGER_STATUS::let_back_light(quint8 value) { m_back_light = value; }

QString clsLOGGER_STATUS::ch_offset(int ch) const {
    checkChannel(ch);
    const float v = m_ch_offset[ch];
    const QString text = v > 0.0f ? u'+' + singleText(v) : singleText(v);
    return rightAlign(text, 5);
}
void clsLOGGER_STATUS::let_ch_offset(int ch, const QString& text) {
    checkChannel(ch);
    m_ch_offset[ch] = singleOf(text) / 10.0f;
}
float clsLOGGER_STATUS::ch_offset_value(int ch) const { checkChannel(ch); return m_ch_offset[ch]; }

QDateTime clsLOGGER_STATUS::logger_time() const { return m_logger_time; }
void clsLOGGER_STATUS::let_logger_time(const QDateTime& value) { m_logger_time = value; }

quint8 clsLOGGER_STATUS::mode_type() const { return m_mode_type; }
void clsLOGGER_STATUS::let_mode_type(quint8 value) { m_mode_type = value; }
quint8 clsLOGGER_STATUS::record_state() const { return m_record_state; }
void clsLOGGER_STATUS::let_record_state(quint8 value) { m_record_state = value; }
quint8 clsLOGGER_STATUS::lock_state() const { return m_lock_state; }
void clsLOGGER_STATUS::let_lock_state(quint8 value) { m_lock_state = value; }

qint32 clsLOGGER_STATUS::proof_60mv_count() const { return m_proof_60mv_count; }
void clsLOGGER_STATUS::let_proof_60mv_count(qint32 value) { m_proof_60mv_count = to16(value); }
qint32 clsLOGGER_STATUS::proof_0mv_count() const { return m_proof_0mv_count; }
void clsLOGGER_STATUS::let_proof_0mv_count(qint32 value) { m_proof_0mv_count = to16(value); }
qint32 clsLOGGER_STATUS::proof_m10mv_count() const { return m_proof_m10mv_count; }
void clsLOGGER_STATUS::let_proof_m10mv_count(qint32 value) { m_proof_m10mv_count = to16(value); }

quint8 clsLOGGER_STATUS::special_spec() const { return m_special_spec; }
void clsLOGGER_STATUS::let_special_spec(quint8 value) { m_special_spec = value; }
QString clsLOGGER_STATUS::special_spec_str() const { return twoDigits(m_special_spec); }
quint8 clsLOGGER_STATUS::soft_ver() const { return m_soft_ver; }
void clsLOGGER_STATUS::let_soft_ver(quint8 value) { m_soft_ver = value; }
QString clsLOGGER_STATUS::soft_ver_str() const { return twoDigits(m_soft_ver); }
quint8 clsLOGGER_STATUS::hard_ver() const { return m_hard_ver; }
void clsLOGGER_STATUS::let_hard_ver(quint8 value) { m_hard_ver = value; }
QString clsLOGGER_STATUS::hard_ver_str() const { return twoDigits(m_hard_ver); }

QString clsLOGGER_STATUS::model_name() const { return m_model_name; }
void clsLOGGER_STATUS::let_model_name(const QString& text) { m_model_name = leftAlign(text, 8); }
QString clsLOGGER_STATUS::model_name_in_file() const { return QString(m_model_name).remove(QChar(0)); }
QString clsLOGGER_STATUS::serial_no() const { return m_serial_no; }
void clsLOGGER_STATUS::let_serial_no(const QString& text) { m_serial_no = leftAlign(text, 8); }
QString clsLOGGER_STATUS::file_format() const { return m_file_format; }
void clsLOGGER_STATUS::let_file_format(const QString& text) { m_file_format = leftAlign(text, 4); }

QString clsLOGGER_STATUS::Ch_shift(int ch) const {
    checkChannel(ch);
    return (QStringLiteral("   ") + QString::number(m_Ch_shift[ch])).right(4);
}
void clsLOGGER_STATUS::let_Ch_shift(int ch, const QString& text) {
    checkChannel(ch);
    double v = platform::val(text);
    if (text.contains(u'.')) v *= 10.0;
    m_Ch_shift[ch] = platform::toInt16(v);
}

}  // namespace mq
