// Loading the command tables from a config folder.
#include "common/test_env.h"
#include "main_window/command_files.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const char* const kFiles[] = {"L_R_CMD.REQ", "L_R_CMD.RSP", "T_R_CMD.REQ", "T_R_CMD.RSP",
                              "S_CMD.REQ",   "S_CMD.RSP",   "K_P_CMD.REQ", "R_P_CMD.REQ"};

QByteArray line(const QByteArray& text) { return "\x02" + text + "\x03\r\n"; }

// n lines "<prefix>00" .. in the file format.
QByteArray lines(const QByteArray& prefix, int n) {
    QByteArray out;
    for (int i = 0; i < n; ++i) out += line(prefix + QByteArray::number(i).rightJustified(2, '0'));
    return out;
}

class CommandFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        ASSERT_TRUE(dir.isValid());
        // A complete, valid set: every table filled to its size.
        write("L_R_CMD.REQ", lines("LR", 4));
        write("L_R_CMD.RSP", line("241") + line("74") + line("15") + line("18"));
        write("T_R_CMD.REQ", lines("TR", 4));
        write("T_R_CMD.RSP", line("167") + line("119") + line("15") + line("18"));
        write("S_CMD.REQ", lines("ST", 25));
        write("S_CMD.RSP", lines("1", 25));
        write("K_P_CMD.REQ", lines("KP", 17));
        write("R_P_CMD.REQ", lines("RP", 11));
    }
    void write(const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    bool load() { return mq::cmd_table_load(**slot, dir.path()); }

    QTemporaryDir dir;
    std::unique_ptr<mq::LinkSlot> slot = std::make_unique<mq::LinkSlot>();
};

TEST(CmdLineStrip, TakesTheTextBetweenStxAndTheFirstEtx) {
    EXPECT_EQ(mq::cmd_line_strip(QStringLiteral("\x02" "ABC\x03")), QStringLiteral("ABC"));
    EXPECT_EQ(mq::cmd_line_strip(QStringLiteral("\x02" "ABC\x03" "DEF\x03")), QStringLiteral("ABC"));
    EXPECT_EQ(mq::cmd_line_strip(QStringLiteral("\x02 A B \x03")), QStringLiteral(" A B "));
    EXPECT_EQ(mq::cmd_line_strip(QStringLiteral("ABC\x03")), QString());
    EXPECT_EQ(mq::cmd_line_strip(QStringLiteral(" \x02" "ABC\x03")), QString());
    EXPECT_EQ(mq::cmd_line_strip(QStringLiteral("\x02" "ABC")), QString());
    EXPECT_EQ(mq::cmd_line_strip(QStringLiteral("\x02\x03")), QString());
    EXPECT_EQ(mq::cmd_line_strip(QString()), QString());
}

TEST_F(CommandFilesTest, AFullSetFillsEveryTableInOrder) {
    ASSERT_TRUE(load());
    const mq::LinkState& st = **slot;
    EXPECT_EQ(st.cmd_l_r_req[0], QStringLiteral("LR00"));
    EXPECT_EQ(st.cmd_l_r_req[3], QStringLiteral("LR03"));
    EXPECT_EQ(st.cmd_l_r_rsp[0], QStringLiteral("241"));
    EXPECT_EQ(st.cmd_t_r_rsp[1], QStringLiteral("119"));
    EXPECT_EQ(st.cmd_s_req[24], QStringLiteral("ST24"));
    EXPECT_EQ(st.cmd_s_rsp[24], QStringLiteral("124"));
    EXPECT_EQ(st.cmd_k_p_req[16], QStringLiteral("KP16"));
    EXPECT_EQ(st.cmd_r_p_req[10], QStringLiteral("RP10"));
    EXPECT_EQ(st.cmd_r_p_req.size(), 11);
    EXPECT_THROW(st.cmd_r_p_req[11], mq::OutOfRangeError);
    EXPECT_THROW(st.cmd_s_req[-1], mq::OutOfRangeError);
}

TEST_F(CommandFilesTest, TheOneArgumentLoaderFillsTheCurrentLinkState) {
    ASSERT_TRUE(mq::cmd_table_load(dir.path()));
    EXPECT_EQ(mq::link().cmd_s_req[3], QStringLiteral("ST03"));
}

TEST_F(CommandFilesTest, TextAfterTheEtxIsIgnoredAndKatakanaIsKept) {
    // The file is CP932: "ｱ" is the single byte 0xB1.
    write("K_P_CMD.REQ", line("KP00") + QByteArray("\x02KP01\xB1\x03 trailing words\r\n"));
    ASSERT_TRUE(load());
    EXPECT_EQ((*slot)->cmd_k_p_req[1], QStringLiteral("KP01ｱ"));
}

TEST_F(CommandFilesTest, ExtraLinesAreIgnoredAndMissingLinesStayEmpty) {
    write("S_CMD.REQ", lines("ST", 30));
    ASSERT_TRUE(load());
    EXPECT_EQ((*slot)->cmd_s_req[24], QStringLiteral("ST24"));
    EXPECT_EQ((*slot)->cmd_k_p_req[0], QStringLiteral("KP00"));  // the files after it were read

    write("S_CMD.REQ", lines("ST", 20));
    ASSERT_TRUE(load());
    EXPECT_EQ((*slot)->cmd_s_req[19], QStringLiteral("ST19"));
    for (int i = 20; i < 25; ++i) EXPECT_TRUE((*slot)->cmd_s_req[i].isEmpty()) << i;
}

TEST_F(CommandFilesTest, ABadLineStopsTheLoadWithWhatWasReadSoFar) {
    struct Case {
        const char* what;
        QByteArray badLine;
    };
    const Case cases[] = {
        {"no STX", "ST05\x03\r\n"},
        {"no ETX", "\x02ST05\r\n"},
        {"nothing between", "\x02\x03\r\n"},
        {"empty line", "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write("S_CMD.REQ", lines("ST", 5) + c.badLine + lines("XX", 3));
        slot = std::make_unique<mq::LinkSlot>();
        EXPECT_FALSE(load());
        const mq::LinkState& st = **slot;
        EXPECT_EQ(st.cmd_l_r_req[0], QStringLiteral("LR00"));  // files before it
        EXPECT_EQ(st.cmd_t_r_rsp[3], QStringLiteral("18"));
        EXPECT_EQ(st.cmd_s_req[4], QStringLiteral("ST04"));  // lines before it
        EXPECT_TRUE(st.cmd_s_req[5].isEmpty());
        EXPECT_TRUE(st.cmd_s_req[6].isEmpty());
        EXPECT_TRUE(st.cmd_s_rsp[0].isEmpty());  // files after it
        EXPECT_TRUE(st.cmd_r_p_req[0].isEmpty());
    }
}

TEST_F(CommandFilesTest, AMissingFileStopsTheLoad) {
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("T_R_CMD.RSP"))));
    EXPECT_FALSE(load());
    EXPECT_EQ((*slot)->cmd_t_r_req[0], QStringLiteral("TR00"));
    EXPECT_TRUE((*slot)->cmd_s_req[0].isEmpty());
    EXPECT_FALSE(mq::cmd_table_load(**slot, dir.filePath(QStringLiteral("nowhere"))));
}

TEST_F(CommandFilesTest, LastLineWithoutLineEndAndLoneLineFeedsAreRead) {
    write("L_R_CMD.REQ", "\x02LR00\x03\n\x02LR01\x03\r\n\x02LR02\x03");
    ASSERT_TRUE(load());
    EXPECT_EQ((*slot)->cmd_l_r_req[1], QStringLiteral("LR01"));
    EXPECT_EQ((*slot)->cmd_l_r_req[2], QStringLiteral("LR02"));
    EXPECT_TRUE((*slot)->cmd_l_r_req[3].isEmpty());
}

TEST_F(CommandFilesTest, AReloadStartsFromEmptyTables) {
    ASSERT_TRUE(load());
    write("S_CMD.REQ", lines("ST", 2));
    ASSERT_TRUE(load());
    EXPECT_TRUE((*slot)->cmd_s_req[2].isEmpty());
}

TEST(InstalledCommandFiles, LoadAndHoldFramedCommandsAndNumericLengths) {
    mq::test::ensureApplication();
    mq::LinkSlot slot;
    ASSERT_TRUE(mq::cmd_table_load(mq::test::configDir()));
    const mq::LinkState& st = *slot;
    // Every reply length present is a number a reply can have.
    for (const mq::CommandTable* t : {&st.cmd_l_r_rsp, &st.cmd_t_r_rsp, &st.cmd_s_rsp}) {
        for (qsizetype i = 0; i < t->size(); ++i) {
            if ((*t)[i].isEmpty()) continue;
            bool ok = false;
            const int n = (*t)[i].toInt(&ok);
            EXPECT_TRUE(ok && n >= 3) << (*t)[i].toStdString();
        }
    }
    EXPECT_FALSE(st.cmd_s_req[0].isEmpty());
    EXPECT_FALSE(st.cmd_s_rsp[0].isEmpty());
}

}  // namespace
