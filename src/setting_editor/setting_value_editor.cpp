#include "setting_editor/setting_value_editor.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolBar>
#include <QVBoxLayout>

#include "main_window/serial_link.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/window_place.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"
#include "sequencer/setting_write.h"
#include "setting_editor/setting_defaults_editor.h"
#include "setting_editor/setting_editor_steps.h"

namespace mq {

SettingValueEditor::SettingValueEditor(QWidget* parent, const SettingValueEditorTexts& texts)
    : ActivatedDialog(parent), m_texts(texts) {
    setObjectName(texts.objectName);
    setWindowTitle(texts.title);
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto action = [this](const QString& text, const QString& tip, int index) {
        QAction* a = Toolbar1->addAction(text);
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
    };
    action(QStringLiteral("開く"), QStringLiteral("設定ファイルを開く"), 1);
    action(QStringLiteral("保存"), QStringLiteral("設定ファイルを保存する"), 2);
    Toolbar1->addSeparator();
    action(QStringLiteral("ｺﾋﾟｰ"), QStringLiteral("ｺﾋﾟｰ"), 5);
    action(QStringLiteral("貼り付け"), QStringLiteral("貼り付け"), 6);
    Toolbar1->addSeparator();
    action(QStringLiteral("既定値"), QStringLiteral("既定収録設定を貼り付け"), 8);

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    for (int n = 1; n <= kSettings; ++n) Combo1->addItem(QString::number(n));
    Combo1->setMaxVisibleItems(20);
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
}

SettingValueEditor::~SettingValueEditor() = default;

void SettingValueEditor::build(QHBoxLayout* row, SettingFormKind kind, const std::function<QPushButton*()>& extra) {
    form = new SettingForm(this, kind);
    auto button = [this](const char* name, const QString& text, const QString& tip) {
        return setting_editor_button(this, name, text, tip);
    };
    const QString& noun = m_texts.noun;
    Command1 = button("Command1", QStringLiteral("一括書き込み"),
                      QStringLiteral("すべての（01～20）") + noun + QStringLiteral("設定をﾛｶﾞｰに書き込んで設定を終了します"));
    m_writeShown = button(m_texts.writeShownName, QStringLiteral("書き込み"),
                          QStringLiteral("表示している") + noun + QStringLiteral("設定のみﾛｶﾞｰに書き込んで設定を終了します"));
    QPushButton* left = extra ? extra() : nullptr;
    Command2 = button("Command2", QStringLiteral("ｷｬﾝｾﾙ"), noun + QStringLiteral("設定を行わずに終了します"));
    m_help = button(m_texts.helpName, QStringLiteral("ﾍﾙﾌﾟ"), QString());
    auto* buttons = new QHBoxLayout;
    if (left) buttons->addWidget(left);
    buttons->addStretch();
    for (QPushButton* b : {Command1, m_writeShown, Command2, m_help}) buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Toolbar1);
    layout->addLayout(row);
    layout->addWidget(form);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(m_writeShown, &QPushButton::clicked, this, [this] { write_shown(); });
    connect(m_help, &QPushButton::clicked, this, [this] { help(); });
}

int SettingValueEditor::shown() const { return Combo1->currentIndex() + 1; }

// ---------------------------------------------------------------- fill and collect

std::shared_ptr<clsLOGGER_DATA> SettingValueEditor::fill_form(int n) {
    if (setting_logger_empty()) return nullptr;
    const auto ds = setting_area_data_set(n);
    if (!ds) return nullptr;
    form->fill(ds->clsLOGGER_SETTING());
    return ds;
}

void SettingValueEditor::setting_disp(qint16 n) {
    if (n < 1 || n > kSettings) return;
    if (Combo1->currentIndex() != n - 1) {
        Combo1->setCurrentIndex(n - 1);  // the choice stores the setting shown until now and fills
    } else {
        fill_setting(n);
    }
}

void SettingValueEditor::setting_disp_defaults() {
    if (setting_logger_empty()) return;
    fill_form(0);
    defaults_shown();
}

void SettingValueEditor::setting_collect(int n, bool announce) {
    if (setting_logger_empty()) return;
    if (const auto ds = setting_area_data_set(n)) form->collect(ds->clsLOGGER_SETTING(), announce);
}

// ---------------------------------------------------------------- loading and activation

void SettingValueEditor::Form_Load() {
    loading();
    m_settingsRead = false;
    clip.valid = false;
    m_shownIndex = 0;
    {
        const QSignalBlocker b(Combo1);
        Combo1->setCurrentIndex(0);
    }
    Combo1_Click();
    adjustSize();
    platform::centre_on_screen(this);
}

void SettingValueEditor::Form_Activate() {
    if (m_inActivate || m_unloaded) return;
    m_inActivate = true;
    if (!m_settingsRead) {
        const bool read = setting_editor_first_read(this, read_operation());
        m_settingsRead = true;
        if (!read) {
            m_inActivate = false;
            unload();
            return;
        }
        if (!m_unloaded) setting_disp(1);
    }
    m_inActivate = false;
    if (!m_unloaded && !link().link_connected_flag) unload();
}

void SettingValueEditor::Combo1_Click() {
    const int idx = Combo1->currentIndex();
    if (idx < 0) return;
    if (m_shownIndex != idx) {
        // While the settings read shows every setting, no message interrupts it.
        setting_collect(m_shownIndex + 1, !seq().dialog);
        m_shownIndex = idx;
    }
    show_chosen(idx + 1);
}

// ---------------------------------------------------------------- writing, cancel, help

void SettingValueEditor::write(bool all) {
    const int n = shown();
    const QString question =
        all ? QStringLiteral("書き込みを行うとすべての収録済みデータが削除されます。よろしいですか？") : write_question(n);
    if (setting_editor_ask(this, question) != platform::MsgResult::OK) return;
    setting_collect(n);
    if (!before_write(n, all)) return;
    // A setting the builders cannot put into a command ends the write as
    // Failed; the editor closes as after any write.
    m_written = prog_run(this, write_operation(all, n));
    unload();
    if (!all) setting_editor_rebind();
}

void SettingValueEditor::Command1_Click() { write(true); }
void SettingValueEditor::write_shown() { write(false); }

void SettingValueEditor::Command2_Click() {
    unload();
    setting_editor_rebind();
}

void SettingValueEditor::reject() { Command2_Click(); }

void SettingValueEditor::closeEvent(QCloseEvent* e) {
    // The close box acts as Cancel; closing is never refused.
    if (!m_unloaded) Command2_Click();
    e->accept();
}

void SettingValueEditor::help() { show_help(this, model().help_file, m_texts.helpContext); }

// ---------------------------------------------------------------- toolbar

void SettingValueEditor::Toolbar1_ButtonClick(int index) {
    switch (index) {
    case 1: csv_read(); break;
    case 2: csv_write(); break;
    case 5: setting_copy(); break;
    case 6: setting_paste(); break;
    case 8: default_paste(); break;
    default: break;
    }
}

void SettingValueEditor::csv_read() {
    const int n = shown();
    const QString chosen = setting_csv_dialog(this, file_dialog, false);
    if (chosen.isEmpty()) return;
    const auto ds = setting_area_data_set(n);
    if (!ds) return;
    if (load_setting_file(chosen, ds)) setting_disp(qint16(n));
}

void SettingValueEditor::csv_write() {
    const int n = shown();
    // The fields reach the setting even when the save is then cancelled.
    setting_collect(n);
    const QString chosen = setting_csv_dialog(this, file_dialog, true);
    if (chosen.isEmpty()) return;
    const auto ds = setting_area_data_set(n);
    if (!ds) return;
    const FileResult r = save_setting_file(chosen, ds->clsLOGGER_SETTING());
    if (!r) setting_editor_warn(this, r.message);
}

void SettingValueEditor::setting_copy() { form->copy_to(clip); }

void SettingValueEditor::setting_paste() {
    if (!setting_clip_ready(this, clip)) return;
    if (!may_replace_shown()) return;
    form->paste_from(clip);
}

void SettingValueEditor::default_paste() {
    if (setting_editor_ask(this, QStringLiteral("既定収録値を読み込みます。　よろしいですか？")) != platform::MsgResult::OK) return;
    if (!may_replace_shown()) return;
    const bool added = load_defaults();
    setting_disp_defaults();
    // The defaults data set belongs to the defaults editor; one made here goes again.
    if (added) setting_defaults_data_set_remove();
}

}  // namespace mq
