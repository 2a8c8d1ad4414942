#include "platform/help.h"

#include "platform/folders.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace mq::platform {

namespace {
const char* const kHelpWindowName = "HelpWindow";
}

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

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QString::fromLatin1(kHelpWindowName));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("マロウクイル ヘルプ"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    // Links between the pages are followed here; nothing goes to the desktop.
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(560, 460);
}

void HelpWindow::showPage(const QString& path) {
    m_browser->setSource(QUrl::fromLocalFile(path));
    if (!isVisible()) {
        // Beside the window that asked, inside the screen's work area.
        if (QWidget* p = parentWidget()) {
            const QRect owner = p->window()->frameGeometry();
            move(owner.topLeft() + QPoint(40, 40));
        }
        if (const QScreen* sc = screen() ? screen() : QGuiApplication::primaryScreen()) {
            const QRect work = sc->availableGeometry();
            QRect g(pos(), size());
            if (g.width() > work.width()) g.setWidth(work.width());
            if (g.height() > work.height()) g.setHeight(work.height());
            if (g.right() > work.right()) g.moveRight(work.right());
            if (g.bottom() > work.bottom()) g.moveBottom(work.bottom());
            if (g.left() < work.left()) g.moveLeft(work.left());
            if (g.top() < work.top()) g.moveTop(work.top());
            setGeometry(g);
        }
    }
    show();
    raise();
    activateWindow();
}

QString HelpWindow::currentPage() const { return m_browser->source().toLocalFile(); }

HelpWindow* helpWindowOf(QWidget* caller) {
    if (!caller) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* h = qobject_cast<HelpWindow*>(w);
            if (h && !h->parentWidget()) return h;
        }
        return nullptr;
    }
    return caller->window()->findChild<HelpWindow*>(QString::fromLatin1(kHelpWindowName), Qt::FindDirectChildrenOnly);
}

quintptr showHelp(QWidget* caller, const QString& helpFile, int context) {
    const QString page = helpTopicPath(helpFile, context);
    if (page.isEmpty()) {
        msgBox(caller, QStringLiteral("ヘルプファイルが見つかりません。\n") + QDir::toNativeSeparators(helpFile),
               MsgButtons::OK, MsgIcon::Exclamation);
        return 0;
    }
    HelpWindow* w = helpWindowOf(caller);
    if (!w) w = new HelpWindow(caller ? caller->window() : nullptr);
    w->showPage(page);
    return reinterpret_cast<quintptr>(w);
}

}  // namespace mq::platform
