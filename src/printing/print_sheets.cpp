#include "printing/print_sheets.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrinter>

#include <map>

#include "platform/print_queue.h"

namespace mq {

// ---------------------------------------------------------------- recording

PrintPage& PrintSheets::current() {
    if (!m_open) {
        m_pages.emplace_back();
        m_open = true;
    }
    return m_pages.back();
}

bool PrintSheets::text_left(double x, double y, int size, const QString& text) {
    current().push_back(PrintOp{PrintOp::TextLeft, quint8(size), float(x), float(y), 0, 0, text});
    return true;
}

bool PrintSheets::text_right(double xRight, double y, int size, const QString& text) {
    current().push_back(PrintOp{PrintOp::TextRight, quint8(size), float(xRight), float(y), 0, 0, text});
    return true;
}

bool PrintSheets::text_centre(double width, double y, int size, const QString& text) {
    current().push_back(PrintOp{PrintOp::TextCentre, quint8(size), 0, float(y), float(width), 0, text});
    return true;
}

bool PrintSheets::box(double x1, double y1, double x2, double y2) {
    current().push_back(PrintOp{PrintOp::Box, 0, float(x1), float(y1), float(x2), float(y2), QString()});
    return true;
}

bool PrintSheets::new_page() {
    current();  // a page with nothing on it still counts once it is ended
    m_open = false;
    return true;
}

int PrintSheets::pageCount() const { return int(m_pages.size()); }

QStringList PrintSheets::pageTexts(int page) const {
    QStringList out;
    if (page < 0 || page >= pageCount()) return out;
    for (const PrintOp& op : m_pages[size_t(page)]) {
        if (op.kind != PrintOp::Box) out << op.text;
    }
    return out;
}

// ---------------------------------------------------------------- delivery

namespace {

// Fonts and metrics of one paint device, by point size.
class FontCache {
public:
    FontCache(QPaintDevice* device, QString family) : m_device(device), m_family(std::move(family)) {}

    struct Entry {
        QFont font;
        QFontMetricsF metrics;
    };

    const Entry& get(int size) {
        auto it = m_entries.find(size);
        if (it == m_entries.end()) {
            QFont f(m_family);
            f.setPointSize(size);
            it = m_entries.emplace(size, Entry{QFont(f, m_device), QFontMetricsF(f, m_device)}).first;
        }
        return it->second;
    }

private:
    QPaintDevice* m_device;
    QString m_family;
    std::map<int, Entry> m_entries;
};

void paintPage(QPainter& p, const PrintPage& page, double k, FontCache& fonts, int& currentSize) {
    for (const PrintOp& op : page) {
        if (op.kind == PrintOp::Box) {
            const QPointF a(op.x1 * k, op.y1 * k), b(op.x2 * k, op.y2 * k);
            if (op.x1 == op.x2 || op.y1 == op.y2) {
                p.drawLine(a, b);
            } else {
                p.drawRect(QRectF(a, b));
            }
            continue;
        }
        const FontCache::Entry& e = fonts.get(op.size);
        if (op.size != currentSize) {
            p.setFont(e.font);
            currentSize = op.size;
        }
        double x = op.x1 * k;
        if (op.kind == PrintOp::TextRight) {
            x -= e.metrics.horizontalAdvance(op.text);
        } else if (op.kind == PrintOp::TextCentre) {
            x = (op.x2 * k - e.metrics.horizontalAdvance(op.text)) / 2;
        }
        p.drawText(QPointF(x, op.y1 * k + e.metrics.ascent()), op.text);
    }
}

}  // namespace

DeliveryResult deliver_sheets(const PrintSheets& sheets, QPrinter& printer, const QString& fontFamily,
                              const QString& jobName, const std::function<bool(int)>& pageSent) {
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    if (sheets.pageCount() == 0) return {};

    PrintJob job(printer, jobName);
    if (FileResult r = job.begin(); !r) return {false, r.message};
    QPainter& p = job.painter();
    const double k = printer.resolution() / 25.4;  // device units per millimetre
    QPen pen(Qt::black);
    pen.setWidthF(0.2 * k);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    FontCache fonts(&printer, fontFamily);
    int currentSize = -1;
    const auto& pages = sheets.pages();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage()) {
            job.abort();
            return {false, job.failure_message()};
        }
        paintPage(p, pages[i], k, fonts, currentSize);
        if (pageSent && !pageSent(int(i + 1))) {
            job.abort();
            return {false, QString(), true};
        }
    }
    if (FileResult r = job.end(); !r) return {false, r.message};
    return {};
}

}  // namespace mq
