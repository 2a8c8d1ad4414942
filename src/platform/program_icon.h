#pragma once
// The program's one icon: the main window, its child windows and every
// dialog show it (set as the application's window icon at start).
#include <QIcon>

namespace mq::platform {

QIcon programIcon();

// Makes programIcon() the application's window icon.
void installProgramIcon();

}  // namespace mq::platform
