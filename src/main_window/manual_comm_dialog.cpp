#include "main_window/manual_comm_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "main_window/config_files.h"
#include "main_window/serial_link.h"
#include "model/cur_accessors.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "platform/message_box.h"
#include "platform/port_table.h"
#include "platform/serial_port.h"

namespace mq {

namespace {

constexpr int kPorts = 16;

}  // namespace

QString Manual_comm_Dialog1::port_item_text(int port) {
    const QString path = platform::port_device_path(port);
    QString text = QString::number(port);
    if (!path.isEmpty()) text += QStringLiteral("  (") + path + QStringLiteral(")");
    return text;
}

Manual_comm_Dialog1::Manual_comm_Dialog1(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Manual_comm_Dialog1"));
    setWindowTitle(QStringLiteral("手動ポート設定"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* portFrame = new QGroupBox(QStringLiteral("通信ポート"), this);
    Combo1 = new QComboBox(portFrame);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    for (int port = 1; port <= kPorts; ++port) Combo1->addItem(port_item_text(port));
    auto* portRow = new QHBoxLayout(portFrame);
    portRow->addWidget(new QLabel(QStringLiteral("COM"), portFrame));
    portRow->addWidget(Combo1, 1);

    auto* speedFrame = new QGroupBox(QStringLiteral("通信速度"), this);
    OptComSpd1[0] = new QRadioButton(QStringLiteral("RS-232C"), speedFrame);
    OptComSpd1[0]->setObjectName(QStringLiteral("OptComSpd1_0"));
    OptComSpd1[1] = new QRadioButton(QStringLiteral("USB"), speedFrame);
    OptComSpd1[1]->setObjectName(QStringLiteral("OptComSpd1_1"));
    auto* speedRow = new QHBoxLayout(speedFrame);
    speedRow->addWidget(OptComSpd1[0]);
    speedRow->addWidget(OptComSpd1[1]);

    Label1 = new QLabel(QStringLiteral("設定ポートはお使いのパソコンにより異なります。    "
                                       "通信ポートをご確認の上設定してください。"),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    // The note is two sentences, one per line: the label is as wide as the
    // first sentence, so the line breaks at the blanks after it and not in
    // the middle of a word.
    {
        const QFontMetrics fm(Label1->font());
        const int first = fm.horizontalAdvance(QStringLiteral("設定ポートはお使いのパソコンにより異なります。"));
        Label1->setFixedWidth(first + fm.horizontalAdvance(QChar(u'通')) / 2 + 2 * Label1->margin());
    }

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setToolTip(QStringLiteral("選択したポートに変更して終了します"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setToolTip(QStringLiteral("変更をｷｬﾝｾﾙして終了します"));
    Command1 = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("ﾍﾙﾌﾟを表示します"));
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(portFrame);
    layout->addWidget(speedFrame);
    layout->addWidget(Label1);
    layout->addSpacing(layout->spacing() > 0 ? 2 * layout->spacing() : 12);  // the note stays clear of the buttons
    layout->addLayout(buttons);

    Form_Load();
}

void Manual_comm_Dialog1::Form_Load() {
    const LinkState& ls = link();
    const int pos = ls.comm_port_no - 1;
    Combo1->setCurrentIndex(pos >= 0 && pos < Combo1->count() ? pos : -1);
    if (ls.comm_baud_rate == 9600) OptComSpd1[0]->setChecked(true);
    else if (ls.comm_baud_rate == 19200 || ls.comm_baud_rate == 128000) OptComSpd1[1]->setChecked(true);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void Manual_comm_Dialog1::OKButton_Click() {
    LinkState& ls = link();
    if (Combo1->currentIndex() < 0) Combo1->setCurrentIndex(0);
    const qint16 newPort = static_cast<qint16>(Combo1->currentIndex() + 1);

    platform::SerialPort& port = ls.MSComm1();
    bool inUse = false;
    bool opened = false;
    try {
        port.setPortNumber(newPort);
        const platform::SerialPort::OpenResult r = port.open();
        opened = r == platform::SerialPort::OpenResult::Ok;
        inUse = r == platform::SerialPort::OpenResult::PortInUse;
    } catch (const IoError&) {
        // The link's own port is open right now: its number cannot change.
        inUse = true;
    } catch (const Error&) {
        // Any other refusal does not stop the choice; the next connection reports it.
    }

    if (inUse) {
        platform::msgBox(this, QStringLiteral("使用中のポートです。"), platform::MsgButtons::OK,
                         platform::MsgIcon::Exclamation);
        try {
            if (!port.isOpen()) port.setPortNumber(ls.comm_port_no);
        } catch (const Error&) {
        }
        const int pos = ls.comm_port_no - 1;
        Combo1->setCurrentIndex(pos >= 0 && pos < Combo1->count() ? pos : -1);
        return;
    }

    if (opened) port.close();
    ls.comm_port_no = newPort;
    ls.comm_baud_rate = OptComSpd1[0]->isChecked() ? 9600 : 128000;
    write_comm_set(model().user_dir, ls.comm_port_no, ls.comm_baud_rate);
    accept();
}

void Manual_comm_Dialog1::CancelButton_Click() { reject(); }

void Manual_comm_Dialog1::Command1_Click() {
    show_help(this, model().help_file, help_context::Manual_comm_Dialog1);
}

}  // namespace mq
