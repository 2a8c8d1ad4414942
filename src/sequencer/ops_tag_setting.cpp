#include "sequencer/ops_tag_setting.h"

#include "main_window/serial_link.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"
#include "sequencer/setting_commands.h"
#include "sequencer/setting_write.h"

namespace mq {

namespace {

constexpr int kTags = 20;

QString two(int n) { return QString::number(n).rightJustified(2, u'0'); }

// What the refusal message names: the owner and the command.
QString command_name(int index) { return setting_command_name(index == 0 ? 1 : 2); }

}  // namespace

QStringList tag_setting_commands(const clsLOGGER_SETTING& s, const QString& nn) {
    const CommandTable& t = link().cmd_r_p_req;
    return {setting_cmd_channel_inputs(t[kCmdChannelInputs], nn, s), setting_cmd_alarms(t[kCmdAlarms], nn, s)};
}

void op_write_tag_setting_run(Prog_Dialog& dlg, const TagSettingWriteHooks& hooks, bool allTags) {
    seq().setting_write_rejected = false;
    if (dlg.identity_check() != 0) return;
    if (allTags) {
        if (!send_all_settings(dlg, kTags, &tag_setting_commands, [](int n) { return QStringLiteral("TAG") + two(n); },
                               &command_name))
            return;
    } else {
        dlg.set_progress_max(2);
        const int n = hooks.shown_tag ? hooks.shown_tag() : 0;
        if (n < 1 || n > kTags) {
            dlg.exit_no_reply();
            return;
        }
        if (!send_data_set_setting(dlg, DataSetHandle::logger_key(n), two(n), &tag_setting_commands,
                                   QStringLiteral("TAG") + two(n), &command_name, 0))
            return;
    }
    DataSetHandle::release_current(CurrentRef::Logger);
    dlg.unload();
}

void op_write_tag_default_run(Prog_Dialog& dlg) {
    seq().setting_write_rejected = false;
    if (dlg.identity_check() != 0) return;
    dlg.set_progress_max(2);
    if (!send_default_setting(dlg, &tag_setting_commands, &command_name)) return;
    // The defaults editor closes after a successful write as well.
    dlg.exit_editor_write(false);
}

void install_tag_setting_write_operations(const TagSettingWriteHooks& hooks) {
    ProgOperation all;
    all.run = [hooks](Prog_Dialog& dlg) { op_write_tag_setting_run(dlg, hooks, true); };
    all.unload_caller = hooks.unload_editor;
    prog_register_operation(op_write_tag_setting_all, std::move(all));

    ProgOperation one;
    one.run = [hooks](Prog_Dialog& dlg) { op_write_tag_setting_run(dlg, hooks, false); };
    one.unload_caller = hooks.unload_editor;
    prog_register_operation(op_write_tag_setting_one, std::move(one));

    ProgOperation def;
    def.run = [](Prog_Dialog& dlg) { op_write_tag_default_run(dlg); };
    def.unload_caller = hooks.unload_default_editor;
    prog_register_operation(op_write_tag_default, std::move(def));
}

}  // namespace mq
