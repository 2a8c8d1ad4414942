#pragma once
// log_set_value ("ログ設定"): the modal editor of the connected logger's 20
// LOG (or MEMORY) area settings. On its first activation it reads every
// area's setting under the progress dialog (the read shows each area in turn:
// every area is filled into the form and stored back). The user moves between
// areas (edits are kept in the areas' settings), copies and pastes, loads the
// PC-side defaults, exchanges LS01 files, prepares a start/stop reservation
// for one area, and leaves by writing (all areas, or the area shown) or
// cancelling.
#include <QString>
#include <QtGlobal>

#include "log_settings/reservation.h"
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

    // ---- procedures (also called by the settings read)
    void log_set_value_disp(qint16 n) { setting_disp(n); }
    int shown_area() const { return shown(); }  // 1..20
    int reserved_area() const;  // 0 for "--"

    // ---- handlers
    void Check1_Click();
    void Command3_Click();
    void Command5_Click() { write_shown(); }

    static log_set_value* openInstance();

    // The reservation the editor holds for its write, as the reservation
    // dialog left it and the editor's controls keep it.
    Reservation& reservation() { return m_reservation; }

protected:
    Operation read_operation() override;
    Operation write_operation(bool all, int n) override;
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
    Reservation m_reservation;
};

// Puts the editor and the defaults editor into the main window's
// recording-settings commands.
void install_log_settings_targets(HomeTargets& targets);

}  // namespace mq
