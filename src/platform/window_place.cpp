#include "platform/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace mq::platform {

void centre_on_screen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!window || !screen) return;
    const QRect g = screen->availableGeometry();
    window->move(g.left() + (g.width() - window->width()) / 2, g.top() + (g.height() - window->height()) / 2);
}

}  // namespace mq::platform
