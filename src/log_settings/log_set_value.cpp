#include "log_settings/log_set_value.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "log_settings/log0_set_value.h"
#include "log_settings/log_setting_record.h"
#include "log_settings/ls01_file.h"
#include "log_settings/ops_log_setting.h"
#include "log_settings/reserve.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/common_proc.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/errors.h"
#include "platform/safe_file.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/setting_write.h"
#include "setting_editor/setting_editor_steps.h"

namespace mq {

namespace {

const QString kNoReserve = QStringLiteral("--");
const QString kZeroTime = QStringLiteral("0000/00/00 00:00:00");

}  // namespace

log_set_value::log_set_value(QWidget* parent)
    : SettingValueEditor(parent, {QStringLiteral("log_set_value"), QStringLiteral("ログ設定"), QStringLiteral("ﾛｸﾞ"),
                                  "Command5", "Command6", help_context::log_set_value}) {
    Label1 = new QLabel(QStringLiteral("ﾛｸﾞ番号選択 ／ 予約"), this);
    Label13 = new QLabel(QStringLiteral("／"), this);
    Label14 = new QLabel(kNoReserve, this);
    Label14->setObjectName(QStringLiteral("Label14"));
    Label14->setMinimumWidth(24);
    Check1 = new QCheckBox(QStringLiteral("予約収録"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Command3 = new QPushButton(QStringLiteral("設定..."), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setToolTip(QStringLiteral("表示している設定で予約収録設定を行います"));
    Command3->setAutoDefault(false);
    Command3->hide();
    auto* area = new QHBoxLayout;
    area->addWidget(Label1);
    area->addWidget(Combo1);
    area->addWidget(Label13);
    area->addWidget(Label14);
    area->addSpacing(16);
    area->addWidget(Check1);
    area->addWidget(Command3);
    area->addStretch();

    build(area, SettingFormKind::Log);
    form->before_change = [this] { release_reservation_on_edit(); };
    Command5 = writeShownButton();
    Command6 = helpButton();

    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });

    Form_Load();
}

log_set_value::~log_set_value() = default;

log_set_value* log_set_value::openInstance() { return setting_open_editor<log_set_value>(); }

int log_set_value::reserved_area() const {
    bool ok = false;
    const int n = Label14->text().toInt(&ok);
    return ok ? n : 0;
}

Operation log_set_value::read_operation() {
    return log_settings_read_operation([this](qint16 n) { setting_disp(n); }, [this] { unload(); });
}

Operation log_set_value::write_operation(bool all, int n) {
    return log_settings_write_operation(all, n, reserved_area(), m_reservation, [this] { unload(); });
}

// ---------------------------------------------------------------- fill

void log_set_value::fill_setting(int n) {
    if (!fill_form(n)) return;
    if (!saved_reserve_label.isEmpty() && saved_reserve_label != kNoReserve) {
        if (saved_reserve_label.toInt() == n) {
            set_check1_silently(true);
            Command3->show();
            Command1->setEnabled(false);
            return;
        }
        Command1->setEnabled(false);
    }
    set_check1_silently(false);
}

// ---------------------------------------------------------------- loading

void log_set_value::loading() { m_reservation = Reservation{}; }

// ---------------------------------------------------------------- area and reservation

void log_set_value::show_chosen(int n) {
    saved_reserve_label = Label14->text();
    const bool keepOpt = m_reservation.by_duration;
    fill_setting(n);
    Label14->setText(saved_reserve_label);
    if (!saved_reserve_label.isEmpty() && saved_reserve_label != kNoReserve) {
        Command1->setEnabled(false);
        if (!Check1->isChecked()) Command3->hide();
    }
    m_reservation.by_duration = keepOpt;
}

void log_set_value::set_check1_silently(bool on) {
    const QSignalBlocker b(Check1);
    Check1->setChecked(on);
}

void log_set_value::check1_off_effects() {
    Command3->hide();
    Label14->setText(kNoReserve);
    m_reservation.by_duration = false;
    m_reservation.no_lead = false;
    Command1->setEnabled(true);
}

void log_set_value::release_reservation_on_edit() {
    if (Label14->text() != kNoReserve && Check1->isChecked()) {
        set_check1_silently(false);
        check1_off_effects();
        Label14->setText(kNoReserve);
    }
}

void log_set_value::Check1_Click() {
    const bool ticked = Check1->isChecked();
    const int h = form->Combo4->currentIndex();
    const int m = form->Combo5->currentIndex();
    const int s = form->Combo6->currentIndex();
    QString refusal;
    if ((h <= 0 && m <= 0 && s <= 0) || (h == 24 && (m != 0 || s != 0))) {
        refusal = QStringLiteral("収録間隔の設定が正しくありません。");
    } else {
        bool any = false;
        for (int i = 0; i < SettingForm::kChannels; ++i) any = any || form->Combo2[size_t(i)]->currentIndex() > 0;
        if (!any) refusal = QStringLiteral("収録チャンネルがありません。");
    }
    if (!refusal.isEmpty()) {
        setting_editor_warn(this, refusal);
        set_check1_silently(false);
        if (!ticked) check1_off_effects();
        return;
    }
    if (ticked) {
        Command3->show();
        m_reservation.start.clear();
        m_reservation.stop.clear();
        Label14->setText(kNoReserve);
        m_reservation.by_duration = false;
        m_reservation.no_lead = false;
        Command1->setEnabled(false);
    } else {
        check1_off_effects();
    }
}

void log_set_value::Command3_Click() {
    {
        int used = 0;
        for (int i = 0; i < SettingForm::kChannels; ++i) used += form->Combo2[size_t(i)]->currentIndex() > 0 ? 1 : 0;
        reserve dlg(form->Combo4->currentIndex(), form->Combo5->currentIndex(), form->Combo6->currentIndex(), used,
                    m_reservation, this);
        dlg.exec();
        m_reservation = dlg.reservation();
    }
    if (!link().link_connected_flag) {
        unload();
        return;
    }
    const int n = shown_area();
    const auto ds = setting_area_data_set(n);
    Reservation& s = m_reservation;
    if (s.complete()) {
        if (ds) {
            ds->clsLOGGER_SETTING().let_start_time(reservation_setting_time(s.start));
            ds->clsLOGGER_SETTING().let_stop_time(reservation_setting_time(s.stop));
        }
        Label14->setText(QString::number(n));
    } else {
        set_check1_silently(false);
        check1_off_effects();
        Label14->setText(kNoReserve);
        s.by_duration = false;
        s.no_lead = false;
        if (ds) {
            ds->clsLOGGER_SETTING().let_start_time(platform::zeroCivil());
            ds->clsLOGGER_SETTING().let_stop_time(platform::zeroCivil());
        }
    }
}

log_set_value::ClockCheck log_set_value::reserve_clock_check() {
    Reservation& s = m_reservation;
    QString value;
    bool isEnd = false;
    if (s.start != kZeroTime) {
        value = s.start;
    } else if (s.stop == kZeroTime) {
        return ClockCheck::Passed;  // nothing to compare
    } else {
        value = s.stop;
        isEnd = true;
    }
    QDateTime clock;
    if (read_logger_clock_direct(&clock) != DirectClock::Ok) return ClockCheck::Closed;
    if (isEnd && s.by_duration) return ClockCheck::Passed;  // the write counts the end from its own reading
    if (reserve_time_after_clock(value, clock)) return ClockCheck::Passed;
    setting_editor_warn(this, QStringLiteral("ロガー本体時刻より手前は設定出来ません。"));
    set_check1_silently(false);
    check1_off_effects();
    Label14->setText(kNoReserve);
    s.start.clear();
    s.stop.clear();
    return ClockCheck::Refused;
}

// ---------------------------------------------------------------- writing

QString log_set_value::write_question(int n) const {
    const OpMode mode = get_cur_mode_type();
    if (mode == OpMode::Log) {
        return QStringLiteral("書き込みを行うとLOG") + QString::number(n) +
               QStringLiteral("に収録済みのデータは削除されます。よろしいですか？");
    }
    if (mode == OpMode::Memory) {
        return QStringLiteral("書き込みを行うとMEMORY") + QString::number(n) +
               QStringLiteral("の設定を更新します。よろしいですか？");
    }
    return QString();
}

bool log_set_value::before_write(int n, bool all) {
    if (!m_reservation.complete() || Label14->text() == kNoReserve) return true;
    if (!all && reserved_area() != n) return true;
    const ClockCheck c = reserve_clock_check();
    if (c == ClockCheck::Closed) unload();
    return c == ClockCheck::Passed;
}

// ---------------------------------------------------------------- files and defaults

FileResult log_set_value::save_setting_file(const QString& chosen, clsLOGGER_SETTING& s) {
    return write_file_safely(ls01_save_name(chosen), ls01_bytes(s, log_file_identity()));
}

bool log_set_value::load_setting_file(const QString& chosen, const std::shared_ptr<clsLOGGER_DATA>& ds) {
    const QString damaged = QStringLiteral("設定ファイルの内容が正しくないため読み込めません。\r\n") + chosen;
    QByteArray bytes;
    if (const FileResult r = read_small_file(chosen, kLs01MaxBytes, damaged, bytes); !r) {
        setting_editor_warn(this, r.message);
        return false;
    }
    const SettingFileRead r = ls01_read(bytes, ds->clsLOGGER_SETTING());
    if (r == SettingFileRead::WrongTag) {
        const OpMode mode = get_cur_mode_type();
        if (mode == OpMode::Log) setting_editor_warn(this, QStringLiteral("選択ファイルの形式がログ設定データではありません。"));
        else if (mode == OpMode::Memory) setting_editor_warn(this, QStringLiteral("選択ファイルの形式がメモリ設定データ(ログモード共通)ではありません。"));
        return false;
    }
    if (r == SettingFileRead::Damaged) {
        setting_editor_warn(this, damaged);
        return false;
    }
    saved_reserve_label = Label14->text();
    return true;
}

bool log_set_value::reservation_question() {
    if (Label14->text() == kNoReserve || reserved_area() != shown_area()) return true;
    if (setting_editor_ask(this, QStringLiteral("予約設定は解除されます。よろしいですか？")) != platform::MsgResult::OK) return false;
    set_check1_silently(false);
    check1_off_effects();
    Label14->setText(kNoReserve);
    return true;
}

bool log_set_value::load_defaults() { return log0_set_value_file_open_click(this); }

// ---------------------------------------------------------------- installation

void install_log_settings_targets(HomeTargets& targets) {
    targets.commands[HomeCommand::LogSetValue] = [] {
        log_set_value dlg(model().main_window ? model().main_window->mainWidget() : nullptr);
        dlg.exec();
    };
    targets.commands[HomeCommand::Log0SetValue] = [] {
        log0_set_value dlg(model().main_window ? model().main_window->mainWidget() : nullptr);
        if (!dlg.unloaded()) dlg.exec();
    };
}

}  // namespace mq
