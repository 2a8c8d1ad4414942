#pragma once
// What the records reads of one logger area (LOG) and one tag (TAG) share: a
// data set without records is not asked for (a reply of length 0 would only
// time out and drop a healthy link) and its window is handed an empty reply;
// otherwise the logger is checked, the command sent and the whole reply
// received under the progress bar, and the reply handed to the window that
// started the read in full groups of three records and the records of the
// last group. A reply the window refuses (ConversionError, OverflowError from
// the hand-over) ends the read as a reply that never came.
#include <QString>
#include <QtGlobal>

#include <functional>

#include "sequencer/prog_dialog.h"

namespace mq {

// The command of the read and the bytes its reply must have.
struct RecordsRequest {
    QString command;
    qint32 reply_length = 0;
};

struct RecordsRead {
    int number = 0;       // the area or tag
    qint32 records = 0;   // the records its data set holds
    qint16 timeout = 0;   // reply timeout in 50 ms ticks
    // The command, built once the logger has been checked.
    std::function<RecordsRequest()> request;
    // Takes the reply (it may be empty), q full groups and r records in the last.
    std::function<void(const QString& reply, qint32 q, qint16 r)> hand;
};

// The read as an operation (Cancel enabled; a cancel tells the user how to
// stop the logger's sending).
Operation records_read_operation(RecordsRead read);

// The body of that operation.
void run_records_read(Prog_Dialog& dlg, const RecordsRead& read);

}  // namespace mq
