// The table print of the graph's drawn range: the windows it leaves active
// and the integral rows it takes from the graph and from the whole data set.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QMdiArea>
#include <QRadioButton>

#include "graph/graph_fixture.h"
#include "log_data/ml1_file.h"
#include "printing/print_fixture.h"

namespace mq::test {
namespace {

class GraphTablePrintTest : public PrintFixture {
protected:
    void SetUp() override {
        PrintFixture::SetUp();
        install_graph_target(home_state().targets);
        install_table_print_targets(home_state().targets);
    }
    void TearDown() override {
        closeGraph();
        PrintFixture::TearDown();
    }
    // The printer choice by `choose`, the print dialog by OK or Cancel.
    static void answer(QDialog* d, bool choose, bool print) {
        answerPrinterChoice(d, choose);
        if (auto* p = qobject_cast<PR*>(d)) QMetaObject::invokeMethod(print ? p->Command1 : p->Command2, "click", Qt::QueuedConnection);
    }

    GraphSlot graphSlot;
};

// With three data windows open and the graph opened from the middle one,
// every dialog of a table print stands over the graph, the graph is active
// when the print is over, and closing the graph leaves the window it was
// opened from active, however the print ended or when there was none.
TEST_F(GraphTablePrintTest, ThePrintStandsOverTheGraphAndItsCloseLeavesTheOpenerActive) {
    std::vector<log_data*> windows;
    for (int i = 0; i < 3; ++i) {
        writeGenFile(files + QStringLiteral("/w%1.ml2").arg(i), 40);
        windows.push_back(openFile(files + QStringLiteral("/w%1.ml2").arg(i)));
    }
    struct Case {
        bool printFirst, choose, print;
        QStringList dialogs;
    };
    for (const Case& c : {Case{false, false, false, {}}, Case{true, true, true, {"mq::TestForm", "mq::PR", "QFileDialog"}},
                          Case{true, true, false, {"mq::TestForm", "mq::PR"}}, Case{true, false, false, {"mq::TestForm"}}}) {
        SCOPED_TRACE(c.dialogs.join(u' ').toStdString());
        home->mdiArea()->setActiveSubWindow(home->winTable().subWindowOf(windows[1]));
        ASSERT_TRUE(home->mGrp_Draw_Click());
        fGraph* g = fGraph::current();
        DialogDriver driver;
        driver.file = pdfDir + QStringLiteral("/range.pdf");
        driver.answer = [&c](QDialog* d) { answer(d, c.choose, c.print); };
        driver.start();
        if (c.printFirst) g->menuItem(QStringLiteral("gTablePrint"))->trigger();
        driver.finish();
        EXPECT_EQ(driver.met, c.dialogs);
        EXPECT_TRUE(driver.overGraph);
        EXPECT_EQ(QApplication::activeWindow(), g);
        closeGraph();
        EXPECT_EQ(home->activeDataWindow(), windows[1]);
        EXPECT_EQ(QApplication::activeWindow(), home.get());
    }
}

// From the graph, the integral row of the kind the data window shows carries
// the graph's figure for the drawn range and the other row the whole data
// set's, for the newer and the older LOG file alike.
TEST_F(GraphTablePrintTest, TheOtherIntegralRowKeepsTheWholeDataSetsFigure) {
    const QString ml2 = files + QStringLiteral("/sums.ml2"), ml1 = files + QStringLiteral("/sums.ML1");
    writeGenFile(ml2, 200);
    static const char* const kCh1[] = {"15.0", "25.0", "35.0", "18.0", "12.5", "22.0", "30.0", "10.0"};
    std::vector<QByteArray> times;
    std::vector<std::array<const char*, 6>> records;
    for (int i = 0; i < 24; ++i) times.push_back(QByteArrayLiteral("24/01/15 10:") + QByteArray::number(10 + i) + ":17");
    for (int i = 0; i < 24; ++i) records.push_back({times[size_t(i)].constData(), kCh1[i % 8], "0.0", "0.50", i % 3 ? "5.0" : "-2.0", "0"});
    ASSERT_TRUE(writeFile(ml1, ml1File(records)));
    for (const QString& path : {ml2, ml1}) {
        for (bool upper : {true, false}) {
            SCOPED_TRACE(path.toStdString() + (upper ? " H" : " L"));
            log_data* w = openFile(path);
            ASSERT_NE(w, nullptr);
            (upper ? w->Option1() : w->Option2())->click();
            const clsLOGGER_SETTING& s = model().act_file_data->clsLOGGER_SETTING();
            const std::array<double, 4> whole = {upper ? s.Ch_l_sum_value(0) : s.Ch_h_sum_value(0), 0, 0,
                                                 upper ? s.Ch_l_sum_value(3) : s.Ch_h_sum_value(3)};
            model().act_file_data->clsLOGGER_GraphInfo().let_GrpDrw_StartPos(3);
            model().act_file_data->clsLOGGER_GraphInfo().let_GrpDrw_EndPos(9);
            ASSERT_TRUE(home->mGrp_Draw_Click());
            std::unique_ptr<PR> dlg;
            home_state().targets.table_print_graph = [&](const GraphPrintSource& src) { dlg = run(pdfDir + "/s.pdf", &src); };
            DialogDriver driver;
            driver.answer = [](QDialog* d) { answer(d, true, false); };
            driver.start();
            fGraph::current()->gTablePrint_Click();
            driver.finish();
            ASSERT_TRUE(dlg && dlg->sheets());
            const QStringList texts = dlg->sheets()->pageTexts(0);
            const int hRow = int(texts.indexOf(QStringLiteral("H積算値[*h]"))), lRow = int(texts.indexOf(QStringLiteral("L積算値[*h]")));
            for (int n : {0, 3}) {
                const QString format = channel_value_format(s, n);
                const QString range = format_graph_text(graph_state().graph_stat_texts[5][n + 1], format);
                EXPECT_EQ(texts.value((upper ? hRow : lRow) + 1 + n), block_cell_text(range)) << n;
                EXPECT_EQ(texts.value((upper ? lRow : hRow) + 1 + n), block_cell_text(platform::format(whole[size_t(n)], format))) << n;
            }
            closeGraph();
            home->winTable().win_active_close();
        }
    }
}

}  // namespace
}  // namespace mq::test
