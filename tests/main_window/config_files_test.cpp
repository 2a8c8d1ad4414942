#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/test_env.h"
#include "main_window/config_files.h"
#include "main_window/home_state.h"
#include "model/model_state.h"
#include "platform/message_box.h"

namespace mq::test {
namespace {

using platform::ScopedMessageBoxHook;

class ConfigFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(tmp.isValid());
        userDir = tmp.path() + QStringLiteral("/KORVA/Marrowquill4");
        QDir().mkpath(userDir + QStringLiteral("/config"));
        model().user_dir = userDir;
    }

    ModelSlot modelSlot;
    HomeSlot homeSlot;
    QTemporaryDir tmp;
    QString userDir;
};

// ---------------------------------------------------------------- line forms

TEST_F(ConfigFilesTest, LineFormsAreTheProgramsOwn) {
    EXPECT_EQ(cfg_print_line(1), QByteArray(" 1 \r\n"));
    EXPECT_EQ(cfg_print_line(128000), QByteArray(" 128000 \r\n"));
    EXPECT_EQ(cfg_print_line(-5), QByteArray("-5 \r\n"));
    EXPECT_EQ(cfg_write_line(true), QByteArray("#TRUE#\r\n"));
    EXPECT_EQ(cfg_write_line(false), QByteArray("#FALSE#\r\n"));
    EXPECT_EQ(cfg_write_line(QStringLiteral("/home/a,b")), QByteArray("\"/home/a,b\"\r\n"));
    // Texts are CP932 in the file.
    EXPECT_EQ(cfg_write_line(QStringLiteral("データ")), QByteArray("\"\x83\x66\x81\x5B\x83\x5E\"\r\n"));
}

TEST_F(ConfigFilesTest, FieldReadersSkipBlanksAndQuotes) {
    EXPECT_EQ(cfg_read_number(" 19200 "), 19200);
    EXPECT_EQ(cfg_read_number("-3"), -3);
    EXPECT_EQ(cfg_read_number(""), 0);
    EXPECT_FALSE(cfg_read_number("12a").has_value());
    EXPECT_FALSE(cfg_read_number("-").has_value());
    EXPECT_EQ(cfg_read_bool("#TRUE#"), true);
    EXPECT_EQ(cfg_read_bool(" #false# "), false);
    EXPECT_FALSE(cfg_read_bool("TRUE").has_value());
    EXPECT_EQ(cfg_read_text("\"a,b\""), QStringLiteral("a,b"));
    EXPECT_EQ(cfg_read_text("\"\""), QString());
    EXPECT_EQ(cfg_read_text("plain"), QStringLiteral("plain"));
    EXPECT_FALSE(cfg_read_text("\"open").has_value());
}

// ---------------------------------------------------------------- COMM_SET.CFG

TEST_F(ConfigFilesTest, ZeroValuesMeanTheDefaultsAndLeaveTheFileAlone) {
    const QByteArray bytes("0\r\n0\r\n");
    writeAll(comm_set_path(userDir), bytes);
    const CommSetValues v = load_comm_set(userDir);
    EXPECT_EQ(v.port, 1);
    EXPECT_EQ(v.baud, 9600);
    EXPECT_EQ(readAll(comm_set_path(userDir)), bytes);
}

TEST_F(ConfigFilesTest, StoredPortAndSpeedAreTaken) {
    writeAll(comm_set_path(userDir), " 3 \r\n 128000 \r\n");
    const CommSetValues v = load_comm_set(userDir);
    EXPECT_EQ(v.port, 3);
    EXPECT_EQ(v.baud, 128000);
}

TEST_F(ConfigFilesTest, BrokenCommFilesAreRewrittenWithTheDefaults) {
    for (const QByteArray& broken : {QByteArray(" 5 \r\n"), QByteArray(" 5 \r\n fast \r\n"), QByteArray(" 99999 \r\n 9600 \r\n"),
                                     QByteArray()}) {
        writeAll(comm_set_path(userDir), broken);
        const CommSetValues v = load_comm_set(userDir);
        EXPECT_EQ(v.port, 1) << broken.constData();
        EXPECT_EQ(v.baud, 9600) << broken.constData();
        EXPECT_EQ(readAll(comm_set_path(userDir)), QByteArray(" 1 \r\n 9600 \r\n"));
    }
    QFile::remove(comm_set_path(userDir));
    load_comm_set(userDir);
    EXPECT_EQ(readAll(comm_set_path(userDir)), QByteArray(" 1 \r\n 9600 \r\n"));
}

TEST_F(ConfigFilesTest, HugeFilesReadAsBrokenOnes) {
    for (const QString& path : {comm_set_path(userDir), graph_option_path(userDir), lafp_path(userDir)})
        writeSparse(path, qint64(1) << 40);
    EXPECT_FALSE(read_comm_set(userDir));
    EXPECT_FALSE(read_graph_option(userDir));
    EXPECT_FALSE(read_lafp(userDir));
}

TEST_F(ConfigFilesTest, CommFileIsWrittenPortFirst) {
    ASSERT_TRUE(write_comm_set(userDir, 2, 19200));
    EXPECT_EQ(readAll(comm_set_path(userDir)), QByteArray(" 2 \r\n 19200 \r\n"));
    const auto v = read_comm_set(userDir);
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->port, 2);
    EXPECT_EQ(v->baud, 19200);
}

TEST_F(ConfigFilesTest, MissingFolderOnFirstStartIsQuiet) {
    const QString fresh = tmp.path() + QStringLiteral("/nobody/KORVA/Marrowquill4");
    ScopedMessageBoxHook box;
    const CommSetValues v = load_comm_set(fresh);
    EXPECT_EQ(v.port, 1);
    EXPECT_EQ(v.baud, 9600);
    EXPECT_TRUE(box.records().empty());
}

// ---------------------------------------------------------------- GRAPH_OPTION.CFG and LAFP.CFG

TEST_F(ConfigFilesTest, GraphOptionRoundTrip) {
    EXPECT_FALSE(read_graph_option(userDir).has_value());
    ASSERT_TRUE(write_graph_option(userDir, true));
    EXPECT_EQ(readAll(graph_option_path(userDir)), QByteArray("#TRUE#\r\n"));
    EXPECT_EQ(read_graph_option(userDir), true);
    ASSERT_TRUE(write_graph_option(userDir, false));
    EXPECT_EQ(readAll(graph_option_path(userDir)), QByteArray("#FALSE#\r\n"));
    EXPECT_EQ(read_graph_option(userDir), false);
    writeAll(graph_option_path(userDir), "yes\r\n");
    EXPECT_FALSE(read_graph_option(userDir).has_value());
}

TEST_F(ConfigFilesTest, FoldersWithCommasAndJapaneseSurviveAWriteAndARead) {
    const LafpFolders f{QStringLiteral("/home/u/a,b"), QStringLiteral("/home/u/データ"), QStringLiteral("/x y")};
    ASSERT_TRUE(write_lafp(userDir, f));
    EXPECT_EQ(readAll(lafp_path(userDir)),
              QByteArray("\"/home/u/a,b\"\r\n\"/home/u/\x83\x66\x81\x5B\x83\x5E\"\r\n\"/x y\"\r\n"));
    const auto back = read_lafp(userDir);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->open_dir, f.open_dir);
    EXPECT_EQ(back->save_dir, f.save_dir);
    EXPECT_EQ(back->dir3, f.dir3);
}

TEST_F(ConfigFilesTest, LafpWithTwoLinesIsUnreadable) {
    writeAll(lafp_path(userDir), "\"/a\"\r\n\"/b\"\r\n");
    EXPECT_FALSE(read_lafp(userDir).has_value());
}

TEST_F(ConfigFilesTest, LafpSaveWritesTheFoldersInMemory) {
    home_state().lafp_open_dir = QStringLiteral("/o");
    home_state().lafp_save_dir = QStringLiteral("/s");
    home_state().lafp_dir3 = QStringLiteral("/3");
    LAFP_save();
    EXPECT_EQ(readAll(lafp_path(userDir)), QByteArray("\"/o\"\r\n\"/s\"\r\n\"/3\"\r\n"));
}

// A folder name with characters outside CP932 would come back as another
// name: the file keeps the folder stored before, the others are stored.
TEST_F(ConfigFilesTest, LafpStoresOnlyFoldersThatSurviveTheRoundTrip) {
    HomeState& hs = home_state();
    hs.docs_dir = QStringLiteral("/docs");
    struct Case {
        const char* what;
        QString open, save;
        QString expectOpen, expectSave;
    };
    const QString omega = QStringLiteral("/data/Ωmega\u2603");
    const QString japanese = QStringLiteral("/data/測定");
    const Case cases[] = {
        {"both storable", QStringLiteral("/data/a"), japanese, QStringLiteral("/data/a"), japanese},
        {"open lossy", omega, QStringLiteral("/data/b"), QStringLiteral("/data/a"), QStringLiteral("/data/b")},
        {"save lossy", QStringLiteral("/data/c"), QStringLiteral("/x/\u00e9t\u00e9"), QStringLiteral("/data/c"),
         QStringLiteral("/data/b")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        hs.lafp_open_dir = c.open;
        hs.lafp_save_dir = c.save;
        hs.lafp_dir3 = QStringLiteral("/third");
        LAFP_save();
        const auto back = read_lafp(userDir);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->open_dir, c.expectOpen);
        EXPECT_EQ(back->save_dir, c.expectSave);
        EXPECT_EQ(back->dir3, QStringLiteral("/third"));
        // This run keeps using the folder the user chose.
        EXPECT_EQ(hs.lafp_open_dir, c.open);
    }
}

TEST_F(ConfigFilesTest, AnUnwritableFileIsReportedOnceAndTheValuesStay) {
    // A folder where the file should be makes every write fail.
    QDir().mkpath(lafp_path(userDir));
    QDir().mkpath(graph_option_path(userDir));
    home_state().lafp_open_dir = QStringLiteral("/kept");
    ScopedMessageBoxHook box;
    LAFP_save();
    LAFP_save();
    EXPECT_FALSE(write_graph_option(userDir, true));
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_TRUE(box.records()[0].text.startsWith(QStringLiteral("設定ファイルを書き込めませんでした。")));
    EXPECT_EQ(box.records()[0].icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(home_state().lafp_open_dir, QStringLiteral("/kept"));
}

// ---------------------------------------------------------------- the files the program ships

TEST_F(ConfigFilesTest, ShippedDefaultsAreByteExact) {
    const QString cfg = configDir();
    EXPECT_EQ(readAll(cfg + QStringLiteral("/COMM_SET.CFG")), QByteArray(" 1 \r\n 9600 \r\n"));
    EXPECT_EQ(readAll(cfg + QStringLiteral("/GRAPH_OPTION.CFG")), QByteArray("#FALSE#\r\n"));
    EXPECT_EQ(readAll(cfg + QStringLiteral("/LAFP.CFG")), QByteArray("\"\"\r\n\"\"\r\n\"\"\r\n"));
}

}  // namespace
}  // namespace mq::test
