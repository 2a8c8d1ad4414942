#include <gtest/gtest.h>

#include "common/test_env.h"
#include "platform/cp932.h"
#include "platform/text_limit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

using namespace mq::platform;

namespace {
// Types each character as a key press carrying its text (keyClicks only
// handles Latin-1).
void typeText(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}
}  // namespace

class TextLimit : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        box.show();
        box.setFocus();
    }
    QLineEdit box;
};

TEST_F(TextLimit, TypingStopsAtTheByteLimit) {
    setTextLimit(&box, 8);
    QTest::keyClicks(&box, QStringLiteral("abcdefghij"));
    EXPECT_EQ(box.text(), QStringLiteral("abcdefgh"));
}

TEST_F(TextLimit, DoubleByteCharactersCountTwice) {
    setTextLimit(&box, 7);
    typeText(&box, QStringLiteral("あいうえ"));
    EXPECT_EQ(box.text(), QStringLiteral("あいう"));  // the fourth would need bytes 7 and 8
    QTest::keyClicks(&box, QStringLiteral("x"));
    EXPECT_EQ(box.text(), QStringLiteral("あいうx"));
    EXPECT_EQ(cp932::byteLength(box.text()), 7);
}

TEST_F(TextLimit, PastedTextIsCutAtACharacterBoundary) {
    setTextLimit(&box, 8);
    box.insert(QStringLiteral("ｱｲｳｴｵｶｷｸｹｺ"));
    EXPECT_EQ(box.text(), QStringLiteral("ｱｲｳｴｵｶｷｸ"));
    box.clear();
    box.insert(QStringLiteral("ab"));
    box.setCursorPosition(1);
    box.insert(QStringLiteral("日本語テキスト"));
    EXPECT_EQ(box.text(), QStringLiteral("a日本語b"));
    EXPECT_EQ(box.cursorPosition(), 4);
}

TEST_F(TextLimit, TheBoxNeverHoldsMoreThanTheLimit) {
    setTextLimit(&box, 4);
    box.setText(QStringLiteral("abcdef"));
    EXPECT_EQ(box.text(), QStringLiteral("abcd"));
    box.setText(QStringLiteral("abcdabcd"));
    EXPECT_EQ(box.text(), QStringLiteral("abcd"));
    box.setText(QStringLiteral("日本語"));
    EXPECT_EQ(box.text(), QStringLiteral("日本"));
    box.setText(QStringLiteral("abcd"));
    box.setCursorPosition(2);
    QTest::keyClicks(&box, QStringLiteral("X"));  // into a full box: nothing
    EXPECT_EQ(box.text(), QStringLiteral("abcd"));
    box.end(false);
    QTest::keyClick(&box, Qt::Key_Backspace);
    EXPECT_EQ(box.text(), QStringLiteral("abc"));
}

TEST_F(TextLimit, SettingTheLimitAgainReplacesIt) {
    setTextLimit(&box, 2);
    setTextLimit(&box, 5);
    QTest::keyClicks(&box, QStringLiteral("1234567"));
    EXPECT_EQ(box.text(), QStringLiteral("12345"));
    setTextLimit(&box, 0);  // no limit
    QTest::keyClicks(&box, QStringLiteral("67"));
    EXPECT_EQ(box.text(), QStringLiteral("1234567"));
}
