#include "main_window/connect_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "main_window/config_files.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/serial_port.h"

namespace mq {

namespace {

const QString kTitle = QStringLiteral("マロウクイル");

}  // namespace

DialogMessage dialog_message(const QString& state) {
    struct Entry {
        const char* state;
        const char16_t* text;
        bool autoClose;
    };
    static const Entry table[] = {
        {"10", u"ロガーとパソコンの接続を確認しＯＫを押して下さい。", false},
        {"20", u"ロガーとの接続に失敗しました。", false},
        {"25", u"ロガーとの接続を確認しました。", true},
        {"30", u"異なるロガーとの接続を確認しました。", true},
        {"32", u"ロガーとの再接続を確認しました。", true},
        {"35", u"動作モード（ログ／タグ／メモリ）が変更されました。", false},
        {"40", u"ロガーと接続状態にありません。　ロガー接続を行って下さい。", false},
        {"90", u"ロガーとの接続が失われました。", true},
        {"95", u"異なるロガーとの接続を確認しました。　ロガー接続を行って下さい。", false},
        {"100", u"ロガーとの接続処理は無効となります。以前の状態を維持します。", false},
    };
    for (const Entry& e : table) {
        if (state == QLatin1String(e.state)) return {kTitle, QString::fromUtf16(e.text), e.autoClose};
    }
    return {};
}

Dialog::Dialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Dialog"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(360);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2000);
    Timer1->setSingleShot(false);
    Timer1->setTimerType(Qt::PreciseTimer);  // two seconds, not "about" two
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addLayout(buttons);

    Form_Load();
}

Dialog::~Dialog() { Form_Unload(); }

void Dialog::Form_Load() {
    const QString state = home_state().dialog_state;
    Label2->clear();
    const DialogMessage msg = dialog_message(state);
    setWindowTitle(msg.title);
    Label1->setText(msg.text);
    if (msg.autoClose) Timer1->start();
    OKButton->setEnabled(true);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void Dialog::OKButton_Click() {
    if (m_searching) return;
    if (home_state().dialog_state != QLatin1String("10")) {
        Label2->clear();
        accept();
        return;
    }
    port_search();
}

void Dialog::Timer1_Timer() {
    Timer1->stop();
    accept();
}

void Dialog::Form_Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    Timer1->stop();
}

void Dialog::done(int r) {
    // Nothing ends a running search; its end leaves the window open for OK.
    if (m_searching) return;
    Form_Unload();
    QDialog::done(r);
}

void Dialog::reject() {
    if (m_searching) return;
    QDialog::reject();
}

void Dialog::closeEvent(QCloseEvent* e) {
    if (m_searching) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void Dialog::pause_between_ports() {
    // Keeps the window alive between probes; a port that cannot be opened
    // fails at once, so without this the loop would never let a repaint through.
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (t.elapsed() < m_portPauseMs);
}

void Dialog::port_search() {
    LinkState& ls = link();
    HomeState& hs = home_state();
    // What was in force before: a failed search puts it back, so that the
    // next connection attempt uses the settings the user had.
    const qint16 prevPort = ls.comm_port_no;
    const qint32 prevBaud = ls.comm_baud_rate;

    m_searching = true;
    setWindowTitle(QStringLiteral("自動設定実行中"));
    Label1->setText(QStringLiteral("使用可能なポートを自動検出中です。　しばらくお待ち下さい。"));
    OKButton->setEnabled(false);

    send_initial();

    qint16 hitPort = 0;
    for (const qint32 speed : kSearchSpeeds) {
        ls.comm_baud_rate = speed;
        comm_setting();
        for (qint16 port = 1; port <= kSearchLastPort; ++port) {
            Label2->setText(QStringLiteral("COM ") + QString::number(port));
            emit portProbe(port, speed);
            if (comm_port_check(port)) {
                hitPort = port;
                break;
            }
            pause_between_ports();
        }
        if (hitPort) break;
    }

    m_searching = false;
    if (!hitPort) {
        ls.comm_baud_rate = prevBaud;
        comm_setting();
        try {
            ls.MSComm1().setPortNumber(prevPort);
        } catch (const Error&) {
            // An open port keeps its number; the next exchange sets it again.
        }
        setWindowTitle(QStringLiteral("自動設定結果（失敗）"));
        Label1->setText(QStringLiteral("COM1～COM16 全てのポートでロガーとの通信に失敗しました。"));
        OKButton->setEnabled(true);
        hs.dialog_state = QStringLiteral("0");
        Label2->clear();
        emit searchEnded(false);
        return;
    }

    const QString lineType =
        ls.comm_baud_rate == 9600 ? QStringLiteral("/// RS-232C ///") : QStringLiteral("/// USB ///");
    Label2->clear();
    ls.comm_port_no = hitPort;
    setWindowTitle(QStringLiteral("自動設定結果（成功）"));
    Label1->setText(QStringLiteral("使用可能なポートが検出されました。") + QStringLiteral(" (COM ") +
                    QString::number(hitPort) + QStringLiteral(")") + QStringLiteral("\r\n") + lineType);
    OKButton->setEnabled(true);
    write_comm_set(model().user_dir, ls.comm_port_no, ls.comm_baud_rate);
    hs.dialog_state = QStringLiteral("0");
    emit searchEnded(true);
}

void show_connection_dialog(const QString& state, QWidget* parent) {
    home_state().dialog_state = state;
    if (!parent && ModelSlot::installed() && model().main_window) parent = model().main_window->mainWidget();
    Dialog dlg(parent);
    dlg.exec();
}

}  // namespace mq
