#pragma once
// Operation 70 (op_read_tag_setting) with the TAG-setting record parse: every
// tag's setting read into the logger data sets "L01".."L20". The settings
// editor passes its display (`disp`, tag n after its record was stored) and
// its unloading on a failed or cancelled read; both may be empty.
#include <QtGlobal>

#include <functional>

namespace mq {

void install_tag_setting_read(std::function<void(qint16 tag)> disp = {}, std::function<void()> unload_editor = {});

}  // namespace mq
