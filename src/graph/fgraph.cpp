#include "graph/fgraph.h"
#include "graph/graph_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <cmath>

#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/small_windows.h"
#include "model/cls_logger_graphinfo.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/graph_print_source.h"
#include "model/graph_source.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/cp932.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/text_limit.h"

namespace mq {

namespace {

QPointer<fGraph> s_current;

// The whole number at the start of a statistics text (blanks in front allowed).
QString wholeText(const QString& t) { return QString::number(qint64(platform::val(t))); }

}  // namespace

// ---------------------------------------------------------------- picture

GraphPicture::GraphPicture(fGraph& owner, QWidget* parent) : QWidget(parent), m_owner(owner) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.drawImage(0, 0, m_owner.m_front);
    if (m_owner.m_dragging) {
        // The rubber band lives on the screen only, never in the kept image.
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(QPointF(m_owner.m_dragX1, m_owner.m_dragY1), QPointF(m_owner.m_bandX, m_owner.m_bandY))
                       .normalized());
    }
}

void GraphPicture::mousePressEvent(QMouseEvent* e) {
    m_owner.gImage_MouseDown(e->button(), e->position().x(), e->position().y());
}

void GraphPicture::mouseMoveEvent(QMouseEvent* e) {
    m_owner.gImage_MouseMove(e->buttons(), e->position().x(), e->position().y());
}

void GraphPicture::mouseReleaseEvent(QMouseEvent* e) {
    m_owner.gImage_MouseUp(e->button(), e->position().x(), e->position().y());
}

void GraphPicture::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    m_owner.picture_resized();
}

// ---------------------------------------------------------------- opening

fGraph* fGraph::current() { return s_current.data(); }

fGraph* fGraph::open_graph() {
    if (s_current) return nullptr;
    IMainWindowServices* mw = ModelSlot::installed() ? model().main_window : nullptr;
    IDataWindow* w = mw ? mw->activeDataWindow() : nullptr;
    auto* source = dynamic_cast<IGraphSource*>(w);
    if (!source || source->record_count() < 2) return nullptr;
    auto* g = new fGraph(*source, w->widget());
    g->show();
    return g;
}

fGraph::fGraph(IGraphSource& source, QWidget* dataWindow) : QMainWindow(nullptr), m_src(source), m_dataWindow(dataWindow) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ｸﾞﾗﾌ"));
    s_current = this;
    chooseColour = [](const QColor& initial, QWidget* parent) { return QColorDialog::getColor(initial, parent); };
    printerList = [] { return printer_choice_list(); };
    build_ui();
    Form_Load();
}

fGraph::~fGraph() {
    // A modeless dialog still open goes first, while the graph it reports
    // back to is whole.
    for (QDialog* d : {static_cast<QDialog*>(fGrarange2::current()), static_cast<QDialog*>(fGrasvline::current())}) {
        if (d && d->parent() == this) delete d;
    }
    if (!m_closed) Form_Unload();
}

QAction* fGraph::menuItem(const QString& name) const {
    const auto it = m_items.find(name);
    return it == m_items.end() ? nullptr : it->second;
}

clsLOGGER_SETTING* fGraph::data_setting() const {
    return ModelSlot::installed() ? m_src.data_set().setting() : nullptr;
}

void fGraph::build_menus() {
    QMenuBar* bar = menuBar();
    auto add = [this](QMenu* menu, const QString& name, const QString& text, std::function<void()> fn) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        m_items[name] = a;
        if (fn) connect(a, &QAction::triggered, this, [fn] { fn(); });
        return a;
    };
    auto top = [this, bar](const QString& name, const QString& text, std::function<void()> fn) {
        QAction* a = bar->addAction(text);
        a->setObjectName(name);
        m_items[name] = a;
        connect(a, &QAction::triggered, this, [fn] { fn(); });
        return a;
    };
    top(QStringLiteral("mrange"), QStringLiteral("レンジ変更(&R)"), [this] { mrange_Click(); });
    QMenu* print = bar->addMenu(QStringLiteral("印刷(&G)"));
    m_items[QStringLiteral("mPrint")] = print->menuAction();
    add(print, QStringLiteral("mgPrint"), QStringLiteral("グラフ印刷(&P)"), [this] { mgPrint_Click(); });
    add(print, QStringLiteral("gTablePrint"), QStringLiteral("グラフ範囲で表印刷(&T)"), [this] { gTablePrint_Click(); });
    print->addSeparator();
    add(print, QStringLiteral("mPaperset"), QStringLiteral("ページ設定(&Y)"), [this] { mPaperset_Click(); });
    add(print, QStringLiteral("mPrinterset"), QStringLiteral("プリンタ設定(&S)"), [this] { mPrinterset_Click(); });
    top(QStringLiteral("mchan"), QStringLiteral("表示チャンネル(&C)"), [this] { mchan_Click(); });
    QMenu* para = bar->addMenu(QStringLiteral("パラメータ(&P)"));
    m_items[QStringLiteral("mpara")] = para->menuAction();
    add(para, QStringLiteral("mpSVline"), QStringLiteral("基準線設定..."), [this] { mpSVline_Click(); });
    para->addSeparator();
    add(para, QStringLiteral("mpDMark"), QStringLiteral("データマーク表示(&M)"), [this] { mpDMark_Click(); })->setCheckable(true);
    add(para, QStringLiteral("mpLabel"), QStringLiteral("ラベル表示(&L)"), [this] { mpLabel_Click(); })->setCheckable(true);
    QMenu* line = para->addMenu(QStringLiteral("グラフ線幅(&S)"));
    m_items[QStringLiteral("mpLIne")] = line->menuAction();
    add(line, QStringLiteral("mpLIneSe0"), QStringLiteral("細"), [this] { mpLIneSe_Click(0); })->setCheckable(true);
    add(line, QStringLiteral("mpLIneSe1"), QStringLiteral("太"), [this] { mpLIneSe_Click(1); })->setCheckable(true);
    m_items[QStringLiteral("mpLIneSe0")]->setChecked(true);
    top(QStringLiteral("mend"), QStringLiteral("グラフ終了(&X)"), [this] { mend_Click(); });
    top(QStringLiteral("grhelp"), QStringLiteral("ヘルプ(&H)"), [this] { grhelp_Click(); });

    // The hidden pop-ups.
    m_popR = new QMenu(QStringLiteral("レンジ元に戻す"), this);
    add(m_popR, QStringLiteral("popRange"), QStringLiteral("自動範囲に戻す"), [this] { popRange_Click(); });
    m_popC = new QMenu(QStringLiteral("色の設定"), this);
    add(m_popC, QStringLiteral("popColor"), QStringLiteral("色の変更"), {});
}

void fGraph::build_toolbar() {
    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    struct Button {
        int index;
        const char* key;
        const char* text;  // the picture of the button
        const char* tip;
    };
    static const Button kButtons[] = {{1, "btnRange", "レンジ", "グラフ画面のレンジを変更"},
                                      {3, "btnprint", "印刷", "グラフの印刷"},
                                      {5, "btnlabel", "ラベル", "データラベルの表示"},
                                      {6, "btnline", "線幅", "グラフ線幅変更"}};
    for (const Button& b : kButtons) {
        if (b.index == 3 || b.index == 5) m_toolbar->addSeparator();
        QAction* a = m_toolbar->addAction(QString::fromUtf8(b.text));
        a->setObjectName(QString::fromLatin1(b.key));
        a->setToolTip(QString::fromUtf8(b.tip));
        const int index = b.index;
        connect(a, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
        m_buttons[index] = a;
    }
}

void fGraph::build_ui() {
    build_menus();
    build_toolbar();
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(4, 2, 4, 4);
    v->setSpacing(2);

    auto* header = new QGridLayout;
    header->setHorizontalSpacing(6);
    header->setVerticalSpacing(1);
    auto label = [central](const QString& text) {
        auto* l = new QLabel(text, central);
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    m_txtTitle = new QLineEdit(central);
    m_txtSagyosya = new QLineEdit(central);
    m_txtComment = new QLineEdit(central);
    m_txtLogName = new QLineEdit(central);
    m_txtLogName->setEnabled(false);
    const int em = fontMetrics().horizontalAdvance(QStringLiteral("あ"));
    m_txtTitle->setMinimumWidth(18 * em);
    m_txtSagyosya->setFixedWidth(6 * em);
    m_txtComment->setFixedWidth(6 * em);
    m_txtLogName->setFixedWidth(6 * em);
    header->addWidget(label(QStringLiteral("タイトル：")), 0, 0);
    header->addWidget(m_txtTitle, 0, 1);
    header->addWidget(label(QStringLiteral("作 業 者：")), 1, 0);
    header->addWidget(m_txtSagyosya, 1, 1, Qt::AlignLeft);
    header->addWidget(label(QStringLiteral("コメント：")), 2, 0);
    header->addWidget(m_txtComment, 2, 1, Qt::AlignLeft);
    header->setColumnStretch(2, 1);
    m_laLogName = label(QStringLiteral("ロ グ 名："));
    header->addWidget(m_laLogName, 0, 3);
    header->addWidget(m_txtLogName, 0, 4, Qt::AlignLeft);
    m_laDataNum = label(QStringLiteral("データ数："));
    header->addWidget(m_laDataNum, 1, 3, 1, 2);
    m_laInteval = label(QStringLiteral("収録間隔："));
    header->addWidget(m_laInteval, 2, 3, 1, 2);
    v->addLayout(header);

    m_picture = new GraphPicture(*this, central);
    m_picture->setObjectName(QStringLiteral("gImage"));
    m_picture->setMinimumSize(480, 260);
    v->addWidget(m_picture, 1);
    m_prev = new QToolButton(m_picture);
    m_prev->setObjectName(QStringLiteral("gPrevPage"));
    m_prev->setArrowType(Qt::LeftArrow);
    m_prev->setToolTip(QStringLiteral("前のページ"));
    m_next = new QToolButton(m_picture);
    m_next->setObjectName(QStringLiteral("gNextPage"));
    m_next->setArrowType(Qt::RightArrow);
    m_next->setToolTip(QStringLiteral("次のページ"));
    connect(m_prev, &QToolButton::clicked, this, [this] { gPrevPage_Click(); });
    connect(m_next, &QToolButton::clicked, this, [this] { gNextPage_Click(); });

    m_gpgrid = new platform::Grid(central);
    m_gpgrid->setObjectName(QStringLiteral("gpgrid"));
    m_gpgrid->setRows(5);
    m_gpgrid->setCols(8);
    m_gpgrid->setFixedRows(1);
    m_gpgrid->setFixedCols(0);
    m_gpgrid->setColAlignment(0, Qt::AlignLeft | Qt::AlignVCenter);
    m_gpgrid->setColAlignment(7, Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 1; c <= 6; ++c) m_gpgrid->setColAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    const int rowH = fontMetrics().height() + 6;
    m_gpgrid->setDefaultRowHeight(rowH);
    m_gpgrid->setFixedHeight(5 * rowH + 6);
    m_gpgrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_gpgrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_gpgrid->setEditable(true);
    m_gpgrid->setColEditable(7, true);
    m_gpgrid->setValidateEdit([this](int r, int c, const QString& t) { return gpgrid_ValidateEdit(r, c, t); });
    connect(m_gpgrid, &platform::Grid::afterEdit, this, [this](int r, int c) { gpgrid_AfterEdit(r, c); });
    connect(m_gpgrid, &platform::Grid::cellMouseDown, this,
            [this](int r, int c, Qt::MouseButton b, Qt::KeyboardModifiers) { gpgrid_MouseDown(r, c, b); });
    connect(m_gpgrid, &platform::Grid::cellMouseUp, this,
            [this](int r, int c, Qt::MouseButton b, Qt::KeyboardModifiers) { gpgrid_MouseUp(r, c, b); });
    connect(m_gpgrid, &platform::Grid::cellMouseMove, this,
            [this](int r, int c, Qt::MouseButtons, Qt::KeyboardModifiers) { gpgrid_MouseMove(r, c); });
    v->addWidget(m_gpgrid);
    m_gpgrid->installEventFilter(this);
    for (QLineEdit* box : {m_txtLogName, m_txtSagyosya, m_txtComment}) box->installEventFilter(this);
    setCentralWidget(central);

    connect(m_txtTitle, &QLineEdit::textChanged, this, [](const QString& t) { graph_state().graph_title = t; });
    connect(m_txtLogName, &QLineEdit::textChanged, this, [](const QString& t) { graph_state().graph_log_name = t; });
    connect(m_txtSagyosya, &QLineEdit::textChanged, this, [](const QString& t) { graph_state().graph_worker = t; });
    connect(m_txtComment, &QLineEdit::textChanged, this, [](const QString& t) { graph_state().graph_comment = t; });
}

bool fGraph::temperature(int ch) const { return graph_state().ch_unit_text[ch] == graph::kTempUnit; }

void fGraph::Form_Load() {
    GraphState& g = graph_state();
    IMainWindowServices* mw = model().main_window;
    if (mw && mw->mainWidget()) mw->mainWidget()->setEnabled(false);
    if (HomeSlot::installed()) m_idleGuard.emplace();

    // What the statistics pass overwrites in the data set, put back on closing.
    if (clsLOGGER_SETTING* s = data_setting()) {
        for (int c = 0; c < 4; ++c) {
            m_savedHSum[size_t(c)] = wholeText(s->Ch_h_sum(c));
            m_savedLSum[size_t(c)] = wholeText(s->Ch_l_sum(c));
            m_savedStdText[size_t(c)] = s->Ch_sum_std_count(c);
            m_wholeHSum[size_t(c)] = s->Ch_h_sum_value(c);
            m_wholeLSum[size_t(c)] = s->Ch_l_sum_value(c);
            g.ch_sum_std_saved[size_t(c)] = s->Ch_sum_std_count_value(c);
        }
    }

    static const char* const kHeads[8] = {"CH名", "上限警報数", "下限警報数", "最大値", "最小値", "平均値", "積算値", "CHｺﾒﾝﾄ"};
    for (int c = 0; c < 8; ++c) m_gpgrid->setTextMatrix(0, c, QString::fromUtf8(kHeads[c]));

    platform::setTextLimit(m_txtTitle, 32);
    platform::setTextLimit(m_txtLogName, 8);
    platform::setTextLimit(m_txtComment, 8);
    platform::setTextLimit(m_txtSagyosya, 8);

    // The data on show.
    g.graph_interval_text = m_src.interval_text();
    try {
        g.graph_interval_secs = platform::parseTimeOfDaySeconds(g.graph_interval_text);
    } catch (const std::exception&) {
        g.graph_interval_secs = m_src.record_count() >= 2 ? m_src.record_secs(2) - m_src.record_secs(1) : 0;
    }
    g.graph_rec_count = m_src.record_count();
    g.graph_start_time = m_src.start_time();
    g.graph_stop_time = m_src.stop_time();
    for (int ch = 1; ch <= 4; ++ch) {
        const QString unit = m_src.channel_unit(ch - 1);
        g.ch_present[ch] = unit.isEmpty() ? 0 : 1;
        g.ch_unit_text[ch] = unit;
        // The decimals the channel's values are written with; a channel with
        // no number at all takes one decimal for temperature, none otherwise.
        const int d = m_src.value_decimals(ch - 1);
        g.ch_decimals[ch] = d >= 0 ? d : (unit == graph::kTempUnit ? 1 : 0);
    }

    // The options of the data set the records belong to (defaults without one).
    if (clsLOGGER_GraphInfo* gi = ModelSlot::installed() ? m_src.data_set().graph() : nullptr) {
        graph::graph_option_load(g, *gi, data_setting());
    } else {
        graph::graph_option_load(g, clsLOGGER_GraphInfo(), nullptr);
    }
    // A stored range that does not fit the data (a file's footer, an older
    // count) is brought inside it, at least two records wide.
    if (g.graph_rec_count >= 2 && (g.graph_start_pos < 1 || g.graph_end_pos > g.graph_rec_count ||
                                   g.graph_end_pos <= g.graph_start_pos)) {
        g.graph_end_pos = std::clamp(g.graph_end_pos, 2, g.graph_rec_count);
        g.graph_start_pos = std::clamp(g.graph_start_pos, 1, g.graph_end_pos - 1);
        g.graph_zoom_flag = (g.graph_start_pos == 1 && g.graph_end_pos == g.graph_rec_count) ? 0 : 1;
    }
    m_items[QStringLiteral("mpDMark")]->setChecked(g.datamark_sw);
    m_items[QStringLiteral("mpLIneSe0")]->setChecked(g.graph_line_width != 2);
    m_items[QStringLiteral("mpLIneSe1")]->setChecked(g.graph_line_width == 2);
    m_items[QStringLiteral("mpLabel")]->setChecked(g.graph_label_sw == 1);

    m_txtTitle->setText(g.graph_title);
    m_txtLogName->setText(g.graph_log_name);
    m_txtSagyosya->setText(g.graph_worker == QStringLiteral("        ") ? QString() : g.graph_worker);
    m_txtComment->setText(g.graph_comment == QStringLiteral("        ") ? QString() : g.graph_comment);
    m_laLogName->setText(QStringLiteral("ロ グ 名："));
    m_laDataNum->setText(QStringLiteral("データ数：") + QString::number(g.graph_rec_count));
    m_laInteval->setText(QStringLiteral("収録間隔：") + g.graph_interval_text);

    for (int r = 1; r <= 4; ++r) {
        m_gpgrid->setCellBorder(r, 0, quint32(g.ch_g_color[g.grid_row_order[r]]), 2);
        m_gpgrid->setRow(r);
        m_gpgrid->setCol(7);
        m_gpgrid->setCellBackColor(platform::basicColourOf(palette().window().color()));
    }

    // The window's size: most of the screen, like the graph's own layout.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        resize(avail.width() * 620 / 640, avail.height() * 9 / 10);
        move(avail.x() + (avail.width() - width()) / 2, avail.y() + (avail.height() - height()) / 2);
    }
    layout_plot();
    {
        const bool wasBusy = m_busy;
        m_busy = true;
        S_flamedraw();
        m_busy = wasBusy;
    }
    S_paraset();
    g.stat_ready_flag = 1;
}

void fGraph::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    Form_Activate();
}

void fGraph::Form_Activate() {
    if (!m_firstDrawPending) return;
    m_firstDrawPending = false;
    layout_plot();
    m_busy = true;
    S_graphdraw();
    m_busy = false;
}

void fGraph::closeEvent(QCloseEvent* e) {
    if (m_busy) {
        // A pass is running inside this close: close once it has ended.
        e->ignore();
        return;
    }
    Form_Unload();
    e->accept();
}

void fGraph::Form_Unload() {
    if (m_closed) return;
    m_closed = true;
    GraphState& g = graph_state();
    if (clsLOGGER_GraphInfo* gi = ModelSlot::installed() ? m_src.data_set().graph() : nullptr) {
        graph::graph_option_save(g, *gi, data_setting());
    }
    g.graph_zoom_flag = 0;
    g.graph_label_sw = 0;
    for (int ch = 1; ch <= 4; ++ch) g.ch_scale_manual[ch] = 0;
    IMainWindowServices* mw = model().main_window;
    if (mw && mw->mainWidget()) {
        mw->mainWidget()->setEnabled(true);
        if (HOME* home = home_window()) home->GraphDispReturen(m_dataWindow.data());
        mw->mainWidget()->activateWindow();
    }
    g.stat_ready_flag = 0;
    if (clsLOGGER_SETTING* s = data_setting()) {
        for (int c = 0; c < 4; ++c) {
            s->let_Ch_h_sum(c, m_savedHSum[size_t(c)]);
            s->let_Ch_l_sum(c, m_savedLSum[size_t(c)]);
            s->let_Ch_sum_std_count(c, m_savedStdText[size_t(c)]);
        }
    }
    m_idleGuard.reset();
    if (s_current == this) s_current = nullptr;
}

// ---------------------------------------------------------------- layout

void fGraph::layout_plot() {
    const QFontMetricsF fm(m_picture->font());
    m_textMetrics = {1.5 * fm.horizontalAdvance(QLatin1Char('0')), 1.5 * fm.height(),
                     1.5 * fm.horizontalAdvance(QStringLiteral("あ")), 1.5 * fm.height()};
    m_w = m_textMetrics[0] / 1.5;
    const QSize size = m_picture->size();
    m_laidOutFor = size;
    const double h0 = m_textMetrics[1];
    // Room for one axis column of seven digits on the left and three on the right.
    m_plotLeft = int(std::lround(7 * m_w));
    m_plotWidth = std::max(40, int(std::lround(size.width() - 28 * m_w)));
    m_plotTop = int(std::lround(2.5 * h0));
    m_plotHeight = std::max(40, int(std::lround(size.height() - 5 * h0)));
    m_axisGap = 1;
    const int bw = int(m_textMetrics[2]);
    const int bh = int(m_textMetrics[3]);
    m_prev->setGeometry(m_plotLeft, m_plotTop - bh, bw, bh);
    m_next->setGeometry(m_plotLeft + m_plotWidth - bw, m_plotTop - bh, bw, bh);
}

void fGraph::picture_resized() {
    if (m_firstDrawPending || m_picture->size() == m_laidOutFor) return;
    layout_plot();
    if (!m_busy) {
        m_busy = true;
        S_graphdraw();
        m_busy = false;
    }
}

graph::PlotRect fGraph::plotRect() const {
    return {double(m_plotLeft), double(m_plotTop), double(m_plotWidth), double(m_plotHeight)};
}

int fGraph::graph_decimal_get(qint32& row, int& ch) {
    const GraphState& g = graph_state();
    row = std::clamp<qint32>(row, 1, std::max<qint32>(1, g.graph_rec_count));
    ch = std::clamp(ch, 1, 4);
    const qint32 v = m_src.value(row, ch - 1);
    if (v == IGraphSource::kNoValue || v == IGraphSource::kRangeMark || v > 32767 || v < -32768) return graph::kInvalid;
    return int(v);
}

// ---------------------------------------------------------------- redraw road

bool fGraph::redraw() {
    if (m_busy) return false;
    m_busy = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    S_flamedraw();
    S_graphdraw();
    m_busy = false;
    S_paraset();
    QApplication::restoreOverrideCursor();
    return true;
}

bool fGraph::restat_and_draw() {
    if (m_busy) return false;
    m_busy = true;
    GraphState& g = graph_state();
    const int ready = g.stat_ready_flag;
    g.stat_ready_flag = 0;
    S_maxminave();
    g.stat_ready_flag = ready;
    S_paraset();
    S_graphdraw();
    m_busy = false;
    return true;
}

void fGraph::disable_for(QWidget& dialog) {
    setEnabled(false);
    // A child window is disabled with its parent: the dialog takes its own
    // state back.
    dialog.setEnabled(true);
}

void fGraph::dialog_closed() {
    setEnabled(true);
    if (m_closed || !isVisible()) return;
    raise();
    activateWindow();
}

bool fGraph::enter_busy() {
    if (m_busy) return false;
    m_busy = true;
    return true;
}

void fGraph::leave_busy() { m_busy = false; }

// ---------------------------------------------------------------- commands

// The items whose dialogs and printing come with their own subsystem: the
// shared check (no pass running) and the hook. The modeless dialogs give the
// graph back its place themselves; after a modal one the graph is in front.
void fGraph::mrange_Click() {
    if (m_busy) return;
    if (const auto& f = graph_state().targets[GraphCommand::RangeDialog]) f(*this);
}

void fGraph::run_modal(GraphCommand which) {
    const auto& command = graph_state().targets[which];
    if (m_busy || !command) return;
    command(*this);
    dialog_closed();
}

void fGraph::mgPrint_Click() { run_modal(GraphCommand::GraphPrint); }
void fGraph::mPaperset_Click() { run_modal(GraphCommand::PageSetup); }
void fGraph::mPrinterset_Click() { run_modal(GraphCommand::PrinterSetup); }
void fGraph::mchan_Click() { run_modal(GraphCommand::ChannelDialog); }

void fGraph::mpSVline_Click() {
    if (m_busy) return;
    if (const auto& f = graph_state().targets[GraphCommand::SvlineDialog]) f(*this);
}

// Table printing is the graph's own step, run as the modal items are.
void fGraph::gTablePrint_Click() {
    if (m_busy) return;
    table_print_range();
    dialog_closed();
}

void fGraph::table_print_range() {
    if (printerList().isEmpty()) {
        platform::msgBox(this, QStringLiteral("プリンターが見つかりません。"), platform::MsgButtons::OK,
                         platform::MsgIcon::Exclamation);
        return;
    }
    const QString def = default_printer();
    if (!show_printer_choice(this, printerList(), def.isEmpty() ? pdf_file_printer_name() : def)) return;
    if (!HomeSlot::installed() || !home_state().targets.table_print_graph) return;
    GraphState& g = graph_state();
    // Table printing reads the drawn range from the data set's graph options.
    if (clsLOGGER_GraphInfo* gi = m_src.data_set().graph()) {
        gi->let_GrpDrw_StartPos(g.graph_start_pos);
        gi->let_GrpDrw_EndPos(g.graph_end_pos);
    }
    GraphPrintSource source;
    source.window = dynamic_cast<IDataWindow*>(m_dataWindow.data());
    source.owner = this;
    source.title = m_txtTitle->text();
    source.worker = m_txtSagyosya->text();
    source.comment = m_txtComment->text();
    for (int ch = 1; ch <= 4; ++ch) {
        source.ch_h_alm_text[size_t(ch - 1)] = g.ch_h_alm_text[ch];
        source.ch_l_alm_text[size_t(ch - 1)] = g.ch_l_alm_text[ch];
        source.ch_sum_std_text[size_t(ch - 1)] = g.ch_sum_std_text[ch];
        for (size_t c = 0; c < 6; ++c) source.graph_stat_texts[c][size_t(ch - 1)] = g.graph_stat_texts[c][ch];
    }
    source.whole_h_sum = m_wholeHSum;
    source.whole_l_sum = m_wholeLSum;
    g.print_from_graph_flag = true;
    m_busy = true;
    home_state().targets.table_print_graph(source);
    m_busy = false;
    g.print_from_graph_flag = false;
}

void fGraph::mpDMark_Click() {
    if (m_busy) return;
    GraphState& g = graph_state();
    QAction* item = m_items[QStringLiteral("mpDMark")];
    if (g.datamark_sw) {
        g.datamark_sw = false;
        item->setChecked(false);
        m_busy = true;
        S_graphdraw();
        m_busy = false;
    } else {
        g.datamark_sw = true;
        item->setChecked(true);
        // The marks go over the picture as it stands.
        QPainter p(&m_front);
        S_dmarkdraw(p);
        p.end();
        m_picture->update();
    }
}

void fGraph::mpLabel_Click() {
    if (m_busy) return;
    GraphState& g = graph_state();
    g.graph_label_sw = g.graph_label_sw == 1 ? 0 : 1;
    m_items[QStringLiteral("mpLabel")]->setChecked(g.graph_label_sw == 1);
    m_busy = true;
    S_graphdraw();
    m_busy = false;
}

void fGraph::mpLIneSe_Click(int index) {
    if (m_busy) return;
    GraphState& g = graph_state();
    g.graph_line_width = index == 0 ? 1 : 2;
    m_items[QStringLiteral("mpLIneSe0")]->setChecked(index == 0);
    m_items[QStringLiteral("mpLIneSe1")]->setChecked(index != 0);
    m_busy = true;
    S_graphdraw();
    m_busy = false;
}

void fGraph::mend_Click() { close(); }

void fGraph::popRange_Click() {
    if (m_busy) return;
    GraphState& g = graph_state();
    g.graph_zoom_flag = 0;
    for (int ch = 1; ch <= 4; ++ch) g.ch_scale_manual[ch] = 0;
    redraw();
}

void fGraph::grhelp_Click() { show_help(this, model().help_file, help_context::fGraph_grhelp); }

void fGraph::gPrevPage_Click() { page(false); }
void fGraph::gNextPage_Click() { page(true); }

void fGraph::page(bool next) {
    if (!m_pagingOk || m_busy) return;
    m_pagingOk = false;
    m_prev->setEnabled(false);
    m_next->setEnabled(false);
    m_dragX1 = m_plotLeft + m_plotWidth;
    m_dragY1 = m_plotTop + m_plotHeight;
    GraphState& g = graph_state();
    if (next) graph::page_next(g.graph_start_pos, g.graph_end_pos, g.graph_rec_count);
    else graph::page_prev(g.graph_start_pos, g.graph_end_pos);
    redraw();
    m_pagingOk = true;
}

void fGraph::Toolbar1_ButtonClick(int index) {
    switch (index) {
    case 1: mrange_Click(); break;
    case 3: mgPrint_Click(); break;
    case 5: mpLabel_Click(); break;
    case 6: mpLIneSe_Click(m_items[QStringLiteral("mpLIneSe0")]->isChecked() ? 1 : 0); break;
    default: break;
    }
}

// ---------------------------------------------------------------- mouse on the picture

namespace {

bool clampInto(const graph::PlotRect& r, double& x, double& y) {
    const double cx = std::clamp(x, r.left, r.left + r.width);
    const double cy = std::clamp(y, r.top, r.top + r.height);
    const bool moved = cx != x || cy != y;
    x = cx;
    y = cy;
    return moved;
}

}  // namespace

void fGraph::gImage_MouseDown(Qt::MouseButton button, double x, double y) {
    if (m_busy) return;
    if (button == Qt::LeftButton) {
        m_dragClamped = clampInto(plotRect(), x, y);
        m_dragX1 = x;
        m_dragY1 = y;
        m_bandX = x;
        m_bandY = y;
        m_dragging = true;
    } else if (button == Qt::RightButton) {
        m_popR->popup(m_picture->mapToGlobal(QPoint(int(x), int(y))));
    }
}

void fGraph::gImage_MouseMove(Qt::MouseButtons buttons, double x, double y) {
    if (buttons & Qt::LeftButton) {
        if (!m_dragging) return;
        clampInto(plotRect(), x, y);
        m_bandX = x;
        m_bandY = y;
        m_picture->update();
        return;
    }
    if (buttons != Qt::NoButton || m_busy) return;
    const graph::PlotRect r = plotRect();
    if (!(x > r.left && x < r.left + r.width && y > r.top && y < r.top + r.height)) return;
    const QString text = readout_text(x, y);
    m_picture->setToolTip(text);
    if (text.isEmpty()) QToolTip::hideText();
    else QToolTip::showText(m_picture->mapToGlobal(QPoint(int(x), int(y))), text, m_picture);
}

QString fGraph::readout_text(double x, double y) {
    const GraphState& g = graph_state();
    // Within ten pixels of a record and of a trace.
    const double tolerance = 10.0;
    bool near = false;
    qint32 r = graph::readout_record(x, plotRect(), m_xPerRecord, g.graph_start_pos, g.graph_end_pos, tolerance, &near);
    if (!near) return QString();
    int chosen = 0;
    int value = 0;
    for (int ch = 1; ch <= 4; ++ch) {
        if (g.ch_present[ch] != 1) continue;
        int c = ch;
        const int v = graph_decimal_get(r, c);
        if (v < g.ch_l_scale[ch] || v >= g.ch_h_scale[ch]) continue;
        const double vy = m_plotTop + double(g.ch_h_scale[ch] - v) * m_yPerUnit[size_t(ch)];
        if (std::abs(y - vy) < tolerance) {
            chosen = ch;
            value = v;
            break;
        }
    }
    if (!chosen) return QString();
    const QDateTime t = time_axis().readout_time(r);
    return platform::formatCivil(t) + QLatin1Char(' ') +
           graph::format_scaled(value, g.ch_unit_text[chosen], g.ch_decimals[chosen]) + g.ch_unit_text[chosen];
}

void fGraph::gImage_MouseUp(Qt::MouseButton button, double x, double y) {
    if (button != Qt::LeftButton || !m_dragging) return;
    m_dragging = false;
    const bool upClamped = clampInto(plotRect(), x, y);
    m_dragX2 = x;
    m_dragY2 = y;
    if ((m_dragX1 != m_dragX2 || m_dragY1 != m_dragY2) && !(m_dragClamped && upClamped) && !m_busy) {
        zoom(m_dragX1, m_dragY1, m_dragX2, m_dragY2);
    } else {
        m_picture->update();  // only the band goes
    }
}

void fGraph::zoom(double x1, double y1, double x2, double y2) {
    graph::mouse_range(graph_state(), plotRect(), x1, y1, x2, y2);
    redraw();
}

// ---------------------------------------------------------------- statistics grid

void fGraph::S_paraset() {
    GraphState& g = graph_state();
    const qint32 span = g.graph_end_pos - g.graph_start_pos;
    // Every fill starts from empty texts, so nothing of an earlier range or
    // data set is left for printing.
    for (auto& col : g.graph_stat_texts) col.fill(QString());
    for (int ch = 1; ch <= 4; ++ch) {
        int k = 0;
        for (int r = 1; r <= 4; ++r) {
            if (g.grid_row_order[r] == ch) k = r;
        }
        if (k == 0) break;
        if (g.ch_present[ch] != 1) continue;
        const graph::ChannelStats& s = m_stats[size_t(ch)];
        const QString unit = g.ch_unit_text[ch];
        const int dec = g.ch_decimals[ch];
        m_gpgrid->setTextMatrix(k, 0, QStringLiteral("CH%1 [%2]").arg(ch).arg(unit));
        QStringList cells(7);
        cells[1] = QString::number(s.h_count);
        cells[2] = QString::number(s.l_count);
        if (span + 1 != s.invalid) {
            cells[3] = graph::format_scaled(s.max, unit, dec);
            cells[4] = graph::format_scaled(s.min, unit, dec);
            cells[5] = graph::format_scaled(s.avg, unit, dec);
            if (unit == graph::kTempUnit) {
                cells[6] = graph::format_scaled(s.integ, unit, dec);
            } else {
                cells[1] = cells[2] = cells[6] = QStringLiteral("-----");
            }
        } else {
            for (int c = 1; c <= 6; ++c) cells[c] = QStringLiteral("-----");
        }
        if (!g.ch_graph_draw_sw[ch]) {
            for (int c = 1; c <= 6; ++c) cells[c].clear();
        }
        for (int c = 1; c <= 6; ++c) {
            m_gpgrid->setTextMatrix(k, c, cells[c]);
            g.graph_stat_texts[size_t(c - 1)][ch] = cells[c];
        }
        m_gpgrid->setTextMatrix(k, 7, g.ch_graph_draw_sw[ch] ? g.graph_ch_comment[ch] : QString());
        m_gpgrid->setCellBorder(k, 0, quint32(g.ch_g_color[ch]), 2);
    }
    size_grid_columns();
}

void fGraph::size_grid_columns() {
    // The name 10 digits, the figures 6 (at least their headings), the
    // comment the rest of the grid's width.
    const QFontMetrics fm(m_gpgrid->font());
    const int u = fm.horizontalAdvance(QLatin1Char('0'));
    int used = 0;
    for (int c = 0; c <= 6; ++c) {
        const int want = std::max((c == 0 ? 10 : 6) * u, fm.horizontalAdvance(m_gpgrid->TextMatrix(0, c)) + 12);
        m_gpgrid->setColWidth(c, want);
        used += want;
    }
    m_gpgrid->setColWidth(7, std::max(8 * u, m_gpgrid->contentsRect().width() - used - 2));
}

bool fGraph::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_gpgrid && e->type() == QEvent::Resize) size_grid_columns();
    // The log name, worker and comment boxes select their whole text when
    // they take the focus (the title box does not).
    if (e->type() == QEvent::FocusIn &&
        (watched == m_txtLogName || watched == m_txtSagyosya || watched == m_txtComment)) {
        auto* box = static_cast<QLineEdit*>(watched);
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    }
    return QMainWindow::eventFilter(watched, e);
}

bool fGraph::comment_edit_allowed(int row) const {
    const GraphState& g = graph_state();
    if (row < 1 || row > 4) return false;
    const int ch = g.grid_row_order[row];
    return g.ch_present[ch] == 1 && g.ch_graph_draw_sw[ch];
}

bool fGraph::gpgrid_ValidateEdit(int row, int col, const QString& text) {
    if (col != 7 || !comment_edit_allowed(row)) return false;
    if (platform::cp932::byteLength(text) >= 17) {
        platform::msgBox(this,
                         QStringLiteral("入力制限バイト以上の文字入力を確認しました。\r\n"
                                        "CHコメントは16バイトまで入力可能です。入力し直して下さい。"),
                         platform::MsgButtons::OK, platform::MsgIcon::Critical);
        return false;
    }
    return true;
}

void fGraph::gpgrid_AfterEdit(int row, int col) {
    if (row < 1 || row > 4) return;
    GraphState& g = graph_state();
    g.graph_ch_comment[g.grid_row_order[row]] = m_gpgrid->TextMatrix(row, col);
}

void fGraph::gpgrid_MouseDown(int row, int col, Qt::MouseButton button) {
    if (row < 1 || row > 4 || col != 0) return;
    if (button == Qt::LeftButton && !m_gpgrid->TextMatrix(row, 0).isEmpty()) {
        m_gridDrag = true;
        m_gridDragRow = row;
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else if (button == Qt::RightButton) {
        QAction* item = m_items[QStringLiteral("popColor")];
        item->setText(QStringLiteral("ｸﾞﾗﾌ色変更"));
        QAction* chosen = m_popC->exec(QCursor::pos());
        if (chosen == item) change_row_colour(row);
    }
}

void fGraph::change_row_colour(int row) {
    if (m_busy || row < 1 || row > 4) return;
    GraphState& g = graph_state();
    const int ch = g.grid_row_order[row];
    const QColor chosen = chooseColour(platform::basicColour(quint32(g.ch_g_color[ch])), this);
    dialog_closed();
    if (!chosen.isValid()) return;  // a cancelled choice changes nothing
    g.ch_g_color[ch] = qint32(platform::basicColourOf(chosen));
    m_gpgrid->setCellBorder(row, 0, quint32(g.ch_g_color[ch]), 2);
    m_busy = true;
    S_graphdraw();
    m_busy = false;
}

void fGraph::gpgrid_MouseUp(int row, int col, Qt::MouseButton) {
    if (!m_gridDrag) return;
    m_gridDrag = false;
    QApplication::restoreOverrideCursor();
    if (col != 0 || row < 1 || row > 4 || row == m_gridDragRow || m_gpgrid->TextMatrix(row, 0).isEmpty()) return;
    GraphState& g = graph_state();
    std::swap(g.grid_row_order[m_gridDragRow], g.grid_row_order[row]);
    S_paraset();
}

void fGraph::gpgrid_MouseMove(int row, int col) {
    QString tip;
    if (row >= 1 && row <= 4 && col == 7) tip = QStringLiteral("ｺﾒﾝﾄ入力できます");
    else if (row >= 1 && row <= 4 && col == 0 && !m_gpgrid->TextMatrix(row, 0).isEmpty())
        tip = QStringLiteral("チャンネルの入れ替えができます");
    m_gpgrid->setToolTipText(tip);
}

// ---------------------------------------------------------------- wiring

void install_graph_target(HomeTargets& targets) {
    targets.graph = [] { return fGraph::open_graph() != nullptr; };
    // The graph's own dialogs and printing.
    if (GraphSlot::installed()) install_graph_dialog_targets(graph_state().targets);
}

}  // namespace mq
