// The two TAG setting editors at their opening size: every control gets at
// least the room it asks for (nothing clipped). With MQ_SCREENSHOT_DIR set the
// pictures are saved there (README: screenshots under Xvfb).
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLayout>
#include <QPushButton>

#include <gtest/gtest.h>

#include "common/test_env.h"
#include "main_window/fake_windows.h"
#include "model/data_sets.h"
#include "platform/message_box.h"
#include "sequencer/seq_state.h"
#include "setting_editor/setting_form.h"
#include "tag_settings/tag0_set_value.h"
#include "tag_settings/tag_set_value.h"
#include "tag_settings/tag_setting_files.h"

namespace {

using mq::model;

class TagScreens : public mq::test::HomeTest {
protected:
    void SetUp() override {
        HomeTest::SetUp();
        setMode(2);
        QFile::remove(mq::tag0_cfg_path());
        for (int n = 1; n <= 20; ++n) {
            mq::clsLOGGER_SETTING& s =
                model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L%1").arg(n, 2, 10, QChar(u'0')))->clsLOGGER_SETTING();
            mq::tag_setting_channels_read(mq::tag0_cfg_default_bytes(), QString(), s);
        }
    }

    void check(QWidget& w, const QString& name) {
        w.layout()->activate();
        w.adjustSize();
        EXPECT_GE(w.width(), w.minimumSizeHint().width()) << name.toStdString();
        EXPECT_GE(w.height(), w.minimumSizeHint().height()) << name.toStdString();
        for (QWidget* c : w.findChildren<QWidget*>()) {
            if (!c->isVisibleTo(&w)) continue;
            if (!qobject_cast<QLabel*>(c) && !qobject_cast<QPushButton*>(c)) continue;
            EXPECT_GE(c->width(), c->minimumSizeHint().width()) << name.toStdString() << " " << c->objectName().toStdString();
        }
        const QString out = qEnvironmentVariable("MQ_SCREENSHOT_DIR");
        if (!out.isEmpty()) {
            QDir().mkpath(out);
            EXPECT_TRUE(w.grab().save(out + u'/' + name + QStringLiteral(".png")));
        }
    }

    mq::SeqSlot seqSlot;
};

TEST_F(TagScreens, BothEditorsShowEveryControlAtTheirOpeningSize) {
    mq::platform::ScopedMessageBoxHook quiet(mq::platform::MsgResult::OK);
    {
        mq::tag_set_value ed(home.get());
        // The integration base of the LOG form has no place here.
        EXPECT_FALSE(ed.form->Text9[0]->isVisibleTo(&ed));
        EXPECT_FALSE(ed.form->Frame2->isVisibleTo(&ed));
        check(ed, QStringLiteral("tag_set_value"));
    }
    {
        mq::tag0_set_value ed(home.get());
        EXPECT_EQ(ed.windowTitle(), QStringLiteral("既定収録設定（タグ・モード）"));
        check(ed, QStringLiteral("tag0_set_value"));
    }
}

}  // namespace
