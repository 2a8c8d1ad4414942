#include "tag_settings/tag_settings_targets.h"

#include "main_window/home.h"
#include "main_window/home_state.h"
#include "tag_settings/comment_list_dialog.h"
#include "tag_settings/model_setting.h"
#include "tag_settings/tag_set_value.h"

namespace mq {

void install_tag_settings_targets(HomeTargets& targets, HOME* window) {
    targets.commands[HomeCommand::Comment1] = [window] { comment1_show(window); };
    targets.commands[HomeCommand::Comment2] = [window] { comment2_show(window); };
    targets.commands[HomeCommand::ModelSetting] = [window] { model_setting_show(window); };
    install_tag_setting_editor_targets(targets, window);
}

}  // namespace mq
