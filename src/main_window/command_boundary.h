#pragma once
// The boundary around every command and operation: an error that nothing on
// the way caught (a record or file the program cannot read, a database that
// fails) ends the command with a message, never the program, so that the
// other windows and their unsaved data stay.
#include <QApplication>
#include <QString>

#include <functional>

class QWidget;

namespace mq {

// The message of an error no procedure names a message for.
QString unexpected_error_message();

// Runs body; an exception out of it is shown as `message` (the default when
// empty) in an exclamation box over parent. True when body ended normally.
bool run_command_guarded(QWidget* parent, const std::function<void()>& body, const QString& message = {});

// Delivers one event through deliver(); an error out of it is reported (once
// while its message is up) and the event counts as handled.
void report_event_error();
template <class Deliver>
bool notify_guarded(Deliver&& deliver) {
    try {
        return deliver();
    } catch (...) {
        // Reported outside the handler that failed.
    }
    report_event_error();
    return true;
}

// The program's application object: the last boundary, for a handler of a
// window or dialog that no command boundary encloses. An error out of an
// event is reported like any command's and the event counts as handled.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace mq
