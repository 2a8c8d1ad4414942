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
#include "tag_data/ops_tag.h"
#include "tag_data/tag_data.h"
#include "tag_settings/ops_list_write.h"
#include "tag_settings/ops_tag_setting.h"

namespace {

using F = mq::OnFailure;
using W = mq::Works;

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
    const QString fill = QStringLiteral("ﾃﾞｰﾀ表示処理中(1/10)です。他の操作は行わないで下さい。");
    struct Case {
        const char* what;
        mq::Operation op;
        QString phase;
        bool cancel;
        W works;
        F onFailure;
    } const cases[] = {
        {"LOG list", mq::log_list_read_operation(nullptr), read, true, W::Logger, F::CallerList},
        {"TAG list", mq::tag_list_read_operation(nullptr), read, true, W::Logger, F::CallerList},
        {"LOG settings", mq::log_settings_read_operation({}, none), read, true, W::Logger, F::Caller},
        {"TAG settings", mq::tag_settings_read_operation({}, none), read, true, W::Logger, F::Caller},
        {"clock", mq::logger_clock_read_operation(nullptr, clock), read, false, W::Logger, F::Nothing},
        {"LOG data", mq::log_records_read_operation(nullptr, 1, {}), read, true, W::LoggerRecords, F::Nothing},
        {"TAG data", mq::tag_records_read_operation(nullptr, 1, {}), read, true, W::LoggerRecords, F::Nothing},
        {"LOG all", mq::log_settings_write_operation(true, 1, 0, {}, none), write, false, W::Logger, F::Caller},
        {"LOG one", mq::log_settings_write_operation(false, 1, 0, {}, none), write, false, W::Logger, F::Caller},
        {"TAG all", mq::tag_settings_write_operation(true, 1, none), write, false, W::Logger, F::Caller},
        {"TAG one", mq::tag_settings_write_operation(false, 1, none), write, false, W::Logger, F::Caller},
        {"LOG defaults", mq::log_defaults_write_operation(none), write, false, W::Logger, F::Caller},
        {"TAG defaults", mq::tag_defaults_write_operation(none), write, false, W::Logger, F::Caller},
        {"workers", mq::list_write_operation(true), write, false, W::Logger, F::MainWindow},
        {"comments", mq::list_write_operation(false), write, false, W::Logger, F::MainWindow},
        {".ML1", mq::ml1_records_load_operation(logWindow), load, true, W::FileLoad, F::Nothing},
        {".ML2", mq::ml2_records_load_operation(logWindow), load, true, W::FileLoad, F::Nothing},
        {".MT1", mq::mt1_records_load_operation(tagWindow, plain), load, true, W::FileLoad, F::Nothing},
        {"table fill", mq::data_grid_fill_operation(logWindow), fill, false, W::FileLoad, F::Nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.op.phase, c.phase);
        EXPECT_EQ(c.op.cancellable, c.cancel);
        EXPECT_EQ(c.op.works, c.works);
        EXPECT_EQ(c.op.on_failure, c.onFailure);
        EXPECT_EQ(c.op.draw_phase_first, c.phase == fill);
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
        EXPECT_EQ(save.works, W::FileSave);
        EXPECT_EQ(bool(log), code % 100 == 20 || code % 100 == 40);
    }
}

}  // namespace
