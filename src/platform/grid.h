#pragma once
// The flexible grid of the data windows and the statistics tables.
//
// Rows and columns are counted over the whole grid, fixed ones included: row
// 0 is the first fixed row when FixedRows() > 0, exactly as the window code
// addresses its tables (TextMatrix(0, 3) is the head of column 3). Fixed rows
// stay in view at the top and fixed columns at the left while the rest
// scrolls; they are drawn like headings on a grey background.
//
// Texts live in a compact store (UTF-8 per column: texts of one length side
// by side, others in an arena with an offset index; a column's rows cost
// nothing until they are filled; colours, borders and row heights in sparse
// maps), never in one object per cell, so tables of several hundred thousand
// rows are sized at once, fill fast and stay small.
//
// Colours are Basic colour values 0x00BBGGRR (255 is red, 16711680 blue);
// 0 means the default text colour. Widths and heights are in pixels.
//
// A new grid has the usual starting shape of a flexible grid: 2 rows and 2
// columns, one of each fixed.
#include <QHash>
#include <QStringList>
#include <QEvent>
#include <QTableView>

#include <functional>
#include <vector>

class QHelpEvent;
class QMouseEvent;

namespace mq::platform {

// Texts of a grid, column-wise in UTF-8. Usable on its own.
class GridStore {
public:
    int rows() const { return m_rows; }
    int cols() const { return int(m_columns.size()); }
    void resize(int rows, int cols);
    // Room for `rows` rows, so that a table filled row by row up to there
    // never moves its texts.
    void reserveRows(int rows);

    QString text(int r, int c) const;  // no range check
    // The UTF-8 bytes of a cell, valid until the store next changes.
    QByteArrayView textUtf8(int r, int c) const;  // no range check
    bool isEmpty(int r, int c) const { return textUtf8(r, c).isEmpty(); }
    void setText(int r, int c, const QString& text);  // no range check
    // The same from UTF-8 bytes, without a QString in between.
    void setTextUtf8(int r, int c, QByteArrayView utf8);  // no range check
    void clearTexts();

    // Bytes held by the store.
    qint64 bytesUsed() const;

private:
    // A column holds its texts in one of two forms. While the texts set in it
    // have one byte length (the columns of a records table: marks, times,
    // values), they stand side by side, text r at r * width, with a flag per
    // row for the rows that hold one and the few texts of another length (a
    // heading, a longer value) kept aside. A column of texts of many lengths
    // goes over to an arena with an offset and a length per cell.
    struct Cell {
        quint32 off = 0;
        quint32 len = 0;
    };
    struct Column {
        int width = 0;  // side by side: 0 (nothing set yet) or the length; -1 the arena form
        std::vector<char> fixed;
        std::vector<bool> held;
        QHash<int, QByteArray> odd;
        QByteArray arena;
        std::vector<Cell> cells;
        qint64 garbage = 0;
    };
    static QByteArrayView cellOf(const Column& col, int r);
    size_t grownRows(size_t now, int r) const;
    void compact(Column& col);
    char* place(Column& col, Cell& cell, qsizetype bytes);
    void setFixed(Column& col, int r, QByteArrayView utf8);
    void toArena(Column& col);

    int m_rows = 0;
    int m_reserved = 0;
    std::vector<Column> m_columns;
};

class GridModel;
class GridHeader;
class GridCorner;
class GridDelegate;

class Grid : public QTableView {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    // Size. Rows/Cols include the fixed ones; fixed counts never exceed them
    // (setting Rows below FixedRows lowers FixedRows, as does Cols).
    int Rows() const { return m_store.rows(); }
    void setRows(int rows);
    int Cols() const { return m_store.cols(); }
    void setCols(int cols);
    int FixedRows() const { return m_fixedRows; }
    void setFixedRows(int n);
    int FixedCols() const { return m_fixedCols; }
    void setFixedCols(int n);

    // Cell texts; OutOfRangeError outside the grid.
    QString TextMatrix(int r, int c) const;
    void setTextMatrix(int r, int c, const QString& text);

    // The text of a cell from UTF-8 bytes: the fill of large tables, where a
    // QString per cell would cost an allocation each.
    void setTextUtf8(int r, int c, QByteArrayView utf8);
    // The text of a cell as UTF-8 bytes, valid until the grid next changes:
    // the readers of large tables. OutOfRangeError outside the grid.
    QByteArrayView textUtf8(int r, int c) const;
    // Room for a table that will grow to `rows` rows, so that filling it row
    // by row never moves its texts.
    void reserveRows(int rows) { m_store.reserveRows(rows); }

    // Bulk fill: texts of column `col` from row `firstRow` down, or of row
    // `row` from column 0 on; OutOfRangeError when they do not fit.
    void setColumnTexts(int col, int firstRow, const QStringList& texts);
    void setRowTexts(int row, const QStringList& texts);
    // Adds one row per list at the bottom (each list from column 0 on; longer
    // lists than Cols() raise OutOfRangeError before anything is added).
    void appendRows(const QList<QStringList>& rows);

    // Empties every cell (fixed ones too) and drops colours and borders; the
    // size, widths and fixed counts stay.
    void clear();

    // The current cell that colour setting acts on. Setting it from code does
    // not move the selection; clicking a cell makes it the current one.
    // OutOfRangeError outside the grid.
    int Row() const { return m_row; }
    void setRow(int r);
    int Col() const { return m_col; }
    void setCol(int c);

    // Text and background colour of the current cell.
    quint32 CellForeColor() const;
    void setCellForeColor(quint32 basicColour);
    quint32 CellBackColor() const;
    void setCellBackColor(quint32 basicColour);
    quint32 foreColorAt(int r, int c) const;
    quint32 backColorAt(int r, int c) const;

    // Text colour of selected cells; 0 (the default) leaves the style's.
    quint32 ForeColorSel() const { return m_foreColorSel; }
    void setForeColorSel(quint32 basicColour);

    // A frame of `width` pixels drawn inside the cell (width 0 removes it).
    void setCellBorder(int r, int c, quint32 basicColour, int width);
    bool cellBorderAt(int r, int c, quint32* basicColour = nullptr, int* width = nullptr) const;

    // Widths in pixels.
    int ColWidth(int c) const;
    void setColWidth(int c, int pixels);
    int RowHeight(int r) const;
    void setRowHeight(int r, int pixels);
    // Height of every row that has no height of its own.
    void setDefaultRowHeight(int pixels);

    // Alignment of a column's texts. An empty alignment (the default) is the
    // general one: texts that read as numbers right, others left, centred
    // vertically.
    Qt::Alignment ColAlignment(int c) const;
    void setColAlignment(int c, Qt::Alignment alignment);

    // While Redraw is false, cell changes do not repaint; turning it back on
    // repaints once.
    bool Redraw() const { return m_redraw; }
    void setRedraw(bool on);

    // Mouse position in cells, set by every mouse event over the grid
    // (-1 outside any cell).
    int MouseRow() const { return m_mouseRow; }
    int MouseCol() const { return m_mouseCol; }
    // The cell under a point in the grid's own coordinates, fixed cells
    // included; false outside every cell.
    bool cellAt(const QPoint& gridPos, int* r, int* c) const;

    // The tooltip shown anywhere over the grid; empty shows none.
    QString ToolTipText() const { return m_toolTip; }
    void setToolTipText(const QString& text) { m_toolTip = text; }

    // Editing of non-fixed cells by the user (off by default). With
    // editable columns named, only those columns edit.
    bool Editable() const { return m_editable; }
    void setEditable(bool on);
    void setColEditable(int c, bool on);
    bool isCellEditable(int r, int c) const;
    // Starts editing the current cell when it is editable.
    void editCell();
    // Limits typed texts of the cell editor to CP932 bytes (0: no limit).
    void setEditMaxBytes(int bytes) { m_editMaxBytes = bytes; }
    int editMaxBytes() const { return m_editMaxBytes; }
    // Asked before an edited text is stored; false keeps the old text.
    void setValidateEdit(std::function<bool(int r, int c, const QString& text)> validate) {
        m_validateEdit = std::move(validate);
    }

    // Bytes held by the cell store and the colour maps.
    qint64 storeBytes() const;

    // Paints one cell into `rect` (used by the fixed-cell headers).
    void paintFixedCell(QPainter* p, const QRect& rect, int r, int c) const;

signals:
    void cellClicked(int r, int c);
    void cellDoubleClicked(int r, int c);
    void cellMouseDown(int r, int c, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void cellMouseUp(int r, int c, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void cellMouseMove(int r, int c, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    // The current cell changed through the user (click or keys).
    void rowColChanged(int r, int c);
    // An edit by the user has been stored.
    void afterEdit(int r, int c);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void updateGeometries() override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    friend class GridModel;
    friend class GridHeader;
    friend class GridCorner;
    friend class GridDelegate;

    static quint64 key(int r, int c) { return (quint64(quint32(r)) << 32) | quint32(c); }
    void checkCell(int r, int c) const;
    void cellChanged(int r, int c);
    void scheduleFlush();
    void flush();
    void dropOutside();
    void structureChanged();
    void applyWidthsAndHeights();
    bool mapWatched(QObject* watched, const QPoint& pos, int* r, int* c) const;
    void mouseSignal(QEvent::Type type, QMouseEvent* me, int r, int c);
    Qt::Alignment effectiveAlignment(int c, const QString& text) const;
    int fixedRowsHeight() const;
    int fixedColsWidth() const;
    bool storeEdit(int r, int c, const QString& text);

    GridStore m_store;
    GridModel* m_model = nullptr;
    GridHeader* m_hHeader = nullptr;
    GridHeader* m_vHeader = nullptr;
    GridCorner* m_corner = nullptr;
    GridDelegate* m_delegate = nullptr;

    int m_fixedRows = 0;
    int m_fixedCols = 0;
    int m_row = 0;
    int m_col = 0;
    int m_mouseRow = -1;
    int m_mouseCol = -1;
    int m_pressRow = -1;
    int m_pressCol = -1;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 0;
    std::vector<int> m_colWidths;
    std::vector<Qt::Alignment> m_colAlign;
    QHash<int, int> m_rowHeights;  // rows with a height of their own
    QHash<quint64, quint32> m_fore;
    QHash<quint64, quint32> m_back;
    struct Border {
        quint32 colour;
        int width;
    };
    QHash<quint64, Border> m_borders;
    quint32 m_foreColorSel = 0;
    QString m_toolTip;
    bool m_editable = false;
    QList<int> m_editableCols;
    int m_editMaxBytes = 0;
    std::function<bool(int, int, const QString&)> m_validateEdit;

    bool m_redraw = true;
    bool m_flushPending = false;
    bool m_fixedDirty = false;
    int m_dirtyTop = -1, m_dirtyLeft = -1, m_dirtyBottom = -1, m_dirtyRight = -1;
    bool m_syncingWidths = false;
};

// Basic colour 0x00BBGGRR <-> QColor.
QColor basicColour(quint32 bgr);
quint32 basicColourOf(const QColor& c);

}  // namespace mq::platform
