#pragma once
// The current data set and the roots of the object tree: one state object for
// the data model, held by the application (or a test) in a ModelSlot and
// reached through model().
#include <QString>
#include <memory>

#include "platform/state_slot.h"

namespace mq {

class clsFILE_DATA;
class clsLOGGER_DATA;
class clsLOGGER_Main;
class clsFILE_Main;
class DbWorkspace;
class IMainWindowServices;

struct ModelState {
    // The current data set: 0 none, 1 a file data set, 2 a logger data set,
    // with the data set of each kind. Read here, set only through
    // DataSetHandle (model/data_set_handle.h).
    int act_data_kind = 0;
    std::shared_ptr<clsFILE_DATA> act_file_data;
    std::shared_ptr<clsLOGGER_DATA> act_logger_data;
    // Root of the connected logger's data; empty while no logger is connected.
    std::shared_ptr<clsLOGGER_Main> logger_main;
    // Root of the data read from files; created by the first file open.
    std::shared_ptr<clsFILE_Main> file_main;
    // The shared workspace every working database is created in.
    std::shared_ptr<DbWorkspace> dao_workspace;
    // The per-user folder that holds "config" and "DBF".
    QString user_dir;
    // The help file beside the program, set at start-up.
    QString help_file;
    // The main window, once it exists (not owned).
    IMainWindowServices* main_window = nullptr;
};

using ModelSlot = platform::StateSlot<ModelState>;

inline ModelState& model() { return ModelSlot::current(); }

}  // namespace mq
