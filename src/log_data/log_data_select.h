#pragma once
// log_data_select: the modal dialog in which the user chooses which of the
// connected logger's 20 LOG areas to read. On its first activation it has
// the sequencer read the area list (operation 10); OK opens one LOG data
// window per newly ticked area (each reads its records at once) and closes
// the windows of unticked areas, through the main window's window table.
//
// The open flags per area (logger_win_open_flags) are the main window's
// home_state().area_window_flags[1..20].
#include <QDialog>
#include <QString>
#include <QtGlobal>

#include <array>

#include "main_window/activated_dialog.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace mq {

class HOME;
struct HomeTargets;

class log_data_select : public ActivatedDialog {
    Q_OBJECT
public:
    // home: the main window whose window table opens and closes the windows.
    explicit log_data_select(HOME* home, QWidget* parent = nullptr);
    ~log_data_select() override;

    // ---- controls
    QTreeWidget* ListView1 = nullptr;  // 20 rows, check boxes; row n-1 is area n
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* Command1 = nullptr;  // "全て選択"
    QPushButton* Command2 = nullptr;  // "全て解除"
    QPushButton* Command3 = nullptr;  // "ﾍﾙﾌﾟ"

    // ---- state
    qint16 last_checked_area() const { return m_last_checked_area; }
    bool isTicked(int n) const;  // area 1..20
    // Sets a tick as the user's click does (ListView1_ItemCheck runs).
    void clickTick(int n, bool ticked);
    // The text of row n (1..20), column 0..4.
    QString cellText(int n, int col) const;

    // ---- procedures the list read calls (area n 1..20, current logger data set)
    void log_data_ct_disp(qint16 n);
    void log_data_select_disp(qint16 n);

    // ---- window procedures
    void Form_Load();
    void Form_Activate() override;
    void ListView1_ItemCheck(int n);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    // unload() (ActivatedDialog) closes the dialog; the sequencer does this
    // after a failed or cancelled list read.

    // The dialog while it is open (the one whose list the read fills), or nullptr.
    static log_data_select* openInstance();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QTreeWidgetItem* row(int n) const;
    void setTickSilently(int n, bool ticked);

    HOME* m_home = nullptr;
    qint16 m_last_checked_area = 0;
};

// Puts the dialog into the main window's read command (mode 1).
void install_log_data_select_target(HomeTargets& targets, HOME* home);

}  // namespace mq
