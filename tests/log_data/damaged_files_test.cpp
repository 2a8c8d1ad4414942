// Damaged and edge-case data files through the real open and save commands:
// each opens with a message or as a good file and never ends the program;
// values with seven characters keep their sign through a save and a reopen;
// a one-record file the program wrote reopens as it was; an error inside an
// operation ends only that operation.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QFile>

#include <functional>
#include <memory>

#include <sys/resource.h>
#include <unistd.h>

#include "log_data/log_files_fixture.h"
#include "model/common_proc.h"
#include "platform/cp932.h"
#include "platform/message_box.h"

namespace mq::test {
namespace {

using platform::ScopedMessageBoxHook;

const QString kAbnormal =
    QStringLiteral("このデータは異常終了したファイルです。\r\n正しく読み込めない可能性があります。");
const QString kShort = QStringLiteral("ファイルの記録データが途中で終わっています。");
const QString kBadHeader = QStringLiteral("ファイルのヘッダーが正しくないため、開くことができません。");

QString badFile(const char* name) { return QStringLiteral(MQ_SOURCE_DIR "/tests/data/bad-files/") + QLatin1String(name); }

// While it lives, the process may map 1 GiB more than it has now, so that a
// reader sizing its buffers by a count the file's bytes cannot hold fails
// (not under the address sanitizer, whose shadow needs all address space).
struct AddressSpaceLimit {
    rlimit old{};
    bool set = false;
    AddressSpaceLimit() {
#ifndef __SANITIZE_ADDRESS__
        const QList<QByteArray> statm = mq::test::readAll(QStringLiteral("/proc/self/statm")).split(' ');
        if (getrlimit(RLIMIT_AS, &old) != 0) return;
        rlimit tight = old;
        tight.rlim_cur = rlim_t(statm[0].toLongLong()) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(1) << 30);
        set = setrlimit(RLIMIT_AS, &tight) == 0;
#endif
    }
    ~AddressSpaceLimit() {
        if (set) setrlimit(RLIMIT_AS, &old);
    }
};

class DamagedFilesTest : public LogFilesFixture {
protected:
    // The file copied into the test's folder (the originals are read-only).
    QString copied(const char* name) {
        const QString to = files + QLatin1Char('/') + QLatin1String(name);
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(badFile(name), to)) << name;
        QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return to;
    }

    // The CH column of every record row.
    static QStringList column(platform::Grid* g, int ch) {
        QStringList out;
        for (int r = 1; r < g->Rows(); ++r) out << g->TextMatrix(r, 3 + ch);
        return out;
    }

    static bool anyCellEndsWith(platform::Grid* g, const QString& value) {
        for (int r = 1; r < g->Rows(); ++r) {
            for (int c = 3; c <= 6; ++c) {
                if (cell_value_text(g->TextMatrix(r, c)) == value) return true;
            }
        }
        return false;
    }
};

// ---------------------------------------------------------------- the damaged files

struct BadFileCase {
    const char* file;
    bool opens;                 // a window is left open
    QString firstMessage;       // the start of the first message ("" for none)
    std::function<void(log_data*)> check;
};

TEST_F(DamagedFilesTest, EveryDamagedFileOpensWithAMessageOrAsAGoodFile) {
    const std::vector<BadFileCase> cases = {
        {"nan.ML1", true, {},
         [](log_data* w) {
             // The garbled field is a missing value; the rest of the record stands.
             EXPECT_EQ(w->vsFlexGrid1()->TextMatrix(1, 3), QStringLiteral("    ------"));
             EXPECT_EQ(cell_value_text(w->vsFlexGrid1()->TextMatrix(1, 4)).trimmed(), QStringLiteral("1.47"));
         }},
        {"blank.ML1", true, {},
         [](log_data* w) { EXPECT_EQ(w->vsFlexGrid1()->TextMatrix(1, 3), QStringLiteral("    ------")); }},
        // Counts far beyond the bytes: the records the file holds, sized by its bytes.
        {"max.ML2", true, kShort, [](log_data* w) { EXPECT_LE(w->vsFlexGrid1()->Rows(), 1 + (1620 - 512) / 12); }},
        {"big.ML2", true, kShort, [](log_data* w) { EXPECT_LE(w->vsFlexGrid1()->Rows(), 1 + (1620 - 512) / 12); }},
        {"nochan.ML2", false, kBadHeader, {}},
        {"sign-lost.ML2", true, kShort,
         [](log_data* w) { EXPECT_TRUE(cell_value_text(w->vsFlexGrid1()->TextMatrix(1, 3)).endsWith(QStringLiteral("-3222.4"))); }},
        {"minus-3276.7.ML2", true, kAbnormal,
         [this](log_data* w) { EXPECT_TRUE(anyCellEndsWith(w->vsFlexGrid1(), QStringLiteral("-3276.7"))); }},
        {"one-record-start-equals-stop.ML2", true, kAbnormal,
         [](log_data* w) { EXPECT_EQ(w->vsFlexGrid1()->Rows(), 2); }},
    };
    for (const BadFileCase& c : cases) {
        SCOPED_TRACE(c.file);
        const int before = home->winTable().win_file_use_ct();
        ScopedMessageBoxHook boxes;
        const QString path = copied(c.file);
        auto limit = std::make_unique<AddressSpaceLimit>();
        log_data* w = openFile(path);
        limit.reset();
        const std::vector<QString> texts = boxes.texts();
        if (c.firstMessage.isEmpty()) {
            EXPECT_TRUE(texts.empty()) << texts.front().toStdString();
        } else {
            ASSERT_FALSE(texts.empty());
            EXPECT_TRUE(texts.front().startsWith(c.firstMessage)) << texts.front().toStdString();
        }
        EXPECT_EQ(home->winTable().win_file_use_ct(), before + (c.opens ? 1 : 0));
        if (c.opens) {
            ASSERT_NE(w, nullptr);
            if (c.check) c.check(w);
        }
    }
    // The program is still whole: a good file opens after all of them.
    const int open = home->winTable().win_file_use_ct();
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    save(files + QStringLiteral("/good.ML2"), 1);
    EXPECT_NE(openFile(files + QStringLiteral("/good.ML2")), nullptr);
    EXPECT_EQ(home->winTable().win_file_use_ct(), open + 1);
}

// A value of seven characters is saved with its sign and reopens as itself,
// not as the over-range code its last six characters would make.
TEST_F(DamagedFilesTest, AValueOfSevenCharactersSurvivesASaveAndAReopen) {
    ScopedMessageBoxHook boxes;
    ASSERT_NE(openFile(copied("minus-3276.7.ML2")), nullptr);
    const QString again = files + QStringLiteral("/again.ML2");
    save(again, 1);
    boxes.clear();
    log_data* w = openFile(again);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(boxes.texts().empty());  // the program's own file is whole
    EXPECT_TRUE(anyCellEndsWith(w->vsFlexGrid1(), QStringLiteral("-3276.7")));
}

// ---------------------------------------------------------------- voltage channels at their ends

TEST_F(DamagedFilesTest, VoltageValuesAtTheEndsOfTheirRangesKeepEveryCharacter) {
    // CH n has n-1 decimals; records: the lowest value, the highest, and a
    // value of the middle of the negative range.
    const std::vector<std::array<QString, 4>> values = {
        {QStringLiteral("-32767"), QStringLiteral("-3276.7"), QStringLiteral("-327.67"), QStringLiteral("-32.767")},
        {QStringLiteral("32764"), QStringLiteral("3276.4"), QStringLiteral("327.64"), QStringLiteral("32.764")},
        {QStringLiteral("-30000"), QStringLiteral("-3000.0"), QStringLiteral("-300.00"), QStringLiteral("-30.000")},
    };
    clsLOGGER_SETTING s;
    s.let_log_name(QStringLiteral("VOLTS"));
    s.let_record_interval(QStringLiteral("00:00:10"));
    s.let_start_time(civil(2024, 5, 1, 9, 0, 0));
    s.let_stop_time(civil(2024, 5, 1, 9, 0, 20));
    s.let_data_count(qint32(values.size()));
    for (int ch = 0; ch < 4; ++ch) {
        s.let_Ch_input_type(ch, QStringLiteral("V"));
        s.let_Ch_unit(ch, QStringLiteral("V"));
        s.let_Ch_period_pos(ch, quint8(ch));
    }
    clsLOGGER_STATUS st;
    st.let_model_name(QStringLiteral("MQ-4000"));
    clsLOGGER_GraphInfo g;
    size_t i = 0;
    const LogRecordSource source = [&](LogRecord& rec) {
        if (i >= values.size()) return false;
        rec.No = qint32(i + 1);
        for (int ch = 0; ch < 4; ++ch) rec.ch[size_t(ch)] = ld20_stored_text(values[i][size_t(ch)], true);
        ++i;
        return true;
    };
    const QString first = files + QStringLiteral("/volts.ML2");
    ASSERT_TRUE(ml2_write_file(first, Ml2Sources{s, st, g}, source).ok);

    ScopedMessageBoxHook boxes;
    log_data* w = openFile(first);
    ASSERT_NE(w, nullptr);
    const auto checkWindow = [&](log_data* win) {
        platform::Grid* grid = win->vsFlexGrid1();
        ASSERT_EQ(grid->Rows(), int(values.size()) + 1);
        for (size_t r = 0; r < values.size(); ++r) {
            for (int ch = 0; ch < 4; ++ch) {
                EXPECT_EQ(cell_value_text(grid->TextMatrix(int(r) + 1, 3 + ch)).trimmed(), values[r][size_t(ch)])
                    << "record " << r + 1 << " CH" << ch + 1;
            }
        }
        // Minimum and maximum in the statistics, with their signs.
        for (int ch = 0; ch < 4; ++ch) {
            EXPECT_EQ(win->MSFlexGrid2()->TextMatrix(2, ch + 1).trimmed(), values[0][size_t(ch)]) << "CH" << ch + 1;
            EXPECT_EQ(win->MSFlexGrid2()->TextMatrix(1, ch + 1).trimmed(), values[1][size_t(ch)]) << "CH" << ch + 1;
        }
    };
    checkWindow(w);

    // Saved again by the program and reopened: the same values.
    const QString second = files + QStringLiteral("/volts-again.ML2");
    save(second, 1);
    log_data* w2 = openFile(second);
    ASSERT_NE(w2, nullptr);
    checkWindow(w2);

    // The CSV carries the whole values, in the records and the statistics.
    const QString csv = files + QStringLiteral("/volts.csv");
    save(csv, 2);
    const QStringList lines = platform::cp932::decode(readFile(csv)).split(QStringLiteral("\r\n"));
    ASSERT_GT(lines.size(), 32);
    EXPECT_EQ(lines.at(26).section(u',', 1, 4), QStringLiteral("-32767,-3276.7,-327.67,-32.767"));
    EXPECT_EQ(lines.at(28).section(u',', 1, 4), QStringLiteral("-30000,-3000.0,-300.00,-30.000"));
    EXPECT_TRUE(lines.at(30).startsWith(QStringLiteral("最小値,-32767,-3276.7,-327.67,-32.767,"))) << lines.at(30).toStdString();
    EXPECT_TRUE(lines.at(31).startsWith(QStringLiteral("最大値, 32764,3276.4,327.64,32.764,"))) << lines.at(31).toStdString();
    EXPECT_TRUE(boxes.texts().empty()) << boxes.texts().front().toStdString();
}

// ---------------------------------------------------------------- one record

TEST_F(DamagedFilesTest, AOneRecordFileTheProgramSavedReopensWithOneRecordAndNoWarning) {
    scenario();
    // One record: the logger reports equal start and stop times.
    recording(civil(2024, 1, 15, 10, 0, 17), civil(2024, 1, 15, 10, 0, 17), QStringLiteral("00:01:00"), 1);
    reply = buildReply({{{"  253", "12345", "32767"}, QLatin1Char('0')}});
    ASSERT_NE(openLogger(), nullptr);
    const QString path = files + QStringLiteral("/one.ML2");
    save(path, 1);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ScopedMessageBoxHook boxes;
        log_data* w = openFile(path);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(boxes.texts().empty()) << boxes.texts().front().toStdString();
        EXPECT_EQ(w->vsFlexGrid1()->Rows(), 2);
        EXPECT_EQ(w->Label1()->text(), QStringLiteral("1"));
        EXPECT_EQ(cell_value_text(w->vsFlexGrid1()->TextMatrix(1, 3)).trimmed(), QStringLiteral("25.3"));
        save(path, 1);  // and the file window saved once more
    }
}

// ---------------------------------------------------------------- an error inside an operation

TEST_F(DamagedFilesTest, AnErrorInsideTheRecordLoadEndsOnlyThatOpening) {
    scenario();
    ASSERT_NE(openLogger(), nullptr);
    const int slot = slotOf(QStringLiteral("L01"));
    const QString path = files + QStringLiteral("/good.ML2");
    save(path, 1);
    home_state().win_unsaved_flags[slot] = 1;

    // The record load fails; the unscrambling before it does not.
    seq().records_load_stand_in = [](IFileProgress*, const std::function<void(IFileProgress*)>&) {
        throw std::runtime_error("injected");
    };
    {
        ScopedMessageBoxHook boxes;
        EXPECT_EQ(openFile(path), nullptr);
        EXPECT_EQ(boxes.texts(), std::vector<QString>{QStringLiteral("エラーが発生しました。")});
    }
    // The logger window and its unsaved data are still there, and the program
    // goes on: with the loader back the same file opens.
    EXPECT_EQ(home->winTable().win_file_use_ct(), 0);
    EXPECT_NE(windowOf(QStringLiteral("L01")), nullptr);
    EXPECT_EQ(home_state().win_unsaved_flags[slot], 1);
    EXPECT_TRUE(home_state().app_idle_flag);
    seq().records_load_stand_in = nullptr;
    ScopedMessageBoxHook boxes;
    EXPECT_NE(openFile(path), nullptr);
    EXPECT_TRUE(boxes.texts().empty());
}

// An error thrown by a menu command's own code ends only that command.
TEST_F(DamagedFilesTest, AnErrorOutOfACommandIsReportedAndTheProgramGoesOn) {
    home_state().targets.commands[HomeCommand::FileOpen] = [] { throw std::runtime_error("injected"); };
    ScopedMessageBoxHook boxes;
    home->findChild<QAction*>(QStringLiteral("Toolbar1_13"))->trigger();
    EXPECT_EQ(boxes.texts(), std::vector<QString>{QStringLiteral("エラーが発生しました。")});
    EXPECT_TRUE(home_state().app_idle_flag);
    EXPECT_TRUE(home->isVisible());
}

}  // namespace
}  // namespace mq::test
