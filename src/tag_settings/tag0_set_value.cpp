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
#include "sequencer/seq_state.h"
#include "sequencer/setting_form.h"
#include "sequencer/setting_write.h"
#include "tag_settings/tag_setting_files.h"

namespace mq {

namespace {

const QString kL00 = QStringLiteral("L00");

std::shared_ptr<clsLOGGER_DATA> defaults_data_set(bool* added = nullptr) {
    const auto& root = model().logger_main;
    if (!root) return nullptr;
    colLOGGER_DATA& col = root->colLOGGER_DATA();
    try {
        return col.Item(kL00);
    } catch (const MissingKeyError&) {
        col.Add(kL00);
        if (added) *added = true;
        return col.Item(kL00);
    }
}

const clsLOGGER_STATUS* connected_status() {
    const auto& root = model().logger_main;
    return root ? &root->clsLOGGER_STATUS() : nullptr;
}

void warn(QWidget* w, const QString& text) {
    platform::msgBox(w, text, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
}

}  // namespace

bool tag0_set_value_file_open_click(QWidget* parent) {
    bool added = false;
    const auto ds = defaults_data_set(&added);
    if (!ds) return false;
    clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();
    const bool existed = QFileInfo::exists(tag0_cfg_path());
    model().act_logger_data = ds;
    if (const FileResult r = tag0_cfg_load(s); !r) {
        if (existed) {
            // The file stays as it is for the user to look at; the defaults
            // of a new file stand in for it.
            tag_setting_channels_read(tag0_cfg_default_bytes(), tag0_cfg_path(), s);
            warn(parent, r.message + QStringLiteral("\r\n既定の値を使います。"));
        } else {
            // The default file could not be made; its values are in use all the same.
            warn(parent, r.message);
        }
    }
    model().act_logger_data.reset();
    if (tag0_set_value* d = tag0_set_value::openInstance()) d->tag0_set_value_disp(0);
    return added;
}

tag0_set_value::tag0_set_value(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("tag0_set_value"));
    setWindowTitle(QStringLiteral("既定収録設定（タグ・モード）"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    form = new SettingForm(this, SettingFormKind::Tag);
    auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    Command1 = button("Command1", QStringLiteral("OK"), QStringLiteral("表示している設定をﾛｶﾞｰとﾊﾟｿｺﾝに書き込んで終了します"));
    OKButton = button("OKButton", QStringLiteral("ﾘｽﾄ更新"), QStringLiteral("表示している設定をﾊﾟｿｺﾝに書き込んで終了します"));
    CancelButton = button("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), QStringLiteral("設定を行わずに終了します"));
    Command2 = button("Command2", QStringLiteral("ﾍﾙﾌﾟ"), QString());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {Command1, OKButton, CancelButton, Command2}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form);
    layout->addLayout(buttons);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    // Loading: the defaults from TAG0.CFG into "L00" and the form.
    tag0_set_value_file_open_click(this);
    tag0_set_value_disp(0);
    adjustSize();
    platform::centre_on_screen(this);
}

tag0_set_value::~tag0_set_value() {
    if (!m_unloaded) Form_Unload();
}

tag0_set_value* tag0_set_value::openInstance() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* d = qobject_cast<tag0_set_value*>(w);
        if (d && !d->m_unloaded) return d;
    }
    return nullptr;
}

void tag0_set_value::tag0_set_value_disp(qint16 tag) {
    const auto& root = model().logger_main;
    if (!root) return;
    try {
        const auto ds = root->colLOGGER_DATA().Item(QStringLiteral("L") + QString::number(tag).rightJustified(2, u'0'));
        model().act_logger_data = ds;
        form->fill(ds->clsLOGGER_SETTING());
    } catch (const MissingKeyError&) {
    }
    model().act_logger_data.reset();
}

void tag0_set_value::tag0_k_e_j_t_def_disp(const QString& type, qint16 i) {
    if (i >= 0 && i < SettingForm::kChannels) form->k_e_j_t_def_disp(type, i);
}

void tag0_set_value::tag0_form_to_setting(qint16 tag) {
    std::shared_ptr<clsLOGGER_DATA> ds;
    if (tag == 0) {
        ds = defaults_data_set();
    } else if (const auto& root = model().logger_main) {
        try {
            ds = root->colLOGGER_DATA().Item(QStringLiteral("L") + QString::number(tag).rightJustified(2, u'0'));
        } catch (const MissingKeyError&) {
        }
    }
    if (!ds) return;
    model().act_logger_data = ds;
    form->collect(ds->clsLOGGER_SETTING());
    model().act_logger_data.reset();
}

bool tag0_set_value::tag0_cfg_write() {
    tag0_form_to_setting(0);
    const auto ds = defaults_data_set();
    if (!ds) return false;
    model().act_logger_data = ds;
    if (const FileResult r = tag0_cfg_save(ds->clsLOGGER_SETTING(), connected_status()); !r) {
        warn(this, r.message);
        return false;
    }
    return true;
}

void tag0_set_value::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !m_unloaded) Form_Activate();
    });
}

void tag0_set_value::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && isVisible() && !m_unloaded) Form_Activate();
}

void tag0_set_value::Form_Activate() {
    if (!m_unloaded && !link().link_connected_flag) unload();
}

void tag0_set_value::OKButton_Click() {
    if (tag0_cfg_write()) unload();
}

void tag0_set_value::Command1_Click() {
    // The defaults are on the PC before the logger is addressed; a file that
    // could not be written keeps the editor open and sends nothing.
    if (!tag0_cfg_write()) return;
    seq().prog_mode = op_write_tag_default;
    try {
        prog_dialog_show(this);
    } catch (const Error&) {
    }
    // The operation closes the editor in every outcome; this covers a
    // showing that never ran it.
    if (!m_unloaded) unload();
}

void tag0_set_value::CancelButton_Click() { unload(); }
void tag0_set_value::reject() { CancelButton_Click(); }

void tag0_set_value::Command2_Click() { show_help(this, model().help_file, help_context::tag0_set_value); }

void tag0_set_value::unload() {
    if (m_unloaded) return;
    Form_Unload();
    done(QDialog::Rejected);
}

void tag0_set_value::closeEvent(QCloseEvent* e) {
    // The close box acts as Cancel.
    if (!m_unloaded) CancelButton_Click();
    e->accept();
}

void tag0_set_value::Form_Unload() {
    m_unloaded = true;
    // "L00" lives while the editor is open; the tags' own entries stay.
    if (const auto& root = model().logger_main) {
        try {
            root->colLOGGER_DATA().Remove(kL00);
        } catch (const MissingKeyError&) {
        }
    }
    setting_editor_rebind();
}

}  // namespace mq
