// Read, save, read: whatever ".ML2" file the reader accepts, the file the
// program writes from it reads back with the same records (values and data
// marks) and the same count.
#include <vector>

#include "fuzz_common.h"
#include "log_data/ml2_format.h"
#include "main_window/scrambling.h"
#include "model/cls_logger_graphinfo.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"

namespace {

struct Read {
    std::vector<mq::LogRecord> records;
    mq::Ml2LoadResult result;
};

bool readFile(const QByteArray& file, mq::clsLOGGER_SETTING& s, mq::clsLOGGER_STATUS& st, mq::clsLOGGER_GraphInfo& g,
              Read& out) {
    if (file.size() < mq::kMl2HeaderSize) return false;
    const QByteArray plain = mq::data_disk_angou_load_1(file.left(mq::kMl2HeaderSize));
    mq::Ml2HeaderInfo info;
    if (!mq::ld20_header_read(plain, s, st, info)) return false;
    if (info.abnormal && !mq::ml2_count_matches(file, s) && !mq::emg_file_recount(file, s)) return false;
    // Large counts add nothing to the round trip but time.
    if (mq::ml2_records_that_fit(file.size(), s) > 4000) return false;
    const auto sink = [&](const mq::LogRecord& rec) {
        out.records.push_back(rec);
        return true;
    };
    return mq::ml2_load(file, s, g, sink, out.result).ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mq::fuzz::ensureProgramState();
    mq::clsLOGGER_SETTING s;
    mq::clsLOGGER_STATUS st;
    mq::clsLOGGER_GraphInfo g;
    Read first;
    if (!readFile(mq::fuzz::bytesOf(data, size), s, st, g, first)) return 0;
    // As the window keeps them: the records the file holds.
    s.let_data_count(qint32(first.records.size()));
    g.let_DataCount(qint32(first.records.size()));
    size_t i = 0;
    const mq::LogRecordSource source = [&](mq::LogRecord& rec) {
        if (i >= first.records.size()) return false;
        rec = first.records[i++];
        return true;
    };
    QByteArray saved;
    // A setting the writer refuses (a text it cannot store) is reported, not written.
    if (!mq::ml2_build(saved, mq::Ml2Sources{s, st, g}, source)) return 0;

    mq::clsLOGGER_SETTING s2;
    mq::clsLOGGER_STATUS st2;
    mq::clsLOGGER_GraphInfo g2;
    Read second;
    if (first.records.empty()) {
        // No records: a file without channels is refused, any other reads back empty.
        if (readFile(saved, s2, st2, g2, second) && !second.records.empty()) __builtin_trap();
        return 0;
    }
    if (!readFile(saved, s2, st2, g2, second)) __builtin_trap();
    if (second.result.short_file || second.records.size() != first.records.size()) __builtin_trap();
    for (size_t r = 0; r < first.records.size(); ++r) {
        if (first.records[r].value != second.records[r].value) __builtin_trap();
        if (first.records[r].mark != second.records[r].mark) __builtin_trap();
    }
    return 0;
}
