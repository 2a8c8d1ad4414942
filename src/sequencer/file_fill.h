#pragma once
// What every file fill of a data window (".ML2", ".ML1", ".MT1") shares: the
// unscrambling of the file's scrambled part inside the progress dialog, the
// load of its records under the bar, and the ending of a fill that failed
// (the window's failed-fill ending, DataWindowBase::give_up_fill).
#include <QByteArray>
#include <QPointer>
#include <QString>

#include <functional>

#include "main_window/data_window_base.h"
#include "platform/safe_file.h"
#include "sequencer/prog_dialog.h"

namespace mq {

// The unscrambling of `scrambled` into `plain` (left as it was when the
// unscrambling fails; empty after a Cancel). Both must outlive the showing.
Operation descramble_operation(const QByteArray& scrambled, QByteArray& plain);

// A record load: the bar runs from 0 to `records` while `loader` stores them
// (it polls file_cancel_flag through the progress it is given).
Operation records_load_operation(double records, std::function<void(IFileProgress*)> loader);

// Shows an error of a file fill to the user (over the main window).
void show_fill_error(const QString& text);

// The ending of a fill that failed: the window's own when it is still there.
void fill_failure_ending(const QPointer<DataWindowBase>& window);

// Takes the scrambled part of the file being opened from `read` and
// unscrambles it (the dialog over the main window) into `plain`. False, with
// the error shown and the fill given up when the window is still there, when
// `read` fails, the unscrambling is cancelled or gives nothing; false without
// more when the window went away meanwhile.
bool read_and_descramble(const QPointer<DataWindowBase>& window, const std::function<FileResult(QByteArray&)>& read,
                         QByteArray& plain);

}  // namespace mq
