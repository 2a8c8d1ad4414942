#pragma once
// A plain raw tty client of the simulated logger, for tests that look at the
// simulator from outside the program.
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace logger_sim {

// A raw client on the slave side, opened and closed like the program does.
class RawClient {
public:
    explicit RawClient(const QString& path) {
        fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0) {
            termios t{};
            ::tcgetattr(fd_, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~RawClient() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    void send(const QByteArray& command) { raw('\x02' + command + "\x03\r\n"); }
    // Sends one command and reads its reply of `want` bytes.
    QByteArray ask(const QByteArray& command, int want) {
        send(command);
        return read(want);
    }
    void raw(const QByteArray& bytes) { ASSERT_EQ(::write(fd_, bytes.constData(), bytes.size()), bytes.size()); }
    // Reads until `want` bytes came (a simulator that stops answering fails
    // the test after a long guard instead of hanging it).
    QByteArray read(int want, QList<qint64>* arrivals = nullptr) {
        return readWhile([want](const QByteArray& got) { return got.size() < want; }, arrivals);
    }
    // Reads until what came ends with `tail`. Silence is checked this way: a
    // command the simulator should not answer is followed by one it answers
    // (the fence); whatever comes before the fence's reply is what the first
    // one produced.
    QByteArray readThrough(const QByteArray& tail) {
        return readWhile([tail](const QByteArray& got) { return !got.endsWith(tail); });
    }

private:
    template <class More>
    QByteArray readWhile(More more, QList<qint64>* arrivals = nullptr) {
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (more(out)) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 1000) <= 0) {
                if (t.elapsed() > kGuardMs) {
                    ADD_FAILURE() << "the simulator stopped after " << out.size() << " bytes";
                    break;
                }
                continue;
            }
            char buf[4096];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n > 0) {
                out.append(buf, static_cast<int>(n));
                if (arrivals) arrivals->append(t.elapsed());
            }
        }
        return out;
    }
    static constexpr qint64 kGuardMs = 120000;

    int fd_ = -1;
};

}  // namespace logger_sim
