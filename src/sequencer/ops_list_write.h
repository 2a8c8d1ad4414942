#pragma once
// Operations 30 (op_write_worker_list) and 40 (op_write_comment_list): the 20
// entries of the worker-name or comment list, one command each, from the list
// the editor has just stored (list_target_status).
#include <QString>

namespace mq {

class Prog_Dialog;

// The command that writes entry n (1-20): template characters 1-6, n as two
// digits, template character 9, the entry cut or blank-padded to 8, the
// template from character 18 on.
QString list_write_command(const QString& templ, int n, const QString& entry);

void op_write_list_run(Prog_Dialog& dlg);

// Registers 30 and 40.
void install_list_write_operations();

}  // namespace mq
