#pragma once
// The loop the read benchmarks share: each iteration times opening the first
// data window from the simulated logger, then checks that it opened with the
// link still up and closes it again.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QString>

#include <algorithm>

#include "main_window/home.h"
#include "main_window/home_state.h"
#include "main_window/serial_link.h"

namespace mq::bench {

// `before` runs untimed ahead of each read, `after` untimed behind it;
// returns the slowest read in seconds.
template <class Before, class Open, class After>
double timeWindowReads(benchmark::State& state, HOME& home, Before before, Open open, After after) {
    double worst = 0;
    for (auto _ : state) {
        before();
        QElapsedTimer timer;
        timer.start();
        open();
        const double secs = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(secs);
        worst = std::max(worst, secs);
        state.PauseTiming();
        after();
        if (home_state().win_key_table[0] != QStringLiteral("L01") || !link().link_connected_flag) {
            state.SkipWithError("the read did not complete");
            break;
        }
        home_state().close_reason = 1;
        home.winTable().win_all_close();
        home_state().close_reason = 0;
        state.ResumeTiming();
    }
    state.counters["worst_s"] = worst;
    return worst;
}

}  // namespace mq::bench
