// The channel-field rules of both LOG editors: focus-loss checks and their
// replacements, spinner steps, key filters, the unit refusal and the
// interval rule.
#include <gtest/gtest.h>

#include "setting_editor/setting_field_rules.h"

namespace {

using mq::AlarmField;

TEST(LogFieldRules, ScaleFieldsTakeTheFourDigitFormOrTheirReplacement) {
    struct Case {
        bool isMin;
        const char* text;
        const char* other;
        const char* want;
    };
    const Case cases[] = {
        {true, "7", "5000", "0007"},      {true, "-7", "5000", "-0007"},  {true, "12345", "9999", "2345"},
        {true, "", "5000", "-9999"},      {true, "-", "5000", "-9999"},   {true, "1-2", "5000", "-9999"},
        {true, "0100", "0100", "-9999"},  {true, "5000", "5000", "-9999"}, {true, "2.6", "5000", "0003"},
        {false, "0100", "0100", "9999"},  {false, "50", "0100", "9999"},  {false, "", "0", "9999"},
        {false, "-100", "-200", "-0100"}, {false, "5000", "-0200", "5000"},
        // A companion that is no number fails the check instead of throwing.
        {true, "10", "", "-9999"},        {false, "10", "abc", "9999"},
    };
    for (const Case& c : cases) {
        const QString got = c.isMin ? mq::scale_min_checked(QString::fromUtf8(c.text), QString::fromUtf8(c.other))
                                    : mq::scale_max_checked(QString::fromUtf8(c.text), QString::fromUtf8(c.other));
        EXPECT_EQ(got, QString::fromUtf8(c.want)) << (c.isMin ? "min " : "max ") << c.text << " / " << c.other;
    }
}

TEST(LogFieldRules, ScaleSpinnersStepByOneWithinTheirEnds) {
    struct Case {
        bool isMin;
        const char* text;
        const char* other;
        bool up;
        const char* want;  // nullptr: nothing changes
    };
    const Case cases[] = {
        {true, "9998", "9999", true, "9998"},   {true, "0099", "0100", true, "-9999"},  // reaching the maximum
        {true, "0100", "5000", true, "0101"},   {true, "-9999", "5000", false, "-9999"},
        {true, "20000", "9999", false, "9997"},  // clamped to 9998 first
        {false, "-9998", "-9999", false, "-9998"}, {false, "9999", "0", true, "9999"},
        {false, "0100", "0000", false, "0099"},  {true, "", "5000", true, nullptr},
    };
    for (const Case& c : cases) {
        const auto got = c.isMin ? mq::scale_min_step(c.text, c.other, c.up) : mq::scale_max_step(c.text, c.other, c.up);
        if (!c.want) {
            EXPECT_FALSE(got.has_value()) << c.text;
        } else {
            ASSERT_TRUE(got.has_value()) << c.text;
            EXPECT_EQ(*got, QString::fromUtf8(c.want)) << c.text << (c.up ? " up" : " down");
        }
    }
}

TEST(LogFieldRules, AlarmFieldsAreFormattedAndKeptWithinTheTypeLimits) {
    struct Case {
        AlarmField f;
        const char* type;
        const char* text;
        const char* other;
        const char* want;
    };
    const Case cases[] = {
        {AlarmField::High, "K", "1500", "-200.0", "1370.0"},   {AlarmField::High, "K", "1000", "-200.0", "1000.0"},
        {AlarmField::High, "K", "-200", "-200.0", "1370.0"},   // not above the low alarm
        {AlarmField::High, "K", "12.34", "-200.0", "12.3"},    {AlarmField::High, "K", "-100.0", "-50.0", "1370.0"},
        {AlarmField::Low, "K", "-250", "1370.0", "-200.0"},    {AlarmField::Low, "K", "1370.0", "1370.0", "-200.0"},
        {AlarmField::Base, "K", "2000", "", "0.0"},            {AlarmField::High, "E", "12000", "-200.0", "700.0"},
        {AlarmField::High, "E", "1.2.3", "-200.0", "700.0"},   {AlarmField::High, "T", "10000", "-200.0", "400.0"},
        {AlarmField::Base, "J", "-250", "", "0.0"},            {AlarmField::Low, "J", "699.9", "700.0", "699.9"},
        {AlarmField::High, "V", "abc", "", "abc"},             // no limits for a voltage channel
        {AlarmField::High, "K", "500", "", "1370.0"},          // a companion that is no number
        {AlarmField::Low, "T", "-10", "x", "-200.0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mq::alarm_checked(c.f, c.type, QString::fromUtf8(c.text), QString::fromUtf8(c.other)),
                  QString::fromUtf8(c.want))
            << c.type << " " << c.text;
    }
}

TEST(LogFieldRules, AlarmSpinnersStepByATenthAndStopAtTheEnds) {
    // T channel: spinning the low alarm up from 399.9 gives the replacement,
    // the high alarm up from 400.0 stays at the limit.
    EXPECT_EQ(mq::alarm_step(AlarmField::Low, "T", "399.9", "400.0", true), QStringLiteral("-200.0"));
    EXPECT_EQ(mq::alarm_step(AlarmField::High, "T", "400.0", "-200.0", true), QStringLiteral("400.0"));
    EXPECT_EQ(mq::alarm_step(AlarmField::High, "T", "100.0", "-200.0", true), QStringLiteral("100.1"));
    EXPECT_EQ(mq::alarm_step(AlarmField::Base, "K", "0.0", "", false), QStringLiteral("-0.1"));
    EXPECT_FALSE(mq::alarm_step(AlarmField::High, "V", "9999.9", "", true).has_value());
    EXPECT_FALSE(mq::alarm_step(AlarmField::High, "V", "-999.9", "", false).has_value());
    EXPECT_FALSE(mq::alarm_step(AlarmField::Low, "K", "", "", true).has_value());
}

TEST(LogFieldRules, KeyFiltersAndTheUnitRefusal) {
    for (QChar c : QStringLiteral("-0123456789")) EXPECT_TRUE(mq::scale_key_ok(c));
    EXPECT_FALSE(mq::scale_key_ok(u'.'));
    EXPECT_TRUE(mq::alarm_key_ok(u'.'));
    EXPECT_FALSE(mq::alarm_key_ok(u'a'));
    EXPECT_TRUE(mq::scale_key_ok(QChar(8)));
    // Unit: printable up to "z", half-width katakana; never the comma, braces or "~".
    for (QChar c : QStringLiteral("mVAz ﾟｱ%")) EXPECT_TRUE(mq::unit_key_ok(c)) << int(c.unicode());
    for (QChar c : QStringLiteral(",{}~℃あ")) EXPECT_FALSE(mq::unit_key_ok(c)) << int(c.unicode());

    for (const char* t : {"ﾟC", " ﾟC", "ﾟC ", "℃", "1℃"}) EXPECT_TRUE(mq::unit_refused(QString::fromUtf8(t))) << t;
    for (const char* t : {"ﾟCC", "V", "mV", "ﾟCx"}) EXPECT_FALSE(mq::unit_refused(QString::fromUtf8(t))) << t;
}

TEST(LogFieldRules, IntervalsTheLoggerCanRecordAt) {
    for (const char* t : {"00:00:01", "00:01:00", "23:59:00", "24:00:00", "00:00:45"})
        EXPECT_TRUE(mq::interval_valid(t)) << t;
    for (const char* t : {"00:00:00", "24:01:00", "", "0:01:00", "00:60:00", " 0:01:00"})
        EXPECT_FALSE(mq::interval_valid(t)) << t;
}

TEST(LogFieldRules, ListIndexesOfTypesAndDecimalPositions) {
    EXPECT_EQ(mq::combo2_listindex_make("K"), 1);
    EXPECT_EQ(mq::combo2_listindex_make("V"), 5);
    EXPECT_EQ(mq::combo2_listindex_make("-"), 0);
    EXPECT_EQ(mq::combo2_listindex_make("X"), 0);
    EXPECT_EQ(mq::combo3_listindex_make("3"), 3);
    EXPECT_EQ(mq::combo3_listindex_make("4"), -1);
    EXPECT_EQ(mq::type_code_of_item(QStringLiteral("なし")), QStringLiteral("-"));
}

}  // namespace
