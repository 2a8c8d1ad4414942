#pragma once
// The frame the LOG and TAG settings editors share: a modal dialog with the
// setting-file and clipboard toolbar, the choice of setting "1".."20", the
// SettingForm and the button row "一括書き込み" (Command1), "書き込み",
// "ｷｬﾝｾﾙ" (Command2) and "ﾍﾙﾌﾟ". Its first activation reads every setting
// under the progress dialog; choosing another setting stores the form into the one shown
// until then; it leaves by writing (all settings, or the one shown) or
// cancelling, and the close box acts as Cancel.
//
// A subclass builds its own row above the form, names the operations and
// files of its settings, and adds its own steps through the virtual hooks
// (the LOG editor's recording reservation).
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

#include "main_window/activated_dialog.h"
#include "main_window/file_open.h"
#include "platform/safe_file.h"
#include "sequencer/prog_dialog.h"
#include "setting_editor/setting_clipboard.h"
#include "setting_editor/setting_form.h"

class QComboBox;
class QHBoxLayout;
class QPushButton;
class QToolBar;

namespace mq {

class clsLOGGER_DATA;
class clsLOGGER_SETTING;

// What differs between the editors' frames.
struct SettingValueEditorTexts {
    QString objectName;
    QString title;
    QString noun;                 // "ﾛｸﾞ" or "ﾀｸﾞ", in the button tips
    const char* writeShownName;   // object name of "書き込み"
    const char* helpName;         // object name of "ﾍﾙﾌﾟ"
    int helpContext = 0;
};

class SettingValueEditor : public ActivatedDialog {
    Q_OBJECT
public:
    static constexpr int kSettings = 20;

    ~SettingValueEditor() override;

    // ---- controls
    QToolBar* Toolbar1 = nullptr;
    QComboBox* Combo1 = nullptr;  // setting "1".."20"
    SettingForm* form = nullptr;
    QPushButton* Command1 = nullptr;  // "一括書き込み"
    QPushButton* Command2 = nullptr;  // "ｷｬﾝｾﾙ"

    // The file dialog of the setting-file open and save (tests answer it).
    FileDialogFn file_dialog;

    // The copy-and-paste buffer; cleared when the editor opens, so a copy is
    // pasted only while this editor stays open.
    SettingClipboard clip;

    int shown() const;  // 1..20

    // Every setting has been read (whether or not the read succeeded).
    bool settings_read() const { return m_settingsRead; }
    // How the write of the settings ended (NotRun before one).
    Outcome written() const { return m_written; }

    // ---- procedures (also called by the settings read)
    // Shows setting n (1..20): choosing it stores the one shown until now.
    void setting_disp(qint16 n);
    // Shows the PC-side defaults ("L00").
    void setting_disp_defaults();
    // Stores the form into setting n; `announce` lets a replaced field say so.
    void setting_collect(int n, bool announce = true);

    // ---- handlers
    void Form_Load();
    void Form_Activate() override;
    void Combo1_Click();
    void Command1_Click();  // write every setting
    void Command2_Click();  // cancel
    void write_shown();
    void help();
    void Toolbar1_ButtonClick(int index);
    void csv_read();
    void csv_write();
    void setting_copy();
    void setting_paste();
    void default_paste();

protected:
    SettingValueEditor(QWidget* parent, const SettingValueEditorTexts& texts);

    // Puts `row` and the form (of `kind`) under the toolbar and makes the
    // button row; `extra` (may be empty) makes a button that stands at the
    // row's left. Called once by the subclass's constructor.
    void build(QHBoxLayout* row, SettingFormKind kind, const std::function<QPushButton*()>& extra = {});
    QPushButton* writeShownButton() const { return m_writeShown; }
    QPushButton* helpButton() const { return m_help; }

    // Fills the form from the data set of setting n and gives that data set
    // (null when there is none or nothing to fill).
    std::shared_ptr<clsLOGGER_DATA> fill_form(int n);

    // ---- the subclass's part
    // The first settings read: each setting shown in turn (setting_disp), the
    // editor unloaded when it fails.
    virtual Operation read_operation() = 0;
    // The write of every setting (all) or of the shown setting n; the editor
    // unloaded when it fails or is refused.
    virtual Operation write_operation(bool all, int n) = 0;
    // The question before writing the shown setting n.
    virtual QString write_question(int n) const = 0;
    // Fills the form from setting n.
    virtual void fill_setting(int n) = 0;
    // Shows setting n after the choice changed (or on loading).
    virtual void show_chosen(int n) { fill_setting(n); }
    // Reads a setting file into `ds`'s setting; false (after a message) when
    // it was not taken.
    virtual bool load_setting_file(const QString& chosen, const std::shared_ptr<clsLOGGER_DATA>& ds) = 0;
    // Writes `ds`'s setting to the chosen file.
    virtual FileResult save_setting_file(const QString& chosen, clsLOGGER_SETTING& s) = 0;
    // Reads the PC-side defaults into "L00"; true when "L00" was added for it.
    virtual bool load_defaults() = 0;
    // Steps of the subclass on loading, after the defaults were shown, before
    // a paste or defaults replace the shown setting (false: leave it), and
    // before a write (false: the write does not start).
    virtual void loading() {}
    virtual void defaults_shown() {}
    virtual bool may_replace_shown() { return true; }
    virtual bool before_write(int n, bool all) { return true; }

    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void write(bool all);

    SettingValueEditorTexts m_texts;
    QPushButton* m_writeShown = nullptr;
    QPushButton* m_help = nullptr;
    int m_shownIndex = 0;
    bool m_settingsRead = false;
    Outcome m_written = Outcome::NotRun;
};

}  // namespace mq
