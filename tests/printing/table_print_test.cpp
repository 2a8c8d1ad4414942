// Print runs of LOG and TAG tables to PDF files, read back with pdftotext,
// and the pages' layout as drawn.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cups/cups.h>

#include "common/full_disk.h"
#include "printing/print_fixture.h"

namespace mq::test {
namespace {

using platform::ScopedMessageBoxHook;

// The texts recorded on a page with their positions (after the 6 mm shift).
struct Placed {
    PrintOp::Kind kind;
    float x, y;
};
std::optional<Placed> find(const PrintSheets& sheets, int page, const QString& text, int nth = 0) {
    for (const PrintOp& op : sheets.pages()[size_t(page)]) {
        if (op.kind != PrintOp::Box && op.text == text && nth-- == 0) return Placed{op.kind, op.x1, op.y1};
    }
    return std::nullopt;
}

// pdftotext keeps the columns with runs of blanks of its own choosing: texts
// are compared with every blank taken out.
QString squeezed(const QString& s) {
    QString out;
    for (QChar c : s) {
        if (!c.isSpace()) out += c;
    }
    return out;
}

class TablePrintTest : public PrintFixture {};

TEST_F(TablePrintTest, LogFileWithAlarmsAndMarksPrintsHeadBlocksAndRows) {
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    const QString ml2 = files + QStringLiteral("/run7.ml2");
    save(ml2, 1);
    ASSERT_TRUE(QFile::exists(ml2));
    ASSERT_NE(openFile(ml2), nullptr);
    ASSERT_TRUE(model().main_window->activeDataWindow()->Tag().startsWith(QLatin1Char('F')));

    const QString pdf = pdfDir + QStringLiteral("/logfile.pdf");
    auto dlg = run(pdf);
    EXPECT_EQ(dlg->outcome(), PR::Outcome::Printed);
    ASSERT_EQ(pdfRequests.size(), 1u);
    EXPECT_TRUE(pdfRequests[0].save);
    const QString text = pdfText(pdf);
    EXPECT_EQ(pdfPages(text), 1) << text.toStdString();
    for (const char* expected :
         {"2025/03/04  印刷", "マロウクイル　収録データ", "機器名称：", "ログ名", "TESTLOG1", "開始日時",
          "2024/01/15 10:00:17", "ﾃﾞｰﾀ数", "収録間隔", "00:01:00", "終了日時", "2024/01/15 10:05:00", "作業者",
          "A&B", "コメント", "RUN 7", "【設定値】", "ｾﾝｻ/入力", "上限警報値", "30.0", "下限警報値", "10.0",
          "積算基準値", "20.0", "【演算値】", "CH1 [ﾟC ]", "CH2 [ ]", "CH3 [mV ]", "CH4 [ﾟC ]", "最大値", "最小値",
          "平均値", "H積算値[*h]", "L積算値[*h]", "上限警報数", "下限警報数", "ﾏｰｸ", "No.", "収録日時",
          "▲H   31.0", "▼L    8.0", "▲   123.45", "▼    -1.50", "U.R.", "O.R.", "------", "1 / 1"}) {
        EXPECT_TRUE(squeezed(text).contains(squeezed(QString::fromUtf8(expected)))) << expected;
    }
    // The marked record 2 carries its mark before its number.
    const QString row2 = text.split(QLatin1Char('\n')).filter(QStringLiteral("2024/01/15 10:01:00")).value(0);
    EXPECT_TRUE(squeezed(row2).startsWith(QStringLiteral("*22024/01/15"))) << row2.toStdString();
    // Nothing else is left in the folder: the PDF was written whole and renamed.
    EXPECT_EQ(QDir(pdfDir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("logfile.pdf")})
        << QDir(pdfDir).entryList(QDir::Files | QDir::Hidden).join(QLatin1Char(' ')).toStdString();
}

TEST_F(TablePrintTest, LoggerWindowPrintsItsFirstPageOnlyByDefault) {
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    const QString pdf = pdfDir + QStringLiteral("/logger.pdf");
    auto dlg = run(pdf, nullptr, 0x1f, /*allPages=*/false);
    EXPECT_EQ(dlg->outcome(), PR::Outcome::Printed);
    const QString text = pdfText(pdf);
    EXPECT_EQ(pdfPages(text), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("LINE 3")));  // the connected logger's name
    EXPECT_FALSE(find(*dlg->sheets(), 0, QStringLiteral("1 / 1")));  // first page only: no page number

    // Layout: both blocks printed, so the rows' head stands at 124 mm and its
    // texts 1 mm lower; a value ends 4 mm inside its cell.
    const PrintSheets& sheets = *dlg->sheets();
    EXPECT_EQ(find(sheets, 0, QStringLiteral("ﾏｰｸ"))->y, 125 - 6);
    EXPECT_EQ(find(sheets, 0, QStringLiteral("【演算値】"))->y, 80 - 6);
    const auto mark = find(sheets, 0, QStringLiteral("▲H   31.0"));
    ASSERT_TRUE(mark);
    EXPECT_EQ(mark->kind, PrintOp::TextRight);
    EXPECT_EQ(mark->x, 106 - 6);
    EXPECT_EQ(mark->y, 125 + 2 * 5 - 6);  // record 2
    EXPECT_EQ(find(sheets, 0, QStringLiteral("2025/03/04  印刷"))->x, 170 - 6);
}

TEST_F(TablePrintTest, TheBlocksChosenMoveTheTable) {
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    struct Case {
        int items;
        float rowsHead;  // the "ﾏｰｸ" head text
    };
    for (const Case& c : {Case{0x1c, 50}, Case{0x1d, 80}, Case{0x1e, 95}, Case{0x1f, 125}}) {
        SCOPED_TRACE(c.items);
        auto dlg = run(pdfDir + QStringLiteral("/blocks.pdf"), nullptr, c.items);
        ASSERT_TRUE(dlg->sheets());
        EXPECT_EQ(find(*dlg->sheets(), 0, QStringLiteral("ﾏｰｸ"))->y, c.rowsHead - 6);
        EXPECT_EQ(bool(find(*dlg->sheets(), 0, QStringLiteral("【設定値】"))), bool(c.items & 1));
        EXPECT_EQ(bool(find(*dlg->sheets(), 0, QStringLiteral("【演算値】"))), bool(c.items & 2));
    }
    // Without title, device name and date the page carries none of them.
    auto bare = run(pdfDir + QStringLiteral("/bare.pdf"), nullptr, 0x03);
    const QStringList texts = bare->sheets()->pageTexts(0);
    EXPECT_FALSE(texts.contains(QStringLiteral("マロウクイル　収録データ")));
    EXPECT_FALSE(texts.contains(QStringLiteral("機器名称：")));
    EXPECT_FALSE(texts.contains(QStringLiteral("2025/03/04  印刷")));
}

TEST_F(TablePrintTest, GraphRangePrintsOnlyTheDrawnRecordsWithTheGraphTexts) {
    scenario();
    setting().let_data_count(100);
    reply = longReply(100);
    log_data* w = openLogger();
    ASSERT_NE(w, nullptr);
    w->Option2()->setChecked(true);  // the window shows the lower integral
    area().clsLOGGER_GraphInfo().let_GrpDrw_StartPos(11);
    area().clsLOGGER_GraphInfo().let_GrpDrw_EndPos(70);
    GraphPrintSource g;
    g.window = w;
    g.title = QStringLiteral("炉内温度");
    g.worker = QStringLiteral("GWORKER");
    g.comment = QStringLiteral("GCOMM");
    g.ch_h_alm_text = {QStringLiteral("30"), {}, {}, QStringLiteral("100")};
    g.ch_l_alm_text = {QStringLiteral("10"), {}, {}, QStringLiteral("10")};
    g.ch_sum_std_text = {QStringLiteral("20"), {}, {}, QStringLiteral("0")};
    g.graph_stat_texts[0] = {QStringLiteral("40"), {}, {}, {}};
    g.graph_stat_texts[1] = {QStringLiteral("0"), {}, {}, {}};
    g.graph_stat_texts[2] = {QStringLiteral("70"), {}, QStringLiteral("1"), {}};
    g.graph_stat_texts[3] = {QStringLiteral("11"), {}, QStringLiteral("1"), {}};
    g.graph_stat_texts[4] = {QStringLiteral("40.5"), {}, QStringLiteral("1"), {}};
    g.graph_stat_texts[5] = {QStringLiteral("123.456"), {}, {}, {}};

    const QString pdf = pdfDir + QStringLiteral("/graph.pdf");
    auto dlg = run(pdf, &g);
    EXPECT_TRUE(dlg->print_from_graph_flag());
    EXPECT_EQ(dlg->outcome(), PR::Outcome::Printed);
    const QString text = pdfText(pdf);
    ASSERT_EQ(pdfPages(text), 2) << text.toStdString();  // 60 rows: 30 on the first page, 30 on the second
    const QString first = pdfPage(text, 1), second = pdfPage(text, 2);
    for (const char* expected : {"2025/03/04  印刷*", "炉内温度", "GWORKER", "GCOMM", "TESTLOG1", "1 / 2",
                                 "123.5", "40.5", "70.0", "11.0", "1.00"}) {
        EXPECT_TRUE(squeezed(first).contains(squeezed(QString::fromUtf8(expected)))) << expected;
    }
    EXPECT_FALSE(squeezed(first).contains(QStringLiteral("マロウクイル収録データ")));
    // The head: 60 records from record 11 (10:10:17 + ...) to record 70.
    const PrintSheets& sheets = *dlg->sheets();
    const QString start = w->vsFlexGrid1()->TextMatrix(11, 2), stop = w->vsFlexGrid1()->TextMatrix(70, 2);
    EXPECT_EQ(find(sheets, 0, start)->y, 25 - 6);  // the start cell of the head
    EXPECT_EQ(find(sheets, 0, stop)->y, 30 - 6);   // the end cell of the head
    EXPECT_TRUE(find(sheets, 0, QStringLiteral("60")));
    // The graph's alarm texts print as the graph holds them.
    EXPECT_EQ(find(sheets, 0, QStringLiteral("       30"))->x, 62 - 6);
    // Rows 11 to 40 on the first page, 41 to 70 on the second.
    EXPECT_TRUE(find(sheets, 0, QStringLiteral("      11")));
    EXPECT_TRUE(find(sheets, 0, QStringLiteral("      40")));
    EXPECT_FALSE(find(sheets, 0, QStringLiteral("      41")));
    EXPECT_TRUE(find(sheets, 1, QStringLiteral("      41")));
    EXPECT_TRUE(find(sheets, 1, QStringLiteral("      70")));
    EXPECT_FALSE(find(sheets, 1, QStringLiteral("      71")));
    EXPECT_TRUE(squeezed(second).contains(QStringLiteral("2/2")));
    // The lower integral row shows the graph's integral, the upper the data set's.
    const QStringList texts = sheets.pageTexts(0);
    const int hRow = int(texts.indexOf(QStringLiteral("H積算値[*h]")));
    const int lRow = int(texts.indexOf(QStringLiteral("L積算値[*h]")));
    EXPECT_NE(texts.value(hRow + 1), QStringLiteral("    123.5"));
    EXPECT_EQ(texts.value(lRow + 1), QStringLiteral("    123.5"));
}

TEST_F(TablePrintTest, TagDataSetPrintsItsBlocksAndRowsOverPages) {
    ASSERT_NE(openTagSet(60), nullptr);
    const QString pdf = pdfDir + QStringLiteral("/tag.pdf");
    auto dlg = run(pdf);
    EXPECT_EQ(dlg->outcome(), PR::Outcome::Printed);
    const QString text = pdfText(pdf);
    ASSERT_EQ(pdfPages(text), 2) << text.toStdString();  // 37 + 23
    const QString first = pdfPage(text, 1), second = pdfPage(text, 2);
    for (const char* expected : {"タグ名", "TAG01", "ﾃﾞｰﾀ数", "60", "TAGLINE", "【設定値】", "50.0", "5.0",
                                 "【演算値】", "CH1 [ﾟC ]", "CH2 [ﾟC ]", "CH3 [ ]", "CH4 [V  ]", "最大値", "60.0",
                                 "19.9", "0.50", "作業者", "コメント", "W1", "C2", "1 / 2", "2024/02/01 08:01:00"}) {
        EXPECT_TRUE(squeezed(first).contains(squeezed(QString::fromUtf8(expected)))) << expected;
    }
    EXPECT_FALSE(first.contains(QStringLiteral("積算基準値")));  // no integration reference row in a TAG table
    EXPECT_TRUE(squeezed(second).contains(QStringLiteral("2/2")));
    EXPECT_TRUE(squeezed(second).contains(QStringLiteral("C60")));

    const PrintSheets& sheets = *dlg->sheets();
    // Both blocks: the table's head row at 89 mm; 37 rows, the last ending at 279.
    EXPECT_EQ(find(sheets, 0, QStringLiteral(" No."))->y, 90 - 6);
    EXPECT_EQ(find(sheets, 0, QStringLiteral("      37"))->y, 89 + 37 * 5 + 1 - 6);
    // Record 3's CH1 is over range: right-aligned at 96 mm, no marks.
    const auto over = find(sheets, 0, QStringLiteral("      O.R."));
    ASSERT_TRUE(over);
    EXPECT_EQ(over->x, 96 - 6);
    // Alarm letters and extreme marks: record 60 above 50.0 and the maximum.
    EXPECT_TRUE(find(sheets, 1, QStringLiteral("▲H   60.0")));
    EXPECT_TRUE(find(sheets, 0, QStringLiteral("▼L    1.0")));
    // Numbers continue on the second page; an empty worker leaves its cell empty.
    EXPECT_EQ(find(sheets, 1, QStringLiteral("      38"))->y, 24 + 5 + 1 - 6);
    EXPECT_FALSE(sheets.pageTexts(0).contains(QStringLiteral("W2")));
    EXPECT_EQ(find(sheets, 1, QStringLiteral("2 / 2"))->y, 285 - 6);
}

// The settings and computed-values blocks of both tables: each row's label
// 1 mm below its top (LOG settings at 49 mm, TAG at 39 mm; the computed block
// below them), the reference row and alarm counts only in a LOG table.
void expectBlockRows(const PrintSheets& sheets, bool tag) {
    struct Row {
        const char* label;
        float logTop, tagTop;  // 0: not printed
    };
    const Row rows[] = {
        {"【設定値】", 49, 39}, {"    CH1", 49, 39},   {"ｾﾝｻ/入力", 54, 44},    {"上限警報値", 59, 49},
        {"下限警報値", 64, 54}, {"積算基準値", 69, 0}, {"【演算値】", 79, 64}, {"最大値", 84, 69},
        {"平均値", 94, 79},     {"下限警報数", 114, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.label);
        const float top = tag ? r.tagTop : r.logTop;
        const auto placed = find(sheets, 0, QString::fromUtf8(r.label));
        if (top == 0) {
            EXPECT_FALSE(placed);
            continue;
        }
        ASSERT_TRUE(placed);
        EXPECT_EQ(placed->y, top + 1 - 6);
    }
}

TEST_F(TablePrintTest, LogSettingsAndComputedRowsStandAtTheirPositions) {
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    auto dlg = run(pdfDir + QStringLiteral("/logblocks.pdf"), nullptr, 0x1f, /*allPages=*/false);
    ASSERT_EQ(dlg->outcome(), PR::Outcome::Printed);
    expectBlockRows(*dlg->sheets(), /*tag=*/false);
}

TEST_F(TablePrintTest, TagSettingsAndComputedRowsStandAtTheirPositions) {
    ASSERT_NE(openTagSet(60), nullptr);
    auto dlg = run(pdfDir + QStringLiteral("/tagblocks.pdf"), nullptr, 0x1f, /*allPages=*/false);
    ASSERT_EQ(dlg->outcome(), PR::Outcome::Printed);
    expectBlockRows(*dlg->sheets(), /*tag=*/true);
}

TEST_F(TablePrintTest, AnEmptyTagPrintsOnePageWithItsHeadAndBlankStatistics) {
    ASSERT_NE(openTagSet(0), nullptr);
    struct Case {
        int items;
        float computedHead, tableHead;  // y of "【演算値】" (0: none) and of " No."
    };
    for (const Case& c : {Case{0x1f, 65, 90}, Case{0x1e, 40, 65}, Case{0x1d, 0, 65}, Case{0x1c, 0, 40}}) {
        SCOPED_TRACE(c.items);
        auto dlg = run(pdfDir + QStringLiteral("/empty.pdf"), nullptr, c.items);
        ASSERT_EQ(dlg->outcome(), PR::Outcome::Printed);
        const PrintSheets& sheets = *dlg->sheets();
        EXPECT_EQ(sheets.pageCount(), 1);
        EXPECT_EQ(dlg->page_count().page_total, 1);
        EXPECT_TRUE(find(sheets, 0, QStringLiteral("0")));  // the data count
        EXPECT_EQ(find(sheets, 0, QStringLiteral(" No."))->y, c.tableHead - 6);
        EXPECT_FALSE(find(sheets, 0, QStringLiteral("       1")));  // no record rows
        EXPECT_TRUE(find(sheets, 0, QStringLiteral("1 / 1")));
        if (c.computedHead == 0) {
            EXPECT_FALSE(find(sheets, 0, QStringLiteral("【演算値】")));
            continue;
        }
        EXPECT_EQ(find(sheets, 0, QStringLiteral("【演算値】"))->y, c.computedHead - 6);
        // No channel has counted values: the maximum row holds four blank cells.
        const QStringList texts = sheets.pageTexts(0);
        const qsizetype maxRow = texts.indexOf(QStringLiteral("最大値"));
        ASSERT_GE(maxRow, 0);
        for (int n = 1; n <= 4; ++n) EXPECT_EQ(texts.value(maxRow + n), QString(9, QLatin1Char(' ')));
    }
}

TEST_F(TablePrintTest, TagGraphRangeStartsAtTheDrawnRangesFirstRecord) {
    TagTableWindow* w = openTagSet(60);
    ASSERT_NE(w, nullptr);
    area().clsLOGGER_GraphInfo().let_GrpDrw_StartPos(21);
    area().clsLOGGER_GraphInfo().let_GrpDrw_EndPos(30);
    GraphPrintSource g;
    g.window = w;
    g.title = QStringLiteral("TAG GRAPH");
    auto dlg = run(pdfDir + QStringLiteral("/taggraph.pdf"), &g);
    ASSERT_EQ(dlg->outcome(), PR::Outcome::Printed);
    const PrintSheets& sheets = *dlg->sheets();
    EXPECT_EQ(sheets.pageCount(), 1);
    EXPECT_TRUE(find(sheets, 0, QStringLiteral("      21")));
    EXPECT_TRUE(find(sheets, 0, QStringLiteral("      30")));
    EXPECT_FALSE(find(sheets, 0, QStringLiteral("      20")));
    EXPECT_FALSE(find(sheets, 0, QStringLiteral("      31")));
    EXPECT_TRUE(find(sheets, 0, QStringLiteral("C21")));
    // The TAG head keeps the whole data set's count.
    EXPECT_TRUE(find(sheets, 0, QStringLiteral("60")));
    EXPECT_TRUE(find(sheets, 0, QStringLiteral("TAG GRAPH")));
}

TEST_F(TablePrintTest, ADrawnRangeBeyondTheTablePrintsOnlyTheRowsThere) {
    scenario();
    log_data* w = openLogger();
    ASSERT_NE(w, nullptr);
    area().clsLOGGER_GraphInfo().let_GrpDrw_StartPos(4);
    area().clsLOGGER_GraphInfo().let_GrpDrw_EndPos(500);  // the table holds 6 records
    GraphPrintSource g;
    g.window = w;
    auto dlg = run(pdfDir + QStringLiteral("/beyond.pdf"), &g);
    ASSERT_EQ(dlg->outcome(), PR::Outcome::Printed);
    EXPECT_EQ(dlg->page_count().first_rows, 3);
    EXPECT_TRUE(find(*dlg->sheets(), 0, QStringLiteral("       6")));
    EXPECT_FALSE(find(*dlg->sheets(), 0, QStringLiteral("       7")));
}

// Prints all pages of the active window to the current printer with a click
// on 印刷停止 as soon as the first page is on the printer.
std::unique_ptr<PR> printAndStopAfterAPage(QWidget* parent, const PrintHooks& hooks) {
    auto dlg = std::make_unique<PR>(nullptr, parent, hooks);
    dlg->Option2->click();
    dlg->show();
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (dlg->pages_sent() == 0) return;
        clicker.stop();
        QTest::mouseClick(dlg->Command3, Qt::LeftButton);
    });
    clicker.start(0);
    QTest::mouseClick(dlg->Command1, Qt::LeftButton);
    return dlg;
}

TEST_F(TablePrintTest, StopInTheMiddleLeavesNoOutput) {
    ASSERT_NE(openTagSet(300), nullptr);
    const QString pdf = pdfDir + QStringLiteral("/stopped.pdf");
    PrintHooks hooks = hooksTo(pdf);
    auto dlg = std::make_unique<PR>(nullptr, home.get(), hooks);
    dlg->Option2->click();
    qint32 lastRow = 0;
    dlg->setRowObserver([&](qint32 row) {
        lastRow = row;
        if (row == 120) dlg->Command3->click();  // the user presses 印刷停止 on page 3
    });
    dlg->Command1_Click();
    EXPECT_EQ(dlg->outcome(), PR::Outcome::Stopped);
    EXPECT_EQ(lastRow, 120);          // the row loop was left at once
    EXPECT_EQ(dlg->sheets(), nullptr);  // the job was discarded
    EXPECT_TRUE(pdfRequests.empty());   // nothing was sent to the printer
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(QDir(pdfDir).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_FALSE(dlg->isVisible());

    // Clicked while the pages go to the printer: no further page, no file.
    auto sending = printAndStopAfterAPage(home.get(), hooks);
    EXPECT_EQ(sending->outcome(), PR::Outcome::Stopped);
    EXPECT_EQ(sending->pages_sent(), 1);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(QDir(pdfDir).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(TablePrintTest, StopBeforeOkPrintsNoPage) {
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    const QString pdf = pdfDir + QStringLiteral("/early.pdf");
    auto dlg = std::make_unique<PR>(nullptr, home.get(), hooksTo(pdf));
    dlg->Command3->click();
    dlg->Command1_Click();
    EXPECT_EQ(dlg->outcome(), PR::Outcome::Stopped);
    EXPECT_FALSE(QFile::exists(pdf));
}

// Sheets whose printer fails at the nth operation and works again afterwards.
class FailingSheets : public PrintSheets {
public:
    explicit FailingSheets(int failAt, int* ops) : m_failAt(failAt), m_ops(ops) {}
    bool text_left(double x, double y, int size, const QString& t) override {
        return count() && PrintSheets::text_left(x, y, size, t);
    }
    bool text_right(double x, double y, int size, const QString& t) override {
        return count() && PrintSheets::text_right(x, y, size, t);
    }
    bool box(double x1, double y1, double x2, double y2) override {
        return count() && PrintSheets::box(x1, y1, x2, y2);
    }

private:
    bool count() { return ++*m_ops != m_failAt; }
    int m_failAt;
    int* m_ops;
};

TEST_F(TablePrintTest, APrinterErrorAbortsTheJobWithAMessage) {
    ASSERT_NE(openTagSet(120), nullptr);
    struct Case {
        const char* where;
        int failAt;
    };
    // In the page head, in the first page's rows, and on the last page.
    for (const Case& c : {Case{"page head", 1}, Case{"first page rows", 400}, Case{"last page", 1200}}) {
        SCOPED_TRACE(c.where);
        const QString pdf = pdfDir + QStringLiteral("/error.pdf");
        int ops = 0;
        PrintHooks hooks = hooksTo(pdf);
        hooks.sheets = [&] { return std::make_unique<FailingSheets>(c.failAt, &ops); };
        ScopedMessageBoxHook box;
        auto dlg = run(pdf, nullptr, 0x1f, true, hooks);
        EXPECT_EQ(dlg->outcome(), PR::Outcome::PrinterError);
        ASSERT_EQ(box.texts().size(), 1u);
        EXPECT_EQ(box.texts()[0], QStringLiteral("プリンターでエラーが発生したため、印刷を中止しました。"));
        EXPECT_EQ(box.records()[0].icon, platform::MsgIcon::Exclamation);
        EXPECT_FALSE(QFile::exists(pdf));
        EXPECT_LT(ops, 1300);  // the run stopped instead of drawing its remaining pages
        pdfRequests.clear();
    }
}

// A print server of the test's own, on a socket in a temporary folder, with
// a queue "MQ" that prints to nothing, reached through CUPS_SERVER.
struct PrivateCups {
    static QString tool(const char* name) { return QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/bin"}); }
    static bool admin(const char* name, const QStringList& args) {
        QProcess p;
        p.start(tool(name), args);
        return p.waitForFinished(60000) && p.exitCode() == 0;
    }
    PrivateCups() {
        const QString d = dir.path();
        // Any client may do anything, the test's tools included.
        writeAll(d + "/cupsd.conf", QStringLiteral("Listen %1/socket\nBrowsing No\n<Policy default>\n<Limit All>\n"
                                                   "</Limit>\n</Policy>\n").arg(d).toUtf8());
        writeAll(d + "/cups-files.conf", QStringLiteral("FileDevice Yes\nServerRoot %1\nStateDir %1\nCacheDir %1\n"
                                                        "RequestRoot %1\nTempDir %1\nErrorLog %1/log\nAccessLog %1/log\n"
                                                        "PageLog %1/log\nPrintcap %1/printcap\n").arg(d).toUtf8());
        cupsd.start(tool("cupsd"), {"-f", "-c", d + "/cupsd.conf", "-s", d + "/cups-files.conf"});
        qputenv("CUPS_SERVER", (d + "/socket").toUtf8());
        cupsSetServer(nullptr);  // the next request of this thread reads CUPS_SERVER
        // The queue is added once the server answers.
        for (int tries = 0; cupsd.state() != QProcess::NotRunning && tries < 1000; ++tries) {
            if (admin("lpadmin", {"-p", "MQ", "-E", "-v", "file:///dev/null"})) return;
            cupsd.waitForFinished(20);
        }
        ADD_FAILURE() << "the print server did not start";
    }
    ~PrivateCups() {
        cupsd.terminate();
        cupsd.waitForFinished();
        qunsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    }
    QStringList jobNames() const {
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, "MQ", 0, CUPS_WHICHJOBS_ALL);
        QStringList names;
        for (int i = 0; i < n; ++i) names << QString::fromUtf8(jobs[i].title);
        cupsFreeJobs(n, jobs);
        return names;
    }
    QTemporaryDir dir;
    QProcess cupsd;
};

// A system queue: a paused one holds a named job, a stop while the pages
// are sent leaves it nothing, and one that refuses jobs is a printer error.
TEST_F(TablePrintTest, ASystemQueueHoldsTheNamedJobAndItsRefusalIsAnError) {
    if (PrivateCups::tool("cupsd").isEmpty()) GTEST_SKIP() << "cupsd is not installed";
    PrivateCups cups;
    ASSERT_TRUE(PrivateCups::admin("cupsdisable", {"MQ"}));
    ASSERT_NE(openTagSet(300), nullptr);
    home_state().current_printer = QStringLiteral("MQ");
    ScopedMessageBoxHook box;
    EXPECT_EQ(run(QString())->outcome(), PR::Outcome::Printed);
    EXPECT_EQ(cups.jobNames(), QStringList{QStringLiteral("マロウクイル - TAG01")});
    EXPECT_EQ(printAndStopAfterAPage(home.get(), hooksTo(QString()))->outcome(), PR::Outcome::Stopped);
    EXPECT_EQ(cups.jobNames().size(), 1);
    EXPECT_TRUE(box.texts().empty());

    ASSERT_TRUE(PrivateCups::admin("cupsreject", {"MQ"}));
    EXPECT_EQ(run(QString())->outcome(), PR::Outcome::PrinterError);
    EXPECT_EQ(box.texts(), std::vector<QString>{QStringLiteral("プリンターでエラーが発生したため、印刷を中止しました。")});
    EXPECT_EQ(cups.jobNames().size(), 1);
}

TEST_F(TablePrintTest, APdfThatCannotBeWrittenIsReportedAndLeavesNothing) {
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    const QString pdf = pdfDir + QStringLiteral("/missing/folder/out.pdf");
    ScopedMessageBoxHook box;
    auto dlg = run(pdf);
    EXPECT_EQ(dlg->outcome(), PR::Outcome::PrinterError);
    ASSERT_EQ(box.texts().size(), 1u);
    EXPECT_TRUE(box.texts()[0].startsWith(QStringLiteral("ファイルを作成できませんでした。"))) << box.texts()[0].toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

// A disk that fills up while the PDF is written: whatever room there was,
// the print says so, the old file stays and no temporary file is left.
TEST_F(TablePrintTest, AFullDiskKeepsTheOldPdfAndSaysSo) {
    auto disk = FullDisk::make(4 << 20);
    if (!disk) GTEST_SKIP() << FullDisk::whyNot().toStdString();
    ASSERT_NE(openTagSet(300), nullptr);
    const QString pdf = disk->path() + QStringLiteral("/tag.pdf");
    writeAll(pdf, "old print");
    for (const int room : {4096, 16384, 40960, 0}) {
        disk->fill(room);
        ScopedMessageBoxHook box;
        EXPECT_EQ(run(pdf)->outcome(), PR::Outcome::PrinterError) << room;
        disk->release();
        EXPECT_EQ(box.texts(), std::vector<QString>{file_write_error_message(pdf)});
        EXPECT_EQ(readAll(pdf), QByteArray("old print"));
        EXPECT_EQ(disk->entries(), QStringList{QStringLiteral("tag.pdf")});
    }
}

TEST_F(TablePrintTest, ACancelledFileNamePrintsNothing) {
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    PrintHooks hooks = hooksTo(QString());
    hooks.dialog = [](QWidget*, const FileDialogRequest&) { return FileDialogAnswer{}; };
    auto dlg = run(QString(), nullptr, 0x1f, true, hooks);
    EXPECT_EQ(dlg->outcome(), PR::Outcome::Cancelled);
    EXPECT_TRUE(QDir(pdfDir).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(TablePrintTest, DialogStartsWithEveryItemAndTheFirstPageOnly) {
    PR dlg(nullptr, home.get());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("表印刷の設定"));
    for (QCheckBox* c : {dlg.Check1, dlg.Check2, dlg.Check3, dlg.Check4, dlg.Check5}) EXPECT_TRUE(c->isChecked());
    EXPECT_TRUE(dlg.Option1->isChecked());
    EXPECT_TRUE(dlg.print_first_page_only());
    EXPECT_FALSE(dlg.print_from_graph_flag());
    dlg.show();
    EXPECT_FALSE(dlg.Label1->isVisible());
    dlg.Option2->click();
    EXPECT_FALSE(dlg.print_first_page_only());
    EXPECT_TRUE(dlg.Label1->isVisible());
    // The warning fits the dialog's opening size.
    EXPECT_LE(dlg.Label1->geometry().bottom(), dlg.height());
    EXPECT_GE(dlg.Label1->height(), dlg.Label1->heightForWidth(dlg.Label1->width()));
    const QString samples = qEnvironmentVariable("MQ_PRINT_SAMPLES");
    if (!samples.isEmpty()) dlg.grab().save(samples + QStringLiteral("/pr_dialog.png"));
    dlg.Option1->click();
    EXPECT_TRUE(dlg.print_first_page_only());
    EXPECT_FALSE(dlg.Label1->isVisible());
    dlg.Command2->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.outcome(), PR::Outcome::None);
}

TEST_F(TablePrintTest, WithoutADataWindowNothingIsPrinted) {
    auto dlg = run(pdfDir + QStringLiteral("/none.pdf"));
    EXPECT_EQ(dlg->outcome(), PR::Outcome::NothingToPrint);
    EXPECT_TRUE(pdfRequests.empty());
}

// The print command of the main window through the real printer choice, the
// real print dialog and the real file dialog.
TEST_F(TablePrintTest, PrintCommandRunsThroughTheRealDialogs) {
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    install_table_print_targets(home_state().targets);
    home_state().current_printer.clear();
    const QString pdf = pdfDir + QStringLiteral("/command.pdf");
    QStringList seen;
    // Each dialog is answered once, as it first shows.
    QSet<QWidget*> answered;
    QTimer driver;
    driver.setInterval(20);
    int ticks = 0;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        // A dialog that never goes away fails the test instead of hanging it.
        if (++ticks > 3000) {
            ADD_FAILURE() << "a dialog stayed open: " << modal->metaObject()->className();
            if (auto* d = qobject_cast<QDialog*>(modal)) QMetaObject::invokeMethod(d, "done", Qt::QueuedConnection, Q_ARG(int, 0));
            return;
        }
        // The file dialog may still be reading its folder when first asked:
        // it is answered until it closes.
        if (auto* d = qobject_cast<QFileDialog*>(modal)) {
            if (!answered.contains(modal)) seen << QStringLiteral("file");
            answered.insert(modal);
            // Typed into the name box, as a user does.
            if (auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(pdf);
            QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
            return;
        }
        if (answered.contains(modal)) return;
        answered.insert(modal);
        if (auto* f = qobject_cast<TestForm*>(modal)) {
            seen << QStringLiteral("choice");
            EXPECT_EQ(f->Combo1->itemText(f->Combo1->count() - 1), pdf_file_printer_name());
            f->Combo1->setCurrentIndex(f->Combo1->count() - 1);
            QMetaObject::invokeMethod(f->Command1, "click", Qt::QueuedConnection);
        } else if (auto* p = qobject_cast<PR*>(modal)) {
            seen << QStringLiteral("print");
            p->Option2->click();
            // Clicked from the event loop, not from this timer: a timer does
            // not fire again while its own handler runs the print.
            QMetaObject::invokeMethod(p->Command1, "click", Qt::QueuedConnection);
        }
    });
    driver.start();
    home->print_data_Click();
    driver.stop();
    EXPECT_EQ(seen, (QStringList{"choice", "print", "file"}));
    EXPECT_EQ(home_state().current_printer, pdf_file_printer_name());
    const QString text = pdfText(pdf);
    EXPECT_EQ(pdfPages(text), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("TESTLOG1")));
    EXPECT_TRUE(home_state().app_idle_flag);
}

}  // namespace
}  // namespace mq::test
