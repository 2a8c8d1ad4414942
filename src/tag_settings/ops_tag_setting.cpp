#include "tag_settings/ops_tag_setting.h"

#include "main_window/serial_link.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "sequencer/numbered_read.h"
#include "sequencer/setting_commands.h"
#include "sequencer/setting_write.h"
#include "tag_settings/tag_setting_record.h"

namespace mq {

namespace {

constexpr int kTags = kNumberedSets;

QString two(int n) { return QString::number(n).rightJustified(2, u'0'); }

// What the refusal message names: the owner and the command.
QString command_name(int index) { return setting_command_name(index == 0 ? 1 : 2); }

void writeTagSettings(Prog_Dialog& dlg, bool allTags, int n) {
    if (dlg.identity_check() != 0) return;
    if (allTags) {
        if (!send_all_settings(dlg, kTags, &tag_setting_commands, [](int t) { return QStringLiteral("TAG") + two(t); },
                               &command_name))
            return;
    } else {
        dlg.set_progress_max(2);
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

}  // namespace

QStringList tag_setting_commands(const clsLOGGER_SETTING& s, const QString& nn) {
    const CommandTable& t = link().cmd_r_p_req;
    return {setting_cmd_channel_inputs(t[kCmdChannelInputs], nn, s), setting_cmd_alarms(t[kCmdAlarms], nn, s)};
}

Operation tag_settings_read_operation(NumberShown shown, CallerClose closeEditor) {
    return logger_read_operation(
        [shown = std::move(shown)](Prog_Dialog& dlg) {
            const LinkState& ln = link();
            read_numbered_settings(
                dlg, ln.cmd_t_r_req, ln.cmd_t_r_rsp, kTagCmdSetting, kTagSettingTimeout,
                [](clsLOGGER_SETTING& tag, const QString& record) { tag_para_data_save(tag, record); }, shown);
        },
        OnFailure::Caller, std::move(closeEditor));
}

Operation tag_settings_write_operation(bool allTags, int shownTag, CallerClose closeEditor) {
    return logger_write_operation([allTags, shownTag](Prog_Dialog& dlg) { writeTagSettings(dlg, allTags, shownTag); },
                                  OnFailure::Caller, std::move(closeEditor));
}

Operation tag_defaults_write_operation(CallerClose closeEditor) {
    return logger_write_operation(
        [](Prog_Dialog& dlg) {
            if (dlg.identity_check() != 0) return;
            dlg.set_progress_max(2);
            if (!send_default_setting(dlg, &tag_setting_commands, &command_name)) return;
            // The defaults editor closes after a successful write as well.
            dlg.exit_editor_write(Outcome::Done, false);
        },
        OnFailure::Caller, std::move(closeEditor));
}

}  // namespace mq
