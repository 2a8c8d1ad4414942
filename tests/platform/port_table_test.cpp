// COM numbers and the devices behind them.
#include "common/test_env.h"
#include "platform/port_table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using mq::platform::port_device_path;
using mq::platform::port_table;
using mq::platform::port_table_scan;

// A fake /sys/class/tty and /dev.
class FakeSysfs {
public:
    FakeSysfs() {
        QDir(dir.path()).mkpath(QStringLiteral("sys"));
        QDir(dir.path()).mkpath(QStringLiteral("dev"));
    }
    QString sys() const { return dir.path() + QStringLiteral("/sys"); }
    QString dev() const { return dir.path() + QStringLiteral("/dev"); }

    // A tty class entry; uartType < 0 writes no "type" file.
    void tty(const QString& name, int uartType = -1, bool driver = false, bool node = true) {
        const QString d = sys() + u'/' + name;
        QDir().mkpath(d);
        if (uartType >= 0) {
            QFile f(d + QStringLiteral("/type"));
            f.open(QIODevice::WriteOnly);
            f.write(QByteArray::number(uartType) + "\n");
        }
        if (driver) QDir().mkpath(d + QStringLiteral("/device/driver"));
        if (node) {
            QFile f(dev() + u'/' + name);
            f.open(QIODevice::WriteOnly);
        }
    }
    QString node(const QString& name) const { return dev() + u'/' + name; }

    QTemporaryDir dir;
};

TEST(PortTableScan, UsbAndAcmFirstThenRealTtySEachInNameOrder) {
    FakeSysfs fs;
    fs.tty(QStringLiteral("ttyUSB10"));
    fs.tty(QStringLiteral("ttyUSB2"));
    fs.tty(QStringLiteral("ttyACM0"));
    fs.tty(QStringLiteral("ttyS0"), 4);        // a 16550A
    fs.tty(QStringLiteral("ttyS1"), 0);        // no UART behind it
    fs.tty(QStringLiteral("ttyS12"), 4);
    fs.tty(QStringLiteral("ttyS3"), -1, true); // no type, but a driver
    fs.tty(QStringLiteral("ttyS4"));           // neither: not listed
    fs.tty(QStringLiteral("tty5"));            // a console, never listed
    fs.tty(QStringLiteral("ttyUSB7"), -1, false, false);  // no device node
    EXPECT_EQ(port_table_scan(fs.sys(), fs.dev()),
              (QStringList{fs.node("ttyACM0"), fs.node("ttyUSB2"), fs.node("ttyUSB10"), fs.node("ttyS0"),
                           fs.node("ttyS3"), fs.node("ttyS12")}));
}

TEST(PortTableScan, NoSerialDevicesGivesAnEmptyTable) {
    FakeSysfs fs;
    fs.tty(QStringLiteral("tty0"));
    fs.tty(QStringLiteral("ttyS0"), 0);
    EXPECT_TRUE(port_table_scan(fs.sys(), fs.dev()).isEmpty());
    EXPECT_TRUE(port_table_scan(fs.sys() + QStringLiteral("/absent"), fs.dev()).isEmpty());
}

TEST(PortNameOrder, NumbersCompareAsNumbers) {
    using mq::platform::port_name_less;
    EXPECT_TRUE(port_name_less(QStringLiteral("ttyUSB2"), QStringLiteral("ttyUSB10")));
    EXPECT_FALSE(port_name_less(QStringLiteral("ttyUSB10"), QStringLiteral("ttyUSB2")));
    EXPECT_TRUE(port_name_less(QStringLiteral("ttyACM9"), QStringLiteral("ttyUSB0")));
    EXPECT_FALSE(port_name_less(QStringLiteral("ttyS1"), QStringLiteral("ttyS1")));
}

class PortsVariable : public ::testing::Test {
protected:
    void TearDown() override { qunsetenv("MARROWQUILL_PORTS"); }
};

TEST_F(PortsVariable, ListsTheDevicesAsComOneOnwards) {
    qputenv("MARROWQUILL_PORTS", "/dev/pts/7:/dev/pts/3");
    EXPECT_EQ(port_table(), (QStringList{QStringLiteral("/dev/pts/7"), QStringLiteral("/dev/pts/3")}));
    EXPECT_EQ(port_device_path(1), QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(port_device_path(2), QStringLiteral("/dev/pts/3"));
    EXPECT_TRUE(port_device_path(3).isEmpty());
    EXPECT_TRUE(port_device_path(0).isEmpty());
    EXPECT_TRUE(port_device_path(-1).isEmpty());
}

TEST_F(PortsVariable, AnEmptyItemLeavesThatNumberWithoutADevice) {
    qputenv("MARROWQUILL_PORTS", ":/dev/pts/9");
    EXPECT_TRUE(port_device_path(1).isEmpty());
    EXPECT_EQ(port_device_path(2), QStringLiteral("/dev/pts/9"));
    qputenv("MARROWQUILL_PORTS", "");
    EXPECT_TRUE(port_device_path(1).isEmpty());
}

}  // namespace
