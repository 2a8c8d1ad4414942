#pragma once
// A print job whose output is a PDF file, written so that the file the user
// named is either the whole new print or left exactly as it was.
//
// The printer's PDF writer does not report a failed write (a full disk, a
// size limit): its painter ends well and leaves a cut-off file, and a writer
// that once failed writes nothing more in any later job of the same printer.
// So the printer writes into memory, where a write does not fail, and the
// finished document goes to the disk through the safe file writer, which
// checks every write, flushes, checks the size and only then renames its
// temporary file over the target.
#include <QString>

#include <memory>

#include "platform/safe_file.h"

class QPrinter;

namespace mq {

class PdfFileJob {
public:
    // `printer` prints to a PDF file when its format is PDF and it has an
    // output file name; any other printer is left alone by this object.
    explicit PdfFileJob(QPrinter& printer);
    // An uncommitted job leaves no file, and the printer names the target again.
    ~PdfFileJob();
    PdfFileJob(const PdfFileJob&) = delete;
    PdfFileJob& operator=(const PdfFileJob&) = delete;

    bool toFile() const { return m_toFile; }
    QString target() const { return m_target; }

    // Makes the temporary file beside the target and points the printer at
    // the memory it writes into (nothing to do for a printer that does not
    // print to a file). Fails with the create error message when the folder
    // is missing or closed, before anything is drawn.
    FileResult open();
    // After the painter has ended: the document written to the disk and put
    // in place. Fails with the write error message, keeping the target as it
    // was and removing the temporary file.
    FileResult commit();
    // Drops the document; the target keeps what it had.
    void discard();

private:
    QPrinter& m_printer;
    bool m_toFile = false;
    QString m_target;
    int m_memory = -1;
    std::unique_ptr<SafeFileWriter> m_writer;
};

}  // namespace mq
