#include <gtest/gtest.h>

#include <QDir>

#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "common/test_env.h"
#include "model/cls_logger_database.h"
#include "model/db_session.h"
#include "model/stat_queries.h"
#include "platform/errors.h"
#include "platform/sqlite_db.h"

using mq::clsLOGGER_DATABASE;
using mq::DbWorkspace;

namespace {

QDateTime at(int s) { return QDateTime(QDate(2023, 6, 1), QTime(8, 0, 0), Qt::UTC).addSecs(s); }

// Both alarm values set: the lower and the upper one.
mq::AlarmLimits both(double low, double high) { return mq::alarm_limits(true, high, true, low); }

QString chText(const QString& number) { return QStringLiteral("    ") + number.rightJustified(6, QLatin1Char(' ')); }
QString chText(double v) { return chText(QString::number(v, 'f', 1)); }

const QString OR_ = QStringLiteral("     O.R.");
const QString UR_ = QStringLiteral("     U.R.");

// Stands in for the windows: channel types, the progress bar and the grid.
struct FakeHost : mq::StatQueryHost {
    QString types[5] = {"", "K", "K", "K", "K"};
    bool fileData = false;
    qint64 progressMax = 0, progressValue = 0;
    int yields = 0;
    std::map<std::pair<qint32, int>, quint32> cells;

    QString channelInputType(int ch) const override { return types[ch]; }
    bool currentIsFileData() const override { return fileData; }
    void progressAddMaximum(qint64 n) override { progressMax += n; }
    void progressAdvance(qint64 n) override { progressValue += n; }
    void setCellForeColor(qint32 row, int col, quint32 colour) override { cells[{row, col}] = colour; }
    void yield() override { ++yields; }
};

class StatQueriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        m_userDir = mq::test::dataHome() + QStringLiteral("/stat");
    }
    void TearDown() override {
        m_dbs.clear();
        QDir(m_userDir).removeRecursively();
    }

    // A LOG database whose channel 1 holds the given texts, records 1..n in DATA.
    clsLOGGER_DATABASE& dbWith(const QStringList& ch1, const QString& key = QStringLiteral("L01")) {
        auto& db = fresh(key);
        for (int i = 0; i < ch1.size(); ++i)
            db.AddRecord_LOG(i + 1, at(i), QString(), ch1[i], chText(1.0), QString(), QString());
        return db;
    }

    clsLOGGER_DATABASE& fresh(const QString& key) {
        m_dbs.push_back(std::make_unique<clsLOGGER_DATABASE>());
        auto& db = *m_dbs.back();
        db.setWorkSpace(std::make_shared<DbWorkspace>());
        db.makeDbPath(key, m_userDir);
        db.NewDb(1);
        return db;
    }

    static QStringList column(clsLOGGER_DATABASE& db, const QString& source, const QString& field) {
        mq::platform::SqliteDb raw;
        raw.open(db.dbPath(), false);
        auto st = raw.prepare(QStringLiteral("SELECT %1 FROM %2").arg(field, mq::platform::SqliteDb::quoteIdentifier(source)));
        QStringList out;
        while (st.step()) out << st.columnText(0);
        return out;
    }

    static bool hasView(clsLOGGER_DATABASE& db, const QString& name) {
        mq::platform::SqliteDb raw;
        raw.open(db.dbPath(), false);
        return raw.objectExists(name);
    }

    QString m_userDir;
    std::vector<std::unique_ptr<clsLOGGER_DATABASE>> m_dbs;
};

// ---------------------------------------------------------------- number helpers

TEST(StatHelpers, ChannelTextValueReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u"  25.0"), 25.0);
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u" -12.5"), -12.5);
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u"    .5"), 0.5);
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u"   -.5"), -0.5);
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u"12ab"), 12.0);
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u"1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u"2e3"), 2000.0);
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u"2e"), 2.0);
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u" O.R."), 0.0);
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u""), 0.0);
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u"-"), 0.0);
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u"▲   25.0"), 0.0);  // the mark is no number
}

TEST(StatHelpers, ChannelTextValueOfLongAndExtremeNumbers) {
    // Every digit counts, however many there are.
    const QString big = QStringLiteral("1") + QString(70, QLatin1Char('0'));
    EXPECT_DOUBLE_EQ(mq::channel_text_value(big), 1e70);
    const QString tiny = QStringLiteral("0.") + QString(69, QLatin1Char('0')) + QStringLiteral("1");
    EXPECT_DOUBLE_EQ(mq::channel_text_value(tiny), 1e-70);
    // Too small to hold reads 0, not an infinity (six characters: a channel's number).
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u"1e-999"), 0.0);
    EXPECT_DOUBLE_EQ(mq::channel_text_value(u"-1e-99999"), 0.0);
    EXPECT_EQ(mq::channel_text_value(u"1e999"), HUGE_VAL);
    EXPECT_EQ(mq::channel_text_value(u"-1e999"), -HUGE_VAL);
}

TEST(StatHelpers, WholeNumbersRoundHalvesToEven) {
    EXPECT_EQ(mq::round_half_even_text(QStringLiteral("0.5")), 0);
    EXPECT_EQ(mq::round_half_even_text(QStringLiteral("1.5")), 2);
    EXPECT_EQ(mq::round_half_even_text(QStringLiteral("2.5")), 2);
    EXPECT_EQ(mq::round_half_even_text(QStringLiteral("-2.5")), -2);
    EXPECT_EQ(mq::round_half_even_text(QStringLiteral("99.6")), 100);
    EXPECT_EQ(mq::round_half_even_text(QStringLiteral(" 7 ")), 7);
    EXPECT_THROW(mq::round_half_even_text(QStringLiteral("-----")), mq::ConversionError);
    EXPECT_THROW(mq::round_half_even_text(QString()), mq::ConversionError);
}

TEST(StatHelpers, AlarmLimitTextHasNoLeadingZero) {
    EXPECT_EQ(mq::alarm_limit_text(0.5), QStringLiteral("    .5"));
    EXPECT_EQ(mq::alarm_limit_text(-0.5), QStringLiteral("   -.5"));
    EXPECT_EQ(mq::alarm_limit_text(0.0), QStringLiteral("    .0"));
    EXPECT_EQ(mq::alarm_limit_text(25.0), QStringLiteral("  25.0"));
    EXPECT_EQ(mq::alarm_limit_text(-12.0), QStringLiteral(" -12.0"));
    EXPECT_EQ(mq::alarm_limit_text(1.25), QStringLiteral("   1.3"));
    EXPECT_EQ(mq::alarm_limit_text(12345.6), QStringLiteral("2345.6"));  // only six characters are kept
    EXPECT_EQ(mq::alarm_limit_text(0.05), QStringLiteral("    .1"));  // halves away from zero
    EXPECT_EQ(mq::alarm_limit_text(-0.05), QStringLiteral("   -.1"));
    EXPECT_EQ(mq::alarm_limit_text(-0.04), QStringLiteral("    .0"));
    // Values with more tenths than a 64-bit integer holds still format.
    EXPECT_EQ(mq::alarm_limit_text(1e18), QStringLiteral("0000.0"));
    EXPECT_EQ(mq::alarm_limit_text(-9.2e18), QStringLiteral("0000.0"));
    EXPECT_EQ(mq::alarm_limit_text(1e300), QStringLiteral("0000.0"));
}

TEST(StatHelpers, PlainNumberText) {
    EXPECT_EQ(mq::plain_number_text(25.3), QStringLiteral("25.3"));
    EXPECT_EQ(mq::plain_number_text(-12.0), QStringLiteral("-12"));
    EXPECT_EQ(mq::plain_number_text(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(mq::plain_number_text(-0.0), QStringLiteral("0"));
    EXPECT_EQ(mq::plain_number_text(0.00001), QStringLiteral("0.00001"));
    EXPECT_EQ(mq::plain_number_text(3276.5), QStringLiteral("3276.5"));
}

// ---------------------------------------------------------------- minimum and maximum

TEST_F(StatQueriesTest, MinMaxComparesNumbersAndSkipsSentinelsAndEmptyCells) {
    // As text "  -5.0" sorts above "  -1.0" and "   9.5" above "  10.0": only a
    // numeric comparison gets these right.
    auto& db = dbWith({chText(-1.0), chText(-5.0), OR_, chText(9.5), chText(10.0), UR_, QString(), chText(-0.5)});
    QString mn = QStringLiteral("x"), mx = QStringLiteral("x");
    db.Get_ChData_MinMax(1, mn, mx, QStringLiteral("DATA"));
    EXPECT_EQ(mn, QStringLiteral("-5"));
    EXPECT_EQ(mx, QStringLiteral("10"));
    EXPECT_TRUE(hasView(db, QStringLiteral("CH1_baseTBL")));
    EXPECT_TRUE(hasView(db, QStringLiteral("CH1MIN_MAX")));
    // The saved queries stay: a second run for the channel fails, another channel works.
    EXPECT_THROW(db.Get_ChData_MinMax(1, mn, mx, QStringLiteral("DATA")), mq::DatabaseError);
    db.Get_ChData_MinMax(2, mn, mx, QStringLiteral("DATA"));
    EXPECT_EQ(mn, QStringLiteral("1"));
    EXPECT_EQ(mx, QStringLiteral("1"));
    EXPECT_THROW(db.Get_ChData_MinMax(5, mn, mx, QStringLiteral("DATA")), mq::OutOfRangeError);
    EXPECT_THROW(db.Get_ChData_MinMax(0, mn, mx, QStringLiteral("DATA")), mq::OutOfRangeError);
}

TEST_F(StatQueriesTest, MinMaxReadsMarkedTextsAndDecimalsWithoutBlanks) {
    auto& db = dbWith({QStringLiteral("▲   25.3"), chText(0.5), QStringLiteral("▼   -0.2"), chText(3.0)});
    QString mn, mx;
    db.Get_ChData_MinMax(1, mn, mx, QStringLiteral("DATA"));
    EXPECT_EQ(mx, QStringLiteral("25.3"));
    EXPECT_EQ(mn, QStringLiteral("-0.2"));
}

TEST_F(StatQueriesTest, MinMaxWithNothingToMeasureGivesEmptyTexts) {
    auto& db = dbWith({OR_, UR_, QString()});
    QString mn = QStringLiteral("old"), mx = QStringLiteral("old");
    db.Get_ChData_MinMax(1, mn, mx, QStringLiteral("DATA"));
    EXPECT_TRUE(mn.isEmpty());
    EXPECT_TRUE(mx.isEmpty());
    EXPECT_THROW(db.Get_ChData_MinMax(2, mn, mx, QStringLiteral("NO_SUCH_TABLE")), mq::DatabaseError);
}

// ---------------------------------------------------------------- marking

TEST_F(StatQueriesTest, EveryRecordHoldingTheMaximumIsMarked) {
    QStringList v;
    for (int i = 1; i <= 9; ++i) v << chText(double(i));
    v[2] = v[6] = chText(42.0);  // records 3 and 7
    v[4] = chText(-3.0);         // record 5
    auto& db = dbWith(v);
    db.Create_UnionQuery(0);
    FakeHost host;
    db.CHData_ADD_H_str(1, chText(42.0), QStringLiteral("DATA"), &host);
    db.CHData_ADD_L_str(1, chText(-3.0), QStringLiteral("DATA"), &host);
    const QStringList stored = column(db, QStringLiteral("DATA"), QStringLiteral("CH1"));
    QStringList expected = v;
    expected[2] = expected[6] = QStringLiteral("▲   42.0");
    expected[4] = QStringLiteral("▼   -3.0");
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(column(db, QStringLiteral("DATA"), QStringLiteral("CH2")).first(), chText(1.0));  // other channels untouched
    // The marked table is the current record set (updatable), not the union.
    EXPECT_EQ(db.Recordset()->Name(), QStringLiteral("DATA"));
    EXPECT_TRUE(db.Recordset()->Updatable());
    EXPECT_TRUE(hasView(db, QStringLiteral("CH1MAX RecordNo DATA")));
    EXPECT_TRUE(hasView(db, QStringLiteral("CH1MIN RecordNo DATA")));
    EXPECT_EQ(host.progressMax, 3);
    EXPECT_EQ(host.progressValue, 3);
    // Marking the same channel and table again is refused.
    EXPECT_THROW(db.CHData_ADD_H_str(1, chText(42.0), QStringLiteral("DATA")), mq::DatabaseError);
}

TEST_F(StatQueriesTest, AValueInAnotherAlignmentMarksNothing) {
    auto& db = dbWith({chText(5.0), chText(7.0)});
    db.Create_UnionQuery(0);
    FakeHost host;
    db.CHData_ADD_H_str(1, QStringLiteral("7.0"), QStringLiteral("DATA"), &host);
    EXPECT_EQ(column(db, QStringLiteral("DATA"), QStringLiteral("CH1")), (QStringList{chText(5.0), chText(7.0)}));
    EXPECT_EQ(db.Recordset()->Name(), QStringLiteral("DATA"));
    EXPECT_EQ(host.progressMax, 0);
    // A quote in the value is data, not query text.
    db.CHData_ADD_L_str(1, QStringLiteral("x' OR '1'='1"), QStringLiteral("DATA"));
    EXPECT_EQ(column(db, QStringLiteral("DATA"), QStringLiteral("CH1")), (QStringList{chText(5.0), chText(7.0)}));
}

TEST_F(StatQueriesTest, MarkingReachesTheRightRecordOfAFurtherTable) {
    auto& db = fresh(QStringLiteral("F01"));
    for (int r = 1; r <= 15002; ++r) {
        if (r == 15000) db.CreateRs_LOG2(QStringLiteral("DATA01"));
        db.AddRecord_LOG(r, at(r), QString(), chText(r == 15000 ? 99.9 : 1.0), QString(), QString(), QString());
    }
    db.Create_UnionQuery(1);
    db.CHData_ADD_H_str(1, chText(99.9), QStringLiteral("DATA"));
    db.CHData_ADD_H_str(1, chText(99.9), QStringLiteral("DATA01"));
    const QStringList t1 = column(db, QStringLiteral("DATA01"), QStringLiteral("CH1"));
    EXPECT_EQ(t1, (QStringList{QStringLiteral("▲   99.9"), chText(1.0), chText(1.0)}));
    EXPECT_FALSE(column(db, QStringLiteral("DATA"), QStringLiteral("CH1")).contains(QStringLiteral("▲   99.9")));
    EXPECT_EQ(db.Recordset()->Name(), QStringLiteral("DATA01"));
}

// ---------------------------------------------------------------- alarms

TEST_F(StatQueriesTest, LowAndHighAlarmsAreCountedAndColoured) {
    // Records 1..8; low 0.5, high 30.0.
    auto& db = dbWith({chText(0.4), chText(0.5), chText(0.6), chText(-1.0), chText(30.0), chText(30.1),
                       QStringLiteral("▲  100.0"), OR_});
    FakeHost host;
    EXPECT_EQ(db.CHDATA_LALM_ColorAndNum(1, both(0.5, 30), QStringLiteral("DATA"), &host), 2);
    EXPECT_EQ(db.CHDATA_hALM_ColorAndNum(1, both(0.5, 30), QStringLiteral("DATA"), &host), 2);
    const std::map<std::pair<qint32, int>, quint32> expected{{{1, 3}, mq::kLowAlarmColour},
                                                             {{4, 3}, mq::kLowAlarmColour},
                                                             {{6, 3}, mq::kHighAlarmColour},
                                                             {{7, 3}, mq::kHighAlarmColour}};
    EXPECT_EQ(host.cells, expected);
    EXPECT_EQ(host.progressMax, 0);  // logger data shows no progress
    EXPECT_GT(host.yields, 0);
    EXPECT_TRUE(hasView(db, QStringLiteral("CH1LALM RecordNo")));
    EXPECT_TRUE(hasView(db, QStringLiteral("CH1hALM RecordNo")));
    EXPECT_THROW(db.CHDATA_LALM_ColorAndNum(1, both(0.5, 30), QStringLiteral("DATA"), &host),
                 mq::DatabaseError);
}

TEST_F(StatQueriesTest, SentinelsAndMissingValuesAreNoAlarms) {
    auto& db = dbWith({OR_, UR_, chText(5.0), QString(), mq::kStoredMissing});
    FakeHost host;
    // A low alarm above zero: the sentinels and the missing value hold no
    // measured value and do not count.
    EXPECT_EQ(db.CHDATA_LALM_ColorAndNum(1, both(10, 20), QStringLiteral("DATA"), &host), 1);
    EXPECT_EQ(host.cells.size(), 1u);
    EXPECT_EQ(host.cells.begin()->first, std::make_pair(qint32(3), 3));
    EXPECT_EQ(db.CHDATA_hALM_ColorAndNum(1, both(-20, -10), QStringLiteral("DATA"), &host), 1);
}

TEST_F(StatQueriesTest, SwappedAlarmValuesTurnTheConditionsRound) {
    // High 0.0 below low 100.0: low alarms are above the low value, high alarms below the high value.
    auto& db = dbWith({chText(50.0), chText(-1.0), chText(101.0), chText(100.0), chText(0.0)});
    FakeHost host;
    EXPECT_EQ(db.CHDATA_LALM_ColorAndNum(1, both(100, 0), QStringLiteral("DATA"), &host), 1);
    EXPECT_EQ(db.CHDATA_hALM_ColorAndNum(1, both(100, 0), QStringLiteral("DATA"), &host), 1);
    EXPECT_EQ(host.cells.at({3, 3}), mq::kLowAlarmColour);
    EXPECT_EQ(host.cells.at({2, 3}), mq::kHighAlarmColour);
    EXPECT_EQ(host.cells.size(), 2u);
}

TEST_F(StatQueriesTest, AlarmValuesDecideTheBandDirectionAsTheyStand) {
    // High 0.4 below low 0.5: the sides swap, as everywhere else the values
    // are compared (not as whole numbers, which would both be 0).
    auto& db = dbWith({chText(QStringLiteral("0.3")), chText(QStringLiteral("0.6"))});
    FakeHost host;
    EXPECT_EQ(db.CHDATA_LALM_ColorAndNum(1, both(0.5, 0.4), QStringLiteral("DATA"), &host), 1);
    EXPECT_EQ(host.cells.count({2, 3}), 1u);
    EXPECT_EQ(host.cells.count({1, 3}), 0u);
}

TEST_F(StatQueriesTest, UnusedChannelsCountNothingAndSaveNoQuery) {
    auto& db = dbWith({chText(-50.0)});
    FakeHost host;
    host.types[1] = QStringLiteral("-");
    EXPECT_EQ(db.CHDATA_LALM_ColorAndNum(1, both(0, 10), QStringLiteral("DATA"), &host), 0);
    EXPECT_FALSE(hasView(db, QStringLiteral("CH1LALM RecordNo")));
    EXPECT_TRUE(host.cells.empty());
    // Without a host the channel counts as in use.
    EXPECT_EQ(db.CHDATA_LALM_ColorAndNum(1, both(0, 10), QStringLiteral("DATA")), 1);
    // An alarm value that is not set saves no query and counts nothing.
    EXPECT_EQ(db.CHDATA_hALM_ColorAndNum(1, mq::alarm_limits(false, 0, true, -60), QStringLiteral("DATA")), 0);
    EXPECT_FALSE(hasView(db, QStringLiteral("CH1hALM RecordNo")));
}

TEST_F(StatQueriesTest, FileDataShowsProgressPerColouredRecord) {
    QStringList v;
    for (int i = 0; i < 1500; ++i) v << chText(i % 2 ? -5.0 : 5.0);
    auto& db = dbWith(v, QStringLiteral("F02"));
    db.Create_UnionQuery(0);
    FakeHost host;
    host.fileData = true;
    EXPECT_EQ(db.CHDATA_LALM_ColorAndNum(1, both(0, 10), QStringLiteral("qTABLE"), &host), 750);
    EXPECT_EQ(host.progressMax, 750);
    EXPECT_EQ(host.progressValue, 750);
    EXPECT_EQ(host.cells.size(), 750u);
    EXPECT_EQ(host.cells.count({2, 3}), 1u);
    EXPECT_EQ(host.cells.count({1, 3}), 0u);
}

// ---------------------------------------------------------------- saved queries and later changes

TEST_F(StatQueriesTest, SavedQueriesGiveTheSameAnswersWhenRunByThemselves) {
    auto& db = dbWith({chText(-7.5), QStringLiteral("▲   12.0"), OR_, chText(0.4), UR_, QString(), chText(3.0),
                       QStringLiteral("    -999.9")});
    db.Create_UnionQuery(0);
    QString mn, mx;
    db.Get_ChData_MinMax(1, mn, mx, QStringLiteral("qTABLE"));
    const qint32 low = db.CHDATA_LALM_ColorAndNum(1, both(0.5, 10), QStringLiteral("qTABLE"));
    const qint32 high = db.CHDATA_hALM_ColorAndNum(1, both(0.5, 10), QStringLiteral("qTABLE"));
    EXPECT_EQ(mn, QStringLiteral("-999.9"));
    EXPECT_EQ(mx, QStringLiteral("12"));
    EXPECT_EQ(low, 3);  // -7.5, 0.4, -999.9
    EXPECT_EQ(high, 1);

    // Another reader of the file, with the same number functions, gets the same from the views.
    db.CloseDb();
    mq::platform::SqliteDb raw;
    raw.open(db.dbPath(), false);
    mq::detail::registerQueryFunctions(raw);
    auto st = raw.prepare(QStringLiteral("SELECT MINDAT, MAXDAT FROM CH1MIN_MAX"));
    ASSERT_TRUE(st.step());
    EXPECT_DOUBLE_EQ(st.columnDouble(0), -999.9);
    EXPECT_DOUBLE_EQ(st.columnDouble(1), 12.0);
    auto lowRows = raw.prepare(QStringLiteral("SELECT [No] FROM \"CH1LALM RecordNo\""));
    QList<qint64> nos;
    while (lowRows.step()) nos << lowRows.columnInt64(0);
    EXPECT_EQ(nos, (QList<qint64>{1, 4, 8}));
    auto highRows = raw.prepare(QStringLiteral("SELECT count(*) FROM \"CH1hALM RecordNo\""));
    highRows.step();
    EXPECT_EQ(highRows.columnInt64(0), high);
}

TEST_F(StatQueriesTest, QueriesSeeRecordsStoredAfterEarlierQueries) {
    auto& db = dbWith({chText(5.0), chText(6.0)});
    QString mn, mx;
    db.Get_ChData_MinMax(1, mn, mx, QStringLiteral("DATA"));
    EXPECT_EQ(mn, QStringLiteral("5"));
    db.AddRecord_LOG(3, at(3), QString(), chText(-2.0), chText(-4.0), QString(), QString());
    EXPECT_EQ(db.CHDATA_LALM_ColorAndNum(1, both(0, 10), QStringLiteral("DATA")), 1);
    db.Get_ChData_MinMax(2, mn, mx, QStringLiteral("DATA"));
    EXPECT_EQ(mn, QStringLiteral("-4"));
    db.CreateRs_LOG2(QStringLiteral("DATA01"));
    db.AddRecord_LOG(4, at(4), QString(), chText(-3.0), chText(-5.0), QString(), QString());
    db.Create_UnionQuery(1);
    EXPECT_EQ(db.CHDATA_LALM_ColorAndNum(2, both(0, 10), QStringLiteral("qTABLE")), 2);
}

TEST_F(StatQueriesTest, AMarkedSentinelCountsLikeAnyOtherText) {
    // A range sentinel given as the value to mark is rewritten like any text;
    // afterwards it is no sentinel any more and reads as 0.
    auto& db = dbWith({OR_, chText(5.0)});
    QString mn, mx;
    db.Get_ChData_MinMax(1, mn, mx, QStringLiteral("DATA"));
    EXPECT_EQ(mn, QStringLiteral("5"));
    db.CHData_ADD_H_str(1, OR_, QStringLiteral("DATA"));
    EXPECT_EQ(column(db, QStringLiteral("DATA"), QStringLiteral("CH1")).first(), QStringLiteral("▲   O.R."));
    EXPECT_EQ(db.CHDATA_LALM_ColorAndNum(1, both(1, 10), QStringLiteral("DATA")), 1);
}

// The numbers the queries read from stored texts (their last six
// characters) are those of the full conversion, to the last bit, for short
// everyday texts and for the odd ones the quick reading leaves to it.
TEST_F(StatQueriesTest, StoredNumbersReadExactlyAsTheFullConversionReadsThem) {
    const QStringList texts = {chText(-0.05), chText(9999.9), chText(0.1),   chText(-999.9), QStringLiteral("▲   12.0"),
                               QStringLiteral("-.5"), QStringLiteral("5."), QStringLiteral("+2.5"), QStringLiteral("  -0.0"),
                               QStringLiteral("   1e3"), QStringLiteral(" 1.2d2"), QStringLiteral("12.3.4"),
                               QStringLiteral("   abc"), QStringLiteral("000001"), QStringLiteral("\t  7.5"),
                               QStringLiteral(" 1.2e+"), QStringLiteral("    0.3"), QStringLiteral("123456"),
                               QStringLiteral("-99999"), QStringLiteral("  .001")};
    int k = 0;
    for (const QString& t : texts) {
        auto& db = dbWith({t}, QStringLiteral("N%1").arg(k++, 2, 10, QLatin1Char('0')));
        QString mn, mx;
        db.Get_ChData_MinMax(1, mn, mx, QStringLiteral("DATA"));
        const QString expected = mq::plain_number_text(mq::channel_text_value(t.right(6)));
        EXPECT_EQ(mn, expected) << t.toStdString();
        EXPECT_EQ(mx, expected) << t.toStdString();
    }
}

// The statistics of a fill are answered from the values gathered while the
// records went in (both roads of storing them); the saved queries, run by
// another reader straight on the stored texts, must give the same answers.
TEST_F(StatQueriesTest, AnswersFromTheValuesGatheredDuringTheLoadEqualTheSavedQueries) {
    const int n = 31000;
    auto text = [](int r, int ch) -> QString {
        if ((r + ch) % 997 == 0) return OR_;
        if ((r + ch) % 1009 == 0) return UR_;
        if ((r + ch) % 1013 == 0) return QString();
        if ((r + ch) % 1019 == 0) return QStringLiteral("▲  512.5");
        // Channel 2 holds no value below 100: a sentinel or an empty
        // cell taken for 0 would become its minimum and a low alarm.
        if (ch == 2) return chText(100.0 + (r * 7927) % 8999 / 10.0);
        return chText(((r * (7919 + ch)) % 19999 - 9999) / 10.0);
    };
    auto& db = fresh(QStringLiteral("F30"));
    for (int r = 1; r <= n; ++r) {
        if (r % 15000 == 0)
            db.CreateRs_LOG2(QStringLiteral("DATA") + QString::number(r / 15000).rightJustified(2, QLatin1Char('0')));
        if (r % 2) {
            db.AddRecord_LOG(r, at(r), QString(), text(r, 1), text(r, 2), QString(), QString());
        } else {
            const QByteArray t = clsLOGGER_DATABASE::db_record_time_text(at(r)).toLatin1();
            const QByteArray c1 = text(r, 1).toUtf8(), c2 = text(r, 2).toUtf8();
            mq::LogRecordBytes rec;
            rec.No = r;
            rec.time = t;
            rec.mark = "   ";
            rec.ch = {c1, c2, {}, {}};
            db.AddRecord_LOG(rec);
        }
    }
    db.Create_UnionQuery(qint16(n / 15000));
    struct Answers {
        double min, max;
        qint32 low, high;
    } answers[2];
    const double lows[2] = {-500, 150};
    for (int ch = 1; ch <= 2; ++ch) {
        QString mn, mx;
        db.Get_ChData_MinMax(qint16(ch), mn, mx, QStringLiteral("qTABLE"));
        answers[ch - 1] = {mn.toDouble(), mx.toDouble(),
                           db.CHDATA_LALM_ColorAndNum(qint16(ch), both(lows[ch - 1], 700), QStringLiteral("qTABLE")),
                           db.CHDATA_hALM_ColorAndNum(qint16(ch), both(lows[ch - 1], 700), QStringLiteral("qTABLE"))};
    }
    EXPECT_GE(answers[1].min, 100.0);
    db.CloseDb();

    mq::platform::SqliteDb raw;
    raw.open(db.dbPath(), false);
    mq::detail::registerQueryFunctions(raw);
    for (int ch = 1; ch <= 2; ++ch) {
        SCOPED_TRACE(ch);
        auto mm = raw.prepare(QStringLiteral("SELECT MINDAT, MAXDAT FROM CH%1MIN_MAX").arg(ch));
        ASSERT_TRUE(mm.step());
        EXPECT_EQ(mm.columnDouble(0), answers[ch - 1].min);
        EXPECT_EQ(mm.columnDouble(1), answers[ch - 1].max);
        auto low = raw.prepare(QStringLiteral("SELECT count(*) FROM \"CH%1LALM RecordNo\"").arg(ch));
        low.step();
        EXPECT_EQ(low.columnInt64(0), answers[ch - 1].low);
        auto high = raw.prepare(QStringLiteral("SELECT count(*) FROM \"CH%1hALM RecordNo\"").arg(ch));
        high.step();
        EXPECT_EQ(high.columnInt64(0), answers[ch - 1].high);
        EXPECT_GT(answers[ch - 1].low, 0);
        EXPECT_GT(answers[ch - 1].high, 0);
    }
}

// ---------------------------------------------------------------- split tables and union

// The statistics of a file split into tables of 15,000 and joined by the union
// must equal those of the same records in one table.
TEST_F(StatQueriesTest, SplitTablesAndUnionGiveTheSameAnswersAsOneTable) {
    const int n = 40123;
    auto value = [](int r) -> QString {
        if (r % 997 == 0) return OR_;
        if (r % 1009 == 0) return UR_;
        return chText(((r * 7919) % 19999 - 9999) / 10.0);  // -999.9 .. 999.9, extremes repeat
    };
    auto& single = fresh(QStringLiteral("L20"));
    auto& split = fresh(QStringLiteral("F20"));
    for (int r = 1; r <= n; ++r) {
        single.AddRecord_LOG(r, at(r), QString(), value(r), chText(r % 100), QString(), QString());
        if (r % 15000 == 0)
            split.CreateRs_LOG2(QStringLiteral("DATA") + QString::number(r / 15000).rightJustified(2, QLatin1Char('0')));
        split.AddRecord_LOG(r, at(r), QString(), value(r), chText(r % 100), QString(), QString());
    }
    split.Create_UnionQuery(qint16(n / 15000));

    for (qint16 ch : {qint16(1), qint16(2)}) {
        QString mn1, mx1, mn2, mx2;
        single.Get_ChData_MinMax(ch, mn1, mx1, QStringLiteral("DATA"));
        split.Get_ChData_MinMax(ch, mn2, mx2, QStringLiteral("qTABLE"));
        EXPECT_EQ(mn1, mn2);
        EXPECT_EQ(mx1, mx2);
        const QString mxText = chText(mx1.toDouble()), mnText = chText(mn1.toDouble());
        single.CHData_ADD_H_str(ch, mxText, QStringLiteral("DATA"));
        single.CHData_ADD_L_str(ch, mnText, QStringLiteral("DATA"));
        for (int k = 0; k <= n / 15000; ++k) {
            const QString t = k == 0 ? QStringLiteral("DATA") : QStringLiteral("DATA%1").arg(k, 2, 10, QLatin1Char('0'));
            split.CHData_ADD_H_str(ch, mxText, t);
            split.CHData_ADD_L_str(ch, mnText, t);
        }
        FakeHost h1, h2;
        h2.fileData = true;
        EXPECT_EQ(single.CHDATA_hALM_ColorAndNum(ch, both(-500, 500), QStringLiteral("DATA"), &h1),
                  split.CHDATA_hALM_ColorAndNum(ch, both(-500, 500), QStringLiteral("qTABLE"), &h2));
        EXPECT_EQ(single.CHDATA_LALM_ColorAndNum(ch, both(-500, 500), QStringLiteral("DATA"), &h1),
                  split.CHDATA_LALM_ColorAndNum(ch, both(-500, 500), QStringLiteral("qTABLE"), &h2));
        EXPECT_EQ(h1.cells, h2.cells);
    }
    // Every stored text, marks included, is the same record by record.
    const QStringList a = column(single, QStringLiteral("DATA"), QStringLiteral("CH1"));
    const QStringList b = column(split, QStringLiteral("qTABLE"), QStringLiteral("CH1"));
    ASSERT_EQ(a.size(), n);
    EXPECT_EQ(a, b);
    EXPECT_GE(a.count(QStringLiteral("▲  999.9")), 2);
    EXPECT_GE(a.count(QStringLiteral("▼ -999.9")), 2);
    EXPECT_EQ(column(single, QStringLiteral("DATA"), QStringLiteral("CH2")),
              column(split, QStringLiteral("qTABLE"), QStringLiteral("CH2")));
}

}  // namespace
