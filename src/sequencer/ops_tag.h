#pragma once
// The sequencer operations of the TAG side:
//   60 op_read_tag_list     every tag's record count and, for tags that hold
//                           records, its TAG setting; then the logger's 20
//                           worker names and 20 comments
//   70 op_read_tag_setting  every tag's TAG setting, for the settings editor
//   55 op_read_tag_data     one tag's records in one exchange, handed whole to
//                           the operation's target window
//   57 op_load_mt1_records  an opened ".MT1" file's records into the working
//                           database of the operation's target window
// (the target window is the one given to prog_dialog_show,
// seq().prog_target_window; null when none was given).
//   430 / 530               TAG CSV export of a logger / file window
//   450 / 550               ".MT1" data file of a logger / file window
//
// The records belong to higher folders (the TAG-setting parse to the TAG
// settings, the list display and the windows to the TAG data), so the
// operations reach them through the hooks given at registration. A reply
// record that cannot be read (its parse raises mq::Error) ends 60 and 70 like
// a reply that did not come.
//
// A save operation whose writer fails shows the user why and raises
// SaveFailedError out of prog_dialog_show, so that the save command keeps the
// window's data marked unsaved.
#include <QString>
#include <QtGlobal>

#include <functional>

class QWidget;

#include "platform/safe_file.h"

namespace mq {

class IFileProgress;
class Prog_Dialog;
class clsLOGGER_SETTING;

// Reply timeouts in 50 ms watchdog ticks.
inline constexpr qint16 kTagListTimeout = 14;
inline constexpr qint16 kTagSettingTimeout = 20;
inline constexpr qint16 kTagNameListTimeout = 10;
inline constexpr qint16 kTagDataTimeout = 14;

// Entries of the TAG read command table (T_R_CMD.REQ / .RSP) and of the
// status table (S_CMD.REQ / .RSP).
inline constexpr int kTagCmdSetting = 0;
inline constexpr int kTagCmdData = 1;
inline constexpr int kTagCmdCount = 3;
inline constexpr int kStatusCmdWorker = 16;
inline constexpr int kStatusCmdComment = 17;

// Bytes of the TAG data reply for d records of n channels in use:
// q x (15n + 59), plus 5n + 27 for one record left over, 10n + 43 for two.
// OverflowError when the length does not fit 32 bits.
qint32 tag_data_reply_length(qint32 d, qint16 n);

// A command-table entry with characters 7 and 8 replaced by n in two digits.
QString tag_number_command(const QString& entry, int n);

// Makes sure the logger's twenty tag data sets "L01".."L20" exist, adding
// the missing ones in order (the defaults entry "L00" stays).
void ensure_tag_data_sets();

struct TagOperationHooks {
    // ---- 60: the TAG list read
    // Parses a TAG-setting record into the setting of its tag.
    std::function<void(clsLOGGER_SETTING& tag, const QString& record)> tag_para_data_save;
    // Stores a worker (comment) record into the connected logger's list.
    std::function<void(const QString& record)> tag_worker_data_save;
    std::function<void(const QString& record)> tag_comment_data_save;
    // Row n of the select dialog shows tag n's count / name.
    std::function<void(qint16 n)> tag_data_ct_disp;
    std::function<void(qint16 n)> tag_data_select_disp;
    // Unloads the select dialog (a failed or cancelled list read).
    std::function<void()> unload_select;

    // ---- 55: the target window stores the reply (text, q, r)
    std::function<void(QWidget* target, const QString& reply, qint32 q, qint16 r)> tag_data_disp_FixedDb;

    // ---- 57: the target window loads the opened file's records
    std::function<void(QWidget* target, IFileProgress* progress)> file_tag_data_save;

    // ---- saves: the writers of the active TAG window's current data set
    std::function<FileResult(const QString& path, IFileProgress* progress)> write_csv;
    std::function<FileResult(const QString& path, IFileProgress* progress)> write_mt1;
};

// Registers 60, 55, 57, 430, 450, 530 and 550 with the hooks.
void install_tag_operations(TagOperationHooks hooks);

// Registers 70: `parse` stores a TAG-setting record into the setting of its
// tag, `disp` shows tag n in the settings editor after its record was
// stored, `unload_editor` unloads the editor on a failed or cancelled read.
// disp and unload_editor may be empty.
void install_tag_setting_read_operation(std::function<void(clsLOGGER_SETTING& tag, const QString& record)> parse,
                                        std::function<void(qint16 tag)> disp,
                                        std::function<void()> unload_editor);

}  // namespace mq
