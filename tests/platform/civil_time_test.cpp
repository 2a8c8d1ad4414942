#include <gtest/gtest.h>

#include "platform/civil_time.h"
#include "platform/errors.h"

using namespace mq;
using namespace mq::platform;

TEST(CivilTime, ValidatesDatesAndTimes) {
    EXPECT_THROW(civil(2013, 2, 29, 0, 0, 0), ConversionError);
    EXPECT_NO_THROW(civil(2012, 2, 29, 0, 0, 0));
    EXPECT_THROW(civil(2013, 1, 1, 24, 0, 0), ConversionError);
    EXPECT_NO_THROW(civil(2013, 1, 1, 23, 59, 59));
    EXPECT_THROW(civil(2013, 1, 1, 12, 60, 0), ConversionError);
    EXPECT_THROW(civil(2013, 1, 1, 12, 0, 60), ConversionError);
    EXPECT_THROW(civil(2013, 13, 1, 0, 0, 0), ConversionError);
    EXPECT_THROW(civil(2013, 0, 1, 0, 0, 0), ConversionError);
    EXPECT_THROW(civil(2000, 0, 0, 0, 0, 0), ConversionError);  // the "no stop time yet" digits
    EXPECT_THROW(civil(99, 1, 1, 0, 0, 0), ConversionError);
    EXPECT_EQ(civil(2013, 12, 10, 8, 30, 0).timeSpec(), Qt::UTC);
}

TEST(CivilTime, ParsesTheDisplayFormAndItsLooserForms) {
    const QDateTime t = civil(2013, 1, 5, 8, 3, 0);
    EXPECT_EQ(parseCivil(QStringLiteral("2013/01/05 08:03:00")), t);
    EXPECT_EQ(parseCivil(QStringLiteral("2013/1/5 8:3:0")), t);
    EXPECT_EQ(parseCivil(QStringLiteral("2013-01-05 08:03:00")), t);
    EXPECT_EQ(parseCivil(QStringLiteral("  2013/01/05  08:03 ")), t);
    EXPECT_EQ(parseCivil(QStringLiteral("13-01-05 08:03:00")), t);
    EXPECT_EQ(parseCivil(QStringLiteral("2013/01/05")), civil(2013, 1, 5, 0, 0, 0));
    EXPECT_EQ(parseCivil(QStringLiteral("99/12/31")), civil(1999, 12, 31, 0, 0, 0));
    EXPECT_EQ(parseCivil(QStringLiteral("29/12/31")), civil(2029, 12, 31, 0, 0, 0));
    EXPECT_EQ(parseCivil(QStringLiteral("2012/02/29 23:59:59")).timeSpec(), Qt::UTC);
}

TEST(CivilTime, RejectsWhatIsNotADateTime) {
    for (const char* bad : {"", "abc", "2013/13/01", "2013/02/29 00:00:00", "2013/01/01 24:00:00",
                            "2013/01/01 12:00:60", "2013/01", "2013/01/01 12", "2013/01/01 1:2:3:4",
                            "2013/01/01 12:00:00 x", "2013/1/a", "2013/01-01", "20133/01/01", "2013/001/01",
                            "2013/01/01 123:00:00"})
        EXPECT_THROW(parseCivil(QString::fromLatin1(bad)), ConversionError) << bad;
}

TEST(CivilTime, FormatsTheDisplayForm) {
    EXPECT_EQ(formatCivil(civil(2013, 1, 5, 8, 3, 0)), QStringLiteral("2013/01/05 08:03:00"));
    EXPECT_EQ(formatCivil(civil(999, 12, 31, 23, 59, 59)), QStringLiteral("0999/12/31 23:59:59"));
    const QDateTime t = civil(2013, 12, 10, 8, 30, 5);
    EXPECT_EQ(parseCivil(formatCivil(t)), t);
}

TEST(CivilTime, FormatsDatePictures) {
    const QDateTime t = civil(2013, 1, 5, 8, 3, 9);
    EXPECT_EQ(formatCivil(t, QStringLiteral("yy-mm-dd hh:nn:")), QStringLiteral("13-01-05 08:03:"));
    EXPECT_EQ(formatCivil(t, QStringLiteral("yyyy-mm-dd hh:nn:ss")), QStringLiteral("2013-01-05 08:03:09"));
    EXPECT_EQ(formatCivil(t, QStringLiteral("HH:MM:SS")), QStringLiteral("08:03:09"));  // MM after hours: minutes
    EXPECT_EQ(formatCivil(t, QStringLiteral("hh:mm")), QStringLiteral("08:03"));
    EXPECT_EQ(formatCivil(t, QStringLiteral("mm:ss")), QStringLiteral("03:09"));  // before seconds: minutes
    EXPECT_EQ(formatCivil(t, QStringLiteral("yyyy/m/d")), QStringLiteral("2013/1/5"));
    EXPECT_EQ(formatCivil(t, QStringLiteral("yyyy/mm/dd hh:nn:ss")), formatCivil(t));
}

TEST(CivilTime, TimeOfDayTexts) {
    EXPECT_EQ(parseTimeOfDaySeconds(QStringLiteral("00:01:30")), 90);
    EXPECT_EQ(parseTimeOfDaySeconds(QStringLiteral("1:2:3")), 3723);
    EXPECT_EQ(parseTimeOfDaySeconds(QStringLiteral("0:01")), 60);
    EXPECT_EQ(parseTimeOfDaySeconds(QStringLiteral("24:00:00")), 86400);
    for (const char* bad : {"", "abc", "25:00:00", "24:00:01", "12:60:00", "12:00:60", "12", "1:2:3:4"})
        EXPECT_THROW(parseTimeOfDaySeconds(QString::fromLatin1(bad)), ConversionError) << bad;
}

TEST(CivilTime, ArithmeticKnowsNoZones) {
    // A date on which many zones change their clocks: an hour later is always
    // exactly one hour later on the wall clock.
    EXPECT_EQ(addSeconds(civil(2013, 3, 31, 1, 30, 0), 3600), civil(2013, 3, 31, 2, 30, 0));
    EXPECT_EQ(addSeconds(civil(2013, 10, 27, 2, 30, 0), 3600), civil(2013, 10, 27, 3, 30, 0));
    EXPECT_EQ(addSeconds(civil(2012, 2, 28, 23, 59, 59), 1), civil(2012, 2, 29, 0, 0, 0));
    EXPECT_EQ(addSeconds(civil(2013, 12, 31, 0, 0, 0), 86400), civil(2014, 1, 1, 0, 0, 0));
    EXPECT_EQ(addSeconds(civil(2014, 1, 1, 0, 0, 0), -1), civil(2013, 12, 31, 23, 59, 59));
    EXPECT_EQ(civil(2013, 1, 1, 0, 0, 0).secsTo(civil(2013, 1, 2, 0, 0, 0)), 86400);
}

TEST(CivilTime, NowIsTheLocalWallClockToTheSecond) {
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime now = nowCivil();
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_EQ(now.timeSpec(), Qt::UTC);
    EXPECT_EQ(now.time().msec(), 0);
    const QDateTime lo(before.date(), QTime(before.time().hour(), before.time().minute(), before.time().second()),
                       Qt::UTC);
    const QDateTime hi(after.date(), after.time(), Qt::UTC);
    EXPECT_LE(lo, now);
    EXPECT_LE(now, hi);
}
