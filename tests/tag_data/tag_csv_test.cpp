// The TAG CSV export, byte for byte.
#include "tag_data/tag_csv.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "tag_data/tag_test_data.h"

namespace {

using mq::test::row;

class TagCsvTest : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        mq::test::fillStatus(st, QStringLiteral("ZK4409MU"));
        mq::test::fillSetting(s, 3);
        s.let_Ch_data_count(0, 2);
        s.let_Ch_data_count(1, 1);
        s.let_Ch_data_count(3, 0);
        s.let_Ch_scale_min(3, -9999);
        s.let_Ch_scale_max(2, 9999);
    }
    mq::TagCsvSource source() {
        mq::TagCsvSource src{s, st, {}, {}, {}};
        src.grid_max = {QStringLiteral(" 25.0"), QStringLiteral(" 1.50"), QString(), QStringLiteral(" 9.9")};
        src.grid_min = {QStringLiteral(" -5.0"), QStringLiteral(" 1.50"), QString(), QStringLiteral(" 9.9")};
        src.grid_ave = {QStringLiteral(" 10.0"), QStringLiteral(" 1.50"), QString(), QStringLiteral(" 9.9")};
        return src;
    }
    mq::clsLOGGER_SETTING s;
    mq::clsLOGGER_STATUS st;
};

TEST_F(TagCsvTest, FileIsByteExact) {
    const QList<mq::TagTableRow> rows = {
        row("2013/12/10 11:00:00", "▲  25.0", "      1.50", "", "     O.R.", "ﾀﾅｶ     ", "ｹﾝｻ OK  "),
        row("2013/12/10 11:05:30", "▼  -5.0", "    ------", "", "3276.6", "", ""),
        row("2013/12/10 11:07:00", "3276.7", "", "", "    20.0", "PW", "x,y")};
    const QString path = mq::test::testFolder() + QStringLiteral("/t.csv");
    ASSERT_TRUE(mq::tag_csv_write(path, source(), mq::test::rowsOf(rows)));
    const QString expected = QStringLiteral(
        ",ZK4409MU-TD01-010100\r\n"
        "機種名,ZK4409MU\r\n"
        ",01\r\n"
        ",02\r\n"
        ",00\r\n"
        "機器シリアルナンバー,A0123456\r\n"
        "機器名称,ﾗｲﾝ1    \r\n"
        "収録エリア,03\r\n"
        "タグ名,PWﾀｸﾞ   \r\n"
        ",,,,,,,\r\n"
        "オフセット量,  0.5,  0.0, -1.2, 12.3,,\r\n"
        "入力種類,K,V,-,T,,\r\n"
        "単位,ﾟC ,mV ,   ,ﾟC ,,\r\n"
        "スケール最小値,-0200 , 0000 , 0000 ,-9999 ,,\r\n"
        "スケール最大値, 1370 , 0100 , 9999 , 0400 ,,\r\n"
        "ピリオド位置,1,2,1,1,,\r\n"
        "下限警報値, -20.0,------,------,   0.0,,\r\n"
        "上限警報値, 100.0,------,------, 350.0,,\r\n"
        "データ数,       3,,,,,\r\n"
        "収録日時,ＣＨ１,ＣＨ２,ＣＨ３,ＣＨ４,作業者,コメント,\r\n"
        "13/12/10 11:00:00,  25.0,  1.50,      ,  O.R.,ﾀﾅｶ     ,ｹﾝｻ OK  \r\n"
        "13/12/10 11:05:30,  -5.0,------,      ,  U.R.,,\r\n"
        "13/12/10 11:07:00,  O.R.,      ,      ,  20.0,PW,x,y\r\n"
        ",,,,,,,\r\n"
        "最小値,  -5.0,  1.50,      ,      ,,\r\n"
        "最大値,  25.0,  1.50,      ,      ,,\r\n"
        "平均値,  10.0,  1.50,      ,      ,,\r\n");
    const QByteArray got = mq::test::readAll(path);
    EXPECT_EQ(mq::platform::cp932::decode(got).toStdString(), expected.toStdString());
    EXPECT_EQ(got, mq::platform::cp932::encode(expected));
}

TEST_F(TagCsvTest, NoRecordsGiveTwentyFourLines) {
    s.let_data_count(0);
    const QString path = mq::test::testFolder() + QStringLiteral("/empty.csv");
    ASSERT_TRUE(mq::tag_csv_write(path, source(), mq::test::rowsOf({})));
    const QByteArray got = mq::test::readAll(path);
    EXPECT_EQ(got.count("\r\n"), 24);
    EXPECT_TRUE(got.contains(mq::platform::cp932::encode(QStringLiteral("データ数,       0,,,,,\r\n"))));
}

TEST_F(TagCsvTest, OffsetsAndScalesTakeTheirLastCharacters) {
    // An offset text longer than 5 keeps its last 5 characters.
    st.let_ch_offset(0, QStringLiteral("-1234"));  // -123.4
    st.let_ch_offset(1, QStringLiteral("12345"));  // 1234.5
    s.let_Ch_scale_min(0, 0);
    const QStringList head = mq::tag_csv_head_lines(source());
    EXPECT_EQ(head[10], QStringLiteral("オフセット量,123.4,234.5, -1.2, 12.3,,"));
    EXPECT_EQ(head[13], QStringLiteral("スケール最小値, 0000 , 0000 , 0000 ,-9999 ,,"));
}

TEST_F(TagCsvTest, TableShortOfTheRecordCountIsRefused) {
    const QString path = mq::test::testFolder() + QStringLiteral("/short.csv");
    const mq::FileResult r = mq::tag_csv_write(path, source(), mq::test::rowsOf({row("2013/12/10 11:00:00", "", "", "", "", "", "")}));
    EXPECT_FALSE(r);
    EXPECT_EQ(mq::test::readAll(path), QByteArray("<missing>"));
}

}  // namespace
