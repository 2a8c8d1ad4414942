#include "logger_sim.h"
#include "logger_state.h"

#include <QDir>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace logger_sim {

namespace {
constexpr char STX = 0x02;
constexpr char ETX = 0x03;
constexpr char NAK = 0x15;
// Longest command the logger takes; anything longer without ETX is noise.
constexpr int kMaxCommand = 4096;
// A reply that cannot be written for this long (nobody reads the line) is dropped.
constexpr int kWriteStallMs = 3000;

using Clock = std::chrono::steady_clock;
}  // namespace

struct Simulator::Impl {
    QString configDir;
    CommandTables tables;
    QString tablesError;
    bool tablesOk = false;

    mutable std::mutex mu;  // guards everything below up to the fds
    std::unique_ptr<LoggerState> state;
    Fault fault = Fault::None;
    int faultCount = 0;  // -1 for ever
    int baud = 9600;
    int gapChunk = 16;
    int gapMs = 120;
    QList<QByteArray> received;
    QString error;
    int nakCountdown = 0;  // the write command that gets NAK, counted down; 0 none

    std::mutex writeMu;  // one writer on the line at a time
    int master = -1;
    int slave = -1;
    int wake[2] = {-1, -1};
    QString path;
    std::thread thread;
    std::atomic<bool> stopping{false};

    void run();
    void handle(const QByteArray& command);
    bool writeAll(const char* data, int size);
    bool writePaced(const QByteArray& bytes, int chunk, double bytesPerMs, int gap);
    // Sleeps, waking early when the simulator stops; false when stopping.
    bool pause(int ms);
};

bool Simulator::Impl::pause(int ms) {
    if (stopping) return false;
    pollfd p{wake[0], POLLIN, 0};
    ::poll(&p, 1, ms);
    return !stopping;
}

bool Simulator::Impl::writeAll(const char* data, int size) {
    int done = 0;
    auto stallStart = Clock::now();
    while (done < size) {
        if (stopping) return false;
        const ssize_t n = ::write(master, data + done, size - done);
        if (n > 0) {
            done += static_cast<int>(n);
            stallStart = Clock::now();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
        // The line is full: wait until the program reads, or give the reply up.
        if (Clock::now() - stallStart > std::chrono::milliseconds(kWriteStallMs)) return false;
        pollfd p[2] = {{master, POLLOUT, 0}, {wake[0], POLLIN, 0}};
        ::poll(p, 2, 20);
    }
    return true;
}

bool Simulator::Impl::writePaced(const QByteArray& bytes, int chunk, double bytesPerMs, int gap) {
    const auto begin = Clock::now();
    for (int off = 0; off < bytes.size(); off += chunk) {
        const int n = std::min(chunk, static_cast<int>(bytes.size()) - off);
        if (off > 0) {
            int waitMs = gap;
            if (bytesPerMs > 0) {
                // Keep to the line speed over the whole reply, not per chunk.
                const auto due = begin + std::chrono::microseconds(static_cast<qint64>(off / bytesPerMs * 1000.0));
                waitMs = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count());
            }
            if (waitMs > 0 && !pause(waitMs)) return false;
        }
        if (!writeAll(bytes.constData() + off, n)) return false;
    }
    return true;
}

void Simulator::Impl::handle(const QByteArray& command) {
    QByteArray reply;
    Fault f;
    int baudNow, chunk, gap;
    {
        std::lock_guard<std::mutex> lock(mu);
        received.append(command);
        const auto id = state->identify(command);
        const bool isWrite = id && (id->table == Table::ListWrite || id->table == Table::SettingWrite);
        const bool refused = isWrite && nakCountdown > 0 && --nakCountdown == 0;
        reply = state->reply(command);
        if (!refused) state->apply(command);
        f = refused ? Fault::Nak : fault;
        if (faultCount > 0 && --faultCount == 0) fault = Fault::None;
        baudNow = baud;
        chunk = gapChunk;
        gap = gapMs;
    }
    std::lock_guard<std::mutex> wlock(writeMu);
    switch (f) {
    case Fault::None: writeAll(reply.constData(), reply.size()); break;
    case Fault::Silence: break;
    case Fault::Nak: {
        const char nak[] = {NAK, '\r', '\n'};
        writeAll(nak, 3);
        break;
    }
    case Fault::Garbled: {
        // Same length, but the closing CR and LF swapped: the frame does not hold.
        QByteArray g = reply;
        if (g.size() >= 2) std::swap(g[g.size() - 1], g[g.size() - 2]);
        writeAll(g.constData(), g.size());
        break;
    }
    case Fault::CutShort: {
        const int n = std::max(1, static_cast<int>(reply.size()) / 2);
        writeAll(reply.constData(), std::min(n, static_cast<int>(reply.size()) - 1));
        break;
    }
    case Fault::SlowWithGaps: writePaced(reply, std::max(1, chunk), 0.0, gap); break;
    case Fault::Paced: {
        // 11 bits per byte: start bit, 8 data bits, parity, stop bit.
        const double bytesPerMs = baudNow / 11.0 / 1000.0;
        const int perChunk = std::max(1, static_cast<int>(bytesPerMs * 5));  // about 5 ms of line time
        writePaced(reply, perChunk, bytesPerMs, 0);
        break;
    }
    case Fault::BytesBeforeFrame: {
        const char noise[] = {'\x00', '\x7F', '\xFF'};
        writeAll(noise, 3);
        writeAll(reply.constData(), reply.size());
        break;
    }
    }
}

void Simulator::Impl::run() {
    QByteArray in;
    char buf[4096];
    while (!stopping) {
        pollfd p[2] = {{master, POLLIN, 0}, {wake[0], POLLIN, 0}};
        const int r = ::poll(p, 2, 200);
        if (r < 0 && errno != EINTR) break;
        if (stopping) break;
        if (!(p[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n <= 0) {
            // EIO would mean no slave is open; ours stays open, so just wait a little.
            if (n < 0 && errno != EAGAIN && errno != EINTR) pause(10);
            continue;
        }
        in.append(buf, static_cast<int>(n));
        // Take every complete frame: STX, text, ETX, CR, LF. Bytes outside a
        // frame are line noise and dropped.
        for (;;) {
            const int stx = in.indexOf(STX);
            if (stx < 0) {
                in.clear();
                break;
            }
            if (stx > 0) in.remove(0, stx);
            const int etx = in.indexOf(ETX, 1);
            const int nextStx = in.indexOf(STX, 1);
            if (nextStx > 0 && (etx < 0 || nextStx < etx)) {
                in.remove(0, nextStx);  // a broken start: begin again at the later STX
                continue;
            }
            if (etx < 0) {
                if (in.size() > kMaxCommand) in.clear();
                break;
            }
            if (in.size() < etx + 3) break;  // CR LF still to come
            const QByteArray command = in.mid(1, etx - 1);
            const bool closed = in.at(etx + 1) == '\r' && in.at(etx + 2) == '\n';
            in.remove(0, closed ? etx + 3 : etx + 1);
            if (closed) handle(command);
        }
    }
}

Simulator::Simulator(const QString& configDir, Scenario s) : d(std::make_unique<Impl>()) {
    d->configDir = configDir;
    d->tablesOk = d->tables.load(configDir, &d->tablesError);
    d->state = std::make_unique<LoggerState>(d->tables, std::move(s));
}

Simulator::~Simulator() { stop(); }

bool Simulator::start() {
    if (d->master >= 0) return true;
    auto failWith = [&](const QString& why) {
        std::lock_guard<std::mutex> lock(d->mu);
        d->error = why;
        return false;
    };
    if (!d->tablesOk) return failWith(d->tablesError);

    const int m = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m < 0) return failWith(QStringLiteral("posix_openpt: %1").arg(qt_error_string(errno)));
    if (::grantpt(m) != 0 || ::unlockpt(m) != 0) {
        ::close(m);
        return failWith(QStringLiteral("grantpt/unlockpt failed"));
    }
    char name[128] = {};
    if (::ptsname_r(m, name, sizeof name) != 0) {
        ::close(m);
        return failWith(QStringLiteral("ptsname failed"));
    }
    // Our own slave descriptor keeps the line up while the program opens and
    // closes the device around every command; raw mode so that nothing is
    // echoed or translated.
    const int sl = ::open(name, O_RDWR | O_NOCTTY);
    if (sl < 0) {
        ::close(m);
        return failWith(QStringLiteral("cannot open %1").arg(QString::fromLocal8Bit(name)));
    }
    termios t{};
    ::tcgetattr(sl, &t);
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    ::tcsetattr(sl, TCSANOW, &t);
    ::fcntl(m, F_SETFL, ::fcntl(m, F_GETFL) | O_NONBLOCK);
    if (::pipe(d->wake) != 0) {
        ::close(sl);
        ::close(m);
        return failWith(QStringLiteral("pipe failed"));
    }
    d->master = m;
    d->slave = sl;
    d->path = QString::fromLocal8Bit(name);
    {
        std::lock_guard<std::mutex> lock(d->mu);
        d->state->startClock();
    }
    d->stopping = false;
    d->thread = std::thread([this] { d->run(); });
    return true;
}

void Simulator::stop() {
    if (d->master < 0) return;
    d->stopping = true;
    const char b = 1;
    [[maybe_unused]] ssize_t w = ::write(d->wake[1], &b, 1);
    if (d->thread.joinable()) d->thread.join();
    ::close(d->wake[0]);
    ::close(d->wake[1]);
    ::close(d->slave);
    ::close(d->master);
    d->wake[0] = d->wake[1] = d->slave = d->master = -1;
}

QString Simulator::devicePath() const { return d->path; }

void Simulator::setFault(Fault f, int count) {
    std::lock_guard<std::mutex> lock(d->mu);
    d->fault = count == 0 ? Fault::None : f;
    d->faultCount = f == Fault::None ? 0 : count;
}

void Simulator::setBaud(int bps) {
    std::lock_guard<std::mutex> lock(d->mu);
    d->baud = bps > 0 ? bps : 9600;
}

void Simulator::setGaps(int chunkBytes, int gapMs) {
    std::lock_guard<std::mutex> lock(d->mu);
    d->gapChunk = std::max(1, chunkBytes);
    d->gapMs = std::max(0, gapMs);
}

void Simulator::injectNoise(const QByteArray& bytes) {
    if (d->master < 0) return;
    std::lock_guard<std::mutex> wlock(d->writeMu);
    d->writeAll(bytes.constData(), bytes.size());
}

void Simulator::setIdentity(const QString& serial, Mode mode) {
    std::lock_guard<std::mutex> lock(d->mu);
    d->state->scenario().serial = serial;
    d->state->scenario().mode = mode;
}

void Simulator::setMode(Mode mode) {
    std::lock_guard<std::mutex> lock(d->mu);
    d->state->scenario().mode = mode;
}

QList<QByteArray> Simulator::received() const {
    std::lock_guard<std::mutex> lock(d->mu);
    return d->received;
}

void Simulator::clearReceived() {
    std::lock_guard<std::mutex> lock(d->mu);
    d->received.clear();
}

QByteArray Simulator::replyFor(const QByteArray& command) const {
    std::lock_guard<std::mutex> lock(d->mu);
    return d->state->reply(command);
}

Scenario Simulator::scenario() const {
    std::lock_guard<std::mutex> lock(d->mu);
    return d->state->scenario();
}

void Simulator::nakNthWrite(int n) {
    std::lock_guard<std::mutex> lock(d->mu);
    d->nakCountdown = n > 0 ? n : 0;
}

QList<QByteArray> Simulator::writesReceived() const {
    std::lock_guard<std::mutex> lock(d->mu);
    QList<QByteArray> out;
    for (const QByteArray& c : d->received) {
        const auto id = d->state->identify(c);
        if (id && (id->table == Table::ListWrite || id->table == Table::SettingWrite)) out.append(c);
    }
    return out;
}

void Simulator::freezeClock(const QDateTime& at) {
    std::lock_guard<std::mutex> lock(d->mu);
    d->state->freezeClock(at);
}

QString Simulator::lastError() const {
    std::lock_guard<std::mutex> lock(d->mu);
    return d->error;
}

}  // namespace logger_sim
