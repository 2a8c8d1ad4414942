#pragma once
// The sequencer operations of the LOG data files:
//   600 op_descramble_text    file_raw_text unscrambled into file_plain_text
//    52 op_load_ml1_records   an ".ML1" file's records into the working database
//    53 op_load_ml2_records   an ".ML2" file's records into the working database
//   700 op_fill_data_grid     an ".ML2" window's table and statistics
//   420 / 520                 LOG CSV export of a logger / file window
//   440 / 540                 ".ML2" data file of a logger / file window
//
// A save operation that fails shows the user why, writes nothing and raises
// SaveFailedError (main_window/file_save.h) out of prog_dialog_show, so that
// the save command keeps the window's data marked unsaved. prog_run_save is
// the save command's runner built on that.
//
// install_log_file_operations() registers them; the application calls it once
// at start-up (tests per test).
#include <QtGlobal>

#include "main_window/scrambling.h"

namespace mq {

class Prog_Dialog;

// Passes progress to the dialog, but services events and redraws the bar only
// every `every` calls, so that a loader or writer may report every record
// without the cost of an event round per record. flush() (also on
// destruction) hands on the last value.
class ThrottledProgress : public IFileProgress {
public:
    explicit ThrottledProgress(IFileProgress& inner, int every = 256) : m_inner(inner), m_every(every) {}
    ~ThrottledProgress() override { flush(); }
    ThrottledProgress(const ThrottledProgress&) = delete;
    ThrottledProgress& operator=(const ThrottledProgress&) = delete;

    void set_progress_value(double value) override;
    void process_events() override;
    bool file_cancel_flag() const override { return m_inner.file_cancel_flag(); }
    void set_file_cancel_flag(bool value) override { m_inner.set_file_cancel_flag(value); }
    void flush();

private:
    IFileProgress& m_inner;
    int m_every;
    int m_values = 0;
    int m_events = 0;
    double m_pending = 0;
    bool m_hasPending = false;
};

void op_descramble_text_run(Prog_Dialog& dlg);
void op_load_ml1_records_run(Prog_Dialog& dlg);
void op_load_ml2_records_run(Prog_Dialog& dlg);
void op_fill_data_grid_run(Prog_Dialog& dlg);
// 420, 440, 520 and 540, by seq().prog_mode.
void op_save_log_file_run(Prog_Dialog& dlg);

// Registers 600, 52, 53, 700, 420, 440, 520 and 540.
void install_log_file_operations();

// Runs save operation `code` in the sequencer with home_state().save_file_path;
// true when the file was written.
bool prog_run_save(qint16 code);

}  // namespace mq
