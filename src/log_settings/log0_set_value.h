#pragma once
// log0_set_value ("既定収録設定（ログモード）"): the modal editor of the PC-side
// default values of a LOG recording, kept in the configuration file
// "LOG0.CFG" and, while in use, in the logger data set "L00". "ﾘｽﾄ更新"
// stores them on the PC; "OK" stores them and sends them to the logger as its
// setting number 00 (the defaults write); "ｷｬﾝｾﾙ" leaves without storing.
#include <QString>

#include "log_settings/ls01_file.h"
#include "setting_editor/setting_defaults_editor.h"

namespace mq {

// The connected logger's model and channel offsets as the LOG setting files
// record them; empty without a logger.
LoggerIdentityForFile log_file_identity();

// The path of LOG0.CFG in the per-user configuration folder.
QString log0_cfg_path();

// Makes sure the logger's collection holds "L00" and reads LOG0.CFG into its
// setting. A missing file is first written with the default contents; a file
// that exists but cannot be read is reported (parent for the message) and
// left on disk, and "L00" then holds the default values. True when "L00" was
// added here.
bool log0_set_value_file_open_click(QWidget* parent);

class log0_set_value : public SettingDefaultsEditor {
    Q_OBJECT
public:
    explicit log0_set_value(QWidget* parent = nullptr);
    ~log0_set_value() override;

    void Command1_Click() override;

    static log0_set_value* openInstance() { return setting_open_editor<log0_set_value>(); }

protected:
    FileResult save_defaults(const clsLOGGER_SETTING& s) override;
    void Form_Unload() override;
};

}  // namespace mq
