// What the logger sends for the LOG side: the data reply split into records,
// the list record's count and the LOG-setting record. The first byte chooses
// the record kind and the channel set; the rest is the reply text.
#include <memory>

#include "fuzz_common.h"
#include "log_data/log_records.h"
#include "log_settings/log_setting_record.h"
#include "main_window/conversions.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mq::fuzz::ensureProgramState();
    if (size < 2) return 0;
    const uint8_t kind = data[0];
    const QString text = mq::link_bytes_to_text(mq::fuzz::bytesOf(data + 1, size - 1));
    static auto ds = std::make_shared<mq::clsLOGGER_DATA>();
    mq::model().act_logger_data = ds;
    mq::model().act_data_kind = 2;
    mq::clsLOGGER_SETTING& s = ds->clsLOGGER_SETTING();
    static const char* const kTypes[] = {"K", "V", "-", "T"};
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_input_type(ch, QString::fromLatin1(kTypes[((kind >> (2 * ch)) + ch) & 3]));
        s.let_Ch_period_pos(ch, quint8(ch));
    }
    try {
        switch (kind % 3) {
        case 0: {
            // The expected length bounds the reply as the link does.
            const qint32 d = qint32(text.size() / 5);
            qint32 n = 0;
            mq::split_log_reply(text, d / 3, qint16(d % 3), s, [&](const mq::LogReplyRecord&) { ++n; });
            break;
        }
        case 1:
            mq::log_data_ct_save(s, text);
            if (s.data_count() < 0 || s.data_count() > mq::kLoggerMaxRecords) __builtin_trap();
            break;
        default:
            mq::log_para_data_save(s, text);
            break;
        }
    } catch (const mq::Error&) {
        // A record the program refuses: the operation ends like a lost link.
    }
    return 0;
}
