// Graph printing to the PDF file printer: the page count, the header texts
// and the statistics table read back with pdftotext from a print of a
// generated four-channel file; the printer checks and cancels; a failure at
// any step aborts the job and leaves no file.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

#include "common/full_disk.h"
#include "fake_source.h"
#include "graph/graph_dialogs.h"
#include "graph/graph_print.h"
#include "model/graph_print_source.h"
#include "model/data_sets.h"
#include "graph_fixture.h"
#include "main_window/small_windows.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "platform/safe_file.h"

namespace {

using namespace mq;
using namespace mq::test;

QString genFile3000() {
    static QString path;
    if (path.isEmpty()) {
        path = dataHome() + QStringLiteral("/graph_print_3000.ml2");
        writeGenFile(path, 3000);
    }
    return path;
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString squeeze(QString s) {
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}

class GraphPrintTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        out = dataHome() + QStringLiteral("/prints");
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        home_state().current_printer = pdf_file_printer_name();
        hooks.dialog = [this](QWidget*, const FileDialogRequest&) {
            ++fileDialogs;
            return FileDialogAnswer{!cancelFile, target, 1};
        };
    }

    fGraph* openGen() {
        EXPECT_NE(openFile(genFile3000()), nullptr);
        clsLOGGER_GraphInfo& gi = model().act_file_data->clsLOGGER_GraphInfo();
        gi.let_Title(QStringLiteral("焼成炉 温度記録"));
        gi.let_H_Alm_Sw(0, QStringLiteral("1"));
        gi.let_DataMark_Sw(QStringLiteral("1"));
        gi.let_Ch_comment(0, QStringLiteral("炉内上段"));
        EXPECT_TRUE(home->mGrp_Draw_Click());
        fGraph* g = fGraph::current();
        if (g) {
            // Printing goes through the menu item, with the test's hooks.
            graph_state().targets[GraphCommand::GraphPrint] = [this](fGraph& w) {
                ++prints;
                result = graph_print(w, hooks);
            };
        }
        return g;
    }

    // Answers the printer choice (the real dialog) with OK or Cancel.
    void answerPrinterChoice(bool ok) {
        QTimer::singleShot(0, [this, ok] {
            auto* form = qobject_cast<TestForm*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            choiceSeen = true;
            const int pdf = form->Combo1->findText(pdf_file_printer_name());
            ASSERT_GE(pdf, 0);
            form->Combo1->setCurrentIndex(pdf);
            (ok ? form->Command1 : form->Command2)->click();
        });
    }

    void print(fGraph& g) { g.menuItem(QStringLiteral("mgPrint"))->trigger(); }

    QStringList leftovers() const {
        return QDir(out).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QString out;
    QString target;
    bool cancelFile = false;
    bool choiceSeen = false;
    int fileDialogs = 0;
    int prints = 0;
    GraphPrintHooks hooks;
    GraphPrintResult result;
};

TEST_F(GraphPrintTest, PrintsOnePageWithTheHeaderAndTheStatisticsTable) {
    fGraph* g = openGen();
    ASSERT_NE(g, nullptr);
    struct Case {
        const char* what;
        qint32 start, end;
    };
    const Case cases[] = {{"whole data", 1, 3000}, {"a drawn range", 101, 300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GraphState& gs = graph_state();
        gs.graph_zoom_flag = c.start == 1 && c.end == 3000 ? 0 : 1;
        gs.graph_start_pos = c.start;
        gs.graph_end_pos = c.end;
        ASSERT_TRUE(g->redraw());
        target = out + QStringLiteral("/graph_%1.pdf").arg(c.start);
        answerPrinterChoice(true);
        platform::ScopedMessageBoxHook boxes;
        print(*g);
        EXPECT_TRUE(choiceSeen);
        EXPECT_TRUE(boxes.records().empty());
        ASSERT_TRUE(result.printed) << result.message.toStdString();
        EXPECT_EQ(result.fontTenths, 90);
        ASSERT_TRUE(QFileInfo::exists(target));
        EXPECT_TRUE(leftovers().contains(QFileInfo(target).fileName()));
        EXPECT_TRUE(leftovers().filter(QRegularExpression(QStringLiteral("^\\."))).isEmpty());
        EXPECT_TRUE(g->isEnabled());
        EXPECT_FALSE(g->busy());

        EXPECT_TRUE(run(QStringLiteral("pdfinfo"), {target}).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
        const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), target, QStringLiteral("-")});
        const QString flat = squeeze(text);
        for (const QString& header : {QStringLiteral("タイトル：焼成炉温度記録"), QStringLiteral("ログ名：GRAPH"),
                                      QStringLiteral("作業者：TANAKA"), QStringLiteral("コメント：LINE2"),
                                      QStringLiteral("データ数：%1").arg(c.end - c.start + 1),
                                      QStringLiteral("収録間隔：00:00:10")})
            EXPECT_TRUE(flat.contains(header)) << header.toStdString();
        // The table: the fixed titles, then each grid row as the generator gives it.
        QStringList lines;
        for (const QString& l : text.split(QLatin1Char('\n'))) lines << squeeze(l);
        EXPECT_TRUE(lines.contains(QStringLiteral("CH名上限警報数下限警報数最大値最小値平均値積算値CHｺﾒﾝﾄ")));
        for (int row = 1; row <= 4; ++row) {
            const int ch = gs.grid_row_order[row];
            const QStringList cells = genExpectedRow(ch - 1, c.start, c.end, true);
            QString expected = squeeze(g->gpgrid()->TextMatrix(row, 0)) + cells.join(QString()) +
                               squeeze(g->gpgrid()->TextMatrix(row, 7));
            EXPECT_TRUE(lines.contains(expected)) << "row " << row << ": " << expected.toStdString() << "\n"
                                                  << text.toStdString();
        }
        EXPECT_TRUE(flat.contains(QStringLiteral("炉内上段")));
        // The channel names of the axes and the first record's date.
        EXPECT_TRUE(flat.contains(QStringLiteral("CH1")));
        EXPECT_TRUE(flat.contains(c.start == 1 ? QStringLiteral("24-05-01") : QStringLiteral("00:16:40")));
    }
}

TEST_F(GraphPrintTest, NothingIsPrintedWhenAChoiceIsCancelledOrNoPrinterIsThere) {
    fGraph* g = openGen();
    ASSERT_NE(g, nullptr);
    target = out + QStringLiteral("/graph.pdf");
    struct Case {
        const char* what;
        std::function<void()> arrange;
        QStringList messages;
        int fileDialogs;
    };
    const Case cases[] = {
        {"printer choice cancelled", [this] { answerPrinterChoice(false); }, {}, 0},
        {"file name cancelled",
         [this] {
             answerPrinterChoice(true);
             cancelFile = true;
         },
         {}, 1},
        {"no printer at all: 4821", [g] { g->printerList = [] { return QStringList(); }; },
         {QStringLiteral("プリンターが見つかりません。")}, 0},
        {"the chosen printer is gone: 4820", [] { home_state().current_printer = QStringLiteral("GoneAway"); },
         {QStringLiteral("プリンターが見つかりません。")}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fileDialogs = 0;
        cancelFile = false;
        g->printerList = [] { return printer_choice_list(); };
        home_state().current_printer = pdf_file_printer_name();
        c.arrange();
        platform::ScopedMessageBoxHook boxes;
        print(*g);
        QStringList shown;
        for (const auto& m : boxes.records()) {
            shown << m.text;
            EXPECT_EQ(m.icon, platform::MsgIcon::Exclamation);
        }
        EXPECT_EQ(shown, c.messages);
        EXPECT_EQ(fileDialogs, c.fileDialogs);
        EXPECT_FALSE(result.printed);
        EXPECT_TRUE(leftovers().isEmpty());
        EXPECT_TRUE(g->isEnabled());
    }
    // The printer that was gone is forgotten: the next print starts from the default.
    home_state().current_printer = QStringLiteral("GoneAway");
    {
        platform::ScopedMessageBoxHook boxes;
        print(*g);
    }
    EXPECT_TRUE(home_state().current_printer.isEmpty());
}

TEST_F(GraphPrintTest, AFailureAbortsTheJobAndLeavesNoFile) {
    fGraph* g = openGen();
    ASSERT_NE(g, nullptr);
    const GraphPrintStep steps[] = {GraphPrintStep::Header, GraphPrintStep::TimeAxis, GraphPrintStep::Traces,
                                    GraphPrintStep::Table};
    for (GraphPrintStep step : steps) {
        SCOPED_TRACE(int(step));
        target = out + QStringLiteral("/failed.pdf");
        // A print already there keeps its bytes when the new one fails.
        const bool existing = step == GraphPrintStep::Table;
        if (existing) writeAll(target, "old print");
        int nested = 0;
        hooks.fail_at = [&, step](GraphPrintStep at) {
            // While the print runs the window is disabled and no second print starts.
            EXPECT_FALSE(g->isEnabled());
            EXPECT_TRUE(g->busy());
            const int before = prints;
            g->mgPrint_Click();
            nested += prints - before;
            return at == step;
        };
        answerPrinterChoice(true);
        platform::ScopedMessageBoxHook boxes;
        print(*g);
        EXPECT_EQ(nested, 0);
        EXPECT_FALSE(result.printed);
        ASSERT_EQ(boxes.records().size(), 1u);
        EXPECT_EQ(boxes.records()[0].text, QStringLiteral("印刷エラーです。"));
        EXPECT_EQ(boxes.records()[0].icon, platform::MsgIcon::None);
        if (existing) {
            EXPECT_EQ(readAll(target), QByteArray("old print"));
            EXPECT_EQ(leftovers(), QStringList{QStringLiteral("failed.pdf")});
            QFile::remove(target);
        } else {
            EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(u' ').toStdString();
        }
        EXPECT_TRUE(g->isEnabled());
        EXPECT_FALSE(g->busy());
    }
}

// A disk that fills up while the PDF is written: whatever room there was,
// the print says so, the old file stays and no temporary file is left; with
// room again (-1) the same printer prints the whole page.
TEST_F(GraphPrintTest, AFullDiskKeepsTheOldPdfAndSaysSo) {
    auto disk = FullDisk::make(4 << 20);
    if (!disk) GTEST_SKIP() << FullDisk::whyNot().toStdString();
    fGraph* g = openGen();
    ASSERT_NE(g, nullptr);
    target = disk->path() + QStringLiteral("/graph.pdf");
    writeAll(target, "old print");
    for (const int room : {4096, 16384, 40960, 0, -1}) {
        if (room >= 0) disk->fill(room);
        answerPrinterChoice(true);
        platform::ScopedMessageBoxHook boxes;
        print(*g);
        disk->release();
        const std::vector<QString> failed{file_write_error_message(target)};
        EXPECT_EQ(boxes.texts(), room >= 0 ? failed : std::vector<QString>{}) << room;
        EXPECT_EQ(readAll(target) == "old print", room >= 0) << room;
        EXPECT_EQ(disk->entries(), QStringList{QStringLiteral("graph.pdf")}) << room;
    }
}

TEST_F(GraphPrintTest, MarginsFollowTheOrientationOfThePageSetup) {
    fGraph* g = openGen();
    ASSERT_NE(g, nullptr);
    struct Case {
        QPageLayout::Orientation orientation;
        const char* size;
    };
    for (const Case& c : {Case{QPageLayout::Landscape, "842 x 595"}, Case{QPageLayout::Portrait, "595 x 842"}}) {
        target = out + QStringLiteral("/o%1.pdf").arg(int(c.orientation));
        // What the page setup dialog would leave in the graph's printer.
        graph_state().printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
        graph_state().printer->setPageOrientation(c.orientation);
        answerPrinterChoice(true);
        print(*g);
        ASSERT_TRUE(result.printed);
        const QString info = run(QStringLiteral("pdfinfo"), {target});
        EXPECT_TRUE(info.contains(QString::fromLatin1(c.size))) << info.toStdString();
        // The header's first row starts the margin plus five widths of "あ"
        // from the left edge: 900 twips (45 pt) upright, 1100 (55 pt) across.
        const QString bbox = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), target, QStringLiteral("-")});
        const QRegularExpression first(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>タイトル"));
        const auto m = first.match(bbox);
        ASSERT_TRUE(m.hasMatch()) << bbox.left(2000).toStdString();
        const double margin = c.orientation == QPageLayout::Portrait ? 45 : 55;
        EXPECT_NEAR(m.captured(2).toDouble(), margin, 4.0);
        EXPECT_GT(m.captured(1).toDouble(), margin + 5 * 9 * 1.5 - 2);
    }
}

// The graph on paper over a small known data set, read back from the page
// rendered at 144 dots per inch (10 twips a dot): every record's segment and
// marker where its value puts it, a gap at the over-range record, the alarm
// lines at their values and the data marks at their records.
TEST_F(GraphPrintTest, TheGraphOnPaperLiesWhereTheDataPutIt) {
    channel(0, QStringLiteral("K"), 1, QStringLiteral("30.0"), QStringLiteral("10.0"), QStringLiteral("20.0"));
    clsLOGGER_GraphInfo& gi = area().clsLOGGER_GraphInfo();
    smallPictureOptions(gi);
    FakeSource src;
    smallPictureValues(src);
    src.marks[3] = src.marks[7] = true;  // records 4 and 8 (the time grid has 3, 5, 7, 9)
    auto* g = new fGraph(src, nullptr);
    g->show();
    QCoreApplication::processEvents();
    graph_state().ch_scale_manual[1] = 1;
    ASSERT_TRUE(g->redraw());
    graph_state().targets[GraphCommand::GraphPrint] = [this](fGraph& w) { result = graph_print(w, hooks); };
    target = out + QStringLiteral("/small.pdf");
    answerPrinterChoice(true);
    print(*g);
    ASSERT_TRUE(result.printed) << result.message.toStdString();
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("144"),
                                     QStringLiteral("-singlefile"), target, out + QStringLiteral("/small")});
    QImage page(out + QStringLiteral("/small.png"));
    ASSERT_FALSE(page.isNull());
    const QRectF r = result.plot;
    auto px = [](double twips) { return int(std::lround(twips / 10.0)); };
    auto xOf = [&](double rec) { return r.left() + (rec - 1) * r.width() / 10; };
    auto yOf = [&](double value) { return r.top() + (400 - value) * r.height() / 400; };
    // Pixels of a colour kind within a few dots of a point on the page.
    auto near = [&](double x, double y, int reach, auto kind) {
        int n = 0;
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                const QPoint p(px(x) + dx, px(y) + dy);
                if (page.rect().contains(p)) n += kind(page.pixelColor(p));
            }
        return n;
    };
    auto green = [](const QColor& c) { return c.green() > 120 && c.red() < 110 && c.blue() < 110; };
    auto red = [](const QColor& c) { return c.red() > 150 && c.green() < 110 && c.blue() < 110; };
    auto blue = [](const QColor& c) { return c.blue() > 150 && c.red() < 110 && c.green() < 110; };
    auto dark = [](const QColor& c) { return c.red() < 90 && c.green() < 90 && c.blue() < 90; };
    const double shown[11] = {100, 150, 200, 250, 300, 0, 200, 150, 100, 50, 120};
    for (int a : {1, 2, 3, 4, 7, 8, 9, 10}) {
        SCOPED_TRACE(a);
        EXPECT_GT(near(xOf(a + 0.5), yOf((shown[a - 1] + shown[a]) / 2), 2, green), 0) << "segment";
        EXPECT_GT(near(xOf(a), yOf(shown[a - 1]), 1, green), 4) << "marker";
    }
    // Nothing leads into or out of the over-range record.
    EXPECT_EQ(near(xOf(5.5), yOf(150), 6, green), 0);
    EXPECT_EQ(near(xOf(6.5), yOf(100), 6, green), 0);
    EXPECT_EQ(near(xOf(6), yOf(0), 6, green), 0);
    // The alarm lines at 30.0 and 10.0, between the records.
    EXPECT_GT(near(xOf(5.7), yOf(300), 1, red), 0);
    EXPECT_GT(near(xOf(5.7), yOf(100), 1, blue), 0);
    // The data marks of records 4 and 8 run the plot's height as solid lines;
    // record 6 has only the dotted time grid (if any).
    auto solidShare = [&](double rec) {
        int rows = 0, hits = 0;
        for (int y = px(r.top()) + 3; y <= px(r.bottom()) - 3; ++y, ++rows) {
            bool hit = false;
            for (int dx = -1; dx <= 1; ++dx) hit = hit || dark(page.pixelColor(px(xOf(rec)) + dx, y));
            hits += hit;
        }
        return double(hits) / rows;
    };
    EXPECT_GT(solidShare(4), 0.9);
    EXPECT_GT(solidShare(8), 0.9);
    EXPECT_LT(solidShare(6), 0.7);
    g->close();
}

// Page setup and printer setup run their real dialogs on the graph's printer,
// after the same printer check as the print.
TEST_F(GraphPrintTest, PageAndPrinterSetupOpenTheirDialogsOnTheGraphsPrinter) {
    fGraph* g = openGen();
    ASSERT_NE(g, nullptr);
    struct Case {
        const char* item;
        const char* dialogClass;
    };
    for (const Case& c : {Case{"mPaperset", "QPageSetupDialog"}, Case{"mPrinterset", "QPrintDialog"}}) {
        SCOPED_TRACE(c.item);
        QString shown;
        QTimer::singleShot(0, [&] {
            QWidget* w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            shown = QString::fromLatin1(w->metaObject()->className());
            static_cast<QDialog*>(w)->reject();
        });
        g->menuItem(QString::fromLatin1(c.item))->trigger();
        EXPECT_TRUE(shown.contains(QString::fromLatin1(c.dialogClass).mid(1))) << shown.toStdString();
        ASSERT_NE(graph_printer(), nullptr);
        // Without any printer the check says so and no dialog opens.
        g->printerList = [] { return QStringList(); };
        platform::ScopedMessageBoxHook boxes;
        g->menuItem(QString::fromLatin1(c.item))->trigger();
        ASSERT_EQ(boxes.records().size(), 1u);
        EXPECT_EQ(boxes.records()[0].text, QStringLiteral("プリンターが見つかりません。"));
        g->printerList = [] { return printer_choice_list(); };
    }
}

// The table print of the drawn range: after the printer choice the table
// printing gets the graph's texts and statistics, with the drawn range in the
// data set's graph options and the from-graph flag up while it runs.
TEST_F(GraphPrintTest, TablePrintOfTheDrawnRangeGetsTheGraphsSource) {
    fGraph* g = openGen();
    ASSERT_NE(g, nullptr);
    GraphState& gs = graph_state();
    gs.graph_zoom_flag = 1;
    gs.graph_start_pos = 11;
    gs.graph_end_pos = 60;
    ASSERT_TRUE(g->redraw());
    g->txtTitle()->setText(QStringLiteral("表の題"));
    GraphPrintSource got;
    int calls = 0;
    bool flag = false;
    home_state().targets.table_print_graph = [&](const GraphPrintSource& s) {
        ++calls;
        got = s;
        flag = gs.print_from_graph_flag;
        const clsLOGGER_GraphInfo& gi = model().act_file_data->clsLOGGER_GraphInfo();
        EXPECT_EQ(gi.GrpDrw_StartPos(), 11);
        EXPECT_EQ(gi.GrpDrw_EndPos(), 60);
    };
    answerPrinterChoice(true);
    g->menuItem(QStringLiteral("gTablePrint"))->trigger();
    ASSERT_EQ(calls, 1);
    EXPECT_TRUE(flag);
    EXPECT_FALSE(gs.print_from_graph_flag);
    EXPECT_EQ(got.title, QStringLiteral("表の題"));
    EXPECT_EQ(got.worker, g->txtSagyosya()->text());
    EXPECT_EQ(got.comment, g->txtComment()->text());
    EXPECT_NE(got.window, nullptr);
    const QStringList expected = genExpectedRow(0, 11, 60, true);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(got.graph_stat_texts[size_t(c)][0], expected[c]);
    // A cancelled choice opens nothing.
    answerPrinterChoice(false);
    g->menuItem(QStringLiteral("gTablePrint"))->trigger();
    EXPECT_EQ(calls, 1);
}

// Pictures of the printed page and of the dialogs at their opening size:
// MARROWQUILL_GRAPH_PRINT=<folder> (see the README).
TEST_F(GraphPrintTest, PrintedPageAndDialogShots) {
    const QString dir = qEnvironmentVariable("MARROWQUILL_GRAPH_PRINT");
    if (dir.isEmpty()) GTEST_SKIP() << "MARROWQUILL_GRAPH_PRINT not set";
    QDir().mkpath(dir);
    fGraph* g = openGen();
    ASSERT_NE(g, nullptr);
    processEventsFor(300);
    target = dir + QStringLiteral("/graph_page.pdf");
    QFile::remove(target);
    answerPrinterChoice(true);
    print(*g);
    ASSERT_TRUE(result.printed) << result.message.toStdString();

    g->mrange_Click();
    fGrarange2* range = fGrarange2::current();
    ASSERT_NE(range, nullptr);
    processEventsFor(200);
    EXPECT_TRUE(range->grab().save(dir + QStringLiteral("/range_dialog_1.png")));
    range->tab->setCurrentIndex(1);
    processEventsFor(100);
    EXPECT_TRUE(range->grab().save(dir + QStringLiteral("/range_dialog_2.png")));
    range->close();
    g->mpSVline_Click();
    fGrasvline* sv = fGrasvline::current();
    ASSERT_NE(sv, nullptr);
    for (int t = 0; t < 3; ++t) {
        sv->SSTab1->setCurrentIndex(t);
        processEventsFor(100);
        EXPECT_TRUE(sv->grab().save(dir + QStringLiteral("/svline_dialog_%1.png").arg(t + 1)));
    }
    sv->close();
    QTimer::singleShot(200, [dir] {
        auto* d = qobject_cast<DlgChDispSw*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(d->grab().save(dir + QStringLiteral("/channel_dialog.png")));
        d->CancelButton->click();
    });
    g->mchan_Click();
}

}  // namespace
