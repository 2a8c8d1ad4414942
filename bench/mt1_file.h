#pragma once
// The ".MT1" files the TAG benchmarks open: n four-channel records (types K,
// V, T, J) thirteen seconds apart, with range marks, missing values, workers
// and comments, written with the pure writer.
#include <QDateTime>
#include <QFile>
#include <QString>

#include <memory>

#include "model/cls_logger_setting.h"
#include "model/cls_logger_status.h"
#include "tag_data/mt1_format.h"

namespace mq::bench {

// The settings of the benchmark's TAG data: four channels, alarm values
// -10 and 40, n records.
inline void fillTagSetting(clsLOGGER_SETTING& s, qint32 n) {
    s.let_area_no(4);
    s.let_log_name(QStringLiteral("BENCH"));
    const char* types[4] = {"K", "V", "T", "J"};
    for (int c = 0; c < 4; ++c) {
        s.let_Ch_input_type(c, QString::fromLatin1(types[c]));
        s.let_Ch_period_pos(c, c == 1 ? 2 : 1);
        s.let_Ch_unit(c, c == 1 ? QStringLiteral("mV ") : QStringLiteral("ﾟC "));
        s.let_Ch_low_alarm_count(c, QStringLiteral("-10.0"));
        s.let_Ch_high_alarm_count(c, QStringLiteral("40.0"));
    }
    s.let_data_count(n);
}

// Writes the file of n records at path unless it exists.
inline void writeMt1(const QString& path, qint32 n) {
    if (QFile::exists(path)) return;
    clsLOGGER_SETTING s;
    clsLOGGER_STATUS st;
    st.let_model_name(QStringLiteral("PW4409MU"));
    fillTagSetting(s, n);
    for (int c = 0; c < 4; ++c) s.let_Ch_data_count(c, n);
    auto i = std::make_shared<qint32>(0);
    const QDateTime start(QDate(2014, 1, 1), QTime(0, 0, 0));
    mt1_write_file(path, Mt1Sources{s, st, false}, [i, start](TagTableRow& r) {
        const qint32 k = (*i)++;
        r.time = start.addSecs(13LL * k).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
        r.ch = {QString::number((k % 700) / 10.0 - 20, 'f', 1), QString::number((k % 300) / 100.0, 'f', 2),
                k % 97 == 0 ? QStringLiteral("     O.R.") : QString::number((k % 400) / 10.0, 'f', 1),
                k % 89 == 0 ? QStringLiteral("    ------") : QString::number((k % 500) / 10.0, 'f', 1)};
        r.worker = QStringLiteral("W%1").arg(k % 20);
        r.comment = QStringLiteral("C%1").arg(k % 20);
        return true;
    });
}

}  // namespace mq::bench
