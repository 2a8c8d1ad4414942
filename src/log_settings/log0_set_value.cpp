#include "log_settings/log0_set_value.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "setting_editor/setting_form.h"
#include "log_settings/ls01_file.h"
#include "main_window/serial_link.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "platform/safe_file.h"
#include "platform/window_place.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/setting_write.h"
#include "log_settings/ops_log_setting.h"

namespace mq {

LoggerIdentityForFile log_file_identity() {
    LoggerIdentityForFile id;
    if (const auto& root = model().logger_main) {
        const clsLOGGER_STATUS& st = root->clsLOGGER_STATUS();
        id.model_name = st.model_name_in_file();
        for (int c = 0; c < 4; ++c) id.offsets[size_t(c)] = st.ch_offset_value(c);
    }
    return id;
}

QString log0_cfg_path() { return model().user_dir + QStringLiteral("/config/LOG0.CFG"); }

bool log0_set_value_file_open_click(QWidget* parent) {
    bool added = false;
    const auto ds = setting_defaults_data_set(&added);
    if (!ds) return false;
    clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();
    const QString path = log0_cfg_path();
    QByteArray bytes;
    if (!QFileInfo::exists(path)) {
        bytes = log0_cfg_default_bytes();
        QDir().mkpath(QFileInfo(path).absolutePath());
        // A folder that cannot be written still leaves the defaults in use.
        write_file_safely(path, bytes);
    } else if (!read_small_file(path, kLs01MaxBytes, QString(), bytes) || log0_cfg_read(bytes, s) != SettingFileRead::Ok) {
        setting_editor_warn(parent, QStringLiteral("既定収録設定ファイルを読み込めません。既定の値を表示します。\r\n") + path);
        bytes = log0_cfg_default_bytes();
    } else {
        return added;
    }
    log0_cfg_read(bytes, s);
    return added;
}

log0_set_value::log0_set_value(QWidget* parent)
    : SettingDefaultsEditor(parent, QStringLiteral("log0_set_value"), QStringLiteral("既定収録設定（ログモード）"),
                            SettingFormKind::Log, false) {
    connect(Command2, &QPushButton::clicked, this,
            [this] { show_help(this, model().help_file, help_context::log0_set_value); });

    // Loading.
    log0_set_value_file_open_click(this);
    defaults_disp(0);
    place();
}

log0_set_value::~log0_set_value() {
    if (!m_unloaded) Form_Unload();
}

FileResult log0_set_value::save_defaults(const clsLOGGER_SETTING& s) {
    const QString path = log0_cfg_path();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return write_file_safely(path, log0_cfg_bytes(s, log_file_identity()));
}

void log0_set_value::Command1_Click() {
    // The values are on the PC before the logger is addressed; a file that
    // could not be written keeps the dialog open and sends nothing.
    if (!cfg_write()) return;
    try {
        prog_run(this, log_defaults_write_operation([this] { unload(); }));
    } catch (const Error&) {
    }
    if (!m_unloaded && !link().link_connected_flag) unload();
}

void log0_set_value::Form_Unload() {
    m_unloaded = true;
    // "L00" lives while the editor is open; the areas' own entries stay.
    setting_defaults_data_set_remove();
    setting_editor_rebind();
}

}  // namespace mq
