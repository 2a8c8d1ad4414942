#pragma once
// HOME: the main window. The multiple-document frame of every data window,
// with the menu bar, the toolbar Toolbar1 (buttons by index: 2 connect, 4 read,
// 6 recording settings, 7 worker names, 8 comments, 10 device settings, 13 open,
// 14 save, 17 print, 20 graph; the other indices are separators) and the
// four-panel status bar StatusBar1.
//
// The handlers carry the commands' shared logic (preconditions, the
// app_idle_flag bracketing); the windows and dialogs they open belong to
// other subsystems and are reached through home_state().targets. Which
// commands are enabled and what the status bar says is derived in one place
// (refresh_command_state, main_window/command_state.h).
#include <QMainWindow>
#include <QString>

#include <functional>
#include <map>
#include <memory>

#include "main_window/command_state.h"
#include "main_window/window_table.h"
#include "model/data_window.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolBar;

namespace mq {

class HOME : public QMainWindow, public IMainWindowServices {
    Q_OBJECT
public:
    // Builds the window and registers it as model().main_window.
    explicit HOME(QWidget* parent = nullptr);
    ~HOME() override;

    // ---- services for the data model and the data windows
    IDataWindow* activeDataWindow() override;
    // The data window whose data tell the program's mode while no logger
    // decides it: the active one, else the first one open (none when none is).
    IDataWindow* mode_window();
    QWidget* mainWidget() override { return this; }
    void win_active_close() override;
    int win_all_use_ct() override;
    bool link_connected_flag() const override;
    void let_link_mode(OpMode mode) override;
    void let_link_serial_no(const QString& text) override;
    void blank_link_identity() override;
    void refresh_command_state() override;
    void yieldToEventLoop() override;

    // What the commands are derived from now: the link, the operating mode
    // (the connected logger's; without a logger, the mode the open windows
    // were opened in, none when no window is open) and the windows.
    CommandInputs command_inputs();

    // ---- controls
    QMdiArea* mdiArea() const { return m_mdi; }
    // Menu item (or menu) by its name: "loggerread", "fileclose", "menu_graph", ...
    QAction* menuItem(const QString& name) const;
    // Toolbar button by its index; nullptr for a separator index.
    QAction* toolbarButton(int index) const;
    // Switch one button or item by hand; the next refresh derives it again.
    void setToolbarButtonEnabled(int index, bool enabled);
    void setMenuItemEnabled(const QString& name, bool enabled);
    QToolBar* Toolbar1() const { return m_toolbar; }
    // Status-bar panels 1 to 4.
    QString statusPanelText(int panel) const;
    void setStatusPanelText(int panel, const QString& text);
    // The check mark of "自動でグラフ描画" (mGrp_optAutoDraw).
    bool autoDrawChecked() const;
    void setAutoDrawChecked(bool checked);
    WindowTable& winTable() { return m_table; }
    QTimer* Timer3() const { return m_timer3; }

    // ---- commands (menu and toolbar handlers)
    void loggerconnect_Click();
    void loggerread_Click();
    void logingsv_Click();
    void namelist_Click();
    void commlist_Click();
    void modelset_Click();
    void defset_Click();
    void fileopen_Click();
    void fileclose_Click();
    void allclose_Click();
    void save_Click();
    void print_data_Click();
    void endprog_Click();
    void a_comm_set_Click();
    void m_comm_set_Click();
    void h_disp_Click();
    void v_disp_Click();
    void c_disp_Click();
    // True when a graph window was opened.
    bool mGrp_Draw_Click();
    void mGrp_optAutoDraw_Click();
    void loggerhelp_Click();
    void version_Click();
    void Toolbar1_ButtonClick(int index);

    // ---- hand-over of a file from a second start, and its timer
    void MDIForm_LinkExecute(const QString& commandText);
    void link_file_request(const QString& text);
    void Timer3_Timer();

    // Restores the active data window to normal size after its fill; with a
    // data window given (the one a closing graph was opened from), makes that
    // one active first.
    void GraphDispReturen(QWidget* opener = nullptr) { m_table.GraphDispReturen(opener); }

    // The closing sequence for an unload mode (0 the user closed the window,
    // 1 closed by the program). False when the user cancelled it: the program
    // stays open.
    bool MDIForm_QueryUnload(int unloadMode);

    // Runs a menu, toolbar or timer command: an error that escapes it is
    // reported ("エラーが発生しました。") and ends only that command.
    void guarded(const std::function<void()>& command);

    // The exit window's pause per progress step, in ms (tests use 0).
    void setExitStepDelay(int ms) { m_exitStepDelay = ms; }

protected:
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;

private:
    void build_menus();
    void build_toolbar();
    void build_status_bar();
    QAction* add_item(QMenu* menu, const QString& name, const QString& text, bool enabled = true);
    void rebuild_window_menu();
    // Shows the connection dialog with the given message number.
    void show_comm_dialog(const QString& state);
    // True when a logger is connected; otherwise shows message number "40".
    // Refuses first, with its message, when the command files are missing.
    bool require_connected();
    // False, after the message, when the command files could not be loaded.
    bool command_files_ready();
    void open_list_editor(HomeCommand editor);
    void arrange(int how);
    static void call(HomeCommand c) { home_state().targets.run(c); }

    QMdiArea* m_mdi = nullptr;
    QToolBar* m_toolbar = nullptr;
    QMenu* m_windowMenu = nullptr;
    std::map<QString, QAction*> m_items;
    std::map<int, QAction*> m_buttons;
    QLabel* m_panels[4] = {};
    QTimer* m_timer3 = nullptr;
    WindowTable m_table;
    bool m_inTimer3 = false;
    bool m_closed = false;
    int m_exitStepDelay = 3;
};

}  // namespace mq
