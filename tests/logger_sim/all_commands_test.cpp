// Every entry of the installed command files, sent through the program's own
// serial link to the simulated logger: each gets a reply of the length the
// program expects, in a well-formed frame, and the logger saw exactly the
// command the program built.
#include "common/test_env.h"
#include "logger_sim.h"
#include "logger_state.h"
#include "main_window/command_files.h"
#include "main_window/serial_link.h"
#include "platform/serial_port.h"

#include <gtest/gtest.h>

using namespace logger_sim;

namespace {

class AllCommands : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        sim = std::make_unique<Simulator>(mq::test::configDir(), defaultScenario());
        ASSERT_TRUE(sim->start()) << sim->lastError().toStdString();
        qputenv("MARROWQUILL_PORTS", sim->devicePath().toLocal8Bit());
        slot = std::make_unique<mq::LinkSlot>();
        ASSERT_TRUE(mq::cmd_table_load(mq::test::configDir()));
        mq::link().MSComm1().setPortNumber(1);
        mq::comm_setting();
        mq::send_initial();
    }
    void TearDown() override {
        slot.reset();
        sim.reset();
        qunsetenv("MARROWQUILL_PORTS");
    }

    // Characters 7-8 replaced by n as two digits, as the command builders do.
    static QString numbered(const QString& entry, int n) {
        return entry.left(6) + QString::number(100 + n).right(2) + entry.mid(8);
    }

    // One exchange; checks the reply's length and frame and that the logger
    // received the command byte for byte.
    void exchange(const QString& command, qint32 expected, qint16 ticks) {
        SCOPED_TRACE(command.toStdString());
        sim->clearReceived();
        ASSERT_TRUE(mq::send_data_sub(command, expected, ticks));
        const QString text = mq::rd_string_make();
        ASSERT_EQ(text.size(), expected);
        if (expected == 3) {
            EXPECT_TRUE(text.at(0) == QChar(6) || text.at(0) == QChar(21));
            EXPECT_EQ(text.mid(1), QStringLiteral("\r\n"));
        } else {
            EXPECT_EQ(text.at(0), QChar(2));
            EXPECT_EQ(text.right(3), QStringLiteral("\x03\r\n"));
        }
        QByteArray sent;
        ASSERT_TRUE(mq::link_text_to_bytes(command, &sent));
        ASSERT_EQ(sim->received().size(), 1);
        EXPECT_EQ(sim->received().at(0), sent);
        // The text is the logger's reply byte for byte.
        QByteArray back;
        ASSERT_TRUE(mq::link_text_to_bytes(text, &back));
        EXPECT_EQ(back, sim->replyFor(sent));
        ++exchanges;
    }

    std::unique_ptr<Simulator> sim;
    std::unique_ptr<mq::LinkSlot> slot;
    int exchanges = 0;
};

}  // namespace

TEST_F(AllCommands, EveryEntryOfTheCommandFilesIsAnswered) {
    auto& L = mq::link();
    const Scenario s = defaultScenario();

    // Status table: parameterless entries as loaded, list entries with a position.
    for (int e = 0; e < L.cmd_s_req.size(); ++e) {
        const QString c = L.cmd_s_req[e];
        if (c.isEmpty()) continue;
        const bool listed = e == 16 || e == 17;
        exchange(listed ? numbered(c, 3) : c, L.cmd_s_rsp[e].toInt(), e == 12 ? 600 : 10);
    }
    // LOG and TAG reads of every number; data reads at the computed length.
    for (int n = 1; n <= 20; ++n) {
        LogArea area;
        area.area = n;
        for (const LogArea& a : s.areas)
            if (a.area == n) area = a;
        TagEntry tag;
        tag.tag = n;
        for (const TagEntry& t : s.tags)
            if (t.tag == n) tag = t;
        for (int e = 0; e < L.cmd_l_r_req.size(); ++e) {
            if (L.cmd_l_r_req[e].isEmpty()) continue;
            if (e == 1) {
                if (area.records.isEmpty()) continue;  // the program never asks an empty area for data
                exchange(numbered(L.cmd_l_r_req[e], n), logDataLength(area.records.size(), area.channelsInUse()), 20);
            } else {
                exchange(numbered(L.cmd_l_r_req[e], n), L.cmd_l_r_rsp[e].toInt(), e == 3 ? 14 : 20);
            }
        }
        for (int e = 0; e < L.cmd_t_r_req.size(); ++e) {
            if (L.cmd_t_r_req[e].isEmpty()) continue;
            if (e == 1) {
                if (tag.records.isEmpty()) continue;
                exchange(numbered(L.cmd_t_r_req[e], n), tagDataLength(tag.records.size(), tag.channelsInUse()), 14);
            } else {
                exchange(numbered(L.cmd_t_r_req[e], n), L.cmd_t_r_rsp[e].toInt(), e == 3 ? 14 : 20);
            }
        }
    }
    // Writes: every entry answered by ACK; numbered templates with a number.
    for (int e = 0; e < L.cmd_k_p_req.size(); ++e) {
        const QString c = L.cmd_k_p_req[e];
        if (c.isEmpty()) continue;
        exchange(e == 9 || e == 10 ? numbered(c, 20) : c, 3, 14);
    }
    for (int e = 0; e < L.cmd_r_p_req.size(); ++e) {
        const QString c = L.cmd_r_p_req[e];
        if (c.isEmpty()) continue;
        const bool numberedEntry = e <= 1 || (e >= 5 && e <= 8);
        exchange(numberedEntry ? numbered(c, 7) : c, 3, e == 1 ? 600 : 14);
    }
    // 18 status entries; per number 3 LOG and 3 TAG records; the data of 3
    // areas and 2 tags; 11 list writes and 9 setting writes.
    EXPECT_EQ(exchanges, 18 + 20 * 6 + 3 + 2 + 11 + 9);
}

TEST_F(AllCommands, LinkRecoversFromOneLostOrBrokenReply) {
    const QString id = mq::link().cmd_s_req[0];
    for (Fault f : {Fault::Silence, Fault::Garbled, Fault::CutShort, Fault::BytesBeforeFrame}) {
        SCOPED_TRACE(static_cast<int>(f));
        sim->setFault(f, 1);
        sim->clearReceived();
        ASSERT_TRUE(mq::send_data_sub(id, 15, 4));
        EXPECT_EQ(mq::rd_string_make().mid(4, 8), QStringLiteral("A0123456"));
        EXPECT_EQ(sim->received().size(), 2) << "one retry";
    }
}

TEST_F(AllCommands, SlowAndPacedRepliesComplete) {
    sim->setFault(Fault::SlowWithGaps);
    sim->setGaps(40, 150);  // gaps of 3 ticks, under the 10-tick time-out
    const QString setting = mq::link().cmd_l_r_req[0].left(6) + QStringLiteral("01");
    ASSERT_TRUE(mq::send_data_sub(setting, 241, 10));
    EXPECT_EQ(sim->received().size(), 1);
    sim->setFault(Fault::Paced);
    sim->setBaud(9600);
    ASSERT_TRUE(mq::send_data_sub(mq::link().cmd_l_r_req[1].left(6) + QStringLiteral("01"), 180, 20));
}

TEST_F(AllCommands, GapLongerThanTheTimeOutFailsEveryAttempt) {
    sim->setFault(Fault::SlowWithGaps);
    sim->setGaps(8, 300);  // 6 ticks of silence against a 4-tick time-out
    EXPECT_FALSE(mq::send_data_sub(mq::link().cmd_s_req[0], 15, 4));
    // The logger, busy with its slow reply, takes the three retries afterwards.
    EXPECT_TRUE(mq::test::waitUntil([&] { return sim->received().size() == 4; }, 4000));
}

TEST_F(AllCommands, NakCountsAsAnAnswerToAWrite) {
    sim->setFault(Fault::Nak);
    const QString w = mq::link().cmd_k_p_req[9].left(6) + QStringLiteral("01") + mq::link().cmd_k_p_req[9].mid(8);
    ASSERT_TRUE(mq::send_data_sub(w, 3, 14));
    EXPECT_EQ(mq::rd_string_make().at(0), QChar(21));
}
