#include <gtest/gtest.h>

#include "common/test_env.h"
#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace mq::platform;

namespace {
// Sets an environment variable for one scope and puts the old value back.
class EnvGuard {
public:
    EnvGuard(const char* name, const QByteArray* value) : m_name(name), m_had(qEnvironmentVariableIsSet(name)) {
        m_old = qgetenv(name);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~EnvGuard() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}
}  // namespace

TEST(Folders, UserDirFollowsXdgDataHome) {
    mq::test::ensureApplication();
    EXPECT_EQ(userDir(), mq::test::dataHome() + QStringLiteral("/KORVA/Marrowquill4"));
    {
        const QByteArray relative("relative/path");
        EnvGuard g("XDG_DATA_HOME", &relative);  // not absolute: ignored, as the XDG rules say
        EXPECT_EQ(userDir(), QDir::homePath() + QStringLiteral("/.local/share/KORVA/Marrowquill4"));
    }
    {
        EnvGuard g("XDG_DATA_HOME", nullptr);
        EXPECT_EQ(userDir(), QDir::homePath() + QStringLiteral("/.local/share/KORVA/Marrowquill4"));
    }
    EXPECT_EQ(userDir(), mq::test::dataHome() + QStringLiteral("/KORVA/Marrowquill4"));
}

TEST(Folders, ProgramFolders) {
    mq::test::ensureApplication();
    EXPECT_EQ(programDir(), QCoreApplication::applicationDirPath());
    {
        EnvGuard g("MARROWQUILL_CONFIG_DIR", nullptr);
        EXPECT_EQ(programConfigDir(), programDir() + QStringLiteral("/config"));
    }
    {
        const QByteArray dir("/tmp/mq-config-here/");
        EnvGuard g("MARROWQUILL_CONFIG_DIR", &dir);
        EXPECT_EQ(programConfigDir(), QStringLiteral("/tmp/mq-config-here"));
    }
    {
        const QByteArray empty;
        EnvGuard g("MARROWQUILL_CONFIG_DIR", &empty);
        EXPECT_EQ(programConfigDir(), programDir() + QStringLiteral("/config"));
    }
}

// A small sysfs tree whose block-device entry for the temporary folder's
// device points at a disk or a partition with the given removable flag.
class RemovableMedia : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_files.isValid());
        ASSERT_TRUE(m_sys.isValid());
        m_file = m_files.filePath(QStringLiteral("DATA0001.ML2"));
        writeFile(m_file, "x");
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(m_file).constData(), &st), 0);
        m_devKey = QStringLiteral("%1:%2").arg(major(st.st_dev)).arg(minor(st.st_dev));
        QDir().mkpath(m_sys.filePath(QStringLiteral("dev/block")));
    }

    void linkTo(const QString& target) {
        ASSERT_TRUE(QFile::link(target, m_sys.filePath(QStringLiteral("dev/block/") + m_devKey)));
    }

    QTemporaryDir m_files;
    QTemporaryDir m_sys;
    QString m_file;
    QString m_devKey;
};

TEST_F(RemovableMedia, PartitionOfARemovableDisk) {
    const QString disk = m_sys.filePath(QStringLiteral("devices/usb1/block/sdz"));
    writeFile(disk + QStringLiteral("/removable"), "1\n");
    writeFile(disk + QStringLiteral("/sdz1/partition"), "1\n");
    linkTo(disk + QStringLiteral("/sdz1"));
    EXPECT_TRUE(isRemovableMedia(m_file, m_sys.path()));
    // A file about to be written there, in a folder that does not exist yet.
    EXPECT_TRUE(isRemovableMedia(m_files.filePath(QStringLiteral("new/dir/OUT.ML2")), m_sys.path()));
}

TEST_F(RemovableMedia, FixedDiskIsNotRemovable) {
    const QString disk = m_sys.filePath(QStringLiteral("devices/pci0/block/sda"));
    writeFile(disk + QStringLiteral("/removable"), "0\n");
    writeFile(disk + QStringLiteral("/sda2/partition"), "2\n");
    linkTo(disk + QStringLiteral("/sda2"));
    EXPECT_FALSE(isRemovableMedia(m_file, m_sys.path()));
}

TEST_F(RemovableMedia, WholeDiskWithoutPartitions) {
    const QString disk = m_sys.filePath(QStringLiteral("devices/usb1/block/sdy"));
    writeFile(disk + QStringLiteral("/removable"), "1\n");
    linkTo(disk);
    EXPECT_TRUE(isRemovableMedia(m_file, m_sys.path()));
}

TEST_F(RemovableMedia, UnknownDeviceOrPathIsNotRemovable) {
    EXPECT_FALSE(isRemovableMedia(m_file, m_sys.path()));  // no entry for the device
    EXPECT_FALSE(isRemovableMedia(QString(), m_sys.path()));
    EXPECT_NO_THROW(isRemovableMedia(m_file));  // the real sysfs answers whatever it answers
}
