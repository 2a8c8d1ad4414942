#pragma once
// Settings, identities and table rows the TAG file tests share.
#include <QDir>
#include <QString>

#include "common/test_env.h"
#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "tag_data/mt1_format.h"

namespace mq::test {

// The logger of the file tests: "PW" in the model name scrambles to CR LF.
inline void fillStatus(clsLOGGER_STATUS& st, const QString& model = QStringLiteral("PW4409MU")) {
    st.let_model_name(model);
    st.let_hard_ver(1);
    st.let_soft_ver(2);
    st.let_special_spec(0);
    st.let_serial_no(QStringLiteral("A0123456"));
    st.let_user_model_name(QStringLiteral("ﾗｲﾝ1"));
    st.let_ch_offset(0, QStringLiteral("5"));    // 0.5
    st.let_ch_offset(1, QStringLiteral("0"));
    st.let_ch_offset(2, QStringLiteral("-12"));  // -1.2
    st.let_ch_offset(3, QStringLiteral("123"));  // 12.3
    st.let_mode_type(2);
}

// Tag 3 "PWﾀｸﾞ": CH1 K, CH2 V with two decimals, CH3 not in use, CH4 T.
inline void fillSetting(clsLOGGER_SETTING& s, qint32 count) {
    s.let_area_no(3);
    s.let_log_name(QStringLiteral("PWﾀｸﾞ"));
    const struct {
        const char* type;
        const char* unit;
        int pos;
        qint16 smin, smax;
        const char* low;
        const char* high;
    } chs[4] = {{"K", "ﾟC ", 1, -200, 1370, "-20.0", "100.0"},
                {"V", "mV ", 2, 0, 100, "1.5", "------"},
                {"-", "   ", 1, 0, 0, "------", "------"},
                {"T", "ﾟC ", 1, -100, 400, "0.0", "350.0"}};
    for (int c = 0; c < 4; ++c) {
        s.let_Ch_input_type(c, QString::fromUtf8(chs[c].type));
        s.let_Ch_unit(c, QString::fromUtf8(chs[c].unit));
        s.let_Ch_period_pos(c, quint8(chs[c].pos));
        s.let_Ch_scale_min(c, chs[c].smin);
        s.let_Ch_scale_max(c, chs[c].smax);
        s.let_Ch_low_alarm_count(c, QString::fromLatin1(chs[c].low));
        s.let_Ch_high_alarm_count(c, QString::fromLatin1(chs[c].high));
    }
    s.let_data_count(count);
}

// A row as the window's table holds it.
inline TagTableRow row(const QString& time, const QString& c1, const QString& c2, const QString& c3, const QString& c4,
                       const QString& worker, const QString& comment) {
    TagTableRow r;
    r.time = time;
    r.ch = {c1, c2, c3, c4};
    r.worker = worker;
    r.comment = comment;
    return r;
}

inline TagRowSource rowsOf(const QList<TagTableRow>& rows) {
    auto i = std::make_shared<int>(0);
    return [rows, i](TagTableRow& out) {
        if (*i >= rows.size()) return false;
        out = rows[(*i)++];
        return true;
    };
}

// A fresh folder for one test's files.
inline QString testFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString dir = dataHome() + QStringLiteral("/tagfiles/") + QString::fromLatin1(info->test_suite_name()) +
                        QLatin1Char('_') + QString::fromLatin1(info->name());
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}

inline QByteArray xor5d(QByteArray b) {
    for (char& c : b) c = char(c ^ 0x5D);
    return b;
}

}  // namespace mq::test
