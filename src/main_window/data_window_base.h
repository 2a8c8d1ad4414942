#pragma once
// What every data window (LOG and TAG, logger and file) shares, whatever it
// shows: its tag, the close question for logger data not yet saved, the
// ending of a fill that failed or was cancelled, the size cap with the
// enabling of the data commands, and the heads of the statistics table.
//
// A derived window builds its own controls, fills them, and reports a failed
// fill with give_up_fill(); the close protocol (closeEvent -> Form_QueryUnload
// -> close_data_window) is the same for all of them.
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>

#include "model/data_window.h"

class QCloseEvent;
class QMdiSubWindow;

namespace mq {

namespace platform {
class Grid;
}
class clsLOGGER_DATABASE;
class DbRecordset;

class DataWindowBase : public QWidget, public IDataWindow {
    Q_OBJECT
public:
    explicit DataWindowBase(const QString& tag, QWidget* parent = nullptr);
    ~DataWindowBase() override;

    // ---- IDataWindow (the grid and the binding are the derived window's)
    QString Tag() const override { return m_tag; }
    QWidget* widget() override { return this; }

    // The close question: a logger window whose data are not saved asks
    // whether to save them (Yes/No/Cancel, Yes/No while the program closes
    // everything), unless the close is the program's own (close reason 1) or
    // the fill was given up. Yes runs the save command on this window's data
    // set. True when the close is cancelled (the window stays); otherwise the
    // window's data set is released.
    bool Form_QueryUnload(int unloadMode);

    // The ending of a fill that failed or was cancelled: the window closes
    // without the save question, the window table marks the fill as given up
    // (data_win_init_flag) and, with no data window left, the main window's
    // command state follows.
    void give_up_fill();
    bool gave_up() const { return m_gaveUp; }

    // The size cap (in twips) of a normal window, then the commands follow:
    // a window that is shown and sized holds data the commands work on.
    void cap_size_and_enable_commands(QSize capTwips);

    // The frame of the window in the main window's document area, if any.
    QMdiSubWindow* frame() const;

    int twipsToPixelsX(int twips) const { return twips * logicalDpiX() / 1440; }
    int twipsToPixelsY(int twips) const { return twips * logicalDpiY() / 1440; }

    // ---- statistics table: row 0 the channel heads, column 0 the row names
    // (maximum, minimum, average, integration, high and low alarm counts; the
    // first rowCount of them)
    static void write_statistics_row_names(platform::Grid* stats, int rowCount = 6);
    // "CH1[unit]".
    static QString channel_head(int ch, const QString& unit);

    // The working database of the window's data set (null when it is gone).
    clsLOGGER_DATABASE* window_database() const;

protected:
    void closeEvent(QCloseEvent* e) override;

    // Fills the records table from the working database: row 0 the field
    // names, then the first lastColumn + 1 fields of every record, straight
    // from the database's bytes (no text object per cell). data1 is opened on
    // the window's database when it is not open; with none, one row is left.
    void refresh_records_table(std::shared_ptr<DbRecordset>& data1, platform::Grid* grid, int lastColumn);

private:
    QString m_tag;
    bool m_inClose = false;
    bool m_gaveUp = false;
    bool m_inResize = false;
};

}  // namespace mq
