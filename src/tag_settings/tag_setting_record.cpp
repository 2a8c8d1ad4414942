#include "tag_settings/tag_setting_record.h"

#include <array>
#include <limits>

#include "main_window/conversions.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/errors.h"
#include "sequencer/setting_commands.h"

namespace mq {

namespace {

constexpr std::array<int, 4> kBlockStart = {27, 59, 101, 133};

}  // namespace

void tag_para_data_save(clsLOGGER_SETTING& s, const QString& rec) {
    if (rec.size() < kTagSettingRecordMinLength) {
        throw ConversionError("TAG setting record too short: " + std::to_string(rec.size()));
    }
    // Every number is read before anything is stored, so a record that cannot
    // be read leaves the setting as it was.
    const SettingRecordChannels chs = setting_record_channels(rec, kBlockStart, false);
    // The channels first: they are the fields that can still be refused.
    setting_record_channels_store(s, chs, false);
    s.let_log_name(setting_record_at(rec, 8, 8));
}

}  // namespace mq
