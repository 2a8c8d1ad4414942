#pragma once
// Shared set-up of the LOG window tests: fresh program state, a logger with
// its twenty area data sets, area 1 current, and a builder of LOG data
// replies laid out byte by byte as the logger sends them.
#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>

#include <memory>
#include <vector>

#include "app/program_state.h"
#include "common/test_env.h"
#include "log_data/integration.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/data_sets.h"
#include "model/db_workspace.h"
#include "model/model_state.h"
#include "sequencer/seq_state.h"

namespace mq::test {

inline QDateTime civil(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// One record of a reply: the 5-character fields of the channels in use, in
// channel order, and the record flag.
struct RawRecord {
    QStringList fields;
    QChar flag = QLatin1Char('0');
};

// The reply for the records: groups of three with a 7-character head (STX,
// three letters, two digits at positions 5 and 6, a separator) and 4 closing
// characters.
inline QString buildReply(const std::vector<RawRecord>& recs) {
    QString out;
    for (size_t i = 0; i < recs.size(); i += 3) {
        out += QChar(0x02) + QStringLiteral("LDA07,");
        for (size_t k = i; k < recs.size() && k < i + 3; ++k) {
            for (const QString& f : recs[k].fields) {
                EXPECT_EQ(f.size(), 5) << "test data: a field is 5 characters";
                out += f;
            }
            out += recs[k].flag;
        }
        out += QChar(0x03) + QStringLiteral("X\r\n");
    }
    return out;
}

class LogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        userDir = dataHome() + QStringLiteral("/logwin/") + QString::fromLatin1(info->test_suite_name()) +
                  QLatin1Char('_') + QString::fromLatin1(info->name());
        QDir(userDir).removeRecursively();
        QDir().mkpath(userDir);
        ModelState& m = model();
        m.user_dir = userDir;
        m.dao_workspace = std::make_shared<DbWorkspace>();
        m.logger_main = std::make_shared<clsLOGGER_Main>();
        m.logger_main->clsLOGGER_STATUS().let_mode_type(1);
        for (int i = 1; i <= 20; ++i) {
            m.logger_main->colLOGGER_DATA().Add(QStringLiteral("L%1").arg(i, 2, 10, QLatin1Char('0')));
        }
        m.act_logger_data = m.logger_main->colLOGGER_DATA().Item(QStringLiteral("L01"));
        m.act_data_kind = 2;
    }

    void TearDown() override {
        ModelState& m = model();
        m.act_logger_data.reset();
        m.act_file_data.reset();
        m.logger_main.reset();
        m.file_main.reset();
        QDir(userDir).removeRecursively();
    }

    clsLOGGER_DATA& area() { return *model().act_logger_data; }
    clsLOGGER_SETTING& setting() { return area().clsLOGGER_SETTING(); }

    // Channel set-up: input type, decimal position, high and low alarm and
    // integration base as display texts.
    void channel(int ch, const QString& type, int decimals = 1, const QString& high = QStringLiteral("-----"),
                 const QString& low = QStringLiteral("-----"), const QString& base = QStringLiteral("-----")) {
        clsLOGGER_SETTING& s = setting();
        s.let_Ch_input_type(ch, type);
        s.let_Ch_period_pos(ch, quint8(decimals));
        s.let_Ch_high_alarm_count(ch, high);
        s.let_Ch_low_alarm_count(ch, low);
        s.let_Ch_sum_std_count(ch, base);
    }

    void recording(const QDateTime& start, const QDateTime& stop, const QString& interval, qint32 count) {
        clsLOGGER_SETTING& s = setting();
        s.let_start_time(start);
        s.let_stop_time(stop);
        s.let_record_interval(interval);
        s.let_data_count(count);
    }

    ProgramState programState;
    QString userDir;
};

}  // namespace mq::test
