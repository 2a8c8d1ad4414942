// The data-set handle: lookups by tag that never raise, the current data set
// by kind, and make_current setting the kind and the reference together.
#include <gtest/gtest.h>

#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"

namespace {

using mq::DataSetHandle;

class DataSetHandleTest : public ::testing::Test {
protected:
    void SetUp() override {
        slot->logger_main = std::make_shared<mq::clsLOGGER_Main>();
        slot->file_main = std::make_shared<mq::clsFILE_Main>();
        slot->logger_main->colLOGGER_DATA().Add(QStringLiteral("L03"));
        slot->file_main->colFILE_DATA().Add(QStringLiteral("F01"));
    }
    mq::ModelSlot slot;
};

TEST_F(DataSetHandleTest, TagsFindTheirDataSetOrNothing) {
    struct Case {
        const char* tag;
        bool file;
        bool logger;
    };
    const Case cases[] = {
        {"L03", false, true},         {"F01a.ML2", true, false}, {"L04", false, false}, {"F02b.ML2", false, false},
        {"X01", false, false},        {"", false, false},        {"l03", false, false}, {"L3", false, false},
    };
    for (const Case& c : cases) {
        const DataSetHandle h = DataSetHandle::of_tag(QString::fromLatin1(c.tag));
        EXPECT_EQ(h.is_file(), c.file) << c.tag;
        EXPECT_EQ(h.is_logger(), c.logger) << c.tag;
        EXPECT_EQ(bool(h), c.file || c.logger) << c.tag;
        EXPECT_EQ(h.setting() != nullptr, bool(h)) << c.tag;
        EXPECT_EQ(h.database() != nullptr, bool(h)) << c.tag;
    }
    // Without roots nothing is found, and nothing raises.
    slot->logger_main.reset();
    slot->file_main.reset();
    EXPECT_FALSE(DataSetHandle::of_tag(QStringLiteral("L03")));
    EXPECT_FALSE(DataSetHandle::of_tag(QStringLiteral("F01")));
}

TEST_F(DataSetHandleTest, StatusOfALoggerDataSetIsTheRootsAndAFilesIsItsOwn) {
    const DataSetHandle logger = DataSetHandle::of_tag(QStringLiteral("L03"));
    const DataSetHandle file = DataSetHandle::of_tag(QStringLiteral("F01"));
    EXPECT_EQ(logger.status(), &slot->logger_main->clsLOGGER_STATUS());
    EXPECT_EQ(file.status(), &file.file()->clsLOGGER_STATUS());
    slot->logger_main.reset();  // the handle keeps its data set, the root is gone
    EXPECT_EQ(logger.status(), nullptr);
    EXPECT_NE(logger.setting(), nullptr);
}

TEST_F(DataSetHandleTest, MakeCurrentSetsTheKindWithItsReferenceAndCurrentReadsThemBack) {
    const DataSetHandle logger = DataSetHandle::of_tag(QStringLiteral("L03"));
    const DataSetHandle file = DataSetHandle::of_tag(QStringLiteral("F01"));

    file.make_current();
    EXPECT_EQ(slot->act_data_kind, 1);
    EXPECT_EQ(slot->act_file_data, file.file());
    EXPECT_EQ(DataSetHandle::current().file(), file.file());

    logger.make_current();
    EXPECT_EQ(slot->act_data_kind, 2);
    EXPECT_EQ(slot->act_logger_data, logger.logger());
    EXPECT_EQ(slot->act_file_data, file.file());  // the other reference stays
    EXPECT_EQ(DataSetHandle::current().logger(), logger.logger());

    DataSetHandle().make_current();  // an empty handle changes nothing
    EXPECT_EQ(slot->act_data_kind, 2);
    EXPECT_EQ(slot->act_logger_data, logger.logger());

    // Kind 0 reads the logger data set, as the channel procedures do.
    slot->act_data_kind = 0;
    EXPECT_EQ(DataSetHandle::current().logger(), logger.logger());
    slot->act_logger_data.reset();
    EXPECT_FALSE(DataSetHandle::current());
}

TEST(DataSetHandleKeys, LoggerKeysAreTwoDigits) {
    EXPECT_EQ(DataSetHandle::logger_key(1), QStringLiteral("L01"));
    EXPECT_EQ(DataSetHandle::logger_key(20), QStringLiteral("L20"));
    EXPECT_EQ(DataSetHandle::logger_key(0), QStringLiteral("L00"));
    EXPECT_FALSE(DataSetHandle::current());  // no model state at all
}

}  // namespace
