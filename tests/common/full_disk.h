#pragma once
// A folder on a file system that is (or can be made) full, for the tests of
// every writer that must keep the old file when the disk fills up.
//
// As root the folder is a small tmpfs mounted for the test; fill() then takes
// its free space with a filler file, so the next write fails with "No space
// left on device" exactly as on a full disk. Without the right to mount, the
// folder is a plain temporary folder and fill() sets the process's file-size
// limit (RLIMIT_FSIZE, with SIGXFSZ ignored) so that no file can grow beyond
// `room` bytes: the write fails with EFBIG at the same place. release()
// (and the destructor) gives the space back.
//
// Usage:
//   auto disk = mq::test::FullDisk::make();
//   if (!disk) GTEST_SKIP() << mq::test::FullDisk::whyNot();
//   write the old file into disk->path(); disk->fill(); run the save;
//   disk->release(); check the old file and that no temporary file is left.
#include <QString>
#include <QStringList>

#include <memory>

namespace mq::test {

class FullDisk {
public:
    // Nothing when neither a tmpfs nor a file-size limit can be had.
    static std::unique_ptr<FullDisk> make(qint64 sizeBytes = 256 * 1024);
    static QString whyNot();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    QString path() const { return m_path; }
    bool isTmpfs() const { return m_tmpfs; }

    // From now on at most `room` more bytes fit (a little more on the tmpfs,
    // whose space comes in pages; never a whole file of a few kilobytes).
    void fill(qint64 room = 0);
    void release();

    // The entries of the folder without the filler file, sorted.
    QStringList entries() const;

private:
    FullDisk() = default;
    QString m_path;
    QString m_base;  // the temporary folder the mount point lies in
    bool m_tmpfs = false;
    bool m_filled = false;
    bool m_limitSet = false;
    unsigned long long m_oldSoft = 0;
    unsigned long long m_oldHard = 0;
    void* m_oldHandler = nullptr;
};

}  // namespace mq::test
