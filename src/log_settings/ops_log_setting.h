#pragma once
// The operations of the LOG recording settings, each built by the dialog
// the user acts in:
//   the settings read    every area's LOG setting, for the settings editor
//   the clock read       remaining memory and logger clock, for the
//                        reservation dialog
//   the settings write   the settings of areas 1 to 20 or of the area shown
//                        in the editor, then the reservation of the area
//                        holding it
//   the defaults write   the PC-side defaults ("L00") as number 00
//
// Every setting command must be acknowledged: no reply ends the write like a
// lost link (disconnect, editor closed); a NAK ends it as refused, with a
// message naming the refused setting, and the link stays up. Commands already
// accepted stay in the logger.
#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include "log_settings/reservation.h"
#include "sequencer/numbered_read.h"
#include "sequencer/prog_dialog.h"

namespace mq {

class reserve;

// Entries of the LOG read command table (L_R_CMD.REQ / .RSP) of an area's
// setting and record count, and the setting's reply timeout in 50 ms ticks
// (the settings read and the LOG list read).
inline constexpr int kLogCmdSetting = 0;
inline constexpr int kLogCmdCount = 3;
inline constexpr qint16 kLogSettingTimeout = 20;

// What the clock-and-memory read shows on the reservation dialog.
struct MemoryDisplay {
    bool memory_mode = false;  // Label1 and Label2 shown (MEMORY mode)
    qint64 remaining = 0;      // Label2: the count the logger reported
    qint64 recordable = 0;     // Label23: the recordable data count
    qint64 bar_max = 0;        // ProgressBar1 maximum; 0 keeps the dialog's own
    qint64 bar_value = 0;      // ProgressBar1 value (never above its maximum)
};

// The display for a reported remaining memory m (m > 0) in an operating mode
// at a link speed: MEMORY mode shows the memory card's count against the
// capacity (691200 at 128000 bit/s, else 345600; 1368 counts are the card's
// own), any other mode the count itself.
MemoryDisplay memory_display(qint64 m, OpMode mode, qint32 baud);

// The stop of a duration reservation: the logger clock, 2 seconds more unless
// `noLead`, the duration text "hh:nn:ss", then `halfdays` times 12 hours.
QString reserve_stop_from_clock(const QDateTime& clock, bool noLead, const QString& durText, int halfdays);

// The time a reservation text gives the reserved area's setting: the text's
// date-time; "0000/00/00 00:00:00" (no start or no stop) and a text that is
// no date-time give the zero date-time the settings hold for "no time".
QDateTime reservation_setting_time(const QString& text);

// The settings read: area n is shown (`shown`, may be empty) after its
// setting was stored; a failed or cancelled read closes the editor.
Operation log_settings_read_operation(NumberShown shown, CallerClose closeEditor);

// What the clock-and-memory read found: no memory left (the clock is not
// asked then), else the logger clock.
struct LoggerClockRead {
    bool no_memory = false;
    QDateTime clock;
};
// The read for the reservation dialog (may be null), which shows the memory;
// `result` must outlive the showing.
Operation logger_clock_read_operation(reserve* dialog, LoggerClockRead& result);

// The settings write: every area (allAreas) or the area shown, then the
// reservation when the reserved area (0 for none) is written; the editor is
// closed after a reservation, a failure or a refusal.
Operation log_settings_write_operation(bool allAreas, int shownArea, int reservedArea, Reservation reservation,
                                       CallerClose closeEditor);

// The defaults write; the defaults editor is closed at its end.
Operation log_defaults_write_operation(CallerClose closeEditor);

}  // namespace mq
