// The LOG data window at the size it opens with: the settings, the whole
// statistics table and every record column readable without resizing, the
// records table taking the height that is left, the window inside the work
// area. With MQ_SCREENSHOT_DIR set, pictures of the main window are saved
// there (run under Xvfb with QT_QPA_PLATFORM=xcb to look at them).
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include "log_data/log_data.h"
#include "log_files_fixture.h"
#include "platform/grid.h"

namespace mq::test {
namespace {

class LogLayoutTest : public LogFilesFixture {
protected:
    void SetUp() override {
        LogFilesFixture::SetUp();
        home->resize(1024, 768);
        QCoreApplication::processEvents();
    }

    // A logger area with all four channels in use and more records than fit.
    void fullScenario(int records) {
        clsLOGGER_SETTING& s = setting();
        s.let_log_name(QStringLiteral("ﾃｽﾄ1"));
        s.let_Worker(QStringLiteral("ｻｷﾞｮｳｼｬ"));
        s.let_Comment(QStringLiteral("ｺﾒﾝﾄ"));
        channel(0, QStringLiteral("K"), 1, QStringLiteral("30.0"), QStringLiteral("10.0"), QStringLiteral("20.0"));
        channel(1, QStringLiteral("J"), 1, QStringLiteral("30.0"), QStringLiteral("10.0"), QStringLiteral("20.0"));
        channel(2, QStringLiteral("V"), 2, QStringLiteral("1.00"), QStringLiteral("0.00"), QStringLiteral("0.00"));
        s.let_Ch_unit(2, QStringLiteral("mV"));
        channel(3, QStringLiteral("T"), 1, QStringLiteral("100.0"), QStringLiteral("10.0"), QStringLiteral("0.0"));
        recording(civil(2013, 12, 10, 10, 0, 0), civil(2013, 12, 10, 10, 0, 0).addSecs(60LL * (records - 1)),
                  QStringLiteral("00:01:00"), records);
        std::vector<RawRecord> recs;
        for (int i = 0; i < records; ++i) {
            recs.push_back({{QStringLiteral("%1").arg(200 + i, 5), QStringLiteral("%1").arg(-150 + i, 5),
                             QStringLiteral("%1").arg(1234, 5), QStringLiteral("%1").arg(999, 5)},
                            QLatin1Char(i % 5 == 0 ? '1' : '0')});
        }
        reply = buildReply(recs);
    }

    void shoot(const QString& name) { saveScreenshot(home.get(), name); }

    // What a reader of the window at its opening size must see.
    void expectReadable(log_data* w) {
        QMdiSubWindow* sub = home->winTable().subWindowOf(w);
        ASSERT_NE(sub, nullptr);
        EXPECT_FALSE(sub->isMinimized());
        // Inside the work area of the main window.
        const QRect area = home->mdiArea()->viewport()->rect();
        EXPECT_TRUE(area.contains(sub->geometry())) << "window outside the work area";

        // Every setting label shows its whole text.
        for (QLabel* l : {w->Label5(), w->Label21(), w->Label20(), w->Label19(), w->Label23(), w->Label22(),
                          w->Label1()}) {
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
            EXPECT_GE(l->height(), l->sizeHint().height()) << l->text().toStdString();
        }

        // The statistics table is exactly as tall and wide as its cells: no
        // scroll bars, no empty band under the seven rows.
        platform::Grid* stats = w->MSFlexGrid2();
        int dataRows = 0;
        for (int r = 1; r < stats->Rows(); ++r) dataRows += stats->RowHeight(r);
        EXPECT_EQ(stats->viewport()->height(), dataRows);
        int dataCols = 0;
        for (int c = 1; c < stats->Cols(); ++c) dataCols += stats->ColWidth(c);
        EXPECT_EQ(stats->viewport()->width(), dataCols);
        EXPECT_FALSE(stats->horizontalScrollBar()->isVisible());
        EXPECT_FALSE(stats->verticalScrollBar()->isVisible());
        const QFontMetrics fm(stats->font());
        for (int c = 0; c < stats->Cols(); ++c) {
            for (int r = 0; r < stats->Rows(); ++r) {
                EXPECT_GE(stats->ColWidth(c), fm.horizontalAdvance(stats->TextMatrix(r, c)) + 4)
                    << "statistics cell " << r << "," << c << " " << stats->TextMatrix(r, c).toStdString();
            }
        }

        // Every column of the records table fits; it takes the rest of the
        // height and shows a good number of records.
        platform::Grid* recs = w->vsFlexGrid1();
        EXPECT_FALSE(recs->horizontalScrollBar()->isVisible()) << "records table needs a horizontal scroll bar";
        const QFontMetrics rfm(recs->font());
        for (int c = 0; c < recs->Cols(); ++c) {
            EXPECT_GE(recs->ColWidth(c), rfm.horizontalAdvance(recs->TextMatrix(0, c)) + 4)
                << "records heading " << recs->TextMatrix(0, c).toStdString();
        }
        const int shownRows = recs->viewport()->height() / recs->RowHeight(1);
        EXPECT_GE(shownRows, 8) << "records rows shown at the opening size";
        const int below = w->height() - (recs->mapTo(w, QPoint(0, recs->height())).y());
        EXPECT_LE(below, 12) << "an empty band under the records table";
    }
};

TEST_F(LogLayoutTest, ALoggerWindowShowsItsDataAtItsOpeningSize) {
    fullScenario(40);
    log_data* w = openLogger();
    ASSERT_NE(w, nullptr);
    home->winTable().subWindowOf(w)->setEnabled(true);  // as the select dialog does when it ends
    QCoreApplication::processEvents();
    shoot(QStringLiteral("log_logger_window"));
    expectReadable(w);

    // In a main window smaller than the window's opening size the next
    // window is cut to the work area and lies inside it.
    home->resize(700, 420);
    QCoreApplication::processEvents();
    model().act_logger_data = model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L02"));
    fullScenario(40);
    log_data* second = openLogger(QStringLiteral("02"));
    ASSERT_NE(second, nullptr);
    QCoreApplication::processEvents();
    shoot(QStringLiteral("log_logger_window_small_main"));
    const QRect area = home->mdiArea()->viewport()->rect();
    EXPECT_TRUE(area.contains(home->winTable().subWindowOf(second)->geometry()));
}

TEST_F(LogLayoutTest, AFileWindowShowsItsDataAtItsOpeningSize) {
    fullScenario(40);
    ASSERT_NE(openLogger(), nullptr);
    const QString path = files + QStringLiteral("/layout.ml2");
    save(path, 1);
    home_state().close_reason = 1;
    home->allclose_Click();
    home_state().close_reason = 0;
    log_data* w = openFile(path);
    ASSERT_NE(w, nullptr);
    QCoreApplication::processEvents();
    shoot(QStringLiteral("log_file_window"));
    expectReadable(w);

    // Tiled in a small main window beside a logger window, neither gives up
    // its settings or statistics: the work area scrolls instead.
    log_data* logger = openLogger();
    ASSERT_NE(logger, nullptr);
    home->resize(800, 500);
    QCoreApplication::processEvents();
    home->mdiArea()->tileSubWindows();
    QCoreApplication::processEvents();
    shoot(QStringLiteral("log_windows_tiled"));
    for (log_data* d : {w, logger}) {
        SCOPED_TRACE(d->windowTitle().toStdString());
        EXPECT_GE(d->width(), d->minimumWidth());
        EXPECT_GE(d->height(), d->minimumHeight());
        for (QLabel* l : {d->Label5(), d->Label23(), d->Label22(), d->Label1()}) {
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
            EXPECT_GE(l->height(), l->sizeHint().height()) << l->text().toStdString();
        }
        EXPECT_FALSE(d->MSFlexGrid2()->verticalScrollBar()->isVisible());
        EXPECT_GE(d->vsFlexGrid1()->viewport()->height(), 2 * d->vsFlexGrid1()->RowHeight(1));
    }
}

}  // namespace
}  // namespace mq::test
