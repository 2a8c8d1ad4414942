#pragma once
// The connect command (ﾛｶﾞｰ > ﾛｶﾞｰ接続, toolbar button 2): runs the connection
// check on the configured port, then reconciles the logger now on the line
// with the logger connected before, the operating mode of the open data
// windows, and the windows themselves. It reads no recorded data. Every
// outcome ends with a message of the connection dialog, shown through
// home_state().targets.comm_dialog:
//   "20" the check failed, "25" first connection, "30" another logger of the
//   same mode, "32" the same logger again, "35" the user took the logger's
//   operating mode, "100" the user kept the previous state.

namespace mq {

class HOME;
struct HomeTargets;

void loggerconnect_Click(HOME& home);

// Puts the connect command, the connection dialog and the manual port dialog
// behind the main window's command hooks.
void install_connect_targets(HomeTargets& targets);

}  // namespace mq
