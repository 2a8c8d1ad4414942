#pragma once
// Shared by the fuzz targets: one Qt core application (the text codec and
// the file classes want one) and the program-wide state slots the readers
// reach, made once per process.
#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "main_window/home_state.h"
#include "main_window/serial_link.h"
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

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

}  // namespace mq::fuzz
