#pragma once
// The LOG data file ".ML2" (format tag "LD20") as bytes, with no window and no
// dialog: building the scrambled header, the packed records and the footer,
// and reading them back into a data set's settings, status and graph options.
// The layout is described in docs/file-formats.md.
//
// Records come in and go out as plain LogRecord values, one at a time (a
// source function for the writers, a sink function for the readers), so that a
// full logger memory needs no copy of the whole table.
//
// Channel texts of a record are the texts the data model stores: ten
// characters, four blanks and the value right-aligned in six ("      25.3"),
// "     O.R." and "     U.R." for over and under range, "    ------" for a
// missing value, and the empty text for a channel that is not used.
#include <QByteArray>

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <array>
#include <functional>

#include "platform/safe_file.h"

#include "log_data/log_records.h"

namespace mq {

class clsLOGGER_SETTING;
class clsLOGGER_STATUS;
class clsLOGGER_GraphInfo;
class IFileProgress;

struct LogRecord {
    qint32 No = 0;                 // record number, 1 for the first
    QDateTime time;                // record time
    QString mark;                  // "*" for a data mark (any text containing "*" counts), else ""
    std::array<QString, 4> ch;     // stored channel texts CH1..CH4 (see above)
    // Readers only: the value texts the statistics and integration take
    // ("25.3", "  O.R.", "  U.R.", "------", six blanks for an unused channel).
    std::array<QString, 4> value;
};

// Hands the writer the next record in table order; false when there is none.
using LogRecordSource = std::function<bool(LogRecord& out)>;
// Takes one record read from a file; false stops the reading (a cancel).
using LogRecordSink = std::function<bool(const LogRecord& rec)>;

// The stored form of a missing value ("------"), and the reserved 16-bit
// code that carries it in the records region.
inline constexpr qint16 kMl2MissingValue = 32765;
inline constexpr qint16 kMl2OverRange = 32767;
inline constexpr qint16 kMl2UnderRange = 32766;

inline constexpr int kMl2HeaderSize = 236;
inline constexpr int kMl2RecordStart = 512;
inline constexpr int kMl2BlockSize = 84;
inline constexpr int kMl2FooterSize = 1024;

// ---- times of the records ----------------------------------------------------


// ---- writing ---------------------------------------------------------------------

// The 236-character header text of the data set, before scrambling. Every
// field is checked: a text with a character outside single-byte CP932, or a
// number needing more digits than its field, refuses the save with a message
// naming the field.
FileResult ld20_header_make(const clsLOGGER_SETTING& setting, const clsLOGGER_STATUS& status, QByteArray& out);

// The footer (1024 bytes). The channel comments (16 bytes) and the title (32
// bytes) are cut at a character boundary when longer; their characters must
// have CP932 codes. Every other text must be single-byte.
FileResult ld20_footer_make(const clsLOGGER_SETTING& setting, const clsLOGGER_GraphInfo& graph,
                            const clsLOGGER_STATUS& status, QByteArray& out);

// The alarm bits of a record's status byte for a value (display units) of
// channel ch (0-3): 4 beyond the high alarm value, 2 beyond the low one, the
// comparisons turned round when the high value lies below the low one; none
// on a voltage channel or a channel not in use. This is the file format's
// rule, not the display rule of alarm_band: an alarm value that is not set
// counts as 0, so with neither set every positive value has bit 2 and every
// negative one bit 1. Other readers of the files rely on these bits.
int ld20_alarm_status_bits(const clsLOGGER_SETTING& setting, int ch, double value);

// The three bytes of one channel of one record: value high byte, low byte,
// status. valueText is the stored channel text (its last 6 characters count).
// Alarm bits: ld20_alarm_status_bits.
// ConversionError when the text is not a value, OverflowError beyond 16 bits.
std::array<quint8, 3> ld20_channel_bytes(const QString& valueText, bool marked, const clsLOGGER_SETTING& setting,
                                         int ch);

// Packs records into the records region: the byte stream of the records cut
// into 84-byte blocks, the last one filled with zero bytes.
class Ld20RecordPacker {
public:
    explicit Ld20RecordPacker(const clsLOGGER_SETTING& setting);
    // Appends one record's bytes; a full block is handed to flush.
    void add(const LogRecord& rec, const std::function<void(const QByteArray& block)>& flush);
    // Hands the last partly filled block to flush, if any.
    void finish(const std::function<void(const QByteArray& block)>& flush);
    int record_size() const { return m_recordSize; }

private:
    const clsLOGGER_SETTING& m_setting;
    std::array<int, 4> m_used{};
    int m_usedCount = 0;
    int m_recordSize = 0;
    QByteArray m_block;
    int m_fill = 0;
};

struct Ml2Sources {
    const clsLOGGER_SETTING& setting;   // settings, statistics, record count
    const clsLOGGER_STATUS& status;     // identity (the file's own, or the connected logger's)
    const clsLOGGER_GraphInfo& graph;   // graph options
};

// Builds the whole file: scrambled header, 276 zero bytes, the records (or CR
// LF when there are none), the footer. Takes exactly setting.data_count()
// records from the source; a source that ends early refuses the save.
// progress (may be null): value r - 1 before record r, events serviced.
FileResult ml2_build(QByteArray& out, const Ml2Sources& src, const LogRecordSource& records,
                     IFileProgress* progress = nullptr);

// Writes the file at path through a temporary file renamed over the target
// only on success; on failure nothing is left behind and the message says why.
FileResult ml2_write_file(const QString& path, const Ml2Sources& src, const LogRecordSource& records,
                          IFileProgress* progress = nullptr);

// ---- reading ---------------------------------------------------------------------

// The format tag of a file: its unscrambled bytes 208 to 211 ("LD20"), or the
// empty array for a file shorter than the header.
QByteArray ml2_format_tag(const QByteArray& fileStart);

// The first 236 bytes of the file (still scrambled), read by byte count since
// a scrambled byte may be CR or LF. A file shorter than that is refused.
FileResult ml2_read_header_bytes(const QString& path, QByteArray& scrambled);
// The same from the bytes of the whole file already read (path names it in
// the message).
FileResult ml2_header_bytes_of_file(const QByteArray& file, const QString& path, QByteArray& scrambled);

struct Ml2HeaderInfo {
    // Start and stop time equal, or a record count of 0: the recording ended
    // abnormally; the window warns and recounts (emg_file_recount).
    bool abnormal = false;
};

// Cuts the unscrambled header into the file data set's setting and status
// (status mode_type is left to the caller). A field that does not convert,
// a negative record count or a header without any channel in use refuses
// the file.
FileResult ld20_header_read(const QByteArray& plain, clsLOGGER_SETTING& setting, clsLOGGER_STATUS& status,
                            Ml2HeaderInfo& info);

// True when the header's record count (at least 1) is what the records region
// holds: the footer stands at the offset the count gives (the zero padding of
// the last block aside), or the file ends there. A file whose start and stop
// times are equal but whose count matches (one record) is no abnormal file.
bool ml2_count_matches(const QByteArray& file, const clsLOGGER_SETTING& setting);

// The records of the header's count that the bytes behind the header can hold
// at most: what the table may be sized for before anything is read.
qint32 ml2_records_that_fit(qint64 fileSize, const clsLOGGER_SETTING& setting);

// Bytes per record of the setting's used channels (3 per channel, 0 for none).
int ml2_record_size(const clsLOGGER_SETTING& setting);

// Offset of the footer for n records of the given size: 512 + 84 × blocks, or
// 514 with no block.
qint64 ml2_footer_offset(qint64 n, int recordSize);

// Where the footer of a whole file is: at its computed offset (from the
// setting's record count and channels) when the interval text stands at +8;
// else, when the last 1024 bytes carry the interval text at +8, there; else
// the first occurrence of the interval text from byte 236 on, 8 bytes back,
// with leading zero bytes skipped. -1 when there is none.
qint64 ml2_footer_find(const QByteArray& file, const clsLOGGER_SETTING& setting);

// Recount of an abnormally ended file: the records are the bytes of the
// records region (from byte 512 up to the footer when there is one, else to
// the end) divided by the record size; data_count and the stop time (by the
// record-time rule) are set in the setting. Fails (stop time left at the
// start) only when the interval text is not an interval.
FileResult emg_file_recount(const QByteArray& file, clsLOGGER_SETTING& setting);

// Reads a footer into the graph options and the statistics of the setting.
// Missing bytes at the end of a cut-off footer read as zero bytes.
void ld20_footer_read(const QByteArray& footer, clsLOGGER_SETTING& setting, clsLOGGER_GraphInfo& graph);

// Graph options of an ".ML2" file without footer.
void ml2_graph_defaults(const clsLOGGER_SETTING& setting, clsLOGGER_GraphInfo& graph);

// Value text of a stored 16-bit value for a channel scale (10, 100, 1000, 1).
QString ld20_value_text(qint16 v, int scale);
// The stored channel text of a value text ("" for an unused channel).
QString ld20_stored_text(const QString& valueText, bool used);
// Channel scale of the reader: 10, except "V": 10, 100, 1000 by decimal position 1-3, else 1.
int ml2_channel_scale(const clsLOGGER_SETTING& setting, int ch);

struct Ml2LoadResult {
    qint32 header_count = 0;   // records the header promises
    qint32 records_read = 0;   // records handed to the sink
    bool footer_found = false;
    bool short_file = false;   // the records region holds fewer records than the header says
    bool cancelled = false;    // the sink returned false
};

// Reads the footer (or sets the defaults) and hands every record to sink, in
// order, with its time by the record-time rule. Reading stops at the last
// complete record of a short file (short_file is then set).
FileResult ml2_load(const QByteArray& file, clsLOGGER_SETTING& setting, clsLOGGER_GraphInfo& graph,
                    const LogRecordSink& sink, Ml2LoadResult& result);

// Only the records (no footer, no graph options).
FileResult ml2_for_each_record(const QByteArray& file, const clsLOGGER_SETTING& setting, qint64 footerOffset,
                               const LogRecordSink& sink, Ml2LoadResult& result);

// ---- the loaders' road: raw values, texts built in caller buffers -----------------

// One record of the records region as stored: the 16-bit value of each
// channel in use (0 for the others) and the data mark.
struct Ml2RawRecord {
    qint32 No = 0;
    QDateTime time;
    bool marked = false;
    std::array<qint16, 4> raw{};
};

// Takes the raw records of a file one by one; false stops the reading (a cancel).
class Ml2RecordVisitor {
public:
    virtual ~Ml2RecordVisitor() = default;
    virtual bool record(const Ml2RawRecord& rec) = 0;
};

// ml2_load and ml2_for_each_record with raw records: the same footer, record
// count, times and results, without a text per channel and record.
FileResult ml2_load_raw(const QByteArray& file, clsLOGGER_SETTING& setting, clsLOGGER_GraphInfo& graph,
                        Ml2RecordVisitor& visitor, Ml2LoadResult& result);
FileResult ml2_for_each_raw_record(const QByteArray& file, const clsLOGGER_SETTING& setting, qint64 footerOffset,
                                   Ml2RecordVisitor& visitor, Ml2LoadResult& result);

// ld20_value_text and ld20_stored_text (for a channel in use) of a raw value,
// as ASCII bytes into buf (at least 16 bytes); the length is returned.
int ld20_value_chars(qint16 v, int scale, char* buf);
int ld20_stored_chars(qint16 v, int scale, char* buf);
// The number a raw value stands for (exactly what its value text reads as).
inline double ld20_value_number(qint16 v, int scale) { return scale <= 1 ? double(v) : double(v) / double(scale); }

// The message for a file whose records region is shorter than its header count.
QString ml2_short_file_message(qint32 header_count, qint32 records_read);

}  // namespace mq
