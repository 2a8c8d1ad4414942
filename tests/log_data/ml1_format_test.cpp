// Older ".ML1" LOG data files, synthesised byte by byte: the body taken by
// byte count even when its scrambled bytes hold CR LF, header block, records,
// trailer, files without records and files that are too short.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "common/test_env.h"
#include "log_data/ml1_format.h"
#include "main_window/scrambling.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/cp932.h"

using namespace mq;
using platform::civil;

namespace {

QByteArray enc(const QString& t) { return platform::cp932::encode(t); }
QByteArray scramble(const QByteArray& b) { return data_disk_angou_load_1(b); }

QByteArray headerBlock(const QByteArray& count) {
    QByteArray h;
    h += "MQ-50   " "01" "02" "03" "SN123456" "USERNAME" "05";
    h += "PWLOG_WP";                                   // 'P' and 'W' scramble to CR and LF
    h += "13/05/01 10:15:20" "13/05/01 10:17:20";
    h += "00:01:00" "WORKERPW" "COMMENT1";
    h += "  1.5" "   -3" "    0" "  0.0";               // shifts
    h += "KV-T";                                       // input types
    h += enc(QStringLiteral("ﾟC V     ﾟC "));            // units
    h += "  -200" "    -5" "     0" "  -200";          // scale minimum
    h += "  1370" "     5" "     0" "   400";          // scale maximum
    h += "1201";                                       // decimal positions
    h += " -50.0" "  -1.5" "------" "------";          // low alarm
    h += " 100.0" "  1.50" "------" "  1000";          // high alarm (the last one already scaled)
    h += "   0.0" "------" "------" "  20.0";          // integration base
    h += count;
    return h;
}

QByteArray trailer() {
    QByteArray t;
    t += " -12.5" " -0.05" "      " "  12.0";                       // minimum
    t += "  25.3" "  1.23" "      " "  12.0";                       // maximum
    t += "   6.4" "  0.59" "      " "  12.0";                       // average
    t += "     12.3" "      0.0" "         " "      1.0";           // L integration
    t += "    100.5" "      0.0" "         " "       -2";           // H integration
    return t;
}

QByteArray threeRecords() {
    QByteArray r;
    r += "13/05/01 10:15:20" "  25.3" "  1.23" "      " "  O.R." "1";
    r += "13/05/01 10:16:00" " -12.5" "  U.R." "   0.0" "3276.7" "0";
    r += "13/05/01 10:17:20" "   0.0" " -0.05" "xxxxxx" "  12.0" "x";
    return r;
}

QByteArray ml1File(const QByteArray& body, const QByteArray& tail = "\r\n") {
    return scramble("MQ-50   LD01-010100") + "\r\n" + scramble(body) + tail;
}

class Ml1Test : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        file = std::make_shared<clsFILE_DATA>();
        slot->act_data_kind = 1;
        slot->act_file_data = file;
    }
    clsLOGGER_SETTING& s() { return file->clsLOGGER_SETTING(); }
    clsLOGGER_STATUS& st() { return file->clsLOGGER_STATUS(); }

    // The opening order: body by count, unscrambled, header, trailer, records.
    std::vector<LogRecord> open(const QByteArray& bytes) {
        QByteArray body;
        const FileResult b = ml1_body_of_file(bytes, body);
        EXPECT_TRUE(b.ok) << b.message.toStdString();
        const QByteArray plain = data_disk_angou_load_2(body);
        EXPECT_TRUE(ml1_header_read(plain, s(), st()).ok);
        EXPECT_TRUE(ml1_trailer_read(plain, s()).ok);
        std::vector<LogRecord> out;
        bool cancelled = true;
        EXPECT_TRUE(ml1_for_each_record(plain, s(), [&](const LogRecord& r) { return out.push_back(r), true; },
                                        cancelled)
                        .ok);
        EXPECT_FALSE(cancelled);
        return out;
    }

    ModelSlot slot;
    std::shared_ptr<clsFILE_DATA> file;
};

TEST_F(Ml1Test, ScrambledBodyHoldsLineEndsAndIsStillReadWhole) {
    const QByteArray body = headerBlock("       3") + threeRecords() + trailer();
    ASSERT_EQ(body.size(), 266 + 3 * 42 + 144);
    const QByteArray bytes = ml1File(body);
    EXPECT_TRUE(scramble(body).contains("\r\n"));
    EXPECT_EQ(ml1_format_tag(bytes), QByteArray("LD01-010100"));
    // A 'P' 'W' in line 1 scrambles to CR LF as well; line 1 still ends at its tag.
    const QByteArray pwLine = scramble("MQPW    LD01-010100") + "\r\n" + scramble(body) + "\r\n";
    EXPECT_EQ(ml1_format_tag(pwLine), QByteArray("LD01-010100"));
    QByteArray pwBody;
    ASSERT_TRUE(ml1_body_of_file(pwLine, pwBody).ok);
    EXPECT_EQ(pwBody, scramble(body));

    QByteArray got;
    ASSERT_TRUE(ml1_body_of_file(bytes, got).ok);
    EXPECT_EQ(got, scramble(body));
    open(bytes);
    EXPECT_EQ(s().log_name(), QStringLiteral("PWLOG_WP"));
    EXPECT_EQ(s().Worker(), QStringLiteral("WORKERPW"));
}

TEST_F(Ml1Test, HeaderBlockFillsStatusAndSetting) {
    open(ml1File(headerBlock("       3") + threeRecords() + trailer()));
    EXPECT_EQ(st().model_name(), QStringLiteral("MQ-50   "));
    EXPECT_EQ(st().hard_ver(), 1);
    EXPECT_EQ(st().soft_ver(), 2);
    EXPECT_EQ(st().special_spec(), 3);
    EXPECT_EQ(st().serial_no(), QStringLiteral("SN123456"));
    EXPECT_EQ(st().user_model_name(), QStringLiteral("USERNAME"));
    EXPECT_EQ(s().area_no(), 5);
    EXPECT_EQ(s().start_time(), civil(2013, 5, 1, 10, 15, 20));
    EXPECT_EQ(s().stop_time(), civil(2013, 5, 1, 10, 17, 20));
    EXPECT_EQ(s().record_interval(), QStringLiteral("00:01:00"));
    EXPECT_EQ(s().Comment(), QStringLiteral("COMMENT1"));
    EXPECT_EQ(st().Ch_shift(0), QStringLiteral("  15"));
    EXPECT_EQ(st().Ch_shift(1), QStringLiteral("  -3"));
    EXPECT_EQ(s().Ch_input_type(0), QStringLiteral("K"));
    EXPECT_EQ(s().Ch_input_type(1), QStringLiteral("V"));
    EXPECT_EQ(s().Ch_input_type(2), QStringLiteral("-"));
    EXPECT_EQ(s().Ch_unit(0), QStringLiteral("ﾟC "));
    EXPECT_EQ(s().Ch_unit(1), QStringLiteral("V  "));
    EXPECT_EQ(s().Ch_scale_min(0), -200);
    EXPECT_EQ(s().Ch_scale_min(1), -5);
    EXPECT_EQ(s().Ch_scale_max(3), 400);
    EXPECT_EQ(s().Ch_period_pos(1), 2);
    // Values with a point are scaled by the channel (a voltage channel by its
    // own decimal position); values without one are already scaled.
    EXPECT_EQ(s().Ch_low_alarm_count(0), QStringLiteral(" -500"));
    EXPECT_EQ(s().Ch_low_alarm_count(1), QStringLiteral(" -150"));
    EXPECT_EQ(s().Ch_high_alarm_count(1), QStringLiteral("  150"));
    EXPECT_EQ(s().Ch_low_alarm_count(2), QStringLiteral("-----"));
    EXPECT_DOUBLE_EQ(s().Ch_high_alarm_count_value(3), 100.0);
    EXPECT_EQ(s().Ch_sum_std_count(0), QStringLiteral(" 0000"));
    EXPECT_EQ(s().Ch_sum_std_count(3), QStringLiteral("  200"));
    EXPECT_EQ(s().data_count(), 3);
}

TEST_F(Ml1Test, RecordsAndTrailer) {
    const auto recs = open(ml1File(headerBlock("       3") + threeRecords() + trailer()));
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(recs[0].No, 1);
    EXPECT_EQ(recs[2].No, 3);
    EXPECT_EQ(recs[0].time, civil(2013, 5, 1, 10, 15, 20));
    EXPECT_EQ(recs[1].time, civil(2013, 5, 1, 10, 16, 0));
    EXPECT_EQ(recs[0].ch, (std::array<QString, 4>{QStringLiteral("      25.3"), QStringLiteral("      1.23"),
                                                  QString(), QStringLiteral("     O.R.")}));
    // The logger's range code as a number stays a number in file data.
    EXPECT_EQ(recs[1].ch, (std::array<QString, 4>{QStringLiteral("     -12.5"), QStringLiteral("     U.R."),
                                                  QString(), QStringLiteral("    3276.7")}));
    EXPECT_EQ(recs[2].ch[1], QStringLiteral("     -0.05"));
    EXPECT_EQ(recs[2].ch[2], QString());  // whatever an unused channel's field holds
    EXPECT_EQ(recs[0].value[3], QStringLiteral("  O.R."));
    EXPECT_EQ(recs[0].mark, QStringLiteral("*"));
    EXPECT_EQ(recs[1].mark, QString());
    EXPECT_EQ(recs[2].mark, QString());

    EXPECT_EQ(s().Ch_min(0), QStringLiteral(" -125"));
    EXPECT_DOUBLE_EQ(s().Ch_min_value(1), -0.05);
    EXPECT_EQ(s().Ch_max(0), QStringLiteral("  253"));
    EXPECT_DOUBLE_EQ(s().Ch_ave_value(1), 0.59);
    EXPECT_EQ(s().Ch_l_sum(0), QStringLiteral("     123"));
    EXPECT_EQ(s().Ch_h_sum(0), QStringLiteral("    1005"));
    EXPECT_EQ(s().Ch_h_sum(3), QStringLiteral("      -2"));
}

TEST_F(Ml1Test, FileWithoutRecordsReadsTheTrailerBehindTheHeader) {
    const QByteArray bytes = ml1File(headerBlock("       0") + trailer(), "\r\nline 3\r\n");
    const auto recs = open(bytes);
    EXPECT_TRUE(recs.empty());
    EXPECT_EQ(s().data_count(), 0);
    EXPECT_EQ(s().Ch_max(0), QStringLiteral("  253"));
}

TEST_F(Ml1Test, ShortOrBrokenFilesAreRefusedWithAMessage) {
    QByteArray body;
    // One byte of the trailer missing.
    FileResult r = ml1_body_of_file(ml1File(headerBlock("       3") + threeRecords() + trailer().chopped(1), ""), body);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_TRUE(body.isEmpty());
    // A count larger than the records present.
    EXPECT_FALSE(ml1_body_of_file(ml1File(headerBlock("       4") + threeRecords() + trailer()), body).ok);
    // No second line at all.
    EXPECT_FALSE(ml1_body_of_file(scramble("MQ-50   LD01-010100"), body).ok);
    EXPECT_TRUE(ml1_format_tag(scramble("MQ-50   LD01-010100")).isEmpty());
    // A record count that is not a number.
    EXPECT_FALSE(ml1_body_of_file(ml1File(headerBlock("     abc") + trailer()), body).ok);
    // A header block cut short.
    clsLOGGER_SETTING other;
    clsLOGGER_STATUS otherStatus;
    EXPECT_FALSE(ml1_header_read(headerBlock("       0").left(200), other, otherStatus).ok);
}

TEST_F(Ml1Test, BadRecordTimeStopsWithAMessageAfterTheGoodRecords) {
    QByteArray recs = threeRecords();
    recs.replace(84, 17, "13/13/01 10:17:20");
    QByteArray body;
    ASSERT_TRUE(ml1_body_of_file(ml1File(headerBlock("       3") + recs + trailer()), body).ok);
    const QByteArray plain = scramble(body);
    ASSERT_TRUE(ml1_header_read(plain, s(), st()).ok);
    int seen = 0;
    bool cancelled = false;
    const FileResult r = ml1_for_each_record(plain, s(), [&](const LogRecord&) { return ++seen, true; }, cancelled);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QStringLiteral("3件目")));
    EXPECT_EQ(seen, 2);
}

TEST_F(Ml1Test, GraphOptionsStartFromTheSettings) {
    open(ml1File(headerBlock("       3") + threeRecords() + trailer()));
    clsLOGGER_GraphInfo& g = file->clsLOGGER_GraphInfo();
    ml1_graph_defaults(s(), g);
    EXPECT_EQ(g.log_name(), QStringLiteral("PWLOG_WP"));
    EXPECT_EQ(g.worker_name(), QStringLiteral("WORKERPW"));
    EXPECT_EQ(g.Ch_period_pos(1), 2);
    EXPECT_EQ(g.Ch_H_Alm_FileString(0), QStringLiteral(" 1000"));
    EXPECT_EQ(g.Ch_H_Alm_FileString(1), QStringLiteral("  150"));
    EXPECT_EQ(g.Ch_L_Alm_FileString(0), QStringLiteral(" -500"));
    EXPECT_EQ(g.DataCount(), 3);
    EXPECT_EQ(g.GrpDrw_StartPos(), 1);
    EXPECT_EQ(g.GrpDrw_EndPos(), 3);
    EXPECT_EQ(g.Ch_G_color(0), 16711680);
    EXPECT_EQ(g.Ch_G_color(1), 65280);
    EXPECT_EQ(g.Ch_G_color(2), 255);
    EXPECT_EQ(g.Ch_G_color(3), 0);
    EXPECT_EQ(g.CH_GraphDrawSw(), QStringLiteral("1111"));
    EXPECT_EQ(g.LIneBold_Sw(), QStringLiteral("1"));
    EXPECT_EQ(g.Label_Sw(), QStringLiteral("0"));
    EXPECT_EQ(g.GrdDispSort(), QStringLiteral("1234"));
    EXPECT_EQ(g.Std_Sw(2), QStringLiteral("0"));
}

TEST_F(Ml1Test, ReadsTheBodyFromAFileOnDisk) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/old.ML1");
    const QByteArray body = headerBlock("       3") + threeRecords() + trailer();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ml1File(body));
    f.close();
    QByteArray got;
    ASSERT_TRUE(ml1_read_body(path, got).ok);
    EXPECT_EQ(scramble(got), body);
    EXPECT_FALSE(ml1_read_body(dir.path() + QStringLiteral("/missing.ML1"), got).ok);
}

}  // namespace
