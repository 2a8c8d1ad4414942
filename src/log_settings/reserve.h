#pragma once
// reserve ("予約設定"): the modal dialog in which the user reserves the start
// and the end of a recording for the area shown in the LOG settings editor.
// The start is a date with hour and minute, or none (recording starts right
// after the settings are written); the end is a date with hour and minute,
// none (until the memory is full), or a duration. On its first activation it
// reads the remaining memory and the logger clock under the progress dialog;
// while the user edits it shows how many values the span
// records; OK validates against the logger clock (read again directly) and
// the memory, and leaves the reservation (reservation()) for the editor.
#include <QDate>
#include <QDateTime>
#include <QDialog>
#include <QString>
#include <QtGlobal>

#include "log_settings/reservation.h"
#include "main_window/activated_dialog.h"

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace mq {

class UpDownButtons;
struct MemoryDisplay;

// The dialog's choice as its controls hold it (list texts "" when nothing is
// selected), for the data-count recompute.
struct ReserveChoice {
    bool no_start = false;  // Check1
    QDate start_date;
    QString start_hour, start_min;
    bool end_as_date = true;  // Option1 (else Option2: a duration)
    bool no_end = false;      // Check2
    QDate end_date;
    QString end_hour, end_min;
    QString dur_h, dur_m, dur_s;
    QDateTime logger_now;
    qint64 recordable = 0;  // Label23
    double interval_sec = 0;
    int used_ch = 0;
};

// Recomputes the start and stop texts and the data count (Label12) from a
// choice; `start` and `stop` keep what they held where the recompute stops
// early with a count of 0.
qint64 reserve_recompute(const ReserveChoice& c, QString& start, QString& stop);

// The recording interval of the editor's lists in seconds (hours 24 is a day).
double reserve_interval_seconds(int h, int m, int s);

class reserve : public ActivatedDialog {
    Q_OBJECT
public:
    // The editor's interval list indexes, its number of channels in use and
    // the reservation it holds (the dialog starts from its start and stop).
    reserve(int hours, int minutes, int seconds, int usedChannels, const Reservation& current,
            QWidget* parent = nullptr);
    ~reserve() override;

    // ---- controls
    QGroupBox* Frame1 = nullptr;
    QCheckBox* Check1 = nullptr;  // "なし（設定直後から開始）"
    QCalendarWidget* MonthView1 = nullptr;
    QComboBox* Combo3 = nullptr;  // start hour
    QComboBox* Combo4 = nullptr;  // start minute
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* Option1 = nullptr;  // end as date and time
    QCheckBox* Check2 = nullptr;      // "なし（メモリ残量なしまで）"
    QCalendarWidget* MonthView2 = nullptr;
    QComboBox* Combo7 = nullptr;  // end hour
    QComboBox* Combo8 = nullptr;  // end minute
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QRadioButton* Option2 = nullptr;  // end as a duration
    QLineEdit* Text9 = nullptr;       // hours
    QLineEdit* Text10 = nullptr;      // minutes
    QLineEdit* Text11 = nullptr;      // seconds
    UpDownButtons* UpDown9 = nullptr;
    UpDownButtons* UpDown10 = nullptr;
    UpDownButtons* UpDown11 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label1 = nullptr;  // "ﾒﾓﾘｶｰﾄﾞの残り："
    QLabel* Label2 = nullptr;
    QLabel* Label11 = nullptr;  // "ﾃﾞｰﾀ数："
    QLabel* Label12 = nullptr;
    QLabel* Label22 = nullptr;  // "収録可能ﾃﾞｰﾀ数："
    QLabel* Label23 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* Command3 = nullptr;  // "ﾘｾｯﾄ"
    QPushButton* Command1 = nullptr;  // "ﾍﾙﾌﾟ"

    // ---- handlers
    void Form_Activate() override;
    void Check1_Click();
    void Check2_Click();
    void Option1_Click();
    void Option2_Click();
    void Command3_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void Text9_Change();
    void Text10_Change();
    void Text11_Change();
    void UpDown_Change(int field, bool up);  // field 9, 10 or 11
    void reserve_disp_update();

    // Memory and recordable count from the clock-and-memory read.
    void show_memory(const MemoryDisplay& m);

    static reserve* openInstance();

    // The reservation as the dialog leaves it: start and stop empty after
    // Cancel (or a refusal on opening).
    const Reservation& reservation() const { return m_res; }
    // The clock-and-memory read has run (once per dialog).
    bool clock_read() const { return m_clockRead; }

    double rec_interval_sec() const { return m_interval; }
    int used_ch_count() const { return m_used; }

protected:
    // Unloading tells the connection that no reservation dialog is open.
    void unloading() override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    // The dialog's parts, built by the constructor in this order.
    QComboBox* make_time_list(const QString& name, int to);
    QCalendarWidget* make_calendar(const QString& name);
    void build_start_frame();
    void build_end_frames();
    QLayout* build_counts();
    QLayout* build_buttons();
    // The state a new dialog starts from.
    void load(int hours, int minutes, int seconds, int usedChannels);

    ReserveChoice choice() const;
    // The controls that the choices show and hide.
    QWidgetList start_controls() const;
    QWidgetList end_date_controls() const;
    QWidgetList duration_controls() const;
    void keep_places();
    void set_end_date_controls_visible(bool on);
    void set_duration_visible(bool on);
    void duration_changed(QLineEdit* t, int& value, bool clamp59);
    qint64 label_number(const QLabel* l) const;

    Reservation m_res;
    QDateTime m_loggerNow;  // the logger clock as last read
    bool m_clockRead = false;
    double m_interval = 0;
    int m_used = 0;
    int m_secondsIndex = 0;
    int m_dur[3] = {0, 1, 0};
    bool m_inText = false;
};

}  // namespace mq
