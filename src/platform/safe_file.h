#pragma once
// Writing a data, export or configuration file so that the target is either
// the complete new file or left exactly as it was: the bytes go to a temporary
// file in the same folder; every write is checked, the file is flushed to the
// disk and its size checked, and only then is it renamed over the target. A
// full disk, a size limit or a failed flush therefore never reaches the old
// file. A failed or abandoned write leaves no partial file behind.
//
// FileResult is the outcome of the file-format procedures of this folder: ok,
// or the message the window shows to the user (exclamation box).
#include <QByteArray>
#include <QString>


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
    // Appends bytes; the first failure removes the temporary file, and every
    // later call fails too.
    FileResult write(const QByteArray& bytes);
    // Flushes to the disk, checks the size and renames the temporary file over
    // the target; on any failure the temporary file is removed.
    FileResult commit();
    // Removes the temporary file; the target keeps what it had.
    void discard();

    QString targetPath() const { return m_path; }

private:
    QString m_path;
    QByteArray m_tempPath;  // encoded; empty when there is no temporary file
    int m_fd = -1;
    qint64 m_written = 0;
    bool m_failed = false;
};

// The whole file in one go through a SafeFileWriter.
FileResult write_file_safely(const QString& path, const QByteArray& bytes);

// Reads a whole file; a file that cannot be opened or read gives the read
// error message.
FileResult read_whole_file(const QString& path, QByteArray& out);

// Reads a whole file of a format that holds at most `maxBytes` (the small
// per-user files). A larger file, or a device that keeps giving bytes, is
// refused with `tooLarge` (its reader's damaged-file message) without being
// taken into memory; a file that cannot be opened or read gives the read
// error message.
FileResult read_small_file(const QString& path, qint64 maxBytes, const QString& tooLarge, QByteArray& out);

}  // namespace mq
