#pragma once
// What the graph window hands to table printing when the user prints its
// drawn range as a table: the data window the graph draws (its records table
// gives the rows), and the graph's own texts, which the printout shows in
// place of the data set's. The drawn range itself is the data set's
// clsLOGGER_GraphInfo GrpDrw_StartPos .. GrpDrw_EndPos.
#include <QString>

#include <array>

class QWidget;

namespace mq {

class IDataWindow;

struct GraphPrintSource {
    // The data window whose records the graph draws (not owned).
    IDataWindow* window = nullptr;
    // The graph window: the print's dialogs are its children (not owned).
    QWidget* owner = nullptr;
    // The graph window's title, worker and comment boxes.
    QString title;
    QString worker;
    QString comment;
    // Per channel (index 0 = CH1): the upper alarm level, lower alarm level
    // and integration reference as the graph holds them.
    std::array<QString, 4> ch_h_alm_text;
    std::array<QString, 4> ch_l_alm_text;
    std::array<QString, 4> ch_sum_std_text;
    // The graph's statistics table for the drawn range, by column then
    // channel: 0 upper-alarm count, 1 lower-alarm count, 2 maximum,
    // 3 minimum, 4 average, 5 integral.
    std::array<std::array<QString, 4>, 6> graph_stat_texts;
    // The data set's upper and lower integrals of the whole data, per
    // channel, in display units: while the graph is open the data set holds
    // those of the drawn range.
    std::array<double, 4> whole_h_sum{};
    std::array<double, 4> whole_l_sum{};
};

}  // namespace mq
