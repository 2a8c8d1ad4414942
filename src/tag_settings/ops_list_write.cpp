#include "tag_settings/ops_list_write.h"

#include "main_window/serial_link.h"
#include "model/cls_logger_status.h"
#include "model/cur_accessors.h"
#include "platform/cp932.h"
#include "sequencer/setting_write.h"

namespace mq {

namespace {

constexpr int kWorkerListCommand = 9;
constexpr int kCommentListCommand = 10;

void writeList(Prog_Dialog& dlg, bool workers, const QStringList& entries) {
    if (dlg.identity_check() != 0) return;
    dlg.set_progress_max(20);
    const QString templ = link().cmd_k_p_req[workers ? kWorkerListCommand : kCommentListCommand];
    for (int n = 1; n <= 20; ++n) {
        dlg.set_progress_value(n);
        const WriteReply reply = send_setting_write(list_write_command(templ, n, entries[n - 1]));
        if (reply == WriteReply::NoReply) {
            dlg.exit_no_reply();
            return;
        }
        if (reply == WriteReply::Rejected) {
            const QString what = workers ? QStringLiteral("作業者名") : QStringLiteral("コメント");
            dlg.exit_rejected(setting_write_rejected_message(what + QStringLiteral(" %1").arg(n, 2, 10, QLatin1Char('0'))));
            return;
        }
    }
    dlg.unload();
}

}  // namespace

QString list_write_command(const QString& templ, int n, const QString& entry) {
    return templ.left(6) + QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')) + templ.mid(8, 1) +
           platform::cp932::padToBytes(platform::cp932::cutToBytes(entry, 8), 8) + templ.mid(17);
}

Operation list_write_operation(bool workers) {
    // The list as the editor has just stored it.
    const clsLOGGER_STATUS* status = list_target_status();
    QStringList entries;
    for (int n = 1; n <= 20; ++n) {
        entries << (status ? (workers ? status->worker_name(n - 1) : status->Comment(n - 1)) : QString());
    }
    return logger_write_operation([workers, entries](Prog_Dialog& dlg) { writeList(dlg, workers, entries); },
                                  OnFailure::MainWindow);
}

}  // namespace mq
