#pragma once
// Where the program's dialogs open.
class QWidget;

namespace mq::platform {

// Moves the window to the middle of the primary screen's work area (at its
// present size); without a screen it stays where it is.
void centre_on_screen(QWidget* window);

}  // namespace mq::platform
