#include "setting_editor/setting_form.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "model/cls_logger_setting.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "setting_editor/setting_clipboard.h"

namespace mq {

namespace {

constexpr int kRowHeight = 24;
const char* kField = "mq_field";
const char* kChannel = "mq_channel";

enum Field { ScaleMin = 4, ScaleMax = 5, Unit = 6, High = 7, Low = 8, Base = 9 };

QString two(int n) { return QString::number(n).rightJustified(2, u'0'); }

QString fixed(const QString& t, int width) { return t.leftJustified(width, u' ', true); }

}  // namespace

UpDownButtons::UpDownButtons(QWidget* parent) : QAbstractSpinBox(parent) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setFixedWidth(18);
    setFocusPolicy(Qt::NoFocus);
    lineEdit()->setReadOnly(true);
}

void UpDownButtons::stepBy(int steps) {
    if (steps != 0) emit stepped(steps > 0);
}

SettingForm::SettingForm(QWidget* parent, SettingFormKind kind) : QWidget(parent), m_kind(kind) { build(); }

QString setting_fields_kept_message(const QStringList& fields) {
    return QStringLiteral("入力中の値が正しくないため、設定されていた値に戻しました。\r\n") + fields.join(QStringLiteral("\r\n"));
}

// Channel i's column: input type, scale, decimal position, unit, alarms and
// the integration base, each a row of the captions' height.
QGroupBox* SettingForm::build_channel(int i) {
    auto* f = new QGroupBox(QStringLiteral("CH %1").arg(i + 1), this);
    f->setObjectName(QStringLiteral("Frame%1").arg(4 + i));
    Frame[size_t(i)] = f;
    auto* v = new QVBoxLayout(f);
    auto* type = new QComboBox(f);
    type->setObjectName(QStringLiteral("Combo2_%1").arg(i));
    for (int k = 0; k < kTypeItems; ++k) type->addItem(type_item_text(k));
    type->setFixedHeight(kRowHeight);
    Combo2[size_t(i)] = type;
    connect(type, &QComboBox::activated, this, [this, i] { Combo2_Click(i); });
    auto* pos = new QComboBox(f);
    pos->setObjectName(QStringLiteral("Combo3_%1").arg(i));
    for (int k = 0; k <= 3; ++k) pos->addItem(QString::number(k));
    pos->setFixedHeight(kRowHeight);
    Combo3[size_t(i)] = pos;

    auto text = [this, f, i](int field, int maxLen) {
        auto* t = new QLineEdit(f);
        t->setObjectName(QStringLiteral("Text%1_%2").arg(field).arg(i));
        t->setMaxLength(maxLen);
        t->setFixedHeight(kRowHeight);
        t->setProperty(kField, field);
        t->setProperty(kChannel, i);
        if (field != Unit) {
            t->setAttribute(Qt::WA_InputMethodEnabled, false);
            t->setAlignment(Qt::AlignRight);
        }
        t->installEventFilter(this);
        return t;
    };
    auto withSpinner = [this, f, i](QLineEdit* t, UpDownButtons*& spin, void (SettingForm::*handler)(int, bool)) {
        spin = new UpDownButtons(f);
        spin->setFixedHeight(kRowHeight);
        connect(spin, &UpDownButtons::stepped, this, [this, i, handler](bool up) { (this->*handler)(i, up); });
        auto* h = new QHBoxLayout;
        h->setSpacing(0);
        h->addWidget(t);
        h->addWidget(spin);
        return h;
    };
    Text4[size_t(i)] = text(ScaleMin, 5);
    Text5[size_t(i)] = text(ScaleMax, 5);
    Text6[size_t(i)] = text(Unit, 3);
    Text7[size_t(i)] = text(High, 6);
    Text8[size_t(i)] = text(Low, 6);
    Text9[size_t(i)] = text(Base, 6);
    v->addWidget(type);
    v->addLayout(withSpinner(Text4[size_t(i)], UpDown4[size_t(i)], &SettingForm::UpDown4_Change));
    v->addLayout(withSpinner(Text5[size_t(i)], UpDown5[size_t(i)], &SettingForm::UpDown5_Change));
    v->addWidget(pos);
    v->addWidget(Text6[size_t(i)]);
    v->addLayout(withSpinner(Text7[size_t(i)], UpDown7[size_t(i)], &SettingForm::UpDown7_Change));
    v->addLayout(withSpinner(Text8[size_t(i)], UpDown8[size_t(i)], &SettingForm::UpDown8_Change));
    v->addLayout(withSpinner(Text9[size_t(i)], UpDown9[size_t(i)], &SettingForm::UpDown9_Change));
    if (m_kind == SettingFormKind::Tag) {
        Text9[size_t(i)]->hide();
        UpDown9[size_t(i)]->hide();
    }
    return f;
}

void SettingForm::build() {
    auto combo = [this](const QString& name, int from, int to) {
        auto* c = new QComboBox(this);
        c->setObjectName(name);
        for (int v = from; v <= to; ++v) c->addItem(QString::number(v));
        c->setMaxVisibleItems(15);
        return c;
    };
    Frame2 = new QGroupBox(QStringLiteral("収録間隔"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Combo4 = combo(QStringLiteral("Combo4"), 0, 24);
    Combo5 = combo(QStringLiteral("Combo5"), 0, 59);
    Combo6 = combo(QStringLiteral("Combo6"), 0, 30);
    auto* iv = new QHBoxLayout(Frame2);
    iv->addWidget(Combo4);
    iv->addWidget(new QLabel(QStringLiteral("時"), Frame2));
    iv->addSpacing(8);
    iv->addWidget(Combo5);
    iv->addWidget(new QLabel(QStringLiteral("分"), Frame2));
    iv->addSpacing(8);
    iv->addWidget(Combo6);
    iv->addWidget(new QLabel(QStringLiteral("秒"), Frame2));
    iv->addStretch();
    connect(Combo4, &QComboBox::activated, this, [this] { Combo4_Click(); });
    connect(Combo5, &QComboBox::activated, this, [this] { Combo5_Click(); });
    connect(Combo6, &QComboBox::activated, this, [this] { Combo6_Click(); });

    Frame3 = new QGroupBox(QStringLiteral(" "), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto* captions = new QVBoxLayout(Frame3);
    const QStringList rows = {QStringLiteral("ｾﾝｻ/入力"), QStringLiteral("ｽｹｰﾙ最小値"), QStringLiteral("ｽｹｰﾙ最大値"),
                              QStringLiteral("ﾋﾟﾘｵﾄﾞ位置"), QStringLiteral("単位"),       QStringLiteral("上限警報値"),
                              QStringLiteral("下限警報値"), QStringLiteral("積算基準値")};
    for (int r = 0; r < rows.size(); ++r) {
        auto* l = new QLabel(rows[r], Frame3);
        l->setObjectName(QStringLiteral("Label%1").arg(5 + r));
        l->setFixedHeight(kRowHeight);
        captions->addWidget(l);
        // The TAG settings have no integration base.
        if (m_kind == SettingFormKind::Tag && r == rows.size() - 1) l->hide();
    }

    auto* channels = new QHBoxLayout;
    channels->addWidget(Frame3);
    for (int i = 0; i < kChannels; ++i) {
        channels->addWidget(build_channel(i));
    }
    // Tab walks down each channel's column as its rows read (type, scales,
    // decimal position, unit, alarms, base), then on to the next channel's
    // type; hidden and disabled fields are passed over.
    QWidget* previous = nullptr;
    for (size_t i = 0; i < size_t(kChannels); ++i) {
        const std::array<QWidget*, 8> column = {Combo2[i], Text4[i], Text5[i], Combo3[i],
                                                Text6[i],  Text7[i], Text8[i], Text9[i]};
        for (QWidget* w : column) {
            if (previous) setTabOrder(previous, w);
            previous = w;
        }
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (m_kind == SettingFormKind::Log) layout->addWidget(Frame2);
    else Frame2->hide();
    layout->addLayout(channels);
}

// ---------------------------------------------------------------- events

bool SettingForm::eventFilter(QObject* watched, QEvent* event) {
    const QVariant field = watched->property(kField);
    if (!field.isValid()) return QWidget::eventFilter(watched, event);
    const int f = field.toInt();
    const int i = watched->property(kChannel).toInt();
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        const QString t = k->text();
        if (!t.isEmpty() && t.at(0).isPrint()) {
            const QChar c = t.at(0);
            const bool ok = f == Unit ? unit_key_ok(c) : (f == ScaleMin || f == ScaleMax) ? scale_key_ok(c) : alarm_key_ok(c);
            if (!ok) return true;  // the key is dropped
        }
    } else if (event->type() == QEvent::FocusOut) {
        switch (f) {
        case ScaleMin: Text4_LostFocus(i); break;
        case ScaleMax: Text5_LostFocus(i); break;
        case Unit: Text6_LostFocus(i); break;
        case High: Text7_LostFocus(i); break;
        case Low: Text8_LostFocus(i); break;
        case Base: Text9_LostFocus(i); break;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- input type

QString SettingForm::type_text(int i) const { return Combo2[size_t(i)]->currentText(); }

void SettingForm::apply_enabling(int i) {
    const QString t = type_text(i);
    const bool voltage = t == u"V";
    const bool thermo = is_thermocouple(t);
    const size_t c = size_t(i);
    for (QWidget* w : {static_cast<QWidget*>(Text4[c]), static_cast<QWidget*>(UpDown4[c]),
                       static_cast<QWidget*>(Text5[c]), static_cast<QWidget*>(UpDown5[c]),
                       static_cast<QWidget*>(Combo3[c]), static_cast<QWidget*>(Text6[c])}) {
        w->setEnabled(voltage);
    }
    for (QWidget* w : {static_cast<QWidget*>(Text7[c]), static_cast<QWidget*>(UpDown7[c]),
                       static_cast<QWidget*>(Text8[c]), static_cast<QWidget*>(UpDown8[c]),
                       static_cast<QWidget*>(Text9[c]), static_cast<QWidget*>(UpDown9[c])}) {
        w->setEnabled(thermo);
    }
}

void SettingForm::k_e_j_t_def_disp(const QString& type, int i) {
    const auto d = type_defaults(type);
    if (!d) return;
    Text7[size_t(i)]->setText(d->high);
    Text8[size_t(i)]->setText(d->low);
    Text9[size_t(i)]->setText(d->base);
}

void SettingForm::Combo2_Click(int i) {
    if (before_change) before_change();
    const QString t = type_text(i);
    const size_t c = size_t(i);
    apply_enabling(i);
    if (t == u"V") {
        for (QLineEdit* e : {Text7[c], Text8[c], Text9[c]}) e->setText(QStringLiteral("------"));
    } else if (is_thermocouple(t)) {
        Text6[c]->setText(QStringLiteral(" V"));
        k_e_j_t_def_disp(t, i);
    } else {
        Text6[c]->setText(QStringLiteral(" V"));
        for (QLineEdit* e : {Text7[c], Text8[c], Text9[c]}) e->setText(QStringLiteral("------"));
    }
}

// ---------------------------------------------------------------- interval

void SettingForm::set_index(QComboBox* box, int index) {
    // A list set by a rule counts as that list's own change.
    if (box->currentIndex() == index) return;
    box->setCurrentIndex(index);
    if (box == Combo4) Combo4_Click();
    else if (box == Combo5) Combo5_Click();
    else if (box == Combo6) Combo6_Click();
}

void SettingForm::interval_zero_check() {
    if (Combo4->currentIndex() == 0 && Combo5->currentIndex() == 0 && Combo6->currentIndex() == 0) {
        platform::msgBox(this, kIntervalResetMessage, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        set_index(Combo5, 1);
    }
}

void SettingForm::Combo4_Click() {
    if (before_change) before_change();
    const int h = Combo4->currentIndex();
    if (h == 24) {
        set_index(Combo5, 0);
        set_index(Combo6, 0);
        return;
    }
    if (h != 0) set_index(Combo6, 0);
    interval_zero_check();
}

void SettingForm::Combo5_Click() {
    if (before_change) before_change();
    if (Combo5->currentIndex() != 0) {
        set_index(Combo6, 0);
        if (Combo4->currentIndex() == 24) set_index(Combo4, 0);
    }
    interval_zero_check();
}

void SettingForm::Combo6_Click() {
    if (before_change) before_change();
    if (Combo6->currentIndex() != 0) {
        set_index(Combo4, 0);
        set_index(Combo5, 0);
    }
    interval_zero_check();
}

void SettingForm::set_interval_silently(int h, int m, int s) {
    const QSignalBlocker b4(Combo4), b5(Combo5), b6(Combo6);
    Combo4->setCurrentIndex(h >= 0 && h < Combo4->count() ? h : -1);
    Combo5->setCurrentIndex(m >= 0 && m < Combo5->count() ? m : -1);
    Combo6->setCurrentIndex(s >= 0 && s < Combo6->count() ? s : -1);
}

QString SettingForm::interval_text() const {
    if (Combo4->currentIndex() < 0 || Combo5->currentIndex() < 0 || Combo6->currentIndex() < 0) return QString();
    return two(Combo4->currentIndex()) + u':' + two(Combo5->currentIndex()) + u':' + two(Combo6->currentIndex());
}

// ---------------------------------------------------------------- fields

void SettingForm::Text4_LostFocus(int i) {
    Text4[size_t(i)]->setText(scale_min_checked(Text4[size_t(i)]->text(), Text5[size_t(i)]->text()));
}

void SettingForm::Text5_LostFocus(int i) {
    Text5[size_t(i)]->setText(scale_max_checked(Text5[size_t(i)]->text(), Text4[size_t(i)]->text()));
}

bool SettingForm::Text6_LostFocus(int i) {
    QLineEdit* t = Text6[size_t(i)];
    if (m_inUnitCheck || !unit_refused(t->text())) return true;
    m_inUnitCheck = true;
    platform::msgBox(this, kUnitRefusedMessage, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    t->setFocus();
    t->selectAll();
    m_inUnitCheck = false;
    return false;
}

void SettingForm::Text7_LostFocus(int i) {
    const size_t c = size_t(i);
    Text7[c]->setText(alarm_checked(AlarmField::High, type_text(i), Text7[c]->text(), Text8[c]->text()));
}

void SettingForm::Text8_LostFocus(int i) {
    const size_t c = size_t(i);
    Text8[c]->setText(alarm_checked(AlarmField::Low, type_text(i), Text8[c]->text(), Text7[c]->text()));
}

void SettingForm::Text9_LostFocus(int i) {
    const size_t c = size_t(i);
    Text9[c]->setText(alarm_checked(AlarmField::Base, type_text(i), Text9[c]->text(), QString()));
}

void SettingForm::UpDown4_Change(int i, bool up) {
    const size_t c = size_t(i);
    if (const auto t = scale_min_step(Text4[c]->text(), Text5[c]->text(), up)) Text4[c]->setText(*t);
}

void SettingForm::UpDown5_Change(int i, bool up) {
    const size_t c = size_t(i);
    if (const auto t = scale_max_step(Text5[c]->text(), Text4[c]->text(), up)) Text5[c]->setText(*t);
}

void SettingForm::UpDown7_Change(int i, bool up) {
    const size_t c = size_t(i);
    if (const auto t = alarm_step(AlarmField::High, type_text(i), Text7[c]->text(), Text8[c]->text(), up))
        Text7[c]->setText(*t);
}

void SettingForm::UpDown8_Change(int i, bool up) {
    const size_t c = size_t(i);
    if (const auto t = alarm_step(AlarmField::Low, type_text(i), Text8[c]->text(), Text7[c]->text(), up))
        Text8[c]->setText(*t);
}

void SettingForm::UpDown9_Change(int i, bool up) {
    const size_t c = size_t(i);
    if (const auto t = alarm_step(AlarmField::Base, type_text(i), Text9[c]->text(), QString(), up))
        Text9[c]->setText(*t);
}

// ---------------------------------------------------------------- fill and collect

void SettingForm::fill(const clsLOGGER_SETTING& s) {
    if (m_kind == SettingFormKind::Log) {
        const QString iv = s.record_interval();
        auto part = [&](int from) {
            bool ok = false;
            const int v = iv.mid(from, 2).trimmed().toInt(&ok);
            return ok ? v : -1;
        };
        set_interval_silently(part(0), part(3), part(6));
    }
    for (int i = 0; i < kChannels; ++i) {
        const size_t c = size_t(i);
        const QString type = s.Ch_input_type(i);
        {
            const QSignalBlocker b(Combo2[c]);
            Combo2[c]->setCurrentIndex(combo2_listindex_make(type));
        }
        apply_enabling(i);
        Text4[c]->setText(scale_form(s.Ch_scale_min(i)));
        Text5[c]->setText(scale_form(s.Ch_scale_max(i)));
        {
            const QSignalBlocker b(Combo3[c]);
            Combo3[c]->setCurrentIndex(combo3_listindex_make(QString::number(s.Ch_period_pos(i))));
        }
        QString unit = s.Ch_unit(i);
        while (unit.endsWith(u' ') || unit.endsWith(QChar(0))) unit.chop(1);
        Text6[c]->setText(unit);
        const bool shown = type != u"V" && type != u"-";
        auto value = [&](double v) { return shown ? platform::format(v, QStringLiteral("##0.0")) : QStringLiteral("------"); };
        Text7[c]->setText(value(s.Ch_high_alarm_count_value(i)));
        Text8[c]->setText(value(s.Ch_low_alarm_count_value(i)));
        if (m_kind == SettingFormKind::Log) Text9[c]->setText(value(s.Ch_sum_std_count_value(i)));
    }
}

void SettingForm::collect(clsLOGGER_SETTING& s, bool announce) {
    const bool tag = m_kind == SettingFormKind::Tag;
    const QString iv = interval_text();
    if (tag) {
        // The TAG settings carry no interval.
    } else if (interval_valid(iv)) {
        s.let_record_interval(iv);
    } else if (!interval_valid(s.record_interval())) {
        // Never store (and later send or save) an interval of nothing.
        if (announce) {
            platform::msgBox(this, kIntervalResetMessage, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        }
        set_interval_silently(0, 1, 0);
        s.let_record_interval(QStringLiteral("00:01:00"));
    }
    QStringList kept;
    for (int i = 0; i < kChannels; ++i) {
        const size_t c = size_t(i);
        const QString ch = QStringLiteral("CH%1 ").arg(i + 1);
        s.let_Ch_input_type(i, type_code_of_item(type_text(i)));
        auto scale = [&](QLineEdit* t, bool isMin) {
            bool stored = false;
            try {
                if (const auto n = whole_number(fixed(t->text(), 6))) {
                    if (isMin) s.let_Ch_scale_min(i, platform::toInt16(*n));
                    else s.let_Ch_scale_max(i, platform::toInt16(*n));
                    stored = true;
                }
            } catch (const Error&) {
            }
            if (stored || !tag) return;
            // A partial entry (the field not left yet): the stored value stays and is shown again.
            t->setText(scale_form(isMin ? s.Ch_scale_min(i) : s.Ch_scale_max(i)));
            kept << ch + (isMin ? QStringLiteral("ｽｹｰﾙ最小値") : QStringLiteral("ｽｹｰﾙ最大値"));
        };
        scale(Text4[c], true);
        scale(Text5[c], false);
        if (Combo3[c]->currentIndex() >= 0) {
            s.let_Ch_period_pos(i, quint8(Combo3[c]->currentIndex()));
        } else if (tag) {
            // No position chosen (the setting held none of 0-3): 0 is stored and shown.
            s.let_Ch_period_pos(i, 0);
            const QSignalBlocker b(Combo3[c]);
            Combo3[c]->setCurrentIndex(0);
            kept << ch + QStringLiteral("ﾋﾟﾘｵﾄﾞ位置");
        }
        s.let_Ch_unit(i, fixed(Text6[c]->text(), 3));
    }
    // Alarm texts are scaled by the channel's type and decimal position, so
    // they come after all of those. A text with no decimal point would be read
    // as a scaled count: a number is stored with its decimal, "------" as not
    // set, and anything else leaves the stored value.
    auto value_text = [](const QString& t) -> QString {
        const QString x = t.trimmed();
        if (x == u"------" || x == u"-----") return QStringLiteral("------");
        try {
            return platform::format(platform::toDouble(x), QStringLiteral("0.0###"));
        } catch (const Error&) {
            return QString();
        }
    };
    for (int i = 0; i < kChannels; ++i) {
        const size_t c = size_t(i);
        const QString high = value_text(Text7[c]->text());
        if (!high.isEmpty()) s.let_Ch_high_alarm_count(i, fixed(high, 6));
        const QString low = value_text(Text8[c]->text());
        if (!low.isEmpty()) s.let_Ch_low_alarm_count(i, fixed(low, 6));
    }
    if (!tag) {
        for (int i = 0; i < kChannels; ++i) {
            const QString base = value_text(Text9[size_t(i)]->text());
            if (!base.isEmpty()) s.let_Ch_sum_std_count(i, fixed(base, 6));
        }
    }
    if (announce && !kept.isEmpty()) {
        platform::msgBox(this, setting_fields_kept_message(kept), platform::MsgButtons::OK,
                         platform::MsgIcon::Exclamation);
    }
}

// ---------------------------------------------------------------- clipboard

void SettingForm::copy_to(SettingClipboard& clip) const {
    // The TAG form leaves the LOG editor's own fields as they are.
    const bool log = m_kind == SettingFormKind::Log;
    if (log) {
        clip.hh = SettingClipboard::fit(Combo4->currentText().left(2), 2);
        clip.mm = SettingClipboard::fit(Combo5->currentText().left(2), 2);
        clip.ss = SettingClipboard::fit(Combo6->currentText().left(2), 2);
    }
    for (int i = 0; i < kChannels; ++i) {
        const size_t c = size_t(i);
        clip.a[c] = qint16(Combo2[c]->currentIndex());
        clip.scale_min[c] = SettingClipboard::fit(Text4[c]->text(), 6);
        clip.scale_max[c] = SettingClipboard::fit(Text5[c]->text(), 6);
        clip.b[c] = qint16(Combo3[c]->currentIndex());
        clip.unit[c] = SettingClipboard::fit(Text6[c]->text(), 3);
        clip.high_alarm[c] = SettingClipboard::fit(Text7[c]->text(), 6);
        clip.low_alarm[c] = SettingClipboard::fit(Text8[c]->text(), 6);
        if (log) clip.sum_std[c] = SettingClipboard::fit(Text9[c]->text(), 6);
    }
    clip.valid = true;
}

void SettingForm::paste_from(const SettingClipboard& clip) {
    auto index = [](const QString& t) {
        bool ok = false;
        const int v = t.trimmed().toInt(&ok);
        return ok ? v : -1;  // copied while the list had no selection: none again
    };
    const bool log = m_kind == SettingFormKind::Log;
    if (log) set_interval_silently(index(clip.hh), index(clip.mm), index(clip.ss));
    for (int i = 0; i < kChannels; ++i) {
        const size_t c = size_t(i);
        {
            const QSignalBlocker b(Combo2[c]);
            Combo2[c]->setCurrentIndex(clip.a[c]);
        }
        apply_enabling(i);
        Text4[c]->setText(clip.scale_min[c]);
        Text5[c]->setText(clip.scale_max[c]);
        {
            const QSignalBlocker b(Combo3[c]);
            Combo3[c]->setCurrentIndex(clip.b[c]);
        }
        Text6[c]->setText(clip.unit[c]);
        Text7[c]->setText(clip.high_alarm[c]);
        Text8[c]->setText(clip.low_alarm[c]);
        if (log) Text9[c]->setText(clip.sum_std[c]);
    }
}

}  // namespace mq
