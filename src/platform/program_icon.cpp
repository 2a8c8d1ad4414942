#include "platform/program_icon.h"

#include <QApplication>
#include <QPixmap>

namespace mq::platform {

namespace {
// A trend line with an alarm point over a chart grid, drawn for this program.
#include "platform/program_icon.xpm"
}  // namespace

QIcon programIcon() {
    static const QIcon icon = [] {
        QIcon i;
        const QPixmap base(program_icon_xpm);
        i.addPixmap(base);
        i.addPixmap(base.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        i.addPixmap(base.scaled(64, 64, Qt::KeepAspectRatio, Qt::FastTransformation));
        return i;
    }();
    return icon;
}

void installProgramIcon() { QApplication::setWindowIcon(programIcon()); }

}  // namespace mq::platform
