#pragma once
// The graph's program-wide view state: the options of the data set on show
// (loaded from and saved to its clsLOGGER_GraphInfo), the description of the
// data, the statistics texts that table printing takes from the graph, and
// the hooks of the graph's dialogs and printing, which a later subsystem
// fills. One graph window exists at a time. Arrays indexed by channel are
// 0..4 with element ch (1..4) for CHch; element 0 carries nothing.
//
// Held by the application (or a test) in a GraphSlot, reached with graph_state().
#include <QColor>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>
#include <memory>

#include "platform/hook_table.h"
#include "platform/state_slot.h"

class QPrinter;

namespace mq {

class fGraph;

template <class T>
using Ch5 = std::array<T, 5>;

// Hooks of the menu items whose dialogs and printing come with their own
// subsystem. Each is called with the graph window after the shared checks;
// an empty hook ends the command there.
enum class GraphCommand {
    RangeDialog,    // "レンジ変更", modeless
    SvlineDialog,   // "基準線設定...", modeless
    ChannelDialog,  // "表示チャンネル", modal
    GraphPrint,     // "グラフ印刷"
    PageSetup,      // "ページ設定"
    PrinterSetup,   // "プリンタ設定"
    Count
};
using GraphTargets = platform::HookTable<GraphCommand, std::function<void(fGraph&)>>;

struct GraphState {
    // ---- options of the data set on show
    QString graph_title;
    QString graph_log_name;
    QString graph_worker;
    QString graph_comment;
    qint32 graph_start_pos = 1;
    qint32 graph_end_pos = 2;
    Ch5<bool> ch_graph_draw_sw{};
    Ch5<bool> ch_graph_ax_draw_sw{};
    Ch5<bool> h_alm_sw{};
    Ch5<double> ch_h_alm{};
    Ch5<double> ch_l_alm{};
    Ch5<bool> sum_std_sw{};
    Ch5<double> ch_sum_std_count{};
    Ch5<bool> std_sw{};
    Ch5<double> std_value{};
    Ch5<int> ch_h_scale{};
    Ch5<int> ch_l_scale{};
    Ch5<QString> graph_ch_comment;
    bool datamark_sw = false;
    int graph_line_width = 1;
    int graph_label_sw = 0;
    Ch5<qint32> ch_g_color{};  // 0x00BBGGRR
    Ch5<int> grid_row_order{0, 1, 2, 3, 4};

    // ---- derived on load
    // Whether the recording set the upper and lower alarm values and the
    // integration base of a channel in use that takes them: an alarm value not
    // set draws no line and flags nothing; its text, as the integration base's, is "-----".
    Ch5<bool> ch_h_alm_set{true, true, true, true, true};
    Ch5<bool> ch_l_alm_set{true, true, true, true, true};
    Ch5<bool> ch_sum_std_set{true, true, true, true, true};
    Ch5<QString> ch_h_alm_text;
    Ch5<QString> ch_l_alm_text;
    Ch5<QString> ch_sum_std_text;
    Ch5<int> ch_scale_manual{};
    int graph_zoom_flag = 0;

    // ---- the data on show
    qint32 graph_rec_count = 0;
    qint64 graph_interval_secs = 0;
    QString graph_interval_text;
    QDateTime graph_start_time;
    QDateTime graph_stop_time;
    Ch5<int> ch_present{};
    Ch5<QString> ch_unit_text;
    Ch5<int> ch_decimals{};
    Ch5<double> ch_sum_std_saved{};  // element ch - 1 holds channel ch
    int stat_ready_flag = 0;

    // ---- shared with table printing
    // The six statistics columns (upper and lower alarm counts, maximum,
    // minimum, average, integration) exactly as the grid shows them.
    std::array<Ch5<QString>, 6> graph_stat_texts;
    bool print_from_graph_flag = false;

    GraphTargets targets;
    // The printer of graph printing and its set-up dialogs: paper and
    // orientation stay between prints.
    std::shared_ptr<QPrinter> printer;
};

using GraphSlot = platform::StateSlot<GraphState>;
inline GraphState& graph_state() { return GraphSlot::current(); }

}  // namespace mq
