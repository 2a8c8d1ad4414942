#pragma once
// Shared by the fuzz targets: one Qt core application (the text codec and
// the file classes want one) and the program-wide state slots the readers
// reach, made once per process.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "main_window/home_state.h"
#include "main_window/serial_link.h"
#include "model/cls_logger_setting.h"
#include "model/model_state.h"
#include "sequencer/seq_state.h"

namespace mq::fuzz {

inline void ensureProgramState() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    static ModelSlot model;
    static HomeSlot home;
    static LinkSlot link;
    static SeqSlot seq;
    (void)app;
}

// A per-user folder of the process's own (with its "config" folder) made the
// model's user folder, for the readers of the per-user files; its path.
inline QString useScratchUserDir() {
    static QTemporaryDir dir;
    static const bool made = QDir().mkpath(dir.path() + QStringLiteral("/config"));
    (void)made;
    model().user_dir = dir.path();
    return dir.path();
}

// The file at path made to hold exactly bytes; false when it cannot be.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Every field a setting reader writes, as one text: a record or file the
// program refuses must leave all of it as it was.
inline QString settingText(const clsLOGGER_SETTING& s) {
    QString t = s.log_name() + s.record_interval() + s.Worker() + s.Comment() + s.start_time_str() + s.stop_time_str();
    for (int ch = 0; ch < 4; ++ch) {
        t += s.Ch_input_type(ch) + s.Ch_unit(ch) + QString::number(s.Ch_scale_min(ch)) +
             QString::number(s.Ch_scale_max(ch)) + QString::number(s.Ch_period_pos(ch)) + s.Ch_low_alarm_count(ch) +
             s.Ch_high_alarm_count(ch) + s.Ch_sum_std_count(ch);
    }
    return t;
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

}  // namespace mq::fuzz
