// Following the active data window, binding and releasing working databases,
// and the channel value texts and alarm marks of the data windows' tables.
#include <gtest/gtest.h>

#include <limits>

#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "common/test_env.h"
#include "fakes.h"
#include "model/channel_values.h"
#include "model/common_proc.h"
#include "model/data_sets.h"
#include "model/db_workspace.h"
#include "model/model_state.h"

namespace mq {
namespace {

using platform::MsgResult;
using test::FakeDataWindow;
using test::FakeMainWindow;

QString areaKey(int n) { return QStringLiteral("L%1").arg(n, 2, 10, QLatin1Char('0')); }

class CommonProcTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        ASSERT_TRUE(m_dir.isValid());
        m_slot->user_dir = m_dir.path();
        m_slot->dao_workspace = m_ws;
        m_slot->main_window = &m_main;
        m_slot->logger_main = std::make_shared<clsLOGGER_Main>();
        for (int n = 1; n <= 20; ++n) loggers().Add(areaKey(n));
        m_slot->file_main = std::make_shared<clsFILE_Main>();
        files().Add(QStringLiteral("F00"));
        files().Add(QStringLiteral("F01"));
    }

    colLOGGER_DATA& loggers() { return m_slot->logger_main->colLOGGER_DATA(); }
    colFILE_DATA& files() { return m_slot->file_main->colFILE_DATA(); }

    // Gives a data set the file path its window would give it.
    template <class DataSet>
    void prepareDb(DataSet& ds, const QString& tag) {
        ds.clsLOGGER_DATABASE().makeDbPath(tag, m_dir.path());
    }

    // Makes a data set current the way activation does, through a window.
    void activate(FakeDataWindow& w) {
        m_main.active = &w;
        activate_data_window();
    }

    ModelSlot m_slot;
    FakeMainWindow m_main;
    QTemporaryDir m_dir;
    std::shared_ptr<DbWorkspace> m_ws = std::make_shared<DbWorkspace>();
};

// ---- activation ----

TEST_F(CommonProcTest, ActivationFollowsTheWindowsKeyAndKeepsTheOtherKind) {
    FakeDataWindow logWin(QStringLiteral("L03"));
    activate(logWin);
    EXPECT_EQ(m_slot->act_data_kind, 2);
    EXPECT_EQ(m_slot->act_logger_data, loggers().Item(QStringLiteral("L03")));

    FakeDataWindow tagFileWin(QStringLiteral("F01TAG_12101530.MT1"));
    activate(tagFileWin);
    EXPECT_EQ(m_slot->act_data_kind, 1);
    EXPECT_EQ(m_slot->act_file_data, files().Item(QStringLiteral("F01")));
    EXPECT_EQ(m_slot->act_logger_data, loggers().Item(QStringLiteral("L03"))) << "the logger reference stays";

    activate(logWin);
    EXPECT_EQ(m_slot->act_data_kind, 2);
    EXPECT_EQ(m_slot->act_file_data, files().Item(QStringLiteral("F01"))) << "the file reference stays";
}

TEST_F(CommonProcTest, ActivationOfAnUnkeyedWindowChangesNothing) {
    FakeDataWindow logWin(QStringLiteral("L03"));
    activate(logWin);
    for (const QString& tag : {QString(), QStringLiteral("X01"), QStringLiteral("f00"), QStringLiteral(" L03")}) {
        FakeDataWindow other(tag);
        activate(other);
        EXPECT_EQ(m_slot->act_data_kind, 2) << tag.toStdString();
        EXPECT_EQ(m_slot->act_logger_data, loggers().Item(QStringLiteral("L03")));
        EXPECT_FALSE(m_slot->act_file_data);
    }
    m_main.active = nullptr;
    activate_data_window();
    EXPECT_EQ(m_slot->act_data_kind, 2);
}

TEST_F(CommonProcTest, ActivationOfAnUnknownKeyRaisesAndKeepsTheCurrentDataSet) {
    FakeDataWindow logWin(QStringLiteral("L03"));
    activate(logWin);
    FakeDataWindow stale(QStringLiteral("F07old.ML2"));
    EXPECT_THROW(activate(stale), MissingKeyError);
    EXPECT_EQ(m_slot->act_data_kind, 2);
    EXPECT_FALSE(m_slot->act_file_data);

    m_slot->file_main.reset();
    FakeDataWindow noRoot(QStringLiteral("F00x.ML2"));
    EXPECT_THROW(activate(noRoot), MissingKeyError);
    EXPECT_EQ(m_slot->act_data_kind, 2);
}

// ---- closing ----

TEST_F(CommonProcTest, ClosingAFileWindowEndsItsDataSetAndItsFile) {
    auto f00 = files().Item(QStringLiteral("F00"));
    prepareDb(*f00, QStringLiteral("F00A.ML2"));
    FakeDataWindow win(QStringLiteral("F00A.ML2"));
    activate(win);
    bind_data_recordset();
    const QString path = f00->clsLOGGER_DATABASE().dbPath();
    ASSERT_TRUE(QFileInfo::exists(path));
    f00.reset();
    win.boundRecordset.reset();

    m_main.connected = true;
    m_main.openWindows = 2;
    close_data_window(win.Tag());
    EXPECT_EQ(m_main.calls.first(), QStringLiteral("win_active_close"));
    EXPECT_FALSE(m_slot->act_file_data);
    EXPECT_EQ(m_slot->act_data_kind, 2) << "a logger is connected";
    EXPECT_EQ(files().Count(), 1);
    EXPECT_THROW(files().Item(QStringLiteral("F00")), MissingKeyError);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(CommonProcTest, ClosingAFileWindowWithoutALoggerLeavesNoCurrentDataSet) {
    FakeDataWindow win(QStringLiteral("F01b.MT1"));
    activate(win);
    m_main.connected = false;
    m_main.openWindows = 3;
    close_data_window(win.Tag());
    EXPECT_EQ(m_slot->act_data_kind, 0);
    EXPECT_EQ(files().Count(), 1);
    EXPECT_EQ(files().Item(1)->ID(), QStringLiteral("F00"));

    // Closing again (the data set is already gone) releases nothing more.
    m_main.openWindows = 3;
    EXPECT_NO_THROW(close_data_window(win.Tag()));
    EXPECT_EQ(files().Count(), 1);
}

TEST_F(CommonProcTest, ClosingALoggerWindowWhileConnectedClosesItsDatabaseOnly) {
    auto l05 = loggers().Item(QStringLiteral("L05"));
    prepareDb(*l05, QStringLiteral("L05"));
    FakeDataWindow win(QStringLiteral("L05"));
    activate(win);
    bind_data_recordset();
    ASSERT_TRUE(l05->clsLOGGER_DATABASE().IsOpen());

    m_main.connected = true;
    m_main.openWindows = 2;
    close_data_window(win.Tag());
    EXPECT_FALSE(l05->clsLOGGER_DATABASE().IsOpen());
    EXPECT_TRUE(QFileInfo::exists(l05->clsLOGGER_DATABASE().dbPath())) << "the data set keeps its file";
    EXPECT_FALSE(m_slot->act_logger_data);
    EXPECT_EQ(m_slot->act_data_kind, 2);
    EXPECT_EQ(loggers().Count(), 20);
    EXPECT_EQ(m_main.yields, 1);
}

TEST_F(CommonProcTest, ClosingALoggerWindowFindsItsOwnDataSetWhenAnotherIsCurrent) {
    auto l05 = loggers().Item(QStringLiteral("L05"));
    auto l06 = loggers().Item(QStringLiteral("L06"));
    prepareDb(*l05, QStringLiteral("L05"));
    prepareDb(*l06, QStringLiteral("L06"));
    FakeDataWindow w5(QStringLiteral("L05")), w6(QStringLiteral("L06"));
    activate(w5);
    bind_data_recordset();
    activate(w6);
    bind_data_recordset();
    ASSERT_EQ(m_slot->act_logger_data, l06);

    m_main.connected = true;
    m_main.openWindows = 2;
    m_main.active = &w5;
    close_data_window(w5.Tag());
    EXPECT_FALSE(l05->clsLOGGER_DATABASE().IsOpen());
    EXPECT_TRUE(l06->clsLOGGER_DATABASE().IsOpen());
    EXPECT_FALSE(m_slot->act_logger_data);
}

TEST_F(CommonProcTest, ClosingALoggerWindowWithoutALoggerKeepsEverything) {
    auto l05 = loggers().Item(QStringLiteral("L05"));
    prepareDb(*l05, QStringLiteral("L05"));
    FakeDataWindow win(QStringLiteral("L05"));
    activate(win);
    bind_data_recordset();

    m_main.connected = false;
    m_main.openWindows = 2;
    close_data_window(win.Tag());
    EXPECT_TRUE(l05->clsLOGGER_DATABASE().IsOpen());
    EXPECT_EQ(m_slot->act_logger_data, l05);
    EXPECT_EQ(m_main.yields, 0);
}

TEST_F(CommonProcTest, ClosingTheLastWindowWhileNotConnectedGreysTheCommandsAndForgetsTheLogger) {
    FakeDataWindow win(QStringLiteral("F00a.ML2"));
    activate(win);
    m_main.openWindows = 1;
    m_main.panel1 = QStringLiteral("未接続");
    close_data_window(win.Tag());

    const QStringList expected{"win_active_close", "blank_link_identity", "refresh_command_state"};
    EXPECT_EQ(m_main.calls, expected);
    EXPECT_EQ(m_main.link_mode, OpMode::None);
    EXPECT_EQ(m_main.link_serial_no, QString());
}

TEST_F(CommonProcTest, ClosingTheLastWindowWhileConnectedKeepsTheLinkState) {
    FakeDataWindow win(QStringLiteral("L01"));
    activate(win);
    m_main.openWindows = 1;
    m_main.connected = true;
    m_main.panel1 = QStringLiteral("接続中");
    close_data_window(win.Tag());
    EXPECT_TRUE(m_main.calls.contains(QStringLiteral("refresh_command_state")));
    EXPECT_FALSE(m_main.calls.contains(QStringLiteral("blank_link_identity")));
    EXPECT_EQ(m_main.link_mode, OpMode::Log);
    EXPECT_EQ(m_main.link_serial_no, QStringLiteral("12345678"));
}

TEST_F(CommonProcTest, ClosingAWindowWhileOthersRemainLeavesTheCommandsOn) {
    FakeDataWindow win(QStringLiteral("F00a.ML2"));
    activate(win);
    m_main.openWindows = 3;
    m_main.panel1 = QStringLiteral("未接続");
    close_data_window(win.Tag());
    EXPECT_EQ(m_main.calls, (QStringList{"win_active_close", "refresh_command_state"}));
    EXPECT_EQ(m_main.link_serial_no, QStringLiteral("12345678"));
}

// ---- working databases ----

TEST_F(CommonProcTest, BindingCreatesTheLayoutOfTheStatusModeAndBindsTheWindow) {
    m_slot->logger_main->clsLOGGER_STATUS().let_mode_type(2);
    auto l02 = loggers().Item(QStringLiteral("L02"));
    prepareDb(*l02, QStringLiteral("L02"));
    FakeDataWindow tagWin(QStringLiteral("L02"));
    activate(tagWin);
    bind_data_recordset();
    clsLOGGER_DATABASE& db = l02->clsLOGGER_DATABASE();
    EXPECT_EQ(db.WorkSpace(), m_ws);
    ASSERT_TRUE(db.Recordset());
    EXPECT_TRUE(db.Recordset()->FieldNames().contains(QStringLiteral("作業者名")));
    EXPECT_EQ(tagWin.bindCount, 1);
    EXPECT_EQ(tagWin.boundRecordset, db.Recordset());

    // A file data set follows the mode stored with the file, not the logger's.
    auto f00 = files().Item(QStringLiteral("F00"));
    f00->clsLOGGER_STATUS().let_mode_type(1);
    prepareDb(*f00, QStringLiteral("F00x.ML1"));
    FakeDataWindow logFileWin(QStringLiteral("F00x.ML1"));
    activate(logFileWin);
    bind_data_recordset();
    ASSERT_TRUE(f00->clsLOGGER_DATABASE().Recordset());
    const QStringList fields = f00->clsLOGGER_DATABASE().Recordset()->FieldNames();
    EXPECT_TRUE(fields.contains(QStringLiteral("ﾏｰｸ")));
    EXPECT_FALSE(fields.contains(QStringLiteral("作業者名")));
    EXPECT_EQ(logFileWin.boundRecordset, f00->clsLOGGER_DATABASE().Recordset());
}

TEST_F(CommonProcTest, BindingReplacesTheDatabaseWithAnEmptyOne) {
    auto l02 = loggers().Item(QStringLiteral("L02"));
    prepareDb(*l02, QStringLiteral("L02"));
    FakeDataWindow win(QStringLiteral("L02"));
    activate(win);
    bind_data_recordset();
    l02->clsLOGGER_DATABASE().AddRecord_LOG(1, QDateTime(QDate(2013, 12, 10), QTime(8, 30), Qt::UTC), QString(),
                                            QStringLiteral("      12.5"), QString(), QString(), QString());
    EXPECT_EQ(l02->clsLOGGER_DATABASE().Recordset()->RecordCount(), 1);
    bind_data_recordset();
    EXPECT_EQ(l02->clsLOGGER_DATABASE().Recordset()->RecordCount(), 0);
    EXPECT_EQ(win.bindCount, 2);
}

TEST_F(CommonProcTest, BindingKeepsAnIdAndAWorkspaceAlreadySet) {
    auto own = std::make_shared<DbWorkspace>();
    auto f01 = files().Item(QStringLiteral("F01"));
    f01->clsLOGGER_DATABASE().setWorkSpace(own);
    prepareDb(*f01, QStringLiteral("F01"));
    FakeDataWindow win(QStringLiteral("F01"));
    activate(win);
    bind_data_recordset();
    EXPECT_EQ(f01->clsLOGGER_DATABASE().WorkSpace(), own);
    EXPECT_EQ(f01->ID(), QStringLiteral("F01"));

    // A data set that has no ID yet takes the window's key.
    auto loose = std::make_shared<clsFILE_DATA>();
    prepareDb(*loose, QStringLiteral("F05"));
    m_slot->act_file_data = loose;
    FakeDataWindow looseWin(QStringLiteral("F05 caption"));
    m_main.active = &looseWin;
    bind_data_recordset();
    EXPECT_EQ(loose->ID(), QStringLiteral("F05"));
}

TEST_F(CommonProcTest, OpeningAFileDatabaseDoesNotBindTheWindow) {
    auto f00 = files().Item(QStringLiteral("F00"));
    prepareDb(*f00, QStringLiteral("F00big.ML2"));
    FakeDataWindow win(QStringLiteral("F00big.ML2"));
    activate(win);
    open_file_data_db();
    EXPECT_TRUE(f00->clsLOGGER_DATABASE().IsOpen());
    EXPECT_EQ(f00->clsLOGGER_DATABASE().WorkSpace(), m_ws);
    EXPECT_TRUE(QFileInfo::exists(f00->clsLOGGER_DATABASE().dbPath()));
    EXPECT_EQ(win.bindCount, 0);
}

TEST_F(CommonProcTest, BindingWithoutACurrentDataSetRaises) {
    m_slot->act_data_kind = 2;
    EXPECT_THROW(bind_data_recordset(), MissingKeyError);
    m_slot->act_data_kind = 1;
    EXPECT_THROW(bind_data_recordset(), MissingKeyError);
    EXPECT_THROW(open_file_data_db(), MissingKeyError);
}

// ---- the logger data list ----

TEST_F(CommonProcTest, ClearingTheLoggerListEmptiesItInEveryShape) {
    loggers().Add(QStringLiteral("L00"));
    clear_logger_data_list();
    EXPECT_EQ(loggers().Count(), 0) << "twenty areas and the defaults";

    for (int n = 1; n <= 20; ++n) loggers().Add(areaKey(n));
    clear_logger_data_list();
    EXPECT_EQ(loggers().Count(), 0) << "twenty areas";

    loggers().Add(QStringLiteral("L00"));
    clear_logger_data_list();
    EXPECT_EQ(loggers().Count(), 0) << "the defaults alone";

    EXPECT_NO_THROW(clear_logger_data_list());
    EXPECT_EQ(loggers().Count(), 0);

    m_slot->logger_main.reset();
    EXPECT_NO_THROW(clear_logger_data_list());
}

TEST_F(CommonProcTest, ClearingALoggerListWithAGapStillEmptiesIt) {
    loggers().Remove(QStringLiteral("L07"));
    loggers().Add(QStringLiteral("L00"));
    clear_logger_data_list();
    EXPECT_EQ(loggers().Count(), 0);
}

// ---- operating mode ----

TEST_F(CommonProcTest, ModeTypeComesFromTheCurrentDataSetsStatus) {
    EXPECT_EQ(get_cur_mode_type(), OpMode::None);
    m_slot->logger_main->clsLOGGER_STATUS().let_mode_type(3);
    files().Item(QStringLiteral("F00"))->clsLOGGER_STATUS().let_mode_type(2);

    FakeDataWindow fileWin(QStringLiteral("F00t.MT1"));
    activate(fileWin);
    EXPECT_EQ(get_cur_mode_type(), OpMode::Tag);
    FakeDataWindow logWin(QStringLiteral("L09"));
    activate(logWin);
    EXPECT_EQ(get_cur_mode_type(), OpMode::Memory);

    m_slot->act_data_kind = 1;
    m_slot->act_file_data.reset();
    EXPECT_EQ(get_cur_mode_type(), OpMode::None);
    m_slot->act_data_kind = 2;
    m_slot->logger_main.reset();
    EXPECT_EQ(get_cur_mode_type(), OpMode::None);
}

TEST_F(CommonProcTest, ModeChangeQuestionIsAskedExactlyOnce) {
    for (MsgResult answer : {MsgResult::Yes, MsgResult::No}) {
        platform::ScopedMessageBoxHook hook(answer);
        EXPECT_EQ(confirm_mode_change(), answer);
        ASSERT_EQ(hook.records().size(), 1u);
        const platform::MessageRecord& r = hook.records()[0];
        EXPECT_EQ(r.title, QStringLiteral("マロウクイル"));
        EXPECT_EQ(r.text, QStringLiteral("現在のソフト動作モードとロガー動作モードが異なります。\r\n"
                                         "動作モードを変更しますか？\r\n"
                                         "（ただし、動作モードを変更するとこれまで展開しているデータは破棄されます。）"));
        EXPECT_EQ(r.buttons, platform::MsgButtons::YesNo);
        EXPECT_EQ(r.icon, platform::MsgIcon::Exclamation);
        EXPECT_EQ(r.defaultButton, platform::MsgDefault::Second);
    }
}

// ---- channel value texts ----

class ChannelValueTest : public CommonProcTest {
protected:
    void SetUp() override {
        CommonProcTest::SetUp();
        m_win = std::make_unique<FakeDataWindow>(QStringLiteral("L01"), 11, 7);
        activate(*m_win);
        for (int ch = 0; ch < 4; ++ch) setting().let_Ch_input_type(ch, QStringLiteral("K"));
    }
    clsLOGGER_SETTING& setting() { return m_slot->act_logger_data->clsLOGGER_SETTING(); }
    // Marks a value in the LOG window's table.
    void mark(const QString& value, qint32 row, int ch) {
        mark_alarm_value(setting(), &m_win->grid(), kLogFirstChannelCol, value, row, ch);
    }
    void alarms(int ch, const QString& high, const QString& low) {
        setting().let_Ch_high_alarm_count(ch, high);
        setting().let_Ch_low_alarm_count(ch, low);
    }
    std::unique_ptr<FakeDataWindow> m_win;
};

TEST_F(ChannelValueTest, LoggerRangeValuesBecomeRangeTextsAndAreNotCounted) {
    QString v = QStringLiteral("3276.7");
    EXPECT_EQ(format_ch_value(v, 1), QStringLiteral("     O.R."));
    EXPECT_EQ(v, QStringLiteral("O.R."));
    v = QStringLiteral("3276.6");
    EXPECT_EQ(format_ch_value(v, 2), QStringLiteral("     U.R."));
    EXPECT_EQ(v, QStringLiteral("U.R."));
    EXPECT_EQ(setting().Ch_data_count(0), 0);
    EXPECT_EQ(setting().Ch_data_count(1), 0);

    // Only the whole text is recognised.
    v = QStringLiteral(" 3276.7");
    EXPECT_EQ(format_ch_value(v, 1), QStringLiteral("    3276.7"));
    EXPECT_EQ(setting().Ch_data_count(0), 1);
}

TEST_F(ChannelValueTest, NumbersAreRightAlignedInSixAfterFourBlanks) {
    QString v = QStringLiteral("12.5");
    EXPECT_EQ(format_ch_value(v, 3), QStringLiteral("      12.5"));
    EXPECT_EQ(v, QStringLiteral("  12.5"));
    EXPECT_EQ(setting().Ch_data_count(2), 1);

    // A longer value is never cut: its sign stays.
    v = QStringLiteral("-1234.56");
    EXPECT_EQ(format_ch_value(v, 3), QStringLiteral("  -1234.56"));
    EXPECT_EQ(v, QStringLiteral("-1234.56"));
    v = QStringLiteral("-5.0   ");
    EXPECT_EQ(format_ch_value(v, 3), QStringLiteral("      -5.0"));
    EXPECT_EQ(setting().Ch_data_count(2), 3);
}

TEST_F(ChannelValueTest, UnusedChannelsGiveEmptyTextsAndNoMarks) {
    setting().let_Ch_input_type(1, QStringLiteral("-"));
    QString v = QStringLiteral("999.9");
    EXPECT_EQ(format_ch_value(v, 2), QString());
    EXPECT_EQ(setting().Ch_data_count(1), 0);

    m_win->grid().setRow(0);
    m_win->grid().setCol(0);
    mark(v, 3, 2);
    EXPECT_EQ(m_win->grid().Row(), 0) << "an unused channel does not move the current cell";
    EXPECT_EQ(setting().CH_H_ALM_NUM(1) + setting().CH_L_ALM_NUM(1), 0);
}

TEST_F(ChannelValueTest, FileRangeTextsKeepTheirForm) {
    FakeDataWindow fileWin(QStringLiteral("F00a.ML1"), 5, 7);
    activate(fileWin);
    auto& fs = m_slot->act_file_data->clsLOGGER_SETTING();
    fs.let_Ch_input_type(0, QStringLiteral("T"));
    QString v = QStringLiteral("O.R.");
    EXPECT_EQ(format_ch_value(v, 1), QStringLiteral("     O.R."));
    v = QStringLiteral("  U.R.");
    EXPECT_EQ(format_ch_value(v, 1), QStringLiteral("     U.R."));
    // A file's 3276.7 is a number like any other.
    v = QStringLiteral("3276.7");
    EXPECT_EQ(format_ch_value(v, 1), QStringLiteral("    3276.7"));
    EXPECT_EQ(fs.Ch_data_count(0), 1);
    EXPECT_EQ(setting().Ch_data_count(0), 0) << "the logger data set is not counted";
}

TEST_F(ChannelValueTest, AlarmsOutsideANormalBand) {
    alarms(0, QStringLiteral("100.0"), QStringLiteral("0.0"));
    mark(QStringLiteral(" 100.0"), 0, 1);
    mark(QStringLiteral(" 100.1"), 1, 1);
    mark(QStringLiteral("  -0.1"), 2, 1);
    mark(QStringLiteral("   0.0"), 3, 1);
    EXPECT_EQ(setting().CH_H_ALM_NUM(0), 1);
    EXPECT_EQ(setting().CH_L_ALM_NUM(0), 1);
    // LOG tables: record r in row r + 1, channel n in column n + 2.
    EXPECT_EQ(m_win->grid().foreColorAt(1, 3), 0u);
    EXPECT_EQ(m_win->grid().foreColorAt(2, 3), kHighAlarmColour);
    EXPECT_EQ(m_win->grid().foreColorAt(3, 3), kLowAlarmColour);
    EXPECT_EQ(m_win->grid().foreColorAt(4, 3), 0u);
    EXPECT_EQ(m_win->grid().Row(), 4) << "the row is set even without an alarm";
    EXPECT_EQ(m_win->grid().Col(), 3);
}

TEST_F(ChannelValueTest, AlarmsWhenTheHighValueIsBelowTheLowValue) {
    alarms(1, QStringLiteral("0.0"), QStringLiteral("100.0"));
    mark(QStringLiteral("  50.0"), 0, 2);
    mark(QStringLiteral("  -1.0"), 1, 2);
    mark(QStringLiteral(" 101.0"), 2, 2);
    EXPECT_EQ(setting().CH_H_ALM_NUM(1), 1);
    EXPECT_EQ(setting().CH_L_ALM_NUM(1), 1);
    EXPECT_EQ(m_win->grid().foreColorAt(1, 4), 0u);
    EXPECT_EQ(m_win->grid().foreColorAt(2, 4), kHighAlarmColour);
    EXPECT_EQ(m_win->grid().foreColorAt(3, 4), kLowAlarmColour);
}

TEST_F(ChannelValueTest, AlarmValuesAreComparedInSinglePrecision) {
    // Values that differ from the alarm value only beyond single precision
    // are equal to it, so no alarm.
    alarms(2, QStringLiteral("0.3"), QStringLiteral("-0.3"));
    mark(QStringLiteral("   0.3"), 0, 3);
    mark(QStringLiteral("0.30000001"), 0, 3);
    mark(QStringLiteral("-0.30000001"), 1, 3);
    EXPECT_EQ(setting().CH_H_ALM_NUM(2), 0);
    EXPECT_EQ(setting().CH_L_ALM_NUM(2), 0);
    mark(QStringLiteral("0.3000001"), 0, 3);
    EXPECT_EQ(setting().CH_H_ALM_NUM(2), 1) << "a difference a single can hold is an alarm";
    alarms(2, QStringLiteral("100.1"), QStringLiteral("0.7"));
    mark(QStringLiteral(" 100.1"), 2, 3);
    mark(QStringLiteral("   0.7"), 3, 3);
    EXPECT_EQ(setting().CH_H_ALM_NUM(2), 1);
    EXPECT_EQ(setting().CH_L_ALM_NUM(2), 0);
}

TEST_F(ChannelValueTest, VoltageAndRangeValuesAreNeverAlarms) {
    setting().let_Ch_input_type(3, QStringLiteral("V"));
    setting().let_Ch_period_pos(3, 2);
    alarms(3, QStringLiteral("1.00"), QStringLiteral("0.50"));
    mark(QStringLiteral("  9.99"), 4, 4);
    EXPECT_EQ(setting().CH_H_ALM_NUM(3), 0);
    EXPECT_EQ(m_win->grid().foreColorAt(5, 6), 0u);
    EXPECT_EQ(m_win->grid().Row(), 5);

    alarms(0, QStringLiteral("10.0"), QStringLiteral("0.0"));
    m_win->grid().setRow(0);
    mark(QStringLiteral("     O.R."), 6, 1);
    mark(QStringLiteral("U.R."), 7, 1);
    EXPECT_EQ(setting().CH_H_ALM_NUM(0) + setting().CH_L_ALM_NUM(0), 0);
    EXPECT_EQ(m_win->grid().Row(), 0);
}

TEST_F(ChannelValueTest, CountsAndValuesBeyondTheirRangesAreOverflowErrors) {
    // A count at the top of its range does not wrap to a negative count.
    setting().let_Ch_data_count(0, std::numeric_limits<qint32>::max());
    QString v = QStringLiteral("12.5");
    EXPECT_THROW(format_ch_value(v, 1), mq::OverflowError);
    EXPECT_EQ(setting().Ch_data_count(0), std::numeric_limits<qint32>::max());

    alarms(0, QStringLiteral("10.0"), QStringLiteral("0.0"));
    setting().let_CH_H_ALM_NUM(0, std::numeric_limits<qint32>::max());
    EXPECT_THROW(mark(QStringLiteral("  20.0"), 0, 1), mq::OverflowError);
    EXPECT_EQ(setting().CH_H_ALM_NUM(0), std::numeric_limits<qint32>::max());
    setting().let_CH_L_ALM_NUM(0, std::numeric_limits<qint32>::max());
    EXPECT_THROW(mark(QStringLiteral("  -5.0"), 0, 1), mq::OverflowError);

    // A value that single precision cannot hold is an overflow, not an
    // infinity counted as an alarm.
    setting().let_CH_H_ALM_NUM(0, 0);
    setting().let_CH_L_ALM_NUM(0, 0);
    EXPECT_THROW(mark(QStringLiteral("1e39"), 1, 1), mq::OverflowError);
    EXPECT_THROW(mark(QStringLiteral("-1e300"), 1, 1), mq::OverflowError);
    EXPECT_EQ(setting().CH_H_ALM_NUM(0) + setting().CH_L_ALM_NUM(0), 0);
    EXPECT_EQ(m_win->grid().foreColorAt(2, 3), 0u);
}

TEST_F(ChannelValueTest, TagTablesPutChannelsOneColumnFurtherLeftInTheTableGiven) {
    alarms(0, QStringLiteral("10.0"), QStringLiteral("0.0"));
    FakeDataWindow tagWin(QStringLiteral("L02"), 11, 8);  // not the active window
    mark_alarm_value(setting(), &tagWin.grid(), kTagFirstChannelCol, QStringLiteral("  20.0"), 0, 1);
    EXPECT_EQ(tagWin.grid().foreColorAt(1, 2), kHighAlarmColour);
    EXPECT_EQ(tagWin.grid().foreColorAt(1, 3), 0u);
    EXPECT_EQ(m_win->grid().foreColorAt(1, 2), 0u) << "the active window's table is not touched";
}

TEST_F(ChannelValueTest, FormattedValuesCarryStraightIntoTheAlarmMark) {
    // The TAG record loops pass the converted value on.
    alarms(0, QStringLiteral("25.0"), QStringLiteral("5.0"));
    QString v = QStringLiteral("30.5");
    const QString cell = format_ch_value(v, 1);
    mark(v, 0, 1);
    EXPECT_EQ(cell, QStringLiteral("      30.5"));
    EXPECT_EQ(setting().CH_H_ALM_NUM(0), 1);
    EXPECT_EQ(m_win->grid().foreColorAt(1, 3), kHighAlarmColour);
}

TEST(ValueFormats, RangeTextsAndNumberFormats) {
    EXPECT_EQ(range_text_logger(QStringLiteral("3276.7")), QStringLiteral("O.R."));
    EXPECT_EQ(range_text_logger(QStringLiteral("3276.6")), QStringLiteral("U.R."));
    EXPECT_EQ(range_text_logger(QStringLiteral("3276.70")), QStringLiteral("3276.70"));
    EXPECT_EQ(range_text_file(QStringLiteral("3276.7")), QStringLiteral("3276.7"));

    EXPECT_EQ(make_value_format(QStringLiteral("V"), 0), QString());
    EXPECT_EQ(make_value_format(QStringLiteral("V"), 1), QStringLiteral("0.0"));
    EXPECT_EQ(make_value_format(QStringLiteral("V"), 3), QStringLiteral("0.000"));
    EXPECT_EQ(make_value_format(QStringLiteral("K"), 3), QStringLiteral("0.0"));
    EXPECT_EQ(make_value_format(QStringLiteral("-"), 0), QStringLiteral("0.0"));
}

TEST(TextLimit, BoxesTakeAtMostTheGivenBytes) {
    test::ensureApplication();
    QLineEdit box;
    set_text_limit(8, &box);
    QTest::keyClicks(&box, QStringLiteral("abcdefghij"));
    EXPECT_EQ(box.text(), QStringLiteral("abcdefgh"));
}

}  // namespace
}  // namespace mq
