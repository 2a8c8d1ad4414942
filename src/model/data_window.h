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

    // Toolbar1 button by its index (14 save, 17 print, 20 graph, ...).
    virtual void setToolbarButtonEnabled(int index, bool enabled) = 0;

    // Menu item by its name ("fileclose", "save", "mGrp_Draw", ...).
    virtual void setMenuItemEnabled(const QString& name, bool enabled) = 0;

    // Text of status-bar panel 1 ("未接続" while no logger is connected).
    virtual QString statusPanel1Text() const = 0;

    // The link state kept by the main window.
    virtual bool link_connected_flag() const = 0;
    virtual void let_link_mode_str(const QString& text) = 0;
    virtual void let_link_serial_no(const QString& text) = 0;

    // Shows the connection state (0: not connected).
    virtual void comm_disconnect_disp(int state) = 0;

    // Lets pending window events run once.
    virtual void yieldToEventLoop() = 0;
};

}  // namespace mq
