// Scenario files of the simulated logger.
#include "logger_sim.h"
#include "platform/errors.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace logger_sim;

namespace {

const char* kSample = R"(# a small logger
serial "B7654321"
model ZK4409
versions 2 10 1
mode TAG
clock 2014/01/02 03:04:05
offsets 0000 0012 -015 0100
user-model "ﾗｲﾝ 2"
memory 0
worker 1 "ﾀﾅｶ"
worker 3 "ABC DEF"
comment 2 OK

area 4
  name "ﾃｽﾄ 4"
  worker ﾀﾅｶ
  comment ﾁｪｯｸ
  interval 00:01:00
  start 2014/01/01 10:00:17
  stop none
  ch 1 K "ﾟC " -200 1370 1 100 500 250
  ch 2 - "   " 0 0 1
  ch 3 V "mV " -1000 1000 3 ----- ----- -----
  ch 4 -  "   " 0 0 1
  rec 235 32767
  rec 32766 ----- *
end

tag 2
  name ﾀｸﾞ2
  ch 1 J "ﾟC " -200 700 1
  ch 2 - "   " 0 0 1
  ch 3 - "   " 0 0 1
  ch 4 - "   " 0 0 1
  rec 2014/01/02 08:00:00 1 2 -5
  generate 4
end
)";

}  // namespace

TEST(Scenario, SampleTextGivesEveryField) {
    const Scenario s = parseScenario(QByteArray(kSample));
    EXPECT_EQ(s.serial, "B7654321");
    EXPECT_EQ(s.model, "ZK4409");
    EXPECT_EQ(s.hardVer, 2);
    EXPECT_EQ(s.softVer, 10);
    EXPECT_EQ(s.specialSpec, 1);
    EXPECT_EQ(s.mode, Mode::Tag);
    EXPECT_EQ(s.clock, QDateTime(QDate(2014, 1, 2), QTime(3, 4, 5)));
    EXPECT_EQ(s.offsets[1], "0012");
    EXPECT_EQ(s.offsets[2], "-015");
    EXPECT_EQ(s.userModelName, QStringLiteral("ﾗｲﾝ 2"));
    EXPECT_EQ(s.remainingMemory, 0);
    ASSERT_EQ(s.workers.size(), 3);
    EXPECT_EQ(s.workers.at(0), QStringLiteral("ﾀﾅｶ"));
    EXPECT_EQ(s.workers.at(1), "");
    EXPECT_EQ(s.workers.at(2), "ABC DEF");
    EXPECT_EQ(s.comments.value(1), "OK");

    ASSERT_EQ(s.areas.size(), 1);
    const LogArea& a = s.areas.at(0);
    EXPECT_EQ(a.area, 4);
    EXPECT_EQ(a.name, QStringLiteral("ﾃｽﾄ 4"));
    EXPECT_EQ(a.worker, QStringLiteral("ﾀﾅｶ"));
    EXPECT_EQ(a.interval, "00:01:00");
    EXPECT_EQ(a.start, QDateTime(QDate(2014, 1, 1), QTime(10, 0, 17)));
    EXPECT_FALSE(a.stop.isValid());
    EXPECT_EQ(a.channels[0].unit, QStringLiteral("ﾟC "));
    EXPECT_EQ(a.channels[0].scaleMin, -200);
    EXPECT_EQ(a.channels[0].lowAlarm, "100");
    EXPECT_EQ(a.channels[0].integrationBase, "250");
    EXPECT_EQ(a.channels[1].lowAlarm, "-----");
    EXPECT_EQ(a.channels[2].decimalPos, 3);
    EXPECT_EQ(a.channelsInUse(), 2);
    ASSERT_EQ(a.records.size(), 2);
    EXPECT_EQ(a.records.at(0).values, QStringList({"235", "32767"}));
    EXPECT_FALSE(a.records.at(0).mark);
    EXPECT_EQ(a.records.at(1).values, QStringList({"32766", "-----"}));
    EXPECT_TRUE(a.records.at(1).mark);

    ASSERT_EQ(s.tags.size(), 1);
    const TagEntry& t = s.tags.at(0);
    EXPECT_EQ(t.tag, 2);
    EXPECT_EQ(t.channelsInUse(), 1);
    ASSERT_EQ(t.records.size(), 5);
    EXPECT_EQ(t.records.at(0).time, QDateTime(QDate(2014, 1, 2), QTime(8, 0, 0)));
    EXPECT_EQ(t.records.at(0).worker, 1);
    EXPECT_EQ(t.records.at(0).comment, 2);
    EXPECT_EQ(t.records.at(0).values, QStringList({"-5"}));
    for (const TagRecord& r : t.records) {
        EXPECT_EQ(r.values.size(), 1);
        EXPECT_GE(r.worker, 1);
        EXPECT_LE(r.worker, 20);
    }
}

TEST(Scenario, MistakesNameTheirLine) {
    struct Case {
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"serial X\nmode FAST\n", 2},
        {"area 21\nend\n", 1},
        {"area 1\n  ch 1 K \"ﾟC \" -200 1370 1\n  rec 1 2\nend\n", 3},  // one channel, two values
        {"area 1\n  ch 5 K \"ﾟC \" 0 0 1\nend\n", 2},
        {"area 1\n  ch 1 Q \"ﾟC \" 0 0 1\nend\n", 2},
        {"area 1\n  ch 1 K \"ﾟC \" -200 13720 1\nend\n", 2},
        {"area 1\n  rec 123456 1 2 3\nend\n", 2},
        {"area 1\n  start 2014/13/01 00:00:00\nend\n", 2},
        {"area 1\n  name \"open\nend\n", 2},
        {"worker 21 X\n", 1},
        {"\n\nbogus 1\n", 3},
        {"serial X\narea 1\n  name X\n", 2},  // never closed
    };
    for (const Case& c : cases) {
        try {
            parseScenario(QByteArray(c.text));
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const mq::ConversionError& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("line %1:").arg(c.line)))
                << e.what() << " for " << c.text;
        }
    }
}

TEST(Scenario, LoadReadsAFileAndReportsAMissingOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("serial Q1234567\r\nmode MEMORY\r\n");
    f.close();
    const Scenario s = loadScenario(path);
    EXPECT_EQ(s.serial, "Q1234567");
    EXPECT_EQ(s.mode, Mode::Memory);
    EXPECT_THROW(loadScenario(dir.filePath("missing.txt")), mq::IoError);
}

TEST(Scenario, DefaultHoldsRangeCodesMarksAndKatakana) {
    const Scenario s = defaultScenario();
    bool over = false, under = false, none = false, mark = false;
    for (const LogArea& a : s.areas) {
        for (const LogRecord& r : a.records) {
            EXPECT_EQ(r.values.size(), a.channelsInUse());
            over |= r.values.contains("32767");
            under |= r.values.contains("32766");
            none |= r.values.contains("-----");
            mark |= r.mark;
        }
    }
    EXPECT_TRUE(over && under && none && mark);
    for (const TagEntry& t : s.tags)
        for (const TagRecord& r : t.records) EXPECT_EQ(r.values.size(), t.channelsInUse());
    EXPECT_EQ(s.workers.size(), 20);
    EXPECT_EQ(s.comments.size(), 20);
    EXPECT_TRUE(s.areas.at(0).name.contains(QChar(0xFF83)));  // ﾃ
}

TEST(Scenario, FaultNames) {
    Fault f = Fault::None;
    EXPECT_TRUE(faultFromName("cut-short", &f));
    EXPECT_EQ(f, Fault::CutShort);
    EXPECT_TRUE(faultFromName("bytes-before", &f));
    EXPECT_EQ(f, Fault::BytesBeforeFrame);
    EXPECT_TRUE(faultFromName("paced", &f));
    EXPECT_EQ(f, Fault::Paced);
    EXPECT_FALSE(faultFromName("loud", &f));
    EXPECT_EQ(f, Fault::Paced);
}

TEST(Scenario, ExampleFileLoads) {
    const Scenario s = loadScenario(QStringLiteral(MQ_SOURCE_DIR "/tests/logger_sim/example.scenario"));
    ASSERT_EQ(s.areas.size(), 2);
    EXPECT_EQ(s.areas.at(0).channelsInUse(), 2);
    EXPECT_EQ(s.areas.at(0).records.size(), 4);
    EXPECT_EQ(s.areas.at(1).records.size(), 1000);
    ASSERT_EQ(s.tags.size(), 1);
    EXPECT_EQ(s.tags.at(0).records.size(), 2);
}
