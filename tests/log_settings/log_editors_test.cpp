// The LOG settings editor and the LOG defaults editor without a logger: the
// interval and input-type rules, area switching, fill and store edge cases,
// the clipboard, the defaults, LS01 files through the editor, the
// reservation check box, cancelling, and LOG0.CFG handling. (Writing to the
// logger is tested against the simulated logger in the app tests.)
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

#include <gtest/gtest.h>

#include "common/file_dialog_driver.h"
#include "common/test_env.h"
#include "log_settings/log0_set_value.h"
#include "log_settings/log_set_value.h"
#include "setting_editor/setting_form.h"
#include "log_settings/ls01_file.h"
#include "log_settings/reserve.h"
#include "log_settings/ops_log_setting.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/message_box.h"
#include "sequencer/seq_state.h"

namespace {

using mq::log0_set_value;
using mq::log_set_value;
using mq::model;
using mq::seq;
using mq::platform::MsgResult;
using mq::platform::ScopedMessageBoxHook;

QString key(int n) { return QStringLiteral("L%1").arg(n, 2, 10, QChar(u'0')); }

class LogEditorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        ASSERT_TRUE(dir.isValid());
        model().user_dir = dir.path();
        model().logger_main = std::make_shared<mq::clsLOGGER_Main>();
        model().logger_main->clsLOGGER_STATUS().let_mode_type(1);
        model().logger_main->clsLOGGER_STATUS().let_model_name(QStringLiteral("MQ4000"));
        model().act_data_kind = 2;
        mq::link().link_connected_flag = true;
        for (int n = 1; n <= 20; ++n) {
            model().logger_main->colLOGGER_DATA().Add(key(n));
            mq::clsLOGGER_SETTING& s = setting(n);
            ASSERT_EQ(mq::log0_cfg_read(mq::log0_cfg_default_bytes(), s), mq::SettingFileRead::Ok);
        }
        // Area 3: a T channel with its own alarms and a voltage channel.
        mq::clsLOGGER_SETTING& s3 = setting(3);
        s3.let_record_interval(QStringLiteral("00:10:00"));
        s3.let_Ch_input_type(0, QStringLiteral("T"));
        s3.let_Ch_high_alarm_count(0, QStringLiteral("300.5"));
        s3.let_Ch_input_type(1, QStringLiteral("V"));
        s3.let_Ch_period_pos(1, 2);
        s3.let_Ch_unit(1, QStringLiteral("mV "));
        s3.let_Ch_scale_min(1, -100);
    }

    mq::clsLOGGER_SETTING& setting(int n) {
        return model().logger_main->colLOGGER_DATA().Item(key(n))->clsLOGGER_SETTING();
    }

    QString cfgPath() const { return dir.path() + QStringLiteral("/config/LOG0.CFG"); }

    mq::ModelSlot modelSlot;
    mq::LinkSlot linkSlot;
    mq::HomeSlot homeSlot;
    mq::SeqSlot seqSlot;
    mq::ConnectionSlot connSlot;
    QTemporaryDir dir;
};

QString interval(const mq::SettingForm& f) {
    return QStringLiteral("%1:%2:%3")
        .arg(f.Combo4->currentText(), f.Combo5->currentText(), f.Combo6->currentText());
}

TEST_F(LogEditorsTest, IntervalListsFollowTheirRules) {
    struct Step {
        int list;  // 4 hours, 5 minutes, 6 seconds
        int index;
    };
    struct Case {
        int h, m, s;
        std::vector<Step> steps;
        const char* want;
        size_t messages;
    };
    const Case cases[] = {
        {0, 1, 0, {{4, 24}}, "24:0:0", 0},
        {0, 1, 0, {{4, 24}, {5, 30}}, "0:30:0", 0},
        {1, 30, 0, {{6, 10}}, "0:0:10", 0},
        {0, 0, 10, {{6, 0}}, "0:1:0", 1},
        {0, 0, 10, {{4, 2}}, "2:0:0", 0},
    };
    for (const Case& c : cases) {
        log_set_value ed;
        mq::SettingForm& f = *ed.form;
        f.set_interval_silently(c.h, c.m, c.s);
        ScopedMessageBoxHook hook(MsgResult::OK);
        for (const Step& st : c.steps) {
            QComboBox* box = st.list == 4 ? f.Combo4 : st.list == 5 ? f.Combo5 : f.Combo6;
            box->setCurrentIndex(st.index);
            if (st.list == 4) f.Combo4_Click();
            else if (st.list == 5) f.Combo5_Click();
            else f.Combo6_Click();
        }
        EXPECT_EQ(interval(f), QString::fromUtf8(c.want));
        ASSERT_EQ(hook.texts().size(), c.messages);
        if (c.messages) EXPECT_EQ(hook.texts()[0], QStringLiteral("収録間隔が正しくありません。　デフォルトに戻します。"));
    }
}

TEST_F(LogEditorsTest, InputTypeSwitchesFieldsAndDefaults) {
    log_set_value ed;
    mq::SettingForm& f = *ed.form;
    auto choose = [&](int index) {
        f.Combo2[0]->setCurrentIndex(index);
        f.Combo2_Click(0);
    };
    choose(0);  // なし
    EXPECT_EQ(f.Text7[0]->text(), QStringLiteral("------"));
    EXPECT_EQ(f.Text9[0]->text(), QStringLiteral("------"));
    EXPECT_EQ(f.Text6[0]->text(), QStringLiteral(" V"));
    EXPECT_FALSE(f.Text6[0]->isEnabled());
    EXPECT_FALSE(f.Text7[0]->isEnabled());
    choose(5);  // V
    EXPECT_TRUE(f.Text4[0]->isEnabled());
    EXPECT_TRUE(f.Combo3[0]->isEnabled());
    EXPECT_TRUE(f.Text6[0]->isEnabled());
    EXPECT_EQ(f.Text6[0]->text(), QStringLiteral(" V"));
    EXPECT_FALSE(f.Text8[0]->isEnabled());
    EXPECT_FALSE(f.UpDown8[0]->isEnabled());
    EXPECT_EQ(f.Text8[0]->text(), QStringLiteral("------"));
    choose(4);  // T
    EXPECT_EQ(f.Text7[0]->text(), QStringLiteral("400.0"));
    EXPECT_EQ(f.Text8[0]->text(), QStringLiteral("-200.0"));
    EXPECT_EQ(f.Text9[0]->text(), QStringLiteral("0.0"));
    EXPECT_FALSE(f.Text4[0]->isEnabled());
    EXPECT_TRUE(f.UpDown7[0]->isEnabled());
}

TEST_F(LogEditorsTest, EditsOfAnAreaAreKeptWhileMovingBetweenAreas) {
    log_set_value ed;
    mq::SettingForm& f = *ed.form;
    ed.Combo1->setCurrentIndex(2);
    EXPECT_EQ(f.Text7[0]->text(), QStringLiteral("300.5"));
    EXPECT_EQ(f.Text4[1]->text(), QStringLiteral("-0100"));
    EXPECT_EQ(f.Text6[1]->text(), QStringLiteral("mV"));
    EXPECT_EQ(f.Combo3[1]->currentText(), QStringLiteral("2"));
    EXPECT_EQ(f.Text7[1]->text(), QStringLiteral("------"));
    f.Text7[0]->setText(QStringLiteral("250"));
    f.Text7_LostFocus(0);
    ed.Combo1->setCurrentIndex(4);
    EXPECT_EQ(f.Text7[0]->text(), QStringLiteral("1370.0"));
    ed.Combo1->setCurrentIndex(2);
    EXPECT_EQ(f.Text7[0]->text(), QStringLiteral("250.0"));
    EXPECT_DOUBLE_EQ(setting(3).Ch_high_alarm_count_value(0), 250.0);
    EXPECT_EQ(setting(3).Ch_unit(1), QStringLiteral("mV "));
}

TEST_F(LogEditorsTest, FillAndStoreEdgeCases) {
    mq::clsLOGGER_SETTING& s = setting(4);
    s.let_record_interval(QStringLiteral("00:00:45"));
    s.let_Ch_input_type(2, QStringLiteral("X"));
    s.let_Ch_input_type(3, QStringLiteral("V"));
    s.let_Ch_scale_max(3, 12345);
    s.let_Ch_period_pos(3, 7);
    log_set_value ed;
    mq::SettingForm& f = *ed.form;
    ed.Combo1->setCurrentIndex(3);
    EXPECT_EQ(f.Combo6->currentIndex(), -1);  // 45 s has no item
    EXPECT_EQ(f.Combo2[2]->currentText(), QStringLiteral("なし"));
    EXPECT_FALSE(f.Text7[2]->isEnabled());
    EXPECT_EQ(f.Text5[3]->text(), QStringLiteral("2345"));
    EXPECT_EQ(f.Combo3[3]->currentIndex(), -1);
    ScopedMessageBoxHook hook(MsgResult::OK);
    ed.setting_collect(4);
    // The interval without a selection is never stored as "00".
    EXPECT_EQ(s.record_interval(), QStringLiteral("00:00:45"));
    EXPECT_EQ(s.Ch_period_pos(3), 7);  // no selection keeps the stored position
    EXPECT_EQ(s.Ch_input_type(2), QStringLiteral("-"));
    EXPECT_EQ(s.Ch_unit(0), QStringLiteral(" V "));  // shown as " V", stored with its blank
    EXPECT_TRUE(hook.texts().empty());

    // An interval of nothing from the logger is replaced, with the message.
    mq::clsLOGGER_SETTING& z = setting(5);
    z.let_record_interval(QStringLiteral("00:00:00"));
    ed.Combo1->setCurrentIndex(4);
    ed.setting_collect(5);
    EXPECT_EQ(z.record_interval(), QStringLiteral("00:01:00"));
    ASSERT_EQ(hook.texts().size(), 1u);
    EXPECT_EQ(interval(f), QStringLiteral("0:1:0"));
}

TEST_F(LogEditorsTest, ClipboardCopiesOneAreaIntoAnother) {
    log_set_value ed;
    mq::SettingForm& f = *ed.form;
    {
        ScopedMessageBoxHook hook(MsgResult::OK);
        ed.Toolbar1_ButtonClick(6);
        EXPECT_EQ(hook.texts(), std::vector<QString>{QStringLiteral("カットバッファにデータがありません。")});
    }
    ed.Combo1->setCurrentIndex(2);
    f.Text4[2]->setText(QStringLiteral("0"));
    ed.Toolbar1_ButtonClick(5);
    EXPECT_TRUE(ed.clip.valid);
    EXPECT_EQ(ed.clip.scale_min[2], QStringLiteral("0     "));
    EXPECT_EQ(ed.clip.hh, QStringLiteral("0 "));
    ed.Combo1->setCurrentIndex(6);
    ed.Toolbar1_ButtonClick(6);
    EXPECT_EQ(interval(f), QStringLiteral("0:10:0"));
    EXPECT_EQ(f.Combo2[0]->currentText(), QStringLiteral("T"));
    EXPECT_EQ(f.Text7[0]->text().trimmed(), QStringLiteral("300.5"));
    EXPECT_EQ(f.Combo2[1]->currentText(), QStringLiteral("V"));
    EXPECT_TRUE(f.Text4[1]->isEnabled());
    ed.Combo1->setCurrentIndex(0);
    EXPECT_EQ(setting(7).Ch_input_type(0), QStringLiteral("T"));
    EXPECT_EQ(setting(7).record_interval(), QStringLiteral("00:10:00"));
    EXPECT_EQ(setting(3).Ch_input_type(0), QStringLiteral("T"));
    // A new editor cannot paste the old copy.
    log_set_value again;
    ScopedMessageBoxHook hook(MsgResult::OK);
    again.Toolbar1_ButtonClick(6);
    EXPECT_EQ(hook.texts(), std::vector<QString>{QStringLiteral("カットバッファにデータがありません。")});
}

TEST_F(LogEditorsTest, PasteAndDefaultsAskBeforeDroppingTheShownAreasReservation) {
    log_set_value ed;
    ed.Toolbar1_ButtonClick(5);
    ed.Check1->setChecked(true);
    ed.Label14->setText(QStringLiteral("1"));
    {
        ScopedMessageBoxHook hook(MsgResult::Cancel);
        ed.Toolbar1_ButtonClick(6);
        EXPECT_EQ(hook.texts(), std::vector<QString>{QStringLiteral("予約設定は解除されます。よろしいですか？")});
    }
    EXPECT_EQ(ed.Label14->text(), QStringLiteral("1"));
    EXPECT_TRUE(ed.Check1->isChecked());
    {
        ScopedMessageBoxHook hook(std::vector<MsgResult>{MsgResult::OK, MsgResult::Cancel});
        ed.Toolbar1_ButtonClick(8);
        EXPECT_EQ(hook.texts().size(), 2u);
    }
    EXPECT_EQ(ed.Label14->text(), QStringLiteral("1"));
    EXPECT_FALSE(QFileInfo::exists(cfgPath()));
    // An edit of the interval or a type releases it without asking.
    ed.form->Combo2[0]->setCurrentIndex(2);
    ed.form->Combo2_Click(0);
    EXPECT_EQ(ed.Label14->text(), QStringLiteral("--"));
    EXPECT_FALSE(ed.Check1->isChecked());
}

TEST_F(LogEditorsTest, LoadingTheDefaultsWithoutLog0CfgMakesItAndShowsIt) {
    log_set_value ed;
    ed.Combo1->setCurrentIndex(2);
    ScopedMessageBoxHook hook(MsgResult::OK);
    ed.Toolbar1_ButtonClick(8);
    EXPECT_EQ(hook.texts(), std::vector<QString>{QStringLiteral("既定収録値を読み込みます。　よろしいですか？")});
    EXPECT_EQ(mq::test::readAll(cfgPath()), mq::log0_cfg_default_bytes());
    mq::SettingForm& f = *ed.form;
    EXPECT_EQ(interval(f), QStringLiteral("0:1:0"));
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(f.Combo2[c]->currentText(), QStringLiteral("K"));
        EXPECT_EQ(f.Text7[c]->text(), QStringLiteral("1370.0"));
        EXPECT_EQ(f.Text8[c]->text(), QStringLiteral("-200.0"));
    }
    // The defaults data set is the defaults editor's; none is left behind.
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 20);
}

TEST_F(LogEditorsTest, Ls01FilesThroughTheEditor) {
    log_set_value ed;
    QString chosen = dir.path() + QStringLiteral("/area3");
    ed.file_dialog = [&](QWidget*, const mq::FileDialogRequest& r) {
        return mq::FileDialogAnswer{true, chosen, 1};
    };
    ed.Combo1->setCurrentIndex(2);
    ed.Toolbar1_ButtonClick(2);
    const QString saved = chosen + QStringLiteral(".csv");
    ASSERT_TRUE(QFileInfo::exists(saved));
    EXPECT_TRUE(mq::test::readAll(saved).startsWith(",MQ4000  -LS01-010100\r\n"));

    // Change the area, then load the file back into it.
    ed.form->Combo2[0]->setCurrentIndex(1);
    ed.form->Combo2_Click(0);
    chosen = saved;
    ed.Toolbar1_ButtonClick(1);
    EXPECT_EQ(ed.form->Combo2[0]->currentText(), QStringLiteral("T"));
    EXPECT_EQ(ed.form->Text7[0]->text(), QStringLiteral("300.5"));
    EXPECT_EQ(ed.form->Text6[1]->text(), QStringLiteral("mV"));

    // A TAG setting file is refused with the LOG mode's message.
    QByteArray tag = mq::test::readAll(saved);
    tag.replace("LS01-010100", "TS01-010100");
    mq::test::writeAll(saved, tag);
    ScopedMessageBoxHook hook(MsgResult::OK);
    ed.Toolbar1_ButtonClick(1);
    EXPECT_EQ(hook.texts(),
              std::vector<QString>{QStringLiteral("選択ファイルの形式がログ設定データではありません。")});
}

// A huge file (a terabyte, sparse) is refused as a damaged one without being
// read: chosen as an LS01 file, or lying as LOG0.CFG.
TEST_F(LogEditorsTest, AHugeSettingFileIsRefusedAsDamaged) {
    QDir().mkpath(dir.path() + QStringLiteral("/config"));
    log_set_value ed;
    const QString huge = dir.path() + QStringLiteral("/huge.csv");
    ed.file_dialog = [&](QWidget*, const mq::FileDialogRequest&) { return mq::FileDialogAnswer{true, huge, 1}; };
    const std::pair<QString, std::function<void()>> cases[] = {
        {QStringLiteral("設定ファイルの内容が正しくないため読み込めません。\r\n") + huge, [&] { ed.Toolbar1_ButtonClick(1); }},
        {QStringLiteral("既定収録設定ファイルを読み込めません。既定の値を表示します。\r\n") + cfgPath(), [] { log0_set_value d; }},
    };
    for (const auto& [message, open] : cases) {
        mq::test::writeSparse(message.section(u'\n', 1), qint64(1) << 40);  // the path ends the message
        ScopedMessageBoxHook hook(MsgResult::OK);
        open();
        EXPECT_EQ(hook.texts(), std::vector<QString>{message});
    }
}

TEST_F(LogEditorsTest, AnLs01FileThatCannotBeWrittenIsReportedAndTheEditorStaysOpen) {
    log_set_value ed;
    ed.file_dialog = [&](QWidget*, const mq::FileDialogRequest&) {
        return mq::FileDialogAnswer{true, dir.path() + QStringLiteral("/no/such/folder/a.csv"), 1};
    };
    ScopedMessageBoxHook hook(MsgResult::OK);
    ed.Toolbar1_ButtonClick(2);
    EXPECT_EQ(hook.texts().size(), 1u);
    EXPECT_FALSE(ed.unloaded());
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/no/such/folder/a.csv")));
}

TEST_F(LogEditorsTest, TheMemoryBarNeverShowsMoreThanItsMaximum) {
    mq::reserve r(0, 1, 0, 2, mq::Reservation{});
    mq::MemoryDisplay m;  // LOG mode: the count itself, the bar's own maximum
    m.recordable = 700000;
    m.bar_value = 700000;
    r.show_memory(m);
    EXPECT_EQ(r.Label23->text(), QStringLiteral("700000"));
    EXPECT_EQ(r.ProgressBar1->value(), r.ProgressBar1->maximum());
    EXPECT_FALSE(r.Label1->isVisibleTo(&r));
}

TEST_F(LogEditorsTest, SavingThroughTheRealFileDialog) {
    log_set_value ed;
    const QString target = dir.path() + QStringLiteral("/real.CSV");
    ASSERT_TRUE(mq::test::answerFileDialog(dir.path(), QStringLiteral("real.CSV"), [&] { ed.Toolbar1_ButtonClick(2); }));
    EXPECT_TRUE(mq::test::readAll(target).startsWith(",MQ4000  -LS01-010100\r\n"));
}

TEST_F(LogEditorsTest, ReservationBoxRefusesWithoutChannels) {
    log_set_value ed;
    for (int c = 0; c < 4; ++c) ed.form->Combo2[c]->setCurrentIndex(0);
    ScopedMessageBoxHook hook(MsgResult::OK);
    ed.Check1->click();
    EXPECT_EQ(hook.texts(), std::vector<QString>{QStringLiteral("収録チャンネルがありません。")});
    EXPECT_FALSE(ed.Check1->isChecked());
    EXPECT_FALSE(ed.Command3->isVisibleTo(&ed));
    EXPECT_TRUE(ed.Command1->isEnabled());
}

TEST_F(LogEditorsTest, CancelWritesNothingAndRebindsToNoDataSet) {
    log_set_value ed;
    model().act_logger_data = model().logger_main->colLOGGER_DATA().Item(key(3));
    model().act_data_kind = 1;
    ed.Command2_Click();
    EXPECT_TRUE(ed.unloaded());
    EXPECT_EQ(model().act_data_kind, 2);
    EXPECT_EQ(model().act_logger_data, nullptr);
}

TEST_F(LogEditorsTest, TheCloseBoxActsAsCancelInEachDialog) {
    {
        log0_set_value d;
        d.show();
        ASSERT_TRUE(mq::test::waitUntil([&] { return d.isVisible(); }));
        d.close();
        EXPECT_TRUE(d.unloaded());
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 20);
    }
    {
        log_set_value ed;
        model().act_data_kind = 1;
        ed.close();
        EXPECT_TRUE(ed.unloaded());
        EXPECT_EQ(model().act_data_kind, 2);
    }
    {
        mq::Reservation held;
        held.start = QStringLiteral("2013/12/10 10:00:00");
        mq::reserve r(0, 1, 0, 1, held);
        r.close();
        EXPECT_TRUE(r.unloaded());
        EXPECT_TRUE(r.reservation().start.isEmpty());
        EXPECT_FALSE(mq::connection().reserve_open_flag);
    }
}

TEST_F(LogEditorsTest, FieldsFilterKeysAndCheckOnLeaving) {
    log_set_value ed;
    ed.show();
    mq::SettingForm& f = *ed.form;
    f.Combo2[0]->setCurrentIndex(5);
    f.Combo2_Click(0);
    f.Text6[0]->clear();
    QTest::keyClicks(f.Text6[0], QStringLiteral(",{a"));
    EXPECT_EQ(f.Text6[0]->text(), QStringLiteral("a"));
    f.Text4[0]->clear();
    QTest::keyClicks(f.Text4[0], QStringLiteral("1a-2"));
    EXPECT_EQ(f.Text4[0]->text(), QStringLiteral("1-2"));
    f.Text4_LostFocus(0);
    EXPECT_EQ(f.Text4[0]->text(), QStringLiteral("-9999"));
    f.Text6[0]->setText(QStringLiteral(" ﾟC"));
    ScopedMessageBoxHook hook(MsgResult::OK);
    EXPECT_FALSE(f.Text6_LostFocus(0));
    EXPECT_EQ(hook.texts(), std::vector<QString>{QStringLiteral("[ﾟC] または [℃] 入力は出来ません。入力し直して下さい。")});
    EXPECT_EQ(f.Text6[0]->text(), QStringLiteral(" ﾟC"));
    EXPECT_EQ(f.Text6[0]->selectedText(), QStringLiteral(" ﾟC"));
    // One spinner click steps once.
    f.Combo2[1]->setCurrentIndex(4);
    f.Combo2_Click(1);
    f.Text7[1]->setText(QStringLiteral("100.0"));
    f.UpDown7[1]->stepUp();
    EXPECT_EQ(f.Text7[1]->text(), QStringLiteral("100.1"));
    ed.unload();
}

TEST_F(LogEditorsTest, TabWalksEachChannelDownItsRowsThenOnToTheNextAndShiftTabBack) {
    log0_set_value d;
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    mq::SettingForm& f = *d.form;
    f.Combo2[0]->setCurrentIndex(5);  // CH1 "V", CH2 stays "K"
    f.Combo2_Click(0);
    const std::vector<QWidget*> order = {f.Combo6,    f.Combo2[0], f.Text4[0], f.Text5[0], f.Combo3[0], f.Text6[0],
                                         f.Combo2[1], f.Text7[1],  f.Text8[1], f.Text9[1], f.Combo2[2]};
    order.front()->setFocus();
    for (const bool back : {false, true}) {
        for (size_t k = 1; k < order.size(); ++k) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
            EXPECT_EQ(QApplication::focusWidget(), order[back ? order.size() - 1 - k : k]) << back << k;
        }
    }
}

// ---------------------------------------------------------------- the defaults editor

TEST_F(LogEditorsTest, DefaultsEditorMakesLog0CfgAndStoresTheShownValues) {
    log0_set_value d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("既定収録設定（ログモード）"));
    EXPECT_EQ(mq::test::readAll(cfgPath()), mq::log0_cfg_default_bytes());
    mq::SettingForm& f = *d.form;
    EXPECT_EQ(f.Text4[0]->text(), QStringLiteral("0000"));
    EXPECT_EQ(f.Text5[0]->text(), QStringLiteral("5000"));
    EXPECT_EQ(f.Combo3[0]->currentText(), QStringLiteral("3"));
    EXPECT_EQ(f.Text6[0]->text(), QStringLiteral(" V"));
    EXPECT_EQ(f.Text9[0]->text(), QStringLiteral("0.0"));
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 21);

    f.Combo2[0]->setCurrentIndex(5);
    f.Combo2_Click(0);
    f.Combo3[0]->setCurrentIndex(2);
    f.Text6[0]->setText(QStringLiteral("mV"));
    f.Combo4->setCurrentIndex(2);
    f.Combo4_Click();
    f.Combo5->setCurrentIndex(0);
    f.Combo5_Click();
    d.OKButton_Click();
    EXPECT_TRUE(d.unloaded());
    const QList<QByteArray> lines = mq::test::readAll(cfgPath()).split('\n');
    EXPECT_EQ(lines[11], QByteArray(",02:00:00\r"));
    EXPECT_EQ(lines[16], QByteArray(",V,K,K,K,\r"));
    EXPECT_EQ(lines[17], QByteArray(",mV , V , V , V ,\r"));
    EXPECT_EQ(lines[20], QByteArray(",2,3,3,3,\r"));
    EXPECT_EQ(lines[21], QByteArray(",------,-200.0,-200.0,-200.0,\r"));
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 20);  // "L00" goes with the dialog
}

TEST_F(LogEditorsTest, AnUnreadableLog0CfgIsReportedAndLeftOnDisk) {
    QDir().mkpath(dir.path() + QStringLiteral("/config"));
    const QByteArray junk = ",ZK4409-M-LS01-010100\r\nshort\r\n";
    mq::test::writeAll(cfgPath(), junk);
    ScopedMessageBoxHook hook(MsgResult::OK);
    log0_set_value d;
    ASSERT_EQ(hook.texts().size(), 1u);
    EXPECT_TRUE(hook.texts()[0].startsWith(QStringLiteral("既定収録設定ファイルを読み込めません。")));
    EXPECT_EQ(mq::test::readAll(cfgPath()), junk);
    EXPECT_EQ(d.form->Text7[0]->text(), QStringLiteral("1370.0"));  // the defaults are shown
}

TEST_F(LogEditorsTest, AFailedLog0CfgWriteKeepsTheDialogOpenAndSendsNothing) {
    log0_set_value d;
    // The file's place taken by a folder: the write cannot replace it.
    QFile::remove(cfgPath());
    QDir().mkpath(cfgPath() + QStringLiteral("/x"));
    ScopedMessageBoxHook hook(MsgResult::OK);
    bool progressShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { progressShown = progressShown || seq().dialog; });
    watch.start(0);
    d.Command1_Click();
    watch.stop();
    EXPECT_EQ(hook.texts().size(), 1u);
    EXPECT_FALSE(d.unloaded());
    EXPECT_FALSE(progressShown);  // the defaults write never started
    d.OKButton_Click();
    EXPECT_FALSE(d.unloaded());
}

}  // namespace
