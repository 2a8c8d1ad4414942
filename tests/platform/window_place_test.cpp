#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "common/test_env.h"
#include "platform/window_place.h"

namespace {

// Dialogs open in the middle of the work area whatever their size.
TEST(WindowPlaceTest, CentresOnThePrimaryScreensWorkArea) {
    mq::test::ensureApplication();
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect area = screen->availableGeometry();
    for (const QSize size : {QSize(200, 100), QSize(640, 480)}) {
        QWidget w;
        w.resize(size);
        w.move(3, 5);
        mq::platform::centre_on_screen(&w);
        EXPECT_EQ(w.pos(), QPoint(area.left() + (area.width() - size.width()) / 2,
                                  area.top() + (area.height() - size.height()) / 2))
            << size.width();
    }
    mq::platform::centre_on_screen(nullptr);  // no window, nothing to move
}

}  // namespace
