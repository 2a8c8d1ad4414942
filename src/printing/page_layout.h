#pragma once
// The arithmetic and texts of a printed table that need no printer: how many
// rows go on which page, the channel heads, and the texts of the value cells.
#include <QString>
#include <QtGlobal>

namespace mq {

class clsLOGGER_SETTING;

// Rows per page after the first.
inline constexpr int kRowsPerLaterPage = 50;

// Rows the first page takes, by the blocks printed above the table.
// LOG: 45, less 6 for the settings block and 9 for the computed-values block.
int log_first_capacity(bool settingsBlock, bool computedBlock);
// TAG: 47, less 5 for each block.
int tag_first_capacity(bool settingsBlock, bool computedBlock);

struct PageCount {
    qint32 first_rows = 0;    // rows on the first page
    qint32 middle_pages = 0;  // full pages of 50 rows after the first
    qint32 last_rows = 0;     // rows on the last, short page; 0: no such page
    qint32 page_total = 1;

    bool operator==(const PageCount&) const = default;
};

// The pages of `records` rows when the first page takes `firstCapacity`.
// A negative record count counts as none.
PageCount print_page_count(qint32 records, qint32 firstCapacity);

// "2 / 7": page number and total, each in "####0".
QString page_number_text(qint32 pageNo, qint32 pageTotal);

// Column head of channel ch (0-3): "CH1 [ ]" unused, "CH1 [" unit "]" for a
// voltage input, "CH1 [ﾟC ]" for a thermocouple.
QString channel_head(const clsLOGGER_SETTING& s, int ch);

// Number format of channel ch in the computed-values blocks: "" unused,
// "0.0" thermocouple, "0." and Ch_period_pos zeros ("0" for 0) voltage.
QString channel_value_format(const clsLOGGER_SETTING& s, int ch);

// A block cell's text: trailing blanks removed, right-aligned in 9 (a longer
// text keeps its last 9 characters).
QString block_cell_text(const QString& text);

// A graph text put into a channel's number format: a text that is a number
// gets the format's decimals; any other text stays as it is.
QString format_graph_text(const QString& text, const QString& format);

// The cell text of one channel value of a record row, judged against the
// data set's statistics and alarm values. `value` is the last six characters
// of the table cell, range codes already turned into "O.R."/"U.R.".
//  - channel not in use: ten blanks;
//  - "  O.R." / "  U.R.": right-aligned in ten, no marks;
//  - a number: the max/min mark ("▲", "▼" - the minimum wins - or two
//    blanks), the alarm letter ("H"/"L", never for a voltage input, else a
//    blank), a blank, and the value right-aligned in six. All comparisons are
//    in single precision.
//  - any other text (a missing value "------", or a bare "O.R."): the text
//    right-aligned in ten without marks.
QString print_ch_cell_text(const clsLOGGER_SETTING& s, const QString& value, int ch);

}  // namespace mq
