#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QPointer>
#include <QRadioButton>

#include "log_data/log_data.h"
#include "log_data/log_grid_display.h"
#include "log_data/log_window_fixture.h"
#include "main_window/home.h"
#include "model/common_proc.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/records_read.h"
#include "sequencer/seq_state.h"

namespace mq::test {
namespace {

using platform::MsgButtons;
using platform::MsgResult;
using platform::ScopedMessageBoxHook;

constexpr quint32 kRed = 255;
constexpr quint32 kBlue = 16711680;

class LogWindowTest : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        home = std::make_unique<HOME>();
        home->setExitStepDelay(0);
        home->Timer3()->stop();
        home->show();
        install_log_data_targets(home_state().targets);
        link().link_connected_flag = true;
        seq().records_read_stand_in = [this](Prog_Dialog& dlg, const RecordsRead& read) {
            ++reads;
            readTarget = qint16(read.number);
            onRead(dlg, read);
        };
    }

    void TearDown() override {
        for (QMdiSubWindow* sub : home->mdiArea()->subWindowList()) {
            home_state().close_reason = 1;
            sub->close();
        }
        QCoreApplication::processEvents();
        home_state().targets = HomeTargets{};
        home.reset();
        LogFixture::TearDown();
    }

    // What the read operation does, by default: hand the reply over and succeed.
    std::function<void(Prog_Dialog&, const RecordsRead&)> onRead = [this](Prog_Dialog& dlg, const RecordsRead& read) {
        dlg.set_progress_max(setting().data_count() + 1);
        dlg.set_progress_value(0);
        const qint32 n = setting().data_count();
        EXPECT_EQ(read.records, n);
        read.hand(reply, n / 3, qint16(n % 3));
        progressAfterRecords = dlg.progress_value();
        dlg.exit_success();
    };

    log_data* open(const QString& nn = QStringLiteral("01")) {
        home->winTable().win_logger_open_log(nn);
        QCoreApplication::processEvents();
        QWidget* w = home_state().win_windows[0].data();
        return qobject_cast<log_data*>(w);
    }

    QMdiSubWindow* frame(QWidget* w) { return home->winTable().subWindowOf(w); }

    QStringList row(platform::Grid* g, int r) {
        QStringList out;
        for (int c = 0; c < g->Cols(); ++c) out << g->TextMatrix(r, c);
        return out;
    }
    QStringList column(platform::Grid* g, int c) {
        QStringList out;
        for (int r = 0; r < g->Rows(); ++r) out << g->TextMatrix(r, c);
        return out;
    }

    // The area of the main scenario: CH1 K (alarms 30.0/10.0, base 20.0),
    // CH2 unused, CH3 voltage with two decimals, CH4 T always over range
    // except one missing value; six records one minute apart from 10:00:17.
    void scenario() {
        clsLOGGER_SETTING& s = setting();
        s.let_log_name(QStringLiteral("TESTLOG1"));
        s.let_Worker(QStringLiteral("A&B"));
        s.let_Comment(QStringLiteral("RUN 7"));
        channel(0, QStringLiteral("K"), 1, QStringLiteral("30.0"), QStringLiteral("10.0"), QStringLiteral("20.0"));
        channel(1, QStringLiteral("-"));
        channel(2, QStringLiteral("V"), 2, QStringLiteral("1.00"), QStringLiteral("0.00"), QStringLiteral("0.00"));
        s.let_Ch_unit(2, QStringLiteral("mV"));
        channel(3, QStringLiteral("T"), 1, QStringLiteral("100.0"), QStringLiteral("10.0"), QStringLiteral("0.0"));
        recording(civil(2024, 1, 15, 10, 0, 17), civil(2024, 1, 15, 10, 5, 0), QStringLiteral("00:01:00"), 6);
        reply = buildReply({{{"  253", "12345", "32767"}, QLatin1Char('0')},
                            {{"  310", "32766", "32767"}, QLatin1Char('1')},
                            {{"32767", " -150", "32767"}, QLatin1Char('0')},
                            {{"   80", "  500", "32767"}, QLatin1Char('0')},
                            {{"  202", "-----", "32767"}, QLatin1Char('0')},
                            {{"  150", "  100", "-----"}, QLatin1Char('0')}});
    }

    std::unique_ptr<HOME> home;
    QString reply;
    int reads = 0;
    qint16 readTarget = 0;
    double progressAfterRecords = -1;
};

// ---------------------------------------------------------------- the logger read

TEST_F(LogWindowTest, ReadAreaShowsRecordsMarksRangeCellsAndMissingValues) {
    scenario();
    log_data* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(readTarget, 1);
    EXPECT_EQ(setting().area_no(), 1);
    EXPECT_FALSE(home_state().data_win_init_flag);
    EXPECT_EQ(progressAfterRecords, 6.0);  // one step per record

    platform::Grid* g = w->vsFlexGrid1();
    ASSERT_EQ(g->Rows(), 7);
    EXPECT_EQ(row(g, 0), (QStringList{"ﾏｰｸ", "No", "収録日時", "CH1[ﾟC ]", "CH2[ ]", "CH3[mV ]", "CH4[ﾟC ]"}));
    EXPECT_EQ(row(g, 1), (QStringList{"   ", "1", "2024/01/15 10:00:17", "      25.3", "", "▲ 123.45", "     O.R."}));
    EXPECT_EQ(row(g, 2), (QStringList{" * ", "2", "2024/01/15 10:01:00", "▲   31.0", "", "     U.R.", "     O.R."}));
    EXPECT_EQ(row(g, 3), (QStringList{"   ", "3", "2024/01/15 10:02:00", "     O.R.", "", "▼  -1.50", "     O.R."}));
    EXPECT_EQ(row(g, 4), (QStringList{"   ", "4", "2024/01/15 10:03:00", "▼    8.0", "", "      5.00", "     O.R."}));
    EXPECT_EQ(row(g, 5), (QStringList{"   ", "5", "2024/01/15 10:04:00", "      20.2", "", "    ------", "     O.R."}));
    EXPECT_EQ(row(g, 6), (QStringList{"   ", "6", "2024/01/15 10:05:00", "      15.0", "", "      1.00", "    ------"}));
    EXPECT_EQ(g->ColAlignment(1), Qt::AlignLeft | Qt::AlignVCenter);

    // Alarm colours: 31.0 above 30.0, 8.0 below 10.0; the missing CH4 value
    // (which a query reads as 0, below 10.0) is no alarm.
    EXPECT_EQ(g->foreColorAt(2, 3), kRed);
    EXPECT_EQ(g->foreColorAt(4, 3), kBlue);
    EXPECT_EQ(g->foreColorAt(1, 3), 0u);
    EXPECT_EQ(g->foreColorAt(6, 6), 0u);
    EXPECT_EQ(setting().CH_H_ALM_NUM(0), 1);
    EXPECT_EQ(setting().CH_L_ALM_NUM(0), 1);
    EXPECT_EQ(setting().CH_L_ALM_NUM(3), 0);
}

TEST_F(LogWindowTest, ReadAreaFillsLabelsStatisticsAndIntegration) {
    scenario();
    log_data* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Label5()->text(), QStringLiteral("TESTLOG1"));
    EXPECT_EQ(w->Label21()->text(), QStringLiteral("00:01:00"));
    EXPECT_EQ(w->Label20()->text(), QStringLiteral("A&&B     "));
    EXPECT_EQ(w->Label19()->text(), QStringLiteral("RUN 7   "));
    // The doubled "&" of the caption shows as one.
    QLabel shown;
    shown.setTextFormat(Qt::PlainText);
    shown.setFont(w->Label20()->font());
    shown.setText(QStringLiteral("A&B     "));
    EXPECT_EQ(w->Label20()->sizeHint().width(), shown.sizeHint().width());
    EXPECT_EQ(w->Label23()->text(), QStringLiteral("24/01/15 10:00:17"));
    EXPECT_EQ(w->Label22()->text(), QStringLiteral("24/01/15 10:05:00"));
    EXPECT_EQ(w->Label1()->text(), QStringLiteral("6"));

    // CH1: 25.3, 31.0, 8.0, 20.2, 15.0 (O.R. left out): average 99.5 / 5.
    // H: 5.3 x 43 s + 11 x 60 + 1420 x 60 (O.R. counts 1440) + 0.2 x 60 = 86099.9 -> 23.9 h.
    // L: 12 x 60 = 720 -> 0.2 h.
    // CH3: 123.45, -1.50, 5.00, 1.00: average 31.9875 -> 31.99; no integration, no alarms.
    platform::Grid* st = w->MSFlexGrid2();
    EXPECT_EQ(column(st, 0), (QStringList{"", "最大値", "最小値", "平均値", "積算値[*h]", "上限警報数", "下限警報数"}));
    EXPECT_EQ(column(st, 1), (QStringList{"CH1[ﾟC ]", "31.0 ", "8.0 ", "19.9 ", "23.9 ", "1 ", "1 "}));
    EXPECT_EQ(column(st, 2), (QStringList{"CH2[ ]", "", "", "", "", "", ""}));
    EXPECT_EQ(column(st, 3), (QStringList{"CH3[mV ]", "123.45 ", "-1.50 ", "31.99 ", "       ", "      ", "      "}));
    EXPECT_EQ(column(st, 4), (QStringList{"CH4[ﾟC ]", "", "", "", "", "", ""}));
    EXPECT_TRUE(w->Option1()->isChecked());

    clsLOGGER_SETTING& s = setting();
    EXPECT_EQ(s.Ch_data_count(0), 5);
    EXPECT_EQ(s.Ch_data_count(2), 4);
    EXPECT_EQ(s.Ch_data_count(3), 0);
    EXPECT_DOUBLE_EQ(s.Ch_max_value(0), 31.0);
    EXPECT_DOUBLE_EQ(s.Ch_min_value(0), 8.0);
    EXPECT_DOUBLE_EQ(s.Ch_ave_value(0), 19.9);
    EXPECT_DOUBLE_EQ(s.Ch_h_sum_value(0), 23.9);
    EXPECT_DOUBLE_EQ(s.Ch_l_sum_value(0), 0.2);
    EXPECT_DOUBLE_EQ(s.Ch_max_value(2), 123.45);
    EXPECT_DOUBLE_EQ(s.Ch_min_value(2), -1.5);
    // A channel without any valid value keeps its reset statistics.
    EXPECT_DOUBLE_EQ(s.Ch_max_value(3), -999.9);
    EXPECT_DOUBLE_EQ(s.Ch_min_value(3), 9999.9);

    // The L integration on request, and back; other columns stay. (The area
    // select dialog enables the window once every window is filled.)
    frame(w)->setEnabled(true);
    w->Option2()->click();
    EXPECT_EQ(st->TextMatrix(4, 1), QStringLiteral("0.2 "));
    EXPECT_EQ(st->TextMatrix(4, 3), QStringLiteral("       "));
    EXPECT_EQ(st->TextMatrix(4, 4), QString());
    w->Option1()->click();
    EXPECT_EQ(st->TextMatrix(4, 1), QStringLiteral("23.9 "));
}

TEST_F(LogWindowTest, AlarmValuesThatAreNotSetRaiseNoAlarm) {
    channel(0, QStringLiteral("T"));  // alarms and base "-----"
    channel(1, QStringLiteral("K"), 1, QStringLiteral("50.0"));  // only the high alarm set
    channel(2, QStringLiteral("-"));
    channel(3, QStringLiteral("-"));
    recording(civil(2024, 2, 1, 8, 0, 0), civil(2024, 2, 1, 8, 0, 20), QStringLiteral("00:00:10"), 3);
    reply = buildReply({{{"  250", "  600"}, QLatin1Char('0')},
                        {{" -120", " -300"}, QLatin1Char('0')},
                        {{"  100", "  100"}, QLatin1Char('0')}});
    log_data* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(setting().CH_H_ALM_NUM(0), 0);
    EXPECT_EQ(setting().CH_L_ALM_NUM(0), 0);
    EXPECT_EQ(setting().CH_H_ALM_NUM(1), 1);  // 60.0 above 50.0
    EXPECT_EQ(setting().CH_L_ALM_NUM(1), 0);  // -30.0 is no alarm without a low value
    platform::Grid* g = w->vsFlexGrid1();
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(g->foreColorAt(r, 3), 0u) << r;
        EXPECT_EQ(g->foreColorAt(r, 4), r == 1 ? kRed : 0u) << r;
    }
    EXPECT_EQ(w->MSFlexGrid2()->TextMatrix(5, 1), QStringLiteral("0 "));
    EXPECT_EQ(w->MSFlexGrid2()->TextMatrix(5, 2), QStringLiteral("1 "));
}

TEST_F(LogWindowTest, ALoneLowAlarmCountsOnlyTheValuesBelowIt) {
    // Only the low alarm set, above 0: the unset high side must not make the
    // pair look like a swapped band.
    channel(0, QStringLiteral("K"), 1, QStringLiteral("-----"), QStringLiteral("10.0"));
    channel(1, QStringLiteral("E"), 1, QStringLiteral("-20.0"), QStringLiteral("-----"));
    channel(2, QStringLiteral("-"));
    channel(3, QStringLiteral("-"));
    recording(civil(2024, 2, 1, 8, 0, 0), civil(2024, 2, 1, 8, 0, 20), QStringLiteral("00:00:10"), 3);
    reply = buildReply({{{"   50", " -300"}, QLatin1Char('0')},
                        {{"  200", " -100"}, QLatin1Char('0')},
                        {{"  300", " -250"}, QLatin1Char('0')}});
    log_data* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(setting().CH_L_ALM_NUM(0), 1);  // 5.0 below 10.0
    EXPECT_EQ(setting().CH_H_ALM_NUM(0), 0);
    EXPECT_EQ(setting().CH_H_ALM_NUM(1), 1);  // -10.0 above -20.0
    EXPECT_EQ(setting().CH_L_ALM_NUM(1), 0);
    platform::Grid* g = w->vsFlexGrid1();
    EXPECT_EQ(g->foreColorAt(1, 3), kBlue);
    EXPECT_EQ(g->foreColorAt(2, 3), 0u);
    EXPECT_EQ(g->foreColorAt(3, 3), 0u);
    EXPECT_EQ(g->foreColorAt(1, 4), 0u);
    EXPECT_EQ(g->foreColorAt(2, 4), kRed);
    EXPECT_EQ(g->foreColorAt(3, 4), 0u);
    EXPECT_EQ(w->MSFlexGrid2()->TextMatrix(6, 1), QStringLiteral("1 "));
    EXPECT_EQ(w->MSFlexGrid2()->TextMatrix(5, 2), QStringLiteral("1 "));
}

TEST_F(LogWindowTest, GarbledFieldsStayOutOfTheStatisticsAndAlarms) {
    channel(0, QStringLiteral("K"), 1, QStringLiteral("30.0"), QStringLiteral("10.0"), QStringLiteral("0.0"));
    for (int ch = 1; ch < 4; ++ch) channel(ch, QStringLiteral("-"));
    recording(civil(2024, 2, 1, 8, 0, 0), civil(2024, 2, 1, 8, 0, 30), QStringLiteral("00:00:10"), 4);
    reply = buildReply({{{"  200"}, QLatin1Char('0')},
                        {{"     "}, QLatin1Char('0')},
                        {{"  4x0"}, QLatin1Char('0')},
                        {{"  150"}, QLatin1Char('0')}});
    log_data* w = open();
    ASSERT_NE(w, nullptr);
    platform::Grid* g = w->vsFlexGrid1();
    EXPECT_EQ(column(g, 3).mid(1), (QStringList{"▲   20.0", "    ------", "    ------", "▼   15.0"}));
    // Read as 0 they would be the minimum and two low alarms.
    EXPECT_EQ(column(w->MSFlexGrid2(), 1), (QStringList{"CH1[ﾟC ]", "20.0 ", "15.0 ", "17.5 ", "0.1 ", "0 ", "0 "}));
    EXPECT_EQ(g->foreColorAt(2, 3), 0u);
    EXPECT_EQ(g->foreColorAt(3, 3), 0u);
}

TEST_F(LogWindowTest, AWorkingDatabaseThatCannotBeMadeGivesTheWindowUp) {
    scenario();
    // A file where the working-database folder belongs.
    QFile blocker(userDir + QStringLiteral("/DBF"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_NO_THROW(open());
    QCoreApplication::processEvents();
    EXPECT_EQ(reads, 0);
    EXPECT_TRUE(home_state().data_win_init_flag);
    EXPECT_EQ(home->winTable().win_all_use_ct(), 0);
    EXPECT_TRUE(home_state().win_key_table[0].isEmpty());
    EXPECT_TRUE(link().link_connected_flag);

    // The same for an empty area, which binds its empty database at once.
    model().act_logger_data = model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L01"));
    setting().let_data_count(0);
    home_state().data_win_init_flag = false;
    EXPECT_NO_THROW(open());
    QCoreApplication::processEvents();
    EXPECT_TRUE(home_state().data_win_init_flag);
    EXPECT_EQ(home->winTable().win_all_use_ct(), 0);
}

TEST_F(LogWindowTest, ReadAreaWritesTheGraphDefaults) {
    scenario();
    ASSERT_NE(open(), nullptr);
    const clsLOGGER_GraphInfo& g = area().clsLOGGER_GraphInfo();
    EXPECT_EQ(g.log_name(), QStringLiteral("TESTLOG1"));
    EXPECT_EQ(g.worker_name(), QStringLiteral("A&B     "));
    EXPECT_EQ(g.DataCount(), 6);
    EXPECT_EQ(g.GrpDrw_StartPos(), 1);
    EXPECT_EQ(g.GrpDrw_EndPos(), 6);
    EXPECT_EQ(g.Ch_period_pos(2), 2);
    EXPECT_DOUBLE_EQ(g.Ch_H_Alm(0), 30.0);
    EXPECT_DOUBLE_EQ(g.Ch_L_Alm(0), 10.0);
    EXPECT_DOUBLE_EQ(g.Ch_sum_std_count(0), 20.0);
    EXPECT_EQ(g.Ch_G_color(0), 16711680);
    EXPECT_EQ(g.Ch_G_color(1), 65280);
    EXPECT_EQ(g.Ch_G_color(2), 255);
    EXPECT_EQ(g.Ch_G_color(3), 0);
    EXPECT_EQ(g.CH_GraphDrawSw(), QStringLiteral("1111"));
    EXPECT_EQ(g.CH_GraphAxDrawSw(), QStringLiteral("1111"));
    EXPECT_EQ(g.GrdDispSort(), QStringLiteral("1234"));
    EXPECT_EQ(g.LIneBold_Sw(), QStringLiteral("1"));
    EXPECT_EQ(g.Label_Sw(), QStringLiteral("0"));
    EXPECT_EQ(g.DataMark_Sw(), QStringLiteral("0"));
    EXPECT_EQ(g.H_Alm_Sw(3), QStringLiteral("0"));
}

TEST_F(LogWindowTest, AFilledWindowIsNormalSizedAndLeftDisabled) {
    scenario();
    log_data* w = open();
    ASSERT_NE(w, nullptr);
    QMdiSubWindow* sub = frame(w);
    ASSERT_NE(sub, nullptr);
    EXPECT_FALSE(sub->isMinimized());
    EXPECT_FALSE(sub->isEnabled());
    EXPECT_EQ(home_state().win_key_table[0], QStringLiteral("L01"));
}

TEST_F(LogWindowTest, ACancelledReadClosesTheWindowWithoutAQuestion) {
    scenario();
    // A stale unsaved mark in the slot must not make a window without data ask.
    home_state().win_unsaved_flags[0] = 1;
    onRead = [](Prog_Dialog& dlg, const RecordsRead&) {
        link().comm_cancel_flag = true;
        dlg.unload();
    };
    ScopedMessageBoxHook box(MsgResult::Cancel);
    open();
    QCoreApplication::processEvents();
    EXPECT_TRUE(box.records().empty());
    EXPECT_TRUE(home_state().data_win_init_flag);
    EXPECT_FALSE(link().comm_cancel_flag);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_EQ(home->winTable().win_all_use_ct(), 0);
    EXPECT_TRUE(home_state().win_key_table[0].isEmpty());
    EXPECT_FALSE(home->toolbarButton(14)->isEnabled());
    EXPECT_FALSE(home->menuItem(QStringLiteral("save"))->isEnabled());
}

TEST_F(LogWindowTest, ALostLinkClosesTheWindow) {
    scenario();
    onRead = [](Prog_Dialog& dlg, const RecordsRead&) {
        link().link_connected_flag = false;
        dlg.unload();
    };
    open();
    QCoreApplication::processEvents();
    EXPECT_TRUE(home_state().data_win_init_flag);
    EXPECT_EQ(home->winTable().win_all_use_ct(), 0);
    EXPECT_TRUE(home->mdiArea()->subWindowList().isEmpty() ||
                !home->mdiArea()->subWindowList().front()->isVisible());
}

TEST_F(LogWindowTest, AnEmptyAreaIsNotReadAndShowsAnEmptyTable) {
    scenario();
    setting().let_data_count(0);
    log_data* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(reads, 0);
    EXPECT_FALSE(home_state().data_win_init_flag);
    EXPECT_EQ(w->vsFlexGrid1()->Rows(), 1);
    EXPECT_EQ(w->vsFlexGrid1()->TextMatrix(0, 3), QStringLiteral("CH1[ﾟC ]"));
    EXPECT_EQ(w->Label1()->text(), QStringLiteral("0"));
    EXPECT_EQ(w->MSFlexGrid2()->TextMatrix(1, 1), QString());
    ASSERT_NE(w->Data1(), nullptr);
    EXPECT_EQ(w->Data1()->RecordCount(), 0);
    EXPECT_EQ(area().clsLOGGER_GraphInfo().DataCount(), 0);
}

// ---------------------------------------------------------------- closing

class LogWindowCloseTest : public LogWindowTest {
protected:
    // An open logger window with unsaved data.
    QPointer<log_data> openUnsaved() {
        scenario();
        setting().let_data_count(0);
        QPointer<log_data> w = open();
        home_state().win_unsaved_flags[0] = 1;
        home_state().close_reason = 0;
        home_state().targets.commands[HomeCommand::Save] = [this] {
            ++saves;
            savedData = model().act_logger_data;
            home_state().close_cancel_flag = abandonSave;
        };
        return w;
    }
    void closeIt(QWidget* w) {
        frame(w)->close();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    int saves = 0;
    bool abandonSave = false;
    std::shared_ptr<clsLOGGER_DATA> savedData;
};

TEST_F(LogWindowCloseTest, CancelKeepsTheWindow) {
    QPointer<log_data> w = openUnsaved();
    ScopedMessageBoxHook box(MsgResult::Cancel);
    closeIt(w);
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, QStringLiteral("新規ファイルLOG01を保存しますか？"));
    EXPECT_EQ(box.records()[0].title, QStringLiteral("ウインドウを閉じる"));
    EXPECT_EQ(box.records()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(box.records()[0].icon, platform::MsgIcon::Information);
    EXPECT_FALSE(w.isNull());
    EXPECT_TRUE(home_state().close_cancel_flag);
    EXPECT_EQ(home_state().win_unsaved_flags[0], 1);
    EXPECT_EQ(home_state().win_key_table[0], QStringLiteral("L01"));
    EXPECT_EQ(saves, 0);
}

TEST_F(LogWindowCloseTest, YesSavesThenCloses) {
    QPointer<log_data> w = openUnsaved();
    model().act_logger_data = model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L05"));
    ScopedMessageBoxHook box(MsgResult::Yes);
    closeIt(w);
    EXPECT_EQ(saves, 1);
    ASSERT_NE(savedData, nullptr);
    EXPECT_EQ(savedData->ID(), QStringLiteral("L01"));
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(home_state().win_unsaved_flags[0], 0);
    EXPECT_TRUE(home_state().win_key_table[0].isEmpty());
}

TEST_F(LogWindowCloseTest, AnAbandonedSaveKeepsTheWindowAndTellsTheMainWindow) {
    QPointer<log_data> w = openUnsaved();
    abandonSave = true;
    ScopedMessageBoxHook box(MsgResult::Yes);
    closeIt(w);
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(w.isNull());
    EXPECT_TRUE(home_state().close_result);
    EXPECT_EQ(home_state().win_unsaved_flags[0], 1);
}

TEST_F(LogWindowCloseTest, WhileTheProgramClosesOnlyYesAndNoAreOffered) {
    QPointer<log_data> w = openUnsaved();
    home_state().app_closing_flag = true;
    ScopedMessageBoxHook box(MsgResult::No);
    closeIt(w);
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(home_state().win_unsaved_flags[0], 0);
    EXPECT_EQ(saves, 0);
    home_state().app_closing_flag = false;
}

TEST_F(LogWindowCloseTest, CloseReasonOneAndSavedWindowsCloseWithoutAsking) {
    QPointer<log_data> w = openUnsaved();
    home_state().close_reason = 1;
    ScopedMessageBoxHook box(MsgResult::Cancel);
    closeIt(w);
    EXPECT_TRUE(box.records().empty());
    EXPECT_TRUE(w.isNull());

    home_state().close_reason = 0;
    QPointer<log_data> w2 = open(QStringLiteral("02"));
    home_state().win_unsaved_flags[0] = 0;
    closeIt(w2);
    EXPECT_TRUE(box.records().empty());
    EXPECT_TRUE(w2.isNull());
}

TEST_F(LogWindowCloseTest, AFileWindowNeverAsks) {
    home_state().win_key_table[5] = QStringLiteral("F00a.ml2");
    home_state().win_unsaved_flags[5] = 1;
    ScopedMessageBoxHook box(MsgResult::Cancel);
    auto* w = new log_data(QStringLiteral("F00a.ml2"));
    w->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<log_data> guard = w;
    EXPECT_TRUE(w->close());
    QCoreApplication::processEvents();
    EXPECT_TRUE(box.records().empty());
    home_state().win_key_table[5].clear();
}

// ---------------------------------------------------------------- size and mouse

TEST_F(LogWindowTest, AWindowDraggedLargerSpringsBackAndEnablesTheDataCommands) {
    scenario();
    setting().let_data_count(0);
    log_data* w = open();
    ASSERT_NE(w, nullptr);
    QMdiSubWindow* sub = frame(w);
    home->resize(3000, 3000);
    sub->resize(2500, 2500);
    QCoreApplication::processEvents();
    EXPECT_EQ(sub->width(), 7640 * w->logicalDpiX() / 1440);
    EXPECT_EQ(sub->height(), 6390 * w->logicalDpiY() / 1440);
    sub->resize(300, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(sub->size(), QSize(300, 200));
    for (const char* item : {"save", "print_data", "menu_graph", "mGrp_Draw", "fileclose"}) {
        EXPECT_TRUE(home->menuItem(QString::fromLatin1(item))->isEnabled()) << item;
    }
    EXPECT_TRUE(home->toolbarButton(20)->isEnabled());
}

TEST_F(LogWindowTest, ChannelHeadTooltipsAndTheSelectionColour) {
    scenario();
    channel(0, QStringLiteral("K"), 1, QStringLiteral("1370.0"), QStringLiteral("-200.0"), QStringLiteral("20.0"));
    channel(1, QStringLiteral("V"), 3, QStringLiteral("-12.345"), QStringLiteral("1.5"), QStringLiteral("0.0"));
    setting().let_data_count(0);
    log_data* w = open();
    ASSERT_NE(w, nullptr);
    platform::Grid* g = w->vsFlexGrid1();
    g->setRows(5);

    w->vsFlexGrid1_MouseMove(Qt::NoButton, 0, 3);
    EXPECT_EQ(g->ToolTipText(),
              QStringLiteral("CH1  ->  入力種：K  /  上限警報値：1370.0  /  下限警報値：-200.0  /  積算基準値：  20.0"));
    // A text longer than six characters keeps its last six.
    w->vsFlexGrid1_MouseMove(Qt::NoButton, 0, 4);
    EXPECT_EQ(g->ToolTipText(),
              QStringLiteral("CH2  ->  入力種：V  /  上限警報値：12.345  /  下限警報値： 1.500  /  積算基準値： 0.000"));
    w->vsFlexGrid1_MouseMove(Qt::NoButton, 0, 2);
    EXPECT_EQ(g->ToolTipText(), QString());
    w->vsFlexGrid1_MouseMove(Qt::NoButton, 0, 6);
    EXPECT_TRUE(g->ToolTipText().startsWith(QStringLiteral("CH4  ->  入力種：T")));
    w->vsFlexGrid1_MouseMove(Qt::NoButton, 3, 3);
    EXPECT_EQ(g->ToolTipText(), QString());

    // An alarm cell keeps its colour when selected.
    g->setRow(2);
    g->setCol(3);
    g->setCellForeColor(kRed);
    w->vsFlexGrid1_MouseDown(Qt::LeftButton);
    EXPECT_EQ(g->ForeColorSel(), kRed);
    g->setRow(1);
    w->vsFlexGrid1_MouseDown(Qt::RightButton);
    EXPECT_EQ(g->ForeColorSel(), kRed);
    w->vsFlexGrid1_MouseUp(Qt::LeftButton);
    EXPECT_EQ(g->ForeColorSel(), 0u);

    // While the main window closes its windows the handlers do nothing.
    home_state().win_closing_flag = true;
    g->setRow(2);
    w->vsFlexGrid1_MouseMove(Qt::LeftButton, 0, 3);
    EXPECT_EQ(g->ForeColorSel(), 0u);
    EXPECT_EQ(g->ToolTipText(), QString());
    home_state().win_closing_flag = false;
}

// ---------------------------------------------------------------- display texts

TEST(LogGridDisplay, StoredValuesReadBack) {
    EXPECT_EQ(period_pos_format(0x7F, 0xFF, 10), QStringLiteral("  O.R."));
    EXPECT_EQ(period_pos_format(0x7F, 0xFE, 10), QStringLiteral("  U.R."));
    EXPECT_EQ(period_pos_format(0xFF, 0x83, 10), QStringLiteral("-12.5"));
    EXPECT_EQ(period_pos_format(0x00, 0xFD, 10), QStringLiteral("25.3"));
    EXPECT_EQ(period_pos_format(0x00, 0x05, 10), QStringLiteral("0.5"));
    EXPECT_EQ(period_pos_format(0x30, 0x39, 100), QStringLiteral("123.45"));
    EXPECT_EQ(period_pos_format(0xFF, 0xFF, 1000), QStringLiteral("-0.001"));
    EXPECT_EQ(period_pos_format(0x01, 0x00, 1), QStringLiteral("256"));
}

TEST(LogGridDisplay, TheFirstUsedChannelsMarkBitDecides) {
    EXPECT_EQ(status_mark_text(1, QStringLiteral("-")), QStringLiteral("*"));
    EXPECT_EQ(status_mark_text(6, QStringLiteral("-")), QString());
    EXPECT_EQ(status_mark_text(0, QStringLiteral("*")), QStringLiteral("*"));
    EXPECT_EQ(status_mark_text(1, QString()), QString());
    // Fed back channel by channel: the first result sticks.
    QString mark = QStringLiteral("-");
    for (quint8 flag : {quint8(0), quint8(1), quint8(1)}) mark = status_mark_text(flag, mark);
    EXPECT_EQ(mark, QString());
}

}  // namespace
}  // namespace mq::test
