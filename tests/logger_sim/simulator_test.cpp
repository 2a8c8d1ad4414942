// The simulated logger on its pseudo-terminal: framing, the record of what it
// received, and each fault, seen from a plain raw tty client.
#include "common/test_env.h"
#include "logger_sim.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace logger_sim;

namespace {

// A raw client on the slave side, opened and closed like the program does.
class Client {
public:
    explicit Client(const QString& path) {
        fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0) {
            termios t{};
            ::tcgetattr(fd_, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~Client() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    void send(const QByteArray& command) { raw('\x02' + command + "\x03\r\n"); }
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

public:

private:
    int fd_ = -1;
};

class SimulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim = std::make_unique<Simulator>(mq::test::configDir(), defaultScenario());
        ASSERT_TRUE(sim->start()) << sim->lastError().toStdString();
        ASSERT_TRUE(sim->devicePath().startsWith("/dev/pts/"));
    }
    std::unique_ptr<Simulator> sim;
};

const QByteArray kAck("\x06\r\n", 3);
const QByteArray kNak("\x15\r\n", 3);
const QByteArray kIdentity("\x02S00A0123456\x03\r\n");
const QByteArray kMode("\x02S03M=1\x03\r\n");

}  // namespace

TEST_F(SimulatorTest, AnswersAndRecordsEveryFramedCommand) {
    Client c(sim->devicePath());
    ASSERT_TRUE(c.ok());
    c.send("ST00SN");
    EXPECT_EQ(c.read(15), kIdentity);
    c.send("KP09WK01,ABC     ");
    EXPECT_EQ(c.read(3), kAck);
    EXPECT_EQ(sim->received(), QList<QByteArray>({"ST00SN", "KP09WK01,ABC     "}));
    EXPECT_EQ(sim->scenario().workers.at(0), "ABC     ");
    sim->clearReceived();
    EXPECT_TRUE(sim->received().isEmpty());
}

TEST_F(SimulatorTest, NoiseAroundFramesIsIgnoredAndSplitFramesAreJoined) {
    Client c(sim->devicePath());
    c.raw("\xFF\x00junk\x03\r\n");  // not a frame
    c.raw("\x02ST0");
    QThread::msleep(50);
    c.raw("0SN\x03\r");
    QThread::msleep(50);
    c.raw("\n");
    EXPECT_EQ(c.read(15), kIdentity);
    // A broken start followed by a good frame: the good one is answered.
    c.raw("\x02ST0\x02ST03MD\x03\r\n");
    EXPECT_EQ(c.read(10), QByteArray("\x02S03M=1\x03\r\n"));
    // ETX without CR LF is no frame: the next bytes are the fence's reply.
    c.raw("\x02ST00SN\x03XX");
    c.send("ST03MD");
    EXPECT_EQ(c.readThrough(kMode), kMode);
    EXPECT_EQ(sim->received(), QList<QByteArray>({"ST00SN", "ST03MD", "ST03MD"}));
}

TEST_F(SimulatorTest, TheDeviceCanBeOpenedAndClosedAgainAndAgain) {
    for (int i = 0; i < 5; ++i) {
        Client c(sim->devicePath());
        ASSERT_TRUE(c.ok());
        c.send("ST00SN");
        ASSERT_EQ(c.read(15), kIdentity) << "round " << i;
    }
}

TEST_F(SimulatorTest, LongDataReplyArrivesWhole) {
    Scenario s = defaultScenario();
    s.areas[0].records.clear();
    for (int i = 0; i < 3000; ++i) s.areas[0].records.append(LogRecord{{"  100", "  200", "  300", "  400"}, false});
    sim = std::make_unique<Simulator>(mq::test::configDir(), s);
    ASSERT_TRUE(sim->start());
    Client c(sim->devicePath());
    c.send("LR01DT01");
    const QByteArray r = c.read(1000 * 74);
    EXPECT_EQ(r.size(), 1000 * 74);
    EXPECT_EQ(r, sim->replyFor("LR01DT01"));
}

TEST_F(SimulatorTest, SilenceForTheNextRepliesOnly) {
    sim->setFault(Fault::Silence, 2);
    Client c(sim->devicePath());
    c.send("ST00SN");
    c.send("ST00SN");
    c.send("ST00SN");
    // Only the third is answered: its reply is the first thing on the line.
    EXPECT_EQ(c.readThrough(kIdentity), kIdentity);
    EXPECT_EQ(sim->received().size(), 3);
}

TEST_F(SimulatorTest, NakInsteadOfTheRecord) {
    sim->setFault(Fault::Nak);
    Client c(sim->devicePath());
    c.send("ST00SN");
    c.send("ST01MV");
    EXPECT_EQ(c.read(6), kNak + kNak);
    sim->setFault(Fault::None);
    c.send("ST00SN");
    EXPECT_EQ(c.readThrough(kIdentity), kIdentity);
}

TEST_F(SimulatorTest, GarbledFrameKeepsItsLengthButNotItsEnd) {
    sim->setFault(Fault::Garbled, 2);
    Client c(sim->devicePath());
    c.send("ST00SN");
    const QByteArray r = c.read(15);
    ASSERT_EQ(r.size(), 15);
    EXPECT_EQ(r.right(3), QByteArray("\x03\n\r"));
    c.send("KP09WK01,ABC     ");
    EXPECT_EQ(c.read(3), QByteArray("\x06\n\r", 3));
}

TEST_F(SimulatorTest, CutShortStopsMidReply) {
    sim->setFault(Fault::CutShort, 1);
    Client c(sim->devicePath());
    c.send("LR00ST01");
    c.send("ST03MD");  // the fence: answered in full after the cut reply
    QByteArray r = c.readThrough(kMode);
    r.chop(kMode.size());
    EXPECT_GT(r.size(), 0);
    EXPECT_LT(r.size(), 241);
    EXPECT_EQ(r, sim->replyFor("LR00ST01").left(r.size()));
}

TEST_F(SimulatorTest, SlowReplyComesInBurstsWithGaps) {
    sim->setFault(Fault::SlowWithGaps);
    sim->setGaps(60, 150);
    Client c(sim->devicePath());
    QList<qint64> arrivals;
    c.send("LR00ST01");  // 241 bytes: five bursts, four gaps
    const QByteArray r = c.read(241, &arrivals);
    EXPECT_EQ(r, sim->replyFor("LR00ST01"));
    ASSERT_FALSE(arrivals.isEmpty());
    EXPECT_GE(arrivals.last(), 4 * 150 - 30);
    EXPECT_GE(arrivals.size(), 5);
}

TEST_F(SimulatorTest, PacedReplyTakesElevenBitsPerByte) {
    sim->setFault(Fault::Paced);
    sim->setBaud(9600);
    Client c(sim->devicePath());
    QElapsedTimer t;
    t.start();
    c.send("LR01DT01");  // 180 bytes: 180 * 11 / 9600 s = 206 ms
    const QByteArray r = c.read(180);
    EXPECT_EQ(r, sim->replyFor("LR01DT01"));
    EXPECT_GE(t.elapsed(), 190);  // never faster than the line
    // At 128000 bit/s the same reply takes about 15 ms; its last chunk (about
    // 5 ms of line time) goes out at once.
    sim->setBaud(128000);
    t.restart();
    c.send("LR01DT01");
    EXPECT_EQ(c.read(180), sim->replyFor("LR01DT01"));
    EXPECT_GE(t.elapsed(), 180 * 11 * 1000 / 128000 - 5);
}

TEST_F(SimulatorTest, BytesBeforeTheFrame) {
    sim->setFault(Fault::BytesBeforeFrame, 1);
    Client c(sim->devicePath());
    c.send("ST00SN");
    const QByteArray r = c.read(18);
    ASSERT_EQ(r.size(), 18);
    EXPECT_NE(r.at(0), '\x02');
    EXPECT_EQ(r.right(15), kIdentity);
    sim->injectNoise("\x7F\x7F");
    EXPECT_EQ(c.read(2), QByteArray("\x7F\x7F"));
}

TEST_F(SimulatorTest, AnotherLoggerOrMode) {
    Client c(sim->devicePath());
    sim->setIdentity("ZZ999999", Mode::Tag);
    c.send("ST00SN");
    EXPECT_EQ(c.read(15), QByteArray("\x02S00ZZ999999\x03\r\n"));
    c.send("ST03MD");
    EXPECT_EQ(c.read(10), QByteArray("\x02S03M=2\x03\r\n"));
    sim->setMode(Mode::Memory);
    c.send("ST03MD");
    EXPECT_EQ(c.read(10), QByteArray("\x02S03M=3\x03\r\n"));
}

TEST(SimulatorStart, FailsWithoutCommandFiles) {
    Simulator sim("/nonexistent-folder", defaultScenario());
    EXPECT_FALSE(sim.start());
    EXPECT_FALSE(sim.lastError().isEmpty());
    EXPECT_TRUE(sim.devicePath().isEmpty());
}
