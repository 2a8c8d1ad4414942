#include "model/data_window.h"

namespace mq {

void IMainWindowServices::set_data_commands_enabled(bool enabled, bool withGraph) {
    for (toolbar1::Button b : toolbar1::kDataWindowButtons) {
        if (withGraph || b != toolbar1::Graph) setToolbarButtonEnabled(b, enabled);
    }
    for (const char* item : kDataWindowMenuItems) {
        const QString name = QString::fromLatin1(item);
        if (withGraph || name != QLatin1String("mGrp_Draw")) setMenuItemEnabled(name, enabled);
    }
}

void IMainWindowServices::update_command_state(ForgetLogger forget) {
    if (win_all_use_ct() != 0) return;
    set_data_commands_enabled(false);
    if (link_connected_flag()) return;
    if (forget != ForgetLogger::Nothing) let_link_mode_str(QStringLiteral("0"));
    if (forget == ForgetLogger::ModeAndSerial) let_link_serial_no(QString());
    comm_disconnect_disp(0);
}

}  // namespace mq
