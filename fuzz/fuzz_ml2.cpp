// The ".ML2" reader on any bytes: the header, the record-count checks, the
// recount of an abnormal file, the footer and every record.
#include "fuzz_common.h"
#include "log_data/ml2_format.h"
#include "main_window/scrambling.h"
#include "model/cls_logger_graphinfo.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mq::fuzz::ensureProgramState();
    const QByteArray file = mq::fuzz::bytesOf(data, size);
    (void)mq::ml2_format_tag(file);
    if (file.size() < mq::kMl2HeaderSize) return 0;
    const QByteArray plain = mq::data_disk_angou_load_1(file.left(mq::kMl2HeaderSize));
    mq::clsLOGGER_SETTING s;
    mq::clsLOGGER_STATUS st;
    mq::Ml2HeaderInfo info;
    if (!mq::ld20_header_read(plain, s, st, info)) return 0;
    (void)mq::ml2_records_that_fit(file.size(), s);
    if (info.abnormal && !mq::ml2_count_matches(file, s)) {
        if (!mq::emg_file_recount(file, s)) return 0;
    }
    mq::clsLOGGER_GraphInfo g;
    mq::Ml2LoadResult result;
    qint32 seen = 0;
    (void)mq::ml2_load(file, s, g, [&](const mq::LogRecord& rec) { return ++seen == rec.No; }, result);
    // The reader never hands over more records than the header promises.
    if (result.records_read > result.header_count) __builtin_trap();
    return 0;
}
