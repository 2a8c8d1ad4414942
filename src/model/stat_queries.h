#pragma once
// What the statistics marking and the alarm colouring of a working database
// need from the windows at call time: the current data set's channel types,
// the progress dialog's bar and the grid of the active LOG data window. The
// window side implements this; the queries themselves are members of
// clsLOGGER_DATABASE (model/cls_logger_database.h).
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include "model/channel_values.h"

namespace mq {

class StatQueryHost {
public:
    virtual ~StatQueryHost() = default;

    // Input-type code of channel ch (1-4) of the current data set; "-" = not recording.
    virtual QString channelInputType(int ch) const = 0;
    // True when the current data set is a file data set (progress is shown then).
    virtual bool currentIsFileData() const = 0;

    // The progress dialog's bar (the host creates the dialog on first use).
    virtual void progressAddMaximum(qint64 n) = 0;
    virtual void progressAdvance(qint64 n) = 0;

    // Sets the text colour of one cell of the active LOG data window's grid.
    virtual void setCellForeColor(qint32 row, int col, quint32 colour) = 0;

    // Lets the event loop run (repaint, Cancel); called every few hundred records.
    virtual void yield() = 0;
};

// Helpers of the queries, public for the callers that format the same texts.

// The number at the start of a text as the query engine reads it: leading
// blanks skipped, reading stops at the first character that cannot continue a
// number; a text without a leading number reads 0.
double channel_text_value(QStringView text);

// Rounds to a whole number, halves to the even neighbour; a text that is not a
// number raises ConversionError.
qint64 round_half_even_text(const QString& text);

// A value formatted "#.0" (no leading zero before the point), blanks in
// front, last six characters.
QString alarm_limit_text(double value);

// A double as a plain decimal text without added blanks ("25.3", "-12", "0.5").
QString plain_number_text(double value);

}  // namespace mq
