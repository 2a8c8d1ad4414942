#include "log_data/log_data.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QFontMetrics>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <cmath>

#include "log_data/log_grid_display.h"
#include "log_data/log_records.h"
#include "log_data/ops_log_read.h"
#include "main_window/conversions.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/channel_values.h"
#include "model/common_proc.h"
#include "model/data_set_handle.h"
#include "platform/civil_time.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "model/stat_queries.h"
#include "platform/errors.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

#include <algorithm>

namespace mq {

namespace {

const QString kSixBlanks = QStringLiteral("      ");
const QString kData = QStringLiteral("DATA");

// Size cap of a LOG window in twips.
constexpr QSize kCapTwips(7640, 6390);

// Column widths of the records table in twips.
constexpr int kColTwips[7] = {400, 780, 2000, 990, 990, 990, 990};

IMainWindowServices* mainWindow() { return model().main_window; }

QString channelHead(int ch) {
    QString unit;
    try {
        unit = data_gamen_ch_unit_conv(ch);
    } catch (const MissingKeyError&) {
        unit = QStringLiteral("   ");
    }
    return DataWindowBase::channel_head(ch, unit);
}

// A statistics value as the table shows it: blanked when it is the reset
// value, otherwise in the channel's number format, one blank after.
QString statText(const QString& type, int decimals, double value, double resetValue) {
    QString t = grid_disp_format_mk(platform::cstrNumber(value));
    if (value == resetValue) t = kSixBlanks;
    return Disp_DATA(type, qint16(decimals), t) + QLatin1Char(' ');
}

QString integrationCell(double value) { return platform::format(value, QStringLiteral("0.0")) + QLatin1Char(' '); }

}  // namespace

// ---------------------------------------------------------------- alarm host

LogAlarmHost::LogAlarmHost(platform::Grid* grid, const clsLOGGER_SETTING& s, bool fileData, Prog_Dialog* dlg)
    : m_grid(grid), m_s(s), m_fileData(fileData), m_dlg(dlg) {}

QString LogAlarmHost::channelInputType(int ch) const { return m_s.Ch_input_type(ch - 1); }

bool LogAlarmHost::currentIsFileData() const { return m_fileData; }

void LogAlarmHost::progressAddMaximum(qint64 n) {
    if (m_dlg) m_dlg->set_progress_max(m_dlg->progress_max() + double(n));
}

void LogAlarmHost::progressAdvance(qint64 n) {
    if (m_dlg) m_dlg->set_progress_value(m_dlg->progress_value() + double(n));
}

void LogAlarmHost::setCellForeColor(qint32 row, int col, quint32 colour) {
    if (row < 0 || row >= m_grid->Rows() || col < 0 || col >= m_grid->Cols()) return;
    m_grid->setRow(row);
    m_grid->setCol(col);
    m_grid->setCellForeColor(colour);
}

void LogAlarmHost::yield() { QCoreApplication::processEvents(); }



// ---------------------------------------------------------------- window

log_data::log_data(const QString& tag, QWidget* parent) : DataWindowBase(tag, parent) { build_ui(); }

log_data::~log_data() = default;

void log_data::build_ui() {
    // Margins are kept small: at the window's largest size every column of
    // the records table must fit beside its scroll bar.
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(2, 2, 2, 2);
    top->setSpacing(4);

    m_frame2 = new QGroupBox(this);
    auto* labels = new QGridLayout(m_frame2);
    labels->setContentsMargins(6, 2, 6, 2);
    labels->setVerticalSpacing(2);
    labels->setColumnStretch(3, 1);
    auto addPair = [&](int row, int col, const QString& caption, QLabel*& value) {
        labels->addWidget(new QLabel(caption, m_frame2), row, col * 2);
        value = new QLabel(m_frame2);
        value->setTextFormat(Qt::PlainText);
        labels->addWidget(value, row, col * 2 + 1);
    };
    addPair(0, 0, QStringLiteral("ログ名"), m_label5);
    addPair(0, 1, QStringLiteral("収録間隔"), m_label21);
    addPair(1, 0, QStringLiteral("作業者"), m_label20);
    addPair(1, 1, QStringLiteral("コメント"), m_label19);
    addPair(2, 0, QStringLiteral("開始日時"), m_label23);
    addPair(2, 1, QStringLiteral("終了日時"), m_label22);
    addPair(3, 0, QStringLiteral("データ数"), m_label1);
    // Worker and comment come with every "&" doubled; a label with a buddy
    // shows "&&" as one "&", so the name reads as it was entered.
    m_label20->setBuddy(m_label20);
    m_label19->setBuddy(m_label19);
    top->addWidget(m_frame2);

    auto* middle = new QHBoxLayout;
    m_stats = new platform::Grid(this);
    m_stats->setRows(7);
    m_stats->setCols(5);
    m_stats->setFixedRows(1);
    m_stats->setFixedCols(1);
    middle->addWidget(m_stats, 0, Qt::AlignTop);
    auto* options = new QVBoxLayout;
    m_option1 = new QRadioButton(QStringLiteral("H積算"), this);
    m_option2 = new QRadioButton(QStringLiteral("L積算"), this);
    m_option1->setChecked(true);
    options->addWidget(m_option1);
    options->addWidget(m_option2);
    options->addStretch(1);
    middle->addLayout(options);
    middle->addStretch(1);
    top->addLayout(middle);

    // The records table takes whatever height the other parts leave.
    m_frame1 = new QGroupBox(this);
    m_frame1->setFlat(true);
    m_frame1->setStyleSheet(QStringLiteral("QGroupBox { border: 0; margin: 0; padding: 0; }"));
    auto* f1 = new QVBoxLayout(m_frame1);
    f1->setContentsMargins(0, 0, 0, 0);
    m_grid = new platform::Grid(m_frame1);
    m_grid->setCols(7);
    m_grid->setRows(1);
    m_grid->setFixedRows(1);
    m_grid->setFixedCols(1);
    f1->addWidget(m_grid);
    top->addWidget(m_frame1, 1);

    write_statistics_heads();
    for (int ch = 0; ch < 4; ++ch) m_stats->setTextMatrix(0, ch + 1, QStringLiteral("CH%1[   ]").arg(ch + 1));
    set_records_layout();
    fit_statistics_table();
    // Tiling or dragging never squeezes the settings and statistics away:
    // below this the main window's work area scrolls instead.
    setMinimumSize(minimumSizeHint().width(),
                   m_frame2->sizeHint().height() + m_stats->height() + 3 * m_grid->RowHeight(0) + 16);

    connect(m_option1, &QRadioButton::clicked, this, [this] { Option1_Click(); });
    connect(m_option2, &QRadioButton::clicked, this, [this] { Option2_Click(); });
    connect(m_grid, &platform::Grid::cellMouseDown, this,
            [this](int, int, Qt::MouseButton b, Qt::KeyboardModifiers) { vsFlexGrid1_MouseDown(b); });
    connect(m_grid, &platform::Grid::cellMouseUp, this,
            [this](int, int, Qt::MouseButton b, Qt::KeyboardModifiers) { vsFlexGrid1_MouseUp(b); });
    connect(m_grid, &platform::Grid::cellMouseMove, this,
            [this](int r, int c, Qt::MouseButtons b, Qt::KeyboardModifiers) { vsFlexGrid1_MouseMove(b, r, c); });
}

void log_data::bind_Data1(std::shared_ptr<DbRecordset> recordset) { m_data1 = std::move(recordset); }

log_data* log_data::activeLogWindow() {
    IMainWindowServices* mw = mainWindow();
    IDataWindow* w = mw ? mw->activeDataWindow() : nullptr;
    return dynamic_cast<log_data*>(w);
}

// ---------------------------------------------------------------- layout pieces

void log_data::set_records_layout() {
    for (int c = 0; c < 7; ++c) m_grid->setColWidth(c, twipsToPixelsX(kColTwips[c]));
}

void log_data::fit_statistics_table() {
    // Each column as wide as the widest text it can hold: the row names, and
    // for a channel its head with any unit and a value with its sign.
    const QFontMetrics fm(m_stats->font());
    const int pad = 2 * fm.horizontalAdvance(QLatin1Char(' ')) + 4;
    int names = 0;
    for (int r = 0; r < m_stats->Rows(); ++r) names = std::max(names, fm.horizontalAdvance(m_stats->TextMatrix(r, 0)));
    int channel = 0;
    for (const QString& sample : {QStringLiteral("CH4[ﾟC ]"), QStringLiteral("CH4[mV ]"), QStringLiteral("CH4[ﾟF ]"),
                                  QStringLiteral("-3276.6 "), QStringLiteral("99999.9 "), QStringLiteral("999999")}) {
        channel = std::max(channel, fm.horizontalAdvance(sample));
    }
    m_stats->setColWidth(0, names + pad);
    for (int c = 1; c < m_stats->Cols(); ++c) m_stats->setColWidth(c, channel + pad);

    // Exactly as large as its cells: no scroll bars, no empty band.
    m_stats->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_stats->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int width = 2 * m_stats->frameWidth();
    for (int c = 0; c < m_stats->Cols(); ++c) width += m_stats->ColWidth(c);
    int height = 2 * m_stats->frameWidth();
    for (int r = 0; r < m_stats->Rows(); ++r) height += m_stats->RowHeight(r);
    m_stats->setFixedSize(width, height);
}

void log_data::write_setting_labels(const clsLOGGER_SETTING& s, bool twoDigitYear) {
    m_label5->setText(s.log_name());
    m_label21->setText(s.record_interval());
    m_label20->setText(lblstr_AndCharacterChk(s.Worker()));
    m_label19->setText(lblstr_AndCharacterChk(s.Comment()));
    m_label23->setText(twoDigitYear ? s.Disp_StartTime().mid(2) : s.Disp_StartTime());
    m_label22->setText(twoDigitYear ? s.Disp_StopTime().mid(2) : s.Disp_StopTime());
    m_label1->setText(QString::number(s.data_count()));
}

void log_data::write_column_heads() {
    for (int ch = 0; ch < 4; ++ch) m_grid->setTextMatrix(0, ch + 3, channelHead(ch));
}

void log_data::write_statistics_heads() {
    m_stats->setTextMatrix(0, 0, QString());
    write_statistics_row_names(m_stats);
}

void log_data::fill_statistics() {
    ModelState& m = model();
    if (!m.act_logger_data) return;
    const clsLOGGER_SETTING& s = m.act_logger_data->clsLOGGER_SETTING();
    if (s.data_count() == 0) return;
    for (int ch = 0; ch < 4; ++ch) {
        const QString type = s.Ch_input_type(ch);
        if (type == QLatin1String("-") || s.Ch_data_count(ch) == 0) continue;
        const int p = s.Ch_period_pos(ch);
        const bool volt = type == QLatin1String("V");
        const int col = ch + 1;
        m_stats->setTextMatrix(1, col, statText(type, p, s.Ch_max_value(ch), -999.9));
        m_stats->setTextMatrix(2, col, statText(type, p, s.Ch_min_value(ch), 9999.9));
        m_stats->setTextMatrix(3, col, Disp_DATA(type, qint16(p), grid_disp_format_mk(platform::cstrNumber(s.Ch_ave_value(ch)))) +
                                           QLatin1Char(' '));
        m_stats->setTextMatrix(4, col, volt ? kSixBlanks + QLatin1Char(' ') : integrationCell(s.Ch_h_sum_value(ch)));
        m_stats->setTextMatrix(5, col, volt ? kSixBlanks : grid_disp_format_mk(QString::number(s.CH_H_ALM_NUM(ch))));
        m_stats->setTextMatrix(6, col, volt ? kSixBlanks : grid_disp_format_mk(QString::number(s.CH_L_ALM_NUM(ch))));
    }
}

void log_data::write_graph_defaults(clsLOGGER_DATA& ds) {
    const clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    log_graph_defaults(s, ds.clsLOGGER_GraphInfo(), s.data_count());
}

void log_data::count_alarms(clsLOGGER_DATA& ds) {
    clsLOGGER_SETTING& s = ds.clsLOGGER_SETTING();
    clsLOGGER_DATABASE& db = ds.clsLOGGER_DATABASE();
    if (!db.IsOpen()) return;
    LogAlarmHost host(m_grid, s, model().act_data_kind == 1, seq().dialog.data());
    for (int ch = 0; ch < 4; ++ch) {
        const AlarmLimits limits = alarm_limits(s, ch);
        qint32 h = 0;
        qint32 l = 0;
        try {
            h = db.Loaded_AlarmColorAndNum(qint16(ch + 1), limits, kData, true, &host);
            l = db.Loaded_AlarmColorAndNum(qint16(ch + 1), limits, kData, false, &host);
        } catch (const DatabaseError&) {
        }
        s.let_CH_H_ALM_NUM(ch, h);
        s.let_CH_L_ALM_NUM(ch, l);
    }
}

// ---------------------------------------------------------------- opening

void log_data::disp_log_data_form(const QString& nn) {
    // The window's own data set, the current one while the logger reads into it.
    const DataSetHandle own = DataSetHandle::of_tag(Tag());
    std::shared_ptr<clsLOGGER_DATA> ds = own.logger();
    if (!ds) throw MissingKeyError("no logger data set for " + Tag().toStdString());
    own.make_current();
    clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();

    m_grid->setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    const int n = nn.trimmed().toInt();
    write_setting_labels(s, /*twoDigitYear=*/true);
    // An empty area is never read: its window shows no records, with an
    // empty working database behind it like any other window.
    if (!prog_fill_logger_window(*this, *ds, n, log_records_read_operation(this, n, ds), [&] {
            reset_log_statistics(s);
            refresh_Data1();
        })) {
        give_up_read();
        return;
    }

    write_graph_defaults(*ds);
    count_alarms(*ds);
    write_column_heads();

    m_grid->setForeColorSel(m_grid->CellForeColor());
    m_grid->setVisible(true);
    m_grid->setRedraw(true);
    QCoreApplication::processEvents();

    set_records_layout();
    write_statistics_heads();
    for (int ch = 0; ch < 4; ++ch) m_stats->setTextMatrix(0, ch + 1, channelHead(ch));
    fill_statistics();
    m_option1->setChecked(true);

    if (QMdiSubWindow* sub = frame()) {
        sub->showNormal();
        // The LOG area select dialog enables every data window when it finishes.
        sub->setEnabled(false);
    }
}

// A read that was cancelled or failed: the cancel is taken, the window goes.
void log_data::give_up_read() {
    link().comm_cancel_flag = false;
    give_up_fill();
}

// ---------------------------------------------------------------- the logger read

void log_data::log_data_disp_FixedDb(const QByteArray& reply, qint32 q, qint16 r) {
    log_data_disp_FixedDb(link_bytes_to_text(reply), q, r);
}

void log_data::log_data_disp_FixedDb(const QString& reply, qint32 q, qint16 r) {
    ModelState& m = model();
    std::shared_ptr<clsLOGGER_DATA> ds = m.act_logger_data;
    if (!ds) throw MissingKeyError("no current logger data set");
    clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();
    clsLOGGER_DATABASE& db = ds->clsLOGGER_DATABASE();

    reset_log_statistics(s);
    sum_calc_initial();
    log_data_save_db(reply, q, r);

    if (s.data_count() != 0) {
        for (int ch = 0; ch < 4; ++ch) {
            const QString type = s.Ch_input_type(ch);
            if (type != QLatin1String("-") && s.Ch_data_count(ch) != 0) {
                double vmin = 0.0;
                double vmax = 0.0;
                bool found = true;
                if (m_missingRows[size_t(ch)].empty()) {
                    QString minText, maxText;
                    db.Loaded_MinMax(qint16(ch + 1), minText, maxText, kData);
                    found = !minText.isEmpty() && !maxText.isEmpty();
                    if (found) {
                        vmin = platform::val(minText);
                        vmax = platform::val(maxText);
                    }
                } else {
                    // Records without a value read as 0 in the queries; the
                    // running minimum and maximum never took them in.
                    vmin = s.Ch_min_value(ch);
                    vmax = s.Ch_max_value(ch);
                }
                if (found) {
                    const QString fmt = make_value_format(type, s.Ch_period_pos(ch));
                    const QString maxText = platform::rightAlign(platform::format(vmax, fmt), 10);
                    const QString minText = platform::rightAlign(platform::format(vmin, fmt), 10);
                    db.Loaded_Mark(qint16(ch + 1), maxText, kData, true);
                    db.Loaded_Mark(qint16(ch + 1), minText, kData, false);
                    s.let_Ch_min(ch, space_delete(minText));
                    s.let_Ch_max(ch, space_delete(maxText));
                }
            }
            if (s.Ch_data_count(ch) != 0) {
                QString mean = platform::cstrNumber(s.Ch_sum(ch) / double(s.Ch_data_count(ch)));
                s.let_Ch_ave(ch, ch_ave_format_conv(qint16(ch), mean));
            } else {
                s.let_Ch_ave(ch, kSixBlanks);
            }
        }
    }

    // The marking queries leave DATA as the database's record set.
    bind_Data1(db.Recordset());
    show_loaded_records();
    sum_calc_end(s);

    log_graph_from_setting(s, ds->clsLOGGER_GraphInfo(), s.data_count());
}

void log_data::log_data_save_db(const QString& reply, qint32 q, qint16 r) {
    ModelState& m = model();
    std::shared_ptr<clsLOGGER_DATA> ds = m.act_logger_data;
    if (!ds) throw MissingKeyError("no current logger data set");

    m_grid->setVisible(false);
    m_grid->setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    bind_data_recordset(this);
    bind_Data1(ds->clsLOGGER_DATABASE().Recordset());

    for (auto& rows : m_missingRows) rows.clear();
    Prog_Dialog* dlg = SeqSlot::installed() ? seq().dialog.data() : nullptr;
    LogRecordWriter writer(ds->clsLOGGER_DATABASE(), m_grid);
    // The bar moves by whole pixels, and working out whether it must repaint
    // costs a style computation per value: it advances every 256 records and
    // once more at the end, to the same value as record by record.
    struct Load : LogReplyLoader {
        Prog_Dialog* dlg;
        int sinceBar = 0;
        Load(clsLOGGER_DATA& d, std::array<std::vector<qint32>, 4>& m, LogRecordWriter& w, Prog_Dialog* p)
            : LogReplyLoader(d, m, w), dlg(p) {}
        void record(const LogReplyFields& rec) override {
            LogReplyLoader::record(rec);
            if (dlg && ++sinceBar == 256) advance();
        }
        void advance() {
            dlg->set_progress_value(dlg->progress_value() + sinceBar);
            sinceBar = 0;
        }
    } load(*ds, m_missingRows, writer, dlg);
    split_log_reply_fields(reply, q, r, ds->clsLOGGER_SETTING(), load);
    load.finish();
    if (dlg && load.sinceBar > 0) load.advance();
}

void log_data::refresh_Data1() {
    m_graphArrays = GraphArrays{};
    refresh_records_table(m_data1, m_grid, 6);
}

void log_data::show_loaded_records(qint32 count) {
    clsLOGGER_DATABASE* db = window_database();
    if (!m_data1 || !m_data1->IsOpen()) {
        if (db) m_data1 = db->Recordset();
    }
    if (!db || !m_data1 || !m_data1->IsOpen()) {
        refresh_Data1();
        return;
    }
    m_grid->setRedraw(false);
    const QStringList names = m_data1->FieldNames();
    if (count < 0) count = m_data1->RecordCount();
    const int lastField = std::min<int>(6, int(names.size()) - 1);
    m_grid->setRows(count + 1);
    for (int c = 0; c <= lastField; ++c) m_grid->setTextMatrix(0, c, names[c]);
    for (const MarkedCell& cell : db->takeMarkedCells()) {
        if (cell.No >= 1 && cell.No <= count) m_grid->setTextMatrix(cell.No, cell.ch + 2, cell.text);
    }
    m_grid->setRedraw(true);
}

// ---------------------------------------------------------------- option buttons

void log_data::Option1_Click() { show_integration(true); }
void log_data::Option2_Click() { show_integration(false); }

void log_data::show_integration(bool high) {
    log_data* target = activeLogWindow();
    if (!target) target = this;
    ModelState& m = model();
    const clsLOGGER_SETTING* s = nullptr;
    if (target->Tag().startsWith(QLatin1Char('F'))) {
        if (m.act_file_data) s = &m.act_file_data->clsLOGGER_SETTING();
    } else if (m.act_logger_data) {
        s = &m.act_logger_data->clsLOGGER_SETTING();
    }
    if (!s) return;
    for (int ch = 0; ch < 4; ++ch) {
        const QString type = s->Ch_input_type(ch);
        if (type == QLatin1String("-") || s->Ch_data_count(ch) == 0 || type == QLatin1String("V")) continue;
        target->m_stats->setTextMatrix(4, ch + 1, integrationCell(high ? s->Ch_h_sum_value(ch) : s->Ch_l_sum_value(ch)));
    }
}

// ---------------------------------------------------------------- size

void log_data::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (m_openingSized) return;
    QMdiSubWindow* sub = frame();
    if (!sub) return;
    m_openingSized = true;
    // The window opens at its largest size, so that the settings, the
    // statistics and every record column show without resizing; the main
    // window keeps it inside its work area.
    const QSize frameExtra = sub->sizeHint() - sizeHint();
    QSize want(twipsToPixelsX(kCapTwips.width()), twipsToPixelsY(kCapTwips.height()));
    want = want.expandedTo(minimumSize() + frameExtra);
    if (QWidget* area = sub->parentWidget()) want = want.boundedTo(area->size());
    sub->resize(want);
}

void log_data::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form_Resize();
}

void log_data::Form_Resize() { cap_size_and_enable_commands(kCapTwips); }

// ---------------------------------------------------------------- records table mouse

void log_data::vsFlexGrid1_MouseDown(Qt::MouseButton button) {
    if (home_state().win_closing_flag) return;
    if (button == Qt::LeftButton) m_grid->setForeColorSel(m_grid->CellForeColor());
}

void log_data::vsFlexGrid1_MouseUp(Qt::MouseButton button) { vsFlexGrid1_MouseDown(button); }

void log_data::vsFlexGrid1_MouseMove(Qt::MouseButtons buttons, int row, int col) {
    if (home_state().win_closing_flag) return;
    if (buttons & Qt::LeftButton) m_grid->setForeColorSel(m_grid->CellForeColor());
    if (row == 0 && col >= 3 && col <= 6) {
        m_grid->setToolTipText(channel_head_tooltip(col - 3));
    } else {
        m_grid->setToolTipText(QString());
    }
}

// ---------------------------------------------------------------- graph source

namespace {

// "yyyy/mm/dd hh:nn:ss" as the table writes it, to civil seconds; other forms
// through the general reader; 0 when the text is no date-time.
qint64 table_time_secs(const QString& t) {
    auto d = [&](int i) { return t[i].unicode() - u'0'; };
    bool fixedForm = t.size() == 19 && t[4] == QLatin1Char('/') && t[7] == QLatin1Char('/') && t[10] == QLatin1Char(' ') &&
                     t[13] == QLatin1Char(':') && t[16] == QLatin1Char(':');
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18}) {
        if (fixedForm && (t[i] < QLatin1Char('0') || t[i] > QLatin1Char('9'))) fixedForm = false;
    }
    if (fixedForm) {
        const int y = d(0) * 1000 + d(1) * 100 + d(2) * 10 + d(3);
        const int mo = d(5) * 10 + d(6);
        const int da = d(8) * 10 + d(9);
        const int h = d(11) * 10 + d(12);
        const int mi = d(14) * 10 + d(15);
        const int se = d(17) * 10 + d(18);
        const QDate date(y, mo, da);
        if (date.isValid() && h < 24 && mi < 60 && se < 60) {
            return (date.toJulianDay() - 2440588) * 86400 + h * 3600 + mi * 60 + se;
        }
    }
    try {
        return platform::parseCivil(t).toSecsSinceEpoch();
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace

void log_data::build_graph_arrays() const {
    GraphArrays a;
    const qint32 n = std::max(0, m_grid->Rows() - 1);
    for (auto& v : a.values) v.resize(size_t(n));
    a.secs.resize(size_t(n));
    a.marks.resize(size_t(n));
    const int cols = m_grid->Cols();
    for (qint32 r = 1; r <= n; ++r) {
        const size_t i = size_t(r - 1);
        a.marks[i] = m_grid->TextMatrix(r, 0).trimmed() == QLatin1String("*") ? 1 : 0;
        a.secs[i] = cols > 2 ? table_time_secs(m_grid->TextMatrix(r, 2)) : 0;
        for (int ch = 0; ch < 4; ++ch) {
            if (ch + 3 >= cols) {
                a.values[size_t(ch)][i] = kNoValue;
                continue;
            }
            const QString cell = m_grid->TextMatrix(r, ch + 3);
            int dec = -1;
            qint32 v = graph_cell_value(cell, &dec);
            if (v == kRangeMark && cell.contains(QLatin1String("U.R."))) v = kUnderMark;
            if (dec >= 0 && a.decimals[size_t(ch)] < 0) a.decimals[size_t(ch)] = dec;
            a.values[size_t(ch)][i] = v;
        }
    }
    a.built = true;
    m_graphArrays = std::move(a);
}

qint32 log_data::record_count() const {
    if (!m_graphArrays.built) build_graph_arrays();
    return qint32(m_graphArrays.secs.size());
}

QString log_data::channel_unit(int ch) const {
    // The heading is "CH", the channel number and the unit in brackets; a
    // heading of six characters ("CH1[-]"-like, no unit) marks an unused channel.
    const QString h = m_grid->Cols() > ch + 3 ? m_grid->TextMatrix(0, ch + 3) : QString();
    if (h.size() == 6 || h.size() < 5) return QString();
    return h.mid(4, h.size() - 5);
}

int log_data::value_decimals(int ch) const {
    if (!m_graphArrays.built) build_graph_arrays();
    return m_graphArrays.decimals[size_t(ch)];
}

clsLOGGER_SETTING* log_data::window_setting() const { return data_set().setting(); }

QString log_data::interval_text() const { return m_label21->text(); }

QDateTime log_data::start_time() const {
    const clsLOGGER_SETTING* s = window_setting();
    if (s && s->start_time().isValid()) return s->start_time();
    return QDateTime::fromSecsSinceEpoch(record_count() > 0 ? record_secs(1) : 0, Qt::UTC);
}

QDateTime log_data::stop_time() const {
    const clsLOGGER_SETTING* s = window_setting();
    if (s && s->stop_time().isValid()) return s->stop_time();
    const qint32 n = record_count();
    return QDateTime::fromSecsSinceEpoch(n > 0 ? record_secs(n) : 0, Qt::UTC);
}

void log_data::integrate_range(qint32 first, qint32 last) {
    clsLOGGER_SETTING* s = window_setting();
    if (!s) return;
    const qint32 n = record_count();
    first = std::max(first, 1);
    last = std::min(last, n);
    const IntegNumbersSetup c = integ_numbers_setup(*s);
    if (const auto& done = m_graphArrays.integration;
        done && done->first == first && done->last == last && done->setup == c) {
        log_data_state() = done->state;
        sum_calc_end(*s);
        return;
    }
    sum_calc_initial();
    std::array<double, 4> scale{};
    for (int ch = 0; ch < 4; ++ch) scale[size_t(ch)] = std::pow(10.0, std::max(0, m_graphArrays.decimals[size_t(ch)]));
    std::array<float, 4> values{};
    std::array<IntegValue, 4> kinds{};
    for (qint32 r = first; r <= last; ++r) {
        for (int ch = 0; ch < 4; ++ch) {
            const qint32 v = m_graphArrays.values[size_t(ch)][size_t(r - 1)];
            if (v == kNoValue) kinds[size_t(ch)] = IntegValue::Missing;
            else if (v == kUnderMark) kinds[size_t(ch)] = IntegValue::Under;
            else if (v == kRangeMark) kinds[size_t(ch)] = IntegValue::Over;
            else {
                kinds[size_t(ch)] = IntegValue::Number;
                values[size_t(ch)] = float(double(v) / scale[size_t(ch)]);
            }
        }
        h_sum_l_sum_calc_numbers(c, m_graphArrays.secs[size_t(r - 1)], kinds, values);
    }
    m_graphArrays.integration = GraphArrays::Integration{first, last, c, log_data_state()};
    sum_calc_end(*s);
}

bool log_data::shows_upper_integration() const { return !m_option2->isChecked(); }

DataSetHandle log_data::data_set() const { return DataSetHandle::of_tag(Tag()); }

// ---------------------------------------------------------------- wiring

void install_log_data_targets(HomeTargets& targets) {
    targets.create_window[DataWindowKind::Log] = [](const QString& tag) -> IDataWindow* { return new log_data(tag); };
    targets.fill[DataFill::LoggerLog] = [](IDataWindow& w, const QString& n) {
        if (auto* lw = dynamic_cast<log_data*>(&w)) lw->disp_log_data_form(n);
    };
}

}  // namespace mq
