// The activation protocol the select dialogs, the settings editors and the
// reservation dialog share: the work runs once the dialog is shown, never
// inside itself, never after the dialog was unloaded.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

#include "common/test_env.h"
#include "main_window/activated_dialog.h"

namespace mq::test {
namespace {

class CountingDialog : public ActivatedDialog {
public:
    int activations = 0;
    int calls = 0;
    int depth = 0;
    int deepest = 0;
    int unloadings = 0;
    bool unloadInside = false;
    bool activateAgainInside = false;

    void Form_Activate() override {
        ++calls;
        deepest = std::max(deepest, ++depth);
        struct Leave {
            int& d;
            ~Leave() { --d; }
        } leave{depth};
        if (m_inActivate || m_unloaded) return;
        m_inActivate = true;
        ++activations;
        // The progress dialog activates the window again meanwhile.
        if (activateAgainInside) {
            QEvent change(QEvent::ActivationChange);
            QCoreApplication::sendEvent(this, &change);
        }
        m_inActivate = false;
        if (unloadInside) unload();
    }

protected:
    void unloading() override { ++unloadings; }
};

TEST(ActivatedDialogTest, RunsOnceShownAndNeverAfterTheUnload) {
    ensureApplication();
    struct Case {
        bool unloadInside;
        bool activateAgainInside;
    };
    for (const Case c : {Case{false, false}, Case{false, true}, Case{true, false}}) {
        SCOPED_TRACE(testing::Message() << c.unloadInside << c.activateAgainInside);
        CountingDialog d;
        d.unloadInside = c.unloadInside;
        d.activateAgainInside = c.activateAgainInside;
        d.show();
        ASSERT_TRUE(waitUntil([&] { return d.activations > 0; }));
        // An activation inside the work reaches the dialog but does no work.
        EXPECT_EQ(d.deepest, c.activateAgainInside ? 2 : 1);
        EXPECT_EQ(d.unloaded(), c.unloadInside);
        EXPECT_EQ(d.isVisible(), !c.unloadInside);
        // A second unload changes nothing; an unloaded dialog does no more work.
        d.unload();
        d.unload();
        EXPECT_EQ(d.unloadings, 1);
        const int before = d.calls;
        d.show();
        QEvent change(QEvent::ActivationChange);
        QCoreApplication::sendEvent(&d, &change);
        QCoreApplication::processEvents();
        EXPECT_EQ(d.calls, before);
    }
}

}  // namespace
}  // namespace mq::test
