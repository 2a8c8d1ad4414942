#pragma once
// tag_set_value ("タグ設定"): the modal editor of the connected logger's 20
// tag settings in TAG mode. On its first activation it reads every tag's
// setting under the progress dialog (the read shows each tag in turn). The
// user moves between tags (edits reach a tag's data set when another tag is
// chosen, a file is saved or a write starts), copies and pastes channel sets,
// takes over the
// PC-side defaults, exchanges TAG setting files, and leaves by writing (all
// tags, or the tag shown) or cancelling. The tag name is neither shown nor
// edited; it travels unchanged in the data set.
#include <QString>
#include <QtGlobal>

#include "setting_editor/setting_value_editor.h"

class QLabel;

namespace mq {

struct HomeTargets;
class HOME;

// A chosen save name with ".csv" added unless it ends in ".csv" or ".CSV".
QString tag_csv_save_name(const QString& chosen);

class tag_set_value : public SettingValueEditor {
    Q_OBJECT
public:
    explicit tag_set_value(QWidget* parent = nullptr);
    ~tag_set_value() override;

    // ---- controls (Toolbar1, Combo1 "1".."20", form, Command1 and Command2 are the frame's)
    QLabel* Label2 = nullptr;     // "ﾀｸﾞ番号選択"
    QPushButton* Command3 = nullptr;  // "書き込み"
    QPushButton* Command4 = nullptr;  // "既定収録値読み込み"
    QPushButton* Command5 = nullptr;  // "ﾍﾙﾌﾟ"

    // ---- procedures (also called by the settings read)
    void tag_set_value_disp(qint16 n) { setting_disp(n); }
    void tag_k_e_j_t_def_disp(const QString& type, qint16 i);
    int shown_tag() const { return shown(); }  // 1..20

    // ---- handlers
    void Command3_Click() { write_shown(); }
    void Command4_Click() { default_paste(); }

    static tag_set_value* openInstance();

protected:
    Operation read_operation() override;
    Operation write_operation(bool all, int n) override;
    QString write_question(int n) const override;
    void fill_setting(int n) override;
    bool load_setting_file(const QString& chosen, const std::shared_ptr<clsLOGGER_DATA>& ds) override;
    FileResult save_setting_file(const QString& chosen, clsLOGGER_SETTING& s) override;
    bool load_defaults() override;
};


// Puts both TAG setting editors into the main window's commands.
void install_tag_setting_editor_targets(HomeTargets& targets, HOME* window);

}  // namespace mq
