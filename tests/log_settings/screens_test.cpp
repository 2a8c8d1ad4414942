// The three dialogs at their opening size: every control gets at least the
// room it asks for (nothing clipped). With MQ_SCREENSHOT_DIR set the pictures
// are saved there (README: screenshots under Xvfb).
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QLabel>
#include <QLayout>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/test_env.h"
#include "log_settings/log0_set_value.h"
#include "log_settings/log_set_value.h"
#include "log_settings/ls01_file.h"
#include "log_settings/reserve.h"
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
        mq::reserve r(0, 1, 0, 4, mq::Reservation{});
        mq::MemoryDisplay m;
        m.recordable = 120000;
        m.bar_value = 120000;
        r.show_memory(m);
        check(r, QStringLiteral("reserve"));
    }
}

}  // namespace
