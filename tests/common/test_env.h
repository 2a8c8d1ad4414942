#pragma once
// Shared set-up for every test program: a QApplication created once per process,
// a private XDG_RUNTIME_DIR (0700) and a temporary XDG_DATA_HOME, so that tests
// never touch the user's real per-user folder.
#include <QByteArray>
#include <QString>

class QWidget;

namespace mq::test {

// Creates the temporary folders, sets the environment and creates the
// QApplication if none exists yet. Safe to call more than once.
void ensureApplication();

// The temporary XDG_DATA_HOME of this process.
QString dataHome();

// The source tree's config/ folder (command files and default configuration).
QString configDir();

// Runs the event loop until pred() is true; returns pred(). The time-out is
// only a guard against a test that would hang: it is stretched to at least a
// minute (and ten times what is given), so that a busy machine or a
// sanitizer build never turns a slow pass into a failure.
template <class Pred>
bool waitUntil(Pred pred, int timeoutMs = 5000);

void processEventsFor(int ms);

// Runs act() once pred() is true, checking from the event loop without
// blocking it: for answering a modal dialog once an operation it waits for
// has ended (a blocking wait there would hold up that very operation).
template <class Pred, class Act>
void whenTrue(Pred pred, Act act);

// With MQ_SCREENSHOT_DIR set, saves a picture of the widget there as
// <name>.png (run under Xvfb with QT_QPA_PLATFORM=xcb to look at windows as
// the user sees them); otherwise does nothing.
void saveScreenshot(QWidget* widget, const QString& name);

// The bytes of a file, or "<missing>" when it cannot be read.
QByteArray readAll(const QString& path);

// Writes the bytes as the whole file; a failure fails the running test.
void writeAll(const QString& path, const QByteArray& bytes);

// Makes `path` a sparse file of `size` zero bytes (no room on the disk).
void writeSparse(const QString& path, qint64 size);

}  // namespace mq::test

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>

template <class Pred>
bool mq::test::waitUntil(Pred pred, int timeoutMs) {
    const qint64 guardMs = std::max<qint64>(60000, qint64(timeoutMs) * 10);
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > guardMs) return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

template <class Pred, class Act>
void mq::test::whenTrue(Pred pred, Act act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, pred, act] {
        if (!pred()) return;
        poll->stop();
        poll->deleteLater();
        act();
    });
    poll->start(5);
}
