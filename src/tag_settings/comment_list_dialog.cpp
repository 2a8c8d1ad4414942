#include "tag_settings/comment_list_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QVBoxLayout>

#include "model/common_proc.h"
#include "model/cur_accessors.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/message_box.h"
#include "sequencer/prog_dialog.h"
#include "tag_settings/ops_list_write.h"

namespace mq {

void install_list_text_filter(QLineEdit* box, int maxChars) {
    // 0x20-0x7A without the comma, and U+FF65-U+FF9F (CP932 0xA5-0xDF).
    const QString pattern = QStringLiteral("[\\x{20}-\\x{2B}\\x{2D}-\\x{7A}\\x{FF65}-\\x{FF9F}]{0,%1}").arg(maxChars);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), box));
    box->setMaxLength(maxChars);
}

namespace {

struct Twin {
    const char16_t* caption;
    const char16_t* frame;
    const char16_t* updateTip;
    const char16_t* okTip;
    int help;
};

Twin twinOf(ListKind kind) {
    if (kind == ListKind::Worker) {
        return {u"作業者名の登録", u"作業者", u"表示している作業者ﾘｽﾄをﾊﾟｿｺﾝ内部に登録して終了します",
                u"表示している作業者ﾘｽﾄをﾛｶﾞｰとﾊﾟｿｺﾝに書き込んで終了します", help_context::comment1};
    }
    return {u"コメントの登録", u"コメント", u"表示しているｺﾒﾝﾄﾘｽﾄをﾊﾟｿｺﾝに登録して終了します",
            u"表示しているｺﾒﾝﾄﾘｽﾄをﾛｶﾞｰとﾊﾟｿｺﾝに書き込んで終了します", help_context::comment2};
}

QString qs(const char16_t* s) { return QString::fromUtf16(s); }

}  // namespace

CommentListDialog::CommentListDialog(ListKind kind, QWidget* parent) : QDialog(parent), m_kind(kind) {
    const Twin t = twinOf(kind);
    setObjectName(kind == ListKind::Worker ? QStringLiteral("comment1") : QStringLiteral("comment2"));
    setWindowTitle(qs(t.caption));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Frame1 = new QGroupBox(qs(t.frame), this);
    auto* grid = new QGridLayout(Frame1);
    // Two columns of ten, numbered down the columns like the logger's keypad list.
    for (int i = 0; i < kListEntries; ++i) {
        Label1[i] = new QLabel(QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0')), Frame1);
        Text1[i] = new QLineEdit(Frame1);
        Text1[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        install_list_text_filter(Text1[i], kListEntryBytes);
        Text1[i]->setMinimumWidth(Text1[i]->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWWWW")) + 12);
        const int col = (i / 10) * 2;
        grid->addWidget(Label1[i], i % 10, col);
        grid->addWidget(Text1[i], i % 10, col + 1);
    }
    Text1[0]->setToolTip(QStringLiteral("ｺﾒﾝﾄ（半角8文字）"));

    Command6 = new QPushButton(QStringLiteral("ﾘｽﾄ更新"), this);
    Command6->setToolTip(qs(t.updateTip));
    Command5 = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    Command5->setToolTip(QStringLiteral("すべての変更をｷｬﾝｾﾙしてﾎｰﾑ画面に戻ります"));
    Command2 = new QPushButton(QStringLiteral("OK"), this);
    Command2->setToolTip(qs(t.okTip));
    Command2->setDefault(true);
    Command1 = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ"), this);
    Command1->setToolTip(QStringLiteral("ﾍﾙﾌﾟを表示します"));
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command6);
    buttons->addWidget(Command5);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);

    Form_Load();
}

void CommentListDialog::Form_Load() {
    if (clsLOGGER_STATUS* status = list_target_status()) {
        const FileResult r = list_file_load(m_kind, *status);
        if (!r) platform::msgBox(this, r.message, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
    }
    for (int i = 0; i < kListEntries; ++i) list_entry_disp(i);
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void CommentListDialog::list_entry_save(const QString& record) {
    clsLOGGER_STATUS* status = list_target_status();
    if (!status || record.size() < 15) return;
    bool ok = false;
    const int n = record.mid(4, 2).toInt(&ok);
    if (!ok || n < 1 || n > kListEntries) return;
    const QString text = list_entry_fixed(record.mid(7, 8));
    if (m_kind == ListKind::Worker) status->let_worker_name(n - 1, text);
    else status->let_Comment(n - 1, text);
}

void CommentListDialog::list_entry_disp(int i) {
    if (i < 0 || i >= kListEntries) return;
    const clsLOGGER_STATUS* status = list_target_status();
    const QString entry = status ? list_entries(*status, m_kind).at(i) : QString();
    Text1[i]->setText(list_entry_shown(entry));
}

bool CommentListDialog::list_update() {
    clsLOGGER_STATUS* status = list_target_status();
    if (!status) return false;
    QStringList entries;
    for (QLineEdit* box : Text1) entries << box->text();
    let_list_entries(*status, m_kind, entries);
    const FileResult r = list_file_store(m_kind, *status);
    if (!r) {
        platform::msgBox(this, r.message, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        return false;
    }
    return true;
}

void CommentListDialog::Command6_Click() {
    if (list_update()) accept();
}

void CommentListDialog::Command2_Click() {
    if (get_cur_mode_type() == OpMode::Tag) {
        const auto answer =
            platform::msgBox(this, QStringLiteral("書き込みを行うとロガーの収録済みデータも書き変わります。よろしいですか？"),
                             platform::MsgButtons::OKCancel);
        if (answer != platform::MsgResult::OK) return;
    }
    // A list the PC could not keep is not sent either: the logger and the
    // file would disagree.
    if (!list_update()) return;
    hide();
    prog_run(parentWidget(), list_write_operation(m_kind == ListKind::Worker));
    accept();
}

void CommentListDialog::Command5_Click() { reject(); }

void CommentListDialog::Command1_Click() { show_help(this, model().help_file, twinOf(m_kind).help); }

void comment1_show(QWidget* parent) {
    comment1 dlg(parent);
    dlg.exec();
}

void comment2_show(QWidget* parent) {
    comment2 dlg(parent);
    dlg.exec();
}

}  // namespace mq
