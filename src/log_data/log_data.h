#pragma once
// log_data: the child window of the main window that shows one LOG data set,
// a logger area read from the logger (Tag "L" + two digits, caption "LOG" +
// the same digits) or an opened data file (Tag "F" + two digits + caption).
//
// It holds the records table vsFlexGrid1 (column 0 mark, 1 record number,
// 2 date and time, 3..6 CH1..CH4; record r in row r), the setting labels, the
// 7 x 5 statistics table MSFlexGrid2 and the two option buttons that choose
// which integration its row 4 shows.
//
// Wiring: install_log_data_targets() puts the window's factory and its logger
// fill into the main window's hooks (HomeTargets::create_window[Log] and
// fill[LoggerLog]); the window table then creates a window per area and
// starts that fill on it, which runs the area's records read
// (log_records_read_operation, log_data/ops_log_read.h) built for this
// window; the read hands the reply to its log_data_disp_FixedDb.
//
// The integration state is program-wide: the application (or a test) must
// hold a LogDataSlot (log_data/integration.h) while LOG windows are used.
#include <QDateTime>
#include <QString>
#include <QWidget>

#include <array>
#include <optional>
#include <memory>
#include <vector>

#include "log_data/integration.h"
#include "main_window/data_window_base.h"
#include "model/data_window.h"
#include "model/graph_source.h"
#include "model/stat_queries.h"

class QCloseEvent;
class QGroupBox;
class QLabel;
class QRadioButton;
class QResizeEvent;

namespace mq {

struct HomeTargets;
class DbRecordset;
class clsLOGGER_DATA;
class clsLOGGER_DATABASE;
class clsLOGGER_SETTING;
class Prog_Dialog;

namespace platform {
class Grid;
}

// What the alarm queries need while they colour a LOG window's table: the
// channel types, the progress dialog (may be none) and the table.
class LogAlarmHost : public StatQueryHost {
public:
    LogAlarmHost(platform::Grid* grid, const clsLOGGER_SETTING& s, bool fileData, Prog_Dialog* dlg);

    QString channelInputType(int ch) const override;
    bool currentIsFileData() const override;
    void progressAddMaximum(qint64 n) override;
    void progressAdvance(qint64 n) override;
    void setCellForeColor(qint32 row, int col, quint32 colour) override;
    void yield() override;

private:
    platform::Grid* m_grid;
    const clsLOGGER_SETTING& m_s;
    bool m_fileData;
    Prog_Dialog* m_dlg;
};

class log_data : public DataWindowBase, public IGraphSource {
    Q_OBJECT
public:
    explicit log_data(const QString& tag, QWidget* parent = nullptr);
    ~log_data() override;

    // ---- IDataWindow (Tag and widget from DataWindowBase)
    platform::Grid* vsFlexGrid1() override { return m_grid; }
    void bind_Data1(std::shared_ptr<DbRecordset> recordset) override;

    // ---- IGraphSource: the table's records as compact arrays, read once
    // from the table when the graph first asks and again after every refill.
    qint32 record_count() const override;
    QString channel_unit(int ch) const override;
    int value_decimals(int ch) const override;
    qint32 value(qint32 record, int ch) const override {
        if (!m_graphArrays.built) build_graph_arrays();
        const qint32 v = m_graphArrays.values[size_t(ch)][size_t(record - 1)];
        return v == kUnderMark ? kRangeMark : v;
    }
    qint64 record_secs(qint32 record) const override {
        if (!m_graphArrays.built) build_graph_arrays();
        return m_graphArrays.secs[size_t(record - 1)];
    }
    bool marked(qint32 record) const override {
        if (!m_graphArrays.built) build_graph_arrays();
        return m_graphArrays.marks[size_t(record - 1)] != 0;
    }
    QString interval_text() const override;
    QDateTime start_time() const override;
    QDateTime stop_time() const override;
    void integrate_range(qint32 first, qint32 last) override;
    bool shows_upper_integration() const override;
    DataSetHandle data_set() const override;

    // ---- controls
    platform::Grid* MSFlexGrid2() const { return m_stats; }
    QRadioButton* Option1() const { return m_option1; }  // "H積算"
    QRadioButton* Option2() const { return m_option2; }  // "L積算"
    QLabel* Label5() const { return m_label5; }    // log name
    QLabel* Label21() const { return m_label21; }  // recording interval
    QLabel* Label20() const { return m_label20; }  // worker
    QLabel* Label19() const { return m_label19; }  // comment
    QLabel* Label23() const { return m_label23; }  // start (two-digit year)
    QLabel* Label22() const { return m_label22; }  // stop (two-digit year)
    QLabel* Label1() const { return m_label1; }    // record count
    // The record set bound to the table (may be null).
    std::shared_ptr<DbRecordset> Data1() const { return m_data1; }

    // ---- public procedures

    // Opens a logger area's window (nn: two-digit area text): labels, working
    // database, the area's records read under the progress dialog, alarm
    // counts and colours, column heads, statistics, graph options. Runs on the
    // current logger data set, which the window table has just made this
    // window's. A cancelled or failed read closes the window (data_win_init_flag
    // True). An area with no records is not read: the window shows it empty.
    void disp_log_data_form(const QString& nn);

    // Called by the records read with the whole reply (frame included, one
    // character per byte), the number of full three-record groups q and the
    // number of records r in the last group (0..2). Resets the statistics,
    // stores every record in the working database, computes minimum, maximum,
    // average and integration, refreshes the table and sets the graph options.
    void log_data_disp_FixedDb(const QString& reply, qint32 q, qint16 r);
    void log_data_disp_FixedDb(const QByteArray& reply, qint32 q, qint16 r);

    // The record split of log_data_disp_FixedDb on its own (no statistics
    // reset, no minimum/maximum queries).
    void log_data_save_db(const QString& reply, qint32 q, qint16 r);

    // Re-reads the bound record set into the records table (Data1.Refresh).
    void refresh_Data1();
    // The same for a table the load has filled as it went (LogRecordWriter):
    // count records (-1: as many as the bound record set holds), the field
    // names in row 0 and the cells the marking of minimum and maximum has
    // rewritten since; nothing is read back.
    void show_loaded_records(qint32 count = -1);

    // Integration shown in row 4 of the statistics table: H (Option1) or L (Option2).
    void Option1_Click();
    void Option2_Click();

    // The size limit and the main window's data commands.
    void Form_Resize();

    // The setting labels of a data set; the logger and ".ML1" windows show
    // the times with a two-digit year, the ".ML2" window with four digits.
    void write_setting_labels(const clsLOGGER_SETTING& s, bool twoDigitYear);

    // Mouse handlers of the records table (colour of the selection, tooltips
    // over the channel heads).
    void vsFlexGrid1_MouseDown(Qt::MouseButton button);
    void vsFlexGrid1_MouseUp(Qt::MouseButton button);
    void vsFlexGrid1_MouseMove(Qt::MouseButtons buttons, int row, int col);

    // Per-window fold counters of the file loaders.
    FoldCounters& foldCounters() { return m_fold; }

    // The active child window of the main window when it is a LOG data
    // window; nullptr otherwise.
    static log_data* activeLogWindow();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void build_ui();
    void fit_statistics_table();
    void set_records_layout();
    void write_column_heads();
    void write_statistics_heads();
    void fill_statistics();
    void write_graph_defaults(clsLOGGER_DATA& ds);
    void count_alarms(clsLOGGER_DATA& ds);
    void show_integration(bool high);
    void give_up_read();
    // The working database of the window's data set (by its Tag), or null.

    // The setting of the window's data set (by its Tag), or null.
    clsLOGGER_SETTING* window_setting() const;

    // Under range in the value arrays; the graph sees it as kRangeMark, the
    // integration needs it apart from over range.
    static constexpr qint32 kUnderMark = kNoValue + 1;
    struct GraphArrays {
        bool built = false;
        std::array<std::vector<qint32>, 4> values;
        std::array<int, 4> decimals{-1, -1, -1, -1};
        std::vector<qint64> secs;
        std::vector<quint8> marks;
        // The last integration over the arrays: its range, its references and
        // the state it left. A redraw of the same range takes it as it is.
        struct Integration {
            qint32 first = 0, last = -1;
            IntegNumbersSetup setup;
            LogDataState state;
        };
        std::optional<Integration> integration;
    };
    void build_graph_arrays() const;
    mutable GraphArrays m_graphArrays;
    platform::Grid* m_grid = nullptr;
    platform::Grid* m_stats = nullptr;
    QGroupBox* m_frame1 = nullptr;
    QGroupBox* m_frame2 = nullptr;
    bool m_openingSized = false;  // the frame has been given its opening size
    QRadioButton* m_option1 = nullptr;
    QRadioButton* m_option2 = nullptr;
    QLabel* m_label5 = nullptr;
    QLabel* m_label21 = nullptr;
    QLabel* m_label20 = nullptr;
    QLabel* m_label19 = nullptr;
    QLabel* m_label23 = nullptr;
    QLabel* m_label22 = nullptr;
    QLabel* m_label1 = nullptr;
    std::shared_ptr<DbRecordset> m_data1;
    FoldCounters m_fold;
    // Rows (record numbers) whose channel had no value ("------"), per channel;
    // they are left out of the alarm counts and colours.
    std::array<std::vector<qint32>, 4> m_missingRows;
};

// Puts the LOG window factory and the logger fill into the main window's hooks.
void install_log_data_targets(HomeTargets& targets);

}  // namespace mq
