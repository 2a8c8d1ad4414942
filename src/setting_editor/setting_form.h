#pragma once
// The channel form of the setting editors: one frame per channel with input
// type, scales, decimal position, unit and alarms, each numeric field with a
// spinner. The LOG editors (log_set_value, log0_set_value) show it with the
// interval lists and the integration bases; the TAG editors (tag_set_value,
// tag0_set_value) without them, and then neither the fill, the store nor the
// clipboard touch the interval or the bases. The form owns the
// field rules (key filters, focus-loss checks, spinner steps), the input-type
// and interval rules, and the fill from and store into a setting.
//
// Change handlers run for the user's choices; the fill and the paste set the
// lists without running them (their texts replace whatever a handler would
// have written).
#include <QAbstractSpinBox>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>

#include "setting_editor/setting_field_rules.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace mq {

class clsLOGGER_SETTING;
struct SettingClipboard;

// A spinner that reports each click up or down (no value of its own).
class UpDownButtons : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit UpDownButtons(QWidget* parent = nullptr);
    void stepBy(int steps) override;
signals:
    void stepped(bool up);

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

enum class SettingFormKind {
    Log,  // interval lists, alarms and integration bases
    Tag,  // channel fields only
};

class SettingForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kChannels = 4;
    explicit SettingForm(QWidget* parent = nullptr, SettingFormKind kind = SettingFormKind::Log);
    SettingFormKind kind() const { return m_kind; }

    // ---- controls
    QGroupBox* Frame2 = nullptr;  // "収録間隔"
    QComboBox* Combo4 = nullptr;  // hours "0".."24"
    QComboBox* Combo5 = nullptr;  // minutes "0".."59"
    QComboBox* Combo6 = nullptr;  // seconds "0".."30"
    QGroupBox* Frame3 = nullptr;  // row captions
    std::array<QGroupBox*, kChannels> Frame{};  // "CH 1".."CH 4"
    std::array<QComboBox*, kChannels> Combo2{};  // input type
    std::array<QComboBox*, kChannels> Combo3{};  // decimal position
    std::array<QLineEdit*, kChannels> Text4{};  // scale lower limit
    std::array<QLineEdit*, kChannels> Text5{};  // scale upper limit
    std::array<QLineEdit*, kChannels> Text6{};  // unit (3 characters; " V" fixed on a voltage channel)
    std::array<QLineEdit*, kChannels> Text7{};  // upper alarm value
    std::array<QLineEdit*, kChannels> Text8{};  // lower alarm value
    std::array<QLineEdit*, kChannels> Text9{};  // integration base (hidden in the TAG form)
    std::array<UpDownButtons*, kChannels> UpDown4{};  // steps Text4
    std::array<UpDownButtons*, kChannels> UpDown5{};  // steps Text5
    std::array<UpDownButtons*, kChannels> UpDown7{};  // steps Text7
    std::array<UpDownButtons*, kChannels> UpDown8{};  // steps Text8
    std::array<UpDownButtons*, kChannels> UpDown9{};  // steps Text9 (hidden in the TAG form)

    // Runs first in the input-type and interval handlers (the settings editor
    // releases a reservation there).
    std::function<void()> before_change;

    // ---- handlers
    void Combo2_Click(int i);
    void Combo4_Click();
    void Combo5_Click();
    void Combo6_Click();
    void Text4_LostFocus(int i);
    void Text5_LostFocus(int i);
    // False when the unit was refused (message shown, focus back in the field).
    bool Text6_LostFocus(int i);
    void Text7_LostFocus(int i);
    void Text8_LostFocus(int i);
    void Text9_LostFocus(int i);
    void UpDown4_Change(int i, bool up);
    void UpDown5_Change(int i, bool up);
    void UpDown7_Change(int i, bool up);
    void UpDown8_Change(int i, bool up);
    void UpDown9_Change(int i, bool up);

    // ---- procedures
    // Fills every control from a setting.
    void fill(const clsLOGGER_SETTING& s);
    // Stores the form into a setting. An interval without a full selection
    // keeps the setting's own interval; when that is not a valid interval
    // either, the interval message is shown (when `announce`) and 00:01:00
    // is stored and shown. A scale text that is no number and a decimal
    // position without selection keep the setting's values; the TAG form
    // also shows those kept values again and names the fields in a message
    // (when `announce`).
    void collect(clsLOGGER_SETTING& s, bool announce = true);
    // The per-type default alarm texts of channel i.
    void k_e_j_t_def_disp(const QString& type, int i);
    // Enables the channel's fields by the type shown.
    void apply_enabling(int i);
    // The interval lists' indexes set without running their handlers.
    void set_interval_silently(int h, int m, int s);
    QString interval_text() const;  // "hh:mm:ss" of the lists ("" when one has no selection)

    void copy_to(SettingClipboard& clip) const;
    void paste_from(const SettingClipboard& clip);

    QString type_text(int i) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QGroupBox* build_channel(int i);
    void interval_zero_check();
    void set_index(QComboBox* box, int index);
    bool m_inUnitCheck = false;
    SettingFormKind m_kind = SettingFormKind::Log;
};

// The message of the TAG form's store when fields had to keep their values;
// `fields` names them ("CH1 ｽｹｰﾙ最小値").
QString setting_fields_kept_message(const QStringList& fields);

}  // namespace mq
