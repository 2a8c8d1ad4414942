#pragma once
// tag0_set_value ("既定収録設定（タグ・モード）"): the modal editor of the
// PC-side default TAG setting, kept in "TAG0.CFG" and, while in use, in the
// logger data set "L00". "ﾘｽﾄ更新" stores it on the PC; "OK" stores it and
// sends it to the logger as tag number 00 (operation 400), after which the
// editor closes whatever the outcome; "ｷｬﾝｾﾙ" leaves without storing.
#include <QDialog>
#include <QString>
#include <QtGlobal>

class QPushButton;

namespace mq {

class SettingForm;

// Makes sure the logger's collection holds "L00" and reads TAG0.CFG into its
// setting, then refills an open defaults editor. A missing file is first
// written with the default lines; a file that exists but cannot be read is
// reported (parent for the message), left on disk, and "L00" then holds the
// default values. True when "L00" was added here.
bool tag0_set_value_file_open_click(QWidget* parent);

class tag0_set_value : public QDialog {
    Q_OBJECT
public:
    explicit tag0_set_value(QWidget* parent = nullptr);
    ~tag0_set_value() override;

    SettingForm* form = nullptr;
    QPushButton* Command1 = nullptr;      // "OK"
    QPushButton* OKButton = nullptr;      // "ﾘｽﾄ更新"
    QPushButton* CancelButton = nullptr;  // "ｷｬﾝｾﾙ"
    QPushButton* Command2 = nullptr;      // "ﾍﾙﾌﾟ"

    void tag0_set_value_disp(qint16 tag);
    // The per-type default alarm texts of channel i.
    void tag0_k_e_j_t_def_disp(const QString& type, qint16 i);

    void Form_Activate();
    void OKButton_Click();
    void Command1_Click();
    void CancelButton_Click();
    void Command2_Click();

    void unload();
    bool unloaded() const { return m_unloaded; }
    static tag0_set_value* openInstance();

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void tag0_form_to_setting(qint16 tag);
    // Stores the form into "L00" and writes TAG0.CFG; false (after a message)
    // when the file could not be written.
    bool tag0_cfg_write();
    void Form_Unload();
    bool m_unloaded = false;
};

}  // namespace mq
