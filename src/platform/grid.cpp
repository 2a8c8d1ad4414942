#include "platform/grid.h"

#include "platform/errors.h"
#include "platform/text_limit.h"

#include <QAbstractTableModel>
#include <cstring>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace mq::platform {

QColor basicColour(quint32 bgr) { return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)); }

quint32 basicColourOf(const QColor& c) {
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

// ---------------------------------------------------------------- GridStore

namespace {
// Texts of another length a side-by-side column keeps aside before it goes
// over to the arena form: a few headings and marked values, not a column
// of texts of many lengths.
constexpr int kOddTexts = 64;
}  // namespace

void GridStore::resize(int rows, int cols) {
    if (rows < 0) rows = 0;
    if (cols < 0) cols = 0;
    if (cols < int(m_columns.size())) m_columns.resize(size_t(cols));
    // A column's arrays reach only as far as its last text set: rows added
    // cost nothing until a text comes, so a large table is sized at once.
    for (Column& col : m_columns) {
        if (rows == 0) {
            col = Column{};
        } else if (rows < m_rows && col.width > 0) {
            for (auto it = col.odd.begin(); it != col.odd.end();) it = it.key() >= rows ? col.odd.erase(it) : std::next(it);
            if (col.held.size() > size_t(rows)) {
                col.fixed.resize(size_t(rows) * size_t(col.width));
                col.held.resize(size_t(rows));
                col.fixed.shrink_to_fit();
                col.held.shrink_to_fit();
            }
        } else if (rows < m_rows && col.width < 0 && size_t(rows) < col.cells.size()) {
            for (size_t r = size_t(rows); r < col.cells.size(); ++r) col.garbage += col.cells[r].len;
            col.cells.resize(size_t(rows));
            col.cells.shrink_to_fit();
            if (col.garbage > col.arena.size() / 2) compact(col);
        }
    }
    while (int(m_columns.size()) < cols) m_columns.emplace_back();
    m_rows = rows;
}

void GridStore::reserveRows(int rows) {
    m_reserved = std::max(rows, 0);
    for (Column& col : m_columns) {
        if (col.width > 0) {
            col.fixed.reserve(size_t(m_reserved) * size_t(col.width));
            col.held.reserve(size_t(m_reserved));
        } else if (col.width < 0) {
            col.cells.reserve(size_t(m_reserved));
        }
    }
}

QByteArrayView GridStore::textUtf8(int r, int c) const { return cellOf(m_columns[size_t(c)], r); }

// The rows a column's arrays grow to for a text in row r: a stretch beyond
// it, so that a table filled row by row grows its arrays now and then.
size_t GridStore::grownRows(size_t now, int r) const {
    return std::min(std::max(size_t(r) + 1, now + 4096), size_t(std::max(m_rows, r + 1)));
}

QByteArrayView GridStore::cellOf(const Column& col, int r) {
    if (col.width > 0) {
        if (size_t(r) < col.held.size() && col.held[size_t(r)])
            return QByteArrayView(col.fixed.data() + size_t(r) * size_t(col.width), col.width);
        if (col.odd.isEmpty()) return QByteArrayView();
        const auto it = col.odd.constFind(r);
        return it == col.odd.cend() ? QByteArrayView() : QByteArrayView(*it);
    }
    if (col.width == 0 || size_t(r) >= col.cells.size()) return QByteArrayView();
    const Cell& cell = col.cells[size_t(r)];
    return QByteArrayView(col.arena.constData() + cell.off, qsizetype(cell.len));
}

QString GridStore::text(int r, int c) const {
    const QByteArrayView t = textUtf8(r, c);
    if (t.isEmpty()) return QString();
    return QString::fromUtf8(t);
}

// Room for `bytes` more bytes at the end of the column's arena, recorded as
// the cell's text; the old text of the cell becomes garbage.
char* GridStore::place(Column& col, Cell& cell, qsizetype bytes) {
    col.garbage += cell.len;
    const qsizetype off = col.arena.size();
    if (off + bytes > col.arena.capacity())
        col.arena.reserve(std::max<qsizetype>({off + bytes, col.arena.capacity() * 2, 4096}));
    col.arena.resize(off + bytes);
    cell = Cell{quint32(off), quint32(bytes)};
    return col.arena.data() + off;
}

// A text set in a side-by-side column (or in a column without any text yet).
void GridStore::setFixed(Column& col, int r, QByteArrayView utf8) {
    if (col.width == 0) {
        if (utf8.isEmpty()) return;
        col.width = int(utf8.size());
        col.fixed.reserve(size_t(std::max(m_rows, m_reserved)) * size_t(col.width));
        col.held.reserve(size_t(std::max(m_rows, m_reserved)));
    }
    if (utf8.size() == col.width) {
        if (size_t(r) >= col.held.size()) {
            const size_t rows = grownRows(col.held.size(), r);
            col.held.resize(rows);
            col.fixed.resize(rows * size_t(col.width));
        }
        std::memcpy(col.fixed.data() + size_t(r) * size_t(col.width), utf8.data(), size_t(col.width));
        col.held[size_t(r)] = true;
        if (!col.odd.isEmpty()) col.odd.remove(r);
        return;
    }
    if (size_t(r) < col.held.size()) col.held[size_t(r)] = false;
    if (utf8.isEmpty()) {
        col.odd.remove(r);
    } else {
        col.odd.insert(r, utf8.toByteArray());
        if (col.odd.size() > kOddTexts) toArena(col);
    }
}

// A side-by-side column over to the arena form, its texts kept.
void GridStore::toArena(Column& col) {
    Column fresh;
    fresh.width = -1;
    int last = -1;
    int set = 0;
    qsizetype live = 0;
    for (int r = 0; r < m_rows; ++r) {
        const qsizetype len = cellOf(col, r).size();
        if (len == 0) continue;
        last = r;
        ++set;
        live += len;
    }
    fresh.cells.reserve(size_t(std::max(m_rows, m_reserved)));
    fresh.cells.resize(size_t(last + 1));
    // The texts set so far tell what the rows still to come will need.
    fresh.arena.reserve(std::max<qsizetype>(live, live * std::max(m_rows, m_reserved) / std::max(set, 1)));
    for (int r = 0; r <= last; ++r) {
        const QByteArrayView t = cellOf(col, r);
        if (!t.isEmpty()) std::memcpy(place(fresh, fresh.cells[size_t(r)], t.size()), t.data(), size_t(t.size()));
    }
    col = std::move(fresh);
}

namespace {

// Latin-1 bytes of UTF-16 units into d; false when a unit is not ASCII (the
// bytes are then not the text's UTF-8).
bool asciiInto(const char16_t* s, qsizetype n, char* d) {
    char16_t all = 0;
    for (qsizetype k = 0; k < n; ++k) {
        all |= s[k];
        d[k] = char(s[k]);
    }
    return all < 0x80;
}

}  // namespace

void GridStore::setText(int r, int c, const QString& text) {
    // ASCII, the usual text, is its own UTF-8: it goes straight into its place.
    const qsizetype n = text.size();
    const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
    Column& col = m_columns[size_t(c)];
    if (n > 0 && col.width == n && size_t(r) < col.held.size() && col.odd.isEmpty()) {
        if (asciiInto(s, n, col.fixed.data() + size_t(r) * size_t(n))) {
            col.held[size_t(r)] = true;
            return;
        }
        col.held[size_t(r)] = false;
    } else if (n > 0 && col.width < 0 && size_t(r) < col.cells.size()) {
        Cell& cell = col.cells[size_t(r)];
        const Cell before = cell;
        if (asciiInto(s, n, place(col, cell, n))) {
            if (col.garbage > (1 << 20) && col.garbage > col.arena.size() / 2) compact(col);
            return;
        }
        // Not ASCII: the bytes just placed give way to the text's UTF-8.
        col.arena.resize(col.arena.size() - n);
        col.garbage -= before.len;
        cell = before;
    } else {
        char small[64];
        if (n <= qsizetype(sizeof small) && asciiInto(s, n, small)) {
            setTextUtf8(r, c, QByteArrayView(small, n));
            return;
        }
    }
    setTextUtf8(r, c, text.toUtf8());
}

void GridStore::setTextUtf8(int r, int c, QByteArrayView utf8) {
    Column& col = m_columns[size_t(c)];
    if (col.width >= 0) {
        setFixed(col, r, utf8);
        return;
    }
    if (size_t(r) >= col.cells.size()) {
        if (utf8.isEmpty()) return;
        col.cells.resize(grownRows(col.cells.size(), r));
    }
    Cell& cell = col.cells[size_t(r)];
    if (utf8.isEmpty()) {
        col.garbage += cell.len;
        cell = Cell{};
    } else {
        std::memcpy(place(col, cell, utf8.size()), utf8.data(), size_t(utf8.size()));
    }
    if (col.garbage > (1 << 20) && col.garbage > col.arena.size() / 2) compact(col);
}

void GridStore::compact(Column& col) {
    qsizetype live = 0;
    for (const Cell& cell : col.cells) live += cell.len;
    QByteArray fresh;
    fresh.reserve(live);
    for (Cell& cell : col.cells) {
        if (cell.len == 0) continue;
        const quint32 off = quint32(fresh.size());
        fresh.append(col.arena.constData() + cell.off, qsizetype(cell.len));
        cell.off = off;
    }
    col.arena = fresh;
    col.garbage = 0;
}

void GridStore::clearTexts() {
    for (Column& col : m_columns) col = Column{};
}

qint64 GridStore::bytesUsed() const {
    qint64 n = 0;
    for (const Column& col : m_columns) {
        n += qint64(col.fixed.capacity()) + qint64(col.held.capacity() / 8);
        for (const QByteArray& t : col.odd) n += t.capacity() + 32;
        n += col.arena.capacity() + qint64(col.cells.capacity() * sizeof(Cell));
    }
    return n;
}

// ---------------------------------------------------------------- helpers

namespace {

// A text that reads as a number (blanks around allowed): the general
// alignment puts it on the right.
bool looksNumeric(const QString& text) {
    const QChar* p = text.constData();
    const QChar* e = p + text.size();
    while (p < e && p->isSpace()) ++p;
    while (e > p && e[-1].isSpace()) --e;
    if (p < e && (*p == QLatin1Char('-') || *p == QLatin1Char('+'))) ++p;
    bool digits = false, point = false;
    for (; p < e; ++p) {
        if (p->unicode() >= '0' && p->unicode() <= '9') {
            digits = true;
        } else if (*p == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (p < e && (*p == QLatin1Char('e') || *p == QLatin1Char('E'))) {
        ++p;
        if (p < e && (*p == QLatin1Char('-') || *p == QLatin1Char('+'))) ++p;
        bool ed = false;
        while (p < e && p->unicode() >= '0' && p->unicode() <= '9') {
            ++p;
            ed = true;
        }
        if (!ed) return false;
    }
    return p == e;
}

// Which band (fixed row or column) a coordinate falls in, or -1.
template <class SizeOf>
int band(int pos, int count, SizeOf sizeOf) {
    int edge = 0;
    for (int i = 0; i < count; ++i) {
        edge += sizeOf(i);
        if (pos < edge) return pos >= 0 ? i : -1;
    }
    return -1;
}

}  // namespace

// ---------------------------------------------------------------- model

class GridModel : public QAbstractTableModel {
public:
    explicit GridModel(Grid* g) : QAbstractTableModel(g), m_g(g) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : std::max(0, m_g->Rows() - m_g->m_fixedRows);
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : std::max(0, m_g->Cols() - m_g->m_fixedCols);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const int r = index.row() + m_g->m_fixedRows;
        const int c = index.column() + m_g->m_fixedCols;
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return m_g->m_store.text(r, c);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(m_g->effectiveAlignment(c, m_g->m_store.text(r, c)));
        case Qt::ForegroundRole: {
            const auto it = m_g->m_fore.constFind(Grid::key(r, c));
            if (it != m_g->m_fore.constEnd()) return QBrush(basicColour(*it));
            return {};
        }
        case Qt::BackgroundRole: {
            const auto it = m_g->m_back.constFind(Grid::key(r, c));
            if (it != m_g->m_back.constEnd()) return QBrush(basicColour(*it));
            return {};
        }
        default: return {};
        }
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || role != Qt::EditRole) return false;
        return m_g->storeEdit(index.row() + m_g->m_fixedRows, index.column() + m_g->m_fixedCols, value.toString());
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (m_g->isCellEditable(index.row() + m_g->m_fixedRows, index.column() + m_g->m_fixedCols))
            f |= Qt::ItemIsEditable;
        return f;
    }

    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (role != Qt::DisplayRole) return {};
        if (o == Qt::Horizontal && m_g->m_fixedRows > 0) return m_g->m_store.text(0, section + m_g->m_fixedCols);
        if (o == Qt::Vertical && m_g->m_fixedCols > 0) return m_g->m_store.text(section + m_g->m_fixedRows, 0);
        return {};
    }

    // The protected structure notifications, for the grid.
    void insertingRows(int first, int last) { beginInsertRows({}, first, last); }
    void rowsInsertedDone() { endInsertRows(); }
    void removingRows(int first, int last) { beginRemoveRows({}, first, last); }
    void rowsRemovedDone() { endRemoveRows(); }
    void insertingCols(int first, int last) { beginInsertColumns({}, first, last); }
    void colsInsertedDone() { endInsertColumns(); }
    void removingCols(int first, int last) { beginRemoveColumns({}, first, last); }
    void colsRemovedDone() { endRemoveColumns(); }
    void resetting() { beginResetModel(); }
    void resetDone() { endResetModel(); }

private:
    Grid* m_g;
};

// ---------------------------------------------------------------- fixed cells

// The headers draw the fixed rows (horizontal) and fixed columns (vertical)
// as grid cells, so they stay in view while the rest scrolls.
class GridHeader : public QHeaderView {
public:
    GridHeader(Qt::Orientation o, Grid* g) : QHeaderView(o, g), m_g(g) {
        setSectionsClickable(true);
        setHighlightSections(false);
        setMinimumSectionSize(0);
    }

    QSize sizeHint() const override {
        if (orientation() == Qt::Horizontal) return QSize(defaultSectionSize(), m_g->fixedRowsHeight());
        return QSize(m_g->fixedColsWidth(), defaultSectionSize());
    }

protected:
    void paintSection(QPainter* p, const QRect& rect, int logical) const override {
        if (!rect.isValid()) return;
        p->save();
        if (orientation() == Qt::Horizontal) {
            const int c = logical + m_g->m_fixedCols;
            int y = rect.top();
            for (int i = 0; i < m_g->m_fixedRows; ++i) {
                const int h = m_g->RowHeight(i);
                m_g->paintFixedCell(p, QRect(rect.left(), y, rect.width(), h), i, c);
                y += h;
            }
        } else {
            const int r = logical + m_g->m_fixedRows;
            int x = rect.left();
            for (int j = 0; j < m_g->m_fixedCols; ++j) {
                const int w = m_g->ColWidth(j);
                m_g->paintFixedCell(p, QRect(x, rect.top(), w, rect.height()), r, j);
                x += w;
            }
        }
        p->restore();
    }

private:
    Grid* m_g;
};

class GridCorner : public QWidget {
public:
    explicit GridCorner(Grid* g) : QWidget(g), m_g(g) { setMouseTracking(true); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        int y = 0;
        for (int i = 0; i < m_g->m_fixedRows; ++i) {
            const int h = m_g->RowHeight(i);
            int x = 0;
            for (int j = 0; j < m_g->m_fixedCols; ++j) {
                const int w = m_g->ColWidth(j);
                m_g->paintFixedCell(&p, QRect(x, y, w, h), i, j);
                x += w;
            }
            y += h;
        }
    }

private:
    Grid* m_g;
};

// ---------------------------------------------------------------- delegate

class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(Grid* g) : QStyledItemDelegate(g), m_g(g) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(p, option, index);
        const int r = index.row() + m_g->m_fixedRows;
        const int c = index.column() + m_g->m_fixedCols;
        const auto it = m_g->m_borders.constFind(Grid::key(r, c));
        if (it != m_g->m_borders.constEnd() && it->width > 0) {
            p->save();
            QPen pen(basicColour(it->colour));
            pen.setWidth(it->width);
            pen.setJoinStyle(Qt::MiterJoin);
            p->setPen(pen);
            p->setBrush(Qt::NoBrush);
            const int a = it->width / 2;
            p->drawRect(option.rect.adjusted(a, a, -(it->width - a), -(it->width - a)));
            p->restore();
        }
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* e = new QLineEdit(parent);
        e->setFrame(false);
        if (m_g->m_editMaxBytes > 0) setTextLimit(e, m_g->m_editMaxBytes);
        return e;
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideNone;
        if ((option->state & QStyle::State_Selected) && m_g->m_foreColorSel != 0)
            option->palette.setColor(QPalette::HighlightedText, basicColour(m_g->m_foreColorSel));
    }

private:
    Grid* m_g;
};

// ---------------------------------------------------------------- Grid

Grid::Grid(QWidget* parent) : QTableView(parent) {
    m_model = new GridModel(this);
    m_hHeader = new GridHeader(Qt::Horizontal, this);
    m_vHeader = new GridHeader(Qt::Vertical, this);
    setHorizontalHeader(m_hHeader);
    setVerticalHeader(m_vHeader);
    m_vHeader->setSectionResizeMode(QHeaderView::Interactive);
    m_hHeader->setSectionResizeMode(QHeaderView::Interactive);
    m_defaultRowHeight = std::max(fontMetrics().height() + 4, 18);
    m_vHeader->setDefaultSectionSize(m_defaultRowHeight);
    m_hHeader->setDefaultSectionSize(m_defaultColWidth);
    setModel(m_model);
    m_delegate = new GridDelegate(this);
    setItemDelegate(m_delegate);
    m_corner = new GridCorner(this);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);

    viewport()->setMouseTracking(true);
    m_hHeader->viewport()->setMouseTracking(true);
    m_vHeader->viewport()->setMouseTracking(true);
    viewport()->installEventFilter(this);
    m_hHeader->viewport()->installEventFilter(this);
    m_vHeader->viewport()->installEventFilter(this);
    m_corner->installEventFilter(this);

    connect(m_hHeader, &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (m_syncingWidths) return;
        const int c = logical + m_fixedCols;
        if (c >= 0 && c < int(m_colWidths.size())) m_colWidths[size_t(c)] = size;
    });

    // The usual starting shape of a flexible grid: 2 x 2 with one fixed row
    // and one fixed column.
    m_fixedRows = 1;
    m_fixedCols = 1;
    m_model->resetting();
    m_store.resize(2, 2);
    m_colWidths.assign(2, m_defaultColWidth);
    m_colAlign.assign(2, Qt::Alignment());
    m_model->resetDone();
    applyWidthsAndHeights();
}

Grid::~Grid() = default;

void Grid::checkCell(int r, int c) const {
    if (r < 0 || r >= Rows() || c < 0 || c >= Cols())
        throw OutOfRangeError("grid cell (" + std::to_string(r) + ", " + std::to_string(c) + ") outside " +
                              std::to_string(Rows()) + " x " + std::to_string(Cols()));
}

int Grid::fixedRowsHeight() const {
    int h = 0;
    for (int i = 0; i < m_fixedRows; ++i) h += m_rowHeights.value(i, m_defaultRowHeight);
    return h;
}

int Grid::fixedColsWidth() const {
    int w = 0;
    for (int j = 0; j < m_fixedCols; ++j) w += m_colWidths[size_t(j)];
    return w;
}

void Grid::setRows(int rows) {
    if (rows < 0) throw OutOfRangeError("grid rows below 0");
    const int old = Rows();
    if (rows == old) return;
    if (rows < m_fixedRows) {
        m_model->resetting();
        m_store.resize(rows, Cols());
        m_fixedRows = rows;
        dropOutside();
        m_model->resetDone();
        applyWidthsAndHeights();
    } else {
        const int oldData = old - m_fixedRows;
        const int newData = rows - m_fixedRows;
        if (newData > oldData) {
            m_model->insertingRows(oldData, newData - 1);
            m_store.resize(rows, Cols());
            m_model->rowsInsertedDone();
        } else {
            m_model->removingRows(newData, oldData - 1);
            m_store.resize(rows, Cols());
            dropOutside();
            m_model->rowsRemovedDone();
        }
    }
    if (m_row >= rows) m_row = std::max(0, rows - 1);
    structureChanged();
}

void Grid::setCols(int cols) {
    if (cols < 0) throw OutOfRangeError("grid columns below 0");
    const int old = Cols();
    if (cols == old) return;
    if (cols < m_fixedCols) {
        m_model->resetting();
        m_store.resize(Rows(), cols);
        m_colWidths.resize(size_t(cols), m_defaultColWidth);
        m_colAlign.resize(size_t(cols), Qt::Alignment());
        m_fixedCols = cols;
        dropOutside();
        m_model->resetDone();
        applyWidthsAndHeights();
    } else {
        const int oldData = old - m_fixedCols;
        const int newData = cols - m_fixedCols;
        if (newData > oldData) {
            m_model->insertingCols(oldData, newData - 1);
            m_store.resize(Rows(), cols);
            m_colWidths.resize(size_t(cols), m_defaultColWidth);
            m_colAlign.resize(size_t(cols), Qt::Alignment());
            m_model->colsInsertedDone();
            m_syncingWidths = true;
            for (int c = old; c < cols; ++c) m_hHeader->resizeSection(c - m_fixedCols, m_colWidths[size_t(c)]);
            m_syncingWidths = false;
        } else {
            m_model->removingCols(newData, oldData - 1);
            m_store.resize(Rows(), cols);
            m_colWidths.resize(size_t(cols));
            m_colAlign.resize(size_t(cols));
            dropOutside();
            m_model->colsRemovedDone();
        }
    }
    if (m_col >= cols) m_col = std::max(0, cols - 1);
    structureChanged();
}

void Grid::setFixedRows(int n) {
    if (n < 0 || n > Rows()) throw OutOfRangeError("fixed rows outside 0.." + std::to_string(Rows()));
    if (n == m_fixedRows) return;
    m_model->resetting();
    m_fixedRows = n;
    m_model->resetDone();
    applyWidthsAndHeights();
    structureChanged();
}

void Grid::setFixedCols(int n) {
    if (n < 0 || n > Cols()) throw OutOfRangeError("fixed columns outside 0.." + std::to_string(Cols()));
    if (n == m_fixedCols) return;
    m_model->resetting();
    m_fixedCols = n;
    m_model->resetDone();
    applyWidthsAndHeights();
    structureChanged();
}

void Grid::dropOutside() {
    const int rows = Rows(), cols = Cols();
    auto outside = [&](quint64 k) { return int(k >> 32) >= rows || int(quint32(k)) >= cols; };
    for (auto it = m_fore.begin(); it != m_fore.end();) it = outside(it.key()) ? m_fore.erase(it) : std::next(it);
    for (auto it = m_back.begin(); it != m_back.end();) it = outside(it.key()) ? m_back.erase(it) : std::next(it);
    for (auto it = m_borders.begin(); it != m_borders.end();)
        it = outside(it.key()) ? m_borders.erase(it) : std::next(it);
    for (auto it = m_rowHeights.begin(); it != m_rowHeights.end();)
        it = it.key() >= rows ? m_rowHeights.erase(it) : std::next(it);
}

void Grid::applyWidthsAndHeights() {
    m_syncingWidths = true;
    for (int c = m_fixedCols; c < Cols(); ++c) m_hHeader->resizeSection(c - m_fixedCols, m_colWidths[size_t(c)]);
    for (auto it = m_rowHeights.constBegin(); it != m_rowHeights.constEnd(); ++it)
        if (it.key() >= m_fixedRows && it.key() < Rows()) m_vHeader->resizeSection(it.key() - m_fixedRows, it.value());
    m_syncingWidths = false;
    m_hHeader->setVisible(m_fixedRows > 0);
    m_vHeader->setVisible(m_fixedCols > 0);
}

void Grid::structureChanged() {
    updateGeometries();
    viewport()->update();
    m_hHeader->viewport()->update();
    m_vHeader->viewport()->update();
    m_corner->update();
}

void Grid::updateGeometries() {
    QTableView::updateGeometries();
    if (!m_corner) return;
    if (m_fixedRows > 0 && m_fixedCols > 0) {
        m_corner->setGeometry(m_vHeader->x(), m_hHeader->y(), m_vHeader->width(), m_hHeader->height());
        m_corner->show();
        m_corner->raise();
    } else {
        m_corner->hide();
    }
}

QString Grid::TextMatrix(int r, int c) const {
    checkCell(r, c);
    return m_store.text(r, c);
}

QByteArrayView Grid::textUtf8(int r, int c) const {
    checkCell(r, c);
    return m_store.textUtf8(r, c);
}

void Grid::setTextMatrix(int r, int c, const QString& text) {
    checkCell(r, c);
    m_store.setText(r, c, text);
    cellChanged(r, c);
}

void Grid::setTextUtf8(int r, int c, QByteArrayView utf8) {
    checkCell(r, c);
    m_store.setTextUtf8(r, c, utf8);
    cellChanged(r, c);
}

void Grid::setColumnTexts(int col, int firstRow, const QStringList& texts) {
    if (texts.isEmpty()) {
        if (col < 0 || col >= Cols()) checkCell(0, col);
        return;
    }
    checkCell(firstRow, col);
    checkCell(firstRow + int(texts.size()) - 1, col);
    for (int i = 0; i < texts.size(); ++i) m_store.setText(firstRow + i, col, texts[i]);
    cellChanged(firstRow, col);
    cellChanged(firstRow + int(texts.size()) - 1, col);
}

void Grid::setRowTexts(int row, const QStringList& texts) {
    if (texts.isEmpty()) {
        if (row < 0 || row >= Rows()) checkCell(row, 0);
        return;
    }
    checkCell(row, 0);
    checkCell(row, int(texts.size()) - 1);
    for (int c = 0; c < texts.size(); ++c) m_store.setText(row, c, texts[c]);
    cellChanged(row, 0);
    cellChanged(row, int(texts.size()) - 1);
}

void Grid::appendRows(const QList<QStringList>& rows) {
    if (rows.isEmpty()) return;
    for (const QStringList& r : rows)
        if (r.size() > Cols())
            throw OutOfRangeError("row of " + std::to_string(r.size()) + " texts for " + std::to_string(Cols()) +
                                  " columns");
    const int first = Rows();
    setRows(first + int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList& r = rows[i];
        for (int c = 0; c < r.size(); ++c) m_store.setText(first + i, c, r[c]);
    }
    cellChanged(first, 0);
    cellChanged(Rows() - 1, std::max(0, Cols() - 1));
}

void Grid::clear() {
    m_store.clearTexts();
    m_fore.clear();
    m_back.clear();
    m_borders.clear();
    if (m_redraw) {
        viewport()->update();
        m_hHeader->viewport()->update();
        m_vHeader->viewport()->update();
        m_corner->update();
    }
}

void Grid::setRow(int r) {
    if (r < 0 || r >= Rows()) throw OutOfRangeError("grid row " + std::to_string(r) + " outside the grid");
    m_row = r;
}

void Grid::setCol(int c) {
    if (c < 0 || c >= Cols()) throw OutOfRangeError("grid column " + std::to_string(c) + " outside the grid");
    m_col = c;
}

quint32 Grid::CellForeColor() const { return foreColorAt(m_row, m_col); }

void Grid::setCellForeColor(quint32 basicColour) {
    checkCell(m_row, m_col);
    if (basicColour == 0)
        m_fore.remove(key(m_row, m_col));
    else
        m_fore.insert(key(m_row, m_col), basicColour);
    cellChanged(m_row, m_col);
}

quint32 Grid::CellBackColor() const { return backColorAt(m_row, m_col); }

void Grid::setCellBackColor(quint32 basicColour) {
    checkCell(m_row, m_col);
    if (basicColour == 0)
        m_back.remove(key(m_row, m_col));
    else
        m_back.insert(key(m_row, m_col), basicColour);
    cellChanged(m_row, m_col);
}

quint32 Grid::foreColorAt(int r, int c) const {
    checkCell(r, c);
    return m_fore.value(key(r, c), 0);
}

quint32 Grid::backColorAt(int r, int c) const {
    checkCell(r, c);
    return m_back.value(key(r, c), 0);
}

void Grid::setForeColorSel(quint32 basicColour) {
    m_foreColorSel = basicColour;
    if (m_redraw) viewport()->update();
}

void Grid::setCellBorder(int r, int c, quint32 basicColour, int width) {
    checkCell(r, c);
    if (width <= 0)
        m_borders.remove(key(r, c));
    else
        m_borders.insert(key(r, c), Border{basicColour, width});
    cellChanged(r, c);
}

bool Grid::cellBorderAt(int r, int c, quint32* basicColour, int* width) const {
    checkCell(r, c);
    const auto it = m_borders.constFind(key(r, c));
    if (it == m_borders.constEnd()) return false;
    if (basicColour) *basicColour = it->colour;
    if (width) *width = it->width;
    return true;
}

int Grid::ColWidth(int c) const {
    if (c < 0 || c >= Cols()) throw OutOfRangeError("grid column " + std::to_string(c) + " outside the grid");
    return m_colWidths[size_t(c)];
}

void Grid::setColWidth(int c, int pixels) {
    if (c < 0 || c >= Cols()) throw OutOfRangeError("grid column " + std::to_string(c) + " outside the grid");
    pixels = std::max(0, pixels);
    m_colWidths[size_t(c)] = pixels;
    if (c >= m_fixedCols) {
        m_syncingWidths = true;
        m_hHeader->resizeSection(c - m_fixedCols, pixels);
        m_syncingWidths = false;
    } else {
        structureChanged();
    }
}

int Grid::RowHeight(int r) const {
    if (r < 0 || r >= Rows()) throw OutOfRangeError("grid row " + std::to_string(r) + " outside the grid");
    if (r < m_fixedRows) return m_rowHeights.value(r, m_defaultRowHeight);
    return m_vHeader->sectionSize(r - m_fixedRows);
}

void Grid::setRowHeight(int r, int pixels) {
    if (r < 0 || r >= Rows()) throw OutOfRangeError("grid row " + std::to_string(r) + " outside the grid");
    pixels = std::max(0, pixels);
    m_rowHeights.insert(r, pixels);
    if (r >= m_fixedRows)
        m_vHeader->resizeSection(r - m_fixedRows, pixels);
    else
        structureChanged();
}

void Grid::setDefaultRowHeight(int pixels) {
    m_defaultRowHeight = std::max(1, pixels);
    m_vHeader->setMinimumSectionSize(0);
    m_vHeader->setDefaultSectionSize(m_defaultRowHeight);
    // Rows without a height of their own follow the new default.
    m_model->resetting();
    m_model->resetDone();
    applyWidthsAndHeights();
    structureChanged();
}

Qt::Alignment Grid::ColAlignment(int c) const {
    if (c < 0 || c >= Cols()) throw OutOfRangeError("grid column " + std::to_string(c) + " outside the grid");
    return m_colAlign[size_t(c)];
}

void Grid::setColAlignment(int c, Qt::Alignment alignment) {
    if (c < 0 || c >= Cols()) throw OutOfRangeError("grid column " + std::to_string(c) + " outside the grid");
    m_colAlign[size_t(c)] = alignment;
    if (m_redraw) structureChanged();
}

Qt::Alignment Grid::effectiveAlignment(int c, const QString& text) const {
    Qt::Alignment a = m_colAlign[size_t(c)];
    if (!(a & Qt::AlignHorizontal_Mask)) a |= looksNumeric(text) ? Qt::AlignRight : Qt::AlignLeft;
    if (!(a & Qt::AlignVertical_Mask)) a |= Qt::AlignVCenter;
    return a;
}

void Grid::setRedraw(bool on) {
    if (on == m_redraw) return;
    m_redraw = on;
    if (on) {
        m_dirtyTop = m_dirtyLeft = m_dirtyBottom = m_dirtyRight = -1;
        m_fixedDirty = false;
        if (m_model->rowCount() > 0 && m_model->columnCount() > 0)
            emit m_model->dataChanged(m_model->index(0, 0),
                                      m_model->index(m_model->rowCount() - 1, m_model->columnCount() - 1));
        structureChanged();
    }
}

void Grid::cellChanged(int r, int c) {
    if (!m_redraw) return;
    if (r < m_fixedRows || c < m_fixedCols) {
        m_fixedDirty = true;
    } else if (m_dirtyTop < 0) {
        m_dirtyTop = m_dirtyBottom = r;
        m_dirtyLeft = m_dirtyRight = c;
    } else {
        m_dirtyTop = std::min(m_dirtyTop, r);
        m_dirtyBottom = std::max(m_dirtyBottom, r);
        m_dirtyLeft = std::min(m_dirtyLeft, c);
        m_dirtyRight = std::max(m_dirtyRight, c);
    }
    scheduleFlush();
}

void Grid::scheduleFlush() {
    if (m_flushPending) return;
    m_flushPending = true;
    // Many cell changes in a row cost one repaint.
    QMetaObject::invokeMethod(this, [this] { flush(); }, Qt::QueuedConnection);
}

void Grid::flush() {
    m_flushPending = false;
    if (m_dirtyTop >= 0) {
        const int top = m_dirtyTop - m_fixedRows, left = m_dirtyLeft - m_fixedCols;
        const int bottom = std::min(m_dirtyBottom - m_fixedRows, m_model->rowCount() - 1);
        const int right = std::min(m_dirtyRight - m_fixedCols, m_model->columnCount() - 1);
        if (top >= 0 && left >= 0 && top <= bottom && left <= right)
            emit m_model->dataChanged(m_model->index(top, left), m_model->index(bottom, right));
    }
    if (m_fixedDirty) {
        m_hHeader->viewport()->update();
        m_vHeader->viewport()->update();
        m_corner->update();
    }
    m_dirtyTop = m_dirtyLeft = m_dirtyBottom = m_dirtyRight = -1;
    m_fixedDirty = false;
}

bool Grid::mapWatched(QObject* watched, const QPoint& pos, int* r, int* c) const {
    *r = *c = -1;
    auto rowBand = [this](int y) { return band(y, m_fixedRows, [this](int i) { return RowHeight(i); }); };
    auto colBand = [this](int x) { return band(x, m_fixedCols, [this](int j) { return ColWidth(j); }); };
    if (watched == viewport()) {
        const int vr = rowAt(pos.y()), vc = columnAt(pos.x());
        if (vr < 0 || vc < 0) return true;
        *r = vr + m_fixedRows;
        *c = vc + m_fixedCols;
    } else if (watched == m_hHeader->viewport()) {
        const int lc = m_hHeader->logicalIndexAt(pos.x());
        const int br = rowBand(pos.y());
        if (lc < 0 || br < 0) return true;
        *r = br;
        *c = lc + m_fixedCols;
    } else if (watched == m_vHeader->viewport()) {
        const int lr = m_vHeader->logicalIndexAt(pos.y());
        const int bc = colBand(pos.x());
        if (lr < 0 || bc < 0) return true;
        *r = lr + m_fixedRows;
        *c = bc;
    } else if (watched == m_corner) {
        const int br = rowBand(pos.y()), bc = colBand(pos.x());
        if (br < 0 || bc < 0) return true;
        *r = br;
        *c = bc;
    } else {
        return false;
    }
    return true;
}

bool Grid::cellAt(const QPoint& gridPos, int* r, int* c) const {
    int rr = -1, cc = -1;
    const QWidget* parts[] = {m_corner, m_hHeader->viewport(), m_vHeader->viewport(), viewport()};
    for (const QWidget* w : parts) {
        if (!w->isVisible() && w != viewport()) continue;
        const QPoint local = w->mapFrom(this, gridPos);
        if (!w->rect().contains(local)) continue;
        mapWatched(const_cast<QWidget*>(w), local, &rr, &cc);
        break;
    }
    if (r) *r = rr;
    if (c) *c = cc;
    return rr >= 0 && cc >= 0;
}

bool Grid::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        int r, c;
        if (!mapWatched(watched, me->position().toPoint(), &r, &c)) break;
        m_mouseRow = r;
        m_mouseCol = c;
        // Over the scrolling cells the signals go out from the view's own
        // mouse handlers, after it has moved its current cell, so Row() and
        // Col() already name the cell; over the fixed cells they go out here.
        if (watched != viewport()) mouseSignal(event->type(), me, r, c);
        break;
    }
    case QEvent::ToolTip: {
        if (watched != viewport() && watched != m_hHeader->viewport() && watched != m_vHeader->viewport() &&
            watched != m_corner)
            break;
        auto* he = static_cast<QHelpEvent*>(event);
        if (m_toolTip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(he->globalPos(), m_toolTip, static_cast<QWidget*>(watched));
        return true;
    }
    default: break;
    }
    return QTableView::eventFilter(watched, event);
}

void Grid::mouseSignal(QEvent::Type type, QMouseEvent* me, int r, int c) {
    switch (type) {
    case QEvent::MouseButtonPress:
        m_pressRow = r;
        m_pressCol = c;
        emit cellMouseDown(r, c, me->button(), me->modifiers());
        break;
    case QEvent::MouseButtonRelease:
        emit cellMouseUp(r, c, me->button(), me->modifiers());
        if (me->button() == Qt::LeftButton && r >= 0 && c >= 0 && r == m_pressRow && c == m_pressCol)
            emit cellClicked(r, c);
        m_pressRow = m_pressCol = -1;
        break;
    case QEvent::MouseButtonDblClick:
        if (r >= 0 && c >= 0) emit cellDoubleClicked(r, c);
        break;
    case QEvent::MouseMove: emit cellMouseMove(r, c, me->buttons(), me->modifiers()); break;
    default: break;
    }
}

void Grid::mousePressEvent(QMouseEvent* e) {
    QTableView::mousePressEvent(e);
    int r, c;
    mapWatched(viewport(), e->position().toPoint(), &r, &c);
    mouseSignal(QEvent::MouseButtonPress, e, r, c);
}

void Grid::mouseReleaseEvent(QMouseEvent* e) {
    QTableView::mouseReleaseEvent(e);
    int r, c;
    mapWatched(viewport(), e->position().toPoint(), &r, &c);
    mouseSignal(QEvent::MouseButtonRelease, e, r, c);
}

void Grid::mouseDoubleClickEvent(QMouseEvent* e) {
    QTableView::mouseDoubleClickEvent(e);
    int r, c;
    mapWatched(viewport(), e->position().toPoint(), &r, &c);
    mouseSignal(QEvent::MouseButtonDblClick, e, r, c);
}

void Grid::mouseMoveEvent(QMouseEvent* e) {
    QTableView::mouseMoveEvent(e);
    int r, c;
    mapWatched(viewport(), e->position().toPoint(), &r, &c);
    mouseSignal(QEvent::MouseMove, e, r, c);
}

void Grid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!current.isValid()) return;
    m_row = current.row() + m_fixedRows;
    m_col = current.column() + m_fixedCols;
    emit rowColChanged(m_row, m_col);
}

bool Grid::isCellEditable(int r, int c) const {
    if (!m_editable || r < m_fixedRows || c < m_fixedCols || r >= Rows() || c >= Cols()) return false;
    return m_editableCols.isEmpty() || m_editableCols.contains(c);
}

void Grid::setEditable(bool on) {
    m_editable = on;
    setEditTriggers(on ? (QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed)
                       : QAbstractItemView::NoEditTriggers);
}

void Grid::setColEditable(int c, bool on) {
    if (c < 0 || c >= Cols()) throw OutOfRangeError("grid column " + std::to_string(c) + " outside the grid");
    if (on) {
        if (!m_editableCols.contains(c)) m_editableCols.append(c);
    } else {
        m_editableCols.removeAll(c);
    }
}

void Grid::editCell() {
    if (!isCellEditable(m_row, m_col)) return;
    const QModelIndex idx = m_model->index(m_row - m_fixedRows, m_col - m_fixedCols);
    setCurrentIndex(idx);
    edit(idx);
}

bool Grid::storeEdit(int r, int c, const QString& text) {
    if (m_validateEdit && !m_validateEdit(r, c, text)) return false;
    m_store.setText(r, c, text);
    cellChanged(r, c);
    emit afterEdit(r, c);
    return true;
}

qint64 Grid::storeBytes() const {
    return m_store.bytesUsed() + qint64(m_fore.size() + m_back.size() + m_borders.size()) * 48 +
           qint64(m_colWidths.capacity() * sizeof(int));
}

void Grid::paintFixedCell(QPainter* p, const QRect& rect, int r, int c) const {
    if (r < 0 || c < 0 || r >= Rows() || c >= Cols() || rect.isEmpty()) return;
    p->save();
    p->setClipRect(rect);
    const auto back = m_back.constFind(key(r, c));
    p->fillRect(rect, back != m_back.constEnd() ? basicColour(*back) : palette().color(QPalette::Button));
    p->setPen(palette().color(QPalette::Dark));
    p->drawLine(rect.topRight(), rect.bottomRight());
    p->drawLine(rect.bottomLeft(), rect.bottomRight());
    const QString text = m_store.text(r, c);
    if (!text.isEmpty()) {
        const auto fore = m_fore.constFind(key(r, c));
        p->setPen(fore != m_fore.constEnd() ? basicColour(*fore) : palette().color(QPalette::ButtonText));
        p->setFont(font());
        p->drawText(rect.adjusted(3, 0, -3, 0), int(effectiveAlignment(c, text)), text);
    }
    const auto border = m_borders.constFind(key(r, c));
    if (border != m_borders.constEnd() && border->width > 0) {
        QPen pen(basicColour(border->colour));
        pen.setWidth(border->width);
        pen.setJoinStyle(Qt::MiterJoin);
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        const int a = border->width / 2;
        p->drawRect(rect.adjusted(a, a, -(border->width - a), -(border->width - a)));
    }
    p->restore();
}

}  // namespace mq::platform
