#include <gtest/gtest.h>

#include "common/test_env.h"
#include "platform/errors.h"
#include "platform/grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHelpEvent>
#include <QToolTip>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

using namespace mq;
using namespace mq::platform;

namespace {
// Resident memory of this process in bytes.
qint64 residentBytes() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLongLong() * 4096 : 0;
}
}  // namespace

class GridTest : public ::testing::Test {
protected:
    void SetUp() override { mq::test::ensureApplication(); }
};

TEST_F(GridTest, StartsAsATwoByTwoGridWithOneFixedRowAndColumn) {
    Grid g;
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.Cols(), 2);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.model()->rowCount(), 1);
    EXPECT_EQ(g.model()->columnCount(), 1);
}

TEST_F(GridTest, SizesCountTheFixedRowsAndColumns) {
    Grid g;
    g.setRows(11);
    g.setCols(7);
    g.setFixedCols(0);
    EXPECT_EQ(g.Rows(), 11);
    EXPECT_EQ(g.Cols(), 7);
    EXPECT_EQ(g.model()->rowCount(), 10);  // the heading row is not a scrolling row
    EXPECT_EQ(g.model()->columnCount(), 7);
    g.setTextMatrix(0, 3, QStringLiteral("CH1[ﾟC ]"));
    g.setTextMatrix(10, 6, QStringLiteral("      12.5"));
    EXPECT_EQ(g.TextMatrix(0, 3), QStringLiteral("CH1[ﾟC ]"));
    EXPECT_EQ(g.TextMatrix(10, 6), QStringLiteral("      12.5"));
    EXPECT_EQ(g.TextMatrix(5, 5), QString());
    // The scrolling cells are the same texts, shifted by the fixed ones.
    EXPECT_EQ(g.model()->data(g.model()->index(9, 6)).toString(), QStringLiteral("      12.5"));
}

TEST_F(GridTest, CellsOutsideTheGridRaise) {
    Grid g;
    g.setRows(3);
    g.setCols(4);
    EXPECT_THROW(g.TextMatrix(3, 0), OutOfRangeError);
    EXPECT_THROW(g.TextMatrix(0, 4), OutOfRangeError);
    EXPECT_THROW(g.TextMatrix(-1, 0), OutOfRangeError);
    EXPECT_THROW(g.setTextMatrix(0, -1, QStringLiteral("x")), OutOfRangeError);
    EXPECT_THROW(g.setRow(3), OutOfRangeError);
    EXPECT_THROW(g.setCol(4), OutOfRangeError);
    EXPECT_THROW(g.setRows(-1), OutOfRangeError);
    EXPECT_THROW(g.setFixedRows(4), OutOfRangeError);
    EXPECT_THROW(g.ColWidth(4), OutOfRangeError);
    EXPECT_THROW(g.setColumnTexts(1, 2, QStringList{QStringLiteral("a"), QStringLiteral("b")}), OutOfRangeError);
    EXPECT_EQ(g.TextMatrix(2, 1), QString());  // nothing written by the refused fill
    EXPECT_THROW(g.appendRows({QStringList{"1", "2", "3", "4", "5"}}), OutOfRangeError);
    EXPECT_EQ(g.Rows(), 3);
}

TEST_F(GridTest, ShrinkingDropsCellsAndGrowingGivesEmptyOnes) {
    Grid g;
    g.setCols(3);
    g.setRows(5);
    g.setTextMatrix(4, 2, QStringLiteral("last"));
    g.setRow(4);
    g.setCol(2);
    g.setCellForeColor(255);
    g.setRows(3);
    EXPECT_EQ(g.Row(), 2);  // the current row follows the shrink
    g.setRows(5);
    EXPECT_EQ(g.TextMatrix(4, 2), QString());
    EXPECT_EQ(g.foreColorAt(4, 2), 0u);
    g.setTextMatrix(1, 2, QStringLiteral("keep"));
    g.setCols(2);
    g.setCols(3);
    EXPECT_EQ(g.TextMatrix(1, 2), QString());
    // Fixed counts follow a size below them.
    g.setFixedRows(2);
    g.setRows(1);
    EXPECT_EQ(g.FixedRows(), 1);
    g.setRows(0);
    EXPECT_EQ(g.FixedRows(), 0);
    EXPECT_EQ(g.model()->rowCount(), 0);
}

TEST_F(GridTest, ColourActsOnTheCurrentCell) {
    Grid g;
    g.setRows(10);
    g.setCols(7);
    g.setRow(3);
    g.setCol(4);
    g.setCellForeColor(255);
    EXPECT_EQ(g.CellForeColor(), 255u);
    EXPECT_EQ(g.foreColorAt(3, 4), 255u);
    EXPECT_EQ(g.foreColorAt(3, 5), 0u);
    g.setCol(5);
    g.setCellForeColor(16711680);
    EXPECT_EQ(g.foreColorAt(3, 5), 16711680u);
    EXPECT_EQ(g.foreColorAt(3, 4), 255u);
    // What the view paints: red and blue text.
    const QVariant red = g.model()->data(g.model()->index(3 - 1, 4 - 1), Qt::ForegroundRole);
    const QVariant blue = g.model()->data(g.model()->index(3 - 1, 5 - 1), Qt::ForegroundRole);
    EXPECT_EQ(red.value<QBrush>().color(), QColor(255, 0, 0));
    EXPECT_EQ(blue.value<QBrush>().color(), QColor(0, 0, 255));
    EXPECT_FALSE(g.model()->data(g.model()->index(0, 0), Qt::ForegroundRole).isValid());
    g.setCellForeColor(0);  // back to the default colour
    EXPECT_EQ(g.foreColorAt(3, 5), 0u);
    g.setCellBackColor(0x00FFFF);
    EXPECT_EQ(g.backColorAt(3, 5), 0x00FFFFu);
    EXPECT_EQ(basicColour(0x00FFFF), QColor(255, 255, 0));
    EXPECT_EQ(basicColourOf(QColor(1, 2, 3)), 0x030201u);
}

TEST_F(GridTest, ClearEmptiesCellsButKeepsTheShape) {
    Grid g;
    g.setRows(4);
    g.setCols(3);
    g.setColWidth(2, 123);
    g.setTextMatrix(0, 0, QStringLiteral("head"));
    g.setTextMatrix(3, 2, QStringLiteral("x"));
    g.setRow(3);
    g.setCol(2);
    g.setCellForeColor(255);
    g.setCellBorder(1, 1, 255, 2);
    g.clear();
    EXPECT_EQ(g.Rows(), 4);
    EXPECT_EQ(g.Cols(), 3);
    EXPECT_EQ(g.ColWidth(2), 123);
    EXPECT_EQ(g.TextMatrix(0, 0), QString());
    EXPECT_EQ(g.TextMatrix(3, 2), QString());
    EXPECT_EQ(g.foreColorAt(3, 2), 0u);
    EXPECT_FALSE(g.cellBorderAt(1, 1));
}

TEST_F(GridTest, ColumnWidthsInPixels) {
    Grid g;
    g.setCols(7);
    g.setRows(3);
    g.setColWidth(0, 27);  // fixed column
    g.setColWidth(3, 66);
    EXPECT_EQ(g.ColWidth(0), 27);
    EXPECT_EQ(g.ColWidth(3), 66);
    EXPECT_EQ(g.horizontalHeader()->sectionSize(3 - 1), 66);
    g.setCols(8);  // growing keeps the widths already set
    EXPECT_EQ(g.ColWidth(3), 66);
    g.setFixedCols(0);  // and so does a change of the fixed columns
    EXPECT_EQ(g.ColWidth(3), 66);
    EXPECT_EQ(g.horizontalHeader()->sectionSize(3), 66);
    g.setRowHeight(2, 40);
    EXPECT_EQ(g.RowHeight(2), 40);
    g.setRowHeight(0, 30);
    EXPECT_EQ(g.RowHeight(0), 30);
}

TEST_F(GridTest, GeneralAlignmentPutsNumbersRight) {
    Grid g;
    g.setRows(3);
    g.setCols(3);
    g.setTextMatrix(1, 1, QStringLiteral("     -12.5"));
    g.setTextMatrix(1, 2, QStringLiteral("2013/12/10 08:30:00"));
    auto align = [&](int r, int c) {
        return Qt::Alignment(g.model()->data(g.model()->index(r - 1, c - 1), Qt::TextAlignmentRole).toInt());
    };
    EXPECT_TRUE(align(1, 1) & Qt::AlignRight);
    EXPECT_TRUE(align(1, 2) & Qt::AlignLeft);
    g.setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_TRUE(align(1, 1) & Qt::AlignLeft);
    EXPECT_EQ(g.ColAlignment(1), Qt::AlignLeft | Qt::AlignVCenter);
}

TEST_F(GridTest, BulkFillOfAFullLoggerMemory) {
    const int records = 345600;
    QStringList numbers, times, values;
    numbers.reserve(records);
    times.reserve(records);
    values.reserve(records);
    for (int i = 0; i < records; ++i) {
        numbers << QString::number(i + 1);
        times << QStringLiteral("2013/12/10 08:%1:00").arg(i % 60, 2, 10, QLatin1Char('0'));
        values << QStringLiteral("    %1").arg(QString::number((i % 2000) / 10.0, 'f', 1), 6);
    }
    const qint64 before = residentBytes();
    Grid g;
    g.setCols(7);
    QElapsedTimer t;
    t.start();
    g.setRows(records + 1);
    g.setColumnTexts(1, 1, numbers);
    g.setColumnTexts(2, 1, times);
    for (int c = 3; c <= 6; ++c) g.setColumnTexts(c, 1, values);
    for (int r = 1; r <= records; ++r) g.setTextMatrix(r, 0, QStringLiteral(" * "));
    const qint64 ms = t.elapsed();
    EXPECT_EQ(g.TextMatrix(records, 1), QString::number(records));
    EXPECT_EQ(g.TextMatrix(12345, 2), times[12344]);
    EXPECT_EQ(g.TextMatrix(200000, 5), values[199999]);
    EXPECT_EQ(g.TextMatrix(1, 0), QStringLiteral(" * "));
    EXPECT_LT(g.storeBytes(), 100LL * 1024 * 1024);
    const qint64 grown = residentBytes() - before;  // the grid with its view, not just the store
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(grown, 200LL * 1024 * 1024);  // the sanitizer's own bookkeeping comes on top
#else
    EXPECT_LT(grown, 100LL * 1024 * 1024);
#endif
    // How fast is measured in bench/grid_bench; here only what it holds.
    std::cout << "[ info ] filled " << records << " rows in " << ms << " ms, store " << g.storeBytes() / 1024
              << " KiB, resident +" << grown / 1024 << " KiB\n";
}

TEST_F(GridTest, RewritingCellsDoesNotGrowTheStoreForever) {
    GridStore s;
    s.resize(10, 2);
    const QString long100(100, QLatin1Char('x'));
    for (int i = 0; i < 100000; ++i) s.setText(i % 10, 1, long100 + QString::number(i));
    EXPECT_LT(s.bytesUsed(), 8LL * 1024 * 1024);
    EXPECT_EQ(s.text(9, 1), long100 + QString::number(99999));
    EXPECT_EQ(s.text(0, 1), long100 + QString::number(99990));
    s.setText(3, 0, QStringLiteral("▲ 12.5"));
    EXPECT_EQ(s.text(3, 0), QStringLiteral("▲ 12.5"));
    s.setText(3, 0, QString());
    EXPECT_TRUE(s.isEmpty(3, 0));
}

// UTF-8 bytes reach a cell as the same text a QString would make, replace
// and clear it alike, are range-checked and take part in the compaction of
// rewritten cells.
TEST_F(GridTest, CellsSetFromUtf8BytesMatchCellsSetFromTexts) {
    Grid g;
    g.setRows(4);
    g.setCols(3);
    const QString texts[] = {QStringLiteral("      25.3"), QStringLiteral("▲  500.0"), QStringLiteral("ﾏｰｸ"),
                             QStringLiteral(" * "), QString()};
    for (const QString& t : texts) {
        const QByteArray utf8 = t.toUtf8();
        g.setTextUtf8(1, 1, utf8);
        g.setTextMatrix(2, 1, t);
        EXPECT_EQ(g.TextMatrix(1, 1), g.TextMatrix(2, 1)) << t.toStdString();
        EXPECT_EQ(g.TextMatrix(1, 1), t);
    }
    EXPECT_THROW(g.setTextUtf8(4, 0, "x"), OutOfRangeError);
    EXPECT_THROW(g.setTextUtf8(0, 3, "x"), OutOfRangeError);

    GridStore s;
    s.resize(10, 1);
    const QByteArray long100(100, 'y');
    for (int i = 0; i < 100000; ++i) s.setTextUtf8(i % 10, 0, long100 + QByteArray::number(i));
    EXPECT_LT(s.bytesUsed(), 8LL * 1024 * 1024);
    EXPECT_EQ(s.text(9, 0), QString::fromLatin1(long100 + "99999"));
    s.setTextUtf8(9, 0, QByteArrayView());
    EXPECT_TRUE(s.isEmpty(9, 0));

    // Rows cost nothing until a text comes; the rows before it read empty.
    GridStore big;
    big.resize(1000000, 2);
    EXPECT_LT(big.bytesUsed(), 4096);
    big.setTextUtf8(999999, 1, "x");
    EXPECT_TRUE(big.isEmpty(5, 1));
    EXPECT_EQ(big.text(999999, 1), QStringLiteral("x"));
}

TEST_F(GridTest, AppendRowsAddsAtTheBottom) {
    Grid g;
    g.setCols(3);
    g.setRows(1);
    g.appendRows({QStringList{"a", "b", "c"}, QStringList{"d"}});
    EXPECT_EQ(g.Rows(), 3);
    EXPECT_EQ(g.TextMatrix(1, 2), QStringLiteral("c"));
    EXPECT_EQ(g.TextMatrix(2, 0), QStringLiteral("d"));
    EXPECT_EQ(g.TextMatrix(2, 1), QString());
    g.setRowTexts(0, {QStringLiteral("h0"), QStringLiteral("h1")});
    EXPECT_EQ(g.TextMatrix(0, 1), QStringLiteral("h1"));
}

TEST_F(GridTest, ManyChangesRepaintOnceAndNotAtAllWithoutRedraw) {
    Grid g;
    g.setRows(101);
    g.setCols(3);
    QSignalSpy spy(g.model(), &QAbstractItemModel::dataChanged);
    for (int r = 1; r <= 100; ++r) g.setTextMatrix(r, 2, QString::number(r));
    EXPECT_EQ(spy.count(), 0);
    QCoreApplication::processEvents();  // the one queued repaint
    EXPECT_EQ(spy.count(), 1);
    const QModelIndex tl = spy.at(0).at(0).value<QModelIndex>();
    const QModelIndex br = spy.at(0).at(1).value<QModelIndex>();
    EXPECT_EQ(tl.row(), 0);
    EXPECT_EQ(br.row(), 99);
    EXPECT_EQ(br.column(), 1);
    spy.clear();
    g.setRedraw(false);
    for (int r = 1; r <= 100; ++r) g.setTextMatrix(r, 1, QString::number(r));
    QCoreApplication::processEvents();  // a queued repaint would have run here
    EXPECT_EQ(spy.count(), 0);
    g.setRedraw(true);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(GridTest, MouseOverCellsAndFixedCells) {
    Grid g;
    g.setRows(20);
    g.setCols(7);
    g.resize(600, 400);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    QSignalSpy clicked(&g, &Grid::cellClicked);
    QSignalSpy moved(&g, &Grid::cellMouseMove);
    QSignalSpy down(&g, &Grid::cellMouseDown);

    // A scrolling cell: row 2, column 3 of the grid is model index (1, 2).
    const QRect cell = g.visualRect(g.model()->index(1, 2));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 2);
    EXPECT_EQ(clicked.at(0).at(1).toInt(), 3);
    EXPECT_EQ(g.Row(), 2);  // the click made it the current cell
    EXPECT_EQ(g.Col(), 3);
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down.at(0).at(0).toInt(), 2);

    // The heading row: row 0 over column 4.
    QHeaderView* head = g.horizontalHeader();
    const int x = head->sectionViewportPosition(4 - 1) + head->sectionSize(4 - 1) / 2;
    QTest::mouseMove(head->viewport(), QPoint(x, head->height() / 2));
    ASSERT_GE(moved.count(), 1);
    EXPECT_EQ(moved.last().at(0).toInt(), 0);
    EXPECT_EQ(moved.last().at(1).toInt(), 4);
    EXPECT_EQ(g.MouseRow(), 0);
    EXPECT_EQ(g.MouseCol(), 4);

    int r = -2, c = -2;
    EXPECT_TRUE(g.cellAt(head->mapTo(&g, QPoint(x, 2)), &r, &c));
    EXPECT_EQ(r, 0);
    EXPECT_EQ(c, 4);
    EXPECT_TRUE(g.cellAt(g.viewport()->mapTo(&g, cell.center()), &r, &c));
    EXPECT_EQ(r, 2);
    EXPECT_EQ(c, 3);
}

TEST_F(GridTest, EditingStoresValidatedTextsOfEditableCellsOnly) {
    Grid g;
    g.setRows(5);
    g.setCols(8);
    QSignalSpy after(&g, &Grid::afterEdit);
    const QModelIndex comment = g.model()->index(0, 6);  // grid cell (1, 7)
    EXPECT_FALSE(g.model()->flags(comment) & Qt::ItemIsEditable);
    g.setEditable(true);
    g.setColEditable(7, true);
    EXPECT_TRUE(g.model()->flags(comment) & Qt::ItemIsEditable);
    EXPECT_FALSE(g.model()->flags(g.model()->index(0, 2)) & Qt::ItemIsEditable);
    EXPECT_FALSE(g.isCellEditable(0, 7));  // a fixed cell never edits

    g.setValidateEdit([](int, int, const QString& text) { return text.size() <= 4; });
    EXPECT_TRUE(g.model()->setData(comment, QStringLiteral("ok")));
    EXPECT_EQ(g.TextMatrix(1, 7), QStringLiteral("ok"));
    ASSERT_EQ(after.count(), 1);
    EXPECT_EQ(after.at(0).at(0).toInt(), 1);
    EXPECT_EQ(after.at(0).at(1).toInt(), 7);
    EXPECT_FALSE(g.model()->setData(comment, QStringLiteral("too long")));
    EXPECT_EQ(g.TextMatrix(1, 7), QStringLiteral("ok"));
    EXPECT_EQ(after.count(), 1);
}

TEST_F(GridTest, FixedCellsAreDrawnGreyAndCellColoursShow) {
    Grid g;
    g.setRows(30);
    g.setCols(5);
    g.setFixedRows(2);
    g.setColWidth(0, 50);
    for (int c = 0; c < 5; ++c) g.setColWidth(c, 60);
    g.setTextMatrix(0, 2, QStringLiteral("CH1[ﾟC ]"));
    g.setRow(5);
    g.setCol(3);
    g.setCellBackColor(0x00FF00);  // green
    g.setCellBorder(1, 0, 255, 2);
    g.resize(400, 300);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    QCoreApplication::processEvents();  // queued repaints of the cells set above
    const QImage img = g.grab().toImage();

    const QColor grey = g.palette().color(QPalette::Button);
    // The corner cell (0, 0) is empty: only the fixed-cell background.
    const QPoint corner = g.horizontalHeader()->mapTo(&g, QPoint(0, 0)) - QPoint(25, -5);
    EXPECT_EQ(QColor(img.pixel(corner)), grey);
    // A fixed row cell over column 4 (no text there).
    QHeaderView* head = g.horizontalHeader();
    const QPoint inHead = head->mapTo(&g, QPoint(head->sectionViewportPosition(3) + 30, 5));
    EXPECT_EQ(QColor(img.pixel(inHead)), grey);
    // The green cell: grid (5, 3) is model index (3, 2).
    const QRect cell = g.visualRect(g.model()->index(5 - 2, 3 - 1));
    const QPoint inCell = g.viewport()->mapTo(&g, cell.topLeft() + QPoint(cell.width() - 4, 4));
    EXPECT_EQ(QColor(img.pixel(inCell)), QColor(0, 255, 0));
    // The red frame of the fixed cell (1, 0).
    const QPoint frame = g.verticalHeader()->mapTo(&g, QPoint(0, 0)) + QPoint(20, -g.RowHeight(1) + 1 - 0);
    bool foundRed = false;
    for (int dy = -2; dy <= 2 && !foundRed; ++dy)
        for (int dx = -2; dx <= 2 && !foundRed; ++dx)
            foundRed = QColor(img.pixel(frame + QPoint(dx, dy))) == QColor(255, 0, 0);
    EXPECT_TRUE(foundRed);
}

TEST_F(GridTest, OneTooltipForTheWholeGrid) {
    Grid g;
    g.setRows(5);
    g.setCols(7);
    g.resize(500, 200);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    QHeaderView* head = g.horizontalHeader();
    const QPoint p(head->sectionViewportPosition(2) + 5, 5);
    g.setToolTipText(QStringLiteral("CH1  ->  入力種：K"));
    QHelpEvent show(QEvent::ToolTip, p, head->viewport()->mapToGlobal(p));
    QApplication::sendEvent(head->viewport(), &show);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("CH1  ->  入力種：K"));
    g.setToolTipText(QString());
    QHelpEvent hide(QEvent::ToolTip, p, head->viewport()->mapToGlobal(p));
    QApplication::sendEvent(head->viewport(), &hide);
    EXPECT_TRUE(mq::test::waitUntil([] { return !QToolTip::isVisible(); }, 2000));
}
