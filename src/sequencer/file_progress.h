#pragma once
// What every file load and save of every subsystem runs through: progress
// passed to the progress dialog at a bearable rate, and the save command's
// runner of a save operation.
#include <QtGlobal>

#include "main_window/scrambling.h"

namespace mq {

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

// Runs save operation `code` in the sequencer with home_state().save_file_path;
// true when the file was written.
bool prog_run_save(qint16 code);

}  // namespace mq
