#pragma once
// What the data model's common procedures need of the data windows and of the
// main window. The LOG and TAG data windows implement IDataWindow; the main
// window implements IMainWindowServices and puts itself into
// model().main_window. Both live in higher folders, so the model reaches them
// only through these interfaces.
#include <QString>
#include <memory>

#include "model/op_mode.h"

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
}  // namespace toolbar1

// What the program forgets of the last logger when the last data window has
// closed while no logger is connected.
enum class ForgetLogger {
    Nothing,        // nothing: the commands follow
    Mode,           // the link's mode (none)
    ModeAndSerial,  // the link's mode and the serial number
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

    // Whether the window's data can be drawn as a graph (TAG data cannot).
    virtual bool has_graph() const { return true; }
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

    // The link state kept by the main window.
    virtual bool link_connected_flag() const = 0;
    virtual void let_link_mode(OpMode mode) = 0;
    virtual void let_link_serial_no(const QString& text) = 0;
    // The logger's identity texts (status bar, version box) as blanks.
    virtual void blank_link_identity() = 0;

    // Derives the menus, the toolbar and the status texts anew from the link,
    // the mode and the windows.
    virtual void refresh_command_state() = 0;

    // Lets pending window events run once.
    virtual void yieldToEventLoop() = 0;

    // After a data window has gone: with none left and no logger connected
    // (by the link state), the program forgets what `forget` says of the last
    // logger and its identity texts; then the commands are derived anew.
    void update_command_state(ForgetLogger forget = ForgetLogger::ModeAndSerial);
};

}  // namespace mq
