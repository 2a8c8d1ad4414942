#pragma once
// Recording settings and per-channel statistics of one data set (one LOG area,
// one tag, the PC-side defaults or one opened file).
//
// Property convention (the same in every value class of the model):
//   Get is  name(args)            e.g. QString Ch_min(int ch) const;
//   Let is  let_name(args, value) e.g. void let_Ch_min(int ch, const QString& text);
//   Variants: name_str     fixed-width right-aligned text,
//             name_value   the unscaled number.
//
// Channel arguments are channel indexes 0 to 3 (CH1 to CH4); any other index
// raises OutOfRangeError. The class handles no error itself: an overflow after
// scaling raises OverflowError, a date text that does not convert raises
// ConversionError, and a failed Let leaves the property unchanged.
//
// Scaled values. Alarm values, statistics and integration values are held as
// integers: the value times a factor. The factor of a channel is looked up at
// every Let and Get from its current input-type code and decimal position:
// code "V" -> decimal position 1: 10, 2: 100, 3: 1000, anything else: 1;
// any other code: 10. So set Ch_input_type and Ch_period_pos first.
//
// Setting a scaled value from text: a text containing "." is a value in display
// units (the leading number of the text, 0 when there is none, times the
// factor); a text without "." is already the scaled integer. The result is
// rounded to the nearest integer, a half to the even neighbour. The class never
// checks that a text is a number.
//
// Optional values (the two alarm values and the integration base) may be "not
// set": the texts "-----" and "------" mark that state, which reads "-----" and
// holds 0. A new object has them set, with value 0.
//
// Fixed-length texts (log_name, Worker, Comment 8 characters, Ch_unit 3,
// Ch_input_type 1) are cut or padded with blanks on the right to their width
// in characters; a new object holds NUL characters in every position.
// Dates are civil times (QDateTime labelled Qt::UTC); a new object holds the
// zero date 1899/12/30 00:00:00.
#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <array>

namespace mq {

class clsLOGGER_SETTING {
public:
    static constexpr int kChannels = 4;

    clsLOGGER_SETTING();

    // Statistics counts.
    qint32 Ch_data_count(int ch) const;
    void let_Ch_data_count(int ch, qint32 value);
    QString Ch_data_count_str(int ch) const;  // right-aligned in 8
    qint32 data_count() const;
    void let_data_count(qint32 value);
    QString data_count_str() const;  // right-aligned in 10

    // Integration values (scaled).
    QString Ch_l_sum(int ch) const;  // stored integer right-aligned in 8
    void let_Ch_l_sum(int ch, const QString& text);
    double Ch_l_sum_value(int ch) const;
    QString Ch_h_sum(int ch) const;  // stored integer right-aligned in 8
    void let_Ch_h_sum(int ch, const QString& text);
    double Ch_h_sum_value(int ch) const;

    // Running sum of the channel's values in display units, for the average.
    double Ch_sum(int ch) const;
    void let_Ch_sum(int ch, double value);

    // Average, minimum, maximum (scaled); text forms right-aligned in 5.
    QString Ch_ave(int ch) const;
    void let_Ch_ave(int ch, const QString& text);
    double Ch_ave_value(int ch) const;
    QString Ch_min(int ch) const;
    void let_Ch_min(int ch, const QString& text);
    double Ch_min_value(int ch) const;
    QString Ch_max(int ch) const;
    void let_Ch_max(int ch, const QString& text);
    double Ch_max_value(int ch) const;

    // Optional scaled values. Text forms: "-----" when not set, else the stored
    // integer right-aligned in 5; a stored 0 of the integration base reads " 0000".
    QString Ch_sum_std_count(int ch) const;
    void let_Ch_sum_std_count(int ch, const QString& text);
    double Ch_sum_std_count_value(int ch) const;
    QString Ch_low_alarm_count(int ch) const;
    void let_Ch_low_alarm_count(int ch, const QString& text);
    double Ch_low_alarm_count_value(int ch) const;
    QString Ch_high_alarm_count(int ch) const;
    void let_Ch_high_alarm_count(int ch, const QString& text);
    double Ch_high_alarm_count_value(int ch) const;

    // Channel definition.
    QString Ch_unit(int ch) const;  // 3 characters
    void let_Ch_unit(int ch, const QString& text);
    quint8 Ch_period_pos(int ch) const;
    void let_Ch_period_pos(int ch, quint8 value);
    qint16 Ch_scale_max(int ch) const;
    void let_Ch_scale_max(int ch, qint16 value);
    QString Ch_scale_max_str(int ch) const;  // blank in place of a plus sign, right-aligned in 5
    qint16 Ch_scale_min(int ch) const;
    void let_Ch_scale_min(int ch, qint16 value);
    QString Ch_scale_min_str(int ch) const;
    // Input-type code: "K", "E", "J", "T" thermocouples, "V" voltage, "-" not used.
    QString Ch_input_type(int ch) const;  // 1 character
    void let_Ch_input_type(int ch, const QString& text);

    // Recording start and stop.
    QDateTime stop_time() const;
    void let_stop_time(const QDateTime& value);
    // 12 digits yymmddhhnnss; all zeros (no stop time yet) sets the stop to the start.
    QString stop_time_str() const;
    void let_stop_time_str(const QString& digits);
    QDateTime start_time() const;
    void let_start_time(const QDateTime& value);
    QString start_time_str() const;  // 12 digits yymmddhhnnss
    void let_start_time_str(const QString& digits);
    QString Disp_StartTime() const;  // "yyyy/mm/dd hh:nn:ss"
    QString Disp_StopTime() const;

    // Texts of the data set.
    QString Comment() const;  // 8 characters
    void let_Comment(const QString& text);
    QString Worker() const;  // 8 characters
    void let_Worker(const QString& text);
    QString record_interval() const;  // "hh:nn:ss", stored as given
    void let_record_interval(const QString& text);
    QString record_interval_str() const;  // 6 digits hhnnss
    void let_record_interval_str(const QString& digits);
    quint8 area_no() const;
    void let_area_no(quint8 value);
    QString area_no_str() const;  // two digits
    QString log_name() const;  // 8 characters
    void let_log_name(const QString& text);

    // Alarm record counts; text forms right-aligned in 10.
    qint32 CH_L_ALM_NUM(int ch) const;
    void let_CH_L_ALM_NUM(int ch, qint32 value);
    QString CH_L_ALM_NUM_str(int ch) const;
    qint32 CH_H_ALM_NUM(int ch) const;
    void let_CH_H_ALM_NUM(int ch, qint32 value);
    QString CH_H_ALM_NUM_str(int ch) const;

private:
    // The scale factor of a channel as described above.
    double factor(int ch) const;

    struct OptionalScaled {
        qint32 value = 0;
        bool notSet = false;
    };
    using ChInts = std::array<qint32, kChannels>;

    qint32 scaleText(int ch, const QString& text) const;
    void setOptional(int ch, OptionalScaled& slot, const QString& text);
    QString optionalText(const OptionalScaled& slot, bool zeroAsFourZeros) const;

    QString m_log_name;
    quint8 m_area_no = 0;
    QString m_record_interval;
    QString m_Worker;
    QString m_Comment;
    QDateTime m_start_time;
    QDateTime m_stop_time;
    std::array<QString, kChannels> m_Ch_input_type;
    std::array<qint16, kChannels> m_Ch_scale_min{};
    std::array<qint16, kChannels> m_Ch_scale_max{};
    std::array<quint8, kChannels> m_Ch_period_pos{};
    std::array<QString, kChannels> m_Ch_unit;
    std::array<OptionalScaled, kChannels> m_Ch_high_alarm_count{};
    std::array<OptionalScaled, kChannels> m_Ch_low_alarm_count{};
    std::array<OptionalScaled, kChannels> m_Ch_sum_std_count{};
    ChInts m_Ch_min{};
    ChInts m_Ch_max{};
    ChInts m_Ch_ave{};
    std::array<double, kChannels> m_Ch_sum{};
    ChInts m_Ch_h_sum{};
    ChInts m_Ch_l_sum{};
    qint32 m_data_count = 0;
    ChInts m_Ch_data_count{};
    ChInts m_CH_L_ALM_NUM{};
    ChInts m_CH_H_ALM_NUM{};
};

}  // namespace mq
