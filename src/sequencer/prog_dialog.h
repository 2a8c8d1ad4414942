#pragma once
// Prog_Dialog: the modal progress window in which every logger exchange that
// reads or writes settings, clock or data, and every large file load or save,
// runs, one operation per showing.
//
// Caller side:
//   seq().prog_mode = code; (seq().prog_target_no = n; for file loads
//   seq().file_cancel_flag = false;) prog_dialog_show();
//   then test link().comm_cancel_flag, link().link_connected_flag, the
//   operation's done or result flag, seq().file_cancel_flag.
//
// Operation side (a handler registered with prog_register_operation): the
// frame has set the phase text and the Cancel button; the handler follows
// the logger pattern (identity_check(), progress maximum, one send per step,
// progress value per step) and ends through exit_success(),
// exit_identity_failed(), exit_no_reply() or its own ending built from
// unload(), unload_caller(), prog_data_bind() and the main window's
// procedures.
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
class clsLOGGER_DATA;

class Prog_Dialog : public QDialog, public IRxProgressBar, public IFileProgress {
    Q_OBJECT
public:
    explicit Prog_Dialog(QWidget* parent = nullptr);
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
    // Unloads the dialog that started the operation (its handler's unload_caller).
    void unload_caller();

    // send_initial() and send_recv_before_check(). On a result other than 0
    // the operation's identity-check exit has been taken; the result is returned.
    qint16 identity_check();
    // The exits of the logger operations, by prog_mode (each sets app_idle_flag True).
    void exit_identity_failed(qint16 r);
    // No complete reply: the cancel exit when comm_cancel_flag is True, else
    // the no-answer exit.
    void exit_no_reply();
    // The logger refused a write (NAK): what it refused is shown in a
    // message, nothing more is sent, the link stays up; app_idle_flag True.
    void exit_rejected(const QString& message);
    // The end of a successful logger read: its done flag True, unload;
    // app_idle_flag stays False for the calling command.
    void exit_success();
    // The ending of a settings editor's write that closes the editor: the
    // link ended first when `disconnect` (the reservation was sent: the
    // program's own end of the link, without the lost-link message), this
    // dialog and the editor unloaded, Proc_ManualActive, prog_data_bind;
    // app_idle_flag True when `idle`.
    void exit_editor_write(bool disconnect, bool idle = true);

    // ---- IRxProgressBar (the link's received-byte display)
    double maximum() const override { return m_max; }
    void setValue(double value) override { set_progress_value(value); }

    // ---- IFileProgress
    void process_events() override;
    bool file_cancel_flag() const override;
    void set_file_cancel_flag(bool value) override;

    // An exception that ended the operation, for prog_dialog_show to rethrow.
    std::exception_ptr takeError();

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void run_operation();
    void update_bar();
    void set_done_flag();
    // An error nothing inside the operation caught: reported, and the
    // operation's failure flags set for its caller.
    void end_with_unexpected_error(qint16 code);

    double m_max = 100;
    double m_value = 0;
    QList<double> m_history;
    bool m_unloaded = false;
    bool m_firstActivationDone = false;
    bool m_inCaption = false;
    bool m_running = false;  // the operation's handler is on the stack
    // The code of the operation this showing runs: the lost-link message
    // resets prog_mode to 0 in the middle of an exit, before the exit unloads
    // the dialog that started the operation.
    qint16 m_code = 0;
    std::exception_ptr m_error;
};

// Shows Prog_Dialog modally for seq().prog_mode over parent (the main
// window when null) and returns when the operation has ended; target is the
// data window the operation fills (seq().prog_target_window for the showing).
// An exception raised by the operation is rethrown here. Refused (returns at
// once, nothing run) while another showing is in progress.
void prog_dialog_show(QWidget* parent = nullptr, QWidget* target = nullptr);

// A data window's read of logger area (or tag) n: operation `code` shown over
// the main window and filling `target`. True when the read ended with the
// reply stored and the link up; false when it raised (a reply that could not
// be stored leaves nothing worth showing), was cancelled or lost the link.
bool prog_read_into_window(qint16 code, qint16 n, QWidget* target);

// The records of a logger data window (area or tag n of data set ds): its
// working database is made, then a set with records is read by operation
// `code`; an empty set is never read, its window is bound to the empty
// database and `showEmpty` shows it. False when the window must be given up
// (no working database, a failed read).
bool prog_fill_logger_window(IDataWindow& w, clsLOGGER_DATA& ds, qint16 code, int n,
                             const std::function<void()>& showEmpty);

// Phase text of an operation code ("" for a code outside the table).
QString prog_phase_text(qint16 code);
// Whether Cancel is enabled during the operation.
bool prog_cancel_enabled(qint16 code);
// Whether the operation reads a file (Cancel then sets file_cancel_flag).
bool prog_is_file_read(qint16 code);

// Makes the active data window's data set the current one: "F": the logger
// data-set list is cleared and the file data set becomes current (kind 1);
// "L": the logger data set (kind 2); another window: none (kind 0). No active
// child window: nothing changes.
void prog_data_bind();
// After a failure inside a read loop: with no active child window the current
// logger data set is released and the logger list cleared (kind unchanged);
// otherwise as prog_data_bind for "F" and "L", any other window changes nothing.
void prog_data_bind_keep();

// The connection check (operation 5), run inside the dialog.
void op_connect_check_run(Prog_Dialog& dlg);

}  // namespace mq
