#pragma once
// Every subsystem's program-wide state in one bundle: each slot makes its
// state object the current one for the bundle's lifetime, in the order the
// subsystems build on each other, and ends in reverse. The application holds
// one; tests and benchmarks that run the whole program hold one per test
// instead of listing the slots themselves. A subsystem with state of its own
// adds its slot here.
#include "graph/graph_state.h"
#include "log_data/integration.h"
#include "main_window/home_state.h"
#include "main_window/identity_check.h"
#include "main_window/serial_link.h"
#include "model/model_state.h"
#include "sequencer/seq_state.h"

namespace mq {

struct ProgramState {
    ModelSlot model;
    LinkSlot link;
    HomeSlot home;
    SeqSlot seq;
    ConnectionSlot connection;
    LogDataSlot log_data;
    GraphSlot graph;
};

}  // namespace mq
