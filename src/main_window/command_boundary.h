#pragma once
// The boundary around every command and operation: an error that nothing on
// the way caught (a record or file the program cannot read, a database that
// fails) ends the command with a message, never the program, so that the
// other windows and their unsaved data stay.
#include <QString>

#include <functional>

class QWidget;

namespace mq {

// The message of an error no procedure names a message for.
QString unexpected_error_message();

// Runs body; an exception out of it is shown as `message` (the default when
// empty) in an exclamation box over parent. True when body ended normally.
bool run_command_guarded(QWidget* parent, const std::function<void()>& body, const QString& message = {});

}  // namespace mq
