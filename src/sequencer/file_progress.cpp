#include "sequencer/file_progress.h"

#include "main_window/file_save.h"
#include "model/data_window.h"
#include "model/model_state.h"
#include "platform/message_box.h"
#include "sequencer/seq_state.h"

namespace mq {

void ThrottledProgress::set_progress_value(double value) {
    m_pending = value;
    m_hasPending = true;
    if (++m_values >= m_every) {
        m_values = 0;
        flush();
    }
}

void ThrottledProgress::process_events() {
    if (++m_events >= m_every) {
        m_events = 0;
        flush();
        m_inner.process_events();
    }
}

void ThrottledProgress::flush() {
    if (!m_hasPending) return;
    m_hasPending = false;
    m_inner.set_progress_value(m_pending);
}

FileResult nothing_to_save() {
    return FileResult::failure(QStringLiteral("保存するデータがありません。"));
}

void end_file_save(Prog_Dialog& dlg, const FileResult& result) {
    if (!result) {
        platform::msgBox(&dlg, result.message, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        dlg.unload();
        throw SaveFailedError(result.message.toStdString());
    }
    dlg.unload();
}

bool prog_run_save(std::optional<Operation> save) {
    // One operation at a time: a save asked for while another runs writes nothing.
    if (seq().dialog) return false;
    // A file kind whose writer is not there writes nothing, so it must not
    // be reported as saved.
    if (!save || !save->run) return false;
    try {
        if (prog_run(nullptr, std::move(*save)) != Outcome::Done) return false;
    } catch (const SaveFailedError&) {
        return false;
    } catch (const std::exception& e) {
        QWidget* parent = ModelSlot::installed() && model().main_window ? model().main_window->mainWidget() : nullptr;
        platform::msgBox(parent, QStringLiteral("ファイルを保存できませんでした。\n") + QString::fromStdString(e.what()),
                         platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        return false;
    }
    return true;
}

}  // namespace mq
