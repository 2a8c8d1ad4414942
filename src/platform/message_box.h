#pragma once
// The one message-box helper of the program: Japanese buttons, the given icon
// and default button, titled "マロウクイル" unless told otherwise.
//
// Tests install a hook: while one is set, msgBox shows nothing and returns the
// hook's answer, so every dialog path can be driven without a screen.
#include <QString>

#include <functional>
#include <vector>

class QFont;
class QWidget;

namespace mq::platform {

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgResult { OK, Cancel, Yes, No };
// The default button by its place in the box: OK/Cancel, Yes/No, Yes/No/Cancel.
enum class MsgDefault { First, Second, Third };

struct MessageRecord {
    QString title;
    QString text;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    MsgDefault defaultButton = MsgDefault::First;
};

// Shows a modal message box and returns the button pressed. Enter presses
// the default button; "はい(Y)" and "いいえ(N)" answer with Y and N (Alt or
// not). Closing the box without a button (Escape, the window's close button)
// answers Cancel when the box has a Cancel button and OK for an OK box; a
// Yes/No box cannot be closed so and waits for its answer.
// A default beyond the box's buttons falls back to the first button.
MsgResult msgBox(QWidget* parent, const QString& text, MsgButtons buttons = MsgButtons::OK,
                 MsgIcon icon = MsgIcon::None, MsgDefault defaultButton = MsgDefault::First,
                 const QString& title = QStringLiteral("マロウクイル"));

// The least width of a message box, so that its title shows whole in the
// window frame however short its text.
int messageBoxMinimumWidth(const QString& title, const QFont& font);

using MessageBoxHook = std::function<MsgResult(const MessageRecord&)>;

// Replaces what msgBox does (test use). An empty function clears the hook.
void setMessageBoxHook(MessageBoxHook hook);
void clearMessageBoxHook();
bool messageBoxHookSet();

// Records every message shown while it lives and answers them; puts the
// previous hook back when it ends (hooks nest like scopes).
class ScopedMessageBoxHook {
public:
    // Answers every message with `answer`.
    explicit ScopedMessageBoxHook(MsgResult answer = MsgResult::OK);
    // Answers the messages in order; after the last answer, repeats it.
    explicit ScopedMessageBoxHook(std::vector<MsgResult> answers);
    // Asks a function for each answer.
    explicit ScopedMessageBoxHook(MessageBoxHook answerer);
    ~ScopedMessageBoxHook();
    ScopedMessageBoxHook(const ScopedMessageBoxHook&) = delete;
    ScopedMessageBoxHook& operator=(const ScopedMessageBoxHook&) = delete;

    const std::vector<MessageRecord>& records() const { return m_records; }
    // The texts of the recorded messages, in order (handy for assertions).
    std::vector<QString> texts() const;
    void clear() { m_records.clear(); }

private:
    void install(MessageBoxHook answerer);

    std::vector<MessageRecord> m_records;
    MessageBoxHook m_previous;
};

}  // namespace mq::platform
