// TAG setting files ("TS01") and TAG0.CFG: exact bytes, round trips and the
// files that must be refused without touching the setting.
#include "tag_settings/tag_setting_files.h"

#include <QDir>
#include <QFile>

#include <functional>

#include <gtest/gtest.h>

#include "common/test_env.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "model/model_state.h"
#include "platform/cp932.h"
#include "tag_settings/list_files.h"

namespace {

using mq::clsLOGGER_SETTING;
using mq::model;

class TagSettingFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        model().user_dir = mq::test::dataHome() + QStringLiteral("/KORVA/Marrowquill4");
        QDir().mkpath(model().user_dir + QStringLiteral("/config"));
        QFile::remove(mq::tag0_cfg_path());
        dir = mq::test::dataHome() + QStringLiteral("/ts01");
        QDir().mkpath(dir);
    }
    static QByteArray lines(const QStringList& l) {
        return mq::platform::cp932::encode(l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }
    // A setting with one channel of each kind that matters.
    static clsLOGGER_SETTING sample() {
        clsLOGGER_SETTING s;
        const char* types[4] = {"K", "V", "-", "T"};
        for (int c = 0; c < 4; ++c) {
            s.let_Ch_input_type(c, QString::fromLatin1(types[c]));
            s.let_Ch_period_pos(c, c == 1 ? 2 : 1);
            s.let_Ch_unit(c, c == 1 ? QStringLiteral("ｱﾝﾍ") : QStringLiteral("ﾟC "));
            s.let_Ch_scale_min(c, qint16(-200 + c));
            s.let_Ch_scale_max(c, qint16(5000 - c));
            s.let_Ch_low_alarm_count(c, QStringLiteral("------"));
            s.let_Ch_high_alarm_count(c, QStringLiteral("------"));
        }
        s.let_Ch_low_alarm_count(0, QStringLiteral("-200.0"));
        s.let_Ch_high_alarm_count(0, QStringLiteral("1370.0"));
        s.let_Ch_low_alarm_count(1, QStringLiteral("2.50"));  // a voltage value with two decimals
        s.let_Ch_high_alarm_count(1, QStringLiteral("20.00"));
        return s;
    }
    static void expectSameChannels(const clsLOGGER_SETTING& a, const clsLOGGER_SETTING& b) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(a.Ch_input_type(c), b.Ch_input_type(c)) << c;
            EXPECT_EQ(a.Ch_unit(c), b.Ch_unit(c)) << c;
            EXPECT_EQ(a.Ch_scale_min(c), b.Ch_scale_min(c)) << c;
            EXPECT_EQ(a.Ch_scale_max(c), b.Ch_scale_max(c)) << c;
            EXPECT_EQ(a.Ch_period_pos(c), b.Ch_period_pos(c)) << c;
            EXPECT_EQ(a.Ch_low_alarm_count(c), b.Ch_low_alarm_count(c)) << c;
            EXPECT_EQ(a.Ch_high_alarm_count(c), b.Ch_high_alarm_count(c)) << c;
        }
    }
    mq::ModelSlot modelSlot;
    QString dir;
};

TEST_F(TagSettingFileTest, MissingTag0CfgIsMadeWithTheDefaultLinesAndRead) {
    clsLOGGER_SETTING s;
    ASSERT_TRUE(mq::tag0_cfg_load(s));
    const QByteArray expected = lines({",ZK4409-M-TS01-010100", ",,", ",,", ",,", ",,", ",,", ",,", ",,", ",,",
                                       ",,,,,,,", ",  0.0,  0.0,  0.0,  0.0,,", ",K,K,K,K,,", ", V , V , V , V ,,",
                                       ",0000  ,0000  ,0000  ,0000  ,,", ",5000  ,5000  ,5000  ,5000  ,,",
                                       ",3,3,3,3,,", ",-200.0,-200.0,-200.0,-200.0,,",
                                       ",1370.0,1370.0,1370.0,1370.0,,"});
    EXPECT_EQ(mq::test::readAll(mq::tag0_cfg_path()), expected);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(s.Ch_input_type(c), QStringLiteral("K"));
        EXPECT_EQ(s.Ch_unit(c), QStringLiteral(" V "));
        EXPECT_EQ(s.Ch_scale_min(c), 0);
        EXPECT_EQ(s.Ch_scale_max(c), 5000);
        EXPECT_EQ(s.Ch_period_pos(c), 3);
        EXPECT_DOUBLE_EQ(s.Ch_low_alarm_count_value(c), -200.0);
        EXPECT_DOUBLE_EQ(s.Ch_high_alarm_count_value(c), 1370.0);
    }
}

TEST_F(TagSettingFileTest, Tag0CfgBytesAndRoundTrip) {
    const clsLOGGER_SETTING s = sample();
    mq::clsLOGGER_STATUS status;
    status.let_model_name(QStringLiteral("MQ4000"));
    status.let_ch_offset(0, QStringLiteral("012.3"));
    ASSERT_TRUE(mq::tag0_cfg_save(s, &status));
    const QByteArray bytes = mq::test::readAll(mq::tag0_cfg_path());
    const QList<QByteArray> l = bytes.split('\n');
    EXPECT_EQ(l[0], QByteArray(",MQ4000  -TS01-010100\r"));  // the model's 8 characters
    EXPECT_EQ(l[13], QByteArray(",-0200 ,-0199 ,-0198 ,-0197 ,,\r"));
    EXPECT_EQ(l[16], QByteArray(",-200.0,------,------,------,,\r")) << "voltage and unused channels carry no alarm";
    EXPECT_EQ(l[12], mq::platform::cp932::encode(QStringLiteral(",ﾟC ,ｱﾝﾍ,ﾟC ,ﾟC ,,\r")));
    clsLOGGER_SETTING back;
    ASSERT_TRUE(mq::tag0_cfg_load(back));
    EXPECT_EQ(back.Ch_low_alarm_count(1), QStringLiteral("-----")) << "not set";
    EXPECT_EQ(back.Ch_unit(1), QStringLiteral("ｱﾝﾍ"));
    EXPECT_EQ(back.Ch_scale_min(3), -197);
}

TEST_F(TagSettingFileTest, SettingFileRoundTripKeepsEveryFieldIncludingVoltageAlarms) {
    const clsLOGGER_SETTING s = sample();
    const QString path = dir + QStringLiteral("/a.csv");
    ASSERT_TRUE(mq::tag_setting_file_save(path, s, nullptr));
    const QList<QByteArray> l = mq::test::readAll(path).split('\n');
    EXPECT_EQ(l[16], QByteArray(",-200,2.5,------,------,,\r"));
    clsLOGGER_SETTING back;
    ASSERT_TRUE(mq::tag_setting_file_load(path, back));
    expectSameChannels(s, back);
    EXPECT_DOUBLE_EQ(back.Ch_high_alarm_count_value(1), 20.0);
}

TEST_F(TagSettingFileTest, FormatTagAndRefusedFilesLeaveTheSettingAlone) {
    const QByteArray good = mq::tag_setting_file_bytes(sample(), nullptr, mq::TagFileLayout::SettingFile);
    QByteArray otherModel = good;
    otherModel.replace("ZK4409-M", "XY1");
    EXPECT_TRUE(mq::tag_setting_file_has_tag(otherModel));
    QByteArray noLeadingField = good;
    noLeadingField.replace(",ZK4409-M-TS01-010100", "TS01-010100");
    EXPECT_FALSE(mq::tag_setting_file_has_tag(noLeadingField));

    const struct {
        const char* name;
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"no tag", noLeadingField, "選択ファイルの形式がタグ設定データではありません。"},
        {"short", good.left(good.indexOf(",-200,")), "設定ファイルを読み込めませんでした。"},
        {"scale not a number", QByteArray(good).replace(",-200,-199,", ",x,-199,"), "設定ファイルを読み込めませんでした。"},
        {"alarm garbled", QByteArray(good).replace(",-200,2.5,", ",abc,2.5,"), "設定ファイルを読み込めませんでした。"},
        // Alarms that read as numbers but do not fit once scaled.
        {"low alarm too large", QByteArray(good).replace(",-200,2.5,", ",9999999999,2.5,"), "設定ファイルを読み込めませんでした。"},
        {"high alarm too large", QByteArray(good).replace(",1370,20,", ",1370,5000100000,"), "設定ファイルを読み込めませんでした。"},
        {"scale not a finite number", QByteArray(good).replace(",-200,-199,", ",nan,-199,"), "設定ファイルを読み込めませんでした。"},
    };
    for (const auto& c : cases) {
        const QString path = dir + QStringLiteral("/bad.csv");
        mq::test::writeAll(path, c.bytes);
        clsLOGGER_SETTING s;
        s.let_Ch_input_type(2, QStringLiteral("E"));
        const mq::FileResult r = mq::tag_setting_file_load(path, s);
        EXPECT_FALSE(r) << c.name;
        EXPECT_TRUE(r.message.startsWith(QString::fromUtf8(c.message))) << c.name;
        EXPECT_EQ(s.Ch_input_type(2), QStringLiteral("E")) << c.name;
    }
}

// A huge file (a terabyte, sparse) is refused as a damaged one without being
// read, and the setting it would have replaced stays.
TEST_F(TagSettingFileTest, AHugeFileIsRefusedAsDamaged) {
    clsLOGGER_SETTING s;
    s.let_Ch_input_type(2, QStringLiteral("E"));
    mq::clsLOGGER_STATUS st;
    const QString csv = dir + QStringLiteral("/huge.csv"), list = mq::list_file_path(mq::ListKind::Comment);
    const struct {
        QString path, message;
        std::function<mq::FileResult()> load;
    } cases[] = {
        {csv, QStringLiteral("設定ファイル"), [&] { return mq::tag_setting_file_load(csv, s); }},
        {mq::tag0_cfg_path(), QStringLiteral("設定ファイル"), [&] { return mq::tag0_cfg_load(s); }},
        {list, QStringLiteral("コメントのリストファイル"), [&] { return mq::list_file_load(mq::ListKind::Comment, st); }},
    };
    for (const auto& c : cases) {
        mq::test::writeSparse(c.path, qint64(1) << 40);
        EXPECT_EQ(c.load().message, c.message + QStringLiteral("を読み込めませんでした。\n") + c.path);
    }
    EXPECT_EQ(s.Ch_input_type(2), QStringLiteral("E"));
}

TEST_F(TagSettingFileTest, WholeNumbersOfThermocoupleAlarmsReadAsTenths) {
    QByteArray bytes = mq::tag0_cfg_default_bytes();
    bytes.replace(",-200.0,-200.0,-200.0,-200.0,,", ",-200,-200.0,-200.0,-200.0,,");
    const QString path = dir + QStringLiteral("/k.csv");
    mq::test::writeAll(path, bytes);
    clsLOGGER_SETTING s;
    ASSERT_TRUE(mq::tag_setting_file_load(path, s));
    EXPECT_EQ(s.Ch_low_alarm_count(0), s.Ch_low_alarm_count(1));
    EXPECT_DOUBLE_EQ(s.Ch_low_alarm_count_value(0), -200.0);
}

TEST_F(TagSettingFileTest, AnUnreadableTag0CfgIsReportedAndKept) {
    const QByteArray broken("not a settings file\r\n");
    mq::test::writeAll(mq::tag0_cfg_path(), broken);
    clsLOGGER_SETTING s;
    s.let_Ch_input_type(0, QStringLiteral("J"));
    EXPECT_FALSE(mq::tag0_cfg_load(s));
    EXPECT_EQ(mq::test::readAll(mq::tag0_cfg_path()), broken);
    EXPECT_EQ(s.Ch_input_type(0), QStringLiteral("J"));
}

}  // namespace
