// The ".MT1" file through File Open as the user opens it: the file dialog
// answered with the file, the tag line and the mode, the header, the record
// load under the progress dialog (statistics block, every record) and the
// window's summary; then every window closed again. Whatever the bytes, the
// program shows the file's own message, never the message of an unexpected
// error, and no exception leaves the command.
#include <QApplication>
#include <QTimer>

#include <memory>

#include "fuzz_common.h"
#include "main_window/command_boundary.h"
#include "main_window/file_open.h"
#include "main_window/home.h"
#include "main_window/window_table.h"
#include "model/cls_logger_database.h"
#include "platform/message_box.h"
#include "tag_data/tag_data.h"
#include "tag_data/tag_data_files.h"

namespace {

struct Program {
    QString path;
    std::unique_ptr<mq::HOME> home;

    Program() {
        mq::fuzz::ensureProgramState();
        path = mq::fuzz::useScratchUserDir() + QStringLiteral("/input.MT1");
        mq::model().dao_workspace = std::make_shared<mq::DbWorkspace>();
        home = std::make_unique<mq::HOME>();
        home->setExitStepDelay(0);
        home->Timer3()->stop();
        mq::HomeTargets& t = mq::home_state().targets;
        mq::install_tag_data_targets(t);
        mq::install_tag_file_targets(t);
        const QString file = path;
        mq::install_file_open_target(
            t, mq::FileOpenHooks{[file](QWidget*, const mq::FileDialogRequest&) {
                                     return mq::FileDialogAnswer{true, file, 1};
                                 },
                                 [](const QString&) { return false; }});
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_mt1";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    (void)app;
    // Kept to the end of the process: a main window destroyed after Qt's own
    // exit handlers ran would take the process down with it.
    static Program& program = *new Program;
    if (!mq::fuzz::writeFile(program.path, mq::fuzz::bytesOf(data, size))) return 0;
    mq::platform::ScopedMessageBoxHook boxes(mq::platform::MsgResult::No);
    program.home->fileopen_Click();
    QCoreApplication::processEvents();
    mq::home_state().close_reason = 1;
    program.home->winTable().win_all_close();
    mq::home_state().close_reason = 0;
    QCoreApplication::processEvents();
    for (const QString& text : boxes.texts()) {
        if (text == mq::unexpected_error_message()) __builtin_trap();
    }
    return 0;
}
