#include "printing/table_print.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "log_data/log_data.h"
#include "main_window/conversions.h"
#include "main_window/home_state.h"
#include "main_window/small_windows.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "model/op_mode.h"
#include "platform/errors.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/print_queue.h"
#include "printing/print_source.h"

namespace mq {

namespace {

// Every primitive draws this much further left and up than it is told.
constexpr double kShift = 6;
// Width the titles are centred on: the paper less the shift on both sides.
constexpr double kCentreWidth = 210 - kShift - kShift;
constexpr int kSmall = 9;

QString fixedTitle() { return QStringLiteral("マロウクイル　収録データ"); }

}  // namespace

QString PR::print_font_family() const {
    // The pages are laid out for a Japanese gothic face whose half-width
    // characters are half as wide as the full-width ones: the date and value
    // columns fit their cells in it. Without it, the dialog's own face.
    const QString gothic = QStringLiteral("IPAGothic");
    if (QFontDatabase::hasFamily(gothic)) return gothic;
    return font().family();
}

namespace {

}  // namespace

// ---------------------------------------------------------------- dialog

PR::PR(const GraphPrintSource* graph, QWidget* parent, PrintHooks hooks) : QDialog(parent), m_hooks(std::move(hooks)) {
    if (graph) {
        m_print_from_graph_flag = true;
        m_graph = *graph;
    }
    build_ui();
}

PR::~PR() = default;

void PR::build_ui() {
    setWindowTitle(QStringLiteral("表印刷の設定"));
    setModal(true);

    Frame2 = new QGroupBox(QStringLiteral("項目"), this);
    Check1 = new QCheckBox(QStringLiteral("【設定値】"), Frame2);
    Check2 = new QCheckBox(QStringLiteral("【演算値】"), Frame2);
    Check3 = new QCheckBox(QStringLiteral("タイトル"), Frame2);
    Check4 = new QCheckBox(QStringLiteral("機器名称"), Frame2);
    Check5 = new QCheckBox(QStringLiteral("印刷日時"), Frame2);
    auto* items = new QVBoxLayout(Frame2);
    for (QCheckBox* c : {Check1, Check2, Check3, Check4, Check5}) {
        c->setChecked(true);
        items->addWidget(c);
    }

    Frame1 = new QGroupBox(QStringLiteral("範囲"), this);
    Option2 = new QRadioButton(QStringLiteral("全てのページを印刷する。"), Frame1);
    Option1 = new QRadioButton(QStringLiteral("先頭ページのみを印刷する。"), Frame1);
    Option1->setChecked(true);
    auto* range = new QVBoxLayout(Frame1);
    range->addWidget(Option2);
    range->addWidget(Option1);

    Label1 = new QLabel(QStringLiteral("データ数が多い場合は、印刷ページ数が多くなりますのでご注意下さい。"), this);
    Label1->setWordWrap(true);
    QPalette pal = Label1->palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::Highlight));
    Label1->setPalette(pal);
    Label1->setVisible(false);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command2 = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    Command3 = new QPushButton(QStringLiteral("印刷停止"), this);
    Command4 = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    Command1->setDefault(true);
    Command1->setAutoDefault(true);
    for (QPushButton* b : {Command2, Command3, Command4}) b->setAutoDefault(false);

    connect(Option1, &QRadioButton::clicked, this, &PR::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &PR::Option2_Click);
    connect(Command1, &QPushButton::clicked, this, &PR::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PR::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &PR::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &PR::Command4_Click);

    auto* left = new QVBoxLayout;
    left->addWidget(Frame2);
    left->addWidget(Frame1);
    left->addWidget(Label1);
    left->addStretch();
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {Command1, Command2, Command3, Command4}) buttons->addWidget(b);
    buttons->addStretch();
    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addLayout(buttons);

    // The warning may appear later; leave room for it from the start.
    Label1->setMinimumWidth(Frame1->sizeHint().width());
    resize(qMax(sizeHint().width(), 420), sizeHint().height() + Label1->sizeHint().height() * 2);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->availableGeometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
}

bool PR::checked(QCheckBox* box) const { return box->isChecked(); }

void PR::Option1_Click() {
    m_print_first_page_only = true;
    Label1->setVisible(false);
}

void PR::Option2_Click() {
    m_print_first_page_only = false;
    Label1->setVisible(true);
}

void PR::Command2_Click() {
    if (!m_print_busy) QDialog::reject();
}

void PR::reject() {
    // Escape and the close button act as the cancel button: not during a run.
    Command2_Click();
}

void PR::closeEvent(QCloseEvent* e) {
    if (m_print_busy) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void PR::Command3_Click() {
    // The run sees the request at its next row or page and discards the job.
    m_print_abort = true;
}

void PR::Command4_Click() { show_help(this, model().help_file, help_context::PR); }

// ---------------------------------------------------------------- the run

void PR::Command1_Click() {
    if (m_print_busy) return;
    m_print_busy = true;
    m_print_ok_flag = true;
    m_outcome = Outcome::None;
    m_pages_sent = 0;
    m_sheets.reset();

    Source src;
    IDataWindow* w = m_print_from_graph_flag ? m_graph.window
                                 : (model().main_window ? model().main_window->activeDataWindow() : nullptr);
    bool found = false;
    if (w && w->widget()) {
        src.window = w;
        src.widget = w->widget();
        const QString tag = w->Tag();
        src.window_no = tag.mid(1, 2).toInt();
        src.is_file = !tag.startsWith(QLatin1Char('L'));
        const QString key = tag.left(3);
        ModelState& m = model();
        try {
            if (src.is_file && m.file_main) {
                src.fileData = m.file_main->colFILE_DATA().Item(key);
                src.setting = &src.fileData->clsLOGGER_SETTING();
                src.status = &src.fileData->clsLOGGER_STATUS();
                src.graphInfo = &src.fileData->clsLOGGER_GraphInfo();
                found = true;
            } else if (!src.is_file && m.logger_main) {
                src.loggerRoot = m.logger_main;
                src.loggerData = m.logger_main->colLOGGER_DATA().Item(key);
                src.setting = &src.loggerData->clsLOGGER_SETTING();
                src.status = &m.logger_main->clsLOGGER_STATUS();
                src.graphInfo = &src.loggerData->clsLOGGER_GraphInfo();
                found = true;
            }
        } catch (const MissingKeyError&) {
            found = false;
        }
    }
    if (!found) {
        m_outcome = Outcome::NothingToPrint;
        m_print_busy = false;
        accept();
        return;
    }

    src.tag = !is_log_data(op_mode_of(src.status->mode_type()));
    if (auto* logWindow = dynamic_cast<log_data*>(w)) src.integralHigh = !logWindow->Option2()->isChecked();

    // The rows: the drawn range of the graph, or the whole table. The table
    // can hold no more than its grid rows, whatever the counts say.
    platform::Grid* g = src.grid();
    const qint32 gridRecords = g ? qMax(0, g->Rows() - 1) : 0;
    if (m_print_from_graph_flag) {
        src.startRow = qMax<qint32>(1, src.graphInfo->GrpDrw_StartPos());
        src.endRow = qMin<qint32>(gridRecords, src.graphInfo->GrpDrw_EndPos());
        src.records = qMax<qint32>(0, src.endRow - src.startRow + 1);
    } else {
        src.startRow = 1;
        src.records = qMin<qint32>(gridRecords, qMax<qint32>(0, src.setting->data_count()));
        src.endRow = src.records;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_sheets = m_hooks.sheets ? m_hooks.sheets() : std::make_unique<PrintSheets>();
    const bool rendered = render(src, src.tag);
    QApplication::restoreOverrideCursor();

    if (!rendered) {
        m_sheets.reset();
        if (!m_print_ok_flag) {
            m_outcome = Outcome::PrinterError;
            platform::msgBox(this, printer_error_message(), platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        } else {
            m_outcome = Outcome::Stopped;
        }
    } else {
        send(src);
    }
    m_print_busy = false;
    accept();
}

void PR::send(Source& src) {
    QPrinter printer(QPrinter::HighResolution);
    if (!prepare_chosen_printer(printer, this, m_hooks.dialog)) {
        m_outcome = Outcome::Cancelled;
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString name = print_job_name(src.widget ? src.widget->windowTitle() : QString());
    const DeliveryResult r = deliver_sheets(*m_sheets, printer, print_font_family(), name, [this](int pages) {
        // Let the stop button act between the pages sent, as between rows.
        m_pages_sent = pages;
        QCoreApplication::processEvents();
        return !m_print_abort;
    });
    QApplication::restoreOverrideCursor();
    if (r.stopped) {
        m_outcome = Outcome::Stopped;
        return;
    }
    if (!r.ok) {
        m_outcome = Outcome::PrinterError;
        platform::msgBox(this, r.message, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        return;
    }
    m_outcome = Outcome::Printed;
}

bool PR::render(Source& src, bool tag) {
    const bool c1 = checked(Check1), c2 = checked(Check2);
    m_print_page_no = 1;
    m_print_row_cursor = src.startRow - 1;
    m_count = print_page_count(src.records, tag ? tag_first_capacity(c1, c2) : log_first_capacity(c1, c2));
    auto stopped = [this] { return m_print_abort || !m_print_ok_flag; };

    if (stopped()) return false;
    print_first_page(src, tag);
    if (stopped()) return false;
    if (!m_print_first_page_only) {
        while (m_count.middle_pages > 0) {
            if (stopped()) return false;
            print_later_page(src, tag, kRowsPerLaterPage);
            if (stopped()) return false;
            --m_count.middle_pages;
        }
        if (m_count.last_rows > 0) {
            print_later_page(src, tag, m_count.last_rows);
            if (stopped()) return false;
        }
    }
    return true;
}

void PR::print_first_page(Source& src, bool tag) {
    print_page_head();
    print_title(src);
    if (tag) {
        tag_print_info(src);
        if (checked(Check1)) tag_print_settings(src);
        if (checked(Check2)) tag_print_computed(src);
        tag_print_rows(src, m_count.first_rows, true);
    } else {
        log_print_info(src);
        if (checked(Check1)) log_print_settings(src);
        if (checked(Check2)) log_print_computed(src);
        log_print_rows(src, m_count.first_rows, true);
    }
    if (m_print_abort || !m_print_ok_flag) return;
    print_page_number();
    ++m_print_page_no;
}

void PR::print_later_page(Source& src, bool tag, qint32 rows) {
    print_page_head();
    print_title(src);
    if (tag) {
        tag_print_rows(src, rows, false);
    } else {
        log_print_rows(src, rows, false);
    }
    if (m_print_abort || !m_print_ok_flag) return;
    print_page_number();
    ++m_print_page_no;
}

// ---------------------------------------------------------------- page frame

void PR::print_page_head() {
    if (!checked(Check5)) return;
    const QDate today = m_hooks.today ? m_hooks.today() : QDate::currentDate();
    QString text = Disp_DATETIME(QDateTime(today, QTime(0, 0), Qt::UTC)).left(10) + QStringLiteral("  印刷");
    if (m_print_from_graph_flag) text += QLatin1Char('*');
    print_text_at(170, 8, kSmall, text);
}

void PR::print_title(const Source& src) {
    if (checked(Check3)) print_text_centre(11, 16, m_print_from_graph_flag ? m_graph.title : fixedTitle());
    if (checked(Check4)) {
        print_text_at(26, 16, 11, QStringLiteral("機器名称："));
        print_text_at(45, 16, 11, src.status->user_model_name());
    }
}

void PR::print_page_number() {
    if (m_print_first_page_only) return;
    print_text_centre(285, 11, page_number_text(m_print_page_no, m_count.page_total));
    if (!m_sheets->new_page()) m_print_ok_flag = false;
}

void PR::print_text_at(double x, double y, int size, const QString& text) {
    if (!m_sheets->text_left(x - kShift, y - kShift, size, text)) m_print_ok_flag = false;
}

void PR::print_text_centre(double y, int size, const QString& text) {
    if (!m_sheets->text_centre(kCentreWidth, y - kShift, size, text)) m_print_ok_flag = false;
}

void PR::print_text_right(double x, double y, int size, const QString& text) {
    if (!m_sheets->text_right(x - kShift, y - kShift, size, text)) m_print_ok_flag = false;
}

void PR::print_line(double x1, double y1, double x2, double y2) {
    if (!m_sheets->box(x1 - kShift, y1 - kShift, x2 - kShift, y2 - kShift)) m_print_ok_flag = false;
}

bool PR::yield_row(const Source& src) {
    // Let the stop button act between rows.
    QCoreApplication::processEvents();
    if (m_rowObserver) m_rowObserver(m_print_row_cursor + 1);
    // A table that went away cannot give its rows: the job is given up.
    if (!src.widget) m_print_abort = true;
    return !m_print_abort && m_print_ok_flag;
}

// ---------------------------------------------------------------- shared block row

void PR::print_value_row(const QString& label, const QString& t1, const QString& t2, const QString& t3,
                         const QString& t4) {
    print_line(m_print_col_x[0], m_print_row_top, m_print_col_x[1], m_print_row_bottom);
    print_text_at(m_print_col_x[0] + 2, m_print_row_top + 1, kSmall, label);
    const QString* texts[4] = {&t1, &t2, &t3, &t4};
    for (int n = 0; n < 4; ++n) {
        print_line(m_print_col_x[n + 1], m_print_row_top, m_print_col_x[n + 2], m_print_row_bottom);
        print_text_right(m_print_col_x[n + 1] + 16, m_print_row_top + 1, kSmall, block_cell_text(*texts[n]));
    }
}

// ---------------------------------------------------------------- entry points

void table_print_show() {
    IMainWindowServices* mw = model().main_window;
    PR dialog(nullptr, mw ? mw->mainWidget() : nullptr);
    dialog.exec();
}

void table_print_show_graph(const GraphPrintSource& graph) {
    // print_from_graph_flag is True exactly while this dialog is shown.
    // The dialog stands over the graph it was opened from, not over the data
    // window behind the graph.
    PR dialog(&graph, graph.owner ? graph.owner : graph.window ? graph.window->widget() : nullptr);
    dialog.exec();
}

void install_table_print_targets(HomeTargets& targets) {
    targets.commands[HomeCommand::TablePrint] = [] { table_print_show(); };
    targets.table_print_graph = [](const GraphPrintSource& graph) { table_print_show_graph(graph); };
}

}  // namespace mq
