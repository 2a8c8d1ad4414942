#pragma once
// The frame both defaults editors (LOG and TAG) share: a modal dialog around a
// SettingForm with the buttons "ﾘｽﾄ更新" (store on the PC and close), "OK"
// (store and send to the logger), "ｷｬﾝｾﾙ" and "ﾍﾙﾌﾟ"; it closes itself when
// the link is found down on activation, and the close box acts as Cancel.
// While it is open the logger collection holds the defaults in "L00".
//
// A subclass supplies the defaults file's writing (save_defaults), the
// sending (Command1_Click), the help and its own unloading (Form_Unload); its
// destructor unloads when the editor was never unloaded.
#include <QDialog>
#include <QString>

#include <memory>

#include "platform/safe_file.h"
#include "setting_editor/setting_editor_steps.h"
#include "setting_editor/setting_form.h"

class QPushButton;

namespace mq {

class clsLOGGER_DATA;
class clsLOGGER_SETTING;

// The defaults data set "L00" of the logger collection, added when missing
// (*added then set); null without a connected logger.
std::shared_ptr<clsLOGGER_DATA> setting_defaults_data_set(bool* added = nullptr);

// Removes "L00" from the logger collection, if there.
void setting_defaults_data_set_remove();

class SettingDefaultsEditor : public QDialog {
    Q_OBJECT
public:
    ~SettingDefaultsEditor() override;

    SettingForm* form = nullptr;
    QPushButton* OKButton = nullptr;      // "ﾘｽﾄ更新"
    QPushButton* Command1 = nullptr;      // "OK"
    QPushButton* CancelButton = nullptr;  // "ｷｬﾝｾﾙ"
    QPushButton* Command2 = nullptr;      // "ﾍﾙﾌﾟ"

    void Form_Activate();
    void OKButton_Click();
    virtual void Command1_Click() = 0;
    void CancelButton_Click();

    void unload();
    bool unloaded() const { return m_unloaded; }

    // Fills the form from setting n (0: the defaults "L00").
    void defaults_disp(int n);
    // Stores the form into setting n (0: the defaults, added when missing).
    void form_to_setting(int n);
    // Stores the form into "L00" and writes the defaults file; false (after a
    // message) when the file could not be written.
    bool cfg_write();

protected:
    // sendFirst puts "OK" before "ﾘｽﾄ更新" in the button row.
    SettingDefaultsEditor(QWidget* parent, const QString& objectName, const QString& title, SettingFormKind kind,
                          bool sendFirst);

    // Writes the defaults file from `s`.
    virtual FileResult save_defaults(const clsLOGGER_SETTING& s) = 0;
    virtual void Form_Unload() = 0;
    // Puts the dialog at its opening size in the middle of the screen.
    void place();

    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

    bool m_unloaded = false;
};

}  // namespace mq
