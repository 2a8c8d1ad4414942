#pragma once
// What every file load and save of every subsystem runs through: progress
// passed to the progress dialog at a bearable rate, and the save command's
// runner of a save operation.
#include <QtGlobal>

#include <optional>

#include "main_window/scrambling.h"
#include "platform/safe_file.h"
#include "sequencer/prog_dialog.h"

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

// What a save writes when the window has no data set to save: the failure
// "保存するデータがありません。".
FileResult nothing_to_save();

// The ending of a save operation's body: the dialog unloaded; a failed write
// is shown over the dialog first and raised as SaveFailedError, so that the
// save command keeps the window's data marked unsaved.
void end_file_save(Prog_Dialog& dlg, const FileResult& result);

// The save command's runner of a save operation: true when the file was
// written. A save asked for while another operation shows, or none (a kind
// without a writer), writes nothing and is not reported as saved.
bool prog_run_save(std::optional<Operation> save);

}  // namespace mq
