#pragma once
// The graph window's three dialogs:
//  - fGrarange2 "レンジ設定": the drawn record range (by number, by time, by
//    sliders or the whole data) and each channel's vertical scale and axis;
//    modeless, the graph window disabled while it is open.
//  - fGrasvline "基準線設定": the alarm, integration-reference and basis lines
//    of each channel; modeless, the graph window disabled while it is open.
//  - DlgChDispSw "表示チャンネルの選択": which channel traces are drawn; modal.
// All three work on graph_state() and have the graph window redraw itself.
// Each is a window of its own that is the graph's child, so it stands over
// the graph, and the graph is in front and active again once it has closed.
#include <QDateTime>
#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <array>

#include "graph/graph_state.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QToolButton;

namespace mq {

class fGraph;

// An up-down spinner: two arrow buttons over a whole-number value within a
// minimum and a maximum. Setting a value from code raises `changed` at once
// when the value changes, as the user's arrows do.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);
    int value() const { return m_value; }
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    // False (nothing changes) for a value outside minimum..maximum.
    bool setValue(int v);
    // The value is brought inside the new range.
    void setRange(int min, int max);
    void stepUp() { setValue(m_value + 1 <= m_max ? m_value + 1 : m_max); }
    void stepDown() { setValue(m_value - 1 >= m_min ? m_value - 1 : m_min); }
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    void changed(int value);

protected:
    void changeEvent(QEvent* e) override;

private:
    int m_value = 0;
    int m_min = -100000;
    int m_max = 100000;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};

// ---------------------------------------------------------------- range dialog

class fGrarange2 : public QDialog {
    Q_OBJECT
public:
    explicit fGrarange2(fGraph& graph);
    ~fGrarange2() override;
    // The open range dialog, or null.
    static fGrarange2* current();

    // ---- controls (arrays indexed by channel 1..4, element 0 unused)
    QTabWidget* tab = nullptr;
    QCheckBox* Drangeauto = nullptr;
    QLineEdit* Drstartno = nullptr;
    QLineEdit* Drendno = nullptr;
    QLineEdit* Drstarttime = nullptr;
    QLineEdit* Drendtime = nullptr;
    QSlider* SlDatalow = nullptr;
    QSlider* SlDataHigh = nullptr;
    QLabel* lb_msg = nullptr;
    Ch5<QLineEdit*> endv{};
    Ch5<QLineEdit*> startv{};
    Ch5<UpDown*> UpValueH{};
    Ch5<UpDown*> UpValueL{};
    Ch5<QCheckBox*> rangeauto{};
    Ch5<QCheckBox*> cb_scale{};
    Ch5<QLabel*> lb_mag_up{};
    Ch5<QLabel*> lb_mag_down{};
    Ch5<QLabel*> lb_unit_up{};
    Ch5<QLabel*> lb_unit_down{};
    std::array<QPushButton*, 2> cmdSetgrasnge{};  // 0 "OK", 1 "ｷｬﾝｾﾙ"
    QPushButton* Command1 = nullptr;              // "ﾍﾙﾌﾟ"

    // ---- handlers
    void Drstartno_LostFocus();
    void Drendno_LostFocus();
    void Drstarttime_LostFocus();
    void Drendtime_LostFocus();
    void SlDataHigh_Change();
    void SlDatalow_Change();
    void SlDataHigh_LostFocus();
    void SlDatalow_LostFocus();
    void Drangeauto_Click();
    void endv_Change(int ch);
    void startv_Change(int ch);
    void endv_GotFocus(int ch);
    void startv_GotFocus(int ch);
    void endv_LostFocus(int ch);
    void startv_LostFocus(int ch);
    void UpValueH_Change(int ch);
    void UpValueL_Change(int ch);
    void rangeauto_Click(int ch);
    void cmdSetgrasnge_Click(int index);
    void Command1_Click();

    // The validation message of a code ("エラーが発生しました。" for any other).
    void range_err_msg(int code);
    // True when the character may be typed into a box of the kind (0 record
    // number, 1 scale, 3 time).
    static bool range_key_allowed(QChar c, int kind);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void build_ui();
    QWidget* build_range_page();
    QWidget* build_scale_page();
    void Form_Load();
    void Form_Unload();
    QDateTime record_time(qint32 k) const;
    void set_time_box(QLineEdit* box, const QDateTime& t);
    bool temperature(int ch) const;
    // The leave handling of a watched box (also run by Enter).
    void leave(QObject* box);

    QPointer<fGraph> m_graph;
    QString saved_start_no;
    QString saved_end_no;
    QDateTime saved_start_time;
    QDateTime saved_end_time;
    Ch5<QString> saved_lower_text;
    Ch5<QString> saved_upper_text;
    int range_ready_flag = 0;
    bool m_leaving = false;  // a leave handling runs: focus moves it causes start none
    bool m_unloaded = false;
};

// ---------------------------------------------------------------- reference lines

class fGrasvline : public QDialog {
    Q_OBJECT
public:
    explicit fGrasvline(fGraph& graph);
    ~fGrasvline() override;
    static fGrasvline* current();

    QTabWidget* SSTab1 = nullptr;
    Ch5<QCheckBox*> cb_alarm{};
    Ch5<QLabel*> Label3{};
    Ch5<QLabel*> Label4{};
    Ch5<QLineEdit*> txt_alarm_up{};
    Ch5<QLineEdit*> txt_alarm_down{};
    Ch5<UpDown*> ud_alarm_up{};
    Ch5<UpDown*> ud_alarm_down{};
    Ch5<QLabel*> lb_unit_up{};
    Ch5<QLabel*> lb_unit_down{};
    Ch5<QCheckBox*> cb_sum{};
    Ch5<QLineEdit*> txt_sum{};
    Ch5<UpDown*> UpDown_sum{};
    Ch5<QLabel*> lb_unit_sum{};
    Ch5<QCheckBox*> cb_basis{};
    Ch5<QLineEdit*> txt_basis{};
    Ch5<UpDown*> UpDown_basic{};
    Ch5<QLabel*> lb_unit_basis{};
    QPushButton* btn_alarm_init = nullptr;
    QPushButton* btn_sum_init = nullptr;
    QPushButton* btn_ok = nullptr;
    QPushButton* btn_cancel = nullptr;
    QPushButton* btn_help = nullptr;

    void txt_alarm_up_LostFocus(int ch);
    void txt_alarm_down_LostFocus(int ch);
    void txt_sum_LostFocus(int ch);
    void txt_basis_LostFocus(int ch);
    void ud_alarm_up_Change(int ch);
    void ud_alarm_down_Change(int ch);
    void UpDown_sum_Change(int ch);
    void UpDown_basic_Change(int ch);
    void btn_alarm_init_Click();
    void btn_sum_init_Click();
    void btn_ok_Click();
    void btn_cancel_Click();
    void btn_help_Click();

    static bool svline_key_allowed(QChar c);
    // The text a voltage basis value is shown with (pattern of the channel).
    QString svline_basis_v_fmt(int ch, float v) const;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void build_ui();
    QLineEdit* make_value_box(QWidget* parent);
    QGroupBox* build_alarm_frame(int ch, QWidget* page, const QString& name, const QString& tip);
    QGroupBox* build_sum_frame(int ch, QWidget* page, const QString& name, const QString& tip);
    QGroupBox* build_basis_frame(int ch, QWidget* page, const QString& name);
    void Form_Load();
    void Form_Unload();
    void svline_alarm_up_chk(int ch);
    void svline_alarm_down_chk(int ch);
    void svline_sum_chk(int ch);
    void svline_basis_chk(int ch);
    void svline_basis_v_chk(int ch);
    // Gives the field's number to its spinner; on failure the field takes the
    // focus back with its text selected and the message is shown.
    void to_spinner(QLineEdit* box, UpDown* spin, int ch);
    void svline_select_text(QLineEdit* box);
    void leave(QObject* box);

    QPointer<fGraph> m_graph;
    Ch5<QString> svline_fmt;
    Ch5<int> svline_mult{};
    Ch5<QString> svline_kind;
    bool svline_loading = false;
    // Whether the user changed a channel's integration base (typed into its
    // box or moved its spinner): a base the recording did not set is stored
    // as set only then, so that OK on an untouched "0.0" keeps it not set.
    Ch5<bool> m_sum_touched{};
    bool m_leaving = false;
    bool m_unloaded = false;
};

// ---------------------------------------------------------------- channel display

class DlgChDispSw : public QDialog {
    Q_OBJECT
public:
    explicit DlgChDispSw(fGraph& graph, QWidget* parent = nullptr);

    std::array<QCheckBox*, 4> chkChDraw{};  // element ch - 1
    std::array<QLabel*, 4> Label1{};        // colour swatches
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* Command1 = nullptr;

    void OKButton_Click();
    void CancelButton_Click();
    void Command1_Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    QPointer<fGraph> m_graph;
};

// Fills the graph's dialog hooks (range, reference lines, channel display).
void install_graph_dialog_targets(GraphTargets& targets);

}  // namespace mq
