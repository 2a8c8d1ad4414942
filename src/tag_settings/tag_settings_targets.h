#pragma once
// Plugs the TAG-settings subsystem's dialogs into the main window's commands.
namespace mq {

struct HomeTargets;
class HOME;

// The Comment1, Comment2 and ModelSetting commands, each modal over the
// main window (the two settings editors are installed by
// install_tag_setting_editor_targets).
void install_tag_settings_targets(HomeTargets& targets, HOME* window);

}  // namespace mq
