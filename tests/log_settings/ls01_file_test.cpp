// The LS01 setting file and the defaults file LOG0.CFG: exact default bytes,
// the written forms, round trips, and files that must be refused whole.
#include <gtest/gtest.h>

#include "log_settings/ls01_file.h"
#include "model/cls_logger_setting.h"
#include "platform/cp932.h"

namespace {

using mq::clsLOGGER_SETTING;
using mq::SettingFileRead;

QList<QByteArray> linesOf(const QByteArray& b) {
    QList<QByteArray> l = b.split('\n');
    if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
    for (QByteArray& x : l) {
        EXPECT_TRUE(x.endsWith('\r'));
        x.chop(1);
    }
    return l;
}

QByteArray sjis(const QString& s) { return mq::platform::cp932::encode(s); }

// A setting with one channel of every kind and half-width katakana units.
clsLOGGER_SETTING mixed() {
    clsLOGGER_SETTING s;
    s.let_record_interval(QStringLiteral("00:00:15"));
    s.let_Worker(QStringLiteral("ﾀﾅｶ"));
    s.let_Comment(QStringLiteral("ｹﾝｻ"));
    const char* types[] = {"K", "V", "T", "-"};
    const char* units[] = {"ﾟC ", "ﾐﾘV", " V ", "   "};
    const int mins[] = {-200, -100, 0, 0};
    const int maxs[] = {1370, 2500, 400, 0};
    const int pos[] = {1, 2, 1, 3};
    for (int c = 0; c < 4; ++c) {
        s.let_Ch_input_type(c, QString::fromUtf8(types[c]));
        s.let_Ch_unit(c, QString::fromUtf8(units[c]));
        s.let_Ch_scale_min(c, qint16(mins[c]));
        s.let_Ch_scale_max(c, qint16(maxs[c]));
        s.let_Ch_period_pos(c, quint8(pos[c]));
    }
    s.let_Ch_low_alarm_count(0, QStringLiteral("-200.0"));
    s.let_Ch_high_alarm_count(0, QStringLiteral("1370.0"));
    s.let_Ch_sum_std_count(0, QStringLiteral("0.5"));
    s.let_Ch_low_alarm_count(1, QStringLiteral("------"));
    s.let_Ch_high_alarm_count(1, QStringLiteral("------"));
    s.let_Ch_sum_std_count(1, QStringLiteral("------"));
    s.let_Ch_low_alarm_count(2, QStringLiteral("-12.5"));
    s.let_Ch_high_alarm_count(2, QStringLiteral("399.9"));
    s.let_Ch_sum_std_count(2, QStringLiteral("25.5"));
    for (int c = 3; c < 4; ++c) {
        s.let_Ch_low_alarm_count(c, QStringLiteral("------"));
        s.let_Ch_high_alarm_count(c, QStringLiteral("------"));
        s.let_Ch_sum_std_count(c, QStringLiteral("------"));
    }
    return s;
}

mq::LoggerIdentityForFile identity() {
    mq::LoggerIdentityForFile id;
    id.model_name = QStringLiteral("MQ4000  ");
    id.offsets = {0.0f, 12.3f, -1.5f, 0.0f};
    return id;
}

TEST(Log0Cfg, TheDefaultFileHasExactlyItsTwentyFourLines) {
    QByteArray want = ",ZK4409-M-LS01-010100\r\n";
    for (int i = 0; i < 10; ++i) want += ",,\r\n";
    want += ",00:01:00\r\n,\r\n,\r\n,,,,,,\r\n,  0.0,  0.0,  0.0,  0.0,\r\n,K,K,K,K,\r\n, V , V , V , V ,\r\n"
            ",0000  ,0000  ,0000  ,0000  ,\r\n,5000  ,5000  ,5000  ,5000  ,\r\n,3,3,3,3,\r\n"
            ",-200.0,-200.0,-200.0,-200.0,\r\n,1370.0,1370.0,1370.0,1370.0,\r\n,0.0   ,0.0   ,0.0   ,0.0   ,\r\n";
    EXPECT_EQ(mq::log0_cfg_default_bytes(), want);

    clsLOGGER_SETTING s;
    ASSERT_EQ(mq::log0_cfg_read(want, s), SettingFileRead::Ok);
    EXPECT_EQ(s.record_interval(), QStringLiteral("00:01:00"));
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(s.Ch_input_type(c), QStringLiteral("K"));
        EXPECT_EQ(s.Ch_unit(c), QStringLiteral(" V "));
        EXPECT_EQ(s.Ch_scale_min(c), 0);
        EXPECT_EQ(s.Ch_scale_max(c), 5000);
        EXPECT_EQ(s.Ch_period_pos(c), 3);
        EXPECT_DOUBLE_EQ(s.Ch_low_alarm_count_value(c), -200.0);
        EXPECT_DOUBLE_EQ(s.Ch_high_alarm_count_value(c), 1370.0);
        EXPECT_DOUBLE_EQ(s.Ch_sum_std_count_value(c), 0.0);
    }
}

TEST(Log0Cfg, WrittenFormsOfAVoltageChannelOffsetsAndScales) {
    clsLOGGER_SETTING s;
    ASSERT_EQ(mq::log0_cfg_read(mq::log0_cfg_default_bytes(), s), SettingFileRead::Ok);
    s.let_record_interval(QStringLiteral("02:00:00"));
    s.let_Ch_input_type(0, QStringLiteral("V"));
    s.let_Ch_period_pos(0, 2);
    s.let_Ch_unit(0, QStringLiteral("mV "));
    s.let_Ch_low_alarm_count(0, QStringLiteral("------"));
    s.let_Ch_scale_min(1, -100);
    const QList<QByteArray> l = linesOf(mq::log0_cfg_bytes(s, identity()));
    ASSERT_EQ(l.size(), 24);
    EXPECT_EQ(l[0], QByteArray(",MQ4000  -LS01-010100"));  // the model's 8 characters
    EXPECT_EQ(l[11], QByteArray(",02:00:00"));
    EXPECT_EQ(l[15], QByteArray(",  0.0, 12.3, -1.5,  0.0,"));
    EXPECT_EQ(l[16], QByteArray(",V,K,K,K,"));
    EXPECT_EQ(l[17], QByteArray(",mV , V , V , V ,"));
    EXPECT_EQ(l[18], QByteArray(",0000  ,-0100 ,0000  ,0000  ,"));
    EXPECT_EQ(l[20], QByteArray(",2,3,3,3,"));
    EXPECT_EQ(l[21], QByteArray(",------,-200.0,-200.0,-200.0,"));
    EXPECT_EQ(l[22], QByteArray(",------,1370.0,1370.0,1370.0,"));
    EXPECT_EQ(l[23], QByteArray(",------,0.0   ,0.0   ,0.0   ,"));
}

TEST(Ls01File, EveryFieldSurvivesASaveAndALoad) {
    const clsLOGGER_SETTING s = mixed();
    const QByteArray bytes = mq::ls01_bytes(s, identity());
    const QList<QByteArray> l = linesOf(bytes);
    ASSERT_EQ(l.size(), 24);
    EXPECT_EQ(l[0], QByteArray(",MQ4000  -LS01-010100"));  // the model's 8 characters
    EXPECT_EQ(l[12], sjis(QStringLiteral(",ﾀﾅｶ     ")));
    EXPECT_EQ(l[15], QByteArray(",0,12.3,-1.5,0,"));
    EXPECT_EQ(l[17], sjis(QStringLiteral(",ﾟC ,ﾐﾘV, V ,   ,")));
    EXPECT_EQ(l[18], QByteArray(",-200,-100,0,0,"));
    EXPECT_EQ(l[22], QByteArray(",1370,------,399.9,------,"));
    EXPECT_EQ(l[23], QByteArray(",0.5,------,25.5,------,"));

    clsLOGGER_SETTING back;
    ASSERT_EQ(mq::ls01_read(bytes, back), SettingFileRead::Ok);
    EXPECT_EQ(back.record_interval(), s.record_interval());
    for (int c = 0; c < 4; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(back.Ch_input_type(c), s.Ch_input_type(c));
        EXPECT_EQ(back.Ch_unit(c), s.Ch_unit(c));
        EXPECT_EQ(back.Ch_scale_min(c), s.Ch_scale_min(c));
        EXPECT_EQ(back.Ch_scale_max(c), s.Ch_scale_max(c));
        EXPECT_EQ(back.Ch_period_pos(c), s.Ch_period_pos(c));
        EXPECT_EQ(back.Ch_low_alarm_count(c), s.Ch_low_alarm_count(c));
        EXPECT_EQ(back.Ch_high_alarm_count(c), s.Ch_high_alarm_count(c));
        EXPECT_EQ(back.Ch_sum_std_count(c), s.Ch_sum_std_count(c));
    }
    // Worker and comment are not read back.
    EXPECT_NE(back.Worker(), s.Worker());
}

TEST(Ls01File, FilesThatAreNotLogSettingsLeaveTheSettingAsItWas) {
    const QByteArray good = mq::ls01_bytes(mixed(), identity());
    struct Case {
        const char* what;
        QByteArray bytes;
        SettingFileRead want;
    };
    QByteArray tag = good;
    tag.replace("LS01-010100", "TS01-010100");
    QByteArray badScale = good;
    badScale.replace(",-200,-100,0,0,", ",-200,x,0,0,");
    QByteArray zeroInterval = good;
    zeroInterval.replace(",00:00:15", ",00:00:00");
    QByteArray bigScale = good;
    bigScale.replace(",-200,-100,0,0,", ",-200,-100,40000,0,");
    const Case cases[] = {
        {"TAG tag", tag, SettingFileRead::WrongTag},
        {"alarm too large once scaled", QByteArray(good).replace(",1370,", ",9999999999,"), SettingFileRead::Damaged},
        {"ends early", good.left(good.indexOf(",------,") ), SettingFileRead::Damaged},
        {"scale no number", badScale, SettingFileRead::Damaged},
        {"scale beyond 16 bits", bigScale, SettingFileRead::Damaged},
        {"zero interval", zeroInterval, SettingFileRead::Damaged},
    };
    for (const Case& c : cases) {
        clsLOGGER_SETTING s;
        s.let_record_interval(QStringLiteral("00:05:00"));
        s.let_Ch_input_type(0, QStringLiteral("E"));
        EXPECT_EQ(mq::ls01_read(c.bytes, s), c.want) << c.what;
        EXPECT_EQ(s.record_interval(), QStringLiteral("00:05:00")) << c.what;
        EXPECT_EQ(s.Ch_input_type(0), QStringLiteral("E")) << c.what;
    }
    // Any model name before the tag is accepted.
    QByteArray other = good;
    other.replace(",MQ4000  -", ",XYZ-");
    clsLOGGER_SETTING s;
    EXPECT_EQ(mq::ls01_read(other, s), SettingFileRead::Ok);
}

TEST(Ls01File, SaveNamesGetTheirExtension) {
    EXPECT_EQ(mq::ls01_save_name("/tmp/a.Csv"), QStringLiteral("/tmp/a.Csv.csv"));
    EXPECT_EQ(mq::ls01_save_name("/tmp/a"), QStringLiteral("/tmp/a.csv"));
    EXPECT_EQ(mq::ls01_save_name("/tmp/a.CSV"), QStringLiteral("/tmp/a.CSV"));
    EXPECT_EQ(mq::ls01_save_name("/tmp/a.csv"), QStringLiteral("/tmp/a.csv"));
}

}  // namespace
