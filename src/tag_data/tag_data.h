#pragma once
// tag_data: the child window of the main window that shows one TAG data set,
// a tag read from the logger (Tag "L" + two digits, caption "TAG" + the same
// digits) or an opened ".MT1" file (Tag "F" + two digits + caption).
//
// It holds the records table vsFlexGrid1 (column 0 record number, 1 date and
// time, 2..5 CH1..CH4, 6 worker, 7 comment; record r in row r), the tag name
// label Label4 and the 4 x 5 summary table MSFlexGrid2 (rows maximum,
// minimum, average; columns CH1..CH4).
//
// Wiring: install_tag_data_targets() puts the window's factory and its two
// fills into the main window's hooks (HomeTargets::create_window[Tag] and
// fill[LoggerTag], fill[FileMt1]); the window builds the operations that fill
// it (tag_data/ops_tag.h) for itself.
#include <QString>
#include <QWidget>

#include <array>
#include <memory>

#include "main_window/data_window_base.h"
#include "model/data_window.h"
#include "tag_data/mt1_format.h"

class QGroupBox;
class QLabel;
class QResizeEvent;

namespace mq {

struct HomeTargets;
class DbRecordset;
class clsLOGGER_DATABASE;
class clsLOGGER_SETTING;

namespace platform {
class Grid;
}

class tag_data : public DataWindowBase {
    Q_OBJECT
public:
    explicit tag_data(const QString& tag, QWidget* parent = nullptr);
    ~tag_data() override;

    // ---- IDataWindow (Tag and widget from DataWindowBase)
    platform::Grid* vsFlexGrid1() override { return m_grid; }
    void bind_Data1(std::shared_ptr<DbRecordset> recordset) override;

    // TAG data have no graph.
    bool has_graph() const override { return false; }

    // ---- controls
    platform::Grid* MSFlexGrid2() const { return m_stats; }
    QLabel* Label4() const { return m_label4; }  // tag name
    QLabel* Label2() const { return m_label2; }  // "タグ名"
    std::shared_ptr<DbRecordset> Data1() const { return m_data1; }

    // ---- public procedures

    // Opens a logger tag's window (nn: two-digit tag text): tag name,
    // working database, the tag's records read under the progress dialog,
    // column heads and the summary. Runs on the current logger data set,
    // which the window table has just made this window's. A cancelled or
    // failed read closes the window again (data_win_init_flag True). A tag
    // with no records is not read: the window shows it empty.
    void disp_tag_data_form(const QString& nn);

    // Called by the records read with the whole reply (one character per byte),
    // the number of full three-record groups q and the records r of the last
    // group. Resets the statistics, stores every record in the working
    // database, marks the minimum and maximum, sets the averages and fills
    // the table.
    void tag_data_disp_FixedDb(const QString& reply, qint32 q, qint16 r);
    // The record split of tag_data_disp_FixedDb on its own.
    void tag_data_save_FixedDb(const QString& reply, qint32 q, qint16 r);

    // Re-reads the bound record set into the records table.
    void refresh_Data1();
    // The table as its loader filled it shows the records: only the field
    // names of row 0 are written (a refresh when nothing is bound).
    void show_loaded_records();

    // Row 0 of the records table and of the summary: "CH" n "[" unit "]".
    void write_channel_heads(const std::array<QString, 4>& units);
    // Column widths and alignments of the records table.
    void set_records_layout();
    // Rows 1-3 of the summary from the setting: maximum, minimum, average,
    // blank for a channel not in use or without values, and for the
    // no-value marks -999.9, 9999.9 and 0.
    void fill_summary(const clsLOGGER_SETTING& s);

    // The size cap (9930 x 4900 twips) and the main window's data commands.
    void Form_Resize();

    // The close question (Form_QueryUnload) is the data-window base's.

    // The ending of a read that was cancelled or failed: the cancel is
    // taken and the base's failed-fill ending follows (the window closes
    // without asking, data_win_init_flag becomes True, and with no data
    // window left the main window's data commands go grey).
    void give_up_window();

    void vsFlexGrid1_MouseDown(Qt::MouseButton button);

    // A window opens at its size cap.
    QSize sizeHint() const override;

    // The layout of the ".MT1" file being opened, for its record loader.
    void setFileLayout(const Mt1Layout& l) { m_layout = l; }
    const Mt1Layout& fileLayout() const { return m_layout; }
    // Minimum and maximum per channel of the values the file loader took in
    // (the queries would read a record without a value as 0).
    void resetLoaded() {
        m_loadedMin.fill(0.0);
        m_loadedMax.fill(0.0);
        m_loadedAny.fill(false);
    }
    void foldLoaded(int ch, double v) {
        const auto c = size_t(ch);
        if (!m_loadedAny[c] || v < m_loadedMin[c]) m_loadedMin[c] = v;
        if (!m_loadedAny[c] || v > m_loadedMax[c]) m_loadedMax[c] = v;
        m_loadedAny[c] = true;
    }
    double loadedMin(int ch) const { return m_loadedMin[size_t(ch)]; }
    double loadedMax(int ch) const { return m_loadedMax[size_t(ch)]; }

    // The active child window of the main window when it is a TAG data
    // window; nullptr otherwise.
    static tag_data* activeTagWindow();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void build_ui();

    platform::Grid* m_grid = nullptr;
    platform::Grid* m_stats = nullptr;
    QGroupBox* m_frame6 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label4 = nullptr;
    std::shared_ptr<DbRecordset> m_data1;
    Mt1Layout m_layout;
    std::array<double, 4> m_loadedMin{}, m_loadedMax{};
    std::array<bool, 4> m_loadedAny{};
};

// The display unit texts of the current logger data set's channels.
std::array<QString, 4> tag_logger_units();

// Puts the TAG window factory and the logger fill into the main window's hooks.
void install_tag_data_targets(HomeTargets& targets);

}  // namespace mq
