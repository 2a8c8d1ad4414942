#pragma once
// Context help. The help is a folder of HTML pages beside the program,
// "MarrowquillHelp4.help": one page per context number ("31201.html") and an
// "index.html" that the desktop's browser shows for a number without a page.
#include <QString>
#include <QtGlobal>

class QWidget;

namespace mq::platform {

// programDir() + "/MarrowquillHelp4.help".
QString helpFilePath();

// The page that answers a context number: "<helpFile>/<context>.html" when it
// exists, else "<helpFile>/index.html" when that exists, else empty.
QString helpTopicPath(const QString& helpFile, int context);

// Opens the topic of `context` in the desktop's viewer. When the help is
// missing, or no viewer opens it, tells the user so in a message box (owned
// by `caller`) and returns 0; otherwise returns a non-zero value.
quintptr showHelp(QWidget* caller, const QString& helpFile, int context);

}  // namespace mq::platform
