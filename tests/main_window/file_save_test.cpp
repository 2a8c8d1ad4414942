// The save command: the file type chosen, the extension completed in any
// letter case, the operation code by window and mode, the proposed names, the
// remembered folder, and the unsaved flag that only a written file clears.
#include <gtest/gtest.h>

#include <QAction>
#include <QMdiSubWindow>

#include "main_window/config_files.h"
#include "main_window/fake_windows.h"
#include "main_window/file_save.h"
#include "model/cls_logger_setting.h"

namespace mq::test {
namespace {

using platform::MsgResult;
using platform::ScopedMessageBoxHook;

TEST(SaveDispatchTest, OperationCodeFollowsWindowModeAndFileType) {
    EXPECT_EQ(save_operation_code(true, 1, false), 440);
    EXPECT_EQ(save_operation_code(true, 1, true), 420);
    EXPECT_EQ(save_operation_code(true, 2, false), 450);
    EXPECT_EQ(save_operation_code(true, 2, true), 430);
    EXPECT_EQ(save_operation_code(false, 1, false), 540);
    EXPECT_EQ(save_operation_code(false, 1, true), 520);
    EXPECT_EQ(save_operation_code(false, 3, false), 540);  // MEMORY data is LOG data
    EXPECT_EQ(save_operation_code(false, 3, true), 520);
    EXPECT_EQ(save_operation_code(false, 2, false), 550);
    EXPECT_EQ(save_operation_code(false, 2, true), 530);
}

TEST(SaveDispatchTest, ExtensionIsCompletedByModeAndFilterInAnyLetterCase) {
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a"), 1, 2), QStringLiteral("/d/a.csv"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a.CSV"), 1, 2), QStringLiteral("/d/a.CSV"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a.Csv"), 2, 2), QStringLiteral("/d/a.Csv"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a.csv"), 1, 1), QStringLiteral("/d/a.csv.ml2"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a.csv"), 2, 1), QStringLiteral("/d/a.csv.mt1"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a.Ml2"), 3, 1), QStringLiteral("/d/a.Ml2"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a.ML2"), 1, 1), QStringLiteral("/d/a.ML2"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a"), 2, 1), QStringLiteral("/d/a.mt1"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a"), 0, 1), QStringLiteral("/d/a"));
}

TEST(SaveDispatchTest, TagNameComesFromTheFirstRecordsTime) {
    EXPECT_EQ(tag_proposed_name(QStringLiteral("2024/01/02 03:04:05")), QStringLiteral("TAG_01020304"));
    EXPECT_EQ(tag_proposed_name(QStringLiteral("  24/11/30 23:59:00")), QStringLiteral("TAG_11302359"));
    EXPECT_EQ(tag_proposed_name(QString()), QStringLiteral("TAG_"));
}

class FileSaveTest : public HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        folder = dataHome() + QStringLiteral("/save");
        QDir().mkpath(folder);
        hooks.dialog = [this](QWidget*, const FileDialogRequest& r) {
            requests.push_back(r);
            return answer;
        };
        hooks.run = [this](qint16 code) {
            codes.push_back(code);
            paths.push_back(home_state().save_file_path);
            return writerSucceeds;
        };
        install_file_save_target(home_state().targets, hooks);
        home_state().lafp_save_dir = QStringLiteral("/last");
    }

    // A LOG logger window of area 1 with unsaved data.
    void loggerWindow(quint8 mode = 1) {
        model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L01"))->clsLOGGER_SETTING().let_log_name(
            QStringLiteral("AREA1"));
        home->winTable().win_logger_open_log(QStringLiteral("01"));
        setMode(mode);
        model().act_logger_data = model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L01"));
        home_state().win_unsaved_flags[0] = 1;
    }

    void choose(const QString& name, int filter) { answer = FileDialogAnswer{true, folder + QLatin1Char('/') + name, filter}; }

    QString folder;
    FileSaveHooks hooks;
    FileDialogAnswer answer;
    std::vector<FileDialogRequest> requests;
    std::vector<qint16> codes;
    std::vector<QString> paths;
    bool writerSucceeds = true;
};

TEST_F(FileSaveTest, NothingHappensWithoutADataWindow) {
    home->save_Click();
    EXPECT_TRUE(requests.empty());
    EXPECT_TRUE(codes.empty());
}

TEST_F(FileSaveTest, LoggerLogWindowSavedAsCsvGetsTheExtensionAndOperation420) {
    loggerWindow();
    choose(QStringLiteral("area"), 2);
    home->save_Click();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].filters, (QStringList{"Binary files (*.ML2)", "CSV files (*.csv)"}));
    EXPECT_EQ(requests[0].filterIndex, 1);
    EXPECT_EQ(requests[0].proposedName, QStringLiteral("LOG_AREA1   "));
    EXPECT_EQ(requests[0].startDir, QStringLiteral("/last"));
    EXPECT_EQ(codes, (std::vector<qint16>{420}));
    EXPECT_EQ(paths, (std::vector<QString>{folder + QStringLiteral("/area.csv")}));
    EXPECT_EQ(home_state().win_unsaved_flags[0], 2);
    EXPECT_EQ(home_state().lafp_save_dir, folder);
    const auto lafp = read_lafp(model().user_dir);
    ASSERT_TRUE(lafp);
    EXPECT_EQ(lafp->save_dir, folder);
    EXPECT_TRUE(home_state().app_idle_flag);
}

TEST_F(FileSaveTest, TheChosenTypeDecidesNotTheTypedName) {
    loggerWindow();
    choose(QStringLiteral("typed.csv"), 1);  // the data file type with a ".csv" name
    home->save_Click();
    choose(QStringLiteral("upper.CSV"), 2);
    home->save_Click();
    EXPECT_EQ(codes, (std::vector<qint16>{440, 420}));
    EXPECT_EQ(paths, (std::vector<QString>{folder + QStringLiteral("/typed.csv.ml2"), folder + QStringLiteral("/upper.CSV")}));
}

TEST_F(FileSaveTest, AFailedWriteKeepsTheDataUnsavedAndTheClosingWindowOpen) {
    loggerWindow();
    writerSucceeds = false;
    choose(QStringLiteral("x"), 1);
    home_state().close_cancel_flag = false;
    home->save_Click();
    EXPECT_EQ(codes.size(), 1u);
    EXPECT_EQ(home_state().win_unsaved_flags[0], 1);
    EXPECT_TRUE(home_state().close_cancel_flag);
    EXPECT_TRUE(home_state().app_idle_flag);

    // Closing with "Yes": the failed save keeps the window.
    QPointer<FakeDataWindow> w = window(QStringLiteral("L01"));
    ASSERT_TRUE(w);
    ScopedMessageBoxHook yes(MsgResult::Yes);
    home->fileclose_Click();
    EXPECT_TRUE(w);
    EXPECT_FALSE(w->closed);
    EXPECT_EQ(key(0), QStringLiteral("L01"));

    // Once the writer succeeds the window closes (the data window clears the
    // flag before it asks, as the LOG and TAG windows do).
    writerSucceeds = true;
    home_state().close_cancel_flag = false;
    home->fileclose_Click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(!w || w->closed);
    EXPECT_TRUE(key(0).isEmpty());
}

TEST_F(FileSaveTest, CancellingTheDialogWritesNothingAndKeepsAClosingWindow) {
    loggerWindow();
    answer = FileDialogAnswer{};
    home_state().close_cancel_flag = false;
    home->save_Click();
    EXPECT_TRUE(codes.empty());
    EXPECT_TRUE(home_state().close_cancel_flag);
    EXPECT_EQ(home_state().win_unsaved_flags[0], 1);
    EXPECT_EQ(home_state().lafp_save_dir, QStringLiteral("/last"));

    QPointer<FakeDataWindow> w = window(QStringLiteral("L01"));
    ScopedMessageBoxHook yes(MsgResult::Yes);
    home->fileclose_Click();
    EXPECT_TRUE(w && !w->closed);
}

TEST_F(FileSaveTest, MemoryFileWindowSavesWith540Or520AndKeepsTheLastFilter) {
    link().link_mode_str = QStringLiteral("3");
    home->winTable().win_file_open_log(QStringLiteral("/m/a.ml2"), QStringLiteral("ml2"));
    model().act_file_data = model().file_main->colFILE_DATA().Item(QStringLiteral("F00"));
    model().act_file_data->clsLOGGER_STATUS().let_mode_type(3);
    model().act_file_data->clsLOGGER_SETTING().let_log_name(QStringLiteral("MEMLOG"));
    model().act_data_kind = 1;
    choose(QStringLiteral("m1"), 2);
    home->save_Click();
    choose(QStringLiteral("m2"), 1);
    home->save_Click();
    EXPECT_EQ(codes, (std::vector<qint16>{520, 540}));
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].proposedName, QStringLiteral("LOG_MEMLOG  "));
    EXPECT_EQ(requests[1].filterIndex, 2);  // the filter of the last save
    // A file window has no unsaved data to mark.
    EXPECT_EQ(home_state().win_unsaved_flags[0], 0);
}

TEST_F(FileSaveTest, TagWindowProposesTheTimeOfItsFirstRecord) {
    home->winTable().win_logger_open_tag(QStringLiteral("02"));
    setMode(2);
    FakeDataWindow* w = window(QStringLiteral("L02"));
    ASSERT_NE(w, nullptr);
    w->vsFlexGrid1()->setTextMatrix(1, 1, QStringLiteral("  24/07/08 09:10:11"));
    choose(QStringLiteral("t"), 1);
    home->save_Click();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].proposedName, QStringLiteral("TAG_07080910"));
    EXPECT_EQ(requests[0].filters, (QStringList{"Binary files (*.MT1)", "CSV files (*.csv)"}));
    EXPECT_EQ(codes, (std::vector<qint16>{450}));
    EXPECT_EQ(paths, (std::vector<QString>{folder + QStringLiteral("/t.mt1")}));
}

}  // namespace
}  // namespace mq::test
