// Channel value texts: the classifier every reader of stored and file values
// relies on, the scale rule, and that the stored texts keep the exact widths
// the working databases and the saved queries compare against.
#include <gtest/gtest.h>

#include "model/channel_values.h"

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

}  // namespace
