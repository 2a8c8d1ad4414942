#pragma once
// tag_set_value ("タグ設定"): the modal editor of the connected logger's 20
// tag settings in TAG mode. On its first activation it has the sequencer
// read every tag's setting (operation 70, which shows each tag in turn). The
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

#include <functional>

#include "main_window/file_open.h"

#include "main_window/activated_dialog.h"
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

    // ---- procedures (also called by the sequencer's settings read)
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

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void fill_tag(int n);

    int shown_tag_index = 0;
    QList<QAction*> m_buttons;
};

// Operation 70's display and editor unloading for install_tag_setting_read.
std::function<void(qint16)> tag_set_value_disp_hook();
std::function<void()> unload_tag_set_value_hook();

// Puts both TAG setting editors into the main window's commands and registers
// the sequencer's TAG setting writes (27, 29, 400) with their hooks.
void install_tag_setting_editor_targets(HomeTargets& targets, HOME* window);

}  // namespace mq
