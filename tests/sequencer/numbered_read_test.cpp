// What the reads of the twenty areas or tags share: the number in the
// commands and the data sets the reads fill.
#include "sequencer/numbered_read.h"

#include <gtest/gtest.h>

#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"

namespace {

TEST(NumberedRead, NumberGoesIntoCharactersSevenAndEight) {
    EXPECT_EQ(mq::numbered_command(QStringLiteral("LR03CT00"), 7), QStringLiteral("LR03CT07"));
    EXPECT_EQ(mq::numbered_command(QStringLiteral("LR00ST00,X"), 20), QStringLiteral("LR00ST20,X"));
    EXPECT_EQ(mq::numbered_command(QStringLiteral("TR01DT00"), 5), QStringLiteral("TR01DT05"));
}

TEST(NumberedRead, DataSetsAreCompletedNotDuplicated) {
    mq::ModelSlot m;
    m->logger_main = std::make_shared<mq::clsLOGGER_Main>();
    auto& col = m->logger_main->colLOGGER_DATA();
    col.Add(QStringLiteral("L00"));
    col.Add(QStringLiteral("L05"));
    const auto l05 = col.Item(QStringLiteral("L05"));
    mq::ensure_numbered_data_sets();
    ASSERT_EQ(col.Count(), 21);
    EXPECT_EQ(col.Item(1)->ID(), QStringLiteral("L00"));
    EXPECT_EQ(col.Item(QStringLiteral("L05")), l05);
    for (int n = 1; n <= 20; ++n) EXPECT_NO_THROW(col.Item(QStringLiteral("L%1").arg(n, 2, 10, QChar(u'0'))));
    mq::ensure_numbered_data_sets();
    EXPECT_EQ(col.Count(), 21);
}

}  // namespace
