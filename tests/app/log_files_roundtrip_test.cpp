// LOG data files end to end through the main window's commands: a logger
// window saved as ".ML2" and opened again shows the same records, marks,
// statistics, integration and graph options; a reopened file saved again
// gives the same bytes; its CSV export equals the logger window's; failed
// saves leave nothing behind and keep the data unsaved.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLabel>

#include "log_data/log_files_fixture.h"
#include "platform/message_box.h"

namespace mq::test {
namespace {

using platform::MsgResult;
using platform::ScopedMessageBoxHook;

class LogFilesRoundTrip : public LogFilesFixture {};

void expectSameGraphOptions(const clsLOGGER_GraphInfo& a, const clsLOGGER_GraphInfo& b) {
    EXPECT_EQ(a.log_name(), b.log_name());
    EXPECT_EQ(a.worker_name(), b.worker_name());
    EXPECT_EQ(a.Comment(), b.Comment());
    EXPECT_EQ(a.DataCount(), b.DataCount());
    EXPECT_EQ(a.GrpDrw_StartPos(), b.GrpDrw_StartPos());
    EXPECT_EQ(a.GrpDrw_EndPos(), b.GrpDrw_EndPos());
    EXPECT_EQ(a.CH_GraphDrawSw(), b.CH_GraphDrawSw());
    EXPECT_EQ(a.CH_GraphAxDrawSw(), b.CH_GraphAxDrawSw());
    EXPECT_EQ(a.GrdDispSort(), b.GrdDispSort());
    EXPECT_EQ(a.Label_Sw(), b.Label_Sw());
    EXPECT_EQ(a.LIneBold_Sw(), b.LIneBold_Sw());
    EXPECT_EQ(a.DataMark_Sw(), b.DataMark_Sw());
    for (int ch = 0; ch < 4; ++ch) {
        SCOPED_TRACE(ch);
        EXPECT_EQ(a.Ch_G_color(ch), b.Ch_G_color(ch));
        EXPECT_EQ(a.Ch_period_pos(ch), b.Ch_period_pos(ch));
        EXPECT_DOUBLE_EQ(a.Ch_H_Alm(ch), b.Ch_H_Alm(ch));
        EXPECT_DOUBLE_EQ(a.Ch_L_Alm(ch), b.Ch_L_Alm(ch));
        EXPECT_DOUBLE_EQ(a.Ch_sum_std_count(ch), b.Ch_sum_std_count(ch));
        EXPECT_EQ(a.Std_Sw(ch), b.Std_Sw(ch));
        EXPECT_EQ(a.Sum_Std_Sw(ch), b.Sum_Std_Sw(ch));
        EXPECT_EQ(a.L_Alm_Sw(ch), b.L_Alm_Sw(ch));
        EXPECT_EQ(a.H_Alm_Sw(ch), b.H_Alm_Sw(ch));
    }
}

TEST_F(LogFilesRoundTrip, LoggerWindowSavedAndReopenedShowsTheSameData) {
    scenario();
    log_data* logger = openLogger();
    ASSERT_NE(logger, nullptr);
    const QString ml2 = files + QStringLiteral("/area1");  // the extension is completed
    save(ml2, 1);
    ASSERT_TRUE(QFileInfo::exists(ml2 + QStringLiteral(".ml2")));
    EXPECT_EQ(home_state().win_unsaved_flags[slotOf(QStringLiteral("L01"))], 2);
    EXPECT_EQ(home_state().save_file_path, ml2 + QStringLiteral(".ml2"));
    // The dialog proposed the log name and remembered the folder.
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().proposedName, QStringLiteral("LOG_TESTLOG1"));
    EXPECT_EQ(home_state().lafp_save_dir, files);

    // What the logger window shows, before another window becomes active.
    platform::Grid* lg = logger->vsFlexGrid1();
    std::vector<QStringList> loggerRows;
    for (int r = 0; r < lg->Rows(); ++r) loggerRows.push_back(row(lg, r));
    std::vector<QStringList> loggerStats;
    for (int r = 0; r < 7; ++r) loggerStats.push_back(row(logger->MSFlexGrid2(), r));
    const clsLOGGER_DATA& area = *model().logger_main->colLOGGER_DATA().Item(QStringLiteral("L01"));
    const clsLOGGER_SETTING& ls = area.clsLOGGER_SETTING();

    log_data* file = openFile(ml2 + QStringLiteral(".ml2"));
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(home_state().data_win_init_flag);
    platform::Grid* fg = file->vsFlexGrid1();
    ASSERT_EQ(fg->Rows(), lg->Rows());
    for (int r = 1; r < fg->Rows(); ++r) EXPECT_EQ(row(fg, r), loggerRows[size_t(r)]) << "record " << r;
    EXPECT_EQ(row(fg, 0).mid(3), loggerRows[0].mid(3));  // the channel heads
    for (int r = 1; r < 7; ++r) EXPECT_EQ(row(file->MSFlexGrid2(), r), loggerStats[size_t(r)]) << "statistics row " << r;
    // The alarm colours are those of the logger window.
    for (int r = 1; r < fg->Rows(); ++r) {
        for (int c = 3; c <= 6; ++c) EXPECT_EQ(fg->foreColorAt(r, c), lg->foreColorAt(r, c)) << r << "," << c;
    }
    EXPECT_EQ(file->Label5()->text(), QStringLiteral("TESTLOG1"));
    EXPECT_EQ(file->Label23()->text(), QStringLiteral("2024/01/15 10:00:17"));
    EXPECT_EQ(file->Label1()->text(), QStringLiteral("6"));

    ASSERT_TRUE(model().act_file_data);
    const clsFILE_DATA& fd = *model().act_file_data;
    const clsLOGGER_SETTING& fs = fd.clsLOGGER_SETTING();
    for (int ch = 0; ch < 4; ++ch) {
        SCOPED_TRACE(ch);
        EXPECT_EQ(fs.Ch_data_count(ch), ls.Ch_data_count(ch));
        EXPECT_DOUBLE_EQ(fs.Ch_h_sum_value(ch), ls.Ch_h_sum_value(ch));
        EXPECT_DOUBLE_EQ(fs.Ch_l_sum_value(ch), ls.Ch_l_sum_value(ch));
        EXPECT_EQ(fs.CH_H_ALM_NUM(ch), ls.CH_H_ALM_NUM(ch));
        EXPECT_EQ(fs.CH_L_ALM_NUM(ch), ls.CH_L_ALM_NUM(ch));
    }
    EXPECT_DOUBLE_EQ(fs.Ch_h_sum_value(0), 23.9);
    EXPECT_EQ(fd.clsLOGGER_STATUS().serial_no(), QStringLiteral("A1234567"));
    expectSameGraphOptions(fd.clsLOGGER_GraphInfo(), area.clsLOGGER_GraphInfo());

    // Saved again from the file window: the very same bytes.
    const QString again = files + QStringLiteral("/again.ML2");
    save(again, 1);
    EXPECT_EQ(home_state().save_file_path, again);  // an upper-case extension is kept
    EXPECT_EQ(readFile(again), readFile(ml2 + QStringLiteral(".ml2")));
}

TEST_F(LogFilesRoundTrip, CsvOfTheReopenedFileEqualsTheLoggerWindowsCsv) {
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    const QString ml2 = files + QStringLiteral("/a.ml2");
    save(ml2, 1);
    const QString loggerCsv = files + QStringLiteral("/logger.CSV");
    save(loggerCsv, 2);
    ASSERT_TRUE(QFileInfo::exists(loggerCsv));

    ASSERT_NE(openFile(ml2), nullptr);
    const QString fileCsv = files + QStringLiteral("/file");
    save(fileCsv, 2);
    const QByteArray fromFile = readFile(fileCsv + QStringLiteral(".csv"));
    ASSERT_FALSE(fromFile.isEmpty());
    EXPECT_EQ(fromFile, readFile(loggerCsv));
    // 26 head lines, 6 records, the six-comma line and five statistics lines.
    EXPECT_EQ(fromFile.count("\r\n"), 26 + 6 + 1 + 5);
}

TEST_F(LogFilesRoundTrip, FailedSaveLeavesNoFileAndKeepsTheDataUnsaved) {
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    const int slot = slotOf(QStringLiteral("L01"));
    ScopedMessageBoxHook box(MsgResult::OK);
    const QString nowhere = files + QStringLiteral("/no such folder/a.ml2");
    save(nowhere, 1);
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_EQ(home_state().win_unsaved_flags[slot], 1);
    EXPECT_TRUE(home_state().close_cancel_flag);
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_TRUE(box.records()[0].text.startsWith(QStringLiteral("ファイルを作成できませんでした。")));
    EXPECT_TRUE(home_state().app_idle_flag);

    // An existing file stays as it was when the new one cannot be written.
    const QString existing = files + QStringLiteral("/keep.ml2");
    ASSERT_TRUE(writeFile(existing, "old bytes"));
    model().act_logger_data->clsLOGGER_SETTING().let_log_name(QStringLiteral("名前"));  // not single-byte
    box.clear();
    save(existing, 1);
    EXPECT_EQ(readFile(existing), QByteArray("old bytes"));
    EXPECT_EQ(home_state().win_unsaved_flags[slot], 1);
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(QDir(files).entryList(QDir::Files).size(), 1);  // no temporary file left
}

TEST_F(LogFilesRoundTrip, ClosingWithYesKeepsTheWindowWhenTheSaveFails) {
    scenario();
    log_data* logger = openLogger();
    ASSERT_NE(logger, nullptr);
    QPointer<log_data> w = logger;
    // "Yes" to the save question, then OK to the failure message.
    ScopedMessageBoxHook box(std::vector<MsgResult>{MsgResult::Yes, MsgResult::OK});
    answers.push_back(FileDialogAnswer{true, files + QStringLiteral("/missing/x.ml2"), 1});
    home->fileclose_Click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w);
    EXPECT_EQ(slotOf(QStringLiteral("L01")), 0);
    EXPECT_EQ(home_state().win_unsaved_flags[0], 1);

    // With a save that works the window closes.
    box.clear();
    answers.push_back(FileDialogAnswer{true, files + QStringLiteral("/x.ml2"), 1});
    ScopedMessageBoxHook yes(MsgResult::Yes);
    home->fileclose_Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(slotOf(QStringLiteral("L01")), -1);
    EXPECT_TRUE(!w || !w->isVisible());
    EXPECT_TRUE(QFileInfo::exists(files + QStringLiteral("/x.ml2")));
}

TEST_F(LogFilesRoundTrip, AnEmptyAreaRoundTripsAsTheEmptyFile) {
    scenario();
    recording(civil(2024, 1, 15, 10, 0, 0), civil(2024, 1, 15, 10, 0, 0), QStringLiteral("00:01:00"), 0);
    reply.clear();
    ASSERT_NE(openLogger(), nullptr);
    const QString ml2 = files + QStringLiteral("/empty.ml2");
    save(ml2, 1);
    const QByteArray bytes = readFile(ml2);
    ASSERT_EQ(bytes.size(), 1538);
    EXPECT_EQ(bytes.mid(512, 2), QByteArray("\r\n"));
    // What an earlier integration left behind must not be published for it.
    log_data_state().ch_h_integ[0] = 99999.0;
    // Equal start and stop and no records: it opens with the warning and an empty table.
    ScopedMessageBoxHook box(MsgResult::OK);
    log_data* file = openFile(ml2);
    ASSERT_NE(file, nullptr);
    ASSERT_GE(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text,
              QStringLiteral("このデータは異常終了したファイルです。\r\n正しく読み込めない可能性があります。"));
    EXPECT_EQ(file->Label1()->text(), QStringLiteral("0"));
    EXPECT_EQ(file->vsFlexGrid1()->Rows(), 1);
    // The integration of no records is published as zero, not left unset.
    EXPECT_DOUBLE_EQ(model().act_file_data->clsLOGGER_SETTING().Ch_h_sum_value(0), 0.0);
}

}  // namespace
}  // namespace mq::test
