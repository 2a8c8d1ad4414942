#pragma once
// Steps the LOG and TAG settings editors (and their defaults editors) take
// alike: finding a setting's data set, the messages, the first settings read
// on activation, the clipboard check and the setting-file dialogs.
#include <QApplication>
#include <QString>
#include <QtGlobal>

#include <memory>

#include "main_window/file_open.h"
#include "platform/message_box.h"
#include "sequencer/prog_dialog.h"
#include "setting_editor/setting_clipboard.h"

class QPushButton;
class QWidget;

namespace mq {

class clsLOGGER_DATA;
class clsLOGGER_STATUS;

// The logger data set of a key ("L05"); null when missing or no logger.
std::shared_ptr<clsLOGGER_DATA> setting_logger_item(const QString& key);

// The logger data set "Lnn" of a setting number; null when missing.
std::shared_ptr<clsLOGGER_DATA> setting_area_data_set(int area);

// True when there is no logger collection or it holds nothing.
bool setting_logger_empty();

// The connected logger's status; null without a logger.
const clsLOGGER_STATUS* setting_logger_status();

// The editors' question (OK / Cancel) and exclamation message.
platform::MsgResult setting_editor_ask(QWidget* parent, const QString& text,
                                       platform::MsgIcon icon = platform::MsgIcon::None);
void setting_editor_warn(QWidget* parent, const QString& text);

// The first settings read of an editor under the progress dialog. False
// when it failed, was cancelled or could not run: the editor then unloads.
bool setting_editor_first_read(QWidget* editor, Operation read);

// True when the clipboard holds a copy; otherwise says so and false.
bool setting_clip_ready(QWidget* parent, const SettingClipboard& clip);

// The CSV file dialog of a setting file's open (save false) or save, through
// `dialog` when set. An empty path when it was not accepted.
QString setting_csv_dialog(QWidget* parent, const FileDialogFn& dialog, bool save);

// A push button of an editor's button row: named, with its tip, never the
// default button.
QPushButton* setting_editor_button(QWidget* parent, const char* name, const QString& text, const QString& tip);

// The first open (not unloaded) editor window of type T, or null.
template <class T>
T* setting_open_editor() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* d = qobject_cast<T*>(w);
        if (d && !d->unloaded()) return d;
    }
    return nullptr;
}

}  // namespace mq
