#include "tag_settings/tag_set_value.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "platform/window_place.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"
#include "tag_settings/ops_tag_setting.h"
#include "setting_editor/setting_form.h"
#include "setting_editor/setting_editor_steps.h"
#include "sequencer/setting_write.h"
#include "tag_settings/tag0_set_value.h"
#include "tag_settings/tag_setting_files.h"

namespace mq {

namespace {

constexpr int kTags = 20;

const clsLOGGER_STATUS* connected_status() {
    const auto& root = model().logger_main;
    return root ? &root->clsLOGGER_STATUS() : nullptr;
}

}  // namespace

QString tag_csv_save_name(const QString& chosen) {
    if (chosen.endsWith(QStringLiteral(".csv")) || chosen.endsWith(QStringLiteral(".CSV"))) return chosen;
    return chosen + QStringLiteral(".csv");
}

tag_set_value::tag_set_value(QWidget* parent) : ActivatedDialog(parent) {
    setObjectName(QStringLiteral("tag_set_value"));
    setWindowTitle(QStringLiteral("タグ設定"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto action = [this](const QString& text, const QString& tip, int index) {
        QAction* a = Toolbar1->addAction(text);
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
        m_buttons << a;
    };
    action(QStringLiteral("開く"), QStringLiteral("設定ファイルを開く"), 1);
    action(QStringLiteral("保存"), QStringLiteral("設定ファイルを保存する"), 2);
    Toolbar1->addSeparator();
    action(QStringLiteral("ｺﾋﾟｰ"), QStringLiteral("ｺﾋﾟｰ"), 5);
    action(QStringLiteral("貼り付け"), QStringLiteral("貼り付け"), 6);
    Toolbar1->addSeparator();
    action(QStringLiteral("既定値"), QStringLiteral("既定収録設定を貼り付け"), 8);

    Label2 = new QLabel(QStringLiteral("ﾀｸﾞ番号選択"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    for (int n = 1; n <= kTags; ++n) Combo1->addItem(QString::number(n));
    Combo1->setMaxVisibleItems(20);
    auto* tagRow = new QHBoxLayout;
    tagRow->addWidget(Label2);
    tagRow->addWidget(Combo1);
    tagRow->addStretch();

    form = new SettingForm(this, SettingFormKind::Tag);

    auto button = [this](const char* name, const QString& text, const QString& tip) {
        return setting_editor_button(this, name, text, tip);
    };
    Command1 = button("Command1", QStringLiteral("一括書き込み"),
                      QStringLiteral("すべての（01～20）ﾀｸﾞ設定をﾛｶﾞｰに書き込んで設定を終了します"));
    Command3 = button("Command3", QStringLiteral("書き込み"),
                      QStringLiteral("表示しているﾀｸﾞ設定のみﾛｶﾞｰに書き込んで設定を終了します"));
    Command4 = button("Command4", QStringLiteral("既定収録値読み込み"),
                      QStringLiteral("「既定収録設定」の設定で表示している設定を書き換えます"));
    Command2 = button("Command2", QStringLiteral("ｷｬﾝｾﾙ"), QStringLiteral("ﾀｸﾞ設定を行わずに終了します"));
    Command5 = button("Command5", QStringLiteral("ﾍﾙﾌﾟ"), QString());
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command4);
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command3);
    buttons->addWidget(Command2);
    buttons->addWidget(Command5);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Toolbar1);
    layout->addLayout(tagRow);
    layout->addWidget(form);
    layout->addLayout(buttons);

    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });

    Form_Load();
}

tag_set_value::~tag_set_value() = default;

tag_set_value* tag_set_value::openInstance() { return setting_open_editor<tag_set_value>(); }

int tag_set_value::shown_tag() const { return Combo1->currentIndex() + 1; }

// ---------------------------------------------------------------- fill and collect

void tag_set_value::fill_tag(int n) {
    if (setting_logger_empty()) return;
    if (const auto ds = setting_area_data_set(n)) form->fill(ds->clsLOGGER_SETTING());
}

void tag_set_value::tag_set_value_disp(qint16 n) {
    if (n < 1 || n > kTags) return;
    if (Combo1->currentIndex() != n - 1) {
        Combo1->setCurrentIndex(n - 1);  // the tag choice stores the tag shown until now and fills
    } else {
        fill_tag(n);
    }
}

void tag_set_value::tag_set_value_disp_kitei() {
    if (setting_logger_empty()) return;
    if (const auto ds = setting_area_data_set(0)) form->fill(ds->clsLOGGER_SETTING());
}

void tag_set_value::tag_setting_collect(int n, bool announce) {
    if (setting_logger_empty()) return;
    if (const auto ds = setting_area_data_set(n)) form->collect(ds->clsLOGGER_SETTING(), announce);
}

void tag_set_value::tag_k_e_j_t_def_disp(const QString& type, qint16 i) {
    if (i >= 0 && i < SettingForm::kChannels) form->k_e_j_t_def_disp(type, i);
}

// ---------------------------------------------------------------- loading and activation

void tag_set_value::Form_Load() {
    m_settingsRead = false;
    clip.valid = false;
    shown_tag_index = 0;
    {
        const QSignalBlocker b(Combo1);
        Combo1->setCurrentIndex(0);
    }
    fill_tag(1);
    adjustSize();
    platform::centre_on_screen(this);
}

void tag_set_value::Form_Activate() {
    if (m_inActivate || m_unloaded) return;
    m_inActivate = true;
    if (!m_settingsRead) {
        const bool read = setting_editor_first_read(
            this, tag_settings_read_operation([this](qint16 n) { tag_set_value_disp(n); }, [this] { unload(); }));
        m_settingsRead = true;
        if (!read) {
            m_inActivate = false;
            unload();
            return;
        }
        if (!m_unloaded) tag_set_value_disp(1);
    }
    m_inActivate = false;
    if (!m_unloaded && !link().link_connected_flag) unload();
}

// ---------------------------------------------------------------- tag switch

void tag_set_value::Combo1_Click() {
    const int idx = Combo1->currentIndex();
    if (idx < 0) return;
    if (shown_tag_index != idx) {
        // While the settings read shows every tag, no message interrupts it.
        tag_setting_collect(shown_tag_index + 1, !seq().dialog);
        shown_tag_index = idx;
    }
    fill_tag(idx + 1);
}

// ---------------------------------------------------------------- writing

void tag_set_value::Command1_Click() {
    const int t = shown_tag();
    if (setting_editor_ask(this, QStringLiteral("書き込みを行うとすべての収録済みデータが削除されます。よろしいですか？")) !=
        platform::MsgResult::OK) {
        return;
    }
    tag_setting_collect(t);
    write(true, t);
    unload();
}

void tag_set_value::Command3_Click() {
    const int t = shown_tag();
    if (setting_editor_ask(this, QStringLiteral("書き込みを行うとTAG") + QString::number(t) +
                      QStringLiteral("に収録済みのデータは削除されます。よろしいですか？")) != platform::MsgResult::OK) {
        return;
    }
    tag_setting_collect(t);
    write(false, t);
    unload();
    setting_editor_rebind();
}

void tag_set_value::write(bool allTags, int shown) {
    m_written = prog_run(this, tag_settings_write_operation(allTags, shown, [this] { unload(); }));
}

// ---------------------------------------------------------------- defaults, cancel, help

void tag_set_value::Command4_Click() { tag_default_paste(); }

void tag_set_value::tag_default_paste() {
    if (setting_editor_ask(this, QStringLiteral("既定収録値を読み込みます。　よろしいですか？")) != platform::MsgResult::OK) return;
    const bool added = tag0_set_value_file_open_click(this);
    tag_set_value_disp_kitei();
    // The defaults data set belongs to the defaults editor; one made here goes again.
    if (added && model().logger_main) {
        try {
            model().logger_main->colLOGGER_DATA().Remove(QStringLiteral("L00"));
        } catch (const MissingKeyError&) {
        }
    }
}

void tag_set_value::Command2_Click() {
    unload();
    setting_editor_rebind();
}

void tag_set_value::reject() { Command2_Click(); }

void tag_set_value::closeEvent(QCloseEvent* e) {
    // The close box acts as Cancel; closing is never refused.
    if (!m_unloaded) Command2_Click();
    e->accept();
}

void tag_set_value::Command5_Click() { show_help(this, model().help_file, help_context::tag_set_value); }

// ---------------------------------------------------------------- toolbar

void tag_set_value::Toolbar1_ButtonClick(int index) {
    switch (index) {
    case 1: tag_csv_read(); break;
    case 2: tag_csv_write(); break;
    case 5: tag_setting_copy(); break;
    case 6: tag_setting_paste(); break;
    case 8: tag_default_paste(); break;
    default: break;
    }
}

void tag_set_value::tag_csv_read() {
    const int t = shown_tag();
    const QString chosen = setting_csv_dialog(this, file_dialog, false);
    if (chosen.isEmpty()) return;
    const auto ds = setting_area_data_set(t);
    if (!ds) return;
    const FileResult r = tag_setting_file_load(chosen, ds->clsLOGGER_SETTING());
    if (!r) {
        // The tag's setting and the fields stay as they were.
        setting_editor_warn(this, r.message);
        return;
    }
    tag_set_value_disp(qint16(t));
}

void tag_set_value::tag_csv_write() {
    const int t = shown_tag();
    // The fields reach the tag even when the save is then cancelled.
    tag_setting_collect(t);
    const QString chosen = setting_csv_dialog(this, file_dialog, true);
    if (chosen.isEmpty()) return;
    const auto ds = setting_area_data_set(t);
    if (!ds) return;
    const FileResult r = tag_setting_file_save(tag_csv_save_name(chosen), ds->clsLOGGER_SETTING(), connected_status());
    if (!r) setting_editor_warn(this, r.message);
}

void tag_set_value::tag_setting_copy() { form->copy_to(clip); }

void tag_set_value::tag_setting_paste() {
    if (!setting_clip_ready(this, clip)) return;
    form->paste_from(clip);
}

// ---------------------------------------------------------------- installation

void install_tag_setting_editor_targets(HomeTargets& targets, HOME* window) {
    targets.tag_set_value = [window] {
        tag_set_value dlg(window);
        dlg.exec();
    };
    targets.tag0_set_value = [window] {
        tag0_set_value dlg(window);
        if (!dlg.unloaded()) dlg.exec();
    };
}

}  // namespace mq
