#pragma once
// COM numbers on Linux: COM n is entry n of a table of the serial devices
// present. Without configuration the table lists USB and ACM adapters first
// (/dev/ttyUSB*, /dev/ttyACM*), then the /dev/ttyS* ports that have real
// hardware behind them, each group sorted by name (numbers compared as
// numbers). The environment variable MARROWQUILL_PORTS, when set, replaces the
// table with its colon-separated device paths (an empty item leaves that COM
// number without a device), which is how tests put a pseudo-terminal at COM1.
#include <QString>
#include <QStringList>

namespace mq::platform {

// The table now; entry 0 is COM1.
QStringList port_table();

// The device path of COM comNo, or "" when the table has no such entry.
QString port_device_path(int comNo);

// The table as found from a sysfs tty class folder (normally /sys/class/tty)
// and a device folder (normally /dev): a device is listed only when its node
// exists in devDir.
QStringList port_table_scan(const QString& sysClassTty, const QString& devDir);

// Orders device names the way the table lists them within a group: by the
// text before the trailing number, then by that number.
bool port_name_less(const QString& a, const QString& b);

}  // namespace mq::platform
