// The main window's configuration files on a full disk: the old file stays
// whole, no temporary file is left, and the failure is said once.
#include <gtest/gtest.h>

#include <QDir>
#include <functional>

#include "common/full_disk.h"
#include "common/test_env.h"
#include "main_window/config_files.h"
#include "main_window/home_state.h"
#include "model/model_state.h"
#include "platform/message_box.h"

namespace mq::test {
namespace {

struct CfgWriter {
    const char* name;
    QString (*path)(const QString&);
    std::function<bool(const QString&)> write;
};

TEST(ConfigFullDiskTest, EveryWriterKeepsTheOldFileAndReportsOnce) {
    ensureApplication();
    auto disk = FullDisk::make();
    if (!disk) GTEST_SKIP() << FullDisk::whyNot().toStdString();
    ModelSlot modelSlot;
    HomeSlot homeSlot;
    const QString userDir = disk->path();
    QDir().mkpath(user_config_dir(userDir));
    model().user_dir = userDir;

    const QString longDir = QStringLiteral("/home/user/") + QString(3000, u'd');
    const std::vector<CfgWriter> writers = {
        {"COMM_SET.CFG", &comm_set_path, [](const QString& u) { return write_comm_set(u, 3, 128000); }},
        {"GRAPH_OPTION.CFG", &graph_option_path, [](const QString& u) { return write_graph_option(u, true); }},
        {"LAFP.CFG", &lafp_path,
         [longDir](const QString& u) { return write_lafp(u, LafpFolders{longDir, longDir, longDir}); }},
    };
    // The files as a first start leaves them.
    ASSERT_TRUE(write_comm_set(userDir, 1, 9600));
    ASSERT_TRUE(write_graph_option(userDir, false));
    ASSERT_TRUE(write_lafp(userDir, LafpFolders{QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")}));
    std::vector<QByteArray> before;
    for (const CfgWriter& w : writers) before.push_back(readAll(w.path(userDir)));
    const QStringList entries = QDir(user_config_dir(userDir)).entryList(QDir::Files | QDir::Hidden, QDir::Name);

    platform::ScopedMessageBoxHook boxes;
    // A file-size limit lets the small files through; only the tmpfs is full for them.
    disk->fill(disk->isTmpfs() ? 0 : 200);
    std::vector<bool> results;
    for (const CfgWriter& w : writers) results.push_back(w.write(userDir));
    disk->release();

    for (size_t i = 0; i < writers.size(); ++i) {
        SCOPED_TRACE(writers[i].name);
        if (!disk->isTmpfs() && i < 2) continue;  // these fit under the limit
        EXPECT_FALSE(results[i]);
        EXPECT_EQ(readAll(writers[i].path(userDir)), before[i]);
    }
    EXPECT_EQ(QDir(user_config_dir(userDir)).entryList(QDir::Files | QDir::Hidden, QDir::Name), entries);
    ASSERT_EQ(boxes.texts().size(), 1u);
    EXPECT_TRUE(boxes.texts()[0].startsWith(QStringLiteral("設定ファイルを書き込めませんでした。")));
}

}  // namespace
}  // namespace mq::test
