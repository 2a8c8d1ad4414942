#include "tag_settings/tag_set_value.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "main_window/home.h"
#include "main_window/home_state.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "sequencer/ops_tag_setting.h"
#include "sequencer/seq_state.h"
#include "sequencer/setting_write.h"
#include "setting_editor/setting_editor_steps.h"
#include "tag_settings/tag0_set_value.h"
#include "tag_settings/tag_setting_files.h"

namespace mq {

QString tag_csv_save_name(const QString& chosen) {
    if (chosen.endsWith(QStringLiteral(".csv")) || chosen.endsWith(QStringLiteral(".CSV"))) return chosen;
    return chosen + QStringLiteral(".csv");
}

tag_set_value::tag_set_value(QWidget* parent)
    : SettingValueEditor(parent, {QStringLiteral("tag_set_value"), QStringLiteral("タグ設定"), QStringLiteral("ﾀｸﾞ"),
                                  "Command3", "Command5", help_context::tag_set_value, op_read_tag_setting}) {
    Label2 = new QLabel(QStringLiteral("ﾀｸﾞ番号選択"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    auto* tagRow = new QHBoxLayout;
    tagRow->addWidget(Label2);
    tagRow->addWidget(Combo1);
    tagRow->addStretch();

    build(tagRow, SettingFormKind::Tag, [this] {
        Command4 = setting_editor_button(this, "Command4", QStringLiteral("既定収録値読み込み"),
                                         QStringLiteral("「既定収録設定」の設定で表示している設定を書き換えます"));
        connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
        return Command4;
    });
    Command3 = writeShownButton();
    Command5 = helpButton();

    Form_Load();
}

tag_set_value::~tag_set_value() = default;

tag_set_value* tag_set_value::openInstance() { return setting_open_editor<tag_set_value>(); }

bool& tag_set_value::read_done() { return seq().tag_setting_read_done; }

qint16 tag_set_value::write_operation(bool all) const {
    return all ? op_write_tag_setting_all : op_write_tag_setting_one;
}

QString tag_set_value::write_question(int n) const {
    return QStringLiteral("書き込みを行うとTAG") + QString::number(n) +
           QStringLiteral("に収録済みのデータは削除されます。よろしいですか？");
}

void tag_set_value::fill_setting(int n) {
    if (fill_current(n)) model().act_logger_data.reset();
}

void tag_set_value::tag_k_e_j_t_def_disp(const QString& type, qint16 i) {
    if (i >= 0 && i < SettingForm::kChannels) form->k_e_j_t_def_disp(type, i);
}

bool tag_set_value::load_defaults() { return tag0_set_value_file_open_click(this); }

bool tag_set_value::load_setting_file(const QString& chosen, const std::shared_ptr<clsLOGGER_DATA>& ds) {
    model().act_logger_data = ds;
    const FileResult r = tag_setting_file_load(chosen, ds->clsLOGGER_SETTING());
    model().act_logger_data.reset();
    // On failure the tag's setting and the fields stay as they were.
    if (!r) setting_editor_warn(this, r.message);
    return r.ok;
}

FileResult tag_set_value::save_setting_file(const QString& chosen, clsLOGGER_SETTING& s) {
    return tag_setting_file_save(tag_csv_save_name(chosen), s, setting_logger_status());
}

// ---------------------------------------------------------------- installation

std::function<void(qint16)> tag_set_value_disp_hook() {
    return [](qint16 n) {
        if (tag_set_value* e = tag_set_value::openInstance()) e->tag_set_value_disp(n);
    };
}

std::function<void()> unload_tag_set_value_hook() {
    return [] {
        if (tag_set_value* e = tag_set_value::openInstance()) e->unload();
    };
}

void install_tag_setting_editor_targets(HomeTargets& targets, HOME* window) {
    targets.tag_set_value = [window] {
        tag_set_value dlg(window);
        dlg.exec();
    };
    targets.tag0_set_value = [window] {
        tag0_set_value dlg(window);
        if (!dlg.unloaded()) dlg.exec();
    };
    TagSettingWriteHooks hooks;
    hooks.shown_tag = [] {
        tag_set_value* e = tag_set_value::openInstance();
        return e ? e->shown_tag() : 0;
    };
    hooks.unload_editor = unload_tag_set_value_hook();
    hooks.unload_default_editor = [] {
        if (tag0_set_value* d = tag0_set_value::openInstance()) d->unload();
    };
    install_tag_setting_write_operations(hooks);
}

}  // namespace mq
