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

// ---------------------------------------------------------------- kinds

QString prog_phase_logger_read() { return QStringLiteral("ロガーから読み出しています。"); }
QString prog_phase_logger_write() { return QStringLiteral("ロガーへ書き込んでいます。"); }
QString prog_phase_file_read() { return QStringLiteral("ファイルから読み込んでいます。"); }
QString prog_phase_file_write() { return QStringLiteral("ファイルへ書き込んでいます。"); }

Operation logger_read_operation(OperationBody run, OnFailure onFailure, CallerClose closeCaller) {
    Operation op;
    op.phase = prog_phase_logger_read();
    op.cancellable = true;
    op.on_failure = onFailure;
    op.close_caller = std::move(closeCaller);
    op.run = std::move(run);
    return op;
}

Operation logger_write_operation(OperationBody run, OnFailure onFailure, CallerClose closeCaller) {
    Operation op;
    op.phase = prog_phase_logger_write();
    op.on_failure = onFailure;
    op.close_caller = std::move(closeCaller);
    op.run = std::move(run);
    return op;
}

Operation file_load_operation(OperationBody run) {
    Operation op;
    op.phase = prog_phase_file_read();
    op.cancellable = true;
    op.works = Works::FileLoad;
    op.run = std::move(run);
    return op;
}

Operation file_save_operation(OperationBody run) {
    Operation op;
    op.phase = prog_phase_file_write();
    op.works = Works::FileSave;
    op.run = std::move(run);
    return op;
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

Prog_Dialog::Prog_Dialog(Operation op, QWidget* parent) : QDialog(parent), m_op(std::move(op)) {
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

    if (!m_op.phase.isEmpty()) {
        setWindowTitle(QStringLiteral("マロウクイル"));
        Label1->setText(m_op.phase);
    }
    if (m_op.cancellable) Command1->setEnabled(true);
    if (m_op.works == Works::FileLoad && m_op.cancellable) s.file_op_flag = true;
    if (m_op.draw_phase_first) QCoreApplication::processEvents();  // let the text be drawn
}

void Prog_Dialog::Form_Activate() {
    // A phase text drawn first is drawn by yielding once; an activation that
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
    link().progress_bar = this;
    m_running = true;
    struct Running {
        bool& flag;
        ~Running() { flag = false; }
    } running{m_running};
    try {
        if (m_op.run) {
            m_op.run(*this);
        } else {
            // An operation without a body: nothing to run.
            m_outcome = Outcome::NotRun;
            unload();
            setAppIdle(true);
        }
    } catch (...) {
        m_outcome = Outcome::Failed;
        if (m_op.works == Works::LoggerRecords) link().rx_progress_flag = false;
        unload();
        if (m_op.works == Works::FileSave) {
            // The save runner reports it and keeps the data marked unsaved.
            m_error = std::current_exception();
        } else {
            end_with_unexpected_error();
        }
        setAppIdle(true);
    }
    if (!m_unloaded) unload();
    // A load the user cancelled (or whose loader gave up) leaves the flag for its caller.
    if (m_op.works == Works::FileLoad && m_outcome == Outcome::Done && seq().file_cancel_flag) {
        m_outcome = Outcome::Cancelled;
    }
}

void Prog_Dialog::end_with_unexpected_error() {
    // The operation ends as a failed one, so that its caller closes what it
    // opened for it and the program goes on.
    if (m_op.works == Works::FileLoad) {
        seq().file_cancel_flag = true;
    } else {
        link().comm_cancel_flag = true;
        close_caller();
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

void Prog_Dialog::close_caller() {
    const bool closes = m_op.on_failure == OnFailure::Caller || m_op.on_failure == OnFailure::CallerList;
    if (closes && m_op.close_caller) m_op.close_caller();
}

void Prog_Dialog::close_after_failure(bool manualActive, bool identity) {
    switch (m_op.on_failure) {
    case OnFailure::Nothing:
        return;
    case OnFailure::MainWindow:
        if (manualActive) procManualActive();
        return;
    case OnFailure::Caller:
    case OnFailure::CallerList:
        close_caller();
        if (manualActive) procManualActive();
        if (m_op.on_failure == OnFailure::CallerList && !identity) {
            prog_data_bind_keep();
        } else {
            prog_data_bind();
        }
        return;
    }
}

qint16 Prog_Dialog::identity_check() {
    send_initial();
    const qint16 r = send_recv_before_check();
    if (r != 0) exit_identity_failed(r);
    return r;
}

void Prog_Dialog::exit_identity_failed(qint16 r) {
    if (r == 1) {
        m_outcome = Outcome::NoReply;
        comm_disconnect();
    } else {
        m_outcome = Outcome::OtherLogger;
        comm_logger_change();
    }
    unload();
    close_after_failure(true, true);
    setAppIdle(true);
}

void Prog_Dialog::exit_no_reply() {
    const bool records = m_op.works == Works::LoggerRecords;
    if (records) link().rx_progress_flag = false;
    if (link().comm_cancel_flag && m_op.cancellable) {
        m_outcome = Outcome::Cancelled;
        if (records) {
            platform::msgBox(this, kCancelledDataReadText, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
            unload();
        } else {
            unload();
            close_after_failure(false, false);
        }
        setAppIdle(true);
        return;
    }
    m_outcome = Outcome::NoReply;
    comm_disconnect();
    unload();
    close_after_failure(true, false);
    setAppIdle(true);
}

void Prog_Dialog::exit_rejected(const QString& message) {
    m_outcome = Outcome::Refused;
    platform::msgBox(this, message, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    unload();
    setAppIdle(true);
}

void Prog_Dialog::exit_success() {
    m_outcome = Outcome::Done;
    if (m_op.works == Works::LoggerRecords) link().rx_progress_flag = false;
    unload();
}

void Prog_Dialog::exit_editor_write(Outcome outcome, bool disconnect, bool idle) {
    m_outcome = outcome;
    // A link the program ends itself after a completed write says nothing of
    // a lost link; one that ends because the logger stopped answering does.
    if (disconnect) comm_disconnect(outcome == Outcome::Done ? LinkEnd::Finished : LinkEnd::Lost);
    unload();
    if (m_op.close_caller) m_op.close_caller();
    procManualActive();
    prog_data_bind();
    if (idle) setAppIdle(true);
}

void Prog_Dialog::end_as(Outcome outcome) {
    m_outcome = outcome;
    unload();
    setAppIdle(true);
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

bool prog_read_into_window(Operation read) {
    IMainWindowServices* mw = ModelSlot::installed() ? model().main_window : nullptr;
    const Outcome o = prog_run(mw ? mw->mainWidget() : nullptr, std::move(read));
    const LinkState& ls = link();
    return o == Outcome::Done && !ls.comm_cancel_flag && ls.link_connected_flag;
}

bool prog_fill_logger_window(IDataWindow& w, clsLOGGER_DATA& ds, int n, Operation read,
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
        return prog_read_into_window(std::move(read));
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

Outcome prog_run(QWidget* parent, Operation op) {
    SeqState& s = seq();
    if (s.dialog) return Outcome::NotRun;
    if (!parent && ModelSlot::installed() && model().main_window) parent = model().main_window->mainWidget();
    Prog_Dialog dlg(std::move(op), parent);
    s.dialog = &dlg;
    dlg.exec();
    if (!dlg.unloaded()) dlg.unload();  // a showing ended from outside
    seq().dialog = nullptr;
    if (std::exception_ptr e = dlg.takeError()) std::rethrow_exception(e);
    return dlg.outcome();
}

}  // namespace mq
