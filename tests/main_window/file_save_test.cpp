// The save command: the file type chosen, the extension completed in any
// letter case, the operation code by window and mode, the proposed names, the
// remembered folder, and the unsaved flag that only a written file clears.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTest>

#include "main_window/config_files.h"
#include "main_window/fake_windows.h"
#include "main_window/file_save.h"
#include "model/cls_logger_setting.h"

namespace mq::test {
namespace {

using platform::MsgResult;
using platform::ScopedMessageBoxHook;

TEST(SaveDispatchTest, OperationCodeFollowsWindowModeAndFileType) {
    EXPECT_EQ(save_operation_code(true, OpMode::Log, false), 440);
    EXPECT_EQ(save_operation_code(true, OpMode::Log, true), 420);
    EXPECT_EQ(save_operation_code(true, OpMode::Tag, false), 450);
    EXPECT_EQ(save_operation_code(true, OpMode::Tag, true), 430);
    EXPECT_EQ(save_operation_code(false, OpMode::Log, false), 540);
    EXPECT_EQ(save_operation_code(false, OpMode::Log, true), 520);
    EXPECT_EQ(save_operation_code(false, OpMode::Memory, false), 540);  // MEMORY data is LOG data
    EXPECT_EQ(save_operation_code(false, OpMode::Memory, true), 520);
    EXPECT_EQ(save_operation_code(false, OpMode::Tag, false), 550);
    EXPECT_EQ(save_operation_code(false, OpMode::Tag, true), 530);
}

TEST(SaveDispatchTest, ExtensionIsCompletedByModeAndFilterInAnyLetterCase) {
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a"), OpMode::Log, 2), QStringLiteral("/d/a.csv"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a.CSV"), OpMode::Log, 2), QStringLiteral("/d/a.CSV"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a.Csv"), OpMode::Tag, 2), QStringLiteral("/d/a.Csv"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a.csv"), OpMode::Log, 1), QStringLiteral("/d/a.csv.ml2"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a.csv"), OpMode::Tag, 1), QStringLiteral("/d/a.csv.mt1"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a.Ml2"), OpMode::Memory, 1), QStringLiteral("/d/a.Ml2"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a.ML2"), OpMode::Log, 1), QStringLiteral("/d/a.ML2"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a"), OpMode::Tag, 1), QStringLiteral("/d/a.mt1"));
    EXPECT_EQ(save_completed_name(QStringLiteral("/d/a"), OpMode::None, 1), QStringLiteral("/d/a"));
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
    link().link_mode = OpMode::Memory;
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

// The save dialog itself, as a user drives it: the filter is picked with the
// keyboard in the type list, the name is typed (or the proposal kept) and
// Enter accepts. What arrives at the writer decides whether File Open will
// take the file back.
class RealSaveDialogTest : public FileSaveTest {
protected:
    void SetUp() override {
        FileSaveTest::SetUp();
        hooks.dialog = nullptr;  // the real QFileDialog
        install_file_save_target(home_state().targets, hooks);
        home_state().lafp_save_dir = folder;
    }

    // Answers the next save dialog once it is up: moves the type list to
    // `position` (1 for the first filter), types `name` unless it is null,
    // presses Enter. What the dialog proposed is kept in `proposed`.
    void driveNextDialog(int position, const QString& name, bool typeFirst = false) {
        QTimer::singleShot(0, [this, position, name, typeFirst] { answerWhenShown(position, name, typeFirst); });
    }

    void answerWhenShown(int position, QString name, bool typeFirst) {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible()) {
            QTimer::singleShot(5, [this, position, name, typeFirst] { answerWhenShown(position, name, typeFirst); });
            return;
        }
        auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!types || !edit) {
            ADD_FAILURE() << "the save dialog has no type list or name field";
            d->reject();
            return;
        }
        typesShown.clear();
        for (int i = 0; i < types->count(); ++i) typesShown << types->itemText(i);
        // Offscreen windows are not activated by the window system.
        QApplication::setActiveWindow(d);
        proposed = edit->text();
        startPosition = types->currentIndex() + 1;
        auto typeName = [&] {
            edit->setFocus();
            if (!name.isNull()) {
                edit->clear();
                QTest::keyClicks(edit, name);
            }
        };
        if (typeFirst) typeName();
        types->setFocus();
        while (types->currentIndex() < position - 1) QTest::keyClick(types, Qt::Key_Down);
        while (types->currentIndex() > position - 1) QTest::keyClick(types, Qt::Key_Up);
        if (!typeFirst) typeName();
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        if (d->isVisible()) {
            ADD_FAILURE() << "Enter did not accept the save dialog with " << edit->text().toStdString();
            d->reject();
        }
    }

    QString proposed;
    int startPosition = 0;
    QStringList typesShown;
};

TEST_F(RealSaveDialogTest, TheChosenTypeIsTakenByItsPositionInTheList) {
    struct Case {
        const char* what;
        int filter;          // 1 data file, 2 CSV
        const char* typed;   // nullptr: Enter on the proposed name
        qint16 code;
        const char* written;
    };
    const Case cases[] = {
        {"CSV type, no extension", 2, "area1", 420, "area1.csv"},
        {"CSV type, its extension typed", 2, "area1b.csv", 420, "area1b.csv"},
        {"CSV type, upper-case extension", 2, "upper.CSV", 420, "upper.CSV"},
        {"data type, a .csv name", 1, "typed.csv", 440, "typed.csv.ml2"},
        {"data type, no extension", 1, "plain", 440, "plain.ml2"},
        {"data type, the proposed name", 1, nullptr, 440, "LOG_AREA1   .ml2"},
    };
    loggerWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        codes.clear();
        paths.clear();
        driveNextDialog(c.filter, c.typed ? QString::fromUtf8(c.typed) : QString());
        home->save_Click();
        ASSERT_EQ(codes.size(), 1u);
        EXPECT_EQ(codes[0], c.code);
        EXPECT_EQ(paths[0], folder + QLatin1Char('/') + QString::fromUtf8(c.written)) << paths[0].toStdString();
        EXPECT_EQ(proposed, QStringLiteral("LOG_AREA1   "));
        ASSERT_EQ(typesShown.size(), 2);
        EXPECT_TRUE(typesShown[0].startsWith(QStringLiteral("Binary files"))) << typesShown[0].toStdString();
        EXPECT_TRUE(typesShown[1].startsWith(QStringLiteral("CSV files"))) << typesShown[1].toStdString();
        // What the program writes is what File Open takes back: a data file
        // by its ".ml2" ending, a CSV file never in its place.
        EXPECT_EQ(paths[0].right(3).compare(QStringLiteral("ml2"), Qt::CaseInsensitive) == 0, c.code == 440);
    }
}

TEST_F(RealSaveDialogTest, ANameTypedBeforeTheTypeIsChosenKeepsAReadableExtension) {
    struct Case {
        int filter;
        const char* typed;
        qint16 code;
        const char* written;
    };
    const Case cases[] = {
        {2, "first.ml2", 420, "first.csv"},  // the dialog follows the type chosen
        {2, "third.CSV", 420, "third.csv"},
        {1, "second.csv", 440, "second.csv.ml2"},  // no change of type: only completed
    };
    loggerWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        codes.clear();
        paths.clear();
        driveNextDialog(c.filter, QString::fromUtf8(c.typed), /*typeFirst=*/true);
        home->save_Click();
        ASSERT_EQ(codes.size(), 1u);
        EXPECT_EQ(codes[0], c.code);
        EXPECT_EQ(paths[0], folder + QLatin1Char('/') + QString::fromUtf8(c.written)) << paths[0].toStdString();
    }
}

TEST_F(RealSaveDialogTest, AFileWindowOfMemoryDataOffersTheTypeUsedLastAndSavesByIt) {
    link().link_mode = OpMode::Memory;
    home->winTable().win_file_open_log(QStringLiteral("/m/a.ml2"), QStringLiteral("ml2"));
    model().act_file_data = model().file_main->colFILE_DATA().Item(QStringLiteral("F00"));
    model().act_file_data->clsLOGGER_STATUS().let_mode_type(3);
    model().act_data_kind = 1;
    driveNextDialog(2, QStringLiteral("mem"));
    home->save_Click();
    EXPECT_EQ(startPosition, 1);
    // The next dialog opens on the CSV type used last.
    driveNextDialog(2, QStringLiteral("mem2"));
    home->save_Click();
    EXPECT_EQ(startPosition, 2);
    EXPECT_EQ(codes, (std::vector<qint16>{520, 520}));
    EXPECT_EQ(paths, (std::vector<QString>{folder + QStringLiteral("/mem.csv"), folder + QStringLiteral("/mem2.csv")}));
}

}  // namespace
}  // namespace mq::test
