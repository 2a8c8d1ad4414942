// The safe file writer on a real full file system: a write that does not fit
// never reaches the old file, leaves no temporary file and is reported.
#include <gtest/gtest.h>

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "common/full_disk.h"
#include "common/test_env.h"
#include "platform/safe_file.h"

namespace mq::test {
namespace {

const QByteArray kOld("old contents\r\n");

struct FullDiskCase {
    const char* name;
    bool existing;         // an old file is there before the save
    qint64 newSize;        // bytes of the new file
    qint64 room;           // bytes that still fit
    bool inPieces;         // written in several calls
};

class SafeFileFullDiskTest : public ::testing::TestWithParam<FullDiskCase> {};

TEST_P(SafeFileFullDiskTest, KeepsTheOldFileAndLeavesNoTemporaryFile) {
    const FullDiskCase c = GetParam();
    auto disk = FullDisk::make();
    if (!disk) GTEST_SKIP() << FullDisk::whyNot().toStdString();
    const QString target = disk->path() + QStringLiteral("/data.ML2");
    if (c.existing) writeAll(target, kOld);
    disk->fill(c.room);

    SafeFileWriter w(target);
    FileResult r = w.open();
    const QByteArray bytes(int(c.newSize), 'x');
    if (r) {
        if (c.inPieces) {
            for (qsizetype at = 0; at < bytes.size() && r; at += 1000) r = w.write(bytes.mid(at, 1000));
        } else {
            r = w.write(bytes);
        }
    }
    // A failed write keeps failing, and the commit reports it.
    if (r) r = w.commit();
    else EXPECT_FALSE(w.commit().ok);
    disk->release();

    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_TRUE(r.message.contains(target)) << r.message.toStdString();
    if (c.existing) {
        EXPECT_EQ(readAll(target), kOld);
        EXPECT_EQ(disk->entries(), QStringList{QStringLiteral("data.ML2")});
    } else {
        EXPECT_TRUE(disk->entries().isEmpty()) << disk->entries().join(u',').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SafeFileFullDiskTest,
    ::testing::Values(FullDiskCase{"OverAnOldFileInOneWrite", true, 20000, 1024, false},
                      FullDiskCase{"OverAnOldFileInPieces", true, 20000, 1024, true},
                      FullDiskCase{"ANewName", false, 20000, 1024, false},
                      FullDiskCase{"ANoRoomAtAll", true, 100, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SafeFileTest, ACompleteWriteReplacesTheFileAndKeepsItsPermissions) {
    ensureApplication();
    QTemporaryDir dir;
    const QString target = dir.path() + QStringLiteral("/a.csv");
    writeAll(target, kOld);
    ::chmod(QFile::encodeName(target).constData(), 0640);

    EXPECT_TRUE(write_file_safely(target, "new\r\n").ok);
    EXPECT_EQ(readAll(target), QByteArray("new\r\n"));
    EXPECT_EQ(QFileInfo(target).permissions() & (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                  QFile::WriteGroup | QFile::ReadOther),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("a.csv")});
}

TEST(SafeFileTest, AnAbandonedWriteLeavesNothingBehind) {
    ensureApplication();
    QTemporaryDir dir;
    const QString target = dir.path() + QStringLiteral("/b.ML2");
    {
        SafeFileWriter w(target);
        ASSERT_TRUE(w.open().ok);
        ASSERT_TRUE(w.write("partial").ok);
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(SafeFileTest, AFolderThatDoesNotExistIsACreateError) {
    ensureApplication();
    QTemporaryDir dir;
    const QString target = dir.path() + QStringLiteral("/missing/c.ML2");
    const FileResult r = write_file_safely(target, "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, file_create_error_message(target));
}

}  // namespace
}  // namespace mq::test
