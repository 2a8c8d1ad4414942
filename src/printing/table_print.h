#pragma once
// PR: the modal dialog "表印刷の設定" that prints the table of a LOG or TAG
// data window page by page: the print date, title and device name on every
// page, the information head and the settings and computed-values blocks on
// the first page, then the record rows, 50 to a page after the first.
//
// The run first draws every page into PrintSheets and sends them to the
// printer the user chose (home_state().current_printer, see
// prepare_chosen_printer) only when it has ended well: a stop ("印刷停止")
// leaves the row loop, or the sending between two pages, at once and
// discards the job, and the first printer error of a run stays latched,
// aborts the job and is told to the user.
//
// Entry points: table_print_show() for the main window's print command,
// table_print_show_graph() for the graph window's table-print command (through
// HomeTargets::table_print_graph), which prints only the graph's drawn range
// (the data set's clsLOGGER_GraphInfo GrpDrw_StartPos .. GrpDrw_EndPos) and
// shows the graph's texts.
#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

#include "main_window/file_open.h"
#include "model/graph_print_source.h"
#include "printing/page_layout.h"
#include "printing/print_sheets.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace mq {

struct HomeTargets;
class IDataWindow;
class clsLOGGER_SETTING;
class clsLOGGER_STATUS;
class clsLOGGER_GraphInfo;

namespace platform {
class Grid;
}

// What a print run may be given instead of the real things (tests).
struct PrintHooks {
    FileDialogFn dialog;                                   // empty: the real file dialog
    std::function<std::unique_ptr<PrintSheets>()> sheets;  // empty: plain recording sheets
    std::function<QDate()> today;                          // empty: the computer's date
};

class PR : public QDialog {
    Q_OBJECT
public:
    // The dialog for the main window's active data window, or, with a graph
    // source, for the graph's drawn range of that source's window.
    explicit PR(const GraphPrintSource* graph = nullptr, QWidget* parent = nullptr, PrintHooks hooks = {});
    ~PR() override;

    // ---- controls
    QGroupBox* Frame2 = nullptr;  // "項目"
    QCheckBox* Check1 = nullptr;  // "【設定値】"
    QCheckBox* Check2 = nullptr;  // "【演算値】"
    QCheckBox* Check3 = nullptr;  // "タイトル"
    QCheckBox* Check4 = nullptr;  // "機器名称"
    QCheckBox* Check5 = nullptr;  // "印刷日時"
    QGroupBox* Frame1 = nullptr;  // "範囲"
    QRadioButton* Option2 = nullptr;  // "全てのページを印刷する。"
    QRadioButton* Option1 = nullptr;  // "先頭ページのみを印刷する。"
    QLabel* Label1 = nullptr;         // the warning on many pages
    QPushButton* Command1 = nullptr;  // "OK"
    QPushButton* Command2 = nullptr;  // "ｷｬﾝｾﾙ"
    QPushButton* Command3 = nullptr;  // "印刷停止"
    QPushButton* Command4 = nullptr;  // "ﾍﾙﾌﾟ"

    // ---- handlers
    void Option1_Click();
    void Option2_Click();
    void Command1_Click();  // print
    void Command2_Click();  // cancel
    void Command3_Click();  // stop printing
    void Command4_Click();  // help

    // ---- state of the run (read by tests)
    bool print_first_page_only() const { return m_print_first_page_only; }
    bool print_busy() const { return m_print_busy; }
    bool print_abort() const { return m_print_abort; }
    bool print_from_graph_flag() const { return m_print_from_graph_flag; }
    const PageCount& page_count() const { return m_count; }
    // Pages of the last run drawn on the printer so far.
    int pages_sent() const { return m_pages_sent; }
    // The pages drawn by the last run (empty after a stop or an error).
    const PrintSheets* sheets() const { return m_sheets.get(); }
    // How the last run ended.
    enum class Outcome { None, Printed, Stopped, PrinterError, NothingToPrint, Cancelled };
    Outcome outcome() const { return m_outcome; }
    // Called once per record row, after the row loop has yielded (tests).
    void setRowObserver(std::function<void(qint32 row)> f) { m_rowObserver = std::move(f); }

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    // One run's view of the data set being printed.
    struct Source;

    void build_ui();
    // Renders the pages; false when the run was stopped or failed.
    bool render(Source& src, bool tag);
    void print_first_page(Source& src, bool tag);
    void print_later_page(Source& src, bool tag, qint32 rows);
    void send(Source& src);

    // Shared parts of every page.
    void print_page_head();
    void print_title(const Source& src);
    void print_page_number();

    // LOG blocks.
    void log_print_info(const Source& src);
    void log_print_settings(const Source& src);
    void log_print_computed(const Source& src);
    void log_print_rows(Source& src, qint32 rows, bool firstPage);
    // TAG blocks.
    void tag_print_info(const Source& src);
    void tag_print_settings(const Source& src);
    void tag_print_computed(const Source& src);
    void tag_print_rows(Source& src, qint32 rows, bool firstPage);
    // Shared by both: the settings block's channel heads, sensor row and
    // alarm rows below its title at y0 (the reference row with withSumStd);
    // the computed-values block's title and channel heads at y0 with each
    // channel's format and counted values, and its row `index`, empty for a
    // channel without a format or without counted values.
    void print_settings_rows(const clsLOGGER_SETTING& s, double y0, bool fromGraph, bool withSumStd);
    void print_computed_head(const clsLOGGER_SETTING& s, double y0, QString* format, qint32* count);
    void print_computed_row(double y0, int index, const QString& label, const QString* format, const qint32* count,
                            const std::function<QString(int)>& text);

    void print_value_row(const QString& label, const QString& t1, const QString& t2, const QString& t3,
                         const QString& t4);
    // Yields before a record row; false when the run is to stop (a stop
    // request, a printer error, or the printed window gone).
    bool yield_row(const Source& src);

    // Primitives in millimetres (6 mm shift applied); a failure latches the
    // run's printer error.
    void print_text_at(double x, double y, int size, const QString& text);
    void print_text_centre(double y, int size, const QString& text);
    void print_text_right(double x, double y, int size, const QString& text);
    void print_line(double x1, double y1, double x2, double y2);

    bool checked(QCheckBox* box) const;
    QString print_font_family() const;

    PrintHooks m_hooks;
    bool m_print_from_graph_flag = false;
    GraphPrintSource m_graph;
    bool m_print_first_page_only = true;
    bool m_print_busy = false;
    bool m_print_abort = false;
    // No printer error in this run; the first error clears it for the rest
    // of the run (a later successful text does not set it again).
    bool m_print_ok_flag = true;
    PageCount m_count;
    int m_pages_sent = 0;
    qint32 m_print_page_no = 1;
    qint32 m_print_row_cursor = 0;
    int m_print_col_x[6] = {26, 46, 66, 86, 106, 126};
    double m_print_row_top = 0;
    double m_print_row_bottom = 0;
    std::unique_ptr<PrintSheets> m_sheets;
    Outcome m_outcome = Outcome::None;
    std::function<void(qint32)> m_rowObserver;
};

// Shows PR modally for the main window's active data window (the print
// command, after the printer choice).
void table_print_show();
// Shows PR modally for the graph's drawn range; print_from_graph_flag is
// True while it is shown.
void table_print_show_graph(const GraphPrintSource& graph);

// Puts both into the main window's hooks (table_print, table_print_graph).
void install_table_print_targets(HomeTargets& targets);

}  // namespace mq
