#include "model/data_window.h"

namespace mq {

void IMainWindowServices::update_command_state(ForgetLogger forget) {
    if (win_all_use_ct() == 0 && !link_connected_flag()) {
        if (forget != ForgetLogger::Nothing) let_link_mode(OpMode::None);
        if (forget == ForgetLogger::ModeAndSerial) let_link_serial_no(QString());
        blank_link_identity();
    }
    refresh_command_state();
}

}  // namespace mq
