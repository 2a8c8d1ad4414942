#include "platform/port_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace mq::platform {

namespace {

// Splits "ttyUSB12" into ("ttyUSB", 12); a name without a trailing number
// gives -1.
std::pair<QString, qint64> splitName(const QString& name) {
    qsizetype i = name.size();
    while (i > 0 && name[i - 1].isDigit()) --i;
    if (i == name.size()) return {name, -1};
    return {name.left(i), name.mid(i).toLongLong()};
}

// A ttyS port is real when the kernel found a UART behind it: its "type" is
// not 0 (unknown), or, where the kernel gives no type, its device has a driver.
bool hasHardware(const QString& ttyDir) {
    QFile type(ttyDir + QStringLiteral("/type"));
    if (type.open(QIODevice::ReadOnly)) {
        bool ok = false;
        const int t = QString::fromLatin1(type.readAll()).trimmed().toInt(&ok);
        return ok && t != 0;
    }
    return QFileInfo::exists(ttyDir + QStringLiteral("/device/driver"));
}

}  // namespace

bool port_name_less(const QString& a, const QString& b) {
    const auto [pa, na] = splitName(a);
    const auto [pb, nb] = splitName(b);
    if (pa != pb) return pa < pb;
    if (na != nb) return na < nb;
    return a < b;
}

QStringList port_table_scan(const QString& sysClassTty, const QString& devDir) {
    const QDir sys(sysClassTty);
    const QStringList names = sys.entryList(QDir::Dirs | QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    QStringList usb, hw;
    for (const QString& n : names) {
        if (!QFileInfo::exists(devDir + u'/' + n)) continue;
        const auto [prefix, num] = splitName(n);
        if (num < 0) continue;
        if (prefix == u"ttyUSB" || prefix == u"ttyACM") {
            usb << n;
        } else if (prefix == u"ttyS") {
            if (hasHardware(sys.filePath(n))) hw << n;
        }
    }
    std::sort(usb.begin(), usb.end(), port_name_less);
    std::sort(hw.begin(), hw.end(), port_name_less);
    QStringList out;
    for (const QString& n : usb) out << devDir + u'/' + n;
    for (const QString& n : hw) out << devDir + u'/' + n;
    return out;
}

QStringList port_table() {
    if (qEnvironmentVariableIsSet("MARROWQUILL_PORTS")) {
        return qEnvironmentVariable("MARROWQUILL_PORTS").split(u':');
    }
    return port_table_scan(QStringLiteral("/sys/class/tty"), QStringLiteral("/dev"));
}

QString port_device_path(int comNo) {
    if (comNo < 1) return {};
    const QStringList t = port_table();
    if (comNo > t.size()) return {};
    return t[comNo - 1].trimmed();
}

}  // namespace mq::platform
