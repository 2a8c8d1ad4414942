#pragma once
// The sequencer operations of the LOG recording settings:
//   22  op_read_logger_clock       remaining memory and logger clock for the
//                                  reservation dialog
//   25  op_write_log_setting_all   the settings of areas 1 to 20, then the
//                                  reservation
//   28  op_write_log_setting_area  the setting of the area shown in the
//                                  editor, then its reservation
//   300 op_write_log_default       the PC-side defaults ("L00") as number 00
//
// The command texts are built by the LOG settings (a folder above this one)
// and the editors' controls are read through hooks that the LOG settings fill
// when they install the operations.
//
// Every setting command must be acknowledged: no reply ends the write like a
// lost link (disconnect, editor closed); a NAK ends it as refused, with a
// message naming the refused setting, and the link stays up. Commands already
// accepted stay in the logger.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>

#include "model/op_mode.h"

namespace mq {

class Prog_Dialog;
class clsLOGGER_SETTING;

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

struct LogSettingHooks {
    // The four setting commands of a setting with the number NN, in sending
    // order (interval, channel inputs, alarms, integration bases).
    std::function<QStringList(const clsLOGGER_SETTING& s, const QString& nn)> setting_commands;
    // A reservation command from its template, NN and "yyyy/mm/dd hh:nn:ss".
    std::function<QString(const QString& tmpl, const QString& nn, const QString& when)> reserve_command;
    // The editor: the area shown (1-20) and the area holding the reservation
    // (0 for none).
    std::function<int()> shown_area;
    std::function<int()> reserved_area;
    // Unloads the settings editor (after a reservation, a failure or a refusal).
    std::function<void()> unload_editor;
    // Unloads the defaults editor (at the end of operation 300).
    std::function<void()> unload_default_editor;
    // Shows the memory on the reservation dialog.
    std::function<void(const MemoryDisplay&)> show_memory;
};

void op_read_logger_clock_run(Prog_Dialog& dlg, const LogSettingHooks& hooks);
void op_write_log_setting_run(Prog_Dialog& dlg, const LogSettingHooks& hooks, bool allAreas);
void op_write_log_default_run(Prog_Dialog& dlg, const LogSettingHooks& hooks);

// The stop of a duration reservation: the logger clock, 2 seconds more unless
// `noLead`, the duration text "hh:nn:ss", then `halfdays` times 12 hours.
QString reserve_stop_from_clock(const QDateTime& clock, bool noLead, const QString& durText, int halfdays);

// Registers 22, 25, 28 and 300 with the hooks.
void install_log_setting_operations(const LogSettingHooks& hooks);

}  // namespace mq
