// The reference-lines dialog "基準線設定": per channel the alarm lines, the
// integration reference line and the basis line, each with its switch.
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
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "model/channel_values.h"
#include "graph/fgraph.h"
#include "graph/graph_dialogs.h"
#include "main_window/conversions.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "platform/numbers.h"

namespace mq {

namespace {

QPointer<fGrasvline> s_svline;

const QString kDash5 = QStringLiteral("-----");
const QString kOneDecimal = QStringLiteral("0.0");

// The text as a single-precision number; false when it is not a number.
bool single(const QString& text, float* out) {
    try {
        const double d = platform::toDouble(text);
        if (!std::isfinite(float(d))) return false;
        *out = float(d);
        return true;
    } catch (const Error&) {
        return false;
    }
}

bool thermocouple(const QString& kind) {
    return kind == QLatin1String("K") || kind == QLatin1String("E") || kind == QLatin1String("J") ||
           kind == QLatin1String("T");
}

struct SpinLimits {
    int upMin, upMax, downMin, downMax, sumMin, sumMax;
};

// The spinner ranges of a thermocouple type (spinner units, 0.1 degree).
bool limitsOf(const QString& kind, SpinLimits* out) {
    if (kind == QLatin1String("K")) *out = {-1999, 13700, -2000, 13699, -2000, 13700};
    else if (kind == QLatin1String("E") || kind == QLatin1String("J")) *out = {-1999, 7000, -2000, 6999, -2000, 7000};
    else if (kind == QLatin1String("T")) *out = {-1999, 4000, -2000, 3999, -2000, 4000};
    else return false;
    return true;
}

QString upperReplacement(const QString& kind) {
    if (kind == QLatin1String("K")) return QStringLiteral("1370.0");
    if (kind == QLatin1String("T")) return QStringLiteral("400.0");
    return QStringLiteral("700.0");
}

// The other alarm field's text, against which a field's check keeps the
// upper value above the lower one. An alarm the recording did not set holds
// no value and bounds nothing: the type's outermost value stands in for it.
QString alarmCompanion(const QLineEdit* other, bool otherSet, const QString& outermost) {
    return otherSet ? other->text() : outermost;
}

qint64 roundWhole(double v) {
    if (!std::isfinite(v)) return 0;
    return qint64(std::nearbyint(std::clamp(v, -1e15, 1e15)));
}

// A spinner value for a display value; out of qint32 gives a value no spinner accepts.
int spinValue(double v, int mult) {
    const qint64 s = roundWhole(v * mult);
    return int(std::clamp<qint64>(s, -2000000000, 2000000000));
}

}  // namespace

fGrasvline* fGrasvline::current() { return s_svline.data(); }

fGrasvline::fGrasvline(fGraph& graph) : QDialog(&graph), m_graph(&graph) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("基準線設定"));
    s_svline = this;
    build_ui();
    Form_Load();
}

fGrasvline::~fGrasvline() { Form_Unload(); }

QLineEdit* fGrasvline::make_value_box(QWidget* parent) {
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    auto* e = new QLineEdit(parent);
    e->setFixedWidth(8 * digit + 12);
    e->setAlignment(Qt::AlignRight);
    e->installEventFilter(this);
    return e;
}

// Channel ch's alarm lines: switch, upper and lower value with their steps.
QGroupBox* fGrasvline::build_alarm_frame(int ch, QWidget* page, const QString& name, const QString& tip) {
    auto* Frame3 = new QGroupBox(page);
    auto* Frame4 = new QGridLayout(Frame3);
    cb_alarm[ch] = new QCheckBox(name, Frame3);
    cb_alarm[ch]->setToolTip(tip);
    Label3[ch] = new QLabel(QStringLiteral("上限警報値"), Frame3);
    Label4[ch] = new QLabel(QStringLiteral("下限警報値"), Frame3);
    txt_alarm_up[ch] = make_value_box(Frame3);
    txt_alarm_down[ch] = make_value_box(Frame3);
    ud_alarm_up[ch] = new UpDown(Frame3);
    ud_alarm_down[ch] = new UpDown(Frame3);
    lb_unit_up[ch] = new QLabel(Frame3);
    lb_unit_down[ch] = new QLabel(Frame3);
    Frame4->addWidget(cb_alarm[ch], 0, 0, 1, 4);
    Frame4->addWidget(Label3[ch], 1, 0);
    Frame4->addWidget(txt_alarm_up[ch], 1, 1);
    Frame4->addWidget(ud_alarm_up[ch], 1, 2);
    Frame4->addWidget(lb_unit_up[ch], 1, 3);
    Frame4->addWidget(Label4[ch], 2, 0);
    Frame4->addWidget(txt_alarm_down[ch], 2, 1);
    Frame4->addWidget(ud_alarm_down[ch], 2, 2);
    Frame4->addWidget(lb_unit_down[ch], 2, 3);
    return Frame3;

}

// Channel ch's integration reference line.
QGroupBox* fGrasvline::build_sum_frame(int ch, QWidget* page, const QString& name, const QString& tip) {
    auto* Frame5 = new QGroupBox(page);
    auto* f5 = new QGridLayout(Frame5);
    cb_sum[ch] = new QCheckBox(name, Frame5);
    cb_sum[ch]->setToolTip(tip);
    txt_sum[ch] = make_value_box(Frame5);
    UpDown_sum[ch] = new UpDown(Frame5);
    lb_unit_sum[ch] = new QLabel(Frame5);
    f5->addWidget(cb_sum[ch], 0, 0, 1, 3);
    f5->addWidget(txt_sum[ch], 1, 0);
    f5->addWidget(UpDown_sum[ch], 1, 1);
    f5->addWidget(lb_unit_sum[ch], 1, 2);
    return Frame5;

}

// Channel ch's basis line.
QGroupBox* fGrasvline::build_basis_frame(int ch, QWidget* page, const QString& name) {
    auto* Frame6 = new QGroupBox(page);
    auto* f6 = new QGridLayout(Frame6);
    cb_basis[ch] = new QCheckBox(name, Frame6);
    txt_basis[ch] = make_value_box(Frame6);
    UpDown_basic[ch] = new UpDown(Frame6);
    lb_unit_basis[ch] = new QLabel(Frame6);
    f6->addWidget(cb_basis[ch], 0, 0, 1, 3);
    f6->addWidget(txt_basis[ch], 1, 0);
    f6->addWidget(UpDown_basic[ch], 1, 1);
    f6->addWidget(lb_unit_basis[ch], 1, 2);
    return Frame6;
}

void fGrasvline::build_ui() {
    auto* top = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    top->addWidget(SSTab1);
    const QString fullDigits = QStringLiteral("１２３４");

    auto* alarms = new QWidget(SSTab1);
    auto* sums = new QWidget(SSTab1);
    auto* bases = new QWidget(SSTab1);
    auto* ga = new QGridLayout(alarms);
    auto* gs = new QGridLayout(sums);
    auto* gb = new QGridLayout(bases);
    for (int ch = 1; ch <= 4; ++ch) {
        const QString name = QStringLiteral("CH%1").arg(ch);
        const QString tip = QStringLiteral("ＣＨ%1の表示／非表示を切り替えます").arg(fullDigits.at(ch - 1));
        const int r = (ch - 1) / 2, c = (ch - 1) % 2;

        ga->addWidget(build_alarm_frame(ch, alarms, name, tip), r, c);
        gs->addWidget(build_sum_frame(ch, sums, name, tip), r, c);
        gb->addWidget(build_basis_frame(ch, bases, name), r, c);
        for (QLabel* l : {lb_unit_up[ch], lb_unit_down[ch], lb_unit_sum[ch], lb_unit_basis[ch]})
            l->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("[mV ]")));

        connect(ud_alarm_up[ch], &UpDown::changed, this, [this, ch] { ud_alarm_up_Change(ch); });
        connect(ud_alarm_down[ch], &UpDown::changed, this, [this, ch] { ud_alarm_down_Change(ch); });
        connect(UpDown_sum[ch], &UpDown::changed, this, [this, ch] { UpDown_sum_Change(ch); });
        connect(UpDown_basic[ch], &UpDown::changed, this, [this, ch] { UpDown_basic_Change(ch); });
        connect(txt_sum[ch], &QLineEdit::textEdited, this, [this, ch] { m_sum_touched[ch] = true; });
    }
    btn_alarm_init = new QPushButton(QStringLiteral("収録時の設定に戻す"), alarms);
    btn_alarm_init->setToolTip(QStringLiteral("すべての警報値を収録時の値にﾘｾｯﾄします"));
    ga->addWidget(btn_alarm_init, 2, 1, Qt::AlignRight);
    btn_sum_init = new QPushButton(QStringLiteral("収録時の設定に戻す"), sums);
    btn_sum_init->setToolTip(QStringLiteral("すべての積算基準値を収録時の値にﾘｾｯﾄします"));
    gs->addWidget(btn_sum_init, 2, 1, Qt::AlignRight);
    gb->setRowStretch(2, 1);
    SSTab1->addTab(alarms, QStringLiteral("警報値"));
    SSTab1->addTab(sums, QStringLiteral("積算基準値"));
    SSTab1->addTab(bases, QStringLiteral("基準線"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btn_ok = new QPushButton(QStringLiteral("OK"), this);
    btn_cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    btn_help = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    for (QPushButton* b : {btn_ok, btn_cancel, btn_help}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    top->addLayout(buttons);
    connect(btn_alarm_init, &QPushButton::clicked, this, [this] { btn_alarm_init_Click(); });
    connect(btn_sum_init, &QPushButton::clicked, this, [this] { btn_sum_init_Click(); });
    connect(btn_ok, &QPushButton::clicked, this, [this] { btn_ok_Click(); });
    connect(btn_cancel, &QPushButton::clicked, this, [this] { btn_cancel_Click(); });
    connect(btn_help, &QPushButton::clicked, this, [this] { btn_help_Click(); });
}

void fGrasvline::Form_Load() {
    const GraphState& g = graph_state();
    if (m_graph) m_graph->disable_for(*this);
    // Input types and decimals of the data set the graph draws.
    const clsLOGGER_SETTING* set = m_graph ? m_graph->data_setting() : nullptr;
    svline_loading = true;
    for (int ch = 1; ch <= 4; ++ch) {
        const QString unit = g.ch_unit_text[ch];
        QList<QLabel*> units{lb_unit_up[ch], lb_unit_down[ch], lb_unit_sum[ch], lb_unit_basis[ch]};
        QList<QLineEdit*> texts{txt_alarm_up[ch], txt_alarm_down[ch], txt_sum[ch], txt_basis[ch]};
        if (unit.isEmpty()) {
            for (QLabel* l : units) l->setText(QStringLiteral("---"));
            for (QWidget* w : std::initializer_list<QWidget*>{Label3[ch], Label4[ch], cb_alarm[ch], cb_sum[ch], cb_basis[ch],
                                                              ud_alarm_up[ch], ud_alarm_down[ch], UpDown_sum[ch],
                                                              UpDown_basic[ch]})
                w->setEnabled(false);
            for (QLineEdit* t : texts) {
                t->setEnabled(false);
                t->setText(kDash5);
            }
            continue;
        }
        if (unit == graph::kTempUnit) {
            svline_kind[ch] = set ? set->Ch_input_type(ch - 1) : QString();
            for (QLabel* l : units) l->setText(QLatin1Char('[') + unit + QLatin1Char(']'));
            svline_fmt[ch] = kOneDecimal;
            svline_mult[ch] = 10;
            cb_alarm[ch]->setChecked(g.h_alm_sw[ch]);
            SpinLimits lim{};
            const bool typed = limitsOf(svline_kind[ch], &lim);
            if (typed) ud_alarm_up[ch]->setRange(lim.upMin, lim.upMax);
            ud_alarm_up[ch]->setValue(std::clamp(spinValue(g.ch_h_alm[ch], 10), ud_alarm_up[ch]->minimum(), ud_alarm_up[ch]->maximum()));
            txt_alarm_up[ch]->setText(platform::format(g.ch_h_alm[ch], kOneDecimal));
            txt_alarm_up[ch]->setToolTip(QStringLiteral("グラフ上限警報値  入力種 [ %1 ]").arg(svline_kind[ch]));
            if (typed) ud_alarm_down[ch]->setRange(lim.downMin, lim.downMax);
            ud_alarm_down[ch]->setValue(std::clamp(spinValue(g.ch_l_alm[ch], 10), ud_alarm_down[ch]->minimum(), ud_alarm_down[ch]->maximum()));
            txt_alarm_down[ch]->setText(platform::format(g.ch_l_alm[ch], kOneDecimal));
            txt_alarm_down[ch]->setToolTip(QStringLiteral("グラフ下限警報値  入力種 [ %1 ]").arg(svline_kind[ch]));
            // An alarm the recording did not set has no value to move: its
            // field shows "-----" and stays closed, as on a voltage channel.
            const bool set[2] = {g.ch_h_alm_set[ch], g.ch_l_alm_set[ch]};
            QWidget* const parts[2][3] = {{Label3[ch], txt_alarm_up[ch], ud_alarm_up[ch]},
                                          {Label4[ch], txt_alarm_down[ch], ud_alarm_down[ch]}};
            for (int side = 0; side < 2; ++side) {
                if (set[side]) continue;
                for (QWidget* w : parts[side]) w->setEnabled(false);
                static_cast<QLineEdit*>(parts[side][1])->setText(kDash5);
            }
            if (!set[0] && !set[1]) cb_alarm[ch]->setEnabled(false);
            cb_sum[ch]->setChecked(g.sum_std_sw[ch]);
            if (typed) UpDown_sum[ch]->setRange(lim.sumMin, lim.sumMax);
            UpDown_sum[ch]->setValue(std::clamp(spinValue(g.ch_sum_std_count[ch], 10), UpDown_sum[ch]->minimum(), UpDown_sum[ch]->maximum()));
            txt_sum[ch]->setText(platform::format(g.ch_sum_std_count[ch], kOneDecimal));
            cb_basis[ch]->setChecked(g.std_sw[ch]);
            if (typed) UpDown_basic[ch]->setRange(lim.sumMin, lim.sumMax);
            UpDown_basic[ch]->setValue(std::clamp(spinValue(g.std_value[ch], 10), UpDown_basic[ch]->minimum(), UpDown_basic[ch]->maximum()));
            txt_basis[ch]->setText(platform::format(g.std_value[ch], kOneDecimal));
        } else {
            for (QLabel* l : units) l->setText(QLatin1Char('[') + lblstr_AndCharacterChk(unit) + QLatin1Char(']'));
            const int pos = set ? set->Ch_period_pos(ch - 1) : 0;
            svline_fmt[ch] = pos == 1 ? QStringLiteral("000.0") : pos == 2 ? QStringLiteral("00.00")
                                                                : pos == 3 ? QStringLiteral("0.000")
                                                                           : QStringLiteral("0000");
            svline_mult[ch] = channel_scale(QStringLiteral("V"), pos);
            for (QWidget* w : std::initializer_list<QWidget*>{Label3[ch], Label4[ch], cb_alarm[ch], cb_sum[ch],
                                                              txt_alarm_up[ch], txt_alarm_down[ch], ud_alarm_up[ch],
                                                              ud_alarm_down[ch], txt_sum[ch], UpDown_sum[ch]})
                w->setEnabled(false);
            for (QLineEdit* t : {txt_alarm_up[ch], txt_alarm_down[ch], txt_sum[ch]}) t->setText(kDash5);
            cb_basis[ch]->setChecked(g.std_sw[ch]);
            UpDown_basic[ch]->setRange(-9999, 9999);
            UpDown_basic[ch]->setValue(
                std::clamp(spinValue(g.std_value[ch], svline_mult[ch]), -9999, 9999));
            txt_basis[ch]->setText(platform::format(g.std_value[ch], svline_fmt[ch]));
        }
    }
    svline_loading = false;
}

void fGrasvline::Form_Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    if (s_svline == this) s_svline = nullptr;
    if (m_graph) m_graph->dialog_closed();
}

void fGrasvline::closeEvent(QCloseEvent* e) {
    Form_Unload();
    QDialog::closeEvent(e);
}

bool fGrasvline::svline_key_allowed(QChar c) {
    return c.unicode() == 8 || QStringLiteral("-0123456789.").contains(c);
}

bool fGrasvline::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
        const auto* k = static_cast<QKeyEvent*>(e);
        // Tab and Escape move the focus and close the dialog; they are no characters here.
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab || k->key() == Qt::Key_Escape)
            return QDialog::eventFilter(watched, e);
        const QString t = k->text();
        for (QChar c : t) {
            if (!svline_key_allowed(c)) return true;  // discarded, Enter included
        }
    } else if (e->type() == QEvent::FocusOut && !m_leaving && !m_unloaded) {
        // Another window taking the focus from this one is no leave.
        const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason) leave(watched);
    }
    return QDialog::eventFilter(watched, e);
}

void fGrasvline::leave(QObject* w) {
    m_leaving = true;
    for (int ch = 1; ch <= 4; ++ch) {
        if (w == txt_alarm_up[ch]) txt_alarm_up_LostFocus(ch);
        else if (w == txt_alarm_down[ch]) txt_alarm_down_LostFocus(ch);
        else if (w == txt_sum[ch]) txt_sum_LostFocus(ch);
        else if (w == txt_basis[ch]) txt_basis_LostFocus(ch);
    }
    m_leaving = false;
}

// ---- checks of the fields

namespace {

// The common part of the temperature checks: a text that is not a number or
// lies beyond -999.9..9999.9 becomes the type's replacement (other types keep
// it); otherwise `apply` gets the one-decimal text.
template <class Apply>
void temperatureCheck(QLineEdit* box, const QString& kind, const QString& replacement, Apply apply) {
    float v = 0;
    const bool ok = single(box->text(), &v);
    if (!ok || v > 9999.9f || v < -999.9f) {
        if (thermocouple(kind)) box->setText(replacement);
        return;
    }
    QString s = platform::format(v, QStringLiteral("###0.0"));
    try {
        box->setText(apply(s));
    } catch (const Error&) {
        // A companion that is not a number: the field keeps its text.
    }
}

}  // namespace

void fGrasvline::svline_alarm_up_chk(int ch) {
    const QString low = alarmCompanion(txt_alarm_down[ch], graph_state().ch_l_alm_set[ch], QStringLiteral("-200.0"));
    temperatureCheck(txt_alarm_up[ch], svline_kind[ch], upperReplacement(svline_kind[ch]),
                     [&](QString s) { return high_max_chk(svline_kind[ch], s, low); });
}

void fGrasvline::svline_alarm_down_chk(int ch) {
    const QString high =
        alarmCompanion(txt_alarm_up[ch], graph_state().ch_h_alm_set[ch], upperReplacement(svline_kind[ch]));
    temperatureCheck(txt_alarm_down[ch], svline_kind[ch], QStringLiteral("-200.0"),
                     [&](QString s) { return low_max_chk(svline_kind[ch], s, high); });
}

void fGrasvline::svline_sum_chk(int ch) {
    temperatureCheck(txt_sum[ch], svline_kind[ch], QStringLiteral("0.0"),
                     [&](QString s) { return sum_max_chk(svline_kind[ch], s); });
}

void fGrasvline::svline_basis_chk(int ch) {
    temperatureCheck(txt_basis[ch], svline_kind[ch], QStringLiteral("0.0"),
                     [&](QString s) { return sum_max_chk(svline_kind[ch], s); });
}

void fGrasvline::svline_basis_v_chk(int ch) {
    float v = 0;
    if (!single(txt_basis[ch]->text(), &v)) {
        txt_basis[ch]->setText(platform::format(0, svline_fmt[ch]));
        return;
    }
    txt_basis[ch]->setText(svline_basis_v_fmt(ch, v));
}

QString fGrasvline::svline_basis_v_fmt(int ch, float v) const {
    const QString& pattern = svline_fmt[ch];
    QString t = v < 0 ? QLatin1Char('-') + platform::format(double(-v), pattern) : platform::format(double(v), pattern);
    const float m = float(std::max(1, svline_mult[ch]));
    float r = 0;
    if (!single(t, &r) || r > 9999.0f / m || r < -9999.0f / m) t = platform::format(0, pattern);
    return t;
}

void fGrasvline::svline_select_text(QLineEdit* box) {
    // After the focus change under way has ended (it would take the selection).
    QTimer::singleShot(0, box, [box] {
        box->setFocus();
        box->setSelection(0, int(box->text().size()));
    });
}

void fGrasvline::to_spinner(QLineEdit* box, UpDown* spin, int ch) {
    float v = 0;
    bool ok = single(box->text(), &v);
    if (ok) {
        const double scaled = double(v) * svline_mult[ch];
        ok = std::abs(scaled) < 2e9 && spin->setValue(int(roundWhole(scaled)));
    }
    if (ok) return;
    svline_select_text(box);
    platform::msgBox(this, QStringLiteral("不正な値が入力されました。入力しなおして下さい。"), platform::MsgButtons::OK,
                     platform::MsgIcon::Exclamation);
}

void fGrasvline::txt_alarm_up_LostFocus(int ch) {
    svline_alarm_up_chk(ch);
    to_spinner(txt_alarm_up[ch], ud_alarm_up[ch], ch);
}

void fGrasvline::txt_alarm_down_LostFocus(int ch) {
    svline_alarm_down_chk(ch);
    to_spinner(txt_alarm_down[ch], ud_alarm_down[ch], ch);
}

void fGrasvline::txt_sum_LostFocus(int ch) {
    svline_sum_chk(ch);
    to_spinner(txt_sum[ch], UpDown_sum[ch], ch);
}

void fGrasvline::txt_basis_LostFocus(int ch) {
    if (graph_state().ch_unit_text[ch] == graph::kTempUnit) svline_basis_chk(ch);
    else svline_basis_v_chk(ch);
    to_spinner(txt_basis[ch], UpDown_basic[ch], ch);
}

// ---- spinners

namespace {

// A spinner's value (in units of 1/mult) put into its text box in the box's
// format, after the box's limit check unless the dialog is loading; a value
// the check refuses leaves the box as it is.
template <class Check>
void spin_to_box(const UpDown* spin, int mult, QLineEdit* box, const QString& fmt, bool loading, Check check) {
    const float v = float(spin->value()) / float(mult);
    QString s = platform::format(v, QStringLiteral("###0.0"));
    try {
        if (!loading) s = check(s);
        box->setText(platform::format(platform::toDouble(s), fmt));
    } catch (const Error&) {
    }
}

}  // namespace

void fGrasvline::ud_alarm_up_Change(int ch) {
    spin_to_box(ud_alarm_up[ch], svline_mult[ch], txt_alarm_up[ch], svline_fmt[ch], svline_loading,
                [&](QString& s) {
                    return high_max_chk(svline_kind[ch], s,
                                        alarmCompanion(txt_alarm_down[ch], graph_state().ch_l_alm_set[ch],
                                                       QStringLiteral("-200.0")));
                });
}

void fGrasvline::ud_alarm_down_Change(int ch) {
    spin_to_box(ud_alarm_down[ch], svline_mult[ch], txt_alarm_down[ch], svline_fmt[ch], svline_loading,
                [&](QString& s) {
                    return low_max_chk(svline_kind[ch], s,
                                       alarmCompanion(txt_alarm_up[ch], graph_state().ch_h_alm_set[ch],
                                                      upperReplacement(svline_kind[ch])));
                });
}

void fGrasvline::UpDown_sum_Change(int ch) {
    if (!svline_loading) m_sum_touched[ch] = true;
    spin_to_box(UpDown_sum[ch], svline_mult[ch], txt_sum[ch], svline_fmt[ch], svline_loading,
                [&](QString& s) { return sum_max_chk(svline_kind[ch], s); });
}

void fGrasvline::UpDown_basic_Change(int ch) {
    const float v = float(UpDown_basic[ch]->value()) / float(std::max(1, svline_mult[ch]));
    try {
        if (graph_state().ch_unit_text[ch] == graph::kTempUnit) {
            QString s = platform::cstrSingle(v);
            if (!svline_loading) s = sum_max_chk(svline_kind[ch], s);
            txt_basis[ch]->setText(platform::format(platform::toDouble(s), svline_fmt[ch]));
        } else {
            txt_basis[ch]->setText(svline_loading ? platform::cstrSingle(v) : svline_basis_v_fmt(ch, v));
        }
    } catch (const Error&) {
    }
}

// ---- buttons

void fGrasvline::btn_alarm_init_Click() {
    GraphState& g = graph_state();
    const clsLOGGER_SETTING* s = m_graph ? m_graph->data_setting() : nullptr;
    if (!s) return;
    for (int ch = 1; ch <= 4; ++ch) {
        if (!cb_alarm[ch]->isEnabled()) continue;
        g.ch_h_alm[ch] = s->Ch_high_alarm_count_value(ch - 1);
        g.ch_l_alm[ch] = s->Ch_low_alarm_count_value(ch - 1);
        // A field closed for an alarm not set keeps its "-----".
        if (txt_alarm_up[ch]->isEnabled()) {
            ud_alarm_up[ch]->setValue(spinValue(g.ch_h_alm[ch], svline_mult[ch]));
            txt_alarm_up[ch]->setText(platform::format(g.ch_h_alm[ch], svline_fmt[ch]));
        }
        if (txt_alarm_down[ch]->isEnabled()) {
            ud_alarm_down[ch]->setValue(spinValue(g.ch_l_alm[ch], svline_mult[ch]));
            txt_alarm_down[ch]->setText(platform::format(g.ch_l_alm[ch], svline_fmt[ch]));
        }
    }
}

void fGrasvline::btn_sum_init_Click() {
    GraphState& g = graph_state();
    for (int ch = 1; ch <= 4; ++ch) {
        if (!cb_sum[ch]->isEnabled()) continue;
        g.ch_sum_std_count[ch] = g.ch_sum_std_saved[size_t(ch - 1)];
        UpDown_sum[ch]->setValue(spinValue(g.ch_sum_std_count[ch], svline_mult[ch]));
        txt_sum[ch]->setText(platform::format(g.ch_sum_std_count[ch], svline_fmt[ch]));
        m_sum_touched[ch] = false;  // back to the recording's own value
    }
}

void fGrasvline::btn_ok_Click() {
    GraphState& g = graph_state();
    // A field that does not hold a number (possible on a temperature channel
    // of another input type) is skipped: its value stays as it was.
    auto take = [](const QLineEdit* box, double& value, QString* text) {
        if (box->text().isEmpty()) return false;
        float v = 0;
        if (!single(box->text(), &v)) return false;
        value = double(v);
        if (text) *text = box->text();
        return true;
    };
    for (int ch = 1; ch <= 4; ++ch) {
        if (g.ch_unit_text[ch] == graph::kTempUnit) {
            g.h_alm_sw[ch] = cb_alarm[ch]->isChecked();
            g.sum_std_sw[ch] = cb_sum[ch]->isChecked();
            take(txt_alarm_up[ch], g.ch_h_alm[ch], &g.ch_h_alm_text[ch]);
            take(txt_alarm_down[ch], g.ch_l_alm[ch], &g.ch_l_alm_text[ch]);
            // An integration base the recording did not set stays "-----"
            // unless the user gave it a value here.
            if ((g.ch_sum_std_set[ch] || m_sum_touched[ch]) &&
                take(txt_sum[ch], g.ch_sum_std_count[ch], &g.ch_sum_std_text[ch]))
                g.ch_sum_std_set[ch] = true;
        }
        if (cb_basis[ch]->isEnabled() && !txt_basis[ch]->text().isEmpty()) {
            g.std_sw[ch] = cb_basis[ch]->isChecked();
            take(txt_basis[ch], g.std_value[ch], nullptr);
        }
    }
    QPointer<fGraph> graph = m_graph;
    close();
    if (graph) graph->restat_and_draw();
}

void fGrasvline::btn_cancel_Click() {
    // What the reset buttons wrote stays; the fields are not stored.
    close();
}

void fGrasvline::btn_help_Click() { show_help(this, model().help_file, help_context::fGrasvline); }

}  // namespace mq
