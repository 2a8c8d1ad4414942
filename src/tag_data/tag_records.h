#pragma once
// The logger's TAG data reply and the records made from it.
//
// The reply is a run of groups of up to three records: q full groups of
// 15n + 59 characters, then, when r is not 0, one group of r records
// (n = channels in use). A group starts with 7 characters of head (the tag
// number at its positions 5 and 6) and ends with 4 characters; record j
// (0..2) of a group starts at group position 8 + j x (5n + 16) (counted from
// 1): one 5-character raw value per channel in use, in channel order, the
// date-time as twelve digits yymmddhhnnss, the worker number (2) and the
// comment number (2).
#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <functional>

namespace mq {

class clsLOGGER_SETTING;
class clsLOGGER_STATUS;

// One record of the reply: its number (from 1), time, channel values as
// six-character display texts (dot_insert_top_sp: "  12.3", "3276.7",
// "3276.6", "------"; six blanks for a channel not in use), and the worker
// and comment numbers as sent.
struct TagReplyRecord {
    qint32 No = 0;
    QDateTime time;
    std::array<QString, 4> values;
    QString worker_no;
    QString comment_no;
};

// The date-time of twelve digits yymmddhhnnss (years 2000-2099);
// ConversionError for anything else or a date-time that does not exist.
QDateTime tag_time_of_digits(QStringView digits);

// Number of channels of the settings whose input type is not "-".
int tag_channels_in_use(const clsLOGGER_SETTING& s);

// Splits the reply into its q x 3 + r records and hands each to the sink in
// order. The decimal count is the decimal position for a "V" channel, 1 for
// the others. A reply that ends early yields only its complete records; the
// number handed over is returned. A date-time that is not one raises
// ConversionError before any record is handed over.
qint32 split_tag_reply(const QString& reply, qint32 q, qint16 r, const clsLOGGER_SETTING& s,
                       const std::function<void(const TagReplyRecord&)>& sink);

// The worker (comment) name of a record's number "01".."20" from the
// logger's lists; any other number, or none, has no name (empty text).
QString tag_worker_name(const clsLOGGER_STATUS& st, const QString& number);
QString tag_comment_name(const clsLOGGER_STATUS& st, const QString& number);

// The stored text of a channel value (channel 0..3) and its count: an unused
// channel gives the empty text; "3276.7"/"O.R." and "3276.6"/"U.R." give
// "     O.R." / "     U.R."; a number gives four blanks and the value
// right-aligned in 6 and counts one into Ch_data_count; a missing value or a
// field that is no number gives "    ------" and counts nothing.
QString tag_stored_ch_text(const QString& value, int ch, clsLOGGER_SETTING& s);

// True when the stored or display text is a measured number.
bool tag_is_measured(const QString& text);

// Resets the statistics of the four channels to the values a fill starts
// from: minimum "99999", maximum "-9999", average "0", sums 0, counts 0.
void reset_tag_statistics(clsLOGGER_SETTING& s);

// Folds one display value into channel c's minimum, maximum and sum (single
// precision comparisons). Blanks, range markers and missing values change
// nothing.
void tag_stat_update(clsLOGGER_SETTING& s, const QString& value, int c);

}  // namespace mq
