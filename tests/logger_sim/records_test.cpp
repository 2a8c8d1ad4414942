// The simulated logger's records, checked at the positions the program's
// readers take them from (1-based, STX at position 1), and what writes change.
#include "common/test_env.h"
#include "logger_state.h"

#include <gtest/gtest.h>

using namespace logger_sim;

namespace {

// n characters from 1-based position p.
QByteArray at(const QByteArray& r, int p, int n) { return r.mid(p - 1, n); }

QByteArray framed(const QByteArray& body) { return '\x02' + body + "\x03\r\n"; }

class Records : public ::testing::Test {
protected:
    void SetUp() override {
        QString err;
        ASSERT_TRUE(tables.load(mq::test::configDir(), &err)) << err.toStdString();
    }
    LoggerState make(Scenario s = defaultScenario()) { return LoggerState(tables, std::move(s)); }
    QByteArray cmd(Table t, int entry, int n = -1) const {
        QByteArray c = tables.requests(t).at(entry);
        if (n >= 0) c.replace(6, 2, QByteArray::number(100 + n).right(2));
        return c;
    }
    void expectFrame(const QByteArray& r) {
        ASSERT_GE(r.size(), 4);
        EXPECT_EQ(r.at(0), '\x02');
        EXPECT_EQ(r.right(3), QByteArray("\x03\r\n"));
    }
    CommandTables tables;
};

}  // namespace

TEST_F(Records, EveryRecordReplyHasTheLengthOfItsRspEntryAndAFrame) {
    LoggerState st = make();
    for (Table t : {Table::LogRead, Table::TagRead, Table::Status}) {
        const auto& req = tables.requests(t);
        for (int e = 0; e < req.size(); ++e) {
            if (e == 1 && t != Table::Status) continue;  // data replies: computed length
            const QByteArray c = req.at(e).size() >= 8 ? cmd(t, e, 1) : req.at(e);
            const QByteArray r = st.reply(c);
            SCOPED_TRACE(c.constData());
            EXPECT_EQ(r.size(), tables.replyLength(t, e));
            expectFrame(r);
        }
    }
}

TEST_F(Records, IdentityModelModeAndOffsetsSitWhereTheConnectionCheckReadsThem) {
    Scenario s = defaultScenario();
    s.serial = "SN000042";
    s.model = "ZK4409MU";
    s.hardVer = 3;
    s.softVer = 12;
    s.specialSpec = 7;
    s.mode = Mode::Memory;
    s.offsets[0] = "0123";
    s.offsets[1] = "-015";
    s.offsets[2] = "0000";
    s.offsets[3] = "9999";
    s.userModelName = "AB CD";
    LoggerState st = make(s);
    EXPECT_EQ(at(st.identityRecord(), 5, 8), "SN000042");
    const QByteArray m = st.modelRecord();
    EXPECT_EQ(at(m, 5, 8), "ZK4409MU");
    EXPECT_EQ(at(m, 14, 2), "03");
    EXPECT_EQ(at(m, 17, 2), "12");
    EXPECT_EQ(at(m, 20, 2), "07");
    EXPECT_EQ(at(st.modeRecord(), 7, 1), "3");
    const QByteArray o = st.offsetRecord();
    EXPECT_EQ(at(o, 5, 4), "0123");
    EXPECT_EQ(at(o, 10, 4), "-015");
    EXPECT_EQ(at(o, 15, 4), "0000");
    EXPECT_EQ(at(o, 20, 4), "9999");
    EXPECT_EQ(at(st.userModelRecord(), 5, 8), "AB CD   ");
}

TEST_F(Records, ClockAndMemory) {
    Scenario s = defaultScenario();
    s.clock = QDateTime(QDate(2013, 12, 10), QTime(9, 5, 0));
    s.remainingMemory = 692569;
    LoggerState st = make(s);
    const QByteArray c = st.clockRecord();
    // The clock runs on from the scenario's time; within a test it stays in the minute.
    EXPECT_EQ(at(c, 5, 10), "1312100905");
    EXPECT_EQ(at(st.memoryRecord(), 5, 8), "00692569");
    s.remainingMemory = 0;
    EXPECT_EQ(at(make(s).memoryRecord(), 5, 8), "00000000");
}

TEST_F(Records, WorkerAndCommentRecordsCarryTheirPositionAndEightCharacters) {
    LoggerState st = make();
    const QByteArray w = st.reply(cmd(Table::Status, 16, 3));
    EXPECT_EQ(at(w, 5, 2), "03");
    // "ｻﾄｳ ｹﾝ": half-width katakana, one byte each in the logger's code page.
    EXPECT_EQ(at(w, 8, 8), QByteArray("\xBB\xC4\xB3 \xB9\xDD  "));
    const QByteArray c = st.reply(cmd(Table::Status, 17, 20));
    EXPECT_EQ(at(c, 5, 2), "20");
    EXPECT_EQ(at(c, 8, 8), "C20     ");
    // List position 00 does not exist.
    EXPECT_EQ(st.reply(cmd(Table::Status, 16, 0)), QByteArray("\x15\r\n"));
}

TEST_F(Records, LogSettingRecordFieldsAtTheirPositions) {
    LoggerState st = make();
    const QByteArray r = st.reply(cmd(Table::LogRead, 0, 1));
    ASSERT_EQ(r.size(), 241);
    EXPECT_EQ(at(r, 5, 2), "01");
    EXPECT_EQ(at(r, 8, 8), QByteArray("\xC3\xBD\xC4" "1    "));  // ﾃｽﾄ1
    EXPECT_EQ(at(r, 17, 2) + at(r, 19, 2) + at(r, 21, 2), "000010");
    EXPECT_EQ(at(r, 24, 8), QByteArray("\xC0\xC5\xB6     "));  // ﾀﾅｶ
    EXPECT_EQ(at(r, 33, 8), QByteArray("\xB9\xDD\xBB OK  "));  // ｹﾝｻ OK
    EXPECT_EQ(at(r, 42, 12), "131210100017");
    EXPECT_EQ(at(r, 55, 12), "131210100117");
    // CH1 at 78: K, unit, scales, decimals, low, high, base.
    const int b1 = 78;
    EXPECT_EQ(at(r, b1, 1), "K");
    EXPECT_EQ(at(r, b1 + 2, 3), QByteArray("\xDF" "C "));
    EXPECT_EQ(at(r, b1 + 6, 5), "-0200");
    EXPECT_EQ(at(r, b1 + 12, 5), " 1370");
    EXPECT_EQ(at(r, b1 + 18, 1), "1");
    EXPECT_EQ(at(r, b1 + 20, 5), "  100");
    EXPECT_EQ(at(r, b1 + 26, 5), "  500");
    EXPECT_EQ(at(r, b1 + 32, 5), "  250");
    EXPECT_EQ(at(r, 116 + 20, 5), "-2000");
    EXPECT_EQ(at(r, 116 + 26, 5), "13700");
    // CH3 from 164, not 154; CH4 from 202.
    EXPECT_EQ(at(r, 164, 1), "E");
    EXPECT_EQ(at(r, 164 + 20, 5), "-----");
    EXPECT_EQ(at(r, 202, 1), "V");
    EXPECT_EQ(at(r, 202 + 2, 3), "V  ");
    EXPECT_EQ(at(r, 202 + 6, 5), "-1000");
    EXPECT_EQ(at(r, 202 + 18, 1), "2");
    EXPECT_EQ(at(r, 202 + 32, 5), "-----");
}

TEST_F(Records, AnEmptyAreaReportsZeroRecordsAndNoTimes) {
    LoggerState st = make();
    const QByteArray count = st.reply(cmd(Table::LogRead, 3, 9));
    EXPECT_EQ(count, framed("L0309,00000000"));
    const QByteArray set = st.reply(cmd(Table::LogRead, 0, 9));
    EXPECT_EQ(at(set, 42, 12), QByteArray(12, '0'));
    EXPECT_EQ(at(set, 55, 12), QByteArray(12, '0'));
}

TEST_F(Records, LogCountRecord) {
    LoggerState st = make();
    const QByteArray r = st.reply(cmd(Table::LogRead, 3, 2));
    EXPECT_EQ(at(r, 5, 2), "02");
    EXPECT_EQ(at(r, 8, 8), "00000005");
}

TEST_F(Records, LogDataLengthFollowsTheReadersFormula) {
    EXPECT_EQ(logDataLength(0, 4), 0);
    EXPECT_EQ(logDataLength(7, 4), 180);
    EXPECT_EQ(logDataLength(5, 2), 77);
    EXPECT_EQ(tagDataLength(3, 1), 74);
    EXPECT_EQ(tagDataLength(2, 3), 73);
    EXPECT_EQ(tagDataLength(4, 2), 126);
    LoggerState st = make();
    EXPECT_EQ(st.logDataReply(1).size(), 180);  // 7 records, 4 channels
    EXPECT_EQ(st.logDataReply(2).size(), 77);   // 5 records, 2 channels
    EXPECT_EQ(st.logDataReply(3).size(), 5 * 1 + 12);
    EXPECT_EQ(st.tagDataReply(1).size(), 126);  // 4 records, 2 channels
    EXPECT_EQ(st.tagDataReply(5).size(), 74);   // 3 records, 1 channel
}

TEST_F(Records, LogDataRecordsSplitIntoGroupsOfThree) {
    LoggerState st = make();
    const QByteArray r = st.logDataReply(1);
    const int c = 4, rec = 5 * c + 1, full = 15 * c + 14;
    const QByteArray g1 = r.left(full);
    expectFrame(g1);
    EXPECT_EQ(at(g1, 5, 2), "01");
    // Record 0 of group 1: CH1..CH4, then the flag.
    EXPECT_EQ(at(g1, 8, rec), QByteArray("  235  240  -15  5120"));
    EXPECT_EQ(at(g1, 8 + rec, rec), QByteArray("  23632767  -12   120"));
    EXPECT_EQ(at(g1, 8 + 2 * rec, rec), QByteArray("  23732766-----  -981"));  // marked
    const QByteArray g3 = r.mid(2 * full);
    EXPECT_EQ(g3.size(), 5 * c + 12);
    expectFrame(g3);
    EXPECT_EQ(at(g3, 8, rec), QByteArray("  240  244   20-10000"));
}

TEST_F(Records, LogDataOfChannelsInUseOnly) {
    LoggerState st = make();
    const QByteArray r = st.logDataReply(2);  // CH1 and CH3
    EXPECT_EQ(at(r, 8, 11), QByteArray("  101  2010"));
    EXPECT_EQ(at(r, 8 + 11, 11), QByteArray("  102  2021"));
}

TEST_F(Records, TagSettingRecordFieldsAtTheirPositions) {
    LoggerState st = make();
    const QByteArray r = st.reply(cmd(Table::TagRead, 0, 1));
    ASSERT_EQ(r.size(), 167);
    EXPECT_EQ(at(r, 5, 2), "01");
    EXPECT_EQ(at(r, 8, 8), QByteArray("\xC0\xB8\xDE" "1    "));  // ﾀｸﾞ1
    EXPECT_EQ(at(r, 27, 1), "K");
    EXPECT_EQ(at(r, 27 + 2, 3), QByteArray("\xDF" "C "));
    EXPECT_EQ(at(r, 27 + 6, 5), "-0200");
    EXPECT_EQ(at(r, 27 + 12, 5), " 1370");
    EXPECT_EQ(at(r, 27 + 18, 1), "1");
    EXPECT_EQ(at(r, 27 + 20, 5), "  100");
    EXPECT_EQ(at(r, 27 + 26, 5), "  500");
    EXPECT_EQ(at(r, 59, 1), "J");
    EXPECT_EQ(at(r, 101, 1), "-");  // CH3 42 positions after CH2
    EXPECT_EQ(at(r, 133, 1), "-");
    EXPECT_EQ(at(r, 133 + 20, 5), "-----");
    // Each read block is the 20-character range block and the 12-character alarm block.
    EXPECT_EQ(at(r, 27, 32), QByteArray("K,\xDF" "C ,-0200, 1370,1,  100,  500,"));
    const QByteArray count = st.reply(cmd(Table::TagRead, 3, 5));
    EXPECT_EQ(count, framed("T0305,00000003"));
}

TEST_F(Records, TagDataRecordsCarryTimeWorkerAndComment) {
    LoggerState st = make();
    const QByteArray r = st.tagDataReply(1);  // 2 channels: records of 26
    const QByteArray g1 = r.left(2 * 15 + 59);
    expectFrame(g1);
    EXPECT_EQ(at(g1, 5, 2), "01");
    EXPECT_EQ(at(g1, 8, 26), QByteArray("  250  300131210110000" "0101"));
    EXPECT_EQ(at(g1, 34, 26), QByteArray("32767  301131210110530" "0203"));
    EXPECT_EQ(at(g1, 60, 26), QByteArray("32766-----131210110700" "0302"));
    const QByteArray g2 = r.mid(89);
    EXPECT_EQ(at(g2, 8, 26), QByteArray("   -5  302131210110959" "2020"));
}

TEST_F(Records, ReadsWithAnUnknownOrMalformedCommandAreRefused) {
    LoggerState st = make();
    const QByteArray nak("\x15\r\n", 3);
    EXPECT_EQ(st.reply("ZZZZZZ"), nak);
    EXPECT_EQ(st.reply(cmd(Table::LogRead, 0, 21)), nak);
    EXPECT_EQ(st.reply(cmd(Table::LogRead, 0, 1) + "X"), nak);
    QByteArray bad = cmd(Table::LogRead, 0, 1);
    bad[6] = 'A';
    EXPECT_EQ(st.reply(bad), nak);
}

TEST_F(Records, SettingWritesAreAcknowledgedAndReadBack) {
    LoggerState st = make();
    const QByteArray ack("\x06\r\n", 3);
    // Interval of area 4.
    QByteArray a = cmd(Table::SettingWrite, 8, 4);
    a.replace(9, 6, "013000");
    EXPECT_EQ(st.reply(a), ack);
    st.apply(a);
    // Channel ranges.
    QByteArray b = cmd(Table::SettingWrite, 5, 4);
    b.replace(9, 20, "T,\xDF" "C ,-0100, 5000,1,");
    b.replace(29, 20, "V,mV , 0000, 0050,3,");
    EXPECT_EQ(st.reply(b), ack);
    st.apply(b);
    // Alarms and integration bases.
    QByteArray c = cmd(Table::SettingWrite, 6, 4);
    c.replace(9, 12, " -500, 3000,");
    EXPECT_EQ(st.reply(c), ack);
    st.apply(c);
    QByteArray d = cmd(Table::SettingWrite, 7, 4);
    d.replace(9, 5, "  255");
    EXPECT_EQ(st.reply(d), ack);
    st.apply(d);
    const QByteArray r = st.reply(cmd(Table::LogRead, 0, 4));
    EXPECT_EQ(at(r, 17, 6), "013000");
    EXPECT_EQ(at(r, 78, 37), QByteArray("T,\xDF" "C ,-0100, 5000,1, -500, 3000,  255"));
    EXPECT_EQ(at(r, 116, 19), QByteArray("V,mV , 0000, 0050,3"));
    // Reservation start and stop of area 4.
    QByteArray e = cmd(Table::SettingWrite, 0, 4);
    e.replace(9, 12, "131224080000");
    QByteArray f = cmd(Table::SettingWrite, 1, 4);
    f.replace(9, 12, "000000000000");
    st.apply(e);
    st.apply(f);
    const QByteArray r2 = st.reply(cmd(Table::LogRead, 0, 4));
    EXPECT_EQ(at(r2, 42, 12), "131224080000");
    EXPECT_EQ(at(r2, 55, 12), "000000000000");
}

TEST_F(Records, SettingWritesInTagModeGoToTheTag) {
    Scenario s = defaultScenario();
    s.mode = Mode::Tag;
    LoggerState st = make(s);
    QByteArray b = cmd(Table::SettingWrite, 5, 7);
    b.replace(9, 20, "E,\xDF" "C ,-0200, 0700,1,");
    st.apply(b);
    const QByteArray r = st.reply(cmd(Table::TagRead, 0, 7));
    EXPECT_EQ(at(r, 27, 19), QByteArray("E,\xDF" "C ,-0200, 0700,1"));
    // Number 00 is the PC-side defaults, not a tag.
    QByteArray d = cmd(Table::SettingWrite, 5, 0);
    d.replace(9, 1, "J");
    st.apply(d);
    EXPECT_EQ(st.scenario().defaults.channels[0].type, "J");
}

TEST_F(Records, WritesOfTheWrongLengthAreRefusedAndChangeNothing) {
    LoggerState st = make();
    const QByteArray nak("\x15\r\n", 3);
    QByteArray a = cmd(Table::SettingWrite, 8, 1) + "0";  // 17 characters
    EXPECT_EQ(st.reply(a), nak);
    st.apply(a);
    EXPECT_EQ(st.area(1).interval, "00:00:10");
    QByteArray e = cmd(Table::SettingWrite, 0, 1);
    e.replace(9, 2, "AB");  // not digits
    EXPECT_EQ(st.reply(e), nak);
}

TEST_F(Records, ListClockAndNameWrites) {
    LoggerState st = make();
    QByteArray w = cmd(Table::ListWrite, 9, 5);
    w.replace(9, 8, "\xCF\xB4\xC0\xDE    ");  // ﾏｴﾀﾞ
    EXPECT_EQ(st.reply(w), QByteArray("\x06\r\n", 3));
    st.apply(w);
    EXPECT_EQ(at(st.reply(cmd(Table::Status, 16, 5)), 8, 8), QByteArray("\xCF\xB4\xC0\xDE    "));
    QByteArray cm = cmd(Table::ListWrite, 10, 20);
    cm.replace(9, 8, "LAST    ");
    st.apply(cm);
    EXPECT_EQ(at(st.reply(cmd(Table::Status, 17, 20)), 8, 8), "LAST    ");

    QByteArray clock = tables.listWriteReq.at(1);
    clock.replace(6, 12, "200229235958");
    st.apply(clock);
    EXPECT_EQ(at(st.clockRecord(), 5, 10), "2002292359");

    QByteArray name = tables.listWriteReq.at(8);
    name.replace(6, 8, "NEW NAME");
    st.apply(name);
    EXPECT_EQ(at(st.userModelRecord(), 5, 8), "NEW NAME");
}

TEST_F(Records, ScaleAndFieldTextHelpers) {
    EXPECT_EQ(scaleText(0), " 0000");
    EXPECT_EQ(scaleText(5000), " 5000");
    EXPECT_EQ(scaleText(-200), "-0200");
    EXPECT_EQ(scaleText(-9999), "-9999");
    EXPECT_EQ(fitLeft("ABCDEFGHIJ", 8), "ABCDEFGH");
    EXPECT_EQ(fitLeft("AB", 4), "AB  ");
    // A two-byte character is never cut in half.
    EXPECT_EQ(fitLeft(QStringLiteral("ABC温度"), 4), "ABC ");
    EXPECT_EQ(fitRight("12", 5), "   12");
    EXPECT_EQ(fromWire(toWire(QStringLiteral("ﾃｽﾄ"))), QStringLiteral("ﾃｽﾄ"));
    EXPECT_EQ(toWire(QStringLiteral("ﾃｽﾄ")).size(), 3);
}
