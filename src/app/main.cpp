// Start-up only: the application object that owns every subsystem's state,
// Qt's own dialogs in Japanese, and the main window's start.
#include <QApplication>
#include <QTimer>

#include "app/program_state.h"
#include "graph/fgraph.h"
#include "log_data/log_data.h"
#include "log_data/log_data_select.h"
#include "log_data/log_data_files.h"
#include "log_data/ops_log_files.h"
#include "log_settings/log_set_value.h"
#include "main_window/file_open.h"
#include "main_window/file_save.h"
#include "main_window/command_boundary.h"
#include "main_window/connect_command.h"
#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "main_window/identity_check.h"
#include "main_window/startup.h"
#include "model/model_state.h"
#include "platform/interface_locale.h"
#include "printing/table_print.h"
#include "sequencer/connect_check_op.h"
#include "sequencer/file_progress.h"
#include "tag_settings/tag_settings_targets.h"
#include "tag_data/ops_tag.h"
#include "tag_data/tag_data.h"
#include "tag_data/tag_data_files.h"
#include "tag_data/tag_data_select.h"

namespace {

// The program-wide state of every subsystem lives as long as this object.
struct Application {
    mq::ProgramState state;

    // The save command's runner: the LOG or the TAG data build the save of its kind.
    static bool run_save(qint16 code) {
        std::optional<mq::Operation> save = mq::log_save_operation(code);
        if (!save) save = mq::tag_save_operation(code);
        return mq::prog_run_save(std::move(save));
    }

    // Each subsystem above the main window plugs its commands in.
    static void install_targets(mq::HOME& window) {
        mq::HomeTargets& targets = mq::home_state().targets;
        mq::prog_install_connect_check();
        mq::install_connect_targets(targets);
        mq::install_log_data_targets(targets);
        mq::install_log_data_select_target(targets, &window);
        mq::install_log_settings_targets(targets);
        mq::install_file_open_target(targets);
        mq::install_file_save_target(targets, mq::FileSaveHooks{{}, &run_save});
        mq::install_log_file_targets(targets);
        mq::install_graph_target(targets);
        mq::install_tag_settings_targets(targets, &window);
        mq::install_tag_data_targets(targets);
        mq::install_tag_data_select_target(targets, &window);
        mq::install_tag_file_targets(targets);
        mq::install_table_print_targets(targets);
    }

    int run(QApplication& app, const QStringList& arguments) {
        const QString commandLine = mq::command_line_text(arguments);
        mq::SingleInstance instance;
        if (!instance.tryBecomeFirst()) return mq::second_start(instance, commandLine);

        mq::HOME window;
        install_targets(window);
        QObject::connect(&instance, &mq::SingleInstance::fileHandedOver, &window, &mq::HOME::MDIForm_LinkExecute);
        if (!mq::startup_load(window, commandLine)) return 0;
        window.show();

        // Development aid: MARROWQUILL_SCREENSHOT=<file.png> saves a picture of
        // the main window shortly after start and ends the program.
        const QString shot = qEnvironmentVariable("MARROWQUILL_SCREENSHOT");
        if (!shot.isEmpty()) {
            QTimer::singleShot(1500, &window, [&app, &window, shot] {
                const bool ok = window.grab().save(shot);
                app.exit(ok ? 0 : 1);
            });
        }
        return app.exec();
    }
};

}  // namespace

int main(int argc, char** argv) {
    mq::GuardedApplication app(argc, argv);
    mq::platform::use_japanese_locale(app);
    // Messages that carry the application's title (the second start's) show
    // the program's own name, not the executable's.
    QCoreApplication::setApplicationName(QStringLiteral("マロウクイル"));

    mq::platform::install_japanese_qt_texts(app);

    Application program;
    return program.run(app, QCoreApplication::arguments().mid(1));
}
