#pragma once
// The window table: the data windows open inside the main window. 42 slots of
// keys (the windows' tags: "L" and two digits for logger windows, "F", the
// two-digit file number and the caption for file windows), each with its
// unsaved flag and its window, kept contiguous from slot 0 in opening order.
// The slot keeps a reference to its own window, so another child window (the
// graph, a dialog) never shifts which window a slot closes or resizes.
//
// The state lives in home_state(); this class holds the procedures and the
// link to the main window's MDI area.
#include <QMdiSubWindow>
#include <QPointer>
#include <QString>

#include <functional>

#include <unordered_map>

#include "main_window/home_state.h"
#include "model/op_mode.h"

namespace mq {

class HOME;
class IDataWindow;
class WindowTable;

// The frame of a data window inside the MDI area. It remembers whether it is
// running its own close, so that a data window that reports its close while
// closing (through the active-window close) is not closed a second time.
class DataSubWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit DataSubWindow(WindowTable& table, QWidget* parent = nullptr);
    bool inClose() const { return m_inClose; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    WindowTable& m_table;
    bool m_inClose = false;
};

class WindowTable {
public:
    explicit WindowTable(HOME& home);
    WindowTable(const WindowTable&) = delete;
    WindowTable& operator=(const WindowTable&) = delete;

    // Openers. n is the two-digit area or tag number.
    void win_logger_open_log(const QString& n);
    void win_logger_open_tag(const QString& n);
    void win_file_open_log(const QString& caption, const QString& kind);
    void win_file_open_tag(const QString& caption);

    // Closing.
    void win_active_close();
    void win_logger_close(const QString& n);
    void win_all_close();
    void win_logger_win_all_close();

    // Counting and searching.
    int win_all_use_ct() const;
    int win_logger_use_ct() const;
    int win_file_use_ct() const;
    int win_file_dim_no_search() const;
    bool win_logger_use_check(int n) const;
    QString win_file_use_TagReturn() const;
    // Whether an open data window can be drawn as a graph; the first window
    // of the table (nullptr when none is open).
    bool any_graph_window() const;
    IDataWindow* first_data_window() const;

    void win_control_refresh();
    void win_arrange_size_limit();
    void win_ManualActive(const QString& tag);
    void Proc_ManualActive();
    // A modal dialog blocks the main window (HOME reports it).
    void main_window_blocked();
    // The main window is no longer blocked by a modal dialog (HOME reports
    // it). Once no modal dialog is left, the main window is made active
    // again, with the focus in its active child window when one remains,
    // when a dialog over it closed itself after its work and no window of
    // the program is active, or when the program closed data windows under
    // the dialogs (the one that held the keyboard may be gone).
    void main_window_unblocked();
    // Shows the active data window at normal size after its fill. With a data
    // window given, that window becomes the active one first, with the focus
    // inside it.
    void GraphDispReturen(QWidget* opener = nullptr);

    // Empties every slot (start-up).
    void win_table_clear();

    // The frame of a data window that the table opened, or nullptr.
    QMdiSubWindow* subWindowOf(QWidget* w) const;
    // The data window of a widget that the table opened, or nullptr.
    IDataWindow* dataWindowOf(QWidget* w) const;
    // The window of a slot (nullptr when the slot is empty or its window is gone).
    QWidget* slotWindow(int slot) const;
    // Puts a data window into an MDI frame (not shown yet); used by the openers.
    QMdiSubWindow* adopt(IDataWindow* w, const QString& caption);

    // Size caps of an arrangement in twips, by the current operating mode.
    static int capHeightTwips(OpMode mode);
    static int capWidthTwips(OpMode mode);

private:
    int free_slot() const;
    IDataWindow* open_logger_window(const QString& n, DataWindowKind kind, const QString& prefix, bool minimised);
    // A new file window: its slot, the data set "Fnn" (fileKey) and the
    // window shown active. Null when no slot is free or no window was made.
    IDataWindow* open_file_window(const QString& caption, DataWindowKind kind, QString& fileKey);
    int slot_of_window(QWidget* w) const;
    void clear_slot(int slot);
    // Closes a data window as the platform's unload does; true when it closed.
    bool unload(QWidget* w);
    void set_data_windows_enabled(bool enabled);
    // Makes a data window's frame the active child, with the focus inside it.
    void make_active(QMdiSubWindow* sub);
    void show_active(QMdiSubWindow* sub, bool minimised);

    friend class DataSubWindow;

    HOME& m_home;
    std::unordered_map<QWidget*, IDataWindow*> m_windows;
    // The frame running its own close (innermost), if any.
    DataSubWindow* m_selfClosing = nullptr;
    // A data window was closed while a modal dialog was up.
    bool m_closedUnderDialog = false;
    // The modal dialog that blocked the main window last.
    QPointer<QWidget> m_blocker;
};

}  // namespace mq
