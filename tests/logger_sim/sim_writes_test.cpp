// The simulated logger's record of writes, a NAK for a chosen write, and a
// clock held still, seen from a raw tty client.
#include "common/test_env.h"
#include "logger_sim.h"
#include "common/sim_raw_client.h"

#include <gtest/gtest.h>

using namespace logger_sim;

namespace {

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
