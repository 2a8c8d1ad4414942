#pragma once
// What every file fill of a data window (".ML2", ".ML1", and ".MT1" next)
// shares: the unscrambling of the file's scrambled part inside the progress
// dialog (operation 600), and the ending of a fill that failed (the window's
// failed-fill ending, DataWindowBase::give_up_fill).
#include <QByteArray>
#include <QPointer>
#include <QString>

#include <functional>

#include "main_window/data_window_base.h"
#include "platform/safe_file.h"

namespace mq {

class Prog_Dialog;

// Operation 600: home_state().file_raw_text unscrambled into file_plain_text.
void op_descramble_text_run(Prog_Dialog& dlg);
// Registers operation 600.
void register_descramble_operation();

// Shows an error of a file fill to the user (over the main window).
void show_fill_error(const QString& text);

// The ending of a fill that failed: the window's own when it is still there.
void fill_failure_ending(const QPointer<DataWindowBase>& window);

// Takes the scrambled part of the file being opened from `read` and
// unscrambles it (operation 600, the dialog over the main window) into
// `plain`. False, with the error shown and the fill given up when the window
// is still there, when `read` fails, the unscrambling is cancelled or gives
// nothing; false without more when the window went away meanwhile.
bool read_and_descramble(const QPointer<DataWindowBase>& window, const std::function<FileResult(QByteArray&)>& read,
                         QByteArray& plain);

}  // namespace mq
