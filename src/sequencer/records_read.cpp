#include "sequencer/records_read.h"

#include "main_window/conversions.h"
#include "main_window/serial_link.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

namespace mq {

void run_records_read(Prog_Dialog& dlg, qint32 records, qint16 timeout, const std::function<RecordsRequest()>& request,
                      const RecordsReplyHook& hand) {
    if (records <= 0) {
        if (hand) hand(seq().prog_target_window.data(), QString(), 0, 0);
        dlg.exit_success();
        return;
    }
    if (dlg.identity_check() != 0) return;

    const RecordsRequest r = request();
    dlg.set_progress_value(0);
    dlg.set_progress_max(r.reply_length);
    link().rx_progress_flag = true;
    if (!send_data_sub(r.command, r.reply_length, timeout)) {
        dlg.exit_no_reply();
        return;
    }
    const QString reply = rd_string_make();
    dlg.set_progress_value(0);
    dlg.set_progress_max(double(records) + 1);
    dlg.process_events();
    // The window may have gone while the reply came in.
    if (hand) hand(seq().prog_target_window.data(), reply, records / 3, qint16(records % 3));
    dlg.exit_success();
}

}  // namespace mq
