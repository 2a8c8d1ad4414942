#pragma once
// Identity and state of one logger: the connected logger's (owned by the
// logger root) or the one that recorded an opened data file (owned by the file
// data set).
//
// Property convention (the same in every value class of the model):
//   Get is  name(args)            e.g. QString worker_name(int i) const;
//   Let is  let_name(args, value) e.g. void let_worker_name(int i, const QString& text);
//   Variants: name_str     fixed-width text,
//             name_value   the stored number.
//
// Index ranges: channels 0 to 3, list entries (worker names, comments) 0 to 19;
// any other index raises OutOfRangeError. The class handles no error itself:
// a 16-bit field set outside its range raises OverflowError, an offset or
// scale-count text that is not a number raises ConversionError, and a failed
// Let leaves the property unchanged.
//
// Fixed-length texts (serial_no, model_name, user_model_name and the list
// entries 8 characters, file_format 4) are cut or padded with blanks on the
// right to their width in characters; a new object holds NUL characters in
// every position. A new object holds zero in every number and the zero date
// 1899/12/30 00:00:00 in logger_time.
//
// The battery, memory, switch, calibration, A/D and thermistor fields are part
// of the logger's status record but nothing fills them yet; they keep zero.
#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <array>

namespace mq {

class clsLOGGER_STATUS {
public:
    static constexpr int kChannels = 4;
    static constexpr int kListEntries = 20;

    clsLOGGER_STATUS();

    qint16 v_shift_ad_count() const;
    void let_v_shift_ad_count(qint16 value);
    qint16 ch_thermistor_ad_count(int ch) const;
    void let_ch_thermistor_ad_count(int ch, qint16 value);
    quint8 sel_comment_no() const;
    void let_sel_comment_no(quint8 value);
    quint8 sel_worker_no() const;
    void let_sel_worker_no(quint8 value);
    qint16 v_shift_count() const;
    void let_v_shift_count(qint16 value);
    qint16 ch_thermistor_count(int ch) const;
    void let_ch_thermistor_count(int ch, qint16 value);

    // Scale count: the text's number / 10 is stored (single precision); the
    // text form is the stored number times 10, shortest form, right-aligned in 5.
    QString ch_scale_count(int ch) const;
    void let_ch_scale_count(int ch, const QString& text);
    float ch_scale_count_value(int ch) const;

    qint16 ch_ad_count(int ch) const;
    void let_ch_ad_count(int ch, qint16 value);

    // Comment and worker-name lists of the logger, entries 0 to 19, 8 characters.
    QString Comment(int i) const;
    void let_Comment(int i, const QString& text);
    QString worker_name(int i) const;
    void let_worker_name(int i, const QString& text);

    quint8 battery_type() const;
    void let_battery_type(quint8 value);
    quint8 remain_backup_battery() const;
    void let_remain_backup_battery(quint8 value);
    quint8 remain_battery() const;
    void let_remain_battery(quint8 value);
    qint32 remain_memory() const;
    void let_remain_memory(qint32 value);
    QString user_model_name() const;  // 8 characters
    void let_user_model_name(const QString& text);
    quint8 lcd_contrast_level() const;
    void let_lcd_contrast_level(quint8 value);

    // Switches: set as a byte, read as true when nonzero.
    bool alarm_sound() const;
    void let_alarm_sound(quint8 value);
    bool key_sound() const;
    void let_key_sound(quint8 value);
    bool auto_poweroff() const;
    void let_auto_poweroff(quint8 value);
    bool back_light() const;
    void let_back_light(quint8 value);

    // Offset in display units. The text carries tenths ("15" stores 1.5); it
    // may have blanks around it and a sign. The text form is "+" before a
    // positive value, then the value's shortest decimal text, right-aligned in
    // 5 (" +1.5", " -0.3", "    0").
    QString ch_offset(int ch) const;
    void let_ch_offset(int ch, const QString& text);
    float ch_offset_value(int ch) const;

    QDateTime logger_time() const;
    void let_logger_time(const QDateTime& value);

    // Operating mode: 1 LOG, 2 TAG, 3 MEMORY, 0 none.
    quint8 mode_type() const;
    void let_mode_type(quint8 value);
    quint8 record_state() const;
    void let_record_state(quint8 value);
    quint8 lock_state() const;
    void let_lock_state(quint8 value);

    // Calibration counts, kept in 16 bits (OverflowError outside).
    qint32 proof_60mv_count() const;
    void let_proof_60mv_count(qint32 value);
    qint32 proof_0mv_count() const;
    void let_proof_0mv_count(qint32 value);
    qint32 proof_m10mv_count() const;
    void let_proof_m10mv_count(qint32 value);

    // Versions and their two-digit texts.
    quint8 special_spec() const;
    void let_special_spec(quint8 value);
    QString special_spec_str() const;
    quint8 soft_ver() const;
    void let_soft_ver(quint8 value);
    QString soft_ver_str() const;
    quint8 hard_ver() const;
    void let_hard_ver(quint8 value);
    QString hard_ver_str() const;

    QString model_name() const;  // 8 characters
    void let_model_name(const QString& text);
    // The model name as the setting files' first line holds it: its 8
    // characters, blanks included, without the NUL characters of a name
    // never read from a logger.
    QString model_name_in_file() const;
    QString serial_no() const;  // 8 characters
    void let_serial_no(const QString& text);
    QString file_format() const;  // 4 characters
    void let_file_format(const QString& text);

    // Shift in tenths. A text containing "." is in display units (its leading
    // number times 10), otherwise it is the tenths; rounded half to even and
    // kept in 16 bits. The text form is the tenths right-aligned in 4.
    QString Ch_shift(int ch) const;
    void let_Ch_shift(int ch, const QString& text);

private:
    using ChShorts = std::array<qint16, kChannels>;
    using List = std::array<QString, kListEntries>;

    QString m_serial_no;
    QString m_model_name;
    quint8 m_hard_ver = 0;
    quint8 m_soft_ver = 0;
    quint8 m_special_spec = 0;
    qint16 m_proof_m10mv_count = 0;
    qint16 m_proof_0mv_count = 0;
    qint16 m_proof_60mv_count = 0;
    quint8 m_record_state = 0;
    quint8 m_lock_state = 0;
    quint8 m_mode_type = 0;
    QDateTime m_logger_time;
    std::array<float, kChannels> m_ch_offset{};
    quint8 m_back_light = 0;
    quint8 m_auto_poweroff = 0;
    quint8 m_key_sound = 0;
    quint8 m_alarm_sound = 0;
    quint8 m_lcd_contrast_level = 0;
    QString m_user_model_name;
    qint32 m_remain_memory = 0;
    quint8 m_remain_battery = 0;
    quint8 m_remain_backup_battery = 0;
    quint8 m_battery_type = 0;
    List m_worker_name;
    List m_Comment;
    ChShorts m_ch_ad_count{};
    std::array<float, kChannels> m_ch_scale_count{};
    ChShorts m_ch_thermistor_count{};
    qint16 m_v_shift_count = 0;
    quint8 m_sel_worker_no = 0;
    quint8 m_sel_comment_no = 0;
    ChShorts m_ch_thermistor_ad_count{};
    qint16 m_v_shift_ad_count = 0;
    QString m_file_format;
    ChShorts m_Ch_shift{};
};

}  // namespace mq
