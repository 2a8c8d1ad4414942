// The simulated logger on its pseudo-terminal: framing, the record of what it
// received, and each fault, seen from a plain raw tty client.
#include "common/test_env.h"
#include "logger_sim.h"
#include "common/sim_raw_client.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace logger_sim;

namespace {

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
    RawClient c(sim->devicePath());
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
    RawClient c(sim->devicePath());
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
        RawClient c(sim->devicePath());
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
    RawClient c(sim->devicePath());
    c.send("LR01DT01");
    const QByteArray r = c.read(1000 * 74);
    EXPECT_EQ(r.size(), 1000 * 74);
    EXPECT_EQ(r, sim->replyFor("LR01DT01"));
}

TEST_F(SimulatorTest, SilenceForTheNextRepliesOnly) {
    sim->setFault(Fault::Silence, 2);
    RawClient c(sim->devicePath());
    c.send("ST00SN");
    c.send("ST00SN");
    c.send("ST00SN");
    // Only the third is answered: its reply is the first thing on the line.
    EXPECT_EQ(c.readThrough(kIdentity), kIdentity);
    EXPECT_EQ(sim->received().size(), 3);
}

TEST_F(SimulatorTest, NakInsteadOfTheRecord) {
    sim->setFault(Fault::Nak);
    RawClient c(sim->devicePath());
    c.send("ST00SN");
    c.send("ST01MV");
    EXPECT_EQ(c.read(6), kNak + kNak);
    sim->setFault(Fault::None);
    c.send("ST00SN");
    EXPECT_EQ(c.readThrough(kIdentity), kIdentity);
}

TEST_F(SimulatorTest, GarbledFrameKeepsItsLengthButNotItsEnd) {
    sim->setFault(Fault::Garbled, 2);
    RawClient c(sim->devicePath());
    c.send("ST00SN");
    const QByteArray r = c.read(15);
    ASSERT_EQ(r.size(), 15);
    EXPECT_EQ(r.right(3), QByteArray("\x03\n\r"));
    c.send("KP09WK01,ABC     ");
    EXPECT_EQ(c.read(3), QByteArray("\x06\n\r", 3));
}

TEST_F(SimulatorTest, CutShortStopsMidReply) {
    sim->setFault(Fault::CutShort, 1);
    RawClient c(sim->devicePath());
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
    RawClient c(sim->devicePath());
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
    RawClient c(sim->devicePath());
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
    RawClient c(sim->devicePath());
    c.send("ST00SN");
    const QByteArray r = c.read(18);
    ASSERT_EQ(r.size(), 18);
    EXPECT_NE(r.at(0), '\x02');
    EXPECT_EQ(r.right(15), kIdentity);
    sim->injectNoise("\x7F\x7F");
    EXPECT_EQ(c.read(2), QByteArray("\x7F\x7F"));
}

TEST_F(SimulatorTest, AnotherLoggerOrMode) {
    RawClient c(sim->devicePath());
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
