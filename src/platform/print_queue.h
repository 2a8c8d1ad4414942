#pragma once
// One print job on a QPrinter, from its first page to the system's print
// queue or to a PDF file: its name in the queue, whether the queue took it,
// and giving it up so that nothing of it is printed.
//
// The printer's own engine hands a system printer's document to the print
// system (CUPS) when the painter ends, takes no notice of the answer, and
// cannot abort a job: what was drawn is sent all the same. So the job reads
// the print system's answer to the submission itself, and gives a job up by
// ending the painter while this thread's print-system connection leads
// nowhere. A queue that is paused but takes jobs holds the job: that is no
// failure. A PDF file is written through PdfFileJob (platform/pdf_file.h).
#include <QPainter>
#include <QString>

#include "platform/pdf_file.h"
#include "platform/safe_file.h"

class QPrinter;

namespace mq {

// The message of a printer that failed or refused a job.
QString printer_error_message();

// The name a job carries in the print queue: the program's title and the
// name of the printed data (the caption of its window).
QString print_job_name(const QString& dataName);

class PrintJob {
public:
    // Names the job on the printer, which must not be printing yet.
    PrintJob(QPrinter& printer, const QString& name);
    // A job that was not ended is given up.
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    // Opens the job and begins its painter on the printer; fails, with the
    // message for the user, when the file or the job cannot be made.
    FileResult begin();
    // The painter of the pages, active between begin() and end() or abort().
    QPainter& painter() { return m_painter; }
    // Ends the painter: the document is in the PDF file or taken by the
    // queue; else the message for the user (a queue that refuses jobs).
    FileResult end();
    // Gives the job up: nothing of it reaches the file or the queue.
    void abort();
    // The message of a failure while the pages are drawn.
    QString failure_message() const;

private:
    QPrinter& m_printer;
    PdfFileJob m_file;
    bool m_queue = false;
    QPainter m_painter;
};

}  // namespace mq
