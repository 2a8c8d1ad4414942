// The worker and comment lists ("WORKER.CFG", "COMMENT.CFG") read from the
// per-user config folder: the first byte chooses the list, the rest is the
// file. No exception leaves the reader, and every entry it sets is the 8
// characters the identity keeps, written back as the 8 bytes the file keeps
// (an entry it keeps stays as it was).
#include "fuzz_common.h"
#include "model/cls_logger_status.h"
#include "model/model_state.h"
#include "platform/cp932.h"
#include "tag_settings/list_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mq::fuzz::ensureProgramState();
    if (size < 1) return 0;
    mq::fuzz::useScratchUserDir();
    const mq::ListKind kind = data[0] % 2 ? mq::ListKind::Comment : mq::ListKind::Worker;
    if (!mq::fuzz::writeFile(mq::list_file_path(kind), mq::fuzz::bytesOf(data + 1, size - 1))) return 0;
    mq::clsLOGGER_STATUS st;
    const QStringList before = mq::list_entries(st, kind);
    (void)mq::list_file_load(kind, st);
    const QStringList after = mq::list_entries(st, kind);
    for (int i = 0; i < mq::kListEntries; ++i) {
        if (after[i] == before[i]) continue;
        if (after[i].size() != mq::kListEntryBytes ||
            mq::platform::cp932::encode(mq::list_entry_fixed(after[i])).size() != mq::kListEntryBytes)
            __builtin_trap();
    }
    return 0;
}
