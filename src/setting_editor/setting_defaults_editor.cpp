#include "setting_editor/setting_defaults_editor.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/window_place.h"

namespace mq {

namespace {
const QString kL00 = QStringLiteral("L00");
}  // namespace

std::shared_ptr<clsLOGGER_DATA> setting_defaults_data_set(bool* added) {
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

void setting_defaults_data_set_remove() {
    if (const auto& root = model().logger_main) {
        try {
            root->colLOGGER_DATA().Remove(kL00);
        } catch (const MissingKeyError&) {
        }
    }
}

SettingDefaultsEditor::SettingDefaultsEditor(QWidget* parent, const QString& objectName, const QString& title,
                                             SettingFormKind kind, bool sendFirst)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(title);
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    form = new SettingForm(this, kind);
    auto button = [this](const char* name, const QString& text, const QString& tip) {
        return setting_editor_button(this, name, text, tip);
    };
    // Made in their row's order, which is also the focus order.
    auto makeStore = [&] {
        OKButton = button("OKButton", QStringLiteral("ﾘｽﾄ更新"), QStringLiteral("表示している設定をﾊﾟｿｺﾝに書き込んで終了します"));
    };
    auto makeSend = [&] {
        Command1 = button("Command1", QStringLiteral("OK"), QStringLiteral("表示している設定をﾛｶﾞｰとﾊﾟｿｺﾝに書き込んで終了します"));
    };
    if (sendFirst) {
        makeSend();
        makeStore();
    } else {
        makeStore();
        makeSend();
    }
    CancelButton = button("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), QStringLiteral("設定を行わずに終了します"));
    Command2 = button("Command2", QStringLiteral("ﾍﾙﾌﾟ"), QString());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sendFirst ? Command1 : OKButton);
    buttons->addWidget(sendFirst ? OKButton : Command1);
    for (QPushButton* b : {CancelButton, Command2}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form);
    layout->addLayout(buttons);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
}

SettingDefaultsEditor::~SettingDefaultsEditor() = default;

void SettingDefaultsEditor::place() {
    adjustSize();
    platform::centre_on_screen(this);
}

void SettingDefaultsEditor::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !m_unloaded) Form_Activate();
    });
}

void SettingDefaultsEditor::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && isVisible() && !m_unloaded) Form_Activate();
}

void SettingDefaultsEditor::Form_Activate() {
    if (!m_unloaded && !link().link_connected_flag) unload();
}

void SettingDefaultsEditor::defaults_disp(int n) {
    if (!model().logger_main) return;
    if (const auto ds = setting_area_data_set(n)) form->fill(ds->clsLOGGER_SETTING());
}

void SettingDefaultsEditor::form_to_setting(int n) {
    const auto ds = n == 0 ? setting_defaults_data_set() : setting_area_data_set(n);
    if (ds) form->collect(ds->clsLOGGER_SETTING());
}

bool SettingDefaultsEditor::cfg_write() {
    form_to_setting(0);
    const auto ds = setting_defaults_data_set();
    if (!ds) return false;
    if (const FileResult r = save_defaults(ds->clsLOGGER_SETTING()); !r) {
        setting_editor_warn(this, r.message);
        return false;
    }
    return true;
}

void SettingDefaultsEditor::OKButton_Click() {
    if (cfg_write()) unload();
}

void SettingDefaultsEditor::CancelButton_Click() { unload(); }
void SettingDefaultsEditor::reject() { CancelButton_Click(); }

void SettingDefaultsEditor::unload() {
    if (m_unloaded) return;
    Form_Unload();
    done(QDialog::Rejected);
}

void SettingDefaultsEditor::closeEvent(QCloseEvent* e) {
    // The close box acts as Cancel.
    if (!m_unloaded) CancelButton_Click();
    e->accept();
}

}  // namespace mq
