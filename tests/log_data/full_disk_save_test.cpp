// Saving a LOG window's data as ".ML2" or CSV on a disk that is full: the old
// file stays as it was, no temporary file is left, the user is told, and the
// window's data stay marked as not saved.
#include <gtest/gtest.h>

#include "common/full_disk.h"
#include "log_data/log_files_fixture.h"

namespace mq::test {
namespace {

struct SaveCase {
    const char* name;
    const char* file;
    int filter;      // 1 data file, 2 CSV
    bool existing;   // saving over a file saved before
};

class FullDiskSaveTest : public LogFilesFixture, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(FullDiskSaveTest, KeepsTheOldFileReportsAndStaysUnsaved) {
    const SaveCase c = GetParam();
    auto disk = FullDisk::make();
    if (!disk) GTEST_SKIP() << FullDisk::whyNot().toStdString();
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    const int slot = slotOf(QStringLiteral("L01"));
    const QString path = disk->path() + QLatin1Char('/') + QLatin1String(c.file);

    QByteArray before;
    if (c.existing) {
        save(path, c.filter);
        before = readFile(path);
        ASSERT_FALSE(before.isEmpty());
        EXPECT_EQ(home_state().win_unsaved_flags[slot], 2);
        home_state().win_unsaved_flags[slot] = 1;  // changed again since
    }

    platform::ScopedMessageBoxHook boxes;
    // Room for LAFP.CFG under a file-size limit, none for the data file.
    disk->fill(disk->isTmpfs() ? 0 : 1000);
    save(path, c.filter);
    disk->release();

    ASSERT_EQ(boxes.texts().size(), 1u);
    EXPECT_TRUE(boxes.texts()[0].startsWith(QStringLiteral("ファイルへの書き込みに失敗しました。")))
        << boxes.texts()[0].toStdString();
    EXPECT_EQ(home_state().win_unsaved_flags[slot], 1);
    if (c.existing) {
        EXPECT_EQ(readFile(path), before);
        EXPECT_EQ(disk->entries(), QStringList{QLatin1String(c.file)});
    } else {
        EXPECT_TRUE(disk->entries().isEmpty()) << disk->entries().join(u',').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, FullDiskSaveTest,
                         ::testing::Values(SaveCase{"Ml2OverAnOldFile", "area1.ML2", 1, true},
                                           SaveCase{"Ml2UnderANewName", "area1.ML2", 1, false},
                                           SaveCase{"CsvOverAnOldFile", "area1.csv", 2, true},
                                           SaveCase{"CsvUnderANewName", "area1.csv", 2, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mq::test
