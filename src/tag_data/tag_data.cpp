#include "tag_data/tag_data.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QResizeEvent>
#include <QVBoxLayout>

#include "main_window/conversions.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/channel_values.h"
#include "model/common_proc.h"
#include "model/data_set_handle.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"
#include "tag_data/ops_tag.h"
#include "tag_data/tag_records.h"

namespace mq {

namespace {

const QString kData = QStringLiteral("DATA");

// Size cap of a TAG window in twips.
constexpr QSize kCapTwips(9930, 4900);
// Column widths of the records table in twips.
constexpr int kColTwips[8] = {680, 2000, 990, 990, 990, 990, 1400, 1400};
// Records between two progress updates of the storing loop.
constexpr int kProgressEvery = 256;

IMainWindowServices* mainWindow() { return ModelSlot::installed() ? model().main_window : nullptr; }

// A summary value: blank for the row's no-value mark, otherwise in the
// channel's number format, with one blank before it.
QString summaryText(const QString& type, int decimals, double value, double mark) {
    QString t = grid_disp_format_mk(platform::cstrNumber(value));
    if (value == mark) t = QString(5, u' ');
    return QLatin1Char(' ') + Disp_DATA(type, qint16(decimals), t);
}

}  // namespace

std::array<QString, 4> tag_logger_units() {
    std::array<QString, 4> units;
    for (int ch = 0; ch < 4; ++ch) {
        try {
            units[size_t(ch)] = data_gamen_ch_unit_conv(ch);
        } catch (const MissingKeyError&) {
            units[size_t(ch)] = QStringLiteral(" ");
        }
    }
    return units;
}

// ---------------------------------------------------------------- window

tag_data::tag_data(const QString& tag, QWidget* parent) : DataWindowBase(tag, parent) { build_ui(); }

tag_data::~tag_data() = default;

void tag_data::build_ui() {
    setWindowTitle(QStringLiteral("TAG 00"));
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(4, 4, 4, 4);

    auto* upper = new QHBoxLayout;
    m_frame6 = new QGroupBox(this);
    auto* names = new QHBoxLayout(m_frame6);
    m_label2 = new QLabel(QStringLiteral("タグ名"), m_frame6);
    m_label4 = new QLabel(m_frame6);
    m_label4->setTextFormat(Qt::PlainText);
    m_label4->setMinimumWidth(twipsToPixelsX(1200));
    names->addWidget(m_label2);
    names->addWidget(m_label4, 1);
    upper->addWidget(m_frame6, 0, Qt::AlignTop);

    m_stats = new platform::Grid(this);
    m_stats->setRows(4);
    m_stats->setCols(5);
    m_stats->setFixedRows(1);
    m_stats->setFixedCols(1);
    m_stats->setColWidth(0, twipsToPixelsX(900));
    for (int c = 1; c <= 4; ++c) m_stats->setColWidth(c, twipsToPixelsX(1100));
    // The summary always shows its four rows and five columns whole.
    m_stats->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_stats->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int statsHeight = 2 * m_stats->frameWidth() + 2;
    for (int r = 0; r < 4; ++r) statsHeight += m_stats->RowHeight(r);
    int statsWidth = 2 * m_stats->frameWidth() + 2;
    for (int c = 0; c <= 4; ++c) statsWidth += m_stats->ColWidth(c);
    m_stats->setFixedSize(statsWidth, statsHeight);
    upper->addWidget(m_stats, 0, Qt::AlignTop);
    upper->addStretch(1);
    top->addLayout(upper, 0);

    m_grid = new platform::Grid(this);
    m_grid->setCols(8);
    m_grid->setRows(1);
    m_grid->setFixedRows(1);
    m_grid->setFixedCols(1);
    top->addWidget(m_grid, 1);

    // The heads read "CH1[WWW]" until the units are known.
    write_statistics_row_names(m_stats, 3);
    for (int ch = 0; ch < 4; ++ch) m_stats->setTextMatrix(0, ch + 1, QStringLiteral("CH%1[WWW]").arg(ch + 1));
    set_records_layout();

    connect(m_grid, &platform::Grid::cellMouseDown, this,
            [this](int, int, Qt::MouseButton b, Qt::KeyboardModifiers) { vsFlexGrid1_MouseDown(b); });
    connect(m_grid, &platform::Grid::cellMouseUp, this,
            [this](int, int, Qt::MouseButton b, Qt::KeyboardModifiers) { vsFlexGrid1_MouseDown(b); });
    connect(m_grid, &platform::Grid::cellMouseMove, this, [this](int, int, Qt::MouseButtons b, Qt::KeyboardModifiers) {
        if (b & Qt::LeftButton) vsFlexGrid1_MouseDown(Qt::LeftButton);
    });
}

QSize tag_data::sizeHint() const {
    return QSize(twipsToPixelsX(kCapTwips.width()), twipsToPixelsY(kCapTwips.height()));
}

void tag_data::bind_Data1(std::shared_ptr<DbRecordset> recordset) { m_data1 = std::move(recordset); }

tag_data* tag_data::activeTagWindow() {
    IMainWindowServices* mw = mainWindow();
    IDataWindow* w = mw ? mw->activeDataWindow() : nullptr;
    return dynamic_cast<tag_data*>(w);
}

// ---------------------------------------------------------------- layout pieces

void tag_data::set_records_layout() {
    for (int c : {0, 1, 6, 7}) m_grid->setColAlignment(c, Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < 8; ++c) m_grid->setColWidth(c, twipsToPixelsX(kColTwips[c]));
}

void tag_data::write_channel_heads(const std::array<QString, 4>& units) {
    for (int ch = 0; ch < 4; ++ch) {
        const QString head = channel_head(ch, units[size_t(ch)]);
        m_stats->setTextMatrix(0, ch + 1, head);
        m_grid->setTextMatrix(0, ch + 2, head);
    }
}

void tag_data::fill_summary(const clsLOGGER_SETTING& s) {
    for (int ch = 0; ch < 4; ++ch) {
        for (int r = 1; r <= 3; ++r) m_stats->setTextMatrix(r, ch + 1, QString());
    }
    if (s.data_count() == 0) return;
    for (int ch = 0; ch < 4; ++ch) {
        const QString type = s.Ch_input_type(ch);
        if (type == QLatin1String("-") || s.Ch_data_count(ch) == 0) continue;
        const int p = s.Ch_period_pos(ch);
        m_stats->setTextMatrix(1, ch + 1, summaryText(type, p, s.Ch_max_value(ch), -999.9));
        m_stats->setTextMatrix(2, ch + 1, summaryText(type, p, s.Ch_min_value(ch), 9999.9));
        m_stats->setTextMatrix(3, ch + 1, summaryText(type, p, s.Ch_ave_value(ch), 0.0));
    }
}

// ---------------------------------------------------------------- the logger road

void tag_data::disp_tag_data_form(const QString& nn) {
    // The window's own data set, the current one while the logger reads into it.
    const DataSetHandle own = DataSetHandle::of_tag(Tag());
    std::shared_ptr<clsLOGGER_DATA> ds = own.logger();
    if (!ds) throw MissingKeyError("no logger data set for " + Tag().toStdString());
    own.make_current();
    clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();
    const int n = nn.trimmed().toInt();

    set_records_layout();
    m_label4->setText(s.log_name());
    // An empty tag is never read: its window shows no records, with an empty
    // working database behind it like any other window.
    if (!prog_fill_logger_window(*this, *ds, n, tag_records_read_operation(this, n, ds), [&] {
            reset_tag_statistics(s);
            refresh_Data1();
        })) {
        give_up_window();
        return;
    }

    write_channel_heads(tag_logger_units());
    m_grid->setForeColorSel(m_grid->CellForeColor());
    m_grid->setVisible(true);
    m_grid->setRedraw(true);
    QCoreApplication::processEvents();
    set_records_layout();
    fill_summary(s);
}

void tag_data::tag_data_disp_FixedDb(const QString& reply, qint32 q, qint16 r) {
    ModelState& m = model();
    std::shared_ptr<clsLOGGER_DATA> ds = m.act_logger_data;
    if (!ds) throw MissingKeyError("no current logger data set");
    clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();
    clsLOGGER_DATABASE& db = ds->clsLOGGER_DATABASE();

    reset_tag_statistics(s);
    tag_data_save_FixedDb(reply, q, r);

    if (s.data_count() != 0) {
        for (int ch = 0; ch < 4; ++ch) {
            const QString type = s.Ch_input_type(ch);
            if (type == QLatin1String("-") || s.Ch_data_count(ch) == 0) {
                s.let_Ch_ave(ch, QStringLiteral("0"));
                continue;
            }
            // The running minimum and maximum took in measured values only;
            // the queries would read a record without a value as 0.
            const QString fmt = make_value_format(type, s.Ch_period_pos(ch));
            db.Loaded_Mark(qint16(ch + 1), platform::rightAlign(platform::format(s.Ch_max_value(ch), fmt), 10), kData,
                           true);
            db.Loaded_Mark(qint16(ch + 1), platform::rightAlign(platform::format(s.Ch_min_value(ch), fmt), 10), kData,
                           false);
            QString mean = platform::cstrNumber(s.Ch_sum(ch) / double(s.Ch_data_count(ch)));
            s.let_Ch_ave(ch, ch_ave_format_conv(qint16(ch), mean));
        }
    }
    // The marking queries leave DATA as the database's record set.
    bind_Data1(db.Recordset());
    refresh_Data1();
}

void tag_data::tag_data_save_FixedDb(const QString& reply, qint32 q, qint16 r) {
    ModelState& m = model();
    std::shared_ptr<clsLOGGER_DATA> ds = m.act_logger_data;
    if (!ds || !m.logger_main) throw MissingKeyError("no current logger data set");
    clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();
    const clsLOGGER_STATUS& st = m.logger_main->clsLOGGER_STATUS();

    m_grid->setVisible(false);
    m_grid->setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    bind_data_recordset();
    clsLOGGER_DATABASE& db = ds->clsLOGGER_DATABASE();
    bind_Data1(db.Recordset());

    Prog_Dialog* dlg = SeqSlot::installed() ? seq().dialog.data() : nullptr;
    split_tag_reply(reply, q, r, s, [&](const TagReplyRecord& rec) {
        std::array<QString, 4> cells;
        for (int ch = 0; ch < 4; ++ch) cells[size_t(ch)] = tag_stored_ch_text(rec.values[size_t(ch)], ch, s);
        db.AddRecord_TAG(rec.No, rec.time, tag_worker_name(st, rec.worker_no), tag_comment_name(st, rec.comment_no),
                         cells[0], cells[1], cells[2], cells[3]);
        for (int ch = 0; ch < 4; ++ch) {
            const QString& v = rec.values[size_t(ch)];
            if (!cells[size_t(ch)].isEmpty() && tag_is_measured(v) && !is_range_code(value_kind(v.trimmed()))) {
                mark_alarm_value(s, m_grid, kTagFirstChannelCol, v, rec.No - 1, ch + 1);
            }
            tag_stat_update(s, v, ch);
        }
        if (dlg && rec.No % kProgressEvery == 0) dlg->set_progress_value(rec.No);
    });
}

void tag_data::refresh_Data1() { refresh_records_table(m_data1, m_grid, 7); }

void tag_data::show_loaded_records() {
    if (!m_data1 || !m_data1->IsOpen()) return refresh_Data1();
    write_field_names(*m_data1, m_grid, 7);
}

// ---------------------------------------------------------------- size

void tag_data::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form_Resize();
}

void tag_data::Form_Resize() { cap_size_and_enable_commands(kCapTwips); }

// ---------------------------------------------------------------- closing

void tag_data::give_up_window() {
    if (LinkSlot::installed()) link().comm_cancel_flag = false;
    give_up_fill();
}

// ---------------------------------------------------------------- records table mouse

void tag_data::vsFlexGrid1_MouseDown(Qt::MouseButton button) {
    if (HomeSlot::installed() && home_state().win_closing_flag) return;
    if (button == Qt::LeftButton) m_grid->setForeColorSel(m_grid->CellForeColor());
}

// ---------------------------------------------------------------- wiring

void install_tag_data_targets(HomeTargets& targets) {
    targets.create_window[DataWindowKind::Tag] = [](const QString& tag) -> IDataWindow* { return new tag_data(tag); };
    targets.fill[DataFill::LoggerTag] = [](IDataWindow& w, const QString& n) {
        if (auto* tw = dynamic_cast<tag_data*>(&w)) tw->disp_tag_data_form(n);
    };
}

}  // namespace mq
