#pragma once
// Prog_Dialog: the modal progress window in which every logger exchange that
// reads or writes settings, clock or data, and every large file load or save,
// runs, one operation per showing.
//
// Caller side: the owner of the data builds an Operation where the user
// acts, with everything it works on captured (the area, the window it fills,
// the commands, the reservation), runs it with prog_run() and reads the
// Outcome. Only file loads still share file_cancel_flag with their loaders.
//
// Operation side: the frame has set the phase text and the Cancel button;
// the body follows the logger pattern (identity_check(), progress maximum,
// one send per step, progress value per step) and ends through
// exit_success(), exit_identity_failed(), exit_no_reply(), exit_rejected(),
// exit_editor_write(), end_as() or a plain unload(). What an ending closes
// besides this window follows from the Operation's description, never from
// which operation it is.
#include <QDialog>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <exception>
#include <functional>

#include "main_window/scrambling.h"
#include "main_window/serial_link.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace mq {

class IDataWindow;
class Prog_Dialog;
class clsLOGGER_DATA;

// How an operation ended, for the one that started it.
enum class Outcome {
    Done,         // ran to its end
    Cancelled,    // Cancel ended it: a logger read keeps the link, a file load loaded nothing
    NoReply,      // the logger did not answer: the link was dropped
    OtherLogger,  // another logger or another mode answered the identity check: the link was dropped
    Refused,      // the logger refused a write (NAK): the message was shown, the link stays
    Failed,       // an error nothing inside the operation caught (reported to the user)
    NotRun,       // another operation was showing, or it had no body: nothing ran
};

// What the operation works on; it decides what Cancel and an error set.
enum class Works {
    Logger,         // an exchange with the logger: Cancel and an error set comm_cancel_flag
    LoggerRecords,  // a records read: as Logger, with the received bytes on the bar and the
                    // instruction to stop the logger's sending after a Cancel
    FileLoad,       // a file read or the table fill: Cancel and an error set file_cancel_flag
    FileSave,       // a file write: an error reaches the caller of prog_run (the save runner)
};

// What a failed logger operation closes besides the progress dialog.
enum class OnFailure {
    Nothing,     // the window it filled or the dialog that started it decides for itself
    MainWindow,  // the main window's commands refreshed (the list writes)
    Caller,      // the dialog that started it closed, the main window refreshed and the current
                 // data set bound again from the active window (the settings reads, the editors' writes)
    CallerList,  // as Caller; a read that stops inside its loop keeps the logger's data sets while a
                 // data window is active (prog_data_bind_keep) (the list reads)
};

// The body of an operation, run inside the shown dialog.
using OperationBody = std::function<void(Prog_Dialog& dlg)>;
// Unloads the dialog that started an operation.
using CallerClose = std::function<void()>;

// One operation, built by the owner of its data.
struct Operation {
    QString phase;             // Label1 while it runs
    bool cancellable = false;  // Cancel enabled
    Works works = Works::Logger;
    OnFailure on_failure = OnFailure::Nothing;
    // The phase text is drawn before the body starts (a long step follows at once).
    bool draw_phase_first = false;
    // For OnFailure::Caller and CallerList, and for exit_editor_write().
    CallerClose close_caller;
    // The body. An exception ends the showing as Failed with
    // "エラーが発生しました。" shown (a file save's reaches the caller instead).
    OperationBody run;
};

// The phase texts of the kinds of operation.
QString prog_phase_logger_read();   // "ロガーから読み出しています。"
QString prog_phase_logger_write();  // "ロガーへ書き込んでいます。"
QString prog_phase_file_read();     // "ファイルから読み込んでいます。"
QString prog_phase_file_write();    // "ファイルへ書き込んでいます。"

// The common kinds: a read of the logger (Cancel enabled), a write to it, a
// file load (Cancel enabled) and a file save.
Operation logger_read_operation(OperationBody run, OnFailure onFailure = OnFailure::Nothing,
                                CallerClose closeCaller = {});
Operation logger_write_operation(OperationBody run, OnFailure onFailure, CallerClose closeCaller = {});
Operation file_load_operation(OperationBody run);
Operation file_save_operation(OperationBody run);

class Prog_Dialog : public QDialog, public IRxProgressBar, public IFileProgress {
    Q_OBJECT
public:
    explicit Prog_Dialog(Operation op, QWidget* parent = nullptr);
    ~Prog_Dialog() override;

    // ---- controls
    QLabel* Label1 = nullptr;              // phase text
    QProgressBar* ProgressBar1 = nullptr;  // shows progress_value() of progress_max()
    QPushButton* Command1 = nullptr;       // Cancel, "ｷｬﾝｾﾙ"

    // ProgressBar1's maximum and value as the operations set them
    // (single-precision numbers, maximum first).
    double progress_max() const { return m_max; }
    void set_progress_max(double maximum);
    double progress_value() const { return m_value; }
    void set_progress_value(double value) override;  // also IFileProgress
    // Every value set since the dialog was created, in order (for checks).
    const QList<double>& progress_history() const { return m_history; }

    // ---- window procedures
    void Form_Load();
    // The frame: run once per showing; a later activation only refreshes.
    void Form_Activate();
    void Form_Unload();
    void Command1_Click();
    void prog_caption_set();

    // ---- endings
    // Unloads the window (ends the modal showing once control returns to it).
    void unload();
    bool unloaded() const { return m_unloaded; }
    // How the operation ended (Done until an ending says otherwise).
    Outcome outcome() const { return m_outcome; }

    // send_initial() and send_recv_before_check(). On a result other than 0
    // the identity-check exit has been taken; the result is returned.
    qint16 identity_check();
    // The identity check failed: 1 comm_disconnect (NoReply), else
    // comm_logger_change (OtherLogger); the failure closes what the
    // operation's OnFailure names; app_idle_flag True.
    void exit_identity_failed(qint16 r);
    // No complete reply: Cancelled when comm_cancel_flag is True and the
    // operation may be cancelled (the link stays), else NoReply
    // (comm_disconnect); app_idle_flag True.
    void exit_no_reply();
    // The logger refused a write (NAK): what it refused is shown in a
    // message, nothing more is sent, the link stays up; app_idle_flag True.
    void exit_rejected(const QString& message);
    // The end of a successful logger read; app_idle_flag stays False for the
    // calling command.
    void exit_success();
    // The ending of a settings editor's write that closes the editor: the
    // link ended first when `disconnect` (after a completed write it is the
    // program's own end of the link, without the lost-link message), this
    // dialog and the editor unloaded, Proc_ManualActive, prog_data_bind;
    // app_idle_flag True when `idle`.
    void exit_editor_write(Outcome outcome, bool disconnect, bool idle = true);
    // Unloads with the given outcome and app_idle_flag True; nothing else.
    void end_as(Outcome outcome);

    // ---- IRxProgressBar (the link's received-byte display)
    double maximum() const override { return m_max; }
    void setValue(double value) override { set_progress_value(value); }

    // ---- IFileProgress
    void process_events() override;
    bool file_cancel_flag() const override;
    void set_file_cancel_flag(bool value) override;

    // An exception that ended a file save, for prog_run to rethrow.
    std::exception_ptr takeError();

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void run_operation();
    void update_bar();
    // Closes and rebinds what the operation's OnFailure names; `manualActive`
    // refreshes the main window, `identity` rebinds fully after an identity
    // check (a list read keeps its data sets only after a failure in its loop).
    void close_after_failure(bool manualActive, bool identity);
    void close_caller();
    // An error nothing inside the operation caught: reported, and the
    // failure flags its caller tests set.
    void end_with_unexpected_error();

    Operation m_op;
    Outcome m_outcome = Outcome::Done;
    double m_max = 100;
    double m_value = 0;
    QList<double> m_history;
    bool m_unloaded = false;
    bool m_firstActivationDone = false;
    bool m_inCaption = false;
    bool m_running = false;  // the operation's body is on the stack
    std::exception_ptr m_error;
};

// Shows Prog_Dialog modally for `op` over parent (the main window when null)
// and returns how the operation ended. A file save's exception is rethrown
// here. NotRun (at once, nothing run) while another showing is in progress.
Outcome prog_run(QWidget* parent, Operation op);

// A data window's read of its records from the logger, shown over the main
// window. True when the read ended with the reply handed over and the link
// up; false when it failed, was cancelled or lost the link.
bool prog_read_into_window(Operation read);

// The records of a logger data window (area or tag n of data set ds): its
// working database is made, then a set with records is read by `read`; an
// empty set is never read, its window is bound to the empty database and
// `showEmpty` shows it. False when the window must be given up (no working
// database, a failed read).
bool prog_fill_logger_window(IDataWindow& w, clsLOGGER_DATA& ds, int n, Operation read,
                             const std::function<void()>& showEmpty);

// Makes the active data window's data set the current one: "F": the logger
// data-set list is cleared and the file data set becomes current (kind 1);
// "L": the logger data set (kind 2); another window: none (kind 0). No active
// child window: nothing changes.
void prog_data_bind();
// After a failure inside a read loop: with no active child window the current
// logger data set is released and the logger list cleared (kind unchanged);
// otherwise as prog_data_bind for "F" and "L", any other window changes nothing.
void prog_data_bind_keep();

}  // namespace mq
