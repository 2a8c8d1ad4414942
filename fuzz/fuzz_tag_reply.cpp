// What the logger sends for the TAG data side: the data reply split into
// records and each record's values stored, counted and folded into the
// statistics as the TAG window does; the list record's count; and the worker
// and comment list records (the TAG-setting record has fuzz_setting_reply).
// The first byte chooses the record kind, the second the channel set; the
// rest is the reply text.
#include <memory>

#include "fuzz_common.h"
#include "main_window/conversions.h"
#include "main_window/serial_link.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "tag_data/tag_data_select.h"
#include "tag_data/tag_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mq::fuzz::ensureProgramState();
    if (size < 3) return 0;
    const uint8_t kind = data[0];
    const uint8_t channels = data[1];
    const QString text = mq::link_bytes_to_text(mq::fuzz::bytesOf(data + 2, size - 2));
    static auto logger = std::make_shared<mq::clsLOGGER_Main>();
    mq::model().logger_main = logger;
    mq::clsLOGGER_SETTING s;
    static const char* const kTypes[] = {"K", "V", "-", "T"};
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_input_type(ch, QString::fromLatin1(kTypes[(channels >> (2 * ch)) & 3]));
        s.let_Ch_period_pos(ch, quint8(1 + ((kind >> (2 + ch)) & 1)));
    }
    switch (kind % 3) {
    case 0: {
        // The records read refuses a reply whose records cannot be read;
        // nothing else may leave the split.
        const qint32 d = qint32(text.size() / 20);
        qint32 handed = 0;
        try {
            mq::reset_tag_statistics(s);
            mq::split_tag_reply(text, d / 3, qint16(d % 3), s, [&](const mq::TagReplyRecord& rec) {
                ++handed;
                for (int ch = 0; ch < 4; ++ch) {
                    (void)mq::tag_stored_ch_text(rec.values[size_t(ch)], ch, s);
                    mq::tag_stat_update(s, rec.values[size_t(ch)], ch);
                }
                (void)mq::tag_worker_name(logger->clsLOGGER_STATUS(), rec.worker_no);
                (void)mq::tag_comment_name(logger->clsLOGGER_STATUS(), rec.comment_no);
            });
        } catch (const mq::ConversionError&) {
            // A refused reply hands over no record.
            if (handed != 0) __builtin_trap();
        }
        break;
    }
    case 1:
        try {
            mq::tag_data_ct_save(s, text);
            if (s.data_count() < 0 || s.data_count() > mq::kLoggerMaxRecords) __builtin_trap();
        } catch (const mq::Error&) {
            // A record the program refuses: the read ends like a lost link.
        }
        break;
    default:
        try {
            if (kind & 4) mq::tag_comment_data_save(text);
            else mq::tag_worker_data_save(text);
        } catch (const mq::Error&) {
            // A record the program refuses: the read ends like a lost link.
        }
        break;
    }
    return 0;
}
