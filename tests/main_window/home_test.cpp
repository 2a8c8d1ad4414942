#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>

#include "fake_windows.h"
#include "main_window/command_boundary.h"
#include "main_window/config_files.h"
#include "main_window/identity_check.h"
#include "main_window/small_windows.h"
#include "platform/help.h"
#include "platform/program_icon.h"

namespace mq::test {
namespace {

using platform::MsgResult;
using platform::ScopedMessageBoxHook;

class HomeCommandsTest : public HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        HomeTargets& t = home_state().targets;
        // Every target records its name and whether the program was busy meanwhile.
        auto rec = [this](const char* name) {
            return [this, name] {
                called.push_back(QString::fromLatin1(name));
                busyInside.push_back(!home_state().app_idle_flag);
            };
        };
        t.commands[HomeCommand::LogDataSelect] = rec("log_data_select");
        t.commands[HomeCommand::TagDataSelect] = rec("tag_data_select");
        t.commands[HomeCommand::LogSetValue] = rec("log_set_value");
        t.commands[HomeCommand::TagSetValue] = rec("tag_set_value");
        t.commands[HomeCommand::Comment1] = rec("comment1");
        t.commands[HomeCommand::Comment2] = rec("comment2");
        t.commands[HomeCommand::ModelSetting] = rec("model_setting");
        t.commands[HomeCommand::Log0SetValue] = rec("log0_set_value");
        t.commands[HomeCommand::Tag0SetValue] = rec("tag0_set_value");
        t.commands[HomeCommand::ManualCommDialog] = rec("manual_comm_dialog");
        t.commands[HomeCommand::TablePrint] = rec("table_print");
        t.comm_dialog = [this](const QString& state) { dialogs.push_back(state); };
    }

    void connect_logger(quint8 mode) {
        link().link_connected_flag = true;
        link().link_mode = op_mode_of(mode);
        setMode(mode);
    }

    std::vector<QString> called;
    std::vector<bool> busyInside;
    std::vector<QString> dialogs;
};

// ---------------------------------------------------------------- layout

TEST_F(HomeCommandsTest, MenusCarryTheirTextsAndStartDisabledWhereMarked) {
    struct Item {
        const char* name;
        const char16_t* text;
        bool enabled;
    };
    const Item items[] = {
        {"logger", u"ﾛｶﾞｰ(&L)", true},           {"loggerconnect", u"ﾛｶﾞｰ接続(&J)", true},
        {"loggerread", u"ﾛｶﾞｰ読み出し(&R)", false}, {"loggersv", u"ﾛｶﾞｰ設定(&S)", true},
        {"logingsv", u"収録設定(&V)", false},       {"namelist", u"作業者名の登録(&W)", false},
        {"commlist", u"ｺﾒﾝﾄの登録(&C)", false},     {"modelset", u"機器設定(&M)", false},
        {"defset", u"既定収録設定(&D)", false},     {"file", u"ﾌｧｲﾙ(&F)", true},
        {"fileopen", u"開く(&O)", true},            {"fileclose", u"閉じる(&C)", false},
        {"allclose", u"全て閉じる(&E)", false},     {"save", u"名前を付けて保存(&A)", false},
        {"print_data", u"印刷(&P)", false},         {"endprog", u"終了(&X)", true},
        {"comselect", u"通信設定(&C)", true},       {"a_comm_set", u"自動設定(&A)", true},
        {"m_comm_set", u"手動設定(&M)", true},      {"winchange", u"ｳｨﾝﾄﾞｳ(&W)", true},
        {"h_disp", u"上下に並べて表示(&H)", false}, {"v_disp", u"左右に並べて表示(&V)", false},
        {"c_disp", u"重ねて表示(&C)", false},       {"menu_graph", u"ｸﾞﾗﾌ(&G)", true},
        {"mGrp_Draw", u"グラフ描画（&D）", false},  {"mGrp_optAutoDraw", u"自動でグラフ描画", true},
        {"help", u"ﾍﾙﾌﾟ(&H)", true},               {"loggerhelp", u"ﾍﾙﾌﾟ(&H)", true},
        {"version", u"ﾊﾞｰｼﾞｮﾝ情報", true},
    };
    for (const Item& it : items) {
        QAction* a = home->menuItem(QString::fromLatin1(it.name));
        ASSERT_NE(a, nullptr) << it.name;
        EXPECT_EQ(a->text(), QString::fromUtf16(it.text)) << it.name;
        EXPECT_EQ(a->isEnabled(), it.enabled) << it.name;
    }
    EXPECT_TRUE(home->menuItem(QStringLiteral("mGrp_optAutoDraw"))->isCheckable());
    EXPECT_FALSE(home->autoDrawChecked());
}

TEST_F(HomeCommandsTest, MainWindowChildWindowsAndDialogsShowTheProgramsIcon) {
    const QImage own = platform::programIcon().pixmap(32, 32).toImage();
    ASSERT_FALSE(own.isNull());
    home->winTable().win_logger_open_log(QStringLiteral("01"));
    QMdiSubWindow* sub = home->mdiArea()->subWindowList().value(0);
    ASSERT_NE(sub, nullptr);
    QDialog dialog(home.get());
    QWidget loose;  // a window without a parent, as the second start's box
    const std::pair<const char*, QWidget*> windows[] = {
        {"main window", home.get()}, {"data window", sub}, {"dialog", &dialog}, {"parentless window", &loose}};
    for (const auto& [what, w] : windows) {
        SCOPED_TRACE(what);
        EXPECT_EQ(w->windowIcon().pixmap(32, 32).toImage(), own);
    }
}

TEST_F(HomeCommandsTest, HelpMenuOpensTheFirstPageInsideTheProgram) {
    model().help_file = QStringLiteral(MQ_SOURCE_DIR "/help");
    ScopedMessageBoxHook box(MsgResult::OK);
    home->menuItem(QStringLiteral("loggerhelp"))->trigger();
    EXPECT_TRUE(box.records().empty());
    platform::HelpWindow* help = platform::helpWindowOf(home.get());
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->currentPage(), model().help_file + QStringLiteral("/1.html"));
    help->close();
}

TEST_F(HomeCommandsTest, ToolbarButtonsSitAtTheirIndices) {
    const std::pair<int, const char16_t*> buttons[] = {
        {2, u"ﾛｶﾞｰ接続"}, {4, u"ﾛｶﾞｰ読み出し"},  {6, u"収録設定"},         {7, u"作業者名の登録"}, {8, u"ｺﾒﾝﾄの登録"},
        {10, u"機器設定"}, {13, u"ﾌｧｲﾙを開く"}, {14, u"名前をつけて保存"}, {17, u"印刷"},           {20, u"ｸﾞﾗﾌ表示"},
    };
    for (const auto& [index, tip] : buttons) {
        QAction* a = home->toolbarButton(index);
        ASSERT_NE(a, nullptr) << index;
        EXPECT_EQ(a->toolTip(), QString::fromUtf16(tip));
    }
    for (int index : {1, 3, 5, 9, 11, 12, 15, 16, 18, 19}) EXPECT_EQ(home->toolbarButton(index), nullptr) << index;
    EXPECT_TRUE(home->toolbarButton(2)->isEnabled());
    EXPECT_TRUE(home->toolbarButton(13)->isEnabled());
    for (int index : {4, 6, 7, 8, 10, 14, 17, 20}) EXPECT_FALSE(home->toolbarButton(index)->isEnabled()) << index;
}

TEST_F(HomeCommandsTest, StatusBarStartsWithFourPanels) {
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("未接続"));
    EXPECT_EQ(home->statusPanelText(2), QStringLiteral("機種名："));
    EXPECT_EQ(home->statusPanelText(3), QStringLiteral("機器名称："));
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作："));
}

TEST_F(HomeCommandsTest, ToolbarClickRunsTheCommandOfItsIndex) {
    int connects = 0, opens = 0;
    home_state().targets.commands[HomeCommand::LoggerConnect] = [&] { ++connects; };
    home_state().targets.commands[HomeCommand::FileOpen] = [&] { ++opens; };
    home->toolbarButton(2)->trigger();
    home->toolbarButton(13)->trigger();
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(opens, 1);
    connect_logger(1);
    home->Toolbar1_ButtonClick(4);
    home->Toolbar1_ButtonClick(7);
    home->Toolbar1_ButtonClick(10);
    EXPECT_EQ(called, (std::vector<QString>{"log_data_select", "comment1", "model_setting"}));
    EXPECT_TRUE(home_state().app_idle_flag);
}

// ---------------------------------------------------------------- logger commands

TEST_F(HomeCommandsTest, LoggerCommandsWithoutALoggerShowOnlyTheNotConnectedMessage) {
    home->loggerread_Click();
    home->logingsv_Click();
    home->namelist_Click();
    home->commlist_Click();
    home->modelset_Click();
    home->defset_Click();
    EXPECT_TRUE(called.empty());
    EXPECT_EQ(dialogs, std::vector<QString>(6, QStringLiteral("40")));
    EXPECT_EQ(home_state().dialog_state, QStringLiteral("40"));
    EXPECT_TRUE(home_state().app_idle_flag);
}

TEST_F(HomeCommandsTest, ReadCommandMarksLoggerWindowsUnsavedEvenWithoutALogger) {
    HomeState& hs = home_state();
    hs.win_key_table[0] = QStringLiteral("L01");
    hs.win_key_table[1] = QStringLiteral("F00a.ml2");
    hs.win_key_table[2] = QStringLiteral("L02");
    hs.win_unsaved_flags = {};
    hs.win_unsaved_flags[1] = 1;
    hs.win_unsaved_flags[2] = 2;
    hs.win_unsaved_flags[5] = 1;  // an empty slot
    home->loggerread_Click();
    EXPECT_EQ(hs.win_unsaved_flags[0], 1);
    EXPECT_EQ(hs.win_unsaved_flags[1], 0);
    EXPECT_EQ(hs.win_unsaved_flags[2], 2);
    EXPECT_EQ(hs.win_unsaved_flags[5], 0);
}

TEST_F(HomeCommandsTest, ReadAndSettingsCommandsFollowTheMode) {
    connect_logger(1);
    home->loggerread_Click();
    home->logingsv_Click();
    home->defset_Click();
    connect_logger(3);
    home->loggerread_Click();
    home->logingsv_Click();
    home->defset_Click();
    connect_logger(2);
    home->loggerread_Click();
    home->logingsv_Click();
    home->defset_Click();
    EXPECT_EQ(called, (std::vector<QString>{"log_data_select", "log_set_value", "log0_set_value", "tag_data_select",
                                            "log_set_value", "log0_set_value", "tag_data_select", "tag_set_value",
                                            "tag0_set_value"}));
    for (bool busy : busyInside) EXPECT_TRUE(busy);
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(HomeCommandsTest, DefaultSettingsDoNothingWithoutAMode) {
    connect_logger(0);
    home->defset_Click();
    EXPECT_TRUE(called.empty());
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(HomeCommandsTest, WorkerNamesInTagModeAskToCloseReadDataAndCancelChangesNothing) {
    connect_logger(2);
    home->winTable().win_logger_open_tag(QStringLiteral("03"));
    home_state().area_window_flags[3] = true;
    ScopedMessageBoxHook box(MsgResult::Cancel);
    home->namelist_Click();
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, QStringLiteral("読み出し済みデータを閉じます。よろしいですか？"));
    EXPECT_EQ(box.records()[0].buttons, platform::MsgButtons::OKCancel);
    EXPECT_EQ(box.records()[0].title, QStringLiteral("マロウクイル"));
    EXPECT_TRUE(called.empty());
    EXPECT_EQ(key(0), QStringLiteral("L03"));
    EXPECT_TRUE(home_state().app_idle_flag);
}

TEST_F(HomeCommandsTest, CommentsInTagModeCloseReadDataWithoutAskingPerWindow) {
    connect_logger(2);
    home->winTable().win_logger_open_tag(QStringLiteral("03"));
    home_state().area_window_flags[3] = true;
    home_state().win_unsaved_flags[0] = 1;  // would ask, but the close reason says not to
    ScopedMessageBoxHook box(MsgResult::OK);
    home->commlist_Click();
    EXPECT_EQ(box.records().size(), 1u);
    EXPECT_EQ(home->winTable().win_all_use_ct(), 0);
    EXPECT_EQ(home_state().close_reason, 0);
    EXPECT_EQ(called, std::vector<QString>{"comment2"});
}

TEST_F(HomeCommandsTest, WorkerNamesInLogModeDoNotAsk) {
    connect_logger(1);
    home->winTable().win_logger_open_log(QStringLiteral("03"));
    ScopedMessageBoxHook box(MsgResult::Cancel);
    home->namelist_Click();
    EXPECT_TRUE(box.records().empty());
    EXPECT_EQ(called, std::vector<QString>{"comment1"});
}

TEST_F(HomeCommandsTest, PortCommandsShowTheirDialogsAndApplyThePortAgain) {
    link().comm_baud_rate = 19200;
    home->a_comm_set_Click();
    EXPECT_EQ(dialogs, std::vector<QString>{"10"});
    home->m_comm_set_Click();
    EXPECT_EQ(called, std::vector<QString>{"manual_comm_dialog"});
    EXPECT_TRUE(home_state().app_idle_flag);
}

// ---------------------------------------------------------------- graph and print

TEST_F(HomeCommandsTest, GraphCommandRefusesASingleRecord) {
    int graphs = 0;
    home_state().targets.graph = [&] { return ++graphs, true; };
    EXPECT_FALSE(home->mGrp_Draw_Click());  // no data window: nothing
    newWindowRows = 1;
    home->winTable().win_file_open_log(QStringLiteral("a.ml2"), QStringLiteral("ML2"));
    ScopedMessageBoxHook box;
    EXPECT_FALSE(home->mGrp_Draw_Click());
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, QStringLiteral("ﾃﾞｰﾀが1個の為ｸﾞﾗﾌ描画はできません。"));
    EXPECT_EQ(box.records()[0].title, QStringLiteral("ｸﾞﾗﾌ"));
    window(QStringLiteral("F00a.ml2"))->setDataRows(2);
    EXPECT_TRUE(home->mGrp_Draw_Click());
    EXPECT_EQ(graphs, 1);
}

TEST_F(HomeCommandsTest, GraphButtonLeavesTheProgramBusyOnlyWhileAGraphIsOpen) {
    home_state().targets.graph = [] { return true; };
    newWindowRows = 1;
    home->winTable().win_file_open_log(QStringLiteral("a.ml2"), QStringLiteral("ML2"));
    ScopedMessageBoxHook box;
    home->Toolbar1_ButtonClick(20);
    EXPECT_TRUE(home_state().app_idle_flag);  // refused: nothing will give the idle state back
    window(QStringLiteral("F00a.ml2"))->setDataRows(3);
    home->Toolbar1_ButtonClick(20);
    EXPECT_FALSE(home_state().app_idle_flag);  // the graph window sets it when it closes
}

TEST_F(HomeCommandsTest, PrintWithoutADataWindowDoesNothing) {
    home_state().app_idle_flag = true;
    ScopedMessageBoxHook box;
    home->print_data_Click();
    EXPECT_TRUE(box.records().empty());
    EXPECT_TRUE(called.empty());
}

TEST_F(HomeCommandsTest, PrintWithoutASystemPrinterStillOffersThePdfFilePrinter) {
    if (!installed_printers().isEmpty()) GTEST_SKIP() << "this machine has printers";
    home->winTable().win_file_open_log(QStringLiteral("a.ml2"), QStringLiteral("ML2"));
    ScopedMessageBoxHook box;
    QStringList offered;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<TestForm*>(w); f && f->isVisible()) {
                for (int i = 0; i < f->Combo1->count(); ++i) offered << f->Combo1->itemText(i);
                f->Command2->click();
            }
        }
    });
    home->print_data_Click();
    EXPECT_TRUE(box.records().empty());  // no "プリンターが見つかりません。"
    EXPECT_EQ(offered, QStringList{pdf_file_printer_name()});
    EXPECT_TRUE(called.empty());  // cancelled: no table printing
    EXPECT_TRUE(home_state().app_idle_flag);
}

TEST_F(HomeCommandsTest, AutoDrawCommandTogglesItsCheckMark) {
    home->mGrp_optAutoDraw_Click();
    EXPECT_TRUE(home->autoDrawChecked());
    home->menuItem(QStringLiteral("mGrp_optAutoDraw"))->trigger();
    EXPECT_FALSE(home->autoDrawChecked());
}

// ---------------------------------------------------------------- arrangement and displays

TEST_F(HomeCommandsTest, TilingArrangesAndCapsTheWindows) {
    home->resize(1600, 1300);
    QApplication::processEvents();
    connect_logger(2);
    home->winTable().win_logger_open_tag(QStringLiteral("01"));
    home->winTable().win_logger_open_tag(QStringLiteral("02"));
    home->v_disp_Click();
    QMdiSubWindow* a = frame(window(QStringLiteral("L01")));
    QMdiSubWindow* b = frame(window(QStringLiteral("L02")));
    EXPECT_LT(a->x(), b->x());  // side by side
    const int capH = 4900 * home->mdiArea()->logicalDpiY() / 1440;
    EXPECT_LE(a->height(), capH);
    EXPECT_LE(b->height(), capH);
    home->h_disp_Click();
    EXPECT_LT(a->y(), b->y());  // one above the other
    home->c_disp_Click();
    EXPECT_LE(a->height(), capH);
}

// The link dropped while a file window of each mode stays open.
TEST_F(HomeCommandsTest, NotConnectedDisplayShowsTheModeAndBlanksTheIdentity) {
    for (const OpMode mode : {OpMode::Tag, OpMode::Memory, OpMode::Log}) {
        if (mode == OpMode::Tag) home->winTable().win_file_open_tag(QStringLiteral("a.mt1"));
        else home->winTable().win_file_open_log(QStringLiteral("a.ml2"), QStringLiteral("ML2"));
        connect_logger(mode_byte(mode));
        link().link_model_text = QStringLiteral("ZK4409          ");
        home->refresh_command_state();
        comm_disconnect(LinkEnd::LinkOnly);
        home->refresh_command_state();
        EXPECT_EQ(home->statusPanelText(1) + home->statusPanelText(2), QStringLiteral("未接続機種名："));
        EXPECT_EQ(home->statusPanelText(4), mode_status_text(mode));
        EXPECT_EQ(home->menuItem(QStringLiteral("menu_graph"))->isEnabled(), mode != OpMode::Tag);
        EXPECT_FALSE(home->toolbarButton(4)->isEnabled() || home->menuItem(QStringLiteral("loggerread"))->isEnabled());
        EXPECT_EQ(link().link_model_text + link().link_hard_ver_text, QString(18, u' '));
        home_state().close_reason = 1;
        home->winTable().win_all_close();
        home_state().close_reason = 0;
    }
}

// What the commands and the status bar show for each state of the link, the
// operating mode and the data windows.
TEST(CommandStateTest, DerivedFromTheLinkTheModeAndTheWindows) {
    struct Case {
        CommandInputs in;  // connected, mode, windows, graph windows, opening a file
        // logger commands, reading, data commands, graph commands, graph menu, open
        std::array<bool, 6> out;
        const char16_t* panels;
    };
    using M = OpMode;
    const QString model = QStringLiteral("ZK4409-MU       "), user = QStringLiteral("ﾗｲﾝ1    ");
    const Case cases[] = {
        {{false, M::None, 0, false, false}, {0, 0, 0, 0, 1, 1}, u"未接続|機種名：|機器名称：|動作："},
        {{true, M::Log, 0, false, false, model, user}, {1, 1, 0, 0, 1, 1},
         u"接続中|機種名：ZK4409-MU       |機器名称：ﾗｲﾝ1    |動作：ログモード"},
        {{true, M::Log, 2, true, false}, {1, 1, 1, 1, 1, 1}, u"接続中|機種名：|機器名称：|動作：ログモード"},
        {{true, M::Tag, 0, false, false}, {1, 1, 0, 0, 0, 1}, u"接続中|機種名：|機器名称：|動作：タグ・モード"},
        {{true, M::Tag, 1, false, false}, {1, 1, 1, 0, 0, 1}, u"接続中|機種名：|機器名称：|動作：タグ・モード"},
        {{true, M::Memory, 1, true, false}, {1, 0, 1, 1, 1, 1}, u"接続中|機種名：|機器名称：|動作：メモリ・モード"},
        {{false, M::Memory, 1, true, false, model, user}, {0, 0, 1, 1, 1, 1}, u"未接続|機種名：|機器名称：|動作：メモリ・モード"},
        {{false, M::Tag, 1, false, true}, {0, 0, 1, 0, 0, 0}, u"未接続|機種名：|機器名称：|動作：タグ・モード"},
    };
    for (const Case& c : cases) {
        const CommandState s = command_state_of(c.in);
        SCOPED_TRACE(QString::fromUtf16(c.panels).toStdString());
        EXPECT_EQ((std::array<bool, 6>{s.logger_commands, s.read, s.data_commands, s.graph_commands, s.graph_menu, s.open}),
                  c.out);
        EXPECT_EQ(s.connected_look, c.in.connected);
        EXPECT_EQ(QStringList(std::begin(s.panels), std::end(s.panels)).join(u'|'), QString::fromUtf16(c.panels));
    }
}

// ---------------------------------------------------------------- closing commands

TEST_F(HomeCommandsTest, CloseAllGreysTheDataWindowCommandsAndShowsNoMode) {
    home->winTable().win_file_open_log(QStringLiteral("a.ml2"), QStringLiteral("ML2"));
    for (const char* n : {"fileclose", "allclose", "save", "print_data", "h_disp", "v_disp", "c_disp", "mGrp_Draw"}) {
        home->setMenuItemEnabled(QString::fromLatin1(n), true);
    }
    for (int i : {14, 17, 20}) home->setToolbarButtonEnabled(i, true);
    link().link_mode = OpMode::Log;
    home->setStatusPanelText(4, QStringLiteral("動作：ログモード"));
    home->allclose_Click();
    for (const char* n : {"fileclose", "allclose", "save", "print_data", "h_disp", "v_disp", "c_disp", "mGrp_Draw"}) {
        EXPECT_FALSE(home->menuItem(QString::fromLatin1(n))->isEnabled()) << n;
    }
    for (int i : {14, 17, 20}) EXPECT_FALSE(home->toolbarButton(i)->isEnabled()) << i;
    EXPECT_EQ(link().link_mode, OpMode::None);
    EXPECT_EQ(home->statusPanelText(4), QStringLiteral("動作："));
    EXPECT_FALSE(home_state().app_closing_flag);
}

TEST_F(HomeCommandsTest, CloseAllWhileConnectedKeepsTheModeText) {
    link().link_mode = OpMode::Tag;
    link().link_connected_flag = true;
    home->setStatusPanelText(1, QStringLiteral("接続中"));
    home->allclose_Click();
    EXPECT_EQ(link().link_mode, OpMode::Tag);
}

TEST_F(HomeCommandsTest, CloseCommandClosesOnlyTheActiveWindow) {
    home->winTable().win_file_open_log(QStringLiteral("a.ml2"), QStringLiteral("ML2"));
    home->winTable().win_logger_open_log(QStringLiteral("02"));
    home_state().win_unsaved_flags[1] = 1;
    ScopedMessageBoxHook box(MsgResult::No);
    home->fileclose_Click();
    // The question offers Yes/No only while the main window closes things.
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(home->winTable().win_all_use_ct(), 1);
    EXPECT_EQ(key(0), QStringLiteral("F00a.ml2"));
    EXPECT_EQ(home_state().close_reason, 0);
    EXPECT_FALSE(home_state().app_closing_flag);
}

// ---------------------------------------------------------------- hand-over

TEST_F(HomeCommandsTest, HandedOverFileWaitsForIdleAndOpensOnTheNextTick) {
    std::vector<QString> opened;
    home_state().targets.commands[HomeCommand::FileOpen] = [&] {
        EXPECT_TRUE(home_state().pending_file_flag);
        opened.push_back(home_state().pending_file_path);
    };
    home_state().app_idle_flag = false;
    home->MDIForm_LinkExecute(QStringLiteral("\"/tmp/busy.ml2\""));
    EXPECT_FALSE(home_state().pending_file_flag);  // dropped during a command
    home_state().app_idle_flag = true;
    home->Timer3_Timer();
    EXPECT_TRUE(opened.empty());

    home->showMinimized();
    home->MDIForm_LinkExecute(QStringLiteral("\"/tmp/My Data/A.ML2\""));
    EXPECT_TRUE(home->isMaximized());
    EXPECT_TRUE(home_state().pending_file_flag);
    EXPECT_EQ(home_state().pending_file_path, QStringLiteral("/tmp/My Data/A.ML2"));
    home->Timer3()->start();
    ASSERT_TRUE(waitUntil([&] { return !opened.empty(); }, 1000));
    EXPECT_EQ(opened, std::vector<QString>{QStringLiteral("/tmp/My Data/A.ML2")});
    EXPECT_FALSE(home_state().pending_file_flag);
    // The next ticks find nothing pending.
    home->Timer3_Timer();
    home->Timer3_Timer();
    EXPECT_EQ(opened.size(), 1u);
}

// ---------------------------------------------------------------- closing sequence

TEST_F(HomeCommandsTest, ClosingWritesTheGraphOptionAndReleasesTheRoots) {
    QDir().mkpath(user_config_dir(model().user_dir));
    home->winTable().win_file_open_log(QStringLiteral("a.ml2"), QStringLiteral("ML2"));
    home->setAutoDrawChecked(true);
    ASSERT_TRUE(home->MDIForm_QueryUnload(0));
    QFile f(graph_option_path(model().user_dir));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("#TRUE#\r\n"));
    EXPECT_EQ(home->winTable().win_all_use_ct(), 0);
    EXPECT_FALSE(model().logger_main);
    EXPECT_FALSE(model().file_main);
    EXPECT_FALSE(model().dao_workspace);
    EXPECT_EQ(link().cmd_s_req[0], QString());  // the exit window freed the tables
}

TEST_F(HomeCommandsTest, ExitCancelledInTheSaveDialogKeepsTheProgramOpen) {
    home->winTable().win_logger_open_log(QStringLiteral("01"));
    home_state().win_unsaved_flags[0] = 1;
    home_state().targets.commands[HomeCommand::Save] = [] { home_state().close_cancel_flag = true; };
    ScopedMessageBoxHook box(std::vector<MsgResult>{MsgResult::Yes, MsgResult::Yes, MsgResult::No});
    EXPECT_FALSE(home->MDIForm_QueryUnload(0));
    EXPECT_EQ(box.records().size(), 3u);
    EXPECT_FALSE(home_state().close_cancel_flag);
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_TRUE(model().logger_main);  // nothing was released
}

TEST_F(HomeCommandsTest, ClosingFromTheProgramClosesWindowsWithoutAsking) {
    home->winTable().win_logger_open_log(QStringLiteral("01"));
    home_state().win_unsaved_flags[0] = 1;
    ScopedMessageBoxHook box(MsgResult::Yes);
    EXPECT_TRUE(home->MDIForm_QueryUnload(1));
    EXPECT_TRUE(box.records().empty());
}

TEST_F(HomeCommandsTest, ExitCommandAsksForUnsavedDataAndEndsTheWindow) {
    QDir().mkpath(user_config_dir(model().user_dir));
    home->winTable().win_logger_open_log(QStringLiteral("01"));
    home_state().win_unsaved_flags[0] = 1;
    ScopedMessageBoxHook box(MsgResult::No);
    home->endprog_Click();
    EXPECT_EQ(box.records().size(), 1u);
    EXPECT_FALSE(home->isVisible());
}

}  // namespace
}  // namespace mq::test

namespace mq::test {
namespace {

// The program's application object is the last boundary: an error out of any
// event handler is reported and the event loop goes on.
TEST(GuardedApplicationTest, AnErrorOutOfAnEventHandlerIsReportedAndTheLoopGoesOn) {
    ensureApplication();
    struct Throwing : QObject {
        bool event(QEvent*) override { throw std::runtime_error("injected"); }
    } thrower;
    platform::ScopedMessageBoxHook boxes;
    QEvent e(QEvent::User);
    // What GuardedApplication::notify does with the test program's plain application.
    EXPECT_TRUE(notify_guarded([&] { return QCoreApplication::instance()->QCoreApplication::notify(&thrower, &e); }));
    EXPECT_EQ(boxes.texts(), std::vector<QString>{QStringLiteral("エラーが発生しました。")});
    // The next event is delivered as usual.
    QObject target;
    int handled = 0;
    QObject::connect(&target, &QObject::objectNameChanged, [&] { ++handled; });
    target.setObjectName(QStringLiteral("still running"));
    EXPECT_EQ(handled, 1);
    EXPECT_TRUE(notify_guarded([] { return false; }) == false);
}

}  // namespace
}  // namespace mq::test
