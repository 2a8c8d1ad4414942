#include "model/cls_logger_graphinfo.h"

#include <string>

#include "model/channel_values.h"
#include "model/cur_accessors.h"
#include "model/model_state.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/numbers.h"

namespace mq {

namespace {

using platform::leftAlign;
using platform::rightAlign;

void checkChannel(int ch) {
    if (ch < 0 || ch >= clsLOGGER_GraphInfo::kChannels) {
        throw OutOfRangeError("channel index outside 0 to 3: " + std::to_string(ch));
    }
}

QString nulText(int width) { return QString(width, QChar(u'\0')); }

bool isNotSetMark(const QString& text) {
    return text == QStringLiteral("-----") || text == QStringLiteral("------");
}

// The text followed by as many blanks as its CP932 byte length falls short of
// width. A text already longer than width is returned as it stands: callers
// keep within the widths, and cutting would lose what the user typed.
QString padBytes(const QString& text, int width) {
    const int bytes = platform::cp932::byteLength(text);
    if (bytes >= width) return text;
    return text + QString(width - bytes, u' ');
}

// The level as its shortest decimal text (12.5, 0, -3).
QString levelText(double v) {
    if (v == 0.0) return QStringLiteral("0");  // no "-0"
    return platform::cstrNumber(v);
}

QString number(qint64 n) { return QString::number(n); }

}  // namespace

clsLOGGER_GraphInfo::clsLOGGER_GraphInfo()
    : m_log_name(nulText(8)),
      m_worker_name(nulText(8)),
      m_Comment(nulText(8)),
      m_CH_GraphDrawSw(nulText(4)),
      m_GrdDispSort(nulText(4)),
      m_DataMark_Sw(nulText(1)),
      m_LIneBold_Sw(nulText(1)),
      m_Label_Sw(nulText(1)),
      m_CH_GraphAxDrawSw(nulText(4)) {
    m_L_Alm_Sw.fill(nulText(1));
    m_H_Alm_Sw.fill(nulText(1));
    m_Std_Sw.fill(nulText(1));
    m_Sum_Std_Sw.fill(nulText(1));
}

double clsLOGGER_GraphInfo::factor(int ch) const {
    checkChannel(ch);
    // No model state at all counts as no current data set.
    const QString kind = ModelSlot::installed() ? get_cur_ch_kind(ch) : QString();
    return channel_scale(kind, m_Ch_period_pos[ch]);
}

// The number a file text stands for, scaled: with "." the leading number is in
// display units, without it the text holds the scaled integer.
double clsLOGGER_GraphInfo::fileNumber(int ch, const QString& text) const {
    const double f = factor(ch);
    double v = platform::val(text);
    if (text.contains(u'.')) v *= f;
    return v;
}

qint32 clsLOGGER_GraphInfo::levelOfFileText(int ch, const QString& text) const {
    if (isNotSetMark(text)) {
        checkChannel(ch);
        return 0;
    }
    return platform::toInt32(fileNumber(ch, text));
}

// --- reference level ---

QString clsLOGGER_GraphInfo::Std_Value(int ch) const {
    const double f = factor(ch);
    return levelText(m_Std_Value[ch] / f);
}
void clsLOGGER_GraphInfo::let_Std_Value(int ch, const QString& text) {
    const double f = factor(ch);
    double v = platform::toDouble(text);
    if (text.contains(u'.')) v *= f;
    m_Std_Value[ch] = platform::toInt32(v);
}
QString clsLOGGER_GraphInfo::Std_Value_FileString(int ch) const {
    checkChannel(ch);
    return rightAlign(number(m_Std_Value[ch]), 5);
}
void clsLOGGER_GraphInfo::let_Std_Value_FileString(int ch, const QString& text) {
    m_Std_Value[ch] = levelOfFileText(ch, text);
}
QString clsLOGGER_GraphInfo::Std_Sw(int ch) const { checkChannel(ch); return m_Std_Sw[ch]; }
void clsLOGGER_GraphInfo::let_Std_Sw(int ch, const QString& text) { checkChannel(ch); m_Std_Sw[ch] = leftAlign(text, 1); }

// --- switches ---

QString clsLOGGER_GraphInfo::GrdDispSort() const { return m_GrdDispSort; }
void clsLOGGER_GraphInfo::let_GrdDispSort(const QString& text) { m_GrdDispSort = leftAlign(text, 4); }
QString clsLOGGER_GraphInfo::DataMark_Sw() const { return m_DataMark_Sw; }
void clsLOGGER_GraphInfo::let_DataMark_Sw(const QString& text) { m_DataMark_Sw = leftAlign(text, 1); }
QString clsLOGGER_GraphInfo::H_Alm_Sw(int ch) const { checkChannel(ch); return m_H_Alm_Sw[ch]; }
void clsLOGGER_GraphInfo::let_H_Alm_Sw(int ch, const QString& text) { checkChannel(ch); m_H_Alm_Sw[ch] = leftAlign(text, 1); }
QString clsLOGGER_GraphInfo::L_Alm_Sw(int ch) const { checkChannel(ch); return m_L_Alm_Sw[ch]; }
void clsLOGGER_GraphInfo::let_L_Alm_Sw(int ch, const QString& text) { checkChannel(ch); m_L_Alm_Sw[ch] = leftAlign(text, 1); }

// --- colours ---

qint32 clsLOGGER_GraphInfo::Ch_G_color(int ch) const { checkChannel(ch); return m_Ch_G_color[ch]; }
void clsLOGGER_GraphInfo::let_Ch_G_color(int ch, qint32 value) { checkChannel(ch); m_Ch_G_color[ch] = value; }
QString clsLOGGER_GraphInfo::Ch_G_color_FileString(int ch) const {
    checkChannel(ch);
    return rightAlign(number(m_Ch_G_color[ch]), 11);
}
void clsLOGGER_GraphInfo::let_Ch_G_color_FileString(int ch, const QString& text) {
    checkChannel(ch);
    m_Ch_G_color[ch] = platform::toInt32(platform::toDouble(text));
}

QString clsLOGGER_GraphInfo::LIneBold_Sw() const { return m_LIneBold_Sw; }
void clsLOGGER_GraphInfo::let_LIneBold_Sw(const QString& text) { m_LIneBold_Sw = leftAlign(text, 1); }
QString clsLOGGER_GraphInfo::Label_Sw() const { return m_Label_Sw; }
void clsLOGGER_GraphInfo::let_Label_Sw(const QString& text) { m_Label_Sw = leftAlign(text, 1); }
QString clsLOGGER_GraphInfo::Sum_Std_Sw(int ch) const { checkChannel(ch); return m_Sum_Std_Sw[ch]; }
void clsLOGGER_GraphInfo::let_Sum_Std_Sw(int ch, const QString& text) { checkChannel(ch); m_Sum_Std_Sw[ch] = leftAlign(text, 1); }

// --- alarm levels ---

QString clsLOGGER_GraphInfo::Ch_H_Alm_FileString(int ch) const { checkChannel(ch); return rightAlign(number(m_Ch_H_Alm[ch]), 5); }
void clsLOGGER_GraphInfo::let_Ch_H_Alm_FileString(int ch, const QString& text) { m_Ch_H_Alm[ch] = levelOfFileText(ch, text); }
double clsLOGGER_GraphInfo::Ch_H_Alm(int ch) const { const double f = factor(ch); return m_Ch_H_Alm[ch] / f; }
void clsLOGGER_GraphInfo::let_Ch_H_Alm(int ch, double value) {
    const double f = factor(ch);
    m_Ch_H_Alm[ch] = platform::toInt32(value * f);
}
QString clsLOGGER_GraphInfo::Ch_L_Alm_FileString(int ch) const { checkChannel(ch); return rightAlign(number(m_Ch_L_Alm[ch]), 5); }
void clsLOGGER_GraphInfo::let_Ch_L_Alm_FileString(int ch, const QString& text) { m_Ch_L_Alm[ch] = levelOfFileText(ch, text); }
double clsLOGGER_GraphInfo::Ch_L_Alm(int ch) const { const double f = factor(ch); return m_Ch_L_Alm[ch] / f; }
void clsLOGGER_GraphInfo::let_Ch_L_Alm(int ch, double value) {
    const double f = factor(ch);
    m_Ch_L_Alm[ch] = platform::toInt32(value * f);
}

QString clsLOGGER_GraphInfo::CH_GraphDrawSw() const { return m_CH_GraphDrawSw; }
void clsLOGGER_GraphInfo::let_CH_GraphDrawSw(const QString& text) { m_CH_GraphDrawSw = leftAlign(text, 4); }
QString clsLOGGER_GraphInfo::CH_GraphAxDrawSw() const { return m_CH_GraphAxDrawSw; }
void clsLOGGER_GraphInfo::let_CH_GraphAxDrawSw(const QString& text) { m_CH_GraphAxDrawSw = leftAlign(text, 4); }

// --- title and comments ---

QString clsLOGGER_GraphInfo::Title() const { return padBytes(m_Title, 32); }
void clsLOGGER_GraphInfo::let_Title(const QString& text) { m_Title = text; }
QString clsLOGGER_GraphInfo::Ch_comment(int ch) const { checkChannel(ch); return padBytes(m_Ch_comment[ch], 16); }
void clsLOGGER_GraphInfo::let_Ch_comment(int ch, const QString& text) { checkChannel(ch); m_Ch_comment[ch] = text; }

qint32 clsLOGGER_GraphInfo::DataCount() const { return m_DataCount; }
void clsLOGGER_GraphInfo::let_DataCount(qint32 value) { m_DataCount = value; }
QString clsLOGGER_GraphInfo::DataCount_str() const { return rightAlign(number(m_DataCount), 10); }

// --- integration base level ---

QString clsLOGGER_GraphInfo::Ch_sum_std_count_FileString(int ch) const {
    checkChannel(ch);
    return rightAlign(number(m_Ch_sum_std_count[ch]), 5);
}
void clsLOGGER_GraphInfo::let_Ch_sum_std_count_FileString(int ch, const QString& text) {
    m_Ch_sum_std_count[ch] = levelOfFileText(ch, text);
}
double clsLOGGER_GraphInfo::Ch_sum_std_count(int ch) const { const double f = factor(ch); return m_Ch_sum_std_count[ch] / f; }
void clsLOGGER_GraphInfo::let_Ch_sum_std_count(int ch, double value) {
    const double f = factor(ch);
    m_Ch_sum_std_count[ch] = platform::toInt32(value * f);
}

// --- scale limits ---
// The not-set marks are not looked for here: such a text simply gives 0.

qint16 clsLOGGER_GraphInfo::Ch_h_Scale(int ch) const { checkChannel(ch); return m_Ch_h_Scale[ch]; }
void clsLOGGER_GraphInfo::let_Ch_h_Scale(int ch, qint16 value) { checkChannel(ch); m_Ch_h_Scale[ch] = value; }
QString clsLOGGER_GraphInfo::Ch_h_Scale_FileString(int ch) const { checkChannel(ch); return rightAlign(number(m_Ch_h_Scale[ch]), 6); }
void clsLOGGER_GraphInfo::let_Ch_h_Scale_FileString(int ch, const QString& text) {
    m_Ch_h_Scale[ch] = platform::toInt16(fileNumber(ch, text));
}
qint16 clsLOGGER_GraphInfo::Ch_l_Scale(int ch) const { checkChannel(ch); return m_Ch_l_Scale[ch]; }
void clsLOGGER_GraphInfo::let_Ch_l_Scale(int ch, qint16 value) { checkChannel(ch); m_Ch_l_Scale[ch] = value; }
QString clsLOGGER_GraphInfo::Ch_l_Scale_FileString(int ch) const { checkChannel(ch); return rightAlign(number(m_Ch_l_Scale[ch]), 6); }
void clsLOGGER_GraphInfo::let_Ch_l_Scale_FileString(int ch, const QString& text) {
    m_Ch_l_Scale[ch] = platform::toInt16(fileNumber(ch, text));
}

// --- names ---

QString clsLOGGER_GraphInfo::Comment() const { return m_Comment; }
void clsLOGGER_GraphInfo::let_Comment(const QString& text) { m_Comment = leftAlign(text, 8); }
QString clsLOGGER_GraphInfo::worker_name() const { return m_worker_name; }
void clsLOGGER_GraphInfo::let_worker_name(const QString& text) { m_worker_name = leftAlign(text, 8); }
QString clsLOGGER_GraphInfo::log_name() const { return m_log_name; }
void clsLOGGER_GraphInfo::let_log_name(const QString& text) { m_log_name = leftAlign(text, 8); }

// --- drawn range ---

qint32 clsLOGGER_GraphInfo::GrpDrw_StartPos() const { return m_GrpDrw_StartPos; }
void clsLOGGER_GraphInfo::let_GrpDrw_StartPos(qint32 value) { m_GrpDrw_StartPos = value; }
QString clsLOGGER_GraphInfo::GrpDrw_StartPos_str() const { return rightAlign(number(m_GrpDrw_StartPos), 10); }
qint32 clsLOGGER_GraphInfo::GrpDrw_EndPos() const { return m_GrpDrw_EndPos; }
void clsLOGGER_GraphInfo::let_GrpDrw_EndPos(qint32 value) { m_GrpDrw_EndPos = value; }
QString clsLOGGER_GraphInfo::GrpDrw_EndPos_str() const { return rightAlign(number(m_GrpDrw_EndPos), 10); }

quint8 clsLOGGER_GraphInfo::Ch_period_pos(int ch) const { checkChannel(ch); return m_Ch_period_pos[ch]; }
void clsLOGGER_GraphInfo::let_Ch_period_pos(int ch, quint8 value) { checkChannel(ch); m_Ch_period_pos[ch] = value; }

double graph_std_value(const clsLOGGER_GraphInfo& g, int ch) { return platform::toDouble(g.Std_Value(ch)); }

QString graph_h_scale_text(const clsLOGGER_GraphInfo& g, int ch) {
    return platform::cstrNumber(platform::toDouble(g.Ch_h_Scale_FileString(ch)));
}

void let_graph_sum_std_count(clsLOGGER_GraphInfo& g, int ch, double value) {
    g.let_Ch_sum_std_count(ch, platform::toDouble(platform::cstrNumber(value)));
}

}  // namespace mq
