#pragma once
// Plugs the TAG-settings subsystem's dialogs into the main window's commands.
namespace mq {

struct HomeTargets;
class HOME;

// comment1, comment2, model_setting, tag_set_value and tag0_set_value, each
// modal over the main window.
void install_tag_settings_targets(HomeTargets& targets, HOME* window);

}  // namespace mq
