#include "log_data/log_read_targets.h"

#include "log_data/log_data.h"
#include "log_data/log_data_select.h"
#include "log_settings/log_setting_record.h"
#include "sequencer/ops_log_read.h"

namespace mq {

namespace {

log_data_select* selectDialog(QWidget* target) { return qobject_cast<log_data_select*>(target); }

}  // namespace

void install_log_read_operations(std::function<void(qint16 area)> log_set_value_disp,
                                 std::function<void()> unload_log_set_value) {
    LogReadTargets t;
    t.store_setting = [](clsLOGGER_SETTING& area, const QString& record) { log_para_data_save(area, record); };
    t.list_count_stored = [](QWidget* target, qint16 n) {
        if (log_data_select* sel = selectDialog(target)) sel->log_data_ct_disp(n);
    };
    t.list_setting_stored = [](QWidget* target, qint16 n) {
        if (log_data_select* sel = selectDialog(target)) sel->log_data_select_disp(n);
    };
    t.unload_list_dialog = [] {
        if (log_data_select* sel = selectDialog(seq().prog_target_window.data())) sel->unload();
    };
    t.setting_stored = std::move(log_set_value_disp);
    t.unload_setting_editor = std::move(unload_log_set_value);
    t.data_reply = [](QWidget* target, const QString& reply, qint32 q, qint16 r) {
        if (auto* w = qobject_cast<log_data*>(target)) w->log_data_disp_FixedDb(reply, q, r);
    };
    register_log_read_operations(t);
}

}  // namespace mq
