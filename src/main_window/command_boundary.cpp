#include "main_window/command_boundary.h"

#include <exception>

#include "platform/message_box.h"

namespace mq {

QString unexpected_error_message() { return QStringLiteral("エラーが発生しました。"); }

bool run_command_guarded(QWidget* parent, const std::function<void()>& body, const QString& message) {
    try {
        if (body) body();
        return true;
    } catch (...) {
        // Whatever it was, the command is over; say so and go on.
    }
    platform::msgBox(parent, message.isEmpty() ? unexpected_error_message() : message, platform::MsgButtons::OK,
                     platform::MsgIcon::Exclamation);
    return false;
}

void report_event_error() {
    // An error that repeats while its message is up (a paint event) is not
    // reported again on top of it.
    static bool reporting = false;
    if (reporting) return;
    reporting = true;
    platform::msgBox(QApplication::activeWindow(), unexpected_error_message(), platform::MsgButtons::OK,
                     platform::MsgIcon::Exclamation);
    reporting = false;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    return notify_guarded([&] { return QApplication::notify(receiver, event); });
}

}  // namespace mq
