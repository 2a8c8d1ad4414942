#include "platform/safe_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace mq {

namespace {
QString shownPath(const QString& path) { return QDir::toNativeSeparators(path); }
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
    m_file = std::make_unique<QSaveFile>(m_path);
    // Never fall back to writing the target in place: a failure must leave it whole.
    m_file->setDirectWriteFallback(false);
    if (!m_file->open(QIODevice::WriteOnly)) {
        m_failed = true;
        m_file.reset();
        return FileResult::failure(file_create_error_message(m_path));
    }
    m_failed = false;
    return FileResult::success();
}

FileResult SafeFileWriter::write(const QByteArray& bytes) {
    if (m_failed || !m_file) {
        m_failed = true;
        return FileResult::failure(file_write_error_message(m_path));
    }
    if (bytes.isEmpty()) return FileResult::success();
    if (m_file->write(bytes) != bytes.size()) {
        m_failed = true;
        return FileResult::failure(file_write_error_message(m_path));
    }
    return FileResult::success();
}

FileResult SafeFileWriter::commit() {
    if (m_failed || !m_file) {
        discard();
        return FileResult::failure(file_write_error_message(m_path));
    }
    const bool ok = m_file->commit();
    m_file.reset();
    if (!ok) {
        m_failed = true;
        return FileResult::failure(file_write_error_message(m_path));
    }
    return FileResult::success();
}

void SafeFileWriter::discard() {
    if (m_file) {
        m_file->cancelWriting();
        m_file.reset();  // QSaveFile removes its temporary file when not committed
    }
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

}  // namespace mq
