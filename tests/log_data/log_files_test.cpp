// The LOG data window's side of the data files: opening ".ML2" files (split
// tables, the large-data question, short and abnormally ended files, missing
// values, cancel) and older ".ML1" files, and the file operations' progress.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <vector>

#include "log_data/log_files_fixture.h"
#include "log_data/ml1_file.h"
#include "log_data/ml1_format.h"
#include "main_window/scrambling.h"
#include "platform/message_box.h"
#include "sequencer/file_fill.h"

namespace mq::test {
namespace {

using platform::MsgButtons;
using platform::MsgResult;
using platform::ScopedMessageBoxHook;

constexpr quint32 kRed = 255;
constexpr quint32 kBlue = 16711680;

const QString kLargeQuestion = QStringLiteral(
    "ﾃﾞｰﾀが10000件以上存在する大容量ﾃﾞｰﾀの表示処理では、\r\n"
    "数分間OSの処理を占有する場合があります。\r\n"
    "OS処理占有自体には問題ありません。\r\n"
    "しかし、その間他の操作(ﾏｳｽ,ｷｰﾎﾞｰﾄﾞ等)を受け付けられなくなります。\r\n\r\n"
    "処理を開始してもよろしいでしょうか。");

class LogFilesTest : public LogFilesFixture {
protected:
    // Writes an ".ML2" file of the settings given and `values` per record
    // (stored channel texts of CH1..CH4; "" for an unused channel).
    QString writeMl2(const QString& name, const clsLOGGER_SETTING& s, const std::vector<std::array<QString, 4>>& values,
                     const std::vector<bool>& marks = {}) {
        clsLOGGER_STATUS st;
        st.let_model_name(QStringLiteral("MQ-4000"));
        clsLOGGER_GraphInfo g;
        size_t i = 0;
        const LogRecordSource source = [&](LogRecord& rec) {
            if (i >= values.size()) return false;
            rec.No = qint32(i + 1);
            rec.mark = i < marks.size() && marks[i] ? QStringLiteral(" * ") : QString();
            rec.ch = values[i];
            ++i;
            return true;
        };
        const QString path = files + QLatin1Char('/') + name;
        const FileResult r = ml2_write_file(path, Ml2Sources{s, st, g}, source);
        EXPECT_TRUE(r.ok) << r.message.toStdString();
        return path;
    }

    // A one-channel (CH1 "K") recording of n records, 10 s apart.
    void oneChannel(clsLOGGER_SETTING& s, qint32 n) {
        s.let_log_name(QStringLiteral("BIG"));
        s.let_record_interval(QStringLiteral("00:00:10"));
        s.let_start_time(civil(2024, 3, 1, 0, 0, 0));
        s.let_stop_time(civil(2024, 3, 1, 0, 0, 0).addSecs(qint64(n - 1) * 10));
        s.let_data_count(n);
        s.let_Ch_input_type(0, QStringLiteral("K"));
        s.let_Ch_period_pos(0, 1);
        for (int ch = 1; ch < 4; ++ch) s.let_Ch_input_type(ch, QStringLiteral("-"));
    }

    static QString stored(double v) { return QStringLiteral("    ") + QString::number(v, 'f', 1).rightJustified(6); }

    static std::vector<std::array<QString, 4>> ramp(qint32 n) {
        std::vector<std::array<QString, 4>> out;
        out.reserve(size_t(n));
        for (qint32 r = 1; r <= n; ++r) out.push_back({stored(double(r % 1000) / 10.0), {}, {}, {}});
        return out;
    }
};

// ---------------------------------------------------------------- ".ML2"

TEST_F(LogFilesTest, FifteenThousandRecordsAreSplitAndTheTableShowsEveryBlock) {
    clsLOGGER_SETTING s;
    oneChannel(s, 15000);
    auto values = ramp(15000);
    values[0][0] = stored(-50.0);       // the minimum, in DATA
    values[14999][0] = stored(500.0);   // the maximum, record 15000: the first of DATA01
    const QString path = writeMl2(QStringLiteral("big.ml2"), s, values);

    ScopedMessageBoxHook box(MsgResult::OK);
    log_data* w = openFile(path);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, kLargeQuestion);
    EXPECT_EQ(box.records()[0].buttons, MsgButtons::OKCancel);

    platform::Grid* g = w->vsFlexGrid1();
    ASSERT_EQ(g->Rows(), 15001);
    EXPECT_EQ(g->TextMatrix(1, 3), QStringLiteral("▼  -50.0"));
    EXPECT_EQ(g->TextMatrix(14999, 1).trimmed(), QStringLiteral("14999"));
    EXPECT_EQ(g->TextMatrix(15000, 1).trimmed(), QStringLiteral("15000"));
    EXPECT_EQ(g->TextMatrix(15000, 3), QStringLiteral("▲  500.0"));
    EXPECT_EQ(g->TextMatrix(15000, 2), QStringLiteral("2024/03/02 17:39:50"));
    EXPECT_EQ(g->TextMatrix(0, 3), QStringLiteral("CH1[ﾟC ]"));
    const clsLOGGER_SETTING& fs = model().act_file_data->clsLOGGER_SETTING();
    EXPECT_EQ(fs.Ch_data_count(0), 15000);
    EXPECT_DOUBLE_EQ(fs.Ch_max_value(0), 500.0);
    EXPECT_DOUBLE_EQ(fs.Ch_min_value(0), -50.0);
    EXPECT_EQ(w->MSFlexGrid2()->TextMatrix(1, 1), QStringLiteral("500.0 "));
    EXPECT_EQ(w->MSFlexGrid2()->TextMatrix(2, 1), QStringLiteral("-50.0 "));
}

TEST_F(LogFilesTest, FewerThanTenThousandRecordsAreShownWithoutAsking) {
    clsLOGGER_SETTING s;
    oneChannel(s, 9999);
    const QString path = writeMl2(QStringLiteral("n9999.ML2"), s, ramp(9999));
    ScopedMessageBoxHook box(MsgResult::Cancel);
    log_data* w = openFile(path);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(box.records().empty());
    EXPECT_EQ(w->vsFlexGrid1()->Rows(), 10000);
}

TEST_F(LogFilesTest, CancelAtTheLargeDataQuestionClosesTheNewWindow) {
    clsLOGGER_SETTING s;
    oneChannel(s, 10000);
    const QString path = writeMl2(QStringLiteral("n10000.ml2"), s, ramp(10000));
    link().link_connected_flag = false;  // no logger: the ending forgets the mode
    ScopedMessageBoxHook box(MsgResult::Cancel);
    EXPECT_EQ(openFile(path), nullptr);
    EXPECT_EQ(box.records().size(), 1u);
    EXPECT_EQ(home->winTable().win_all_use_ct(), 0);
    EXPECT_FALSE(seq().file_cancel_flag);
    // The last data window gone: the data commands are grey again.
    EXPECT_FALSE(home->toolbarButton(14)->isEnabled());
    EXPECT_FALSE(home->toolbarButton(20)->isEnabled());
    EXPECT_FALSE(home->menuItem(QStringLiteral("save"))->isEnabled());
    EXPECT_EQ(link().link_mode, OpMode::None);
    // The file data set went with its window.
    ASSERT_TRUE(model().file_main);
    EXPECT_EQ(model().file_main->colFILE_DATA().Count(), 0);
}

TEST_F(LogFilesTest, CancelDuringTheRecordLoadClosesTheNewWindow) {
    clsLOGGER_SETTING s;
    oneChannel(s, 3000);
    const QString path = writeMl2(QStringLiteral("cancel.ml2"), s, ramp(3000));
    // Cancel is pressed once the record load runs.
    seq().records_load_stand_in = [](IFileProgress* progress, const std::function<void(IFileProgress*)>& load) {
        seq().dialog->Command1->click();
        load(progress);
    };
    ScopedMessageBoxHook box(MsgResult::OK);
    EXPECT_EQ(openFile(path), nullptr);
    seq().records_load_stand_in = nullptr;
    EXPECT_TRUE(box.records().empty());  // a cancel is not a failure: no message
    EXPECT_EQ(home->winTable().win_all_use_ct(), 0);
    EXPECT_FALSE(seq().file_cancel_flag);
}

TEST_F(LogFilesTest, ARecordsRegionShorterThanItsCountIsReportedAndItsRecordsShown) {
    clsLOGGER_SETTING s;
    oneChannel(s, 10);
    const QString path = writeMl2(QStringLiteral("short.ml2"), s, ramp(10));
    QByteArray bytes = readFile(path);
    bytes.truncate(512 + 5 * 3 + 1);  // five whole records and one byte of the sixth, no footer
    ASSERT_TRUE(writeFile(path, bytes));

    ScopedMessageBoxHook box(MsgResult::OK);
    log_data* w = openFile(path);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, QStringLiteral("ファイルの記録データが途中で終わっています。\n"
                                                    "データ数10件のうち、5件を読み込みました。"));
    EXPECT_EQ(w->vsFlexGrid1()->Rows(), 6);
    EXPECT_EQ(w->Label1()->text(), QStringLiteral("5"));
    const clsFILE_DATA& fd = *model().act_file_data;
    EXPECT_EQ(fd.clsLOGGER_SETTING().data_count(), 5);
    EXPECT_EQ(fd.clsLOGGER_GraphInfo().DataCount(), 5);
    EXPECT_LE(fd.clsLOGGER_GraphInfo().GrpDrw_EndPos(), 5);
    EXPECT_EQ(w->vsFlexGrid1()->TextMatrix(5, 3).right(6), QStringLiteral("   0.5"));
}

TEST_F(LogFilesTest, AnAbnormallyEndedFileIsWarnedAboutAndRecounted) {
    // Four channels: 12 bytes a record, 7 records fill one block exactly.
    clsLOGGER_SETTING s;
    oneChannel(s, 7);
    s.let_record_interval(QStringLiteral("00:01:00"));
    s.let_start_time(civil(2024, 5, 2, 10, 15, 20));
    s.let_stop_time(civil(2024, 5, 2, 10, 21, 0));
    for (int ch = 1; ch < 4; ++ch) s.let_Ch_input_type(ch, QStringLiteral("K"));
    std::vector<std::array<QString, 4>> values;
    for (int r = 1; r <= 7; ++r) values.push_back({stored(r), stored(r + 1), stored(r + 2), stored(r + 3)});
    const QString path = writeMl2(QStringLiteral("abnormal.ml2"), s, values);

    // The logger stopped before it wrote the stop time and the count.
    QByteArray bytes = readFile(path);
    QByteArray header = data_disk_angou_load_1(bytes.left(236));
    header.replace(42, 12, header.mid(30, 12));
    header.replace(174, 10, QByteArray("         0"));
    bytes.replace(0, 236, data_disk_angou_load_1(header));
    ASSERT_TRUE(writeFile(path, bytes));

    ScopedMessageBoxHook box(MsgResult::OK);
    log_data* w = openFile(path);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text,
              QStringLiteral("このデータは異常終了したファイルです。\r\n正しく読み込めない可能性があります。"));
    EXPECT_EQ(box.records()[0].icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(w->Label1()->text(), QStringLiteral("7"));
    // Record 2 is the next whole minute, then one minute each.
    EXPECT_EQ(w->Label22()->text(), QStringLiteral("2024/05/02 10:21:00"));
    platform::Grid* g = w->vsFlexGrid1();
    ASSERT_EQ(g->Rows(), 8);
    EXPECT_EQ(g->TextMatrix(2, 2), QStringLiteral("2024/05/02 10:16:00"));
    EXPECT_EQ(g->TextMatrix(7, 2), QStringLiteral("2024/05/02 10:21:00"));
    EXPECT_EQ(g->TextMatrix(7, 6).right(6), QStringLiteral("  10.0"));
}

TEST_F(LogFilesTest, PAndWInTheHeaderTextsSurviveASaveAndTheOpenCommand) {
    // 'P' and 'W' scramble to CR and LF: the header is full of line ends.
    clsLOGGER_SETTING s;
    oneChannel(s, 3);
    s.let_log_name(QStringLiteral("PWPWPWPW"));
    s.let_Worker(QStringLiteral("WP"));
    s.let_Comment(QStringLiteral("P W"));
    clsLOGGER_STATUS st;
    st.let_model_name(QStringLiteral("MQ-PW"));
    st.let_serial_no(QStringLiteral("PWPW0001"));
    st.let_user_model_name(QStringLiteral("WWPP"));
    clsLOGGER_GraphInfo g;
    ml2_graph_defaults(s, g);
    const std::vector<std::array<QString, 4>> values = ramp(3);
    size_t i = 0;
    const LogRecordSource source = [&](LogRecord& rec) {
        if (i >= values.size()) return false;
        rec.No = qint32(i + 1);
        rec.ch = values[i++];
        return true;
    };
    const QString path = files + QStringLiteral("/pw.ML2");
    ASSERT_TRUE(ml2_write_file(path, Ml2Sources{s, st, g}, source).ok);
    ASSERT_TRUE(readFile(path).left(236).contains("\r\n"));

    ScopedMessageBoxHook box(MsgResult::OK);
    log_data* w = openFile(path);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(box.records().empty());
    EXPECT_EQ(w->Label5()->text(), QStringLiteral("PWPWPWPW"));
    EXPECT_EQ(w->Label20()->text(), QStringLiteral("WP      "));
    EXPECT_EQ(w->Label19()->text(), QStringLiteral("P W     "));
    EXPECT_EQ(w->Label1()->text(), QStringLiteral("3"));
    const clsFILE_DATA& fd = *model().act_file_data;
    EXPECT_EQ(fd.clsLOGGER_STATUS().model_name(), QStringLiteral("MQ-PW   "));
    EXPECT_EQ(fd.clsLOGGER_STATUS().serial_no(), QStringLiteral("PWPW0001"));
    EXPECT_EQ(fd.clsLOGGER_STATUS().user_model_name(), QStringLiteral("WWPP    "));
    EXPECT_EQ(w->vsFlexGrid1()->TextMatrix(3, 3).right(6), QStringLiteral("   0.3"));
}

TEST_F(LogFilesTest, MissingValuesReadBackAsMissingAndStayOutOfTheStatistics) {
    clsLOGGER_SETTING s;
    oneChannel(s, 4);
    s.let_Ch_low_alarm_count(0, QStringLiteral("1.0"));
    s.let_Ch_high_alarm_count(0, QStringLiteral("9.0"));
    const QString path =
        writeMl2(QStringLiteral("missing.ml2"), s,
                 {{stored(5.0), {}, {}, {}}, {QStringLiteral("    ------"), {}, {}, {}}, {stored(7.0), {}, {}, {}},
                  {stored(9.5), {}, {}, {}}});
    // The missing value is stored as the reserved code.
    const QByteArray bytes = readFile(path);
    EXPECT_EQ(bytes.mid(512 + 3, 2), QByteArray("\x7F\xFD", 2));

    log_data* w = openFile(path);
    ASSERT_NE(w, nullptr);
    platform::Grid* g = w->vsFlexGrid1();
    EXPECT_EQ(g->TextMatrix(2, 3), QStringLiteral("    ------"));
    EXPECT_EQ(g->TextMatrix(1, 3), QStringLiteral("▼    5.0"));
    const clsLOGGER_SETTING& fs = model().act_file_data->clsLOGGER_SETTING();
    EXPECT_EQ(fs.Ch_data_count(0), 3);
    EXPECT_DOUBLE_EQ(fs.Ch_min_value(0), 5.0);  // not the 0 a query reads for the gap
    EXPECT_DOUBLE_EQ(fs.Ch_ave_value(0), 7.2);   // 21.5 / 3
    EXPECT_EQ(fs.CH_L_ALM_NUM(0), 0);            // the gap is no low alarm
    EXPECT_EQ(fs.CH_H_ALM_NUM(0), 1);            // 9.5 above 9.0
    EXPECT_EQ(g->foreColorAt(2, 3), 0u);
    EXPECT_EQ(g->foreColorAt(4, 3), kRed);
}

// ---------------------------------------------------------------- ".ML1"

TEST_F(LogFilesTest, AnOlderFileOpensWithItsRecordsStatisticsAndAlarms) {
    const QString path = files + QStringLiteral("/old.ML1");
    ASSERT_TRUE(writeFile(path, ml1File({{"24/01/15 10:00:17", "25.3", "0.0", "1.23", "3276.7", "0"},
                                         {"24/01/15 10:01:00", "O.R.", "0.0", "U.R.", "12.0", "1"},
                                         {"24/01/15 10:02:00", "31.0", "0.0", "0.50", "U.R.", "x"}})));
    log_data* w = openFile(path);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(home_state().data_win_init_flag);

    // 'P' and 'W' scramble to CR and LF; the body is read by its length, so they survive.
    EXPECT_EQ(w->Label5()->text(), QStringLiteral("PWLOG   "));
    EXPECT_EQ(w->Label20()->text(), QStringLiteral("WP&&1    "));
    EXPECT_EQ(w->Label23()->text(), QStringLiteral("24/01/15 10:00:17"));
    EXPECT_EQ(w->Label22()->text(), QStringLiteral("24/01/15 10:02:00"));
    EXPECT_EQ(w->Label21()->text(), QStringLiteral("00:01:00"));
    EXPECT_EQ(w->Label1()->text(), QStringLiteral("3"));

    platform::Grid* g = w->vsFlexGrid1();
    ASSERT_EQ(g->Rows(), 4);
    EXPECT_EQ(row(g, 0).mid(3), (QStringList{"CH1[ﾟC ]", "CH2[ ]", "CH3[mV ]", "CH4[ﾟC ]"}));
    EXPECT_EQ(row(g, 1).mid(1), (QStringList{"1", "2024/01/15 10:00:17", "▼   25.3", "", "▲   1.23", "▲ 3276.7"}));
    EXPECT_EQ(row(g, 2).mid(1), (QStringList{"2", "2024/01/15 10:01:00", "     O.R.", "", "     U.R.", "▼   12.0"}));
    EXPECT_EQ(row(g, 3).mid(1), (QStringList{"3", "2024/01/15 10:02:00", "▲   31.0", "", "▼   0.50", "     U.R."}));
    EXPECT_FALSE(g->TextMatrix(1, 0).contains(u'*'));
    EXPECT_TRUE(g->TextMatrix(2, 0).contains(u'*'));
    EXPECT_FALSE(g->TextMatrix(3, 0).contains(u'*'));

    const clsFILE_DATA& fd = *model().act_file_data;
    const clsLOGGER_SETTING& s = fd.clsLOGGER_SETTING();
    EXPECT_EQ(fd.clsLOGGER_STATUS().mode_type(), 1);
    EXPECT_EQ(fd.clsLOGGER_STATUS().serial_no(), QStringLiteral("S0001234"));
    EXPECT_EQ(s.area_no(), 3);
    EXPECT_EQ(s.Ch_data_count(0), 2);
    EXPECT_EQ(s.Ch_data_count(1), 0);
    EXPECT_EQ(s.Ch_data_count(2), 2);
    EXPECT_EQ(s.Ch_data_count(3), 2);  // "3276.7" in a file is a number
    // Minimum and maximum from the records; average and integration from the trailer.
    EXPECT_DOUBLE_EQ(s.Ch_max_value(0), 31.0);
    EXPECT_DOUBLE_EQ(s.Ch_min_value(0), 25.3);
    EXPECT_DOUBLE_EQ(s.Ch_ave_value(0), 28.2);
    EXPECT_DOUBLE_EQ(s.Ch_h_sum_value(0), 12.5);
    EXPECT_EQ(s.CH_H_ALM_NUM(0), 1);
    EXPECT_EQ(s.CH_L_ALM_NUM(0), 0);
    EXPECT_EQ(s.CH_H_ALM_NUM(3), 1);
    EXPECT_EQ(s.CH_H_ALM_NUM(2), 0);  // voltage: no alarms
    EXPECT_EQ(g->foreColorAt(3, 3), kRed);
    EXPECT_EQ(g->foreColorAt(1, 6), kRed);
    EXPECT_EQ(g->foreColorAt(1, 3), 0u);

    platform::Grid* st = w->MSFlexGrid2();
    auto column = [st](int c) {
        QStringList out;
        for (int r = 1; r < 7; ++r) out << st->TextMatrix(r, c);
        return out;
    };
    EXPECT_EQ(column(1), (QStringList{"31.0 ", "25.3 ", "28.2 ", "12.5 ", "1 ", "0 "}));
    EXPECT_EQ(column(2), (QStringList{"", "", "", "", "", ""}));
    EXPECT_EQ(column(3), (QStringList{"1.23 ", "0.50 ", "0.87 ", "       ", "      ", "      "}));
    EXPECT_EQ(st->TextMatrix(1, 0), QStringLiteral("最大値"));

    const clsLOGGER_GraphInfo& gi = fd.clsLOGGER_GraphInfo();
    EXPECT_EQ(gi.DataCount(), 3);
    EXPECT_EQ(gi.GrpDrw_EndPos(), 3);
    EXPECT_EQ(gi.Ch_G_color(0), 0xFF0000);
    EXPECT_DOUBLE_EQ(gi.Ch_H_Alm(0), 30.0);
}

TEST_F(LogFilesTest, AnOlderFileWithoutRecordsOpensEmpty) {
    const QString path = files + QStringLiteral("/empty.ml1");
    ASSERT_TRUE(writeFile(path, ml1File({})));
    log_data* w = openFile(path);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Label1()->text(), QStringLiteral("0"));
    platform::Grid* g = w->vsFlexGrid1();
    EXPECT_EQ(g->Rows(), 1);
    EXPECT_EQ(g->TextMatrix(0, 4), QStringLiteral("CH2[ ]"));
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(w->MSFlexGrid2()->TextMatrix(1, c), QString()) << c;
}

TEST_F(LogFilesTest, AnOlderFileShorterThanItsHeaderSaysIsRefused) {
    const QString path = files + QStringLiteral("/cut.ml1");
    QByteArray bytes = ml1File({{"24/01/15 10:00:17", "25.3", "0.0", "1.23", "12.0", "0"}}, "LOG", "W", 5);
    ASSERT_TRUE(writeFile(path, bytes));
    ScopedMessageBoxHook box(MsgResult::OK);
    EXPECT_EQ(openFile(path), nullptr);
    ASSERT_EQ(box.records().size(), 1u);
    EXPECT_EQ(box.records()[0].text, QStringLiteral("ファイルのデータが不足しているため、開くことができません。"));
    EXPECT_EQ(home->winTable().win_all_use_ct(), 0);
    EXPECT_TRUE(home->toolbarButton(13)->isEnabled());
}

// ---------------------------------------------------------------- progress

TEST_F(LogFilesTest, UnscramblingSizesTheBarByThousandsOfBytes) {
    const QByteArray none;
    QByteArray plain("left over");
    const Operation empty = descramble_operation(none, plain);
    Prog_Dialog dlg(empty);
    empty.run(dlg);
    EXPECT_DOUBLE_EQ(dlg.progress_max(), 1.0);
    EXPECT_TRUE(plain.isEmpty());

    const QByteArray scrambled = data_disk_angou_load_1(QByteArray(2500, 'P'));
    const Operation full = descramble_operation(scrambled, plain);
    Prog_Dialog dlg2(full);
    full.run(dlg2);
    EXPECT_DOUBLE_EQ(dlg2.progress_max(), 3.5);
    EXPECT_EQ(plain, QByteArray(2500, 'P'));
}

class CountingProgress : public IFileProgress {
public:
    void set_progress_value(double v) override { values.push_back(v); }
    void process_events() override { ++events; }
    bool file_cancel_flag() const override { return cancel; }
    void set_file_cancel_flag(bool v) override { cancel = v; }
    std::vector<double> values;
    int events = 0;
    bool cancel = false;
};

TEST(ThrottledProgressTest, PassesEveryNthValueAndTheLastOne) {
    CountingProgress inner;
    {
        ThrottledProgress p(inner, 4);
        for (int r = 0; r < 10; ++r) {
            p.set_progress_value(r);
            p.process_events();
        }
        EXPECT_EQ(inner.events, 2);
        inner.cancel = true;
        EXPECT_TRUE(p.file_cancel_flag());
    }
    EXPECT_EQ(inner.values, (std::vector<double>{3, 7, 9}));
}

TEST_F(LogFilesTest, ASaveOfAKindWithoutAWriterIsNotReportedAsSaved) {
    // The LOG data build no TAG saves; running none must fail rather than
    // claim a file was written.
    for (qint16 code : {op_save_logger_mt1, op_save_file_mt1, op_save_logger_tag_csv}) {
        EXPECT_FALSE(prog_run_save(log_save_operation(code))) << code;
    }
    EXPECT_FALSE(prog_run_save(Operation{}));
}

// Every road fills the records table as its records load and then changes
// only the marked cells; the table must read exactly as the working
// database read back, and a refresh from the database must not change it.
TEST_F(LogFilesTest, TheTableFilledDuringTheLoadReadsAsTheDatabaseReadBack) {
    struct Road {
        const char* name;
        std::function<log_data*()> open;
    };
    const Road roads[] = {
        {"logger",
         [this] {
             scenario();
             return openLogger();
         }},
        {"ML2 split into tables",
         [this] {
             clsLOGGER_SETTING s;
             oneChannel(s, 16000);
             s.let_Ch_input_type(2, QStringLiteral("K"));
             s.let_Ch_input_type(3, QStringLiteral("T"));
             std::vector<std::array<QString, 4>> values;
             for (qint32 r = 1; r <= 16000; ++r) {
                 const QString ch4 = r % 50 == 0   ? QStringLiteral("     O.R.")
                                     : r % 51 == 0 ? QStringLiteral("     U.R.")
                                                   : stored((r % 2000) / 10.0 - 50.0);
                 values.push_back({stored((r % 1000) / 10.0), {},
                                   r % 97 == 0 ? QStringLiteral("    ------") : stored(-(r % 300) / 10.0), ch4});
             }
             std::vector<bool> marks(values.size());
             for (size_t i = 0; i < marks.size(); i += 13) marks[i] = true;
             ScopedMessageBoxHook box(MsgResult::OK);
             return openFile(writeMl2(QStringLiteral("roads.ml2"), s, values, marks));
         }},
        {"ML1",
         [this] {
             const QString path = files + QStringLiteral("/roads.ML1");
             EXPECT_TRUE(writeFile(path, ml1File({{"24/01/15 10:00:17", "25.3", "0.0", "1.23", "3276.7", "0"},
                                                  {"24/01/15 10:01:00", "O.R.", "0.0", "U.R.", "12.0", "1"},
                                                  {"24/01/15 10:02:00", "31.0", "0.0", "0.50", "U.R.", "x"},
                                                  {"24/01/15 10:03:00", "31.0", "0.0", "0.75", "12.0", "1"}})));
             return openFile(path);
         }},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        log_data* w = road.open();
        ASSERT_NE(w, nullptr);
        platform::Grid* g = w->vsFlexGrid1();
        ASSERT_GT(g->Rows(), 4);
        std::vector<QStringList> filled;
        for (int r = 0; r < g->Rows(); ++r) filled.push_back(row(g, r));
        int marked = 0;
        for (int r = 1; r < g->Rows(); ++r)
            for (int c = 3; c <= 6; ++c) marked += g->TextMatrix(r, c).startsWith(u'▲') || g->TextMatrix(r, c).startsWith(u'▼');
        EXPECT_GT(marked, 0);

        // The database read back, text by text.
        ASSERT_NE(w->Data1(), nullptr);
        const auto stored = w->Data1()->ReadColumns(0, 6);
        ASSERT_EQ(stored[0].size() + 1, filled.size());
        for (size_t r = 1; r < filled.size(); ++r) {
            QStringList expected;
            for (const auto& column : stored) expected << column[r - 1];
            ASSERT_EQ(filled[r], expected) << "row " << r;
        }
        // The refresh from the database's bytes gives the same table.
        w->refresh_Data1();
        ASSERT_EQ(g->Rows(), int(filled.size()));
        EXPECT_EQ(row(g, 0).mid(0, 3), filled[0].mid(0, 3));
        for (int r = 1; r < g->Rows(); ++r) ASSERT_EQ(row(g, r), filled[size_t(r)]) << "row " << r;
        home_state().close_reason = 1;
        for (QMdiSubWindow* sub : home->mdiArea()->subWindowList()) sub->close();
        QCoreApplication::processEvents();
        home_state().close_reason = 0;
    }
}

}  // namespace
}  // namespace mq::test
