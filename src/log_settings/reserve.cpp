#include "log_settings/reserve.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "setting_editor/setting_form.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/cur_accessors.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "platform/window_place.h"
#include "log_settings/ops_log_setting.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/setting_write.h"

namespace mq {

namespace {

const QString kZeroTime = QStringLiteral("0000/00/00 00:00:00");
const QString kBadChoice = QStringLiteral("予約設定が正しくありません。");
const QString kOver11Months = QStringLiteral("収録期間が１１ヶ月を超ると正しく設定できません。");
constexpr qint64 kBarDesignMax = 345600;

QString two(int n) { return QString::number(n).rightJustified(2, u'0'); }

int number_or_zero(const QString& t) {
    bool ok = false;
    const int v = t.trimmed().toInt(&ok);
    return ok ? v : 0;
}

QString at_time(const QDate& d, const QString& h, const QString& m) {
    return d.toString(QStringLiteral("yyyy/MM/dd")) + u' ' + two(number_or_zero(h)) + u':' + two(number_or_zero(m)) +
           QStringLiteral(":00");
}

QDateTime parsed(const QString& t) {
    try {
        return platform::parseCivil(t);
    } catch (const Error&) {
        return {};
    }
}

// Keeps digits and Backspace in the duration fields.
class DigitsOnly : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) {
            const QString t = static_cast<QKeyEvent*>(e)->text();
            if (!t.isEmpty() && t.at(0).isPrint() && !(t.at(0) >= u'0' && t.at(0) <= u'9')) return true;
        }
        return QObject::eventFilter(o, e);
    }
};

}  // namespace

double reserve_interval_seconds(int h, int m, int s) {
    int days = 0;
    h = std::max(h, 0);
    while (h >= 24) {
        h -= 24;
        ++days;
    }
    return days * 86400.0 + h * 3600.0 + std::max(m, 0) * 60.0 + std::max(s, 0);
}

qint64 reserve_recompute(const ReserveChoice& c, QString& start, QString& stop) {
    if (c.end_as_date && c.no_end) {
        if (!c.no_start) {
            if (c.start_hour.isEmpty() || c.start_min.isEmpty()) return 0;
            start = at_time(c.start_date, c.start_hour, c.start_min);
        }
        stop = kZeroTime;
        return c.recordable;
    }
    if ((!c.no_start && (c.start_hour.isEmpty() || c.start_min.isEmpty())) ||
        (c.end_as_date && (c.end_hour.isEmpty() || c.end_min.isEmpty())) ||
        (!c.end_as_date && (c.dur_h.isEmpty() || c.dur_m.isEmpty() || c.dur_s.isEmpty())) ||
        (!c.end_as_date && number_or_zero(c.dur_h) <= 0 && number_or_zero(c.dur_m) <= 0 && number_or_zero(c.dur_s) <= 0)) {
        return 0;
    }
    start = c.no_start ? platform::formatCivil(c.logger_now) : at_time(c.start_date, c.start_hour, c.start_min);
    const QDateTime from = parsed(start);
    if (!from.isValid()) return 0;
    qint64 d = 0;
    if (c.end_as_date) {
        stop = at_time(c.end_date, c.end_hour, c.end_min);
        const QDateTime to = parsed(stop);
        if (!to.isValid()) return 0;
        d = from.secsTo(to);
        if (d <= 0) return 0;
    } else {
        int h = number_or_zero(c.dur_h);
        int halfdays = 0;
        while (h >= 24) {
            h -= 24;
            halfdays += 2;
        }
        QDateTime to = platform::addSeconds(from, qint64(h) * 3600 + qint64(number_or_zero(c.dur_m)) * 60 +
                                                      number_or_zero(c.dur_s));
        for (int i = 0; i < halfdays; ++i) to = platform::addSeconds(to, 12 * 3600);
        stop = platform::formatCivil(to);
        d = from.secsTo(to);
    }
    if (c.interval_sec <= 0 || double(d) < c.interval_sec) return 0;
    const double records = std::floor(double(d) / c.interval_sec);
    return qint64(records) * c.used_ch + c.used_ch;
}

QComboBox* reserve::make_time_list(const QString& name, int to) {
    auto* c = new QComboBox(this);
    c->setObjectName(name);
    for (int v = 0; v <= to; ++v) c->addItem(QString::number(v));
    c->setCurrentIndex(-1);
    c->setMaxVisibleItems(15);
    c->setMinimumContentsLength(2);
    connect(c, &QComboBox::activated, this, [this] { reserve_disp_update(); });
    return c;
}

QCalendarWidget* reserve::make_calendar(const QString& name) {
    auto* m = new QCalendarWidget(this);
    m->setObjectName(name);
    m->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    connect(m, &QCalendarWidget::clicked, this, [this] { reserve_disp_update(); });
    connect(m, &QCalendarWidget::selectionChanged, this, [this] { reserve_disp_update(); });
    return m;
}

// "開始日時": none, or a day with hour and minute.
void reserve::build_start_frame() {
    Frame1 = new QGroupBox(QStringLiteral("開始日時"), this);
    Check1 = new QCheckBox(QStringLiteral("なし（設定直後から開始）"), Frame1);
    MonthView1 = make_calendar(QStringLiteral("MonthView1"));
    Combo3 = make_time_list(QStringLiteral("Combo3"), 23);
    Combo4 = make_time_list(QStringLiteral("Combo4"), 59);
    Label8 = new QLabel(QStringLiteral("時"), this);
    Label7 = new QLabel(QStringLiteral("分"), this);
    auto* f1 = new QVBoxLayout(Frame1);
    f1->addWidget(Check1);
    f1->addWidget(MonthView1);
    auto* t1 = new QHBoxLayout;
    t1->addWidget(Combo3);
    t1->addWidget(Label8);
    t1->addWidget(Combo4);
    t1->addWidget(Label7);
    t1->addStretch();
    f1->addLayout(t1);
    f1->addStretch();

}

// The end: a day with hour and minute ("終了日時"), or a duration ("収録時間").
void reserve::build_end_frames() {
    Frame2 = new QGroupBox(this);
    Option1 = new QRadioButton(QStringLiteral("終了日時"), Frame2);
    Option1->setObjectName(QStringLiteral("Option1"));
    Check2 = new QCheckBox(QStringLiteral("なし（メモリ残量なしまで）"), Frame2);
    MonthView2 = make_calendar(QStringLiteral("MonthView2"));
    Combo7 = make_time_list(QStringLiteral("Combo7"), 23);
    Combo8 = make_time_list(QStringLiteral("Combo8"), 59);
    Label3 = new QLabel(QStringLiteral("時"), this);
    Label4 = new QLabel(QStringLiteral("分"), this);
    auto* f2 = new QVBoxLayout(Frame2);
    f2->addWidget(Option1);
    f2->addWidget(Check2);
    f2->addWidget(MonthView2);
    auto* t2 = new QHBoxLayout;
    t2->addWidget(Combo7);
    t2->addWidget(Label3);
    t2->addWidget(Combo8);
    t2->addWidget(Label4);
    t2->addStretch();
    f2->addLayout(t2);

    Frame3 = new QGroupBox(this);
    Option2 = new QRadioButton(QStringLiteral("収録時間"), Frame3);
    Option2->setObjectName(QStringLiteral("Option2"));
    auto* digits = new DigitsOnly(this);
    auto field = [this, digits](const QString& name, const QString& text) {
        auto* t = new QLineEdit(text, this);
        t->setObjectName(name);
        t->setMaxLength(2);
        t->setFixedWidth(36);
        t->setAlignment(Qt::AlignRight);
        t->installEventFilter(digits);
        return t;
    };
    Text9 = field(QStringLiteral("Text9"), QStringLiteral("0"));
    Text10 = field(QStringLiteral("Text10"), QStringLiteral("1"));
    Text11 = field(QStringLiteral("Text11"), QStringLiteral("0"));
    UpDown9 = new UpDownButtons(this);
    UpDown10 = new UpDownButtons(this);
    UpDown11 = new UpDownButtons(this);
    Label6 = new QLabel(QStringLiteral("時間"), this);
    Label5 = new QLabel(QStringLiteral("分"), this);
    Label13 = new QLabel(QStringLiteral("秒"), this);
    auto* f3 = new QVBoxLayout(Frame3);
    f3->addWidget(Option2);
    auto* t3 = new QHBoxLayout;
    t3->setSpacing(2);
    for (auto [t, u, l] : {std::tuple{Text9, UpDown9, Label6}, std::tuple{Text10, UpDown10, Label5},
                           std::tuple{Text11, UpDown11, Label13}}) {
        t3->addWidget(t);
        t3->addWidget(u);
        t3->addWidget(l);
        t3->addSpacing(6);
    }
    t3->addStretch();
    f3->addLayout(t3);
    connect(Text9, &QLineEdit::textChanged, this, [this] { Text9_Change(); });
    connect(Text10, &QLineEdit::textChanged, this, [this] { Text10_Change(); });
    connect(Text11, &QLineEdit::textChanged, this, [this] { Text11_Change(); });
    connect(UpDown9, &UpDownButtons::stepped, this, [this](bool up) { UpDown_Change(9, up); });
    connect(UpDown10, &UpDownButtons::stepped, this, [this](bool up) { UpDown_Change(10, up); });
    connect(UpDown11, &UpDownButtons::stepped, this, [this](bool up) { UpDown_Change(11, up); });

    // The two ways of giving the end exclude each other across their frames.
    auto* endChoice = new QButtonGroup(this);
    endChoice->addButton(Option1);
    endChoice->addButton(Option2);

}

// The memory left, the records that fit and the records asked for.
QLayout* reserve::build_counts() {
    Label1 = new QLabel(QStringLiteral("ﾒﾓﾘｶｰﾄﾞの残り："), this);
    Label2 = new QLabel(this);
    Label22 = new QLabel(QStringLiteral("収録可能ﾃﾞｰﾀ数："), this);
    Label23 = new QLabel(QStringLiteral("0"), this);
    Label11 = new QLabel(QStringLiteral("ﾃﾞｰﾀ数："), this);
    Label12 = new QLabel(QStringLiteral("0"), this);
    for (QLabel* l : {Label2, Label23, Label12}) {
        l->setMinimumWidth(70);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, int(kBarDesignMax));
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    auto* info = new QGridLayout;
    info->addWidget(Label1, 0, 0);
    info->addWidget(Label2, 0, 1);
    info->addWidget(Label22, 1, 0);
    info->addWidget(Label23, 1, 1);
    info->addWidget(ProgressBar1, 1, 2);
    info->addWidget(Label11, 2, 0);
    info->addWidget(Label12, 2, 1);
    info->setColumnStretch(2, 1);

    return info;
}

QLayout* reserve::build_buttons() {
    auto button = [this](const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    cmdOK = button(QStringLiteral("OK"), QStringLiteral("表示している設定を確定してﾛｸﾞ設定に戻ります"));
    cmdOK->setDefault(true);
    cmdCancel = button(QStringLiteral("ｷｬﾝｾﾙ"), QStringLiteral("予約設定をｷｬﾝｾﾙします"));
    Command3 = button(QStringLiteral("ﾘｾｯﾄ"), QStringLiteral("表示している設定をﾘｾｯﾄします"));
    Command1 = button(QStringLiteral("ﾍﾙﾌﾟ"), QStringLiteral("ﾍﾙﾌﾟを表示します"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdOK, cmdCancel, Command3, Command1}) buttons->addWidget(b);

    return buttons;
}

reserve::reserve(int hours, int minutes, int seconds, int usedChannels, const Reservation& current, QWidget* parent)
    : ActivatedDialog(parent), m_res(current) {
    setObjectName(QStringLiteral("reserve"));
    setWindowTitle(QStringLiteral("予約設定"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    build_start_frame();
    build_end_frames();
    auto* endColumn = new QVBoxLayout;
    endColumn->addWidget(Frame2);
    endColumn->addWidget(Frame3);
    auto* top = new QHBoxLayout;
    top->addWidget(Frame1, 0, Qt::AlignTop);
    top->addLayout(endColumn);

    QLayout* info = build_counts();
    QLayout* buttons = build_buttons();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(info);
    layout->addLayout(buttons);
    keep_places();

    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(Check2, &QCheckBox::clicked, this, [this] { Check2_Click(); });
    connect(Option1, &QRadioButton::clicked, this, [this] { Option1_Click(); });
    connect(Option2, &QRadioButton::clicked, this, [this] { Option2_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command1, &QPushButton::clicked, this,
            [this] { show_help(this, model().help_file, help_context::reserve); });

    load(hours, minutes, seconds, usedChannels);
}

void reserve::load(int hours, int minutes, int seconds, int usedChannels) {
    m_res.by_duration = false;
    m_res.no_lead = false;
    if (ConnectionSlot::installed()) connection().reserve_open_flag = true;
    const QDate today = platform::nowCivil().date();
    MonthView1->setSelectedDate(today);
    MonthView2->setSelectedDate(today);
    m_interval = reserve_interval_seconds(hours, minutes, seconds);
    m_used = usedChannels;
    m_secondsIndex = seconds;
    Option1->setChecked(true);
    set_duration_visible(false);
    Label1->hide();
    Label2->hide();

    // Every control counts at its place, shown or not: this size holds each
    // state of the choices, and it stays.
    adjustSize();
    setFixedSize(size());
    platform::centre_on_screen(this);
}

reserve::~reserve() {
    if (ConnectionSlot::installed()) connection().reserve_open_flag = false;
}

reserve* reserve::openInstance() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* d = qobject_cast<reserve*>(w);
        if (d && !d->m_unloaded) return d;
    }
    return nullptr;
}

void reserve::unloading() {
    if (ConnectionSlot::installed()) connection().reserve_open_flag = false;
}

qint64 reserve::label_number(const QLabel* l) const {
    bool ok = false;
    const qint64 v = l->text().trimmed().toLongLong(&ok);
    return ok ? qint64(qint32(v)) : 0;
}

void reserve::show_memory(const MemoryDisplay& m) {
    Label1->setVisible(m.memory_mode);
    Label2->setVisible(m.memory_mode);
    if (m.memory_mode) Label2->setText(QString::number(m.remaining));
    Label23->setText(QString::number(m.recordable));
    if (m.bar_max > 0) ProgressBar1->setMaximum(int(std::min<qint64>(m.bar_max, INT_MAX)));
    // The bar never shows more than its maximum.
    ProgressBar1->setValue(int(std::clamp<qint64>(m.bar_value, 0, ProgressBar1->maximum())));
}

// ---------------------------------------------------------------- activation

void reserve::Form_Activate() {
    if (m_inActivate || m_unloaded) return;
    m_inActivate = true;
    LoggerClockRead read;
    if (!m_clockRead) {
        try {
            prog_run(this, logger_clock_read_operation(this, read));
        } catch (const Error&) {
        }
        m_clockRead = true;
        if (read.clock.isValid()) m_loggerNow = read.clock;
    }
    m_inActivate = false;
    if (m_unloaded) return;
    if (!link().link_connected_flag) {
        unload();
        return;
    }
    if (read.no_memory) {
        platform::msgBox(this,
                         QStringLiteral("メモリ残量が０か、外部メモリがロガーにセットされていません。\r\n確認して下さい。"),
                         platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        unload();
    } else if (label_number(Label23) < 2 * m_used) {
        platform::msgBox(this, QStringLiteral("メモリ残量が不足しています。（メモリ残量：") + Label23->text() +
                                   QStringLiteral(" ）"),
                         platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        unload();
    } else if (m_used == 0) {
        unload();
    }
}

// ---------------------------------------------------------------- the choice

ReserveChoice reserve::choice() const {
    ReserveChoice c;
    c.no_start = Check1->isChecked();
    c.start_date = MonthView1->selectedDate();
    c.start_hour = Combo3->currentText();
    c.start_min = Combo4->currentText();
    c.end_as_date = Option1->isChecked();
    c.no_end = Check2->isChecked();
    c.end_date = MonthView2->selectedDate();
    c.end_hour = Combo7->currentText();
    c.end_min = Combo8->currentText();
    c.dur_h = Text9->text();
    c.dur_m = Text10->text();
    c.dur_s = Text11->text();
    c.logger_now = m_loggerNow;
    c.recordable = label_number(Label23);
    c.interval_sec = m_interval;
    c.used_ch = m_used;
    return c;
}

void reserve::reserve_disp_update() {
    const qint64 count = reserve_recompute(choice(), m_res.start, m_res.stop);
    Label12->setText(QString::number(qint32(count)));
}

QWidgetList reserve::start_controls() const { return {MonthView1, Combo3, Combo4, Label7, Label8}; }

QWidgetList reserve::end_date_controls() const { return {MonthView2, Combo7, Combo8, Label3, Label4}; }

QWidgetList reserve::duration_controls() const {
    return {Text9, Text10, Text11, UpDown9, UpDown10, UpDown11, Label5, Label6, Label13};
}

// The choices show and hide controls in fixed places: a hidden control keeps
// its room, so the dialog keeps its size and nothing moves under the mouse.
void reserve::keep_places() {
    QWidgetList coming = start_controls() + end_date_controls() + duration_controls();
    coming << Check2 << Label1 << Label2;
    for (QWidget* w : coming) {
        QSizePolicy p = w->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        w->setSizePolicy(p);
    }
}

void reserve::set_end_date_controls_visible(bool on) {
    for (QWidget* w : end_date_controls()) w->setVisible(on);
}

void reserve::set_duration_visible(bool on) {
    for (QWidget* w : duration_controls()) w->setVisible(on);
}

void reserve::Check1_Click() {
    const bool on = Check1->isChecked();
    for (QWidget* w : start_controls()) w->setVisible(!on);
    if (!on) {
        m_res.start.clear();
    } else {
        Combo3->setCurrentIndex(-1);
        Combo4->setCurrentIndex(-1);
        m_res.start = kZeroTime;
        if (m_loggerNow.isValid()) MonthView1->setSelectedDate(m_loggerNow.date());
    }
    reserve_disp_update();
}

void reserve::Check2_Click() {
    const bool on = Check2->isChecked();
    set_end_date_controls_visible(!on);
    if (!on) {
        m_res.stop.clear();
    } else {
        Combo7->setCurrentIndex(-1);
        Combo8->setCurrentIndex(-1);
        m_res.stop = kZeroTime;
    }
    reserve_disp_update();
}

void reserve::Option1_Click() {
    Option1->setChecked(true);
    set_duration_visible(false);
    if (!Check2->isChecked()) set_end_date_controls_visible(true);
    Check2->show();
    reserve_disp_update();
}

void reserve::Option2_Click() {
    Option2->setChecked(true);
    set_end_date_controls_visible(false);
    Check2->hide();
    set_duration_visible(true);
    reserve_disp_update();
}

void reserve::Command3_Click() {
    for (QComboBox* c : {Combo3, Combo4, Combo7, Combo8}) c->setCurrentIndex(-1);
    if (Check1->isChecked()) {
        Check1->setChecked(false);
        Check1_Click();
    }
    if (Check2->isChecked()) {
        Check2->setChecked(false);
        Check2_Click();
    }
    Option1_Click();
    const QDate today = platform::nowCivil().date();
    MonthView1->setSelectedDate(today);
    MonthView2->setSelectedDate(today);
    Text9->setText(QStringLiteral("0"));
    Text10->setText(QStringLiteral("1"));
    Text11->setText(QStringLiteral("0"));
    set_duration_visible(false);
    reserve_disp_update();
}

// ---------------------------------------------------------------- duration

void reserve::duration_changed(QLineEdit* t, int& value, bool clamp59) {
    if (m_inText) return;
    m_inText = true;
    if (!t->text().isEmpty()) {
        if (clamp59 && number_or_zero(t->text()) > 59) t->setText(QStringLiteral("59"));
        value = number_or_zero(t->text());
    }
    m_inText = false;
    reserve_disp_update();
}

void reserve::Text9_Change() { duration_changed(Text9, m_dur[0], false); }
void reserve::Text10_Change() { duration_changed(Text10, m_dur[1], true); }
void reserve::Text11_Change() { duration_changed(Text11, m_dur[2], true); }

void reserve::UpDown_Change(int field, bool up) {
    const int k = field - 9;
    if (k < 0 || k > 2) return;
    const int maxValue = k == 0 ? 99 : 59;
    m_dur[k] = std::clamp(m_dur[k] + (up ? 1 : -1), 0, maxValue);
    QLineEdit* t = k == 0 ? Text9 : k == 1 ? Text10 : Text11;
    t->setText(QString::number(m_dur[k]));  // its change handler recomputes
}

// ---------------------------------------------------------------- OK and Cancel

void reserve::cmdOK_Click() {
    auto refuse = [this](const QString& text) {
        platform::msgBox(this, text, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    };
    const QDate d1 = MonthView1->selectedDate();
    const QDate d2 = MonthView2->selectedDate();
    const int months = (d2.year() * 12 + d2.month()) - (d1.year() * 12 + d1.month());
    const qint64 count = label_number(Label12);
    const qint64 recordable = label_number(Label23);
    const bool opt1 = Option1->isChecked();
    const bool opt2 = !opt1;

    if (opt2 && (number_or_zero(Text10->text()) > 59 || number_or_zero(Text11->text()) > 59)) return refuse(kBadChoice);
    if (!Check1->isChecked() && (Combo3->currentIndex() < 0 || Combo4->currentIndex() < 0)) return refuse(kBadChoice);
    if (opt1 && !Check2->isChecked() && (Combo7->currentIndex() < 0 || Combo8->currentIndex() < 0))
        return refuse(kBadChoice);
    if (opt1 && Check2->isChecked() && m_used > 0) {
        const double days = ((double(count) / m_used) - 1) / 86400.0 * m_interval;
        if (days >= 334) return refuse(kOver11Months);
    }
    if (opt1 && !Check2->isChecked()) {
        if (months > 11) return refuse(kOver11Months);
        if (recordable < count || count == 0) return refuse(kBadChoice);
    }
    if (opt2 && (recordable < count || count == 0)) return refuse(kBadChoice);
    if (Check1->isChecked() && opt2 && m_secondsIndex != 0 && recordable <= 16) {
        return refuse(QStringLiteral("ロガーのメモリ残量が少ないため設定できません。"));
    }
    if (!Check1->isChecked()) {
        const QDateTime start = parsed(m_res.start);
        const QDateTime now = m_loggerNow;
        const int k = (start.date().year() * 12 + start.date().month()) - (now.date().year() * 12 + now.date().month());
        if (k > 11) return refuse(QStringLiteral("収録開始が今から１１ヶ月以上先は設定できません。"));
        if (k < 0) return refuse(QStringLiteral("開始日時をロガー本体日時より手前には設定できません。"));
        QDateTime clock;
        if (read_logger_clock_direct(&clock) != DirectClock::Ok) {
            unload();
            return;
        }
        m_loggerNow = clock;
        if (!(start > clock)) return refuse(QStringLiteral("ロガー本体時刻より手前は設定出来ません。"));
        m_unloaded = true;
        if (ConnectionSlot::installed()) connection().reserve_open_flag = false;
        done(QDialog::Accepted);
        return;
    }
    m_res.start = kZeroTime;
    if (opt2) {
        m_res.by_duration = true;
        if (!(recordable - 4 > count)) m_res.no_lead = true;
        int h = number_or_zero(Text9->text());
        int n = 0;
        while (h >= 24) {
            h -= 24;
            n += 2;
        }
        m_res.dur_halfdays = qint16(n);
        m_res.dur_text = two(h) + u':' + two(number_or_zero(Text10->text())) + u':' +
                             two(number_or_zero(Text11->text()));
    }
    m_unloaded = true;
    if (ConnectionSlot::installed()) connection().reserve_open_flag = false;
    done(QDialog::Accepted);
}

void reserve::cmdCancel_Click() {
    m_res.start.clear();
    m_res.stop.clear();
    unload();
}

void reserve::reject() { cmdCancel_Click(); }

void reserve::closeEvent(QCloseEvent* e) {
    // The close box acts as Cancel.
    if (!m_unloaded) cmdCancel_Click();
    e->accept();
}

}  // namespace mq
