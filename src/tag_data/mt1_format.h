#pragma once
// The ".MT1" TAG data file as bytes (see docs/file-formats.md):
//
//   tag line   20 bytes scrambled: model name (8), "-", "TD01-010100"
//              then CR LF, not scrambled
//   body       one scrambled run without a line end:
//              header (184) | records (57 each) | statistics (72)
//
// The body is always taken by byte counts from the header, never as lines of
// text: a scrambled 'P' is CR and a scrambled 'W' is LF. Every text field is
// CP932, cut or padded with blanks to its exact byte width; a double-byte
// character is never split.
//
// The reader also takes records with a four-digit year (59 bytes each),
// told by a "/" as the fifth byte of the record block.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>

#include "platform/safe_file.h"

namespace mq {

class clsLOGGER_SETTING;
class clsLOGGER_STATUS;
class IFileProgress;

inline constexpr int kMt1TagLineBytes = 20;
inline constexpr int kMt1HeaderBytes = 184;
inline constexpr int kMt1RecordBytes = 57;
inline constexpr int kMt1LongRecordBytes = 59;
inline constexpr int kMt1StatisticsBytes = 72;
inline const char* const kMt1FormatTag = "TD01-010100";

// One record as the TAG window's table holds it: date-time cell
// "yyyy/mm/dd hh:nn:ss", the four channel cells, worker and comment.
struct TagTableRow {
    QString time;
    std::array<QString, 4> ch;
    QString worker;
    QString comment;
};

// Gives the next record of the table in order; false when there is none.
using TagRowSource = std::function<bool(TagTableRow&)>;

// What a file is written from: the data set's settings and statistics, the
// identity (the file's own status, or the connected logger's), and whether it
// is a file data set (its statistics block blanks 0 as "no value").
struct Mt1Sources {
    const clsLOGGER_SETTING& setting;
    const clsLOGGER_STATUS& status;
    bool file_data = false;
};

// ---- writing

// The 20 plain bytes of the tag line.
QByteArray mt1_tag_line(const clsLOGGER_STATUS& status);
// The 184 plain bytes of the header block.
QByteArray mt1_header_block(const Mt1Sources& src);
// The 57 plain bytes of one record.
QByteArray mt1_record_bytes(const TagTableRow& row);
// The 72 plain bytes of the statistics block.
QByteArray mt1_statistics_block(const Mt1Sources& src);

// A channel's value in the file's value format: "0." and as many "0" as the
// decimal position for "V" (the general number text for position 0), "0.0"
// for the other types; right-aligned in 6.
QString mt1_value_text(const clsLOGGER_SETTING& s, int ch, double value);

// Writes the whole file through a temporary file renamed over the target
// only when complete. Takes exactly setting.data_count() records from rows;
// fewer rows, a record count beyond 8 digits or a write error is reported in
// the result and leaves the target as it was.
FileResult mt1_write_file(const QString& path, const Mt1Sources& src, const TagRowSource& rows,
                          IFileProgress* progress = nullptr);

// ---- reading

// One record of the file: its time, the four 6-byte channel fields as they
// stand ("  O.R.", "------", six blanks), worker and comment.
struct Mt1Record {
    QDateTime time;
    std::array<QString, 4> ch;
    QString worker;
    QString comment;
};

struct Mt1Layout {
    qint32 count = 0;         // records
    int record_bytes = 57;    // 57, or 59 with four-digit years
    qint64 records_at = kMt1HeaderBytes;
    qint64 statistics_at = kMt1HeaderBytes;
};

// The scrambled body of a whole file: checks that there are 20 bytes, CR LF
// and a body after them, and that the tag line ends with the format tag.
FileResult mt1_split_file(const QByteArray& file, QByteArray& scrambledBody);

// Reads the header of the unscrambled body into setting and status and works
// out the layout. A body shorter than its header, a number field that is not
// a number or does not fit once scaled, or a body whose length does not match
// its record count is refused with a message, before anything is stored.
FileResult mt1_header_read(const QByteArray& body, clsLOGGER_SETTING& s, clsLOGGER_STATUS& st, Mt1Layout& layout);

// Record i (0-based); false (with the reason in *error) when its date-time
// is not a valid date-time.
bool mt1_record_at(const QByteArray& body, const Mt1Layout& layout, qint32 i, Mt1Record& out, QString* error);

// The same as bytes, for the loader: the record time as the tables write it
// ("yyyy/mm/dd hh:nn:ss", a two-digit year read as 20yy), and the channel,
// worker and comment fields as they stand in the body (CP932; views valid as
// long as the body).
struct Mt1RecordBytes {
    char time[20] = {};
    std::array<QByteArrayView, 4> ch;
    QByteArrayView worker;
    QByteArrayView comment;
};
bool mt1_record_bytes_at(const QByteArray& body, const Mt1Layout& layout, qint32 i, Mt1RecordBytes& out,
                         QString* error);

// The statistics block into the setting's minimum, maximum and average
// (blank fields read as 0). A field out of the setting's range is refused
// with a message, the setting unchanged.
FileResult mt1_statistics_read(const QByteArray& body, const Mt1Layout& layout, clsLOGGER_SETTING& s);

// The message for a file that cannot be a ".MT1" file, with the reason.
QString mt1_corrupt_message(const QString& reason);

}  // namespace mq
