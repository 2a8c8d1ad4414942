#include "sequencer/prog_dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "main_window/command_boundary.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "model/data_set_handle.h"
#include "model/cls_logger_setting.h"
#include "model/common_proc.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/folders.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "sequencer/seq_state.h"

namespace mq {

namespace {

// The bar is drawn in this many steps of its maximum, so that fractional
// maxima and values (the old-format loader advances by thousandths) show.
constexpr int kBarSteps = 10000;

bool isListOrSettingRead(qint16 c) {
    return c == op_read_log_list || c == op_read_log_setting || c == op_read_tag_list || c == op_read_tag_setting;
}
bool isDataRead(qint16 c) { return c == op_read_log_data || c == op_read_tag_data; }
bool isSave(qint16 c) {
    return c % 10 == 0 && ((c >= op_save_logger_log_csv && c <= op_save_logger_mt1) ||
                           (c >= op_save_file_log_csv && c <= op_save_file_mt1));
}
// Writes whose failure closes the editor that started them and rebinds.
bool isEditorWrite(qint16 c) {
    return c == op_write_log_setting_all || c == op_write_log_setting_area || c == op_write_tag_setting_all ||
           c == op_write_tag_setting_one || c == op_write_log_default || c == op_write_tag_default;
}
bool isListWrite(qint16 c) { return c == op_write_worker_list || c == op_write_comment_list; }

HOME* homeWindow() { return home_window(); }

void procManualActive() {
    if (HOME* home = homeWindow()) home->winTable().Proc_ManualActive();
}

void setAppIdle(bool value) {
    if (HomeSlot::installed()) home_state().app_idle_flag = value;
}

// The active child window: whether there is one, and its tag ("" for a child
// that is not a data window).
bool activeChildTag(QString* tag) {
    if (!ModelSlot::installed()) return false;
    IMainWindowServices* mw = model().main_window;
    if (!mw) return false;
    if (HOME* home = home_window()) {
        QMdiSubWindow* sub = home->mdiArea()->currentSubWindow();
        if (!sub) return false;
        IDataWindow* w = home->winTable().dataWindowOf(sub->widget());
        *tag = w ? w->Tag() : QString();
        return true;
    }
    IDataWindow* w = mw->activeDataWindow();
    if (!w) return false;
    *tag = w->Tag();
    return true;
}

// Binds the "F" or "L" data set named by key; false for another initial.
// A window whose data set is already gone (its logger data were dropped while
// it was still closing) leaves no current data set instead of an error in
// the middle of an operation's ending.
bool bindByKey(const QString& key) {
    const bool file = key.startsWith(QLatin1Char('F'));
    if (!file && !key.startsWith(QLatin1Char('L'))) return false;
    if (file) clear_logger_data_list();
    const DataSetHandle ds = DataSetHandle::of_tag(key);
    if (ds) {
        ds.make_current();
    } else {
        DataSetHandle::release_current(file ? CurrentRef::File : CurrentRef::Logger);
        DataSetHandle::set_current_kind(0);
    }
    return true;
}

const QString kCancelledDataReadText = QStringLiteral(
    "！ロガーの送信動作を停止する必要があります！\r\n"
    "　①ロガーの「戻る」キーで通信モードから抜けます。\r\n"
    "　②ロガーのメニューで「ﾂｳｼﾝ」を選択します。");

}  // namespace

// ---------------------------------------------------------------- code table

QString prog_phase_text(qint16 code) {
    switch (code) {
    case op_connect_check:
        return QStringLiteral("ロガーとの接続を確認中");
    case op_read_log_list:
    case op_read_log_setting:
    case op_read_logger_clock:
    case op_read_log_data:
    case op_read_tag_data:
    case op_read_tag_list:
    case op_read_tag_setting:
        return QStringLiteral("ロガーから読み出しています。");
    case op_write_log_setting_all:
    case op_write_tag_setting_all:
    case op_write_log_setting_area:
    case op_write_tag_setting_one:
    case op_write_worker_list:
    case op_write_comment_list:
    case op_write_log_default:
    case op_write_tag_default:
        return QStringLiteral("ロガーへ書き込んでいます。");
    case op_load_ml1_records:
    case op_load_ml2_records:
    case op_load_mt1_records:
    case op_descramble_text:
        return QStringLiteral("ファイルから読み込んでいます。");
    case op_save_logger_log_csv:
    case op_save_logger_tag_csv:
    case op_save_logger_ml2:
    case op_save_logger_mt1:
    case op_save_file_log_csv:
    case op_save_file_tag_csv:
    case op_save_file_ml2:
    case op_save_file_mt1:
        return QStringLiteral("ファイルへ書き込んでいます。");
    case op_fill_data_grid:
        return QStringLiteral("ﾃﾞｰﾀ表示処理中(1/10)です。他の操作は行わないで下さい。");
    default:
        return QString();
    }
}

bool prog_cancel_enabled(qint16 code) {
    return isListOrSettingRead(code) || isDataRead(code) || prog_is_file_read(code);
}

bool prog_is_file_read(qint16 code) {
    return code == op_load_ml1_records || code == op_load_ml2_records || code == op_load_mt1_records ||
           code == op_descramble_text;
}

// ---------------------------------------------------------------- registry

void prog_register_operation(qint16 code, ProgOperation op) {
    if (code == op_connect_check) return;
    seq().operations[code] = std::move(op);
}

void prog_install_connect_check() {
    connection().run_connect_check = [] {
        // A check that never ran (another operation's dialog still showing)
        // must not report the previous check's success.
        seq().connect_ok_flag = false;
        seq().prog_mode = op_connect_check;
        prog_dialog_show();
        return seq().connect_ok_flag;
    };
}

// ---------------------------------------------------------------- binding

void prog_data_bind() {
    QString tag;
    if (!activeChildTag(&tag)) return;
    if (!bindByKey(tag.left(3))) {
        DataSetHandle::release_current(CurrentRef::Logger);
        DataSetHandle::set_current_kind(0);
    }
}

void prog_data_bind_keep() {
    QString tag;
    if (!activeChildTag(&tag)) {
        DataSetHandle::release_current(CurrentRef::Logger);
        clear_logger_data_list();
        return;
    }
    bindByKey(tag.left(3));
}

// ---------------------------------------------------------------- the window

Prog_Dialog::Prog_Dialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Prog_Dialog"));
    setWindowTitle(QStringLiteral("マロウクイル"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowCloseButtonHint, false);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(320);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, kBarSteps);
    ProgressBar1->setTextVisible(false);
    Command1 = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    Command1->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Command1, 0, Qt::AlignHCenter);

    Form_Load();
}

Prog_Dialog::~Prog_Dialog() {
    if (LinkSlot::installed() && link().progress_bar == this) link().progress_bar = nullptr;
}

void Prog_Dialog::set_progress_max(double maximum) {
    m_max = maximum;
    update_bar();
}

void Prog_Dialog::set_progress_value(double value) {
    m_value = value;
    m_history.append(value);
    update_bar();
}

void Prog_Dialog::update_bar() {
    double f = m_max > 0 ? m_value / m_max : 0.0;
    if (f < 0) f = 0;
    if (f > 1) f = 1;
    ProgressBar1->setValue(int(f * kBarSteps + 0.5));
}

void Prog_Dialog::process_events() { QCoreApplication::processEvents(); }
bool Prog_Dialog::file_cancel_flag() const { return seq().file_cancel_flag; }
void Prog_Dialog::set_file_cancel_flag(bool value) { seq().file_cancel_flag = value; }

std::exception_ptr Prog_Dialog::takeError() {
    std::exception_ptr e = m_error;
    m_error = nullptr;
    return e;
}

void Prog_Dialog::Form_Load() { seq().prog_busy_flag = 0; }

void Prog_Dialog::Form_Unload() {
    m_value = 0;
    update_bar();
    SeqState& s = seq();
    s.prog_run_once_flag = false;
    s.prog_busy_flag = 0;
    if (link().progress_bar == this) link().progress_bar = nullptr;
}

void Prog_Dialog::Command1_Click() {
    if (seq().file_op_flag) {
        seq().file_cancel_flag = true;
    } else {
        link().comm_cancel_flag = true;
    }
}

void Prog_Dialog::prog_caption_set() {
    SeqState& s = seq();
    Command1->setEnabled(false);
    s.file_op_flag = false;
    set_progress_value(0);
    if (s.prog_busy_flag == 0) s.prog_run_once_flag = false;

    const qint16 code = s.prog_mode;
    const QString text = prog_phase_text(code);
    if (!text.isEmpty()) {
        setWindowTitle(QStringLiteral("マロウクイル"));
        Label1->setText(text);
    }
    if (prog_cancel_enabled(code)) Command1->setEnabled(true);
    if (prog_is_file_read(code)) s.file_op_flag = true;
    if (code == op_fill_data_grid) QCoreApplication::processEvents();  // let the text be drawn
}

void Prog_Dialog::Form_Activate() {
    // The phase text of 700 is drawn by yielding once; an activation that
    // arrives in that yield belongs to this one.
    if (m_unloaded || m_inCaption) return;
    // While the operation runs, its own texts and bar stand: a file save or
    // load writes "(k/m)" into the caption and advances the bar, and an
    // activation (another window closing, a box of the operation going
    // away) must not set them back to the phase text and zero.
    if (m_running) return;
    SeqState& s = seq();
    if (s.prog_busy_flag == 0) setAppIdle(false);
    m_inCaption = true;
    prog_caption_set();
    m_inCaption = false;
    if (m_unloaded) return;
    // A later activation (a message box of the operation closed) only
    // refreshes the texts; the end of the operation restores app_idle_flag.
    if (s.prog_run_once_flag) return;
    s.prog_run_once_flag = true;
    s.prog_busy_flag = 1;
    run_operation();
}

void Prog_Dialog::run_operation() {
    const qint16 code = seq().prog_mode;
    m_code = code;
    link().progress_bar = this;
    m_running = true;
    struct Running {
        bool& flag;
        ~Running() { flag = false; }
    } running{m_running};
    try {
        if (code == op_connect_check) {
            op_connect_check_run(*this);
        } else {
            const auto it = seq().operations.find(code);
            if (it != seq().operations.end() && it->second.run) {
                it->second.run(*this);
            } else {
                // A code no window has registered: nothing to run.
                unload();
                setAppIdle(true);
            }
        }
    } catch (...) {
        if (isDataRead(code)) link().rx_progress_flag = false;
        unload();
        if (isSave(code)) {
            // The save runner reports it and keeps the data marked unsaved.
            m_error = std::current_exception();
        } else {
            end_with_unexpected_error(code);
        }
        setAppIdle(true);
    }
    if (!m_unloaded) unload();
}

void Prog_Dialog::end_with_unexpected_error(qint16 code) {
    // The operation ends as a failed one, so that its caller closes what it
    // opened for it and the program goes on.
    if (prog_is_file_read(code) || code == op_fill_data_grid) {
        seq().file_cancel_flag = true;
        if (code == op_descramble_text) home_state().file_plain_text.clear();
    } else {
        set_done_flag();
        if (code == op_connect_check) seq().connect_ok_flag = false;
        link().comm_cancel_flag = true;
        if (isListOrSettingRead(code) || isEditorWrite(code)) unload_caller();
    }
    QWidget* parent = parentWidget();
    if (!parent && ModelSlot::installed() && model().main_window) parent = model().main_window->mainWidget();
    platform::msgBox(parent, unexpected_error_message(), platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
}

void Prog_Dialog::unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    Form_Unload();
    done(QDialog::Accepted);
}

void Prog_Dialog::unload_caller() {
    const auto it = seq().operations.find(m_code);
    if (it != seq().operations.end() && it->second.unload_caller) it->second.unload_caller();
}

void Prog_Dialog::set_done_flag() {
    SeqState& s = seq();
    switch (s.prog_mode) {
    case op_read_log_list: s.log_list_read_done = true; break;
    case op_read_log_setting: s.log_setting_read_done = true; break;
    case op_read_logger_clock: s.clock_read_done = true; break;
    case op_read_tag_list: s.tag_list_read_done = true; break;
    case op_read_tag_setting: s.tag_setting_read_done = true; break;
    default: break;
    }
}

qint16 Prog_Dialog::identity_check() {
    send_initial();
    const qint16 r = send_recv_before_check();
    if (r != 0) exit_identity_failed(r);
    return r;
}

void Prog_Dialog::exit_identity_failed(qint16 r) {
    const qint16 code = seq().prog_mode;
    set_done_flag();
    if (r == 1) {
        comm_disconnect();
    } else {
        comm_logger_change();
    }
    unload();
    if (isListOrSettingRead(code) || isEditorWrite(code)) {
        unload_caller();
        procManualActive();
        prog_data_bind();
    } else if (isListWrite(code)) {
        procManualActive();
    }
    setAppIdle(true);
}

void Prog_Dialog::exit_no_reply() {
    const qint16 code = seq().prog_mode;
    const bool cancelled = link().comm_cancel_flag;
    set_done_flag();
    if (code == op_connect_check) {
        seq().connect_ok_flag = false;
        unload();
        setAppIdle(true);
        return;
    }
    if (isDataRead(code)) link().rx_progress_flag = false;

    if (cancelled && (isListOrSettingRead(code) || isDataRead(code))) {
        if (isDataRead(code)) {
            platform::msgBox(this, kCancelledDataReadText, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
            unload();
        } else {
            unload();
            unload_caller();
            if (code == op_read_log_list || code == op_read_tag_list) {
                prog_data_bind_keep();
            } else {
                prog_data_bind();
            }
        }
        setAppIdle(true);
        return;
    }

    comm_disconnect();
    unload();
    if (isListOrSettingRead(code) || isEditorWrite(code)) {
        unload_caller();
        procManualActive();
        if (code == op_read_log_list || code == op_read_tag_list) {
            prog_data_bind_keep();
        } else {
            prog_data_bind();
        }
    } else if (isListWrite(code)) {
        procManualActive();
    }
    setAppIdle(true);
}

void Prog_Dialog::exit_rejected(const QString& message) {
    set_done_flag();
    platform::msgBox(this, message, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    unload();
    setAppIdle(true);
}

void Prog_Dialog::exit_success() {
    const qint16 code = seq().prog_mode;
    set_done_flag();
    if (code == op_connect_check) seq().connect_ok_flag = true;
    if (isDataRead(code)) link().rx_progress_flag = false;
    unload();
}

void Prog_Dialog::exit_editor_write(bool disconnect, bool idle) {
    if (disconnect) comm_disconnect(LinkEnd::Finished);
    unload();
    unload_caller();
    procManualActive();
    prog_data_bind();
    if (idle) setAppIdle(true);
}

// ---------------------------------------------------------------- events

void Prog_Dialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (m_firstActivationDone) return;
    QTimer::singleShot(0, this, [this] {
        if (m_firstActivationDone) return;
        m_firstActivationDone = true;
        Form_Activate();
    });
}

void Prog_Dialog::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && m_firstActivationDone && !m_unloaded) {
        Form_Activate();
    }
}

void Prog_Dialog::closeEvent(QCloseEvent* e) {
    // The window goes only when its operation ends.
    if (!m_unloaded) e->ignore();
}

void Prog_Dialog::keyPressEvent(QKeyEvent* e) {
    // Escape would close the window under a running operation.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool prog_read_into_window(qint16 code, qint16 n, QWidget* target) {
    bool failed = false;
    try {
        seq().prog_mode = code;
        seq().prog_target_no = n;
        IMainWindowServices* mw = ModelSlot::installed() ? model().main_window : nullptr;
        prog_dialog_show(mw ? mw->mainWidget() : nullptr, target);
    } catch (const std::exception&) {
        failed = true;
    }
    const LinkState& ls = link();
    return !failed && !ls.comm_cancel_flag && ls.link_connected_flag;
}

bool prog_fill_logger_window(IDataWindow& w, clsLOGGER_DATA& ds, qint16 code, int n,
                             const std::function<void()>& showEmpty) {
    clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    try {
        ds.clsLOGGER_DATABASE().makeDbPath(w.Tag());
    } catch (const Error&) {
        // No working database can be made (the folder cannot be written):
        // the window is given up like a failed read, never left half made.
        return false;
    }
    if (s.data_count() != 0) {
        w.vsFlexGrid1()->setRows(s.data_count() + 1);
        s.let_area_no(quint8(n));
        return prog_read_into_window(code, qint16(n), w.widget());
    }
    try {
        bind_data_recordset(&w);
        w.bind_Data1(ds.clsLOGGER_DATABASE().Recordset());
    } catch (const Error&) {
        return false;
    }
    showEmpty();
    return true;
}

void prog_dialog_show(QWidget* parent, QWidget* target) {
    SeqState& s = seq();
    if (s.dialog) return;
    if (!parent && ModelSlot::installed() && model().main_window) parent = model().main_window->mainWidget();
    Prog_Dialog dlg(parent);
    s.dialog = &dlg;
    s.prog_target_window = target;
    dlg.exec();
    if (!dlg.unloaded()) dlg.unload();  // a showing ended from outside
    seq().dialog = nullptr;
    seq().prog_target_window = nullptr;
    if (std::exception_ptr e = dlg.takeError()) std::rethrow_exception(e);
}

}  // namespace mq
