#include "sequencer/file_fill.h"

#include "main_window/home_state.h"
#include "main_window/scrambling.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/message_box.h"
#include "sequencer/prog_dialog.h"
#include "sequencer/seq_state.h"

namespace mq {

namespace {

QWidget* messageParent() {
    IMainWindowServices* mw = ModelSlot::installed() ? model().main_window : nullptr;
    return mw ? mw->mainWidget() : nullptr;
}

}  // namespace

void op_descramble_text_run(Prog_Dialog& dlg) {
    HomeState& hs = home_state();
    dlg.set_progress_max(double(hs.file_raw_text.size()) / 1000.0 + 1.0);
    hs.file_plain_text = data_disk_angou_load_2(hs.file_raw_text, &dlg);
    dlg.unload();
}

void register_descramble_operation() {
    prog_register_operation(op_descramble_text, ProgOperation{&op_descramble_text_run, {}});
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
    HomeState& hs = home_state();
    plain.clear();
    QByteArray scrambled;
    if (FileResult r = read(scrambled); !r) {
        show_fill_error(r.message);
        fill_failure_ending(window);
        return false;
    }
    hs.file_raw_text = scrambled;
    hs.file_plain_text.clear();
    seq().file_cancel_flag = false;
    seq().prog_mode = op_descramble_text;
    prog_dialog_show(messageParent(), window.data());
    hs.file_raw_text.clear();
    if (!window) return false;
    if (hs.file_plain_text.isEmpty()) {
        seq().file_cancel_flag = false;
        fill_failure_ending(window);
        return false;
    }
    plain = hs.file_plain_text;
    return true;
}

}  // namespace mq
