#pragma once
// log_set_value ("ログ設定"): the modal editor of the connected logger's 20
// LOG (or MEMORY) area settings. On its first activation it reads every
// area's setting under the progress dialog (the read shows each area in turn:
// every area is filled into the form and stored back). The user moves between
// areas (edits are kept in the areas' settings), copies and pastes, loads the
// PC-side defaults, exchanges LS01 files, prepares a start/stop reservation
// for one area, and leaves by writing (all areas, or the area shown) or
// cancelling.
#include <QDialog>
#include <QString>
#include <QtGlobal>

#include "main_window/file_open.h"

#include "log_settings/reservation.h"
#include "main_window/activated_dialog.h"
#include "sequencer/prog_dialog.h"
#include "setting_editor/setting_clipboard.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QToolBar;

namespace mq {

class SettingForm;
struct HomeTargets;

class log_set_value : public ActivatedDialog {
    Q_OBJECT
public:
    explicit log_set_value(QWidget* parent = nullptr);
    ~log_set_value() override;

    // ---- controls
    QToolBar* Toolbar1 = nullptr;
    QComboBox* Combo1 = nullptr;  // area "1".."20"
    QLabel* Label1 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;  // area holding the reservation, "--" for none
    QCheckBox* Check1 = nullptr;  // "予約収録"
    QPushButton* Command3 = nullptr;  // "設定..."
    SettingForm* form = nullptr;
    QPushButton* Command1 = nullptr;  // "一括書き込み"
    QPushButton* Command5 = nullptr;  // "書き込み"
    QPushButton* Command2 = nullptr;  // "ｷｬﾝｾﾙ"
    QPushButton* Command6 = nullptr;  // "ﾍﾙﾌﾟ"

    // The file dialog of the LS01 open and save (tests answer it).
    FileDialogFn file_dialog;

    // ---- procedures (also called by the settings read)
    void log_set_value_disp(qint16 n);
    void log_set_value_disp_kitei();
    void log_setting_collect(int n, bool announce = true);
    int shown_area() const;     // 1..20
    int reserved_area() const;  // 0 for "--"

    // The copy-and-paste buffer; cleared when the editor opens, so a copy is
    // pasted only while this editor stays open.
    SettingClipboard clip;

    // ---- handlers
    void Form_Load();
    void Form_Activate() override;
    void Combo1_Click();
    void Check1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command5_Click();
    void Command6_Click();
    void Toolbar1_ButtonClick(int index);
    void log_csv_write();
    void log_csv_read();
    void log_setting_copy();
    void log_setting_paste();
    void log_default_paste();

    static log_set_value* openInstance();

    // Every area's setting has been read (whether or not the read succeeded).
    bool settings_read() const { return m_settingsRead; }
    // The reservation the editor holds for its write, as the reservation
    // dialog left it and the editor's controls keep it.
    Reservation& reservation() { return m_reservation; }
    // How the write of the settings ended (NotRun before one).
    Outcome written() const { return m_written; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void fill_area(int n);
    void release_reservation_on_edit();
    void set_check1_silently(bool on);
    void check1_off_effects();
    // Asks before paste or defaults when the shown area holds the reservation.
    bool reservation_question();
    enum class ClockCheck { Passed, Refused, Closed };
    ClockCheck reserve_clock_check();
    // The settings write of every area or of the area shown.
    void write(bool allAreas, int shown);

    int shown_area_index = 0;
    QString saved_reserve_label;
    QList<QAction*> m_buttons;
    Reservation m_reservation;
    bool m_settingsRead = false;
    Outcome m_written = Outcome::NotRun;
};

// Puts the editor and the defaults editor into the main window's
// recording-settings commands.
void install_log_settings_targets(HomeTargets& targets);

}  // namespace mq
