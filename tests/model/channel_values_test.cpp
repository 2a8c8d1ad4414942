// Channel value texts: the classifier every reader of stored and file values
// relies on, the scale rule, and that the stored texts keep the exact widths
// the working databases and the saved queries compare against.
#include <gtest/gtest.h>

#include <cmath>

#include "model/channel_values.h"
#include "model/cls_logger_setting.h"
#include "platform/errors.h"

namespace {

using mq::ValueKind;

TEST(ChannelValuesTest, ValueKindReadsTextsWithBlanksAroundThem) {
    struct Case {
        const char16_t* text;
        ValueKind kind;
    };
    const Case cases[] = {
        {u"", ValueKind::Blank},          {u"      ", ValueKind::Blank},
        {u"    ------", ValueKind::Missing}, {u"-----", ValueKind::Missing},
        {u"----", ValueKind::Other},      {u"-------", ValueKind::Other},
        {u"     O.R.", ValueKind::OverMark}, {u"  U.R.", ValueKind::UnderMark},
        {u"O.R. ", ValueKind::OverMark},  {u"O.R", ValueKind::Other},
        {u"3276.7", ValueKind::OverCode}, {u" 3276.6", ValueKind::UnderCode},
        {u"3276.70", ValueKind::Other},   {u"-3276.7", ValueKind::Other},
        {u"  12.3", ValueKind::Other},    {u"\tO.R.", ValueKind::Other},  // only blanks are padding
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mq::value_kind(QStringView(c.text)), c.kind) << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(ChannelValuesTest, RangeGroupsSeparateMarksFromCodes) {
    EXPECT_TRUE(mq::is_range_mark(ValueKind::OverMark));
    EXPECT_FALSE(mq::is_range_mark(ValueKind::OverCode));
    EXPECT_TRUE(mq::is_range_code(ValueKind::UnderCode));
    EXPECT_FALSE(mq::is_range_code(ValueKind::UnderMark));
    for (ValueKind k : {ValueKind::OverMark, ValueKind::UnderMark, ValueKind::OverCode, ValueKind::UnderCode})
        EXPECT_TRUE(mq::is_range(k));
    for (ValueKind k : {ValueKind::Blank, ValueKind::Missing, ValueKind::Other}) EXPECT_FALSE(mq::is_range(k));
}

TEST(ChannelValuesTest, ScaleFollowsDecimalPositionOnlyForVoltage) {
    struct Case {
        const char* type;
        int pos;
        int scale;
    };
    const Case cases[] = {{"K", 0, 10}, {"K", 3, 10}, {"-", 2, 10}, {"V", 0, 1},   {"V", 1, 10},
                          {"V", 2, 100}, {"V", 3, 1000}, {"V", 4, 1},  {"v", 3, 10}};
    for (const Case& c : cases)
        EXPECT_EQ(mq::channel_scale(QString::fromLatin1(c.type), c.pos), c.scale) << c.type << c.pos;
}

TEST(ChannelValuesTest, StoredTextsKeepTheirWidthsAndClassify) {
    EXPECT_EQ(mq::kStoredOverRange.size(), 9);
    EXPECT_EQ(mq::kStoredUnderRange.size(), 9);
    EXPECT_EQ(mq::kStoredMissing.size(), 10);
    EXPECT_EQ(mq::value_kind(mq::kStoredOverRange), ValueKind::OverMark);
    EXPECT_EQ(mq::value_kind(mq::kStoredUnderRange), ValueKind::UnderMark);
    EXPECT_EQ(mq::value_kind(mq::kStoredMissing), ValueKind::Missing);
}

// The one alarm rule, from a channel's setting texts as the files and the
// logger give them ("-----" not set), through the text, value and scaled forms.
TEST(ChannelValuesTest, AlarmBandsOfSetNotSetAndZeroAlarms) {
    using B = mq::AlarmBand;
    const struct {
        const char *type, *high, *low, *value;
        B band;
    } cases[] = {
        {"K", "30.0", "10.0", "30.1", B::High},   {"K", "30.0", "10.0", "30.0", B::None},
        {"K", "30.0", "10.0", "9.9", B::Low},     {"K", "10.0", "30.0", "9.5", B::High},  // swapped sides
        {"K", "10.0", "30.0", "30.5", B::Low},    {"K", "10.0", "30.0", "20.0", B::None},
        {"K", "-----", "-----", "25.0", B::None}, {"K", "-----", "-----", "-5.0", B::None},
        {"K", "-----", "-10.0", "25.0", B::None}, {"K", "-----", "-10.0", "-10.1", B::Low},  // a lone side
        {"K", "25.0", "------", "25.1", B::High}, {"K", "25.0", "------", "-300.0", B::None},
        {"K", "0.0", "-----", "0.1", B::High},    {"K", "0.0", "-----", "-0.1", B::None},  // set at 0.0
        {"K", "-----", "0.0", "-0.1", B::Low},    {"K", "100.1", "0.7", "100.1", B::None},  // equal as singles
        {"K", "30.0", "10.0", "  O.R.", B::None}, {"K", "30.0", "10.0", "------", B::None},
        {"V", "1.00", "0.50", "9.99", B::None},   {"-", "30.0", "10.0", "99.9", B::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.high << "/" << c.low << " " << c.value);
        mq::clsLOGGER_SETTING s;
        s.let_Ch_input_type(0, QString::fromLatin1(c.type));
        s.let_Ch_period_pos(0, c.type[0] == 'V' ? 2 : 1);
        s.let_Ch_high_alarm_count(0, QString::fromLatin1(c.high));
        s.let_Ch_low_alarm_count(0, QString::fromLatin1(c.low));
        const mq::AlarmLimits a = mq::alarm_limits(s, 0);
        const QString text = QString::fromLatin1(c.value);
        EXPECT_EQ(mq::alarm_band(a, text), c.band);
        if (mq::value_kind(text) != ValueKind::Other) continue;
        EXPECT_EQ(mq::alarm_band(a, text.toDouble()), c.band);
        EXPECT_EQ(mq::alarm_band(a, qint32(std::lround(text.toDouble() * 10)), 10), c.band);
    }
    EXPECT_THROW(mq::alarm_band(mq::alarm_limits(true, 1.0, true, 0.0), QStringLiteral("12a")), mq::ConversionError);
}

}  // namespace
