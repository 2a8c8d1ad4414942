#pragma once
// log_set_value ("ログ設定"): the modal editor of the connected logger's 20
// LOG (or MEMORY) area settings. On its first activation it has the sequencer
// read every area's setting (operation 20, which shows each area in turn:
// every area is filled into the form and stored back). The user moves between
// areas (edits are kept in the areas' settings), copies and pastes, loads the
// PC-side defaults, exchanges LS01 files, prepares a start/stop reservation
// for one area, and leaves by writing (all areas, or the area shown) or
// cancelling.
#include <QString>
#include <QtGlobal>

#include <functional>

#include "setting_editor/setting_value_editor.h"

class QCheckBox;
class QLabel;

namespace mq {

struct HomeTargets;

class log_set_value : public SettingValueEditor {
    Q_OBJECT
public:
    explicit log_set_value(QWidget* parent = nullptr);
    ~log_set_value() override;

    // ---- controls (Toolbar1, Combo1 "1".."20", form, Command1 and Command2 are the frame's)
    QLabel* Label1 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;  // area holding the reservation, "--" for none
    QCheckBox* Check1 = nullptr;  // "予約収録"
    QPushButton* Command3 = nullptr;  // "設定..."
    QPushButton* Command5 = nullptr;  // "書き込み"
    QPushButton* Command6 = nullptr;  // "ﾍﾙﾌﾟ"

    // ---- procedures (also called by the sequencer's settings read)
    void log_set_value_disp(qint16 n) { setting_disp(n); }
    int shown_area() const { return shown(); }  // 1..20
    int reserved_area() const;  // 0 for "--"

    // ---- handlers
    void Check1_Click();
    void Command3_Click();
    void Command5_Click() { write_shown(); }

    static log_set_value* openInstance();

    // The reservation dialog the "設定..." button shows (tests replace it).
    std::function<void()> reserve_dialog;

protected:
    bool& read_done() override;
    qint16 write_operation(bool all) const override;
    QString write_question(int n) const override;
    void fill_setting(int n) override;
    void show_chosen(int n) override;
    bool load_setting_file(const QString& chosen, const std::shared_ptr<clsLOGGER_DATA>& ds) override;
    FileResult save_setting_file(const QString& chosen, clsLOGGER_SETTING& s) override;
    bool load_defaults() override;
    void loading() override;
    void defaults_shown() override { release_reservation_on_edit(); }
    bool may_replace_shown() override { return reservation_question(); }
    bool before_write(int n, bool all) override;

private:
    void release_reservation_on_edit();
    void set_check1_silently(bool on);
    void check1_off_effects();
    // Asks before paste or defaults when the shown area holds the reservation.
    bool reservation_question();
    enum class ClockCheck { Passed, Refused, Closed };
    ClockCheck reserve_clock_check();

    QString saved_reserve_label;
};

// Puts the editor into the main window's recording-settings command and
// registers the sequencer's setting operations (22, 25, 28, 300) with the
// editors' hooks. Operation 20 is registered by the LOG reads with the hooks
// log_set_value_disp_hook() and unload_log_set_value_hook() give.
void install_log_settings_targets(HomeTargets& targets);
std::function<void(qint16)> log_set_value_disp_hook();
std::function<void()> unload_log_set_value_hook();

}  // namespace mq
