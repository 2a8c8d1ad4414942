// Every operation the program builds, as the progress dialog runs it: its
// phase text, whether Cancel is enabled, what it works on and what a failure
// closes.
#include <gtest/gtest.h>

#include "app/program_state.h"
#include "common/test_env.h"
#include "log_data/log_data.h"
#include "log_data/ops_log_files.h"
#include "log_data/ops_log_read.h"
#include "log_settings/ops_log_setting.h"
#include "main_window/file_save.h"
#include "sequencer/connect_check_op.h"
#include "tag_data/ops_tag.h"
#include "tag_data/tag_data.h"
#include "tag_settings/ops_list_write.h"
#include "tag_settings/ops_tag_setting.h"

namespace {

using mq::OnFailure;
using mq::Works;

TEST(OperationTable, EveryOperationShowsItsPhaseAndCancel) {
    mq::test::ensureApplication();
    mq::ProgramState state;
    mq::log_data logWindow(QStringLiteral("F01"));
    mq::tag_data tagWindow(QStringLiteral("F02"));
    const QByteArray plain;
    mq::LoggerClockRead clock;
    const auto none = [] {};
    const QString read = QStringLiteral("ロガーから読み出しています。");
    const QString write = QStringLiteral("ロガーへ書き込んでいます。");
    const QString load = QStringLiteral("ファイルから読み込んでいます。");
    struct Case {
        const char* what;
        mq::Operation op;
        QString phase;
        bool cancel;
        Works works;
        OnFailure onFailure;
    } const cases[] = {
        {"connection check", mq::connect_check_operation(), QStringLiteral("ロガーとの接続を確認中"), false,
         Works::Logger, OnFailure::Nothing},
        {"LOG list", mq::log_list_read_operation(nullptr), read, true, Works::Logger, OnFailure::CallerList},
        {"TAG list", mq::tag_list_read_operation(nullptr), read, true, Works::Logger, OnFailure::CallerList},
        {"LOG settings", mq::log_settings_read_operation({}, none), read, true, Works::Logger, OnFailure::Caller},
        {"TAG settings", mq::tag_settings_read_operation({}, none), read, true, Works::Logger, OnFailure::Caller},
        {"clock", mq::logger_clock_read_operation(nullptr, clock), read, false, Works::Logger, OnFailure::Nothing},
        {"LOG records", mq::log_records_read_operation(nullptr, 1, nullptr), read, true, Works::LoggerRecords,
         OnFailure::Nothing},
        {"TAG records", mq::tag_records_read_operation(nullptr, 1, nullptr), read, true, Works::LoggerRecords,
         OnFailure::Nothing},
        {"LOG write all", mq::log_settings_write_operation(true, 1, 0, {}, none), write, false, Works::Logger,
         OnFailure::Caller},
        {"LOG write one", mq::log_settings_write_operation(false, 1, 0, {}, none), write, false, Works::Logger,
         OnFailure::Caller},
        {"TAG write all", mq::tag_settings_write_operation(true, 1, none), write, false, Works::Logger,
         OnFailure::Caller},
        {"TAG write one", mq::tag_settings_write_operation(false, 1, none), write, false, Works::Logger,
         OnFailure::Caller},
        {"LOG defaults", mq::log_defaults_write_operation(none), write, false, Works::Logger, OnFailure::Caller},
        {"TAG defaults", mq::tag_defaults_write_operation(none), write, false, Works::Logger, OnFailure::Caller},
        {"workers", mq::list_write_operation(true), write, false, Works::Logger, OnFailure::MainWindow},
        {"comments", mq::list_write_operation(false), write, false, Works::Logger, OnFailure::MainWindow},
        {".ML1", mq::ml1_records_load_operation(logWindow), load, true, Works::FileLoad, OnFailure::Nothing},
        {".ML2", mq::ml2_records_load_operation(logWindow), load, true, Works::FileLoad, OnFailure::Nothing},
        {".MT1", mq::mt1_records_load_operation(tagWindow, plain), load, true, Works::FileLoad, OnFailure::Nothing},
        {"table fill", mq::data_grid_fill_operation(logWindow),
         QStringLiteral("ﾃﾞｰﾀ表示処理中(1/10)です。他の操作は行わないで下さい。"), false, Works::FileLoad,
         OnFailure::Nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.op.phase, c.phase);
        EXPECT_EQ(c.op.cancellable, c.cancel);
        EXPECT_EQ(c.op.works, c.works);
        EXPECT_EQ(c.op.on_failure, c.onFailure);
        EXPECT_EQ(c.op.draw_phase_first, c.phase.startsWith(u'ﾃ'));
        EXPECT_TRUE(c.op.run);
    }
    // Each kind of save is built by exactly one of the LOG and TAG data.
    for (qint16 code : {mq::op_save_logger_log_csv, mq::op_save_logger_tag_csv, mq::op_save_logger_ml2,
                        mq::op_save_logger_mt1, mq::op_save_file_log_csv, mq::op_save_file_tag_csv,
                        mq::op_save_file_ml2, mq::op_save_file_mt1}) {
        SCOPED_TRACE(code);
        const std::optional<mq::Operation> log = mq::log_save_operation(code);
        const std::optional<mq::Operation> tag = mq::tag_save_operation(code);
        ASSERT_NE(bool(log), bool(tag));
        const mq::Operation& save = log ? *log : *tag;
        EXPECT_EQ(save.phase, QStringLiteral("ファイルへ書き込んでいます。"));
        EXPECT_FALSE(save.cancellable);
        EXPECT_EQ(save.works, Works::FileSave);
        EXPECT_EQ(bool(log), code % 100 == 20 || code % 100 == 40);
    }
}

}  // namespace
