#pragma once
// Display options of one data set's trend graph: per-channel colours, scale
// limits, alarm, reference and integration-base levels with their line
// switches, the drawn channels and axes, the order of the statistics grid, the
// title, the channel comments and the drawn range.
//
// Property convention (the same in every value class of the model):
//   Get is  name(args)            e.g. double Ch_H_Alm(int ch) const;
//   Let is  let_name(args, value) e.g. void let_Ch_H_Alm(int ch, double value);
//   Variants: name_str         decimal text right-aligned in 10,
//             name_FileString  the text the data file carries.
//
// Channel arguments are channel indexes 0 to 3; any other index raises
// OutOfRangeError. The class handles no error itself: an overflow after
// scaling raises OverflowError, a Std_Value or Ch_G_color_FileString text that
// is not a number raises ConversionError, and a failed Let leaves the property
// unchanged.
//
// Scaled levels are held as integers: the level times a factor. The factor of
// channel c is found at every Let and Get: when the CURRENT data set's channel
// c has the input-type code "V", this object's own Ch_period_pos(c) gives
// 1: 10, 2: 100, 3: 1000, anything else: 1; any other code, or no current data
// set: 10. So work on a graph information object only while its data set is
// the current one.
//
// Setting a level from a file text ("_FileString"): "-----" or "------" (not
// set) stores 0 (not for the scale limits); a text containing "." is in
// display units (its leading number, 0 when none, times the factor); otherwise
// it is the scaled integer itself. Rounding is half to even.
//
// Fixed-length texts (names 8 characters, the 4-character switch sets, the
// 1-character switches) are cut or padded with blanks on the right; a new
// object holds NUL characters in them. Title and Ch_comment are kept as given
// and read padded with blanks to 32 and 16 CP932 bytes.
#include <QString>
#include <QtGlobal>
#include <array>

namespace mq {

class clsLOGGER_GraphInfo {
public:
    static constexpr int kChannels = 4;

    clsLOGGER_GraphInfo();

    // Reference level. Let converts the whole text (ConversionError when it is
    // not a number); Get is the level as its shortest decimal text.
    QString Std_Value(int ch) const;
    void let_Std_Value(int ch, const QString& text);
    QString Std_Value_FileString(int ch) const;  // stored integer right-aligned in 5
    void let_Std_Value_FileString(int ch, const QString& text);
    QString Std_Sw(int ch) const;
    void let_Std_Sw(int ch, const QString& text);

    QString GrdDispSort() const;  // 4 channel digits, e.g. "1234"
    void let_GrdDispSort(const QString& text);
    QString DataMark_Sw() const;
    void let_DataMark_Sw(const QString& text);
    QString H_Alm_Sw(int ch) const;
    void let_H_Alm_Sw(int ch, const QString& text);
    QString L_Alm_Sw(int ch) const;
    void let_L_Alm_Sw(int ch, const QString& text);

    // Line colour as an RGB colour value (0x00BBGGRR).
    qint32 Ch_G_color(int ch) const;
    void let_Ch_G_color(int ch, qint32 value);
    QString Ch_G_color_FileString(int ch) const;  // right-aligned in 11
    void let_Ch_G_color_FileString(int ch, const QString& text);

    QString LIneBold_Sw() const;
    void let_LIneBold_Sw(const QString& text);
    QString Label_Sw() const;
    void let_Label_Sw(const QString& text);
    QString Sum_Std_Sw(int ch) const;
    void let_Sum_Std_Sw(int ch, const QString& text);

    // Alarm levels.
    QString Ch_H_Alm_FileString(int ch) const;  // stored integer right-aligned in 5
    void let_Ch_H_Alm_FileString(int ch, const QString& text);
    double Ch_H_Alm(int ch) const;
    void let_Ch_H_Alm(int ch, double value);
    QString Ch_L_Alm_FileString(int ch) const;
    void let_Ch_L_Alm_FileString(int ch, const QString& text);
    double Ch_L_Alm(int ch) const;
    void let_Ch_L_Alm(int ch, double value);

    // Per channel (character 1 = CH1) "1" draw, "0" do not.
    QString CH_GraphDrawSw() const;
    void let_CH_GraphDrawSw(const QString& text);
    QString CH_GraphAxDrawSw() const;
    void let_CH_GraphAxDrawSw(const QString& text);

    QString Title() const;  // padded with blanks to 32 bytes
    void let_Title(const QString& text);
    QString Ch_comment(int ch) const;  // padded with blanks to 16 bytes
    void let_Ch_comment(int ch, const QString& text);

    qint32 DataCount() const;
    void let_DataCount(qint32 value);
    QString DataCount_str() const;

    // Integration base level.
    QString Ch_sum_std_count_FileString(int ch) const;  // right-aligned in 5
    void let_Ch_sum_std_count_FileString(int ch, const QString& text);
    double Ch_sum_std_count(int ch) const;
    void let_Ch_sum_std_count(int ch, double value);

    // Axis scale limits (16 bits, scaled).
    qint16 Ch_h_Scale(int ch) const;
    void let_Ch_h_Scale(int ch, qint16 value);
    QString Ch_h_Scale_FileString(int ch) const;  // right-aligned in 6
    void let_Ch_h_Scale_FileString(int ch, const QString& text);
    qint16 Ch_l_Scale(int ch) const;
    void let_Ch_l_Scale(int ch, qint16 value);
    QString Ch_l_Scale_FileString(int ch) const;
    void let_Ch_l_Scale_FileString(int ch, const QString& text);

    QString Comment() const;  // 8 characters
    void let_Comment(const QString& text);
    QString worker_name() const;  // 8 characters
    void let_worker_name(const QString& text);
    QString log_name() const;  // 8 characters
    void let_log_name(const QString& text);

    // Drawn range, as record numbers of the working database.
    qint32 GrpDrw_StartPos() const;
    void let_GrpDrw_StartPos(qint32 value);
    QString GrpDrw_StartPos_str() const;
    qint32 GrpDrw_EndPos() const;
    void let_GrpDrw_EndPos(qint32 value);
    QString GrpDrw_EndPos_str() const;

    quint8 Ch_period_pos(int ch) const;
    void let_Ch_period_pos(int ch, quint8 value);

private:
    using ChInts = std::array<qint32, kChannels>;
    using ChFlags = std::array<QString, kChannels>;

    double factor(int ch) const;
    double fileNumber(int ch, const QString& text) const;
    qint32 levelOfFileText(int ch, const QString& text) const;

    QString m_log_name;
    QString m_worker_name;
    QString m_Comment;
    std::array<qint16, kChannels> m_Ch_l_Scale{};
    std::array<qint16, kChannels> m_Ch_h_Scale{};
    ChInts m_Ch_sum_std_count{};
    qint32 m_DataCount = 0;
    std::array<QString, kChannels> m_Ch_comment;
    QString m_Title;
    QString m_CH_GraphDrawSw;
    ChInts m_Ch_L_Alm{};
    ChInts m_Ch_H_Alm{};
    QString m_GrdDispSort;
    QString m_DataMark_Sw;
    ChInts m_Std_Value{};
    qint32 m_GrpDrw_StartPos = 0;
    qint32 m_GrpDrw_EndPos = 0;
    std::array<quint8, kChannels> m_Ch_period_pos{};
    ChFlags m_L_Alm_Sw;
    ChFlags m_H_Alm_Sw;
    ChFlags m_Std_Sw;
    ChFlags m_Sum_Std_Sw;
    QString m_LIneBold_Sw;
    QString m_Label_Sw;
    ChInts m_Ch_G_color{};
    QString m_CH_GraphAxDrawSw;
};

// The graph window's readings of three stored options, shared by the graph
// and the current-data-set accessors: the basis value as a number, the upper
// scale limit as the number text it stands for, and the integration reference
// stored at the 15 significant digits it is shown with (0.1 + 0.2 stores as
// 0.3).
double graph_std_value(const clsLOGGER_GraphInfo& g, int ch);
QString graph_h_scale_text(const clsLOGGER_GraphInfo& g, int ch);
void let_graph_sum_std_count(clsLOGGER_GraphInfo& g, int ch, double value);

}  // namespace mq
