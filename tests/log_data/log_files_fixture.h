#pragma once
// A main window with real LOG data windows, the file operations and the open
// and save commands wired in, with the file dialogs answered by the test:
// the set-up of the LOG data file tests and the round trips.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <deque>
#include <memory>

#include "log_data/log_data.h"
#include "log_data/log_data_files.h"
#include "log_data/log_window_fixture.h"
#include "log_data/ml2_format.h"
#include "log_data/ops_log_files.h"
#include "main_window/file_open.h"
#include "main_window/file_save.h"
#include "main_window/home.h"
#include "model/cls_logger_graphinfo.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "platform/grid.h"
#include "platform/message_box.h"
#include "sequencer/file_progress.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/records_read.h"
#include "sequencer/seq_state.h"

namespace mq::test {

class LogFilesFixture : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        // A message no test expects is answered and kept, never shown.
        unexpectedBoxes = std::make_unique<platform::ScopedMessageBoxHook>(platform::MsgResult::OK);
        files = userDir + QStringLiteral("/files");
        QDir().mkpath(files);
        QDir().mkpath(userDir + QStringLiteral("/config"));  // LAFP.CFG keeps the folders
        home = std::make_unique<HOME>();
        home->setExitStepDelay(0);
        home->Timer3()->stop();
        home->show();
        HomeTargets& t = home_state().targets;
        install_log_data_targets(t);
        install_log_file_targets(t);
        const FileDialogFn dialog = [this](QWidget*, const FileDialogRequest& r) {
            requests.push_back(r);
            if (answers.empty()) return FileDialogAnswer{};
            FileDialogAnswer a = answers.front();
            answers.pop_front();
            return a;
        };
        install_file_open_target(t, FileOpenHooks{dialog, [this](const QString&) { return removable; }});
        install_file_save_target(
            t, FileSaveHooks{dialog, [](qint16 code) { return prog_run_save(log_save_operation(code)); }});
        link().link_connected_flag = true;
        link().link_mode = OpMode::Log;
        seq().records_read_stand_in = [this](Prog_Dialog& dlg, const RecordsRead& read) {
            const qint32 n = setting().data_count();
            read.hand(reply, n / 3, qint16(n % 3));
            dlg.exit_success();
        };
    }

    void TearDown() override {
        home_state().close_reason = 1;
        for (QMdiSubWindow* sub : home->mdiArea()->subWindowList()) sub->close();
        QCoreApplication::processEvents();
        home_state().close_reason = 0;
        home_state().targets = HomeTargets{};
        home.reset();
        unexpectedBoxes.reset();
        LogFixture::TearDown();
    }

    // The LOG data window of a window-table key (a logger window "L01", or a
    // file window by its whole tag).
    log_data* windowOf(const QString& key) {
        for (int i = 0; i < kWinSlots; ++i) {
            if (home_state().win_key_table[i] == key || home_state().win_key_table[i].left(3) == key) {
                return qobject_cast<log_data*>(home_state().win_windows[i].data());
            }
        }
        return nullptr;
    }

    int slotOf(const QString& key) {
        for (int i = 0; i < kWinSlots; ++i) {
            if (home_state().win_key_table[i] == key) return i;
        }
        return -1;
    }

    // Reads area nn from the reply into a logger window; its data are unsaved.
    log_data* openLogger(const QString& nn = QStringLiteral("01")) {
        home->winTable().win_logger_open_log(nn);
        QCoreApplication::processEvents();
        const int slot = slotOf(QLatin1Char('L') + nn);
        if (slot < 0) return nullptr;
        home_state().win_unsaved_flags[slot] = 1;
        return qobject_cast<log_data*>(home_state().win_windows[slot].data());
    }

    // The save command with the dialog answering path and filter (1 data file, 2 CSV).
    void save(const QString& path, int filterIndex) {
        answers.push_back(FileDialogAnswer{true, path, filterIndex});
        home->save_Click();
    }

    // The open command with the dialog answering path; the window it opened.
    log_data* openFile(const QString& path) {
        answers.push_back(FileDialogAnswer{true, path, 1});
        const int before = home->winTable().win_file_use_ct();
        home->fileopen_Click();
        QCoreApplication::processEvents();
        if (home->winTable().win_file_use_ct() <= before) return nullptr;
        return log_data::activeLogWindow();
    }

    // The logger area of the LOG window tests: CH1 K (alarms 30.0/10.0, base
    // 20.0), CH2 unused, CH3 voltage with two decimals, CH4 T always over range
    // except one missing value; six records one minute apart from 10:00:17.
    void scenario() {
        clsLOGGER_SETTING& s = setting();
        s.let_log_name(QStringLiteral("TESTLOG1"));
        s.let_Worker(QStringLiteral("A&B"));
        s.let_Comment(QStringLiteral("RUN 7"));
        s.let_area_no(1);
        channel(0, QStringLiteral("K"), 1, QStringLiteral("30.0"), QStringLiteral("10.0"), QStringLiteral("20.0"));
        channel(1, QStringLiteral("-"));
        channel(2, QStringLiteral("V"), 2, QStringLiteral("1.00"), QStringLiteral("0.00"), QStringLiteral("0.00"));
        s.let_Ch_unit(2, QStringLiteral("mV"));
        channel(3, QStringLiteral("T"), 1, QStringLiteral("100.0"), QStringLiteral("10.0"), QStringLiteral("0.0"));
        recording(civil(2024, 1, 15, 10, 0, 17), civil(2024, 1, 15, 10, 5, 0), QStringLiteral("00:01:00"), 6);
        clsLOGGER_STATUS& st = model().logger_main->clsLOGGER_STATUS();
        st.let_model_name(QStringLiteral("MQ-4000"));
        st.let_serial_no(QStringLiteral("A1234567"));
        st.let_user_model_name(QStringLiteral("LINE 3"));
        st.let_hard_ver(1);
        st.let_soft_ver(2);
        st.let_special_spec(0);
        reply = buildReply({{{"  253", "12345", "32767"}, QLatin1Char('0')},
                            {{"  310", "32766", "32767"}, QLatin1Char('1')},
                            {{"32767", " -150", "32767"}, QLatin1Char('0')},
                            {{"   80", "  500", "32767"}, QLatin1Char('0')},
                            {{"  202", "-----", "32767"}, QLatin1Char('0')},
                            {{"  150", "  100", "-----"}, QLatin1Char('0')}});
    }

    static QByteArray readFile(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll();
    }

    static bool writeFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    static QStringList row(platform::Grid* g, int r) {
        QStringList out;
        for (int c = 0; c < g->Cols(); ++c) out << g->TextMatrix(r, c);
        return out;
    }

    std::unique_ptr<platform::ScopedMessageBoxHook> unexpectedBoxes;
    std::unique_ptr<HOME> home;
    QString reply;
    QString files;
    bool removable = false;
    std::deque<FileDialogAnswer> answers;
    std::vector<FileDialogRequest> requests;
};

}  // namespace mq::test
