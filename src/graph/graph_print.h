#pragma once
// Printing the graph window as one page: the printer check and choice, the
// margins by orientation, the font rule, the four-row header, the graph on
// paper (frame, axes, time axis, reference lines, data marks and every
// record of the traces, no envelope reduction) and the 8 x 5 statistics
// table; page setup and printer setup on the same printer.
//
// The page is painted in twips (1/1440 inch) from the paper's top left
// corner onto a QPrinter pointed at the printer chosen in the printer choice.
// The job is named after the data window the graph draws; a print that
// fails aborts it (platform/print_queue.h): a PDF replaces its target only
// when all of it reached the disk, nothing half-printed reaches a system
// printer, and a queue that does not take the job is a failure. While a
// print runs the graph window is disabled and holds its busy guard, so no
// second print starts.
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>

#include "main_window/file_open.h"

class QPrinter;
class QWidget;

namespace mq {

class fGraph;

// The steps of a print, in the order they run.
enum class GraphPrintStep { Header = 1, Frame, Axes, TimeAxis, ReferenceLines, DataMarks, Traces, Table };

struct GraphPrintHooks {
    FileDialogFn dialog;                          // the PDF file name; empty: the real file dialog
    std::function<QStringList()> printers;        // the printer list; empty: printer_choice_list()
    std::function<bool(GraphPrintStep)> fail_at;  // true: a run-time failure at that step (tests)
};

// What a print did, for the caller and tests.
struct GraphPrintResult {
    bool printed = false;
    QString message;     // the message shown, if any
    int fontTenths = 0;  // the header and graph font in tenths of a point
    int tableFontTenths = 0;
    QRectF plot;  // the plot rectangle on the page, in twips
};

// The messages of the printing paths: 2 "印刷エラーです。", 4820 and 4821
// "プリンターが見つかりません。" (exclamation), any other "エラーが発生しました。".
void graph_error_msg(QWidget* parent, int code);

// mgPrint_Click, mPaperset_Click and mPrinterset_Click of the graph window.
GraphPrintResult graph_print(fGraph& graph, const GraphPrintHooks& hooks = {});
void graph_page_setup(fGraph& graph, const GraphPrintHooks& hooks = {});
void graph_printer_setup(fGraph& graph, const GraphPrintHooks& hooks = {});

// The graph's printer, kept between prints and the set-up dialogs (paper,
// orientation); null before the first use.
QPrinter* graph_printer();

}  // namespace mq
