// The TAG settings editor and the TAG defaults editor against the simulated
// logger in TAG mode: the commands of a write-all, a write-one and a defaults
// write with bytes worked out here from the logger's settings and the values
// typed, a refused (NAKed) command, tag switching, the shared clipboard, TAG
// setting files and TAG0.CFG through the editors, and a partial entry.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

#include "common/sim_link.h"
#include "common/file_dialog_driver.h"
#include "common/test_env.h"
#include "logger_sim/logger_sim.h"
#include "main_window/fake_windows.h"
#include "main_window/command_files.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "platform/cp932.h"
#include "platform/message_box.h"
#include "tag_settings/ops_tag_setting.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"
#include "setting_editor/setting_form.h"
#include "sequencer/setting_write.h"
#include "tag_settings/tag0_set_value.h"
#include "tag_settings/tag_set_value.h"
#include "tag_settings/tag_setting_files.h"

namespace {

using logger_sim::ChannelSetting;
using mq::home_state;
using mq::link;
using mq::model;
using mq::seq;
using mq::tag_set_value;
using mq::platform::MsgResult;
using mq::platform::ScopedMessageBoxHook;

QString nn(int n) { return QString::number(n).rightJustified(2, u'0'); }
QByteArray wire(const QString& s) { return mq::platform::cp932::encode(s); }

// One channel as it is expected on the wire; alarms in tenths, nullopt "-----".
struct Ch {
    QString type, unit;
    int min = 0, max = 0, dec = 0;
    std::optional<int> low, high;
};
using Tag = std::array<Ch, 4>;

QString scale(int v) {
    return (v < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(std::abs(v)).rightJustified(4, u'0');
}

QString tenths(std::optional<int> v, const QString& type) {
    if (!v || type == u"V" || type == u"-") return QStringLiteral("-----");
    QString d = QString::number(std::abs(*v)).rightJustified(2, u'0');
    if (*v < 0) d.prepend(u'-');
    return d.rightJustified(5, u' ');
}

QList<QByteArray> commandsOf(const QString& id, const Tag& t) {
    QString a = QStringLiteral("RP05CH") + id + u',';
    QString b = QStringLiteral("RP06AL") + id + u',';
    for (const Ch& x : t) {
        a += x.type + u',' + x.unit + u',' + scale(x.min) + u',' + scale(x.max) + u',' + QString::number(x.dec) + u',';
        b += tenths(x.low, x.type) + u',' + tenths(x.high, x.type) + u',';
    }
    return {wire(a), wire(b)};
}

// A channel as the editor holds it after showing the logger's setting: a
// thermocouple alarm that is not set is shown, and so sent, as 0.0.
Ch shown(const ChannelSetting& c) {
    auto raw = [](const QString& t) -> std::optional<int> {
        if (t.trimmed() == u"-----") return std::nullopt;
        return t.trimmed().toInt();
    };
    Ch e{c.type, c.unit, c.scaleMin, c.scaleMax, c.decimalPos, raw(c.lowAlarm), raw(c.highAlarm)};
    if (e.type == u"K" || e.type == u"E" || e.type == u"J" || e.type == u"T") {
        if (!e.low) e.low = 0;
        if (!e.high) e.high = 0;
    }
    return e;
}

logger_sim::Scenario tagScenario() {
    logger_sim::Scenario s = logger_sim::defaultScenario();
    s.mode = logger_sim::Mode::Tag;
    logger_sim::TagEntry t;
    t.tag = 4;
    t.name = QStringLiteral("ﾀｸﾞ4");
    t.channels[0].type = QStringLiteral("V");
    t.channels[0].unit = QStringLiteral("ｶﾅ ");
    t.channels[0].scaleMin = -1;
    t.channels[0].scaleMax = 50;
    t.channels[0].decimalPos = 2;
    t.channels[0].lowAlarm = QStringLiteral("  100");  // held by the logger, never sent for "V"
    t.channels[1].type = QStringLiteral("-");
    t.channels[2].type = QStringLiteral("T");
    t.channels[2].lowAlarm = QStringLiteral(" -500");
    t.channels[2].highAlarm = QStringLiteral(" 3999");
    s.tags.append(t);
    return s;
}

class TagEditorsTest : public mq::test::HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        home_state().targets.comm_dialog = [this](const QString& s) { dialogs << s; };
        mq::install_tag_setting_editor_targets(home_state().targets, home.get());
        QFile::remove(mq::tag0_cfg_path());
        ASSERT_TRUE(sim.start()) << sim.lastError().toStdString();
        mq::test::attachConnectedLogger(sim.devicePath(), sc.serial, mq::OpMode::Tag);
        setMode(2);
        model().logger_main->clsLOGGER_STATUS().let_model_name(sc.model);
    }
    void TearDown() override {
        ed.reset();
        sim.stop();
        qunsetenv("MARROWQUILL_PORTS");
        HomeTest::TearDown();
    }

    tag_set_value& open() {
        ed = std::make_unique<tag_set_value>(home.get());
        ed->show();
        EXPECT_TRUE(mq::test::waitUntil(
            [this] { return (ed->settings_read() && !seq().dialog) || ed->unloaded(); }, 20000));
        EXPECT_FALSE(ed->unloaded());
        return *ed;
    }

    Tag shownTag(int n) const {
        logger_sim::TagEntry t;
        for (const logger_sim::TagEntry& e : sim.scenario().tags)
            if (e.tag == n) t = e;
        Tag out;
        for (int c = 0; c < 4; ++c) out[size_t(c)] = shown(t.channels[c]);
        return out;
    }

    mq::clsLOGGER_SETTING& setting(const QString& key) {
        return model().logger_main->colLOGGER_DATA().Item(key)->clsLOGGER_SETTING();
    }

    static void choose(QComboBox* box, int index, const std::function<void()>& handler) {
        box->setCurrentIndex(index);
        handler();
    }
    static void type(QLineEdit* field, const QString& text, const std::function<void()>& lostFocus) {
        field->setText(text);
        lostFocus();
    }

    mq::SeqSlot seqSlot;
    mq::ConnectionSlot connSlot;
    const logger_sim::Scenario sc = tagScenario();
    logger_sim::Simulator sim{mq::test::configDir(), tagScenario()};
    std::unique_ptr<tag_set_value> ed;
    QStringList dialogs;
};

TEST_F(TagEditorsTest, WriteAllSendsFortyCommandsWithTheEditsStoredByTagSwitches) {
    tag_set_value& e = open();
    mq::SettingForm& f = *e.form;
    std::map<int, Tag> expected;
    for (int n = 1; n <= 20; ++n) expected[n] = shownTag(n);
    // The tag with a voltage channel shows its fields as read.
    e.Combo1->setCurrentIndex(3);
    EXPECT_EQ(f.Text4[0]->text(), QStringLiteral("-0001"));
    EXPECT_EQ(f.Text6[0]->text(), QStringLiteral("ｶﾅ"));
    EXPECT_EQ(f.Text7[0]->text(), QStringLiteral("------"));
    EXPECT_EQ(f.Text7[2]->text(), QStringLiteral("399.9"));
    EXPECT_EQ(f.Combo2[1]->currentText(), QStringLiteral("なし"));

    // Tag 3: CH1 a voltage input with half-width katakana in its unit, CH2 T
    // with typed alarms, CH3 not in use.
    e.Combo1->setCurrentIndex(2);
    choose(f.Combo2[0], 5, [&] { f.Combo2_Click(0); });
    EXPECT_EQ(f.Text7[0]->text(), QStringLiteral("------"));
    EXPECT_FALSE(f.Text7[0]->isEnabled());
    type(f.Text5[0], QStringLiteral("50"), [&] { f.Text5_LostFocus(0); });
    type(f.Text4[0], QStringLiteral("-1"), [&] { f.Text4_LostFocus(0); });
    f.Combo3[0]->setCurrentIndex(3);
    f.Text6[0]->setText(QStringLiteral("ｱｲｳ"));
    choose(f.Combo2[1], 4, [&] { f.Combo2_Click(1); });
    EXPECT_EQ(f.Text7[1]->text(), QStringLiteral("400.0"));
    type(f.Text7[1], QStringLiteral("350"), [&] { f.Text7_LostFocus(1); });
    type(f.Text8[1], QStringLiteral("400"), [&] { f.Text8_LostFocus(1); });
    EXPECT_EQ(f.Text8[1]->text(), QStringLiteral("-200.0")) << "a lower alarm not below the upper one";
    type(f.Text8[1], QStringLiteral("-12.5"), [&] { f.Text8_LostFocus(1); });
    choose(f.Combo2[2], 0, [&] { f.Combo2_Click(2); });
    expected[3][0] = Ch{"V", "ｱｲｳ", -1, 50, 3, {}, {}};
    expected[3][1] = Ch{"T", " V ", expected[3][1].min, expected[3][1].max, expected[3][1].dec, -125, 3500};
    expected[3][2].type = QStringLiteral("-");
    expected[3][2].unit = QStringLiteral(" V ");

    // Moving on stores tag 3; coming back shows what was stored.
    e.Combo1->setCurrentIndex(6);
    EXPECT_EQ(setting(QStringLiteral("L03")).Ch_input_type(0), QStringLiteral("V"));
    EXPECT_EQ(setting(QStringLiteral("L03")).Ch_unit(0), QStringLiteral("ｱｲｳ"));
    EXPECT_EQ(setting(QStringLiteral("L03")).Ch_input_type(2), QStringLiteral("-"));
    e.Combo1->setCurrentIndex(2);
    EXPECT_EQ(f.Text8[1]->text(), QStringLiteral("-12.5"));

    // Tag 20, edited and written from there without a further switch.
    e.Combo1->setCurrentIndex(19);
    choose(f.Combo2[3], 1, [&] { f.Combo2_Click(3); });
    expected[20][3] = Ch{"K", " V ", expected[20][3].min, expected[20][3].max, expected[20][3].dec, -2000, 13700};

    sim.clearReceived();
    ScopedMessageBoxHook answers(MsgResult::OK);
    e.Command1_Click();
    ASSERT_EQ(answers.texts().size(), 1u);
    EXPECT_EQ(answers.texts()[0], QStringLiteral("書き込みを行うとすべての収録済みデータが削除されます。よろしいですか？"));
    QList<QByteArray> want;
    for (int n = 1; n <= 20; ++n) want << commandsOf(nn(n), expected[n]);
    EXPECT_EQ(sim.writesReceived(), want);
    EXPECT_TRUE(e.unloaded());
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_FALSE(model().act_logger_data);
    for (const logger_sim::TagEntry& t : sim.scenario().tags)
        if (t.tag == 3) EXPECT_EQ(t.channels[0].unit, QStringLiteral("ｱｲｳ"));
}

TEST_F(TagEditorsTest, WriteOneFromTheMenuAsksWithTheTagAndSendsOnlyThatTag) {
    // The question is answered with Enter in the real message box.
    QString asked;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    answer.start(10);
    bool done = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        tag_set_value* e = tag_set_value::openInstance();
        if (!e || !e->settings_read() || seq().dialog) return;
        poll.stop();
        e->Combo1->setCurrentIndex(11);
        sim.clearReceived();
        e->Command3_Click();
        done = true;
    });
    poll.start(10);
    home->logingsv_Click();
    answer.stop();
    ASSERT_TRUE(done);
    EXPECT_EQ(asked, QStringLiteral("書き込みを行うとTAG12に収録済みのデータは削除されます。よろしいですか？"));
    EXPECT_EQ(sim.writesReceived(), commandsOf(QStringLiteral("12"), shownTag(12)));
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_EQ(model().act_data_kind, 2);
    EXPECT_FALSE(model().act_logger_data) << "no data window is open";
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_TRUE(keysReachHome());
}

TEST_F(TagEditorsTest, ANakStopsTheWriteWithTheMessageAndKeepsTheLink) {
    const struct {
        bool all;
        int nakAt;
        int sent;
        QString what;
    } cases[] = {
        {true, 6, 6, QStringLiteral("TAG03 警報値")},
        {true, 1, 1, QStringLiteral("TAG01 ｾﾝｻ/入力・ｽｹｰﾙ・単位")},
        {false, 2, 2, QStringLiteral("TAG05 警報値")},
    };
    for (const auto& c : cases) {
        tag_set_value& e = open();
        e.Combo1->setCurrentIndex(4);
        sim.clearReceived();
        sim.nakNthWrite(c.nakAt);
        ScopedMessageBoxHook answers(MsgResult::OK);
        if (c.all) e.Command1_Click();
        else e.Command3_Click();
        EXPECT_EQ(sim.writesReceived().size(), c.sent) << c.what.toStdString();
        EXPECT_EQ(answers.texts().back(), mq::setting_write_rejected_message(c.what));
        EXPECT_EQ(e.written(), mq::Outcome::Refused);
        EXPECT_TRUE(link().link_connected_flag);
        EXPECT_TRUE(e.unloaded());
        sim.nakNthWrite(0);
    }
}

TEST_F(TagEditorsTest, DeclinedQuestionsAndCancelSendNothingButSwitchesStayStored) {
    tag_set_value& e = open();
    mq::SettingForm& f = *e.form;
    sim.clearReceived();
    {
        ScopedMessageBoxHook no(MsgResult::Cancel);
        e.Command1_Click();
        e.Command3_Click();
        e.Command4_Click();
    }
    EXPECT_FALSE(e.unloaded());
    e.Combo1->setCurrentIndex(2);
    choose(f.Combo2[0], 3, [&] { f.Combo2_Click(0); });
    e.Combo1->setCurrentIndex(3);
    e.Command2_Click();
    EXPECT_TRUE(e.unloaded());
    EXPECT_TRUE(sim.received().isEmpty());
    EXPECT_EQ(setting(QStringLiteral("L03")).Ch_input_type(0), QStringLiteral("J"));
    EXPECT_EQ(setting(QStringLiteral("L03")).Ch_high_alarm_count_value(0), 700.0);
}

TEST_F(TagEditorsTest, PasteNeedsACopyAndTakesOverOneMadeInTheLogForm) {
    tag_set_value e(home.get());  // not shown: nothing is read
    mq::SettingForm& f = *e.form;
    ScopedMessageBoxHook answers(MsgResult::OK);
    const QString before = f.Text7[0]->text();
    e.setting_paste();
    ASSERT_EQ(answers.texts().size(), 1u);
    EXPECT_EQ(answers.texts()[0], QStringLiteral("カットバッファにデータがありません。"));
    EXPECT_EQ(f.Text7[0]->text(), before);

    mq::clsLOGGER_SETTING defaults;
    mq::tag_setting_channels_read(mq::tag0_cfg_default_bytes(), QString(), defaults);
    mq::SettingForm log(nullptr, mq::SettingFormKind::Log);
    log.fill(defaults);
    log.set_interval_silently(1, 2, 0);
    log.Combo2[0]->setCurrentIndex(1);
    log.Combo2_Click(0);
    log.Text6[0]->setText(QStringLiteral("ｱｲ"));
    log.Text7[0]->setText(QStringLiteral("123.4"));
    log.Text9[0]->setText(QStringLiteral("5.0"));
    log.copy_to(e.clip);
    e.setting_paste();
    EXPECT_EQ(f.Combo2[0]->currentText(), QStringLiteral("K"));
    EXPECT_EQ(f.Text6[0]->text(), QStringLiteral("ｱｲ "));
    EXPECT_EQ(f.Text7[0]->text(), QStringLiteral("123.4 "));
    EXPECT_FALSE(f.Text4[0]->isEnabled());

    // A TAG copy leaves the LOG editor's own fields of the clipboard alone.
    f.Text7[0]->setText(QStringLiteral("99.0"));
    e.setting_copy();
    EXPECT_EQ(e.clip.hh, QStringLiteral("1 "));
    EXPECT_EQ(e.clip.sum_std[0], QStringLiteral("5.0   "));
    EXPECT_EQ(e.clip.high_alarm[0], QStringLiteral("99.0  "));
    e.Combo1->setCurrentIndex(1);  // the paste reached tag 1 only as an edit; the switch stores it
    EXPECT_EQ(setting(QStringLiteral("L01")).Ch_high_alarm_count_value(0), 99.0);
    EXPECT_EQ(answers.texts().size(), 1u) << "the pasted set is whole: no field kept";
}

TEST_F(TagEditorsTest, SettingFilesRoundTripThroughTheEditorAndAForeignFileIsRefused) {
    tag_set_value& e = open();
    mq::SettingForm& f = *e.form;
    ScopedMessageBoxHook answers(MsgResult::OK);
    const QString dir = model().user_dir + QStringLiteral("/files");
    QDir().mkpath(dir);
    QString answer;
    e.file_dialog = [&](QWidget*, const mq::FileDialogRequest&) { return mq::FileDialogAnswer{!answer.isEmpty(), answer, 1}; };

    e.Combo1->setCurrentIndex(3);  // the tag with a katakana unit
    choose(f.Combo2[3], 4, [&] { f.Combo2_Click(3); });
    type(f.Text7[3], QStringLiteral("123"), [&] { f.Text7_LostFocus(3); });
    answer.clear();
    e.csv_write();  // cancelled: the fields reached the tag all the same
    EXPECT_EQ(setting(QStringLiteral("L04")).Ch_input_type(3), QStringLiteral("T"));
    answer = dir + QStringLiteral("/t4.Csv");
    e.csv_write();
    const QByteArray bytes = mq::test::readAll(answer + QStringLiteral(".csv"));
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_GE(lines.size(), 18);
    EXPECT_EQ(lines[0], ",ZK4409MU-TS01-010100\r");
    EXPECT_EQ(lines[11], ",V,-,T,T,,\r");
    EXPECT_EQ(lines[12], wire(QStringLiteral(",ｶﾅ ,ﾟC ,ﾟC , V ,,\r")));
    EXPECT_EQ(lines[13], ",-1,0,0,0,,\r");
    EXPECT_EQ(lines[17], ",------,------,399.9,123,,\r");

    // Other values in the fields; reading the file brings the saved ones back.
    choose(f.Combo2[0], 1, [&] { f.Combo2_Click(0); });
    f.Text6[0]->setText(QStringLiteral("X"));
    answer += QStringLiteral(".csv");
    e.csv_read();
    EXPECT_EQ(f.Combo2[0]->currentText(), QStringLiteral("V"));
    EXPECT_EQ(f.Text6[0]->text(), QStringLiteral("ｶﾅ"));
    EXPECT_EQ(f.Text4[0]->text(), QStringLiteral("-0001"));
    EXPECT_EQ(f.Text7[3]->text(), QStringLiteral("123.0"));

    // Only the second field of line 1 is compared: a file whose line 1 lacks
    // the leading empty field is refused and changes nothing.
    const QString foreign = dir + QStringLiteral("/foreign.csv");
    mq::test::writeAll(foreign, QByteArray("TS01-010100\r\n") + bytes.mid(bytes.indexOf('\n') + 1));
    answer = foreign;
    ASSERT_TRUE(answers.texts().empty()) << answers.texts().front().toStdString();
    e.csv_read();
    ASSERT_EQ(answers.texts().size(), 1u);
    EXPECT_EQ(answers.texts()[0], QStringLiteral("選択ファイルの形式がタグ設定データではありません。"));
    EXPECT_EQ(f.Text6[0]->text(), QStringLiteral("ｶﾅ"));
}

TEST_F(TagEditorsTest, APartialEntryIsNamedAndTheStoredValueStays) {
    tag_set_value& e = open();
    mq::SettingForm& f = *e.form;
    e.Combo1->setCurrentIndex(3);
    f.Text4[0]->setText(QStringLiteral("-"));  // typed, the field not left yet
    f.Combo3[0]->setCurrentIndex(-1);
    ScopedMessageBoxHook answers(MsgResult::OK);
    e.Combo1->setCurrentIndex(4);
    ASSERT_EQ(answers.texts().size(), 1u);
    EXPECT_EQ(answers.texts()[0],
              mq::setting_fields_kept_message({QStringLiteral("CH1 ｽｹｰﾙ最小値"), QStringLiteral("CH1 ﾋﾟﾘｵﾄﾞ位置")}));
    EXPECT_EQ(setting(QStringLiteral("L04")).Ch_scale_min(0), -1);
    EXPECT_EQ(setting(QStringLiteral("L04")).Ch_period_pos(0), 0);
}

class TagEditorNoLogger : public mq::test::HomeTest {
protected:
    mq::SeqSlot seqSlot;
};

// ---------------------------------------------------------------- the defaults

TEST_F(TagEditorsTest, DefaultsEditorMakesTAG0AndListUpdateStoresWithoutSending) {
    ScopedMessageBoxHook answers(MsgResult::OK);
    sim.clearReceived();
    {
        mq::tag0_set_value d(home.get());
        mq::SettingForm& f = *d.form;
        EXPECT_EQ(mq::test::readAll(mq::tag0_cfg_path()), mq::tag0_cfg_default_bytes());
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(f.Combo2[c]->currentText(), QStringLiteral("K"));
            EXPECT_EQ(f.Text4[c]->text(), QStringLiteral("0000"));
            EXPECT_EQ(f.Text5[c]->text(), QStringLiteral("5000"));
            EXPECT_EQ(f.Combo3[c]->currentText(), QStringLiteral("3"));
            EXPECT_EQ(f.Text7[c]->text(), QStringLiteral("1370.0"));
            EXPECT_EQ(f.Text8[c]->text(), QStringLiteral("-200.0"));
        }
        EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 21);
        choose(f.Combo2[1], 5, [&] { f.Combo2_Click(1); });
        f.Text6[1]->setText(QStringLiteral("ﾐﾘ"));
        type(f.Text7[2], QStringLiteral("300"), [&] { f.Text7_LostFocus(2); });
        d.OKButton_Click();
        EXPECT_TRUE(d.unloaded());
    }
    const QList<QByteArray> lines = mq::test::readAll(mq::tag0_cfg_path()).split('\n');
    EXPECT_EQ(lines[11], ",K,V,K,K,,\r");
    EXPECT_EQ(lines[12], wire(QStringLiteral(", V ,ﾐﾘ , V , V ,,\r")));
    EXPECT_EQ(lines[16], ",-200.0,------,-200.0,-200.0,,\r");
    EXPECT_EQ(lines[17], ",1370.0,------,300.0 ,1370.0,,\r");
    EXPECT_TRUE(sim.received().isEmpty());
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 20) << "L00 goes with the editor";

    // Cancel stores nothing.
    const QByteArray before = mq::test::readAll(mq::tag0_cfg_path());
    {
        mq::tag0_set_value d(home.get());
        EXPECT_EQ(d.form->Text6[1]->text(), QStringLiteral("ﾐﾘ"));
        d.form->Text6[1]->setText(QStringLiteral("X"));
        d.CancelButton_Click();
    }
    EXPECT_EQ(mq::test::readAll(mq::tag0_cfg_path()), before);
}

TEST_F(TagEditorsTest, DefaultsOkWritesTheFileThenTagZeroAndClosesOnEveryOutcome) {
    const struct {
        int nakAt;
        int sent;
        QString refused;
    } cases[] = {{0, 2, QString()}, {1, 1, QStringLiteral("既定収録設定 ｾﾝｻ/入力・ｽｹｰﾙ・単位")}};
    for (const auto& c : cases) {
        QFile::remove(mq::tag0_cfg_path());
        sim.clearReceived();
        sim.nakNthWrite(c.nakAt);
        ScopedMessageBoxHook answers(MsgResult::OK);
        // Through the main window's defaults command in TAG mode.
        QTimer::singleShot(0, [&] {
            mq::tag0_set_value* d = mq::tag0_set_value::openInstance();
            ASSERT_NE(d, nullptr);
            choose(d->form->Combo2[0], 4, [&] { d->form->Combo2_Click(0); });
            d->Command1_Click();
        });
        home->defset_Click();
        EXPECT_EQ(mq::tag0_set_value::openInstance(), nullptr);
        Tag t;
        for (Ch& x : t) x = Ch{"K", " V ", 0, 5000, 3, -2000, 13700};
        t[0] = Ch{"T", " V ", 0, 5000, 3, -2000, 4000};
        EXPECT_EQ(sim.writesReceived(), commandsOf(QStringLiteral("00"), t).mid(0, c.sent));
        EXPECT_TRUE(mq::test::readAll(mq::tag0_cfg_path()).contains(",T,K,K,K,,")) << "the file first";
        if (!c.refused.isEmpty()) EXPECT_EQ(answers.texts().back(), mq::setting_write_rejected_message(c.refused));
        EXPECT_TRUE(link().link_connected_flag);
        EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 20);
        EXPECT_TRUE(home_state().app_idle_flag);
    }
    EXPECT_EQ(sim.scenario().defaults.channels[0].type, QStringLiteral("T"));
}

TEST_F(TagEditorsTest, ATAG0ThatCannotBeWrittenKeepsTheEditorOpenAndSendsNothing) {
    ScopedMessageBoxHook answers(MsgResult::OK);
    mq::tag0_set_value d(home.get());
    // A folder in the file's place cannot be replaced, even by root.
    ASSERT_TRUE(QFile::remove(mq::tag0_cfg_path()));
    ASSERT_TRUE(QDir().mkpath(mq::tag0_cfg_path() + QStringLiteral("/keep")));
    sim.clearReceived();
    const size_t before = answers.texts().size();
    d.OKButton_Click();
    d.Command1_Click();
    EXPECT_EQ(answers.texts().size(), before + 2);
    EXPECT_FALSE(d.unloaded());
    EXPECT_TRUE(sim.received().isEmpty());
    QDir(mq::tag0_cfg_path()).removeRecursively();
}

TEST_F(TagEditorsTest, ABrokenTAG0IsReportedAndKeptAndTheDefaultsGoIntoTheTagOnlyAsEdits) {
    // Not a setting file at all, and alarms that read as numbers but do not
    // fit once scaled: each is named, kept, and the defaults stand in.
    const QByteArray defaults = mq::tag0_cfg_default_bytes();
    const QByteArray brokenFiles[] = {
        "not a setting file\r\n",
        QByteArray(defaults).replace(",-200.0,-200.0,", ",9999999999,-200.0,"),
        QByteArray(defaults).replace(",1370.0,1370.0,", ",1370.0,5000100000,"),
    };
    for (const QByteArray& broken : brokenFiles) {
        mq::test::writeAll(mq::tag0_cfg_path(), broken);
        {
            ScopedMessageBoxHook answers(MsgResult::OK);
            mq::tag0_set_value d(home.get());
            ASSERT_EQ(answers.texts().size(), 1u);
            EXPECT_EQ(answers.texts()[0], QStringLiteral("設定ファイルを読み込めませんでした。\n") + mq::tag0_cfg_path() +
                                              QStringLiteral("\r\n既定の値を使います。"));
            EXPECT_EQ(d.form->Text5[0]->text(), QStringLiteral("5000"));
            d.CancelButton_Click();
        }
        EXPECT_EQ(mq::test::readAll(mq::tag0_cfg_path()), broken);
    }

    // A good file, taken over into the shown tag by "既定収録値読み込み".
    mq::clsLOGGER_SETTING custom;
    mq::tag_setting_channels_read(mq::tag0_cfg_default_bytes(), QString(), custom);
    custom.let_Ch_input_type(2, QStringLiteral("J"));
    ASSERT_TRUE(static_cast<bool>(mq::tag0_cfg_save(custom, nullptr)));
    tag_set_value& e = open();
    e.Combo1->setCurrentIndex(3);
    ScopedMessageBoxHook answers(MsgResult::OK);
    e.Command4_Click();
    EXPECT_EQ(answers.texts().back(), QStringLiteral("既定収録値を読み込みます。　よろしいですか？"));
    EXPECT_EQ(e.form->Combo2[2]->currentText(), QStringLiteral("J"));
    EXPECT_EQ(e.form->Text5[0]->text(), QStringLiteral("5000"));
    EXPECT_EQ(setting(QStringLiteral("L04")).Ch_input_type(2), QStringLiteral("T")) << "not stored before a switch";
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 20);
    e.Combo1->setCurrentIndex(0);
    EXPECT_EQ(setting(QStringLiteral("L04")).Ch_input_type(2), QStringLiteral("J"));
}

}  // namespace

namespace {

// The two commands straight from a setting: a voltage channel's alarms go as
// "-----" even when the setting holds values, and a channel not in use keeps
// its type, unit, scales and position.
TEST_F(TagEditorNoLogger, TagSettingCommandsCarryTheFieldsAtTheirPositions) {
    ASSERT_TRUE(mq::cmd_table_load(mq::test::configDir()));
    mq::clsLOGGER_SETTING s;
    const struct {
        const char* type;
        const char* unit;
        qint16 min, max;
        quint8 pos;
        const char* low;
        const char* high;
    } chs[] = {
        {"V", "mV ", -1, 50, 2, "1.25", "3.5"},
        {"-", "ｱｲ ", -9999, 0, 0, "------", "------"},
        {"K", " V ", 0, 5000, 3, "-200.0", "1370.0"},
        {"T", " V ", 0, 5000, 1, "0.0", "2.5"},
    };
    for (int c = 0; c < 4; ++c) {
        s.let_Ch_input_type(c, QString::fromUtf8(chs[c].type));
        s.let_Ch_period_pos(c, chs[c].pos);
        s.let_Ch_unit(c, QString::fromUtf8(chs[c].unit));
        s.let_Ch_scale_min(c, chs[c].min);
        s.let_Ch_scale_max(c, chs[c].max);
        s.let_Ch_low_alarm_count(c, QString::fromUtf8(chs[c].low));
        s.let_Ch_high_alarm_count(c, QString::fromUtf8(chs[c].high));
    }
    const QStringList cmds = mq::tag_setting_commands(s, QStringLiteral("07"));
    ASSERT_EQ(cmds.size(), 2);
    EXPECT_EQ(cmds[0], QStringLiteral("RP05CH07,V,mV ,-0001, 0050,2,-,ｱｲ ,-9999, 0000,0,K, V , 0000, 5000,3,T, V , 0000, 5000,1,"));
    EXPECT_EQ(cmds[1], QStringLiteral("RP06AL07,-----,-----,-----,-----,-2000,13700,   00,   25,"));
}

}  // namespace

namespace {

// The open dialog of the TAG setting file, answered in the real file dialog.
TEST_F(TagEditorNoLogger, TheSettingFileIsChosenInTheRealOpenDialog) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    mq::clsLOGGER_SETTING s;
    mq::tag_setting_channels_read(mq::tag0_cfg_default_bytes(), QString(), s);
    s.let_Ch_input_type(1, QStringLiteral("E"));
    ASSERT_TRUE(static_cast<bool>(mq::tag_setting_file_save(dir.path() + QStringLiteral("/chosen.csv"), s, nullptr)));
    tag_set_value ed(home.get());
    ASSERT_TRUE(mq::test::answerFileDialog(dir.path(), QStringLiteral("chosen.csv"), [&] { ed.Toolbar1_ButtonClick(1); }));
    EXPECT_EQ(ed.form->Combo2[1]->currentText(), QStringLiteral("E"));
    EXPECT_EQ(ed.form->Text7[1]->text(), QStringLiteral("1370.0"));
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L01"))->clsLOGGER_SETTING().Ch_input_type(1),
              QStringLiteral("E"));
}

}  // namespace
