#pragma once
// The logger's side of the protocol without the line: command tables, which
// command a text is, the reply records, and what a write changes. The pty and
// the faults live in Simulator; this part is plain and thread-agnostic (the
// Simulator serialises access).
#include "logger_sim.h"

#include <QElapsedTimer>

#include <optional>

namespace logger_sim {

// Which command table an entry belongs to.
enum class Table { LogRead, TagRead, Status, ListWrite, SettingWrite };

struct CommandId {
    Table table;
    int entry;
};

// The command tables as the logger knows them: the .REQ entries (frame
// stripped) and, for the read tables, the reply lengths of the .RSP files.
struct CommandTables {
    QList<QByteArray> logReq, tagReq, statusReq, listWriteReq, settingWriteReq;
    QList<int> logRsp, tagRsp, statusRsp;

    // Reads the command files of dir. False (with a reason) when a file is
    // missing or a line is not STX, text, ETX.
    bool load(const QString& dir, QString* error);
    // Entry text of one line of a command file; empty when the line is not framed.
    static QByteArray stripLine(const QByteArray& line);

    const QList<QByteArray>& requests(Table t) const;
    // Expected reply length of a read entry; 3 for the write tables; -1 when unknown.
    int replyLength(Table t, int entry) const;
};

// CP932 conversion of the logger's single-byte texts (ASCII and half-width katakana).
QByteArray toWire(const QString& text);
QString fromWire(const QByteArray& bytes);
// The text in exactly `width` bytes: cut, or padded with blanks on the right.
QByteArray fitLeft(const QString& text, int width);
// A raw value text right-aligned in `width` bytes (cut on the left when longer).
QByteArray fitRight(const QByteArray& text, int width);
// Sign-and-four-digits form of a scale value: " 0000", "-0200".
QByteArray scaleText(int value);

// Reply lengths of the data reads as the reader computes them.
int logDataLength(int records, int channels);
int tagDataLength(int records, int channels);

class LoggerState {
public:
    LoggerState(CommandTables tables, Scenario s);

    // Table and entry of a command, by its first six characters.
    std::optional<CommandId> identify(const QByteArray& command) const;

    // The reply to a command (frame included), from the present state.
    // NAK for an unknown or malformed command.
    QByteArray reply(const QByteArray& command) const;
    // What a write command changes in the logger (nothing for reads or a NAKed write).
    void apply(const QByteArray& command);

    const Scenario& scenario() const { return s_; }
    Scenario& scenario() { return s_; }
    const CommandTables& tables() const { return t_; }

    // Restarts the clock from the scenario (or the PC clock when none is given).
    void startClock();
    QDateTime now() const;
    // Holds the clock at `at`; an invalid time lets it run on from its present reading.
    void freezeClock(const QDateTime& at);

    // Records, public so that tests can check them field by field.
    QByteArray identityRecord() const;
    QByteArray modelRecord() const;
    QByteArray modeRecord() const;
    QByteArray clockRecord() const;
    QByteArray offsetRecord() const;
    QByteArray userModelRecord() const;
    QByteArray memoryRecord() const;
    QByteArray listEntryRecord(int entry, int n) const;      // worker (16) or comment (17) n
    QByteArray logSettingRecord(int area) const;
    QByteArray logCountRecord(int area) const;
    QByteArray logDataReply(int area) const;
    QByteArray tagSettingRecord(int tag) const;
    QByteArray tagCountRecord(int tag) const;
    QByteArray tagDataReply(int tag) const;
    QByteArray reservedRecord(Table t, int entry) const;

    // Area n of the scenario, or an empty area (0: the defaults).
    LogArea area(int n) const;
    TagEntry tag(int n) const;

private:
    LogArea* areaForWrite(int n);
    TagEntry* tagForWrite(int n);
    bool wellFormed(const CommandId& id, const QByteArray& command) const;

    CommandTables t_;
    Scenario s_;
    QDateTime clockBase_;
    QElapsedTimer clockRun_;
    QDateTime frozenAt_;
};

}  // namespace logger_sim
