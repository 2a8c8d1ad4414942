#include "sequencer/records_read.h"

#include "main_window/conversions.h"
#include "main_window/serial_link.h"
#include "platform/errors.h"
#include "sequencer/seq_state.h"

namespace mq {

Operation records_read_operation(RecordsRead read) {
    Operation op = logger_read_operation([read = std::move(read)](Prog_Dialog& dlg) {
        if (const auto& standIn = seq().records_read_stand_in) {
            standIn(dlg, read);
        } else {
            run_records_read(dlg, read);
        }
    });
    op.works = Works::LoggerRecords;
    return op;
}

void run_records_read(Prog_Dialog& dlg, const RecordsRead& read) {
    if (read.records <= 0) {
        if (read.hand) read.hand(QString(), 0, 0);
        dlg.exit_success();
        return;
    }
    if (dlg.identity_check() != 0) return;

    const RecordsRequest r = read.request();
    dlg.set_progress_value(0);
    dlg.set_progress_max(r.reply_length);
    link().rx_progress_flag = true;
    if (!send_data_sub(r.command, r.reply_length, read.timeout)) {
        dlg.exit_no_reply();
        return;
    }
    const QString reply = rd_string_make();
    dlg.set_progress_value(0);
    dlg.set_progress_max(double(read.records) + 1);
    dlg.process_events();
    // The window may have gone while the reply came in (the hand-over checks).
    // A reply whose records cannot be read ends the read like one that never
    // came, as an unreadable record of a numbered read does; a failure of the
    // working database is no fault of the reply and goes on to the user.
    bool unreadable = false;
    try {
        if (read.hand) read.hand(reply, read.records / 3, qint16(read.records % 3));
    } catch (const ConversionError&) {
        unreadable = true;
    } catch (const OverflowError&) {
        unreadable = true;
    }
    if (unreadable) dlg.exit_no_reply();
    else dlg.exit_success();
}

}  // namespace mq
