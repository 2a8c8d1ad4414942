// The File Open command: the format tag, the operating mode it leads to, the
// questions before a change of mode, the remembered folders, the window limit
// and files that cannot be read.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QRegularExpression>
#include <QSettings>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "common/file_dialog_driver.h"
#include "common/sim_link.h"
#include "logger_sim/logger_sim.h"
#include "main_window/config_files.h"
#include "main_window/fake_windows.h"
#include "main_window/file_open.h"
#include "main_window/identity_check.h"
#include "main_window/scrambling.h"
#include "model/data_set_handle.h"

namespace mq::test {
namespace {

using platform::MsgButtons;
using platform::MsgDefault;
using platform::MsgIcon;
using platform::MsgResult;
using platform::ScopedMessageBoxHook;

const QString kConnectedQuestion = QStringLiteral(
    "選択したファイルを開くと『メモリ・モード』に状態を遷移します。\r\n"
    "ファイルを開きますか。\r\n"
    "※ただし、これまで開いた『ログモード』データは全て破棄され、\r\n"
    "　ロガーとの通信接続も解除されます。");

class FileOpenTest : public HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        folder = dataHome() + QStringLiteral("/open/") +
                 QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        hooks.dialog = [this](QWidget*, const FileDialogRequest& r) {
            requests.push_back(r);
            return answer;
        };
        hooks.removable = [this](const QString&) { return removable; };
        home_state().lafp_open_dir = home_state().open_dialog_dir = QStringLiteral("/start");
        model().act_data_kind = 0;  // nothing open: mode 0
    }

    // An ".ML2" file whose unscrambled header carries `tag` at offset 208.
    QString ml2(const QString& name, const QByteArray& tag = "LD20", int size = 236) {
        QByteArray header(236, ' ');
        header.replace(208, tag.size(), tag);
        return write(name, data_disk_angou_load_1(header).left(size) + QByteArray(300, '\0'));
    }
    // An ".ML1"/".MT1" file whose first line ends with the scrambled tag.
    QString line1(const QString& name, const QByteArray& tag) {
        return write(name, data_disk_angou_load_1("HEADER " + tag) + "\r\n" + data_disk_angou_load_1("BODY"));
    }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = folder + QLatin1Char('/') + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    void open(const QString& path) {
        answer = FileDialogAnswer{true, path, 1};
        fileopen_Click(*home, hooks);
    }

    QString panel4() const { return home->statusPanelText(4); }
    bool graphMenu() const { return home->menuItem(QStringLiteral("menu_graph"))->isEnabled(); }
    bool openButton() const { return home->toolbarButton(13)->isEnabled(); }

    QString folder;
    FileOpenHooks hooks;
    FileDialogAnswer answer;
    std::vector<FileDialogRequest> requests;
    bool removable = false;
};

TEST_F(FileOpenTest, TagFileWithNothingOpenSetsTagModeAndGreysTheGraphMenu) {
    const QString path = line1(QStringLiteral("a.MT1"), "TD01-010100");
    open(path);
    EXPECT_EQ(fills, (std::vector<QString>{QStringLiteral("mt1:F00")}));
    EXPECT_EQ(panel4(), QStringLiteral("動作：タグ・モード"));
    EXPECT_EQ(link().link_mode, OpMode::Tag);
    EXPECT_FALSE(graphMenu());
    EXPECT_EQ(home_state().open_file_path, path);
    // The folder of the chosen file is remembered, in memory and in LAFP.CFG.
    EXPECT_EQ(home_state().open_dialog_dir, folder);
    EXPECT_EQ(home_state().lafp_open_dir, folder);
    const auto lafp = read_lafp(model().user_dir);
    ASSERT_TRUE(lafp);
    EXPECT_EQ(lafp->open_dir, folder);
    EXPECT_TRUE(openButton());
    EXPECT_TRUE(home_state().app_idle_flag);
    // Nothing open: every data file type is offered, from the remembered folder.
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].filters, (QStringList{"Binary files (*.ML2)", "Binary files (*.ML1)", "Binary files (*.MT1)"}));
    EXPECT_EQ(requests[0].startDir, QStringLiteral("/start"));
    EXPECT_FALSE(requests[0].save);
}

TEST_F(FileOpenTest, WithoutTagWindowsATagFileIsRefusedAndNothingChanges) {
    // The TAG data window is not part of this build: its hooks are empty.
    home_state().targets.create_window[DataWindowKind::Tag] = nullptr;
    home_state().targets.fill[DataFill::FileMt1] = nullptr;
    const QString panelBefore = panel4();
    const bool graphBefore = graphMenu();
    ScopedMessageBoxHook box(MsgResult::OK);
    open(line1(QStringLiteral("a.MT1"), "TD01-010100"));
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, QStringLiteral("タグ・データ・ファイルはこのバージョンでは開けません。"));
    EXPECT_EQ(box.records()[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(fills.empty());
    EXPECT_TRUE(home->mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(panel4(), panelBefore);
    EXPECT_EQ(link().link_mode, OpMode::None);
    EXPECT_EQ(graphMenu(), graphBefore);
    EXPECT_EQ(home_state().open_dialog_dir, QStringLiteral("/start"));
    EXPECT_EQ(model().act_data_kind, 0);
    EXPECT_TRUE(openButton());
    EXPECT_TRUE(home_state().app_idle_flag);
    // LOG files open as before.
    open(ml2(QStringLiteral("b.ML2")));
    EXPECT_EQ(fills, (std::vector<QString>{QStringLiteral("ml2:F00")}));
}

TEST_F(FileOpenTest, TheRealDialogListsDataFilesInAnyLetterCaseAndOpensTheChosenOne) {
    const QString lower = ml2(QStringLiteral("lower.ml2"));
    ml2(QStringLiteral("UPPER.ML2"));
    write(QStringLiteral("other.txt"), "x");
    {
        QFile f(lower);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2026, 12, 9), QTime(16, 36, 27)), QFileDevice::FileModificationTime));
    }
    home_state().open_dialog_dir = folder;
    hooks.dialog = nullptr;  // the real QFileDialog, with no column widths of an earlier one
    QSettings(QSettings::UserScope, QStringLiteral("QtProject")).remove(QStringLiteral("FileDialog/treeViewHeader"));
    QStringList listed;
    QStringList columns;  // size and date of "lower.ml2" as the detail view shows them
    std::function<void()> answer = [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* list = d ? d->findChild<QListView*>(QStringLiteral("listView")) : nullptr;
        auto* edit = d ? d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        // The folder is read in the background: wait until both files show.
        if (!list || !edit || list->model()->rowCount(list->rootIndex()) < 2) {
            QTimer::singleShot(5, answer);
            return;
        }
        auto* tree = d->findChild<QTreeView*>(QStringLiteral("treeView"));
        const int margins = 2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1);
        for (int r = 0; r < list->model()->rowCount(list->rootIndex()); ++r) {
            const QModelIndex name = list->model()->index(r, 0, list->rootIndex());
            listed << name.data().toString();
            for (int c : {1, 2})  // the size and type texts show whole once the files are listed
                EXPECT_GE(tree->header()->sectionSize(c),
                          tree->fontMetrics().horizontalAdvance(name.siblingAtColumn(c).data().toString()) + margins);
            if (name.data().toString() != QLatin1String("lower.ml2")) continue;
            for (int c : {1, 3}) columns << name.siblingAtColumn(c).data().toString();
        }
        QApplication::setActiveWindow(d);
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("lower.ml2"));
        QTest::keyClick(edit, Qt::Key_Return);
        if (d->isVisible()) {
            ADD_FAILURE() << "Enter did not accept the open dialog";
            d->reject();
        }
    };
    QTimer::singleShot(0, answer);
    fileopen_Click(*home, hooks);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("UPPER.ML2"), QStringLiteral("lower.ml2")}));
    // Japanese whatever the system's locale.
    EXPECT_EQ(columns, (QStringList{QStringLiteral("536 バイト"), QStringLiteral("2026/12/09 16:36")}));
    EXPECT_EQ(fills, (std::vector<QString>{QStringLiteral("ml2:F00")}));
    EXPECT_EQ(home_state().open_file_path, lower);
}

TEST_F(FileOpenTest, LogFileWithNothingOpenSetsLogOrMemoryModeByTheMedia) {
    open(ml2(QStringLiteral("fixed.ml2")));
    EXPECT_EQ(fills, (std::vector<QString>{QStringLiteral("ml2:F00")}));
    EXPECT_EQ(panel4(), QStringLiteral("動作：ログモード"));
    EXPECT_EQ(link().link_mode, OpMode::Log);
    EXPECT_TRUE(graphMenu());
    EXPECT_EQ(model().act_data_kind, 1);

    home->allclose_Click();
    model().act_data_kind = 0;
    fills.clear();
    removable = true;
    const QString usb = ml2(QStringLiteral("usb.Ml2"));  // the extension in any letter case
    const QString openDirBefore = home_state().open_dialog_dir;
    open(usb);
    EXPECT_EQ(fills, (std::vector<QString>{QStringLiteral("ml2:F00")}));
    EXPECT_EQ(panel4(), QStringLiteral("動作：メモリ・モード"));
    EXPECT_EQ(link().link_mode, OpMode::Memory);
    EXPECT_EQ(home_state().memory_open_dir, folder);
    EXPECT_EQ(home_state().lafp_open_dir, folder);
    EXPECT_EQ(home_state().open_dialog_dir, openDirBefore);
}

TEST_F(FileOpenTest, OlderLogFileIsRecognisedByItsFirstLine) {
    open(line1(QStringLiteral("old.ml1"), "LD01-010100"));
    EXPECT_EQ(fills, (std::vector<QString>{QStringLiteral("ml1:F00")}));
    EXPECT_EQ(panel4(), QStringLiteral("動作：ログモード"));

    // 'P' 'W' in the first line scramble to CR LF; the file is still the
    // older LOG file its reader takes it for, not "not LOG data".
    fills.clear();
    ScopedMessageBoxHook box;
    open(write(QStringLiteral("pw.ml1"), data_disk_angou_load_1("MQPW    LD01-010100") + "\r\n" +
                                            data_disk_angou_load_1("BODY")));
    EXPECT_TRUE(box.records().empty());
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_TRUE(fills[0].startsWith(QStringLiteral("ml1:")));
}

TEST_F(FileOpenTest, WrongTagsAreRefusedWithTheModesMessage) {
    struct Case {
        quint8 mode;
        QString file;
        QString message;
    };
    const std::vector<Case> cases = {
        {0, ml2(QStringLiteral("x.ml2"), "XX20"), QStringLiteral("選択ファイルの形式はデータ・ファイルではありません。")},
        {1, line1(QStringLiteral("t.mt1"), "TD01-010100"), QStringLiteral("選択ファイルの形式はログデータではありません。")},
        {2, line1(QStringLiteral("u.mt1"), "TD01-010200"), QStringLiteral("選択ファイルの形式はタグ・データではありません。")},
        {3, line1(QStringLiteral("o.ml1"), "LD01-010100"), QStringLiteral("選択ファイルの形式はメモリ・データではありません。")},
        // A header shorter than the tag's place carries no tag.
        {0, ml2(QStringLiteral("s.ml2"), "LD20", 210), QStringLiteral("選択ファイルの形式はデータ・ファイルではありません。")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        if (c.mode == 0) {
            model().act_data_kind = 0;
        } else {
            setMode(c.mode);
        }
        ScopedMessageBoxHook box;
        open(c.file);
        ASSERT_EQ(box.records().size(), 1u);
        EXPECT_EQ(box.records()[0].text, c.message);
        EXPECT_EQ(box.records()[0].icon, MsgIcon::Exclamation);
        EXPECT_TRUE(fills.empty());
        EXPECT_TRUE(openButton());
        EXPECT_TRUE(home_state().app_idle_flag);
    }
}

TEST_F(FileOpenTest, FiltersAndStartFolderFollowTheMode) {
    home_state().memory_open_dir = QStringLiteral("/usb");
    const std::vector<std::pair<quint8, QStringList>> expected = {
        {1, {"Binary files (*.ML2)", "Binary files (*.ML1)"}},
        {2, {"Binary files (*.MT1)"}},
        {3, {"Binary files (*.ML2)"}},
    };
    answer = FileDialogAnswer{};  // cancelled: nothing happens
    for (const auto& [mode, filters] : expected) {
        setMode(mode);
        requests.clear();
        fileopen_Click(*home, hooks);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].filters, filters);
        EXPECT_EQ(requests[0].startDir, mode == 3 ? QStringLiteral("/usb") : QStringLiteral("/start"));
        EXPECT_TRUE(home_state().app_idle_flag);
        EXPECT_TRUE(openButton());
    }
    EXPECT_TRUE(fills.empty());
}

TEST_F(FileOpenTest, AnEmptyStartFolderBecomesTheDataFolderOfTheDocuments) {
    home_state().open_dialog_dir.clear();
    home_state().docs_dir = folder;
    answer = FileDialogAnswer{};
    fileopen_Click(*home, hooks);
    EXPECT_EQ(requests.back().startDir, folder);  // no DATA folder there
    QDir().mkpath(folder + QStringLiteral("/DATA"));
    home_state().open_dialog_dir.clear();
    fileopen_Click(*home, hooks);
    EXPECT_EQ(requests.back().startDir, folder + QStringLiteral("/DATA"));
}

TEST_F(FileOpenTest, RemovableFileInLogModeAsksAndNoLeavesEverythingAsItWas) {
    setMode(1);
    link().link_connected_flag = true;
    link().link_mode = OpMode::Log;
    removable = true;
    ScopedMessageBoxHook box(MsgResult::No);
    open(ml2(QStringLiteral("usb.ml2")));
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, kConnectedQuestion);
    EXPECT_EQ(box.records()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(box.records()[0].icon, MsgIcon::Information);
    EXPECT_EQ(box.records()[0].defaultButton, MsgDefault::Second);
    EXPECT_TRUE(fills.empty());
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_EQ(panel4(), QStringLiteral("動作：ログモード"));
    EXPECT_TRUE(openButton());
}

TEST_F(FileOpenTest, RemovableFileInLogModeYesClosesAllAndDisconnects) {
    home->winTable().win_logger_open_log(QStringLiteral("01"));
    setMode(1);
    link().link_connected_flag = true;
    removable = true;
    ScopedMessageBoxHook box(MsgResult::Yes);
    open(ml2(QStringLiteral("usb.ml2")));
    EXPECT_EQ(key(0).left(3), QStringLiteral("F00"));  // the logger window went, the file window came
    EXPECT_EQ(home->winTable().win_logger_use_ct(), 0);
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("未接続"));
    EXPECT_EQ(panel4(), QStringLiteral("動作：メモリ・モード"));
    EXPECT_EQ(link().link_mode, OpMode::Memory);
    EXPECT_EQ(home_state().memory_open_dir, folder);
}

TEST_F(FileOpenTest, RemovableQuestionWithoutALoggerHasNoConnectionLine) {
    setMode(1);
    removable = true;
    ScopedMessageBoxHook box(MsgResult::No);
    open(ml2(QStringLiteral("usb.ml2")));
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text,
              QStringLiteral("選択したファイルを開くと『メモリ・モード』に状態を遷移します。\r\n"
                             "ファイルを開きますか。\r\n"
                             "※ただし、これまで開いた『ログモード』データは全て破棄されます。"));
}

TEST_F(FileOpenTest, FixedDiskFileInMemoryModeAsksWithYesAsDefault) {
    setMode(3);
    ScopedMessageBoxHook box(MsgResult::Yes);
    open(ml2(QStringLiteral("disk.ml2")));
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text,
              QStringLiteral("選択したファイルはリムーバブルメディアのデータではありません。\r\n"
                             "ファイルを開きますか。通常の『ログモード』に状態を遷移します。\r\n"
                             "※ただし、これまで開いた『外部メモリ』データは全て破棄されます。"));
    EXPECT_EQ(box.records()[0].defaultButton, MsgDefault::First);
    EXPECT_EQ(panel4(), QStringLiteral("動作：ログモード"));
    EXPECT_EQ(fills, (std::vector<QString>{QStringLiteral("ml2:F00")}));
    EXPECT_EQ(home_state().open_dialog_dir, folder);
}

TEST_F(FileOpenTest, TagFileInTagModeKeepsTheModeTexts) {
    setMode(2);
    home->setStatusPanelText(4, QStringLiteral("動作：タグ・モード"));
    link().link_mode = OpMode::Tag;
    open(line1(QStringLiteral("t.mt1"), "TD01-010100"));
    EXPECT_EQ(fills, (std::vector<QString>{QStringLiteral("mt1:F00")}));
    EXPECT_FALSE(graphMenu());
    EXPECT_EQ(panel4(), QStringLiteral("動作：タグ・モード"));
}

TEST_F(FileOpenTest, TheTwentyFirstFileIsRefused) {
    for (int i = 0; i < 20; ++i) home->winTable().win_file_open_log(QStringLiteral("f%1.ml2").arg(i), QStringLiteral("ml2"));
    ASSERT_EQ(home->winTable().win_file_use_ct(), 20);
    ScopedMessageBoxHook box;
    open(ml2(QStringLiteral("one-more.ml2")));
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, QStringLiteral("これ以上のファイルは開けません。"));
    EXPECT_TRUE(requests.empty());  // no dialog
    EXPECT_EQ(home->winTable().win_file_use_ct(), 20);
    EXPECT_TRUE(home_state().app_idle_flag);
}

TEST_F(FileOpenTest, APendingFileOpensWithoutTheDialog) {
    const QString path = ml2(QStringLiteral("handed.ml2"));
    home_state().pending_file_path = path;
    home_state().pending_file_flag = true;
    fileopen_Click(*home, hooks);
    EXPECT_TRUE(requests.empty());
    EXPECT_FALSE(home_state().pending_file_flag);
    EXPECT_EQ(home_state().open_file_path, path);
    EXPECT_EQ(fills, (std::vector<QString>{QStringLiteral("ml2:F00")}));
}

TEST_F(FileOpenTest, AFileThatCannotBeReadIsReportedAndTheButtonComesBack) {
    for (const QString& path : {folder + QStringLiteral("/missing.ml2"), write(QStringLiteral("empty.ml1"), {}),
                                write(QStringLiteral("empty.ml2"), {})}) {
        SCOPED_TRACE(path.toStdString());
        ScopedMessageBoxHook box;
        open(path);
        ASSERT_EQ(box.records().size(), 1u);
        EXPECT_EQ(box.records()[0].text, QStringLiteral("ファイルを読み込めませんでした。\n") + path);
        EXPECT_TRUE(openButton());
        EXPECT_TRUE(home_state().app_idle_flag);
        EXPECT_TRUE(fills.empty());
    }
}

TEST_F(FileOpenTest, TheButtonIsGreyWhileTheWindowFills) {
    bool greyDuringFill = false;
    onFileFill = [&](IDataWindow&) { greyDuringFill = !openButton(); };
    open(ml2(QStringLiteral("a.ml2")));
    EXPECT_TRUE(greyDuringFill);
    EXPECT_TRUE(openButton());
}

// A logger that falls silent during a command ends the link and its windows
// close: with no data window left the program has no mode, so File Open
// offers every type and opens a file of the lost logger's other mode.
TEST_F(FileOpenTest, AfterALostLinkEveryTypeIsOfferedAndTheOtherModesFileOpens) {
    const struct {
        logger_sim::Mode mode;
        QString file, fill, panel;
    } cases[] = {
        {logger_sim::Mode::Tag, QStringLiteral("b.ML2"), QStringLiteral("ml2:F00"), QStringLiteral("動作：ログモード")},
        {logger_sim::Mode::Log, QStringLiteral("a.MT1"), QStringLiteral("mt1:F00"), QStringLiteral("動作：タグ・モード")},
    };
    ml2(QStringLiteral("b.ML2"));
    line1(QStringLiteral("a.MT1"), "TD01-010100");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        logger_sim::Simulator sim(configDir(), logger_sim::defaultScenario());
        ASSERT_TRUE(sim.start());
        sim.setMode(c.mode);
        attachConnectedLogger(sim.devicePath(), QStringLiteral("A0123456"), op_mode_of(quint8(c.mode)));
        setMode(quint8(c.mode));
        if (!DataSetHandle::of_tag(QStringLiteral("L01"))) model().logger_main->colLOGGER_DATA().Add(QStringLiteral("L01"));
        home->winTable().win_logger_open_log(QStringLiteral("01"));
        home_state().area_window_flags[1] = true;
        activate_data_window();
        sim.setFault(logger_sim::Fault::Silence);
        send_initial();
        ASSERT_EQ(send_recv_before_check(), 1);
        comm_disconnect();
        EXPECT_EQ(panel4(), QStringLiteral("動作："));

        ScopedMessageBoxHook messages;
        hooks.dialog = nullptr;  // the real QFileDialog
        fills.clear();
        QStringList offered;
        ASSERT_TRUE(answerFileDialog(folder, c.file, [&] { fileopen_Click(*home, hooks); }, &offered));
        EXPECT_EQ(offered.size(), 3);
        EXPECT_TRUE(messages.texts().empty());
        EXPECT_EQ(fills, std::vector<QString>{c.fill});
        EXPECT_EQ(panel4(), c.panel);
        home->allclose_Click();
    }
    qunsetenv("MARROWQUILL_PORTS");
}

TEST(FileOpenTagTest, TagsAreReadByBytesAndByTheFirstLine) {
    ensureApplication();
    const QString dir = dataHome() + QStringLiteral("/tags");
    QDir().mkpath(dir);
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir + QLatin1Char('/') + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    // A header holding 'P' and 'W' (scrambled CR and LF) still gives its tag.
    QByteArray header(236, 'P');
    header[17] = 'W';
    header.replace(208, 4, "LD20");
    QByteArray tag;
    ASSERT_TRUE(read_data_file_tag(write(QStringLiteral("a.ML2"), data_disk_angou_load_1(header)), &tag));
    EXPECT_EQ(tag, QByteArray("LD20"));
    // The first line ends at its CR LF; the body behind it plays no part.
    ASSERT_TRUE(read_data_file_tag(
        write(QStringLiteral("b.ml1"), data_disk_angou_load_1("xxLD01-010100") + "\r\n" + data_disk_angou_load_1("yyyyyyyyyyyyy")),
        &tag));
    EXPECT_EQ(tag, QByteArray("LD01-010100"));
    // An older LOG file's first line ends at the scrambled tag and CR LF, not
    // at a scrambled 'P' 'W' before it; without that tag, at the first CR LF.
    ASSERT_TRUE(read_data_file_tag(write(QStringLiteral("e.ML1"), data_disk_angou_load_1("xPWxLD01-010100") + "\r\n" +
                                                                       data_disk_angou_load_1("PWyyyyyyyyyy")),
                                   &tag));
    EXPECT_EQ(tag, QByteArray("LD01-010100"));
    ASSERT_TRUE(read_data_file_tag(write(QStringLiteral("f.ml1"), data_disk_angou_load_1("abcdefghijklmPWLD01-010100")),
                                   &tag));
    EXPECT_EQ(tag, QByteArray("abcdefghijklm").right(11));
    // Without a line end the whole file is the first line.
    ASSERT_TRUE(read_data_file_tag(write(QStringLiteral("c.MT1"), data_disk_angou_load_1("TD01-010100")), &tag));
    EXPECT_EQ(tag, QByteArray("TD01-010100"));
    ASSERT_TRUE(read_data_file_tag(write(QStringLiteral("d.txt"), "anything"), &tag));
    EXPECT_EQ(tag, QByteArray("txt"));
    EXPECT_FALSE(read_data_file_tag(dir + QStringLiteral("/none.ml2"), &tag));
}

TEST(FileOpenTagTest, DialogFiltersMatchEveryLetterCase) {
    const QString f = case_insensitive_filter(QStringLiteral("Binary files (*.ML2)"));
    EXPECT_TRUE(f.startsWith(QStringLiteral("Binary files (*.ML2) (")));
    const QString patterns = f.mid(f.lastIndexOf(u'(') + 1).chopped(1);
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(patterns));
    for (const char* name : {"a.ML2", "a.ml2", "a.Ml2"}) EXPECT_TRUE(re.match(QString::fromLatin1(name)).hasMatch()) << name;
    EXPECT_FALSE(re.match(QStringLiteral("a.ML1")).hasMatch());
}

}  // namespace
}  // namespace mq::test
