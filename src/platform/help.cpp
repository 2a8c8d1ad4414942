#include "platform/help.h"

#include "platform/folders.h"
#include "platform/message_box.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace mq::platform {

QString helpFilePath() { return programDir() + QStringLiteral("/MarrowquillHelp4.help"); }

QString helpTopicPath(const QString& helpFile, int context) {
    if (helpFile.isEmpty() || !QFileInfo(helpFile).isDir()) return QString();
    const QDir dir(helpFile);
    const QString topic = dir.filePath(QStringLiteral("%1.html").arg(context));
    if (QFileInfo(topic).isFile()) return topic;
    const QString index = dir.filePath(QStringLiteral("index.html"));
    if (QFileInfo(index).isFile()) return index;
    return QString();
}

quintptr showHelp(QWidget* caller, const QString& helpFile, int context) {
    const QString page = helpTopicPath(helpFile, context);
    if (page.isEmpty()) {
        msgBox(caller, QStringLiteral("ヘルプファイルが見つかりません。\n") + QDir::toNativeSeparators(helpFile),
               MsgButtons::OK, MsgIcon::Exclamation);
        return 0;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page))) {
        msgBox(caller, QStringLiteral("ヘルプを表示できません。\n") + QDir::toNativeSeparators(page), MsgButtons::OK,
               MsgIcon::Exclamation);
        return 0;
    }
    return 1;
}

}  // namespace mq::platform
