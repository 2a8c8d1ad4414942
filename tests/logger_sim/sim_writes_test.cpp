// The simulated logger's record of writes, a NAK for a chosen write, and a
// clock held still, seen from a raw tty client.
#include "common/test_env.h"
#include "logger_sim.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace logger_sim;

namespace {

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
    // Sends one command and waits (up to 5 s) for a reply of `want` bytes.
    QByteArray ask(const QByteArray& command, int want) {
        const QByteArray frame = '\x02' + command + "\x03\r\n";
        EXPECT_EQ(::write(fd_, frame.constData(), frame.size()), frame.size());
        QByteArray out;
        while (out.size() < want) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0) break;
            char buf[512];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n > 0) out.append(buf, static_cast<int>(n));
        }
        return out;
    }

private:
    int fd_ = -1;
};

const QByteArray kAck("\x06\r\n", 3);
const QByteArray kNak("\x15\r\n", 3);

TEST(SimulatorWrites, RecordsWritesAndRefusesTheChosenOne) {
    mq::test::ensureApplication();
    Simulator sim(mq::test::configDir(), defaultScenario());
    ASSERT_TRUE(sim.start()) << sim.lastError().toStdString();
    RawClient c(sim.devicePath());
    ASSERT_TRUE(c.ok());

    sim.nakNthWrite(2);
    EXPECT_EQ(c.ask("RP08IN05,000500,", 3), kAck);
    EXPECT_EQ(c.ask("ST00SN", 15).size(), 15);  // a read does not count
    EXPECT_EQ(c.ask("RP08IN06,000600,", 3), kNak);
    EXPECT_EQ(c.ask("RP08IN07,000700,", 3), kAck);

    EXPECT_EQ(sim.writesReceived(),
              (QList<QByteArray>{"RP08IN05,000500,", "RP08IN06,000600,", "RP08IN07,000700,"}));
    EXPECT_EQ(sim.received().size(), 4);
    // The refused write changed nothing; the others did.
    QStringList intervals;
    for (const LogArea& a : sim.scenario().areas) intervals << QString::number(a.area) + u'=' + a.interval;
    EXPECT_TRUE(intervals.contains(QStringLiteral("5=00:05:00")));
    EXPECT_FALSE(intervals.contains(QStringLiteral("6=00:06:00")));
    EXPECT_TRUE(intervals.contains(QStringLiteral("7=00:07:00")));
    sim.stop();
}

TEST(SimulatorWrites, AHeldClockAnswersTheSameTime) {
    mq::test::ensureApplication();
    Simulator sim(mq::test::configDir(), defaultScenario());
    ASSERT_TRUE(sim.start());
    sim.freezeClock(QDateTime(QDate(2014, 1, 2), QTime(3, 4, 5)));
    RawClient c(sim.devicePath());
    const QByteArray first = c.ask("ST04CK", 19);
    ASSERT_EQ(first.size(), 19);
    EXPECT_EQ(first.mid(4, 12), QByteArray("140102030405"));
    EXPECT_EQ(c.ask("ST04CK", 19), first);
    sim.stop();
}

}  // namespace
