#pragma once
// The simulated logger: a pseudo-terminal that answers the program's commands
// the way the hand-held logger does, from a small scenario. Test infrastructure:
// it runs its own reader thread so that the program under test can keep its one
// GUI thread and its event-driven link.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace logger_sim {

// Operating modes as the logger reports them ("1" LOG, "2" TAG, "3" MEMORY).
enum class Mode { Log = 1, Tag = 2, Memory = 3 };

// One channel's recording setting as the logger holds it and reports it.
struct ChannelSetting {
    QString type = QStringLiteral("K");       // "K", "E", "J", "T", "V" or "-" (not in use)
    QString unit = QStringLiteral("ﾟC ");       // 3 characters, blanks significant
    int scaleMin = 0;                          // signed, up to four digits
    int scaleMax = 9999;
    int decimalPos = 1;                        // one digit
    // Raw 5-character texts in tenths without a point ("-----" when not set);
    // shorter texts are right-aligned with blanks.
    QString lowAlarm = QStringLiteral("-----");
    QString highAlarm = QStringLiteral("-----");
    QString integrationBase = QStringLiteral("-----");
    bool inUse() const { return type != QStringLiteral("-"); }
};

// One LOG record: the raw value texts of the channels in use, in channel
// order ("32767" over range, "32766" under range, "-----" no value; shorter
// texts are right-aligned in 5), and the data mark.
struct LogRecord {
    QStringList values;
    bool mark = false;
};

// One TAG record: time, worker and comment numbers (1-based), raw values of
// the channels in use.
struct TagRecord {
    QDateTime time;
    int worker = 1;
    int comment = 1;
    QStringList values;
};

struct LogArea {
    int area = 1;                   // 1 to 20
    QString name;                   // log name, 8 single-byte characters at most
    QString worker;
    QString comment;
    QString interval = QStringLiteral("00:00:01");  // "hh:mm:ss"
    QDateTime start;                // invalid: sent as twelve zeros
    QDateTime stop;
    ChannelSetting channels[4];
    QList<LogRecord> records;
    int channelsInUse() const;
};

struct TagEntry {
    int tag = 1;                    // 1 to 20
    QString name;
    ChannelSetting channels[4];
    QList<TagRecord> records;
    int channelsInUse() const;
};

// Everything the simulated logger answers from. Texts are single-byte in the
// logger's code page (ASCII and half-width katakana).
struct Scenario {
    QString serial = QStringLiteral("00000001");
    QString model = QStringLiteral("ZK4409MU");
    int hardVer = 1;
    int softVer = 2;
    int specialSpec = 0;
    Mode mode = Mode::Log;
    QDateTime clock;                // invalid: the PC's current time; else it runs on from start()
    QString offsets[4] = {QStringLiteral("0000"), QStringLiteral("0000"), QStringLiteral("0000"),
                          QStringLiteral("0000")};  // 4 characters each, tenths ("0123" is 12.3)
    QString userModelName;
    qint64 remainingMemory = 345600;
    QStringList workers;            // list positions 1..20 (missing entries: blanks)
    QStringList comments;
    QList<LogArea> areas;           // areas not listed hold no data
    QList<TagEntry> tags;
    // Settings written with number "00" (the PC-side defaults) land here.
    LogArea defaults;
};

Scenario defaultScenario();

// Reads a scenario description (see docs/logger-protocol.md, "Scenario files").
// Throws mq::ConversionError (a std::runtime_error) naming the line of a
// malformed entry, mq::IoError when the file cannot be read.
Scenario loadScenario(const QString& path);
Scenario parseScenario(const QByteArray& text);

enum class Fault { None, Silence, Nak, Garbled, CutShort, SlowWithGaps, Paced, BytesBeforeFrame };

// Fault name as the program's --fault option takes it ("none", "silence", "nak",
// "garbled", "cut-short", "slow", "paced", "bytes-before"); false when unknown.
bool faultFromName(const QString& name, Fault* out);

class Simulator {
public:
    Simulator(const QString& configDir, Scenario s);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Reads the command files, opens the pty (raw mode) and starts the reader
    // thread. False when the command files or the pty cannot be had.
    bool start();
    void stop();

    // The slave side (/dev/pts/N). A slave fd stays open inside the simulator,
    // so the program may open and close the device as often as it likes.
    QString devicePath() const;

    // -1: every reply from now on; n: the next n replies, then back to None.
    void setFault(Fault f, int count = -1);
    void setBaud(int bps);          // pacing for Fault::Paced: 11 bits per byte
    // Fault::SlowWithGaps sends `chunkBytes` at a time with `gapMs` of silence between.
    void setGaps(int chunkBytes, int gapMs);
    // Writes bytes to the line at once, outside any reply (line noise).
    void injectNoise(const QByteArray& bytes);
    void setIdentity(const QString& serial, Mode mode);
    void setMode(Mode mode);

    // Every framed command received, without STX/ETX/CR/LF.
    QList<QByteArray> received() const;
    void clearReceived();

    // The reply the simulator gives to one command text (frame included),
    // without any fault and without changing the logger; NAK for a command it
    // does not know or that is malformed.
    QByteArray replyFor(const QByteArray& command) const;

    // The logger's present contents, writes received so far included.
    Scenario scenario() const;
    // Why start() failed.
    QString lastError() const;

    // Answers the n-th write command (list or setting write) received from
    // now on (1 for the next) with NAK and leaves the logger unchanged by it;
    // 0 clears it.
    void nakNthWrite(int n);
    // Every write command received (list writes and setting writes), in
    // order, NAKed ones included.
    QList<QByteArray> writesReceived() const;
    // Stops the logger clock at `at` (it no longer runs on), so that tests
    // can compare with it to the second; an invalid time lets it run again
    // from its present reading.
    void freezeClock(const QDateTime& at);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace logger_sim
