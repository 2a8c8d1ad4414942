#pragma once
// The link as the connect command leaves it with a logger at COM1: the device
// mapped to COM1, the command tables loaded, the port set up, and the
// logger's identity and operating mode remembered.
#include <QString>

#include <gtest/gtest.h>

#include "common/test_env.h"
#include "main_window/command_files.h"
#include "main_window/serial_link.h"
#include "platform/serial_port.h"

namespace mq::test {

inline void attachConnectedLogger(const QString& device, const QString& serial = QStringLiteral("A0123456"),
                                  OpMode mode = OpMode::Log) {
    qputenv("MARROWQUILL_PORTS", device.toLocal8Bit());
    ASSERT_TRUE(cmd_table_load(configDir()));
    link().MSComm1().setPortNumber(1);
    comm_setting();
    link().link_connected_flag = true;
    link().link_serial_no = serial;
    link().link_mode = mode;
}

}  // namespace mq::test
