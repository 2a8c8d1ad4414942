#include "sequencer/connect_check_op.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include "main_window/config_files.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/folders.h"

namespace mq {

namespace {

constexpr qint16 kTicks = 10;

// S_CMD entries of the five identity records, in the order they are read.
constexpr int kSteps[5] = {0, 1, 11, 3, 5};

bool sendEntry(int entry) {
    LinkState& ls = link();
    bool ok = false;
    const qint32 len = ls.cmd_s_rsp[entry].trimmed().toInt(&ok);
    return send_data_sub(ls.cmd_s_req[entry], ok ? len : 0, kTicks);
}

// A number field of a record; a field that is not decimal digits reads 0
// (the logger's records are not validated here).
quint8 byteField(const QString& reply, int pos1, int n) {
    bool ok = false;
    const int v = reply.mid(pos1 - 1, n).toInt(&ok);
    return ok && v >= 0 && v <= 255 ? quint8(v) : quint8(0);
}

// The other of the two fast speeds; 0 for 9600, which is never retried.
qint32 otherFastSpeed(qint32 baud) {
    if (baud == 128000) return 19200;
    if (baud == 19200) return 128000;
    return 0;
}

void storeStep(int step, const QString& reply, clsLOGGER_STATUS& st) {
    switch (step) {
    case 1:
        st.let_serial_no(reply.mid(4, 8));
        break;
    case 2:
        st.let_model_name(reply.mid(4, 8));
        st.let_hard_ver(byteField(reply, 14, 2));
        st.let_soft_ver(byteField(reply, 17, 2));
        st.let_special_spec(byteField(reply, 20, 2));
        break;
    case 3:
        st.let_user_model_name(reply.mid(4, 8));
        break;
    case 4:
        st.let_mode_type(byteField(reply, 7, 1));
        break;
    case 5:
        for (int k = 0; k < 4; ++k) {
            const QString t = reply.mid(4 + 5 * k, 4);
            try {
                st.let_ch_offset(k, t.left(3) + QLatin1Char('.') + t.right(1));
            } catch (const Error&) {
                // A field that is not a number leaves that channel's offset as it was.
            }
        }
        break;
    default:
        break;
    }
}

void runConnectCheck(Prog_Dialog& dlg) {
    // The connection's own icon when it is installed; without it the window
    // keeps the program's icon rather than none.
    const QString connectIcon = QDir(platform::programDir()).filePath(QStringLiteral("ico/connect4.ico"));
    if (QFileInfo(connectIcon).isFile()) dlg.setWindowIcon(QIcon(connectIcon));
    send_initial();
    ModelState& m = model();
    if (!m.logger_main) {
        dlg.end_as(Outcome::NoReply);
        return;
    }
    clsLOGGER_STATUS& st = m.logger_main->clsLOGGER_STATUS();
    dlg.set_progress_max(5);

    LinkState& ls = link();
    if (!sendEntry(kSteps[0])) {
        const qint32 start = ls.comm_baud_rate;
        const qint32 other = otherFastSpeed(start);
        if (other == 0) {
            dlg.end_as(Outcome::NoReply);
            return;
        }
        ls.comm_baud_rate = other;
        comm_setting();
        send_initial();
        if (!sendEntry(kSteps[0])) {
            ls.comm_baud_rate = start;
            comm_setting();
            dlg.end_as(Outcome::NoReply);
            return;
        }
        write_comm_set(m.user_dir, ls.comm_port_no, ls.comm_baud_rate);
    }

    for (int step = 1; step <= 5; ++step) {
        if (step > 1 && !sendEntry(kSteps[step - 1])) {
            dlg.end_as(Outcome::NoReply);
            return;
        }
        storeStep(step, rd_string_make(), st);
        dlg.set_progress_value(step);
    }
    dlg.exit_success();
}

}  // namespace

Operation connect_check_operation() {
    Operation op;
    op.phase = QStringLiteral("ロガーとの接続を確認中");
    op.run = &runConnectCheck;
    return op;
}

void prog_install_connect_check() {
    // A check that cannot run (another operation's dialog still showing)
    // is a failed one.
    connection().run_connect_check = [] { return prog_run(nullptr, connect_check_operation()) == Outcome::Done; };
}

}  // namespace mq
