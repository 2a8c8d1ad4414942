#pragma once
// The logger's LOG data reply and the records made from it.
//
// The reply is a run of groups of up to three records: q full groups, then,
// when r is not 0, one group of r records. A group of k records is
// 11 + k * (5c + 1) characters: 7 characters of head, the records, 4 closing
// characters (c = channels in use). Record k (0..2) of a group starts at group
// position 8 + k * (5c + 1) (counted from 1): one 5-character field per
// channel in use, in channel order, then a one-character record flag ("1"
// marks the record).
//
// Record times: record 1 the start time, record N (N >= 2) the stop time;
// record 2 (N >= 3) the start cut to its whole minute plus one minute when the
// interval text is greater than "00:00:30" and the start's seconds are not 0,
// else the start plus the interval; every other record the previous time plus
// the interval ("24:00:00" is one day).
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "log_data/integration.h"
#include "platform/civil_time.h"

namespace mq {

class clsLOGGER_SETTING;
class clsLOGGER_GraphInfo;
class clsLOGGER_DATA;
class clsLOGGER_DATABASE;

namespace platform {
class Grid;
}

// Writes loaded records into the working database's current table and, when
// a records table is given, into its next row (the n-th record written goes
// to row n, the row the table would show it in when read back). The texts
// are built once per record in buffers reused from record to record.
class LogRecordWriter {
public:
    LogRecordWriter(clsLOGGER_DATABASE& db, platform::Grid* table);

    // The mark as the data sets hold it ("*" or empty) and the stored
    // channel texts.
    void add(qint32 No, const QDateTime& t, const QString& mark, const std::array<QString, 4>& cells);
    // Stored channel texts already as UTF-8 bytes (empty: channel not in use),
    // the time as civil seconds.
    void addBytes(qint32 No, qint64 secs, bool marked, const std::array<QByteArrayView, 4>& cells);

    // Records written so far.
    qint32 count() const { return m_rows; }

private:
    void put(qint32 No, QByteArrayView time, QByteArrayView mark, const std::array<QByteArrayView, 4>& cells);

    clsLOGGER_DATABASE& m_db;
    platform::Grid* m_table;
    qint32 m_rows = 0;
    std::string m_mark;
    std::array<std::string, 4> m_cells;
    platform::CivilFormatter m_dates;
    char m_time[48];
    char m_no[16];
};

// Length of a full reply for N records of c channels.
qint64 log_reply_length(qint32 N, int c);

// Number of channels of the settings whose input type is not "-".
int channels_in_use(const clsLOGGER_SETTING& s);

// The time of every record of a recording of n records: record 1 the start,
// record n (n >= 2) the stop; record 2 (n >= 3) the start cut back to its whole
// minute plus one minute when the interval text compares greater than
// "00:00:30" and the start's seconds are not 0, else the start plus the
// interval; every further record the previous one plus the interval.
// ConversionError when the interval is not "hh:mm:ss".
class LogRecordClock {
public:
    LogRecordClock(const QDateTime& start, const QDateTime& stop, const QString& interval, qint32 n);
    // Time of record r (1-based). Records past n follow the interval rule.
    QDateTime time(qint32 r) const;
    // Time of record r by the rule, ignoring the stop time (for recounts).
    QDateTime computed(qint32 r) const;
    // The same as civil seconds (platform/civil_time.h), for the byte road.
    qint64 secs(qint32 r) const;
    qint64 computed_secs(qint32 r) const;

private:
    QDateTime m_start, m_stop, m_second;
    qint64 m_startSecs = 0, m_stopSecs = 0, m_secondSecs = 0;
    qint64 m_step = 0;
    qint32 m_n = 0;
};

// Seconds of an interval text "hh:mm:ss" (hours may exceed 23; "24:00:00" is a
// day). ConversionError for any other text.
qint64 interval_seconds(const QString& interval);

// One record of the reply, its channel values as six-character display texts
// (dot_insert_top_sp): "  12.3", "3276.7", "3276.6", "------" (no value), and
// six blanks for a channel not in use.
struct LogReplyRecord {
    qint32 No = 0;
    QDateTime time;
    QString flag;  // the record flag character
    std::array<QString, 4> values;
};

// One record of the reply as it stands: the 5-character fields of the
// channels in use (empty for the others), the record flag and the record
// time as civil seconds.
struct LogReplyFields {
    qint32 No = 0;
    qint64 secs = 0;
    std::array<QStringView, 4> field;
    QChar flag;
};
class LogReplyFieldVisitor {
public:
    virtual ~LogReplyFieldVisitor() = default;
    virtual void record(const LogReplyFields& rec) = 0;
};
// The split of split_log_reply, handing each record's fields over as they
// stand (views into the reply, valid during the call).
qint32 split_log_reply_fields(const QString& reply, qint32 q, qint16 r, const clsLOGGER_SETTING& s,
                              LogReplyFieldVisitor& visitor);

// The decimals a value field of channel ch (0-3) is read with: the decimal
// position for a "V" channel, 1 for the others.
qint16 log_reply_decimals(const clsLOGGER_SETTING& s, int ch);

// Splits the reply into its q * 3 + r records and hands each to the sink in
// order, with its time. The decimal count is the decimal position for a "V"
// channel, 1 for the others. A reply that ends early yields only its complete
// records; the number handed over is returned.
qint32 split_log_reply(const QString& reply, qint32 q, qint16 r, const clsLOGGER_SETTING& s,
                       const std::function<void(const LogReplyRecord&)>& sink);
// The same handing each record to a visitor (the window's load: no function
// object per record).
class LogReplyVisitor {
public:
    virtual ~LogReplyVisitor() = default;
    virtual void record(const LogReplyRecord& rec) = 0;
};
qint32 split_log_reply(const QString& reply, qint32 q, qint16 r, const clsLOGGER_SETTING& s, LogReplyVisitor& visitor);

// The stored text of a channel value (channel 1..4) on the current data set:
// format_ch_value's text, except that a missing value, and a field that is no
// number at all (blanks only, garbled characters), is stored as "    ------"
// without being counted.
QString stored_ch_text(QString value, int ch);

// True for a text that holds a measured value: an optional "-", digits with
// at most one point, blanks around. Anything else in a value field is taken
// as a missing value.
bool log_value_is_number(const QString& text);

// Stores one record in the data set's working database (current record set)
// and runs its integration step on the stored six-character texts and its
// per-record statistics. missingRows (optional) collects per channel the
// record numbers without a value.
// With a writer the record goes through it (and into its records table).
void log_record_add(clsLOGGER_DATA& ds, const LogReplyRecord& rec,
                    std::array<std::vector<qint32>, 4>* missingRows = nullptr, LogRecordWriter* writer = nullptr);

// log_record_add for every record of a reply, reading each field once: the
// usual fields (a number, "-----", the range codes) straight from their
// characters, any other record through log_record_add. finish() (also on
// destruction) leaves the statistics in the data set's setting.
class LogReplyLoader : public LogReplyFieldVisitor {
public:
    LogReplyLoader(clsLOGGER_DATA& ds, std::array<std::vector<qint32>, 4>& missingRows, LogRecordWriter& writer);
    ~LogReplyLoader() override { finish(); }
    void record(const LogReplyFields& rec) override;
    void finish();

private:
    // The statistics of a channel as the loader keeps them between records.
    struct Running {
        qint32 count = 0;
        double sum = 0;
        float min = 0, max = 0;
        QString minText, maxText;
        bool minChanged = false, maxChanged = false;
    };
    void load();
    bool fast(const LogReplyFields& rec);
    void slow(const LogReplyFields& rec);

    clsLOGGER_DATA& m_ds;
    clsLOGGER_SETTING& m_s;
    std::array<std::vector<qint32>, 4>& m_missing;
    LogRecordWriter& m_writer;
    std::array<bool, 4> m_used{};
    std::array<qint16, 4> m_decimals{};
    std::array<Running, 4> m_run;
    IntegNumbersSetup m_integ;
    bool m_synced = true;
    char m_text[4][16];
};

// Resets the statistics of all four channels to the values a fill starts from.
void reset_log_statistics(clsLOGGER_SETTING& s);

// The graph options a LOG data set takes from its setting after a read from the
// logger: names, alarm and integration levels, every switch off, all channels
// drawn, the drawn range from record 1 to endPos. Colours, labels, line width
// and axes stay as they were.
void log_graph_from_setting(const clsLOGGER_SETTING& s, clsLOGGER_GraphInfo& g, qint32 endPos);

// The graph options a LOG data set starts with: names, alarm and integration
// levels from its settings, the four default colours, every switch off, all
// channels drawn, and the drawn range from record 1 to endPos.
void log_graph_defaults(const clsLOGGER_SETTING& s, clsLOGGER_GraphInfo& g, qint32 endPos);

}  // namespace mq
