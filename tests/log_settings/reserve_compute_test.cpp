// The reservation's data-count recompute, the memory display of the clock
// read, and the stop a duration reservation is sent with.
#include <gtest/gtest.h>

#include "log_settings/reserve.h"
#include "log_settings/ops_log_setting.h"

namespace {

using mq::ReserveChoice;

const QString kZero = QStringLiteral("0000/00/00 00:00:00");

ReserveChoice base() {
    ReserveChoice c;
    c.start_date = QDate(2013, 12, 11);
    c.start_hour = QStringLiteral("8");
    c.start_min = QStringLiteral("0");
    c.end_date = QDate(2013, 12, 11);
    c.end_hour = QStringLiteral("9");
    c.end_min = QStringLiteral("0");
    c.dur_h = QStringLiteral("0");
    c.dur_m = QStringLiteral("1");
    c.dur_s = QStringLiteral("0");
    c.logger_now = QDateTime(QDate(2013, 12, 10), QTime(9, 5, 0), Qt::UTC);
    c.recordable = 5000;
    c.interval_sec = 60;
    c.used_ch = 2;
    return c;
}

TEST(ReserveCompute, DataCountsOfTheChoices) {
    struct Case {
        const char* what;
        std::function<void(ReserveChoice&)> edit;
        qint64 count;
        const char* start;  // nullptr: not checked
        const char* stop;
    };
    const Case cases[] = {
        {"no start and no end: the whole memory",
         [](ReserveChoice& c) {
             c.no_start = true;
             c.no_end = true;
         },
         5000, nullptr, "0000/00/00 00:00:00"},
        {"end at the start", [](ReserveChoice& c) { c.end_hour = QStringLiteral("8"); }, 0, nullptr, nullptr},
        {"one hour at 60 s", [](ReserveChoice& c) {}, 122, "2013/12/11 08:00:00", "2013/12/11 09:00:00"},
        {"span shorter than one interval",
         [](ReserveChoice& c) {
             c.interval_sec = 7200;
         },
         0, nullptr, nullptr},
        {"span of exactly one interval", [](ReserveChoice& c) { c.interval_sec = 3600; }, 4, nullptr, nullptr},
        {"duration 0:00:00",
         [](ReserveChoice& c) {
             c.end_as_date = false;
             c.dur_m = QStringLiteral("0");
         },
         0, nullptr, nullptr},
        {"duration 49 hours: four 12-hour steps and one hour",
         [](ReserveChoice& c) {
             c.end_as_date = false;
             c.dur_h = QStringLiteral("49");
             c.dur_m = QStringLiteral("0");
         },
         49 * 60 * 2 + 2, "2013/12/11 08:00:00", "2013/12/13 09:00:00"},
        {"no start: counted from the logger clock",
         [](ReserveChoice& c) {
             c.no_start = true;
             c.end_date = QDate(2013, 12, 10);
             c.end_hour = QStringLiteral("10");
             c.end_min = QStringLiteral("5");
         },
         122, "2013/12/10 09:05:00", "2013/12/10 10:05:00"},
        {"start hour not chosen", [](ReserveChoice& c) { c.start_hour.clear(); }, 0, nullptr, nullptr},
        {"an emptied duration field",
         [](ReserveChoice& c) {
             c.end_as_date = false;
             c.dur_s.clear();
         },
         0, nullptr, nullptr},
    };
    for (const Case& k : cases) {
        ReserveChoice c = base();
        k.edit(c);
        QString start, stop;
        EXPECT_EQ(mq::reserve_recompute(c, start, stop), k.count) << k.what;
        if (k.start) EXPECT_EQ(start, QString::fromUtf8(k.start)) << k.what;
        if (k.stop) EXPECT_EQ(stop, QString::fromUtf8(k.stop)) << k.what;
    }
}

TEST(ReserveCompute, IntervalSeconds) {
    EXPECT_DOUBLE_EQ(mq::reserve_interval_seconds(0, 1, 0), 60);
    EXPECT_DOUBLE_EQ(mq::reserve_interval_seconds(24, 0, 0), 86400);
    EXPECT_DOUBLE_EQ(mq::reserve_interval_seconds(1, 30, 0), 5400);
}

TEST(ClockReadDisplay, MemoryByModeAndLinkSpeed) {
    struct Case {
        qint64 m;
        mq::OpMode mode;
        qint32 baud;
        bool memoryMode;
        qint64 recordable, barMax, barValue;
    };
    const Case cases[] = {
        {5000, mq::OpMode::Log, 9600, false, 5000, 0, 5000},
        {700000, mq::OpMode::Memory, 128000, true, 691200, 691200, 691200},
        {1000, mq::OpMode::Memory, 9600, true, 0, 345600, 0},
        {346968, mq::OpMode::Memory, 19200, true, 345600, 345600, 345600},
        {346969, mq::OpMode::Memory, 9600, true, 345600, 345600, 345600},
    };
    for (const Case& c : cases) {
        const mq::MemoryDisplay d = mq::memory_display(c.m, c.mode, c.baud);
        EXPECT_EQ(d.memory_mode, c.memoryMode) << c.m;
        EXPECT_EQ(d.remaining, c.m);
        EXPECT_EQ(d.recordable, c.recordable) << c.m;
        EXPECT_EQ(d.bar_max, c.barMax) << c.m;
        EXPECT_EQ(d.bar_value, c.barValue) << c.m;
    }
}

TEST(ReserveStop, ADurationCountsFromTheLoggerClock) {
    const QDateTime clock(QDate(2013, 12, 10), QTime(10, 0, 0), Qt::UTC);
    // Two days and three hours: four 12-hour steps and 03:00:00.
    EXPECT_EQ(mq::reserve_stop_from_clock(clock, false, QStringLiteral("03:00:00"), 4),
              QStringLiteral("2013/12/12 13:00:02"));
    EXPECT_EQ(mq::reserve_stop_from_clock(clock, true, QStringLiteral("00:30:15"), 0),
              QStringLiteral("2013/12/10 10:30:15"));
}

TEST(ReserveStop, TheSettingHoldsTheZeroTimeForNoTimeAndForABadText) {
    EXPECT_EQ(mq::reservation_setting_time(QStringLiteral("2013/12/10 10:00:00")),
              QDateTime(QDate(2013, 12, 10), QTime(10, 0, 0), Qt::UTC));
    for (const char* none : {"0000/00/00 00:00:00", "2013/13/45 99:00:00"})
        EXPECT_EQ(mq::reservation_setting_time(QLatin1String(none)), QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC));
}

}  // namespace
