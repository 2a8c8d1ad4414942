// The three dialogs at their opening size: every control gets at least the
// room it asks for (nothing clipped). With MQ_SCREENSHOT_DIR set the pictures
// are saved there (README: screenshots under Xvfb).
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QLabel>
#include <QLayout>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "common/sim_link.h"
#include "common/test_env.h"
#include "log_settings/log0_set_value.h"
#include "log_settings/log_set_value.h"
#include "log_settings/ls01_file.h"
#include "log_settings/reserve.h"
#include "logger_sim/logger_sim.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "log_settings/ops_log_setting.h"
#include "sequencer/seq_state.h"

namespace {

using mq::model;

class Screens : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        ASSERT_TRUE(dir.isValid());
        model().user_dir = dir.path();
        model().logger_main = std::make_shared<mq::clsLOGGER_Main>();
        model().logger_main->clsLOGGER_STATUS().let_mode_type(1);
        for (int n = 1; n <= 20; ++n) {
            const QString key = QStringLiteral("L%1").arg(n, 2, 10, QChar(u'0'));
            model().logger_main->colLOGGER_DATA().Add(key);
            mq::log0_cfg_read(mq::log0_cfg_default_bytes(),
                              model().logger_main->colLOGGER_DATA().Item(key)->clsLOGGER_SETTING());
        }
        mq::link().link_connected_flag = true;
    }

    // The dialog laid out at its opening size; the size it opens at must
    // hold what every child asks for.
    void check(QWidget& w, const QString& name) {
        w.layout()->activate();
        w.adjustSize();
        const QSize size = w.size();
        const QSize need = w.minimumSizeHint();
        EXPECT_GE(size.width(), need.width()) << name.toStdString();
        EXPECT_GE(size.height(), need.height()) << name.toStdString();
        for (QLabel* l : w.findChildren<QLabel*>()) {
            if (!l->isVisibleTo(&w) || l->text().isEmpty()) continue;
            EXPECT_GE(l->width(), l->minimumSizeHint().width()) << name.toStdString() << " " << l->text().toStdString();
        }
        const QString out = qEnvironmentVariable("MQ_SCREENSHOT_DIR");
        if (!out.isEmpty()) {
            QDir().mkpath(out);
            EXPECT_TRUE(w.grab().save(out + u'/' + name + QStringLiteral(".png")));
        }
    }

    mq::ModelSlot modelSlot;
    mq::LinkSlot linkSlot;
    mq::HomeSlot homeSlot;
    mq::SeqSlot seqSlot;
    mq::ConnectionSlot connSlot;
    QTemporaryDir dir;
};

TEST_F(Screens, TheDialogsShowEveryControlAtTheirOpeningSize) {
    {
        mq::log_set_value ed;
        ed.Check1->setChecked(true);
        ed.Command3->show();
        ed.Label14->setText(QStringLiteral("1"));
        check(ed, QStringLiteral("log_set_value"));
    }
    {
        mq::log0_set_value d;
        check(d, QStringLiteral("log0_set_value"));
    }
    {
        // Shown to a logger in MEMORY mode: the memory read and the choices
        // move nothing from under the mouse.
        logger_sim::Scenario memory = logger_sim::defaultScenario();
        memory.mode = logger_sim::Mode::Memory;
        logger_sim::Simulator sim(mq::test::configDir(), memory);
        ASSERT_TRUE(sim.start());
        mq::test::attachConnectedLogger(sim.devicePath(), memory.serial, mq::OpMode::Memory);
        model().logger_main->clsLOGGER_STATUS().let_mode_type(3);
        model().act_data_kind = 2;
        mq::reserve r(0, 1, 0, 4, mq::Reservation{});
        r.show();
        auto places = [&] {
            return std::vector<QRect>{r.rect(), r.cmdOK->geometry(), r.cmdCancel->geometry(), r.Command3->geometry(),
                                      r.Command1->geometry(), r.Label11->geometry(), r.Label12->geometry()};
        };
        const std::vector<QRect> opening = places();
        ASSERT_TRUE(mq::test::waitUntil([&] { return r.clock_read() && !mq::seq().dialog; }));
        ASSERT_TRUE(r.Label1->isVisible());
        const std::pair<QAbstractButton*, const char*> steps[] = {
            {nullptr, "reserve"}, {r.Option2, "reserve_duration"}, {r.Option1, "reserve_end"},
            {r.Check2, "reserve_no_end"}, {r.Option2, "reserve_no_end_duration"}, {r.Option1, "reserve_no_end_again"},
            {r.Check1, "reserve_no_start"}};
        for (const auto& [button, name] : steps) {
            if (button) QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
            QCoreApplication::processEvents();
            EXPECT_EQ(places(), opening) << name;
            check(r, QString::fromLatin1(name));
        }
        EXPECT_TRUE(r.Check1->isChecked() && r.Check2->isChecked() && r.Option1->isChecked());
        qunsetenv("MARROWQUILL_PORTS");
    }
}

}  // namespace
