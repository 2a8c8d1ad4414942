#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace mq::platform {
namespace {

QString envPath(const char* name) {
    const QByteArray v = qgetenv(name);
    return v.isEmpty() ? QString() : QFile::decodeName(v);
}

bool readRemovableFlag(const QString& deviceDir) {
    QFile f(deviceDir + QStringLiteral("/removable"));
    if (!f.open(QIODevice::ReadOnly)) return false;
    return f.readAll().trimmed() == "1";
}

}  // namespace

QString userDir() {
    QString base = envPath("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/KORVA/Marrowquill4"));
}

QString programDir() { return QCoreApplication::applicationDirPath(); }

QString programConfigDir() {
    const QString over = envPath("MARROWQUILL_CONFIG_DIR");
    if (!over.isEmpty()) return QDir::cleanPath(over);
    return programDir() + QStringLiteral("/config");
}

bool isRemovableMedia(const QString& filePath) { return isRemovableMedia(filePath, QStringLiteral("/sys")); }

bool isRemovableMedia(const QString& filePath, const QString& sysRoot) {
    if (filePath.isEmpty()) return false;
    // A file that does not exist yet lies on the device of its folder.
    QString probe = QDir::cleanPath(QFileInfo(filePath).absoluteFilePath());
    struct stat st {};
    while (::stat(QFile::encodeName(probe).constData(), &st) != 0) {
        const QString parent = QFileInfo(probe).absolutePath();
        if (parent == probe) return false;
        probe = parent;
    }
    const unsigned maj = major(st.st_dev);
    const unsigned min = minor(st.st_dev);
    // /sys/dev/block/M:m leads to the block device; a partition's folder
    // holds a "partition" file and lies inside its disk's folder.
    const QString link = sysRoot + QStringLiteral("/dev/block/%1:%2").arg(maj).arg(min);
    const QString dev = QFileInfo(link).canonicalFilePath();
    if (dev.isEmpty()) return false;
    if (QFile::exists(dev + QStringLiteral("/partition"))) return readRemovableFlag(QFileInfo(dev).absolutePath());
    return readRemovableFlag(dev);
}

}  // namespace mq::platform
