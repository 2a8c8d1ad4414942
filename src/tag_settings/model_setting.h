#pragma once
// Model_Setting ("機器設定"): the connected logger's clock and user model
// name. It reads both when it first becomes active and "OK" writes both
// back. It talks to the link itself, not through the progress dialog, and
// guards its exchanges with its own busy flag (a second "OK" during a write
// does nothing).
#include <QDateTime>
#include <QDialog>
#include <QString>

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace mq {

// The clock write: template characters 1-6, yymmddhhnnss, the template from
// character 19 on.
QString model_clock_command(const QString& templ, const QDateTime& t);
// The name write: template characters 1-6, the name cut or blank-padded to 8,
// the template from character 15 on.
QString model_name_command(const QString& templ, const QString& name);

class Model_Setting : public QDialog {
    Q_OBJECT
public:
    explicit Model_Setting(QWidget* parent = nullptr);

    // ---- controls
    QGroupBox* Frame1 = nullptr;          // "時計設定"
    QCalendarWidget* MonthView1 = nullptr;
    QComboBox* Combo1 = nullptr;          // hour, index = value
    QComboBox* Combo2 = nullptr;          // minute
    QComboBox* Combo3 = nullptr;          // second
    QCheckBox* Check1 = nullptr;          // "ﾊﾟｿｺﾝの時計に合わせる"
    QGroupBox* Frame2 = nullptr;          // "機器名称設定"
    QLineEdit* Text7 = nullptr;           // user model name, 8 characters
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* Command2 = nullptr;      // help

    bool model_comm_busy = false;

    // ---- procedures
    void model_time_set_ctrl();
    void model_name_set_ctrl();

    // ---- event handlers
    void Form_Load();
    void Form_Activate();
    void OKButton_Click();
    void CancelButton_Click();
    void Check1_Click();
    void Command2_Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    bool readFromLogger();
    bool writeToLogger();
    void setControlsToPcClock();
    // A failed exchange: the dialog closes and the main window is brought back.
    void giveUp();

    bool model_activated = false;
};

void model_setting_show(QWidget* parent);

}  // namespace mq
