// The TAG settings read against the simulated logger in TAG mode: every
// tag's setting read and shown, and the editor unloaded when the read is
// cancelled or the logger falls silent.
#include "tag_settings/ops_tag_setting.h"

#include <QTimer>
#include <QPushButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "common/sim_link.h"
#include "logger_sim/logger_sim.h"
#include "main_window/fake_windows.h"
#include "main_window/identity_check.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

namespace {

using logger_sim::Fault;
using mq::link;
using mq::model;
using mq::seq;

logger_sim::Scenario tagScenario() {
    logger_sim::Scenario s = logger_sim::defaultScenario();
    s.mode = logger_sim::Mode::Tag;
    // A tag without records still has a setting.
    logger_sim::TagEntry t;
    t.tag = 9;
    t.name = QStringLiteral("EMPTY9");
    t.channels[0].type = QStringLiteral("E");
    s.tags.append(t);
    return s;
}

class TagSettingReadTest : public mq::test::HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        mq::home_state().targets.comm_dialog = [this](const QString& s) { dialogs << s; };
        ASSERT_TRUE(sim.start()) << sim.lastError().toStdString();
        mq::test::attachConnectedLogger(sim.devicePath(), sc.serial, mq::OpMode::Tag);
        setMode(2);
        model().logger_main->colLOGGER_DATA().clear();  // a first read builds the tags
    }
    void TearDown() override {
        sim.stop();
        qunsetenv("MARROWQUILL_PORTS");
        HomeTest::TearDown();
    }
    mq::clsLOGGER_SETTING& tag(int n) {
        return model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L%1").arg(n, 2, 10, QChar(u'0')))->clsLOGGER_SETTING();
    }
    mq::Outcome read() {
        return mq::prog_run(home.get(), mq::tag_settings_read_operation([this](qint16 n) { shown.push_back(n); },
                                                                        [this] { ++editorUnloads; }));
    }

    mq::SeqSlot seqSlot;
    mq::ConnectionSlot connSlot;
    const logger_sim::Scenario sc = tagScenario();
    logger_sim::Simulator sim{mq::test::configDir(), tagScenario()};
    QStringList dialogs;
    std::vector<qint16> shown;
    int editorUnloads = 0;
};

TEST_F(TagSettingReadTest, EveryTagIsReadAndShown) {
    EXPECT_EQ(read(), mq::Outcome::Done);
    QList<QByteArray> want{"ST00SN", "ST03MD"};
    for (int n = 1; n <= 20; ++n) want << "TR00ST" + QByteArray::number(100 + n).right(2);
    EXPECT_EQ(sim.received(), want);
    std::vector<qint16> all;
    for (qint16 n = 1; n <= 20; ++n) all.push_back(n);
    EXPECT_EQ(shown, all);
    EXPECT_EQ(editorUnloads, 0);
    EXPECT_EQ(model().act_logger_data, nullptr);
    EXPECT_EQ(model().logger_main->colLOGGER_DATA().Count(), 20);
    EXPECT_EQ(tag(1).log_name(), QStringLiteral("ﾀｸﾞ1    "));
    EXPECT_EQ(tag(1).Ch_input_type(1), QStringLiteral("J"));
    EXPECT_DOUBLE_EQ(tag(1).Ch_high_alarm_count_value(0), 50.0);
    EXPECT_EQ(tag(9).log_name(), QStringLiteral("EMPTY9  "));
    EXPECT_EQ(tag(9).Ch_input_type(0), QStringLiteral("E"));
}

TEST_F(TagSettingReadTest, SilenceAtTheEighthTagDisconnectsAndUnloadsTheEditor) {
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [this, &poll] {
        if (seq().dialog && seq().dialog->progress_value() == 8) {
            poll.stop();
            sim.setFault(Fault::Silence);
        }
    });
    poll.start();
    EXPECT_EQ(read(), mq::Outcome::NoReply);
    EXPECT_FALSE(link().link_connected_flag);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("90")});
    EXPECT_EQ(editorUnloads, 1);
    ASSERT_GE(shown.size(), 7u);
    EXPECT_LE(shown.size(), 8u);
}

TEST_F(TagSettingReadTest, CancelKeepsTheLinkAndUnloadsTheEditor) {
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [this, &poll] {
        if (seq().dialog && seq().dialog->progress_value() == 3) {
            poll.stop();
            sim.setFault(Fault::Silence);
            QTest::mouseClick(seq().dialog->Command1, Qt::LeftButton);
        }
    });
    poll.start();
    EXPECT_EQ(read(), mq::Outcome::Cancelled);
    EXPECT_TRUE(link().link_connected_flag);
    EXPECT_TRUE(dialogs.isEmpty());
    EXPECT_EQ(editorUnloads, 1);
}

}  // namespace
