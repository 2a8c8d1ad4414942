#pragma once
// What the records reads of one logger area (operation 50) and one tag
// (operation 55) share: a data set without records is not asked for (a
// reply of length 0 would only time out and drop a healthy link) and its
// window is handed an empty reply; otherwise the logger is checked, the
// command sent and the whole reply received under the progress bar, and the
// reply handed to the operation's target window in full groups of three
// records and the records of the last group.
#include <QString>
#include <QtGlobal>

#include <functional>

class QWidget;

namespace mq {

class Prog_Dialog;

// The command of the read and the bytes its reply must have.
struct RecordsRequest {
    QString command;
    qint32 reply_length = 0;
};

using RecordsReplyHook = std::function<void(QWidget* target, const QString& reply, qint32 q, qint16 r)>;

// Runs the read of `records` records: `request` gives the command once the
// logger has been checked; `hand` takes the reply (it may be empty).
void run_records_read(Prog_Dialog& dlg, qint32 records, qint16 timeout, const std::function<RecordsRequest()>& request,
                      const RecordsReplyHook& hand);

}  // namespace mq
