#pragma once
// The run's view of the data set being printed (internal to the printing folder).
#include <QPointer>
#include <QWidget>

#include <memory>

#include "model/data_sets.h"
#include "model/data_window.h"
#include "platform/grid.h"
#include "printing/table_print.h"

namespace mq {

// The data set being printed and the window whose table gives the rows, held
// for one run. The data set is found by the window's tag, so the run prints
// the window it was started for whatever becomes current meanwhile.
struct PR::Source {
    QPointer<QWidget> widget;
    IDataWindow* window = nullptr;
    bool is_file = false;
    int window_no = 0;
    std::shared_ptr<clsLOGGER_DATA> loggerData;
    std::shared_ptr<clsFILE_DATA> fileData;
    std::shared_ptr<clsLOGGER_Main> loggerRoot;
    const clsLOGGER_SETTING* setting = nullptr;
    const clsLOGGER_STATUS* status = nullptr;
    const clsLOGGER_GraphInfo* graphInfo = nullptr;
    bool tag = false;          // a TAG table
    qint32 records = 0;        // rows to print
    qint32 startRow = 1;       // first grid row printed
    qint32 endRow = 0;         // last grid row printed
    bool integralHigh = true;  // the LOG window shows the upper integral

    platform::Grid* grid() const { return widget ? window->vsFlexGrid1() : nullptr; }
    QString cell(qint32 r, int c) const {
        platform::Grid* g = grid();
        if (!g || r < 0 || r >= g->Rows() || c < 0 || c >= g->Cols()) return QString();
        return g->TextMatrix(r, c);
    }
};

}  // namespace mq
