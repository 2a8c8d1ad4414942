#pragma once
// The operations of the TAG settings, each built by the editor the user acts
// in:
//   the settings read    every tag's TAG setting, for the settings editor
//   the settings write   the settings of tags 1 to 20 or of the tag shown in
//                        the editor
//   the defaults write   the PC-side defaults ("L00") as number 00
//
// Each setting goes as two commands of the write-command table: the channel
// inputs (entry 5) and then, once that was acknowledged, the alarms (entry 6).
// No reply ends the write like a lost link (disconnect, editor closed); a NAK
// ends it as refused, with a message naming the refused command, and the
// link stays up. Tags already written stay in the logger.
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "sequencer/numbered_read.h"
#include "sequencer/prog_dialog.h"

namespace mq {

class clsLOGGER_SETTING;

// Entries of the TAG read command table (T_R_CMD.REQ / .RSP) of a tag's
// setting and record count, and the setting's reply timeout in 50 ms ticks
// (the settings read and the TAG list read).
inline constexpr int kTagCmdSetting = 0;
inline constexpr int kTagCmdCount = 3;
inline constexpr qint16 kTagSettingTimeout = 20;

// The two commands of one setting with the number NN ("01".."20", "00"),
// from the templates of link().cmd_r_p_req, in sending order.
QStringList tag_setting_commands(const clsLOGGER_SETTING& s, const QString& nn);

// The settings read: tag n is shown (`shown`, may be empty) after its setting
// was stored; a failed or cancelled read closes the editor.
Operation tag_settings_read_operation(NumberShown shown, CallerClose closeEditor);

// The settings write: every tag (allTags) or the tag shown; a failure or a
// refusal closes the editor.
Operation tag_settings_write_operation(bool allTags, int shownTag, CallerClose closeEditor);

// The defaults write; the defaults editor is closed at its end, in every outcome.
Operation tag_defaults_write_operation(CallerClose closeEditor);

}  // namespace mq
