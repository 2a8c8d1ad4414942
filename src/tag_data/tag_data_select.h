#pragma once
// tag_data_select: the modal dialog in which the user chooses which of the
// connected logger's 20 tags to read. On its first activation it reads the
// TAG list under the progress dialog (counts, the names of tags with
// records, the worker and comment lists); OK opens one TAG data window per
// newly ticked tag (each reads its records at once) and closes the windows
// of unticked tags, through the main window's window table. A read that is
// cancelled or fails while OK opens the windows takes back every window the
// confirmation touched and clears the open flags, so flags and windows agree.
//
// The open flags per tag (logger_open_flags) are the main window's
// home_state().area_window_flags[1..20], shared with the LOG area dialog.
#include <QString>
#include <QtGlobal>

#include "main_window/select_list_dialog.h"

namespace mq {

class HOME;
struct HomeTargets;

class tag_data_select : public SelectListDialog {
    Q_OBJECT
public:
    explicit tag_data_select(HOME* home, QWidget* parent = nullptr);
    ~tag_data_select() override;

    // ---- controls (the list and Command1..3: SelectListDialog; row n-1 is tag n)
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // ---- procedures the list read calls (tag n, current logger data set)
    void tag_data_select_disp(qint16 n);
    void tag_data_ct_disp(qint16 n);

    // ---- window procedures
    void Form_Load();
    void Form_Activate() override;
    void ListView1_ItemCheck(int n) override;
    void OKButton_Click();
    void CancelButton_Click();

    // The dialog while it is open (the one whose list the read fills), or nullptr.
    static tag_data_select* openInstance();

protected:
    void cancelClicked() override { CancelButton_Click(); }
};

// The worker (comment) record of the list read: list position at 5-6 (two
// digits, 01..20), the name at 8-15; stored into the connected logger's
// status. ConversionError for a position that is not 01..20.
void tag_worker_data_save(const QString& record);
void tag_comment_data_save(const QString& record);

// Puts the dialog into the main window's read command (modes other than LOG).
void install_tag_data_select_target(HomeTargets& targets, HOME* home);

}  // namespace mq
