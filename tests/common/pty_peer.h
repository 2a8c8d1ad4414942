#pragma once
// Scripted far ends of a pseudo-terminal for link tests that need exact
// control of timing and failures part-way, which the simulated logger does not
// give. Both run on the test's own event loop (the link runs it while it waits).
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <memory>

namespace mq::test {

// Every complete frame (STX ... ETX CR LF) is recorded and handed to onFrame,
// which answers with write()/writeLater().
class PtyPeer {
public:
    PtyPeer() {
        int m = -1, s = -1;
        char name[256] = {};
        if (::openpty(&m, &s, name, nullptr, nullptr) != 0) return;
        termios t{};
        ::tcgetattr(s, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(s, TCSANOW, &t);
        ::fcntl(m, F_SETFL, ::fcntl(m, F_GETFL) | O_NONBLOCK);
        m_master = m;
        m_slave = s;  // kept open so the pty survives the link's open/close
        m_path = QString::fromLocal8Bit(name);
        m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readMaster(); });
        m_clock.start();
    }
    ~PtyPeer() {
        m_notifier.reset();
        if (m_master >= 0) ::close(m_master);
        if (m_slave >= 0) ::close(m_slave);
    }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool ok() const { return m_master >= 0; }
    QString path() const { return m_path; }

    void write(const QByteArray& b) {
        if (m_master < 0) return;
        qsizetype done = 0;
        while (done < b.size()) {
            const ssize_t n = ::write(m_master, b.constData() + done, size_t(b.size() - done));
            if (n > 0) done += n;
            else ::usleep(100);
        }
    }
    // The far end goes away as an unplugged adapter does: the device hangs
    // up and every read of it fails from now on.
    void vanish() {
        m_notifier.reset();
        if (m_master >= 0) ::close(m_master);
        if (m_slave >= 0) ::close(m_slave);
        m_master = m_slave = -1;
    }
    void writeLater(int ms, const QByteArray& b) {
        QTimer::singleShot(ms, Qt::PreciseTimer, &ctx, [this, b] { write(b); });
    }

    QObject ctx;  // timers of the peer end with it
    std::function<void(const QByteArray& command)> onFrame;
    QList<QByteArray> frames;     // command texts without the frame bytes
    QList<QByteArray> rawFrames;  // as they came, frame bytes included
    QList<qint64> frameTimes;     // ms since the peer's clock started
    QByteArray stray;             // bytes outside any frame
    QElapsedTimer m_clock;

private:
    void readMaster() {
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0) break;
            m_in.append(buf, n);
        }
        for (;;) {
            const qsizetype stx = m_in.indexOf('\x02');
            if (stx < 0) {
                stray += m_in;
                m_in.clear();
                return;
            }
            stray += m_in.left(stx);
            m_in.remove(0, stx);
            const qsizetype end = m_in.indexOf("\x03\r\n");
            if (end < 0) return;
            const QByteArray raw = m_in.left(end + 3);
            m_in.remove(0, end + 3);
            rawFrames << raw;
            frames << raw.mid(1, raw.size() - 4);
            frameTimes << m_clock.elapsed();
            if (onFrame) onFrame(frames.last());
        }
    }

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    QByteArray m_in;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

// A far end answering each command from a table, silent for the first
// `silentFirst` commands and for commands without an entry.
class ScriptedLogger {
public:
    ScriptedLogger() : path(m_peer.path()) {
        m_peer.onFrame = [this](const QByteArray& cmd) {
            received << cmd;
            if (silentFirst > 0) {
                --silentFirst;
                return;
            }
            const auto it = replies.find(cmd);
            if (it != replies.end()) m_peer.write(it->second);
        };
    }
    bool ok() const { return m_peer.ok(); }

private:
    PtyPeer m_peer;  // first, so that path can be taken from it

public:
    QString path;
    std::map<QByteArray, QByteArray> replies;
    QList<QByteArray> received;
    int silentFirst = 0;
};

inline QByteArray framedRecord(const QByteArray& body) { return "\x02" + body + "\x03\r\n"; }

}  // namespace mq::test
