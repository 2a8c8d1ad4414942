#pragma once
// log_set_value ("ログ設定"): the modal editor of the connected logger's 20
// LOG (or MEMORY) area settings. On its first activation it has the sequencer
// read every area's setting (operation 20, which shows each area in turn:
// every area is filled into the form and stored back). The user moves between
// areas (edits are kept in the areas' settings), copies and pastes, loads the
// PC-side defaults, exchanges LS01 files, prepares a start/stop reservation
// for one area, and leaves by writing (all areas, or the area shown) or
// cancelling.
#include <QDialog>
#include <QString>
#include <QtGlobal>

#include "main_window/file_open.h"

#include "main_window/activated_dialog.h"
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

    // ---- procedures (also called by the sequencer's settings read)
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

    // The reservation dialog the "設定..." button shows (tests replace it).
    std::function<void()> reserve_dialog;

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

    int shown_area_index = 0;
    QString saved_reserve_label;
    QList<QAction*> m_buttons;
};

// Puts the editor into the main window's recording-settings command and
// registers the sequencer's setting operations (22, 25, 28, 300) with the
// editors' hooks. Operation 20 is registered by the LOG reads with the hooks
// log_set_value_disp_hook() and unload_log_set_value_hook() give.
void install_log_settings_targets(HomeTargets& targets);
std::function<void(qint16)> log_set_value_disp_hook();
std::function<void()> unload_log_set_value_hook();

}  // namespace mq
