#include <gtest/gtest.h>

#include <functional>

#include "log_data/integration.h"
#include "log_data/log_records.h"
#include "log_data/log_window_fixture.h"
#include "model/common_proc.h"
#include "platform/errors.h"

namespace mq::test {
namespace {

class LogRecordsTest : public LogFixture {
protected:
    std::vector<LogReplyRecord> split(const QString& reply, qint32 q, qint16 r) {
        std::vector<LogReplyRecord> out;
        split_log_reply(reply, q, r, setting(), [&](const LogReplyRecord& rec) { out.push_back(rec); });
        return out;
    }
};

// ---------------------------------------------------------------- reply length

TEST(LogReplyLength, FullGroupsAndTheShorterLastGroup) {
    // c = 4: a full group is 15c + 14 = 74; one record 5c + 12 = 32; two 10c + 13 = 53.
    EXPECT_EQ(log_reply_length(0, 4), 0);
    EXPECT_EQ(log_reply_length(1, 4), 32);
    EXPECT_EQ(log_reply_length(2, 4), 53);
    EXPECT_EQ(log_reply_length(3, 4), 74);
    EXPECT_EQ(log_reply_length(4, 4), 74 + 32);
    EXPECT_EQ(log_reply_length(16000, 4), 5333 * 74 + 32);
    // c = 2: 44 per group, 22 and 33.
    EXPECT_EQ(log_reply_length(5, 2), 44 + 33);
    // The builder of the tests agrees with the layout (11 + k(5c + 1) per group).
    std::vector<RawRecord> recs(5, RawRecord{{QStringLiteral("  100"), QStringLiteral("  200")}});
    EXPECT_EQ(buildReply(recs).size(), log_reply_length(5, 2));
}

// ---------------------------------------------------------------- record times

TEST(LogRecordClockTest, OneRecordCarriesTheStart) {
    const QDateTime start = civil(2024, 1, 15, 10, 0, 17);
    LogRecordClock t(start, civil(2024, 1, 15, 11, 0, 0), QStringLiteral("00:01:00"), 1);
    EXPECT_EQ(t.time(1), start);
}

TEST(LogRecordClockTest, TwoRecordsCarryStartAndStop) {
    const QDateTime start = civil(2024, 1, 15, 10, 0, 17);
    const QDateTime stop = civil(2024, 1, 15, 10, 0, 59);
    LogRecordClock t(start, stop, QStringLiteral("00:01:00"), 2);
    EXPECT_EQ(t.time(1), start);
    EXPECT_EQ(t.time(2), stop);
}

TEST(LogRecordClockTest, SecondRecordOfALongIntervalFallsOnTheNextWholeMinute) {
    const QDateTime start = civil(2024, 1, 15, 10, 0, 17);
    const QDateTime stop = civil(2024, 1, 15, 10, 2, 3);
    LogRecordClock t(start, stop, QStringLiteral("00:01:00"), 3);
    EXPECT_EQ(t.time(2), civil(2024, 1, 15, 10, 1, 0));
    EXPECT_EQ(t.time(3), stop);

    // Across an hour and a day boundary.
    LogRecordClock late(civil(2024, 12, 31, 23, 59, 45), QDateTime(), QStringLiteral("00:05:00"), 10);
    EXPECT_EQ(late.time(2), civil(2025, 1, 1, 0, 0, 0));
    EXPECT_EQ(late.time(3), civil(2025, 1, 1, 0, 5, 0));
}

TEST(LogRecordClockTest, ShortIntervalsAndWholeMinuteStartsAddTheInterval) {
    const QDateTime start = civil(2024, 1, 15, 10, 0, 17);
    LogRecordClock ten(start, civil(2024, 1, 15, 10, 0, 58), QStringLiteral("00:00:10"), 5);
    QDateTime prev;
    QStringList got;
    for (int n = 1; n <= 5; ++n) {
        prev = ten.time(n);
        got << prev.toString(QStringLiteral("hh:mm:ss"));
    }
    EXPECT_EQ(got, (QStringList{"10:00:17", "10:00:27", "10:00:37", "10:00:47", "10:00:58"}));

    // Exactly 30 seconds is not longer than 30 seconds.
    LogRecordClock thirty(start, QDateTime(), QStringLiteral("00:00:30"), 9);
    EXPECT_EQ(thirty.time(2), civil(2024, 1, 15, 10, 0, 47));
    // A start on the whole minute adds the interval.
    const QDateTime whole = civil(2024, 1, 15, 10, 0, 0);
    LogRecordClock hour(whole, QDateTime(), QStringLiteral("01:00:00"), 9);
    EXPECT_EQ(hour.time(2), civil(2024, 1, 15, 11, 0, 0));
    EXPECT_EQ(hour.time(3), civil(2024, 1, 15, 12, 0, 0));
}

TEST(LogRecordClockTest, ADayIntervalAddsTwentyFourHours) {
    const QDateTime start = civil(2024, 2, 28, 6, 0, 0);
    LogRecordClock t(start, civil(2024, 3, 3, 6, 0, 0), QStringLiteral("24:00:00"), 4);
    EXPECT_EQ(t.time(2), civil(2024, 2, 29, 6, 0, 0));
    EXPECT_EQ(t.time(3), civil(2024, 3, 1, 6, 0, 0));
    EXPECT_EQ(t.time(4), civil(2024, 3, 3, 6, 0, 0));
}

TEST(LogRecordClockTest, AnIntervalThatIsNoTimeIsRefused) {
    EXPECT_THROW(LogRecordClock(civil(2024, 1, 1, 0, 0, 0), QDateTime(), QStringLiteral("ab:cd:ef"), 3),
                 ConversionError);
}

// ---------------------------------------------------------------- split

TEST_F(LogRecordsTest, ChannelsNotInUseHaveNoFieldAndSixBlanks) {
    channel(0, QStringLiteral("K"));
    channel(1, QStringLiteral("-"));
    channel(2, QStringLiteral("K"));
    channel(3, QStringLiteral("-"));
    recording(civil(2024, 1, 15, 10, 0, 17), civil(2024, 1, 15, 10, 0, 37), QStringLiteral("00:00:10"), 3);
    const QString reply = buildReply({{{QStringLiteral("  123"), QStringLiteral("  -15")}, QLatin1Char('1')},
                                      {{QStringLiteral("    5"), QStringLiteral("   -5")}, QLatin1Char('0')},
                                      {{QStringLiteral("32767"), QStringLiteral("32766")}, QLatin1Char(' ')}});
    const auto recs = split(reply, 1, 0);
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(recs[0].values, (std::array<QString, 4>{"  12.3", "      ", "  -1.5", "      "}));
    EXPECT_EQ(recs[0].flag, QStringLiteral("1"));
    // Fewer digits than decimals: the value is padded with zeros.
    EXPECT_EQ(recs[1].values, (std::array<QString, 4>{"   0.5", "      ", "  -0.5", "      "}));
    EXPECT_EQ(recs[1].flag, QStringLiteral("0"));
    EXPECT_EQ(recs[2].values, (std::array<QString, 4>{"3276.7", "      ", "3276.6", "      "}));
    EXPECT_EQ(recs[0].No, 1);
    EXPECT_EQ(recs[2].No, 3);
    EXPECT_EQ(recs[0].time, civil(2024, 1, 15, 10, 0, 17));
    EXPECT_EQ(recs[1].time, civil(2024, 1, 15, 10, 0, 27));
    EXPECT_EQ(recs[2].time, civil(2024, 1, 15, 10, 0, 37));
}

TEST_F(LogRecordsTest, VoltageDecimalsRangeCodesAndMissingValues) {
    channel(0, QStringLiteral("V"), 3);
    channel(1, QStringLiteral("V"), 2);
    channel(2, QStringLiteral("V"), 0);
    channel(3, QStringLiteral("T"));
    recording(civil(2024, 1, 15, 10, 0, 0), civil(2024, 1, 15, 10, 0, 1), QStringLiteral("00:00:01"), 2);
    const QString reply = buildReply({{{"32767", "12345", "  -42", "-----"}, QLatin1Char('1')},
                                      {{"    5", "   -7", "32766", "  250"}, QLatin1Char('0')}});
    const auto recs = split(reply, 0, 2);
    ASSERT_EQ(recs.size(), 2u);
    // Over range stays the code whatever the decimal position.
    EXPECT_EQ(recs[0].values, (std::array<QString, 4>{"3276.7", "123.45", "   -42", "------"}));
    EXPECT_EQ(recs[1].values, (std::array<QString, 4>{" 0.005", " -0.07", "3276.6", "  25.0"}));
    EXPECT_EQ(recs[1].time, civil(2024, 1, 15, 10, 0, 1));
}

TEST_F(LogRecordsTest, GroupsOfThreeThenTheRemainder) {
    channel(0, QStringLiteral("K"));
    for (int ch = 1; ch < 4; ++ch) channel(ch, QStringLiteral("-"));
    recording(civil(2024, 5, 1, 0, 0, 0), civil(2024, 5, 1, 0, 0, 50), QStringLiteral("00:00:10"), 7);
    std::vector<RawRecord> raw;
    for (int i = 1; i <= 7; ++i) raw.push_back({{QStringLiteral("%1").arg(i * 10, 5)}, QLatin1Char(i == 5 ? '1' : '0')});
    const auto recs = split(buildReply(raw), 2, 1);
    ASSERT_EQ(recs.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(recs[size_t(i)].values[0], QStringLiteral("%1.0").arg(i + 1).rightJustified(6)) << i;
        EXPECT_EQ(recs[size_t(i)].flag, i == 4 ? QStringLiteral("1") : QStringLiteral("0"));
    }
    // Records 2..6 follow the interval, record 7 is the stop.
    EXPECT_EQ(recs[5].time, civil(2024, 5, 1, 0, 0, 50));
    EXPECT_EQ(recs[6].time, civil(2024, 5, 1, 0, 0, 50));
}

TEST_F(LogRecordsTest, AReplyThatEndsEarlyYieldsOnlyItsCompleteRecords) {
    channel(0, QStringLiteral("K"));
    for (int ch = 1; ch < 4; ++ch) channel(ch, QStringLiteral("-"));
    recording(civil(2024, 5, 1, 0, 0, 0), civil(2024, 5, 1, 0, 0, 50), QStringLiteral("00:00:10"), 6);
    std::vector<RawRecord> raw(6, RawRecord{{QStringLiteral("  100")}});
    const QString full = buildReply(raw);
    // c = 1: groups of 29 characters, records of 6 from group position 8.
    EXPECT_EQ(split(full.left(full.size() - 4), 2, 0).size(), 6u);   // no closing characters: still whole
    EXPECT_EQ(split(full.left(full.size() - 10), 2, 0).size(), 5u);
    EXPECT_EQ(split(full.left(full.size() - 20), 2, 0).size(), 3u);
    EXPECT_TRUE(split(QString(), 2, 0).empty());
}

// ---------------------------------------------------------------- storing

TEST_F(LogRecordsTest, StoredRecordsCarryMarksRangeTextsAndEmptyUnusedChannels) {
    channel(0, QStringLiteral("K"), 1, QStringLiteral("100.0"), QStringLiteral("0.0"), QStringLiteral("0.0"));
    channel(1, QStringLiteral("-"));
    channel(2, QStringLiteral("V"), 3);
    channel(3, QStringLiteral("J"), 1, QStringLiteral("100.0"), QStringLiteral("0.0"), QStringLiteral("0.0"));
    recording(civil(2024, 1, 15, 10, 0, 17), civil(2024, 1, 15, 10, 2, 0), QStringLiteral("00:01:00"), 3);
    clsLOGGER_DATABASE& db = area().clsLOGGER_DATABASE();
    db.makeDbPath(QStringLiteral("L01"));
    db.setWorkSpace(model().dao_workspace);
    db.NewDb(1);
    sum_calc_initial();

    const QString reply = buildReply({{{"  123", "32767", "-----"}, QLatin1Char('1')},
                                      {{"   -5", "    7", "32766"}, QLatin1Char('0')},
                                      {{"-----", "  500", "  200"}, QLatin1Char('1')}});
    std::array<std::vector<qint32>, 4> missing;
    split_log_reply(reply, 1, 0, setting(), [&](const LogReplyRecord& rec) { log_record_add(area(), rec, &missing); });

    auto rs = db.Recordset();
    ASSERT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(rs->ReadRow(0), (QStringList{" * ", "1", "2024/01/15 10:00:17", "      12.3", "", "     O.R.",
                                           "    ------"}));
    EXPECT_EQ(rs->ReadRow(1), (QStringList{"   ", "2", "2024/01/15 10:01:00", "      -0.5", "", "     0.007",
                                           "     U.R."}));
    EXPECT_EQ(rs->ReadRow(2), (QStringList{" * ", "3", "2024/01/15 10:02:00", "    ------", "", "     0.500",
                                           "      20.0"}));
    // Only measured values are counted; a missing value is not.
    EXPECT_EQ(setting().Ch_data_count(0), 2);
    EXPECT_EQ(setting().Ch_data_count(1), 0);
    EXPECT_EQ(setting().Ch_data_count(2), 2);
    EXPECT_EQ(setting().Ch_data_count(3), 1);
    EXPECT_EQ(missing[0], (std::vector<qint32>{3}));
    EXPECT_EQ(missing[3], (std::vector<qint32>{1}));
    EXPECT_TRUE(missing[2].empty());
}

TEST_F(LogRecordsTest, AGarbledFieldIsStoredAsMissingAndNeverCounted) {
    channel(0, QStringLiteral("K"), 1, QStringLiteral("100.0"), QStringLiteral("10.0"), QStringLiteral("0.0"));
    channel(1, QStringLiteral("V"), 2);
    channel(2, QStringLiteral("-"));
    channel(3, QStringLiteral("T"));
    recording(civil(2024, 1, 15, 10, 0, 0), civil(2024, 1, 15, 10, 0, 20), QStringLiteral("00:00:10"), 3);
    clsLOGGER_DATABASE& db = area().clsLOGGER_DATABASE();
    db.makeDbPath(QStringLiteral("L01"));
    db.setWorkSpace(model().dao_workspace);
    db.NewDb(1);
    reset_log_statistics(setting());
    sum_calc_initial();

    // Blanks only, letters among the digits, a second sign: none is a number.
    const QString reply = buildReply({{{"     ", "  1a5", "  250"}, QLatin1Char('0')},
                                      {{"  200", "  125", "1-2-3"}, QLatin1Char('0')},
                                      {{"  ?.3", "   -7", "   -5"}, QLatin1Char('0')}});
    std::array<std::vector<qint32>, 4> missing;
    split_log_reply(reply, 1, 0, setting(), [&](const LogReplyRecord& rec) { log_record_add(area(), rec, &missing); });

    auto rs = db.Recordset();
    ASSERT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(rs->ReadRow(0).mid(3), (QStringList{"    ------", "    ------", "", "      25.0"}));
    EXPECT_EQ(rs->ReadRow(1).mid(3), (QStringList{"      20.0", "      1.25", "", "    ------"}));
    EXPECT_EQ(rs->ReadRow(2).mid(3), (QStringList{"    ------", "     -0.07", "", "      -0.5"}));
    // Counts and sums hold the measured values only, so the average is theirs.
    EXPECT_EQ(setting().Ch_data_count(0), 1);
    EXPECT_EQ(setting().Ch_data_count(1), 2);
    EXPECT_EQ(setting().Ch_data_count(3), 2);
    EXPECT_DOUBLE_EQ(setting().Ch_sum(0), 20.0);
    EXPECT_NEAR(setting().Ch_sum(1), 1.18, 1e-9);
    EXPECT_DOUBLE_EQ(setting().Ch_sum(3), 24.5);
    EXPECT_DOUBLE_EQ(setting().Ch_min_value(0), 20.0);
    EXPECT_EQ(missing[0], (std::vector<qint32>{1, 3}));
    EXPECT_EQ(missing[1], (std::vector<qint32>{1}));
    EXPECT_EQ(missing[3], (std::vector<qint32>{2}));
    // The integration holds nothing for a garbled record: only 20.0 over the
    // 10 s after it counts (base 0.0).
    sum_calc_end(setting());
    EXPECT_DOUBLE_EQ(setting().Ch_h_sum_value(0), 0.1);
}

// The window's loader reads the usual fields straight from their characters
// and any other record through log_record_add: both roads must store, count,
// gather and integrate every field alike.
TEST_F(LogRecordsTest, TheReplyLoaderStoresEveryFieldAsTheRecordByRecordRoad) {
    channel(0, QStringLiteral("K"), 1, QStringLiteral("100.0"), QStringLiteral("10.0"), QStringLiteral("5.0"));
    channel(1, QStringLiteral("V"), 2);
    channel(2, QStringLiteral("V"), 0);
    channel(3, QStringLiteral("T"), 3, QStringLiteral("100.0"), QStringLiteral("10.0"), QStringLiteral("-1.0"));
    const QStringList fields = {"  123", "   -5", "-0000", "    0", "   07", "32767", "32766", "-----",
                                "99999", "-9999", "    1", "  1a5", "     ", "1-2-3", "-  12", "  -  "};
    std::vector<RawRecord> recs;
    for (int i = 0; i < 3 * fields.size(); ++i) {
        const auto f = [&](int k) { return fields[(i * 5 + k * 3) % fields.size()]; };
        recs.push_back({{f(0), f(1), f(2), f(3)}, QLatin1Char(i % 3 ? '0' : '1')});
    }
    recording(civil(2024, 1, 15, 10, 0, 17), civil(2024, 1, 15, 12, 0, 0), QStringLiteral("00:01:00"), qint32(recs.size()));
    const QString reply = buildReply(recs);
    clsLOGGER_DATABASE& db = area().clsLOGGER_DATABASE();
    db.makeDbPath(QStringLiteral("L01"));
    db.setWorkSpace(model().dao_workspace);
    const auto road = [&](const std::function<void(std::array<std::vector<qint32>, 4>&)>& load) {
        db.NewDb(1);
        reset_log_statistics(setting());
        sum_calc_initial();
        std::array<std::vector<qint32>, 4> missing;
        load(missing);
        QStringList out;
        for (int r = 0; r < db.Recordset()->RecordCount(); ++r) out << db.Recordset()->ReadRow(r).join(u'|');
        for (int ch = 0; ch < 4; ++ch) {
            const clsLOGGER_SETTING& s = setting();
            const LogDataState& st = log_data_state();
            out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                       .arg(s.Ch_data_count(ch))
                       .arg(s.Ch_sum(ch), 0, 'g', 17)
                       .arg(s.Ch_min(ch), s.Ch_max(ch))
                       .arg(st.ch_h_integ[ch], 0, 'g', 17)
                       .arg(st.ch_l_integ[ch], 0, 'g', 17)
                       .arg(double(st.ch_h_hold[ch]) - double(st.ch_l_hold[ch]))
                       .arg(missing[size_t(ch)].size());
        }
        out << QString::number(log_data_state().integ_prev_secs);
        return out;
    };
    const QStringList byRecord = road([&](std::array<std::vector<qint32>, 4>& missing) {
        split_log_reply(reply, 16, 0, setting(), [&](const LogReplyRecord& rec) { log_record_add(area(), rec, &missing); });
    });
    const QStringList byLoader = road([&](std::array<std::vector<qint32>, 4>& missing) {
        LogRecordWriter writer(db, nullptr);
        LogReplyLoader loader(area(), missing, writer);
        split_log_reply_fields(reply, 16, 0, setting(), loader);
    });
    ASSERT_EQ(byRecord.size(), 48 + 5);
    for (qsizetype i = 0; i < byRecord.size(); ++i) EXPECT_EQ(byLoader[i], byRecord[i]) << i;
}

TEST_F(LogRecordsTest, ResetValuesOfTheStatistics) {
    channel(0, QStringLiteral("K"));
    channel(1, QStringLiteral("V"), 2);
    clsLOGGER_SETTING& s = setting();
    s.let_Ch_sum(0, 12.5);
    s.let_Ch_data_count(1, 9);
    reset_log_statistics(s);
    EXPECT_DOUBLE_EQ(s.Ch_min_value(0), 9999.9);
    EXPECT_DOUBLE_EQ(s.Ch_max_value(0), -999.9);
    EXPECT_EQ(s.Ch_sum(0), 0.0);
    EXPECT_EQ(s.Ch_data_count(1), 0);
    EXPECT_EQ(s.Ch_h_sum_value(0), 0.0);
}

}  // namespace
}  // namespace mq::test
