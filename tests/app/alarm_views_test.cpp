// One LOG data set with alarm values set, not set and set at 0.0, read from
// the simulated logger: its window, the window of its saved .ML2, the graph
// of each and their printed tables (from the window and from the graph) show
// the same alarm counts and marks, and "-----" for a value that is not set.
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "common/sim_home.h"
#include "graph/fgraph.h"
#include "graph/graph_state.h"
#include "log_data/integration.h"
#include "log_data/log_data.h"
#include "log_data/log_data_files.h"
#include "log_data/log_data_select.h"
#include "log_data/log_read_targets.h"
#include "log_data/ops_log_files.h"
#include "main_window/connect_command.h"
#include "main_window/file_open.h"
#include "main_window/file_save.h"
#include "main_window/identity_check.h"
#include "main_window/small_windows.h"
#include "platform/grid.h"
#include "printing/print_sheets.h"
#include "printing/table_print.h"
#include "sequencer/file_progress.h"
#include "sequencer/ops_log_read.h"

namespace mq::test {
namespace {

// Area 1: CH1 a lone upper alarm 25.0, CH2 a lone lower alarm set at 0.0,
// CH3 none set, CH4 upper 0.0 above lower -10.0; six records.
logger_sim::Scenario alarmScenario() {
    logger_sim::Scenario s = logger_sim::defaultScenario();
    logger_sim::LogArea& a = s.areas[0];
    const char* const alarms[4][2] = {{"  250", "-----"}, {"-----", "    0"}, {"-----", "-----"}, {"    0", " -100"}};
    for (int c = 0; c < 4; ++c) {
        a.channels[c] = logger_sim::ChannelSetting{};
        a.channels[c].highAlarm = QString::fromLatin1(alarms[c][0]);
        a.channels[c].lowAlarm = QString::fromLatin1(alarms[c][1]);
    }
    a.records = {{{"  240", "   10", "  -15", "   -5"}}, {{"  251", "   -1", "   18", "    1"}},
                 {{"-1500", "    0", "-----", " -101"}}, {{"32767", "  300", "   20", "    0"}},
                 {{"  260", " -200", "  -12", " -100"}}, {{"  250", "32766", "    5", "   50"}}};
    a.stop = a.start.addSecs(50);
    return s;
}
// The mark of each record and channel: H upper, L lower alarm.
const char* const kMarks[6] = {"    ", "HL H", "   L", "    ", "HL  ", "   H"};

int countOf(int ch, char band) {
    int n = 0;
    for (const char* m : kMarks) n += m[ch] == band;
    return n;
}

class AlarmViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString failed = openHomeOnSimulator(sim, home);
        ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
        HomeTargets& t = home_state().targets;
        t.comm_dialog = [](const QString&) {};
        t.loggerconnect = [this] { loggerconnect_Click(*home); };
        install_log_data_targets(t);
        install_log_data_select_target(t, home.get());
        install_log_file_targets(t);
        install_log_file_operations();
        const FileDialogFn dialog = [this](QWidget*, const FileDialogRequest&) {
            return FileDialogAnswer{true, path, 1};
        };
        install_file_open_target(t, FileOpenHooks{dialog, [](const QString&) { return false; }});
        install_file_save_target(t, FileSaveHooks{dialog, &prog_run_save});
        prog_install_connect_check();
        install_log_read_operations();
        install_graph_target(t);
        t.table_print_graph = [this](const GraphPrintSource& g) {
            ++graphPrints;
            checkPrint(printed(&g), true);
        };
        home_state().current_printer = pdf_file_printer_name();
        home->loggerconnect_Click();
    }
    void TearDown() override { closeHomeOnSimulator(home, sim); }

    // The texts of the first printed page (to PDF).
    QStringList printed(const GraphPrintSource* graph) {
        PrintHooks h;
        h.dialog = [this](QWidget*, const FileDialogRequest&) { return FileDialogAnswer{true, path + ".pdf", 1}; };
        PR dlg(graph, home.get(), std::move(h));
        dlg.Command1_Click();
        return dlg.sheets() ? dlg.sheets()->pageTexts(0) : QStringList{};
    }

    // Rows with their H and L, the counts, and "-----" for the values not set.
    static void checkPrint(const QStringList& texts, bool fromGraph) {
        SCOPED_TRACE(fromGraph ? "printed from the graph" : "printed from the window");
        const auto after = [&](const QString& label, int n) { return texts.value(texts.indexOf(label) + n).trimmed(); };
        for (int r = 0; r < 6; ++r) {
            const QDateTime at = alarmScenario().areas[0].start.addSecs(10 * r);
            const qsizetype i = texts.lastIndexOf(at.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
            ASSERT_GE(i, 0) << r;
            for (int ch = 0; ch < 4; ++ch) {
                const QString cell = texts.value(i + 1 + ch);  // marks, the letter, a blank, six of value
                EXPECT_EQ(cell.at(cell.size() - 8), QLatin1Char(kMarks[r][ch])) << r << cell.toStdString();
            }
        }
        for (int ch = 0; ch < 4; ++ch) {
            EXPECT_EQ(after(QStringLiteral("上限警報数"), ch + 1), QString::number(countOf(ch, 'H'))) << ch;
            EXPECT_EQ(after(QStringLiteral("下限警報数"), ch + 1), QString::number(countOf(ch, 'L'))) << ch;
            const QString dashes = QStringLiteral("-----");
            EXPECT_EQ(after(QStringLiteral("上限警報値"), ch + 1) == dashes, ch == 1 || ch == 2) << ch;
            EXPECT_EQ(after(QStringLiteral("下限警報値"), ch + 1) == dashes, ch == 0 || ch == 2) << ch;
        }
    }

    // The window's statistics and colours, its printed table, its graph's
    // counts and the graph's printed table.
    void checkViews(log_data& w) {
        for (int ch = 0; ch < 4; ++ch) {
            EXPECT_EQ(w.MSFlexGrid2()->TextMatrix(5, ch + 1).trimmed(), QString::number(countOf(ch, 'H'))) << ch;
            EXPECT_EQ(w.MSFlexGrid2()->TextMatrix(6, ch + 1).trimmed(), QString::number(countOf(ch, 'L'))) << ch;
            for (int r = 0; r < 6; ++r) {
                const char m = kMarks[r][ch];
                const quint32 colour = m == 'H' ? kHighAlarmColour : m == 'L' ? kLowAlarmColour : 0;
                EXPECT_EQ(w.vsFlexGrid1()->foreColorAt(r + 1, ch + 3), colour) << r << "," << ch;
            }
        }
        checkPrint(printed(nullptr), false);
        ASSERT_TRUE(home->mGrp_Draw_Click());
        fGraph* g = fGraph::current();
        ASSERT_NE(g, nullptr);
        for (int ch = 1; ch <= 4; ++ch) {
            EXPECT_EQ(graph_state().graph_stat_texts[0][ch], QString::number(countOf(ch - 1, 'H'))) << ch;
            EXPECT_EQ(graph_state().graph_stat_texts[1][ch], QString::number(countOf(ch - 1, 'L'))) << ch;
        }
        QTimer::singleShot(0, [] {
            if (auto* form = qobject_cast<TestForm*>(QApplication::activeModalWidget())) {
                form->Combo1->setCurrentIndex(form->Combo1->findText(pdf_file_printer_name()));
                form->Command1->click();
            }
        });
        const int before = graphPrints;
        g->gTablePrint_Click();
        EXPECT_EQ(graphPrints, before + 1);
        g->close();
        QCoreApplication::processEvents();
    }

    ModelSlot modelSlot;
    LinkSlot linkSlot;
    HomeSlot homeSlot;
    SeqSlot seqSlot;
    ConnectionSlot connSlot;
    LogDataSlot logDataSlot;
    GraphSlot graphSlot;
    logger_sim::Simulator sim{configDir(), alarmScenario()};
    std::unique_ptr<HOME> home;
    QString path = dataHome() + QStringLiteral("/alarms.ml2");
    int graphPrints = 0;
};

TEST_F(AlarmViewsTest, EveryViewShowsTheSameAlarms) {
    ASSERT_TRUE(link().link_connected_flag);
    platform::ScopedMessageBoxHook boxes(platform::MsgResult::OK);
    QTimer::singleShot(0, [] {
        waitUntil([] { return seq().log_list_read_done && log_data_select::openInstance(); }, 20000);
        if (log_data_select* d = log_data_select::openInstance()) {
            d->clickTick(1, true);
            d->cmdOK->click();
        }
    });
    home->loggerread_Click();
    log_data* logger = log_data::activeLogWindow();
    ASSERT_NE(logger, nullptr);
    checkViews(*logger);

    home->save_Click();
    home->fileopen_Click();
    QCoreApplication::processEvents();
    log_data* file = log_data::activeLogWindow();
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->Tag().startsWith(QLatin1Char('F')));
    checkViews(*file);
}

}  // namespace
}  // namespace mq::test
