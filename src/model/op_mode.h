#pragma once
// The operating mode of a logger, of a data set and of the program: LOG, TAG
// or MEMORY, or none. The logger and the data files carry it as one digit
// (the status byte mode_type); inside the program it is this enum.
#include <QtGlobal>

namespace mq {

enum class OpMode : quint8 { None = 0, Log = 1, Tag = 2, Memory = 3 };

// The mode of a status byte; a value the logger may report beyond the three
// modes is kept as it is, so it still compares equal only to itself.
constexpr OpMode op_mode_of(quint8 modeType) { return static_cast<OpMode>(modeType); }
constexpr quint8 mode_byte(OpMode mode) { return static_cast<quint8>(mode); }

// LOG data (LOG and MEMORY mode) as opposed to TAG data.
constexpr bool is_log_data(OpMode mode) { return mode == OpMode::Log || mode == OpMode::Memory; }

}  // namespace mq
