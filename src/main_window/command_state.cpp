#include "main_window/command_state.h"

namespace mq {

QString mode_status_text(OpMode mode) {
    switch (mode) {
    case OpMode::Log: return QStringLiteral("動作：ログモード");
    case OpMode::Tag: return QStringLiteral("動作：タグ・モード");
    case OpMode::Memory: return QStringLiteral("動作：メモリ・モード");
    default: return QStringLiteral("動作：");
    }
}

CommandState command_state_of(const CommandInputs& in) {
    CommandState s;
    s.logger_commands = in.connected;
    // Reading needs a LOG or TAG memory; the card of MEMORY mode is read as files.
    s.read = in.connected && in.mode != OpMode::Memory;
    s.data_commands = in.data_windows > 0;
    s.graph_commands = s.data_commands && in.graph_windows;
    // Open windows decide by what they hold; without any, TAG mode has no graph.
    s.graph_menu = s.data_commands ? in.graph_windows : in.mode != OpMode::Tag;
    s.open = !in.opening_file;
    s.connected_look = in.connected;
    s.panels[0] = in.connected ? QStringLiteral("接続中") : QStringLiteral("未接続");
    s.panels[1] = QStringLiteral("機種名：") + (in.connected ? in.model_text : QString());
    s.panels[2] = QStringLiteral("機器名称：") + (in.connected ? in.user_model_text : QString());
    s.panels[3] = mode_status_text(in.mode);
    return s;
}

}  // namespace mq
