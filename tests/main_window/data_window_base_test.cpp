// The pieces every data window shares: the command state after the last data
// window, the idle flag around commands, the close question and the ending of
// a fill given up, run on a real main window with windows of the base class.
#include <gtest/gtest.h>

#include <QMdiSubWindow>
#include <QPointer>

#include <stdexcept>

#include "fake_windows.h"
#include "main_window/data_window_base.h"

namespace mq::test {
namespace {

using platform::MsgResult;
using platform::ScopedMessageBoxHook;

// A data window with nothing of its own: the base's close protocol as is.
class PlainWindow : public DataWindowBase {
public:
    explicit PlainWindow(const QString& tag, bool graph = true)
        : DataWindowBase(tag), m_grid(new platform::Grid(this)), m_graph(graph) {}
    platform::Grid* vsFlexGrid1() override { return m_grid; }
    void bind_Data1(std::shared_ptr<DbRecordset>) override {}
    bool has_graph() const override { return m_graph; }

private:
    platform::Grid* m_grid;
    bool m_graph;
};

class DataWindowBaseTest : public HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        HomeTargets& t = home_state().targets;
        t.create_window[DataWindowKind::Log] = [this](const QString& tag) {
            auto* w = new PlainWindow(tag, withGraph);
            plain.push_back(w);
            return w;
        };
        t.fill[DataFill::LoggerLog] = [this](IDataWindow& w, const QString&) {
            if (giveUpFill) static_cast<PlainWindow&>(w).give_up_fill();
        };
        t.commands[HomeCommand::Save] = [this] {
            ++saves;
            if (saveCancelled) home_state().close_cancel_flag = true;
        };
    }

    // The data commands switched by hand, against what the state says.
    void setDataCommands(bool on) {
        for (int b : {toolbar1::Save, toolbar1::Print, toolbar1::Graph}) home->setToolbarButtonEnabled(b, on);
        for (const char* n : {"fileclose", "allclose", "save", "print_data", "h_disp", "v_disp", "c_disp", "mGrp_Draw"}) {
            home->setMenuItemEnabled(QString::fromLatin1(n), on);
        }
    }

    bool dataCommandsOn() const {
        bool on = home->menuItem(QStringLiteral("save"))->isEnabled();
        for (int b : {toolbar1::Save, toolbar1::Print, toolbar1::Graph}) {
            EXPECT_EQ(home->toolbarButton(b)->isEnabled(), on) << b;
        }
        return on;
    }

    std::vector<QPointer<PlainWindow>> plain;
    bool giveUpFill = false;
    bool withGraph = true;
    bool saveCancelled = false;
    int saves = 0;
};

TEST_F(DataWindowBaseTest, CommandStateAfterTheLastWindowFollowsTheLinkNotTheStatusText) {
    struct Case {
        bool connected;
        ForgetLogger forget;
        OpMode mode;
        const char* serial;
        const char16_t* panel1;
    };
    const Case cases[] = {
        {true, ForgetLogger::ModeAndSerial, OpMode::Log, "S1", u"接続中"},
        {false, ForgetLogger::ModeAndSerial, OpMode::None, "", u"未接続"},
        {false, ForgetLogger::Mode, OpMode::None, "S1", u"未接続"},
        {false, ForgetLogger::Nothing, OpMode::Log, "S1", u"未接続"},
    };
    for (const Case& c : cases) {
        link().link_connected_flag = c.connected;
        link().link_mode = OpMode::Log;
        link().link_serial_no = QStringLiteral("S1");
        // The status text says the opposite of the link on purpose.
        home->setStatusPanelText(1, QStringLiteral("接続中"));
        setDataCommands(true);
        home->update_command_state(c.forget);
        EXPECT_FALSE(dataCommandsOn());
        EXPECT_EQ(link().link_mode, c.mode) << int(c.forget);
        EXPECT_EQ(link().link_serial_no, QString::fromLatin1(c.serial)) << int(c.forget);
        EXPECT_EQ(home->statusPanelText(1), QString::fromUtf16(c.panel1)) << c.connected;
    }
}

TEST_F(DataWindowBaseTest, CommandStateStaysWhileADataWindowIsOpen) {
    home->winTable().win_logger_open_log(QStringLiteral("01"));
    ASSERT_EQ(home->win_all_use_ct(), 1);
    link().link_connected_flag = false;
    link().link_mode = OpMode::Log;
    setDataCommands(true);
    home->update_command_state();
    EXPECT_TRUE(dataCommandsOn());
    EXPECT_EQ(link().link_mode, OpMode::Log);
}

TEST_F(DataWindowBaseTest, BusyScopeGivesTheIdleStateBackOnEveryPathUnlessKept) {
    struct Case {
        bool keep;
        bool fail;
        bool idleAfter;
    };
    for (const Case c : {Case{false, false, true}, Case{false, true, true}, Case{true, false, false}}) {
        home_state().app_idle_flag = true;
        try {
            BusyScope busy;
            EXPECT_FALSE(home_state().app_idle_flag);
            if (c.keep) busy.keep_busy();
            if (c.fail) throw std::runtime_error("command failed");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(home_state().app_idle_flag, c.idleAfter) << c.keep << c.fail;
    }
}

TEST_F(DataWindowBaseTest, CloseQuestionOfAnUnsavedLoggerWindow) {
    struct Case {
        MsgResult answer;
        bool saveCancelled;
        bool closed;
        int saves;
        bool cancelFlag;
        bool closeResult;
    };
    const Case cases[] = {
        {MsgResult::Cancel, false, false, 0, true, false},
        {MsgResult::Yes, false, true, 1, false, false},
        {MsgResult::Yes, true, false, 1, true, true},
        {MsgResult::No, false, true, 0, false, false},
    };
    for (const Case& c : cases) {
        home->winTable().win_logger_open_log(QStringLiteral("03"));
        QPointer<PlainWindow> w = plain.back();
        ASSERT_TRUE(w);
        home_state().win_unsaved_flags[0] = 1;
        home_state().close_cancel_flag = true;  // a stale flag: the question starts afresh
        home_state().close_result = false;
        saveCancelled = c.saveCancelled;
        saves = 0;
        ScopedMessageBoxHook box(c.answer);
        frame(w)->close();  // the user's close: Yes/No/Cancel
        ASSERT_EQ(box.records().size(), 1u);
        EXPECT_EQ(box.records()[0].text, QStringLiteral("新規ファイルLOG03を保存しますか？"));
        EXPECT_EQ(box.records()[0].buttons, platform::MsgButtons::YesNoCancel);
        EXPECT_EQ(w.isNull() || !frame(w)->isVisible(), c.closed) << int(c.answer);
        EXPECT_EQ(saves, c.saves);
        EXPECT_EQ(home_state().close_cancel_flag, c.cancelFlag) << int(c.answer);
        EXPECT_EQ(home_state().close_result, c.closeResult) << int(c.answer);
        if (!c.closed) {
            // The program's own close never asks.
            home_state().close_reason = 1;
            home->winTable().win_all_close();
            home_state().close_reason = 0;
            EXPECT_EQ(box.records().size(), 1u);
        }
        ASSERT_EQ(home->win_all_use_ct(), 0);
    }
}

TEST_F(DataWindowBaseTest, AGivenUpFillClosesTheWindowWithoutAskingAndGreysTheCommands) {
    link().link_connected_flag = false;
    link().link_mode = OpMode::Log;
    setDataCommands(true);
    giveUpFill = true;
    ScopedMessageBoxHook box(MsgResult::Cancel);
    home->winTable().win_logger_open_log(QStringLiteral("07"));
    QPointer<PlainWindow> w = plain.back();
    EXPECT_TRUE(w.isNull() || w->gave_up());
    EXPECT_TRUE(box.records().empty());
    EXPECT_EQ(home->win_all_use_ct(), 0);
    EXPECT_FALSE(home_state().area_window_flags[7] && w && frame(w) && frame(w)->isVisible());
    EXPECT_FALSE(dataCommandsOn());
    EXPECT_EQ(link().link_mode, OpMode::None);
}

// A window without a graph (TAG data) turns the data commands on without the
// graph ones; once the last one is given up, the graph menu follows the mode
// (none in TAG mode).
TEST_F(DataWindowBaseTest, AWindowWithoutAGraphLeavesTheGraphCommandsAlone) {
    for (const bool graph : {true, false}) {
        SCOPED_TRACE(graph);
        withGraph = graph;
        giveUpFill = false;
        // A logger of the mode whose data the window shows.
        link().link_connected_flag = true;
        link().link_mode = graph ? OpMode::Log : OpMode::Tag;
        setDataCommands(false);
        home->setMenuItemEnabled(QStringLiteral("menu_graph"), false);
        home->winTable().win_logger_open_log(QStringLiteral("05"));
        QPointer<PlainWindow> w = plain.back();
        ASSERT_TRUE(w);
        w->cap_size_and_enable_commands(QSize(9930, 4900));
        EXPECT_TRUE(home->toolbarButton(toolbar1::Save)->isEnabled());
        EXPECT_TRUE(home->toolbarButton(toolbar1::Print)->isEnabled());
        EXPECT_TRUE(home->menuItem(QStringLiteral("save"))->isEnabled());
        EXPECT_EQ(home->toolbarButton(toolbar1::Graph)->isEnabled(), graph);
        EXPECT_EQ(home->menuItem(QStringLiteral("mGrp_Draw"))->isEnabled(), graph);
        EXPECT_EQ(home->menuItem(QStringLiteral("menu_graph"))->isEnabled(), graph);

        // Given up as the last window: every data command greys; the graph
        // menu stays in LOG mode and goes in TAG mode.
        home->setMenuItemEnabled(QStringLiteral("menu_graph"), true);
        w->give_up_fill();
        EXPECT_EQ(home->win_all_use_ct(), 0);
        EXPECT_FALSE(dataCommandsOn());
        EXPECT_EQ(home->menuItem(QStringLiteral("menu_graph"))->isEnabled(), graph);
    }
}

TEST(DataWindowBaseHelpersTest, StatisticsHeads) {
    ensureApplication();
    platform::Grid stats;
    stats.setRows(7);
    stats.setCols(5);
    DataWindowBase::write_statistics_row_names(&stats);
    EXPECT_EQ(stats.TextMatrix(1, 0), QStringLiteral("最大値"));
    EXPECT_EQ(stats.TextMatrix(4, 0), QStringLiteral("積算値[*h]"));
    EXPECT_EQ(stats.TextMatrix(6, 0), QStringLiteral("下限警報数"));
    // The TAG summary takes the first three names only.
    platform::Grid summary;
    summary.setRows(7);
    summary.setCols(5);
    DataWindowBase::write_statistics_row_names(&summary, 3);
    EXPECT_EQ(summary.TextMatrix(3, 0), QStringLiteral("平均値"));
    EXPECT_EQ(summary.TextMatrix(4, 0), QString());
    EXPECT_EQ(DataWindowBase::channel_head(2, QStringLiteral("mV ")), QStringLiteral("CH3[mV ]"));
}

}  // namespace
}  // namespace mq::test
