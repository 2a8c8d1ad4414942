#include "sequencer/file_fill.h"

#include "main_window/home_state.h"
#include "main_window/scrambling.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/message_box.h"
#include "sequencer/file_progress.h"
#include "sequencer/seq_state.h"

namespace mq {

namespace {

QWidget* messageParent() {
    IMainWindowServices* mw = ModelSlot::installed() ? model().main_window : nullptr;
    return mw ? mw->mainWidget() : nullptr;
}

}  // namespace

Operation descramble_operation(const QByteArray& scrambled, QByteArray& plain) {
    return file_load_operation([&scrambled, &plain](Prog_Dialog& dlg) {
        dlg.set_progress_max(double(scrambled.size()) / 1000.0 + 1.0);
        plain = data_disk_angou_load_2(scrambled, &dlg);
        dlg.unload();
    });
}

Operation records_load_operation(double records, std::function<void(IFileProgress*)> loader) {
    return file_load_operation([records, loader = std::move(loader)](Prog_Dialog& dlg) {
        dlg.set_progress_value(0);
        dlg.set_progress_max(records);
        {
            ThrottledProgress progress(dlg);
            if (const auto& standIn = seq().records_load_stand_in) {
                standIn(&progress, loader);
            } else {
                loader(&progress);
            }
        }
        dlg.unload();
    });
}

void show_fill_error(const QString& text) {
    platform::msgBox(messageParent(), text, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
}

void fill_failure_ending(const QPointer<DataWindowBase>& window) {
    if (window) window->give_up_fill();
    else home_state().data_win_init_flag = true;
}

bool read_and_descramble(const QPointer<DataWindowBase>& window, const std::function<FileResult(QByteArray&)>& read,
                         QByteArray& plain) {
    plain.clear();
    QByteArray scrambled;
    if (FileResult r = read(scrambled); !r) {
        show_fill_error(r.message);
        fill_failure_ending(window);
        return false;
    }
    seq().file_cancel_flag = false;
    prog_run(messageParent(), descramble_operation(scrambled, plain));
    if (!window) return false;
    if (plain.isEmpty()) {
        seq().file_cancel_flag = false;
        fill_failure_ending(window);
        return false;
    }
    return true;
}

}  // namespace mq
