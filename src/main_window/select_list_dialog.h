#pragma once
// The common part of the dialogs in which the user chooses which of the
// connected logger's 20 LOG areas or tags to read: the ticked list, the
// "全て選択" / "全て解除" / "ﾍﾙﾌﾟ" buttons, the first activation's list read,
// the take-back of windows when the link goes while OK opens them, and the
// current data set after Cancel. The open flags per row are the main
// window's home_state().area_window_flags[1..20].
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <initializer_list>

#include "main_window/activated_dialog.h"
#include "model/op_mode.h"

class QMdiSubWindow;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace mq {

class HOME;

class SelectListDialog : public ActivatedDialog {
    Q_OBJECT
public:
    static constexpr int kRows = 20;
    using Ticks = std::array<bool, kRows + 1>;  // [1..20]

    ~SelectListDialog() override;

    // ---- controls
    QTreeWidget* ListView1 = nullptr;  // 20 rows with check boxes; row n-1 is area (tag) n
    QPushButton* Command1 = nullptr;   // "全て選択"
    QPushButton* Command2 = nullptr;   // "全て解除"
    QPushButton* Command3 = nullptr;   // "ﾍﾙﾌﾟ"

    // The list has been read from the logger (whether or not the read succeeded).
    bool list_read() const { return m_listRead; }

    bool isTicked(int n) const;  // 1..20
    // Sets a tick as the user's click does (ListView1_ItemCheck runs).
    void clickTick(int n, bool ticked);
    // The text of row n (1..20), column col.
    QString cellText(int n, int col) const;

    virtual void ListView1_ItemCheck(int n) = 0;
    virtual void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    // headers: the list's column captions; widths: those of its first
    // columns (the last one stretches). okName/cancelName: the object names
    // of the OK and Cancel buttons, made here so the tab order stays
    // list, OK, Cancel, Command1..3.
    SelectListDialog(HOME* home, QWidget* parent, const QString& title, const QStringList& headers,
                     std::initializer_list<int> widths, int helpContext, const char* okName, const char* cancelName);

    // The Cancel button's work; the window's close button runs it too.
    virtual void cancelClicked() = 0;
    void closeEvent(QCloseEvent* e) override;

    QTreeWidgetItem* row(int n) const;
    void setTickSilently(int n, bool ticked);
    // Form_Load's list: 20 unticked rows, the open flags from the window
    // table, the rows ticked after them; the dialog centred.
    void fillRows();
    // Ticks every row whose data set has records (the logger's sets in
    // order, "L00" left out).
    void tickAllWithRecords();
    // Form_Activate: the list read (read(), false when it was cancelled or
    // failed) on the first activation; the dialog goes when it fails (also
    // by raising), is cancelled, or the link is gone.
    void activateWithListRead(const std::function<bool()>& read);
    // Cancel: the active data window's data set becomes the current one again.
    void rebindActive();
    // The connected logger's operating mode (none without a logger).
    static OpMode loggerMode();

    Ticks ticks() const;
    // The link went while OK opened row i's window: close every window the
    // confirmation touched or knew of, clear the open flags, close the dialog.
    void takeBackWindows(const Ticks& ticks, int i);
    // Enables every data window; returns the one whose tag is focusKey.
    QMdiSubWindow* enableDataWindows(const QString& focusKey);

    HOME* m_home = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;

private:
    int m_helpContext = 0;
    bool m_listRead = false;
};

// The open dialog of type D (the one whose list a read fills), or nullptr.
template <class D>
D* open_select_dialog(const QList<QWidget*>& topLevel) {
    for (QWidget* w : topLevel) {
        auto* d = qobject_cast<D*>(w);
        if (d && !d->unloaded()) return d;
    }
    return nullptr;
}

}  // namespace mq
