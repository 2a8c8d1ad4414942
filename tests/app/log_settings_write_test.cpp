// Writing LOG settings to the simulated logger through the real settings
// editor: the 80 commands of a write-all with bytes worked out here from the
// scenario and from the values typed, a refused (NAKed) command, write-one
// with a duration reservation made in the real reservation dialog, and the
// clock check of a timed reservation.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

#include "common/file_dialog_driver.h"
#include "common/sim_link.h"
#include "common/test_env.h"
#include "log_settings/ops_log_setting.h"
#include "log_settings/log0_set_value.h"
#include "log_settings/log_set_value.h"
#include "log_settings/ls01_file.h"
#include "setting_editor/setting_form.h"
#include "log_settings/reserve.h"
#include "logger_sim/logger_sim.h"
#include "main_window/fake_windows.h"
#include "main_window/file_open.h"
#include "main_window/identity_check.h"
#include "main_window/scrambling.h"
#include "main_window/serial_link.h"
#include "platform/cp932.h"
#include "platform/message_box.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

namespace {

using logger_sim::ChannelSetting;
using logger_sim::LogArea;
using mq::home_state;
using mq::link;
using mq::log_set_value;
using mq::model;
using mq::seq;
using mq::platform::MsgResult;
using mq::platform::ScopedMessageBoxHook;

const QDateTime kClock(QDate(2013, 12, 10), QTime(9, 5, 0));

QString nn(int n) { return QString::number(n).rightJustified(2, u'0'); }

// What one channel is expected to be written as. Alarm values in tenths;
// nullopt for "-----".
struct Ch {
    QString type, unit;
    int min = 0, max = 0, dec = 0;
    std::optional<int> low, high, base;
};

// A 5-character value field: tenths without the point, at least two digits.
QString tenths(std::optional<int> v, const QString& type) {
    if (!v || type == u"V" || type == u"-") return QStringLiteral("-----");
    QString d = QString::number(std::abs(*v)).rightJustified(2, u'0');
    if (*v < 0) d.prepend(u'-');
    return d.rightJustified(5, u' ');
}

QString scale(int v) {
    return (v < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(std::abs(v)).rightJustified(4, u'0');
}

std::optional<int> raw(const QString& t) {
    if (t.trimmed() == u"-----") return std::nullopt;
    return t.trimmed().toInt();
}

// A channel as the editor holds it after showing the logger's setting: a
// thermocouple channel shows an unset value as 0.0 and sends it so.
Ch shown(const ChannelSetting& c) {
    Ch e{c.type, c.unit, c.scaleMin, c.scaleMax, c.decimalPos, raw(c.lowAlarm), raw(c.highAlarm), raw(c.integrationBase)};
    if (c.type == u"K" || c.type == u"E" || c.type == u"J" || c.type == u"T") {
        for (auto* v : {&e.low, &e.high, &e.base})
            if (!*v) *v = 0;
    }
    return e;
}

struct Area {
    QString interval;
    std::array<Ch, 4> ch;
};

QList<QByteArray> commandsOf(int n, const Area& a) {
    const QString id = nn(n);
    QString iv = a.interval;
    iv.remove(u':');
    QString b = QStringLiteral("RP05CH") + id + u',';
    QString c = QStringLiteral("RP06AL") + id + u',';
    QString d = QStringLiteral("RP07IB") + id + u',';
    for (const Ch& x : a.ch) {
        b += x.type + u',' + x.unit + u',' + scale(x.min) + u',' + scale(x.max) + u',' + QString::number(x.dec) + u',';
        c += tenths(x.low, x.type) + u',' + tenths(x.high, x.type) + u',';
        d += tenths(x.base, x.type) + u',';
    }
    QList<QByteArray> out;
    for (const QString& t : {QStringLiteral("RP08IN") + id + u',' + iv + u',', b, c, d}) {
        out << mq::platform::cp932::encode(t);
    }
    return out;
}

class LogSettingsWriteTest : public mq::test::HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        home_state().targets.comm_dialog = [this](const QString& s) { dialogs << s; };
        mq::install_log_settings_targets(home_state().targets);
        sim = std::make_unique<logger_sim::Simulator>(mq::test::configDir(), scenario());
        ASSERT_TRUE(sim->start()) << sim->lastError().toStdString();
        sim->freezeClock(kClock);
        mq::test::attachConnectedLogger(sim->devicePath());
        setMode(1);
    }
    void TearDown() override {
        ed.reset();
        sim->stop();
        qunsetenv("MARROWQUILL_PORTS");
        HomeTest::TearDown();
    }

    log_set_value& open() {
        ed = std::make_unique<log_set_value>(home.get());
        ed->show();
        EXPECT_TRUE(mq::test::waitUntil(
            [this] { return (ed->settings_read() && !seq().dialog) || ed->unloaded(); }, 20000));
        EXPECT_FALSE(ed->unloaded());
        return *ed;
    }

    LogArea scenarioArea(int n) const {
        for (const LogArea& a : sim->scenario().areas)
            if (a.area == n) return a;
        LogArea empty;
        empty.area = n;
        return empty;
    }

    Area shownArea(int n) const {
        const LogArea a = scenarioArea(n);
        Area e{a.interval, {}};
        for (int c = 0; c < 4; ++c) e.ch[size_t(c)] = shown(a.channels[c]);
        return e;
    }

    // Chooses a list item as the user does (the list's own handler runs).
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
    virtual logger_sim::Scenario scenario() const { return logger_sim::defaultScenario(); }

    std::unique_ptr<logger_sim::Simulator> sim;
    std::unique_ptr<log_set_value> ed;
    QStringList dialogs;
};

TEST_F(LogSettingsWriteTest, WriteAllSendsTheEightyCommandsOfTheEditedAreasInOrder) {
    log_set_value& e = open();
    mq::SettingForm& f = *e.form;
    std::map<int, Area> expected;
    for (int n = 1; n <= 20; ++n) expected[n] = shownArea(n);

    // Area 2: interval, CH1 to E with typed alarms, CH2 to a voltage input.
    e.Combo1->setCurrentIndex(1);
    choose(f.Combo4, 1, [&] { f.Combo4_Click(); });
    choose(f.Combo5, 30, [&] { f.Combo5_Click(); });
    choose(f.Combo2[0], 2, [&] { f.Combo2_Click(0); });
    type(f.Text7[0], QStringLiteral("650"), [&] { f.Text7_LostFocus(0); });
    type(f.Text8[0], QStringLiteral("-150"), [&] { f.Text8_LostFocus(0); });
    type(f.Text9[0], QStringLiteral("12.34"), [&] { f.Text9_LostFocus(0); });
    choose(f.Combo2[1], 5, [&] { f.Combo2_Click(1); });
    type(f.Text4[1], QStringLiteral("-100"), [&] { f.Text4_LostFocus(1); });
    type(f.Text5[1], QStringLiteral("2500"), [&] { f.Text5_LostFocus(1); });
    f.Combo3[1]->setCurrentIndex(2);
    f.Text6[1]->setText(QStringLiteral("mV"));
    EXPECT_EQ(f.Text7[0]->text(), QStringLiteral("650.0"));
    EXPECT_EQ(f.Text9[0]->text(), QStringLiteral("12.3"));
    expected[2].interval = QStringLiteral("01:30:00");
    expected[2].ch[0] = Ch{"E", " V ", -200, 1370, 1, -1500, 6500, 123};
    expected[2].ch[1] = Ch{"V", "mV ", -100, 2500, 2, {}, {}, {}};

    // Area 20: CH4 to T with a typed high alarm; then show area 5 and write from there.
    e.Combo1->setCurrentIndex(19);
    choose(f.Combo2[3], 4, [&] { f.Combo2_Click(3); });
    type(f.Text7[3], QStringLiteral("350.5"), [&] { f.Text7_LostFocus(3); });
    expected[20].ch[3] = Ch{"T", " V ", 0, 9999, 1, -2000, 3505, 0};
    e.Combo1->setCurrentIndex(4);

    sim->clearReceived();
    ScopedMessageBoxHook answers(MsgResult::OK);
    e.Command1_Click();

    QList<QByteArray> want;
    for (int n = 1; n <= 20; ++n) want << commandsOf(n, expected[n]);
    ASSERT_EQ(want.size(), 80);
    const QList<QByteArray> got = sim->writesReceived();
    ASSERT_EQ(got.size(), 80);
    for (int i = 0; i < 80; ++i) EXPECT_EQ(got[i], want[i]) << "command " << i + 1;
    // Nothing after the settings: no reservation was set.
    EXPECT_EQ(sim->received().last(), want.last());
    EXPECT_EQ(answers.texts(),
              std::vector<QString>{QStringLiteral("書き込みを行うとすべての収録済みデータが削除されます。よろしいですか？")});
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_TRUE(e.unloaded());
    EXPECT_EQ(sim->scenario().areas.size(), 20);  // every area written
}

TEST_F(LogSettingsWriteTest, ANakStopsTheWriteWithAMessageAndTheLinkStaysUp) {
    log_set_value& e = open();
    sim->clearReceived();
    sim->nakNthWrite(10);  // area 3's channel-input command
    ScopedMessageBoxHook answers(MsgResult::OK);
    e.Command1_Click();

    EXPECT_EQ(sim->writesReceived().size(), 10);
    const auto texts = answers.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_TRUE(texts[1].contains(QStringLiteral("受け付けませんでした"))) << texts[1].toStdString();
    EXPECT_TRUE(texts[1].contains(QStringLiteral("LOG03 ｾﾝｻ/入力・ｽｹｰﾙ・単位"))) << texts[1].toStdString();
    EXPECT_EQ(e.written(), mq::Outcome::Refused);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_TRUE(dialogs.isEmpty());  // no lost-link message
    EXPECT_TRUE(e.unloaded());
    EXPECT_TRUE(home_state().app_idle_flag);
    // The refused command changed nothing in the logger.
    EXPECT_EQ(sim->scenario().areas.size(), 3);
}

TEST_F(LogSettingsWriteTest, WriteOneWithADurationReservationSendsTheClockReadAndTheReservationAfterTheSetting) {
    home->winTable().win_logger_open_log(QStringLiteral("01"));
    home_state().area_window_flags[1] = true;
    log_set_value& e = open();
    ASSERT_EQ(e.shown_area(), 1);
    e.Check1->click();
    ASSERT_TRUE(e.Command3->isVisible());
    EXPECT_FALSE(e.Command1->isEnabled());

    // The real reservation dialog: no start, a duration of 51 hours.
    bool driven = false;
    QTimer drive;
    QObject::connect(&drive, &QTimer::timeout, [&] {
        mq::reserve* r = mq::reserve::openInstance();
        if (!r || !r->clock_read() || seq().dialog || driven) return;
        driven = true;
        EXPECT_EQ(r->Label23->text(), QStringLiteral("120000"));
        r->Check1->click();
        r->Option2->click();
        r->Text9->setText(QStringLiteral("51"));
        r->Text10->setText(QStringLiteral("0"));
        r->Text11->setText(QStringLiteral("0"));
        EXPECT_EQ(r->Label12->text(), QStringLiteral("73444"));  // 51 h / 10 s x 4 channels + 4
        r->cmdOK->click();
    });
    drive.start(5);
    e.Command3_Click();
    drive.stop();
    ASSERT_TRUE(driven);
    EXPECT_EQ(e.Label14->text(), QStringLiteral("1"));
    EXPECT_TRUE(e.reservation().by_duration);
    EXPECT_EQ(e.reservation().dur_halfdays, 4);
    EXPECT_EQ(e.reservation().dur_text, QStringLiteral("03:00:00"));

    sim->clearReceived();
    ScopedMessageBoxHook answers(MsgResult::OK);
    e.Command5_Click();

    const QList<QByteArray> got = sim->received();
    const QList<QByteArray> setting = commandsOf(1, shownArea(1));
    ASSERT_GE(got.size(), 7);
    const QList<QByteArray> tail = got.mid(got.size() - 7);
    EXPECT_EQ(tail.mid(0, 4), setting);
    EXPECT_EQ(tail[4], QByteArray("ST04CK"));
    EXPECT_EQ(tail[5], QByteArray("RP00RS01,000000000000,"));
    // Clock 2013/12/10 09:05:00 + 2 s + 3 h + 4 x 12 h.
    EXPECT_EQ(tail[6], QByteArray("RP01RE01,131212120502,"));
    EXPECT_EQ(sim->writesReceived().size(), 6);
    EXPECT_EQ(answers.texts().front(), QStringLiteral("書き込みを行うとLOG1に収録済みのデータは削除されます。よろしいですか？"));
    EXPECT_EQ(answers.texts().back(), QStringLiteral("予約設定を送信しました。"));
    EXPECT_FALSE(link().link_connected_flag);  // the logger waits for its start
    // The program ended the link itself: no message says it was lost.
    EXPECT_TRUE(dialogs.isEmpty());
    EXPECT_EQ(home->statusPanelText(1), QStringLiteral("未接続"));
    EXPECT_TRUE(e.unloaded());
    EXPECT_EQ(home->winTable().win_logger_use_ct(), 0);
    EXPECT_TRUE(keysReachHome());

    // With no window left the program has no mode: File Open offers every
    // type and a TAG file opens without a word.
    const QString folder = mq::test::dataHome();
    QFile mt1(folder + QStringLiteral("/after.MT1"));
    ASSERT_TRUE(mt1.open(QIODevice::WriteOnly));
    mt1.write(mq::data_disk_angou_load_1("ZK4409MU-TD01-010100") + "\r\n");
    mt1.close();
    answers.clear();
    QStringList offered;
    ASSERT_TRUE(mq::test::answerFileDialog(folder, QStringLiteral("after.MT1"),
                                           [this] { mq::fileopen_Click(*home); }, &offered));
    EXPECT_EQ(offered.size(), 3);
    EXPECT_TRUE(answers.texts().empty());
    EXPECT_EQ(fills.back(), QStringLiteral("mt1:F00"));
}

TEST_F(LogSettingsWriteTest, ATimedReservationMustLieMoreThanThirtySecondsAfterTheLoggerClock) {
    struct Case {
        int seconds;
        bool accepted;
    };
    for (const Case& c : {Case{30, false}, Case{31, true}}) {
        SCOPED_TRACE(c.seconds);
        link().link_connected_flag = true;
        log_set_value& e = open();
        // The state the reservation dialog and the "設定..." button leave for area 1.
        e.Check1->setChecked(true);
        e.Label14->setText(QStringLiteral("1"));
        const QString start = kClock.addSecs(c.seconds).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
        e.reservation().start = start;
        e.reservation().stop = QStringLiteral("0000/00/00 00:00:00");

        sim->clearReceived();
        ScopedMessageBoxHook answers(MsgResult::OK);
        e.Command5_Click();
        const QList<QByteArray> writes = sim->writesReceived();
        if (c.accepted) {
            ASSERT_EQ(writes.size(), 6);
            EXPECT_EQ(writes[4], QByteArray("RP00RS01,131210090531,"));
            EXPECT_EQ(writes[5], QByteArray("RP01RE01,000000000000,"));
            EXPECT_TRUE(e.unloaded());
        } else {
            EXPECT_TRUE(writes.isEmpty());
            EXPECT_EQ(answers.texts().back(), QStringLiteral("ロガー本体時刻より手前は設定出来ません。"));
            EXPECT_FALSE(e.unloaded());
            EXPECT_EQ(e.Label14->text(), QStringLiteral("--"));
            EXPECT_FALSE(e.Check1->isChecked());
            EXPECT_TRUE(e.reservation().start.isEmpty());
            EXPECT_TRUE(link().link_connected_flag);
        }
        ed.reset();
    }
}

TEST_F(LogSettingsWriteTest, TheDefaultsEditorStoresOnThePcAndSendsNumberZeroZero) {
    mq::log0_set_value d(home.get());
    mq::SettingForm& f = *d.form;
    f.Combo2[3]->setCurrentIndex(5);  // CH4 to a voltage input
    f.Combo2_Click(3);
    sim->clearReceived();
    d.Command1_Click();

    Area want{QStringLiteral("00:01:00"), {}};
    for (int c = 0; c < 3; ++c) want.ch[size_t(c)] = Ch{"K", " V ", 0, 5000, 3, -2000, 13700, 0};
    want.ch[3] = Ch{"V", " V ", 0, 5000, 3, {}, {}, {}};
    EXPECT_EQ(sim->writesReceived(), commandsOf(0, want));
    EXPECT_EQ(sim->scenario().defaults.interval, QStringLiteral("00:01:00"));
    EXPECT_EQ(sim->scenario().defaults.channels[3].type, QStringLiteral("V"));
    EXPECT_TRUE(mq::test::readAll(mq::log0_cfg_path()).contains(",K,K,K,V,\r\n"));
    EXPECT_TRUE(d.unloaded());
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 20);  // "L00" gone with the editor
}

TEST_F(LogSettingsWriteTest, TheDefaultsWriteSendsIntervalPartsWithoutBlanks) {
    model().logger_main->colLOGGER_DATA().Add(QStringLiteral("L00"));
    mq::clsLOGGER_SETTING& s = model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L00"))->clsLOGGER_SETTING();
    ASSERT_EQ(mq::log0_cfg_read(mq::log0_cfg_default_bytes(), s), mq::SettingFileRead::Ok);
    s.let_record_interval(QStringLiteral(" 1:30:00"));
    sim->clearReceived();
    EXPECT_EQ(mq::prog_run(home.get(), mq::log_defaults_write_operation({})), mq::Outcome::Done);
    const QList<QByteArray> got = sim->writesReceived();
    ASSERT_EQ(got.size(), 4);
    EXPECT_EQ(got[0], QByteArray("RP08IN00,013000,"));
}

TEST_F(LogSettingsWriteTest, TheRecordingSettingsCommandOpensTheEditorWithEveryAreaRead) {
    bool seen = false;
    QTimer drive;
    QObject::connect(&drive, &QTimer::timeout, [&] {
        log_set_value* e = log_set_value::openInstance();
        if (!e || !e->settings_read() || seq().dialog || seen) return;
        seen = true;
        EXPECT_EQ(e->windowTitle(), QStringLiteral("ログ設定"));
        EXPECT_EQ(e->shown_area(), 1);
        EXPECT_EQ(e->form->Combo6->currentText(), QStringLiteral("10"));  // area 1 records every 10 s
        e->Command2->click();
    });
    drive.start(5);
    home->logingsv_Click();
    drive.stop();
    EXPECT_TRUE(seen);
    EXPECT_EQ(sim->writesReceived().size(), 0);
    EXPECT_TRUE(link().link_connected_flag);
}

class LogSettingsNoMemoryTest : public LogSettingsWriteTest {
protected:
    logger_sim::Scenario scenario() const override {
        logger_sim::Scenario s = logger_sim::defaultScenario();
        s.remainingMemory = 0;
        return s;
    }
};

TEST_F(LogSettingsNoMemoryTest, TheReservationDialogClosesWhenTheLoggerHasNoMemoryLeft) {
    log_set_value& e = open();
    e.Check1->click();
    sim->clearReceived();
    ScopedMessageBoxHook answers(MsgResult::OK);
    e.Command3_Click();
    EXPECT_EQ(answers.texts(),
              std::vector<QString>{QStringLiteral("メモリ残量が０か、外部メモリがロガーにセットされていません。\r\n確認して下さい。")});
    // No clock command after the memory answer.
    const QList<QByteArray> sent = sim->received();
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_TRUE(sent.last().startsWith("ST12")) << sent.last().toStdString();  // the memory
    for (const QByteArray& c : sent) EXPECT_NE(c, QByteArray("ST04CK"));
    // No reservation came back: the box is cleared again.
    EXPECT_FALSE(e.Check1->isChecked());
    EXPECT_EQ(e.Label14->text(), QStringLiteral("--"));
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_FALSE(e.unloaded());
}

}  // namespace
