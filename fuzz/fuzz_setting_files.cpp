// The four setting files as the editors read them: the first byte chooses
// the LOG setting file ("LS01"), "LOG0.CFG", the TAG setting file ("TS01")
// or "TAG0.CFG" (read from the per-user config folder); the rest is the
// file. No exception leaves a reader, and a file a reader refuses leaves the
// setting it was read into as it was.
#include "fuzz_common.h"
#include "log_settings/ls01_file.h"
#include "model/cls_logger_setting.h"
#include "model/model_state.h"
#include "tag_settings/tag_setting_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mq::fuzz::ensureProgramState();
    if (size < 1) return 0;
    const QString user = mq::fuzz::useScratchUserDir();
    const QByteArray bytes = mq::fuzz::bytesOf(data + 1, size - 1);

    mq::clsLOGGER_SETTING s;
    s.let_record_interval(QStringLiteral("00:05:00"));
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_input_type(ch, QStringLiteral("E"));
        s.let_Ch_low_alarm_count(ch, QStringLiteral("12.3"));
    }
    const QString before = mq::fuzz::settingText(s);
    bool refused = false;
    switch (data[0] % 4) {
    case 0: refused = mq::ls01_read(bytes, s) != mq::SettingFileRead::Ok; break;
    case 1: refused = mq::log0_cfg_read(bytes, s) != mq::SettingFileRead::Ok; break;
    case 2: {
        const QString path = user + QStringLiteral("/setting.csv");
        if (!mq::fuzz::writeFile(path, bytes)) return 0;
        refused = !mq::tag_setting_file_load(path, s);
        break;
    }
    default:
        if (!mq::fuzz::writeFile(mq::tag0_cfg_path(), bytes)) return 0;
        refused = !mq::tag0_cfg_load(s);
        break;
    }
    if (refused && mq::fuzz::settingText(s) != before) __builtin_trap();
    return 0;
}
