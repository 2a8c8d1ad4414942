#pragma once
// The main window's commands and status texts are derived, never switched one
// by one: command_state_of() decides them from the link, the operating mode
// and the open data windows, and HOME::refresh_command_state() shows the
// result. Every change of those (connecting, dropping the link, a change of
// mode, a data window opened, closed or activated) ends with a refresh.
#include <QString>

#include "model/op_mode.h"

namespace mq {

struct CommandInputs {
    bool connected = false;      // a logger is connected (link_connected_flag)
    OpMode mode = OpMode::None;  // the operating mode the program is in
    int data_windows = 0;        // data windows in the window table
    bool graph_windows = false;  // one of them can be drawn as a graph (TAG data cannot)
    bool opening_file = false;   // the file-open command is running
    QString model_text;          // the connected logger's model text (16 characters)
    QString user_model_text;     // its user model name, as taken when it connected
};

struct CommandState {
    bool logger_commands = false;  // the commands that need a logger: read, settings, lists, device, defaults
    bool read = false;             // reading (the card of MEMORY mode is read as files)
    bool data_commands = false;    // close, close all, save, print and the window arrangements
    bool graph_commands = false;   // the graph button and "グラフ描画"
    bool graph_menu = false;       // the graph menu itself (TAG data has no graph)
    bool open = false;             // the open button
    bool connected_look = false;   // the document area in the colour of a connected program
    QString panels[4];             // status-bar panels 1 to 4
};

// The status text of an operating mode ("動作：ログモード", ...; "動作：" for none).
QString mode_status_text(OpMode mode);

CommandState command_state_of(const CommandInputs& in);

}  // namespace mq
