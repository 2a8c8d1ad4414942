#include "log_settings/log_set_value.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "log_settings/log0_set_value.h"
#include "sequencer/setting_form.h"
#include "log_settings/log_setting_record.h"
#include "log_settings/ls01_file.h"
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
#include "platform/message_box.h"
#include "platform/safe_file.h"
#include "platform/window_place.h"
#include "sequencer/ops_log_setting.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"
#include "sequencer/setting_editor_steps.h"
#include "sequencer/setting_write.h"

namespace mq {

namespace {

constexpr int kAreas = 20;
const QString kNoReserve = QStringLiteral("--");
const QString kZeroTime = QStringLiteral("0000/00/00 00:00:00");

QDateTime zero_time() { return platform::civil(1899, 12, 30, 0, 0, 0); }

QDateTime reserve_time(const QString& text) {
    if (text.startsWith(QStringLiteral("0000"))) return zero_time();
    try {
        return platform::parseCivil(text);
    } catch (const Error&) {
        return zero_time();
    }
}

}  // namespace

log_set_value::log_set_value(QWidget* parent) : ActivatedDialog(parent) {
    setObjectName(QStringLiteral("log_set_value"));
    setWindowTitle(QStringLiteral("ログ設定"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto action = [this](const QString& text, const QString& tip, int index) {
        QAction* a = Toolbar1->addAction(text);
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
        m_buttons << a;
    };
    action(QStringLiteral("開く"), QStringLiteral("設定ファイルを開く"), 1);
    action(QStringLiteral("保存"), QStringLiteral("設定ファイルを保存する"), 2);
    Toolbar1->addSeparator();
    action(QStringLiteral("ｺﾋﾟｰ"), QStringLiteral("ｺﾋﾟｰ"), 5);
    action(QStringLiteral("貼り付け"), QStringLiteral("貼り付け"), 6);
    Toolbar1->addSeparator();
    action(QStringLiteral("既定値"), QStringLiteral("既定収録設定を貼り付け"), 8);

    Label1 = new QLabel(QStringLiteral("ﾛｸﾞ番号選択 ／ 予約"), this);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    for (int n = 1; n <= kAreas; ++n) Combo1->addItem(QString::number(n));
    Combo1->setMaxVisibleItems(20);
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

    form = new SettingForm(this);
    form->before_change = [this] { release_reservation_on_edit(); };

    auto button = [this](const char* name, const QString& text, const QString& tip) {
        return setting_editor_button(this, name, text, tip);
    };
    Command1 = button("Command1", QStringLiteral("一括書き込み"),
                      QStringLiteral("すべての（01～20）ﾛｸﾞ設定をﾛｶﾞｰに書き込んで設定を終了します"));
    Command5 = button("Command5", QStringLiteral("書き込み"),
                      QStringLiteral("表示しているﾛｸﾞ設定のみﾛｶﾞｰに書き込んで設定を終了します"));
    Command2 = button("Command2", QStringLiteral("ｷｬﾝｾﾙ"), QStringLiteral("ﾛｸﾞ設定を行わずに終了します"));
    Command6 = button("Command6", QStringLiteral("ﾍﾙﾌﾟ"), QString());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command5);
    buttons->addWidget(Command2);
    buttons->addWidget(Command6);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Toolbar1);
    layout->addLayout(area);
    layout->addWidget(form);
    layout->addLayout(buttons);

    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });

    Form_Load();
}

log_set_value::~log_set_value() = default;

log_set_value* log_set_value::openInstance() { return setting_open_editor<log_set_value>(); }

int log_set_value::shown_area() const { return Combo1->currentIndex() + 1; }

int log_set_value::reserved_area() const {
    bool ok = false;
    const int n = Label14->text().toInt(&ok);
    return ok ? n : 0;
}

// ---------------------------------------------------------------- fill and collect

void log_set_value::fill_area(int n) {
    if (setting_logger_empty()) return;
    const auto ds = setting_area_data_set(n);
    if (!ds) return;
    model().act_logger_data = ds;
    form->fill(ds->clsLOGGER_SETTING());
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
    model().act_logger_data.reset();
}

void log_set_value::log_set_value_disp(qint16 n) {
    if (n < 1 || n > kAreas) return;
    if (Combo1->currentIndex() != n - 1) {
        Combo1->setCurrentIndex(n - 1);  // the area choice stores the area shown until now and fills
    } else {
        fill_area(n);
    }
}

void log_set_value::log_set_value_disp_kitei() {
    if (setting_logger_empty()) return;
    if (const auto ds = setting_area_data_set(0)) form->fill(ds->clsLOGGER_SETTING());
    model().act_logger_data.reset();
    if (Label14->text() != kNoReserve && Check1->isChecked()) {
        set_check1_silently(false);
        check1_off_effects();
        Label14->setText(kNoReserve);
    }
}

void log_set_value::log_setting_collect(int n, bool announce) {
    if (setting_logger_empty()) return;
    if (const auto ds = setting_area_data_set(n)) form->collect(ds->clsLOGGER_SETTING(), announce);
}

// ---------------------------------------------------------------- loading and activation

void log_set_value::Form_Load() {
    SeqState& s = seq();
    s.reserve_opt_flag = false;
    s.reserve_cmp_flag = false;
    s.reserve_start_str.clear();
    s.reserve_stop_str.clear();
    s.log_setting_read_done = false;
    s.setting_clip.valid = false;
    shown_area_index = 0;
    {
        const QSignalBlocker b(Combo1);
        Combo1->setCurrentIndex(0);
    }
    Combo1_Click();
    adjustSize();
    platform::centre_on_screen(this);
}

void log_set_value::Form_Activate() {
    if (m_inActivate || m_unloaded) return;
    m_inActivate = true;
    if (!seq().log_setting_read_done) {
        if (!setting_editor_first_read(this, op_read_log_setting, seq().log_setting_read_done)) {
            m_inActivate = false;
            unload();
            return;
        }
        if (!m_unloaded) log_set_value_disp(1);
    }
    m_inActivate = false;
    if (!m_unloaded && !link().link_connected_flag) unload();
}

// ---------------------------------------------------------------- area and reservation

void log_set_value::Combo1_Click() {
    const int idx = Combo1->currentIndex();
    if (idx < 0) return;
    if (shown_area_index != idx) {
        // While the settings read shows every area, no message interrupts it.
        log_setting_collect(shown_area_index + 1, !seq().dialog);
        shown_area_index = idx;
    }
    saved_reserve_label = Label14->text();
    const bool keepOpt = seq().reserve_opt_flag;
    fill_area(idx + 1);
    Label14->setText(saved_reserve_label);
    if (!saved_reserve_label.isEmpty() && saved_reserve_label != kNoReserve) {
        Command1->setEnabled(false);
        if (!Check1->isChecked()) Command3->hide();
    }
    seq().reserve_opt_flag = keepOpt;
}

void log_set_value::set_check1_silently(bool on) {
    const QSignalBlocker b(Check1);
    Check1->setChecked(on);
}

void log_set_value::check1_off_effects() {
    Command3->hide();
    Label14->setText(kNoReserve);
    seq().reserve_opt_flag = false;
    seq().reserve_cmp_flag = false;
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
        seq().reserve_start_str.clear();
        seq().reserve_stop_str.clear();
        Label14->setText(kNoReserve);
        seq().reserve_opt_flag = false;
        seq().reserve_cmp_flag = false;
        Command1->setEnabled(false);
    } else {
        check1_off_effects();
    }
}

void log_set_value::Command3_Click() {
    if (reserve_dialog) {
        reserve_dialog();
    } else {
        reserve dlg(form->Combo4->currentIndex(), form->Combo5->currentIndex(), form->Combo6->currentIndex(),
                    [this] {
                        int used = 0;
                        for (int i = 0; i < SettingForm::kChannels; ++i)
                            used += form->Combo2[size_t(i)]->currentIndex() > 0 ? 1 : 0;
                        return used;
                    }(),
                    this);
        dlg.exec();
    }
    if (!link().link_connected_flag) {
        unload();
        return;
    }
    const int n = shown_area();
    const auto ds = setting_area_data_set(n);
    model().act_logger_data = ds;
    SeqState& s = seq();
    if (!s.reserve_start_str.isEmpty() && !s.reserve_stop_str.isEmpty()) {
        if (ds) {
            ds->clsLOGGER_SETTING().let_start_time(reserve_time(s.reserve_start_str));
            ds->clsLOGGER_SETTING().let_stop_time(reserve_time(s.reserve_stop_str));
        }
        Label14->setText(QString::number(n));
    } else {
        set_check1_silently(false);
        check1_off_effects();
        Label14->setText(kNoReserve);
        s.reserve_opt_flag = false;
        s.reserve_cmp_flag = false;
        if (ds) {
            ds->clsLOGGER_SETTING().let_start_time(zero_time());
            ds->clsLOGGER_SETTING().let_stop_time(zero_time());
        }
    }
}

log_set_value::ClockCheck log_set_value::reserve_clock_check() {
    SeqState& s = seq();
    QString value;
    bool isEnd = false;
    if (s.reserve_start_str != kZeroTime) {
        value = s.reserve_start_str;
    } else if (s.reserve_stop_str == kZeroTime) {
        return ClockCheck::Passed;  // nothing to compare
    } else {
        value = s.reserve_stop_str;
        isEnd = true;
    }
    QDateTime clock;
    if (read_logger_clock_direct(&clock) != DirectClock::Ok) return ClockCheck::Closed;
    if (isEnd && s.reserve_opt_flag) return ClockCheck::Passed;  // the write counts the end from its own reading
    if (reserve_time_after_clock(value, clock)) return ClockCheck::Passed;
    setting_editor_warn(this, QStringLiteral("ロガー本体時刻より手前は設定出来ません。"));
    set_check1_silently(false);
    check1_off_effects();
    Label14->setText(kNoReserve);
    s.reserve_start_str.clear();
    s.reserve_stop_str.clear();
    return ClockCheck::Refused;
}

// ---------------------------------------------------------------- writing

void log_set_value::Command1_Click() {
    const int n = shown_area();
    if (setting_editor_ask(this, QStringLiteral("書き込みを行うとすべての収録済みデータが削除されます。よろしいですか？")) !=
        platform::MsgResult::OK) {
        return;
    }
    log_setting_collect(n);
    const SeqState& s = seq();
    if (!s.reserve_start_str.isEmpty() && !s.reserve_stop_str.isEmpty() && Label14->text() != kNoReserve) {
        const ClockCheck c = reserve_clock_check();
        if (c == ClockCheck::Refused) return;
        if (c == ClockCheck::Closed) {
            unload();
            return;
        }
    }
    seq().prog_mode = op_write_log_setting_all;
    seq().prog_target_no = qint16(n);
    try {
        prog_dialog_show(this);
    } catch (const Error&) {
        // A setting the builders cannot put into a command; the editor closes as after any write.
    }
    unload();
}

void log_set_value::Command5_Click() {
    const int n = shown_area();
    const quint8 mode = get_cur_mode_type();
    QString question;
    if (mode == 1) {
        question = QStringLiteral("書き込みを行うとLOG") + QString::number(n) +
                   QStringLiteral("に収録済みのデータは削除されます。よろしいですか？");
    } else if (mode == 3) {
        question = QStringLiteral("書き込みを行うとMEMORY") + QString::number(n) +
                   QStringLiteral("の設定を更新します。よろしいですか？");
    }
    if (setting_editor_ask(this, question) != platform::MsgResult::OK) return;
    log_setting_collect(n);
    const SeqState& s = seq();
    if (!s.reserve_start_str.isEmpty() && !s.reserve_stop_str.isEmpty() && Label14->text() != kNoReserve &&
        reserved_area() == n) {
        const ClockCheck c = reserve_clock_check();
        if (c == ClockCheck::Refused) return;
        if (c == ClockCheck::Closed) {
            unload();
            return;
        }
    }
    seq().prog_mode = op_write_log_setting_area;
    seq().prog_target_no = qint16(n);
    try {
        prog_dialog_show(this);
    } catch (const Error&) {
    }
    unload();
    setting_editor_rebind();
}

// ---------------------------------------------------------------- cancel, close, help

void log_set_value::Command2_Click() {
    unload();
    setting_editor_rebind();
}

void log_set_value::reject() { Command2_Click(); }

void log_set_value::closeEvent(QCloseEvent* e) {
    // The close box acts as Cancel; closing is never refused.
    if (!m_unloaded) Command2_Click();
    e->accept();
}

void log_set_value::Command6_Click() { show_help(this, model().help_file, help_context::log_set_value); }

// ---------------------------------------------------------------- toolbar

void log_set_value::Toolbar1_ButtonClick(int index) {
    switch (index) {
    case 1: log_csv_read(); break;
    case 2: log_csv_write(); break;
    case 5: log_setting_copy(); break;
    case 6: log_setting_paste(); break;
    case 8: log_default_paste(); break;
    default: break;
    }
}

void log_set_value::log_csv_write() {
    const int n = shown_area();
    log_setting_collect(n);
    const QString chosen = setting_csv_dialog(this, file_dialog, true);
    if (chosen.isEmpty()) return;
    const QString path = ls01_save_name(chosen);
    const auto ds = setting_area_data_set(n);
    if (!ds) return;
    model().act_logger_data = ds;
    SafeFileWriter w(path);
    FileResult r = w.open();
    if (r) r = w.write(ls01_bytes(ds->clsLOGGER_SETTING(), log_file_identity()));
    if (r) r = w.commit();
    model().act_logger_data.reset();
    if (!r) setting_editor_warn(this, r.message);
}

void log_set_value::log_csv_read() {
    const int n = shown_area();
    const QString chosen = setting_csv_dialog(this, file_dialog, false);
    if (chosen.isEmpty()) return;
    const auto ds = setting_area_data_set(n);
    if (!ds) return;
    const QString damaged = QStringLiteral("設定ファイルの内容が正しくないため読み込めません。\r\n") + chosen;
    QByteArray bytes;
    if (const FileResult r = read_small_file(chosen, kLs01MaxBytes, damaged, bytes); !r) {
        setting_editor_warn(this, r.message);
        return;
    }
    model().act_logger_data = ds;
    const SettingFileRead r = ls01_read(bytes, ds->clsLOGGER_SETTING());
    model().act_logger_data.reset();
    if (r == SettingFileRead::WrongTag) {
        const quint8 mode = get_cur_mode_type();
        if (mode == 1) setting_editor_warn(this, QStringLiteral("選択ファイルの形式がログ設定データではありません。"));
        else if (mode == 3) setting_editor_warn(this, QStringLiteral("選択ファイルの形式がメモリ設定データ(ログモード共通)ではありません。"));
        return;
    }
    if (r == SettingFileRead::Damaged) {
        setting_editor_warn(this, damaged);
        return;
    }
    saved_reserve_label = Label14->text();
    log_set_value_disp(qint16(n));
}

void log_set_value::log_setting_copy() { form->copy_to(seq().setting_clip); }

bool log_set_value::reservation_question() {
    if (Label14->text() == kNoReserve || reserved_area() != shown_area()) return true;
    if (setting_editor_ask(this, QStringLiteral("予約設定は解除されます。よろしいですか？")) != platform::MsgResult::OK) return false;
    set_check1_silently(false);
    check1_off_effects();
    Label14->setText(kNoReserve);
    return true;
}

void log_set_value::log_setting_paste() {
    if (!setting_clip_ready(this)) return;
    if (!reservation_question()) return;
    form->paste_from(seq().setting_clip);
}

void log_set_value::log_default_paste() {
    if (setting_editor_ask(this, QStringLiteral("既定収録値を読み込みます。　よろしいですか？")) != platform::MsgResult::OK) return;
    if (!reservation_question()) return;
    const bool added = log0_set_value_file_open_click(this);
    log_set_value_disp_kitei();
    // The defaults data set belongs to the defaults editor; one made here goes again.
    if (added && model().logger_main) {
        try {
            model().logger_main->colLOGGER_DATA().Remove(QStringLiteral("L00"));
        } catch (const MissingKeyError&) {
        }
    }
}

// ---------------------------------------------------------------- installation

std::function<void(qint16)> log_set_value_disp_hook() {
    return [](qint16 n) {
        if (log_set_value* e = log_set_value::openInstance()) e->log_set_value_disp(n);
    };
}

std::function<void()> unload_log_set_value_hook() {
    return [] {
        if (log_set_value* e = log_set_value::openInstance()) e->unload();
    };
}

void install_log_settings_targets(HomeTargets& targets) {
    targets.log_set_value = [] {
        log_set_value dlg(model().main_window ? model().main_window->mainWidget() : nullptr);
        dlg.exec();
    };
    targets.log0_set_value = [] {
        log0_set_value dlg(model().main_window ? model().main_window->mainWidget() : nullptr);
        if (!dlg.unloaded()) dlg.exec();
    };
    LogSettingHooks hooks;
    hooks.setting_commands = [](const clsLOGGER_SETTING& s, const QString& nn) { return log_setting_commands(s, nn); };
    hooks.reserve_command = [](const QString& tmpl, const QString& nn, const QString& when) {
        return log_cmd_reserve(tmpl, nn, when);
    };
    hooks.shown_area = [] {
        log_set_value* e = log_set_value::openInstance();
        return e ? e->shown_area() : 0;
    };
    hooks.reserved_area = [] {
        log_set_value* e = log_set_value::openInstance();
        return e ? e->reserved_area() : 0;
    };
    hooks.unload_editor = unload_log_set_value_hook();
    hooks.unload_default_editor = [] {
        if (log0_set_value* d = log0_set_value::openInstance()) d->unload();
    };
    hooks.show_memory = [](const MemoryDisplay& m) {
        if (reserve* r = reserve::openInstance()) r->show_memory(m);
    };
    install_log_setting_operations(hooks);
}

}  // namespace mq
