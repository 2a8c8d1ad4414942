// The quiet line before a command, against the simulated logger: bytes that
// arrive before the frame goes out are line noise (or the tail of a reply the
// program gave up on) and must never be read as the next reply.
#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "main_window/command_files.h"
#include "main_window/serial_link.h"
#include "platform/serial_port.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

using mq::link;

class LinkPauseWithSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        ASSERT_TRUE(sim.start()) << sim.lastError().toStdString();
        qputenv("MARROWQUILL_PORTS", sim.devicePath().toLocal8Bit());
        slot = std::make_unique<mq::LinkSlot>();
        ASSERT_TRUE(mq::cmd_table_load(mq::test::configDir()));
        link().MSComm1().setPortNumber(1);
        mq::comm_setting();
        mq::send_initial();
    }
    void TearDown() override {
        noise.reset();
        slot.reset();
        sim.stop();
        qunsetenv("MARROWQUILL_PORTS");
    }
    // Puts `bytes` on the line every `everyMs` ms (0: on every pass of the
    // event loop, so that no pause can pass without noise however slow the
    // machine), `times` times (-1: until stopped).
    void startNoise(const QByteArray& bytes, int everyMs, int times) {
        noise = std::make_unique<QTimer>();
        noise->setTimerType(Qt::PreciseTimer);
        QObject::connect(noise.get(), &QTimer::timeout, [this, bytes, times] {
            if (times >= 0 && ++noiseSent > times) {
                noise->stop();
                return;
            }
            sim.injectNoise(bytes);
        });
        noise->start(everyMs);
    }
    bool identity() { return mq::send_data_sub(link().cmd_s_req[0], link().cmd_s_rsp[0].toInt(), 10); }

    logger_sim::Simulator sim{mq::test::configDir(), logger_sim::defaultScenario()};
    std::unique_ptr<mq::LinkSlot> slot;
    std::unique_ptr<QTimer> noise;
    int noiseSent = 0;
};

TEST_F(LinkPauseWithSimulator, AFakeRecordOnTheLineBeforeTheCommandIsNeverTakenAsTheReply) {
    // A whole, well-formed identity record of another logger keeps arriving
    // for a while; after a cancel the line must be quiet for 50 ticks first.
    link().comm_cancel_flag = true;
    mq::send_initial();
    const QByteArray fake = QByteArray("\x02S00XXXXXXXX\x03\r\n");
    ASSERT_EQ(fake.size(), link().cmd_s_rsp[0].toInt());
    startNoise(fake, 0, 100);
    ASSERT_TRUE(identity());
    EXPECT_GT(noiseSent, 100);  // all the noise went out before the command
    EXPECT_GE(link().send_pause_restarts, 1);
    EXPECT_GE(link().send_pause_ticks, 50 * (link().send_pause_restarts + 1));
    EXPECT_EQ(mq::rd_string_make().mid(4, 8), QStringLiteral("A0123456"));
    EXPECT_EQ(sim.received().size(), 1);  // sent once, after the line fell quiet
    EXPECT_EQ(link().send_pause_len, 3);
}

TEST_F(LinkPauseWithSimulator, ALineThatNeverFallsQuietSendsNothingAndGivesUp) {
    startNoise(QByteArray("\x02S00ZZZZZZZZ\x03\r\n"), 0, -1);  // never a quiet pause
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(identity());
    const qint64 ms = t.elapsed();
    noise->stop();
    EXPECT_GE(ms, 1900);  // it kept trying for its two seconds
    EXPECT_EQ(link().rx_attempts_made, 0);  // no frame went out
    EXPECT_GE(link().send_pause_restarts, 1);
    EXPECT_FALSE(link().MSComm1().isOpen());

    // Once the line is quiet the link works again.
    EXPECT_TRUE(identity());
    EXPECT_EQ(mq::rd_string_make().mid(4, 8), QStringLiteral("A0123456"));
}

TEST_F(LinkPauseWithSimulator, AfterACancelTheFirstExchangeWaitsFiftyTicksAndTheNextThree) {
    // Cancel a wait on a silent logger once it has the command, as the
    // Cancel button does.
    sim.setFault(logger_sim::Fault::Silence, 1);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (sim.received().isEmpty()) return;
        link().comm_cancel_flag = true;
        poll.stop();
    });
    poll.start(10);
    EXPECT_FALSE(identity());
    ASSERT_TRUE(link().comm_cancel_flag);
    EXPECT_EQ(link().rx_attempts_made, 1);

    // The pause is counted in ticks of the link's 1 ms pause timer.
    mq::send_initial();
    ASSERT_TRUE(identity());
    EXPECT_EQ(link().send_pause_restarts, 0);
    EXPECT_EQ(link().send_pause_ticks, 50);
    ASSERT_TRUE(identity());
    EXPECT_EQ(link().send_pause_restarts, 0);
    EXPECT_EQ(link().send_pause_ticks, 3);
    EXPECT_EQ(sim.received().size(), 3);
}

}  // namespace
