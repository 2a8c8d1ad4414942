#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include "common/test_env.h"
#include "main_window/command_files.h"
#include "main_window/config_files.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "main_window/startup.h"
#include "model/model_state.h"
#include "platform/message_box.h"

namespace mq::test {
namespace {

using platform::ScopedMessageBoxHook;

// ---------------------------------------------------------------- command line

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(tmp.isValid());
    }
    QString file(const QString& name, const QByteArray& bytes) {
        const QString p = tmp.path() + QLatin1Char('/') + name;
        writeAll(p, bytes);
        return p;
    }
    QTemporaryDir tmp;
};

TEST_F(CommandLineTest, QuotedUpperCaseDataFileIsAccepted) {
    const QString p = file(QStringLiteral("My Log.ML2"), "x");
    QString path;
    EXPECT_EQ(take_command_line_file(QLatin1Char('"') + p + QLatin1Char('"'), &path), CommandLineFile::Accepted);
    EXPECT_EQ(path, p);
    EXPECT_EQ(take_command_line_file(file(QStringLiteral("a.mt1"), "x"), &path), CommandLineFile::Accepted);
    EXPECT_EQ(take_command_line_file(file(QStringLiteral("b.Ml1"), "x"), &path), CommandLineFile::Accepted);
}

TEST_F(CommandLineTest, OtherTypesEmptyAndMissingFilesAreRefused) {
    QString path = QStringLiteral("stale");
    EXPECT_EQ(take_command_line_file(file(QStringLiteral("a.csv"), "x"), &path), CommandLineFile::Refused);
    EXPECT_TRUE(path.isEmpty());
    EXPECT_EQ(take_command_line_file(file(QStringLiteral("empty.mt1"), ""), &path), CommandLineFile::Refused);
    EXPECT_EQ(take_command_line_file(tmp.path() + QStringLiteral("/none.ml2"), &path), CommandLineFile::Refused);
    EXPECT_EQ(take_command_line_file(tmp.path(), &path), CommandLineFile::Refused);
    EXPECT_EQ(take_command_line_file(QString(), &path), CommandLineFile::None);
}

// ---------------------------------------------------------------- start-up

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(tmp.isValid());
        oldData = qgetenv("XDG_DATA_HOME");
        oldConfig = qgetenv("MARROWQUILL_CONFIG_DIR");
        qputenv("XDG_DATA_HOME", (tmp.path() + QStringLiteral("/data")).toLocal8Bit());
        programConfig = tmp.path() + QStringLiteral("/program/config");
        ASSERT_TRUE(copy_folder(configDir(), programConfig));
        qputenv("MARROWQUILL_CONFIG_DIR", programConfig.toLocal8Bit());
        userDir = tmp.path() + QStringLiteral("/data/KORVA/Marrowquill4");
        docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        home = std::make_unique<HOME>();
        home->Timer3()->stop();
    }
    void TearDown() override {
        home.reset();
        qputenv("XDG_DATA_HOME", oldData);
        if (oldConfig.isEmpty()) qunsetenv("MARROWQUILL_CONFIG_DIR");
        else qputenv("MARROWQUILL_CONFIG_DIR", oldConfig);
    }
    QString cfg(const char* name) const { return userDir + QStringLiteral("/config/") + QString::fromLatin1(name); }

    ModelSlot modelSlot;
    LinkSlot linkSlot;
    HomeSlot homeSlot;
    QTemporaryDir tmp;
    QByteArray oldData, oldConfig;
    QString programConfig, userDir, docs;
    std::unique_ptr<HOME> home;
};

TEST_F(StartupTest, FirstUseCreatesTheFoldersAndCopiesTheConfiguration) {
    ScopedMessageBoxHook box;
    ASSERT_TRUE(startup_load(*home, QString()));
    EXPECT_TRUE(box.records().empty());
    EXPECT_EQ(model().user_dir, userDir);
    EXPECT_TRUE(QDir(tmp.path() + QStringLiteral("/data/KORVA")).exists());
    EXPECT_EQ(home_state().config_copied_flag, 1);
    // Every file the program ships is in the per-user copy.
    for (const QString& name : QDir(programConfig).entryList(QDir::Files)) {
        EXPECT_TRUE(QFile::exists(userDir + QStringLiteral("/config/") + name)) << name.toStdString();
    }
    EXPECT_EQ(readAll(cfg("GRAPH_OPTION.CFG")), QByteArray("#FALSE#\r\n"));
    EXPECT_EQ(readAll(cfg("COMM_SET.CFG")), QByteArray(" 1 \r\n 9600 \r\n"));
    EXPECT_EQ(readAll(cfg("LAFP.CFG")), cfg_write_line(docs) + cfg_write_line(docs) + cfg_write_line(docs));
    EXPECT_EQ(home_state().lafp_open_dir, docs);
    EXPECT_EQ(home_state().open_dialog_dir, docs);
    EXPECT_EQ(link().comm_port_no, 1);
    EXPECT_EQ(link().comm_baud_rate, 9600);
    EXPECT_FALSE(home->autoDrawChecked());
    EXPECT_TRUE(model().dao_workspace);
    EXPECT_FALSE(home_state().pending_file_flag);
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_EQ(link().link_mode, OpMode::None);
    // The command tables come from the program's own folder.
    LinkState expected;
    cmd_table_load(expected, programConfig);
    EXPECT_EQ(link().cmd_s_req[0], expected.cmd_s_req[0]);
    EXPECT_FALSE(link().cmd_s_req[0].isEmpty());
}

// Without the program's configuration folder no command can be sent: one
// message at start names the folder, and the logger commands refuse with it.
TEST_F(StartupTest, AMissingConfigurationFolderIsSaidAtStartAndRefusesLoggerCommands) {
    ASSERT_TRUE(QDir(programConfig).removeRecursively());
    int dialogs = 0;
    home_state().targets.comm_dialog = [&](const QString&) { ++dialogs; };
    ScopedMessageBoxHook box;
    ASSERT_TRUE(startup_load(*home, QString()));
    ASSERT_EQ(box.texts().size(), 1u);
    const QString message = box.texts()[0];
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(programConfig))) << message.toStdString();
    EXPECT_EQ(home_state().command_files_error, message);

    box.clear();
    home->loggerconnect_Click();
    home->a_comm_set_Click();
    home->loggerread_Click();
    EXPECT_EQ(box.texts(), (std::vector<QString>{message, message, message}));
    EXPECT_EQ(dialogs, 0);
    EXPECT_FALSE(link().link_connected_flag);
}

TEST_F(StartupTest, LaterStartsReadTheStoredSettings) {
    QDir().mkpath(userDir + QStringLiteral("/config"));
    writeAll(cfg("COMM_SET.CFG"), " 3 \r\n 19200 \r\n");
    writeAll(cfg("GRAPH_OPTION.CFG"), "#TRUE#\r\n");
    writeAll(cfg("LAFP.CFG"), "\"/open\"\r\n\"/save\"\r\n\"/third\"\r\n");
    ASSERT_TRUE(startup_load(*home, QString()));
    EXPECT_EQ(home_state().config_copied_flag, 0);
    EXPECT_FALSE(QFile::exists(cfg("S_CMD.REQ")));  // nothing copied over an existing folder
    EXPECT_EQ(link().comm_port_no, 3);
    EXPECT_EQ(link().comm_baud_rate, 19200);
    EXPECT_TRUE(home->autoDrawChecked());
    EXPECT_EQ(home_state().lafp_open_dir, QStringLiteral("/open"));
    EXPECT_EQ(home_state().lafp_save_dir, QStringLiteral("/save"));
    EXPECT_EQ(home_state().lafp_dir3, QStringLiteral("/third"));
    EXPECT_EQ(home_state().open_dialog_dir, QStringLiteral("/open"));
}

TEST_F(StartupTest, UnreadableGraphOptionIsRewrittenWithoutCopyingAgain) {
    QDir().mkpath(userDir + QStringLiteral("/config"));
    writeAll(cfg("GRAPH_OPTION.CFG"), "garbage\r\n");
    writeAll(cfg("LAFP.CFG"), "\"/a\"\r\n\"/b\"\r\n");  // two lines: unreadable
    ASSERT_TRUE(startup_load(*home, QString()));
    EXPECT_EQ(home_state().config_copied_flag, 0);
    EXPECT_EQ(readAll(cfg("GRAPH_OPTION.CFG")), QByteArray("#FALSE#\r\n"));
    EXPECT_EQ(readAll(cfg("LAFP.CFG")), cfg_write_line(docs) + cfg_write_line(docs) + cfg_write_line(docs));
}

TEST_F(StartupTest, RefusedCommandLineEndsBeforeTheFoldersArePrepared) {
    writeAll(tmp.path() + QStringLiteral("/x.csv"), "a");
    EXPECT_FALSE(startup_load(*home, tmp.path() + QStringLiteral("/x.csv")));
    EXPECT_FALSE(QDir(userDir).exists());
    EXPECT_TRUE(home_state().pending_file_path.isEmpty());
    EXPECT_FALSE(startup_load(*home, tmp.path() + QStringLiteral("/missing.ml2")));
}

TEST_F(StartupTest, CommandLineFileIsOpenedOnceTheWindowIsIdle) {
    const QString p = tmp.path() + QStringLiteral("/Area 1.ML2");
    writeAll(p, "data");
    std::vector<QString> opened;
    home_state().targets.commands[HomeCommand::FileOpen] = [&] { opened.push_back(home_state().pending_file_path); };
    ASSERT_TRUE(startup_load(*home, QLatin1Char('"') + p + QLatin1Char('"')));
    EXPECT_TRUE(home_state().pending_file_flag);
    EXPECT_EQ(home_state().pending_file_path, p);
    home->Timer3()->start();
    ASSERT_TRUE(waitUntil([&] { return !opened.empty(); }, 1000));
    EXPECT_EQ(opened, std::vector<QString>{p});
    EXPECT_FALSE(home_state().pending_file_flag);
}

// ---------------------------------------------------------------- one running copy

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        base = QStringLiteral("mq-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    }
    HomeSlot homeSlot;
    QString base;
    static inline int counter = 0;
};

TEST_F(SingleInstanceTest, SecondStartHandsItsCommandLineToTheFirst) {
    SingleInstance first(base);
    ASSERT_TRUE(first.tryBecomeFirst());
    QSignalSpy spy(&first, &SingleInstance::fileHandedOver);

    SingleInstance second(base);
    EXPECT_FALSE(second.tryBecomeFirst());
    ScopedMessageBoxHook box;
    const QString line = QStringLiteral("\"/data/ログ 1.ml2\"");
    EXPECT_EQ(second_start(second, line), 0);
    ASSERT_TRUE(waitUntil([&] { return spy.count() > 0; }, 3000));
    EXPECT_EQ(spy.at(0).at(0).toString(), line);
    EXPECT_EQ(home_state().start_state, 2);
    EXPECT_TRUE(box.records().empty());
}

TEST_F(SingleInstanceTest, SecondStartWithoutAFileSaysSoAndChangesNothing) {
    SingleInstance first(base);
    ASSERT_TRUE(first.tryBecomeFirst());
    QSignalSpy spy(&first, &SingleInstance::fileHandedOver);
    SingleInstance second(base);
    ASSERT_FALSE(second.tryBecomeFirst());
    ScopedMessageBoxHook box;
    EXPECT_EQ(second_start(second, QString()), 0);
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, QStringLiteral("すでに起動しています"));
    EXPECT_EQ(box.records()[0].buttons, platform::MsgButtons::OK);
    EXPECT_EQ(box.records()[0].icon, platform::MsgIcon::None);
    EXPECT_EQ(home_state().start_state, 1);
    // A later start with a file is the first thing the running copy hears.
    SingleInstance third(base);
    ASSERT_FALSE(third.tryBecomeFirst());
    const QString line = QStringLiteral("\"/data/b.ml2\"");
    EXPECT_EQ(second_start(third, line), 0);
    ASSERT_TRUE(waitUntil([&] { return spy.count() > 0; }, 30000));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), line);
}

TEST_F(SingleInstanceTest, TheLockIsFreeAgainWhenTheFirstCopyEnds) {
    {
        SingleInstance first(base);
        ASSERT_TRUE(first.tryBecomeFirst());
    }
    SingleInstance again(base);
    EXPECT_TRUE(again.tryBecomeFirst());
}

TEST_F(SingleInstanceTest, HandedOverFileReachesTheMainWindow) {
    ModelSlot modelSlot;
    LinkSlot linkSlot;
    HOME window;
    window.Timer3()->stop();
    SingleInstance first(base);
    ASSERT_TRUE(first.tryBecomeFirst());
    QObject::connect(&first, &SingleInstance::fileHandedOver, &window, &HOME::MDIForm_LinkExecute);
    SingleInstance second(base);
    ASSERT_FALSE(second.tryBecomeFirst());
    ASSERT_TRUE(second.handOver(QStringLiteral("\"/x/A.MT1\"")));
    ASSERT_TRUE(waitUntil([] { return home_state().pending_file_flag; }, 3000));
    EXPECT_EQ(home_state().pending_file_path, QStringLiteral("/x/A.MT1"));
}

TEST_F(SingleInstanceTest, ARelativePathIsHandedOverAsAnAbsoluteOne) {
    SingleInstance first(base);
    ASSERT_TRUE(first.tryBecomeFirst());
    QSignalSpy spy(&first, &SingleInstance::fileHandedOver);
    SingleInstance second(base);
    ASSERT_FALSE(second.tryBecomeFirst());
    const QString here = QDir::currentPath();
    second_start(second, QStringLiteral("sub/../Log 1.ML2"));
    second_start(second, QStringLiteral("\"b.mt1\""));
    second_start(second, QStringLiteral("\"/abs/c.ml1\""));
    ASSERT_TRUE(waitUntil([&] { return spy.count() >= 3; }, 3000));
    QStringList got;
    for (const auto& args : spy) got << args.at(0).toString();
    got.sort();
    QStringList expected{QStringLiteral("\"/abs/c.ml1\""), QLatin1Char('"') + here + QStringLiteral("/b.mt1\""),
                         here + QStringLiteral("/Log 1.ML2")};
    expected.sort();
    EXPECT_EQ(got, expected);
}

TEST_F(SingleInstanceTest, ALockThatCannotBeMadeDoesNotStopTheProgram) {
    // The lock's folder does not exist: no other copy can hold it.
    SingleInstance lonely(base + QStringLiteral("-missing-folder/lock"));
    EXPECT_TRUE(lonely.tryBecomeFirst());
}

TEST_F(SingleInstanceTest, HandOverWithNoRunningCopyFails) {
    SingleInstance lonely(base);
    EXPECT_FALSE(lonely.handOver(QStringLiteral("a.ml2"), 200));
}

}  // namespace
}  // namespace mq::test
