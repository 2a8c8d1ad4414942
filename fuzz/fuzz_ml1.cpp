// The older ".ML1" reader on any bytes: the tag, the body cut by its count,
// the header block, the trailer and every record with its value fields.
#include "fuzz_common.h"
#include "log_data/log_records.h"
#include "log_data/ml1_format.h"
#include "main_window/scrambling.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mq::fuzz::ensureProgramState();
    const QByteArray file = mq::fuzz::bytesOf(data, size);
    (void)mq::ml1_format_tag(file);
    QByteArray body;
    if (!mq::ml1_body_of_file(file, body)) return 0;
    const QByteArray plain = mq::data_disk_angou_load_1(body);
    mq::clsLOGGER_SETTING s;
    mq::clsLOGGER_STATUS st;
    if (!mq::ml1_header_read(plain, s, st)) return 0;
    (void)mq::ml1_trailer_read(plain, s);
    bool cancelled = false;
    (void)mq::ml1_for_each_record(plain, s,
                                  [](const mq::LogRecord& rec) {
                                      for (const QString& v : rec.value) (void)mq::log_value_is_number(v);
                                      return true;
                                  },
                                  cancelled);
    return 0;
}
