#pragma once
// Whether the logger on the line is still the connected one, probing a port,
// the connection check, and showing or dropping the connected state (menus,
// toolbar, status bar, identity texts, the logger's data sets).
//
// Every logger exchange follows one protocol: send_initial();
// send_recv_before_check(); on 0 go on, on 1 comm_disconnect(), on 2
// comm_logger_change(), and in both failure cases end without sending more.
//
// The link is dropped only through comm_disconnect(); the menus, toolbar and
// status texts then follow from the link state (main_window/command_state.h).
#include <QString>
#include <QtGlobal>

#include <functional>

#include "platform/state_slot.h"

namespace mq {

// Connection state of the main window beyond the link itself.
struct ConnectionState {
    // The reservation dialog is open (it sets this while loaded). While it is
    // True, comm_disconnect keeps the logger's data sets and identity texts.
    bool reserve_open_flag = false;

    // The sequencer's connection check: runs the check under the progress
    // dialog and returns whether it read every identity record. The sequencer
    // puts it here at start-up (the main window cannot name the sequencer).
    // Empty: connect_check fails.
    std::function<bool()> run_connect_check;
};

using ConnectionSlot = platform::StateSlot<ConnectionState>;
inline ConnectionState& connection() { return ConnectionSlot::current(); }

// The logger's identity compared with link_serial_no and link_mode:
// 0 the same logger in the same mode, 1 no usable reply (the mode record is
// not asked after a failed identity record), 2 another logger or another mode.
// The port must be set and send_initial() called before.
qint16 send_recv_before_check();

// Sets the port number and asks that port for the probe record (no
// send_initial here; the caller makes it once before probing). False when the
// port number is refused or no well-formed reply came.
bool comm_port_check(qint16 port);

// Sets the port number, creates logger_main when there is none, makes the
// current data kind 2 and runs the connection check. A failed check leaves no
// logger_main behind. False also when the port number is refused (nothing is
// sent then).
bool connect_check(qint16 port);

// The connected state: the identity texts from logger_main's status and the
// user model name of the current data set (the status bar shows them while
// connected), then the commands follow.
void comm_connect_disp();

// How the link to the logger ends.
enum class LinkEnd {
    // The logger no longer answers: message "ロガーとの接続が失われました。",
    // logger windows closed, the logger's data sets removed (kept, with the
    // identity texts, while the reservation dialog is open).
    Lost,
    // The program ends the link itself after the reservation was sent: the
    // same, without the message (nothing failed).
    Finished,
    // The link and the identity texts only: the caller has its own message
    // and decides about windows and data, then refreshes the commands.
    LinkOnly,
};

// The one place where the link is dropped (link_connected_flag cleared).
void comm_disconnect(LinkEnd end = LinkEnd::Lost);

// Another logger or another mode answers: link dropped, message "95", logger
// data removed, current data kind from the active window, logger windows
// closed.
void comm_logger_change();

// Which data set is current once the link has ended and the logger windows
// are closed, on every path that ends it: with a data window left, the one
// that tells the program's mode (the active one, else the first); with none,
// no data set and no mode, as at start-up, so that File Open and the status
// bar agree.
void follow_windows_after_link_end();

// The identity texts of the version box and the status bar as blanks.
void blank_link_identity();

// The model text of the status bar and the version box: the model name
// ("ZK4409MU" shown as "ZK4409-MU"), blank-padded or cut to 16 characters.
QString link_model_text_of(const QString& modelName);

}  // namespace mq
