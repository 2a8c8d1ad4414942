// The replies of the setting reads: the LOG-setting and TAG-setting records
// the settings editors read, and the logger's clock. The first byte chooses
// the reply and the channel set; the rest is the reply text. A record the
// program refuses raises an Error (the read then ends like a lost link) and
// leaves the setting as it was; the clock gives a valid time or none.
#include "fuzz_common.h"
#include "log_settings/log_setting_record.h"
#include "main_window/conversions.h"
#include "model/cls_logger_setting.h"
#include "platform/errors.h"
#include "sequencer/setting_write.h"
#include "tag_settings/tag_setting_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mq::fuzz::ensureProgramState();
    if (size < 2) return 0;
    const uint8_t kind = data[0];
    const QString text = mq::link_bytes_to_text(mq::fuzz::bytesOf(data + 1, size - 1));
    mq::clsLOGGER_SETTING s;
    static const char* const kTypes[] = {"K", "V", "-", "T"};
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_input_type(ch, QString::fromLatin1(kTypes[((kind >> (2 * ch)) + ch) & 3]));
        s.let_Ch_period_pos(ch, quint8((kind >> ch) & 3));
    }
    const QString before = mq::fuzz::settingText(s);
    // A record the program refuses leaves the setting as it was.
    const auto parse = [&](void (*save)(mq::clsLOGGER_SETTING&, const QString&)) {
        try {
            save(s, text);
        } catch (const mq::Error&) {
            if (mq::fuzz::settingText(s) != before) __builtin_trap();
        }
    };
    switch (kind % 3) {
    case 0: parse(&mq::log_para_data_save); break;
    case 1: parse(&mq::tag_para_data_save); break;
    default: {
        const QDateTime t = mq::clock_from_reply(text);
        if (!t.isNull() && !t.isValid()) __builtin_trap();
        break;
    }
    }
    return 0;
}
