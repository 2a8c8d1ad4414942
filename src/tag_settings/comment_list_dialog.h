#pragma once
// The twin list editors of the logger's worker names (comment1,
// "作業者名の登録") and comments (comment2, "コメントの登録"): 20 boxes of up
// to 8 half-width characters. "ﾘｽﾄ更新" stores the list on the PC, "OK"
// stores it and writes it to the logger under the progress dialog, "ｷｬﾝｾﾙ"
// discards the edits.
#include <QDialog>
#include <QString>

#include "tag_settings/list_files.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mq {

class clsLOGGER_STATUS;

// Keeps a box to the characters the logger's lists can hold: blank, the
// ASCII signs, digits and letters up to "z" except the comma, and the
// half-width katakana from "･"; at most maxChars of them. Typed or pasted
// text outside that set is refused.
void install_list_text_filter(QLineEdit* box, int maxChars);

class CommentListDialog : public QDialog {
    Q_OBJECT
public:
    CommentListDialog(ListKind kind, QWidget* parent = nullptr);

    ListKind kind() const { return m_kind; }

    // ---- controls
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1[kListEntries] = {};
    QLineEdit* Text1[kListEntries] = {};
    QPushButton* Command6 = nullptr;  // "ﾘｽﾄ更新"
    QPushButton* Command5 = nullptr;  // "ｷｬﾝｾﾙ"
    QPushButton* Command2 = nullptr;  // "OK"
    QPushButton* Command1 = nullptr;  // "ﾍﾙﾌﾟ"

    // ---- public procedures
    // Stores characters 8-15 of a list record as the entry numbered by its
    // characters 5-6 (01-20); any other number is ignored.
    void list_entry_save(const QString& record);
    // Shows entry i of the target list in box i.
    void list_entry_disp(int i);

    // ---- event handlers
    void Form_Load();
    // Stores the boxes in the target identity object and the list file;
    // false (after the message) when the file could not be written.
    bool list_update();
    void Command6_Click();
    void Command2_Click();
    void Command5_Click();
    void Command1_Click();

private:
    ListKind m_kind;
};

// The worker-name list editor.
class comment1 : public CommentListDialog {
    Q_OBJECT
public:
    explicit comment1(QWidget* parent = nullptr) : CommentListDialog(ListKind::Worker, parent) {}
    void worker_name_save(const QString& record) { list_entry_save(record); }
    void worker_name_disp(int i) { list_entry_disp(i); }
};

// The comment list editor.
class comment2 : public CommentListDialog {
    Q_OBJECT
public:
    explicit comment2(QWidget* parent = nullptr) : CommentListDialog(ListKind::Comment, parent) {}
    void comment_save(const QString& record) { list_entry_save(record); }
    void comment_disp(int i) { list_entry_disp(i); }
};

// The main window's commands: the editor, modal, over parent.
void comment1_show(QWidget* parent);
void comment2_show(QWidget* parent);

}  // namespace mq
