#pragma once
// The operation sequencer's shared state: the flags of the one progress
// dialog showing at a time and the Cancel route of the file loads. What an
// operation works on is captured in its Operation (sequencer/prog_dialog.h)
// and how it ended is its Outcome; nothing of it is kept here. Held by the
// application (or a test) in a SeqSlot, reached with seq().
//
// Flags that live elsewhere: comm_cancel_flag, rx_progress_flag and
// link_connected_flag in link() (main_window/serial_link.h); app_idle_flag in
// home_state() (main_window/home_state.h).
#include <QPointer>

#include <functional>

#include "platform/state_slot.h"

namespace mq {

class IFileProgress;
class Prog_Dialog;
struct RecordsRead;

struct SeqState {
    // File loads: Cancel sets file_cancel_flag while file_op_flag is True;
    // the loaders poll it and the fills that start a load clear it.
    bool file_op_flag = false;
    bool file_cancel_flag = false;

    // One operation per showing.
    bool prog_run_once_flag = false;
    qint16 prog_busy_flag = 0;  // 1 from the start of the operation until unload

    // The dialog while it is shown (there is never more than one).
    QPointer<Prog_Dialog> dialog;

    // Tests and benchmarks only. When set, the records reads of the data
    // windows hand their reply through this instead of asking the logger, and
    // the record loads of the file fills run through this (given the real
    // loader, which it may call or not).
    std::function<void(Prog_Dialog& dlg, const RecordsRead& read)> records_read_stand_in;
    std::function<void(IFileProgress* progress, const std::function<void(IFileProgress*)>& loader)>
        records_load_stand_in;
};

using SeqSlot = platform::StateSlot<SeqState>;
inline SeqState& seq() { return SeqSlot::current(); }

}  // namespace mq
