#pragma once
// The LOG CSV export (format tag "LD01-010100") as bytes: CP932 lines ended
// by CR LF, fields joined by "," and never quoted. Lines 1-26 carry the
// identity and settings, then one line per record, a six-comma line and five
// statistics lines. A file data set of more than 30,000 records is split into
// part files of 30,000 records in a new folder beside the chosen file. See
// docs/file-formats.md.
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "log_data/ml2_format.h"
#include "model/cls_logger_database.h"
#include "platform/safe_file.h"

namespace mq {

class clsLOGGER_SETTING;
class clsLOGGER_STATUS;
class IFileProgress;

inline constexpr qint32 kCsvSplitRecords = 30000;

struct LogCsvSource {
    const clsLOGGER_SETTING& setting;  // settings, statistics, record count, start and stop
    const clsLOGGER_STATUS& status;    // the file's own status, or the connected logger's
    // The statistics grid as the window shows it: rows "最大値", "最小値",
    // "平均値", columns CH1 to CH4.
    std::array<QString, 4> grid_max;
    std::array<QString, 4> grid_min;
    std::array<QString, 4> grid_ave;
    // A file data set may be split; a logger data set is always one file.
    bool file_data = false;
};

struct LogCsvHooks {
    // Progress (may be null): value r - 1 before each record with a computed
    // time, events serviced once there.
    IFileProgress* progress = nullptr;
    // The sequencer's phase text, set before each file of a file data set:
    // "ファイルへ書き込んでいます。(k/m)".
    std::function<void(const QString&)> set_caption;
};

// Lines 1-26 (without line ends). rangeText is "" for a single file, else
// "( first～last )".
QStringList log_csv_head_lines(const LogCsvSource& src, const QString& rangeText);

// One record line: date-time, CH1 to CH4 (last 6 characters of the stored
// texts, "3276.7"/"3276.6" as "  O.R."/"  U.R."), mark "1" or "0".
QString log_csv_record_line(const QString& dateText, const LogRecord& rec);
// The same from the cells' UTF-8 bytes (the time of rec is not used) into
// out, which must hold 64 bytes more than the date and the cells; the
// length is returned. The line is UTF-8 (ASCII unless a cell is not).
int log_csv_record_chars(QByteArrayView date, const LogRecordBytes& rec, char* out);

// The six-comma line and the five statistics lines.
QStringList log_csv_statistics_lines(const LogCsvSource& src);

// "( first～last )" with the full-width tilde.
QString log_csv_range_text(qint32 first, qint32 last);

// The base of a split export: the chosen file's folder and its file name up
// to its first ".csv" (any letter case); the folders above play no part.
QString csv_split_base(const QString& path);

// Part file k: folder + the file name before its first ".csv" + "_" + k in at
// least two digits + ".csv".
QString csv_split_name_make(const QString& folder, const QString& chosenPath, int k);

// Chooses and creates the folder of a split export: the base itself when
// nothing of that name exists, else the base followed by "_00", "_01", ...
// "_255", the first free one. When every one of them exists, or the folder
// cannot be created, the export stops with a message. folder gets the path
// (no trailing separator).
FileResult csv_split_folder_make(const QString& base, QString& folder, IFileProgress* progress = nullptr);

struct LogCsvOutcome {
    QStringList files;  // the files written, in order
    QString folder;     // the folder created for a split export, else ""
};

// Writes the export of src at path (or split, see above). Takes exactly
// setting.data_count() records from the source. Every file goes through a
// temporary file renamed over its target only when complete; on any failure
// the part files and the folder made by this export are removed again and the
// message says why.
FileResult log_csv_write(const QString& path, const LogCsvSource& src, const LogRecordSource& records,
                         const LogCsvHooks& hooks = {}, LogCsvOutcome* outcome = nullptr);

// The same with the records as the table's bytes (valid until the next
// record is asked for): the export of a window, no text object per cell.
using LogRecordBytesSource = std::function<bool(LogRecordBytes& out)>;
FileResult log_csv_write(const QString& path, const LogCsvSource& src, const LogRecordBytesSource& records,
                         const LogCsvHooks& hooks = {}, LogCsvOutcome* outcome = nullptr);

}  // namespace mq
