#include "model/cur_accessors.h"

#include "model/data_sets.h"
#include "model/model_state.h"
#include "platform/help.h"
#include "platform/numbers.h"

namespace mq {

namespace {

// The objects of the current data set, or nullptr when none is current. A kind
// that names a data set which is not there counts as no current data set.
clsLOGGER_SETTING* curSetting() {
    ModelState& m = model();
    if (m.act_data_kind == 1 && m.act_file_data) return &m.act_file_data->clsLOGGER_SETTING();
    if (m.act_data_kind == 2 && m.act_logger_data) return &m.act_logger_data->clsLOGGER_SETTING();
    return nullptr;
}

clsLOGGER_GraphInfo* curGraph() {
    ModelState& m = model();
    if (m.act_data_kind == 1 && m.act_file_data) return &m.act_file_data->clsLOGGER_GraphInfo();
    if (m.act_data_kind == 2 && m.act_logger_data) return &m.act_logger_data->clsLOGGER_GraphInfo();
    return nullptr;
}

// A file data set carries the status of the logger that recorded it; logger
// data sets share the connected logger's status.
clsLOGGER_STATUS* curStatus() {
    ModelState& m = model();
    if (m.act_data_kind == 1 && m.act_file_data) return &m.act_file_data->clsLOGGER_STATUS();
    if (m.act_data_kind == 2 && m.logger_main) return &m.logger_main->clsLOGGER_STATUS();
    return nullptr;
}

}  // namespace

quint8 get_cur_ch_period_pos(int ch) {
    auto* s = curSetting();
    return s ? s->Ch_period_pos(ch) : quint8(0);
}

QString get_cur_ch_unit(int ch) {
    auto* s = curSetting();
    return s ? s->Ch_unit(ch) : QStringLiteral("0");
}

QString get_cur_ch_kind(int ch) {
    auto* s = curSetting();
    return s ? s->Ch_input_type(ch) : QString();
}

double get_cur_ch_high_alarm_value(int ch) {
    auto* s = curSetting();
    return s ? s->Ch_high_alarm_count_value(ch) : 0.0;
}

double get_cur_ch_low_alarm_value(int ch) {
    auto* s = curSetting();
    return s ? s->Ch_low_alarm_count_value(ch) : 0.0;
}

double get_cur_ch_sum_std_value(int ch) {
    auto* s = curSetting();
    return s ? s->Ch_sum_std_count_value(ch) : 0.0;
}

QString get_cur_serial_no() {
    auto* st = curStatus();
    return st ? st->serial_no() : QString();
}

QString get_cur_user_model_name() {
    auto* st = curStatus();
    return st ? st->user_model_name() : QString();
}

QString get_cur_ch_comment(int ch) {
    auto* g = curGraph();
    return g ? g->Ch_comment(ch) : QString();
}
void let_cur_ch_comment(int ch, const QString& value) {
    if (auto* g = curGraph()) g->let_Ch_comment(ch, value);
}

QString get_cur_log_name() {
    auto* g = curGraph();
    return g ? g->log_name() : QString();
}
void let_cur_log_name(const QString& value) {
    if (auto* g = curGraph()) g->let_log_name(value);
}

QString get_cur_worker_name() {
    auto* g = curGraph();
    return g ? g->worker_name() : QString();
}
void let_cur_worker_name(const QString& value) {
    if (auto* g = curGraph()) g->let_worker_name(value);
}

QString get_cur_comment() {
    auto* g = curGraph();
    return g ? g->Comment() : QString();
}
void let_cur_comment(const QString& value) {
    if (auto* g = curGraph()) g->let_Comment(value);
}

QString get_cur_title() {
    auto* g = curGraph();
    return g ? g->Title() : QString();
}
void let_cur_title(const QString& value) {
    if (auto* g = curGraph()) g->let_Title(value);
}

double get_cur_ch_l_alm(int ch) {
    auto* g = curGraph();
    return g ? g->Ch_L_Alm(ch) : 0.0;
}
void let_cur_ch_l_alm(int ch, double value) {
    if (auto* g = curGraph()) g->let_Ch_L_Alm(ch, value);
}

double get_cur_ch_h_alm(int ch) {
    auto* g = curGraph();
    return g ? g->Ch_H_Alm(ch) : 0.0;
}
void let_cur_ch_h_alm(int ch, double value) {
    if (auto* g = curGraph()) g->let_Ch_H_Alm(ch, value);
}

double get_cur_std_value(int ch) {
    auto* g = curGraph();
    return g ? graph_std_value(*g, ch) : 0.0;
}
void let_cur_std_value(int ch, const QString& value) {
    if (auto* g = curGraph()) g->let_Std_Value(ch, value);
}

double get_cur_ch_sum_std_count(int ch) {
    auto* g = curGraph();
    return g ? g->Ch_sum_std_count(ch) : 0.0;
}
void let_cur_ch_sum_std_count(int ch, double value) {
    if (auto* g = curGraph()) let_graph_sum_std_count(*g, ch, value);
}

QString get_cur_ch_h_scale_filestring(int ch) {
    auto* g = curGraph();
    return g ? graph_h_scale_text(*g, ch) : QStringLiteral("0");
}
void let_cur_ch_h_scale_filestring(int ch, const QString& value) {
    if (auto* g = curGraph()) g->let_Ch_h_Scale_FileString(ch, value);
}

QString get_cur_ch_l_scale_filestring(int ch) {
    auto* g = curGraph();
    return g ? g->Ch_l_Scale_FileString(ch) : QStringLiteral("0.0");
}
void let_cur_ch_l_scale_filestring(int ch, const QString& value) {
    if (auto* g = curGraph()) g->let_Ch_l_Scale_FileString(ch, value);
}

void let_cur_datacount(qint32 value) {
    if (auto* g = curGraph()) g->let_DataCount(value);
}

QString get_cur_ch_graphdrawsw() {
    auto* g = curGraph();
    return g ? g->CH_GraphDrawSw() : QString();
}
void let_cur_ch_graphdrawsw(const QString& value) {
    if (auto* g = curGraph()) g->let_CH_GraphDrawSw(value);
}

QString get_cur_ch_graphaxdrawsw() {
    auto* g = curGraph();
    return g ? g->CH_GraphAxDrawSw() : QString();
}
void let_cur_ch_graphaxdrawsw(const QString& value) {
    if (auto* g = curGraph()) g->let_CH_GraphAxDrawSw(value);
}

QString get_cur_std_sw(int ch) {
    auto* g = curGraph();
    return g ? g->Std_Sw(ch) : QString();
}
void let_cur_std_sw(int ch, const QString& value) {
    if (auto* g = curGraph()) g->let_Std_Sw(ch, value);
}

QString get_cur_sum_std_sw(int ch) {
    auto* g = curGraph();
    return g ? g->Sum_Std_Sw(ch) : QString();
}
void let_cur_sum_std_sw(int ch, const QString& value) {
    if (auto* g = curGraph()) g->let_Sum_Std_Sw(ch, value);
}

void let_cur_l_alm_sw(int ch, const QString& value) {
    if (auto* g = curGraph()) g->let_L_Alm_Sw(ch, value);
}

QString get_cur_h_alm_sw(int ch) {
    auto* g = curGraph();
    return g ? g->H_Alm_Sw(ch) : QStringLiteral("0");
}
void let_cur_h_alm_sw(int ch, const QString& value) {
    if (auto* g = curGraph()) g->let_H_Alm_Sw(ch, value);
}

QString get_cur_grddispsort() {
    auto* g = curGraph();
    return g ? g->GrdDispSort() : QString();
}
void let_cur_grddispsort(const QString& value) {
    if (auto* g = curGraph()) g->let_GrdDispSort(value);
}

QString get_cur_datamark_sw() {
    auto* g = curGraph();
    return g ? g->DataMark_Sw() : QString();
}
void let_cur_datamark_sw(const QString& value) {
    if (auto* g = curGraph()) g->let_DataMark_Sw(value);
}

QString get_cur_linebold_sw() {
    auto* g = curGraph();
    return g ? g->LIneBold_Sw() : QString();
}
void let_cur_linebold_sw(const QString& value) {
    if (auto* g = curGraph()) g->let_LIneBold_Sw(value);
}

QString get_cur_label_sw() {
    auto* g = curGraph();
    return g ? g->Label_Sw() : QString();
}
void let_cur_label_sw(const QString& value) {
    if (auto* g = curGraph()) g->let_Label_Sw(value);
}

qint32 get_cur_ch_g_color(int ch) {
    auto* g = curGraph();
    return g ? g->Ch_G_color(ch) : 0;
}
void let_cur_ch_g_color(int ch, qint32 value) {
    if (auto* g = curGraph()) g->let_Ch_G_color(ch, value);
}

qint32 get_cur_grpdrw_startpos() {
    auto* g = curGraph();
    return g ? g->GrpDrw_StartPos() : 0;
}
void let_cur_grpdrw_startpos(qint32 value) {
    if (auto* g = curGraph()) g->let_GrpDrw_StartPos(value);
}

qint32 get_cur_grpdrw_endpos() {
    auto* g = curGraph();
    return g ? g->GrpDrw_EndPos() : 0;
}
void let_cur_grpdrw_endpos(qint32 value) {
    if (auto* g = curGraph()) g->let_GrpDrw_EndPos(value);
}

quintptr show_help(QWidget* caller, const QString& helpFile, int context) {
    return platform::showHelp(caller, helpFile, context);
}

clsLOGGER_STATUS* list_target_status() {
    ModelState& m = model();
    if (m.act_data_kind == 1) return m.act_file_data ? &m.act_file_data->clsLOGGER_STATUS() : nullptr;
    return m.logger_main ? &m.logger_main->clsLOGGER_STATUS() : nullptr;
}

}  // namespace mq
