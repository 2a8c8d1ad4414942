#pragma once
// The writes of the worker-name list and of the comment list: the 20 entries
// of the list the editor has just stored, one command each.
#include <QString>

#include "sequencer/prog_dialog.h"

namespace mq {

// The command that writes entry n (1-20): template characters 1-6, n as two
// digits, template character 9, the entry cut or blank-padded to 8, the
// template from character 18 on.
QString list_write_command(const QString& templ, int n, const QString& entry);

// The write of the stored worker names (workers) or comments
// (list_target_status()); a failure refreshes the main window's commands.
Operation list_write_operation(bool workers);

}  // namespace mq
