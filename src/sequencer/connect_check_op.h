#pragma once
// The connection check: finds a working link speed and reads the logger's
// identity records into the status of logger_main, under the progress dialog.
#include "sequencer/prog_dialog.h"

namespace mq {

// The check as an operation: Done when every identity record was read.
Operation connect_check_operation();

// Puts the check into the main window's connect_check
// (connection().run_connect_check); called once at start-up.
void prog_install_connect_check();

}  // namespace mq
