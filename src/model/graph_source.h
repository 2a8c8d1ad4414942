#pragma once
// What the trend graph reads of a data window. The LOG data window implements
// it today; the TAG data window can implement it the same way. Access is O(1)
// per record from compact arrays the window keeps (never a query or a text
// parse per record while the graph draws).
//
// Records are numbered 1..record_count(). Channels are 0..3 (CH1..CH4).
// Values are whole numbers in units of the channel's last decimal
// (value_decimals()): 25.3 with one decimal is 253.
#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <limits>

#include "model/data_set_handle.h"

namespace mq {

class IGraphSource {
public:
    // An over- or under-range record ("O.R.", "U.R.").
    static constexpr qint32 kRangeMark = 32767;
    // A record that holds no value of the channel (missing or empty).
    static constexpr qint32 kNoValue = std::numeric_limits<qint32>::min();

    virtual ~IGraphSource() = default;

    virtual qint32 record_count() const = 0;

    // The channel's unit as its column heading gives it ("ﾟC ", " V ", "mV "),
    // empty when the channel is not in use.
    virtual QString channel_unit(int ch) const = 0;

    // Number of decimals of the channel's values (as the table writes them);
    // -1 when the channel holds no number at all.
    virtual int value_decimals(int ch) const = 0;

    // The scaled value of a record, kRangeMark or kNoValue. No range check.
    virtual qint32 value(qint32 record, int ch) const = 0;

    // The record's time, as seconds of the civil clock (QDateTime marked UTC).
    virtual qint64 record_secs(qint32 record) const = 0;

    // True when the record carries a data mark.
    virtual bool marked(qint32 record) const = 0;

    // The recording interval as the window shows it ("hh:nn:ss"; "24:00:00"
    // is one day) and the time of the first and of the last record as the
    // window's setting gives them.
    virtual QString interval_text() const = 0;
    virtual QDateTime start_time() const = 0;
    virtual QDateTime stop_time() const = 0;

    // Runs the window's integration over records first..last (inclusive)
    // against the data set's integration references and publishes the results
    // into the data set's Ch_h_sum / Ch_l_sum, as the window's own fill does.
    virtual void integrate_range(qint32 first, qint32 last) = 0;

    // True while the window shows the upper integration, false for the lower.
    virtual bool shows_upper_integration() const = 0;

    // The data set the records belong to: its setting (statistics,
    // integration references, input types and decimals) and its graph
    // options, which the graph loads when it opens and stores when it closes.
    virtual DataSetHandle data_set() const = 0;
};

// Reads one value cell of a data table ("    25.3", "     O.R.", "  -0.5",
// "-12.50", "▲    25.3", "") the way the graph takes it: the text from the
// first blank on (a mark before it is dropped), the scaled whole number (the
// decimal point dropped, rounded half to even) and, for a number, its count
// of decimals. Range marks give kRangeMark; an empty cell or one without a
// number gives kNoValue and leaves *decimals unchanged.
qint32 graph_cell_value(const QString& cell, int* decimals);

}  // namespace mq
