#pragma once
// The File Open command: chooses a data file (".ML2", ".ML1", ".MT1"), tells
// its format by the tag in its first bytes, decides the operating mode the
// program shows afterwards (LOG, TAG, or MEMORY for a LOG file on removable
// media), asks before a change of mode that discards open data, and opens
// one file data window for it through the window table.
//
// The file dialogs of the open and save commands go through FileDialogFn, so
// that tests (and any other caller) can answer them without a screen.
#include <QString>
#include <QStringList>
#include <QByteArray>

#include <functional>

class QFileDialog;
class QWidget;

namespace mq {

class HOME;
struct HomeTargets;

// What a file dialog is asked to show.
struct FileDialogRequest {
    bool save = false;         // a save dialog (overwrite prompt) rather than an open dialog
    QStringList filters;       // as the user sees them: "Binary files (*.ML2)", ...; empty: all files
    int filterIndex = 1;       // the filter chosen at the start, 1 for the first
    QString startDir;          // the folder shown first
    QString proposedName;      // the file name proposed (save dialog)
};

// What the user chose.
struct FileDialogAnswer {
    bool accepted = false;  // false: the dialog was cancelled
    QString path;           // the full path of the chosen file
    int filterIndex = 0;    // the filter in force when the file was chosen, 1 for the first; 0 none
};

using FileDialogFn = std::function<FileDialogAnswer(QWidget* parent, const FileDialogRequest& request)>;

// The real dialog (QFileDialog). Filters match file names in any letter case.
FileDialogAnswer show_file_dialog(QWidget* parent, const FileDialogRequest& request);

// The position (1 for the first) of the filter in force in a dialog that
// was given `filters` (as set, in that order); 1 when it cannot be told.
int chosen_filter_position(const QFileDialog& dialog, const QStringList& filters);

// In a save dialog, keeps the extension Qt's dialog writes onto a typed name
// when another type is chosen readable ("csv", not the letter-case pattern).
void keep_plain_extension_on_type_change(QFileDialog& dialog, const QStringList& shownFilters);

// A filter as shown ("Binary files (*.ML2)") turned into one whose patterns
// match every letter case ("Binary files (*.ML2) (*.[mM][lL]2)"); the text
// shown to the user stays the same when the dialog hides the patterns.
QString case_insensitive_filter(const QString& filter);

// The format tag of a data file, chosen by the last three characters of the
// path in any letter case: "ML1" and "MT1" the last 11 characters of the
// unscrambled first line (for "ML1" the line ends where the scrambled tag
// "LD01-010100" is followed by CR LF, so that a scrambled 'P' 'W' earlier in
// it does not end it; without that, at its first CR LF); "ML2" characters 209 to 212 of the unscrambled
// first 236 bytes (shorter when the file is shorter); any other extension the
// three characters themselves. False when the file cannot be opened or read,
// or is empty.
bool read_data_file_tag(const QString& path, QByteArray* tag);

// The message shown for a file that cannot be opened or read.
QString open_read_error_message(const QString& path);

struct FileOpenHooks {
    FileDialogFn dialog;                          // empty: show_file_dialog
    std::function<bool(const QString&)> removable;  // empty: platform::isRemovableMedia
};

// The command itself (menu, toolbar button 13, and a pending file).
void fileopen_Click(HOME& home, const FileOpenHooks& hooks = {});

// Puts the command into the FileOpen entry of HomeTargets::commands; the main window is found
// through the data model's main_window.
void install_file_open_target(HomeTargets& targets, FileOpenHooks hooks = {});

}  // namespace mq
