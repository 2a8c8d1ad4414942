#include "platform/pdf_file.h"

#include <QPrinter>

#include <cerrno>
#include <sys/mman.h>
#include <unistd.h>

namespace mq {

PdfFileJob::PdfFileJob(QPrinter& printer) : m_printer(printer) {
    m_toFile = printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    if (m_toFile) m_target = printer.outputFileName();
}

PdfFileJob::~PdfFileJob() { discard(); }

FileResult PdfFileJob::open() {
    discard();
    if (!m_toFile) return FileResult::success();
    auto writer = std::make_unique<SafeFileWriter>(m_target);
    if (FileResult r = writer->open(); !r) return r;
    // The printer opens its output by name: the memory file is named through
    // the process's table of open files.
    m_memory = ::memfd_create("pdf-print", MFD_CLOEXEC);
    if (m_memory < 0) return FileResult::failure(file_create_error_message(m_target));
    m_writer = std::move(writer);
    m_printer.setOutputFileName(QStringLiteral("/proc/self/fd/%1").arg(m_memory));
    return FileResult::success();
}

FileResult PdfFileJob::commit() {
    if (!m_toFile) return FileResult::success();
    if (!m_writer) return FileResult::failure(file_write_error_message(m_target));
    m_printer.setOutputFileName(m_target);
    const off_t size = ::lseek(m_memory, 0, SEEK_END);
    FileResult r = size > 0 ? FileResult::success() : FileResult::failure(file_write_error_message(m_target));
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (off_t at = 0; r && at < size;) {
        const ssize_t n = ::pread(m_memory, chunk.data(), size_t(qMin<off_t>(chunk.size(), size - at)), at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            r = FileResult::failure(file_write_error_message(m_target));
            break;
        }
        r = m_writer->write(QByteArray::fromRawData(chunk.constData(), n));
        at += n;
    }
    if (r) r = m_writer->commit();
    discard();
    return r;
}

void PdfFileJob::discard() {
    if (m_memory >= 0) {
        ::close(m_memory);
        m_memory = -1;
    }
    if (m_writer) {
        m_writer.reset();  // an uncommitted temporary file goes with it
        m_printer.setOutputFileName(m_target);
    }
}

}  // namespace mq
