#include "main_window/serial_link.h"

#include "platform/errors.h"
#include "platform/serial_port.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <array>
#include <algorithm>
#include <cstring>
#include <limits>

namespace mq {

namespace {
constexpr char kStx = 2;
constexpr char kEtx = 3;
constexpr char kCr = 13;
constexpr char kLf = 10;

constexpr int kWatchdogMs = 50;
constexpr int kPauseTickMs = 1;
// Bytes that keep arriving for this long before a command mean the line is
// not going to fall quiet; the exchange is given up.
constexpr qint64 kQuietGiveUpMs = 2000;

constexpr std::array<char16_t, 256> makeByteTable() {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80) t[b] = char16_t(b);
        else if (b >= 0xA1 && b <= 0xDF) t[b] = char16_t(0xFF61 + (b - 0xA1));
        else t[b] = char16_t(0x80 + (b - 0x80));
    }
    return t;
}
constexpr std::array<char16_t, 256> kByteTable = makeByteTable();
}  // namespace

// ---------------------------------------------------------------------------
// CommandTable

CommandTable::CommandTable(int entries) : m_items(entries) {}

const QString& CommandTable::operator[](qsizetype i) const {
    if (i < 0 || i >= m_items.size())
        throw OutOfRangeError("command table entry " + std::to_string(i) + " outside 0.." +
                              std::to_string(m_items.size() - 1));
    return m_items[i];
}

QString& CommandTable::operator[](qsizetype i) {
    if (i < 0 || i >= m_items.size())
        throw OutOfRangeError("command table entry " + std::to_string(i) + " outside 0.." +
                              std::to_string(m_items.size() - 1));
    return m_items[i];
}

void CommandTable::clear() {
    for (QString& s : m_items) s.clear();
}

// ---------------------------------------------------------------------------
// The port control with its two timers and their handlers.

class SerialLinkEngine {
public:
    enum class Phase { Idle, Pause, Waiting };

    explicit SerialLinkEngine(LinkState& st) : st(st) {
        Timer1.setInterval(kWatchdogMs);
        Timer1.setTimerType(Qt::PreciseTimer);
        Timer2.setInterval(kPauseTickMs);
        Timer2.setTimerType(Qt::PreciseTimer);
        QObject::connect(&MSComm1, &platform::SerialPort::dataArrived, [this] { MSComm1_OnComm(); });
        QObject::connect(&MSComm1, &platform::SerialPort::portLost, [this] { MSComm1_OnLost(); });
        QObject::connect(&Timer1, &QTimer::timeout, [this] { Timer1_Timer(); });
        QObject::connect(&Timer2, &QTimer::timeout, [this] { Timer2_Timer(); });
    }

    // Receive handler: stores the reply bytes of the running attempt.
    void MSComm1_OnComm() {
        if (phase == Phase::Pause) {
            // The line is not quiet yet: nothing of this belongs to a reply.
            MSComm1.readAll();
            pause_arrival = true;
            return;
        }
        if (phase != Phase::Waiting || st.rx_done_flag != 0) return;
        const qint64 want = qint64(st.rx_expected_len) - st.rx_count;
        if (want > 0) {
            const QByteArray got = MSComm1.read(want);
            if (!got.isEmpty()) {
                std::memcpy(st.rx_buffer.data() + st.rx_count, got.constData(), size_t(got.size()));
                st.rx_count += qint32(got.size());
            }
        }
        // Bytes beyond the expected length stay unread in the port.
        if (st.rx_count >= st.rx_expected_len) st.rx_done_flag = 1;
        st.rx_timeout_count = st.rx_timeout_reload;
    }

    // The device went away (a USB adapter unplugged): no reply can come, so
    // the exchange ends now rather than after four time-outs.
    void MSComm1_OnLost() {
        if (phase == Phase::Idle) return;
        st.rx_port_lost = true;
        if (phase == Phase::Waiting && st.rx_done_flag == 0) st.rx_done_flag = 2;
    }

    // Receive watchdog, every 50 ms.
    void Timer1_Timer() {
        if (st.rx_timeout_count > 0) {
            --st.rx_timeout_count;
            if (phase == Phase::Waiting && st.rx_done_flag == 0) ++st.rx_ticks_counted;
            // Only a running attempt can time out; a reply that completed in
            // the same pass of the event loop stays complete.
            if (st.rx_timeout_count == 0 && phase == Phase::Waiting && st.rx_done_flag == 0) st.rx_done_flag = 2;
        }
    }

    // Pre-send pause counter, every 1 ms while on.
    void Timer2_Timer() {
        if (st.send_pause_count < std::numeric_limits<qint16>::max()) ++st.send_pause_count;
        if (phase == Phase::Pause) ++st.send_pause_ticks;
    }

    LinkState& st;
    platform::SerialPort MSComm1;
    QTimer Timer1;
    QTimer Timer2;
    Phase phase = Phase::Idle;
    bool pause_arrival = false;
    bool busy = false;
};

// ---------------------------------------------------------------------------
// LinkState

LinkState::LinkState() = default;
LinkState::~LinkState() = default;

SerialLinkEngine& LinkState::engine() {
    if (!m_engine) m_engine = std::make_unique<SerialLinkEngine>(*this);
    return *m_engine;
}

platform::SerialPort& LinkState::MSComm1() { return engine().MSComm1; }

// ---------------------------------------------------------------------------
// Byte <-> character mapping

QChar link_byte_to_char(unsigned char b) { return QChar(kByteTable[b]); }

QString link_bytes_to_text(const QByteArray& bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0, n = bytes.size(); i < n; ++i) d[i] = QChar(kByteTable[s[i]]);
    return out;
}

bool link_text_to_bytes(const QString& text, QByteArray* out) {
    QByteArray b(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) b[i] = char(c);
        else if (c >= 0xFF61 && c <= 0xFF9F) b[i] = char(0xA1 + (c - 0xFF61));
        else return false;
    }
    *out = b;
    return true;
}

// ---------------------------------------------------------------------------
// Public procedures

QString comm_settings_text(qint32 baud) {
    switch (baud) {
    case 19200: return QStringLiteral("19200,e,8,1");
    case 128000: return QStringLiteral("128000,e,8,1");
    default: return QStringLiteral("9600,e,8,1");
    }
}

void comm_setting() {
    LinkState& st = link();
    st.MSComm1().setSettings(comm_settings_text(st.comm_baud_rate));
}

void send_initial() {
    LinkState& st = link();
    st.send_pause_len = st.comm_cancel_flag ? 50 : 3;
    st.comm_cancel_flag = false;
}

namespace {

bool replyWellFormed(const LinkState& st) {
    const char* b = st.rx_buffer.constData();
    const qint32 n = st.rx_count;
    if (st.rx_expected_len == 3) {
        return n == 3 && (b[0] == kAck || b[0] == kNak) && b[1] == kCr && b[2] == kLf;
    }
    return n == st.rx_expected_len && n >= 4 && b[0] == kStx && b[n - 3] == kEtx && b[n - 2] == kCr &&
           b[n - 1] == kLf;
}

// Ends the exchange: port closed, both timers off.
void finishExchange(SerialLinkEngine& e) {
    e.Timer2.stop();
    e.MSComm1.close();
    e.Timer1.stop();
    e.phase = SerialLinkEngine::Phase::Idle;
    e.busy = false;
}

bool cancelled(SerialLinkEngine& e, LinkState& st) {
    st.rx_done_flag = 3;
    finishExchange(e);
    return false;
}

void letEventsRun() { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); }

}  // namespace

bool send_data_sub(const QString& command, qint32 expectedLen, qint16 timeoutTicks) {
    LinkState& st = link();
    SerialLinkEngine& e = st.engine();
    if (e.busy) return false;  // one exchange at a time

    st.rx_attempts_made = 0;
    st.rx_ticks_counted = 0;
    st.send_pause_ticks = 0;
    st.send_pause_restarts = 0;
    st.rx_port_lost = false;

    QByteArray text;
    if (!link_text_to_bytes(command, &text)) return false;
    if (expectedLen < 3 || expectedLen > kMaxReplyLength) return false;
    // A time-out of no ticks would wait for ever on a silent line.
    const qint16 ticks = timeoutTicks < 1 ? qint16(1) : timeoutTicks;

    e.busy = true;
    const platform::SerialPort::OpenResult opened = e.MSComm1.open();
    e.Timer1.start();
    if (opened != platform::SerialPort::OpenResult::Ok) {
        finishExchange(e);
        return false;
    }

    // The line must be quiet for a whole pause before the command goes out.
    e.phase = SerialLinkEngine::Phase::Pause;
    QElapsedTimer quietFor;
    quietFor.start();
    for (;;) {
        st.send_pause_count = 0;
        e.pause_arrival = false;
        e.Timer2.start();
        while (st.send_pause_count < st.send_pause_len) {
            letEventsRun();
            if (st.comm_cancel_flag) return cancelled(e, st);
            if (st.rx_port_lost) {
                st.rx_done_flag = 2;
                finishExchange(e);
                return false;
            }
            if (e.MSComm1.bytesAvailable() > 0) {
                e.MSComm1.readAll();
                e.pause_arrival = true;
            }
        }
        e.Timer2.stop();
        if (!e.pause_arrival) break;
        ++st.send_pause_restarts;
        if (quietFor.elapsed() >= kQuietGiveUpMs) {
            st.rx_done_flag = 2;
            finishExchange(e);
            return false;
        }
    }
    st.send_pause_len = 3;

    QByteArray frame;
    frame.reserve(text.size() + 4);
    frame.append(kStx).append(text).append(kEtx).append(kCr).append(kLf);
    st.rx_expected_len = expectedLen;
    st.rx_count = 0;
    st.rx_buffer = QByteArray(expectedLen, '\0');

    e.phase = SerialLinkEngine::Phase::Waiting;
    for (int attempt = 4; attempt >= 1; --attempt) {
        st.rx_timeout_reload = ticks;
        st.rx_timeout_count = ticks;
        st.rx_done_flag = 0;
        st.rx_count = 0;
        ++st.rx_attempts_made;
        e.MSComm1.write(frame);  // a failed write shows as a time-out
        // Bytes already taken in by the port while the frame went out.
        if (e.MSComm1.bytesAvailable() > 0) e.MSComm1_OnComm();

        while (st.rx_done_flag == 0) {
            letEventsRun();
            if (st.comm_cancel_flag) return cancelled(e, st);
            if (st.rx_progress_flag && st.progress_bar && st.progress_bar->maximum() >= st.rx_count)
                st.progress_bar->setValue(st.rx_count);
        }
        if (st.rx_done_flag == 1 && replyWellFormed(st)) {
            finishExchange(e);
            return true;
        }
        if (st.rx_port_lost) break;  // no further attempt can reach the logger
        if (e.MSComm1.bytesAvailable() > 0) e.MSComm1.readAll();
    }
    finishExchange(e);
    return false;
}

QString rd_string_make() {
    const LinkState& st = link();
    const qint32 n = std::min<qint32>(st.rx_count, qint32(st.rx_buffer.size()));
    return link_bytes_to_text(QByteArray::fromRawData(st.rx_buffer.constData(), n));
}

void link_timers_stop() {
    LinkState& st = link();
    SerialLinkEngine& e = st.engine();
    e.Timer1.stop();
    e.Timer2.stop();
}

}  // namespace mq
