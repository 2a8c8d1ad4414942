#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "fake_windows.h"
#include "main_window/window_table.h"

namespace mq::test {
namespace {

using platform::MsgResult;
using platform::ScopedMessageBoxHook;

class WindowTableTest : public HomeTest {
protected:
    WindowTable& table() { return home->winTable(); }
    void openFile(const QString& caption) { table().win_file_open_log(caption, QStringLiteral("ML2")); }
};

// ---------------------------------------------------------------- opening

TEST_F(WindowTableTest, LoggerLogWindowIsRegisteredActiveAtNormalSizeAndFilled) {
    table().win_logger_open_log(QStringLiteral("05"));
    FakeDataWindow* w = window(QStringLiteral("L05"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(key(0), QStringLiteral("L05"));
    EXPECT_EQ(frame(w)->windowTitle(), QStringLiteral("LOG05"));
    // It fills where the user can see it, not minimised in a corner.
    EXPECT_FALSE(frame(w)->isMinimized());
    EXPECT_EQ(home->activeDataWindow(), w);
    EXPECT_EQ(model().act_logger_data, model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L05")));
    EXPECT_EQ(model().act_logger_data->ID(), QStringLiteral("L05"));
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0], QStringLiteral("L05/05"));
    EXPECT_TRUE(table().win_logger_use_check(5));
    EXPECT_FALSE(table().win_logger_use_check(6));
}

TEST_F(WindowTableTest, NewWindowsOpenInsideTheWorkArea) {
    home->resize(640, 480);
    QCoreApplication::processEvents();
    newWindowSize = QSize(2000, 1500);  // larger than the work area
    table().win_logger_open_log(QStringLiteral("01"));
    openFile(QStringLiteral("a.ml2"));
    table().win_logger_open_tag(QStringLiteral("02"));
    const QRect view = home->mdiArea()->viewport()->rect();
    ASSERT_EQ(home->mdiArea()->subWindowList().size(), 3);
    for (QMdiSubWindow* sub : home->mdiArea()->subWindowList()) {
        EXPECT_TRUE(view.contains(sub->geometry())) << sub->windowTitle().toStdString();
    }
}

TEST_F(WindowTableTest, LoggerTagWindowIsShownAtNormalSizeWithTagCaption) {
    home_state().data_win_init_flag = true;
    table().win_logger_open_tag(QStringLiteral("12"));
    FakeDataWindow* w = window(QStringLiteral("L12"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(frame(w)->windowTitle(), QStringLiteral("TAG12"));
    EXPECT_FALSE(frame(w)->isMinimized());
    EXPECT_TRUE(home_state().data_win_init_flag);  // left alone by the TAG opener
    EXPECT_EQ(fills.back(), QStringLiteral("L12/12"));
}

TEST_F(WindowTableTest, TwentyLoggerWindowsAreTheLimitButFileWindowsStillOpen) {
    for (int i = 1; i <= 20; ++i) table().win_logger_open_log(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
    EXPECT_EQ(table().win_logger_use_ct(), 20);
    const size_t made = windows.size();
    table().win_logger_open_log(QStringLiteral("01"));
    EXPECT_EQ(windows.size(), made);  // no window was even created
    EXPECT_EQ(table().win_logger_use_ct(), 20);

    openFile(QStringLiteral("a.ml2"));
    EXPECT_EQ(table().win_file_use_ct(), 1);
    EXPECT_EQ(table().win_all_use_ct(), 21);
}

TEST_F(WindowTableTest, TwentyFileWindowsAreTheLimit) {
    for (int i = 0; i < 20; ++i) openFile(QStringLiteral("f%1.ml2").arg(i));
    EXPECT_EQ(table().win_file_use_ct(), 20);
    openFile(QStringLiteral("x.ml2"));
    table().win_file_open_tag(QStringLiteral("x.mt1"));
    EXPECT_EQ(table().win_file_use_ct(), 20);
}

TEST_F(WindowTableTest, FileWindowsTakeTheLowestFreeNumber) {
    openFile(QStringLiteral("a.ml2"));
    EXPECT_EQ(key(0), QStringLiteral("F00a.ml2"));
    EXPECT_EQ(model().file_main->colFILE_DATA().Item(QStringLiteral("F00"))->ID(), QStringLiteral("F00"));
    EXPECT_EQ(fills.back(), QStringLiteral("ml2:F00"));

    // Closing it frees number 00 again.
    home->fileclose_Click();
    EXPECT_EQ(table().win_all_use_ct(), 0);
    openFile(QStringLiteral("b.ml2"));
    EXPECT_EQ(key(0), QStringLiteral("F00b.ml2"));

    // With 00 and 02 in use the next file gets 01.
    openFile(QStringLiteral("c.ml2"));
    openFile(QStringLiteral("d.ml2"));
    EXPECT_EQ(key(2), QStringLiteral("F02d.ml2"));
    home->mdiArea()->setActiveSubWindow(frame(window(QStringLiteral("F01c.ml2"))));
    home->fileclose_Click();
    EXPECT_EQ(table().win_file_dim_no_search(), 1);
    openFile(QStringLiteral("e.ml2"));
    EXPECT_EQ(key(2), QStringLiteral("F01e.ml2"));
}

TEST_F(WindowTableTest, OlderLogFilesAreRecognisedInAnyLetterCase) {
    table().win_file_open_log(QStringLiteral("old.ml1"), QStringLiteral("ml1"));
    table().win_file_open_log(QStringLiteral("OLD.ML1"), QStringLiteral("ML1"));
    table().win_file_open_log(QStringLiteral("new.ml2"), QStringLiteral("ml2"));
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[0], QStringLiteral("ml1:F00"));
    EXPECT_EQ(fills[1], QStringLiteral("ml1:F01"));
    EXPECT_EQ(fills[2], QStringLiteral("ml2:F02"));
}

TEST_F(WindowTableTest, TagFileWindowIsFilledFromItsKey) {
    table().win_file_open_tag(QStringLiteral("t.mt1"));
    EXPECT_EQ(key(0), QStringLiteral("F00t.mt1"));
    EXPECT_EQ(fills.back(), QStringLiteral("mt1:F00"));
    EXPECT_FALSE(frame(window(QStringLiteral("F00t.mt1")))->isMinimized());
}

TEST_F(WindowTableTest, OtherDataWindowsAreDisabledWhileAFileFills) {
    openFile(QStringLiteral("a.ml2"));
    QMdiSubWindow* first = frame(window(QStringLiteral("F00a.ml2")));
    bool disabledDuringFill = false;
    onFileFill = [&](IDataWindow&) { disabledDuringFill = !first->isEnabled(); };
    openFile(QStringLiteral("b.ml2"));
    EXPECT_TRUE(disabledDuringFill);
    EXPECT_TRUE(first->isEnabled());
    EXPECT_TRUE(frame(window(QStringLiteral("F01b.ml2")))->isEnabled());
}

TEST_F(WindowTableTest, AFillThatFailsStillGivesTheOtherWindowsBack) {
    openFile(QStringLiteral("a.ml2"));
    QMdiSubWindow* first = frame(window(QStringLiteral("F00a.ml2")));
    onFileFill = [](IDataWindow&) { throw IoError("unreadable"); };
    EXPECT_THROW(openFile(QStringLiteral("b.ml2")), IoError);
    EXPECT_TRUE(first->isEnabled());
    home_state().targets.fill[DataFill::FileMt1] = [](IDataWindow&, const QString&) {
        throw IoError("unreadable");
    };
    EXPECT_THROW(table().win_file_open_tag(QStringLiteral("t.mt1")), IoError);
    EXPECT_TRUE(first->isEnabled());
}

TEST_F(WindowTableTest, LoggerWindowsWithoutALoggerRootAreRefusedWithoutAWindow) {
    model().logger_main.reset();
    EXPECT_THROW(table().win_logger_open_log(QStringLiteral("01")), MissingKeyError);
    EXPECT_THROW(table().win_logger_open_tag(QStringLiteral("01")), MissingKeyError);
    EXPECT_TRUE(windows.empty());
    EXPECT_EQ(table().win_all_use_ct(), 0);
}

// ---------------------------------------------------------------- graph step of the file opener

TEST_F(WindowTableTest, FileWindowIsRestoredWhenAutomaticGraphIsOff) {
    int graphs = 0;
    home_state().targets.graph = [&] { return ++graphs, true; };
    openFile(QStringLiteral("a.ml2"));
    EXPECT_FALSE(frame(window(QStringLiteral("F00a.ml2")))->isMinimized());
    EXPECT_EQ(graphs, 0);
}

TEST_F(WindowTableTest, AutomaticGraphOpensForMoreThanOneRecord) {
    home->setAutoDrawChecked(true);
    int graphs = 0;
    home_state().targets.graph = [&] { return ++graphs, true; };
    newWindowRows = 2;
    openFile(QStringLiteral("a.ml2"));
    EXPECT_EQ(graphs, 1);
    // The data window filled at normal size and stays so under the graph.
    EXPECT_FALSE(frame(window(QStringLiteral("F00a.ml2")))->isMinimized());
}

TEST_F(WindowTableTest, AutomaticGraphRefusesASingleRecord) {
    home->setAutoDrawChecked(true);
    int graphs = 0;
    home_state().targets.graph = [&] { return ++graphs, true; };
    newWindowRows = 1;
    ScopedMessageBoxHook box;
    openFile(QStringLiteral("a.ml2"));
    EXPECT_EQ(graphs, 0);
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, QStringLiteral("ﾃﾞｰﾀが1個の為ｸﾞﾗﾌ描画はできません。"));
    EXPECT_EQ(box.records()[0].title, QStringLiteral("ｸﾞﾗﾌ"));
    EXPECT_FALSE(frame(window(QStringLiteral("F00a.ml2")))->isMinimized());
}

TEST_F(WindowTableTest, AbandonedFillSkipsTheGraphStepAndClearsTheFlag) {
    home->setAutoDrawChecked(true);
    ScopedMessageBoxHook box;
    onFileFill = [](IDataWindow&) { home_state().data_win_init_flag = true; };
    newWindowRows = 1;
    openFile(QStringLiteral("a.ml2"));
    EXPECT_TRUE(box.records().empty());
    EXPECT_FALSE(home_state().data_win_init_flag);
}

TEST_F(WindowTableTest, FillThatClosesItsWindowLeavesOtherWindowsAlone) {
    openFile(QStringLiteral("a.ml2"));
    newWindowRows = 1;
    home->setAutoDrawChecked(true);
    ScopedMessageBoxHook box;
    // A failed older-format load closes its window and leaves the flag as it is.
    onFileFill = [this](IDataWindow&) { home->win_active_close(); };
    table().win_file_open_log(QStringLiteral("bad.ml1"), QStringLiteral("ML1"));
    EXPECT_EQ(table().win_all_use_ct(), 1);
    EXPECT_EQ(key(0), QStringLiteral("F00a.ml2"));
    EXPECT_TRUE(box.records().empty());  // no graph step for a window that is gone
    EXPECT_FALSE(model().file_main->colFILE_DATA().Count() != 1);
}

// ---------------------------------------------------------------- compaction and counting

TEST_F(WindowTableTest, CompactionMovesLaterSlotsDownWithTheirFlags) {
    HomeState& hs = home_state();
    const QString keys[] = {"L01", "L02", "F00a", "L04", "L05", "F01b"};
    for (int i = 0; i < 6; ++i) {
        hs.win_key_table[i] = keys[i];
        hs.win_unsaved_flags[i] = static_cast<qint16>(i + 10);
    }
    hs.win_key_table[3].clear();
    table().win_control_refresh();
    EXPECT_EQ(key(3), QStringLiteral("L05"));
    EXPECT_EQ(key(4), QStringLiteral("F01b"));
    EXPECT_EQ(key(5), QString());
    EXPECT_EQ(hs.win_unsaved_flags[3], 14);
    EXPECT_EQ(hs.win_unsaved_flags[4], 15);
    EXPECT_EQ(table().win_logger_use_ct(), 3);
    EXPECT_EQ(table().win_file_use_ct(), 2);
    EXPECT_EQ(table().win_file_use_TagReturn(), QStringLiteral("F00a"));
}

TEST_F(WindowTableTest, CompactionKeepsTheLastSlotsFlagAndNeedsAGap) {
    HomeState& hs = home_state();
    for (int i = 0; i < kWinSlots; ++i) {
        hs.win_key_table[i] = QStringLiteral("L%1").arg(i);
        hs.win_unsaved_flags[i] = 1;
    }
    hs.win_unsaved_flags[41] = 2;
    table().win_control_refresh();  // no gap: nothing moves
    EXPECT_EQ(key(0), QStringLiteral("L0"));
    hs.win_key_table[0].clear();
    table().win_control_refresh();
    EXPECT_EQ(key(0), QStringLiteral("L1"));
    EXPECT_EQ(key(40), QStringLiteral("L41"));
    EXPECT_EQ(key(41), QString());
    EXPECT_EQ(hs.win_unsaved_flags[40], 2);
    EXPECT_EQ(hs.win_unsaved_flags[41], 2);
}

// ---------------------------------------------------------------- closing

TEST_F(WindowTableTest, ClosingTheMiddleWindowMovesTheLaterOnesWithTheirFlags) {
    for (const char* n : {"01", "02", "03", "04", "05"}) table().win_logger_open_log(QString::fromLatin1(n));
    HomeState& hs = home_state();
    for (int i = 0; i < 5; ++i) hs.win_unsaved_flags[i] = static_cast<qint16>(2 + i);
    table().win_logger_close(QStringLiteral("03"));
    EXPECT_EQ(key(2), QStringLiteral("L04"));
    EXPECT_EQ(key(3), QStringLiteral("L05"));
    EXPECT_EQ(key(4), QString());
    EXPECT_EQ(hs.win_unsaved_flags[2], 5);
    EXPECT_EQ(hs.win_unsaved_flags[3], 6);
    EXPECT_TRUE(window(QStringLiteral("L03")) == nullptr || window(QStringLiteral("L03"))->closed);
    EXPECT_FALSE(hs.win_closing_flag);
}

TEST_F(WindowTableTest, LoggerCloseUsesTheSlotsOwnWindowWhateverIsActive) {
    table().win_logger_open_log(QStringLiteral("01"));
    table().win_logger_open_log(QStringLiteral("02"));
    // Another child window (the graph) opened in between and is active.
    auto* graph = home->mdiArea()->addSubWindow(new QWidget);
    graph->show();
    home->mdiArea()->setActiveSubWindow(graph);
    table().win_logger_open_log(QStringLiteral("03"));
    home->mdiArea()->setActiveSubWindow(graph);

    QPointer<FakeDataWindow> w2 = window(QStringLiteral("L02"));
    table().win_logger_close(QStringLiteral("02"));
    EXPECT_TRUE(w2.isNull() || w2->closed);
    EXPECT_FALSE(window(QStringLiteral("L01"))->closed);
    EXPECT_FALSE(window(QStringLiteral("L03"))->closed);
    EXPECT_TRUE(graph->isVisible());
    EXPECT_EQ(key(0), QStringLiteral("L01"));
    EXPECT_EQ(key(1), QStringLiteral("L03"));
}

TEST_F(WindowTableTest, LoggerWindowThatRefusesToCloseKeepsItsEntry) {
    table().win_logger_open_log(QStringLiteral("04"));
    home_state().win_unsaved_flags[0] = 1;
    ScopedMessageBoxHook box(MsgResult::Cancel);
    table().win_logger_close(QStringLiteral("04"));
    EXPECT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].buttons, platform::MsgButtons::YesNoCancel);
    EXPECT_FALSE(window(QStringLiteral("L04"))->closed);
    EXPECT_EQ(key(0), QStringLiteral("L04"));
    EXPECT_EQ(table().win_logger_use_ct(), 1);
}

TEST_F(WindowTableTest, ActiveCloseRemovesExactlyTheClosedWindow) {
    openFile(QStringLiteral("a.ml2"));
    openFile(QStringLiteral("b.ml2"));
    openFile(QStringLiteral("c.ml2"));
    home->mdiArea()->setActiveSubWindow(frame(window(QStringLiteral("F01b.ml2"))));
    table().win_active_close();
    EXPECT_TRUE(window(QStringLiteral("F01b.ml2")) == nullptr || window(QStringLiteral("F01b.ml2"))->closed);
    EXPECT_EQ(key(0), QStringLiteral("F00a.ml2"));
    EXPECT_EQ(key(1), QStringLiteral("F02c.ml2"));
    EXPECT_EQ(key(2), QString());
    // Its file data set went with it.
    EXPECT_EQ(model().file_main->colFILE_DATA().Count(), 2);
}

TEST_F(WindowTableTest, ActiveCloseGoesByTheWindowNotAnOldCancelFlag) {
    openFile(QStringLiteral("a.ml2"));
    home_state().close_cancel_flag = true;  // left over from an earlier cancelled save
    home->fileclose_Click();
    EXPECT_EQ(table().win_all_use_ct(), 0);
    EXPECT_TRUE(window(QStringLiteral("F00a.ml2")) == nullptr || window(QStringLiteral("F00a.ml2"))->closed);
}

TEST_F(WindowTableTest, WindowClosedByTheUserLeavesTheTableOnce) {
    openFile(QStringLiteral("a.ml2"));
    openFile(QStringLiteral("b.ml2"));
    QMdiSubWindow* sub = frame(window(QStringLiteral("F01b.ml2")));
    home->mdiArea()->setActiveSubWindow(sub);
    EXPECT_TRUE(sub->close());  // the window's own close button
    EXPECT_EQ(table().win_all_use_ct(), 1);
    EXPECT_EQ(key(0), QStringLiteral("F00a.ml2"));
    EXPECT_FALSE(window(QStringLiteral("F00a.ml2"))->closed);
}

TEST_F(WindowTableTest, ClosedWindowsAreForgottenOnceDeleted) {
    openFile(QStringLiteral("a.ml2"));
    QPointer<FakeDataWindow> w = window(QStringLiteral("F00a.ml2"));
    QWidget* raw = w.data();
    ASSERT_EQ(table().dataWindowOf(raw), w.data());
    home->fileclose_Click();
    ASSERT_TRUE(waitUntil(
        [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return w.isNull();
        },
        1000));
    EXPECT_EQ(table().dataWindowOf(raw), nullptr);
    EXPECT_EQ(home->activeDataWindow(), nullptr);
}

TEST_F(WindowTableTest, ActiveCloseDoesNothingWhileTheTableCloses) {
    openFile(QStringLiteral("a.ml2"));
    home_state().win_closing_flag = true;
    table().win_active_close();
    EXPECT_FALSE(window(QStringLiteral("F00a.ml2"))->closed);
    home_state().win_closing_flag = false;
}

TEST_F(WindowTableTest, CloseAllAsksOnceForTheUnsavedWindowAndEmptiesTheTable) {
    for (const auto answer : {MsgResult::Yes, MsgResult::No}) {
        table().win_logger_open_log(QStringLiteral("01"));
        table().win_logger_open_log(QStringLiteral("02"));
        openFile(QStringLiteral("a.ml2"));
        home_state().win_unsaved_flags[1] = 1;
        int saves = 0;
        home_state().targets.commands[HomeCommand::Save] = [&] { ++saves; };
        ScopedMessageBoxHook box(answer);
        home->allclose_Click();
        ASSERT_EQ(box.records().size(), 1u);
        EXPECT_EQ(box.records()[0].text, QStringLiteral("新規ファイルL02を保存しますか？"));
        EXPECT_EQ(box.records()[0].title, QStringLiteral("ウインドウを閉じる"));
        EXPECT_EQ(box.records()[0].buttons, platform::MsgButtons::YesNo);
        EXPECT_EQ(saves, answer == MsgResult::Yes ? 1 : 0);
        EXPECT_EQ(table().win_all_use_ct(), 0);
        for (int i = 0; i < kWinSlots; ++i) EXPECT_TRUE(key(i).isEmpty());
        EXPECT_FALSE(home_state().win_closing_flag);
        EXPECT_FALSE(home_state().app_closing_flag);
    }
}

TEST_F(WindowTableTest, CloseAllAsksAgainAfterACancelledSave) {
    table().win_logger_open_log(QStringLiteral("01"));
    table().win_logger_open_log(QStringLiteral("02"));
    home_state().win_unsaved_flags[0] = 1;
    home_state().targets.commands[HomeCommand::Save] = [] { home_state().close_cancel_flag = true; };
    ScopedMessageBoxHook box(std::vector<MsgResult>{MsgResult::Yes, MsgResult::No});
    home_state().app_closing_flag = true;
    table().win_all_close();
    home_state().app_closing_flag = false;
    EXPECT_EQ(box.records().size(), 2u);
    EXPECT_EQ(table().win_all_use_ct(), 0);
    EXPECT_FALSE(home_state().close_result);
    EXPECT_TRUE(home_state().close_cancel_flag);  // the caller reads it
}

TEST_F(WindowTableTest, CloseAllWithTheGraphActiveStillClosesEveryDataWindow) {
    openFile(QStringLiteral("a.ml2"));
    openFile(QStringLiteral("b.ml2"));
    auto* graph = home->mdiArea()->addSubWindow(new QWidget);
    graph->show();
    home->mdiArea()->setActiveSubWindow(graph);
    home->allclose_Click();
    EXPECT_EQ(table().win_all_use_ct(), 0);
    EXPECT_EQ(model().file_main->colFILE_DATA().Count(), 0);
}

TEST_F(WindowTableTest, ClosingAllLoggerWindowsLeavesFileWindowsAndGreysCommandsWhenEmpty) {
    table().win_logger_open_log(QStringLiteral("03"));
    openFile(QStringLiteral("a.ml2"));
    table().win_logger_open_log(QStringLiteral("07"));
    HomeState& hs = home_state();
    hs.area_window_flags[3] = hs.area_window_flags[7] = true;
    home->setMenuItemEnabled(QStringLiteral("save"), true);
    home->setToolbarButtonEnabled(14, true);

    table().win_logger_win_all_close();
    EXPECT_EQ(table().win_logger_use_ct(), 0);
    EXPECT_EQ(key(0), QStringLiteral("F00a.ml2"));
    EXPECT_FALSE(hs.area_window_flags[3]);
    EXPECT_FALSE(hs.area_window_flags[7]);
    EXPECT_TRUE(home->menuItem(QStringLiteral("save"))->isEnabled());  // a window is left

    home->mdiArea()->setActiveSubWindow(frame(window(QStringLiteral("F00a.ml2"))));
    home->fileclose_Click();
    home->setMenuItemEnabled(QStringLiteral("save"), true);
    home->setToolbarButtonEnabled(14, true);
    home->setStatusPanelText(4, QStringLiteral("動作：ログモード"));
    table().win_logger_open_log(QStringLiteral("02"));
    hs.area_window_flags[2] = true;
    table().win_logger_win_all_close();
    EXPECT_EQ(table().win_all_use_ct(), 0);
    EXPECT_FALSE(home->menuItem(QStringLiteral("save"))->isEnabled());
    EXPECT_FALSE(home->toolbarButton(14)->isEnabled());
    EXPECT_FALSE(home->toolbarButton(20)->isEnabled());
    // Not connected: the not-connected display without a mode.
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作："));
}

// ---------------------------------------------------------------- activation and sizes

TEST_F(WindowTableTest, ManualActivationPrefersTheFirstFileWindow) {
    table().win_logger_open_log(QStringLiteral("01"));
    openFile(QStringLiteral("a.ml2"));
    auto* graph = home->mdiArea()->addSubWindow(new QWidget);
    graph->show();
    home->mdiArea()->setActiveSubWindow(graph);
    model().act_data_kind = 0;
    table().Proc_ManualActive();
    EXPECT_EQ(model().act_data_kind, 1);
    EXPECT_EQ(home->activeDataWindow(), window(QStringLiteral("F00a.ml2")));
}

TEST_F(WindowTableTest, ManualActivationWithOnlyLoggerWindowsSetsLoggerKind) {
    table().win_logger_open_log(QStringLiteral("01"));
    auto* graph = home->mdiArea()->addSubWindow(new QWidget);
    graph->show();
    home->mdiArea()->setActiveSubWindow(graph);
    model().act_data_kind = 0;
    table().Proc_ManualActive();
    EXPECT_EQ(model().act_data_kind, 2);
}

TEST_F(WindowTableTest, ManualActivationDoesNothingWhileADataWindowIsActive) {
    openFile(QStringLiteral("a.ml2"));
    model().act_data_kind = 2;
    table().Proc_ManualActive();
    EXPECT_EQ(model().act_data_kind, 2);
}

TEST_F(WindowTableTest, GraphReturnShowsTheActiveWindowAtNormalSize) {
    table().win_logger_open_log(QStringLiteral("01"));
    QMdiSubWindow* sub = frame(window(QStringLiteral("L01")));
    sub->showMinimized();
    ASSERT_TRUE(sub->isMinimized());
    home->GraphDispReturen();
    EXPECT_FALSE(sub->isMinimized());
}

TEST_F(WindowTableTest, SizeCapsFollowTheCurrentMode) {
    home->resize(1600, 1200);
    table().win_logger_open_tag(QStringLiteral("01"));
    auto* graph = home->mdiArea()->addSubWindow(new QWidget);
    graph->show();
    graph->resize(1000, 900);
    QMdiSubWindow* sub = frame(window(QStringLiteral("L01")));
    sub->resize(1000, 900);
    home->mdiArea()->setActiveSubWindow(sub);
    setMode(2);
    table().win_arrange_size_limit();
    const int dpiX = home->mdiArea()->logicalDpiX(), dpiY = home->mdiArea()->logicalDpiY();
    EXPECT_EQ(sub->height(), 4900 * dpiY / 1440);
    EXPECT_EQ(sub->width(), 9930 * dpiX / 1440);
    EXPECT_EQ(graph->size(), QSize(1000, 900));  // not a table window

    setMode(1);
    table().win_arrange_size_limit();
    EXPECT_EQ(sub->height(), 4900 * dpiY / 1440);  // already below the LOG cap
    EXPECT_EQ(sub->width(), 7640 * dpiX / 1440);
}

}  // namespace
}  // namespace mq::test
