#pragma once
// The serial link: the only road between the program and the logger.
//
// One exchange at a time, on the GUI thread. Every logger operation calls
// send_initial() once, then send_data_sub() per command and rd_string_make()
// after each success. Waiting for the logger runs the event loop, so Cancel
// (which sets comm_cancel_flag), the timers and repaints keep working.
//
// Frame to the logger: STX, the command text (one byte per character), ETX,
// CR, LF. Replies: ACK or NAK, CR, LF when 3 bytes are expected; otherwise
// STX ... ETX CR LF of exactly the expected length.
#include "model/op_mode.h"
#include "platform/state_slot.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace mq {

namespace platform {
class SerialPort;
}

// The progress bar of the dialog an operation runs in; while rx_progress_flag
// is set, the wait for a reply shows the received byte count on it.
class IRxProgressBar {
public:
    virtual ~IRxProgressBar() = default;
    virtual double maximum() const = 0;
    virtual void setValue(double value) = 0;
};

// A command table: texts indexed from 0 with a fixed number of entries;
// an entry never filled is the empty text. Indexing outside the table throws
// OutOfRangeError.
class CommandTable {
public:
    explicit CommandTable(int entries);
    const QString& operator[](qsizetype i) const;
    QString& operator[](qsizetype i);
    qsizetype size() const { return m_items.size(); }
    void clear();

private:
    QStringList m_items;
};

class SerialLinkEngine;  // the port control, its timers and handlers

// The logger's one-byte answers to a command (followed by CR LF): taken
// and refused.
inline constexpr char kAck = 0x06;
inline constexpr char kNak = 0x15;

// Expected reply lengths above this are refused as a failed exchange.
inline constexpr qint32 kMaxReplyLength = 64 * 1024 * 1024;

struct LinkState {
    LinkState();
    ~LinkState();
    LinkState(const LinkState&) = delete;
    LinkState& operator=(const LinkState&) = delete;

    // Port and speed (COMM_SET.CFG and the port dialogs).
    qint16 comm_port_no = 1;
    qint32 comm_baud_rate = 9600;

    // Flags shared with the sequencer and the main window.
    bool comm_cancel_flag = false;     // Cancel pressed; cleared by send_initial
    bool rx_progress_flag = false;     // show received bytes on progress_bar
    bool link_connected_flag = false;  // a logger is connected

    // Identity of the connected logger.
    QString link_serial_no;              // "" when none
    OpMode link_mode = OpMode::None;     // the operating mode last connected or taken from a file
    QString link_model_text = QString(16, u' ');
    QString link_user_model_text;        // the user model name shown while connected
    QString link_serial_text = QString(8, u' ');
    QString link_hard_ver_text = QString(2, u' ');
    QString link_soft_ver_text = QString(2, u' ');
    QString link_special_spec_text = QString(2, u' ');

    // The exchange in progress / the last reply.
    QByteArray rx_buffer;          // sized from the expected length of the exchange
    qint32 rx_count = 0;           // bytes stored in rx_buffer
    qint32 rx_expected_len = 0;    // reply length that completes the exchange
    qint16 rx_done_flag = 0;       // 0 waiting, 1 complete, 2 time-out, 3 cancelled
    qint16 rx_timeout_count = 0;   // watchdog ticks left
    qint16 rx_timeout_reload = 0;  // the exchange's time-out in ticks
    qint16 send_pause_count = 0;   // 1 ms ticks counted in the pre-send pause
    qint16 send_pause_len = 3;     // 3, or 50 for the first exchange after a cancel

    // What the last exchange did, as the link counted it (for diagnostics
    // and checks that must not depend on the machine's speed).
    qint16 rx_attempts_made = 0;    // frames sent, 0 to 4
    qint32 rx_ticks_counted = 0;    // watchdog ticks that counted silence down
    qint32 send_pause_ticks = 0;    // pause ticks counted before the frame went out
    qint16 send_pause_restarts = 0; // pauses started again because bytes arrived
    bool rx_port_lost = false;      // the device went away during the exchange

    // The progress bar of the running operation's dialog (not owned; may be null).
    IRxProgressBar* progress_bar = nullptr;

    // Command tables, filled by cmd_table_load (command_files.h).
    CommandTable cmd_l_r_req{4};
    CommandTable cmd_l_r_rsp{4};
    CommandTable cmd_t_r_req{4};
    CommandTable cmd_t_r_rsp{4};
    CommandTable cmd_s_req{25};
    CommandTable cmd_s_rsp{25};
    CommandTable cmd_k_p_req{17};
    CommandTable cmd_r_p_req{11};

    // The serial-port control of the link (created on first use). Callers set
    // its port number (MSComm1().setPortNumber) before an operation.
    platform::SerialPort& MSComm1();
    SerialLinkEngine& engine();

private:
    std::unique_ptr<SerialLinkEngine> m_engine;
};

using LinkSlot = platform::StateSlot<LinkState>;
inline LinkState& link() { return LinkSlot::current(); }

// The port settings text for a speed: "9600,e,8,1", "19200,e,8,1",
// "128000,e,8,1"; any other speed gives "9600,e,8,1".
QString comm_settings_text(qint32 baud);

// Applies comm_baud_rate to MSComm1 (does not open the port).
void comm_setting();

// Prepares a sequence of exchanges: the next pre-send pause is 50 ticks after
// a cancel, else 3; clears comm_cancel_flag.
void send_initial();

// Sends one command and waits for its reply (up to four attempts). True when
// a well-formed reply of expectedLen bytes is in rx_buffer. False when the
// port cannot be opened, the text has a character with no single-byte code,
// expectedLen is below 3 or above kMaxReplyLength, the line never fell quiet
// before sending (2 s), the exchange was cancelled (comm_cancel_flag stays
// set for the caller to tell), the device went away (rx_port_lost; no
// further attempt is made), or all four attempts failed. timeoutTicks is
// counted in 50 ms ticks of silence.
bool send_data_sub(const QString& command, qint32 expectedLen, qint16 timeoutTicks);

// The reply so far as text: each of the rx_count bytes as one character, so
// character k (from 1) is byte k - 1, frame bytes included.
QString rd_string_make();

// The byte <-> character mapping of the wire. ASCII stays ASCII, 0xA1-0xDF are
// the half-width katakana; every other byte maps to U+0080 + (byte - 0x80)
// so that the mapping stays one to one.
QChar link_byte_to_char(unsigned char b);
QString link_bytes_to_text(const QByteArray& bytes);
// The single-byte code of each character; false (and nothing in out) when a
// character has no single-byte code (only ASCII and half-width katakana have one).
bool link_text_to_bytes(const QString& text, QByteArray* out);

// Stops the link's timers (shutdown).
void link_timers_stop();

}  // namespace mq
