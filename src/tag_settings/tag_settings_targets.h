#pragma once
// Plugs the TAG-settings subsystem's dialogs into the main window's commands.
namespace mq {

struct HomeTargets;
class HOME;

// comment1, comment2 and model_setting, each modal over the main window.
void install_tag_settings_targets(HomeTargets& targets, HOME* window);

}  // namespace mq
