// The installed command files: format, the entries the program sends, the
// template lengths the command builders need, and reply lengths that hold the
// records the readers parse.
#include "common/test_env.h"
#include "logger_state.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace logger_sim;

namespace {

CommandTables installed() {
    CommandTables t;
    QString err;
    EXPECT_TRUE(t.load(mq::test::configDir(), &err)) << err.toStdString();
    return t;
}

QByteArray fileBytes(const QString& name) {
    QFile f(QDir(mq::test::configDir()).filePath(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

}  // namespace

TEST(CommandFiles, EveryLineIsFramedAndEndsWithCrLf) {
    for (const char* name : {"L_R_CMD.REQ", "L_R_CMD.RSP", "T_R_CMD.REQ", "T_R_CMD.RSP", "S_CMD.REQ", "S_CMD.RSP",
                             "K_P_CMD.REQ", "R_P_CMD.REQ"}) {
        const QByteArray all = fileBytes(QString::fromLatin1(name));
        ASSERT_TRUE(all.endsWith("\x03\r\n")) << name;
        QList<QByteArray> lines = all.split('\n');
        lines.removeLast();  // after the last LF
        for (QByteArray line : lines) {
            ASSERT_TRUE(line.endsWith('\r')) << name << ": bare LF";
            line.chop(1);
            ASSERT_EQ(line.at(0), '\x02') << name;
            ASSERT_EQ(line.indexOf('\x03'), line.size() - 1) << name << ": text after ETX or ETX missing";
            ASSERT_GT(line.size(), 2) << name << ": empty entry";
            for (char c : line.mid(1, line.size() - 2))
                ASSERT_TRUE(c >= 0x20 && c < 0x7F) << name << ": command files hold printable ASCII only";
        }
    }
}

TEST(CommandFiles, RspFilesMatchTheirReqFilesAndHoldNumbers) {
    const CommandTables t = installed();
    EXPECT_EQ(t.logRsp.size(), t.logReq.size());
    EXPECT_EQ(t.tagRsp.size(), t.tagReq.size());
    EXPECT_EQ(t.statusRsp.size(), t.statusReq.size());
    for (const QList<int>* l : {&t.logRsp, &t.tagRsp, &t.statusRsp})
        for (int v : *l) EXPECT_GE(v, 4) << "a record reply holds at least STX ETX CR LF";
    // No table overflows its size in the program.
    EXPECT_LE(t.logReq.size(), 4);
    EXPECT_LE(t.tagReq.size(), 4);
    EXPECT_LE(t.statusReq.size(), 25);
    EXPECT_LE(t.listWriteReq.size(), 17);
    EXPECT_LE(t.settingWriteReq.size(), 11);
}

TEST(CommandFiles, FirstSixCharactersTellEveryCommandApart) {
    const CommandTables t = installed();
    QSet<QByteArray> seen;
    int total = 0;
    for (Table tab : {Table::LogRead, Table::TagRead, Table::Status, Table::ListWrite, Table::SettingWrite}) {
        for (const QByteArray& e : t.requests(tab)) {
            ASSERT_GE(e.size(), 6);
            EXPECT_FALSE(seen.contains(e.left(6))) << e.constData();
            seen.insert(e.left(6));
            ++total;
        }
    }
    EXPECT_EQ(seen.size(), total);
}

TEST(CommandFiles, EveryEntryTheProgramSendsExists) {
    const CommandTables t = installed();
    for (int e : {0, 1, 3}) {
        EXPECT_GT(t.logReq.value(e).size(), 0) << "L_R " << e;
        EXPECT_GT(t.tagReq.value(e).size(), 0) << "T_R " << e;
    }
    for (int e : {0, 1, 3, 4, 5, 11, 12, 16, 17}) EXPECT_GT(t.statusReq.value(e).size(), 0) << "S " << e;
    for (int e : {1, 8, 9, 10}) EXPECT_GT(t.listWriteReq.value(e).size(), 0) << "K_P " << e;
    for (int e : {0, 1, 5, 6, 7, 8}) EXPECT_GT(t.settingWriteReq.value(e).size(), 0) << "R_P " << e;
}

TEST(CommandFiles, TemplatesReachEveryPositionTheBuildersReplace) {
    const CommandTables t = installed();
    // Area, tag or list number at 7-8.
    for (int e : {0, 1, 3}) {
        EXPECT_GE(t.logReq.at(e).size(), 8);
        EXPECT_GE(t.tagReq.at(e).size(), 8);
    }
    EXPECT_GE(t.statusReq.at(16).size(), 8);
    EXPECT_GE(t.statusReq.at(17).size(), 8);
    // Setting writes: the builders keep 1-6 and 9 and replace up to these positions.
    const QList<QByteArray>& rp = t.settingWriteReq;
    EXPECT_EQ(rp.at(0).size(), 22) << "reservation start is sent at exactly 22 characters";
    EXPECT_EQ(rp.at(1).size(), 22);
    EXPECT_EQ(rp.at(8).size(), 16) << "the interval is sent at exactly 16 characters";
    EXPECT_GE(rp.at(5).size(), 89);
    EXPECT_GE(rp.at(6).size(), 57);
    EXPECT_GE(rp.at(7).size(), 33);
    // The integration-base template's own separators at 15, 21, 27 and 33.
    for (int p : {15, 21, 27, 33}) EXPECT_EQ(rp.at(7).at(p - 1), ',') << p;
    // List writes: clock digits 7-18, name 7-14, list texts 10-17.
    const QList<QByteArray>& kp = t.listWriteReq;
    EXPECT_GE(kp.at(1).size(), 18);
    EXPECT_GE(kp.at(8).size(), 14);
    EXPECT_GE(kp.at(9).size(), 17);
    EXPECT_GE(kp.at(10).size(), 17);
}

TEST(CommandFiles, ReplyLengthsHoldTheFieldsTheReadersTake) {
    const CommandTables t = installed();
    // Last position read + ETX CR LF.
    EXPECT_GE(t.statusRsp.at(0), 12 + 3);  // serial 5-12
    EXPECT_GE(t.statusRsp.at(1), 21 + 3);  // special spec 20-21
    EXPECT_GE(t.statusRsp.at(3), 7 + 3);   // mode 7
    EXPECT_GE(t.statusRsp.at(4), 16 + 3);  // clock 5-16
    EXPECT_GE(t.statusRsp.at(5), 23 + 3);  // offsets 5-8 .. 20-23
    EXPECT_GE(t.statusRsp.at(11), 12 + 3);
    EXPECT_GE(t.statusRsp.at(12), 12 + 3);
    EXPECT_GE(t.statusRsp.at(16), 15 + 3);  // name 8-15
    EXPECT_GE(t.statusRsp.at(17), 15 + 3);
    EXPECT_GE(t.logRsp.at(0), 238 + 3);  // CH4 block ends at 238
    EXPECT_GE(t.logRsp.at(3), 15 + 3);   // count 8-15
    EXPECT_GE(t.tagRsp.at(0), 164 + 3);  // CH4 block ends at 164
    EXPECT_GE(t.tagRsp.at(3), 15 + 3);
}

TEST(CommandFiles, LineStripFollowsTheFileFormat) {
    EXPECT_EQ(CommandTables::stripLine("\x02" "ABC\x03"), QByteArray("ABC"));
    EXPECT_EQ(CommandTables::stripLine("\x02" "ABC\x03XYZ"), QByteArray("ABC"));
    EXPECT_TRUE(CommandTables::stripLine("ABC\x03").isEmpty());
    EXPECT_TRUE(CommandTables::stripLine("\x02" "ABC").isEmpty());
    EXPECT_TRUE(CommandTables::stripLine("\x02\x03").isEmpty());
}

TEST(CommandFiles, LoadFailsOnAMissingOrBrokenFile) {
    QTemporaryDir dir;
    for (const char* n : {"L_R_CMD.REQ", "L_R_CMD.RSP", "T_R_CMD.REQ", "T_R_CMD.RSP", "S_CMD.REQ", "S_CMD.RSP",
                          "K_P_CMD.REQ", "R_P_CMD.REQ"})
        QFile::copy(QDir(mq::test::configDir()).filePath(n), dir.filePath(n));
    CommandTables t;
    QString err;
    ASSERT_TRUE(t.load(dir.path(), &err));
    QFile f(dir.filePath("S_CMD.REQ"));
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("ST99XX\r\n");  // no frame
    f.close();
    EXPECT_FALSE(t.load(dir.path(), &err));
    EXPECT_TRUE(err.contains("S_CMD.REQ"));
    QFile::remove(dir.filePath("S_CMD.REQ"));
    EXPECT_FALSE(t.load(dir.path(), &err));
}
