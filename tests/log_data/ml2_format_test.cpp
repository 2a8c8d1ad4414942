// ".ML2" LOG data files as bytes: header, filler, packed records and footer
// written byte for byte, read back into a fresh file data set, abnormally
// ended and cut-off files, and the safe writing of the file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "common/test_env.h"
#include "log_data/log_grid_display.h"
#include "log_data/ml2_format.h"
#include "main_window/scrambling.h"
#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/civil_time.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/numbers.h"

using namespace mq;
using platform::civil;

namespace {

QByteArray enc(const QString& t) { return platform::cp932::encode(t); }
QByteArray zeros(int n) { return QByteArray(n, '\0'); }

// The stored text of a value as the data model keeps it.
QString cell(const QString& v) { return QStringLiteral("    ") + platform::rightAlign(v, 6); }

class Ml2Test : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        src = std::make_shared<clsFILE_DATA>();
        dst = std::make_shared<clsFILE_DATA>();
        makeCurrent(src);
        standard();
    }

    void makeCurrent(const std::shared_ptr<clsFILE_DATA>& f) {
        slot->act_data_kind = 1;
        slot->act_file_data = f;
    }

    clsLOGGER_SETTING& s() { return src->clsLOGGER_SETTING(); }
    clsLOGGER_STATUS& st() { return src->clsLOGGER_STATUS(); }
    clsLOGGER_GraphInfo& g() { return src->clsLOGGER_GraphInfo(); }

    // Four thermocouple channels, interval one minute, start 2013/05/01 10:15:20.
    void standard() {
        s().let_log_name(QStringLiteral("LOGNAME1"));
        s().let_record_interval(QStringLiteral("00:01:00"));
        s().let_Worker(QStringLiteral("WORKER01"));
        s().let_Comment(QStringLiteral("COMMENT1"));
        s().let_start_time(civil(2013, 5, 1, 10, 15, 20));
        s().let_stop_time(civil(2013, 5, 1, 10, 22, 0));
        for (int ch = 0; ch < 4; ++ch) {
            s().let_Ch_input_type(ch, QStringLiteral("K"));
            s().let_Ch_unit(ch, QStringLiteral("ﾟC "));
            s().let_Ch_period_pos(ch, 1);
            s().let_Ch_scale_min(ch, -200);
            s().let_Ch_scale_max(ch, 1370);
            s().let_Ch_low_alarm_count(ch, QStringLiteral("-----"));
            s().let_Ch_high_alarm_count(ch, QStringLiteral("100.0"));
            s().let_Ch_sum_std_count(ch, QStringLiteral("0.0"));
            st().let_Ch_shift(ch, QStringLiteral("0"));
        }
        s().let_area_no(3);
        s().let_data_count(0);
        st().let_model_name(QStringLiteral("MQ-100"));
        st().let_hard_ver(1);
        st().let_soft_ver(2);
        st().let_special_spec(0);
        st().let_serial_no(QStringLiteral("SN000001"));
        st().let_user_model_name(QStringLiteral("USERNAME"));
        ml2_graph_defaults(s(), g());
    }

    // n records with varied values; channel texts as the data model stores them.
    void makeRecords(int n) {
        records.clear();
        for (int r = 1; r <= n; ++r) {
            LogRecord rec;
            rec.No = r;
            rec.mark = (r % 5 == 0) ? QStringLiteral("*") : QString();
            for (int ch = 0; ch < 4; ++ch) {
                if (s().Ch_input_type(ch) == QLatin1String("-")) continue;
                const int tenths = ((r * 37 + ch * 101) % 3000) - 1000;
                rec.ch[ch] = cell(platform::format(tenths / 10.0, QStringLiteral("0.0")));
            }
            records.push_back(rec);
        }
        s().let_data_count(n);
        g().let_DataCount(n);
    }

    LogRecordSource source() {
        auto i = std::make_shared<size_t>(0);
        return [this, i](LogRecord& out) {
            if (*i >= records.size()) return false;
            out = records[(*i)++];
            return true;
        };
    }

    QByteArray build() {
        QByteArray bytes;
        const FileResult r = ml2_build(bytes, Ml2Sources{s(), st(), g()}, source());
        EXPECT_TRUE(r.ok) << r.message.toStdString();
        return bytes;
    }

    // Reads bytes back the way the opening window does: header by byte count,
    // unscrambled, cut into the fresh data set, then footer and records.
    std::vector<LogRecord> readBack(const QByteArray& bytes, Ml2LoadResult* result = nullptr,
                                    Ml2HeaderInfo* info = nullptr) {
        makeCurrent(dst);
        Ml2HeaderInfo hi;
        const FileResult h = ld20_header_read(data_disk_angou_load_1(bytes.left(kMl2HeaderSize)),
                                              dst->clsLOGGER_SETTING(), dst->clsLOGGER_STATUS(), hi);
        EXPECT_TRUE(h.ok) << h.message.toStdString();
        if (info) *info = hi;
        std::vector<LogRecord> out;
        Ml2LoadResult lr;
        const FileResult l = ml2_load(bytes, dst->clsLOGGER_SETTING(), dst->clsLOGGER_GraphInfo(),
                                      [&](const LogRecord& rec) {
                                          out.push_back(rec);
                                          return true;
                                      },
                                      lr);
        EXPECT_TRUE(l.ok) << l.message.toStdString();
        if (result) *result = lr;
        return out;
    }

    ModelSlot slot;
    std::shared_ptr<clsFILE_DATA> src, dst;
    std::vector<LogRecord> records;
};

// ---- header ---------------------------------------------------------------------------

TEST_F(Ml2Test, HeaderTextIsByteExactAndScrambledWithTheDataFileKey) {
    s().let_Ch_scale_min(1, -5);
    s().let_Ch_low_alarm_count(1, QStringLiteral("0"));  // a set value of 0
    s().let_Ch_input_type(2, QStringLiteral("-"));
    s().let_Ch_input_type(3, QStringLiteral("V"));
    s().let_Ch_unit(3, QStringLiteral("mV"));
    s().let_Ch_period_pos(3, 2);
    s().let_Ch_high_alarm_count(3, QStringLiteral("1.5"));  // voltage, two decimals: 150
    st().let_Ch_shift(0, QStringLiteral("1.5"));
    st().let_Ch_shift(1, QStringLiteral("-2.0"));
    makeRecords(3);

    QByteArray expected;
    expected += "LOGNAME1" "000100" "WORKER01" "COMMENT1" "130501101520" "130501102200";
    expected += enc(QStringLiteral("KﾟC -0200 1370")) + "1" "-----" " 1000" " 0000";
    expected += enc(QStringLiteral("KﾟC -0005 1370")) + "1" "    0" " 1000" " 0000";
    expected += enc(QStringLiteral("-ﾟC -0200 1370")) + "1" "-----" " 1000" " 0000";
    expected += "VmV -0200 1370" "2" "-----" "  150" " 0000";
    expected += "         3" "  15" " -20" "   0" "   0";
    expected += "MQ-100  " "LD20" "01" "02" "00" "SN000001" "USERNAME" "03";
    ASSERT_EQ(expected.size(), 236);

    QByteArray header;
    ASSERT_TRUE(ld20_header_make(s(), st(), header).ok);
    EXPECT_EQ(header, expected);

    const QByteArray file = build();
    EXPECT_EQ(ml2_format_tag(file), QByteArray("LD20"));
    EXPECT_TRUE(ml2_format_tag(file.left(235)).isEmpty());
    for (int i = 0; i < 236; ++i) {
        ASSERT_EQ(static_cast<quint8>(file[i]), static_cast<quint8>(expected[i] ^ 0x5D)) << "byte " << i;
    }
}

TEST_F(Ml2Test, HeaderRefusesTextsThatDoNotFitTheFormat) {
    QByteArray header;
    s().let_log_name(QStringLiteral("温度記録"));
    FileResult r = ld20_header_make(s(), st(), header);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("ログ名"))) << r.message.toStdString();

    standard();
    st().let_serial_no(QStringLiteral("№12"));
    r = ld20_header_make(s(), st(), header);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("機器シリアルナンバー")));

    standard();
    st().let_hard_ver(100);  // three digits in a two-digit field
    r = ld20_header_make(s(), st(), header);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QStringLiteral("桁数")));

    standard();
    s().let_Ch_high_alarm_count(2, QStringLiteral("-2000.0"));  // -20000 needs six characters
    r = ld20_header_make(s(), st(), header);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("CH3の上限警報値")));

    standard();
    s().let_record_interval(QString());
    EXPECT_FALSE(ld20_header_make(s(), st(), header).ok);

    // Half-width katakana are single-byte and fine.
    standard();
    s().let_Worker(QStringLiteral("ﾔﾏﾀﾞ"));
    EXPECT_TRUE(ld20_header_make(s(), st(), header).ok);
}

// ---- the empty file and the footer ---------------------------------------------------

TEST_F(Ml2Test, EmptyDataSetGives1538BytesHeaderFillerCrLfFooter) {
    const QByteArray file = build();
    ASSERT_EQ(file.size(), 1538);
    EXPECT_EQ(file.mid(236, 276), zeros(276));
    EXPECT_EQ(file.mid(512, 2), QByteArray("\r\n"));
    QByteArray footer;
    ASSERT_TRUE(ld20_footer_make(s(), g(), st(), footer).ok);
    EXPECT_EQ(file.mid(514), footer);
    EXPECT_EQ(ml2_footer_offset(0, 12), 514);
}

TEST_F(Ml2Test, FooterIsByteExact) {
    makeRecords(2);
    s().let_Ch_max(0, QStringLiteral("25.3"));
    s().let_Ch_min(0, QStringLiteral("-12.5"));
    s().let_Ch_ave(0, QStringLiteral("5.0"));
    s().let_Ch_l_sum(0, QStringLiteral("123.4"));
    s().let_Ch_h_sum(0, QStringLiteral("-5.5"));
    s().let_CH_L_ALM_NUM(0, 7);
    s().let_CH_H_ALM_NUM(0, 12345);
    st().let_Ch_shift(3, QStringLiteral("-0.5"));
    g().let_log_name(QStringLiteral("GLOGNAME"));
    g().let_worker_name(QStringLiteral("GWORKER"));
    g().let_Comment(QStringLiteral("GCOMMENT"));
    g().let_Ch_L_Alm_FileString(0, QStringLiteral("-50"));
    g().let_Ch_H_Alm_FileString(0, QStringLiteral("800"));
    g().let_Ch_sum_std_count_FileString(0, QStringLiteral("0"));
    g().let_Ch_comment(0, QStringLiteral("温度"));  // two double-byte characters
    g().let_Ch_comment(1, QStringLiteral("inlet"));
    g().let_Title(QStringLiteral("炉内温度 test"));
    g().let_CH_GraphAxDrawSw(QStringLiteral("1010"));
    g().let_Ch_G_color(2, 12345678);
    g().let_Label_Sw(QStringLiteral("1"));
    g().let_LIneBold_Sw(QStringLiteral("0"));
    g().let_GrpDrw_StartPos(1);
    g().let_GrpDrw_EndPos(2);
    g().let_CH_GraphDrawSw(QStringLiteral("1101"));
    g().let_Ch_l_Scale(0, -200);
    g().let_Ch_h_Scale(0, 13700);
    g().let_Std_Sw(1, QStringLiteral("1"));
    g().let_Std_Value_FileString(1, QStringLiteral("250"));
    g().let_Sum_Std_Sw(2, QStringLiteral("1"));
    g().let_L_Alm_Sw(3, QStringLiteral("1"));
    g().let_H_Alm_Sw(0, QStringLiteral("1"));
    g().let_DataMark_Sw(QStringLiteral("1"));
    g().let_GrdDispSort(QStringLiteral("4321"));

    QByteArray e;
    e += "GLOGNAME" "000100" "GWORKER " "GCOMMENT" "130501101520" "130501102200";
    e += enc(QStringLiteral("KﾟC -0200 1370")) + "1" "  -50" "  800" "    0";
    for (int ch = 1; ch < 4; ++ch) e += enc(QStringLiteral("KﾟC -0200 1370")) + "1" "    0" " 1000" "    0";
    e += "         2" "   0" "   0" "   0" "  -5";
    e += zeros(56);
    e += "  253" "    0" "    0" "    0";                  // maximum
    e += " -125" "    0" "    0" "    0";                  // minimum
    e += "   50" "    0" "    0" "    0";                  // average
    e += "    1234" "       0" "       0" "       0";      // L integration
    e += "     -55" "       0" "       0" "       0";      // H integration
    e += "         7" "         0" "         0" "         0";
    e += "     12345" "         0" "         0" "         0";
    e += zeros(52);
    e += enc(QStringLiteral("温度")) + QByteArray(12, ' ') + QByteArray(16, ' ');
    e += "inlet" + QByteArray(11, ' ') + QByteArray(16, ' ');
    e += QByteArray(32, ' ') + QByteArray(32, ' ');
    e += enc(QStringLiteral("炉内温度 test")) + QByteArray(19, ' ');
    e += zeros(189);
    e += "1010" "   16711680" "      65280" "   12345678" "          0";
    e += "1" "0" "         1" "         2" "1101";
    e += "  -200" " 13700" "     0" "     0" "     0" "     0" "     0" "     0";
    e += "0100" "    0" "  250" "    0" "    0" "0010" "0001" "1000" "1" "4321";
    ASSERT_EQ(e.size(), 1024);

    QByteArray footer;
    ASSERT_TRUE(ld20_footer_make(s(), g(), st(), footer).ok);
    EXPECT_EQ(footer, e);
}

TEST_F(Ml2Test, FooterFillersAreZeroBytesNotBlanks) {
    QByteArray footer;
    ASSERT_TRUE(ld20_footer_make(s(), g(), st(), footer).ok);
    ASSERT_EQ(footer.size(), 1024);
    EXPECT_EQ(footer.mid(200, 56), zeros(56));
    EXPECT_EQ(footer.mid(460, 52), zeros(52));
    EXPECT_EQ(footer.mid(672, 189), zeros(189));
    // Graph options never set hold code-0 characters; they are written as
    // such and the footer keeps its size.
    clsLOGGER_GraphInfo fresh;
    ASSERT_TRUE(ld20_footer_make(s(), fresh, st(), footer).ok);
    ASSERT_EQ(footer.size(), 1024);
    EXPECT_EQ(footer.mid(861, 4), zeros(4));
}

TEST_F(Ml2Test, OverlongCommentIsCutAtACharacterBoundary) {
    g().let_Ch_comment(0, QStringLiteral("あいうえおかきくけ"));  // 18 bytes
    QByteArray footer;
    ASSERT_TRUE(ld20_footer_make(s(), g(), st(), footer).ok);
    ASSERT_EQ(footer.size(), 1024);
    EXPECT_EQ(footer.mid(512, 32), enc(QStringLiteral("あいうえおかきく")) + QByteArray(16, ' '));
}

// ---- records --------------------------------------------------------------------------

TEST_F(Ml2Test, ValueAndStatusEncoding) {
    const auto bytes = [&](const QString& t, bool mark, int ch) {
        const auto b = ld20_channel_bytes(t, mark, s(), ch);
        return std::vector<int>{b[0], b[1], b[2]};
    };
    using V = std::vector<int>;
    s().let_Ch_low_alarm_count(0, QStringLiteral("-50.0"));
    EXPECT_EQ(bytes(cell("25.3"), false, 0), (V{0x00, 0xFD, 0}));
    EXPECT_EQ(bytes(cell("-12.5"), false, 0), (V{0xFF, 0x83, 0}));
    EXPECT_EQ(bytes(cell("1370"), false, 0), (V{0x05, 0x5A, 4}));
    EXPECT_EQ(bytes(QStringLiteral("     O.R."), false, 0), (V{0x7F, 0xFF, 0}));
    EXPECT_EQ(bytes(QStringLiteral("     U.R."), true, 0), (V{0x7F, 0xFE, 1}));
    EXPECT_EQ(bytes(QStringLiteral("  O.R."), false, 1), (V{0x7F, 0xFF, 0}));
    // Marked and above the high alarm: 5 on a thermocouple channel, 1 on "V".
    EXPECT_EQ(bytes(cell("150.0"), true, 0), (V{0x05, 0xDC, 5}));
    s().let_Ch_input_type(1, QStringLiteral("V"));
    EXPECT_EQ(bytes(cell("150.0"), true, 1), (V{0x05, 0xDC, 1}));
    // Below the low alarm.
    EXPECT_EQ(bytes(cell("-60.0"), false, 0), (V{0xFD, 0xA8, 2}));
    // A missing value: the reserved code, no alarm bits.
    EXPECT_EQ(bytes(QStringLiteral("    ------"), true, 0), (V{0x7F, 0xFD, 1}));
    // Three decimals: the digits as one negative integer (-1234 = FB2E).
    s().let_Ch_period_pos(1, 3);
    EXPECT_EQ(bytes(cell("-1.234"), false, 1), (V{0xFB, 0x2E, 0}));
    // The logger's range codes written as numbers are still numbers for the alarms.
    EXPECT_EQ(bytes(cell("3276.7"), false, 0), (V{0x7F, 0xFF, 4}));
    // A text that is no value is refused, not written as garbage.
    EXPECT_THROW(ld20_channel_bytes(cell("12a"), false, s(), 0), ConversionError);
    EXPECT_THROW(ld20_channel_bytes(cell("4000.0"), false, s(), 0), OverflowError);
}

TEST_F(Ml2Test, AlarmBitsWithUnsetAndReversedAlarmValues) {
    const auto status = [&](const QString& v) { return int(ld20_channel_bytes(cell(v), false, s(), 2)[2]); };
    // Neither alarm value set: both count as 0.
    s().let_Ch_low_alarm_count(2, QStringLiteral("-----"));
    s().let_Ch_high_alarm_count(2, QStringLiteral("-----"));
    EXPECT_EQ(status("0.1"), 4);
    EXPECT_EQ(status("-0.1"), 2);
    EXPECT_EQ(status("0.0"), 0);
    // High below low: the comparisons turn round.
    s().let_Ch_low_alarm_count(2, QStringLiteral("50.0"));
    s().let_Ch_high_alarm_count(2, QStringLiteral("10.0"));
    EXPECT_EQ(status("5.0"), 4);
    EXPECT_EQ(status("60.0"), 2);
    EXPECT_EQ(status("30.0"), 0);
}

// The status bits by the record format's own rule: upper 100.0 over lower
// 0.0, then the two swapped, then equal, then a voltage channel.
TEST(Ml2StatusBits, FollowTheFormatsRule) {
    clsLOGGER_SETTING s;
    const char* const setup[4][3] = {
        {"K", "100.0", "0.0"}, {"T", "0.0", "100.0"}, {"K", "50.0", "50.0"}, {"V", "1.0", "0.0"}};
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_input_type(ch, QString::fromLatin1(setup[ch][0]));
        s.let_Ch_high_alarm_count(ch, QString::fromLatin1(setup[ch][1]));
        s.let_Ch_low_alarm_count(ch, QString::fromLatin1(setup[ch][2]));
    }
    const struct {
        int ch;
        double value;
        int bits;
    } cases[] = {{0, 100.1, 4}, {0, 100.0, 0}, {0, 0.0, 0}, {0, -0.1, 2}, {1, 50.0, 0}, {1, -1.0, 4},
                 {1, 101.0, 2}, {2, 50.1, 4},  {2, 49.9, 2}, {2, 50.0, 0}, {3, 99.0, 0}};
    for (const auto& c : cases) EXPECT_EQ(ld20_alarm_status_bits(s, c.ch, c.value), c.bits) << c.ch << " " << c.value;
    EXPECT_THROW(ld20_alarm_status_bits(s, 4, 1.0), OutOfRangeError);
}

TEST_F(Ml2Test, FourChannelsPackSevenRecordsPerBlock) {
    makeRecords(8);
    const QByteArray file = build();
    ASSERT_EQ(file.size(), 512 + 2 * 84 + 1024);
    // Record 8 opens the second block; the rest of that block is zero bytes.
    const auto b = ld20_channel_bytes(records[7].ch[0], false, s(), 0);
    EXPECT_EQ(static_cast<quint8>(file[596]), b[0]);
    EXPECT_EQ(static_cast<quint8>(file[597]), b[1]);
    EXPECT_EQ(file.mid(596 + 12, 72), zeros(72));
    EXPECT_NE(file.mid(512, 2), QByteArray("\r\n"));
}

TEST_F(Ml2Test, ThreeChannelRecordsCrossBlockBoundaries) {
    s().let_Ch_input_type(3, QStringLiteral("-"));
    makeRecords(10);
    const QByteArray file = build();
    ASSERT_EQ(file.size(), 512 + 2 * 84 + 1024);
    // Record 10 starts at byte 81 of the first block and ends at byte 5 of the second.
    QByteArray rec10;
    for (int ch = 0; ch < 3; ++ch) {
        const auto b = ld20_channel_bytes(records[9].ch[ch], records[9].mark == QStringLiteral("*"), s(), ch);
        rec10.append(char(b[0])).append(char(b[1])).append(char(b[2]));
    }
    EXPECT_EQ(file.mid(512 + 81, 9), rec10);
    EXPECT_EQ(file.mid(596 + 6, 78), zeros(78));
    EXPECT_EQ(readBack(file).at(9).ch, records[9].ch);
}

TEST_F(Ml2Test, UnusedChannelTakesNoBytes) {
    s().let_Ch_input_type(1, QStringLiteral("-"));
    s().let_Ch_input_type(3, QStringLiteral("-"));
    makeRecords(2);
    records[0].ch[0] = cell("25.3");
    records[0].ch[2] = cell("-12.5");
    const QByteArray file = build();
    // CH3's low alarm is not set and counts as 0: -12.5 lies beyond it.
    EXPECT_EQ(file.mid(512, 6), QByteArray::fromHex("00FD00FF8302"));
}

TEST_F(Ml2Test, MarkComesFromTheFirstUsedChannel) {
    s().let_Ch_input_type(0, QStringLiteral("-"));
    makeRecords(6);
    const auto back = readBack(build());
    ASSERT_EQ(back.size(), 6u);
    EXPECT_EQ(back[4].mark, QStringLiteral("*"));
    EXPECT_EQ(back[3].mark, QString());
    EXPECT_EQ(back[0].ch[0], QString());
    EXPECT_EQ(back[0].value[0], QString(6, u' '));
}

TEST_F(Ml2Test, ProgressRunsFromZeroToNMinusOne) {
    struct Progress : IFileProgress {
        void set_progress_value(double v) override { values.push_back(v); }
        void process_events() override { ++events; }
        bool file_cancel_flag() const override { return false; }
        void set_file_cancel_flag(bool) override {}
        std::vector<double> values;
        int events = 0;
    } p;
    makeRecords(15);
    QByteArray bytes;
    ASSERT_TRUE(ml2_build(bytes, Ml2Sources{s(), st(), g()}, source(), &p).ok);
    ASSERT_EQ(p.values.size(), 15u);
    EXPECT_EQ(p.values.front(), 0);
    EXPECT_EQ(p.values.back(), 14);
    EXPECT_GE(p.events, 15);
}

TEST_F(Ml2Test, SourceEndingEarlyRefusesTheSave) {
    makeRecords(5);
    s().let_data_count(6);
    QByteArray bytes;
    const FileResult r = ml2_build(bytes, Ml2Sources{s(), st(), g()}, source());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(bytes.isEmpty());
}

// ---- reading back ---------------------------------------------------------------------

TEST_F(Ml2Test, RoundTripKeepsRecordsMarksSettingsAndGraphOptions) {
    // 'P' and 'W' scramble to CR and LF; a voltage channel with two decimals,
    // range marks and a missing value.
    s().let_log_name(QStringLiteral("PWPW0001"));
    s().let_Worker(QStringLiteral("WP"));
    s().let_Ch_input_type(2, QStringLiteral("-"));
    s().let_Ch_input_type(3, QStringLiteral("V"));
    s().let_Ch_unit(3, QStringLiteral("V  "));
    s().let_Ch_period_pos(3, 2);
    g().let_Ch_period_pos(3, 2);
    s().let_Ch_low_alarm_count(3, QStringLiteral("-1.00"));
    s().let_Ch_scale_min(3, -5);
    s().let_Ch_scale_max(3, 5);
    st().let_Ch_shift(1, QStringLiteral("-9.9"));
    makeRecords(40);
    records[3].ch[0] = QStringLiteral("     O.R.");
    records[4].ch[1] = QStringLiteral("     U.R.");
    records[5].ch[0] = QStringLiteral("    ------");
    for (int r = 0; r < 40; ++r) records[r].ch[3] = cell(platform::format((r - 20) * 0.37, QStringLiteral("0.00")));
    s().let_stop_time(civil(2013, 5, 1, 10, 54, 0));
    s().let_Ch_max(0, QStringLiteral("199.9"));
    s().let_Ch_h_sum(1, QStringLiteral("1234.5"));
    s().let_CH_H_ALM_NUM(0, 17);
    g().let_Ch_comment(2, QStringLiteral("外気温"));
    g().let_Title(QStringLiteral("ＰＷタイトル"));
    g().let_Std_Value_FileString(0, QStringLiteral("123"));
    g().let_Ch_l_Scale(3, -500);
    g().let_GrpDrw_StartPos(3);
    g().let_GrpDrw_EndPos(30);

    const QByteArray file = build();
    EXPECT_TRUE(file.left(236).contains('\r'));
    EXPECT_TRUE(file.left(236).contains('\n'));

    Ml2LoadResult lr;
    Ml2HeaderInfo info;
    const auto back = readBack(file, &lr, &info);
    EXPECT_FALSE(info.abnormal);
    EXPECT_TRUE(lr.footer_found);
    EXPECT_FALSE(lr.short_file);
    ASSERT_EQ(back.size(), 40u);
    for (int r = 0; r < 40; ++r) {
        EXPECT_EQ(back[r].No, r + 1);
        EXPECT_EQ(back[r].ch, records[r].ch) << "record " << r + 1;
        EXPECT_EQ(back[r].mark, records[r].mark) << "record " << r + 1;
    }
    EXPECT_EQ(back[3].value[0], QStringLiteral("  O.R."));
    EXPECT_EQ(back[4].value[1], QStringLiteral("  U.R."));
    EXPECT_EQ(back[5].value[0], QStringLiteral("------"));
    EXPECT_EQ(back[5].ch[0], QStringLiteral("    ------"));
    EXPECT_EQ(back[0].time, s().start_time());
    EXPECT_EQ(back[1].time, civil(2013, 5, 1, 10, 16, 0));
    EXPECT_EQ(back[39].time, s().stop_time());

    const clsLOGGER_SETTING& d = dst->clsLOGGER_SETTING();
    EXPECT_EQ(d.log_name(), s().log_name());
    EXPECT_EQ(d.Worker(), s().Worker());
    EXPECT_EQ(d.record_interval(), QStringLiteral("00:01:00"));
    EXPECT_EQ(d.start_time(), s().start_time());
    EXPECT_EQ(d.stop_time(), s().stop_time());
    EXPECT_EQ(d.data_count(), 40);
    EXPECT_EQ(d.area_no(), 3);
    for (int ch = 0; ch < 4; ++ch) {
        EXPECT_EQ(d.Ch_input_type(ch), s().Ch_input_type(ch));
        EXPECT_EQ(d.Ch_unit(ch), s().Ch_unit(ch));
        EXPECT_EQ(d.Ch_scale_min(ch), s().Ch_scale_min(ch));
        EXPECT_EQ(d.Ch_scale_max(ch), s().Ch_scale_max(ch));
        EXPECT_EQ(d.Ch_period_pos(ch), s().Ch_period_pos(ch));
        EXPECT_EQ(d.Ch_low_alarm_count(ch), s().Ch_low_alarm_count(ch));
        EXPECT_EQ(d.Ch_high_alarm_count(ch), s().Ch_high_alarm_count(ch));
        EXPECT_EQ(d.Ch_sum_std_count(ch), s().Ch_sum_std_count(ch));
        EXPECT_EQ(d.Ch_max(ch), s().Ch_max(ch));
        EXPECT_EQ(d.Ch_h_sum(ch), s().Ch_h_sum(ch));
        EXPECT_EQ(d.CH_H_ALM_NUM(ch), s().CH_H_ALM_NUM(ch));
        EXPECT_EQ(dst->clsLOGGER_STATUS().Ch_shift(ch), st().Ch_shift(ch));
    }
    const clsLOGGER_STATUS& ds = dst->clsLOGGER_STATUS();
    EXPECT_EQ(ds.model_name(), st().model_name());
    EXPECT_EQ(ds.file_format(), QStringLiteral("LD20"));
    EXPECT_EQ(ds.hard_ver(), 1);
    EXPECT_EQ(ds.soft_ver(), 2);
    EXPECT_EQ(ds.serial_no(), st().serial_no());
    EXPECT_EQ(ds.user_model_name(), st().user_model_name());

    const clsLOGGER_GraphInfo& dg = dst->clsLOGGER_GraphInfo();
    EXPECT_EQ(dg.log_name(), g().log_name());
    EXPECT_EQ(dg.Ch_comment(2), g().Ch_comment(2));
    EXPECT_EQ(dg.Title(), g().Title());
    EXPECT_EQ(dg.Std_Value_FileString(0), QStringLiteral("  123"));
    EXPECT_EQ(dg.Ch_l_Scale(3), -500);
    EXPECT_EQ(dg.GrpDrw_StartPos(), 3);
    EXPECT_EQ(dg.GrpDrw_EndPos(), 30);
    EXPECT_EQ(dg.DataCount(), 40);
    for (int ch = 0; ch < 4; ++ch) {
        EXPECT_EQ(dg.Ch_G_color(ch), g().Ch_G_color(ch));
        EXPECT_EQ(dg.Ch_H_Alm_FileString(ch), g().Ch_H_Alm_FileString(ch));
        EXPECT_EQ(dg.Ch_L_Alm_FileString(ch), g().Ch_L_Alm_FileString(ch));
        EXPECT_EQ(dg.Ch_period_pos(ch), g().Ch_period_pos(ch));
    }
    EXPECT_EQ(dg.GrdDispSort(), QStringLiteral("1234"));

    // The reopened data set writes the same file again.
    makeCurrent(dst);
    auto it = std::make_shared<size_t>(0);
    QByteArray again;
    ASSERT_TRUE(ml2_build(again, Ml2Sources{dst->clsLOGGER_SETTING(), dst->clsLOGGER_STATUS(),
                                            dst->clsLOGGER_GraphInfo()},
                          [&, it](LogRecord& out) {
                              if (*it >= back.size()) return false;
                              out = back[(*it)++];
                              return true;
                          })
                    .ok);
    EXPECT_EQ(again, file);
}

// The reader's value texts agree with the records table's display of a
// stored value for every code, except the reserved missing-value code.
TEST(Ml2Values, ReaderTextsAgreeWithTheTableDisplayForEveryCode) {
    for (const int scale : {10, 100, 1000, 1}) {
        for (int code = 0; code < 65536; ++code) {
            const auto hi = static_cast<quint8>(code >> 8);
            const auto lo = static_cast<quint8>(code & 0xFF);
            const QString mine = ld20_value_text(static_cast<qint16>(static_cast<quint16>(code)), scale);
            if (code == 32765) {
                ASSERT_EQ(mine, QStringLiteral("------"));
                continue;
            }
            ASSERT_EQ(mine, period_pos_format(hi, lo, static_cast<qint16>(scale))) << code << " / " << scale;
        }
    }
    EXPECT_EQ(ld20_value_text(-5, 100), QStringLiteral("-0.05"));
    EXPECT_EQ(ld20_stored_text(QStringLiteral("25.3"), true), QStringLiteral("      25.3"));
    EXPECT_EQ(ld20_stored_text(QStringLiteral("  O.R."), true), QStringLiteral("     O.R."));
    EXPECT_EQ(ld20_stored_text(QStringLiteral("25.3"), false), QString());
}

// The loaders' byte road builds the same texts and numbers as the text road,
// for every code of every scale.
TEST(Ml2Values, ByteTextsAndNumbersAgreeWithTheTextRoadForEveryCode) {
    char buf[16];
    for (const int scale : {10, 100, 1000, 1}) {
        for (int code = 0; code < 65536; ++code) {
            const auto v = static_cast<qint16>(static_cast<quint16>(code));
            const QString value = ld20_value_text(v, scale);
            ASSERT_EQ(QString::fromLatin1(buf, ld20_value_chars(v, scale, buf)), value) << code << " / " << scale;
            ASSERT_EQ(QString::fromLatin1(buf, ld20_stored_chars(v, scale, buf)), ld20_stored_text(value, true))
                << code << " / " << scale;
            if (v == kMl2MissingValue || v == kMl2OverRange || v == kMl2UnderRange) continue;
            // Bit for bit what the statistics and the integration read from the text.
            const double n = ld20_value_number(v, scale);
            ASSERT_EQ(n, platform::toDouble(value)) << code << " / " << scale;
            ASSERT_EQ(float(n), float(platform::val(value))) << code << " / " << scale;
        }
    }
}

TEST(Ml2Clock, RecordTimesFollowTheIntervalRule) {
    const QDateTime start = civil(2013, 5, 1, 10, 15, 20);
    const QDateTime stop = civil(2013, 5, 1, 11, 0, 0);
    LogRecordClock minute(start, stop, QStringLiteral("00:01:00"), 5);
    EXPECT_EQ(minute.time(1), start);
    EXPECT_EQ(minute.time(2), civil(2013, 5, 1, 10, 16, 0));
    EXPECT_EQ(minute.time(3), civil(2013, 5, 1, 10, 17, 0));
    EXPECT_EQ(minute.time(4), civil(2013, 5, 1, 10, 18, 0));
    EXPECT_EQ(minute.time(5), stop);
    LogRecordClock tenSeconds(start, stop, QStringLiteral("00:00:10"), 5);
    EXPECT_EQ(tenSeconds.time(2), civil(2013, 5, 1, 10, 15, 30));
    EXPECT_EQ(tenSeconds.time(4), civil(2013, 5, 1, 10, 15, 50));
    LogRecordClock whole(civil(2013, 5, 1, 10, 15, 0), stop, QStringLiteral("00:01:00"), 5);
    EXPECT_EQ(whole.time(2), civil(2013, 5, 1, 10, 16, 0));
    EXPECT_EQ(whole.time(4), civil(2013, 5, 1, 10, 18, 0));
    // Two records: start and stop.
    LogRecordClock two(start, stop, QStringLiteral("00:01:00"), 2);
    EXPECT_EQ(two.time(2), stop);
    // A day as interval: record 2 is still the next whole minute.
    LogRecordClock day(start, stop, QStringLiteral("24:00:00"), 5);
    EXPECT_EQ(day.time(2), civil(2013, 5, 1, 10, 16, 0));
    EXPECT_EQ(day.time(3), civil(2013, 5, 2, 10, 16, 0));
    LogRecordClock dayWhole(civil(2013, 5, 1, 10, 15, 0), stop, QStringLiteral("24:00:00"), 5);
    EXPECT_EQ(dayWhole.time(3), civil(2013, 5, 3, 10, 15, 0));
    EXPECT_THROW(LogRecordClock(start, stop, QStringLiteral("1 min"), 5), ConversionError);
}

// ---- finding the footer ----------------------------------------------------------------

TEST_F(Ml2Test, FooterIsFoundAtItsComputedOffsetEvenWhenItsNameHoldsTheInterval) {
    // The first "000100" behind the header is inside the footer's log name;
    // a search for the text would take the footer to start 8 bytes early.
    g().let_log_name(QStringLiteral("X000100Y"));
    g().let_Title(QStringLiteral("title"));
    makeRecords(9);
    const QByteArray file = build();
    EXPECT_EQ(ml2_footer_find(file, s()), 512 + 2 * 84);
    readBack(file);
    EXPECT_EQ(dst->clsLOGGER_GraphInfo().log_name(), QStringLiteral("X000100Y"));
    EXPECT_EQ(dst->clsLOGGER_GraphInfo().Title(), g().Title());
}

TEST_F(Ml2Test, FooterSearchIsTheFallbackWhenTheComputedOffsetDoesNotHoldIt) {
    makeRecords(7);
    QByteArray file = build();
    const qint64 footer = 512 + 84;
    file.append("junk");  // neither the computed offset (count changed below) nor size - 1024
    QByteArray header = data_disk_angou_load_1(file.left(236));
    header.replace(174, 10, "        99");
    file.replace(0, 236, data_disk_angou_load_1(header));
    makeCurrent(dst);
    Ml2HeaderInfo info;
    ASSERT_TRUE(ld20_header_read(header, dst->clsLOGGER_SETTING(), dst->clsLOGGER_STATUS(), info).ok);
    EXPECT_EQ(ml2_footer_find(file, dst->clsLOGGER_SETTING()), footer);
    // With no interval text anywhere behind the header there is no footer.
    QByteArray noFooter = file.left(footer);
    EXPECT_EQ(ml2_footer_find(noFooter, dst->clsLOGGER_SETTING()), -1);
}

TEST_F(Ml2Test, NoFooterGivesTheDefaultGraphOptionsAndKeepsTheStatistics) {
    makeRecords(12000);
    QByteArray file = build();
    file.chop(1024);
    Ml2LoadResult lr;
    makeCurrent(dst);
    Ml2HeaderInfo info;
    ASSERT_TRUE(ld20_header_read(data_disk_angou_load_1(file.left(236)), dst->clsLOGGER_SETTING(),
                                 dst->clsLOGGER_STATUS(), info)
                    .ok);
    dst->clsLOGGER_SETTING().let_Ch_max(0, QStringLiteral("77.7"));
    qint32 count = 0;
    ASSERT_TRUE(ml2_load(file, dst->clsLOGGER_SETTING(), dst->clsLOGGER_GraphInfo(),
                         [&](const LogRecord&) { return ++count, true; }, lr)
                    .ok);
    EXPECT_FALSE(lr.footer_found);
    EXPECT_EQ(count, 12000);
    const clsLOGGER_GraphInfo& dg = dst->clsLOGGER_GraphInfo();
    EXPECT_EQ(dg.GrpDrw_StartPos(), 1);
    EXPECT_EQ(dg.GrpDrw_EndPos(), 10000);
    EXPECT_EQ(dg.DataCount(), 12000);
    EXPECT_EQ(dg.CH_GraphAxDrawSw(), QStringLiteral("1111"));
    EXPECT_EQ(dg.Ch_G_color(0), 16711680);
    EXPECT_EQ(dg.Ch_G_color(3), 0);
    EXPECT_EQ(dg.LIneBold_Sw(), QStringLiteral("1"));
    EXPECT_EQ(dg.GrdDispSort(), QStringLiteral("1234"));
    EXPECT_EQ(dg.log_name(), QStringLiteral("LOGNAME1"));
    EXPECT_EQ(dg.Ch_H_Alm_FileString(0), QStringLiteral(" 1000"));
    EXPECT_EQ(dst->clsLOGGER_SETTING().Ch_max(0), QStringLiteral("  777"));
}

TEST_F(Ml2Test, AllZeroGraphAreaGivesDefaultsWhereTheReaderHasThem) {
    makeRecords(3);
    QByteArray file = build();
    const qint64 footer = 512 + 84;
    file.replace(footer + 861, 1024 - 861, zeros(1024 - 861));
    readBack(file);
    const clsLOGGER_GraphInfo& dg = dst->clsLOGGER_GraphInfo();
    EXPECT_EQ(dg.CH_GraphAxDrawSw(), QStringLiteral("1111"));
    EXPECT_EQ(dg.Ch_G_color(0), 16711680);
    EXPECT_EQ(dg.Ch_G_color(1), 65280);
    EXPECT_EQ(dg.Ch_G_color(2), 255);
    EXPECT_EQ(dg.Ch_G_color(3), 0);
    EXPECT_EQ(dg.Label_Sw(), QStringLiteral("0"));
    EXPECT_EQ(dg.LIneBold_Sw(), QStringLiteral("1"));
    EXPECT_EQ(dg.GrpDrw_StartPos(), 1);
    EXPECT_EQ(dg.GrpDrw_EndPos(), 3);
    EXPECT_EQ(dg.CH_GraphDrawSw(), QString(4, QChar(u'\0')));
    EXPECT_EQ(dg.GrdDispSort(), QString(4, QChar(u'\0')));
    EXPECT_EQ(dg.Ch_h_Scale(2), 0);
}

TEST_F(Ml2Test, MiddleDotInTheFooterLogNameBecomesZero) {
    makeRecords(1);
    QByteArray file = build();
    // An older writer's name with "・" (two bytes in CP932) in the 8-character field.
    QByteArray name = enc(QStringLiteral("AB・CDEF"));
    ASSERT_EQ(name.size(), 8);
    file.replace(512 + 84, 8, name);
    file.insert(512 + 84 + 8, ' ');  // the field is 8 characters, so one byte longer
    makeCurrent(dst);
    Ml2HeaderInfo info;
    ASSERT_TRUE(ld20_header_read(data_disk_angou_load_1(file.left(236)), dst->clsLOGGER_SETTING(),
                                 dst->clsLOGGER_STATUS(), info)
                    .ok);
    ld20_footer_read(file.mid(512 + 84), dst->clsLOGGER_SETTING(), dst->clsLOGGER_GraphInfo());
    EXPECT_EQ(dst->clsLOGGER_GraphInfo().log_name(), QStringLiteral("AB0CDEF "));
    EXPECT_EQ(dst->clsLOGGER_GraphInfo().DataCount(), 1);
}

// ---- abnormal and short files ------------------------------------------------------------

TEST_F(Ml2Test, EqualStartAndStopOrNoRecordCountMarkTheFileAbnormal) {
    Ml2HeaderInfo info;
    makeRecords(3);
    QByteArray header;
    ASSERT_TRUE(ld20_header_make(s(), st(), header).ok);
    ASSERT_TRUE(ld20_header_read(header, dst->clsLOGGER_SETTING(), dst->clsLOGGER_STATUS(), info).ok);
    EXPECT_FALSE(info.abnormal);

    s().let_stop_time(s().start_time());
    ASSERT_TRUE(ld20_header_make(s(), st(), header).ok);
    ASSERT_TRUE(ld20_header_read(header, dst->clsLOGGER_SETTING(), dst->clsLOGGER_STATUS(), info).ok);
    EXPECT_TRUE(info.abnormal);

    standard();
    ASSERT_TRUE(ld20_header_make(s(), st(), header).ok);
    ASSERT_TRUE(ld20_header_read(header, dst->clsLOGGER_SETTING(), dst->clsLOGGER_STATUS(), info).ok);
    EXPECT_TRUE(info.abnormal);

    header.replace(174, 10, "      abc ");
    EXPECT_FALSE(ld20_header_read(header, dst->clsLOGGER_SETTING(), dst->clsLOGGER_STATUS(), info).ok);
}

// Builds a file the way a recording that stopped abnormally leaves it: the
// header with no record count and no stop time, the records, the footer.
QByteArray abnormalFile(QByteArray built) {
    QByteArray header = data_disk_angou_load_1(built.left(236));
    header.replace(42, 12, header.mid(30, 12));  // stop time = start time
    header.replace(174, 10, "         0");
    built.replace(0, 236, data_disk_angou_load_1(header));
    return built;
}

TEST_F(Ml2Test, RecountCountsTheRecordPartOnlyAndTimesTheStopByTheRule) {
    makeRecords(14);  // two full blocks of 4-channel records
    const QByteArray file = abnormalFile(build());
    Ml2HeaderInfo info;
    makeCurrent(dst);
    clsLOGGER_SETTING& d = dst->clsLOGGER_SETTING();
    ASSERT_TRUE(ld20_header_read(data_disk_angou_load_1(file.left(236)), d, dst->clsLOGGER_STATUS(), info).ok);
    ASSERT_TRUE(info.abnormal);
    ASSERT_TRUE(emg_file_recount(file, d).ok);
    EXPECT_EQ(d.data_count(), 14);
    // 10:15:20, then 10:16:00, ... record 14 at 10:28:00.
    EXPECT_EQ(d.stop_time(), civil(2013, 5, 1, 10, 28, 0));

    std::vector<LogRecord> back;
    Ml2LoadResult lr;
    ASSERT_TRUE(ml2_load(file, d, dst->clsLOGGER_GraphInfo(),
                         [&](const LogRecord& r) { return back.push_back(r), true; }, lr)
                    .ok);
    ASSERT_EQ(back.size(), 14u);
    EXPECT_TRUE(lr.footer_found);
    EXPECT_EQ(back[13].ch, records[13].ch);
    EXPECT_EQ(back[13].time, d.stop_time());
    EXPECT_EQ(back[12].time, civil(2013, 5, 1, 10, 27, 0));
}

TEST_F(Ml2Test, RecountWithShortIntervalAndWithoutFooter) {
    for (int ch = 1; ch < 4; ++ch) s().let_Ch_input_type(ch, QStringLiteral("-"));
    s().let_record_interval(QStringLiteral("00:00:10"));
    makeRecords(56);  // 168 bytes: two full blocks
    QByteArray file = abnormalFile(build());
    file.chop(1024);  // the recording never wrote its footer
    makeCurrent(dst);
    clsLOGGER_SETTING& d = dst->clsLOGGER_SETTING();
    Ml2HeaderInfo info;
    ASSERT_TRUE(ld20_header_read(data_disk_angou_load_1(file.left(236)), d, dst->clsLOGGER_STATUS(), info).ok);
    ASSERT_TRUE(emg_file_recount(file, d).ok);
    EXPECT_EQ(d.data_count(), 56);
    // Ten seconds are not longer than 30: record 2 is the start plus 10 s.
    EXPECT_EQ(d.stop_time(), civil(2013, 5, 1, 10, 15, 20).addSecs(55 * 10));
}

TEST_F(Ml2Test, RecountOfAFileWithoutRecords) {
    const QByteArray file = abnormalFile(build());
    makeCurrent(dst);
    clsLOGGER_SETTING& d = dst->clsLOGGER_SETTING();
    Ml2HeaderInfo info;
    ASSERT_TRUE(ld20_header_read(data_disk_angou_load_1(file.left(236)), d, dst->clsLOGGER_STATUS(), info).ok);
    ASSERT_TRUE(emg_file_recount(file, d).ok);
    EXPECT_EQ(d.data_count(), 0);
    EXPECT_EQ(d.stop_time(), d.start_time());
}

TEST_F(Ml2Test, FileShorterThanItsCountStopsAtTheLastCompleteRecord) {
    makeRecords(20);
    QByteArray file = build();
    file.truncate(512 + 12 * 11 + 5);  // 11 whole records and part of the 12th, no footer
    Ml2LoadResult lr;
    const auto back = readBack(file, &lr);
    EXPECT_TRUE(lr.short_file);
    EXPECT_EQ(lr.header_count, 20);
    EXPECT_EQ(lr.records_read, 11);
    ASSERT_EQ(back.size(), 11u);
    EXPECT_EQ(back[10].ch, records[10].ch);
    EXPECT_TRUE(ml2_short_file_message(20, 11).contains(QStringLiteral("20")));
}

TEST_F(Ml2Test, SinkCanStopTheLoad) {
    makeRecords(10);
    const QByteArray file = build();
    makeCurrent(dst);
    Ml2HeaderInfo info;
    ASSERT_TRUE(ld20_header_read(data_disk_angou_load_1(file.left(236)), dst->clsLOGGER_SETTING(),
                                 dst->clsLOGGER_STATUS(), info)
                    .ok);
    int seen = 0;
    Ml2LoadResult lr;
    ASSERT_TRUE(ml2_load(file, dst->clsLOGGER_SETTING(), dst->clsLOGGER_GraphInfo(),
                         [&](const LogRecord&) { return ++seen < 4; }, lr)
                    .ok);
    EXPECT_TRUE(lr.cancelled);
    EXPECT_EQ(seen, 4);
    EXPECT_EQ(lr.records_read, 3);
}

// ---- files on disk --------------------------------------------------------------------------

TEST_F(Ml2Test, WritingReplacesALongerFileWholeAndRefusalsLeaveItUntouched) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/data.ML2");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100000, 'x'));
    }
    makeRecords(5);
    ASSERT_TRUE(ml2_write_file(path, Ml2Sources{s(), st(), g()}, source()).ok);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    f.close();
    EXPECT_EQ(written, build());

    // A refused text: the earlier file stays as it was, no temporary file is left.
    s().let_Comment(QStringLiteral("コメント"));
    const FileResult r = ml2_write_file(path, Ml2Sources{s(), st(), g()}, source());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("コメント")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), written);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("data.ML2")});

    QByteArray header;
    ASSERT_TRUE(ml2_read_header_bytes(path, header).ok);
    EXPECT_EQ(header, written.left(236));
    // The opening reads the file once and takes the same header from its bytes.
    QByteArray fromBytes;
    ASSERT_TRUE(ml2_header_bytes_of_file(written, path, fromBytes).ok);
    EXPECT_EQ(fromBytes, header);
}

TEST_F(Ml2Test, FailuresToCreateOrReadAreReportedWithAMessage) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/no/such/folder/data.ML2");
    const FileResult w = ml2_write_file(path, Ml2Sources{s(), st(), g()}, source());
    EXPECT_FALSE(w.ok);
    EXPECT_FALSE(w.message.isEmpty());
    EXPECT_FALSE(QFile::exists(path));

    QByteArray header;
    EXPECT_FALSE(ml2_read_header_bytes(path, header).ok);
    const QString small = dir.path() + QStringLiteral("/small.ML2");
    QFile f(small);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(200, 'a'));
    f.close();
    const FileResult fromFile = ml2_read_header_bytes(small, header);
    EXPECT_FALSE(fromFile.ok);
    EXPECT_TRUE(header.isEmpty());
    header = "stale";
    const FileResult fromBytes = ml2_header_bytes_of_file(QByteArray(235, 'a'), small, header);
    EXPECT_FALSE(fromBytes.ok);
    EXPECT_EQ(fromBytes.message, fromFile.message);
    EXPECT_TRUE(header.isEmpty());
}

}  // namespace
