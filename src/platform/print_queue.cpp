#include "platform/print_queue.h"

#include <QPrinter>

#include <cups/cups.h>

namespace mq {

QString printer_error_message() { return QStringLiteral("プリンターでエラーが発生したため、印刷を中止しました。"); }

QString print_job_name(const QString& dataName) {
    const QString title = QStringLiteral("マロウクイル");
    return dataName.isEmpty() ? title : title + QStringLiteral(" - ") + dataName;
}

PrintJob::PrintJob(QPrinter& printer, const QString& name) : m_printer(printer), m_file(printer) {
    m_printer.setDocName(name);
    m_queue = printer.outputFormat() == QPrinter::NativeFormat && printer.outputFileName().isEmpty();
}

PrintJob::~PrintJob() {
    if (m_painter.isActive()) abort();
}

FileResult PrintJob::begin() {
    if (FileResult r = m_file.open(); !r) return r;
    if (!m_painter.begin(&m_printer)) {
        m_file.discard();
        return FileResult::failure(m_file.toFile() ? file_create_error_message(m_file.target())
                                                   : printer_error_message());
    }
    return FileResult::success();
}

FileResult PrintJob::end() {
    if (!m_painter.end()) {
        abort();
        return FileResult::failure(failure_message());
    }
    // The engine has just submitted the document from this thread: the print
    // system's last answer to this thread is its answer to that submission
    // (a queue that refuses jobs answers so to the job's creation).
    if (m_queue && cupsLastError() >= IPP_STATUS_REDIRECTION_OTHER_SITE) {
        return FileResult::failure(printer_error_message());
    }
    return m_file.commit();
}

void PrintJob::abort() {
    m_printer.abort();
    if (m_painter.isActive()) {
        if (m_queue) {
            // The submission that ending the painter makes cannot connect
            // here, so no job is created; the next request of this thread
            // finds the print system as configured again.
            cupsSetServer("/dev/null/no-print-system");
            m_painter.end();
            cupsSetServer(nullptr);
        } else {
            m_painter.end();
        }
    }
    m_file.discard();
}

QString PrintJob::failure_message() const {
    return m_file.toFile() ? file_write_error_message(m_file.target()) : printer_error_message();
}

}  // namespace mq
