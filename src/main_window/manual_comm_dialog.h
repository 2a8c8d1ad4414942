#pragma once
// Manual_comm_Dialog1 ("手動ポート設定"): the serial port and line type chosen
// by hand. OK checks that the chosen port can be opened (a port held by this
// program or another one is refused with "使用中のポートです。"), then stores
// the port and the speed of the line type ("RS-232C" 9600, "USB" 128000) in
// the link state and in "COMM_SET.CFG". The new speed is applied by the next
// connection check, not here.
#include <QDialog>
#include <QString>
#include <QtGlobal>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace mq {

class Manual_comm_Dialog1 : public QDialog {
    Q_OBJECT
public:
    explicit Manual_comm_Dialog1(QWidget* parent = nullptr);

    // ---- controls
    QComboBox* Combo1 = nullptr;            // list position i stands for port i + 1
    QRadioButton* OptComSpd1[2] = {};       // 0 "RS-232C" (9600), 1 "USB" (128000)
    QLabel* Label1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* Command1 = nullptr;        // help

    // The text of list position i: the port number with its device path.
    static QString port_item_text(int port);

    // ---- event handlers
    void Form_Load();
    void OKButton_Click();
    void CancelButton_Click();
    void Command1_Click();
};

}  // namespace mq
