#pragma once
// tag0_set_value ("既定収録設定（タグ・モード）"): the modal editor of the
// PC-side default TAG setting, kept in "TAG0.CFG" and, while in use, in the
// logger data set "L00". "ﾘｽﾄ更新" stores it on the PC; "OK" stores it and
// sends it to the logger as tag number 00 (the defaults write), after which the
// editor closes whatever the outcome; "ｷｬﾝｾﾙ" leaves without storing.
#include <QString>
#include <QtGlobal>

#include "setting_editor/setting_defaults_editor.h"

namespace mq {

// Makes sure the logger's collection holds "L00" and reads TAG0.CFG into its
// setting, then refills an open defaults editor. A missing file is first
// written with the default lines; a file that exists but cannot be read is
// reported (parent for the message), left on disk, and "L00" then holds the
// default values. True when "L00" was added here.
bool tag0_set_value_file_open_click(QWidget* parent);

class tag0_set_value : public SettingDefaultsEditor {
    Q_OBJECT
public:
    explicit tag0_set_value(QWidget* parent = nullptr);
    ~tag0_set_value() override;

    // The per-type default alarm texts of channel i.
    void tag0_k_e_j_t_def_disp(const QString& type, qint16 i);

    void Command1_Click() override;
    void Command2_Click();

    static tag0_set_value* openInstance() { return setting_open_editor<tag0_set_value>(); }

protected:
    FileResult save_defaults(const clsLOGGER_SETTING& s) override;
    void Form_Unload() override;
};

}  // namespace mq
