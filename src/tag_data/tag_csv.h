#pragma once
// The TAG CSV export (format tag "TD01-010100") as bytes: CP932 lines ended
// by CR LF, fields joined by "," and never quoted, never split into parts.
// Lines 1-20 carry the identity, the tag's settings and the column heads,
// then one line per record as the window's table shows it, a seven-comma
// line and the minimum, maximum and average lines of the window's summary.
// See docs/file-formats.md.
#include <QString>
#include <QStringList>

#include <array>

#include "platform/safe_file.h"
#include "tag_data/mt1_format.h"

namespace mq {

class clsLOGGER_SETTING;
class clsLOGGER_STATUS;
class IFileProgress;

struct TagCsvSource {
    const clsLOGGER_SETTING& setting;  // settings, per-channel counts, record count
    const clsLOGGER_STATUS& status;    // the file's own status, or the connected logger's
    // The summary table as the window shows it (columns CH1 to CH4).
    std::array<QString, 4> grid_max;
    std::array<QString, 4> grid_min;
    std::array<QString, 4> grid_ave;
};

// Lines 1-20 (without line ends).
QStringList tag_csv_head_lines(const TagCsvSource& src);
// One record line: date-time without the first two digits of the year, CH1
// to CH4 right-aligned in 6 ("3276.7"/"3276.6" as "  O.R."/"  U.R.",
// blank cells as six blanks), worker and comment as they stand.
QString tag_csv_record_line(const TagTableRow& row);
// The seven-comma line and the minimum, maximum and average lines.
QStringList tag_csv_statistics_lines(const TagCsvSource& src);

// Writes the export through a temporary file renamed over the target only
// when complete; takes exactly setting.data_count() records from rows.
FileResult tag_csv_write(const QString& path, const TagCsvSource& src, const TagRowSource& rows,
                         IFileProgress* progress = nullptr);

}  // namespace mq
