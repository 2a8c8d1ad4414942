#pragma once
// Statistics and H/L integration of LOG data, record by record.
//
// The H integration of a channel sums, over the record intervals, how far the
// channel lay above its integration base times the seconds until the next
// record (a left-rectangle sum); the L integration the same below the base.
// Results are in channel unit times hours, published as 9-character texts in
// the current data set's Ch_h_sum / Ch_l_sum.
//
// One integration runs at a time for the whole program (a LOG window's fill,
// a file load or the graph's range statistics), so its state is program-wide:
// LogDataState, held by the application or a test in a LogDataSlot.
//
// Value texts are the six-character display texts ("  25.3", "3276.7" over
// range, "3276.6" under range, "  O.R."/"  U.R." from files, "------" for a
// missing value, six blanks for a channel not in use). A missing value is no
// measurement: it is not counted, takes no part in minimum, maximum, sum or
// alarm counts, and holds no integration area for the interval after it.
//
// "Current data set": the file data set when act_data_kind is 1; the logger
// data set otherwise (the integration steps and sum_calc_end take the logger
// data set only when the kind is 2 and otherwise the file data set). With no
// such data set the procedures do nothing.
#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <array>

#include "platform/state_slot.h"

namespace mq {

class clsLOGGER_SETTING;

struct LogDataState {
    bool integ_first_flag = false;
    qint64 integ_prev_secs = 0;  // civil seconds of the previous record
    std::array<double, 4> ch_h_integ{};  // unit x seconds
    std::array<double, 4> ch_l_integ{};
    std::array<float, 4> ch_h_hold{};  // distance above the base of the last record
    std::array<float, 4> ch_l_hold{};  // distance below the base of the last record
    std::array<double, 4> ch_h_integ_bank{};
    std::array<double, 4> ch_l_integ_bank{};
    std::array<double, 4> ch_sum_bank{};
};

using LogDataSlot = platform::StateSlot<LogDataState>;
inline LogDataState& log_data_state() { return LogDataSlot::current(); }

// The record numbers of the next folds; each LOG window holds its own.
struct FoldCounters {
    qint32 sum_fold_next = 0;
    qint32 integ_fold_next = 0;
};

// True for the text of a missing value ("-----" or "------", blanks around allowed).
bool is_missing_value(const QString& text);

// True when a channel of this input type takes part in the integration ("K", "E", "J", "T").
bool integrates(const QString& inputType);

// ---- integration --------------------------------------------------------------

// Zeroes sums and holds of all channels; the next step only seeds the holds.
void sum_calc_initial();

// One step for the record shown in row `row` of the active LOG window's table
// (the last six characters of columns 3..6). An empty cell is a missing value.
void h_sum_l_sum_calc(qint32 row, const QDateTime& t);

// One step with the value texts given, on the current file data set.
void h_sum_l_sum_calc_file(const QDateTime& t, const QString& ch1, const QString& ch2, const QString& ch3,
                           const QString& ch4);

// One step with the value texts given, on the given settings (the logger
// fill feeds the stored texts here, so no table cell is waited for).
void h_sum_l_sum_calc_values(const clsLOGGER_SETTING& s, const QDateTime& t, const std::array<QString, 4>& values);

// The integration of records whose values the loader has already read as
// numbers (no value text per record): the channels that integrate, their
// bases and their over- and under-range substitutes, taken once per load.
struct IntegNumbersSetup {
    std::array<bool, 4> on{};
    std::array<float, 4> base{};
    std::array<float, 4> over{};
    std::array<float, 4> under{};
    bool operator==(const IntegNumbersSetup&) const = default;
};
IntegNumbersSetup integ_numbers_setup(const clsLOGGER_SETTING& s);
// What one channel of a record holds for the integration.
enum class IntegValue : quint8 { Number, Missing, Over, Under };
// h_sum_l_sum_calc_values for a record given as numbers at civil seconds
// `secs` (platform/civil_time.h): kind[ch] says whether value[ch] counts or
// the channel is missing or out of range.
void h_sum_l_sum_calc_numbers(const IntegNumbersSetup& setup, qint64 secs, const std::array<IntegValue, 4>& kind,
                              const std::array<float, 4>& value);

// The number the integration uses for a value text of a channel type: the
// type's substitute for over range ("3276.7") and under range ("3276.6"),
// else the text's number.
float integ_value_of(const QString& inputType, const QString& text);

// One channel's step at civil seconds `secs`: adds the held distances times
// the whole seconds since the previous record, then holds this record's
// distance from the base.
void integ_step(float value, float base, qint64 secs, int ch);

// Publishes the integrations of the integrating channels of the current data
// set as Ch_h_sum / Ch_l_sum texts (hours, rounded half up to one decimal).
void sum_calc_end();
void sum_calc_end(clsLOGGER_SETTING& s);

// The 9-character integration text of a sum in unit x seconds.
QString integration_text(double unitSeconds);

// ---- per-record minimum, maximum and sum ---------------------------------------------

// The statistics of one record's four value texts on the current data set.
void stat_record_add(const std::array<QString, 4>& values);
// The same on given settings; fileData selects the file rules (sum only).
void stat_record_add(clsLOGGER_SETTING& s, bool fileData, const std::array<QString, 4>& values);
void stat_value_add(clsLOGGER_SETTING& s, bool fileData, const QString& text, int ch);

// ---- folding of long sums while a file loads -------------------------------------------

void sum_fold_3000(FoldCounters& fold, qint32 n);
void integ_fold_3000(FoldCounters& fold, qint32 n);
void sum_fold_final();

}  // namespace mq
