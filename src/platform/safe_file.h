#pragma once
// Writing a data or export file so that the target is either the complete new
// file or left exactly as it was: the bytes go to a temporary file in the same
// folder, which is renamed over the target only when everything was written.
// A failed or abandoned write leaves no partial file behind.
//
// FileResult is the outcome of the file-format procedures of this folder: ok,
// or the message the window shows to the user (exclamation box).
#include <QByteArray>
#include <QString>
#include <memory>

class QIODevice;
class QSaveFile;

namespace mq {

struct FileResult {
    bool ok = true;
    QString message;  // for the user; empty when ok

    static FileResult success() { return {}; }
    static FileResult failure(const QString& message) { return FileResult{false, message}; }
    explicit operator bool() const { return ok; }
};

// User messages of file failures, with the file's path on the second line.
QString file_create_error_message(const QString& path);
QString file_write_error_message(const QString& path);
QString file_read_error_message(const QString& path);

class SafeFileWriter {
public:
    explicit SafeFileWriter(const QString& targetPath);
    ~SafeFileWriter();  // an uncommitted write is discarded
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the temporary file beside the target.
    FileResult open();
    // Appends bytes; the first failure is kept and every later call fails too.
    FileResult write(const QByteArray& bytes);
    // Flushes and renames the temporary file over the target.
    FileResult commit();
    // Removes the temporary file; the target keeps what it had.
    void discard();

    QString targetPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QSaveFile> m_file;
    bool m_failed = false;
};

// Reads a whole file; a file that cannot be opened or read gives the read
// error message.
FileResult read_whole_file(const QString& path, QByteArray& out);

}  // namespace mq
