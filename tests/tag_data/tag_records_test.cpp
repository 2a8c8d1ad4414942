// The TAG data reply: its length, its split into records, and what a record
// stores and counts.
#include "tag_data/tag_records.h"

#include <gtest/gtest.h>

#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "platform/civil_time.h"
#include "platform/errors.h"
#include "tag_data/ops_tag.h"

namespace {

using mq::clsLOGGER_SETTING;
using mq::TagReplyRecord;

// A reply laid out as the logger sends it: groups of up to three records,
// a 7-character head with the tag number at 5-6, 4 closing characters.
QString reply(const QStringList& records, int tag = 7) {
    QString out;
    for (int i = 0; i < records.size(); i += 3) {
        out += QChar(0x02) + QStringLiteral("T01%1,").arg(tag, 2, 10, QChar(u'0'));
        for (int k = i; k < records.size() && k < i + 3; ++k) out += records[k];
        out += QChar(0x03) + QStringLiteral("C\r\n");
    }
    return out;
}

void channels(clsLOGGER_SETTING& s, const QString& types, int vDecimals = 2) {
    for (int c = 0; c < 4; ++c) {
        s.let_Ch_input_type(c, types.mid(c, 1));
        s.let_Ch_period_pos(c, quint8(types[c] == u'V' ? vDecimals : 1));
    }
}

TEST(TagReplyLength, GroupsOfThreeAndTheRest) {
    struct Case {
        qint32 d;
        qint16 n;
        qint32 expected;
    } const cases[] = {{0, 4, 0}, {3, 1, 74}, {2, 3, 73}, {4, 2, 126}, {1, 4, 47}, {10000, 4, 3333 * 119 + 47}};
    for (const Case& c : cases) EXPECT_EQ(mq::tag_data_reply_length(c.d, c.n), c.expected) << c.d << "/" << c.n;
    EXPECT_THROW(mq::tag_data_reply_length(2147483647, 4), mq::OverflowError);
}

TEST(TagReplySplit, RecordsAtTheirPositionsWithUnusedChannelsTakingNoRoom) {
    mq::test::ensureApplication();
    clsLOGGER_SETTING s;
    channels(s, QStringLiteral("K-KV"));  // 3 in use: records of 31 characters
    const QStringList recs = {"  250  251  150131210110000" "0102",  // 25.0, 25.1, 1.50
                              "3276732766-----131210110530" "2003",
                              "   -5    5    5131231235959" "0000",
                              "12345  -12   -1140228000000" "2120"};
    const QString r = reply(recs);
    ASSERT_EQ(r.size(), mq::tag_data_reply_length(4, 3));
    QList<TagReplyRecord> got;
    EXPECT_EQ(mq::split_tag_reply(r, 1, 1, s, [&](const TagReplyRecord& x) { got << x; }), 4);
    ASSERT_EQ(got.size(), 4);
    EXPECT_EQ(got[0].No, 1);
    EXPECT_EQ(got[0].values, (std::array<QString, 4>{"  25.0", "      ", "  25.1", "  1.50"}));
    EXPECT_EQ(mq::platform::formatCivil(got[0].time), QStringLiteral("2013/12/10 11:00:00"));
    EXPECT_EQ(got[0].worker_no, QStringLiteral("01"));
    EXPECT_EQ(got[0].comment_no, QStringLiteral("02"));
    EXPECT_EQ(got[1].values, (std::array<QString, 4>{"3276.7", "      ", "3276.6", "------"}));
    EXPECT_EQ(got[2].values, (std::array<QString, 4>{"  -0.5", "      ", "   0.5", "  0.05"}));
    EXPECT_EQ(mq::platform::formatCivil(got[2].time), QStringLiteral("2013/12/31 23:59:59"));
    EXPECT_EQ(got[3].No, 4);
    EXPECT_EQ(got[3].worker_no, QStringLiteral("21"));

    // A reply that ends early gives its complete records only.
    got.clear();
    EXPECT_EQ(mq::split_tag_reply(r.left(r.size() - 20), 1, 1, s, [&](const TagReplyRecord& x) { got << x; }), 3);
}

TEST(TagReplySplit, ATimeThatIsNoTimeIsRefused) {
    mq::test::ensureApplication();
    clsLOGGER_SETTING s;
    channels(s, QStringLiteral("K---"));
    const QString r = reply({"  250131332110000" "0101"});
    EXPECT_THROW(mq::split_tag_reply(r, 0, 1, s, [](const TagReplyRecord&) {}), mq::ConversionError);
    // A bad time in a later record: no record is handed over before it.
    int handed = 0;
    const QString later = reply({"  250131210110000" "0101", "  251131210110500" "0101", "  252131299110000" "0101"});
    EXPECT_THROW(mq::split_tag_reply(later, 1, 0, s, [&handed](const TagReplyRecord&) { ++handed; }), mq::ConversionError);
    EXPECT_EQ(handed, 0);
}

TEST(TagNames, NumbersOutsideTheListHaveNoName) {
    mq::clsLOGGER_STATUS st;
    for (int i = 0; i < 20; ++i) {
        st.let_worker_name(i, QStringLiteral("W%1").arg(i + 1));
        st.let_Comment(i, QStringLiteral("C%1").arg(i + 1));
    }
    struct Case {
        const char* number;
        const char* worker;
    } const cases[] = {{"01", "W1      "}, {"20", "W20     "}, {"00", ""}, {"21", ""}, {"  ", ""}, {"", ""}, {"9x", ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(mq::tag_worker_name(st, QString::fromLatin1(c.number)), QString::fromLatin1(c.worker)) << c.number;
    }
    EXPECT_EQ(mq::tag_comment_name(st, QStringLiteral("05")), QStringLiteral("C5      "));
    // A list entry never read holds NUL characters: no name.
    EXPECT_EQ(mq::tag_worker_name(mq::clsLOGGER_STATUS(), QStringLiteral("03")), QString());
}

TEST(TagStoredText, CountsOnlyMeasuredValues) {
    clsLOGGER_SETTING s;
    channels(s, QStringLiteral("K-VT"));
    struct Case {
        int ch;
        const char* value;
        const char* stored;
        bool counted;
    } const cases[] = {{0, "  25.0", "      25.0", true},   {0, "3276.7", "     O.R.", false},
                       {0, "  O.R.", "     O.R.", false},   {0, "3276.6", "     U.R.", false},
                       {0, "------", "    ------", false},  {0, "      ", "    ------", false},
                       {0, " 1a2.0", "    ------", false},  {1, "  25.0", "", false},
                       {2, " -1.50", "     -1.50", true},   {3, "1370.0", "    1370.0", true}};
    for (const Case& c : cases) {
        const qint32 before = s.Ch_data_count(c.ch);
        EXPECT_EQ(mq::tag_stored_ch_text(QString::fromLatin1(c.value), c.ch, s), QString::fromLatin1(c.stored))
            << c.value;
        EXPECT_EQ(s.Ch_data_count(c.ch) - before, c.counted ? 1 : 0) << c.value;
    }
}

TEST(TagStatistics, MinimumMaximumAndSumLeaveOutWhatIsNoValue) {
    clsLOGGER_SETTING s;
    channels(s, QStringLiteral("KV--"));
    mq::reset_tag_statistics(s);
    EXPECT_DOUBLE_EQ(s.Ch_min_value(0), 9999.9);
    EXPECT_DOUBLE_EQ(s.Ch_max_value(0), -999.9);
    for (const char* v : {"  25.0", "3276.7", "3276.6", "------", "      ", "  -5.0", "  25.0", "  10.1"}) {
        mq::tag_stat_update(s, QString::fromLatin1(v), 0);
    }
    EXPECT_DOUBLE_EQ(s.Ch_min_value(0), -5.0);
    EXPECT_DOUBLE_EQ(s.Ch_max_value(0), 25.0);
    EXPECT_NEAR(s.Ch_sum(0), 55.1, 1e-9);
    // A channel whose every value is over or under range keeps its reset values.
    mq::tag_stat_update(s, QStringLiteral("3276.7"), 1);
    EXPECT_DOUBLE_EQ(s.Ch_sum(1), 0.0);
    mq::tag_stat_update(s, QStringLiteral("  1.25"), 1);
    EXPECT_DOUBLE_EQ(s.Ch_min_value(1), 1.25);
}

}  // namespace

namespace {

// The TAG-mode scenario kept for trying the program by hand reads as meant.
TEST(TagScenario, HandScenarioIsATagLogger) {
    const logger_sim::Scenario s =
        logger_sim::loadScenario(QStringLiteral(MQ_SOURCE_DIR "/tests/logger_sim/tag.scenario"));
    EXPECT_EQ(s.mode, logger_sim::Mode::Tag);
    ASSERT_EQ(s.tags.size(), 3);
    EXPECT_EQ(s.tags[0].records.size(), 4);
    EXPECT_EQ(s.tags[0].records[3].worker, 21);
    EXPECT_EQ(s.tags[1].records.size(), 500);
    EXPECT_EQ(s.tags[1].channelsInUse(), 2);
    EXPECT_EQ(s.workers.value(2), QStringLiteral("PWﾊﾟﾜｰ"));
}

}  // namespace
