#pragma once
// The sequencer operations that write TAG settings:
//   27  op_write_tag_setting_all  the settings of tags 1 to 20
//   29  op_write_tag_setting_one  the setting of the tag shown in the editor
//   400 op_write_tag_default      the PC-side defaults ("L00") as number 00
//
// Each setting goes as two commands of the write-command table: the channel
// inputs (entry 5) and then, once that was acknowledged, the alarms (entry 6).
// No reply ends the write like a lost link (disconnect, editor closed); a NAK
// ends it as refused, with a message naming the refused command, and the
// link stays up. Tags already written stay in the logger.
#include <QString>
#include <QStringList>

#include <functional>

namespace mq {

class Prog_Dialog;
class clsLOGGER_SETTING;

// The two commands of one setting with the number NN ("01".."20", "00"),
// from the templates of link().cmd_r_p_req, in sending order.
QStringList tag_setting_commands(const clsLOGGER_SETTING& s, const QString& nn);

struct TagSettingWriteHooks {
    // The tag the settings editor shows (1-20).
    std::function<int()> shown_tag;
    // Unloads the settings editor (after a failure or a refusal).
    std::function<void()> unload_editor;
    // Unloads the defaults editor (at the end of operation 400, in every outcome).
    std::function<void()> unload_default_editor;
};

void op_write_tag_setting_run(Prog_Dialog& dlg, const TagSettingWriteHooks& hooks, bool allTags);
void op_write_tag_default_run(Prog_Dialog& dlg);

// Registers 27, 29 and 400 with the hooks.
void install_tag_setting_write_operations(const TagSettingWriteHooks& hooks);

}  // namespace mq
