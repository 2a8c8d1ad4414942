#include <gtest/gtest.h>

#include "common/test_env.h"
#include "platform/folders.h"
#include "platform/help.h"
#include "platform/message_box.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

TEST(Help, OpensTheTopicPageOrTheIndex) {
    mq::test::ensureApplication();
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("31201.html")));
    touch(dir.filePath(QStringLiteral("index.html")));
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    ScopedMessageBoxHook hook(MsgResult::OK);
    EXPECT_NE(showHelp(nullptr, dir.path(), 31201), 0u);
    EXPECT_NE(showHelp(nullptr, dir.path(), 35001), 0u);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(dir.filePath(QStringLiteral("31201.html"))));
    EXPECT_EQ(catcher.urls[1], QUrl::fromLocalFile(dir.filePath(QStringLiteral("index.html"))));
    EXPECT_TRUE(hook.records().empty());
}

#include "help_test.moc"
