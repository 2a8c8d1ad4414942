#pragma once
// The program's folders on Linux.
#include <QString>

namespace mq::platform {

// The per-user folder that holds "config" and "DBF":
// $XDG_DATA_HOME (when set to an absolute path, else ~/.local/share) followed
// by "/KORVA/Marrowquill4". It is not created here.
QString userDir();

// The folder of the running executable.
QString programDir();

// The program's own configuration folder (command files, default *.CFG):
// the folder named by MARROWQUILL_CONFIG_DIR when that is set and not empty,
// else programDir() + "/config".
QString programConfigDir();

// True when the file lies on a device the kernel marks removable (USB
// sticks, card readers): the device holding the file (or, for a path that
// does not exist yet, its nearest existing folder) is looked up in sysfs and
// its "removable" flag read; a partition answers for its disk. Any failure to
// find out answers false.
bool isRemovableMedia(const QString& filePath);

// The same with another sysfs root in place of "/sys" (tests build a small
// fake tree).
bool isRemovableMedia(const QString& filePath, const QString& sysRoot);

}  // namespace mq::platform
