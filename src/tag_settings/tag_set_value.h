#pragma once
// tag_set_value ("タグ設定"): the modal editor of the connected logger's 20
// tag settings in TAG mode. On its first activation it reads every tag's
// setting under the progress dialog (the read shows each tag in turn). The
// user moves between tags (edits reach a tag's data set when another tag is
// chosen, a file is saved or a write starts), copies and pastes channel sets
// (the clipboard's layout is the LOG settings editor's), takes over the
// PC-side defaults, exchanges TAG setting files, and leaves by writing (all
// tags, or the tag shown) or cancelling. The tag name is neither shown nor
// edited; it travels unchanged in the data set.
#include <QDialog>
#include <QList>
#include <QString>
#include <QtGlobal>

#include "main_window/file_open.h"

#include "main_window/activated_dialog.h"
#include "sequencer/prog_dialog.h"
#include "setting_editor/setting_clipboard.h"

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QToolBar;

namespace mq {

class SettingForm;
struct HomeTargets;
class HOME;

// A chosen save name with ".csv" added unless it ends in ".csv" or ".CSV".
QString tag_csv_save_name(const QString& chosen);

class tag_set_value : public ActivatedDialog {
    Q_OBJECT
public:
    explicit tag_set_value(QWidget* parent = nullptr);
    ~tag_set_value() override;

    // ---- controls
    QToolBar* Toolbar1 = nullptr;
    QLabel* Label2 = nullptr;     // "ﾀｸﾞ番号選択"
    QComboBox* Combo1 = nullptr;  // tag "1".."20"
    SettingForm* form = nullptr;
    QPushButton* Command1 = nullptr;  // "一括書き込み"
    QPushButton* Command3 = nullptr;  // "書き込み"
    QPushButton* Command4 = nullptr;  // "既定収録値読み込み"
    QPushButton* Command2 = nullptr;  // "ｷｬﾝｾﾙ"
    QPushButton* Command5 = nullptr;  // "ﾍﾙﾌﾟ"

    // The file dialog of the setting-file open and save (tests answer it).
    FileDialogFn file_dialog;

    // ---- procedures (also called by the settings read)
    void tag_set_value_disp(qint16 n);
    void tag_set_value_disp_kitei();
    void tag_setting_collect(int n, bool announce = true);
    void tag_k_e_j_t_def_disp(const QString& type, qint16 i);
    int shown_tag() const;  // 1..20

    // The copy-and-paste buffer; cleared when the editor opens, so a copy is
    // pasted only while this editor stays open.
    SettingClipboard clip;

    // ---- handlers
    void Form_Load();
    void Form_Activate() override;
    void Combo1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Toolbar1_ButtonClick(int index);
    void tag_csv_read();
    void tag_csv_write();
    void tag_setting_copy();
    void tag_setting_paste();
    void tag_default_paste();

    static tag_set_value* openInstance();

    // Every tag's setting has been read (whether or not the read succeeded).
    bool settings_read() const { return m_settingsRead; }
    // How the write of the settings ended (NotRun before one).
    Outcome written() const { return m_written; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void fill_tag(int n);
    // The settings write of every tag or of the tag shown.
    void write(bool allTags, int shown);

    int shown_tag_index = 0;
    QList<QAction*> m_buttons;
    bool m_settingsRead = false;
    Outcome m_written = Outcome::NotRun;
};

// Puts both TAG setting editors into the main window's commands.
void install_tag_setting_editor_targets(HomeTargets& targets, HOME* window);

}  // namespace mq
