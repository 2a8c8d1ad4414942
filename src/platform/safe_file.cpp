#include "platform/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mq {

namespace {
QString shownPath(const QString& path) { return QDir::toNativeSeparators(path); }

// The mode a new file gets from the process's umask (read without changing it
// for longer than the two calls).
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
}  // namespace

QString file_create_error_message(const QString& path) {
    return QStringLiteral("ファイルを作成できませんでした。\n") + shownPath(path);
}

QString file_write_error_message(const QString& path) {
    return QStringLiteral("ファイルへの書き込みに失敗しました。\n") + shownPath(path);
}

QString file_read_error_message(const QString& path) {
    return QStringLiteral("ファイルを読み込めませんでした。\n") + shownPath(path);
}

SafeFileWriter::SafeFileWriter(const QString& targetPath) : m_path(targetPath) {}

SafeFileWriter::~SafeFileWriter() { discard(); }

FileResult SafeFileWriter::open() {
    discard();
    m_failed = false;
    m_written = 0;
    // The temporary file lies beside the target, so the final rename never
    // crosses a file system and either leaves the old file or the new one.
    const QFileInfo target(m_path);
    QByteArray tmpl = QFile::encodeName(target.absolutePath() + QLatin1Char('/') + QLatin1Char('.') +
                                        target.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        m_failed = true;
        return FileResult::failure(file_create_error_message(m_path));
    }
    m_fd = fd;
    m_tempPath = tmpl;
    // An existing target keeps its permissions; a new one gets the usual ones.
    struct stat st {};
    const mode_t mode =
        ::stat(QFile::encodeName(m_path).constData(), &st) == 0 ? (st.st_mode & 07777) : newFileMode();
    ::fchmod(m_fd, mode);
    return FileResult::success();
}

FileResult SafeFileWriter::write(const QByteArray& bytes) {
    if (m_failed || m_fd < 0) {
        m_failed = true;
        return FileResult::failure(file_write_error_message(m_path));
    }
    const char* p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A full disk (ENOSPC), a size limit (EFBIG) or an I/O error:
            // the temporary file goes at once, so that a caller undoing its
            // work (a folder of part files) finds nothing of it.
            m_failed = true;
            discard();
            return FileResult::failure(file_write_error_message(m_path));
        }
        p += n;
        left -= n;
        m_written += n;
    }
    return FileResult::success();
}

FileResult SafeFileWriter::commit() {
    if (m_failed || m_fd < 0) {
        discard();
        return FileResult::failure(file_write_error_message(m_path));
    }
    // Every byte must be on the disk before the old file is given up: a flush
    // that fails, or a file shorter than what was written, keeps the old file.
    bool ok = ::fsync(m_fd) == 0;
    struct stat st {};
    if (ok) ok = ::fstat(m_fd, &st) == 0 && qint64(st.st_size) == m_written;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) ok = false;
    if (ok) ok = ::rename(m_tempPath.constData(), QFile::encodeName(m_path).constData()) == 0;
    if (!ok) {
        ::unlink(m_tempPath.constData());
        m_tempPath.clear();
        m_failed = true;
        return FileResult::failure(file_write_error_message(m_path));
    }
    m_tempPath.clear();
    return FileResult::success();
}

void SafeFileWriter::discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.isEmpty()) {
        ::unlink(m_tempPath.constData());
        m_tempPath.clear();
    }
}

FileResult write_file_safely(const QString& path, const QByteArray& bytes) {
    SafeFileWriter w(path);
    if (FileResult r = w.open(); !r) return r;
    if (FileResult r = w.write(bytes); !r) return r;
    return w.commit();
}

FileResult read_whole_file(const QString& path, QByteArray& out) {
    out.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return FileResult::failure(file_read_error_message(path));
    const qint64 size = f.size();
    out = f.readAll();
    if (f.error() != QFileDevice::NoError || (size > 0 && out.size() != size)) {
        out.clear();
        return FileResult::failure(file_read_error_message(path));
    }
    return FileResult::success();
}

FileResult read_small_file(const QString& path, qint64 maxBytes, const QString& tooLarge, QByteArray& out) {
    out.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return FileResult::failure(file_read_error_message(path));
    if (f.size() > maxBytes) return FileResult::failure(tooLarge);
    // A device or a file that grows has no size to trust: one byte beyond
    // the bound is enough to tell.
    out = f.read(maxBytes + 1);
    if (f.error() != QFileDevice::NoError) {
        out.clear();
        return FileResult::failure(file_read_error_message(path));
    }
    if (out.size() > maxBytes) {
        out.clear();
        return FileResult::failure(tooLarge);
    }
    return FileResult::success();
}

}  // namespace mq
