// Turning a whole-area LOG data reply (400,000 bytes) into reply text, in
// MB/s. Run by hand: build/<release dir>/link_bench
#include <benchmark/benchmark.h>

#include "main_window/serial_link.h"

namespace {

constexpr qint32 kReplySize = 400000;

// A record reply as the logger frames it, with bytes of every kind between.
QByteArray sampleReply() {
    QByteArray b(kReplySize, Qt::Uninitialized);
    for (qint32 i = 0; i < kReplySize; ++i) b[i] = static_cast<char>((i * 131 + 17) & 0xFF);
    b[0] = '\x02';
    b[kReplySize - 3] = '\x03';
    b[kReplySize - 2] = '\r';
    b[kReplySize - 1] = '\n';
    return b;
}

void BM_RdStringMake400k(benchmark::State& state) {
    mq::LinkSlot slot;
    slot->rx_buffer = sampleReply();
    slot->rx_count = kReplySize;
    slot->rx_expected_len = kReplySize;
    for (auto _ : state) {
        QString text = mq::rd_string_make();
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(state.iterations() * kReplySize);
}
BENCHMARK(BM_RdStringMake400k)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
