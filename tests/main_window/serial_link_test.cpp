// The link against a pseudo-terminal. Two kinds of far end are used: a
// scripted peer driven from the test's own event loop (for exact timing of
// bursts, gaps and bytes before the frame) and the simulated logger.
#include "common/pty_peer.h"
#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "main_window/command_files.h"
#include "main_window/serial_link.h"
#include "platform/errors.h"
#include "platform/serial_port.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <memory>

namespace {

using mq::link;
using mq::test::PtyPeer;


QByteArray record(const QByteArray& body) { return "\x02" + body + "\x03\r\n"; }

class SerialLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        ASSERT_TRUE(peer.ok());
        qputenv("MARROWQUILL_PORTS", peer.path().toLocal8Bit());
        slot = std::make_unique<mq::LinkSlot>();
        link().MSComm1().setPortNumber(1);
        mq::comm_setting();
        mq::send_initial();
    }
    void TearDown() override {
        slot.reset();
        qunsetenv("MARROWQUILL_PORTS");
    }
    // Answers every frame with the given bytes.
    void answerAlways(const QByteArray& reply) {
        peer.onFrame = [this, reply](const QByteArray&) { peer.write(reply); };
    }

    PtyPeer peer;
    std::unique_ptr<mq::LinkSlot> slot;
};

// ---------------------------------------------------------------------------
// Framing and the two reply forms

TEST_F(SerialLinkTest, CommandGoesOutFramedAndRecordReplyIsReadBack) {
    const QByteArray reply = record("12345678901");  // 15 bytes
    answerAlways(reply);
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("ST00SN"), 15, 10));
    ASSERT_EQ(peer.rawFrames.size(), 1);
    EXPECT_EQ(peer.rawFrames[0], QByteArray("\x02ST00SN\x03\r\n"));  // n + 4 bytes
    EXPECT_TRUE(peer.stray.isEmpty());
    EXPECT_EQ(link().rx_count, 15);
    const QString text = mq::rd_string_make();
    ASSERT_EQ(text.size(), 15);
    EXPECT_EQ(text[0], QChar(2));
    // Record byte k (after STX, from 0) is character k + 2 counted from 1.
    EXPECT_EQ(text.mid(4, 8), QStringLiteral("45678901"));
    EXPECT_EQ(text.mid(1, 11), QStringLiteral("12345678901"));
    EXPECT_EQ(text.right(3), QStringLiteral("\x03\r\n"));
    EXPECT_FALSE(link().MSComm1().isOpen());  // closed after every command
}

TEST_F(SerialLinkTest, HalfWidthKatakanaGoesOutAsSingleBytes) {
    answerAlways("\x06\r\n");
    // "ｱｲ" and "ﾟ" are the single-byte codes 0xB1, 0xB2 and 0xDF.
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("KP08UNｱｲﾟ"), 3, 10));
    ASSERT_EQ(peer.frames.size(), 1);
    EXPECT_EQ(peer.frames[0], QByteArray("KP08UN\xB1\xB2\xDF"));
}

TEST_F(SerialLinkTest, TextWithoutSingleByteCodeIsRefusedBeforeSending) {
    answerAlways("\x06\r\n");
    EXPECT_FALSE(mq::send_data_sub(QStringLiteral("KP08UN漢字"), 3, 10));
    EXPECT_FALSE(mq::send_data_sub(QStringLiteral("KP08UN\u00e9"), 3, 10));
    EXPECT_EQ(link().rx_attempts_made, 0);
    // The next command is the first thing on the line.
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));
    EXPECT_EQ(peer.rawFrames, QList<QByteArray>{QByteArray("\x02RP02RV\x03\r\n")});
    EXPECT_TRUE(peer.stray.isEmpty());
}

TEST_F(SerialLinkTest, AckAndNakBothCompleteAShortExchange) {
    answerAlways("\x06\r\n");
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));
    EXPECT_EQ(mq::rd_string_make(), QStringLiteral("\x06\r\n"));

    answerAlways("\x15\r\n");
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));
    EXPECT_EQ(mq::rd_string_make().at(0), QChar(21));
    EXPECT_EQ(peer.frames.size(), 2);  // each accepted at the first attempt
}

TEST_F(SerialLinkTest, MalformedRepliesFailAllFourAttempts) {
    struct Case {
        const char* what;
        QByteArray reply;
        qint32 expected;
    };
    const Case cases[] = {
        {"ACK with LF CR", QByteArray("\x06\n\r"), 3},
        {"3-byte record where ACK is expected", QByteArray("\x02\r\n"), 3},
        {"ACK where a record is expected", QByteArray("\x06\r\n\x03\r\n"), 6},
        {"record without STX", QByteArray("A1234\x03\r\n"), 8},
        {"record with the wrong end", QByteArray("\x02" "1234\x03\n\r"), 8},
        {"record without ETX", QByteArray("\x02" "12345\r\n"), 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        peer.frames.clear();
        answerAlways(c.reply);
        EXPECT_FALSE(mq::send_data_sub(QStringLiteral("ST00SN"), c.expected, 4));
        EXPECT_EQ(peer.frames.size(), 4);
        EXPECT_EQ(link().rx_done_flag, 1);  // the length came, the frame was wrong
    }
}

TEST_F(SerialLinkTest, OneBadReplyIsRetriedAtOnce) {
    int n = 0;
    peer.onFrame = [&](const QByteArray&) {
        peer.write(++n == 1 ? QByteArray("\x02" "ABCDEFG\r\n\x03") : record("ABCDEFG"));
    };
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("ST01MV"), 11, 10));
    EXPECT_EQ(peer.frames.size(), 2);
    EXPECT_EQ(mq::rd_string_make(), QStringLiteral("\x02" "ABCDEFG\x03\r\n"));
}

TEST_F(SerialLinkTest, LongerReplyCompletesAtTheExpectedLengthAndLeavesNoTrace) {
    answerAlways(record("1234567") + "JUNKJUNK");
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("ST00SN"), 11, 10));
    EXPECT_EQ(link().rx_count, 11);
    EXPECT_EQ(mq::rd_string_make(), QStringLiteral("\x02" "1234567\x03\r\n"));

    // The bytes beyond it must not spoil the next exchange.
    answerAlways(record("ZZ"));
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("ST03MD"), 6, 10));
    EXPECT_EQ(mq::rd_string_make(), QStringLiteral("\x02ZZ\x03\r\n"));
}

// ---------------------------------------------------------------------------
// Time-outs, bursts and gaps

TEST_F(SerialLinkTest, SilenceTimesOutInWatchdogTicksAfterFourAttempts) {
    struct Case {
        qint16 ticks;
        qint32 counted;  // ticks the watchdog counts over the four attempts
    };
    // A time-out of no ticks is one tick: it must not wait for ever.
    const Case cases[] = {{4, 16}, {1, 4}, {0, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ticks);
        peer.frames.clear();
        EXPECT_FALSE(mq::send_data_sub(QStringLiteral("ST00SN"), 15, c.ticks));
        EXPECT_EQ(peer.frames.size(), 4);
        EXPECT_EQ(link().rx_attempts_made, 4);
        EXPECT_EQ(link().rx_done_flag, 2);
        EXPECT_FALSE(link().comm_cancel_flag);
        // Each attempt ended after exactly its time-out in silent ticks.
        EXPECT_EQ(link().rx_ticks_counted, c.counted);
        // Only the first frame waited for a quiet line; the retries follow at once.
        EXPECT_EQ(link().send_pause_ticks, 3);
        EXPECT_EQ(link().send_pause_restarts, 0);
    }
}

TEST_F(SerialLinkTest, ReplyInBurstsWithShortGapsCompletes) {
    const QByteArray reply = record(QByteArray(60, 'x'));
    peer.onFrame = [&](const QByteArray&) {
        peer.write(reply.left(20));
        peer.writeLater(80, reply.mid(20, 20));
        peer.writeLater(160, reply.mid(40, 20));
        peer.writeLater(240, reply.mid(60));
    };
    // 10 ticks: at least 450 ms of silence; every gap is 80 ms.
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("LR01DT01"), reply.size(), 10));
    EXPECT_EQ(peer.frames.size(), 1);
    EXPECT_EQ(link().rx_attempts_made, 1);
    EXPECT_EQ(mq::rd_string_make(), mq::link_bytes_to_text(reply));
}

TEST_F(SerialLinkTest, GapAsLongAsTheTimeOutEndsTheAttempt) {
    const QByteArray reply = record(QByteArray(20, 'y'));
    peer.onFrame = [&](const QByteArray&) {
        peer.write(reply.left(10));
        // Far beyond the time-out, and beyond the four attempts.
        peer.writeLater(20000, reply.mid(10));
    };
    EXPECT_FALSE(mq::send_data_sub(QStringLiteral("LR01DT01"), reply.size(), 2));
    EXPECT_EQ(peer.frames.size(), 4);
    EXPECT_EQ(link().rx_attempts_made, 4);
    // Each attempt ended by the gap counting its two ticks down after the first half.
    EXPECT_GE(link().rx_ticks_counted, 4 * 2);
    EXPECT_EQ(link().rx_count, 10);  // the first half of the last attempt's reply
}

TEST_F(SerialLinkTest, ReceivedCountIsShownOnTheProgressBar) {
    struct Bar : mq::IRxProgressBar {
        double max = 1000;
        QList<double> values;
        double maximum() const override { return max; }
        void setValue(double v) override { values << v; }
    } bar;
    const QByteArray reply = record(QByteArray(100, 'p'));
    peer.onFrame = [&](const QByteArray&) {
        peer.write(reply.left(50));
        peer.writeLater(100, reply.mid(50));
    };
    link().progress_bar = &bar;
    link().rx_progress_flag = true;
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("LR01DT01"), reply.size(), 10));
    ASSERT_FALSE(bar.values.isEmpty());
    EXPECT_TRUE(bar.values.contains(50));
    for (double v : bar.values) EXPECT_LE(v, reply.size());

    // A count above the bar's maximum is not shown; without the flag nothing is.
    bar.values.clear();
    bar.max = 40;
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("LR01DT01"), reply.size(), 10));
    for (double v : bar.values) EXPECT_LE(v, 40);
    bar.values.clear();
    link().rx_progress_flag = false;
    bar.max = 1000;
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("LR01DT01"), reply.size(), 10));
    EXPECT_TRUE(bar.values.isEmpty());
    link().progress_bar = nullptr;
}

// ---------------------------------------------------------------------------
// The pre-send pause

TEST_F(SerialLinkTest, BytesBeforeTheFrameAreThrownAwayAndDelayTheCommand) {
    answerAlways(record("OK"));
    // Stray bytes waiting before the call, then noise on every pass of the
    // event loop for a while: however slow the machine, the line is never
    // quiet for a whole pause until the noise stops.
    link().comm_cancel_flag = true;
    mq::send_initial();
    peer.write("\x02stale\x03\r\n");
    auto noise = std::make_unique<QTimer>();
    int sent = 0;
    qint64 lastNoise = -1;
    QObject::connect(noise.get(), &QTimer::timeout, [&] {
        if (++sent > 300) {
            noise->stop();
            return;
        }
        peer.write("\x02noise");
        lastNoise = peer.m_clock.elapsed();
    });
    noise->start(0);
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("ST03MD"), 6, 10));
    ASSERT_EQ(peer.frames.size(), 1);
    EXPECT_GT(sent, 300);
    EXPECT_GE(peer.frameTimes[0], lastNoise);  // not before the line fell quiet
    EXPECT_GE(link().send_pause_restarts, 1);
    // Every pause, the restarted ones too, was the long one after a cancel.
    EXPECT_GE(link().send_pause_ticks, 50 * (link().send_pause_restarts + 1));
    EXPECT_EQ(mq::rd_string_make(), QStringLiteral("\x02OK\x03\r\n"));
}

TEST_F(SerialLinkTest, ALineThatNeverFallsQuietIsGivenUpAfterTwoSeconds) {
    link().comm_cancel_flag = true;
    mq::send_initial();  // 50 ms of quiet needed; bytes come every 5 ms
    // Noise on every pass of the event loop: never a quiet pause.
    auto noise = std::make_unique<QTimer>();
    QObject::connect(noise.get(), &QTimer::timeout, [&] { peer.write("zzzz"); });
    noise->start(0);
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(mq::send_data_sub(QStringLiteral("ST00SN"), 15, 10));
    const qint64 ms = t.elapsed();
    noise->stop();
    EXPECT_GE(ms, 1900);  // it kept trying for its two seconds
    EXPECT_GE(link().send_pause_restarts, 1);
    EXPECT_EQ(link().rx_attempts_made, 0);
    EXPECT_TRUE(peer.frames.isEmpty());
    EXPECT_FALSE(link().MSComm1().isOpen());
}

TEST_F(SerialLinkTest, FirstExchangeAfterACancelWaitsLonger) {
    answerAlways("\x06\r\n");
    link().comm_cancel_flag = true;
    mq::send_initial();
    EXPECT_FALSE(link().comm_cancel_flag);
    EXPECT_EQ(link().send_pause_len, 50);

    const qint64 started = peer.m_clock.elapsed();
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));
    EXPECT_GE(peer.frameTimes.last() - started, 48);
    EXPECT_EQ(link().send_pause_restarts, 0);
    EXPECT_EQ(link().send_pause_ticks, 50);
    EXPECT_EQ(link().send_pause_len, 3);  // one exchange only

    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));
    EXPECT_EQ(link().send_pause_restarts, 0);
    EXPECT_EQ(link().send_pause_ticks, 3);

    mq::send_initial();  // no cancel in between: the short pause
    EXPECT_EQ(link().send_pause_len, 3);
}

// ---------------------------------------------------------------------------
// Cancel and refusals

TEST_F(SerialLinkTest, CancelDuringTheWaitEndsTheExchange) {
    // Cancel once the frame is out and the logger keeps silent (30 s time-out).
    peer.onFrame = [&](const QByteArray&) {
        QTimer::singleShot(120, &peer.ctx, [] { link().comm_cancel_flag = true; });
    };
    EXPECT_FALSE(mq::send_data_sub(QStringLiteral("ST00SN"), 15, 600));
    EXPECT_EQ(link().rx_attempts_made, 1);
    EXPECT_LT(link().rx_ticks_counted, 600);  // the wait ended at the cancel, not at the time-out
    EXPECT_EQ(link().rx_done_flag, 3);
    EXPECT_TRUE(link().comm_cancel_flag);  // left for the caller to tell a cancel from a failure
    EXPECT_EQ(peer.frames.size(), 1);
    EXPECT_FALSE(link().MSComm1().isOpen());

    // The next operation starts afresh with the longer pause.
    mq::send_initial();
    EXPECT_EQ(link().send_pause_len, 50);
    answerAlways("\x06\r\n");
    EXPECT_TRUE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));
}

TEST_F(SerialLinkTest, PortThatCannotBeOpenedFailsAtOnceWithoutSending) {
    answerAlways("\x06\r\n");
    link().MSComm1().setPortNumber(2);  // the table has one entry only
    EXPECT_FALSE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));
    // Nothing was waited for: no pause, no attempt.
    EXPECT_EQ(link().send_pause_ticks, 0);
    EXPECT_EQ(link().rx_attempts_made, 0);

    // Held by someone else: refused as in use.
    link().MSComm1().setPortNumber(1);
    mq::platform::SerialPort other;
    other.setPortNumber(1);
    ASSERT_EQ(other.open(), mq::platform::SerialPort::OpenResult::Ok);
    EXPECT_FALSE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));
    EXPECT_EQ(link().rx_attempts_made, 0);
    other.close();
    EXPECT_TRUE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));
    EXPECT_EQ(peer.frames.size(), 1);  // only the last command reached the line
}

TEST_F(SerialLinkTest, APortThatVanishesEndsTheExchangeAtOnce) {
    // Unplugged while the logger is silent (30 s time-out), or in the middle
    // of its reply: no further attempt is made and the port is closed.
    struct Case {
        const char* what;
        QByteArray before;  // what the far end sends before it goes
    };
    const Case cases[] = {{"while waiting", {}}, {"mid-reply", "\x02" "1234"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PtyPeer gone;
        ASSERT_TRUE(gone.ok());
        qputenv("MARROWQUILL_PORTS", gone.path().toLocal8Bit());
        gone.onFrame = [&](const QByteArray&) {
            if (!c.before.isEmpty()) gone.write(c.before);
            QTimer::singleShot(0, &gone.ctx, [&] { gone.vanish(); });
        };
        EXPECT_FALSE(mq::send_data_sub(QStringLiteral("ST00SN"), 15, 600));
        EXPECT_TRUE(link().rx_port_lost);
        EXPECT_EQ(link().rx_attempts_made, 1);
        EXPECT_LT(link().rx_ticks_counted, 600);  // not one full time-out
        EXPECT_EQ(gone.frames.size(), 1);
        EXPECT_FALSE(link().comm_cancel_flag);  // a failure, not a cancel
        EXPECT_FALSE(link().MSComm1().isOpen());
    }
    // The next exchange on a port that is there again starts afresh.
    qputenv("MARROWQUILL_PORTS", peer.path().toLocal8Bit());
    answerAlways("\x06\r\n");
    EXPECT_TRUE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));
    EXPECT_FALSE(link().rx_port_lost);
    EXPECT_EQ(link().rx_attempts_made, 1);
}

TEST_F(SerialLinkTest, ImpossibleReplyLengthsAreRefused) {
    answerAlways("\x06\r\n");
    EXPECT_FALSE(mq::send_data_sub(QStringLiteral("RP02RV"), mq::kMaxReplyLength + 1, 10));
    EXPECT_FALSE(mq::send_data_sub(QStringLiteral("RP02RV"), 2, 10));
    EXPECT_FALSE(mq::send_data_sub(QStringLiteral("RP02RV"), 0, 10));
    EXPECT_FALSE(mq::send_data_sub(QStringLiteral("RP02RV"), -5, 10));
    EXPECT_EQ(link().rx_attempts_made, 0);
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));
    EXPECT_EQ(peer.frames.size(), 1);  // only the last command reached the line
}

TEST_F(SerialLinkTest, ASecondExchangeCannotStartInsideTheFirst) {
    bool nested = true;
    peer.onFrame = [&](const QByteArray&) {
        QTimer::singleShot(0, &peer.ctx, [&] { nested = mq::send_data_sub(QStringLiteral("ST03MD"), 6, 10); });
        peer.writeLater(50, "\x06\r\n");
    };
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));
    EXPECT_FALSE(nested);
    EXPECT_EQ(peer.frames.size(), 1);
}

// ---------------------------------------------------------------------------
// Against the simulated logger

class LinkWithSimulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        ASSERT_TRUE(sim.start());
        qputenv("MARROWQUILL_PORTS", sim.devicePath().toLocal8Bit());
        slot = std::make_unique<mq::LinkSlot>();
        ASSERT_TRUE(mq::cmd_table_load(mq::test::configDir()));
        link().comm_baud_rate = 128000;
        mq::comm_setting();
        link().MSComm1().setPortNumber(1);
        mq::send_initial();
    }
    void TearDown() override {
        slot.reset();
        sim.stop();
        qunsetenv("MARROWQUILL_PORTS");
    }
    // A command-table entry with characters 7 and 8 replaced by a number.
    static QString numbered(const QString& entry, int n) {
        return entry.left(6) + QString::number(n).rightJustified(2, u'0') + entry.mid(8);
    }
    static qint32 len(const QString& rsp) { return rsp.toInt(); }
    qint32 replyLen(const QString& command) const {
        QByteArray b;
        mq::link_text_to_bytes(command, &b);
        return qint32(sim.replyFor(b).size());
    }

    logger_sim::Simulator sim{mq::test::configDir(), logger_sim::defaultScenario()};
    std::unique_ptr<mq::LinkSlot> slot;
};

TEST_F(LinkWithSimulatorTest, IdentityRecordComesBackWholeAndTheCommandGoesOutExactly) {
    const QString cmd = link().cmd_s_req[0];
    ASSERT_TRUE(mq::send_data_sub(cmd, len(link().cmd_s_rsp[0]), 10));
    QByteArray sent;
    ASSERT_TRUE(mq::link_text_to_bytes(cmd, &sent));
    EXPECT_EQ(sim.received(), QList<QByteArray>{sent});
    QByteArray expected = sim.replyFor(sent);
    ASSERT_EQ(expected.size(), len(link().cmd_s_rsp[0]));
    EXPECT_EQ(mq::rd_string_make(), mq::link_bytes_to_text(expected));
    // The serial number sits at characters 5 to 12 of the reply text.
    EXPECT_EQ(mq::rd_string_make().mid(4, 8), QStringLiteral("A0123456"));
}

TEST_F(LinkWithSimulatorTest, NakToAWriteIsStillAnAcceptedExchange) {
    const QString cmd = link().cmd_k_p_req[1];
    ASSERT_EQ(replyLen(cmd), 3);
    sim.setFault(logger_sim::Fault::Nak, 1);
    ASSERT_TRUE(mq::send_data_sub(cmd, 3, 10));
    EXPECT_EQ(mq::rd_string_make(), QStringLiteral("\x15\r\n"));
    ASSERT_TRUE(mq::send_data_sub(cmd, 3, 10));
    EXPECT_EQ(mq::rd_string_make(), QStringLiteral("\x06\r\n"));
    EXPECT_EQ(sim.received().size(), 2);
}

TEST_F(LinkWithSimulatorTest, ANakWhereARecordIsExpectedTimesOutThatAttempt) {
    sim.setFault(logger_sim::Fault::Nak, 1);
    ASSERT_TRUE(mq::send_data_sub(link().cmd_s_req[0], len(link().cmd_s_rsp[0]), 4));
    EXPECT_EQ(sim.received().size(), 2);
    EXPECT_EQ(mq::rd_string_make().at(0), QChar(2));
}

TEST_F(LinkWithSimulatorTest, GarbledAndCutShortRepliesAreRetriedUpToFourTimes) {
    const QString cmd = link().cmd_s_req[3];
    const qint32 n = len(link().cmd_s_rsp[3]);

    sim.setFault(logger_sim::Fault::Garbled, 3);  // the fourth attempt is clean
    EXPECT_TRUE(mq::send_data_sub(cmd, n, 4));
    EXPECT_EQ(sim.received().size(), 4);

    sim.clearReceived();
    sim.setFault(logger_sim::Fault::Garbled);
    EXPECT_FALSE(mq::send_data_sub(cmd, n, 4));
    EXPECT_EQ(sim.received().size(), 4);

    sim.clearReceived();
    sim.setFault(logger_sim::Fault::CutShort);
    EXPECT_FALSE(mq::send_data_sub(cmd, n, 2));
    EXPECT_EQ(sim.received().size(), 4);
    EXPECT_EQ(link().rx_attempts_made, 4);
    EXPECT_EQ(link().rx_done_flag, 2);
    EXPECT_LT(link().rx_count, n);
    EXPECT_GE(link().rx_ticks_counted, 4 * 2);  // each cut reply timed out after its silence

    sim.setFault(logger_sim::Fault::None);
    EXPECT_TRUE(mq::send_data_sub(cmd, n, 4));
}

TEST_F(LinkWithSimulatorTest, SlowReplyWithGapsCompletesOnlyWhenTheGapsAreShorterThanTheTimeOut) {
    const QString cmd = link().cmd_s_req[1];
    const qint32 n = len(link().cmd_s_rsp[1]);
    ASSERT_EQ(replyLen(cmd), n);
    ASSERT_GT(n, 16);

    // Gaps of 40 ms against a time-out of 20 ticks (a second): many times
    // over, so a busy machine does not turn a short gap into a long one.
    sim.setFault(logger_sim::Fault::SlowWithGaps);
    sim.setGaps(8, 40);
    EXPECT_TRUE(mq::send_data_sub(cmd, n, 20));
    EXPECT_EQ(sim.received().size(), 1);
    EXPECT_EQ(link().rx_attempts_made, 1);

    // One gap of 1.5 s against 2 ticks (a tenth of a second or so).
    sim.clearReceived();
    sim.setGaps(n / 2, 1500);
    EXPECT_FALSE(mq::send_data_sub(cmd, n, 2));
    EXPECT_EQ(link().rx_attempts_made, 4);
    EXPECT_GE(link().rx_ticks_counted, 4 * 2);
    // The logger reads the repeated commands once it has finished talking.
    EXPECT_TRUE(mq::test::waitUntil([&] { return sim.received().size() == 4; }, 60000));
}

TEST_F(LinkWithSimulatorTest, ReplyPacedAtTheLineSpeedArrivesWhole) {
    const QString cmd = numbered(link().cmd_l_r_req[0], 1);
    const qint32 n = len(link().cmd_l_r_rsp[0]);
    sim.setBaud(9600);
    sim.setFault(logger_sim::Fault::Paced);
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(mq::send_data_sub(cmd, n, 10));
    // 11 bits a byte at 9600 bit/s.
    EXPECT_GE(t.elapsed(), qint64(n * 11 * 1000 / 9600) - 20);
    QByteArray sent;
    mq::link_text_to_bytes(cmd, &sent);
    EXPECT_EQ(mq::rd_string_make(), mq::link_bytes_to_text(sim.replyFor(sent)));
}

TEST_F(LinkWithSimulatorTest, NoiseBeforeAReplyFailsThatAttemptOnly) {
    sim.setFault(logger_sim::Fault::BytesBeforeFrame, 1);
    const QString cmd = link().cmd_s_req[0];
    ASSERT_TRUE(mq::send_data_sub(cmd, len(link().cmd_s_rsp[0]), 4));
    EXPECT_EQ(sim.received().size(), 2);
    EXPECT_EQ(mq::rd_string_make().mid(4, 8), QStringLiteral("A0123456"));
}

TEST_F(LinkWithSimulatorTest, CancelWhileTheLoggerIsSilent) {
    sim.setFault(logger_sim::Fault::Silence);
    // Cancel once the logger has the command and keeps silent.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (sim.received().isEmpty()) return;
        link().comm_cancel_flag = true;
        poll.stop();
    });
    poll.start(10);
    EXPECT_FALSE(mq::send_data_sub(link().cmd_s_req[0], len(link().cmd_s_rsp[0]), 600));
    EXPECT_EQ(link().rx_attempts_made, 1);
    EXPECT_LT(link().rx_ticks_counted, 600);
    EXPECT_TRUE(link().comm_cancel_flag);
    EXPECT_EQ(link().rx_done_flag, 3);
    EXPECT_EQ(sim.received().size(), 1);

    sim.setFault(logger_sim::Fault::None);
    mq::send_initial();
    EXPECT_TRUE(mq::send_data_sub(link().cmd_s_req[0], len(link().cmd_s_rsp[0]), 10));
}

// ---------------------------------------------------------------------------
// Port settings

TEST(CommSetting, SpeedsMapToTheirSettingsTexts) {
    EXPECT_EQ(mq::comm_settings_text(9600), QStringLiteral("9600,e,8,1"));
    EXPECT_EQ(mq::comm_settings_text(19200), QStringLiteral("19200,e,8,1"));
    EXPECT_EQ(mq::comm_settings_text(128000), QStringLiteral("128000,e,8,1"));
    EXPECT_EQ(mq::comm_settings_text(38400), QStringLiteral("9600,e,8,1"));
    EXPECT_EQ(mq::comm_settings_text(0), QStringLiteral("9600,e,8,1"));
}

TEST_F(SerialLinkTest, PortIsAskedForEvenParityEightDataOneStopNoFlowControlAndRts) {
    link().comm_baud_rate = 128000;
    mq::comm_setting();
    auto& p = link().MSComm1();
    EXPECT_EQ(p.baudRate(), 128000);
    EXPECT_EQ(p.parity(), QSerialPort::EvenParity);
    EXPECT_EQ(p.dataBits(), QSerialPort::Data8);
    EXPECT_EQ(p.stopBits(), QSerialPort::OneStop);
    EXPECT_EQ(p.flowControl(), QSerialPort::NoFlowControl);
    answerAlways("\x06\r\n");
    ASSERT_TRUE(mq::send_data_sub(QStringLiteral("RP02RV"), 3, 10));  // 128000 works on the pty
    EXPECT_TRUE(p.requestToSendAsked());

    link().comm_baud_rate = 4800;
    mq::comm_setting();
    EXPECT_EQ(p.baudRate(), 9600);
}

TEST(SerialPortControl, SettingsTextsAndPortNumbers) {
    mq::test::ensureApplication();
    mq::platform::SerialPort p;
    p.setSettings(QStringLiteral("19200,E,7,2"));
    EXPECT_EQ(p.baudRate(), 19200);
    EXPECT_EQ(p.parity(), QSerialPort::EvenParity);
    EXPECT_EQ(p.dataBits(), QSerialPort::Data7);
    EXPECT_EQ(p.stopBits(), QSerialPort::TwoStop);
    p.setSettings(QStringLiteral("9600,n,8,1.5"));
    EXPECT_EQ(p.parity(), QSerialPort::NoParity);
    EXPECT_EQ(p.stopBits(), QSerialPort::OneAndHalfStop);
    for (const char* bad : {"9600,e,8", "fast,e,8,1", "9600,x,8,1", "9600,e,9,1", "9600,e,8,3", ""}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(p.setSettings(QString::fromLatin1(bad)), mq::ConversionError);
    }
    EXPECT_EQ(p.baudRate(), 9600);  // a refused text changes nothing
    EXPECT_THROW(p.setPortNumber(0), mq::OutOfRangeError);
    EXPECT_THROW(p.setPortNumber(-3), mq::OutOfRangeError);
    p.setPortNumber(16);
    EXPECT_EQ(p.portNumber(), 16);
}

TEST_F(SerialLinkTest, APortOpenTwiceIsInUseAndCannotBeRenumbered) {
    mq::platform::SerialPort a, b;
    a.setPortNumber(1);
    b.setPortNumber(1);
    ASSERT_EQ(a.open(), mq::platform::SerialPort::OpenResult::Ok);
    EXPECT_EQ(b.open(), mq::platform::SerialPort::OpenResult::PortInUse);
    EXPECT_THROW(a.setPortNumber(2), mq::IoError);
    a.close();
    EXPECT_EQ(b.open(), mq::platform::SerialPort::OpenResult::Ok);
    b.close();
    b.setPortNumber(5);
    EXPECT_EQ(b.open(), mq::platform::SerialPort::OpenResult::NoSuchPort);
}

// ---------------------------------------------------------------------------
// Bytes as text

TEST(LinkText, EveryByteIsOneCharacterAndKatakanaRoundTrips) {
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i) all[i] = char(i);
    const QString text = mq::link_bytes_to_text(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x41], QChar(u'A'));
    EXPECT_EQ(text[0x5C], QChar(u'\\'));
    EXPECT_EQ(text[0xA1], QChar(0xFF61));
    EXPECT_EQ(text[0xB1], QChar(u'ｱ'));
    EXPECT_EQ(text[0xDF], QChar(0xFF9F));
    // One to one: no two bytes give the same character.
    QSet<QChar> seen(text.begin(), text.end());
    EXPECT_EQ(seen.size(), 256);

    QByteArray back;
    ASSERT_TRUE(mq::link_text_to_bytes(text.left(0x80) + text.mid(0xA1, 0xDF - 0xA1 + 1), &back));
    EXPECT_EQ(back, all.left(0x80) + all.mid(0xA1, 0xDF - 0xA1 + 1));
    // Bytes that are no character on their own (lead bytes and the like) do
    // not turn back into codes.
    back = "unchanged";
    EXPECT_FALSE(mq::link_text_to_bytes(QString(text[0x81]), &back));
    EXPECT_FALSE(mq::link_text_to_bytes(QStringLiteral("ア"), &back));  // full-width
    EXPECT_EQ(back, QByteArray("unchanged"));
}

TEST(LinkText, RdStringMakeCoversOnlyTheReceivedBytes) {
    mq::test::ensureApplication();
    mq::LinkSlot s;
    link().rx_buffer = QByteArray("\x02\xB1\xB2ZZZZZZ", 9);
    link().rx_count = 3;
    EXPECT_EQ(mq::rd_string_make(), QStringLiteral("\x02ｱｲ"));
    link().rx_count = 0;
    EXPECT_TRUE(mq::rd_string_make().isEmpty());
}

}  // namespace
