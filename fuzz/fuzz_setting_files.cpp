// The four setting files as the editors read them: the first byte chooses
// the LOG setting file ("LS01"), "LOG0.CFG", the TAG setting file ("TS01")
// or "TAG0.CFG" (read from the per-user config folder); the rest is the
// file. No exception leaves a reader, and a file a reader refuses leaves the
// setting it was read into as it was.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fuzz_common.h"
#include "log_settings/ls01_file.h"
#include "model/cls_logger_setting.h"
#include "model/model_state.h"
#include "tag_settings/tag_setting_files.h"

namespace {

// What every reader writes, as text: a refused file must leave all of it.
QString channelsText(const mq::clsLOGGER_SETTING& s) {
    QString t = s.record_interval();
    for (int ch = 0; ch < 4; ++ch) {
        t += s.Ch_input_type(ch) + s.Ch_unit(ch) + QString::number(s.Ch_scale_min(ch)) +
             QString::number(s.Ch_scale_max(ch)) + QString::number(s.Ch_period_pos(ch)) + s.Ch_low_alarm_count(ch) +
             s.Ch_high_alarm_count(ch) + s.Ch_sum_std_count(ch);
    }
    return t;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return f.write(bytes) == bytes.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mq::fuzz::ensureProgramState();
    if (size < 1) return 0;
    static QTemporaryDir dir;
    mq::model().user_dir = dir.path();
    static const bool made = QDir().mkpath(dir.path() + QStringLiteral("/config"));
    (void)made;
    const QByteArray bytes = mq::fuzz::bytesOf(data + 1, size - 1);

    mq::clsLOGGER_SETTING s;
    s.let_record_interval(QStringLiteral("00:05:00"));
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_input_type(ch, QStringLiteral("E"));
        s.let_Ch_low_alarm_count(ch, QStringLiteral("12.3"));
    }
    const QString before = channelsText(s);
    bool refused = false;
    switch (data[0] % 4) {
    case 0: refused = mq::ls01_read(bytes, s) != mq::SettingFileRead::Ok; break;
    case 1: refused = mq::log0_cfg_read(bytes, s) != mq::SettingFileRead::Ok; break;
    case 2: {
        const QString path = dir.path() + QStringLiteral("/setting.csv");
        if (!writeFile(path, bytes)) return 0;
        refused = !mq::tag_setting_file_load(path, s);
        break;
    }
    default:
        if (!writeFile(mq::tag0_cfg_path(), bytes)) return 0;
        refused = !mq::tag0_cfg_load(s);
        break;
    }
    if (refused && channelsText(s) != before) __builtin_trap();
    return 0;
}
