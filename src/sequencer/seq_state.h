#pragma once
// The operation sequencer's shared state: the operation code and target a
// caller sets before showing Prog_Dialog, the flags the dialog and its
// operations leave for the caller, and the handlers of the operations that
// other windows implement. Held by the application (or a test) in a SeqSlot,
// reached with seq().
//
// Flags that live elsewhere: comm_cancel_flag, rx_progress_flag and
// link_connected_flag in link() (main_window/serial_link.h); app_idle_flag in
// home_state() (main_window/home_state.h).
#include <QDateTime>
#include <QPointer>
#include <QWidget>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <map>

#include "platform/state_slot.h"

namespace mq {

class Prog_Dialog;

// Operation codes (prog_mode).
inline constexpr qint16 op_connect_check = 5;
inline constexpr qint16 op_read_log_list = 10;
inline constexpr qint16 op_read_log_setting = 20;
inline constexpr qint16 op_read_logger_clock = 22;
inline constexpr qint16 op_write_log_setting_all = 25;
inline constexpr qint16 op_write_tag_setting_all = 27;
inline constexpr qint16 op_write_log_setting_area = 28;
inline constexpr qint16 op_write_tag_setting_one = 29;
inline constexpr qint16 op_write_worker_list = 30;
inline constexpr qint16 op_write_comment_list = 40;
inline constexpr qint16 op_read_log_data = 50;
inline constexpr qint16 op_load_ml1_records = 52;
inline constexpr qint16 op_load_ml2_records = 53;
inline constexpr qint16 op_read_tag_data = 55;
inline constexpr qint16 op_load_mt1_records = 57;
inline constexpr qint16 op_read_tag_list = 60;
inline constexpr qint16 op_read_tag_setting = 70;
inline constexpr qint16 op_write_log_default = 300;
inline constexpr qint16 op_write_tag_default = 400;
inline constexpr qint16 op_save_logger_log_csv = 420;
inline constexpr qint16 op_save_logger_tag_csv = 430;
inline constexpr qint16 op_save_logger_ml2 = 440;
inline constexpr qint16 op_save_logger_mt1 = 450;
inline constexpr qint16 op_save_file_log_csv = 520;
inline constexpr qint16 op_save_file_tag_csv = 530;
inline constexpr qint16 op_save_file_ml2 = 540;
inline constexpr qint16 op_save_file_mt1 = 550;
inline constexpr qint16 op_descramble_text = 600;
inline constexpr qint16 op_fill_data_grid = 700;

// One operation, implemented by the window that owns its records and
// registered under its code with prog_register_operation().
struct ProgOperation {
    // Runs the operation inside the shown dialog. It ends through one of the
    // dialog's exits or unload(); if it returns with the dialog still loaded,
    // the frame unloads it. An exception ends the showing (app_idle_flag
    // True) as a failure: "エラーが発生しました。" is shown and the failure
    // flags the caller tests are set (file_cancel_flag for the file loads
    // and the table fill, the done flag and comm_cancel_flag for a logger
    // operation). Only a save's exception reaches the caller of
    // prog_dialog_show() (the save runner reports it).
    std::function<void(Prog_Dialog& dlg)> run;
    // Unloads the dialog that started the operation; the exits of the list and
    // settings reads (10, 20, 60, 70) unload it together with the progress
    // dialog. May be empty.
    std::function<void()> unload_caller;
};

struct SeqState {
    // Set by the caller before showing.
    qint16 prog_mode = 0;
    qint16 prog_target_no = 0;  // area or tag 1-20 for 50 and 55; 0 for file loads
    // The data window the operation fills (its records go there, never to
    // whichever window happens to be active); set for one showing by
    // prog_dialog_show. Null for operations that fill no window.
    QPointer<QWidget> prog_target_window;

    // File operations: Cancel sets file_cancel_flag while file_op_flag is True.
    bool file_op_flag = false;
    bool file_cancel_flag = false;

    // One operation per showing.
    bool prog_run_once_flag = false;
    qint16 prog_busy_flag = 0;  // 1 from the start of the operation until unload

    // Results.
    bool connect_ok_flag = false;
    bool log_list_read_done = false;
    bool log_setting_read_done = false;
    bool clock_read_done = false;
    bool tag_list_read_done = false;
    bool tag_setting_read_done = false;

    // The recording reservation the reservation dialog leaves for the LOG
    // settings write. Start and stop are "yyyy/mm/dd hh:nn:ss";
    // "0000/00/00 00:00:00" is no start (at once) or no stop (memory full);
    // empty is no reservation.
    QString reserve_start_str;
    QString reserve_stop_str;
    bool reserve_opt_flag = false;      // the stop is a duration counted from the logger clock at sending
    qint16 reserve_dur_halfdays = 0;    // with reserve_opt_flag: 12-hour steps (2 per whole day)
    QString reserve_dur_text;           // with reserve_opt_flag: the rest below 24 hours, "hh:nn:ss"
    bool reserve_cmp_flag = false;      // with reserve_opt_flag: no 2-second lead on the stop
    bool reserve_no_memory_flag = false;  // the clock-and-memory read found no memory left
    QDateTime logger_now_time;          // the logger clock as last read

    // Set by a setting write the logger answered with NAK (cleared when a
    // write operation starts).
    bool setting_write_rejected = false;

    // Handlers of the operations other than the connection check, by code.
    std::map<qint16, ProgOperation> operations;

    // The dialog while it is shown (there is never more than one).
    QPointer<Prog_Dialog> dialog;
};

using SeqSlot = platform::StateSlot<SeqState>;
inline SeqState& seq() { return SeqSlot::current(); }

// Registers (or replaces) the handler of an operation code. The connection
// check (5) is built into the dialog and cannot be replaced.
void prog_register_operation(qint16 code, ProgOperation op);

// Registers the connection check with the main window's connect_check
// (connection().run_connect_check); called once at start-up.
void prog_install_connect_check();

}  // namespace mq
