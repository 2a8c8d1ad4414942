#include "log_settings/log0_set_value.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "sequencer/setting_form.h"
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
#include "sequencer/seq_state.h"

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

LoggerIdentityForFile logger_identity() {
    LoggerIdentityForFile id;
    if (const auto& root = model().logger_main) {
        const clsLOGGER_STATUS& st = root->clsLOGGER_STATUS();
        id.model_name = st.model_name();
        for (int c = 0; c < 4; ++c) id.offsets[size_t(c)] = st.ch_offset_value(c);
    }
    return id;
}

void warn(QWidget* w, const QString& text) {
    platform::msgBox(w, text, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
}

}  // namespace

QString log0_cfg_path() { return model().user_dir + QStringLiteral("/config/LOG0.CFG"); }

bool log0_set_value_file_open_click(QWidget* parent) {
    bool added = false;
    const auto ds = defaults_data_set(&added);
    if (!ds) return false;
    clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();
    const QString path = log0_cfg_path();
    QByteArray bytes;
    if (!QFileInfo::exists(path)) {
        bytes = log0_cfg_default_bytes();
        QDir().mkpath(QFileInfo(path).absolutePath());
        SafeFileWriter w(path);
        FileResult r = w.open();
        if (r) r = w.write(bytes);
        if (r) r = w.commit();
        // A folder that cannot be written still leaves the defaults in use.
    } else if (!read_whole_file(path, bytes) || log0_cfg_read(bytes, s) != SettingFileRead::Ok) {
        warn(parent, QStringLiteral("既定収録設定ファイルを読み込めません。既定の値を表示します。\r\n") + path);
        bytes = log0_cfg_default_bytes();
    } else {
        return added;
    }
    log0_cfg_read(bytes, s);
    return added;
}

log0_set_value::log0_set_value(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("log0_set_value"));
    setWindowTitle(QStringLiteral("既定収録設定（ログモード）"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    form = new SettingForm(this);
    auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    OKButton = button("OKButton", QStringLiteral("ﾘｽﾄ更新"), QStringLiteral("表示している設定をﾊﾟｿｺﾝに書き込んで終了します"));
    Command1 = button("Command1", QStringLiteral("OK"), QStringLiteral("表示している設定をﾛｶﾞｰとﾊﾟｿｺﾝに書き込んで終了します"));
    CancelButton = button("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), QStringLiteral("設定を行わずに終了します"));
    Command2 = button("Command2", QStringLiteral("ﾍﾙﾌﾟ"), QString());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {OKButton, Command1, CancelButton, Command2}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form);
    layout->addLayout(buttons);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    connect(Command2, &QPushButton::clicked, this,
            [this] { show_help(this, model().help_file, help_context::log0_set_value); });

    // Loading.
    log0_set_value_file_open_click(this);
    log0_set_value_disp(0);
    adjustSize();
    platform::centre_on_screen(this);
}

log0_set_value::~log0_set_value() {
    if (!m_unloaded) Form_Unload();
}

log0_set_value* log0_set_value::openInstance() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* d = qobject_cast<log0_set_value*>(w);
        if (d && !d->m_unloaded) return d;
    }
    return nullptr;
}

void log0_set_value::log0_set_value_disp(int area) {
    const auto& root = model().logger_main;
    if (!root) return;
    try {
        const auto ds = root->colLOGGER_DATA().Item(QStringLiteral("L") + QString::number(area).rightJustified(2, u'0'));
        form->fill(ds->clsLOGGER_SETTING());
    } catch (const MissingKeyError&) {
    }
    model().act_logger_data.reset();
}

void log0_set_value::log0_form_to_setting(int area) {
    std::shared_ptr<clsLOGGER_DATA> ds;
    if (area == 0) {
        ds = defaults_data_set();
    } else if (const auto& root = model().logger_main) {
        ds = root->colLOGGER_DATA().Item(QStringLiteral("L") + QString::number(area).rightJustified(2, u'0'));
    }
    if (!ds) return;
    form->collect(ds->clsLOGGER_SETTING());
}

bool log0_set_value::log0_cfg_write() {
    log0_form_to_setting(0);
    const auto ds = defaults_data_set();
    if (!ds) return false;
    model().act_logger_data = ds;
    const QString path = log0_cfg_path();
    QDir().mkpath(QFileInfo(path).absolutePath());
    SafeFileWriter w(path);
    FileResult r = w.open();
    if (r) r = w.write(log0_cfg_bytes(ds->clsLOGGER_SETTING(), logger_identity()));
    if (r) r = w.commit();
    if (!r) {
        warn(this, r.message);
        return false;
    }
    return true;
}

void log0_set_value::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !m_unloaded) Form_Activate();
    });
}

void log0_set_value::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && isVisible() && !m_unloaded) Form_Activate();
}

void log0_set_value::Form_Activate() {
    if (!m_unloaded && !link().link_connected_flag) unload();
}

void log0_set_value::OKButton_Click() {
    if (log0_cfg_write()) unload();
}

void log0_set_value::Command1_Click() {
    // The values are on the PC before the logger is addressed; a file that
    // could not be written keeps the dialog open and sends nothing.
    if (!log0_cfg_write()) return;
    seq().prog_mode = op_write_log_default;
    try {
        prog_dialog_show(this);
    } catch (const Error&) {
    }
    if (!m_unloaded && !link().link_connected_flag) unload();
}

void log0_set_value::CancelButton_Click() { unload(); }
void log0_set_value::reject() { CancelButton_Click(); }

void log0_set_value::unload() {
    if (m_unloaded) return;
    Form_Unload();
    done(QDialog::Rejected);
}

void log0_set_value::closeEvent(QCloseEvent* e) {
    // The close box acts as Cancel.
    if (!m_unloaded) CancelButton_Click();
    e->accept();
}

void log0_set_value::Form_Unload() {
    m_unloaded = true;
    ModelState& m = model();
    if (m.logger_main) {
        try {
            m.logger_main->colLOGGER_DATA().Remove(kL00);
        } catch (const MissingKeyError&) {
        }
    }
    IDataWindow* w = m.main_window ? m.main_window->activeDataWindow() : nullptr;
    if (!w) {
        m.act_data_kind = 2;
        m.act_logger_data.reset();
        m.act_file_data.reset();
        return;
    }
    const QString key = w->Tag().left(3);
    try {
        if (key.startsWith(u'L')) {
            m.act_data_kind = 2;
            m.act_logger_data = m.logger_main ? m.logger_main->colLOGGER_DATA().Item(key) : nullptr;
        } else {
            m.act_data_kind = 1;
            m.act_file_data = m.file_main ? m.file_main->colFILE_DATA().Item(key) : nullptr;
        }
    } catch (const MissingKeyError&) {
    }
}

}  // namespace mq
