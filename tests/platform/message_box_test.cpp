#include <gtest/gtest.h>

#include "common/test_env.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace mq::platform;

TEST(MessageBoxHook, RecordsEveryMessageAndAnswersForTheUser) {
    ScopedMessageBoxHook hook(MsgResult::Yes);
    EXPECT_TRUE(messageBoxHookSet());
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("保存しますか？"), MsgButtons::YesNoCancel, MsgIcon::Question,
                     MsgDefault::Second),
              MsgResult::Yes);
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("データが1個の為"), MsgButtons::OK, MsgIcon::None, MsgDefault::First,
                     QStringLiteral("ｸﾞﾗﾌ")),
              MsgResult::Yes);
    ASSERT_EQ(hook.records().size(), 2u);
    const MessageRecord& first = hook.records()[0];
    EXPECT_EQ(first.title, QStringLiteral("マロウクイル"));
    EXPECT_EQ(first.text, QStringLiteral("保存しますか？"));
    EXPECT_EQ(first.buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(first.icon, MsgIcon::Question);
    EXPECT_EQ(first.defaultButton, MsgDefault::Second);
    EXPECT_EQ(hook.records()[1].title, QStringLiteral("ｸﾞﾗﾌ"));
    EXPECT_EQ(hook.texts(), (std::vector<QString>{QStringLiteral("保存しますか？"), QStringLiteral("データが1個の為")}));
}

TEST(MessageBoxHook, AnswersInOrderThenRepeatsTheLast) {
    ScopedMessageBoxHook hook(std::vector<MsgResult>{MsgResult::No, MsgResult::Cancel});
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("1"), MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("2"), MsgButtons::OKCancel), MsgResult::Cancel);
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("3"), MsgButtons::OKCancel), MsgResult::Cancel);
    EXPECT_EQ(hook.records().size(), 3u);
}

TEST(MessageBoxHook, FunctionSeesEachMessage) {
    ScopedMessageBoxHook hook([](const MessageRecord& r) {
        return r.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::OK;
    });
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("a"), MsgButtons::YesNo), MsgResult::Yes);
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("b")), MsgResult::OK);
}

TEST(MessageBoxHook, NestedHooksRestoreTheOuterOne) {
    EXPECT_FALSE(messageBoxHookSet());
    {
        ScopedMessageBoxHook outer(MsgResult::OK);
        {
            ScopedMessageBoxHook inner(MsgResult::No);
            EXPECT_EQ(msgBox(nullptr, QStringLiteral("inner")), MsgResult::No);
        }
        EXPECT_EQ(msgBox(nullptr, QStringLiteral("outer")), MsgResult::OK);
        ASSERT_EQ(outer.records().size(), 1u);
        EXPECT_EQ(outer.records()[0].text, QStringLiteral("outer"));
    }
    EXPECT_FALSE(messageBoxHookSet());
    setMessageBoxHook([](const MessageRecord&) { return MsgResult::Cancel; });
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("x"), MsgButtons::OKCancel), MsgResult::Cancel);
    clearMessageBoxHook();
    EXPECT_FALSE(messageBoxHookSet());
}

namespace {
// Runs `act` on the message box once it is shown.
void onBox(std::function<void(QMessageBox*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box && box->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(box);
                return;
            }
        }
    });
    timer->start();
}

QStringList buttonTexts(QMessageBox* box) {
    QStringList out;
    for (QAbstractButton* b : box->buttons()) out << b->text();
    out.sort();
    return out;
}
}  // namespace

TEST(MessageBoxShown, JapaneseButtonsTitleAndDefault) {
    mq::test::ensureApplication();
    QString title, text, defaultText;
    QStringList texts;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    onBox([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        texts = buttonTexts(box);
        icon = box->icon();
        defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == QStringLiteral("いいえ(&N)")) QTest::mouseClick(b, Qt::LeftButton);
    });
    const MsgResult r = msgBox(nullptr, QStringLiteral("ファイルを開きますか。"), MsgButtons::YesNoCancel,
                               MsgIcon::Exclamation, MsgDefault::Second);
    EXPECT_EQ(r, MsgResult::No);
    EXPECT_EQ(title, QStringLiteral("マロウクイル"));
    EXPECT_EQ(text, QStringLiteral("ファイルを開きますか。"));
    EXPECT_EQ(texts, (QStringList{QStringLiteral("いいえ(&N)"), QStringLiteral("はい(&Y)"), QStringLiteral("キャンセル")}));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(defaultText, QStringLiteral("いいえ(&N)"));
}

TEST(MessageBoxShown, EnterPressesTheDefaultButton) {
    mq::test::ensureApplication();
    onBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("q"), MsgButtons::OKCancel, MsgIcon::Question, MsgDefault::Second),
              MsgResult::Cancel);
    onBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("q"), MsgButtons::YesNo, MsgIcon::Question, MsgDefault::First),
              MsgResult::Yes);
}

TEST(MessageBoxShown, EscapeAnswersCancelOrOKAndAYesNoBoxWaitsForYOrN) {
    mq::test::ensureApplication();
    onBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("e"), MsgButtons::OKCancel), MsgResult::Cancel);
    onBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("e"), MsgButtons::YesNoCancel), MsgResult::Cancel);
    onBox([](QMessageBox* box) {
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_TRUE(box->isVisible());
        box->close();  // the window's close button
        EXPECT_TRUE(box->isVisible());
        QTest::keyClick(box, Qt::Key_N);
    });
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("e"), MsgButtons::YesNo), MsgResult::No);
    onBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Y); });
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("e"), MsgButtons::YesNo, MsgIcon::None, MsgDefault::Second), MsgResult::Yes);
    onBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_N, Qt::AltModifier); });
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("e"), MsgButtons::YesNo), MsgResult::No);
    onBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(msgBox(nullptr, QStringLiteral("e"), MsgButtons::OK, MsgIcon::Critical), MsgResult::OK);
}

TEST(MessageBoxShown, AShortTextStillLeavesRoomForTheTitle) {
    mq::test::ensureApplication();
    struct Case {
        const char* title;
        const char* text;
    };
    // The second start's box: a short text under the program's title.
    const Case cases[] = {{"マロウクイル", "すでに起動しています"},
                          {"ウインドウを閉じる", "OK"},
                          {"ｸﾞﾗﾌ", "x"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        int width = 0, needed = 0;
        onBox([&](QMessageBox* box) {
            width = box->width();
            mq::test::saveScreenshot(box, QStringLiteral("message_box_") + QString::number(width));
            needed = messageBoxMinimumWidth(box->windowTitle(), box->font());
            QTest::keyClick(box, Qt::Key_Return);
        });
        msgBox(nullptr, QString::fromUtf8(c.text), MsgButtons::OK, MsgIcon::None, MsgDefault::First,
               QString::fromUtf8(c.title));
        QFont bold = QApplication::font();
        bold.setBold(true);
        EXPECT_GT(needed, QFontMetrics(bold).horizontalAdvance(QString::fromUtf8(c.title)) + 100);
        EXPECT_GE(width, needed);
    }
}
