#pragma once
// What the data model's common procedures need of the data windows and of the
// main window. The LOG and TAG data windows implement IDataWindow; the main
// window implements IMainWindowServices and puts itself into
// model().main_window. Both live in higher folders, so the model reaches them
// only through these interfaces.
#include <QString>
#include <memory>

class QWidget;

namespace mq::platform {
class Grid;
}

namespace mq {

class DbRecordset;

// Toolbar1's buttons by index; the indices between them are separators.
namespace toolbar1 {
enum Button : int {
    Connect = 2,
    Read = 4,
    RecordSettings = 6,
    WorkerNames = 7,
    Comments = 8,
    DeviceSettings = 10,
    Open = 13,
    Save = 14,
    Print = 17,
    Graph = 20,
};
// The buttons that need a connected logger.
inline constexpr Button kLoggerButtons[] = {Read, RecordSettings, WorkerNames, Comments, DeviceSettings};
// The buttons that need a data window.
inline constexpr Button kDataWindowButtons[] = {Save, Print, Graph};
}  // namespace toolbar1

// The menu items that need a data window.
inline constexpr const char* kDataWindowMenuItems[] = {"fileclose", "allclose", "save",   "print_data",
                                                       "h_disp",    "v_disp",   "c_disp", "mGrp_Draw"};

// What the not-connected display forgets of the last logger when the last
// data window has closed.
enum class ForgetLogger {
    Nothing,        // the display only
    Mode,           // link_mode_str "0"
    ModeAndSerial,  // link_mode_str "0" and no serial number
};

class IDataWindow {
public:
    virtual ~IDataWindow() = default;

    // Begins with the key of the window's data set: "L" and two digits for
    // logger data, "F", two digits and the caption for file data.
    virtual QString Tag() const = 0;

    // The window's records table.
    virtual platform::Grid* vsFlexGrid1() = 0;

    // Binds the window's data control to a working database's current record
    // set (clsLOGGER_DATABASE::Recordset()), so that its table shows it.
    virtual void bind_Data1(std::shared_ptr<DbRecordset> recordset) = 0;

    // The window itself (parent for messages, activation).
    virtual QWidget* widget() = 0;
};

class IMainWindowServices {
public:
    virtual ~IMainWindowServices() = default;

    // The active child window, when it is a data window; nullptr otherwise.
    virtual IDataWindow* activeDataWindow() = 0;

    // The main window's widget (parent for message boxes); may be nullptr.
    virtual QWidget* mainWidget() = 0;

    // Clears the active window's entry in the window table.
    virtual void win_active_close() = 0;

    // Number of data windows in the window table.
    virtual int win_all_use_ct() = 0;

    // Toolbar1 button by its index (toolbar1::Button).
    virtual void setToolbarButtonEnabled(int index, bool enabled) = 0;

    // Menu item by its name ("fileclose", "save", "mGrp_Draw", ...).
    virtual void setMenuItemEnabled(const QString& name, bool enabled) = 0;

    // Text of status-bar panel 1 ("未接続" while no logger is connected); for
    // display only: the connection state is link_connected_flag().
    virtual QString statusPanel1Text() const = 0;

    // The link state kept by the main window.
    virtual bool link_connected_flag() const = 0;
    virtual void let_link_mode_str(const QString& text) = 0;
    virtual void let_link_serial_no(const QString& text) = 0;

    // Shows the connection state (0: not connected).
    virtual void comm_disconnect_disp(int state) = 0;

    // Lets pending window events run once.
    virtual void yieldToEventLoop() = 0;

    // ---- command state, decided here once from the primitives above

    // The data-window commands: toolbar buttons save, print and graph and the
    // menu items of kDataWindowMenuItems; without `withGraph` the graph button
    // and "mGrp_Draw" stay as they are (a window without a graph).
    void set_data_commands_enabled(bool enabled, bool withGraph = true);

    // Command states after a data window has gone: with none left the data
    // commands go grey and, when no logger is connected (by the link state),
    // the not-connected display is shown with no operating mode, forgetting
    // what `forget` says of the last logger.
    void update_command_state(ForgetLogger forget = ForgetLogger::ModeAndSerial);
};

}  // namespace mq
