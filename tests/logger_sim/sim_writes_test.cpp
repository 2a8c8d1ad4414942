// The simulated logger's record of writes, a NAK for a chosen write, what a
// write deletes, and a clock held still, seen from a raw tty client.
#include "common/test_env.h"
#include "logger_sim.h"
#include "logger_state.h"
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

// A setting written to an area or tag, or a reservation into an area,
// deletes what it recorded; what was not written keeps its records.
TEST(SimulatorWrites, AWrittenAreaOrTagHoldsNoRecords) {
    mq::test::ensureApplication();
    CommandTables t;
    ASSERT_TRUE(t.load(mq::test::configDir(), nullptr));
    // The setting write of number 01, from the command templates as the program builds it.
    auto write = [&](const QList<int>& entries) {
        QList<QByteArray> out;
        for (int e : entries) out << t.settingWriteReq[e].left(6) + "01" + t.settingWriteReq[e].mid(8);
        return out;
    };
    struct Case { const char* what; Mode mode; QList<QByteArray> writes; QByteArray emptied, kept; };
    const Case cases[] = {
        {"one area", Mode::Log, write({8, 5, 6, 7}), "L01", "L02"},
        {"reservation at once", Mode::Log, {"RP00RS02,000000000000,", "RP01RE02,131210120000,"}, "L02", "L01"},
        {"one tag", Mode::Tag, write({5, 6}), "T01", "T05"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Scenario s = defaultScenario();
        s.mode = k.mode;
        Simulator sim(mq::test::configDir(), s);
        ASSERT_TRUE(sim.start());
        RawClient c(sim.devicePath());
        for (const QByteArray& w : k.writes) ASSERT_EQ(c.ask(w, 3), kAck) << w.constData();
        auto read = [&](const QByteArray& who, const char* what, int want) {
            return c.ask(who.left(1) + what + who.mid(1), want);
        };
        EXPECT_EQ(read(k.emptied, "R03CT", 18).mid(7, 8), QByteArray("00000000"));
        EXPECT_EQ(read(k.emptied, "R01DT", 11).mid(7), QByteArray("E\x03\r\n"));
        EXPECT_NE(read(k.kept, "R03CT", 18).mid(7, 8), QByteArray("00000000"));
        sim.stop();
    }
}

}  // namespace
