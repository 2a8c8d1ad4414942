#pragma once
// log_data_select: the modal dialog in which the user chooses which of the
// connected logger's 20 LOG areas to read. On its first activation it reads
// the area list under the progress dialog; OK opens one LOG data
// window per newly ticked area (each reads its records at once) and closes
// the windows of unticked areas, through the main window's window table.
//
// The open flags per area (logger_win_open_flags) are the main window's
// home_state().area_window_flags[1..20].
#include <QString>
#include <QtGlobal>

#include "main_window/select_list_dialog.h"

namespace mq {

class HOME;
struct HomeTargets;

class log_data_select : public SelectListDialog {
    Q_OBJECT
public:
    // home: the main window whose window table opens and closes the windows.
    explicit log_data_select(HOME* home, QWidget* parent = nullptr);
    ~log_data_select() override;

    // ---- controls (the list and Command1..3: SelectListDialog; row n-1 is area n)
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // ---- state
    qint16 last_checked_area() const { return m_last_checked_area; }

    // ---- procedures the list read calls (area n 1..20, current logger data set)
    void log_data_ct_disp(qint16 n);
    void log_data_select_disp(qint16 n);

    // ---- window procedures
    void Form_Load();
    void Form_Activate() override;
    void ListView1_ItemCheck(int n) override;
    void Command1_Click() override;
    void cmdOK_Click();
    void cmdCancel_Click();
    // unload() (ActivatedDialog) closes the dialog; the sequencer does this
    // after a failed or cancelled list read.

    // The dialog while it is open (the one whose list the read fills), or nullptr.
    static log_data_select* openInstance();

protected:
    void cancelClicked() override { cmdCancel_Click(); }

private:
    qint16 m_last_checked_area = 0;
};

// Puts the dialog into the main window's read command (mode 1).
void install_log_data_select_target(HomeTargets& targets, HOME* home);

}  // namespace mq
