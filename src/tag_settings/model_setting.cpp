#include "tag_settings/model_setting.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "main_window/conversions.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/cls_logger_status.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/cp932.h"
#include "platform/message_box.h"
#include "sequencer/setting_write.h"
#include "tag_settings/comment_list_dialog.h"

namespace mq {

namespace {

constexpr int kClockRead = 4;    // S_CMD entries
constexpr int kNameRead = 11;
constexpr int kClockWrite = 1;   // K_P_CMD entries
constexpr int kNameWrite = 8;
constexpr qint16 kReadTicks = 10;

qint32 replyLength(int entry) { return link().cmd_s_rsp[entry].trimmed().toInt(); }

clsLOGGER_STATUS* loggerStatus() {
    ModelState& m = model();
    return m.logger_main ? &m.logger_main->clsLOGGER_STATUS() : nullptr;
}

QString two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

}  // namespace

QString model_clock_command(const QString& templ, const QDateTime& t) {
    const QDate d = t.date();
    const QTime h = t.time();
    return templ.left(6) + two(d.year() % 100) + two(d.month()) + two(d.day()) + two(h.hour()) + two(h.minute()) +
           two(h.second()) + templ.mid(18);
}

QString model_name_command(const QString& templ, const QString& name) {
    return templ.left(6) + platform::cp932::padToBytes(platform::cp932::cutToBytes(name, 8), 8) + templ.mid(14);
}

Model_Setting::Model_Setting(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Model_Setting"));
    setWindowTitle(QStringLiteral("機器設定"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Frame1 = new QGroupBox(QStringLiteral("時計設定"), this);
    MonthView1 = new QCalendarWidget(Frame1);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    auto makeList = [this](int count) {
        auto* c = new QComboBox(Frame1);
        for (int i = 0; i < count; ++i) c->addItem(QString::number(i));
        c->setCurrentIndex(-1);
        return c;
    };
    Combo1 = makeList(24);
    Combo2 = makeList(60);
    Combo3 = makeList(60);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo3->setObjectName(QStringLiteral("Combo3"));
    Check1 = new QCheckBox(QStringLiteral("ﾊﾟｿｺﾝの時計に合わせる"), Frame1);
    Check1->setObjectName(QStringLiteral("Check1"));
    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(Combo1);
    timeRow->addWidget(new QLabel(QStringLiteral("時"), Frame1));
    timeRow->addWidget(Combo2);
    timeRow->addWidget(new QLabel(QStringLiteral("分"), Frame1));
    timeRow->addWidget(Combo3);
    timeRow->addWidget(new QLabel(QStringLiteral("秒"), Frame1));
    timeRow->addStretch();
    auto* clockLayout = new QVBoxLayout(Frame1);
    clockLayout->addWidget(MonthView1);
    clockLayout->addLayout(timeRow);
    clockLayout->addWidget(Check1);

    Frame2 = new QGroupBox(QStringLiteral("機器名称設定"), this);
    Text7 = new QLineEdit(Frame2);
    Text7->setObjectName(QStringLiteral("Text7"));
    install_list_text_filter(Text7, 8);
    auto* nameLayout = new QHBoxLayout(Frame2);
    nameLayout->addWidget(Text7);
    nameLayout->addStretch();

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setToolTip(QStringLiteral("表示している設定をﾛｶﾞｰに書き込みます"));
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setToolTip(QStringLiteral("設定をｷｬﾝｾﾙしてﾎｰﾑ画面に戻ります"));
    Command2 = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setToolTip(QStringLiteral("ﾍﾙﾌﾟを表示します"));
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->addLayout(buttons);

    Form_Load();
}

void Model_Setting::Form_Load() {
    model_activated = false;
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void Model_Setting::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (model_activated) return;
    QTimer::singleShot(0, this, [this] { Form_Activate(); });
}

void Model_Setting::giveUp() {
    reject();
    if (HOME* home = home_window()) home->winTable().Proc_ManualActive();
}

void Model_Setting::Form_Activate() {
    if (model_activated) return;
    model_activated = true;
    model_comm_busy = true;
    if (!readFromLogger()) return;
    model_comm_busy = false;
}

// Checks the logger and reads its clock and name into the logger's status
// and the controls; false when the dialog gave up.
bool Model_Setting::readFromLogger() {
    send_initial();
    const qint16 r = send_recv_before_check();
    if (r != 0) {
        if (r == 1) comm_disconnect();
        else comm_logger_change();
        giveUp();
        return false;
    }
    if (!send_data_sub(link().cmd_s_req[kClockRead], replyLength(kClockRead), kReadTicks)) {
        comm_disconnect();
        giveUp();
        return false;
    }
    const QDateTime clock = clock_from_reply(rd_string_make());
    if (!clock.isValid()) {
        // A clock that is not a date cannot be shown or written back; nothing
        // is changed in the logger.
        platform::msgBox(this, QStringLiteral("ロガーの時計の値が正しくありません。"), platform::MsgButtons::OK,
                         platform::MsgIcon::Exclamation);
        giveUp();
        return false;
    }
    if (clsLOGGER_STATUS* s = loggerStatus()) s->let_logger_time(clock);
    model_time_set_ctrl();
    if (!send_data_sub(link().cmd_s_req[kNameRead], replyLength(kNameRead), kReadTicks)) {
        comm_disconnect();
        giveUp();
        return false;
    }
    if (clsLOGGER_STATUS* s = loggerStatus()) s->let_user_model_name(rd_string_make().mid(4, 8));
    model_name_set_ctrl();
    return true;
}

void Model_Setting::model_time_set_ctrl() {
    const clsLOGGER_STATUS* s = loggerStatus();
    if (!s) return;
    const QDateTime t = s->logger_time();
    MonthView1->setSelectedDate(QDate(2000 + t.date().year() % 100, t.date().month(), t.date().day()));
    Combo1->setCurrentIndex(t.time().hour());
    Combo2->setCurrentIndex(t.time().minute());
    Combo3->setCurrentIndex(t.time().second());
}

void Model_Setting::model_name_set_ctrl() {
    // Only the padding goes: OK without an edit writes the same name back.
    const clsLOGGER_STATUS* s = loggerStatus();
    QString name = s ? s->user_model_name() : QString();
    while (name.endsWith(u' ')) name.chop(1);
    Text7->setText(name);
}

void Model_Setting::setControlsToPcClock() {
    const QDateTime now = QDateTime::currentDateTime();
    MonthView1->setSelectedDate(now.date());
    Combo1->setCurrentIndex(now.time().hour());
    Combo2->setCurrentIndex(now.time().minute());
    Combo3->setCurrentIndex(now.time().second());
}

void Model_Setting::Check1_Click() {
    const bool pc = Check1->isChecked();
    if (pc) setControlsToPcClock();
    for (QWidget* w : {static_cast<QWidget*>(MonthView1), static_cast<QWidget*>(Combo1),
                       static_cast<QWidget*>(Combo2), static_cast<QWidget*>(Combo3)})
        w->setEnabled(!pc);
}

void Model_Setting::OKButton_Click() {
    if (Combo1->currentIndex() < 0 || Combo2->currentIndex() < 0 || Combo3->currentIndex() < 0) {
        platform::msgBox(this, QStringLiteral("時刻設定が正しくありません。"), platform::MsgButtons::OK,
                         platform::MsgIcon::Exclamation);
        return;
    }
    if (model_comm_busy) return;
    model_comm_busy = true;
    if (writeToLogger()) model_comm_busy = false;
}

// Writes the clock, then the name; the dialog closes either way.
bool Model_Setting::writeToLogger() {
    send_initial();
    const qint16 r = send_recv_before_check();
    if (r != 0) {
        if (r == 1) comm_disconnect();
        else comm_logger_change();
        reject();
        return false;
    }
    if (Check1->isChecked()) setControlsToPcClock();
    const QDateTime t(MonthView1->selectedDate(),
                      QTime(Combo1->currentIndex(), Combo2->currentIndex(), Combo3->currentIndex()));
    auto refused = [this](const QString& what) {
        platform::msgBox(this, setting_write_rejected_message(what), platform::MsgButtons::OK,
                         platform::MsgIcon::Exclamation);
        reject();
        return false;
    };
    const QString name = platform::cp932::padToBytes(platform::cp932::cutToBytes(Text7->text(), 8), 8);
    const QString commands[2] = {model_clock_command(link().cmd_k_p_req[kClockWrite], t),
                                 model_name_command(link().cmd_k_p_req[kNameWrite], name)};
    const QString names[2] = {QStringLiteral("時計"), QStringLiteral("機器名称")};
    for (int i = 0; i < 2; ++i) {
        const WriteReply reply = send_setting_write(commands[i]);
        if (reply == WriteReply::NoReply) {
            comm_disconnect();
            reject();
            return false;
        }
        if (reply == WriteReply::Rejected) return refused(names[i]);
    }
    if (clsLOGGER_STATUS* s = loggerStatus()) s->let_user_model_name(name);
    comm_connect_disp();
    accept();
    return true;
}

void Model_Setting::CancelButton_Click() {
    reject();
    model_comm_busy = false;
}

void Model_Setting::Command2_Click() { show_help(this, model().help_file, help_context::Model_Setting); }

void model_setting_show(QWidget* parent) {
    Model_Setting dlg(parent);
    dlg.exec();
}

}  // namespace mq
