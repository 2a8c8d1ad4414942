// The graph window on real LOG data windows: opening on a 30,001-record
// ".ML2" file with the statistics of whole, zoomed and paged ranges checked
// against the generator, the options carried through the data set's graph
// information, the picture's pixels for a small known data set, and the busy
// guard of the statistics pass.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include "fake_source.h"
#include "graph_fixture.h"
#include "main_window/home.h"
#include "main_window/small_windows.h"
#include "model/cur_accessors.h"
#include "platform/grid.h"

namespace {

using namespace mq;
using namespace mq::test;

// The file is written once per test program.
QString genFile() {
    static QString path;
    if (path.isEmpty()) {
        path = dataHome() + QStringLiteral("/graph_30001.ml2");
        writeGenFile(path, 30001);
    }
    return path;
}

class GraphWindowTest : public GraphFixture {
protected:
    // Every channel's statistics row equals the generator's for the drawn range.
    void expectStatistics(fGraph& g, bool upper, const char* when) {
        SCOPED_TRACE(when);
        const GraphState& s = graph_state();
        for (int ch = 1; ch <= 4; ++ch) {
            SCOPED_TRACE("CH" + std::to_string(ch));
            EXPECT_EQ(gridRow(g, ch).join(u'|').toStdString(),
                      genExpectedRow(ch - 1, s.graph_start_pos, s.graph_end_pos, upper).join(u'|').toStdString());
            QStringList kept;
            for (int c = 0; c < 6; ++c) kept << s.graph_stat_texts[size_t(c)][ch];
            EXPECT_EQ(kept, gridRow(g, ch));
        }
    }
};

TEST_F(GraphWindowTest, OpensOnA30001RecordFileWithStatisticsOfEachDrawnRange) {
    log_data* w = openFile(genFile());
    ASSERT_NE(w, nullptr);
    clsLOGGER_SETTING& s = model().act_file_data->clsLOGGER_SETTING();
    const QString hSum = s.Ch_h_sum(0), lSum = s.Ch_l_sum(0), base = s.Ch_sum_std_count(0);

    ASSERT_TRUE(home->mGrp_Draw_Click());
    fGraph* g = fGraph::current();
    ASSERT_NE(g, nullptr);
    const GraphState& gs = graph_state();
    EXPECT_EQ(gs.graph_rec_count, 30001);
    EXPECT_EQ(gs.graph_start_pos, 1);
    EXPECT_EQ(gs.graph_end_pos, 30001);
    EXPECT_EQ(g->laDataNum()->text(), QStringLiteral("データ数：30001"));
    EXPECT_EQ(g->laInteval()->text(), QStringLiteral("収録間隔：00:00:10"));
    EXPECT_EQ(gs.ch_unit_text[1], QStringLiteral("ﾟC "));
    EXPECT_EQ(gs.ch_unit_text[3], QStringLiteral(" V "));
    EXPECT_EQ(gs.ch_decimals[3], 2);
    EXPECT_FALSE(home->isEnabled());
    EXPECT_FALSE(home_state().app_idle_flag);
    EXPECT_FALSE(g->keptImage().isNull());
    EXPECT_EQ(g->time_label_step(), 3000);
    expectStatistics(*g, true, "whole data");
    // The automatic scale holds every valid value in five divisions.
    for (int ch = 1; ch <= 4; ++ch) {
        EXPECT_EQ(gs.ch_h_scale[ch] - gs.ch_l_scale[ch], 5 * g->ch_tick_step(ch)) << ch;
        EXPECT_GE(gs.ch_h_scale[ch], g->stats(ch).max) << ch;
        EXPECT_LE(gs.ch_l_scale[ch], g->stats(ch).min) << ch;
    }

    // Zoom to the second quarter of the plot's width, the whole height.
    const graph::PlotRect r = g->plotRect();
    GraphState want = gs;
    graph::mouse_range(want, r, r.left + r.width / 4, r.top, r.left + r.width / 2, r.top + r.height);
    g->gImage_MouseDown(Qt::LeftButton, r.left + r.width / 4, r.top);
    g->gImage_MouseMove(Qt::LeftButton, r.left + r.width / 3, r.top + 10);
    g->gImage_MouseUp(Qt::LeftButton, r.left + r.width / 2, r.top + r.height);
    EXPECT_EQ(gs.graph_start_pos, want.graph_start_pos);
    EXPECT_EQ(gs.graph_end_pos, want.graph_end_pos);
    EXPECT_EQ(gs.graph_zoom_flag, 1);
    EXPECT_EQ(g->laDataNum()->text(), QStringLiteral("データ数：%1").arg(gs.graph_end_pos - gs.graph_start_pos + 1));
    expectStatistics(*g, true, "zoomed");

    // Paging keeps the width; both buttons work in the middle of the data.
    const qint32 width = gs.graph_end_pos - gs.graph_start_pos;
    const qint32 before = gs.graph_end_pos;
    EXPECT_TRUE(g->gPrevPage()->isEnabled());
    EXPECT_TRUE(g->gNextPage()->isEnabled());
    g->gNextPage()->click();
    EXPECT_EQ(gs.graph_start_pos, before + 1);
    EXPECT_EQ(gs.graph_end_pos - gs.graph_start_pos, width);
    expectStatistics(*g, true, "next page");
    g->gNextPage_Click();
    g->gNextPage_Click();
    g->gNextPage_Click();
    EXPECT_EQ(gs.graph_end_pos, 30001);
    EXPECT_EQ(gs.graph_end_pos - gs.graph_start_pos, width);
    EXPECT_FALSE(g->gNextPage()->isEnabled());
    expectStatistics(*g, true, "last page");

    // The lower integration when the data window shows it; the automatic range.
    w->Option2()->setChecked(true);
    g->popRange_Click();
    EXPECT_EQ(gs.graph_start_pos, 1);
    EXPECT_EQ(gs.graph_end_pos, 30001);
    EXPECT_EQ(gs.graph_zoom_flag, 0);
    expectStatistics(*g, false, "automatic range, lower integration");
    // Another integration reference over the same range: the integration follows it.
    const QStringList lower = gridRow(*g, 1);
    graph_state().ch_sum_std_count[1] += 10;
    g->popRange_Click();
    EXPECT_NE(gridRow(*g, 1), lower);
    graph_state().ch_sum_std_count[1] -= 10;
    g->popRange_Click();
    EXPECT_EQ(gridRow(*g, 1), lower);

    g->gPrevPage_Click();  // nothing before the whole data: ignored
    EXPECT_EQ(gs.graph_start_pos, 1);

    g->gImage_MouseDown(Qt::LeftButton, r.left + 10, r.top + 10);
    g->gImage_MouseUp(Qt::LeftButton, r.left + 10, r.top + 10);  // a click does not zoom
    EXPECT_EQ(gs.graph_zoom_flag, 0);

    closeGraph();
    EXPECT_EQ(fGraph::current(), nullptr);
    EXPECT_TRUE(home->isEnabled());
    EXPECT_TRUE(home_state().app_idle_flag);
    // The data window's statistics are those of the whole data again.
    EXPECT_EQ(s.Ch_h_sum(0), hSum);
    EXPECT_EQ(s.Ch_l_sum(0), lSum);
    EXPECT_EQ(s.Ch_sum_std_count(0), base);
    EXPECT_EQ(model().act_file_data->clsLOGGER_GraphInfo().GrpDrw_EndPos(), 30001);
}

TEST_F(GraphWindowTest, OptionsComeFromTheDataSetAndGoBackOnClosing) {
    scenario();
    log_data* w = openLogger();
    ASSERT_NE(w, nullptr);
    clsLOGGER_GraphInfo& gi = area().clsLOGGER_GraphInfo();
    gi.let_Title(QStringLiteral("  炉の温度  "));
    gi.let_CH_GraphDrawSw(QStringLiteral("1011"));
    gi.let_CH_GraphAxDrawSw(QStringLiteral("10"));
    gi.let_H_Alm_Sw(0, QStringLiteral("1"));
    gi.let_L_Alm_Sw(3, QStringLiteral("1"));
    gi.let_Sum_Std_Sw(3, QStringLiteral("1"));
    gi.let_Std_Sw(0, QStringLiteral("1"));
    gi.let_Std_Value(0, QStringLiteral("-5.0"));
    gi.let_Ch_h_Scale_FileString(0, QStringLiteral("400"));
    gi.let_Ch_l_Scale_FileString(0, QStringLiteral("0"));
    gi.let_Ch_comment(0, QStringLiteral("炉内"));
    gi.let_DataMark_Sw(QStringLiteral("1"));
    gi.let_LIneBold_Sw(QStringLiteral("2"));
    gi.let_Label_Sw(QString());
    gi.let_Ch_G_color(2, 0x123456);
    gi.let_GrdDispSort(QStringLiteral("4321"));
    gi.let_GrpDrw_StartPos(2);
    gi.let_GrpDrw_EndPos(5);
    gi.let_worker_name(QStringLiteral("        "));

    ASSERT_TRUE(home->mGrp_Draw_Click());
    fGraph* g = fGraph::current();
    ASSERT_NE(g, nullptr);
    GraphState& gs = graph_state();
    EXPECT_EQ(gs.graph_title, QStringLiteral("炉の温度"));
    EXPECT_EQ(g->txtTitle()->text(), QStringLiteral("炉の温度"));
    EXPECT_EQ(g->txtSagyosya()->text(), QString());  // eight blanks show as empty
    EXPECT_EQ(g->txtLogName()->text(), QStringLiteral("TESTLOG1"));
    EXPECT_FALSE(g->txtLogName()->isEnabled());
    EXPECT_EQ((std::array<bool, 5>{gs.ch_graph_draw_sw[1], gs.ch_graph_draw_sw[2], gs.ch_graph_draw_sw[3],
                                   gs.ch_graph_draw_sw[4]}),
              (std::array<bool, 5>{true, false, true, true}));
    EXPECT_FALSE(gs.ch_graph_ax_draw_sw[3]);  // a short switch text leaves the rest off
    EXPECT_TRUE(gs.h_alm_sw[1]);
    EXPECT_FALSE(gs.h_alm_sw[4]);  // the lower switch is not read
    EXPECT_DOUBLE_EQ(gs.ch_h_alm[1], 30.0);
    EXPECT_EQ(gs.ch_h_alm_text[1], QStringLiteral("30"));
    EXPECT_EQ(gs.ch_scale_manual[1], 1);
    EXPECT_EQ(gs.ch_h_scale[1], 400);
    EXPECT_EQ(gs.ch_scale_manual[4], 0);
    EXPECT_EQ(gs.graph_ch_comment[1], QStringLiteral("炉内"));
    EXPECT_TRUE(g->menuItem(QStringLiteral("mpDMark"))->isChecked());
    EXPECT_TRUE(g->menuItem(QStringLiteral("mpLIneSe1"))->isChecked());
    EXPECT_TRUE(g->menuItem(QStringLiteral("mpLabel"))->isChecked());  // any text but "0" is on
    EXPECT_EQ(gs.graph_zoom_flag, 1);
    EXPECT_EQ(gs.graph_start_pos, 2);
    EXPECT_EQ(gs.graph_end_pos, 5);
    EXPECT_EQ(g->gpgrid()->TextMatrix(1, 0), QStringLiteral("CH4 [ﾟC ]"));
    EXPECT_EQ(g->gpgrid()->TextMatrix(4, 0), QStringLiteral("CH1 [ﾟC ]"));
    EXPECT_EQ(g->gpgrid()->TextMatrix(4, 7), QStringLiteral("炉内"));
    // CH2 is not in use: its row stays empty; CH4 is all over range or missing.
    EXPECT_EQ(g->gpgrid()->TextMatrix(3, 0), QString());
    EXPECT_EQ(g->gpgrid()->TextMatrix(1, 3), QStringLiteral("-----"));

    // Toolbar: line width toggles, labels off.
    g->Toolbar1_ButtonClick(6);
    EXPECT_EQ(gs.graph_line_width, 1);
    g->Toolbar1_ButtonClick(5);
    EXPECT_EQ(gs.graph_label_sw, 0);
    g->Toolbar1_ButtonClick(2);  // a separator does nothing
    // Rows 1 and 2 change places by a drag over the names.
    g->gpgrid_MouseDown(1, 0, Qt::LeftButton);
    g->gpgrid_MouseUp(2, 0, Qt::LeftButton);
    EXPECT_EQ(g->gpgrid()->TextMatrix(2, 0), QStringLiteral("CH4 [ﾟC ]"));
    // A drop on an empty name changes nothing.
    g->gpgrid_MouseDown(1, 0, Qt::LeftButton);
    g->gpgrid_MouseUp(3, 0, Qt::LeftButton);
    // Comments: 16 bytes go in, 17 are refused with the message.
    EXPECT_TRUE(g->gpgrid_ValidateEdit(4, 7, QStringLiteral("あいうえおかきく")));
    std::vector<platform::MessageRecord> boxes;
    {
        platform::ScopedMessageBoxHook hook([&](const platform::MessageRecord& m) {
            boxes.push_back(m);
            return platform::MsgResult::OK;
        });
        EXPECT_FALSE(g->gpgrid_ValidateEdit(4, 7, QStringLiteral("あいうえおかきくa")));
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("CHコメントは16バイトまで入力可能です。")));
    g->gpgrid()->setTextMatrix(4, 7, QStringLiteral("炉の奥"));
    g->gpgrid_AfterEdit(4, 7);
    EXPECT_FALSE(g->comment_edit_allowed(3));  // CH2's row (not in use)
    g->txtComment()->setText(QStringLiteral("試験"));

    // Statistics texts for printing are what the grid shows, empty cells of
    // a switched-off trace included.
    gs.ch_graph_draw_sw[1] = false;
    g->S_paraset();
    for (int c = 0; c < 6; ++c) EXPECT_EQ(gs.graph_stat_texts[size_t(c)][1], QString()) << c;
    EXPECT_EQ(g->gpgrid()->TextMatrix(4, 7), QString());
    gs.ch_graph_draw_sw[1] = true;
    g->S_paraset();

    closeGraph();
    EXPECT_EQ(gi.H_Alm_Sw(0), QStringLiteral("1"));
    EXPECT_EQ(gi.L_Alm_Sw(0), QStringLiteral("1"));  // one switch for both lines
    EXPECT_EQ(gi.L_Alm_Sw(3), QStringLiteral("0"));
    EXPECT_EQ(gi.Std_Value_FileString(0), QStringLiteral("  -50"));
    EXPECT_EQ(gi.LIneBold_Sw(), QStringLiteral("1"));
    EXPECT_EQ(gi.Label_Sw(), QStringLiteral("0"));
    EXPECT_EQ(gi.DataMark_Sw(), QStringLiteral("1"));
    EXPECT_EQ(gi.GrdDispSort(), QStringLiteral("3421"));
    EXPECT_EQ(gi.Ch_comment(0).trimmed(), QStringLiteral("炉の奥"));
    EXPECT_EQ(gi.Comment(), QStringLiteral("試験      "));
    EXPECT_EQ(gi.worker_name(), QStringLiteral("        "));
    EXPECT_EQ(gi.Ch_h_Scale_FileString(0), QStringLiteral("   400"));
    EXPECT_EQ(gi.CH_GraphAxDrawSw(), QStringLiteral("1000"));
    EXPECT_EQ(gi.CH_GraphDrawSw(), QStringLiteral("1011"));
    EXPECT_EQ(gi.Ch_G_color(2), 0x123456);
    EXPECT_EQ(gi.GrpDrw_StartPos(), 2);
    EXPECT_EQ(gi.GrpDrw_EndPos(), 5);
    EXPECT_EQ(gi.DataCount(), 6);
    EXPECT_EQ(gi.Title().trimmed(), QStringLiteral("炉の温度"));
    EXPECT_EQ(graph_state().graph_zoom_flag, 0);
    EXPECT_EQ(graph_state().ch_scale_manual[1], 0);
}

TEST_F(GraphWindowTest, AutomaticDrawingOpensTheGraphWithTheFile) {
    home->setAutoDrawChecked(true);
    ASSERT_NE(openFile(genFile()), nullptr);
    ASSERT_NE(fGraph::current(), nullptr);
    EXPECT_EQ(graph_state().graph_rec_count, 30001);
    // A second graph command while one is open opens nothing more.
    EXPECT_FALSE(home_state().targets.graph());
}

// ---------------------------------------------------------------- the picture

class GraphPictureTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        // The current data set's options: CH1 only, fixed 0.0..40.0, alarm
        // lines at 30.0 and 10.0, data marks on.
        clsLOGGER_SETTING& s = setting();
        s.let_Ch_input_type(0, QStringLiteral("K"));
        s.let_Ch_period_pos(0, 1);
        clsLOGGER_GraphInfo& gi = area().clsLOGGER_GraphInfo();
        smallPictureOptions(gi);
        gi.let_Label_Sw(QStringLiteral("0"));
        smallPictureValues(src);
        src.marks[2] = src.marks[8] = true;  // records 3 and 9
    }

    fGraph* openOnSource() {
        auto* g = new fGraph(src, nullptr);
        g->show();
        g->gImage()->setFixedSize(640, 360);
        QCoreApplication::processEvents();
        return g;
    }

    FakeSource src;
};

int countColour(const QImage& img, QRect area, QRgb colour) {
    int n = 0;
    area = area.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

TEST_F(GraphPictureTest, TraceGapReferenceLinesAndMarksLieWhereTheDataPutThem) {
    fGraph* g = openOnSource();
    const QImage img = g->keptImage();
    ASSERT_EQ(img.size(), QSize(640, 360));
    const graph::PlotRect r = g->plotRect();
    const double xpr = g->x_per_record();
    EXPECT_DOUBLE_EQ(xpr, r.width / 10);
    const QRgb green = qRgb(0, 192, 0);
    auto xOf = [&](double rec) { return r.left + (rec - 1) * xpr; };
    auto yOf = [&](double v) { return r.top + (400 - v) * r.height / 400; };

    const qint32 v[11] = {100, 150, 200, 250, 300, 0, 200, 150, 100, 50, 120};
    for (int a : {1, 2, 3, 4, 7, 8, 9, 10}) {
        const int x = int(std::lround(xOf(a + 0.5)));
        const int y = int(std::lround(yOf((v[a - 1] + v[a]) / 2.0)));
        EXPECT_GT(countColour(img, QRect(x, y - 2, 1, 5), green), 0) << "segment " << a << "-" << a + 1;
    }
    // No trace into or out of the over-range record 6.
    const int gapFrom = int(xOf(5)) + 4, gapTo = int(xOf(7)) - 4;
    EXPECT_EQ(countColour(img, QRect(gapFrom, int(r.top), gapTo - gapFrom, int(r.height)), green), 0);
    // The point of record 7 after the gap is drawn.
    EXPECT_GT(countColour(img, QRect(int(xOf(7)) - 3, int(yOf(200)) - 3, 7, 7), green), 0);

    // Alarm lines: upper 30.0 light red, lower 10.0 light blue, across the plot.
    auto rowCount = [&](double y, QRgb c) {
        int best = 0;
        for (int dy = -1; dy <= 1; ++dy)
            best = std::max(best, countColour(img, QRect(int(r.left), int(std::lround(y)) + dy, int(r.width), 1), c));
        return best;
    };
    EXPECT_GT(rowCount(yOf(300), qRgb(255, 0, 0)), int(r.width * 0.3));
    EXPECT_GT(rowCount(yOf(100), qRgb(0, 0, 255)), int(r.width * 0.3));
    EXPECT_EQ(rowCount(yOf(200), qRgb(255, 0, 0)), 0);

    // Data marks: solid black columns at records 3 and 9; record 4 only has
    // the dotted time grid.
    auto columnBlack = [&](double x) {
        int best = 0;
        for (int dx = -1; dx <= 1; ++dx)
            best = std::max(best, countColour(img, QRect(int(std::lround(x)) + dx, int(r.top) + 3, 1, int(r.height) - 6),
                                              qRgb(0, 0, 0)));
        return best;
    };
    const int h = int(r.height) - 6;
    EXPECT_GT(columnBlack(xOf(3)), h * 9 / 10);
    EXPECT_GT(columnBlack(xOf(9)), h * 9 / 10);
    EXPECT_LT(columnBlack(xOf(4)), h * 8 / 10);

    // Marks switched off: a full redraw without them.
    g->mpDMark_Click();
    const QImage after = g->keptImage();
    EXPECT_LT(countColour(after, QRect(int(std::lround(xOf(3))), int(r.top) + 3, 1, h), qRgb(0, 0, 0)), h * 8 / 10);
    EXPECT_FALSE(g->menuItem(QStringLiteral("mpDMark"))->isChecked());
    g->close();
}

// The graph takes its options from the data set its records belong to and
// gives them back there, whichever data set is the current one.
TEST_F(GraphPictureTest, OptionsComeFromAndGoBackToTheSourcesDataSet) {
    clsLOGGER_GraphInfo& own = model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L02"))->clsLOGGER_GraphInfo();
    smallPictureOptions(own);
    own.let_Title(QStringLiteral("二番"));
    area().clsLOGGER_GraphInfo().let_Title(QStringLiteral("一番"));
    src.tag = QStringLiteral("L02");
    fGraph* g = openOnSource();
    EXPECT_EQ(g->txtTitle()->text(), QStringLiteral("二番"));
    g->txtTitle()->setText(QStringLiteral("変更"));
    closeGraph();
    EXPECT_EQ(own.Title().trimmed(), QStringLiteral("変更"));
    EXPECT_EQ(area().clsLOGGER_GraphInfo().Title().trimmed(), QStringLiteral("一番"));
}

// Over a long range on a narrow plot the time labels under the plot keep at
// least a digit's width between each other: no stretch of ink in their row is
// wider than one label.
TEST_F(GraphPictureTest, TimeLabelsKeepAGapOnANarrowPlot) {
    src.values.assign(7474, {100, IGraphSource::kNoValue, IGraphSource::kNoValue, IGraphSource::kNoValue});
    src.step = 10;
    area().clsLOGGER_GraphInfo().let_GrpDrw_EndPos(7474);
    fGraph* g = openOnSource();
    for (int width : {480, 560, 640, 900}) {
        g->gImage()->setFixedSize(width, 360);
        QCoreApplication::processEvents();
        const QImage img = g->keptImage();
        const graph::PlotRect r = g->plotRect();
        const QFontMetrics fm(g->gImage()->font());
        const int top = int(r.top + r.height + 1.5 * fm.height()), gap = fm.horizontalAdvance(QLatin1Char('0'));
        const QRgb paper = img.pixel(0, img.height() - 1);
        int start = 0, lastInk = -gap - 1, labels = 0;
        for (int x = 0; x < img.width(); ++x) {
            bool ink = false;
            for (int y = top; y < top + fm.height() && !ink; ++y) ink = img.pixel(x, y) != paper;
            if (!ink) continue;
            if (x - lastInk > gap) start = x, ++labels;
            lastInk = x;
            EXPECT_LE(x - start, fm.horizontalAdvance(QStringLiteral("00:00:00")) + 1) << width << " at x " << x;
        }
        EXPECT_GE(labels, 3) << width;
    }
}

TEST_F(GraphPictureTest, ReadoutNamesTheTimeAndValueNearTheTrace) {
    src.start = QDateTime(QDate(2024, 6, 1), QTime(8, 0, 30), Qt::UTC);
    fGraph* g = openOnSource();
    const graph::PlotRect r = g->plotRect();
    const double xpr = g->x_per_record();
    const double y3 = r.top + (400 - 200) * r.height / 400;
    // Record 3 of a one-minute interval started off the minute reads 08:02:00.
    EXPECT_EQ(g->readout_text(r.left + 2 * xpr + 3, y3 + 4), QStringLiteral("2024/06/01 08:02:00 20.0ﾟC "));
    EXPECT_EQ(g->readout_text(r.left + 2 * xpr + 3, y3 + 40), QString());    // far from the trace
    EXPECT_EQ(g->readout_text(r.left + 2.5 * xpr, y3), QString());           // between two records
    EXPECT_EQ(g->readout_text(r.left + 5 * xpr, r.top + r.height - 2), QString());  // over range
    EXPECT_EQ(g->readout_text(r.left, r.top + (400 - 100) * r.height / 400),
              QStringLiteral("2024/06/01 08:00:30 10.0ﾟC "));  // the first record reads its own time
    g->close();
}

TEST_F(GraphPictureTest, NoSecondPassStartsInsideARunningOne) {
    fGraph* g = openOnSource();
    GraphState& gs = graph_state();
    int dialogs = 0;
    gs.targets[GraphCommand::RangeDialog] = [&](fGraph&) { ++dialogs; };
    gs.targets[GraphCommand::SvlineDialog] = [&](fGraph&) { ++dialogs; };
    // Zoom to 3..7 so that both paging buttons work.
    gs.graph_start_pos = 3;
    gs.graph_end_pos = 7;
    gs.graph_zoom_flag = 1;
    ASSERT_TRUE(g->redraw());
    ASSERT_TRUE(g->paging_ok_flag());
    const int before = src.integrations;
    bool nestedRedraw = true;
    src.onIntegrate = [&] {
        EXPECT_TRUE(g->busy());
        nestedRedraw = g->redraw();
        g->gNextPage_Click();
        g->popRange_Click();
        g->mrange_Click();
        g->mpSVline_Click();
        g->gImage_MouseDown(Qt::LeftButton, 100, 100);
        g->gImage_MouseUp(Qt::LeftButton, 300, 200);
    };
    g->gPrevPage_Click();
    src.onIntegrate = nullptr;
    EXPECT_FALSE(nestedRedraw);
    EXPECT_EQ(src.integrations, before + 1);  // one pass, no nested one
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(gs.graph_start_pos, 1);  // the previous page, nothing else
    EXPECT_EQ(gs.graph_end_pos, 5);
    EXPECT_FALSE(g->busy());
    // Once the pass is over the commands work again.
    g->mrange_Click();
    EXPECT_EQ(dialogs, 1);
    g->close();
}

}  // namespace

// ---------------------------------------------------------------- screenshots

// Pictures of the graph for the eye, made only when MARROWQUILL_GRAPH_SHOTS
// names a folder (see the README): a 4-channel file with alarm lines and
// data marks, whole, zoomed, paged and over a long range.
TEST_F(GraphWindowTest, Screenshots) {
    const QString dir = qEnvironmentVariable("MARROWQUILL_GRAPH_SHOTS");
    if (dir.isEmpty()) GTEST_SKIP() << "MARROWQUILL_GRAPH_SHOTS not set";
    QDir().mkpath(dir);
    // The file is kept beside the pictures, to open it in the program too.
    const QString path = dir + QStringLiteral("/graph_shots.ml2");
    writeGenFile(path, 9000);
    ASSERT_NE(openFile(path), nullptr);
    clsLOGGER_GraphInfo& gi = model().act_file_data->clsLOGGER_GraphInfo();
    gi.let_Title(QStringLiteral("焼成炉 温度記録"));
    gi.let_H_Alm_Sw(0, QStringLiteral("1"));
    gi.let_H_Alm_Sw(3, QStringLiteral("1"));
    gi.let_Sum_Std_Sw(1, QStringLiteral("1"));
    gi.let_DataMark_Sw(QStringLiteral("1"));
    gi.let_Ch_comment(0, QStringLiteral("炉内上段"));
    ASSERT_TRUE(home->mGrp_Draw_Click());
    fGraph* g = fGraph::current();
    ASSERT_NE(g, nullptr);
    processEventsFor(300);
    EXPECT_TRUE(g->grab().save(dir + QStringLiteral("/graph_whole.png")));
    const graph::PlotRect r = g->plotRect();
    g->gImage_MouseDown(Qt::LeftButton, r.left + r.width * 0.40, r.top + r.height * 0.05);
    g->gImage_MouseUp(Qt::LeftButton, r.left + r.width * 0.44, r.top + r.height * 0.6);
    g->mpLabel_Click();
    processEventsFor(200);
    EXPECT_TRUE(g->grab().save(dir + QStringLiteral("/graph_zoomed.png")));
    g->gNextPage_Click();
    processEventsFor(200);
    EXPECT_TRUE(g->grab().save(dir + QStringLiteral("/graph_paged.png")));
    // A long drawn range, where the inner time labels stand closest.
    graph_state().graph_start_pos = 1;
    graph_state().graph_end_pos = 7474;
    ASSERT_TRUE(g->redraw());
    processEventsFor(200);
    EXPECT_TRUE(g->grab().save(dir + QStringLiteral("/graph_long.png")));
}

namespace {

// The real colour dialog of the grid's colour change: a chosen colour
// becomes the channel's trace colour and is drawn; a cancelled one changes
// nothing.
TEST_F(GraphPictureTest, ColourChangeRunsTheColourDialog) {
    fGraph* g = openOnSource();
    GraphState& gs = graph_state();
    const qint32 before = gs.ch_g_color[1];
    auto answer = [](bool accept) {
        QTimer::singleShot(0, [accept] {
            waitUntil([] { return qobject_cast<QColorDialog*>(QApplication::activeModalWidget()) != nullptr; });
            auto* d = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            d->setCurrentColor(QColor(200, 0, 200));
            if (accept) d->accept();
            else d->reject();
        });
    };
    answer(false);
    g->change_row_colour(1);
    EXPECT_EQ(gs.ch_g_color[1], before);

    answer(true);
    g->change_row_colour(1);
    EXPECT_EQ(gs.ch_g_color[1], qint32(0xC800C8));
    quint32 border = 0;
    EXPECT_TRUE(g->gpgrid()->cellBorderAt(1, 0, &border));
    EXPECT_EQ(border, 0xC800C8u);
    const graph::PlotRect r = g->plotRect();
    EXPECT_GT(countColour(g->keptImage(), QRect(int(r.left), int(r.top), int(r.width), int(r.height)), qRgb(200, 0, 200)), 0);
    g->close();
}

TEST_F(GraphPictureTest, TablePrintWithoutAPrinterSaysSoAndPrintsNothing) {
    if (!installed_printers().isEmpty()) GTEST_SKIP() << "this machine has printers";
    fGraph* g = openOnSource();
    // Not even the PDF file printer is offered.
    g->printerList = [] { return QStringList(); };
    int printed = 0;
    home_state().targets.table_print_graph = [&](const GraphPrintSource&) { ++printed; };
    std::vector<platform::MessageRecord> boxes;
    platform::ScopedMessageBoxHook hook([&](const platform::MessageRecord& m) {
        boxes.push_back(m);
        return platform::MsgResult::OK;
    });
    g->gTablePrint_Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("プリンターが見つかりません。"));
    EXPECT_EQ(boxes[0].icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(printed, 0);
    EXPECT_FALSE(graph_state().print_from_graph_flag);
    g->close();
}

}  // namespace

namespace {

// A pass over 1000 records or more that outlasts one time slice shows the
// graph-preparation bar, sized by the range and the channels present, gives
// the event loop turns, and closes the bar at its end.
TEST_F(GraphPictureTest, ALongStatisticsPassShowsThePreparationBar) {
    src.units = {QStringLiteral("ﾟC "), QString(), QStringLiteral("ﾟC "), QString()};
    src.values.clear();
    for (qint32 r = 1; r <= 1100; ++r)
        src.values.push_back({r % 300, IGraphSource::kNoValue, 100 + r % 7, IGraphSource::kNoValue});
    area().clsLOGGER_GraphInfo().let_GrpDrw_EndPos(1100);
    fGraph* g = openOnSource();
    QString seenTitle;
    int seenMaximum = -1;
    src.onIntegrate = [&] {
        QThread::msleep(40);  // a slow integration: the pass outlasts its slice
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* bar = qobject_cast<fGrready*>(w); bar && bar->isVisible()) {
                    seenTitle = bar->windowTitle();
                    seenMaximum = bar->ProgressBar1->maximum();
                }
            }
        });
    };
    const int yieldsBefore = g->yields();
    ASSERT_TRUE(g->redraw());
    src.onIntegrate = nullptr;
    EXPECT_GT(g->yields(), yieldsBefore);
    EXPECT_EQ(seenTitle, QStringLiteral("ｸﾞﾗﾌ描画準備中"));
    EXPECT_EQ(seenMaximum, 220);  // (1100 - 1) / 10 x 2 channels
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* bar = qobject_cast<fGrready*>(w)) {
            EXPECT_FALSE(bar->isVisible());
        }
    }
    g->close();
}

}  // namespace

namespace {

TEST_F(GraphPictureTest, ReaderClampsItsArgumentsAndADayIntervalIsOneDay) {
    src.step = 86400;
    fGraph* g = openOnSource();
    EXPECT_EQ(graph_state().graph_interval_text, QStringLiteral("24:00:00"));
    EXPECT_EQ(graph_state().graph_interval_secs, 86400);
    qint32 row = 0;
    int ch = 0;
    EXPECT_EQ(g->graph_decimal_get(row, ch), 100);  // record 1 of CH1
    EXPECT_EQ(row, 1);
    EXPECT_EQ(ch, 1);
    row = 99;
    ch = 9;
    EXPECT_EQ(g->graph_decimal_get(row, ch), graph::kInvalid);  // CH4 holds no value
    EXPECT_EQ(row, 11);
    EXPECT_EQ(ch, 4);
    row = 6;
    ch = 1;
    EXPECT_EQ(g->graph_decimal_get(row, ch), graph::kInvalid);  // over range
    g->close();
}

}  // namespace

namespace {

TEST_F(GraphPictureTest, AStoredRangeOutsideTheDataIsBroughtInside) {
    struct Case {
        qint32 start, end, wantStart, wantEnd;
        int zoom;
    };
    const Case cases[] = {{0, 99, 1, 11, 0}, {-5, 4, 1, 4, 1}, {7, 7, 6, 7, 1}, {30, 40, 10, 11, 1}};
    for (const Case& c : cases) {
        area().clsLOGGER_GraphInfo().let_GrpDrw_StartPos(c.start);
        area().clsLOGGER_GraphInfo().let_GrpDrw_EndPos(c.end);
        fGraph* g = openOnSource();
        EXPECT_EQ(graph_state().graph_start_pos, c.wantStart) << c.start << ".." << c.end;
        EXPECT_EQ(graph_state().graph_end_pos, c.wantEnd) << c.start << ".." << c.end;
        EXPECT_EQ(graph_state().graph_zoom_flag, c.zoom) << c.start << ".." << c.end;
        EXPECT_FALSE(g->keptImage().isNull());
        closeGraph();
    }
}

}  // namespace
