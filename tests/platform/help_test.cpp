#include <gtest/gtest.h>

#include "common/test_env.h"
#include "platform/folders.h"
#include "platform/help.h"
#include "platform/message_box.h"

#include <QDesktopServices>
#include <QTextBrowser>
#include <QApplication>
#include <QTest>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

using namespace mq::platform;

namespace {
// Catches what would go to the desktop's viewer.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html></html>");
}
}  // namespace

TEST(Help, HelpLivesBesideTheProgram) {
    mq::test::ensureApplication();
    EXPECT_EQ(helpFilePath(), programDir() + QStringLiteral("/MarrowquillHelp4.help"));
}

TEST(Help, MissingHelpIsToldToTheUser) {
    mq::test::ensureApplication();
    ScopedMessageBoxHook hook(MsgResult::OK);
    const QString missing = QStringLiteral("/nonexistent/MarrowquillHelp4.help");
    EXPECT_EQ(showHelp(nullptr, missing, 31201), 0u);
    ASSERT_EQ(hook.records().size(), 1u);
    EXPECT_TRUE(hook.records()[0].text.startsWith(QStringLiteral("ヘルプファイルが見つかりません。")));
    EXPECT_TRUE(hook.records()[0].text.contains(missing));
    EXPECT_EQ(hook.records()[0].title, QStringLiteral("マロウクイル"));
    EXPECT_EQ(hook.records()[0].icon, MsgIcon::Exclamation);
    // An empty help folder answers no topic either.
    QTemporaryDir empty;
    EXPECT_EQ(showHelp(nullptr, empty.path(), 1), 0u);
    EXPECT_EQ(hook.records().size(), 2u);
}

TEST(Help, TopicsOpenInTheProgramsOwnHelpWindowNotTheDesktop) {
    mq::test::ensureApplication();
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("31201.html")));
    touch(dir.filePath(QStringLiteral("index.html")));
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    ScopedMessageBoxHook hook(MsgResult::OK);
    QWidget owner;
    owner.show();

    struct Case {
        int context;
        const char* page;
    };
    const Case cases[] = {{31201, "31201.html"}, {35001, "index.html"}, {31201, "31201.html"}};
    HelpWindow* first = nullptr;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.context);
        EXPECT_NE(showHelp(&owner, dir.path(), c.context), 0u);
        HelpWindow* w = helpWindowOf(&owner);
        ASSERT_NE(w, nullptr);
        if (!first) first = w;
        EXPECT_EQ(w, first);  // one help window per window that asks
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(w->isWindow());
        EXPECT_EQ(w->currentPage(), dir.filePath(QString::fromLatin1(c.page)));
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_TRUE(catcher.urls.isEmpty());
    EXPECT_TRUE(hook.records().empty());

    // Asked from a child control, the help belongs to its window.
    QWidget* button = new QWidget(&owner);
    EXPECT_NE(showHelp(button, dir.path(), 31201), 0u);
    EXPECT_EQ(helpWindowOf(button), first);
}

TEST(Help, TheShippedPagesAnswerEveryContextAndLinkToEachOther) {
    mq::test::ensureApplication();
    const QString help = QStringLiteral(MQ_SOURCE_DIR "/help");
    const int contexts[] = {1,     31101, 31102, 31201, 31203, 31204, 31205, 31206, 31207,
                            31208, 31209, 32005, 33002, 35001, 35002, 35004, 35101};
    QWidget owner;
    for (int c : contexts) {
        SCOPED_TRACE(c);
        EXPECT_EQ(helpTopicPath(help, c), help + QStringLiteral("/%1.html").arg(c));
    }
    // The page is read as the UTF-8 it is written in, and its links stay in
    // the help window.
    ASSERT_NE(showHelp(&owner, help, 33002), 0u);
    HelpWindow* w = helpWindowOf(&owner);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->browser()->toPlainText().contains(QStringLiteral("通信設定"))) << w->browser()->toPlainText().toStdString();
    mq::test::saveScreenshot(w, QStringLiteral("help_33002"));
    // Its one link ("目次") followed from the keyboard.
    QApplication::setActiveWindow(w);
    w->browser()->setFocus();
    QTest::keyClick(w->browser(), Qt::Key_Tab);
    QTest::keyClick(w->browser(), Qt::Key_Return);
    EXPECT_EQ(w->currentPage(), help + QStringLiteral("/index.html"));
    EXPECT_TRUE(w->browser()->toPlainText().contains(QStringLiteral("目次")));
    mq::test::saveScreenshot(w, QStringLiteral("help_index"));
}

// Every topic number a help button of the program passes (the help_context
// table and the dialogs' own numbers, read from the sources) opens a page of
// its own that tells, as the help window renders it, what the window is for,
// the steps of its task and the messages met there; its links stay inside
// the help.
TEST(Help, EveryTopicOfTheProgramHasAFullPage) {
    mq::test::ensureApplication();
    const QString help = QStringLiteral(MQ_SOURCE_DIR "/help");
    const QRegularExpression table(QStringLiteral("namespace help_context \\{([^}]*)\\}"));
    const QRegularExpression number(QStringLiteral("=\\s*(\\d+)\\s*;"));
    const QRegularExpression own(QStringLiteral("kHelpContext\\s*=\\s*\\d+\\s*;"));
    QSet<int> topics;
    QDirIterator it(QStringLiteral(MQ_SOURCE_DIR "/src"), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QStringList parts;
        for (auto m = table.globalMatch(text); m.hasNext();) parts << m.next().captured(1);
        for (auto m = own.globalMatch(text); m.hasNext();) parts << m.next().captured(0);
        for (const QString& part : parts)
            for (auto n = number.globalMatch(part); n.hasNext();) topics << n.next().captured(1).toInt();
    }
    EXPECT_GE(topics.size(), 17);  // the main window's topic and one per dialog with a help button
    const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
    QWidget owner;
    for (int c : topics) {
        SCOPED_TRACE(c);
        const QString page = help + QStringLiteral("/%1.html").arg(c);
        ASSERT_NE(showHelp(&owner, help, c), 0u);
        ASSERT_EQ(helpWindowOf(&owner)->currentPage(), page);
        mq::test::saveScreenshot(helpWindowOf(&owner), QStringLiteral("help_%1").arg(c));
        QFile f(page);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        QTextDocument doc;
        doc.setHtml(html);
        QStringList headings;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            if (b.blockFormat().headingLevel() == 2) headings << b.text();
        for (const char* h : {"概要", "操作手順", "メッセージと対処"})
            EXPECT_TRUE(headings.contains(QString::fromUtf8(h))) << h << " in " << headings.join(u',').toStdString();
        for (auto m = href.globalMatch(html); m.hasNext();) {
            const QString target = m.next().captured(1);
            EXPECT_TRUE(QFileInfo(help + u'/' + target).isFile()) << target.toStdString();
        }
    }
}

#include "help_test.moc"
