// The LOG reads' arithmetic: the area in the commands, the data reply's
// length and the area data sets the reads fill.
#include "sequencer/ops_log_read.h"

#include <gtest/gtest.h>

#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"

namespace {

TEST(LogReadArithmetic, AreaNumberGoesIntoCharactersSevenAndEight) {
    EXPECT_EQ(mq::area_command(QStringLiteral("LR03CT00"), 7), QStringLiteral("LR03CT07"));
    EXPECT_EQ(mq::area_command(QStringLiteral("LR00ST00,X"), 20), QStringLiteral("LR00ST20,X"));
}

TEST(LogReadArithmetic, ReplyLengthFollowsGroupsOfThree) {
    EXPECT_EQ(mq::log_data_reply_length(0, 4), 0);
    EXPECT_EQ(mq::log_data_reply_length(7, 4), 180);  // 2 x 74 + 32
    EXPECT_EQ(mq::log_data_reply_length(5, 2), 77);   // 44 + 33
    EXPECT_EQ(mq::log_data_reply_length(3, 1), 29);
    EXPECT_EQ(mq::log_data_reply_length(1, 1), 17);
    EXPECT_EQ(mq::log_data_reply_length(16000, 4), 5333 * 74 + 32);
    EXPECT_THROW(mq::log_data_reply_length(2000000000, 4), mq::OverflowError);
}

TEST(LogReadArithmetic, AreaDataSetsAreCompletedNotDuplicated) {
    mq::ModelSlot m;
    m->logger_main = std::make_shared<mq::clsLOGGER_Main>();
    auto& col = m->logger_main->colLOGGER_DATA();
    col.Add(QStringLiteral("L00"));
    col.Add(QStringLiteral("L05"));
    const auto l05 = col.Item(QStringLiteral("L05"));
    mq::ensure_area_data_sets();
    ASSERT_EQ(col.Count(), 21);
    EXPECT_EQ(col.Item(1)->ID(), QStringLiteral("L00"));
    EXPECT_EQ(col.Item(QStringLiteral("L05")), l05);
    for (int n = 1; n <= 20; ++n) EXPECT_NO_THROW(col.Item(QStringLiteral("L%1").arg(n, 2, 10, QChar(u'0'))));
    mq::ensure_area_data_sets();
    EXPECT_EQ(col.Count(), 21);
}

}  // namespace
