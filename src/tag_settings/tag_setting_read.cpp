#include "tag_settings/tag_setting_read.h"

#include "sequencer/ops_tag.h"
#include "tag_settings/tag_setting_record.h"

namespace mq {

void install_tag_setting_read(std::function<void(qint16 tag)> disp, std::function<void()> unload_editor) {
    install_tag_setting_read_operation(
        [](clsLOGGER_SETTING& tag, const QString& record) { tag_para_data_save(tag, record); }, std::move(disp),
                                       std::move(unload_editor));
}

}  // namespace mq
