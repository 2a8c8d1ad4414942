#pragma once
// The LOG data subsystem's side of the sequencer's LOG reads (10, 20, 50):
// the setting records are parsed into the current logger data set, the list
// read fills the area select dialog that started it, the data read hands its
// reply to the LOG window that started it.
#include <functional>

#include <QtGlobal>

namespace mq {

// Registers operations 10, 20 and 50 with their targets; `log_set_value_disp`
// shows area n in the settings editor after operation 20 stored it,
// `unload_log_set_value` unloads the editor on a failed or cancelled read
// (either may be empty). The application calls it once at start-up (tests
// per test).
void install_log_read_operations(std::function<void(qint16 area)> log_set_value_disp = {},
                                 std::function<void()> unload_log_set_value = {});

}  // namespace mq
