#pragma once
// The PC's copies of the logger's two 20-entry lists, "WORKER.CFG" and
// "COMMENT.CFG" in the per-user config folder: exactly 20 lines of 8
// single-byte characters (blanks included), CR LF, CP932, nothing else.
//
// The lists live in an identity object (clsLOGGER_STATUS): the file data
// set's own when a file window is active, else the connected logger's
// (list_target_status). Each entry there is exactly 8 characters.
#include <QString>
#include <QStringList>

#include "platform/safe_file.h"

namespace mq {

class clsLOGGER_STATUS;

enum class ListKind { Worker, Comment };

inline constexpr int kListEntries = 20;
inline constexpr int kListEntryBytes = 8;
// The largest list file: its 20 lines of 8 bytes and CR LF. A larger file is
// a damaged one.
inline constexpr qint64 kListFileMaxBytes = kListEntries * (kListEntryBytes + 2);

QString list_file_name(ListKind kind);  // "WORKER.CFG" / "COMMENT.CFG"
QString list_file_path(ListKind kind);  // user_dir + "/config/" + name

// An entry as the lists keep it: cut or blank-padded to exactly 8 bytes,
// never splitting a double-byte character.
QString list_entry_fixed(const QString& text);
// An entry as a box shows it: the trailing padding removed, inner and leading
// blanks kept, so storing the shown text again gives back the same entry.
QString list_entry_shown(const QString& entry);

// The 20 entries of kind in status.
QStringList list_entries(const clsLOGGER_STATUS& status, ListKind kind);
void let_list_entries(clsLOGGER_STATUS& status, ListKind kind, const QStringList& entries);

// Loads the list file into status. A missing file is created with 20 blank
// entries (and the entries become blank). A file that exists but is not a
// list (unreadable, not CP932 text, fewer than 20 lines) is left on disk
// untouched and reported; the entries it does hold are taken, a worker entry
// it lacks becomes blank and a comment entry keeps its value.
FileResult list_file_load(ListKind kind, clsLOGGER_STATUS& status);

// Writes the 20 entries of kind in status to the list file (temporary file,
// then rename); a failure keeps the old file and is reported.
FileResult list_file_store(ListKind kind, const clsLOGGER_STATUS& status);

// The file's bytes for 20 entries (test and writer use).
QByteArray list_file_bytes(const QStringList& entries);

}  // namespace mq
