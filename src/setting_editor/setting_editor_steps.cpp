#include "setting_editor/setting_editor_steps.h"

#include <QPushButton>

#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "sequencer/prog_dialog.h"

namespace mq {

std::shared_ptr<clsLOGGER_DATA> setting_logger_item(const QString& key) {
    const auto& root = model().logger_main;
    if (!root) return nullptr;
    try {
        return root->colLOGGER_DATA().Item(key);
    } catch (const MissingKeyError&) {
        return nullptr;
    }
}

std::shared_ptr<clsLOGGER_DATA> setting_area_data_set(int area) {
    return setting_logger_item(QStringLiteral("L") + QString::number(area).rightJustified(2, u'0'));
}

bool setting_logger_empty() { return !model().logger_main || model().logger_main->colLOGGER_DATA().Count() == 0; }

const clsLOGGER_STATUS* setting_logger_status() {
    const auto& root = model().logger_main;
    return root ? &root->clsLOGGER_STATUS() : nullptr;
}

platform::MsgResult setting_editor_ask(QWidget* parent, const QString& text, platform::MsgIcon icon) {
    return platform::msgBox(parent, text, platform::MsgButtons::OKCancel, icon);
}

void setting_editor_warn(QWidget* parent, const QString& text) {
    platform::msgBox(parent, text, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
}

bool setting_editor_first_read(QWidget* editor, Operation read) {
    switch (prog_run(editor, std::move(read))) {
    case Outcome::Cancelled:
    case Outcome::Failed:
    case Outcome::NotRun:
        return false;
    default:
        // A lost link is the editor's own to see.
        return true;
    }
}

bool setting_clip_ready(QWidget* parent, const SettingClipboard& clip) {
    if (clip.valid) return true;
    setting_editor_warn(parent, QStringLiteral("カットバッファにデータがありません。"));
    return false;
}

QString setting_csv_dialog(QWidget* parent, const FileDialogFn& dialog, bool save) {
    FileDialogRequest req;
    req.save = save;
    req.filters = {QStringLiteral("CSV files (*.csv)")};
    req.startDir = save ? home_state().lafp_save_dir : home_state().lafp_open_dir;
    const FileDialogAnswer a = (dialog ? dialog : show_file_dialog)(parent, req);
    return a.accepted ? a.path : QString();
}

QPushButton* setting_editor_button(QWidget* parent, const char* name, const QString& text, const QString& tip) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

}  // namespace mq
