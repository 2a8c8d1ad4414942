#include "tag_settings/tag0_set_value.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "main_window/serial_link.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "platform/window_place.h"
#include "sequencer/prog_dialog.h"
#include "tag_settings/ops_tag_setting.h"
#include "setting_editor/setting_form.h"
#include "sequencer/setting_write.h"
#include "tag_settings/tag_setting_files.h"

namespace mq {

bool tag0_set_value_file_open_click(QWidget* parent) {
    bool added = false;
    const auto ds = setting_defaults_data_set(&added);
    if (!ds) return false;
    clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();
    const bool existed = QFileInfo::exists(tag0_cfg_path());
    if (const FileResult r = tag0_cfg_load(s); !r) {
        if (existed) {
            // The file stays as it is for the user to look at; the defaults
            // of a new file stand in for it.
            tag_setting_channels_read(tag0_cfg_default_bytes(), tag0_cfg_path(), s);
            setting_editor_warn(parent, r.message + QStringLiteral("\r\n既定の値を使います。"));
        } else {
            // The default file could not be made; its values are in use all the same.
            setting_editor_warn(parent, r.message);
        }
    }
    if (tag0_set_value* d = tag0_set_value::openInstance()) d->defaults_disp(0);
    return added;
}

tag0_set_value::tag0_set_value(QWidget* parent)
    : SettingDefaultsEditor(parent, QStringLiteral("tag0_set_value"), QStringLiteral("既定収録設定（タグ・モード）"),
                            SettingFormKind::Tag, true) {
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    // Loading: the defaults from TAG0.CFG into "L00" and the form.
    tag0_set_value_file_open_click(this);
    defaults_disp(0);
    place();
}

tag0_set_value::~tag0_set_value() {
    if (!m_unloaded) Form_Unload();
}

void tag0_set_value::tag0_k_e_j_t_def_disp(const QString& type, qint16 i) {
    if (i >= 0 && i < SettingForm::kChannels) form->k_e_j_t_def_disp(type, i);
}

FileResult tag0_set_value::save_defaults(const clsLOGGER_SETTING& s) {
    return tag0_cfg_save(s, setting_logger_status());
}

void tag0_set_value::Command1_Click() {
    // The defaults are on the PC before the logger is addressed; a file that
    // could not be written keeps the editor open and sends nothing.
    if (!cfg_write()) return;
    try {
        prog_run(this, tag_defaults_write_operation([this] { unload(); }));
    } catch (const Error&) {
    }
    // The operation closes the editor in every outcome; this covers a
    // showing that never ran it.
    if (!m_unloaded) unload();
}

void tag0_set_value::Command2_Click() { show_help(this, model().help_file, help_context::tag0_set_value); }

void tag0_set_value::Form_Unload() {
    m_unloaded = true;
    // "L00" lives while the editor is open; the tags' own entries stay.
    setting_defaults_data_set_remove();
    setting_editor_rebind();
}

}  // namespace mq
