#pragma once
// fGraph: the trend-graph window over the active data window. It shows up to
// four channel traces over the drawn record range with their axes, time
// labels, reference lines and data marks, a header of texts above and the
// statistics grid of the drawn range below. The user zooms with a drag,
// pages by the range's width, returns to the automatic range from the
// pop-up menu and reads values off the traces in the tooltip.
//
// It reads the records through the data window's IGraphSource, and the
// options of the data set those records belong to, found through the same
// source (into graph_state(), graph_calc.h). While it is open the main window
// is disabled, so the data window cannot change under it; when it closes, the
// window it was opened from is the active one again.
//
// Drawing goes into a kept image that paint only copies; long passes yield to
// the event loop by elapsed time under a busy guard, so no zoom, paging or
// dialog can start a second pass inside a running one. When the drawn range
// is wider than the plot in pixels the traces are drawn per pixel column as
// their minimum/maximum envelope, gaps and edge clipping kept.
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "graph/graph_calc.h"
#include "graph/graph_state.h"
#include "main_window/home_state.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPainter;
class QToolBar;
class QToolButton;

namespace mq {

class IGraphSource;
class clsLOGGER_SETTING;
class fGrready;
struct HomeTargets;

namespace platform {
class Grid;
}

class fGraph;

// The picture box of the graph: paints the kept image and the rubber band.
class GraphPicture : public QWidget {
    Q_OBJECT
public:
    explicit GraphPicture(fGraph& owner, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    fGraph& m_owner;
};

class fGraph : public QMainWindow {
    Q_OBJECT
public:
    // Opens the graph over the main window's active data window, shown
    // without waiting. Null when there is no data window that can be drawn.
    static fGraph* open_graph();
    // The graph window that is open, or null.
    static fGraph* current();

    fGraph(IGraphSource& source, QWidget* dataWindow);
    ~fGraph() override;

    // ---- the redraw road
    void S_flamedraw();   // range, time-label step, statistics, scales
    void S_maxminave();   // statistics of the drawn range
    void S_graphdraw();   // axes, time axis, lines, marks, traces into the kept image
    void S_paraset();     // the statistics grid
    // S_flamedraw, S_graphdraw and S_paraset under one busy guard; false when
    // a pass is already running (the request is dropped).
    bool redraw();
    // The reference-lines dialog's redraw: the statistics (with the ready flag
    // down for the pass), the grid, the picture. False when a pass runs.
    bool restat_and_draw();
    // A modeless dialog of the graph (its child) opens: the graph is disabled
    // while it is open, the dialog stays usable.
    void disable_for(QWidget& dialog);
    // A dialog of the graph has closed: the graph is enabled, in front and
    // active again (unless it is closing itself).
    void dialog_closed();

    // The busy guard held by a print: no pass, zoom, paging, dialog or second
    // print starts while it is held. False when it is already held.
    bool enter_busy();
    void leave_busy();

    // A channel's scaled value at a record: clamps both arguments in place;
    // 32767 for over or under range and for a record without a value.
    int graph_decimal_get(qint32& row, int& ch);

    // ---- commands (menus, toolbar, paging, pop-ups)
    void mrange_Click();
    void mgPrint_Click();
    void mPaperset_Click();
    void mPrinterset_Click();
    void gTablePrint_Click();
    void mchan_Click();
    void mpSVline_Click();
    void mpDMark_Click();
    void mpLabel_Click();
    void mpLIneSe_Click(int index);
    void mend_Click();
    void popRange_Click();
    void grhelp_Click();
    void gPrevPage_Click();
    void gNextPage_Click();
    void Toolbar1_ButtonClick(int index);
    // The colour change of the grid row's channel (right button on its name).
    void change_row_colour(int row);

    // ---- mouse on the picture (picture coordinates)
    void gImage_MouseDown(Qt::MouseButton button, double x, double y);
    void gImage_MouseMove(Qt::MouseButtons buttons, double x, double y);
    void gImage_MouseUp(Qt::MouseButton button, double x, double y);
    // The readout text for a point with no button down; empty when nothing is near.
    QString readout_text(double x, double y);

    // ---- statistics-grid interaction
    bool comment_edit_allowed(int row) const;
    bool gpgrid_ValidateEdit(int row, int col, const QString& text);
    void gpgrid_AfterEdit(int row, int col);
    void gpgrid_MouseDown(int row, int col, Qt::MouseButton button);
    void gpgrid_MouseUp(int row, int col, Qt::MouseButton button);
    void gpgrid_MouseMove(int row, int col);

    // ---- state for dialogs, printing and tests
    bool busy() const { return m_busy; }
    const QImage& keptImage() const { return m_front; }
    graph::PlotRect plotRect() const;
    double x_per_record() const { return m_xPerRecord; }
    int ch_tick_step(int ch) const { return m_tick[size_t(ch)]; }
    qint32 time_label_step() const { return m_timeLabelStep; }
    const graph::ChannelStats& stats(int ch) const { return m_stats[size_t(ch)]; }
    IGraphSource& source() const { return m_src; }
    // The data window whose data the graph draws (gone when it has closed).
    QWidget* dataWindow() const { return m_dataWindow.data(); }
    // The setting of the data set the graph draws (null without one).
    clsLOGGER_SETTING* data_setting() const;
    // Record times of the time axis and the readout.
    graph::TimeAxis time_axis() const;
    platform::Grid* gpgrid() const { return m_gpgrid; }
    GraphPicture* gImage() const { return m_picture; }
    QToolButton* gPrevPage() const { return m_prev; }
    QToolButton* gNextPage() const { return m_next; }
    QLineEdit* txtTitle() const { return m_txtTitle; }
    QLineEdit* txtLogName() const { return m_txtLogName; }
    QLineEdit* txtSagyosya() const { return m_txtSagyosya; }
    QLineEdit* txtComment() const { return m_txtComment; }
    QLabel* laDataNum() const { return m_laDataNum; }
    QLabel* laInteval() const { return m_laInteval; }
    QAction* menuItem(const QString& name) const;
    QToolBar* Toolbar1() const { return m_toolbar; }
    bool paging_ok_flag() const { return m_pagingOk; }
    // The colour dialog of the grid's pop-up (tests may put their own).
    std::function<QColor(const QColor& initial, QWidget* parent)> chooseColour;
    // The printers the print commands offer (tests may put their own list).
    std::function<QStringList()> printerList;
    // The number of times the statistics pass gave the event loop a turn.
    int yields() const { return m_yields; }

    // Lays the plot out for the picture's size; redraws when the size changed.
    void picture_resized();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    friend class GraphPicture;
    void build_ui();
    void build_menus();
    void build_toolbar();
    void Form_Load();
    void Form_Activate();
    // A command that shows modal dialogs: not while a pass runs; the graph
    // is in front again once it has ended.
    void run_modal(GraphCommand which);
    // The table print of the drawn range, after the printer choice.
    void table_print_range();
    void Form_Unload();
    void layout_plot();
    void size_grid_columns();
    void page(bool next);
    void zoom(double x1, double y1, double x2, double y2);
    void maybe_yield(fGrready* ready, qint64 progress);


    // drawing pieces, on the image being built
    void draw_frame(QPainter& p);
    void draw_axes(QPainter& p);
    void draw_time_axis(QPainter& p);
    void S_svlinedraw(QPainter& p);
    void S_dmarkdraw(QPainter& p);
    void draw_traces(QPainter& p);
    void draw_trace(QPainter& p, int ch);
    bool temperature(int ch) const;

    IGraphSource& m_src;
    QPointer<QWidget> m_dataWindow;

    // controls
    QToolBar* m_toolbar = nullptr;
    std::map<QString, QAction*> m_items;
    std::map<int, QAction*> m_buttons;
    QMenu* m_popR = nullptr;
    QMenu* m_popC = nullptr;
    QLineEdit* m_txtTitle = nullptr;
    QLineEdit* m_txtLogName = nullptr;
    QLineEdit* m_txtSagyosya = nullptr;
    QLineEdit* m_txtComment = nullptr;
    QLabel* m_laLogName = nullptr;
    QLabel* m_laDataNum = nullptr;
    QLabel* m_laInteval = nullptr;
    GraphPicture* m_picture = nullptr;
    QToolButton* m_prev = nullptr;
    QToolButton* m_next = nullptr;
    platform::Grid* m_gpgrid = nullptr;

    // layout (picture pixels)
    std::array<double, 4> m_textMetrics{};  // 1.5 x extents of "0" (x, y) and "あ" (x, y)
    double m_w = 8;                          // one digit width
    int m_plotLeft = 0, m_plotTop = 0, m_plotWidth = 1, m_plotHeight = 1;
    int m_axisGap = 1;
    QSize m_laidOutFor;

    // drawing results
    double m_xPerRecord = 1;
    std::array<double, 5> m_yPerUnit{};
    std::array<int, 5> m_tick{};
    qint32 m_timeLabelStep = 1;
    bool m_pagingOk = false;
    QImage m_front;

    // statistics of the drawn range
    std::array<graph::ChannelStats, 5> m_stats{};

    // what the window changes in the data set and puts back on closing
    std::array<QString, 4> m_savedHSum, m_savedLSum, m_savedStdText;
    // The whole data's integrals in display units (for the table print).
    std::array<double, 4> m_wholeHSum{}, m_wholeLSum{};

    bool m_firstDrawPending = true;
    bool m_busy = false;
    bool m_closed = false;
    // The program is busy while the graph is open.
    std::optional<BusyScope> m_idleGuard;
    QElapsedTimer m_sliceTimer;
    int m_yields = 0;

    // mouse drag
    double m_dragX1 = 0, m_dragY1 = 0, m_dragX2 = 0, m_dragY2 = 0;
    bool m_dragging = false;
    bool m_dragClamped = false;
    double m_bandX = 0, m_bandY = 0;
    bool m_gridDrag = false;
    int m_gridDragRow = 0;
};

// Fills the main window's graph hook (HomeTargets::graph).
void install_graph_target(HomeTargets& targets);

}  // namespace mq
