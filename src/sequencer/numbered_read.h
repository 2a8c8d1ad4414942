#pragma once
// What the reads of the logger's twenty numbered areas (LOG) or tags (TAG)
// share: the number in the commands, the data sets "L01".."L20" the records
// go into, the start of a read and one record's exchange. A reply record
// that cannot be read (its parse raises mq::Error) ends the read like a reply
// that did not come: the no-reply exit.
#include <QString>
#include <QtGlobal>

#include <functional>

#include "main_window/serial_link.h"

namespace mq {

class Prog_Dialog;
class clsLOGGER_SETTING;

// Areas (LOG) or tags (TAG) of the logger.
inline constexpr int kNumberedSets = 20;

// The number in the two digits the commands carry ("01".."20", "00").
QString numbered_digits(int n);

// A command-table entry with its characters 7 and 8 replaced by n in two
// digits; the rest of the entry as loaded.
QString numbered_command(const QString& entry, int n);

// The expected reply length of a command-table entry ("241" -> 241); 0 when
// the entry is not a number, which the link refuses as a failed exchange.
qint32 numbered_reply_length(const CommandTable& rsp, int entry);

// Makes sure the logger's twenty data sets "L01".."L20" exist, adding the
// missing ones in order (the defaults entry "L00" and others stay).
void ensure_numbered_data_sets();

// The start of a read of every number: the identity check, a logger root to
// read into, the bar's maximum and the twenty data sets. False when the
// operation has already taken its exit.
bool begin_numbered_read(Prog_Dialog& dlg, double steps);

// Stores one reply record; raises mq::Error when it cannot be read.
using RecordStore = std::function<void(const QString& record)>;
// Parses a setting record into the setting of its number; raises mq::Error
// when it cannot be read.
using SettingParse = std::function<void(clsLOGGER_SETTING& setting, const QString& record)>;
// Shows number n after its record was stored (an editor's display).
using NumberShown = std::function<void(qint16 n)>;

// Sends a command and hands its reply record to `store` (when set); false,
// with the no-reply exit taken, when no reply came or the record could not
// be read.
bool read_numbered_record(Prog_Dialog& dlg, const QString& command, qint32 length, qint16 timeout,
                          const RecordStore& store);

// One record of each number: the entry of the command tables, the reply
// timeout, what stores the record into the number's setting and what shows
// the number then (may be empty).
struct NumberedRecord {
    int entry = 0;
    qint16 timeout = 0;
    SettingParse store;
    NumberShown shown;
};

// The loop of a list read: for every number its record count, and, when it
// then holds records, its setting; no current logger data set is left
// behind. False when the read has ended (the no-reply exit taken).
bool read_numbered_list(Prog_Dialog& dlg, const CommandTable& req, const CommandTable& rsp,
                        const NumberedRecord& count, const NumberedRecord& setting);

// An editor's settings read: entry `entry` of the request table for every
// number in turn, its record parsed into that number's setting, then
// `shown(n)`; no current logger data set is left behind.
void read_numbered_settings(Prog_Dialog& dlg, const CommandTable& req, const CommandTable& rsp, int entry,
                            qint16 timeout, const SettingParse& parse, const NumberShown& shown);

}  // namespace mq
