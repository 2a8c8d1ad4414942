#pragma once
// The command files: the texts of the logger's commands (*.REQ) and the
// lengths of their replies (*.RSP), read once at start-up from the program's
// own config folder into the command tables of the link state (serial_link.h):
// cmd_l_r_req/rsp, cmd_t_r_req/rsp, cmd_s_req/rsp, cmd_k_p_req, cmd_r_p_req.
//
// Each line is STX, the entry text, ETX (anything after the first ETX is
// ignored); line k fills entry k; lines beyond a table's size are ignored.
#include "main_window/serial_link.h"

#include <QString>

namespace mq {

// The entry text of one line: between a leading STX and the first ETX; ""
// when the line does not start with STX or has no ETX.
QString cmd_line_strip(const QString& line);

// Fills the eight tables of link() from configDir (the program's config
// folder). True when all eight files were read to their end; false as soon as
// a file is missing or unreadable or a line yields an empty entry (the tables
// filled so far keep their entries, the rest stay empty).
bool cmd_table_load(const QString& configDir);

// The message for a configuration folder whose command files cannot be read.
QString command_files_missing_message(const QString& configDir);

// The same into a given link state.
bool cmd_table_load(LinkState& st, const QString& configDir);

}  // namespace mq
