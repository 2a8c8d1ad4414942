#pragma once
// Context help. The help is a folder of HTML pages beside the program,
// "MarrowquillHelp4.help": one page per context number ("31201.html") and an
// "index.html" shown for a number without a page. The pages are shown in the
// program's own help window, so no desktop viewer is needed.
#include <QString>
#include <QWidget>
#include <QtGlobal>

class QTextBrowser;

namespace mq::platform {

// programDir() + "/MarrowquillHelp4.help".
QString helpFilePath();

// The page that answers a context number: "<helpFile>/<context>.html" when it
// exists, else "<helpFile>/index.html" when that exists, else empty.
QString helpTopicPath(const QString& helpFile, int context);

// The help window: a browser over the help pages that follows their links.
// One per window that asks for help, owned by it (so it is usable while that
// window is modal and goes away with it).
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* owner = nullptr);
    // Shows the page (a local HTML file) and brings the window to the front.
    void showPage(const QString& path);
    QTextBrowser* browser() const { return m_browser; }
    // The local file now shown.
    QString currentPage() const;

private:
    QTextBrowser* m_browser;
};

// The help window of `caller`'s window, if one is open.
HelpWindow* helpWindowOf(QWidget* caller);

// Shows the topic of `context` in the help window of `caller`'s window
// (opened when needed). When the help is missing, tells the user so in a
// message box (owned by `caller`) and returns 0; otherwise returns a non-zero
// value.
quintptr showHelp(QWidget* caller, const QString& helpFile, int context);

}  // namespace mq::platform
