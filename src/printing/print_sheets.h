#pragma once
// The pages of one print run, held as drawing operations in millimetres until
// the run has ended well, and only then sent to the printer. So a run that is
// stopped or meets an error sends nothing at all: no half-printed job ever
// reaches a printer or a PDF file.
//
// Positions are millimetres from the paper's top left corner (A4 portrait,
// 210 x 297); a text is placed by its top left corner, its right end, or
// centred on the paper (the table printing dialog applies its 6 mm shift
// before it records an operation).
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <vector>

class QPainter;
class QPrinter;

namespace mq {

struct PrintOp {
    enum Kind : quint8 { TextLeft, TextRight, TextCentre, Box };
    Kind kind = TextLeft;
    quint8 size = 9;  // font size in points (texts)
    float x1 = 0;     // left (TextLeft), right end (TextRight), left (Box)
    float y1 = 0;     // top
    float x2 = 0;     // right (Box); the centring width (TextCentre)
    float y2 = 0;     // bottom (Box)
    QString text;
};

using PrintPage = std::vector<PrintOp>;

class PrintSheets {
public:
    virtual ~PrintSheets() = default;

    // The drawing operations; false when the printer reports an error.
    // Recording into memory never fails; a subclass may stand for a printer
    // that does (tests inject errors this way).
    virtual bool text_left(double x, double y, int size, const QString& text);
    virtual bool text_right(double xRight, double y, int size, const QString& text);
    virtual bool text_centre(double width, double y, int size, const QString& text);
    virtual bool box(double x1, double y1, double x2, double y2);
    // Ends the page under way; the next operation starts a new one.
    virtual bool new_page();

    // The recorded pages; a page begun and left empty by a final new_page is
    // no page.
    int pageCount() const;
    const std::vector<PrintPage>& pages() const { return m_pages; }
    // Every text of a page, in recording order (tests and checks).
    QStringList pageTexts(int page) const;
    void clear() { m_pages.clear(); m_open = false; }

private:
    PrintPage& current();

    std::vector<PrintPage> m_pages;
    bool m_open = false;
};

struct DeliveryResult {
    bool ok = true;
    QString message;       // what went wrong, for the user
    bool stopped = false;  // given up between pages: nothing was printed
};

// Sends the pages to the printer (A4 portrait, whole paper addressable) in
// the font family given, as a job of that name (platform/print_queue.h). A
// PDF output replaces its target only when all of it reached the disk; on
// failure nothing is left behind. After each page `pageSent` (if given) is
// told how many pages are drawn; when it answers false the job is given up.
DeliveryResult deliver_sheets(const PrintSheets& sheets, QPrinter& printer, const QString& fontFamily,
                              const QString& jobName, const std::function<bool(int)>& pageSent = {});

}  // namespace mq
