#pragma once
// Read and set the current data set's settings, status and graph options
// without branching on its kind at every call site. The current data set is
// the one of the active data window (model().act_data_kind: 1 file, 2 logger).
// With no current data set a getter returns its fixed default and a setter
// does nothing. Channel arguments are channel indexes 0 to 3; a bad index or a
// text that does not convert raises the property's own error.
#include <QString>
#include <QtGlobal>

class QWidget;

namespace mq {

// Settings and status of the current data set.
quint8 get_cur_ch_period_pos(int ch);
QString get_cur_ch_unit(int ch);
QString get_cur_ch_kind(int ch);
double get_cur_ch_high_alarm_value(int ch);
double get_cur_ch_low_alarm_value(int ch);
double get_cur_ch_sum_std_value(int ch);
QString get_cur_serial_no();
QString get_cur_user_model_name();

// Graph options of the current data set.
QString get_cur_ch_comment(int ch);
void let_cur_ch_comment(int ch, const QString& value);
QString get_cur_log_name();
void let_cur_log_name(const QString& value);
QString get_cur_worker_name();
void let_cur_worker_name(const QString& value);
QString get_cur_comment();
void let_cur_comment(const QString& value);
QString get_cur_title();
void let_cur_title(const QString& value);
double get_cur_ch_l_alm(int ch);
void let_cur_ch_l_alm(int ch, double value);
double get_cur_ch_h_alm(int ch);
void let_cur_ch_h_alm(int ch, double value);
double get_cur_std_value(int ch);
void let_cur_std_value(int ch, const QString& value);
double get_cur_ch_sum_std_count(int ch);
void let_cur_ch_sum_std_count(int ch, double value);
QString get_cur_ch_h_scale_filestring(int ch);
void let_cur_ch_h_scale_filestring(int ch, const QString& value);
QString get_cur_ch_l_scale_filestring(int ch);
void let_cur_ch_l_scale_filestring(int ch, const QString& value);
void let_cur_datacount(qint32 value);
QString get_cur_ch_graphdrawsw();
void let_cur_ch_graphdrawsw(const QString& value);
QString get_cur_ch_graphaxdrawsw();
void let_cur_ch_graphaxdrawsw(const QString& value);
QString get_cur_std_sw(int ch);
void let_cur_std_sw(int ch, const QString& value);
QString get_cur_sum_std_sw(int ch);
void let_cur_sum_std_sw(int ch, const QString& value);
void let_cur_l_alm_sw(int ch, const QString& value);
QString get_cur_h_alm_sw(int ch);
void let_cur_h_alm_sw(int ch, const QString& value);
QString get_cur_grddispsort();
void let_cur_grddispsort(const QString& value);
QString get_cur_datamark_sw();
void let_cur_datamark_sw(const QString& value);
QString get_cur_linebold_sw();
void let_cur_linebold_sw(const QString& value);
QString get_cur_label_sw();
void let_cur_label_sw(const QString& value);
qint32 get_cur_ch_g_color(int ch);
void let_cur_ch_g_color(int ch, qint32 value);
qint32 get_cur_grpdrw_startpos();
void let_cur_grpdrw_startpos(qint32 value);
qint32 get_cur_grpdrw_endpos();
void let_cur_grpdrw_endpos(qint32 value);

// Context numbers of the help topics, one per help button or help menu item.
namespace help_context {
inline constexpr int home_loggerhelp = 1;
inline constexpr int log_data_select = 31101;
inline constexpr int tag_data_select = 31102;
inline constexpr int log_set_value = 31201;
inline constexpr int reserve = 31203;
inline constexpr int tag_set_value = 31204;
inline constexpr int comment1 = 31205;
inline constexpr int comment2 = 31206;
inline constexpr int Model_Setting = 31207;
inline constexpr int log0_set_value = 31208;
inline constexpr int tag0_set_value = 31209;
inline constexpr int PR = 32005;
inline constexpr int Manual_comm_Dialog1 = 33002;
inline constexpr int fGraph_grhelp = 35001;
inline constexpr int fGrarange2 = 35002;
inline constexpr int DlgChDispSw = 35004;
inline constexpr int fGrasvline = 35101;
}  // namespace help_context

class clsLOGGER_STATUS;
// The identity object whose worker and comment lists the list editors and
// their writes work on: the file data set's status when a file window is
// active, else the connected logger's; null when there is neither.
clsLOGGER_STATUS* list_target_status();

// Shows the help page of the context number in the help window of the
// caller's window; 0 when the help cannot be shown (the user has been told).
quintptr show_help(QWidget* caller, const QString& helpFile, int context);

}  // namespace mq
