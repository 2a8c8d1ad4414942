#include "platform/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include <memory>
#include <optional>
#include <utility>

namespace mq::platform {
namespace {

// The hook is a test seam of the whole process, not program state: it lives
// here, behind the functions below, and is only ever set by tests.
MessageBoxHook& hookRef() {
    static MessageBoxHook hook;
    return hook;
}

QMessageBox::Icon qtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonDef {
    QString text;
    QMessageBox::ButtonRole role;
    MsgResult result;
};

std::vector<ButtonDef> buttonDefs(MsgButtons buttons) {
    const ButtonDef ok{QStringLiteral("OK"), QMessageBox::AcceptRole, MsgResult::OK};
    const ButtonDef cancel{QStringLiteral("キャンセル"), QMessageBox::RejectRole, MsgResult::Cancel};
    // "はい(Y)" and "いいえ(N)": the letters answer with or without Alt.
    const ButtonDef yes{QStringLiteral("はい(&Y)"), QMessageBox::YesRole, MsgResult::Yes};
    const ButtonDef no{QStringLiteral("いいえ(&N)"), QMessageBox::NoRole, MsgResult::No};
    switch (buttons) {
    case MsgButtons::OK: return {ok};
    case MsgButtons::OKCancel: return {ok, cancel};
    case MsgButtons::YesNo: return {yes, no};
    case MsgButtons::YesNoCancel: return {yes, no, cancel};
    }
    return {ok};
}

// Escape and the window's close button answer Cancel where the box has one
// and OK on an OK box; a Yes/No question must be answered with a button.
std::optional<MsgResult> closedWithoutButton(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OK: return MsgResult::OK;
    case MsgButtons::YesNo: return std::nullopt;
    case MsgButtons::OKCancel:
    case MsgButtons::YesNoCancel: return MsgResult::Cancel;
    }
    return MsgResult::Cancel;
}

// Qt would make the No button of a Yes/No box its escape button.
class MessageBox : public QMessageBox {
public:
    MessageBox(QWidget* parent, bool closable) : QMessageBox(parent), m_closable(closable) {}

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (m_closable || !e->matches(QKeySequence::Cancel)) QMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override {
        if (m_closable) QMessageBox::closeEvent(e);
        else e->ignore();
    }

private:
    const bool m_closable;
};

}  // namespace

int messageBoxMinimumWidth(const QString& title, const QFont& font) {
    // The window frame draws the title in a bold face, with the icon and the
    // frame's buttons beside it; a short text must not squeeze it.
    QFont bold = font;
    bold.setBold(true);
    const int titleWidth = QFontMetrics(bold).horizontalAdvance(title);
    return titleWidth + titleWidth / 4 + 160;
}

MsgResult msgBox(QWidget* parent, const QString& text, MsgButtons buttons, MsgIcon icon,
                 MsgDefault defaultButton, const QString& title) {
    if (const MessageBoxHook& hook = hookRef()) {
        // Copy first: the hook may replace itself while it runs.
        MessageBoxHook h = hook;
        return h(MessageRecord{title, text, buttons, icon, defaultButton});
    }

    if (!parent) parent = QApplication::activeWindow();
    const std::optional<MsgResult> escapeAnswer = closedWithoutButton(buttons);
    MessageBox box(parent, escapeAnswer.has_value());
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(qtIcon(icon));
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(messageBoxMinimumWidth(title, box.font()), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }

    const std::vector<ButtonDef> defs = buttonDefs(buttons);
    std::vector<std::pair<QAbstractButton*, MsgResult>> made;
    for (const ButtonDef& s : defs) made.emplace_back(box.addButton(s.text, s.role), s.result);

    size_t def = size_t(defaultButton);
    if (def >= made.size()) def = 0;
    box.setDefaultButton(static_cast<QPushButton*>(made[def].first));

    // Escape answers like the box's own cancel: Cancel where there is one,
    // OK on an OK box.
    for (auto& [button, result] : made)
        if (result == escapeAnswer) box.setEscapeButton(button);

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (auto& [button, result] : made)
        if (button == clicked) return result;
    // Only the program itself ends a Yes/No box without a button; that
    // counts as No.
    return escapeAnswer.value_or(MsgResult::No);
}

void setMessageBoxHook(MessageBoxHook hook) { hookRef() = std::move(hook); }
void clearMessageBoxHook() { hookRef() = nullptr; }
bool messageBoxHookSet() { return bool(hookRef()); }

ScopedMessageBoxHook::ScopedMessageBoxHook(MsgResult answer) {
    install([answer](const MessageRecord&) { return answer; });
}

ScopedMessageBoxHook::ScopedMessageBoxHook(std::vector<MsgResult> answers) {
    auto list = std::make_shared<std::vector<MsgResult>>(std::move(answers));
    auto next = std::make_shared<size_t>(0);
    install([list, next](const MessageRecord&) {
        if (list->empty()) return MsgResult::OK;
        const size_t i = *next < list->size() ? (*next)++ : list->size() - 1;
        return (*list)[i];
    });
}

ScopedMessageBoxHook::ScopedMessageBoxHook(MessageBoxHook answerer) {
    if (!answerer) answerer = [](const MessageRecord&) { return MsgResult::OK; };
    install(std::move(answerer));
}

void ScopedMessageBoxHook::install(MessageBoxHook answerer) {
    m_previous = hookRef();
    hookRef() = [this, answerer = std::move(answerer)](const MessageRecord& r) {
        m_records.push_back(r);
        return answerer(r);
    };
}

ScopedMessageBoxHook::~ScopedMessageBoxHook() { hookRef() = std::move(m_previous); }

std::vector<QString> ScopedMessageBoxHook::texts() const {
    std::vector<QString> out;
    out.reserve(m_records.size());
    for (const MessageRecord& r : m_records) out.push_back(r.text);
    return out;
}

}  // namespace mq::platform
