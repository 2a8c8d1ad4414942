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
    // Puts `bytes` on the line every `everyMs` ms, `times` times (-1: until stopped).
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
    // for 200 ms; after a cancel the line must be quiet for 50 ticks first.
    link().comm_cancel_flag = true;
    mq::send_initial();
    const QByteArray fake = QByteArray("\x02S00XXXXXXXX\x03\r\n");
    ASSERT_EQ(fake.size(), link().cmd_s_rsp[0].toInt());
    startNoise(fake, 10, 20);
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(identity());
    EXPECT_GE(t.elapsed(), 200 + 45);  // the noise, then the long pause
    EXPECT_EQ(mq::rd_string_make().mid(4, 8), QStringLiteral("A0123456"));
    EXPECT_EQ(sim.received().size(), 1);  // sent once, after the line fell quiet
    EXPECT_EQ(link().send_pause_len, 3);
}

TEST_F(LinkPauseWithSimulator, ALineThatNeverFallsQuietSendsNothingAndGivesUp) {
    startNoise(QByteArray("\x02S00ZZZZZZZZ\x03\r\n"), 2, -1);  // faster than the 3-tick pause
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(identity());
    const qint64 ms = t.elapsed();
    noise->stop();
    EXPECT_GE(ms, 1900);
    EXPECT_LT(ms, 4000);
    mq::test::processEventsFor(50);
    EXPECT_TRUE(sim.received().isEmpty());
    EXPECT_FALSE(link().MSComm1().isOpen());

    // Once the line is quiet the link works again.
    EXPECT_TRUE(identity());
    EXPECT_EQ(mq::rd_string_make().mid(4, 8), QStringLiteral("A0123456"));
}

TEST_F(LinkPauseWithSimulator, AfterACancelTheFirstExchangeWaitsFiftyTicksAndTheNextThree) {
    // Cancel a wait on a silent logger, as the Cancel button does.
    sim.setFault(logger_sim::Fault::Silence, 1);
    QTimer::singleShot(100, [] { link().comm_cancel_flag = true; });
    EXPECT_FALSE(identity());
    ASSERT_TRUE(link().comm_cancel_flag);

    mq::send_initial();
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(identity());
    EXPECT_GE(t.elapsed(), 48);
    t.restart();
    ASSERT_TRUE(identity());
    EXPECT_LT(t.elapsed(), 45);
    EXPECT_EQ(sim.received().size(), 3);
}

}  // namespace
