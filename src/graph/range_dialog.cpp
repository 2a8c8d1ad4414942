// The range dialog "レンジ設定" and the spinner the graph's dialogs share.
#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

#include "graph/fgraph.h"
#include "graph/graph_dialogs.h"
#include "model/cur_accessors.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "platform/numbers.h"

namespace mq {

// ---------------------------------------------------------------- spinner

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(18, 12);
    }
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(m_up);
    v->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, [this] { stepUp(); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepDown(); });
}

bool UpDown::setValue(int v) {
    if (v < m_min || v > m_max) return false;
    if (v == m_value) return true;
    m_value = v;
    emit changed(v);
    return true;
}

void UpDown::setRange(int min, int max) {
    m_min = min;
    m_max = std::max(min, max);
    if (m_value < m_min) setValue(m_min);
    else if (m_value > m_max) setValue(m_max);
}

void UpDown::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        m_up->setEnabled(isEnabled());
        m_down->setEnabled(isEnabled());
    }
}

// ---------------------------------------------------------------- range dialog

namespace {

QPointer<fGrarange2> s_range;

// A box read by its leading number; a text without one reads 0, one too
// large for a number reads as infinitely large (so every range check refuses it).
double num(const QLineEdit* box) {
    try {
        return platform::val(box->text());
    } catch (const OverflowError&) {
        return box->text().trimmed().startsWith(QLatin1Char('-')) ? -std::numeric_limits<double>::infinity()
                                                                  : std::numeric_limits<double>::infinity();
    }
}

// To the nearest whole number (halves to even), kept within qint32.
qint32 roundInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<qint32>::max();
    if (v <= -2147483648.0) return std::numeric_limits<qint32>::min();
    return qint32(std::nearbyint(v));
}

QString numberText(double v) { return platform::cstrNumber(v); }

const QString kTimePicture = QStringLiteral("yyyy-mm-dd hh:nn:ss");

// The focus back into a box once the focus change under way has ended.
void focus_back(QLineEdit* box) {
    QTimer::singleShot(0, box, [box] { box->setFocus(); });
}

}  // namespace

fGrarange2* fGrarange2::current() { return s_range.data(); }

fGrarange2::fGrarange2(fGraph& graph) : QDialog(&graph), m_graph(&graph) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("レンジ設定"));
    s_range = this;
    build_ui();
    Form_Load();
}

fGrarange2::~fGrarange2() { Form_Unload(); }

bool fGrarange2::temperature(int ch) const { return graph_state().ch_unit_text[ch] == graph::kTempUnit; }

// Page 1: the drawn record range.
QWidget* fGrarange2::build_range_page() {
    auto* page1 = new QWidget(tab);
    auto* g1 = new QGridLayout(page1);
    Drangeauto = new QCheckBox(QStringLiteral("自動"), page1);
    Drangeauto->setToolTip(QStringLiteral("横軸ｽｹｰﾙを収録値から自動的に設定します"));
    g1->addWidget(Drangeauto, 0, 0, 1, 3);
    g1->addWidget(new QLabel(QStringLiteral("データNo."), page1), 1, 1);
    g1->addWidget(new QLabel(QStringLiteral("収録日時"), page1), 1, 2);
    Drstartno = new QLineEdit(page1);
    Drendno = new QLineEdit(page1);
    Drstarttime = new QLineEdit(page1);
    Drendtime = new QLineEdit(page1);
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (QLineEdit* e : {Drstartno, Drendno}) {
        e->setMaxLength(7);
        e->setFixedWidth(9 * digit + 12);
        e->setAlignment(Qt::AlignRight);
    }
    for (QLineEdit* e : {Drstarttime, Drendtime}) {
        e->setMaxLength(19);
        e->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16);
    }
    g1->addWidget(new QLabel(QStringLiteral("開始"), page1), 2, 0);
    g1->addWidget(Drstartno, 2, 1);
    g1->addWidget(Drstarttime, 2, 2);
    g1->addWidget(new QLabel(QStringLiteral("終了"), page1), 3, 0);
    g1->addWidget(Drendno, 3, 1);
    g1->addWidget(Drendtime, 3, 2);
    SlDatalow = new QSlider(Qt::Horizontal, page1);
    SlDataHigh = new QSlider(Qt::Horizontal, page1);
    g1->addWidget(new QLabel(QStringLiteral("開始"), page1), 4, 0);
    g1->addWidget(SlDatalow, 4, 1, 1, 2);
    g1->addWidget(new QLabel(QStringLiteral("終了"), page1), 5, 0);
    g1->addWidget(SlDataHigh, 5, 1, 1, 2);
    lb_msg = new QLabel(page1);
    lb_msg->setWordWrap(true);
    g1->addWidget(lb_msg, 6, 0, 1, 3);
    g1->setRowStretch(7, 1);
    return page1;
}

// Page 2: the vertical scales.
QWidget* fGrarange2::build_scale_page() {
    auto* page2 = new QWidget(tab);
    auto* g2 = new QGridLayout(page2);
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    g2->addWidget(new QLabel(QStringLiteral("上限値"), page2), 0, 1, 1, 4, Qt::AlignCenter);
    g2->addWidget(new QLabel(QStringLiteral("下限値"), page2), 0, 5, 1, 4, Qt::AlignCenter);
    for (int ch = 1; ch <= 4; ++ch) {
        cb_scale[ch] = new QCheckBox(QStringLiteral("CH%1").arg(ch), page2);
        endv[ch] = new QLineEdit(page2);
        startv[ch] = new QLineEdit(page2);
        UpValueH[ch] = new UpDown(page2);
        UpValueL[ch] = new UpDown(page2);
        lb_mag_up[ch] = new QLabel(page2);
        lb_mag_down[ch] = new QLabel(page2);
        lb_unit_up[ch] = new QLabel(page2);
        lb_unit_down[ch] = new QLabel(page2);
        rangeauto[ch] = new QCheckBox(QStringLiteral("自動"), page2);
        for (QLineEdit* e : {endv[ch], startv[ch]}) {
            // Four digits and a sign: the widest value a box accepts.
            e->setMaxLength(5);
            e->setFixedWidth(6 * digit + 12);
            e->setAlignment(Qt::AlignRight);
        }
        for (QLabel* l : {lb_mag_up[ch], lb_mag_down[ch]})
            l->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("×0.01")));
        for (QLabel* l : {lb_unit_up[ch], lb_unit_down[ch]})
            l->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("[mV ]")));
        g2->addWidget(cb_scale[ch], ch, 0);
        g2->addWidget(endv[ch], ch, 1);
        g2->addWidget(UpValueH[ch], ch, 2);
        g2->addWidget(lb_mag_up[ch], ch, 3);
        g2->addWidget(lb_unit_up[ch], ch, 4);
        g2->addWidget(startv[ch], ch, 5);
        g2->addWidget(UpValueL[ch], ch, 6);
        g2->addWidget(lb_mag_down[ch], ch, 7);
        g2->addWidget(lb_unit_down[ch], ch, 8);
        g2->addWidget(rangeauto[ch], ch, 9);
    }
    g2->setRowStretch(5, 1);
    return page2;
}

void fGrarange2::build_ui() {
    auto* top = new QVBoxLayout(this);
    tab = new QTabWidget(this);
    top->addWidget(tab);

    tab->addTab(build_range_page(), QStringLiteral("横軸（データ範囲）"));
    tab->addTab(build_scale_page(), QStringLiteral("縦軸（スケール）"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdSetgrasnge[0] = new QPushButton(QStringLiteral("OK"), this);
    cmdSetgrasnge[1] = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    Command1 = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    for (QPushButton* b : {cmdSetgrasnge[0], cmdSetgrasnge[1], Command1}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    top->addLayout(buttons);

    connect(cmdSetgrasnge[0], &QPushButton::clicked, this, [this] { cmdSetgrasnge_Click(0); });
    connect(cmdSetgrasnge[1], &QPushButton::clicked, this, [this] { cmdSetgrasnge_Click(1); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Drangeauto, &QCheckBox::toggled, this, [this] { Drangeauto_Click(); });
    connect(SlDatalow, &QSlider::valueChanged, this, [this] { SlDatalow_Change(); });
    connect(SlDataHigh, &QSlider::valueChanged, this, [this] { SlDataHigh_Change(); });
    for (QObject* o : {static_cast<QObject*>(Drstartno), static_cast<QObject*>(Drendno),
                       static_cast<QObject*>(Drstarttime), static_cast<QObject*>(Drendtime),
                       static_cast<QObject*>(SlDatalow), static_cast<QObject*>(SlDataHigh)})
        o->installEventFilter(this);
    for (int ch = 1; ch <= 4; ++ch) {
        endv[ch]->installEventFilter(this);
        startv[ch]->installEventFilter(this);
        connect(endv[ch], &QLineEdit::textChanged, this, [this, ch] { endv_Change(ch); });
        connect(startv[ch], &QLineEdit::textChanged, this, [this, ch] { startv_Change(ch); });
        connect(UpValueH[ch], &UpDown::changed, this, [this, ch] { UpValueH_Change(ch); });
        connect(UpValueL[ch], &UpDown::changed, this, [this, ch] { UpValueL_Change(ch); });
        connect(rangeauto[ch], &QCheckBox::toggled, this, [this, ch] { rangeauto_Click(ch); });
    }
}

QDateTime fGrarange2::record_time(qint32 k) const {
    const GraphState& g = graph_state();
    return graph::TimeAxis{g.graph_start_time, g.graph_stop_time, g.graph_interval_secs, g.graph_rec_count}
        .readout_time(k);
}

void fGrarange2::set_time_box(QLineEdit* box, const QDateTime& t) { box->setText(platform::formatCivil(t, kTimePicture)); }

void fGrarange2::Form_Load() {
    GraphState& g = graph_state();
    if (m_graph) m_graph->disable_for(*this);
    range_ready_flag = 0;
    const qint32 n = g.graph_rec_count;
    for (int ch = 1; ch <= 4; ++ch) {
        const int d = g.ch_decimals[ch];
        const QString mag = d == 1 ? QStringLiteral("×1") : d == 2 ? QStringLiteral("×0.1")
                                                        : d == 3 ? QStringLiteral("×0.01")
                                                                 : QStringLiteral("×10");
        lb_mag_up[ch]->setText(mag);
        lb_mag_down[ch]->setText(mag);
    }
    Drstartno->setText(QString::number(g.graph_start_pos));
    set_time_box(Drstarttime, g.graph_start_time);
    Drendno->setText(QString::number(g.graph_end_pos));

    SlDatalow->setRange(1, std::max(1, n));
    SlDataHigh->setRange(1, std::max(1, n));
    SlDataHigh->setValue(g.graph_end_pos);
    SlDatalow->setValue(g.graph_start_pos);
    // The start pair shows the start record whatever the sliders did.
    Drstartno->setText(QString::number(g.graph_start_pos));
    set_time_box(Drstarttime, record_time(g.graph_start_pos));

    // Times can be typed only where every record lies on the interval's grid.
    const graph::TimeAxis axis{g.graph_start_time, g.graph_stop_time, g.graph_interval_secs, n};
    const bool timeOk = n < 3 || !(axis.aligned() || axis.irregular_end());
    Drstarttime->setEnabled(timeOk);
    Drendtime->setEnabled(timeOk);
    lb_msg->setText(timeOk ? QString() : QStringLiteral("手動操作による収録ﾃﾞｰﾀは収録日時での設定はできません"));
    set_time_box(Drendtime, record_time(g.graph_end_pos));

    for (int ch = 1; ch <= 4; ++ch) {
        if (g.ch_present[ch] != 1) continue;
        const QString unit = QLatin1Char('[') + g.ch_unit_text[ch] + QLatin1Char(']');
        lb_unit_up[ch]->setText(unit);
        lb_unit_down[ch]->setText(unit);
        if (temperature(ch)) {
            UpValueH[ch]->setRange(-249, 1500);
            UpValueL[ch]->setRange(-250, 1499);
        } else {
            UpValueH[ch]->setRange(-999, 1000);
            UpValueL[ch]->setRange(-1000, 999);
        }
    }
    for (int ch = 1; ch <= 4; ++ch) {
        endv[ch]->setText(platform::format(g.ch_h_scale[ch] / 10.0, QStringLiteral("0")));
        startv[ch]->setText(platform::format(g.ch_l_scale[ch] / 10.0, QStringLiteral("0")));
        // A stored limit beyond the spinner's range leaves the spinner at its end.
        UpValueH[ch]->setValue(std::clamp(roundInt(g.ch_h_scale[ch] / 10.0), UpValueH[ch]->minimum(), UpValueH[ch]->maximum()));
        UpValueL[ch]->setValue(std::clamp(roundInt(g.ch_l_scale[ch] / 10.0), UpValueL[ch]->minimum(), UpValueL[ch]->maximum()));
        saved_upper_text[ch] = endv[ch]->text();
        saved_lower_text[ch] = startv[ch]->text();
    }
    saved_start_no = Drstartno->text();
    saved_end_no = Drendno->text();
    try {
        saved_start_time = platform::parseCivil(Drstarttime->text());
        saved_end_time = platform::parseCivil(Drendtime->text());
    } catch (const Error&) {
        saved_start_time = g.graph_start_time;
        saved_end_time = g.graph_stop_time;
    }
    if (num(Drstartno) == 1 && num(Drendno) == n) g.graph_zoom_flag = 0;
    Drangeauto->setChecked(g.graph_zoom_flag != 1);
    for (int ch = 1; ch <= 4; ++ch) {
        if (!g.ch_unit_text[ch].isEmpty()) {
            cb_scale[ch]->setChecked(g.ch_graph_ax_draw_sw[ch]);
            rangeauto[ch]->setChecked(g.ch_scale_manual[ch] == 0);
        } else {
            for (QWidget* w : std::initializer_list<QWidget*>{cb_scale[ch], rangeauto[ch], endv[ch], startv[ch],
                                                              UpValueH[ch], UpValueL[ch]})
                w->setEnabled(false);
            endv[ch]->clear();
            startv[ch]->clear();
            lb_mag_up[ch]->setText(QStringLiteral("---"));
            lb_mag_down[ch]->setText(QStringLiteral("---"));
            lb_unit_up[ch]->setText(QStringLiteral("[---]"));
            lb_unit_down[ch]->setText(QStringLiteral("[---]"));
        }
    }
    range_ready_flag = 1;
}

void fGrarange2::Form_Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    if (s_range == this) s_range = nullptr;
    if (m_graph) m_graph->dialog_closed();
}

void fGrarange2::closeEvent(QCloseEvent* e) {
    Form_Unload();
    QDialog::closeEvent(e);
}

void fGrarange2::range_err_msg(int code) {
    QString text;
    switch (code) {
    case 1: text = QStringLiteral("設定できるデータ範囲は1～%1です。").arg(graph_state().graph_rec_count); break;
    case 2: text = QStringLiteral("上限値は下限値より高く設定してください。"); break;
    case 3: text = QStringLiteral("上限値時刻の入力形式が正しくありません。"); break;
    case 4: text = QStringLiteral("下限値は上限値より低く設定してください。"); break;
    case 5: text = QStringLiteral("下限値時刻の入力形式が正しくありません。"); break;
    case 6: text = QStringLiteral("設定できる範囲を超えています。"); break;
    case 7: text = QStringLiteral("設定できる温度範囲は-250～1500ﾟCです。"); break;
    case 8: text = QStringLiteral("設定できる範囲は-1000～1000です。"); break;
    default: text = QStringLiteral("エラーが発生しました。"); break;
    }
    platform::msgBox(this, text, platform::MsgButtons::OK, platform::MsgIcon::None);
}

bool fGrarange2::range_key_allowed(QChar c, int kind) {
    if (c.unicode() == 8 || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))) return true;
    if (kind == 1) return c == QLatin1Char('-');
    if (kind == 3) return c == QLatin1Char(' ') || c == QLatin1Char(':') || c == QLatin1Char('-');
    return false;
}

bool fGrarange2::eventFilter(QObject* watched, QEvent* e) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (box || watched == SlDatalow || watched == SlDataHigh) {
                leave(watched);
                return true;
            }
        }
        // Tab and Escape move the focus and close the dialog; they are no characters here.
        const bool navigation = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab || k->key() == Qt::Key_Escape;
        if (box && !navigation && !k->text().isEmpty()) {
            const int kind = (box == Drstartno || box == Drendno) ? 0 : (box == Drstarttime || box == Drendtime) ? 3 : 1;
            for (QChar c : k->text()) {
                if (!range_key_allowed(c, kind)) return true;  // the key is discarded
            }
        }
    } else if (e->type() == QEvent::FocusIn && box) {
        for (int ch = 1; ch <= 4; ++ch) {
            if (box == endv[ch]) endv_GotFocus(ch);
            if (box == startv[ch]) startv_GotFocus(ch);
        }
    } else if (e->type() == QEvent::FocusOut) {
        // A message box of a running leave handling takes the focus: that is no
        // leave; nor is another window taking the focus from this one.
        const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
        if (!m_leaving && !m_unloaded && why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
            leave(watched);
    }
    return QDialog::eventFilter(watched, e);
}

void fGrarange2::leave(QObject* w) {
    if (m_leaving) return;
    m_leaving = true;
    if (w == Drstartno) Drstartno_LostFocus();
    else if (w == Drendno) Drendno_LostFocus();
    else if (w == Drstarttime) Drstarttime_LostFocus();
    else if (w == Drendtime) Drendtime_LostFocus();
    else if (w == SlDatalow) SlDatalow_LostFocus();
    else if (w == SlDataHigh) SlDataHigh_LostFocus();
    for (int ch = 1; ch <= 4; ++ch) {
        if (w == endv[ch]) endv_LostFocus(ch);
        if (w == startv[ch]) startv_LostFocus(ch);
    }
    m_leaving = false;
}

// ---- record numbers

void fGrarange2::Drendno_LostFocus() {
    const qint32 n = graph_state().graph_rec_count;
    if (num(Drendno) > n) {
        range_err_msg(1);
        Drendno->setText(QString::number(n));
    } else if (num(Drendno) < 1) {
        range_err_msg(1);
        Drendno->setText(QStringLiteral("1"));
    }
    if (num(Drstartno) > num(Drendno)) {
        range_err_msg(2);
        Drendno->setText(saved_end_no);
    }
    if (num(Drstartno) == num(Drendno)) {
        if (num(Drendno) < n) Drendno->setText(numberText(num(Drendno) + 1));
        if (num(Drendno) == n) {
            Drstartno->setText(QString::number(n - 1));
            saved_end_no = Drendno->text();
            Drstartno_LostFocus();
        }
    }
    SlDataHigh->setValue(roundInt(num(Drendno)));
    saved_end_no = Drendno->text();
    Drangeauto->setChecked(false);
    graph_state().graph_zoom_flag = 1;
}

void fGrarange2::Drstartno_LostFocus() {
    const qint32 n = graph_state().graph_rec_count;
    if (num(Drendno) < num(Drstartno)) {
        range_err_msg(4);
        Drstartno->setText(saved_start_no);
    }
    if (num(Drstartno) > n) {
        range_err_msg(1);
        Drstartno->setText(QString::number(n));
    } else if (num(Drstartno) < 1) {
        range_err_msg(1);
        Drstartno->setText(QStringLiteral("1"));
    }
    if (num(Drstartno) == num(Drendno)) {
        if (num(Drstartno) > 1) Drstartno->setText(numberText(num(Drstartno) - 1));
        if (num(Drstartno) == 1) {
            Drendno->setText(QStringLiteral("2"));
            saved_start_no = Drstartno->text();
            Drendno_LostFocus();
        }
    }
    SlDatalow->setValue(roundInt(num(Drstartno)));
    saved_start_no = Drstartno->text();
    Drangeauto->setChecked(false);
    graph_state().graph_zoom_flag = 1;
}

// ---- times

namespace {

// A time box's text as a record index from the data's first record (not yet
// kept inside the data), or the message refusing it: parseCode for a text
// that is no time (the box goes back to its saved time), 6 for a time
// outside the data (likewise), 0 for any other failure (the box is left).
struct TimeAsRecord {
    double k = 0;
    int refusal = -1;
    bool restore = false;
};

TimeAsRecord time_as_record(const QString& text, int parseCode) {
    const GraphState& g = graph_state();
    QDateTime t;
    try {
        t = platform::parseCivil(text);
    } catch (const ConversionError&) {
        return {0, parseCode, true};
    } catch (const std::exception&) {
        return {0, 0, false};
    }
    const qint64 iv = g.graph_interval_secs;
    const QDateTime last = g.graph_start_time.addSecs(qint64(g.graph_rec_count - 1) * iv);
    // Whole seconds: half a second of tolerance admits the end times themselves.
    if (t > last || t < g.graph_start_time) return {0, 6, true};
    if (iv <= 0) return {0, 0, false};
    const float q = float(double(g.graph_start_time.secsTo(t)) / double(iv) + 1.0 / 86400.0);
    return {std::floor(double(q)), -1, false};
}

// Kept inside the data before it becomes a whole number (a box may read as infinitely large).
qint64 record_inside(double k) {
    return qint64(std::clamp(std::floor(k), 0.0, double(graph_state().graph_rec_count)));
}

// The time of the record index kk from the data's start at its interval.
QDateTime start_plus_records(qint64 kk) {
    const GraphState& g = graph_state();
    return g.graph_start_time.addSecs(kk * g.graph_interval_secs);
}

}  // namespace

void fGrarange2::Drendtime_LostFocus() {
    const TimeAsRecord r = time_as_record(Drendtime->text(), 3);
    if (r.refusal >= 0) {
        range_err_msg(r.refusal);
        if (r.restore) set_time_box(Drendtime, saved_end_time);
        return;
    }
    double k = r.k;
    if (num(Drstartno) >= k + 1) k = num(Drstartno);
    const qint64 kk = record_inside(k);
    set_time_box(Drendtime, start_plus_records(kk));
    Drendno->setText(QString::number(kk + 1));
    Drendno_LostFocus();
}

void fGrarange2::Drstarttime_LostFocus() {
    const TimeAsRecord r = time_as_record(Drstarttime->text(), 5);
    if (r.refusal >= 0) {
        range_err_msg(r.refusal);
        if (r.restore) set_time_box(Drstarttime, saved_start_time);
        return;
    }
    double k = r.k;
    if (num(Drendno) <= k + 1) k = num(Drendno) - 1;
    const qint64 kk = record_inside(k);
    set_time_box(Drstarttime, start_plus_records(kk));
    Drstartno->setText(QString::number(kk + 1));
    Drstartno_LostFocus();
}

// ---- sliders

void fGrarange2::SlDataHigh_Change() {
    if (SlDataHigh->value() < SlDatalow->value()) SlDataHigh->setValue(SlDatalow->value());
    const int pos = SlDataHigh->value();
    Drendno->setText(QString::number(pos));
    set_time_box(Drendtime, record_time(pos));
    if (pos != graph_state().graph_rec_count) Drangeauto->setChecked(false);
}

void fGrarange2::SlDatalow_Change() {
    if (SlDatalow->value() > SlDataHigh->value()) SlDatalow->setValue(SlDataHigh->value());
    const int pos = SlDatalow->value();
    Drstartno->setText(QString::number(pos));
    set_time_box(Drstarttime, record_time(pos));
    if (pos != 1) Drangeauto->setChecked(false);
}

void fGrarange2::SlDataHigh_LostFocus() {
    const qint32 n = graph_state().graph_rec_count;
    if (SlDataHigh->value() == SlDatalow->value()) {
        if (SlDataHigh->value() == n) SlDatalow->setValue(n - 1);
        else SlDataHigh->setValue(SlDataHigh->value() + 1);
    }
    if (SlDataHigh->value() == 1) SlDataHigh->setValue(2);
}

void fGrarange2::SlDatalow_LostFocus() {
    const qint32 n = graph_state().graph_rec_count;
    if (SlDataHigh->value() == SlDatalow->value()) {
        if (SlDatalow->value() == 1) SlDataHigh->setValue(2);
        else SlDatalow->setValue(SlDatalow->value() - 1);
    }
    if (SlDatalow->value() == n) SlDatalow->setValue(n - 1);
}

void fGrarange2::Drangeauto_Click() {
    GraphState& g = graph_state();
    if (!Drangeauto->isChecked()) {
        g.graph_zoom_flag = 1;
        return;
    }
    const qint32 n = g.graph_rec_count;
    g.graph_zoom_flag = 0;
    Drstartno->setText(QStringLiteral("1"));
    set_time_box(Drstarttime, g.graph_start_time);
    SlDatalow->setValue(1);
    Drendno->setText(QString::number(n));
    set_time_box(Drendtime, g.graph_start_time.addSecs(qint64(n - 1) * g.graph_interval_secs));
    SlDataHigh->setValue(n);
}

// ---- scale boxes

namespace {

// "-" only as the first character: "--" becomes "-", a later "-" cuts the text.
void minusOnlyFirst(QLineEdit* box) {
    const QString t = box->text();
    if (t.isEmpty() || t == QLatin1String("-")) return;
    if (t == QLatin1String("--")) {
        box->setText(QStringLiteral("-"));
        return;
    }
    const int i = int(t.indexOf(QLatin1Char('-')));
    if (i > 0) box->setText(t.left(i));
}

// The message refusing a scale value outside what a channel can show
// (-250..1500 for a temperature, -1000..1000 otherwise), or 0.
int scale_limit_refusal(bool temperature, double v) {
    if (temperature) return (v > 1500 || v < -250) ? 7 : 0;
    return (v > 1000 || v < -1000) ? 8 : 0;
}

}  // namespace

void fGrarange2::endv_Change(int ch) { minusOnlyFirst(endv[ch]); }
void fGrarange2::startv_Change(int ch) { minusOnlyFirst(startv[ch]); }

void fGrarange2::endv_GotFocus(int ch) {
    endv[ch]->selectAll();
    saved_upper_text[ch] = endv[ch]->text();
}

void fGrarange2::startv_GotFocus(int ch) {
    startv[ch]->selectAll();
    saved_lower_text[ch] = startv[ch]->text();
}

void fGrarange2::endv_LostFocus(int ch) {
    if (!rangeauto[ch]->isEnabled()) return;
    auto refuse = [&](int code) {
        range_err_msg(code);
        endv[ch]->setText(saved_upper_text[ch]);
        focus_back(endv[ch]);
    };
    // An empty box is told as such, before it reads as 0 against the lower
    // limit.
    if (endv[ch]->text().isEmpty()) return refuse(6);
    if (num(startv[ch]) >= num(endv[ch])) return refuse(2);
    const double v = num(endv[ch]);
    if (const int code = scale_limit_refusal(temperature(ch), v)) return refuse(code);
    saved_upper_text[ch] = numberText(v);
    UpValueH[ch]->setValue(roundInt(v));
}

void fGrarange2::startv_LostFocus(int ch) {
    if (!rangeauto[ch]->isEnabled()) return;
    auto refuse = [&](int code) {
        range_err_msg(code);
        startv[ch]->setText(saved_lower_text[ch]);
        focus_back(startv[ch]);
    };
    if (num(endv[ch]) <= num(startv[ch])) {
        range_err_msg(4);
        startv[ch]->setText(saved_lower_text[ch]);
        return;
    }
    const double v = num(startv[ch]);
    const QString t = startv[ch]->text();
    if (t.isEmpty() || t == QLatin1String("-")) return refuse(7);
    if (const int code = scale_limit_refusal(temperature(ch), v)) return refuse(code);
    saved_lower_text[ch] = numberText(v);
    UpValueL[ch]->setValue(roundInt(v));
}

// ---- spinners and the automatic scale

void fGrarange2::UpValueH_Change(int ch) {
    if (range_ready_flag != 1) return;
    GraphState& g = graph_state();
    if (g.ch_scale_manual[ch] == 1 && UpValueH[ch]->value() <= UpValueL[ch]->value())
        UpValueH[ch]->setValue(UpValueL[ch]->value() + 1);
    if (UpValueH[ch]->value() != g.ch_h_scale[ch] / 10.0) rangeauto[ch]->setChecked(false);
    endv[ch]->setText(QString::number(UpValueH[ch]->value()));
}

void fGrarange2::UpValueL_Change(int ch) {
    if (range_ready_flag != 1) return;
    GraphState& g = graph_state();
    if (g.ch_scale_manual[ch] == 1 && UpValueL[ch]->value() >= UpValueH[ch]->value())
        UpValueL[ch]->setValue(UpValueH[ch]->value() - 1);
    if (UpValueL[ch]->value() != g.ch_l_scale[ch] / 10.0) rangeauto[ch]->setChecked(false);
    startv[ch]->setText(QString::number(UpValueL[ch]->value()));
}

void fGrarange2::rangeauto_Click(int ch) {
    GraphState& g = graph_state();
    if (rangeauto[ch]->isChecked()) {
        g.ch_scale_manual[ch] = 0;
        return;
    }
    if (float(num(startv[ch])) != float(g.ch_l_scale[ch] / 10.0) && float(num(endv[ch])) != float(g.ch_h_scale[ch] / 10.0))
        g.ch_scale_manual[ch] = 1;
}

// ---- buttons

void fGrarange2::cmdSetgrasnge_Click(int index) {
    if (index != 0) {
        // Cancel: what editing already wrote (range flag, scale modes) stays.
        close();
        return;
    }
    GraphState& g = graph_state();
    for (int ch = 1; ch <= 4; ++ch) {
        if (!rangeauto[ch]->isEnabled()) continue;
        if (num(startv[ch]) >= num(endv[ch])) {
            range_err_msg(2);
            endv[ch]->setText(numberText(g.ch_h_scale[ch] / 10.0));
            startv[ch]->setText(numberText(g.ch_l_scale[ch] / 10.0));
            g.ch_scale_manual[ch] = 1;
            return;
        }
    }
    // The boxes have been through their checks; the range is still kept at
    // least two records wide inside the data, which the drawing divides by.
    const qint32 n = g.graph_rec_count;
    qint32 end = std::clamp<qint32>(roundInt(num(Drendno)), std::min<qint32>(2, n), n);
    qint32 start = std::clamp<qint32>(roundInt(num(Drstartno)), 1, std::max<qint32>(1, end - 1));
    g.graph_end_pos = end;
    g.graph_start_pos = start;
    for (int ch = 1; ch <= 4; ++ch) {
        g.ch_h_scale[ch] = std::clamp<qint32>(roundInt(num(endv[ch]) * 10), -32768, 32767);
        g.ch_l_scale[ch] = std::clamp<qint32>(roundInt(num(startv[ch]) * 10), -32768, 32767);
        g.ch_scale_manual[ch] = rangeauto[ch]->isChecked() ? 0 : 1;
        g.ch_graph_ax_draw_sw[ch] = cb_scale[ch]->isChecked();
    }
    QPointer<fGraph> graph = m_graph;
    close();
    if (graph) graph->redraw();
}

void fGrarange2::Command1_Click() { show_help(this, model().help_file, help_context::fGrarange2); }

}  // namespace mq
