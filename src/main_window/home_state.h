#pragma once
// Program-wide state of the main window: start-up and hand-over, the closing
// protocol shared with the data windows, the window table, the file paths of
// the running open and save, the last-used folders and the printer choice.
// Held by the application (or a test) in a HomeSlot, reached with home_state().
//
// The targets of the menu and toolbar commands that belong to other
// subsystems (dialogs, editors, data windows, graph, printing, open and save)
// are hooks in HomeTargets, tables keyed by command, window kind or fill: each
// subsystem installs its own entries at start, tests put their own in. An
// empty hook makes the command stop after its shared logic.
#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>

#include "model/graph_print_source.h"
#include "platform/hook_table.h"
#include "platform/state_slot.h"

namespace mq {

class HOME;
class IDataWindow;

// Number of window-table slots, and the per-kind window limit.
inline constexpr int kWinSlots = 42;
inline constexpr int kWinKindLimit = 20;

// The main window's commands whose target is a modal dialog, an editor or a
// step of another subsystem: the main window only starts them.
enum class HomeCommand {
    LoggerConnect,     // the connect command
    FileOpen,          // File Open (opens pending_file_path when pending_file_flag)
    Save,              // the save dispatch (sets close_cancel_flag on a cancelled dialog)
    ManualCommDialog,  // the manual port dialog
    LogDataSelect,
    TagDataSelect,
    LogSetValue,
    TagSetValue,
    Comment1,  // worker names
    Comment2,  // comments
    ModelSetting,
    Log0SetValue,
    Tag0SetValue,
    TablePrint,         // the table printing window
    FreeLogWorkTables,  // extra clean-up of the exit window (work tables of other subsystems)
    Count
};

// The kinds of data window the window table creates.
enum class DataWindowKind { Log, Tag, Count };

// The fills the window table starts on a new data window: from the logger
// (with the data number) or from a file (with the file key).
enum class DataFill { LoggerLog, LoggerTag, FileMl1, FileMl2, FileMt1, Count };

struct HomeTargets {
    platform::HookTable<HomeCommand, std::function<void()>> commands;
    // Starts a command; nothing happens when its hook is empty.
    void run(HomeCommand c) const {
        if (const auto& f = commands[c]) f();
    }

    // The connection dialog, shown modally with home_state().dialog_state set.
    std::function<void(const QString& state)> comm_dialog;

    // The graph window over the active data window, shown without waiting;
    // returns true when a graph window was opened (it then sets app_idle_flag
    // True itself when it closes).
    std::function<bool()> graph;
    // The table printing window for the graph's drawn range (the graph
    // window's table-print command, after its printer choice); modal.
    std::function<void(const GraphPrintSource&)> table_print_graph;

    // The data windows. The window table creates them with their tag (the
    // caption is set by the table) and starts their fills on them.
    platform::HookTable<DataWindowKind, std::function<IDataWindow*(const QString& tag)>> create_window;
    platform::HookTable<DataFill, std::function<void(IDataWindow& w, const QString& numberOrKey)>> fill;
};

struct HomeState {
    // Start-up and hand-over. start_state: 0 normal run, 1 second start without
    // a file, 2 second start whose file was handed over.
    int start_state = 0;
    QString pending_file_path;
    bool pending_file_flag = false;
    bool app_idle_flag = true;
    QString docs_dir;
    int config_copied_flag = 0;

    // Closing protocol shared with the data windows.
    bool app_closing_flag = false;
    int close_reason = 0;  // 0 command or user, 1 close without asking, else the unload mode
    bool win_closing_flag = false;
    bool close_cancel_flag = false;
    bool close_result = false;
    bool data_win_init_flag = false;

    // Window table: keys (the windows' tags), unsaved flags, and the window of
    // each slot, moved together when the table is compacted.
    std::array<QString, kWinSlots> win_key_table;
    std::array<qint16, kWinSlots> win_unsaved_flags{};
    std::array<QPointer<QWidget>, kWinSlots> win_windows;
    std::array<bool, 21> area_window_flags{};

    // Files being opened or saved and their texts; the open command is
    // running while opening_file is set (its button is off meanwhile).
    bool opening_file = false;
    QString save_file_path;
    QString open_file_path;

    // Message number of the connection dialog.
    QString dialog_state;

    // Last-used folders (LAFP.CFG) and the open dialog's start folders.
    QString lafp_open_dir;
    QString lafp_save_dir;
    QString lafp_dir3;
    QString open_dialog_dir;
    QString memory_open_dir;

    // Printer choice: the current printer of the program and the last answer.
    QString current_printer;
    bool printer_choice_ok = false;

    // Guards shared by the settings editors; cleared at start-up.
    int ctl_event_lock = 0;

    // A configuration file that could not be written is reported once per run.
    bool config_write_error_reported = false;

    // Set at start when the command files of the program's configuration
    // folder could not be loaded: the message naming the folder, shown once
    // then and again by every logger command, which refuses to run.
    QString command_files_error;

    HomeTargets targets;

    // The main window while it exists (it registers itself; not owned): the
    // main window's own procedures reach it here, the data model through
    // model().main_window.
    HOME* window = nullptr;
};

using HomeSlot = platform::StateSlot<HomeState>;
inline HomeState& home_state() { return HomeSlot::current(); }

// The main window, or nullptr when there is none (or no main-window state).
inline HOME* home_window() { return HomeSlot::installed() ? home_state().window : nullptr; }

// The program is busy (app_idle_flag False) while a BusyScope lives, so a file
// handed over by a second start waits; it is idle again when the scope ends,
// on every path, unless keep_busy() handed the idle state to something that
// outlives the command (a graph window gives it back when it closes).
class BusyScope {
public:
    BusyScope() { home_state().app_idle_flag = false; }
    ~BusyScope() {
        if (!m_keep && HomeSlot::installed()) home_state().app_idle_flag = true;
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    void keep_busy() { m_keep = true; }

private:
    bool m_keep = false;
};

}  // namespace mq
