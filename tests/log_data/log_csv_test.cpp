// LOG CSV export as bytes: lines 1-26, record rows and their times, the
// statistics lines, the 30,000-record split with its folder, part names,
// ranges and captions, and failures that must leave nothing behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "common/full_disk.h"
#include "common/test_env.h"
#include "log_data/log_csv.h"
#include "log_data/ml2_format.h"
#include "main_window/scrambling.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/cp932.h"
#include "platform/numbers.h"

using namespace mq;
using platform::civil;

namespace {

QString cell(const QString& v) { return QStringLiteral("    ") + platform::rightAlign(v, 6); }

QStringList linesOf(const QByteArray& bytes) {
    QStringList l = platform::cp932::decode(bytes).split(QStringLiteral("\r\n"));
    if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
    return l;
}

class LogCsvTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        data = std::make_shared<clsFILE_DATA>();
        slot->act_data_kind = 1;
        slot->act_file_data = data;
        clsLOGGER_SETTING& s = setting();
        s.let_log_name(QStringLiteral("LOGNAME1"));
        s.let_record_interval(QStringLiteral("00:01:00"));
        s.let_Worker(QStringLiteral("WORKER01"));
        s.let_Comment(QStringLiteral("COMMENT1"));
        s.let_start_time(civil(2013, 5, 1, 10, 15, 17));
        s.let_stop_time(civil(2013, 5, 1, 12, 0, 0));
        s.let_area_no(7);
        const char* types[4] = {"K", "V", "-", "T"};
        for (int ch = 0; ch < 4; ++ch) {
            s.let_Ch_input_type(ch, QString::fromLatin1(types[ch]));
            s.let_Ch_unit(ch, ch == 1 ? QStringLiteral("V") : QStringLiteral("ﾟC "));
            s.let_Ch_period_pos(ch, ch == 1 ? 2 : 1);
            s.let_Ch_scale_min(ch, ch == 1 ? -5 : -200);
            s.let_Ch_scale_max(ch, ch == 1 ? 5 : 1000);
            s.let_Ch_low_alarm_count(ch, QStringLiteral("-----"));
            s.let_Ch_high_alarm_count(ch, QStringLiteral("100.0"));
            s.let_Ch_sum_std_count(ch, QStringLiteral("0.0"));
        }
        s.let_Ch_low_alarm_count(0, QStringLiteral("-12.5"));
        status().let_model_name(QStringLiteral("MQ-100"));
        status().let_hard_ver(1);
        status().let_soft_ver(12);
        status().let_special_spec(0);
        status().let_serial_no(QStringLiteral("SN000001"));
        status().let_user_model_name(QStringLiteral("USERNAME"));
        status().let_ch_offset(0, QStringLiteral("15"));
        status().let_ch_offset(3, QStringLiteral("-123"));
    }

    clsLOGGER_SETTING& setting() { return data->clsLOGGER_SETTING(); }
    clsLOGGER_STATUS& status() { return data->clsLOGGER_STATUS(); }

    LogCsvSource source(bool fileData = true) {
        LogCsvSource src{setting(), status(), {}, {}, {}, fileData};
        src.grid_max = {QStringLiteral(" 25.3 "), QStringLiteral(" 1.23 "), QString(), QStringLiteral("120.0 ")};
        src.grid_min = {QStringLiteral("-12.5 "), QStringLiteral("-0.05 "), QString(), QStringLiteral("  0.0 ")};
        src.grid_ave = {QStringLiteral("  6.4 "), QStringLiteral("0.59 "), QString(), QStringLiteral("60.0 ")};
        return src;
    }

    // n records; record r carries r tenths on CH1 and a mark every tenth record.
    LogRecordSource records(qint32 n) {
        setting().let_data_count(n);
        auto r = std::make_shared<qint32>(0);
        return [r, n](LogRecord& out) {
            if (*r >= n) return false;
            ++*r;
            out.No = *r;
            out.mark = (*r % 10 == 0) ? QStringLiteral("*") : QString();
            out.ch[0] = cell(platform::format(*r / 10.0, QStringLiteral("0.0")));
            out.ch[1] = cell(QStringLiteral("1.23"));
            out.ch[2] = QString();
            out.ch[3] = QStringLiteral("     O.R.");
            return true;
        };
    }

    ModelSlot slot;
    std::shared_ptr<clsFILE_DATA> data;
    QTemporaryDir dir;
};

TEST_F(LogCsvTest, HeadLinesAreExact) {
    setting().let_data_count(123);
    const QStringList expected = {
        QStringLiteral(",MQ-100  -LD01-010100"),
        QStringLiteral("機種名,MQ-100  "),
        QStringLiteral(",01"),
        QStringLiteral(",12"),
        QStringLiteral(",00"),
        QStringLiteral("機器シリアルナンバー,SN000001"),
        QStringLiteral("機器名称,USERNAME"),
        QStringLiteral("収録エリア,07"),
        QStringLiteral("ログ名,LOGNAME1"),
        QStringLiteral("開始日時,13/05/01 10:15:17"),
        QStringLiteral("終了日時,13/05/01 12:00:00"),
        QStringLiteral("収録インターバル,00:01:00"),
        QStringLiteral("作業者,WORKER01"),
        QStringLiteral("コメント,COMMENT1"),
        QStringLiteral(",,,,,,"),
        QStringLiteral("オフセット量,  1.5,  0.0,  0.0,-12.3,"),
        QStringLiteral("入力種類,K,V,-,T,"),
        QStringLiteral("単位,ﾟC ,V  ,ﾟC ,ﾟC ,"),
        QStringLiteral("スケール最小値,-0200 ,-0005 ,-0200 ,-0200 ,"),
        QStringLiteral("スケール最大値, 1000 , 0005 , 1000 , 1000 ,"),
        QStringLiteral("ピリオド位置,1,2,1,1,"),
        QStringLiteral("下限警報値, -12.5,------,------,   0.0,"),
        QStringLiteral("上限警報値, 100.0,------,------, 100.0,"),
        QStringLiteral("積算基準値,   0.0,------,------,   0.0,"),
        QStringLiteral("データ数,     123,,,,"),
        QStringLiteral("収録日時,ＣＨ１,ＣＨ２,ＣＨ３,ＣＨ４,データマーク,"),
    };
    EXPECT_EQ(log_csv_head_lines(source(), QString()), expected);
    EXPECT_EQ(log_csv_head_lines(source(), log_csv_range_text(30001, 30001)).at(24),
              QStringLiteral("データ数,     123,( 30001～30001 ),,,"));
}

TEST_F(LogCsvTest, EmptyDataSetFileIsExactBytes) {
    setting().let_data_count(0);
    for (int ch = 0; ch < 4; ++ch) setting().let_Ch_data_count(ch, 0);
    const QString path = dir.path() + QStringLiteral("/empty.csv");
    ASSERT_TRUE(log_csv_write(path, source(), records(0)).ok);
    QStringList lines = log_csv_head_lines(source(), QString());
    EXPECT_EQ(lines.at(24), QStringLiteral("データ数,       0,,,,"));
    lines << QStringLiteral(",,,,,,") << QStringLiteral("最小値,      ,      ,      ,      ,")
          << QStringLiteral("最大値,      ,      ,      ,      ,") << QStringLiteral("平均値,      ,      ,      ,      ,")
          << QStringLiteral("L積算値,         ,         ,         ,         ,")
          << QStringLiteral("H積算値,         ,         ,         ,         ,");
    EXPECT_EQ(mq::test::readAll(path), platform::cp932::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

TEST_F(LogCsvTest, StatisticsLines) {
    setting().let_Ch_data_count(0, 10);
    setting().let_Ch_data_count(1, 10);
    setting().let_Ch_data_count(3, 10);
    setting().let_Ch_l_sum(0, QStringLiteral("12.3"));
    setting().let_Ch_h_sum(0, QStringLiteral("-4.0"));
    setting().let_Ch_h_sum(1, QStringLiteral("9.99"));
    setting().let_Ch_l_sum(3, QStringLiteral("123456.7"));
    const QStringList expected = {
        QStringLiteral(",,,,,,"),
        QStringLiteral("最小値, -12.5, -0.05,      ,   0.0,"),
        QStringLiteral("最大値,  25.3,  1.23,      , 120.0,"),
        QStringLiteral("平均値,   6.4,  0.59,      ,  60.0,"),
        QStringLiteral("L積算値,     12.3,         ,         , 123456.7,"),
        QStringLiteral("H積算値,     -4.0,         ,         ,      0.0,"),
    };
    EXPECT_EQ(log_csv_statistics_lines(source()), expected);
}

TEST_F(LogCsvTest, RecordLines) {
    LogRecord rec;
    rec.ch = {cell("25.3"), QStringLiteral("    3276.7"), QString(), QStringLiteral("     U.R.")};
    rec.mark = QStringLiteral(" * ");
    EXPECT_EQ(log_csv_record_line(QStringLiteral("13/05/01 10:15:17"), rec),
              QStringLiteral("13/05/01 10:15:17,  25.3,  O.R.,      ,  U.R.,1"));
    rec.ch[1] = QStringLiteral("    3276.6");
    rec.ch[0] = QStringLiteral("    ------");
    rec.mark = QString();
    EXPECT_EQ(log_csv_record_line(QStringLiteral("x"), rec), QStringLiteral("x,------,  U.R.,      ,  U.R.,0"));
}

TEST_F(LogCsvTest, RecordTimesFromLabelsAndTheIntervalRule) {
    const auto times = [&](qint32 n) {
        const QString path = dir.path() + QStringLiteral("/t%1.csv").arg(n);
        EXPECT_TRUE(log_csv_write(path, source(), records(n)).ok);
        QStringList out;
        const QStringList lines = linesOf(mq::test::readAll(path));
        for (int i = 26; i < 26 + n; ++i) out << lines.at(i).left(17);
        return out;
    };
    EXPECT_EQ(times(1), QStringList{QStringLiteral("13/05/01 10:15:17")});
    EXPECT_EQ(times(2), (QStringList{QStringLiteral("13/05/01 10:15:17"), QStringLiteral("13/05/01 12:00:00")}));
    // 60 s and start seconds 17: record 2 the next whole minute, the last the stop time.
    EXPECT_EQ(times(4), (QStringList{QStringLiteral("13/05/01 10:15:17"), QStringLiteral("13/05/01 10:16:00"),
                                     QStringLiteral("13/05/01 10:17:00"), QStringLiteral("13/05/01 12:00:00")}));
    // 10 s (not longer than 30): record 2 is the start plus 10 s.
    setting().let_record_interval(QStringLiteral("00:00:10"));
    EXPECT_EQ(times(4), (QStringList{QStringLiteral("13/05/01 10:15:17"), QStringLiteral("13/05/01 10:15:27"),
                                     QStringLiteral("13/05/01 10:15:37"), QStringLiteral("13/05/01 12:00:00")}));
}

TEST_F(LogCsvTest, WholeSmallFile) {
    const QString path = dir.path() + QStringLiteral("/small.csv");
    std::vector<QString> captions;
    LogCsvHooks hooks;
    hooks.set_caption = [&](const QString& c) { captions.push_back(c); };
    ASSERT_TRUE(log_csv_write(path, source(), records(3), hooks).ok);
    const QStringList lines = linesOf(mq::test::readAll(path));
    ASSERT_EQ(lines.size(), 26 + 3 + 6);
    EXPECT_EQ(lines.at(26), QStringLiteral("13/05/01 10:15:17,   0.1,  1.23,      ,  O.R.,0"));
    EXPECT_EQ(lines.at(28), QStringLiteral("13/05/01 12:00:00,   0.3,  1.23,      ,  O.R.,0"));
    EXPECT_EQ(lines.at(29), QStringLiteral(",,,,,,"));
    EXPECT_EQ(captions, std::vector<QString>{QStringLiteral("ファイルへ書き込んでいます。(1/1)")});
    EXPECT_TRUE(mq::test::readAll(path).endsWith("\r\n"));
}

TEST_F(LogCsvTest, ExactlyThirtyThousandIsOneFileWithoutFolder) {
    const QString path = dir.path() + QStringLiteral("/data.csv");
    LogCsvOutcome out;
    ASSERT_TRUE(log_csv_write(path, source(), records(30000), {}, &out).ok);
    EXPECT_EQ(out.files, QStringList{path});
    EXPECT_TRUE(out.folder.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/data")));
    const QStringList lines = linesOf(mq::test::readAll(path));
    EXPECT_EQ(lines.size(), 26 + 30000 + 6);
    EXPECT_EQ(lines.at(24), QStringLiteral("データ数,   30000,,,,"));
}

TEST_F(LogCsvTest, ThirtyThousandAndOneSplitsIntoAFolderOfTwoParts) {
    const QString path = dir.path() + QStringLiteral("/data.csv");
    std::vector<QString> captions;
    LogCsvHooks hooks;
    hooks.set_caption = [&](const QString& c) { captions.push_back(c); };
    LogCsvOutcome out;
    ASSERT_TRUE(log_csv_write(path, source(), records(30001), hooks, &out).ok);
    EXPECT_EQ(out.folder, dir.path() + QStringLiteral("/data"));
    EXPECT_EQ(out.files, (QStringList{dir.path() + QStringLiteral("/data/data_00.csv"),
                                      dir.path() + QStringLiteral("/data/data_01.csv")}));
    EXPECT_FALSE(QFileInfo::exists(path));  // the chosen file itself is not written
    EXPECT_EQ(captions, (std::vector<QString>{QStringLiteral("ファイルへ書き込んでいます。(1/2)"),
                                              QStringLiteral("ファイルへ書き込んでいます。(2/2)")}));

    const QStringList first = linesOf(mq::test::readAll(out.files[0]));
    const QStringList second = linesOf(mq::test::readAll(out.files[1]));
    ASSERT_EQ(first.size(), 26 + 30000 + 6);
    ASSERT_EQ(second.size(), 26 + 1 + 6);
    EXPECT_EQ(first.at(24), QStringLiteral("データ数,   30001,( 1～30000 ),,,"));
    EXPECT_EQ(second.at(24), QStringLiteral("データ数,   30001,( 30001～30001 ),,,"));
    // Lines 1-24 and 26 and the statistics are the same in every part.
    EXPECT_EQ(first.mid(0, 24), second.mid(0, 24));
    EXPECT_EQ(first.at(25), second.at(25));
    EXPECT_EQ(first.mid(first.size() - 6), second.mid(second.size() - 6));
    EXPECT_TRUE(first.at(26).startsWith(QStringLiteral("13/05/01 10:15:17,   0.1,")));
    // Computed times run on: record 30000 is 29998 minutes after 10:16:00.
    const QDateTime t30000 = civil(2013, 5, 1, 10, 16, 0).addSecs(60LL * 29998);
    EXPECT_TRUE(first.at(26 + 29999).startsWith(platform::formatCivil(t30000).mid(2)));
    EXPECT_EQ(second.at(26), QStringLiteral("13/05/01 12:00:00,3000.1,  1.23,      ,  O.R.,0"));
}

TEST_F(LogCsvTest, SixtyThousandGivesTwoFullParts) {
    const QString path = dir.path() + QStringLiteral("/big.CSV");
    LogCsvOutcome out;
    ASSERT_TRUE(log_csv_write(path, source(), records(60000), {}, &out).ok);
    ASSERT_EQ(out.files.size(), 2);
    EXPECT_EQ(out.files[1], dir.path() + QStringLiteral("/big/big_01.csv"));
    const QStringList second = linesOf(mq::test::readAll(out.files[1]));
    ASSERT_EQ(second.size(), 26 + 30000 + 6);
    EXPECT_EQ(second.at(24), QStringLiteral("データ数,   60000,( 30001～60000 ),,,"));
    EXPECT_TRUE(second.at(26 + 29999).startsWith(QStringLiteral("13/05/01 12:00:00,6000.0,")));
}

TEST_F(LogCsvTest, LoggerDataSetIsAlwaysOneFile) {
    const QString path = dir.path() + QStringLiteral("/logger.csv");
    std::vector<QString> captions;
    LogCsvHooks hooks;
    hooks.set_caption = [&](const QString& c) { captions.push_back(c); };
    LogCsvOutcome out;
    ASSERT_TRUE(log_csv_write(path, source(false), records(30001), hooks, &out).ok);
    EXPECT_EQ(out.files, QStringList{path});
    EXPECT_TRUE(captions.empty());
    EXPECT_EQ(linesOf(mq::test::readAll(path)).at(24), QStringLiteral("データ数,   30001,,,,"));
}

TEST_F(LogCsvTest, SplitFolderAndPartNamesComeFromTheFileNameOnly) {
    // A folder above with ".csv" in its name plays no part.
    const QString parent = dir.path() + QStringLiteral("/exports.csv.d");
    ASSERT_TRUE(QDir().mkdir(parent));
    const QString path = parent + QStringLiteral("/run.csv");
    EXPECT_EQ(csv_split_base(path), parent + QStringLiteral("/run"));
    EXPECT_EQ(csv_split_name_make(parent + QStringLiteral("/run"), path, 0),
              parent + QStringLiteral("/run/run_00.csv"));
    EXPECT_EQ(csv_split_name_make(QStringLiteral("/f"), QStringLiteral("/x/a.CSV"), 12),
              QStringLiteral("/f/a_12.csv"));

    // Taken names get "_00", then the next free number.
    ASSERT_TRUE(QDir().mkdir(parent + QStringLiteral("/run")));
    QFile taken(parent + QStringLiteral("/run_00"));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    QString folder;
    ASSERT_TRUE(csv_split_folder_make(csv_split_base(path), folder).ok);
    EXPECT_EQ(folder, parent + QStringLiteral("/run_01"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(LogCsvTest, AfterTheLastFolderNumberTheExportStopsWithAMessage) {
    const QString base = dir.path() + QStringLiteral("/full");
    ASSERT_TRUE(QDir().mkdir(base));
    for (int i = 0; i <= 255; ++i) {
        ASSERT_TRUE(QDir().mkdir(base + QStringLiteral("_%1").arg(i, 2, 10, QChar(u'0'))));
    }
    const int before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size();
    const FileResult r = log_csv_write(dir.path() + QStringLiteral("/full.csv"), source(), records(30001));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QStringLiteral("_255")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), before);
}

TEST_F(LogCsvTest, FailuresLeaveNoPartialFilesOrFolders) {
    // The source runs dry in the second part: the first part and the folder go again.
    setting().let_data_count(30005);
    auto n = std::make_shared<int>(0);
    LogRecordSource shortSource = [n](LogRecord& out) {
        if (++*n > 30002) return false;
        out = LogRecord{};
        out.ch[0] = QStringLiteral("       1.0");
        return true;
    };
    const QString path = dir.path() + QStringLiteral("/cut.csv");
    const FileResult r = log_csv_write(path, source(), shortSource);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    // A folder that does not exist.
    const FileResult w = log_csv_write(dir.path() + QStringLiteral("/none/x.csv"), source(), records(2));
    EXPECT_FALSE(w.ok);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    // An existing file keeps its bytes when the export fails.
    const QString existing = dir.path() + QStringLiteral("/keep.csv");
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    setting().let_data_count(3);
    auto m = std::make_shared<int>(0);
    EXPECT_FALSE(log_csv_write(existing, source(), [m](LogRecord& out) {
                     out = LogRecord{};
                     return ++*m <= 2;
                 }).ok);
    EXPECT_EQ(mq::test::readAll(existing), QByteArray("old"));
}

// A logger window's records saved as ".ML2", reopened, and exported again give
// the same CSV as the logger window's own export.
TEST_F(LogCsvTest, CsvOfTheReopenedMl2EqualsTheCsvOfTheOriginal) {
    for (int ch = 0; ch < 4; ++ch) status().let_ch_offset(ch, QStringLiteral("0"));
    status().let_Ch_shift(0, QStringLiteral("0.5"));
    clsLOGGER_GraphInfo& g = data->clsLOGGER_GraphInfo();
    ml2_graph_defaults(setting(), g);
    const qint32 n = 100;
    std::vector<LogRecord> recs;
    {
        LogRecordSource all = records(n);
        LogRecord r;
        while (all(r)) recs.push_back(r);
    }
    recs[7].ch[0] = QStringLiteral("     U.R.");
    recs[8].ch[1] = QStringLiteral("    ------");
    for (int ch = 0; ch < 4; ++ch) setting().let_Ch_data_count(ch, ch == 2 ? 0 : n);
    setting().let_Ch_l_sum(0, QStringLiteral("55.5"));
    const auto from = [](const std::vector<LogRecord>& v) {
        auto i = std::make_shared<size_t>(0);
        return LogRecordSource([&v, i](LogRecord& out) {
            if (*i >= v.size()) return false;
            out = v[(*i)++];
            return true;
        });
    };
    const QString original = dir.path() + QStringLiteral("/original.csv");
    ASSERT_TRUE(log_csv_write(original, source(false), from(recs)).ok);

    QByteArray ml2;
    ASSERT_TRUE(ml2_build(ml2, Ml2Sources{setting(), status(), g}, from(recs)).ok);
    auto reopened = std::make_shared<clsFILE_DATA>();
    slot->act_file_data = reopened;
    Ml2HeaderInfo info;
    ASSERT_TRUE(ld20_header_read(data_disk_angou_load_1(ml2.left(236)), reopened->clsLOGGER_SETTING(),
                                 reopened->clsLOGGER_STATUS(), info)
                    .ok);
    std::vector<LogRecord> back;
    Ml2LoadResult lr;
    ASSERT_TRUE(ml2_load(ml2, reopened->clsLOGGER_SETTING(), reopened->clsLOGGER_GraphInfo(),
                         [&](const LogRecord& r) { return back.push_back(r), true; }, lr)
                    .ok);
    for (int ch = 0; ch < 4; ++ch) reopened->clsLOGGER_SETTING().let_Ch_data_count(ch, ch == 2 ? 0 : n);
    LogCsvSource again{reopened->clsLOGGER_SETTING(), reopened->clsLOGGER_STATUS(), {}, {}, {}, true};
    const LogCsvSource first = source(false);
    again.grid_max = first.grid_max;
    again.grid_min = first.grid_min;
    again.grid_ave = first.grid_ave;
    const QString copy = dir.path() + QStringLiteral("/copy.csv");
    ASSERT_TRUE(log_csv_write(copy, again, from(back)).ok);
    EXPECT_EQ(mq::test::readAll(copy), mq::test::readAll(original));
}

}  // namespace

namespace {

// A split export on a disk that fills up during the second part: nothing of
// the export stays, and the failure is reported.
TEST_F(LogCsvTest, ASplitExportThatRunsOutOfSpaceLeavesNoFolderAndNoPart) {
    // The size of the first part, from an export where there is room.
    LogCsvOutcome roomy;
    ASSERT_TRUE(log_csv_write(dir.path() + QStringLiteral("/data.csv"), source(), records(30001), {}, &roomy).ok);
    const qint64 firstPart = QFileInfo(roomy.files[0]).size();

    auto disk = test::FullDisk::make(4 * 1024 * 1024);
    if (!disk) GTEST_SKIP() << test::FullDisk::whyNot().toStdString();
    const QString path = disk->path() + QStringLiteral("/data.csv");
    // On the tmpfs the first part fits in whole pages and the second does not;
    // under a file-size limit the first part itself is cut.
    disk->fill(disk->isTmpfs() ? (firstPart + 4095) / 4096 * 4096 : firstPart - 1);
    LogCsvOutcome out;
    const FileResult r = log_csv_write(path, source(), records(30001), {}, &out);
    disk->release();

    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("ファイルへの書き込みに失敗しました。"))) << r.message.toStdString();
    EXPECT_TRUE(out.files.isEmpty());
    EXPECT_TRUE(disk->entries().isEmpty()) << disk->entries().join(u',').toStdString();
}

}  // namespace
