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
#include "sequencer/setting_write.h"
#include "setting_editor/setting_editor_steps.h"
#include "tag_settings/ops_tag_setting.h"
#include "tag_settings/tag0_set_value.h"
#include "tag_settings/tag_setting_files.h"

namespace mq {

QString tag_csv_save_name(const QString& chosen) {
    if (chosen.endsWith(QStringLiteral(".csv")) || chosen.endsWith(QStringLiteral(".CSV"))) return chosen;
    return chosen + QStringLiteral(".csv");
}

tag_set_value::tag_set_value(QWidget* parent)
    : SettingValueEditor(parent, {QStringLiteral("tag_set_value"), QStringLiteral("タグ設定"), QStringLiteral("ﾀｸﾞ"),
                                  "Command3", "Command5", help_context::tag_set_value}) {
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

Operation tag_set_value::read_operation() {
    return tag_settings_read_operation([this](qint16 n) { setting_disp(n); }, [this] { unload(); });
}

Operation tag_set_value::write_operation(bool all, int n) {
    return tag_settings_write_operation(all, n, [this] { unload(); });
}

QString tag_set_value::write_question(int n) const {
    return QStringLiteral("書き込みを行うとTAG") + QString::number(n) +
           QStringLiteral("に収録済みのデータは削除されます。よろしいですか？");
}

void tag_set_value::fill_setting(int n) { fill_form(n); }

void tag_set_value::tag_k_e_j_t_def_disp(const QString& type, qint16 i) {
    if (i >= 0 && i < SettingForm::kChannels) form->k_e_j_t_def_disp(type, i);
}

bool tag_set_value::load_defaults() { return tag0_set_value_file_open_click(this); }

bool tag_set_value::load_setting_file(const QString& chosen, const std::shared_ptr<clsLOGGER_DATA>& ds) {
    const FileResult r = tag_setting_file_load(chosen, ds->clsLOGGER_SETTING());
    // On failure the tag's setting and the fields stay as they were.
    if (!r) setting_editor_warn(this, r.message);
    return r.ok;
}

FileResult tag_set_value::save_setting_file(const QString& chosen, clsLOGGER_SETTING& s) {
    return tag_setting_file_save(tag_csv_save_name(chosen), s, setting_logger_status());
}

// ---------------------------------------------------------------- installation

void install_tag_setting_editor_targets(HomeTargets& targets, HOME* window) {
    targets.commands[HomeCommand::TagSetValue] = [window] {
        tag_set_value dlg(window);
        dlg.exec();
    };
    targets.commands[HomeCommand::Tag0SetValue] = [window] {
        tag0_set_value dlg(window);
        if (!dlg.unloaded()) dlg.exec();
    };
}

}  // namespace mq
