// The ".MT1" file: byte-exact blocks, whole-file round trips, and files that
// are short or corrupt refused with a message.
#include "tag_data/mt1_format.h"

#include <gtest/gtest.h>

#include <QFile>

#include "main_window/scrambling.h"
#include "platform/civil_time.h"
#include "platform/cp932.h"
#include "platform/numbers.h"
#include "tag_data/tag_test_data.h"

namespace {

using mq::clsLOGGER_SETTING;
using mq::clsLOGGER_STATUS;
using mq::Mt1Layout;
using mq::Mt1Record;
using mq::Mt1Sources;
using mq::TagTableRow;
using mq::test::row;

QByteArray cp(const QString& s) { return mq::platform::cp932::encode(s); }

class Mt1Test : public ::testing::Test {
protected:
    void SetUp() override {
        mq::test::ensureApplication();
        mq::test::fillStatus(st);
        mq::test::fillSetting(s, 2);
    }
    clsLOGGER_SETTING s;
    clsLOGGER_STATUS st;
};

TEST_F(Mt1Test, TagLineIsModelDashFormatTagWithShortModelsPadded) {
    EXPECT_EQ(mq::mt1_tag_line(st), QByteArray("PW4409MU-TD01-010100"));
    st.let_model_name(QStringLiteral("ZK44"));
    EXPECT_EQ(mq::mt1_tag_line(st), QByteArray("ZK44    -TD01-010100"));
}

TEST_F(Mt1Test, HeaderBlockByteExact) {
    const QByteArray expected = cp(QStringLiteral(
        "PW4409MU" "01" "02" "00" "A0123456" "ﾗｲﾝ1    " "03" "PWﾀｸﾞ   "
        " +0.5" "    0" " -1.2" "+12.3"
        "KV-T"
        "ﾟC mV    ﾟC "
        "-0200  0000  0000 -0100 "
        " 1370  0100  0000  0400 "
        "1211"
        " -20.0  1.50------------"
        " 100.0------------ 350.0"
        "       2"));
    ASSERT_EQ(expected.size(), mq::kMt1HeaderBytes);
    EXPECT_EQ(mq::mt1_header_block(Mt1Sources{s, st, false}), expected);
}

TEST_F(Mt1Test, HeaderNumbersKeepTheirWidths) {
    // A scale of -9999 and a four-digit tag count still fill exactly their fields.
    s.let_Ch_scale_min(0, -9999);
    s.let_data_count(12345678);
    const QByteArray h = mq::mt1_header_block(Mt1Sources{s, st, false});
    ASSERT_EQ(h.size(), mq::kMt1HeaderBytes);
    EXPECT_EQ(h.mid(76, 6), QByteArray("-9999 "));
    EXPECT_EQ(h.mid(176, 8), QByteArray("12345678"));
}

TEST_F(Mt1Test, RecordBytesCutAndPadEveryField) {
    struct Case {
        TagTableRow in;
        QString expected;
    };
    const Case cases[] = {
        {row("2013/12/10 11:00:00", "     O.R.", "      1.50", "", "3276.6", "ﾀﾅｶ", "PW"),
         "13/12/10 11:00:00" "  O.R.  1.50        U.R." "ﾀﾅｶ     " "PW      "},
        // A marked extreme keeps its number; a long name is cut to 8 bytes,
        // a double-byte character is never split.
        {row("2099/01/02 03:04:05", "▲  25.0", "▼ -1.00", "", "    ------", "ABCDEFGHIJ", "あいうえお"),
         "99/01/02 03:04:05" "  25.0 -1.00      ------" "ABCDEFGH" "あいうえ"},
        {row("2013/12/10 11:00:00", "3276.7", "", "", "", "", ""),
         "13/12/10 11:00:00" "  O.R.                  " "        " "        "},
    };
    for (const Case& c : cases) {
        const QByteArray b = mq::mt1_record_bytes(c.in);
        EXPECT_EQ(b.size(), mq::kMt1RecordBytes) << c.expected.toStdString();
        EXPECT_EQ(b, cp(c.expected));
    }
}

TEST_F(Mt1Test, StatisticsBlockBlanksTheNoValueMarksOfItsKind) {
    s.let_Ch_data_count(0, 2);
    s.let_Ch_min(0, QStringLiteral("0.0"));
    s.let_Ch_max(0, QStringLiteral("25.0"));
    s.let_Ch_ave(0, QStringLiteral("12.5"));
    s.let_Ch_data_count(1, 1);
    s.let_Ch_min(1, QStringLiteral("1.50"));
    s.let_Ch_max(1, QStringLiteral("1.50"));
    s.let_Ch_ave(1, QStringLiteral("0"));
    // CH4 has no values: its reset statistics never reach the file.
    s.let_Ch_data_count(3, 0);
    s.let_Ch_min(3, QStringLiteral("99999"));
    s.let_Ch_max(3, QStringLiteral("-9999"));
    const QString blank(6, u' ');
    const QByteArray logger = mq::mt1_statistics_block(Mt1Sources{s, st, false});
    const QByteArray file = mq::mt1_statistics_block(Mt1Sources{s, st, true});
    EXPECT_EQ(logger, cp(QStringLiteral("   0.0  1.50") + blank + blank + "  25.0  1.50" + blank + blank + "  12.5" +
                         blank + blank + blank));
    // In a file data set 0 marks "no value": the minimum of exactly 0 is blank.
    EXPECT_EQ(file, cp(blank + "  1.50" + blank + blank + "  25.0  1.50" + blank + blank + "  12.5" + blank + blank +
                       blank));
    // A logger data set's reset minimum and maximum are blank.
    s.let_Ch_min(0, QStringLiteral("99999"));
    s.let_Ch_max(0, QStringLiteral("-9999"));
    EXPECT_EQ(mq::mt1_statistics_block(Mt1Sources{s, st, false}).left(6), QByteArray(6, ' '));
    EXPECT_EQ(mq::mt1_statistics_block(Mt1Sources{s, st, false}).mid(24, 6), QByteArray(6, ' '));
}

TEST_F(Mt1Test, AlarmValuesInTheChannelFormat) {
    struct Case {
        const char* type;
        int pos;
        const char* alarm;
        const char* expected;
    };
    const Case cases[] = {{"K", 1, "-20", " -20.0"},  {"V", 2, "1.5", "  1.50"}, {"V", 3, "1.25", " 1.250"},
                          {"K", 1, "0.0", "------"},  {"V", 0, "25", "    25"},  {"E", 1, "------", "------"},
                          {"J", 1, "1234.5", "1234.5"}};
    for (const Case& c : cases) {
        s.let_Ch_input_type(0, QString::fromLatin1(c.type));
        s.let_Ch_period_pos(0, quint8(c.pos));
        QString alarm = QString::fromLatin1(c.alarm);
        if (!alarm.contains(u'.') && alarm != QStringLiteral("------")) alarm += QStringLiteral(".0");
        s.let_Ch_low_alarm_count(0, alarm);
        EXPECT_EQ(mq::mt1_header_block(Mt1Sources{s, st, false}).mid(128, 6), QByteArray(c.expected))
            << c.type << c.pos << " " << c.alarm;
    }
}

// ---------------------------------------------------------------- whole files

struct ReadBack {
    clsLOGGER_SETTING s;
    clsLOGGER_STATUS st;
    Mt1Layout layout;
    QByteArray body;
    QList<Mt1Record> records;
};

mq::FileResult readBack(const QString& path, ReadBack& out) {
    QByteArray scrambled;
    mq::FileResult r = mq::mt1_split_file(mq::test::readAll(path), scrambled);
    if (!r) return r;
    out.body = mq::data_disk_angou_load_1(scrambled);
    r = mq::mt1_header_read(out.body, out.s, out.st, out.layout);
    if (!r) return r;
    for (qint32 i = 0; i < out.layout.count; ++i) {
        Mt1Record rec;
        QString error;
        if (!mq::mt1_record_at(out.body, out.layout, i, rec, &error)) return mq::FileResult::failure(error);
        out.records << rec;
    }
    return mq::mt1_statistics_read(out.body, out.layout, out.s);
}

TEST_F(Mt1Test, WholeFileIsScrambledTagLinePlainCrLfAndScrambledBody) {
    const QString path = mq::test::testFolder() + QStringLiteral("/t.mt1");
    const QList<TagTableRow> rows = {row("2013/12/10 11:00:00", "    25.0", "      1.50", "", "     O.R.", "ﾀﾅｶ", "ｹﾝｻ"),
                                     row("2013/12/10 11:05:30", "    -5.0", "    ------", "", "    20.0", "", "")};
    ASSERT_TRUE(mq::mt1_write_file(path, Mt1Sources{s, st, false}, mq::test::rowsOf(rows)));
    const QByteArray file = mq::test::readAll(path);
    const QByteArray body = mq::mt1_header_block(Mt1Sources{s, st, false}) + mq::mt1_record_bytes(rows[0]) +
                            mq::mt1_record_bytes(rows[1]) + mq::mt1_statistics_block(Mt1Sources{s, st, false});
    EXPECT_EQ(file, mq::test::xor5d("PW4409MU-TD01-010100") + "\r\n" + mq::test::xor5d(body));
    // The model name's P and W scramble to CR and LF at the very start.
    EXPECT_EQ(file.left(2), QByteArray("\r\n"));
    EXPECT_EQ(file.size(), 22 + 184 + 2 * 57 + 72);
}

TEST_F(Mt1Test, RoundTripKeepsEveryFieldOfManyRecords) {
    const int n = 150;
    s.let_data_count(n);
    s.let_Ch_data_count(0, n);
    s.let_Ch_min(0, QStringLiteral("-5.0"));
    s.let_Ch_max(0, QStringLiteral("1369.9"));
    s.let_Ch_ave(0, QStringLiteral("100.1"));
    QList<TagTableRow> rows;
    for (int i = 0; i < n; ++i) {
        const QString time = QStringLiteral("2014/01/%1 %2:%3:%4")
                                 .arg(1 + i % 28, 2, 10, QChar(u'0'))
                                 .arg(i % 24, 2, 10, QChar(u'0'))
                                 .arg(i % 60, 2, 10, QChar(u'0'))
                                 .arg((i * 7) % 60, 2, 10, QChar(u'0'));
        const QString ch1 = i % 10 == 3 ? QStringLiteral("     O.R.") : i % 10 == 4 ? QStringLiteral("     U.R.")
                                                                                     : QString::number(i / 10.0, 'f', 1);
        const QString ch2 = i % 7 == 0 ? QStringLiteral("    ------") : QString::number(i / 100.0, 'f', 2);
        const QString worker = i % 2 ? QStringLiteral("PWﾊﾟﾜｰ") : QStringLiteral("ﾔﾏﾀﾞ");
        rows << row(time, ch1, ch2, QString(), QStringLiteral("  -12.3"), worker, QStringLiteral("WP%1").arg(i));
    }
    const QString path = mq::test::testFolder() + QStringLiteral("/many.mt1");
    ASSERT_TRUE(mq::mt1_write_file(path, Mt1Sources{s, st, false}, mq::test::rowsOf(rows)));

    ReadBack r;
    const mq::FileResult read = readBack(path, r);
    ASSERT_TRUE(read) << read.message.toStdString();
    EXPECT_EQ(r.layout.record_bytes, 57);
    EXPECT_EQ(r.st.model_name(), st.model_name());
    EXPECT_EQ(r.st.user_model_name(), QStringLiteral("ﾗｲﾝ1    "));
    EXPECT_EQ(r.st.serial_no(), st.serial_no());
    EXPECT_EQ(r.st.hard_ver(), 1);
    EXPECT_EQ(r.st.soft_ver(), 2);
    for (int c = 0; c < 4; ++c) {
        // Offsets read back as they were written and shown.
        EXPECT_EQ(r.st.ch_offset(c), st.ch_offset(c)) << c;
        EXPECT_FLOAT_EQ(r.st.ch_offset_value(c), st.ch_offset_value(c)) << c;
        EXPECT_EQ(r.s.Ch_input_type(c), s.Ch_input_type(c));
        EXPECT_EQ(r.s.Ch_unit(c), s.Ch_unit(c));
        EXPECT_EQ(r.s.Ch_period_pos(c), s.Ch_period_pos(c));
        EXPECT_EQ(r.s.Ch_scale_min(c), s.Ch_scale_min(c));
        EXPECT_EQ(r.s.Ch_scale_max(c), s.Ch_scale_max(c));
        EXPECT_EQ(r.s.Ch_high_alarm_count(c), s.Ch_high_alarm_count(c)) << c;
    }
    EXPECT_DOUBLE_EQ(r.s.Ch_low_alarm_count_value(0), -20.0);
    EXPECT_DOUBLE_EQ(r.s.Ch_low_alarm_count_value(1), 1.5);
    // An alarm of 0 is written as "------": it reads back as not set.
    EXPECT_EQ(r.s.Ch_low_alarm_count(3), QStringLiteral("-----"));
    EXPECT_EQ(r.s.area_no(), 3);
    EXPECT_EQ(r.s.log_name(), QStringLiteral("PWﾀｸﾞ   "));
    EXPECT_EQ(r.s.data_count(), n);
    EXPECT_DOUBLE_EQ(r.s.Ch_min_value(0), -5.0);
    EXPECT_DOUBLE_EQ(r.s.Ch_max_value(0), 1369.9);
    EXPECT_DOUBLE_EQ(r.s.Ch_ave_value(0), 100.1);
    ASSERT_EQ(r.records.size(), n);
    for (int i = 0; i < n; ++i) {
        const Mt1Record& rec = r.records[i];
        EXPECT_EQ(mq::platform::formatCivil(rec.time), rows[i].time) << i;
        EXPECT_EQ(rec.ch[0], mq::platform::rightAlign(rows[i].ch[0], 6)) << i;
        EXPECT_EQ(rec.ch[1], mq::platform::rightAlign(rows[i].ch[1], 6)) << i;
        EXPECT_EQ(rec.ch[2], QString(6, u' '));
        EXPECT_EQ(rec.ch[3], QStringLiteral(" -12.3"));
        EXPECT_EQ(rec.worker, mq::platform::leftAlign(rows[i].worker, 8)) << i;
        EXPECT_EQ(rec.comment, mq::platform::leftAlign(rows[i].comment, 8)) << i;
    }
}

TEST_F(Mt1Test, FourDigitYearRecordsAreReadToo) {
    s.let_data_count(2);
    QByteArray body = mq::mt1_header_block(Mt1Sources{s, st, false});
    body += cp(QStringLiteral("2013/12/10 11:00:00  25.0  1.50        20.0ﾀﾅｶ     ｹﾝｻ     "));
    body += cp(QStringLiteral("2013/12/10 11:05:30  O.R.------        U.R.                "));
    body += QByteArray(72, ' ');
    clsLOGGER_SETTING rs;
    clsLOGGER_STATUS rst;
    Mt1Layout l;
    ASSERT_TRUE(mq::mt1_header_read(body, rs, rst, l));
    EXPECT_EQ(l.record_bytes, 59);
    Mt1Record rec;
    ASSERT_TRUE(mq::mt1_record_at(body, l, 1, rec, nullptr));
    EXPECT_EQ(mq::platform::formatCivil(rec.time), QStringLiteral("2013/12/10 11:05:30"));
    EXPECT_EQ(rec.ch[0], QStringLiteral("  O.R."));
    EXPECT_EQ(rec.ch[1], QStringLiteral("------"));
    EXPECT_EQ(rec.ch[3], QStringLiteral("  U.R."));
}

TEST_F(Mt1Test, ShortAndCorruptFilesAreRefusedWithAMessage) {
    const QString path = mq::test::testFolder() + QStringLiteral("/good.mt1");
    const QList<TagTableRow> rows = {row("2013/12/10 11:00:00", "25.0", "1.50", "", "20.0", "A", "B"),
                                     row("2013/12/10 11:05:30", "26.0", "1.60", "", "21.0", "A", "B")};
    ASSERT_TRUE(mq::mt1_write_file(path, Mt1Sources{s, st, false}, mq::test::rowsOf(rows)));
    const QByteArray good = mq::test::readAll(path);
    ReadBack ok;
    ASSERT_TRUE(readBack(path, ok));

    // Changes of the unscrambled body at an offset (0-based).
    const auto patchBody = [&good](int at, const QByteArray& plain) {
        QByteArray f = good;
        f.replace(22 + at, plain.size(), mq::test::xor5d(plain));
        return f;
    };
    struct Case {
        const char* what;
        QByteArray file;
        bool header = false;  // refused by the header: nothing is stored
    };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"tag line cut", good.left(15)},
        {"no body", good.left(22)},
        {"header cut", good.left(22 + 100)},
        {"last byte missing", good.left(good.size() - 1)},
        {"a byte too many", good + 'x'},
        {"no CR LF after the tag line", good.left(20) + "xx" + good.mid(22)},
        {"another format tag", mq::test::xor5d("PW4409MU-LD01-010100") + good.mid(20)},
        {"record count not a number", patchBody(176, "     ab2")},
        {"record count claims more", patchBody(176, "     100")},
        {"scale not a number", patchBody(76, "-02x0 ")},
        {"decimal position not a digit", patchBody(124, "x")},
        {"record time not a time", patchBody(184, "13/13/45 11:00:00")},
        {"an average no field holds", patchBody(184 + 2 * 57 + 48, "   9e8")},
        {"a maximum beyond any number", patchBody(184 + 2 * 57 + 24, "  9e99")},
        // Numbers that read but do not fit their field once scaled.
        {"low alarm beyond 32 bits", patchBody(128, "1.0E10"), true},
        {"high alarm beyond 32 bits", patchBody(152 + 6, "  2D50"), true},
        {"offset beyond single precision", patchBody(40 + 5, " 9e99"), true},
        {"scale beyond 16 bits", patchBody(100, "-99999"), true},
    };
    for (const Case& c : cases) {
        const QString p = mq::test::testFolder() + QStringLiteral("/bad.mt1");
        mq::test::writeAll(p, c.file);
        ReadBack r;
        const mq::FileResult res = readBack(p, r);
        EXPECT_FALSE(res) << c.what;
        EXPECT_TRUE(res.message.startsWith(QStringLiteral("選択ファイルはタグ・データとして読み込めません。")))
            << c.what << ": " << res.message.toStdString();
        if (c.header) {
            EXPECT_EQ(res.message.section(u'\n', 1), QStringLiteral("ヘッダーの数値が正しくありません。")) << c.what;
            EXPECT_EQ(r.st.model_name(), clsLOGGER_STATUS().model_name()) << c.what;
            EXPECT_EQ(r.s.log_name(), clsLOGGER_SETTING().log_name()) << c.what;
            EXPECT_EQ(r.s.Ch_low_alarm_count(0), clsLOGGER_SETTING().Ch_low_alarm_count(0)) << c.what;
        }
    }
}

TEST_F(Mt1Test, WriterRefusesATableShortOfItsRecordCountAndKeepsTheOldFile) {
    const QString path = mq::test::testFolder() + QStringLiteral("/keep.mt1");
    mq::test::writeAll(path, "old contents");
    s.let_data_count(3);
    const QList<TagTableRow> rows = {row("2013/12/10 11:00:00", "25.0", "", "", "", "", "")};
    const mq::FileResult r = mq::mt1_write_file(path, Mt1Sources{s, st, false}, mq::test::rowsOf(rows));
    EXPECT_FALSE(r);
    EXPECT_EQ(r.message, QStringLiteral("データ数(3件)の記録データがそろっていないため、保存できません。"));
    EXPECT_EQ(mq::test::readAll(path), QByteArray("old contents"));

    // A folder that cannot be written: reported, nothing left behind.
    const mq::FileResult denied = mq::mt1_write_file(QStringLiteral("/proc/no/such/dir/x.mt1"), Mt1Sources{s, st, false},
                                                     mq::test::rowsOf(rows));
    EXPECT_FALSE(denied);
    EXPECT_FALSE(denied.message.isEmpty());
}

TEST_F(Mt1Test, AnEmptyDataSetIsHeaderAndStatisticsOnly) {
    s.let_data_count(0);
    const QString path = mq::test::testFolder() + QStringLiteral("/empty.mt1");
    ASSERT_TRUE(mq::mt1_write_file(path, Mt1Sources{s, st, false}, mq::test::rowsOf({})));
    const QByteArray f = mq::test::readAll(path);
    EXPECT_EQ(f.size(), 22 + 184 + 72);
    EXPECT_EQ(mq::data_disk_angou_load_1(f.mid(22 + 176, 8)), QByteArray("       0"));
    ReadBack r;
    ASSERT_TRUE(readBack(path, r));
    EXPECT_EQ(r.layout.count, 0);
}

}  // namespace
